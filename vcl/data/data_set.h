// TDataSet and TField: the class library's data sets over the program's database.
//
// A data set names its database by folder (DatabaseName); every data set of one folder shares
// that folder's connection (platform/sql/shared_database.h), and with it transactions. A data
// set holds its whole result once opened, so no statement stays open between calls and other
// copies of the program are never kept waiting by a cursor.
//
// Navigation follows the class library: after Open the first record is current; Next past the
// last record sets Eof and stays on the last; Eof and Bof are both true on an empty data set.
// Fields read the current record, or the edit buffer while editing or appending.
//
// Bound controls hear of the data set through its data sources (data_source.h): open and close,
// a move of the current record, a change of rows or values. While DisableControls is in force
// they hear nothing; the last EnableControls tells them to catch up. A control that shows many
// records reads them by number (ReadRecord) and never copies them.
//
// A result that may be huge is read on demand instead of whole (keyed_query.h): the data set
// answers the count and reads the rows it is asked for, still with no statement left open.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/sql/database.h"
#include "vcl/data/db_values.h"
#include "vcl/system/exceptions.h"

namespace vcl {

class TDataSource;

// A failed database operation: the engine's message (cp1251), and the statement and its
// parameters when a statement failed, so that the failure can be logged in full.
class EDatabaseError : public Exception {
public:
    struct ParamText {
        std::string name, value;
    };
    explicit EDatabaseError(std::string message, std::string sqlText = {},
                            std::vector<ParamText> params = {}, int errorCode = 0)
        : Exception(std::move(message)),
          SQL(std::move(sqlText)),
          Params(std::move(params)),
          ErrorCode(errorCode) {}
    const char* ClassName() const override { return "EDatabaseError"; }

    std::string SQL;  // cp1251, lines ended by CR LF; empty when no statement was involved
    std::vector<ParamText> Params;
    int ErrorCode;  // the engine's result code, 0 when the failure was the data set's own
};

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// What bound controls are told: the data set opened or closed, the rows or their values
// changed (or the controls were enabled again), the current record moved.
enum TDataEvent : uint8_t { deActiveChanged, deDataSetChange, deDataSetScroll };

struct TFieldDef {
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
};

class TFieldDefs {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const TFieldDef& operator[](int i) const { return items_.at(i); }
    int IndexOf(const std::string& name) const;  // -1 when absent; names ignore case
    const TFieldDef* Find(const std::string& name) const;
    void Clear() { items_.clear(); }
    void Add(TFieldDef def) { items_.push_back(std::move(def)); }

private:
    std::vector<TFieldDef> items_;
};

class TDataSet;

class TField {
public:
    TField(TDataSet& owner, int index, TFieldDef def)
        : owner_(owner), index_(index), def_(std::move(def)) {}

    const std::string& FieldName() const { return def_.Name; }
    TFieldType DataType() const { return def_.DataType; }
    int Size() const { return def_.Size; }
    int Index() const { return index_; }
    TDataSet& DataSet() const { return owner_; }

    bool IsNull() const { return Value().IsNull(); }
    const sql::Value& Value() const;

    std::string AsString() const { return dbvalue::AsString(Value(), def_.DataType); }
    int32_t AsInteger() const { return dbvalue::AsInteger(Value(), def_.DataType); }
    int64_t AsLargeInt() const { return dbvalue::AsLargeInt(Value(), def_.DataType); }
    bool AsBoolean() const { return dbvalue::AsBoolean(Value(), def_.DataType); }
    TDateTime AsDateTime() const { return dbvalue::AsDateTime(Value(), def_.DataType); }
    double AsFloat() const { return dbvalue::AsFloat(Value(), def_.DataType); }

    // Only while the data set is being edited or appended to.
    void SetAsString(const std::string& v) { Set(dbvalue::FromString(v, def_.DataType)); }
    void SetAsInteger(int64_t v) { Set(dbvalue::FromInteger(v, def_.DataType)); }
    void SetAsBoolean(bool v) { Set(dbvalue::FromBoolean(v, def_.DataType)); }
    void SetAsDateTime(TDateTime v) { Set(dbvalue::FromDateTime(v, def_.DataType)); }
    void SetAsFloat(double v) { Set(dbvalue::FromFloat(v, def_.DataType)); }
    void Clear() { Set(sql::Value()); }
    void SetValue(sql::Value v) { Set(std::move(v)); }  // the stored form, unconverted

private:
    void Set(sql::Value v);

    TDataSet& owner_;
    int index_;
    TFieldDef def_;
};

class TDataSet {
public:
    TDataSet() = default;
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    // The folder of the database; only while the data set is closed.
    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const std::string& folder);

