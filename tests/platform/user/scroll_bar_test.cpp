// SCROLLINFO bookkeeping of the standard bars.
#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

TEST_F(UserTest, ScrollInfoKeepsThePositionInsideThePage) {
    HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL, 0, 0, 200, 200);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 95;
    EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, TRUE), 90);  // the last page starts at 90
    SCROLLINFO got;
    got.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(w, SB_VERT, &got));
    EXPECT_EQ(got.nMax, 99);
    EXPECT_EQ(got.nPage, 10u);
    EXPECT_EQ(got.nTrackPos, 90);
    EXPECT_EQ(SetScrollPos(w, SB_VERT, -5, FALSE), 90);
    EXPECT_EQ(GetScrollPos(w, SB_VERT), 0);
    // A page larger than the range is cut to it.
    si.fMask = SIF_PAGE;
    si.nPage = 1000;
    SetScrollInfo(w, SB_VERT, &si, FALSE);
    GetScrollInfo(w, SB_VERT, &got);
    EXPECT_EQ(got.nPage, 100u);
    // Hiding the bar gives its room back to the client area.
    RECT before, after;
    GetClientRect(w, &before);
    ShowScrollBar(w, SB_VERT, FALSE);
    GetClientRect(w, &after);
    EXPECT_EQ(after.right - before.right, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_TRUE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_BOTH));
    EXPECT_FALSE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_BOTH));
    HWND bare = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_FALSE(GetScrollInfo(bare, SB_HORZ, &got));
    EXPECT_EQ(GetLastError(), ERROR_NO_SCROLLBARS);
}

}  // namespace
}  // namespace win::testing
