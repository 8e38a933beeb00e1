#include "skin/controls/bound_label.h"

#include <algorithm>

#include "platform/user/user.h"
#include "skin/controls/labels.h"
#include "skin/core/common_data.h"
#include "vcl/controls/controls.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsBoundLabel::Published() {
    using B = TsBoundLabel;
    return {Property("Active", &B::Active, &B::SetActive),
            Property("Caption", &B::Caption, &B::SetCaption),
            Property("Indent", &B::Indent, &B::SetIndent),
            Property("Font", &B::Font, &B::SetFont),
            Property("Layout", &B::Layout, &B::SetLayout),
            Property("MaxWidth", &B::MaxWidth, &B::SetMaxWidth),
            Property("UseSkinColor", &B::UseSkinColor, &B::SetUseSkinColor)};
}

TsBoundLabel::TsBoundLabel(TsCommonData* owner) : owner_(owner), font_(std::make_unique<TFont>()) {}

TsBoundLabel::~TsBoundLabel() {
    SetActive(false);
}

TControl* TsBoundLabel::Edit() const {
    return owner_ ? owner_->OwnerControl() : nullptr;
}

TPersistent* TsBoundLabel::GetOwner() const {
    return owner_;
}

void TsBoundLabel::LabelGone(TsEditLabel* label) {
    if (label == label_) label_ = nullptr;
}

void TsBoundLabel::SetActive(bool on) {
    if (on == Active()) return;
    TControl* edit = Edit();
    if (!on) {
        TsEditLabel* l = label_;
        label_ = nullptr;
        l->boundLabel_ = nullptr;
        l->Free();
        return;
    }
    if (!edit) return;
    auto* l = New<TsEditLabel>(edit, this);
    label_ = l;
    l->SetVisible(false);
    if (fontSet_) l->SetFont(font_.get());
    l->SetParent(edit->Parent());
    if (auto* w = dynamic_cast<TWinControl*>(edit)) l->FocusControl = w;
    UpdateAlignment();
    l->SetName(edit->Name() + "Label");
    if (caption_.empty()) caption_ = edit->Text();
    l->SetCaption(caption_);
    l->SetVisible(edit->Visible() || edit->ComponentState().Contains(csDesigning));
    AlignLabel();
}

void TsBoundLabel::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (label_) {
        label_->SetCaption(caption);
        AlignLabel();
    }
}

TFont* TsBoundLabel::Font() const {
    return label_ ? label_->Font() : font_.get();
}

void TsBoundLabel::SetFont(const TFont* font) {
    font_->Assign(font);
    fontSet_ = true;
    if (!label_) return;
    label_->SetFont(font);
    if (TControl* edit = Edit()) label_->SetParent(edit->Parent());
    AlignLabel();
}

void TsBoundLabel::SetIndent(int indent) {
    if (indent == indent_) return;
    indent_ = indent;
    if (label_) AlignLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    UpdateAlignment();
    if (label_) AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int width) {
    if (width == maxWidth_) return;
    maxWidth_ = width;
    if (label_) AlignLabel();
}

bool TsBoundLabel::UseSkinColor() const {
    return label_ ? label_->UseSkinColor() : true;
}

void TsBoundLabel::SetUseSkinColor(bool on) {
    if (label_) label_->SetUseSkinColor(on);
}

void TsBoundLabel::UpdateAlignment() {
    if (!label_) return;
    label_->SetAlignment(layout_ == sclTopLeft     ? taLeftJustify
                         : layout_ == sclTopCenter ? taCenter
                                                   : taRightJustify);
}

void TsBoundLabel::AlignLabel() {
    TControl* edit = Edit();
    if (!label_ || !edit || !label_->Visible()) return;
    TsEditLabel* l = label_;
    l->SetParent(edit->Parent());
    l->SetAutoSize(true);
    if (maxWidth_ != 0) {
        l->SetAutoSize(false);
        l->SetWidth(maxWidth_);
        l->SetWordWrap(true);
        l->SetHeight(std::max(l->Height(), edit->Height()));
    }
    int x = edit->Left(), y = edit->Top() - l->Height() - indent_;
    switch (layout_) {
        case sclLeft:
            x = edit->Left() - l->Width() - 4 - indent_;
            y = edit->Top() + (edit->Height() - l->Height()) / 2 - 1;
            break;
        case sclTopLeft:
            break;
        case sclTopCenter:
            x = edit->Left() + (edit->Width() - l->Width()) / 2;
            break;
        case sclTopRight:
            x = edit->Left() + edit->Width() - l->Width();
            break;
    }
    l->SetBounds(x, y, l->Width(), l->Height());
}

void TsBoundLabel::FollowEdit(const TMessage& m, TsDisabledKind disabledKind) {
    TControl* edit = Edit();
    if (!label_ || !edit) return;
    switch (m.Msg) {
        case CM_VISIBLECHANGED:
            label_->SetVisible(edit->Visible());
            break;
        case CM_ENABLEDCHANGED:
            label_->SetEnabled(edit->Enabled() || !disabledKind.Contains(dkBlended));
            break;
        case CM_BIDIMODECHANGED:  // one reading order only
        case win::WM_SIZE:
        case win::WM_WINDOWPOSCHANGED:
            break;
        default:
            return;
    }
    AlignLabel();
}

}  // namespace skin
