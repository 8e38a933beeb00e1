// The basic Win32-shaped value types of the windowing interface: integers, handles, points,
// rectangles and the message record. Handles are opaque pointers that only the layer that made
// them can resolve, so a stale or forged handle is detected rather than dereferenced.
#pragma once

#include <cstdint>

namespace win {

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using BOOL = int;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using UINT_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
using COLORREF = uint32_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

struct HWND__;
struct HMENU__;
struct HICON__;
struct HINSTANCE__;
struct HHOOK__;
struct HMONITOR__;
using HWND = HWND__*;
using HMENU = HMENU__*;
using HICON = HICON__*;
using HCURSOR = HICON;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HHOOK = HHOOK__*;
using HMONITOR = HMONITOR__*;
using HANDLE = void*;

struct POINT {
    LONG x = 0;
    LONG y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
    friend bool operator==(const SIZE&, const SIZE&) = default;
};

// Right and bottom are exclusive.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

constexpr WORD LOWORD(uintptr_t v) {
    return WORD(v & 0xFFFF);
}
constexpr WORD HIWORD(uintptr_t v) {
    return WORD((v >> 16) & 0xFFFF);
}
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
inline bool IS_INTRESOURCE(const char* p) {
    return (reinterpret_cast<uintptr_t>(p) >> 16) == 0;
}

// Rectangle helpers.
BOOL SetRect(RECT* r, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* r);
BOOL IsRectEmpty(const RECT* r);
BOOL OffsetRect(RECT* r, int dx, int dy);
BOOL InflateRect(RECT* r, int dx, int dy);
BOOL PtInRect(const RECT* r, POINT p);
BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* out, const RECT* a, const RECT* b);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL CopyRect(RECT* out, const RECT* in);

// Errors of the last failed call on this thread.
DWORD GetLastError();
void SetLastError(DWORD code);
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
inline constexpr DWORD ERROR_INVALID_HOOK_HANDLE = 1404;
inline constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
inline constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
inline constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
inline constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_INDEX = 1413;
inline constexpr DWORD ERROR_TIMER_NOT_FOUND = 1416;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_NO_SCROLLBARS = 1447;

}  // namespace win
