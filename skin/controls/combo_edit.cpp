#include "skin/controls/combo_edit.h"

#include <algorithm>

#include "platform/controls/edit_control.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"
#include "skin/controls/button_glyphs.h"
#include "skin/controls/control_frame.h"
#include "skin/core/paint/alpha_image_list.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_text.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using namespace vcl;

// --- TsEditButton ---

TsEditButton::TsEditButton(TComponent* owner, TsCustomComboEdit* edit)
    : TsSpeedButton(owner), edit_(edit) {
    SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
    SetDisabledGlyphKind({dgBlended});
    SetFlat(true);
    SetCursor(crArrow);
    SetAlign(alRight);
    SetWidth(22);
    SetShowCaption(false);
    SetAnimatEvents({aeMouseEnter, aeMouseLeave});
}

ButtonGlyph TsEditButton::GlyphInputs() {
    ButtonGlyph in = TsSpeedButton::GlyphInputs();
    if (!edit_) return in;
    TsGlyphMode* mode = edit_->GlyphMode();
    const int state = std::min(CurrentState(), 2);
    in.Glyph = nullptr;
    in.Down = false;
    if (mode->HasOwnImage()) {
        const int byState[] = {mode->ImageIndex(), mode->ImageIndexHot(),
                               mode->ImageIndexPressed()};
        in.Images = mode->Images();
        in.ImageIndex = byState[state];
        if (in.ImageIndex < 0 || in.ImageIndex >= ImageListCount(in.Images))
            in.ImageIndex = mode->ImageIndex();
        in.State = 0;  // one glyph per picture
        in.Blend = mode->Blend();
        in.Grayed = mode->Grayed();
    } else {
        in.Images = edit_->DefaultGlyphIndex() >= 0 ? DefaultGlyphs() : nullptr;
        in.ImageIndex = edit_->DefaultGlyphIndex();
        in.State = state;  // three glyphs per picture
    }
    const int d = state == 2 ? 1 : 0;
    const int w = mode->GlyphWidth(), h = mode->GlyphHeight();
    in.GlyphRect = vcl::Bounds((Width() - w) / 2 + d, (Height() - h) / 2 + d, w, h);
    return in;
}

void TsEditButton::Paint() {
    if (IsSkinnedNow(this, SkinData())) {
        // The cache holds the glyph.
        if (!RedrawFrozen()) TsSpeedButton::Paint();
        return;
    }
    TsSpeedButton::Paint();
    if (!edit_) return;
    const ButtonGlyph in = GlyphInputs();
    if (!in.Images || in.ImageIndex < 0) return;
    if (edit_->GlyphMode()->HasOwnImage())
        in.Images->Draw(Canvas(), in.GlyphRect.Left, in.GlyphRect.Top, in.ImageIndex, Enabled());
    else
        DrawImageListGlyphToDC(DefaultGlyphs(), Canvas()->Handle(), in.GlyphRect.TopLeft(), 3,
                               in.State, in.ImageIndex, false, skin::TColor(clNone), 0);
    Canvas()->Refresh();
}

// --- TsCustomComboEdit ---

std::vector<TPropInfo> TsCustomComboEdit::Published() {
    using E = TsCustomComboEdit;
    return {Property("ShowButton", &E::ShowButton, &E::SetShowButton),
            Property("ClickKey", &E::ClickKey, &E::SetClickKey),
            Property("GlyphMode", &E::GlyphMode),
            Property("DirectInput", &E::DirectInput, &E::SetDirectInput),
            Property("ReadOnly", &E::ReadOnly, &E::SetReadOnly),
            Property("PopupAlign", &E::PopupAlign, &E::SetPopupAlign),
            Property("PopupWidth", &E::PopupWidth, &E::SetPopupWidth)};
}

