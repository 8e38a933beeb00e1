// The default non-client layout, hit testing, and the modal move and size loops.
#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

using ::testing::ElementsAre;

LRESULT Hit(HWND h, int x, int y) {
    return SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(x, y));
}

TEST_F(UserTest, LayoutAgreesWithTheMetrics) {
    struct Case {
        DWORD style, ex;
        bool menu;
        int left, top, right, bottom;
    };
    int frame = GetSystemMetrics(SM_CXFRAME), fixed = GetSystemMetrics(SM_CXFIXEDFRAME);
    int cap = GetSystemMetrics(SM_CYCAPTION), small = GetSystemMetrics(SM_CYSMCAPTION);
    int menu = GetSystemMetrics(SM_CYMENU), edge = GetSystemMetrics(SM_CXEDGE);
    int vs = GetSystemMetrics(SM_CXVSCROLL), hs = GetSystemMetrics(SM_CYHSCROLL);
    const Case cases[] = {
        {WS_OVERLAPPEDWINDOW, 0, false, frame, frame + cap, frame, frame},
        {WS_OVERLAPPEDWINDOW, 0, true, frame, frame + cap + menu, frame, frame},
        {WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, false, fixed, fixed + cap, fixed, fixed},
        {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, false, fixed, fixed + small, fixed, fixed},
        {WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, false, 1 + edge, 1 + edge, 1 + edge, 1 + edge},
        {WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, false, 0, 0, vs, hs},
        {WS_POPUP | WS_VSCROLL, WS_EX_LEFTSCROLLBAR, false, vs, 0, 0, 0},
        {WS_POPUP | WS_DLGFRAME, WS_EX_DLGMODALFRAME, false, fixed, fixed, fixed, fixed},
    };
    for (const Case& c : cases) {
        HWND w = Make(c.style, 10, 20, 400, 300, nullptr, c.ex);
        if (c.menu) {
            HMENU m = CreateMenu();
            AppendMenuA(m, MF_STRING, 1, "&File");
            SetMenu(w, m);
        }
        RECT wr, cr;
        GetWindowRect(w, &wr);
        GetClientRect(w, &cr);
        POINT o{0, 0};
        ClientToScreen(w, &o);
        EXPECT_EQ(o.x - wr.left, c.left) << std::hex << c.style;
        EXPECT_EQ(o.y - wr.top, c.top) << std::hex << c.style;
        EXPECT_EQ(wr.right - (o.x + cr.right), c.right) << std::hex << c.style;
        EXPECT_EQ(wr.bottom - (o.y + cr.bottom), c.bottom) << std::hex << c.style;
        RECT adj = cr;
        AdjustWindowRectEx(&adj, c.style, c.menu, c.ex);
        EXPECT_EQ(adj.right - adj.left, 400);
        EXPECT_EQ(adj.bottom - adj.top, 300);
        DestroyWindow(w);
    }
}

TEST_F(UserTest, MenuBarWrapsIntoRows) {
    HWND w = Make(WS_OVERLAPPEDWINDOW, 0, 0, 120, 200);
    HMENU m = CreateMenu();
    for (int i = 0; i < 6; ++i)
        AppendMenuA(m, MF_STRING, UINT_PTR(i + 1), "Item");
    SetMenu(w, m);
    RECT wr, cr;
    GetWindowRect(w, &wr);
    GetClientRect(w, &cr);
    POINT o{0, 0};
    ClientToScreen(w, &o);
    // Rows of SM_CYMENU - 1 share the line below them: n rows are n x (SM_CYMENU - 1) + 1.
    const int menu = GetSystemMetrics(SM_CYMENU);
    RECT first, last;
    GetMenuItemRect(w, m, 0, &first);
    GetMenuItemRect(w, m, 5, &last);
    const int rows = (last.top - first.top) / (menu - 1) + 1;
    EXPECT_GE(rows, 2);
    EXPECT_EQ((last.top - first.top) % (menu - 1), 0);
    EXPECT_EQ(o.y - wr.top - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CYCAPTION),
              rows * (menu - 1) + 1);
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(last.left + 2, last.bottom)), HTMENU);
    SetWindowPos(w, nullptr, 0, 0, 1000, 200, SWP_NOMOVE | SWP_NOZORDER);
    ClientToScreen(w, &(o = POINT{0, 0}));
    GetWindowRect(w, &wr);
    EXPECT_EQ(o.y - wr.top, GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CYCAPTION) +
                                GetSystemMetrics(SM_CYMENU));
}

