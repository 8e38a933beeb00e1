#include "skin/core/section_paint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "platform/gdi/blit.h"
#include "skin/core/bitmaps.h"
#include "skin/core/blend.h"
#include "skin/core/skin_commands.h"
#include "skin/core/skin_manager.h"
#include "skin/core/text_utils.h"
#include "tests/skin/core/dib_dc.h"

namespace skin {
namespace {

using BitmapPtr = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;
using ManagerPtr = std::unique_ptr<TsSkinManager, vcl::FreeDeleter>;

uint32_t Pixel(vcl::TBitmap* bmp, int x, int y) {
    const PixelView v = ViewOf(bmp);
    const uint8_t* p = v.At(x, y);
    return RGB(p[2], p[1], p[0]) | (v.BytesPerPixel == 4 ? uint32_t(p[3]) << 24 : 0);
}

BitmapPtr Filled(int bits, int w, int h, TColor c) {
    BitmapPtr b(bits == 32 ? NewBitmap32(w, h) : NewBitmap24(w, h));
    const PixelView v = ViewOf(b.get());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = v.At(x, y);
            p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
            if (bits == 32) p[3] = 255;
        }
    }
    return b;
}

// The per-channel mix of the painters: the parent's share A = T * 255 div 100.
TColor ShareMix(TColor own, TColor parent, int t) {
    const uint32_t a = uint32_t(t * 255 / 100);
    TColor out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t o = own >> shift & 0xFF, p = parent >> shift & 0xFF;
        out |= ((o * (255 - a) + p * a + 127) >> 8) << shift;
    }
    return out;
}

int ChannelDistance(TColor a, TColor b) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    return d;
}

class SectionPaint : public ::testing::Test {
protected:
    void SetUp() override {
        manager.reset(new TsSkinManager(nullptr));
        skin().MasterBitmap.reset(NewBitmap24(40, 20));
        master = ViewOf(skin().MasterBitmap.get());
    }
    TsSkinContent& skin() { return manager->Skin(); }

    int AddSection(const std::string& name, TColor color, int transparency = 0) {
        TsGeneralData s;
        s.SectionName = name;
        s.Color = color;
        s.HotColor = color;
        s.Transparency = transparency;
        s.HotTransparency = transparency;
        skin().Sections.push_back(std::move(s));
        skin().Reindex();
        return int(skin().Sections.size()) - 1;
    }
    TsGeneralData& section(int i) { return skin().Sections[size_t(i)]; }
    // A texture mask over a w x h block of the master bitmap filled with `c`.
    int AddTexture(const std::string& section, const std::string& prop, TRect r, TColor c,
                   uint16_t stretch = 0, int16_t maskType = 0, int16_t images = 1) {
        for (int y = r.Top; y < r.Bottom; ++y) {
            for (int x = r.Left; x < r.Right; ++x) {
                if (!master.Contains(x, y)) continue;
                uint8_t* p = master.At(x, y);
                p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
            }
        }
        TsMaskData m;
        m.SectionName = section;
        m.PropertyName = prop;
        m.R = r;
        m.ImageCount = images;
        m.MaskType = maskType;
        m.StretchMode = stretch;
        m.ImgType = itisaTexture;
        m.Manager = &skin();
        skin().Masks.push_back(std::move(m));
        skin().Reindex();
        return int(skin().Masks.size()) - 1;
    }

    ManagerPtr manager;
    PixelView master;
};

TEST_F(SectionPaint, ACustomColourIsAPlainOpaqueFill) {
    const int i = AddSection("PANEL", RGB(10, 20, 30), 50);
    section(i).ImagePercent = 40;
    section(i).GradientPercent = 30;
    AddTexture("PANEL", "PATTERN", {0, 0, 2, 2}, RGB(200, 0, 0));
    BitmapPtr parent = Filled(24, 8, 8, RGB(0, 255, 0));
    const PixelView pv = ViewOf(parent.get());
    BitmapPtr target = Filled(24, 8, 8, 0);
    PaintSkinBackground(i, "PANEL", MakeCacheInfo(&pv, 0, 0), 0, {0, 0, 8, 8}, {0, 0}, target.get(),
                        manager.get(), -1, -1, RGB(1, 2, 3));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(Pixel(target.get(), x, y), RGB(1, 2, 3)) << x << "," << y;
    }
}

