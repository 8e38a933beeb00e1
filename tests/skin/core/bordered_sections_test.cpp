#include "skin/core/bordered_sections.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "tests/skin/core/mask_fixtures.h"

namespace skin {
namespace {

using namespace skin_test;  // NOLINT

// Paints the mask over the whole bitmap and checks every pixel against the layout (the cases
// here have no overlapping pieces, so the painting order plays no part).
void CheckMaskToDC(const TsMaskData& m, int w, int h, int state, int wl, int wt, int wr, int wb,
                   bool fillCentre, const std::string& what) {
    BitmapOwner target = Target(w, h);
    const TestImage before = Snapshot(target.get());
    PaintMaskToDC(target.get(), nullptr, fillCentre, m, state);
    const int fw = (m.R.Right - m.R.Left) / m.ImageCount;
    const int fh = (m.R.Bottom - m.R.Top) / (m.MaskType + 1);
    const Layout l{{0, 0, w, h}, m.R.Left + std::clamp(state, 0, m.ImageCount - 1) * fw,
                   m.R.Top,      fw,
                   fh,           wl,
                   wt,           wr,
                   wb,           fillCentre && (m.StretchMode & smPaintCentre) != 0};
    ExpectPainted(target.get(), before, ViewOf(m.Manager->MasterBitmap.get()), l, m.MaskType,
                  (m.R.Bottom - m.R.Top) / 2, EmptyCacheInfo, false, what);
}

TEST(MaskToDC, PiecesTileOverTheWholeBitmapInEveryState) {
    for (int type : {0, 1}) {
        SyntheticMask s(3, 22, 16, type, 5, 3, 7, 3);
        s.mask.StretchMode = smNoNormalState | smPaintCentre;  // state 0 is painted all the same
        for (int state : {0, 1, 2, 5}) {
            CheckMaskToDC(s.mask, 37, 20, state, 5, 3, 7, 3, true, "37x20");
            CheckMaskToDC(s.mask, 40, 9, state, 5, 3, 7, 3, false, "40x9 without centre");
        }
    }
}

TEST(MaskToDC, ThreeByThreeWithBordersOfTwoKeepsTwoLeftAndTopAndOneRightAndBottom) {
    SyntheticMask s(1, 6, 6, 0, 2, 2, 2, 2);
    CheckMaskToDC(s.mask, 3, 3, 0, 2, 2, 1, 1, false, "3x3");
    BitmapOwner target = Target(3, 3);
    PaintMaskToDC(target.get(), nullptr, false, s.mask, 0);
    EXPECT_EQ(PixelOf(target.get(), 1, 1), PictureColor(1, 1));
    EXPECT_EQ(PixelOf(target.get(), 2, 2), PictureColor(5, 5));
    // Too small a bitmap, no skin, or a 32-bit bitmap: nothing.
    for (auto [w, h, alpha] : {std::tuple{1, 3, false}, {3, 3, true}}) {
        BitmapOwner t = Target(w, h, alpha);
        PaintMaskToDC(t.get(), nullptr, false, s.mask, 0);
        EXPECT_EQ(PixelOf(t.get(), 0, 0) & 0xFFFFFF, kUnder);
    }
    s.mask.Manager = nullptr;
    PaintMaskToDC(target.get(), nullptr, false, s.mask, 0);
}

// The pixels still inside the region, row by row, as '#' and '.'.
std::string RegionRows(win::HRGN rgn, int w, int h) {
    std::string out;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            out += win::PtInRegion(rgn, x, y) ? '#' : '.';
        out += '\n';
    }
    return out;
}

TEST(MaskToDC, KeyColouredCornersLeaveTheRegionRowByRow) {
    SyntheticMask s(1, 9, 9, 0, 3, 3, 3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x)
            s.Set(x, y, kTransparentKey);  // the whole top-left corner
    }
    s.Set(8, 8, kTransparentKey);  // one pixel of the bottom-right corner
    s.Set(4, 0, kTransparentKey);  // an edge's key pixels stay in the region
    const win::HRGN rgn = win::CreateRectRgn(0, 0, 8, 6);
    BitmapOwner target = Target(8, 6);
    PaintMaskToDC(target.get(), rgn, false, s.mask, 0);
    EXPECT_EQ(RegionRows(rgn, 8, 6),
              "...#####\n"
              "...#####\n"
              "...#####\n"
              "########\n"
              "########\n"
              "#######.\n");
    EXPECT_EQ(PixelOf(target.get(), 0, 0), kUnder);           // skipped
    EXPECT_EQ(PixelOf(target.get(), 4, 0), kTransparentKey);  // copied as it is
    win::DeleteObject(rgn);
}

TEST(MaskToDC, OverlappingKeyRunsStayCutFromTheRegion) {
    // 5 + 4 into 8: both top corners cover column 4 and hold the key colour there; the
    // top-right corner's run is ended by an opaque pixel, which must not bring column 4 back.
    SyntheticMask s(1, 14, 14, 0, 5, 1, 4, 1);
    for (int x : {0, 1, 2, 3, 4, 10})
        s.Set(x, 0, kTransparentKey);
    const win::HRGN rgn = win::CreateRectRgn(0, 0, 8, 3);
    BitmapOwner target = Target(8, 3);
    PaintMaskToDC(target.get(), rgn, false, s.mask, 0);
    EXPECT_EQ(RegionRows(rgn, 8, 3), ".....###\n########\n########\n");
    win::DeleteObject(rgn);
}

TEST(TransparentCopy, PiecesAreClippedToBothPicturesAndMaskedOnesMixByTheirMask) {
    SyntheticMask s(1, 6, 4, 1, 0, 0, 0, 0);
    s.Set(1, 0, kTransparentKey);
    TestImage t(5, 5, 3);
    t.fill(kUnder);
    // A key pixel is mixed like any other without `transparent`.
    CopyTransparent24({0, 0, 2, 0}, false, s.mask, nullptr, t, {0, 0, 2, 0});
    const TColor m = MaskColor(1, 4);
    auto mix = [](int d, int s, int m) { return ((d - s) * m + s * 256) >> 8; };
    EXPECT_EQ(t.get(1, 0),
              RGB(mix(1, 255, RedOf(m)), mix(2, 0, GreenOf(m)), mix(3, 255, BlueOf(m))));
    // Source rows without mask rows below them, and columns past the target, are left out.
    TestImage tall(5, 8, 3);
    tall.fill(kUnder);
    CopyTransparent24({3, 3, 9, 9}, true, s.mask, nullptr, tall, {0, 2, 6, 8});
    const TColor p = PictureColor(1, 3), pm = MaskColor(1, 7);
    EXPECT_EQ(tall.get(4, 4), RGB(mix(1, RedOf(p), RedOf(pm)), mix(2, GreenOf(p), GreenOf(pm)),
                                  mix(3, BlueOf(p), BlueOf(pm))));
    EXPECT_EQ(tall.get(3, 5), kUnder);
    EXPECT_EQ(tall.get(2, 3), kUnder);
    // A negative target coordinate, or a 32-bit target, paints nothing.
    TestImage u(4, 4, 3), v(4, 4, 4);
    CopyTransparent24({-1, 0, 2, 2}, false, s.mask, nullptr, u, {0, 0, 3, 3});
    CopyTransparent24({0, 0, 2, 2}, false, s.mask, nullptr, v, {0, 0, 3, 3});
    EXPECT_EQ(u.get(0, 0), 0u);
    EXPECT_EQ(v.get(0, 0), 0u);
}

}  // namespace
}  // namespace skin
