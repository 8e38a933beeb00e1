#include "skin/windows/windows_startup.h"

#include "skin/windows/container_dialog_rows.h"
#include "skin/windows/dialogs/dialog_hook.h"
#include "skin/windows/dialogs/message_dialogs.h"
#include "skin/windows/dialogs/scroll_children.h"
#include "skin/windows/effects/fade_timers.h"
#include "skin/windows/effects/glow.h"
#include "skin/windows/menus/skinned_menus.h"
#include "skin/windows/provider/provider_startup.h"
#include "skin/windows/scroll/scroll_startup.h"
#include "skin/windows/walk/button_factories.h"
#include "skin/windows/walk/container_factories.h"
#include "skin/windows/walk/scroll_factories.h"

namespace skin {

void InitSkinWindows() {
    InitScrollAdapters();
    InitFormProviders();
    InitBorderForms();
    InitDialogHook();
    InitGlows();
    InitFades();
    InitSkinnedMenus();
    InitMessageDialogs();
    RegisterButtonAdapters();
    RegisterContainerAdapters();
    RegisterContainerDialogRows();
    RegisterScrollAdapterFactories();
    RegisterScrollDialogChildren();
}

}  // namespace skin
