// The main window through its own buttons, menus, keys and mouse on the headless screen: the
// list editor grid, the template and its placeholders, the check, import and export.
#include <gtest/gtest.h>

#include "main_window_rig.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/user/message_box.h"
#include "platform/user/painting.h"
#include "platform/user/user.h"
#include "skin/core/state/hooked_forms.h"

namespace {

using lists_test::MainWindowRig;
using Rows = std::vector<std::vector<std::string>>;

constexpr uint32_t kHotTop = 0x7EA2DB, kFixedTop = 0xF4F2E7;

// The main window holds the internal skin and the provider that draws its frame, first among
// its components; the skin is the default one every other form follows.
TEST(MainWindow, HoldsTheInternalSkinAndItsFrameProviderFirst) {
    MainWindowRig rig;
    lists::TformMain* f = rig.form;
    ASSERT_GE(f->ComponentCount(), 2);
    EXPECT_EQ(f->Components(0), f->sSkinManager1);
    EXPECT_EQ(f->Components(1), f->sSkinProvider1);
    EXPECT_EQ(skin::DefaultManager, f->sSkinManager1);
    EXPECT_TRUE(f->sSkinManager1->SkinData().Active);
    EXPECT_EQ(skin::ProviderOf(f), f->sSkinProvider1);
    EXPECT_TRUE(f->sSkinProvider1->Skinned());
    EXPECT_TRUE(f->sSkinProvider1->SysMenuStyleRemoved);
    EXPECT_EQ(f->Color(), f->sSkinManager1->GetGlobalColor());
}

TEST(MainWindow, Rule1ALockedGridDisablesTheCommandsThatNeedAList) {
    MainWindowRig rig;
    lists::TformMain* f = rig.form;
    EXPECT_EQ(f->Caption(), "Tessary Varnock 1.2");
    EXPECT_EQ(f->StatusBar->Panels()->Items(0)->Text(), "Имя списка: [нет]"_cp);
    EXPECT_EQ(f->MainMenu->Items()->Count(), 3);
    EXPECT_EQ(f->mnuList->Count(), 14);  // eleven commands and three lines
    rig.Idle();
    EXPECT_TRUE(f->GridLocked());
    for (vcl::TControl* c :
         {static_cast<vcl::TControl*>(f->btnSave), static_cast<vcl::TControl*>(f->btnStart)})
        EXPECT_FALSE(c->Enabled());
    EXPECT_FALSE(f->mnuCheck->Enabled());
    EXPECT_TRUE(f->btnAddRow->Enabled());

    // Adding a row to a locked grid only unlocks it.
    rig.Click(f->btnAddRow);
    rig.Idle();
    EXPECT_FALSE(f->GridLocked());
    EXPECT_EQ(f->grid->RowCount(), 2);
    EXPECT_EQ(f->grid->ColWidths(1), 100);
    EXPECT_TRUE(f->btnSave->Enabled());
    EXPECT_TRUE(f->mnuCheck->Enabled());
    // A menu item clicks its button.
    f->mnuAddRow->Click();
    EXPECT_EQ(f->grid->RowCount(), 3);
    f->mnuNew->Click();
    EXPECT_TRUE(f->GridLocked());
}

TEST(MainWindow, Rule2TheNumberColumnTakesDigitsAndPlusOthersTakeAnything) {
    MainWindowRig rig;
    lists::TformMain* f = rig.form;
    rig.Click(f->btnAddRow);
    rig.Click(f->btnAddCol);
    rig.ClickCell(1, 1);
    rig.TypeText("+7 91a6-1");
    EXPECT_EQ(f->grid->Cells(1, 1), "+79161");
    rig.Press(win::VK_BACK);
    EXPECT_EQ(f->grid->Cells(1, 1), "+7916");
    rig.Press(win::VK_RETURN);
    rig.ClickCell(2, 1);
    rig.TypeText("Ann x-1;");
    EXPECT_EQ(f->grid->Cells(2, 1), "Ann x-1;");
    rig.Press(win::VK_ESCAPE);  // Escape restores the cell
    EXPECT_EQ(f->grid->Cells(2, 1), "");
}

TEST(MainWindow, RowsAndColumnsAreAddedAndRemoved) {
    MainWindowRig rig;
    lists::TformMain* f = rig.form;
    rig.Click(f->btnAddRow);
    for (int i = 0; i < 2; ++i)
        rig.Click(f->btnAddRow);
    rig.Click(f->btnAddCol);
    rig.Click(f->btnAddCol);
    ASSERT_EQ(f->grid->RowCount(), 4);
    ASSERT_EQ(f->grid->ColCount(), 4);
    for (int r = 1; r < 4; ++r)
        for (int c = 1; c < 4; ++c)
            f->grid->SetCells(c, r, std::to_string(r) + std::to_string(c));

    // The number column stays while values exist.
    rig.ClickCell(1, 2);
    rig.Click(f->btnDelCol);
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].caption, "Ошибка"_cp);
    EXPECT_EQ(rig.boxes[0].text, "Нельзя удалить столбец номеров!"_cp);
    EXPECT_EQ(f->grid->ColCount(), 4);

    rig.Click(f->btnDelRow);  // the middle row goes
    EXPECT_EQ(rig.Cells(), (Rows{{"11", "12", "13"}, {"31", "32", "33"}}));
    rig.ClickCell(2, 1);
    rig.Click(f->btnDelCol);
    EXPECT_EQ(rig.Cells(), (Rows{{"11", "13"}, {"31", "33"}}));
    // What grows back is empty.
    rig.Click(f->btnAddRow);
    rig.Click(f->btnAddCol);
    EXPECT_EQ(rig.Cells(), (Rows{{"11", "13", ""}, {"31", "33", ""}, {"", "", ""}}));

    // The last row, or the number column alone, takes the list and the template with it.
    f->memoTextSMS->SetText("text");
    for (int i = 0; i < 2; ++i) {
        rig.ClickCell(1, 1);
        rig.Click(f->btnDelRow);
    }
    EXPECT_FALSE(f->GridLocked());
    rig.Click(f->btnDelRow);
    EXPECT_TRUE(f->GridLocked());
    EXPECT_EQ(f->memoTextSMS->Text(), "");
    EXPECT_EQ(f->grid->ColCount(), 2);
    rig.Click(f->btnAddRow);
    f->grid->SetCells(1, 1, "1");
    rig.Click(f->btnDelCol);
    EXPECT_TRUE(f->GridLocked());
}

