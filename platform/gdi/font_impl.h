// The font object behind an HFONT and its realisation at a size (internal to platform/gdi).
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/font.h"
#include "platform/gdi/object_table.h"

namespace win::detail {

// One rendered character: coverage 0..255, placed relative to the pen position on the
// baseline (left, top = offset of the bitmap's top-left corner, top upwards positive).
struct Glyph {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int advance = 0;   // whole pixels along the baseline
    int advanceX = 0;  // the advance as a vector, 26.6 fixed point (rotated text)
    int advanceY = 0;
    std::vector<BYTE> coverage;
};

// A face at one size, weight, slant and angle; shared by all fonts that realise to it.
class FaceRealization {
public:
    virtual ~FaceRealization() = default;
    const TEXTMETRIC& Metrics() const { return metrics_; }
    // The glyph of a cp1251 byte (cached).
    const Glyph& GlyphOf(BYTE c);
    int UnderlinePosition() const { return underlinePos_; }  // below the baseline, pixels
    int UnderlineThickness() const { return underlineThick_; }
    int StrikeoutPosition() const { return strikeoutPos_; }  // above the baseline
    const std::string& File() const { return file_; }
    int Escapement() const { return escapement_; }

protected:
    virtual void Render(BYTE c, Glyph& g) = 0;
    TEXTMETRIC metrics_;
    int underlinePos_ = 1;
    int underlineThick_ = 1;
    int strikeoutPos_ = 3;
    int escapement_ = 0;
    std::string file_;

private:
    std::array<std::unique_ptr<Glyph>, 256> glyphs_;
};

struct Font : Object {
    static constexpr Kind kKind = Kind::Font;
    Font() : Object(kKind) {}
    LOGFONT lf;
    // Found on first use.
    FaceRealization& Face();

private:
    std::shared_ptr<FaceRealization> face_;
};

std::shared_ptr<Font> MakeStockFont(int index);
std::shared_ptr<FaceRealization> Realize(const LOGFONT& lf);

}  // namespace win::detail

namespace win::detail {

struct Dc;

// Draws one line of cp1251 text with its left end of the baseline at (x, y) in target
// coordinates (the angle of the font applies), in the DC's text colour, inside `clip` when
// given (target coordinates). `dx` gives every character's advance when not null. Draws the
// underline and strike-out of unrotated fonts. Answers the width along the baseline.
int PaintTextRun(Dc& dc, FaceRealization& face, const LOGFONT& lf, int x, int y, const char* text,
                 int count, const INT* dx, const RECT* clip);
// The width of a run (sum of advances).
int TextRunWidth(FaceRealization& face, const char* text, int count);

}  // namespace win::detail
