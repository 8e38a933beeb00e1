#include "skin/core/state/mask_paint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "skin/core/data/internal_skin.h"
#include "skin/core/data/skin_content.h"
#include "skin/core/data/stored_skins.h"
#include "platform/gdi/dc.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_loading.h"
#include "tests/skin/core/mask_fixtures.h"
#include "tests/skin/core/skin_reading.h"
#include "tests/skin/core/test_image.h"
#include "vcl/graphics/bitmap.h"

namespace skin {
namespace {

using namespace skin_test;  // NOLINT

// Paints the mask and checks every pixel of the target against the layout.
void CheckMask(const TsMaskData& m, int w, int h, TRect t, int state, int wl, int wt, int wr,
               int wb, bool fillCentre, const std::string& what,
               const CacheInfo& cache = EmptyCacheInfo, bool corner = true) {
    BitmapOwner target = Target(w, h);
    const TestImage before = Snapshot(target.get());
    PaintMaskIntoRect(target.get(), t, fillCentre, cache, m, state, corner);
    const int fw = (m.R.Right - m.R.Left) / m.ImageCount;
    const int fh = (m.R.Bottom - m.R.Top) / (m.MaskType + 1);
    const int frame = std::clamp(state, 0, m.ImageCount - 1);
    const Layout l{t,       m.R.Left + frame * fw,
                   m.R.Top, fw,
                   fh,      wl,
                   wt,      wr,
                   wb,      fillCentre && (m.StretchMode & smPaintCentre) != 0};
    const PixelView src = ViewOf(m.Bmp ? m.Bmp.get() : m.Manager->MasterBitmap.get());
    ExpectPainted(target.get(), before, src, l, m.MaskType, (m.R.Bottom - m.R.Top) / 2, cache,
                  corner, what);
}

class MaskPaint : public ::testing::TestWithParam<int> {};  // the mask type

TEST_P(MaskPaint, NinePiecesLandWhereTheLayoutPutsThem) {
    const int type = GetParam();
    SyntheticMask s(3, 22, 16, type, 5, 3, 7, 3);  // centre pieces 10 x 10
    s.mask.StretchMode = smPaintCentre;
    for (int state : {0, 1, 2}) {
        // 25 = 10 + 10 + 5 across the middle, 30 = 10 + 10 + 10, a target inside a larger one.
        CheckMask(s.mask, 37, 20, {0, 0, 37, 20}, state, 5, 3, 7, 3, true, "37x20");
        CheckMask(s.mask, 50, 40, {3, 4, 45, 40}, state, 5, 3, 7, 3, true, "42x36 at 3,4");
    }
    // The centre keeps what was there without FillCentre, or without the mask's centre bit.
    CheckMask(s.mask, 37, 20, {0, 0, 37, 20}, 1, 5, 3, 7, 3, false, "no FillCentre");
    s.mask.StretchMode = 0;
    CheckMask(s.mask, 37, 20, {0, 0, 37, 20}, 1, 5, 3, 7, 3, true, "no centre bit");
}

TEST_P(MaskPaint, BordersShrinkEvenlyAndTheRightOneTakesTheOddPixel) {
    const int type = GetParam();
    SyntheticMask s(1, 14, 14, type, 5, 5, 5, 5);
    s.mask.StretchMode = smPaintCentre;
    CheckMask(s.mask, 7, 7, {0, 0, 7, 7}, 0, 4, 4, 3, 3, true, "5 + 5 into 7");
    // 5 + 4 into 8 stays 5 and 4: the right corner covers the left corner's last column.
    s.mask.WR = s.mask.WB = 4;
    CheckMask(s.mask, 8, 8, {0, 0, 8, 8}, 0, 5, 5, 4, 4, true, "5 + 4 into 8");
    CheckMask(s.mask, 8, 3, {0, 0, 8, 3}, 0, 5, 1, 4, 0, true, "5 + 4 into 8 x 3");
}

TEST_P(MaskPaint, NothingIsPaintedForTinyTargetsHiddenStatesOrUnusableMasks) {
    const int type = GetParam();
    SyntheticMask s(2, 10, 10, type, 3, 3, 3, 3);
    auto untouched = [&](TRect t, int state, const std::string& what) {
        BitmapOwner target = Target(12, 12);
        PaintMaskIntoRect(target.get(), t, true, EmptyCacheInfo, s.mask, state, true);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(PixelOf(target.get(), x, y), kUnder) << what << " " << x << "," << y;
        }
    };
    untouched({0, 0, 1, 10}, 0, "1 pixel wide");
    untouched({0, 0, 10, 1}, 0, "1 pixel high");
    untouched({5, 5, 3, 3}, 0, "inside out");
    s.mask.StretchMode = smNoNormalState;
    untouched({0, 0, 10, 10}, 0, "bit 2 in state 0");
    CheckMask(s.mask, 12, 12, {0, 0, 10, 10}, 1, 3, 3, 3, 3, false, "bit 2 in state 1");
    // A state beyond the frames paints the last one; a negative one the first.
    CheckMask(s.mask, 12, 12, {0, 0, 12, 12}, 7, 3, 3, 3, 3, false, "state 7");
    CheckMask(s.mask, 12, 12, {0, 0, 12, 12}, -3, 3, 3, 3, 3, false, "state -3");
    s.mask.ImageCount = 0;
    untouched({0, 0, 10, 10}, 1, "no frames");
    s.mask.ImageCount = -2;
    untouched({0, 0, 10, 10}, 1, "a negative count");
    s.mask.ImageCount = 2;
    s.mask.Manager = nullptr;
    untouched({0, 0, 10, 10}, 1, "no skin");
}

INSTANTIATE_TEST_SUITE_P(Types, MaskPaint, ::testing::Values(0, 1));

TEST(MaskPaintCorners, KeyPixelsShowTheBackgroundTheFillColourOrTheTarget) {
    for (int type : {0, 1}) {
        SyntheticMask s(1, 12, 12, type, 3, 3, 3, 3);
        for (int y = 0; y < 3; ++y) {
            s.Set(y, 0, kTransparentKey);        // top-left corner
            s.Set(11 - y, 11, kTransparentKey);  // bottom-right corner
            s.Set(5 + y, 1, kTransparentKey);    // top edge: kept by masks, copied by plain ones
        }
        TestImage bg(30, 30, 3);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 30; ++x)
                bg.set(x, y, RGB(100 + x, 100 + y, 50));
        }
        const std::string t = type == 0 ? "plain: " : "masked: ";
        CheckMask(s.mask, 12, 12, {0, 0, 12, 12}, 0, 3, 3, 3, 3, false, t + "ready, flag on",
                  CacheInfo{&bg.view(), 4, 5, kTransparentKey, true}, true);
        CheckMask(s.mask, 12, 12, {0, 0, 12, 12}, 0, 3, 3, 3, 3, false, t + "ready, flag off",
                  CacheInfo{&bg.view(), 4, 5, RGB(9, 9, 9), true}, false);
        CheckMask(s.mask, 12, 12, {0, 0, 12, 12}, 0, 3, 3, 3, 3, false, t + "fill colour",
                  CacheInfo{nullptr, 0, 0, RGB(9, 8, 7), false}, false);
        CheckMask(s.mask, 12, 12, {0, 0, 12, 12}, 0, 3, 3, 3, 3, false, t + "empty cache",
                  EmptyCacheInfo, true);
    }
    // The fill colour is opaque in a 32-bit target.
    SyntheticMask s(1, 12, 12, 0, 3, 3, 3, 3);
    s.Set(0, 0, kTransparentKey);
    BitmapOwner target = Target(12, 12, true);
    PaintMaskIntoRect(target.get(), {0, 0, 12, 12}, false, CacheInfo{nullptr, 0, 0, RGB(9, 8, 7)},
                      s.mask, 0, true);
    EXPECT_EQ(PixelOf(target.get(), 0, 0), 0xFF000000 | RGB(9, 8, 7));
    EXPECT_EQ(PixelOf(target.get(), 1, 1), 0xFF000000 | PictureColor(1, 1));
}

