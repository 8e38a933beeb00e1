#include "skin/controls/list_boxes.h"

#include <gtest/gtest.h>

#include "platform/controls/list_box_control.h"
#include "platform/controls/native_control.h"
#include "platform/gdi/gdi.h"
#include "platform/os/cp_literal.h"
#include "platform/user/user.h"
#include "skin/core/state/form_animations.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/system/exceptions.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

class SkinListBoxTest : public FormTest {
protected:
    template <class L>
    L* List(std::initializer_list<const char*> items) {
        auto* l = Place<L>(form, Bounds(10, 10, 150, 120));
        for (const char* s : items)
            l->Items()->Add(s);
        return l;
    }
    void ClickItem(TsAlphaListBox* l, int index, int x) {
        const TRect r = l->ItemRect(index);
        const TPoint p = l->ClientToScreen({r.Left + x, (r.Top + r.Bottom) / 2});
        QueueMove(p.X, p.Y);
        win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
        win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
        Pump();
    }
};

TEST_F(SkinListBoxTest, ItemsAndSelectionAsTheChooserUsesThem) {
    auto* l = List<TsListBox>({"alpha", "beta", "gamma"});
    EXPECT_EQ(l->SkinData()->SkinSection(), "EDIT");
    EXPECT_EQ(l->SkinData()->COC, 97);
    EXPECT_EQ(l->Count(), 3);
    EXPECT_EQ(l->ItemIndex(), -1);
    int clicks = 0;
    l->OnClick = TNotifyEvent::FromCallable([&](TObject*) { ++clicks; });
    l->SetItemIndex(1);
    EXPECT_EQ(l->ItemIndex(), 1);
    EXPECT_TRUE(l->Selected(1));
    EXPECT_EQ(clicks, 0);  // set by code: no click
    form->Show();
    Pump();
    ClickItem(l, 2, 10);
    EXPECT_EQ(l->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    int doubles = 0;
    l->OnDblClick = TNotifyEvent::FromCallable([&](TObject*) { ++doubles; });
    ClickItem(l, 0, 10);
    ClickItem(l, 0, 10);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(clicks, 2);  // the second press of a double click changes nothing
    l->Clear();
    EXPECT_EQ(l->Count(), 0);
    EXPECT_EQ(l->ItemIndex(), -1);
    // Several selected: the index is the caret's.
    l->SetMultiSelect(true);
    for (const char* s : {"a", "b", "c", "d"})
        l->Items()->Add(s);
    l->SetSelected(0, true);
    l->SetSelected(2, true);
    l->SetItemIndex(3);
    EXPECT_EQ(l->ItemIndex(), 3);
    EXPECT_TRUE(l->Selected(0));
    EXPECT_TRUE(l->Selected(2));
    l->ClearSelection();
    EXPECT_FALSE(l->Selected(0));
    EXPECT_THROW(l->SetSelected(9, true), EListError);
}

// The standard style is drawn by the list box itself; its items still take their height from
// the font, at creation and when the font changes. A check list keeps its own item height.
TEST_F(SkinListBoxTest, StandardItemsAreAsTallAsALineOfTheFont) {
    auto* l = List<TsListBox>({"alpha", "beta"});
    auto* checks = List<TsCheckListBox>({"alpha", "beta"});
    for (int size : {8, 20}) {
        l->Font()->SetSize(size);
        checks->Font()->SetSize(size);
        Pump();
        const int line = win::FontLineHeight(l->Handle(), l->Font()->Handle());
        EXPECT_EQ(l->ItemRect(1).Height(), line) << size;
        EXPECT_EQ(l->ItemRect(1).Top, line) << size;
        EXPECT_EQ(checks->ItemRect(1).Top, 16) << size;
    }
}

TEST_F(SkinListBoxTest, ThePreviouslySelectedItemIsRepaintedAtOnce) {
    auto* l = List<TsListBox>({"one", "two", "three"});
    l->SetStyle(lbOwnerDrawFixed);
    std::vector<int> drawn;
    win::HDC first = nullptr;
    l->OnDrawItem =
        TDrawItemEvent::FromCallable([&](TWinControl*, int index, TRect, TOwnerDrawState) {
            if (drawn.empty()) first = l->Canvas()->Handle();
            drawn.push_back(index);
        });
    form->Show();
    Pump();
    l->SetItemIndex(0);
    drawn.clear();
    l->SetItemIndex(2);
    ASSERT_FALSE(drawn.empty());  // before any message is handled
    EXPECT_EQ(drawn.front(), 0);
    // While a picture of the window is taken, into the DC it is taken with.
    TBitmap picture;
    picture.SetSize(l->Width(), l->Height());
    AnimDC = picture.Canvas()->Handle();
    drawn.clear();
    l->SetItemIndex(0);
    AnimDC = nullptr;
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(first, picture.Canvas()->Handle());
}

TEST_F(SkinListBoxTest, AnUnfocusedListKeepsItsCurrentItemHighlighted) {
    auto* l = List<TsListBox>({"one", "two", "three"});
    auto* other = Place<TButton>(form, Bounds(200, 10, 75, 25));
    l->SetStyle(lbOwnerDrawFixed);
    form->Show();
    Pump();
    l->SetItemIndex(1);
    other->SetFocus();
    Pump();
    const TRect r = l->ItemRect(1);
    EXPECT_EQ(ScreenPixel(l, r.Right - 5, (r.Top + r.Bottom) / 2),
              static_cast<win::COLORREF>(vcl::ColorToRGB(clHighlight)));
    const TRect r0 = l->ItemRect(0);
    EXPECT_EQ(ScreenPixel(l, r0.Right - 5, (r0.Top + r0.Bottom) / 2),
              static_cast<win::COLORREF>(vcl::ColorToRGB(clWindow)));
}

TEST_F(SkinListBoxTest, TypingSelectsTheFirstItemThatBeginsWithIt) {
    auto* l = List<TsListBox>({"Москва"_cp, "Мурманск"_cp, "Омск"_cp, "мурашки"_cp});
    int clicks = 0;
    l->OnClick = TNotifyEvent::FromCallable([&](TObject*) { ++clicks; });
    form->Show();
    Pump();
    l->SetFocus();
    QueueKey(0, "м"_cp[0]);
    QueueKey(0, "у"_cp[0]);
    Pump();
    EXPECT_EQ(l->ItemIndex(), 1);  // within 500 ms: "му", ignoring case
    EXPECT_EQ(clicks, 2);
    clock_.Advance(500);  // a pause starts a new search
    QueueKey(0, "о"_cp[0]);
    Pump();
    EXPECT_EQ(l->ItemIndex(), 2);
    QueueKey(win::VK_BACK, 8);
    Pump();
    EXPECT_EQ(l->ItemIndex(), 0);  // nothing typed any more: the first item
    // Nothing found: the selection stays; the window's own search does not run.
    clock_.Advance(600);
    QueueKey(0, 'z');
    Pump();
    EXPECT_EQ(l->ItemIndex(), 0);
    l->SetAutoComplete(false);
    clock_.Advance(600);
    QueueKey(0, "О"_cp[0]);
    Pump();
    EXPECT_EQ(l->ItemIndex(), 2);  // now the window searches by itself
}

TEST_F(SkinListBoxTest, MakingTheWindowAgainKeepsItemsAndSelection) {
    auto* l = List<TsListBox>({"delta", "alpha", "charlie", "bravo"});
    auto* marker = New<TObject>();
    l->Items()->SetObjects(0, marker);
    form->Show();
    Pump();
    l->SetItemIndex(0);
    l->SetSorted(true);
    ASSERT_EQ(l->Count(), 4);
    EXPECT_EQ(l->Items()->Get(0), "alpha");
    EXPECT_EQ(l->Items()->Get(3), "delta");
    EXPECT_EQ(l->ItemIndex(), 3);  // still "delta"
    EXPECT_EQ(l->Items()->Objects(3), marker);
    l->SetBorderStyle(bsNone);
    EXPECT_EQ(l->Count(), 4);
    EXPECT_EQ(l->ItemIndex(), 3);
    marker->Free();
}

TEST_F(SkinListBoxTest, OnlyAVirtualListTakesACount) {
    auto* l = List<TsListBox>({"x"});
    l->SetName("lstNames");
    try {
        l->SetCount(10);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "Listbox (lstNames) style must be virtual in order to set Count");
    }
    l->SetStyle(lbVirtual);
    EXPECT_EQ(l->Count(), 0);
    l->OnData = TLBGetDataEvent::FromCallable(
        [](TWinControl*, int index, std::string& data) { data = "row " + std::to_string(index); });
    l->SetCount(10);
    EXPECT_EQ(l->Count(), 10);
    EXPECT_EQ(l->Items()->Get(7), "row 7");
    char buf[32] = {};
    EXPECT_EQ(
        win::SendMessageA(l->Handle(), win::LB_GETTEXT, 3, reinterpret_cast<win::LPARAM>(buf)), 5);
    EXPECT_STREQ(buf, "row 3");
    EXPECT_EQ(l->Items()->Add("ignored"), -1);
}

