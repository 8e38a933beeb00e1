// Mouse routing, activation by clicks, capture, tracking and the wheel.
#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

using ::testing::ElementsAre;

TEST_F(UserTest, ClicksReachTheDeepestWindowAndTransparentHitsPassBelow) {
    HWND back = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND front = Make(WS_POPUP | WS_VISIBLE, 50, 50, 100, 100);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, front);
    Pump();
    Clear();
    Click(65, 65);
    EXPECT_EQ(Count(WM_LBUTTONDOWN, child), 1);
    const Logged* down = Last(WM_LBUTTONDOWN, child);
    EXPECT_EQ(down->lp, MAKELPARAM(5, 5));  // client coordinates
    EXPECT_EQ(down->wp, MK_LBUTTON);
    // A child answering HTTRANSPARENT sends the click to its parent; a whole window doing so
    // sends it to the window below.
    Answers()[{child, WM_NCHITTEST}] = HTTRANSPARENT;
    Clear();
    Click(65, 65);
    EXPECT_EQ(Count(WM_LBUTTONDOWN, front), 1);
    Answers()[{front, WM_NCHITTEST}] = HTTRANSPARENT;
    Clear();
    Click(65, 65);
    EXPECT_EQ(Count(WM_LBUTTONDOWN, back), 1);
    EXPECT_EQ(WindowFromPoint(POINT{65, 65}), back);
    EXPECT_EQ(WindowFromPoint(POINT{500, 500}), nullptr);
    // Layered and transparent windows are clicked through.
    Answers().clear();
    SetWindowLongPtrA(front, GWL_EXSTYLE, WS_EX_LAYERED | WS_EX_TRANSPARENT);
    EXPECT_EQ(WindowFromPoint(POINT{65, 65}), back);
}

