#include "skin/controls/spin_edits.h"

#include <algorithm>

#include "platform/controls/edit_control.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_text.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace skin {

using namespace vcl;

namespace {

// The colour of a button's arrow: skinned, the font colour of the button's section while it is
// hot, else the edit's; unskinned, the font's, grey when disabled.
TColor ArrowColor(TsTimerSpeedButton* b, TsCommonData* edit) {
    TsCommonData* d = b->SkinData();
    if (IsControlSkinned(d)) {
        const TsGeneralData* s = ControlIsActive(d) ? d->Section() : nullptr;
        if (!s && edit && IsControlSkinned(edit)) s = edit->Section();
        if (!s) s = d->Section();
        if (s) return TColor(s->FontColor);
    }
    return b->Enabled() ? b->Font()->Color() : clGrayText;
}

// The arrow a spin button shows without a glyph of its own: a filled triangle on the
// transparent key colour.
void DrawArrow(TsTimerSpeedButton* b, bool up, TColor ink) {
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(9, 6);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(static_cast<TColor>(0xFF00FF));
    c->FillRect(Rect(0, 0, 9, 6));
    c->Brush()->SetColor(ink);
    c->Pen()->SetColor(ink);
    const int x0 = (bmp.Width() - 9) / 2, y0 = (bmp.Height() - 5) / 2;
    if (up)
        c->Polygon({{x0 + 1, y0 + 4}, {x0 + 7, y0 + 4}, {x0 + 4, y0 + 1}});
    else
        c->Polygon({{x0 + 1, y0 + 1}, {x0 + 7, y0 + 1}, {x0 + 4, y0 + 4}});
    b->SetGlyph(&bmp);
    b->SetNumGlyphs(1);
}

TsCommonData* EditSkinOf(TComponent* owner) {
    auto* edit = dynamic_cast<TsBaseSpinEdit*>(owner);
    return edit ? edit->SkinData() : nullptr;
}

}  // namespace

// --- TsSpinButton ---

std::vector<TPropInfo> TsSpinButton::Published() {
    using S = TsSpinButton;
    return {Property("UpGlyph", &S::UpGlyph, &S::SetUpGlyph),
            Property("DownGlyph", &S::DownGlyph, &S::SetDownGlyph),
            Property("FocusControl", &S::FocusControl, &S::SetFocusControl)};
}

TsSpinButton::TsSpinButton(TComponent* owner) : TWinControl(owner) {
    ControlStyle >> csAcceptsControls;
    ControlStyle >> csSetCaption;
    up_ = MakeButton();
    down_ = MakeButton();
    ResetArrows();
    SetBounds(0, 0, 18, 21);
    focused_ = up_;
}

TsSpinButton::~TsSpinButton() = default;

TsTimerSpeedButton* TsSpinButton::MakeButton() {
    auto* b = New<TsTimerSpeedButton>(this);
    b->SetParent(this);
    b->SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
    b->OnClick = TNotifyEvent(this, &TsSpinButton::ButtonClick);
    b->OnMouseDown = TMouseEvent(this, &TsSpinButton::ButtonMouseDown);
    b->SetFlat(false);
    b->SetTransparent(true);
    b->SetAllowTimer(true);
    return b;
}

TBitmap* TsSpinButton::UpGlyph() const {
    return up_->Glyph();
}

TBitmap* TsSpinButton::DownGlyph() const {
    return down_->Glyph();
}

void TsSpinButton::SetUpGlyph(TBitmap* glyph) {
    ownUp_ = glyph && !glyph->Empty();
    if (ownUp_)
        up_->SetGlyph(glyph);
    else
        DrawArrow(up_, true, ArrowColor(up_, EditSkinOf(Owner())));
}

void TsSpinButton::SetDownGlyph(TBitmap* glyph) {
    ownDown_ = glyph && !glyph->Empty();
    if (ownDown_)
        down_->SetGlyph(glyph);
    else
        DrawArrow(down_, false, ArrowColor(down_, EditSkinOf(Owner())));
}

void TsSpinButton::ResetArrows() {
    TsCommonData* edit = EditSkinOf(Owner());
    if (!ownUp_) DrawArrow(up_, true, ArrowColor(up_, edit));
    if (!ownDown_) DrawArrow(down_, false, ArrowColor(down_, edit));
}

