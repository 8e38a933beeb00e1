// Input from the X server: buttons, keys with their cp1251 characters, the pointer grab while
// a window has the capture, and the cursor shape.
#include "platform/display/x11_presenter_state.h"

namespace display {

namespace {

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

}  // namespace

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

std::vector<win::UINT> X11Presenter::State::KeysHeld() {
    char keys[32] = {};
    XQueryKeymap(dpy, keys);
    std::vector<win::UINT> held;
    for (int code = 8; code < 256; ++code)
        if (keys[code / 8] & (1 << (code % 8)))
            if (unsigned vk = VirtualKeyFor(XkbKeycodeToKeysym(dpy, KeyCode(code), 0, 0)))
                held.push_back(vk);
    return held;
}

// While a window has the capture (the program's move and size loops, menus, a drag), the
// pointer stays with the program wherever it goes on the desktop.
void X11Presenter::State::FollowCapture() {
    win::HWND capture = win::GetCapture();
    const unsigned long w = capture ? map->XWindowOf(win::GetAncestor(capture, win::GA_ROOT)) : 0;
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

}  // namespace display
