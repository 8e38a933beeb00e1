// A skinned form with round corners and its close button's glow (a layered window) over a plain
// window, on a virtual X server (skipped when none can be started): what the server shows there
// is the composed screen, the desktop through the cut corners and the glow blended over the
// caption included.
#include <gtest/gtest.h>

#include <memory>

#include "platform/display/screenshot.h"
#include "platform/display/x11_presenter.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/user.h"
#include "platform/gdi/gdi.h"
#include "skin/core/state/common_data.h"
#include "tests/platform/display/x11_grab.h"
#include "tests/skin/windows/provider_fixture.h"
#include "tests/support/virtual_x_server.h"

// Xlib's macros clash with the windowing names, so it comes last.
#include <X11/Xlib.h>

namespace skin::testing {
namespace {

class ProviderX11Test : public ProviderTest {
protected:
    static void SetUpTestSuite() { server_ = new testing_support::VirtualXServer; }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!server_->Up()) GTEST_SKIP() << "no virtual X server could be started";
        ProviderTest::SetUp();
        probe_ = XOpenDisplay(server_->Name());
        ASSERT_NE(probe_, nullptr);
    }
    void TearDown() override {
        if (!server_->Up()) return;
        ProviderTest::TearDown();
        presenter_.reset();
        XCloseDisplay(probe_);
    }
    static testing_support::VirtualXServer* server_;
    Display* probe_ = nullptr;
    std::unique_ptr<display::X11Presenter> presenter_;
};

testing_support::VirtualXServer* ProviderX11Test::server_ = nullptr;

TEST_F(ProviderX11Test, TheServerShowsTheComposedScreenOfASkinnedFormAndItsGlow) {
    presenter_ = display::X11Presenter::Open(server_->Name());
    ASSERT_NE(presenter_, nullptr);
    win::WNDCLASSEXA wc;
    wc.lpfnWndProc = &win::DefWindowProcA;
    wc.lpszClassName = "ProviderX11Desk";
    wc.hbrBackground = win::CreateSolidBrush(win::RGB(30, 140, 200));
    win::RegisterClassExA(&wc);
    win::CreateWindowExA(0, wc.lpszClassName, "", win::WS_POPUP | win::WS_VISIBLE, 0, 0, 600, 400,
                         nullptr, nullptr, nullptr, nullptr);
    UseSynthetic();
    vcl::TForm* f = MakeForm({});
    f->SetCaption("");
    win::RECT wr{};
    win::GetWindowRect(f->Handle(), &wr);
    const vcl::TRect close = provider->ButtonClose.Rect;
    win::SetCursorPos(wr.left + close.Left + 4, wr.top + close.Top + 4);
    provider->SetHotHT(win::HTCLOSE);
    TacSBAnimation* glow = provider->ButtonClose.Timer;
    ASSERT_NE(glow, nullptr);
    while (glow->Level < 255) {
        clock_.Advance(12);
        Pump();
    }
    ASSERT_NE(glow->GlowForm, nullptr);
    const win::HWND layered = glow->GlowForm->Handle();
    ASSERT_TRUE(win::GetWindowLongA(layered, win::GWL_EXSTYLE) & win::WS_EX_LAYERED);
    win::RECT gr{};
    win::GetWindowRect(layered, &gr);
    presenter_->Present();
    XSync(probe_, False);

    // The form and the glow's rectangles together, corners and the glow's overhang included.
    const win::RECT all{std::min(wr.left, gr.left), std::min(wr.top, gr.top),
                        std::max(wr.right, gr.right), std::max(wr.bottom, gr.bottom)};
    const display::Rgb composed = display::CaptureScreen(&all);
    const display::Rgb shown = display::GrabX(probe_, DefaultRootWindow(probe_), all.left, all.top,
                                              all.right - all.left, all.bottom - all.top);
    ASSERT_EQ(composed.width, shown.width);
    ASSERT_EQ(composed.height, shown.height);
    size_t differing = 0;
    for (size_t i = 0; i < composed.pixels.size(); ++i)
        differing += composed.pixels[i] != shown.pixels[i];
    EXPECT_EQ(differing, 0u);
    // The corner shows the desktop, and the glow tints the caption under it.
    const auto at = [&](int x, int y) {
        const unsigned char* p = composed.pixels.data() + (size_t(y) * size_t(composed.width) +
                                                           size_t(x)) * 3;
        return win::RGB(p[0], p[1], p[2]);
    };
    EXPECT_EQ(win::RGB(30, 140, 200), at(wr.left - all.left, wr.top - all.top));
    const win::HDC cache = provider->SkinData()->CacheBmp()->Canvas()->Handle();
    EXPECT_NE(win::GetPixel(cache, close.Left + 1, close.Top + 1),
              at(wr.left + close.Left + 1 - all.left, wr.top + close.Top + 1 - all.top));
}

}  // namespace
}  // namespace skin::testing
