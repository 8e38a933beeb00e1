// How the skinned frame measures: caption, borders, buttons, menu rows, icon, client offsets,
// and the caption-button masks. The frame cache has the window's own coordinates (extended-border
// margins added), so every measure here is a position in that cache.
#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/user/user.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/provider/system_menu.h"
#include "vcl/controls/menus.h"
#include "vcl/graphics/canvas.h"

namespace skin {

using namespace vcl;

namespace {

// Caption buttons and user buttons measure this much without a mask of their own.
constexpr int kPlainButtonSize = 21;
constexpr int kPlainMDIButtonSize = 16;

uint32_t StyleOf(win::HWND w) {
    return w ? uint32_t(win::GetWindowLongPtrA(w, win::GWL_STYLE)) : 0;
}

// The mask record at `index` of the manager's skin, or null.
const TsMaskData* MaskAt(const TsSkinManager* m, int index) {
    if (m == nullptr || index < 0 || size_t(index) >= m->Skin().Masks.size()) return nullptr;
    return &m->Skin().Masks[size_t(index)];
}

// One state image's width: a mask of its own picture is divided by `ownCount` (its image count
// when 0), one cut from the master by its own frame layout.
int StateWidth(const TsMaskData& m, int ownCount = 0) {
    if (m.Bmp) return m.Bmp->Width() / std::max<int>(ownCount ? ownCount : m.ImageCount, 1);
    return SkinFrameWidth(m);
}
int StateHeight(const TsMaskData& m, int ownCount) {
    if (m.Bmp) return m.Bmp->Height() / ownCount;
    return SkinFrameHeight(m);
}

const TsSkinData* SkinValues() {
    return DefaultManager ? &DefaultManager->SkinData() : nullptr;
}

// The provider of the window a border form belongs to.
TsSkinProvider* OwnerProvider(TacBorderFormBase* borderForm) {
    if (borderForm == nullptr || borderForm->OwnerHandle() == nullptr) return nullptr;
    auto* base = reinterpret_cast<TsSkinProviderBase*>(
        win::SendMessageA(borderForm->OwnerHandle(), SM_ALPHACMD, SkinCommandWParam(4), 0));
    return dynamic_cast<TsSkinProvider*>(base);
}

// The window's rectangle on the screen, or its client rectangle; empty without a window.
win::RECT RectOf(win::HWND w, bool client) {
    win::RECT r{};
    if (w && !(client ? win::GetClientRect(w, &r) : win::GetWindowRect(w, &r))) r = {};
    return r;
}

TOwnerDrawState DrawStateOf(int bits) {
    TOwnerDrawState s;
    for (int i = 0; i <= odComboBoxEdit; ++i)
        if (bits & (1 << i)) s.Include(TOwnerDrawStateItem(i));
    return s;
}

}  // namespace

// ---- the provider's measures ----

win::HWND TsSkinProvider::FormHandle() const {
    return form_ && form_->HandleAllocated() ? form_->Handle() : nullptr;
}

bool TsSkinProvider::FormIconic() const {
    win::HWND w = FormHandle();
    return w ? win::IsIconic(w) != 0 : form_ && form_->WindowState() == wsMinimized;
}

bool TsSkinProvider::FormMaximized() const {
    win::HWND w = FormHandle();
    return w ? win::IsZoomed(w) != 0 : form_ && form_->WindowState() == wsMaximized;
}

TRect TsSkinProvider::GetFrameMargins() const {
    TsSkinManager* m = SkinManager();
    return borderForm_ && m ? m->ShadowMargins : TRect{};
}

int TsSkinProvider::ExtTitleHeight() const {
    return skin::ExtTitleHeight(borderForm_);
}
int TsSkinProvider::ExtBorderWidth() const {
    return skin::ExtBorderWidth(borderForm_);
}
int TsSkinProvider::SysBorderWidth() const {
    return skin::SysBorderWidth(FormHandle(), borderForm_, true);
}
int TsSkinProvider::ExtCaptionExtra() const {
    return skin::ExtCaptionExtra(borderForm_);
}

int TsSkinProvider::CaptionHeight(bool extended) const {
    if (form_ == nullptr) return 0;
    const bool iconic = FormIconic();
    if (!iconic && (!HasBorder() || (StyleOf(FormHandle()) & win::WS_CAPTION) != win::WS_CAPTION))
        return 0;
    const int h = extended ? ExtTitleHeight() : 0;
    const bool tool =
        !iconic && (form_->BorderStyle() == bsToolWindow || form_->BorderStyle() == bsSizeToolWin);
    const int system = win::GetSystemMetrics(tool ? win::SM_CYSMCAPTION : win::SM_CYCAPTION);
    if (CaptionRaised) return std::max(h, system + 4);
    return h == 0 ? system : h;
}

int TsSkinProvider::FullBorderWidth(bool extended) const {
    return skin::SysBorderWidth(FormHandle(), borderForm_, extended) + kFormBorderWidth;
}

int TsSkinProvider::FullBorderWidthNoExt(bool extended) const {
    return SysBorderWidthNoExt(FormHandle(), borderForm_, extended) + kFormBorderWidth;
}

int TsSkinProvider::CaptionAreaHeight() const {
    win::HWND w = FormHandle();
    if (borderForm_) return SysBorderWidthNoExt(w, borderForm_, true) + CaptionHeight(true);
    int d = WndHeight(w) - WndClientHeight(w);
    if (CaptionHeight(true) != 0 || (StyleOf(w) & win::WS_BORDER)) d -= FullBorderWidthNoExt(true);
    d = std::max(d, 0);
    if (FormIconic()) d += SysBorderWidthNoExt(w, borderForm_, false);
    return d;
}

int TsSkinProvider::MenuHeight() const {
    return MenuPresent() ? win::GetSystemMetrics(win::SM_CYMENU) - 1 : 0;
}

bool TsSkinProvider::IconVisible() const {
    return BorderSingleOrSizeable() && showAppIcon_ && FormHandle() &&
           win::GetSystemMenu(FormHandle(), false) != nullptr;
}

int TsSkinProvider::FormWidth() const {
    if (form_ == nullptr) return 0;
    int w = FormIconic() ? WndWidth(FormHandle()) : form_->Width();
    if (!FormIconic() && borderForm_) w += 2 * ExtBorderExtra(borderForm_);
    const TRect m = GetFrameMargins();
    return std::max(w + m.Left + m.Right, 0);
}

bool TsSkinProvider::FrameSizeChanged() const {
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    return cache == nullptr || cache->Width() != FormWidth() ||
           (form_ && cache->Height() != form_->Height());
}

int TsSkinProvider::SysButtonWidth(const TsCaptionButton& button) const {
    const TsMaskData* m = MaskAt(SkinManager(), button.ImageIndex);
    return m ? StateWidth(*m) : kPlainButtonSize;
}

int TsSkinProvider::SysButtonHeight() const {
    const TsMaskData* m = MaskAt(SkinManager(), ButtonClose.ImageIndex);
    return m ? StateHeight(*m, 2) : kPlainButtonSize;
}

int TsSkinProvider::VisibleSysBtnCount() const {
    const std::vector<int> codes = CaptionButtonCodes();
    return int(
        std::count_if(codes.begin(), codes.end(), [](int code) { return code < kHitUserButton; }));
}

int TsSkinProvider::UserButtonWidth(const TsTitleButton& button) const {
    const TBitmap* glyph = button.Glyph();
    const int own = glyph && glyph->Width() > 0 ? glyph->Width() + 2 : 0;
    const TsMaskData* m = MaskAt(SkinManager(), UserButtonMask);
    return std::max(own, m ? StateWidth(*m) : kPlainButtonSize);
}

int TsSkinProvider::ButtonsWidth() const {
    TsSkinManager* manager = SkinManager();
    int r = manager ? manager->SkinData().BIRight : 0;
    const int space = BorderSingleOrSizeable() && manager ? manager->SkinData().BISpace : 0;
    for (int code : CaptionButtonCodes()) {
        if (const TsTitleButton* b = UserButtonOf(code))
            r += UserButtonWidth(*b) + space;
        else
            r += SysButtonWidth(*ElementOf(code)) + (code == win::HTCLOSE ? 0 : space);
    }
    if (titleButtons_->Count() > 0) r += 8;
    return r;
}

int TsSkinProvider::TitleReserveWidth(int maskIndex) const {
    const TsMaskData* m = MaskAt(SkinManager(), maskIndex);
    return (m ? 2 * StateWidth(*m, 9) : 0) + ButtonsWidth();
}

int TsSkinProvider::MDIButtonWidth() const {
    const TsMaskData* m = MaskAt(SkinManager(), MDIClose.ImageIndex);
    if (m == nullptr) return kPlainMDIButtonSize;
    return m->Bmp ? m->Bmp->Width() / 3 : m->R.Width() / std::max<int>(m->ImageCount, 1);
}

int TsSkinProvider::MDIButtonHeight() const {
    const TsMaskData* m = MaskAt(SkinManager(), MDIClose.ImageIndex);
    if (m == nullptr) return kPlainMDIButtonSize;
    return m->Bmp ? m->Bmp->Height() / 2 : m->R.Height() / std::max(m->MaskType + 1, 1);
}

bool TsSkinProvider::MDIChildButtonsVisible() const {
    if (HotMDIChildProvider == nullptr || form_ == nullptr || form_->FormStyle() != fsMDIForm ||
        form_->Menu() == nullptr)
        return false;
    TCustomForm* child = HotMDIChildProvider->Form();
    return child && child->WindowState() == wsMaximized &&
           child->BorderIcons().Contains(biSystemMenu);
}

TPoint TsSkinProvider::GripPos(int gripMask) const {
    const TsMaskData* m = MaskAt(SkinManager(), gripMask);
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    const int w = cache ? cache->Width() : FormWidth();
    const int h = cache ? cache->Height() : (form_ ? form_->Height() : 0);
    const int frame = skin::SysBorderWidth(FormHandle(), borderForm_, true);
    const TRect margins = GetFrameMargins();
    const int mw = m ? SkinFrameWidth(*m) : 0, mh = m ? SkinFrameHeight(*m) : 0;
    return {w - mw - frame - margins.Right - 1, h - mh - frame - margins.Bottom - 1};
}

void TsSkinProvider::SaveButtonsArea(bool wholeHeight) {
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    if (cache == nullptr) return;
    win::HWND wnd = FormHandle();
    const TRect margins = GetFrameMargins();
    const int top = SysBorderWidthNoExt(wnd, borderForm_, true) + CaptionHeight(true) + margins.Top;
    const int w = std::max(
        skin::SysBorderWidth(wnd, borderForm_, true) + ButtonsWidth() + 10 + margins.Right, 0);
    const int h = std::max(top + skin::SysBorderWidth(wnd, borderForm_, false) + MenuHeight(), 0);
    if (!ButtonsAreaBmp) ButtonsAreaBmp = std::make_unique<TBitmap>();
    ButtonsAreaBmp->SetPixelFormat(cache->PixelFormat());
    ButtonsAreaBmp->SetSize(w, h);
    // The strip may begin left of the cache (a form narrower than its buttons): only what both
    // bitmaps hold is copied.
    BlitClipped(ButtonsAreaBmp->Canvas()->Handle(), 0, 0, w, wholeHeight ? h : top, cache,
                FormWidth() - w - 1, 0);
}

void TsSkinProvider::RestoreButtonsArea() {
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    if (!ButtonsAreaBmp || cache == nullptr) return;
    const int w = ButtonsAreaBmp->Width();
    BlitClipped(cache->Canvas()->Handle(), FormWidth() - w - 1, 0, w, ButtonsAreaBmp->Height(),
                ButtonsAreaBmp.get(), 0, 0);
}

void TsSkinProvider::RepaintMenuBarItem(TMenuItem* item, const TRect& rect, int state) {
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    win::HWND wnd = FormHandle();
    if (item == nullptr || cache == nullptr || wnd == nullptr || !MenuBarVisible() ||
        item->Parent() != form_->Menu()->Items())
        return;
    item->AdvancedDrawItem(cache->Canvas(), rect, DrawStateOf(state));
    win::HDC dc = win::GetWindowDC(wnd);
    if (dc == nullptr) return;
    const int saved = win::SaveDC(dc);
    win::BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), cache->Canvas()->Handle(),
                rect.Left, rect.Top, win::SRCCOPY);
    win::RestoreDC(dc, saved);
    win::ReleaseDC(wnd, dc);
}

