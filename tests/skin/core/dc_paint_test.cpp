#include "skin/core/pixels/dc_paint.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/skin/core/dib_dc.h"
#include "tests/skin/core/test_image.h"

namespace skin {
namespace {

using skin_test::DibDC;

std::string Picture(const DibDC& d, TColor mark) {
    std::string s;
    for (int y = 0; y < d.view().Height; ++y) {
        for (int x = 0; x < d.view().Width; ++x)
            s += d.get(x, y) == mark ? '#' : '.';
        s += '\n';
    }
    return s;
}

TEST(DcPaint, FillsAndBands) {
    DibDC d(6, 5, 24);
    FillRectSolid(d.dc(), {0, 0, 6, 5}, 0x80000000 | win::COLOR_WINDOW);  // a system colour
    EXPECT_EQ(d.get(0, 0), TColor(win::GetSysColor(win::COLOR_WINDOW)));
    FillRectSolid(d.dc(), {0, 0, 6, 5}, 0);
    FillBorderBands(d.dc(), {0, 0, 6, 5}, 1, 1, 2, 1, 0xFF);
    EXPECT_EQ(Picture(d, 0xFF),
              "######\n"
              "#...##\n"
              "#...##\n"
              "#...##\n"
              "######\n");
}

TEST(DcPaint, ThreeDFrameRingsAndTheFocusDots) {
    DibDC d(6, 6, 24);
    int width = 2;
    Draw3DFrame(d.dc(), {0, 0, 6, 6}, 0xFFFFFF, 0x0000FF, width);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(Picture(d, 0xFFFFFF),
              "#####.\n"
              "####..\n"
              "##....\n"
              "##....\n"
              "#.....\n"
              "......\n");
    EXPECT_EQ(Picture(d, 0x0000FF),
              ".....#\n"
              "....##\n"
              "....##\n"
              "....##\n"
              ".#####\n"
              "######\n");

    DibDC f(8, 8, 24);
    FillRectSolid(f.dc(), {0, 0, 8, 8}, RGB(9, 9, 9));
    DrawDottedFocusRect(f.dc(), {1, 1, 7, 7});
    EXPECT_EQ(Picture(f, 0),
              "........\n"
              ".#..#..#\n"
              "........\n"
              "........\n"
              ".#.....#\n"
              "........\n"
              "........\n"
              ".#..#..#\n");
}

TEST(DcPaint, NineSliceKeepsCornersAndTilesSides) {
    // Source 4 x 4: corners 1 pixel, the edge pieces two pixels long.
    DibDC src(4, 4, 24), dst(7, 4, 24);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            src.set(x, y, RGB(x * 10, y * 10, 0));
    }
    PaintBitmapNineSlice(dst.dc(), src.dc(), {0, 0, 7, 4}, {0, 0, 4, 4}, {1, 1, 1, 1}, {2, 1, 1, 1},
                         {}, true);
    EXPECT_EQ(dst.get(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dst.get(6, 3), RGB(30, 30, 0));
    // The top edge repeats source columns 1, 2 over target columns 1..5, the last tile cut.
    EXPECT_EQ(dst.get(1, 0), RGB(10, 0, 0));
    EXPECT_EQ(dst.get(2, 0), RGB(20, 0, 0));
    EXPECT_EQ(dst.get(3, 0), RGB(10, 0, 0));
    EXPECT_EQ(dst.get(5, 0), RGB(10, 0, 0));
    EXPECT_EQ(dst.get(4, 2), RGB(20, 20, 0));
    // Stretched, a side piece covers its span at once; a zero-size piece paints nothing.
    PaintBitmapNineSlice(dst.dc(), src.dc(), {0, 0, 7, 4}, {0, 0, 4, 4}, {1, 1, 1, 1}, {1, 1, 1, 1},
                         {1, 1, 1, 1, 1}, true);
    EXPECT_EQ(dst.get(5, 0), RGB(20, 0, 0));
    PaintBitmapNineSlice(dst.dc(), src.dc(), {0, 0, 7, 4}, {0, 0, 2, 2}, {1, 1, 1, 1}, {1, 1, 1, 1},
                         {}, true);
}

TEST(DcPaint, TriangleGradientCornersAndOneStop) {
    DibDC d(9, 9, 32);
    TsGradArray one{{RGB(10, 20, 30), 0, 100, 2}};
    PaintGradientTriangles(d.dc(), {0, 0, 9, 9}, one);
    for (auto [x, y] : {std::pair{0, 0}, {8, 8}, {4, 4}, {0, 8}}) {
        EXPECT_EQ(d.get(x, y), RGB(10, 20, 30));
    }
    TsGradArray five{{RGB(255, 0, 0), 0, 0, 2},
                     {RGB(0, 0, 0), 0, 0, 2},
                     {RGB(0, 255, 0), 0, 0, 2},
                     {RGB(0, 0, 255), 0, 0, 2},
                     {RGB(255, 255, 255), 0, 0, 2}};
    PaintGradientTriangles(d.dc(), {0, 0, 9, 9}, five);
    EXPECT_GT(RedOf(d.get(0, 0)), 200);
    EXPECT_GT(GreenOf(d.get(8, 0)), 200);
    EXPECT_LT(RedOf(d.get(4, 4)) + GreenOf(d.get(4, 4)), 80);
}

TEST(DcPaint, RegionFromBitmapCutsOutTheColour) {
    skin_test::TestImage img(4, 3, 3);
    img.set(1, 0, kTransparentKey), img.set(2, 0, kTransparentKey), img.set(3, 2, kTransparentKey);
    win::HRGN rgn = RegionFromBitmap(img, kTransparentKey);
    EXPECT_FALSE(win::PtInRegion(rgn, 1, 0));
    EXPECT_FALSE(win::PtInRegion(rgn, 3, 2));
    EXPECT_TRUE(win::PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(win::PtInRegion(rgn, 3, 0));
    win::DeleteObject(rgn);
    skin_test::TestImage plain(4, 3, 3);
    rgn = RegionFromBitmap(plain, kTransparentKey);
    win::HRGN whole = win::CreateRectRgn(0, 0, 4, 3);
    EXPECT_TRUE(win::EqualRgn(rgn, whole));
    win::DeleteObject(rgn);
    win::DeleteObject(whole);
}

}  // namespace
}  // namespace skin
