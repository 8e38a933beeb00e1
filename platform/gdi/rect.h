// Rectangle and point helpers (the user32 set), used by every drawing and windowing routine.
// An empty rectangle is one whose right is not past its left or whose bottom is not below its
// top.
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

BOOL SetRect(RECT* r, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* r);
BOOL CopyRect(RECT* dst, const RECT* src);
BOOL IsRectEmpty(const RECT* r);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* r, POINT p);
BOOL OffsetRect(RECT* r, int dx, int dy);
BOOL InflateRect(RECT* r, int dx, int dy);
// The overlap; an empty result is set to (0, 0, 0, 0) and answers FALSE.
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b);
// The bounding rectangle; empty inputs are ignored.
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b);
// a less b when b cuts a whole side off a; otherwise a itself. FALSE when the result is empty.
BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b);

constexpr int RectWidth(const RECT& r) {
    return r.right - r.left;
}
constexpr int RectHeight(const RECT& r) {
    return r.bottom - r.top;
}
constexpr bool RectIsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
constexpr RECT Intersection(const RECT& a, const RECT& b) {
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (RectIsEmpty(r)) r = RECT{};
    return r;
}

}  // namespace win
