// Whole mailing runs against the in-process virtual modem, in virtual time.
#include "gateway/mailing_run.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "db/durable_writes.h"
#include "platform/os/cp_literal.h"
#include "platform/sql/date_text.h"
#include "run_rig.h"
#include "vcl/system/format.h"

namespace {

using gateway::CountWithShare;
using gateway_test::RunRig;

const std::string kHello = "Hello [№1]"_cp;
const std::string kLong7Bit(161, 'x');                     // two 7-bit parts
const std::string kRussian = "Привет, [№1]!"_cp;           // UCS2
const std::string kLongRussian = std::string(71, '\xE0');  // two UCS2 parts ("а")

uint64_t Ms(RunRig& r) {
    return r.link.port.NowMs();
}

// ---- whole runs ----

TEST(MailingRun, SendsEveryNumberJournalsItAndAppliesTheReports) {
    RunRig r;
    r.SaveList("Список"_cp, kHello, {{"+79161234567", "Anna"}, {"89161234568", "Boris"}});
    r.Start();

    EXPECT_EQ(
        r.link.modem.commands(),
        (std::vector<std::string>{"AT+CSQ", "AT+CMGF=0", "ATE1", "AT+CGSN", "AT+CNMI=2,0,0,1,0",
                                  "AT+CSQ", "AT+CMGS=22", "AT+CMGS=23"}));
    const auto phone = r.link.modem.PhoneView();
    ASSERT_EQ(phone.size(), 2u);
    EXPECT_EQ(phone[0].number, "79161234567");
    EXPECT_EQ(phone[0].text, "Hello Anna");
    EXPECT_EQ(phone[1].number, "79161234568");  // the national 8 became 7

    const auto rows = r.Journal();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].mr, 0);
    EXPECT_EQ(rows[1].mr, 1);
    for (const auto& row : rows) {
        EXPECT_TRUE(row.ok);
        EXPECT_EQ(row.status, 0);  // delivered; the report came in the final wait
        EXPECT_EQ(row.imei, "356938035643809");
    }
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, true}));
    EXPECT_FALSE(r.Active(r.run.ListID));

    EXPECT_EQ(r.view.all, "2");
    EXPECT_EQ(r.view.processed, "2 (100%)");
    EXPECT_EQ(r.view.sent, "2 (100%)");
    EXPECT_EQ(r.view.report, "2 (100%)");
    EXPECT_EQ(r.view.stage, "Этап: ожидание отчетов о доставке"_cp);
    EXPECT_EQ(r.view.color, gateway::kReportWaitColor);
    EXPECT_EQ(r.view.max, 60);
    EXPECT_EQ(r.view.progress, 60);  // the port clean-up fills the gauge
    EXPECT_EQ(r.view.current, "Текущий номер: 79161234568"_cp);
    EXPECT_EQ(r.view.memo, "Hello Boris");
    EXPECT_EQ(r.view.level, 3);
    EXPECT_EQ(r.view.hint, "Уровень сигнала: 66%. Процент ошибок связи: << 0.2%."_cp);
    EXPECT_TRUE(r.view.start && !r.view.stop && r.view.close && !r.view.readOnly);
    EXPECT_TRUE(r.view.journal);
    EXPECT_EQ(r.view.beeps, std::vector<unsigned>{gateway::kMbIconAsterisk});
    EXPECT_TRUE(r.view.boxes.empty());
    EXPECT_FALSE(r.link.port.IsOpen());
    const auto lines = r.link.Lines();
    EXPECT_EQ(lines.front(), "====== Начало рассылки ======"_cp);
    EXPECT_EQ(
        lines[1],
        "Параметры: пауза между СМС 0 сек; запросить отчет о доставке \"True\"; ждать отчеты 1 мин."_cp);
    EXPECT_EQ(lines.back(), "====== Конец рассылки ======"_cp);

    // The window opened again shows nothing of this run until the next one reads the IMEI.
    r.run.Reset("ttyUSB1", r.run.ListID, r.run.ListName, kHello);
    EXPECT_FALSE(r.view.journal);
    EXPECT_EQ(r.run.IMEI, "");
    EXPECT_EQ(r.view.processed, "0 (0%)");
    EXPECT_EQ(r.link.link.ComPort, "ttyUSB1");
}

TEST(MailingRun, ConcatenatedAndUcs2MessagesGoAsPartsWithOneReference) {
    struct Case {
        std::string text;
        std::size_t parts;
        std::vector<std::size_t> partLengths;
    };
    for (const Case& c :
         {Case{kLong7Bit, 2, {152, 9}}, Case{kRussian, 1, {13}}, Case{kLongRussian, 2, {67, 4}}}) {
        RunRig r;
        r.settings.SMSDelay = 1;
        r.SaveList("L", c.text, {{"79161234567", "Вера"_cp}});
        r.Start();
        const auto& accepted = r.link.modem.accepted();
        ASSERT_EQ(accepted.size(), c.parts);
        for (const auto& a : accepted) {
            EXPECT_EQ(a.submit.concatenated, c.parts > 1);
            EXPECT_EQ(a.submit.ref, accepted[0].submit.ref);
        }
        const auto rows = r.Journal();
        ASSERT_EQ(rows.size(), c.parts);
        for (std::size_t j = 0; j < c.parts; ++j)
            EXPECT_EQ(rows[j].text.size(), c.partLengths[j]);
        ASSERT_EQ(r.link.modem.PhoneView().size(), 1u);
        if (c.parts == 1) {
            EXPECT_EQ(r.link.modem.PhoneView()[0].text, "Привет, Вера!");
        }
        // A pause follows the first part even of the last number, none the last part.
        if (c.parts == 2) {
            EXPECT_GE(accepted[1].atMs - accepted[0].atMs, 1000u);
        }
        EXPECT_EQ(r.Processed(), std::vector<bool>{true});
    }
}

TEST(MailingRun, WithoutReportsNoneIsAskedForOrAwaited) {
    RunRig r;
    r.settings.ReportRequire = false;
    r.SaveNumbers(2, "text");
    r.Start();
    EXPECT_EQ(r.CommandCount("AT+CNMI"), 0);
    for (const auto& a : r.link.modem.accepted())
        EXPECT_FALSE(a.submit.reportRequested);
    for (const auto& row : r.Journal())
        EXPECT_FALSE(row.hasStatus);
    EXPECT_EQ(r.view.stage, "Этап: рассылка СМС"_cp);
    EXPECT_EQ(r.view.report, "0 (0%)");
    EXPECT_LT(Ms(r), 10000u);
}

