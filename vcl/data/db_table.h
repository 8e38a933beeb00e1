// TTable: one table of the database, in the order of IndexFieldNames (else its key order),
// narrowed by Filter while Filtered. Records are appended and edited through the fields and
// written by Post; an appended record's auto-increment key reads back at once.
//
// The filter is an expression over the table's fields in the program's dialect, such as
// "number='123' and MR=5". Opening reads only the layout; the rows are read when first needed,
// so appending to a big table does not read it.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "vcl/data/data_set.h"

namespace vcl {

// One value of a FindKey key.
class TKeyValue {
public:
    TKeyValue(int v) : kind_(Int), int_(v) {}
    TKeyValue(int64_t v) : kind_(Int), int_(v) {}
    TKeyValue(bool v) : kind_(Bool), int_(v) {}
    TKeyValue(double v) : kind_(Float), float_(v) {}
    TKeyValue(const char* v) : kind_(String), str_(v) {}
    TKeyValue(std::string v) : kind_(String), str_(std::move(v)) {}

    sql::Value For(TFieldType type) const;  // the stored form for a field of the type

private:
    enum Kind { Int, Bool, Float, String } kind_;
    int64_t int_ = 0;
    double float_ = 0;
    std::string str_;
};

class TTable : public TDataSet {
public:
    // "NumberLog.DB" names the table NumberLog. Only while closed.
    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& name);

    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& names);  // "Name;ID"

    // Changing the filter of an open table reads its rows again.
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& filter);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool filtered);

    // Makes current the first record whose index fields equal the key; false, with the current
    // record unchanged, when there is none.
    bool FindKey(std::initializer_list<TKeyValue> key);

protected:
    void InternalOpen() override;
    void FetchRows() override;
    void InternalClose() override { db_.reset(); }
    bool CanModify() const override { return true; }
    void InternalPost(bool inserting, std::vector<sql::Value>& row,
                      const std::vector<bool>& modified) override;

private:
    std::vector<std::string> IndexFields() const;
    void Refresh();

    std::string tableName_, indexFieldNames_, filter_;
    bool filtered_ = false;
    std::shared_ptr<sql::Database> db_;
    std::string table_;  // the table's name in the database
    int keyField_ = -1;  // the auto-increment key among the fields
};

}  // namespace vcl
