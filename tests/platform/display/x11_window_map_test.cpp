// The windowing layer's top-level windows as X windows, on a virtual X server with no window
// manager (skipped when none can be started).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/display/x11_window_map.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/os/cp_literal.h"
#include "platform/user/window_region.h"
#include "platform/user/user.h"
#include "tests/support/virtual_x_server.h"

// Xlib's macros clash with the windowing names, so it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace display {
namespace {

class X11WindowMapTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new testing_support::VirtualXServer; }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!server_->Up()) GTEST_SKIP() << "no virtual X server could be started";
        win::ResetWindowing();
        win::SetVirtualScreenSize(1280, 800);
        dpy_ = XOpenDisplay(server_->Name());
        ASSERT_NE(dpy_, nullptr);
        map_ = std::make_unique<X11WindowMap>(dpy_, ExposureMask);
        win::WNDCLASSEXA wc;
        wc.lpfnWndProc = &win::DefWindowProcA;
        wc.lpszClassName = "MapTest";
        wc.hbrBackground = win::CreateSolidBrush(win::RGB(30, 140, 200));
        win::RegisterClassExA(&wc);
    }
    void TearDown() override {
        map_.reset();
        win::ResetWindowing();
        if (dpy_) XCloseDisplay(dpy_);
    }
    win::HWND Make(const char* caption, win::DWORD style, win::DWORD ex, win::RECT r,
                   win::HWND owner = nullptr) {
        return win::CreateWindowExA(ex, "MapTest", caption, style | win::WS_VISIBLE, r.left,
                                    r.top, r.right - r.left, r.bottom - r.top, owner, nullptr,
                                    nullptr, nullptr);
    }
    win::RECT Geometry(unsigned long w) {
        XWindowAttributes a{};
        XGetWindowAttributes(dpy_, w, &a);
        int x = 0, y = 0;
        ::Window child;
        XTranslateCoordinates(dpy_, w, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
        return win::RECT{x, y, x + a.width, y + a.height};
    }
    bool Override(unsigned long w) {
        XWindowAttributes a{};
        XGetWindowAttributes(dpy_, w, &a);
        return a.override_redirect;
    }
    // An atom-valued or text property, read as the server holds it.
    std::string Text(unsigned long w, const char* property) {
        ::Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        std::string out;
        if (XGetWindowProperty(dpy_, w, XInternAtom(dpy_, property, False), 0, 1024, False,
                               AnyPropertyType, &type, &format, &n, &after, &data) == Success &&
            data) {
            if (format == 8) {
                out.assign(reinterpret_cast<char*>(data), n);
            } else if (format == 32 && type == XA_ATOM && n > 0) {
                char* name = XGetAtomName(dpy_, reinterpret_cast<::Atom*>(data)[0]);
                out = name;
                XFree(name);
            } else if (format == 32 && n > 0) {
                out = std::to_string(reinterpret_cast<long*>(data)[0]);
            }
        }
        if (data) XFree(data);
        return out;
    }

    static testing_support::VirtualXServer* server_;
    Display* dpy_ = nullptr;
    std::unique_ptr<X11WindowMap> map_;
};

testing_support::VirtualXServer* X11WindowMapTest::server_ = nullptr;

TEST_F(X11WindowMapTest, EachShownTopLevelWindowIsAnUndecoratedXWindowThatFollowsIt) {
    win::HWND main = Make("Главное окно"_cp, win::WS_OVERLAPPEDWINDOW, 0, {100, 80, 740, 560});
    win::HWND dialog = Make("Диалог"_cp, win::WS_POPUP | win::WS_CAPTION | win::WS_SYSMENU,
                            win::WS_EX_DLGMODALFRAME, {200, 150, 500, 350}, main);
    win::HWND hint = Make("", win::WS_POPUP | win::WS_BORDER,
                          win::WS_EX_TOOLWINDOW | win::WS_EX_TOPMOST, {300, 400, 380, 420}, main);
    map_->Sync();
    const unsigned long xm = map_->XWindowOf(main), xd = map_->XWindowOf(dialog),
                        xh = map_->XWindowOf(hint);
    ASSERT_TRUE(xm && xd && xh);
    EXPECT_EQ(map_->WindowOf(xd), dialog);
    struct Want {
        unsigned long w;
        win::RECT rect;
        std::string name, type, transientFor;
        bool override;
    };
    for (const Want& want :
         {Want{xm, {100, 80, 740, 560}, "Главное окно", "_NET_WM_WINDOW_TYPE_NORMAL", "", false},
          Want{xd, {200, 150, 500, 350}, "Диалог", "_NET_WM_WINDOW_TYPE_DIALOG",
               std::to_string(xm), false},
          Want{xh, {300, 400, 380, 420}, "", "_NET_WM_WINDOW_TYPE_TOOLTIP", std::to_string(xm),
               true}}) {
        SCOPED_TRACE(want.name);
        EXPECT_EQ(Geometry(want.w), want.rect);
        EXPECT_EQ(Text(want.w, "_NET_WM_NAME"), want.name);
        EXPECT_EQ(Text(want.w, "_NET_WM_WINDOW_TYPE"), want.type);
        EXPECT_EQ(Text(want.w, "WM_TRANSIENT_FOR"), want.transientFor);
        EXPECT_EQ(Override(want.w), want.override);
        EXPECT_EQ(Text(want.w, "_MOTIF_WM_HINTS"), "2");  // decorations given: none
        EXPECT_EQ(Text(want.w, "WM_CLASS"), std::string("tessary\0Tessary\0", 16));
    }
    EXPECT_EQ(Text(xd, "_NET_WM_STATE"), "_NET_WM_STATE_SKIP_TASKBAR");
    EXPECT_EQ(Text(xm, "_NET_WM_STATE"), "");
    // Stacked as the windowing layer stacks them.
    ::Window root, parent, *children = nullptr;
    unsigned n = 0;
    XQueryTree(dpy_, DefaultRootWindow(dpy_), &root, &parent, &children, &n);
    std::vector<unsigned long> order(children, children + n);  // bottom first
    XFree(children);
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order.back(), xh);
    EXPECT_EQ(order.front(), xm);

    // The program moves, renames and hides; the X windows follow.
    win::SetWindowPos(main, nullptr, 10, 20, 600, 400, win::SWP_NOZORDER);
    win::SetWindowTextA(main, "Ёлка"_cp);
    win::ShowWindow(hint, win::SW_HIDE);
    win::DestroyWindow(dialog);
    map_->Sync();
    EXPECT_EQ(Geometry(xm), (win::RECT{10, 20, 610, 420}));
    EXPECT_EQ(Text(xm, "_NET_WM_NAME"), "Ёлка");
    EXPECT_EQ(Text(xm, "WM_NAME"), "????");  // Latin-1 only
    EXPECT_EQ(map_->XWindows(), std::vector<unsigned long>{xm});

    // A window region cuts the X window; taking it away restores the rectangle.
    win::SetWindowRgn(main, win::CreateRectRgn(10, 0, 590, 400), win::TRUE);
    map_->Sync();
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(dpy_, xm, ShapeBounding, &count, &ordering);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(rects[0].x, 10);
    EXPECT_EQ(rects[0].width, 580);
    XFree(rects);
    win::SetWindowRgn(main, nullptr, win::TRUE);
    map_->Sync();
    rects = XShapeGetRectangles(dpy_, xm, ShapeBounding, &count, &ordering);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(rects[0].x, 0);
    EXPECT_EQ(rects[0].width, 600);
    XFree(rects);
}

}  // namespace
}  // namespace display
