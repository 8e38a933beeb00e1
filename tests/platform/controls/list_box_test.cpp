#include <string>
#include <vector>

#include "platform/controls/list_box_control.h"
#include "platform/os/cp_literal.h"
#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

class ListBoxTest : public ControlsTest {
protected:
    HWND List(DWORD style, int id = 5, int height = 100) {
        return Child("ListBox", "", style, id, 10, 10, 150, height);
    }
    static void Add(HWND lb, const char* text) {
        SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    static void AddNumbered(HWND lb, int n) {
        for (int i = 0; i < n; ++i)
            Add(lb, ("item " + std::to_string(100 + i)).c_str());
    }
    static std::string Text(HWND lb, int i) {
        std::string s(static_cast<std::size_t>(SendMessageA(lb, LB_GETTEXTLEN, i, 0)) + 1, '\0');
        s.resize(static_cast<std::size_t>(
            SendMessageA(lb, LB_GETTEXT, i, reinterpret_cast<LPARAM>(s.data()))));
        return s;
    }
    static std::vector<std::string> Texts(HWND lb) {
        std::vector<std::string> all;
        for (int i = 0; i < SendMessageA(lb, LB_GETCOUNT, 0, 0); ++i)
            all.push_back(Text(lb, i));
        return all;
    }
    static RECT ItemRect(HWND lb, int i) {
        RECT r{};
        SendMessageA(lb, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static LRESULT Get(HWND lb, UINT msg, WPARAM wp = 0) { return SendMessageA(lb, msg, wp, 0); }
    std::vector<int> Selected(HWND lb) {
        std::vector<int> s;
        for (int i = 0; i < Get(lb, LB_GETCOUNT); ++i)
            if (Get(lb, LB_GETSEL, i) > 0) s.push_back(i);
        return s;
    }
    void WithKey(UINT vk, POINT click) {
        Key(vk, true);
        ClickAt(click);
        Key(vk, false);
    }
    static int Rows(HWND lb) {
        RECT c;
        GetClientRect(lb, &c);
        return c.bottom / static_cast<int>(Get(lb, LB_GETITEMHEIGHT));
    }
};

TEST_F(ListBoxTest, ItemsKeepTextAndDataAndSortInAlphabeticalOrder) {
    HWND lb = List(LBS_SORT | WS_VSCROLL | WS_BORDER);
    for (const char* s : {"яблоко"_cp, "Ёж"_cp, "груша"_cp})
        Add(lb, s);
    EXPECT_EQ(SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Ель"_cp)), 1);
    Add(lb, "apple");
    // Case does not count, and Ё stands right after Е as in the alphabet.
    EXPECT_EQ(Texts(lb),
              (std::vector<std::string>{"apple", "груша"_cp, "Ель"_cp, "Ёж"_cp, "яблоко"_cp}));
    // Inserting does not sort; -1 appends; past the end is refused.
    EXPECT_EQ(SendMessageA(lb, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("zzz")), 1);
    EXPECT_EQ(SendMessageA(lb, LB_INSERTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("end")), 6);
    EXPECT_EQ(SendMessageA(lb, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), LB_ERR);
    EXPECT_EQ(Get(lb, LB_GETTEXTLEN, 1), 3);
    EXPECT_EQ(Get(lb, LB_GETTEXTLEN, 7), LB_ERR);
    char buf[8] = "keep";
    EXPECT_EQ(SendMessageA(lb, LB_GETTEXT, 7, reinterpret_cast<LPARAM>(buf)), LB_ERR);
    EXPECT_STREQ(buf, "keep");

    EXPECT_EQ(SendMessageA(lb, LB_SETITEMDATA, 2, 0xBEEF), TRUE);
    EXPECT_EQ(SendMessageA(lb, LB_DELETESTRING, 0, 0), 6);  // the items that remain
    EXPECT_EQ(Get(lb, LB_GETITEMDATA, 1), 0xBEEF);          // the data moved with its item
    EXPECT_EQ(SendMessageA(lb, LB_DELETESTRING, 6, 0), LB_ERR);

    // Prefix and exact searches ignore cp1251 case and go round from the item after the start.
    auto find = [&](UINT msg, int start, const char* s) {
        return SendMessageA(lb, msg, WPARAM(start), reinterpret_cast<LPARAM>(s));
    };
    const int yel = 2;
    EXPECT_EQ(Text(lb, yel), "Ель"_cp);
    EXPECT_EQ(find(LB_FINDSTRING, -1, "ЯБЛ"_cp), 4);
    EXPECT_EQ(find(LB_FINDSTRING, -1, "ел"_cp), yel);
    EXPECT_EQ(find(LB_FINDSTRING, yel, "ел"_cp), yel);  // round to itself
    EXPECT_EQ(find(LB_FINDSTRING, 5, ""), 0);           // everything starts with nothing
    EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "ЕЛЬ"_cp), yel);
    EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "Ел"_cp), LB_ERR);
    EXPECT_EQ(find(LB_FINDSTRING, -1, "ё"_cp), 3);  // Ё is not Е

