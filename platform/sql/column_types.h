// What a column's declared type means to the program. SQLite keeps only an affinity, so the
// declared text ("BOOLEAN", "DATETIME", "VARCHAR(20)", "BLOB(160,1)") is the one place where a
// column tells that it holds booleans, date-times or a memo.
#pragma once

#include <string_view>

namespace sql {

enum class DeclaredType {
    Unknown,  // no declared type (an expression)
    Integer,
    SmallInt,
    Boolean,  // INTEGER 0/1
    Real,
    DateTime,  // text "YYYY-MM-DD HH:MM:SS.SSS"
    Date,
    Time,
    String,  // CHAR(n), VARCHAR(n)
    Memo,    // TEXT, MEMO, CLOB, and the memo blob BLOB(n,1)
    Blob,
};

struct ColumnType {
    DeclaredType type = DeclaredType::Unknown;
    int size = 0;  // the declared width of a string, 0 when none
};

ColumnType ClassifyDeclaredType(std::string_view declared);

// How the dialect translation treats a column: literals compared with a boolean column become
// 1/0, date literals compared with a date-time column become its stored text.
enum class ColumnKind { Other, Boolean, DateTime };

ColumnKind KindOf(DeclaredType type);

}  // namespace sql
