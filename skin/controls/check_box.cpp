#include "skin/controls/check_box.h"

#include <algorithm>

#include "platform/user/dialog_manager.h"
#include "platform/user/painting.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"
#include "skin/controls/button_glyphs.h"
#include "skin/controls/control_frame.h"
#include "skin/controls/text_size.h"
#include "skin/core/paint/alpha_image_list.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "vcl/controls/forms.h"

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

TsCheckBox::~TsCheckBox() {
    WindowSlots().StopControlFade(fade_);
}

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
    const std::string caption = Caption();
    const TPoint text = TextSizeOf(Font(), caption);
    if (!IsControlSkinned(skinData_.get())) {
        SetBounds(Left(), Top(), text.X + 20, std::max(text.Y + 4, 20));
        return;
    }
    const TPoint glyph = GlyphSize();
    const bool has = !caption.empty();
    SetBounds(Left(), Top(), glyph.X + 2 * margin_ + (has ? text.X + textIndent_ + 8 : 0),
              std::max(glyph.Y, (has ? text.Y : 0) + 2 * margin_) + 2);
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
    margin = ClampInset(margin);
    if (margin == margin_) return;
    margin_ = margin;
    GlyphChanged();
}

void TsCheckBox::SetTextIndent(int indent) {
    indent = ClampInset(indent);
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

void TsCheckBox::SetState(TCheckBoxState state) {
    if (state == State()) return;
    // A form that loads sets the state too: it is kept, only the repaint waits.
    skinData_->CacheStale = true;
    TCustomCheckBox::SetState(state);
    if (!ComponentState().Contains(csLoading) && IsSkinnedNow(this, skinData_.get()))
        Perform(CM_CHANGED, 0, reinterpret_cast<intptr_t>(this));
}

void TsCheckBox::Notification(TComponent* component, TOperation operation) {
    TCustomCheckBox::Notification(component, operation);
    if (operation == opRemove && component == images_) images_ = nullptr;
}

void TsCheckBox::ButtonClicked() {
    if (!readOnly_) TCustomCheckBox::ButtonClicked();
}

// --- skinned painting ---

int TsCheckBox::CurrentState() const {
    if (pressed_) return 2;
    return ControlIsActive(skinData_.get()) && !readOnly_ ? 1 : 0;
}

bool TsCheckBox::UsesImages() const {
    return images_ && imgChecked_ >= 0 && imgUnchecked_ >= 0;
}

// The skin's box of `which` (0 checked, 1 unchecked, 2 grey), or null.
const TsMaskData* TsCheckBox::SkinGlyph(int which) const {
    TsSkinManager* m = skinData_->GetSkinManager();
    if (!m || !m->SkinData().Active) return nullptr;
    const int index = m->ConstData().CheckBoxes[which];
    return m->Skin().IsValidImgIndex(index) ? &m->Masks()[size_t(index)] : nullptr;
}

TPoint TsCheckBox::GlyphSize() const {
    if (UsesImages()) {
        const int w = images_->Width(), h = images_->Height();
        return {h > 0 && w % h == 0 ? h : w, h};
    }
    TBitmap* own = Checked() ? glyphChecked_.get() : glyphUnChecked_.get();
    if (!own->Empty()) {
        const int w = own->Width(), h = own->Height();
        return {h > 0 && w >= h && w % h == 0 ? w / (w / h) : w, h};
    }
    if (const TsMaskData* box = SkinGlyph(0)) {
        if (box->Bmp) return {box->Bmp->Width() / 3, box->Bmp->Height() / 2};
        return {SkinFrameWidth(*box), SkinFrameHeight(*box)};
    }
    return {16, 16};
}

bool TsCheckBox::CaptionRight() const {
    return Alignment() == taRightJustify;
}

TRect TsCheckBox::GlyphRect() const {
    const TPoint g = GlyphSize();
    const int top = (Height() - g.Y) / 2;
    const int left = CaptionRight() ? margin_ : Width() - margin_ - g.X;
    return Bounds(left, top, g.X, g.Y);
}

void TsCheckBox::PaintCaption(int state) {
    const std::string caption = Caption();
    if (caption.empty()) return;
    TCanvas* canvas = skinData_->CacheBmp()->Canvas();
    const int a = Width() - (GlyphSize().X + textIndent_ + 2 * margin_ + 2);
    win::RECT calc{0, 0, std::max(a, 0), 0};
    const uint32_t wrap = wordWrap_ ? win::DT_WORDBREAK : win::DT_SINGLELINE;
    win::SelectObject(canvas->Handle(), Font()->Handle());
    win::DrawText(canvas->Handle(), caption.c_str(), int(caption.size()), &calc,
                  win::DT_CALCRECT | wrap);
    const int w = calc.right - calc.left, h = calc.bottom - calc.top;
    const int top = std::max((Height() - h) / 2, margin_);
    TRect r = CaptionRight() ? Bounds(Width() - a - margin_ + 2, top, w, h)
                             : TRect(margin_, top, margin_ + a, top + h);
    r = wordWrap_ ? TRect(r.Left - 1, r.Top - 1, r.Right - 1, r.Bottom - 1)
                  : TRect(r.Left, r.Top - 1, r.Right, r.Bottom - 1);
    DrawSkinText(canvas, caption, true, state == 2 ? 1 : state, skinData_.get(),
                 wordWrap_ ? win::DT_WORDBREAK | win::DT_CENTER : win::DT_SINGLELINE, r);
    if (HandleAllocated() && win::GetFocus() == Handle() && showFocus_) {
        if (!wordWrap_) r.Bottom -= 1;
        r.Top += 1;
        DrawDottedFocusRect(canvas->Handle(),
                            TRect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1));
    }
}

