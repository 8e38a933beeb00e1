#include "vcl/controls/combo_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/edit_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/gdi/gdi.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/forms.h"
#include "vcl/system/exceptions.h"

namespace vcl::testing {
namespace {

class ComboBoxTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application()->CreateForm(form);
        form->SetBounds(100, 100, 400, 300);
        form->SetBorderStyle(bsNone);
        combo = New<TComboBox>(form);
        combo->SetParent(form);
        combo->SetBounds(10, 10, 150, 21);
        combo->SetStyle(csDropDownList);
        form->Show();
        Pump();
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i)
            combo->Items()->Add("item " + std::to_string(100 + i));
    }
    static win::HWND List() { return win::FindWindowExA(nullptr, nullptr, "ComboLBox", nullptr); }
    static TPoint ItemPoint(win::HWND list, int i) {
        win::RECT r{};
        win::SendMessageA(list, win::LB_GETITEMRECT, i, reinterpret_cast<win::LPARAM>(&r));
        win::POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        win::ClientToScreen(list, &p);
        return p;
    }
    void ClickAt(TPoint p) {
        QueueMove(p.X, p.Y);
        win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
        win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
        Pump();
    }
    TNotifyEvent Log(const char* what) {
        return TNotifyEvent::FromCallable([this, what](TObject*) { log.push_back(what); });
    }
    TForm* form = nullptr;
    TComboBox* combo = nullptr;
    std::vector<std::string> log;
};

// Stands in for a skin's combo box: a subclass that watches the list's colour request.
class TWatchedCombo : public TComboBox {
public:
    VCL_CLASS(TWatchedCombo, TComboBox)
    explicit TWatchedCombo(TComponent* owner) : TComboBox(owner) {}
    void WndProc(TMessage& m) override {
        if (m.Msg == win::WM_CTLCOLORLISTBOX && !list) {
            list = reinterpret_cast<win::HWND>(m.LParam);
            shownAtFirstAsk = win::IsWindowVisible(list) != 0;
        }
        TComboBox::WndProc(m);
    }
    win::HWND list = nullptr;
    bool shownAtFirstAsk = true;
};

TEST_F(ComboBoxTest, ItemsLiveInTheWindowAndOutliveItsRemaking) {
    for (const char* s : {"pear", "apple", "plum"})
        combo->Items()->Add(s);
    TObject marker;
    combo->Items()->SetObjects(1, &marker);
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "apple");
    EXPECT_EQ(combo->Items()->IndexOf("PLUM"), 2);
    EXPECT_THROW(combo->Items()->Get(3), EStringListError);
    EXPECT_EQ(combo->Items()->Objects(1), &marker);

    combo->SetSorted(true);  // a new window, the same items, now in order
    EXPECT_EQ(combo->Items()->Text(), "apple\r\npear\r\nplum\r\n");
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(GetOrdProp(combo, "Sorted"), 1);

    // The box keeps the height of its field, whatever it is asked.
    const int closed = combo->Height();
    EXPECT_EQ(closed,
              win::SendMessageA(combo->Handle(), win::CB_GETITEMHEIGHT, win::WPARAM(-1), 0) + 6);
    combo->SetHeight(100);
    EXPECT_EQ(combo->Height(), closed);
    combo->Clear();
    EXPECT_EQ(combo->Items()->Count(), 0);
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ComboBoxTest, DroppingShowsDropDownCountRowsAndAPickIsTold) {
    Fill(10);
    combo->SetDropDownCount(3);
    combo->OnDropDown = Log("drop");
    combo->OnCloseUp = Log("close");
    combo->OnChange = Log("change");
    QueueClick(combo);
    Pump();
    ASSERT_TRUE(combo->DroppedDown());
    win::HWND list = List();
    win::RECT r;
    win::GetWindowRect(list, &r);
    EXPECT_EQ(r.bottom - r.top, 3 * combo->ItemHeight() + 2);
    ClickAt(ItemPoint(list, 2));
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "item 102");
    // Without OnSelect a pick is a change; with it, a selection only.
    EXPECT_EQ(log, (std::vector<std::string>{"drop", "close", "change"}));
    combo->OnSelect = Log("select");
    log.clear();
    combo->SetDroppedDown(true);
    ClickAt(ItemPoint(List(), 0));
    EXPECT_EQ(log, (std::vector<std::string>{"drop", "close", "select"}));
    // Setting ItemIndex tells nobody.
    log.clear();
    combo->SetItemIndex(5);
    EXPECT_TRUE(log.empty());
}

