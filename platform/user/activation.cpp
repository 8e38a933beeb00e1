// Activation and focus.
#include "platform/user/focus.h"

#include "platform/user/hooks.h"
#include "platform/user/internal.h"
#include "platform/user/styles.h"
#include "platform/user/window_pos.h"

namespace win {

using detail::Peek;
using detail::Send;
using detail::Window;

namespace {

HWND active = nullptr;
HWND focus = nullptr;
bool appActive = false;
int activating = 0;  // nesting guard: an activation inside WM_ACTIVATE is taken as final

bool Activatable(const Window* w) {
    return w && w->alive && w->IsTopLevel() && !w->destroying && w->Visible() &&
           !(w->style & WS_DISABLED);
}

void SendActivateApp(bool on, HWND except) {
    std::vector<HWND> tops;
    for (Window* t : detail::Desktop()->children)
        if (t->handle != except) tops.push_back(t->handle);
    for (HWND h : tops)
        Send(h, WM_ACTIVATEAPP, on ? TRUE : FALSE, 0);
}

void ChangeFocus(HWND to) {
    HWND old = focus;
    if (old == to) return;
    focus = to;
    if (old && Peek(old)) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
    if (focus != to) return;  // WM_KILLFOCUS moved it elsewhere
    if (to && Peek(to)) Send(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

}  // namespace

namespace detail {

Window* ActiveWindow() {
    return Peek(active);
}

bool Activate(Window* top, WORD how, bool mouse) {
    if (top == nullptr || !top->alive) return false;
    HWND h = top->handle;
    if (active == h) return true;
    HWND previous = active;
    CBTACTIVATESTRUCT cbt{mouse ? TRUE : FALSE, previous};
    if (CallCbtHooks(HCBT_ACTIVATE, reinterpret_cast<WPARAM>(h), reinterpret_cast<LPARAM>(&cbt)))
        return false;
    if (!Peek(h)) return false;
    ++activating;
    struct Guard {
        ~Guard() { --activating; }
    } guard;
    if (previous && Peek(previous)) {
        Send(previous, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(h));
        if (Peek(previous))
            Send(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(previous)),
                 reinterpret_cast<LPARAM>(h));
    }
    if (!Peek(h)) return false;
    active = h;
    // The newly active window comes to the top of its band.
    detail::RaiseWithoutMessages(top);
    if (!appActive) {
        appActive = true;
        SendActivateApp(true, nullptr);
        if (!Peek(h)) return false;
    }
    Send(h, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(previous));
    if (!Peek(h) || active != h) return active == h;
    Send(h, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(h)), reinterpret_cast<LPARAM>(previous));
    // Focus left in the old window's tree goes when the new window takes none of its own.
    if (Peek(h) && active == h && focus) {
        Window* f = Peek(focus);
        if (f == nullptr || TopLevelOf(f) != top) ChangeFocus(nullptr);
    }
    return Peek(h) != nullptr;
}

void ActivateNextAfter(Window* leaving) {
    if (leaving == nullptr || !leaving->IsTopLevel()) return;
    Window* top = leaving;
    if (top == nullptr || active != top->handle) return;
    // Prefer the owner, then the next window in the z-order.
    Window* next = nullptr;
    if (Window* o = Peek(top->owner); Activatable(o)) next = o;
    if (next == nullptr) {
        for (Window* t : Desktop()->children)
            if (t != top && Activatable(t) && !(t->exStyle & WS_EX_NOACTIVATE) &&
                !(t->exStyle & WS_EX_TOOLWINDOW)) {
                next = t;
                break;
            }
    }
    if (next != nullptr && Activate(next, WA_ACTIVE, false)) return;
    if (active != top->handle) return;
    // Nothing left to activate: the window just loses activation.
    HWND h = top->handle;
    active = nullptr;
    Send(h, WM_NCACTIVATE, FALSE, 0);
    if (Peek(h)) Send(h, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    if (focus) {
        Window* f = Peek(focus);
        if (f == nullptr || IsAncestor(top, f)) ChangeFocus(nullptr);
    }
}

void MoveFocusOutOf(Window* w) {
    Window* f = Peek(focus);
    if (f == nullptr || !IsAncestor(w, f)) return;
    Window* to = w->IsChild() ? w->parent : nullptr;
    if (to && (to->style & WS_DISABLED)) to = nullptr;
    ChangeFocus(to ? to->handle : nullptr);
}

void ResetActivation() {
    active = focus = nullptr;
    appActive = false;
}

}  // namespace detail

HWND SetFocus(HWND hwnd) {
    HWND old = focus;
    if (hwnd == nullptr) {
        ChangeFocus(nullptr);
        return old;
    }
    Window* w = detail::Find(hwnd);
    if (w == nullptr) return nullptr;
    if (w->style & WS_DISABLED) return nullptr;
    for (Window* p = w; p && p->IsChild(); p = p->parent)
        if (p->parent && (p->parent->style & WS_DISABLED)) return nullptr;
    Window* top = detail::TopLevelOf(w);
    if (active != top->handle) {
        if (!detail::Activate(top, WA_ACTIVE, false)) return nullptr;
        if (!Peek(hwnd)) return nullptr;
    }
    ChangeFocus(hwnd);
    return old;
}

HWND GetFocus() {
    return Peek(focus) ? focus : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
    HWND old = active;
    if (hwnd == nullptr) return old;
    Window* w = detail::Find(hwnd);
    if (w == nullptr) return nullptr;
    Window* top = detail::TopLevelOf(w);
    if (top->style & WS_DISABLED) return nullptr;
    detail::Activate(top, WA_ACTIVE, false);
    return old;
}

HWND GetActiveWindow() {
    return Peek(active) ? active : nullptr;
}

BOOL SetForegroundWindow(HWND hwnd) {
    Window* w = detail::Find(hwnd);
    if (w == nullptr) return FALSE;
    if (!appActive) SetApplicationActive(true);
    return detail::Activate(detail::TopLevelOf(w), WA_ACTIVE, false) ? TRUE : FALSE;
}

HWND GetForegroundWindow() {
    return appActive ? GetActiveWindow() : nullptr;
}

void SetApplicationActive(bool on) {
    if (on == appActive) return;
    HWND h = active;
    if (on) {
        appActive = true;
        SendActivateApp(true, nullptr);
        if (h && Peek(h)) {
            Send(h, WM_NCACTIVATE, TRUE, 0);
            if (Peek(h)) Send(h, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
        }
        return;
    }
    appActive = false;
    if (h && Peek(h)) {
        Send(h, WM_NCACTIVATE, FALSE, 0);
        if (Peek(h)) Send(h, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    }
    SendActivateApp(false, nullptr);
}

}  // namespace win