void TsCheckBox::PaintGlyph(int state) {
    TBitmap* cache = skinData_->CacheBmp();
    const TRect g = GlyphRect();
    // A strip of square frames: the state's frame, by its alpha.
    auto drawStrip = [&](TBitmap* strip) {
        const int w = strip->Width(), h = strip->Height();
        if (h < 1) return;
        const int frames = w >= h && w % h == 0 ? w / h : 1;
        const int fw = w / frames;
        const int f = std::clamp(state, 0, frames - 1);
        std::unique_ptr<TBitmap, FreeDeleter> copy(new TBitmap);
        copy->Assign(strip);
        if (copy->PixelFormat() != pf32bit) {
            copy->SetPixelFormat(pf32bit);
            SetAlphaFromCorner(copy.get());
        }
        DrawAlphaBitmapOverBg(TRect(g.Left, g.Top, g.Left + fw, g.Top + h),
                              TRect(f * fw, 0, f * fw + fw, h), ViewOf(cache), ViewOf(copy.get()),
                              EmptyCacheInfo, false);
    };
    if (UsesImages()) {
        const int index = Checked() ? imgChecked_ : imgUnchecked_;
        if (index >= ImageListCount(images_)) return;
        const int w = images_->Width(), h = images_->Height();
        if (h > 0 && w > h && w % h == 0) {
            std::unique_ptr<TBitmap, FreeDeleter> strip(NewBitmap32(w, h));
            auto* alpha = dynamic_cast<TsAlphaImageList*>(images_);
            if (alpha ? alpha->GetBitmap32(index, strip.get())
                      : images_->GetBitmap(index, strip.get()))
                drawStrip(strip.get());
        } else {
            images_->Draw(cache->Canvas(), g.Left, g.Top, index, true);
        }
        return;
    }
    TBitmap* own = Checked() ? glyphChecked_.get() : glyphUnChecked_.get();
    if (!own->Empty()) {
        drawStrip(own);
        return;
    }
    const int which = State() == cbChecked ? 0 : State() == cbGrayed ? 2 : 1;
    if (const TsMaskData* box = SkinGlyph(which)) {
        WithCacheAsBackground(cache, [&](const CacheInfo& self) {
            BlendMaskRegion(cache, g.TopLeft(), state, 1, *box, self);
        });
    }
}

void TsCheckBox::PrepareCache() {
    TsCommonData* d = skinData_.get();
    const int state = CurrentState();
    d->InitCacheBmp();
    d->CacheBmp()->Canvas()->SetFont(Font());
    PaintSectionIntoCache(this, d, state == 0 ? 0 : 1, true);
    if (Width() > 0 && Height() > 0) {
        PaintCaption(state);
        PaintGlyph(state);
        if (!Enabled()) BlendDisabledCache(this, d, disabledKind_);
    }
    d->CacheStale = false;
}