TsCustomComboEdit::TsCustomComboEdit(TComponent* owner)
    : TsMaskEdit(owner), glyphMode_(std::make_unique<TsGlyphMode>(this)) {
    SkinData()->COC = 138;
    button_ = New<TsEditButton>(this, this);
    button_->SetParent(this);
    button_->OnClick = TNotifyEvent(this, &TsCustomComboEdit::ButtonClicked);
    glyphMode_->SetButton(button_);
    SetHeight(21);
}

TsCustomComboEdit::~TsCustomComboEdit() {
    glyphMode_->SetButton(nullptr);
}

void TsCustomComboEdit::Loaded() {
    TsMaskEdit::Loaded();
    SetEditRect();
}

void TsCustomComboEdit::CreateParams(TCreateParams& p) {
    TsMaskEdit::CreateParams(p);
    p.Style |= EditWithButtonsStyle(Alignment());
}

void TsCustomComboEdit::CreateWnd() {
    TsMaskEdit::CreateWnd();
    ApplyReadOnly();
    SetEditRect();
}

void TsCustomComboEdit::SetAlignment(TAlignment a) {
    if (a == Alignment()) return;
    TsMaskEdit::SetAlignment(a);
    RecreateWnd();
}

void TsCustomComboEdit::SetEditRect() {
    if (!HandleAllocated() || !Parent()) return;
    win::RECT r{0, 0, ClientWidth() - (showButton_ ? button_->Width() : 0), ClientHeight()};
    win::SendMessageA(Handle(), win::EM_SETRECTNP, 0, reinterpret_cast<win::LPARAM>(&r));
}

void TsCustomComboEdit::Invalidate() {
    TsMaskEdit::Invalidate();
    if (!button_) return;
    button_->SkinData()->CacheStale = true;
    if (showButton_) {
        if (button_->Width() != glyphMode_->GlyphWidth())
            button_->SetWidth(glyphMode_->GlyphWidth());
        button_->SetVisible(true);
    } else {
        button_->SetVisible(false);
        button_->SetWidth(0);
    }
}

void TsCustomComboEdit::SetShowButton(bool on) {
    if (on == showButton_) return;
    showButton_ = on;
    Invalidate();
    SetEditRect();
}

void TsCustomComboEdit::ApplyReadOnly() {
    TCustomEdit::SetReadOnly(readOnly_ || !directInput_);
}

void TsCustomComboEdit::SetReadOnly(bool on) {
    readOnly_ = on;
    ApplyReadOnly();
}

void TsCustomComboEdit::SetDirectInput(bool on) {
    directInput_ = on;
    ApplyReadOnly();
}

bool TsCustomComboEdit::PopupVisible() const {
    return popup_ && popup_->Visible();
}

void TsCustomComboEdit::ButtonClick() {
    if (readOnly_) return;
    OnButtonClick(this);
    if (PopupVisible())
        PopupCloseUp();
    else
        PopupDropDown();
}

void TsCustomComboEdit::PopupDropDown() {
    if (!popup_ || readOnly_ || popup_->Visible()) return;
    popup_->SetVisible(false);
    popup_->SetWidth(popupWidth_);
    const int pw = popup_->Width(), ph = popup_->Height();
    // From the window's corner, not the client origin inside the frame.
    const TPoint p = Parent() ? Parent()->ClientToScreen({Left(), Top()}) : ClientToScreen({0, 0});
    // The virtual screen's edges: its origin need not be (0, 0).
    const int vx = win::GetSystemMetrics(win::SM_XVIRTUALSCREEN);
    const int vw = vx + win::GetSystemMetrics(win::SM_CXVIRTUALSCREEN);
    const int vh = win::GetSystemMetrics(win::SM_YVIRTUALSCREEN) +
                   win::GetSystemMetrics(win::SM_CYVIRTUALSCREEN);
    int y = p.Y + Height();
    if (vh < y + ph) y = p.Y - ph;
    int x;
    if (popupAlign_ == pwaRight) {
        x = p.X + Width() - pw;
        if (x < vx) x += pw - Width();
    } else {
        x = p.X;
        if (x + pw > vw) x -= pw - Width();
    }
    if (x < vx)
        x = vx;
    else if (x + pw > vw)
        x = vw - pw;
    auto* form = dynamic_cast<TCustomForm*>(popup_);
    if (TCustomForm* parent = GetParentForm(this);
        form && parent && parent->FormStyle() == fsStayOnTop)
        form->SetFormStyle(fsStayOnTop);
    popup_->SetBounds(x, y, pw, ph);
    popup_->SetVisible(true);
}

