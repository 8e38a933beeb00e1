// The program's SQL dialect, translated into SQLite's in this one place.
//
// The program's statements were written for an engine with a few habits SQLite lacks:
//  - booleans compared or assigned as the text literals 'true'/'false' (SQLite would compare
//    or store the text); bare true/false work in both but are turned into 1/0 alike;
//  - a table-qualified column after ALTER TABLE ... ADD/DROP and as an UPDATE ... SET target
//    (List."Active"), which SQLite refuses;
//  - date-time literals in the display form 'dd.mm.yyyy hh:nn:ss', while the column holds
//    'YYYY-MM-DD HH:MM:SS.SSS' text;
//  - named parameters that ignore case; they become numbered ones, so a name used twice binds
//    one value in both places.
// Literals are only rewritten where they stand beside a column of the right kind, never inside
// other text, so a user's TextSMS='true' stays text. A statement followed by a second one is
// refused rather than cut, and unnamed parameters are refused rather than bound to null.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sql/column_types.h"

namespace sql {

// The kind of the column of that (folded) name in the database; asked only where a literal
// stands beside a name.
using KindLookup = std::function<ColumnKind(const std::string& foldedName)>;

struct Translation {
    std::string sql;                  // SQLite's dialect, parameters as ?1, ?2, ...
    std::vector<std::string> params;  // ?N is params[N-1]; names as first written, no ':'
};

// Throws sql::Error for a second statement or an unnamed parameter.
Translation Translate(std::string_view sql, const KindLookup& kindOf);

// The distinct parameter names of a statement in the order of first use (no ':').
std::vector<std::string> ParameterNames(std::string_view sql);

// A table named by its file ("NumberLog.DB") is the table of that name.
std::string TableNameOf(std::string_view name);

// A name quoted for SQLite: "na""me".
std::string QuoteName(std::string_view name);

}  // namespace sql