void TsSkinProvider::SaveTitleBG() {
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    if (cache == nullptr) return;
    const int h = std::max(SysBorderWidthNoExt(FormHandle(), borderForm_, true) +
                               CaptionHeight(true) + GetFrameMargins().Top,
                           0);
    TitleBG = std::make_unique<TBitmap>();
    TitleBG->SetPixelFormat(pf32bit);
    TitleBG->SetSize(cache->Width(), h);
    BlitClipped(TitleBG->Canvas()->Handle(), 0, 0, cache->Width(), h, cache, 0, 0);
}

void TsSkinProvider::LoadTitleButtonMasks() {
    TsSkinManager* m = SkinManager();
    const int global = m ? m->ConstData().IndexGLOBALINFO : -1;
    if (global < 0) return;
    auto mask = [&](const char* name) { return m->GetMaskIndex(global, "GLOBALINFO", name); };
    auto either = [&](const char* name, const char* fallback) {
        const int i = mask(name);
        return i >= 0 ? i : mask(fallback);
    };
    ButtonMin.HitCode = win::HTMINBUTTON;
    ButtonMax.HitCode = win::HTMAXBUTTON;
    ButtonClose.HitCode = win::HTCLOSE;
    ButtonHelp.HitCode = win::HTHELP;
    const bool large = BorderSingleOrSizeable();
    if (large) {
        ButtonMin.ImageIndex = mask("BICONMIN");
        ButtonMax.ImageIndex = mask("BICONMAX");
        const bool withOthers =
            SystemMenu && (SystemMenu->VisibleMax() || SystemMenu->VisibleMin());
        ButtonClose.ImageIndex =
            withOthers ? mask("BICONCLOSE") : either("BICLOSEALONE", "BICONCLOSE");
        ButtonHelp.ImageIndex = mask("BICONHELP");
    } else {
        ButtonClose.ImageIndex = mask("SICONCLOSE");
        ButtonMin.ImageIndex = mask("SICONMIN");
        ButtonMax.ImageIndex = mask("SICONMAX");
        ButtonHelp.ImageIndex = either("SICONHELP", "BICONHELP");
    }
    ButtonMin.LargeGlyph = ButtonMax.LargeGlyph = ButtonClose.LargeGlyph = large;
    ButtonHelp.LargeGlyph = false;
    MDIClose.HitCode = kHitMDIClose;
    MDIMax.HitCode = kHitMDIRestore;
    MDIMin.HitCode = kHitMDIMinimize;
    const bool mdiParent = form_ && form_->FormStyle() == fsMDIForm;
    if (ButtonClose.ImageIndex >= 0) {
        if (mdiParent) {
            MDIMin.ImageIndex = mask("SICONMIN");
            MDIMax.ImageIndex = mask("SICONMAX");
            MDIClose.ImageIndex = mask("SICONCLOSE");
            MDIMin.LargeGlyph = MDIMax.LargeGlyph = MDIClose.LargeGlyph = false;
            if (MDIMin.ImageIndex < 0) {
                MDIMin.ImageIndex = ButtonMin.ImageIndex;
                MDIMax.ImageIndex = ButtonMax.ImageIndex;
                MDIClose.ImageIndex = ButtonClose.ImageIndex;
                MDIMin.LargeGlyph = MDIMax.LargeGlyph = MDIClose.LargeGlyph = true;
            }
        }
    } else {
        ButtonClose.ImageIndex = mask("BICONCLOSE");
        ButtonMin.ImageIndex = mask("BICONMIN");
        ButtonMax.ImageIndex = mask("BICONMAX");
        ButtonHelp.ImageIndex = mask("BICONHELP");
        ButtonMin.LargeGlyph = ButtonMax.LargeGlyph = ButtonClose.LargeGlyph = true;
        ButtonHelp.LargeGlyph = true;
        if (mdiParent) {
            MDIClose.ImageIndex = ButtonClose.ImageIndex;
            MDIMin.ImageIndex = ButtonMin.ImageIndex;
            MDIMax.ImageIndex = ButtonMax.ImageIndex;
            MDIMin.LargeGlyph = MDIMax.LargeGlyph = MDIClose.LargeGlyph = true;
        }
    }
    UserButtonMask = mask("TITLEBUTTON");
}

