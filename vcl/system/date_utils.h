// The class library's date-time routines over TDateTime (days since 1899-12-30).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vcl/system/sysutils.h"

namespace vcl {

bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out);
TDateTime EncodeDate(int year, int month, int day);  // EConvertError on a bad date
TDateTime EncodeTime(int hour, int min, int sec, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec,
                    int& msec);
int DayOfWeek(TDateTime dt);  // 1 = Sunday .. 7 = Saturday

TDateTime Now();   // local time, from the current clock
TDateTime Date();  // today, no time
TDateTime Time();  // the time of day only
TDateTime DateOf(TDateTime dt);
TDateTime TimeOf(TDateTime dt);

TDateTime IncMilliSecond(TDateTime dt, int64_t n = 1);
TDateTime IncSecond(TDateTime dt, int64_t n = 1);
TDateTime IncMinute(TDateTime dt, int64_t n = 1);
TDateTime IncHour(TDateTime dt, int64_t n = 1);
TDateTime IncDay(TDateTime dt, int n = 1);
int64_t MilliSecondsBetween(TDateTime a, TDateTime b);

// Format letters: d dd ddd dddd ddddd dddddd, m mm mmm mmmm (minutes right after an hour),
// yy yyyy, h hh, n nn, s ss, z zzz, t tt, c, am/pm a/p ampm, "/" and ":" for the separators,
// text in quotes as is.
std::string FormatDateTime(std::string_view format, TDateTime dt,
                           const TFormatSettings& fs = FormatSettings);
std::string DateTimeToStr(TDateTime dt, const TFormatSettings& fs = FormatSettings);
std::string DateToStr(TDateTime dt, const TFormatSettings& fs = FormatSettings);
std::string TimeToStr(TDateTime dt, const TFormatSettings& fs = FormatSettings);

// Reads a date in the order of the settings' short date format (day, month, year letters),
// with the date separator, then optionally a time "h:n[:s[.z]]" with an AM/PM mark. A two-digit
// year falls into the century window around the current year.
bool TryStrToDateTime(std::string_view s, TDateTime& out,
                      const TFormatSettings& fs = FormatSettings);
bool TryStrToDate(std::string_view s, TDateTime& out, const TFormatSettings& fs = FormatSettings);
bool TryStrToTime(std::string_view s, TDateTime& out, const TFormatSettings& fs = FormatSettings);
TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs = FormatSettings);
TDateTime StrToDate(std::string_view s, const TFormatSettings& fs = FormatSettings);
TDateTime StrToTime(std::string_view s, const TFormatSettings& fs = FormatSettings);

}  // namespace vcl
