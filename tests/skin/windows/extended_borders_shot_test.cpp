// The main window with extended borders under the internal skin, its close button hot, and a
// hot skinned push button with its halo, on the headless screen. The picture is kept as
// tests/data/skin/extended_borders.png for the eye (TESSARY_UPDATE_REFERENCE=1 writes it
// again); a shadow pixel and a halo pixel are worked out from their pictures and the screen
// under them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/display/screenshot.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "platform/user/window_region.h"
#include "skin/controls/buttons.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/library_startup.h"
#include "skin/windows/effects/border_form.h"
#include "skin/windows/effects/fade_timers.h"
#include "skin/windows/effects/glow.h"
#include "skin/windows/provider/provider_startup.h"
#include "tests/skin/windows/provider_fixture.h"
#include "tests/support/temp_dir.h"
#include "vcl/controls/menus.h"

namespace skin::testing {
namespace {

class ExtendedBordersShot : public ProviderTest {
protected:
    static constexpr int kW = 560, kH = 380;
    void SetUp() override {
        ProviderTest::SetUp();
        InitSkinLibrary();
        InitBorderForms();
        InitGlows();
        InitFades();
        manager->SetExtendedBorders(true);
    }
    void TearDown() override {
        ClearGlows();
        Pump();
        BorderFormCreation() = nullptr;
        ResetWindowServices();
        ProviderTest::TearDown();
        FinalizeSkinLibrary();
    }
    win::COLORREF At(const display::Rgb& s, int x, int y) const {
        const unsigned char* p = s.pixels.data() + (size_t(y) * size_t(s.width) + size_t(x)) * 3;
        return RGB(p[0], p[1], p[2]);
    }
    // What a premultiplied pixel makes over `under`, channel by channel (blue, green, red).
    static win::COLORREF Over(const uint8_t* premul, win::COLORREF under) {
        const uint32_t u[3] = {(under >> 16) & 0xFF, (under >> 8) & 0xFF, under & 0xFF};
        uint32_t out[3];
        for (int c = 0; c < 3; ++c) {
            uint32_t v = u[c] * (255 - premul[3]) + 128;
            out[c] = std::min<uint32_t>(255, premul[c] + ((v + (v >> 8)) >> 8));
        }
        return RGB(out[2], out[1], out[0]);
    }
    // A plain window of one colour as the desktop under everything.
    vcl::TForm* Desktop(vcl::TColor colour) {
        vcl::TForm* d = nullptr;
        vcl::Application()->CreateForm(d);
        d->SetBorderStyle(vcl::bsNone);
        d->SetColor(colour);
        d->SetBounds(0, 0, kW, kH);
        d->Show();
        return d;
    }
};

TEST_F(ExtendedBordersShot, MainWindowWithShadowHotCloseAndHaloedButton) {
    vcl::TForm* desk = Desktop(vcl::TColor(0x00D0CCC8));
    vcl::TForm* main = MakeForm({.Width = 420, .Height = 280, .Show = false});
    main->SetCaption("Tessary");
    main->SetBounds(60, 50, 420, 280);
    auto* menu = vcl::New<vcl::TMainMenu>(main);
    for (const char* caption : {"File", "Lists", "Sending", "Help"}) {
        auto* item = vcl::New<vcl::TMenuItem>(main);
        item->SetCaption(caption);
        menu->Items()->Add(item);
    }
    main->SetMenu(menu);
    auto* button = Place<TsBitBtn>(main, vcl::Bounds(150, 110, 110, 32));
    button->SetCaption("Start");
    main->Show();
    win::SetActiveWindow(main->Handle());
    Pump();
    auto* border = dynamic_cast<TacBorderForm*>(provider->BorderForm());
    ASSERT_NE(border, nullptr);

    // The close button hot under the mouse, then the push button: its fade runs out and its
    // halo stays.
    win::RECT b{};
    win::GetWindowRect(border->Handle(), &b);
    const vcl::TRect close = provider->ButtonClose.Rect;
    QueueMove(b.left + close.Left + close.Width() / 2, b.top + close.Top + close.Height() / 2);
    Pump();
    ASSERT_EQ(provider->HotHitCode, win::HTCLOSE);
    win::POINT centre{button->Width() / 2, button->Height() / 2};
    win::ClientToScreen(button->Handle(), &centre);
    button->Perform(vcl::CM_MOUSEENTER, 0, 0);
    for (int i = 0; i < 10; ++i) {
        clock_.Advance(10);
        Pump();
    }
    // The close button stays hot: the button took the mouse only by message.
    provider->SetHotHT(win::HTCLOSE, true);
    Pump();
    const int glowId = button->SkinData()->GlowID;
    ASSERT_GE(glowId, 0) << "the hot button shows its halo";
    const win::HWND glow = FindGlow(glowId)->Window();

    const win::RECT area{0, 0, kW, kH};
    const display::Rgb shot = display::CaptureScreen(&area);
    ASSERT_EQ(shot.width, kW);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "extended_borders.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "skin/extended_borders.png");

    // A shadow pixel: the shadow picture's corner, premultiplied, over the desktop colour.
    const vcl::TRect m = manager->ShadowMargins;
    const PixelView shadow = ViewOf(manager->ShadowActive());
    const int sx = m.Left - 2, sy = m.Top - 1;
    const uint8_t* s = shadow.At(sx, sy);
    ASSERT_GT(s[3], 0);
    const uint8_t premul[4] = {uint8_t((s[0] * s[3] + 127) / 255),
                               uint8_t((s[1] * s[3] + 127) / 255),
                               uint8_t((s[2] * s[3] + 127) / 255), s[3]};
    EXPECT_EQ(At(shot, b.left + sx, b.top + sy), Over(premul, vcl::ColorToRGB(desk->Color())));

    // A halo pixel: the glow's picture over what the screen shows without it, beside the
    // button's edge.
    win::RECT g{};
    win::GetWindowRect(glow, &g);
    win::LayeredLook look;
    ASSERT_TRUE(win::GetLayeredLook(glow, &look));
    win::BitmapView gv;
    ASSERT_TRUE(win::GetBitmapView(look.picture, &gv));
    win::RECT br{};
    win::GetWindowRect(button->Handle(), &br);
    const int hx = br.left - 2 - g.left, hy = (g.bottom - g.top) / 2;
    ASSERT_GE(hx, 0) << "the halo reaches beyond the button";
    uint8_t h[4];  // the picture goes with the glow
    std::copy_n(gv.Row(hy) + hx * 4, 4, h);
    ASSERT_GT(h[3], 0);
    ClearGlows();
    Pump();
    const display::Rgb bare = display::CaptureScreen(&area);
    EXPECT_EQ(At(shot, g.left + hx, g.top + hy), Over(h, At(bare, g.left + hx, g.top + hy)));
    EXPECT_NE(At(shot, g.left + hx, g.top + hy), At(bare, g.left + hx, g.top + hy));
    desk->Free();
}

}  // namespace
}  // namespace skin::testing
