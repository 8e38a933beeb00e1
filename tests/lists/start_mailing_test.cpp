// Saving, loading and starting a mailing from the main window, against its temporary database:
// the prompts of the start command and the lists in use.
#include <gtest/gtest.h>

#include "gateway/form_gsm.h"
#include "gateway/form_start.h"
#include "lists/settings.h"
#include "main_window_rig.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/sql/shared_database.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "tests/gateway/link_rig.h"
#include "tests/gateway/run_rig.h"

namespace {

using lists_test::MainWindowRig;
using Rows = std::vector<std::vector<std::string>>;

// The main window with a list of two numbers imported and the template typed.
void TypeList(MainWindowRig& rig) {
    const std::string path = rig.dir / "list.csv";
    os::WriteFileAtomically(path, "+79161000001;Анна\n89161000002;Борис\n"_cp);
    ASSERT_TRUE(rig.form->ImportFromFile(path));
    rig.form->memoTextSMS->SetText("Здравствуйте, [№1]!"_cp);
}

gateway::TformStart* StartForm() {
    return lists_test::FindForm<gateway::TformStart>();
}

// The start command, with the mailing window closed as soon as it shows; whether it showed.
bool Start(MainWindowRig& rig) {
    bool shown = false;
    rig.Then(
        "the mailing window", [&] { return StartForm() && StartForm()->Visible(); },
        [&] {
            shown = true;
            rig.Click(StartForm()->btnClose);
        });
    rig.stepLimit = 20;
    rig.giveUp = [] {};
    rig.Click(rig.form->btnStart);
    return shown;
}

TEST(StartMailing, AListMustBeSavedAndCheckedFirst) {
    MainWindowRig rig;
    TypeList(rig);
    EXPECT_FALSE(Start(rig));
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].caption, "Ошибка"_cp);
    EXPECT_EQ(rig.boxes[0].text, "Сохраните список в БД, чтобы запустить рассылку."_cp);

    rig.form->SaveAs("Клиенты"_cp);
    EXPECT_EQ(rig.form->StatusBar->Panels()->Items(0)->Text(), "Имя списка: Клиенты"_cp);
    rig.form->grid->SetCells(1, 2, "8-916");
    EXPECT_FALSE(Start(rig));
    ASSERT_EQ(rig.boxes.size(), 2u);
    EXPECT_EQ(rig.boxes[1].text, "В строке №2 содержится неправильный номер!"_cp);
}

TEST(StartMailing, AnUnchangedListStartsWithoutAQuestion) {
    MainWindowRig rig;
    TypeList(rig);
    rig.form->SaveAs("Клиенты"_cp);
    EXPECT_TRUE(Start(rig));
    EXPECT_TRUE(rig.boxes.empty());
    EXPECT_TRUE(rig.ScriptDone());
}

TEST(StartMailing, AChangedListIsSavedFirstOnlyWhenTheOperatorSaysYes) {
    MainWindowRig rig;
    TypeList(rig);
    rig.form->SaveAs("Клиенты"_cp);
    rig.form->grid->SetCells(2, 1, "Анна Петровна"_cp);

    rig.answers = {win::IDNO};
    EXPECT_FALSE(Start(rig));
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].caption, "Вопрос"_cp);
    // The box shows the line break the text holds as a line break of its own.
    EXPECT_EQ(rig.boxes[0].text,
              "Данные в списке были изменены. Сохранить\r\nизменения в БД и "
              "запустить рассылку?"_cp);
    EXPECT_EQ(rig.Count("select count(*) from UserValues where Val = 'Анна'"), 1);
    EXPECT_EQ(rig.Count("select count(*) from UserValues where Val = 'Анна Петровна'"), 0);

    rig.answers = {win::IDYES};
    EXPECT_TRUE(Start(rig));
    EXPECT_EQ(rig.boxes.size(), 2u);
    EXPECT_EQ(rig.Count("select count(*) from UserValues where Val = 'Анна Петровна'"), 1);
    EXPECT_EQ(rig.Count("select count(*) from List"), 1);
}

TEST(StartMailing, AListInUseIsNeitherSavedNorStarted) {
    MainWindowRig rig;
    TypeList(rig);
    rig.form->SaveAs("Клиенты"_cp);
    rig.Exec("update List set Active = 1");
    rig.form->memoTextSMS->SetText("Другой текст"_cp);
    rig.answers = {win::IDYES};
    EXPECT_FALSE(Start(rig));
    ASSERT_EQ(rig.boxes.size(), 2u);
    EXPECT_EQ(rig.boxes[1].caption, "Внимание"_cp);
    EXPECT_EQ(rig.boxes[1].text,
              "Список \"Клиенты\" нельзя изменять, т.к. по нему идет рассылка."_cp);
    rig.form->SaveAs("клиенты"_cp);
    EXPECT_EQ(rig.boxes.size(), 3u);
    EXPECT_EQ(rig.Count("select count(*) from List where TextSMS = 'Здравствуйте, [№1]!'"), 1);
}

