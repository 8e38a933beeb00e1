// Window regions and layered windows: what shapes a window on the screen and how it blends.
//
// SetWindowRgn hands the region to the window (it is deleted with the window or the next
// region); it clips painting, composition and hit testing. A layered window shows nothing until
// SetLayeredWindowAttributes (its painted surface at a constant alpha) or UpdateLayeredWindow
// (an image of its own, with constant or premultiplied per-pixel alpha). Pixels of alpha 0 and
// windows with WS_EX_TRANSPARENT take no mouse input.
#pragma once

#include "platform/gdi/blit.h"
#include "platform/user/win_types.h"

namespace win {

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
// Copies the window's region into `region`; the region type, or 0 (ERROR) without one.
int GetWindowRgn(HWND hwnd, HRGN region);

inline constexpr DWORD ULW_COLORKEY = 0x00000001;
inline constexpr DWORD ULW_ALPHA = 0x00000002;
inline constexpr DWORD ULW_OPAQUE = 0x00000004;
inline constexpr DWORD LWA_COLORKEY = 0x00000001;
inline constexpr DWORD LWA_ALPHA = 0x00000002;

BOOL UpdateLayeredWindow(HWND hwnd, HDC screenDC, const POINT* dstPos, const SIZE* size, HDC srcDC,
                         const POINT* srcPos, COLORREF key, const BLENDFUNCTION* blend,
                         DWORD flags);
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);

// What a presenter that blends on its own (a compositing desktop) needs of a layered top-level
// window: its picture (the UpdateLayeredWindow image or its painted surface, the window's size),
// the constant alpha and whether the picture carries premultiplied per-pixel alpha. False when
// the window is not layered; `picture` is null while it has shown nothing yet.
struct LayeredLook {
    HBITMAP picture = nullptr;
    BYTE alpha = 255;
    bool perPixel = false;
};
bool GetLayeredLook(HWND hwnd, LayeredLook* look);

namespace detail {

struct Window;

// Whether a point (window coordinates) is inside the window's region and, for a layered window,
// on a pixel that is not fully transparent.
bool PointInWindowRegion(const Window* w, POINT p);
// Whether the mouse passes through the top-level window at a screen point.
bool IsClickThrough(const Window* w, POINT screen);
void ExStyleChanged(Window* w, DWORD oldExStyle);
// Composes a top-level window onto the screen DC (window region and layering applied).
void ComposeWindow(Window* w, HDC screen, HDC scratch);
void ForgetShape(Window* w);

}  // namespace detail
}  // namespace win