void TsSpinButton::PaintButtonsTo(win::HDC dc, TPoint at) {
    int y = at.Y;
    for (TsTimerSpeedButton* b : {up_, down_}) {
        TsCommonData* d = b->SkinData();
        if (d->CacheStale || !d->CacheBmp() || d->CacheBmp()->Width() != b->Width() ||
            d->CacheBmp()->Height() != b->Height())
            b->PrepareCache();
        if (TBitmap* image = d->CacheBmp(); image && image->Width() > 0)
            win::BitBlt(dc, at.X, y, b->Width(), b->Height(), image->Canvas()->Handle(), 0, 0,
                        win::SRCCOPY);
        y += b->Height();
    }
}

void TsSpinButton::TellButtons(TMessage& m) {
    for (TsTimerSpeedButton* b : {up_, down_}) {
        TMessage copy = m;
        b->Perform(copy.Msg, copy.WParam, copy.LParam);
    }
}

bool TsSpinButton::SkinCommand(TMessage& m) {
    auto* edit = dynamic_cast<TsBaseSpinEdit*>(Owner());
    if (!edit) return false;
    switch (SkinCommandCode(m.WParam)) {
        case SKC_ISUPDATING:
            m.Result = edit->SkinData()->BGChanged ? 1 : 0;
            return true;
        case SKC_GETBGINFO: {
            if (!m.LParam) return false;
            auto& info = *reinterpret_cast<BackgroundInfo*>(m.LParam);
            const uint32_t color = uint32_t(
                edit->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_GETBGCOLOR), 0));
            info.Color = color;
            if (TBitmap* cache = edit->SkinData()->CacheBmp(); cache && cache->Width() > 0) {
                // Where the spin button lies in the edit's window.
                win::RECT client{};
                if (edit->HandleAllocated()) GetClientRectInWindow(edit->Handle(), client);
                info.BgType = btCache;
                info.Bmp = cache;
                info.Offset = {Left() + client.left, Top() + client.top};
            } else {
                info.BgType = btFill;
            }
            m.Result = 1;
            return true;
        }
        default:
            return false;
    }
}

void TsSpinButton::SetFocusControl(TWinControl* control) {
    if (control == focusControl_) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = control;
    if (focusControl_) focusControl_->FreeNotification(this);
}

void TsSpinButton::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TsSpinButton::AdjustSize(int& width, int& height) {
    if (ComponentState().Contains(csLoading) || !up_ || !down_ || height == 0) return;
    width = std::max(width, 15);
    const int half = height / 2;
    up_->SetBounds(0, 0, width, half);
    down_->SetBounds(0, half, width, height - half);
}

void TsSpinButton::SetBounds(int left, int top, int width, int height) {
    AdjustSize(width, height);
    TWinControl::SetBounds(left, top, width, height);
}

void TsSpinButton::Loaded() {
    TWinControl::Loaded();
    int w = Width(), h = Height();
    AdjustSize(w, h);
}

void TsSpinButton::ButtonClick(TObject* sender) {
    if (sender == up_) OnUpClick(this);
    if (sender == down_) OnDownClick(this);
}

