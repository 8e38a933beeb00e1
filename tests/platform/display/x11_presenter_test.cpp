// The X11 presenter against a virtual X server started for these tests (skipped when none can
// be started), and the key translation it uses, which needs no server.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/display/headless_presenter.h"
#include "platform/display/x11_keys.h"
#include "platform/display/x11_presenter.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/os/clock.h"
#include "platform/os/cp_literal.h"
#include "platform/user/user.h"
#include "tests/platform/display/x11_grab.h"
#include "tests/support/virtual_x_server.h"

// Xlib's macros clash with the windowing names, so it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace display {
namespace {

using Clock = std::chrono::steady_clock;

using VirtualServer = testing_support::VirtualXServer;

int clicks = 0;
std::string typed;
int movedX = 0;  // client x of the last mouse move

win::LRESULT Recording(win::HWND h, win::UINT m, win::WPARAM wp, win::LPARAM lp) {
    if (m == win::WM_LBUTTONDOWN) ++clicks;
    if (m == win::WM_CHAR) typed += char(wp);
    if (m == win::WM_MOUSEMOVE) movedX = short(lp & 0xFFFF);
    return win::DefWindowProcA(h, m, wp, lp);
}

class X11Test : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new VirtualServer; }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!server_->Up()) GTEST_SKIP() << "no virtual X server could be started";
        win::ResetWindowing();
        clicks = 0;
        movedX = 0;
        typed.clear();
        probe_ = XOpenDisplay(server_->Name());
        ASSERT_NE(probe_, nullptr);
    }
    void TearDown() override {
        presenter_.reset();
        win::ResetWindowing();
        if (probe_) XCloseDisplay(probe_);
    }
    // Runs the message loop, waiting on the presenter, until `done` or ten seconds pass.
    bool RunUntil(const std::function<bool()>& done) {
        auto deadline = Clock::now() + std::chrono::seconds(10);
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
    // An event to the X window of `target`, at a point inside it.
    void Send(win::HWND target, int type, int x, int y, unsigned detail) {
        XEvent e{};
        ::Window w = presenter_->XWindowOf(target);
        if (type == ButtonPress || type == ButtonRelease) {
            e.xbutton = XButtonEvent{};
            e.xbutton.type = type;
            e.xbutton.window = w;
            e.xbutton.root = DefaultRootWindow(probe_);
            e.xbutton.x = x;
            e.xbutton.y = y;
            e.xbutton.button = detail;
            e.xbutton.same_screen = True;
            XSendEvent(probe_, w, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
                       &e);
        } else {
            e.xkey = XKeyEvent{};
            e.xkey.type = type;
            e.xkey.window = w;
            e.xkey.root = DefaultRootWindow(probe_);
            e.xkey.keycode = detail;
            e.xkey.same_screen = True;
            XSendEvent(probe_, w, False, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
        }
        XFlush(probe_);
    }
    // The X window of `target` as the X server shows it, as RGB rows like CaptureScreen's.
    Rgb Grab(win::HWND target) {
        win::RECT r{};
        win::GetWindowRect(target, &r);
        return GrabX(probe_, presenter_->XWindowOf(target), 0, 0, r.right - r.left,
                     r.bottom - r.top);
    }
    win::HWND MakeWindow(int x, int y, int w, int h, win::COLORREF color, win::DWORD style,
                         win::HWND owner = nullptr, win::DWORD ex = 0) {
        static int n = 0;
        std::string cls = "X11Shot" + std::to_string(n++);
        win::WNDCLASSEXA wc;
        wc.lpfnWndProc = &Recording;
        wc.lpszClassName = cls.c_str();
        wc.hbrBackground = win::CreateSolidBrush(color);
        win::RegisterClassExA(&wc);
        return win::CreateWindowExA(ex, cls.c_str(), "Окно"_cp, style, x, y, w, h, owner, nullptr,
                                    nullptr, nullptr);
    }

    static VirtualServer* server_;
    Display* probe_ = nullptr;
    std::unique_ptr<X11Presenter> presenter_;
};

VirtualServer* X11Test::server_ = nullptr;

TEST_F(X11Test, TheWindowShowsTheScreenAndClicksAndKeysComeBack) {
    presenter_ = X11Presenter::Open(server_->Name());
    ASSERT_NE(presenter_, nullptr);
    EXPECT_EQ(&win::CurrentEventSource(), presenter_.get());
    win::HWND red =
        MakeWindow(20, 30, 100, 50, win::RGB(200, 10, 10), win::WS_POPUP | win::WS_VISIBLE);
    MakeWindow(150, 60, 150, 120, win::RGB(10, 150, 10),
               win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE);
    ASSERT_TRUE(RunUntil([] { return true; }));
    presenter_->Present();
    // The screen is the X screen's size; the X window holds exactly the composed screen there.
    EXPECT_EQ(win::ScreenSize(), (win::SIZE{1280, 800}));
    // A window manager's work area is the windowing layer's.
    const long area[4] = {0, 30, 1280, 740};
    XChangeProperty(probe_, DefaultRootWindow(probe_), XInternAtom(probe_, "_NET_WORKAREA", False),
                    XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(area),
                    4);
    XFlush(probe_);
    win::RECT work{};
    EXPECT_TRUE(RunUntil([&] {
        win::SystemParametersInfoA(win::SPI_GETWORKAREA, 0, &work, 0);
        return work == win::RECT{0, 30, 1280, 770};
    }));
    XDeleteProperty(probe_, DefaultRootWindow(probe_), XInternAtom(probe_, "_NET_WORKAREA", False));
    win::RECT r{20, 30, 120, 80};
    EXPECT_TRUE(Grab(red).pixels == CaptureScreen(&r).pixels);
    // A click in the red window's X window reaches it.
    win::SetActiveWindow(red);
    Send(red, ButtonPress, 5, 5, Button1);
    Send(red, ButtonRelease, 5, 5, Button1);
    EXPECT_TRUE(RunUntil([] { return clicks == 1; }));
    // A key of the Cyrillic layout types its cp1251 letter.
    int lo = 0, hi = 0;
    XDisplayKeycodes(probe_, &lo, &hi);
    KeySym ef = XK_Cyrillic_ef;
    XChangeKeyboardMapping(probe_, hi, 1, &ef, 1);
    XSync(probe_, False);
    Send(red, KeyPress, 0, 0, unsigned(hi));
    Send(red, KeyRelease, 0, 0, unsigned(hi));
    EXPECT_TRUE(RunUntil([] { return !typed.empty(); }));
    EXPECT_EQ(typed, "ф"_cp);
}

TEST_F(X11Test, TheScreenFollowsTheWindowAndOnlyDamageIsRepainted) {
    presenter_ = X11Presenter::Open(server_->Name());
    ASSERT_NE(presenter_, nullptr);
    win::HWND red =
        MakeWindow(20, 30, 100, 50, win::RGB(200, 10, 10), win::WS_POPUP | win::WS_VISIBLE);
    // Once shown, and the window's first exposure answered, nothing is put again.
    EXPECT_TRUE(RunUntil([this] {
        presenter_->Present();
        return presenter_->LastPresent().rects == 0;
    }));
    win::RECT part{0, 0, 10, 10};
    win::InvalidateRect(red, &part, win::TRUE);
    RunUntil([] { return true; });
    presenter_->Present();
    X11Presenter::PresentStats stats = presenter_->LastPresent();
    EXPECT_GE(stats.rects, 1);
    EXPECT_LE(stats.pixels, 100 * 50);
    // Moved and sized on the desktop, the window follows, and shows its new picture.
    XMoveResizeWindow(probe_, presenter_->XWindowOf(red), 60, 70, 150, 90);
    XFlush(probe_);
    win::RECT now{};
    EXPECT_TRUE(RunUntil([&] {
        win::GetWindowRect(red, &now);
        return now == win::RECT{60, 70, 210, 160};
    }));
    presenter_->Present();
    EXPECT_TRUE(Grab(red).pixels == CaptureScreen(&now).pixels);
}

// The desktop's close box and a window manager's move reach the window they were given to; a
// move by the program moves its X window.
TEST_F(X11Test, TheDesktopClosesAndMovesEachWindowByItself) {
    presenter_ = X11Presenter::Open(server_->Name());
    ASSERT_NE(presenter_, nullptr);
    win::HWND main = MakeWindow(100, 100, 400, 300, win::RGB(10, 150, 10),
                                win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE);
    win::HWND dialog = MakeWindow(
        150, 150, 200, 100, win::RGB(200, 10, 10),
        win::WS_POPUP | win::WS_CAPTION | win::WS_SYSMENU | win::WS_VISIBLE, main,
        win::WS_EX_DLGMODALFRAME);
    ASSERT_TRUE(dialog);
    presenter_->Present();
    const ::Window xmain = presenter_->XWindowOf(main), xdialog = presenter_->XWindowOf(dialog);
    ASSERT_TRUE(xmain && xdialog);
    auto close = [this](::Window w) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(probe_, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(probe_, "WM_DELETE_WINDOW", False));
        XSendEvent(probe_, w, False, 0, &e);
        XFlush(probe_);
    };
    // A manager's move, told by a synthetic ConfigureNotify in root coordinates.
    XEvent c{};
    c.xconfigure.type = ConfigureNotify;
    c.xconfigure.send_event = True;
    c.xconfigure.event = c.xconfigure.window = xdialog;
    c.xconfigure.x = 300;
    c.xconfigure.y = 250;
    c.xconfigure.width = 220;
    c.xconfigure.height = 120;
    XSendEvent(probe_, xdialog, False, StructureNotifyMask, &c);
    XFlush(probe_);
    win::RECT r{};
    EXPECT_TRUE(RunUntil([&] {
        win::GetWindowRect(dialog, &r);
        return r == win::RECT{300, 250, 520, 370};
    }));
    // Disabled behind the dialog, the main window ignores the close box; the dialog closes alone.
    win::EnableWindow(main, win::FALSE);
    close(xmain);
    close(xdialog);
    EXPECT_TRUE(RunUntil([&] { return !win::IsWindow(dialog); }));
    EXPECT_TRUE(win::IsWindow(main));
    win::EnableWindow(main, win::TRUE);
    win::SetWindowPos(main, nullptr, 30, 40, 0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER);
    presenter_->Present();
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(probe_, xmain, DefaultRootWindow(probe_), 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    close(xmain);
    EXPECT_TRUE(RunUntil([&] { return !win::IsWindow(main); }));
}

// With the capture, the pointer stays with the program outside its window, as in a drag.
TEST_F(X11Test, TheCaptureKeepsThePointerOutsideTheWindow) {
    int event, error, major, minor;
    if (!XTestQueryExtension(probe_, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
    presenter_ = X11Presenter::Open(server_->Name());
    ASSERT_NE(presenter_, nullptr);
    win::HWND w =
        MakeWindow(100, 100, 200, 100, win::RGB(10, 150, 10), win::WS_POPUP | win::WS_VISIBLE);
    win::SetCapture(w);
    presenter_->Present();
    XTestFakeMotionEvent(probe_, -1, 700, 150, CurrentTime);
    XFlush(probe_);
    EXPECT_TRUE(RunUntil([] { return movedX == 600; }));  // screen 700 is client 600
    win::ReleaseCapture();
}

// Loops that never wait still take the operator's input, and put damage at most every 16 ms of
// the platform clock.
TEST_F(X11Test, EveryRetrievalOfMessagesTakesEventsAndPresentsAtMostEvery16ms) {
    os::FakeClock clock;
    os::ScopedClock use(clock);
    presenter_ = X11Presenter::Open(server_->Name());
    ASSERT_NE(presenter_, nullptr);
    win::HWND red =
        MakeWindow(20, 30, 100, 50, win::RGB(200, 10, 10), win::WS_POPUP | win::WS_VISIBLE);
    presenter_->Present();  // the window's X window is made
    Send(red, ButtonPress, 5, 5, Button1);
    Send(red, ButtonRelease, 5, 5, Button1);
    XSync(probe_, False);
    auto pump = [] {
        win::MSG m;
        while (win::PeekMessageA(&m, nullptr, 0, 0, win::PM_REMOVE))
            win::DispatchMessageA(&m);
    };
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (clicks == 0 && Clock::now() < deadline) {
        pump();
        std::this_thread::yield();
    }
    EXPECT_EQ(clicks, 1);
    const long presents = presenter_->Presents();
    for (uint32_t step : {0u, 15u}) {
        clock.Advance(step);
        win::InvalidateRect(red, nullptr, win::TRUE);
        pump();
    }
    EXPECT_EQ(presenter_->Presents(), presents);
    clock.Advance(1);
    pump();
    pump();
    EXPECT_EQ(presenter_->Presents(), presents + 1);
    EXPECT_GE(presenter_->LastPresent().rects, 1);  // the red window's repaint
}

// Serves a selection from its own connection on a thread of its own, as another program would.
class OtherProgram {
public:
    OtherProgram(const char* name, std::string utf8) : text_(std::move(utf8)) {
        thread_ = std::thread([this, n = std::string(name)] { Serve(n); });
        while (!ready_)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~OtherProgram() {
        stop_ = true;
        thread_.join();
    }

private:
    void Serve(const std::string& name) {
        Display* d = XOpenDisplay(name.c_str());
        ::Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
        Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
        Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
        XSetSelectionOwner(d, clipboard, w, CurrentTime);
        XSync(d, False);
        ready_ = true;
        while (!stop_) {
            while (XPending(d) > 0) {
                XEvent e;
                XNextEvent(d, &e);
                if (e.type != SelectionRequest) continue;
                XSelectionRequestEvent& r = e.xselectionrequest;
                XSelectionEvent reply{};
                reply.type = SelectionNotify;
                reply.requestor = r.requestor;
                reply.selection = r.selection;
                reply.target = r.target;
                reply.time = r.time;
                if (r.target == utf8) {
                    XChangeProperty(d, r.requestor, r.property, utf8, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(text_.data()),
                                    int(text_.size()));
                    reply.property = r.property;
                }
                XSendEvent(d, r.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
                XFlush(d);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        XDestroyWindow(d, w);
        XCloseDisplay(d);
    }
    std::string text_;
    std::thread thread_;
    std::atomic<bool> ready_{false}, stop_{false};
};

TEST_F(X11Test, TheClipboardIsSharedAsUtf8) {
    presenter_ = X11Presenter::Open(server_->Name());
    ASSERT_NE(presenter_, nullptr);
    // Ours, read by another program.
    win::HGLOBAL mem = win::GlobalAlloc(win::GMEM_MOVEABLE, 32);
    std::strcpy(static_cast<char*>(win::GlobalLock(mem)), "Привет"_cp);
    win::GlobalUnlock(mem);
    win::HWND owner = MakeWindow(0, 0, 10, 10, 0, win::WS_POPUP);
    ASSERT_TRUE(win::OpenClipboard(owner));
    win::EmptyClipboard();
    win::SetClipboardData(win::CF_TEXT, mem);
    win::CloseClipboard();
    EXPECT_EQ(win::GetClipboardOwner(), owner);
    ::Window helper = XCreateSimpleWindow(probe_, DefaultRootWindow(probe_), 0, 0, 1, 1, 0, 0, 0);
    Atom clipboard = XInternAtom(probe_, "CLIPBOARD", False);
    Atom utf8 = XInternAtom(probe_, "UTF8_STRING", False);
    Atom prop = XInternAtom(probe_, "PROBE", False);
    XConvertSelection(probe_, clipboard, utf8, prop, helper, CurrentTime);
    XFlush(probe_);
    std::string got;
    RunUntil([&] {
        while (XPending(probe_) > 0) {
            XEvent e;
            XNextEvent(probe_, &e);
            if (e.type != SelectionNotify || e.xselection.property == None) continue;
            Atom type;
            int format;
            unsigned long n, after;
            unsigned char* data = nullptr;
            XGetWindowProperty(probe_, helper, prop, 0, 1024, True, AnyPropertyType, &type, &format,
                               &n, &after, &data);
            if (data) got.assign(reinterpret_cast<char*>(data), n);
            if (data) XFree(data);
        }
        return !got.empty();
    });
    EXPECT_EQ(got, "Привет");
    // Another program's, read by us once it took the clipboard over.
    OtherProgram other(server_->Name(), "Мир");
    RunUntil([] { return win::GetClipboardOwner() == nullptr; });
    ASSERT_TRUE(win::OpenClipboard(nullptr));
    win::HANDLE h = win::GetClipboardData(win::CF_TEXT);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(static_cast<const char*>(win::GlobalLock(h)), "Мир"_cp);
    win::GlobalUnlock(h);
    win::CloseClipboard();
}

TEST_F(X11Test, ThePresenterIsChosenByTheDisplayVariable) {
    const char* saved = std::getenv("DISPLAY");
    std::string keep = saved ? saved : "";
    setenv("DISPLAY", server_->Name(), 1);
    EXPECT_EQ(OpenPresenter(200, 100)->Kind(), PresenterKind::X11);
    setenv("DISPLAY", ":129", 1);  // nobody there
    EXPECT_EQ(OpenPresenter(200, 100)->Kind(), PresenterKind::Headless);
    unsetenv("DISPLAY");
    EXPECT_EQ(OpenPresenter(200, 100)->Kind(), PresenterKind::Headless);
    if (saved) setenv("DISPLAY", keep.c_str(), 1);
}

// --- keys, no server needed ---

TEST(X11Keys, KeysymsGiveVirtualKeysAndCp1251Characters) {
    EXPECT_EQ(VirtualKeyFor(XK_a), unsigned('A'));
    EXPECT_EQ(VirtualKeyFor(XK_Q), unsigned('Q'));
    EXPECT_EQ(VirtualKeyFor(XK_7), unsigned('7'));
    EXPECT_EQ(VirtualKeyFor(XK_F10), win::VK_F10);
    EXPECT_EQ(VirtualKeyFor(XK_KP_Enter), win::VK_RETURN);
    EXPECT_EQ(VirtualKeyFor(XK_Alt_L), win::VK_LMENU);
    EXPECT_EQ(VirtualKeyFor(XK_Shift_R), win::VK_RSHIFT);
    EXPECT_EQ(VirtualKeyFor(XK_Cyrillic_ef), 0u);  // such keys take the virtual key of level 0
    EXPECT_EQ(KeysymToCp1251(XK_Cyrillic_ef), static_cast<unsigned char>("ф"_cp[0]));
    EXPECT_EQ(KeysymToCp1251(XK_Cyrillic_YU), static_cast<unsigned char>("Ю"_cp[0]));
    EXPECT_EQ(KeysymToCp1251(XK_Cyrillic_hardsign), static_cast<unsigned char>("ъ"_cp[0]));
    EXPECT_EQ(KeysymToCp1251(XK_Cyrillic_io), static_cast<unsigned char>("ё"_cp[0]));
    EXPECT_EQ(KeysymToCp1251(XK_Ukrainian_GHE_WITH_UPTURN), static_cast<unsigned char>("Ґ"_cp[0]));
    EXPECT_EQ(KeysymToCp1251(XK_numerosign), static_cast<unsigned char>("№"_cp[0]));
    EXPECT_EQ(KeysymToCp1251(XK_a), 'a');
    EXPECT_EQ(KeysymToCp1251(XK_Return), '\r');
    EXPECT_EQ(KeysymToCp1251(XK_KP_5), '5');
    EXPECT_EQ(KeysymToCp1251(0x1000000 + 0x20AC), static_cast<unsigned char>("€"_cp[0]));
    EXPECT_EQ(KeysymToCp1251(0x1000000 + 0x4E2D), 0);  // no cp1251 byte
    EXPECT_EQ(KeysymToCp1251(XK_Greek_alpha), 0);
    EXPECT_EQ(KeysymToCp1251(XK_Left), 0);
}

}  // namespace
}  // namespace display
