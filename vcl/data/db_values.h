// Field and parameter values: the database's stored form (sql::Value, text in UTF-8, date-times
// as "YYYY-MM-DD HH:MM:SS.SSS", booleans as 1/0) and the program's typed views of it (cp1251
// text, integers, booleans, TDateTime). Fields and parameters convert here, in one place.
#pragma once

#include <cstdint>
#include <string>

#include "platform/sql/value.h"
#include "vcl/system/sysutils.h"

namespace vcl {

enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftLargeint,
    ftBoolean,
    ftFloat,
    ftDate,
    ftTime,
    ftDateTime,
    ftAutoInc,
    ftMemo,
    ftBlob,
};

namespace dbvalue {

// Reading. Null reads as "", 0, false. A value that cannot be read as the type raises
// EConvertError.
std::string AsString(const sql::Value& v, TFieldType type);
int32_t AsInteger(const sql::Value& v, TFieldType type);
int64_t AsLargeInt(const sql::Value& v, TFieldType type);
bool AsBoolean(const sql::Value& v, TFieldType type);
TDateTime AsDateTime(const sql::Value& v, TFieldType type);
double AsFloat(const sql::Value& v, TFieldType type);

// Writing: the stored form of a value for a column of the type. EConvertError when the value
// does not fit the type (text that is no number for an integer column, a date beyond 9999).
sql::Value FromString(const std::string& s, TFieldType type);
sql::Value FromInteger(int64_t i, TFieldType type);
sql::Value FromBoolean(bool b, TFieldType type);
sql::Value FromDateTime(TDateTime dt, TFieldType type);
sql::Value FromFloat(double d, TFieldType type);

// Numbers compare as numbers whatever their storage, text byte for byte.
bool SameValue(const sql::Value& a, const sql::Value& b);

}  // namespace dbvalue
}  // namespace vcl
