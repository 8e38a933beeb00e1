#include "skin/core/paint/alpha_image_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/gdi/gdi.h"
#include "skin/core/pixels/bitmaps.h"
#include "tests/skin/core/png_reference.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/icon.h"
#include "vcl/system/component.h"

namespace {

using namespace skin;
using skin_test::PngSpec;
using skin_test::WritePng;
using skin_test::WriteSolidPng;

using ListPtr = std::unique_ptr<TsAlphaImageList, vcl::FreeDeleter>;

// A list of the given size holding one item per file.
ListPtr MakeList(int w, int h, std::initializer_list<std::pair<TsImageFormat, std::string>> files) {
    ListPtr list(vcl::New<TsAlphaImageList>(nullptr));
    list->SetSize(w, h);
    for (const auto& [format, bytes] : files) {
        TsImgListItem* item = list->Items()->Add();
        item->SetImageFormat(format);
        item->ImgData()->Write(bytes.data(), int64_t(bytes.size()));
    }
    list->GenerateImages();
    return list;
}

// 4 x 4 RGBA: red and blue by position, every alpha from 0 to 255 somewhere.
std::string GradedPng() {
    PngSpec s;
    s.width = 4, s.height = 4, s.colorType = 6;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            s.samples.insert(s.samples.end(), {uint16_t(60 * x + 20), 200, uint16_t(70 * y),
                                               uint16_t(17 * (4 * y + x))});
    return WritePng(s);
}

// A strip of `frames` 4 x 4 frames, opaque, frame i of colours[i] (red in the low byte).
std::string FramesPng(std::initializer_list<uint32_t> colours) {
    PngSpec s;
    s.width = 4 * int(colours.size()), s.height = 4, s.colorType = 6;
    for (int y = 0; y < 4; ++y)
        for (uint32_t c : colours)
            for (int x = 0; x < 4; ++x)
                s.samples.insert(s.samples.end(), {uint16_t(RedOf(c)), uint16_t(GreenOf(c)),
                                                   uint16_t(BlueOf(c)), 255});
    return WritePng(s);
}

std::unique_ptr<vcl::TBitmap> Background(int w, int h, TColor c, vcl::TPixelFormat f = pf24bit) {
    std::unique_ptr<vcl::TBitmap> b(f == pf32bit ? NewBitmap32(w, h) : NewBitmap24(w, h));
    const PixelView v = ViewOf(b.get());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = v.At(x, y);
            p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
        }
    return b;
}

TColor At(vcl::TBitmap* b, int x, int y) {
    const uint8_t* p = ViewOf(b).At(x, y);
    return RGB(p[2], p[1], p[0]);
}

uint32_t At32(vcl::TBitmap* b, int x, int y) {
    return At(b, x, y) | uint32_t(ViewOf(b).At(x, y)[3]) << 24;
}

// One channel of a picture pixel laid over the background by its alpha.
int Over(int s, int d, int a) {
    return ((s - d) * a + d * 256) >> 8;
}

