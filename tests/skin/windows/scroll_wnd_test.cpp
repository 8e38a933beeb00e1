// The skinned bars' adapter on a plain window: layout beside the client area, hit codes, and
// the mouse work through the headless input on the fake clock.
#include "skin/windows/scroll/scroll_wnd.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "skin/core/state/common_data.h"
#include "tests/skin/core/skin_writer.h"
#include "tests/skin/windows/windows_fixture.h"

namespace skin::testing {
namespace {

std::vector<int>& Codes() {
    static std::vector<int> codes;
    return codes;
}

// The positions that came with SB_THUMBTRACK and SB_THUMBPOSITION.
std::vector<int>& ThumbPositions() {
    static std::vector<int> positions;
    return positions;
}

// Scrolls as applications do: lines by 1, pages by 10, the thumb where it was let go.
win::LRESULT ScrolledProc(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (msg == win::WM_VSCROLL || msg == win::WM_HSCROLL) {
        int bar = msg == win::WM_VSCROLL ? win::SB_VERT : win::SB_HORZ;
        int code = win::LOWORD(wp);
        Codes().push_back(code);
        if (code == win::SB_THUMBTRACK || code == win::SB_THUMBPOSITION)
            ThumbPositions().push_back(win::HIWORD(wp));
        int pos = win::GetScrollPos(h, bar);
        switch (code) {
            case win::SB_LINEUP: --pos; break;
            case win::SB_LINEDOWN: ++pos; break;
            case win::SB_PAGEUP: pos -= 10; break;
            case win::SB_PAGEDOWN: pos += 10; break;
            case win::SB_THUMBPOSITION: pos = win::HIWORD(wp); break;
            default: return 0;
        }
        win::SetScrollPos(h, bar, pos, win::TRUE);
        return 0;
    }
    return win::DefWindowProcA(h, msg, wp, lp);
}

class ScrollWndTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        Codes().clear();
        ThumbPositions().clear();
        win::WNDCLASSEXA wc;
        wc.lpfnWndProc = &ScrolledProc;
        wc.lpszClassName = "Scrolled";
        win::RegisterClassExA(&wc);
        form->Show();
        wnd = win::CreateWindowExA(0, "Scrolled", "",
                                   win::WS_CHILD | win::WS_VISIBLE | win::WS_BORDER |
                                       win::WS_VSCROLL | win::WS_HSCROLL,
                                   20, 20, 200, 150, form->Handle(), nullptr, nullptr, nullptr);
        win::SCROLLINFO si;
        si.fMask = win::SIF_RANGE | win::SIF_PAGE | win::SIF_POS;
        si.nMax = 99;
        si.nPage = 10;
        win::SetScrollInfo(wnd, win::SB_VERT, &si, win::TRUE);
        win::SetScrollInfo(wnd, win::SB_HORZ, &si, win::TRUE);
        win::GetClientRect(wnd, &before);
        adapter = AttachAdapter<TacScrollWnd>(wnd, nullptr, nullptr, "EDIT", true);
        Pump();
    }
    void TearDown() override {
        TacMainWnd* a = adapter;
        FreeAdapter(a);
        WindowsTest::TearDown();
    }
    win::RECT Vert() { return adapter->BarRects().vert; }
    void Release(win::POINT p) {
        win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Up, p, win::MouseButton::Left});
        Pump();
    }
    void Wait(uint32_t ms) {
        for (uint32_t t = 0; t < ms; ++t) {
            clock_.Advance(1);
            Pump();
        }
    }
    int Count(int code) { return int(std::count(Codes().begin(), Codes().end(), code)); }

    win::HWND wnd = nullptr;
    win::RECT before{};
    TacScrollWnd* adapter = nullptr;
};

