// Classic menu item painting and the owner-draw requests.
#include "platform/user/menu_paint.h"

#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dc_surface.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/font.h"
#include "platform/gdi/frame_draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/focus.h"
#include "platform/user/frame.h"
#include "platform/user/internal.h"
#include "platform/user/menu_layout.h"
#include "platform/user/painting.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_dc.h"

namespace win::detail {
namespace {

void Fill(HDC dc, const RECT& r, int color) {
    FillRect(dc, &r, GetSysColorBrush(color));
}

UINT OwnerDrawState(const Menu* m, const MenuItem& it) {
    UINT s = 0;
    if (it.state & MFS_HILITE) s |= ODS_SELECTED;
    if (it.state & MF_GRAYED) s |= ODS_GRAYED;
    if (it.state & MF_DISABLED) s |= ODS_DISABLED;
    if (it.state & MFS_CHECKED) s |= ODS_CHECKED;
    if (it.state & MFS_DEFAULT) s |= ODS_DEFAULT;
    if (m->noAccel) s |= ODS_NOACCEL;
    return s;
}

void AskOwnerToDraw(HWND owner, Menu* m, const MenuItem& it, HDC dc, const RECT& r, UINT action,
                    UINT extraState) {
    if (owner == nullptr || Peek(owner) == nullptr) return;
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_MENU;
    dis.itemID = it.id;
    dis.itemAction = action;
    dis.itemState = OwnerDrawState(m, it) | extraState;
    dis.hwndItem = reinterpret_cast<HWND>(m->handle);
    dis.hDC = dc;
    dis.rcItem = r;
    dis.itemData = it.data;
    int saved = SaveDC(dc);
    Send(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    RestoreDC(dc, saved);
}

// A label with its "&" marks; disabled labels are embossed unless highlighted.
void Label(HDC dc, std::string_view text, RECT r, UINT format, bool bold, int color,
           bool embossed) {
    if (text.empty()) return;
    HGDIOBJ old = SelectObject(dc, NonClientFont(bold ? NcFont::MenuBold : NcFont::Menu));
    SetBkMode(dc, TRANSPARENT);
    std::string s(text);
    format |= DT_SINGLELINE | DT_VCENTER;
    if (embossed) {
        RECT shadow = r;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, s.c_str(), int(s.size()), &shadow, format);
        color = COLOR_BTNSHADOW;
    }
    SetTextColor(dc, GetSysColor(color));
    DrawTextA(dc, s.c_str(), int(s.size()), &r, format);
    SelectObject(dc, old);
}

// A square of the check-mark size centred in `area`.
RECT MarkBox(const RECT& area) {
    int size = GetSystemMetrics(SM_CXMENUCHECK);
    int x = area.left + (area.right - area.left - size) / 2;
    int y = area.top + (area.bottom - area.top - size) / 2;
    return RECT{x, y, x + size, y + size};
}

// A check mark or arrow; on a highlighted item in the highlight text colour, which the frame
// control does not offer, so it is drawn aside and its coverage used as ink.
void Mark(HDC dc, RECT box, UINT kind, bool highlighted) {
    if (!highlighted) {
        DrawFrameControl(dc, &box, DFC_MENU, kind);
        return;
    }
    int w = box.right - box.left, h = box.bottom - box.top;
    HBITMAP aside = CreateCompatibleBitmap(nullptr, w, h);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, aside);
    RECT all{0, 0, w, h};
    FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawFrameControl(mem, &all, DFC_MENU, kind);
    SelectObject(mem, old);
    DeleteDC(mem);
    BitmapView v;
    if (GetBitmapView(aside, &v) && v.bitsPerPixel == 32) {
        COLORREF back = GetSysColor(COLOR_HIGHLIGHT), ink = GetSysColor(COLOR_HIGHLIGHTTEXT);
        auto mix = [](int a, int b, int t) { return BYTE((a * (255 - t) + b * t + 127) / 255); };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const BYTE* p = v.Row(y) + x * 4;
                int cover = 255 - (p[0] + p[1] + p[2]) / 3;
                if (cover <= 0) continue;
                SetPixelV(dc, box.left + x, box.top + y,
                          RGB(mix(GetRValue(back), GetRValue(ink), cover),
                              mix(GetGValue(back), GetGValue(ink), cover),
                              mix(GetBValue(back), GetBValue(ink), cover)));
            }
    }
    DeleteObject(aside);
}

void DrawBitmap(HDC dc, HBITMAP b, int x, const RECT& r) {
    BitmapView v;
    if (b == nullptr || !GetBitmapView(b, &v)) return;
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, b);
    BitBlt(dc, x, r.top + (r.bottom - r.top - v.height) / 2, v.width, v.height, src, 0, 0, SRCCOPY);
    SelectObject(src, old);
    DeleteDC(src);
}

}  // namespace

