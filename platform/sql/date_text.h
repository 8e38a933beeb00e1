// Date-times in the database are text "YYYY-MM-DD HH:MM:SS.SSS": SQLite's own form, which sorts
// in time order and works with its date functions. The program counts days since 1899-12-30
// (TDateTime); these routines convert between the two at the field and parameter boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/os/date_time.h"

namespace sql {

// Nothing for a value outside the years 1..9999 (or not a number).
std::optional<std::string> DateTimeToText(os::TDateTime dt);

// Reads "YYYY-MM-DD", optionally followed by " " or "T" and "HH:MM", ":SS" and ".S..." (the
// fraction rounded to milliseconds). Nothing for any other text or an impossible date.
std::optional<os::TDateTime> TextToDateTime(std::string_view text);

// Reads the program's display form "dd.mm.yyyy hh:nn:ss" (day and month of one or two digits,
// the time optional, seconds optional); nothing for any other text or an impossible date.
std::optional<os::TDateTime> DisplayTextToDateTime(std::string_view text);

}  // namespace sql
