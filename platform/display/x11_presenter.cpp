// The X11 connection: the event loop and the picture; the X windows themselves are the window
// map's.
#include "platform/display/x11_presenter_state.h"

namespace display {

namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;  // a window of another client gone mid-transfer harms nothing
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
    DropImage();
    for (auto& [id, c] : cursors)
        XFreeCursor(dpy, c);
    if (gc) XFreeGC(dpy, gc);
    if (window) XDestroyWindow(dpy, window);
    XCloseDisplay(dpy);
    if (wakeRead >= 0) close(wakeRead);
    if (wakeWrite >= 0) close(wakeWrite);
}

void X11Presenter::State::DropImage() {
    if (image == nullptr) return;
    if (borrowed) image->data = nullptr;  // the screen bitmap's, not the image's to free
    XDestroyImage(image);                 // frees the pixels too
    image = nullptr;
    borrowed = nullptr;
}

void X11Presenter::State::Borrow(const win::BitmapView& v) {
    if (!fastCopy || borrowed || v.stride != image->bytes_per_line) return;
    std::free(image->data);
    image->data = reinterpret_cast<char*>(v.bits);
    borrowed = v.bits;
}

bool X11Presenter::State::MakeImage(int width, int height) {
    DropImage();
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
        DropImage();
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
        case MapNotify:
            FollowMapping(e.xmap.window, true);
            break;
        case UnmapNotify:
            FollowMapping(e.xunmap.window, false);
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
            win::QueueFocusRegained(KeysHeld());
            if (e.xfocus.detail != NotifyPointer) FollowDesktopFocus(e.xfocus.window);
            break;
        case FocusOut:
            // Moving between the program's own windows is no loss; ProcessPending decides. The
            // keys go elsewhere meanwhile, also under a grab that leaves the focus here (a
            // manager's Alt+Tab takes the Tab and the Alt's release).
            if (e.xfocus.detail != NotifyInferior) {
                focusLost = true;
                win::QueueKeyboardState({});
            }
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
            // A window the manager maximised in place, at the size it already had, has no
            // ConfigureNotify to follow: its place is asked for.
            if (e.xproperty.atom == XInternAtom(dpy, "_NET_WM_STATE", False) &&
                FollowMaximized(e.xproperty.window, true))
                FollowPlaceOf(e.xproperty.window);
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
    if (s.image == nullptr || s.image->width != v.width || s.image->height != v.height ||
        (s.borrowed && s.borrowed != v.bits)) {
        if (!s.MakeImage(v.width, v.height)) return;
        damage.assign(1, win::RECT{0, 0, v.width, v.height});
    }
    s.Borrow(v);
    if (!s.borrowed)
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

std::unique_ptr<Presenter> OpenPresenter(int width, int height) {
    const char* name = std::getenv("DISPLAY");
    if (name != nullptr && *name != '\0') {
        if (auto x = X11Presenter::Open(name)) return x;
    }
    return std::make_unique<HeadlessPresenter>(width, height);
}

}  // namespace display
