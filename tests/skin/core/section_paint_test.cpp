#include "skin/core/state/section_paint.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/gdi/blit.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/paint/glyph_layout.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "tests/skin/core/dib_dc.h"
#include "vcl/controls/controls.h"
#include "vcl/graphics/jpeg_image.h"

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
    PaintSkinBackground(i, "PANEL", unknown, 0, {0, 0, 4, 4}, {0, 0}, target.get(), manager.get(),
                        -1, -1, kTransparentKey);
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
    // Inverted by more than an int holds: no width, not a huge one.
    AddTexture("T", "R", {INT_MAX - 2, 0, -9666, 12}, RGB(0, 0, 0));
    BitmapPtr target = Filled(24, 4, 4, RGB(1, 1, 1));
    for (int i = 0; i < 3; ++i) {
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

TEST_F(SectionPaint, JpegPicturesAreDrawnInsideTheRectangleOnly) {
    BitmapPtr pic = Filled(24, 3, 2, RGB(128, 128, 128));
    std::unique_ptr<vcl::TJPEGImage, vcl::FreeDeleter> jpeg(new vcl::TJPEGImage);
    jpeg->Assign(pic.get());
    BitmapPtr target = Filled(24, 8, 6, 0);
    TileBitmapOnCanvas(target->Canvas(), {1, 1, 7, 5}, jpeg.get());
    // Lossy, so by placement: every pixel of the rectangle is grey, nothing outside it.
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 1 && x < 7 && y >= 1 && y < 5;
            EXPECT_EQ(ChannelDistance(Pixel(target.get(), x, y), RGB(128, 128, 128)) < 16, inside)
                << x << "," << y;
        }
    }
}

