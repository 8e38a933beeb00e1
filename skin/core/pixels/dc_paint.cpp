#include "skin/core/pixels/dc_paint.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "skin/core/pixels/color_helpers.h"

namespace skin {
namespace {

win::RECT ToRect(const TRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

// Copies a source piece over a target span: repeated (whole tiles while one still fits before
// the end, then one cut tile) or stretched. A piece without size paints nothing.
void Cover(win::HDC dst, win::HDC src, TRect to, TRect from, int mode) {
    const int tw = to.Right - to.Left, th = to.Bottom - to.Top;
    const int fw = from.Right - from.Left, fh = from.Bottom - from.Top;
    if (tw <= 0 || th <= 0 || fw <= 0 || fh <= 0) return;
    if (mode == 1) {
        int old = win::SetStretchBltMode(dst, win::COLORONCOLOR);
        win::StretchBlt(dst, to.Left, to.Top, tw, th, src, from.Left, from.Top, fw, fh,
                        win::SRCCOPY);
        win::SetStretchBltMode(dst, old);
        return;
    }
    for (int y = to.Top; y < to.Bottom; y += fh) {
        const int h = std::min(fh, to.Bottom - y);
        for (int x = to.Left; x < to.Right; x += fw) {
            win::BitBlt(dst, x, y, std::min(fw, to.Right - x), h, src, from.Left, from.Top,
                        win::SRCCOPY);
        }
    }
}

}  // namespace

void FillRectSolid(win::HDC dc, const TRect& r, TColor color) {
    int saved = win::SaveDC(dc);
    win::HBRUSH brush = win::CreateSolidBrush(ControlColorToRGB(color));
    win::RECT rc = ToRect(r);
    win::FillRect(dc, &rc, brush);
    win::DeleteObject(brush);
    win::RestoreDC(dc, saved);
}

void FillBorderBands(win::HDC dc, const TRect& r, int left, int top, int right, int bottom,
                     TColor color) {
    win::HBRUSH brush = win::CreateSolidBrush(ControlColorToRGB(color));
    const win::RECT bands[4] = {
        {r.Left, r.Top, r.Right, r.Top + top},
        {r.Left, r.Top + top, r.Left + left, r.Bottom},
        {r.Left + left, r.Bottom - bottom, r.Right, r.Bottom},
        {r.Right - right, r.Top + top, r.Right, r.Bottom - bottom},
    };
    for (const auto& b : bands)
        win::FillRect(dc, &b, brush);
    win::DeleteObject(brush);
}

void CopyBorderStrips(win::HDC dst, int x, int y, int width, int height, win::HDC src, int srcX,
                      int srcY, int border) {
    win::BitBlt(dst, x, y, border, height, src, srcX, srcY, win::SRCCOPY);
    win::BitBlt(dst, x, y, width, border, src, srcX, srcY, win::SRCCOPY);
    win::BitBlt(dst, x + width - border, y, border, height, src, srcX + width - border, srcY,
                win::SRCCOPY);
    win::BitBlt(dst, x, y + height - border, width, border, src, srcX, srcY + height - border,
                win::SRCCOPY);
}

void Draw3DFrame(win::HDC dc, TRect r, TColor light, TColor dark, int& width) {
    win::HPEN lightPen = win::CreatePen(win::PS_SOLID, 1, ColorToRGB(light));
    win::HPEN darkPen = win::CreatePen(win::PS_SOLID, 1, dark);
    win::HGDIOBJ oldPen = win::SelectObject(dc, lightPen);
    win::HGDIOBJ oldBrush = win::SelectObject(dc, win::GetStockObject(win::NULL_BRUSH));
    --r.Right, --r.Bottom;
    while (width > 0) {
        --width;
        // A polyline leaves out its last point, hence the dark line's end one left of Left.
        const win::POINT topLeft[3] = {{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}};
        const win::POINT bottomRight[3] = {
            {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}};
        win::SelectObject(dc, lightPen);
        win::Polyline(dc, topLeft, 3);
        win::SelectObject(dc, darkPen);
        win::Polyline(dc, bottomRight, 3);
        ++r.Left, ++r.Top, --r.Right, --r.Bottom;
    }
    win::SelectObject(dc, oldBrush);
    win::SelectObject(dc, oldPen);
    win::DeleteObject(lightPen);
    win::DeleteObject(darkPen);
}

void DrawDottedFocusRect(win::HDC dc, const TRect& r) {
    const win::COLORREF black = 0, white = 0xFFFFFF;
    for (int i = 0; i <= (r.Right - r.Left) / 3; ++i) {
        const int x = r.Left + 3 * i;
        win::SetPixelV(dc, x, r.Top, black);
        win::SetPixelV(dc, x, r.Bottom, black);
        win::SetPixelV(dc, x - 1, r.Top - 1, white);
        win::SetPixelV(dc, x - 1, r.Bottom - 1, white);
    }
    for (int j = 0; j <= (r.Bottom - r.Top) / 3; ++j) {
        const int y = r.Top + 3 * j;
        win::SetPixelV(dc, r.Left, y, black);
        win::SetPixelV(dc, r.Right, y, black);
        win::SetPixelV(dc, r.Left - 1, y - 1, white);
        win::SetPixelV(dc, r.Right - 1, y - 1, white);
    }
}

void PaintBitmapNineSlice(win::HDC dst, win::HDC src, const TRect& d, const TRect& s,
                          const TRect& m1, const TRect& m2, NineSliceModes modes, bool fillCentre) {
    const int l = std::min(m1.Left, m2.Left), t = std::min(m1.Top, m2.Top);
    const int r = std::min(m1.Right, m2.Right), b = std::min(m1.Bottom, m2.Bottom);
    auto blit = [&](int x, int y, int w, int h, int sx, int sy) {
        if (w > 0 && h > 0) win::BitBlt(dst, x, y, w, h, src, sx, sy, win::SRCCOPY);
    };
    blit(d.Left, d.Top, l, t, s.Left, s.Top);
    blit(d.Right - r, d.Top, r, t, s.Right - r, s.Top);
    blit(d.Left, d.Bottom - b, l, b, s.Left, s.Bottom - b);
    blit(d.Right - r, d.Bottom - b, r, b, s.Right - r, s.Bottom - b);
    Cover(dst, src, {d.Left, d.Top + t, d.Left + l, d.Bottom - b},
          {s.Left, s.Top + t, s.Left + l, s.Bottom - b}, modes.Left);
    Cover(dst, src, {d.Left + l, d.Top, d.Right - r, d.Top + t},
          {s.Left + l, s.Top, s.Right - r, s.Top + t}, modes.Top);
    Cover(dst, src, {d.Right - r, d.Top + t, d.Right, d.Bottom - b},
          {s.Right - r, s.Top + t, s.Right, s.Bottom - b}, modes.Right);
    Cover(dst, src, {d.Left + l, d.Bottom - b, d.Right - r, d.Bottom},
          {s.Left + l, s.Bottom - b, s.Right - r, s.Bottom}, modes.Bottom);
    if (fillCentre) {
        Cover(dst, src, {d.Left + l, d.Top + t, d.Right - r, d.Bottom - b},
              {s.Left + l, s.Top + t, s.Right - r, s.Bottom - b}, modes.Centre);
    }
}

void PaintGradientTriangles(win::HDC dc, const TRect& r, const TsGradArray& stops) {
    if (stops.empty() || r.Right <= r.Left || r.Bottom <= r.Top) return;
    const win::POINT at[5] = {{r.Left, r.Top},
                              {r.Left + (r.Right - r.Left) / 2, r.Top + (r.Bottom - r.Top) / 2},
                              {r.Right, r.Top},
                              {r.Right, r.Bottom},
                              {r.Left, r.Bottom}};
    win::TRIVERTEX v[5];
    TColor c = 0;
    for (int i = 0; i < 5; ++i) {
        // A missing stop takes the colour of the vertex before it.
        if (size_t(i) < stops.size()) c = stops[i].Color1;
        v[i].x = at[i].x, v[i].y = at[i].y;
        v[i].Red = win::COLOR16(RedOf(c) << 8);
        v[i].Green = win::COLOR16(GreenOf(c) << 8);
        v[i].Blue = win::COLOR16(BlueOf(c) << 8);
        v[i].Alpha = 0;
    }
    const win::GRADIENT_TRIANGLE mesh[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
    win::GradientFill(dc, v, 5, mesh, 4, win::GRADIENT_FILL_TRIANGLE);
}

win::HRGN RegionFromBitmap(const PixelView& bmp, TColor color) {
    win::HRGN region = win::CreateRectRgn(0, 0, bmp.Width, bmp.Height);
    std::vector<TRect> runs;
    CollectColorRuns(runs, bmp, color);
    if (runs.empty()) return region;
    // All runs in one region, taken out at once: the same pixels as one cut per run.
    std::vector<char> data(sizeof(win::RGNDATAHEADER) + runs.size() * sizeof(win::RECT));
    auto* header = reinterpret_cast<win::RGNDATAHEADER*>(data.data());
    *header = win::RGNDATAHEADER{};
    header->nCount = win::DWORD(runs.size());
    header->nRgnSize = win::DWORD(runs.size() * sizeof(win::RECT));
    header->rcBound = {0, 0, bmp.Width, bmp.Height};
    for (size_t i = 0; i < runs.size(); ++i) {
        const win::RECT rc = ToRect(runs[i]);
        std::memcpy(data.data() + sizeof(win::RGNDATAHEADER) + i * sizeof(win::RECT), &rc,
                    sizeof rc);
    }
    win::HRGN holes = win::ExtCreateRegion(nullptr, win::DWORD(data.size()),
                                           reinterpret_cast<const win::RGNDATA*>(data.data()));
    win::CombineRgn(region, region, holes, win::RGN_DIFF);
    win::DeleteObject(holes);
    return region;
}

win::SIZE GetFontTextExtent(win::HFONT font, std::string_view text) {
    win::SIZE size{0, 0};
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    if (dc == nullptr) return size;
    win::HGDIOBJ old = win::SelectObject(dc, font);
    if (!win::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size))
        size = {0, 0};
    win::SelectObject(dc, old);
    win::DeleteDC(dc);
    return size;
}

}  // namespace skin
