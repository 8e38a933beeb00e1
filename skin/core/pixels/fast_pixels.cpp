#include "skin/core/pixels/fast_pixels.h"

#include <algorithm>
#include <cmath>

#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/blend_rows.h"

namespace skin {
namespace {

TRect ClipToView(TRect r, const PixelView& v) {
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, v.Width);
    r.Bottom = std::min(r.Bottom, v.Height);
    return r;
}

}  // namespace

bool TacFast24::Attach(const PixelView* bmp) {
    if (bmp == nullptr || bmp->Base == nullptr || bmp->Width < 2 || bmp->Height < 2) {
        Width = 0;
        return false;
    }
    Width = bmp->Width, Height = bmp->Height, Stride = bmp->Stride, Base = bmp->Base;
    return true;
}

bool TacFast32::Attach(const PixelView& bmp) {
    if (bmp.Base == nullptr || bmp.Width < 2 || bmp.Height < 2) {
        Width = 0;
        return false;
    }
    Width = bmp.Width, Height = bmp.Height, Stride = bmp.Stride, Base = bmp.Base;
    return true;
}

void TacFast32::FillRect(const TRect& r, uint32_t raw) {
    for (int y = r.Top; y < r.Bottom; ++y) {
        FillDWords(reinterpret_cast<uint32_t*>(Base + y * Stride) + r.Left, r.Right - r.Left, raw);
    }
}

template <int B>
bool TacFastSum<B>::Attach(const PixelView& src, const PixelView& dst) {
    if (src.Base == nullptr || dst.Base == nullptr || src.Width < 2 || src.Height < 2 ||
        dst.Width < 2 || dst.Height < 2) {
        return false;
    }
    Width = std::min(src.Width, dst.Width), Height = std::min(src.Height, dst.Height);
    SrcBase = src.Base, DstBase = dst.Base, SrcStride = src.Stride, DstStride = dst.Stride;
    return true;
}

template <int B>
void TacFastSum<B>::BlendRect() const {
    const int dx = (DstRect.Left - SrcRect.Left) * B;
    const int first = DstRect.Left * B, count = (DstRect.Right - DstRect.Left) * B;
    for (int y = DstRect.Bottom - 1; y >= DstRect.Top; --y) {
        uint8_t* d = DstBase + y * DstStride + first;
        const uint8_t* s = SrcBase + (y - DstRect.Bottom + SrcRect.Bottom) * SrcStride - dx + first;
        RatioRow(d, s, count, Alpha);
    }
}

template class TacFastSum<3>;
template class TacFastSum<4>;

void FillDWords(uint32_t* p, int count, uint32_t value) {
    if (count < 1) return;
    std::fill_n(p, count, value);
}

void FillRect32(const PixelView& bmp, TRect r, TColor color) {
    TacFast32 fast;
    if (!fast.Attach(bmp)) return;
    fast.FillRect(ClipToView(r, bmp), ColorToPixel32(color));
}

void FillAlphaRect(const PixelView& bmp, TRect r, uint8_t alpha) {
    r = ClipToView(r, bmp);
    for (int y = r.Top; y < r.Bottom; ++y) {
        uint8_t* p = bmp.Row(y) + r.Left * 4 + 3;
        for (int x = r.Left; x < r.Right; ++x, p += 4)
            *p = alpha;
    }
}

void BlendColorRect(const PixelView& bmp, TRect r, uint8_t percent, TColor color) {
    if (bmp.Base == nullptr || (bmp.BytesPerPixel != 3 && bmp.BytesPerPixel != 4)) return;
    color = ColorToRGB(color);
    const double p = (percent & 255) / 100.0, q = 1 - p;
    const double cb = BlueOf(color) * q, cg = GreenOf(color) * q, cr = RedOf(color) * q;
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, bmp.Width - 1);
    r.Bottom = std::min(r.Bottom, bmp.Height - 1);
    for (int y = r.Top; y <= r.Bottom; ++y) {
        uint8_t* px = bmp.Row(y) + r.Left * bmp.BytesPerPixel;
        for (int x = r.Left; x <= r.Right; ++x, px += bmp.BytesPerPixel) {
            px[0] = static_cast<uint8_t>(int(std::nearbyint(px[0] * p + cb)));
            px[1] = static_cast<uint8_t>(int(std::nearbyint(px[1] * p + cg)));
            px[2] = static_cast<uint8_t>(int(std::nearbyint(px[2] * p + cr)));
        }
    }
}

void BlendDisabledEffect(const PixelView& bmp, TsDisabledKind kinds, const CacheInfo& cache,
                         TPoint offset, TColor controlColor) {
    if (kinds.Contains(dkGrayed)) GrayscaleBitmap(bmp);
    if (!kinds.Contains(dkBlended)) return;
    if (cache.Ready && cache.Bmp != nullptr) {
        TRect r{cache.X + offset.X, cache.Y + offset.Y, cache.X + offset.X + bmp.Width,
                cache.Y + offset.Y + bmp.Height};
        // The source rectangle of the transparent blend is inclusive.
        --r.Right, --r.Bottom;
        BlendBitmapTransparent(bmp, 0, 0, *cache.Bmp, r, 0.4, 0xFF000000u | kTransparentKey);
    } else {
        TColor c = cache.FillColor == kTransparentKey ? controlColor : cache.FillColor;
        BlendColorRect(bmp, {0, 0, bmp.Width, bmp.Height}, 50, c);
    }
}

}  // namespace skin
