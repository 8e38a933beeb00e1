#include "vcl/controls/mask_edit.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/controls/edit_control.h"
#include "platform/os/cp_literal.h"
#include "tests/vcl/gui_fixture.h"

namespace vcl::testing {
namespace {

TEST(MaskPattern, DateMasksFormatAndReadBack) {
    const MaskPattern m("!90/90/0000;1; ", '.', ':');
    ASSERT_EQ(m.Size(), 10u);
    EXPECT_EQ(m.Blank(), ' ');
    EXPECT_TRUE(m.SavesLiterals());
    EXPECT_EQ(m.EditTextOf(""), "  .  .    ");
    EXPECT_EQ(m.TextOf("  .  .    "), "  .  .    ");
    EXPECT_EQ(m.EditTextOf("05.03.2024"), "05.03.2024");
    EXPECT_EQ(m.TextOf("05.03.2024"), "05.03.2024");
    // '!' aligns each short run to the right.
    EXPECT_EQ(m.EditTextOf("5.3.2024"), " 5. 3.2024");
    // '9' takes a digit or a blank, '0' a digit only; literals take nothing.
    EXPECT_EQ(m.Accept(0, '5'), '5');
    EXPECT_EQ(m.Accept(0, ' '), ' ');
    EXPECT_EQ(m.Accept(1, ' '), '\0');
    EXPECT_EQ(m.Accept(1, 'x'), '\0');
    EXPECT_EQ(m.Accept(2, '.'), '\0');
    EXPECT_EQ(m.NextInput(2), 3u);
    EXPECT_EQ(m.PrevInput(3), 1u);
    EXPECT_EQ(m.PrevInput(0), std::string::npos);

    // Another blank shows in the edit text and reads back as spaces.
    const MaskPattern year("!9999/99/99;1;_", '-', ':');
    EXPECT_EQ(year.EditTextOf(""), "____-__-__");
    EXPECT_EQ(year.TextOf("____-__-__"), "    -  -  ");
    EXPECT_EQ(year.TextOf("__24-_3-05"), "  24- 3-05");
}

TEST(MaskPattern, UnsavedLiteralsCaseAndEscapes) {
    const MaskPattern phone("(000) 000-0000;0;*");
    EXPECT_FALSE(phone.SavesLiterals());
    EXPECT_EQ(phone.EditTextOf("1234567890"), "(123) 456-7890");
    EXPECT_EQ(phone.TextOf("(123) 456-7890"), "1234567890");
    EXPECT_EQ(phone.TextOf("(12*) ***-****"), "12");
    EXPECT_EQ(phone.EditTextOf("12"), "(12*) ***-****");

    const MaskPattern cased(">LL<ll;0;_");
    EXPECT_EQ(cased.Accept(0, 'a'), 'A');
    EXPECT_EQ(cased.Accept(2, 'B'), 'b');
    EXPECT_EQ(cased.Accept(1, "ж"_cp[0]), "Ж"_cp[0]);
    EXPECT_EQ(cased.Accept(0, '1'), '\0');
    EXPECT_EQ(cased.Accept(3, ' '), ' ');

    // '\' makes the next character a literal, ';' included; the blank defaults to '_'.
    const MaskPattern escaped("\\0\\;0");
    EXPECT_EQ(escaped.Size(), 3u);
    EXPECT_EQ(escaped.EditTextOf(""), "0;_");
    EXPECT_TRUE(MaskPattern("").Empty());
}

class MaskEditTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        edit = Place<TMaskEdit>(form, Bounds(10, 10, 100, 21));
        other = Place<TMaskEdit>(form, Bounds(10, 40, 100, 21));
        edit->SetEditMask("!90/90/0000;1; ");
        edit->OnChange = TNotifyEvent::FromCallable([this](TObject*) { ++changes; });
        form->Show();
        Pump();
        edit->SetFocus();
    }
    void Type(const std::string& text) {
        for (char c : text)
            QueueKey('A', static_cast<unsigned char>(c));
        Pump();
    }
    void Caret(int pos) { edit->SetSelStart(pos); }
    TMaskEdit* edit = nullptr;
    TMaskEdit* other = nullptr;
    int changes = 0;
};