TEST_F(SkinListBoxTest, AnAutomaticDragStartsOnAPressAndACancelEndsTheWindowsTracking) {
    auto* l = List<TsListBox>({"a", "b", "c", "d", "e"});
    l->SetMultiSelect(true);
    l->SetDragMode(dmAutomatic);
    form->Show();
    Pump();
    std::vector<std::string> log;
    l->OnStartDrag = TNotifyEvent::FromCallable([&](TObject*) { log.push_back("start"); });
    l->OnEndDrag = TNotifyEvent::FromCallable([&](TObject*) { log.push_back("end"); });
    const auto press = [&](int item, win::WPARAM keys) {
        const TRect r = l->ItemRect(item);
        l->Perform(win::WM_LBUTTONDOWN, win::MK_LBUTTON | keys,
                   intptr_t(win::MAKELPARAM(r.Left + 5, (r.Top + r.Bottom) / 2)));
    };
    const auto selection = [&] {
        std::string s;
        for (int i = 0; i < 5; ++i) s += l->Selected(i) ? char('a' + i) : '.';
        return s;
    };
    struct Case {
        std::string selected;  // before the press
        int item;
        win::WPARAM keys;
        bool drags;
        std::string after;
    } cases[] = {
        {".bc..", 2, 0, true, ".bc.."},                // on the selection: it stays
        {".bc..", 0, 0, true, "a...."},                // elsewhere: selected first
        {".bc..", 4, win::MK_CONTROL, false, ".bc.e"},  // Ctrl extends, no drag
        {".bc..", 1, win::MK_SHIFT, false, ".bcde"},    // Shift: a range from the anchor
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after);
        for (int i = 0; i < 5; ++i) l->SetSelected(i, c.selected[size_t(i)] != '.');
        log.clear();
        press(c.item, c.keys);
        EXPECT_EQ(l->Dragging(), c.drags);
        EXPECT_EQ(selection(), c.after);
        if (c.drags) {
            EXPECT_EQ(win::GetCapture(), l->Handle());
            l->Perform(win::WM_LBUTTONUP, 0, 0);
            EXPECT_EQ(log, (std::vector<std::string>{"start", "end"}));
        } else {
            l->Perform(win::WM_LBUTTONUP, 0, 0);
            EXPECT_TRUE(log.empty());
        }
        EXPECT_FALSE(l->Dragging());
        EXPECT_NE(win::GetCapture(), l->Handle());
    }
    // Escape cancels: the window hears a press and release where the mouse is, which selects
    // the item there as any click does.
    for (int i = 0; i < 5; ++i) l->SetSelected(i, i == 1);
    press(1, 0);
    ASSERT_TRUE(l->Dragging());
    const TRect r = l->ItemRect(3);
    const TPoint at = l->ClientToScreen({r.Left + 5, (r.Top + r.Bottom) / 2});
    win::SetCursorPos(at.X, at.Y);
    l->Perform(win::WM_KEYDOWN, win::VK_ESCAPE, 0);
    EXPECT_FALSE(l->Dragging());
    EXPECT_NE(win::GetCapture(), l->Handle());
    EXPECT_EQ(selection(), "...d.");
}