TEST_F(SectionPaint, ByNamePaintsOverWhatTheSourceDCShows) {
    AddSection("GHOST", RGB(1, 1, 1), 100);
    skin_test::DibDC source(10, 10, 24);
    source.set(4, 5, RGB(0, 200, 0));
    BitmapPtr bmp = Filled(24, 3, 3, 0);
    EXPECT_EQ(PaintSectionByName(bmp.get(), "GHOST", "", 0, manager.get(), {3, 4}, kTransparentKey,
                                 source.dc()),
              0);
    EXPECT_EQ(Pixel(bmp.get(), 1, 1), RGB(0, 200, 0));
    EXPECT_EQ(Pixel(bmp.get(), 0, 0), 0u);
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

TEST_F(SectionPaint, AWhollySeeThroughPartOverAParentColourIsThatColour) {
    const int i = AddSection("PART", RGB(200, 0, 0), 100);
    section(i).GradientPercent = 50;
    CacheInfo parent;
    parent.FillColor = RGB(1, 2, 3);
    BitmapPtr target = Filled(24, 4, 4, 0);
    PaintPartBackground(i, -1, -1, parent, 0, {0, 0, 4, 4}, {0, 0}, target.get(), manager.get());
    EXPECT_EQ(Pixel(target.get(), 2, 2), RGB(1, 2, 3));
}

// Rectangles at the ends of the coordinate range or beyond any bitmap: nothing is painted,
// nothing raises, and neither a saved DC level nor a bitmap is left behind.
TEST_F(SectionPaint, ExtremeRectanglesPaintNothingAndLeaveNothing) {
    const int i = AddSection("PANEL", RGB(40, 50, 60));
    const TRect rects[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, INT_MAX, INT_MAX},
                           {0, 0, 9000, 9000},                   {INT_MIN, 0, INT_MIN + 9, 9},
                           {INT_MAX - 9, 0, INT_MAX, 9},         {0, INT_MIN, 9, INT_MIN + 9}};
    skin_test::DibDC dc(6, 6, 24);
    BitmapPtr target = Filled(24, 6, 6, RGB(7, 7, 7));
    target->Canvas()->Font()->SetHeight(12);
    BitmapPtr mask;
    for (const TRect& r : rects) {
        SCOPED_TRACE(testing::Message() << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom);
        const int level = win::SaveDC(dc.dc());
        win::RestoreDC(dc.dc(), level);
        EXPECT_NO_THROW(PaintSectionToDC(i, "PANEL", EmptyCacheInfo, true, 0, r, {0, 0}, dc.dc(),
                                         manager.get()));
        EXPECT_EQ(win::SaveDC(dc.dc()), level);
        win::RestoreDC(dc.dc(), -1);
        EXPECT_NO_THROW(PaintRoundThumb(target.get(), r, 0, 4, 3, RGB(255, 255, 0)));
        EXPECT_NO_THROW(DrawGlowText(target.get(), "Ag", r, mask, RGB(0, 0, 255), 4, 15, 0));
        EXPECT_EQ(Pixel(target.get(), 0, 0), RGB(7, 7, 7));
    }
    EXPECT_EQ(dc.get(3, 3), 0u);
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

TEST_F(SectionPaint, PatternMasksTileWholePiecesAndTheirModesEdges) {
    // Picture rows 0-1, mask rows 2-3 (black: the picture shows), one image.
    const int i = AddTexture("T", "P", {0, 0, 2, 4}, RGB(90, 0, 0), 0, 1, 1);
    for (int y = 2; y < 4; ++y) {
        for (int x = 0; x < 2; ++x)
            std::memset(master.At(x, y), 0, 3);
    }
    const TsMaskData& m = skin().Masks[size_t(i)];
    CacheInfo plain;
    plain.FillColor = RGB(0, 0, 7);

    // Mode 0 over 7 x 7 at (1, 1): whole pieces at 1, 3, 5 while x < 8 - 2 (so 1, 3, 5 ... 5 < 6
    // yes), then the cut column at 7; rows likewise; below the last row nothing.
    BitmapPtr target = Filled(24, 9, 9, RGB(1, 1, 1));
    TRect r{1, 1, 8, 8};
    PaintPatternMask(target.get(), r, plain, m, 0);
    EXPECT_EQ(r.Right, -1);
    EXPECT_EQ(Pixel(target.get(), 1, 1), RGB(90, 0, 0));
    EXPECT_EQ(Pixel(target.get(), 7, 6), RGB(90, 0, 0));  // the cut column
    EXPECT_EQ(Pixel(target.get(), 8, 6), RGB(1, 1, 1));
    EXPECT_EQ(Pixel(target.get(), 3, 7), RGB(1, 1, 1));  // below the last whole row
    EXPECT_EQ(Pixel(target.get(), 0, 0), RGB(1, 1, 1));

    // Mode 10: the strips below and right of the grid show the parent's colour.
    BitmapPtr ten = Filled(24, 9, 9, RGB(1, 1, 1));
    r = {1, 1, 8, 8};
    PaintPatternMask(ten.get(), r, plain, m, 10);
    EXPECT_EQ(Pixel(ten.get(), 5, 5), RGB(90, 0, 0));
    EXPECT_EQ(Pixel(ten.get(), 7, 1), RGB(0, 0, 7));
    EXPECT_EQ(Pixel(ten.get(), 1, 7), RGB(0, 0, 7));
    EXPECT_EQ(Pixel(ten.get(), 8, 8), RGB(1, 1, 1));

    // No whole column: the bottom strip starts at the rectangle's top, never above it.
    BitmapPtr narrow = Filled(24, 9, 9, RGB(1, 1, 1));
    r = {3, 4, 5, 9};
    PaintPatternMask(narrow.get(), r, plain, m, 10);
    EXPECT_EQ(Pixel(narrow.get(), 3, 4), RGB(0, 0, 7));
    EXPECT_EQ(Pixel(narrow.get(), 3, 3), RGB(1, 1, 1));
    EXPECT_EQ(Pixel(narrow.get(), 3, 0), RGB(1, 1, 1));

    // Other modes, no image count or no piece: nothing, and the rectangle stays.
    TsMaskData copy;
    copy.R = m.R, copy.ImageCount = m.ImageCount, copy.MaskType = 1, copy.Manager = m.Manager;
    for (int16_t images : {int16_t(0), int16_t(-2), int16_t(3)}) {
        copy.ImageCount = images;
        r = {1, 1, 8, 8};
        PaintPatternMask(narrow.get(), r, plain, copy, images == 3 ? 5 : 0);
        EXPECT_EQ(r, (TRect{1, 1, 8, 8})) << images;
    }
}

TEST_F(SectionPaint, BordersFollowTheStateAndCornersTheirOrder) {
    // A border mask of two 3 x 3 states with 1-pixel borders: state 0 red, state 1 green;
    // a 1 x 1 corner image in blue.
    const int i = AddSection("EDIT", RGB(9, 9, 9));
    const int border = AddTexture("EDIT", "BORDERSMASK", {10, 0, 13, 3}, RGB(255, 0, 0), 2);
    AddTexture("EDIT", "X", {13, 0, 16, 3}, RGB(0, 255, 0));
    skin().Masks[size_t(border)].R = {10, 0, 16, 3};
    skin().Masks[size_t(border)].ImageCount = 2;
    TsMaskData& b = skin().Masks[size_t(border)];
    b.WL = b.WT = b.WR = b.WB = 1;
    b.ImgType = itisaBorder;
    const int corner = AddTexture("EDIT", "IMGTOPLEFT", {20, 0, 21, 1}, RGB(0, 0, 255));
    section(i).BordersMask = border;
    section(i).CornerMasks[0] = corner;

    TsCommonData data(nullptr, false);
    data.SkinIndex = i;
    data.BorderIndex = border;
    data.SetSkinManager(manager.get());
    BitmapPtr target = Filled(24, 6, 6, 0);
    PaintControlSection(&data, EmptyCacheInfo, true, 0, {0, 0, 6, 6}, {0, 0}, target.get(), 1);
    EXPECT_EQ(Pixel(target.get(), 3, 0), RGB(9, 9, 9));  // no border in state 0
    EXPECT_EQ(Pixel(target.get(), 0, 0), RGB(0, 0, 255));
    PaintControlSection(&data, EmptyCacheInfo, true, 1, {0, 0, 6, 6}, {0, 0}, target.get(), 1);
    EXPECT_EQ(Pixel(target.get(), 3, 0), RGB(0, 255, 0));
    EXPECT_EQ(Pixel(target.get(), 5, 5), RGB(0, 255, 0));
    EXPECT_EQ(Pixel(target.get(), 0, 0), RGB(0, 0, 255));  // the corner over the border
    EXPECT_EQ(Pixel(target.get(), 2, 2), RGB(9, 9, 9));

    // The section painter takes the section's own border mask, and paints it after the
    // corners.
    BitmapPtr whole = Filled(24, 6, 6, 0);
    PaintMaskWithBorders(i, "EDIT", EmptyCacheInfo, true, 1, {0, 0, 6, 6}, {0, 0}, whole.get(),
                         manager.get(), -1, -1);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            if (x + y == 0) continue;
            ASSERT_EQ(Pixel(whole.get(), x, y), Pixel(target.get(), x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(Pixel(whole.get(), 0, 0), RGB(0, 255, 0));
    // A part with the same mask, given by index.
    BitmapPtr part = Filled(24, 6, 6, 0);
    CacheInfo record = EmptyCacheInfo;
    PaintSectionPart(i, border, -1, -1, record, true, 1, {0, 0, 6, 6}, {4, 4}, part.get(),
                     manager.get());
    EXPECT_EQ(record.X, 0);
    EXPECT_EQ(Pixel(part.get(), 3, 0), RGB(0, 255, 0));
    EXPECT_EQ(Pixel(part.get(), 2, 2), RGB(9, 9, 9));
}

TEST_F(SectionPaint, AControlsOwnColourIsItsBackground) {
    const int i = AddSection("PANEL", RGB(9, 9, 9), 50);
    vcl::TControl owner(nullptr);
    owner.SetColor(vcl::TColor(RGB(1, 2, 3)));
    TsCommonData data(&owner, false);
    data.SkinIndex = i;
    data.SetSkinManager(manager.get());
    BitmapPtr target = Filled(24, 4, 4, 0);
    data.SetCustomColor(true);
    PaintControlBackground(&data, EmptyCacheInfo, 0, {0, 0, 4, 4}, {0, 0}, target.get());
    EXPECT_EQ(Pixel(target.get(), 1, 1), RGB(1, 2, 3));
    data.SetCustomColor(false);
    CacheInfo plain;
    plain.FillColor = RGB(0, 0, 0);
    PaintControlBackground(&data, plain, 0, {0, 0, 4, 4}, {0, 0}, target.get());
    EXPECT_EQ(Pixel(target.get(), 1, 1), BlendTwoColors(0, RGB(9, 9, 9), 0.5));
}

// A control that answers command 34 with a bitmap when `bitmap` is set, answers command 21
// with `color21`, and notes the paint messages it gets (filling its whole area in red).
class TProbe : public vcl::TControl {
public:
    VCL_CLASS(TProbe, vcl::TControl)
    TProbe() : vcl::TControl(nullptr) {}
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_GETBGINFO && bitmap) {
            auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam);
            info->BgType = btCache;
            info->Bmp = bitmap;
            info->Offset = {5, 6};
            return;
        }
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_GETBGCOLOR) {
            m.Result = intptr_t(color21);
            return;
        }
        if (m.Msg == win::WM_ERASEBKGND || m.Msg == win::WM_PAINT) {
            log.push_back(m.Msg);
            const auto dc = reinterpret_cast<win::HDC>(m.WParam);
            FillRectSolid(dc, {0, 0, 10, 10}, RGB(255, 0, 0));
            return;
        }
        vcl::TControl::WndProc(m);
    }
    vcl::TBitmap* bitmap = nullptr;
    TColor color21 = 0;
    std::vector<uint32_t> log;
};

