#include "skin/controls/spin_edits.h"

#include <gtest/gtest.h>

#include "platform/controls/edit_control.h"
#include "platform/user/user.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

class SkinSpinEditTest : public FormTest {
protected:
    // The pause edit of the mailing window: whole seconds 0 to 60.
    TsDecimalSpinEdit* PauseEdit() {
        auto* ed = Place<TsDecimalSpinEdit>(form, Bounds(10, 10, 80, 21));
        ed->SetDecimalPlaces(0);
        ed->SetMinValue(0);
        ed->SetMaxValue(60);
        return ed;
    }
    void Type(const std::string& s) {
        for (char c : s)
            QueueKey(0, c);
        Pump();
    }
    void ClickAt(TControl* c, TPoint local) {
        const TPoint p = c->ClientToScreen(local);
        QueueMove(p.X, p.Y);
        win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
        win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
        Pump();
    }
};

TEST_F(SkinSpinEditTest, ValueIsReadFromTheTextAndShownWithItsDecimals) {
    auto* ed = PauseEdit();
    ed->SetValue(5);
    EXPECT_EQ(ed->Text(), "5");
    EXPECT_EQ(ed->Value(), 5);
    ed->SetValue(2.6L);
    EXPECT_EQ(ed->Text(), "3");
    ed->SetValue(75);  // kept within its limits
    EXPECT_EQ(ed->Text(), "60");
    EXPECT_EQ(ed->Value(), 60);
    ed->SetText("12");
    EXPECT_EQ(ed->Value(), 12);
    ed->SetText("abc");  // not a number: 0
    EXPECT_EQ(ed->Value(), 0);
    // Equal limits limit nothing; decimals follow DecimalPlaces.
    auto* free = Place<TsDecimalSpinEdit>(form, Bounds(10, 40, 80, 21));
    EXPECT_EQ(free->DecimalPlaces(), 2);
    free->SetValue(-1234.5L);
    EXPECT_EQ(free->Text(), "-1234,50");
    EXPECT_EQ(free->Value(), -1234.5L);
    SetFloatProp(free, "Value", 7.26);
    EXPECT_EQ(GetFloatProp(free, "Value"), 7.26);
    free->SetDecimalPlaces(1);
    EXPECT_EQ(free->Text(), "7,3");
}

TEST_F(SkinSpinEditTest, TypedTextIsReadAsItChangesAndPulledIntoRangeOnLeaving) {
    auto* ed = PauseEdit();
    auto* other = Place<TButton>(form, Bounds(10, 100, 75, 25));
    long double seen = -1;
    ed->OnChange = TNotifyEvent::FromCallable([&](TObject*) { seen = ed->Value(); });
    ed->SetValue(1);
    form->Show();
    Pump();
    ed->SetFocus();
    Pump();
    ed->SelectAll();
    Type("75");
    EXPECT_EQ(seen, 75);  // what is typed is read at once, even beyond the limits
    other->SetFocus();
    Pump();
    EXPECT_EQ(ed->Text(), "60");
    EXPECT_EQ(ed->Value(), 60);
}

