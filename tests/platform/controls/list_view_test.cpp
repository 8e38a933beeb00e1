#include <string>
#include <vector>

#include "platform/controls/header_control.h"
#include "platform/controls/list_view_control.h"
#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

class ListViewTest : public ControlsTest {
protected:
    HWND MakeList(DWORD style, int w = 300, int h = 200) {
        return Child(WC_LISTVIEWA, "", style, 7, 10, 10, w, h);
    }
    static void AddColumn(HWND lv, const char* text, int width, int fmt = LVCFMT_LEFT) {
        LVCOLUMNA c;
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = const_cast<char*>(text);
        c.cx = width;
        c.fmt = fmt;
        const int n = static_cast<int>(SendMessageA(Header(lv), HDM_GETITEMCOUNT, 0, 0));
        SendMessageA(lv, LVM_INSERTCOLUMNA, n, reinterpret_cast<LPARAM>(&c));
    }
    static int AddItem(HWND lv, std::vector<std::string> texts) {
        LVITEMA it;
        it.mask = LVIF_TEXT;
        it.iItem = static_cast<int>(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0));
        it.pszText = texts[0].data();
        const int i =
            static_cast<int>(SendMessageA(lv, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
        for (std::size_t s = 1; s < texts.size(); ++s) {
            it.iSubItem = static_cast<int>(s);
            it.pszText = texts[s].data();
            SendMessageA(lv, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&it));
        }
        return i;
    }
    static std::string Text(HWND lv, int i, int sub) {
        char buf[64] = {};
        LVITEMA it;
        it.iSubItem = sub;
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        SendMessageA(lv, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&it));
        return buf;
    }
    static UINT State(HWND lv, int i) {
        return static_cast<UINT>(SendMessageA(lv, LVM_GETITEMSTATE, i, 0xFFFF));
    }
    static RECT ItemRect(HWND lv, int i, int code = LVIR_BOUNDS) {
        RECT r{code, 0, 0, 0};
        SendMessageA(lv, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static HWND Header(HWND lv) { return FindWindowExA(lv, nullptr, WC_HEADERA, nullptr); }
    void Mouse(HWND h, MouseEvent::Kind kind, int x, int y) {
        POINT p{x, y};
        ClientToScreen(h, &p);
        QueueMouseEvent(
            MouseEvent{kind, p, kind == MouseEvent::Move ? MouseButton::None : MouseButton::Left});
    }
    void ClickAt(HWND h, int x, int y) {
        Mouse(h, MouseEvent::Move, x, y);
        Mouse(h, MouseEvent::Down, x, y);
        Mouse(h, MouseEvent::Up, x, y);
        Pump();
        clock_.Advance(1000);  // the next click is not a double click
    }
    void Drag(HWND h, int x1, int y1, int x2, int y2) {
        Mouse(h, MouseEvent::Move, x1, y1);
        Mouse(h, MouseEvent::Down, x1, y1);
        Mouse(h, MouseEvent::Move, (x1 + x2) / 2, (y1 + y2) / 2);
        Mouse(h, MouseEvent::Move, x2, y2);
        Mouse(h, MouseEvent::Up, x2, y2);
        Pump();
        clock_.Advance(1000);
    }
    // A list of three columns (60, 80, 100 wide) and `rows` items "r<i>", "a<i>", "b<i>".
    HWND Filled(DWORD style, int rows) {
        HWND lv = MakeList(style);
        AddColumn(lv, "Name", 60);
        AddColumn(lv, "A", 80);
        AddColumn(lv, "B", 100, LVCFMT_RIGHT);
        for (int i = 0; i < rows; ++i) {
            const std::string n = std::to_string(i);
            AddItem(lv, {"r" + n, "a" + n, "b" + n});
        }
        Pump();
        return lv;
    }
};

TEST_F(ListViewTest, TheHeaderIsAChildMadeAfterTheListAndHoldsTheColumns) {
    HWND lv = MakeList(LVS_REPORT);
    HWND header = Header(lv);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(lv, LVM_GETHEADER, 0, 0)), header);
    // Made by the list once it existed: the notice went through the list to its parent.
    EXPECT_EQ(GetParent(header), lv);
    bool heard = false;
    for (const Note& n : Notes())
        heard |= n.msg == WM_PARENTNOTIFY && LOWORD(n.wp) == WM_CREATE &&
                 n.lp == reinterpret_cast<LPARAM>(header);
    EXPECT_TRUE(heard);

    AddColumn(lv, "Name", 60);
    AddColumn(lv, "Count", 80, LVCFMT_RIGHT);
    LVCOLUMNA image;
    image.mask = LVCF_IMAGE | LVCF_FMT;
    image.fmt = LVCFMT_CENTER | LVCFMT_IMAGE;
    image.iImage = 3;
    SendMessageA(lv, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&image));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
    char text[4];
    HDITEMA hd;
    hd.mask = 54;  // text, format, bitmap, image
    hd.pszText = text;
    hd.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&hd)));
    EXPECT_STREQ(text, "Nam");  // cut to the buffer
    EXPECT_EQ(hd.fmt & (HDF_JUSTIFYMASK | HDF_IMAGE), HDF_CENTER | HDF_IMAGE);
    EXPECT_EQ(hd.iImage, 3);
    EXPECT_EQ(hd.hbm, nullptr);
    RECT r;
    ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)));
    EXPECT_EQ(r.left, 60);
    EXPECT_EQ(r.right, 140);
    // A sort arrow is drawn right of a right-aligned heading's text.
    auto arrowShown = [&] {
        Pump();
        RECT hr;
        GetClientRect(header, &hr);
        for (int x = 122; x < 136; ++x)
            for (int y = 3; y < hr.bottom - 3; ++y)
                if (Pixel(header, x, y) == GetSysColor(COLOR_BTNSHADOW)) return true;
        return false;
    };
    EXPECT_FALSE(arrowShown());
    HDITEMA sort;
    sort.mask = HDI_FORMAT;
    sort.fmt = HDF_RIGHT | HDF_STRING | HDF_SORTUP;
    SendMessageA(header, HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&sort));
    EXPECT_TRUE(arrowShown());
    // The small images go to the header as well.
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    SendMessageA(lv, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(il));
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(header, HDM_GETIMAGELIST, 0, 0)), il);
    ImageList_Destroy(il);

    // The header can be subclassed: its own procedure still answers what is passed on.
    static WNDPROC old;
    static int paints;
    paints = 0;
    old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(header, GWL_WNDPROC));
    SetWindowLongPtrA(header, GWL_WNDPROC,
                      reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) {
                          if (m == WM_PAINT) ++paints;
                          return CallWindowProcA(old, h, m, w, l);
                      }));
    InvalidateRect(header, nullptr, TRUE);
    Pump();
    EXPECT_GT(paints, 0);
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
    // Outside report view it hides.
    SetWindowLongPtrA(lv, GWL_STYLE, (GetWindowLongPtrA(lv, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_LIST);
    EXPECT_FALSE(IsWindowVisible(header));
    EXPECT_EQ(SendMessageA(lv, LVM_GETVIEW, 0, 0), LV_VIEW_LIST);
}

TEST_F(ListViewTest, HeaderHitTestsFindItemsAndDividers) {
    HWND lv = Filled(LVS_REPORT, 0);
    HWND header = Header(lv);
    LVCOLUMNA hidden;
    hidden.mask = LVCF_WIDTH;
    hidden.cx = 0;
    SendMessageA(lv, LVM_SETCOLUMNA, 1,
                 reinterpret_cast<LPARAM>(&hidden));  // 0..60, 60..60, 60..160
    auto hit = [&](int x) {
        HDHITTESTINFO info;
        info.pt = {x, 5};
        const int item =
            static_cast<int>(SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
        EXPECT_EQ(item, info.iItem);
        return std::pair<UINT, int>{info.flags, item};
    };
    EXPECT_EQ(hit(20), (std::pair<UINT, int>{HHT_ONHEADER, 0}));
    EXPECT_EQ(hit(58), (std::pair<UINT, int>{HHT_ONDIVIDER, 0}));
    EXPECT_EQ(hit(62), (std::pair<UINT, int>{HHT_ONDIVOPEN, 1}));
    EXPECT_EQ(hit(100), (std::pair<UINT, int>{HHT_ONHEADER, 2}));
    EXPECT_EQ(hit(250), (std::pair<UINT, int>{HHT_NOWHERE, -1}));
    EXPECT_EQ(hit(-3).first, static_cast<UINT>(HHT_TOLEFT));
}

TEST_F(ListViewTest, DraggingADividerResizesItsColumnAndClicksOnHeadingsAreTold) {
    HWND lv = Filled(LVS_REPORT, 3);
    HWND header = Header(lv);
    Notes().clear();
    Drag(header, 59, 5, 89, 5);  // the first divider, 30 to the right
    EXPECT_EQ(SendMessageA(lv, LVM_GETCOLUMNWIDTH, 0, 0), 90);
    EXPECT_EQ(ItemRect(lv, 0, LVIR_LABEL).right, 90);
    const std::vector<UINT> codes = NotifyCodes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LVN_COLUMNCLICK), 0);  // a divider is no click

    ClickAt(header, 120, 5);  // the second heading, 90..170
    std::vector<int> clicked;
    OnNotify() = [&](NMHDR* nm) -> LRESULT {
        if (nm->code == LVN_COLUMNCLICK)
            clicked.push_back(reinterpret_cast<NMLISTVIEW*>(nm)->iSubItem);
        return 0;
    };
    ClickAt(header, 200, 5);
    EXPECT_EQ(clicked, std::vector<int>{2});
    // Released away from the heading it was pressed on: no click.
    Drag(header, 200, 5, 100, 40);
    EXPECT_EQ(clicked, std::vector<int>{2});
    // Without sort headers the headings are no buttons.
    SetWindowLongPtrA(lv, GWL_STYLE, GetWindowLongPtrA(lv, GWL_STYLE) | LVS_NOSORTHEADER);
    ClickAt(header, 200, 5);
    EXPECT_EQ(clicked, std::vector<int>{2});
}

