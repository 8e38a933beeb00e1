// TPoint and TRect: the class library's geometry, convertible to and from the drawing layer's
// POINT and RECT (right and bottom exclusive).
#pragma once

#include "platform/gdi/win_types.h"

namespace vcl {

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) {}
    constexpr TPoint(const win::POINT& p) : X(p.x), Y(p.y) {}  // NOLINT: interchangeable
    constexpr operator win::POINT() const { return {X, Y}; }
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr TRect(const win::RECT& r)  // NOLINT: interchangeable
        : Left(r.left), Top(r.top), Right(r.right), Bottom(r.bottom) {}
    constexpr operator win::RECT() const { return {Left, Top, Right, Bottom}; }

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(int x, int y) {
    return {x, y};
}
constexpr TRect Rect(int l, int t, int r, int b) {
    return {l, t, r, b};
}
constexpr TRect Bounds(int l, int t, int w, int h) {
    return {l, t, l + w, t + h};
}

}  // namespace vcl
