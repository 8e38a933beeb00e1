#include "platform/controls/up_down_control.h"

#include <algorithm>

#include "platform/controls/classic_paint.h"
#include "platform/controls/native_control.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace win {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;

struct UpDownState {
    int lower = UD_DEFAULTLOWER;
    int upper = UD_DEFAULTUPPER;
    int pos = 0;
    int pressed = 0;     // the arrow held: +1 up (right), -1 down (left), 0 none
    bool over = false;   // the cursor is on the held arrow
    bool timer = false;  // the repeat timer runs
};

UpDownState* StateOf(HWND h) {
    return ControlState<UpDownState>(h);
}

bool Horizontal(HWND h) {
    return (ControlStyle(h) & UDS_HORZ) != 0;
}

// The arrow under a client point: +1 for the up (right) half, -1 for the other, 0 outside.
int ArrowAt(HWND h, POINT p) {
    RECT rc;
    GetClientRect(h, &rc);
    if (!PtInRect(&rc, p)) return 0;
    if (Horizontal(h)) return p.x >= rc.right / 2 ? +1 : -1;
    return p.y < rc.bottom / 2 ? +1 : -1;
}

// One step toward the upper end (arrow +1) or the lower end, then the parent is told.
void Step(HWND h, int arrow) {
    UpDownState* st = StateOf(h);
    if (!st || st->lower == st->upper) return;
    const int lo = std::min(st->lower, st->upper), hi = std::max(st->lower, st->upper);
    const int delta = st->upper > st->lower ? arrow : -arrow;
    const bool wrap = (ControlStyle(h) & UDS_WRAP) != 0;
    int pos = std::clamp(st->pos, lo, hi);
    if (pos + delta > hi)
        pos = wrap ? lo : hi;
    else if (pos + delta < lo)
        pos = wrap ? hi : lo;
    else
        pos += delta;
    if (pos == st->pos) return;  // held against an end
    st->pos = pos;
    if (HWND parent = GetParent(h))
        SendMessageA(parent, Horizontal(h) ? WM_HSCROLL : WM_VSCROLL,
                     MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(pos)),
                     reinterpret_cast<LPARAM>(h));
}

void Release(HWND h, bool notify) {
    UpDownState* st = StateOf(h);
    if (!st || !st->pressed) return;
    st->pressed = 0;
    st->over = false;
    if (st->timer) KillTimer(h, kRepeatTimer);
    st->timer = false;
    InvalidateRect(h, nullptr, TRUE);
    if (GetCapture() == h) ReleaseCapture();
    if (notify)
        if (HWND parent = GetParent(h))
            SendMessageA(parent, Horizontal(h) ? WM_HSCROLL : WM_VSCROLL,
                         MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(st->pos)),
                         reinterpret_cast<LPARAM>(h));
}

void Paint(HWND h, HDC dc) {
    UpDownState* st = StateOf(h);
    if (!st) return;
    RECT rc;
    GetClientRect(h, &rc);
    const bool horz = Horizontal(h);
    RECT up = rc, down = rc;
    if (horz) {
        down.right = up.left = rc.right / 2;
    } else {
        up.bottom = down.top = rc.bottom / 2;
    }
    const UINT off = IsWindowEnabled(h) ? 0 : DFCS_INACTIVE;
    auto arrow = [&](RECT r, UINT kind, int which) {
        const bool held = st->pressed == which && st->over;
        DrawFrameControl(dc, &r, DFC_SCROLL, kind | off | (held ? DFCS_PUSHED : 0));
    };
    arrow(up, horz ? DFCS_SCROLLRIGHT : DFCS_SCROLLUP, +1);
    arrow(down, horz ? DFCS_SCROLLLEFT : DFCS_SCROLLDOWN, -1);
}

}  // namespace

LRESULT UpDownWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    UpDownState* st = KeepControlState<UpDownState>(h, msg);
    switch (msg) {
        case UDM_SETRANGE32:
            if (st) {
                st->lower = static_cast<int>(wParam);
                st->upper = static_cast<int>(lParam);
            }
            return 0;
        case UDM_GETRANGE32:
            if (st && wParam) *reinterpret_cast<int*>(wParam) = st->lower;
            if (st && lParam) *reinterpret_cast<int*>(lParam) = st->upper;
            return 0;
        case UDM_SETPOS32: {
            if (!st) return 0;
            const int old = st->pos;
            st->pos = std::clamp(static_cast<int>(lParam), std::min(st->lower, st->upper),
                                 std::max(st->lower, st->upper));
            return old;
        }
        case UDM_GETPOS32:
            if (!st) return 0;
            if (lParam)
                *reinterpret_cast<BOOL*>(lParam) = st->pos < std::min(st->lower, st->upper) ||
                                                   st->pos > std::max(st->lower, st->upper);
            return st->pos;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (!st || !IsWindowEnabled(h)) return 0;
            const int a = ArrowAt(h, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (!a) return 0;
            SetCapture(h);
            st->pressed = a;
            st->over = true;
            InvalidateRect(h, nullptr, TRUE);
            Step(h, a);
            st = StateOf(h);  // the parent may have destroyed the control
            if (st && st->pressed)
                st->timer = SetTimer(h, kRepeatTimer, kUpDownFirstDelay, nullptr);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (st && st->pressed) {
                const bool over =
                    ArrowAt(h, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == st->pressed;
                if (over != st->over) {
                    st->over = over;
                    InvalidateRect(h, nullptr, TRUE);
                }
            }
            return 0;
        case WM_TIMER:
            if (st && wParam == kRepeatTimer) {
                if (st->pressed && st->over) Step(h, st->pressed);
                if ((st = StateOf(h)) && st->pressed)
                    SetTimer(h, kRepeatTimer, kUpDownRepeat, nullptr);
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            Release(h, true);
            return 0;
        case WM_CAPTURECHANGED:
            if (st && st->pressed && reinterpret_cast<HWND>(lParam) != h) Release(h, true);
            return 0;
        case WM_ENABLE:
            if (!wParam) Release(h, true);
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        default:
            break;
    }
    return PaintedControlDefault(h, msg, wParam, lParam, Paint);
}

}  // namespace win
