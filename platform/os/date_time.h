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

// Days from 1899-12-30 to the given date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int& year, int& month, int& day);

// Whole milliseconds since 1899-12-30 00:00, rounded to the nearest millisecond as the class
// library does when it decodes a date-time.
int64_t DateTimeToMs(TDateTime dt);
TDateTime MsToDateTime(int64_t ms);

DateParts SplitDateTime(TDateTime dt);
TDateTime JoinDateTime(const DateParts& p);

}  // namespace os
