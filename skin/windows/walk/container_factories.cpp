#include "skin/windows/walk/container_factories.h"

#include "skin/windows/adapters/container_adapters.h"
#include "skin/windows/adapters/status_bar_adapter.h"
#include "skin/windows/adapters/tab_adapters.h"
#include "skin/windows/walk/control_adapter.h"

namespace skin {

void RegisterContainerAdapters() {
    SetThirdPartyAdapterFactory(tgGroupBoxes, AdapterFactoryOf<TacGroupBoxWnd>());
    SetThirdPartyAdapterFactory(tgPanels, AdapterFactoryOf<TacPanelWnd>());
    SetThirdPartyAdapterFactory(tgPageControl, AdapterFactoryOf<TacPageControlWnd>());
    SetThirdPartyAdapterFactory(tgTabControl, AdapterFactoryOf<TacTabControlWnd>());
    SetThirdPartyAdapterFactory(tgStatusBar, AdapterFactoryOf<TacStatusBarWnd>());
    // No toolbar class of the class library exists to hook: its row stays empty.
    SetThirdPartyAdapterFactory(tgToolBar, nullptr);
}

}  // namespace skin
