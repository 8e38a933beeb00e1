// The combo box adapter: field, frame and drop button from the skin; the dropped list adapted.
#include "skin/windows/scroll/combo_box_wnd.h"

#include <algorithm>
#include <memory>
#include <string>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {

bool ComboBoxDroppedDown = false;

namespace {

constexpr int kFieldInset = 3;

uint32_t ComboKind(win::HWND wnd) {
    return uint32_t(win::GetWindowLongA(wnd, win::GWL_STYLE)) & 3;
}

// The button's section over the cache as it stands, then the "COMBOBOX" arrow centred in it.
void PaintComboButton(vcl::TBitmap* cache, const win::RECT& b, int state, const TsCommonData* data,
                      TsSkinManager* mgr) {
    if (mgr->IsValidSkinIndex(data->SkinIndex)) {
        std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> under(NewBitmapLike(cache));
        win::BitBlt(under->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(),
                    cache->Canvas()->Handle(), 0, 0, win::SRCCOPY);
        PixelView view = ViewOf(under.get());
        PaintMaskWithBorders(data->SkinIndex, "COMBOBTN", MakeCacheInfo(&view, 0, 0), true, state,
                             TRect(b.left, b.top, b.right, b.bottom), {0, 0}, cache, mgr,
                             data->Texture, data->HotTexture);
    }
    const int glyph = mgr->ConstData().ComboGlyph;
    if (!mgr->Skin().IsValidImgIndex(glyph)) return;
    const TsMaskData& mask = mgr->Masks()[size_t(glyph)];
    const int w = SkinFrameWidth(mask), h = SkinFrameHeight(mask);
    const PixelView self = ViewOf(cache);
    CacheInfo over;
    over.Bmp = &self;
    over.Ready = true;
    BlendMaskRegion(cache,
                    {b.left + (b.right - b.left - w) / 2, b.top + (b.bottom - b.top - h) / 2},
                    std::min(state, std::max(1, int(mask.ImageCount)) - 1), 1, mask, over);
}

}  // namespace

TacComboBoxWnd::TacComboBoxWnd() = default;

TacComboBoxWnd::~TacComboBoxWnd() {
    if (ListAdapter) FreeAdapter(ListAdapter);
    DropBrush();
}

void TacComboBoxWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                    const std::string& section, bool flag) {
    ButtonData = std::make_unique<TsCommonData>(nullptr, false);
    TacEditWnd::AttachToWindow(wnd, skinData, manager, section, flag);
    if (SkinManager) ButtonData->SetSkinManager(SkinManager);
    ButtonData->SetSkinSection("COMBOBTN");
}

void TacComboBoxWnd::DropBrush() {
    if (ListBrush) win::DeleteObject(ListBrush);
    ListBrush = nullptr;
}

win::RECT TacComboBoxWnd::ButtonRect() const {
    win::RECT r{};
    win::GetWindowRect(CtrlHandle, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int cx = ComboKind(CtrlHandle) == win::CBS_SIMPLE ? 0 : win::GetSystemMetrics(win::SM_CXVSCROLL);
    const bool left =
        (uint32_t(win::GetWindowLongA(CtrlHandle, win::GWL_EXSTYLE)) & win::WS_EX_LEFTSCROLLBAR) != 0;
    if (left) return win::RECT{2, 2, 2 + cx, h - 2};
    return win::RECT{w - 2 - cx, 2, w - 2, h - 2};
}

int TacComboBoxWnd::ButtonState() const {
    if (win::SendMessageA(CtrlHandle, win::CB_GETDROPPEDSTATE, 0, 0)) return 2;
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (ControlIsActive(SkinData) || (m && m->ActiveControl() == CtrlHandle)) return 1;
    return 0;
}

void TacComboBoxWnd::PrepareCache() {
    if (SkinData == nullptr) return;
    SkinData->CacheStale = true;
    TacEditWnd::PrepareCache();
    vcl::TBitmap* cache = SkinData->CacheBmp();
    TsSkinManager* mgr = SkinData->SkinManager();
    if (cache == nullptr || mgr == nullptr || cache->Width() <= 0 || cache->Height() <= 0) return;
    const win::RECT b = ButtonRect();
    if (b.right > b.left && b.bottom > b.top) PaintComboButton(cache, b, ButtonState(), ButtonData.get(), mgr);
    if (ComboKind(CtrlHandle) == win::CBS_DROPDOWNLIST) PaintText(cache);
}

// A drop-down list shows its chosen item in the field; the other kinds have an edit there.
void TacComboBoxWnd::PaintText(vcl::TBitmap* cache) {
    const intptr_t sel = win::SendMessageA(CtrlHandle, win::CB_GETCURSEL, 0, 0);
    std::string text;
    if (sel >= 0) {
        const intptr_t len = win::SendMessageA(CtrlHandle, win::CB_GETLBTEXTLEN, uintptr_t(sel), 0);
        if (len > 0) {
            text.resize(size_t(len) + 1);
            text.resize(size_t(std::max<intptr_t>(
                0, win::SendMessageA(CtrlHandle, win::CB_GETLBTEXT, uintptr_t(sel),
                                     reinterpret_cast<intptr_t>(text.data())))));
        }
    }
    const win::RECT b = ButtonRect();
    const bool left = b.left < cache->Width() / 2;
    win::RECT r{left ? b.right + 1 : kFieldInset, kFieldInset,
                left ? cache->Width() - kFieldInset : b.left - 1, cache->Height() - kFieldInset};
    if (r.right <= r.left || r.bottom <= r.top) return;
    win::HDC dc = cache->Canvas()->Handle();
    auto font = reinterpret_cast<win::HFONT>(win::SendMessageA(CtrlHandle, win::WM_GETFONT, 0, 0));
    win::HGDIOBJ oldFont = font ? win::SelectObject(dc, font) : nullptr;
    const bool selected = win::GetFocus() == CtrlHandle;
    const TsGeneralData* s = SkinData->Section();
    if (selected) {
        FillRectSolid(dc, r, vcl::TColor(win::GetSysColor(win::COLOR_HIGHLIGHT)));
        win::SetTextColor(dc, win::GetSysColor(win::COLOR_HIGHLIGHTTEXT));
    } else {
        win::SetTextColor(dc, s ? s->FontColor : win::GetSysColor(win::COLOR_WINDOWTEXT));
    }
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    win::RECT t{r.left + 1, r.top, r.right, r.bottom};
    win::DrawTextA(dc, text.c_str(), int(text.size()), &t,
                   win::DT_SINGLELINE | win::DT_VCENTER | win::DT_NOPREFIX | win::DT_END_ELLIPSIS);
    win::SetBkMode(dc, mode);
    if (selected) win::DrawFocusRect(dc, &r);
    if (oldFont) win::SelectObject(dc, oldFont);
}

void TacComboBoxWnd::PaintBox(win::HDC dc) {
    PrepareCache();
    vcl::TBitmap* cache = SkinData->CacheBmp();
    if (dc == nullptr || cache == nullptr || cache->Width() <= 0) return;
    win::BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
                win::SRCCOPY);
}