    void Open();
    void Close();
    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    TDataSetState State() const { return state_; }

    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof();
    bool Bof();
    bool IsEmpty() { return RecordCount() == 0; }
    int RecordCount();
    int RecNo();  // 1-based; 0 when there is no record
    void SetRecNo(int recNo);

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField& Fields(int i) { return *fields_.at(i); }
    TField* FindField(const std::string& name);
    TField& FieldByName(const std::string& name);  // EDatabaseError when absent
    const TFieldDefs& FieldDefs() const { return fieldDefs_; }

    void Edit();
    void Append();
    void Insert() { Append(); }  // new records always go to the end
    void Post();
    void Cancel();

    // The display of bound controls is frozen while disabled (counted); the last
    // EnableControls brings them back in step.
    void DisableControls() { ++controlsDisabled_; }
    void EnableControls();
    bool ControlsDisabled() const { return controlsDisabled_ > 0; }

    // Until ReadRecord(0), the fields read record `recNo` (1-based) instead of the current one,
    // which does not move: a grid draws each of its rows so. A number past the last record
    // reads nulls. The current record under edit still reads its edit buffer.
    void ReadRecord(int recNo) { readRec_ = recNo > 0 ? recNo : 0; }
    int ReadRecNo() const { return readRec_; }

protected:
    friend class TField;

    // Opens the data set: sets columns_ (with `hidden` leading columns that are no fields) and,
    // unless fetching is left to FetchRows, the rows.
    virtual void InternalOpen() = 0;
    // Reads the rows of a data set that left rowsRead_ false at open.
    virtual void FetchRows() {}
    virtual void InternalClose() {}
    // Whether Edit and Append are allowed.
    virtual bool CanModify() const { return false; }
    // Writes the edit buffer: the whole row in `row` (hidden columns first), `modified` per
    // field.
    virtual void InternalPost(bool inserting, std::vector<sql::Value>& row,
                              const std::vector<bool>& modified);

    // Tells the bound controls, unless they are disabled.
    void DataEvent(TDataEvent event);

    void CheckInactive() const;
    void CheckModifiable() const;
    void CheckActive() const;
    std::shared_ptr<sql::Database> Connection() const;  // the folder's shared connection

    // Set by InternalOpen / FetchRows.
    std::vector<sql::Column> columns_;
    int hidden_ = 0;
    std::vector<sql::Value> cells_;
    bool rowsRead_ = true;
    // Set by InternalOpen of a data set that reads its rows on demand: it holds no cells_ and
    // answers the row count and each row's cells (hidden columns first) itself. Such a data
    // set is read-only.
    bool onDemand_ = false;
    virtual int DemandedRowCount() const { return 0; }
    // 0 <= row < DemandedRowCount(); never null (a row that is gone reads as nulls).
    virtual const sql::Value* DemandedRow(int row) const;

    // The current record as a row index (hidden columns included), -1 when none.
    int CurrentRow() const { return rec_; }
    const sql::Value& Cell(int row, int col) const {
        if (onDemand_) return DemandedRow(row)[col];
        return cells_[static_cast<std::size_t>(row) * columns_.size() + col];
    }

private:
    friend class TDataSource;
    void ReadRows();
    void Moved(int oldRow);
    void CheckBrowse();
    const sql::Value& FieldValue(int index);
    void SetFieldValue(int index, sql::Value v);
    int Rows() const {
        if (onDemand_) return DemandedRowCount();
        return columns_.empty() ? 0 : static_cast<int>(cells_.size() / columns_.size());
    }

    std::string databaseName_;
    TDataSetState state_ = dsInactive;
    TFieldDefs fieldDefs_;
    std::vector<std::unique_ptr<TField>> fields_;
    int rec_ = -1;
    bool eof_ = true, bof_ = true;
    std::vector<sql::Value> buffer_;  // the edited row, hidden columns included
    std::vector<bool> modified_;
    int controlsDisabled_ = 0;
    bool missedOpenClose_ = false;  // while disabled
    int readRec_ = 0;
    std::vector<TDataSource*> sources_;
};

// The program's field type for a declared column type (and, for expressions, the value seen).
TFieldType FieldTypeOf(const sql::Column& column, const sql::Value* firstValue);

// An engine failure as the class library's exception; `sqlText` is the statement (cp1251).
[[noreturn]] void RaiseDatabaseError(const std::exception& e, const std::string& sqlText = {},
                                     std::vector<EDatabaseError::ParamText> params = {});

}  // namespace vcl
