#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/gdi/gdi.h"

namespace {

using namespace win;

constexpr int kSize = 24;
using Grid = std::vector<bool>;

Grid GridOf(HRGN r) {
    Grid g(kSize * kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            g[y * kSize + x] = PtInRegion(r, x - 2, y - 2);
    return g;
}

std::vector<RECT> RectsOf(HRGN r) {
    const DWORD n = GetRegionData(r, 0, nullptr);
    std::vector<char> buf(n);
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    EXPECT_EQ(GetRegionData(r, n, data), n);
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(rects, rects + data->rdh.nCount);
}

// Bands sorted top to bottom, spans left to right, never touching; no two touching bands
// with the same spans.
void ExpectBanded(HRGN r) {
    const auto rects = RectsOf(r);
    for (size_t i = 1; i < rects.size(); ++i) {
        const RECT& a = rects[i - 1];
        const RECT& b = rects[i];
        if (a.top == b.top) {
            EXPECT_EQ(a.bottom, b.bottom);
            EXPECT_LT(a.right, b.left);
        } else {
            EXPECT_LE(a.bottom, b.top);
        }
    }
    // Same spans in touching bands would have been merged.
    size_t i = 0;
    std::vector<std::pair<int, int>> prev;
    int prevBottom = INT32_MIN;
    while (i < rects.size()) {
        std::vector<std::pair<int, int>> spans;
        size_t j = i;
        while (j < rects.size() && rects[j].top == rects[i].top) {
            spans.push_back({rects[j].left, rects[j].right});
            ++j;
        }
        if (prevBottom == rects[i].top) {
            EXPECT_NE(spans, prev);
        }
        prev = spans;
        prevBottom = rects[i].bottom;
        i = j;
    }
}

TEST(Region, CombineAgreesWithPixelSetsOnRandomShapes) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-2, kSize - 3);
    auto randomRegion = [&]() {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        const int n = rng() % 5 + 1;
        for (int i = 0; i < n; ++i) {
            HRGN piece = CreateRectRgn(coord(rng), coord(rng), coord(rng), coord(rng));
            static const int kOps[] = {RGN_OR, RGN_OR, RGN_XOR, RGN_DIFF};
            CombineRgn(r, r, piece, kOps[rng() % 4]);
            DeleteObject(piece);
        }
        return r;
    };
    for (int round = 0; round < 400; ++round) {
        HRGN a = randomRegion(), b = randomRegion();
        const Grid ga = GridOf(a), gb = GridOf(b);
        for (int mode = RGN_AND; mode <= RGN_COPY; ++mode) {
            HRGN d = CreateRectRgn(0, 0, 0, 0);
            const int type = CombineRgn(d, a, b, mode);
            const Grid gd = GridOf(d);
            for (size_t k = 0; k < gd.size(); ++k) {
                const bool want = mode == RGN_AND    ? ga[k] && gb[k]
                                  : mode == RGN_OR   ? ga[k] || gb[k]
                                  : mode == RGN_XOR  ? ga[k] != gb[k]
                                  : mode == RGN_DIFF ? ga[k] && !gb[k]
                                                     : bool(ga[k]);
                ASSERT_EQ(gd[k], want) << "round " << round << " mode " << mode << " at " << k;
            }
            ExpectBanded(d);
            const size_t n = RectsOf(d).size();
            EXPECT_EQ(type, n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION);
            DeleteObject(d);
        }
        // In place, with the destination as the first operand.
        HRGN c = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(c, a, nullptr, RGN_COPY);
        CombineRgn(c, c, b, RGN_XOR);
        HRGN e = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(e, a, b, RGN_XOR);
        EXPECT_TRUE(EqualRgn(c, e));
        DeleteObject(c);
        DeleteObject(e);
        DeleteObject(a);
        DeleteObject(b);
    }
}

TEST(Region, BuildingRowByRowMergesEqualBands) {
    // A 10 x 10 square with a 2 x 2 hole, added one pixel run at a time as a mask scan would.
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < 10; ++y) {
        auto add = [&](int l, int rr) {
            HRGN run = CreateRectRgn(l, y, rr, y + 1);
            CombineRgn(r, r, run, RGN_OR);
            DeleteObject(run);
        };
        if (y == 4 || y == 5) {
            add(0, 4);
            add(6, 10);
        } else {
            add(0, 10);
        }
    }
    const auto rects = RectsOf(r);
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(rects[0], (RECT{0, 0, 10, 4}));
    EXPECT_EQ(rects[1], (RECT{0, 4, 4, 6}));
    EXPECT_EQ(rects[2], (RECT{6, 4, 10, 6}));
    EXPECT_EQ(rects[3], (RECT{0, 6, 10, 10}));
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
    DeleteObject(r);
}

TEST(Region, QueriesOffsetAndData) {
    HRGN r = CreateRectRgn(10, 10, 0, 0);  // put in order
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
    EXPECT_TRUE(PtInRegion(r, 0, 0));
    EXPECT_FALSE(PtInRegion(r, 10, 5));  // right edge is outside
    RECT touching{10, 0, 20, 10}, overlapping{9, 9, 20, 20};
    EXPECT_FALSE(RectInRegion(r, &touching));
    EXPECT_TRUE(RectInRegion(r, &overlapping));
    EXPECT_EQ(OffsetRgn(r, 5, -5), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(r, 5, -5));
    EXPECT_FALSE(PtInRegion(r, 4, -5));

    // Round trip through the rectangle list, also from rectangles in no particular order.
    HRGN hole = CreateRectRgn(8, -2, 10, 0);
    CombineRgn(r, r, hole, RGN_DIFF);
    const DWORD n = GetRegionData(r, 0, nullptr);
    std::vector<char> buf(n);
    GetRegionData(r, n, reinterpret_cast<RGNDATA*>(buf.data()));
    HRGN copy = ExtCreateRegion(nullptr, n, reinterpret_cast<RGNDATA*>(buf.data()));
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(EqualRgn(r, copy));

    struct {
        RGNDATAHEADER h;
        RECT r[3];
    } shuffled;
    shuffled.h.nCount = 3;
    shuffled.r[0] = RECT{0, 5, 10, 10};
    shuffled.r[1] = RECT{5, 0, 10, 5};
    shuffled.r[2] = RECT{0, 0, 6, 5};  // overlaps the second
    HRGN joined = ExtCreateRegion(nullptr, sizeof(shuffled), reinterpret_cast<RGNDATA*>(&shuffled));
    HRGN square = CreateRectRgn(0, 0, 10, 10);
    EXPECT_TRUE(EqualRgn(joined, square));
    // A count larger than the data handed over is refused instead of read past.
    shuffled.h.nCount = 4;
    EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(shuffled), reinterpret_cast<RGNDATA*>(&shuffled)),
              nullptr);
    for (HRGN h : {r, hole, copy, joined, square})
        DeleteObject(h);
}

TEST(Region, StaleHandlesAreRefused) {
    HRGN r = CreateRectRgn(0, 0, 5, 5);
    ASSERT_TRUE(DeleteObject(r));
    EXPECT_FALSE(DeleteObject(r));
    EXPECT_FALSE(PtInRegion(r, 1, 1));
    HRGN d = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(CombineRgn(d, r, d, RGN_OR), ERROR);
    // A handle is never handed out again.
    HRGN again = CreateRectRgn(0, 0, 5, 5);
    EXPECT_NE(again, r);
    DeleteObject(again);
    DeleteObject(d);
}

}  // namespace