TEST(StartMailing, LoadingTakesTheStoredListOrNothing) {
    MainWindowRig rig;
    TypeList(rig);
    rig.form->SaveAs("Клиенты"_cp);
    rig.form->btnNewClick(nullptr);
    EXPECT_TRUE(rig.form->GridLocked());
    EXPECT_EQ(rig.form->ListName(), "");

    rig.form->LoadList("НЕТ ТАКОГО"_cp);
    EXPECT_EQ(rig.form->ListName(), "");
    EXPECT_TRUE(rig.form->GridLocked());

    rig.form->LoadList("КЛИЕНТЫ"_cp);
    EXPECT_EQ(rig.Cells(), (Rows{{"+79161000001", "Анна"_cp}, {"89161000002", "Борис"_cp}}));
    EXPECT_EQ(rig.form->memoTextSMS->Text(), "Здравствуйте, [№1]!"_cp);
    EXPECT_EQ(rig.form->grid->ColWidths(1), 100);
    EXPECT_TRUE(Start(rig));  // loaded and unchanged
    EXPECT_TRUE(rig.boxes.empty());
}

// What the settings store holds, as the next start of the program would read it.
gateway::TSettings Stored() {
    vcl::TRegistry registry;
    gateway::TSettings s;
    lists::ReadSettings(registry, s);
    return s;
}

TEST(StartMailing, ThePortAndTheRunSettingsAreStoredAsSoonAsChosen) {
    MainWindowRig rig;
    const auto dialog = [] { return lists_test::FindForm<gateway::TformGSM>(); };
    rig.Then(
        "the port dialog", [&] { return dialog() && dialog()->Visible(); },
        [&] {
            dialog()->cbCOM->SetText("ttyUSB7");
            rig.Click(dialog()->btnSelect);
        });
    rig.form->mnuCOMPort->Click();
    ASSERT_TRUE(rig.ScriptDone());
    EXPECT_EQ(Stored().COMPort, "ttyUSB7");

    TypeList(rig);
    rig.form->SaveAs("Клиенты"_cp);
    ASSERT_TRUE(Stored().ReportRequire);
    rig.Then(
        "the mailing window", [&] { return StartForm() && StartForm()->Visible(); },
        [&] { rig.Click(StartForm()->chkReport); });
    rig.Then(
        "the report request", [&] { return !StartForm()->chkReport->Checked(); },
        [&] {
            EXPECT_FALSE(Stored().ReportRequire);  // the main window is still open
            EXPECT_EQ(Stored().COMPort, "ttyUSB7");
            rig.Click(StartForm()->btnClose);
        });
    rig.Idle();  // the commands follow the list
    rig.Click(rig.form->btnStart);
    EXPECT_TRUE(rig.ScriptDone());
}

}  // namespace

// ---- the program's end ----

TEST(ProgramEnd, RowsTheDatabaseRefusedAreStoredBeforeItEndsOrGivenUpAsTheOperatorSays) {
    for (const bool giveUp : {false, true}) {
        SCOPED_TRACE(giveUp ? "ended without them" : "stored once room was made");
        gateway_test::Rig modem;  // first: its virtual clock drives the windows' timers
        MainWindowRig rig;
        TypeList(rig);
        rig.form->SaveAs("Клиенты"_cp);
        gateway::TformStart* start = nullptr;
        vcl::Application()->CreateForm(start);
        start->UsePort(modem.port);
        sql::Database& db = *sql::SharedDatabase(rig.dir / "Local Tables");

        // The disk fills as the modem takes the first message; the operator closes the mailing
        // window (its box says the write will be repeated) and chooses Выход.
        rig.Then(
            "the mailing window", [&] { return start->Visible(); },
            [&] { rig.Click(start->btnStart); });
        rig.Then(
            "the first acceptance", [&] { return modem.modem.accepted().size() == 1; },
            [&] { gateway_test::LimitGrowth(db, true); });
        rig.Then(
            "the refusal", [&] { return start->btnClose->Enabled() && start->Run().HasUnstored(); },
            [&] { rig.Click(start->btnClose); });
        rig.Click(rig.form->btnStart);
        ASSERT_TRUE(rig.ScriptDone());
        EXPECT_EQ(rig.Count("select Active from List"), 1);  // no other copy takes the list

        rig.answerBoxes = false;
        rig.Then(
            "the question",
            [] {
                return win::GetDlgItem(win::GetActiveWindow(), win::kMessageBoxTextId) != nullptr;
            },
            [&] {
                if (giveUp) {
                    win::RECT rc{};
                    win::GetWindowRect(win::GetDlgItem(win::GetActiveWindow(), win::IDNO), &rc);
                    rig.screen.Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
                } else {
                    rig.Exec("delete from NumberLog where NumID=-1");
                    rig.Key(win::VK_RETURN);  // the default: try again
                }
            });
        rig.form->mnuExitClick(rig.form);
        EXPECT_TRUE(rig.ScriptDone());
        EXPECT_TRUE(vcl::Application()->Terminated());
        ASSERT_EQ(rig.boxes.size(), 3u);  // the run's, the mailing window's close, Выход's
        EXPECT_EQ(rig.boxes[2].caption, "Ошибка"_cp);
        EXPECT_NE(rig.boxes[2].text.find("79161000001"), std::string::npos);
        EXPECT_NE(rig.boxes[2].text.find("будут отправлены повторно"_cp), std::string::npos);
        EXPECT_EQ(rig.Count("select count(*) from NumberLog where NumID<>-1"), giveUp ? 0 : 1);
        EXPECT_EQ(rig.Count("select sum(Processed) from NumberList"), giveUp ? 0 : 1);
        EXPECT_EQ(rig.Count("select Active from List"), 0);
        EXPECT_EQ(modem.modem.accepted().size(), 1u);
    }
}
