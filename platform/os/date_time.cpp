#include "platform/os/date_time.h"

#include <algorithm>
#include <cmath>

namespace os {

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return (m == 2 && IsLeapYear(y)) ? 29 : kDays[m - 1];
}

bool DateTimeInRange(TDateTime dt) {
    return dt >= -double(kMaxDateTimeDays) && dt <= double(kMaxDateTimeDays);
}

// Howard Hinnant's days-from-civil, shifted so that day 0 is 1899-12-30; 64-bit throughout, so
// no parts overflow it.
int64_t DaysFromCivil(int year, int month, int day) {
    const int64_t m = month, d = day;
    const int64_t y = int64_t(year) - (m <= 2);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    constexpr int64_t kUnixToDelphi = 25569;  // 1970-01-01 is day 25569
    return era * 146097 + doe - 719468 + kUnixToDelphi;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    days = std::clamp(days, -kMaxDateTimeDays, kMaxDateTimeDays);
    const int64_t z = days - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// A negative date-time counts days backwards but the time of day forwards (-1.25 is
// 1899-12-29 06:00), as the class library defines it.
int64_t DateTimeToMs(TDateTime dt) {
    constexpr double kMax = double(kMaxDateTimeDays);
    if (!DateTimeInRange(dt)) dt = dt > 0 ? kMax : dt < 0 ? -kMax : 0;
    const double whole = std::trunc(dt);
    const double frac = std::fabs(dt - whole);
    return static_cast<int64_t>(whole) * 86400000 + std::llround(frac * kMsPerDay);
}

TDateTime MsToDateTime(int64_t ms) {
    int64_t days = ms / 86400000;
    int64_t rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    if (days < 0) return static_cast<double>(days) - static_cast<double>(rest) / kMsPerDay;
    return static_cast<double>(days) + static_cast<double>(rest) / kMsPerDay;
}

DateParts SplitDateTime(TDateTime dt) {
    int64_t ms = DateTimeToMs(dt);
    int64_t days = ms / 86400000;
    int64_t rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    DateParts p;
    CivilFromDays(days, p.year, p.month, p.day);
    p.hour = static_cast<int>(rest / 3600000);
    p.minute = static_cast<int>(rest / 60000 % 60);
    p.second = static_cast<int>(rest / 1000 % 60);
    p.msec = static_cast<int>(rest % 1000);
    return p;
}

TDateTime JoinDateTime(const DateParts& p) {
    const double days = static_cast<double>(DaysFromCivil(p.year, p.month, p.day));
    const double time =
        ((p.hour * 60.0 + p.minute) * 60.0 + p.second) * 1000.0 / kMsPerDay + p.msec / kMsPerDay;
    return days >= 0 ? days + time : days - time;
}

}  // namespace os