TEST(TsAlphaImageList, DrawsAPngItemByItsAlphaOverTheCanvas) {
    ListPtr list = MakeList(4, 4, {{ifPNG, GradedPng()}});
    ASSERT_EQ(list->Count(), 1);
    EXPECT_TRUE(list->Generated());
    EXPECT_TRUE(list->KeepItems());
    const TColor back = RGB(10, 50, 250);
    auto canvas = Background(6, 6, back);
    list->Draw(canvas->Canvas(), 1, 2, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const int a = 17 * (4 * y + x);
            EXPECT_EQ(At(canvas.get(), x + 1, y + 2),
                      RGB(Over(60 * x + 20, 10, a), Over(200, 50, a), Over(70 * y, 250, a)))
                << x << "," << y;
        }
    EXPECT_EQ(At(canvas.get(), 0, 0), back);
    EXPECT_EQ(At(canvas.get(), 5, 1), back);

    // The glyph painter mixes the same pixels into a bitmap.
    auto target = Background(6, 6, back);
    EXPECT_EQ(DrawImageListGlyph(list.get(), target.get(), {1, 2}, 1, 0, 0, false, clNone, 0),
              TPoint(4, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(target.get(), x + 1, y + 2), At(canvas.get(), x + 1, y + 2));
}

TEST(TsAlphaImageList, BuildsItsImagesOnceLoaded) {
    ListPtr list;
    {
        vcl::TLoadingScope loading;
        list.reset(vcl::New<TsAlphaImageList>(nullptr));
        list->SetSize(4, 4);
        const std::string png = GradedPng();
        list->Items()->Add()->ImgData()->Write(png.data(), int64_t(png.size()));
        EXPECT_EQ(list->Count(), 0);
        loading.Finish();
    }
    EXPECT_EQ(list->Count(), 1);
    EXPECT_TRUE(list->Generated());
    // A list loaded without items counts as built too, so plain images get their alpha.
    ListPtr empty;
    {
        vcl::TLoadingScope loading;
        empty.reset(vcl::New<TsAlphaImageList>(nullptr));
        empty->SetSize(2, 2);
    }
    EXPECT_TRUE(empty->Generated());
    auto plain = Background(2, 2, RGB(5, 6, 7));
    empty->Add(plain.get(), nullptr);
    auto picture = Background(2, 2, 0, pf32bit);
    ASSERT_TRUE(empty->GetBitmap32(0, picture.get()));
    EXPECT_EQ(At32(picture.get(), 1, 1), 0xFF000000u | RGB(5, 6, 7));
    EXPECT_EQ(ScreenColorDepth(), 32);
}

TEST(TsAlphaImageList, KeepsAlphaWhenItemsAreNotKept) {
    ListPtr list(vcl::New<TsAlphaImageList>(nullptr));
    list->SetKeepItems(false);
    list->SetSize(4, 4);
    const std::string png = GradedPng();
    list->Items()->Add()->ImgData()->Write(png.data(), int64_t(png.size()));
    list->GenerateImages();
    EXPECT_EQ(list->Items()->Count(), 0);
    ASSERT_EQ(list->Count(), 1);
    auto picture = Background(4, 4, 0, pf32bit);
    ASSERT_TRUE(list->GetBitmap32(0, picture.get()));
    EXPECT_EQ(At32(picture.get(), 3, 3) >> 24, 255u);
    EXPECT_EQ(At32(picture.get(), 1, 2) >> 24, uint32_t(17 * 9));
    EXPECT_EQ(RedOf(At(picture.get(), 3, 3)), 200);
}

TEST(TsAlphaImageList, ScalesAnItemOfAnotherSizeToTheTarget) {
    ListPtr list = MakeList(24, 24, {{ifPNG, WriteSolidPng(16, 16, 0xFF3264C8)}});
    auto picture = Background(24, 24, 0, pf32bit);
    ASSERT_TRUE(list->GetBitmap32(0, picture.get()));
    EXPECT_EQ(picture->Width(), 24);
    EXPECT_EQ(picture->PixelFormat(), pf32bit);
    const uint32_t c = At32(picture.get(), 12, 12);
    EXPECT_NEAR(RedOf(c), 0xC8, 3);
    EXPECT_NEAR(GreenOf(c), 0x64, 3);
    EXPECT_NEAR(BlueOf(c), 0x32, 3);
}

TEST(TsAlphaImageList, ScalesATinyItemByTheNearestPixel) {
    // The resampler refuses pictures below 2 x 2; such an item still draws.
    ListPtr list;
    ASSERT_NO_THROW(list = MakeList(4, 4,
                                    {{ifPNG, WriteSolidPng(1, 1, 0x80102030)},
                                     {ifPNG, WriteSolidPng(1, 3, 0xFF405060)}}));
    auto picture = Background(4, 4, 0, pf32bit);
    ASSERT_NO_THROW(EXPECT_TRUE(list->GetBitmap32(0, picture.get())));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At32(picture.get(), x, y), 0x80102030u);
    ASSERT_TRUE(list->GetBitmap32(1, picture.get()));
    EXPECT_EQ(At32(picture.get(), 3, 0), 0xFF405060u);
    auto canvas = Background(4, 4, 0);
    list->Draw(canvas->Canvas(), 0, 0, 0);
    EXPECT_EQ(At(canvas.get(), 2, 2),
              RGB(Over(0x30, 0, 0x80), Over(0x20, 0, 0x80), Over(0x10, 0, 0x80)));
}

std::string IcoBytes(TColor colour) {
    auto pic = Background(4, 4, colour, pf32bit);
    const PixelView v = ViewOf(pic.get());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            v.At(x, y)[3] = 255;
    win::HBITMAP mask = win::CreateBitmap(4, 4, 1, 1, nullptr);
    win::ICONINFO ii{};
    ii.hbmColor = pic->Handle();
    ii.hbmMask = mask;
    win::HICON icon = win::CreateIconIndirect(&ii);
    win::DeleteObject(mask);
    const std::vector<uint8_t> ico = vcl::EncodeIco(icon);
    win::DestroyIcon(icon);
    return {ico.begin(), ico.end()};
}