class SkinCheckListBoxTest : public SkinListBoxTest {};

TEST_F(SkinCheckListBoxTest, CheckedReadsFalseUntilSetAndRepaintsOnlyOnChange) {
    auto* l = List<TsCheckListBox>({"list 1", "list 2", "list 3"});
    EXPECT_FALSE(l->Checked(0));
    EXPECT_EQ(l->State(0), cbUnchecked);
    EXPECT_EQ(l->ItemData(0), 0);
    l->SetChecked(1, true);
    EXPECT_TRUE(l->Checked(1));
    EXPECT_FALSE(l->Checked(0));
    // The application's data is its own, beside the check state.
    l->Items()->SetObjects(1, reinterpret_cast<TObject*>(intptr_t(42)));
    EXPECT_EQ(l->ItemData(1), 42);
    EXPECT_TRUE(l->Checked(1));
    form->Show();
    Pump();
    win::ValidateRect(l->Handle(), nullptr);
    l->SetChecked(1, true);  // the same value: nothing to paint
    win::RECT dirty;
    EXPECT_FALSE(win::GetUpdateRect(l->Handle(), &dirty, false));
    EXPECT_FALSE(l->ItemEnabled(-1));
    EXPECT_FALSE(l->ItemEnabled(3));
    EXPECT_TRUE(l->ItemEnabled(2));
    // Deleting an item takes its state with it.
    l->Items()->Delete(0);
    EXPECT_TRUE(l->Checked(0));
    EXPECT_EQ(l->ItemData(0), 42);
}

