#include "skin/core/pixels/resampler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "skin/core/pixels/errors.h"
#include "skin/core/pixels/fast_paths.h"
#include "tests/skin/core/test_image.h"

namespace skin {
namespace {

using skin_test::TestImage;

TEST(Resampler, BoxEnlargingTakesOneWholeNearestPixel) {
    auto list = BuildFilterContributors(7, 3, 3, rfBox);
    for (int i = 0; i < 7; ++i) {
        ASSERT_EQ(list.Counts[i], 1) << i;
        EXPECT_EQ(list.Of(i)[0].Weight, 65536);
    }
    // centre 3 * 3 / 7 = 1.29 takes pixel 1; centre 0.43 takes pixel 0
    EXPECT_EQ(list.Of(1)[0].Offset, 0);
    EXPECT_EQ(list.Of(3)[0].Offset, 3);
    // centre 1.5 (output 1 of 4 from 3... ) lies on the window's closed end: pixel 1, not 2
    auto half = BuildFilterContributors(2, 1, 1, rfBox);
    EXPECT_EQ(half.Of(1)[0].Offset, 0);
}

TEST(Resampler, TriangleHalvingWeighsNeighboursAndMirrorsTheEdge) {
    auto list = BuildFilterContributors(4, 8, 1, rfTriangle);
    ASSERT_EQ(list.Counts[1], 3);
    EXPECT_EQ(list.Of(1)[0].Offset, 1);
    EXPECT_EQ(list.Of(1)[0].Weight, 16384);
    EXPECT_EQ(list.Of(1)[1].Offset, 2);
    EXPECT_EQ(list.Of(1)[1].Weight, 32768);
    EXPECT_EQ(list.Of(1)[2].Offset, 3);
    EXPECT_EQ(list.Of(1)[2].Weight, 16384);
    // Output 0: source -1 mirrored to 1.
    ASSERT_EQ(list.Counts[0], 3);
    EXPECT_EQ(list.Of(0)[0].Offset, 1);
}

TEST(Resampler, WideKernelsOverTinySourcesStayInside) {
    for (int filter = 0; filter < 7; ++filter) {
        for (int in = 2; in <= 5; ++in) {
            for (int out : {1, 2, 3, in * 7, in * 64}) {
                auto list = BuildFilterContributors(out, in, 1, filter);
                for (int i = 0; i < out; ++i) {
                    ASSERT_LE(list.Counts[i], list.BlockSize);
                    for (int k = 0; k < list.Counts[i]; ++k) {
                        ASSERT_GE(list.Of(i)[k].Offset, 0);
                        ASSERT_LT(list.Of(i)[k].Offset, in);
                    }
                }
            }
        }
    }
    TestImage src(2, 2, 4, 200), dst(128, 1, 4);
    ResamplePixels(src, dst, rfLanczos);
    EXPECT_GT(dst.at(64, 0)[0], 0);
}

TEST(Resampler, ResamplesRowsThenColumnsWithClampedSums) {
    TestImage src(4, 2, 3);
    for (int x = 0; x < 4; ++x) {
        src.set(x, 0, RGB(x * 80, 255, 0));
        src.set(x, 1, RGB(x * 80, 255, 0));
    }
    TestImage dst(2, 2, 3);
    ResamplePixels(src, dst, rfTriangle);
    // Output 0: 0.25 * pixel 1 (mirrored) + 0.5 * pixel 0 + 0.25 * pixel 1
    EXPECT_EQ(dst.get(0, 0), RGB(40, 255, 0));
    EXPECT_EQ(dst.get(1, 1), RGB(160, 255, 0));
    // Mitchell's negative lobes do not wrap around.
    TestImage edge(4, 2, 3);
    edge.set(0, 0, 0xFFFFFF), edge.set(0, 1, 0xFFFFFF);
    TestImage wide(9, 2, 3);
    ResamplePixels(edge, wide, rfMitchell);
    for (int x = 0; x < 9; ++x)
        EXPECT_LE(RedOf(wide.get(x, 0)), 255);
}

TEST(Resampler, SameSizeCopiesAndTooSmallRaises) {
    TestImage src(3, 3, 4, 9), dst(3, 3, 4);
    ResamplePixels(src, dst, rfBell);
    EXPECT_EQ(dst.get(2, 2), src.get(2, 2));
    TestImage thin(1, 5, 3), any(4, 4, 3), none(4, 4, 3);
    EXPECT_THROW(ResamplePixels(thin, any, rfBox), EResampleError);
    PixelView empty = any.view();
    empty.Width = 0;
    try {
        ResamplePixels(src, empty, rfBox);
        FAIL();
    } catch (const EResampleError& e) {
        EXPECT_EQ(e.Message, "Source bitmap is too small");
    }
}

// The shortcuts (copies, two taps adding up to one, weights split for 16-bit multiplies) give
// what the plain sums give, for every kernel, both pixel sizes and sizes either way.
TEST(Resampler, FastLinesGiveWhatPlainOnesGive) {
    std::mt19937 rng(41);
    for (int round = 0; round < 120; ++round) {
        const int filter = round % 7, bytes = round % 2 ? 4 : 3;
        const int sw = 2 + int(rng() % 40), sh = 2 + int(rng() % 20);
        const int dw = 1 + int(rng() % 60), dh = 1 + int(rng() % 30);
        TestImage src(sw, sh, bytes), fast(dw, dh, bytes), plain(dw, dh, bytes);
        for (int y = 0; y < sh; ++y) {
            for (int x = 0; x < sw * bytes; ++x)
                src.view().Row(y)[x] = uint8_t(round % 5 == 0 ? (x & 1) * 255 : rng());
        }
        ResamplePixels(src, fast, filter);
        SetFastPaths(false);
        ResamplePixels(src, plain, filter);
        SetFastPaths(true);
        for (int y = 0; y < dh; ++y) {
            ASSERT_EQ(std::memcmp(fast.view().Row(y), plain.view().Row(y), size_t(dw) * bytes), 0)
                << "filter " << filter << " " << sw << "x" << sh << " to " << dw << "x" << dh
                << " row " << y;
        }
    }
}

}  // namespace
}  // namespace skin
