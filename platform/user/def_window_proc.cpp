// DefWindowProc, message by message.
#include "platform/user/def_window_proc.h"

#include <algorithm>
#include <cstring>

#include "platform/user/focus.h"
#include "platform/user/frame.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/move_size.h"
#include "platform/user/nc_paint.h"
#include "platform/user/painting.h"
#include "platform/user/scroll_bar.h"
#include "platform/user/window_class.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"

namespace win {

using detail::Peek;
using detail::Send;
using detail::Window;

namespace {

HWND TopOf(Window* w) {
    return detail::TopLevelOf(w)->handle;
}

LRESULT OnSetCursor(Window* w, WPARAM wp, LPARAM lp) {
    HWND h = w->handle;
    if (w->IsChild() && w->parent) {
        if (Send(w->parent->handle, WM_SETCURSOR, wp, lp)) return TRUE;
        if (!Peek(h)) return TRUE;
    }
    if (reinterpret_cast<HWND>(wp) != h) return FALSE;  // asked on a child's behalf
    const char* shape = IDC_ARROW;
    switch (int16_t(LOWORD(uintptr_t(lp)))) {
        case HTCLIENT:
            if (HCURSOR c = w->cls->info.hCursor) {
                SetCursor(c);
                return TRUE;
            }
            return FALSE;
        case HTLEFT:
        case HTRIGHT:
            shape = IDC_SIZEWE;
            break;
        case HTTOP:
        case HTBOTTOM:
            shape = IDC_SIZENS;
            break;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            shape = IDC_SIZENWSE;
            break;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            shape = IDC_SIZENESW;
            break;
        default:
            break;
    }
    SetCursor(LoadCursorA(nullptr, shape));
    return TRUE;
}

LRESULT OnNcLButtonDown(Window* w, WPARAM hit, LPARAM lp) {
    HWND h = w->handle;
    HWND top = TopOf(w);
    switch (LRESULT(hit)) {
        case HTCAPTION:
            Send(top, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lp);
            break;
        case HTLEFT:
        case HTRIGHT:
        case HTTOP:
        case HTTOPLEFT:
        case HTTOPRIGHT:
        case HTBOTTOM:
        case HTBOTTOMLEFT:
        case HTBOTTOMRIGHT:
            Send(h, WM_SYSCOMMAND, SC_SIZE + WPARAM(hit - HTLEFT + 1), lp);
            break;
        case HTSYSMENU:
            if (w->style & WS_SYSMENU) Send(h, WM_SYSCOMMAND, SC_MOUSEMENU | HTSYSMENU, lp);
            break;
        case HTMENU:
            Send(h, WM_SYSCOMMAND, SC_MOUSEMENU | HTMENU, lp);
            break;
        case HTMINBUTTON:
        case HTMAXBUTTON:
        case HTCLOSE:
        case HTHELP:
            if (detail::TrackCaptionButton(w, LRESULT(hit))) {
                WPARAM cmd = hit == HTMINBUTTON         ? SC_MINIMIZE
                             : hit == HTCLOSE           ? SC_CLOSE
                             : hit == HTHELP            ? SC_CONTEXTHELP
                             : (w->style & WS_MAXIMIZE) ? SC_RESTORE
                                                        : SC_MAXIMIZE;
                if (Peek(h)) Send(h, WM_SYSCOMMAND, cmd, lp);
            }
            break;
        case HTVSCROLL:
            Send(h, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL, lp);
            break;
        case HTHSCROLL:
            Send(h, WM_SYSCOMMAND, SC_HSCROLL | HTHSCROLL, lp);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT OnNcLButtonDblClk(Window* w, WPARAM hit, LPARAM lp) {
    HWND h = w->handle;
    if (LRESULT(hit) == HTCAPTION && (w->style & WS_CAPTION) == WS_CAPTION) {
        if (w->style & (WS_MAXIMIZE | WS_MINIMIZE))
            Send(h, WM_SYSCOMMAND, SC_RESTORE, lp);
        else if (w->style & WS_MAXIMIZEBOX)
            Send(h, WM_SYSCOMMAND, SC_MAXIMIZE, lp);
    } else if (LRESULT(hit) == HTSYSMENU && (w->style & WS_SYSMENU)) {
        Send(h, WM_SYSCOMMAND, SC_CLOSE, lp);
    } else if (hit == WPARAM(HTVSCROLL) || hit == WPARAM(HTHSCROLL)) {
        return OnNcLButtonDown(w, hit, lp);  // a fast second click on a bar scrolls again
    }
    return 0;
}

LRESULT OnSysCommand(Window* w, WPARAM wp, LPARAM lp) {
    HWND h = w->handle;
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (wp & 0xFFF0) {
        case SC_MOVE:
        case SC_SIZE:
            detail::MoveSizeLoop(w, wp);
            break;
        case SC_MINIMIZE:
            if (h == GetActiveWindow() || w->IsChild()) {
                ShowWindow(h, SW_MINIMIZE);
            } else {
                ShowWindow(h, SW_SHOWMINNOACTIVE);
            }
            break;
        case SC_MAXIMIZE:
            ShowWindow(h, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(h, SW_RESTORE);
            break;
        case SC_CLOSE:
            if (!(w->cls->info.style & CS_NOCLOSE)) Send(h, WM_CLOSE, 0, 0);
            break;
        case SC_MOUSEMENU:
            if ((wp & 0x0F) == WPARAM(HTSYSMENU))
                detail::TrackSystemMenu(w, pt, true);
            else
                detail::TrackMenuBar(w, 0, true);
            break;
        case SC_KEYMENU:
            if (lp == ' ') {
                if (w->style & WS_SYSMENU) detail::TrackSystemMenu(w, POINT{-1, -1}, false);
            } else if (w->menu) {
                detail::TrackMenuBar(w, UINT(lp), false);
            } else if (lp == 0 && (w->style & WS_SYSMENU)) {
                detail::TrackSystemMenu(w, POINT{-1, -1}, false);
            }
            break;
        case SC_VSCROLL:
        case SC_HSCROLL:
            detail::TrackScrollBar(h, (wp & 0xFFF0) == SC_VSCROLL ? SB_VERT : SB_HORZ, pt);
            break;
        default:
            break;  // SC_CONTEXTHELP and the rest do nothing here
    }
    return 0;
}

LRESULT OnSysKey(Window* w, UINT msg, WPARAM vk, LPARAM lp) {
    HWND top = TopOf(w);
    Window* t = Peek(top);
    bool alt = (lp & (LPARAM(1) << 29)) != 0;
    if (msg == WM_SYSKEYDOWN) {
        bool repeat = (lp & (LPARAM(1) << 30)) != 0;
        if (vk == VK_MENU || vk == VK_F10) {
            if (!repeat) t->keyMenuArmed = true;
            return 0;
        }
        t->keyMenuArmed = false;
        if (vk == VK_F4 && alt) {
            Send(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (vk == VK_SPACE && alt) {
            Send(top, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        }
        return 0;
    }
    // WM_SYSKEYUP: a lone Alt or F10 opens the menu.
    if ((vk == VK_MENU || vk == VK_F10) && t->keyMenuArmed) {
        t->keyMenuArmed = false;
        Send(top, WM_SYSCOMMAND, SC_KEYMENU, 0);
    }
    return 0;
}

LRESULT CopyText(Window* w, WPARAM size, LPARAM buffer) {
    auto* out = reinterpret_cast<char*>(buffer);
    if (out == nullptr || size == 0) return 0;
    size_t n = std::min<size_t>(w->text.size(), size - 1);
    std::memcpy(out, w->text.data(), n);
    out[n] = '\0';
    return LRESULT(n);
}

}  // namespace

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = detail::Find(hwnd);
    if (w == nullptr || w == detail::Desktop()) return 0;
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
            if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
            detail::InitFrameScrollBars(w);
            return TRUE;
        }
        case WM_NCCALCSIZE:
            if (wp) {
                auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
                if (p) p->rgrc[0] = detail::DefaultClientRect(w, p->rgrc[0]);
            } else if (auto* r = reinterpret_cast<RECT*>(lp)) {
                *r = detail::DefaultClientRect(w, *r);
            }
            return 0;
        case WM_NCHITTEST:
            return detail::DefaultHitTest(w, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        case WM_NCPAINT:
            detail::PaintFrame(w, detail::FrameParts::All);
            return 0;
        case WM_NCACTIVATE:
            w->ncActive = wp != 0;
            detail::PaintFrame(w, detail::FrameParts::Caption);
            return TRUE;
        case WM_SETTEXT:
            w->text = lp ? reinterpret_cast<const char*>(lp) : "";
            detail::PaintFrame(w, detail::FrameParts::Caption);
            return TRUE;
        case WM_GETTEXT:
            return CopyText(w, wp, lp);
        case WM_GETTEXTLENGTH:
            return LRESULT(w->text.size());
        case WM_SETICON: {
            if (wp > ICON_SMALL2) return 0;
            HICON old = w->icons[wp];
            w->icons[wp] = reinterpret_cast<HICON>(lp);
            detail::PaintFrame(w, detail::FrameParts::Caption);
            return reinterpret_cast<LRESULT>(old);
        }
        case WM_GETICON:
            if (wp == ICON_SMALL2)
                return reinterpret_cast<LRESULT>(w->icons[ICON_SMALL] ? w->icons[ICON_SMALL]
                                                                      : w->icons[ICON_BIG]);
            return wp <= ICON_BIG ? reinterpret_cast<LRESULT>(w->icons[wp]) : 0;
        case WM_SETREDRAW:
            detail::SetRedraw(w, wp != 0);
            return 0;
        case WM_WINDOWPOSCHANGING: {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
            bool tracks = (w->style & WS_THICKFRAME) || !(w->style & (WS_POPUP | WS_CHILD));
            if (pos && tracks && !(pos->flags & SWP_NOSIZE) && !(w->style & WS_MINIMIZE)) {
                MINMAXINFO mmi = detail::MinMaxInfo(w);
                pos->cx = std::clamp<int>(pos->cx, mmi.ptMinTrackSize.x,
                                          std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
                pos->cy = std::clamp<int>(pos->cy, mmi.ptMinTrackSize.y,
                                          std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
            }
            return 0;
        }
        case WM_WINDOWPOSCHANGED: {
            auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
            if (pos == nullptr) return 0;
            if (!(pos->flags & SWP_NOCLIENTMOVE))
                Send(hwnd, WM_MOVE, 0, MAKELPARAM(w->client.left, w->client.top));
            if (!Peek(hwnd)) return 0;
            if (!(pos->flags & SWP_NOCLIENTSIZE) || (pos->flags & SWP_STATECHANGED)) {
                WPARAM kind = (w->style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                              : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                         : SIZE_RESTORED;
                Send(
                    hwnd, WM_SIZE, kind,
                    MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) SetFocus(hwnd);
            return 0;
        case WM_MOUSEACTIVATE:
            if (w->IsChild() && w->parent) {
                if (LRESULT r = Send(w->parent->handle, WM_MOUSEACTIVATE, wp, lp)) return r;
            }
            return MA_ACTIVATE;
        case WM_SETCURSOR:
            return OnSetCursor(w, wp, lp);
        case WM_MOUSEWHEEL:
            if (w->IsChild() && w->parent) return Send(w->parent->handle, msg, wp, lp);
            return 0;
        case WM_NCLBUTTONDOWN:
            return OnNcLButtonDown(w, wp, lp);
        case WM_NCLBUTTONDBLCLK:
            return OnNcLButtonDblClk(w, wp, lp);
        case WM_RBUTTONUP: {
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ClientToScreen(hwnd, &p);
            Send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.x, p.y));
            return 0;
        }
        case WM_NCRBUTTONUP:
            Send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lp);
            return 0;
        case WM_CONTEXTMENU: {
            if (w->IsChild() && w->parent) return Send(w->parent->handle, msg, wp, lp);
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            LRESULT hit = detail::DefaultHitTest(w, p);
            if ((hit == HTCAPTION || hit == HTSYSMENU) && detail::HasSystemMenu(w))
                detail::TrackSystemMenu(w, p, true);
            return 0;
        }
        case WM_SYSCOMMAND:
            return OnSysCommand(w, wp, lp);
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            return OnSysKey(w, msg, wp, lp);
        case WM_KEYDOWN:
            detail::TopLevelOf(w)->keyMenuArmed = false;
            return 0;
        case WM_SYSCHAR:
            if (wp != ' ' && wp != '\r' && detail::TopLevelOf(w)->menu)
                Send(TopOf(w), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wp));
            return 0;
        case WM_ERASEBKGND:
            return detail::EraseWithClassBrush(w, wp);
        case WM_PAINT:
            detail::DefaultPaint(w);
            return 0;
        case WM_PRINT:
            detail::DefaultPrint(w, wp, lp);
            return 0;
        case WM_PRINTCLIENT:
            return 0;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return detail::DefaultControlColor(msg, wp);
        case WM_CANCELMODE:
            if (GetCapture() == hwnd) ReleaseCapture();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_NCDESTROY:
            detail::FreeFrameScrollBars(w);
            return 0;
        default:
            return 0;
    }
}

}  // namespace win
