// The mailing window on the headless screen, run through its own buttons and keys against the
// in-process modem in virtual time.
#include <gtest/gtest.h>

#include "gateway/form_start.h"
#include "gateway/log_thread.h"
#include "gateway/program_images.h"
#include "link_rig.h"
#include "platform/os/cp_literal.h"
#include "platform/user/input.h"
#include "platform/user/message_box.h"
#include "platform/user/styles.h"
#include "run_rig.h"
#include "window_rig.h"

namespace {

using gateway::TformStart;
using gateway_test::Caption;

class MailingWindow : public ::testing::Test {
protected:
    MailingWindow() {
        gateway::StartLogThread(rig.dir.path());  // the window's own start then finds it running
        vcl::Application()->CreateForm(form);
        form->UsePort(modem.port);
        rig.giveUp = [this] {
            form->btnStopClick(form);
            form->SetModalResult(vcl::mrCancel);
        };
    }

    sql::Database& Db() { return *sql::SharedDatabase(rig.dir.path()); }
    gateway::TSettings& Settings() { return rig.main->settings; }
    int SaveList(const std::vector<std::vector<std::string>>& rows) {
        return gateway_test::RunRig::SaveRows(Db(), kName, kText, rows);
    }
    void Open(int list) { form->Execute("ttyUSB0", list, kName, kText); }
    std::vector<bool> Processed() { return gateway_test::ProcessedFlags(Db()); }
    bool Shown() { return form->Visible(); }
    // The signal picture shown: its level, -1 for none, and whether it stands in imgLevel5's place.
    int SignalShown(bool* inPlace = nullptr) {
        vcl::TImage* const pictures[] = {form->imgLevel0, form->imgLevel1, form->imgLevel2,
                                         form->imgLevel3, form->imgLevel4, form->imgLevel5};
        int shown = -1;
        for (int k = 0; k < gateway::kSignalLevels; ++k)
            if (pictures[k]->Visible()) shown = shown == -1 ? k : -2;
        if (inPlace && shown >= 0)
            *inPlace = pictures[shown]->Left() == form->imgLevel5->Left() &&
                       pictures[shown]->Top() == form->imgLevel5->Top();
        return shown;
    }