bool TsSkinProvider::HasBorder() const {
    if (form_ == nullptr) return false;
    return form_->BorderStyle() != bsNone || (StyleOf(FormHandle()) & win::WS_CHILD) ||
           form_->FormStyle() == fsMDIChild;
}

bool TsSkinProvider::BorderSingleOrSizeable() const {
    return form_ && (form_->BorderStyle() == bsSingle || form_->BorderStyle() == bsSizeable);
}

bool TsSkinProvider::MenuPresent() const {
    if (form_ == nullptr || form_->Menu() == nullptr) return false;
    return form_->Menu()->Items()->Count() > 0 && form_->FormStyle() != fsMDIChild &&
           form_->BorderStyle() != bsDialog;
}

bool TsSkinProvider::MenuBarVisible() const {
    if (form_ == nullptr || form_->Menu() == nullptr || form_->BorderStyle() == bsDialog ||
        form_->FormStyle() == fsMDIChild)
        return false;
    const TMenuItem* items = form_->Menu()->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Visible()) return true;
    return false;
}

bool TsSkinProvider::GripVisible() const {
    return GripMode == gmRightBottom && !FormMaximized() &&
           (StyleOf(FormHandle()) & win::WS_THICKFRAME);
}

int TsSkinProvider::TitleIconWidth() const {
    if (!IconVisible()) return 0;
    return titleIcon_->Width > 0 ? titleIcon_->Width : TitleIconSizeFor(CaptionHeight(true));
}

