#include "skin/windows/dialogs/dialog_window.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/gdi/region.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/form_animations.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/core/state/system_utils.h"
#include "skin/windows/dialogs/dialog_hook.h"
#include "skin/windows/effects/border_form.h"

namespace skin {

using namespace vcl;

namespace {

// Skin command: attach the adapters of children made since the dialog was skinned.
constexpr uint16_t kAttachNewChildren = 28;
constexpr uint32_t kMouseLeave = 0x2A3;
constexpr uint32_t kRescanChildren = 0x52E;
constexpr uint32_t kVisibleChanged = 0xB00B;
// DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER
constexpr uint32_t kCaptionTextFlags = 0x8824;
constexpr int kDefaultButtonSize = 21;
constexpr int kButtonSteps = 10;

struct Insets {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The non-client area the system gives the window now.
Insets InsetsOf(win::HWND wnd) {
    win::RECT wr{}, cr{};
    if (!wnd || !win::GetWindowRect(wnd, &wr) || !win::GetClientRect(wnd, &cr)) return {};
    win::POINT o{0, 0};
    win::ClientToScreen(wnd, &o);
    Insets i;
    i.Left = std::max(int(o.x - wr.left), 0);
    i.Top = std::max(int(o.y - wr.top), 0);
    i.Right = std::max(int(wr.right - (o.x + cr.right)), 0);
    i.Bottom = std::max(int(wr.bottom - (o.y + cr.bottom)), 0);
    return i;
}

bool IsButtonHit(int hit) {
    return hit == win::HTMINBUTTON || hit == win::HTMAXBUTTON || hit == win::HTCLOSE ||
           hit == win::HTHELP;
}

}  // namespace

// ---- the dialog as the owner of its border window ----

// The border window's picture is the dialog's cache: the window's rectangle grown by the shadow
// margins. The frame and caption keep the sizes the system gives the dialog's style.
class DialogBorderOwner : public TacBorderOwner {
public:
    explicit DialogBorderOwner(TacDialogWnd* d) : d_(d) {}

    win::HWND Handle() const override { return d_->CtrlHandle; }
    TsCommonData* SkinData() const override { return d_->TacMainWnd::SkinData; }
    TsSkinManager* Manager() const override { return d_->TacMainWnd::SkinManager; }
    bool IsDialog() const override { return true; }

    int FrameWidth(bool) const override { return InsetsOf(Handle()).Left; }
    int ExtBorderWidth() const override { return FrameWidth(true); }
    int ExtTitleHeight() const override { return CaptionHeight(true); }
    int ExtCaptionExtra() const override { return 0; }
    bool HasCaption() const override { return d_->DialogCaptionHeight(false) != 0; }
    int CaptionHeight(bool) const override {
        const Insets in = InsetsOf(Handle());
        return std::max(in.Top - in.Left, 0);
    }
    TRect IconRect() const override { return d_->DialogIconRect(); }

    int ButtonAt(TPoint p) const override { return d_->ButtonAt(p); }

    void PaintFrame() override { d_->PaintFrame(); }
    void SetHotHT(int code) override {
        // A pressed button stays pressed while the mouse wanders.
        if (d_->pressed_) return;
        const bool button = IsButtonHit(code);
        if (button && d_->HotButton != code) d_->SetTitleButtonState(code, 1);
        if (!button && d_->HotButton) d_->SetTitleButtonState(0, 0);
    }
    void KillAnimations() override { d_->FreeTitleButtons(); }
    void CaptionDoubleClick() override {
        if (!d_->CanMaximizeDialog() && !d_->CanRestoreDialog()) return;
        const win::HWND h = Handle();
        const bool normal = !win::IsZoomed(h) && !win::IsIconic(h);
        win::SendMessageA(h, win::WM_SYSCOMMAND, normal ? win::SC_MAXIMIZE : win::SC_RESTORE, 0);
        if (!d_->Unhooked) d_->UpdateSystemMenu();
    }

private:
    TacDialogWnd* d_;
};

// ---- TacSystemMenu ----

TacSystemMenu::TacSystemMenu(TComponent* owner, TacDialogWnd* dialog)
    : TsCustomSysMenu(owner), Dialog(dialog) {
    struct Row {
        const char* name;
        const char* caption;
        unsigned command;
    };
    static constexpr Row rows[] = {
        {"miRestore", "Restore", win::SC_RESTORE},    {"miMove", "Move", win::SC_MOVE},
        {"miSize", "Size", win::SC_SIZE},             {"miMinimize", "Minimize", win::SC_MINIMIZE},
        {"miMaximize", "Maximize", win::SC_MAXIMIZE}, {"miClose", "Close", win::SC_CLOSE},
    };
    TMenuItem** slots[] = {&ItemRestore, &ItemMove, &ItemSize, &ItemMinimize, &ItemMaximize,
                           &ItemClose};
    for (size_t i = 0; i < std::size(rows); ++i) {
        if (rows[i].command == win::SC_CLOSE) {
            auto* line = new TMenuItem(this);
            line->SetCaption("-");
            Items()->Add(line);
        }
        auto* item = new TMenuItem(this);
        item->SetName(rows[i].name);
        item->SetCaption(rows[i].caption);
        item->SetTag(intptr_t(rows[i].command));
        item->OnClick = TNotifyEvent(this, &TacSystemMenu::ItemClick);
        if (rows[i].command == win::SC_CLOSE) item->SetShortCut(TextToShortCut("Alt+F4"));
        Items()->Add(item);
        *slots[i] = item;
    }
}

bool TacSystemMenu::VisibleClose() const {
    return Dialog && Dialog->HasSystemMenu();
}

void TacSystemMenu::ItemClick(TObject* sender) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !Dialog || !Dialog->Handle()) return;
    const auto command = unsigned(item->Tag());
    win::SendMessageA(Dialog->Handle(), win::WM_SYSCOMMAND, command, 0);
    if (command == win::SC_RESTORE || command == win::SC_MAXIMIZE) Dialog->UpdateSystemMenu();
}

// ---- TacDialogWnd: life cycle ----

TacDialogWnd::TacDialogWnd() {
    ButtonMin.HitCode = win::HTMINBUTTON;
    ButtonMax.HitCode = win::HTMAXBUTTON;
    ButtonClose.HitCode = win::HTCLOSE;
    ButtonHelp.HitCode = win::HTHELP;
}