TEST(TsAlphaImageList, DrawsIconItemsThroughItsImages) {
    const TColor green = RGB(0, 160, 0);
    ListPtr list = MakeList(4, 4, {{ifPNG, FramesPng({0x0000FF})}, {ifICO, IcoBytes(green)}});
    ASSERT_EQ(list->Count(), 2);
    auto canvas = Background(6, 6, RGB(1, 2, 3));
    list->Draw(canvas->Canvas(), 1, 1, 1);
    EXPECT_EQ(At(canvas.get(), 2, 2), green);
    EXPECT_EQ(At(canvas.get(), 5, 5), RGB(1, 2, 3));
    auto picture = Background(4, 4, 0, pf32bit);
    ASSERT_TRUE(list->GetBitmap32(1, picture.get()));
    EXPECT_EQ(At32(picture.get(), 0, 0), 0xFF000000u | green);
}

TEST(TsAlphaImageList, BadRequestsDrawNothing) {
    ListPtr list = MakeList(4, 4, {{ifPNG, GradedPng()}});
    auto picture = Background(4, 4, 0, pf32bit);
    EXPECT_FALSE(list->GetBitmap32(1, picture.get()));
    EXPECT_FALSE(list->GetBitmap32(-1, picture.get()));
    EXPECT_FALSE(list->GetBitmap32(0, nullptr));
    // An empty target has no size to scale to: no picture, and no resampler error.
    std::unique_ptr<vcl::TBitmap> empty(NewBitmap32(0, 0));
    EXPECT_FALSE(list->GetBitmap32(0, empty.get()));
    auto target = Background(6, 6, RGB(9, 9, 9));
    DrawImageListGlyph(list.get(), target.get(), {0, 0}, 1, 0, 5, false, clNone, 0);
    DrawImageListGlyph(nullptr, target.get(), {0, 0}, 1, 0, 0, false, clNone, 0);
    EXPECT_EQ(At(target.get(), 3, 3), RGB(9, 9, 9));
    // Percent 100 takes all of the picture's alpha away.
    DrawImageListGlyph(list.get(), target.get(), {0, 0}, 1, 0, 0, false, clNone, 100);
    EXPECT_EQ(At(target.get(), 3, 3), RGB(9, 9, 9));
}

TEST(TsAlphaImageList, AFileThatIsNoPictureRaisesAndLeavesTheListUsable) {
    ListPtr list = MakeList(4, 4, {});
    const std::string junk = "not a picture at all";
    list->Items()->Add()->ImgData()->Write(junk.data(), int64_t(junk.size()));
    EXPECT_ANY_THROW(list->GenerateImages());
    EXPECT_FALSE(list->Updating());
}

TEST(SetAlphaFromCorner, MakesTheCornerColourTransparent) {
    auto b = Background(3, 3, RGB(1, 2, 3), pf32bit);
    const PixelView v = ViewOf(b.get());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            v.At(x, y)[3] = 0;
    v.At(1, 1)[0] = 77;  // another colour
    SetAlphaFromCorner(b.get());
    EXPECT_EQ(At32(b.get(), 1, 1) >> 24, 255u);
    EXPECT_EQ(At32(b.get(), 2, 0) >> 24, 0u);
    EXPECT_EQ(At32(b.get(), 0, 2) >> 24, 0u);
    // Any alpha at all leaves the bitmap alone.
    v.At(0, 0)[3] = 1;
    v.At(1, 1)[3] = 0;
    SetAlphaFromCorner(b.get());
    EXPECT_EQ(At32(b.get(), 1, 1) >> 24, 0u);
}

TEST(TsAlphaImageList, PlainBitmapsAddedLaterGetOpaqueExceptTheKey) {
    ListPtr list = MakeList(4, 4, {{ifPNG, GradedPng()}});
    auto plain = Background(4, 4, RGB(10, 20, 30));
    ViewOf(plain.get()).At(2, 1)[0] = 0xFF, ViewOf(plain.get()).At(2, 1)[1] = 0,
                              ViewOf(plain.get()).At(2, 1)[2] = 0xFF;
    ASSERT_EQ(list->Add(plain.get(), nullptr), 1);
    auto picture = Background(4, 4, 0, pf32bit);
    ASSERT_TRUE(list->GetBitmap32(1, picture.get()));
    EXPECT_EQ(At32(picture.get(), 0, 0), 0xFF000000u | RGB(10, 20, 30));
    EXPECT_EQ(At32(picture.get(), 2, 1) >> 24, 0u);
    // The item's own image is untouched.
    ASSERT_TRUE(list->GetBitmap32(0, picture.get()));
    EXPECT_EQ(At32(picture.get(), 1, 0) >> 24, 17u);
}

