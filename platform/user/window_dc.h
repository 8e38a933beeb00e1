// Device contexts of windows and the paint cycle's BeginPaint/EndPaint.
//
// Every top-level window draws into a surface bitmap of its own size; its children draw into
// the same surface at their places. A client DC covers the client area, a window DC the whole
// window (non-client area included, and not limited by the update region); both are clipped by
// the parents' client areas and, with WS_CLIPCHILDREN and WS_CLIPSIBLINGS, by children and
// overlapping siblings. GetDC(nullptr) is the desktop DC: the composed screen itself.
#pragma once

#include "platform/gdi/win_types.h"
#include "platform/user/win_types.h"

namespace win {

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;  // the background still needs erasing (WM_ERASEBKGND answered 0)
    RECT rcPaint;
    BOOL fRestore = FALSE;
    BOOL fIncUpdate = FALSE;
    BYTE rgbReserved[32] = {};
};

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
HWND WindowFromDC(HDC dc);

namespace detail {
struct Window;
// The surface bitmap of a top-level window (made or resized on demand); nullptr for others.
HBITMAP SurfaceOf(Window* top);
void DropSurface(Window* top);
// A DC over a window: the whole window or its client area, limited to `clipClient` (client
// coordinates) when given.
HDC MakeWindowDC(Window* w, bool whole, const RECT* clipClient);
}  // namespace detail

}  // namespace win