TacDialogWnd::~TacDialogWnd() {
    IconBitmap.reset();
    if (SystemMenu) {
        Neighbours().SetMenuOwnerDraw(
            TacMainWnd::SkinManager ? TacMainWnd::SkinManager->SkinableMenus() : nullptr,
            SystemMenu, false);
        SystemMenu->Free();
        SystemMenu = nullptr;
    }
    FreeTitleButtons();
    FreeBrush();
    Neighbours().ClearGlows();
    FreeBorderForm();
    // The window, when it lives on, gets its own buttons and shape back.
    if (CtrlHandle && win::IsWindow(CtrlHandle)) {
        if (styleRemoved_) {
            const auto now = uint32_t(win::GetWindowLongPtrA(CtrlHandle, win::GWL_STYLE));
            win::SetWindowLongPtrA(CtrlHandle, win::GWL_STYLE, now | win::WS_SYSMENU);
        }
        win::SetWindowRgn(CtrlHandle, nullptr, win::IsWindowVisible(CtrlHandle));
    }
}

void TacDialogWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                  const std::string& section, bool flag) {
    TacScrollWnd::AttachToWindow(wnd, skinData, manager, section.empty() ? "DIALOG" : section,
                                 flag);
    TsCommonData* d = TacMainWnd::SkinData;
    d->PrepareCacheBmp();
    d->CacheStale = true;
    d->BGChanged = true;
    IconBitmap.reset();
    RegionNeeded = true;
    BorderKind = 1;
    CaptionActive = true;
    // The platform reports a system of version 6: the dialog's own client painting is skipped
    // unless a child draws over it (the hook clears this for edits and combo boxes).
    DrawClientSelf = true;
    CaptionIndex = -1;
    SystemMenu = New<TacSystemMenu>(nullptr, this);
    UpdateSystemMenu();
    SetDwmTransitionsDisabled(wnd, true);
    TsSkinManager* sm = TacMainWnd::SkinManager;
    if (sm && sm->SkinnedPopups())
        Neighbours().SetMenuOwnerDraw(sm->SkinableMenus(), SystemMenu, true);
}

void TacDialogWnd::Prepare() {
    const win::HWND h = CtrlHandle;
    if (!h || !win::IsWindow(h)) return;
    Style = uint32_t(win::GetWindowLongPtrA(h, win::GWL_STYLE));
    ExStyle = uint32_t(win::GetWindowLongPtrA(h, win::GWL_EXSTYLE));
    const bool thick = Style & win::WS_THICKFRAME;
    if ((Style & win::WS_POPUP) && (Style & win::WS_CAPTION) != win::WS_CAPTION)
        BorderKind = 2;
    else if (ExStyle & win::WS_EX_TOOLWINDOW)
        BorderKind = thick ? 5 : 4;
    else if (thick)
        BorderKind = 3;
    else
        BorderKind = (Style & win::DS_MODALFRAME) ? 0 : 3;
    Prepared = true;

    // The small icon on the skin's key colour, for the caption.
    Icon = reinterpret_cast<win::HICON>(win::SendMessageA(h, win::WM_GETICON, win::ICON_SMALL, 0));
    if (!Icon)
        Icon = reinterpret_cast<win::HICON>(win::SendMessageA(h, win::WM_GETICON, win::ICON_BIG, 0));
    IconBitmap.reset();
    if (Icon) {
        const int cx = win::GetSystemMetrics(win::SM_CXSMICON),
                  cy = win::GetSystemMetrics(win::SM_CYSMICON);
        IconBitmap.reset(NewBitmap24(cx, cy));
        FillRectSolid(IconBitmap->Canvas()->Handle(), {0, 0, cx, cy}, kTransparentKey);
        win::DrawIconEx(IconBitmap->Canvas()->Handle(), 0, 0, Icon, cx, cy, 0, nullptr,
                        win::DI_NORMAL);
    }
    TsSkinManager* sm = TacMainWnd::SkinManager;
    CaptionIndex = sm ? sm->GetSkinIndex("CAPTION") : -1;
    ChooseButtonMasks();
    if (Style & win::WS_SYSMENU) {
        win::SetWindowLongPtrA(h, win::GWL_STYLE, Style & ~win::WS_SYSMENU);
        styleRemoved_ = true;
    }
    UpdateSystemMenu();
    TacMainWnd::SkinData->CacheStale = true;
}

// ---- metrics ----

int TacDialogWnd::DialogBorderWidth() const {
    return InsetsOf(CtrlHandle).Left;
}

int TacDialogWnd::DialogTopFrameHeight() const {
    return InsetsOf(CtrlHandle).Top;
}

int TacDialogWnd::DialogCaptionHeight(bool withSkin) const {
    const uint32_t style =
        Prepared ? Style : uint32_t(win::GetWindowLongPtrA(CtrlHandle, win::GWL_STYLE));
    if ((style & win::WS_CAPTION) != win::WS_CAPTION && !win::IsIconic(CtrlHandle)) return 0;
    TsSkinManager* sm = TacMainWnd::SkinManager;
    if (withSkin && sm && sm->SkinData().TitleHeight != 0) return sm->SkinData().TitleHeight;
    return win::GetSystemMetrics(BorderKind == 4 || BorderKind == 5 ? win::SM_CYSMCAPTION
                                                                      : win::SM_CYCAPTION);
}

TacBorderFormBase* TacDialogWnd::BorderForm() const {
    return borderForm_.get();
}

TRect TacDialogWnd::GetDialogFrameMargins() const {
    TsSkinManager* sm = TacMainWnd::SkinManager;
    return borderForm_ && sm ? sm->ShadowMargins : TRect{};
}

TPoint TacDialogWnd::CacheOrigin() const {
    const TRect m = GetDialogFrameMargins();
    return {m.Left, m.Top};
}

bool TacDialogWnd::CanMaximizeDialog() const {
    return HasMaximizeBox() && !win::IsZoomed(CtrlHandle) &&
           (BorderKind == 1 || BorderKind == 3 || BorderKind == 5);
}

bool TacDialogWnd::CanRestoreDialog() const {
    return HasMaximizeBox() && (win::IsIconic(CtrlHandle) || win::IsZoomed(CtrlHandle));
}

TRect TacDialogWnd::DialogIconRect() const {
    if (!IconBitmap) return {};
    TsSkinManager* sm = TacMainWnd::SkinManager;
    const Insets in = InsetsOf(CtrlHandle);
    const int cx = IconBitmap->Width(), cy = IconBitmap->Height();
    const TPoint o = CacheOrigin();
    const int x = o.X + in.Left + (sm ? sm->SkinData().BILeft : 0);
    const int y = o.Y + std::max((in.Top - cy) / 2, 0);
    return {x, y, x + cx, y + cy};
}