TEST(MailingRun, FallsBackToTheOtherReportModeAndEndsWhenBothFail) {
    vmodem::Options refuses;
    refuses.refuseCnmiMode2 = true;
    RunRig r(refuses);
    r.SaveNumbers(1, "text");
    r.Start();
    EXPECT_EQ(r.CommandCount("AT+CNMI=1,0,0,1,0"), 1);
    EXPECT_EQ(r.Journal().size(), 1u);

    RunRig none;
    none.link.modem.AddRule({"AT+CNMI", vmodem::Rule::Kind::Error});
    none.SaveNumbers(1, "text");
    none.Start();
    EXPECT_EQ(none.CommandCount("AT+CMGS"), 0);
    ASSERT_EQ(none.view.boxes.size(), 1u);
    EXPECT_EQ(none.view.boxes[0].text, "Ошибка при выполнении AT-команды."_cp);
    EXPECT_TRUE(none.view.beeps.empty());  // an early end
    EXPECT_FALSE(none.Active(none.run.ListID));
}

TEST(MailingRun, AMessageFailingThreeTimesLeavesAFailureRowAndTheRunGoesOn) {
    RunRig r;
    r.link.modem.AddRule({"PDU", vmodem::Rule::Kind::CmsError, 500, 0, 3});
    r.SaveNumbers(2, "text");
    r.Start();
    EXPECT_EQ(r.CommandCount("AT+CMGS"), 4);
    const auto rows = r.Journal();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_FALSE(rows[0].ok);
    EXPECT_EQ(rows[0].mr, 256);
    EXPECT_TRUE(rows[1].ok);
    EXPECT_EQ(r.Processed(), (std::vector<bool>{false, true}));
    EXPECT_EQ(r.view.processed, "2 (100%)");
    EXPECT_EQ(r.view.sent, "1 (50%)");
}

TEST(MailingRun, PausesBetweenMessagesButNotAfterTheLast) {
    RunRig r;
    r.settings.SMSDelay = 2;
    r.settings.ReportRequire = false;
    r.SaveNumbers(3, "text");
    r.Start();
    const auto& a = r.link.modem.accepted();
    ASSERT_EQ(a.size(), 3u);
    EXPECT_GE(a[1].atMs - a[0].atMs, 2000u);
    EXPECT_LT(a[1].atMs - a[0].atMs, 3500u);
    EXPECT_GE(a[2].atMs - a[1].atMs, 2000u);
    EXPECT_LT(Ms(r) - a[2].atMs, 1000u);
}

TEST(MailingRun, TheFinalWaitEndsAboutASecondAfterTheLastReport) {
    vmodem::Options slow;
    slow.reportDelayMs = 20000;
    slow.statuses = {48, 0};  // a temporary error first: still pending
    RunRig r(slow);
    r.settings.ReportWaitForMins = 5;
    r.SaveNumbers(1, "text");
    r.Start();
    const uint64_t lastReport = r.link.modem.accepted()[0].atMs + 2 * 20000;
    EXPECT_GT(Ms(r), lastReport);
    EXPECT_LE(Ms(r), lastReport + 1100);
    EXPECT_EQ(r.Journal()[0].status, 0);
    EXPECT_EQ(r.view.max, 300);
}

TEST(MailingRun, AHalfDoneListIsContinuedOrRestartedAsAnswered) {
    struct Case {
        std::deque<int> answers;
        int sent;
    };
    for (const Case& c :
         {Case{{gateway::kIdYes}, 2}, Case{{gateway::kIdNo}, 4}, Case{{gateway::kIdCancel}, 0}}) {
        RunRig r;
        r.SaveNumbers(4, "text");
        r.Db().ExecuteRaw("update NumberList set Processed=1 where ID<=2");
        r.view.answers = c.answers;
        r.Start();
        EXPECT_EQ(r.CommandCount("AT+CMGS"), c.sent);
        ASSERT_EQ(r.view.boxes.size(), 1u);
        EXPECT_EQ(r.view.boxes[0].flags, 547u);
        EXPECT_EQ(r.view.boxes[0].text,
                  std::string("Список обработан не полностью. Продолжить рассылку (Да),\r"
                              "начать заново (Нет) или отменить действие (Отмена)?"_cp));
        if (c.sent) {
            EXPECT_EQ(r.view.processed, "4 (100%)");
        }
    }
    for (int answer : {gateway::kIdNo, gateway::kIdYes}) {
        RunRig r;
        r.SaveNumbers(2, "text");
        r.Db().ExecuteRaw("update NumberList set Processed=1");
        r.view.answers = {answer};
        r.Start();
        EXPECT_EQ(r.view.boxes[0].flags, 292u);
        EXPECT_EQ(r.CommandCount("AT+CMGS"), answer == gateway::kIdYes ? 2 : 0);
    }
}

TEST(MailingRun, TheListChecksRefuseAnEmptyTextAndAnEmptyList) {
    RunRig r;
    r.SaveList("L", " \r\n", {{"79161234567"}});
    r.Start();
    r.SaveList("M", "text", {});
    r.Start();
    ASSERT_EQ(r.view.boxes.size(), 2u);
    EXPECT_EQ(r.view.boxes[0].text, "Не указан текст СМС."_cp);
    EXPECT_EQ(r.view.boxes[1].text, "Список не содержит номеров."_cp);
    EXPECT_EQ(r.link.port.opens(), 0);
}

TEST(MailingRun, AWeakSignalOrManyErrorsAskBeforeSending) {
    struct Case {
        int rssi, ber;
        std::string question;
    };
    for (const Case& c :
         {Case{10, 0, "Низкий уровень сигнала (34%).\rПродолжить?"_cp},
          Case{20, 5,
               "Плохое качество связи - большой процент ошибок (3.2 - 6.4%).\rПродолжить?"_cp},
          Case{99, 99, ""}}) {
        vmodem::Options o;
        o.rssi = c.rssi;
        o.ber = c.ber;
        RunRig r(o);
        r.SaveNumbers(1, "text");
        r.view.answers = {gateway::kIdNo};
        r.Start();
        if (c.question.empty()) {
            EXPECT_TRUE(r.view.boxes.empty());  // 99 is no value, not a weak signal
            EXPECT_EQ(r.view.level, 5);
            continue;
        }
        ASSERT_EQ(r.view.boxes.size(), 1u);
        EXPECT_EQ(r.view.boxes[0].text, c.question);
        EXPECT_EQ(r.view.boxes[0].flags, 52u);
        EXPECT_EQ(r.CommandCount("AT+CMGF"), 0);
    }
}

