// Geometry, z-order and show state.
//
// The z-order of top-level windows keeps three rules: topmost windows (WS_EX_TOPMOST) stay above
// the others, an owned window stays above its owner, and a window raised brings the windows it
// owns with it (unless SWP_NOOWNERZORDER). SetWindowPos sends WM_WINDOWPOSCHANGING, whose WINDOWPOS
// the receiver may change (the default clamps the size to the WM_GETMINMAXINFO track size), then
// WM_NCCALCSIZE when the frame or size changed, then WM_WINDOWPOSCHANGED, whose default sends
// WM_MOVE and WM_SIZE when the client area moved or changed size.
#pragma once

#include "platform/user/messages.h"
#include "platform/user/styles.h"
#include "platform/user/win_types.h"

namespace win {

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND hwnd);
// The previous visibility.
BOOL ShowWindow(HWND hwnd, int cmd);

BOOL GetWindowRect(HWND hwnd, RECT* rect);  // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* rect);  // (0, 0, width, height)
BOOL ClientToScreen(HWND hwnd, POINT* pt);
BOOL ScreenToClient(HWND hwnd, POINT* pt);
// Client coordinates of `from` to those of `to` (nullptr: the screen); the low word of the answer
// is the horizontal shift, the high word the vertical one.
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);

BOOL IsWindowVisible(HWND hwnd);  // the window and all its parents
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// The previous state: non-zero when the window was disabled.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};
inline constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp);

// The window rectangle for a wanted client rectangle under the default frame layout.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
inline BOOL AdjustWindowRect(RECT* r, DWORD s, BOOL m) {
    return AdjustWindowRectEx(r, s, m, 0);
}

inline constexpr UINT SWP_NOCLIENTSIZE = 0x0800;  // in WM_WINDOWPOSCHANGED: client size kept
inline constexpr UINT SWP_NOCLIENTMOVE = 0x1000;  // in WM_WINDOWPOSCHANGED: client origin kept

namespace detail {
struct Window;
// Minimise, maximise or restore (`cmd` an SW_ value), showing the window when `show`.
void SetShowState(Window* w, int cmd, bool show);
}  // namespace detail

}  // namespace win
