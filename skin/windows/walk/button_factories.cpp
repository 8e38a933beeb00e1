#include "skin/windows/walk/button_factories.h"

#include "skin/windows/adapters/button_adapters.h"
#include "skin/windows/walk/control_adapter.h"

namespace skin {

void RegisterButtonAdapters() {
    SetThirdPartyAdapterFactory(tgButtons, AdapterFactoryOf<TacBtnWnd>());
    SetThirdPartyAdapterFactory(tgBitBtns, AdapterFactoryOf<TacBitBtnWnd>());
    SetThirdPartyAdapterFactory(tgCheckBoxes, AdapterFactoryOf<TacCheckBoxWnd>());
    SetThirdPartyAdapterFactory(tgSpeedButton, nullptr);
}

}  // namespace skin
