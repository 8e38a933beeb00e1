// The port dialog and the mailing window end to end: the system's serial port list, and the
// virtual modem answering on a pseudo-terminal in real time, the windows on the headless screen.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "gateway/form_gsm.h"
#include "gateway/form_start.h"
#include "gateway/log_thread.h"
#include "platform/display/screenshot.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/user/window_pos.h"
#include "pty_modem.h"
#include "run_rig.h"
#include "window_rig.h"

namespace {

using gateway_test::Caption;

using gateway_test::PtyModem;

std::vector<std::string> Items(vcl::TCustomComboBox* box) {
    std::vector<std::string> out;
    for (int i = 0; i < box->Items()->Count(); ++i)
        out.push_back(box->Items()->Strings(i));
    return out;
}

TEST(PortDialog, ListsTheSerialPortsOfTheSystem) {
    gateway_test::WindowRig rig;
    const std::string tty = rig.dir / "tty";
    for (const char* dir : {"", "/ttyS0", "/ttyS0/device", "/ttyUSB1", "/ttyUSB1/device", "/tty1"})
        ::mkdir((tty + dir).c_str(), 0700);
    gateway::TformGSM* dialog = nullptr;
    vcl::Application()->CreateForm(dialog);
    dialog->SysClassTty = tty;
    rig.giveUp = [&] { dialog->SetModalResult(vcl::mrCancel); };
    rig.Then(
        "the dialog", [&] { return dialog->Visible(); },
        [&] {
            EXPECT_EQ(Items(dialog->cbCOM), (std::vector<std::string>{"ttyS0", "ttyUSB1"}));
            EXPECT_EQ(dialog->cbCOM->Text(), "ttyUSB1");
            EXPECT_EQ(dialog->cbCOM->BoundLabel()->Caption(),
                      std::string("\xD1\xCE\xCC") + "-порт:"_cp);  // Cyrillic letters
            rig.Click(dialog->btnCancel);
        });
    std::string port = "ttyUSB1";
    dialog->Execute(port);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_FALSE(dialog->Selected);

    // A list that cannot be read leaves the items; the system's own list is taken as it is.
    dialog->SysClassTty = rig.dir / "none";
    dialog->FillPortList();
    EXPECT_EQ(Items(dialog->cbCOM), (std::vector<std::string>{"ttyS0", "ttyUSB1"}));
    dialog->SysClassTty = "/sys/class/tty";
    dialog->FillPortList();
    EXPECT_EQ(Items(dialog->cbCOM), os::ListSerialPorts());
}

TEST(PortDialog, TestsTheModemOnAPseudoTerminalAndChoosesItsPort) {
    PtyModem modem;
    gateway_test::WindowRig rig;
    rig.stepLimit = 300;  // 30 s
    gateway::TformGSM* dialog = nullptr;
    vcl::Application()->CreateForm(dialog);
    dialog->SysClassTty = rig.dir / "none";
    rig.giveUp = [&] { dialog->SetModalResult(vcl::mrCancel); };
    const std::string path = modem.pty.path();
    rig.Then(
        "the dialog", [&] { return dialog->Visible(); },
        [&] {
            rig.Click(dialog->cbCOM);
            rig.Type(path);
        });
    rig.Then(
        "the typed port", [&] { return dialog->cbCOM->Text() == path; },
        [&] { rig.Click(dialog->btnTest); });
    rig.Then(
        "the test's message", [&] { return !rig.boxes.empty(); },
        [&] {
            EXPECT_EQ(dialog->memoLog->Lines()->Strings(0), "#1 Получить IMEI:"_cp);
            EXPECT_NE(dialog->memoLog->Text().find("356938035643809"), std::string::npos);
            EXPECT_NE(dialog->memoLog->Text().find("#2 Проверить уровень сигнала:"_cp),
                      std::string::npos);
            EXPECT_NE(dialog->memoLog->Text().find("+CSQ: 20,0"), std::string::npos);
            rig.Click(dialog->btnSelect);
        });
    std::string port;
    dialog->Execute(port);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_EQ(port, path);
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].caption, "Информация"_cp);
    EXPECT_EQ(rig.boxes[0].text, "Тест прошел успешно."_cp);
}

// The reference picture tests/data/gateway/mailing_window.png is kept for the eye;
// TESSARY_UPDATE_REFERENCE=1 writes it again.
TEST(MailingWindowOverPty, AListIsMailedEndToEndWithTheWindowShownMidway) {
    vmodem::Options options;
    options.reportDelayMs = 300;
    PtyModem modem(options);
    gateway_test::WindowRig rig;
    rig.stepLimit = 600;  // 60 s
    gateway::StartLogThread(rig.dir.path());
    gateway::TSettings& settings = rig.main->settings;
    settings.SMSDelay = 0;
    settings.ReportWaitForMins = 1;
    const std::string name = "Клиенты"_cp, text = "Добрый день, [№1]! Ваш заказ [№2] готов."_cp;
    const int list =
        gateway_test::RunRig::SaveRows(*sql::SharedDatabase(rig.dir.path()), name, text,
                                       {{"+79161000001", "Анна"_cp, "1041"},
                                        {"89161000002", "Борис"_cp, "1042"},
                                        {"79161000003", "Вера"_cp, "1043"}});
    gateway::TformStart* form = nullptr;
    vcl::Application()->CreateForm(form);
    rig.giveUp = [&] {
        form->btnStopClick(form);
        form->SetModalResult(vcl::mrCancel);
    };
    rig.Then(
        "the window", [&] { return form->Visible(); }, [&] { rig.Click(form->btnStart); });
    rig.Then(
        "the second number",
        [&] { return Caption(form->labCurNum) == "Текущий номер: 79161000002"_cp; },
        [&] {
            form->Update();
            win::RECT r{};
            win::GetWindowRect(form->Handle(), &r);
            const display::Rgb shot = display::CaptureScreen(&r);
            EXPECT_EQ(shot.width, form->Width());
            EXPECT_EQ(shot.height, form->Height());
            EXPECT_TRUE(display::WritePng(shot, rig.dir / "mailing_window.png"));
            if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
                display::WritePng(shot,
                                  testing_support::TestDataDir() + "gateway/mailing_window.png");
        });
    rig.Then(
        "the end", [&] { return form->btnShowNumberLog->Enabled(); },
        [&] { rig.Click(form->btnClose); });
    form->Execute(modem.pty.path(), list, name, text);
    EXPECT_TRUE(rig.ScriptDone());
    modem.Stop();

    const auto phone = modem.engine.PhoneView();
    ASSERT_EQ(phone.size(), 3u);
    EXPECT_EQ(phone[1].number, "79161000002");
    EXPECT_EQ(phone[1].text, os::Cp1251ToUtf8("Добрый день, Борис! Ваш заказ 1042 готов."_cp));
    const auto rows = sql::SharedDatabase(rig.dir.path())
                          ->QueryRaw(
                              "select count(*) from NumberLog where SendResultOK=1 and "
                              "StatusSC=0 and IMEI='356938035643809'");
    EXPECT_EQ(rows.At(0, 0).Integer(), 3);
    const auto processed = sql::SharedDatabase(rig.dir.path())
                               ->QueryRaw("select count(*) from NumberList where Processed=1");
    EXPECT_EQ(processed.At(0, 0).Integer(), 3);
    EXPECT_TRUE(rig.boxes.empty());
}

}  // namespace
