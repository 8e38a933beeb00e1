#include "skin/controls/date_utils.h"

#include <cctype>

#include "vcl/system/sysutils.h"

namespace skin {

using vcl::FormatSettings;

bool FourDigitYearDefault() {
    static const bool four =
        vcl::UpperCase(FormatSettings.ShortDateFormat).find("YYYY") != std::string::npos;
    return four;
}

int DaysInMonthOf(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return days[month - 1] + (month == 2 && leap ? 1 : 0);
}

TDateOrder DateOrderOf(std::string_view format) {
    for (char c : format) {
        switch (std::toupper(static_cast<unsigned char>(c))) {
            case 'D':
                return doDMY;
            case 'M':
                return doMDY;
            case 'Y':
                return doYMD;
            default:
                break;
        }
    }
    return doDMY;
}

std::string DefaultDateFormatText(bool fourDigitYear) {
    const std::string y = fourDigitYear ? "YYYY" : "YY";
    switch (DateOrderOf(FormatSettings.ShortDateFormat)) {
        case doMDY:
            return "MM/DD/" + y;
        case doYMD:
            return y + "/MM/DD";
        case doDMY:
        default:
            return "DD/MM/" + y;
    }
}

std::string DefaultDateEditMask(char blanks, bool fourDigitYear) {
    std::string mask = "!99/99/99;1;";
    if (fourDigitYear)
        mask = DateOrderOf(FormatSettings.ShortDateFormat) == doYMD ? "!9999/99/99;1;"
                                                                    : "!99/99/9999;1;";
    return mask + blanks;
}

bool IsDateTripleValid(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonthOf(year, month);
}

bool IsDateValid(vcl::TDateTime date) {
    // Years 1 to 9999 only, and nothing else (nor NaN) is decoded: a bad stored value is no
    // date rather than an overflow.
    static const double first = vcl::EncodeDate(1, 1, 1),
                        pastLast = vcl::EncodeDate(9999, 12, 31) + 1;
    if (!(date > first - 1 && date < pastLast)) return false;
    try {
        int y, m, d;
        vcl::DecodeDate(date, y, m, d);
        return IsDateTripleValid(y, m, d);
    } catch (...) {
        return false;
    }
}

int CurrentYear() {
    int y, m, d;
    vcl::DecodeDate(vcl::Date(), y, m, d);
    return y;
}

int ExpandTwoDigitYear(int year) {
    if (year >= 100) return year;
    const int pivot = CurrentYear() - 60;
    year += pivot / 100 * 100;
    if (pivot > year) year += 100;
    return year;
}

bool StrToDateByFormat(std::string_view format, std::string_view text, vcl::TDateTime& date) {
    if (text.empty()) {
        date = 0;
        return true;
    }
    try {
        int d, m, y;
        if (!ScanDateByFormat(format, text, d, m, y)) return false;
        date = vcl::EncodeDate(y, m, d);
        return true;
    } catch (...) {
        return false;
    }
}

void ScanDatePart(std::string_view format, std::string_view text, char letter, int defaultValue,
                  int failValue, int& value, int minRun) {
    value = defaultValue;
    int n = static_cast<int>(format.size());
    if (text.size() > format.size()) return;
    if (text.size() < format.size()) n = static_cast<int>(text.size());
    const std::string upper = vcl::UpperCase(format);
    const char ch = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    const std::size_t at = upper.find(std::string(static_cast<std::size_t>(minRun), ch));
    if (at == std::string::npos) return;
    std::string got;
    if (static_cast<int>(format.size()) >= minRun && format.size() < 20) {
        for (std::size_t i = at;
             i < upper.size() && upper[i] == ch && static_cast<int>(i) < n && got.size() < 20; ++i)
            if (text[i] != ' ') got += text[i];
    }
    if (got.empty()) {
        value = failValue;
    } else if (minRun < 2) {
        int32_t v;
        value = vcl::TryStrToInt(got, v) ? v : failValue;
    } else {
        value = MonthFromName(got, static_cast<int>(got.size()));
        if (value == 0) value = failValue;
    }
}

int MonthFromName(std::string_view text, int length) {
    const std::size_t l = static_cast<std::size_t>(std::max(length, 0));
    for (int m = 1; m <= 12; ++m) {
        const std::string& name = FormatSettings.LongMonthNames[static_cast<std::size_t>(m - 1)];
        if (name.empty()) continue;
        if (vcl::AnsiSameText(name.substr(0, l), text.substr(0, l))) return m;
    }
    return 0;
}

bool ScanDateByFormat(std::string_view format, std::string_view text, int& day, int& month,
                      int& year) {
    ScanDatePart(format, text, 'm', 0, -1, month, 3);
    if (month == 0) ScanDatePart(format, text, 'm', 0, -1, month, 1);
    ScanDatePart(format, text, 'd', 1, -1, day, 1);
    ScanDatePart(format, text, 'y', CurrentYear(), -1, year, 1);
    // A year that could not be read stays unreadable; it is not taken for a two-digit one.
    if (year >= 0) year = ExpandTwoDigitYear(year);
    if (month > 0 && day > 0 && IsDateTripleValid(year, month, day)) return true;
    int pos = 1;
    return ScanDateFree(text, format, pos, day, month, year);
}

void ScanBlanks(std::string_view text, int& pos) {
    while (pos >= 1 && pos <= static_cast<int>(text.size()) &&
           text[static_cast<std::size_t>(pos - 1)] == ' ')
        ++pos;
}

bool ScanChar(std::string_view text, int& pos, char c) {
    ScanBlanks(text, pos);
    if (pos < 1 || pos > static_cast<int>(text.size()) ||
        text[static_cast<std::size_t>(pos - 1)] != c)
        return false;
    ++pos;
    return true;
}

bool ScanNumber(std::string_view text, int maxDigits, int& pos, int& number) {
    ScanBlanks(text, pos);
    int n = 0, digits = 0, p = pos;
    while (p >= 1 && p <= static_cast<int>(text.size()) && digits < maxDigits && n < 1000) {
        const char c = text[static_cast<std::size_t>(p - 1)];
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
        ++digits;
        ++p;
    }
    if (digits == 0) return false;
    pos = p;
    number = n;
    return true;
}

bool ScanDateFree(std::string_view text, std::string_view format, int& pos, int& day, int& month,
                  int& year) {
    day = month = year = 0;
    const TDateOrder order = DateOrderOf(format);
    const char sep = FormatSettings.DateSeparator;
    int n1, n2, n3;
    if (!ScanNumber(text, 0x7FFF, pos, n1) || !ScanChar(text, pos, sep) ||
        !ScanNumber(text, 0x7FFF, pos, n2))
        return false;
    if (ScanChar(text, pos, sep)) {
        if (!ScanNumber(text, 0x7FFF, pos, n3)) return false;
        switch (order) {
            case doMDY:
                month = n1, day = n2, year = n3;
                break;
            case doDMY:
                day = n1, month = n2, year = n3;
                break;
            case doYMD:
                year = n1, month = n2, day = n3;
                break;
        }
        year = ExpandTwoDigitYear(year);
    } else {
        year = CurrentYear();
        if (order == doDMY)
            day = n1, month = n2;
        else
            month = n1, day = n2;
    }
    ScanChar(text, pos, sep);
    ScanBlanks(text, pos);
    return IsDateTripleValid(year, month, day) && pos > static_cast<int>(text.size());
}

}  // namespace skin
