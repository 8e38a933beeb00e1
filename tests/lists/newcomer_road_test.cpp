// The road of a newcomer's first mailing, through the main window on the headless screen: an
// empty database made at start, a list imported from a CSV file written by a Linux tool (UTF-8),
// saved, and mailed to the virtual modem on a pseudo-terminal; the journal then holds the rows.
// The pictures tests/data/lists/main_window.png and mailing_window_after_run.png are kept for
// the eye; TESSARY_UPDATE_REFERENCE=1 writes them again.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gateway/form_start.h"
#include "gateway/log_thread.h"
#include "lists/form_number_log.h"
#include "main_window_rig.h"
#include "platform/display/screenshot.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/user/user.h"
#include "tests/gateway/pty_modem.h"
#include "tests/support/temp_dir.h"

namespace {

// The window's picture in the test's folder, and as the reference when asked to.
void Picture(lists_test::MainWindowRig& rig, vcl::TForm* form, const std::string& name) {
    form->Update();
    win::RECT r{};
    win::GetWindowRect(form->Handle(), &r);
    const display::Rgb shot = display::CaptureScreen(&r);
    EXPECT_EQ(shot.width, form->Width());
    EXPECT_TRUE(display::WritePng(shot, rig.dir / name));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "lists/" + name);
}

gateway::TformStart* StartForm() {
    return lists_test::FindForm<gateway::TformStart>();
}

lists::TformNumberLog* JournalForm() {
    return lists_test::FindForm<lists::TformNumberLog>();
}

TEST(NewcomerRoad, AnImportedListIsSavedAndMailedFromTheMainWindow) {
    vmodem::Options options;
    options.reportDelayMs = 300;
    gateway_test::PtyModem modem(options);
    lists_test::MainWindowRig rig;
    gateway::StartLogThread(rig.dir.path());
    lists::TformMain* f = rig.form;

    // A fresh start: the tables exist and are empty.
    EXPECT_EQ(rig.Count("select count(*) from List"), 0);
    EXPECT_EQ(rig.Count("select count(*) from NumberLog"), 0);

    const std::string csv = rig.dir / "clients.csv";
    os::WriteFileAtomically(
        csv, "+79161000001;Анна;1041\n89161000002;Борис;1042\n79161000003;Вера;1043\n");
    rig.AnswerFileDialog(csv);
    rig.Click(f->btnImport);
    ASSERT_EQ(f->grid->RowCount(), 4);
    f->memoTextSMS->SetText("Добрый день, [№1]! Ваш заказ [№2] готов."_cp);
    f->SaveAs("Клиенты"_cp);
    rig.ClickCell(2, 2);
    rig.Idle();
    Picture(rig, f, "main_window.png");
    EXPECT_EQ(rig.Count("select count(*) from NumberList where Processed = 0"), 3);

    gateway::TSettings& settings = f->Settings();
    settings.COMPort = modem.pty.path();
    settings.SMSDelay = 0;
    settings.ReportWaitForMins = 1;
    rig.stepLimit = 600;  // 60 s
    rig.giveUp = [] {
        if (gateway::TformStart* s = StartForm()) {
            s->btnStopClick(s);
            s->SetModalResult(vcl::mrCancel);
        }
    };
    rig.Then(
        "the mailing window", [] { return StartForm() && StartForm()->Visible(); },
        [&] { rig.Click(StartForm()->btnStart); });
    rig.Then(
        "the end of the run", [] { return StartForm()->btnShowNumberLog->Enabled(); },
        [&] {
            Picture(rig, StartForm(), "mailing_window_after_run.png");
            rig.Click(StartForm()->btnShowNumberLog);
        });
    int journalRows = -1;
    rig.Then(
        "the journal of the run", [] { return JournalForm() && JournalForm()->Visible(); },
        [&] {
            journalRows = JournalForm()->Query.RecordCount();
            rig.Key(win::VK_ESCAPE);
        });
    rig.Then(
        "the mailing window again", [] { return !JournalForm()->Visible(); },
        [&] { rig.Click(StartForm()->btnClose); });
    rig.Click(f->btnStart);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_TRUE(rig.boxes.empty());
    modem.Stop();

    const auto phone = modem.engine.PhoneView();
    ASSERT_EQ(phone.size(), 3u);
    EXPECT_EQ(phone[2].number, "79161000003");
    EXPECT_EQ(phone[2].text, "Добрый день, Вера! Ваш заказ 1043 готов.");
    EXPECT_EQ(rig.Count("select count(*) from NumberLog where SendResultOK = 1 and StatusSC = 0 "
                        "and Name = 'Клиенты'"),
              3);
    EXPECT_EQ(journalRows, 3);
    EXPECT_EQ(rig.Count("select count(*) from NumberList where Processed = 1"), 3);
    EXPECT_EQ(rig.Count("select count(*) from List where Active = 1"), 0);
}

}  // namespace
