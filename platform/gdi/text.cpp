// Text output and measurement.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/font.h"
#include "platform/gdi/font_impl.h"
#include "platform/gdi/rect.h"

namespace win {

using namespace detail;

namespace {

inline uint32_t Div255(uint32_t v) {
    v += 128;
    return (v + (v >> 8)) >> 8;
}

// Lays a glyph's coverage over the target in one colour; the target's alpha byte stays.
void BlendGlyph(Dc& dc, const Glyph& g, int left, int top, Pixel color, const RECT* clip) {
    if (g.width <= 0 || g.height <= 0) return;
    Bitmap* b = dc.Target();
    if (!b || b->stock) return;
    RECT r{left, top, left + g.width, top + g.height};
    if (clip) r = Intersection(r, *clip);
    if (RectIsEmpty(r)) return;
    const uint32_t cr = (color >> 16) & 0xFF, cg = (color >> 8) & 0xFF, cb = color & 0xFF;
    thread_local std::vector<Pixel> row;
    ForClipped(dc, r, [&](const RECT& p) {
        const int n = p.right - p.left;
        row.resize(size_t(n));
        for (int y = p.top; y < p.bottom; ++y) {
            const BYTE* cov =
                &g.coverage[size_t(y - top) * size_t(g.width) + size_t(p.left - left)];
            ReadPixels(*b, p.left, y, n, row.data());
            bool touched = false;
            for (int i = 0; i < n; ++i) {
                const uint32_t a = cov[i];
                if (!a) continue;
                touched = true;
                const Pixel d = row[size_t(i)];
                const uint32_t ia = 255 - a;
                row[size_t(i)] = (d & 0xFF000000) |
                                 (Div255(cr * a + ((d >> 16) & 0xFF) * ia) << 16) |
                                 (Div255(cg * a + ((d >> 8) & 0xFF) * ia) << 8) |
                                 Div255(cb * a + (d & 0xFF) * ia);
            }
            if (touched) WritePixels(*b, p.left, y, n, row.data());
        }
    });
}

void FillTarget(Dc& dc, RECT r, COLORREF color, const RECT* clip) {
    if (clip) r = Intersection(r, *clip);
    if (!RectIsEmpty(r)) RopFill(dc, r, 0xF0, ColorToPixel(color));
}

}  // namespace

int detail::TextRunWidth(FaceRealization& face, const char* text, int count) {
    int w = 0;
    for (int i = 0; i < count; ++i)
        w += face.GlyphOf(BYTE(text[i])).advance;
    return w;
}

int detail::PaintTextRun(Dc& dc, FaceRealization& face, const LOGFONT& lf, int x, int y,
                         const char* text, int count, const INT* dx, const RECT* clip) {
    const Pixel color = ColorToPixel(dc.st.textColor);
    const int esc = face.Escapement() % 3600;
    if (esc == 0) {
        int pen = x;
        for (int i = 0; i < count; ++i) {
            const Glyph& g = face.GlyphOf(BYTE(text[i]));
            BlendGlyph(dc, g, pen + g.left, y - g.top, color, clip);
            pen += dx ? dx[i] : g.advance;
        }
        const int width = pen - x;
        const Pixel c = color;
        if (lf.lfUnderline) {
            const int t = face.UnderlineThickness();
            const int top = y + face.UnderlinePosition() - t / 2;
            FillTarget(dc, RECT{x, top, x + width, top + t}, PixelToColor(c), clip);
        }
        if (lf.lfStrikeOut) {
            const int t = face.UnderlineThickness();
            const int top = y - face.StrikeoutPosition();
            FillTarget(dc, RECT{x, top, x + width, top + t}, PixelToColor(c), clip);
        }
        return width;
    }
    // Rotated: pen positions in 1/64 pixel along the turned baseline.
    int64_t px = int64_t(x) * 64, py = int64_t(y) * 64;
    int width = 0;
    const double a = esc / 10.0 * 3.14159265358979323846 / 180.0;
    for (int i = 0; i < count; ++i) {
        const Glyph& g = face.GlyphOf(BYTE(text[i]));
        const int ox = int((px + 32) >> 6), oy = int((py + 32) >> 6);
        BlendGlyph(dc, g, ox + g.left, oy - g.top, color, clip);
        if (dx) {
            px += int64_t(std::lround(dx[i] * 64 * std::cos(a)));
            py -= int64_t(std::lround(dx[i] * 64 * std::sin(a)));
            width += dx[i];
        } else {
            px += g.advanceX;
            py -= g.advanceY;
            width += g.advance;
        }
    }
    return width;
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                const INT* dx) {
    auto dc = GetDc(hdc);
    if (!dc || (!text && count > 0)) return FALSE;
    Font& font = *dc->st.font;
    FaceRealization& face = font.Face();
    const TEXTMETRIC& tm = face.Metrics();
    const UINT align = dc->st.textAlign;
    if (align & TA_UPDATECP) {
        x = dc->st.pos.x;
        y = dc->st.pos.y;
    }
    RECT clipT{};
    const RECT* clip = nullptr;
    if (rect) {
        RECT r = *rect;
        if (r.left > r.right) std::swap(r.left, r.right);
        if (r.top > r.bottom) std::swap(r.top, r.bottom);
        clipT = dc->ToTarget(r);
        if (options & ETO_OPAQUE) FillTarget(*dc, clipT, dc->st.bkColor, nullptr);
        if (options & ETO_CLIPPED) clip = &clipT;
    }
    const int n = int(count);
    int width = 0;
    for (int i = 0; i < n; ++i)
        width += dx ? dx[i] : face.GlyphOf(BYTE(text[i])).advance;
    // The reference point: the alignment flags say which point of the text (x, y) is.
    const int esc = face.Escapement() % 3600;
    const double ang = esc / 10.0 * 3.14159265358979323846 / 180.0;
    const double dirX = std::cos(ang), dirY = -std::sin(ang);
    const double upX = -std::sin(ang), upY = -std::cos(ang);
    double bx = x + dc->Dx(), by = y + dc->Dy();
    switch (align & TA_BASELINE) {
        case TA_BASELINE:
            break;
        case TA_BOTTOM:
            bx += upX * tm.tmDescent;
            by += upY * tm.tmDescent;
            break;
        default:  // TA_TOP
            bx -= upX * tm.tmAscent;
            by -= upY * tm.tmAscent;
            break;
    }
    switch (align & TA_CENTER) {
        case TA_RIGHT:
            bx -= dirX * width;
            by -= dirY * width;
            break;
        case TA_CENTER:
            bx -= dirX * width / 2.0;
            by -= dirY * width / 2.0;
            break;
        default:
            break;
    }
    const int ox = int(std::lround(bx)), oy = int(std::lround(by));
    if (dc->st.bkMode == OPAQUE && esc == 0 && !(options & ETO_OPAQUE))
        FillTarget(*dc, RECT{ox, oy - tm.tmAscent, ox + width, oy + tm.tmDescent}, dc->st.bkColor,
                   clip);
    PaintTextRun(*dc, face, font.lf, ox, oy, text, n, dx, clip);
    if (align & TA_UPDATECP) {
        if ((align & TA_CENTER) == TA_LEFT)
            dc->st.pos.x += width;
        else if ((align & TA_CENTER) == TA_RIGHT)
            dc->st.pos.x -= width;
    }
    return TRUE;
}

BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int count) {
    if (count < 0) return FALSE;
    return ExtTextOut(dc, x, y, 0, nullptr, text, UINT(count), nullptr);
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int count, SIZE* size) {
    auto dc = GetDc(hdc);
    if (!dc || !size || count < 0 || (!text && count > 0)) return FALSE;
    FaceRealization& face = dc->st.font->Face();
    size->cx = TextRunWidth(face, text, count);
    size->cy = face.Metrics().tmHeight;
    return TRUE;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* metrics) {
    auto dc = GetDc(hdc);
    if (!dc || !metrics) return FALSE;
    *metrics = dc->st.font->Face().Metrics();
    return TRUE;
}

BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths) {
    auto dc = GetDc(hdc);
    if (!dc || !widths || first > last || last > 255) return FALSE;
    FaceRealization& face = dc->st.font->Face();
    for (UINT c = first; c <= last; ++c)
        widths[c - first] = face.GlyphOf(BYTE(c)).advance;
    return TRUE;
}

BOOL GetCharWidth(HDC dc, UINT first, UINT last, INT* widths) {
    return GetCharWidth32(dc, first, last, widths);
}

int GetTextFace(HDC hdc, int size, LPSTR face) {
    auto dc = GetDc(hdc);
    if (!dc) return 0;
    const char* name = dc->st.font->lf.lfFaceName;
    const int len = int(std::strlen(name));
    if (!face) return len + 1;
    if (size <= 0) return 0;
    const int n = std::min(len, size - 1);
    std::memcpy(face, name, size_t(n));
    face[n] = 0;
    return n;
}

bool GetFontFile(HFONT font, char* path, int size) {
    auto f = Get<Font>(font);
    if (!f || !path || size <= 0) return false;
    const std::string& file = f->Face().File();
    const size_t n = std::min(file.size(), size_t(size - 1));
    std::memcpy(path, file.data(), n);
    path[n] = 0;
    return true;
}

}  // namespace win