void TsCheckBox::PaintToDC(win::HDC dc, bool clientDC) {
    TsCommonData* d = skinData_.get();
    win::PAINTSTRUCT ps{};
    const bool own = !dc;
    if (own) dc = win::BeginPaint(Handle(), &ps);
    if (!d->GetBGChanged() && !(fade_ && fade_->Running())) {
        // Everything the picture is built from is in the key; the skin, the background and
        // the bounds mark the cache stale themselves.
        const bool focusShown = HandleAllocated() && win::GetFocus() == Handle() && showFocus_;
        const bool changed =
            look_.Changed(CurrentState(), State(), Enabled(), focusShown, Caption(), margin_,
                          textIndent_, wordWrap_, CaptionRight(), disabledKind_, FontKey(Font()),
                          images_, imgChecked_, imgUnchecked_);
        if (CacheNeedsBuild(this, d, changed)) PrepareCache();
        PaintCtrlBorders(d, CurrentState());
        CopyCacheToDC(this, d, dc, clientDC);
    }
    if (own) win::EndPaint(Handle(), &ps);
}

void TsCheckBox::StopFade() {
    WindowSlots().StopControlFade(fade_);
}

void TsCheckBox::ChangeState(TacAnimatEvent event, bool fast) {
    WindowServices& w = WindowSlots();
    w.ChangeStateAnimated(fade_, skinData_.get(), fast, 1,
                          w.IsAnimEventAllowed(event, animatEvents_,
                                               skinData_->GetSkinManager()));
}

void TsCheckBox::EndPress() {
    if (!pressed_) return;
    pressed_ = false;
    skinData_->CacheStale = true;
    if (IsSkinnedNow(this, skinData_.get())) Repaint();
}

namespace {

void FireKey(TObject* sender, const TKeyEvent& event, TMessage& m) {
    uint16_t key = uint16_t(m.WParam);
    event(sender, key, TShiftState{});
}

}  // namespace

// The skinned keyboard and mouse; true when the message is used up.
bool TsCheckBox::SkinnedInput(TMessage& m) {
    const auto x = int16_t(m.LParam & 0xFFFF), y = int16_t(m.LParam >> 16 & 0xFFFF);
    switch (m.Msg) {
        case win::WM_KEYDOWN:
            if (m.WParam != win::VK_SPACE || !Enabled()) return false;
            if (readOnly_) return true;
            pressed_ = true;
            if (HandleAllocated() && win::GetFocus() != Handle() && CanFocus()) SetFocus();
            skinData_->CacheStale = true;
            Repaint();
            FireKey(this, OnKeyDown, m);
            return true;
        case win::WM_KEYUP:
            if (!Enabled()) return false;
            if (readOnly_) return true;
            if (m.WParam == win::VK_SPACE && pressed_) {
                pressed_ = false;
                Toggle();
            }
            FireKey(this, OnKeyUp, m);
            return true;
        case win::WM_LBUTTONDOWN:
        case win::WM_LBUTTONDBLCLK:
            if (!Enabled()) return false;
            if (readOnly_) return true;
            pressed_ = true;
            ChangeState(aeMouseDown, true);
            if (HandleAllocated() && win::GetFocus() != Handle() && CanFocus()) SetFocus();
            if (HandleAllocated()) win::SetCapture(Handle());
            if (m.Msg == win::WM_LBUTTONDBLCLK)
                OnDblClick(this);
            else
                OnMouseDown(this, mbLeft, {}, x, y);
            return true;
        case win::WM_LBUTTONUP:
            if (!Enabled()) return false;
            if (readOnly_) return true;
            if (HandleAllocated() && win::GetCapture() == Handle()) {
                // Toggling is the press's, not the capture's end.
                const bool was = pressed_;
                pressed_ = false;
                win::ReleaseCapture();
                pressed_ = was;
            }
            if (pressed_ && x >= 0 && y >= 0 && x < Width() && y < Height()) {
                pressed_ = false;
                Toggle();
            } else {
                // Released elsewhere: the box shows its present state again.
                EndPress();
            }
            OnMouseUp(this, mbLeft, {}, x, y);
            return true;
        default:
            return false;
    }
}