TEST_F(MaskEditTest, TypingFillsBlanksAndTheCaretSkipsLiterals) {
    EXPECT_EQ(edit->EditText(), "  .  .    ");
    EXPECT_EQ(edit->Text(), "  .  .    ");
    EXPECT_EQ(win::SendMessageA(edit->Handle(), win::EM_GETLIMITTEXT, 0, 0), 10);
    Caret(0);
    Type("05032024");
    EXPECT_EQ(edit->EditText(), "05.03.2024");
    EXPECT_EQ(edit->Text(), "05.03.2024");
    EXPECT_EQ(edit->SelStart(), 10);
    EXPECT_EQ(changes, 8);
    Type("7x");  // no room, and not a digit: nothing changes
    EXPECT_EQ(edit->EditText(), "05.03.2024");
    // Typing writes over what is there.
    Caret(4);
    Type("1");
    EXPECT_EQ(edit->EditText(), "05.01.2024");
    // A separator typed early moves past it; the short day stays as typed.
    edit->SetText("");
    Caret(0);
    Type("5.3");
    EXPECT_EQ(edit->EditText(), "5 .3 .    ");
    EXPECT_EQ(edit->SelStart(), 4);
    QueueKey(win::VK_LEFT);
    Pump();
    EXPECT_EQ(edit->SelStart(), 3);
    QueueKey(win::VK_LEFT);
    Pump();
    EXPECT_EQ(edit->SelStart(), 1);
    QueueKey(win::VK_RIGHT);
    Pump();
    EXPECT_EQ(edit->SelStart(), 3);
}

TEST_F(MaskEditTest, ErasingPutsBlanksBackAndKeepsTheLiterals) {
    edit->SetText("05.03.2024");
    EXPECT_EQ(edit->EditText(), "05.03.2024");
    Caret(7);
    QueueKey(win::VK_BACK, '\b');
    QueueKey(win::VK_BACK, '\b');
    Pump();
    EXPECT_EQ(edit->EditText(), "05.0 . 024");
    EXPECT_EQ(edit->SelStart(), 4);
    Caret(0);
    QueueKey(win::VK_DELETE);
    Pump();
    EXPECT_EQ(edit->EditText(), " 5.0 . 024");
    edit->SetSelStart(1);
    edit->SetSelLength(5);
    QueueKey(win::VK_DELETE);
    Pump();
    EXPECT_EQ(edit->EditText(), "  .  . 024");
    // Cut blanks what it takes; paste types the clipboard in, literals and all.
    edit->SelectAll();
    edit->CutToClipboard();
    EXPECT_EQ(edit->EditText(), "  .  .    ");
    EXPECT_EQ(win::GetClipboardText(nullptr), "  .  . 024");
    win::SetClipboardText(nullptr, "12.11.2023");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "12.11.2023");
    // Read-only: nothing typed or erased.
    edit->SetReadOnly(true);
    Caret(0);
    Type("9");
    QueueKey(win::VK_DELETE);
    Pump();
    EXPECT_EQ(edit->Text(), "12.11.2023");
}

TEST_F(MaskEditTest, TheTextSurvivesNewMasksAndNewWindows) {
    edit->SetText("05.03.2024");
    edit->SetEditMask("");
    EXPECT_EQ(edit->Text(), "05.03.2024");
    edit->SetEditMask("!99/99/9999;1;_");
    EXPECT_EQ(edit->EditText(), "05.03.2024");
    edit->SetText("");
    EXPECT_EQ(edit->EditText(), "__.__.____");
    EXPECT_EQ(edit->Text(), "  .  .    ");
    Caret(0);
    Type("1");
    edit->SetHideSelection(false);  // a new window
    EXPECT_EQ(edit->EditText(), "1_.__.____");
    EXPECT_TRUE(edit->Modified());
    // Literals left out of Text.
    other->SetEditMask("000-000;0;_");
    other->SetFocus();
    other->SetSelStart(0);
    Type("123456");
    EXPECT_EQ(other->EditText(), "123-456");
    EXPECT_EQ(other->Text(), "123456");
    other->SetText("98");
    EXPECT_EQ(other->EditText(), "98_-___");
    EXPECT_EQ(GetStrProp(other, "EditMask"), "000-000;0;_");
}

}  // namespace
}  // namespace vcl::testing
