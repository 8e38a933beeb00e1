#include "vcl/controls/std_ctrls.h"

#include "platform/controls/classic_paint.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace vcl {

// --- TButtonControl ---

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    ControlStyle = {csSetCaption, csDoubleClicks};
    SetColor(clBtnFace);
    SetParentColor(true);
}

void TButtonControl::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "Button");
    p.Style &= ~(win::WS_CLIPCHILDREN | win::WS_CLIPSIBLINGS);
}

bool TButtonControl::IsAccel(uint32_t key) const {
    return vcl::IsAccel(key, Caption());
}

void TButtonControl::Dispatch(TMessage& m) {
    if (m.Msg == CN_COMMAND && (m.WParam >> 16) == win::BN_CLICKED) {
        ButtonClicked();
        return;
    }
    TWinControl::Dispatch(m);
}

// --- TButton ---

std::vector<TPropInfo> TButton::Published() {
    return {Property("Default", &TButton::Default, &TButton::SetDefault),
            Property("Cancel", &TButton::Cancel, &TButton::SetCancel),
            Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)};
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    p.Style |= active_ ? win::BS_DEFPUSHBUTTON : win::BS_PUSHBUTTON;
}

void TButton::SetDefault(bool on) {
    if (on == default_) return;
    default_ = on;
    if (TCustomForm* f = GetParentForm(this)) {
        TWinControl* focused = f->ActiveControl();
        if (!dynamic_cast<TButton*>(focused)) SetButtonStyle(on);
    } else {
        SetButtonStyle(on);
    }
}

void TButton::SetButtonStyle(bool isDefault) {
    if (isDefault == active_) return;
    active_ = isDefault;
    ApplyButtonStyle(isDefault);
}

void TButton::ApplyButtonStyle(bool isDefault) {
    if (HandleAllocated())
        win::SendMessageA(Handle(), win::BM_SETSTYLE,
                          isDefault ? win::BS_DEFPUSHBUTTON : win::BS_PUSHBUTTON, 1);
}

void TButton::Click() {
    if (TCustomForm* f = GetParentForm(this); f && modalResult_ != mrNone)
        f->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGKEY: {
            const auto key = static_cast<uint32_t>(m.WParam);
            if (((key == win::VK_RETURN && active_) || (key == win::VK_ESCAPE && cancel_)) &&
                KeyDataToShiftState(m.LParam).Empty() && CanFocus()) {
                Click();
                m.Result = 1;
                return;
            }
            m.Result = 0;
            return;
        }
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<uint32_t>(m.WParam)) && CanFocus()) {
                Click();
                m.Result = 1;
                return;
            }
            m.Result = 0;
            return;
        case CM_FOCUSCHANGED: {
            // The focused button shows the default frame; with the focus elsewhere, the
            // default button does.
            auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
            if (dynamic_cast<TButton*>(focused))
                SetButtonStyle(focused == this);
            else
                SetButtonStyle(default_);
            return;
        }
        default:
            TButtonControl::Dispatch(m);
            return;
    }
}

// --- TCheckBox ---

std::vector<TPropInfo> TCheckBox::Published() {
    return {Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked),
            Property("State", &TCheckBox::State, &TCheckBox::SetState)};
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    // The class library keeps the state itself, so the native box does not toggle on its own.
    p.Style |= win::BS_3STATE;
}

void TCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    win::SendMessageA(Handle(), win::BM_SETCHECK, state_, 0);
}

void TCheckBox::SetState(TCheckBoxState s) {
    if (s == state_) return;
    state_ = s;
    if (HandleAllocated()) win::SendMessageA(Handle(), win::BM_SETCHECK, s, 0);
    Click();
}

void TCheckBox::ButtonClicked() {
    switch (state_) {
        case cbUnchecked:
            SetState(AllowGrayed ? cbGrayed : cbChecked);
            break;
        case cbChecked:
            SetState(cbUnchecked);
            break;
        case cbGrayed:
            SetState(cbChecked);
            break;
    }
}

// --- TLabel ---

std::vector<TPropInfo> TLabel::Published() {
    return {Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize),
            Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap),
            Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent),
            Property("Layout", &TLabel::Layout, &TLabel::SetLayout)};
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    ControlStyle = {csOpaque, csReplicatable, csClickEvents, csSetCaption};
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAutoSize(bool on) {
    if (on == autoSize_) return;
    autoSize_ = on;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool on) {
    if (on == Transparent()) return;
    if (on)
        ControlStyle >> csOpaque;
    else
        ControlStyle << csOpaque;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout l) {
    if (l == layout_) return;
    layout_ = l;
    Invalidate();
}

// An auto-sized label takes the size its text needs, measured with its font on the screen DC.
void TLabel::AdjustBounds() {
    if (!autoSize_ || ComponentState().Contains(csLoading)) return;
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    win::HGDIOBJ old = win::SelectObject(dc, Font()->Handle());
    std::string text = Caption();
    if (text.empty()) text = " ";
    win::SIZE extent{};
    win::LayoutTextLines(dc, text, wordWrap_ ? Width() : 0, &extent);
    win::SelectObject(dc, old);
    win::DeleteDC(dc);
    SetBounds(Left(), Top(), wordWrap_ ? Width() : extent.cx, extent.cy);
}

void TLabel::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_TEXTCHANGED:
        case CM_FONTCHANGED:
            AdjustBounds();
            Invalidate();
            return;
        case CM_DIALOGCHAR:
            if (FocusControl && ShowAccelChar && FocusControl->CanFocus() &&
                IsAccel(static_cast<uint32_t>(m.WParam), Caption())) {
                FocusControl->SetFocus();
                m.Result = 1;
                return;
            }
            m.Result = 0;
            return;
        default:
            TGraphicControl::Dispatch(m);
            return;
    }
}

void TLabel::Paint() {
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    if (!Transparent()) {
        c->Brush()->SetColor(Color());
        c->FillRect(r);
    }
    win::HDC dc = c->Handle();
    win::SelectObject(dc, Font()->Handle());
    win::SetTextColor(dc, ColorToRGB(Font()->Color()));
    const int align = Alignment() == taCenter ? 1 : Alignment() == taRightJustify ? 2 : 0;
    win::RECT box = r;
    if (layout_ != tlTop) {
        win::SIZE extent{};
        win::LayoutTextLines(dc, Caption(), wordWrap_ ? r.Width() : 0, &extent);
        const int free = r.Height() - extent.cy;
        box.top += layout_ == tlCenter ? free / 2 : free;
    }
    win::DrawLabelText(dc, Caption(), box, align, false, !wordWrap_, !ShowAccelChar, !Enabled());
    c->Refresh();
}

}  // namespace vcl
