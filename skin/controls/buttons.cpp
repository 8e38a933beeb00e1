#include "skin/controls/buttons.h"

#include <algorithm>

#include "platform/controls/classic_paint.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/controls/text_size.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "vcl/controls/forms.h"

namespace skin {

using vcl::Property, vcl::TCustomImageList, vcl::TBitmap, vcl::TMouseButton, vcl::TShiftState;
using vcl::TAlignment, vcl::TPoint, vcl::TRect, vcl::TComponent, vcl::TPropInfo, vcl::TMessage;

int ImageListCount(TCustomImageList* images) {
    return images ? images->Count() : 0;
}

TsButtonLayout LayoutButton(TPoint size, TPoint glyph, TPoint caption, vcl::TButtonLayout layout,
                            TAlignment alignment, int margin, int spacing) {
    const int m = margin < 0 ? 0 : margin + 3;
    const int s = glyph.X > 0 && caption.X > 0 ? spacing : 0;
    const int dx = (size.X - (glyph.X + s + caption.X)) / 2 - m;
    const int dy = (size.Y - (glyph.Y + s + caption.Y)) / 2 - m;
    int gx = 0, gy = 0;
    switch (layout) {
        case vcl::blGlyphLeft:
            gx = alignment == vcl::taLeftJustify    ? m
                 : alignment == vcl::taRightJustify ? m + 2 * dx
                                                    : m + dx;
            gy = (size.Y - glyph.Y) / 2;
            break;
        case vcl::blGlyphRight:
            gx = alignment == vcl::taLeftJustify    ? size.X - m - 2 * dx - s - glyph.X
                 : alignment == vcl::taRightJustify ? size.X - glyph.X - m
                                                    : (size.X - glyph.X + s + caption.X) / 2;
            gy = (size.Y - glyph.Y) / 2;
            break;
        case vcl::blGlyphTop:
            gx = (size.X - glyph.X) / 2 + 1;
            gy = m + dy;
            break;
        case vcl::blGlyphBottom:
            gx = (size.X - glyph.X) / 2 + 1;
            gy = size.Y - m - dy - glyph.Y;
            break;
    }
    TsButtonLayout out;
    out.glyph = vcl::Bounds(gx, gy, glyph.X, glyph.Y);
    int cx = gx + glyph.X + s, cy = (size.Y - caption.Y) / 2;
    switch (layout) {
        case vcl::blGlyphLeft:
            break;
        case vcl::blGlyphRight:
            cx = gx - s - caption.X;
            break;
        case vcl::blGlyphTop:
            cx = (size.X - caption.X) / 2;
            cy = gy + glyph.Y + s;
            break;
        case vcl::blGlyphBottom:
            cx = (size.X - caption.X) / 2;
            cy = gy - s - caption.Y;
            break;
    }
    out.caption = vcl::Bounds(cx, cy, caption.X, caption.Y);
    return out;
}

namespace {

void Offset(TRect& r, int dx, int dy) {
    r = TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}

// Picture `index` of `images` at `pos`, keyed on the list's background colour (0xFF00FF when it
// has none), greyed when disabled with dgGrayed.
void DrawListGlyph(win::HDC dc, TCustomImageList* images, int index, TPoint pos, bool enabled,
                   TsDisabledGlyphKind kind) {
    const vcl::TColor bk = images->BkColor();
    const vcl::TColor key = bk == vcl::clNone ? vcl::TColor(kTransparentKey) : bk;
    TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf24bit);
    bmp.SetSize(images->Width(), images->Height());
    bmp.Canvas()->Brush()->SetColor(key);
    bmp.Canvas()->FillRect(vcl::Rect(0, 0, bmp.Width(), bmp.Height()));
    if (!images->GetBitmap(index, &bmp)) return;
    if (!enabled && kind.Contains(dgGrayed))
        GrayscaleBitmapTransparent(ViewOf(&bmp), static_cast<skin::TColor>(vcl::ColorToRGB(key)));
    win::TransparentBlt(dc, pos.X, pos.Y, bmp.Width(), bmp.Height(), bmp.Canvas()->Handle(), 0, 0,
                        bmp.Width(), bmp.Height(), vcl::ColorToRGB(key));
}

// The caption in its rectangle: plain, or embossed when disabled.
void DrawCaption(win::HDC dc, const std::string& caption, TRect r, bool enabled, uint32_t flags,
                 vcl::TColor ink) {
    if (caption.empty()) return;
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    auto draw = [&](int d, win::COLORREF c) {
        win::RECT box{r.Left + d, r.Top + d, r.Right + d, r.Bottom + d};
        win::SetTextColor(dc, c);
        win::DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &box, flags);
    };
    if (enabled) {
        draw(0, vcl::ColorToRGB(ink));
    } else {
        draw(1, win::GetSysColor(win::COLOR_BTNHIGHLIGHT));
        draw(0, win::GetSysColor(win::COLOR_BTNSHADOW));
    }
    win::SetBkMode(dc, mode);
}

