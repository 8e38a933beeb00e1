// Sending, posting and retrieving messages.
//
// SendMessage calls the window procedure at once; from another thread it runs the call on the
// GUI thread and waits. Posted messages wait in the GUI thread's queue. Retrieval takes, in this
// order: calls queued by other threads (run, not returned), posted messages, input, WM_QUIT once
// no posted message is left, WM_PAINT for a window that needs painting, and WM_TIMER.
#pragma once

#include "platform/user/messages.h"
#include "platform/user/win_types.h"

namespace win {

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;
inline constexpr UINT PM_NOYIELD = 0x0002;

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
inline LRESULT SendMessage(HWND h, UINT m, WPARAM w, LPARAM l) {
    return SendMessageA(h, m, w, l);
}
// Safe from any thread. A null window posts a thread message.
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
inline BOOL PostMessage(HWND h, UINT m, WPARAM w, LPARAM l) {
    return PostMessageA(h, m, w, l);
}
BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
inline BOOL PeekMessage(MSG* m, HWND h, UINT a, UINT b, UINT f) {
    return PeekMessageA(m, h, a, b, f);
}
// 0 for WM_QUIT, -1 for a bad window filter, otherwise non-zero.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
inline BOOL GetMessage(MSG* m, HWND h, UINT a, UINT b) {
    return GetMessageA(m, h, a, b);
}
LRESULT DispatchMessageA(const MSG* msg);
inline LRESULT DispatchMessage(const MSG* m) {
    return DispatchMessageA(m);
}
// Posts WM_CHAR (WM_SYSCHAR) for a key press that makes a character.
BOOL TranslateMessage(const MSG* msg);
// Waits until a message or queued call is there (timers count when due).
BOOL WaitMessage();
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
inline LRESULT CallWindowProc(WNDPROC p, HWND h, UINT m, WPARAM w, LPARAM l) {
    return CallWindowProcA(p, h, m, w, l);
}
BOOL InSendMessage();

// The cursor position and time of the last message retrieved.
DWORD GetMessagePos();
LONG GetMessageTime();

namespace detail {
// Drops every queued message and the quit request (tests and shutdown).
void ClearQueue();
// Removes posted messages for a destroyed window.
void DropMessagesFor(HWND hwnd);
}  // namespace detail

}  // namespace win
