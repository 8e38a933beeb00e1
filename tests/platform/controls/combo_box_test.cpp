#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/os/cp_literal.h"
#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

class ComboBoxTest : public ControlsTest {
protected:
    HWND Combo(DWORD style, int count, int height = 200) {
        HWND c = Child("ComboBox", "", style, 8, 10, 10, 150, height);
        for (int i = 0; i < count; ++i) {
            const std::string s = "item " + std::to_string(100 + i);
            SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
        }
        return c;
    }
    static HWND ListOf(HWND) { return FindWindowExA(nullptr, nullptr, "ComboLBox", nullptr); }
    static LRESULT Get(HWND c, UINT msg, WPARAM wp = 0) { return SendMessageA(c, msg, wp, 0); }
    static bool Dropped(HWND c) { return Get(c, CB_GETDROPPEDSTATE) != 0; }
};

// A procedure put over a window's, as a skin's adapter or a class library does: it notes the
// messages it watches for and passes everything on, until taken off again.
class Spy {
public:
    Spy(HWND h, std::vector<UINT> watch) : h_(h), watch_(std::move(watch)) {
        Current() = this;
        next_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~Spy() { Remove(); }
    void Remove() {
        if (!next_) return;
        SetWindowLongPtrA(h_, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(next_));
        next_ = nullptr;
    }
    std::vector<UINT> seen;

private:
    static Spy*& Current() {
        static Spy* spy = nullptr;
        return spy;
    }
    static LRESULT Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        Spy* s = Current();
        if (std::find(s->watch_.begin(), s->watch_.end(), msg) != s->watch_.end())
            s->seen.push_back(msg);
        return CallWindowProcA(s->next_, h, msg, wp, lp);
    }
    HWND h_;
    std::vector<UINT> watch_;
    WNDPROC next_ = nullptr;
};