uint32_t AlignmentFlags(TAlignment a) {
    return a == vcl::taLeftJustify    ? win::DT_LEFT
           : a == vcl::taRightJustify ? win::DT_RIGHT
                                      : win::DT_CENTER;
}

// The caption's size when it may take `room` pixels across.
TPoint CaptionSize(win::HDC dc, const std::string& caption, int room, bool wrap) {
    if (caption.empty()) return {0, 0};
    win::RECT r{0, 0, std::max(room, 1), 0};
    win::DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                  win::DT_CALCRECT | (wrap ? win::DT_WORDBREAK : win::DT_SINGLELINE));
    return {r.right - r.left, r.bottom - r.top};
}

bool Usable(TCustomImageList* images, int index) {
    return index >= 0 && index < ImageListCount(images);
}

}  // namespace

// --- TsGlyphSkinned ---

template <class Base>
TsGlyphSkinned<Base>::TsGlyphSkinned(TComponent* owner, int kind)
    : Base(owner), skinData_(std::make_unique<TsCommonData>(this, true)) {
    SkinData()->COC = kind;
    Base::SetAlignment(vcl::taCenter);
}

template <class Base>
TsGlyphSkinned<Base>::~TsGlyphSkinned() = default;

template <class Base>
template <class C>
std::vector<TPropInfo> TsGlyphSkinned<Base>::GlyphProperties() {
    return {Property("TextAlignment", &C::TextAlignment, &C::SetTextAlignment),
            Property("Blend", &C::Blend, &C::SetBlend),
            Property("Grayed", &C::Grayed, &C::SetGrayed),
            SetProperty("DisabledGlyphKind", &C::DisabledGlyphKind, &C::SetDisabledGlyphKind),
            SetProperty("DisabledKind", &C::DisabledKind, &C::SetDisabledKind),
            Property("ImageIndex", &C::ImageIndex, &C::SetImageIndex),
            Property("Images", &C::Images, &C::SetImages),
            Property("Reflected", &C::Reflected, &C::SetReflected),
            Property("DrawOverBorder", &C::DrawOverBorder, &C::SetDrawOverBorder),
            Property("TextOffset", &C::TextOffset, &C::SetTextOffset),
            SetProperty("AnimatEvents", &C::AnimatEvents, &C::SetAnimatEvents),
            Property("SkinData", &C::SkinData)};
}

template <class Base>
void TsGlyphSkinned<Base>::AfterConstruction() {
    Base::AfterConstruction();
    SkinData()->Loaded();
}

template <class Base>
void TsGlyphSkinned<Base>::Loaded() {
    Base::Loaded();
    SkinData()->Loaded();
}

template <class Base>
void TsGlyphSkinned<Base>::SetImages(TCustomImageList* images) {
    if (images == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images_) images_->FreeNotification(this);
    LookChanged();
}