void TacDialogWnd::UpdateSystemMenu() {
    if (!SystemMenu) return;
    const bool sys = HasSystemMenu(), iconic = win::IsIconic(CtrlHandle);
    auto set = [](TMenuItem* item, bool visible, bool enabled) {
        item->SetVisible(visible);
        item->SetEnabled(enabled);
    };
    set(SystemMenu->ItemRestore, (BorderKind == 1 || BorderKind == 3) && sys, CanRestoreDialog());
    set(SystemMenu->ItemMove, true, !win::IsZoomed(CtrlHandle));
    set(SystemMenu->ItemSize, BorderKind == 1 || BorderKind == 3 || BorderKind == 5,
        BorderKind != 1 && !iconic);
    set(SystemMenu->ItemMinimize, HasMinimizeBox(), HasMinimizeBox() && !iconic);
    set(SystemMenu->ItemMaximize, HasMaximizeBox(), CanMaximizeDialog());
    set(SystemMenu->ItemClose, sys, true);
}

// ---- title buttons ----

void TacDialogWnd::ChooseButtonMasks() {
    TsSkinManager* sm = TacMainWnd::SkinManager;
    auto mask = [sm](const char* name) {
        const int i = sm ? sm->GetMaskIndexByNames("GLOBALINFO", name) : -1;
        return sm && sm->IsValidImgIndex(i) ? i : -1;
    };
    const bool bigKind = BorderKind == 1 || BorderKind == 3;
    const int smallClose = mask("SICONCLOSE");
    const bool big = bigKind || smallClose < 0;
    if (big) {
        int close = mask("BICONCLOSE");
        if (!HasMaximizeBox() && !HasMinimizeBox() && mask("BICLOSEALONE") >= 0)
            close = mask("BICLOSEALONE");
        ButtonClose.ImageIndex = close;
        ButtonMin.ImageIndex = mask("BICONMIN");
        ButtonMax.ImageIndex = mask("BICONMAX");
        ButtonHelp.ImageIndex = mask("BICONHELP");
    } else {
        ButtonClose.ImageIndex = smallClose;
        ButtonMin.ImageIndex = mask("SICONMIN");
        ButtonMax.ImageIndex = mask("SICONMAX");
        ButtonHelp.ImageIndex = mask("SICONHELP");
        if (ButtonHelp.ImageIndex < 0) ButtonHelp.ImageIndex = mask("BICONHELP");
    }
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp})
        b->LargeGlyph = big;
}

std::vector<TsCaptionButton*> TacDialogWnd::ShownButtons() {
    std::vector<TsCaptionButton*> shown;
    if (DialogCaptionHeight(false) == 0 || BorderKind == 2) return shown;
    if (HasSystemMenu()) shown.push_back(&ButtonClose);
    if (HasMaximizeBox()) shown.push_back(&ButtonMax);
    if (HasMinimizeBox()) shown.push_back(&ButtonMin);
    if (HasContextHelp()) shown.push_back(&ButtonHelp);
    return shown;
}

TsCaptionButton* TacDialogWnd::ButtonOf(int hitCode) {
    return SystemButtonOf(hitCode, ButtonMin, ButtonMax, ButtonClose, ButtonHelp);
}

bool TacDialogWnd::Enabled(const TsCaptionButton& b) const {
    switch (b.HitCode) {
        case win::HTCLOSE: {
            const auto cls = win::GetClassLongPtrA(CtrlHandle, win::GCL_STYLE);
            return !(cls & win::CS_NOCLOSE);
        }
        case win::HTMAXBUTTON:
            return win::IsZoomed(CtrlHandle) ? CanRestoreDialog() : CanMaximizeDialog();
        default:
            return true;
    }
}

void TacDialogWnd::LayoutTitleButtons() {
    TsSkinManager* sm = TacMainWnd::SkinManager;
    if (!sm) return;
    const TsSkinData& gd = sm->SkinData();
    const Insets in = InsetsOf(CtrlHandle);
    const int caption = std::max(in.Top - in.Left, 0);
    const TPoint o = CacheOrigin();
    int x = o.X + Width - gd.BIRight - in.Right;
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp}) b->Rect = {};
    for (TsCaptionButton* b : ShownButtons()) {
        int bw = kDefaultButtonSize, bh = kDefaultButtonSize;
        if (sm->IsValidImgIndex(b->ImageIndex)) {
            const win::SIZE s = CaptionButtonImageSize(sm->Masks()[size_t(b->ImageIndex)]);
            bw = s.cx, bh = s.cy;
        }
        int top = o.Y + (caption - bh + in.Left) / 2;
        if (gd.BIVAlign == 1 && b->LargeGlyph && b->HitCode != win::HTHELP) top = o.Y;
        b->Rect = {x - bw, top, x, top + bh};
        if (b->State < 0) b->State = 0;
        x = b->Rect.Left - (b->LargeGlyph ? gd.BISpace : 0);
    }
}

void TacDialogWnd::PaintTitleButtons(TBitmap* cache) {
    TsSkinManager* sm = TacMainWnd::SkinManager;
    LayoutTitleButtons();
    const PixelView cv = ViewOf(cache);
    for (TsCaptionButton* b : ShownButtons()) {
        if (!sm->IsValidImgIndex(b->ImageIndex)) continue;
        int mask = b->ImageIndex;
        // A zoomed dialog's maximize and an iconic one's minimize show the restore image.
        if ((b->HitCode == win::HTMAXBUTTON && win::IsZoomed(CtrlHandle)) ||
            (b->HitCode == win::HTMINBUTTON && win::IsIconic(CtrlHandle))) {
            const int norm = sm->GetMaskIndexByNames("GLOBALINFO", "BICONNORM");
            if (sm->IsValidImgIndex(norm)) mask = norm;
        }
        const int state = b->Timer ? 0 : std::clamp(b->State, 0, 2);
        const int mode = (!CaptionActive || !Enabled(*b)) ? 2 : 1;
        BlendMaskRegion(cache, b->Rect.TopLeft(), state, mode, sm->Masks()[size_t(mask)],
                        MakeCacheInfo(&cv, 0, 0));
    }
}

void TacDialogWnd::RepaintTitleButton(TsCaptionButton& b) {
    if (b.GlowID >= 0) {
        Neighbours().HideGlow(b.GlowID);
        b.GlowID = -1;
    }
    TacMainWnd::SkinData->CacheStale = true;
    if (win::IsWindowVisible(CtrlHandle)) PaintNonClient();
}

