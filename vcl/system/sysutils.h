// The class library's run-time routines for text, numbers and dates. Text is cp1251 throughout;
// positions are 1-based where the class library's are.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/os/date_time.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"

namespace vcl {

using AnsiString = std::string;
using os::TDateTime;

struct TFormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '\xA0';  // no-break space, as the Russian settings have it
    char DateSeparator = '.';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd.MM.yyyy";
    std::string LongDateFormat = "d MMMM yyyy";
    std::string ShortTimeFormat = "H:mm";
    std::string LongTimeFormat = "H:mm:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string CurrencyString = "\xF0.";  // "р."
    int CurrencyDecimals = 2;
    int TwoDigitYearCenturyWindow = 50;
    std::array<std::string, 12> ShortMonthNames;
    std::array<std::string, 12> LongMonthNames;
    std::array<std::string, 7> ShortDayNames;  // Sunday first
    std::array<std::string, 7> LongDayNames;
    // The locale's first day of the week: 0 Monday .. 6 Sunday.
    int FirstDayOfWeek = 6;

    // The settings of a Russian system, which the program was made for.
    static TFormatSettings Russian();
};

// The process's settings, used where no settings are passed.
extern TFormatSettings FormatSettings;

// Integers.
std::string IntToStr(int64_t v);
std::string IntToHex(int64_t v, int digits);
// Leading blanks, a sign, then decimal digits or "$", "0x", "x" and hex digits; nothing after.
bool TryStrToInt(std::string_view s, int32_t& v);
bool TryStrToInt64(std::string_view s, int64_t& v);
int32_t StrToInt(std::string_view s);  // EConvertError "'%s' is not a valid integer value"
int64_t StrToInt64(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t def);

// Floats.
std::string FloatToStr(double v);                  // 15 significant digits, general format
std::string FloatToStrG(double v, int precision);  // general format with the given digits
bool TryStrToFloat(std::string_view s, double& v, const TFormatSettings& fs = FormatSettings);
double StrToFloat(std::string_view s);  // EConvertError "'%s' is not a valid floating point value"
// Nearest integer, halves to the even neighbour.
int64_t Round(double v);
int64_t Trunc(double v);
double Frac(double v);
// a * b / c rounded to the nearest, halves away from zero; -1 when c is 0 or the result
// does not fit.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Text.
std::string Trim(std::string_view s);  // removes characters up to #32 at both ends
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s);  // ASCII letters only
std::string LowerCase(std::string_view s);
std::string AnsiUpperCase(std::string_view s);  // cp1251 letters, Cyrillic too
std::string AnsiLowerCase(std::string_view s);
int CompareStr(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);  // ignoring ASCII case
bool SameText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);  // ignoring cp1251 case
bool AnsiSameText(std::string_view a, std::string_view b);
// 1-based position of `sub` in `s` (from `offset`), 0 when absent.
int Pos(std::string_view sub, std::string_view s, int offset = 1);
// `count` characters from the 1-based `index`, clipped to the text.
std::string Copy(std::string_view s, int index, int count);
std::string StringOfChar(char c, int count);
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);
std::string QuotedStr(std::string_view s);  // 'it''s'

// The command line: main hands it over once; ParamStr(0) is the program, 1 to ParamCount() the
// parameters, and any other index an empty text.
void SetCommandLine(int argc, const char* const* argv);
int ParamCount();
std::string ParamStr(int index);

// Random numbers, seeded once at start by Randomize.
void Randomize();
void RandSeed(uint32_t seed);
int32_t Random(int32_t range);  // 0 <= result < range
double RandomFloat();           // 0 <= result < 1

}  // namespace vcl
