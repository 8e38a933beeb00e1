#include "skin/core/pixels/png_graphic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "platform/gdi/gdi.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/errors.h"
#include "skin/core/pixels/resampler.h"
#include "tests/skin/core/png_reference.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/picture.h"

namespace skin {
namespace {

using skin_test::PngSpec;

PngSpec Spec(int type, int depth, int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    return skin_test::RandomPng(type, depth, false, w, h, rng);
}

std::unique_ptr<TPNGGraphic> Load(const std::string& png) {
    auto g = std::make_unique<TPNGGraphic>();
    vcl::TStringStream s(png);
    g->LoadFromStream(&s);
    return g;
}

TEST(PngGraphic, LoadsIntoItsOwnBitmapAsTheDecoderDoes) {
    for (auto [type, depth] : {std::pair{6, 8}, {2, 16}, {3, 2}, {0, 4}, {4, 8}}) {
        SCOPED_TRACE(type * 100 + depth);
        const std::string png = skin_test::WritePng(Spec(type, depth, 7, 5, type));
        auto g = Load(png);
        PngDecoder d;
        PngImage ref;
        d.Load(reinterpret_cast<const uint8_t*>(png.data()), png.size(), ref);
        ASSERT_EQ(g->Width(), 7);
        ASSERT_EQ(g->PixelFormat(), ref.PixelFormat());
        const size_t bytes = (7 * size_t(ref.BitsPerPixel()) + 7) / 8;
        for (int y = 0; y < 5; ++y) {
            EXPECT_EQ(std::memcmp(g->ScanLine(y), ref.Row(y), bytes), 0) << y;
        }
        if (ref.BitsPerPixel() <= 8) {
            win::RGBQUAD colours[16];
            ASSERT_GE(win::GetDIBColorTable(g->Canvas()->Handle(), 0, 16, colours), 16u);
            const auto& e = ref.Palette()[5];
            EXPECT_EQ(colours[5].rgbRed, e.Red);
            EXPECT_EQ(colours[5].rgbBlue, e.Blue);
        }
    }
}

TEST(PngGraphic, RegistersForPngFilesAndKeepsItsHeaderOnAssign) {
    RegisterPngFormat();
    std::unique_ptr<vcl::TGraphic> g(vcl::CreateGraphicForExtension("PNG"));
    EXPECT_NE(dynamic_cast<TPNGGraphic*>(g.get()), nullptr);
    UnregisterPngFormat();
    auto a = Load(skin_test::WritePng(Spec(2, 8, 3, 3, 1)));
    TPNGGraphic b;
    b.Assign(a.get());
    EXPECT_EQ(b.Header().Width, 3u);
    EXPECT_EQ(b.Width(), 3);
}

TEST(PngGraphic, ReportsLoadingThroughThePicturesProgressEvent) {
    TPNGGraphic g;
    std::vector<std::string> events;
    g.OnProgress = vcl::TProgressEvent::FromCallable(
        [&](vcl::TObject* sender, vcl::TProgressStage stage, uint8_t percent, bool redraw,
            const vcl::TRect& r, const std::string& text) {
            EXPECT_EQ(sender, &g);
            events.push_back(std::to_string(int(stage)) + ":" + std::to_string(percent) +
                             (redraw ? "!" : "") + text);
            EXPECT_EQ(r.Right, g.Width());
        });
    // Three rows: the second is two thirds done, which rounds up.
    vcl::TStringStream s(skin_test::WritePng(Spec(2, 8, 4, 3, 9)));
    g.LoadFromStream(&s);
    EXPECT_EQ(events, (std::vector<std::string>{"0:0Preparing...", "2:0", "0:0Transfering...",
                                                "1:33!", "1:67!", "1:100!", "2:0"}));

    // A load that fails in the image data still ends its progress.
    events.clear();
    std::string broken = skin_test::WritePng(Spec(2, 8, 4, 3, 9));
    broken[33 + 8 + 4] ^= 0x5A;  // inside the first IDAT chunk, right after IHDR
    vcl::TStringStream t(broken);
    EXPECT_ANY_THROW(g.LoadFromStream(&t));
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.front(), "0:0Preparing...");
    EXPECT_EQ(events.back(), "2:0");
}

TEST(PngGraphic, DrawsAlphaOverTheCanvasWithAnOptionalMirror) {
    PngSpec s;
    s.width = 2, s.height = 2, s.colorType = 6, s.depth = 8;
    s.samples = {200, 0, 0, 128, 0, 0, 0, 0, 0, 200, 0, 255, 0, 0, 200, 64};
    auto g = Load(skin_test::WritePng(s));
    std::unique_ptr<vcl::TBitmap> canvas(NewBitmap24(4, 6));
    const PixelView v = ViewOf(canvas.get());
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 4; ++x)
            v.At(x, y)[0] = v.At(x, y)[1] = v.At(x, y)[2] = 100;
    }
    canvas->Canvas()->Draw(1, 1, g.get());
    // ((S - D) * A + D * 256) >> 8 on red: 200 over 100 at 128
    EXPECT_EQ(v.At(1, 1)[2], (200 * 128 + 100 * 128) >> 8);
    EXPECT_EQ(v.At(2, 1)[2], 100);  // alpha 0
    EXPECT_EQ(v.At(1, 2)[1], (200 * 255 + 100) >> 8);
    EXPECT_EQ(v.At(0, 0)[2], 100);

    g->Reflected = 1;
    canvas->Canvas()->Draw(1, 1, g.get());
    // The mirror fills the half picture height below: row 3 shows picture row 1 at a third.
    EXPECT_EQ(v.At(1, 3)[1], (200 * 85 + 100 * 171) >> 8);
    EXPECT_EQ(v.At(1, 4)[1], 100);

    // Drawn at another size, the picture still covers the rectangle blended.
    std::unique_ptr<vcl::TBitmap> big(NewBitmap24(8, 8));
    big->Canvas()->StretchDraw({0, 0, 4, 4}, g.get());
    EXPECT_NE(ViewOf(big.get()).At(0, 3)[1], ViewOf(big.get()).At(6, 6)[1]);
}