TEST(MainWindow, Rule5TheCaptionsOfTheCurrentCellAreHighlighted) {
    MainWindowRig rig;
    lists::TformMain* f = rig.form;
    vcl::TStringGrid* g = f->grid;
    auto captionTop = [&](int col) {
        const vcl::TRect r = g->CellRect(col, 0);
        return rig.Pixel(g, r.Left + 3, r.Top + 2);
    };
    auto rowLeft = [&](int row) {
        const vcl::TRect r = g->CellRect(0, row);
        return rig.Pixel(g, r.Left + 2, r.Bottom - 3);
    };
    EXPECT_EQ(captionTop(1), kFixedTop);  // locked: nothing is highlighted
    rig.Click(f->btnAddRow);
    rig.Click(f->btnAddRow);
    rig.Click(f->btnAddCol);
    rig.ClickCell(1, 1);
    EXPECT_EQ(captionTop(1), kHotTop);
    EXPECT_EQ(captionTop(2), kFixedTop);
    EXPECT_EQ(rowLeft(1), kHotTop);
    rig.Press(win::VK_RIGHT);
    rig.Press(win::VK_DOWN);
    EXPECT_EQ(captionTop(1), kFixedTop);
    EXPECT_EQ(captionTop(2), kHotTop);
    EXPECT_EQ(rowLeft(1), kFixedTop);
    EXPECT_EQ(rowLeft(2), kHotTop);
    // A selected data cell shades from white at its top towards green at its bottom.
    const vcl::TRect cell = g->CellRect(2, 2);
    const uint32_t bottom = rig.Pixel(g, cell.Left + 5, cell.Bottom - 1);
    EXPECT_EQ(bottom >> 16, 180u);
    EXPECT_EQ(bottom & 0xFF, 180u);
    // The wheel neither scrolls nor moves the selection.
    const vcl::TPoint p = g->ClientToScreen({cell.Left + 5, cell.Top + 5});
    win::POINT at{p.X, p.Y};
    win::SendMessageA(g->Handle(), win::WM_MOUSEWHEEL, win::MAKEWPARAM(0, -120),
                      win::MAKELPARAM(at.x, at.y));
    EXPECT_EQ(g->Row(), 2);
}

TEST(MainWindow, ThePlaceholderMenuOffersOneItemPerValueColumn) {
    MainWindowRig rig;
    lists::TformMain* f = rig.form;
    rig.Click(f->btnAddCol);
    rig.Click(f->btnAddCol);
    rig.Click(f->btnAddCol);
    f->popupTextSMS->OnPopup(f->popupTextSMS);
    ASSERT_EQ(f->pmnuInsertData->Count(), 2);
    EXPECT_EQ(f->pmnuInsertData->Items(1)->Caption(), "№2"_cp);
    f->memoTextSMS->SetText("Hello, !");
    f->memoTextSMS->SetSelStart(7);
    f->pmnuInsertData->Items(1)->Click();
    EXPECT_EQ(f->memoTextSMS->Text(), "Hello, [№2]!"_cp);
    f->popupTextSMS->OnPopup(f->popupTextSMS);  // filled anew, not added to
    EXPECT_EQ(f->pmnuInsertData->Count(), 2);
    f->pmnuClearText->Click();
    EXPECT_EQ(f->memoTextSMS->Text(), "");
}

