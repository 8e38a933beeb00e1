// The mailing window on the headless screen, run through its own buttons and keys against the
// in-process modem in virtual time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "gateway/form_start.h"
#include "gateway/log_thread.h"
#include "gateway/program_images.h"
#include "link_rig.h"
#include "platform/display/screenshot.h"
#include "platform/os/cp_literal.h"
#include "platform/user/input.h"
#include "platform/user/message_box.h"
#include "platform/user/styles.h"
#include "platform/user/window_pos.h"
#include "run_rig.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/skin_manager.h"
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
            // R1: no way out during a run, neither by Escape nor by the close box (as the
            // window manager asks), and the refusal is not carried out when the run ends.
            rig.Key(win::VK_ESCAPE, 27);
            win::PostMessageA(form->Handle(), win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
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

// The reference picture tests/data/gateway/mailing_window_skinned.png is kept for the eye;
// TESSARY_UPDATE_REFERENCE=1 writes it again.
TEST_F(MailingWindow, UnderTheInternalSkinItsControlsPaintFromTheSkin) {
    std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter> manager(
        new skin::TsSkinManager(nullptr));
    skin::AddInternalSkin(*manager->InternalSkins());
    manager->SetSkinName(skin::InternalSkinName());
    ASSERT_TRUE(manager->SkinData().Active);
    const int list = SaveList(
        {{"79161000001", "Анна"_cp}, {"79161000002", "Борис"_cp}, {"79161000003", "Вера"_cp}});
    Settings().SMSDelay = 1;
    rig.Then(
        "the window", [&] { return Shown(); }, [&] { rig.Click(form->btnStart); });
    rig.Then(
        "the second number",
        [&] { return Caption(form->labCurNum) == "Текущий номер: 79161000002"_cp; },
        [&] {
            form->Update();
            win::RECT r{};
            win::GetWindowRect(form->Handle(), &r);
            const display::Rgb shot = display::CaptureScreen(&r);
            ASSERT_EQ(shot.width, form->Width());
            EXPECT_TRUE(display::WritePng(shot, rig.dir / "mailing_window_skinned.png"));
            if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
                display::WritePng(
                    shot, testing_support::TestDataDir() + "gateway/mailing_window_skinned.png");
            // The gauge's fill (a third of the list sent) ends at its column.
            skin::TsGauge* g = form->prBar;
            const vcl::TPoint at = g->ClientToScreen({0, g->Height() / 2});
            auto px = [&](int x) {
                const unsigned char* p =
                    shot.pixels.data() +
                    (size_t(at.Y - r.top) * size_t(shot.width) + size_t(at.X - r.left + x)) * 3;
                return p[0] << 16 | p[1] << 8 | p[2];
            };
            const int fill = g->Width() * g->PercentDone() / 100;
            ASSERT_GT(fill, 2);
            EXPECT_EQ(px(fill - 2), px(fill - 3));  // the fill
            EXPECT_NE(px(fill - 1), px(fill + 1));  // its end
            EXPECT_EQ(px(fill + 1), px(fill + 2));  // the rest
            rig.Click(form->btnStop);
        });
    rig.Then(
        "the stop", [&] { return form->btnClose->Enabled(); }, [&] { rig.Click(form->btnClose); });
    Open(list);
    EXPECT_TRUE(rig.ScriptDone());
    vcl::DoneApplication();  // the forms go before their skin
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
        });
    rig.answers = {win::IDYES};  // continue the list
    rig.Then(
        "the end of the run", [&] { return form->btnShowNumberLog->Enabled(); },
        [&] { rig.Click(form->btnStart); });
    rig.Then(
        "the second run",
        [&] {
            return rig.boxes.size() == 1 && !form->btnClose->Enabled() &&
                   Caption(form->labCurNum) != "Текущий номер:"_cp;
        },
        [&] {
            // Its window would be modal inside the run's waits.
            EXPECT_FALSE(form->btnShowNumberLog->Enabled());
            rig.Click(form->btnStop);
        });
    rig.Then(
        "the second stop", [&] { return form->btnShowNumberLog->Enabled(); },
        [&] { rig.Key(win::VK_ESCAPE, 27); });
    Open(list);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_FALSE(Shown());
    const std::vector<bool> done = Processed();
    EXPECT_TRUE(done[0]);
    EXPECT_FALSE(done[3]);
    ASSERT_EQ(rig.boxes.size(), 1u);  // the question; a stop is no error
    EXPECT_EQ(rig.boxes[0].caption, "Вопрос"_cp);
}

TEST_F(MailingWindow, R3_WritesTheDatabaseRefusedAreStoredWhenItTakesThemAgain) {
    const int list = SaveList({{"79161000001"}, {"79161000002"}});
    rig.Then(
        "the window", [&] { return Shown(); }, [&] { rig.Click(form->btnStart); });
    rig.Then(
        "the acceptance", [&] { return modem.modem.accepted().size() == 1; },
        [&] { gateway_test::LimitGrowth(Db(), true); });
    rig.Then(
        "the refusal", [&] { return form->btnClose->Enabled() && form->Run().HasUnstored(); },
        [&] { Db().ExecuteRaw("delete from NumberLog where NumID=-1"); });
    rig.Then(
        "the retry", [&] { return !form->Run().HasUnstored(); },
        [&] { rig.Key(win::VK_ESCAPE, 27); });
    Open(list);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_EQ(Processed(), (std::vector<bool>{true, false}));
    EXPECT_EQ(modem.modem.accepted().size(), 1u);
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_NE(rig.boxes[0].text.find("79161000001"), std::string::npos);
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