TEST_F(SectionPaint, FullTransparencyOverItsOwnBitmapPaintsNothing) {
    const int i = AddSection("PANEL", RGB(10, 20, 30), 100);
    BitmapPtr target = Filled(32, 5, 5, RGB(7, 8, 9));
    const PixelView tv = ViewOf(target.get());
    PaintSkinBackground(i, "PANEL", MakeCacheInfo(&tv, 0, 0), 0, {1, 1, 4, 4}, {3, 3}, target.get(),
                        manager.get(), -1, -1, kTransparentKey);
    EXPECT_EQ(Pixel(target.get(), 2, 2), 0xFF000000 | RGB(7, 8, 9));
}

TEST_F(SectionPaint, TransparencyMixesTheParentByItsShare) {
    const TColor own = RGB(200, 100, 0), under = RGB(0, 50, 250);
    for (int bits : {24, 32}) {
        for (int t : {0, 1, 50, 99, 100}) {
            const int i = AddSection("S" + std::to_string(bits) + "_" + std::to_string(t), own, t);
            // A parent bitmap with a mark outside the copied area: the offset is honoured.
            BitmapPtr parent = Filled(24, 12, 12, RGB(255, 255, 255));
            const PixelView pv = ViewOf(parent.get());
            for (int y = 3; y < 9; ++y) {
                for (int x = 4; x < 10; ++x) {
                    uint8_t* p = pv.At(x, y);
                    p[0] = BlueOf(under), p[1] = GreenOf(under), p[2] = RedOf(under);
                }
            }
            BitmapPtr target = Filled(bits, 6, 6, 0);
            // The target's origin lies at (2, 1) of the parent, the rectangle at (2, 2) of the
            // target: it reads the parent from (4, 3).
            PaintSkinBackground(i, "", MakeCacheInfo(&pv, 2, 1), 0, {2, 2, 6, 6}, {0, 0},
                                target.get(), manager.get(), -1, -1, kTransparentKey);
            // 0 and 100 are a fill and a copy; the mix in between keeps (255, 255) at 254.
            const TColor mixed = t == 0 ? own : t == 100 ? under : ShareMix(own, under, t);
            EXPECT_EQ(Pixel(target.get(), 2, 2) & 0xFFFFFF, mixed) << t;
            EXPECT_EQ(Pixel(target.get(), 5, 5) & 0xFFFFFF, mixed) << t;
            EXPECT_EQ(Pixel(target.get(), 1, 1) & 0xFFFFFF, 0u) << "outside the rectangle";

            // Over a plain parent colour the mix is BlendTwoColors(parent, own, T / 100).
            CacheInfo plain;
            plain.FillColor = under;
            PaintSkinBackground(i, "", plain, 0, {0, 0, 6, 6}, {0, 0}, target.get(), manager.get(),
                                -1, -1, kTransparentKey);
            EXPECT_EQ(Pixel(target.get(), 3, 3) & 0xFFFFFF,
                      t == 0 ? own : BlendTwoColors(under, own, t / 100.0) & 0xFFFFFF)
                << t;
        }
    }
}

// What a plain section answers to command 21 is what it paints over a parent of one colour.
TEST_F(SectionPaint, TheCommand21AnswerIsThePaintedColour) {
    const TColor own = RGB(13, 140, 251), under = RGB(240, 7, 90);
    BitmapPtr parent = Filled(24, 4, 4, under);
    const PixelView pv = ViewOf(parent.get());
    CacheInfo plain;
    plain.FillColor = under;
    for (int t = 0; t <= 100; ++t) {
        const int i = AddSection("T" + std::to_string(t), own, t);
        BackgroundColorQuery q;
        q.Skinned = true;
        q.SectionColor = own;
        q.Transparency = t;
        q.HasParent = true;
        const TColor answer = AnswerBackgroundColor(q, [&] { return under; });
        BitmapPtr target = Filled(24, 4, 4, 0);
        PaintSkinBackground(i, "", MakeCacheInfo(&pv, 0, 0), 0, {0, 0, 4, 4}, {0, 0}, target.get(),
                            manager.get(), -1, -1, kTransparentKey);
        EXPECT_EQ(Pixel(target.get(), 1, 1), answer) << "T = " << t;
        PaintSkinBackground(i, "", plain, 0, {0, 0, 4, 4}, {0, 0}, target.get(), manager.get(), -1,
                            -1, kTransparentKey);
        // The integer rule truncates A and divides by 256: up to 2 off the floating mix.
        EXPECT_LE(ChannelDistance(Pixel(target.get(), 1, 1), answer), 2) << "T = " << t;
    }
}

