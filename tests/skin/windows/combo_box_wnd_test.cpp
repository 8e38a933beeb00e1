// The combo box adapter on the platform's combo boxes, as a dialog's children get it.
#include "skin/windows/scroll/combo_box_wnd.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/object_table.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

class ComboBoxWndTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        form->Show();
        Pump();
    }
    void TearDown() override {
        if (adapter) {
            TacMainWnd* a = adapter;
            FreeAdapter(a);
        }
        WindowsTest::TearDown();
    }
    win::HWND MakeCombo(uint32_t kind, uint32_t exStyle = 0, bool adapted = true) {
        win::HWND c = win::CreateWindowExA(exStyle, "ComboBox", "",
                                           win::WS_CHILD | win::WS_VISIBLE | win::WS_VSCROLL | kind,
                                           10, 10, 150, 160, form->Handle(), nullptr, nullptr, nullptr);
        for (int i = 0; i < 30; ++i) {
            std::string s = "item " + std::to_string(i);
            win::SendMessageA(c, win::CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(s.c_str()));
        }
        win::SendMessageA(c, win::CB_SETCURSEL, 2, 0);
        if (adapted) Adapt(c);
        return c;
    }
    void Adapt(win::HWND c) {
        DialogChildMode = true;
        adapter = AttachAdapter<TacComboBoxWnd>(c, nullptr, nullptr, "COMBOBOX");
        DialogChildMode = false;
        Pump();
    }
    void Drop(win::HWND combo, bool down) {
        win::SendMessageA(combo, win::CB_SHOWDROPDOWN, down, 0);
        Pump();
    }
    TacComboBoxWnd* adapter = nullptr;
};

// The button lies at the right, at the left with WS_EX_LEFTSCROLLBAR, and a simple combo has
// none; the skin's button shows there on the screen, and it sinks while the list is down.
TEST_F(ComboBoxWndTest, TheButtonsPlaceAndLook) {
    const int cx = win::GetSystemMetrics(win::SM_CXVSCROLL);
    struct Case {
        uint32_t kind, ex;
        int left, width;  // left -1: at the right edge
    } cases[] = {{win::CBS_DROPDOWNLIST, 0, -1, cx},
                 {win::CBS_DROPDOWN, 0, -1, cx},
                 {win::CBS_DROPDOWNLIST, win::WS_EX_LEFTSCROLLBAR, 2, cx},
                 {win::CBS_SIMPLE, 0, -1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        win::HWND combo = MakeCombo(c.kind, c.ex);
        win::RECT wr{};
        win::GetWindowRect(combo, &wr);
        const int w = wr.right - wr.left, h = wr.bottom - wr.top;
        const win::RECT b = adapter->ButtonRect();
        EXPECT_EQ(b.left, c.left < 0 ? w - 2 - c.width : c.left);
        EXPECT_EQ(b.right - b.left, c.width);
        EXPECT_EQ(b.top, 2);
        EXPECT_EQ(b.bottom, h - 2);
        if (c.width > 0) {
            // The screen shows the cache, whose button is painted from the skin in the state.
            const win::POINT mid{(b.left + b.right) / 2, 3};
            const auto cached = [&] {
                return vcl::ColorToRGB(adapter->SkinData->CacheBmp()->Canvas()->Pixels(mid.x, mid.y));
            };
            EXPECT_EQ(WindowPixel(combo, mid.x, mid.y), cached());
            EXPECT_EQ(adapter->ButtonState(), 0);
            const auto idle = cached();
            Drop(combo, true);
            EXPECT_EQ(adapter->ButtonState(), 2);
            EXPECT_NE(WindowPixel(combo, mid.x, mid.y), idle);
            Drop(combo, false);
        }
        TacMainWnd* a = adapter;
        FreeAdapter(a);
        adapter = nullptr;
        win::DestroyWindow(combo);
    }
}

// Two hundred drop-downs: one list adapter, one brush (a skin change makes it anew, once), and
// no drawing object more at the end than at the start; a list adapter that went is replaced;
// freeing the adapter frees them all.
TEST_F(ComboBoxWndTest, OneListAdapterAndNoGdiGrowthOverManyDropDowns) {
    // The objects made once for the process come with a first adapter and its drop-down.
    win::HWND combo = MakeCombo(win::CBS_DROPDOWNLIST);
    Drop(combo, true);
    Drop(combo, false);
    TacMainWnd* first = adapter;
    FreeAdapter(first);
    const size_t before = win::detail::LiveHandleCount();
    Adapt(combo);
    Drop(combo, true);
    Drop(combo, false);
    TacMainWnd* list = adapter->ListAdapter;
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->InDialog);
    ASSERT_NE(adapter->ListBrush, nullptr);
    const size_t settled = win::detail::LiveHandleCount();
    for (int i = 0; i < 200; ++i) {
        Drop(combo, true);
        ASSERT_TRUE(win::IsWindowVisible(list->CtrlHandle));
        Drop(combo, false);
        if (i == 100) Command(combo, SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    }
    EXPECT_EQ(adapter->ListAdapter, list);
    EXPECT_EQ(FindWindowAdapter(list->CtrlHandle), list);
    EXPECT_NE(adapter->ListBrush, nullptr);
    EXPECT_EQ(win::detail::LiveHandleCount(), settled);
    // The list's colours are the section's.
    const TsGeneralData* s = adapter->SkinData->Section();
    ASSERT_NE(s, nullptr);
    win::HDC dc = win::GetDC(list->CtrlHandle);
    win::SendMessageA(combo, win::WM_CTLCOLORLISTBOX, reinterpret_cast<uintptr_t>(dc),
                      reinterpret_cast<intptr_t>(list->CtrlHandle));
    EXPECT_EQ(win::GetBkColor(dc), uint32_t(s->Color));
    win::ReleaseDC(list->CtrlHandle, dc);

    list->Unhook(false);
    Drop(combo, true);
    ASSERT_NE(adapter->ListAdapter, nullptr);
    EXPECT_FALSE(adapter->ListAdapter->Unhooked);
    EXPECT_EQ(FindWindowAdapter(adapter->ListAdapter->CtrlHandle), adapter->ListAdapter);
    Drop(combo, false);
    TacMainWnd* a = adapter;
    FreeAdapter(a);
    adapter = nullptr;
    EXPECT_EQ(win::detail::LiveHandleCount(), before);
    win::DestroyWindow(combo);
}

}  // namespace
}  // namespace skin::testing