TEST(MaskPaintCorners, EmptyCacheInfoKnowsNoColour) {
    EXPECT_EQ(EmptyCacheInfo.FillColor, kTransparentKey);
    EXPECT_FALSE(EmptyCacheInfo.Ready);
    EXPECT_EQ(CacheInfo{}.FillColor, kTransparentKey);
}

TEST(MaskPaintEdges, MaskedPiecesWithoutHeightPaintNoSidesOrCentre) {
    SyntheticMask s(1, 12, 10, 1, 3, 5, 3, 5);  // WT + WB = the frame height
    s.mask.StretchMode = smPaintCentre;
    CheckMask(s.mask, 20, 20, {0, 0, 20, 20}, 0, 3, 5, 3, 5, true, "no source height");
    BitmapOwner target = Target(20, 20);
    PaintMaskIntoRect(target.get(), {0, 0, 20, 20}, true, EmptyCacheInfo, s.mask, 0, true);
    EXPECT_EQ(PixelOf(target.get(), 0, 10), kUnder);
    EXPECT_EQ(PixelOf(target.get(), 10, 10), kUnder);
    // A plain mask does the same: a piece of no size covers nothing.
    SyntheticMask p(1, 6, 10, 0, 3, 3, 3, 3);
    CheckMask(p.mask, 20, 20, {0, 0, 20, 20}, 0, 3, 3, 3, 3, false, "plain, no source width");
}

