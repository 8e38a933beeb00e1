#include "skin/controls/glyph_mode.h"

#include <memory>

#include "skin/controls/button_glyphs.h"
#include "skin/controls/buttons.h"

namespace skin {

using namespace vcl;

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
