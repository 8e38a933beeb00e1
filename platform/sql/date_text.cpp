#include "platform/sql/date_text.h"

#include <cmath>
#include <cstdio>

namespace sql {

namespace {

constexpr double kFirstDay = -693593.0;     // 0001-01-01
constexpr double kPastLastDay = 2958466.0;  // 10000-01-01

// Reads between `min` and `max` decimal digits at s[i].
bool ReadNumber(std::string_view s, std::size_t& i, int min, int max, int& out) {
    int n = 0, v = 0;
    while (i < s.size() && n < max && s[i] >= '0' && s[i] <= '9') {
        v = v * 10 + (s[i] - '0');
        ++i;
        ++n;
    }
    out = v;
    return n >= min;
}

bool Expect(std::string_view s, std::size_t& i, char c) {
    if (i >= s.size() || s[i] != c) return false;
    ++i;
    return true;
}

std::optional<os::TDateTime> Join(int y, int mo, int d, int h, int mi, int sec, int ms) {
    if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > os::DaysInMonth(y, mo)) return std::nullopt;
    if (h > 23 || mi > 59 || sec > 59 || ms > 999) return std::nullopt;
    os::DateParts p{y, mo, d, h, mi, sec, ms};
    return os::JoinDateTime(p);
}

// "HH:MM[:SS[.fraction]]" from s[i] to the end.
bool ReadTime(std::string_view s, std::size_t& i, int& h, int& mi, int& sec, int& ms,
              int hourDigits) {
    if (!ReadNumber(s, i, hourDigits, 2, h) || !Expect(s, i, ':') || !ReadNumber(s, i, 2, 2, mi))
        return false;
    if (i == s.size()) return true;
    if (!Expect(s, i, ':') || !ReadNumber(s, i, 2, 2, sec)) return false;
    if (i == s.size()) return true;
    if (!Expect(s, i, '.')) return false;
    // Any number of fraction digits, rounded to milliseconds.
    double frac = 0, scale = 0.1;
    const std::size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        frac += (s[i] - '0') * scale;
        scale /= 10;
        ++i;
    }
    if (i == start || i != s.size()) return false;
    ms = static_cast<int>(std::lround(frac * 1000));
    if (ms == 1000) ms = 999;  // never carry into the next second
    return true;
}

}  // namespace

std::optional<std::string> DateTimeToText(os::TDateTime dt) {
    if (!(dt >= kFirstDay && dt < kPastLastDay)) return std::nullopt;
    const os::DateParts p = os::SplitDateTime(dt);
    if (p.year < 1 || p.year > 9999) return std::nullopt;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second, p.msec);
    return std::string(buf);
}

std::optional<os::TDateTime> TextToDateTime(std::string_view s) {
    std::size_t i = 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
    if (!ReadNumber(s, i, 4, 4, y) || !Expect(s, i, '-') || !ReadNumber(s, i, 2, 2, mo) ||
        !Expect(s, i, '-') || !ReadNumber(s, i, 2, 2, d))
        return std::nullopt;
    if (i < s.size()) {
        if (s[i] != ' ' && s[i] != 'T') return std::nullopt;
        ++i;
        if (!ReadTime(s, i, h, mi, sec, ms, 2)) return std::nullopt;
    }
    return Join(y, mo, d, h, mi, sec, ms);
}

std::optional<os::TDateTime> DisplayTextToDateTime(std::string_view s) {
    std::size_t i = 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
    if (!ReadNumber(s, i, 1, 2, d) || !Expect(s, i, '.') || !ReadNumber(s, i, 1, 2, mo) ||
        !Expect(s, i, '.') || !ReadNumber(s, i, 4, 4, y))
        return std::nullopt;
    if (i < s.size()) {
        if (!Expect(s, i, ' ') || !ReadTime(s, i, h, mi, sec, ms, 1)) return std::nullopt;
    }
    return Join(y, mo, d, h, mi, sec, ms);
}

}  // namespace sql