void TsCheckBox::WndProc(TMessage& m) {
    TsCommonData* d = skinData_.get();
    if (m.Msg == SM_ALPHACMD) {
        const bool own = IsOwnSkinChange(m, d);
        if (AnswerCommonCommands(m)) return;
        switch (SkinCommandCode(m.WParam)) {
            case SKC_STOPFADE:
                StopFade();
                return;
            case SKC_CLEARCACHE:
                if (IsSkinnedNow(this, d)) PrepareCache();
                break;
            case SKC_NEWSKIN:
                if (!own) break;
                StopFade();
                CommonWndProc(m, d);
                return;
            case SKC_REMOVESKIN:
                if (!own) break;
                StopFade();
                CommonWndProc(m, d);
                if (HandleAllocated())
                    win::SendMessageA(Handle(), win::BM_SETCHECK, win::WPARAM(State()), 0);
                AdjustSize();
                Repaint();
                return;
            case SKC_REFRESH:
                if (!own) break;
                StopFade();
                CommonWndProc(m, d);
                AdjustSize();
                Repaint();
                return;
            default:
                break;
        }
    }
    // A press ends without toggling whenever it is not released on the box.
    switch (m.Msg) {
        case win::WM_KILLFOCUS:
        case CM_EXIT:
        case CM_CANCELMODE:
            EndPress();
            break;
        case win::WM_CAPTURECHANGED:
            if (m.LParam != 0 || !HandleAllocated() || win::GetCapture() != Handle()) EndPress();
            break;
        default:
            break;
    }
    const bool skinned = IsControlSkinned(d) && !ComponentState().Contains(csDesigning);
    if (skinned) {
        switch (m.Msg) {
            case CM_MOUSEENTER:
                if (m.LParam == 0 && Enabled() && !d->MouseAbove) {
                    OnMouseEnter(this);
                    d->MouseAbove = true;
                    ChangeState(aeMouseEnter, false);
                }
                break;
            case CM_MOUSELEAVE:
                if (m.LParam == 0 && Enabled()) {
                    OnMouseLeave(this);
                    d->MouseAbove = false;
                    pressed_ = false;
                    ChangeState(aeMouseLeave, false);
                }
                break;
            case win::WM_SETFOCUS:
            case CM_ENTER:
                if (!Enabled()) return;
                TCustomCheckBox::WndProc(m);
                CommonWndProc(m, d);
                d->CacheStale = true;
                if (fade_)
                    fade_->DrawFrame();
                else if (HandleAllocated())
                    Repaint();
                return;
            case win::WM_KILLFOCUS:
            case CM_EXIT:
                if (!Enabled()) break;
                StopFade();
                if (HandleAllocated()) win::SendMessageA(Handle(), win::WM_SETREDRAW, 0, 0);
                TCustomCheckBox::WndProc(m);
                if (HandleAllocated()) win::SendMessageA(Handle(), win::WM_SETREDRAW, 1, 0);
                d->Focused = d->MouseAbove = false;
                d->Invalidate();
                return;
            default:
                break;
        }
    }
    if (!IsControlReadyToPaint(this) || !IsControlSkinned(d)) {
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
        if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
            CommonWndProc(m, d);
            TellMouse(m, this, OnMouseEnter, OnMouseLeave);
        }
        TCustomCheckBox::WndProc(m);
        if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) AdjustSize();
        return;
    }
    if (m.Msg != CM_MOUSEENTER && m.Msg != CM_MOUSELEAVE) CommonWndProc(m, d);
    if (SkinnedInput(m)) return;
    switch (m.Msg) {
        case SM_ALPHACMD:
            if (SkinCommandCode(m.WParam) == SKC_ENDPARENTUPDATE && (d->BGChanged || d->HalfVisible)) {
                d->BGChanged = false;
                Repaint();
            }
            break;
        case win::WM_UPDATEUISTATE:
        case win::WM_NCPAINT:
        case win::WM_ENABLE:
            return;
        case win::WM_PAINT:
            PaintToDC(reinterpret_cast<win::HDC>(m.WParam), true);
            return;
        case win::WM_PRINT:
            d->BGChanged = false;
            PaintToDC(reinterpret_cast<win::HDC>(m.WParam), false);
            return;
        case win::WM_ERASEBKGND:
            m.Result = 1;
            return;
        case win::BM_SETCHECK:
            if (fade_ && fade_->Running()) StopFade();
            return;
        case CM_ENABLEDCHANGED:
            TCustomCheckBox::WndProc(m);
            Repaint();
            return;
        case CM_TEXTCHANGED:
            TCustomCheckBox::WndProc(m);
            AdjustSize();
            Repaint();
            return;
        case CM_CHANGED:
            ChangeState(aeMouseUp, true);
            break;
        default:
            break;
    }
    TCustomCheckBox::WndProc(m);
    if (m.Msg == CM_FONTCHANGED) AdjustSize();
}

}  // namespace skin
