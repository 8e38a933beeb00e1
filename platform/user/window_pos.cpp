// SetWindowPos, the z-order rules, the show states and the coordinate queries.
#include "platform/user/window_pos.h"

#include <algorithm>

#include "platform/user/frame.h"
#include "platform/user/internal.h"
#include "platform/user/painting.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_tree.h"

namespace win {

using detail::Find;
using detail::Peek;
using detail::Send;
using detail::Window;

namespace {

bool Topmost(const Window* w) {
    return (w->exStyle & WS_EX_TOPMOST) != 0;
}

size_t FirstNonTopmost(const Window* parent) {
    auto& c = parent->children;
    size_t i = 0;
    while (i < c.size() && Topmost(c[i]))
        ++i;
    return i;
}

// Windows owned by `owner`, directly or through other owned windows, front to back.
std::vector<Window*> OwnedBy(const Window* owner) {
    std::vector<Window*> out;
    std::vector<const Window*> owners{owner};
    for (Window* t : detail::Desktop()->children) {
        if (t == owner || t->owner == nullptr) continue;
        for (Window* o = Peek(t->owner); o != nullptr; o = o->owner ? Peek(o->owner) : nullptr) {
            if (o == owner) {
                out.push_back(t);
                break;
            }
            if (o->owner == o->handle) break;
        }
    }
    return out;
}

// Moves a top-level window to its place for `after`, then keeps owned windows above owners.
void PlaceTopLevel(Window* w, HWND after, bool ownerOrder) {
    Window* desk = w->parent;
    detail::Unlink(w);
    size_t index;
    if (after == HWND_TOPMOST) {
        w->exStyle |= WS_EX_TOPMOST;
        index = 0;
    } else if (after == HWND_NOTOPMOST) {
        w->exStyle &= ~WS_EX_TOPMOST;
        index = FirstNonTopmost(desk);
    } else if (after == HWND_BOTTOM) {
        w->exStyle &= ~WS_EX_TOPMOST;
        index = desk->children.size();
    } else if (after == HWND_TOP) {
        index = Topmost(w) ? 0 : FirstNonTopmost(desk);
    } else {
        Window* a = Peek(after);
        index = (a && a->parent == desk) ? detail::IndexOf(a) + 1 : 0;
        size_t band = FirstNonTopmost(desk);
        index = Topmost(w) ? std::min(index, band) : std::max(index, band);
    }
    // An owned window never goes below its owner.
    if (Window* o = w->owner ? Peek(w->owner) : nullptr; o && o->parent == desk) {
        index = std::min(index, detail::IndexOf(o));
        if (Topmost(o)) w->exStyle |= WS_EX_TOPMOST;
    }
    detail::LinkAt(desk, w, index);
    if (!ownerOrder) return;
    auto owned = OwnedBy(w);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        Window* o = *it;
        detail::Unlink(o);
        if (Topmost(w)) o->exStyle |= WS_EX_TOPMOST;
        detail::LinkAt(desk, o, detail::IndexOf(w));
    }
}

void PlaceChild(Window* w, HWND after) {
    Window* p = w->parent;
    detail::Unlink(w);
    size_t index = 0;
    if (after == HWND_BOTTOM) {
        index = p->children.size();
    } else if (after != HWND_TOP && after != HWND_TOPMOST && after != HWND_NOTOPMOST) {
        Window* a = Peek(after);
        index = (a && a->parent == p) ? detail::IndexOf(a) + 1 : 0;
    }
    detail::LinkAt(p, w, index);
}

void PlaceInZOrder(Window* w, HWND after, UINT flags) {
    if (w->IsTopLevel())
        PlaceTopLevel(w, after, !(flags & SWP_NOOWNERZORDER));
    else
        PlaceChild(w, after);
}

}  // namespace