TEST_F(ScrollWndTest, TheAdapterTakesTheBarsOffTheClientAreaAndAnswersTheirHits) {
    win::RECT after;
    win::GetClientRect(wnd, &after);
    EXPECT_EQ(after.right, before.right);  // the same room, now the adapter's
    EXPECT_TRUE(adapter->VBar.Shown);
    EXPECT_TRUE(adapter->HBar.Shown);
    win::RECT v = Vert();
    win::POINT mid{(v.left + v.right) / 2, (v.top + v.bottom) / 2};
    EXPECT_EQ(win::SendMessageA(wnd, win::WM_NCHITTEST, 0, win::MAKELPARAM(mid.x, mid.y)),
              win::HTVSCROLL);
    // The platform places its own idea of the bars at the same spot.
    win::SCROLLBARINFO info;
    ASSERT_TRUE(win::GetScrollBarInfo(wnd, win::OBJID_VSCROLL, &info));
    EXPECT_EQ(info.rcScrollBar.left, v.left);
    EXPECT_EQ(info.rcScrollBar.bottom, v.bottom);
    // A right click on the bar does nothing at all.
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Down, mid, win::MouseButton::Right});
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Up, mid, win::MouseButton::Right});
    Pump();
    EXPECT_TRUE(Codes().empty());
}

TEST_F(ScrollWndTest, AHeldArrowStepsAtOnceThenAfter300ThenEvery55) {
    win::RECT v = Vert();
    win::POINT arrow{(v.left + v.right) / 2, v.bottom - 3};
    Down(arrow);
    EXPECT_EQ(Count(win::SB_LINEDOWN), 1);
    Wait(299);
    EXPECT_EQ(Count(win::SB_LINEDOWN), 1);
    Wait(1 + 55);
    EXPECT_EQ(Count(win::SB_LINEDOWN), 2);
    Wait(55 * 3);
    EXPECT_EQ(Count(win::SB_LINEDOWN), 5);
    // Off the arrow: no steps; back on it: they resume.
    QueueMove(arrow.x - 100, arrow.y - 60);
    Wait(55 * 4);
    EXPECT_EQ(Count(win::SB_LINEDOWN), 5);
    QueueMove(arrow.x, arrow.y);
    Wait(55 * 2);
    EXPECT_EQ(Count(win::SB_LINEDOWN), 7);
    Release(arrow);
    EXPECT_EQ(Codes().back(), win::SB_ENDSCROLL);
    EXPECT_EQ(win::GetScrollPos(wnd, win::SB_VERT), 7);
    Wait(500);
    EXPECT_EQ(Count(win::SB_LINEDOWN), 7);
}

// A press on what cannot scroll now (disabled after the hit test that brought the press) takes
// nothing; a running press ends when another window becomes current, as one without the
// capture (under a combo's list) would otherwise repeat for the old window's life.
TEST_F(ScrollWndTest, PressesLeaveNothingBehind) {
    const win::RECT v = Vert();
    const win::POINT arrow{(v.left + v.right) / 2, v.bottom - 3};
    for (win::UINT off : {win::ESB_DISABLE_BOTH, win::ESB_DISABLE_DOWN}) {
        win::EnableScrollBar(wnd, win::SB_VERT, off);
        win::SendMessageA(wnd, win::WM_NCLBUTTONDOWN, win::HTVSCROLL,
                          win::MAKELPARAM(arrow.x, arrow.y));
        EXPECT_EQ(win::GetCapture(), nullptr);
        win::EnableScrollBar(wnd, win::SB_VERT, win::ESB_ENABLE_BOTH);
    }
    win::HWND other = win::CreateWindowExA(0, "Scrolled", "", win::WS_CHILD | win::WS_VSCROLL, 0, 0,
                                           50, 50, form->Handle(), nullptr, nullptr, nullptr);
    TacMainWnd* second = AttachAdapter<TacScrollWnd>(other, nullptr, nullptr, "EDIT");
    Down(arrow);
    win::SendMessageA(other, win::WM_NCMOUSEMOVE, win::HTVSCROLL, 0);
    EXPECT_FALSE(win::KillTimer(wnd, kFirstRepeatTimer));
    EXPECT_EQ(Codes(), (std::vector<int>{win::SB_LINEDOWN, win::SB_ENDSCROLL}));
    FreeAdapter(second);
}