void TacDialogWnd::SetTitleButtonState(int hitCode, int state) {
    TsSkinManager* sm = TacMainWnd::SkinManager;
    const bool animate = sm && sm->AllowGlowing();
    if (HotButton != 0 && HotButton != hitCode) {
        if (TsCaptionButton* old = ButtonOf(HotButton)) {
            old->State = 0;
            if (animate)
                AnimateTitleButton(old, 0, kButtonSteps, this, nullptr, false);
            else
                RepaintTitleButton(*old);
        }
    }
    HotButton = hitCode;
    TsCaptionButton* b = ButtonOf(hitCode);
    if (!b || b->State == state) return;
    b->State = state;
    if (animate)
        AnimateTitleButton(b, state, state == 2 ? 1 : kButtonSteps, this, nullptr, state != 0);
    else
        RepaintTitleButton(*b);
}

void TacDialogWnd::FreeTitleButtons() {
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp}) {
        if (b->Timer) b->Timer->Free();  // its destructor clears the slot
        b->Timer = nullptr;
        if (b->GlowID >= 0) Neighbours().HideGlow(b->GlowID);
        b->GlowID = -1;
    }
}

// ---- frame painting ----

void TacDialogWnd::PaintFrame() {
    TsCommonData* d = TacMainWnd::SkinData;
    TsSkinManager* sm = TacMainWnd::SkinManager;
    TBitmap* cache = d ? d->CacheBmp() : nullptr;
    if (!cache || !sm || !CtrlHandle) return;
    win::RECT wr{};
    win::GetWindowRect(CtrlHandle, &wr);
    Width = std::max(int(wr.right - wr.left), 0);
    Height = std::max(int(wr.bottom - wr.top), 0);
    // With extended borders the picture holds the shadow around the window.
    const TRect m = GetDialogFrameMargins();
    const int cw = Width + m.Left + m.Right, ch = Height + m.Top + m.Bottom;
    const vcl::TPixelFormat format = borderForm_ ? pf32bit : pf24bit;
    if (!d->CacheStale && cache->Width() == cw && cache->Height() == ch &&
        cache->PixelFormat() == format)
        return;
    if (!BitmapSizeFits(cw, ch)) return;
    RegionNeeded = true;
    if (cache->Width() != cw || cache->Height() != ch || cache->PixelFormat() != format) {
        cache->SetSize(0, 0);
        cache->SetPixelFormat(format);
        cache->SetSize(cw, ch);
    }
    d->CacheStale = false;
    if (Width == 0 || Height == 0) return;
    const int state = CaptionActive ? 1 : 0;
    const TRect window{m.Left, m.Top, m.Left + Width, m.Top + Height};
    if (borderForm_ && sm->SkinData().BorderMode == 1)
        PaintSkinBackground(d->SkinIndex, d->SkinSection(), EmptyCacheInfo, state, window, {0, 0},
                            cache, sm, d->Texture, d->HotTexture, kTransparentKey);
    else if (sm->IsValidSkinIndex(d->SkinIndex))
        PaintControlSection(d, EmptyCacheInfo, true, state, window, {0, 0}, cache, 1);
    else
        FillRectSolid(cache->Canvas()->Handle(), window, sm->GetGlobalColor());
    const Insets in = InsetsOf(CtrlHandle);
    const bool caption = DialogCaptionHeight(false) != 0 && in.Top > in.Left;
    if (caption) PaintCaption(cache, in.Left, in.Top);
    if (borderForm_) {
        // The window's own part is opaque; the margins and the cut corners take the shadow.
        const PixelView view = ViewOf(cache);
        FillAlphaRect(view, window, 255);
        const int title = sm->GetMaskIndexByNames("FORMTITLE", "BORDERSMASK");
        PaintExtShadow(sm, CaptionActive, view, m, d->BorderIndex,
                       sm->IsValidImgIndex(title) ? title : d->BorderIndex);
    }
    if (caption) PaintTitleButtons(cache);
}

void TacDialogWnd::PaintCaption(TBitmap* cache, int border, int top) {
    TsSkinManager* sm = TacMainWnd::SkinManager;
    const int state = CaptionActive ? 1 : 0;
    const int title = sm->GetSkinIndex("FORMTITLE");
    const TPoint o = CacheOrigin();
    const TRect band{o.X, o.Y, o.X + Width, o.Y + std::min(top, Height)};
    // In the skin's border mode 1 the extended border image brings the caption strip itself.
    const bool ownStrip = !(borderForm_ && sm->SkinData().BorderMode == 1);
    if (title >= 0 && ownStrip)
        PaintMaskWithBorders(title, "FORMTITLE", EmptyCacheInfo, true, state, band, {0, 0}, cache,
                             sm, -1, -1);
    if (IconBitmap && ownStrip) {
        const TRect ir = DialogIconRect();
        CopyBitmapTransparent(ViewOf(cache), ViewOf(IconBitmap.get()), ir.Left, ir.Top,
                              kTransparentKey);
    }
    int buttons = 0;
    LayoutTitleButtons();
    for (TsCaptionButton* b : ShownButtons()) buttons = o.X + Width - b->Rect.Left;
    TRect r{o.X + border + (IconBitmap ? IconBitmap->Width() : 0) + 4 + sm->SkinData().BILeft,
            o.Y + 2, o.X + Width - buttons - 6, o.Y + top};
    if (!ownStrip) {
        r.Top += sm->SkinData().CenterOffset;
        r.Bottom += sm->SkinData().CenterOffset;
    }
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    const std::string text = WindowCaption(CtrlHandle);
    TCanvas* canvas = cache->Canvas();
    CaptionFontScope font(canvas);
    if (CaptionIndex >= 0 && !text.empty()) {
        win::SIZE s{};
        CanvasTextExtent(canvas, text, s);
        const int h = s.cy + 4;
        const TRect plate{r.Left - 4, r.Top + (r.Height() - h) / 2,
                          std::min(r.Left + int(s.cx) + 4, r.Right), r.Top + (r.Height() + h) / 2};
        if (plate.Right > plate.Left)
            PaintMaskWithBorders(CaptionIndex, "CAPTION", EmptyCacheInfo, true, state, plate,
                                 {0, 0}, cache, sm, -1, -1);
    }
    const int section = CaptionIndex >= 0 ? CaptionIndex : title;
    if (section >= 0) {
        const TsGeneralData& s = sm->Sections()[size_t(section)];
        const uint8_t glow = state ? s.HotGlowSize : s.GlowSize;
        if (CaptionIndex < 0 && glow != 0) {
            BitmapPtr mask;
            DrawGlowText(cache, text, r, mask, state ? s.HotGlowColor : s.GlowColor, glow, 0,
                         kCaptionTextFlags);
        }
        DrawSectionTextEx(canvas, text, true, sm, state, section, kCaptionTextFlags, r);
    }
}

