// SetWindowPos, z-order rules, show states and activation.
#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

using ::testing::ElementsAre;

std::vector<HWND> TopLevels() {
    std::vector<HWND> out;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
        out.push_back(h);
    return out;
}

TEST_F(UserTest, ZOrderKeepsTopmostBandAndOwnedAboveOwners) {
    HWND a = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND b = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND owned = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, a);
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, WS_EX_TOPMOST);
    EXPECT_EQ(TopLevels(), (std::vector<HWND>{top, owned, b, a}));
    // Raising the owner brings what it owns along, and stays under the topmost window.
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(TopLevels(), (std::vector<HWND>{top, owned, a, b}));
    // An owned window put below its owner goes just above it.
    SetWindowPos(owned, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(TopLevels(), (std::vector<HWND>{top, owned, a, b}));
    SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(TopLevels(), (std::vector<HWND>{b, top, owned, a}));
    EXPECT_TRUE(GetWindowLongPtrA(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(b, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(TopLevels(), (std::vector<HWND>{top, b, owned, a}));
    // Insert after a topmost window: a plain window stays below the band.
    SetWindowPos(a, top, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(TopLevels(), (std::vector<HWND>{top, owned, a, b}));
    // Without owner order the owned window stays where it is.
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(TopLevels(), (std::vector<HWND>{top, b, owned, a}));
    SetWindowPos(a, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    EXPECT_EQ(TopLevels(), (std::vector<HWND>{top, b, a, owned}));
}

TEST_F(UserTest, SetWindowPosSendsChangingCalcSizeChangedAndTheChangingRecordCounts) {
    HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200);
    Pump();
    Clear();
    Handlers()[{w, WM_WINDOWPOSCHANGING}] = [](HWND h, WPARAM wp, LPARAM lp) -> LRESULT {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
        pos->x = 50;  // the receiver may change the record
        return DefWindowProcA(h, WM_WINDOWPOSCHANGING, wp, lp);
    };
    SetWindowPos(w, nullptr, 20, 30, 400, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_THAT(Only({WM_WINDOWPOSCHANGING, WM_GETMINMAXINFO, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED,
                      WM_MOVE, WM_SIZE}),
                ElementsAre(WM_WINDOWPOSCHANGING, WM_GETMINMAXINFO, WM_NCCALCSIZE,
                            WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE));
    RECT r;
    GetWindowRect(w, &r);
    // Moved where the handler said, and no lower than the minimum track height.
    EXPECT_EQ(r, (RECT{50, 30, 450, 30 + GetSystemMetrics(SM_CYMINTRACK)}));
    // Nothing changes: no WM_MOVE or WM_SIZE.
    Handlers().clear();
    Clear();
    SetWindowPos(w, nullptr, 50, 30, 400, 27, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Count(WM_MOVE) + Count(WM_SIZE) + Count(WM_NCCALCSIZE), 0);
    // SWP_FRAMECHANGED recomputes the client area.
    Clear();
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(Count(WM_NCCALCSIZE), 1);
}

TEST_F(UserTest, MinimiseMaximiseRestoreKeepTheNormalPlace) {
    HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    Handlers()[{w, WM_GETMINMAXINFO}] = [](HWND, WPARAM, LPARAM lp) -> LRESULT {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
        mmi->ptMaxPosition = POINT{-7, -7};
        mmi->ptMaxSize = POINT{600, 500};
        return 0;
    };
    Clear();
    ShowWindow(w, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(w));
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r, (RECT{-7, -7, 593, 493}));
    ASSERT_NE(Last(WM_SIZE, w), nullptr);
    EXPECT_EQ(Last(WM_SIZE, w)->wp, SIZE_MAXIMIZED);

    ShowWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(w));
    EXPECT_FALSE(IsZoomed(w));
    EXPECT_EQ(Last(WM_SIZE, w)->wp, SIZE_MINIMIZED);
    WINDOWPLACEMENT wp;
    GetWindowPlacement(w, &wp);
    EXPECT_EQ(wp.rcNormalPosition, (RECT{100, 100, 400, 300}));
    EXPECT_EQ(wp.flags, WPF_RESTORETOMAXIMIZED);

    ShowWindow(w, SW_RESTORE);  // back to maximised first
    EXPECT_TRUE(IsZoomed(w));
    ShowWindow(w, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(w));
    GetWindowRect(w, &r);
    EXPECT_EQ(r, (RECT{100, 100, 400, 300}));
    EXPECT_EQ(Last(WM_SIZE, w)->wp, SIZE_RESTORED);
    EXPECT_EQ(GetWindowLongPtrA(w, GWL_STYLE) & (WS_MINIMIZE | WS_MAXIMIZE), 0);
}

TEST_F(UserTest, ShowingActivatesUnlessAskedNotTo) {
    HWND a = Make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    HWND b = Make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    HWND na = Make(WS_POPUP, 0, 0, 100, 100, nullptr, WS_EX_NOACTIVATE);
    Clear();
    ShowWindow(a, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_THAT(Only({WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP, WM_NCACTIVATE,
                      WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED},
                     a),
                ElementsAre(WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP, WM_NCACTIVATE,
                            WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED));
    ShowWindow(b, SW_SHOWNOACTIVATE);
    EXPECT_EQ(GetActiveWindow(), a);
    ShowWindow(na, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), a);
    Clear();
    SetActiveWindow(b);
    EXPECT_THAT(Only({WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}),
                ElementsAre(WM_NCACTIVATE, WM_ACTIVATE, WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS,
                            WM_SETFOCUS));
    EXPECT_EQ(Log().front().hwnd, a);
    EXPECT_EQ(GetFocus(), b);
    // Hiding the active window activates the next one.
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), a);
    DestroyWindow(a);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(UserTest, CbtHookCanRefuseActivation) {
    HWND a = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100);
    static HWND refused;
    refused = Make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    HHOOK h = SetWindowsHookExA(
        WH_CBT,
        [](int code, WPARAM wp, LPARAM) -> LRESULT {
            return code == HCBT_ACTIVATE && HWND(wp) == refused;
        },
        nullptr, 0);
    ShowWindow(refused, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), a);
    UnhookWindowsHookEx(h);
}