void TsCustomComboEdit::PopupCloseUp() {
    if (PopupVisible()) popup_->SetVisible(false);
}

void TsCustomComboEdit::SelectAllText() {
    if (!Text().empty()) win::SendMessageA(Handle(), win::EM_SETSEL, 0, -1);
}

void TsCustomComboEdit::SetBounds(int left, int top, int width, int height) {
    if (SkinData()) SkinData()->CacheStale = true;
    TsMaskEdit::SetBounds(left, top, width, height);
    PopupCloseUp();
    SetEditRect();
}

void TsCustomComboEdit::Change() {
    if (!PopupVisible()) TsMaskEdit::Change();
}

void TsCustomComboEdit::Notification(TComponent* component, TOperation operation) {
    TsMaskEdit::Notification(component, operation);
    if (operation != opRemove) return;
    if (glyphMode_ && component == glyphMode_->Images()) glyphMode_->SetImages(nullptr);
    if (component == popup_) popup_ = nullptr;
}

bool TsCustomComboEdit::DoKeyDown(uint16_t& key, TShiftState shift) {
    if (TsMaskEdit::DoKeyDown(key, shift)) return true;
    if (key != 0 && vcl::ShortCut(key, shift) == clickKey_ && glyphMode_->GlyphWidth() > 0 &&
        showButton_) {
        ButtonClick();
        key = 0;
    }
    SetEditRect();
    return key == 0;
}

bool TsCustomComboEdit::DoKeyPress(char& key) {
    if (key == 13 || key == 27) {
        if (TCustomForm* form = GetParentForm(this))
            if (form->Perform(CM_DIALOGKEY, static_cast<unsigned char>(key), 0) != 0) {
                key = 0;
                return true;
            }
        if (key == 13) {
            TsMaskEdit::DoKeyPress(key);
            key = 0;
            return true;
        }
    }
    return TsMaskEdit::DoKeyPress(key);
}

void TsCustomComboEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
        case win::WM_PASTE:
        case win::WM_CUT:
            if (!directInput_ || readOnly_) return;
            if (m.Msg == win::WM_PASTE && !IsMasked() && HandleAllocated()) {
                PasteFirstLine(Handle());
                return;
            }
            break;
        case CM_CANCELMODE: {
            auto* sender = reinterpret_cast<TControl*>(m.LParam);
            const auto* inside = dynamic_cast<TWinControl*>(popup_);
            if (sender != this && sender != popup_ && sender != button_ &&
                !(inside && sender && inside->ContainsControl(sender)))
                PopupCloseUp();
            break;
        }
        case CM_FOCUSCHANGED:
            if (reinterpret_cast<TControl*>(m.LParam) != this) PopupCloseUp();
            break;
        default:
            break;
    }
    if (m.Msg == SM_ALPHACMD && SkinCommand(m)) return;
    TsMaskEdit::WndProc(m);
    if (m.Msg == win::WM_PRINT && showButton_ && IsSkinnedNow(this, SkinData()))
        PaintButtonImage(reinterpret_cast<win::HDC>(m.WParam), false);
    switch (m.Msg) {
        case CM_ENABLEDCHANGED:
            if (button_) button_->SetEnabled(Enabled());
            break;
        case win::WM_SIZE:
        case win::WM_SETFONT:  // the window puts its own rectangle back for a new font
        case CM_FONTCHANGED:
            SetEditRect();
            break;
        case win::WM_SETFOCUS:
            if (AutoSelect()) SelectAllText();
            break;
        case CM_EXIT:
            Repaint();
            break;
        default:
            break;
    }
}

