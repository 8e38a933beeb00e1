#include "skin/controls/buttons.h"

#include <algorithm>

#include "platform/controls/classic_paint.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "platform/os/clock.h"
#include "platform/user/window_dc.h"
#include "skin/controls/control_frame.h"
#include "skin/controls/text_size.h"
#include "skin/core/state/bordered_sections.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "vcl/controls/forms.h"

namespace skin {

using vcl::Property, vcl::TCustomImageList, vcl::TBitmap, vcl::TMouseButton, vcl::TShiftState;
using vcl::TAlignment, vcl::TPoint, vcl::TRect, vcl::TComponent, vcl::TPropInfo, vcl::TMessage;
using vcl::TCanvas;

TsButtonLayout LayoutButton(TPoint size, TPoint glyph, TPoint caption, vcl::TButtonLayout layout,
                            TAlignment alignment, int margin, int spacing) {
    margin = ClampInset(margin);
    spacing = ClampInset(spacing);
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

// The caption in its rectangle: plain, or embossed when disabled.
void DrawCaption(win::HDC dc, const std::string& caption, TRect r, bool enabled, uint32_t flags,
                 vcl::TColor ink) {
    if (caption.empty()) return;
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    if (enabled) {
        win::RECT box = r;
        win::SetTextColor(dc, vcl::ColorToRGB(ink));
        win::DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &box, flags);
    } else {
        DrawEmbossedText(dc, caption, r, flags);
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
TsGlyphSkinned<Base>::~TsGlyphSkinned() {
    RestoreHints();
}

template <class Base>
void TsGlyphSkinned<Base>::SuspendHints() {
    if (hintsSaved_ || !vcl::Application()) return;
    savedShowHint_ = vcl::Application()->ShowHint();
    hintsSaved_ = true;
    vcl::Application()->SetShowHint(false);
}

template <class Base>
void TsGlyphSkinned<Base>::RestoreHints() {
    if (!hintsSaved_) return;
    hintsSaved_ = false;
    if (vcl::Application()) vcl::Application()->SetShowHint(savedShowHint_);
}

template <class Base>
bool TsGlyphSkinned<Base>::EndsPressWithoutRelease(const TMessage& m) {
    switch (m.Msg) {
        case vcl::CM_CANCELMODE:
        case win::WM_CAPTURECHANGED:
            break;
        case vcl::CM_ENABLEDCHANGED:
        case vcl::CM_VISIBLECHANGED:
            if (this->Enabled() && this->Visible()) return false;
            break;
        default:
            return false;
    }
    RestoreHints();
    return true;
}

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
TPoint TsGlyphSkinned<Base>::GlyphSize() const {
    if (ImageUsable()) return {images_->Width(), images_->Height()};
    TBitmap* g = this->Glyph();
    if (!g || g->Empty()) return {0, 0};
    return {g->Width() / std::max(1, this->NumGlyphs()), g->Height()};
}

template <class Base>
ButtonGlyph TsGlyphSkinned<Base>::GlyphInputs() {
    ButtonGlyph in;
    in.Glyph = this->Glyph();
    in.NumGlyphs = this->NumGlyphs();
    in.Images = images_;
    in.ImageIndex = imageIndex_;
    in.SkinData = SkinData();
    in.Skinned = IsControlSkinned(SkinData());
    in.Enabled = this->Enabled();
    in.Down = IsDown();
    in.Blend = blend_;
    in.Grayed = grayed_;
    in.DisabledGlyphKind = disabledGlyphKind_;
    in.Reflected = reflected_;
    in.GlyphRect = GlyphRect();
    in.State = CurrentState();
    in.ControlColor = this->Color();
    return in;
}

template <class Base>
TsButtonLayout TsGlyphSkinned<Base>::PlaceGlyphAndCaption(win::HDC dc, TPoint size, TPoint glyph,
                                                          const std::string& caption, bool wrap,
                                                          bool pressed, bool lift) {
    const vcl::TButtonLayout layout = Base::Layout();
    const bool across = layout == vcl::blGlyphLeft || layout == vcl::blGlyphRight;
    const int m = Base::Margin() < 0 ? 0 : ClampInset(Base::Margin()) + 3;
    const int room =
        size.X - 2 * m - (across && glyph.X > 0 ? glyph.X + ClampInset(Base::Spacing()) : 0);
    // The DC may hold whatever font it last drew with.
    const win::HGDIOBJ old = win::SelectObject(dc, this->Font()->Handle());
    const TPoint text = CaptionSize(dc, caption, room, wrap);
    win::SelectObject(dc, old);
    TsButtonLayout l = LayoutButton(size, glyph, text, layout, this->Alignment(), Base::Margin(),
                                    Base::Spacing());
    if (pressed) {
        Offset(l.glyph, 1, 1);
        Offset(l.caption, 1, 1);
    }
    if (lift) Offset(l.glyph, 0, -glyph.Y / 6);
    Offset(l.caption, textOffset_, 0);
    return l;
}

template <class Base>
void TsGlyphSkinned<Base>::DrawGlyphAt(win::HDC dc, const TRect& place) {
    ButtonGlyph in = GlyphInputs();
    in.GlyphRect = place;
    TCanvas canvas;
    canvas.SetHandle(dc);
    DrawButtonGlyph(in, &canvas);
    canvas.SetHandle(nullptr);
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

TsBitBtn::~TsBitBtn() {
    WindowSlots().StopControlFade(fade_);
    if (region_) win::DeleteObject(region_);
}

SKIN_SETTER(TsBitBtn, Down, bool, down_)
SKIN_SETTER(TsBitBtn, ShowCaption, bool, showCaption_)
SKIN_SETTER(TsBitBtn, ShowFocus, bool, showFocus_)

void TsBitBtn::ApplyButtonStyle(bool isDefault) {
    TBitBtn::ApplyButtonStyle(isDefault);
    SkinData()->Invalidate();
}

int TsBitBtn::CurrentState() const {
    // Asking the window changes nothing of the button.
    auto* self = const_cast<TsBitBtn*>(this);
    if (HandleAllocated()) {
        const auto pushed =
            win::SendMessageA(self->Handle(), win::BM_GETSTATE, 0, 0) & win::BST_PUSHED;
        if (pushed || forcePressed_) {
            const bool held = (win::GetKeyState(win::VK_LBUTTON) & 0x8000) != 0;
            if (SkinData()->MouseAbove || !held) return 2;
        }
    }
    if (pressed_ || down_) return 2;
    if (Default() || Active() || ControlIsActive(SkinData())) return 1;
    if (HandleAllocated() && (win::GetWindowLongA(self->Handle(), win::GWL_STYLE) & 0xF) ==
                                 win::BS_DEFPUSHBUTTON)
        return 1;
    return 0;
}

TsButtonLayout TsBitBtn::ButtonLayout() {
    return PlaceGlyphAndCaption(SkinData()->CacheBmp()->Canvas()->Handle(), {Width(), Height()},
                                GlyphSize(), showCaption_ ? Caption() : std::string(), WordWrap(),
                                CurrentState() == 2, false);
}

void TsBitBtn::PaintBorderMask(int state) {
    TsCommonData* d = SkinData();
    TsSkinManager* mgr = d->GetSkinManager();
    if (!mgr || !mgr->Skin().IsValidImgIndex(d->BorderIndex)) return;
    PaintMaskToDC(d->CacheBmp(), region_, false, mgr->Masks()[size_t(d->BorderIndex)], state);
}

void TsBitBtn::PaintCaption(const TRect& r, int state) {
    const std::string caption = Caption();
    if (caption.empty()) return;
    TsCommonData* d = SkinData();
    TCanvas* canvas = d->CacheBmp()->Canvas();
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(vcl::bsClear);
    const uint32_t flags = AlignmentFlags(TextAlignment()) |
                           (WordWrap() ? win::DT_WORDBREAK : win::DT_SINGLELINE) |
                           win::DT_EXPANDTABS;
    DrawSkinText(canvas, caption, true, state, d, flags, r);
    const TsGeneralData* s = d->Section();
    const bool focused = HandleAllocated() && win::GetFocus() == Handle();
    if (Enabled() && focused && s && s->ShowFocus && showFocus_)
        DrawDottedFocusRect(canvas->Handle(), TRect(r.Left - focusMargin_, r.Top - focusMargin_,
                                                   r.Right + focusMargin_, r.Bottom + focusMargin_));
}

void TsBitBtn::PrepareCache() {
    TsCommonData* d = SkinData();
    const int state = CurrentState();
    PaintSectionIntoCache(this, d, state, false);
    if (Width() < 1 || Height() < 1) {
        d->CacheStale = false;
        return;
    }
    if (regionChanged_ && !RedrawFrozen() && !(fade_ && fade_->Running())) {
        if (region_) win::DeleteObject(region_);
        region_ = win::CreateRectRgn(0, 0, Width(), Height());
    }
    if (DrawOverBorder()) PaintBorderMask(state);
    const TsButtonLayout l = ButtonLayout();
    if (showCaption_) PaintCaption(l.caption, state);
    DrawButtonGlyph(this, nullptr);
    if (!DrawOverBorder()) PaintBorderMask(state);
    if (!Enabled()) BlendDisabledCache(this, d, DisabledKind());
    OnPaint(this, d->CacheBmp());
    d->CacheStale = false;
}

void TsBitBtn::PaintToDC(win::HDC dc, bool clientDC) {
    TsCommonData* d = SkinData();
    const FramePaintDC target(this, dc, clientDC);
    dc = target.dc();
    clientDC = target.clientDC();
    const bool fading = fade_ && fade_->Running();
    if (!fading && DecideCacheStale(this, d)) {
        if (d->CacheStale || ComponentState().Contains(vcl::csDesigning)) PrepareCache();
        CopyCacheToDC(this, d, dc, clientDC);
        if (region_ && !ComponentState().Contains(vcl::csDesigning) &&
            !ControlState.Contains(vcl::csCreating)) {
            // The window owns the region from here on.
            win::SetWindowRgn(Handle(), region_, IsWindowVisible(Handle()));
            region_ = nullptr;
            regionChanged_ = false;
            // What the cut corners uncover of the parent is painted again.
            if (Parent() && Parent()->HandleAllocated()) {
                const int c = std::min({GetMaxBorderWidth(d), Width() / 2, Height() / 2});
                for (TRect r : {vcl::Bounds(Left(), Top(), c, c),
                                vcl::Bounds(Left() + Width() - c, Top(), c, c),
                                vcl::Bounds(Left(), Top() + Height() - c, c, c),
                                vcl::Bounds(Left() + Width() - c, Top() + Height() - c, c, c)}) {
                    const win::RECT wr = r;
                    win::InvalidateRect(Parent()->Handle(), &wr, win::TRUE);
                }
            }
        }
    }
}

void TsBitBtn::StopFade() {
    WindowSlots().StopControlFade(fade_);
}

void TsBitBtn::ChangeState(TacAnimatEvent event, bool fast) {
    TsCommonData* d = SkinData();
    WindowServices& w = WindowSlots();
    w.ChangeStateAnimated(fade_, d, fast, 1,
                          w.IsAnimEventAllowed(event, AnimatEvents(), d->GetSkinManager()));
}

void TsBitBtn::PressEnded(TMessage& m) {
    RestoreHints();
    const bool was = pressed_;
    pressed_ = false;
    TsCommonData* d = SkinData();
    if (was && fade_ && fade_->Running()) {
        // The pressed look is shown before the release fades away from it.
        StopFade();
        d->CacheStale = true;
        forcePressed_ = true;
        win::RedrawWindow(Handle(), nullptr, nullptr, win::RDW_INVALIDATE | win::RDW_UPDATENOW);
        forcePressed_ = false;
        os::Sleep(30);
    }
    TBitBtn::WndProc(m);
    if (!was || ComponentState().Contains(vcl::csDestroying)) return;
    d->BGChanged = false;
    regionChanged_ = true;
    ChangeState(aeMouseUp, true);
}

// The skinned messages; true when the message is used up.
bool TsBitBtn::SkinnedWndProc(TMessage& m) {
    TsCommonData* d = SkinData();
    const bool designing = ComponentState().Contains(vcl::csDesigning);
    switch (m.Msg) {
        case win::WM_PAINT:
            if (Visible() || designing) PaintToDC(reinterpret_cast<win::HDC>(m.WParam), true);
            return !designing;
        case win::WM_PRINT:
            d->BGChanged = false;
            regionChanged_ = true;
            PaintToDC(reinterpret_cast<win::HDC>(m.WParam), false);
            return true;
        case win::WM_ERASEBKGND:
            if (!Visible() && !designing) return false;
            m.Result = 0;
            return true;
        case win::WM_SIZE:
        case win::WM_WINDOWPOSCHANGED:
            regionChanged_ = true;
            d->CacheStale = true;
            return false;
        case win::WM_MOVE:
            d->CacheStale = true;
            if (ControlIsActive(d) && (d->IsTransparent() || IsComplexBackground(d))) Repaint();
            return false;
        case win::WM_ENABLE:
            return true;
        case win::WM_SETTEXT:
            if (!Showing()) return false;
            StopFade();
            win::SendMessageA(Handle(), win::WM_SETREDRAW, 0, 0);
            TBitBtn::WndProc(m);
            win::SendMessageA(Handle(), win::WM_SETREDRAW, 1, 0);
            return true;
        case win::WM_KEYDOWN:
            if (m.WParam == win::VK_SPACE && Enabled() && win::GetFocus() == Handle()) {
                StopFade();
                regionChanged_ = true;
                d->CacheStale = true;
                HideGlowOf(d);
                TBitBtn::WndProc(m);
                Repaint();
                return true;
            }
            return false;
        case win::WM_KEYUP:
            if (m.WParam != win::VK_SPACE) return false;
            TBitBtn::WndProc(m);
            regionChanged_ = true;
            d->CacheStale = true;
            Repaint();
            return true;
        case win::WM_SETFOCUS:
        case vcl::CM_ENTER:
            if (!Visible() || !Enabled() || designing) return false;
            win::SendMessageA(Handle(), win::WM_SETREDRAW, 0, 0);
            TBitBtn::WndProc(m);
            win::SendMessageA(Handle(), win::WM_SETREDRAW, 1, 0);
            CommonWndProc(m, d);
            regionChanged_ = true;
            d->Invalidate();
            return true;
        case win::WM_KILLFOCUS:
        case vcl::CM_EXIT:
            if (!Visible() || !Enabled()) return false;
            StopFade();
            win::SendMessageA(Handle(), win::WM_SETREDRAW, 0, 0);
            TBitBtn::WndProc(m);
            win::SendMessageA(Handle(), win::WM_SETREDRAW, 1, 0);
            d->Focused = false;
            regionChanged_ = true;
            d->Invalidate();
            HideGlowOf(d);
            return true;
        case vcl::CM_MOUSEENTER:
            if (m.LParam != 0 || !Enabled() || designing || d->MouseAbove) return false;
            OnMouseEnter(this);
            d->MouseAbove = true;
            ChangeState(aeMouseEnter, false);
            return false;
        case vcl::CM_MOUSELEAVE:
            if (m.LParam != 0 || !Enabled()) return false;
            OnMouseLeave(this);
            d->MouseAbove = false;
            ChangeState(aeMouseLeave, false);
            return false;
        case vcl::CM_TEXTCHANGED:
            if (Visible() || designing) d->Invalidate();
            return false;
        case win::WM_LBUTTONDOWN:
        case win::WM_LBUTTONDBLCLK:
            if (!Enabled() || designing) return false;
            TBitBtn::WndProc(m);
            pressed_ = true;
            SuspendHints();
            regionChanged_ = true;
            ChangeState(aeMouseDown, true);
            return true;
        case win::WM_LBUTTONUP:
            PressEnded(m);
            return true;
        default:
            return false;
    }
}

void TsBitBtn::WndProc(TMessage& m) {
    TsCommonData* d = SkinData();
    if (m.Msg == win::WM_KILLFOCUS && ComponentState().Contains(vcl::csDestroying)) return;
    if (m.Msg == SM_ALPHACMD) {
        const uint16_t code = SkinCommandCode(m.WParam);
        const bool own = IsOwnSkinChange(m, d);
        if (AnswerCommonCommands(m)) return;
        switch (code) {
            case SKC_STOPFADE:
                StopFade();
                return;
            case SKC_CLEARCACHE:
                PrepareCache();
                break;
            case SKC_PAINTTOBITMAP:
                // The fade copies its frames itself.
                m.Result = 0;
                return;
            case SKC_NEWSKIN:
                if (!own) break;
                regionChanged_ = true;
                StopFade();
                CommonWndProc(m, d);
                return;
            case SKC_REMOVESKIN:
                if (!own || ComponentState().Contains(vcl::csDestroying)) break;
                StopFade();
                CommonWndProc(m, d);
                if (HandleAllocated()) win::SetWindowRgn(Handle(), nullptr, win::TRUE);
                Repaint();
                return;
            case SKC_REFRESH:
                if (!own) break;
                StopFade();
                CommonWndProc(m, d);
                regionChanged_ = true;
                Repaint();
                return;
            case SKC_ENDPARENTUPDATE:
                if (IsSkinnedNow(this, d) && d->BGChanged) {
                    d->BGChanged = false;
                    Repaint();
                    return;
                }
                break;
            case SKC_SETKEEPCACHE:
                if (IsSkinnedNow(this, d) && d->KeepCache) PrepareCache();
                break;
            default:
                break;
        }
    }
    if (EndsPressWithoutRelease(m)) pressed_ = false;
    const bool skinned = IsSkinnedNow(this, d) && IsControlSkinned(d, true);
    if (!skinned) {
        const bool live = Enabled() && !ComponentState().Contains(vcl::csDesigning);
        if (m.Msg == vcl::CM_MOUSEENTER && m.LParam == 0 && live) {
            d->MouseAbove = true;
            OnMouseEnter(this);
        } else if (m.Msg == vcl::CM_MOUSELEAVE && m.LParam == 0 && live) {
            d->MouseAbove = false;
            OnMouseLeave(this);
        } else if (m.Msg == win::WM_LBUTTONDOWN && live) {
            pressed_ = true;
            SuspendHints();
        } else if (m.Msg == win::WM_LBUTTONUP) {
            pressed_ = false;
            RestoreHints();
        } else if (m.Msg == SM_ALPHACMD) {
            if (CommonWndProc(m, d)) return;
        }
        TBitBtn::WndProc(m);
        return;
    }
    if (SkinnedWndProc(m)) return;
    if (CommonWndProc(m, d)) return;
    TBitBtn::WndProc(m);
    const bool shown = Visible() || ComponentState().Contains(vcl::csDesigning);
    switch (m.Msg) {
        case vcl::CM_ENABLEDCHANGED:
            if (shown && !ComponentState().Contains(vcl::csDestroying)) {
                d->BGChanged = false;
                d->Invalidate();
            }
            break;
        case vcl::CM_VISIBLECHANGED:
            if (Visible() && !ComponentState().Contains(vcl::csDestroying)) {
                d->CacheStale = true;
                d->BGChanged = false;
                Repaint();
            }
            break;
        case win::WM_SETFONT:
            if (shown) {
                d->BGChanged = false;
                d->Invalidate();
            }
            break;
        case vcl::CM_CANCELMODE:
            HideGlowOf(d);
            break;
        default:
            break;
    }
}

void TsBitBtn::DrawItem(const win::DRAWITEMSTRUCT& item) {
    // A glyph of an image list, or one with an alpha channel, is drawn by the skin's painter
    // even without a skin; any other the class library draws.
    const bool alphaGlyph = !Glyph()->Empty() && Glyph()->PixelFormat() == vcl::pf32bit;
    if (!ImageUsable() && !alphaGlyph) {
        TBitBtn::DrawItem(item);
        return;
    }
    win::HDC dc = item.hDC;
    const bool pushed = (item.itemState & win::ODS_SELECTED) || down_;
    const bool focused = (item.itemState & win::ODS_FOCUS) != 0;
    const bool enabled = !(item.itemState & win::ODS_DISABLED);
    const int saved = win::SaveDC(dc);
    // The classic face every push button of the program wears; a disabled face looks the
    // same, the glyph and caption show it.
    win::DrawPushFace(dc, item.rcItem, Active() || focused, pushed);
    const std::string caption = showCaption_ ? Caption() : std::string();
    const TsButtonLayout l = PlaceGlyphAndCaption(dc, {Width(), Height()}, GlyphSize(), caption,
                                                  WordWrap(), pushed, false);
    DrawGlyphAt(dc, l.glyph);
    win::SelectObject(dc, Font()->Handle());
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

int TsSpeedButton::CurrentState() const {
    if (State() == vcl::bsDown || State() == vcl::bsExclusive) return 2;
    return ControlIsActive(SkinData()) ? 1 : 0;
}

void TsSpeedButton::Notification(TComponent* component, vcl::TOperation operation) {
    TsGlyphSkinned::Notification(component, operation);
    if (operation == vcl::opRemove && component == dropdownMenu_) dropdownMenu_ = nullptr;
}

TsButtonLayout TsSpeedButton::ButtonLayout() {
    return PlaceGlyphAndCaption(SkinData()->CacheBmp()->Canvas()->Handle(),
                                {Width() - DropDownArrowWidth(), Height()}, GlyphSize(), text_,
                                true, CurrentState() == 2, Reflected());
}

void TsSpeedButton::PaintCaption(const TRect& r, int state) {
    if (text_.empty()) return;
    TCanvas* canvas = SkinData()->CacheBmp()->Canvas();
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(vcl::bsClear);
    DrawSkinText(canvas, text_, true, state, SkinData(),
                 AlignmentFlags(TextAlignment()) | win::DT_WORDBREAK | win::DT_EXPANDTABS, r);
}

void TsSpeedButton::PrepareCache() {
    TsCommonData* d = SkinData();
    d->InitCacheBmp();
    TBitmap* cache = d->CacheBmp();
    const int w = Width(), h = Height();
    if (w < 1 || h < 1) {
        d->CacheStale = false;
        return;
    }
    CacheInfo parent;
    PixelView view;
    GetParentBGInfo(d, parent, view);
    const TPoint at{Left(), Top()};
    TsSkinManager* mgr = d->GetSkinManager();
    const int state = CurrentState();
    if (buttonStyle_ == tbsSeparator || buttonStyle_ == tbsDivider) {
        // The parent's background with the divider's frame in the middle.
        CopyParentBackground(this, parent, cache, h);
        const int divider = mgr ? mgr->GetSkinIndex("DIVIDER") : -1;
        const int mask = mgr && mgr->IsValidSkinIndex(divider)
                             ? mgr->Skin().Sections[size_t(divider)].BordersMask
                             : -1;
        if (mgr && mgr->Skin().IsValidImgIndex(mask)) {
            const win::SIZE sz = mgr->GetMaskStateSize(mask);
            const TRect r = vcl::Bounds((w - sz.cx) / 2, (h - sz.cy) / 2, sz.cx, sz.cy);
            PaintMaskIntoRect(cache, r, false, parent, mgr->Masks()[size_t(mask)], 0, true);
        }
    } else {
        const int arrow = DropDownArrowWidth();
        const TRect face(0, 0, w - arrow, h);
        auto paintPart = [&](const TRect& r, int partState) {
            if (DrawOverBorder())
                PaintControlSection(d, parent, true, partState, r, at, cache, 1);
            else
                PaintControlBackground(d, parent, partState, r, at, cache);
        };
        paintPart(face, state);
        const TsButtonLayout l = ButtonLayout();
        PaintCaption(l.caption, state);
        DrawButtonGlyph(this, nullptr);
        if (!DrawOverBorder() && mgr && mgr->Skin().IsValidImgIndex(d->BorderIndex))
            PaintMaskIntoRect(cache, face, false, parent, mgr->Masks()[size_t(d->BorderIndex)],
                              state, true);
        if (arrow > 0) {
            const int arrowState = droppedDown_ || state == 2 ? 2 : state;
            const TRect part(w - arrow, 0, w, h);
            paintPart(part, arrowState);
            const int glyph = mgr ? mgr->ConstData().ComboGlyph : -1;
            if (mgr && mgr->Skin().IsValidImgIndex(glyph)) {
                const TsMaskData& mask = mgr->Masks()[size_t(glyph)];
                const win::SIZE sz = mgr->GetMaskStateSize(glyph);
                WithCacheAsBackground(cache, [&](const CacheInfo& self) {
                    BlendMaskRegion(cache, {part.Left + (arrow - sz.cx) / 2, (h - sz.cy) / 2},
                                    std::min(arrowState, std::max(1, int(mask.ImageCount)) - 1),
                                    1, mask, self);
                });
            }
        }
    }
    if (!Enabled()) BlendDisabledCache(this, d, DisabledKind());
    OnPaint(this, cache);
    d->CacheStale = false;
}

void TsSpeedButton::Redraw() {
    const auto s = ComponentState();
    if (ControlState.Contains(vcl::csCreating) || s.Contains(vcl::csDestroying) ||
        s.Contains(vcl::csLoading) || !Parent() || !Parent()->HandleAllocated() || !Visible())
        return;
    TsCommonData* d = SkinData();
    if (!IsControlSkinned(d) || s.Contains(vcl::csDesigning)) {
        Repaint();
        return;
    }
    ShowPicture(true);
}

void TsSpeedButton::ShowPicture(bool alone) {
    TsCommonData* d = SkinData();
    if (d->CacheStale) PrepareCache();
    TBitmap* picture = fade_ && fade_->Running() && fade_->Frame() ? fade_->Frame()
                                                                    : d->CacheBmp();
    if (!picture) return;
    win::HDC dc = Canvas()->Handle();
    win::BitBlt(dc, 0, 0, Width(), Height(), picture->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    if (alone) PaintSiblings(dc);
    Canvas()->Refresh();
    // Outside the parent's paint the canvas holds a DC of the parent's window: given back at
    // once, the screen takes what was drawn now, not at some later release.
    if (alone)
        if (auto* own = dynamic_cast<vcl::TControlCanvas*>(Canvas())) own->FreeHandle();
}

void TsSpeedButton::PaintSiblings(win::HDC dc) {
    // A sibling that is itself a speed button paints no siblings of its own from here.
    static bool painting = false;
    vcl::TWinControl* parent = Parent();
    if (painting || !parent) return;
    struct Guard {
        Guard() { painting = true; }
        ~Guard() { painting = false; }
    } guard;
    const TRect own = BoundsRect();
    bool above = false;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        vcl::TControl* c = parent->Controls(i);
        if (c == this) {
            above = true;
            continue;
        }
        if (!above || !dynamic_cast<vcl::TGraphicControl*>(c) || !c->Visible() ||
            c->ComponentState().Contains(vcl::csDestroying))
            continue;
        const TRect r = c->BoundsRect();
        if (r.Width() < 1 || r.Height() < 1 || r.Right <= own.Left || r.Left >= own.Right ||
            r.Bottom <= own.Top || r.Top >= own.Bottom)
            continue;
        const int saved = win::SaveDC(dc);
        win::IntersectClipRect(dc, 0, 0, own.Width(), own.Height());
        win::OffsetWindowOrgEx(dc, own.Left - r.Left, own.Top - r.Top, nullptr);
        win::IntersectClipRect(dc, 0, 0, r.Width(), r.Height());
        const bool copy = !c->ControlState.Contains(vcl::csPaintCopy);
        if (copy) c->ControlState.Include(vcl::csPaintCopy);
        try {
            c->Perform(win::WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0);
        } catch (...) {
            if (copy) c->ControlState.Exclude(vcl::csPaintCopy);
            win::RestoreDC(dc, saved);
            throw;
        }
        if (copy) c->ControlState.Exclude(vcl::csPaintCopy);
        win::RestoreDC(dc, saved);
    }
}

void TsSpeedButton::ChangeState(TacAnimatEvent event, bool fast) {
    TsCommonData* d = SkinData();
    WindowServices& w = WindowSlots();
    const TsGeneralData* section = d->Section();
    const bool fades = w.IsAnimEventAllowed(event, AnimatEvents(), d->GetSkinManager()) &&
                       !SkinChanging && IsControlSkinned(d) && section &&
                       section->FadingEnabled && !d->CacheStale;
    d->CacheStale = true;
    if (fades) {
        if (!ComponentState().Contains(vcl::csDesigning)) {
            // Both pictures of the fade show what lies over the button.
            PaintSiblings(d->CacheBmp()->Canvas()->Handle());
            w.StartAnimFade(fade_, d, fast, [this, d] {
                PrepareCache();
                PaintSiblings(d->CacheBmp()->Canvas()->Handle());
                PaintCtrlBorders(d, CurrentState());
            });
        }
    } else {
        w.StopControlFade(fade_);
        Redraw();
    }
    ShowGlowingIfNeeded(d);
}

void TsSpeedButton::WndProc(TMessage& m) {
    TsCommonData* d = SkinData();
    if (m.Msg == SM_ALPHACMD) {
        const bool own = IsOwnSkinChange(m, d);
        if (AnswerCommonCommands(m)) return;
        switch (SkinCommandCode(m.WParam)) {
            case SKC_STOPFADE:
                WindowSlots().StopControlFade(fade_);
                return;
            case SKC_ENDPARENTUPDATE:
                if (d->BGChanged) {
                    d->BGChanged = false;
                    Redraw();
                }
                return;
            case SKC_REPAINTGRAPHIC:
                d->BGChanged = false;
                d->CacheStale = true;
                Redraw();
                return;
            case SKC_NEWSKIN:
                if (!own) break;
                CommonWndProc(m, d);
                if (IsControlSkinned(d)) ControlStyle << vcl::csOpaque;
                return;
            case SKC_REMOVESKIN:
                if (!own) break;
                WindowSlots().StopControlFade(fade_);
                CommonWndProc(m, d);
                if (!ComponentState().Contains(vcl::csDestroying)) ControlStyle >> vcl::csOpaque;
                if (Visible()) Repaint();
                return;
            case SKC_REFRESH:
                if (!own) break;
                CommonWndProc(m, d);
                if (Visible()) Repaint();
                return;
            default:
                break;
        }
    }
    if (m.Msg == win::WM_WINDOWPOSCHANGED) d->CacheStale = true;
    EndsPressWithoutRelease(m);
    const bool live = Enabled() && !ComponentState().Contains(vcl::csDesigning);
    const bool skinned = IsSkinnedNow(this, d);
    if (m.Msg == vcl::CM_MOUSEENTER && m.LParam == 0 && live) {
        const bool was = d->MouseAbove;
        OnMouseEnter(this);
        CommonWndProc(m, d);
        if (!was) {
            if (skinned)
                ChangeState(aeMouseEnter, false);
            else
                LookChanged();
        }
    } else if (m.Msg == vcl::CM_MOUSELEAVE && m.LParam == 0 && Enabled()) {
        if (d->MouseAbove) {
            OnMouseLeave(this);
            CommonWndProc(m, d);
            // A press that is not held down by a group comes up when the mouse goes.
            if (state_ == vcl::bsDown && !Down()) state_ = vcl::bsUp;
            if (skinned && Visible())
                ChangeState(aeMouseLeave, false);
            else
                LookChanged();
        }
    } else {
        CommonWndProc(m, d);
        if (skinned && m.Msg == vcl::CM_TEXTCHANGED && showCaption_) {
            TSpeedButton::WndProc(m);
            d->CacheStale = true;
            Redraw();
            return;
        }
    }
    TSpeedButton::WndProc(m);
}

void TsSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    SuspendHints();
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
    RestoreHints();
    win::POINT cursor;
    win::GetCursorPos(&cursor);
    const TPoint local = ScreenToClient(cursor);
    if (!ClientRect().Contains(local)) Perform(vcl::CM_MOUSELEAVE);
    if (setDown) state_ = Down() ? vcl::bsExclusive : vcl::bsUp;
    LookChanged();
}

void TsSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    RestoreHints();
    if (buttonStyle_ == tbsDropDown) droppedDown_ = false;
    TSpeedButton::MouseUp(button, shift, x, y);
}

void TsSpeedButton::Paint() {
    if (IsSkinnedNow(this, SkinData()) && !ComponentState().Contains(vcl::csDesigning)) {
        TsCommonData* d = SkinData();
        if (d->GetBGChanged()) return;
        // In the parent's paint the controls over the button paint after it by themselves.
        ShowPicture(false);
        return;
    }
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
    const TPoint glyph = ownGlyph ? GlyphSize() : TPoint{0, 0};
    const TsButtonLayout l =
        PlaceGlyphAndCaption(dc, size, glyph, caption, true, pushed, Reflected());
    if (ownGlyph) DrawGlyphAt(dc, l.glyph);
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
    } catch (...) {
        // A failing step would fail again every 100 ms: the repeat stops and the error is
        // shown once.
        timer_->SetEnabled(false);
        if (vcl::TApplication* app = vcl::Application())
            app->HandleException(this, std::current_exception());
    }
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
