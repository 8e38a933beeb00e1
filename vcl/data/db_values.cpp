#include "vcl/data/db_values.h"

#include <cmath>

#include "platform/os/cp1251.h"
#include "platform/sql/date_text.h"
#include "vcl/system/date_utils.h"

namespace vcl::dbvalue {

namespace {

bool IsText(TFieldType t) {
    return t == ftString || t == ftMemo || t == ftBlob || t == ftUnknown;
}
bool IsInteger(TFieldType t) {
    return t == ftSmallint || t == ftInteger || t == ftLargeint || t == ftAutoInc;
}
bool IsDateTime(TFieldType t) {
    return t == ftDate || t == ftTime || t == ftDateTime;
}

std::string Cp(const sql::Value& v) {
    return os::Utf8ToCp1251(v.Text());
}

bool FitsInt64(double d) {
    return d >= -9.2e18 && d <= 9.2e18;
}

bool TextToBoolean(const std::string& text, bool& out) {
    const std::string t = Trim(text);
    int64_t n = 0;
    if (t.empty()) {
        out = false;
    } else if (TryStrToInt64(t, n)) {
        out = n != 0;
    } else if (t[0] == 'T' || t[0] == 't' || t[0] == 'Y' || t[0] == 'y') {
        out = true;
    } else if (t[0] == 'F' || t[0] == 'f' || t[0] == 'N' || t[0] == 'n') {
        out = false;
    } else {
        return false;
    }
    return true;
}

// Numbers in stored text use ".", as SQLite writes them; the program's own form is also read.
bool TextToFloat(const std::string& text, double& out) {
    TFormatSettings point = FormatSettings;
    point.DecimalSeparator = '.';
    return TryStrToFloat(text, out, point) || TryStrToFloat(text, out, FormatSettings);
}

// A value that is not text as a number; null is 0.
double NumberOf(const sql::Value& v) {
    if (v.type() == sql::Value::Type::Integer) return static_cast<double>(v.Integer());
    if (v.type() == sql::Value::Type::Real) return v.Real();
    return 0;
}

}  // namespace

std::string AsString(const sql::Value& v, TFieldType type) {
    if (v.IsNull()) return {};
    if (type == ftBoolean) return AsBoolean(v, type) ? "True" : "False";
    if (type == ftDateTime) return DateTimeToStr(AsDateTime(v, type));
    if (type == ftDate) return DateToStr(AsDateTime(v, type));
    if (type == ftTime) return TimeToStr(AsDateTime(v, type));
    switch (v.type()) {
        case sql::Value::Type::Integer:
            return IntToStr(v.Integer());
        case sql::Value::Type::Real:
            return FloatToStr(v.Real());
        default:
            return Cp(v);
    }
}

int64_t AsLargeInt(const sql::Value& v, TFieldType) {
    switch (v.type()) {
        case sql::Value::Type::Null:
            return 0;
        case sql::Value::Type::Integer:
            return v.Integer();
        case sql::Value::Type::Real:
            if (!FitsInt64(v.Real()))
                throw EConvertError(
                    Format("'%s' is not a valid integer value", FloatToStr(v.Real())));
            return Round(v.Real());
        case sql::Value::Type::Text: {
            int64_t n = 0;
            if (!TryStrToInt64(Trim(Cp(v)), n))
                throw EConvertError(Format("'%s' is not a valid integer value", Cp(v)));
            return n;
        }
    }
    return 0;
}

int32_t AsInteger(const sql::Value& v, TFieldType type) {
    const int64_t n = AsLargeInt(v, type);
    if (n < INT32_MIN || n > INT32_MAX)
        throw EConvertError(Format("'%s' is not a valid integer value", IntToStr(n)));
    return static_cast<int32_t>(n);
}

bool AsBoolean(const sql::Value& v, TFieldType) {
    switch (v.type()) {
        case sql::Value::Type::Null:
            return false;
        case sql::Value::Type::Integer:
            return v.Integer() != 0;
        case sql::Value::Type::Real:
            return v.Real() != 0;
        case sql::Value::Type::Text: {
            bool b = false;
            if (!TextToBoolean(Cp(v), b))
                throw EConvertError(Format("'%s' is not a valid boolean value", Cp(v)));
            return b;
        }
    }
    return false;
}

TDateTime AsDateTime(const sql::Value& v, TFieldType) {
    if (v.type() != sql::Value::Type::Text) return NumberOf(v);
    if (auto dt = sql::TextToDateTime(v.Text())) return *dt;
    TDateTime dt = 0;
    if (TryStrToDateTime(Cp(v), dt)) return dt;
    throw EConvertError(Format("'%s' is not a valid date and time", Cp(v)));
}

double AsFloat(const sql::Value& v, TFieldType type) {
    if (v.type() != sql::Value::Type::Text) return NumberOf(v);
    if (IsDateTime(type)) return AsDateTime(v, type);
    double d = 0;
    if (!TextToFloat(Cp(v), d))
        throw EConvertError(Format("'%s' is not a valid floating point value", Cp(v)));
    return d;
}

sql::Value FromString(const std::string& s, TFieldType type) {
    if (IsText(type)) return sql::Value(os::Cp1251ToUtf8(s));
    if (Trim(s).empty()) return sql::Value();  // an empty text clears a typed field
    if (type == ftBoolean) {
        bool b = false;
        if (!TextToBoolean(s, b))
            throw EConvertError(Format("'%s' is not a valid boolean value", s));
        return FromBoolean(b, type);
    }
    if (IsInteger(type)) return sql::Value(StrToInt64(Trim(s)));
    if (IsDateTime(type)) return FromDateTime(StrToDateTime(s), type);
    double d = 0;
    if (!TextToFloat(s, d))
        throw EConvertError(Format("'%s' is not a valid floating point value", s));
    return sql::Value(d);
}

sql::Value FromInteger(int64_t i, TFieldType type) {
    if (type == ftBoolean) return sql::Value(int64_t{i != 0});
    if (IsDateTime(type)) return FromDateTime(static_cast<double>(i), type);
    if (type == ftFloat) return sql::Value(static_cast<double>(i));
    if (IsText(type) && type != ftUnknown) return sql::Value(IntToStr(i));
    return sql::Value(i);
}

sql::Value FromBoolean(bool b, TFieldType type) {
    if (IsText(type) && type != ftUnknown) return sql::Value(std::string(b ? "True" : "False"));
    return sql::Value(int64_t{b});
}

sql::Value FromDateTime(TDateTime dt, TFieldType type) {
    if (type == ftFloat) return sql::Value(dt);
    if (IsText(type) && type != ftUnknown) return sql::Value(os::Cp1251ToUtf8(DateTimeToStr(dt)));
    const auto text = sql::DateTimeToText(dt);
    if (!text) throw EConvertError(Format("'%s' is not a valid date and time", FloatToStr(dt)));
    return sql::Value(*text);
}

sql::Value FromFloat(double d, TFieldType type) {
    if (!std::isfinite(d)) throw EConvertError("Invalid floating point value");
    if (IsInteger(type)) {
        if (!FitsInt64(d))
            throw EConvertError(Format("'%s' is not a valid integer value", FloatToStr(d)));
        return sql::Value(Round(d));
    }
    if (type == ftBoolean) return sql::Value(int64_t{d != 0});
    if (IsDateTime(type)) return FromDateTime(d, type);
    if (IsText(type) && type != ftUnknown) return sql::Value(FloatToStr(d));
    return sql::Value(d);
}

bool SameValue(const sql::Value& a, const sql::Value& b) {
    using T = sql::Value::Type;
    const bool an = a.type() == T::Integer || a.type() == T::Real;
    const bool bn = b.type() == T::Integer || b.type() == T::Real;
    if (an && bn) {
        if (a.type() == T::Integer && b.type() == T::Integer) return a.Integer() == b.Integer();
        const double x = a.type() == T::Integer ? static_cast<double>(a.Integer()) : a.Real();
        const double y = b.type() == T::Integer ? static_cast<double>(b.Integer()) : b.Real();
        return x == y;
    }
    return a == b;
}

}  // namespace vcl::dbvalue
