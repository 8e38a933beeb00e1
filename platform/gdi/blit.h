// Block transfers: BitBlt and PatBlt with raster operations, StretchBlt (COLORONCOLOR samples
// the nearest pixel, HALFTONE averages the covered area), TransparentBlt, AlphaBlend and
// GradientFill. Every transfer clips to the destination DC's clip, to the destination bitmap and
// to the source bitmap; right and bottom edges are exclusive.
//
// Raster operations work bitwise on whole pixels; on 32-bit targets that includes the alpha
// byte, where colours (brushes, text colours) carry alpha 0 and 24-bit sources read as alpha 0.
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;
inline constexpr DWORD NOMIRRORBITMAP = 0x80000000;
inline constexpr DWORD CAPTUREBLT = 0x40000000;

// Any of the 256 ternary operations (the operation byte is bits 16..23 of rop).
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
// Operations without a source; a negative width or height extends left or up.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// A negative width or height on one side mirrors the picture.
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop);
// Copies (stretching by the nearest pixel) all source pixels whose colour differs from
// `transparent` (compared on red, green and blue).
BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                    int srcWidth, int srcHeight, UINT transparent);

struct BLENDFUNCTION {
    BYTE BlendOp = 0;
    BYTE BlendFlags = 0;
    BYTE SourceConstantAlpha = 255;
    BYTE AlphaFormat = 0;
};
inline constexpr BYTE AC_SRC_OVER = 0;
inline constexpr BYTE AC_SRC_ALPHA = 1;

// Without AC_SRC_ALPHA every byte becomes (S * C + D * (255 - C)) / 255, C the constant alpha.
// With it the source must be 32-bit and premultiplied: with S' = S * C / 255 for every byte
// (alpha included), D := S' + D * (255 - alpha of S') / 255. Divisions round to nearest;
// results are capped at 255. Sizes that differ stretch by the nearest pixel.
BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, BLENDFUNCTION blend);
inline BOOL GdiAlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                          int srcWidth, int srcHeight, BLENDFUNCTION blend) {
    return AlphaBlend(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, blend);
}

struct TRIVERTEX {
    LONG x = 0;
    LONG y = 0;
    COLOR16 Red = 0;
    COLOR16 Green = 0;
    COLOR16 Blue = 0;
    COLOR16 Alpha = 0;
};
struct GRADIENT_RECT {
    ULONG UpperLeft = 0;
    ULONG LowerRight = 0;
};
struct GRADIENT_TRIANGLE {
    ULONG Vertex1 = 0;
    ULONG Vertex2 = 0;
    ULONG Vertex3 = 0;
};
inline constexpr ULONG GRADIENT_FILL_RECT_H = 0;
inline constexpr ULONG GRADIENT_FILL_RECT_V = 1;
inline constexpr ULONG GRADIENT_FILL_TRIANGLE = 2;

// Colours are 16 bits per channel (the high byte counts); 32-bit targets get the alpha too.
// A rectangle's column (row) i of n takes c1 + (c2 - c1) * i / n, so the far colour lies on
// the excluded edge; a triangle interpolates linearly over the pixels whose centres lie inside
// it (pixels on a shared edge belong to one triangle only).
BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh,
                  ULONG meshCount, ULONG mode);
inline BOOL GdiGradientFill(HDC dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh,
                            ULONG meshCount, ULONG mode) {
    return GradientFill(dc, vertices, vertexCount, mesh, meshCount, mode);
}

}  // namespace win
