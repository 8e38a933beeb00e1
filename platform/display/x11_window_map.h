// The windowing layer's top-level windows as windows of the X desktop: one undecorated X window
// per shown top-level window, at the same screen place and size, stacked in the same order.
//
// Rules Sync keeps:
//  1. Every visible top-level window with a non-empty rectangle has exactly one X window; a
//     window hidden or destroyed loses its X window.
//  2. The X window's place and size are the window's rectangle on the screen; stacking follows
//     the windowing layer, topmost first.
//  3. The window manager draws no frame (the program draws every frame): _MOTIF_WM_HINTS with no
//     decorations. Pop-ups without a caption (menus, hints, drop-down lists, glow, shadow and
//     animation windows) are override-redirect, so no manager moves or frames them at all.
//  4. A window region cuts its X window (the Shape extension, when the server has it).
//  5. Each X window says what it is: _NET_WM_WINDOW_TYPE, WM_TRANSIENT_FOR its owner's X window,
//     _NET_WM_STATE_SKIP_TASKBAR when owned, _NET_WM_NAME (UTF-8) and WM_NAME from the caption,
//     WM_CLASS, _NET_WM_PID, WM_CLIENT_MACHINE, WM_DELETE_WINDOW among its protocols, and
//     _NET_WM_ICON from the window's icon (its own, its class's, its owner's, else the
//     application icon).
//  6. A minimised window is iconified on the desktop (with no window manager to keep the icon,
//     unmapped), not moved to its icon's place; restoring maps it back where it was.
//  6a. Under a window manager, maximising and restoring are asked of the manager
//     (_NET_WM_STATE_MAXIMIZED_VERT and _HORZ), which places a maximised X window itself. The
//     window keeps its own maximised place, with its frame beyond the work area as the program
//     draws it; its X window, where the manager put it, shows the screen there (and is cut by
//     the window's region at the same screen points).
//  7. A layered window made while a compositing manager runs (_NET_WM_CM_S<n> has an owner)
//     has a 32-bit visual and shows its own picture with its alpha, premultiplied, taking no
//     clicks where it is transparent (nor anywhere with WS_EX_TRANSPARENT); without one
//     it is cut by a shape where its alpha is 0 and drawn opaque, so no glow or shadow shows as
//     a black box.
// The picture of every other X window is the composed screen under its rectangle, so what the
// program shows on the desktop is what the virtual screen shows there.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/user/win_types.h"

struct _XDisplay;
struct _XImage;
struct _XGC;

namespace display {

// ICCCM's STRING is Latin-1; characters beyond it become "?".
std::string Utf8ToLatin1(const std::string& s);

class X11WindowMap {
public:
    // `eventMask`: the events every X window made here asks for.
    X11WindowMap(_XDisplay* dpy, long eventMask);
    ~X11WindowMap();
    X11WindowMap(const X11WindowMap&) = delete;
    X11WindowMap& operator=(const X11WindowMap&) = delete;

    // Brings the X windows in line with the windowing layer (rules 1-5).
    void Sync();
    // Puts the parts of the composed screen (`screen`, the screen's size) that the damaged
    // rectangles cover into the X windows they fall in, and the whole of every X window made,
    // moved or resized since the last time. Returns the rectangles put, in screen terms.
    std::vector<win::RECT> Put(_XGC* gc, _XImage* screen, const std::vector<win::RECT>& damage);