TEST(MaskPaintEdges, StretchedPlainEdgesCoverTheirWholeSpan) {
    SyntheticMask s(1, 9, 9, 0, 3, 3, 3, 3);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x)
            s.Set(x, y, x >= 3 && x < 6 ? RGB(40, 50, 60) : PictureColor(x, y));
    }
    s.mask.StretchMode = smStretch;
    BitmapOwner target = Target(40, 20);
    PaintMaskIntoRect(target.get(), {0, 0, 40, 20}, true, EmptyCacheInfo, s.mask, 0, true);
    for (int x = 3; x < 37; ++x) {
        EXPECT_EQ(PixelOf(target.get(), x, 0), RGB(40, 50, 60)) << x;
        EXPECT_EQ(PixelOf(target.get(), x, 19), RGB(40, 50, 60)) << x;
    }
    EXPECT_EQ(PixelOf(target.get(), 10, 10), kUnder);  // no centre bit
    EXPECT_EQ(PixelOf(target.get(), 0, 0), PictureColor(0, 0));
    EXPECT_EQ(PixelOf(target.get(), 39, 19), PictureColor(8, 8));
}

// Tiled plain pieces are copied straight into a picture nothing clips; through a clipped DC they
// go by block transfers. Both give the same bytes, the fourth one of 32-bit targets included.
TEST(MaskPaintEdges, TiledPlainPiecesPaintAlikeStraightOrThroughAClippedDC) {
    SyntheticMask s(2, 14, 12, 0, 3, 2, 4, 3);
    s.mask.StretchMode = smPaintCentre;
    const struct {
        bool alpha;
        TRect t;
    } cases[] = {{false, {0, 0, 41, 33}}, {true, {0, 0, 41, 33}}, {false, {-5, -4, 38, 29}},
                 {true, {6, 3, 50, 40}}};
    for (const auto& c : cases) {
        BitmapOwner straight = Target(44, 36, c.alpha), clipped = Target(44, 36, c.alpha);
        const PixelView a = ViewOf(straight.get()), b = ViewOf(clipped.get());
        for (int y = 0; y < 36 && c.alpha; ++y) {
            for (int x = 0; x < 44; ++x)
                a.At(x, y)[3] = b.At(x, y)[3] = 0x80;
        }
        win::IntersectClipRect(clipped->Canvas()->Handle(), 0, 0, 44, 35);  // one row short
        PaintMaskIntoRect(straight.get(), c.t, true, EmptyCacheInfo, s.mask, 1, true);
        PaintMaskIntoRect(clipped.get(), c.t, true, EmptyCacheInfo, s.mask, 1, true);
        for (int y = 0; y < 35; ++y)
            ASSERT_EQ(0, std::memcmp(a.Row(y), b.Row(y), size_t(44 * a.BytesPerPixel)))
                << "row " << y << (c.alpha ? " of 32 bits" : " of 24 bits") << " into "
                << c.t.Left << "," << c.t.Top;
    }
}

