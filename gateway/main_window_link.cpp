#include "gateway/main_window_link.h"

#include <string>

#include "vcl/system/exceptions.h"

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

TMainWindowLink& TheMainWindow(const char* who) {
    if (!gMainWindow) throw vcl::EInvalidOperation(std::string(who) + " needs the main window");
    return *gMainWindow;
}

}  // namespace gateway
