#include "skin/core/mask_paint.h"

namespace skin {

void PaintMaskIntoRect(vcl::TBitmap*, TRect, bool, const CacheInfo&, const TsMaskData&, int, bool) {
}
void BlendMaskRegion(vcl::TBitmap*, TPoint, int, int, const TsMaskData&, const CacheInfo&) {}
void BlendMaskHalfPiece(TRect, TRect, const PixelView&, const TsMaskData&, int, TColor,
                        const PixelView&) {}
void CopyMaskRectTransparent(const PixelView&, const PixelView&, TRect, TPoint, int,
                             const TsSkinContent*, int) {}
void PaintMaskRectWithState(TRect, TRect, const PixelView&, const TsMaskData&, const CacheInfo&) {}
void RestoreMaskCorners(const PixelView&, const TsMaskData&, int, int, const CornerBackground&) {}
void PaintCtrlBorders(TsCommonData*, int) {}
void PaintCtrlBorderSides(TsCommonData*, int, int) {}

}  // namespace skin