// ---- region ----

void TacDialogWnd::BuildRegionCuts() {
    RegionCuts.clear();
    TsSkinManager* sm = TacMainWnd::SkinManager;
    TsCommonData* d = TacMainWnd::SkinData;
    if (!sm || !d) return;
    int mask = d->BorderIndex;
    if (!sm->IsValidImgIndex(mask)) mask = sm->GetMaskIndexByNames("DIALOG", "BORDERSMASK");
    if (sm->IsValidImgIndex(mask)) {
        AddMaskRegionCuts(RegionCuts, sm, mask, Width, false, 0);
        AddMaskRegionCuts(RegionCuts, sm, mask, Width, true,
                          Height - sm->Masks()[size_t(mask)].WB);
    }
    if (DialogCaptionHeight(false) != 0) {
        const int title = sm->GetSkinIndex("FORMTITLE");
        if (title >= 0)
            AddMaskRegionCuts(RegionCuts, sm, sm->GetMaskIndex(title, "FORMTITLE", "BORDERSMASK"),
                              Width, false, 0);
    }
}

void TacDialogWnd::UpdateDialogRegion(bool redraw) {
    const win::HWND h = CtrlHandle;
    if (!h || !win::IsWindow(h)) return;
    if (BorderKind == 2 && !win::IsIconic(h)) return;
    if (KeepsOwnRegion(h)) return;
    RegionUpdating = true;
    if (borderForm_) {
        // The border window shows the frame and caption: the dialog keeps its client part.
        const Insets in = InsetsOf(h);
        win::SetWindowRgn(h,
                          win::CreateRectRgn(in.Left, in.Top, std::max(Width - in.Right, in.Left),
                                             std::max(Height - in.Bottom, in.Top)),
                          redraw ? win::TRUE : win::FALSE);
        return;
    }
    win::HRGN region = win::CreateRectRgn(0, 0, Width, Height);
    win::HRGN cut = win::CreateRectRgn(0, 0, 0, 0);
    for (const TRect& r : RegionCuts) {
        win::SetRectRgn(cut, r.Left, r.Top, r.Right, r.Bottom);
        win::CombineRgn(region, region, cut, win::RGN_DIFF);
    }
    win::DeleteObject(cut);
    win::SetWindowRgn(h, region, redraw ? win::TRUE : win::FALSE);
}

// ---- non-client and client output ----

void TacDialogWnd::PaintNonClient() {
    const win::HWND h = CtrlHandle;
    const bool regionWasUpdating = RegionUpdating;
    AttachNewChildren();
    PaintFrame();
    if (!RegionUpdating && RegionNeeded &&
        !(BorderKind == 2 && !(Style & win::WS_THICKFRAME))) {
        BuildRegionCuts();
        RegionNeeded = false;
        UpdateDialogRegion(true);
    }
    TBitmap* cache = TacMainWnd::SkinData->CacheBmp();
    const Insets in = InsetsOf(h);
    if (borderForm_) {
        // The frame is the border window's picture.
        PlaceBorderForm(true);
    } else if (WindowDCScope dc(h); dc.Get() && cache && !cache->Empty()) {
        const int below = Height - in.Top;
        BlitClipped(dc.Get(), 0, 0, Width, in.Top, cache, 0, 0);
        BlitClipped(dc.Get(), 0, in.Top, in.Left, below, cache, 0, in.Top);
        BlitClipped(dc.Get(), Width - in.Right, in.Top, in.Right, below, cache, Width - in.Right,
                    in.Top);
        BlitClipped(dc.Get(), in.Left, Height - in.Bottom, Width - in.Left - in.Right, in.Bottom,
                    cache, in.Left, Height - in.Bottom);
    }
    TacMainWnd::SkinData->BGChanged = false;
    if (regionWasUpdating) RegionUpdating = false;
}