int TsSkinProvider::TitleIconHeight() const {
    if (!IconVisible()) return 0;
    return titleIcon_->Height > 0 ? titleIcon_->Height : TitleIconSizeFor(CaptionHeight(true));
}

TRect TsSkinProvider::IconRect() const {
    TsSkinManager* manager = SkinManager();
    if (manager == nullptr) return {};
    const TsSkinData& skin = manager->SkinData();
    win::HWND wnd = FormHandle();
    const TRect m = GetFrameMargins();
    TRect r;
    r.Left = skin::SysBorderWidth(wnd, borderForm_, true) + skin.BILeft + m.Left;
    r.Right = r.Left + TitleIconWidth();
    const int h = TitleIconHeight();
    r.Top = skin::SysBorderWidth(wnd, borderForm_, false) / 2 + m.Top - 1;
    const int captionBottom =
        SysBorderWidthNoExt(wnd, borderForm_, true) + CaptionHeight(true) + m.Top;
    r.Top += (captionBottom - r.Top - h) / 2;
    if (borderForm_) {
        r.Top += skin.CenterOffset;
        if (FormMaximized() && skin.TitleHeight != skin.MaxHeight)
            r.Top += (skin.TitleHeight - skin.MaxHeight) / 2 - 2;
    }
    r.Bottom = r.Top + h;
    return r;
}

