// The combo list's adapter on a dropped list of the platform's combo box, attached the way the
// skinned combo box attaches it: when the box asks for the list's colours while dropping it.
#include "skin/windows/scroll/combo_list_wnd.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/window_tree.h"
#include "skin/core/state/common_data.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

TacComboListWnd*& ListAdapter() {
    static TacComboListWnd* adapter = nullptr;
    return adapter;
}

win::LRESULT HostProc(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (msg == win::WM_CTLCOLORLISTBOX && ListAdapter() == nullptr) {
        auto list = reinterpret_cast<win::HWND>(lp);
        bool scrolls = win::SendMessageA(list, win::LB_GETCOUNT, 0, 0) > 8;
        if (scrolls)
            ListAdapter() = TacComboListWnd::CreateForList(list, false, false, "", DefaultManager);
    }
    return win::DefWindowProcA(h, msg, wp, lp);
}

class ComboListWndTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        ListAdapter() = nullptr;
        win::WNDCLASSEXA wc;
        wc.lpfnWndProc = &HostProc;
        wc.lpszClassName = "ComboHost";
        win::RegisterClassExA(&wc);
        form->Show();
        host = win::CreateWindowExA(0, "ComboHost", "", win::WS_CHILD | win::WS_VISIBLE, 0, 0,
                                    300, 250, form->Handle(), nullptr, nullptr, nullptr);
        combo = win::CreateWindowExA(0, "ComboBox", "",
                                     win::WS_CHILD | win::WS_VISIBLE | win::WS_VSCROLL |
                                         win::CBS_DROPDOWNLIST,
                                     10, 10, 150, 160, host, nullptr, nullptr, nullptr);
        for (int i = 0; i < 30; ++i) {
            std::string s = "item " + std::to_string(i);
            win::SendMessageA(combo, win::CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(s.c_str()));
        }
        win::SendMessageA(combo, win::CB_SETCURSEL, 3, 0);
        win::SendMessageA(combo, win::CB_SHOWDROPDOWN, win::TRUE, 0);
        Pump();
        adapter = ListAdapter();
        ASSERT_NE(adapter, nullptr);
        list = adapter->CtrlHandle;
    }
    void TearDown() override {
        TacMainWnd* a = ListAdapter();
        if (a) FreeAdapter(a);
        ListAdapter() = nullptr;
        WindowsTest::TearDown();
    }
    intptr_t Top() { return win::SendMessageA(list, win::LB_GETTOPINDEX, 0, 0); }

    win::HWND host = nullptr, combo = nullptr, list = nullptr;
    TacComboListWnd* adapter = nullptr;
};

