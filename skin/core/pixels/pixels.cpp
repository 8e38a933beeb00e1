#include "skin/core/pixels/pixels.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/sys_colors.h"
#include "vcl/graphics/graphics.h"

namespace skin {

TColor ColorToRGB(TColor c) {
    return (c & 0xFF000000) == 0x80000000 ? TColor(win::GetSysColor(int(c & 0xFF))) : c;
}

TColor ControlColorToRGB(TColor c) {
    return TColor(vcl::ColorToRGB(vcl::TColor(c)));
}

CopyArea ClipCopy(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h,
                  const PixelView& dst, const PixelView& src, int32_t srcRows) {
    if (dx < 0) sx -= dx, w += dx, dx = 0;
    if (dy < 0) sy -= dy, h += dy, dy = 0;
    if (sx < 0) dx -= sx, w += sx, sx = 0;
    if (sy < 0) dy -= sy, h += sy, sy = 0;
    w = std::min({w, dst.Width - dx, src.Width - sx});
    h = std::min({h, dst.Height - dy, srcRows - sy});
    if (dst.Base == nullptr || src.Base == nullptr) w = h = 0;
    return {dx, dy, sx, sy, w, h};
}

void CopyPixelBlock(const PixelView& dst, int32_t dx, int32_t dy, const PixelView& src, int32_t sx,
                    int32_t sy, int32_t w, int32_t h) {
    const CopyArea a = ClipCopy(dx, dy, sx, sy, w, h, dst, src);
    const int32_t db = dst.BytesPerPixel, sb = src.BytesPerPixel;
    if (a.Empty() || (db != 3 && db != 4) || (sb != 3 && sb != 4)) return;
    for (int32_t j = 0; j < a.Height; ++j) {
        uint8_t* d = dst.At(a.DstX, a.DstY + j);
        const uint8_t* s = src.At(a.SrcX, a.SrcY + j);
        if (db == sb) {
            std::memcpy(d, s, size_t(a.Width) * size_t(db));
            continue;
        }
        for (int32_t i = 0; i < a.Width; ++i, d += db, s += sb) {
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
            if (db == 4) d[3] = 0;
        }
    }
}

}  // namespace skin
