#include "skin/windows/provider/provider_startup.h"

#include "skin/core/state/neighbour_services.h"
#include "skin/windows/provider/layered.h"
#include "skin/windows/provider/skin_provider.h"

namespace skin {

void InitFormProviders() {
    Neighbours().SetLayeredTransparent = &SetLayeredTransparent;
    Neighbours().IsDwmCompositionEnabled = &IsDwmCompositionEnabled;
}

}  // namespace skin
