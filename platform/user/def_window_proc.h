// The default window procedure: what a window does with a message it does not handle itself.
// It lays out, hit-tests and paints the standard non-client area, runs the modal move and size
// loops, minimises, maximises and restores, opens the system menu and the menu bar, turns
// WM_CLOSE into DestroyWindow, and passes mouse-wheel, cursor and activation questions of child
// windows up to their parents.
#pragma once

#include "platform/user/messages.h"
#include "platform/user/win_types.h"

namespace win {

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
inline LRESULT DefWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

}  // namespace win
