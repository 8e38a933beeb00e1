// SCROLLINFO bookkeeping of the standard bars.
#include <algorithm>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/sys_colors.h"
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
    // A page larger than the range is cut to it; the bar, asked to stay, is disabled.
    si.fMask = SIF_PAGE | SIF_DISABLENOSCROLL;
    si.nPage = 1000;
    SetScrollInfo(w, SB_VERT, &si, FALSE);
    GetScrollInfo(w, SB_VERT, &got);
    EXPECT_EQ(got.nPage, 100u);
    EXPECT_FALSE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_BOTH));  // already
    // Hiding the bar gives its room back to the client area.
    RECT before, after;
    GetClientRect(w, &before);
    ShowScrollBar(w, SB_VERT, FALSE);
    GetClientRect(w, &after);
    EXPECT_EQ(after.right - before.right, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_TRUE(EnableScrollBar(w, SB_VERT, ESB_ENABLE_BOTH));
    EXPECT_FALSE(EnableScrollBar(w, SB_VERT, ESB_ENABLE_BOTH));
    HWND bare = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_FALSE(GetScrollInfo(bare, SB_HORZ, &got));
    EXPECT_EQ(GetLastError(), ERROR_NO_SCROLLBARS);
}

}  // namespace
}  // namespace win::testing

namespace win::testing {
namespace {

// A 200 x 200 pop-up at (100, 100) with both bars; its vertical bar runs from y 100 to 284 at
// x 284..300: arrows 16 high, a track of 152 and, for 0..99 with a page of 10, a thumb of 15.
// Its procedure scrolls as applications do: lines by 1, pages by the page, the thumb to where
// it was let go.
class ScrollTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        w_ = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 100, 100, 200, 200);
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMax = 99;
        si.nPage = 10;
        SetScrollInfo(w_, SB_VERT, &si, TRUE);
        Handlers()[{w_, WM_VSCROLL}] = [](HWND h, WPARAM wp, LPARAM) -> LRESULT {
            int pos = GetScrollPos(h, SB_VERT);
            switch (LOWORD(wp)) {
                case SB_LINEUP:
                    --pos;
                    break;
                case SB_LINEDOWN:
                    ++pos;
                    break;
                case SB_PAGEUP:
                    pos -= 10;
                    break;
                case SB_PAGEDOWN:
                    pos += 10;
                    break;
                case SB_THUMBPOSITION:
                    pos = HIWORD(wp);
                    break;
                default:
                    return 0;
            }
            SetScrollPos(h, SB_VERT, pos, TRUE);
            return 0;
        };
        Pump();
        Clear();
    }
    std::vector<WORD> Codes() const {
        std::vector<WORD> out;
        for (const Logged& l : Log())
            if (l.msg == WM_VSCROLL) out.push_back(LOWORD(l.wp));
        return out;
    }
    void Queue(MouseEvent::Kind kind, int x, int y) {
        QueueMouseEvent(MouseEvent{
            kind, POINT{x, y}, kind == MouseEvent::Move ? MouseButton::None : MouseButton::Left});
    }
    HWND w_ = nullptr;
};

TEST_F(ScrollTest, AnArrowHeldDownRepeatsWhileTheCursorStaysOnIt) {
    Queue(MouseEvent::Down, 290, 275);
    script_.At(1000, [this] { Queue(MouseEvent::Up, 290, 275); });
    Pump();
    // Once at the press, then at 300 ms and every 55 ms up to the release at 1000 ms.
    std::vector<WORD> codes = Codes();
    ASSERT_EQ(codes.size(), 15u);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), SB_LINEDOWN), 14);
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    EXPECT_EQ(GetScrollPos(w_, SB_VERT), 14);
    EXPECT_EQ(GetCapture(), nullptr);
    // Off the arrow from 400 to 700 ms: no repeats meanwhile.
    Clear();
    clock_.Advance(1000);
    Queue(MouseEvent::Down, 290, 105);
    script_.At(400, [this] { Queue(MouseEvent::Move, 200, 150); });
    script_.At(700, [this] { Queue(MouseEvent::Move, 290, 105); });
    script_.At(1000, [this] { Queue(MouseEvent::Up, 290, 105); });
    Pump();
    codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), SB_LINEUP), 8);
    EXPECT_EQ(GetScrollPos(w_, SB_VERT), 6);
}