TEST_F(ListViewTest, HeadingsDraggedToAnotherPlaceMoveTheirColumns) {
    HWND lv = Filled(LVS_REPORT, 2);
    HWND header = Header(lv);
    Drag(header, 20, 5, 230, 5);  // no drag and drop yet: a press, no move
    int order[3];
    SendMessageA(lv, LVM_GETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
    EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{0, 1, 2}));
    SendMessageA(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_HEADERDRAGDROP, LVS_EX_HEADERDRAGDROP);
    EXPECT_TRUE(GetWindowLongPtrA(header, GWL_STYLE) & HDS_DRAGDROP);
    Drag(header, 20, 5, 230, 5);  // the first heading past the last one's middle
    SendMessageA(header, HDM_GETORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
    EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{1, 2, 0}));
    SendMessageA(lv, LVM_GETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
    EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{1, 2, 0}));
    // Column 0 is drawn last now: its cell starts after the other two.
    RECT label = ItemRect(lv, 0, LVIR_LABEL);
    EXPECT_EQ(label.left, 180);
    // A parent that refuses the drop keeps the order.
    OnNotify() = [](NMHDR* nm) -> LRESULT { return nm->code == HDN_ENDDRAG; };
    Drag(header, 20, 5, 230, 5);
    SendMessageA(header, HDM_GETORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
    EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{1, 2, 0}));
}

