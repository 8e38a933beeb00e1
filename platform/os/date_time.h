// TDateTime: the class library's date-time, days since 1899-12-30 with the time of day as the
// fraction. The calendar arithmetic lives here so that the clock can produce local times; the
// class library's EncodeDate/DecodeDate and friends build on it.
#pragma once

#include <cstdint>

namespace os {

using TDateTime = double;

inline constexpr double kMsPerDay = 86400000.0;

struct DateParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, msec = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// The days either side of 1899-12-30 that the arithmetic below takes (about 2.7 million
// years): their milliseconds and years fit their types with room to spare.
inline constexpr int64_t kMaxDateTimeDays = 1000000000;
// A finite date-time within those days.
bool DateTimeInRange(TDateTime dt);

// Days from 1899-12-30 to the given date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, int month, int day);
// Days beyond kMaxDateTimeDays decode as that many.
void CivilFromDays(int64_t days, int& year, int& month, int& day);

// Whole milliseconds since 1899-12-30 00:00, rounded to the nearest millisecond as the class
// library does when it decodes a date-time. A date-time out of range is held at the nearer end
// (NaN at 0), so a bad stored value decodes to a far date and never overflows.
int64_t DateTimeToMs(TDateTime dt);
TDateTime MsToDateTime(int64_t ms);

DateParts SplitDateTime(TDateTime dt);
TDateTime JoinDateTime(const DateParts& p);

}  // namespace os
