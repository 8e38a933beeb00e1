// The caption's buttons: layout, states, repaint and their fading animation.
#include "skin/windows/provider/skin_provider.h"

namespace skin {

using namespace vcl;

TsTitleIcon::TsTitleIcon() : glyph_(std::make_unique<TBitmap>()) {}
TsTitleIcon::~TsTitleIcon() = default;
void TsTitleIcon::SetGlyph(const TBitmap* glyph) { glyph_->Assign(glyph); }

TsTitleButton::TsTitleButton(TCollection* collection)
    : TCollectionItem(collection), Name("TsTitleButton"), glyph_(std::make_unique<TBitmap>()) {}
TsTitleButton::~TsTitleButton() = default;
void TsTitleButton::Assign(const TPersistent* source) { TCollectionItem::Assign(source); }
std::string TsTitleButton::DisplayName() const { return Name; }
void TsTitleButton::SetGlyph(const TBitmap* glyph) { glyph_->Assign(glyph); }
void TsTitleButton::SetVisible(bool on) { visible_ = on; }
void TsTitleButton::ActivateHint() {}
void TsTitleButton::HideHint() {}
void TsTitleButton::DoMouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TsTitleButton::DoMouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* provider)
    : TCollection(TCollection::ItemsOf<TsTitleButton>(), provider), provider_(provider) {}
TsTitleButton* TsTitleButtons::GetItem(int index) const {
    return static_cast<TsTitleButton*>(Items(index));
}

void TsSkinProvider::PaintTitleButtons() {}
void TsSkinProvider::RepaintButton(int) {}
void TsSkinProvider::SetHotHT(int, bool) {}
void TsSkinProvider::PressHT(int) {}
TsCaptionButton* TsSkinProvider::ElementOf(int) { return nullptr; }

void AnimateTitleButton(TsCaptionButton*, int, int, TacDialogWndBase*, TsSkinProvider*, bool) {}

TacSBAnimation::TacSBAnimation(TComponent* owner) : TTimer(owner) {}
TacSBAnimation::~TacSBAnimation() = default;
void TacSBAnimation::StartAnimation(int, bool) {}
int TacSBAnimation::AlphaStep() const { return 0; }
void TacSBAnimation::TimerStep(TObject*) {}
void TacSBAnimation::CheckMouseLeave() {}
void TacSBAnimation::UpdateGlow(uint8_t) {}
TRect TacSBAnimation::GlowRect() const { return {}; }
int TacSBAnimation::GlowMargin() const { return 0; }
void TacSBAnimation::CreateGlowForm() {}
void TacSBAnimation::MakeGlowImage() {}

}  // namespace skin
