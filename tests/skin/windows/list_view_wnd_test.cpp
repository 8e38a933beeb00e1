// The list view adapter on the platform's list view and its header, and the tree view adapter
// on a small fake tree that answers the tree messages from a table.
#include "skin/windows/scroll/list_view_wnd.h"
#include "skin/windows/scroll/tree_view_wnd.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/controls/header_control.h"
#include "platform/controls/list_view_control.h"
#include "platform/gdi/sys_colors.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/state/common_data.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

using Pixels = std::vector<uint32_t>;

class ListViewWndTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        form->Show();
        list = win::CreateWindowExA(0, win::WC_LISTVIEWA, "",
                                    win::WS_CHILD | win::WS_VISIBLE | win::LVS_REPORT, 10, 10, 260,
                                    150, form->Handle(), nullptr, nullptr, nullptr);
        int widths[] = {60, 70, 80};
        const char* names[] = {"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            win::LVCOLUMNA col;
            col.mask = win::LVCF_WIDTH | win::LVCF_TEXT;
            col.cx = widths[i];
            col.pszText = const_cast<char*>(names[i]);
            win::SendMessageA(list, win::LVM_INSERTCOLUMNA, win::WPARAM(i), reinterpret_cast<intptr_t>(&col));
        }
        for (int i = 0; i < 60; ++i) {
            std::string s = "row " + std::to_string(i);
            win::LVITEMA item;
            item.mask = win::LVIF_TEXT;
            item.iItem = i;
            item.pszText = s.data();
            win::SendMessageA(list, win::LVM_INSERTITEMA, 0, reinterpret_cast<intptr_t>(&item));
        }
        header = win::FindWindowExA(list, nullptr, win::WC_HEADERA, nullptr);
        ASSERT_NE(header, nullptr);
        win::SetWindowLongA(header, win::GWL_STYLE,
                            win::GetWindowLongA(header, win::GWL_STYLE) | int32_t(win::HDS_DRAGDROP));
        int order[] = {2, 0, 1};
        win::SendMessageA(header, win::HDM_SETORDERARRAY, 3, reinterpret_cast<intptr_t>(order));
        DialogChildMode = true;
        adapter = AttachAdapter<TacListViewWnd>(list, nullptr, nullptr, "EDIT", true);
        DialogChildMode = false;
        Pump();
    }
    void TearDown() override {
        TacMainWnd* a = adapter;
        FreeAdapter(a);
        WindowsTest::TearDown();
    }
    // The pixels of one item of the header as it prints (`probe`: only the one clear of the
    // caption, in the middle row 8 pixels from the right).
    Pixels Item(int index, bool probe = false) {
        win::RECT hr{};
        win::GetClientRect(header, &hr);
        vcl::TBitmap bmp;
        bmp.SetPixelFormat(vcl::pf24bit);
        bmp.SetSize(hr.right, hr.bottom);
        win::SendMessageA(header, win::WM_PRINT, reinterpret_cast<uintptr_t>(bmp.Canvas()->Handle()),
                          win::PRF_CLIENT);
        Pixels px;
        for (const auto& [i, r] : adapter->HeaderItems())
            if (i == index && probe)
                px.push_back(uint32_t(bmp.Canvas()->Pixels(r.right - 8, (r.top + r.bottom) / 2)));
            else if (i == index)
                for (int y = r.top; y < r.bottom; ++y)
                    for (int x = r.left; x < r.right; ++x)
                        px.push_back(uint32_t(bmp.Canvas()->Pixels(x, y)));
        return px;
    }
    uint32_t Back(int index) {
        Pixels p = Item(index, true);
        return p.empty() ? 0 : p[0];
    }
    win::POINT OnItem(int index) {
        for (const auto& [i, r] : adapter->HeaderItems())
            if (i == index) {
                win::POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                win::ClientToScreen(header, &p);
                return p;
            }
        return {};
    }
    void SetFormat(int index, int fmt) {
        win::HDITEMA item;
        item.mask = win::HDI_FORMAT;
        item.fmt = fmt;
        win::SendMessageA(header, win::HDM_SETITEMA, win::WPARAM(index), reinterpret_cast<intptr_t>(&item));
    }

    win::HWND list = nullptr, header = nullptr;
    TacListViewWnd* adapter = nullptr;
};

// The items follow the order array, placed by their widths; a width beyond 999999 ends them.
TEST_F(ListViewWndTest, HeaderItemsFollowTheOrderArray) {
    auto items = adapter->HeaderItems();
    ASSERT_EQ(items.size(), 3u);
    const int want[][3] = {{2, 0, 80}, {0, 80, 140}, {1, 140, 210}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i].first, want[i][0]);
        EXPECT_EQ(items[i].second.left, want[i][1]);
        EXPECT_EQ(items[i].second.right, want[i][2]);
    }
    win::HDITEMA wide;
    wide.mask = win::HDI_WIDTH;
    wide.cxy = 1000000;
    win::SendMessageA(header, win::HDM_SETITEMA, 0, reinterpret_cast<intptr_t>(&wide));
    items = adapter->HeaderItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].first, 2);
}

