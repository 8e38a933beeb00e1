// Rectangle and region fills.
#include <algorithm>
#include <vector>

#include "platform/gdi/blit.h"
#include "platform/gdi/dc_impl.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/region.h"
#include "platform/gdi/rop.h"
#include "platform/gdi/sys_colors.h"

namespace win {

using namespace detail;

std::shared_ptr<Brush> detail::BrushFromHandle(HBRUSH brush) {
    const auto v = reinterpret_cast<uintptr_t>(brush);
    if (v >= 1 && v <= uintptr_t(kSysColorCount)) brush = GetSysColorBrush(int(v) - 1);
    return Get<Brush>(brush);
}

void detail::RopSpan(Bitmap& b, int x, int y, int n, BYTE code, Pixel pattern) {
    if (n <= 0) return;
    if (code == 0xF0) {
        FillPixels(b, x, y, n, pattern);
        return;
    }
    // Blackness and whiteness do not depend on anything: a plain fill.
    if (code == 0x00 || code == 0xFF) {
        FillPixels(b, x, y, n, code == 0x00 ? 0u : 0xFFFFFFFFu);
        return;
    }
    if (code == 0xAA) return;
    thread_local std::vector<Pixel> row;
    row.resize(size_t(n));
    if (RopReadsDest(code)) ReadPixels(b, x, y, n, row.data());
    RopFor(code)(row.data(), nullptr, pattern, n, code);
    WritePixels(b, x, y, n, row.data());
}

void detail::RopFill(Dc& dc, const RECT& target, BYTE code, Pixel pattern) {
    Bitmap* b = dc.Target();
    if (!b || b->stock) return;
    ForClipped(dc, target, [&](const RECT& r) {
        for (int y = r.top; y < r.bottom; ++y)
            RopSpan(*b, r.left, y, r.right - r.left, code, pattern);
    });
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    auto dc = GetDc(hdc);
    auto b = BrushFromHandle(brush);
    if (!dc || !rect || !b) return FALSE;
    if (!b->Null()) RopFill(*dc, dc->ToTarget(*rect), 0xF0, ColorToPixel(b->color));
    return TRUE;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    auto dc = GetDc(hdc);
    auto b = BrushFromHandle(brush);
    if (!dc || !rect || !b) return FALSE;
    const RECT r = dc->ToTarget(*rect);
    if (RectIsEmpty(r) || b->Null()) return TRUE;
    const Pixel p = ColorToPixel(b->color);
    RopFill(*dc, RECT{r.left, r.top, r.right, r.top + 1}, 0xF0, p);
    if (r.bottom - r.top > 1) RopFill(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, 0xF0, p);
    RopFill(*dc, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, 0xF0, p);
    if (r.right - r.left > 1)
        RopFill(*dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, 0xF0, p);
    return TRUE;
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
    auto dc = GetDc(hdc);
    if (!dc || !rect) return FALSE;
    RopFill(*dc, dc->ToTarget(*rect), 0x55, 0);
    return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    const BYTE code = BYTE(rop >> 16);
    if (RopReadsSource(code)) return FALSE;
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    const auto& brush = dc->st.brush;
    if (RopReadsPattern(code) && brush->Null()) return TRUE;
    RopFill(*dc, dc->ToTarget(RECT{x, y, x + width, y + height}), code, ColorToPixel(brush->color));
    return TRUE;
}

namespace {

// Fills each rectangle of a region (logical coordinates) with an operation.
BOOL RegionFill(HDC hdc, const RegionSet& set, BYTE code, const Brush* brush) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    if (brush && brush->Null()) return TRUE;
    const Pixel p = brush ? ColorToPixel(brush->color) : 0;
    for (const RECT& x : set.rects())
        RopFill(*dc, dc->ToTarget(x), code, p);
    return TRUE;
}

BOOL RegionFill(HDC hdc, HRGN region, BYTE code, const Brush* brush) {
    auto r = Get<RegionObject>(region);
    return r ? RegionFill(hdc, r->set, code, brush) : FALSE;
}

}  // namespace

BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush) {
    auto b = BrushFromHandle(brush);
    if (!b) return FALSE;
    return RegionFill(hdc, region, 0xF0, b.get());
}

BOOL PaintRgn(HDC hdc, HRGN region) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    return RegionFill(hdc, region, 0xF0, dc->st.brush.get());
}

BOOL InvertRgn(HDC hdc, HRGN region) {
    return RegionFill(hdc, region, 0x55, nullptr);
}

BOOL FrameRgn(HDC hdc, HRGN region, HBRUSH brush, int width, int height) {
    auto b = BrushFromHandle(brush);
    auto r = Get<RegionObject>(region);
    if (!b || !r || width < 0 || height < 0) return FALSE;
    // The frame is the region less the region shrunk by the frame size on every side.
    RegionSet inner = r->set;
    for (int dx : {-width, width}) {
        RegionSet moved = r->set;
        moved.Offset(dx, 0);
        inner.CombineWith(moved, RegionSet::Op::And);
    }
    for (int dy : {-height, height}) {
        RegionSet moved = r->set;
        moved.Offset(0, dy);
        inner.CombineWith(moved, RegionSet::Op::And);
    }
    return RegionFill(hdc, RegionSet::Combine(r->set, inner, RegionSet::Op::Diff), 0xF0, b.get());
}

}  // namespace win