void TacDialogWnd::EraseBackground(win::HDC dc) {
    if (!ChildrenScanned) {
        ChildrenScanned = true;
        AttachNewChildren();
    }
    PaintFrame();
    TBitmap* cache = TacMainWnd::SkinData->CacheBmp();
    if (!dc || !cache || cache->Empty()) return;
    const int saved = win::SaveDC(dc);
    for (win::HWND c = win::GetWindow(CtrlHandle, win::GW_CHILD); c;
         c = win::GetWindow(c, win::GW_HWNDNEXT)) {
        if (!win::IsWindowVisible(c)) continue;
        const auto style = uint32_t(win::GetWindowLongPtrA(c, win::GWL_STYLE));
        // Group boxes and tab-stop statics show the background through themselves.
        if ((style & 7) == 7) continue;
        if ((style & 0x10000) && GetWindowClassName(c) == "Static") continue;
        win::RECT r{};
        win::GetWindowRect(c, &r);
        win::MapWindowPoints(nullptr, CtrlHandle, reinterpret_cast<win::POINT*>(&r), 2);
        win::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    win::RECT cr{};
    win::GetClientRect(CtrlHandle, &cr);
    const Insets in = InsetsOf(CtrlHandle);
    const TPoint o = CacheOrigin();
    BlitClipped(dc, 0, 0, cr.right, cr.bottom, cache, o.X + in.Left, o.Y + in.Top);
    win::RestoreDC(dc, saved);
    TacMainWnd::SkinData->BGChanged = false;
}

void TacDialogWnd::AttachNewChildren() {
    if (Provider) AttachChildAdapters(Provider, CtrlHandle);
}

win::HBRUSH TacDialogWnd::BackgroundBrush() {
    if (!brush_) {
        TsSkinManager* sm = TacMainWnd::SkinManager;
        brush_ = win::CreateSolidBrush(sm ? sm->GetGlobalColor() : ColorToRGB(clBtnFace));
    }
    return brush_;
}

// ---- extended borders ----

void TacDialogWnd::UpdateExtendedBorders() {
    TsSkinManager* sm = TacMainWnd::SkinManager;
    const win::HWND h = CtrlHandle;
    const bool want = sm && sm->Active() && sm->ExtendedBorders() && Prepared && !Unhooked &&
                      h && win::IsWindow(h) && !(Style & win::WS_CHILD) && BorderKind != 2 &&
                      DialogCaptionHeight(false) != 0;
    if (want == (borderForm_ != nullptr)) {
        PlaceBorderForm(false);
        return;
    }
    if (want)
        borderForm_ = std::make_unique<TacBorderForm>(std::make_unique<DialogBorderOwner>(this));
    else
        FreeBorderForm();
    // Every measure of the picture changed: cache and region are made anew.
    TacMainWnd::SkinData->CacheStale = true;
    RegionNeeded = true;
    if (win::IsWindowVisible(h)) PaintNonClient();
}

void TacDialogWnd::FreeBorderForm() {
    // Taken out first: freeing it may bring messages that ask for it.
    std::unique_ptr<TacBorderForm> gone = std::move(borderForm_);
    if (!gone) return;
    gone.reset();
    if (TacMainWnd::SkinData) TacMainWnd::SkinData->CacheStale = true;
    RegionNeeded = true;
}

void TacDialogWnd::PlaceBorderForm(bool repaint) {
    if (borderForm_ && CtrlHandle && win::IsWindowVisible(CtrlHandle))
        borderForm_->UpdateExBordersPos(repaint, 255);
}

void TacDialogWnd::FreeBrush() {
    if (brush_) win::DeleteObject(brush_);
    brush_ = nullptr;
}

void TacDialogWnd::AnswerBackgroundInfo(BackgroundInfo& info) {
    TsSkinManager* sm = TacMainWnd::SkinManager;
    TsCommonData* d = TacMainWnd::SkinData;
    Insets in = InsetsOf(CtrlHandle);
    const TPoint o = CacheOrigin();
    in.Left += o.X;
    in.Top += o.Y;
    const TsGeneralData* s = d->Section();
    const bool picture = s && s->GradientPercent + s->ImagePercent > 0;
    if (!picture) {
        info.BgType = btFill;
        info.Color = s ? uint32_t(ColorToRGB(s->Color)) : uint32_t(sm->GetGlobalColor());
        if (info.PleaseDraw && info.DC) FillRectSolid(info.DC, info.R, TColor(info.Color));
        return;
    }
    PaintFrame();
    TBitmap* cache = d->CacheBmp();
    info.BgType = btCache;
    if (info.PleaseDraw && info.DC) {
        BlitClipped(info.DC, info.R.Left, info.R.Top, info.R.Width(), info.R.Height(), cache,
                    info.R.Left + info.Offset.X + in.Left, info.R.Top + info.Offset.Y + in.Top);
        return;
    }
    info.Bmp = cache;
    info.Offset = {info.Offset.X + in.Left, info.Offset.Y + in.Top};
}

void TacDialogWnd::ReloadSkin() {
    TsSkinManager* sm = TacMainWnd::SkinManager;
    TacMainWnd::SkinData->UpdateIndexes();
    TacMainWnd::SkinData->CacheStale = true;
    CaptionIndex = sm ? sm->GetSkinIndex("CAPTION") : -1;
    ChooseButtonMasks();
    FreeBrush();
    RegionNeeded = true;
}

// ---- mouse ----

int TacDialogWnd::HitTest(win::POINT screen) {
    const win::HWND h = CtrlHandle;
    win::RECT wr{};
    if (!h || !win::GetWindowRect(h, &wr)) return 0;
    Width = int(wr.right - wr.left), Height = int(wr.bottom - wr.top);
    const TPoint p{int(screen.x - wr.left), int(screen.y - wr.top)};
    if (p.X < 0 || p.Y < 0 || p.X >= Width || p.Y >= Height) return 0;
    if (win::IsZoomed(h) && (p.X < 2 || p.Y < 2 || p.X >= Width - 2 || p.Y >= Height - 2))
        return -1;
    if (DialogCaptionHeight(false) == 0) return 0;
    const Insets in = InsetsOf(h);
    const TPoint o = CacheOrigin();
    if (const int button = ButtonAt({p.X + o.X, p.Y + o.Y})) return button;
    if (p.Y < in.Left || p.Y >= in.Top || p.X < in.Left || p.X >= Width - in.Right) return 0;
    if (IconBitmap && p.X < in.Left + win::GetSystemMetrics(win::SM_CXSMICON))
        return win::HTSYSMENU;
    return win::HTCAPTION;
}

int TacDialogWnd::ButtonAt(TPoint p) {
    LayoutTitleButtons();
    for (TsCaptionButton* b : ShownButtons()) {
        if (!b->Rect.Contains(p)) continue;
        switch (b->HitCode) {
            case win::HTMAXBUTTON:
                return CanMaximizeDialog() || CanRestoreDialog() ? win::HTMAXBUTTON
                                                                 : win::HTCAPTION;
            case win::HTMINBUTTON:
                return win::IsIconic(CtrlHandle) || HasMinimizeBox() ? win::HTMINBUTTON
                                                                     : win::HTCAPTION;
            default:
                return b->HitCode;
        }
    }
    return 0;
}

void TacDialogWnd::Pressed(TMessage& m, int hit) {
    const win::HWND h = CtrlHandle;
    if (hit == win::HTSYSMENU) {
        m.Result = 0;
        DropSystemMenu();
        return;
    }
    if (IsButtonHit(hit)) {
        if (hit != win::HTMAXBUTTON || CanMaximizeDialog() || CanRestoreDialog()) {
            pressed_ = true;
            SetTitleButtonState(hit, 2);
        }
        m.Result = 0;
        return;
    }
    if (win::IsIconic(h)) {
        win::SendMessageA(h, win::WM_SYSCOMMAND, win::SC_MOVE | 2, 0);
        return;
    }
    // A zoomed dialog cannot be moved by its caption: a press there only activates it.
    if (win::IsZoomed(h) && hit == win::HTCAPTION) {
        if (win::GetActiveWindow() != h) win::SetActiveWindow(h);
        m.Result = 0;
        return;
    }
    CallPrevWndProc(m);
}

void TacDialogWnd::DropSystemMenu() {
    const win::HWND h = CtrlHandle;
    SetTitleButtonState(0, 0);
    win::RECT wr{};
    win::GetWindowRect(h, &wr);
    const Insets in = InsetsOf(h);
    SystemMenu->Popup(wr.left + in.Left, wr.top + std::max(in.Top - in.Left, 0) / 2 +
                                             win::GetSystemMetrics(win::SM_CYSMICON));
}

void TacDialogWnd::Released(TMessage& m, int hit) {
    const win::HWND h = CtrlHandle;
    const int pressedButton = HotButton;
    pressed_ = false;
    SetTitleButtonState(0, 0);
    if (!IsButtonHit(hit) || hit != pressedButton) {
        CallPrevWndProc(m);
        return;
    }
    unsigned command = 0;
    switch (hit) {
        case win::HTMINBUTTON:
            command = win::IsIconic(h) ? win::SC_RESTORE : win::SC_MINIMIZE;
            break;
        case win::HTMAXBUTTON:
            command = win::IsZoomed(h) ? win::SC_RESTORE : win::SC_MAXIMIZE;
            break;
        case win::HTCLOSE:
            command = win::SC_CLOSE;
            break;
        default:
            command = win::SC_CONTEXTHELP;
            break;
    }
    m.WParam = 0;
    m.Result = 0;
    win::SendMessageA(h, win::WM_SYSCOMMAND, command, 0);
    if (hit == win::HTMAXBUTTON && !Unhooked) UpdateSystemMenu();
}

// ---- the window procedure ----

void TacDialogWnd::AdapterWindowProc(TMessage& m) {
    if (!Skinned() || Unhooked) {
        TacScrollWnd::AdapterWindowProc(m);
        return;
    }
    const win::HWND h = CtrlHandle;
    TsSkinManager* sm = TacMainWnd::SkinManager;
    TsCommonData* d = TacMainWnd::SkinData;
    switch (m.Msg) {
        case SM_ALPHACMD: {
            const bool mine = m.LParam == reinterpret_cast<intptr_t>(d->SkinManager());
            switch (SkinCommandCode(m.WParam)) {
                case SKC_NEWSKIN:
                    if (mine) ReloadSkin();
                    UpdateExtendedBorders();
                    break;
                case SKC_REMOVESKIN:
                    FreeBrush();
                    FreeBorderForm();
                    break;
                case SKC_REFRESH:
                    if (!mine) break;
                    ReloadSkin();
                    UpdateExtendedBorders();
                    win::RedrawWindow(h, nullptr, nullptr,
                                      win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME |
                                          win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
                    PlaceBorderForm(true);
                    m.Result = 0;
                    return;
                case SKC_REPAINTGRAPHIC:
                    PlaceBorderForm(false);
                    m.Result = 0;
                    return;
                case SKC_SETBGCHANGED:
                    d->BGChanged = SkinCommandFlag(m.WParam);
                    if (d->GetBGChanged()) d->CacheStale = true;
                    break;
                case SKC_ISSEETHROUGH: {
                    const TsGeneralData* s = d->Section();
                    m.Result = s && s->GradientPercent + s->ImagePercent > 0 ? 1 : 0;
                    return;
                }
                case SKC_GETBGCOLOR:
                    m.Result = intptr_t(GetControlBGColor(d, false, h));
                    return;
                case kAttachNewChildren:
                    AttachNewChildren();
                    return;
                case SKC_GETBGINFO:
                    if (m.LParam) AnswerBackgroundInfo(*reinterpret_cast<BackgroundInfo*>(m.LParam));
                    return;
                case SKC_GETCLIENTOFFSET: {
                    const Insets in = InsetsOf(h);
                    m.Result = intptr_t(win::MAKELONG(in.Left, in.Top));
                    return;
                }
                default:
                    break;
            }
            TacScrollWnd::AdapterWindowProc(m);
            return;
        }
        case win::WM_NCHITTEST: {
            const win::POINT p{win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)};
            const int own = HitTest(p);
            if (own == 0 || own == win::HTCAPTION) {
                CallPrevWndProc(m);
                if (!pressed_ && HotButton) SetTitleButtonState(0, 0);
                return;
            }
            m.Result = own;
            if (!pressed_ && IsButtonHit(own) && HotButton != own) SetTitleButtonState(own, 1);
            if (!pressed_ && !IsButtonHit(own) && HotButton) SetTitleButtonState(0, 0);
            return;
        }
        case win::WM_NCLBUTTONDOWN: {
            int hit = int(m.WParam);
            // The border window passes its presses on unanswered: it tests the point itself.
            if (borderForm_ && hit == win::HTTRANSPARENT) {
                TMessage test = m;
                test.Msg = win::WM_NCHITTEST;
                hit = borderForm_->HitTest(test);
            }
            if (borderForm_ && hit == win::HTOBJECT) {
                CallPrevWndProc(m);
                return;
            }
            if (hit != win::HTBOTTOMRIGHT) {
                win::POINT p{win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)};
                const int own = HitTest(p);
                if (own != 0) hit = own;
            }
            m.WParam = win::WPARAM(hit);
            Pressed(m, hit);
            return;
        }
        case win::WM_NCLBUTTONUP:
        case win::WM_LBUTTONUP: {
            if (!pressed_) break;
            win::POINT p{};
            win::GetCursorPos(&p);
            Released(m, HitTest(p));
            return;
        }
        case win::WM_NCLBUTTONDBLCLK: {
            const auto hit = int(m.WParam);
            if (hit == win::HTCAPTION) {
                if (CanMaximizeDialog() || CanRestoreDialog()) {
                    const bool normal = !win::IsZoomed(h) && !win::IsIconic(h);
                    win::SendMessageA(h, win::WM_SYSCOMMAND,
                                      normal ? win::SC_MAXIMIZE : win::SC_RESTORE, 0);
                    if (!Unhooked) UpdateSystemMenu();
                }
                m.Result = 0;
                return;
            }
            if (hit == win::HTSYSMENU) {
                win::SendMessageA(h, win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
                m.Result = 0;
                return;
            }
            break;
        }
        case win::WM_NCRBUTTONDOWN:
            if (m.WParam == win::HTCAPTION || m.WParam == win::HTSYSMENU) {
                m.Result = 0;
                return;
            }
            break;
        case win::WM_NCRBUTTONUP:
            if (m.WParam == win::HTCAPTION || m.WParam == win::HTSYSMENU) {
                SetTitleButtonState(0, 0);
                win::POINT p{};
                win::GetCursorPos(&p);
                SystemMenu->Popup(p.x, p.y);
                m.Result = 0;
                return;
            }
            break;
        case kMouseLeave:
            SetTitleButtonState(0, 0);
            break;
        case win::WM_MOUSEMOVE:
            if (sm && win::IsWindowEnabled(h)) sm->SetActiveControl(h);
            break;
        case win::WM_SETFOCUS:
            CallPrevWndProc(m);
            if (win::HWND active = win::GetActiveWindow())
                win::RedrawWindow(active, nullptr, nullptr,
                                  win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN |
                                      win::RDW_UPDATENOW | win::RDW_FRAME);
            return;
        case win::WM_NCACTIVATE:
            win::SendMessageA(h, win::WM_SETREDRAW, 0, 0);
            CallPrevWndProc(m);
            if (Unhooked) return;
            CaptionActive = win::LOWORD(m.WParam) != 0;
            win::SendMessageA(h, win::WM_SETREDRAW, 1, 0);
            d->CacheStale = true;
            if (win::IsWindowVisible(h)) PaintNonClient();
            PlaceBorderForm(false);
            m.Result = 1;
            return;
        case win::WM_NCPAINT:
            if (!win::IsWindowVisible(h)) break;
            Caption = WindowCaption(h);
            PaintNonClient();
            m.Result = 0;
            return;
        case win::WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 1;
            return;
        case win::WM_PAINT:
            if (!DrawClientSelf) break;
            {
                win::PAINTSTRUCT ps{};
                win::BeginPaint(h, &ps);
                win::EndPaint(h, &ps);
            }
            m.Result = 0;
            return;
        case win::WM_SHOWWINDOW: {
            CallPrevWndProc(m);
            if (Unhooked || !m.WParam || !sm) return;
            const TacFormAnimation& show = sm->AnimEffects()->DialogShow;
            if (show.Active && show.Time != 0) {
                Caption = WindowCaption(h);
                AttachNewChildren();
                ++ShowAnimations;
                AnimShowDialog(this, show.Time, 255, show.Mode);
            }
            return;
        }
        case win::WM_WINDOWPOSCHANGED: {
            const auto* wp = reinterpret_cast<const win::WINDOWPOS*>(m.LParam);
            if (wp && !(wp->flags & win::SWP_NOSIZE)) {
                d->CacheStale = true;
                RegionNeeded = true;
            }
            CallPrevWndProc(m);
            if (Unhooked || !wp || !sm) return;
            const TacFormAnimation& hide = sm->AnimEffects()->DialogHide;
            if ((wp->flags & win::SWP_HIDEWINDOW) && hide.Active && hide.Time != 0) {
                ++HideAnimations;
                AnimHideDialog(this);
            }
            if (wp->flags & win::SWP_HIDEWINDOW) {
                // The borders go from the screen with the dialog.
                if (borderForm_ && borderForm_->Handle())
                    win::ShowWindow(borderForm_->Handle(), win::SW_HIDE);
            } else {
                PlaceBorderForm(false);
            }
            return;
        }
        case win::WM_SIZE:
            d->CacheStale = true;
            RegionNeeded = true;
            CallPrevWndProc(m);
            if (Unhooked) return;
            PlaceBorderForm(false);
            win::RedrawWindow(h, nullptr, nullptr,
                              win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_ERASE |
                                  win::RDW_UPDATENOW);
            return;
        case win::WM_ENABLE:
        case win::WM_SETTEXT:
            CallPrevWndProc(m);
            if (Unhooked) return;
            d->CacheStale = true;
            Caption = WindowCaption(h);
            if (win::IsWindowVisible(h)) PaintNonClient();
            return;
        case win::WM_CTLCOLORDLG:
            m.Result = reinterpret_cast<intptr_t>(BackgroundBrush());
            return;
        case win::WM_CTLCOLORSTATIC: {
            // A static left to paint itself (an icon the platform draws by name) stands on the
            // skin's background, not on the classic face.
            const auto dc = reinterpret_cast<win::HDC>(m.WParam);
            win::SetBkMode(dc, win::TRANSPARENT);
            win::SetBkColor(dc, sm ? sm->GetGlobalColor() : ColorToRGB(clBtnFace));
            m.Result = reinterpret_cast<intptr_t>(BackgroundBrush());
            return;
        }
        case win::WM_DRAWITEM: {
            const auto* dis = reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam);
            if (dis && dis->CtlType == win::ODT_STATIC) win::SetBkMode(dis->hDC, win::TRANSPARENT);
            break;
        }
        case win::WM_GETDLGCODE:
            m.Result = 0;
            return;
        case win::WM_USER + 1:
        case kRescanChildren:
            CallPrevWndProc(m);
            if (Unhooked) return;
            AttachNewChildren();
            if (m.Msg == kRescanChildren)
                win::RedrawWindow(h, nullptr, nullptr,
                                  win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW);
            return;
        case kVisibleChanged:
            TacScrollWnd::AdapterWindowProc(m);
            if (m.WParam == 0 && !Unhooked) FreeTitleButtons();
            return;
        default:
            break;
    }
    // The borders go with the window.
    if (m.Msg == win::WM_DESTROY || m.Msg == win::WM_NCDESTROY) FreeBorderForm();
    TacScrollWnd::AdapterWindowProc(m);
    if (Unhooked) return;
    if (m.Msg == win::WM_MOVE || m.Msg == win::WM_SIZING ||
        (m.Msg == win::WM_WINDOWPOSCHANGING && m.LParam &&
         !(reinterpret_cast<const win::WINDOWPOS*>(m.LParam)->flags & win::SWP_HIDEWINDOW)))
        PlaceBorderForm(false);
    if (m.Msg == win::WM_SYSCOMMAND) {
        const auto command = unsigned(m.WParam & 0xFFF0);
        if (command == win::SC_MAXIMIZE || command == win::SC_RESTORE) SetTitleButtonState(0, 0);
        // Alt+Space: the system opens nothing, the window having no WS_SYSMENU now.
        if (command == win::SC_KEYMENU && m.LParam == ' ' && HasSystemMenu() &&
            DialogCaptionHeight(false) != 0)
            DropSystemMenu();
    }
}

void PrintChildWindows(win::HWND wnd, win::HDC dc) {
    if (!wnd || !dc) return;
    for (win::HWND c = win::GetWindow(wnd, win::GW_CHILD); c;
         c = win::GetWindow(c, win::GW_HWNDNEXT)) {
        win::RECT r{};
        win::GetWindowRect(c, &r);
        win::POINT p{r.left, r.top};
        win::MapWindowPoints(nullptr, wnd, &p, 1);
        const int saved = win::SaveDC(dc);
        win::OffsetViewportOrgEx(dc, p.x, p.y, nullptr);
        const auto style = uint32_t(win::GetWindowLongPtrA(c, win::GWL_STYLE));
        if ((style & win::WS_CHILD) && (style & win::WS_VISIBLE))
            win::SendMessageA(c, win::WM_PRINT, reinterpret_cast<win::WPARAM>(dc), 0);
        PrintChildWindows(c, dc);
        win::RestoreDC(dc, saved);
    }
}

}  // namespace skin
