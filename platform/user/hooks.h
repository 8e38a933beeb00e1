// Thread hooks. Only the computer-based-training hook (WH_CBT) exists: it sees windows being
// created (before WM_NCCREATE, so it may subclass them), activated and destroyed, and may veto
// each by answering non-zero. Hooks belong to the GUI thread; the newest runs first.
#pragma once

#include "platform/user/messages.h"
#include "platform/user/win_types.h"

namespace win {

using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

inline constexpr int WH_CBT = 5;

inline constexpr int HCBT_MOVESIZE = 0;
inline constexpr int HCBT_MINMAX = 1;
inline constexpr int HCBT_ACTIVATE = 5;
inline constexpr int HCBT_CREATEWND = 3;
inline constexpr int HCBT_DESTROYWND = 4;
inline constexpr int HCBT_SETFOCUS = 9;

struct CBT_CREATEWNDA {
    CREATESTRUCTA* lpcs = nullptr;
    HWND hwndInsertAfter = nullptr;
};
using CBT_CREATEWND = CBT_CREATEWNDA;

struct CBTACTIVATESTRUCT {
    BOOL fMouse = FALSE;
    HWND hWndActive = nullptr;
};

// The GUI thread's id as the hook functions see it.
DWORD GetCurrentThreadId();

// threadId 0 or the GUI thread's id; other threads have no windows and cannot be hooked.
HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
inline HHOOK SetWindowsHookEx(int id, HOOKPROC p, HINSTANCE m, DWORD t) {
    return SetWindowsHookExA(id, p, m, t);
}
// Safe to call from inside a hook procedure, for itself or any other hook.
BOOL UnhookWindowsHookEx(HHOOK hook);
// Passes the call to the next older hook of the chain; 0 at the end of it.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

namespace detail {
// Runs the CBT chain; non-zero means a hook vetoed the action.
LRESULT CallCbtHooks(int code, WPARAM wParam, LPARAM lParam);
void ClearHooks();
}  // namespace detail

}  // namespace win
