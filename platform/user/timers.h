// Window timers on the current clock (os::GetTickCount). A due timer yields one WM_TIMER when the
// queue has nothing more urgent; a late timer does not pile up, it fires once and starts over.
#pragma once

#include "platform/user/win_types.h"

namespace win {

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

inline constexpr UINT USER_TIMER_MINIMUM = 10;

// With a window, `id` names the timer (setting it again restarts it); without one a new id is
// made. Intervals below USER_TIMER_MINIMUM are raised to it.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

namespace detail {
// The next due timer as a WM_TIMER message for the window filter; restarts it when `remove`.
bool NextTimerMessage(HWND filter, bool remove, MSG* out);
// Milliseconds until the next timer is due (0 when one is due; kInfinite when none).
uint32_t MsUntilNextTimer();
void KillTimersOf(HWND hwnd);
void ClearTimers();
}  // namespace detail

}  // namespace win
