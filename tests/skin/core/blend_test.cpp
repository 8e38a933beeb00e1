#include "skin/core/pixels/blend.h"

#include <gtest/gtest.h>

#include "tests/skin/core/test_image.h"

namespace skin {
namespace {

using skin_test::TestImage;

TEST(Blend, ColourMixes) {
    EXPECT_EQ(AverageColors(0xFFFFFF, 0), RGB(126, 126, 126));
    EXPECT_EQ(AverageColors(0xAA000000 | RGB(10, 20, 30), RGB(30, 20, 10)) >> 24, 0u);
    EXPECT_EQ(BlendTwoColors(0x7F000000 | RGB(255, 0, 10), RGB(0, 255, 11), 0.5),
              0x7F000000 | RGB(128, 128, 10));  // 127.5 and 10.5 to even
}

TEST(Blend, RatioByteBlendsClipAndWantMatchingFormats) {
    TestImage src(4, 4, 3), dst(4, 4, 3), dst32(4, 4, 4);
    src.fill(RGB(200, 100, 255));
    dst.fill(RGB(100, 200, 0));
    BlendBitmapRect(dst, src, 0, {0, 0, 4, 4},
                    {2, -1});  // ratio 0: the source, minus one above 127
    EXPECT_EQ(dst.get(2, 0), RGB(199, 100, 254));
    EXPECT_EQ(dst.get(3, 2), RGB(199, 100, 254));
    EXPECT_EQ(dst.get(2, 3), RGB(100, 200, 0));  // the source's top row was cut off
    EXPECT_EQ(dst.get(1, 0), RGB(100, 200, 0));

    BlendBitmapRect(dst32, src, 0, {0, 0, 4, 4}, {0, 0});
    EXPECT_EQ(dst32.get(0, 0), 0u);

    dst.fill(RGB(100, 200, 0));
    BlendBitmaps24(dst, src, 255);
    // Ratio 255 keeps the destination: (D * 255 + 127) >> 8.
    EXPECT_EQ(dst.get(0, 0), RGB(100, 199, 0));
    TestImage other(3, 4, 3);
    BlendBitmaps24(dst, other, 0);
    EXPECT_EQ(dst.get(0, 0), RGB(100, 199, 0));
}

TEST(Blend, TransparentBlendSkipsTheKeyAndClipsToBothBitmaps) {
    TestImage src(3, 3, 3), dst(4, 4, 4);
    src.fill(RGB(100, 100, 100));
    src.set(1, 1, kTransparentKey);
    dst.fill(0x11000000 | RGB(0, 50, 200));
    // The inclusive rectangle reaches past the source, the position past the target.
    BlendBitmapTransparent(dst, 2, 2, src, {0, 0, 9, 9}, 0.4, kTransparentKey);
    EXPECT_EQ(dst.get(2, 2), 0x11000000 | RGB(60, 80, 140));
    EXPECT_EQ(dst.get(3, 3), 0x11000000 | RGB(0, 50, 200));  // the key pixel
    EXPECT_EQ(dst.get(1, 1), 0x11000000 | RGB(0, 50, 200));
    // A key with 0xFF on top blends the key pixels too.
    BlendBitmapTransparent(dst, 2, 2, src, {1, 1, 1, 1}, 0.5, 0xFF000000 | kTransparentKey);
    EXPECT_EQ(dst.get(2, 2), 0x11000000 | RGB(158, 40, 198));

    TestImage img(2, 2, 3);
    img.fill(RGB(100, 0, 10));
    img.set(0, 0, kTransparentKey);
    BlendBitmapWithColor(img, RGB(0, 100, 20), kTransparentKey, 0.25);
    EXPECT_EQ(img.get(1, 1), RGB(25, 75, 18));  // 17.5 to even
    EXPECT_EQ(img.get(0, 0), kTransparentKey);
}

TEST(Blend, WeightBitmapsMixPerChannel) {
    TestImage dst(2, 2, 3), w(2, 2, 3), f(2, 2, 3), g(3, 3, 3);
    dst.fill(RGB(200, 0, 100));
    w.fill(RGB(255, 128, 0));
    BlendEqualBitmaps(dst, w, RGB(0, 255, 50));
    // ((D - C) * W + C * 256) >> 8
    EXPECT_EQ(dst.get(0, 0), RGB((200 * 255 + 0) >> 8, (0 * 128 + 255 * 128) >> 8, 50));
    f.fill(RGB(255, 255, 255));
    g.fill(RGB(0, 10, 20));
    MixBitmaps(dst, f, g, uint8_t(64));
    EXPECT_EQ(dst.get(1, 1),
              RGB((255 * 64) >> 8, (255 * 64 + 10 * 192) >> 8, (255 * 64 + 20 * 192) >> 8));
    MixBitmaps(dst, f, g, w);
    EXPECT_EQ(dst.get(0, 1), RGB((255 * 255 + 0) >> 8, (255 * 128 + 10 * 128) >> 8, 20));
}

TEST(Blend, PerPixelAlphaOverBackground) {
    TestImage src(3, 2, 4), dst(3, 2, 3), bg(10, 10, 3);
    src.fill(0x80000000 | RGB(200, 0, 100));
    src.set(1, 0, kTransparentKey);  // alpha 0
    dst.fill(RGB(0, 200, 100));
    bg.fill(RGB(7, 8, 9));
    CacheInfo cache{&bg.view(), 5, 5, 0, true};
    DrawAlphaBitmapOverBg({0, 0, 3, 2}, {0, 0, 3, 2}, dst, src, cache, true);
    EXPECT_EQ(dst.get(0, 0), RGB(100, 100, 100));  // ((S - D) * 128 + D * 256) >> 8
    EXPECT_EQ(dst.get(1, 0), RGB(7, 8, 9));
    // Without a ready cache the key pixel is blended like any other (alpha 0 keeps the target).
    dst.fill(RGB(0, 200, 100));
    DrawAlphaBitmapOverBg({-1, 0, 2, 2}, {0, 0, 3, 2}, dst, src, EmptyCacheInfo, true);
    EXPECT_EQ(dst.get(0, 0), RGB(0, 200, 100));  // source pixel 1: the key with alpha 0
    EXPECT_EQ(dst.get(1, 0), RGB(100, 100, 100));
    EXPECT_EQ(dst.get(2, 0), RGB(0, 200, 100));
}

TEST(Blend, PerPixelAlphaOnA32BitTargetKeepsItsAlpha) {
    TestImage src(2, 1, 4), dst(2, 1, 4);
    src.set(0, 0, 0xFF000000 | RGB(255, 1, 2));
    src.set(1, 0, 0x40000000 | RGB(255, 255, 255));
    dst.fill(0x7F000000 | RGB(10, 250, 128));
    DrawAlphaBitmapOverBg({0, 0, 2, 1}, {0, 0, 2, 1}, dst, src, EmptyCacheInfo, false);
    EXPECT_EQ(dst.get(0, 0), 0x7F000000 | RGB(254, 1, 2));  // alpha 255 is not quite all
    EXPECT_EQ(dst.get(1, 0),
              0x7F000000 | RGB((255 * 64 + 10 * 192) >> 8, (255 * 64 + 250 * 192) >> 8,
                               (255 * 64 + 128 * 192) >> 8));
}

TEST(Blend, MaskLayoutSourceReadsItsMaskFromTheLowerHalfOnly) {
    TestImage src(2, 4, 3), dst(2, 4, 3);
    src.set(0, 0, RGB(255, 255, 255));
    src.set(1, 0, RGB(255, 255, 255));
    src.set(0, 2, RGB(0, 128, 255));  // mask of (0, 0)
    src.set(1, 2, RGB(255, 255, 255));
    dst.fill(RGB(100, 100, 100));
    // A rectangle reaching into the mask half paints the picture rows only.
    DrawAlphaBitmapOverBg({0, 0, 2, 4}, {0, 0, 2, 4}, dst, src, EmptyCacheInfo, false);
    EXPECT_EQ(dst.get(0, 0), RGB(255, (100 * 128 + 255 * 128) >> 8, (100 * 255 + 255) >> 8));
    EXPECT_EQ(dst.get(1, 0), RGB(100, 100, 100));  // mask 255 keeps the target
    EXPECT_EQ(dst.get(0, 2), RGB(100, 100, 100));
}

TEST(Blend, AlphaBitmap32PercentTintAndReflection) {
    TestImage src(2, 4, 4), dst(2, 10, 3);
    src.fill(0xFF000000 | RGB(90, 120, 150));
    dst.fill(RGB(10, 10, 10));
    DrawAlphaBitmap32({0, 0, 2, 4}, {0, 0, 2, 4}, dst, src, EmptyCacheInfo, false, clNone, 100,
                      false);
    EXPECT_EQ(dst.get(0, 0), RGB(10, 10, 10));
    DrawAlphaBitmap32({0, 0, 2, 4}, {0, 0, 2, 4}, dst, src, EmptyCacheInfo, false, clNone, 50,
                      false);
    // A' = 255 * 50 div 100 = 127
    EXPECT_EQ(dst.get(0, 0), RGB((90 * 127 + 10 * 129) >> 8, (120 * 127 + 10 * 129) >> 8,
                                 (150 * 127 + 10 * 129) >> 8));
    dst.fill(RGB(10, 10, 10));
    DrawAlphaBitmap32({0, 0, 2, 4}, {0, 0, 2, 4}, dst, src, EmptyCacheInfo, false, RGB(255, 0, 51),
                      0, true);
    EXPECT_EQ(dst.get(1, 3), RGB(119, 0, 23));  // grey 120 tinted to (120, 0, 24), alpha 255
    // Mirror rows 4 and 5 take source rows 3 and 2 at fades 255 and 128.
    EXPECT_EQ(dst.get(0, 4), RGB((90 * 85 + 10 * 171) >> 8, (120 * 85 + 10 * 171) >> 8,
                                 (150 * 85 + 10 * 171) >> 8));
    EXPECT_EQ(RedOf(dst.get(0, 5)), (90 * 42 + 10 * 214) >> 8);
    EXPECT_EQ(dst.get(0, 6), RGB(10, 10, 10));

    // One source row: no mirror, no division by zero.
    TestImage line(2, 1, 4);
    line.fill(0xFF000000 | RGB(50, 50, 50));
    dst.fill(0);
    DrawAlphaBitmap32({0, 0, 2, 1}, {0, 0, 2, 1}, dst, line, EmptyCacheInfo, false, clNone, 0,
                      true);
    EXPECT_EQ(dst.get(0, 1), 0u);
}

TEST(Blend, MaskedAlphaUsesTheMaskRedByte) {
    TestImage dst(3, 1, 3), src(3, 1, 4), mask(3, 1, 3);
    src.fill(0xC8000000 | RGB(255, 255, 255));
    mask.set(0, 0, RGB(0, 9, 9));
    mask.set(1, 0, RGB(255, 0, 0));
    mask.set(2, 0, RGB(100, 0, 0));
    DrawAlphaBitmapMasked(dst, src, mask, {0, 0, 9, 9});
    EXPECT_EQ(RedOf(dst.get(0, 0)), (255 * 200) >> 8);
    EXPECT_EQ(dst.get(1, 0), 0u);
    EXPECT_EQ(RedOf(dst.get(2, 0)), (255 * ((155 * 200) >> 8)) >> 8);
}

TEST(Blend, TransparentCopiesAndMaskPieces) {
    TestImage src(3, 3, 3), dst(4, 4, 4);
    src.fill(RGB(1, 2, 3));
    src.set(0, 0, kTransparentKey);
    CopyBitmapTransparent(dst, src, 2, 2, kTransparentKey);
    EXPECT_EQ(dst.get(2, 2), 0u);
    EXPECT_EQ(dst.get(3, 3), 0xFF000000 | RGB(1, 2, 3));

    TestImage d2(4, 4, 3);
    CopyRectTransparent24(d2, src, 0, 0, {0, 0, 1, 1}, kTransparentKey);  // inclusive
    EXPECT_EQ(d2.get(0, 0), 0u);
    EXPECT_EQ(d2.get(1, 1), RGB(1, 2, 3));
    EXPECT_EQ(d2.get(2, 2), 0u);

    // A corner's key pixels show the background when asked, except over the background itself.
    TestImage bg(4, 4, 3), d3(4, 4, 3);
    bg.fill(RGB(9, 9, 9));
    CacheInfo cache{&bg.view(), 0, 0, 0, true};
    CopyMaskCorner(d3, 0, 0, src, {0, 0, 2, 2}, kTransparentKey, cache, true);
    EXPECT_EQ(d3.get(0, 0), RGB(9, 9, 9));
    EXPECT_EQ(d3.get(2, 2), RGB(1, 2, 3));
    CopyMaskCorner(bg, 0, 0, src, {0, 0, 2, 2}, kTransparentKey, cache, true);
    EXPECT_EQ(bg.get(0, 0), RGB(9, 9, 9));
    EXPECT_EQ(bg.get(1, 0), RGB(1, 2, 3));
    // A cache without a background gives its fill colour, opaque; one that knows no colour, or
    // a ready one without the corner flag, leaves the target.
    TestImage d5(2, 2, 4);
    CopyMaskCorner(d5, 0, 0, src, {0, 0, 0, 0}, kTransparentKey, {nullptr, 0, 0, RGB(4, 5, 6)},
                   false);
    EXPECT_EQ(d5.get(0, 0), 0xFF000000 | RGB(4, 5, 6));
    TestImage d6(2, 2, 3);
    CopyMaskCorner(d6, 0, 0, src, {0, 0, 0, 0}, kTransparentKey, EmptyCacheInfo, true);
    CopyMaskCorner(d6, 1, 0, src, {0, 0, 0, 0}, kTransparentKey, cache, false);
    EXPECT_EQ(d6.get(0, 0), 0u);
    EXPECT_EQ(d6.get(1, 0), 0u);

    // A masked piece: picture row 0, its mask two rows below.
    TestImage pic(1, 4, 3), d4(1, 1, 3);
    pic.set(0, 0, RGB(200, 200, 200));
    pic.set(0, 2, RGB(0, 255, 64));
    d4.fill(RGB(100, 100, 100));
    CopyMaskPiece(d4, 0, 0, pic, {0, 0, 0, 3}, 2, kTransparentKey, EmptyCacheInfo, false);
    EXPECT_EQ(d4.get(0, 0), RGB(200, (100 * 255 + 200) >> 8, (100 * 64 + 200 * 192) >> 8));
}

}  // namespace
}  // namespace skin
