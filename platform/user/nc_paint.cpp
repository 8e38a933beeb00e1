// Default painting: the classic frame and caption, the class background, WM_PAINT, WM_PRINT.
#include "platform/user/nc_paint.h"

#include <algorithm>
#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/dc_surface.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/font.h"
#include "platform/gdi/frame_draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/region.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/focus.h"
#include "platform/user/frame.h"
#include "platform/user/internal.h"
#include "platform/user/menu_paint.h"
#include "platform/user/menus.h"
#include "platform/user/painting.h"
#include "platform/user/scroll_bar_draw.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_class.h"
#include "platform/user/window_dc.h"

namespace win::detail {
namespace {

// Class brushes may be a system colour index + 1 instead of a brush.
HBRUSH ResolveBrush(HBRUSH b) {
    auto v = reinterpret_cast<uintptr_t>(b);
    if (v > 0 && v <= 31) return GetSysColorBrush(int(v - 1));
    return b;
}

void Fill(HDC dc, RECT r, int color) {
    FillRect(dc, &r, GetSysColorBrush(color));
}

// A raised edge: light on the top and left, dark on the bottom and right.
void RaisedBox(HDC dc, const RECT& r, bool pressed) {
    Fill(dc, r, COLOR_BTNFACE);
    int light = pressed ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT;
    int dark = pressed ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW;
    Fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, light);
    Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, light);
    Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, dark);
    Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, dark);
}

void PaintButtons(HDC dc, const Window* w, const FrameLayout& f, LRESULT pressedHit) {
    DWORD s = w->style;
    UINT max = (s & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
    UINT close = (w->cls->info.style & CS_NOCLOSE) ? DFCS_INACTIVE : 0;
    struct Box {
        const RECT* r;
        LRESULT hit;
        UINT state;
    };
    // A window with only one of the two boxes shows the other one greyed.
    const Box boxes[] = {
        {&f.closeBox, HTCLOSE, DFCS_CAPTIONCLOSE | close},
        {&f.maxBox, HTMAXBUTTON, max | ((s & WS_MAXIMIZEBOX) ? 0 : DFCS_INACTIVE)},
        {&f.minBox, HTMINBUTTON, DFCS_CAPTIONMIN | ((s & WS_MINIMIZEBOX) ? 0 : DFCS_INACTIVE)},
        {&f.helpBox, HTHELP, DFCS_CAPTIONHELP}};
    for (const Box& b : boxes) {
        if (IsRectEmpty(b.r)) continue;
        RECT r = *b.r;
        DrawFrameControl(dc, &r, DFC_CAPTION, b.state | (b.hit == pressedHit ? DFCS_PUSHED : 0));
    }
}

void Text(HDC dc, const std::string& text, RECT r, HFONT font, int color, UINT format) {
    if (text.empty() || font == nullptr || IsRectEmpty(&r)) return;
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(color));
    DrawTextA(dc, text.c_str(), int(text.size()), &r, format | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, old);
}

