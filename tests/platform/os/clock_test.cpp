#include "platform/os/clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "platform/os/date_time.h"

namespace {

TEST(Ticks, DifferenceAcrossTheWrap) {
    EXPECT_EQ(os::TickDiff(4294967290u, 5u), 11u);
    EXPECT_EQ(os::TickDiff(100u, 350u), 250u);
    EXPECT_EQ(os::TickDiff(7u, 7u), 0u);
}

TEST(FakeClock, SleepingAdvancesTicksAndLocalTimeTogether) {
    os::FakeClock clock(os::DaysFromCivil(2025, 1, 17) + 0.5, 4294967000u, 8);
    os::ScopedClock use(clock);
    const uint32_t start = os::GetTickCount();
    os::Sleep(1000);  // crosses the wrap
    EXPECT_EQ(os::GetTickCount(), 4294967000u + 1000u);
    EXPECT_LT(os::GetTickCount(), start);
    EXPECT_EQ(os::TickDiff(start, os::GetTickCount()), 1000u);
    const os::DateParts p = os::SplitDateTime(os::Now());
    EXPECT_EQ(p.hour, 12);
    EXPECT_EQ(p.second, 1);
    EXPECT_EQ(os::LocalZone(), 8);
    EXPECT_EQ(clock.SleptMs(), 1000u);
}

TEST(FakeClock, ScopedClockRestoresThePreviousOne) {
    os::FakeClock outer, inner;
    {
        os::ScopedClock a(outer);
        {
            os::ScopedClock b(inner);
            EXPECT_EQ(&os::CurrentClock(), &inner);
        }
        EXPECT_EQ(&os::CurrentClock(), &outer);
    }
    EXPECT_EQ(&os::CurrentClock(), &os::SystemClock());
}

TEST(SystemClock, TicksMoveAndTheZoneIsPlausible) {
    const uint32_t a = os::SystemClock().Ticks();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(os::TickDiff(a, os::SystemClock().Ticks()), 4u);
    const int zone = os::SystemLocalZone();
    EXPECT_GE(zone, -48);
    EXPECT_LE(zone, 56);
    const os::DateParts now = os::SplitDateTime(os::SystemClock().Now());
    EXPECT_GE(now.year, 2024);
}

TEST(DateTime, DayNumbersOfTheClassLibrary) {
    EXPECT_EQ(os::DaysFromCivil(1899, 12, 30), 0);
    EXPECT_EQ(os::DaysFromCivil(1900, 1, 1), 2);
    EXPECT_EQ(os::DaysFromCivil(1970, 1, 1), 25569);
    EXPECT_EQ(os::DaysFromCivil(2000, 2, 29), 36585);
    for (int64_t d : {-700000, -1, 0, 1, 36585, 46000, 2958465}) {
        int y, m, dd;
        os::CivilFromDays(d, y, m, dd);
        EXPECT_EQ(os::DaysFromCivil(y, m, dd), d);
    }
}

TEST(DateTime, AnyStoredValueDecodesWithoutOverflowHeldAtTheNearerEnd) {
    const double end = os::kMaxDateTimeDays;
    for (double dt : {1e300, -1e300, HUGE_VAL})
        EXPECT_EQ(os::SplitDateTime(dt).year, os::SplitDateTime(dt > 0 ? end : -end).year);
    EXPECT_EQ(os::SplitDateTime(std::nan("")).year, 1899);
}

TEST(DateTime, SplitAndJoinKeepMilliseconds) {
    os::DateParts p{2025, 1, 17, 10, 23, 20, 999};
    const os::TDateTime dt = os::JoinDateTime(p);
    const os::DateParts q = os::SplitDateTime(dt);
    EXPECT_EQ(q.year, 2025);
    EXPECT_EQ(q.month, 1);
    EXPECT_EQ(q.day, 17);
    EXPECT_EQ(q.hour, 10);
    EXPECT_EQ(q.minute, 23);
    EXPECT_EQ(q.second, 20);
    EXPECT_EQ(q.msec, 999);
    // Just before midnight does not round into the next day's date with a 24th hour.
    const os::DateParts late = os::SplitDateTime(os::JoinDateTime({2024, 12, 31, 23, 59, 59, 999}));
    EXPECT_EQ(late.day, 31);
    EXPECT_EQ(late.hour, 23);
    // Before 1899-12-30 the days count backwards while the time of day still counts forwards.
    const os::DateParts before = os::SplitDateTime(-1.25);
    EXPECT_EQ(before.day, 29);
    EXPECT_EQ(before.hour, 6);
    EXPECT_DOUBLE_EQ(os::MsToDateTime(os::DateTimeToMs(-1.25)), -1.25);
}

}  // namespace
