// Modal move and size, and caption button tracking.
#include "platform/user/move_size.h"

#include <algorithm>

#include "platform/user/frame.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/modal_loop.h"
#include "platform/user/nc_paint.h"
#include "platform/user/window_pos.h"

namespace win::detail {
namespace {

bool LeftDown() {
    return (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
}

// Moves the edges named by `edge` (WMSZ_*) by the cursor offset, within the track sizes.
RECT SizedRect(const RECT& orig, WPARAM edge, int dx, int dy, const MINMAXINFO& mmi) {
    RECT r = orig;
    bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
    bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
    bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
    bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
    int minW = mmi.ptMinTrackSize.x, maxW = std::max(minW, int(mmi.ptMaxTrackSize.x));
    int minH = mmi.ptMinTrackSize.y, maxH = std::max(minH, int(mmi.ptMaxTrackSize.y));
    if (left) r.left = orig.right - std::clamp<int>(orig.right - orig.left - dx, minW, maxW);
    if (right) r.right = orig.left + std::clamp<int>(orig.right - orig.left + dx, minW, maxW);
    if (top) r.top = orig.bottom - std::clamp<int>(orig.bottom - orig.top - dy, minH, maxH);
    if (bottom) r.bottom = orig.top + std::clamp<int>(orig.bottom - orig.top + dy, minH, maxH);
    return r;
}

void Place(Window* w, const RECT& screenRect) {
    RECT r = screenRect;
    if (w->parent) {
        POINT o = ClientOrigin(w->parent);
        OffsetRect(&r, -o.x, -o.y);
    }
    SetWindowPos(w->handle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void MoveSizeLoop(Window* w, WPARAM command) {
    HWND h = w->handle;
    bool moving = (command & 0xFFF0) == SC_MOVE;
    if (w->style & WS_MAXIMIZE) return;  // a maximised window keeps its place
    if (!moving && (!(w->style & WS_THICKFRAME) || (w->style & WS_MINIMIZE))) return;
    WPARAM edge = moving ? 0 : (command & 0x0F);
    if (!moving && (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT)) return;
    bool mouseMode = LeftDown();

    Send(h, WM_ENTERSIZEMOVE, 0, 0);
    if (!Peek(h)) return;
    SetCapture(h);
    RECT orig = ScreenRect(w);
    POINT start;
    GetCursorPos(&start);
    MINMAXINFO mmi = MinMaxInfo(w);
    if (!Peek(h)) return;

    POINT last = start;
    auto follow = [&](POINT pt) {
        last = pt;
        Window* win = Peek(h);
        if (win == nullptr) return;
        int dx = pt.x - start.x, dy = pt.y - start.y;
        RECT r;
        if (moving) {
            r = orig;
            OffsetRect(&r, dx, dy);
            Send(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
        } else {
            r = SizedRect(orig, edge, dx, dy, mmi);
            Send(h, WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
        }
        if ((win = Peek(h)) != nullptr) Place(win, r);
    };

    bool cancelled = false;
    RunModalLoop([&](const MSG& m) {
        if (!Peek(h) || GetCapture() != h) return true;
        switch (m.message) {
            case WM_MOUSEMOVE:
            case WM_NCMOUSEMOVE:
                follow(m.pt);
                return false;
            case WM_LBUTTONUP:
            case WM_NCLBUTTONUP:
                // Let go where the last move may not have been seen yet (moves that came in
                // together are taken as one): the window ends where the button was let go.
                if (mouseMode && (m.pt.x != last.x || m.pt.y != last.y)) follow(m.pt);
                return mouseMode;
            case WM_LBUTTONDOWN:
            case WM_NCLBUTTONDOWN:
                return !mouseMode;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                if (m.wParam == VK_ESCAPE) {
                    cancelled = true;
                    return true;
                }
                return m.wParam == VK_RETURN;
            default:
                return false;
        }
    });
    if (cancelled) {
        if (Window* win = Peek(h)) Place(win, orig);
    }
    if (GetCapture() == h) ReleaseCapture();
    if (Peek(h)) Send(h, WM_EXITSIZEMOVE, 0, 0);
}

bool TrackCaptionButton(Window* w, LRESULT hit) {
    HWND h = w->handle;
    auto over = [&]() {
        Window* win = Peek(h);
        if (win == nullptr) return false;
        POINT pt;
        GetCursorPos(&pt);
        return DefaultHitTest(win, pt) == hit;
    };
    if (!LeftDown()) return over();
    bool pressed = true;
    PaintCaptionButton(w, hit, pressed);
    SetCapture(h);
    bool released = false;
    RunModalLoop([&](const MSG& m) {
        if (!Peek(h) || GetCapture() != h) return true;
        if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
            bool now = over();
            if (now != pressed) {
                pressed = now;
                if (Window* win = Peek(h)) PaintCaptionButton(win, hit, pressed);
            }
        } else if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
            released = true;
            return true;
        } else if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
            return true;
        }
        return false;
    });
    if (GetCapture() == h) ReleaseCapture();
    bool chosen = released && over();
    if (Window* win = Peek(h); win && pressed) PaintCaptionButton(win, hit, false);
    return chosen;
}

}  // namespace win::detail
