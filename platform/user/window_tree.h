// Creating and destroying windows, the window tree, window data (styles, procedure, user data,
// extra bytes), properties and window text.
//
// Creation sends, in order: the CBT hook's HCBT_CREATEWND (the window exists, so the hook may
// subclass it), WM_GETMINMAXINFO for framed top-level windows, WM_NCCREATE, WM_NCCALCSIZE,
// WM_CREATE, WM_SIZE, WM_MOVE, then WM_PARENTNOTIFY up the parents, then the show messages when
// WS_VISIBLE was given. Destruction: HCBT_DESTROYWND once per call, WM_PARENTNOTIFY, hiding,
// owned windows, WM_DESTROY from the window down to its children, WM_NCDESTROY from the
// children up. Handles are never given out again.
#pragma once

#include "platform/user/messages.h"
#include "platform/user/styles.h"
#include "platform/user/win_types.h"

namespace win {

inline constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, void* param);
inline HWND CreateWindowEx(DWORD ex, const char* c, const char* n, DWORD s, int x, int y, int w,
                           int h, HWND p, HMENU m, HINSTANCE i, void* param) {
    return CreateWindowExA(ex, c, n, s, x, y, w, h, p, m, i, param);
}
inline HWND CreateWindowA(const char* c, const char* n, DWORD s, int x, int y, int w, int h, HWND p,
                          HMENU m, HINSTANCE i, void* param) {
    return CreateWindowExA(0, c, n, s, x, y, w, h, p, m, i, param);
}
BOOL DestroyWindow(HWND hwnd);

BOOL IsWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
BOOL IsWindowUnicode(HWND hwnd);
// The parent of a child window, the owner of a top-level one.
HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND newParent);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND hwnd);
HWND GetNextWindow(HWND hwnd, UINT cmd);
HWND GetDesktopWindow();
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);

using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
// Children and their descendants, each before its own children, front to back.
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam);
// Direct children of `parent` (the desktop when nullptr) after `after`, matched by class and
// title (nullptr matches any).
HWND FindWindowExA(HWND parent, HWND after, const char* className, const char* windowName);
inline HWND FindWindowEx(HWND p, HWND a, const char* c, const char* n) {
    return FindWindowExA(p, a, c, n);
}
inline HWND FindWindowA(const char* c, const char* n) {
    return FindWindowExA(nullptr, nullptr, c, n);
}
inline HWND FindWindow(const char* c, const char* n) {
    return FindWindowA(c, n);
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
inline LONG_PTR GetWindowLongPtr(HWND h, int i) {
    return GetWindowLongPtrA(h, i);
}
inline LONG_PTR SetWindowLongPtr(HWND h, int i, LONG_PTR v) {
    return SetWindowLongPtrA(h, i, v);
}
inline LONG_PTR GetWindowLongA(HWND h, int i) {
    return GetWindowLongPtrA(h, i);
}
inline LONG_PTR SetWindowLongA(HWND h, int i, LONG_PTR v) {
    return SetWindowLongPtrA(h, i, v);
}
inline LONG_PTR GetWindowLong(HWND h, int i) {
    return GetWindowLongPtrA(h, i);
}
inline LONG_PTR SetWindowLong(HWND h, int i, LONG_PTR v) {
    return SetWindowLongPtrA(h, i, v);
}

// Properties by name or by atom (MAKEINTATOM).
BOOL SetPropA(HWND hwnd, const char* name, HANDLE data);
HANDLE GetPropA(HWND hwnd, const char* name);
HANDLE RemovePropA(HWND hwnd, const char* name);
inline BOOL SetProp(HWND h, const char* n, HANDLE d) {
    return SetPropA(h, n, d);
}
inline HANDLE GetProp(HWND h, const char* n) {
    return GetPropA(h, n);
}
inline HANDLE RemoveProp(HWND h, const char* n) {
    return RemovePropA(h, n);
}

BOOL SetWindowTextA(HWND hwnd, const char* text);
int GetWindowTextA(HWND hwnd, char* buffer, int size);
int GetWindowTextLengthA(HWND hwnd);
inline BOOL SetWindowText(HWND h, const char* t) {
    return SetWindowTextA(h, t);
}
inline int GetWindowText(HWND h, char* b, int n) {
    return GetWindowTextA(h, b, n);
}
inline int GetWindowTextLength(HWND h) {
    return GetWindowTextLengthA(h);
}

// Destroys every window and forgets classes, hooks, timers and queued messages: a fresh start
// for tests, and the last step at shutdown. Handles stay unique across it.
void ResetWindowing();

}  // namespace win