void PaintCaption(HDC dc, Window* w, const FrameLayout& f, LRESULT pressed) {
    if (IsRectEmpty(&f.caption)) return;
    bool active = w->ncActive;
    Fill(dc, f.caption, active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    // The window's icon, when it was given one (WM_SETICON), at the small size.
    if (HICON icon = w->icons[ICON_SMALL] ? w->icons[ICON_SMALL] : w->icons[ICON_BIG];
        icon && !IsRectEmpty(&f.sysIcon))
        DrawIconEx(dc, f.sysIcon.left, f.sysIcon.top, icon, f.sysIcon.right - f.sysIcon.left,
                   f.sysIcon.bottom - f.sysIcon.top, 0, nullptr, DI_NORMAL);
    RECT text = f.caption;
    text.left = (IsRectEmpty(&f.sysIcon) ? f.caption.left : f.sysIcon.right) + 2;
    for (const RECT* b : {&f.closeBox, &f.maxBox, &f.minBox, &f.helpBox})
        if (!IsRectEmpty(b)) text.right = std::min(text.right, b->left - 2);
    Text(dc, w->text, text, NonClientFont(NcFont::Caption),
         active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT,
         DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    RECT edge{f.caption.left, f.caption.bottom, f.caption.right, f.caption.bottom + 1};
    Fill(dc, edge, COLOR_BTNFACE);
    PaintButtons(dc, w, f, pressed);
}

// The sunken client edge (two pixels) or static edge (one) around the client area and its
// scroll bars.
void PaintEdges(HDC dc, const Window* w, const FrameLayout& f) {
    UINT edge = 0;
    if (w->exStyle & WS_EX_CLIENTEDGE)
        edge |= EDGE_SUNKEN;
    else if (w->exStyle & WS_EX_STATICEDGE)
        edge |= BDR_SUNKENOUTER;
    if (!edge) return;
    RECT r = f.client;
    for (const RECT* part : {&f.vscroll, &f.hscroll})
        if (!IsRectEmpty(part)) UnionRect(&r, &r, part);
    const int e = ((w->exStyle & WS_EX_CLIENTEDGE) ? GetSystemMetrics(SM_CXEDGE) : 0) +
                  ((w->exStyle & WS_EX_STATICEDGE) ? GetSystemMetrics(SM_CXBORDER) : 0);
    InflateRect(&r, e, e);
    DrawEdge(dc, &r, edge, BF_RECT);
}

// Everything outside the client area but the caption.
void PaintFrameBody(HDC dc, Window* w, const FrameLayout& f) {
    const int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
    Fill(dc, RECT{0, 0, width, height}, COLOR_BTNFACE);
    if (f.border > 1) {
        RaisedBox(dc, RECT{0, 0, width, height}, false);
        Fill(dc, RECT{1, 1, width - 1, height - 1}, COLOR_BTNFACE);
    } else if (f.border == 1) {
        RECT all{0, 0, width, height};
        FrameRect(dc, &all, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
    PaintEdges(dc, w, f);
    if (!IsRectEmpty(&f.menuBar)) PaintMenuBarItems(dc, w, f.menuBar);
    PaintFrameScrollBars(dc, w);
}

bool MayPaintFrame(const Window* w) {
    return Paintable(w) && !IsRectEmpty(&w->rect);
}

}  // namespace

void PaintFrame(Window* w, FrameParts parts) {
    if (!MayPaintFrame(w)) return;
    HDC dc = MakeWindowDC(w, true, nullptr);
    if (dc == nullptr) return;
    FrameLayout f = LayoutFrame(w);
    int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
    if (parts == FrameParts::All) {
        // Everything outside the client area, then the details on top.
        HRGN clip = CreateRectRgn(0, 0, width, height);
        HRGN client = CreateRectRgnIndirect(&f.client);
        CombineRgn(clip, clip, client, RGN_DIFF);
        SelectClipRgn(dc, clip);
        DeleteObject(clip);
        DeleteObject(client);
        PaintFrameBody(dc, w, f);
    }
    if (parts == FrameParts::ScrollBars) {
        PaintFrameScrollBars(dc, w);
    } else {
        PaintCaption(dc, w, f, 0);
    }
    DeleteSurfaceDC(dc);
    NoteScreenChange(w, ScreenRect(w));
}

void PaintCaptionButton(Window* w, LRESULT hit, bool pressed) {
    if (!MayPaintFrame(w)) return;
    HDC dc = MakeWindowDC(w, true, nullptr);
    if (dc == nullptr) return;
    FrameLayout f = LayoutFrame(w);
    PaintButtons(dc, w, f, pressed ? hit : 0);
    DeleteSurfaceDC(dc);
    NoteScreenChange(w, ScreenRect(w));
}

LRESULT EraseWithClassBrush(Window* w, WPARAM dc) {
    HBRUSH b = ResolveBrush(w->cls->info.hbrBackground);
    if (b == nullptr || dc == 0) return 0;
    RECT r{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    FillRect(reinterpret_cast<HDC>(dc), &r, b);
    return 1;
}

void DefaultPaint(Window* w) {
    PAINTSTRUCT ps;
    if (BeginPaint(w->handle, &ps)) EndPaint(w->handle, &ps);
}

void DefaultPrint(Window* w, WPARAM dcValue, LPARAM flags) {
    HDC dc = reinterpret_cast<HDC>(dcValue);
    HWND h = w->handle;
    if ((flags & PRF_CHECKVISIBLE) && !IsReallyVisible(w)) return;
    FrameLayout f = LayoutFrame(w);
    if (flags & PRF_NONCLIENT) {
        // The frame as the default paints it, drawn into the caller's DC.
        int saved = SaveDC(dc);
        ExcludeClipRect(dc, f.client.left, f.client.top, f.client.right, f.client.bottom);
        PaintFrameBody(dc, w, f);
        PaintCaption(dc, w, f, 0);
        RestoreDC(dc, saved);
    }
    int saved = SaveDC(dc);
    if (flags & PRF_NONCLIENT) OffsetViewportOrgEx(dc, f.client.left, f.client.top, nullptr);
    IntersectClipRect(dc, 0, 0, f.client.right - f.client.left, f.client.bottom - f.client.top);
    if (flags & PRF_ERASEBKGND) Send(h, WM_ERASEBKGND, dcValue, 0);
    if (Peek(h) && (flags & PRF_CLIENT)) Send(h, WM_PRINTCLIENT, dcValue, flags);
    if (Peek(h) && (flags & PRF_CHILDREN)) {
        std::vector<HWND> kids;
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
            if ((*it)->Visible()) kids.push_back((*it)->handle);
        for (HWND k : kids) {
            Window* c = Peek(k);
            if (c == nullptr) continue;
            int s2 = SaveDC(dc);
            OffsetViewportOrgEx(dc, c->rect.left, c->rect.top, nullptr);
            Send(k, WM_PRINT, dcValue, flags | PRF_NONCLIENT);
            RestoreDC(dc, s2);
        }
    }
    RestoreDC(dc, saved);
}

LRESULT DefaultControlColor(UINT msg, WPARAM dc) {
    HDC d = reinterpret_cast<HDC>(dc);
    bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
    SetTextColor(d, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(d, GetSysColor(window ? COLOR_WINDOW : COLOR_BTNFACE));
    if (msg == WM_CTLCOLORSCROLLBAR)
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(window ? COLOR_WINDOW : COLOR_BTNFACE));
}

}  // namespace win::detail