TEST_F(ScrollTest, APageClickRepeatsUntilTheThumbReachesTheCursor) {
    static COLORREF pressedLook;
    Handlers()[{w_, WM_VSCROLL}] = [old = Handlers()[{w_, WM_VSCROLL}]](HWND h, WPARAM wp,
                                                                        LPARAM lp) -> LRESULT {
        if (LOWORD(wp) == SB_PAGEDOWN && GetScrollPos(h, SB_VERT) == 0)
            pressedLook = ScreenPixel(290, 250);
        return old(h, wp, lp);
    };
    Queue(MouseEvent::Down, 290, 250);
    script_.At(3000, [this] { Queue(MouseEvent::Up, 290, 250); });
    Pump();
    std::vector<WORD> codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), SB_PAGEDOWN), 8);
    EXPECT_EQ(GetScrollPos(w_, SB_VERT), 80);  // its thumb covers y 237..252
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    EXPECT_EQ(pressedLook, GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(ScreenPixel(290, 200), GetSysColor(COLOR_SCROLLBAR));
}

TEST_F(ScrollTest, DraggingTheThumbTracksAndDropsThePosition) {
    static std::vector<int> trackPos;
    trackPos.clear();
    auto app = Handlers()[{w_, WM_VSCROLL}];
    Handlers()[{w_, WM_VSCROLL}] = [app](HWND h, WPARAM wp, LPARAM lp) -> LRESULT {
        if (LOWORD(wp) == SB_THUMBTRACK) {
            SCROLLINFO si;
            si.fMask = SIF_TRACKPOS | SIF_POS;
            GetScrollInfo(h, SB_VERT, &si);
            EXPECT_EQ(si.nTrackPos, HIWORD(wp));
            EXPECT_EQ(si.nPos, 0);  // the receiver moves the position itself
            trackPos.push_back(si.nTrackPos);
        }
        return app(h, wp, lp);
    };
    Queue(MouseEvent::Down, 290, 120);  // 4 pixels into the thumb
    Queue(MouseEvent::Move, 290, 188);  // 68 of 137 pixels of room
    Queue(MouseEvent::Move, 290, 188);  // no change, no message
    Queue(MouseEvent::Move, 290, 600);  // far below: clamped to the end
    Queue(MouseEvent::Up, 290, 600);
    Pump();
    EXPECT_THAT(trackPos, ::testing::ElementsAre(45, 90));
    EXPECT_THAT(Codes(), ::testing::ElementsAre(SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION,
                                                SB_ENDSCROLL));
    EXPECT_EQ(HIWORD(Last(WM_VSCROLL, w_)->wp), 0);
    EXPECT_EQ(GetScrollPos(w_, SB_VERT), 90);
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(w_, SB_VERT, &si);
    EXPECT_EQ(si.nTrackPos, 90);
}

TEST_F(ScrollTest, DisabledArrowsAndBarsTakeNoPress) {
    EXPECT_TRUE(EnableScrollBar(w_, SB_VERT, ESB_DISABLE_DOWN));
    Click(290, 275);
    EXPECT_TRUE(Codes().empty());
    clock_.Advance(1000);
    SetScrollPos(w_, SB_VERT, 5, FALSE);
    Click(290, 105);
    EXPECT_THAT(Codes(), ::testing::ElementsAre(SB_LINEUP, SB_ENDSCROLL));
    Clear();
    EnableScrollBar(w_, SB_VERT, ESB_DISABLE_BOTH);
    clock_.Advance(1000);
    Click(290, 105);
    Click(290, 200);
    EXPECT_TRUE(Codes().empty());
    // A horizontal bar tells WM_HSCROLL; its default range 0..100 scrolls.
    clock_.Advance(1000);
    Click(290 - 16 - 5, 290);
    ASSERT_EQ(Count(WM_HSCROLL, w_), 2);
    EXPECT_EQ(LOWORD(Last(WM_HSCROLL, w_)->wp), SB_ENDSCROLL);
}

TEST_F(ScrollTest, TheLeftScrollBarStyleMovesTheBar) {
    HWND left =
        Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, 400, 100, 100, 100, nullptr, WS_EX_LEFTSCROLLBAR);
    Pump();
    EXPECT_EQ(SendMessageA(left, WM_NCHITTEST, 0, MAKELPARAM(405, 150)), HTVSCROLL);
    EXPECT_EQ(SendMessageA(left, WM_NCHITTEST, 0, MAKELPARAM(495, 150)), HTCLIENT);
    Clear();
    Click(405, 195);
    EXPECT_EQ(LOWORD(Last(WM_VSCROLL, left)->wp), SB_ENDSCROLL);
    EXPECT_EQ(Count(WM_VSCROLL, left), 2);
}

