#include "platform/controls/date_time_picker.h"

#include "platform/controls/up_down_control.h"
#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

class PickerTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        clock_.SetNow(46000.0 + (9 * 3600 + 5 * 60 + 7) / 86400.0);  // 9:05:07
        picker = Child(DATETIMEPICK_CLASSA, "", DTS_TIMEFORMAT, 5, 10, 10, 120, 22);
        Notes().clear();
    }
    SYSTEMTIME Value() {
        SYSTEMTIME t;
        EXPECT_EQ(SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)),
                  LRESULT(GDT_VALID));
        return t;
    }
    std::string Hms() {
        const SYSTEMTIME t = Value();
        return std::to_string(t.wHour) + ":" + std::to_string(t.wMinute) + ":" +
               std::to_string(t.wSecond);
    }
    size_t Changes() const {
        size_t n = 0;
        for (const Note& note : NotesOf(WM_NOTIFY))
            n += note.code == DTN_DATETIMECHANGE;
        return n;
    }
    void ClickAt(int x) {
        RECT r;
        GetWindowRect(picker, &r);
        const POINT p{r.left + x, (r.top + r.bottom) / 2};
        QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
        QueueMouseEvent(MouseEvent{MouseEvent::Down, p, MouseButton::Left});
        QueueMouseEvent(MouseEvent{MouseEvent::Up, p, MouseButton::Left});
        Pump();
    }
    void Type(const char* digits) {
        for (const char* c = digits; *c; ++c)
            Tap(static_cast<UINT>(*c), static_cast<unsigned char>(*c));
    }
    HWND picker = nullptr;
};

TEST_F(PickerTest, HoldsTheTimeItIsGiven) {
    EXPECT_EQ(Hms(), "9:5:7");  // the time it was made at
    SYSTEMTIME t = Value();
    t.wYear = 2024;
    t.wMonth = 2;
    t.wDay = 29;
    t.wHour = 23;
    EXPECT_TRUE(SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t)));
    EXPECT_EQ(Value().wDay, 29);
    EXPECT_EQ(Value().wDayOfWeek, 4);  // a Thursday
    EXPECT_EQ(Value().wHour, 23);
    // Nothing that is no date and time is taken, and "no value" is not offered.
    SYSTEMTIME bad = t;
    bad.wDay = 30;
    EXPECT_FALSE(
        SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&bad)));
    bad = t;
    bad.wMinute = 60;
    EXPECT_FALSE(
        SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&bad)));
    EXPECT_FALSE(SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0));
    EXPECT_EQ(Value().wDay, 29);
    EXPECT_EQ(Changes(), 0u);  // the program's changes are not announced
    EXPECT_EQ(SendMessageA(picker, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS | DLGC_WANTCHARS));
}

TEST_F(PickerTest, KeysChooseAndStepTheFields) {
    ClickAt(3);  // the hours
    EXPECT_EQ(GetFocus(), picker);
    Tap(VK_UP);
    EXPECT_EQ(Hms(), "10:5:7");
    Tap(VK_RIGHT);
    Tap(VK_DOWN);
    EXPECT_EQ(Hms(), "10:4:7");
    Tap(VK_RIGHT);
    Tap(VK_RIGHT);  // stays on the last field
    for (int i = 0; i < 8; ++i)
        Tap(VK_DOWN);  // round past 0
    EXPECT_EQ(Hms(), "10:4:59");
    Tap(VK_LEFT);
    Tap(VK_LEFT);
    Tap(VK_LEFT);
    for (int i = 0; i < 14; ++i)
        Tap(VK_UP);
    EXPECT_EQ(Hms(), "0:4:59");
    EXPECT_EQ(Changes(), 1u + 1u + 8u + 14u);
}

TEST_F(PickerTest, TypedDigitsFillAFieldAndMoveOn) {
    ClickAt(3);
    Type("15");  // two digits fill the hours, the minutes come next
    EXPECT_EQ(Hms(), "15:5:7");
    Type("7");  // no second digit could follow a 7: on to the seconds
    EXPECT_EQ(Hms(), "15:7:7");
    Type("42");
    EXPECT_EQ(Hms(), "15:7:42");
    ClickAt(3);
    Type("29");  // 29 is no hour: the 9 starts over
    EXPECT_EQ(Hms(), "9:7:42");
    Type("3");  // the minutes now
    EXPECT_EQ(Hms(), "9:3:42");
    Tap('X', 'x');
    EXPECT_EQ(Hms(), "9:3:42");
    // A click far right chooses the last field.
    ClickAt(80);
    Tap(VK_UP);
    EXPECT_EQ(Hms(), "9:3:43");
}

TEST_F(PickerTest, TheUpDownChildStepsTheChosenField) {
    HWND spin = FindWindowExA(picker, nullptr, UPDOWN_CLASSA, nullptr);
    ASSERT_NE(spin, nullptr);
    RECT pr, sr;
    GetClientRect(picker, &pr);
    GetWindowRect(spin, &sr);
    EXPECT_EQ(sr.right - sr.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(sr.bottom - sr.top, pr.bottom);
    ClickAt(3);
    Tap(VK_RIGHT);  // the minutes
    const POINT up{(sr.left + sr.right) / 2, sr.top + 3}, down{up.x, sr.bottom - 3};
    for (POINT p : {up, up, down, down, down}) {
        QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
        QueueMouseEvent(MouseEvent{MouseEvent::Down, p, MouseButton::Left});
        QueueMouseEvent(MouseEvent{MouseEvent::Up, p, MouseButton::Left});
        Pump();
    }
    EXPECT_EQ(Hms(), "9:4:7");
    EXPECT_EQ(Changes(), 5u);
    EXPECT_EQ(GetFocus(), picker);
    // Disabled, the spin is too.
    EnableWindow(picker, FALSE);
    EXPECT_FALSE(IsWindowEnabled(spin));
}

TEST_F(PickerTest, PaintsWithTheParentsColoursAndTheChosenFieldHighlighted) {
    CtlColorBrush() = CreateSolidBrush(RGB(255, 255, 0));
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 120, 22);
    HGDIOBJ old = SelectObject(mem, bmp);
    auto count = [&](COLORREF c) {
        int n = 0;
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 90; ++x)
                n += GetPixel(mem, x, y) == c;
        return n;
    };
    SendMessageA(picker, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    EXPECT_GT(count(RGB(255, 255, 0)), 500);
    EXPECT_EQ(count(GetSysColor(COLOR_HIGHLIGHT)), 0);  // without the focus, nothing chosen
    SetFocus(picker);
    SendMessageA(picker, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    EXPECT_GT(count(GetSysColor(COLOR_HIGHLIGHT)), 20);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    DeleteObject(CtlColorBrush());
    CtlColorBrush() = nullptr;
}

}  // namespace
}  // namespace win::testing
