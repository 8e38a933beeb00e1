// Composition of the virtual screen and painting through window DCs.
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/gdi/sys_colors.h"
#include "tests/platform/user/user_fixture.h"

#include <vector>

namespace win::testing {
namespace {

class ScreenTest : public UserTest {
protected:
    HWND Filled(const char* cls, DWORD style, int x, int y, int w, int h, COLORREF c,
                HWND parent = nullptr) {
        WNDCLASSEXA wc;
        wc.lpfnWndProc = &UserTest::CALLBACK_Proc;
        wc.lpszClassName = cls;
        wc.hbrBackground = CreateSolidBrush(c);
        RegisterClassExA(&wc);
        return CreateWindowExA(0, cls, "", style, x, y, w, h, parent, nullptr, nullptr, nullptr);
    }
};

TEST_F(ScreenTest, OverlappingWindowsComposeInZOrder) {
    HWND red = Filled("Red", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, RGB(255, 0, 0));
    HWND blue = Filled("Blue", WS_POPUP | WS_VISIBLE, 50, 50, 100, 100, RGB(0, 0, 255));
    Pump();
    EXPECT_EQ(ScreenPixel(20, 20), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(60, 60), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(5, 5), GetSysColor(COLOR_BACKGROUND));
    SetWindowPos(red, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump();
    EXPECT_EQ(ScreenPixel(60, 60), RGB(255, 0, 0));
    ShowWindow(red, SW_HIDE);
    EXPECT_EQ(ScreenPixel(60, 60), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(20, 20), GetSysColor(COLOR_BACKGROUND));
    EXPECT_FALSE(TakeScreenDamage().empty());
    (void)blue;
}

TEST_F(ScreenTest, FramesAreDrawnAndChildrenPaintIntoTheirParent) {
    HWND top = Filled("Face", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 150, RGB(0, 255, 0));
    Filled("Kid", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, RGB(0, 0, 0), top);
    Pump();
    int f = GetSystemMetrics(SM_CXFRAME), cap = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(ScreenPixel(100 + f + 30, 100 + f + 5), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(ScreenPixel(100 + f + 50, 100 + f + cap + 50), RGB(0, 255, 0));
    EXPECT_EQ(ScreenPixel(100 + f + 15, 100 + f + cap + 15), RGB(0, 0, 0));
    HWND other = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100, 100, 100);
    Pump();
    (void)other;
    EXPECT_EQ(ScreenPixel(100 + f + 30, 100 + f + 5), GetSysColor(COLOR_INACTIVECAPTION));
}

TEST_F(ScreenTest, DcsKnowTheirWindowAndTheDesktopDcDrawsOnTheScreen) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HDC dc = GetDC(w);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(WindowFromDC(dc), w);
    RECT r{0, 0, 10, 10};
    FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    ReleaseDC(w, dc);
    EXPECT_EQ(ScreenPixel(5, 5), GetSysColor(COLOR_HIGHLIGHT));
    HDC desk = GetDC(nullptr);
    EXPECT_EQ(WindowFromDC(desk), GetDesktopWindow());
    ReleaseDC(nullptr, desk);
}

TEST_F(ScreenTest, InversionOnTheDesktopDcOutlivesCompositionUntilInvertedAgain) {
    HWND w = Filled("Face3", WS_POPUP | WS_VISIBLE, 20, 20, 100, 100, RGB(10, 20, 30));
    Pump();
    auto screen = [] {
        BitmapView v;
        EXPECT_TRUE(GetBitmapView(ComposeScreen(), &v));
        std::vector<BYTE> all;
        for (int y = 0; y < v.height; ++y)
            all.insert(all.end(), v.Row(y), v.Row(y) + v.width * 4);
        return all;
    };
    const std::vector<BYTE> clean = screen();
    // The outline of a move, drawn and later erased as the move loop of a skin does.
    auto outline = [] {
        HDC desk = GetDC(nullptr);
        SetROP2(desk, R2_NOT);
        SelectObject(desk, GetStockObject(NULL_BRUSH));
        Rectangle(desk, 10, 10, 60, 60);
        RECT plain{200, 200, 210, 210};
        FillRect(desk, &plain, GetSysColorBrush(COLOR_HIGHLIGHT));  // lasts one composition
        ReleaseDC(nullptr, desk);
    };
    outline();
    InvalidateRect(w, nullptr, TRUE);
    Pump();
    EXPECT_EQ(ScreenPixel(10, 30), RGB(255, 255, 255) ^ GetSysColor(COLOR_BACKGROUND));
    EXPECT_EQ(ScreenPixel(59, 30), RGB(255 - 10, 255 - 20, 255 - 30));  // over the window
    EXPECT_EQ(ScreenPixel(30, 30), RGB(10, 20, 30));
    EXPECT_EQ(ScreenPixel(205, 205), GetSysColor(COLOR_BACKGROUND));
    outline();
    InvalidateRect(w, nullptr, TRUE);
    Pump();
    EXPECT_TRUE(screen() == clean);
}

TEST_F(ScreenTest, BeginPaintErasesWithTheClassBrushAndClipsToTheUpdate) {
    HWND w = Filled("Face2", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, RGB(10, 20, 30));
    Pump();
    static RECT painted;
    Handlers()[{w, WM_PAINT}] = [](HWND h, WPARAM, LPARAM) -> LRESULT {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        painted = ps.rcPaint;
        RECT all{0, 0, 50, 50};
        FillRect(dc, &all, GetSysColorBrush(COLOR_HIGHLIGHT));  // clipped to the update
        EndPaint(h, &ps);
        return 0;
    };
    RECT part{0, 0, 10, 10};
    InvalidateRect(w, &part, TRUE);
    Pump();
    EXPECT_EQ(painted, part);
    EXPECT_EQ(ScreenPixel(5, 5), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(ScreenPixel(20, 20), RGB(10, 20, 30));
    EXPECT_EQ(Count(WM_ERASEBKGND, w), 2);  // at show and now
}

}  // namespace
}  // namespace win::testing

namespace win::testing {
namespace {

TEST_F(ScreenTest, RegionsClipCompositionAndHitTesting) {
    HWND back = Filled("Back", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, RGB(0, 0, 255));
    HWND round = Filled("Cut", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, RGB(255, 0, 0));
    Pump();
    SetWindowRgn(round, CreateRectRgn(0, 0, 50, 100), TRUE);
    Pump();
    EXPECT_EQ(ScreenPixel(25, 50), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(75, 50), RGB(0, 0, 255));
    EXPECT_EQ(WindowFromPoint(POINT{75, 50}), back);
    EXPECT_EQ(WindowFromPoint(POINT{25, 50}), round);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(round, copy), 0);
    SetWindowRgn(round, nullptr, TRUE);
    EXPECT_EQ(GetWindowRgn(round, copy), 0);
    EXPECT_EQ(WindowFromPoint(POINT{75, 50}), round);
    DeleteObject(copy);
}

TEST_F(ScreenTest, LayeredWindowsBlendPerPixelAndPassClicksThroughClearPixels) {
    Filled("Under", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, RGB(0, 0, 200));
    HWND glass = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, WS_EX_LAYERED);
    Pump();
    // Not yet given content: invisible and not hit.
    EXPECT_EQ(ScreenPixel(10, 10), RGB(0, 0, 200));
    EXPECT_NE(WindowFromPoint(POINT{10, 10}), glass);
    // A premultiplied image: the left half half-transparent white, the right half clear.
    HBITMAP image = MakeImage(100, 100, [](int x, int) { return x < 50 ? 0x80808080u : 0u; });
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, image);
    POINT zero{0, 0};
    SIZE size{100, 100};
    BLENDFUNCTION bf;
    bf.AlphaFormat = AC_SRC_ALPHA;
    ASSERT_TRUE(UpdateLayeredWindow(glass, nullptr, &zero, &size, src, &zero, 0, &bf, ULW_ALPHA));
    SelectObject(src, old);
    DeleteDC(src);
    DeleteObject(image);
    COLORREF mixed = ScreenPixel(10, 10);
    EXPECT_EQ(GetRValue(mixed), 0x80);
    EXPECT_EQ(GetBValue(mixed), 0x80 + 100);  // 200 * 127 / 255, rounded
    EXPECT_EQ(ScreenPixel(80, 10), RGB(0, 0, 200));
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), glass);
    EXPECT_NE(WindowFromPoint(POINT{80, 10}), glass);
    // Constant alpha through SetLayeredWindowAttributes.
    HWND fade = Filled("Fade", WS_POPUP | WS_VISIBLE, 200, 0, 50, 50, RGB(255, 255, 255));
    SetWindowLongPtrA(fade, GWL_EXSTYLE, WS_EX_LAYERED);
    SetLayeredWindowAttributes(fade, 0, 0, LWA_ALPHA);
    Pump();
    EXPECT_EQ(ScreenPixel(210, 10), GetSysColor(COLOR_BACKGROUND));
    BYTE alpha = 1;
    EXPECT_TRUE(GetLayeredWindowAttributes(fade, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 0);
    EXPECT_FALSE(SetLayeredWindowAttributes(Make(WS_POPUP, 0, 0, 5, 5), 0, 10, LWA_ALPHA));
}

}  // namespace
}  // namespace win::testing

