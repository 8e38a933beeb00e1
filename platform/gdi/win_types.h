// The basic Win32-shaped types shared by the drawing and windowing layers: integers of fixed
// width, colours, points, rectangles and the opaque handle types.
//
// Handles are pointers to incomplete structs so that an HBRUSH cannot be passed where an HPEN is
// wanted; their values are ids in the object table (never addresses), so a stale handle is
// recognised instead of being dereferenced. HGDIOBJ is void* because every drawing object
// converts to it, as callers expect.
#pragma once

#include <cstddef>
#include <cstdint>

namespace win {

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using UINT = unsigned int;
using INT = int;
using BOOL = int;
using SHORT = int16_t;
using USHORT = uint16_t;
using COLORREF = DWORD;
using COLOR16 = USHORT;
using LPSTR = char*;
using LPCSTR = const char*;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

using HANDLE = void*;
using HGDIOBJ = void*;

#define TESSARY_DECLARE_HANDLE(name) \
    struct name##__;                 \
    using name = name##__*
TESSARY_DECLARE_HANDLE(HDC);
TESSARY_DECLARE_HANDLE(HBITMAP);
TESSARY_DECLARE_HANDLE(HBRUSH);
TESSARY_DECLARE_HANDLE(HPEN);
TESSARY_DECLARE_HANDLE(HFONT);
TESSARY_DECLARE_HANDLE(HRGN);
TESSARY_DECLARE_HANDLE(HPALETTE);
TESSARY_DECLARE_HANDLE(HICON);
TESSARY_DECLARE_HANDLE(HWND);
TESSARY_DECLARE_HANDLE(HINSTANCE);
TESSARY_DECLARE_HANDLE(HMENU);
struct _IMAGELIST;
using HIMAGELIST = _IMAGELIST*;
#undef TESSARY_DECLARE_HANDLE
using HCURSOR = HICON;
using HMODULE = HINSTANCE;

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

using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;

// A colour holds red in the low byte, then green, then blue.
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return BYTE(c);
}
constexpr BYTE GetGValue(COLORREF c) {
    return BYTE(c >> 8);
}
constexpr BYTE GetBValue(COLORREF c) {
    return BYTE(c >> 16);
}

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

constexpr WORD LOWORD(uintptr_t v) {
    return WORD(v & 0xFFFF);
}
constexpr WORD HIWORD(uintptr_t v) {
    return WORD((v >> 16) & 0xFFFF);
}
constexpr BYTE LOBYTE(uintptr_t v) {
    return BYTE(v & 0xFF);
}

// Integer resource ids travel in name pointers.
inline LPCSTR MAKEINTRESOURCE(uintptr_t id) {
    return reinterpret_cast<LPCSTR>(id);
}
inline bool IS_INTRESOURCE(LPCSTR p) {
    return (reinterpret_cast<uintptr_t>(p) >> 16) == 0;
}

// a * b / c with rounding half away from zero and no overflow; -1 when c is 0.
int MulDiv(int a, int b, int c);

}  // namespace win