TEST_F(ListViewTest, ItemsKeepTheirTextsByColumn) {
    HWND lv = Filled(LVS_REPORT, 3);
    EXPECT_EQ(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(lv, 1, 0), "r1");
    EXPECT_EQ(Text(lv, 1, 2), "b1");
    EXPECT_EQ(Text(lv, 1, 5), "");
    // A column put in between moves the later texts along.
    LVCOLUMNA c;
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<char*>("New");
    c.cx = 40;
    EXPECT_EQ(SendMessageA(lv, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&c)), 1);
    EXPECT_EQ(Text(lv, 1, 1), "");
    EXPECT_EQ(Text(lv, 1, 2), "a1");
    EXPECT_TRUE(SendMessageA(lv, LVM_DELETECOLUMN, 1, 0));
    EXPECT_EQ(Text(lv, 1, 1), "a1");

    LVITEMA it;
    it.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    it.iItem = 1;
    it.pszText = const_cast<char*>("second");
    it.lParam = 77;
    it.iImage = 2;
    EXPECT_TRUE(SendMessageA(lv, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    char buf[4];
    LVITEMA got;
    got.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    got.iItem = 1;
    got.pszText = buf;
    got.cchTextMax = sizeof buf;
    EXPECT_TRUE(SendMessageA(lv, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&got)));
    EXPECT_STREQ(buf, "sec");
    EXPECT_EQ(got.lParam, 77);
    EXPECT_EQ(got.iImage, 2);
    got.iItem = 3;
    EXPECT_FALSE(SendMessageA(lv, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&got)));

    // Deleting tells the parent per item, unless it asked not to be told.
    Notes().clear();
    EXPECT_TRUE(SendMessageA(lv, LVM_DELETEITEM, 0, 0));
    EXPECT_EQ(Text(lv, 0, 0), "second");
    EXPECT_FALSE(SendMessageA(lv, LVM_DELETEITEM, 5, 0));
    EXPECT_TRUE(SendMessageA(lv, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(NotifyCodes(), (std::vector<UINT>{LVN_DELETEITEM, LVN_DELETEALLITEMS, LVN_DELETEITEM,
                                                LVN_DELETEITEM}));
    EXPECT_EQ(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, ClicksAndKeysSelectAndTellTheParent) {
    HWND lv = Filled(LVS_REPORT | LVS_SINGLESEL, 30);
    const RECT row2 = ItemRect(lv, 2);
    std::vector<std::pair<UINT, int>> heard;
    OnNotify() = [&](NMHDR* nm) -> LRESULT {
        if (nm->code == LVN_ITEMCHANGED) {
            auto* l = reinterpret_cast<NMLISTVIEW*>(nm);
            heard.push_back({l->uNewState, l->iItem});
        }
        if (nm->code == NM_CLICK || nm->code == NM_DBLCLK)
            heard.push_back({nm->code, reinterpret_cast<NMITEMACTIVATE*>(nm)->iItem});
        return 0;
    };
    ClickAt(lv, 20, row2.top + 2);
    EXPECT_EQ(State(lv, 2), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(GetFocus(), lv);
    EXPECT_EQ(heard, (std::vector<std::pair<UINT, int>>{
                         {LVIS_SELECTED, 2}, {LVIS_SELECTED | LVIS_FOCUSED, 2}, {NM_CLICK, 2}}));
    // One selection at a time; a click beside the first column's cell without whole-row
    // selection hits nothing and takes the selection away.
    ClickAt(lv, 20, ItemRect(lv, 4).top + 2);
    EXPECT_EQ(SendMessageA(lv, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(lv, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 4);
    ClickAt(lv, 100, ItemRect(lv, 5).top + 2);
    EXPECT_EQ(SendMessageA(lv, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    SendMessageA(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    ClickAt(lv, 100, ItemRect(lv, 5).top + 2);
    EXPECT_EQ(SendMessageA(lv, LVM_GETNEXTITEM, -1, LVNI_SELECTED | LVNI_FOCUSED), 5);
    // A double click.
    heard.clear();
    Mouse(lv, MouseEvent::Down, 20, row2.top + 2);
    Mouse(lv, MouseEvent::Up, 20, row2.top + 2);
    Mouse(lv, MouseEvent::Down, 20, row2.top + 2);
    Mouse(lv, MouseEvent::Up, 20, row2.top + 2);
    Pump();
    EXPECT_EQ(heard.back(), (std::pair<UINT, int>{NM_DBLCLK, 2}));

    // Keys move the selection and bring it into view.
    Tap(VK_END);
    EXPECT_EQ(SendMessageA(lv, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 29);
    const int top = static_cast<int>(SendMessageA(lv, LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(top + SendMessageA(lv, LVM_GETCOUNTPERPAGE, 0, 0), 30);
    Tap(VK_UP);
    Tap(VK_UP);
    EXPECT_EQ(SendMessageA(lv, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 27);
    Tap(VK_HOME);
    EXPECT_EQ(SendMessageA(lv, LVM_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(SendMessageA(lv, LVM_GETNEXTITEM, 5, LVNI_SELECTED | LVNI_ABOVE), 0);
    EXPECT_EQ(SendMessageA(lv, LVM_GETNEXTITEM, 0, LVNI_SELECTED), -1);

    // The parent may refuse a change.
    OnNotify() = [](NMHDR* nm) -> LRESULT { return nm->code == LVN_ITEMCHANGING; };
    Tap(VK_DOWN);
    EXPECT_EQ(State(lv, 0), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(State(lv, 1), 0u);
}

TEST_F(ListViewTest, MultipleSelectionWithShiftAndCtrlAndByMessage) {
    HWND lv = Filled(LVS_REPORT | LVS_SHOWSELALWAYS, 8);
    ClickAt(lv, 20, ItemRect(lv, 1).top + 2);
    Key(VK_SHIFT, true);
    ClickAt(lv, 20, ItemRect(lv, 3).top + 2);
    Key(VK_SHIFT, false);
    EXPECT_EQ(SendMessageA(lv, LVM_GETSELECTEDCOUNT, 0, 0), 3);
    Key(VK_CONTROL, true);
    ClickAt(lv, 20, ItemRect(lv, 2).top + 2);
    Key(VK_CONTROL, false);
    EXPECT_EQ(State(lv, 2), LVIS_FOCUSED);
    EXPECT_EQ(SendMessageA(lv, LVM_GETSELECTEDCOUNT, 0, 0), 2);
    LVITEMA all;
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    SendMessageA(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    EXPECT_EQ(SendMessageA(lv, LVM_GETSELECTEDCOUNT, 0, 0), 8);
    all.state = 0;
    SendMessageA(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    EXPECT_EQ(SendMessageA(lv, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    // One focused item at most.
    all.stateMask = all.state = LVIS_FOCUSED;
    SendMessageA(lv, LVM_SETITEMSTATE, 6, reinterpret_cast<LPARAM>(&all));
    EXPECT_EQ(State(lv, 2), 0u);
    EXPECT_EQ(SendMessageA(lv, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 6);
}

TEST_F(ListViewTest, AParentThatEmptiesTheListWhileToldLeavesItWhole) {
    HWND lv = Filled(LVS_REPORT, 5);
    OnNotify() = [lv](NMHDR* nm) -> LRESULT {
        if (nm->code == LVN_ITEMCHANGED) SendMessageA(lv, LVM_DELETEALLITEMS, 0, 0);
        return 0;
    };
    ClickAt(lv, 20, ItemRect(lv, 3).top + 2);
    EXPECT_EQ(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0), 0);
    // The same in the middle of painting.
    OnNotify() = nullptr;
    for (int i = 0; i < 5; ++i)
        AddItem(lv, {"again"});
    OnNotify() = [lv](NMHDR* nm) -> LRESULT {
        if (nm->code != NM_CUSTOMDRAW) return 0;
        if (reinterpret_cast<NMCUSTOMDRAW*>(nm)->dwDrawStage == CDDS_ITEMPREPAINT)
            SendMessageA(lv, LVM_DELETEITEM, 0, 0);
        return CDRF_NOTIFYITEMDRAW;
    };
    InvalidateRect(lv, nullptr, TRUE);
    Pump();
    EXPECT_LT(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0), 5);
}

TEST_F(ListViewTest, GeometryAndHitTests) {
    HWND lv = Filled(LVS_REPORT, 4);
    const RECT b = ItemRect(lv, 1);
    const RECT b0 = ItemRect(lv, 0);
    const int rowH = b.bottom - b.top;
    EXPECT_EQ(b.top, b0.bottom);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.right, 240);
    EXPECT_EQ(ItemRect(lv, 1, LVIR_LABEL).right, 60);
    RECT hr;
    GetWindowRect(Header(lv), &hr);
    EXPECT_EQ(b0.top, hr.bottom - hr.top);  // the rows start under the header
    LVHITTESTINFO info;
    info.pt = {30, b.top + rowH / 2};
    EXPECT_EQ(SendMessageA(lv, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(info.flags, LVHT_ONITEMLABEL);
    info.pt = {30, ItemRect(lv, 3).bottom + 2};
    EXPECT_EQ(SendMessageA(lv, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), -1);
    EXPECT_EQ(info.flags, LVHT_NOWHERE);
    info.pt = {30, -4};
    EXPECT_EQ(SendMessageA(lv, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), -1);
    EXPECT_EQ(info.flags, LVHT_ABOVE);
    RECT bad{LVIR_BOUNDS};
    EXPECT_FALSE(SendMessageA(lv, LVM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&bad)));
}

TEST_F(ListViewTest, ScrollingByEveryCodeAndFromOutside) {
    HWND lv = Filled(LVS_REPORT, 0);
    for (int i = 0; i < 70000; ++i)
        AddItem(lv, {"x"});
    const int rowH = ItemRect(lv, 0).bottom - ItemRect(lv, 0).top;
    const int page = static_cast<int>(SendMessageA(lv, LVM_GETCOUNTPERPAGE, 0, 0));
    auto top = [&] { return static_cast<int>(SendMessageA(lv, LVM_GETTOPINDEX, 0, 0)); };
    auto vs = [&](WORD code, WORD pos = 0) {
        SendMessageA(lv, WM_VSCROLL, MAKEWPARAM(code, pos), 0);
    };
    EXPECT_TRUE(GetWindowLongPtrA(lv, GWL_STYLE) & WS_VSCROLL);
    vs(SB_LINEDOWN);
    EXPECT_EQ(top(), 1);
    vs(SB_PAGEDOWN);
    EXPECT_EQ(top(), 1 + page);
    vs(SB_PAGEUP);
    vs(SB_LINEUP);
    vs(SB_LINEUP);
    EXPECT_EQ(top(), 0);
    vs(SB_BOTTOM);
    EXPECT_EQ(top(), 70000 - page);
    vs(SB_TOP);
    vs(SB_ENDSCROLL);
    EXPECT_EQ(top(), 0);
    // A skinned bar sets the position, then sends a thumb code whose word stops at 65 535.
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = 68000;
    SetScrollInfo(lv, SB_VERT, &si, FALSE);
    vs(SB_THUMBTRACK, 65535);
    EXPECT_EQ(top(), 68000);
    vs(SB_THUMBPOSITION, 65535);
    EXPECT_EQ(top(), 68000);
    EXPECT_EQ(GetScrollPos(lv, SB_VERT), 68000);
    // LVM_SCROLL takes pixels and moves whole rows, to the nearest.
    SendMessageA(lv, LVM_SCROLL, 0, -3 * rowH);
    EXPECT_EQ(top(), 67997);
    SendMessageA(lv, LVM_SCROLL, 0, rowH / 2 + 1);
    EXPECT_EQ(top(), 67998);
    // The wheel, three rows a notch.
    SetFocus(lv);
    POINT p{50, 50};
    ClientToScreen(lv, &p);
    QueueMouseEvent(MouseEvent{MouseEvent::Wheel, p, MouseButton::None, WHEEL_DELTA});
    Pump();
    EXPECT_EQ(top(), 67995);
}

TEST_F(ListViewTest, TheHeaderScrollsWithTheList) {
    HWND lv = MakeList(LVS_REPORT, 200, 150);
    for (int i = 0; i < 5; ++i)
        AddColumn(lv, "C", 100);
    AddItem(lv, {"x"});
    Pump();
    EXPECT_TRUE(GetWindowLongPtrA(lv, GWL_STYLE) & WS_HSCROLL);
    HWND header = Header(lv);
    auto headerLeft = [&] {
        RECT r;
        GetWindowRect(header, &r);
        POINT p{r.left, r.top};
        ScreenToClient(lv, &p);
        return p.x;
    };
    SendMessageA(lv, WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(headerLeft(), -10);
    SendMessageA(lv, LVM_SCROLL, 35, 0);
    EXPECT_EQ(headerLeft(), -45);
    EXPECT_EQ(ItemRect(lv, 0).left, -45);
    SendMessageA(lv, WM_HSCROLL, SB_RIGHT, 0);
    RECT c;
    GetClientRect(lv, &c);
    EXPECT_EQ(headerLeft(), c.right - 500);
    // A divider dragged on the scrolled header still resizes its own column.
    Drag(header, 399, 5, 379, 5);
    EXPECT_EQ(SendMessageA(lv, LVM_GETCOLUMNWIDTH, 3, 0), 80);
}

TEST_F(ListViewTest, CustomDrawColoursItemsAndIsToldEveryStage) {
    HWND lv = Filled(LVS_REPORT | LVS_SHOWSELALWAYS, 4);
    const COLORREF odd = RGB(238, 238, 255);
    std::vector<DWORD> stages;
    OnNotify() = [&](NMHDR* nm) -> LRESULT {
        if (nm->code != NM_CUSTOMDRAW) return 0;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
        stages.push_back(cd->nmcd.dwDrawStage);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            EXPECT_EQ(cd->clrTextBk, GetSysColor(COLOR_WINDOW));
            if (cd->nmcd.dwItemSpec % 2) cd->clrTextBk = odd;
            if (cd->nmcd.dwItemSpec == 3) return CDRF_SKIPDEFAULT;
            return cd->nmcd.dwItemSpec == 0 ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
        }
        return 0;
    };
    InvalidateRect(lv, nullptr, TRUE);
    Pump();
    EXPECT_EQ(stages, (std::vector<DWORD>{CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPOSTPAINT,
                                          CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT,
                                          CDDS_POSTPAINT}));
    auto at = [&](int row, int x) { return Pixel(lv, x, ItemRect(lv, row).bottom - 2); };
    EXPECT_EQ(at(0, 150), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(at(1, 150), odd);
    EXPECT_EQ(at(1, 2), odd);
    EXPECT_EQ(at(3, 150), GetSysColor(COLOR_WINDOW));  // skipped: not painted over
    // A selected row shows the selection, not the parent's colour.
    LVITEMA sel;
    sel.stateMask = sel.state = LVIS_SELECTED;
    SendMessageA(lv, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&sel));
    Pump();
    EXPECT_EQ(at(1, 2), GetSysColor(COLOR_BTNFACE));  // shown, not focused
    EXPECT_EQ(at(1, 150), odd);                       // the label only, no whole-row selection
}

TEST_F(ListViewTest, ColoursGridLinesAndPrinting) {
    HWND lv = Filled(LVS_REPORT, 2);
    SendMessageA(lv, LVM_SETBKCOLOR, 0, RGB(10, 20, 30));
    SendMessageA(lv, LVM_SETTEXTBKCOLOR, 0, RGB(40, 50, 60));
    SendMessageA(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    Pump();
    const int below = ItemRect(lv, 1).bottom + 10;
    EXPECT_EQ(Pixel(lv, 30, below), RGB(10, 20, 30));
    EXPECT_EQ(Pixel(lv, 30, ItemRect(lv, 0).top + 1), RGB(40, 50, 60));
    EXPECT_EQ(Pixel(lv, 59, below), GetSysColor(COLOR_BTNFACE));  // the first column's line
    EXPECT_EQ(Pixel(lv, 30, ItemRect(lv, 0).bottom - 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(SendMessageA(lv, LVM_GETBKCOLOR, 0, 0), RGB(10, 20, 30));

    // WM_PRINT with its flags: the client alone, or with the header child.
    RECT c;
    GetClientRect(lv, &c);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = c.right;
    bmi.bmiHeader.biHeight = -c.bottom;
    bmi.bmiHeader.biBitCount = 32;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    const RECT all{0, 0, c.right, c.bottom};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SendMessageA(lv, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(GetPixel(dc, 30, below), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 30, 3), RGB(0, 0, 0));  // the header's place
    SendMessageA(lv, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_CHILDREN);
    EXPECT_EQ(GetPixel(dc, 30, 3), GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);

    HFONT font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    SendMessageA(lv, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(lv, WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(Header(lv), WM_GETFONT, 0, 0)), font);
}

}  // namespace
}  // namespace win::testing
