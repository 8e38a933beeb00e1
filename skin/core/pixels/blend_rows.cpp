#include "skin/core/pixels/blend_rows.h"

#include "skin/core/pixels/fast_paths.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace skin {

void AlphaRowPlain(uint8_t* d, int step, const uint8_t* s, int width) {
    for (int i = 0; i < width; ++i, d += step, s += 4) {
        const uint32_t a = s[3], na = 256 - a;
        for (int c = 0; c < 3; ++c)
            d[c] = uint8_t((s[c] * a + d[c] * na) >> 8);
    }
}

void AlphaRow(uint8_t* d, int step, const uint8_t* s, int width) {
    int i = 0;
#ifdef __SSE2__
    if (step == 4 && FastPaths()) {
        const __m128i zero = _mm_setzero_si128(), k256 = _mm_set1_epi16(256);
        // The alpha lane weighs the source by 0 and the target by 256: the target keeps it.
        const __m128i colour = _mm_setr_epi16(-1, -1, -1, 0, -1, -1, -1, 0);
        // Two pixels in eight 16-bit lanes, each lane times its pixel's alpha.
        auto mix = [&](__m128i s16, __m128i d16) {
            __m128i a = _mm_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3));
            a = _mm_and_si128(_mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3)), colour);
            const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s16, a),
                                              _mm_mullo_epi16(d16, _mm_sub_epi16(k256, a)));
            return _mm_srli_epi16(sum, 8);
        };
        for (; i + 4 <= width; i += 4) {
            const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4));
            const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 4));
            const __m128i lo = mix(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero));
            const __m128i hi = mix(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), _mm_packus_epi16(lo, hi));
        }
    }
#endif
    AlphaRowPlain(d + i * step, step, s + i * 4, width - i);
}

void RatioRowPlain(uint8_t* d, const uint8_t* s, int bytes, uint8_t a) {
    const uint32_t na = 255u - a;
    for (int i = 0; i < bytes; ++i)
        d[i] = uint8_t((s[i] * na + d[i] * a + 127) >> 8);
}

void RatioRow(uint8_t* d, const uint8_t* s, int bytes, uint8_t a) {
    int i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128(), round = _mm_set1_epi16(127);
    const __m128i wd = _mm_set1_epi16(a), ws = _mm_set1_epi16(short(255 - a));
    auto mix = [&](__m128i s16, __m128i d16) {
        return _mm_srli_epi16(
            _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(s16, ws), _mm_mullo_epi16(d16, wd)), round),
            8);
    };
    const int fastEnd = FastPaths() ? bytes - 15 : 0;
    for (; i < fastEnd; i += 16) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(d + i),
            _mm_packus_epi16(mix(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero)),
                             mix(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero))));
    }
#endif
    RatioRowPlain(d + i, s + i, bytes - i, a);
}

}  // namespace skin
