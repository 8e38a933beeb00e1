// The frame cache of a skinned form and the strips of it that reach the window.
#include "skin/windows/provider/skin_provider.h"

namespace skin {

using namespace vcl;

TacAddedTitle::TacAddedTitle(TsSkinProvider* provider)
    : provider_(provider), font_(std::make_unique<TFont>()) {}
TacAddedTitle::~TacAddedTitle() = default;
void TacAddedTitle::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Changed();
}
void TacAddedTitle::SetFont(const TFont* font) {
    font_->Assign(font);
    Changed();
}
void TacAddedTitle::Changed() {}

void TsSkinProvider::PaintFrame() {}
void TsSkinProvider::PaintNonClientArea(win::HDC) {}
void TsSkinProvider::PaintTitleBar() {}
void TsSkinProvider::PaintTitleIcon() {}
void TsSkinProvider::PaintCaptionText() {}
void TsSkinProvider::PaintClientBackground(win::HDC, bool) {}
void TsSkinProvider::RedrawCaption() {}
void TsSkinProvider::PaintGrip(win::HDC) {}

}  // namespace skin
