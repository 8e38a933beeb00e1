#include "skin/core/mask_paint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "skin/core/bitmaps.h"
#include "skin/core/internal_skin.h"
#include "skin/core/skin_content.h"
#include "skin/core/skin_loading.h"
#include "skin/core/stored_skins.h"
#include "tests/skin/core/skin_reading.h"
#include "tests/skin/core/test_image.h"
#include "vcl/graphics/bitmap.h"

namespace skin {
namespace {

using skin_test::PixelOf;
using skin_test::TestImage;
using BitmapOwner = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;

const TColor kUnder = RGB(1, 2, 3);  // what the targets hold before painting

// Source pixel colours name their own position: red the column, green the row. Masked
// pictures hold a mask below the picture whose value varies from pixel to pixel.
TColor PictureColor(int x, int y) {
    return RGB(x, y, 7);
}
TColor MaskColor(int x, int y) {
    const uint32_t m = uint32_t(x * 37 + y * 11) % 256;
    return RGB(m, 255 - m, m / 2);
}

// A skin of one mask cut from its master bitmap: `frames` frames of fw x fh.
struct SyntheticMask {
    SyntheticMask(int frames, int fw, int fh, int type, int wl, int wt, int wr, int wb) {
        const int h = fh * (type + 1);
        skin.MasterBitmap.reset(NewBitmap24(frames * fw, h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < frames * fw; ++x)
                Set(x, y, y < fh ? PictureColor(x, y) : MaskColor(x, y));
        }
        mask.Manager = &skin;
        mask.R = {0, 0, frames * fw, h};
        mask.ImageCount = int16_t(frames);
        mask.MaskType = int16_t(type);
        mask.WL = int16_t(wl), mask.WT = int16_t(wt), mask.WR = int16_t(wr), mask.WB = int16_t(wb);
    }
    void Set(int x, int y, TColor c) {
        uint8_t* p = ViewOf(skin.MasterBitmap.get()).At(x, y);
        p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
    }
    TsSkinContent skin;
    TsMaskData mask;
};

BitmapOwner Target(int w, int h, bool alpha = false) {
    BitmapOwner b(alpha ? NewBitmap32(w, h) : NewBitmap24(w, h));
    const PixelView v = ViewOf(b.get());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = v.At(x, y);
            p[0] = BlueOf(kUnder), p[1] = GreenOf(kUnder), p[2] = RedOf(kUnder);
            if (alpha) p[3] = 0;
        }
    }
    return b;
}

// The nine-piece layout, worked out per axis: a column lies in the left border, the right
// border or the tiled middle (both borders where they overlap), a row likewise; a piece covers
// the pixels of its column zone and row zone, and the pieces are laid in their order.
struct Layout {
    TRect T;
    int sx, sy, FW, FH, wl, wt, wr, wb;
    bool centre;
    enum Zone { kNear, kMid, kFar };
    struct Cover {
        TPoint at;
        bool corner;
    };

    // The source pixels laid on target pixel (x, y), first to last.
    std::vector<Cover> Covers(int x, int y) const {
        std::vector<Cover> out;
        if (!T.Contains(TPoint(x, y))) return out;
        const int cw = std::max(FW - wl - wr, 0), ch = std::max(FH - wt - wb, 0);
        auto in = [](Zone z, int v, int lo, int hi, int nearEnd, int farStart) {
            return z == kNear  ? v < nearEnd && v >= lo
                   : z == kFar ? v >= farStart && v < hi
                               : v >= nearEnd && v < farStart;
        };
        const std::pair<Zone, Zone> order[] = {{kNear, kNear}, {kNear, kMid}, {kMid, kNear},
                                               {kNear, kFar},  {kMid, kFar},  {kFar, kFar},
                                               {kFar, kNear},  {kFar, kMid},  {kMid, kMid}};
        for (auto [ax, ay] : order) {
            if (ax == kMid && ay == kMid && !centre) continue;
            if ((ax == kMid && cw == 0) || (ay == kMid && ch == 0)) continue;
            if (!in(ax, x, T.Left, T.Right, T.Left + wl, T.Right - wr)) continue;
            if (!in(ay, y, T.Top, T.Bottom, T.Top + wt, T.Bottom - wb)) continue;
            const int px = ax == kNear  ? sx + (x - T.Left)
                           : ax == kFar ? sx + wl + cw + (x - (T.Right - wr))
                                        : sx + wl + (x - T.Left - wl) % cw;
            const int py = ay == kNear  ? sy + (y - T.Top)
                           : ay == kFar ? sy + FH - wb + (y - (T.Bottom - wb))
                                        : sy + wt + (y - T.Top - wt) % ch;
            out.push_back({TPoint(px, py), ax != kMid && ay != kMid});
        }
        return out;
    }
};

// What the mask painter must leave in every pixel of the target, from the source picture, the
// layout and what the target held: plain pieces are copied (corners keep the target, or show
// the cache, under the key colour), masked ones are mixed by their mask half and skip the key.
void ExpectPainted(vcl::TBitmap* target, const TestImage& before, const PixelView& src,
                   const Layout& l, int type, int maskRows, const CacheInfo& cache, bool corner,
                   const std::string& what) {
    const PixelView dst = ViewOf(target);
    int wrong = 0;
    for (int y = 0; y < dst.Height && wrong < 5; ++y) {
        for (int x = 0; x < dst.Width && wrong < 5; ++x) {
            uint32_t want = before.get(x, y) & 0xFFFFFF;
            for (const auto& [at, isCorner] : l.Covers(x, y)) {
                const uint8_t* p = src.At(at.X, at.Y);
                const bool key = RGB(p[2], p[1], p[0]) == kTransparentKey;
                if (key && isCorner) {
                    if (corner && cache.Ready && cache.Bmp) {
                        const uint8_t* b = cache.Bmp->At(x + cache.X, y + cache.Y);
                        want = RGB(b[2], b[1], b[0]);
                    } else if (!cache.Ready && cache.FillColor != kTransparentKey) {
                        want = cache.FillColor;
                    }
                } else if (type == 0) {
                    want = RGB(p[2], p[1], p[0]);
                } else if (!key) {
                    const uint8_t* m = src.At(at.X, at.Y + maskRows);
                    const uint8_t d[3] = {BlueOf(want), GreenOf(want), RedOf(want)};
                    uint8_t o[3];
                    for (int c = 0; c < 3; ++c)
                        o[c] = uint8_t(((d[c] - p[c]) * m[c] + p[c] * 256) >> 8);
                    want = RGB(o[2], o[1], o[0]);
                }
            }
            const uint32_t got = PixelOf(target, x, y) & 0xFFFFFF;
            if (got != want) {
                ++wrong;
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex << got
                              << ", not " << want;
            }
        }
    }
}

TestImage Snapshot(vcl::TBitmap* b) {
    const PixelView v = ViewOf(b);
    TestImage copy(v.Width, v.Height, v.BytesPerPixel);
    for (int y = 0; y < v.Height; ++y) {
        for (int x = 0; x < v.Width; ++x)
            copy.set(x, y, PixelOf(b, x, y));
    }
    return copy;
}

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

}  // namespace
}  // namespace skin
