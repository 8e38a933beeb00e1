#include "platform/controls/up_down_control.h"

#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

class UpDownTest : public ControlsTest {
protected:
    // The positions the parent was told of with SB_THUMBPOSITION, and how many presses ended.
    std::vector<int> Steps(UINT msg = WM_VSCROLL) const {
        std::vector<int> out;
        for (const Note& n : NotesOf(msg))
            if (LOWORD(DWORD(n.wp)) == SB_THUMBPOSITION)
                out.push_back(static_cast<short>(HIWORD(DWORD(n.wp))));
        return out;
    }
    int Ends(UINT msg = WM_VSCROLL) const {
        int ends = 0;
        for (const Note& n : NotesOf(msg))
            ends += LOWORD(DWORD(n.wp)) == SB_ENDSCROLL;
        return ends;
    }
    void PressAt(int x, int y) {
        QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{x, y}});
        QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{x, y}, MouseButton::Left});
        Pump();
    }
    void Wait(uint32_t ms) {
        for (uint32_t i = 0; i < ms; i += 10) {
            clock_.Advance(10);
            Pump();
        }
    }
};

TEST_F(UpDownTest, ArrowsStepRepeatAndStopAtTheEnds) {
    HWND focus = Child("Button", "OK", BS_PUSHBUTTON, 1, 200, 10, 60, 25);
    SetFocus(focus);
    HWND ud = Child(UPDOWN_CLASSA, "", 0, 7, 10, 10, 16, 40);
    int lo = 0, hi = 0;
    SendMessageA(ud, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, 100);  // the standard control's range: from 100 down to 0
    EXPECT_EQ(hi, 0);
    SendMessageA(ud, UDM_SETRANGE32, 0, 10);
    EXPECT_EQ(SendMessageA(ud, UDM_SETPOS32, 0, 50), 0);  // kept within the range
    EXPECT_EQ(SendMessageA(ud, UDM_GETPOS32, 0, 0), 10);
    SendMessageA(ud, UDM_SETPOS32, 0, 5);

    // The upper arrow steps at once, repeats after the first delay while held, and the
    // release ends the press.
    PressAt(18, 15);
    EXPECT_EQ(Steps(), std::vector<int>{6});
    EXPECT_EQ(GetFocus(), focus);  // never takes the focus
    Wait(kUpDownFirstDelay - 20);
    EXPECT_EQ(Steps().size(), 1u);
    Wait(20 + kUpDownRepeat);
    EXPECT_EQ(Steps(), (std::vector<int>{6, 7, 8}));
    ReleaseAt(18, 15);
    EXPECT_EQ(Ends(), 1);
    // Off the arrow it pauses; at the end of the range it stays, and says nothing more.
    PressAt(18, 15);
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{100, 100}});
    Pump();
    Wait(1000);
    EXPECT_EQ(Steps(), (std::vector<int>{6, 7, 8, 9}));
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{18, 15}});
    Pump();
    Wait(5 * kUpDownRepeat);
    EXPECT_EQ(Steps(), (std::vector<int>{6, 7, 8, 9, 10}));
    ReleaseAt(18, 15);
    EXPECT_EQ(Ends(), 2);
    EXPECT_EQ(SendMessageA(ud, UDM_GETPOS32, 0, 0), 10);
    // The lower arrow goes back; with UDS_WRAP the ends meet.
    Notes().clear();
    PressAt(18, 45);
    ReleaseAt(18, 45);
    EXPECT_EQ(Steps(), std::vector<int>{9});
    SetWindowLongPtrA(ud, GWL_STYLE, GetWindowLongPtrA(ud, GWL_STYLE) | UDS_WRAP);
    SendMessageA(ud, UDM_SETPOS32, 0, 10);
    PressAt(18, 15);
    ReleaseAt(18, 15);
    EXPECT_EQ(Steps().back(), 0);
    // A range that shrinks past the position says so.
    SendMessageA(ud, UDM_SETPOS32, 0, 8);
    SendMessageA(ud, UDM_SETRANGE32, 0, 4);
    BOOL outside = FALSE;
    EXPECT_EQ(SendMessageA(ud, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&outside)), 8);
    EXPECT_TRUE(outside);
}

TEST_F(UpDownTest, SideBySideAndReversedRanges) {
    HWND ud = Child(UPDOWN_CLASSA, "", UDS_HORZ, 7, 10, 10, 40, 16);
    SendMessageA(ud, UDM_SETRANGE32, 10, 0);  // upside down: the right arrow goes to 0
    SendMessageA(ud, UDM_SETPOS32, 0, 5);
    PressAt(45, 18);
    ReleaseAt(45, 18);
    PressAt(15, 18);
    ReleaseAt(15, 18);
    PressAt(15, 18);
    ReleaseAt(15, 18);
    EXPECT_EQ(Steps(WM_HSCROLL), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(Ends(WM_HSCROLL), 3);
    EXPECT_TRUE(NotesOf(WM_VSCROLL).empty());
    // Disabled, it does nothing.
    EnableWindow(ud, FALSE);
    PressAt(45, 18);
    ReleaseAt(45, 18);
    EXPECT_EQ(Steps(WM_HSCROLL).size(), 3u);
}

TEST_F(UpDownTest, PaintsIntoAGivenDC) {
    HWND ud = Child(UPDOWN_CLASSA, "", 0, 7, 10, 10, 16, 40);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 40);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, 16, 40};
    FillRect(mem, &all, GetSysColorBrush(COLOR_HIGHLIGHT));
    SendMessageA(ud, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    // Two raised buttons: light top-left corners, dark bottom-right ones.
    EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(GetPixel(mem, 0, 20), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(GetPixel(mem, 15, 39), GetSysColor(COLOR_3DDKSHADOW));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace win::testing
