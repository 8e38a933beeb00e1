// Invalidation, RedrawWindow flags, WM_SETREDRAW and the paint order.
#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

using ::testing::ElementsAre;

class PaintTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300);
        child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
        Pump();
        Clear();
    }
    HWND top = nullptr, child = nullptr;
};

TEST_F(PaintTest, ShowingPaintsAndPaintedWindowsAreValid) {
    HWND w = Make(WS_POPUP, 400, 0, 50, 50);
    Pump();
    EXPECT_EQ(Count(WM_PAINT, w), 0);  // hidden windows do not paint
    ShowWindow(w, SW_SHOWNA);
    Pump();
    EXPECT_EQ(Count(WM_PAINT, w), 1);
    Pump();
    EXPECT_EQ(Count(WM_PAINT, w), 1);
    RECT r;
    EXPECT_FALSE(GetUpdateRect(w, &r, FALSE));
}

TEST_F(PaintTest, InvalidateAndValidate) {
    RECT part{5, 5, 20, 20};
    InvalidateRect(top, &part, TRUE);
    RECT u;
    ASSERT_TRUE(GetUpdateRect(top, &u, FALSE));
    EXPECT_EQ(u, part);
    ValidateRect(top, nullptr);
    EXPECT_FALSE(GetUpdateRect(top, &u, FALSE));
    // A band off the edge shrinks the rectangle; a hole in the middle keeps it.
    InvalidateRect(top, nullptr, FALSE);
    RECT band{0, 0, 1000, 10};
    ValidateRect(top, &band);
    GetUpdateRect(top, &u, FALSE);
    EXPECT_EQ(u.top, 10);
    RECT hole{50, 50, 60, 60};
    ValidateRect(top, &hole);
    RECT again;
    GetUpdateRect(top, &again, FALSE);
    EXPECT_EQ(again, u);
    Pump();
    EXPECT_EQ(Count(WM_PAINT, top), 1);
    EXPECT_FALSE(InvalidateRect(reinterpret_cast<HWND>(uintptr_t(0x5)), nullptr, TRUE));
}

TEST_F(PaintTest, RedrawWindowFlagCombinations) {
    // 0x401: invalidate with the frame; erase needs RDW_ERASE.
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW);
    // The frame is painted from inside the paint, as BeginPaint does.
    EXPECT_THAT(Only({WM_NCPAINT, WM_PAINT}, top), ElementsAre(WM_PAINT, WM_NCPAINT));
    EXPECT_EQ(Count(WM_PAINT, child), 1);  // a parent without WS_CLIPCHILDREN includes them
    Clear();
    // Without INVALIDATE, FRAME and ERASE do nothing (0x506 = ERASE|UPDATENOW|FRAME).
    RedrawWindow(top, nullptr, nullptr, RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    EXPECT_TRUE(Messages().empty());
    // 0x581 paints the children too, at once.
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(Count(WM_PAINT, top), 1);
    EXPECT_EQ(Count(WM_PAINT, child), 1);
    Clear();
    // Without ALLCHILDREN a WS_CLIPCHILDREN parent leaves its children alone.
    SetWindowLongPtrA(top, GWL_STYLE, GetWindowLongPtrA(top, GWL_STYLE) | WS_CLIPCHILDREN);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(Count(WM_PAINT, child), 0);
    // 0xB1: invalidate, no internal paint, no erase, all children; then validate with 0x08.
    RedrawWindow(top, nullptr, nullptr, 0xB1);
    RECT u;
    EXPECT_TRUE(GetUpdateRect(child, &u, FALSE));
    RedrawWindow(top, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
    EXPECT_FALSE(GetUpdateRect(child, &u, FALSE));
    // Internal paint gives WM_PAINT without an update region; NOINTERNALPAINT takes it back.
    RedrawWindow(child, nullptr, nullptr, RDW_INTERNALPAINT);
    RedrawWindow(child, nullptr, nullptr, RDW_NOINTERNALPAINT);
    Clear();
    Pump();
    EXPECT_EQ(Count(WM_PAINT), 0);
    RedrawWindow(child, nullptr, nullptr, RDW_INTERNALPAINT);
    Pump();
    EXPECT_EQ(Count(WM_PAINT, child), 1);
    EXPECT_FALSE(RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_VALIDATE));
    // "No erase" and "no frame" beside INVALIDATE add neither, yet keep what a resize left
    // pending: the area it uncovered is still erased.
    InvalidateRect(top, nullptr, TRUE);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_NOFRAME);
    Clear();
    Pump();
    EXPECT_EQ(Count(WM_ERASEBKGND, top), 1);
}

TEST_F(PaintTest, SetRedrawFalseStopsPaintingUntilAllowed) {
    SendMessageA(top, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(top, nullptr, TRUE);
    InvalidateRect(child, nullptr, TRUE);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SetWindowPos(top, nullptr, 0, 0, 320, 320, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(Count(WM_PAINT), 0);
    EXPECT_EQ(Count(WM_NCPAINT), 0);
    EXPECT_TRUE(IsWindowVisible(top));
    // Allowing it again repaints nothing by itself.
    SendMessageA(top, WM_SETREDRAW, TRUE, 0);
    Pump();
    EXPECT_EQ(Count(WM_PAINT), 0);
    RedrawWindow(top, nullptr, nullptr, 0x585);
    EXPECT_EQ(Count(WM_PAINT, child), 1);
}

TEST_F(PaintTest, MovingAChildRepaintsWhereItWas) {
    SetWindowPos(child, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT u;
    ASSERT_TRUE(GetUpdateRect(top, &u, FALSE));
    EXPECT_EQ(u, (RECT{10, 10, 60, 60}));
    Pump();
    EXPECT_EQ(Count(WM_PAINT, top), 1);
    EXPECT_EQ(Count(WM_PAINT, child), 0);  // its pixels only moved
    // SWP_NOREDRAW leaves everything as it is.
    Clear();
    SetWindowPos(child, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
    EXPECT_FALSE(GetUpdateRect(top, &u, FALSE));
}

TEST_F(PaintTest, AProcedureThatIgnoresPaintDoesNotStarveTimers) {
    Answers()[{top, WM_PAINT}] = 0;
    SetTimer(top, 1, 10, nullptr);
    InvalidateRect(top, nullptr, FALSE);
    clock_.Advance(10);
    Pump();
    EXPECT_EQ(Count(WM_PAINT, top), 1);
    EXPECT_EQ(Count(WM_TIMER, top), 1);
}

// A new frame repaints the client and the children only when the client area moved or changed
// size; a frame that leaves it as it was (a menu bar redrawn) repaints the frame alone.
TEST_F(PaintTest, FrameChangeRepaintsTheClientOnlyWhenItMoved) {
    const UINT frameOnly = SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(top, nullptr, 0, 0, 0, 0, frameOnly);
    Pump();
    EXPECT_EQ(Count(WM_NCPAINT, top), 1);
    EXPECT_EQ(Count(WM_PAINT, child), 0);

    Handlers()[{top, WM_NCCALCSIZE}] = [](HWND h, WPARAM wp, LPARAM lp) -> LRESULT {
        const LRESULT r = DefWindowProcA(h, WM_NCCALCSIZE, wp, lp);
        reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0].top += 20;  // a second menu row
        return r;
    };
    Clear();
    SetWindowPos(top, nullptr, 0, 0, 0, 0, frameOnly);
    Pump();
    EXPECT_EQ(Count(WM_PAINT, child), 1);
}

}  // namespace
}  // namespace win::testing
