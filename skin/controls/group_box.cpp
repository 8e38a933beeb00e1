#include "skin/controls/group_box.h"

#include <algorithm>

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsGroupBox::Published() {
    using G = TsGroupBox;
    return {Property("CaptionLayout", &G::CaptionLayout, &G::SetCaptionLayout),
            Property("CaptionYOffset", &G::CaptionYOffset, &G::SetCaptionYOffset),
            Property("CaptionSkin", &G::CaptionSkin, &G::SetCaptionSkin),
            Property("SkinData", &G::SkinData)};
}

TsGroupBox::TsGroupBox(TComponent* owner)
    : TGroupBox(owner), skinData_(std::make_unique<TsCommonData>(this, true)) {
    skinData_->COC = 74;
}

TsGroupBox::~TsGroupBox() = default;

void TsGroupBox::AfterConstruction() {
    TGroupBox::AfterConstruction();
    skinData_->Loaded();
}

void TsGroupBox::Loaded() {
    TGroupBox::Loaded();
    skinData_->Loaded();
}

void TsGroupBox::SetCaptionLayout(TsCaptionLayout layout) {
    if (layout == captionLayout_) return;
    captionLayout_ = layout;
    Realign();
    skinData_->Invalidate();
}

void TsGroupBox::SetCaptionYOffset(int offset) {
    if (offset == captionYOffset_) return;
    captionYOffset_ = offset;
    Realign();
    skinData_->Invalidate();
}

void TsGroupBox::SetCaptionSkin(const std::string& section) {
    if (section == captionSkin_) return;
    captionSkin_ = section;
    skinData_->Invalidate();
}

TRect TsGroupBox::CaptionRect(int width) const {
    width = std::min(width, Width());
    int x = 6;
    if (captionLayout_ == clTopRight) x = Width() - width - 14;
    if (captionLayout_ == clTopCenter) x = (Width() - width - 4 - 6) / 2;
    x = std::max(x, 0);
    const int top = std::min(captionYOffset_, 0);
    return Rect(x, top, x + width, top);
}

void TsGroupBox::AdjustClientRect(TRect& r) {
    TGroupBox::AdjustClientRect(r);
    if (!ComponentState().Contains(csDestroying)) r.Top += captionYOffset_;
}

void TsGroupBox::WndProc(TMessage& m) {
    CommonWndProc(m, skinData_.get());
    TGroupBox::WndProc(m);
    if (m.Msg == CM_FONTCHANGED) skinData_->Invalidate();
}

}  // namespace skin