    SendMessageA(lb, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(Get(lb, LB_GETCOUNT), 0);
    EXPECT_EQ(Get(lb, LB_GETCURSEL), LB_ERR);
    EXPECT_EQ(find(LB_FINDSTRING, -1, ""), LB_ERR);
}

TEST_F(ListBoxTest, SingleSelectionFollowsMouseAndKeysAndNotifiesOnlyTheOperatorsChanges) {
    HWND lb = List(LBS_NOTIFY | WS_VSCROLL);
    AddNumbered(lb, 20);
    EXPECT_EQ(SendMessageA(lb, LB_SETCURSEL, 3, 0), 3);
    EXPECT_EQ(Get(lb, LB_GETCURSEL), 3);
    EXPECT_TRUE(Codes(lb).empty());
    ClickAt(ListItemPoint(lb, 1));
    EXPECT_EQ(GetFocus(), lb);
    EXPECT_EQ(Get(lb, LB_GETCURSEL), 1);
    ClickAt(ListItemPoint(lb, 1));  // the same place at once: a double click, nothing new chosen
    EXPECT_EQ(Codes(lb), (std::vector<WORD>{LBN_SELCHANGE, LBN_DBLCLK}));

    Tap(VK_DOWN);
    EXPECT_EQ(Get(lb, LB_GETCURSEL), 2);
    Tap(VK_END);
    EXPECT_EQ(Get(lb, LB_GETCURSEL), 19);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 20 - Rows(lb));  // scrolled to show it whole
    Tap(VK_HOME);
    Tap(VK_NEXT);
    EXPECT_EQ(Get(lb, LB_GETCURSEL), Rows(lb) - 1);
    EXPECT_EQ(Get(lb, LB_GETCARETINDEX), Rows(lb) - 1);
    EXPECT_EQ(Codes(lb).size(), 6u);
    EXPECT_EQ(SendMessageA(lb, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);  // and clears
    EXPECT_EQ(Get(lb, LB_GETCURSEL), LB_ERR);
    EXPECT_EQ(Get(lb, WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS);

    // Without LBS_NOTIFY the parent hears nothing.
    HWND mute = Child("ListBox", "", WS_VSCROLL, 6, 200, 10, 150, 100);
    AddNumbered(mute, 3);
    ClickAt(ListItemPoint(mute, 2));
    EXPECT_EQ(Get(mute, LB_GETCURSEL), 2);
    EXPECT_TRUE(Codes(mute).empty());
}

TEST_F(ListBoxTest, TypedLettersFindTheItemTheyBegin) {
    HWND lb = List(LBS_NOTIFY);
    for (const char* s : {"Анна"_cp, "Вера"_cp, "Виктор"_cp, "Галина"_cp})
        Add(lb, s);
    SetFocus(lb);
    auto type = [&](const char* letter) { Tap('A', static_cast<unsigned char>(letter[0])); };
    type("в"_cp);
    EXPECT_EQ(Get(lb, LB_GETCURSEL), 1);
    type("И"_cp);  // within the pause: the prefix grows
    EXPECT_EQ(Get(lb, LB_GETCURSEL), 2);
    clock_.Advance(1000);
    type("в"_cp);  // a new search starts after the current item and goes round
    EXPECT_EQ(Get(lb, LB_GETCURSEL), 1);
    type("я"_cp);  // nothing begins so: the selection stays
    EXPECT_EQ(Get(lb, LB_GETCURSEL), 1);
    EXPECT_EQ(Codes(lb).size(), 3u);
}

TEST_F(ListBoxTest, MultipleAndExtendedSelection) {
    HWND multi = List(LBS_MULTIPLESEL | LBS_NOTIFY);
    AddNumbered(multi, 6);
    ClickAt(ListItemPoint(multi, 2));
    ClickAt(ListItemPoint(multi, 4));
    ClickAt(ListItemPoint(multi, 2));  // toggles back
    EXPECT_EQ(Selected(multi), std::vector<int>{4});
    EXPECT_EQ(Get(multi, LB_GETCARETINDEX), 2);
    Tap(VK_DOWN);  // the caret moves alone; the space bar toggles
    Tap(VK_SPACE, ' ');
    EXPECT_EQ(Selected(multi), (std::vector<int>{3, 4}));
    EXPECT_EQ(SendMessageA(multi, LB_SETCURSEL, 1, 0), LB_ERR);
    SendMessageA(multi, LB_SETSEL, TRUE, -1);
    SendMessageA(multi, LB_SELITEMRANGE, FALSE, MAKELPARAM(1, 3));
    EXPECT_EQ(Selected(multi), (std::vector<int>{0, 4, 5}));
    EXPECT_EQ(SendMessageA(multi, LB_SETSEL, TRUE, 6), LB_ERR);
    EXPECT_EQ(Get(multi, LB_GETSEL, 6), LB_ERR);

    HWND ext = Child("ListBox", "", LBS_EXTENDEDSEL, 6, 200, 10, 150, 150);
    AddNumbered(ext, 9);
    ClickAt(ListItemPoint(ext, 1));
    WithKey(VK_SHIFT, ListItemPoint(ext, 4));
    EXPECT_EQ(Selected(ext), (std::vector<int>{1, 2, 3, 4}));
    WithKey(VK_CONTROL, ListItemPoint(ext, 2));
    EXPECT_EQ(Selected(ext), (std::vector<int>{1, 3, 4}));
    ClickAt(ListItemPoint(ext, 6));
    EXPECT_EQ(Selected(ext), std::vector<int>{6});
    Key(VK_SHIFT, true);
    Tap(VK_DOWN);
    Key(VK_SHIFT, false);
    EXPECT_EQ(Selected(ext), (std::vector<int>{6, 7}));
    Tap(VK_DOWN);
    EXPECT_EQ(Selected(ext), std::vector<int>{8});
    // Dragging from an item selects the run to the item under the mouse.
    QueueMouseEvent(MouseEvent{MouseEvent::Down, ListItemPoint(ext, 2), MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, ListItemPoint(ext, 5)});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, ListItemPoint(ext, 5), MouseButton::Left});
    Pump();
    EXPECT_EQ(Selected(ext), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ListBoxTest, TheStandardBarFollowsTheItemsAndScrolls) {
    HWND lb = List(WS_VSCROLL | LBS_NOINTEGRALHEIGHT);
    AddNumbered(lb, 3);
    auto style = [&] { return static_cast<DWORD>(GetWindowLongPtrA(lb, GWL_STYLE)); };
    EXPECT_FALSE(style() & WS_VSCROLL);  // nothing to scroll: no bar
    AddNumbered(lb, 47);
    EXPECT_TRUE(style() & WS_VSCROLL);
    const int rows = Rows(lb);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 49);
    EXPECT_EQ(si.nPage, static_cast<UINT>(rows));
    EXPECT_EQ(SendMessageA(lb, LB_SETTOPINDEX, 45, 0), LB_OKAY);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 50 - rows);  // no scrolling past the last page
    auto scroll = [&](WORD code) { SendMessageA(lb, WM_VSCROLL, MAKEWPARAM(code, 0), 0); };
    scroll(SB_LINEUP);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 49 - rows);
    scroll(SB_PAGEUP);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 49 - rows - (rows - 1));
    scroll(SB_TOP);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 0);
    si.fMask = SIF_POS;
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_EQ(si.nPos, 0);
    SetFocus(lb);
    QueueMouseEvent(MouseEvent{MouseEvent::Wheel, Centre(lb), MouseButton::None, -WHEEL_DELTA});
    Pump();
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 3);

    // The own thumb dragged down by the mouse scrolls as it goes.
    RECT wr;
    GetWindowRect(lb, &wr);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const POINT thumb{wr.right - bar / 2, wr.top + bar + 4};
    QueueMouseEvent(MouseEvent{MouseEvent::Move, thumb});
    QueueMouseEvent(MouseEvent{MouseEvent::Down, thumb, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{thumb.x, thumb.y + 30}});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{thumb.x, thumb.y + 30}, MouseButton::Left});
    Pump();
    EXPECT_GT(Get(lb, LB_GETTOPINDEX), 3);

    // LBS_DISABLENOSCROLL keeps the bar, disabled, when all items fit.
    HWND keep = Child("ListBox", "", WS_VSCROLL | LBS_DISABLENOSCROLL, 6, 200, 10, 150, 100);
    AddNumbered(keep, 2);
    EXPECT_TRUE(GetWindowLongPtrA(keep, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ListBoxTest, AThumbDraggedOnAnotherBarScrollsPast65535) {
    // A virtual list of 100 000 rows, drawn by its owner by number.
    HWND lb = List(LBS_OWNERDRAWFIXED | LBS_NODATA | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 9);
    EXPECT_EQ(SendMessageA(lb, LB_SETCOUNT, 100000, 0), LB_OKAY);
    EXPECT_EQ(Get(lb, LB_GETCOUNT), 100000);
    // A bar drawn elsewhere sets the position itself and sends the code with the 16-bit word
    // clamped at 65 535.
    auto drag = [&](WORD code, int pos) {
        SCROLLINFO si;
        si.fMask = SIF_POS;
        si.nPos = pos;
        SetScrollInfo(lb, SB_VERT, &si, FALSE);
        SendMessageA(lb, WM_VSCROLL, MAKEWPARAM(code, std::min(pos, 65535)), 0);
    };
    drag(SB_THUMBTRACK, 70000);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 70000);
    drag(SB_THUMBPOSITION, 99990);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 99990);
    SendMessageA(lb, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 99990);
    SCROLLINFO si;
    si.fMask = SIF_POS;
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_EQ(si.nPos, 99990);
    SendMessageA(lb, LB_SETTOPINDEX, 99999, 0);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 100000 - Rows(lb));  // no further than the last page

    // The owner draws the rows in view by number; the list keeps no text or data for them.
    SendMessageA(lb, LB_SETTOPINDEX, 99990, 0);
    Notes().clear();
    { Shot shot(lb); }
    std::vector<UINT> drawn;
    for (const Note& n : Notes())
        if (n.msg == WM_DRAWITEM) drawn.push_back(n.itemID);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), 99990u);
    EXPECT_EQ(drawn.size(), static_cast<std::size_t>(Rows(lb) + 1));  // and the part row
    EXPECT_EQ(Get(lb, LB_GETTEXTLEN, 5), LB_ERR);
    EXPECT_EQ(SendMessageA(lb, LB_SETITEMDATA, 5, 1), LB_ERR);
    EXPECT_EQ(SendMessageA(lb, LB_SETCOUNT, 10, 0), LB_OKAY);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), 10 - Rows(lb));
    EXPECT_EQ(SendMessageA(lb, LB_SETCOUNT, WPARAM(kListBoxMaxItems) + 1, 0), LB_ERRSPACE);
    EXPECT_EQ(Get(lb, LB_GETCOUNT), 10);
    HWND plain = List(0, 6);
    EXPECT_EQ(SendMessageA(plain, LB_SETCOUNT, 10, 0), LB_ERR);
}

