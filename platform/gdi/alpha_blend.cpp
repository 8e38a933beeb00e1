// AlphaBlend and GradientFill.
#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <vector>

#include "platform/gdi/blit.h"
#include "platform/gdi/blit_impl.h"
#include "platform/gdi/rect.h"

namespace win {

using namespace detail;

namespace {

// round(v / 255) for v up to 255 * 255.
inline uint32_t Div255(uint32_t v) {
    v += 128;
    return (v + (v >> 8)) >> 8;
}

// The three row operations below have a scalar form and, on x86, the same arithmetic four
// pixels at a time; both give identical bytes. Four at a time, round(t / 255) of t + 128 is
// (t * 257) >> 16, one multiply of the high halves: with t = 256a + b, both give
// a + floor((a + b) / 256), as b / 65536 stays below 1 / 256.
#ifdef __SSE2__
inline __m128i Div255(__m128i t) {
    return _mm_mulhi_epu16(_mm_add_epi16(t, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}
#endif

// Premultiplied source over the destination: D := min(255, S + D * (255 - As) / 255).
void OverRow(Pixel* d, const Pixel* s, int n) {
    int i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128(), k255 = _mm_set1_epi16(255);
    auto scale = [&](__m128i d16, __m128i s16) {
        __m128i a = _mm_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3));
        a = _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
        return Div255(_mm_mullo_epi16(d16, _mm_sub_epi16(k255, a)));
    };
    const int fast = FastPaths() ? n : 0;
    for (; i + 4 <= fast; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i lo = scale(_mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(sv, zero));
        const __m128i hi = scale(_mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(sv, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_adds_epu8(sv, _mm_packus_epi16(lo, hi)));
    }
#endif
    for (; i < n; ++i) {
        const uint32_t ia = 255 - (s[i] >> 24);
        Pixel r = 0;
        for (int c = 0; c < 32; c += 8)
            r |= std::min<uint32_t>(255, ((s[i] >> c) & 0xFF) + Div255(((d[i] >> c) & 0xFF) * ia))
                 << c;
        d[i] = r;
    }
}

// Every byte times c / 255.
void ScaleRow(Pixel* s, int n, uint32_t c) {
    int i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    const __m128i cv = _mm_set1_epi16(short(c));
    auto scale = [&](__m128i v) { return Div255(_mm_mullo_epi16(v, cv)); };
    const int fast = FastPaths() ? n : 0;
    for (; i + 4 <= fast; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(s + i),
            _mm_packus_epi16(scale(_mm_unpacklo_epi8(v, zero)), scale(_mm_unpackhi_epi8(v, zero))));
    }
#endif
    for (; i < n; ++i) {
        Pixel r = 0;
        for (int k = 0; k < 32; k += 8)
            r |= Div255(((s[i] >> k) & 0xFF) * c) << k;
        s[i] = r;
    }
}

// Every byte (S * c + D * (255 - c)) / 255.
void ConstantRow(Pixel* d, const Pixel* s, int n, uint32_t c) {
    int i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    const __m128i cv = _mm_set1_epi16(short(c)), iv = _mm_set1_epi16(short(255 - c));
    auto mix = [&](__m128i sv, __m128i dv) {
        return Div255(_mm_add_epi16(_mm_mullo_epi16(sv, cv), _mm_mullo_epi16(dv, iv)));
    };
    const int fast = FastPaths() ? n : 0;
    for (; i + 4 <= fast; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i lo = mix(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero));
        const __m128i hi = mix(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i) {
        Pixel r = 0;
        for (int k = 0; k < 32; k += 8)
            r |= Div255(((s[i] >> k) & 0xFF) * c + ((d[i] >> k) & 0xFF) * (255 - c)) << k;
        d[i] = r;
    }
}

}  // namespace

BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, BLENDFUNCTION blend) {
    auto sdc = GetDc(src), ddc = GetDc(dst);
    if (!ddc || !sdc || !sdc->Target()) return FALSE;
    if (blend.BlendOp != AC_SRC_OVER || width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0)
        return FALSE;
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    if (perPixel && sdc->Target()->bpp != 32) return FALSE;
    Transfer t;
    if (!PrepareTransfer(t, ddc.get(), x, y, width, height, sdc.get(), srcX, srcY, srcWidth,
                         srcHeight))
        return TRUE;
    const uint32_t c = blend.SourceConstantAlpha;
    const bool direct = t.target->bpp == 32;
    std::vector<Pixel> s, d;  // rows copied out only where they cannot be worked in place
    ForClipped(*t.dst, t.dstRect, [&](const RECT& r) {
        const int n = r.right - r.left;
        const int* xm = t.SourceColumns(r.left);
        const bool inPlace =
            !perPixel || c != 255 ? false : t.source->bpp == 32 && xm[n - 1] - xm[0] == n - 1;
        if (!inPlace) s.resize(size_t(n));
        if (!direct) d.resize(size_t(n));
        for (int yy = r.top; yy < r.bottom; ++yy) {
            const Pixel* src = s.data();
            if (inPlace)
                src = t.source->Row32(t.SourceRow(yy)) + xm[0];
            else
                SampleRow(t, yy, r.left, r.right, s.data());
            Pixel* row = direct ? t.target->Row32(yy) + r.left : d.data();
            if (!direct) ReadPixels(*t.target, r.left, yy, n, row);
            if (perPixel) {
                if (c != 255) ScaleRow(s.data(), n, c);
                OverRow(row, src, n);
            } else {
                ConstantRow(row, src, n, c);
            }
            if (!direct) WritePixels(*t.target, r.left, yy, n, row);
        }
    });
    return TRUE;
}

