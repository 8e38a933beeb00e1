// The modal loops of the default procedure that follow the mouse: moving and sizing a window,
// and holding a caption button down. They work from the current cursor and button state, so
// they also run when a WM_NCLBUTTONDOWN or WM_SYSCOMMAND is sent by code rather than by a click.
#pragma once

#include "platform/user/win_types.h"

namespace win::detail {

struct Window;

// SC_MOVE or SC_SIZE (+ edge): WM_ENTERSIZEMOVE, then WM_MOVING or WM_SIZING and a live
// SetWindowPos for each mouse move, until the button goes up (Enter or a click in keyboard
// mode); Esc puts the window back. Ends with WM_EXITSIZEMOVE.
void MoveSizeLoop(Window* w, WPARAM command);
// Holds a caption button pressed while the left button is down; true when it was released over
// the button (or, without the button down, when the cursor is over it).
bool TrackCaptionButton(Window* w, LRESULT hit);

}  // namespace win::detail
