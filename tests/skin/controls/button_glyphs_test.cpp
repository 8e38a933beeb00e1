#include "skin/controls/button_glyphs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "skin/core/paint/alpha_image_list.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using vcl::TBitmap;
using BitmapPtr = std::unique_ptr<TBitmap, vcl::FreeDeleter>;

// 0xRRGGBB of a 24- or 32-bit pixel.
uint32_t At(TBitmap* bmp, int x, int y) {
    const uint8_t* p = ViewOf(bmp).At(x, y);
    return uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
}

// Each channel within 2 of the other's: the alpha mix rounds down.
::testing::AssertionResult Near(uint32_t a, uint32_t b) {
    for (int shift : {0, 8, 16})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 2)
            return ::testing::AssertionFailure() << std::hex << a << " is not " << b;
    return ::testing::AssertionSuccess();
}

void Fill(TBitmap* bmp, TRect r, uint32_t rgb, uint8_t alpha = 255) {
    const PixelView v = ViewOf(bmp);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            uint8_t* p = v.At(x, y);
            p[0] = rgb & 0xFF, p[1] = rgb >> 8 & 0xFF, p[2] = rgb >> 16;
            if (v.BytesPerPixel == 4) p[3] = alpha;
        }
}

class ButtonGlyphTest : public vcl::testing::GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        data = std::make_unique<TsCommonData>(nullptr, true);
        data->CacheBmp()->SetSize(40, 20);
        Fill(data->CacheBmp(), TRect(0, 0, 40, 20), 0x808080);
        in.SkinData = data.get();
        in.Skinned = true;
        in.GlyphRect = TRect(4, 2, 12, 10);
    }
    // Four 8 x 8 frames, each its own opaque colour.
    BitmapPtr FourFrames() {
        BitmapPtr g(NewBitmap32(32, 8));
        for (int f = 0; f < 4; ++f) Fill(g.get(), TRect(f * 8, 0, f * 8 + 8, 8), kFrames[f]);
        return g;
    }

    static constexpr uint32_t kFrames[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    std::unique_ptr<TsCommonData> data;
    ButtonGlyph in;
};

TEST_F(ButtonGlyphTest, AStateBeyondTheLastFrameShowsTheLast) {
    BitmapPtr glyph = FourFrames();
    in.Glyph = glyph.get();
    struct Case {
        int numGlyphs, state, frame;
    } cases[] = {{4, 0, 0}, {4, 1, 1}, {4, 2, 2}, {4, 3, 3}, {4, 5, 3}, {1, 0, 0}, {1, 2, 0},
                 {1, 5, 0}, {0, 3, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.numGlyphs << " frames, state " << c.state);
        in.NumGlyphs = c.numGlyphs;
        in.State = c.state;
        DrawButtonGlyph(in, nullptr);
        EXPECT_TRUE(Near(At(data->CacheBmp(), 5, 3), kFrames[c.frame]));
        EXPECT_EQ(At(data->CacheBmp(), 3, 3), 0x808080u);  // nothing outside the glyph
    }
}

TEST_F(ButtonGlyphTest, ADisabledGlyphOnAnotherCanvasIsHalfTransparentAndTheGlyphStaysAsItWas) {
    BitmapPtr glyph = FourFrames();
    in.Glyph = glyph.get();
    in.NumGlyphs = 4;
    in.Enabled = false;
    BitmapPtr before = FourFrames();
    BitmapPtr canvas(NewBitmap24(40, 20));
    Fill(canvas.get(), TRect(0, 0, 40, 20), 0x000000);
    DrawButtonGlyph(in, canvas->Canvas());
    const uint32_t px = At(canvas.get(), 5, 3);
    EXPECT_NEAR(int(px >> 16), 127, 2);  // red at half alpha over black
    EXPECT_EQ(px & 0xFFFF, 0u);
    for (int x = 0; x < 32; ++x) ASSERT_EQ(At(glyph.get(), x, 0), At(before.get(), x, 0));
    EXPECT_EQ(ViewOf(glyph.get()).At(0, 0)[3], 255);
    // Greyed instead: the grey of red over black, at full strength without dgBlended.
    in.DisabledGlyphKind = TsDisabledGlyphKind{dgGrayed};
    DrawButtonGlyph(in, canvas->Canvas());
    EXPECT_TRUE(Near(At(canvas.get(), 5, 3), 0x555555u));
}

