#include "platform/gdi/halftone.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace win::detail {
namespace {

// For each destination index, the source indexes it covers and their weights, in units where
// one source pixel is as wide as the destination run is long.
struct Weights {
    std::vector<int> first;   // first source index of each destination index
    std::vector<int> count;   // how many source indexes follow
    std::vector<int> offset;  // where their weights start in w
    std::vector<int> sum;     // the sum of those weights
    std::vector<int> w;
};

Weights AreaWeights(int n, int first, int m, bool mirror, int limit) {
    Weights out;
    out.first.assign(size_t(n), 0);
    out.count.assign(size_t(n), 0);
    out.offset.assign(size_t(n), 0);
    out.sum.assign(size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        const int k = mirror ? n - 1 - i : i;
        // Destination k covers [k*m, (k+1)*m) in units where one source pixel is n wide.
        const int64_t a = int64_t(k) * m, b = int64_t(k + 1) * m;
        out.offset[size_t(i)] = int(out.w.size());
        for (int64_t j = a / n; j * n < b; ++j) {
            const int64_t lo = std::max<int64_t>(a, j * n), hi = std::min<int64_t>(b, (j + 1) * n);
            const int s = first + int(j);
            if (hi <= lo || s < 0 || s >= limit) continue;
            if (out.count[size_t(i)] == 0) out.first[size_t(i)] = s;
            out.w.push_back(int(hi - lo));
            out.sum[size_t(i)] += int(hi - lo);
            ++out.count[size_t(i)];
        }
    }
    return out;
}

// Division by a divisor that stays the same for most of a picture, through a multiply and a
// shift: exact for numerators below 256 times the divisor (the rounded means of bytes), with
// s = 2k + 8 and m = ceil(2^s / d) for d up to 2^k: the product's error stays below 1 / d.
// Divisors above 2^23, whose products would not fit 64 bits, divide.
class ByteDivider {
public:
    void Set(uint64_t d) {
        if (d == d_) return;
        d_ = d;
        const int k = d <= 1 ? 0 : 64 - __builtin_clzll(d - 1);
        multiply_ = k <= 23;
        if (!multiply_) return;
        shift_ = 2 * k + 8;
        m_ = ((uint64_t(1) << shift_) + d - 1) / d;
    }
    uint64_t operator()(uint64_t n) const { return multiply_ ? (n * m_) >> shift_ : n / d_; }

private:
    uint64_t d_ = 0, m_ = 0;
    int shift_ = 0;
    bool multiply_ = false;
};

// What both forms share: the weights, the trimmed destination and the source columns it reads.
struct Area {
    Weights wx, wy;
    int x0, x1, y0, y1, cols;
    int sLo = INT32_MAX, sHi = -1;
    explicit Area(const Transfer& t)
        : wx(AreaWeights(t.full.right - t.full.left, t.srcLeft, t.srcWidth, t.mirrorX,
                         t.source->width)),
          wy(AreaWeights(t.full.bottom - t.full.top, t.srcTop, t.srcHeight, t.mirrorY,
                         t.source->height)),
          x0(t.dstRect.left - t.full.left),
          x1(t.dstRect.right - t.full.left),
          y0(t.dstRect.top - t.full.top),
          y1(t.dstRect.bottom - t.full.top),
          cols(x1 - x0) {
        for (int i = x0; i < x1; ++i) {
            if (!wx.count[size_t(i)]) continue;
            sLo = std::min(sLo, wx.first[size_t(i)]);
            sHi = std::max(sHi, wx.first[size_t(i)] + wx.count[size_t(i)]);
        }
    }
};

// Sums in 64 bits and a division per channel: any size. The plain form divides outright.
void HalftoneWide(const Transfer& t, const Area& area, std::vector<Pixel>& out) {
    const Weights &wx = area.wx, &wy = area.wy;
    const int x0 = area.x0, x1 = area.x1, y0 = area.y0, y1 = area.y1, cols = area.cols;
    const int sLo = area.sLo, sHi = area.sHi;
    std::vector<Pixel> srcRow(size_t(sHi - sLo));
    // Horizontal sums of two source rows are kept: neighbouring destination rows share them.
    struct Cached {
        int row = -1;
        std::vector<uint32_t> sums;  // 4 channels per destination column
    } cache[2];
    int nextSlot = 0;
    auto horizontal = [&](int sy) -> const std::vector<uint32_t>& {
        for (auto& c : cache)
            if (c.row == sy) return c.sums;
        Cached& c = cache[nextSlot];
        nextSlot ^= 1;
        c.row = sy;
        c.sums.assign(size_t(cols) * 4, 0);
        ReadPixels(*t.source, sLo, sy, sHi - sLo, srcRow.data());
        MapMono(t, srcRow.data(), sHi - sLo);
        for (int i = x0; i < x1; ++i) {
            uint32_t* acc = &c.sums[size_t(i - x0) * 4];
            const int* w = &wx.w[size_t(wx.offset[size_t(i)])];
            const Pixel* s = &srcRow[size_t(wx.first[size_t(i)] - sLo)];
            for (int k = 0; k < wx.count[size_t(i)]; ++k) {
                const Pixel p = s[k];
                const uint32_t wk = uint32_t(w[k]);
                acc[0] += (p & 0xFF) * wk;
                acc[1] += ((p >> 8) & 0xFF) * wk;
                acc[2] += ((p >> 16) & 0xFF) * wk;
                acc[3] += (p >> 24) * wk;
            }
        }
        return c.sums;
    };
    std::vector<uint64_t> acc(size_t(cols) * 4);
    ByteDivider divide;
    const bool fast = FastPaths();
    for (int j = y0; j < y1; ++j) {
        std::fill(acc.begin(), acc.end(), 0);
        const int* w = &wy.w[size_t(wy.offset[size_t(j)])];
        for (int k = 0; k < wy.count[size_t(j)]; ++k) {
            const auto& h = horizontal(wy.first[size_t(j)] + k);
            for (size_t c = 0; c < acc.size(); ++c)
                acc[c] += uint64_t(h[c]) * uint64_t(w[k]);
        }
        Pixel* o = &out[size_t(j - y0) * size_t(cols)];
        for (int i = 0; i < cols; ++i) {
            const uint64_t den = uint64_t(wx.sum[size_t(i + x0)]) * uint64_t(wy.sum[size_t(j)]);
            if (!den) continue;
            const uint64_t* a = &acc[size_t(i) * 4];
            if (!fast) {
                o[i] = Pixel((a[0] + den / 2) / den) | Pixel((a[1] + den / 2) / den) << 8 |
                       Pixel((a[2] + den / 2) / den) << 16 | Pixel((a[3] + den / 2) / den) << 24;
                continue;
            }
            divide.Set(den);
            o[i] = Pixel(divide(a[0] + den / 2)) | Pixel(divide(a[1] + den / 2)) << 8 |
                   Pixel(divide(a[2] + den / 2)) << 16 | Pixel(divide(a[3] + den / 2)) << 24;
        }
    }
}

#ifdef __SSE2__

// Most stretches have narrow weights: every weight is a multiple of g = gcd(source run,
// destination run), and divided by g a destination covers few units. When the sums of the
// divided weights stay within 128 across and down, a row's sums across fit 16 bits (255 * 128)
// and every product down fits the 16-bit multiplies that add in pairs into 32 bits. The mean
// keeps its rounding: with a and d the sums and the divisor of divided weights,
// (a * G + (d * G) div 2) div (d * G) = (2a + d) div 2d, G the product of both g (for odd d * G
// the dropped half cannot reach the next whole, as 2a + d is odd).
bool HalftoneNarrow(const Transfer& t, const Area& area, std::vector<Pixel>& out) {
    const Weights &wx = area.wx, &wy = area.wy;
    const int gx = std::gcd(t.srcWidth, t.full.right - t.full.left);
    const int gy = std::gcd(t.srcHeight, t.full.bottom - t.full.top);
    auto narrow = [](const Weights& w, int g, int from, int to) {
        for (int i = from; i < to; ++i) {
            if (w.sum[size_t(i)] / g > 128) return false;
        }
        return true;
    };
    if (!narrow(wx, gx, area.x0, area.x1) || !narrow(wy, gy, area.y0, area.y1)) return false;

    const int cols = area.cols, sLo = area.sLo, sHi = area.sHi;
    const __m128i zero = _mm_setzero_si128();
    // A pair of weights for madd: the first in the low half of each 32-bit lane.
    auto pair = [](int w0, int w1) { return _mm_set1_epi32((w0 & 0xFFFF) | w1 << 16); };
    std::vector<int> wxd(wx.w.size()), wyd(wy.w.size());
    for (size_t k = 0; k < wx.w.size(); ++k)
        wxd[k] = wx.w[k] / gx;
    for (size_t k = 0; k < wy.w.size(); ++k)
        wyd[k] = wy.w[k] / gy;
    // The sums across of the source rows one destination row reads, and one more, in a ring:
    // the rows of one destination row are consecutive, so they never share a slot. Four 16-bit
    // channels per column and a spare column, so that columns go down two at a time.
    int taps = 1;
    for (int j = area.y0; j < area.y1; ++j)
        taps = std::max(taps, wy.count[size_t(j)]);
    struct Cached {
        int row = -1;
        std::vector<int16_t> sums;
    };
    std::vector<Cached> ring(size_t(taps) + 1);
    std::vector<Pixel> srcRow(size_t(sHi - sLo));
    auto across = [&](int sy) -> const int16_t* {
        Cached& c = ring[size_t(sy) % ring.size()];
        if (c.row == sy) return c.sums.data();
        c.row = sy;
        c.sums.assign(size_t(cols + 1) * 4, 0);
        ReadPixels(*t.source, sLo, sy, sHi - sLo, srcRow.data());
        MapMono(t, srcRow.data(), sHi - sLo);
        for (int i = area.x0; i < area.x1; ++i) {
            const int* w = &wxd[size_t(wx.offset[size_t(i)])];
            const Pixel* s = &srcRow[size_t(wx.first[size_t(i)] - sLo)];
            const int n = wx.count[size_t(i)];
            __m128i sum = zero;
            for (int k = 0; k < n; k += 2) {
                const bool two = k + 1 < n;
                const __m128i p = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(s[k])),
                                                    _mm_cvtsi32_si128(two ? int(s[k + 1]) : 0));
                sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi8(p, zero),
                                                        pair(w[k], two ? w[k + 1] : 0)));
            }
            _mm_storel_epi64(reinterpret_cast<__m128i*>(&c.sums[size_t(i - area.x0) * 4]),
                             _mm_packs_epi32(sum, sum));
        }
        return c.sums.data();
    };
    std::vector<const int16_t*> rows(static_cast<size_t>(taps));
    alignas(16) int32_t sums[8];
    ByteDivider divide;
    for (int j = area.y0; j < area.y1; ++j) {
        const int* w = &wyd[size_t(wy.offset[size_t(j)])];
        const int n = wy.count[size_t(j)];
        Pixel* o = &out[size_t(j - area.y0) * size_t(cols)];
        if (n == 0) continue;
        const int rowSum = wy.sum[size_t(j)] / gy;
        for (int k = 0; k < n; ++k)
            rows[size_t(k)] = across(wy.first[size_t(j)] + k);
        for (int i = 0; i < cols; i += 2) {
            __m128i left = zero, right = zero;
            for (int k = 0; k < n; k += 2) {
                const bool two = k + 1 < n;
                const __m128i a =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[size_t(k)] + i * 4));
                const __m128i b = two ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(
                                            rows[size_t(k) + 1] + i * 4))
                                      : zero;
                const __m128i weights = pair(w[k], two ? w[k + 1] : 0);
                left = _mm_add_epi32(left, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), weights));
                right = _mm_add_epi32(right, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), weights));
            }
            _mm_store_si128(reinterpret_cast<__m128i*>(sums), left);
            _mm_store_si128(reinterpret_cast<__m128i*>(sums + 4), right);
            for (int c = 0; c < 2 && i + c < cols; ++c) {
                const uint32_t d = uint32_t(wx.sum[size_t(area.x0 + i + c)] / gx) * rowSum;
                if (d == 0) continue;
                divide.Set(2 * uint64_t(d));
                const int32_t* a = sums + 4 * c;
                o[i + c] = Pixel(divide(2 * uint64_t(a[0]) + d)) |
                           Pixel(divide(2 * uint64_t(a[1]) + d)) << 8 |
                           Pixel(divide(2 * uint64_t(a[2]) + d)) << 16 |
                           Pixel(divide(2 * uint64_t(a[3]) + d)) << 24;
            }
        }
    }
    return true;
}

#endif

}  // namespace

std::vector<Pixel> Halftone(const Transfer& t) {
    const Area area(t);
    std::vector<Pixel> out(size_t(area.cols) * size_t(area.y1 - area.y0), 0);
    if (area.sHi < 0) return out;
#ifdef __SSE2__
    if (FastPaths() && HalftoneNarrow(t, area, out)) return out;
#endif
    HalftoneWide(t, area, out);
    return out;
}

}  // namespace win::detail
