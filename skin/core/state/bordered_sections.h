// Two painters on the mask geometry for particular callers: a control's border mask plus an
// extra frame in the section colour painted into its cache image (panels, hooked dialogs, the
// form frame), and a mask painted over a whole 24-bit bitmap whose transparent corners are cut
// out of a window region (the glyph area of bit buttons).
//
// Rules:
//  1. The inner rectangle never gets a negative size: crossing sides collapse to a line.
//  2. Every key-colour run of a transparent piece is removed from the region (never added back
//     where runs overlap).
//  3. Skin data is treated as in the mask painters: nothing hangs, divides by zero or reaches
//     outside a bitmap.
#pragma once

#include "platform/gdi/win_types.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/pixels.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TsCommonData;

// Paints the control's border mask into its cache image and a frame of width `b` in the section
// colour inside it, copies the frame to `dc`, and returns the rectangle left inside.
void PaintSectionWithBorders(win::HDC dc, TRect r, int b, TsCommonData* data, int state,
                             TRect& inner);

// Paints the state's frame of the mask over the whole 24-bit bitmap; with a region, the
// key-coloured pixels of the corners are cut out of it.
void PaintMaskToDC(vcl::TBitmap* bmp, win::HRGN rgn, bool fillCentre, const TsMaskData& mask,
                   int state);

// Copies one piece of the mask's picture (`src`, inclusive) to (dst.Left, dst.Top) of the 24-bit
// target; `dst` is inclusive too. With `transparent`, key-coloured pixels are skipped and their
// runs are removed from `rgn`.
void CopyTransparent24(TRect dst, bool transparent, const TsMaskData& mask, win::HRGN rgn,
                       const PixelView& target, TRect src);

}  // namespace skin
