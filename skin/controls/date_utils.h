// The date routines of the date edit: its mask and format from the system's short date format,
// and a tolerant reading of typed dates.
//
// A text is first read position by position against the format (each of day, month and year
// from the characters under its letters); when that gives no valid date, up to three numbers
// separated by the date separator are read in the format's order, two of them meaning the
// current year. Two-digit years fall in the window from 60 years before to 39 years after the
// current year. Years run from 1 to 9999.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vcl/system/date_utils.h"

namespace skin {

enum TDateOrder : uint8_t { doMDY, doDMY, doYMD };

// Whether the system's short date format writes four-digit years ("YYYY").
bool FourDigitYearDefault();

int DaysInMonthOf(int year, int month);
// By the first of D, M or Y in the format (ignoring case); DMY without any.
TDateOrder DateOrderOf(std::string_view format);
// "DD/MM/YYYY" and its kin in the order of the system's short date format.
std::string DefaultDateFormatText(bool fourDigitYear);
// "!99/99/9999;1;" and its kin, with `blanks` for the blank character.
std::string DefaultDateEditMask(char blanks, bool fourDigitYear);
bool IsDateTripleValid(int year, int month, int day);
bool IsDateValid(vcl::TDateTime date);
int CurrentYear();
int ExpandTwoDigitYear(int year);
// An empty text is the null date 0.
bool StrToDateByFormat(std::string_view format, std::string_view text, vcl::TDateTime& date);
bool ScanDateByFormat(std::string_view format, std::string_view text, int& day, int& month,
                      int& year);
// `pos` counts from 1.
bool ScanDateFree(std::string_view text, std::string_view format, int& pos, int& day, int& month,
                  int& year);
void ScanDatePart(std::string_view format, std::string_view text, char letter, int defaultValue,
                  int failValue, int& value, int minRun);
// The month whose long name begins with the first `length` characters of `text`; 0 for none.
int MonthFromName(std::string_view text, int length);
bool ScanNumber(std::string_view text, int maxDigits, int& pos, int& number);
bool ScanChar(std::string_view text, int& pos, char c);
void ScanBlanks(std::string_view text, int& pos);

}  // namespace skin
