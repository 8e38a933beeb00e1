#include "skin/controls/check_box.h"

#include <algorithm>

#include "platform/user/user.h"
#include "skin/controls/text_size.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsCheckBox::Published() {
    using C = TsCheckBox;
    using B = TCustomCheckBox;  // Checked is virtual: a TsCheckBox sets it its own way
    return {Property("Checked", &B::Checked, &B::SetChecked),
            Property("State", &B::State, &B::SetState),
            Property("AllowGrayed", &B::AllowGrayed, &B::SetAllowGrayed),
            Property("AutoSize", &C::AutoSize, &C::SetAutoSize),
            Property("Margin", &C::Margin, &C::SetMargin),
            Property("TextIndent", &C::TextIndent, &C::SetTextIndent),
            Property("ShowFocus", &C::ShowFocus, &C::SetShowFocus),
            Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly),
            Property("WordWrap", &C::WordWrap, &C::SetWordWrap),
            Property("GlyphChecked", &C::GlyphChecked, &C::SetGlyphChecked),
            Property("GlyphUnChecked", &C::GlyphUnChecked, &C::SetGlyphUnChecked),
            Property("Images", &C::Images, &C::SetImages),
            Property("ImgChecked", &C::ImgChecked, &C::SetImgChecked),
            Property("ImgUnchecked", &C::ImgUnchecked, &C::SetImgUnchecked),
            SetProperty("DisabledKind", &C::DisabledKind, &C::SetDisabledKind),
            SetProperty("AnimatEvents", &C::AnimatEvents, &C::SetAnimatEvents),
            Property("SkinData", &C::SkinData)};
}

TsCheckBox::TsCheckBox(TComponent* owner)
    : TCustomCheckBox(owner),
      skinData_(std::make_unique<TsCommonData>(this, false)),
      glyphChecked_(std::make_unique<TBitmap>()),
      glyphUnChecked_(std::make_unique<TBitmap>()) {
    skinData_->COC = 32;
}

TsCheckBox::~TsCheckBox() = default;

void TsCheckBox::AfterConstruction() {
    TCustomCheckBox::AfterConstruction();
    skinData_->Loaded();
}

void TsCheckBox::Loaded() {
    TCustomCheckBox::Loaded();
    skinData_->Loaded();
    AdjustSize();
}

void TsCheckBox::AdjustSize() {
    if (!autoSize_ || ComponentState().Contains(csLoading)) return;
    const TPoint text = TextSizeOf(Font(), Caption());
    SetBounds(Left(), Top(), text.X + 20, std::max(text.Y + 4, 20));
}

void TsCheckBox::SetAutoSize(bool on) {
    if (on == autoSize_) return;
    autoSize_ = on;
    AdjustSize();
}

void TsCheckBox::GlyphChanged() {
    AdjustSize();
    skinData_->Invalidate();
}

void TsCheckBox::SetMargin(int margin) {
    if (margin == margin_) return;
    margin_ = margin;
    GlyphChanged();
}

void TsCheckBox::SetTextIndent(int indent) {
    if (indent == textIndent_) return;
    textIndent_ = indent;
    GlyphChanged();
}

void TsCheckBox::SetShowFocus(bool on) {
    if (on == showFocus_) return;
    showFocus_ = on;
    Invalidate();
}

void TsCheckBox::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    GlyphChanged();
}

void TsCheckBox::SetGlyphChecked(TBitmap* glyph) {
    glyphChecked_->Assign(glyph);
    GlyphChanged();
}

void TsCheckBox::SetGlyphUnChecked(TBitmap* glyph) {
    glyphUnChecked_->Assign(glyph);
    GlyphChanged();
}

void TsCheckBox::SetImages(TCustomImageList* images) {
    if (images == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images_) images_->FreeNotification(this);
    GlyphChanged();
}

void TsCheckBox::SetImgChecked(int index) {
    if (index == imgChecked_) return;
    imgChecked_ = index;
    AdjustSize();
    if (Checked()) skinData_->Invalidate();
}

void TsCheckBox::SetImgUnchecked(int index) {
    if (index == imgUnchecked_) return;
    imgUnchecked_ = index;
    AdjustSize();
    if (!Checked()) skinData_->Invalidate();
}

void TsCheckBox::SetDisabledKind(TsDisabledKind kind) {
    if (kind == disabledKind_) return;
    disabledKind_ = kind;
    skinData_->Invalidate();
}

void TsCheckBox::SetChecked(bool on) {
    // A form that loads sets the state too: it is kept, only the repaint waits.
    if (on != Checked()) skinData_->CacheStale = true;
    TCustomCheckBox::SetChecked(on);
}

void TsCheckBox::Notification(TComponent* component, TOperation operation) {
    TCustomCheckBox::Notification(component, operation);
    if (operation == opRemove && component == images_) images_ = nullptr;
}

void TsCheckBox::ButtonClicked() {
    if (!readOnly_) TCustomCheckBox::ButtonClicked();
}

void TsCheckBox::WndProc(TMessage& m) {
    CommonWndProc(m, skinData_.get());
    switch (m.Msg) {
        case win::WM_LBUTTONDOWN:
            pressed_ = true;
            break;
        case win::WM_KEYDOWN:
            if (m.WParam == win::VK_SPACE) pressed_ = true;
            break;
        case win::WM_KEYUP:
        case win::WM_LBUTTONUP:
            pressed_ = false;
            break;
        case win::WM_LBUTTONDBLCLK:
            if (readOnly_) return;
            break;
        default:
            break;
    }
    TellMouse(m, this, OnMouseEnter, OnMouseLeave);
    TCustomCheckBox::WndProc(m);
    if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) AdjustSize();
}

}  // namespace skin
