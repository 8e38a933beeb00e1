// The caption's buttons: layout, states, repaint and their fading animation.
//
// States of one element (TsCaptionButton::State):
//   -1 hidden       -> 0 normal    PaintTitleButtons lays it out
//    0 normal       -> 1 hot       SetHotHT
//    1 hot          -> 2 pressed   PressHT (a disabled maximise or user button stays)
//    any shown      -> 0           SetHotHT of another element, the pending restore, or EndHover
// Animation of one element (TacSBAnimation, made on first use, owned by the provider):
//   idle (Target 0) -> fading in (Target 1 or 2, Forward)       AnimateTitleButton, StartAnimation
//   fading in       -> shown (StepCount -1, level 255)          TimerStep
//   any             -> fading out (Forward false)               AnimateTitleButton(state 0)
//   fading out      -> finished (Target -1, glow window freed)  TimerStep at step 0
//
// Rules:
//  1. While an element has an animation the cache shows its normal image; the hot and pressed
//     looks live in the animation's layered window.
//  2. A button left pressed by a release outside it is put back to normal by the next SetHotHT
//     or PressHT, before anything else.
//  3. A step count below 1 counts as 1, so a level is never divided by zero.
//  4. Pressing a maximise button that may neither maximise nor restore presses nothing.
//  5. After EndHover (the form hidden, minimised or restored) a hit test at the point the
//     pointer had then lights no element, until one elsewhere or a press: the program saw the
//     pointer there before the change, and it may be anywhere on the desktop by now.
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/frame_paint.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/provider/system_menu.h"