TEST_F(ComboBoxTest, TypedLettersPickItemsUntilAPause) {
    for (const char* s : {"alpha", "beta", "bravo", "charlie"})
        combo->Items()->Add(s);
    combo->OnSelect = Log("select");
    combo->SetFocus();
    QueueKey('B', 'b');
    QueueKey('R', 'r');
    Pump();
    EXPECT_EQ(combo->Text(), "bravo");
    clock_.Advance(500);
    QueueKey('A', 'a');
    Pump();
    EXPECT_EQ(combo->Text(), "alpha");
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(ComboBoxTest, TheListAsksItsColoursOfTheBoxBeforeItShows) {
    auto* watched = New<TWatchedCombo>(form);
    watched->SetParent(form);
    watched->SetBounds(10, 60, 150, 21);
    watched->SetStyle(csDropDownList);
    watched->Items()->Add("one");
    watched->SetColor(clRed);
    watched->SetDroppedDown(true);
    ASSERT_NE(watched->list, nullptr);
    EXPECT_EQ(watched->list, List());
    EXPECT_FALSE(watched->shownAtFirstAsk);
    // The list's ground is the box's colour.
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    win::BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = 50;
    bmi.bmiHeader.biHeight = -50;
    bmi.bmiHeader.biBitCount = 32;
    win::HBITMAP bmp = win::CreateDIBSection(nullptr, &bmi, win::DIB_RGB_COLORS, nullptr);
    win::HGDIOBJ old = win::SelectObject(dc, bmp);
    win::SendMessageA(watched->list, win::WM_PRINTCLIENT, reinterpret_cast<win::WPARAM>(dc), 0);
    win::RECT c;
    win::GetClientRect(watched->list, &c);
    EXPECT_EQ(win::GetPixel(dc, 5, c.bottom - 1), win::RGB(255, 0, 0));
    win::SelectObject(dc, old);
    win::DeleteObject(bmp);
    win::DeleteDC(dc);
    watched->SetDroppedDown(false);
}

TEST_F(ComboBoxTest, OwnerDrawnFieldAndItemsGoThroughDrawItem) {
    combo->SetItemHeight(20);
    combo->SetStyle(csOwnerDrawVariable);
    combo->OnMeasureItem = TMeasureItemEvent::FromCallable(
        [](TWinControl*, int index, int& height) { height = 10 + index; });
    Fill(3);
    win::HWND h = combo->Handle();
    EXPECT_EQ(win::SendMessageA(h, win::CB_GETITEMHEIGHT, 2, 0), 12);
    EXPECT_EQ(win::SendMessageA(h, win::CB_GETITEMHEIGHT, win::WPARAM(-1), 0), 20);

    std::vector<std::pair<int, bool>> drawn;  // index, the field
    combo->OnDrawItem =
        TDrawItemEvent::FromCallable([&](TWinControl*, int index, TRect, TOwnerDrawState state) {
            drawn.emplace_back(index, state.Contains(odComboBoxEdit));
        });
    combo->SetItemIndex(1);
    combo->Repaint();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back(), std::make_pair(1, true));
    drawn.clear();
    combo->SetDroppedDown(true);
    win::UpdateWindow(List());
    Pump();
    std::erase_if(drawn, [](const auto& d) { return d.second; });  // the field again
    EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>>{{0, false}, {1, false}, {2, false}}));
    combo->SetDroppedDown(false);
}

// A descendant that takes over the edit's procedure, as a skinned combo box does.
class TEditWatcher : public TComboBox {
public:
    VCL_CLASS(TEditWatcher, TComboBox)
    explicit TEditWatcher(TComponent* owner) : TComboBox(owner) {}
    void EditWndProc(TMessage& m) override {
        if (m.Msg == win::WM_CHAR && blockDigits && m.WParam >= '0' && m.WParam <= '9') {
            m.Result = 0;
            return;
        }
        TComboBox::EditWndProc(m);
    }
    bool blockDigits = true;
};

TEST_F(ComboBoxTest, AnEditableComboCompletesTypedTextFromItsItems) {
    for (const char* s : {"alpha", "beta", "bravo"})
        combo->Items()->Add(s);
    combo->SetStyle(csDropDown);
    ASSERT_NE(combo->EditHandle(), nullptr);
    EXPECT_EQ(combo->Items()->Count(), 3);  // kept across the new window
    combo->OnChange = Log("change");
    combo->OnSelect = Log("select");
    combo->SetFocus();
    EXPECT_TRUE(combo->Focused());
    EXPECT_EQ(form->ActiveControl(), combo);

    QueueKey('B', 'b');
    Pump();
    EXPECT_EQ(combo->Text(), "beta");  // completed, the added part selected
    win::DWORD from = 0, to = 0;
    win::SendMessageA(combo->EditHandle(), win::EM_GETSEL, reinterpret_cast<win::WPARAM>(&from),
                      reinterpret_cast<win::LPARAM>(&to));
    EXPECT_EQ(from, 1u);
    EXPECT_EQ(to, 4u);
    QueueKey('R', 'r');  // replaces the completion
    Pump();
    EXPECT_EQ(combo->Text(), "bravo");
    EXPECT_EQ(combo->ItemIndex(), 2);
    QueueKey('X', 'x');  // nothing begins so: plain typing
    Pump();
    EXPECT_EQ(combo->Text(), "brx");
    EXPECT_EQ(log, (std::vector<std::string>{"change", "select", "change", "select", "change"}));

    combo->SetText("alpha");
    EXPECT_EQ(combo->Text(), "alpha");
    combo->SetAutoComplete(false);
    combo->SetCharCase(ecUpperCase);
    combo->SetFocus();
    combo->SetText("");
    QueueKey('B', 'b');
    Pump();
    EXPECT_EQ(combo->Text(), "B");
}

TEST_F(ComboBoxTest, TheEditsProcedureIsTheClassLibrarysToReplace) {
    auto* c = New<TEditWatcher>(form);
    c->SetParent(form);
    c->SetBounds(10, 60, 150, 21);
    c->SetFocus();
    QueueKey('A', 'a');
    QueueKey('1', '1');
    QueueKey('B', 'b');
    Pump();
    EXPECT_EQ(c->Text(), "ab");
    c->blockDigits = false;
    QueueKey('2', '2');
    Pump();
    EXPECT_EQ(c->Text(), "ab2");
}

}  // namespace
}  // namespace vcl::testing
