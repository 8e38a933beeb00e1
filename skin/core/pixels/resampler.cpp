#include "skin/core/pixels/resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skin/core/pixels/errors.h"
#include "skin/core/pixels/fast_paths.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace skin {
namespace {

constexpr float kRadii[7] = {0.51f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};

double Kernel(int filter, double d) {
    const double x = std::fabs(d);
    switch (filter) {
        case rfBox:
            return d > -0.5 && d <= 0.5 ? 1 : 0;
        case rfTriangle:
            return 1 - x;
        case rfHermite:
            return x * x * (2 * x - 3) + 1;
        case rfBell:
            return x < 0.5 ? 0.75 - x * x : 0.5 * (x - 1.5) * (x - 1.5);
        case rfBSpline:
            return x < 1 ? x * x * (x / 2 - 1) + 2.0 / 3 : (2 - x) * (2 - x) * (2 - x) / 6;
        case rfLanczos:
            return x == 0 ? 1 : std::sin(M_PI * x) * std::sin(x) / (M_PI * x * x);
        case rfMitchell:
            return x < 1 ? x * x * (7.0 / 6 * x - 2) + 8.0 / 9
                         : x * x * (-7.0 / 18 * x + 2) - 10.0 / 3 * x + 16.0 / 9;
        default:
            return 0;
    }
}

// Mirrors an index at the edges until it lies inside 0..size - 1 (a wide kernel over a small
// image can reach past more than one edge).
int Mirror(int64_t j, int size) {
    while (j < 0 || j >= size)
        j = j < 0 ? -j : 2 * int64_t(size) - j - 1;
    return int(j);
}

inline uint8_t Clamp16(int32_t sum) {
    if (sum < 0) return 0;
    if (sum > 0xFF0000) return 255;
    return static_cast<uint8_t>(sum >> 16);
}

template <int B>
void ResampleRow(ptrdiff_t targetStep, uint8_t* target, const uint8_t* source,
                 const TContributorList& list, int count) {
    for (int i = 0; i < count; ++i, target += targetStep) {
        int32_t sum[B] = {};
        const TContributor* c = list.Of(i);
        for (int k = 0; k < list.Counts[i]; ++k) {
            const uint8_t* p = source + c[k].Offset;
            for (int ch = 0; ch < B; ++ch)
                sum[ch] += p[ch] * c[k].Weight;
        }
        for (int ch = 0; ch < B; ++ch)
            target[ch] = Clamp16(sum[ch]);
    }
}

// The fast forms. A line of output takes one of three shapes, decided once per output pixel
// (across) or row (down) from its contributors:
//  - one contributor of weight 1: a copy;
//  - two contributors of weights that are not negative and add up to exactly 1: then
//    (P * w0 + Q * w1) >> 16 = P + (((Q - P) * w1) >> 16), which no clamp can change, taken in
//    16-bit lanes as P + mulhi(Q - P, w1), with w1 below 32768; w1 of 32768 or more goes the
//    other way round (from Q with w0), and 32768 itself halves (Q - P) * 2;
//  - any other: the sums in 32-bit lanes, every weight split into its high and low byte so that
//    16-bit multiplies give each product exactly.
struct Tap {
    int32_t from, to;  // byte offsets of P and Q
    int16_t weight;    // w1 (or w0 the other way round)
    int16_t factor;    // 2 for the halving, else 1
    bool general;
};

Tap TapOf(const TContributor* c, int n) {
    if (n == 1 && c[0].Weight == 65536) return {c[0].Offset, c[0].Offset, 0, 1, false};
    if (n == 2 && c[0].Weight >= 0 && c[1].Weight >= 0 && c[0].Weight + c[1].Weight == 65536) {
        if (c[1].Weight < 32768) return {c[0].Offset, c[1].Offset, int16_t(c[1].Weight), 1, false};
        if (c[1].Weight > 32768) return {c[1].Offset, c[0].Offset, int16_t(c[0].Weight), 1, false};
        return {c[0].Offset, c[1].Offset, 16384, 2, false};
    }
    return {0, 0, 0, 0, true};
}

#ifdef __SSE2__

// The contributors' weights in pairs as madd wants them: high bytes and low bytes, each pair's
// first weight in the low half of a 32-bit lane. An odd last contributor pairs with weight 0.
inline __m128i PairHigh(int32_t w0, int32_t w1) {
    return _mm_set1_epi32(int((w0 >> 8) & 0xFFFF) | (w1 >> 8) << 16);
}
inline __m128i PairLow(int32_t w0, int32_t w1) {
    return _mm_set1_epi32((w0 & 0xFF) | (w1 & 0xFF) << 16);
}
inline __m128i Products(__m128i pairs16, __m128i high, __m128i low) {
    return _mm_add_epi32(_mm_slli_epi32(_mm_madd_epi16(pairs16, high), 8),
                         _mm_madd_epi16(pairs16, low));
}
// Four 32-bit sums of 16.16 products to four clamped bytes: the saturating packs clamp as Clamp16.
inline __m128i ClampedBytes(__m128i a, __m128i b, __m128i c, __m128i d) {
    return _mm_packus_epi16(_mm_packs_epi32(_mm_srai_epi32(a, 16), _mm_srai_epi32(b, 16)),
                            _mm_packs_epi32(_mm_srai_epi32(c, 16), _mm_srai_epi32(d, 16)));
}

template <int B>
inline uint64_t LoadPixel(const uint8_t* p) {
    uint32_t v;
    if constexpr (B == 4) {
        std::memcpy(&v, p, 4);
    } else {
        uint16_t lo;
        std::memcpy(&lo, p, 2);
        v = lo | uint32_t(p[2]) << 16;
    }
    return v;
}
template <int B>
inline void StorePixel(uint8_t* p, uint32_t v) {
    if constexpr (B == 4) {
        std::memcpy(p, &v, 4);
    } else {
        const uint16_t lo = uint16_t(v);
        std::memcpy(p, &lo, 2);
        p[2] = uint8_t(v >> 16);
    }
}

// One output pixel from any number of contributors.
template <int B>
uint32_t GeneralPixel(const uint8_t* source, const TContributor* c, int n) {
    const __m128i zero = _mm_setzero_si128();
    __m128i sum = zero;
    for (int k = 0; k < n; k += 2) {
        const bool pair = k + 1 < n;
        const __m128i p0 = _mm_cvtsi32_si128(int(LoadPixel<B>(source + c[k].Offset)));
        const __m128i p1 =
            pair ? _mm_cvtsi32_si128(int(LoadPixel<B>(source + c[k + 1].Offset))) : zero;
        const int32_t w1 = pair ? c[k + 1].Weight : 0;
        const __m128i v = _mm_unpacklo_epi8(_mm_unpacklo_epi8(p0, p1), zero);
        sum = _mm_add_epi32(sum, Products(v, PairHigh(c[k].Weight, w1), PairLow(c[k].Weight, w1)));
    }
    return uint32_t(_mm_cvtsi128_si32(ClampedBytes(sum, zero, zero, zero)));
}

// The output pixels across in groups of four that all take a shortcut: where each pixel's P and
// Q lie, and the weights and factors two pixels to a register. A group with a pixel that needs
// the full sums takes them for all four.
struct Across {
    struct alignas(16) Lanes {
        int16_t v[8];
        __m128i Load() const { return _mm_load_si128(reinterpret_cast<const __m128i*>(v)); }
    };
    struct Group {
        int32_t from[4], to[4];
        Lanes weights[2], factors[2];
        bool general;
    };
    std::vector<Group> groups;
    Across(const TContributorList& list, int count) : groups(size_t(count / 4)) {
        for (int g = 0; g < count / 4; ++g) {
            Group& group = groups[size_t(g)];
            group.general = false;
            for (int k = 0; k < 4; ++k) {
                const int i = g * 4 + k;
                const Tap t = TapOf(list.Of(i), list.Counts[size_t(i)]);
                group.general |= t.general;
                group.from[k] = t.from, group.to[k] = t.to;
                for (int lane = 0; lane < 4; ++lane) {
                    group.weights[k / 2].v[(k % 2) * 4 + lane] = t.weight;
                    group.factors[k / 2].v[(k % 2) * 4 + lane] = t.factor;
                }
            }
        }
    }
};

// One source line across into `count` output pixels, four at a time where all take a shortcut.
template <int B>
void ResampleAcross(uint8_t* target, const uint8_t* source, const TContributorList& list,
                    const Across& across, int count) {
    const __m128i zero = _mm_setzero_si128();
    auto general = [&](int i) {
        StorePixel<B>(target + i * B, GeneralPixel<B>(source, list.Of(i), list.Counts[size_t(i)]));
    };
    int i = 0;
    for (const Across::Group& g : across.groups) {
        if (g.general) {
            for (int k = 0; k < 4; ++k)
                general(i + k);
            i += 4;
            continue;
        }
        // Two pixels' channels in 16-bit lanes, from their source offsets.
        auto two = [&](const int32_t* at) {
            return _mm_unpacklo_epi8(
                _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(LoadPixel<B>(source + at[0]))),
                                   _mm_cvtsi32_si128(int(LoadPixel<B>(source + at[1])))),
                zero);
        };
        auto mix = [&](int half) {
            const __m128i p = two(g.from + 2 * half), q = two(g.to + 2 * half);
            const __m128i d = _mm_mullo_epi16(_mm_sub_epi16(q, p), g.factors[half].Load());
            return _mm_add_epi16(p, _mm_mulhi_epi16(d, g.weights[half].Load()));
        };
        const __m128i out = _mm_packus_epi16(mix(0), mix(1));
        if constexpr (B == 4) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i * 4), out);
        } else {
            alignas(16) uint32_t pixels[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(pixels), out);
            for (int k = 0; k < 4; ++k)
                StorePixel<3>(target + (i + k) * 3, pixels[k]);
        }
        i += 4;
    }
    for (; i < count; ++i)
        general(i);
}