TEST(MailingRun, TheIMEIIsReadAgainEveryTenthNumber) {
    RunRig r;
    r.settings.ReportRequire = false;
    r.SaveNumbers(12, "text");
    r.Start();
    EXPECT_EQ(r.CommandCount("AT+CGSN"), 2);
    EXPECT_EQ(r.Journal().size(), 12u);

    // A failed or stopped re-read keeps the IMEI the rows carry (R11); only a failure says so.
    for (const bool stop : {false, true}) {
        RunRig lost;
        lost.settings.ReportRequire = false;
        lost.SaveNumbers(12, "text");
        lost.link.modem.AddRule({"AT+CGSN", vmodem::Rule::Kind::Late, 0, 5000});
        lost.pump = [&] {
            if (lost.CommandCount("AT+CMGS") != 9) return;
            if (!stop) lost.link.modem.options().imei = "";
            if (stop && lost.CommandCount("AT+CGSN") == 2) lost.run.btnStopClick();
        };
        lost.Start();
        EXPECT_EQ(lost.CommandCount("AT+CMGS"), 9);
        EXPECT_EQ(lost.run.IMEI, "356938035643809");
        EXPECT_TRUE(lost.view.journal);
        ASSERT_EQ(lost.view.boxes.size(), stop ? 0u : 1u);
        if (!stop) {
            EXPECT_EQ(lost.view.boxes[0].text, "Не могу получить IMEI. Рассылка остановлена."_cp);
        }
        // A stop ends the run as usual; a failure with its box alone.
        EXPECT_EQ(lost.view.beeps.size(), stop ? 1u : 0u);
    }
}

TEST(MailingRun, R15_AMessageAcceptedWithAnUnreadableReferenceIsJournaledAndNotSentAgain) {
    RunRig r;
    for (const char* reference : {" 300", ""})
        r.link.modem.AddRule({"PDU", vmodem::Rule::Kind::Reference, 0, 0, 1, reference});
    r.SaveList("L", kHello, {{"79161234567", "Anna"}, {"79161234568", "Boris"}, {"79161234569"}});
    r.Start();
    const auto rows = r.Journal();
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows)
        EXPECT_TRUE(row.ok);
    EXPECT_EQ(rows[0].mr, 256);
    EXPECT_EQ(rows[1].mr, 256);
    EXPECT_EQ(rows[2].status, 0);         // the wait ended with the one report awaited
    EXPECT_EQ(r.view.report, "1 (33%)");  // R3: the two await no report, so never all came
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(r.link.Count("Unreadable message reference, journaled without one: \"+CMGS: 300\""),
              1);
    EXPECT_EQ(r.link.Count("Unreadable message reference, journaled without one: \"+CMGS:\""), 1);

    r.view.answers = {gateway::kIdNo};  // the list is done: not again
    r.Start();
    EXPECT_EQ(r.link.modem.accepted().size(), 3u);
}

TEST(MailingRun, R11_AReportBetweenTheEchoAndTheIMEIIsDrainedNotTakenForTheIMEI) {
    vmodem::Options o;
    o.reportDelayMs = 600000;  // no report of its own comes during the run
    RunRig r(o);
    r.SaveNumbers(10, "text");
    bool armed = false;
    r.pump = [&] {
        const auto& accepted = r.link.modem.accepted();
        if (armed || accepted.size() != 9) return;
        armed = true;
        const auto& first = accepted[0];
        const std::string pdu = r.link.modem.ReportPdu(first, 0, first.localTime, first.localTime);
        r.link.modem.AddRule(
            {"AT+CGSN", vmodem::Rule::Kind::Splice, 0, 0, 1, "\r\n+CDS: 25\r\n" + pdu + "\r\n"});
    };
    r.Start();
    const auto rows = r.Journal();
    ASSERT_EQ(rows.size(), 10u);
    for (const auto& row : rows)
        EXPECT_EQ(row.imei, "356938035643809");
    EXPECT_EQ(rows[0].status, 0);
    EXPECT_EQ(gateway::ExtractIMEI("AT+CGSN\r\r\n+CDS: 25\r\n0123\r\n\r\n42\r\n\r\nOK\r\n"), "42");
}

TEST(MailingRun, ThePortThatCannotBeOpenedEndsTheRunAndGivesTheListBack) {
    RunRig r;
    r.link.port.FailOpenAt(os::PortStep::Open, 2);
    const int list = r.SaveNumbers(1, "text");
    r.Start();
    ASSERT_EQ(r.link.boxes.size(), 1u);
    EXPECT_EQ(r.link.boxes[0].text, "Ошибка открытия порта."_cp);
    EXPECT_FALSE(r.Active(list));
    EXPECT_TRUE(r.view.beeps.empty());
}

// ---- stopping ----

// Presses Stop once `when` holds, from inside the run's waits.
void StopWhen(RunRig& r, std::function<bool()> when) {
    r.pump = [&r, when] {
        if (!r.link.link.Stopped && when()) r.run.btnStopClick();
    };
}

TEST(MailingRunStop, R8_AStopDuringTheSetUpEndsQuietly) {
    for (const char* command : {"AT+CSQ", "AT+CMGF=0", "AT+CGSN", "AT+CNMI"}) {
        RunRig r;
        r.link.modem.AddRule({command, vmodem::Rule::Kind::Late, 0, 5000, 1});
        r.SaveNumbers(1, "text");
        StopWhen(r, [&] { return r.CommandCount(command) > 0; });
        r.Start();
        EXPECT_TRUE(r.view.boxes.empty()) << command;
        EXPECT_EQ(r.CommandCount("AT+CMGS"), 0);
        EXPECT_FALSE(r.link.port.IsOpen());
        EXPECT_FALSE(r.Active(r.run.ListID));
        EXPECT_TRUE(r.view.start && !r.view.stop && r.view.close);
    }
}

