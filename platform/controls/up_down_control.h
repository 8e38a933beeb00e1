// The "msctls_updown32" class: a pair of arrow buttons, one above the other (side by side with
// UDS_HORZ), that step a position within a range.
//
// A press on an arrow steps the position at once, then again after kUpDownFirstDelay and every
// kUpDownRepeat milliseconds while the arrow stays held and the cursor on it. The up (right)
// arrow moves toward the range's upper end, whichever way round the range is given; the
// position stops at the ends, or wraps with UDS_WRAP. After each step the parent gets
// WM_VSCROLL (WM_HSCROLL with UDS_HORZ) with SB_THUMBPOSITION and the position in the high
// word, and the release brings SB_ENDSCROLL. The control never takes the focus.
#pragma once

#include "platform/user/win_types.h"

namespace win {

inline constexpr const char* UPDOWN_CLASSA = "msctls_updown32";

inline constexpr DWORD UDS_WRAP = 0x0001;
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002;
inline constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
inline constexpr DWORD UDS_ALIGNLEFT = 0x0008;
inline constexpr DWORD UDS_AUTOBUDDY = 0x0010;
inline constexpr DWORD UDS_ARROWKEYS = 0x0020;
inline constexpr DWORD UDS_HORZ = 0x0040;
inline constexpr DWORD UDS_NOTHOUSANDS = 0x0080;
inline constexpr DWORD UDS_HOTTRACK = 0x0100;

// The range the control starts with: from 100 down to 0, as the standard control has it.
inline constexpr int UD_DEFAULTLOWER = 100;
inline constexpr int UD_DEFAULTUPPER = 0;

// wParam: the lower end, lParam: the upper end.
inline constexpr UINT UDM_SETRANGE32 = 0x0400 + 111;
// wParam, lParam: int* receiving the lower and upper ends (either may be null).
inline constexpr UINT UDM_GETRANGE32 = 0x0400 + 112;
// lParam: the new position, kept within the range; answers the old one.
inline constexpr UINT UDM_SETPOS32 = 0x0400 + 113;
// lParam: BOOL* told whether the position lies outside the range (may be null).
inline constexpr UINT UDM_GETPOS32 = 0x0400 + 114;

inline constexpr UINT kUpDownFirstDelay = 300;
inline constexpr UINT kUpDownRepeat = 100;

LRESULT UpDownWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace win
