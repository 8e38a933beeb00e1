#include "skin/core/pixels/fast_pixels.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/skin/core/test_image.h"

namespace skin {
namespace {

using skin_test::TestImage;

TEST(FastPixels, AttachNeedsTwoByTwo) {
    TacFast24 f24;
    TacFast32 f32;
    EXPECT_FALSE(f24.Attach(nullptr));
    TestImage thin(1, 5, 3), flat(5, 1, 4), small(2, 2, 4);
    EXPECT_FALSE(f24.Attach(&thin.view()));
    EXPECT_EQ(f24.Width, 0);
    EXPECT_FALSE(f32.Attach(flat));
    EXPECT_TRUE(f32.Attach(small));
    EXPECT_EQ(f32.Width, 2);
    EXPECT_EQ(f32.Stride, small.view().Stride);
}

TEST(FastPixels, ReadAndWriteColoursInPixelByteOrder) {
    TestImage a(2, 2, 3), b(2, 2, 4);
    TacFast24 f24;
    ASSERT_TRUE(f24.Attach(&a.view()));
    f24.SetPixel(1, 1, 0x000000FF);
    EXPECT_EQ(a.at(1, 1)[0], 0);
    EXPECT_EQ(a.at(1, 1)[2], 0xFF);
    EXPECT_EQ(f24.GetPixel(1, 1), 0x000000FFu);

    TacFast32 f32;
    ASSERT_TRUE(f32.Attach(b));
    f32.SetPixel(0, 1, 0x800000FF);
    const uint8_t want[4] = {0, 0, 0xFF, 0x80};
    EXPECT_EQ(std::memcmp(b.at(0, 1), want, 4), 0);
    EXPECT_EQ(f32.GetPixel(0, 1), 0x800000FFu);
    EXPECT_EQ(ColorToPixel32(0x00123456), 0xFF563412u);
}

TEST(FastPixels, SumBlendWeighsTheDestinationAndAlignsBottomLeft) {
    TestImage src(4, 4, 3), dst(4, 4, 3);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            src.set(x, y, RGB(200, 10 * y, 100));
    }
    dst.fill(RGB(100, 0, 200));
    TacFastSum24 sum;
    ASSERT_TRUE(sum.Attach(src, dst));
    sum.Alpha = 128;
    sum.DstRect = {1, 1, 3, 3};
    sum.SrcRect = {0, 0, 2, 4};  // bottom 4: dst row 2 reads source row 3
    sum.BlendRect();
    EXPECT_EQ(RedOf(dst.get(1, 1)), 149);   // 200 over 100
    EXPECT_EQ(BlueOf(dst.get(1, 1)), 150);  // 100 over 200
    EXPECT_EQ(GreenOf(dst.get(1, 2)), (30 * 127 + 0 * 128 + 127) >> 8);
    EXPECT_EQ(GreenOf(dst.get(1, 1)), (20 * 127 + 127) >> 8);
    EXPECT_EQ(dst.get(0, 0), RGB(100, 0, 200));
    EXPECT_EQ(dst.get(3, 3), RGB(100, 0, 200));
}

TEST(FastPixels, FillsClipToTheBitmap) {
    TestImage img(3, 3, 4, 7);
    FillRect32(img, {-5, 1, 50, 2}, RGB(1, 2, 3));
    EXPECT_EQ(img.get(0, 1), 0xFF030201u | 0);
    EXPECT_EQ(img.get(2, 1), RGB(1, 2, 3) | 0xFF000000u);
    EXPECT_EQ(img.at(0, 0)[0], 7);
    FillRect32(img, {2, 0, 1, 3}, 0);  // Right < Left
    EXPECT_EQ(img.at(1, 0)[0], 7);
    FillAlphaRect(img, {1, -1, 9, 9}, 0x40);
    EXPECT_EQ(img.at(1, 2)[3], 0x40);
    EXPECT_EQ(img.at(1, 2)[0], 7);
    EXPECT_EQ(img.at(0, 2)[3], 7);
}

TEST(FastPixels, BlendColorRectIncludesRightAndBottomAndRoundsHalfToEven) {
    TestImage img(4, 3, 4);
    BlendColorRect(img, {0, 0, 4, 3}, 50, 0xFFFFFF);
    EXPECT_EQ(img.get(3, 2), RGB(128, 128, 128));  // 127.5 to the even 128

    TestImage part(4, 4, 3);
    BlendColorRect(part, {1, 1, 2, 2}, 0, RGB(10, 20, 30));
    EXPECT_EQ(part.get(2, 2), RGB(10, 20, 30));
    EXPECT_EQ(part.get(3, 3), 0u);
    EXPECT_EQ(part.get(0, 0), 0u);
    BlendColorRect(part, {-3, -3, 100, 100}, 0, RGB(1, 1, 1));
    EXPECT_EQ(part.get(3, 3), RGB(1, 1, 1));
}

TEST(FastPixels, DisabledLookGreysThenMixesWithTheBackground) {
    TestImage img(2, 2, 3), bg(6, 6, 3);
    img.fill(RGB(30, 60, 90));
    bg.fill(RGB(200, 200, 200));
    CacheInfo cache{&bg.view(), 1, 2, 0, true};
    BlendDisabledEffect(img, {dkGrayed, dkBlended}, cache, {1, 1}, 0);
    // grey 60, then round(S - (S - D) * 0.4) with S the background
    EXPECT_EQ(img.get(1, 1), RGB(144, 144, 144));

    img.fill(RGB(0, 0, 0));
    BlendDisabledEffect(img, {dkBlended}, CacheInfo{nullptr, 0, 0, kTransparentKey, false}, {},
                        RGB(100, 100, 100));
    EXPECT_EQ(img.get(0, 0), RGB(50, 50, 50));
}

}  // namespace
}  // namespace skin