TEST_F(ListBoxTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheParent) {
    Measure([](MEASUREITEMSTRUCT* m) { m->itemHeight = 20; });
    HWND lb = List(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 3);
    ASSERT_FALSE(Notes().empty());
    EXPECT_EQ(Notes().front().msg, WM_MEASUREITEM);
    EXPECT_EQ(Notes().front().ctlType, ODT_LISTBOX);
    EXPECT_EQ(Notes().front().wp, 3u);
    EXPECT_EQ(Get(lb, LB_GETITEMHEIGHT), 20);
    for (const char* s : {"a", "b", "c"})
        Add(lb, s);
    SendMessageA(lb, LB_SETCURSEL, 1, 0);
    SetFocus(lb);
    Notes().clear();
    { Shot shot(lb); }
    std::vector<Note> drawn;
    for (const Note& n : Notes())
        if (n.msg == WM_DRAWITEM) drawn.push_back(n);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].ctlType, ODT_LISTBOX);
    EXPECT_EQ(drawn[0].item, lb);
    EXPECT_EQ(drawn[0].itemState, 0u);
    EXPECT_EQ(drawn[1].itemID, 1u);
    EXPECT_EQ(drawn[1].itemState, ODS_SELECTED | ODS_FOCUS);
    const RECT third = ItemRect(lb, 2);
    EXPECT_EQ(third.top, 40);
    EXPECT_EQ(third.bottom, 60);
    EXPECT_EQ(third.right, 150);

    // Variable heights: each item asked for its own.
    Measure([](MEASUREITEMSTRUCT* m) { m->itemHeight = 10 + 5 * m->itemID; });
    HWND var = Child("ListBox", "", LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, 4, 200, 10, 150, 100);
    for (const char* s : {"a", "b", "c"})
        Add(var, s);
    EXPECT_EQ(ItemRect(var, 2).top, 25);
    EXPECT_EQ(ItemRect(var, 2).bottom, 45);
    EXPECT_EQ(SendMessageA(var, LB_SETITEMHEIGHT, 0, 30), LB_OKAY);
    EXPECT_EQ(ItemRect(var, 2).top, 45);
    EXPECT_EQ(SendMessageA(var, LB_SETITEMHEIGHT, 0, 300), LB_ERR);
    EXPECT_EQ(Get(var, LB_GETITEMHEIGHT, 1), 15);

    // Without strings an item is its data: found by it and handed back as it.
    HWND data = Child("ListBox", "", LBS_OWNERDRAWFIXED, 7, 10, 150, 150, 100);
    SendMessageA(data, LB_ADDSTRING, 0, 0x1234);
    SendMessageA(data, LB_ADDSTRING, 0, 0x5678);
    EXPECT_EQ(SendMessageA(data, LB_FINDSTRING, WPARAM(-1), 0x5678), 1);
    ULONG_PTR got = 0;
    EXPECT_EQ(SendMessageA(data, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(&got)),
              static_cast<LRESULT>(sizeof(ULONG_PTR)));
    EXPECT_EQ(got, 0x1234u);
}

