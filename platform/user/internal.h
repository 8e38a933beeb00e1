// What the files of platform/user ask of one another. Not for use outside the folder.
#pragma once

#include "platform/user/input.h"
#include "platform/user/window_store.h"

namespace win::detail {

// message_queue.cpp: a message for `hwnd` passes a retrieval filter (nullptr: any; -1: thread
// messages only; else the window and its descendants).
bool MatchesWindowFilter(HWND hwnd, HWND filter);

// input.cpp
POINT CursorPos();
bool NextInputMessage(MSG* out, HWND filter, UINT lo, UINT hi, bool remove);
void ForgetInputState(Window* w);  // the window goes: capture, tracking, click memory
void ReleaseCaptureIfIn(Window* w);
// Whether the latest input event taken was a key rather than the mouse.
bool LastInputWasKeyboard();
// A press a modal loop took and let go: routed anew, before any other input, to the window
// under the point as it is now; never counted as the second click of a double click.
void RepeatMousePress(POINT pt, MouseButton button);

// activation.cpp
// Makes `top` (a top-level window) the active one. `how` is WA_ACTIVE or WA_CLICKACTIVE.
bool Activate(Window* top, WORD how, bool mouse);
// `leaving` is hidden, minimised or destroyed: another window becomes active when it was.
void ActivateNextAfter(Window* leaving);
// The focus lies in the subtree of `w`, which goes away: move it out.
void MoveFocusOutOf(Window* w);
Window* ActiveWindow();

// window_pos.cpp
BOOL PositionWindow(Window* w, HWND after, int x, int y, int cx, int cy, UINT flags);
// Puts a new window into the z-order of its siblings.
void LinkNewWindow(Window* parent, Window* w);
// Brings a top-level window (and what it owns) to the top of its band without messages.
void RaiseWithoutMessages(Window* top);
MINMAXINFO MinMaxInfo(Window* w);

// frame.cpp
RECT DefaultClientRect(const Window* w, const RECT& windowRect);
LRESULT DefaultHitTest(Window* w, POINT screen);

// screen.cpp: a top-level window (or one inside it) changed on screen; `oldScreen` is where it
// was. The virtual screen recomposes the damaged area.
void NoteScreenChange(Window* w, const RECT& oldScreen);

// menu_tracking.cpp: the modal menu loops of the default procedure. TrackMenuBar: `key` 0
// selects the first item (Alt, F10), a character opens the item it is the mnemonic of; with
// `mouse` the item under the cursor opens. TrackSystemMenu drops the system menu at a screen
// point, or below the caption icon for (-1, -1).
void TrackMenuBar(Window* w, UINT key, bool mouse);
void TrackSystemMenu(Window* w, POINT screen, bool mouse);
bool HasSystemMenu(Window* w);

// system_metrics.cpp
void EnsureScreen();
void ResetInput();
void ResetActivation();

}  // namespace win::detail
