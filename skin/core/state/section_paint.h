// Skin section painting: a section's background (colour, gradient, texture or pattern, mixed by
// the section's percentages, with the parent showing through by its transparency), its border
// mask and corner images, into a rectangle of a 24- or 32-bit bitmap.
//
// Rules the painters keep:
//  1. Nothing is reported. An invalid section, no manager (nil means the default one), a bitmap
//     that is missing or not 24/32-bit, or a rectangle that does not lie inside the bitmap
//     paints nothing.
//  2. The parent reaches the painters as a CacheInfo: its bitmap (Ready) or its FillColor
//     (0xFF00FF: nothing is known of it). `offset` is where the rectangle's origin lies in the
//     parent; it is added to the record's X and Y wherever the parent bitmap is read.
//  3. The parent's share of a see-through section is T / 100 everywhere: integer mixes use
//     A = T * 255 div 100, D := (own * (255 - A) + parent * A + 127) >> 8, which is also what
//     the section answers to command 21; only a plain parent colour is mixed in floating point.
//  4. A piece, tile or state image of size below 1 paints nothing along that direction; every
//     pixel loop is clipped to every bitmap it reads or writes.
//  5. Work bitmaps are freed on every way out.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gdi/win_types.h"
#include "skin/core/pixels/gradients.h"
#include "skin/core/pixels/pixels.h"

namespace vcl {
class TBitmap;
class TCanvas;
class TControl;
class TGraphic;
}  // namespace vcl

namespace skin {

class TsSkinManager;
class TsSkinContent;
class TsCommonData;
struct TsMaskData;
struct BackgroundInfo;

// The values a section fills its background with in one state (the first part of
// PaintSkinBackground).
struct SectionFill {
    TColor Color = 0;         // C
    int Transparency = 0;     // T, percent: the parent's share
    int ImagePercent = 0;     // IP
    int GradientPercent = 0;  // GP
    int Texture = -1;         // a mask index, or a pattern index with IsPattern
    bool IsPattern = false;
    const TsGradArray* Gradient = nullptr;  // null or empty: the gradient is the plain colour
};

// The values of section `skinIndex` for `state` (0 normal, else hot), or, with a colour other
// than 0xFF00FF, a plain opaque fill of that colour.
SectionFill SectionFillValues(const TsSkinContent& skin, int skinIndex, std::string_view section,
                              int state, int texture, int hotTexture, TColor color);

// Fills `r` of the target with the section's colour, texture and gradient, mixed by their
// percentages. `parent` is the record as seen from the target's origin.
void FillSkinBackground(vcl::TBitmap* target, TRect r, const SectionFill& v,
                        const CacheInfo& parent, const TsSkinContent& skin);

// The section's background in `r`, with the parent showing through by its transparency.
void PaintSkinBackground(int skinIndex, std::string_view section, const CacheInfo& parent,
                         int state, TRect r, TPoint offset, vcl::TBitmap* target,
                         TsSkinManager* manager, int texture, int hotTexture, TColor color);
// The control's section background, in the owner control's colour when it keeps its own.
void PaintControlBackground(TsCommonData* data, const CacheInfo& parent, int state, TRect r,
                            TPoint offset, vcl::TBitmap* target);
// A simpler background: textures only by the given indexes, no pattern overlay.
void PaintPartBackground(int skinIndex, int texture, int hotTexture, const CacheInfo& parent,
                         int state, TRect r, TPoint offset, vcl::TBitmap* target,
                         TsSkinManager* manager);
// Background, corner images, then the section's BORDERSMASK.
void PaintMaskWithBorders(int skinIndex, std::string_view section, const CacheInfo& parent,
                          bool fillCentre, int state, TRect r, TPoint offset, vcl::TBitmap* target,
                          TsSkinManager* manager, int texture, int hotTexture);
// The whole section through a 24-bit work bitmap, copied to `r` of the DC.
void PaintSectionToDC(int skinIndex, std::string_view section, const CacheInfo& parent,
                      bool fillCentre, int state, TRect r, TPoint offset, win::HDC dc,
                      TsSkinManager* manager);
// Part of a larger picture (a scroll-bar element, a hint): PaintPartBackground and the given
// border mask. The record's shift is undone before returning.
void PaintSectionPart(int skinIndex, int borderMask, int texture, int hotTexture, CacheInfo& parent,
                      bool fillCentre, int state, TRect r, TPoint offset, vcl::TBitmap* target,
                      TsSkinManager* manager);
// The whole bitmap painted as section `name` (else `secondName`), over what `sourceDC` shows at
// `sourcePoint` when given, else over `color`. Answers the section index used (-1: none).
int PaintSectionByName(vcl::TBitmap* bmp, std::string_view name, std::string_view secondName,
                       int state, TsSkinManager* manager, TPoint sourcePoint, TColor color,
                       win::HDC sourceDC);
// The control's section with its own border mask (BorderIndex) and the section's corners;
// `borderOption` is the corner flag of the border mask.
void PaintControlSection(TsCommonData* data, const CacheInfo& parent, bool fillCentre, int state,
                         TRect r, TPoint offset, vcl::TBitmap* target, uint8_t borderOption);
// The same over the background of `parent`, asked for first.
void PaintControlSectionEx(TsCommonData* data, vcl::TControl* parent, bool fillCentre, int state,
                           TRect r, TPoint offset, vcl::TBitmap* target, uint8_t borderOption);

// Asks the control for its background (skin command 34). False when it did not answer: then it
// painted itself into the record's DC (when the record came in with PleaseDraw) or the record
// holds its colour (BgType 1).
bool GetParentBackground(BackgroundInfo& info, vcl::TControl* control, bool pleaseDraw);
// The same for a bare window; its colour fallback is the default manager's global colour.
bool GetBGInfoFromWindow(BackgroundInfo& info, win::HWND wnd, bool pleaseDraw);
// The painters' record of an answer. `view` receives the scan lines of the answer's bitmap and
// must outlive the record.
void BGInfoToCacheInfo(const BackgroundInfo& info, CacheInfo& cache, PixelView& view);

// A texture fill of `r` from `image` (tiled), or from the mask's piece of its skin's master
// bitmap by `mode`. `r` comes back as what is left for a colour fill: all -1 when covered.
void PaintTexture(vcl::TCanvas* canvas, TRect& r, vcl::TGraphic* image, const TsMaskData* mask,
                  int mode);
// A see-through pattern (a MaskType 1 texture) over `r`: transparent pixels show the record's
// background. Modes 0 and 10; `r` becomes all -1 when painted.
void PaintPatternMask(vcl::TBitmap* target, TRect& r, const CacheInfo& parent,
                      const TsMaskData& mask, int mode);
// Repeats a bitmap or JPEG picture over `r` from its top-left corner.
void TileBitmapOnCanvas(vcl::TCanvas* canvas, TRect r, vcl::TGraphic* picture);

}  // namespace skin
