// The desktop's side of the program's windows: a manager's moves and resizes, activation and
// focus, iconify and restore, and the work area.
#include "platform/display/x11_presenter_state.h"

namespace display {

// A window manager moved or sized one of the windows (or the X screen changed size): the
// windowing layer follows, with its usual messages.
void X11Presenter::State::FollowPlace(const XConfigureEvent& e) {
    if (e.window == DefaultRootWindow(dpy)) {
        win::SIZE now = win::ScreenSize();
        if (e.width != now.cx || e.height != now.cy) win::SetVirtualScreenSize(e.width, e.height);
        return;
    }
    win::HWND h = map->WindowOf(e.window);
    // A minimised window keeps the place it will be restored to.
    if (h == nullptr || win::IsIconic(h)) return;
    int x = e.x, y = e.y;
    if (!e.send_event) {  // relative to a manager's frame: asked of the server
        ::Window child;
        XTranslateCoordinates(dpy, e.window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
    }
    win::RECT r{};
    win::GetWindowRect(h, &r);
    if (r.left == x && r.top == y && r.right - r.left == e.width && r.bottom - r.top == e.height)
        return;
    map->Moved(h, win::RECT{x, y, x + e.width, y + e.height});
    win::SetWindowPos(h, nullptr, x, y, e.width, e.height, win::SWP_NOZORDER | win::SWP_NOACTIVATE);
}

// The window the program activates comes forward and gets the keyboard: through the window
// manager when one runs (it decides between programs), else straight from the X server.
void X11Presenter::State::FollowActive() {
    win::HWND active = win::GetActiveWindow();
    if (active == focused) return;
    const unsigned long w = map->XWindowOf(active);
    if (w == 0) return;
    focused = active;
    XWindowAttributes a{};
    XGetWindowAttributes(dpy, w, &a);
    if (!a.override_redirect && map->ManagerRunning()) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = 1;  // asked by an application
        e.xclient.data.l[1] = long(lastTime);
        XSendEvent(dpy, DefaultRootWindow(dpy), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        return;
    }
    XRaiseWindow(dpy, w);
    XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
}

// The desktop gave one of the program's X windows the keyboard (a click, alt-tab, the task
// bar): that window becomes the active one, as a click on it would make it. A window disabled
// behind a modal dialog cannot be: the dialog comes forward instead.
void X11Presenter::State::FollowDesktopFocus(::Window w) {
    win::HWND h = map->WindowOf(w);
    if (h == nullptr || h == win::GetActiveWindow()) return;
    // A focus change the program asked for since then makes this one stale.
    ::Window now = 0;
    int revert = 0;
    XGetInputFocus(dpy, &now, &revert);
    if (now != w) return;
    if (!win::IsWindowEnabled(h)) {
        BringForwardOver(h);
        return;
    }
    if (win::GetWindowLongPtrA(h, win::GWL_EXSTYLE) & win::WS_EX_NOACTIVATE) return;
    focused = h;  // it has the keyboard already
    win::SetActiveWindow(h);
}

void X11Presenter::State::BringForwardOver(win::HWND disabled) {
    // The popup it owns that is enabled, else the topmost enabled window the desktop shows:
    // a dialog shown modally disables every other window of the program.
    win::HWND to = win::GetWindow(disabled, win::GW_ENABLEDPOPUP);
    for (win::HWND t = win::GetTopWindow(nullptr); t && !to;
         t = win::GetWindow(t, win::GW_HWNDNEXT)) {
        const auto ex = win::GetWindowLongPtrA(t, win::GWL_EXSTYLE);
        if (map->XWindowOf(t) && win::IsWindowEnabled(t) &&
            !(ex & (win::WS_EX_NOACTIVATE | win::WS_EX_TOOLWINDOW)))
            to = t;
    }
    if (to == nullptr) return;
    focused = nullptr;  // asked of the desktop again even when it is active already
    win::SetActiveWindow(to);
    FollowActive();
}

// The window manager iconified or restored one of the windows by itself (its task bar, its
// keys): the window follows as if its own minimise or restore box were pressed.
void X11Presenter::State::FollowIconState(::Window w) {
    win::HWND h = map->WindowOf(w);
    if (h == nullptr) return;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
    long state = -1;
    if (XGetWindowProperty(dpy, w, wmState, 0, 2, False, wmState, &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 32 && count >= 1)
        state = reinterpret_cast<const long*>(data)[0];
    if (data) XFree(data);
    if (state != NormalState && state != IconicState) return;  // withdrawn: being destroyed
    if (map->DesktopIconified(w, state == IconicState))
        win::PostMessageA(h, win::WM_SYSCOMMAND,
                          state == IconicState ? win::SC_MINIMIZE : win::SC_RESTORE, 0);
}

// A window manager's _NET_WORKAREA (its first desktop) is where maximised windows go.
void X11Presenter::State::FollowWorkArea() {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    win::RECT area{};
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_WORKAREA", False), 0,
                           4, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 32 && count == 4) {
        const long* v = reinterpret_cast<const long*>(data);
        area = win::RECT{int(v[0]), int(v[1]), int(v[0] + v[2]), int(v[1] + v[3])};
    }
    if (data) XFree(data);
    win::SetWorkArea(area);
}

}  // namespace display