template <class Base>
void TsGlyphSkinned<Base>::Notification(TComponent* component, vcl::TOperation operation) {
    Base::Notification(component, operation);
    if (operation == vcl::opRemove && component == images_) images_ = nullptr;
}

template <class Base>
bool TsGlyphSkinned<Base>::ImageUsable() const {
    return Usable(images_, imageIndex_);
}

template <class Base>
void TsGlyphSkinned<Base>::SetAlignment(TAlignment a) {
    if (a == this->Alignment()) return;
    Base::SetAlignment(a);
    LookChanged();
}

#define SKIN_SETTER(Class, Name, Type, field) \
    void Class::Set##Name(Type v) {           \
        if (v == field) return;               \
        field = v;                            \
        LookChanged();                        \
    }
#define GLYPH_SETTER(Name, Type, field) \
    template <class Base>               \
    SKIN_SETTER(TsGlyphSkinned<Base>, Name, Type, field)

GLYPH_SETTER(ImageIndex, int, imageIndex_)
GLYPH_SETTER(TextAlignment, TAlignment, textAlignment_)
GLYPH_SETTER(Blend, int, blend_)
GLYPH_SETTER(Grayed, bool, grayed_)
GLYPH_SETTER(DisabledGlyphKind, TsDisabledGlyphKind, disabledGlyphKind_)
GLYPH_SETTER(DisabledKind, TsDisabledKind, disabledKind_)
GLYPH_SETTER(Reflected, bool, reflected_)
GLYPH_SETTER(DrawOverBorder, bool, drawOverBorder_)
GLYPH_SETTER(TextOffset, int, textOffset_)

template class TsGlyphSkinned<vcl::TBitBtn>;
template class TsGlyphSkinned<vcl::TSpeedButton>;

// --- TsBitBtn ---

std::vector<TPropInfo> TsBitBtn::Published() {
    using B = TsBitBtn;
    std::vector<TPropInfo> p = GlyphProperties<B>();
    for (TPropInfo& i :
         std::vector<TPropInfo>{Property("Down", &B::Down, &B::SetDown),
                                Property("FocusMargin", &B::FocusMargin, &B::SetFocusMargin),
                                Property("ShowCaption", &B::ShowCaption, &B::SetShowCaption),
                                Property("ShowFocus", &B::ShowFocus, &B::SetShowFocus)})
        p.push_back(std::move(i));
    return p;
}

TsBitBtn::TsBitBtn(TComponent* owner) : TsGlyphSkinned(owner, 94) {
    ControlStyle >> vcl::csOpaque;
    SetWordWrap(true);
}

SKIN_SETTER(TsBitBtn, Down, bool, down_)
SKIN_SETTER(TsBitBtn, ShowCaption, bool, showCaption_)
SKIN_SETTER(TsBitBtn, ShowFocus, bool, showFocus_)

int TsBitBtn::CurrentState() {
    if (HandleAllocated() &&
        (win::SendMessageA(Handle(), win::BM_GETSTATE, 0, 0) & win::BST_PUSHED) != 0)
        return 2;
    if (pressed_ || down_) return 2;
    if (Default() || Active() || ControlIsActive(SkinData())) return 1;
    return 0;
}

void TsBitBtn::WndProc(TMessage& m) {
    CommonWndProc(m, SkinData());
    if (Enabled() && !ComponentState().Contains(vcl::csDesigning))
        TellMouse(m, this, OnMouseEnter, OnMouseLeave);
    switch (m.Msg) {
        case win::WM_LBUTTONDOWN:
            pressed_ = true;
            break;
        case win::WM_LBUTTONUP:
        case win::WM_CAPTURECHANGED:
            pressed_ = false;
            break;
        default:
            break;
    }
    TBitBtn::WndProc(m);
}

