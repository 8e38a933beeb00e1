// Random mask records, rectangles and bitmap sizes through every mask painter: no fault (the
// asan preset runs it under the sanitizers) and no unbounded work.
#include <gtest/gtest.h>

#include <random>

#include "platform/gdi/gdi.h"
#include "skin/core/state/bordered_sections.h"
#include "skin/core/state/mask_paint.h"
#include "tests/skin/core/mask_fixtures.h"

namespace skin {
namespace {

using namespace skin_test;  // NOLINT

class Dice {
public:
    explicit Dice(uint32_t seed) : rng_(seed) {}
    int In(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    // Mostly small values, sometimes zero, negative or as large as the type holds.
    int Field(int small, int huge) {
        switch (In(0, 9)) {
            case 0:
                return 0;
            case 1:
                return -In(1, small);
            case 2:
                return In(0, 1) ? huge : -huge - 1;
            default:
                return In(0, small);
        }
    }
    TRect Rect(int small) {
        return {Field(small, INT32_MAX), Field(small, INT32_MAX), Field(small, INT32_MAX),
                Field(small, INT32_MAX)};
    }

private:
    std::mt19937 rng_;
};

TEST(MaskRandom, RandomRecordsRectanglesAndSizesNeverFault) {
    Dice d(20261209);
    for (int round = 0; round < 1500; ++round) {
        SyntheticMask s(d.In(1, 4), d.In(1, 12), d.In(1, 12), d.In(0, 1), 0, 0, 0, 0);
        TsMaskData& m = s.mask;
        m.R = d.Rect(60);
        m.ImageCount = int16_t(d.Field(5, INT16_MAX));
        m.MaskType = int16_t(d.Field(2, INT16_MAX));
        m.StretchMode = uint16_t(d.In(0, 7));
        m.WL = int16_t(d.Field(14, INT16_MAX)), m.WT = int16_t(d.Field(14, INT16_MAX));
        m.WR = int16_t(d.Field(14, INT16_MAX)), m.WB = int16_t(d.Field(14, INT16_MAX));
        if (d.In(0, 3) == 0) {  // a picture of its own
            m.Bmp.reset(NewBitmap24(d.In(1, 30), d.In(1, 30)));
            if (d.In(0, 1)) m.Bmp->SetPixelFormat(vcl::pf32bit);
        }
        s.skin.Masks.emplace_back().Manager = &s.skin;
        s.skin.Masks.back().R = m.R, s.skin.Masks.back().ImageCount = m.ImageCount;
        s.skin.Masks.back().WR = m.WR, s.skin.Masks.back().WB = m.WB;

        const int w = d.In(1, 40), h = d.In(1, 40);
        BitmapOwner target = Target(w, h, d.In(0, 1) != 0);
        BitmapOwner target24 = Target(w, h);
        TestImage bg(d.In(1, 30), d.In(1, 30), d.In(0, 1) ? 4 : 3);
        const CacheInfo cache{&bg.view(), d.Field(20, INT32_MAX), d.Field(20, INT32_MAX),
                              TColor(d.Field(3, INT32_MAX)), d.In(0, 1) != 0};
        const PixelView view = ViewOf(target.get());
        const PixelView source = ViewOf(m.Bmp ? m.Bmp.get() : s.skin.MasterBitmap.get());
        const int state = d.Field(6, INT32_MAX);
        const bool flag = d.In(0, 1) != 0;
        TRect t = d.Rect(50);
        if (d.In(0, 2) == 0) t = {d.In(-5, 5), d.In(-5, 5), d.In(0, 45), d.In(0, 45)};

        PaintMaskIntoRect(target.get(), t, flag, cache, m, state, !flag);
        BlendMaskRegion(target.get(), TPoint(d.Field(20, INT32_MAX), d.Field(20, INT32_MAX)), state,
                        d.In(0, 2), m, cache);
        BlendMaskHalfPiece(d.Rect(40), d.Rect(40), view, m, d.In(0, 2), kTransparentKey, source);
        TestImage a(w, h, 4), b(d.In(1, 30), d.In(1, 30), 4);
        CopyMaskRectTransparent(a, b, d.Rect(40),
                                TPoint(d.Field(20, INT32_MAX), d.Field(20, INT32_MAX)), d.In(-1, 1),
                                &s.skin, d.In(12, 18));
        PaintMaskRectWithState(d.Rect(40), d.Rect(40), view, m, cache);
        RestoreMaskCorners(
            view, m, state, d.In(0, 15),
            CornerBackground{d.In(0, 1) ? &bg.view() : nullptr,
                             TPoint(d.Field(20, INT32_MAX), d.Field(20, INT32_MAX)), RGB(1, 2, 3)});
        const win::HRGN rgn = win::CreateRectRgn(0, 0, w, h);
        PaintMaskToDC(target24.get(), rgn, flag, m, state);
        CopyTransparent24(d.Rect(40), flag, m, rgn, ViewOf(target24.get()), d.Rect(40));
        win::DeleteObject(rgn);
    }
}

TEST(MaskRandom, HugeTargetsCostNoMoreThanTheBitmap) {
    SyntheticMask s(1, 3, 3, 0, 1, 1, 1, 1);
    s.mask.StretchMode = smPaintCentre;
    BitmapOwner target = Target(16, 16);
    // One-pixel tiles over a rectangle a million pixels a side: only the visible ones are laid.
    PaintMaskIntoRect(target.get(), {-500000, -500000, 500000, 500000}, true, EmptyCacheInfo,
                      s.mask, 0, true);
    EXPECT_EQ(PixelOf(target.get(), 5, 5), PictureColor(1, 1));
    // Larger still: refused.
    BitmapOwner other = Target(16, 16);
    PaintMaskIntoRect(other.get(), {-(1 << 21), 0, 1 << 21, 16}, true, EmptyCacheInfo, s.mask, 0,
                      true);
    EXPECT_EQ(PixelOf(other.get(), 5, 5), kUnder);
}

}  // namespace
}  // namespace skin