void TsSpinButton::ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState, int, int) {
    if (button != mbLeft) return;
    SetFocusedButton(static_cast<TsTimerSpeedButton*>(sender));
    if (focusControl_ && focusControl_->TabStop() && focusControl_->CanFocus() &&
        !focusControl_->Focused())
        focusControl_->SetFocus();
    else if (TabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TsSpinButton::SetFocusedButton(TsTimerSpeedButton* button) {
    if (!TabStop() || !CanFocus() || button == focused_) return;
    focused_->SetFocusMark(false);
    focused_ = button;
    if (Focused()) {
        focused_->SetFocusMark(true);
        Invalidate();
    }
}

void TsSpinButton::Dispatch(TMessage& m) {
    if (m.Msg == SM_ALPHACMD && SkinCommand(m)) return;
    switch (m.Msg) {
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS:
            focused_->SetFocusMark(m.Msg == win::WM_SETFOCUS);
            break;
        case win::WM_GETDLGCODE:
            m.Result = win::DLGC_WANTARROWS;
            return;
        case win::WM_SIZE: {
            TWinControl::Dispatch(m);
            int w = Width(), h = Height();
            AdjustSize(w, h);
            return;
        }
        default:
            break;
    }
    TWinControl::Dispatch(m);
    if (m.Msg == CM_ENABLEDCHANGED) ResetArrows();
}

// --- TsBaseSpinEdit ---

std::vector<TPropInfo> TsBaseSpinEdit::Published() {
    return {Property("EditorEnabled", &TsBaseSpinEdit::EditorEnabled,
                     &TsBaseSpinEdit::SetEditorEnabled)};
}

TsBaseSpinEdit::TsBaseSpinEdit(TComponent* owner) : TsEdit(owner) {
    ControlStyle >> csSetCaption;
    button_ = New<TsSpinButton>(this);
    button_->SetVisible(false);
    button_->SetParent(this);
    button_->SetFocusControl(this);
    button_->OnUpClick = TNotifyEvent(this, &TsBaseSpinEdit::UpClicked);
    button_->OnDownClick = TNotifyEvent(this, &TsBaseSpinEdit::DownClicked);
    button_->SetVisible(true);
}

TsBaseSpinEdit::~TsBaseSpinEdit() {
    button_ = nullptr;
}

void TsBaseSpinEdit::SetAlignment(TAlignment a) {
    if (a == Alignment()) return;
    TsEdit::SetAlignment(a);
    RecreateWnd();
}

void TsBaseSpinEdit::CreateParams(TCreateParams& p) {
    TsEdit::CreateParams(p);
    p.Style |= EditWithButtonsStyle(Alignment());
}

void TsBaseSpinEdit::CreateWnd() {
    TsEdit::CreateWnd();
    PlaceButton();
}

void TsBaseSpinEdit::SetBounds(int left, int top, int width, int height) {
    TsEdit::SetBounds(left, top, width, height);
    // WM_SIZE comes while the control still holds its old size, and not at all without a
    // window: the buttons follow the new size here.
    PlaceButton();
}

void TsBaseSpinEdit::PlaceButton() {
    if (!button_) return;
    button_->SetBounds(Width() - button_->Width() - 4, 0, button_->Width(), Height() - 4);
    SetEditRect();
}

void TsBaseSpinEdit::Loaded() {
    TsEdit::Loaded();
    if (button_) button_->ResetArrows();
    SetEditRect();
}

void TsBaseSpinEdit::SetEditRect() {
    if (!HandleAllocated() || !button_) return;
    win::RECT r{0, 0, Width() - button_->Width() - 3, ClientHeight() + 1};
    win::SendMessageA(Handle(), win::EM_SETRECTNP, 0, reinterpret_cast<win::LPARAM>(&r));
}

bool TsBaseSpinEdit::DoKeyDown(uint16_t& key, TShiftState shift) {
    if (TsEdit::DoKeyDown(key, shift)) return true;
    // The Delete key edits the text as much as the character 0x2E would.
    if (key == win::VK_DELETE && !editorEnabled_) {
        key = 0;
        win::MessageBeep(0);
        return true;
    }
    if (key == win::VK_UP) UpClick(this);
    if (key == win::VK_DOWN) DownClick(this);
    if (key != 0) SetEditRect();
    return key == 0;
}

bool TsBaseSpinEdit::DoKeyPress(char& key) {
    if (TsEdit::DoKeyPress(key)) return true;
    if (!IsValidChar(key)) {
        key = 0;
        win::MessageBeep(0);
    }
    return key == 0;
}

bool TsBaseSpinEdit::IsValidChar(char key) {
    const auto k = static_cast<unsigned char>(key);
    bool valid = key == '+' || key == '-' || (key >= '0' && key <= '9') ||
                 key == FormatSettings.DecimalSeparator || (k < 32 && k != 13);
    if (valid && !editorEnabled_ && (k >= 32 || k == 8 || k == 0x2E)) valid = false;
    return valid;
}

void TsBaseSpinEdit::PrepareCache() {
    TsCommonData* d = SkinData();
    PaintSectionIntoCache(this, d, ControlIsActive(d) ? 1 : 0, true);
    PaintText();
    if (!Enabled() && button_) {
        win::RECT client{};
        if (HandleAllocated()) GetClientRectInWindow(Handle(), client);
        button_->PaintButtonsTo(d->CacheBmp()->Canvas()->Handle(),
                                {button_->Left() + client.left, button_->Top() + client.top});
        d->CacheBmp()->Canvas()->Refresh();
    }
    if (!Enabled()) BlendDisabledCache(this, d, DisabledKind());
    d->CacheStale = false;
}

void TsBaseSpinEdit::PaintText() {
    if (Alignment() == taLeftJustify || !button_) {
        TsEdit::PaintText();
        return;
    }
    TsCommonData* d = SkinData();
    TCanvas* canvas = d->CacheBmp()->Canvas();
    canvas->SetFont(Font());
    const int b = FrameWidth();
    const TRect r(b + 1, b + 1, Width() - b - button_->Width(), Height() - b);
    std::string text = Text();
    if (PasswordChar()) text.assign(text.size(), PasswordChar());
    const uint32_t flags = (TextFlagsForAlignment(this, Alignment()) & ~uint32_t(win::DT_VCENTER)) |
                           win::DT_SINGLELINE | win::DT_NOPREFIX;
    DrawSkinText(canvas, text, true, ControlIsActive(d) ? 1 : 0, d, flags, r);
}

bool TsBaseSpinEdit::SkinCommand(TMessage& m) {
    TsCommonData* d = SkinData();
    const uint16_t code = SkinCommandCode(m.WParam);
    if (IsOwnSkinChange(m, d)) {
        TsEdit::WndProc(m);
        if (!button_) return true;
        button_->TellButtons(m);
        for (TsTimerSpeedButton* b : {button_->UpButton(), button_->DownButton()}) {
            if (code == SKC_NEWSKIN)
                b->SetEnabled(Enabled());
            else
                b->Invalidate();
        }
        button_->ResetArrows();
        SetEditRect();
        return true;
    }
    switch (code) {
        case SKC_ENDPARENTUPDATE:
            TsEdit::WndProc(m);
            if (button_) button_->Repaint();
            return true;
        case SKC_GETBGCOLOR:
            if (!IsSkinnedNow(this, d)) return false;
            m.Result = GetControlBGColor(d, ControlIsActive(d), nullptr);
            // A disabled edit is seen half through.
            if (!Enabled() && Parent())
                m.Result = BlendTwoColors(TColor(m.Result),
                                          TColor(AskControlBackColor(Parent())), 0.5);
            return true;
        case SKC_GETBGINFO:
            if (!m.LParam) return false;
            d->GetBGInfo(*reinterpret_cast<BackgroundInfo*>(m.LParam), ControlIsActive(d),
                         nullptr);
            m.Result = 1;
            return true;
        default:
            return false;
    }
}

void TsBaseSpinEdit::WndProc(TMessage& m) {
    TsCommonData* d = SkinData();
    switch (m.Msg) {
        case win::WM_PASTE:
        case win::WM_CUT:
            if (!editorEnabled_ || ReadOnly()) return;
            if (m.Msg == win::WM_PASTE && HandleAllocated()) {
                PasteFirstLine(Handle());
                return;
            }
            break;
        case SM_ALPHACMD:
            if (SkinCommand(m)) return;
            break;
        case win::WM_PAINT:
            // The buttons show the edit's new picture behind them.
            if (button_ && Enabled() && IsSkinnedNow(this, d) && !d->GetBGChanged())
                for (TsTimerSpeedButton* b : {button_->UpButton(), button_->DownButton()}) {
                    b->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_STOPFADE), 0);
                    b->SkinData()->CacheStale = true;
                }
            break;
        case CM_COLORCHANGED:
            if (IsSkinnedNow(this, d) && d->CustomColor()) d->CacheStale = true;
            break;
        default:
            break;
    }
    TsEdit::WndProc(m);
    switch (m.Msg) {
        case win::WM_SIZE:
            PlaceButton();
            break;
        case win::WM_SETFONT:  // the window puts its own rectangle back for a new font
        case CM_FONTCHANGED:
            SetEditRect();
            break;
        case CM_ENABLEDCHANGED:
            if (!button_) break;
            if (IsSkinnedNow(this, d)) {
                // The disabled cache carries the buttons' pictures.
                button_->SetVisible(Enabled());
            } else {
                button_->UpButton()->SetEnabled(Enabled());
                button_->DownButton()->SetEnabled(Enabled());
            }
            button_->ResetArrows();
            break;
        case win::WM_SETFOCUS:
            if (AutoSelect()) SelectAll();
            break;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (button_ && IsSkinnedNow(this, d))
                for (TsTimerSpeedButton* b : {button_->UpButton(), button_->DownButton()}) {
                    b->SkinData()->MouseAbove = false;
                    b->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_STOPFADE), 0);
                    b->SkinData()->CacheStale = true;
                    b->Repaint();
                }
            break;
        default:
            break;
    }
}