namespace detail {

void LinkNewWindow(Window* parent, Window* w) {
    w->parent = parent;
    parent->children.insert(parent->children.begin(), w);
    PlaceInZOrder(w, HWND_TOP, 0);
}

void RaiseWithoutMessages(Window* top) {
    if (!top->IsTopLevel() || top->parent->children.front() == top) return;
    RECT before = ScreenRect(top);
    PlaceTopLevel(top, HWND_TOP, true);
    NoteScreenChange(top, before);
}

MINMAXINFO MinMaxInfo(Window* w) {
    MINMAXINFO mmi;
    int border = detail::FrameBorder(w->style, w->exStyle);
    if (w->IsChild() && w->parent) {
        RECT pc = w->parent->client;
        mmi.ptMaxSize = POINT{pc.right - pc.left + 2 * border, pc.bottom - pc.top + 2 * border};
        mmi.ptMaxPosition = POINT{-border, -border};
    } else {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        mmi.ptMaxSize =
            POINT{work.right - work.left + 2 * border, work.bottom - work.top + 2 * border};
        mmi.ptMaxPosition = POINT{work.left - border, work.top - border};
    }
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    Send(w->handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
}

BOOL PositionWindow(Window* w, HWND after, int x, int y, int cx, int cy, UINT flags) {
    HWND h = w->handle;
    bool wasVisible = w->Visible();
    WINDOWPOS wp{h, after, x, y, std::max(cx, 0), std::max(cy, 0), flags};
    if (wasVisible) wp.flags &= ~SWP_SHOWWINDOW;
    if (!wasVisible) wp.flags &= ~SWP_HIDEWINDOW;
    if (wp.flags & SWP_NOMOVE) {
        wp.x = w->rect.left;
        wp.y = w->rect.top;
    }
    if (wp.flags & SWP_NOSIZE) {
        wp.cx = w->rect.right - w->rect.left;
        wp.cy = w->rect.bottom - w->rect.top;
    }
    if (!(wp.flags & SWP_NOSENDCHANGING)) {
        Send(h, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        if (!Peek(h)) return FALSE;
    }
    RECT oldRect = w->rect;
    RECT oldClient = w->client;
    RECT oldScreen = ScreenRect(w);
    RECT newRect = oldRect;
    if (!(wp.flags & SWP_NOMOVE)) OffsetRect(&newRect, wp.x - oldRect.left, wp.y - oldRect.top);
    if (!(wp.flags & SWP_NOSIZE)) {
        newRect.right = newRect.left + std::max(wp.cx, 0);
        newRect.bottom = newRect.top + std::max(wp.cy, 0);
    }
    bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
    bool resized = newRect.right - newRect.left != oldRect.right - oldRect.left ||
                   newRect.bottom - newRect.top != oldRect.bottom - oldRect.top;
    RECT newClient = oldClient;
    if (moved || resized || (wp.flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS p;
        p.rgrc[0] = newRect;
        p.rgrc[1] = oldRect;
        p.rgrc[2] = oldClient;
        p.lppos = &wp;
        w->rect = newRect;
        Send(h, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
        if (!Peek(h)) return FALSE;
        newClient = p.rgrc[0];
    }
    w->rect = newRect;
    w->client = newClient;
    if (!(wp.flags & SWP_NOZORDER)) PlaceInZOrder(w, wp.hwndInsertAfter, wp.flags);
    if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (wp.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;

    UINT done = wp.flags;
    if (!moved) done |= SWP_NOMOVE;
    if (!resized) done |= SWP_NOSIZE;
    if (newClient.right - newClient.left == oldClient.right - oldClient.left &&
        newClient.bottom - newClient.top == oldClient.bottom - oldClient.top)
        done |= SWP_NOCLIENTSIZE;
    if (newClient.left == oldClient.left && newClient.top == oldClient.top)
        done |= SWP_NOCLIENTMOVE;
    WindowGeometryChanged(w, oldScreen, wasVisible, done);

    if (wp.flags & SWP_HIDEWINDOW) ActivateNextAfter(w);
    if (!Peek(h)) return FALSE;
    if (w->IsTopLevel() && w->Visible() && !(wp.flags & SWP_NOACTIVATE) &&
        !(w->exStyle & WS_EX_NOACTIVATE) &&
        (!(wp.flags & SWP_NOZORDER) || (wp.flags & SWP_SHOWWINDOW)))
        Activate(w, WA_ACTIVE, false);
    if (!Peek(h)) return FALSE;

    WINDOWPOS changed{h,           wp.hwndInsertAfter,           w->rect.left,
                      w->rect.top, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top,
                      done};
    Send(h, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&changed));
    return TRUE;
}

void SetShowState(Window* w, int cmd, bool show) {
    HWND h = w->handle;
    bool minimized = (w->style & WS_MINIMIZE) != 0;
    bool maximized = (w->style & WS_MAXIMIZE) != 0;
    UINT flags = SWP_FRAMECHANGED | SWP_STATECHANGED | SWP_NOCOPYBITS;
    RECT target = w->rect;
    bool activate = true;
    switch (cmd) {
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
        case SW_FORCEMINIMIZE: {
            if (!minimized && !maximized) w->normalRect = w->rect;
            if (!minimized) w->restoreToMaximized = maximized;
            w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
            int cw = GetSystemMetrics(SM_CXMINIMIZED), ch = GetSystemMetrics(SM_CYMINIMIZED);
            POINT p = w->minPos;
            if (p.x == -1 && p.y == -1) {
                RECT area;
                if (w->IsChild()) {
                    area = RECT{0, 0, w->parent->client.right - w->parent->client.left,
                                w->parent->client.bottom - w->parent->client.top};
                } else {
                    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
                }
                p = POINT{area.left, area.bottom - ch};
            }
            target = RECT{p.x, p.y, p.x + cw, p.y + ch};
            activate = cmd == SW_SHOWMINIMIZED;
            break;
        }
        case SW_MAXIMIZE: {
            MINMAXINFO mmi = MinMaxInfo(w);
            if (!Peek(h)) return;
            if (!minimized && !maximized) w->normalRect = w->rect;
            w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
            target =
                RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y,
                     mmi.ptMaxPosition.x + mmi.ptMaxSize.x, mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
            w->maxPos = mmi.ptMaxPosition;
            break;
        }
        default: {  // restore
            if (minimized && w->restoreToMaximized) {
                w->restoreToMaximized = false;
                SetShowState(w, SW_MAXIMIZE, show);
                return;
            }
            w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
            target = w->normalRect;
            activate = cmd != SW_SHOWNOACTIVATE;
            break;
        }
    }
    if (show && !w->Visible()) {
        Send(h, WM_SHOWWINDOW, TRUE, 0);
        if (!Peek(h)) return;
        flags |= SWP_SHOWWINDOW;
    }
    if (!activate || !show || w->IsChild()) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    PositionWindow(w, HWND_TOP, target.left, target.top, target.right - target.left,
                   target.bottom - target.top, flags);
    if (!activate && (cmd == SW_MINIMIZE || cmd == SW_FORCEMINIMIZE) && Peek(h))
        ActivateNextAfter(w);
}

}  // namespace detail

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    detail::CallScope scope;
    Window* w = Find(hwnd);
    if (w == nullptr || w == detail::Desktop()) return FALSE;
    if (!(flags & SWP_NOZORDER) && insertAfter == hwnd) flags |= SWP_NOZORDER;
    return detail::PositionWindow(w, insertAfter, x, y, cx, cy, flags);
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ShowWindow(HWND hwnd, int cmd) {
    detail::CallScope scope;
    Window* w = Find(hwnd);
    if (w == nullptr || w == detail::Desktop()) return FALSE;
    bool wasVisible = w->Visible();
    bool minOrMax = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
    UINT childFlags = w->IsChild() ? SWP_NOACTIVATE | SWP_NOZORDER : 0;
    auto show = [&](UINT flags) {
        if (!wasVisible) {
            Send(hwnd, WM_SHOWWINDOW, TRUE, 0);
            if (!Peek(hwnd)) return;
        }
        detail::PositionWindow(w, HWND_TOP, 0, 0, 0, 0,
                               SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | flags | childFlags);
    };
    switch (cmd) {
        case SW_HIDE:
            if (!wasVisible) return FALSE;
            Send(hwnd, WM_SHOWWINDOW, FALSE, 0);
            if (!Peek(hwnd)) return TRUE;
            detail::PositionWindow(
                w, nullptr, 0, 0, 0, 0,
                SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
        case SW_FORCEMINIMIZE:
            if ((w->style & WS_MINIMIZE) && wasVisible) return TRUE;
            detail::SetShowState(w, cmd, true);
            break;
        case SW_SHOWMAXIMIZED:
            if ((w->style & WS_MAXIMIZE) && wasVisible) {
                show(0);
                break;
            }
            detail::SetShowState(w, SW_MAXIMIZE, true);
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
        case SW_SHOWDEFAULT:
            if (minOrMax)
                detail::SetShowState(w, SW_RESTORE, true);
            else
                show(0);
            break;
        case SW_SHOWNOACTIVATE:
            if (minOrMax)
                detail::SetShowState(w, SW_SHOWNOACTIVATE, true);
            else
                show(SWP_NOACTIVATE | SWP_NOZORDER);
            break;
        case SW_SHOW:
            show(0);
            break;
        case SW_SHOWNA:
            show(SWP_NOACTIVATE | SWP_NOZORDER);
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
    }
    return wasVisible;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    Window* w = Find(hwnd);
    if (w == nullptr || rect == nullptr) return FALSE;
    *rect = detail::ScreenRect(w);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    Window* w = Find(hwnd);
    if (w == nullptr || rect == nullptr) return FALSE;
    *rect = RECT{0, 0, std::max(0, w->client.right - w->client.left),
                 std::max(0, w->client.bottom - w->client.top)};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
    Window* w = Find(hwnd);
    if (w == nullptr || pt == nullptr) return FALSE;
    POINT o = detail::ClientOrigin(w);
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
    Window* w = Find(hwnd);
    if (w == nullptr || pt == nullptr) return FALSE;
    POINT o = detail::ClientOrigin(w);
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    POINT a{0, 0}, b{0, 0};
    if (from) {
        Window* f = Find(from);
        if (f == nullptr) return 0;
        a = detail::ClientOrigin(f);
    }
    if (to) {
        Window* t = Find(to);
        if (t == nullptr) return 0;
        b = detail::ClientOrigin(t);
    }
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    SetLastError(0);
    return MAKELONG(WORD(int16_t(dx)), WORD(int16_t(dy)));
}

BOOL IsWindowVisible(HWND hwnd) {
    Window* w = Peek(hwnd);
    return w && detail::IsReallyVisible(w) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
    Window* w = Peek(hwnd);
    return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
    Window* w = Peek(hwnd);
    return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Find(hwnd);
    if (w == nullptr) return FALSE;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (bool(enable) == !wasDisabled) return wasDisabled;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        detail::ReleaseCaptureIfIn(w);
        detail::MoveFocusOutOf(w);
        if (!Peek(hwnd)) return wasDisabled;
    }
    Send(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = Peek(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp) {
    Window* w = Find(hwnd);
    if (w == nullptr || wp == nullptr) return FALSE;
    bool minimized = (w->style & WS_MINIMIZE) != 0;
    bool maximized = (w->style & WS_MAXIMIZE) != 0;
    wp->length = sizeof(WINDOWPLACEMENT);
    wp->flags = minimized && w->restoreToMaximized ? WPF_RESTORETOMAXIMIZED : 0;
    wp->showCmd = minimized ? SW_SHOWMINIMIZED : maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    wp->ptMinPosition = minimized ? POINT{w->rect.left, w->rect.top} : w->minPos;
    wp->ptMaxPosition = w->maxPos;
    wp->rcNormalPosition = (minimized || maximized) ? w->normalRect : w->rect;
    return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp) {
    Window* w = Find(hwnd);
    if (w == nullptr || wp == nullptr) return FALSE;
    w->normalRect = wp->rcNormalPosition;
    w->minPos = wp->ptMinPosition;
    if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        const RECT& r = wp->rcNormalPosition;
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(hwnd, int(wp->showCmd));
    return TRUE;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (rect == nullptr) return FALSE;
    RECT in = detail::FrameInsets(style, exStyle, menu ? 1 : 0);
    rect->left -= in.left;
    rect->top -= in.top;
    rect->right += in.right;
    rect->bottom += in.bottom;
    return TRUE;
}

}  // namespace win
