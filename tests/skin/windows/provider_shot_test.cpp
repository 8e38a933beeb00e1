// The main window (active, with its menu band, icon, caption and three title buttons) and the
// port dialog beside it (inactive, one small close button, with the provider the library makes
// for a form that has none) on the headless screen under the internal skin. The picture is kept
// as tests/data/skin/form_provider.png for the eye (TESSARY_UPDATE_REFERENCE=1 writes it again);
// the probes compare the screen with each provider's frame cache and the skin's client colour.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/display/screenshot.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/focus.h"
#include "platform/user/user.h"
#include "skin/core/state/common_data.h"
#include "tests/skin/windows/provider_fixture.h"
#include "tests/support/temp_dir.h"
#include "vcl/controls/menus.h"

namespace skin::testing {
namespace {

class ProviderShotTest : public ProviderTest {
protected:
    static constexpr int kW = 760, kH = 360;
    win::COLORREF At(int sx, int sy) const {
        const unsigned char* p = shot.pixels.data() + (size_t(sy) * kW + size_t(sx)) * 3;
        return RGB(p[0], p[1], p[2]);
    }
    // The screen at a point of `p`'s frame cache, beside the cache's own pixel there.
    void Probe(const char* what, TsSkinProvider* p, int x, int y, win::COLORREF classic) {
        SCOPED_TRACE(what);
        win::RECT w{};
        win::GetWindowRect(p->Form()->Handle(), &w);
        const win::COLORREF cached = win::GetPixel(p->SkinData()->CacheBmp()->Canvas()->Handle(), x, y);
        EXPECT_EQ(cached, At(w.left + x, w.top + y));
        EXPECT_NE(classic, At(w.left + x, w.top + y));
    }
    display::Rgb shot;
};

TEST_F(ProviderShotTest, MainWindowAndPortDialogShowTheInternalSkin) {
    vcl::TForm* main = MakeForm({.Width = 420, .Height = 300, .Show = false});
    TsSkinProvider* mainProvider = provider;
    main->SetCaption("Tessary");
    main->SetBounds(20, 20, 420, 300);
    auto* menu = vcl::New<vcl::TMainMenu>(main);
    for (const char* caption : {"File", "Lists", "Sending", "Help"}) {
        auto* item = vcl::New<vcl::TMenuItem>(main);
        item->SetCaption(caption);
        menu->Items()->Add(item);
    }
    main->SetMenu(menu);

    vcl::TForm* port = nullptr;
    vcl::Application()->CreateForm(port);
    port->SetBorderStyle(vcl::bsDialog);
    port->SetBorderIcons({vcl::biSystemMenu});
    port->SetCaption("Port");
    port->SetBounds(470, 60, 260, 180);
    TsSkinProvider* portProvider = TsSkinProvider::CreateInternal(port);
    ASSERT_NE(portProvider, nullptr);
    port->Show();
    main->Show();
    win::SetActiveWindow(main->Handle());
    Pump();
    ASSERT_TRUE(mainProvider->FormActive);
    ASSERT_FALSE(portProvider->FormActive);

    const win::RECT area{0, 0, kW, kH};
    shot = display::CaptureScreen(&area);
    ASSERT_EQ(shot.width, kW);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "form_provider.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "skin/form_provider.png");

    const win::COLORREF face = win::GetSysColor(win::COLOR_BTNFACE);
    Probe("main frame", mainProvider, 1, 150, face);
    Probe("main caption", mainProvider, 200, 4, win::GetSysColor(win::COLOR_ACTIVECAPTION));
    const vcl::TRect close = mainProvider->ButtonClose.Rect;
    Probe("main close glyph", mainProvider, (close.Left + close.Right) / 2,
          (close.Top + close.Bottom) / 2, win::GetSysColor(win::COLOR_ACTIVECAPTION));
    // The menu band's items lie on the skinned band, not on the classic menu colour.
    win::RECT item{};
    ASSERT_TRUE(win::GetMenuItemRect(main->Handle(), win::GetMenu(main->Handle()), 0, &item));
    EXPECT_NE(win::GetSysColor(win::COLOR_MENU), At(item.left + 1, item.top + 1));
    // The dialog has its close button alone and smaller than the main window's.
    const vcl::TRect small = portProvider->ButtonClose.Rect;
    EXPECT_LT(small.Width(), close.Width());
    EXPECT_TRUE(portProvider->ButtonMax.Rect.IsEmpty());
    Probe("port close glyph", portProvider, (small.Left + small.Right) / 2,
          (small.Top + small.Bottom) / 2, win::GetSysColor(win::COLOR_INACTIVECAPTION));

    // Both clients show the skin's GLOBALINFO colour.
    const win::COLORREF client = vcl::ColorToRGB(manager->GetGlobalColor());
    for (vcl::TForm* f : {main, port}) {
        win::POINT c{f->ClientWidth() / 2, f->ClientHeight() / 2};
        win::ClientToScreen(f->Handle(), &c);
        EXPECT_EQ(client, At(c.x, c.y)) << f->Caption();
    }
}

}  // namespace
}  // namespace skin::testing