TEST_F(ScrollTest, StandardBarsComeAndGoWithTheRange) {
    HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    RECT full, narrow;
    GetClientRect(h, &full);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 99;
    si.nPage = 50;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(h, &narrow);
    EXPECT_EQ(full.right - narrow.right, GetSystemMetrics(SM_CXVSCROLL));
    si.nPage = 100;  // everything fits
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_FALSE(GetWindowLongPtrA(h, GWL_STYLE) & WS_VSCROLL);
    SetScrollRange(h, SB_HORZ, 0, 10, TRUE);
    EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & WS_HSCROLL);
    SetScrollRange(h, SB_HORZ, 0, 0, TRUE);
    EXPECT_FALSE(GetWindowLongPtrA(h, GWL_STYLE) & WS_HSCROLL);
    // Asked to stay, the bar is disabled, and enabled again once there is something to scroll.
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    si.nMax = 9;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(EnableScrollBar(h, SB_VERT, ESB_DISABLE_BOTH));
    si.nMax = 999;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_TRUE(EnableScrollBar(h, SB_VERT, ESB_DISABLE_BOTH));
    EXPECT_FALSE(EnableScrollBar(h, SB_VERT, 7));
}

// --- the "ScrollBar" control ---

std::vector<UINT>& SeenBySubclass() {
    static std::vector<UINT> seen;
    return seen;
}
WNDPROC original = nullptr;
LRESULT Subclass(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m >= SBM_SETPOS && m <= SBM_GETSCROLLINFO) SeenBySubclass().push_back(m);
    return CallWindowProcA(original, h, m, wp, lp);
}

TEST_F(ScrollTest, TheControlTellsItsParentAndAnswersItsMessages) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE, 500, 100, 200, 300);
    HWND bar = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_VERT,
                               10, 10, 16, 200, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(bar, nullptr);
    char cls[16];
    GetClassNameA(bar, cls, sizeof cls);
    EXPECT_STREQ(cls, "ScrollBar");
    SeenBySubclass().clear();
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bar, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = 49;
    si.nPage = 5;
    si.nPos = 60;
    EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &si, TRUE), 45);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 45);
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 3, TRUE), 45);
    int lo = -1, hi = -1;
    EXPECT_TRUE(GetScrollRange(bar, SB_CTL, &lo, &hi));
    EXPECT_EQ(hi, 49);
    EXPECT_THAT(SeenBySubclass(),
                ::testing::ElementsAre(SBM_SETSCROLLINFO, SBM_GETPOS, SBM_SETPOS, SBM_GETRANGE));
    // A control never becomes a standard bar of another window.
    EXPECT_FALSE(GetScrollInfo(parent, SB_CTL, &si));
    // A click on its lower arrow: the parent hears it, with the control's handle.
    Pump();
    Clear();
    Click(515, 305);
    ASSERT_EQ(Count(WM_VSCROLL, parent), 2);
    EXPECT_EQ(Last(WM_VSCROLL, parent)->lp, reinterpret_cast<LPARAM>(bar));
    const Logged* first = nullptr;
    for (const Logged& l : Log())
        if (l.msg == WM_VSCROLL && !first) first = &l;
    EXPECT_EQ(LOWORD(first->wp), SB_LINEDOWN);
    EXPECT_EQ(GetFocus(), bar);
    // Home and End give SB_TOP and SB_BOTTOM, each key ending with SB_ENDSCROLL.
    Clear();
    Tap(VK_END);
    Tap(VK_HOME);
    std::vector<WORD> codes;
    for (const Logged& l : Log())
        if (l.msg == WM_VSCROLL) codes.push_back(LOWORD(l.wp));
    EXPECT_THAT(codes, ::testing::ElementsAre(SB_BOTTOM, SB_ENDSCROLL, SB_TOP, SB_ENDSCROLL));
    EXPECT_EQ(SendMessageA(bar, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    EXPECT_TRUE(EnableScrollBar(bar, SB_CTL, ESB_DISABLE_BOTH));
    Clear();
    clock_.Advance(1000);
    Click(515, 305);
    EXPECT_EQ(Count(WM_VSCROLL, parent), 0);
}

TEST_F(ScrollTest, ASizeGripSizesItsTopLevelWindow) {
    HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 300, 200);
    RECT c;
    GetClientRect(top, &c);
    HWND grip =
        CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, c.right - 16,
                        c.bottom - 16, 16, 16, top, nullptr, nullptr, nullptr);
    Pump();
    POINT p{c.right - 8, c.bottom - 8};
    ClientToScreen(top, &p);
    QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
    QueueMouseEvent(MouseEvent{MouseEvent::Down, p, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{p.x + 40, p.y + 30}});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{p.x + 40, p.y + 30}, MouseButton::Left});
    Pump();
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r, (RECT{400, 300, 740, 530}));
    EXPECT_EQ(Last(WM_SYSCOMMAND, top)->wp, SC_SIZE + WMSZ_BOTTOMRIGHT);
    EXPECT_EQ(StandardCursorId(GetCursor()), 32642);  // the diagonal size arrows
    (void)grip;
}

}  // namespace
}  // namespace win::testing