TEST(MailingRunStop, AStopWhileAPduIsAnsweredStillJournalsIt) {
    RunRig r;
    r.link.modem.AddRule({"PDU", vmodem::Rule::Kind::Late, 0, 3000, 1});
    r.SaveNumbers(2, "text");
    StopWhen(r, [&] { return r.link.modem.accepted().size() == 1; });
    r.Start();
    ASSERT_EQ(r.Journal().size(), 1u);
    EXPECT_TRUE(r.Journal()[0].ok);
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, false}));
    EXPECT_EQ(r.CommandCount("AT+CMGS"), 1);
    EXPECT_EQ(r.view.beeps.size(), 1u);
}

TEST(MailingRunStop, AStopDuringThePauseEndsTheLoopAfterTheDrain) {
    RunRig r;
    r.settings.SMSDelay = 30;
    r.SaveNumbers(2, "text");
    StopWhen(r, [&] {
        const auto& a = r.link.modem.accepted();
        return !a.empty() && Ms(r) > a[0].atMs + 5000;
    });
    r.Start();
    EXPECT_EQ(r.Journal().size(), 1u);
    EXPECT_EQ(r.Journal()[0].status, 0);  // its report came during the pause
    EXPECT_EQ(r.CommandCount("AT+CMGS"), 1);
    EXPECT_EQ(r.view.stage, "Этап: рассылка СМС"_cp);  // no final wait
    EXPECT_EQ(r.view.beeps.size(), 1u);
}

TEST(MailingRunStop, AStopBetweenPartsLeavesTheMessageUnfinishedAndTheNumberUnprocessed) {
    RunRig r;
    r.settings.SMSDelay = 5;
    r.SaveNumbers(1, kLong7Bit);
    StopWhen(r, [&] { return r.link.modem.accepted().size() == 1; });
    r.Start();
    EXPECT_EQ(r.link.modem.accepted().size(), 1u);
    EXPECT_EQ(r.Journal().size(), 1u);
    EXPECT_EQ(r.Processed(), std::vector<bool>{false});
    EXPECT_EQ(r.view.sent, "0 (0%)");
    EXPECT_EQ(r.view.report, "0 (0%)");
}

TEST(MailingRunStop, AStopDuringTheFinalWaitEndsIt) {
    vmodem::Options o;
    o.reportDelayMs = 100000;
    RunRig r(o);
    r.SaveNumbers(1, "text");
    StopWhen(r, [&] { return r.view.stage == "Этап: ожидание отчетов о доставке"_cp; });
    r.Start();
    EXPECT_LT(Ms(r), 10000u);
    EXPECT_EQ(r.view.beeps.size(), 1u);
    EXPECT_FALSE(r.Active(r.run.ListID));
}

TEST(MailingRunStop, R1_StartPressedAgainDuringARunIsRefused) {
    RunRig r;
    r.settings.SMSDelay = 5;
    r.SaveNumbers(2, "text");
    bool pressed = false;
    r.pump = [&] {
        if (!pressed && r.link.modem.accepted().size() == 1) {
            pressed = true;
            r.run.btnStopClick();
            r.run.btnStartClick();  // Stop enabled Start again
        }
    };
    r.Start();
    ASSERT_EQ(r.view.boxes.size(), 1u);
    EXPECT_EQ(r.view.boxes[0].text,
              "Список \"Список\" нельзя использовать, т.к. по нему идет рассылка."_cp);
    EXPECT_EQ(r.link.modem.accepted().size(), 1u);
    EXPECT_FALSE(r.Active(r.run.ListID));
}

// ---- rules ----

TEST(MailingRunRules, R1_AListInUseByAnotherCopyIsRefusedAndLeftAlone) {
    RunRig r;
    const int list = r.SaveNumbers(1, "text");
    r.Db().ExecuteRaw("update List set Active=1");
    r.Start();
    ASSERT_EQ(r.view.boxes.size(), 1u);
    EXPECT_EQ(r.view.boxes[0].flags, gateway::kMbIconHand);
    EXPECT_EQ(r.link.port.opens(), 0);
    EXPECT_TRUE(r.Active(list));
    EXPECT_FALSE(r.view.readOnly);
    EXPECT_EQ(r.view.stage, "");
}

TEST(MailingRunRules, R1_AFailedStatementGivesTheListBackAndIsLoggedThroughTheLink) {
    RunRig r;
    const int list = r.SaveNumbers(1, "text");
    r.Db().ExecuteRaw("drop table UserValues");
    EXPECT_THROW(r.Start(), vcl::EDatabaseError);
    EXPECT_FALSE(r.Active(list));
    EXPECT_FALSE(r.link.port.IsOpen());
    EXPECT_EQ(r.link.Count("====== Конец рассылки ======"_cp), 1);
    bool logged = false;  // LogQuery's line reached the link's log seam
    for (const std::string& line : r.link.Lines())
        logged |= line.find("inner join UserValues") != std::string::npos;
    EXPECT_TRUE(logged);
    EXPECT_TRUE(r.view.start && r.view.close && !r.view.readOnly);
}

TEST(MailingRunRules, R2_PauseAndWaitAreKeptInTheirRanges) {
    RunRig r;
    r.settings.SMSDelay = 1000000;
    r.settings.ReportWaitForMins = -3;
    r.settings.ReportRequire = false;
    r.SaveNumbers(2, "text");
    r.Start();
    const auto& a = r.link.modem.accepted();
    EXPECT_LT(a[1].atMs - a[0].atMs, 62000u);
    EXPECT_GE(a[1].atMs - a[0].atMs, 60000u);

    EXPECT_EQ(gateway::SettingFromText("2,6", 1, 0, 60), 3);  // the user's decimal separator
    EXPECT_EQ(gateway::SettingFromText(" 7 ", 1, 0, 60), 7);
    EXPECT_EQ(gateway::SettingFromText("abc", 4, 0, 60), 4);
    EXPECT_EQ(gateway::SettingFromText("", 4, 0, 60), 4);
    EXPECT_EQ(gateway::SettingFromText("1e300", 4, 1, 60), 60);
    EXPECT_EQ(gateway::SettingFromText("-5", 4, 1, 60), 1);
    EXPECT_EQ(gateway::SettingFromText("99999999999", 4, 0, 60), 60);
}