void TacComboBoxWnd::ListColors(vcl::TMessage& m) {
    auto list = reinterpret_cast<win::HWND>(m.LParam);
    if (ListAdapter && ListAdapter->Unhooked) FreeAdapter(ListAdapter);
    TacMainWnd* present = FindWindowAdapter(list);
    if (ListAdapter == nullptr && win::IsWindow(list) && (present == nullptr || present->Unhooked)) {
        // The list is the combo's own: it is adapted as a dialog's child when the combo is one.
        const bool was = DialogChildMode;
        DialogChildMode = InDialog;
        ListAdapter = TacComboListWnd::CreateForList(
            list, ComboKind(CtrlHandle) == win::CBS_SIMPLE,
            win::SendMessageA(list, win::LB_GETCOUNT, 0, 0) > 0, "EDIT", SkinData->SkinManager());
        DialogChildMode = was;
    }
    const TsGeneralData* s = SkinData->Section();
    const uint32_t back = s ? s->Color : win::GetSysColor(win::COLOR_WINDOW);
    if (auto dc = reinterpret_cast<win::HDC>(m.WParam)) {
        win::SetTextColor(dc, s ? s->FontColor : win::GetSysColor(win::COLOR_WINDOWTEXT));
        win::SetBkColor(dc, back);
    }
    if (ListBrush == nullptr) ListBrush = win::CreateSolidBrush(back);
    m.Result = reinterpret_cast<intptr_t>(ListBrush);
}

void TacComboBoxWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacEditWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case SM_ALPHACMD: {
            const uint16_t code = SkinCommandCode(m.WParam);
            const bool mine = m.LParam == reinterpret_cast<intptr_t>(SkinData->SkinManager());
            if (mine && (code == SKC_NEWSKIN || code == SKC_REMOVESKIN || code == SKC_REFRESH)) {
                // The section's colour may be another now.
                DropBrush();
                if (code != SKC_REMOVESKIN) ButtonData->UpdateIndexes();
            }
            break;
        }
        case win::WM_CTLCOLORLISTBOX:
            ListColors(m);
            return;
        case win::WM_NCCALCSIZE:
            // A combo box's bar style is its list's: the box itself shows no bar.
            CallPrevWndProc(m);
            HBar.Shown = VBar.Shown = false;
            return;
        case win::WM_PAINT: {
            if (SkinData->BGChanged) break;
            win::PAINTSTRUCT ps{};
            win::HDC dc = m.WParam ? reinterpret_cast<win::HDC>(m.WParam)
                                   : win::BeginPaint(CtrlHandle, &ps);
            PaintBox(dc);
            if (m.WParam == 0) win::EndPaint(CtrlHandle, &ps);
            m.Result = 0;
            return;
        }
        case win::WM_ERASEBKGND:
            m.Result = 1;
            return;
        case win::WM_PRINTCLIENT:
            if (m.WParam) PaintBox(reinterpret_cast<win::HDC>(m.WParam));
            return;
        case vcl::CN_COMMAND:
            if (win::HIWORD(m.WParam) == win::CBN_DROPDOWN) ComboBoxDroppedDown = true;
            if (win::HIWORD(m.WParam) == win::CBN_CLOSEUP) ComboBoxDroppedDown = false;
            break;
        default:
            break;
    }
    TacEditWnd::AdapterWindowProc(m);
    if (Unhooked) return;
    if (m.Msg == win::WM_PRINT && m.WParam) PaintBox(reinterpret_cast<win::HDC>(m.WParam));
    if (m.Msg == vcl::CN_COMMAND &&
        (win::HIWORD(m.WParam) == win::CBN_DROPDOWN || win::HIWORD(m.WParam) == win::CBN_CLOSEUP))
        win::InvalidateRect(CtrlHandle, nullptr, win::FALSE);
}

}  // namespace skin