// The mouse lights the item under it, a press sinks it, the list's area puts both out; a sort
// flag draws the skin's arrow, another one for each direction.
TEST_F(ListViewWndTest, HeaderHotPressedAndSortLooks) {
    const uint32_t normal = Back(0);
    ASSERT_EQ(Back(1), normal);
    QueueMove(OnItem(0).x, OnItem(0).y);
    Pump();
    EXPECT_EQ(adapter->HotColumn, 0);
    const uint32_t hot = Back(0);
    EXPECT_NE(hot, normal);
    EXPECT_EQ(Back(1), normal);

    Down(OnItem(1));
    EXPECT_EQ(adapter->PressedColumn, 1);
    const uint32_t pressed = Back(1);
    EXPECT_NE(pressed, normal);
    EXPECT_EQ(Back(0), normal);
    Up(OnItem(1));
    EXPECT_EQ(adapter->PressedColumn, -1);

    win::RECT lr{};
    win::GetWindowRect(list, &lr);
    QueueMove(lr.left + 100, lr.bottom - 30);
    Pump();
    EXPECT_EQ(adapter->HotColumn, -1);
    EXPECT_EQ(Back(1), normal);

    const Pixels plain = Item(2);
    SetFormat(2, win::HDF_SORTUP);
    const Pixels up = Item(2);
    SetFormat(2, win::HDF_SORTDOWN);
    const Pixels down = Item(2);
    EXPECT_NE(up, plain);
    EXPECT_NE(down, plain);
    EXPECT_NE(up, down);
}

// Dragging the skinned thumb scrolls the list by whole rows to the tracked place.
TEST_F(ListViewWndTest, TheThumbScrollsTheList) {
    ASSERT_TRUE(adapter->VBar.Shown);
    const win::RECT v = adapter->BarRects().vert;
    const int arrow = adapter->BarArrowLength(adapter->VBar, false);
    const win::POINT from{(v.left + v.right) / 2, v.top + arrow + 3};
    Down(from);
    QueueMove(from.x, from.y + 40);
    Pump();
    const intptr_t top = win::SendMessageA(list, win::LVM_GETTOPINDEX, 0, 0);
    EXPECT_GT(top, 0);
    EXPECT_EQ(top, ScrollMouse().LastTrackPosition);
    Up(win::POINT{from.x, from.y + 40});
    win::SCROLLINFO si;
    si.fMask = win::SIF_POS;
    win::GetScrollInfo(list, win::SB_VERT, &si);
    EXPECT_EQ(win::SendMessageA(list, win::LVM_GETTOPINDEX, 0, 0), top);
    EXPECT_EQ(si.nPos, top);
}

// ---- the tree view on a fake ----

std::map<win::UINT, intptr_t>& TreeColors() {
    static std::map<win::UINT, intptr_t> colors;
    return colors;
}

// Keeps what the tree messages set and answers it back.
win::LRESULT FakeTreeProc(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    switch (msg) {
        case TVM_SETBKCOLOR:
        case TVM_SETTEXTCOLOR: {
            const intptr_t old = TreeColors()[msg];
            TreeColors()[msg] = lp;
            return old;
        }
        case TVM_GETBKCOLOR:
            return TreeColors()[TVM_SETBKCOLOR];
        case TVM_GETTEXTCOLOR:
            return TreeColors()[TVM_SETTEXTCOLOR];
        default:
            return win::DefWindowProcA(h, msg, wp, lp);
    }
}

using TreeViewWndTest = WindowsTest;

// The field and items take the section's hot colours, a dialog's tree the system's; the
// background is erased in the field's colour; the system colours come back with the adapter.
TEST_F(TreeViewWndTest, ColoursOfTheFieldAndItems) {
    win::WNDCLASSEXA wc;
    wc.lpfnWndProc = &FakeTreeProc;
    wc.lpszClassName = "FakeTree";
    win::RegisterClassExA(&wc);
    form->Show();
    const uint32_t window = win::GetSysColor(win::COLOR_WINDOW);
    const uint32_t windowText = win::GetSysColor(win::COLOR_WINDOWTEXT);
    // A section whose hot colours tell it from the system's.
    const TsGeneralData* edit = nullptr;
    for (const TsGeneralData& s : manager->Sections())
        if (uint32_t(s.HotColor) != window && uint32_t(s.HotFontColor) != windowText && !edit) edit = &s;
    ASSERT_NE(edit, nullptr);
    struct Case {
        bool dialog;
        uint32_t field, text;
    } cases[] = {{false, uint32_t(edit->HotColor), uint32_t(edit->HotFontColor)},
                 {true, window, windowText}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        TreeColors().clear();
        win::HWND tree = win::CreateWindowExA(0, "FakeTree", "", win::WS_CHILD | win::WS_VISIBLE, 10, 10,
                                              120, 100, form->Handle(), nullptr, nullptr, nullptr);
        DialogChildMode = c.dialog;
        TacMainWnd* a = AttachAdapter<TacTreeViewWnd>(tree, nullptr, nullptr, edit->SectionName, true);
        DialogChildMode = false;
        EXPECT_EQ(uint32_t(win::SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)), c.field);
        EXPECT_EQ(uint32_t(win::SendMessageA(tree, TVM_GETTEXTCOLOR, 0, 0)), c.text);
        vcl::TBitmap bmp;
        bmp.SetPixelFormat(vcl::pf24bit);
        bmp.SetSize(120, 100);
        win::SendMessageA(tree, win::WM_ERASEBKGND, reinterpret_cast<uintptr_t>(bmp.Canvas()->Handle()), 0);
        EXPECT_EQ(vcl::ColorToRGB(bmp.Canvas()->Pixels(60, 50)), c.field);
        FreeAdapter(a);
        EXPECT_EQ(uint32_t(win::SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)), window);
        EXPECT_EQ(uint32_t(win::SendMessageA(tree, TVM_GETTEXTCOLOR, 0, 0)), windowText);
        win::DestroyWindow(tree);
    }
}

}  // namespace
}  // namespace skin::testing