TEST_F(UserTest, HitTestCodes) {
    HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    int f = GetSystemMetrics(SM_CXFRAME), cap = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(Hit(w, 200, 200), HTCLIENT);
    EXPECT_EQ(Hit(w, 200, 100 + f + 5), HTCAPTION);
    EXPECT_EQ(Hit(w, 100, 200), HTLEFT);
    EXPECT_EQ(Hit(w, 399, 200), HTRIGHT);
    EXPECT_EQ(Hit(w, 200, 100), HTTOP);
    EXPECT_EQ(Hit(w, 200, 299), HTBOTTOM);
    EXPECT_EQ(Hit(w, 100, 100), HTTOPLEFT);
    EXPECT_EQ(Hit(w, 399, 299), HTBOTTOMRIGHT);
    EXPECT_EQ(Hit(w, 100 + f + 5, 100 + f + 5), HTSYSMENU);
    int by = 100 + f + 5;
    EXPECT_EQ(Hit(w, 400 - f - 4, by), HTCLOSE);
    EXPECT_EQ(Hit(w, 400 - f - 2 - 16 - 2 - 4, by), HTMAXBUTTON);
    EXPECT_EQ(Hit(w, 400 - f - 2 - 16 - 2 - 16 - 4, by), HTMINBUTTON);
    EXPECT_EQ(Hit(w, 50, 50), HTNOWHERE);
    (void)cap;
    // No edges when maximised, and no boxes without WS_SYSMENU.
    ShowWindow(w, SW_MAXIMIZE);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(Hit(w, r.left + 1, r.top + 100), HTBORDER);
    HWND plain = Make(WS_POPUP | WS_CAPTION | WS_VISIBLE, 500, 500, 200, 100);
    EXPECT_EQ(Hit(plain, 700 - 3 - 4, 500 + 3 + 5), HTCAPTION);
    EXPECT_EQ(Hit(plain, 500, 550), HTBORDER);
}

TEST_F(UserTest, DraggingTheCaptionMovesAndTheBorderSizes) {
    HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    Clear();
    // Queue the whole drag, then press: the modal loop runs inside the press.
    QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{200, 110}, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{230, 150}});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{250, 170}});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{250, 170}, MouseButton::Left});
    Pump();
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r, (RECT{150, 160, 450, 360}));
    EXPECT_THAT(Only({WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}, w),
                ElementsAre(WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE));
    EXPECT_EQ(Last(WM_SYSCOMMAND, w)->wp, SC_MOVE | HTCAPTION);
    EXPECT_EQ(Count(WM_MOVING, w), 2);
    EXPECT_EQ(GetCapture(), nullptr);

    // Size from the bottom-right corner; the button let go further on than the last move
    // the loop saw: the window ends where it was let go.
    Clear();
    QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{449, 359}, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{469, 379}});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{479, 389}, MouseButton::Left});
    Pump();
    GetWindowRect(w, &r);
    EXPECT_EQ(r, (RECT{150, 160, 480, 390}));
    EXPECT_EQ(Last(WM_SYSCOMMAND, w)->wp, SC_SIZE + WMSZ_BOTTOMRIGHT);
    EXPECT_EQ(Last(WM_SIZING, w)->wp, WMSZ_BOTTOMRIGHT);

    // Esc puts it back.
    QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{150, 300}, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{0, 300}});
    QueueKeyEvent(KeyEvent{VK_ESCAPE, true});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{0, 300}, MouseButton::Left});
    Pump();
    GetWindowRect(w, &r);
    EXPECT_EQ(r, (RECT{150, 160, 480, 390}));
}

