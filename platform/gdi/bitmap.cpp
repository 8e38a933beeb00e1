// Creating bitmaps, and moving pixels between bitmaps and packed DIB rows.
#include "platform/gdi/bitmap.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/objects.h"

namespace win {

using namespace detail;

namespace {

bool IsDibDepth(int bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32;
}

// The standard masks, the only bit fields a 32-bit DIB section may use here.
bool StandardMasks(const BITMAPINFO* bmi) {
    const auto* masks = reinterpret_cast<const DWORD*>(BitmapInfoColors(bmi));
    if (bmi->bmiHeader.biSize >= 52) {
        // V2 and later headers hold the masks inside the header.
        masks = reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(bmi) + 40);
    }
    return masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
}

int ColorCount(const BITMAPINFOHEADER& h) {
    if (h.biBitCount > 8) return 0;
    const int full = 1 << h.biBitCount;
    return h.biClrUsed == 0 || h.biClrUsed > DWORD(full) ? full : int(h.biClrUsed);
}

bool ValidHeader(const BITMAPINFO* bmi) {
    if (!bmi) return false;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN || !IsDibDepth(h.biBitCount))
        return false;
    if (h.biCompression == BI_BITFIELDS) return h.biBitCount == 32 && StandardMasks(bmi);
    return h.biCompression == BI_RGB;
}

}  // namespace

