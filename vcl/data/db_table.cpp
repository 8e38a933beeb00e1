#include "vcl/data/db_table.h"

#include "platform/os/cp1251.h"
#include "platform/sql/dialect.h"
#include "platform/sql/lexer.h"

namespace vcl {

sql::Value TKeyValue::For(TFieldType type) const {
    switch (kind_) {
        case Int:
            return dbvalue::FromInteger(int_, type);
        case Bool:
            return dbvalue::FromBoolean(int_ != 0, type);
        case Float:
            return dbvalue::FromFloat(float_, type);
        case String:
            break;
    }
    return dbvalue::FromString(str_, type);
}

void TTable::SetTableName(const std::string& name) {
    CheckInactive();
    tableName_ = name;
}

void TTable::SetIndexFieldNames(const std::string& names) {
    indexFieldNames_ = names;
    Refresh();
}

void TTable::SetFilter(const std::string& filter) {
    filter_ = filter;
    if (filtered_) Refresh();
}

void TTable::SetFiltered(bool filtered) {
    if (filtered_ == filtered) return;
    filtered_ = filtered;
    if (!filter_.empty()) Refresh();
}

void TTable::Refresh() {
    if (!Active()) return;
    if (State() == dsEdit || State() == dsInsert) Post();
    rowsRead_ = false;
    DataEvent(deDataSetChange);
}

std::vector<std::string> TTable::IndexFields() const {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= indexFieldNames_.size()) {
        auto end = indexFieldNames_.find(';', start);
        if (end == std::string::npos) end = indexFieldNames_.size();
        const std::string name = Trim(indexFieldNames_.substr(start, end - start));
        if (!name.empty()) out.push_back(name);
        start = end + 1;
    }
    return out;
}

void TTable::InternalOpen() {
    if (tableName_.empty()) throw EDatabaseError("Missing TableName property");
    db_ = Connection();
    table_ = sql::TableNameOf(os::Cp1251ToUtf8(tableName_));
    std::vector<sql::TableColumn> cols;
    try {
        cols = db_->TableColumns(table_);
    } catch (const std::exception& e) {
        RaiseDatabaseError(e);
    }
    if (cols.empty()) throw EDatabaseError(Format("Table does not exist: %s", tableName_));
    columns_.push_back({"rowid", "INTEGER"});
    hidden_ = 1;
    keyField_ = -1;
    for (std::size_t i = 0; i < cols.size(); ++i) {
        columns_.push_back({cols[i].name, cols[i].declaredType});
        // The one INTEGER PRIMARY KEY stands for the row id and numbers itself.
        if (cols[i].primaryKey && sql::SameName(cols[i].declaredType, "integer"))
            keyField_ = static_cast<int>(i);
    }
    rowsRead_ = false;
}

void TTable::FetchRows() {
    std::string text = "SELECT _rowid_";
    for (std::size_t c = hidden_; c < columns_.size(); ++c)
        text += ", " + sql::QuoteName(columns_[c].name);
    text += " FROM " + sql::QuoteName(table_);
    std::string filter;
    if (filtered_ && !Trim(filter_).empty()) {
        filter = os::Cp1251ToUtf8(filter_);
        text += " WHERE (" + filter + "\n)";
    }
    text += " ORDER BY ";
    const auto index = IndexFields();
    if (index.empty()) text += "_rowid_";
    for (std::size_t i = 0; i < index.size(); ++i)
        text += (i ? ", " : "") + sql::QuoteName(os::Cp1251ToUtf8(index[i]));
    try {
        sql::ResultSet rs = db_->Query(text);
        cells_ = std::move(rs.cells);
    } catch (const std::exception& e) {
        RaiseDatabaseError(e, os::Utf8ToCp1251(text));
    }
}

bool TTable::FindKey(std::initializer_list<TKeyValue> key) {
    CheckActive();
    if (State() == dsEdit || State() == dsInsert) Post();
    const auto index = IndexFields();
    if (index.empty()) throw EDatabaseError("No index currently active");
    if (key.size() > index.size()) throw EDatabaseError("Too many key values");
    std::vector<int> cols;
    std::vector<sql::Value> wanted;
    auto k = key.begin();
    for (std::size_t i = 0; i < key.size(); ++i, ++k) {
        TField& f = FieldByName(index[i]);
        cols.push_back(hidden_ + f.Index());
        wanted.push_back(k->For(f.DataType()));
    }
    for (int r = 0, n = RecordCount(); r < n; ++r) {
        bool match = true;
        for (std::size_t i = 0; i < cols.size() && match; ++i)
            match = dbvalue::SameValue(Cell(r, cols[i]), wanted[i]);
        if (match) {
            SetRecNo(r + 1);
            return true;
        }
    }
    return false;
}

void TTable::InternalPost(bool inserting, std::vector<sql::Value>& row,
                          const std::vector<bool>& modified) {
    std::string text;
    std::vector<sql::Value> values;
    std::string names;
    for (std::size_t i = 0; i < modified.size(); ++i) {
        if (!modified[i]) continue;
        const std::string& name = columns_[hidden_ + i].name;
        values.push_back(row[hidden_ + i]);
        const std::string n = "?" + std::to_string(values.size());
        if (inserting) {
            names += (names.empty() ? "" : ", ") + sql::QuoteName(name);
            text += (text.empty() ? "" : ", ") + n;
        } else {
            text += (text.empty() ? "" : ", ") + sql::QuoteName(name) + " = " + n;
        }
    }
    if (inserting) {
        text = values.empty() ? "INSERT INTO " + sql::QuoteName(table_) + " DEFAULT VALUES"
                              : "INSERT INTO " + sql::QuoteName(table_) + " (" + names +
                                    ") VALUES (" + text + ")";
    } else {
        if (values.empty()) return;
        values.push_back(row[0]);
        text = "UPDATE " + sql::QuoteName(table_) + " SET " + text + " WHERE _rowid_ = ?" +
               std::to_string(values.size());
    }
    try {
        db_->ExecuteRaw(text, values);
    } catch (const std::exception& e) {
        RaiseDatabaseError(e, os::Utf8ToCp1251(text));
    }
    if (inserting) {
        row[0] = sql::Value(db_->LastInsertRowId());
        if (keyField_ >= 0 && !modified[keyField_]) row[hidden_ + keyField_] = row[0];
    }
}

}  // namespace vcl