TEST_F(SectionPaint, TheParentIsAskedForItsBackground) {
    TProbe probe;
    BitmapPtr bmp = Filled(24, 20, 20, RGB(4, 5, 6));
    probe.bitmap = bmp.get();
    BackgroundInfo info;
    EXPECT_TRUE(GetParentBackground(info, &probe, false));
    CacheInfo cache;
    PixelView view;
    BGInfoToCacheInfo(info, cache, view);
    EXPECT_TRUE(cache.Ready);
    EXPECT_EQ(cache.Bmp, &view);
    EXPECT_EQ(view.Width, 20);
    EXPECT_EQ(cache.X, 5);
    EXPECT_EQ(cache.Y, 6);

    // Unanswered, with PleaseDraw in: the control paints itself, seen from the asker.
    probe.bitmap = nullptr;
    skin_test::DibDC dc(10, 10, 24);
    info = {};
    info.PleaseDraw = 1;
    info.DC = dc.dc();
    info.Offset = {2, 3};
    info.R = {0, 0, 4, 4};
    EXPECT_FALSE(GetParentBackground(info, &probe, false));
    EXPECT_EQ(probe.log, (std::vector<uint32_t>{win::WM_ERASEBKGND, win::WM_PAINT}));
    EXPECT_EQ(info.BgType, btUnknown);
    EXPECT_EQ(dc.get(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dc.get(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(dc.get(4, 4), 0u) << "clipped to R";
    EXPECT_EQ(dc.get(7, 6), 0u) << "clipped to R";

    // Unanswered otherwise: the colour answer of command 21, else the control's Color; with
    // the paint flag R of the DC is filled with it, and without a DC nothing is drawn.
    probe.color21 = RGB(7, 7, 7);
    info = {};
    info.DC = dc.dc();
    info.R = {5, 5, 7, 7};
    EXPECT_FALSE(GetParentBackground(info, &probe, true));
    EXPECT_EQ(info.BgType, btFill);
    EXPECT_EQ(info.Color, RGB(7, 7, 7));
    EXPECT_EQ(dc.get(6, 6), RGB(7, 7, 7));
    EXPECT_EQ(dc.get(7, 7), 0u);
    probe.color21 = 0;
    probe.SetColor(vcl::TColor(RGB(8, 8, 8)));
    info = {};
    info.R = {5, 5, 7, 7};
    EXPECT_FALSE(GetParentBackground(info, &probe, true));
    EXPECT_EQ(info.Color, RGB(8, 8, 8));
    BGInfoToCacheInfo(info, cache, view);
    EXPECT_FALSE(cache.Ready);
    EXPECT_EQ(cache.FillColor, RGB(8, 8, 8));
    EXPECT_EQ(cache.Bmp, nullptr);

    // A bare window that does not answer gives the global colour (here: the button face).
    info = {};
    EXPECT_FALSE(GetBGInfoFromWindow(info, nullptr, false));
    EXPECT_EQ(info.BgType, btFill);
}

}  // namespace
}  // namespace skin
