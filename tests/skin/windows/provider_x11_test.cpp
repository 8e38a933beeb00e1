// A skinned form with round corners and its close button's glow (a layered window) over a plain
// window, on a virtual X server (skipped when none can be started): what the server shows there
// is the composed screen, the desktop through the cut corners and the glow blended over the
// caption included.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "platform/display/screenshot.h"
#include "platform/display/x11_presenter.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/dialogs/dialog_hook.h"
#include "tests/platform/display/x11_grab.h"
#include "tests/skin/windows/provider_fixture.h"
#include "tests/support/virtual_x_server.h"

// Xlib's macros clash with the windowing names, so it comes last.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

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

// The dialogs skinned through the hook, as in the program.
class DialogX11Test : public ProviderX11Test {
protected:
    void SetUp() override {
        InitDialogHook();
        ProviderX11Test::SetUp();
    }
    void TearDown() override {
        ProviderX11Test::TearDown();
        ResetNeighbourServices();
    }
};

Display* gHand = nullptr;
std::vector<win::WPARAM> gCommands;  // the dialog's system commands, which do nothing more

// Keys pressed (true) and let go (false) on the server's keyboard.
void Keys(std::initializer_list<std::pair<unsigned long, bool>> keys) {
    for (const auto& [sym, down] : keys)
        XTestFakeKeyEvent(gHand, XKeysymToKeycode(gHand, sym), down, CurrentTime);
    XFlush(gHand);
}

// Alt+Space typed on the server drops the skinned dialog's system menu; Up and Enter there
// choose Close.
TEST_F(DialogX11Test, AltSpaceOnTheServersKeyboardDropsTheDialogsSkinnedMenu) {
    int event, error, major, minor;
    if (!XTestQueryExtension(probe_, &event, &error, &major, &minor))
        GTEST_SKIP() << "the server has no XTest";
    presenter_ = display::X11Presenter::Open(server_->Name());
    ASSERT_NE(presenter_, nullptr);
    gHand = probe_;
    gCommands.clear();
    win::DialogTemplate t;
    t.style = win::WS_POPUP | win::WS_CAPTION | win::WS_SYSMENU | win::WS_VISIBLE;
    t.caption = "Skinned", t.cx = 320, t.cy = 200;
    const win::HWND d = win::CreateDialogIndirectParamA(
        nullptr, &t, nullptr,
        [](win::HWND, win::UINT msg, win::WPARAM wp, win::LPARAM) -> win::INT_PTR {
            if (msg == win::WM_SYSCOMMAND) gCommands.push_back(wp & 0xFFF0);
            return msg == win::WM_SYSCOMMAND || msg == win::WM_INITDIALOG;
        },
        0);
    Pump();
    ASSERT_NE(FindDialogProvider(d), nullptr);
    // Typed once the server has given the dialog the keyboard.
    ::Window focus = 0;
    int revert = 0;
    for (int i = 0; i < 1000 && focus != presenter_->XWindowOf(d); ++i) {
        presenter_->Present();
        XGetInputFocus(probe_, &focus, &revert);
    }
    win::HHOOK hook = win::SetWindowsHookExA(
        win::WH_CBT,
        [](int code, win::WPARAM wp, win::LPARAM lp) -> win::LRESULT {
            const auto* cw = reinterpret_cast<win::CBT_CREATEWNDA*>(lp);
            if (code == win::HCBT_CREATEWND && cw->lpcs &&
                reinterpret_cast<uintptr_t>(cw->lpcs->lpszClass) == 0x8000)  // the menu
                Keys({{XK_Up, true}, {XK_Up, false}, {XK_Return, true}, {XK_Return, false}});
            return win::CallNextHookEx(nullptr, code, wp, lp);
        },
        nullptr, 0);
    Keys({{XK_Alt_L, true}, {XK_space, true}, {XK_space, false}, {XK_Alt_L, false}});
    for (int i = 0; i < 500 && gCommands.size() < 2; ++i) {
        presenter_->Wait(20);
        Pump();
    }
    win::UnhookWindowsHookEx(hook);
    EXPECT_EQ(gCommands, (std::vector<win::WPARAM>{win::SC_KEYMENU, win::SC_CLOSE}));
    win::DestroyWindow(d);
}

}  // namespace
}  // namespace skin::testing
