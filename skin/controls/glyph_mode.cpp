#include "skin/controls/glyph_mode.h"

#include <memory>

#include "skin/controls/buttons.h"

namespace skin {

using namespace vcl;

namespace {

constexpr TColor kKey = static_cast<TColor>(0xFF00FF);

// Picture `index` in state `state` into the 16 x 16 square at (x, 0): hot is lighter, pressed
// one pixel lower and to the right.
void DrawPicture(TCanvas* c, int x, int index, int state) {
    const int d = state == 2 ? 1 : 0;
    const TColor ink = state == 1 ? static_cast<TColor>(0x804000) : clBlack;
    auto box = [&](int l, int t, int r, int b, TColor fill) {
        c->Brush()->SetColor(fill);
        c->FillRect(Rect(x + l + d, t + d, x + r + d, b + d));
    };
    switch (index) {
        case 0:  // folder
            box(2, 3, 7, 5, ink);
            box(2, 5, 14, 13, ink);
            box(3, 6, 13, 12, static_cast<TColor>(0x40C0F0));
            break;
        case 1:  // arrow down
            for (int i = 0; i < 4; ++i)
                box(4 + i, 6 + i, 11 - i, 7 + i, ink);
            break;
        case 2:  // calendar
            box(2, 2, 14, 14, ink);
            box(3, 3, 13, 6, static_cast<TColor>(0x2020C0));
            box(3, 6, 13, 13, clWhite);
            for (int row = 0; row < 3; ++row)
                for (int col = 0; col < 4; ++col)
                    box(4 + col * 2 + col / 2, 7 + row * 2, 5 + col * 2 + col / 2, 8 + row * 2,
                        ink);
            break;
        case 3:  // ellipsis
            for (int i = 0; i < 3; ++i)
                box(3 + i * 4, 10, 5 + i * 4, 12, ink);
            break;
        default:  // calculator
            box(3, 1, 13, 15, ink);
            box(4, 2, 12, 5, static_cast<TColor>(0xC0E0C0));
            for (int row = 0; row < 3; ++row)
                for (int col = 0; col < 3; ++col)
                    box(4 + col * 3, 6 + row * 3, 6 + col * 3, 8 + row * 3, clSilver);
            break;
    }
}

}  // namespace

void DefaultGlyph(int index, int state, TBitmap* glyph) {
    glyph->SetPixelFormat(pf24bit);
    glyph->SetSize(16, 16);
    glyph->Canvas()->Brush()->SetColor(kKey);
    glyph->Canvas()->FillRect(Rect(0, 0, 16, 16));
    DrawPicture(glyph->Canvas(), 0, index, state);
}

std::vector<TPropInfo> TsGlyphMode::Published() {
    using G = TsGlyphMode;
    return {Property("Blend", &G::Blend, &G::SetBlend),
            Property("Grayed", &G::Grayed, &G::SetGrayed),
            Property("Hint", &G::Hint, &G::SetHint),
            Property("Images", &G::Images, &G::SetImages),
            Property("ImageIndex", &G::ImageIndex, &G::SetImageIndex),
            Property("ImageIndexHot", &G::ImageIndexHot, &G::SetImageIndexHot),
            Property("ImageIndexPressed", &G::ImageIndexPressed, &G::SetImageIndexPressed)};
}

namespace {

bool Usable(const TsSpeedButton* b) {
    return b && !b->ComponentState().Contains(csLoading) &&
           !b->ComponentState().Contains(csDestroying);
}

}  // namespace

int TsGlyphMode::Blend() const {
    return Usable(button_) ? button_->Blend() : 0;
}

void TsGlyphMode::SetBlend(int percent) {
    if (Usable(button_)) button_->SetBlend(percent);
}

bool TsGlyphMode::Grayed() const {
    return Usable(button_) && button_->Grayed();
}

void TsGlyphMode::SetGrayed(bool on) {
    if (Usable(button_)) button_->SetGrayed(on);
}

void TsGlyphMode::SetHint(const std::string& hint) {
    hint_ = hint;
    if (button_) button_->SetHint(hint);
}

void TsGlyphMode::SetImages(TCustomImageList* images) {
    if (images == images_) return;
    images_ = images;
    Invalidate();
}

#define GLYPH_INDEX_SETTER(Name, field)      \
    void TsGlyphMode::Set##Name(int index) { \
        if (index == field) return;          \
        field = index;                       \
        Invalidate();                        \
    }
GLYPH_INDEX_SETTER(ImageIndex, imageIndex_)
GLYPH_INDEX_SETTER(ImageIndexHot, imageIndexHot_)
GLYPH_INDEX_SETTER(ImageIndexPressed, imageIndexPressed_)
#undef GLYPH_INDEX_SETTER

bool TsGlyphMode::HasOwnImage() const {
    return images_ && imageIndex_ >= 0 && imageIndex_ < ImageListCount(images_);
}

int TsGlyphMode::FrameCount() const {
    const int w = HasOwnImage() ? images_->Width() : kDefaultGlyphWidth;
    const int h = GlyphHeight();
    return h > 0 && w % h == 0 ? w / h : 1;
}

int TsGlyphMode::GlyphWidth() const {
    return (HasOwnImage() ? images_->Width() : kDefaultGlyphWidth) / FrameCount();
}

int TsGlyphMode::GlyphHeight() const {
    return HasOwnImage() ? images_->Height() : kDefaultGlyphHeight;
}

void TsGlyphMode::Invalidate() {
    if (!button_) return;
    button_->SetWidth(GlyphWidth());
    button_->Invalidate();
}

}  // namespace skin
