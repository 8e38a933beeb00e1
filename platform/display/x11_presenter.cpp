// The X11 connection: the event loop, the picture, input, the cursor and the clipboard; the X
// windows themselves are the window map's.
#include "platform/display/x11_presenter.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

#include "platform/display/headless_presenter.h"
#include "platform/display/x11_keys.h"
#include "platform/display/x11_window_map.h"
#include "platform/gdi/bitmap.h"
#include "platform/os/clock.h"
#include "platform/os/cp1251.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/screen.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"

// Xlib's macros (None, True, ...) would clash with names above, so it comes last.
namespace display {
constexpr auto kNoButton = win::MouseButton::None;
}

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include "platform/user/messages.h"

namespace display {

struct X11Presenter::State {
    Display* dpy = nullptr;
    ::Window window = 0;  // never shown: owns the clipboard
    std::unique_ptr<X11WindowMap> map;
    std::vector<unsigned long> cursorOn;  // the X windows the cursor was set on
    bool focusLost = false;  // a FocusOut not yet followed by a FocusIn of ours
    win::HWND focused = nullptr;  // the active window whose X window was given the focus
    Time lastTime = CurrentTime;  // of the operator's last button or key, for the manager
    unsigned long grabbedOn = 0;  // the X window holding the pointer for the capture
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    int wakeRead = -1, wakeWrite = -1;
    Atom wmProtocols = 0, wmDelete = 0, clipboard = 0, utf8 = 0, targets = 0, transfer = 0,
         incr = 0, netWmName = 0;
    std::string offered;  // our clipboard text, UTF-8
    bool ownSelection = false;
    std::map<int, Cursor> cursors;
    int cursorId = -1;
    PresentStats last;
    long presents = 0;
    uint32_t presentedAt = 0;  // platform ticks of the last present
    bool presenting = false;   // a Present reached again from inside composing does nothing
    std::vector<win::RECT> exposed;
    std::deque<XEvent> deferred;  // events that came in while waiting for the clipboard
    bool fastCopy = false;        // the image has the screen bitmap's own byte layout

    ~State();
    bool MakeImage(int width, int height);
    // Copies a part of the screen into the image.
    void Put(const win::BitmapView& v, win::RECT r);
    win::POINT At(::Window w, int x, int y) const { return map->ToScreen(w, x, y); }
    void FollowPlace(const XConfigureEvent& e);
    void Handle(XEvent& e);
    void HandleKey(XKeyEvent& e);
    void AnswerSelection(const XSelectionRequestEvent& req);
    void FollowCursor();
    void FollowActive();
    void FollowDesktopFocus(::Window w);
    void BringForwardOver(win::HWND disabled);
    void FollowIconState(::Window w);
    void FollowCapture();
    void FollowWorkArea();
    void ProcessPending();
};

namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;  // a window of another client gone mid-transfer harms nothing
}

win::MouseButton ButtonOf(unsigned b) {
    switch (b) {
        case Button1:
            return win::MouseButton::Left;
        case Button2:
            return win::MouseButton::Middle;
        case Button3:
            return win::MouseButton::Right;
        default:
            return kNoButton;
    }
}

unsigned XCursorShape(int id) {
    switch (id) {
        case 32513:
            return XC_xterm;
        case 32514:
        case 32650:
            return XC_watch;
        case 32515:
            return XC_crosshair;
        case 32516:
            return XC_center_ptr;
        case 32642:
            return XC_bottom_right_corner;
        case 32643:
            return XC_bottom_left_corner;
        case 32644:
            return XC_sb_h_double_arrow;
        case 32645:
            return XC_sb_v_double_arrow;
        case 32646:
            return XC_fleur;
        case 32648:
            return XC_X_cursor;
        case 32649:
            return XC_hand2;
        case 32651:
            return XC_question_arrow;
        default:
            return XC_left_ptr;
    }
}

int Shift(unsigned long mask) {
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

}  // namespace

X11Presenter::State::~State() {
    if (dpy == nullptr) return;
    map.reset();
    if (image) XDestroyImage(image);  // frees the pixels too
    for (auto& [id, c] : cursors)
        XFreeCursor(dpy, c);
    if (gc) XFreeGC(dpy, gc);
    if (window) XDestroyWindow(dpy, window);
    XCloseDisplay(dpy);
    if (wakeRead >= 0) close(wakeRead);
    if (wakeWrite >= 0) close(wakeWrite);
}