// The dropped list shows the skin's bar and a frame from the cache, on the screen and in print.
TEST_F(ComboListWndTest, TheDroppedListHasTheSkinsFrameAndBar) {
    ASSERT_TRUE(win::IsWindowVisible(list));
    ASSERT_TRUE(adapter->VBar.Shown);
    EXPECT_FALSE(adapter->HBar.Shown);
    win::RECT wr;
    win::GetWindowRect(list, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    vcl::TBitmap* cache = adapter->SkinData->CacheBmp();
    ASSERT_NE(cache, nullptr);
    ASSERT_EQ(cache->Width(), w);

    vcl::TBitmap print;
    print.SetPixelFormat(vcl::pf24bit);
    print.SetSize(w, h);
    win::SendMessageA(list, win::WM_PRINT, reinterpret_cast<uintptr_t>(print.Canvas()->Handle()),
                      win::PRF_NONCLIENT | win::PRF_CLIENT);
    auto onScreen = [&](int x, int y) { return WindowPixel(list, x, y); };
    for (auto [x, y] : {std::pair{0, h / 2}, std::pair{w / 3, 0}, std::pair{1, h - 2}}) {
        const auto want = vcl::ColorToRGB(cache->Canvas()->Pixels(x, y));
        EXPECT_EQ(onScreen(x, y), want) << x << "," << y;
        EXPECT_EQ(vcl::ColorToRGB(print.Canvas()->Pixels(x, y)), want) << x << "," << y;
    }
    // The middle of the track below the thumb is no classic bar pixel, on screen or in print.
    win::RECT v = adapter->BarRects().vert;
    const int x = (v.left + v.right) / 2 - wr.left, y = v.top + (v.bottom - v.top) * 3 / 4 - wr.top;
    EXPECT_NE(onScreen(x, y), win::GetSysColor(win::COLOR_SCROLLBAR));
    EXPECT_EQ(vcl::ColorToRGB(print.Canvas()->Pixels(x, y)), onScreen(x, y));
}

// Clicking the bar scrolls the open list and picks nothing; the list keeps the capture, so a
// click on an item still closes it with that item.
TEST_F(ComboListWndTest, TheBarScrollsTheOpenListAndAnItemStillClosesIt) {
    win::RECT v = adapter->BarRects().vert;
    const int arrow = adapter->BarArrowLength(adapter->VBar, false);
    const intptr_t top = Top();
    Click(win::POINT{(v.left + v.right) / 2, v.bottom - arrow / 2 - 1});
    EXPECT_EQ(Top(), top + 1);
    EXPECT_TRUE(win::SendMessageA(combo, win::CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(win::GetCapture(), list);
    EXPECT_EQ(win::SendMessageA(combo, win::CB_GETCURSEL, 0, 0), 3);

    // An item: the list closes with it.
    win::RECT item;
    const intptr_t first = Top();
    win::SendMessageA(list, win::LB_GETITEMRECT, uintptr_t(first), reinterpret_cast<intptr_t>(&item));
    win::POINT p{item.left + 5, (item.top + item.bottom) / 2};
    win::ClientToScreen(list, &p);
    Click(p);
    EXPECT_FALSE(win::SendMessageA(combo, win::CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(win::SendMessageA(combo, win::CB_GETCURSEL, 0, 0), first);
    EXPECT_NE(win::GetCapture(), list);
}

// The press that dropped the list, let go on the list's bar: the list's tracking ends, the list
// stays open with nothing picked.
TEST_F(ComboListWndTest, ThePressThatDroppedTheListEndsOnItsBar) {
    win::SendMessageA(combo, win::CB_SHOWDROPDOWN, win::FALSE, 0);
    Pump();
    win::RECT cr;
    win::GetWindowRect(combo, &cr);
    win::POINT p{cr.right - 5, (cr.top + cr.bottom) / 2};
    Down(p);
    ASSERT_TRUE(adapter->Tracking);
    win::RECT v = adapter->BarRects().vert;
    win::POINT bar{(v.left + v.right) / 2, (v.top + v.bottom) / 2};
    Up(bar);
    EXPECT_FALSE(adapter->Tracking);
    EXPECT_TRUE(win::SendMessageA(combo, win::CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(win::GetCapture(), list);
    EXPECT_EQ(win::SendMessageA(combo, win::CB_GETCURSEL, 0, 0), 3);
}

// A simple combo whose list ends above the combo's bottom: the strip under the list shows
// what lies behind the combo once the list is skinned, not the combo's own colour.
TEST_F(ComboListWndTest, ASimpleCombosStripUnderItsListShowsWhatIsBehind) {
    win::HWND simple =
        win::CreateWindowExA(0, "ComboBox", "", win::WS_CHILD | win::WS_VISIBLE | win::CBS_SIMPLE,
                             170, 10, 120, 150, host, nullptr, nullptr, nullptr);
    for (int i = 0; i < 20; ++i)
        win::SendMessageA(simple, win::CB_ADDSTRING, 0, reinterpret_cast<intptr_t>("choice"));
    win::HWND inner = win::FindWindowExA(simple, nullptr, "ComboLBox", nullptr);
    ASSERT_NE(inner, nullptr);
    win::RECT lr, cr;
    win::GetWindowRect(inner, &lr);
    win::SetWindowPos(inner, nullptr, 0, 0, lr.right - lr.left, lr.bottom - lr.top - 20,
                      win::SWP_NOMOVE | win::SWP_NOZORDER);
    win::GetWindowRect(simple, &cr);
    auto strip = [&] {
        win::RedrawWindow(
            simple, nullptr, nullptr,
            win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
        Pump();
        return WindowPixel(simple, (lr.right - lr.left) / 2, lr.bottom - cr.top - 10);
    };
    const win::COLORREF behind = vcl::ColorToRGB(vcl::TColor(manager->GetGlobalColor()));
    ASSERT_NE(strip(), behind);
    TacMainWnd* a = TacComboListWnd::CreateForList(inner, true, true, "", manager.get());
    EXPECT_EQ(strip(), behind);
    FreeAdapter(a);
    win::DestroyWindow(simple);
}

}  // namespace
}  // namespace skin::testing