void TsBitBtn::DrawItem(const win::DRAWITEMSTRUCT& item) {
    if (!ImageUsable() || !Glyph()->Empty()) {
        TBitBtn::DrawItem(item);
        return;
    }
    win::HDC dc = item.hDC;
    const bool pushed = (item.itemState & win::ODS_SELECTED) || down_;
    const bool focused = (item.itemState & win::ODS_FOCUS) != 0;
    const bool enabled = !(item.itemState & win::ODS_DISABLED);
    const int saved = win::SaveDC(dc);
    win::DrawPushFace(dc, item.rcItem, Active() || focused, pushed);
    win::SelectObject(dc, Font()->Handle());
    const TPoint size{Width(), Height()};
    const TPoint glyph{Images()->Width(), Images()->Height()};
    const bool across = Layout() == vcl::blGlyphLeft || Layout() == vcl::blGlyphRight;
    const int m = Margin() < 0 ? 0 : Margin() + 3;
    const std::string caption = showCaption_ ? Caption() : std::string();
    const int room = size.X - 2 * m - (across ? glyph.X + Spacing() : 0);
    const TPoint text = CaptionSize(dc, caption, room, WordWrap());
    TsButtonLayout l = LayoutButton(size, glyph, text, Layout(), Alignment(), Margin(), Spacing());
    if (pushed) {
        Offset(l.glyph, 1, 1);
        Offset(l.caption, 1, 1);
    }
    Offset(l.caption, TextOffset(), 0);
    DrawListGlyph(dc, Images(), ImageIndex(), l.glyph.TopLeft(), enabled, DisabledGlyphKind());
    DrawCaption(dc, caption, l.caption, enabled,
                AlignmentFlags(TextAlignment()) | (WordWrap() ? win::DT_WORDBREAK : 0),
                Font()->Color());
    if (focused && showFocus_ && !caption.empty()) {
        const TRect& c = l.caption;
        win::DrawDottedFocus(dc, {c.Left - focusMargin_, c.Top - focusMargin_,
                                  c.Right + focusMargin_, c.Bottom + focusMargin_});
    }
    win::RestoreDC(dc, saved);
}

// --- TsSpeedButton ---

std::vector<TPropInfo> TsSpeedButton::Published() {
    using B = TsSpeedButton;
    std::vector<TPropInfo> p = GlyphProperties<B>();
    for (TPropInfo& i :
         std::vector<TPropInfo>{Property("ButtonStyle", &B::ButtonStyle, &B::SetButtonStyle),
                                Property("DropdownMenu", &B::DropdownMenu, &B::SetDropdownMenu),
                                Property("ShowCaption", &B::ShowCaption, &B::SetShowCaption)})
        p.push_back(std::move(i));
    return p;
}

TsSpeedButton::TsSpeedButton(TComponent* owner) : TsGlyphSkinned(owner, 92) {
    // Another change of the glyph goes the same way as the button's own.
    Glyph()->OnChange =
        vcl::TNotifyEvent::FromCallable([this, previous = Glyph()->OnChange](vcl::TObject* sender) {
            previous(sender);
            if (!ComponentState().Contains(vcl::csDestroying)) SkinData()->Invalidate();
        });
}

void TsSpeedButton::LookChanged() {
    if (!Visible()) return;
    SkinData()->CacheStale = true;
    Invalidate();
}

SKIN_SETTER(TsSpeedButton, ButtonStyle, TToolButtonStyle, buttonStyle_)

#undef GLYPH_SETTER
#undef SKIN_SETTER

void TsSpeedButton::SetDropdownMenu(vcl::TPopupMenu* menu) {
    if (menu == dropdownMenu_) return;
    if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
    dropdownMenu_ = menu;
    if (dropdownMenu_) dropdownMenu_->FreeNotification(this);
}

void TsSpeedButton::SetShowCaption(bool on) {
    if (on == showCaption_) return;
    showCaption_ = on;
    if (on) {
        SetCaption(savedCaption_);
        savedCaption_.clear();
    } else {
        savedCaption_ = Caption();
        SetCaption("");
    }
    LookChanged();
}

int TsSpeedButton::CurrentState() {
    if (State() == vcl::bsDown || State() == vcl::bsExclusive) return 2;
    return ControlIsActive(SkinData()) ? 1 : 0;
}