bool X11Presenter::State::MakeImage(int width, int height) {
    if (image) XDestroyImage(image);
    image = nullptr;
    if (width <= 0 || height <= 0) return false;
    char* data = static_cast<char*>(std::calloc(size_t(width) * size_t(height), 4));
    if (data == nullptr) return false;
    image = XCreateImage(dpy, visual, unsigned(depth), ZPixmap, 0, data, unsigned(width),
                         unsigned(height), 32, 0);
    if (image == nullptr) {
        std::free(data);
        return false;
    }
    if (image->bits_per_pixel != 32) {
        XDestroyImage(image);
        image = nullptr;
        return false;
    }
    // The screen bitmap holds blue, green, red, unused: the same bytes as a little-endian
    // 0x00RRGGBB pixel.
    fastCopy = image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
               image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    return true;
}

void X11Presenter::State::Put(const win::BitmapView& v, win::RECT r) {
    r.left = std::max<win::LONG>(r.left, 0);
    r.top = std::max<win::LONG>(r.top, 0);
    r.right = std::min<win::LONG>(r.right, std::min(v.width, image->width));
    r.bottom = std::min<win::LONG>(r.bottom, std::min(v.height, image->height));
    if (r.right <= r.left || r.bottom <= r.top) return;
    int w = r.right - r.left;
    int rs = Shift(image->red_mask), gs = Shift(image->green_mask), bs = Shift(image->blue_mask);
    for (int y = r.top; y < r.bottom; ++y) {
        const win::BYTE* src = v.Row(y) + r.left * 4;
        char* dst = image->data + std::ptrdiff_t(y) * image->bytes_per_line + r.left * 4;
        if (fastCopy) {
            std::memcpy(dst, src, size_t(w) * 4);
            continue;
        }
        for (int x = 0; x < w; ++x, src += 4) {
            unsigned long px = ((unsigned long)(src[2]) << rs & image->red_mask) |
                               ((unsigned long)(src[1]) << gs & image->green_mask) |
                               ((unsigned long)(src[0]) << bs & image->blue_mask);
            XPutPixel(image, r.left + x, y, px);
        }
    }
}

void X11Presenter::State::HandleKey(XKeyEvent& e) {
    KeySym typed = NoSymbol;
    char buf[16];
    XLookupString(&e, buf, sizeof buf, &typed, nullptr);
    // The key's own name comes from its first level, so that keys of another alphabet still
    // give the Latin letter's virtual key.
    KeySym base = XkbKeycodeToKeysym(dpy, KeyCode(e.keycode), 0, 0);
    unsigned vk = VirtualKeyFor(base);
    if (vk == 0) vk = VirtualKeyFor(typed);
    unsigned char ch = (e.state & ControlMask) ? 0 : KeysymToCp1251(typed);
    if (vk == 0 && ch == 0) return;
    win::QueueKeyEvent(win::KeyEvent{vk, e.type == KeyPress, ch});
}

