// The menu loops of the default procedure.
#include "platform/user/internal.h"
#include "platform/user/menus.h"

namespace win::detail {

bool HasSystemMenu(Window* w) {
    return (w->style & WS_SYSMENU) || w->sysMenu != nullptr;
}

void TrackMenuBar(Window*, UINT, bool) {}

void TrackSystemMenu(Window*, POINT, bool) {}

}  // namespace win::detail
