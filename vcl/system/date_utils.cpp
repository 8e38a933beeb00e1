#include "vcl/system/date_utils.h"

#include <cmath>

#include "platform/os/clock.h"

namespace vcl {

bool TryEncodeDate(int y, int m, int d, TDateTime& out) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > os::DaysInMonth(y, m)) return false;
    out = static_cast<double>(os::DaysFromCivil(y, m, d));
    return true;
}

bool TryEncodeTime(int h, int n, int s, int ms, TDateTime& out) {
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59 || ms < 0 || ms > 999) return false;
    out = (((h * 60.0 + n) * 60.0 + s) * 1000.0 + ms) / os::kMsPerDay;
    return true;
}

TDateTime EncodeDate(int y, int m, int d) {
    TDateTime r;
    if (!TryEncodeDate(y, m, d, r)) throw EConvertError("Invalid argument to date encode");
    return r;
}

TDateTime EncodeTime(int h, int n, int s, int ms) {
    TDateTime r;
    if (!TryEncodeTime(h, n, s, ms, r)) throw EConvertError("Invalid argument to time encode");
    return r;
}

TDateTime EncodeDateTime(int y, int m, int d, int h, int n, int s, int ms) {
    const TDateTime date = EncodeDate(y, m, d);
    const TDateTime time = EncodeTime(h, n, s, ms);
    return date >= 0 ? date + time : date - time;
}

void DecodeDate(TDateTime dt, int& y, int& m, int& d) {
    const os::DateParts p = os::SplitDateTime(dt);
    y = p.year;
    m = p.month;
    d = p.day;
}

void DecodeTime(TDateTime dt, int& h, int& n, int& s, int& ms) {
    const os::DateParts p = os::SplitDateTime(dt);
    h = p.hour;
    n = p.minute;
    s = p.second;
    ms = p.msec;
}

void DecodeDateTime(TDateTime dt, int& y, int& m, int& d, int& h, int& n, int& s, int& ms) {
    const os::DateParts p = os::SplitDateTime(dt);
    y = p.year, m = p.month, d = p.day, h = p.hour, n = p.minute, s = p.second, ms = p.msec;
}

int DayOfWeek(TDateTime dt) {
    const int64_t days = os::DateTimeToMs(dt) / 86400000 - (os::DateTimeToMs(dt) % 86400000 < 0);
    // 1899-12-30 was a Saturday.
    return static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
}

TDateTime Now() {
    return os::Now();
}
TDateTime Date() {
    return DateOf(os::Now());
}
TDateTime Time() {
    return TimeOf(os::Now());
}
TDateTime DateOf(TDateTime dt) {
    return std::trunc(dt);
}
TDateTime TimeOf(TDateTime dt) {
    return std::fabs(dt - std::trunc(dt));
}

TDateTime IncMilliSecond(TDateTime dt, int64_t n) {
    return os::MsToDateTime(os::DateTimeToMs(dt) + n);
}
TDateTime IncSecond(TDateTime dt, int64_t n) {
    return IncMilliSecond(dt, n * 1000);
}
TDateTime IncMinute(TDateTime dt, int64_t n) {
    return IncMilliSecond(dt, n * 60000);
}
TDateTime IncHour(TDateTime dt, int64_t n) {
    return IncMilliSecond(dt, n * 3600000);
}
TDateTime IncDay(TDateTime dt, int n) {
    return IncMilliSecond(dt, int64_t(n) * 86400000);
}

int64_t MilliSecondsBetween(TDateTime a, TDateTime b) {
    const int64_t d = os::DateTimeToMs(a) - os::DateTimeToMs(b);
    return d < 0 ? -d : d;
}

// ---- formatting ----

namespace {

std::string Two(int v) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

bool StartsWithNoCase(std::string_view s, std::size_t i, std::string_view what) {
    if (i + what.size() > s.size()) return false;
    for (std::size_t k = 0; k < what.size(); ++k) {
        char c = s[i + k];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != what[k]) return false;
    }
    return true;
}