void TsSpeedButton::Notification(TComponent* component, vcl::TOperation operation) {
    TsGlyphSkinned::Notification(component, operation);
    if (operation == vcl::opRemove && component == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TsSpeedButton::WndProc(TMessage& m) {
    const bool live = Enabled() && !ComponentState().Contains(vcl::csDesigning);
    if (m.Msg == vcl::CM_MOUSEENTER && m.LParam == 0 && live) {
        const bool was = SkinData()->MouseAbove;
        OnMouseEnter(this);
        CommonWndProc(m, SkinData());
        if (!was) LookChanged();
    } else if (m.Msg == vcl::CM_MOUSELEAVE && m.LParam == 0 && Enabled()) {
        if (SkinData()->MouseAbove) {
            OnMouseLeave(this);
            CommonWndProc(m, SkinData());
            // A press that is not held down by a group comes up when the mouse goes.
            if (state_ == vcl::bsDown && !Down()) state_ = vcl::bsUp;
            LookChanged();
        }
    } else {
        CommonWndProc(m, SkinData());
    }
    TSpeedButton::WndProc(m);
}

void TsSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (vcl::Application() && !hintsSaved_) {
        savedShowHint_ = vcl::Application()->ShowHint();
        hintsSaved_ = true;
        vcl::Application()->SetShowHint(false);
    }
    if (button == vcl::mbLeft && Enabled() && buttonStyle_ == tbsDropDown && dropdownMenu_ &&
        (x > Width() - DropDownArrowWidth() || !OnClick)) {
        ShowDropDown();
        return;
    }
    TSpeedButton::MouseDown(button, shift, x, y);
}

void TsSpeedButton::ShowDropDown() {
    static bool open = false;  // one drop-down at a time, whichever button shows it
    if (open) return;
    open = true;
    droppedDown_ = true;
    const bool setDown = !OnClick;
    if (setDown) state_ = vcl::bsDown;
    SkinData()->CacheStale = true;
    Repaint();
    dropdownMenu_->SetPopupComponent(this);
    const TPoint p = ClientToScreen({0, Height()});
    try {
        dropdownMenu_->Popup(p.X + 1, p.Y + 1);
    } catch (...) {
        open = false;
        droppedDown_ = false;
        throw;
    }
    open = false;
    droppedDown_ = false;
    dragging_ = false;
    if (hintsSaved_) {
        vcl::Application()->SetShowHint(savedShowHint_);
        hintsSaved_ = false;
    }
    win::POINT cursor;
    win::GetCursorPos(&cursor);
    const TPoint local = ScreenToClient(cursor);
    if (!ClientRect().Contains(local)) Perform(vcl::CM_MOUSELEAVE);
    if (setDown) state_ = Down() ? vcl::bsExclusive : vcl::bsUp;
    LookChanged();
}

void TsSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (hintsSaved_) {
        vcl::Application()->SetShowHint(savedShowHint_);
        hintsSaved_ = false;
    }
    if (buttonStyle_ == tbsDropDown) droppedDown_ = false;
    TSpeedButton::MouseUp(button, shift, x, y);
}

