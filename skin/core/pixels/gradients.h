// Multi-stop gradients: the GRADIENTDATA text of a skin section parsed into stops, and the stops
// painted into a rectangle of a 24- or 32-bit image.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "skin/core/pixels/pixels.h"

namespace skin {

struct TsGradRec {
    TColor Color1 = 0;
    TColor Color2 = 0;
    uint8_t Percent = 0;  // the band's share of the length, 0..100
    int32_t Mode = 0;     // of the first stop only: 0 rows, 1 columns, 2 triangles
};
using TsGradArray = std::vector<TsGradRec>;

// Five ";"-separated words per stop (the fifth unread). A word that is not an integer raises
// EConvertError.
void ParseGradientStops(std::string_view text, TsGradArray& stops);

// Modes 0 and 1 on the rows themselves; mode 2 (four triangles meeting in the middle) needs the
// bitmap's canvas and paints nothing on a bare view.
void PaintGradientStops(const PixelView& bmp, TRect r, const TsGradArray& stops, int offset);
void PaintGradientStops(vcl::TBitmap* bmp, TRect r, const TsGradArray& stops, int offset);

}  // namespace skin
