// Colour changes of single colours (the skin's hue and saturation shift) and the runs of
// transparent pixels that window regions are cut from.
#pragma once

#include <vector>

#include "skin/core/pixels/pixels.h"

namespace skin {

TColor SwapRedBlue(TColor c);
// Moves the channels toward their mean by `percent` (100 gives grey; negative moves away).
TColor ChangeColorSaturation(TColor c, int percent);
// Turns the hue by whole degrees; greys stay.
TColor ShiftColorHue(int degrees, TColor c);

// Every horizontal run of pixels of `color` in a 24-bit image, as one-row rectangles.
void CollectColorRuns(std::vector<TRect>& runs, const PixelView& bmp, TColor color);

// The corners of a skin mask that a window region leaves out: the runs of the transparent key
// in the left and right corner of the mask's first frame, the left ones at x 0 of the window,
// the right ones at its right end, their rows moved by `rowOffset`.
struct MaskCorners {
    TRect R;  // the mask's rectangle in `image`
    int ImageCount = 1;
    int MaskType = 0;
    int WL = 0, WT = 0, WR = 0, WB = 0;  // border widths
};
void GetMaskRegionCuts(std::vector<TRect>& cuts, const PixelView& image, const MaskCorners& mask,
                       int windowWidth, bool bottom, int rowOffset);

}  // namespace skin
