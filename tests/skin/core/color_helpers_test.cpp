#include "skin/core/pixels/color_helpers.h"

#include <gtest/gtest.h>

#include "tests/skin/core/test_image.h"

namespace skin {
namespace {

using skin_test::TestImage;

TEST(ColorHelpers, SaturationAndHue) {
    EXPECT_EQ(SwapRedBlue(RGB(1, 2, 3)), RGB(3, 2, 1));
    EXPECT_EQ(ChangeColorSaturation(RGB(10, 20, 60), 0), RGB(10, 20, 60));
    EXPECT_EQ(ChangeColorSaturation(RGB(10, 20, 60), 100), RGB(30, 30, 30));
    EXPECT_EQ(ChangeColorSaturation(RGB(10, 20, 240), -100), RGB(0, 0, 255));
    EXPECT_EQ(ShiftColorHue(120, RGB(255, 0, 0)), RGB(0, 255, 0));
    EXPECT_EQ(ShiftColorHue(-120, RGB(255, 0, 0)), RGB(0, 0, 255));
    EXPECT_EQ(ShiftColorHue(360, RGB(200, 100, 50)), RGB(200, 100, 50));
    for (TColor grey : {0x000000u, 0xFFFFFFu, 0x808080u})
        EXPECT_EQ(ShiftColorHue(77, grey), grey);
}

TEST(ColorHelpers, RunsOfAColour) {
    TestImage img(5, 2, 3);
    img.set(1, 0, kTransparentKey), img.set(2, 0, kTransparentKey), img.set(4, 1, kTransparentKey);
    std::vector<TRect> runs;
    CollectColorRuns(runs, img, kTransparentKey);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (TRect{1, 0, 3, 1}));
    EXPECT_EQ(runs[1], (TRect{4, 1, 5, 2}));
    runs.clear();
    CollectColorRuns(runs, img, 0x123456);
    EXPECT_TRUE(runs.empty());
}

TEST(ColorHelpers, MaskCornerCutsSkipBrokenMasks) {
    // Two frames of 6 pixels; key pixels in the top-left and top-right corner of frame 0.
    TestImage img(12, 4, 3);
    img.set(0, 0, kTransparentKey), img.set(5, 0, kTransparentKey), img.set(4, 1, kTransparentKey);
    MaskCorners mask{{0, 0, 12, 4}, 2, 0, 2, 2, 2, 2};
    std::vector<TRect> cuts;
    GetMaskRegionCuts(cuts, img, mask, 100, false, 10);
    ASSERT_EQ(cuts.size(), 3u);
    EXPECT_EQ(cuts[0], (TRect{0, 10, 1, 11}));
    EXPECT_EQ(cuts[1], (TRect{99, 10, 100, 11}));
    EXPECT_EQ(cuts[2], (TRect{98, 11, 99, 12}));
    cuts.clear();
    mask.ImageCount = 0;
    GetMaskRegionCuts(cuts, img, mask, 100, false, 0);
    mask.ImageCount = 2, mask.MaskType = -1;
    GetMaskRegionCuts(cuts, img, mask, 100, true, 0);
    EXPECT_TRUE(cuts.empty());
    // Borders wider than the image scan only what is there.
    mask = {{0, 0, 12, 4}, 1, 0, 50, 50, 50, 50};
    GetMaskRegionCuts(cuts, img, mask, 100, false, 0);
    EXPECT_FALSE(cuts.empty());
}

}  // namespace
}  // namespace skin
