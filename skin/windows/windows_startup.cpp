#include "skin/windows/windows_startup.h"

#include "skin/windows/provider/provider_startup.h"
#include "skin/windows/scroll/scroll_startup.h"

namespace skin {

void InitSkinWindows() {
    InitScrollAdapters();
    InitFormProviders();
}

}  // namespace skin
