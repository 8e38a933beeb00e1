// The caret's state, its blinking and its place on the screen.
#include "platform/user/caret.h"

#include <algorithm>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/internal.h"
#include "platform/user/screen.h"
#include "platform/user/system_metrics.h"
#include "platform/user/timers.h"

namespace win {
namespace {

struct CaretState {
    HWND owner = nullptr;
    HBITMAP bitmap = nullptr;
    SIZE size;
    POINT pos;
    int hidden = 1;  // ShowCaret counts down to 0
    bool on = false;
    UINT_PTR timer = 0;
};

CaretState caret;
UINT blinkTime = 500;

// Where the caret shows on the screen, clipped to its window's client area and those of its
// parents; empty when it does not show. `origin` gets its unclipped top-left.
RECT ScreenPlace(POINT* origin = nullptr) {
    detail::Window* w = detail::Peek(caret.owner);
    if (w == nullptr || caret.hidden > 0 || !detail::IsReallyVisible(w)) return RECT{};
    POINT o = detail::ClientOrigin(w);
    RECT r{o.x + caret.pos.x, o.y + caret.pos.y, o.x + caret.pos.x + caret.size.cx,
           o.y + caret.pos.y + caret.size.cy};
    if (origin) *origin = POINT{r.left, r.top};
    for (detail::Window* c = w; c && c->parent; c = c->IsChild() ? c->parent : nullptr) {
        RECT client = detail::ScreenClientRect(c);
        if (!IntersectRect(&r, &r, &client)) return RECT{};
    }
    return r;
}

void Damage() {
    RECT r = ScreenPlace();
    if (!IsRectEmpty(&r)) detail::DamageScreen(r);
}

void Blink(HWND, UINT, UINT_PTR, DWORD) {
    caret.on = !caret.on;
    Damage();
}

void StopBlinking() {
    if (caret.timer) KillTimer(nullptr, caret.timer);
    caret.timer = 0;
    if (caret.on) Damage();
    caret.on = false;
}

void StartBlinking() {
    caret.on = true;
    caret.timer = SetTimer(nullptr, caret.timer, blinkTime, &Blink);
    Damage();
}

bool Owns(HWND hwnd) {
    return caret.owner != nullptr && (hwnd == nullptr || hwnd == caret.owner);
}

}  // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
    if (detail::Find(hwnd) == nullptr) return FALSE;
    DestroyCaret();
    caret.owner = hwnd;
    caret.bitmap = bitmap;
    caret.size = SIZE{width > 0 ? width : GetSystemMetrics(SM_CXBORDER),
                      height > 0 ? height : GetSystemMetrics(SM_CYBORDER)};
    if (bitmap != nullptr && bitmap != reinterpret_cast<HBITMAP>(uintptr_t(1))) {
        BITMAP bm;
        if (GetObject(bitmap, sizeof bm, &bm) == 0) {
            caret.owner = nullptr;
            return FALSE;
        }
        caret.size = SIZE{bm.bmWidth, bm.bmHeight};
    }
    caret.pos = POINT{};
    caret.hidden = 1;
    return TRUE;
}

BOOL DestroyCaret() {
    if (caret.owner == nullptr) return FALSE;
    StopBlinking();
    caret = CaretState{};
    return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
    if (!Owns(hwnd) || caret.hidden == 0) return FALSE;
    if (--caret.hidden == 0) StartBlinking();
    return TRUE;
}

BOOL HideCaret(HWND hwnd) {
    if (!Owns(hwnd)) return FALSE;
    if (caret.hidden == 0) StopBlinking();
    ++caret.hidden;
    return TRUE;
}

BOOL SetCaretPos(int x, int y) {
    if (caret.owner == nullptr) return FALSE;
    if (caret.pos == POINT{x, y}) return TRUE;
    StopBlinking();
    caret.pos = POINT{x, y};
    if (caret.hidden == 0) StartBlinking();
    return TRUE;
}

BOOL GetCaretPos(POINT* pt) {
    if (pt == nullptr || caret.owner == nullptr) return FALSE;
    *pt = caret.pos;
    return TRUE;
}

BOOL SetCaretBlinkTime(UINT ms) {
    if (ms == 0) return FALSE;
    blinkTime = ms;
    if (caret.timer) caret.timer = SetTimer(nullptr, caret.timer, blinkTime, &Blink);
    return TRUE;
}

UINT GetCaretBlinkTime() {
    return blinkTime;
}

namespace detail {

void OverlayCaret(HDC screen) {
    if (!caret.on) return;
    POINT origin;
    RECT r = ScreenPlace(&origin);
    if (IsRectEmpty(&r)) return;
    // Not over another top-level window in front of the caret's own.
    Window* top = TopLevelOf(Peek(caret.owner));
    for (Window* t : Desktop()->children) {
        if (t == top) break;
        RECT over, tr = ScreenRect(t);
        if (t->Visible() && IntersectRect(&over, &tr, &r)) return;
    }
    if (caret.bitmap == nullptr || caret.bitmap == reinterpret_cast<HBITMAP>(uintptr_t(1))) {
        InvertRect(screen, &r);
        return;
    }
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, caret.bitmap);
    BitBlt(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, src, r.left - origin.x,
           r.top - origin.y, SRCINVERT);
    SelectObject(src, old);
    DeleteDC(src);
}

void CaretWindowGone(HWND hwnd) {
    if (caret.owner == hwnd) DestroyCaret();
}

void ResetCaret() {
    caret = CaretState{};  // the timers went with the windowing state
    blinkTime = 500;
}

}  // namespace detail
}  // namespace win
