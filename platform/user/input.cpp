// Input events: their queue, their routing to windows, capture, tracking, keys and cursors.
#include "platform/user/input.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <variant>

#include "platform/os/clock.h"
#include "platform/user/focus.h"
#include "platform/user/gui_thread.h"
#include "platform/user/internal.h"
#include "platform/user/message_queue.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_class.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_region.h"

namespace win {

using detail::Peek;
using detail::Send;
using detail::Window;

namespace {

struct FocusLost {};
struct KeyboardState {
    std::vector<UINT> held;
    bool regained = false;  // the keyboard came back: the application is active again
};
using RawEvent = std::variant<MouseEvent, KeyEvent, FocusLost, KeyboardState>;

struct RawQueue {
    std::mutex lock;
    std::deque<RawEvent> events;
};

RawQueue& Raw() {
    static RawQueue q;
    return q;
}

struct InputState {
    POINT cursor{0, 0};
    std::array<BYTE, 256> keys{};            // 0x80 down, 0x01 toggled, as converted so far
    // The keys as of the input message last taken (GetKeyState): converting runs ahead of the
    // messages taken when a filtered retrieval looks for one, and a handler of a press must
    // not see the release that follows it as already done.
    std::array<BYTE, 256> taken{};
    std::array<unsigned char, 256> chars{};  // the character of the last press of each key
    HWND capture = nullptr;
    // Mouse tracking
    HWND tracked = nullptr;
    DWORD trackFlags = 0;
    // Double clicks
    UINT lastDownMsg = 0;
    HWND lastDownWnd = nullptr;
    LRESULT lastDownHit = 0;
    uint32_t lastDownTime = 0;
    POINT lastDownPt;
    bool lastWasDouble = false;
    HCURSOR cursorShape = nullptr;
    bool lastWasKey = false;
    struct Ready {
        MSG msg;
        std::array<BYTE, 256> keys;  // as they were when it was converted
    };
    std::deque<Ready> ready;  // converted, not yet removed
};

InputState& St() {
    static InputState s;
    return s;
}

struct Target {
    Window* w = nullptr;
    LRESULT hit = HTNOWHERE;
};

bool Excluded(const std::vector<Window*>& ex, const Window* w) {
    for (const Window* e : ex)
        if (e == w) return true;
    return false;
}

// The deepest visible, enabled window under `pt`, skipping the excluded ones.
Window* Descend(Window* w, POINT pt, const std::vector<Window*>& ex) {
    for (Window* c : w->children) {
        if (!c->Visible() || Excluded(ex, c) || (c->style & WS_DISABLED)) continue;
        RECT r = detail::ScreenRect(c);
        if (!PtInRect(&r, pt)) continue;
        if (!detail::PointInWindowRegion(c, POINT{pt.x - r.left, pt.y - r.top})) continue;
        RECT client = detail::ScreenClientRect(c);
        if (PtInRect(&client, pt)) {
            if (Window* d = Descend(c, pt, ex)) return d;
        }
        return c;
    }
    return nullptr;
}

Window* TopLevelAt(POINT pt, const std::vector<Window*>& ex) {
    for (Window* t : detail::Desktop()->children) {
        if (!t->Visible() || Excluded(ex, t)) continue;
        RECT r = detail::ScreenRect(t);
        if (!PtInRect(&r, pt)) continue;
        if (detail::IsClickThrough(t, pt)) continue;
        if (!detail::PointInWindowRegion(t, POINT{pt.x - r.left, pt.y - r.top})) continue;
        return t;
    }
    return nullptr;
}

// The window under the point and its hit code; HTTRANSPARENT answers pass the point on to the
// windows below (siblings underneath first, then the parent).
Target Route(POINT pt, bool hitTest) {
    std::vector<Window*> ex;
    for (size_t guard = 0; guard < 4096; ++guard) {
        Window* top = TopLevelAt(pt, ex);
        if (top == nullptr) return {};
        Window* w = top;
        RECT client = detail::ScreenClientRect(top);
        if (PtInRect(&client, pt)) {
            if (Window* d = Descend(top, pt, ex)) w = d;
        }
        if (!hitTest) return {w, HTCLIENT};
        HWND h = w->handle;
        LRESULT hit = Send(h, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
        if (!Peek(h)) {
            ex.clear();
            continue;
        }
        if (hit != HTTRANSPARENT) return {w, hit};
        ex.push_back(w);
    }
    return {};
}

WPARAM MouseKeys() {
    auto& s = St();
    WPARAM k = 0;
    if (s.keys[VK_LBUTTON] & 0x80) k |= MK_LBUTTON;
    if (s.keys[VK_RBUTTON] & 0x80) k |= MK_RBUTTON;
    if (s.keys[VK_MBUTTON] & 0x80) k |= MK_MBUTTON;
    if (s.keys[VK_SHIFT] & 0x80) k |= MK_SHIFT;
    if (s.keys[VK_CONTROL] & 0x80) k |= MK_CONTROL;
    return k;
}

void Ready(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    MSG m{h, msg, wp, lp, os::GetTickCount(), St().cursor};
    St().ready.push_back({m, St().keys});
}

void EndTracking(bool post) {
    auto& s = St();
    if (s.tracked && post && Peek(s.tracked))
        PostMessageA(s.tracked, (s.trackFlags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0,
                     0);
    s.tracked = nullptr;
    s.trackFlags = 0;
}

void CheckTracking(const Target& t) {
    auto& s = St();
    if (!s.tracked) return;
    bool nc = (s.trackFlags & TME_NONCLIENT) != 0;
    bool inside = t.w && t.w->handle == s.tracked && ((t.hit == HTCLIENT) != nc);
    if (!inside) EndTracking(true);
}

UINT ButtonMessage(MouseButton b, bool down) {
    switch (b) {
        case MouseButton::Left:
            return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        case MouseButton::Right:
            return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        case MouseButton::Middle:
            return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        default:
            return WM_MOUSEMOVE;
    }
}

UINT ButtonKey(MouseButton b) {
    switch (b) {
        case MouseButton::Left:
            return VK_LBUTTON;
        case MouseButton::Right:
            return VK_RBUTTON;
        case MouseButton::Middle:
            return VK_MBUTTON;
        default:
            return 0;
    }
}

bool IsDoubleClick(UINT msg, Window* w, LRESULT hit, POINT pt) {
    auto& s = St();
    uint32_t now = os::GetTickCount();
    bool dbl = !s.lastWasDouble && s.lastDownMsg == msg && s.lastDownWnd == w->handle &&
               s.lastDownHit == hit && os::TickDiff(s.lastDownTime, now) <= GetDoubleClickTime() &&
               std::abs(pt.x - s.lastDownPt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
               std::abs(pt.y - s.lastDownPt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    s.lastDownMsg = msg;
    s.lastDownWnd = w->handle;
    s.lastDownHit = hit;
    s.lastDownTime = now;
    s.lastDownPt = pt;
    s.lastWasDouble = dbl;
    return dbl;
}

void ConvertMouse(const MouseEvent& e) {
    auto& s = St();
    s.cursor = e.pt;
    s.lastWasKey = false;
    UINT vk = ButtonKey(e.button);
    if (e.kind == MouseEvent::Down && vk) s.keys[vk] |= 0x80;
    if (e.kind == MouseEvent::Up && vk) s.keys[vk] &= BYTE(~0x80);

    if (e.kind == MouseEvent::Wheel) {
        HWND to = GetFocus() ? GetFocus() : GetActiveWindow();
        if (to == nullptr) return;
        Ready(to, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeys()), e.wheelDelta),
              MAKELPARAM(e.pt.x, e.pt.y));
        return;
    }

    UINT base = e.kind == MouseEvent::Move ? WM_MOUSEMOVE
                                           : ButtonMessage(e.button, e.kind == MouseEvent::Down);
    Target t;
    if (s.capture && Peek(s.capture)) {
        t = Target{Peek(s.capture), HTCLIENT};
    } else {
        t = Route(e.pt, true);
    }
    CheckTracking(t);
    if (t.w == nullptr) return;
    HWND h = t.w->handle;
    Window* top = detail::TopLevelOf(t.w);
    if (top->style & WS_DISABLED) return;  // a modal window's owner takes no mouse input

    if (!s.capture) {
        Send(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(int(t.hit), int(base)));
        if (!Peek(h)) return;
    }
    if (e.kind == MouseEvent::Down && top->handle != GetActiveWindow() &&
        !(top->exStyle & WS_EX_NOACTIVATE)) {
        LRESULT r = Send(h, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle),
                         MAKELPARAM(int(t.hit), int(base)));
        if (!Peek(h)) return;
        if ((r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) && Peek(top->handle))
            detail::Activate(top, WA_CLICKACTIVE, true);
        if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) return;
        if (!Peek(h)) return;
    }

    UINT msg = base;
    bool client = t.hit == HTCLIENT;
    if (e.kind == MouseEvent::Down) {
        bool wantsDouble = !client || (t.w->cls->info.style & CS_DBLCLKS);
        if (IsDoubleClick(base, t.w, t.hit, e.pt) && wantsDouble) msg = base + 2;
    }
    if (client) {
        POINT o = detail::ClientOrigin(t.w);
        Ready(h, msg, MouseKeys(), MAKELPARAM(e.pt.x - o.x, e.pt.y - o.y));
    } else {
        UINT nc = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        Ready(h, nc, WPARAM(t.hit), MAKELPARAM(e.pt.x, e.pt.y));
    }
}

unsigned char DefaultChar(UINT vk, bool shift, bool ctrl) {
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return static_cast<unsigned char>(vk - 'A' + 1);
        return static_cast<unsigned char>(shift ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9' && !shift) return static_cast<unsigned char>(vk);
    switch (vk) {
        case VK_SPACE:
            return ' ';
        case VK_RETURN:
            return '\r';
        case VK_BACK:
            return '\b';
        case VK_TAB:
            return '\t';
        case VK_ESCAPE:
            return 0x1B;
        default:
            return 0;
    }
}

void ConvertKey(const KeyEvent& e) {
    auto& s = St();
    s.lastWasKey = true;
    UINT vk = e.vk & 0xFF;
    bool wasDown = (s.keys[vk] & 0x80) != 0;
    auto setKey = [&](UINT k) {
        if (e.down) {
            if (!(s.keys[k] & 0x80)) s.keys[k] ^= 0x01;
            s.keys[k] |= 0x80;
        } else {
            s.keys[k] &= BYTE(~0x80);
        }
    };
    setKey(vk);
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) setKey(VK_SHIFT);
    if (vk == VK_LCONTROL || vk == VK_RCONTROL) setKey(VK_CONTROL);
    if (vk == VK_LMENU || vk == VK_RMENU) setKey(VK_MENU);
    bool alt = (s.keys[VK_MENU] & 0x80) != 0 || (vk == VK_MENU && !e.down) ||
               ((vk == VK_LMENU || vk == VK_RMENU) && !e.down);
    bool ctrl = (s.keys[VK_CONTROL] & 0x80) != 0;
    bool shift = (s.keys[VK_SHIFT] & 0x80) != 0;
    if (e.down) s.chars[vk] = e.ch ? e.ch : DefaultChar(vk, shift, ctrl);

    HWND to = GetFocus();
    bool sys = alt || vk == VK_F10;
    if (to == nullptr) {
        to = GetActiveWindow();
        sys = true;  // keys reach a window without focus as system keys
    }
    if (to == nullptr) return;
    if (Window* w = Peek(to); w && (detail::TopLevelOf(w)->style & WS_DISABLED)) return;
    UINT msg = e.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lp = 1 | (LPARAM(vk & 0xFF) << 16);
    if (alt && (s.keys[VK_MENU] & 0x80 || vk == VK_MENU)) lp |= LPARAM(1) << 29;
    if (e.down && wasDown) lp |= LPARAM(1) << 30;
    if (!e.down) lp |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    Ready(to, msg, WPARAM(vk), lp);
}

void ConvertFocusLost() {
    auto& s = St();
    for (auto& k : s.keys)
        k &= 0x01;
    s.taken = s.keys;
    SetApplicationActive(false);
}

void ConvertKeyboardState(const KeyboardState& k) {
    auto& s = St();
    for (UINT vk = 0; vk < s.keys.size(); ++vk)
        if (vk != VK_LBUTTON && vk != VK_RBUTTON && vk != VK_MBUTTON) s.keys[vk] &= 0x01;
    for (UINT vk : k.held)
        s.keys[vk & 0xFF] |= 0x80;
    for (auto [both, left, right] : {std::array<UINT, 3>{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                     {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                     {VK_MENU, VK_LMENU, VK_RMENU}})
        s.keys[both] |= (s.keys[left] | s.keys[right]) & 0x80;
    s.taken = s.keys;
    // An Alt that went down before is no lone Alt when it comes up: it opens no menu.
    for (Window* t : detail::Desktop()->children)
        t->keyMenuArmed = false;
    if (k.regained) SetApplicationActive(true);
}

void Queue(RawEvent e) {
    {
        auto& q = Raw();
        std::lock_guard g(q.lock);
        q.events.push_back(std::move(e));
    }
    if (!detail::OnGuiThread()) CurrentEventSource().Wake();
}

bool ConvertNext() {
    RawEvent e;
    {
        auto& q = Raw();
        std::lock_guard g(q.lock);
        if (q.events.empty()) return false;
        e = q.events.front();
        q.events.pop_front();
    }
    if (auto* m = std::get_if<MouseEvent>(&e)) {
        ConvertMouse(*m);
    } else if (auto* k = std::get_if<KeyEvent>(&e)) {
        ConvertKey(*k);
    } else if (auto* state = std::get_if<KeyboardState>(&e)) {
        ConvertKeyboardState(*state);
    } else {
        ConvertFocusLost();
    }
    return true;
}

}  // namespace

void QueueMouseEvent(const MouseEvent& e) {
    Queue(e);
}

void QueueKeyEvent(const KeyEvent& e) {
    Queue(e);
}

void QueueFocusLost() {
    Queue(FocusLost{});
}

void QueueKeyboardState(std::vector<UINT> held) {
    Queue(KeyboardState{std::move(held)});
}

void QueueFocusRegained(std::vector<UINT> held) {
    Queue(KeyboardState{std::move(held), true});
}

namespace detail {

POINT CursorPos() {
    return St().cursor;
}

bool NextInputMessage(MSG* out, HWND filter, UINT lo, UINT hi, bool remove) {
    auto& s = St();
    for (;;) {
        for (auto it = s.ready.begin(); it != s.ready.end(); ++it) {
            const MSG& m = it->msg;
            if (m.hwnd && !Peek(m.hwnd)) {
                s.ready.erase(it);
                break;
            }
            bool range = (lo == 0 && hi == 0) || (m.message >= lo && m.message <= hi);
            if (range && MatchesWindowFilter(m.hwnd, filter)) {
                *out = m;
                if (remove) {
                    s.taken = it->keys;
                    s.ready.erase(it);
                }
                return true;
            }
        }
        if (!ConvertNext()) {
            // Everything converted has been taken: the keys are as they are now.
            if (s.ready.empty()) s.taken = s.keys;
            return false;
        }
    }
}

void ForgetInputState(Window* w) {
    auto& s = St();
    if (s.capture == w->handle) s.capture = nullptr;
    if (s.tracked == w->handle) EndTracking(false);
    if (s.lastDownWnd == w->handle) s.lastDownWnd = nullptr;
    std::erase_if(s.ready, [w](const InputState::Ready& r) { return r.msg.hwnd == w->handle; });
}

bool LastInputWasKeyboard() {
    return St().lastWasKey;
}

void RepeatMousePress(POINT pt, MouseButton button) {
    auto& s = St();
    // The press was already counted once, against the loop's capture window.
    s.lastDownMsg = 0;
    s.lastWasDouble = false;
    auto& q = Raw();
    std::lock_guard g(q.lock);
    q.events.push_front(MouseEvent{MouseEvent::Down, pt, button});
}

void ReleaseCaptureIfIn(Window* w) {
    Window* c = Peek(St().capture);
    if (c && IsAncestor(w, c)) ReleaseCapture();
}

void ResetInput() {
    auto& s = St();
    s = InputState{};
    auto& q = Raw();
    std::lock_guard g(q.lock);
    q.events.clear();
}

}  // namespace detail

HWND SetCapture(HWND hwnd) {
    auto& s = St();
    HWND old = s.capture;
    if (hwnd && !detail::Find(hwnd)) return nullptr;
    if (old == hwnd) return old;
    s.capture = hwnd;
    if (old && Peek(old)) Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture() {
    auto& s = St();
    HWND old = s.capture;
    s.capture = nullptr;
    if (old && Peek(old)) Send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    return Peek(St().capture) ? St().capture : nullptr;
}

BOOL GetCursorPos(POINT* pt) {
    if (pt == nullptr) return FALSE;
    *pt = St().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    SIZE sz = ScreenSize();
    St().cursor = POINT{std::clamp(x, 0, sz.cx - 1), std::clamp(y, 0, sz.cy - 1)};
    return TRUE;
}

short GetKeyState(int vk) {
    BYTE k = St().taken[size_t(vk) & 0xFF];
    return short((k & 0x80 ? 0x8000 : 0) | (k & 0x01));
}

short GetAsyncKeyState(int vk) {
    return St().keys[size_t(vk) & 0xFF] & 0x80 ? short(0x8000) : short(0);
}

UINT GetDoubleClickTime() {
    return 500;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
    if (tme == nullptr || tme->cbSize < sizeof(TRACKMOUSEEVENT)) return FALSE;
    auto& s = St();
    if (tme->dwFlags & TME_QUERY) {
        tme->hwndTrack = s.tracked;
        tme->dwFlags = s.tracked ? s.trackFlags : 0;
        return TRUE;
    }
    if (!detail::Find(tme->hwndTrack)) return FALSE;
    if (tme->dwFlags & TME_CANCEL) {
        if (s.tracked == tme->hwndTrack) EndTracking(false);
        return TRUE;
    }
    if (!(tme->dwFlags & TME_LEAVE)) return TRUE;
    s.tracked = tme->hwndTrack;
    s.trackFlags = tme->dwFlags & (TME_LEAVE | TME_NONCLIENT);
    // When the pointer is already elsewhere the leave comes at once.
    Target t = Route(s.cursor, true);
    CheckTracking(t);
    return TRUE;
}

HWND WindowFromPoint(POINT pt) {
    Target t = Route(pt, true);
    return t.w ? t.w->handle : nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT clientPt) {
    Window* p = detail::Find(parent);
    if (p == nullptr) return nullptr;
    RECT box{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
    if (!PtInRect(&box, clientPt)) return nullptr;
    for (Window* c : p->children)
        if (PtInRect(&c->rect, clientPt)) return c->handle;
    return parent;
}

HCURSOR LoadCursorA(HINSTANCE, const char* name) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    int id = int(reinterpret_cast<uintptr_t>(name));
    static const int known[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                32644, 32645, 32646, 32648, 32649, 32650, 32651};
    for (int k : known)
        if (k == id) return reinterpret_cast<HCURSOR>(uintptr_t(0x7E00000 + id));
    return nullptr;
}

int StandardCursorId(HCURSOR cursor) {
    auto v = reinterpret_cast<uintptr_t>(cursor);
    return v > 0x7E00000 && v < 0x7E10000 ? int(v - 0x7E00000) : 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR old = St().cursorShape;
    St().cursorShape = cursor;
    return old;
}

HCURSOR GetCursor() {
    return St().cursorShape;
}

BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr) return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    unsigned char ch = St().chars[msg->wParam & 0xFF];
    if (ch == 0) return FALSE;
    PostMessageA(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, WPARAM(ch),
                 msg->lParam);
    return TRUE;
}

}  // namespace win