void PaintPopupItem(HDC dc, Menu* m, size_t index, UINT action) {
    if (m == nullptr || index >= m->items.size()) return;
    const MenuItem& it = m->items[index];
    RECT r = it.rect;
    if (IsOwnerDrawn(it)) {
        AskOwnerToDraw(m->owner, m, it, dc, r, action, 0);
        return;
    }
    bool selected = (it.state & MFS_HILITE) != 0;
    Fill(dc, r, selected && !IsSeparator(it) ? COLOR_HIGHLIGHT : COLOR_MENU);
    if (IsSeparator(it)) {
        int y = r.top + (r.bottom - r.top) / 2 - 1;
        Fill(dc, RECT{r.left + 1, y, r.right - 1, y + 1}, COLOR_BTNSHADOW);
        Fill(dc, RECT{r.left + 1, y + 1, r.right - 1, y + 2}, COLOR_BTNHIGHLIGHT);
        return;
    }
    const PopupMetrics pm = GetPopupMetrics();
    bool disabled = IsDisabled(it);
    int color = selected ? COLOR_HIGHLIGHTTEXT : disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT;
    bool embossed = disabled && !selected;
    if (it.state & MFS_CHECKED) {
        RECT box = MarkBox(RECT{r.left, r.top, r.left + pm.checkColumn, r.bottom});
        Mark(dc, box, (it.type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK, selected);
    }
    if (it.sub) {
        RECT box = MarkBox(RECT{r.right - pm.arrowColumn, r.top, r.right, r.bottom});
        Mark(dc, box, DFCS_MENUARROW, selected);
    }
    if (it.type & MFT_BITMAP) {
        DrawBitmap(dc, it.bitmap, r.left + pm.checkColumn, r);
        return;
    }
    RECT text{r.left + pm.checkColumn, r.top, r.right - pm.arrowColumn, r.bottom};
    bool bold = (it.state & MFS_DEFAULT) != 0;
    UINT hide = m->noAccel ? DT_HIDEPREFIX : 0;
    Label(dc, ItemLabel(it), text, DT_LEFT | hide, bold, color, embossed);
    Label(dc, ItemShortcut(it), text, DT_RIGHT | DT_NOPREFIX, bold, color, embossed);
}

void RedrawPopupItem(Menu* m, size_t index) {
    if (m == nullptr || Peek(m->window) == nullptr) return;
    HWND h = m->window;
    HDC dc = GetDC(h);
    if (dc == nullptr) return;
    PaintPopupItem(dc, m, index, ODA_SELECT);
    ReleaseDC(h, dc);
}

namespace {

// One item of the bar. An owner-drawn item is left to its owner alone (a skinned band behind
// it stays); `ownBackground` fills a classic item's rectangle first.
void PaintBarItem(HDC dc, Window* w, Menu* m, size_t i, const RECT& bar, UINT action,
                  bool ownBackground) {
    const MenuItem& it = m->items[i];
    RECT r = it.rect;
    OffsetRect(&r, bar.left, bar.top);
    bool selected = (it.state & MFS_HILITE) != 0;
    if (IsOwnerDrawn(it)) {
        bool inactive = w->handle != GetActiveWindow();
        UINT extra = (selected ? ODS_HOTLIGHT : 0) | (inactive ? ODS_INACTIVE : 0);
        AskOwnerToDraw(w->handle, m, it, dc, r, action, extra);
        return;
    }
    if (ownBackground) Fill(dc, r, COLOR_MENU);
    if (IsSeparator(it)) return;
    if (selected) {
        // Pressed while its pop-up is open, raised while only selected from the keyboard.
        Menu* sub = FindMenu(it.sub);
        RECT edge = r;
        DrawEdge(dc, &edge, sub && sub->window ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    if (it.type & MFT_BITMAP) {
        DrawBitmap(dc, it.bitmap, r.left + 6, r);
        return;
    }
    bool disabled = IsDisabled(it);
    Label(dc, ItemLabel(it), r, DT_CENTER | (m->noAccel ? DT_HIDEPREFIX : 0),
          (it.state & MFS_DEFAULT) != 0, disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT, disabled);
}

}  // namespace

void PaintMenuBarItems(HDC dc, Window* w, const RECT& bar) {
    Fill(dc, bar, COLOR_MENU);
    Menu* m = FindMenu(w->menu);
    if (m == nullptr) return;
    for (size_t i = 0; i < m->items.size(); ++i)
        PaintBarItem(dc, w, m, i, bar, ODA_DRAWENTIRE, false);
}

void RedrawMenuBarItems(Window* w, const std::vector<size_t>& items) {
    Menu* m = w ? FindMenu(w->menu) : nullptr;
    if (m == nullptr || items.empty() || !Paintable(w)) return;
    FrameLayout f = LayoutFrame(w);
    if (IsRectEmpty(&f.menuBar)) return;
    HDC dc = MakeWindowDC(w, true, nullptr);
    if (dc == nullptr) return;
    IntersectClipRect(dc, f.menuBar.left, f.menuBar.top, f.menuBar.right, f.menuBar.bottom);
    HWND h = w->handle;
    for (size_t i : items) {
        // The owner may change the menu or go while it draws.
        if (Peek(h) != w || (m = FindMenu(w->menu)) == nullptr) break;
        if (i < m->items.size()) PaintBarItem(dc, w, m, i, f.menuBar, ODA_SELECT, true);
    }
    DeleteSurfaceDC(dc);
    if (Peek(h) == w) NoteScreenChange(w, ScreenRect(w));
}

}  // namespace win::detail
