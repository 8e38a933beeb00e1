// TQuery: a statement in the program's SQL with named parameters (":prmInt"), opened for its
// rows or executed. The statement's lines are in SQL; changing them closes the query and makes
// its parameters anew (a parameter that keeps its name keeps its value). Parameters are always
// bound, never pasted into the text; a parameter that was never given a value is an error.
#pragma once

#include <string>
#include <vector>

#include "vcl/data/data_set.h"
#include "vcl/system/string_list.h"

namespace vcl {

class TParam {
public:
    explicit TParam(std::string name) : name_(std::move(name)) {}

    const std::string& Name() const { return name_; }
    TFieldType DataType() const { return type_; }
    bool Bound() const { return bound_; }
    bool IsNull() const { return value_.IsNull(); }
    const sql::Value& Value() const { return value_; }

    std::string AsString() const { return dbvalue::AsString(value_, type_); }
    int32_t AsInteger() const { return dbvalue::AsInteger(value_, type_); }
    bool AsBoolean() const { return dbvalue::AsBoolean(value_, type_); }
    TDateTime AsDateTime() const { return dbvalue::AsDateTime(value_, type_); }
    double AsFloat() const { return dbvalue::AsFloat(value_, type_); }

    void SetAsString(const std::string& v) { Set(ftString, dbvalue::FromString(v, ftString)); }
    void SetAsInteger(int32_t v) { Set(ftInteger, dbvalue::FromInteger(v, ftInteger)); }
    void SetAsSmallInt(int16_t v) { Set(ftSmallint, dbvalue::FromInteger(v, ftSmallint)); }
    void SetAsLargeInt(int64_t v) { Set(ftLargeint, dbvalue::FromInteger(v, ftLargeint)); }
    void SetAsBoolean(bool v) { Set(ftBoolean, dbvalue::FromBoolean(v, ftBoolean)); }
    void SetAsDateTime(TDateTime v) { Set(ftDateTime, dbvalue::FromDateTime(v, ftDateTime)); }
    void SetAsFloat(double v) { Set(ftFloat, dbvalue::FromFloat(v, ftFloat)); }
    void Clear() { Set(type_, sql::Value()); }  // bound, null

private:
    void Set(TFieldType type, sql::Value v) {
        type_ = type;
        value_ = std::move(v);
        bound_ = true;
    }

    std::string name_;
    TFieldType type_ = ftUnknown;
    sql::Value value_;
    bool bound_ = false;
};

class TQuery : public TDataSet {
public:
    TQuery();

    TStringList SQL;  // the statement's lines

    int ParamCount() const { return static_cast<int>(params_.size()); }
    TParam& Params(int i) { return params_.at(i); }
    TParam* FindParam(const std::string& name);
    TParam& ParamByName(const std::string& name);  // EDatabaseError when absent

    // Runs a statement that returns no rows.
    void ExecSQL();
    int RowsAffected() const { return rowsAffected_; }

    // The parameters as text, for error messages and the log.
    std::vector<EDatabaseError::ParamText> ParamTexts() const;

protected:
    void InternalOpen() override;
    // The parameters' values; EDatabaseError when one was never given a value.
    sql::Params Bindings() const;

private:
    void SQLChanged();

    std::vector<TParam> params_;
    int rowsAffected_ = -1;
};

}  // namespace vcl
