// One X window per shown top-level window: making, describing, placing, stacking and painting.
#include "platform/display/x11_window_map.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/display/x11_pictures.h"

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/region.h"
#include "platform/os/cp1251.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/messages.h"
#include "platform/user/styles.h"
#include "platform/user/user.h"
#include "platform/user/window_class.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_region.h"

// Xlib's macros (None, True, ...) would clash with names above, so it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace display {

namespace {

bool Overlaps(const win::RECT& a, const win::RECT& b, win::RECT& out) {
    out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return out.left < out.right && out.top < out.bottom;
}

win::DWORD Style(win::HWND h) {
    return static_cast<win::DWORD>(win::GetWindowLongPtrA(h, win::GWL_STYLE));
}

win::DWORD ExStyle(win::HWND h) {
    return static_cast<win::DWORD>(win::GetWindowLongPtrA(h, win::GWL_EXSTYLE));
}

// Pop-ups without a caption are the program's own transient pieces: no manager touches them.
bool OverrideRedirect(win::HWND h) {
    const win::DWORD style = Style(h);
    return (style & win::WS_POPUP) && (style & win::WS_CAPTION) != win::WS_CAPTION;
}

// The window's region as rectangles relative to its corner; empty without a region.
std::vector<win::RECT> RegionOf(win::HWND h) {
    std::vector<win::RECT> out;
    win::HRGN rgn = win::CreateRectRgn(0, 0, 0, 0);
    if (win::GetWindowRgn(h, rgn) != 0) {
        const win::DWORD size = win::GetRegionData(rgn, 0, nullptr);
        std::vector<char> buffer(size);
        auto* data = reinterpret_cast<win::RGNDATA*>(buffer.data());
        if (size >= sizeof(win::RGNDATAHEADER) && win::GetRegionData(rgn, size, data) == size) {
            const auto* rects = reinterpret_cast<const win::RECT*>(data->Buffer);
            out.assign(rects, rects + data->rdh.nCount);
            if (out.empty()) out.push_back(win::RECT{});  // an empty region hides everything
        }
    }
    win::DeleteObject(rgn);
    return out;
}

// The rectangles of a layered window's picture that are not fully transparent and lie in its
// window region, if it has one; a window with nothing to show gets one empty rectangle.
std::vector<win::RECT> Opaque(win::HWND h, const std::vector<uint32_t>& argb, int width,
                              int height) {
    std::vector<uint8_t> mask(argb.size(), 0);
    for (size_t i = 0; i < argb.size(); ++i)
        mask[i] = (argb[i] >> 24) != 0;
    const std::vector<win::RECT> region = RegionOf(h);
    if (!region.empty()) {
        std::vector<uint8_t> inside(mask.size(), 0);
        for (const win::RECT& r : region)
            for (int y = std::max(0, int(r.top)); y < std::min(height, int(r.bottom)); ++y)
                for (int x = std::max(0, int(r.left)); x < std::min(width, int(r.right)); ++x)
                    inside[size_t(y) * size_t(width) + size_t(x)] = 1;
        for (size_t i = 0; i < mask.size(); ++i)
            mask[i] = mask[i] && inside[i];
    }
    std::vector<win::RECT> rects = MaskRectangles(mask, width, height);
    if (rects.empty()) rects.push_back(win::RECT{});
    return rects;
}

// The 8-bit channel of an X pixel under `mask`.
unsigned Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    while (!(mask & 1)) {
        mask >>= 1;
        pixel >>= 1;
    }
    return unsigned((pixel & mask) * 255 / mask);
}

std::string Caption(win::HWND h) {
    char text[512] = {};
    win::GetWindowTextA(h, text, sizeof text);
    return os::Cp1251ToUtf8(text);
}

}  // namespace

std::string Utf8ToLatin1(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        auto c = os::DecodeUtf8(s, i);
        out += c && *c <= 0xFF ? char(*c) : '?';
    }
    return out;
}

