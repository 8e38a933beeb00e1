// The painting primitives that draw through device contexts: solid fills, border bands and
// strips, the 3-D frame, the dotted focus frame, the nine-slice copy and regions built from a
// bitmap's transparent colour.
#pragma once

#include <string_view>

#include "platform/gdi/gdi.h"
#include "skin/core/pixels/gradients.h"
#include "skin/core/pixels/pixels.h"

namespace skin {

// Both fill a colour or a system colour (either top-byte form).
void FillRectSolid(win::HDC dc, const TRect& r, TColor color);
// Four bands of the given widths inside the rectangle, in one colour.
void FillBorderBands(win::HDC dc, const TRect& r, int left, int top, int right, int bottom,
                     TColor color);
// The left column, top row, right column and bottom row of an area, `border` pixels wide,
// copied from the same places of the source.
void CopyBorderStrips(win::HDC dst, int x, int y, int width, int height, win::HDC src, int srcX,
                      int srcY, int border);
// `width` one-pixel rings, light at the top and left, dark at the bottom and right; `width` is
// counted down to 0.
void Draw3DFrame(win::HDC dc, TRect r, TColor light, TColor dark, int& width);
// Every third pixel of the frame black, with a white pixel beside it.
void DrawDottedFocusRect(win::HDC dc, const TRect& r);

// Copies `src` into `dst` keeping the corners: corner sizes are the smaller of the two margin
// rectangles' values; sides and centre are tiled (mode 0) or stretched (mode 1); the centre only
// with `fillCentre`.
struct NineSliceModes {
    int Left = 0, Top = 0, Right = 0, Bottom = 0, Centre = 0;
};
void PaintBitmapNineSlice(win::HDC dst, win::HDC src, const TRect& dstRect, const TRect& srcRect,
                          const TRect& margins1, const TRect& margins2, NineSliceModes modes,
                          bool fillCentre);

// The size of `text` in the given font, measured on a screen-compatible DC; 0, 0 when the
// measuring fails.
win::SIZE GetFontTextExtent(win::HFONT font, std::string_view text);

// Gradient mode 2: four triangles from the corners to the middle, coloured by the first five
// stops' Color1.
void PaintGradientTriangles(win::HDC dc, const TRect& r, const TsGradArray& stops);

// The bitmap's whole rectangle without the runs of `color` (24-bit); the caller owns it.
win::HRGN RegionFromBitmap(const PixelView& bmp, TColor color);

}  // namespace skin
