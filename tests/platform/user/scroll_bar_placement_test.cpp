// Standard bars beside the client area a window's own WM_NCCALCSIZE gave, and GetScrollBarInfo.
#include <algorithm>

#include "platform/gdi/sys_colors.h"
#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

// A 200 x 200 bordered pop-up at (100, 100) with both bars, whose WM_NCCALCSIZE moves the
// client area's edges by `inset` after the default (a positive value shrinks it); a negative
// one makes the whole window client area.
class PlacementTest : public UserTest {
protected:
    HWND MakeInset(int inset, DWORD ex) {
        HWND h = Make(WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL, 100, 100, 200,
                      200, nullptr, ex);
        Handlers()[{h, WM_NCCALCSIZE}] = [inset](HWND w, WPARAM wp, LPARAM lp) -> LRESULT {
            RECT* c = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0]
                         : reinterpret_cast<RECT*>(lp);
            RECT whole = *c;
            LRESULT r = DefWindowProcA(w, WM_NCCALCSIZE, wp, lp);
            if (inset < 0) *c = whole;
            InflateRect(c, -std::max(inset, 0), -std::max(inset, 0));
            return r;
        };
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMax = 99;
        si.nPage = 10;
        SetScrollInfo(h, SB_VERT, &si, FALSE);
        SetScrollInfo(h, SB_HORZ, &si, FALSE);
        SetWindowPos(h, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        return h;
    }
    static LRESULT Hit(HWND h, int x, int y) {
        return SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(x, y));
    }
};

TEST_F(PlacementTest, BarsStandBesideTheClientAreaTheWindowHolds) {
    const int b = GetSystemMetrics(SM_CXBORDER);
    const int v = GetSystemMetrics(SM_CXVSCROLL), hh = GetSystemMetrics(SM_CYHSCROLL);
    for (DWORD ex : {DWORD(0), DWORD(WS_EX_LEFTSCROLLBAR)}) {
        SCOPED_TRACE(ex);
        const bool left = ex != 0;
        // Shrunk by 6: the bars follow the client area inward; where the styles alone would
        // put them there is frame now.
        HWND h = MakeInset(6, ex);
        RECT c;
        GetClientRect(h, &c);
        POINT o{0, 0};
        ClientToScreen(h, &o);
        int barX = left ? o.x - v / 2 : o.x + c.right + v / 2;
        EXPECT_EQ(Hit(h, barX, o.y + 40), HTVSCROLL);
        EXPECT_EQ(Hit(h, o.x + 40, o.y + c.bottom + hh / 2), HTHSCROLL);
        int styleBarX = left ? 100 + b + 2 : 300 - b - 2;
        EXPECT_EQ(Hit(h, styleBarX, o.y + 40), HTBORDER);
        EXPECT_EQ(Hit(h, o.x + 40, 300 - b - 2), HTBORDER);
        EXPECT_EQ(Hit(h, left ? o.x : o.x + c.right - 1, o.y + 40), HTCLIENT);
        int boxX = left ? o.x - v / 2 : o.x + c.right + v / 2;
        EXPECT_EQ(Hit(h, boxX, o.y + c.bottom + hh / 2), HTBORDER);  // not sizable
        // Classic painting follows: the second arrow's dark outer edge lies where the bar is,
        // and none where the styles would have put it.
        int arrowEdgeX = left ? o.x - 1 - 1 : o.x + c.right + v - 1 - 0;
        EXPECT_EQ(ScreenPixel(arrowEdgeX, o.y + c.bottom - 1), GetSysColor(COLOR_3DDKSHADOW));
        EXPECT_NE(ScreenPixel(styleBarX, o.y + c.bottom - 1), GetSysColor(COLOR_3DDKSHADOW));
        SCROLLBARINFO info;
        ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &info));
        EXPECT_EQ(info.rcScrollBar.left, left ? o.x - v : o.x + c.right);
        EXPECT_EQ(info.rcScrollBar.top, o.y);
        EXPECT_EQ(info.rcScrollBar.bottom, o.y + c.bottom);
        DestroyWindow(h);

        // Grown over the whole window: no bar fits, so none is hit or painted.
        h = MakeInset(-1, ex);
        GetClientRect(h, &c);
        EXPECT_EQ(c.right, 200);
        EXPECT_EQ(Hit(h, styleBarX, 200), HTCLIENT);
        EXPECT_EQ(Hit(h, 200, 300 - b - 2), HTCLIENT);
        ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &info));
        EXPECT_TRUE(info.rgstate[0] & STATE_SYSTEM_INVISIBLE);
        EXPECT_NE(ScreenPixel(300 - b - 1, 300 - b - 1), GetSysColor(COLOR_3DDKSHADOW));
        DestroyWindow(h);
    }
}