X11WindowMap::X11WindowMap(_XDisplay* dpy, long eventMask) : dpy_(dpy), eventMask_(eventMask) {
    int event = 0, error = 0;
    shape_ = XShapeQueryExtension(dpy_, &event, &error);
    int major = 0, minor = 0;
    shapeInput_ = shape_ && XShapeQueryVersion(dpy_, &major, &minor) &&
                  (major > 1 || (major == 1 && minor >= 1));
    XVisualInfo info{};
    if (XMatchVisualInfo(dpy_, DefaultScreen(dpy_), 32, TrueColor, &info)) {
        argbVisual_ = info.visual;
        argbColormap_ = XCreateColormap(dpy_, DefaultRootWindow(dpy_), info.visual, AllocNone);
    }
}

bool X11WindowMap::Composited() const {
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(dpy_));
    return XGetSelectionOwner(dpy_, XInternAtom(dpy_, name.c_str(), False)) != 0;
}

bool X11WindowMap::ManagerRunning() const {
    const std::string name = "WM_S" + std::to_string(DefaultScreen(dpy_));
    return XGetSelectionOwner(dpy_, XInternAtom(dpy_, name.c_str(), False)) != 0;
}

// Window regions cut the X window (rounded skinned corners show the desktop); without the Shape
// extension the window stays rectangular. A layered window drawn opaque takes its shape from
// its alpha when it is put.
void X11WindowMap::Shape(win::HWND h, Entry& e, const win::RECT& at) {
    if (!shape_ || e.layered) return;
    std::vector<win::RECT> region = RegionOf(h);
    const int dx = at.left - e.rect.left, dy = at.top - e.rect.top;
    if (dx != 0 || dy != 0) {
        // A window with no region still shows only its own rectangle.
        if (region.empty()) region.push_back(win::RECT{0, 0, at.right - at.left, at.bottom - at.top});
        for (win::RECT& r : region)
            win::OffsetRect(&r, dx, dy);
    }
    SetShape(e.xwin, ShapeBounding, region, e.shape);
}

void X11WindowMap::SetShape(unsigned long xwin, int kind, const std::vector<win::RECT>& region,
                            std::vector<win::RECT>& last) {
    if (region == last) return;
    last = region;
    if (region.empty()) {
        XShapeCombineMask(dpy_, xwin, kind, 0, 0, 0, ShapeSet);
        return;
    }
    std::vector<XRectangle> rects;
    for (const win::RECT& r : region) {
        if (r.right <= r.left || r.bottom <= r.top) continue;
        rects.push_back(XRectangle{short(r.left), short(r.top), (unsigned short)(r.right - r.left),
                                   (unsigned short)(r.bottom - r.top)});
    }
    XShapeCombineRectangles(dpy_, xwin, kind, 0, 0, rects.data(), int(rects.size()), ShapeSet,
                            YXBanded);
}

X11WindowMap::~X11WindowMap() {
    for (auto& [h, e] : entries_)
        XDestroyWindow(dpy_, e.xwin);
    if (argbGc_) XFreeGC(dpy_, argbGc_);
    if (argbColormap_) XFreeColormap(dpy_, argbColormap_);
    XFlush(dpy_);
}

unsigned long X11WindowMap::Intern(const char* name) {
    auto it = atoms_.find(name);
    if (it == atoms_.end()) it = atoms_.emplace(name, XInternAtom(dpy_, name, False)).first;
    return it->second;
}

