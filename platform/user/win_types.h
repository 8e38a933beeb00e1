// The value types of the windowing interface beyond the shared ones of the drawing layer:
// atoms, hooks, monitors, the message record, window procedures and the LPARAM packing helpers.
#pragma once

#include <cstdint>

#include "platform/gdi/rect.h"
#include "platform/gdi/win_types.h"

namespace win {

using ULONG_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using ATOM = uint16_t;

struct HHOOK__;
struct HMONITOR__;
using HHOOK = HHOOK__*;
using HMONITOR = HMONITOR__*;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

constexpr LONG MAKELONG(WORD lo, WORD hi) {
    return LONG(DWORD(lo) | (DWORD(hi) << 16));
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return LPARAM(MAKELONG(WORD(lo), WORD(hi)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
    return WPARAM(DWORD(MAKELONG(WORD(lo), WORD(hi))));
}
// Signed coordinates packed into an LPARAM (negative positions on the screen are normal).
constexpr int GET_X_LPARAM(LPARAM lp) {
    return int16_t(LOWORD(uintptr_t(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
    return int16_t(HIWORD(uintptr_t(lp)));
}

// Integer atoms travel in the place of a class name, as MAKEINTATOM does.
inline const char* MAKEINTATOM(ATOM a) {
    return reinterpret_cast<const char*>(uintptr_t(a));
}

// Errors of the last failed call on this thread.
DWORD GetLastError();
void SetLastError(DWORD code);
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
inline constexpr DWORD ERROR_INVALID_HOOK_HANDLE = 1404;
inline constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;
inline constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
inline constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
inline constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
inline constexpr DWORD ERROR_INVALID_INDEX = 1413;
inline constexpr DWORD ERROR_TIMER_NOT_FOUND = 1416;
inline constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;
inline constexpr DWORD ERROR_NO_SCROLLBARS = 1447;

}  // namespace win
