#include "vcl/controls/list_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/header_control.h"
#include "platform/controls/list_view_control.h"
#include "platform/gdi/image_list.h"
#include "platform/os/cp_literal.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/system/exceptions.h"

namespace vcl::testing {
namespace {

// The list manager's list: three columns, read-only, whole rows selected.
class ListViewTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application()->CreateForm(form);
        form->SetBounds(50, 50, 420, 300);
        lv = New<TListView>(form);
        lv->SetParent(form);
        lv->SetBounds(10, 10, 380, 200);
        lv->SetViewStyle(vsReport);
        lv->SetReadOnly(true);
        lv->SetRowSelect(true);
        const char* names[] = {"Имя"_cp, "Всего номеров"_cp, "Обработанных"_cp};
        const int widths[] = {140, 90, 90};
        for (int i = 0; i < 3; ++i) {
            TListColumn* c = lv->Columns()->Add();
            c->SetCaption(names[i]);
            c->SetWidth(widths[i]);
            if (i) c->SetAlignment(taRightJustify);
        }
    }
    TListItem* AddRow(const std::string& name, int total, int done) {
        TListItem* item = lv->Items()->Add();
        item->SetCaption(name);
        item->SubItems()->Add(std::to_string(total));
        item->SubItems()->Add(std::to_string(done));
        return item;
    }
    void ShowIt() {
        form->Show();
        Pump();
    }
    std::string WindowText(int item, int sub) {
        char buf[64] = {};
        win::LVITEMA it;
        it.iSubItem = sub;
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        win::SendMessageA(lv->Handle(), win::LVM_GETITEMTEXTA, item,
                          reinterpret_cast<win::LPARAM>(&it));
        return buf;
    }
    win::RECT Row(int item) {
        win::RECT r{win::LVIR_BOUNDS};
        win::SendMessageA(lv->Handle(), win::LVM_GETITEMRECT, item,
                          reinterpret_cast<win::LPARAM>(&r));
        return r;
    }
    void ClickRow(int item, bool twice = false) {
        const TPoint p = lv->ClientToScreen({20, Row(item).top + 3});
        QueueMove(p.X, p.Y);
        for (int i = 0; i < (twice ? 2 : 1); ++i) {
            win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
            win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
        }
        Pump();
        clock_.Advance(1000);
    }
    win::HWND Header() {
        return win::FindWindowExA(lv->Handle(), nullptr, win::WC_HEADERA, nullptr);
    }

    TForm* form = nullptr;
    TListView* lv = nullptr;
};

