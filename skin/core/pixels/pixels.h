// Pixels, colours and the plain pixel-row view that the painting arithmetic works on.
//
// Colours (`TColor`) hold red in the low byte, then green, then blue. 24-bit rows hold blue,
// green, red per pixel; 32-bit rows blue, green, red, alpha. A `PixelView` is the scan-line
// access of a bitmap: the address of row 0 and the signed distance to row 1, so bottom-up and
// top-down images are handled alike.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vcl/graphics/bitmap.h"
#include "vcl/system/types.h"

namespace skin {

using TColor = uint32_t;

inline constexpr TColor kTransparentKey = 0xFF00FF;  // holes in skin pictures; "no colour"
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBlack = 0x000000;

using vcl::pfDevice, vcl::pf1bit, vcl::pf4bit, vcl::pf8bit, vcl::pf15bit, vcl::pf16bit,
    vcl::pf24bit, vcl::pf32bit, vcl::pfCustom;
using vcl::TPixelFormat;

inline constexpr uint8_t RedOf(TColor c) {
    return static_cast<uint8_t>(c);
}
inline constexpr uint8_t GreenOf(TColor c) {
    return static_cast<uint8_t>(c >> 8);
}
inline constexpr uint8_t BlueOf(TColor c) {
    return static_cast<uint8_t>(c >> 16);
}
inline constexpr TColor RGB(uint32_t r, uint32_t g, uint32_t b) {
    return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16;
}

using vcl::TPoint;
using vcl::TRect;

struct PixelView {
    uint8_t* Base = nullptr;  // row 0
    ptrdiff_t Stride = 0;     // bytes from row 0 to row 1; negative for bottom-up images
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t BytesPerPixel = 0;  // 3 or 4 for the painters; 1 for 8-bit planes

    bool Empty() const { return Base == nullptr || Width <= 0 || Height <= 0; }
    uint8_t* Row(int32_t y) const { return Base + y * Stride; }
    uint8_t* At(int32_t x, int32_t y) const { return Row(y) + x * BytesPerPixel; }
    bool Contains(int32_t x, int32_t y) const {
        return x >= 0 && y >= 0 && x < Width && y < Height;
    }
};

}  // namespace skin

namespace skin {

// What lies behind a painted area: the background bitmap and the offset of the area in it, or
// the colour to fill with when no bitmap is ready. FillColor 0xFF00FF is a background nobody
// knows: painters leave the target as it is there rather than paint any colour.
struct CacheInfo {
    const PixelView* Bmp = nullptr;
    int32_t X = 0, Y = 0;
    TColor FillColor = kTransparentKey;
    bool Ready = false;
};

inline constexpr CacheInfo EmptyCacheInfo{};

// A copy of w x h pixels from (sx, sy) of one bitmap to (dx, dy) of another, cut to both: a
// negative origin on one side moves the other side's origin and shrinks the area.
struct CopyArea {
    int32_t DstX, DstY, SrcX, SrcY, Width, Height;
    bool Empty() const { return Width <= 0 || Height <= 0; }
};
CopyArea ClipCopy(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h,
                  const PixelView& dst, const PixelView& src, int32_t srcRows);
inline CopyArea ClipCopy(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h,
                         const PixelView& dst, const PixelView& src) {
    return ClipCopy(dx, dy, sx, sy, w, h, dst, src, src.Height);
}
// Copies w x h pixels of a 24- or 32-bit bitmap into another as ClipCopy cuts them, as a block
// transfer copies them: 24-bit pixels come into 32 bits with a zero fourth byte, 32-bit ones
// into 24 bits lose it.
void CopyPixelBlock(const PixelView& dst, int32_t dx, int32_t dy, const PixelView& src, int32_t sx,
                    int32_t sy, int32_t w, int32_t h);

// System colours (top byte 0x80) become their RGB value; others stay as they are.
TColor ColorToRGB(TColor c);
// The class library's conversion, for controls' colours and the colours skins name: any value
// with the top bit set (0x80 or 0xFF in the top byte) is a system colour.
TColor ControlColorToRGB(TColor c);

}  // namespace skin
