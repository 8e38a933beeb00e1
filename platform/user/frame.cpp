// Non-client layout and the default hit test.
#include "platform/user/frame.h"

#include <algorithm>

#include "platform/user/internal.h"
#include "platform/user/menus.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_region.h"

namespace win::detail {
namespace {

bool HasCaption(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

int CaptionHeight(DWORD style, DWORD exStyle) {
    if (!HasCaption(style)) return 0;
    return GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

int EdgeWidth(DWORD exStyle) {
    int e = 0;
    if (exStyle & WS_EX_CLIENTEDGE) e += GetSystemMetrics(SM_CXEDGE);
    if (exStyle & WS_EX_STATICEDGE) e += GetSystemMetrics(SM_CXBORDER);
    return e;
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace

int FrameBorder(DWORD style, DWORD exStyle) {
    if (style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
    if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        return GetSystemMetrics(SM_CXFIXEDFRAME);
    if (style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
    return 0;
}

RECT FrameInsets(DWORD style, DWORD exStyle, int menuRows) {
    int b = FrameBorder(style, exStyle) + EdgeWidth(exStyle);
    RECT in{b, b, b, b};
    in.top += CaptionHeight(style, exStyle) + MenuBarHeight(menuRows);
    if (style & WS_VSCROLL) {
        (exStyle & WS_EX_LEFTSCROLLBAR ? in.left : in.right) += GetSystemMetrics(SM_CXVSCROLL);
    }
    if (style & WS_HSCROLL) in.bottom += GetSystemMetrics(SM_CYHSCROLL);
    return in;
}

FrameLayout LayoutFrameFromStyles(const Window* w) {
    FrameLayout f;
    int width = w->rect.right - w->rect.left;
    int height = w->rect.bottom - w->rect.top;
    DWORD style = w->style, ex = w->exStyle;
    f.border = FrameBorder(style, ex);
    int b = f.border;
    int top = b;
    if (int ch = CaptionHeight(style, ex); ch > 0) {
        f.caption = RECT{b, b, width - b, b + ch - 1};  // the last row is the caption's edge
        bool tool = (ex & WS_EX_TOOLWINDOW) != 0;
        int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
        int bh = GetSystemMetrics(tool ? SM_CYSMSIZE : SM_CYSIZE) - 4;
        int by = b + 2;
        int right = width - b - 2;
        if (style & WS_SYSMENU) {
            f.closeBox = RECT{right - bw, by, right, by + bh};
            right = f.closeBox.left - 2;
            if (!tool && (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
                f.maxBox = RECT{right - bw, by, right, by + bh};
                f.minBox = RECT{f.maxBox.left - bw, by, f.maxBox.left, by + bh};
                right = f.minBox.left - 2;
            } else if (!tool && (ex & WS_EX_CONTEXTHELP)) {
                f.helpBox = RECT{right - bw, by, right, by + bh};
                right = f.helpBox.left - 2;
            }
            if (!tool) {
                int icon = GetSystemMetrics(SM_CXSMICON);
                int iy = b + (ch - 1 - icon) / 2;
                f.sysIcon = RECT{b + 2, iy, b + 2 + icon, iy + icon};
            }
        }
        top += ch;
    }
    if (w->IsTopLevel() || !w->IsChild()) {
        int rows = MenuBarRows(w->handle, width);
        if (rows > 0) {
            f.menuBar = RECT{b, top, width - b, top + MenuBarHeight(rows)};
            top = f.menuBar.bottom;
        }
    }
    int e = EdgeWidth(ex);
    RECT inner{b + e, top + e, width - b - e, height - b - e};
    if (style & WS_MINIMIZE) {
        f.client = RECT{inner.left, inner.top, inner.left, inner.top};
        return f;
    }
    if (style & WS_HSCROLL) {
        int h = GetSystemMetrics(SM_CYHSCROLL);
        f.hscroll = RECT{inner.left, inner.bottom - h, inner.right, inner.bottom};
        inner.bottom -= h;
    }
    if (style & WS_VSCROLL) {
        int v = GetSystemMetrics(SM_CXVSCROLL);
        if (ex & WS_EX_LEFTSCROLLBAR) {
            f.vscroll = RECT{inner.left, inner.top, inner.left + v, inner.bottom};
            inner.left += v;
            if (style & WS_HSCROLL) f.hscroll.left += v;
        } else {
            f.vscroll = RECT{inner.right - v, inner.top, inner.right, inner.bottom};
            inner.right -= v;
            if (style & WS_HSCROLL) f.hscroll.right -= v;
        }
        if (style & WS_HSCROLL) {
            f.sizeBox = RECT{f.vscroll.left, f.hscroll.top, f.vscroll.right, f.hscroll.bottom};
        }
    }
    inner.right = std::max(inner.right, inner.left);
    inner.bottom = std::max(inner.bottom, inner.top);
    f.client = inner;
    return f;
}

FrameLayout LayoutFrame(const Window* w) {
    FrameLayout f = LayoutFrameFromStyles(w);
    if (w->style & WS_MINIMIZE) return f;
    // The area the frame leaves inside its border and client edge: where the styles would put
    // the client and its bars. A bar never covers the border.
    RECT inner{f.client.left, f.client.top, f.client.right, f.client.bottom};
    if (!IsEmpty(f.vscroll)) {
        inner.left = std::min(inner.left, f.vscroll.left);
        inner.right = std::max(inner.right, f.vscroll.right);
    }
    if (!IsEmpty(f.hscroll)) inner.bottom = std::max(inner.bottom, f.hscroll.bottom);
    RECT c = w->client;
    OffsetRect(&c, -w->rect.left, -w->rect.top);
    c.right = std::max(c.right, c.left);
    c.bottom = std::max(c.bottom, c.top);
    f.client = c;
    f.vscroll = f.hscroll = f.sizeBox = RECT{};
    DWORD style = w->style;
    if (style & WS_VSCROLL) {
        int v = GetSystemMetrics(SM_CXVSCROLL);
        f.vscroll = (w->exStyle & WS_EX_LEFTSCROLLBAR)
                        ? RECT{c.left - v, c.top, c.left, c.bottom}
                        : RECT{c.right, c.top, c.right + v, c.bottom};
        IntersectRect(&f.vscroll, &f.vscroll, &inner);
    }
    if (style & WS_HSCROLL) {
        int h = GetSystemMetrics(SM_CYHSCROLL);
        f.hscroll = RECT{c.left, c.bottom, c.right, c.bottom + h};
        IntersectRect(&f.hscroll, &f.hscroll, &inner);
    }
    if (!IsEmpty(f.vscroll) && !IsEmpty(f.hscroll)) {
        f.sizeBox = RECT{f.vscroll.left, f.hscroll.top, f.vscroll.right, f.hscroll.bottom};
        IntersectRect(&f.sizeBox, &f.sizeBox, &inner);
    }
    return f;
}

RECT DefaultClientRect(const Window* w, const RECT& windowRect) {
    // Lay out a copy placed at the proposed rectangle.
    Window probe;
    probe.handle = w->handle;
    probe.style = w->style;
    probe.exStyle = w->exStyle;
    probe.parent = w->parent;
    probe.rect = windowRect;
    FrameLayout f = LayoutFrameFromStyles(&probe);
    probe.parent = nullptr;
    RECT c = f.client;
    OffsetRect(&c, windowRect.left, windowRect.top);
    return c;
}

LRESULT DefaultHitTest(Window* w, POINT screen) {
    RECT wr = ScreenRect(w);
    if (!PtInRect(&wr, screen)) return HTNOWHERE;
    POINT p{screen.x - wr.left, screen.y - wr.top};
    if (!PointInWindowRegion(w, p)) return HTNOWHERE;
    if (w->style & WS_MINIMIZE) return HTCAPTION;
    FrameLayout f = LayoutFrame(w);
    if (PtInRect(&f.client, p)) return HTCLIENT;
    int width = wr.right - wr.left, height = wr.bottom - wr.top;
    int b = f.border;
    if (b > 0 && (p.x < b || p.y < b || p.x >= width - b || p.y >= height - b)) {
        if (!(w->style & WS_THICKFRAME) || (w->style & WS_MAXIMIZE)) return HTBORDER;
        int corner = b + GetSystemMetrics(SM_CXSIZE);
        bool left = p.x < corner, right = p.x >= width - corner;
        bool topEdge = p.y < corner, bottomEdge = p.y >= height - corner;
        if (p.y < b) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (p.y >= height - b) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (p.x < b) return topEdge ? HTTOPLEFT : bottomEdge ? HTBOTTOMLEFT : HTLEFT;
        return topEdge ? HTTOPRIGHT : bottomEdge ? HTBOTTOMRIGHT : HTRIGHT;
    }
    RECT captionBand = f.caption;
    if (!IsEmpty(captionBand)) captionBand.bottom += 1;
    if (PtInRect(&captionBand, p)) {
        if (PtInRect(&f.closeBox, p)) return HTCLOSE;
        if (PtInRect(&f.maxBox, p)) return (w->style & WS_MAXIMIZEBOX) ? HTMAXBUTTON : HTCAPTION;
        if (PtInRect(&f.minBox, p)) return (w->style & WS_MINIMIZEBOX) ? HTMINBUTTON : HTCAPTION;
        if (PtInRect(&f.helpBox, p)) return HTHELP;
        if (PtInRect(&f.sysIcon, p)) return HTSYSMENU;
        return HTCAPTION;
    }
    if (PtInRect(&f.menuBar, p)) return HTMENU;
    if (PtInRect(&f.vscroll, p)) return HTVSCROLL;
    if (PtInRect(&f.hscroll, p)) return HTHSCROLL;
    if (PtInRect(&f.sizeBox, p)) {
        bool sizable = (w->style & WS_THICKFRAME) && !(w->style & WS_MAXIMIZE);
        return sizable ? ((w->exStyle & WS_EX_LEFTSCROLLBAR) ? HTBOTTOMLEFT : HTBOTTOMRIGHT)
                       : HTBORDER;
    }
    return HTBORDER;  // the client edge
}

}  // namespace win::detail