TEST_F(ListViewTest, ItemsAndColumnsReachTheWindowWheneverItIsMade) {
    AddRow("Первый"_cp, 10, 4);  // before the window exists
    ShowIt();
    AddRow("Второй"_cp, 0, 0);
    EXPECT_EQ(lv->Items()->Count(), 2);
    EXPECT_EQ(win::SendMessageA(lv->Handle(), win::LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(WindowText(0, 0), "Первый"_cp);
    EXPECT_EQ(WindowText(0, 2), "4");
    EXPECT_EQ(WindowText(1, 1), "0");
    ASSERT_NE(Header(), nullptr);
    EXPECT_EQ(win::SendMessageA(Header(), win::HDM_GETITEMCOUNT, 0, 0), 3);
    win::RECT r;
    win::SendMessageA(Header(), win::HDM_GETITEMRECT, 2, reinterpret_cast<win::LPARAM>(&r));
    EXPECT_EQ(r.left, 230);

    // Sub-items, captions and columns follow their changes.
    lv->Items()->Item(0)->SubItems()->Put(1, "5");
    lv->Items()->Item(1)->SetCaption("Другой"_cp);
    EXPECT_EQ(WindowText(0, 2), "5");
    EXPECT_EQ(WindowText(1, 0), "Другой"_cp);
    lv->Columns()->Items(1)->SetCaption("Всего"_cp);
    char text[32] = {};
    win::HDITEMA hd;
    hd.mask = win::HDI_TEXT | win::HDI_FORMAT;
    hd.pszText = text;
    hd.cchTextMax = sizeof text;
    win::SendMessageA(Header(), win::HDM_GETITEMA, 1, reinterpret_cast<win::LPARAM>(&hd));
    EXPECT_STREQ(text, "Всего"_cp);
    EXPECT_EQ(hd.fmt & win::HDF_JUSTIFYMASK, win::HDF_RIGHT);
    // Without the middle column the last texts stand under the second heading.
    lv->Columns()->Delete(1);
    EXPECT_EQ(win::SendMessageA(Header(), win::HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(WindowText(0, 1), "10");

    // A divider dragged by the operator, and a selection, outlive a new window.
    const TPoint d = lv->ClientToScreen({139, 5});
    QueueMove(d.X, d.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {d.X, d.Y}, win::MouseButton::Left});
    QueueMove(d.X + 20, d.Y);
    win::QueueMouseEvent({win::MouseEvent::Up, {d.X + 20, d.Y}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(lv->Columns()->Items(0)->Width(), 160);
    lv->SetItemIndex(1);
    lv->SetBorderStyle(bsNone);  // a new window
    EXPECT_EQ(win::SendMessageA(lv->Handle(), win::LVM_GETCOLUMNWIDTH, 0, 0), 160);
    EXPECT_EQ(lv->ItemIndex(), 1);
    EXPECT_EQ(WindowText(1, 0), "Другой"_cp);

    lv->Items()->Clear();
    EXPECT_EQ(win::SendMessageA(lv->Handle(), win::LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_THROW(lv->Items()->Item(0), EListError);
}

TEST_F(ListViewTest, SelectionByClickAndByCode) {
    for (int i = 0; i < 4; ++i)
        AddRow("L" + std::to_string(i), i, 0);
    std::vector<std::pair<int, bool>> events;
    lv->OnSelectItem = TLVSelectItemEvent::FromCallable([&](TObject*, TListItem* item, bool on) {
        events.push_back({item->Index(), on});
    });
    EXPECT_EQ(lv->Selected(), nullptr);
    lv->Items()->Item(2)->SetSelected(true);  // before the window: kept by the item
    EXPECT_EQ(lv->ItemIndex(), 2);
    ShowIt();
    EXPECT_EQ(lv->ItemIndex(), 2);
    EXPECT_TRUE(events.empty());  // giving the window its items is no selection
    ClickRow(3);
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(3));
    EXPECT_TRUE(lv->Items()->Item(3)->Focused());
    EXPECT_EQ(events, (std::vector<std::pair<int, bool>>{{2, false}, {3, true}}));
    lv->SetItemIndex(0);
    EXPECT_TRUE(lv->Items()->Item(0)->Selected());
    EXPECT_FALSE(lv->Items()->Item(3)->Selected());
    EXPECT_EQ(lv->SelCount(), 1);
    lv->SetItemIndex(-1);
    EXPECT_EQ(lv->Selected(), nullptr);
    EXPECT_THROW(lv->SetItemIndex(4), EListError);
    EXPECT_EQ(lv->GetItemAt(20, Row(1).top + 2), lv->Items()->Item(1));
    // Deleting an item takes its row.
    lv->Items()->Delete(1);
    EXPECT_EQ(WindowText(1, 0), "L2");
}

TEST_F(ListViewTest, OddRowsTakeTheColourTheHandlerGives) {
    for (int i = 0; i < 4; ++i)
        AddRow("L" + std::to_string(i), i, 0);
    const win::COLORREF odd = RGB(238, 238, 255);
    lv->OnCustomDrawItem = TLVCustomDrawItemEvent::FromCallable(
        [&](TCustomListView* sender, TListItem* item, TCustomDrawState, bool&) {
            if (item->Index() % 2 == 1) sender->Canvas()->Brush()->SetColor(odd);
        });
    ShowIt();
    auto at = [&](int row, int x) { return ScreenPixel(lv, x, Row(row).bottom - 2); };
    EXPECT_EQ(at(0, 300), ColorToRGB(clWindow));
    EXPECT_EQ(at(1, 300), odd);
    EXPECT_EQ(at(3, 100), odd);
    EXPECT_EQ(at(2, 100), ColorToRGB(clWindow));
    // The list's Color shows where the handler leaves the brush alone.
    lv->SetColor(clYellow);
    Pump();
    EXPECT_EQ(at(2, 100), ColorToRGB(clYellow));
    EXPECT_EQ(at(1, 100), odd);
    // A whole-control handler that draws itself keeps the rows from being painted.
    lv->OnCustomDraw = TLVCustomDrawEvent::FromCallable(
        [](TCustomListView* sender, const TRect& r, bool& defaultDraw) {
            sender->Canvas()->Brush()->SetColor(clRed);
            sender->Canvas()->FillRect(r);
            defaultDraw = false;
        });
    lv->Invalidate();
    Pump();
    EXPECT_EQ(at(1, 100), ColorToRGB(clRed));
}

TEST_F(ListViewTest, DoubleClicksAndColumnClicks) {
    AddRow("A", 1, 1);
    AddRow("B", 2, 2);
    int dbl = 0;
    std::vector<std::string> clicked;
    lv->OnDblClick = TNotifyEvent::FromCallable([&](TObject*) {
        ++dbl;
        EXPECT_EQ(lv->ItemIndex(), 1);  // the first click of the two selected the row
    });
    lv->OnColumnClick = TLVColumnClickEvent::FromCallable(
        [&](TObject*, TListColumn* c) { clicked.push_back(c->Caption()); });
    ShowIt();
    ClickRow(1, true);
    EXPECT_EQ(dbl, 1);
    const TPoint h = lv->ClientToScreen({180, 5});
    QueueClick(lv);  // on the rows: no column click
    QueueMove(h.X, h.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {h.X, h.Y}, win::MouseButton::Left});
    win::QueueMouseEvent({win::MouseEvent::Up, {h.X, h.Y}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(clicked, std::vector<std::string>{"Всего номеров"_cp});
    clock_.Advance(1000);
    lv->SetColumnClick(false);
    win::QueueMouseEvent({win::MouseEvent::Down, {h.X, h.Y}, win::MouseButton::Left});
    win::QueueMouseEvent({win::MouseEvent::Up, {h.X, h.Y}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(clicked.size(), 1u);
}

TEST_F(ListViewTest, PropertiesBecomeTheWindowsStyles) {
    ShowIt();
    win::HWND h = lv->Handle();
    auto ex = [&] {
        return static_cast<uint32_t>(win::SendMessageA(h, win::LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    };
    auto style = [&] { return static_cast<uint32_t>(win::GetWindowLongPtrA(h, win::GWL_STYLE)); };
    EXPECT_EQ(ex(), win::LVS_EX_FULLROWSELECT);
    lv->SetGridLines(true);
    lv->SetFullDrag(true);
    EXPECT_EQ(ex(), win::LVS_EX_FULLROWSELECT | win::LVS_EX_GRIDLINES | win::LVS_EX_HEADERDRAGDROP);
    EXPECT_TRUE(win::GetWindowLongPtrA(Header(), win::GWL_STYLE) & win::HDS_DRAGDROP);
    EXPECT_TRUE(style() & win::LVS_SINGLESEL);
    EXPECT_FALSE(style() & (win::LVS_SHOWSELALWAYS | win::LVS_EDITLABELS));
    lv->SetHideSelection(false);
    lv->SetMultiSelect(true);
    EXPECT_TRUE(style() & win::LVS_SHOWSELALWAYS);
    EXPECT_FALSE(style() & win::LVS_SINGLESEL);
    lv->SetShowColumnHeaders(false);
    EXPECT_FALSE(win::IsWindowVisible(Header()));
    lv->SetViewStyle(vsList);
    EXPECT_EQ(win::SendMessageA(h, win::LVM_GETVIEW, 0, 0), win::LV_VIEW_LIST);
    lv->SetColor(clAqua);
    EXPECT_EQ(win::SendMessageA(h, win::LVM_GETBKCOLOR, 0, 0), ColorToRGB(clAqua));
    win::HIMAGELIST images = win::ImageList_Create(16, 16, win::ILC_COLOR32, 1, 1);
    lv->SetSmallImages(images);
    EXPECT_EQ(reinterpret_cast<win::HIMAGELIST>(
                  win::SendMessageA(h, win::LVM_GETIMAGELIST, win::LVSIL_SMALL, 0)),
              images);
    lv->SetSmallImages(nullptr);
    win::ImageList_Destroy(images);
    // The rest are kept by name for the forms that set them.
    SetOrdProp(lv, "HotTrack", 1);
    SetOrdProp(lv, "SortType", stText);
    EXPECT_EQ(GetOrdProp(lv, "HotTrack"), 1);
    EXPECT_EQ(GetOrdProp(lv, "SortType"), stText);
    EXPECT_EQ(GetOrdProp(lv, "HoverTime"), -1);
    EXPECT_EQ(GetObjectProp(lv, "Columns"), lv->Columns());
}

}  // namespace
}  // namespace vcl::testing