TEST_F(SectionPaint, AParentNobodyKnowsGivesThePlainColour) {
    const int i = AddSection("PANEL", RGB(10, 20, 30), 50);
    BitmapPtr target = Filled(24, 4, 4, 0);
    CacheInfo unknown;
    unknown.FillColor = kTransparentKey;
    PaintSkinBackground(i, "PANEL", unknown, 0, {0, 0, 4, 4}, {0, 0}, target.get(),
                        manager.get(), -1, -1, kTransparentKey);
    EXPECT_EQ(Pixel(target.get(), 2, 2), RGB(10, 20, 30));
    section(i).Transparency = 100;
    PaintSkinBackground(i, "PANEL", unknown, 0, {0, 0, 4, 4}, {0, 0}, target.get(), manager.get(),
                        -1, -1, kTransparentKey);
    EXPECT_EQ(Pixel(target.get(), 2, 2), RGB(10, 20, 30));
}

TEST_F(SectionPaint, TextureGradientAndColourMixByTheirPercents) {
    const TColor c = RGB(100, 100, 100), tex = RGB(200, 40, 0), grad = RGB(0, 0, 250);
    const int i = AddSection("PANEL", c);
    section(i).ImagePercent = 40;
    section(i).GradientPercent = 30;
    section(i).GradientData = "x";
    section(i).GradientArray = {{grad, grad, 100, 0}};
    AddTexture("PANEL", "PATTERN", {0, 0, 3, 3}, tex);
    BitmapPtr target = Filled(24, 7, 5, 0);
    PaintSkinBackground(i, "PANEL", EmptyCacheInfo, 0, {0, 0, 7, 5}, {0, 0}, target.get(),
                        manager.get(), -1, -1, kTransparentKey);
    // The texture keeps 40 percent of texture and gradient, then S = 70 keeps that much of it.
    const TColor tg = ShareMix(grad, tex, 40);
    TColor expected = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const double v = (tg >> shift & 0xFF) * 0.7 + (c >> shift & 0xFF) * 0.3;
        expected |= uint32_t(std::nearbyint(v)) << shift;
    }
    EXPECT_EQ(Pixel(target.get(), 0, 0), expected);
    EXPECT_EQ(Pixel(target.get(), 6, 4), expected);
}

TEST_F(SectionPaint, AColourMixStaysInsideTheRectangle) {
    const int i = AddSection("PANEL", RGB(0, 0, 0));
    section(i).GradientPercent = 50;
    section(i).GradientData = "x";
    section(i).GradientArray = {{RGB(200, 200, 200), RGB(200, 200, 200), 100, 0}};
    BitmapPtr target = Filled(24, 6, 6, RGB(9, 9, 9));
    PaintSkinBackground(i, "PANEL", EmptyCacheInfo, 0, {1, 1, 4, 4}, {0, 0}, target.get(),
                        manager.get(), -1, -1, kTransparentKey);
    EXPECT_EQ(Pixel(target.get(), 3, 3), RGB(100, 100, 100));
    EXPECT_EQ(Pixel(target.get(), 4, 3), RGB(9, 9, 9));
    EXPECT_EQ(Pixel(target.get(), 3, 4), RGB(9, 9, 9));
    EXPECT_EQ(Pixel(target.get(), 0, 0), RGB(9, 9, 9));
}

TEST_F(SectionPaint, ATopBandTextureLeavesTheRestInTheSectionColour) {
    const int i = AddSection("PANEL", RGB(1, 2, 3));
    section(i).ImagePercent = 100;
    AddTexture("PANEL", "PATTERN", {0, 0, 2, 3}, RGB(200, 0, 0), 2);
    BitmapPtr target = Filled(24, 5, 6, 0);
    PaintSkinBackground(i, "PANEL", EmptyCacheInfo, 0, {0, 0, 5, 6}, {0, 0}, target.get(),
                        manager.get(), -1, -1, kTransparentKey);
    EXPECT_EQ(Pixel(target.get(), 4, 2), RGB(200, 0, 0));
    EXPECT_EQ(Pixel(target.get(), 0, 3), RGB(1, 2, 3));
    EXPECT_EQ(Pixel(target.get(), 4, 5), RGB(1, 2, 3));
}