// --- TsDecimalSpinEdit ---

std::vector<TPropInfo> TsDecimalSpinEdit::Published() {
    using S = TsDecimalSpinEdit;
    return {
        Property("Increment", &S::Increment, &S::SetIncrement),
        Property("MaxValue", &S::MaxValue, &S::SetMaxValue),
        Property("MinValue", &S::MinValue, &S::SetMinValue),
        Property("Value", &S::PublishedValue, &S::SetValue),
        Property("DecimalPlaces", &S::DecimalPlaces, &S::SetDecimalPlaces),
        Property("UseSystemDecSeparator", &S::UseSystemDecSeparator, &S::SetUseSystemDecSeparator)};
}

TsDecimalSpinEdit::TsDecimalSpinEdit(TComponent* owner) : TsBaseSpinEdit(owner) {}

long double TsDecimalSpinEdit::CheckValue(long double v) const {
    if (minValue_ < maxValue_) v = std::clamp(v, minValue_, maxValue_);
    return v;
}

long double TsDecimalSpinEdit::Value() {
    if (!textChanged_) return value_;
    std::string text = Text();
    // Either separator reads as the decimal one when both are let in.
    if (!useSystemDecSeparator_)
        for (char& c : text)
            if (c == ',' || c == '.') c = FormatSettings.DecimalSeparator;
    double v = 0;
    return TryStrToFloat(text, v) ? static_cast<long double>(v) : 0;
}