void X11Presenter::State::AnswerSelection(const XSelectionRequestEvent& req) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = req.display;
    reply.requestor = req.requestor;
    reply.selection = req.selection;
    reply.target = req.target;
    reply.time = req.time;
    Atom property = req.property != None ? req.property : req.target;
    reply.property = None;
    if (req.selection == clipboard && ownSelection) {
        if (req.target == targets) {
            Atom offer[] = {targets, utf8, XA_STRING};
            XChangeProperty(dpy, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(offer), 3);
            reply.property = property;
        } else if (req.target == utf8 || req.target == XA_STRING) {
            std::string data = req.target == utf8 ? offered : Utf8ToLatin1(offered);
            XChangeProperty(dpy, req.requestor, property, req.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
            reply.property = property;
        }
    }
    XSendEvent(dpy, req.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
}

void X11Presenter::State::Handle(XEvent& e) {
    switch (e.type) {
        case Expose: {
            const win::POINT at = At(e.xexpose.window, e.xexpose.x, e.xexpose.y);
            exposed.push_back(
                win::RECT{at.x, at.y, at.x + e.xexpose.width, at.y + e.xexpose.height});
            break;
        }
        case ConfigureNotify:
            FollowPlace(e.xconfigure);
            break;
        case MotionNotify:
            win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Move,
                                                 At(e.xmotion.window, e.xmotion.x, e.xmotion.y)});
            break;
        case ButtonPress:
        case ButtonRelease: {
            lastTime = e.xbutton.time;
            if (e.type == ButtonPress) {
                // A click on a window disabled behind a modal dialog brings the dialog forward.
                win::HWND h = map->WindowOf(e.xbutton.window);
                if (h && !win::IsWindowEnabled(h)) {
                    BringForwardOver(h);
                    break;
                }
            }
            const win::POINT at = At(e.xbutton.window, e.xbutton.x, e.xbutton.y);
            if (e.xbutton.button == Button4 || e.xbutton.button == Button5) {
                if (e.type == ButtonPress) {
                    int delta = e.xbutton.button == Button4 ? win::WHEEL_DELTA : -win::WHEEL_DELTA;
                    win::QueueMouseEvent(
                        win::MouseEvent{win::MouseEvent::Wheel, at, kNoButton, delta});
                }
                break;
            }
            win::MouseButton b = ButtonOf(e.xbutton.button);
            if (b == kNoButton) break;
            win::QueueMouseEvent(win::MouseEvent{
                e.type == ButtonPress ? win::MouseEvent::Down : win::MouseEvent::Up, at, b});
            break;
        }
        case KeyPress:
        case KeyRelease:
            lastTime = e.xkey.time;
            HandleKey(e.xkey);
            break;
        case FocusIn:
            focusLost = false;
            win::SetApplicationActive(true);
            if (e.xfocus.detail != NotifyPointer) FollowDesktopFocus(e.xfocus.window);
            break;
        case FocusOut:
            // Moving between the program's own windows is no loss; ProcessPending decides.
            if (e.xfocus.detail != NotifyInferior) focusLost = true;
            break;
        case MappingNotify:
            XRefreshKeyboardMapping(&e.xmapping);
            break;
        case ClientMessage:
            if (e.xclient.message_type == wmProtocols && Atom(e.xclient.data.l[0]) == wmDelete) {
                // The desktop's close box closes that window, as its own would; a window
                // disabled behind a modal dialog ignores it.
                win::HWND h = map->WindowOf(e.xclient.window);
                if (h && win::IsWindowEnabled(h))
                    win::PostMessageA(h, win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
            }
            break;
        case SelectionRequest:
            AnswerSelection(e.xselectionrequest);
            break;
        case PropertyNotify:
            if (e.xproperty.window == DefaultRootWindow(dpy) &&
                e.xproperty.atom == XInternAtom(dpy, "_NET_WORKAREA", False))
                FollowWorkArea();
            if (e.xproperty.atom == XInternAtom(dpy, "WM_STATE", False))
                FollowIconState(e.xproperty.window);
            break;
        case SelectionClear:
            if (e.xselectionclear.selection == clipboard && ownSelection) {
                ownSelection = false;
                win::ClipboardTakenOutside();
            }
            break;
        default:
            break;
    }
}

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
    win::SetWindowPos(h, nullptr, x, y, e.width, e.height,
                      win::SWP_NOZORDER | win::SWP_NOACTIVATE);
}

void X11Presenter::State::ProcessPending() {
    while (!deferred.empty()) {
        XEvent e = deferred.front();
        deferred.pop_front();
        Handle(e);
    }
    while (XPending(dpy) > 0) {
        XEvent e;
        XNextEvent(dpy, &e);
        Handle(e);
    }
    if (focusLost) {
        focusLost = false;
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(dpy, &focus, &revert);
        if (map->WindowOf(focus) == nullptr) win::QueueFocusLost();
    }
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
    for (win::HWND t = win::GetTopWindow(nullptr); t && !to; t = win::GetWindow(t, win::GW_HWNDNEXT)) {
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
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_WORKAREA", False),
                           0, 4, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 32 && count == 4) {
        const long* v = reinterpret_cast<const long*>(data);
        area = win::RECT{int(v[0]), int(v[1]), int(v[0] + v[2]), int(v[1] + v[3])};
    }
    if (data) XFree(data);
    win::SetWorkArea(area);
}

// While a window has the capture (the program's move and size loops, menus, a drag), the
// pointer stays with the program wherever it goes on the desktop.
void X11Presenter::State::FollowCapture() {
    win::HWND capture = win::GetCapture();
    const unsigned long w =
        capture ? map->XWindowOf(win::GetAncestor(capture, win::GA_ROOT)) : 0;
    if (w == grabbedOn) return;
    if (grabbedOn) XUngrabPointer(dpy, CurrentTime);
    grabbedOn = 0;
    if (w && XGrabPointer(dpy, w, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                          GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime) == GrabSuccess)
        grabbedOn = w;
}