TEST(MainWindow, Rule3TheCheckAcceptsPlusAndUpTo19DigitsAndATemplateOfAtMost3200) {
    MainWindowRig rig;
    lists::TformMain* f = rig.form;
    for (const char* good : {"+79161234567", "1", "1234567890123456789"})
        EXPECT_TRUE(lists::IsValidNumber(good)) << good;
    for (const char* bad :
         {"", "+", " 1", "1 2", "-1", "$1F", "0x1F", "12345678901234567890", "1+"})
        EXPECT_FALSE(lists::IsValidNumber(bad)) << bad;

    rig.Click(f->btnAddRow);
    rig.Click(f->btnAddRow);
    f->grid->SetCells(1, 1, "+79161234567");
    f->grid->SetCells(1, 2, "1");
    f->memoTextSMS->SetText("   ");
    rig.Click(f->btnCheckErrors);
    f->grid->SetCells(1, 2, "0x1F");
    rig.Click(f->btnCheckErrors);
    f->grid->SetCells(1, 2, "89161234567");
    f->memoTextSMS->SetText(std::string(3201, 'a'));
    rig.Click(f->btnCheckErrors);
    f->memoTextSMS->SetText(std::string(3200, 'a'));
    rig.Click(f->btnCheckErrors);
    ASSERT_EQ(rig.boxes.size(), 4u);
    EXPECT_EQ(rig.boxes[0].text, "Не указан текст СМС."_cp);
    EXPECT_EQ(rig.boxes[1].text, "В строке №2 содержится неправильный номер!"_cp);
    EXPECT_EQ(rig.boxes[2].text, "Превышена максимальная длина текста СМС (3200 символов)."_cp);
    EXPECT_EQ(rig.boxes[3].caption, "Информация"_cp);
    EXPECT_EQ(rig.boxes[3].text, "Ошибок не обнаружено."_cp);
}

TEST(MainWindow, Rule4ImportFillsTheGridFromTheWholeFileOrLeavesItAsItWas) {
    MainWindowRig rig;
    lists::TformMain* f = rig.form;
    const std::string path = rig.dir / "list.csv";
    f->memoTextSMS->SetText("kept");
    os::WriteFileAtomically(path, "100;a;b\r\n101;c\r\n\r\n102;d;e;f");
    rig.AnswerFileDialog(path);
    rig.Click(f->btnImport);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_FALSE(f->GridLocked());
    EXPECT_EQ(rig.Cells(),
              (Rows{{"100", "a", "b"}, {"101", "c", ""}, {"", "", ""}, {"102", "d", "e"}}));
    EXPECT_EQ(f->memoTextSMS->Text(), "kept");
    rig.Click(f->btnCheckErrors);
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].text, "В строке №3 содержится неправильный номер!"_cp);

    // A character cp1251 lacks: the message names the line and the grid stays.
    os::WriteFileAtomically(path, "1;Анна\n2;日本");
    EXPECT_FALSE(f->ImportFromFile(path));
    ASSERT_EQ(rig.boxes.size(), 2u);
    EXPECT_EQ(rig.boxes[1].text,
              "Строка 2 файла содержит символ, которого нет в кодировке Windows-1251."_cp);
    EXPECT_EQ(rig.Cells().size(), 4u);
    EXPECT_FALSE(win::IsRedrawLocked(f->grid->Handle()));

    // A smaller file leaves nothing of the bigger one behind.
    os::WriteFileAtomically(path, "5;Вера\n"_cp);
    ASSERT_TRUE(f->ImportFromFile(path));
    EXPECT_EQ(rig.Cells(), (Rows{{"5", "Вера"_cp}}));
    rig.Click(f->btnAddCol);
    EXPECT_EQ(rig.Cells(), (Rows{{"5", "Вера"_cp, ""}}));

    // An empty first line clears the list.
    os::WriteFileAtomically(path, "\r\n1;2");
    ASSERT_TRUE(f->ImportFromFile(path));
    EXPECT_TRUE(f->GridLocked());
    EXPECT_EQ(f->memoTextSMS->Text(), "");
    EXPECT_THROW(f->ImportFromFile(rig.dir / "missing.csv"), vcl::EFOpenError);
}

TEST(MainWindow, ExportWritesWhatImportReadsBack) {
    MainWindowRig rig;
    lists::TformMain* f = rig.form;
    const std::string path = rig.dir / "list.csv";
    os::WriteFileAtomically(path, "+79161000001;Анна;1041\n89161000002;;1042\n"_cp);
    ASSERT_TRUE(f->ImportFromFile(path));
    const std::string out = rig.dir / "out.csv";
    rig.AnswerFileDialog(rig.dir / "out");  // the extension is added
    rig.Click(f->btnExport);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_EQ(os::ReadWholeFile(out).value_or(""),
              "+79161000001;Анна;1041;\r\n89161000002;;1042;"_cp);
    // Written again over the file, once the operator agrees.
    f->grid->SetCells(2, 2, "Борис"_cp);
    rig.answers = {win::IDYES};
    rig.AnswerFileDialog(out);
    rig.Click(f->btnExport);
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(os::ReadWholeFile(out).value_or(""),
              "+79161000001;Анна;1041;\r\n89161000002;Борис;1042;"_cp);
    const Rows before = rig.Cells();
    rig.Click(f->btnClearAll);
    ASSERT_TRUE(f->ImportFromFile(out));
    EXPECT_EQ(rig.Cells(), before);
    EXPECT_THROW(f->ExportToFile(rig.dir / "no/such/folder.csv"), vcl::EFCreateError);
}

}  // namespace
