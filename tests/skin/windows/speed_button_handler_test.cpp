// The speed-button handler on class-library speed buttons: what it paints (and when it paints
// nothing), the glyph kinds, the down look, and the button's own procedure coming back.
#include "skin/windows/adapters/speed_button_handler.h"

#include <gtest/gtest.h>

#include <memory>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/adapters/graph_item.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

using BitmapPtr = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;

constexpr uint32_t kKey = 0xFF00FF;

class SpeedButtonHandlerTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        form->Show();
        button = Place<vcl::TSpeedButton>(form, vcl::Bounds(20, 20, 60, 40));
        item = std::make_unique<TacGraphItem>();
        item->AttachHandler(button);
        ASSERT_NE(item->Handler, nullptr);
    }
    void TearDown() override {
        item.reset();
        WindowsTest::TearDown();
    }
    // The button painted by its parent's paint into a bitmap of its size, as RGB pixels.
    BitmapPtr Paint() {
        BitmapPtr bmp(NewBitmap24(button->Width(), button->Height()));
        button->Perform(win::WM_PAINT, reinterpret_cast<uintptr_t>(bmp->Canvas()->Handle()), 0);
        return bmp;
    }
    static uint32_t At(vcl::TBitmap* b, int x, int y) {
        return uint32_t(b->Canvas()->Pixels(x, y)) & 0xFFFFFF;
    }
    // A glyph of `frames` pictures of 16 x 16, picture f filled with colors[f] (red in the low
    // byte); the bottom-left pixel of each is the transparent key.
    static BitmapPtr Strip(int frames, const uint32_t* colors) {
        BitmapPtr g(NewBitmap24(16 * frames, 16));
        for (int f = 0; f < frames; ++f)
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    g->Canvas()->SetPixels(16 * f + x, y, vcl::TColor(colors[f]));
        for (int f = 0; f < frames; ++f) g->Canvas()->SetPixels(16 * f, 15, vcl::TColor(kKey));
        return g;
    }
    vcl::TPoint GlyphCentre() const {
        const vcl::TRect r = item->Handler->GlyphRect;
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }

    vcl::TSpeedButton* button = nullptr;
    std::unique_ptr<TacGraphItem> item;
};

