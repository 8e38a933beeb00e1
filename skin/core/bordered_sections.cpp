#include "skin/core/bordered_sections.h"

namespace skin {

void PaintSectionWithBorders(win::HDC, TRect, int, TsCommonData*, int, TRect&) {}
void PaintMaskToDC(vcl::TBitmap*, win::HRGN, bool, const TsMaskData&, int) {}
void CopyTransparent24(TRect, bool, const TsMaskData&, win::HRGN, const PixelView&, TRect) {}

}  // namespace skin