namespace win::testing {
namespace {

// Three overlapping windows composed into the screen, every pixel of the area checked against
// what they should make: an opaque one at the bottom, one cut by a region with a hole above
// it, and on top a layered one whose left half is opaque, right half half-transparent (per
// pixel, premultiplied) and bottom strip clear.
TEST_F(ScreenTest, OverlappingRegionAndLayeredWindowsComposeToTheExpectedPicture) {
    const COLORREF desk = GetSysColor(COLOR_BACKGROUND);
    const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0), white = RGB(255, 255, 255);
    Filled("PicBlue", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, blue);
    HWND holed = Filled("PicRed", WS_POPUP | WS_VISIBLE, 60, 60, 100, 100, red);
    HRGN ring = CreateRectRgn(0, 0, 100, 100);
    HRGN hole = CreateRectRgn(30, 30, 70, 70);
    CombineRgn(ring, ring, hole, RGN_DIFF);
    DeleteObject(hole);
    SetWindowRgn(holed, ring, TRUE);
    HWND glass = Make(WS_POPUP | WS_VISIBLE, 40, 90, 120, 80, nullptr, WS_EX_LAYERED);
    HBITMAP image = MakeImage(120, 80, [](int x, int y) {
        return y >= 60 ? 0u : x < 60 ? 0xFFFFFFFFu : 0x80808080u;
    });
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, image);
    POINT at{40, 90}, zero{0, 0};
    SIZE size{120, 80};
    BLENDFUNCTION bf;
    bf.AlphaFormat = AC_SRC_ALPHA;
    ASSERT_TRUE(UpdateLayeredWindow(glass, nullptr, &at, &size, src, &zero, 0, &bf, ULW_ALPHA));
    SelectObject(src, old);
    DeleteDC(src);
    DeleteObject(image);
    Pump();