    const std::string kName = "Клиенты"_cp;
    const std::string kText = "Здравствуйте, [№1]!"_cp;
    gateway_test::Rig modem;  // first: its virtual clock drives the rig's timer
    gateway_test::WindowRig rig;
    TformStart* form = nullptr;
};

TEST_F(MailingWindow, ARunShownFromStartToTheLastReport) {
    const int list = SaveList(
        {{"+79161000001", "Анна"_cp}, {"89161000002", "Борис"_cp}, {"79161000003", "Вера"_cp}});
    Settings().SMSDelay = 1;
    Settings().ReportWaitForMins = 1;
    rig.Then(
        "the window", [&] { return Shown(); },
        [&] {
            EXPECT_EQ(Caption(form->labAllNumbersValue), "0");
            EXPECT_EQ(Caption(form->labProcessedValue), "0 (0%)");
            EXPECT_EQ(Caption(form->labSentOKValue), "0 (0%)");
            EXPECT_EQ(Caption(form->labReportValue), "0 (0%)");
            EXPECT_EQ(Caption(form->labCurNum), "Текущий номер:"_cp);
            EXPECT_EQ(form->edSMSPause->Text(), "1");
            EXPECT_EQ(form->edReportWaitFor->Text(), "1");
            EXPECT_TRUE(form->chkReport->Checked());
            EXPECT_TRUE(form->btnStart->Enabled());
            EXPECT_FALSE(form->btnStop->Enabled());
            EXPECT_TRUE(form->btnClose->Enabled());
            EXPECT_FALSE(form->btnShowNumberLog->Enabled());
            EXPECT_EQ(form->btnShowNumberLog->ImageIndex(), gateway::piJournal);
            EXPECT_EQ(form->btnShowNumberLog->Images(), rig.main->AlphaImageList());
            EXPECT_EQ(SignalShown(), -1);
            rig.Click(form->btnStart);
        });
    rig.Then(
        "the second number",
        [&] { return Caption(form->labCurNum) == "Текущий номер: 79161000002"_cp; },
        [&] {
            EXPECT_EQ(Caption(form->labStage), "Этап: рассылка СМС"_cp);
            ASSERT_EQ(form->memoSMS->Lines()->Count(), 1);
            EXPECT_EQ(form->memoSMS->Lines()->Strings(0), "Здравствуйте, Борис!"_cp);
            EXPECT_EQ(Caption(form->labAllNumbersValue), "3");
            EXPECT_EQ(Caption(form->labProcessedValue), "1 (33%)");
            EXPECT_EQ(Caption(form->labSentOKValue), "1 (33%)");
            EXPECT_EQ(form->prBar->MaxValue(), 3);
            EXPECT_EQ(form->prBar->Progress(), 1);
            EXPECT_FALSE(form->btnStart->Enabled());
            EXPECT_TRUE(form->btnStop->Enabled());
            EXPECT_FALSE(form->btnClose->Enabled());
            EXPECT_TRUE(form->edSMSPause->ReadOnly());
            EXPECT_TRUE(form->edReportWaitFor->ReadOnly());
            EXPECT_TRUE(form->chkReport->ReadOnly());
            bool inPlace = false;
            EXPECT_EQ(SignalShown(&inPlace), 3);  // rssi 20
            EXPECT_TRUE(inPlace);
            EXPECT_TRUE(form->imgLevel3->ShowHint());
            EXPECT_EQ(form->imgLevel3->Hint(),
                      "Уровень сигнала: 66%. Процент ошибок связи: << 0.2%."_cp);
            rig.Key(win::VK_ESCAPE, 27);  // R1: no way out during a run
        });
    rig.Then(
        "the report wait",
        [&] { return Caption(form->labStage) == "Этап: ожидание отчетов о доставке"_cp; },
        [&] {
            EXPECT_TRUE(Shown());
            EXPECT_EQ(form->prBar->MaxValue(), 60);
            EXPECT_EQ(form->prBar->ForeColor(), vcl::clRed);
            EXPECT_EQ(Caption(form->labProcessedValue), "3 (100%)");
            EXPECT_EQ(Caption(form->labSentOKValue), "3 (100%)");
        });
    rig.Then(
        "the end", [&] { return form->btnShowNumberLog->Enabled(); },
        [&] {
            EXPECT_EQ(Caption(form->labReportValue), "3 (100%)");
            EXPECT_EQ(form->prBar->Progress(), form->prBar->MaxValue());
            EXPECT_TRUE(form->btnStart->Enabled());
            EXPECT_FALSE(form->btnStop->Enabled());
            EXPECT_TRUE(form->btnClose->Enabled());
            EXPECT_FALSE(form->edSMSPause->ReadOnly());
            EXPECT_FALSE(form->chkReport->ReadOnly());
            rig.Click(form->btnShowNumberLog);
        });
    rig.Then(
        "the journal", [&] { return !rig.main->journals.empty(); },
        [&] { rig.Click(form->btnClose); });
    Open(list);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(rig.boxes.empty());
    ASSERT_EQ(rig.main->journals.size(), 1u);
    EXPECT_EQ(rig.main->journals[0].imei, "356938035643809");
    EXPECT_EQ(rig.main->journals[0].start, form->Run().StartTime);
    EXPECT_EQ(Processed(), (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(rig.main->data.Query.Active());
    EXPECT_FALSE(rig.main->data.Query3.Active());
}

TEST_F(MailingWindow, R1_StopMakesTheWindowClosableAndEscapeThenClosesIt) {
    const int list = SaveList({{"79161000001"}, {"79161000002"}, {"79161000003"}, {"79161000004"}});
    Settings().SMSDelay = 5;
    rig.Then(
        "the window", [&] { return Shown(); }, [&] { rig.Click(form->btnStart); });
    rig.Then(
        "the second number",
        [&] { return Caption(form->labCurNum) == "Текущий номер: 79161000002"_cp; },
        [&] { rig.Click(form->btnStop); });
    rig.Then(
        "the stop", [&] { return form->btnClose->Enabled(); },
        [&] {
            EXPECT_TRUE(form->btnStart->Enabled());
            EXPECT_FALSE(form->btnStop->Enabled());
            rig.Key(win::VK_ESCAPE, 27);
        });
    Open(list);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_FALSE(Shown());
    const std::vector<bool> done = Processed();
    EXPECT_TRUE(done[0]);
    EXPECT_FALSE(done[2]);
    EXPECT_FALSE(done[3]);
    EXPECT_TRUE(rig.boxes.empty());  // a stop is no error
}

TEST_F(MailingWindow, R2_SettingsTypedAreWrittenBackWithinTheirRanges) {
    const int list = SaveList({{"79161000001"}});
    const auto retype = [&](vcl::TControl* edit, const std::string& text) {
        rig.Click(edit);
        rig.Key(win::VK_END);
        for (int i = 0; i < 4; ++i)
            rig.Key(win::VK_BACK, '\b');
        rig.Type(text);
    };
    rig.Then(
        "the window", [&] { return Shown(); }, [&] { retype(form->edSMSPause, "75"); });
    rig.Then(
        "the pause", [&] { return form->edSMSPause->Text() == "75"; },
        [&] {
            EXPECT_EQ(Settings().SMSDelay, 60);
            // All of it selected and deleted at once.
            rig.Key(win::VK_HOME);
            win::QueueKeyEvent(win::KeyEvent{win::VK_SHIFT, true, 0});
            rig.Key(win::VK_END);
            win::QueueKeyEvent(win::KeyEvent{win::VK_SHIFT, false, 0});
            rig.Key(win::VK_DELETE);
        });
    rig.Then(
        "the emptied pause", [&] { return form->edSMSPause->Text().empty(); },
        [&] {
            EXPECT_EQ(Settings().SMSDelay, 60);  // not a number: kept
            retype(form->edReportWaitFor, "0");
        });
    rig.Then(
        "the wait", [&] { return form->edReportWaitFor->Text() == "0"; },
        [&] {
            EXPECT_EQ(Settings().ReportWaitForMins, 1);
            rig.Click(form->chkReport);
        });
    rig.Then(
        "the report request", [&] { return !form->chkReport->Checked(); },
        [&] {
            EXPECT_FALSE(Settings().ReportRequire);
            EXPECT_FALSE(form->edReportWaitFor->Enabled());
            EXPECT_FALSE(form->labReportWaitFor->Enabled());
            EXPECT_FALSE(form->labReport->Enabled());
            EXPECT_FALSE(form->labReportValue->Enabled());
            rig.Key(win::VK_ESCAPE, 27);
        });
    Open(list);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_FALSE(Shown());

    // Opened again, the window shows the settings as they now stand.
    rig.Then(
        "the window again", [&] { return Shown(); },
        [&] {
            EXPECT_EQ(form->edSMSPause->Text(), "60");
            EXPECT_EQ(form->edReportWaitFor->Text(), "1");
            EXPECT_FALSE(form->chkReport->Checked());
            EXPECT_FALSE(form->edReportWaitFor->Enabled());
            rig.Click(form->btnClose);
        });
    Open(list);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_TRUE(modem.modem.commands().empty());
}

TEST_F(MailingWindow, QuestionsAndRefusalsAreMessageBoxesOwnedByTheWindow) {
    const int list = SaveList({{"79161000001"}, {"79161000002"}});
    Db().ExecuteRaw("update NumberList set Processed=1");
    rig.answers = {win::IDNO};
    rig.Then(
        "the window", [&] { return Shown(); }, [&] { rig.Click(form->btnStart); });
    rig.Then(
        "the question", [&] { return rig.boxes.size() == 1 && form->btnStart->Enabled(); },
        [&] {
            Db().ExecuteRaw("update List set Active=1");  // another copy takes the list
            rig.Click(form->btnStart);
        });
    rig.Then(
        "the refusal", [&] { return rig.boxes.size() == 2; }, [&] { rig.Click(form->btnClose); });
    Open(list);
    EXPECT_TRUE(rig.ScriptDone());
    ASSERT_EQ(rig.boxes.size(), 2u);
    EXPECT_EQ(rig.boxes[0].caption, "Вопрос"_cp);
    EXPECT_EQ(rig.boxes[0].text, "Список полностью обработан. Начать рассылку заново?"_cp);
    EXPECT_EQ(rig.boxes[1].caption, "Внимание"_cp);
    EXPECT_EQ(rig.boxes[1].text,
              "Список \"Клиенты\" нельзя использовать, т.к. по нему идет рассылка."_cp);
    EXPECT_TRUE(modem.modem.commands().empty());
    EXPECT_EQ(Processed(), (std::vector<bool>{true, true}));
}

}  // namespace