// --- skinned painting ---

int TsCustomComboEdit::CurrentState() const {
    if (TsMaskEdit::CurrentState() != 0) return 1;
    return button_ && (button_->CurrentState() == 2 || ControlIsActive(button_->SkinData())) ? 1
                                                                                             : 0;
}

void TsCustomComboEdit::PaintText() {
    TsCommonData* d = SkinData();
    TCanvas* canvas = d->CacheBmp()->Canvas();
    canvas->SetFont(Font());
    const int b = EditBorderExtraWidth();
    const int button = showButton_ && button_ ? button_->Width() : 0;
    const TRect r(b, b, Width() - b - button, Height() - b);
    std::string text = Text();
    if (PasswordChar()) text.assign(text.size(), PasswordChar());
    const uint32_t flags = TextFlagsForAlignment(this, Alignment()) | win::DT_NOPREFIX;
    DrawSkinText(canvas, text, Enabled() || !IsControlSkinned(d), ControlIsActive(d) ? 1 : 0, d,
                 flags, r);
}

void TsCustomComboEdit::PaintButtonImage(win::HDC dc, bool clientDC) {
    if (!dc || !button_ || !button_->Visible() || button_->Width() < 1) return;
    TsCommonData* bd = button_->SkinData();
    if (bd->CacheStale || !bd->CacheBmp() || bd->CacheBmp()->Width() != button_->Width())
        button_->PrepareCache();
    TBitmap* image = bd->CacheBmp();
    if (!image || image->Width() < 1) return;
    // The button is a child of the client area.
    win::RECT client{};
    if (!clientDC) GetClientRectInWindow(Handle(), client);
    win::BitBlt(dc, button_->Left() + client.left, button_->Top() + client.top, button_->Width(),
                button_->Height(), image->Canvas()->Handle(), 0, 0, win::SRCCOPY);
}

void TsCustomComboEdit::PaintToDC(win::HDC dc, bool clientDC) {
    TsCommonData* d = SkinData();
    const FramePaintDC target(this, dc, clientDC);
    if (!DecideCacheStale(this, d)) return;
    if (d->CacheStale && !d->KeepCache) PaintEditFrame();
    PaintCtrlBorders(d, CurrentState());
    CopyCacheToDC(this, d, target.dc(), target.clientDC());
    // An active edit's window paints its graphic children itself.
    if (CurrentState() == 0 && showButton_) PaintButtonImage(target.dc(), target.clientDC());
}

void TsCustomComboEdit::PaintBorder(win::HDC dc) {
    TsMaskEdit::PaintBorder(dc);
    if (CurrentState() == 0 || !showButton_ || !HandleAllocated() || !Visible() ||
        SkinData()->GetBGChanged())
        return;
    win::HDC own = dc ? nullptr : win::GetWindowDC(Handle());
    PaintButtonImage(own ? own : dc, false);
    if (own) win::ReleaseDC(Handle(), own);
}

bool TsCustomComboEdit::SkinCommand(TMessage& m) {
    TsCommonData* d = SkinData();
    switch (SkinCommandCode(m.WParam)) {
        case SKC_GETBGINFO: {
            if (!m.LParam) return false;
            auto& info = *reinterpret_cast<BackgroundInfo*>(m.LParam);
            d->GetBGInfo(info, ControlIsActive(d), nullptr);
            // The button lies in the client area, inside the frame.
            const int e = EditBorderExtraWidth();
            info.Offset = {info.Offset.X + e, info.Offset.Y + e};
            m.Result = 1;
            return true;
        }
        case SKC_ISUPDATING:
            m.Result = 0;
            return true;
        default:
            break;
    }
    if (!IsOwnSkinChange(m, d)) return false;
    TsMaskEdit::WndProc(m);
    BroadcastToChildControls(this, m);
    SetEditRect();
    return true;
}

}  // namespace skin