TEST_F(PlacementTest, ScrollBarInfoTellsShownHiddenDisabledAndPressedBars) {
    HWND h = MakeInset(0, 0);
    SCROLLBARINFO info;
    info.cbSize = 52;
    EXPECT_FALSE(GetScrollBarInfo(h, OBJID_VSCROLL, &info));
    info.cbSize = sizeof(info);
    EXPECT_FALSE(GetScrollBarInfo(h, OBJID_CLIENT, &info));  // not a "ScrollBar" control
    ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &info));
    const int v = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(info.dxyLineButton, v);
    EXPECT_EQ(info.xyThumbTop, v);  // at position 0 the thumb follows the first arrow
    EXPECT_GT(info.xyThumbBottom, info.xyThumbTop);
    for (DWORD s : info.rgstate) EXPECT_EQ(s, 0u);

    EnableScrollBar(h, SB_VERT, ESB_DISABLE_UP);
    GetScrollBarInfo(h, OBJID_VSCROLL, &info);
    EXPECT_EQ(info.rgstate[0], 0u);
    EXPECT_EQ(info.rgstate[1], STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(info.rgstate[5], 0u);
    EnableScrollBar(h, SB_VERT, ESB_ENABLE_BOTH);

    // Kept with SIF_DISABLENOSCROLL over a range the page covers: shown, but unavailable.
    SCROLLINFO si;
    si.fMask = SIF_PAGE | SIF_DISABLENOSCROLL;
    si.nPage = 100;
    SetScrollInfo(h, SB_HORZ, &si, FALSE);
    GetScrollBarInfo(h, OBJID_HSCROLL, &info);
    EXPECT_EQ(info.rgstate[0], DWORD(STATE_SYSTEM_UNAVAILABLE));
    EXPECT_EQ(info.rgstate[1] & info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE, 1u);
    EnableWindow(h, FALSE);
    GetScrollBarInfo(h, OBJID_VSCROLL, &info);
    EXPECT_TRUE(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
    EnableWindow(h, TRUE);
    ShowScrollBar(h, SB_HORZ, FALSE);
    GetScrollBarInfo(h, OBJID_HSCROLL, &info);
    EXPECT_TRUE(info.rgstate[0] & STATE_SYSTEM_INVISIBLE);

    // Held down: the second arrow reports itself pressed while the press lasts.
    GetScrollBarInfo(h, OBJID_VSCROLL, &info);
    POINT arrow{(info.rcScrollBar.left + info.rcScrollBar.right) / 2,
                info.rcScrollBar.bottom - v / 2};
    static DWORD during;
    during = 0;
    script_.At(100, [h] {
        SCROLLBARINFO i;
        GetScrollBarInfo(h, OBJID_VSCROLL, &i);
        during = i.rgstate[5];
    });
    script_.At(200, [arrow] {
        QueueMouseEvent(MouseEvent{MouseEvent::Up, arrow, MouseButton::Left});
    });
    QueueMouseEvent(MouseEvent{MouseEvent::Down, arrow, MouseButton::Left});
    Pump();
    EXPECT_EQ(during, STATE_SYSTEM_PRESSED);
    GetScrollBarInfo(h, OBJID_VSCROLL, &info);
    EXPECT_EQ(info.rgstate[5], 0u);
}

}  // namespace
}  // namespace win::testing
