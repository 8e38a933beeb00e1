// Bitmaps: device-independent bitmaps (DIB sections) of 1, 4 and 8 bits with a colour table,
// 24 bits (blue, green, red; rows padded to 4 bytes) and 32 bits (blue, green, red, alpha), and
// the device format that CreateCompatibleBitmap makes: 32-bit blue, green, red and an unused
// byte. GetObject tells a device bitmap from a DIB section the usual way: only a DIB section
// fills a DIBSECTION (and has bmBits).
//
// Conversions (GetDIBits, SetDIBits, and blits between formats): 24 to 32 bits gives alpha 0,
// 32 to 24 drops alpha, indexed pixels go through their colour table, and anything written to
// an indexed bitmap takes the nearest colour of its table (so 8 to 1 bit with a black and white
// table thresholds at the middle).
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 0;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr;
};

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
    friend bool operator==(const RGBQUAD&, const RGBQUAD&) = default;
};

struct BITMAPINFOHEADER {
    DWORD biSize = sizeof(BITMAPINFOHEADER);
    LONG biWidth = 0;
    LONG biHeight = 0;  // negative: rows top-down
    WORD biPlanes = 1;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

// The colour table follows the header (biSize bytes after its start); callers that need more
// than one entry allocate room for them behind the struct.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3] = {0, 0, 0};
    HANDLE dshSection = nullptr;
    DWORD dsOffset = 0;
};

inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;

// The colour table of a BITMAPINFO (right after its header, whatever the header's size).
inline RGBQUAD* BitmapInfoColors(BITMAPINFO* bmi) {
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(bmi) + bmi->bmiHeader.biSize);
}
inline const RGBQUAD* BitmapInfoColors(const BITMAPINFO* bmi) {
    return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(bmi) +
                                            bmi->bmiHeader.biSize);
}

// Bit counts 1, 4, 8, 24 and 32 with BI_RGB (BI_BITFIELDS with the standard 32-bit masks is
// accepted too). A positive height gives bottom-up rows, as the platform lays them out: *bits
// then points at the bottom row. Fails (NULL) for other formats, a zero size, or more than
// kMaxBitmapPixels pixels. The DC is ignored; DIB_PAL_COLORS is taken as DIB_RGB_COLORS.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* bmi, UINT usage, void** bits,
                         HANDLE section = nullptr, DWORD offset = 0);
// As CreateDIBSection, for a caller that sets every pixel before it reads any: the pixels of a
// 32-bit one are not cleared first (a whole-window bitmap cleared and then filled is written
// twice for one picture). Other depths are cleared as CreateDIBSection clears them.
HBITMAP CreateDIBSectionToFill(const BITMAPINFO* bmi, void** bits);
// planes * bits 1 makes a monochrome bitmap; any other count the device format. `bits`, when
// given, holds rows of that count padded to 2 bytes.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// The device format, or monochrome when the DC is a memory DC holding a monochrome bitmap.
// A zero width or height gives a 1 x 1 monochrome bitmap.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);

// Rows start..start + lines - 1 counted from the bottom, as for the platform; with bits NULL
// only the header is filled in (and the colour table of an indexed bitmap). Answers the number
// of rows copied, 0 on failure.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* bmi,
              UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* bmi, UINT usage);
// The colour table of the indexed DIB selected into a memory DC.
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors);

inline constexpr long long kMaxBitmapPixels = 64ll << 20;  // 8192 x 8192

// Direct access to the pixels of any bitmap (DIB section or device format): row y starts at
// bits + y * stride, where stride is negative for bottom-up DIB sections. Valid until the
// bitmap is deleted.
struct BitmapView {
    BYTE* bits = nullptr;
    int stride = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool device = false;  // the 32-bit device format of CreateCompatibleBitmap
    BYTE* Row(int y) const { return bits + std::ptrdiff_t(y) * stride; }
};
bool GetBitmapView(HBITMAP bitmap, BitmapView* view);

}  // namespace win
