// The transfers' fast forms against their plain ones: random sizes and ratios, mirrored and
// clipped rectangles reaching past the bitmaps, source and target depths.
#include <gtest/gtest.h>

#include <random>

#include "platform/gdi/blit_impl.h"
#include "tests/platform/gdi/gdi_test_util.h"

namespace {

using gdi_test::Canvas;
using namespace win;

void Randomise(Canvas& c, std::mt19937& rng) {
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x)
            c.SetRaw(x, y, rng());
    }
}

// Both targets start alike; `paint` draws into one with the fast forms and into the other
// without, and every pixel must agree.
template <typename Paint>
void ExpectBothWaysAlike(Canvas& fast, Canvas& plain, Paint paint, void (*set)(bool),
                         const std::string& what) {
    paint(fast);
    set(false);
    paint(plain);
    set(true);
    for (int y = 0; y < fast.height(); ++y) {
        for (int x = 0; x < fast.width(); ++x)
            ASSERT_EQ(fast.Raw(x, y), plain.Raw(x, y)) << what << " at " << x << "," << y;
    }
}

TEST(FastPaths, HalftoneAveragesAsThePlainSumsDo) {
    std::mt19937 rng(51);
    for (int round = 0; round < 150; ++round) {
        // Narrow ratios (small sizes, or multiples) and wide ones (sizes without a common
        // factor) both come up.
        const int sw = 1 + int(rng() % (round % 3 == 0 ? 300 : 40));
        const int sh = 1 + int(rng() % (round % 3 == 1 ? 200 : 30));
        const int tw = 1 + int(rng() % 40), th = 1 + int(rng() % 30);
        const int srcBpp = round % 4 == 0 ? 24 : 32, dstBpp = round % 5 == 0 ? 24 : 32;
        Canvas src(sw, sh, srcBpp), fast(tw, th, dstBpp), plain(tw, th, dstBpp);
        Randomise(src, rng), Randomise(fast, rng);
        for (int y = 0; y < th; ++y) {
            for (int x = 0; x < tw; ++x)
                plain.SetRaw(x, y, fast.Raw(x, y));
        }
        const int x = int(rng() % tw) - 3, y = int(rng() % th) - 3;
        // A negative size mirrors.
        int w = 1 + int(rng() % (tw + 4)), h = 1 + int(rng() % (th + 4));
        if (rng() % 4 == 0) w = -w;
        if (rng() % 4 == 0) h = -h;
        const int sx = int(rng() % sw) - 1, sy = int(rng() % sh) - 1;
        const int sWidth = 1 + int(rng() % sw), sHeight = 1 + int(rng() % sh);
        const bool clip = rng() % 2;
        const int cl = int(rng() % tw), ct = int(rng() % th);
        ExpectBothWaysAlike(
            fast, plain,
            [&](Canvas& target) {
                SetStretchBltMode(target.dc(), HALFTONE);
                if (clip) IntersectClipRect(target.dc(), cl, ct, cl + tw / 2 + 1, ct + th / 2 + 1);
                StretchBlt(target.dc(), x, y, w, h, src.dc(), sx, sy, sWidth, sHeight, SRCCOPY);
            },
            detail::SetFastPaths, "round " + std::to_string(round));
    }
}

TEST(FastPaths, AlphaBlendMixesAsThePlainSumsDo) {
    std::mt19937 rng(52);
    for (int round = 0; round < 150; ++round) {
        const int sw = 1 + int(rng() % 40), sh = 1 + int(rng() % 20);
        const int tw = 1 + int(rng() % 40), th = 1 + int(rng() % 20);
        const int dstBpp = round % 3 == 0 ? 24 : 32;
        Canvas src(sw, sh), fast(tw, th, dstBpp), plain(tw, th, dstBpp);
        Randomise(src, rng), Randomise(fast, rng);
        for (int y = 0; y < th; ++y) {
            for (int x = 0; x < tw; ++x)
                plain.SetRaw(x, y, fast.Raw(x, y));
        }
        BLENDFUNCTION bf;
        bf.AlphaFormat = round % 2 ? AC_SRC_ALPHA : 0;
        bf.SourceConstantAlpha = BYTE(round % 4 == 1 ? 255 : rng());
        const int x = int(rng() % tw) - 3, y = int(rng() % th) - 3;
        // Unstretched most of the time, as callers use it.
        const bool same = rng() % 3 != 0;
        const int w = same ? sw : 1 + int(rng() % (tw + 4)), h = same ? sh : 1 + int(rng() % th);
        const bool clip = rng() % 2;
        const int cl = int(rng() % tw), ct = int(rng() % th);
        ExpectBothWaysAlike(
            fast, plain,
            [&](Canvas& target) {
                if (clip) IntersectClipRect(target.dc(), cl, ct, cl + tw / 2 + 1, ct + th / 2 + 1);
                AlphaBlend(target.dc(), x, y, w, h, src.dc(), 0, 0, sw, sh, bf);
            },
            detail::SetFastPaths, "round " + std::to_string(round));
    }
}

}  // namespace
