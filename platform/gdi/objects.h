// The drawing objects behind the handles, and pixel access over every bitmap format (internal
// to platform/gdi).
#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/object_table.h"
#include "platform/gdi/region_set.h"
#include "platform/gdi/win_types.h"

namespace win::detail {

// A pixel as the 32-bit rows hold it, read as one little-endian word: 0xAARRGGBB.
using Pixel = uint32_t;

constexpr Pixel ColorToPixel(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF PixelToColor(Pixel p) {
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}
constexpr Pixel QuadToPixel(const RGBQUAD& q) {
    return Pixel(q.rgbBlue) | (Pixel(q.rgbGreen) << 8) | (Pixel(q.rgbRed) << 16);
}

// Zeroed pixel memory of at least `size` bytes (left as it is found when not `cleared`, for a
// caller that writes all of it first); `capacity` receives the block's real size, which
// ReleasePixels takes back. Large blocks are reused: a fresh block costs a page fault per
// page on first touch, far more than clearing one the process already holds, and windows and
// their caches make and drop whole-window bitmaps all the time. At most a few of them are kept.
BYTE* AllocPixels(size_t size, size_t& capacity, bool cleared = true);
void ReleasePixels(BYTE* p, size_t capacity);

struct Bitmap : Object {
    static constexpr Kind kKind = Kind::Bitmap;
    Bitmap() : Object(kKind) {}

    int width = 0;
    int height = 0;
    int bpp = 0;
    bool device = false;  // the 32-bit device format
    bool dib = false;     // made as a DIB section
    bool mono = false;    // a monochrome bitmap of CreateBitmap (colours map through the DC)
    bool bottomUp = false;
    int rowBytes = 0;
    // Zeroed pixels from AllocPixels; the deleter hands large blocks back to its reuse list.
    struct FreeMemory {
        size_t capacity;  // value-initialised (0) by a default-made pointer
        void operator()(BYTE* p) const { ReleasePixels(p, capacity); }
    };
    std::unique_ptr<BYTE, FreeMemory> memory;
    BYTE* bits = nullptr;         // the pixels: memory, or a buffer the caller owns (views)
    std::vector<RGBQUAD> colors;  // the colour table of an indexed bitmap
    int selections = 0;           // selections (current and saved) of the one DC holding it
    const Object* holder = nullptr;

    BYTE* Row(int y) const { return bits + ptrdiff_t(bottomUp ? height - 1 - y : y) * rowBytes; }
    Pixel* Row32(int y) const { return reinterpret_cast<Pixel*>(Row(y)); }
    RECT Bounds() const { return RECT{0, 0, width, height}; }
};

// Makes a bitmap of the given format with zeroed pixels (not cleared when not `cleared`); null
// when the size is not allowed. Indexed formats get a grey ramp (black and white for 1 bit)
// until a table is set.
std::shared_ptr<Bitmap> MakeBitmap(int width, int height, int bpp, bool bottomUp = false,
                                   bool cleared = true);
std::shared_ptr<Bitmap> CloneBitmap(const Bitmap& b);
// A bitmap over pixels someone else owns (packed DIB rows), for converting them; not registered.
void MakeView(Bitmap& b, const BITMAPINFOHEADER& h, const RGBQUAD* colors, int colorCount,
              const void* bits);
int DibRowBytes(int width, int bpp);

// Nearest colour of a table: least squared distance, the lowest index on ties. Remembers the
// last answer, since runs of one colour are the rule.
class NearestIndex {
public:
    explicit NearestIndex(const std::vector<RGBQUAD>& colors) : colors_(colors) {}
    int operator()(Pixel p);

private:
    const std::vector<RGBQUAD>& colors_;
    Pixel lastPixel_ = 0;
    int lastIndex_ = -1;
};

// Reads n pixels of row y from column x on, as 0xAARRGGBB (alpha 0 unless the bitmap has 32
// bits). The caller keeps the span inside the bitmap.
void ReadPixels(const Bitmap& b, int x, int y, int n, Pixel* out);
// Writes n pixels, converting to the bitmap's format (alpha is kept on 32-bit bitmaps).
void WritePixels(Bitmap& b, int x, int y, int n, const Pixel* in);
Pixel ReadPixel(const Bitmap& b, int x, int y);
void WritePixel(Bitmap& b, int x, int y, Pixel p);
// Fills n pixels with one value.
void FillPixels(Bitmap& b, int x, int y, int n, Pixel p);

struct Brush : Object {
    static constexpr Kind kKind = Kind::Brush;
    Brush() : Object(kKind) {}
    UINT style = 0;  // BS_SOLID or BS_NULL
    COLORREF color = 0;
    bool Null() const;
};

struct Pen : Object {
    static constexpr Kind kKind = Kind::Pen;
    Pen() : Object(kKind) {}
    int style = 0;  // PS_SOLID, PS_NULL, ...
    int width = 1;
    COLORREF color = 0;
    bool Null() const;
};

struct Palette : Object {
    static constexpr Kind kKind = Kind::Palette;
    Palette() : Object(kKind) {}
    std::vector<RGBQUAD> colors;
};

struct RegionObject : Object {
    static constexpr Kind kKind = Kind::Region;
    RegionObject() : Object(kKind) {}
    RegionSet set;
};

}  // namespace win::detail
