#include "platform/gdi/rect.h"

#include <algorithm>
#include <cstdlib>

namespace win {

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t p = int64_t(a) * b;
    const int64_t half = std::llabs(c) / 2;
    const bool negative = (p < 0) != (c < 0);
    const int64_t q = (std::llabs(p) + half) / std::llabs(c);
    const int64_t r = negative ? -q : q;
    if (r > INT32_MAX || r < INT32_MIN) return -1;
    return int(r);
}

BOOL SetRect(RECT* r, int left, int top, int right, int bottom) {
    if (!r) return FALSE;
    *r = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(RECT* r) {
    if (!r) return FALSE;
    *r = RECT{};
    return TRUE;
}

BOOL CopyRect(RECT* dst, const RECT* src) {
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* r) {
    return !r || RectIsEmpty(*r);
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && *a == *b;
}

BOOL PtInRect(const RECT* r, POINT p) {
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}

BOOL OffsetRect(RECT* r, int dx, int dy) {
    if (!r) return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}

BOOL InflateRect(RECT* r, int dx, int dy) {
    if (!r) return FALSE;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst) return FALSE;
    if (!a || !b) {
        *dst = RECT{};
        return FALSE;
    }
    *dst = Intersection(*a, *b);
    return !RectIsEmpty(*dst);
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst) return FALSE;
    const bool ea = !a || RectIsEmpty(*a), eb = !b || RectIsEmpty(*b);
    if (ea && eb) {
        *dst = RECT{};
        return FALSE;
    }
    if (ea) {
        *dst = *b;
    } else if (eb) {
        *dst = *a;
    } else {
        *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top),
                    std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    }
    return TRUE;
}

BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r = *a;
    const RECT x = Intersection(*a, *b);
    if (!RectIsEmpty(x)) {
        const bool fullWidth = x.left == a->left && x.right == a->right;
        const bool fullHeight = x.top == a->top && x.bottom == a->bottom;
        if (fullWidth && fullHeight) {
            r = RECT{};
        } else if (fullWidth && x.top == a->top) {
            r.top = x.bottom;
        } else if (fullWidth && x.bottom == a->bottom) {
            r.bottom = x.top;
        } else if (fullHeight && x.left == a->left) {
            r.left = x.right;
        } else if (fullHeight && x.right == a->right) {
            r.right = x.left;
        }
    }
    *dst = r;
    if (RectIsEmpty(r)) {
        *dst = RECT{};
        return FALSE;
    }
    return TRUE;
}

}  // namespace win