TEST_F(ButtonGlyphTest, A32BitGlyphWithoutAnOpaquePixelIsKeyedOnItsCorner) {
    BitmapPtr glyph(NewBitmap32(8, 8));
    Fill(glyph.get(), TRect(0, 0, 8, 8), 0x00FFFF, 0);   // the corner colour: transparent
    Fill(glyph.get(), TRect(2, 2, 6, 6), 0x123456, 10);  // faint, yet drawn in full
    in.Glyph = glyph.get();
    DrawButtonGlyph(in, nullptr);
    EXPECT_EQ(At(data->CacheBmp(), 4 + 3, 2 + 3), 0x123456u);
    EXPECT_EQ(At(data->CacheBmp(), 4, 2), 0x808080u);
    EXPECT_EQ(glyph->PixelFormat(), vcl::pf32bit);
}

TEST_F(ButtonGlyphTest, APlainListWithoutBackgroundIsKeyedOnMagenta) {
    auto* list = vcl::New<vcl::TImageList>(nullptr);
    std::unique_ptr<vcl::TImageList, vcl::FreeDeleter> owner(list);
    list->SetWidth(8);
    list->SetHeight(8);
    list->SetBkColor(vcl::clNone);
    BitmapPtr picture(NewBitmap24(8, 8));
    Fill(picture.get(), TRect(0, 0, 8, 8), 0xFF00FF);
    Fill(picture.get(), TRect(0, 0, 4, 8), 0x00FF00);
    list->Add(picture.get(), nullptr);
    in.Images = list;
    in.ImageIndex = 0;
    for (bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "into the cache" : "onto a canvas");
        in.Skinned = skinned;
        BitmapPtr canvas(NewBitmap24(40, 20));
        Fill(canvas.get(), TRect(0, 0, 40, 20), 0x808080);
        TBitmap* target = skinned ? data->CacheBmp() : canvas.get();
        DrawButtonGlyph(in, skinned ? nullptr : canvas->Canvas());
        EXPECT_EQ(At(target, 5, 3), 0x00FF00u);
        EXPECT_EQ(At(target, 9, 3), 0x808080u);
    }
    in.ImageIndex = 1;  // outside the list: nothing
    Fill(data->CacheBmp(), TRect(0, 0, 40, 20), 0x808080);
    DrawButtonGlyph(in, nullptr);
    EXPECT_EQ(At(data->CacheBmp(), 5, 3), 0x808080u);
}

TEST_F(ButtonGlyphTest, TheDefaultGlyphsComeFromTheProgramsPictures) {
    TsAlphaImageList* list = DefaultGlyphs();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Count(), 5);
    EXPECT_EQ(list->Width(), 48);
    EXPECT_EQ(list->Height(), 16);
    // The ellipsis: three dots on row 10, black normal, bluer hot, one pixel lower pressed.
    in.Images = list;
    in.ImageIndex = 3;
    in.GlyphRect = TRect(0, 0, 16, 16);
    for (auto [state, x, y, rgb] : {std::tuple{0, 3, 10, 0x000000u}, {1, 3, 10, 0x004080u},
                                    {2, 4, 11, 0x000000u}, {2, 3, 10, 0x808080u}}) {
        Fill(data->CacheBmp(), TRect(0, 0, 40, 20), 0x808080);
        in.State = state;
        DrawButtonGlyph(in, nullptr);
        EXPECT_TRUE(Near(At(data->CacheBmp(), x, y), rgb)) << "state " << state;
    }
    FreeDefaultGlyphs();
}

}  // namespace
}  // namespace skin