TEST_F(ListBoxTest, MultipleColumnsScrollSidewaysByColumns) {
    HWND lb = Child("ListBox", "", LBS_MULTICOLUMN | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 4, 10, 10,
                    200, 120);
    SendMessageA(lb, LB_SETCOLUMNWIDTH, 50, 0);
    AddNumbered(lb, 40);
    const int rows = Rows(lb);
    EXPECT_EQ(ItemRect(lb, rows).left, 50);
    EXPECT_EQ(ItemRect(lb, rows).top, 0);
    EXPECT_EQ(ItemRect(lb, rows + 1).top, static_cast<int>(Get(lb, LB_GETITEMHEIGHT)));
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(lb, SB_HORZ, &si));
    EXPECT_EQ(si.nMax, (40 + rows - 1) / rows - 1);
    EXPECT_EQ(si.nPage, 4u);
    SendMessageA(lb, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    EXPECT_EQ(Get(lb, LB_GETTOPINDEX), rows);
    EXPECT_EQ(ItemRect(lb, rows).left, 0);
    SetFocus(lb);
    SendMessageA(lb, LB_SETCURSEL, rows, 0);
    Tap(VK_RIGHT);
    EXPECT_EQ(Get(lb, LB_GETCURSEL), 2 * rows);
}

TEST_F(ListBoxTest, TabStopsColoursAndPrinting) {
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    HWND tabs = List(LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT, 1);
    HWND plain = Child("ListBox", "", LBS_NOINTEGRALHEIGHT, 2, 200, 10, 150, 100);
    Add(tabs, "a\tb");
    Add(plain, "a\tb");
    const int stops[] = {24};
    EXPECT_EQ(SendMessageA(tabs, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops)), TRUE);
    {
        Shot shot(tabs);
        const auto span = shot.Columns(ink);
        // "b" stands at the stop, 24 dialog units (six average characters) in, well right of
        // "a".
        int avg = 0;
        {
            HDC dc = GetDC(tabs);
            SIZE s{};
            GetTextExtentPoint32(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52,
                                 &s);
            avg = (s.cx / 26 + 1) / 2;
            ReleaseDC(tabs, dc);
        }
        const int stop = 2 + 6 * avg;
        EXPECT_LT(span.first, 12);
        EXPECT_GE(span.last, stop);
        int gap = 0;
        for (int x = span.first + avg + 2; x < stop; ++x)
            for (int y = 0; y < shot.Height(); ++y)
                gap += shot.At(x, y) == ink;
        EXPECT_EQ(gap, 0);
        EXPECT_LT(Shot(plain).Columns(ink).last, 40);
    }

    // The parent's brush fills the ground; a selected item shows in the highlight colours.
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    CtlColorBrush() = blue;
    SendMessageA(tabs, LB_SETCURSEL, 0, 0);
    Notes().clear();
    Shot shot(tabs);
    EXPECT_EQ(shot.At(75, 90), RGB(0, 0, 255));
    EXPECT_EQ(shot.At(140, 2), GetSysColor(COLOR_HIGHLIGHT));
    ASSERT_FALSE(Notes().empty());
    EXPECT_EQ(Notes().front().msg, WM_CTLCOLORLISTBOX);
    EXPECT_EQ(reinterpret_cast<HWND>(Notes().front().lp), tabs);
    Shot printed(tabs, WM_PRINTCLIENT);
    EXPECT_EQ(printed.At(75, 90), RGB(0, 0, 255));
    EXPECT_EQ(printed.At(140, 2), GetSysColor(COLOR_HIGHLIGHT));

    CtlColorBrush() = nullptr;
    DeleteObject(blue);

    // Without LBS_NOINTEGRALHEIGHT the list shows whole items only.
    HWND whole = Child("ListBox", "", WS_BORDER, 3, 10, 150, 150, 100);
    RECT c;
    GetClientRect(whole, &c);
    EXPECT_EQ(c.bottom % Get(whole, LB_GETITEMHEIGHT), 0);
    EXPECT_LE(c.bottom, 98);
}

}  // namespace
}  // namespace win::testing