int TsSkinProvider::ClientOffsetX() const {
    if (borderForm_) return FullBorderWidth(true) + GetFrameMargins().Left;
    win::HWND w = FormHandle();
    return (WndWidth(w) - WndClientWidth(w)) / 2;
}

int TsSkinProvider::ClientOffsetY() const {
    if (borderForm_) {
        const int rows = const_cast<TsSkinProvider*>(this)->MenuLineCount();
        return CaptionHeight(true) + rows * MenuHeight() + kFormBorderWidth + GetFrameMargins().Top;
    }
    win::HWND w = FormHandle();
    return WndHeight(w) - WndClientHeight(w) -
           ((StyleOf(w) & win::WS_BORDER) ? FullBorderWidth(true) : 0);
}

int TsSkinProvider::MenuLineCount() {
    if (MenuLineCountCache != -1) return MenuLineCountCache;
    win::HWND w = FormHandle();
    if (w == nullptr || form_->Menu() == nullptr || form_->Menu()->Items()->Count() == 0) return 0;
    win::RECT item{};
    if (!win::GetMenuItemRect(w, win::GetMenu(w), 0, &item)) return 1;
    win::RECT r{};
    win::GetWindowRect(w, &r);
    // The client's top edge on the screen; every menu row but the first adds SM_CYMENU - 1.
    const int clientTop = r.bottom - WndClientHeight(w) - FullBorderWidthNoExt(true);
    const int row = win::GetSystemMetrics(win::SM_CYMENU) - 1;
    MenuLineCountCache =
        item.bottom < clientTop && row > 0 ? 1 + (clientTop - item.bottom) / row : 1;
    return MenuLineCountCache;
}