namespace skin {

using namespace vcl;

namespace {

constexpr uint32_t kAnimationInterval = 12;  // ms per step
constexpr int kAnimationSteps = 10;
constexpr int kUserButtonsGap = 8;
constexpr uint32_t WM_MOUSELEAVE_MSG = 0x2A3;
constexpr uint32_t kGlowZOrderFlags = 0x613;
constexpr uint32_t kHintZOrderFlags = 531;

void OffsetBy(TRect& r, int dx, int dy) {
    r = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

bool IsSystemHit(int hit) {
    return hit == win::HTMINBUTTON || hit == win::HTMAXBUTTON || hit == win::HTCLOSE ||
           hit == win::HTHELP;
}
bool HasGlowMargin(int hit) {
    return hit == win::HTMINBUTTON || hit == win::HTMAXBUTTON || hit == win::HTCLOSE;
}

// The glow picture of an element's mask ("BICONCLOSE" -> "BICONCLOSEGLOW0"), or -1.
int GlowMaskOf(TsSkinManager* sm, int elementMask) {
    if (!sm || !sm->IsValidImgIndex(elementMask)) return -1;
    const int glow = sm->GetMaskIndexByNames(
        "GLOBALINFO", sm->Masks()[size_t(elementMask)].PropertyName + "GLOW0");
    return sm->IsValidImgIndex(glow) ? glow : -1;
}

// The skin's glow switch and margin of a system button (none for help and the others).
struct GlowValues {
    int On = 0, Margin = 0;
};
GlowValues GlowOf(const TsSkinData& gd, int hit) {
    switch (hit) {
        case win::HTMINBUTTON:
            return {gd.BIMinGlow, gd.BIMinGlowMargin};
        case win::HTMAXBUTTON:
            return {gd.BIMaxGlow, gd.BIMaxGlowMargin};
        case win::HTCLOSE:
            return {gd.BICloseGlow, gd.BICloseGlowMargin};
        default:
            return {};
    }
}

// A "BICONNORM" of GLOBALINFO, else of the form's own section.
int RestoreMask(TsSkinManager* sm, const TsCommonData* d, const char* name = "BICONNORM") {
    int m = sm->GetMaskIndexByNames("GLOBALINFO", name);
    if (!sm->IsValidImgIndex(m)) m = sm->GetMaskIndex(d->SkinIndex, d->SkinSection(), "BICONNORM");
    return sm->IsValidImgIndex(m) ? m : -1;
}

// Draws a user button's glyph centred on `r` of the target: a 32-bit one by its alpha, any
// other keyed on its bottom-left pixel.
void DrawGlyphCentred(TBitmap* target, TBitmap* glyph, const TRect& r, bool pressed) {
    if (!target || !glyph || glyph->Empty()) return;
    const int x = r.Left + (r.Width() - glyph->Width()) / 2 + (pressed ? 1 : 0);
    const int y = r.Top + (r.Height() - glyph->Height()) / 2 + (pressed ? 1 : 0);
    const PixelView dst = ViewOf(target);
    if (glyph->PixelFormat() == pf32bit) {
        const PixelView src = ViewOf(glyph);
        DrawAlphaBitmapOverBg({x, y, x + src.Width, y + src.Height}, {0, 0, src.Width, src.Height},
                              dst, src, EmptyCacheInfo, false);
        return;
    }
    glyph->SetPixelFormat(pf24bit);
    const PixelView src = ViewOf(glyph);
    const uint8_t* key = src.At(0, src.Height - 1);
    CopyBitmapTransparent(dst, src, x, y, RGB(key[2], key[1], key[0]));
}

}  // namespace

// The size of one state image: an own picture is divided by its counts, a cut one by the
// master's rectangle.
win::SIZE CaptionButtonImageSize(const TsMaskData& m) {
    if (m.Bmp) {
        const int count = std::max<int>(m.ImageCount, 1), rows = std::max<int>(m.MaskType, 0) + 1;
        return {m.Bmp->Width() / count, m.Bmp->Height() / rows};
    }
    return {SkinFrameWidth(m), SkinFrameHeight(m)};
}

TsCaptionButton* SystemButtonOf(int hitCode, TsCaptionButton& min, TsCaptionButton& max,
                                TsCaptionButton& close, TsCaptionButton& help) {
    switch (hitCode) {
        case win::HTMINBUTTON:
            return &min;
        case win::HTMAXBUTTON:
            return &max;
        case win::HTCLOSE:
            return &close;
        case win::HTHELP:
            return &help;
        default:
            return nullptr;
    }
}

// ---- TsTitleIcon, TsTitleButton, TsTitleButtons ----

TsTitleIcon::TsTitleIcon() : glyph_(std::make_unique<TBitmap>()) {}
TsTitleIcon::~TsTitleIcon() = default;
void TsTitleIcon::SetGlyph(const TBitmap* glyph) {
    glyph_->Assign(glyph);
}

TsTitleButton::TsTitleButton(TCollection* collection)
    : TCollectionItem(collection), Name("TsTitleButton"), glyph_(std::make_unique<TBitmap>()) {
    Data.HitCode = kHitUserButton + Index();
}
TsTitleButton::~TsTitleButton() {
    HideHint();
    FreeAndNil(Data.Timer);
}
void TsTitleButton::Assign(const TPersistent* source) {
    const auto* b = dynamic_cast<const TsTitleButton*>(source);
    if (!b) {
        TCollectionItem::Assign(source);
        return;
    }
    Enabled = b->Enabled;
    SetGlyph(b->Glyph());
    Hint = b->Hint;
    Name = b->Name;
    UseSkinData = b->UseSkinData;
    OnMouseDown = b->OnMouseDown;
    OnMouseUp = b->OnMouseUp;
}
std::string TsTitleButton::DisplayName() const {
    return Name;
}
void TsTitleButton::SetGlyph(const TBitmap* glyph) {
    glyph_->Assign(glyph);
    FreeAndNil(Data.Timer);
}
TsSkinProvider* TsTitleButton::Provider() const {
    auto* buttons = dynamic_cast<TsTitleButtons*>(Collection());
    return buttons ? buttons->Provider() : nullptr;
}
void TsTitleButton::SetVisible(bool on) {
    visible_ = on;
    if (TsSkinProvider* p = Provider()) p->RedrawCaption();
}

void TsTitleButton::ActivateHint() {
    HideHint();
    if (Hint.empty()) return;
    // Owned by the button alone, so the application's end cannot free it behind its back.
    auto* hint = New<THintWindow>(nullptr);
    HintWnd = hint;
    hint->SetColor(clInfoBk);
    TRect r = hint->CalcHintRect(800, Hint);
    win::POINT cursor{};
    win::GetCursorPos(&cursor);
    OffsetBy(r, cursor.x + 8, cursor.y + 16);
    // Kept inside the work area of the form's monitor, on the right and at the bottom.
    win::MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    TsSkinProvider* p = Provider();
    win::HWND owner =
        p && p->Form() && p->Form()->HandleAllocated() ? p->Form()->Handle() : nullptr;
    if (win::GetMonitorInfoA(win::MonitorFromWindow(owner, win::MONITOR_DEFAULTTONEAREST), &mi)) {
        if (r.Right > mi.rcWork.right) OffsetBy(r, mi.rcWork.right - r.Right, 0);
        if (r.Bottom > mi.rcWork.bottom) OffsetBy(r, 0, mi.rcWork.bottom - r.Bottom);
    }
    r.Bottom += 4;
    hint->ActivateHint(r, Hint);
    if (hint->HandleAllocated()) {
        win::SetWindowPos(hint->Handle(), win::HWND_TOPMOST, 0, 0, 0, 0, kHintZOrderFlags);
        win::ShowWindow(hint->Handle(), win::SW_SHOWNOACTIVATE);
    }
}
void TsTitleButton::HideHint() {
    if (HintWnd) FreeAndNil(HintWnd);
}
void TsTitleButton::DoMouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TsTitleButton::DoMouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* provider)
    : TCollection(TCollection::ItemsOf<TsTitleButton>(), provider), provider_(provider) {}
TsTitleButton* TsTitleButtons::GetItem(int index) const {
    return static_cast<TsTitleButton*>(Items(index));
}

// ---- layout and painting ----

TsCaptionButton* TsSkinProvider::ElementOf(int hitCode) {
    if (TsCaptionButton* b = SystemButtonOf(hitCode, ButtonMin, ButtonMax, ButtonClose, ButtonHelp))
        return b;
    switch (hitCode) {
        case kHitMDIClose:
            return &MDIClose;
        case kHitMDIRestore:
            return &MDIMax;
        case kHitMDIMinimize:
            return &MDIMin;
        default:
            break;
    }
    const int index = hitCode - kHitUserButton;
    if (hitCode < kHitUserButton || !titleButtons_ || index >= titleButtons_->Count())
        return nullptr;
    return &titleButtons_->GetItem(index)->Data;
}

const TsCaptionButton* TsSkinProvider::ElementOf(int hitCode) const {
    return const_cast<TsSkinProvider*>(this)->ElementOf(hitCode);
}

TsTitleButton* TsSkinProvider::UserButtonOf(int hitCode) const {
    const int index = hitCode - kHitUserButton;
    if (hitCode < kHitUserButton || !titleButtons_ || index >= titleButtons_->Count())
        return nullptr;
    return titleButtons_->GetItem(index);
}

int TsSkinProvider::ShownMaskOf(int hitCode) const {
    TsSkinManager* sm = SkinManager();
    const TsCaptionButton* e = ElementOf(hitCode);
    if (!sm || !e) return -1;
    const win::HWND h = form_ && form_->HandleAllocated() ? form_->Handle() : nullptr;
    if (hitCode == win::HTMAXBUTTON && h && win::IsZoomed(h))
        return RestoreMask(sm, skinData_.get());
    if (hitCode == win::HTMINBUTTON && h && win::IsIconic(h))
        return RestoreMask(sm, skinData_.get());
    if (hitCode == win::HTMAXBUTTON && h && win::IsIconic(h))
        return sm->GetMaskIndexByNames("GLOBALINFO", "BICONMAX");
    if (hitCode == kHitMDIRestore) {
        const int m = RestoreMask(sm, skinData_.get(), "SICONNORM");
        return m >= 0 ? m : RestoreMask(sm, skinData_.get());
    }
    if (hitCode >= kHitUserButton) return UserButtonMask;
    return e->ImageIndex;
}

bool TsSkinProvider::ElementEnabled(int hitCode) const {
    const win::HWND h = form_ && form_->HandleAllocated() ? form_->Handle() : nullptr;
    switch (hitCode) {
        case win::HTMAXBUTTON:
            if (!SystemMenu) return true;
            return h && win::IsZoomed(h) ? SystemMenu->EnabledRestore() : SystemMenu->EnabledMax();
        case win::HTMINBUTTON:
            if (!SystemMenu) return true;
            return h && win::IsIconic(h) ? SystemMenu->EnabledRestore() : SystemMenu->EnabledMin();
        default:
            if (TsTitleButton* b = UserButtonOf(hitCode)) return b->Enabled;
            return true;
    }
}

int TsSkinProvider::TitleButtonTop(const TsCaptionButton& e, int buttonHeight) const {
    TsSkinManager* sm = SkinManager();
    const TsSkinData& gd = sm->SkinData();
    const win::HWND h = form_->Handle();
    const TRect margins = GetFrameMargins();
    const bool ext = borderForm_ != nullptr;
    const bool zoomed = win::IsZoomed(h);
    const int sysBorder = skin::SysBorderWidth(h, borderForm_, true);
    int top;
    if (!e.LargeGlyph || gd.BIVAlign != 1) {
        top = (SysBorderWidthNoExt(h, borderForm_, true) + CaptionHeight(true) - buttonHeight) / 2 +
              margins.Top;
        if (ext && gd.BorderMode == 1) top += gd.CenterOffset;
        if (ext && zoomed) {
            top -= 2;
            if (gd.TitleHeight != gd.MaxHeight)
                top += (gd.TitleHeight - gd.MaxHeight - gd.CenterOffset) / 2 - 2;
            top += sysBorder / 2;
        }
        if (BorderSingleOrSizeable() && buttonHeight < 16) top += 2;
    } else {
        if (ext)
            top = zoomed && gd.BITop != 0 ? sysBorder + margins.Top : margins.Top + gd.BITop;
        else
            top = margins.Top;
        vcl::TSizeConstraints* c = form_->Constraints();
        if (zoomed && c->MaxWidth() == 0 && c->MaxHeight() == 0) top += sysBorder - 1;
        if (zoomed) {
            if (ext && gd.TitleHeight != gd.MaxHeight) top += gd.TitleHeight - gd.MaxHeight;
            if (ext && gd.BorderMode == 1) top += gd.CenterOffset;
        }
    }
    return top;
}

void TsSkinProvider::PaintSysTitleButton(TsCaptionButton& e, int& right, int mask,
                                         TsTitleButton* user, bool enabled) {
    TsSkinManager* sm = SkinManager();
    TBitmap* cache = skinData_->CacheBmp();
    const int width = user ? UserButtonWidth(*user) : SysButtonWidth(e);
    const int height = SysButtonHeight();
    const int top = TitleButtonTop(e, height);
    e.Rect = {right - width, top, right, top + height};
    if (e.State < 0) e.State = 0;
    if (user && !user->UseSkinData) mask = -1;
    if (sm->IsValidImgIndex(mask) && cache) {
        const bool animated = e.Timer != nullptr;
        const int state = animated ? 0 : std::clamp(e.State, 0, 2);
        const int mode = (!FormActive || !enabled) && (e.State == 0 || animated) ? 2 : 1;
        const PixelView cv = ViewOf(cache);
        BlendMaskRegion(cache, e.Rect.TopLeft(), state, mode, sm->Masks()[size_t(mask)],
                        MakeCacheInfo(&cv, 0, 0));
    }
    if (user) DrawGlyphCentred(cache, user->Glyph(), e.Rect, e.State == 2 && !e.Timer);
}

void TsSkinProvider::PaintTitleButtons() {
    TsSkinManager* sm = SkinManager();
    if (!sm || !form_ || !form_->HandleAllocated() || !skinData_->CacheBmp() || !HasBorder())
        return;
    const TsSkinData& gd = sm->SkinData();
    const win::HWND h = form_->Handle();
    const TRect margins = GetFrameMargins();
    const int spacing = BorderSingleOrSizeable() ? gd.BISpace : 0;
    int right =
        FormWidth() - gd.BIRight - margins.Right - skin::SysBorderWidth(h, borderForm_, true);
    // Elements keep their state across a rebuild; those not laid out again are hidden.
    for (int i = 0; titleButtons_ && i < titleButtons_->Count(); ++i)
        titleButtons_->GetItem(i)->Data.HitCode = kHitUserButton + i;
    std::vector<int> placed;
    bool gap = false;
    for (int code : CaptionButtonCodes()) {
        TsCaptionButton& e = *ElementOf(code);
        TsTitleButton* user = UserButtonOf(code);
        // A close without a picture takes no place.
        if (code == win::HTCLOSE && !sm->IsValidImgIndex(e.ImageIndex)) continue;
        if (user && !gap) {
            right -= kUserButtonsGap;
            gap = true;
        }
        PaintSysTitleButton(e, right, ShownMaskOf(code), user, ElementEnabled(code));
        right = e.Rect.Left - spacing;
        placed.push_back(code);
    }
    for (int code : {win::HTCLOSE, win::HTMAXBUTTON, win::HTMINBUTTON, win::HTHELP})
        if (std::find(placed.begin(), placed.end(), code) == placed.end())
            HideElement(*ElementOf(code));
    for (int i = 0; titleButtons_ && i < titleButtons_->Count(); ++i)
        if (!titleButtons_->GetItem(i)->Visible()) HideElement(titleButtons_->GetItem(i)->Data);
    if (MDIChildButtonsVisible()) PaintMDIChildButtons();
}

// The three buttons of a maximised MDI child, at the right of the last menu row.
void TsSkinProvider::PaintMDIChildButtons() {
    TsSkinManager* sm = SkinManager();
    TBitmap* cache = skinData_->CacheBmp();
    const win::HWND h = form_->Handle();
    const TRect margins = GetFrameMargins();
    const int bw = MDIButtonWidth(), bh = MDIButtonHeight();
    const int top = SysBorderWidthNoExt(h, borderForm_, true) + CaptionHeight(true) + margins.Top +
                    (MenuHeight() - bh) / 2 + (MenuLineCount() - 1) * MenuHeight();
    const int edge = FormWidth() - skin::SysBorderWidth(h, borderForm_, true) - margins.Right;
    TsSystemMenu* childMenu = HotMDIChildProvider ? HotMDIChildProvider->SystemMenu : nullptr;
    const win::HWND child = HotMDIChildProvider && HotMDIChildProvider->Form() &&
                                    HotMDIChildProvider->Form()->HandleAllocated()
                                ? HotMDIChildProvider->Form()->Handle()
                                : nullptr;
    struct Item {
        TsCaptionButton& e;
        int k, mask;
        bool enabled;
    } items[] = {
        {MDIMin, 3, MDIMin.ImageIndex, !childMenu || childMenu->EnabledMin()},
        {MDIMax, 2,
         !child || win::IsZoomed(child) ? ShownMaskOf(kHitMDIRestore) : MDIMax.ImageIndex,
         !childMenu || childMenu->EnabledRestore()},
        {MDIClose, 1, MDIClose.ImageIndex, true},
    };
    const PixelView cv = ViewOf(cache);
    for (Item& i : items) {
        const int left = edge - i.k * (bw + 1);
        i.e.Rect = {left, top, left + bw, top + bh};
        if (i.e.State < 0) i.e.State = 0;
        if (!sm->IsValidImgIndex(i.mask)) continue;
        const int mode = !FormActive || !i.enabled ? 2 : 1;
        BlendMaskRegion(cache, i.e.Rect.TopLeft(), std::clamp(i.e.State, 0, 2), mode,
                        sm->Masks()[size_t(i.mask)], MakeCacheInfo(&cv, 0, 0));
    }
}

void TsSkinProvider::HideElement(TsCaptionButton& e) {
    e.State = -1;
    e.Rect = {};
    FreeAndNil(e.Timer);
}

// ---- states and repaint ----

void TsSkinProvider::RunPendingRestore() {
    const int hit = PendingRestoreHT;
    PendingRestoreHT = 0;
    TsCaptionButton* e = hit ? ElementOf(hit) : nullptr;
    if (!e || e->State < 0) return;
    e->State = 0;
    RepaintButton(hit);
}

void TsSkinProvider::MoveHot(int hitCode, bool repaintOld, bool repaintNew) {
    if (hitCode == HotHitCode) return;
    if (TsCaptionButton* old = ElementOf(HotHitCode); old && old->State >= 0) {
        old->State = 0;
        if (TsTitleButton* b = UserButtonOf(HotHitCode)) b->HideHint();
        if (repaintOld) RepaintButton(HotHitCode);
    }
    HotHitCode = hitCode;
    ButtonPressed = false;
    if (TsCaptionButton* e = ElementOf(hitCode); e && e->State >= 0) {
        e->State = 1;
        if (TsTitleButton* b = UserButtonOf(hitCode)) b->ActivateHint();
        if (repaintNew) RepaintButton(hitCode);
    }
}

void TsSkinProvider::SetHotHT(int hitCode, bool repaint) {
    RunPendingRestore();
    MoveHot(hitCode, repaint, repaint);
}

bool TsSkinProvider::HoverHeld(const TPoint& screen) {
    if (HoverEndedAt && (screen.X != HoverEndedAt->x || screen.Y != HoverEndedAt->y))
        HoverEndedAt.reset();
    return HoverEndedAt.has_value();
}

void TsSkinProvider::EndHover() {
    SetHotHT(0);
    ButtonPressed = false;
    win::POINT p{};
    win::GetCursorPos(&p);
    HoverEndedAt = p;
}

void TsSkinProvider::PressHT(int hitCode) {
    HoverEndedAt.reset();  // a press is the pointer's own word
    RunPendingRestore();
    MoveHot(hitCode, true, false);
    TsCaptionButton* e = ElementOf(hitCode);
    if (!e || e->State < 0) return;
    bool allowed = true;
    const win::HWND h = form_ && form_->HandleAllocated() ? form_->Handle() : nullptr;
    if (hitCode == win::HTMAXBUTTON && SystemMenu)
        allowed =
            SystemMenu->EnabledMax() || (h && win::IsZoomed(h) && SystemMenu->EnabledRestore());
    else if (hitCode == kHitMDIRestore && SystemMenu)
        allowed = SystemMenu->EnabledMax();
    else if (TsTitleButton* b = UserButtonOf(hitCode)) {
        b->HideHint();
        allowed = b->Enabled;
    }
    if (!allowed) {
        e->State = 0;
        HotHitCode = 0;
        return;
    }
    e->State = 2;
    ButtonPressed = true;
    RepaintButton(hitCode);
}

void TsSkinProvider::RepaintButton(int hitCode) {
    TsSkinManager* sm = SkinManager();
    TsCaptionButton* e = ElementOf(hitCode);
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    if (!sm || !e || !cache || !form_ || !form_->HandleAllocated()) return;
    const bool animatable = IsSystemHit(hitCode) || hitCode >= kHitUserButton;
    if (animatable && (sm->AllowGlowing() || borderForm_)) {
        switch (e->State) {
            case 1:
                AnimateTitleButton(e, 1, kAnimationSteps, nullptr, this, true);
                break;
            case 2:
                AnimateTitleButton(e, 2, 1, nullptr, this, true);
                break;
            case 0:
                AnimateTitleButton(e, 0, kAnimationSteps, nullptr, this, false);
                break;
            default:
                break;
        }
        return;
    }
    if (e->State < 0 || e->State > 2) return;
    const win::HWND h = form_->Handle();
    const TRect& r = e->Rect;
    // The caption under the element, from the strip saved before the buttons were painted.
    if (ButtonsAreaBmp && !ButtonsAreaBmp->Empty()) {
        const int x0 = FormWidth() - ButtonsAreaBmp->Width() - 1;
        BlitClipped(cache->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(),
                    ButtonsAreaBmp.get(), r.Left - x0, r.Top);
    }
    int mask = ShownMaskOf(hitCode);
    const bool enabled = ElementEnabled(hitCode);
    TsTitleButton* user = UserButtonOf(hitCode);
    if (user && !user->UseSkinData) mask = -1;
    if (sm->IsValidImgIndex(mask)) {
        const int mode = (!FormActive || !enabled) && e->State == 0 ? 2 : 1;
        const PixelView cv = ViewOf(cache);
        BlendMaskRegion(cache, r.TopLeft(), e->State, mode, sm->Masks()[size_t(mask)],
                        MakeCacheInfo(&cv, 0, 0));
    }
    if (user) DrawGlyphCentred(cache, user->Glyph(), r, e->State == 2);
    {
        WindowDCScope dc(h);
        const TRect margins = GetFrameMargins();
        BlitClipped(dc.Get(), r.Left - margins.Left, r.Top - margins.Top, r.Width(), r.Height(),
                    cache, r.Left, r.Top);
    }
    // The skin's glow around a hot system button, while glowing is allowed.
    const TsSkinData& gd = sm->SkinData();
    if (e->State == 1 && HasGlowMargin(hitCode) && GlowOf(gd, hitCode).On >= 1 &&
        sm->AllowGlowing() && !form_->Parent() && form_->FormStyle() != fsMDIChild &&
        sm->IsValidImgIndex(mask)) {
        const TPoint o = FormScreenOrigin();
        const TRect screen{r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y};
        e->GlowID = Neighbours().ShowGlow(
            screen, screen, "GLOBALINFO", sm, borderForm_ ? borderForm_->Handle() : h, 255,
            GlowOf(gd, hitCode).Margin, sm->Masks()[size_t(mask)].PropertyName + "GLOW");
    } else if (e->GlowID >= 0) {
        Neighbours().HideGlow(e->GlowID);
        e->GlowID = -1;
    }
}

// ---- the animation ----

void AnimateTitleButton(TsCaptionButton* element, int state, int steps, TacDialogWndBase* dialog,
                        TsSkinProvider* provider, bool forward) {
    if (!element || (!provider && !dialog)) return;
    TacSBAnimation* t = element->Timer;
    if (!t || t->Target == -1) {
        if (!t) {
            t = New<TacSBAnimation>(provider ? static_cast<TComponent*>(provider)
                                             : static_cast<TComponent*>(Application()));
            if (provider) {
                t->Provider = provider;
                t->Window = provider->Form() && provider->Form()->HandleAllocated()
                                ? provider->Form()->Handle()
                                : nullptr;
                t->SkinData = provider->SkinData();
                t->BorderForm = provider->BorderForm();
            } else {
                t->Window = dialog->Handle();
                t->SkinData = dialog->SkinData();
                t->BorderForm = dialog->BorderForm();
            }
            t->SetEnabled(false);
            t->Button = element;
            element->Timer = t;
            t->SetInterval(kAnimationInterval);
        }
        t->StepCount = steps;
        t->StartAnimation(state, forward);
        return;
    }
    if (forward) t->Target = state;
    t->StepCount = steps;
    t->Forward = forward;
    t->SetEnabled(true);
    if (state == 2) {
        t->Step = t->StepCount;
        t->Image.reset();
        t->UpdateGlow(uint8_t(std::min(t->AlphaStep() * t->Step, 255)));
    }
}

TacSBAnimation::TacSBAnimation(TComponent* owner) : TTimer(owner) {
    Step = 0;
    Target = 0;
    Forward = false;
    OnTimer = TNotifyEvent(this, &TacSBAnimation::TimerStep);
}

TacSBAnimation::~TacSBAnimation() {
    SetEnabled(false);
    FreeGlow();
    if (Button && Button->Timer == this) Button->Timer = nullptr;
}

void TacSBAnimation::FreeGlow() {
    if (GlowForm) FreeAndNil(GlowForm);
    Image.reset();
}

void TacSBAnimation::StartAnimation(int state, bool forward) {
    if (state == Target) return;
    Target = state;
    if (state == 2) Image.reset();
    if (state != 0) {
        Step = 1;
        Forward = forward;
        UpdateGlow(uint8_t(std::min(AlphaStep(), 255)));
        Step = 2;
    } else {
        Forward = false;
        --Step;
        UpdateGlow(uint8_t(std::clamp(AlphaStep() * Step, 0, 255)));
    }
    SetEnabled(StepCount > 1);
}

int TacSBAnimation::AlphaStep() const {
    return std::max(255 / std::max(StepCount, 1), 0);
}

void TacSBAnimation::TimerStep(TObject*) {
    if (Forward) {
        if (Step < StepCount) {
            UpdateGlow(uint8_t(std::clamp(AlphaStep() * Step, 0, 255)));
            ++Step;
            return;
        }
        if (StepCount != -1) {
            StepCount = -1;
            UpdateGlow(255);
        }
        // Last: the owner's answer to the mouse leaving may free this animation.
        CheckMouseLeave();
        return;
    }
    if (Step > 0) {
        UpdateGlow(uint8_t(std::clamp(AlphaStep() * Step, 0, 255)));
        --Step;
        return;
    }
    Target = -1;
    SetEnabled(false);
    FreeGlow();
}

vcl::TRect TacSBAnimation::OwnerWindowRect() const {
    win::RECT wr{};
    const win::HWND w = BorderForm && BorderForm->Handle() ? BorderForm->Handle() : Window;
    if (w) win::GetWindowRect(w, &wr);
    return {wr.left, wr.top, wr.right, wr.bottom};
}

void TacSBAnimation::CheckMouseLeave() {
    if (!Button || !Window) return;
    win::POINT p{};
    win::GetCursorPos(&p);
    const TRect o = OwnerWindowRect();
    const TPoint local{p.x - o.Left, p.y - o.Top};
    if (Button->Rect.Contains(local)) return;
    SetEnabled(false);
    win::SendMessageA(Window, WM_MOUSELEAVE_MSG, 0, 0);
}

TsSkinManager* TacSBAnimation::Manager() const {
    return SkinData ? SkinData->SkinManager() : nullptr;
}

int TacSBAnimation::ElementMask() const {
    if (!Button) return -1;
    if (Provider) return Provider->ShownMaskOf(Button->HitCode);
    return Button->ImageIndex;
}

int TacSBAnimation::GlowMargin() const {
    TsSkinManager* sm = Manager();
    if (!sm || !Button || !sm->AllowGlowing() || Target != 1) return 0;
    return GlowOf(sm->SkinData(), Button->HitCode).Margin;
}

TRect TacSBAnimation::GlowRect() const {
    if (!Button) return {};
    const TRect o = OwnerWindowRect();
    TRect r = Button->Rect;
    OffsetBy(r, o.Left, o.Top);
    const int margin = GlowMargin();
    const int glow = margin != 0 ? GlowMaskOf(Manager(), ElementMask()) : -1;
    if (glow >= 0) {
        const win::SIZE s = CaptionButtonImageSize(Manager()->Masks()[size_t(glow)]);
        r.Left -= margin;
        r.Top -= margin;
        r.Right = r.Left + s.cx;
        r.Bottom = r.Top + s.cy;
    }
    return r;
}

void TacSBAnimation::CreateGlowForm() {
    if (GlowForm) return;
    // Owned by the animation alone, so the application's end cannot free it behind its back.
    auto* f = New<TForm>(nullptr);
    f->SetBorderStyle(bsNone);
    f->SetTag(-98);
    const win::HWND w = f->Handle();
    const auto ex = win::GetWindowLongPtrA(w, win::GWL_EXSTYLE);
    win::SetWindowLongPtrA(w, win::GWL_EXSTYLE, ex | 0x80000A0);
    GlowForm = f;
}

void TacSBAnimation::MakeGlowImage() {
    TsSkinManager* sm = Manager();
    if (!sm || !Button) return;
    const TRect gr = GlowRect();
    const int w = std::max(gr.Width(), 0), h = std::max(gr.Height(), 0);
    Image.reset(NewBitmap32(w, h));
    const PixelView iv = ViewOf(Image.get());
    const int mask = ElementMask();
    const int glow = GlowMaskOf(sm, mask);
    const bool glowMode =
        sm->AllowGlowing() && Target == 1 && HasGlowMargin(Button->HitCode) && glow >= 0;
    TsTitleButton* user = Provider ? Provider->UserButtonOf(Button->HitCode) : nullptr;
    if (glowMode) {
        const TsMaskData& g = sm->Masks()[size_t(glow)];
        TBitmap* src = g.Bmp ? g.Bmp.get() : sm->MasterBitmap();
        const TPoint from = g.Bmp ? TPoint{0, 0} : TPoint{g.R.Left, g.R.Top};
        const PixelView sv = ViewOf(src);
        const CopyArea a = ClipCopy(0, 0, from.X, from.Y, w, h, iv, sv);
        for (int y = 0; y < a.Height; ++y) {
            const uint8_t* s = sv.At(a.SrcX, a.SrcY + y);
            uint8_t* d = iv.At(a.DstX, a.DstY + y);
            for (int x = 0; x < a.Width; ++x, s += sv.BytesPerPixel, d += 4) {
                // A layered window takes its colours premultiplied by their alpha.
                const uint8_t a = sv.BytesPerPixel == 4 ? s[3] : 255;
                for (int c = 0; c < 3; ++c) d[c] = uint8_t((s[c] * a + 127) / 255);
                d[3] = a;
            }
        }
    } else {
        // The caption under the element, then the element in its state.
        TBitmap* cache = SkinData ? SkinData->CacheBmp() : nullptr;
        TBitmap* under = cache;
        int sx = Button->Rect.Left, sy = Button->Rect.Top;
        if (Provider && Provider->ButtonsAreaBmp && !Provider->ButtonsAreaBmp->Empty()) {
            under = Provider->ButtonsAreaBmp.get();
            sx -= Provider->FormWidth() - under->Width() - 1;
        }
        const PixelView uv = under ? ViewOf(under) : PixelView{};
        const CopyArea a = under ? ClipCopy(0, 0, sx, sy, w, h, iv, uv) : CopyArea{};
        // A frame not painted yet (a minimised form's is empty) has no caption to show under
        // the element: no picture, rather than a black box.
        if (a.Width < w || a.Height < h) {
            Image.reset();
            return;
        }
        for (int y = 0; y < a.Height; ++y)
            for (int x = 0; x < a.Width; ++x)
                std::memcpy(iv.At(a.DstX + x, a.DstY + y), uv.At(a.SrcX + x, a.SrcY + y), 3);
        if (sm->IsValidImgIndex(mask) && !(user && !user->UseSkinData)) {
            BlendMaskRegion(Image.get(), {0, 0}, std::clamp(Button->State, 0, 2), 1,
                            sm->Masks()[size_t(mask)], MakeCacheInfo(&iv, 0, 0));
        }
        if (!BorderForm) FillAlphaRect(iv, {0, 0, w, h}, 255);
    }
    if (user) {
        DrawGlyphCentred(Image.get(), user->Glyph(), {0, 0, w, h}, Button->State == 2);
        if (!BorderForm) FillAlphaRect(iv, {0, 0, w, h}, 255);
    }
}

void TacSBAnimation::UpdateGlow(uint8_t level) {
    if (!Button || !Window) return;
    if (!Image) MakeGlowImage();
    if (!GlowForm) CreateGlowForm();
    if (!Image || !GlowForm) return;
    TRect r = GlowRect();
    // A picture of another size than the place is centred on it.
    if (r.Width() != Image->Width() || r.Height() != Image->Height()) {
        OffsetBy(r, (r.Width() - Image->Width()) / 2, (r.Height() - Image->Height()) / 2);
    }
    const win::HWND glow = GlowForm->Handle();
    const win::HWND owner = BorderForm && BorderForm->Handle() ? BorderForm->Handle() : Window;
    const win::HWND above = win::GetWindow(owner, win::GW_HWNDPREV);
    win::SetWindowPos(glow, above && above != glow ? above : win::HWND_TOP, 0, 0, 0, 0,
                      kGlowZOrderFlags);
    const auto ex = win::GetWindowLongPtrA(glow, win::GWL_EXSTYLE);
    win::SetWindowLongPtrA(
        glow, win::GWL_EXSTYLE,
        ex | win::WS_EX_LAYERED | win::WS_EX_TRANSPARENT | win::WS_EX_NOACTIVATE);
    win::POINT dst{r.Left, r.Top}, src{0, 0};
    win::SIZE size{Image->Width(), Image->Height()};
    win::BLENDFUNCTION blend{win::AC_SRC_OVER, 0, level, win::AC_SRC_ALPHA};
    win::UpdateLayeredWindow(glow, nullptr, &dst, &size, Image->Canvas()->Handle(), &src,
                             0x1FFFFFFF, &blend, win::ULW_ALPHA);
    win::ShowWindow(glow, win::SW_SHOWNOACTIVATE);
    Level = level;
}

}  // namespace skin