// A skin whose arrows ask for their pictures' length, 24 pixels (the system's are 16): a click
// at the painted end of either arrow steps a line, and the thumb painted between them drags to
// the position its painted place stands for.
TEST_F(ScrollWndTest, ArrowsAndThumbAreHitWhereTheSkinPaintsThem) {
    std::string options = "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n";
    for (const char* s :
         {"SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBAR1H", "SCROLLBAR2H", "SCROLLSLIDERH"})
        options += std::string("[") + s +
                   "]\nRESERVEDBOOLEAN=TRUE\n"
                   "BORDERSMASK=^0000^0000^0072^0024^0002^0002^0002^0002^3^0^4^0\n";
    const std::string blob =
        skin_test::TestSkin{options, {{"M.BMP", skin_test::Bmp24(72, 24, skin_test::Solid(0))}}}
            .Packed();
    TsStoredSkin* item = manager->InternalSkins()->Add();
    item->Name = "Wide arrows";
    item->Data.reset(new vcl::TMemoryStream);
    item->Data->WriteBuffer(blob.data(), int64_t(blob.size()));
    manager->SetSkinName(item->Name);
    const win::RECT r = adapter->BarRects().horz;
    auto at = [&r](int x) { return win::POINT{x, r.top + 2}; };
    Click(at(r.left + 23));
    Click(at(r.right - 24));
    EXPECT_EQ(Codes(), (std::vector<int>{win::SB_LINEUP, win::SB_ENDSCROLL, win::SB_LINEDOWN,
                                         win::SB_ENDSCROLL}));
    const win::SCROLLINFO& si = adapter->HBar.ScrollInfo;
    const int start = CalcScrollThumbRect(r.left, r.right, 24, si).start;
    Down(at(start + 1));
    Up(at(start + 31));
    ASSERT_FALSE(ThumbPositions().empty());
    EXPECT_EQ(ThumbPositions().back(), ScrollPosForThumb(r.left, r.right, 24, si, start + 30));
}

TEST_F(ScrollWndTest, LosingTheCaptureEndsAPress) {
    win::RECT v = Vert();
    win::POINT arrow{(v.left + v.right) / 2, v.bottom - 3};
    Down(arrow);
    Wait(400);
    int steps = Count(win::SB_LINEDOWN);
    win::ReleaseCapture();
    Pump();
    EXPECT_EQ(Codes().back(), win::SB_ENDSCROLL);
    Wait(500);
    EXPECT_EQ(Count(win::SB_LINEDOWN), steps);
    EXPECT_EQ(ScrollMouse().PressedPart, spNone);
}

TEST_F(ScrollWndTest, DraggingTheThumbTracksThenDropsTheLastPosition) {
    win::RECT v = Vert();
    int arrow = adapter->BarArrowLength(adapter->VBar, false);
    win::POINT thumb{(v.left + v.right) / 2, v.top + arrow + 3};
    Down(thumb);
    QueueMove(thumb.x, thumb.y + 30);
    Pump();
    QueueMove(thumb.x, v.bottom + 400);  // far below: pinned to the end
    Pump();
    ASSERT_FALSE(ThumbPositions().empty());
    EXPECT_EQ(ThumbPositions().back(), 90);
    QueueMove(thumb.x, v.top - 400);  // far above: pinned to the start
    Pump();
    EXPECT_EQ(ThumbPositions().back(), 0);
    QueueMove(thumb.x, v.bottom + 400);
    Pump();
    Release(win::POINT{thumb.x, v.bottom + 400});
    ASSERT_GE(Codes().size(), 3u);
    EXPECT_EQ(Codes()[Codes().size() - 2], win::SB_THUMBPOSITION);
    EXPECT_EQ(Codes().back(), win::SB_ENDSCROLL);
    EXPECT_EQ(win::GetScrollPos(wnd, win::SB_VERT), 90);
}

