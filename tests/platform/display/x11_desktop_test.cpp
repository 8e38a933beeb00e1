// The program's windows on a desktop: layered windows with and without a compositing manager,
// minimising and restoring under a window manager, activation by the desktop's focus, and the
// pictures handed to the desktop (which need no server).
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

#include "platform/display/x11_pictures.h"
#include "platform/display/x11_presenter.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icon.h"
#include "platform/os/cp_literal.h"
#include "platform/user/user.h"
#include "platform/user/window_region.h"
#include "tests/platform/display/desktop_program.h"
#include "tests/support/virtual_x_server.h"

// Xlib's macros clash with the windowing names, so it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace display {
namespace {

// A 32-bit top-down DIB of `w` x `h` pixels, filled by `pixel(x, y)` as 0xAARRGGBB.
win::HBITMAP Dib(int w, int h, const std::function<uint32_t(int, int)>& pixel) {
    win::BITMAPINFO bmi;
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win::HBITMAP b = win::CreateDIBSection(nullptr, &bmi, win::DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            static_cast<uint32_t*>(bits)[y * w + x] = pixel(x, y);
    return b;
}

TEST(X11Pictures, LayeredLooksArePremultipliedAndMasksBecomeBands) {
    // One pixel of each kind: premultiplied half-transparent red, and an opaque surface's grey.
    win::HBITMAP red = Dib(1, 1, [](int, int) { return 0x80800000u; });
    win::HBITMAP grey = Dib(1, 1, [](int, int) { return 0x00C8C8C8u; });
    struct Case {
        win::LayeredLook look;
        uint32_t want;
    } cases[] = {
        {{red, 255, true}, 0x80800000u},    // per-pixel alpha passes as it is
        {{red, 128, true}, 0x40400000u},    // and the constant alpha scales it
        {{grey, 128, false}, 0x80646464u},  // a constant alpha premultiplies the colour
        {{nullptr, 255, false}, 0u},        // nothing shown yet: transparent
    };
    for (const Case& c : cases)
        EXPECT_EQ(PremultipliedArgb(c.look, 1, 1), std::vector<uint32_t>{c.want});
    // A per-pixel picture whose colour exceeds its alpha is held to the alpha, not wrapped.
    win::HBITMAP bad = Dib(1, 1, [](int, int) { return 0x10FF0000u; });
    EXPECT_EQ(PremultipliedArgb({bad, 255, true}, 1, 1), std::vector<uint32_t>{0x10100000u});
    for (win::HBITMAP b : {red, grey, bad})
        win::DeleteObject(b);

    // Rows alike make one band; a row that differs starts the next.
    const std::vector<uint8_t> mask = {0, 1, 1, 0, 1,  //
                                       0, 1, 1, 0, 1,  //
                                       1, 1, 1, 1, 1,  //
                                       0, 0, 0, 0, 0};
    EXPECT_EQ(MaskRectangles(mask, 5, 4),
              (std::vector<win::RECT>{{1, 0, 3, 2}, {4, 0, 5, 2}, {0, 2, 5, 3}}));
    EXPECT_TRUE(MaskRectangles(mask, 5, 9).empty());  // a mask too short is refused
}

TEST(X11Pictures, AnIconBecomesNetWmIconDataWithItsAlpha) {
    // Opaque blue on the left half, fully transparent on the right.
    win::ICONINFO info;
    info.hbmColor = Dib(32, 32, [](int x, int) { return x < 16 ? 0xFF0000FFu : 0u; });
    info.hbmMask = win::CreateBitmap(32, 32, 1, 1, nullptr);
    win::HICON icon = win::CreateIconIndirect(&info);
    win::DeleteObject(info.hbmColor);
    win::DeleteObject(info.hbmMask);
    ASSERT_NE(icon, nullptr);
    const std::vector<long> data = NetWmIcon(icon);
    ASSERT_EQ(data.size(), size_t(2 + 16 * 16 + 2 + 32 * 32));
    EXPECT_EQ(data[0], 16);
    const size_t big = 2 + 16 * 16;
    EXPECT_EQ(data[big], 32);
    EXPECT_EQ(data[big + 1], 32);
    EXPECT_EQ(uint32_t(data[big + 2]), 0xFF0000FFu);         // (0, 0)
    EXPECT_EQ(uint32_t(data[big + 2 + 31]) >> 24, 0u);       // (31, 0)
    EXPECT_EQ(uint32_t(data[2 + 16 * 8 + 2]), 0xFF0000FFu);  // small: (2, 8)
    win::DestroyIcon(icon);
    EXPECT_TRUE(NetWmIcon(nullptr).empty());
}

using Clock = std::chrono::steady_clock;

class X11DesktopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new testing_support::VirtualXServer; }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!server_->Up()) GTEST_SKIP() << "no virtual X server could be started";
        win::ResetWindowing();
        probe_ = XOpenDisplay(server_->Name());
        ASSERT_NE(probe_, nullptr);
        win::WNDCLASSEXA wc;
        wc.lpfnWndProc = &win::DefWindowProcA;
        wc.lpszClassName = "DesktopTest";
        wc.hbrBackground = win::CreateSolidBrush(win::RGB(30, 140, 200));
        win::RegisterClassExA(&wc);
    }
    void TearDown() override {
        presenter_.reset();
        manager_.reset();
        compositor_.reset();
        win::ResetWindowing();
        if (probe_) XCloseDisplay(probe_);
    }
    // Starts a window manager (and a compositing manager); false when it is not installed.
    bool StartManager(bool compositor) {
        manager_ = std::make_unique<DesktopProgram>(
            server_->Name(), std::vector<std::string>{"openbox", "--sm-disable"}, "WM_S0");
        if (!manager_->Up()) return false;
        if (!compositor) return true;
        compositor_ = std::make_unique<DesktopProgram>(
            server_->Name(), std::vector<std::string>{"xcompmgr"}, "_NET_WM_CM_S0");
        return compositor_->Up();
    }
    void Open() {
        presenter_ = X11Presenter::Open(server_->Name());
        ASSERT_NE(presenter_, nullptr);
    }
    win::HWND Make(const char* caption, win::DWORD style, win::DWORD ex, win::RECT r,
                   win::HWND owner = nullptr) {
        return win::CreateWindowExA(ex, "DesktopTest", caption, style, r.left, r.top,
                                    r.right - r.left, r.bottom - r.top, owner, nullptr, nullptr,
                                    nullptr);
    }
    // Runs the message loop, waiting on the presenter, until `done` or a minute passes: a hang
    // guard, far beyond a loaded machine's pace (a window manager under load can take seconds).
    bool RunUntil(const std::function<bool()>& done) {
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        while (Clock::now() < deadline) {
            win::MSG m;
            while (win::PeekMessageA(&m, nullptr, 0, 0, win::PM_REMOVE)) {
                win::TranslateMessage(&m);
                win::DispatchMessageA(&m);
            }
            if (done()) return true;
            win::CurrentEventSource().Wait(20);
        }
        return done();
    }
    ::Window XOf(win::HWND h) { return presenter_->XWindowOf(h); }

    // WM_STATE as the manager set it; nullopt without one.
    std::optional<long> WmState(::Window w) {
        const Atom wmState = XInternAtom(probe_, "WM_STATE", False);
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        std::optional<long> out;
        if (XGetWindowProperty(probe_, w, wmState, 0, 2, False, wmState, &type, &format, &n, &after,
                               &data) == Success &&
            data && n > 0)
            out = reinterpret_cast<long*>(data)[0];
        if (data) XFree(data);
        return out;
    }
    ::Window XFocus() {
        ::Window w = 0;
        int revert = 0;
        XGetInputFocus(probe_, &w, &revert);
        return w;
    }

    static testing_support::VirtualXServer* server_;
    Display* probe_ = nullptr;
    std::unique_ptr<DesktopProgram> manager_, compositor_;
    std::unique_ptr<X11Presenter> presenter_;
};

