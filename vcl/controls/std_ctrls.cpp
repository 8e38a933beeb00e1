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
    using C = TCustomCheckBox;
    return {Property("Checked", &C::Checked, &C::SetChecked),
            Property("State", &C::State, &C::SetState),
            Property("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed)};
}

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 97, 17);
    TButtonControl::SetAlignment(taRightJustify);
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    // The class library keeps the state itself, so the native box does not toggle on its own.
    p.Style |= win::BS_3STATE;
    if (Alignment() == taLeftJustify) p.Style |= win::BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    win::SendMessageA(Handle(), win::BM_SETCHECK, state_, 0);
}

void TCustomCheckBox::SetAlignment(TAlignment a) {
    // The caption is on one side of the box or the other.
    if (a == taCenter || a == Alignment()) return;
    TButtonControl::SetAlignment(a);
    RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState s) {
    if (s == state_) return;
    state_ = s;
    if (HandleAllocated()) win::SendMessageA(Handle(), win::BM_SETCHECK, s, 0);
    Click();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
        case cbUnchecked:
            SetState(allowGrayed_ ? cbGrayed : cbChecked);
            break;
        case cbChecked:
            SetState(cbUnchecked);
            break;
        case cbGrayed:
            SetState(cbChecked);
            break;
    }
}

// --- TGroupBox ---

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
    ControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents,
                    csSetCaption,      csDoubleClicks, csReplicatable};
    SetBounds(0, 0, 185, 105);
    SetParentColor(true);
}

void TCustomGroupBox::AdjustClientRect(TRect& r) {
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    win::HGDIOBJ old = win::SelectObject(dc, Font()->Handle());
    win::SIZE s{};
    win::GetTextExtentPoint32(dc, "Wg", 2, &s);
    win::SelectObject(dc, old);
    win::DeleteDC(dc);
    r.Top += s.cy;
    r = {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
}

void TCustomGroupBox::Paint() {
    win::HDC dc = Canvas()->Handle();
    win::SelectObject(dc, Font()->Handle());
    win::SetTextColor(dc, ColorToRGB(Font()->Color()));
    win::DrawGroupFrame(dc, ClientRect(), Caption(), Brush()->Handle(), !Enabled());
    Canvas()->Refresh();
}

void TCustomGroupBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_TEXTCHANGED:
        case CM_FONTCHANGED:
            Realign();
            Invalidate();
            return;
        case CM_DIALOGCHAR:
            // Its mnemonic moves the focus to the first control inside.
            if (IsAccel(static_cast<uint32_t>(m.WParam), Caption()) && CanFocus()) {
                SelectNext(nullptr, true, true);
                m.Result = 1;
                return;
            }
            TCustomControl::Dispatch(m);
            return;
        default:
            TCustomControl::Dispatch(m);
            return;
    }
}

// --- TLabel ---

std::vector<TPropInfo> TLabel::Published() {
    using L = TCustomLabel;
    return {Property("AutoSize", &L::AutoSize, &L::SetAutoSize),
            Property("WordWrap", &L::WordWrap, &L::SetWordWrap),
            Property("Transparent", &L::Transparent, &L::SetTransparent),
            Property("Layout", &L::Layout, &L::SetLayout),
            Property("EllipsisPosition", &L::EllipsisPosition, &L::SetEllipsisPosition)};
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    ControlStyle = {csOpaque, csReplicatable, csClickEvents, csSetCaption};
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAutoSize(bool on) {
    if (on == autoSize_) return;
    autoSize_ = on;
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool on) {
    if (on == Transparent()) return;
    if (on)
        ControlStyle >> csOpaque;
    else
        ControlStyle << csOpaque;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout l) {
    if (l == layout_) return;
    layout_ = l;
    Invalidate();
}

void TCustomLabel::SetEllipsisPosition(TEllipsisPosition p) {
    if (p == ellipsis_) return;
    ellipsis_ = p;
    Invalidate();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

// An auto-sized label takes the size its text needs, measured with its font.
void TCustomLabel::AdjustBounds() {
    if (!autoSize_ || ComponentState().Contains(csLoading)) return;
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    auto* c = static_cast<TControlCanvas*>(Canvas());
    c->UsePaintDC(dc);
    TRect r = ClientRect();
    DoDrawText(r, win::DT_EXPANDTABS | win::DT_CALCRECT | (wordWrap_ ? win::DT_WORDBREAK : 0));
    c->UsePaintDC(nullptr);
    win::DeleteDC(dc);
    const int x = Alignment() == taRightJustify ? Left() + Width() - r.Right : Left();
    SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::DoDrawText(TRect& rect, uint32_t flags) {
    std::string text = GetLabelText();
    // An empty label (or a lone mnemonic mark) still measures one line high.
    if ((flags & win::DT_CALCRECT) && (text.empty() || (ShowAccelChar && text == "&"))) text += ' ';
    if (!ShowAccelChar) flags |= win::DT_NOPREFIX;
    if (ellipsis_ != epNone && !autoSize_) {
        static const uint32_t kEllipsis[] = {0, win::DT_PATH_ELLIPSIS, win::DT_END_ELLIPSIS,
                                             win::DT_WORD_ELLIPSIS};
        flags = (flags & ~win::DT_EXPANDTABS) | kEllipsis[ellipsis_];
    }
    TCanvas* c = Canvas();
    win::HDC dc = c->Handle();
    win::SelectObject(dc, Font()->Handle());
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    auto draw = [&](TRect& r, win::COLORREF color) {
        win::SetTextColor(dc, color);
        win::RECT box = r;
        win::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &box, flags);
        r = box;
    };
    if (!Enabled() && !(flags & win::DT_CALCRECT)) {
        TRect moved(rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1);
        draw(moved, win::GetSysColor(win::COLOR_BTNHIGHLIGHT));
        draw(rect, win::GetSysColor(win::COLOR_BTNSHADOW));
    } else {
        draw(rect, ColorToRGB(Font()->Color()));
    }
    win::SetBkMode(dc, mode);
    c->Refresh();
}

void TCustomLabel::Dispatch(TMessage& m) {
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

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    const TRect client = ClientRect();
    if (!Transparent()) {
        c->Brush()->SetColor(Color());
        c->FillRect(client);
    }
    static const uint32_t kAlign[] = {win::DT_LEFT, win::DT_RIGHT, win::DT_CENTER};
    const uint32_t style =
        win::DT_EXPANDTABS | (wordWrap_ ? win::DT_WORDBREAK : 0) | kAlign[Alignment()];
    TRect r = client;
    if (layout_ != tlTop) {
        TRect calc = r;
        DoDrawText(calc, style | win::DT_CALCRECT);
        const int free = Height() - calc.Bottom;
        r.Top += layout_ == tlBottom ? free : free / 2;
        r.Bottom += layout_ == tlBottom ? free : free / 2;
    }
    DoDrawText(r, style);
}

}  // namespace vcl