void TsDecimalSpinEdit::SetValue(long double v) {
    textChanged_ = false;
    value_ = CheckValue(v);
    if (ComponentState().Contains(csLoading)) return;
    SetText(Format("%.*f", decimalPlaces_, static_cast<double>(value_)));
}

void TsDecimalSpinEdit::Loaded() {
    TsBaseSpinEdit::Loaded();
    // A value set while the form loaded is shown now.
    if (!textChanged_) SetValue(value_);
}

void TsDecimalSpinEdit::SetDecimalPlaces(int places) {
    if (places == decimalPlaces_) return;
    decimalPlaces_ = places;
    SetValue(CheckValue(Value()));
}

void TsDecimalSpinEdit::Step(long double by, const TNotifyEvent& event) {
    if (ReadOnly()) {
        win::MessageBeep(0);
        return;
    }
    textChanged_ = true;
    if (event)
        event(this);
    else
        SetValue(Value() + by);
}

void TsDecimalSpinEdit::UpClick(TObject*) {
    Step(increment_, OnUpClick);
}

void TsDecimalSpinEdit::DownClick(TObject*) {
    Step(-increment_, OnDownClick);
}

bool TsDecimalSpinEdit::IsValidChar(char key) {
    const auto k = static_cast<unsigned char>(key);
    const bool separator =
        useSystemDecSeparator_ ? key == FormatSettings.DecimalSeparator : key == ',' || key == '.';
    bool valid =
        separator || key == '+' || key == '-' || (key >= '0' && key <= '9') || (k < 32 && k != 13);
    const std::string text = Text();
    const int caret = HandleAllocated() ? SelStart() : static_cast<int>(text.size());
    if (valid && separator) {
        const std::size_t sign = text.find_first_of("+-");
        if (decimalPlaces_ <= 0 || text.find(key) != std::string::npos ||
            (sign != std::string::npos && static_cast<int>(sign) >= caret))
            valid = false;
    }
    if (valid && (key == '+' || key == '-') &&
        (caret != 0 || text.find_first_of("+-") != std::string::npos))
        valid = false;
    if (valid && !EditorEnabled() && (k >= 32 || k == 8 || k == 0x2E)) valid = false;
    if (valid) textChanged_ = true;
    return valid;
}

void TsDecimalSpinEdit::WndProc(TMessage& m) {
    if (m.Msg == CM_MOUSEWHEEL && !ReadOnly()) {
        const int delta = static_cast<int16_t>(static_cast<uint16_t>(m.WParam >> 16));
        SetValue(Value() + (delta / 120) * increment_);
        m.Result = 1;
        return;
    }
    TsBaseSpinEdit::WndProc(m);
    switch (m.Msg) {
        case CM_TEXTCHANGED:
        case CM_CHANGED:
            textChanged_ = true;
            break;
        case CM_EXIT:
            if (const long double v = Value(); CheckValue(v) != v) SetValue(CheckValue(v));
            break;
        default:
            break;
    }
}

}  // namespace skin
