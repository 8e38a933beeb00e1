#include "skin/windows/windows_startup.h"

#include "skin/windows/dialogs/dialog_hook.h"
#include "skin/windows/effects/fade_timers.h"
#include "skin/windows/effects/glow.h"
#include "skin/windows/provider/provider_startup.h"
#include "skin/windows/scroll/scroll_startup.h"

namespace skin {

void InitSkinWindows() {
    InitScrollAdapters();
    InitFormProviders();
    InitBorderForms();
    InitDialogHook();
    InitGlows();
    InitFades();
}

}  // namespace skin