TEST_F(UserTest, SentCaptionPressUsesTheCurrentButtonState) {
    HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    // The button is already down (a press on another window, forwarded by code).
    QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{600, 600}, MouseButton::Left});
    Pump();
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{610, 620}});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{610, 620}, MouseButton::Left});
    SendMessageA(w, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(600, 600));
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.top, 120);
}

TEST_F(UserTest, CaptionButtonsAndDoubleClicks) {
    HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    int f = GetSystemMetrics(SM_CXFRAME);
    // Double click on the caption maximises, again restores.
    Click(200, 110);
    Click(200, 110);
    EXPECT_TRUE(IsZoomed(w));
    Click(200, 5);
    clock_.Advance(1000);
    Click(200, 5);
    clock_.Advance(100);
    Click(200, 5);
    EXPECT_FALSE(IsZoomed(w));
    // The minimise box: pressed and released over it.
    clock_.Advance(1000);
    Click(400 - f - 2 - 16 - 2 - 16 - 4, 100 + f + 5);
    EXPECT_TRUE(IsIconic(w));
    ShowWindow(w, SW_RESTORE);
    // Released elsewhere: nothing.
    QueueMouseEvent(
        MouseEvent{MouseEvent::Down, POINT{400 - f - 4, 100 + f + 5}, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{200, 200}});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{200, 200}, MouseButton::Left});
    Pump();
    EXPECT_TRUE(IsWindow(w));
    // The close box closes.
    clock_.Advance(1000);
    Click(400 - f - 4, 100 + f + 5);
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(UserTest, KeyboardMenuCommands) {
    HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    Answers()[{w, WM_SYSCOMMAND}] = 0;  // record only
    Clear();
    Key(VK_MENU, true);
    Key(VK_SPACE, true);
    Key(VK_SPACE, false);
    Key(VK_MENU, false);
    ASSERT_EQ(Count(WM_SYSCOMMAND, w), 1);
    EXPECT_EQ(Last(WM_SYSCOMMAND, w)->wp, SC_KEYMENU);
    EXPECT_EQ(Last(WM_SYSCOMMAND, w)->lp, ' ');
    Clear();
    Tap(VK_MENU);
    ASSERT_EQ(Count(WM_SYSCOMMAND, w), 1);
    EXPECT_EQ(Last(WM_SYSCOMMAND, w)->lp, 0);
    Clear();
    Tap(VK_F10);
    EXPECT_EQ(Count(WM_SYSCOMMAND, w), 1);
    Clear();
    Key(VK_MENU, true);
    Tap(VK_F4);
    Key(VK_MENU, false);
    ASSERT_EQ(Count(WM_SYSCOMMAND, w), 1);
    EXPECT_EQ(Last(WM_SYSCOMMAND, w)->wp, SC_CLOSE);
}

TEST_F(UserTest, SystemMenuIsAPerWindowCopyThatOutlivesTheStyle) {
    HWND w = Make(WS_OVERLAPPEDWINDOW, 0, 0, 300, 200);
    HWND other = Make(WS_OVERLAPPEDWINDOW, 0, 0, 300, 200);
    HMENU m = GetSystemMenu(w, FALSE);
    ASSERT_NE(m, nullptr);
    EXPECT_NE(GetSystemMenu(other, FALSE), m);
    EXPECT_EQ(GetMenuItemCount(m), 7);
    EXPECT_EQ(GetMenuItemID(m, 6), SC_CLOSE);
    EXPECT_EQ(GetMenuItemID(m, 0), SC_RESTORE);
    char text[64];
    GetMenuStringA(m, SC_CLOSE, text, sizeof text, MF_BYCOMMAND);
    EXPECT_NE(std::string(text).find("\tAlt+F4"), std::string::npos);
    AppendMenuA(m, MF_STRING, 0x100, "Mine");
    SetWindowLongPtrA(w, GWL_STYLE, GetWindowLongPtrA(w, GWL_STYLE) & ~WS_SYSMENU);
    EXPECT_EQ(GetSystemMenu(w, FALSE), m);
    EXPECT_EQ(GetMenuItemCount(m), 8);
    EXPECT_EQ(GetSystemMenu(w, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(m));
    DestroyWindow(other);
}

}  // namespace
}  // namespace win::testing
