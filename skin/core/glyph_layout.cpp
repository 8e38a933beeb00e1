#include "skin/core/glyph_layout.h"

namespace skin {

bool GlyphsUseFirstPicture = false;
bool KeepGraphicChildrenInClip = false;
const vcl::TClassInfo* UnexcludedGraphicClass = nullptr;

void CalcButtonLayout(const TRect&, TPoint, TPoint, int, int, int, int, TPoint&, TRect&, int) {}
void DrawMultiGlyph(vcl::TBitmap*, vcl::TBitmap*, TPoint, int, int, int, TsDisabledKind, bool,
                    int) {}
void RotateBitmap90(vcl::TBitmap*&, bool, bool) {}
void PaintRoundThumb(vcl::TBitmap*, TRect, int, int, int, TColor) {}
void ExcludeGraphicChildren(win::HDC, vcl::TWinControl*, int, int) {}

}  // namespace skin