TEST_F(ComboBoxTest, ADropDownListShowsItsChoiceInAClassicBox) {
    HWND c = Combo(CBS_DROPDOWNLIST, 5);
    const int field = static_cast<int>(Get(c, CB_GETITEMHEIGHT, WPARAM(-1)));
    RECT r;
    GetWindowRect(c, &r);
    EXPECT_EQ(r.bottom - r.top, field + 6);  // the room below is for the list
    EXPECT_EQ(Get(c, CB_GETCOUNT), 5);
    EXPECT_EQ(Get(c, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(TextOf(c), "");
    EXPECT_EQ(SendMessageA(c, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(TextOf(c), "item 102");
    EXPECT_EQ(SendMessageA(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ITEM 104")), TRUE);
    EXPECT_EQ(Get(c, CB_GETCURSEL), 4);
    EXPECT_EQ(SendMessageA(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("none")), CB_ERR);
    EXPECT_EQ(SendMessageA(c, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("item 10")), 0);
    EXPECT_EQ(SendMessageA(c, CB_DELETESTRING, 0, 0), 4);
    EXPECT_EQ(Get(c, CB_GETCURSEL), CB_ERR);  // the chosen item went
    EXPECT_TRUE(Codes(c).empty());            // messages are never told back
    EXPECT_EQ(Get(c, CB_GETEDITSEL), CB_ERR);

    // A 2-pixel sunken edge, the arrow button inside it on the right.
    SendMessageA(c, CB_SETCURSEL, 0, 0);
    Shot shot(c);
    EXPECT_EQ(shot.At(5, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(shot.At(5, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(shot.At(5, field + 5), GetSysColor(COLOR_BTNHIGHLIGHT));
    const int button = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(shot.At(150 - 2 - button + 1, 3), GetSysColor(COLOR_BTNHIGHLIGHT));  // raised
    EXPECT_EQ(shot.At(150 - 3 - button, 5), GetSysColor(COLOR_WINDOW));
    EXPECT_NE(shot.Columns(GetSysColor(COLOR_WINDOWTEXT)).first, -1);  // the chosen text
}

// The class library asks for WS_VSCROLL, meant for the list.
TEST_F(ComboBoxTest, AScrollBarAskedForIsNotTheBoxs) {
    HWND c = Combo(CBS_DROPDOWN | WS_VSCROLL, 3);
    EXPECT_EQ(GetWindowLongPtrA(c, GWL_STYLE) & WS_VSCROLL, 0);
    RECT client;
    GetClientRect(c, &client);
    EXPECT_EQ(client.right, 150);
}

TEST_F(ComboBoxTest, DroppingAsksTheColoursWithTheListBeforeShowingItBelow) {
    HWND c = Combo(CBS_DROPDOWNLIST, 5);
    Click(c);
    ASSERT_TRUE(Dropped(c));
    HWND list = ListOf(c);
    ASSERT_NE(list, nullptr);
    char cls[16] = {};
    GetClassNameA(list, cls, sizeof cls);
    EXPECT_STREQ(cls, "ComboLBox");
    // CBN_DROPDOWN first, then WM_CTLCOLORLISTBOX with the list, still hidden.
    std::vector<UINT> order;
    for (const Note& n : Notes())
        if (n.msg == WM_CTLCOLORLISTBOX || n.msg == WM_COMMAND) order.push_back(n.msg);
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], WM_COMMAND);
    EXPECT_EQ(Codes(c).front(), CBN_DROPDOWN);
    const Note* colour = nullptr;
    for (const Note& n : Notes())
        if (n.msg == WM_CTLCOLORLISTBOX && !colour) colour = &n;
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(colour->lp), list);
    EXPECT_FALSE(colour->shown);

    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(GetCapture(), list);
    EXPECT_EQ(GetFocus(), c);  // the list never takes the focus
    EXPECT_TRUE(GetWindowLongPtrA(list, GWL_STYLE) & WS_BORDER);
    RECT cr, lr;
    GetWindowRect(c, &cr);
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.top, cr.bottom);
    EXPECT_EQ(lr.left, cr.left);
    EXPECT_EQ(lr.right, cr.right);
    EXPECT_EQ(lr.bottom - lr.top, 5 * Get(list, LB_GETITEMHEIGHT) + 2);  // as many rows as items

    // A click on an item picks it: the list goes, then the parent hears the new choice.
    Notes().clear();
    ClickAt(ListItemPoint(list, 3));
    EXPECT_FALSE(Dropped(c));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Get(c, CB_GETCURSEL), 3);
    EXPECT_EQ(TextOf(c), "item 103");
    EXPECT_EQ(Codes(c), (std::vector<WORD>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
}

TEST_F(ComboBoxTest, APressThatDropsTheListIsTrackedUntilLetGo) {
    HWND c = Combo(CBS_DROPDOWNLIST, 5);
    Click(c);
    HWND list = ListOf(c);
    Click(c);  // closes again: the press went to the list, outside it
    ASSERT_FALSE(Dropped(c));
    Spy spy(list, {LBCB_STARTTRACK, LBCB_ENDTRACK});
    Notes().clear();

    // Let go on the box itself: the list stays, the drag ends.
    PressAt(Centre(c));
    EXPECT_EQ(spy.seen, std::vector<UINT>{LBCB_STARTTRACK});
    ReleaseAt(Centre(c).x, Centre(c).y);
    EXPECT_EQ(spy.seen, (std::vector<UINT>{LBCB_STARTTRACK, LBCB_ENDTRACK}));
    EXPECT_TRUE(Dropped(c));
    EXPECT_EQ(GetCapture(), list);
    // The mouse passing over an item marks it; a press outside takes that back.
    MoveTo(ListItemPoint(list, 2));
    EXPECT_EQ(Get(list, LB_GETCURSEL), 2);
    ClickAt(POINT{300, 250});
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(Get(c, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Codes(c), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));

    // Pressed, dragged onto an item and let go there: picked.
    Notes().clear();
    spy.seen.clear();
    PressAt(Centre(c));
    ReleaseAt(ListItemPoint(list, 4).x, ListItemPoint(list, 4).y);
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(Get(c, CB_GETCURSEL), 4);
    EXPECT_EQ(spy.seen, (std::vector<UINT>{LBCB_STARTTRACK, LBCB_ENDTRACK}));
    EXPECT_EQ(Codes(c).back(), CBN_SELCHANGE);
}

TEST_F(ComboBoxTest, KeysMoveTheChoiceAndOpenAndCloseTheList) {
    HWND c = Combo(CBS_DROPDOWNLIST, 30);
    SetFocus(c);
    Tap(VK_DOWN);
    EXPECT_EQ(Get(c, CB_GETCURSEL), 0);
    Tap(VK_DOWN);
    Tap(VK_END);
    EXPECT_EQ(Get(c, CB_GETCURSEL), 29);
    Tap(VK_HOME);
    EXPECT_EQ(Codes(c).size(), 4u);
    Tap('I', 'i');  // typing picks the next item it begins
    EXPECT_EQ(Get(c, CB_GETCURSEL), 1);

    Notes().clear();
    Tap(VK_F4);
    ASSERT_TRUE(Dropped(c));
    EXPECT_EQ(Get(c, WM_GETDLGCODE) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    Tap(VK_DOWN);  // told at once, even dropped
    EXPECT_EQ(Get(c, CB_GETCURSEL), 2);
    Tap(VK_RETURN, '\r');
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(Codes(c),
              (std::vector<WORD>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
    Key(VK_MENU, true);
    Tap(VK_DOWN);
    Key(VK_MENU, false);
    EXPECT_TRUE(Dropped(c));
    Tap(VK_ESCAPE, 0x1B);
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(Get(c, CB_GETCURSEL), 2);

    // The wheel over a closed box steps the choice.
    QueueMouseEvent(MouseEvent{MouseEvent::Wheel, Centre(c), MouseButton::None, -WHEEL_DELTA});
    Pump();
    EXPECT_EQ(Get(c, CB_GETCURSEL), 3);
}

TEST_F(ComboBoxTest, TheDroppedListScrollsByItsBarAndClosesWhenTheFocusGoes) {
    HWND c = Combo(CBS_DROPDOWNLIST, 30);
    HWND other = Child("Button", "other", 0, 9, 200, 10, 75, 23);
    Click(c);
    HWND list = ListOf(c);
    ASSERT_TRUE(Dropped(c));
    EXPECT_TRUE(GetWindowLongPtrA(list, GWL_STYLE) & WS_VSCROLL);
    // A press on the bar's lower arrow scrolls; the list stays down and keeps the capture.
    RECT lr;
    GetWindowRect(list, &lr);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    ClickAt(POINT{lr.right - 1 - bar / 2, lr.bottom - 1 - bar / 2});
    EXPECT_EQ(Get(list, LB_GETTOPINDEX), 1);
    EXPECT_TRUE(Dropped(c));
    EXPECT_EQ(GetCapture(), list);

    Notes().clear();
    SetFocus(other);
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(Codes(c), (std::vector<WORD>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

TEST_F(ComboBoxTest, TheRoomAskedByTheHeightAndTheScreensEnd) {
    HWND c = Combo(CBS_DROPDOWNLIST, 30, 100);
    RECT r;
    GetWindowRect(c, &r);
    const int closed = r.bottom - r.top;
    SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = ListOf(c);
    const int ih = static_cast<int>(Get(list, LB_GETITEMHEIGHT));
    RECT lr;
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.bottom - lr.top, (100 - closed - 2) / ih * ih + 2);  // whole rows in the room
    SendMessageA(c, CB_SHOWDROPDOWN, FALSE, 0);
    // Placed higher, the box keeps its height and gives the list more room.
    SetWindowPos(c, nullptr, 0, 0, 150, 200, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(c, &r);
    EXPECT_EQ(r.bottom - r.top, closed);
    SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0);
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.bottom - lr.top, (200 - closed - 2) / ih * ih + 2);
    SendMessageA(c, CB_SHOWDROPDOWN, FALSE, 0);

    // Near the screen's bottom the list opens above the box.
    SetWindowPos(parent_, nullptr, 0, GetSystemMetrics(SM_CYSCREEN) - 60, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0);
    GetWindowRect(c, &r);
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.bottom, r.top);
}

TEST_F(ComboBoxTest, OwnerDrawnFieldAndItems) {
    Measure(
        [](MEASUREITEMSTRUCT* m) { m->itemHeight = m->itemID == static_cast<UINT>(-1) ? 24 : 18; });
    HWND c = Combo(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 3);
    std::vector<UINT> measured;
    for (const Note& n : Notes())
        if (n.msg == WM_MEASUREITEM && n.ctlType == ODT_COMBOBOX) measured.push_back(n.itemID);
    EXPECT_EQ(measured, (std::vector<UINT>{static_cast<UINT>(-1), 0u}));
    EXPECT_EQ(Get(c, CB_GETITEMHEIGHT, WPARAM(-1)), 24);
    EXPECT_EQ(Get(c, CB_GETITEMHEIGHT, 0), 18);
    RECT r;
    GetWindowRect(c, &r);
    EXPECT_EQ(r.bottom - r.top, 30);

    SendMessageA(c, CB_SETCURSEL, 1, 0);
    SetFocus(c);
    Notes().clear();
    { Shot shot(c); }
    ASSERT_EQ(Notes().back().msg, WM_DRAWITEM);
    EXPECT_EQ(Notes().back().itemID, 1u);
    EXPECT_EQ(Notes().back().ctlType, ODT_COMBOBOX);
    EXPECT_EQ(Notes().back().itemState, ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(Notes().back().item, c);

    // The list's items go to the same parent as the combo box's, without the field's mark.
    SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0);
    Notes().clear();
    { Shot shot(ListOf(c)); }
    std::vector<Note> items;
    for (const Note& n : Notes())
        if (n.msg == WM_DRAWITEM) items.push_back(n);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].ctlType, ODT_COMBOBOX);
    EXPECT_EQ(items[1].item, c);
    EXPECT_EQ(items[1].itemState, ODS_SELECTED);
    EXPECT_EQ(items[0].itemState, 0u);
}

TEST_F(ComboBoxTest, ADropDownComboTypesInItsEditAndTheListFollows) {
    HWND c = Combo(CBS_DROPDOWN | CBS_AUTOHSCROLL, 5);
    HWND edit = FindWindowExA(c, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    // The edit fills the field inside the edge and ends before the button.
    RECT er, cr;
    GetWindowRect(edit, &er);
    GetWindowRect(c, &cr);
    EXPECT_EQ(er.left - cr.left, 3);
    EXPECT_EQ(er.top - cr.top, 3);
    EXPECT_LE(er.right, cr.right - 2 - GetSystemMetrics(SM_CXVSCROLL));
    SetFocus(c);
    EXPECT_EQ(GetFocus(), edit);

    Type("it");
    EXPECT_EQ(TextOf(c), "it");
    EXPECT_EQ(Codes(c),
              (std::vector<WORD>{CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE}));
    SendMessageA(c, CB_SETCURSEL, 2, 0);  // text put by the box is no edit of the operator's
    EXPECT_EQ(TextOf(c), "item 102");
    EXPECT_EQ(Get(c, CB_GETEDITSEL), MAKELONG(0, 8));
    EXPECT_EQ(Codes(c).size(), 4u);
    Tap(VK_DOWN);  // keys in the edit still move the choice
    EXPECT_EQ(Get(c, CB_GETCURSEL), 3);
    EXPECT_EQ(TextOf(c), "item 103");
    EXPECT_EQ(Codes(c).back(), CBN_SELCHANGE);

    // Typed while dropped, the text marks the first item it begins; Enter picks it and its
    // character does not reach the edit.
    Tap(VK_F4);
    ASSERT_TRUE(Dropped(c));
    Type("item 101");
    EXPECT_EQ(Get(ListOf(c), LB_GETCURSEL), 1);
    Notes().clear();
    Tap(VK_RETURN, '\r');
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(Get(c, CB_GETCURSEL), 1);
    EXPECT_EQ(TextOf(c), "item 101");
    EXPECT_EQ(Codes(c), (std::vector<WORD>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));

    // The limit is the edit's; the selection of the edit is the box's to set.
    SendMessageA(c, CB_LIMITTEXT, 4, 0);
    SendMessageA(c, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    Type("abcdef");
    EXPECT_EQ(TextOf(c), "abcd");
    // A press on the button drops the list; a press in the edit does not.
    Click(edit);
    EXPECT_FALSE(Dropped(c));
    ClickAt(POINT{cr.right - 4, (cr.top + cr.bottom) / 2});
    EXPECT_TRUE(Dropped(c));
    Tap(VK_ESCAPE, 0x1B);
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(TextOf(c), "abcd");
}

TEST_F(ComboBoxTest, TheEditsProcedureMayBeReplacedAboveTheBoxs) {
    HWND c = Combo(CBS_DROPDOWN, 3);
    HWND edit = FindWindowExA(c, nullptr, "Edit", nullptr);
    Spy spy(edit, {WM_KEYDOWN, WM_CHAR});
    SetFocus(c);
    Type("x");
    Tap(VK_DOWN);
    EXPECT_EQ(spy.seen, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYDOWN}));
    EXPECT_EQ(Get(c, CB_GETCURSEL), 0);  // the box's own handling still below
    spy.Remove();
    Tap(VK_DOWN);
    EXPECT_EQ(Get(c, CB_GETCURSEL), 1);
    EXPECT_EQ(spy.seen.size(), 3u);
}

TEST_F(ComboBoxTest, ASimpleComboShowsItsListUnderTheEdit) {
    HWND c = Combo(CBS_SIMPLE, 5, 120);
    RECT cr;
    GetWindowRect(c, &cr);
    EXPECT_EQ(cr.bottom - cr.top, 120);
    HWND list = FindWindowExA(c, nullptr, "ComboLBox", nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT lr;
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.top - cr.top, Get(c, CB_GETITEMHEIGHT, WPARAM(-1)) + 6);
    EXPECT_EQ(lr.bottom, cr.bottom);
    ClickAt(ListItemPoint(list, 2));
    EXPECT_EQ(Get(c, CB_GETCURSEL), 2);
    EXPECT_EQ(TextOf(c), "item 102");
    EXPECT_EQ(GetFocus(), FindWindowExA(c, nullptr, "Edit", nullptr));
    ClickAt(ListItemPoint(list, 2));
    EXPECT_EQ(Codes(c), (std::vector<WORD>{CBN_SELCHANGE, CBN_DBLCLK}));
    Tap(VK_DOWN);
    EXPECT_EQ(Get(c, CB_GETCURSEL), 3);
    EXPECT_EQ(Get(list, LB_GETCURSEL), 3);
    SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_FALSE(Dropped(c));
}

}  // namespace
}  // namespace win::testing
