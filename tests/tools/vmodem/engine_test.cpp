#include "tools/vmodem/engine.h"

#include <gtest/gtest.h>

#include "gateway/pdu_builder.h"
#include "gateway/status_report.h"
#include "platform/os/clock.h"
#include "vcl/system/date_utils.h"

namespace {

using vmodem::Engine;
using vmodem::Options;
using vmodem::Rule;

const std::string kAbcPdu = "0021000B919761214365F700000361F118";
const std::string kExampleReport =
    "07919761989901F006110B919761214365F7521071013202215210710142022100";

// Talks to the engine in steps of a second of its time.
struct Session {
    explicit Session(Options o = {}) : modem(std::move(o)) {}

    std::string Say(const std::string& bytes) {
        modem.Receive(bytes, t);
        t += 1000;
        return Drain();
    }
    std::string Drain() {
        std::string out, piece;
        while (!(piece = modem.TakeOutput(t, 4096)).empty())
            out += piece;
        return out;
    }

    os::FakeClock clock{vcl::EncodeDateTime(2025, 1, 17, 10, 23, 20, 0), 1000, 12};
    os::ScopedClock use{clock};
    Engine modem;
    uint64_t t = 0;
};

TEST(VirtualModem, AnswersTheBasicCommands) {
    Session s;
    EXPECT_EQ(s.Say("AT\r"), "\r\nOK\r\n");
    EXPECT_EQ(s.Say("at\r"), "\r\nOK\r\n");
    EXPECT_EQ(s.Say("AT+CSQ\r"), "\r\n+CSQ: 20,0\r\n\r\nOK\r\n");
    EXPECT_EQ(s.Say("AT+CMGF=0\r"), "\r\nOK\r\n");
    EXPECT_EQ(s.Say("AT+CMGF=1\r"), "\r\nERROR\r\n");  // PDU mode only
    EXPECT_EQ(s.Say("AT+CGSN\r"), "\r\n356938035643809\r\n\r\nOK\r\n");
    EXPECT_EQ(s.Say("AT+FOO\r"), "\r\nERROR\r\n");
    EXPECT_EQ(s.Say("HELLO\r"), "\r\nERROR\r\n");
    EXPECT_EQ(s.Say("\r"), "");
    EXPECT_EQ(s.modem.commands(),
              (std::vector<std::string>{"AT", "AT", "AT+CSQ", "AT+CMGF=0", "AT+CMGF=1", "AT+CGSN",
                                        "AT+FOO", "HELLO"}));
}

TEST(VirtualModem, EchoesEveryByteWhileEchoIsOn) {
    Session s;
    EXPECT_EQ(s.Say("ATE1\r"), "\r\nOK\r\n");
    EXPECT_EQ(s.Say("AT+CGSN\r"), "AT+CGSN\r\r\n356938035643809\r\n\r\nOK\r\n");
    EXPECT_EQ(s.Say("ATE0\r"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(s.Say("AT\r"), "\r\nOK\r\n");
    Options o;
    o.echo = true;
    Session on(o);
    EXPECT_EQ(on.Say("AT\r"), "AT\r\r\nOK\r\n");
}

TEST(VirtualModem, ReportSettingsAndTheRefusableModeTwo) {
    Options o;
    o.refuseCnmiMode2 = true;
    Session s(o);
    EXPECT_FALSE(s.modem.reportsEnabled());
    EXPECT_EQ(s.Say("AT+CNMI=2,0,0,1,0\r"), "\r\nERROR\r\n");
    EXPECT_EQ(s.Say("AT+CNMI=1,0,0,1,0\r"), "\r\nOK\r\n");
    EXPECT_TRUE(s.modem.reportsEnabled());
    EXPECT_EQ(s.Say("AT+CNMI=1,0,0,0,0\r"), "\r\nOK\r\n");
    EXPECT_FALSE(s.modem.reportsEnabled());
    EXPECT_EQ(s.Say("AT+CNMI=9\r"), "\r\nERROR\r\n");
    EXPECT_EQ(s.Say("AT+CNMI=1,x\r"), "\r\nERROR\r\n");
}

TEST(VirtualModem, AcceptsAPduOfTheRightLengthAndCountsReferences) {
    Options o;
    o.mrStart = 255;
    Session s(o);
    EXPECT_EQ(s.Say("AT+CMGS=16\r"), "\r\n> ");
    EXPECT_EQ(s.Say(kAbcPdu + "\x1A"), "\r\n+CMGS: 255\r\n\r\nOK\r\n");
    s.Say("AT+CMGS=16\r");
    EXPECT_EQ(s.Say(kAbcPdu + "\x1A"), "\r\n+CMGS: 0\r\n\r\nOK\r\n");  // wraps
    ASSERT_EQ(s.modem.accepted().size(), 2u);
    EXPECT_EQ(s.modem.accepted()[0].submit.number, "79161234567");
    EXPECT_EQ(s.modem.PhoneView().size(), 2u);
    EXPECT_EQ(s.modem.PhoneView()[1].text, "abc");
}

TEST(VirtualModem, RejectsWrongLengthsBadHexAndCancelledMessages) {
    Session s;
    s.Say("AT+CMGS=15\r");
    EXPECT_EQ(s.Say(kAbcPdu + "\x1A"), "\r\n+CMS ERROR: 304\r\n");
    ASSERT_EQ(s.modem.rejected().size(), 1u);
    EXPECT_NE(s.modem.rejected()[0].find("16 octets"), std::string::npos);
    s.Say("AT+CMGS=16\r");
    EXPECT_EQ(s.Say("0021000B919761214365F700000361F11G\x1A"), "\r\n+CMS ERROR: 304\r\n");
    s.Say("AT+CMGS=16\r");
    EXPECT_EQ(s.Say(kAbcPdu + "\x1B"), "\r\nOK\r\n");  // escape cancels
    EXPECT_EQ(s.Say("AT+CMGS=0\r"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(s.Say("AT+CMGS=x\r"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_TRUE(s.modem.accepted().empty());
    EXPECT_EQ(s.Say("AT\r"), "\r\nOK\r\n");  // back in command mode
}

TEST(VirtualModem, ScriptedFaultsApplyTheirNumberOfTimes) {
    Session s;
    s.modem.AddRule({"AT+CSQ", Rule::Kind::Error, 0, 0, 1});
    s.modem.AddRule({"PDU", Rule::Kind::CmsError, 500, 0, 1});
    s.modem.AddRule({"AT+CGSN", Rule::Kind::Silence, 0, 0, 1});
    EXPECT_EQ(s.Say("AT+CSQ\r"), "\r\nERROR\r\n");
    EXPECT_EQ(s.Say("AT+CSQ\r"), "\r\n+CSQ: 20,0\r\n\r\nOK\r\n");
    EXPECT_EQ(s.Say("AT+CGSN\r"), "");
    s.Say("AT+CMGS=16\r");
    EXPECT_EQ(s.Say(kAbcPdu + "\x1A"), "\r\n+CMS ERROR: 500\r\n");
    s.Say("AT+CMGS=16\r");
    EXPECT_EQ(s.Say(kAbcPdu + "\x1A"), "\r\n+CMGS: 0\r\n\r\nOK\r\n");

    s.modem.AddRule({"PDU", Rule::Kind::Late, 0, 31000, 1});
    s.Say("AT+CMGS=16\r");
    s.modem.Receive(kAbcPdu + "\x1A", s.t);
    EXPECT_EQ(s.modem.TakeOutput(s.t + 31000, 4096), "");
    EXPECT_EQ(s.modem.NextEventMs(), s.t + 31010);
    EXPECT_EQ(s.modem.TakeOutput(s.t + 31010, 4096), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
}

TEST(VirtualModem, ALateAnswerGivenApartHoldsNothingUpAndCountsEveryMessage) {
    Session s;
    s.modem.AddRule({"PDU", Rule::Kind::Silence, 0, 0, 1});
    Rule late{"PDU", Rule::Kind::Late, 0, 35000};
    late.nth = 2;  // the second message given, the silenced one counted
    late.apart = true;
    s.modem.AddRule(late);
    s.Say("AT+CMGS=16\r");
    EXPECT_EQ(s.Say(kAbcPdu + "\x1A"), "");
    s.Say("AT+CMGS=16\r");
    const uint64_t sent = s.t;
    EXPECT_EQ(s.Say(kAbcPdu + "\x1A"), "");
    // The network still holds the message; the next commands are answered at once.
    EXPECT_EQ(s.Say("AT+CMGS=0\r"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(s.Say("AT+CSQ\r"), "\r\n+CSQ: 20,0\r\n\r\nOK\r\n");
    EXPECT_EQ(s.modem.TakeOutput(sent + 35000, 4096), "");
    EXPECT_EQ(s.modem.TakeOutput(sent + 35010, 4096), "\r\n+CMGS: 0\r\n\r\nOK\r\n");
    s.Say("AT+CMGS=16\r");
    EXPECT_EQ(s.Say(kAbcPdu + "\x1A"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");  // the third: no rule
}

TEST(VirtualModem, ShapesRepliesIntoSeparateReads) {
    Options o;
    o.chunkSize = 4;
    o.gapMs = 5;
    Session s(o);
    s.modem.Receive("AT+CGSN\r", 0);
    EXPECT_EQ(s.modem.TakeOutput(100, 256), "\r\n35");
    EXPECT_EQ(s.modem.TakeOutput(100, 256), "6938");
    EXPECT_EQ(s.modem.TakeOutput(1000, 2), "03");  // a read may be smaller still

    Options crlf;
    crlf.splitCrLf = true;
    crlf.nulBytes = true;
    crlf.blankLines = true;
    Session c(crlf);
    c.modem.Receive("AT\r", 0);
    std::vector<std::string> reads;
    for (std::string r; !(r = c.modem.TakeOutput(100, 256)).empty();)
        reads.push_back(r);
    EXPECT_EQ(reads, (std::vector<std::string>{std::string("\0\r", 2), "\n\r", "\nOK\r", "\n"}));
}

// Reports, read back with the program's own decoder.
struct Reporting : Session {
    static Options Make(std::vector<int> statuses) {
        Options o;
        o.reportsEnabled = true;
        o.mrStart = 17;
        o.replyDelayMs = 0;
        o.reportDelayMs = 60000;
        o.reportZone = 12;
        o.statuses = std::move(statuses);
        return o;
    }
    explicit Reporting(std::vector<int> statuses = {0}) : Session(Make(std::move(statuses))) {
        modem.Receive("AT+CMGS=16\r", 0);
        modem.Receive(kAbcPdu + "\x1A", 0);
        modem.TakeOutput(0, 4096);
    }
};

TEST(VirtualModemReports, TheReportOfAnAcceptedMessage) {
    Reporting r;
    EXPECT_EQ(r.modem.TakeOutput(59999, 4096), "");
    EXPECT_EQ(r.modem.NextEventMs(), 60000u);
    EXPECT_EQ(r.modem.TakeOutput(60000, 4096), "\r\n+CDS: 25\r\n" + kExampleReport + "\r\n");
}

TEST(VirtualModemReports, AStatusSequenceComesInOrder) {
    Reporting r({48, 0});
    r.t = 200000;
    const std::string out = r.Drain();
    ASSERT_EQ(r.modem.reportsSent().size(), 2u);
    const auto first = gateway::DecodeStatusReport(r.modem.reportsSent()[0]);
    const auto second = gateway::DecodeStatusReport(r.modem.reportsSent()[1]);
    EXPECT_EQ(first.Status, 48);
    EXPECT_EQ(second.Status, 0);
    EXPECT_EQ(second.MR, 17);
    EXPECT_EQ(second.DT, vcl::EncodeDateTime(2025, 1, 17, 10, 25, 20, 0));
    EXPECT_LT(out.find(r.modem.reportsSent()[0]), out.find(r.modem.reportsSent()[1]));
}

TEST(VirtualModemReports, TimesAreWrittenInTheReportZone) {
    Reporting r;
    r.modem.options().reportZone = -20;  // UTC-5, eight hours behind the local UTC+3
    r.t = 100000;
    r.Drain();
    const auto report = gateway::DecodeStatusReport(r.modem.reportsSent()[0]);
    EXPECT_EQ(report.SCTSZone, -20);
    EXPECT_EQ(report.SCTS, vcl::EncodeDateTime(2025, 1, 17, 2, 23, 20, 0));
}

TEST(VirtualModemReports, NoReportUnlessAskedForAndSwitchedOn) {
    Options o = Reporting::Make({0});
    o.reportsEnabled = false;
    Session off(o);
    off.Say("AT+CMGS=16\r");
    off.Say(kAbcPdu + "\x1A");
    off.t += 600000;
    off.Drain();
    EXPECT_TRUE(off.modem.reportsSent().empty());

    Session unasked(Reporting::Make({0}));
    unasked.Say("AT+CMGS=16\r");
    unasked.Say("0001000B919761214365F700000361F118\x1A");  // no report requested
    unasked.t += 600000;
    unasked.Drain();
    EXPECT_TRUE(unasked.modem.reportsSent().empty());
}

TEST(VirtualModemReports, FaultyReportsAreOnesTheProgramSkips) {
    using vmodem::ReportFault;
    for (ReportFault f : {ReportFault::Garbled, ReportFault::Truncated, ReportFault::BadDate,
                          ReportFault::BadZone, ReportFault::NotReport}) {
        Reporting r;
        r.modem.options().reportFault = f;
        r.t = 100000;
        r.Drain();
        ASSERT_EQ(r.modem.reportsSent().size(), 1u);
        EXPECT_EQ(gateway::DecodeStatusReport(r.modem.reportsSent()[0]).Rest, "")
            << r.modem.reportsSent()[0];
    }
    Reporting r;
    r.modem.options().reportFault = ReportFault::UnknownMr;
    r.t = 100000;
    r.Drain();
    EXPECT_EQ(gateway::DecodeStatusReport(r.modem.reportsSent()[0]).MR, 17 ^ 0x80);
}

TEST(VirtualModem, DiscardsPendingOutputWhenThePortIsPurged) {
    Session s;
    s.modem.Receive("AT\r", 0);
    s.modem.DiscardOutput();
    EXPECT_EQ(s.modem.TakeOutput(1000, 4096), "");
    EXPECT_EQ(s.modem.NextEventMs(), vmodem::kNever);
}

}  // namespace
