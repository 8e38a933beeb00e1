#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

using StaticTest = ControlsTest;

TEST_F(StaticTest, TextIsPlacedByItsAlignmentStyle) {
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    HWND left = Child("Static", "Text", SS_LEFT, 1, 10, 10, 200, 20);
    HWND centre = Child("Static", "Text", SS_CENTER, 2, 10, 40, 200, 20);
    HWND right = Child("Static", "Text", SS_RIGHT, 3, 10, 70, 200, 20);
    const auto l = Shot(left).Columns(ink);
    const auto c = Shot(centre).Columns(ink);
    const auto r = Shot(right).Columns(ink);
    ASSERT_GE(l.first, 0);
    EXPECT_LT(l.first, 4);
    EXPECT_GT(r.last, 195);
    EXPECT_NEAR((c.first + c.last) / 2, 100, 3);
    EXPECT_EQ(l.last - l.first, r.last - r.first);  // the same text, moved
    EXPECT_EQ(SendMessageA(left, WM_GETDLGCODE, 0, 0), DLGC_STATIC);

    // Disabled text is not drawn in the text colour.
    EnableWindow(left, FALSE);
    EXPECT_EQ(Shot(left).Columns(ink).first, -1);
    // "&" underlines the next letter unless SS_NOPREFIX shows it as it is.
    HWND prefix = Child("Static", "&&", SS_LEFT, 4, 10, 100, 200, 20);
    HWND plain = Child("Static", "&&", SS_LEFT | SS_NOPREFIX, 5, 10, 130, 200, 20);
    const auto one = Shot(prefix).Columns(ink);
    const auto two = Shot(plain).Columns(ink);
    EXPECT_GT(two.last - two.first, one.last - one.first);
}

LRESULT RedGround(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    static HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    if (msg == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(red);
    return DefWindowProcA(h, msg, wp, lp);
}

TEST_F(StaticTest, TheParentChoosesTheGroundAndHearsClicksOnlyWithNotify) {
    WNDCLASSA wc;
    wc.lpfnWndProc = RedGround;
    wc.lpszClassName = "RedGround";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, "RedGround", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND label = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, owner,
                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(Shot(label).At(25, 10), RGB(255, 0, 0));
    DestroyWindow(owner);

    HWND mute = Child("Static", "mute", SS_LEFT, 7, 10, 10, 100, 20);
    HWND told = Child("Static", "told", SS_LEFT | SS_NOTIFY, 8, 10, 40, 100, 20);
    Click(mute);  // see-through to the mouse: the parent gets the click itself
    Click(told);
    std::vector<int> clicked;
    for (const Note& n : Notes())
        if (n.msg == WM_COMMAND && HIWORD(DWORD(n.wp)) == STN_CLICKED)
            clicked.push_back(LOWORD(DWORD(n.wp)));
    EXPECT_EQ(clicked, std::vector<int>{8});
}

TEST_F(StaticTest, IconsRectanglesFramesAndOwnerDrawing) {
    // The standard stop icon by its name, and an icon handed in with STM_SETICON.
    HWND stop = Child("Static", "#32513", SS_ICON, 1, 10, 10, 32, 32);
    EXPECT_EQ(Shot(stop).At(16, 4), RGB(255, 0, 0));
    HWND own = Child("Static", "", SS_ICON, 2, 50, 10, 32, 32);
    HICON question = LoadIcon(nullptr, IDI_QUESTION);
    EXPECT_EQ(SendMessageA(own, STM_SETICON, reinterpret_cast<WPARAM>(question), 0), 0);
    EXPECT_EQ(SendMessageA(own, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(question));
    {
        Shot shot(own);
        HDC mem = CreateCompatibleDC(nullptr);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biWidth = 32;
        bmi.bmiHeader.biHeight = -32;
        bmi.bmiHeader.biBitCount = 32;
        HBITMAP b = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, nullptr);
        HGDIOBJ old = SelectObject(mem, b);
        RECT all{0, 0, 32, 32};
        FillRect(mem, &all, GetSysColorBrush(COLOR_BTNFACE));
        DrawIconEx(mem, 0, 0, question, 0, 0, 0, nullptr, DI_NORMAL);
        int same = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                same += GetPixel(mem, x, y) == shot.At(x, y);
        EXPECT_EQ(same, 32 * 32);  // the icon it was given, as DrawIconEx draws it
        SelectObject(mem, old);
        DeleteObject(b);
        DeleteDC(mem);
    }

    HWND black = Child("Static", "", SS_BLACKRECT, 3, 100, 10, 20, 20);
    EXPECT_EQ(Shot(black).At(10, 10), GetSysColor(COLOR_WINDOWFRAME));
    HWND frame = Child("Static", "", SS_GRAYFRAME, 4, 130, 10, 20, 20);
    EXPECT_EQ(Shot(frame).At(0, 10), GetSysColor(COLOR_BTNSHADOW));
    HWND line = Child("Static", "", SS_ETCHEDHORZ, 5, 160, 10, 50, 2);
    EXPECT_EQ(Shot(line).At(10, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(Shot(line).At(10, 1), GetSysColor(COLOR_BTNHIGHLIGHT));

    HWND drawn = Child("Static", "", SS_OWNERDRAW, 6, 220, 10, 50, 20);
    Notes().clear();
    Shot shot(drawn);
    ASSERT_EQ(Notes().size(), 1u);
    EXPECT_EQ(Notes()[0].msg, WM_DRAWITEM);
    EXPECT_EQ(Notes()[0].ctlType, ODT_STATIC);
    EXPECT_EQ(Notes()[0].wp, 6u);
}

}  // namespace
}  // namespace win::testing