TEST_F(SectionPaint, TexturesTileStretchAndLeaveWhatTheirModeLeaves) {
    // A 3 x 2 piece with a distinct left column, so the tiling phase shows.
    AddTexture("T", "P", {0, 0, 3, 2}, RGB(50, 50, 50));
    for (int y = 0; y < 2; ++y)
        master.At(0, y)[2] = 255;
    const TsMaskData& m = skin().Masks[0];
    auto paint = [&](int mode, TRect r) {
        BitmapPtr target = Filled(24, 8, 7, 0);
        PaintTexture(target->Canvas(), r, nullptr, &m, mode);
        return std::make_pair(std::move(target), r);
    };
    auto [tiled, r0] = paint(0, {1, 1, 8, 6});
    EXPECT_EQ(r0.Right, -1);
    EXPECT_EQ(Pixel(tiled.get(), 1, 1), RGB(255, 50, 50));
    EXPECT_EQ(Pixel(tiled.get(), 4, 5), RGB(255, 50, 50));  // third row of tiles, cut
    EXPECT_EQ(Pixel(tiled.get(), 7, 5), RGB(255, 50, 50));  // third column of tiles, cut
    EXPECT_EQ(Pixel(tiled.get(), 6, 2), RGB(50, 50, 50));
    EXPECT_EQ(Pixel(tiled.get(), 0, 0), 0u);

    auto [left, r3] = paint(3, {1, 1, 8, 6});
    EXPECT_EQ(r3, (TRect{4, 1, 8, 6}));
    EXPECT_EQ(Pixel(left.get(), 4, 1), 0u);
    auto [bottom, r6] = paint(6, {1, 1, 8, 6});
    EXPECT_EQ(r6, (TRect{1, 1, 8, 4}));
    EXPECT_EQ(Pixel(bottom.get(), 1, 4), RGB(255, 50, 50));
    EXPECT_EQ(Pixel(bottom.get(), 1, 3), 0u);
    auto [right, r7] = paint(7, {1, 1, 8, 6});
    EXPECT_EQ(r7, (TRect{1, 1, 5, 6}));
    EXPECT_EQ(Pixel(right.get(), 5, 1), RGB(255, 50, 50));
    auto [other, r9] = paint(9, {1, 1, 8, 6});
    EXPECT_EQ(r9, (TRect{5, 1, 8, 6}));  // the band itself, for the colour fill

    // Mode 10: whole rows while one starts above Bottom - h; the rest keeps what was there.
    auto [rows, r10] = paint(10, {0, 0, 8, 7});
    EXPECT_EQ(r10.Right, -1);
    EXPECT_EQ(Pixel(rows.get(), 0, 5), RGB(255, 50, 50));
    EXPECT_EQ(Pixel(rows.get(), 0, 6), 0u);

    auto [stretched, r1] = paint(1, {0, 0, 6, 4});
    EXPECT_EQ(r1.Right, -1);
    EXPECT_EQ(Pixel(stretched.get(), 5, 3), RGB(50, 50, 50));
    EXPECT_EQ(Pixel(stretched.get(), 6, 3), 0u);
}

TEST_F(SectionPaint, PiecesWithoutSizePaintNothingAndLeaveTheRectangle) {
    AddTexture("T", "P", {3, 0, 3, 2}, RGB(50, 50, 50));
    AddTexture("T", "Q", {50, 50, 60, 60}, RGB(0, 0, 0));  // outside the master bitmap
    BitmapPtr target = Filled(24, 4, 4, RGB(1, 1, 1));
    for (int i = 0; i < 2; ++i) {
        for (int mode : {0, 1, 2, 10, 99}) {
            TRect r{0, 0, 4, 4};
            PaintTexture(target->Canvas(), r, nullptr, &skin().Masks[size_t(i)], mode);
            EXPECT_EQ(r, (TRect{0, 0, 4, 4}));
        }
    }
    EXPECT_EQ(Pixel(target.get(), 2, 2), RGB(1, 1, 1));
}