// The internal skin, read as the program reads it.
class InternalSkinMasks : public ::testing::Test {
protected:
    void SetUp() override {
        AddInternalSkin(stored);
        SkinLoadRequest request;
        request.InternalSkins = &stored;
        loaded = LoadInternalSkin(request, 0);
        ASSERT_TRUE(loaded.Content);
    }
    TsStoredSkins stored{nullptr};
    LoadedSkin loaded;
};

TEST_F(InternalSkinMasks, BorderMasksPaintTheirPiecesInEveryStateAndSize) {
    const TsSkinContent& skin = *loaded.Content;
    for (const char* section : {"BUTTON", "EDIT", "GROUPBOX", "COMBOBTN", "FORM"}) {
        const int i = skin.GetMaskIndex(skin.GetSkinIndex(section), section, "BORDERSMASK");
        ASSERT_TRUE(skin.IsValidImgIndex(i)) << section << " of " << skin.Sections.size();
        const TsMaskData& m = skin.Masks[size_t(i)];
        ASSERT_GT(m.ImageCount, 0) << section;
        for (int state = 0; state <= m.ImageCount; ++state) {
            for (auto [w, h] : {std::pair{2, 2}, {5, 3}, {23, 17}, {120, 31}}) {
                int wl = m.WL, wt = m.WT, wr = m.WR, wb = m.WB;
                auto shrink = [](int size, int& a, int& b) {
                    if (size >= a + b) return;
                    const int d = (a + b - size) / 2;
                    a = std::max(a - d, 0), b = std::max(b - d - size % 2, 0);
                };
                shrink(w, wl, wr), shrink(h, wt, wb);
                const std::string what = std::string(section) + " state " + std::to_string(state) +
                                         " " + std::to_string(w) + "x" + std::to_string(h);
                if (state == 0 && (m.StretchMode & smNoNormalState) != 0) continue;
                CheckMask(m, w + 4, h + 4, {2, 2, w + 2, h + 2}, state, wl, wt, wr, wb, true, what);
            }
        }
    }
}

TEST(MaskRegion, AFramePlacedAtAPointPaintsOnlyItsOwnColumnsInsideTheBitmap) {
    SyntheticMask s(2, 6, 4, 0, 1, 1, 1, 1);
    s.Set(6, 0, kTransparentKey);  // frame 1's top-left pixel
    TestImage bg(10, 10, 3);
    bg.fill(RGB(70, 80, 90));
    const CacheInfo cache{&bg.view(), 0, 0, kTransparentKey, true};
    // Mode 1 (corner images): plain pictures show the cache under their key colour.
    BitmapOwner target = Target(8, 8);
    BlendMaskRegion(target.get(), TPoint(1, 2), 1, 1, s.mask, cache);
    EXPECT_EQ(PixelOf(target.get(), 1, 2), RGB(70, 80, 90));
    EXPECT_EQ(PixelOf(target.get(), 2, 2), PictureColor(7, 0));
    EXPECT_EQ(PixelOf(target.get(), 6, 5), PictureColor(11, 3));
    EXPECT_EQ(PixelOf(target.get(), 7, 5), kUnder);
    EXPECT_EQ(PixelOf(target.get(), 1, 6), kUnder);
    // Left of and above the bitmap: the rest of the frame lands at 0, 0 and no column of the
    // next frame follows it.
    BitmapOwner cut = Target(8, 8);
    BlendMaskRegion(cut.get(), TPoint(-2, -1), 0, 1, s.mask, cache);
    EXPECT_EQ(PixelOf(cut.get(), 0, 0), PictureColor(2, 1));
    EXPECT_EQ(PixelOf(cut.get(), 3, 2), PictureColor(5, 3));
    EXPECT_EQ(PixelOf(cut.get(), 4, 0), kUnder);
    EXPECT_EQ(PixelOf(cut.get(), 0, 3), kUnder);
    // Other modes blend a plain picture half over the target.
    BitmapOwner half = Target(8, 8);
    BlendMaskRegion(half.get(), TPoint(0, 0), 0, 0, s.mask, cache);
    const TColor c = PictureColor(3, 2);
    EXPECT_EQ(PixelOf(half.get(), 3, 2),
              RGB((RedOf(c) + 1) / 2, (GreenOf(c) + 2) / 2, (BlueOf(c) + 3) / 2));
}

