// Mouse and keyboard: the events a presenter feeds in, their routing to windows, capture, mouse
// tracking, the keyboard state and cursors.
//
// Events queue up as they come (from any thread) and become messages when the GUI thread takes
// them: the window under the pointer is found through the z-order, window regions, layered alpha
// and WM_NCHITTEST (HTTRANSPARENT passes the event to the window below); then WM_SETCURSOR and,
// for a press on an inactive window, WM_MOUSEACTIVATE are sent before the message is returned.
#pragma once

#include <vector>

#include "platform/user/win_types.h"

namespace win {

enum class MouseButton { None, Left, Right, Middle };

struct MouseEvent {
    enum Kind { Move, Down, Up, Wheel } kind = Move;
    POINT pt;  // screen coordinates
    MouseButton button = MouseButton::None;
    int wheelDelta = 0;  // multiples of WHEEL_DELTA
};

struct KeyEvent {
    UINT vk = 0;
    bool down = true;
    unsigned char ch = 0;  // the cp1251 character the key makes, 0 for none
};

// Queue input; safe from any thread.
void QueueMouseEvent(const MouseEvent& e);
void QueueKeyEvent(const KeyEvent& e);
// Input while the presenter lost the keyboard: every key counts as released.
void QueueFocusLost();
// The keyboard as the presenter found it when the program lost or regained it: the keys in
// `held` are down and every other key is up, so a key pressed or let go while another client had
// the keyboard (a window manager's Alt+Tab) is not left stuck. Mouse buttons keep their state.
void QueueKeyboardState(std::vector<UINT> held);
// The presenter has the keyboard again, `held` as above. The application becomes active in its
// turn among the queued input: a loss queued before it, and taken later, cannot undo it.
void QueueFocusRegained(std::vector<UINT> held);

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

BOOL GetCursorPos(POINT* pt);
BOOL SetCursorPos(int x, int y);

short GetKeyState(int vk);
short GetAsyncKeyState(int vk);
UINT GetDoubleClickTime();

struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};
inline constexpr DWORD TME_HOVER = 0x00000001;
inline constexpr DWORD TME_LEAVE = 0x00000002;
inline constexpr DWORD TME_NONCLIENT = 0x00000010;
inline constexpr DWORD TME_QUERY = 0x40000000;
inline constexpr DWORD TME_CANCEL = 0x80000000;
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);

// The topmost window under a screen point, as mouse routing sees it (without WM_NCHITTEST).
HWND WindowFromPoint(POINT pt);
HWND ChildWindowFromPoint(HWND parent, POINT clientPt);

// Cursors: the standard shapes, by their resource numbers.
inline const char* MAKEINTRESOURCEA(int id) {
    return reinterpret_cast<const char*>(uintptr_t(WORD(id)));
}
inline const char* const IDC_ARROW = MAKEINTRESOURCEA(32512);
inline const char* const IDC_IBEAM = MAKEINTRESOURCEA(32513);
inline const char* const IDC_WAIT = MAKEINTRESOURCEA(32514);
inline const char* const IDC_CROSS = MAKEINTRESOURCEA(32515);
inline const char* const IDC_UPARROW = MAKEINTRESOURCEA(32516);
inline const char* const IDC_SIZENWSE = MAKEINTRESOURCEA(32642);
inline const char* const IDC_SIZENESW = MAKEINTRESOURCEA(32643);
inline const char* const IDC_SIZEWE = MAKEINTRESOURCEA(32644);
inline const char* const IDC_SIZENS = MAKEINTRESOURCEA(32645);
inline const char* const IDC_SIZEALL = MAKEINTRESOURCEA(32646);
inline const char* const IDC_NO = MAKEINTRESOURCEA(32648);
inline const char* const IDC_HAND = MAKEINTRESOURCEA(32649);
inline const char* const IDC_APPSTARTING = MAKEINTRESOURCEA(32650);
inline const char* const IDC_HELP = MAKEINTRESOURCEA(32651);

// Standard cursors only (other names give nullptr).
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
inline HCURSOR LoadCursor(HINSTANCE i, const char* n) {
    return LoadCursorA(i, n);
}
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The resource number of a standard cursor handle (32512 for the arrow), 0 for others: how a
// presenter picks the shape to show.
int StandardCursorId(HCURSOR cursor);

}  // namespace win