unsigned long X11WindowMap::Create(win::HWND h, const win::RECT& r, bool argb) {
    XSetWindowAttributes a{};
    a.background_pixel = argb ? 0 : BlackPixel(dpy_, DefaultScreen(dpy_));
    a.border_pixel = 0;
    a.override_redirect = OverrideRedirect(h) ? True : False;
    a.event_mask = eventMask_;
    a.colormap = argb ? argbColormap_ : 0;
    const ::Window w = XCreateWindow(
        dpy_, DefaultRootWindow(dpy_), r.left, r.top, unsigned(r.right - r.left),
        unsigned(r.bottom - r.top), 0, argb ? 32 : CopyFromParent, InputOutput,
        argb ? static_cast<Visual*>(argbVisual_) : CopyFromParent,
        CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWEventMask | (argb ? CWColormap : 0),
        &a);
    if (argb && argbGc_ == nullptr) argbGc_ = XCreateGC(dpy_, w, 0, nullptr);
    // The manager frames nothing and keeps the place the program chose.
    const long motif[5] = {2, 0, 0, 0, 0};  // flags: decorations; decorations: none
    const ::Atom motifAtom = Intern("_MOTIF_WM_HINTS");
    XChangeProperty(dpy_, w, motifAtom, motifAtom, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);
    XSizeHints size{};
    size.flags = USPosition | USSize | PPosition | PSize;
    size.x = r.left;
    size.y = r.top;
    size.width = r.right - r.left;
    size.height = r.bottom - r.top;
    XSetWMNormalHints(dpy_, w, &size);
    XClassHint cls{const_cast<char*>("tessary"), const_cast<char*>("Tessary")};
    XSetClassHint(dpy_, w, &cls);
    const long pid = getpid();
    XChangeProperty(dpy_, w, Intern("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        XTextProperty machine{reinterpret_cast<unsigned char*>(host), XA_STRING, 8,
                              static_cast<unsigned long>(std::char_traits<char>::length(host))};
        XSetWMClientMachine(dpy_, w, &machine);
    }
    ::Atom del = Intern("WM_DELETE_WINDOW");
    XSetWMProtocols(dpy_, w, &del, 1);
    return w;
}