TEST(MailingRunRules, R3_TheReportCounterCountsOnlyFullySentNumbersAndNeverGoesNegative) {
    vmodem::Options slow;
    slow.reportDelayMs = 30000;
    RunRig r(slow);
    // The second part of the first number fails every attempt, so that number waits for a
    // report while it is not fully sent.
    r.link.modem.AddRule({"PDU", vmodem::Rule::Kind::CmsError, 500, 0, 0});
    r.SaveNumbers(2, kLong7Bit);
    bool armed = false, negative = false;
    r.pump = [&] {
        if (!armed && r.link.modem.accepted().size() == 1) {
            armed = true;
            r.link.modem.options().rules[0].times = 3;
        }
        negative |= r.view.report.find('-') != std::string::npos;
    };
    r.Start();
    EXPECT_FALSE(negative);
    EXPECT_EQ(r.Processed(), (std::vector<bool>{false, true}));
    EXPECT_EQ(r.run.Counters().Reports, 1);
    EXPECT_EQ(r.view.report, "1 (50%)");
}

TEST(MailingRunRules, R4_AnUnsendableNumberIsJournaledAsFailedWithoutTheModem) {
    RunRig r;
    r.SaveList("L", "text", {{"12ab"}, {"+"}, {"123456789012345678901"}, {"79161234567"}});
    r.Start();
    EXPECT_EQ(r.CommandCount("AT+CMGS"), 1);
    const auto rows = r.Journal();
    ASSERT_EQ(rows.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(rows[i].ok);
        EXPECT_EQ(rows[i].mr, 256);
    }
    EXPECT_EQ(rows[0].number, "12ab");
    EXPECT_EQ(r.Processed(), (std::vector<bool>{false, false, false, true}));
}

TEST(MailingRunRules, R5_PlaceholdersAreFilledInOnePass) {
    using gateway::FillPlaceholders;
    EXPECT_EQ(FillPlaceholders("[№1] [№2] [№1]"_cp, {"a", "[№2]"_cp}), "a [№2] a"_cp);
    EXPECT_EQ(FillPlaceholders("[№3][№01][№][№1"_cp, {"a", "b"}), "[№3][№01][№][№1"_cp);
    EXPECT_EQ(FillPlaceholders("x[№[№1]]"_cp, {"v"}), "x[№v]"_cp);
    EXPECT_EQ(FillPlaceholders("[№10]"_cp, std::vector<std::string>(10, "z")), "z");
    // Values saved out of turn still belong to their own number, in their order.
    RunRig r;
    r.SaveList("L", "[№1]-[№3]"_cp, {{"79161234567", "a1", "a2"}, {"79161234568", "b1", "b2"}});
    r.Db().ExecuteRaw("insert into UserValues (NumberID, Val) values (1, 'a3')");
    r.Start();
    const auto phone = r.link.modem.PhoneView();
    ASSERT_EQ(phone.size(), 2u);
    EXPECT_EQ(phone[0].text, "a1-a3");
    EXPECT_EQ(phone[1].text, "b1-[№3]");
}

TEST(MailingRunRules, R6_NumbersAndValuesAreReadBeforeTheFirstMessage) {
    RunRig r;
    r.SaveList("L", "[№1]"_cp, {{"79161234567", "a"}, {"79161234568", "b"}});
    bool changed = false;
    r.pump = [&] {
        if (!changed && r.link.modem.accepted().size() == 1) {
            changed = true;
            r.Db().ExecuteRaw("update UserValues set Val='changed'");
            r.Db().ExecuteRaw(
                "insert into NumberList (ListID, Number, Processed) values (1, "
                "'79160000000', 0)");
        }
    };
    r.Start();
    const auto phone = r.link.modem.PhoneView();
    ASSERT_EQ(phone.size(), 2u);
    EXPECT_EQ(phone[1].text, "b");
}

TEST(MailingRunRules, R7_ReportTimesMoveIntoTheCurrentZoneWithSummerTime) {
    vmodem::Options o;
    o.reportZone = 0;
    RunRig r(o);
    r.link.clock.SetZone(16);  // UTC+4, as summer time would give
    r.SaveNumbers(1, "text");
    r.Start();
    EXPECT_EQ(r.run.LocalZone, 16);
    const auto rs = r.Db().QueryRaw("select SendTime, ReceiveTimeSC from NumberLog");
    const double sent = sql::TextToDateTime(rs.At(0, 0).Text()).value_or(0);
    const double sc = sql::TextToDateTime(rs.At(0, 1).Text()).value_or(0);
    EXPECT_NEAR((sc - sent) * 86400, 0, 2);  // stamped in UTC, stored in local time
    EXPECT_EQ(gateway::TSendJournal(r.data.Query3).LocalZone, 16);
}

TEST(MailingRunRules, R9_AnAttemptThatTimedOutIsCancelledWithEscape) {
    RunRig r;
    // The prompt comes after the 30 s time-out; the modem is waiting for a PDU meanwhile.
    r.link.modem.AddRule({"AT+CMGS", vmodem::Rule::Kind::Late, 0, 40000, 1});
    r.SaveNumbers(1, "text");
    r.Start();
    EXPECT_NE(r.link.modem.received().find('\x1B', 1), std::string::npos);  // not the opening's
    EXPECT_EQ(r.CommandCount("AT+CMGS"), 2);
    EXPECT_TRUE(r.link.modem.rejected().empty());
    ASSERT_EQ(r.Journal().size(), 1u);
    EXPECT_TRUE(r.Journal()[0].ok);

    // A stop while the prompt is awaited leaves it open just the same.
    RunRig stopped;
    stopped.link.modem.AddRule({"AT+CMGS", vmodem::Rule::Kind::Late, 0, 5000, 1});
    stopped.SaveNumbers(1, "text");
    StopWhen(stopped, [&] { return stopped.CommandCount("AT+CMGS") == 1; });
    stopped.Start();
    EXPECT_NE(stopped.link.modem.received().find('\x1B', 1), std::string::npos);
    EXPECT_FALSE(stopped.Journal()[0].ok);
    EXPECT_EQ(stopped.Processed(), std::vector<bool>{false});
}

