// Captions in the colours of a skin section, and the glow behind them.
//
// A caption is written in the section's font colour of its state, after up to four one-pixel
// contour passes (left, top, right, bottom; a contour colour of -1 draws nothing on that side);
// a disabled one in a dimmed colour (40 percent font colour). A glow is the text drawn black
// into a white 8-bit mask, blurred with a Gaussian kernel and laid under the letters in the
// glow colour.
//
// Rules:
//  1. The glow mask has a grey colour table (entry i is grey i), so a pixel's byte is its grey
//     level; the blur and the mix read it as such.
//  2. A mask the caller passes back is reused unchanged while it is 8-bit and of the size the
//     text rectangle needs: the blur runs again only when that size changes.
//  3. A radius of 0 or less means no blur; a glow size below 1 draws no glow.
//  4. Every pixel loop clips to the bitmaps it reads and writes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/gdi/gdi.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {

class TsCommonData;
class TsSkinManager;

// --- writing captions ---

// A control's caption in the colours of its section; `state` 0 is the normal look, any other
// the hot one. Nothing without a skin state or a manager.
void DrawSkinText(vcl::TCanvas* canvas, std::string_view text, bool enabled, int state,
                  TsCommonData* data, uint32_t flags, TRect r);
// A caption in the colours of the section at `skinIndex` of `manager` (null: the default one).
void DrawSectionText(vcl::TCanvas* canvas, std::string_view text, bool enabled,
                     TsSkinManager* manager, int state, int skinIndex, uint32_t flags, TRect r);
// The contour passes of a section's state, in the order they are written: left, top, right,
// bottom, each one pixel off to its side; sides of colour -1 are left out.
struct TextContours {
    struct Pass {
        TColor Color;
        int DX, DY;
    };
    int Count = 0;
    Pass Passes[4];
};
TextContours ContoursOf(const TsGeneralData& section, bool hot);
inline void DrawSectionTextEx(vcl::TCanvas* canvas, std::string_view text, bool enabled,
                              TsSkinManager* manager, int state, int skinIndex, uint32_t flags,
                              TRect r) {
    DrawSectionText(canvas, text, enabled, manager, state, skinIndex, flags, r);
}

// The glow of `text` written in `r` of `target` (24 or 32 bits) in `glowColor` (RGB), blurred
// by `glowSize`. `mask` is made when empty and kept for the next call; `shiftMask` widens the
// letters by one pixel to the left (1), up (2), right (4) and down (8) before the blur.
void DrawGlowText(vcl::TBitmap* target, std::string_view text, const TRect& r, BitmapPtr& mask,
                  TColor glowColor, int glowSize, uint8_t shiftMask, uint32_t flags);
// The mix of a blurred mask into a target whose (0, 0) lies at (x, y) of the mask: each mask
// byte m below 255 turns a channel P into G + (P - G) * m / 255, and lowers a 32-bit alpha by
// 255 - m (not below 0). Other target formats are left alone.
void MixGlowMask(const PixelView& target, const PixelView& mask, int x, int y, TColor glowColor);
// The grey colour table that makes an 8-bit bitmap's bytes its grey levels.
void SetGreyColorTable(vcl::TBitmap* bmp);

// --- the blur ---

struct GaussKernel {
    static constexpr int kMaxSize = 100;
    uint8_t Size = 0;                   // weights w[-Size..Size] are in use
    float Weights[2 * kMaxSize + 1]{};  // w[j] at Weights[j + kMaxSize]

    float operator[](int j) const { return Weights[j + kMaxSize]; }
    float& operator[](int j) { return Weights[j + kMaxSize]; }
};

// Normalised Gaussian weights, trimmed of the outer ones that together stay below half of one
// `granularity` step of `maxData`. A radius of 0 or less gives the identity (size 0, w[0] 1).
void MakeGaussKernel(GaussKernel& kernel, double radius, double maxData, double granularity);
// Blurs the rows, then the columns, of an 8-bit bitmap in place; nothing for other formats.
void GaussBlur8(vcl::TBitmap* bmp, double radius);
void GaussBlur8(const PixelView& plane, double radius);
// One line of the blur: `line[0..last]` convolved with the kernel, samples beyond the ends
// repeating the end ones; `work` holds `last + 1` bytes.
void BlurLine8(uint8_t* line, int last, const GaussKernel& kernel, uint8_t* work);
int ClampSampleIndex(int low, int high, int index);
// `high` above it, the value truncated from `low` up, else `low`.
int ClampTrunc(int low, int high, double value);

// --- text helpers ---

// The text as it fits `width`: unchanged when it fits, else shortened from its end and followed
// by "..." while anything is left; empty for a width below 1.
void CutTextWithEllipsis(vcl::TCanvas* canvas, std::string_view text, int width,
                         std::string& result);
void CutTextWithEllipsis(const std::function<int(std::string_view)>& textWidth,
                         std::string_view text, int width, std::string& result);

// DrawTextA of the whole text; DT_CALCRECT measures into `r`.
int DrawTextStr(win::HDC dc, std::string_view text, TRect& r, uint32_t flags);
// The same on the canvas's DC with its font, font colour and brush in force.
int CanvasDrawText(vcl::TCanvas* canvas, std::string_view text, uint32_t flags, TRect& r);
TPoint TextSizeOf(vcl::TCanvas* canvas, std::string_view text);
int TextHeightOf(vcl::TCanvas* canvas, std::string_view text);
void CanvasTextExtent(vcl::TCanvas* canvas, std::string_view text, win::SIZE& size);
void CanvasTextRect(vcl::TCanvas* canvas, const TRect& r, int x, int y, std::string_view text);

}  // namespace skin
