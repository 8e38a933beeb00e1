#include "skin/controls/button_glyphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

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
        for (int f = 0; f < 4; ++f)
            Fill(g.get(), TRect(f * 8, 0, f * 8 + 8, 8), kFrames[f]);
        return g;
    }

    static constexpr uint32_t kFrames[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    std::unique_ptr<TsCommonData> data;
    ButtonGlyph in;
};

// Every source, state and enabled flag, into the cache and onto another canvas: the state's
// frame (the last one past the end), drawn in full where enabled or in the cache (whose
// disabled look is the whole cache's), at half alpha on another canvas when disabled.
TEST_F(ButtonGlyphTest, EverySourceStateAndEnabledFlag) {
    BitmapPtr strip32 = FourFrames();
    BitmapPtr strip24(NewBitmap24(32, 8));
    // Keyed on the colour of its corner pixels.
    for (int f = 0; f < 4; ++f) {
        Fill(strip24.get(), TRect(f * 8, 0, f * 8 + 8, 8), kFrames[f]);
        Fill(strip24.get(), TRect(f * 8, 7, f * 8 + 1, 8), 0x00FFFF);
    }
    auto* alpha = vcl::New<TsAlphaImageList>(nullptr);
    std::unique_ptr<TsAlphaImageList, vcl::FreeDeleter> alphaOwner(alpha);
    alpha->SetWidth(32);
    alpha->SetHeight(8);
    alpha->Add(strip32.get(), nullptr);
    enum Source { kOwn24, kOwn32, kAlphaList };
    for (Source source : {kOwn24, kOwn32, kAlphaList})
        for (int state : {0, 1, 2, 3, 5})
            for (bool enabled : {true, false})
                for (bool cache : {true, false}) {
                    SCOPED_TRACE(testing::Message() << "source " << source << ", state " << state
                                                    << (enabled ? ", enabled" : ", disabled")
                                                    << (cache ? ", cache" : ", canvas"));
                    // A glyph with a key colour takes the core's multi-glyph rules for its
                    // disabled look on other canvases and for states past the pressed one.
                    if (source == kOwn24 && (state > 2 || (!enabled && !cache))) continue;
                    ButtonGlyph g = in;
                    g.Glyph = source == kOwn24   ? strip24.get()
                              : source == kOwn32 ? strip32.get()
                                                 : nullptr;
                    g.NumGlyphs = 4;
                    g.Images = source == kAlphaList ? alpha : nullptr;
                    g.ImageIndex = 0;
                    g.State = state;
                    g.Enabled = enabled;
                    g.Skinned = cache;
                    BitmapPtr canvas(NewBitmap24(40, 20));
                    Fill(canvas.get(), TRect(0, 0, 40, 20), 0x000000);
                    Fill(data->CacheBmp(), TRect(0, 0, 40, 20), 0x000000);
                    DrawButtonGlyph(g, cache ? nullptr : canvas->Canvas());
                    TBitmap* target = cache ? data->CacheBmp() : canvas.get();
                    const uint32_t frame = kFrames[std::min(state, 3)];
                    const bool half = !enabled && !cache;
                    uint32_t want = frame;
                    if (half)
                        want = (frame >> 16 & 0xFF) / 2 << 16 | (frame >> 8 & 0xFF) / 2 << 8 |
                               (frame & 0xFF) / 2;
                    EXPECT_TRUE(Near(At(target, 5, 3), want));
                    EXPECT_EQ(At(target, 3, 3), 0u);  // nothing outside the glyph
                }
}

TEST_F(ButtonGlyphTest, AOneFrameGlyphShowsItsFrameInEveryState) {
    BitmapPtr glyph = FourFrames();
    in.Glyph = glyph.get();
    for (auto [numGlyphs, state] : {std::pair{1, 0}, {1, 2}, {1, 5}, {0, 3}}) {
        SCOPED_TRACE(testing::Message() << numGlyphs << " frames, state " << state);
        in.NumGlyphs = numGlyphs;
        in.State = state;
        DrawButtonGlyph(in, nullptr);
        EXPECT_TRUE(Near(At(data->CacheBmp(), 5, 3), kFrames[0]));
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
    for (int x = 0; x < 32; ++x)
        ASSERT_EQ(At(glyph.get(), x, 0), At(before.get(), x, 0));
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
    for (auto [state, x, y, rgb] : {std::tuple{0, 3, 10, 0x000000u},
                                    {1, 3, 10, 0x004080u},
                                    {2, 4, 11, 0x000000u},
                                    {2, 3, 10, 0x808080u}}) {
        Fill(data->CacheBmp(), TRect(0, 0, 40, 20), 0x808080);
        in.State = state;
        DrawButtonGlyph(in, nullptr);
        EXPECT_TRUE(Near(At(data->CacheBmp(), x, y), rgb)) << "state " << state;
    }
    FreeDefaultGlyphs();
}

}  // namespace
}  // namespace skin
