// The windowing layer's top-level windows as X windows, on a virtual X server with no window
// manager (skipped when none can be started).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/controls/standard_controls.h"
#include "platform/display/x11_window_map.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/os/cp_literal.h"
#include "platform/user/hooks.h"
#include "platform/user/menus.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "platform/user/window_region.h"
#include "tests/platform/display/x11_grab.h"
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
        // A window gone while the tree is read is skipped, not fatal.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        ASSERT_NE(dpy_, nullptr);
        map_ = std::make_unique<X11WindowMap>(dpy_, ExposureMask);
        win::WNDCLASSEXA wc;
        wc.lpfnWndProc = &win::DefWindowProcA;
        wc.lpszClassName = "MapTest";
        wc.hbrBackground = win::CreateSolidBrush(win::RGB(30, 140, 200));
        win::RegisterClassExA(&wc);
        win::RegisterStandardControls();
    }
    void TearDown() override {
        map_.reset();
        win::ResetWindowing();
        if (dpy_) XCloseDisplay(dpy_);
    }
    win::HWND Make(const char* caption, win::DWORD style, win::DWORD ex, win::RECT r,
                   win::HWND owner = nullptr) {
        return win::CreateWindowExA(ex, "MapTest", caption, style | win::WS_VISIBLE, r.left, r.top,
                                    r.right - r.left, r.bottom - r.top, owner, nullptr, nullptr,
                                    nullptr);
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
        return display::XPropertyText(dpy_, w, property);
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
          Want{xd,
               {200, 150, 500, 350},
               "Диалог",
               "_NET_WM_WINDOW_TYPE_DIALOG",
               std::to_string(xm),
               false},
          Want{xh,
               {300, 400, 380, 420},
               "",
               "_NET_WM_WINDOW_TYPE_TOOLTIP",
               std::to_string(xm),
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

// What runs inside a modal loop, posted to the owner so that it comes once the loop runs (a
// message box activates before it is shown).
std::function<void(win::HWND)> gWhileModal;
win::HHOOK gHook = nullptr;
win::HWND gOwner = nullptr;

win::LRESULT OnActivate(int code, win::WPARAM wp, win::LPARAM lp) {
    if (code == win::HCBT_ACTIVATE && gOwner)
        win::PostMessageA(std::exchange(gOwner, nullptr), win::WM_APP, 0, win::LPARAM(wp));
    return win::CallNextHookEx(gHook, code, wp, lp);
}

win::LRESULT OwnerProc(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (msg == win::WM_APP && gWhileModal)
        std::exchange(gWhileModal, nullptr)(reinterpret_cast<win::HWND>(lp));
    return win::DefWindowProcA(h, msg, wp, lp);
}

// The main window, a dialog shown modally over it (which disables it) and a message box over
// the dialog: three managed dialogs-and-owners, each modal over what it disabled; a pop-up
// menu is the program's own, where it was opened.
TEST_F(X11WindowMapTest, AModalDialogAndAMessageBoxOverItAreTransientModalDialogs) {
    win::WNDCLASSEXA wc;
    wc.lpfnWndProc = &OwnerProc;
    wc.lpszClassName = "MapOwner";
    win::RegisterClassExA(&wc);
    win::HWND main = win::CreateWindowExA(0, "MapOwner", "Рассылка"_cp,
                                          win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE, 100, 80, 640,
                                          480, nullptr, nullptr, nullptr, nullptr);
    gOwner = main;
    win::EnableWindow(main, win::FALSE);  // as a form shown modally does, before it shows
    win::HWND dialog = Make("Выбор порта"_cp, win::WS_POPUP | win::WS_CAPTION | win::WS_SYSMENU,
                            win::WS_EX_DLGMODALFRAME, {200, 150, 500, 350}, main);
    struct Seen {
        unsigned long xwin = 0;
        win::RECT rect{}, shown{};
        std::string name, type, transientFor, state;
        bool override = true;
    };
    auto see = [&](win::HWND h) {
        Seen s;
        s.xwin = map_->XWindowOf(h);
        win::GetWindowRect(h, &s.rect);
        s.shown = Geometry(s.xwin);
        s.name = Text(s.xwin, "_NET_WM_NAME");
        s.type = Text(s.xwin, "_NET_WM_WINDOW_TYPE");
        s.transientFor = Text(s.xwin, "WM_TRANSIENT_FOR");
        s.override = Override(s.xwin);
        s.state = Text(s.xwin, "_NET_WM_STATE");  // the first state given
        EXPECT_EQ(Text(s.xwin, "_MOTIF_WM_HINTS"), "2");
        return s;
    };
    std::vector<Seen> seen;
    gWhileModal = [&](win::HWND box) {
        map_->Sync();
        for (win::HWND h : {main, dialog, box})
            seen.push_back(see(h));
        win::QueueKeyEvent(win::KeyEvent{win::VK_ESCAPE, true, 27});
    };
    gHook = win::SetWindowsHookExA(win::WH_CBT, OnActivate, nullptr, win::GetCurrentThreadId());
    EXPECT_EQ(win::MessageBoxA(dialog, "Порт занят"_cp, "Ошибка"_cp, win::MB_OK), win::IDOK);
    win::UnhookWindowsHookEx(gHook);
    ASSERT_EQ(seen.size(), 3u);
    map_->Sync();
    EXPECT_EQ(map_->XWindows().size(), 2u);  // the box's went with it
    const std::string xm = std::to_string(seen[0].xwin), xd = std::to_string(seen[1].xwin);
    struct Want {
        std::string name, type, transientFor, state;
    };
    const Want want[] = {
        {"Рассылка", "_NET_WM_WINDOW_TYPE_NORMAL", "", ""},
        {"Выбор порта", "_NET_WM_WINDOW_TYPE_DIALOG", xm, "_NET_WM_STATE_MODAL"},
        {"Ошибка", "_NET_WM_WINDOW_TYPE_DIALOG", xd, "_NET_WM_STATE_MODAL"},
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(want[i].name);
        EXPECT_NE(seen[i].xwin, 0u);
        EXPECT_EQ(seen[i].shown, seen[i].rect);
        EXPECT_EQ(seen[i].name, want[i].name);
        EXPECT_EQ(seen[i].type, want[i].type);
        EXPECT_EQ(seen[i].transientFor, want[i].transientFor);
        EXPECT_EQ(seen[i].state, want[i].state);
        EXPECT_FALSE(seen[i].override);
    }

    // The dialog closed, a pop-up menu opened on the main window.
    win::DestroyWindow(dialog);
    win::EnableWindow(main, win::TRUE);
    win::SetActiveWindow(main);  // where the key that closes the menu goes
    win::HMENU menu = win::CreatePopupMenu();
    win::AppendMenuA(menu, win::MF_STRING, 1, "Открыть"_cp);
    win::AppendMenuA(menu, win::MF_STRING, 2, "Сохранить"_cp);
    gWhileModal = [&](win::HWND) {
        map_->Sync();
        win::HWND popup = win::GetTopWindow(nullptr);
        char cls[16] = {};
        win::GetClassNameA(popup, cls, sizeof cls);
        EXPECT_STREQ(cls, "#32768");
        seen.assign(1, see(popup));
        win::QueueKeyEvent(win::KeyEvent{win::VK_ESCAPE, true, 27});
    };
    win::PostMessageA(main, win::WM_APP, 0, 0);
    win::TrackPopupMenu(menu, win::TPM_LEFTALIGN, 300, 250, 0, main, nullptr);
    win::DestroyMenu(menu);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].override);
    EXPECT_EQ(seen[0].type, "_NET_WM_WINDOW_TYPE_POPUP_MENU");
    EXPECT_EQ(seen[0].shown.left, 300);
    EXPECT_EQ(seen[0].shown.top, 250);
    EXPECT_EQ(seen[0].shown, seen[0].rect);
}