void TsSpeedButton::Paint() {
    const bool ownGlyph = ImageUsable() && Glyph()->Empty();
    if (!ownGlyph && buttonStyle_ != tbsDropDown) {
        TSpeedButton::Paint();
        return;
    }
    // The face as the base paints it, without its glyph and caption: those go where the
    // button's own layout puts them, beside the drop-down part.
    const std::string caption = text_;
    text_.clear();
    TSpeedButton::Paint();
    text_ = caption;
    win::HDC dc = Canvas()->Handle();
    const int arrow = DropDownArrowWidth();
    const bool pushed = state_ == vcl::bsDown || state_ == vcl::bsExclusive;
    const bool enabled = Enabled();
    win::SelectObject(dc, Font()->Handle());
    const TPoint size{Width() - arrow, Height()};
    if (arrow > 0) {
        win::RECT edge{size.X, 2, size.X + 2, Height() - 2};
        win::DrawEdge(dc, &edge, win::EDGE_ETCHED, win::BF_LEFT);
        const int ax = size.X + (arrow - 7) / 2, ay = (Height() - 4) / 2;
        for (int i = 0; i < 4; ++i) {
            win::RECT line{ax + i, ay + i, ax + 7 - i, ay + i + 1};
            win::FillSysColor(dc, line, enabled ? win::COLOR_BTNTEXT : win::COLOR_GRAYTEXT);
        }
    }
    const TPoint glyph = ownGlyph ? TPoint{Images()->Width(), Images()->Height()} : TPoint{0, 0};
    const bool across = Layout() == vcl::blGlyphLeft || Layout() == vcl::blGlyphRight;
    const int m = Margin() < 0 ? 0 : Margin() + 3;
    const int room = size.X - 2 * m - (across && glyph.X > 0 ? glyph.X + Spacing() : 0);
    const TPoint text = CaptionSize(dc, caption, room, true);
    TsButtonLayout l = LayoutButton(size, glyph, text, Layout(), Alignment(), Margin(), Spacing());
    if (pushed) {
        Offset(l.glyph, 1, 1);
        Offset(l.caption, 1, 1);
    }
    if (Reflected()) Offset(l.glyph, 0, -glyph.Y / 6);
    Offset(l.caption, TextOffset(), 0);
    if (ownGlyph)
        DrawListGlyph(dc, Images(), ImageIndex(), l.glyph.TopLeft(), enabled, DisabledGlyphKind());
    DrawCaption(dc, caption, l.caption, enabled,
                AlignmentFlags(TextAlignment()) | win::DT_WORDBREAK | win::DT_EXPANDTABS,
                Font()->Color());
    Canvas()->Refresh();
}

// --- TsTimerSpeedButton ---

std::vector<TPropInfo> TsTimerSpeedButton::Published() {
    return {Property("AllowTimer", &TsTimerSpeedButton::AllowTimer,
                     &TsTimerSpeedButton::SetAllowTimer)};
}

TsTimerSpeedButton::TsTimerSpeedButton(TComponent* owner) : TsSpeedButton(owner) {
    SetWidth(Height() - 4);
}

TsTimerSpeedButton::~TsTimerSpeedButton() = default;

void TsTimerSpeedButton::SetFocusMark(bool on) {
    if (on == focusMark_) return;
    focusMark_ = on;
    Invalidate();
}

void TsTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TsSpeedButton::MouseDown(button, shift, x, y);
    if (button != vcl::mbLeft || !Enabled() || !allowTimer_) return;
    if (!timer_) {
        timer_ = vcl::New<vcl::TTimer>(this);
        timer_->OnTimer = vcl::TNotifyEvent(this, &TsTimerSpeedButton::TimerTick);
    }
    timer_->SetInterval(400);
    timer_->SetEnabled(true);
}

void TsTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TsSpeedButton::MouseUp(button, shift, x, y);
    if (timer_) timer_->SetEnabled(false);
}

void TsTimerSpeedButton::TimerTick(vcl::TObject*) {
    timer_->SetInterval(100);
    // Only while the mouse holds the button down over it.
    if (!dragging_ || state_ != vcl::bsDown) return;
    try {
        Click();
    } catch (...) {}
}

void TsTimerSpeedButton::Paint() {
    if (ComponentState().Contains(vcl::csLoading) || ComponentState().Contains(vcl::csDestroying))
        return;
    TsSpeedButton::Paint();
    if (!focusMark_) return;
    const int d = state_ == vcl::bsDown || state_ == vcl::bsExclusive ? 1 : 0;
    const win::RECT r{3 + d, 3 + d, Width() - 3 + d, Height() - 3 + d};
    win::DrawFocusRect(Canvas()->Handle(), &r);
    Canvas()->Refresh();
}

}  // namespace skin
