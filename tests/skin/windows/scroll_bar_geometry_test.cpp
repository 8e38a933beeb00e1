// The scroll-bar arithmetic: thumb, drag, hit test and the places of bars and size box.
#include "skin/windows/scroll/scroll_bar_geometry.h"

#include <gtest/gtest.h>

#include <random>

namespace skin {
namespace {

win::SCROLLINFO Info(int nMin, int nMax, unsigned nPage, int nPos) {
    win::SCROLLINFO si;
    si.fMask = win::SIF_ALL;
    si.nMin = nMin;
    si.nMax = nMax;
    si.nPage = nPage;
    si.nPos = nPos;
    return si;
}

TEST(ScrollGeometry, ThumbSizeAndPlace) {
    struct Case {
        const char* what;
        win::SCROLLINFO si;
        int start, length;
        bool visible;
    };
    // A bar from 100 to 300 with 16-pixel arrows: a track of 168 from 116.
    const Case cases[] = {
        {"a tenth of the range", Info(0, 99, 10, 0), 116, 17, true},
        {"at the last page", Info(0, 99, 10, 90), 300 - 16 - 17, 17, true},
        {"nMin not 0", Info(-50, 49, 10, 40), 300 - 16 - 17, 17, true},
        {"no page: one arrow long", Info(0, 99, 0, 0), 116, 16, true},
        {"a tiny page: the minimum", Info(0, 9999, 1, 0), 116, 10, true},
        {"the page covers the range", Info(0, 99, 100, 0), 116, 168, true},
        {"a page beyond the range", Info(0, 99, 500, 0), 116, 840, false},
        {"nMin above nMax", Info(10, 0, 5, 3), 116, 0, false},
        {"a huge range", Info(INT32_MIN, INT32_MAX, 1u << 31, INT32_MAX), 116 + 84, 84, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ThumbPlace t = CalcScrollThumbRect(100, 300, 16, c.si);
        EXPECT_EQ(t.start, c.start);
        EXPECT_EQ(t.length, c.length);
        EXPECT_EQ(t.visible, c.visible);
    }
    EXPECT_EQ(SafeMulDiv(5, 7, 0), 0);
    EXPECT_EQ(SafeMulDiv(5, 7, -3), 0);
    EXPECT_EQ(SafeMulDiv(-5, 3, 2), -8);  // half away from zero
}

// Rule: a thumb dragged to any pixel and placed again from the position it sent stands for
// the same position; the thumb is pinned at both ends.
TEST(ScrollGeometry, DragThenPlaceKeepsThePositionForEveryPixel) {
    const win::SCROLLINFO infos[] = {Info(0, 99, 10, 0), Info(-7, 12, 3, 0), Info(0, 99, 0, 0),
                                     Info(5, 1005, 0, 5), Info(0, 9, 10, 0),
                                     Info(0, 1 << 20, 4096, 0)};
    for (const auto& base : infos) {
        SCOPED_TRACE(base.nMax);
        for (int x = 90; x < 310; ++x) {
            win::SCROLLINFO si = base;
            ThumbPlace t = CalcScrollThumbRect(100, 300, 16, si);
            int start = DraggedThumbStart(100, 300, 16, t.length, x, 4);
            EXPECT_GE(start, 116);
            EXPECT_LE(start, std::max(116, 284 - t.length));
            int pos = ScrollPosForThumb(100, 300, 16, si, start);
            ASSERT_GE(pos, si.nMin);
            ASSERT_LE(pos, si.nMax);
            si.nPos = pos;
            ThumbPlace placed = CalcScrollThumbRect(100, 300, 16, si);
            EXPECT_EQ(ScrollPosForThumb(100, 300, 16, si, placed.start), pos) << x;
        }
    }
    // Far past either end the thumb stays on the track and stands for the first and the last
    // position a page allows.
    win::SCROLLINFO si = Info(0, 99, 10, 0);
    EXPECT_EQ(ScrollPosForThumb(100, 300, 16, si, DraggedThumbStart(100, 300, 16, 17, -500, 4)),
              0);
    EXPECT_EQ(ScrollPosForThumb(100, 300, 16, si, DraggedThumbStart(100, 300, 16, 17, 900, 4)),
              90);
}

TEST(ScrollGeometry, PartsAlongTheBar) {
    win::SCROLLINFO si = Info(0, 99, 10, 50);  // 50 of 90 of 151 pixels: 116 + 84
    ThumbPlace t = CalcScrollThumbRect(100, 300, 16, si);
    ASSERT_EQ(t.start, 200);
    const std::pair<int, int> along[] = {{99, spNone},         {100, spFirstArrow},
                                         {115, spFirstArrow},  {116, spPageBefore},
                                         {199, spPageBefore},  {200, spThumb},
                                         {216, spThumb},       {217, spPageAfter},
                                         {283, spPageAfter},   {284, spSecondArrow},
                                         {299, spSecondArrow}, {300, spNone}};
    for (auto [x, part] : along) EXPECT_EQ(ScrollBarPartAt(100, 300, 16, si, x), part) << x;
    // A bar shorter than two arrows: two halves, the second from the middle.
    EXPECT_EQ(ScrollBarPartAt(100, 125, 16, si, 111), spFirstArrow);
    EXPECT_EQ(ScrollBarPartAt(100, 125, 16, si, 112), spSecondArrow);
    // A thumb filling the track hits nothing between the arrows.
    EXPECT_EQ(ScrollBarPartAt(100, 300, 16, Info(0, 99, 100, 0), 150), spNone);
}

TEST(ScrollGeometry, BarsAndSizeBoxFollowTheSideOfTheVerticalBar) {
    const win::RECT window{100, 100, 300, 250};
    const NonClientBorders border{2, 2, 2, 2};
    ScrollBarRects right = ScrollBarRectsOf(window, border, 16, true, 17, true, false);
    EXPECT_EQ(right.vert.left, 298 - 17);
    EXPECT_EQ(right.vert.bottom, 248 - 16);
    EXPECT_EQ(right.horz.left, 102);
    EXPECT_EQ(right.horz.right, 298 - 17);
    EXPECT_EQ(right.sizeBox.left, 281);
    EXPECT_EQ(right.sizeBox.top, 232);
    ScrollBarRects left = ScrollBarRectsOf(window, border, 16, true, 17, true, true);
    EXPECT_EQ(left.vert.left, 102);
    EXPECT_EQ(left.vert.right, 119);
    EXPECT_EQ(left.horz.left, 119);
    EXPECT_EQ(left.sizeBox.left, 102);
    // The grip only in the corner of a top-level parent's client area.
    const win::RECT parentClient{50, 50, 300, 250};
    EXPECT_TRUE(SizeGripShown(right, border, false, true, parentClient));
    EXPECT_FALSE(SizeGripShown(right, border, false, false, parentClient));
    EXPECT_FALSE(SizeGripShown(left, border, true, true, parentClient));
    EXPECT_TRUE(SizeGripShown(left, border, true, true, win::RECT{100, 50, 400, 250}));
    // A hidden bar takes no room.
    ScrollBarRects onlyVert = ScrollBarRectsOf(window, border, 16, false, 17, true, false);
    EXPECT_EQ(onlyVert.vert.bottom, 248);
    EXPECT_EQ(ScrollArrowLength(-1, 17), 17);
    EXPECT_EQ(ScrollArrowLength(-2, 17, 21), 42);
    EXPECT_EQ(ScrollArrowLength(12, 17, 21), 12);
    EXPECT_EQ(ScrollBarThickness(-1, 16), 16);
}

// Random scroll information and bar sizes: no fault, no division by zero, every position
// within the range.
TEST(ScrollGeometry, RandomInformationStaysInRange) {
    std::mt19937 rng(12345);
    auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int extremes[] = {INT32_MIN, -1000, -1, 0, 1, 7, 1000, INT32_MAX};
    for (int i = 0; i < 20000; ++i) {
        win::SCROLLINFO si = Info(extremes[any(0, 7)] + any(-3, 3) / 4,
                                  extremes[any(0, 7)] - any(0, 3) / 4, unsigned(any(-5, 200)),
                                  any(-2000, 2000));
        if (any(0, 3) == 0) si.nPage = 0xFFFFFFFFu - unsigned(any(0, 3));
        int a = any(-20, 40), b = a + any(-5, 400), arrow = any(-3, 60);
        ThumbPlace t = CalcScrollThumbRect(a, b, arrow, si);
        int x = any(a - 10, b + 10);
        int part = ScrollBarPartAt(a, b, arrow, si, x);
        EXPECT_TRUE(part == spNone || (part >= 0 && part <= 3) || part == spThumb);
        int pos = ScrollPosForThumb(a, b, arrow, si, DraggedThumbStart(a, b, arrow, t.length, x, 3));
        if (si.nMin <= si.nMax) {
            ASSERT_GE(pos, si.nMin);
            ASSERT_LE(pos, si.nMax);
        }
    }
}

}  // namespace
}  // namespace skin