void X11WindowMap::Name(Entry& e, const std::string& utf8) {
    e.name = utf8;
    XChangeProperty(dpy_, e.xwin, Intern("_NET_WM_NAME"), Intern("UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
    XStoreName(dpy_, e.xwin, Utf8ToLatin1(utf8).c_str());
}

// The window's kind, its owner and its place in the task bar (rule 4).
void X11WindowMap::Describe(win::HWND h, Entry& e) {
    char cls[64] = {};
    win::GetClassNameA(h, cls, sizeof cls);
    const std::string name = cls;
    const win::DWORD style = Style(h), ex = ExStyle(h);
    // The owner the desktop sees: the nearest with an X window; for a window owned only by one
    // the desktop never sees (the application's hidden window), the window it came up over.
    win::HWND owner = win::GetWindow(h, win::GW_OWNER);
    unsigned long ownerX = 0;
    for (win::HWND o = owner; o && !ownerX; o = win::GetWindow(o, win::GW_OWNER))
        ownerX = XWindowOf(o);
    for (win::HWND t = win::GetWindow(h, win::GW_HWNDNEXT); owner && !ownerX && t;
         t = win::GetWindow(t, win::GW_HWNDNEXT))
        if (!OverrideRedirect(t)) ownerX = XWindowOf(t);
    const char* type = "_NET_WM_WINDOW_TYPE_NORMAL";
    if (name == "#32768") {
        type = "_NET_WM_WINDOW_TYPE_POPUP_MENU";
    } else if (name == "ComboLBox") {
        type = "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU";
    } else if (OverrideRedirect(h)) {
        type = (ex & win::WS_EX_TOOLWINDOW) ? "_NET_WM_WINDOW_TYPE_TOOLTIP"
                                            : "_NET_WM_WINDOW_TYPE_UTILITY";
    } else if (ex & win::WS_EX_TOOLWINDOW) {
        type = "_NET_WM_WINDOW_TYPE_UTILITY";
    } else if (ownerX && ((ex & win::WS_EX_DLGMODALFRAME) || (style & win::DS_MODALFRAME) ||
                          !(style & win::WS_THICKFRAME))) {
        type = "_NET_WM_WINDOW_TYPE_DIALOG";
    }
    const ::Atom typeAtom = Intern(type);
    XChangeProperty(dpy_, e.xwin, Intern("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&typeAtom), 1);
    if (ownerX != e.transientFor) {
        e.transientFor = ownerX;
        if (ownerX) {
            XSetTransientForHint(dpy_, e.xwin, ownerX);
        } else {
            XDeleteProperty(dpy_, e.xwin, XA_WM_TRANSIENT_FOR);
        }
    }
    // Shown over a window it disabled: modal.
    std::vector<::Atom> state;
    if (ownerX && !win::IsWindowEnabled(WindowOf(ownerX)))
        state.push_back(Intern("_NET_WM_STATE_MODAL"));
    if (ownerX || (ex & win::WS_EX_TOOLWINDOW))
        state.push_back(Intern("_NET_WM_STATE_SKIP_TASKBAR"));
    if (win::IsZoomed(h)) {
        state.push_back(Intern("_NET_WM_STATE_MAXIMIZED_VERT"));
        state.push_back(Intern("_NET_WM_STATE_MAXIMIZED_HORZ"));
    }
    if (!state.empty())
        XChangeProperty(dpy_, e.xwin, Intern("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(state.data()), int(state.size()));
}

void X11WindowMap::Sync() {
    std::vector<win::HWND> shown;  // topmost first
    for (win::HWND t = win::GetTopWindow(nullptr); t; t = win::GetWindow(t, win::GW_HWNDNEXT)) {
        win::RECT r{};
        if (!win::IsWindowVisible(t) || !win::GetWindowRect(t, &r)) continue;
        if (r.right <= r.left || r.bottom <= r.top) continue;
        shown.push_back(t);
    }
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (std::find(shown.begin(), shown.end(), it->first) == shown.end()) {
            XDestroyWindow(dpy_, it->second.xwin);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    // Owners first, so that an owned window finds its owner's X window.
    std::vector<::Window> order;
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        win::HWND h = *it;
        win::RECT r{};
        win::GetWindowRect(h, &r);
        auto found = entries_.find(h);
        const bool iconic = win::IsIconic(h) != 0;
        if (found == entries_.end()) {
            Entry e;
            const bool layered = (ExStyle(h) & win::WS_EX_LAYERED) != 0;
            e.argb = layered && argbVisual_ && Composited();
            e.layered = layered && !e.argb;
            // A window shown minimised keeps its place for when it is restored.
            if (iconic) {
                win::WINDOWPLACEMENT wp;
                if (win::GetWindowPlacement(h, &wp)) r = wp.rcNormalPosition;
            }
            e.xwin = Create(h, r, e.argb);
            e.rect = r;
            Describe(h, e);
            Name(e, Caption(h));
            Shape(h, e, r);
            Icon(h, e);
            e.iconic = iconic;
            e.maximized = win::IsZoomed(h) != 0;
            if (iconic) {
                XWMHints hints{};
                hints.flags = StateHint;
                hints.initial_state = IconicState;
                XSetWMHints(dpy_, e.xwin, &hints);
            }
            if (!iconic || ManagerRunning()) XMapWindow(dpy_, e.xwin);
            found = entries_.emplace(h, e).first;
        } else {
            Entry& e = found->second;
            if (iconic == e.iconic)
                e.iconFollow = false;
            else if (!e.iconFollow)
                Iconify(e, iconic);
            // A minimised window keeps its maximised state for when it is restored.
            const bool zoomed = win::IsZoomed(h) != 0;
            if (!iconic && zoomed == e.maximized)
                e.maxFollow = false;
            else if (!iconic && !e.maxFollow)
                Maximize(e, zoomed);
            // A minimised window's rectangle is its icon's, which the desktop shows its own way;
            // a window manager places a maximised window itself (rule 6a).
            if (!iconic && !win::EqualRect(&r, &e.rect) && !(zoomed && ManagerRunning())) {
                e.requested.push_back(Entry::Request{r, NextRequest(dpy_)});
                XMoveResizeWindow(dpy_, e.xwin, r.left, r.top, unsigned(r.right - r.left),
                                  unsigned(r.bottom - r.top));
                if (e.requested.size() > kRequestsKept) e.requested.pop_front();
                e.rect = r;
                e.whole = true;
            }
            if (std::string now = Caption(h); now != e.name) Name(e, now);
            // A window layered for a while (a fade) is cut by its alpha only while it is; a
            // 32-bit X window keeps its visual and shows the window opaque once it is not.
            e.layered = !e.argb && (ExStyle(h) & win::WS_EX_LAYERED) != 0;
            Shape(h, e, iconic ? e.rect : r);
            Icon(h, e);
        }
        order.insert(order.begin(), found->second.xwin);
    }
    if (order != stacking_ && !order.empty()) {
        XRestackWindows(dpy_, order.data(), int(order.size()));
        stacking_ = order;
    }
}

std::vector<win::RECT> X11WindowMap::Put(_XGC* gc, _XImage* screen,
                                         const std::vector<win::RECT>& damage) {
    std::vector<win::RECT> put;
    const win::RECT bounds{0, 0, screen->width, screen->height};
    for (auto& [h, e] : entries_) {
        std::vector<win::RECT> parts;
        if (e.whole) {
            parts.push_back(e.rect);
            e.whole = false;
        } else {
            parts = damage;
        }
        if (e.iconic) continue;  // nothing of it shows
        if (e.argb || e.layered) {
            PutLayered(h, e, screen, parts, put);
            if (e.argb) continue;
        }
        for (const win::RECT& d : parts) {
            win::RECT i, j;
            if (!Overlaps(d, e.rect, i) || !Overlaps(i, bounds, j)) continue;
            XPutImage(dpy_, e.xwin, gc, screen, j.left, j.top, j.left - e.rect.left,
                      j.top - e.rect.top, unsigned(j.right - j.left), unsigned(j.bottom - j.top));
            put.push_back(j);
        }
    }
    return put;
}

// A layered window's own picture with its alpha: given to the desktop to blend (a 32-bit
// visual), or, drawn opaque, the shape that leaves out what is fully transparent.
void X11WindowMap::PutLayered(win::HWND h, Entry& e, _XImage* screen,
                              const std::vector<win::RECT>& parts, std::vector<win::RECT>& put) {
    const bool damaged = std::any_of(parts.begin(), parts.end(), [&](const win::RECT& d) {
        win::RECT i;
        return Overlaps(d, e.rect, i);
    });
    if (!damaged) return;
    const int width = e.rect.right - e.rect.left, height = e.rect.bottom - e.rect.top;
    win::LayeredLook look;
    std::vector<uint32_t> argb;
    if (win::GetLayeredLook(h, &look)) {
        argb = PremultipliedArgb(look, width, height);
    } else {  // no longer layered: its part of the composed screen, opaque
        argb.assign(size_t(std::max(width, 0)) * size_t(std::max(height, 0)), 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int sx = e.rect.left + x, sy = e.rect.top + y;
                if (sx < 0 || sy < 0 || sx >= screen->width || sy >= screen->height) continue;
                const unsigned long p = XGetPixel(screen, sx, sy);
                argb[size_t(y) * size_t(width) + size_t(x)] =
                    0xFF000000u | uint32_t(Channel(p, screen->red_mask)) << 16 |
                    uint32_t(Channel(p, screen->green_mask)) << 8 | Channel(p, screen->blue_mask);
            }
    }
    if (e.layered) {
        if (shape_) SetShape(e.xwin, ShapeBounding, Opaque(h, argb, width, height), e.shape);
        return;
    }
    // Clicks on what is transparent, or on a window that lets every click through, go to
    // whatever the desktop shows behind it.
    if (shapeInput_) {
        const bool through = (ExStyle(h) & win::WS_EX_TRANSPARENT) != 0;
        SetShape(e.xwin, ShapeInput,
                 through ? std::vector<win::RECT>{win::RECT{}} : Opaque(h, argb, width, height),
                 e.input);
    }
    if (width <= 0 || height <= 0 || argbGc_ == nullptr) return;
    char* data = static_cast<char*>(std::malloc(argb.size() * 4));
    if (data == nullptr) return;
    for (size_t i = 0; i < argb.size(); ++i) {  // little-endian 0xAARRGGBB, as the image says
        const uint32_t p = argb[i];
        data[i * 4] = char(p & 0xFF);
        data[i * 4 + 1] = char(p >> 8 & 0xFF);
        data[i * 4 + 2] = char(p >> 16 & 0xFF);
        data[i * 4 + 3] = char(p >> 24);
    }
    XImage* image = XCreateImage(dpy_, static_cast<Visual*>(argbVisual_), 32, ZPixmap, 0, data,
                                 unsigned(width), unsigned(height), 32, width * 4);
    if (image == nullptr) {
        std::free(data);
        return;
    }
    image->byte_order = LSBFirst;
    const win::RECT bounds{0, 0, screen->width, screen->height};
    win::RECT shown;
    if (Overlaps(e.rect, bounds, shown)) {
        XPutImage(dpy_, e.xwin, argbGc_, image, 0, 0, 0, 0, unsigned(width), unsigned(height));
        put.push_back(shown);
    }
    XDestroyImage(image);  // frees the pixels too
}

// Minimising iconifies the X window; with no manager to show the icon it is simply unmapped.
// Until it is unmapped, a map of it is not the desktop's restore.
void X11WindowMap::Iconify(Entry& e, bool iconic) {
    e.iconic = iconic;
    e.settled = false;
    if (iconic) {
        if (ManagerRunning()) {
            XIconifyWindow(dpy_, e.xwin, DefaultScreen(dpy_));
        } else {
            XUnmapWindow(dpy_, e.xwin);
        }
        return;
    }
    XMapWindow(dpy_, e.xwin);
    e.whole = true;
}

// A mapped window's state is changed through the manager (a property written by the client is
// read only before the window is mapped).
void X11WindowMap::Maximize(Entry& e, bool maximized) {
    e.maximized = maximized;
    if (!ManagerRunning()) return;
    XEvent m{};
    m.xclient.type = ClientMessage;
    m.xclient.window = e.xwin;
    m.xclient.message_type = Intern("_NET_WM_STATE");
    m.xclient.format = 32;
    m.xclient.data.l[0] = maximized ? 1 : 0;  // add or remove
    m.xclient.data.l[1] = long(Intern("_NET_WM_STATE_MAXIMIZED_VERT"));
    m.xclient.data.l[2] = long(Intern("_NET_WM_STATE_MAXIMIZED_HORZ"));
    m.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(dpy_, DefaultRootWindow(dpy_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &m);
    e.maxSettled = false;
}

bool X11WindowMap::DesktopMaximized(unsigned long xwin, bool maximized, bool changed) {
    Entry* e = EntryOf(xwin);
    if (!e) return false;
    // The first change after a request is the manager's answer; the state read then may
    // already be the operator's next wish, which is followed.
    if (!e->maxSettled) {
        if (!changed) return false;
        e->maxSettled = true;
    }
    if (maximized == e->maximized) return false;
    e->maximized = maximized;
    e->maxFollow = true;
    return true;
}

bool X11WindowMap::DesktopMapped(unsigned long xwin, bool mapped, bool iconicState) {
    Entry* e = EntryOf(xwin);
    if (!e) return false;
    if (!mapped) {
        if (e->iconic) {
            e->settled = true;  // the iconify asked for is done
            return false;
        }
        if (!iconicState) return false;  // hidden with its desktop, say
        e->iconic = true;
        e->settled = true;
        e->iconFollow = true;
        return true;
    }
    if (!e->iconic || !e->settled) return false;
    e->iconic = false;
    e->iconFollow = true;
    return true;
}

bool X11WindowMap::Argb(win::HWND hwnd) const {
    auto it = entries_.find(hwnd);
    return it != entries_.end() && it->second.argb;
}

// The window's icon, else its class's, else its owner's, else the application's own. Windows
// no manager sees (menus, hints) show none.
void X11WindowMap::Icon(win::HWND h, Entry& e) {
    if (OverrideRedirect(h)) return;
    win::HICON icon = nullptr;
    for (win::HWND o = h; o && !icon; o = win::GetWindow(o, win::GW_OWNER)) {
        icon =
            reinterpret_cast<win::HICON>(win::SendMessageA(o, win::WM_GETICON, win::ICON_BIG, 0));
        if (!icon)
            icon = reinterpret_cast<win::HICON>(
                win::SendMessageA(o, win::WM_GETICON, win::ICON_SMALL, 0));
        if (!icon) icon = reinterpret_cast<win::HICON>(win::GetClassLongPtrA(o, win::GCL_HICON));
    }
    if (!icon) icon = win::LoadIcon(nullptr, win::IDI_APPLICATION);
    if (icon == e.icon) return;
    e.icon = icon;
    const std::vector<long> data = NetWmIcon(icon);
    if (data.empty()) {
        XDeleteProperty(dpy_, e.xwin, Intern("_NET_WM_ICON"));
        return;
    }
    XChangeProperty(dpy_, e.xwin, Intern("_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
}

X11WindowMap::Notice X11WindowMap::Configured(unsigned long xwin, const win::RECT& rect,
                                              unsigned long serial, bool synthetic) {
    const auto* item = Find(xwin);
    if (!item) return Notice::Follow;
    const win::HWND h = item->first;
    Entry& e = const_cast<Entry&>(item->second);
    auto& q = e.requested;
    auto it = std::find_if(q.begin(), q.end(), [&](const Entry::Request& r) {
        return r.serial <= serial && win::EqualRect(&r.rect, &rect) &&
               !(synthetic ? r.screen : r.frame);
    });
    if (it != q.end()) {
        q.erase(q.begin(), it);
        (synthetic ? q.front().screen : q.front().frame) = true;
        if (q.front().screen && q.front().frame) q.pop_front();
        return Notice::Echo;
    }
    std::erase_if(q, [&](const Entry::Request& r) { return r.serial <= serial; });
    if (!q.empty()) return Notice::Stale;
    const bool zoomed = win::IsZoomed(h) != 0;
    win::RECT now{};
    win::GetWindowRect(h, &now);
    const bool unasked =
        zoomed != e.maximized || (!(zoomed && ManagerRunning()) && !win::EqualRect(&now, &e.rect));
    return unasked ? Notice::Stale : Notice::Follow;
}

void X11WindowMap::Moved(win::HWND hwnd, const win::RECT& rect) {
    auto it = entries_.find(hwnd);
    if (it == entries_.end()) return;
    it->second.rect = rect;
    it->second.whole = true;
}

unsigned long X11WindowMap::XWindowOf(win::HWND hwnd) const {
    auto it = entries_.find(hwnd);
    return it == entries_.end() ? 0 : it->second.xwin;
}

const std::pair<const win::HWND, X11WindowMap::Entry>* X11WindowMap::Find(
    unsigned long xwin) const {
    for (const auto& item : entries_)
        if (item.second.xwin == xwin) return &item;
    return nullptr;
}

X11WindowMap::Entry* X11WindowMap::EntryOf(unsigned long xwin) {
    const auto* item = Find(xwin);
    return item ? const_cast<Entry*>(&item->second) : nullptr;
}

win::HWND X11WindowMap::WindowOf(unsigned long xwin) const {
    const auto* item = Find(xwin);
    return item ? item->first : nullptr;
}

win::POINT X11WindowMap::ToScreen(unsigned long xwin, int x, int y) const {
    const auto* item = Find(xwin);
    return item ? win::POINT{item->second.rect.left + x, item->second.rect.top + y}
                : win::POINT{x, y};
}

std::vector<unsigned long> X11WindowMap::XWindows() const {
    std::vector<unsigned long> out;
    for (const auto& [h, e] : entries_)
        out.push_back(e.xwin);
    return out;
}

}  // namespace display