    // The desktop moved or sized the X window of `hwnd` to `rect` (screen terms).
    void Moved(win::HWND hwnd, const win::RECT& rect);
    // What a notice that the X window is at `rect` means to its window. `serial`: the last of
    // the program's requests the server had taken when it told; `synthetic`: the manager's own
    // notice in screen terms, not the server's (a manager tells of a place once in its frame and
    // once on the screen, in either order).
    //  - Echo: it answers a place the program asked for that is still outstanding (the server
    //    had taken it, and no notice of this kind has answered it yet); the requests before it
    //    are answered too. A late answer to an earlier request must not undo a later one (a
    //    drag of the size grip asks for many places in a row).
    //  - Otherwise it is the desktop's word and ends every request the server had taken: the
    //    manager may answer with a rectangle of its own (clamped, or fitted to the work area).
    //    Stale when it is older than what the program has asked since (a request the server had
    //    not taken yet, or a change of the window not asked yet), whose answer is still to come;
    //    else Follow: the window takes the place.
    enum class Notice { Follow, Echo, Stale };
    Notice Configured(unsigned long xwin, const win::RECT& rect, unsigned long serial,
                      bool synthetic);
    // The X window of a window was mapped or unmapped (`iconicState`: the manager's WM_STATE
    // said iconic then). True when the desktop iconified or restored the window by itself,
    // which the window should follow; false when that answers what the program asked for, or
    // the window is not ours.
    bool DesktopMapped(unsigned long xwin, bool mapped, bool iconicState);
    // The manager's maximised state of an X window, read when its _NET_WM_STATE `changed` or
    // when it was placed (rule 6a): true when that is the manager's own doing.
    bool DesktopMaximized(unsigned long xwin, bool maximized, bool changed);
    // Whether a window manager runs (it owns WM_S<n>, as managers do).
    bool ManagerRunning() const;
    // Whether the X window of `hwnd` has a 32-bit visual (blended by a compositing manager).
    bool Argb(win::HWND hwnd) const;
    // The X window showing `hwnd` (0: none), the window an X window shows (nullptr: not ours).
    unsigned long XWindowOf(win::HWND hwnd) const;
    win::HWND WindowOf(unsigned long xwin) const;
    // The screen point of a point inside one of the X windows.
    win::POINT ToScreen(unsigned long xwin, int x, int y) const;
    std::vector<unsigned long> XWindows() const;

private:
    struct Entry {
        unsigned long xwin = 0;
        win::RECT rect{};
        std::string name;
        unsigned long transientFor = 0;
        std::vector<win::RECT> shape;  // the region last given, relative to the corner
        std::vector<win::RECT> input;  // the input shape last given (32-bit windows)
        bool whole = true;             // the whole window is still to be put
        bool argb = false;             // a 32-bit visual: its own picture, blended by the desktop
        bool layered = false;          // a layered window drawn opaque, cut where its alpha is 0
        bool iconic = false;           // as last asked of the desktop
        bool settled = true;           // the desktop has answered the last iconify
        bool maximized = false;        // as last asked of or learned from the manager
        bool maxSettled = true;        // the manager has answered the last maximise or restore
        // The desktop changed the state and the window has yet to follow: nothing is asked
        // of the desktop meanwhile, or the change would be undone.
        bool iconFollow = false;
        bool maxFollow = false;
        win::HICON icon = nullptr;     // the icon last given
        struct Request {
            win::RECT rect{};
            unsigned long serial = 0;            // of the request to the server
            bool frame = false, screen = false;  // answered by the server's, the manager's notice
        };
        std::deque<Request> requested;  // places asked for, oldest first, still outstanding
    };
    // The window and entry of an X window, null when it is none of ours.
    const std::pair<const win::HWND, Entry>* Find(unsigned long xwin) const;
    Entry* EntryOf(unsigned long xwin);
    unsigned long Create(win::HWND h, const win::RECT& r, bool argb);
    void Iconify(Entry& e, bool iconic);
    void Maximize(Entry& e, bool maximized);
    void Icon(win::HWND h, Entry& e);
    void PutLayered(win::HWND h, Entry& e, _XImage* screen, const std::vector<win::RECT>& parts,
                    std::vector<win::RECT>& put);
    bool Composited() const;
    void Describe(win::HWND h, Entry& e);
    void Name(Entry& e, const std::string& utf8);
    // `at`: the window's own rectangle, which a maximised window's X window need not share.
    void Shape(win::HWND h, Entry& e, const win::RECT& at);
    // Sets the bounding or input shape of an X window unless it is `last` already.
    void SetShape(unsigned long xwin, int kind, const std::vector<win::RECT>& region,
                  std::vector<win::RECT>& last);
    unsigned long Intern(const char* name);

    static constexpr size_t kRequestsKept = 32;
    _XDisplay* dpy_;
    long eventMask_;
    bool shape_ = false;          // the server has the Shape extension
    bool shapeInput_ = false;     // and input shapes (version 1.1)
    void* argbVisual_ = nullptr;  // a 32-bit TrueColor visual, when the server has one
    unsigned long argbColormap_ = 0;
    _XGC* argbGc_ = nullptr;
    std::map<win::HWND, Entry> entries_;
    std::vector<unsigned long> stacking_;  // topmost first, as last restacked
    std::map<std::string, unsigned long> atoms_;
};

}  // namespace display