// Hovering repaints only what changes: entering a bar shows the bars as they were, a tick that
// finds a new hot part composes that bar once, ticks on the same part show nothing, and leaving
// composes the bar unhot again while the other bar's image is shown as it was.
TEST_F(ScrollWndTest, HoverRepaintsOnlyWhenThePartChanges) {
    const win::RECT v = Vert();
    const int arrow = adapter->BarArrowLength(adapter->VBar, false), x = (v.left + v.right) / 2;
    const int shown = adapter->BarsShown, composed = adapter->BarsComposed;
    QueueMove(x, v.bottom - arrow / 2 - 1);
    Pump();
    ASSERT_EQ(ScrollMouse().HotBar, win::SB_VERT);
    EXPECT_EQ(adapter->BarsShown, shown + 2);
    EXPECT_EQ(adapter->BarsComposed, composed);
    // Each step holds the mouse for eight ticks; `newPart` when its hot part is not the last one.
    struct Step {
        int y, hotPart;
        bool newPart;
    };
    const int ticksShown = adapter->BarsShown;
    int parts = 0;
    for (Step step :
         {Step{v.bottom - arrow / 2 - 1, spSecondArrow, true},
          Step{v.bottom - 2, spSecondArrow, false}, Step{v.top + 2, spFirstArrow, true}}) {
        QueueMove(x, step.y);
        Wait(20 * 8);
        parts += step.newPart;
        EXPECT_EQ(ScrollMouse().HotPart, step.hotPart);
        EXPECT_EQ(adapter->BarsComposed, composed + parts) << step.y;
        EXPECT_EQ(adapter->BarsShown, ticksShown + parts) << step.y;
    }
    QueueMove(v.left - 100, v.top - 10);
    Wait(20 * 3);
    EXPECT_EQ(ScrollMouse().HotBar, -1);
    EXPECT_EQ(adapter->BarsComposed, composed + parts + 1);
    EXPECT_EQ(adapter->BarsShown, ticksShown + parts + 2);
}

// The size box shows the form behind it; in the corner of the form's client area it also shows
// the grip and answers as the corner to size from.
TEST_F(ScrollWndTest, TheSizeBoxShowsTheFormAndTheGripOnlyInItsCorner) {
    win::RECT fc;
    win::GetClientRect(form->Handle(), &fc);
    const win::COLORREF behind = vcl::ColorToRGB(form->Color());
    for (bool corner : {false, true}) {
        SCOPED_TRACE(corner ? "in the corner" : "inside the form");
        const int x = corner ? fc.right - 200 : 20, y = corner ? fc.bottom - 150 : 20;
        win::SetWindowPos(wnd, nullptr, x, y, 200, 150, win::SWP_NOZORDER | win::SWP_NOACTIVATE);
        win::RedrawWindow(wnd, nullptr, nullptr,
                          win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW);
        Pump();
        const win::RECT box = adapter->BarRects().sizeBox;
        ASSERT_LT(box.left, box.right);
        win::RECT wr;
        win::GetWindowRect(wnd, &wr);
        int notBehind = 0;
        for (int py = box.top; py < box.bottom; ++py)
            for (int px = box.left; px < box.right; ++px)
                notBehind += WindowPixel(wnd, px - wr.left, py - wr.top) != behind;
        EXPECT_EQ(notBehind > 0, corner);
        EXPECT_EQ(
            win::SendMessageA(wnd, win::WM_NCHITTEST, 0,
                              win::MAKELPARAM(box.right - 2, box.bottom - 2)) == win::HTBOTTOMRIGHT,
            corner);
    }
}

