// The X11 presenter's state, shared by the files it is split into by concern: the connection,
// event loop and picture (x11_presenter.cpp), input and the cursor (x11_input.cpp), the
// desktop's side of each window: place, activation, icon state, work area (x11_desktop.cpp),
// and the clipboard (x11_clipboard.cpp). Internal to platform/display.
#pragma once

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
    bool focusLost = false;               // a FocusOut not yet followed by a FocusIn of ours
    win::HWND focused = nullptr;          // the active window whose X window was given the focus
    Time lastTime = CurrentTime;          // of the operator's last button or key, for the manager
    unsigned long grabbedOn = 0;          // the X window holding the pointer for the capture
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
    std::deque<XEvent> deferred;          // events that came in while waiting for the clipboard
    bool fastCopy = false;                // the image has the screen bitmap's own byte layout
    const win::BYTE* borrowed = nullptr;  // the screen bitmap's pixels the image shows in place

    ~State();
    bool MakeImage(int width, int height);
    // Shows the screen bitmap's own pixels when they have the image's layout, so nothing is copied.
    void Borrow(const win::BitmapView& v);
    void DropImage();
    // Copies a part of the screen into the image.
    void Put(const win::BitmapView& v, win::RECT r);
    win::POINT At(::Window w, int x, int y) const { return map->ToScreen(w, x, y); }
    void FollowPlace(const XConfigureEvent& e);
    void FollowPlaceOf(::Window w);
    bool FollowMaximized(::Window w, bool changed);
    // The desktop's place for a window: the windowing layer follows it.
    void Place(win::HWND h, const win::RECT& at);
    void Handle(XEvent& e);
    void HandleKey(XKeyEvent& e);
    // The virtual keys held on the server's keyboard now.
    std::vector<win::UINT> KeysHeld();
    void AnswerSelection(const XSelectionRequestEvent& req);
    void FollowCursor();
    void FollowActive();
    void FollowDesktopFocus(::Window w);
    void BringForwardOver(win::HWND disabled);
    void FollowMapping(::Window w, bool mapped);
    void FollowCapture();
    void FollowWorkArea();
    void ProcessPending();
};

win::MouseButton ButtonOf(unsigned xbutton);

}  // namespace display
