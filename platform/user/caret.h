// The caret: the blinking mark of the text input place, one for the GUI thread. It belongs to a
// window, starts hidden (ShowCaret shows it; HideCaret calls nest) and blinks on a thread timer
// every GetCaretBlinkTime milliseconds. It is laid over the composed screen rather than drawn
// into the window, so the window's own painting never has to know about it; it shows only
// inside its window's client area and not under other top-level windows. A bitmap caret is
// XORed onto the screen; a solid or grey one (bitmap nullptr or 1) inverts its rectangle.
// Destroying its window destroys it.
#pragma once

#include "platform/user/win_types.h"

namespace win {

// A width or height of 0 takes the border width (SM_CXBORDER, SM_CYBORDER).
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
// nullptr means the caret's own window; another window that does not own it fails.
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
// In the client coordinates of the caret's window; a move shows it at once, blinking anew.
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* pt);
BOOL SetCaretBlinkTime(UINT ms);
UINT GetCaretBlinkTime();

namespace detail {
// Draws the caret, when it shows, onto the composed screen through a DC already clipped to the
// area being composed.
void OverlayCaret(HDC screen);
void CaretWindowGone(HWND hwnd);
void ResetCaret();
}  // namespace detail

}  // namespace win