TEST(MaskRegion, MaskedFramesMixByTheirMaskAndModesOtherThanOneStaySeeThrough) {
    SyntheticMask s(1, 4, 3, 1, 1, 1, 1, 1);
    s.Set(0, 0, kTransparentKey);
    s.Set(1, 3, RGB(0, 0, 0));  // the mask of picture pixel (1, 0): opaque
    BitmapOwner target = Target(6, 6);
    BlendMaskRegion(target.get(), TPoint(0, 0), 0, 1, s.mask, EmptyCacheInfo);
    EXPECT_EQ(PixelOf(target.get(), 0, 0), kUnder);
    EXPECT_EQ(PixelOf(target.get(), 1, 0), PictureColor(1, 0));
    BitmapOwner see = Target(6, 6, true);
    BlendMaskRegion(see.get(), TPoint(0, 0), 0, 2, s.mask, EmptyCacheInfo);
    // Mask 0 raised to 100: the target keeps 100/256 of itself.
    const TColor p = PictureColor(1, 0);
    auto mix = [](int d, int s) { return ((d - s) * 100 + s * 256) >> 8; };
    EXPECT_EQ(PixelOf(see.get(), 1, 0),
              0xFF000000 | RGB(mix(1, RedOf(p)), mix(2, GreenOf(p)), mix(3, BlueOf(p))));
}

TEST(MaskCopies, KeyPixelsOfACornerOrOfTheTargetTakeTheBackground) {
    SyntheticMask s(1, 8, 8, 0, 2, 3, 3, 2);
    s.Set(0, 0, kTransparentKey);  // top-left corner
    s.Set(5, 1, kTransparentKey);  // top-right corner starts at column 8 - 3
    s.Set(1, 6, kTransparentKey);  // bottom-left corner starts at row 8 - 2
    s.Set(7, 7, kTransparentKey);  // bottom-right corner
    s.skin.Masks.emplace_back().Manager = &s.skin;
    TsMaskData& m = s.skin.Masks.back();
    m.R = s.mask.R, m.ImageCount = 1, m.WL = 2, m.WT = 3, m.WR = 3, m.WB = 2;
    TestImage b(6, 6, 4);
    b.fill(0x80000000 | RGB(5, 6, 7));
    auto run = [&](int code, TPoint key) {
        TestImage a(4, 4, 4);
        a.fill(0x11000000 | RGB(1, 1, 1));
        CopyMaskRectTransparent(a, b, {1, 1, 4, 4}, TPoint(2, 2), 0, &s.skin, code);
        for (int y = 1; y < 4; ++y) {
            for (int x = 1; x < 4; ++x) {
                const bool hit = x - 1 == key.X && y - 1 == key.Y;
                EXPECT_EQ(a.get(x, y), hit ? 0x80000000 | RGB(5, 6, 7) : 0x11000000 | RGB(1, 1, 1))
                    << "corner " << code << " at " << x << "," << y;
            }
        }
    };
    run(kCornerTopLeft, {0, 0});
    run(kCornerTopRight, {0, 1});
    run(kCornerBottomLeft, {1, 0});
    run(kCornerBottomRight, {2, 1});
    run(99, {0, 0});
    // Without a mask, A's own key pixels decide; the walk stays inside A and B.
    TestImage a(4, 4, 4);
    a.set(3, 3, 0x42000000 | kTransparentKey);
    a.set(0, 0, kTransparentKey);
    CopyMaskRectTransparent(a, b, {-2, -2, 9, 9}, TPoint(3, 3), -1, nullptr, 0);
    EXPECT_EQ(a.get(0, 0), 0x80000000 | RGB(5, 6, 7));     // from B's 5, 5
    EXPECT_EQ(a.get(3, 3), 0x42000000 | kTransparentKey);  // B's 8, 8 lies outside
    // Only 32-bit pairs are handled.
    TestImage a24(4, 4, 3);
    a24.set(1, 1, kTransparentKey);
    CopyMaskRectTransparent(a24, b, {0, 0, 4, 4}, TPoint(0, 0), -1, nullptr, 0);
    EXPECT_EQ(a24.get(1, 1), kTransparentKey);
}