TPoint TsSkinProvider::FormScreenOrigin() const {
    return ScreenOrigin(false);
}

TPoint TsSkinProvider::CacheScreenOrigin() const {
    return ScreenOrigin(true);
}

TPoint TsSkinProvider::ScreenOrigin(bool ofCache) const {
    win::HWND w = FormHandle();
    if (w == nullptr) return {};
    // An MDI child's frame, and the border window's picture, start the client offsets before
    // the client.
    if (form_->FormStyle() == fsMDIChild || (ofCache && borderForm_)) {
        win::POINT p{0, 0};
        win::ClientToScreen(w, &p);
        return {p.x - ClientOffsetX(), p.y - ClientOffsetY()};
    }
    win::RECT r{};
    win::GetWindowRect(w, &r);
    return {r.left, r.top};
}

// ---- unit-level measures ----

int SysBorderWidth(win::HWND window, TacBorderFormBase* borderForm, bool useExtended) {
    if (useExtended && borderForm) {
        const TsSkinData* skin = SkinValues();
        if (skin && skin->BorderWidth > 0) return skin->BorderWidth;
    }
    const uint32_t style = StyleOf(window);
    if (style & win::WS_THICKFRAME) return win::GetSystemMetrics(win::SM_CXFRAME);
    if (style & win::WS_BORDER) return win::GetSystemMetrics(win::SM_CXFIXEDFRAME);
    return 0;
}

int SysBorderWidthNoExt(win::HWND window, TacBorderFormBase* borderForm, bool useExtended) {
    return borderForm ? 0 : SysBorderWidth(window, borderForm, useExtended);
}

int ExtTitleHeight(TacBorderFormBase* borderForm) {
    const TsSkinData* skin = SkinValues();
    return borderForm && skin ? std::max<int>(skin->TitleHeight, 0) : 0;
}

int ExtBorderWidth(TacBorderFormBase* borderForm) {
    const TsSkinData* skin = SkinValues();
    return borderForm && skin ? std::max<int>(skin->BorderWidth, 0) : 0;
}

int ExtCaptionExtra(TacBorderFormBase* borderForm) {
    const TsSkinProvider* owner = OwnerProvider(borderForm);
    if (owner == nullptr) return 0;
    return owner->CaptionHeight(true) - owner->CaptionHeight(false) -
           SysBorderWidth(borderForm->OwnerHandle(), borderForm, false);
}

int ExtBorderExtra(TacBorderFormBase* borderForm) {
    if (borderForm == nullptr) return 0;
    win::HWND owner = borderForm->OwnerHandle();
    return SysBorderWidth(owner, borderForm, true) - SysBorderWidth(owner, borderForm, false);
}

bool IsWindowSizeable(win::HWND window) {
    return (StyleOf(window) & win::WS_THICKFRAME) != 0;
}

bool IsSingleImageMask(int mask, TsSkinManager* manager) {
    const TsMaskData* m = MaskAt(manager, mask);
    return m == nullptr || m->ImageCount == 1;
}

int TitleIconSizeFor(int captionHeight) {
    if (captionHeight >= -100 && captionHeight <= 8) return 1;
    if (captionHeight >= 9 && captionHeight <= 16) return 8;
    return 16;
}

int WndWidth(win::HWND w) {
    const win::RECT r = RectOf(w, false);
    return r.right - r.left;
}
int WndHeight(win::HWND w) {
    const win::RECT r = RectOf(w, false);
    return r.bottom - r.top;
}
int WndClientWidth(win::HWND w) {
    return RectOf(w, true).right;
}
int WndClientHeight(win::HWND w) {
    return RectOf(w, true).bottom;
}

}  // namespace skin