// One output row down from the rows its contributors name, `bytes` bytes of it.
void ResampleDown(uint8_t* target, const uint8_t* base, const TContributor* c, int n,
                  size_t bytes) {
    const Tap t = TapOf(c, n);
    const __m128i zero = _mm_setzero_si128();
    size_t i = 0;
    if (!t.general && t.from == t.to) {
        std::memcpy(target, base + t.from, bytes);
        return;
    }
    if (!t.general) {
        const uint8_t *p = base + t.from, *q = base + t.to;
        const __m128i w = _mm_set1_epi16(t.weight);
        auto mix = [&](__m128i p16, __m128i q16) {
            const __m128i d = _mm_sub_epi16(q16, p16);
            return _mm_add_epi16(p16, t.factor == 2 ? _mm_srai_epi16(d, 1) : _mm_mulhi_epi16(d, w));
        };
        for (; i + 16 <= bytes; i += 16) {
            const __m128i pv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i qv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + i));
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(target + i),
                _mm_packus_epi16(mix(_mm_unpacklo_epi8(pv, zero), _mm_unpacklo_epi8(qv, zero)),
                                 mix(_mm_unpackhi_epi8(pv, zero), _mm_unpackhi_epi8(qv, zero))));
        }
    } else {
        for (; i + 16 <= bytes; i += 16) {
            __m128i sum[4] = {zero, zero, zero, zero};
            for (int k = 0; k < n; k += 2) {
                const bool pair = k + 1 < n;
                const __m128i r0 =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + c[k].Offset + i));
                const __m128i r1 = pair ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(
                                              base + c[k + 1].Offset + i))
                                        : zero;
                const int32_t w1 = pair ? c[k + 1].Weight : 0;
                const __m128i high = PairHigh(c[k].Weight, w1), low = PairLow(c[k].Weight, w1);
                const __m128i lo = _mm_unpacklo_epi8(r0, r1), hi = _mm_unpackhi_epi8(r0, r1);
                sum[0] = _mm_add_epi32(sum[0], Products(_mm_unpacklo_epi8(lo, zero), high, low));
                sum[1] = _mm_add_epi32(sum[1], Products(_mm_unpackhi_epi8(lo, zero), high, low));
                sum[2] = _mm_add_epi32(sum[2], Products(_mm_unpacklo_epi8(hi, zero), high, low));
                sum[3] = _mm_add_epi32(sum[3], Products(_mm_unpackhi_epi8(hi, zero), high, low));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i),
                             ClampedBytes(sum[0], sum[1], sum[2], sum[3]));
        }
    }
    for (; i < bytes; ++i) {
        int32_t sum = 0;
        for (int k = 0; k < n; ++k)
            sum += base[c[k].Offset + i] * c[k].Weight;
        target[i] = Clamp16(sum);
    }
}

