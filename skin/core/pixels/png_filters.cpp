#include "skin/core/pixels/png_filters.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace skin {
namespace {

inline uint8_t PaethPredict(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Filters whose left neighbour is the byte just before: one running value.
void UnfilterBytes(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t count) {
    uint8_t a = 0, c = 0;
    switch (filter) {
        case 1:
            for (size_t i = 0; i < count; ++i)
                a = row[i] = uint8_t(row[i] + a);
            break;
        case 3:
            for (size_t i = 0; i < count; ++i)
                a = row[i] = uint8_t(row[i] + ((a + prev[i]) >> 1));
            break;
        case 4:
            for (size_t i = 0; i < count; ++i) {
                const uint8_t b = prev[i];
                a = row[i] = uint8_t(row[i] + PaethPredict(a, b, c));
                c = b;
            }
            break;
        default:
            break;
    }
}

// Two rows of bytes side by side, the second one byte behind the first: two running values.
void UnfilterBytePair(uint8_t filter, uint8_t* row, const uint8_t* prev, uint8_t* next,
                      size_t count) {
    uint8_t a = 0, s = 0, sc = 0;
    if (filter == 3) {
        for (size_t x = 0; x < count; ++x) {
            a = row[x] = uint8_t(row[x] + ((a + prev[x]) >> 1));
            if (x > 0) s = next[x - 1] = uint8_t(next[x - 1] + ((s + row[x - 1]) >> 1));
        }
        next[count - 1] = uint8_t(next[count - 1] + ((s + row[count - 1]) >> 1));
        return;
    }
    uint8_t c = 0;
    for (size_t x = 0; x < count; ++x) {
        const uint8_t b = prev[x];
        a = row[x] = uint8_t(row[x] + PaethPredict(a, b, c));
        c = b;
        if (x > 0) {
            const uint8_t above = row[x - 1];
            s = next[x - 1] = uint8_t(next[x - 1] + PaethPredict(s, above, sc));
            sc = above;
        }
    }
    next[count - 1] = uint8_t(next[count - 1] + PaethPredict(s, row[count - 1], sc));
}

#ifdef __SSE2__

// A pixel's bytes to and from the low end of a 64-bit value, through whole loads and stores of
// 1, 2, 4 or 8 bytes: a pixel put together in memory first would stall every step on store
// forwarding.
template <typename T>
inline T Read(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename T>
inline void Write(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

template <int B>
inline uint64_t LoadBytes(const uint8_t* p) {
    if constexpr (B == 2) return Read<uint16_t>(p);
    if constexpr (B == 3) return Read<uint16_t>(p) | uint32_t(p[2]) << 16;
    if constexpr (B == 4) return Read<uint32_t>(p);
    if constexpr (B == 6) return Read<uint32_t>(p) | uint64_t(Read<uint16_t>(p + 4)) << 32;
    if constexpr (B == 8) return Read<uint64_t>(p);
}

template <int B>
inline void StoreBytes(uint8_t* p, uint64_t v) {
    if constexpr (B == 2) Write(p, uint16_t(v));
    if constexpr (B == 3) Write(p, uint16_t(v)), p[2] = uint8_t(v >> 16);
    if constexpr (B == 4) Write(p, uint32_t(v));
    if constexpr (B == 6) Write(p, uint32_t(v)), Write(p + 4, uint16_t(v >> 32));
    if constexpr (B == 8) Write(p, v);
}

inline __m128i Vector(uint64_t v) {
    return _mm_cvtsi64_si128(int64_t(v));
}
inline uint64_t Scalar(__m128i v) {
    return uint64_t(_mm_cvtsi128_si64(v));
}

inline __m128i Abs16(__m128i x) {
    return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x));
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Paeth's prediction in 16-bit lanes, where a + b - 2c cannot overflow.
inline __m128i PaethOf(__m128i a, __m128i b, __m128i c) {
    const __m128i pa = Abs16(_mm_sub_epi16(b, c));
    const __m128i pb = Abs16(_mm_sub_epi16(a, c));
    const __m128i pc = Abs16(_mm_sub_epi16(_mm_add_epi16(a, b), _mm_add_epi16(c, c)));
    const __m128i least = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
    // Ties favour a, then b.
    return Select(_mm_cmpeq_epi16(least, pa), a, Select(_mm_cmpeq_epi16(least, pb), b, c));
}

// (a + b) >> 1 in bytes: the rounded-up mean less the dropped half.
inline __m128i MeanOf(__m128i a, __m128i b) {
    return _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
}

// One pixel of B bytes per step: the bytes of a pixel do not depend on each other, so all of
// them go through at once. Returns how many bytes were done (whole pixels).
template <int B>
size_t UnfilterPixels(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t count) {
    const size_t n = count / B * B;
    const __m128i zero = _mm_setzero_si128();
    switch (filter) {
        case 1: {
            __m128i a = zero;
            for (size_t i = 0; i < n; i += B) {
                a = _mm_add_epi8(Vector(LoadBytes<B>(row + i)), a);
                StoreBytes<B>(row + i, Scalar(a));
            }
            break;
        }
        case 3: {
            __m128i a = zero;
            for (size_t i = 0; i < n; i += B) {
                a = _mm_add_epi8(Vector(LoadBytes<B>(row + i)),
                                 MeanOf(a, Vector(LoadBytes<B>(prev + i))));
                StoreBytes<B>(row + i, Scalar(a));
            }
            break;
        }
        case 4: {
            const __m128i low = _mm_set1_epi16(0xFF);
            __m128i a = zero, c = zero;
            for (size_t i = 0; i < n; i += B) {
                const __m128i b = _mm_unpacklo_epi8(Vector(LoadBytes<B>(prev + i)), zero);
                const __m128i x = _mm_unpacklo_epi8(Vector(LoadBytes<B>(row + i)), zero);
                a = _mm_and_si128(_mm_add_epi16(x, PaethOf(a, b, c)), low);
                StoreBytes<B>(row + i, Scalar(_mm_packus_epi16(a, a)));
                c = b;
            }
            break;
        }
        default:
            return 0;
    }
    return n;
}

// Two rows of pixels of B (3 or 4) bytes: step x carries the first row's pixel x in the low
// half of a register (bytes or 16-bit lanes 0 to 3) and the second row's pixel x - 1 in the high
// half. The second row's pixel above is the first row's pixel of the step before, which the
// low half of the result hands up.
template <int B>
void UnfilterPixelPair(uint8_t filter, uint8_t* row, const uint8_t* prev, uint8_t* next,
                       size_t pixels) {
    const __m128i zero = _mm_setzero_si128();
    auto step = [&](size_t x, auto compute) {
        const bool first = x < pixels;  // the last step has the second row's last pixel only
        const uint64_t r = first ? LoadBytes<B>(row + x * B) : 0;
        const uint64_t p = first ? LoadBytes<B>(prev + x * B) : 0;
        const uint64_t out = compute(Vector(r | LoadBytes<B>(next + (x - 1) * B) << 32), p);
        if (first) StoreBytes<B>(row + x * B, out);
        StoreBytes<B>(next + (x - 1) * B, out >> 32);
    };
    if (filter == 3) {
        for (int k = 0; k < B; ++k)
            row[k] = uint8_t(row[k] + (prev[k] >> 1));
        __m128i a = Vector(LoadBytes<B>(row));
        for (size_t x = 1; x <= pixels; ++x) {
            step(x, [&](__m128i v, uint64_t p) {
                a = _mm_add_epi8(v, MeanOf(a, _mm_unpacklo_epi32(Vector(p), a)));
                return Scalar(a);
            });
        }
        return;
    }
    const __m128i low = _mm_set1_epi16(0xFF);
    for (int k = 0; k < B; ++k)
        row[k] = uint8_t(row[k] + prev[k]);
    __m128i a = _mm_unpacklo_epi8(Vector(LoadBytes<B>(row)), zero);
    __m128i c = _mm_unpacklo_epi8(Vector(LoadBytes<B>(prev)), zero);
    for (size_t x = 1; x <= pixels; ++x) {
        step(x, [&](__m128i v, uint64_t p) {
            const __m128i b = _mm_unpacklo_epi64(_mm_unpacklo_epi8(Vector(p), zero), a);
            a = _mm_and_si128(_mm_add_epi16(_mm_unpacklo_epi8(v, zero), PaethOf(a, b, c)), low);
            c = b;
            return Scalar(_mm_packus_epi16(a, a));
        });
    }
}

// Four rows of Average filtered pixels of B (3 or 4) bytes, one per 32-bit slot of a register:
// step x carries pixel x - k of row k. Row k's pixel above is row k - 1's pixel of the step
// before, one slot down in the last result.
template <int B>
void AverageFour(uint8_t* first, const uint8_t* prev, size_t stride, size_t pixels) {
    uint8_t* row[4] = {first, first + stride, first + 2 * stride, first + 3 * stride};
    auto load = [&](int k, size_t x) {
        return x >= size_t(k) && x - k < pixels ? LoadBytes<B>(row[k] + (x - k) * B) : 0;
    };
    auto store = [&](int k, size_t x, uint64_t v) {
        if (x >= size_t(k) && x - k < pixels) StoreBytes<B>(row[k] + (x - k) * B, v);
    };
    __m128i a = _mm_setzero_si128();
    auto step = [&](const uint64_t(&v)[4], uint64_t p) {
        const __m128i b = _mm_or_si128(_mm_slli_si128(a, 4), Vector(p));
        const __m128i x = _mm_unpacklo_epi64(Vector(v[0] | v[1] << 32), Vector(v[2] | v[3] << 32));
        a = _mm_add_epi8(x, MeanOf(a, b));
    };
    auto put = [&](auto&& storeSlot) {
        const uint64_t lo = Scalar(a), hi = Scalar(_mm_unpackhi_epi64(a, a));
        storeSlot(0, lo), storeSlot(1, lo >> 32), storeSlot(2, hi), storeSlot(3, hi >> 32);
    };
    const size_t steps = pixels + 3;
    for (size_t x = 0; x < steps; ++x) {
        if (x >= 3 && x < pixels) {
            // Every slot busy: no checks.
            const uint64_t v[4] = {LoadBytes<B>(row[0] + x * B), LoadBytes<B>(row[1] + (x - 1) * B),
                                   LoadBytes<B>(row[2] + (x - 2) * B),
                                   LoadBytes<B>(row[3] + (x - 3) * B)};
            step(v, LoadBytes<B>(prev + x * B));
            put([&](int k, uint64_t w) { StoreBytes<B>(row[k] + (x - k) * B, w); });
            continue;
        }
        const uint64_t v[4] = {load(0, x), load(1, x), load(2, x), load(3, x)};
        step(v, x < pixels ? LoadBytes<B>(prev + x * B) : 0);
        // A row not started yet keeps 0 as its left neighbour.
        if (x < 3) {
            const __m128i started[3] = {_mm_setr_epi32(-1, 0, 0, 0), _mm_setr_epi32(-1, -1, 0, 0),
                                        _mm_setr_epi32(-1, -1, -1, 0)};
            a = _mm_and_si128(a, started[x]);
        }
        put([&](int k, uint64_t w) { store(k, x, w); });
    }
}

#endif

}  // namespace

void UnfilterRowPlain(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t bpp, size_t count) {
    const size_t first = std::min(bpp, count);
    switch (filter) {
        case 1:
            for (size_t i = bpp; i < count; ++i)
                row[i] = uint8_t(row[i] + row[i - bpp]);
            break;
        case 2:
            for (size_t i = 0; i < count; ++i)
                row[i] = uint8_t(row[i] + prev[i]);
            break;
        case 3:
            for (size_t i = 0; i < first; ++i)
                row[i] = uint8_t(row[i] + prev[i] / 2);
            for (size_t i = bpp; i < count; ++i)
                row[i] = uint8_t(row[i] + ((row[i - bpp] + prev[i]) >> 1));
            break;
        case 4:
            for (size_t i = 0; i < first; ++i)
                row[i] = uint8_t(row[i] + prev[i]);
            for (size_t i = bpp; i < count; ++i)
                row[i] = uint8_t(row[i] + PaethPredict(row[i - bpp], prev[i], prev[i - bpp]));
            break;
        default:
            break;
    }
}

void UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t bpp, size_t count) {
    if (filter == 0) return;
    if (filter == 2) {
        size_t i = 0;
#ifdef __SSE2__
        for (; i + 16 <= count; i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(prev + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_add_epi8(x, b));
        }
#endif
        for (; i < count; ++i)
            row[i] = uint8_t(row[i] + prev[i]);
        return;
    }
    if (bpp == 1) {
        UnfilterBytes(filter, row, prev, count);
        return;
    }
    size_t done = 0;
#ifdef __SSE2__
    switch (bpp) {
        case 2:
            done = UnfilterPixels<2>(filter, row, prev, count);
            break;
        case 3:
            done = UnfilterPixels<3>(filter, row, prev, count);
            break;
        case 4:
            done = UnfilterPixels<4>(filter, row, prev, count);
            break;
        case 6:
            done = UnfilterPixels<6>(filter, row, prev, count);
            break;
        case 8:
            done = UnfilterPixels<8>(filter, row, prev, count);
            break;
        default:
            break;
    }
#endif
    if (done == 0) {
        UnfilterRowPlain(filter, row, prev, bpp, count);
        return;
    }
    // A part pixel at the end (PNG rows hold whole pixels) goes byte by byte.
    for (size_t i = done; i < count; ++i) {
        const int a = row[i - bpp], b = prev[i], c = prev[i - bpp];
        row[i] = uint8_t(row[i] + (filter == 1   ? a
                                   : filter == 3 ? (a + b) >> 1
                                                 : PaethPredict(a, b, c)));
    }
}

void UnfilterRows(uint8_t filter, uint8_t* first, const uint8_t* prev, size_t stride, size_t rows,
                  size_t bpp, size_t count) {
    const bool running = (filter == 3 || filter == 4) && count > 0 && count % bpp == 0;
    size_t k = 0;
    while (k < rows) {
        uint8_t* row = first + k * stride;
        const uint8_t* above = k == 0 ? prev : row - stride;
        size_t done = 1;
        if (!running || rows - k < 2) {
            UnfilterRow(filter, row, above, bpp, count);
        } else if (bpp == 1) {
            UnfilterBytePair(filter, row, above, row + stride, count);
            done = 2;
#ifdef __SSE2__
        } else if (filter == 3 && rows - k >= 4 && (bpp == 3 || bpp == 4)) {
            if (bpp == 3)
                AverageFour<3>(row, above, stride, count / 3);
            else
                AverageFour<4>(row, above, stride, count / 4);
            done = 4;
        } else if (bpp == 3 || bpp == 4) {
            if (bpp == 3)
                UnfilterPixelPair<3>(filter, row, above, row + stride, count / 3);
            else
                UnfilterPixelPair<4>(filter, row, above, row + stride, count / 4);
            done = 2;
#endif
        } else {
            UnfilterRow(filter, row, above, bpp, count);
        }
        k += done;
    }
}

}  // namespace skin