TEST(MailingRunRules, R16_AnAnswerAfterTheTimeOutIsTheMessagesOwnAndNothingIsSentTwice) {
    using K = vmodem::Rule::Kind;
    const vmodem::Rule twoSilent{"PDU", K::Silence, 0, 0, 2};
    // The nth message given alone; `apart`: the modem answers other commands meanwhile.
    const auto nth = [](int n, K kind, uint32_t ms = 0, bool apart = false) {
        return vmodem::Rule{"PDU", kind, 0, ms, -1, "", 0, n, apart};
    };
    const struct {
        const char* name;
        std::string text;
        int numbers, pause;
        std::vector<vmodem::Rule> rules;
        int cmgs;               // "AT+CMGS=" commands
        std::size_t chunk = 0;  // the modem's replies in reads of this many bytes
        bool reports = true;
        uint32_t reportDelay = 2000;
        int waitMins = 1;
    } cases[] = {
        {"in the listen after the time-out", "text", 1, 0, {{"PDU", K::Late, 0, 30800, 1}}, 1},
        {"before the next prompt", "text", 1, 0, {{"PDU", K::Late, 0, 35000, 1}}, 2},
        {"the middle part", std::string(400, 'x'), 1, 0, {{"PDU", K::Late, 0, 35000, 1, "", 1}}, 4},
        // The error comes while the next prompt is awaited: that command's own, it fails the
        // attempt, and the prompt behind it is cancelled.
        {"a late error", "text", 1, 0, {{"PDU", K::CmsError, 500, 35000, 1}}, 3},
        {"a late error split across reads",
         "text",
         1,
         0,
         {{"PDU", K::CmsError, 500, 35000, 1}},
         3,
         4},
        {"in the pause after the last attempt",
         "text",
         2,
         5,
         {twoSilent, {"PDU", K::Late, 0, 32000, 1}},
         4},
        {"while the next number is on its way",
         "text",
         2,
         0,
         {twoSilent, {"PDU", K::Late, 0, 40000, 1}},
         4},
        // R19: the run listens for it before it closes the port.
        {"the last number's last attempt", "text", 1, 0, {twoSilent, nth(3, K::Late, 32000)}, 3},
        {"the last attempt, without reports",
         "text",
         1,
         0,
         {twoSilent, nth(3, K::Late, 32000)},
         3,
         0,
         false},
        {"in the final wait for reports",
         "text",
         2,
         0,
         {nth(2, K::Silence), nth(3, K::Silence), nth(4, K::Late, 125000)},
         4,
         0,
         true,
         200000,
         5},
        {"in the IMEI read",
         "text",
         10,
         0,
         {nth(9, K::Silence),
          nth(10, K::Silence),
          nth(11, K::Late, 33000),
          {"AT+CGSN", K::Late, 0, 5000, 1, "", 1}},
         12},
        // L6: the modem refuses the next prompts at once while the network holds the message;
        // those errors are their commands' own, and the reference that follows is the message's.
        {"the next prompts refused meanwhile",
         "text",
         2,
         0,
         {nth(1, K::Late, 33000, true), {"AT+CMGS=", K::CmsError, 302, 0, 2, "", 1}},
         4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vmodem::Options options;
        options.chunkSize = c.chunk;
        options.reportDelayMs = c.reportDelay;
        RunRig r(options);
        r.settings.SMSDelay = c.pause;
        r.settings.ReportRequire = c.reports;
        r.settings.ReportWaitForMins = c.waitMins;
        for (const vmodem::Rule& rule : c.rules)
            r.link.modem.AddRule(rule);
        r.SaveNumbers(c.numbers, c.text);
        r.Start();
        EXPECT_EQ(r.CommandCount("AT+CMGS"), c.cmgs);
        // Each message reached the phone once and has one row, with its own reference.
        const auto& accepted = r.link.modem.accepted();
        EXPECT_EQ(r.link.modem.PhoneView().size(), static_cast<std::size_t>(c.numbers));
        const auto rows = r.Journal();
        ASSERT_EQ(rows.size(), accepted.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_TRUE(rows[i].ok);
            EXPECT_EQ(rows[i].mr, accepted[i].mr);
            EXPECT_EQ(rows[i].status, c.reports ? 0 : -1);  // its report found it
        }
        EXPECT_EQ(r.Processed(), std::vector<bool>(static_cast<std::size_t>(c.numbers), true));
        EXPECT_EQ(r.view.sent, CountWithShare(c.numbers, c.numbers));
        EXPECT_TRUE(r.view.boxes.empty());
    }
}

TEST(MailingRunRules, R17_AFullDatabaseStopsTheRunAndNoAcceptedMessageIsSentAgain) {
    for (const bool afterAcceptance : {false, true}) {
        SCOPED_TRACE(afterAcceptance ? "full between the acceptance and the row"
                                     : "full before the send");
        RunRig r;
        r.settings.SMSDelay = 1;
        r.SaveNumbers(4, "text");
        bool full = false;
        r.pump = [&] {
            const std::size_t accepted = r.link.modem.accepted().size();
            if (full || accepted != 3) return;
            // Either as the modem answers the third message, or in the pause after its row.
            if (afterAcceptance || r.Journal().size() == 3) {
                full = true;
                gateway_test::LimitGrowth(r.Db(), afterAcceptance);
            }
        };
        r.Start();
        EXPECT_EQ(r.link.modem.accepted().size(), 3u);  // nothing more after the refusal
        ASSERT_EQ(r.view.boxes.size(), 1u);
        EXPECT_TRUE(r.view.beeps.empty());
        // Kept rows of accepted messages keep the list from another copy.
        EXPECT_EQ(r.Active(r.run.ListID), afterAcceptance);
        const std::string third = "79161000002";
        if (afterAcceptance) {
            EXPECT_NE(r.view.boxes[0].text.find("database or disk is full"), std::string::npos);
            EXPECT_NE(r.view.boxes[0].text.find(third), std::string::npos);
            EXPECT_EQ(r.Processed(), (std::vector<bool>{true, true, false, false}));
            EXPECT_TRUE(r.run.HasUnstored());
            // Still full: the next run is refused before it claims the list.
            r.Start();
            ASSERT_EQ(r.view.boxes.size(), 2u);
            EXPECT_NE(r.view.boxes[1].text.find("Рассылка не начата."_cp), std::string::npos);
            EXPECT_EQ(r.link.modem.accepted().size(), 3u);
            r.Db().ExecuteRaw("delete from NumberLog where NumID=-1");
            EXPECT_TRUE(r.run.StoreUnstored());  // the window's retry
            EXPECT_FALSE(r.Active(r.run.ListID));
        } else {
            EXPECT_EQ(r.view.boxes[0].text,
                      vcl::Format("Недостаточно места для базы данных (папка \"%s\"): номер "
                                  "79161000003 не отправлен.\rРассылка остановлена."_cp,
                                  r.dir.path()));
        }
        r.Db().ExecuteRaw("PRAGMA max_page_count=1073741823");
        EXPECT_EQ(r.Processed(), (std::vector<bool>{true, true, true, false}));
        EXPECT_EQ(r.Journal().back().number, third);
        r.Start();  // the list is continued
        const auto phone = r.link.modem.PhoneView();
        ASSERT_EQ(phone.size(), 4u);
        EXPECT_EQ(phone[3].number, "79161000003");
        EXPECT_EQ(r.Processed(), std::vector<bool>(4, true));
    }
}

// The first of two messages accepted as the database fills: its row is kept, the run stops.
void KeepTheFirstRow(RunRig& r) {
    r.SaveNumbers(2, "text");
    bool full = false;
    r.pump = [&] {
        if (!full && r.link.modem.accepted().size() == 1) {
            full = true;
            gateway_test::LimitGrowth(r.Db(), true);
        }
    };
    r.Start();
    r.pump = nullptr;
    ASSERT_TRUE(r.run.HasUnstored());
}

TEST(MailingRunRules, R18_ARetryWaitingForTheDatabaseIsNotDoneAgainNorARunStartedInItsWait) {
    RunRig r;
    KeepTheFirstRow(r);
    r.Db().ExecuteRaw("delete from NumberLog where NumID=-1");  // room again
    // Another copy's long save holds the write lock as the window's timer retries; while the
    // retry waits, the timer fires again and the operator clicks Start.
    sql::Database other(r.Db().File());
    auto save = std::make_unique<sql::Transaction>(other);
    other.ExecuteRaw("update List set Name=Name");
    int turns = 0;
    r.pump = [&] {
        if (++turns == 1) {
            EXPECT_FALSE(r.run.StoreUnstored());
            r.run.btnStartClick();
        } else if (turns == 3) {
            save->Commit();
        }
    };
    EXPECT_TRUE(r.run.StoreUnstored());
    r.pump = nullptr;
    EXPECT_EQ(turns, 3);
    EXPECT_EQ(r.link.modem.accepted().size(), 1u);  // no run inside the wait
    const auto rows = r.Journal();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].ok);
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, false}));
    EXPECT_FALSE(r.Active(r.run.ListID));  // given back behind the row
    EXPECT_EQ(r.view.boxes.size(), 1u);    // the run's own
}