TEST_F(ScrollWndTest, TheVerticalBarFollowsTheSideAndGoesWhenItDoesNotFit) {
    win::RECT wr;
    win::GetWindowRect(wnd, &wr);
    auto hit = [&](int x, int y) {
        return win::SendMessageA(wnd, win::WM_NCHITTEST, 0, win::MAKELPARAM(x, y));
    };
    auto ex = win::GetWindowLongPtrA(wnd, win::GWL_EXSTYLE);
    win::SetWindowLongPtrA(wnd, win::GWL_EXSTYLE, ex | win::WS_EX_LEFTSCROLLBAR);
    win::SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_FRAMECHANGED);
    Pump();
    win::RECT v = Vert();
    EXPECT_EQ(v.left, wr.left + adapter->Border.left);
    EXPECT_EQ(hit(v.left + 2, (v.top + v.bottom) / 2), win::HTVSCROLL);
    EXPECT_EQ(hit(wr.right - 4, (v.top + v.bottom) / 2), win::HTCLIENT);
    // And back to the right.
    win::SetWindowLongPtrA(wnd, win::GWL_EXSTYLE, ex);
    win::SetWindowPos(
        wnd, nullptr, 0, 0, 0, 0,
        win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_FRAMECHANGED);
    Pump();
    EXPECT_EQ(Vert().right, wr.right - adapter->Border.right);
    EXPECT_EQ(hit(wr.right - adapter->Border.right - 2, (v.top + v.bottom) / 2), win::HTVSCROLL);
    // Thinner than a bar: no bar, no bar hit, from the adapter or the default.
    win::SetWindowPos(wnd, nullptr, 0, 0, 12, 150, win::SWP_NOMOVE | win::SWP_NOZORDER);
    Pump();
    EXPECT_FALSE(adapter->VBar.Shown);
    for (int x = wr.left; x < wr.left + 12; ++x) EXPECT_NE(hit(x, wr.top + 50), win::HTVSCROLL);
}

// Random scroll information, sizes and mouse sequences, with the window sometimes destroyed in
// the middle: no fault, and every position sent lies within the range.
TEST_F(ScrollWndTest, RandomPressesDragsAndDestroysStayInRange) {
    std::mt19937 rng(2026);
    auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    win::SCROLLINFO current;
    bool outOfRange = false;
    for (int round = 0; round < 40; ++round) {
        if (!win::IsWindow(wnd)) {
            wnd = win::CreateWindowExA(0, "Scrolled", "",
                                       win::WS_CHILD | win::WS_VISIBLE | win::WS_VSCROLL |
                                           win::WS_HSCROLL,
                                       20, 20, 200, 150, form->Handle(), nullptr, nullptr, nullptr);
            TacMainWnd* old = adapter;
            FreeAdapter(old);
            adapter = AttachAdapter<TacScrollWnd>(wnd, nullptr, nullptr, "EDIT", true);
        }
        win::SCROLLINFO si;
        si.fMask = win::SIF_RANGE | win::SIF_PAGE | win::SIF_POS;
        si.nMin = any(-10, 50);
        si.nMax = any(-10, 60000);
        si.nPage = unsigned(any(0, 3) == 0 ? 0 : any(1, 200000));
        si.nPos = any(-5000, 200000);
        win::SetScrollInfo(wnd, win::SB_VERT, &si, win::TRUE);
        current.fMask = win::SIF_RANGE;
        win::GetScrollInfo(wnd, win::SB_VERT, &current);
        win::SetWindowPos(wnd, nullptr, 0, 0, any(0, 300), any(0, 250),
                          win::SWP_NOMOVE | win::SWP_NOZORDER);
        Pump();
        Codes().clear();
        ThumbPositions().clear();
        win::RECT wr;
        win::GetWindowRect(wnd, &wr);
        for (int step = 0; step < 12; ++step) {
            win::POINT p{any(wr.left - 20, wr.right + 20), any(wr.top - 20, wr.bottom + 20)};
            switch (any(0, 6)) {
                case 0: Down(p); break;
                case 1: QueueMove(p.x, p.y); Pump(); break;
                case 2: Release(p); break;
                case 3: win::ReleaseCapture(); Pump(); break;
                case 4: Wait(uint32_t(any(1, 400))); break;
                case 5: win::SendMessageA(wnd, win::WM_CANCELMODE, 0, 0); break;
                default:
                    if (any(0, 3) == 0) win::DestroyWindow(wnd);
                    break;
            }
            if (!win::IsWindow(wnd)) break;
        }
        for (int pos : ThumbPositions())
            if (pos < std::max(current.nMin, 0) || pos > std::max(current.nMin, current.nMax))
                outOfRange = true;
        Release(win::POINT{0, 0});
    }
    EXPECT_FALSE(outOfRange);
    EXPECT_EQ(ScrollMouse().PressedPart == spNone || win::IsWindow(ScrollMouse().CurrentWindow),
              true);
}

}  // namespace
}  // namespace skin::testing
