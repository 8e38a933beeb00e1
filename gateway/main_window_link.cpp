#include "gateway/main_window_link.h"

namespace gateway {

namespace {
TMainWindowLink* gMainWindow = nullptr;
}

TMainWindowLink* MainWindowLink() {
    return gMainWindow;
}

void SetMainWindowLink(TMainWindowLink* link) {
    gMainWindow = link;
}

}  // namespace gateway