TEST(MailingRunRules, R17_ARefusalThatLastsIsLoggedOnceAndStillRefusesARun) {
    RunRig r;
    r.SaveNumbers(1, "text");
    bool damaged = false;
    r.pump = [&] {
        if (!damaged && r.link.modem.accepted().size() == 1) {
            damaged = true;
            r.Db().ExecuteRaw("alter table NumberLog rename to Damaged");
        }
    };
    r.Start();
    r.pump = nullptr;
    const auto told = [&] {
        int n = 0;
        for (const std::string& line : r.link.Lines())
            n += line.find("no such table: numberlog") != std::string::npos;
        return n;
    };
    const int once = told();
    EXPECT_GT(once, 0);
    for (int retry = 0; retry < 3; ++retry)
        EXPECT_FALSE(r.run.StoreUnstored());
    r.Start();
    EXPECT_EQ(told(), once);
    EXPECT_EQ(r.link.modem.accepted().size(), 1u);
    ASSERT_EQ(r.view.boxes.size(), 2u);
    EXPECT_NE(r.view.boxes[1].text.find("Рассылка не начата."_cp), std::string::npos);
    r.Db().ExecuteRaw("alter table Damaged rename to NumberLog");
    EXPECT_TRUE(r.run.StoreUnstored());
    EXPECT_EQ(r.Processed(), std::vector<bool>{true});
}

TEST(MailingRunStop, R19_AStopWhileTheModemHoldsAMessageStillTakesItsLateAnswer) {
    RunRig r;
    r.link.modem.AddRule({"PDU", vmodem::Rule::Kind::Late, 0, 35000, 1});
    r.SaveNumbers(2, "text");
    r.pump = [&] {
        if (r.link.modem.accepted().size() == 1 && r.view.stop) r.run.btnStopClick();
    };
    r.Start();
    r.pump = nullptr;
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, false}));
    EXPECT_EQ(r.link.Count("Waiting up to 90 s for the modem's late answer to the last message"),
              1);
    EXPECT_EQ(r.view.stage, "Этап: рассылка СМС"_cp);
    r.Start();  // the list continued
    EXPECT_EQ(r.link.modem.PhoneView().size(), 2u);
    const auto rows = r.Journal();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].ok && rows[1].ok);
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, true}));

    // Unanswered, the listen ends within its bound and the number stays to be sent.
    RunRig silent;
    silent.link.modem.AddRule({"PDU", vmodem::Rule::Kind::Silence});
    silent.SaveNumbers(1, "text");
    silent.Start();
    EXPECT_EQ(silent.link.Count("No late answer came: the message counts as not sent"), 1);
    EXPECT_LT(Ms(silent), 3 * 32000u + gateway::kLateAnswerWaitMs + 5000);
    EXPECT_EQ(silent.Processed(), std::vector<bool>{false});
}

TEST(MailingRunRules, R10_RowsAreWrittenBeforeThePauseDurablyAndBeforeTheProcessedFlag) {
    RunRig r;
    r.settings.SMSDelay = 60;
    r.SaveNumbers(2, kLong7Bit);
    int checks = 0, violations = 0, durable = 0;
    r.pump = [&] {
        if (++checks % 200) return;
        const std::size_t accepted = r.link.modem.accepted().size();
        const auto rows = r.Journal();
        // Twenty seconds into a pause the part it follows is journaled.
        if (accepted > 0 && Ms(r) > r.link.modem.accepted().back().atMs + 20000 &&
            rows.size() < accepted)
            ++violations;
        const auto p = r.Processed();
        for (std::size_t i = 0; i < p.size(); ++i) {
            int parts = 0;
            for (const auto& row : rows)
                parts += row.ok && row.numID == static_cast<int>(i) + 1;
            if (p[i] && parts != 2) ++violations;
        }
        durable += db::SynchronousMode(r.dir.path()) == 2;
    };
    r.Start();
    EXPECT_EQ(violations, 0);
    EXPECT_GT(durable, 0);
    EXPECT_EQ(db::SynchronousMode(r.dir.path()), 1);
    EXPECT_EQ(r.Journal().size(), 4u);
}

