#include "skin/core/pixels/adler32.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace skin {
namespace {

constexpr uint32_t kBase = 65521;
// The most bytes after which the sums still fit 32 bits before they are reduced.
constexpr size_t kMax = 5552;

}  // namespace

uint32_t UpdateAdler32(uint32_t adler, const void* data, size_t count) {
    auto p = static_cast<const uint8_t*>(data);
    uint32_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    while (count > 0) {
        size_t n = std::min(count, kMax);
        count -= n;
#ifdef __SSE2__
        // Per block of 16 bytes: s1 grows by their sum; s2 by 16 times s1 before the block and
        // by the bytes weighted 16 down to 1.
        if (n >= 16) {
            const size_t blocks = n / 16;
            const __m128i zero = _mm_setzero_si128();
            const __m128i high = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
            const __m128i low = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
            __m128i sum = zero, weighted = zero, before = zero;
            for (size_t b = 0; b < blocks; ++b, p += 16) {
                const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                before = _mm_add_epi32(before, sum);
                sum = _mm_add_epi32(sum, _mm_sad_epu8(x, zero));
                weighted = _mm_add_epi32(
                    weighted, _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(x, zero), high),
                                            _mm_madd_epi16(_mm_unpackhi_epi8(x, zero), low)));
            }
            auto total = [](__m128i v) {
                v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
                v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
                return uint32_t(_mm_cvtsi128_si32(v));
            };
            s2 += uint32_t(blocks * 16) * s1 + 16 * total(before) + total(weighted);
            s1 += total(sum);
            n -= blocks * 16;
        }
#endif
        for (; n > 0; --n) {
            s1 += *p++;
            s2 += s1;
        }
        s1 %= kBase;
        s2 %= kBase;
    }
    return s2 << 16 | s1;
}

}  // namespace skin