void X11Presenter::State::FollowCursor() {
    int id = win::StandardCursorId(win::GetCursor());
    std::vector<unsigned long> on = map->XWindows();
    if (id == cursorId && on == cursorOn) return;
    cursorId = id;
    cursorOn = on;
    auto it = cursors.find(id);
    if (it == cursors.end())
        it = cursors.emplace(id, XCreateFontCursor(dpy, XCursorShape(id))).first;
    for (unsigned long w : on)
        XDefineCursor(dpy, w, it->second);
}

X11Presenter::X11Presenter(std::unique_ptr<State> state) : s_(std::move(state)) {}

std::unique_ptr<X11Presenter> X11Presenter::Open(const char* displayName) {
    auto s = std::make_unique<State>();
    s->dpy = XOpenDisplay(displayName);
    if (s->dpy == nullptr) return nullptr;
    XSetErrorHandler(&IgnoreErrors);
    int screen = DefaultScreen(s->dpy);
    s->visual = DefaultVisual(s->dpy, screen);
    s->depth = DefaultDepth(s->dpy, screen);
    if (s->visual->c_class != TrueColor || s->depth < 24) return nullptr;
    // The virtual screen is the X screen: maximising and snapping use the real desktop.
    const int width = std::clamp(DisplayWidth(s->dpy, screen), 1, 16384);
    const int height = std::clamp(DisplayHeight(s->dpy, screen), 1, 16384);
    s->window = XCreateSimpleWindow(s->dpy, RootWindow(s->dpy, screen), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(s->dpy, RootWindow(s->dpy, screen), StructureNotifyMask | PropertyChangeMask);
    s->map = std::make_unique<X11WindowMap>(
        s->dpy, ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                    ButtonPressMask | ButtonReleaseMask | PointerMotionMask | FocusChangeMask |
                    PropertyChangeMask);
    s->wmProtocols = XInternAtom(s->dpy, "WM_PROTOCOLS", False);
    s->wmDelete = XInternAtom(s->dpy, "WM_DELETE_WINDOW", False);
    s->clipboard = XInternAtom(s->dpy, "CLIPBOARD", False);
    s->utf8 = XInternAtom(s->dpy, "UTF8_STRING", False);
    s->targets = XInternAtom(s->dpy, "TARGETS", False);
    s->transfer = XInternAtom(s->dpy, "TESSARY_CLIPBOARD", False);
    s->incr = XInternAtom(s->dpy, "INCR", False);
    s->netWmName = XInternAtom(s->dpy, "_NET_WM_NAME", False);
    XkbSetDetectableAutoRepeat(s->dpy, True, nullptr);
    s->gc = XCreateGC(s->dpy, s->window, 0, nullptr);
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return nullptr;
    s->wakeRead = fds[0];
    s->wakeWrite = fds[1];
    win::SetVirtualScreenSize(width, height);
    if (!s->MakeImage(width, height)) return nullptr;
    s->FollowWorkArea();
    XFlush(s->dpy);
    std::unique_ptr<X11Presenter> p(new X11Presenter(std::move(s)));
    win::SetEventSource(p.get());
    win::SetClipboardBridge(p.get());
    return p;
}

X11Presenter::~X11Presenter() {
    if (&win::CurrentEventSource() == this) win::SetEventSource(nullptr);
    win::SetClipboardBridge(nullptr);
}

unsigned long X11Presenter::XWindowOf(win::HWND hwnd) const {
    return s_->map->XWindowOf(hwnd);
}

X11Presenter::PresentStats X11Presenter::LastPresent() const {
    return s_->last;
}

long X11Presenter::Presents() const {
    return s_->presents;
}

void X11Presenter::Present() {
    State& s = *s_;
    if (s.presenting) return;
    s.presenting = true;
    struct Done {
        State& s;
        ~Done() { s.presenting = false; }
    } done{s};
    ++s.presents;
    s.presentedAt = os::GetTickCount();
    win::HBITMAP screen = win::ComposeScreen();
    std::vector<win::RECT> damage = win::TakeScreenDamage();
    win::BitmapView v;
    if (!win::GetBitmapView(screen, &v) || v.bitsPerPixel != 32) return;
    if (s.image == nullptr || s.image->width != v.width || s.image->height != v.height) {
        if (!s.MakeImage(v.width, v.height)) return;
        damage.assign(1, win::RECT{0, 0, v.width, v.height});
    }
    for (const win::RECT& r : damage)
        s.Put(v, r);
    damage.insert(damage.end(), s.exposed.begin(), s.exposed.end());
    s.exposed.clear();
    s.map->Sync();
    s.last = PresentStats{};
    for (const win::RECT& r : s.map->Put(s.gc, s.image, damage)) {
        ++s.last.rects;
        s.last.pixels += long(r.right - r.left) * (r.bottom - r.top);
    }
    s.FollowCursor();
    s.FollowActive();
    s.FollowCapture();
    // What was put is on the screen before the program goes on.
    if (s.last.rects > 0) {
        XSync(s.dpy, False);
    } else {
        XFlush(s.dpy);
    }
}

void X11Presenter::Wait(uint32_t timeoutMs) {
    State& s = *s_;
    Present();
    if (s.deferred.empty() && XPending(s.dpy) == 0) {
        pollfd fds[2] = {{ConnectionNumber(s.dpy), POLLIN, 0}, {s.wakeRead, POLLIN, 0}};
        int ms = timeoutMs == win::kInfinite ? -1 : int(std::min<uint32_t>(timeoutMs, INT_MAX));
        poll(fds, 2, ms);
        char drain[64];
        while (read(s.wakeRead, drain, sizeof drain) > 0) {}
    }
    s.ProcessPending();
    if (!s.exposed.empty()) Present();
}

void X11Presenter::Poll() {
    State& s = *s_;
    s.ProcessPending();
    if (os::TickDiff(s.presentedAt, os::GetTickCount()) >= kPresentIntervalMs) Present();
}

void X11Presenter::Wake() {
    char one = 1;
    [[maybe_unused]] ssize_t n = write(s_->wakeWrite, &one, 1);  // a full pipe wakes anyway
}

void X11Presenter::Offer(const std::string& text) {
    State& s = *s_;
    s.offered = os::Cp1251ToUtf8(text);
    XSetSelectionOwner(s.dpy, s.clipboard, s.window, CurrentTime);
    s.ownSelection = XGetSelectionOwner(s.dpy, s.clipboard) == s.window;
    XFlush(s.dpy);
}

std::optional<std::string> X11Presenter::Take() {
    State& s = *s_;
    if (s.ownSelection) return os::Utf8ToCp1251(s.offered);
    if (XGetSelectionOwner(s.dpy, s.clipboard) == None) return std::nullopt;
    XDeleteProperty(s.dpy, s.window, s.transfer);
    XConvertSelection(s.dpy, s.clipboard, s.utf8, s.transfer, s.window, CurrentTime);
    XFlush(s.dpy);
    // The other program answers through the server; a second is plenty for one that answers.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    Atom property = None;
    bool answered = false;
    while (!answered) {
        while (!answered && XPending(s.dpy) > 0) {
            XEvent e;
            XNextEvent(s.dpy, &e);
            if (e.type == SelectionNotify && e.xselection.selection == s.clipboard) {
                answered = true;
                property = e.xselection.property;
            } else if (e.type == SelectionRequest) {
                s.AnswerSelection(e.xselectionrequest);
            } else {
                s.deferred.push_back(e);  // handled at the next wait, not inside this call
            }
        }
        if (answered) break;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return std::nullopt;
        pollfd fd{ConnectionNumber(s.dpy), POLLIN, 0};
        poll(&fd, 1, int(left));
    }
    if (property == None) return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(s.dpy, s.window, property, 0, 1 << 24, True, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success)
        return std::nullopt;
    std::optional<std::string> text;
    // Transfers in pieces (INCR) are not taken; nor is text that is not 8-bit.
    if (data && format == 8 && type != s.incr) {
        std::string raw(reinterpret_cast<const char*>(data), count);
        if (type == XA_STRING) {  // Latin-1: every byte is its own character
            std::string utf8;
            for (unsigned char c : raw)
                os::AppendUtf8(utf8, c);
            raw = utf8;
        }
        text = os::Utf8ToCp1251(raw);
    }
    if (data) XFree(data);
    return text;
}

std::unique_ptr<Presenter> OpenPresenter(int width, int height) {
    const char* name = std::getenv("DISPLAY");
    if (name != nullptr && *name != '\0') {
        if (auto x = X11Presenter::Open(name)) return x;
    }
    return std::make_unique<HeadlessPresenter>(width, height);
}

}  // namespace display