namespace {

HBITMAP MakeDIBSection(const BITMAPINFO* bmi, void** bits, bool cleared) {
    if (bits) *bits = nullptr;
    if (!ValidHeader(bmi)) return nullptr;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    auto b = MakeBitmap(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biBitCount,
                        h.biHeight > 0, cleared);
    if (!b) return nullptr;
    b->dib = true;
    if (h.biBitCount <= 8) {
        const RGBQUAD* c = BitmapInfoColors(bmi);
        const int n = ColorCount(h);
        b->colors.assign(c, c + n);
        for (auto& q : b->colors)
            q.rgbReserved = 0;
    }
    if (bits) *bits = b->bits;
    return Add<HBITMAP>(b);
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* bmi, UINT, void** bits, HANDLE, DWORD) {
    return MakeDIBSection(bmi, bits, true);
}

HBITMAP CreateDIBSectionToFill(const BITMAPINFO* bmi, void** bits) {
    // Only 32-bit rows have no padding bytes that a fill of every pixel would leave alone.
    return MakeDIBSection(bmi, bits, !bmi || bmi->bmiHeader.biBitCount != 32);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    const UINT depth = planes * bitsPerPixel;
    if (width <= 0 || height <= 0 || depth == 0 || depth > 32) return nullptr;
    const bool mono = depth == 1;
    auto b = MakeBitmap(width, height, mono ? 1 : 32);
    if (!b) return nullptr;
    if (mono) {
        b->mono = true;
        b->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    } else {
        b->device = true;
    }
    if (bits && (depth == 1 || depth == 4 || depth == 8 || depth == 24 || depth == 32)) {
        // Rows of the caller's depth padded to 2 bytes, top-down; converted row by row.
        const int srcRow = ((width * int(depth) + 15) / 16) * 2;
        BITMAPINFOHEADER h;
        h.biWidth = width;
        h.biHeight = -1;
        h.biBitCount = WORD(depth);
        std::vector<Pixel> row(size_t(width), 0);
        std::vector<RGBQUAD> grey;
        if (depth <= 8) {
            const int n = 1 << depth;
            for (int i = 0; i < n; ++i) {
                const BYTE v = BYTE(i * 255 / (n - 1));
                grey.push_back(RGBQUAD{v, v, v, 0});
            }
        }
        for (int y = 0; y < height; ++y) {
            const auto* src = static_cast<const BYTE*>(bits) + size_t(y) * size_t(srcRow);
            Bitmap view;
            MakeView(view, h, grey.data(), int(grey.size()), src);
            ReadPixels(view, 0, 0, width, row.data());
            WritePixels(*b, 0, y, width, row.data());
        }
    }
    return Add<HBITMAP>(b);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    auto dc = hdc ? GetDc(hdc) : nullptr;
    if (hdc && !dc) return nullptr;
    if (width <= 0 || height <= 0) return CreateBitmap(1, 1, 1, 1, nullptr);
    const Bitmap* t = dc ? dc->Target() : nullptr;
    if (t && t->mono) return CreateBitmap(width, height, 1, 1, nullptr);
    auto b = MakeBitmap(width, height, 32);
    if (!b) return nullptr;
    b->device = true;
    return Add<HBITMAP>(b);
}

namespace {

// The colour table a DIB of the wanted depth gets: the bitmap's own when the depth matches,
// else what the caller put in the BITMAPINFO.
std::vector<RGBQUAD> TableFor(const Bitmap& b, const BITMAPINFO* bmi) {
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biBitCount > 8) return {};
    if (b.bpp == h.biBitCount) return b.colors;
    const RGBQUAD* c = BitmapInfoColors(bmi);
    return std::vector<RGBQUAD>(c, c + ColorCount(h));
}

// Row index inside the bitmap for DIB scan line `line` (0 = bottom for bottom-up DIBs).
int BitmapRowOf(const Bitmap& b, const BITMAPINFOHEADER& h, int line) {
    return h.biHeight > 0 ? b.height - 1 - line : line;
}

}  // namespace

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT) {
    auto b = Get<Bitmap>(bitmap);
    if (!b || !bmi || bmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biBitCount == 0) {
        // Only the description of the bitmap itself.
        h.biWidth = b->width;
        h.biHeight = b->bottomUp || !b->dib ? b->height : -b->height;
        h.biPlanes = 1;
        h.biBitCount = WORD(b->bpp);
        h.biCompression = BI_RGB;
        h.biSizeImage = DWORD(DibRowBytes(b->width, b->bpp)) * DWORD(b->height);
        h.biClrUsed = 0;
        return b->height;
    }
    if (!IsDibDepth(h.biBitCount) || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS))
        return 0;
    const bool topDown = h.biHeight < 0;
    h.biWidth = b->width;
    h.biHeight = topDown ? -b->height : b->height;
    h.biPlanes = 1;
    h.biSizeImage = DWORD(DibRowBytes(b->width, h.biBitCount)) * DWORD(b->height);
    const std::vector<RGBQUAD> table = TableFor(*b, bmi);
    if (h.biBitCount <= 8) {
        std::copy(table.begin(), table.end(), BitmapInfoColors(bmi));
        h.biClrUsed = 0;
    }
    if (!bits) return b->height;
    if (start >= UINT(b->height)) return 0;
    const int n = int(std::min<UINT>(lines, UINT(b->height) - start));
    BITMAPINFOHEADER vh = h;
    vh.biHeight = -1;  // one row at a time
    const int rowBytes = DibRowBytes(b->width, h.biBitCount);
    std::vector<Pixel> row(size_t(b->width));
    for (int i = 0; i < n; ++i) {
        const int line = int(start) + i;
        ReadPixels(*b, 0, BitmapRowOf(*b, h, line), b->width, row.data());
        auto* dst = static_cast<BYTE*>(bits) + size_t(i) * size_t(rowBytes);
        Bitmap view;
        MakeView(view, vh, table.data(), int(table.size()), dst);
        WritePixels(view, 0, 0, b->width, row.data());
    }
    return n;
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* bmi,
              UINT) {
    auto b = Get<Bitmap>(bitmap);
    if (!b || !bits || !ValidHeader(bmi)) return 0;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (start >= UINT(height)) return 0;
    const int n = int(std::min<UINT>(lines, UINT(height) - start));
    const int width = std::min<int>(h.biWidth, b->width);
    BITMAPINFOHEADER vh = h;
    vh.biHeight = -1;
    const int rowBytes = DibRowBytes(h.biWidth, h.biBitCount);
    std::vector<Pixel> row(size_t(h.biWidth));
    int done = 0;
    for (int i = 0; i < n; ++i) {
        const int line = int(start) + i;
        // The DIB's scan line in bitmap rows: bottom-up DIBs count from the bottom.
        const int y = h.biHeight > 0 ? b->height - 1 - line : line;
        if (y < 0 || y >= b->height) continue;
        const auto* src = static_cast<const BYTE*>(bits) + size_t(i) * size_t(rowBytes);
        Bitmap view;
        MakeView(view, vh, BitmapInfoColors(bmi), ColorCount(h), src);
        ReadPixels(view, 0, 0, width, row.data());
        WritePixels(*b, 0, y, width, row.data());
        ++done;
    }
    return done;
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
    auto dc = GetDc(hdc);
    const Bitmap* b = dc ? dc->Target() : nullptr;
    if (!b || !colors || b->bpp > 8) return 0;
    UINT n = 0;
    for (UINT i = start; i < b->colors.size() && n < count; ++i)
        colors[n++] = b->colors[i];
    return n;
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors) {
    auto dc = GetDc(hdc);
    Bitmap* b = dc ? dc->Target() : nullptr;
    if (!b || !colors || b->bpp > 8 || b->stock) return 0;
    UINT n = 0;
    for (UINT i = start; i < b->colors.size() && n < count; ++i) {
        b->colors[i] = colors[n++];
        b->colors[i].rgbReserved = 0;
    }
    return n;
}

bool GetBitmapView(HBITMAP bitmap, BitmapView* view) {
    auto b = Get<Bitmap>(bitmap);
    if (!b || !view) return false;
    view->bits = b->Row(0);
    view->stride = b->bottomUp ? -b->rowBytes : b->rowBytes;
    view->width = b->width;
    view->height = b->height;
    view->bitsPerPixel = b->bpp;
    view->device = b->device;
    return true;
}

}  // namespace win