TEST(MailingRunRules, L1_AReplyHeldUpByAModalWindowIsReadNotTimedOut) {
    // A window held open 30 s inside a wait for a PDU's reply, with or without a stop before.
    for (const bool stop : {false, true}) {
        RunRig r;
        r.link.modem.AddRule({"PDU", vmodem::Rule::Kind::Late, 0, 1000, 1});
        r.SaveNumbers(2, "text");
        bool held = false;
        r.pump = [&] {
            if (held || r.link.modem.accepted().size() != 1) return;
            held = true;
            if (stop) r.run.btnStopClick();
            r.link.clock.Advance(30000);
        };
        r.Start();
        const std::size_t sent = stop ? 1 : 2;
        EXPECT_EQ(r.link.modem.accepted().size(), sent);
        const auto rows = r.Journal();
        ASSERT_EQ(rows.size(), sent);
        for (const auto& row : rows)
            EXPECT_TRUE(row.ok);
        EXPECT_EQ(r.Processed(), (std::vector<bool>{true, !stop}));
        EXPECT_EQ(r.link.Count("Вышло время ожидания ответа (30 сек.)"_cp), 0);
    }
}

TEST(MailingRunRules, R10_AnOkBeforeTheReferenceDoesNotEndTheExchange) {
    RunRig r;
    r.link.modem.AddRule({"PDU", vmodem::Rule::Kind::Splice, 0, 1000, 1, "\r\nOK\r\n"});
    r.SaveNumbers(2, "text");
    r.Start();
    const auto rows = r.Journal();
    ASSERT_EQ(rows.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(rows[i].numID, i + 1);
        EXPECT_EQ(rows[i].mr, i);
    }
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, true}));
}

TEST(MailingRunRules, R3_AReportTakenWhileTheLastNumberFailsIsShown) {
    RunRig r;
    r.link.modem.AddRule({"PDU", vmodem::Rule::Kind::CmsError, 500, 0, 0});
    r.SaveNumbers(2, "text");
    r.pump = [&, armed = false]() mutable {
        if (armed || r.link.modem.accepted().size() != 1) return;
        armed = true;
        r.link.modem.options().rules[0].times = 3;
    };
    r.Start();
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, false}));
    EXPECT_EQ(r.view.stage, "Этап: рассылка СМС"_cp);  // no final wait
    EXPECT_EQ(r.run.Counters().Reports, 1);
    EXPECT_EQ(r.view.report, "1 (50%)");
}

TEST(MailingRunRules, R12_AShortPduWriteIsCancelledWithEscape) {
    RunRig r;
    r.SaveNumbers(1, "text");
    int stage = 0;
    std::size_t at = 0;
    r.pump = [&] {
        const std::size_t received = r.link.modem.received().size();
        if (stage == 0 && r.CommandCount("AT+CMGS") == 1) {
            stage = 1;
            at = received;
            r.link.port.LimitWrites(10);
        } else if (stage == 1 && received > at) {
            stage = 2;
            r.link.port.LimitWrites(SIZE_MAX);
        }
    };
    r.Start();
    EXPECT_EQ(r.link.modem.received().substr(at + 10, 1), "\x1B");
    EXPECT_EQ(r.link.Count("Вышло время ожидания ответа (30 сек.)"_cp), 0);
    ASSERT_EQ(r.Journal().size(), 1u);
    EXPECT_TRUE(r.Journal()[0].ok);
    EXPECT_EQ(r.link.modem.accepted().size(), 1u);
}

TEST(MailingRunRules, L3_WhatAnEarlierRunLeftInTheModemAndTheBufferIsCleared) {
    RunRig r;
    r.link.link.DataReceived("\r\n+CMGS: 5\r\n");  // a run that ended by an exception
    r.link.modem.Receive("AT+CMGS=16\r", 0);       // a run killed at the prompt
    r.SaveNumbers(1, "text");
    r.Start();
    EXPECT_TRUE(r.view.boxes.empty());
    const auto rows = r.Journal();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].mr, 0);
    EXPECT_EQ(r.link.Count("Отброшено до первой команды: \"+CMGS: 5\""_cp), 1);
    EXPECT_EQ(r.Processed(), std::vector<bool>{true});
}

TEST(MailingRunRules, L4_AModemUnpluggedMidRunEndsItAtOnceWithOneBox) {
    RunRig r;
    r.SaveNumbers(3, "text");
    r.pump = [&] {
        if (r.link.modem.accepted().size() == 1) r.link.port.FailReads(-1, EIO);
    };
    r.Start();
    ASSERT_EQ(r.link.boxes.size(), 1u);
    EXPECT_EQ(r.link.boxes[0].text.rfind("Порт ttyUSB0 недоступен: "_cp, 0), 0u);
    EXPECT_TRUE(r.view.boxes.empty());
    EXPECT_TRUE(r.view.beeps.empty());
    int readErrors = 0;
    for (const std::string& line : r.link.Lines())
        readErrors += line.rfind("ReadFile error: ", 0) == 0;
    EXPECT_EQ(readErrors, 1);
    EXPECT_EQ(r.CommandCount("AT+CMGS"), 2);
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(r.Active(r.run.ListID));
    EXPECT_FALSE(r.link.port.IsOpen());
}

TEST(MailingRunRules, R14_WritesWaitOutAnotherCopyHoldingTheDatabase) {
    RunRig r;
    r.SaveNumbers(2, "text");
    // Another copy's long save takes the write lock as the modem takes the first message, and
    // ends only after the run has waited through some turns of its window.
    std::unique_ptr<sql::Database> other;
    std::unique_ptr<sql::Transaction> save;
    int turnsWaited = 0;
    const std::string busy = "The database is busy (another copy writes to it): waiting";
    r.pump = [&] {
        if (!other && r.link.modem.accepted().size() == 1) {
            other = std::make_unique<sql::Database>(r.Db().File());
            save = std::make_unique<sql::Transaction>(*other);
        } else if (save && r.link.Count(busy) > 0 && ++turnsWaited == 3) {
            save->Commit();
            save.reset();
        }
    };
    r.Start();
    EXPECT_EQ(turnsWaited, 3);
    EXPECT_EQ(r.link.Count(busy), 1);
    ASSERT_EQ(r.Journal().size(), 2u);
    EXPECT_TRUE(r.Journal()[0].ok && r.Journal()[1].ok);
    EXPECT_EQ(r.Processed(), (std::vector<bool>{true, true}));
    EXPECT_FALSE(r.Active(1));
}

}  // namespace