TEST_F(SkinCheckListBoxTest, ClicksOnTheCheckAndTheSpaceBarToggleEnabledItems) {
    auto* l = List<TsCheckListBox>({"a", "b", "c"});
    int clicks = 0;
    l->OnClickCheck = TNotifyEvent::FromCallable([&](TObject*) { ++clicks; });
    form->Show();
    Pump();
    EXPECT_EQ(l->CheckWidth(), 13 + 2);  // a quarter of the system's check bitmap, and 2
    ClickItem(l, 0, 5);
    EXPECT_TRUE(l->Checked(0));
    ClickItem(l, 0, 5);
    EXPECT_FALSE(l->Checked(0));
    ClickItem(l, 0, 40);  // on the text: selects, does not toggle
    EXPECT_FALSE(l->Checked(0));
    EXPECT_EQ(l->ItemIndex(), 0);
    EXPECT_EQ(clicks, 2);
    l->SetAllowGrayed(true);
    QueueKey(win::VK_SPACE, ' ');
    Pump();
    EXPECT_EQ(l->State(0), cbGrayed);
    QueueKey(win::VK_SPACE, ' ');
    Pump();
    EXPECT_EQ(l->State(0), cbChecked);
    QueueKey(win::VK_SPACE, ' ');
    Pump();
    EXPECT_EQ(l->State(0), cbUnchecked);
    EXPECT_EQ(clicks, 5);
    // A disabled item keeps its state.
    l->SetItemEnabled(1, false);
    ClickItem(l, 1, 5);
    QueueKey(win::VK_SPACE, ' ');
    Pump();
    EXPECT_EQ(l->State(1), cbUnchecked);
    EXPECT_EQ(clicks, 5);
}

TEST_F(SkinCheckListBoxTest, StatesFollowTheirItemsWhenTheWindowIsMadeAgain) {
    auto* l = List<TsCheckListBox>({"c", "a", "b"});
    l->SetChecked(0, true);       // "c"
    l->SetItemEnabled(2, false);  // "b"
    form->Show();
    Pump();
    l->SetSorted(true);
    ASSERT_EQ(l->Items()->Get(0), "a");
    EXPECT_FALSE(l->Checked(0));
    EXPECT_FALSE(l->ItemEnabled(1));  // "b"
    EXPECT_TRUE(l->Checked(2));       // "c"
    EXPECT_TRUE(l->ItemEnabled(2));
}

}  // namespace
}  // namespace skin