TEST_F(UserTest, FocusMovesOutOfDestroyedAndDisabledChildren) {
    HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200);
    HWND edit = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, top);
    SetFocus(edit);
    EXPECT_EQ(GetFocus(), edit);
    EnableWindow(edit, FALSE);
    EXPECT_EQ(GetFocus(), top);
    EXPECT_EQ(SetFocus(edit), nullptr);     // a disabled window takes no focus
    EXPECT_TRUE(EnableWindow(edit, TRUE));  // it was disabled
    SetFocus(edit);
    Clear();
    DestroyWindow(edit);
    EXPECT_EQ(GetFocus(), top);
    EXPECT_EQ(Count(WM_KILLFOCUS, edit), 1);
}

TEST_F(UserTest, CoordinatesMapThroughTheTree) {
    HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 300, 200);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 20, 50, 50, top);
    RECT wr, cr;
    GetWindowRect(top, &wr);
    GetClientRect(top, &cr);
    int fx = GetSystemMetrics(SM_CXFRAME);
    int cap = GetSystemMetrics(SM_CYCAPTION);
    POINT p{0, 0};
    ClientToScreen(child, &p);
    EXPECT_EQ(p, (POINT{100 + fx + 10, 50 + fx + cap + 20}));
    ScreenToClient(top, &p);
    EXPECT_EQ(p, (POINT{10, 20}));
    POINT pts[2] = {{0, 0}, {5, 5}};
    int shift = MapWindowPoints(child, top, pts, 2);
    EXPECT_EQ(pts[1], (POINT{15, 25}));
    EXPECT_EQ(LOWORD(uintptr_t(shift)), 10);
    EXPECT_EQ(cr, (RECT{0, 0, 300 - 2 * fx, 200 - 2 * fx - cap}));
    // AdjustWindowRectEx is the inverse of the default layout.
    RECT adj = cr;
    AdjustWindowRectEx(&adj, WS_OVERLAPPEDWINDOW, FALSE, 0);
    EXPECT_EQ(adj.right - adj.left, 300);
    EXPECT_EQ(adj.bottom - adj.top, 200);
}

}  // namespace
}  // namespace win::testing
