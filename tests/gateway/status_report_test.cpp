#include "gateway/status_report.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/os/clock.h"
#include "vcl/system/date_utils.h"

namespace {

using gateway::DecodeStatusReport;
using gateway::TStatusReport;

// MR 17 to 79161234567, stamped 2025-01-17 10:23:20, delivered at 10:24:20, both UTC+3.
const std::string kReport = "07919761989901F006110B919761214365F7521071013202215210710142022100";

class StatusReportTest : public ::testing::Test {
protected:
    // The two-digit years fall into the window around the clock's year.
    os::FakeClock clock{vcl::EncodeDate(2025, 6, 1)};
    os::ScopedClock use{clock};
};

bool Decoded(const TStatusReport& r) {
    return !r.Rest.empty();
}

void ExpectEmpty(const TStatusReport& r, const std::string& what) {
    EXPECT_EQ(r.Rest, "") << what;
    EXPECT_EQ(r.MR, 0) << what;
    EXPECT_EQ(r.Number, "") << what;
    EXPECT_EQ(r.SCTS, 0) << what;
    EXPECT_EQ(r.Status, 0) << what;
    EXPECT_FALSE(r.MMS) << what;
}

// The report with the octets from `at` replaced.
std::string With(std::size_t at, const std::string& octets) {
    std::string s = kReport;
    s.replace(at, octets.size(), octets);
    return s;
}

constexpr std::size_t kScts = 16 + 2 + 2 + 2 + 2 + 12;  // after SCA, first octet, MR and RA
constexpr std::size_t kDt = kScts + 14;
constexpr std::size_t kStatus = kDt + 14;

TEST_F(StatusReportTest, DecodesEveryField) {
    const TStatusReport r = DecodeStatusReport(kReport);
    ASSERT_TRUE(Decoded(r));
    EXPECT_EQ(r.MR, 17);
    EXPECT_EQ(r.Number, "79161234567");
    EXPECT_EQ(r.SCTS, vcl::EncodeDateTime(2025, 1, 17, 10, 23, 20, 0));
    EXPECT_EQ(r.DT, vcl::EncodeDateTime(2025, 1, 17, 10, 24, 20, 0));
    EXPECT_EQ(r.SCTSZone, 12);
    EXPECT_EQ(r.DTZone, 12);
    EXPECT_EQ(r.Status, 0);
    EXPECT_TRUE(r.MMS);
    EXPECT_EQ(r.Rest, kReport.substr(18));
}

TEST_F(StatusReportTest, SpacingLineEndsAndCaseDoNotMatter) {
    std::string lower = kReport;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const TStatusReport a = DecodeStatusReport(kReport);
    for (const std::string& v : {"  " + kReport + "\r\n", lower,
                                 kReport.substr(0, 20) + "\r\n" + kReport.substr(20) + "\r\n"}) {
        const TStatusReport b = DecodeStatusReport(v);
        EXPECT_EQ(b.Rest, a.Rest) << v;
        EXPECT_EQ(b.SCTS, a.SCTS);
        EXPECT_EQ(b.Number, a.Number);
    }
}

TEST_F(StatusReportTest, FirstOctetDecidesWhetherItIsAReport) {
    EXPECT_FALSE(DecodeStatusReport(With(16, "02")).MMS);
    EXPECT_TRUE(Decoded(DecodeStatusReport(With(16, "02"))));
    EXPECT_TRUE(DecodeStatusReport(With(16, "06")).MMS);
    EXPECT_TRUE(Decoded(DecodeStatusReport(With(16, "46"))));  // header flag is not looked at
    for (const char* fo : {"00", "01", "03", "07", "FD"})
        ExpectEmpty(DecodeStatusReport(With(16, fo)), fo);
    // An empty service centre address is accepted.
    const TStatusReport r = DecodeStatusReport("00" + kReport.substr(16));
    EXPECT_EQ(r.MR, 17);
    EXPECT_EQ(r.Status, 0);
}

TEST_F(StatusReportTest, AddressDigitsWithExtensionsAndFillers) {
    // 10 digits: no filler.
    TStatusReport r = DecodeStatusReport(
        "00"
        "06"
        "05"
        "0A91"
        "2143658709" +
        kReport.substr(kScts));
    EXPECT_EQ(r.Number, "1234567890");
    EXPECT_EQ(r.MR, 5);
    // The extension digits A..E.
    r = DecodeStatusReport(
        "00"
        "06"
        "05"
        "0581"
        "BADCFE" +
        kReport.substr(kScts));
    EXPECT_EQ(r.Number, "*#abc");
    // No digits at all.
    r = DecodeStatusReport(
        "00"
        "06"
        "05"
        "0091" +
        kReport.substr(kScts));
    EXPECT_TRUE(Decoded(r));
    EXPECT_EQ(r.Number, "");
}

TEST_F(StatusReportTest, ZonesCarryTheirSignInBitThreeOfTheTensDigit) {
    const struct {
        const char* octet;
        int zone;
    } cases[] = {{"21", 12},  {"00", 0},  {"8A", -28}, {"02", 20},
                 {"0A", -20}, {"97", 79}, {"9F", -79}};
    for (const auto& c : cases) {
        const TStatusReport r = DecodeStatusReport(With(kScts + 12, c.octet));
        ASSERT_TRUE(Decoded(r)) << c.octet;
        EXPECT_EQ(r.SCTSZone, c.zone) << c.octet;
        EXPECT_EQ(r.DTZone, 12);
    }
    EXPECT_EQ(DecodeStatusReport(With(kDt + 12, "8A")).DTZone, -28);
    // A units digit that is not decimal is no zone.
    ExpectEmpty(DecodeStatusReport(With(kScts + 12, "A0")), "A0");
    ExpectEmpty(DecodeStatusReport(With(kDt + 12, "F1")), "F1");
}

TEST_F(StatusReportTest, TwoDigitYearsFollowTheWindowAroundThisYear) {
    EXPECT_EQ(DecodeStatusReport(With(kScts, "61")).SCTS,
              vcl::EncodeDateTime(2016, 1, 17, 10, 23, 20, 0));
    EXPECT_EQ(DecodeStatusReport(With(kScts, "57")).SCTS,
              vcl::EncodeDateTime(1975, 1, 17, 10, 23, 20, 0));
    EXPECT_EQ(DecodeStatusReport(With(kScts, "47")).SCTS,
              vcl::EncodeDateTime(2074, 1, 17, 10, 23, 20, 0));
}

TEST_F(StatusReportTest, ImpossibleTimeStampsGiveTheEmptyRecord) {
    const struct {
        std::size_t at;
        const char* octets;
    } cases[] = {
        {kScts + 2, "31"},   // month 13
        {kScts + 2, "00"},   // month 0
        {kScts + 4, "23"},   // day 32
        {kScts + 4, "03"},   // 30 February
        {kScts + 6, "52"},   // hour 25
        {kScts + 8, "06"},   // minute 60
        {kScts + 10, "A1"},  // a letter in the seconds
        {kDt + 2, "31"},     // the discharge time too
    };
    for (const auto& c : cases) {
        std::string pdu = With(c.at, c.octets);
        if (std::string(c.octets) == "03") pdu = With(kScts + 2, "20").replace(kScts + 4, 2, "03");
        ExpectEmpty(DecodeStatusReport(pdu), pdu);
    }
}

TEST_F(StatusReportTest, EveryTruncationIsNotDecodedNotEvenBeforeTheStatus) {
    for (std::size_t n = 0; n < kReport.size(); ++n)
        ExpectEmpty(DecodeStatusReport(kReport.substr(0, n)), kReport.substr(0, n));
    // Whatever follows the status is ignored.
    EXPECT_EQ(DecodeStatusReport(kReport + "0000").Status, 0);
    EXPECT_EQ(DecodeStatusReport(With(kStatus, "30")).Status, 48);
}

TEST_F(StatusReportTest, TextThatIsNotHexadecimalIsRejected) {
    for (const std::string& bad :
         {With(30, "G"), With(30, " "), With(30, "\r"), kReport + "Z", std::string("\xC0\xC1"),
          std::string("OK"), std::string("+CMGS: 17"), std::string(""), std::string("  \r\n")})
        ExpectEmpty(DecodeStatusReport(bad), bad);
}

TEST_F(StatusReportTest, RandomAndMutatedInputNeverBreaksTheDecoder) {
    std::mt19937 rng(4711);
    const std::string hex = "0123456789ABCDEF";
    int decoded = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        if (i % 2) {
            s = kReport;
            for (int k = 0, n = 1 + rng() % 4; k < n; ++k) {
                const std::size_t at = rng() % (s.size() + 1);
                switch (rng() % 4) {
                    case 0:
                        if (at < s.size()) s[at] = hex[rng() % 16];
                        break;
                    case 1:
                        if (at < s.size()) s.erase(at, 1 + rng() % 4);
                        break;
                    case 2:
                        s.insert(at, 1, hex[rng() % 16]);
                        break;
                    default:
                        if (at < s.size()) s[at] = static_cast<char>(rng() % 256);
                        break;
                }
            }
        } else {
            for (std::size_t k = 0, n = rng() % 80; k < n; ++k)
                s += hex[rng() % 16];
        }
        const TStatusReport r = DecodeStatusReport(s);
        if (Decoded(r)) {
            ++decoded;
            EXPECT_GE(r.Status, 0);
            EXPECT_LE(r.Status, 255);
            EXPECT_LE(r.MR, 255);
            EXPECT_LE(std::abs(r.SCTSZone), 79);
        }
    }
    EXPECT_GT(decoded, 100);  // the mutations do reach the later fields
}

}  // namespace
