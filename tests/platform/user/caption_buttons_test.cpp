// The caption buttons of the classic frame: their glyphs, greyed when the box is not there,
// moved down and right while pressed.
#include "platform/gdi/gdi.h"
#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

// The screen rectangle of a caption box, found by hit testing the caption.
RECT BoxOf(HWND w, LRESULT hit) {
    RECT wr;
    GetWindowRect(w, &wr);
    RECT box{wr.right, wr.bottom, wr.left, wr.top};
    for (int y = wr.top; y < wr.top + 30; ++y)
        for (int x = wr.left; x < wr.right; ++x)
            if (SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hit) {
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            }
    return box;
}

struct Glyph {
    int ink = 0, light = 0, shadow = 0;  // pixels of each kind inside the box's edges
    RECT inkBounds{1000, 1000, -1, -1};
};

Glyph Look(const RECT& box) {
    Glyph g;
    for (int y = box.top + 2; y < box.bottom - 2; ++y)
        for (int x = box.left + 2; x < box.right - 2; ++x) {
            const COLORREF c = ScreenPixel(x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100) {
                ++g.ink;
                g.inkBounds = {std::min<LONG>(g.inkBounds.left, x),
                               std::min<LONG>(g.inkBounds.top, y),
                               std::max<LONG>(g.inkBounds.right, x + 1),
                               std::max<LONG>(g.inkBounds.bottom, y + 1)};
            }
            g.light += c == GetSysColor(COLOR_BTNHIGHLIGHT);
            g.shadow += c == GetSysColor(COLOR_BTNSHADOW);
        }
    return g;
}

TEST_F(UserTest, CaptionButtonsShowTheirGlyphs) {
    // Without a minimise box the minimise button is there, greyed.
    HWND w = Make(WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    const RECT close = BoxOf(w, HTCLOSE), max = BoxOf(w, HTMAXBUTTON);
    ASSERT_GT(close.right - close.left, 8);
    ASSERT_GT(max.right - max.left, 8);
    // The greyed box is no hit target; it stands right beside the other.
    const RECT min{max.left - (max.right - max.left), max.top, max.left, max.bottom};
    EXPECT_GT(Look(close).ink, 4);
    EXPECT_GT(Look(max).ink, 4);
    const Glyph grey = Look(min);
    EXPECT_EQ(grey.ink, 0);
    EXPECT_GT(grey.shadow, 4);
    EXPECT_GT(grey.light, 4);

    // Held down, the close button is sunken and its glyph one pixel lower and further right;
    // released off the button, it comes back up.
    const RECT before = Look(close).inkBounds;
    const POINT at{(close.left + close.right) / 2, (close.top + close.bottom) / 2};
    RECT pressed{};
    COLORREF corner = 0;
    script_.At(10, [&] {
        pressed = Look(close).inkBounds;
        corner = ScreenPixel(close.left, close.top);
        QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{200, 200}});
        QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{200, 200}, MouseButton::Left});
    });
    QueueMouseEvent(MouseEvent{MouseEvent::Move, at});
    QueueMouseEvent(MouseEvent{MouseEvent::Down, at, MouseButton::Left});
    Pump();
    EXPECT_EQ(corner, GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(pressed.left, before.left + 1);
    EXPECT_EQ(pressed.top, before.top + 1);
    EXPECT_TRUE(IsWindow(w));
    EXPECT_EQ(Look(close).inkBounds, before);

    // The help button of a window with neither box shows a question mark.
    HWND help =
        Make(WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 320, 300, 100, nullptr, WS_EX_CONTEXTHELP);
    Pump();
    EXPECT_GT(Look(BoxOf(help, HTHELP)).ink, 4);
}

}  // namespace
}  // namespace win::testing