TEST_F(SpeedButtonHandlerTest, PaintsOnlyIntoAGivenDCAndDownIsStateTwo) {
    TacSpeedButtonHandler* h = item->Handler;
    // Without a DC nothing is painted: the cache is neither built nor marked fresh.
    button->Perform(win::WM_PAINT, 0, 0);
    EXPECT_TRUE(item->SkinData->CacheStale);
    EXPECT_EQ(item->SkinData->CacheBmp()->Width(), 0);
    EXPECT_EQ(item->SkinData->SkinSection(), "SPEEDBUTTON");
    EXPECT_EQ(SendSkinCommandToControl(button, SKC_ISSKINAWARE, 0), 1);

    BitmapPtr up = Paint();
    EXPECT_FALSE(item->SkinData->CacheStale);
    button->Perform(vcl::CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(h->CurrentState(), 1);
    BitmapPtr hot = Paint();
    button->SetGroupIndex(1);
    button->SetDown(true);
    BitmapPtr down = Paint();
    EXPECT_EQ(h->CurrentState(), 2);
    button->Perform(vcl::CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(h->CurrentState(), 2);  // whatever the mouse does
    EXPECT_NE(At(up.get(), 30, 5), At(hot.get(), 30, 5));
    EXPECT_NE(At(up.get(), 30, 5), At(down.get(), 30, 5));
}

TEST_F(SpeedButtonHandlerTest, GlyphsOfOneAlphaImageAndOfAFourImageStrip) {
    // 32 bits, one picture: the left half opaque red, the right half fully transparent.
    BitmapPtr alpha(NewBitmap32(16, 16));
    const PixelView v = ViewOf(alpha.get());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = v.At(x, y);
            p[0] = p[1] = p[3] = 0;
            p[2] = x < 8 ? 255 : 0;
            if (x < 8) p[3] = 255;
        }
    BitmapPtr plain = Paint();
    button->SetGlyph(alpha.get());
    ASSERT_EQ(button->Glyph()->PixelFormat(), vcl::pf32bit);
    BitmapPtr shown = Paint();
    const vcl::TRect g = item->Handler->GlyphRect;
    EXPECT_EQ(g.Width(), 16);
    EXPECT_NEAR(int(At(shown.get(), g.Left + 2, g.Top + 8)), 0x0000FF, 1);  // rounding of 255
    EXPECT_EQ(At(shown.get(), g.Left + 13, g.Top + 8), At(plain.get(), g.Left + 13, g.Top + 8));

    // Four pictures of 24 bits: the state picks the picture.
    const uint32_t colors[] = {0x0000C0, 0x00C000, 0xC00000, 0x404040};
    BitmapPtr strip = Strip(4, colors);
    button->SetGlyph(strip.get());
    ASSERT_EQ(button->NumGlyphs(), 4);
    struct Row {
        bool hot, down;
        uint32_t color;
    };
    button->SetGroupIndex(1);
    button->SetAllowAllUp(true);
    for (const Row& r : {Row{false, false, colors[0]}, Row{true, false, colors[1]},
                         Row{false, true, colors[2]}}) {
        button->Perform(r.hot ? vcl::CM_MOUSEENTER : vcl::CM_MOUSELEAVE, 0, 0);
        button->SetDown(r.down);
        BitmapPtr b = Paint();
        EXPECT_EQ(item->Handler->GlyphRect.Width(), 16);
        const vcl::TPoint c = GlyphCentre();
        EXPECT_EQ(At(b.get(), c.X, c.Y), r.color) << r.hot << r.down;
    }
}

TEST_F(SpeedButtonHandlerTest, TheButtonsOwnProcedureComesBack) {
    const vcl::TWndMethod mine = button->WindowProc;
    item->FreeHandler();
    // The handler's link is gone and the button answers for itself again.
    EXPECT_NE(button->WindowProc, mine);
    EXPECT_EQ(SendSkinCommandToControl(button, SKC_ISSKINAWARE, 0), 0);
    const int links = LiveSpeedButtonLinks();

    // A procedure put on top of a new handler stays; the handler's place becomes a
    // pass-through that lives until the button goes.
    item->AttachHandler(button);
    struct Spy {
        vcl::TWndMethod next;
        int seen = 0;
        void Proc(vcl::TMessage& m) {
            ++seen;
            next(m);
        }
    } spy;
    spy.next = button->WindowProc;
    button->WindowProc = vcl::TWndMethod(&spy, &Spy::Proc);
    item->FreeHandler();
    EXPECT_EQ(button->WindowProc, vcl::TWndMethod(&spy, &Spy::Proc));
    EXPECT_EQ(SendSkinCommandToControl(button, SKC_ISSKINAWARE, 0), 0);
    EXPECT_EQ(spy.seen, 1);
    EXPECT_EQ(LiveSpeedButtonLinks(), links + 1);
    button->WindowProc = spy.next;
    button->Free();
    EXPECT_EQ(LiveSpeedButtonLinks(), links);

    // A button freed while handled leaves its handler unhooked.
    auto* other = Place<vcl::TSpeedButton>(form, vcl::Bounds(100, 20, 30, 30));
    item->AttachHandler(other);
    other->Free();
    EXPECT_TRUE(item->Dead());
    EXPECT_EQ(item->Handler->Button, nullptr);
}

TEST_F(SpeedButtonHandlerTest, AHelperButtonGetsNoHandler) {
    auto* helper = Place<vcl::TSpeedButton>(form, vcl::Bounds(100, 20, 30, 30));
    helper->SetTag(-98);
    TacGraphItem other;
    other.AttachHandler(helper);
    EXPECT_EQ(other.Handler, nullptr);
    EXPECT_EQ(SendSkinCommandToControl(helper, SKC_ISSKINAWARE, 0), 0);
}

}  // namespace
}  // namespace skin::testing
