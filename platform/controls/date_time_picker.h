// The "SysDateTimePick32" class in time mode: the hours, minutes and seconds of a SYSTEMTIME
// shown in the locale's format, with an "msctls_updown32" child at the right.
//
// One field is selected at a time (highlighted while the control has the focus): chosen by a
// click or by Left and Right. Up and Down, and the up-down's arrows, step the selected field
// and wrap at its ends; typed digits replace it, a second digit joins the first when the
// value still fits, and a complete field passes the selection on to the next. Every change
// the user makes goes to the parent as DTN_DATETIMECHANGE; changes made with
// DTM_SETSYSTEMTIME do not. The date part of the value is kept as given.
#pragma once

#include "platform/user/dialog_manager.h"
#include "platform/user/win_types.h"

namespace win {

inline constexpr const char* DATETIMEPICK_CLASSA = "SysDateTimePick32";

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;  // 0 is Sunday
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

inline constexpr DWORD DTS_UPDOWN = 0x0001;
inline constexpr DWORD DTS_SHOWNONE = 0x0002;
inline constexpr DWORD DTS_SHORTDATEFORMAT = 0x0000;
inline constexpr DWORD DTS_LONGDATEFORMAT = 0x0004;
inline constexpr DWORD DTS_TIMEFORMAT = 0x0009;
inline constexpr DWORD DTS_APPCANPARSE = 0x0010;
inline constexpr DWORD DTS_RIGHTALIGN = 0x0020;

inline constexpr DWORD GDT_ERROR = static_cast<DWORD>(-1);
inline constexpr DWORD GDT_VALID = 0;
inline constexpr DWORD GDT_NONE = 1;

// lParam: SYSTEMTIME* filled in; answers GDT_VALID.
inline constexpr UINT DTM_GETSYSTEMTIME = 0x1001;
// wParam: GDT_VALID, lParam: SYSTEMTIME*. Answers FALSE (and changes nothing) for GDT_NONE
// or a value that is no date and time.
inline constexpr UINT DTM_SETSYSTEMTIME = 0x1002;

inline constexpr UINT DTN_DATETIMECHANGE = static_cast<UINT>(-759);

struct NMDATETIMECHANGE {
    NMHDR nmhdr;
    DWORD dwFlags = GDT_VALID;
    SYSTEMTIME st;
};

// The time format of the system's locale (Russian): H, HH hours (0-23), m, mm minutes, s, ss
// seconds; two letters pad with a zero; other characters are shown as they stand.
inline constexpr const char* kLocaleTimeFormat = "H:mm:ss";

LRESULT DateTimePickerWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace win