#endif

}  // namespace

float FilterRadius(int filter) {
    return filter >= 0 && filter < 7 ? kRadii[filter] : 0.0f;
}

TContributorList BuildFilterContributors(int outputSize, int inputSize, ptrdiff_t step,
                                         int filter) {
    TContributorList list;
    const float radius = FilterRadius(filter);
    const double scale = inputSize > outputSize ? double(outputSize) / inputSize : 1.0;
    const double width = radius / scale;
    list.BlockSize = int32_t(2 * width + 1);
    list.Counts.assign(outputSize, 0);
    list.Blocks.assign(size_t(outputSize) * list.BlockSize, {0, 0});
    if (filter < 0 || filter > 6) return list;
    for (int i = 0; i < outputSize; ++i) {
        const double centre = double(int64_t(i) * inputSize) / outputSize;
        TContributor* block = list.Blocks.data() + size_t(i) * list.BlockSize;
        int32_t& n = list.Counts[i];
        const int64_t last = int64_t(std::ceil(centre + width));
        for (int64_t j = int64_t(std::floor(centre - width)); j <= last; ++j) {
            const double d = (centre - double(j)) * scale;
            if (std::fabs(d) >= radius) continue;
            const double w = Kernel(filter, d);
            if (w == 0) continue;
            if (n == list.BlockSize) break;  // rounding at the window's edge: no room is assumed
            block[n++] = {int32_t(Mirror(j, inputSize) * step),
                          int32_t(std::nearbyint(w * scale * 65536))};
        }
    }
    return list;
}