TEST(DrawImageListGlyph, AStateBeyondTheFramesDrawsTheLastOne) {
    ListPtr list = MakeList(16, 4, {{ifPNG, FramesPng({0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF})}});
    auto target = Background(8, 8, 0);
    EXPECT_EQ(DrawImageListGlyph(list.get(), target.get(), {2, 2}, 4, 7, 0, false, clNone, 0),
              TPoint(4, 4));
    // Opaque pixels mix by 255 / 256: 255 over 0 gives 254.
    EXPECT_EQ(At(target.get(), 2, 2), RGB(254, 254, 0));
    EXPECT_EQ(At(target.get(), 6, 2), 0u);  // one frame wide
    DrawImageListGlyph(list.get(), target.get(), {2, 2}, 4, 1, 0, false, clNone, 0);
    EXPECT_EQ(At(target.get(), 5, 5), RGB(0, 254, 0));
    // No frames count as one: the whole picture.
    auto wide = Background(20, 4, 0);
    EXPECT_EQ(DrawImageListGlyph(list.get(), wide.get(), {0, 0}, 0, 3, 0, false, clNone, 0),
              TPoint(16, 4));
    EXPECT_EQ(At(wide.get(), 15, 0), RGB(254, 254, 0));
}

TEST(DrawImageListGlyph, TintsAndMirrorsOntoADeviceContext) {
    ListPtr list = MakeList(4, 4, {{ifPNG, FramesPng({0x0000FF})}});
    auto canvas = Background(4, 8, RGB(0, 0, 0));
    const win::HDC dc = canvas->Canvas()->Handle();
    DrawImageListGlyphToDC(list.get(), dc, {0, 0}, 1, 0, 0, false, clNone, 0);
    EXPECT_EQ(At(canvas.get(), 0, 0), RGB(254, 0, 0));
    EXPECT_EQ(At(canvas.get(), 0, 4), 0u);
    // Half as high again below the picture takes the fading mirror.
    DrawImageListGlyphToDC(list.get(), dc, {0, 0}, 1, 0, 0, true, clNone, 0);
    EXPECT_EQ(At(canvas.get(), 0, 4), RGB(Over(255, 0, 85), 0, 0));
    EXPECT_NE(At(canvas.get(), 0, 5), 0u);
    EXPECT_EQ(At(canvas.get(), 0, 6), 0u);
    // A tint colours the grey of the picture: (255 + 0 + 0) div 3 = 85 of green.
    DrawImageListGlyphToDC(list.get(), dc, {0, 0}, 1, 0, 0, false, RGB(0, 255, 0), 0);
    EXPECT_EQ(At(canvas.get(), 1, 1), RGB(Over(0, 254, 255), Over(85, 0, 255), 0));
}

TEST(DrawImageListGlyph, OtherListsDrawTheirFrameOverTheTarget) {
    std::unique_ptr<vcl::TImageList, vcl::FreeDeleter> plain(
        vcl::New<vcl::TImageList>(nullptr, 8, 4));
    auto strip = Background(8, 4, RGB(255, 0, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x)
            ViewOf(strip.get()).At(x, y)[1] = 255;
    plain->Add(strip.get(), nullptr);
    auto target = Background(10, 6, RGB(0, 0, 255));
    EXPECT_EQ(DrawImageListGlyph(plain.get(), target.get(), {1, 1}, 2, 1, 0, false, clNone, 0),
              TPoint(4, 4));
    EXPECT_EQ(At(target.get(), 1, 1), RGB(255, 255, 0));
    EXPECT_EQ(At(target.get(), 5, 1), RGB(0, 0, 255));
}

TEST(TsAlphaImageList, AssignCopiesItemsSizeAndPictures) {
    ListPtr list = MakeList(4, 4, {{ifPNG, GradedPng()}, {ifPNG, FramesPng({0x00FF00})}});
    list->SetBkColor(vcl::clWhite);
    ListPtr copy(vcl::New<TsAlphaImageList>(nullptr));
    copy->Assign(list.get());
    EXPECT_EQ(copy->Width(), 4);
    EXPECT_EQ(copy->Count(), 2);
    EXPECT_EQ(copy->Items()->Count(), 2);
    EXPECT_EQ(copy->BkColor(), vcl::clWhite);
    EXPECT_TRUE(copy->Generated());
    auto a = Background(4, 4, 0, pf32bit), b = Background(4, 4, 0, pf32bit);
    ASSERT_TRUE(list->GetBitmap32(0, a.get()));
    ASSERT_TRUE(copy->GetBitmap32(0, b.get()));
    EXPECT_EQ(At32(a.get(), 2, 3), At32(b.get(), 2, 3));
    EXPECT_EQ(copy->Items()->Items(1)->ImgData()->Size(),
              list->Items()->Items(1)->ImgData()->Size());
}

}  // namespace
