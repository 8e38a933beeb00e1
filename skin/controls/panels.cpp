#include "skin/controls/panels.h"

#include "platform/user/user.h"
#include "skin/controls/skin_types.h"
#include "vcl/controls/forms.h"

namespace skin {

using namespace vcl;

// --- TsPanel ---

std::vector<TPropInfo> TsPanel::Published() {
    return {Property("SkinData", &TsPanel::SkinData)};
}

TsPanel::TsPanel(TComponent* owner)
    : TPanel(owner), skinData_(std::make_unique<TsCommonData>(this, true)) {
    skinData_->COC = 51;
}

TsPanel::~TsPanel() = default;

void TsPanel::AfterConstruction() {
    TPanel::AfterConstruction();
    skinData_->Loaded();
}

void TsPanel::Loaded() {
    TPanel::Loaded();
    skinData_->Loaded();
}

void TsPanel::Paint() {
    TPanel::Paint();
    if (Showing()) OnPaint(this, Canvas());
}

void TsPanel::WndProc(TMessage& m) {
    CommonWndProc(m, skinData_.get());
    TPanel::WndProc(m);
    TellMouse(m, this, OnMouseEnter, OnMouseLeave);
}

// --- TsDragBar ---

std::vector<TPropInfo> TsDragBar::Published() {
    return {Property("DraggedControl", &TsDragBar::DraggedControl, &TsDragBar::SetDraggedControl)};
}

TsDragBar::TsDragBar(TComponent* owner) : TsPanel(owner) {
    SkinData()->COC = 56;
    SetCaption(" ");
    SetAlignment(taCenter);
    SetAlign(alTop);
    SetHeight(20);
    Font()->SetColor(clCaptionText);
    Font()->SetStyle({fsBold});
    SetColor(clActiveCaption);
    SetCursor(crHandPoint);
    SetParentColor(false);
}

void TsDragBar::SetDraggedControl(TControl* control) {
    if (control == dragged_) return;
    if (dragged_) dragged_->RemoveFreeNotification(this);
    dragged_ = control;
    if (dragged_) dragged_->FreeNotification(this);
}

void TsDragBar::Loaded() {
    if (!dragged_) SetDraggedControl(GetParentForm(this));
    TsPanel::Loaded();
}

void TsDragBar::Notification(TComponent* component, TOperation operation) {
    TsPanel::Notification(component, operation);
    if (operation == opRemove && component == dragged_) dragged_ = nullptr;
}

void TsDragBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TsPanel::MouseDown(button, shift, x, y);
    auto* target = dynamic_cast<TWinControl*>(dragged_);
    if (button != mbLeft || !target) return;
    win::ReleaseCapture();
    // SC_MOVE by the caption: the windowing layer's own move loop.
    win::SendMessageA(target->Handle(), win::WM_SYSCOMMAND, 0xF012, 0);
}

}  // namespace skin
