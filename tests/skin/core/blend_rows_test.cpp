// The blends' fast rows against their plain ones, through the painters: random sizes, formats,
// rectangles reaching past either bitmap and offsets that leave the rows unaligned.
#include "skin/core/pixels/blend_rows.h"

#include <gtest/gtest.h>

#include <random>

#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/fast_paths.h"
#include "tests/skin/core/test_image.h"

namespace skin {
namespace {

using skin_test::TestImage;

void Randomise(TestImage& img, std::mt19937& rng) {
    const auto& v = img.view();
    for (int y = 0; y < v.Height; ++y) {
        for (int x = 0; x < v.Width * v.BytesPerPixel; ++x)
            v.Row(y)[x] = uint8_t(rng());
    }
}

bool Same(const TestImage& a, const TestImage& b) {
    const auto &va = a.view(), &vb = b.view();
    for (int y = 0; y < va.Height; ++y) {
        for (int x = 0; x < va.Width * va.BytesPerPixel; ++x) {
            if (va.Row(y)[x] != vb.Row(y)[x]) return false;
        }
    }
    return true;
}

// Runs a painter on copies of one target, once with the fast rows and once with the plain ones.
template <typename Paint>
void ExpectBothWaysAlike(const TestImage& target, Paint paint, const char* what, int round) {
    TestImage fast = target, plain = target;
    paint(fast);
    SetFastPaths(false);
    paint(plain);
    SetFastPaths(true);
    EXPECT_TRUE(Same(fast, plain)) << what << " round " << round;
}

TEST(BlendRows, FastAndPlainRowsPaintAlike) {
    std::mt19937 rng(31);
    auto coord = [&](int size) { return int(rng() % (size + 6)) - 3; };
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 12);
        const int bytes = rng() % 2 ? 4 : 3;
        TestImage src(w + int(rng() % 5), h, 4), other(w, h, bytes),
            dst(w, h + int(rng() % 3), bytes);
        Randomise(src, rng), Randomise(other, rng), Randomise(dst, rng);
        const TRect dr{coord(w), coord(h), coord(w) + w, coord(h) + h};
        const TRect sr{coord(w), coord(h), coord(w) + w, coord(h) + h};
        ExpectBothWaysAlike(
            dst,
            [&](TestImage& t) { DrawAlphaBitmapOverBg(dr, sr, t, src, EmptyCacheInfo, false); },
            "per-pixel alpha", round);
        ExpectBothWaysAlike(
            dst,
            [&](TestImage& t) {
                DrawAlphaBitmap32(dr, sr, t, src, EmptyCacheInfo, false, clNone, 0, round % 3 == 0);
            },
            "alpha with mirror", round);
        const uint8_t ratio = uint8_t(rng());
        ExpectBothWaysAlike(
            dst,
            [&](TestImage& t) {
                BlendBitmapRect(t, other, ratio, sr, {dr.Left, dr.Top});
            },
            "constant ratio", round);
    }
}

}  // namespace
}  // namespace skin
