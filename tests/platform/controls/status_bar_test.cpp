#include <string>
#include <vector>

#include "platform/controls/status_bar_control.h"
#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

class StatusBarTest : public ControlsTest {
protected:
    HWND Bar(DWORD style, HWND parent = nullptr) {
        HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | style, 5, 5, 50,
                                  10, parent ? parent : parent_,
                                  reinterpret_cast<HMENU>(intptr_t(9)), nullptr, nullptr);
        Pump();
        return sb;
    }
    static RECT PartRect(HWND sb, int i) {
        RECT r{};
        EXPECT_TRUE(SendMessageA(sb, SB_GETRECT, i, reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    static RECT Place(HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static std::string Text(HWND sb, int i) {
        char buf[64] = {};
        SendMessageA(sb, SB_GETTEXTA, i, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    // The middle of the columns that show text ink in a part, -1 without any.
    int InkMiddle(HWND sb, int part) {
        const RECT r = PartRect(sb, part);
        const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
        int first = -1, last = -1;
        for (int x = r.left + 1; x < r.right - 1; ++x)
            for (int y = r.top + 1; y < r.bottom - 1; ++y)
                if (Pixel(sb, x, y) == ink) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return first < 0 ? -1 : (first + last) / 2;
    }
};

TEST_F(StatusBarTest, PartsHoldTextsInTheirPlaces) {
    HWND sb = Bar(0);
    const RECT place = Place(sb);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.right, 400);
    EXPECT_EQ(place.bottom, 300);  // along the parent's bottom
    const int rights[3] = {100, 250, -1};
    EXPECT_TRUE(SendMessageA(sb, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights)));
    int got[2] = {};
    EXPECT_EQ(SendMessageA(sb, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(got)), 3);
    EXPECT_EQ(got[1], 250);
    EXPECT_EQ(PartRect(sb, 0).right, 100);
    EXPECT_EQ(PartRect(sb, 1).left, 102);
    EXPECT_EQ(PartRect(sb, 2).right, 400);  // -1: to the end
    EXPECT_FALSE(SendMessageA(sb, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&got)));
    EXPECT_FALSE(SendMessageA(sb, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(rights)));

    EXPECT_TRUE(SendMessageA(sb, SB_SETTEXTA, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("Hello")));
    EXPECT_EQ(SendMessageA(sb, SB_GETTEXTLENGTHA, 1, 0), MAKELONG(5, SBT_POPOUT));
    EXPECT_EQ(Text(sb, 1), "Hello");
    EXPECT_FALSE(SendMessageA(sb, SB_SETTEXTA, 7, reinterpret_cast<LPARAM>("x")));
    SetWindowTextA(sb, "Zero");
    EXPECT_EQ(Text(sb, 0), "Zero");
    // "\t" centres, "\t\t" puts the text at the right.
    SendMessageA(sb, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("\tW"));
    Pump();
    const RECT p2 = PartRect(sb, 2);
    EXPECT_NEAR(InkMiddle(sb, 2), (p2.left + p2.right) / 2, 3);
    SendMessageA(sb, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("\t\tW"));
    Pump();
    EXPECT_GT(InkMiddle(sb, 2), p2.right - 16);
    EXPECT_LT(InkMiddle(sb, 0), 40);
    SendMessageA(sb, SB_SETTEXTA, 2 | SBT_NOTABPARSING, reinterpret_cast<LPARAM>("\t\tW"));
    Pump();
    EXPECT_LT(InkMiddle(sb, 2), p2.left + 40);
}

TEST_F(StatusBarTest, OwnerDrawnPartsAndSimpleMode) {
    HWND sb = Bar(0);
    const int rights[2] = {120, -1};
    SendMessageA(sb, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
    SendMessageA(sb, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("Second"));
    Notes().clear();
    SendMessageA(sb, SB_SETTEXTA, 0 | SBT_OWNERDRAW, 1234);
    Pump();
    ASSERT_FALSE(Notes().empty());
    EXPECT_EQ(Notes()[0].msg, static_cast<UINT>(WM_DRAWITEM));
    EXPECT_EQ(Notes()[0].itemID, 0u);
    EXPECT_EQ(Notes()[0].wp, 9u);
    EXPECT_EQ(SendMessageA(sb, SB_GETTEXTA, 0, 0), 1234);

    Notes().clear();
    SendMessageA(sb, SB_SIMPLE, TRUE, 0);
    EXPECT_TRUE(SendMessageA(sb, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(NotifyCodes(), std::vector<UINT>{SBN_SIMPLEMODECHANGE});
    SendMessageA(sb, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>("Simple"));
    Pump();
    EXPECT_EQ(Text(sb, 0), "Simple");
    EXPECT_EQ(PartRect(sb, 0).right, 400);
    EXPECT_GE(InkMiddle(sb, 0), 0);
    Notes().clear();
    InvalidateRect(sb, nullptr, TRUE);
    Pump();
    EXPECT_TRUE(Notes().empty());  // the owner-drawn part is not shown
    SendMessageA(sb, SB_SIMPLE, FALSE, 0);
    EXPECT_EQ(Text(sb, 1), "Second");
    EXPECT_EQ(PartRect(sb, 0).right, 120);
}

TEST_F(StatusBarTest, TheBarPlacesItselfUnlessToldNotTo) {
    HWND top = Bar(CCS_TOP);
    EXPECT_EQ(Place(top).top, 0);
    HWND fixed = Bar(CCS_NORESIZE);
    EXPECT_EQ(Place(fixed), (RECT{5, 5, 55, 15}));
    HWND bottom = Bar(0);
    SetWindowPos(parent_, nullptr, 0, 0, 500, 360, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(bottom, WM_SIZE, 0, 0);  // the parent passes its WM_SIZE on
    EXPECT_EQ(Place(bottom).right, 500);
    EXPECT_EQ(Place(bottom).bottom, 360);
}

TEST_F(StatusBarTest, TheGripSizesTheFormItSitsIn) {
    HWND form = CreateWindowExA(0, "ControlsTestParent", "form", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                100, 100, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND sb = Bar(SBARS_SIZEGRIP, form);
    RECT c;
    GetClientRect(sb, &c);
    POINT grip{c.right - 4, c.bottom - 4};
    ClientToScreen(sb, &grip);
    EXPECT_EQ(SendMessageA(sb, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTBOTTOMRIGHT);
    EXPECT_EQ(SendMessageA(sb, WM_NCHITTEST, 0, MAKELPARAM(grip.x - 40, grip.y)), HTCLIENT);
    const int rights[1] = {-1};
    SendMessageA(sb, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(rights));
    EXPECT_EQ(PartRect(sb, 0).right, c.right - GetSystemMetrics(SM_CXVSCROLL));

    QueueMouseEvent(MouseEvent{MouseEvent::Move, grip});
    QueueMouseEvent(MouseEvent{MouseEvent::Down, grip, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{grip.x + 40, grip.y + 30}});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{grip.x + 40, grip.y + 30}, MouseButton::Left});
    Pump();
    RECT r;
    GetWindowRect(form, &r);
    EXPECT_EQ(r, (RECT{100, 100, 440, 330}));
    // In a window that cannot be sized the grip is just drawn.
    HWND plain = Bar(SBARS_SIZEGRIP);
    GetClientRect(plain, &c);
    POINT p{c.right - 4, c.bottom - 4};
    ClientToScreen(plain, &p);
    EXPECT_EQ(SendMessageA(plain, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCLIENT);
}

}  // namespace
}  // namespace win::testing