void ResampleRow24(ptrdiff_t targetStep, uint8_t* target, const uint8_t* source,
                   const TContributorList& list, int count) {
    ResampleRow<3>(targetStep, target, source, list, count);
}

void ResampleRow32(ptrdiff_t targetStep, uint8_t* target, const uint8_t* source,
                   const TContributorList& list, int count) {
    ResampleRow<4>(targetStep, target, source, list, count);
}

void ResamplePixels(const PixelView& src, const PixelView& dst, int filter) {
    if (src.Base == nullptr || src.Width < 2 || src.Height < 2 || dst.Base == nullptr ||
        dst.Width < 1 || dst.Height < 1) {
        throw EResampleError("Source bitmap is too small");
    }
    const int b = src.BytesPerPixel == 4 ? 4 : 3;
    if (dst.BytesPerPixel != b) return;
    if (dst.Width == src.Width && dst.Height == src.Height) {
        if (dst.Base == src.Base) return;
        for (int y = 0; y < src.Height; ++y)
            std::memcpy(dst.Row(y), src.Row(y), size_t(b) * src.Width);
        return;
    }
    auto row = b == 4 ? ResampleRow32 : ResampleRow24;
    // The work image: the new width, the source's height, top-down.
    const ptrdiff_t workStride = ptrdiff_t(dst.Width) * b;
    std::vector<uint8_t> work(size_t(workStride) * src.Height);
    const TContributorList across = BuildFilterContributors(dst.Width, src.Width, b, filter);
    const TContributorList down =
        BuildFilterContributors(dst.Height, src.Height, workStride, filter);
#ifdef __SSE2__
    if (FastPaths()) {
        const Across shortcuts(across, dst.Width);
        for (int y = 0; y < src.Height; ++y) {
            uint8_t* line = work.data() + y * workStride;
            if (b == 4)
                ResampleAcross<4>(line, src.Row(y), across, shortcuts, dst.Width);
            else
                ResampleAcross<3>(line, src.Row(y), across, shortcuts, dst.Width);
        }
        for (int y = 0; y < dst.Height; ++y) {
            ResampleDown(dst.Row(y), work.data(), down.Of(y), down.Counts[size_t(y)],
                         size_t(workStride));
        }
        return;
    }
#endif
    for (int y = 0; y < src.Height; ++y)
        row(b, work.data() + y * workStride, src.Row(y), across, dst.Width);
    for (int x = 0; x < dst.Width; ++x)
        row(dst.Stride, dst.Base + x * b, work.data() + x * b, down, dst.Height);
}

}  // namespace skin