TEST(PngGraphic, ClearTransparentWhiteBlackensOnlyInvisibleWhite) {
    std::unique_ptr<vcl::TBitmap> b(NewBitmap32(2, 2));
    const PixelView v = ViewOf(b.get());
    std::memset(v.At(0, 0), 0xFF, 3), v.At(0, 0)[3] = 0;
    std::memset(v.At(1, 0), 0xFF, 4);
    ClearTransparentWhite(b.get());
    EXPECT_EQ(v.At(0, 0)[0], 0);
    EXPECT_EQ(v.At(1, 0)[0], 0xFF);
}

// The colour (BGRA) and mask (0 black, 1 white) pixels of an icon.
struct IconPixels {
    explicit IconPixels(win::HICON icon) {
        win::ICONINFO info;
        ok = icon != nullptr && win::GetIconInfo(icon, &info);
        if (!ok) return;
        color = info.hbmColor, mask = info.hbmMask;
        win::GetBitmapView(color, &colorView);
        win::GetBitmapView(mask, &maskView);
        win::DestroyIcon(icon);
    }
    ~IconPixels() {
        if (ok) win::DeleteObject(color), win::DeleteObject(mask);
    }
    const uint8_t* Color(int x, int y) const {
        return colorView.bits + y * colorView.stride + x * 4;
    }
    int Mask(int x, int y) const {
        const uint8_t* row = maskView.bits + y * maskView.stride;
        return (row[x / 8] >> (7 - x % 8)) & 1;
    }
    bool ok = false;
    win::HBITMAP color = nullptr, mask = nullptr;
    win::BitmapView colorView, maskView;
};