#include "platform/user/scroll_bar_draw.h"

namespace win::testing {
namespace {

using detail::LayoutScrollBar;
using detail::ScrollBar;
using detail::ScrollBarPartAt;
using detail::ScrollPosForThumb;

ScrollBar Bar(int min, int max, UINT page, int pos) {
    ScrollBar b;
    b.min = min;
    b.max = max;
    b.page = page;
    b.pos = pos;
    return b;
}

TEST(ScrollGeometry, ThumbSizeFollowsThePageWithinItsLimits) {
    RECT bar{0, 0, 16, 216};  // a track of 184 between two 16-pixel arrows
    auto l = LayoutScrollBar(bar, true, Bar(0, 99, 50, 0));
    EXPECT_EQ(l.first, (RECT{0, 0, 16, 16}));
    EXPECT_EQ(l.second, (RECT{0, 200, 16, 216}));
    EXPECT_EQ(l.thumbLength, 92);
    EXPECT_EQ(LayoutScrollBar(bar, true, Bar(0, 99, 0, 0)).thumbLength,
              GetSystemMetrics(SM_CYVTHUMB));
    EXPECT_EQ(LayoutScrollBar(bar, true, Bar(0, 1000000, 1, 0)).thumbLength, detail::kMinThumb);
    // Nothing to scroll, or disabled: no thumb, and the track is no part.
    EXPECT_EQ(LayoutScrollBar(bar, true, Bar(0, 99, 100, 0)).thumbLength, 0);
    ScrollBar off = Bar(0, 99, 10, 0);
    off.disabled = ESB_DISABLE_BOTH;
    auto none = LayoutScrollBar(bar, true, off);
    EXPECT_EQ(none.thumbLength, 0);
    EXPECT_EQ(ScrollBarPartAt(none, POINT{8, 100}), detail::kNoPart);
    // Shorter than two arrows: each takes half, no thumb.
    auto tiny = LayoutScrollBar(RECT{0, 0, 16, 20}, true, Bar(0, 99, 10, 0));
    EXPECT_EQ(tiny.first.bottom, 10);
    EXPECT_EQ(tiny.second.top, 10);
    EXPECT_EQ(tiny.thumbLength, 0);
    // Horizontal bars run along x; a point beside the bar is no part.
    auto h = LayoutScrollBar(RECT{10, 0, 210, 16}, false, Bar(0, 9, 5, 5));
    EXPECT_EQ(h.thumb.right, 194);  // at the end of its track
    EXPECT_EQ(ScrollBarPartAt(h, POINT{12, 8}), detail::kFirstArrow);
    EXPECT_EQ(ScrollBarPartAt(h, POINT{100, 8}), detail::kPageBefore);
    EXPECT_EQ(ScrollBarPartAt(h, POINT{150, 8}), detail::kThumb);
    EXPECT_EQ(ScrollBarPartAt(h, POINT{150, 20}), detail::kNoPart);
}

TEST(ScrollGeometry, EveryPositionSurvivesTheWayToThePixelAndBack) {
    for (UINT page : {0u, 1u, 7u, 30u}) {
        for (int max : {3, 40, 99, 1000}) {
            RECT bar{0, 0, 16, 200};
            for (int pos = -2; pos <= max + 2; ++pos) {
                ScrollBar b = Bar(-2, max, page, pos);
                detail::ClampScrollBar(b);
                auto l = LayoutScrollBar(bar, true, b);
                if (l.thumbLength == 0) continue;
                int start = l.thumb.top;
                int back = ScrollPosForThumb(l, b, start);
                // Where pixels are fewer than positions, a pixel stands for the nearest one.
                auto lb = LayoutScrollBar(bar, true, Bar(-2, max, page, back));
                EXPECT_EQ(lb.thumb.top, start) << page << " " << max << " " << pos;
                if (l.trackEnd - l.trackStart - l.thumbLength >= max + 3) {
                    EXPECT_EQ(back, b.pos) << page << " " << max << " " << pos;
                }
            }
        }
    }
}

}  // namespace
}  // namespace win::testing
