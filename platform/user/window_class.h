// Window classes: registered by name (compared without case), each with an atom. A name of the
// form "#<number>" stands for that integer atom, so "#32768" (menus) is 0x8000 and "#32770"
// (dialogs) 0x8002; other names get atoms from 0xC000 up, shared with RegisterWindowMessage.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/user/win_types.h"

namespace win {

struct WNDCLASSEXA {
    UINT cbSize = sizeof(WNDCLASSEXA);
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;  // a brush, or a system colour index + 1
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
    HICON hIconSm = nullptr;
};
using WNDCLASSEX = WNDCLASSEXA;

struct WNDCLASSA {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};
using WNDCLASS = WNDCLASSA;

inline constexpr ATOM kMenuClassAtom = 0x8000;     // "#32768"
inline constexpr ATOM kDesktopClassAtom = 0x8001;  // "#32769"
inline constexpr ATOM kDialogClassAtom = 0x8002;   // "#32770"

ATOM RegisterClassExA(const WNDCLASSEXA* wc);
ATOM RegisterClassA(const WNDCLASSA* wc);
inline ATOM RegisterClassEx(const WNDCLASSEXA* wc) {
    return RegisterClassExA(wc);
}
inline ATOM RegisterClass(const WNDCLASSA* wc) {
    return RegisterClassA(wc);
}
// Fails with ERROR_CLASS_HAS_WINDOWS while windows of the class exist.
BOOL UnregisterClassA(const char* name, HINSTANCE instance);
inline BOOL UnregisterClass(const char* name, HINSTANCE instance) {
    return UnregisterClassA(name, instance);
}
BOOL GetClassInfoExA(HINSTANCE instance, const char* name, WNDCLASSEXA* out);
BOOL GetClassInfoA(HINSTANCE instance, const char* name, WNDCLASSA* out);
inline BOOL GetClassInfo(HINSTANCE i, const char* n, WNDCLASSA* o) {
    return GetClassInfoA(i, n, o);
}
inline BOOL GetClassInfoEx(HINSTANCE i, const char* n, WNDCLASSEXA* o) {
    return GetClassInfoExA(i, n, o);
}

int GetClassNameA(HWND hwnd, char* buffer, int size);
inline int GetClassName(HWND hwnd, char* buffer, int size) {
    return GetClassNameA(hwnd, buffer, size);
}
ULONG_PTR GetClassLongPtrA(HWND hwnd, int index);
ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value);
inline ULONG_PTR GetClassLong(HWND h, int i) {
    return GetClassLongPtrA(h, i);
}
inline ULONG_PTR GetClassLongPtr(HWND h, int i) {
    return GetClassLongPtrA(h, i);
}
inline ULONG_PTR SetClassLong(HWND h, int i, LONG_PTR v) {
    return SetClassLongPtrA(h, i, v);
}
inline ULONG_PTR SetClassLongPtr(HWND h, int i, LONG_PTR v) {
    return SetClassLongPtrA(h, i, v);
}

// Message numbers 0xC000..0xFFFF shared by name; the same name always gives the same number.
UINT RegisterWindowMessageA(const char* name);
inline UINT RegisterWindowMessage(const char* name) {
    return RegisterWindowMessageA(name);
}
ATOM GlobalAddAtomA(const char* name);
ATOM GlobalFindAtomA(const char* name);

namespace detail {

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    WNDCLASSEXA info;  // lpszClassName/lpszMenuName point into this record's strings
    std::string menuName;
    std::vector<uint8_t> classExtra;
    int windows = 0;  // live windows of the class
    bool registered = true;
};

// The class a CREATESTRUCT-style name or atom refers to, or nullptr.
std::shared_ptr<WindowClass> FindClass(const char* nameOrAtom);
// Forgets every class (tests and shutdown); the system classes come back at the next use.
void ClearClasses();
// Registers the classes of this layer ("#32768" pop-up menus, "ScrollBar") when missing.
void EnsureSystemClasses();

}  // namespace detail
}  // namespace win