TEST_F(SectionPaint, PicturesAreTiledFromTheRectanglesCorner) {
    BitmapPtr pic = Filled(24, 3, 2, RGB(10, 10, 10));
    ViewOf(pic.get()).At(0, 0)[0] = 99;
    BitmapPtr target = Filled(24, 8, 5, 0);
    TileBitmapOnCanvas(target->Canvas(), {1, 1, 7, 5}, pic.get());
    EXPECT_EQ(Pixel(target.get(), 1, 1), RGB(10, 10, 99));
    EXPECT_EQ(Pixel(target.get(), 4, 3), RGB(10, 10, 99));
    EXPECT_EQ(Pixel(target.get(), 6, 4), RGB(10, 10, 10));
    EXPECT_EQ(Pixel(target.get(), 7, 4), 0u);
    EXPECT_EQ(Pixel(target.get(), 0, 0), 0u);
    TileBitmapOnCanvas(target->Canvas(), {0, 0, 8, 5}, nullptr);
    EXPECT_EQ(Pixel(target.get(), 0, 0), 0u);
}

TEST_F(SectionPaint, APartMixesIntoA32BitTargetToo) {
    const int i = AddSection("PART", RGB(200, 0, 0), 50);
    BitmapPtr parent = Filled(32, 4, 4, RGB(0, 0, 200));
    const PixelView pv = ViewOf(parent.get());
    BitmapPtr target = Filled(32, 4, 4, 0);
    PaintPartBackground(i, -1, -1, MakeCacheInfo(&pv, 0, 0), 0, {0, 0, 4, 4}, {0, 0}, target.get(),
                        manager.get());
    EXPECT_EQ(Pixel(target.get(), 2, 2) & 0xFFFFFF, ShareMix(RGB(200, 0, 0), RGB(0, 0, 200), 50));
    // Without a ready record the transparency is not applied; a negative one paints nothing.
    PaintPartBackground(i, -1, -1, EmptyCacheInfo, 0, {0, 0, 4, 4}, {0, 0}, target.get(),
                        manager.get());
    EXPECT_EQ(Pixel(target.get(), 2, 2), 0xFF000000 | RGB(200, 0, 0));
    section(i).Transparency = -5;
    BitmapPtr untouched = Filled(32, 4, 4, RGB(3, 3, 3));
    PaintPartBackground(i, -1, -1, MakeCacheInfo(&pv, 0, 0), 0, {0, 0, 4, 4}, {0, 0},
                        untouched.get(), manager.get());
    EXPECT_EQ(Pixel(untouched.get(), 2, 2), 0xFF000000 | RGB(3, 3, 3));
}

TEST_F(SectionPaint, ByNameFallsBackToTheSecondNameOfTheGivenManager) {
    ManagerPtr other(new TsSkinManager(nullptr));
    ASSERT_NE(DefaultManager, other.get());
    AddSection("FIRST", RGB(1, 1, 1));
    TsGeneralData s;
    s.SectionName = "SECOND";
    s.Color = RGB(5, 6, 7);
    other->Sections().push_back(s);
    other->Skin().Reindex();
    BitmapPtr bmp = Filled(24, 3, 3, 0);
    EXPECT_EQ(PaintSectionByName(bmp.get(), "NONE", "SECOND", 0, other.get(), {0, 0},
                                 kTransparentKey, nullptr),
              0);
    EXPECT_EQ(Pixel(bmp.get(), 1, 1), RGB(5, 6, 7));
    EXPECT_EQ(PaintSectionByName(bmp.get(), "NONE", "NEITHER", 0, other.get(), {0, 0},
                                 kTransparentKey, nullptr),
              -1);
}

TEST_F(SectionPaint, ToDCPaintsAtTheRectangle) {
    const int i = AddSection("PANEL", RGB(40, 50, 60));
    skin_test::DibDC dc(6, 6, 24);
    PaintSectionToDC(i, "PANEL", EmptyCacheInfo, true, 0, {2, 3, 5, 6}, {0, 0}, dc.dc(),
                     manager.get());
    EXPECT_EQ(dc.get(2, 3), RGB(40, 50, 60));
    EXPECT_EQ(dc.get(4, 5), RGB(40, 50, 60));
    EXPECT_EQ(dc.get(1, 3), 0u);
    PaintSectionToDC(i, "PANEL", EmptyCacheInfo, true, 0, {-1, 0, 5, 6}, {0, 0}, dc.dc(),
                     manager.get());
    EXPECT_EQ(dc.get(0, 0), 0u);
}

}  // namespace
}  // namespace skin