void Append(std::string& out, std::string_view format, TDateTime dt, const TFormatSettings& fs,
            int depth) {
    const os::DateParts p = os::SplitDateTime(dt);
    // Is there an am/pm mark anywhere? Then hours count 1..12.
    bool twelve = false;
    for (std::size_t i = 0; i < format.size(); ++i)
        if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p") ||
            StartsWithNoCase(format, i, "ampm"))
            twelve = true;
    char last = 0;
    for (std::size_t i = 0; i < format.size();) {
        char c = format[i];
        char token = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && last == 'H') token = 'N';
            last = token;
        }
        std::size_t run = 1;
        while (i + run < format.size() && (format[i + run] | 0x20) == (c | 0x20) &&
               ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'))
            ++run;
        switch (token) {
            case 'Y':
                out += run <= 2 ? Two(p.year % 100) : std::to_string(p.year);
                break;
            case 'M':
                if (run == 1)
                    out += std::to_string(p.month);
                else if (run == 2)
                    out += Two(p.month);
                else if (run == 3)
                    out += fs.ShortMonthNames[p.month - 1];
                else
                    out += fs.LongMonthNames[p.month - 1];
                run = std::min<std::size_t>(run, 4);
                break;
            case 'D': {
                const int dow = DayOfWeek(dt) - 1;
                if (run == 1)
                    out += std::to_string(p.day);
                else if (run == 2)
                    out += Two(p.day);
                else if (run == 3)
                    out += fs.ShortDayNames[dow];
                else if (run == 4)
                    out += fs.LongDayNames[dow];
                else if (depth < 2)
                    Append(out, run == 5 ? fs.ShortDateFormat : fs.LongDateFormat, dt, fs,
                           depth + 1);
                run = std::min<std::size_t>(run, 6);
                break;
            }
            case 'H': {
                int h = p.hour;
                if (twelve) {
                    h %= 12;
                    if (h == 0) h = 12;
                }
                out += run == 1 ? std::to_string(h) : Two(h);
                run = std::min<std::size_t>(run, 2);
                break;
            }
            case 'N':
                out += run == 1 ? std::to_string(p.minute) : Two(p.minute);
                run = std::min<std::size_t>(run, 2);
                break;
            case 'S':
                out += run == 1 ? std::to_string(p.second) : Two(p.second);
                run = std::min<std::size_t>(run, 2);
                break;
            case 'Z': {
                char b[8];
                std::snprintf(b, sizeof b, run >= 3 ? "%03d" : "%d", p.msec);
                out += b;
                run = std::min<std::size_t>(run, 3);
                break;
            }
            case 'T':
                if (depth < 2)
                    Append(out, run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, fs,
                           depth + 1);
                run = std::min<std::size_t>(run, 2);
                break;
            case 'C':
                if (depth < 2) {
                    Append(out, fs.ShortDateFormat, dt, fs, depth + 1);
                    if (p.hour || p.minute || p.second || p.msec) {
                        out += ' ';
                        Append(out, fs.LongTimeFormat, dt, fs, depth + 1);
                    }
                }
                run = 1;
                break;
            case 'A':
                if (StartsWithNoCase(format, i, "am/pm")) {
                    out += p.hour < 12 ? "am" : "pm";
                    if (format[i] == 'A') out[out.size() - 2] -= 32, out[out.size() - 1] -= 32;
                    run = 5;
                } else if (StartsWithNoCase(format, i, "a/p")) {
                    out += p.hour < 12 ? (format[i] == 'A' ? "A" : "a")
                                       : (format[i] == 'A' ? "P" : "p");
                    run = 3;
                } else if (StartsWithNoCase(format, i, "ampm")) {
                    out += p.hour < 12 ? fs.TimeAMString : fs.TimePMString;
                    run = 4;
                } else {
                    out += c;
                    run = 1;
                }
                break;
            case '/':
                out += fs.DateSeparator;
                break;
            case ':':
                out += fs.TimeSeparator;
                break;
            case '\'':
            case '"': {
                const auto close = format.find(c, i + 1);
                const std::size_t end = close == std::string_view::npos ? format.size() : close;
                out.append(format.substr(i + 1, end - i - 1));
                run = (close == std::string_view::npos ? format.size() : close + 1) - i;
                break;
            }
            default:
                out.append(format.substr(i, run));
                break;
        }
        i += run;
    }
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& fs) {
    std::string out;
    Append(out, format.empty() ? std::string_view("c") : format, dt, fs, 0);
    return out;
}

std::string DateTimeToStr(TDateTime dt, const TFormatSettings& fs) {
    return FormatDateTime("c", dt, fs);
}
std::string DateToStr(TDateTime dt, const TFormatSettings& fs) {
    return FormatDateTime("ddddd", dt, fs);
}
std::string TimeToStr(TDateTime dt, const TFormatSettings& fs) {
    return FormatDateTime("tt", dt, fs);
}

// ---- parsing ----

namespace {

struct Scanner {
    std::string_view s;
    std::size_t i = 0;

    void Blanks() {
        while (i < s.size() && s[i] == ' ')
            ++i;
    }
    bool Number(int& v, int& digits) {
        Blanks();
        v = 0;
        digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 9) {
            v = v * 10 + (s[i] - '0');
            ++i;
            ++digits;
        }
        return digits > 0;
    }
    bool Char(char c) {
        Blanks();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        Blanks();
        return i >= s.size();
    }
};

