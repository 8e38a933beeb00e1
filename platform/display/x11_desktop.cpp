// The desktop's side of the program's windows: a manager's moves and resizes, activation and
// focus, iconify and restore, and the work area.
#include "platform/display/x11_presenter_state.h"

#include <vector>

namespace display {

namespace {

// Up to `most` items of a 32-bit property of `type`, empty when it is unset or of another kind.
std::vector<long> Property32(Display* dpy, ::Window w, const char* name, Atom type, long most) {
    Atom got = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, most, False, type, &got,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const long* v = reinterpret_cast<const long*>(data);
        out.assign(v, v + count);
    }
    if (data) XFree(data);
    return out;
}

}  // namespace

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
    const win::RECT at{x, y, x + e.width, y + e.height};
    // Told before the state is followed, which changes the window without asking.
    const bool follow =
        map->Configured(e.window, at, e.serial, e.send_event) == X11WindowMap::Notice::Follow;
    // A manager that maximises or restores a window sizes it too: the state goes first, so
    // that the size before is the one a restore comes back to.
    FollowMaximized(e.window, false);
    if (follow) Place(h, at);
}

void X11Presenter::State::Place(win::HWND h, const win::RECT& at) {
    // A maximised window keeps the program's own place, its frame beyond the work area; its
    // X window, where the manager put it, shows the part of the screen there.
    if (win::IsZoomed(h) && map->ManagerRunning()) {
        map->Moved(h, at);
        return;
    }
    win::RECT r{};
    win::GetWindowRect(h, &r);
    if (win::EqualRect(&r, &at)) return;
    map->Moved(h, at);
    win::SetWindowPos(h, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                      win::SWP_NOZORDER | win::SWP_NOACTIVATE);
}

// The manager maximised or restored one of the windows by itself (its keys, a double click on
// its task bar entry): the window follows as if its own box were pressed. Returns whether it
// did.
bool X11Presenter::State::FollowMaximized(::Window w, bool changed) {
    win::HWND h = map->WindowOf(w);
    // Without a manager nobody keeps _NET_WM_STATE: what it says is only what was set at first.
    if (h == nullptr || win::IsIconic(h) || !map->ManagerRunning()) return false;
    const Atom vert = XInternAtom(dpy, "_NET_WM_STATE_MAXIMIZED_VERT", False);
    const Atom horz = XInternAtom(dpy, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
    int both = 0;
    for (long a : Property32(dpy, w, "_NET_WM_STATE", XA_ATOM, 64))
        both += Atom(a) == vert || Atom(a) == horz;
    const bool maximized = both == 2;
    if (!map->DesktopMaximized(w, maximized, changed) || (win::IsZoomed(h) != 0) == maximized)
        return false;
    win::SendMessageA(h, win::WM_SYSCOMMAND, maximized ? win::SC_MAXIMIZE : win::SC_RESTORE, 0);
    return true;
}

// The manager's place of one of the windows, asked of the server.
void X11Presenter::State::FollowPlaceOf(::Window w) {
    win::HWND h = map->WindowOf(w);
    XWindowAttributes a{};
    if (h == nullptr || win::IsIconic(h) || !XGetWindowAttributes(dpy, w, &a)) return;
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
    Place(h, win::RECT{x, y, x + a.width, y + a.height});
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

// The desktop iconified or restored one of the windows by itself (a manager's task bar or keys;
// with no manager, a tool that maps the window again): the window follows as if its own
// minimise or restore box were pressed. The X server's map and unmap events say it, in the order
// it happened; the manager's WM_STATE, read when an unmap comes, tells an iconify from a window
// only hidden with its desktop.
void X11Presenter::State::FollowMapping(::Window w, bool mapped) {
    win::HWND h = map->WindowOf(w);
    if (h == nullptr) return;
    bool iconicState = false;
    if (!mapped && map->ManagerRunning()) {
        const std::vector<long> state =
            Property32(dpy, w, "WM_STATE", XInternAtom(dpy, "WM_STATE", False), 2);
        iconicState = !state.empty() && state[0] == IconicState;
    }
    if (map->DesktopMapped(w, mapped, iconicState))
        win::PostMessageA(h, win::WM_SYSCOMMAND, mapped ? win::SC_RESTORE : win::SC_MINIMIZE, 0);
}

// A window manager's _NET_WORKAREA (its first desktop) is where maximised windows go.
void X11Presenter::State::FollowWorkArea() {
    const std::vector<long> v =
        Property32(dpy, DefaultRootWindow(dpy), "_NET_WORKAREA", XA_CARDINAL, 4);
    win::RECT area{};
    if (v.size() == 4) area = win::RECT{int(v[0]), int(v[1]), int(v[0] + v[2]), int(v[1] + v[3])};
    win::SetWorkArea(area);
}

}  // namespace display
