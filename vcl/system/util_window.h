// Hidden utility windows: a window of the windowing layer whose messages go to a method of an
// object, for components that need a window but are no control (timers, the owner of pop-up
// menus).
#pragma once

#include "platform/user/win_types.h"
#include "vcl/system/messages.h"

namespace vcl {

// A new hidden window of the class "TPUtilWindow" that passes every message after its making to
// `method`, which sets Result and hands what it does not handle to DefaultUtilWindowProc.
// EOutOfResources when no window can be made.
win::HWND AllocateHWnd(TWndMethod method);
// Destroys the window; its messages stop at once. nullptr and windows already gone are fine.
void DeallocateHWnd(win::HWND window);
// The default handling of a utility window's message.
void DefaultUtilWindowProc(win::HWND window, TMessage& message);

}  // namespace vcl
