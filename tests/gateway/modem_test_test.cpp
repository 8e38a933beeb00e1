#include "gateway/modem_test.h"

#include <gtest/gtest.h>

#include "gateway/mailing_run.h"
#include "link_rig.h"
#include "platform/os/cp_literal.h"

namespace {

struct TestView : gateway::TModemTestView {
    void ClearLog() override { log.clear(); }
    void AddLogLine(const std::string& line) override { log.push_back(line); }
    void Repaint() override { ++repaints; }
    void MessageBox(const std::string& t, const std::string& c, unsigned f) override {
        boxes.push_back({t, c, f});
    }
    std::vector<std::string> log{"old"};
    int repaints = 0;
    std::vector<gateway_test::Box> boxes;
};

struct TestRun {
    explicit TestRun(vmodem::Options o = {}) : rig(std::move(o)) {}
    const gateway_test::Box& Run() {
        gateway::RunModemTest(rig.port, "ttyUSB0", view);
        EXPECT_FALSE(rig.port.IsOpen());
        EXPECT_EQ(view.boxes.size(), 1u);
        if (view.boxes.empty()) view.boxes.push_back({});
        return view.boxes.back();
    }
    gateway_test::Rig rig;
    TestView view;
};

TEST(ModemTest, AsksForTheIMEIAndTheSignalAndShowsTheReplies) {
    TestRun t;
    const auto& box = t.Run();
    EXPECT_EQ(box.text, "Тест прошел успешно."_cp);
    EXPECT_EQ(box.caption, "Информация"_cp);
    EXPECT_EQ(box.flags, gateway::kMbIconAsterisk);
    EXPECT_EQ(t.view.log, (std::vector<std::string>{
                              "#1 Получить IMEI:"_cp, "356938035643809\r\n\r\nOK",
                              "#2 Проверить уровень сигнала:"_cp, "+CSQ: 20,0\r\n\r\nOK"}));
    EXPECT_EQ(t.view.repaints, 1);
    EXPECT_EQ(t.rig.modem.commands(), (std::vector<std::string>{"AT+CGSN", "AT+CSQ"}));
}

TEST(ModemTest, AModemLeftInThePromptIsFreedByEscapeBeforeTheFirstCommand) {
    TestRun t;
    t.rig.modem.Receive("AT+CMGS=16\r", 0);  // a run killed at the prompt
    EXPECT_EQ(t.Run().text, "Тест прошел успешно."_cp);
    EXPECT_EQ(t.rig.modem.received().substr(11, 1), "\x1B");
    EXPECT_TRUE(t.rig.modem.rejected().empty());
}

TEST(ModemTest, R1_AReplyInPiecesIsJudgedWhole) {
    vmodem::Options o;
    o.chunkSize = 3;  // "OK" arrives as "\nO" and "K\r"
    o.rssi = 12;
    TestRun t(o);
    const uint32_t start = os::GetTickCount();
    const auto& box = t.Run();
    EXPECT_LT(os::TickDiff(start, os::GetTickCount()), 2000u);
    EXPECT_EQ(box.text,
              "Низкий уровень сигнала (41%).\rРассылка СМС может работать нестабильно."_cp);
    EXPECT_EQ(box.flags, gateway::kMbIconExclamation);
}

TEST(ModemTest, WarnsOfErrorsFailuresAndSilence) {
    struct Case {
        vmodem::Options options;
        vmodem::Rule rule;
        std::string text;
    };
    vmodem::Options manyErrors;
    manyErrors.ber = 6;
    const vmodem::Rule none{"NOTHING"};
    const std::vector<Case> cases = {
        {manyErrors, none,
         "Плохое качество связи - большой процент ошибок (6.4 - 12.8%).\rРассылка СМС может "
         "работать нестабильно."_cp},
        {{},
         {"AT+CGSN", vmodem::Rule::Kind::Error},
         std::string("Тест завершен c ошибкой:\r"_cp) + "\r\nERROR\r\n"},
        {{},
         {"AT+CSQ", vmodem::Rule::Kind::CmsError, 500},
         std::string("Тест завершен c ошибкой:\r"_cp) + "\r\n+CMS ERROR: 500\r\n"},
        {{},
         {"", vmodem::Rule::Kind::Silence},
         "Тест прошел неудачно.\rВыберите другой COM-порт."_cp},
    };
    for (const Case& c : cases) {
        TestRun t(c.options);
        t.rig.modem.AddRule(c.rule);
        EXPECT_EQ(t.Run().text, c.text);
    }
    // An error to the IMEI still asks for the signal.
    TestRun t;
    t.rig.modem.AddRule({"AT+CGSN", vmodem::Rule::Kind::Error});
    t.Run();
    EXPECT_EQ(t.rig.modem.commands().size(), 2u);
}

TEST(ModemTest, PortFailuresAreShownAndEndTheTest) {
    TestRun open;
    open.rig.port.FailOpenAt(os::PortStep::Open, 2);
    EXPECT_EQ(open.Run().text, "Ошибка открытия порта.\rВыберите другой COM-порт."_cp);
    EXPECT_TRUE(open.view.log.empty());
    TestRun write;
    write.rig.port.FailWrites(5);
    EXPECT_EQ(write.Run().text, "Ошибка записи в порт."_cp);
    TestRun read;
    read.rig.port.FailReads(2);  // the first is the answer to the opening ESC
    EXPECT_EQ(read.Run().text, "Ошибка чтения порта."_cp);
    EXPECT_EQ(read.rig.modem.commands().size(), 1u);
}

}  // namespace