TEST_F(SkinSpinEditTest, OnlyTheCharactersOfANumberAreTyped) {
    auto* ed = Place<TsDecimalSpinEdit>(form, Bounds(10, 10, 100, 21));
    ed->SetText("");
    form->Show();
    Pump();
    ed->SetFocus();
    Pump();
    Type("-1a2,5,+-");  // a second separator, a letter and late signs are refused
    EXPECT_EQ(ed->Text(), "-12,5");
    ed->SetText("");
    Type("12-");
    EXPECT_EQ(ed->Text(), "12");
    // A separator in front of a sign is refused.
    ed->SetText("-5");
    ed->SetSelStart(0);
    Type(",");
    EXPECT_EQ(ed->Text(), "-5");
    // No decimals: no separator.
    ed->SetDecimalPlaces(0);
    ed->SetText("4");
    ed->SetSelStart(1);
    Type(",");
    EXPECT_EQ(ed->Text(), "4");
    // Both separators, when the system's alone is not asked for.
    ed->SetDecimalPlaces(2);
    ed->SetUseSystemDecSeparator(false);
    ed->SetText("1");
    ed->SetSelStart(1);
    Type(".5");
    EXPECT_EQ(ed->Text(), "1.5");
    EXPECT_EQ(ed->Value(), 1.5L);
    // Without the editor nothing is typed, but the arrow keys still step.
    ed->SetEditorEnabled(false);
    ed->SetValue(1);
    Type("9");
    EXPECT_EQ(ed->Text(), "1,00");
    QueueKey(win::VK_UP);
    Pump();
    EXPECT_EQ(ed->Value(), 2);
    QueueKey(win::VK_DOWN);
    QueueKey(win::VK_DOWN);
    Pump();
    EXPECT_EQ(ed->Value(), 0);
}

TEST_F(SkinSpinEditTest, ButtonsAndWheelStepByTheIncrement) {
    auto* ed = PauseEdit();
    ed->SetIncrement(5);
    ed->SetValue(10);
    form->Show();
    Pump();
    TsSpinButton* spin = ed->Button();
    ASSERT_NE(spin, nullptr);
    // The buttons sit inside the edit's right edge, one above the other.
    EXPECT_EQ(spin->Left(), ed->Width() - spin->Width() - 4);
    EXPECT_EQ(spin->UpButton()->Height(), spin->Height() / 2);
    EXPECT_EQ(spin->DownButton()->Top(), spin->UpButton()->Height());
    win::RECT text{};
    win::SendMessageA(ed->Handle(), win::EM_GETRECT, 0, reinterpret_cast<win::LPARAM>(&text));
    EXPECT_LE(text.right, spin->Left() + 1);  // the text stops at the buttons
    ClickAt(spin->UpButton(), {5, 2});
    EXPECT_EQ(ed->Value(), 15);
    ClickAt(spin->DownButton(), {5, 3});
    ClickAt(spin->DownButton(), {5, 3});
    EXPECT_EQ(ed->Value(), 5);
    EXPECT_TRUE(ed->Focused());  // a press gives the edit the focus
    ed->Perform(CM_MOUSEWHEEL, static_cast<uintptr_t>(240) << 16, 0);
    EXPECT_EQ(ed->Value(), 15);
    // A handler takes the step over.
    int ups = 0;
    ed->OnUpClick = TNotifyEvent::FromCallable([&](TObject*) { ++ups; });
    ClickAt(spin->UpButton(), {5, 2});
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(ed->Value(), 15);
    // Read-only: neither the buttons, nor the keys, nor the wheel change it.
    ed->OnUpClick = {};
    ed->SetReadOnly(true);
    ClickAt(spin->UpButton(), {5, 2});
    QueueKey(win::VK_UP);
    Pump();
    EXPECT_EQ(ed->Perform(CM_MOUSEWHEEL, static_cast<uintptr_t>(120) << 16, 0), 0);
    EXPECT_EQ(ed->Value(), 15);
    // Disabled with its edit.
    ed->SetEnabled(false);
    EXPECT_FALSE(spin->UpButton()->Enabled());
    ed->SetEnabled(true);
    EXPECT_TRUE(spin->DownButton()->Enabled());
}

TEST_F(SkinSpinEditTest, AValueSetWhileTheFormLoadsIsShownAfterwards) {
    TsDecimalSpinEdit* ed = nullptr;
    {
        TLoadingScope loading;
        ed = Place<TsDecimalSpinEdit>(form, Bounds(10, 10, 80, 21));
        SetOrdProp(ed, "DecimalPlaces", 0);
        SetFloatProp(ed, "Value", 3);
        EXPECT_EQ(ed->Text(), "");
        loading.Finish();
    }
    EXPECT_EQ(ed->Text(), "3");
    EXPECT_EQ(ed->Value(), 3);
}

}  // namespace
}  // namespace skin
