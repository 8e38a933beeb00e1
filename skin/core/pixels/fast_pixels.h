// Scan-line pixel accessors and the rectangle helpers built on them.
//
// The accessors do no bounds checks: callers keep coordinates inside the attached bitmaps (the
// painters clip first). The rectangle helpers clip to the bitmap themselves.
#pragma once

#include <cstdint>

#include "skin/core/pixels/disabled_kind.h"
#include "skin/core/pixels/pixels.h"

namespace skin {

// 24-bit pixels read and written as colours 0x00BBGGRR.
class TacFast24 {
public:
    // False (and Width 0) for no bitmap or one smaller than 2 x 2.
    bool Attach(const PixelView* bmp);
    TColor GetPixel(int x, int y) const {
        const uint8_t* p = Base + y * Stride + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
    void SetPixel(int x, int y, TColor c) {
        uint8_t* p = Base + y * Stride + x * 3;
        p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
    }

    int32_t Width = 0, Height = 0;
    ptrdiff_t Stride = 0;
    uint8_t* Base = nullptr;
};

// 32-bit pixels read and written as 0xAABBGGRR.
class TacFast32 {
public:
    bool Attach(const PixelView& bmp);
    uint32_t GetPixel(int x, int y) const {
        const uint8_t* p = Base + y * Stride + x * 4;
        return RGB(p[2], p[1], p[0]) | uint32_t(p[3]) << 24;
    }
    void SetPixel(int x, int y, uint32_t c) {
        uint8_t* p = Base + y * Stride + x * 4;
        p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c), p[3] = uint8_t(c >> 24);
    }
    // Stores the raw pixel value (0xAARRGGBB) over the rectangle; nothing when Right < Left.
    void FillRect(const TRect& r, uint32_t raw);

    int32_t Width = 0, Height = 0;
    ptrdiff_t Stride = 0;
    uint8_t* Base = nullptr;
};

// Blends a rectangle of one bitmap into another by a constant weight of the destination:
// D := (S * (255 - Alpha) + D * Alpha + 127) >> 8 on every byte. The rectangles are aligned at
// their left and bottom edges; only Left and Bottom of SrcRect are read.
template <int BytesPerPixel>
class TacFastSum {
public:
    // Both bitmaps at least 2 x 2; fills everything but Alpha and the rectangles.
    bool Attach(const PixelView& src, const PixelView& dst);
    void BlendRect() const;

    int32_t Width = 0, Height = 0;  // the smaller sizes of the two
    const uint8_t* SrcBase = nullptr;
    uint8_t* DstBase = nullptr;
    ptrdiff_t SrcStride = 0, DstStride = 0;
    uint8_t Alpha = 0;
    TRect DstRect, SrcRect;
};
using TacFastSum24 = TacFastSum<3>;
using TacFastSum32 = TacFastSum<4>;

// The raw 32-bit pixel 0xFFRRGGBB of a colour.
inline uint32_t ColorToPixel32(TColor c) {
    return 0xFF000000u | uint32_t(RedOf(c)) << 16 | uint32_t(GreenOf(c)) << 8 | BlueOf(c);
}

void FillDWords(uint32_t* p, int count, uint32_t value);

// Both clip the rectangle (Right and Bottom exclusive) to the bitmap.
void FillRect32(const PixelView& bmp, TRect r, TColor color);
void FillAlphaRect(const PixelView& bmp, TRect r, uint8_t alpha);

// Mixes every pixel of the rectangle with the colour: channel := Round(channel * p + colour *
// (1 - p)), p = percent / 100. Right and Bottom are included here, clipped to the bitmap.
void BlendColorRect(const PixelView& bmp, TRect r, uint8_t percent, TColor color);

struct CacheInfo;

// The disabled look of a control's bitmap: greyed first, then mixed with what lies behind it
// (the cache bitmap at the cache offset plus `offset`, ratio 0.4) or, without one, with the
// cache's fill colour or else `controlColor` at 50 percent.
void BlendDisabledEffect(const PixelView& bmp, TsDisabledKind kinds, const CacheInfo& cache,
                         TPoint offset, TColor controlColor);

}  // namespace skin
