#include "vcl/system/date_utils.h"

#include <gtest/gtest.h>

#include "platform/os/clock.h"
#include "platform/os/cp_literal.h"

namespace {

using namespace vcl;

TEST(Dates, EncodeDecodeAndTheirErrors) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_DOUBLE_EQ(EncodeDate(2025, 1, 17), 45674);
    EXPECT_THROW(EncodeDate(2025, 2, 29), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    const TDateTime dt = EncodeDateTime(2024, 2, 29, 23, 59, 58, 999);
    int y, m, d, h, n, s, ms;
    DecodeDateTime(dt, y, m, d, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    EXPECT_EQ(h * 10000 + n * 100 + s, 235958);
    EXPECT_EQ(ms, 999);
    EXPECT_EQ(DayOfWeek(EncodeDate(2025, 1, 17)), 6);  // a Friday
    DecodeDateTime(IncSecond(dt, 2), y, m, d, h, n, s, ms);
    EXPECT_EQ(m * 100 + d, 301);
    EXPECT_EQ(MilliSecondsBetween(IncMinute(dt, -3), dt), 180000);
}

TEST(Dates, FormatDateTimeTokens) {
    const TDateTime dt = EncodeDateTime(2025, 1, 7, 9, 5, 3, 42);
    EXPECT_EQ(FormatDateTime("yyyy.mm.dd hh:nn:ss", dt), "2025.01.07 09:05:03");
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:mm:ss.zzz", dt), "07.01.2025 09:05:03.042");
    EXPECT_EQ(FormatDateTime("d/m/yy h:n:s z", dt), "7.1.25 9:5:3 42");
    EXPECT_EQ(FormatDateTime("dddd, d mmmm", dt), std::string("вторник, 7 Январь"_cp));
    EXPECT_EQ(FormatDateTime("\"at\" hh 'o''clock' am/pm", dt), "at 09 oclock am");
    EXPECT_EQ(FormatDateTime("c", dt), "07.01.2025 9:05:03");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2025, 1, 7)), "07.01.2025");
    EXPECT_EQ(FormatDateTime("h AMPM", EncodeTime(13, 0, 0, 0)), "1 PM");
}

TEST(Dates, StrToDateTimeWithSettingsAndTheCenturyWindow) {
    os::FakeClock clock(EncodeDate(2026, 12, 8));
    os::ScopedClock use(clock);
    TFormatSettings fs = FormatSettings;
    fs.ShortDateFormat = "yy.mm.dd";
    fs.DateSeparator = '.';
    fs.TimeSeparator = ':';
    fs.TwoDigitYearCenturyWindow = 50;
    EXPECT_DOUBLE_EQ(StrToDateTime("25.01.17 10:23:20", fs),
                     EncodeDateTime(2025, 1, 17, 10, 23, 20, 0));
    // The window runs from 50 years before this year: 1976 .. 2075.
    EXPECT_DOUBLE_EQ(StrToDateTime("76.01.01 00:00:00", fs), EncodeDate(1976, 1, 1));
    EXPECT_DOUBLE_EQ(StrToDateTime("75.12.31 00:00:00", fs), EncodeDate(2075, 12, 31));
    EXPECT_DOUBLE_EQ(StrToDateTime("99.06.01 00:00:00", fs), EncodeDate(1999, 6, 1) - 0);
    EXPECT_THROW(StrToDateTime("25.13.01 00:00:00", fs), EConvertError);
    EXPECT_THROW(StrToDateTime("25.02.30 00:00:00", fs), EConvertError);
    EXPECT_THROW(StrToDateTime("25.01.17 24:00:00", fs), EConvertError);
    EXPECT_THROW(StrToDateTime("25.01.17 10:23:20 x", fs), EConvertError);

    // Round trip through the Russian defaults.
    const TDateTime dt = EncodeDateTime(2024, 11, 5, 17, 4, 9, 0);
    EXPECT_DOUBLE_EQ(StrToDateTime(FormatDateTime("dd.mm.yyyy hh:nn:ss", dt)), dt);
    EXPECT_DOUBLE_EQ(StrToDate("05.11.2024"), EncodeDate(2024, 11, 5));
    EXPECT_DOUBLE_EQ(StrToTime("5:07 PM"), EncodeTime(17, 7, 0, 0));
    try {
        StrToDateTime("junk");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'junk' is not a valid date and time");
    }
}

}  // namespace