TEST(MaskCopies, TexturePiecesShowTheCacheUnderTheKeyAndMixElsewhere) {
    SyntheticMask s(1, 4, 4, 1, 0, 0, 0, 0);
    s.Set(0, 0, kTransparentKey);
    s.Set(1, 0, kTransparentKey);
    TestImage bg(8, 8, 3);
    bg.fill(RGB(60, 61, 62));
    TestImage t(6, 6, 3);
    t.fill(kUnder);
    PaintMaskRectWithState({2, 2, 6, 6}, {0, 0, 2, 2}, t, s.mask,
                           CacheInfo{&bg.view(), 1, 1, kTransparentKey, true});
    EXPECT_EQ(t.get(2, 2), RGB(60, 61, 62));
    EXPECT_EQ(t.get(3, 2), RGB(60, 61, 62));
    const TColor p = PictureColor(0, 1), m = MaskColor(0, 5);
    auto mix = [](int d, int s, int m) { return ((d - s) * m + s * 256) >> 8; };
    EXPECT_EQ(t.get(2, 3), RGB(mix(1, RedOf(p), RedOf(m)), mix(2, GreenOf(p), GreenOf(m)),
                               mix(3, BlueOf(p), BlueOf(m))));
    EXPECT_EQ(t.get(4, 4), kUnder);  // the piece is 2 x 2
    // Without a ready cache the fill colour; the key colour as fill keeps the target.
    PaintMaskRectWithState({0, 0, 2, 2}, {0, 0, 2, 2}, t, s.mask,
                           CacheInfo{nullptr, 0, 0, RGB(9, 9, 9), false});
    EXPECT_EQ(t.get(0, 0), RGB(9, 9, 9));
    PaintMaskRectWithState({4, 0, 6, 2}, {0, 0, 2, 2}, t, s.mask, EmptyCacheInfo);
    EXPECT_EQ(t.get(4, 0), kUnder);
}

TEST(MaskCopies, ControlCornersTakeTheParentBackgroundUnderTheirKeyPixels) {
    SyntheticMask s(2, 8, 8, 0, 2, 2, 2, 2);
    s.Set(8, 0, kTransparentKey);   // frame 1, top-left
    s.Set(15, 7, kTransparentKey);  // frame 1, bottom-right
    s.Set(14, 0, kTransparentKey);  // frame 1, top-right
    TestImage parent(30, 30, 3);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x)
            parent.set(x, y, RGB(x, y, 99));
    }
    TestImage cache(10, 6, 3);
    cache.fill(kUnder);
    RestoreMaskCorners(cache, s.mask, 1, kSideTopLeft | kSideBottomRight,
                       CornerBackground{&parent.view(), TPoint(5, 7)});
    EXPECT_EQ(cache.get(0, 0), RGB(5, 7, 99));
    EXPECT_EQ(cache.get(9, 5), RGB(14, 12, 99));
    EXPECT_EQ(cache.get(8, 0), kUnder);  // top-right was not chosen
    RestoreMaskCorners(cache, s.mask, 5, kSideAllCorners,
                       CornerBackground{nullptr, TPoint(0, 0), RGB(4, 4, 4)});
    EXPECT_EQ(cache.get(8, 0), RGB(4, 4, 4));
    EXPECT_EQ(cache.get(1, 1), kUnder);
    // A background bitmap that does not reach under the corner leaves it.
    TestImage small(2, 2, 3);
    cache.fill(kUnder);
    RestoreMaskCorners(cache, s.mask, 1, kSideAllCorners,
                       CornerBackground{&small.view(), TPoint(0, 0)});
    EXPECT_EQ(cache.get(0, 0), 0u);
    EXPECT_EQ(cache.get(9, 5), kUnder);
}

}  // namespace
}  // namespace skin