testing_support::VirtualXServer* X11DesktopTest::server_ = nullptr;

// A glow: transparent on its left half, half-transparent red on its right.
win::HWND Glow(win::RECT r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    win::HWND glow = win::CreateWindowExA(win::WS_EX_LAYERED | win::WS_EX_TOOLWINDOW, "DesktopTest",
                                          "", win::WS_POPUP, r.left, r.top, w, h, nullptr, nullptr,
                                          nullptr, nullptr);
    win::HBITMAP picture = Dib(w, h, [w](int x, int) { return x < w / 2 ? 0u : 0x80800000u; });
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    win::HGDIOBJ old = win::SelectObject(dc, picture);
    const win::POINT at{r.left, r.top}, from{0, 0};
    const win::SIZE size{w, h};
    win::BLENDFUNCTION blend;
    blend.AlphaFormat = win::AC_SRC_ALPHA;
    win::UpdateLayeredWindow(glow, nullptr, &at, &size, dc, &from, 0, &blend, win::ULW_ALPHA);
    win::SelectObject(dc, old);
    win::DeleteDC(dc);
    win::DeleteObject(picture);
    win::ShowWindow(glow, win::SW_SHOWNA);
    return glow;
}

TEST_F(X11DesktopTest, ALayeredWindowIsBlendedByACompositorElseCutWhereTransparent) {
    for (const bool composited : {false, true}) {
        SCOPED_TRACE(composited ? "with a compositing manager" : "without one");
        if (composited && !StartManager(true)) GTEST_SKIP() << "no openbox or xcompmgr";
        Open();
        win::HWND glow = Glow({100, 100, 140, 120});
        presenter_->Present();
        XSync(probe_, False);
        const ::Window x = XOf(glow);
        ASSERT_NE(x, 0u);
        XWindowAttributes a{};
        XGetWindowAttributes(probe_, x, &a);
        EXPECT_EQ(a.depth, composited ? 32 : 24);
        int count = 0, ordering = 0;
        XRectangle* rects = XShapeGetRectangles(probe_, x, ShapeBounding, &count, &ordering);
        if (composited) {
            // The picture goes with its alpha, and the desktop blends it.
            XImage* img = XGetImage(probe_, x, 0, 0, 40, 20, AllPlanes, ZPixmap);
            ASSERT_NE(img, nullptr);
            EXPECT_EQ(XGetPixel(img, 5, 5), 0u);
            EXPECT_EQ(XGetPixel(img, 30, 5), 0x80800000u);
            XDestroyImage(img);
            ASSERT_EQ(count, 1);
            EXPECT_EQ(rects[0].width, 40);
            // Clicks on its transparent half go to what the desktop shows behind it.
            XFree(rects);
            rects = XShapeGetRectangles(probe_, x, ShapeInput, &count, &ordering);
            ASSERT_EQ(count, 1);
            EXPECT_EQ(rects[0].x, 20);
        } else {
            // Opaque, but only where it is not transparent: no black box.
            ASSERT_EQ(count, 1);
            EXPECT_EQ(rects[0].x, 20);
            EXPECT_EQ(rects[0].width, 20);
            EXPECT_EQ(rects[0].height, 20);
        }
        XFree(rects);
        // Its fade over, the window is no longer layered: it shows whole and opaque.
        win::SetWindowLongPtrA(glow, win::GWL_EXSTYLE, win::WS_EX_TOOLWINDOW);
        presenter_->Present();
        XSync(probe_, False);
        rects = XShapeGetRectangles(probe_, x, ShapeBounding, &count, &ordering);
        ASSERT_EQ(count, 1);
        EXPECT_EQ(rects[0].x, 0);
        EXPECT_EQ(rects[0].width, 40);
        XFree(rects);
        XImage* img = XGetImage(probe_, x, 0, 0, 40, 20, AllPlanes, ZPixmap);
        ASSERT_NE(img, nullptr);
        if (composited) {
            EXPECT_EQ(XGetPixel(img, 5, 5) >> 24, 0xFFu);
        }
        XDestroyImage(img);
        win::DestroyWindow(glow);
        presenter_.reset();
    }
}

