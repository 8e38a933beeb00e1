// Window shapes for hit testing. Regions and layered surfaces are kept with the screen.
#include "platform/user/window_region.h"

#include "platform/user/window_store.h"

namespace win::detail {

bool PointInWindowRegion(const Window*, POINT) {
    return true;
}

bool IsClickThrough(const Window* w, POINT) {
    return (w->exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) ==
           (WS_EX_LAYERED | WS_EX_TRANSPARENT);
}

void ExStyleChanged(Window*, DWORD) {}

}  // namespace win::detail
