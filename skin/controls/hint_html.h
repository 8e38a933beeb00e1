// TsHtml: draws a hint text with a few HTML-like tags onto a bitmap's canvas in one left-to-right
// pass and reports the size of what it drew; run once to measure and once to draw.
//
// Rules it keeps:
//  1. Every text run is drawn as soon as it ends, at the current point; a line's runs share
//     its top, and a new line goes down by the tallest "X" of the line plus 2.
//  2. Only BR and P break lines; carriage returns and line feeds in the text are left out.
//  3. "<<" draws one "<"; a "<" with no ">" after it is dropped; a tag it does not know is
//     drawn as text, brackets and all.
//  4. Tags: B, I, U and their closings; BR and BR/; P (with attributes, ALIGN read and kept);
//     FONT with SIZE, COLOR and FACE, and its closing, which gives back the font before it.
//     Tags and attributes match in any case.
//  5. A font size stays within 1 .. 400 points whatever SIZE asks; a SIZE that is no number
//     changes nothing; a colour value with a character that is no hex digit is black.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/graphics.h"

namespace skin {

class TsHtml {
public:
    enum TAlign : uint8_t { haLeft, haRight, haCenter };

    // The canvas of `bitmap` is drawn on from `rect`'s top-left corner; the caller sets its
    // font and colour first.
    void Init(vcl::TBitmap* bitmap, std::string text, vcl::TRect rect);
    // Draws the whole text; `out` becomes (0, 0, widest line, total height).
    void Render(vcl::TRect& out);

    TAlign Alignment() const { return align_; }

private:
    void DrawRun(std::size_t from, std::size_t to);
    void NewLine();
    // `tag` runs from "<" to ">" in the upper-case copy; `hasFont`: "FONT" lies within it.
    bool ApplyTag(std::string_view tag, bool hasFont);
    void ApplyFontAttributes(std::string_view tag);

    vcl::TBitmap* bitmap_ = nullptr;
    int x_ = 0, y_ = 0;
    std::string text_, upper_;
    std::vector<std::unique_ptr<vcl::TFont, vcl::FreeDeleter>> fonts_;
    vcl::TRect rect_{};
    int widest_ = 0, lineWidth_ = 0, lineHeight_ = 0;
    TAlign align_ = haLeft;
};

// A colour value of a FONT tag (after "COLOR="): "#RRGGBB", a colour name, or RRGGBB.
vcl::TColor HtmlColor(const std::string& value);

}  // namespace skin
