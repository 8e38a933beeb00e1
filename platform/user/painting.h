// Update regions and the paint cycle.
//
// Each window keeps the part of its client area that needs painting (kept as a bounding
// rectangle: painting a little more than needed is always right), whether the background must
// be erased first, and whether its frame needs WM_NCPAINT. A window locked by WM_SETREDRAW FALSE
// takes no invalidation and gets no paint messages, nor do its children, until WM_SETREDRAW
// TRUE, which itself repaints nothing.
#pragma once

#include "platform/user/win_types.h"

namespace win {

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
// RDW_ERASE and RDW_FRAME take effect only together with RDW_INVALIDATE.
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN rgn, UINT flags);
BOOL UpdateWindow(HWND hwnd);
// The bounding rectangle of the update region in client coordinates; FALSE when empty.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
// Whether a window is locked by WM_SETREDRAW FALSE.
bool IsRedrawLocked(HWND hwnd);

namespace detail {
struct Window;
bool NextPaintMessage(MSG* out, HWND filter);
void ValidateAfterPaint(HWND hwnd);
void ForgetPaintState(Window* w);
void WindowGeometryChanged(Window* w, const RECT& oldScreen, bool wasVisible, UINT flags);
void ScreenResized();
void SetRedraw(Window* w, bool allow);
// The pending update of a window, taken by BeginPaint: the client rectangle to paint and
// whether to erase; the window counts as painted afterwards. Sends WM_NCPAINT first when the
// frame is pending.
bool TakeUpdate(Window* w, RECT* client, bool* erase);
// Whether the window and its parents may be painted (visible and not redraw-locked).
bool Paintable(const Window* w);
}  // namespace detail

}  // namespace win