TEST(IconsFromBitmaps, AlphaIconsMaskTheKeyColourOfPicturesWithoutAlpha) {
    std::unique_ptr<vcl::TBitmap> b(NewBitmap24(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint8_t* p = ViewOf(b.get()).At(x, y);
            const bool key = x == 1;
            p[0] = key ? 0xFF : 10, p[1] = key ? 0 : 20, p[2] = key ? 0xFF : 30;
        }
    IconPixels icon(MakeAlphaIconFromBitmap(b.get(), RGB(0, 0, 200)));
    ASSERT_TRUE(icon.ok);
    EXPECT_EQ(b->PixelFormat(), vcl::pf32bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(icon.Color(x, y)[3], x == 1 ? 0 : 255) << x << "," << y;
            EXPECT_EQ(icon.Mask(x, y), x == 1 ? 1 : 0) << x << "," << y;
        }
    EXPECT_EQ(icon.Color(0, 0)[0], 10);
}

TEST(IconsFromBitmaps, ATinyPictureKeepsTheBlendedPictureAndAnOpaqueMask) {
    // Too small for the per-pixel pass, even in the key colour.
    std::unique_ptr<vcl::TBitmap> b(NewBitmap24(1, 1));
    uint8_t* p = ViewOf(b.get()).At(0, 0);
    p[0] = 0xFF, p[1] = 0, p[2] = 0xFF;
    IconPixels icon(MakeAlphaIconFromBitmap(b.get(), RGB(0, 0, 200)));
    ASSERT_TRUE(icon.ok);
    EXPECT_EQ(icon.Mask(0, 0), 0);
    EXPECT_EQ(icon.Color(0, 0)[0], 0xFF);
    EXPECT_EQ(icon.Color(0, 0)[1], 0);
}

TEST(IconsFromBitmaps, ColourKeyIconsUseTheTopLeftPixelOnlyWhenAsked) {
    std::unique_ptr<vcl::TBitmap> b(NewBitmap32(2, 2));
    const PixelView v = ViewOf(b.get());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            std::memset(v.At(x, y), x == y ? 0x40 : 0x80, 4);
    {
        IconPixels icon(MakeIconFromBitmap(b.get(), false));
        ASSERT_TRUE(icon.ok);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(icon.Mask(i % 2, i / 2), 0);
    }
    IconPixels icon(MakeIconFromBitmap(b.get(), true));
    ASSERT_TRUE(icon.ok);
    EXPECT_EQ(icon.Mask(0, 0), 1);
    EXPECT_EQ(icon.Mask(1, 1), 1);
    EXPECT_EQ(icon.Mask(1, 0), 0);
    EXPECT_EQ(icon.Mask(0, 1), 0);
}

TEST(FontTextExtent, MeasuresWithTheGivenFont) {
    win::LOGFONTA lf{};
    lf.lfHeight = -20;
    std::strcpy(lf.lfFaceName, "Tahoma");
    win::HFONT big = win::CreateFontIndirectA(&lf);
    lf.lfHeight = -10;
    win::HFONT small = win::CreateFontIndirectA(&lf);
    const win::SIZE a = GetFontTextExtent(big, "Skin text");
    const win::SIZE b = GetFontTextExtent(small, "Skin text");
    EXPECT_GT(a.cx, b.cx);
    EXPECT_GT(a.cy, b.cy);
    EXPECT_EQ(GetFontTextExtent(big, "").cx, 0);
    win::DeleteObject(big);
    win::DeleteObject(small);
}

TEST(Bitmaps, ViewsAndResamplingWholeBitmaps) {
    std::unique_ptr<vcl::TBitmap> b(NewBitmap24(4, 4));
    PixelView v = ViewOf(b.get());
    EXPECT_EQ(v.BytesPerPixel, 3);
    EXPECT_EQ(v.Base, b->ScanLine(0));
    EXPECT_EQ(v.Row(3), b->ScanLine(3));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            v.At(x, y)[2] = uint8_t(x * 60);
    }
    ResampleBitmap(b.get(), b.get(), 2, 2, rfTriangle);
    EXPECT_EQ(b->Width(), 2);
    EXPECT_EQ(b->PixelFormat(), vcl::pf24bit);
    EXPECT_EQ(ViewOf(b.get()).At(0, 0)[2], 30);
    std::unique_ptr<vcl::TBitmap> copy(NewBitmap32(1, 1));
    ResampleBitmap(b.get(), copy.get(), 2, 2, rfBox);
    EXPECT_EQ(copy->Width(), 2);
    EXPECT_THROW(ResampleBitmap(b.get(), copy.get(), 0, 2, rfBox), EResampleError);
    std::unique_ptr<vcl::TBitmap> line(NewBitmap24(5, 1));
    EXPECT_EQ(ViewOf(line.get()).Stride, -16);
    EXPECT_THROW(ResampleBitmap(line.get(), copy.get(), 3, 3, rfBox), EResampleError);
}

}  // namespace
}  // namespace skin
