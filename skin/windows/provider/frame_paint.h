// The frame cache's copy to the window: where the four non-client strips go and where they come
// from.
#pragma once

#include "platform/gdi/win_types.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/types.h"

namespace skin {

struct FrameStrips {
    struct Strip {
        vcl::TRect Dst{};    // Left, Top, then width and height, on the window
        vcl::TPoint Src{};   // the strip's top-left corner in the cache
    };
    // Top, left, bottom, right, in the order they are copied.
    Strip Part[4];
};

// BitBlt SRCCOPY of w x h pixels from (sx, sy) of `src` to (x, y) of `dst`, cut to the bitmap.
void BlitClipped(win::HDC dst, int x, int y, int w, int h, vcl::TBitmap* src, int sx, int sy);

}  // namespace skin
