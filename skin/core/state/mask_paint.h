// Mask painting: a skin mask (one frame per control state side by side, each cut into nine
// pieces by four border widths) painted into a rectangle of any size, a single state frame
// placed at a point, the parent's background put back under a control's transparent corners,
// and the copy of one piece of a masked texture.
//
// Rules the painters keep:
//  1. Corners keep their size, edges and the centre are tiled (or stretched) along their
//     length; borders wider than the target shrink evenly, the right and bottom ones losing the
//     odd pixel.
//  2. Source rectangles of the piece copiers are inclusive (Right and Bottom are the last
//     pixels); target rectangles are exclusive.
//  3. Skin data never hangs, divides by zero or reaches outside a bitmap: a piece of no size
//     paints nothing along that direction, ImageCount below 1 paints nothing, MaskType below 0
//     counts as 0, negative border widths as 0, the mask rectangle is cut to its picture and
//     every per-pixel loop clips to every bitmap it reads or writes.
//  4. Key-coloured pixels of plain corners: with the corner flag and a ready cache with a
//     bitmap they show the background; with a cache that is not ready its FillColor, unless
//     that is the key itself; otherwise the target pixel stays.
#pragma once

#include <cstdint>

#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/pixels.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TsCommonData;
class TsSkinContent;

// Paints the state's frame of the mask into `t` of the 24- or 32-bit target. The centre is
// painted only with `fillCentre` and a mask that owns its centre (smPaintCentre); `cache` and
// `corner` decide what key-coloured corner pixels show.
void PaintMaskIntoRect(vcl::TBitmap* target, TRect t, bool fillCentre, const CacheInfo& cache,
                       const TsMaskData& mask, int state, bool corner);

// Paints the state's whole frame at `p`, without border logic (section corner images: mode 1).
void BlendMaskRegion(vcl::TBitmap* target, TPoint p, int state, int mode, const TsMaskData& mask,
                     const CacheInfo& cache);

// Copies a picture piece blended by its mask half (both rectangles inclusive). Mode 1 uses the
// mask as it is; other modes keep the piece at least partly see-through.
void BlendMaskHalfPiece(TRect dstRect, TRect srcRect, const PixelView& target,
                        const TsMaskData& mask, int mode, TColor key, const PixelView& source);

// Corner codes of CopyMaskRectTransparent.
enum : int {
    kCornerTopLeft = 13,
    kCornerTopRight = 14,
    kCornerBottomLeft = 16,
    kCornerBottomRight = 17,
};

// Puts pixels of the 32-bit background `b` (from `p` on) back into the rectangle `r` of the
// 32-bit `a` where a corner of the mask (`maskIndex` of `skin`), or with `maskIndex` -1 `a`
// itself, shows the key colour.
void CopyMaskRectTransparent(const PixelView& a, const PixelView& b, TRect r, TPoint p,
                             int maskIndex, const TsSkinContent* skin, int cornerCode);

// Copies a piece of a masked (MaskType 1) texture from the master bitmap of the mask's skin:
// `dstRect`'s Left and Top are the target position, `srcRect` the piece (exclusive).
void PaintMaskRectWithState(TRect dstRect, TRect srcRect, const PixelView& target,
                            const TsMaskData& mask, const CacheInfo& cache);

// Corner sets of PaintCtrlBorderSides.
enum : int {
    kSideTopLeft = 1,
    kSideBottomLeft = 2,
    kSideTopRight = 4,
    kSideBottomRight = 8,
    kSideAllCorners = 15,
};

// What lies behind a control: a bitmap and the control's origin in it, or a plain colour.
struct CornerBackground {
    const PixelView* Bmp = nullptr;
    TPoint Offset{0, 0};
    TColor Color = kTransparentKey;
};

// Puts the background under the key-coloured pixels of the chosen corners of the state's frame
// of `mask`, in the control's cache image `cache`.
void RestoreMaskCorners(const PixelView& cache, const TsMaskData& mask, int state, int corners,
                        const CornerBackground& background);

// The parent's background under the transparent pixels of all four corners (or of the chosen
// ones) of the control's cache image.
void PaintCtrlBorders(TsCommonData* data, int state);
void PaintCtrlBorderSides(TsCommonData* data, int state, int corners);

}  // namespace skin