TEST_F(X11DesktopTest, MinimisingIconifiesAndTheManagersIconifyAndRestoreReachTheForm) {
    if (!StartManager(false)) GTEST_SKIP() << "no openbox";
    Open();
    win::HWND main =
        Make("Главное окно"_cp, win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE, 0, {100, 80, 500, 380});
    presenter_->Present();
    const ::Window x = XOf(main);
    ASSERT_NE(x, 0u);
    EXPECT_TRUE(RunUntil([&] { return WmState(x) == NormalState; }));
    // The program minimises and restores.
    win::ShowWindow(main, win::SW_MINIMIZE);
    EXPECT_TRUE(RunUntil([&] { return WmState(x) == IconicState; }));
    win::ShowWindow(main, win::SW_RESTORE);
    EXPECT_TRUE(RunUntil([&] { return WmState(x) == NormalState; }));
    win::RECT r{};
    win::GetWindowRect(main, &r);
    EXPECT_EQ(r, (win::RECT{100, 80, 500, 380}));
    // The manager minimises (its keys, its task bar) and restores (activating it).
    XIconifyWindow(probe_, x, DefaultScreen(probe_));
    XFlush(probe_);
    EXPECT_TRUE(RunUntil([&] { return win::IsIconic(main) && WmState(x) == IconicState; }));
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = x;
    e.xclient.message_type = XInternAtom(probe_, "_NET_ACTIVE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2;  // a pager asks
    XSendEvent(probe_, DefaultRootWindow(probe_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(probe_);
    EXPECT_TRUE(RunUntil([&] { return !win::IsIconic(main) && WmState(x) == NormalState; }));
    win::GetWindowRect(main, &r);
    EXPECT_EQ(r, (win::RECT{100, 80, 500, 380}));
    // A move and a resize by the manager reach the form.
    XMoveResizeWindow(probe_, x, 40, 50, 300, 200);
    XFlush(probe_);
    EXPECT_TRUE(RunUntil([&] {
        win::GetWindowRect(main, &r);
        return r == win::RECT{40, 50, 340, 250};
    }));
    // The task bar shows the window's icon.
    Atom type;
    int format;
    unsigned long n = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(probe_, x, XInternAtom(probe_, "_NET_WM_ICON", False), 0, 2, False,
                       XA_CARDINAL, &type, &format, &n, &after, &data);
    ASSERT_EQ(n, 2u);
    EXPECT_EQ(reinterpret_cast<long*>(data)[0], 16);
    XFree(data);
}

TEST_F(X11DesktopTest, TheDesktopsFocusActivatesAndAClickBehindAModalDialogRaisesIt) {
    Open();
    win::HWND main =
        Make("Главное окно"_cp, win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE, 0, {100, 80, 500, 380});
    win::HWND other =
        Make("Другое"_cp, win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE, 0, {600, 80, 900, 380});
    presenter_->Present();
    ASSERT_TRUE(RunUntil([&] { return XFocus() == XOf(other); }));
    // The desktop gives the main window the keyboard: it becomes the active window.
    XSetInputFocus(probe_, XOf(main), RevertToParent, CurrentTime);
    XFlush(probe_);
    EXPECT_TRUE(RunUntil([&] { return win::GetActiveWindow() == main; }));
    // Behind a modal dialog, a click on the main window brings the dialog forward.
    win::HWND dialog = Make("Диалог"_cp, win::WS_POPUP | win::WS_CAPTION | win::WS_VISIBLE,
                            win::WS_EX_DLGMODALFRAME, {150, 150, 350, 250}, main);
    win::EnableWindow(main, win::FALSE);
    win::EnableWindow(other, win::FALSE);
    ASSERT_TRUE(RunUntil([&] { return XFocus() == XOf(dialog); }));
    XSetInputFocus(probe_, XOf(main), RevertToParent, CurrentTime);  // a manager's focus click
    XEvent click{};
    click.xbutton.type = ButtonPress;
    click.xbutton.window = XOf(main);
    click.xbutton.button = Button1;
    click.xbutton.same_screen = True;
    XSendEvent(probe_, XOf(main), False, ButtonPressMask, &click);
    XFlush(probe_);
    EXPECT_TRUE(RunUntil([&] { return XFocus() == XOf(dialog); }));
    EXPECT_EQ(win::GetActiveWindow(), dialog);
}

// The desktop takes the keyboard and gives it back while the program is busy with posted
// messages: the loss is read in one pass over the X events, the return in a later one, both
// before any input is taken. The program ends active, as its window has the keyboard.
TEST_F(X11DesktopTest, TheKeyboardBackBeforeItsLossIsTakenLeavesTheProgramActive) {
    Open();
    win::HWND main =
        Make("Главное окно"_cp, win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE, 0, {100, 80, 500, 380});
    presenter_->Present();
    ASSERT_TRUE(RunUntil([&] { return XFocus() == XOf(main) && win::GetForegroundWindow(); }));
    const ::Window other =
        XCreateSimpleWindow(probe_, DefaultRootWindow(probe_), 600, 80, 100, 100, 0, 0, 0xFFFFFF);
    XMapWindow(probe_, other);
    XSync(probe_, False);
    for (int i = 0; i < 2; ++i)
        win::PostMessageA(main, win::WM_USER, 0, 0);
    win::MSG m;
    for (::Window to : {other, XOf(main)}) {
        XSetInputFocus(probe_, to, RevertToParent, CurrentTime);
        XSync(probe_, False);
        ASSERT_TRUE(win::PeekMessageA(&m, nullptr, win::WM_USER, win::WM_USER, win::PM_REMOVE));
    }
    while (win::PeekMessageA(&m, nullptr, 0, 0, win::PM_REMOVE))
        win::DispatchMessageA(&m);
    EXPECT_EQ(win::GetForegroundWindow(), main);
    XDestroyWindow(probe_, other);
}

}  // namespace
}  // namespace display
