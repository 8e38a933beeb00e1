#include "gateway/serial_link.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "link_rig.h"
#include "platform/os/cp_literal.h"

namespace {

using gateway_test::Rig;

const std::string kStopLine = "Пользователь прервал рассылку"_cp;
const std::string kTimeoutLine = "Вышло время ожидания ответа (30 сек.)"_cp;
const std::string kAbcPdu = "0021000B919761214365F700000361F118";

// ---- opening the port ----

TEST(LinkOpen, OpensTheChosenPortAndDropsWhatThePortHeld) {
    Rig rig;
    rig.modem.Inject("stale\r\n", 0);
    ASSERT_TRUE(rig.link.OpenPort());
    EXPECT_TRUE(rig.link.PortOpen());
    EXPECT_EQ(rig.port.openedName(), "ttyUSB0");
    rig.link.ListenPort(100);
    EXPECT_EQ(rig.link.Received(), "");
    EXPECT_TRUE(rig.boxes.empty());
    rig.link.ClosePort();
    EXPECT_FALSE(rig.link.PortOpen());
}

TEST(LinkOpen, L3_OnlyWholeReportsOfAnEarlierRunAreKeptTheRestIsLoggedAndDropped) {
    const std::string dropped = "Отброшено до первой команды: "_cp;
    const struct {
        const char* left;
        const char* kept;
        std::vector<std::string> logged;
    } cases[] = {
        {"+CMGS: 5\r\n+CD", "", {dropped + "\"+CMGS: 5\""}},
        {"OK\r", "", {dropped + "\"OK\""}},
        {"+CMG", "", {}},
        {"\r\n+CDS: 25\r\n0791AB\r\n\r\n+CMGS: 7\r\n", "+CDS: 25\r\n0791AB\r\n",
         {dropped + "\"+CMGS: 7\""}},
        {"+CDS: 25\r\n", "", {}},  // its PDU line was purged
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.link.DataReceived(c.left);
        ASSERT_TRUE(rig.link.OpenPort());
        EXPECT_EQ(rig.link.Received(), c.kept) << c.left;
        EXPECT_EQ(rig.Lines(), c.logged) << c.left;
    }
}

TEST(LinkOpen, AReportWhosePduLineWasCutOffExpectsNoPduAfterTheOpening) {
    Rig rig;
    rig.link.DataReceived("+CDS: 25\r\n07919761");
    int mr = 0;
    std::string pdu;
    ASSERT_TRUE(rig.link.ExtractLine(mr, pdu));
    ASSERT_TRUE(rig.link.ExpectReportPDU);
    ASSERT_TRUE(rig.link.OpenPort());
    EXPECT_FALSE(rig.link.ExpectReportPDU);
    rig.link.DataReceived("+CMGS: 17\r\n");
    ASSERT_TRUE(rig.link.ExtractLine(mr, pdu));
    EXPECT_EQ(mr, 17);

    // A PDU line that came whole is still the report's.
    rig.link.DataReceived("+CDS: 25\r\n0791\r\n+CM");
    ASSERT_TRUE(rig.link.ExtractLine(mr, pdu));
    ASSERT_TRUE(rig.link.OpenPort());
    EXPECT_TRUE(rig.link.ExpectReportPDU);
    ASSERT_TRUE(rig.link.ExtractLine(mr, pdu));
    EXPECT_EQ(pdu, "0791");
}

TEST(LinkOpen, EachFailingStepIsLoggedWithItsErrorAndShownAsAnErrorBox) {
    struct Case {
        os::PortStep step;
        const char* log;
        std::string box;
    };
    const Case cases[] = {
        {os::PortStep::Open, "CreateFile error: 2 (", "Ошибка открытия порта."_cp},
        {os::PortStep::GetState, "GetCommState error: 2 (", "Ошибка получения статуса порта."_cp},
        {os::PortStep::SetState, "SetCommState error: 2 (", "Ошибка установения статуса порта."_cp},
        {os::PortStep::SetTimeouts, "SetCommTimeouts error: 2 (", "Ошибка установки таймаутов."_cp},
        {os::PortStep::Purge, "PurgeComm error: 2 (", "Ошибка выполнения ф-ции PurgeComm."_cp},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.port.FailOpenAt(c.step, ENOENT);
        EXPECT_FALSE(rig.link.OpenPort());
        EXPECT_FALSE(rig.link.PortOpen());
        ASSERT_EQ(rig.Lines().size(), 1u);
        const std::string line = rig.Lines()[0];
        EXPECT_EQ(line.rfind(c.log, 0), 0u) << line;
        EXPECT_EQ(line.back(), ')');
        EXPECT_GT(line.size(), std::string(c.log).size() + 1);  // the system's text is there
        ASSERT_EQ(rig.boxes.size(), 1u);
        EXPECT_EQ(rig.boxes[0].text, c.box);
        EXPECT_EQ(rig.boxes[0].caption, "Ошибка"_cp);
        EXPECT_EQ(rig.boxes[0].flags, gateway::kMbIconHand);
    }
}

// ---- commands ----

TEST(LinkCommand, WaitsForTheExpectedTextAndKeepsTheRawReply) {
    Rig rig;
    ASSERT_TRUE(rig.link.OpenPort());
    const uint32_t start = os::GetTickCount();
    std::string reply;
    ASSERT_TRUE(rig.link.SendCommandReply("AT+CSQ\r", "OK", reply));
    EXPECT_EQ(reply, "\r\n+CSQ: 20,0\r\n\r\nOK\r\n");
    // The first read comes 200 ms after the write, and every turn ends with 250 ms of waiting.
    EXPECT_GE(os::TickDiff(start, os::GetTickCount()), 450u);
    EXPECT_LT(os::TickDiff(start, os::GetTickCount()), 600u);
    EXPECT_EQ(rig.modem.received(), "\x1B" "AT+CSQ\r");
    EXPECT_EQ(rig.Traffic(), reply);
    EXPECT_TRUE(rig.Lines().empty());
    EXPECT_EQ(rig.link.LastEnd, gateway::TExchangeEnd::Replied);
}

TEST(LinkCommand, ErrorBeatsTheExpectedTextInTheSameReply) {
    Rig rig;
    rig.modem.AddRule({"AT+CNMI", vmodem::Rule::Kind::Silence});
    ASSERT_TRUE(rig.link.OpenPort());
    rig.modem.Inject("\r\nOK\r\n\r\n+CMS ERROR: 500\r\n", rig.port.NowMs() + 20);
    std::string reply = "left over";
    EXPECT_FALSE(rig.link.SendCommandReply("AT+CNMI=2,0,0,1,0\r", "OK", reply));
    EXPECT_EQ(reply, "");
    EXPECT_EQ(rig.link.LastEnd, gateway::TExchangeEnd::ErrorReply);
    // The match is case-sensitive on the raw reply.
    rig.modem.AddRule({"AT+X", vmodem::Rule::Kind::Silence, 0, 0, 1});
    rig.modem.Inject("\r\nok\r\n", rig.port.NowMs() + 20);
    rig.modem.Inject("\r\nOK\r\n", rig.port.NowMs() + 1000);
    const uint32_t start = os::GetTickCount();
    EXPECT_TRUE(rig.link.SendCommand("AT+X\r", "OK"));
    EXPECT_GE(os::TickDiff(start, os::GetTickCount()), 1000u);
}

TEST(LinkCommand, FindsThePromptAfterTheEchoAndSendsThePdu) {
    Rig rig;
    ASSERT_TRUE(rig.link.OpenPort());
    ASSERT_TRUE(rig.link.SendCommand("ATE1\r", "OK"));
    std::string reply;
    ASSERT_TRUE(rig.link.SendCommandReply("AT+CMGS=16\r", ">", reply));
    EXPECT_EQ(reply, "AT+CMGS=16\r\r\n> ");
    ASSERT_TRUE(rig.link.SendCommandReply(kAbcPdu + "\x1A", "OK", reply));
    EXPECT_EQ(reply, kAbcPdu + "\x1A\r\n+CMGS: 0\r\n\r\nOK\r\n");
    ASSERT_EQ(rig.modem.PhoneView().size(), 1u);
    EXPECT_EQ(rig.modem.PhoneView()[0].text, "abc");

    int mr = 0;
    std::string report;
    bool found = false;
    while (rig.link.ExtractLine(mr, report))
        found |= mr == 0;
    EXPECT_TRUE(found);
}

TEST(LinkCommand, TimesOutBetweenThirtyAndThirtyPointThreeSeconds) {
    Rig rig;
    rig.modem.AddRule({"", vmodem::Rule::Kind::Silence});
    ASSERT_TRUE(rig.link.OpenPort());
    const uint32_t start = os::GetTickCount();
    EXPECT_FALSE(rig.link.SendCommand("AT\r", "OK"));
    const uint32_t took = os::TickDiff(start, os::GetTickCount());
    EXPECT_GT(took, 30000u);
    EXPECT_LE(took, 30300u);
    EXPECT_EQ(rig.Lines(), std::vector<std::string>{kTimeoutLine});
    EXPECT_EQ(rig.link.LastEnd, gateway::TExchangeEnd::TimedOut);
    // ESC goes out alone and waits for nothing.
    EXPECT_TRUE(rig.link.SendEscape());
    EXPECT_EQ(rig.modem.received(), "\x1B" "AT\r\x1B");
}

TEST(LinkCommand, AReplyAcrossTheTickWrapIsAwaitedNotTimedOut) {
    Rig rig({}, 4294967295u - 300);
    rig.modem.AddRule({"AT", vmodem::Rule::Kind::Late, 0, 2000, 1});
    ASSERT_TRUE(rig.link.OpenPort());
    EXPECT_TRUE(rig.link.SendCommand("AT\r", "OK"));
    EXPECT_LT(os::GetTickCount(), 10000u);  // it did wrap
    EXPECT_TRUE(rig.Lines().empty());

    rig.clock.SetTicks(4294967290u);
    EXPECT_EQ(rig.link.WaitMs(20), 20u);
}

TEST(LinkCommand, WriteFailuresAndShortWritesFailAtOnce) {
    Rig rig;
    ASSERT_TRUE(rig.link.OpenPort());
    rig.port.LimitWrites(2);
    EXPECT_FALSE(rig.link.SendCommand("AT\r", "OK"));
    EXPECT_EQ(rig.Lines().back(),
              "Количество записанных байт не совпадает с количеством отправленных."_cp);
    rig.port.LimitWrites(SIZE_MAX);
    rig.port.FailWrites(EIO);
    const uint32_t start = os::GetTickCount();
    EXPECT_FALSE(rig.link.SendCommand("AT\r", "OK"));
    EXPECT_EQ(rig.Lines().back().rfind("WriteFile error: 5 (", 0), 0u);
    EXPECT_LT(os::TickDiff(start, os::GetTickCount()), 10u);
}

// ---- stopping ----

TEST(LinkStop, AStopFailsACommandWhoseReplyHasNotCome) {
    Rig rig;
    rig.modem.AddRule({"AT+CSQ", vmodem::Rule::Kind::Silence});
    ASSERT_TRUE(rig.link.OpenPort());
    const uint32_t start = os::GetTickCount();
    rig.link.ProcessMessages = [&] {
        if (os::TickDiff(start, os::GetTickCount()) > 2000) rig.link.Stopped = true;
    };
    EXPECT_FALSE(rig.link.SendCommand("AT+CSQ\r", "OK"));
    EXPECT_LT(os::TickDiff(start, os::GetTickCount()), 2400u);
    EXPECT_EQ(rig.Lines(), std::vector<std::string>{kStopLine});
    EXPECT_EQ(rig.link.LastEnd, gateway::TExchangeEnd::Stopped);
}

TEST(LinkStop, AReplyThatCameInTheSameTurnStillSucceeds) {
    Rig rig;
    ASSERT_TRUE(rig.link.OpenPort());
    rig.link.ProcessMessages = [&] {
        if (!rig.link.Received().empty()) rig.link.Stopped = true;
    };
    std::string reply;
    EXPECT_TRUE(rig.link.SendCommandReply("AT+CGSN\r", "OK", reply));
    EXPECT_NE(reply.find("356938035643809"), std::string::npos);
    EXPECT_EQ(rig.Count(kStopLine), 1);
}

TEST(LinkStop, TheReplyToAPduIsStillReadAfterAStop) {
    Rig rig;
    rig.modem.AddRule({"PDU", vmodem::Rule::Kind::Late, 0, 5000, 1});
    ASSERT_TRUE(rig.link.OpenPort());
    ASSERT_TRUE(rig.link.SendCommand("AT+CMGS=16\r", ">"));
    const uint32_t start = os::GetTickCount();
    rig.link.ProcessMessages = [&] {
        if (os::TickDiff(start, os::GetTickCount()) > 1000) rig.link.Stopped = true;
    };
    EXPECT_TRUE(rig.link.SendCommand(kAbcPdu + "\x1A", "OK"));
    EXPECT_GE(os::TickDiff(start, os::GetTickCount()), 5000u);
    EXPECT_EQ(rig.Count(kStopLine), 1);  // said once, not every turn
    EXPECT_EQ(rig.modem.accepted().size(), 1u);
    int mr = 256;
    std::string report;
    while (rig.link.ExtractLine(mr, report) && mr == 256) {}
    EXPECT_EQ(mr, 0);
}

TEST(LinkStop, ThePduWaitIsStillBoundedByTheTimeOut) {
    Rig rig;
    rig.modem.AddRule({"PDU", vmodem::Rule::Kind::Silence});
    ASSERT_TRUE(rig.link.OpenPort());
    ASSERT_TRUE(rig.link.SendCommand("AT+CMGS=16\r", ">"));
    rig.link.Stopped = true;
    const uint32_t start = os::GetTickCount();
    EXPECT_FALSE(rig.link.SendCommand(kAbcPdu + "\x1A", "OK"));
    const uint32_t took = os::TickDiff(start, os::GetTickCount());
    EXPECT_GT(took, 30000u);
    EXPECT_LE(took, 30300u);
    EXPECT_EQ(rig.Lines(), (std::vector<std::string>{kStopLine, kTimeoutLine}));
}

TEST(LinkStop, WaitingAndListeningEndEarly) {
    Rig rig;
    ASSERT_TRUE(rig.link.OpenPort());
    uint32_t start = os::GetTickCount();
    rig.link.ProcessMessages = [&] {
        if (os::TickDiff(start, os::GetTickCount()) >= 300) rig.link.Stopped = true;
    };
    EXPECT_EQ(rig.link.WaitMs(1000), 300u);
    rig.link.Stopped = false;
    start = os::GetTickCount();
    rig.link.ListenPort(5000);
    EXPECT_LT(os::TickDiff(start, os::GetTickCount()), 400u);
}

// ---- reading ----

TEST(LinkRead, NulBytesAreDroppedAndTheRestOfTheChunkKept) {
    vmodem::Options o;
    o.nulBytes = true;
    Rig rig(o);
    ASSERT_TRUE(rig.link.OpenPort());
    ASSERT_TRUE(rig.link.SendCommand("AT+CMGS=16\r", ">"));
    ASSERT_TRUE(rig.link.SendCommand(kAbcPdu + "\x1A", "OK"));
    EXPECT_EQ(rig.Traffic().find('\0'), std::string::npos);
    EXPECT_NE(rig.link.Received().find("+CMGS: 0\r\n"), std::string_view::npos);
}

TEST(LinkRead, RepliesInSmallPiecesAndSplitLineEndsStillComplete) {
    vmodem::Options o;
    o.chunkSize = 3;
    o.splitCrLf = true;
    o.blankLines = true;
    o.mrStart = 42;
    Rig rig(o);
    ASSERT_TRUE(rig.link.OpenPort());
    EXPECT_TRUE(rig.link.SendCommand("AT\r", "OK"));
    ASSERT_TRUE(rig.link.SendCommand("AT+CMGS=16\r", ">"));
    // Drain between reads, as the pause of a mailing does, so a CR is taken before its LF comes.
    std::size_t written = 0;
    os::SysError error;
    const std::string pdu = kAbcPdu + "\x1A";
    ASSERT_TRUE(rig.port.Write(pdu.data(), pdu.size(), written, error));
    std::vector<int> refs;
    for (int turn = 0; turn < 200; ++turn) {
        rig.link.ListenPort(1);
        int mr;
        std::string report;
        while (rig.link.ExtractLine(mr, report))
            if (mr != 256) refs.push_back(mr);
    }
    EXPECT_EQ(refs, std::vector<int>{42});
}

TEST(LinkRead, L4_AVanishedDeviceEndsEveryWaitWithOneBoxOtherErrorsAreLoggedOncePerWait) {
    for (int code : {EIO, ENODEV, ENXIO, EPROTO}) {
        const bool gone = code != EPROTO;
        Rig rig;
        ASSERT_TRUE(rig.link.OpenPort());
        rig.port.FailReads(-1, code);
        const int reads = rig.port.reads();
        rig.link.ListenPort(1000);
        rig.link.ListenPort(1000);
        const int tried = rig.port.reads() - reads;
        EXPECT_TRUE(gone ? tried == 1 : tried <= 42) << tried;  // paced by the read time-out
        ASSERT_EQ(rig.Lines().size(), gone ? 1u : 2u) << code;
        EXPECT_EQ(rig.Lines()[0].rfind("ReadFile error: " + std::to_string(code) + " (", 0), 0u);
        EXPECT_EQ(rig.link.Stopped, gone);
        ASSERT_EQ(rig.boxes.size(), gone ? 1u : 0u);
        if (gone) {
            EXPECT_EQ(rig.boxes[0].text.rfind("Порт ttyUSB0 недоступен: "_cp, 0), 0u);
            EXPECT_FALSE(rig.link.SendCommand("AT\r", "OK"));  // nothing more goes out
            EXPECT_EQ(rig.modem.received(), "\x1B");
        }
    }
}

TEST(LinkRead, AFailedReadDuringACommandIsLoggedAndTheReplyStillTaken) {
    Rig rig;
    ASSERT_TRUE(rig.link.OpenPort());
    rig.port.FailReads(2, EPROTO);
    EXPECT_TRUE(rig.link.SendCommand("AT\r", "OK"));
    EXPECT_EQ(rig.Lines().size(), 1u);
}

TEST(LinkRead, ListeningCollectsUnaskedReportsUpperCased) {
    Rig rig;
    ASSERT_TRUE(rig.link.OpenPort());
    rig.modem.Inject("\r\n+cds: 25\r\n07919761989901f0\r\n", rig.port.NowMs() + 600);
    const uint32_t start = os::GetTickCount();
    rig.link.ListenPort(1000);
    EXPECT_GE(os::TickDiff(start, os::GetTickCount()), 1000u);
    EXPECT_LT(os::TickDiff(start, os::GetTickCount()), 1060u);
    EXPECT_EQ(rig.link.Received(), "\r\n+CDS: 25\r\n07919761989901F0\r\n");
    EXPECT_EQ(rig.Traffic(), "\r\n+cds: 25\r\n07919761989901f0\r\n");
}

TEST(LinkRead, DataReceivedUpperCasesCyrillicToo) {
    Rig rig;
    rig.link.DataReceived("x");
    rig.link.DataReceived("ok привет ё"_cp);
    EXPECT_EQ(rig.link.Received(), "XOK ПРИВЕТ Ё"_cp);
    ASSERT_EQ(rig.log.size(), 2u);
    EXPECT_EQ(rig.log[1].first, "ok привет ё"_cp);
    EXPECT_EQ(rig.log[1].second, gateway::GATE);
}

// ---- taking lines ----

struct Taken {
    bool got;
    int mr;
    std::string report;
};

Taken Take(gateway::TSerialLink& link) {
    Taken t{};
    t.got = link.ExtractLine(t.mr, t.report);
    return t;
}

TEST(ExtractLine, MessageReferencesInTheirUsualAndUnusualForms) {
    const struct {
        const char* line;
        int mr;
    } cases[] = {
        {"+CMGS: 17", 17},     {"+CMGS:17", 17},
        {"+CMGS:   255", 255}, {"+CMGS: 17,07911326", 17},
        {"XY+CMGS: 42", 42},   {"\n+CMGS: 9", 9},
        {"+CMGS: 300", 256},   {"+CMGS: 256", 256},
        {"+CMGS: ABC", 256},   {"+CMGS:", 256},
        {"+CMGS: -1", 256},    {"+CMGS: 99999999999999999999", 256},
        {"OK", 256},           {"", 256},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.link.DataReceived(std::string(c.line) + "\r\n");
        const Taken t = Take(rig.link);
        EXPECT_TRUE(t.got) << c.line;
        EXPECT_EQ(t.mr, c.mr) << c.line;
        EXPECT_EQ(t.report, "");
        EXPECT_EQ(rig.link.Received(), "");
    }
}

TEST(ExtractLine, AReportLineIsFollowedByItsPdu) {
    Rig rig;
    rig.link.DataReceived("+CDS: 25\r\n0791ABCD\r\n+CMGS: 3\r\n");
    Taken t = Take(rig.link);
    EXPECT_TRUE(t.got);
    EXPECT_EQ(t.mr, 256);
    EXPECT_EQ(t.report, "");
    EXPECT_TRUE(rig.link.ExpectReportPDU);
    t = Take(rig.link);
    EXPECT_EQ(t.report, "0791ABCD");
    EXPECT_FALSE(rig.link.ExpectReportPDU);
    EXPECT_EQ(Take(rig.link).mr, 3);
    EXPECT_FALSE(Take(rig.link).got);
}

TEST(ExtractLine, TheLineAfterAReportIsItsPduWhateverItHolds) {
    Rig rig;
    rig.link.ExpectReportPDU = true;
    rig.link.DataReceived("+CMGS: 4\r");
    const Taken t = Take(rig.link);
    EXPECT_EQ(t.report, "+CMGS: 4");
    EXPECT_EQ(t.mr, 256);
}

TEST(ExtractLine, APartialLineWaitsForTheRest) {
    Rig rig;
    rig.link.DataReceived("+CMGS: 1");
    EXPECT_FALSE(Take(rig.link).got);
    EXPECT_EQ(rig.link.Received(), "+CMGS: 1");
    rig.link.DataReceived("7\r");
    EXPECT_EQ(Take(rig.link).mr, 17);
    rig.link.DataReceived("\n+CDS: 25\r\n07");
    EXPECT_TRUE(Take(rig.link).got);  // the stray LF went with the "+CDS:" line
    EXPECT_TRUE(rig.link.ExpectReportPDU);
    EXPECT_FALSE(Take(rig.link).got);
    rig.link.DataReceived("91\r");
    EXPECT_EQ(Take(rig.link).report, "0791");
}

TEST(ExtractLine, ALineFeedArrivingAfterItsCarriageReturnDoesNotSpoilTheNextLine) {
    Rig rig;
    rig.link.DataReceived("+CDS: 25\r");
    EXPECT_TRUE(Take(rig.link).got);
    rig.link.DataReceived("\n0791AB\r");
    EXPECT_EQ(Take(rig.link).report, "0791AB");
}

}  // namespace
