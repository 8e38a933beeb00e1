#include "tools/vmodem/options.h"

#include <gtest/gtest.h>

namespace {

using vmodem::ParseOptions;
using vmodem::ProgramOptions;

TEST(VmodemOptions, ReadsEveryOption) {
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--link",
                              "/tmp/m",
                              "--echo",
                              "--csq",
                              "7,3",
                              "--imei",
                              "123",
                              "--refuse-cnmi2",
                              "--reports-on",
                              "--mr-start",
                              "250",
                              "--reply-delay",
                              "5",
                              "--report-delay",
                              "100",
                              "--status",
                              "48,0",
                              "--zone",
                              "-20",
                              "--sca",
                              "00",
                              "--no-mms",
                              "--report-fault",
                              "bad-date",
                              "--error",
                              "at+cnmi=2:1",
                              "--cms-error",
                              "PDU:500:2",
                              "--silence",
                              "AT+CGSN",
                              "--late",
                              "PDU:31000",
                              "--late-answer",
                              "4:35000",
                              "--late-answer",
                              "6:40000:apart",
                              "--chunk",
                              "3",
                              "--split-crlf",
                              "--nul",
                              "--blank-lines",
                              "--gap",
                              "7",
                              "--verbose"},
                             o, error))
        << error;
    const vmodem::Options& m = o.modem;
    EXPECT_EQ(o.link, "/tmp/m");
    EXPECT_TRUE(o.verbose);
    EXPECT_TRUE(m.echo);
    EXPECT_EQ(m.rssi, 7);
    EXPECT_EQ(m.ber, 3);
    EXPECT_EQ(m.imei, "123");
    EXPECT_TRUE(m.refuseCnmiMode2);
    EXPECT_TRUE(m.reportsEnabled);
    EXPECT_EQ(m.mrStart, 250);
    EXPECT_EQ(m.replyDelayMs, 5u);
    EXPECT_EQ(m.reportDelayMs, 100u);
    EXPECT_EQ(m.statuses, (std::vector<int>{48, 0}));
    EXPECT_EQ(m.reportZone, -20);
    EXPECT_EQ(m.sca, "00");
    EXPECT_FALSE(m.mms);
    EXPECT_EQ(m.reportFault, vmodem::ReportFault::BadDate);
    ASSERT_EQ(m.rules.size(), 6u);
    EXPECT_EQ(m.rules[0].prefix, "AT+CNMI=2");
    EXPECT_EQ(m.rules[0].times, 1);
    EXPECT_EQ(m.rules[1].kind, vmodem::Rule::Kind::CmsError);
    EXPECT_EQ(m.rules[1].code, 500);
    EXPECT_EQ(m.rules[1].times, 2);
    EXPECT_EQ(m.rules[2].times, -1);
    EXPECT_EQ(m.rules[3].delayMs, 31000u);
    EXPECT_EQ(m.rules[4].prefix, "PDU");  // the fourth message alone, 35 s late
    EXPECT_EQ(m.rules[4].nth, 4);
    EXPECT_EQ(m.rules[4].delayMs, 35000u);
    EXPECT_FALSE(m.rules[4].apart);
    EXPECT_EQ(m.rules[5].nth, 6);
    EXPECT_TRUE(m.rules[5].apart);
    EXPECT_EQ(m.chunkSize, 3u);
    EXPECT_TRUE(m.splitCrLf);
    EXPECT_TRUE(m.nulBytes);
    EXPECT_TRUE(m.blankLines);
    EXPECT_EQ(m.gapMs, 7u);
}

TEST(VmodemOptions, DefaultsSuitATerminal) {
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions({}, o, error));
    EXPECT_EQ(o.modem.gapMs, 20u);
    EXPECT_FALSE(o.modem.reportZone);
    EXPECT_FALSE(o.help);
    ASSERT_TRUE(ParseOptions({"--help"}, o, error));
    EXPECT_TRUE(o.help);
}

TEST(VmodemOptions, RefusesWhatItDoesNotUnderstand) {
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"--csq"},
                                               {"--csq", "7"},
                                               {"--csq", "a,b"},
                                               {"--mr-start", "256"},
                                               {"--zone", "80"},
                                               {"--status", "48,x"},
                                               {"--sca", "0G"},
                                               {"--sca", "123"},
                                               {"--report-fault", "odd"},
                                               {"--cms-error", "PDU"},
                                               {"--late", "PDU:soon"},
                                               {"--late-answer", "0:35000"},
                                               {"--late-answer", "4"},
                                               {"--late-answer", "4:35000:soon"},
                                               {"--error", "AT:0"},
                                               {"--chunk", "0"},
                                               {"extra"}}) {
        ProgramOptions o;
        std::string error;
        EXPECT_FALSE(ParseOptions(bad, o, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(VmodemOptions, TheUsageTextNamesEveryOption) {
    const std::string usage = vmodem::UsageText();
    for (const char* name :
         {"--link",       "--echo",     "--csq",         "--imei",         "--refuse-cnmi2",
          "--reports-on", "--mr-start", "--reply-delay", "--report-delay", "--status",
          "--zone",       "--sca",      "--no-mms",      "--report-fault", "--error",
          "--cms-error",  "--silence",  "--late",        "--late-answer",  "--chunk",
          "--split-crlf", "--nul",      "--blank-lines", "--gap",          "--verbose",
          "--help"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
}

}  // namespace
