// The SQL functions the program relies on, registered on every connection.
//
// upper() folds exactly like the program's own upper-casing of cp1251 text (Cyrillic, Ё and the
// other letters of the code page included), so upper(Name)=upper(:prmStr) finds a list whichever
// case it was typed in. SQLite's own upper() knows ASCII only.
//
// like() is case-sensitive for every letter, Latin and Cyrillic alike, as the "=" beside it in
// the same filters is: "%" matches any run of characters, "_" exactly one character. SQLite's
// own LIKE would ignore the case of ASCII letters only, which would make "abc" find "ABC" but
// not "абв" find "АБВ". upper() is the one way to compare without case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace sql {

void RegisterFunctions(sqlite3* db);

// The functions' rules on UTF-8 text, for callers and tests.
std::string UpperUtf8(std::string_view text);
bool LikeMatch(std::string_view pattern, std::string_view text,
               std::optional<char32_t> escape = std::nullopt);

}  // namespace sql
