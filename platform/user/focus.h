// Activation and keyboard focus.
//
// One top-level window is active; the focus is it or one of its descendants. Activating sends
// the CBT hook's HCBT_ACTIVATE (which may refuse), then WM_NCACTIVATE FALSE and WM_ACTIVATE
// WA_INACTIVE to the window losing activation, WM_ACTIVATEAPP when the application as a whole
// gains or loses it, and WM_NCACTIVATE TRUE and WM_ACTIVATE to the new window, whose default
// handling gives it the focus. WS_EX_NOACTIVATE windows are not activated by clicks or showing.
#pragma once

#include "platform/user/win_types.h"

namespace win {

HWND SetFocus(HWND hwnd);  // the previous focus
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);  // the previously active window
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();

// The presenter's window gained or lost the display's focus.
void SetApplicationActive(bool active);

}  // namespace win