// The order of day, month and year in a short date format.
enum class Order { DMY, MDY, YMD };

Order DateOrder(const std::string& f) {
    for (char c : f) {
        const char u = static_cast<char>(c | 0x20);
        if (u == 'd') return Order::DMY;
        if (u == 'm') return Order::MDY;
        if (u == 'y') return Order::YMD;
    }
    return Order::DMY;
}

bool ScanDate(Scanner& sc, TDateTime& out, const TFormatSettings& fs) {
    int n1, n2, n3 = 0, d1, d2, d3 = 0;
    if (!sc.Number(n1, d1) || !sc.Char(fs.DateSeparator) || !sc.Number(n2, d2)) return false;
    const bool three = sc.Char(fs.DateSeparator) && sc.Number(n3, d3);
    int y, m, d, yd;
    int cy, cm, cd;
    DecodeDate(Now(), cy, cm, cd);
    switch (DateOrder(fs.ShortDateFormat)) {
        case Order::MDY:
            m = n1, d = n2, y = three ? n3 : cy, yd = three ? d3 : 4;
            break;
        case Order::YMD:
            if (three)
                y = n1, m = n2, d = n3, yd = d1;
            else
                y = cy, m = n1, d = n2, yd = 4;
            break;
        default:
            d = n1, m = n2, y = three ? n3 : cy, yd = three ? d3 : 4;
            break;
    }
    if (yd <= 2) {
        // Two-digit years fall into the window of the settings around the current year.
        const int window = fs.TwoDigitYearCenturyWindow;
        if (window > 0) {
            const int base = cy - window;
            y += base / 100 * 100;
            if (y < base) y += 100;
        } else {
            y += cy / 100 * 100;
        }
    }
    return TryEncodeDate(y, m, d, out);
}

bool ScanTime(Scanner& sc, TDateTime& out, const TFormatSettings& fs) {
    int h, n = 0, s = 0, ms = 0, dg;
    if (!sc.Number(h, dg)) return false;
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(n, dg)) return false;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(s, dg)) return false;
            if (sc.Char(fs.DecimalSeparator) || sc.Char('.')) {
                if (!sc.Number(ms, dg)) return false;
            }
        }
    } else {
        return false;
    }
    sc.Blanks();
    auto mark = [&](std::string_view am) {
        if (sc.i + am.size() <= sc.s.size() && SameText(sc.s.substr(sc.i, am.size()), am)) {
            sc.i += am.size();
            return true;
        }
        return false;
    };
    if (mark("AM") || mark(fs.TimeAMString)) {
        if (h > 12) return false;
        if (h == 12) h = 0;
    } else if (mark("PM") || mark(fs.TimePMString)) {
        if (h > 12) return false;
        if (h < 12) h += 12;
    }
    return TryEncodeTime(h, n, s, ms, out);
}

}  // namespace

bool TryStrToDate(std::string_view s, TDateTime& out, const TFormatSettings& fs) {
    Scanner sc{s};
    TDateTime d;
    if (!ScanDate(sc, d, fs) || !sc.AtEnd()) return false;
    out = d;
    return true;
}

bool TryStrToTime(std::string_view s, TDateTime& out, const TFormatSettings& fs) {
    Scanner sc{s};
    TDateTime t;
    if (!ScanTime(sc, t, fs) || !sc.AtEnd()) return false;
    out = t;
    return true;
}

bool TryStrToDateTime(std::string_view s, TDateTime& out, const TFormatSettings& fs) {
    Scanner sc{s};
    TDateTime d = 0, t = 0;
    if (ScanDate(sc, d, fs)) {
        if (!sc.AtEnd()) {
            if (!ScanTime(sc, t, fs) || !sc.AtEnd()) return false;
        }
        out = d >= 0 ? d + t : d - t;
        return true;
    }
    Scanner only{s};
    if (!ScanTime(only, t, fs) || !only.AtEnd()) return false;
    out = t;
    return true;
}

TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs) {
    TDateTime r;
    if (!TryStrToDateTime(s, r, fs))
        throw EConvertError(Format("'%s' is not a valid date and time", s));
    return r;
}

TDateTime StrToDate(std::string_view s, const TFormatSettings& fs) {
    TDateTime r;
    if (!TryStrToDate(s, r, fs)) throw EConvertError(Format("'%s' is not a valid date", s));
    return r;
}

TDateTime StrToTime(std::string_view s, const TFormatSettings& fs) {
    TDateTime r;
    if (!TryStrToTime(s, r, fs)) throw EConvertError(Format("'%s' is not a valid time", s));
    return r;
}

}  // namespace vcl
