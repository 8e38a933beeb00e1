// Helpers the skinned buttons share: placing a glyph and a caption inside a button, drawing one
// state of a multi-state glyph bitmap, turning a bitmap by 90 degrees, the soft rounded
// highlight, and keeping graphic children out of a DC's clip region.
//
// Rules:
// 1. A glyph bitmap holds NumGlyphs pictures side by side, each width div NumGlyphs wide; a
//    count below 1 counts as 1. The bottom-left pixel of a picture is its transparent colour.
// 2. Every halving of the layout rounds toward zero.
// 3. RotateBitmap90 turns bitmaps of every size, 1 x N included.
#pragma once

#include "platform/gdi/win_types.h"
#include "skin/core/pixels/disabled_kind.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/graphics/bitmap.h"

namespace vcl {
class TWinControl;
class TClassInfo;
}  // namespace vcl

namespace skin {

// Where the glyph sits beside the caption.
enum TsGlyphLayout : int { glGlyphLeft = 0, glGlyphRight = 1, glGlyphTop = 2, glGlyphBottom = 3 };
// Alignment of the glyph and caption block along the main axis.
enum TsGlyphAlignment : int { gaLeft = 0, gaRight = 1, gaCenter = 2 };
// Right-to-left bit of the layout flags: glyph left and right exchange places.
inline constexpr int kLayoutRightToLeft = 2;

// When set, the hot and pressed states of a multi-state glyph show the first picture.
extern bool GlyphsUseFirstPicture;
// While set, ExcludeGraphicChildren excludes nothing.
extern bool KeepGraphicChildrenInClip;
// Graphic children of this class (and its descendants) are never excluded; nullptr: none.
extern const vcl::TClassInfo* UnexcludedGraphicClass;

// Glyph position and caption bounds inside the client rectangle; margin and spacing -1 let the
// routine choose.
void CalcButtonLayout(const TRect& client, TPoint glyphSize, TPoint textSize, int layout,
                      int alignment, int margin, int spacing, TPoint& glyphPos, TRect& textBounds,
                      int flags);

// Draws one picture of `glyph` at `pos` of `target` (state 0 normal, 1 hot, 2 pressed).
// `blend` is the percent of the target showing through a normal picture.
void DrawMultiGlyph(vcl::TBitmap* glyph, vcl::TBitmap* target, TPoint pos, int indexOffset,
                    int blend, int state, TsDisabledKind disabledKind, bool enabled, int numGlyphs);

// Replaces `bmp` by a copy turned by 90 degrees (24- or 32-bit as the source; other formats
// come out 24-bit). The source is freed unless `keepSource`.
void RotateBitmap90(vcl::TBitmap*& bmp, bool clockwise, bool keepSource);

// A soft rounded highlight of `color` over the rectangle of `target`: its edge keeps the
// picture, its inside shows `percent` of it.
void PaintRoundThumb(vcl::TBitmap* target, TRect r, int percent, int radius, int softWidth,
                     TColor color);

// Excludes the bounds (moved by dx, dy) of every visible graphic child of `parent` from the DC's
// clip region.
void ExcludeGraphicChildren(win::HDC dc, vcl::TWinControl* parent, int dy, int dx);

}  // namespace skin
