#include "skin/windows/walk/container_factories.h"

#include "skin/windows/adapters/container_adapters.h"
#include "skin/windows/adapters/status_bar_adapter.h"
#include "skin/windows/adapters/tab_adapters.h"
#include "skin/windows/walk/control_adapter.h"

namespace skin {
namespace {

template <class T>
TacAdapterFactory Maker() {
    return [](win::HWND wnd, TsCommonData* data, TsSkinManager* manager,
              const std::string& section) -> TacMainWnd* {
        return AttachAdapter<T>(wnd, data, manager, section, true);
    };
}

}  // namespace

void RegisterContainerAdapters() {
    SetThirdPartyAdapterFactory(tgGroupBoxes, Maker<TacGroupBoxWnd>());
    SetThirdPartyAdapterFactory(tgPanels, Maker<TacPanelWnd>());
    SetThirdPartyAdapterFactory(tgPageControl, Maker<TacPageControlWnd>());
    SetThirdPartyAdapterFactory(tgTabControl, Maker<TacTabControlWnd>());
    SetThirdPartyAdapterFactory(tgStatusBar, Maker<TacStatusBarWnd>());
    // No toolbar class of the class library exists to hook: its row stays empty.
    SetThirdPartyAdapterFactory(tgToolBar, nullptr);
}

}  // namespace skin
