// The program's X windows seen from outside, as an operator's desktop sees them: found by
// their names among the X windows (inside a window manager's frames too), driven with xdotool
// and read back from the X server.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/display/screenshot.h"
#include "tests/platform/display/x11_grab.h"
#include "tests/support/temp_dir.h"

// Xlib's macros clash with other names, so it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace app_test {

// The program run as its own process from a copy in a temporary folder (its database, log and
// settings land there), on the display `display`; killed at the end when it is still running.
class ProgramProcess {
public:
    explicit ProgramProcess(const char* display) {
        exe_ = bin / "tessary";
        std::filesystem::copy_file(TESSARY_EXE, exe_);
        const std::string config = bin / "config";
        pid_ = fork();
        if (pid_ == 0) {
            setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            setenv("DISPLAY", display, 1);
            execl(exe_.c_str(), exe_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~ProgramProcess() {
        if (Ended()) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;
    // Whether it has ended, and how (a wait status).
    bool Ended(int* status = nullptr) {
        if (status_ == -1) {
            int st = 0;
            if (waitpid(pid_, &st, WNOHANG) == pid_) status_ = st;
        }
        if (status) *status = status_;
        return status_ != -1;
    }

    testing_support::TempDir bin;

private:
    testing_support::TempDir runtime_;
    std::string exe_;
    pid_t pid_ = -1;
    int status_ = -1;
};

class DesktopRoad {
public:
    explicit DesktopRoad(const char* display) : display_(display) {
        dpy_ = XOpenDisplay(display);
        // Windows come and go while the tree is walked: a window gone between two requests is
        // skipped, not a reason for Xlib's default handler to end the test program.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~DesktopRoad() {
        if (dpy_) XCloseDisplay(dpy_);
    }
    Display* dpy() const { return dpy_; }

    // Polls until `done` (a hang guard of a minute, far beyond a loaded machine's pace).
    static bool Until(const std::function<bool()>& done) {
        for (int i = 0; i < 600; ++i) {
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return done();
    }
    // The mapped X window whose _NET_WM_NAME begins with `name` (UTF-8), 0 when none is.
    ::Window Named(const std::string& name) { return Find(DefaultRootWindow(dpy_), name); }
    ::Window WaitNamed(const std::string& name) {
        ::Window w = 0;
        Until([&] { return (w = Named(name)) != 0; });
        return w;
    }
    // A pop-up menu of the program is up.
    bool MenuUp() { return FindMenu(DefaultRootWindow(dpy_)); }
    // xdotool with its arguments; false when it failed.
    bool Do(const std::string& args) {
        const std::string cmd = "DISPLAY=" + display_ + " xdotool " + args + " >/dev/null 2>&1";
        return std::system(cmd.c_str()) == 0;
    }
    bool Click(::Window w, int x, int y, int button = 1) {
        return Do("mousemove --window " + std::to_string(w) + " " + std::to_string(x) + " " +
                  std::to_string(y) + " click " + std::to_string(button));
    }
    bool Type(const std::string& text) { return Do("type --delay 20 '" + text + "'"); }
    bool Key(const std::string& key) { return Do("key " + key); }
    // The whole X screen as the eye sees it.
    display::Rgb Screen() { return Picture(DefaultRootWindow(dpy_)); }
    // The screen where one X window is, as the eye sees it (with what lies over it, such as
    // the program's own glow and hint windows), read back from the server; empty when the
    // window is not viewable.
    display::Rgb Picture(::Window w) {
        const ::Window root = DefaultRootWindow(dpy_);
        XWindowAttributes a{}, screen{};
        if (!XGetWindowAttributes(dpy_, w, &a) || a.map_state != IsViewable ||
            !XGetWindowAttributes(dpy_, root, &screen))
            return {};
        int x0 = 0, y0 = 0;
        ::Window child;
        XTranslateCoordinates(dpy_, w, root, 0, 0, &x0, &y0, &child);
        const int left = std::max(x0, 0), top = std::max(y0, 0);
        return display::GrabX(dpy_, root, left, top, std::min(x0 + a.width, screen.width) - left,
                              std::min(y0 + a.height, screen.height) - top);
    }

    // Whether the X server has taken the release of every pointer button: a manager that grabs
    // a click (to raise the window first) holds the pointer's later events until it lets go.
    bool ButtonsUp() {
        ::Window root, child;
        int rx, ry, x, y;
        unsigned mask = 0;
        XQueryPointer(dpy_, DefaultRootWindow(dpy_), &root, &child, &rx, &ry, &x, &y, &mask);
        return (mask & (Button1Mask | Button2Mask | Button3Mask)) == 0;
    }
    // The window's place on the screen, and whether it is viewable.
    struct Box {
        int x = 0, y = 0, w = 0, h = 0;
    };
    Box Place(::Window w) {
        XWindowAttributes a{};
        ::Window child;
        Box b;
        if (!XGetWindowAttributes(dpy_, w, &a)) return b;
        XTranslateCoordinates(dpy_, w, DefaultRootWindow(dpy_), 0, 0, &b.x, &b.y, &child);
        b.w = a.width;
        b.h = a.height;
        return b;
    }
    bool Viewable(::Window w) {
        XWindowAttributes a{};
        return XGetWindowAttributes(dpy_, w, &a) && a.map_state == IsViewable;
    }
    // Whether the manager's _NET_WM_STATE holds `state` ("_NET_WM_STATE_MAXIMIZED_VERT").
    bool HasState(::Window w, const char* state) {
        Atom type;
        int format;
        unsigned long n = 0, after;
        unsigned char* data = nullptr;
        bool found = false;
        const Atom want = XInternAtom(dpy_, state, False);
        if (XGetWindowProperty(dpy_, w, XInternAtom(dpy_, "_NET_WM_STATE", False), 0, 64, False,
                               XA_ATOM, &type, &format, &n, &after, &data) == Success &&
            data && format == 32)
            for (unsigned long i = 0; i < n; ++i)
                found = found || reinterpret_cast<Atom*>(data)[i] == want;
        if (data) XFree(data);
        return found;
    }
    // Asks the window manager to maximise the window or to restore it, as its own keys would.
    void ManagerMaximize(::Window w, bool on) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(dpy_, "_NET_WM_STATE", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = on ? 1 : 0;
        e.xclient.data.l[1] = long(XInternAtom(dpy_, "_NET_WM_STATE_MAXIMIZED_VERT", False));
        e.xclient.data.l[2] = long(XInternAtom(dpy_, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
        e.xclient.data.l[3] = 2;  // asked by the operator
        XSendEvent(dpy_, DefaultRootWindow(dpy_), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(dpy_);
    }

private:
    // Depth first, as a window manager puts the program's windows inside frames of its own.
    template <typename Match>
    ::Window Walk(::Window from, const Match& match) {
        ::Window root, parent, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(dpy_, from, &root, &parent, &children, &n)) return 0;
        ::Window found = 0;
        for (unsigned k = 0; k < n && !found; ++k)
            found = match(children[k]) ? children[k] : Walk(children[k], match);
        if (children) XFree(children);
        return found;
    }
    ::Window Find(::Window from, const std::string& name) {
        return Walk(from, [&](::Window w) {
            return Viewable(w) &&
                   display::XPropertyText(dpy_, w, "_NET_WM_NAME").rfind(name, 0) == 0;
        });
    }
    bool FindMenu(::Window from) {
        return Walk(from, [&](::Window w) {
                   return Viewable(w) && display::XPropertyText(dpy_, w, "_NET_WM_WINDOW_TYPE") ==
                                             "_NET_WM_WINDOW_TYPE_POPUP_MENU";
               }) != 0;
    }

    std::string display_;
    Display* dpy_ = nullptr;
};

}  // namespace app_test
