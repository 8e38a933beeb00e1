// How the windowing layer makes device contexts over window surfaces.
//
// GetDC, GetWindowDC, BeginPaint and the desktop DC all come down to one call: a DC that draws
// into `surface` (a bitmap the windowing layer owns, normally in the device format) with its
// device origin at `origin` inside that bitmap, and never outside `visible` (a region in the
// surface's coordinates: the part of the window that may be painted, already clipped by
// children, siblings and, for BeginPaint, the update region). The application's own clip
// (SelectClipRgn, IntersectClipRect, ...) then narrows that further, relative to the origin.
//
// The DC keeps the surface alive: the windowing layer may replace or delete a window's surface
// bitmap while a DC is still out; that DC then draws into the old bitmap, which harms nothing.
// ReleaseDC / EndPaint give the DC back with DeleteSurfaceDC. The owner is any tag the
// windowing layer wants back from WindowFromDC, normally the window handle.
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

// `visible` may be NULL (the whole surface); the region is copied. Answers NULL when the
// surface is not a bitmap.
HDC CreateSurfaceDC(HBITMAP surface, POINT origin, HRGN visible, HWND owner);
// Changes where an existing surface DC draws (used when a cached DC outlives a move or when
// the update region changes); the DC's own state stays.
BOOL SetSurfaceDCGeometry(HDC dc, POINT origin, HRGN visible);
BOOL DeleteSurfaceDC(HDC dc);
// The owner given at creation; NULL for memory DCs and bad handles.
HWND GetSurfaceDCOwner(HDC dc);
// Whether the handle is a surface DC (as opposed to a memory DC).
BOOL IsSurfaceDC(HDC dc);

// The size HORZRES/VERTRES answer; the virtual screen sets it. 1024 x 768 until then.
void SetScreenSize(int width, int height);

}  // namespace win
