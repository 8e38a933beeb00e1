// Pixels, lines and filled shapes. Shapes are built from row spans: a shape is a function
// from a row to the run of pixels it covers there (or several runs for polygons), the pen draws
// the part of the shape outside the shape shrunk by the pen width, and the brush fills the rest.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/rop.h"

namespace win {

using namespace detail;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Drawing with the pen through ROP2, in target coordinates.
struct PenPainter {
    Dc& dc;
    Bitmap* b;
    BYTE code;
    Pixel color;
    int width;

    explicit PenPainter(Dc& d)
        : dc(d),
          b(d.Target()),
          code(Rop2ToRop3(d.st.rop2)),
          color(ColorToPixel(d.st.pen->color)),
          width(d.st.pen->width) {}

    void Span(int y, int x0, int x1) {
        if (x0 >= x1 || !b || b->stock) return;
        ForClipped(dc, RECT{x0, y, x1, y + 1}, [&](const RECT& r) {
            RopSpan(*b, r.left, r.top, r.right - r.left, code, color);
        });
    }
    // One point of a line: a square of the pen's width around it.
    void Point(int x, int y) {
        if (width <= 1) {
            Span(y, x, x + 1);
            return;
        }
        const int h = width / 2;
        for (int yy = y - h; yy < y - h + width; ++yy)
            Span(yy, x - h, x - h + width);
    }
    // From (x0, y0) to (x1, y1) without the last point.
    void Line(int x0, int y0, int x1, int y1) {
        if (y0 == y1 && width <= 1) {
            if (x0 < x1)
                Span(y0, x0, x1);
            else if (x0 > x1)
                Span(y0, x1 + 1, x0 + 1);
            return;
        }
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        while (x0 != x1 || y0 != y1) {
            Point(x0, y0);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
};

void BrushSpan(Dc& dc, int y, int x0, int x1) {
    Bitmap* b = dc.Target();
    if (x0 >= x1 || !b || b->stock || dc.st.brush->Null()) return;
    const Pixel p = ColorToPixel(dc.st.brush->color);
    ForClipped(dc, RECT{x0, y, x1, y + 1},
               [&](const RECT& r) { RopSpan(*b, r.left, r.top, r.right - r.left, 0xF0, p); });
}

// The run [left, right) a convex shape covers in row y; empty when left >= right.
using RowFn = void (*)(const RECT& box, const SIZE& corner, int y, int& left, int& right);

// The run of an ellipse inside `box`, sampling at pixel centres.
void EllipseRow(const RECT& box, int y, int& left, int& right) {
    left = right = 0;
    const double a = (box.right - box.left) / 2.0, b = (box.bottom - box.top) / 2.0;
    if (a <= 0 || b <= 0 || y < box.top || y >= box.bottom) return;
    const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    const double dy = (y + 0.5 - cy) / b;
    if (dy * dy > 1) return;
    const double hw = a * std::sqrt(1 - dy * dy);
    left = int(std::ceil(cx - hw - 0.5));
    right = int(std::floor(cx + hw - 0.5)) + 1;
    // Very flat rows still show one pixel at the centre.
    if (left >= right) {
        left = int(std::floor(cx - 0.5));
        right = left + 1;
    }
    left = std::max<int>(left, box.left);
    right = std::min<int>(right, box.right);
}

void EllipseFn(const RECT& box, const SIZE&, int y, int& l, int& r) {
    EllipseRow(box, y, l, r);
}

void RoundRectFn(const RECT& box, const SIZE& corner, int y, int& l, int& r) {
    l = r = 0;
    if (y < box.top || y >= box.bottom || box.left >= box.right) return;
    const int w = std::min<int>(corner.cx, box.right - box.left);
    const int h = std::min<int>(corner.cy, box.bottom - box.top);
    l = box.left;
    r = box.right;
    if (w < 2 || h < 2) return;
    RECT top{box.left, box.top, box.left + w, box.top + h};
    RECT bottom{box.left, box.bottom - h, box.left + w, box.bottom};
    const RECT* c = y < box.top + h / 2 ? &top : y >= box.bottom - (h - h / 2) ? &bottom : nullptr;
    if (!c) return;
    int el, er;
    EllipseRow(*c, y, el, er);
    if (el >= er) {
        l = r = 0;
        return;
    }
    // The right corner mirrors the left one.
    l = el;
    r = box.right - (el - box.left);
}

// Outline and fill of a shape given by its row function over `box`.
void PaintShape(Dc& dc, RECT box, SIZE corner, RowFn fn) {
    const bool pen = !dc.st.pen->Null();
    if (box.left > box.right) std::swap(box.left, box.right);
    if (box.top > box.bottom) std::swap(box.top, box.bottom);
    box = dc.ToTarget(box);
    if (!pen) {
        // Without a pen the shape covers one pixel less to the right and bottom.
        --box.right;
        --box.bottom;
    }
    if (RectIsEmpty(box)) return;
    const int w = pen ? dc.st.pen->width : 0;
    RECT inner{box.left + w, box.top + w, box.right - w, box.bottom - w};
    SIZE innerCorner{std::max(0, int(corner.cx) - 2 * w), std::max(0, int(corner.cy) - 2 * w)};
    PenPainter painter(dc);
    for (int y = box.top; y < box.bottom; ++y) {
        int l, r, il = 0, ir = 0;
        fn(box, corner, y, l, r);
        if (l >= r) continue;
        if (!RectIsEmpty(inner)) fn(inner, innerCorner, y, il, ir);
        if (il >= ir) {
            if (pen) painter.Span(y, l, r);
            continue;
        }
        BrushSpan(dc, y, il, ir);
        if (pen) {
            painter.Span(y, l, il);
            painter.Span(y, ir, r);
        }
    }
}

void RectFn(const RECT& box, const SIZE&, int y, int& l, int& r) {
    l = r = 0;
    if (y >= box.top && y < box.bottom) {
        l = box.left;
        r = box.right;
    }
}

// Angle of a point around a centre, counter-clockwise as seen on screen, 0..2pi.
double Angle(double cx, double cy, double x, double y) {
    double a = std::atan2(-(y - cy), x - cx);
    if (a < 0) a += 2 * kPi;
    return a;
}

// Pie and Arc: the part of the ellipse between two radials.
void PaintSector(Dc& dc, RECT box, int x1, int y1, int x2, int y2, bool fill) {
    if (box.left > box.right) std::swap(box.left, box.right);
    if (box.top > box.bottom) std::swap(box.top, box.bottom);
    const bool pen = !dc.st.pen->Null();
    const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    const double a0 = Angle(cx, cy, x1, y1);
    double sweep = Angle(cx, cy, x2, y2) - a0;
    if (sweep <= 0) sweep += 2 * kPi;
    const int dx = dc.Dx(), dy = dc.Dy();
    RECT t = dc.ToTarget(box);
    if (!pen) {
        --t.right;
        --t.bottom;
    }
    const int w = pen ? dc.st.pen->width : 0;
    const RECT inner{t.left + w, t.top + w, t.right - w, t.bottom - w};
    auto inside = [&](int x, int y) {
        double d = Angle(cx, cy, x - dx + 0.5, y - dy + 0.5) - a0;
        if (d < 0) d += 2 * kPi;
        return d <= sweep;
    };
    PenPainter painter(dc);
    for (int y = t.top; y < t.bottom; ++y) {
        int l, r, il = 0, ir = 0;
        EllipseRow(t, y, l, r);
        if (!RectIsEmpty(inner)) EllipseRow(inner, y, il, ir);
        for (int x = l; x < r; ++x) {
            if (!inside(x, y)) continue;
            const bool ring = !(x >= il && x < ir);
            if (ring && pen)
                painter.Span(y, x, x + 1);
            else if (!ring && fill)
                BrushSpan(dc, y, x, x + 1);
        }
    }
    if (fill && pen) {
        // The two radials, from the centre to where they meet the ellipse.
        const double a = (box.right - box.left) / 2.0, b = (box.bottom - box.top) / 2.0;
        for (double ang : {a0, a0 + sweep}) {
            const int ex = int(std::lround(cx + (a - 0.5) * std::cos(ang)));
            const int ey = int(std::lround(cy - (b - 0.5) * std::sin(ang)));
            painter.Line(int(std::lround(cx)) + dx, int(std::lround(cy)) + dy, ex + dx, ey + dy);
        }
    }
}

struct Edge {
    double x0, y0, x1, y1;
    int dir;
};

// Fills polygons by scanlines at pixel centres, with the DC's fill mode.
void FillPolygons(Dc& dc, const std::vector<std::vector<POINT>>& polys) {
    if (dc.st.brush->Null()) return;
    std::vector<Edge> edges;
    double top = 1e18, bottom = -1e18;
    for (const auto& poly : polys) {
        for (size_t i = 0; i < poly.size(); ++i) {
            const POINT& p = poly[i];
            const POINT& q = poly[(i + 1) % poly.size()];
            if (p.y == q.y) continue;
            Edge e{double(p.x), double(p.y), double(q.x), double(q.y), 1};
            if (e.y0 > e.y1) {
                std::swap(e.x0, e.x1);
                std::swap(e.y0, e.y1);
                e.dir = -1;
            }
            top = std::min(top, e.y0);
            bottom = std::max(bottom, e.y1);
            edges.push_back(e);
        }
    }
    if (edges.empty()) return;
    const bool winding = dc.st.polyFillMode == WINDING;
    const int dx = dc.Dx(), dy = dc.Dy();
    std::vector<std::pair<double, int>> xs;
    for (int y = int(std::floor(top)); y < int(std::ceil(bottom)); ++y) {
        const double sy = y + 0.5;
        xs.clear();
        for (const Edge& e : edges)
            if (sy >= e.y0 && sy < e.y1)
                xs.push_back({e.x0 + (sy - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
        std::sort(xs.begin(), xs.end());
        int count = 0;
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            count += winding ? xs[i].second : 1;
            const bool in = winding ? count != 0 : (count & 1);
            if (!in) continue;
            const int l = int(std::ceil(xs[i].first - 0.5)),
                      r = int(std::ceil(xs[i + 1].first - 0.5));
            BrushSpan(dc, y + dy, l + dx, r + dx);
        }
    }
}

}  // namespace

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = GetDc(hdc);
    if (!dc) return CLR_INVALID;
    Bitmap* b = dc->Target();
    const int tx = x + dc->Dx(), ty = y + dc->Dy();
    if (!b || b->stock || !dc->Clip().Contains(tx, ty)) return CLR_INVALID;
    WritePixel(*b, tx, ty, ColorToPixel(color & 0xFFFFFF));
    return PixelToColor(ReadPixel(*b, tx, ty)) & 0xFFFFFF;
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) {
    return SetPixel(dc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    auto dc = GetDc(hdc);
    if (!dc) return CLR_INVALID;
    const Bitmap* b = dc->Target();
    const int tx = x + dc->Dx(), ty = y + dc->Dy();
    if (!b || !dc->Clip().Contains(tx, ty)) return CLR_INVALID;
    return PixelToColor(ReadPixel(*b, tx, ty)) & 0xFFFFFF;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->st.pos;
    dc->st.pos = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    if (!dc->st.pen->Null()) {
        PenPainter(*dc).Line(dc->st.pos.x + dc->Dx(), dc->st.pos.y + dc->Dy(), x + dc->Dx(),
                             y + dc->Dy());
    }
    dc->st.pos = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
    auto dc = GetDc(hdc);
    if (!dc || !points || count < 2) return FALSE;
    if (dc->st.pen->Null()) return TRUE;
    PenPainter painter(*dc);
    for (int i = 1; i < count; ++i)
        painter.Line(points[i - 1].x + dc->Dx(), points[i - 1].y + dc->Dy(), points[i].x + dc->Dx(),
                     points[i].y + dc->Dy());
    return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count) {
    auto dc = GetDc(hdc);
    if (!dc || !points) return FALSE;
    for (DWORD i = 0; i < count; ++i)
        LineTo(hdc, points[i].x, points[i].y);
    return TRUE;
}

BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons) {
    auto dc = GetDc(hdc);
    if (!dc || !points || !counts || polygons < 1) return FALSE;
    std::vector<std::vector<POINT>> polys;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 2) return FALSE;
        polys.emplace_back(points, points + counts[i]);
        points += counts[i];
    }
    FillPolygons(*dc, polys);
    if (!dc->st.pen->Null()) {
        PenPainter painter(*dc);
        for (const auto& p : polys)
            for (size_t i = 0; i < p.size(); ++i) {
                const POINT& a = p[i];
                const POINT& b = p[(i + 1) % p.size()];
                painter.Line(a.x + dc->Dx(), a.y + dc->Dy(), b.x + dc->Dx(), b.y + dc->Dy());
            }
    }
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
    return PolyPolygon(hdc, points, &count, 1);
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    PaintShape(*dc, RECT{left, top, right, bottom}, SIZE{}, RectFn);
    return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    PaintShape(*dc, RECT{left, top, right, bottom}, SIZE{std::abs(width), std::abs(height)},
               RoundRectFn);
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    PaintShape(*dc, RECT{left, top, right, bottom}, SIZE{}, EllipseFn);
    return TRUE;
}

BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    PaintSector(*dc, RECT{left, top, right, bottom}, x1, y1, x2, y2, true);
    return TRUE;
}

BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    if (dc->st.pen->Null()) return TRUE;
    PaintSector(*dc, RECT{left, top, right, bottom}, x1, y1, x2, y2, false);
    return TRUE;
}

}  // namespace win