TEST_F(UserTest, KeyStateIsAsOfTheMessageTakenWhileConvertingRunsAhead) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    Pump();
    QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{50, 50}, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{60, 60}, MouseButton::Left});
    MSG m{};
    // Looking for the release converts both; the press, taken first, still sees it down.
    ASSERT_TRUE(PeekMessageA(&m, w, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE));
    EXPECT_FALSE(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
    ASSERT_TRUE(PeekMessageA(&m, w, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_TRUE(GetKeyState(VK_LBUTTON) & 0x8000);
    Pump();
    EXPECT_FALSE(GetKeyState(VK_LBUTTON) & 0x8000);
}

TEST_F(UserTest, ClickActivationFollowsMouseActivateAnswers) {
    HWND a = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200);
    HWND b = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 0, 200, 200);
    Pump();
    EXPECT_EQ(GetActiveWindow(), b);
    Clear();
    Click(100, 100);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_THAT(
        Only({WM_SETCURSOR, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN}, a),
        ElementsAre(WM_SETCURSOR, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN, WM_SETCURSOR));
    EXPECT_EQ(LOWORD(Last(WM_ACTIVATE, a)->wp), WA_CLICKACTIVE);
    Answers()[{b, WM_MOUSEACTIVATE}] = MA_NOACTIVATE;
    Click(400, 100);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(Count(WM_LBUTTONDOWN, b), 1);
    Answers()[{b, WM_MOUSEACTIVATE}] = MA_ACTIVATEANDEAT;
    Clear();
    Click(400, 100);
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(Count(WM_LBUTTONDOWN, b), 0);  // eaten
    // WS_EX_NOACTIVATE windows take clicks without activation.
    HWND tip = Make(WS_POPUP | WS_VISIBLE, 600, 0, 50, 50, nullptr, WS_EX_NOACTIVATE);
    Click(610, 10);
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(Count(WM_LBUTTONDOWN, tip), 1);
    // A disabled window (the owner of a modal one) gets nothing.
    EnableWindow(a, FALSE);
    Clear();
    Click(100, 100);
    EXPECT_EQ(Count(WM_LBUTTONDOWN, a), 0);
    EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(UserTest, DoubleClicksNeedTheClassStyleInTheClientArea) {
    WNDCLASSEXA wc;
    wc.lpfnWndProc = &UserTest::CALLBACK_Proc;
    wc.lpszClassName = "NoDbl";
    RegisterClassExA(&wc);
    HWND plain = CreateWindowExA(0, "NoDbl", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND dbl = Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    Pump();
    Clear();
    Click(10, 10);
    Click(10, 10);
    Click(210, 10);
    clock_.Advance(100);
    Click(211, 11);
    EXPECT_EQ(Count(WM_LBUTTONDBLCLK, plain), 0);
    EXPECT_EQ(Count(WM_LBUTTONDOWN, plain), 2);
    EXPECT_EQ(Count(WM_LBUTTONDBLCLK, dbl), 1);
    // Too slow: two single clicks.
    Clear();
    clock_.Advance(1000);
    Click(210, 10);
    clock_.Advance(600);
    Click(210, 10);
    EXPECT_EQ(Count(WM_LBUTTONDBLCLK, dbl), 0);
}

TEST_F(UserTest, CaptureTakesTheMouseAndLeaveTrackingReportsOnce) {
    HWND a = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND b = Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    Pump();
    SetCapture(a);
    Clear();
    Move(250, 50);
    ASSERT_EQ(Count(WM_MOUSEMOVE, a), 1);
    EXPECT_EQ(Last(WM_MOUSEMOVE, a)->lp, MAKELPARAM(250, 50));
    EXPECT_EQ(Count(WM_MOUSEMOVE, b), 0);
    Clear();
    SetCapture(b);
    EXPECT_EQ(Count(WM_CAPTURECHANGED, a), 1);
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);

    Move(50, 50);
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = a;
    ASSERT_TRUE(TrackMouseEvent(&tme));
    Clear();
    Move(60, 60);
    EXPECT_EQ(Count(WM_MOUSELEAVE, a), 0);
    Move(250, 50);
    Move(260, 50);
    EXPECT_EQ(Count(WM_MOUSELEAVE, a), 1);
    // Tracking a window the pointer is not over reports the leave at once.
    tme.hwndTrack = a;
    TrackMouseEvent(&tme);
    Pump();
    EXPECT_EQ(Count(WM_MOUSELEAVE, a), 2);
}

TEST_F(UserTest, WheelGoesToTheFocusAndUpToItsParents) {
    HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top);
    SetFocus(child);
    Clear();
    QueueMouseEvent(MouseEvent{MouseEvent::Wheel, POINT{200, 200}, MouseButton::None, -120});
    Pump();
    ASSERT_EQ(Count(WM_MOUSEWHEEL, child), 1);
    EXPECT_EQ(int16_t(HIWORD(Last(WM_MOUSEWHEEL, child)->wp)), -120);
    EXPECT_EQ(Count(WM_MOUSEWHEEL, top), 1);
}

TEST_F(UserTest, RightClickBecomesContextMenu) {
    HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
    Pump();
    Clear();
    Click(30, 50, MouseButton::Right);
    ASSERT_EQ(Count(WM_CONTEXTMENU, child), 1);
    EXPECT_EQ(HWND(Last(WM_CONTEXTMENU, child)->wp), child);
    EXPECT_EQ(Last(WM_CONTEXTMENU, child)->lp, MAKELPARAM(30, 50));
    EXPECT_EQ(Count(WM_CONTEXTMENU, top), 1);  // passed up by the default procedure
}

TEST_F(UserTest, SetCursorAsksTheParentAndPicksShapesByHitCode) {
    HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300);
    Pump();
    Move(0, 150);
    EXPECT_EQ(StandardCursorId(GetCursor()), 32644);  // west-east arrows on the left edge
    Move(150, 150);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 100, 100, 50, 50, top);
    Answers()[{top, WM_SETCURSOR}] = TRUE;
    Clear();
    Move(120, 130);
    EXPECT_EQ(Count(WM_SETCURSOR, top), 1);
    EXPECT_EQ(HWND(Last(WM_SETCURSOR, top)->wp), child);
}

}  // namespace
}  // namespace win::testing
