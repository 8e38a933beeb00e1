#include "skin/windows/walk/button_factories.h"

#include "skin/windows/adapters/button_adapters.h"
#include "skin/windows/walk/control_adapter.h"

namespace skin {
namespace {

template <class T>
TacMainWnd* Make(win::HWND wnd, TsCommonData* data, TsSkinManager* manager,
                 const std::string& section) {
    return AttachAdapter<T>(wnd, data, manager, section, true);
}

}  // namespace

void RegisterButtonAdapters() {
    SetThirdPartyAdapterFactory(tgButtons, &Make<TacBtnWnd>);
    SetThirdPartyAdapterFactory(tgBitBtns, &Make<TacBitBtnWnd>);
    SetThirdPartyAdapterFactory(tgCheckBoxes, &Make<TacCheckBoxWnd>);
    SetThirdPartyAdapterFactory(tgSpeedButton, nullptr);
}

}  // namespace skin
