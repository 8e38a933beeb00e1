// Window regions and layered windows: what clips a window's shape and how it blends.
#pragma once

#include "platform/user/win_types.h"

namespace win::detail {

struct Window;

// Whether a point (window coordinates) is inside the window's region and, for a layered window,
// on a pixel that is not fully transparent.
bool PointInWindowRegion(const Window* w, POINT p);
// Whether the mouse passes through the window at the point (screen coordinates).
bool IsClickThrough(const Window* w, POINT screen);
void ExStyleChanged(Window* w, DWORD oldExStyle);

}  // namespace win::detail