// Place notices told of a window, in the order the desktop tells them: each is an echo of a
// place the program asked for, stale beside a later request still to be answered, or the
// desktop's own word, which the window follows (as the desktop's loop follows it).
TEST_F(X11WindowMapTest, APlaceNoticeIsFollowedUnlessItEchoesARequestOrPrecedesALaterOne) {
    using N = X11WindowMap::Notice;
    const win::RECT start{100, 100, 500, 400}, b{120, 110, 620, 510}, c{140, 120, 740, 620},
        elsewhere{300, 200, 700, 500}, big{100, 100, 1500, 1000}, clamped{100, 100, 1280, 800};
    struct Told {
        win::RECT rect;
        size_t taken;  // the last request the server had taken when it told
        bool synthetic;
        N want;
    };
    struct Row {
        const char* what;
        std::vector<win::RECT> asked;
        std::vector<Told> told;
    };
    const Row rows[] = {
        {"a notice older than a later request waits for that request's answer",
         {b, c},
         {{elsewhere, 0, true, N::Stale}, {c, 1, true, N::Echo}, {c, 1, false, N::Echo}}},
        {"the manager's clamped answer is followed", {big}, {{clamped, 0, true, N::Follow}}},
        {"a notice answering nothing ends the requests, so the same place later is a change",
         {b, c},
         {{elsewhere, 1, true, N::Follow}, {c, 1, true, N::Follow}}},
        {"an echo told in the frame and on the screen is one; coming back later is a change",
         {b},
         {{b, 0, false, N::Echo},
          {b, 0, true, N::Echo},
          {elsewhere, 0, true, N::Follow},
          {b, 0, true, N::Follow}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        win::HWND h = Make("Окно"_cp, win::WS_OVERLAPPEDWINDOW, 0, start);
        map_->Sync();
        const unsigned long xwin = map_->XWindowOf(h);
        ASSERT_NE(xwin, 0u);
        std::vector<unsigned long> serials;  // the last request of each Sync that asked
        for (const win::RECT& r : row.asked) {
            win::SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                              win::SWP_NOZORDER | win::SWP_NOACTIVATE);
            map_->Sync();
            serials.push_back(NextRequest(dpy_) - 1);
        }
        for (size_t i = 0; i < row.told.size(); ++i) {
            const Told& t = row.told[i];
            SCOPED_TRACE(i);
            const N got = map_->Configured(xwin, t.rect, serials[t.taken], t.synthetic);
            EXPECT_EQ(got, t.want);
            if (got != N::Follow) continue;
            map_->Moved(h, t.rect);
            win::SetWindowPos(h, nullptr, t.rect.left, t.rect.top, t.rect.right - t.rect.left,
                              t.rect.bottom - t.rect.top, win::SWP_NOZORDER | win::SWP_NOACTIVATE);
        }
        win::DestroyWindow(h);
        map_->Sync();
    }
}

}  // namespace
}  // namespace display
