#include "skin/core/pixels/gradients.h"

#include <gtest/gtest.h>

#include <memory>

#include "skin/core/pixels/bitmaps.h"
#include "tests/skin/core/test_image.h"
#include "vcl/system/exceptions.h"

namespace skin {
namespace {

using skin_test::TestImage;

TEST(Gradients, ParsesFiveWordsPerStop) {
    TsGradArray stops;
    ParseGradientStops(";;16711680;255;;100;0;0;;", stops);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].Color1, 0xFF0000u);
    EXPECT_EQ(stops[0].Color2, 0xFFu);
    EXPECT_EQ(stops[0].Percent, 100);
    EXPECT_EQ(stops[0].Mode, 0);
    ParseGradientStops("1;2;3;4;5;6;7;8;9", stops);
    EXPECT_EQ(stops.size(), 1u);
    ParseGradientStops("-1;2;150;4;5;6;7;-5;9;x", stops);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[0].Color1, 0u);
    EXPECT_EQ(stops[0].Percent, 100);
    EXPECT_EQ(stops[1].Percent, 0);
    EXPECT_THROW(ParseGradientStops("1;2;3;4;5;6;seven;8;9;10", stops), vcl::EConvertError);
    ParseGradientStops("", stops);
    EXPECT_TRUE(stops.empty());
}

TEST(Gradients, RowBandsShareTheirBoundaryRow) {
    TestImage img(3, 10, 4);
    TsGradArray one{{0xFF0000, 0xFF, 100, 0}};
    PaintGradientStops(img, {0, 0, 3, 10}, one, 0);
    EXPECT_EQ(img.get(0, 0), 0xFF000000 | 0xFF0000);
    EXPECT_EQ(img.get(2, 9), 0xFF000000 | 0xFFu);
    EXPECT_EQ(img.get(1, 3), 0xFF000000 | RGB(85, 0, 170));

    TestImage two(2, 10, 3);
    TsGradArray halves{{RGB(0, 0, 0), RGB(100, 0, 0), 50, 0},
                       {RGB(0, 200, 0), RGB(0, 0, 0), 50, 0}};
    PaintGradientStops(two, {0, 0, 2, 10}, halves, 0);
    EXPECT_EQ(two.get(0, 4), RGB(80, 0, 0));
    EXPECT_EQ(two.get(0, 5), RGB(0, 200, 0));  // the second band's first colour
    EXPECT_EQ(two.get(0, 9), RGB(0, 0, 0));
    // Percents short of 100 still end on the last row.
    TsGradArray shortStops{{0, 0, 10, 0}, {RGB(0, 0, 50), RGB(0, 0, 250), 10, 0}};
    PaintGradientStops(two, {0, 0, 2, 10}, shortStops, 0);
    EXPECT_EQ(two.get(1, 9), RGB(0, 0, 250));
}

TEST(Gradients, ColumnBandsLeaveARectangleOneColumnWideAlone) {
    TestImage img(3, 4, 3);
    for (int y = 0; y < 4; ++y)
        img.set(1, y, RGB(y, 10 * y, 100));
    TsGradArray stops{{RGB(255, 0, 0), RGB(0, 0, 255), 100, 1}};
    PaintGradientStops(img, {1, 0, 2, 4}, stops, 0);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(img.get(1, y), RGB(y, 10 * y, 100)) << y;
}

TEST(Gradients, NegativeOffsetsAndOddModesPaintNothingOutside) {
    TestImage img(2, 6, 3, 0x11);
    TsGradArray one{{RGB(0, 0, 0), RGB(250, 0, 0), 100, 0}};
    PaintGradientStops(img, {0, 2, 2, 6}, one, -3);
    EXPECT_EQ(img.get(0, 1), RGB(0x11, 0x11, 0x11));
    EXPECT_EQ(img.get(0, 5), RGB(250, 0, 0));
    TsGradArray mode3{{1, 2, 100, 3}};
    TestImage clean(2, 2, 3);
    PaintGradientStops(clean, {0, 0, 2, 2}, mode3, 0);
    PaintGradientStops(clean, {0, 0, 0, 2}, one, 0);
    EXPECT_EQ(clean.get(1, 1), 0u);
}

TEST(Gradients, ColumnBandsRoundTheirEnds) {
    TestImage img(11, 2, 3);
    TsGradArray stops{{RGB(0, 0, 0), RGB(100, 0, 0), 45, 1},
                      {RGB(0, 50, 0), RGB(0, 150, 0), 55, 1}};
    PaintGradientStops(img, {0, 0, 11, 2}, stops, 0);
    // 45 * 0.11 = 4.95 rounds to column 5
    EXPECT_EQ(img.get(5, 1), RGB(0, 50, 0));
    EXPECT_EQ(img.get(4, 1), RGB(80, 0, 0));
    EXPECT_EQ(img.get(10, 0), RGB(0, 150, 0));
    EXPECT_EQ(img.get(10, 1), img.get(10, 0));
}

TEST(Gradients, TrianglesNeedTheBitmapsCanvas) {
    std::unique_ptr<vcl::TBitmap> b(NewBitmap24(6, 6));
    TsGradArray one{{RGB(10, 20, 30), 0, 100, 2}};
    PaintGradientStops(ViewOf(b.get()), {0, 0, 6, 6}, one, 0);
    EXPECT_EQ(ViewOf(b.get()).At(3, 3)[0], 0xFF);  // a new bitmap is white; a view paints nothing
    PaintGradientStops(b.get(), {-4, 0, 60, 6}, one, 0);
    EXPECT_EQ(ViewOf(b.get()).At(3, 3)[0], 30);
    EXPECT_EQ(ViewOf(b.get()).At(5, 5)[2], 10);
}

}  // namespace
}  // namespace skin