    auto inside = [](int x, int y, int l, int t, int r, int b) {
        return x >= l && x < r && y >= t && y < b;
    };
    // 0x80 of white over a colour c: 0x80 + c * 127 / 255, rounded.
    auto half = [](COLORREF c) {
        auto mix = [](int v) { return BYTE(0x80 + (v * 127 + 127) / 255); };
        return RGB(mix(GetRValue(c)), mix(GetGValue(c)), mix(GetBValue(c)));
    };
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            COLORREF below = desk;
            if (inside(x, y, 10, 10, 110, 110)) below = blue;
            if (inside(x, y, 60, 60, 160, 160) && !inside(x, y, 90, 90, 130, 130)) below = red;
            COLORREF want = below;
            if (inside(x, y, 40, 90, 160, 150)) want = x < 100 ? white : half(below);
            COLORREF got = ScreenPixel(x, y);
            auto near = [](int a, int b) { return a - b <= 1 && b - a <= 1; };
            if (!near(GetRValue(got), GetRValue(want)) || !near(GetGValue(got), GetGValue(want)) ||
                !near(GetBValue(got), GetBValue(want))) {
                if (++wrong <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got
                                  << " instead of " << want;
            }
        }
    EXPECT_EQ(wrong, 0);
    // The mouse goes where the picture says: through the clear strip to the ring below.
    EXPECT_EQ(WindowFromPoint(POINT{100, 100}), GetTopWindow(nullptr));  // the layered one
    EXPECT_NE(WindowFromPoint(POINT{110, 155}), glass);                  // its clear strip
    EXPECT_EQ(WindowFromPoint(POINT{110, 155}), holed);
    EXPECT_EQ(WindowFromPoint(POINT{100, 80}), holed);
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), glass);
    EXPECT_NE(WindowFromPoint(POINT{100, 85}), glass);
}

}  // namespace
}  // namespace win::testing
