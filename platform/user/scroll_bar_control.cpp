// The "ScrollBar" control: one bar filling its client area (SBS_HORZ or SBS_VERT), or a size
// box (SBS_SIZEBOX, plain; SBS_SIZEGRIP, with the grip) that sizes the top-level window it sits
// in. It tells its parent WM_HSCROLL or WM_VSCROLL with its own handle in lParam. With the focus
// it scrolls by keys too: arrows a line, Page Up/Down a page, Home and End to the ends.
#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/frame_draw.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/def_window_proc.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/scroll_bar_draw.h"
#include "platform/user/window_class.h"
#include "platform/user/window_dc.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"

namespace win {
namespace {

using detail::ScrollBar;
using detail::Window;

ScrollBar* Bar(HWND hwnd) {
    Window* w = detail::Peek(hwnd);
    if (w == nullptr) return nullptr;
    if (!w->scroll) w->scroll = std::make_unique<detail::ScrollBarState>();
    return &w->scroll->ctl;
}

bool IsSizeBox(HWND hwnd) {
    return (GetWindowLongPtrA(hwnd, GWL_STYLE) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
}

void Redraw(HWND hwnd, BOOL redraw) {
    if (redraw) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Paint(HWND hwnd, HDC dc) {
    Window* w = detail::Peek(hwnd);
    if (w == nullptr) return;
    RECT client{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    if (IsSizeBox(hwnd)) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        if (w->style & SBS_SIZEGRIP) DrawFrameControl(dc, &client, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        return;
    }
    ScrollBar* b = nullptr;
    detail::ScrollBarLayout l = detail::LayoutOfBar(w, SB_CTL, &b);
    const detail::ScrollPress& press = detail::CurrentScrollPress();
    int pressed = detail::kNoPart;
    if (press.window == hwnd) {
        if (press.over) pressed = press.part;
        if (press.dragging) l = detail::WithThumbAt(l, press.thumbStart);
    }
    detail::PaintScrollBar(dc, l, *b, pressed, !(w->style & WS_DISABLED));
}

void Notify(HWND hwnd, WORD code) {
    Window* w = detail::Peek(hwnd);
    if (w == nullptr || w->parent == nullptr) return;
    UINT msg = (w->style & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    detail::Send(w->parent->handle, msg, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(hwnd));
}

// The top-level window a size box sizes, when it can be sized.
HWND SizedWindow(HWND hwnd) {
    Window* w = detail::Peek(hwnd);
    if (w == nullptr) return nullptr;
    Window* top = detail::TopLevelOf(w);
    if (top == w || !(top->style & WS_THICKFRAME) || (top->style & WS_MAXIMIZE)) return nullptr;
    return top->handle;
}

}  // namespace

LRESULT ScrollBarWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ScrollBar* b = Bar(hwnd);
    if (b == nullptr) return 0;
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc) Paint(hwnd, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(hwnd, reinterpret_cast<HDC>(wp));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painting covers everything
        case WM_ENABLE:
            Redraw(hwnd, TRUE);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETCURSOR:
            if (IsSizeBox(hwnd) && SizedWindow(hwnd)) {
                SetCursor(LoadCursorA(nullptr, IDC_SIZENWSE));
                return TRUE;
            }
            return DefWindowProcA(hwnd, msg, wp, lp);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ClientToScreen(hwnd, &pt);
            if (IsSizeBox(hwnd)) {
                if (HWND top = SizedWindow(hwnd))
                    SendMessageA(top, WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT,
                                 MAKELPARAM(pt.x, pt.y));
                return 0;
            }
            if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_TABSTOP) SetFocus(hwnd);
            detail::TrackScrollBar(hwnd, SB_CTL, pt);
            return 0;
        }
        case WM_KEYDOWN: {
            if (IsSizeBox(hwnd)) return 0;
            WORD code;
            switch (wp) {
                case VK_UP:
                case VK_LEFT:
                    code = SB_LINEUP;
                    break;
                case VK_DOWN:
                case VK_RIGHT:
                    code = SB_LINEDOWN;
                    break;
                case VK_PRIOR:
                    code = SB_PAGEUP;
                    break;
                case VK_NEXT:
                    code = SB_PAGEDOWN;
                    break;
                case VK_HOME:
                    code = SB_TOP;
                    break;
                case VK_END:
                    code = SB_BOTTOM;
                    break;
                default:
                    return 0;
            }
            if (detail::ScrollBarUsable(*b)) Notify(hwnd, code);
            return 0;
        }
        case WM_KEYUP:
            if (!IsSizeBox(hwnd) &&
                (wp == VK_UP || wp == VK_LEFT || wp == VK_DOWN || wp == VK_RIGHT ||
                 wp == VK_PRIOR || wp == VK_NEXT || wp == VK_HOME || wp == VK_END))
                Notify(hwnd, SB_ENDSCROLL);
            return 0;
        case SBM_SETPOS: {
            int old = b->pos;
            b->pos = int(wp);
            detail::ClampScrollBar(*b);
            Redraw(hwnd, BOOL(lp));
            return old;
        }
        case SBM_GETPOS:
            return b->pos;
        case SBM_SETRANGE:
        case SBM_SETRANGEREDRAW: {
            b->min = int(wp);
            b->max = int(lp);
            detail::ClampScrollBar(*b);
            Redraw(hwnd, msg == SBM_SETRANGEREDRAW);
            return b->pos;
        }
        case SBM_GETRANGE:
            if (auto* lo = reinterpret_cast<int*>(wp)) *lo = b->min;
            if (auto* hi = reinterpret_cast<int*>(lp)) *hi = b->max;
            return 0;
        case SBM_ENABLE_ARROWS:
            if (wp > ESB_DISABLE_BOTH || b->disabled == UINT(wp)) return FALSE;
            b->disabled = UINT(wp);
            Redraw(hwnd, TRUE);
            return TRUE;
        case SBM_SETSCROLLINFO: {
            auto* si = reinterpret_cast<const SCROLLINFO*>(lp);
            if (si == nullptr) return 0;
            detail::ApplyScrollInfo(*b, *si);
            Redraw(hwnd, BOOL(wp));
            return b->pos;
        }
        case SBM_GETSCROLLINFO: {
            auto* si = reinterpret_cast<SCROLLINFO*>(lp);
            if (si == nullptr) return FALSE;
            detail::ReadScrollInfo(*b, *si);
            return TRUE;
        }
        default:
            return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace win
