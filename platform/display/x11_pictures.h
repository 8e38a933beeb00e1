// Pictures the desktop takes from the program, in the desktop's own formats: a layered window's
// look as premultiplied ARGB for a 32-bit visual, the parts of it that are not transparent as
// rectangles for a shape, and a window's icon as _NET_WM_ICON data.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/win_types.h"
#include "platform/user/win_types.h"
#include "platform/user/window_region.h"

namespace display {

// The layered window's look, `width` x `height` pixels of 0xAARRGGBB with the colour
// premultiplied by the alpha, as a compositing desktop expects: a per-pixel picture is already
// premultiplied and is scaled by the constant alpha; any other takes the constant alpha
// everywhere. A window that has shown nothing yet is transparent.
std::vector<uint32_t> PremultipliedArgb(const win::LayeredLook& look, int width, int height);

// The rectangles covering the set cells of a `width` x `height` mask, row by row, rows that
// are alike merged into one band (the order the Shape extension calls YX-banded).
std::vector<win::RECT> MaskRectangles(const std::vector<uint8_t>& mask, int width, int height);

// _NET_WM_ICON data for an icon: for 16 x 16 and 32 x 32, the width, the height, then the
// pixels as non-premultiplied 0xAARRGGBB, one per long, as the property's format 32 takes them.
// Empty for no icon.
std::vector<long> NetWmIcon(win::HICON icon);

}  // namespace display
