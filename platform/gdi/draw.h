// Filling and line drawing, following the platform's rules: right and bottom edges are
// exclusive, the last point of a line or polyline is not drawn, shapes are outlined with the
// pen (inside their bounding rectangle) and filled with the brush, and with the null pen a
// shape covers one pixel less to the right and bottom. Lines and outlines use the DC's ROP2.
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

// The brush may also be a system colour index + 1 (COLOR_WINDOW + 1, ...). Ignores ROP2.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);

BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolylineTo(HDC dc, const POINT* points, DWORD count);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
// The wedge runs counter-clockwise from the radial through (x1, y1) to the one through (x2, y2).
BOOL Pie(HDC dc, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
BOOL Arc(HDC dc, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);

// Answers the colour set, or CLR_INVALID (-1) outside the clip.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the clip or the bitmap.
COLORREF GetPixel(HDC dc, int x, int y);

}  // namespace win