namespace {

struct Color16 {
    int64_t c[4];  // red, green, blue, alpha
};

Color16 ColorOf(const TRIVERTEX& v) {
    return Color16{{v.Red, v.Green, v.Blue, v.Alpha}};
}

// A pixel from 16-bit channels.
Pixel PixelOf(const int64_t c[4]) {
    auto b = [](int64_t v) { return Pixel(std::clamp<int64_t>(v, 0, 0xFFFF) >> 8); };
    return (b(c[3]) << 24) | (b(c[0]) << 16) | (b(c[1]) << 8) | b(c[2]);
}

void FillRectGradient(Dc& dc, const TRIVERTEX& a, const TRIVERTEX& b, bool vertical) {
    const TRIVERTEX* v1 = &a;
    const TRIVERTEX* v2 = &b;
    RECT r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    // The first colour belongs to the upper-left vertex.
    if ((vertical ? v1->y : v1->x) > (vertical ? v2->y : v2->x)) std::swap(v1, v2);
    const int n = vertical ? r.bottom - r.top : r.right - r.left;
    if (n <= 0 || RectIsEmpty(r)) return;
    const Color16 c1 = ColorOf(*v1), c2 = ColorOf(*v2);
    std::vector<Pixel> ramp(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        int64_t c[4];
        for (int k = 0; k < 4; ++k)
            c[k] = c1.c[k] + (c2.c[k] - c1.c[k]) * i / n;
        ramp[size_t(i)] = PixelOf(c);
    }
    const RECT t = dc.ToTarget(r);
    Bitmap& bm = *dc.Target();
    ForClipped(dc, t, [&](const RECT& piece) {
        for (int y = piece.top; y < piece.bottom; ++y) {
            if (vertical) {
                FillPixels(bm, piece.left, y, piece.right - piece.left, ramp[size_t(y - t.top)]);
            } else {
                WritePixels(bm, piece.left, y, piece.right - piece.left,
                            &ramp[size_t(piece.left - t.left)]);
            }
        }
    });
}

// Twice the signed area spanned by the edge a->b and the point p (all doubled coordinates).
inline int64_t EdgeFn(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t px, int64_t py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

void FillTriangle(Dc& dc, const TRIVERTEX* v[3]) {
    // Doubled target coordinates, so pixel centres (x + 0.5) are whole numbers.
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = 2 * int64_t(v[i]->x + dc.Dx());
        Y[i] = 2 * int64_t(v[i]->y + dc.Dy());
    }
    int64_t area = EdgeFn(X[0], Y[0], X[1], Y[1], X[2], Y[2]);
    if (area == 0) return;
    int order[3] = {0, 1, 2};
    if (area < 0) {
        std::swap(order[1], order[2]);
        area = -area;
    }
    int64_t x[3], y[3];
    Color16 c[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = X[order[i]];
        y[i] = Y[order[i]];
        c[i] = ColorOf(*v[order[i]]);
    }
    // Pixels on an edge count only for top and left edges, so neighbours share nothing.
    auto topLeft = [&](int i, int j) { return (y[i] == y[j] && x[j] < x[i]) || y[j] > y[i]; };
    const bool tl[3] = {topLeft(1, 2), topLeft(2, 0), topLeft(0, 1)};
    const LONG minX = LONG(std::min({x[0], x[1], x[2]}) / 2) - 1;
    const LONG maxX = LONG(std::max({x[0], x[1], x[2]}) / 2) + 1;
    const LONG minY = LONG(std::min({y[0], y[1], y[2]}) / 2) - 1;
    const LONG maxY = LONG(std::max({y[0], y[1], y[2]}) / 2) + 1;
    Bitmap& bm = *dc.Target();
    std::vector<Pixel> row;
    ForClipped(dc, RECT{minX, minY, maxX, maxY}, [&](const RECT& r) {
        for (int py = r.top; py < r.bottom; ++py) {
            int runStart = -1;
            row.clear();
            auto flush = [&](int end) {
                if (runStart >= 0) WritePixels(bm, runStart, py, end - runStart, row.data());
                runStart = -1;
                row.clear();
            };
            for (int px = r.left; px < r.right; ++px) {
                const int64_t cx = 2 * int64_t(px) + 1, cy = 2 * int64_t(py) + 1;
                const int64_t w0 = EdgeFn(x[1], y[1], x[2], y[2], cx, cy);
                const int64_t w1 = EdgeFn(x[2], y[2], x[0], y[0], cx, cy);
                const int64_t w2 = EdgeFn(x[0], y[0], x[1], y[1], cx, cy);
                const bool in = (w0 > 0 || (w0 == 0 && tl[0])) && (w1 > 0 || (w1 == 0 && tl[1])) &&
                                (w2 > 0 || (w2 == 0 && tl[2]));
                if (!in) {
                    flush(px);
                    continue;
                }
                int64_t ch[4];
                for (int k = 0; k < 4; ++k)
                    ch[k] = (w0 * c[0].c[k] + w1 * c[1].c[k] + w2 * c[2].c[k] + area / 2) / area;
                if (runStart < 0) runStart = px;
                row.push_back(PixelOf(ch));
            }
            flush(r.right);
        }
    });
}

}  // namespace

BOOL GradientFill(HDC hdc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh,
                  ULONG meshCount, ULONG mode) {
    auto dc = GetDc(hdc);
    if (!dc || !vertices || !mesh || mode > GRADIENT_FILL_TRIANGLE) return FALSE;
    if (!dc->Target() || dc->Target()->stock) return TRUE;
    if (mode == GRADIENT_FILL_TRIANGLE) {
        const auto* tri = static_cast<const GRADIENT_TRIANGLE*>(mesh);
        for (ULONG i = 0; i < meshCount; ++i) {
            if (tri[i].Vertex1 >= vertexCount || tri[i].Vertex2 >= vertexCount ||
                tri[i].Vertex3 >= vertexCount)
                return FALSE;
            const TRIVERTEX* v[3] = {&vertices[tri[i].Vertex1], &vertices[tri[i].Vertex2],
                                     &vertices[tri[i].Vertex3]};
            FillTriangle(*dc, v);
        }
        return TRUE;
    }
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
        if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) return FALSE;
        FillRectGradient(*dc, vertices[rects[i].UpperLeft], vertices[rects[i].LowerRight],
                         mode == GRADIENT_FILL_RECT_V);
    }
    return TRUE;
}

}  // namespace win
