#include "platform/sql/database.h"

#include <sqlite3.h>

#include "platform/sql/dialect.h"
#include "platform/sql/error.h"
#include "platform/sql/functions.h"
#include "platform/sql/lexer.h"

namespace sql {

namespace {

Value ColumnValue(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER:
            return Value(static_cast<int64_t>(sqlite3_column_int64(stmt, i)));
        case SQLITE_FLOAT:
            return Value(sqlite3_column_double(stmt, i));
        case SQLITE_NULL:
            return Value();
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            return Value(
                std::string(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))));
        }
    }
}

int Bind(sqlite3_stmt* stmt, int i, const Value& v) {
    switch (v.type()) {
        case Value::Type::Null:
            return sqlite3_bind_null(stmt, i);
        case Value::Type::Integer:
            return sqlite3_bind_int64(stmt, i, v.Integer());
        case Value::Type::Real:
            return sqlite3_bind_double(stmt, i, v.Real());
        case Value::Type::Text:
            return sqlite3_bind_text(stmt, i, v.Text().data(), static_cast<int>(v.Text().size()),
                                     SQLITE_TRANSIENT);
    }
    return SQLITE_MISUSE;
}

bool OnlySemicolons(std::string_view tail) {
    for (const Token& t : Tokenize(tail))
        if (t.kind != TokenKind::Space && t.text != ";") return false;
    return true;
}

}  // namespace

Database::Database(const std::string& file) : file_(file) {
    const int rc =
        sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error(message + ": " + file, rc);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    RegisterFunctions(db_);
    try {
        QueryRaw("PRAGMA journal_mode=WAL");
        ExecuteRaw("PRAGMA synchronous=NORMAL");
    } catch (...) {
        Disconnect();
        throw;
    }
}

Database::~Database() {
    Disconnect();
}

void Database::Disconnect() {
    for (auto& kept : cache_)
        sqlite3_finalize(kept.second);
    cache_.clear();
    sqlite3_close(db_);
    db_ = nullptr;
}

void Database::Fail(int code) {
    throw Error(sqlite3_errmsg(db_), code);
}

// Statements are kept prepared for their next use: the program runs the same few statements
// over and over (a journal row per message, a list row per number). A kept statement is reset
// after every use, so it holds no lock and no read snapshot between calls.
sqlite3_stmt* Database::Prepare(std::string_view sql) {
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
        if (it->first != sql) continue;
        cache_.splice(cache_.begin(), cache_, it);
        return it->second;
    }
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, &tail);
    if (rc != SQLITE_OK) Fail(rc);
    if (!stmt) throw Error("No SQL statement available");
    const std::size_t used = static_cast<std::size_t>(tail - sql.data());
    if (!OnlySemicolons(sql.substr(used))) {
        sqlite3_finalize(stmt);
        throw Error("Only one statement can be run at a time");
    }
    cache_.emplace_front(std::string(sql), stmt);
    if (cache_.size() > kKeptStatements) {
        sqlite3_finalize(cache_.back().second);
        cache_.pop_back();
    }
    return stmt;
}

ResultSet Database::Run(std::string_view sql, const std::vector<Value>& values, bool wantRows,
                        int64_t* changes) {
    sqlite3_stmt* stmt = Prepare(sql);
    const ResetGuard reset{stmt};
    BindAll(stmt, values);
    ResultSet rs;
    int rc = sqlite3_step(stmt);
    // The columns are read after the first step: a kept statement is prepared anew inside it
    // when the schema changed, and "select *" may then have other columns.
    const int cols = sqlite3_column_count(stmt);
    if (wantRows) {
        for (int i = 0; i < cols; ++i) {
            const char* decl = sqlite3_column_decltype(stmt, i);
            rs.columns.push_back({sqlite3_column_name(stmt, i), decl ? decl : ""});
        }
    }
    for (; rc == SQLITE_ROW; rc = sqlite3_step(stmt)) {
        if (!wantRows) continue;
        for (int i = 0; i < cols; ++i)
            rs.cells.push_back(ColumnValue(stmt, i));
    }
    if (rc != SQLITE_DONE) Fail(rc);
    if (changes) *changes = sqlite3_changes64(db_);
    return rs;
}

void Database::BindAll(sqlite3_stmt* stmt, const std::vector<Value>& values) {
    const int count = sqlite3_bind_parameter_count(stmt);
    for (int i = 1; i <= count; ++i) {
        if (static_cast<std::size_t>(i) > values.size()) break;  // the rest stay null
        if (const int rc = Bind(stmt, i, values[i - 1]); rc != SQLITE_OK) Fail(rc);
    }
}

Database::ResetGuard::~ResetGuard() {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

namespace {

// The values of a translated statement's parameters, in their numbered order.
std::vector<Value> Arrange(const Translation& t, const Params& params) {
    std::vector<Value> values;
    for (const std::string& name : t.params) {
        const Param* found = nullptr;
        for (const Param& p : params)
            if (SameName(p.name, name)) found = &p;
        if (!found) throw Error("No value for parameter '" + name + "'");
        values.push_back(found->value);
    }
    return values;
}

}  // namespace

ResultSet Database::Query(std::string_view sql, const Params& params) {
    const Translation t = Translate(sql, [this](const std::string& n) { return KindOfColumn(n); });
    return Run(t.sql, Arrange(t, params), true, nullptr);
}

int64_t Database::Execute(std::string_view sql, const Params& params) {
    const Translation t = Translate(sql, [this](const std::string& n) { return KindOfColumn(n); });
    int64_t changes = 0;
    Run(t.sql, Arrange(t, params), false, &changes);
    return changes;
}

std::vector<int64_t> Database::QueryIntegers(std::string_view sql, const Params& params) {
    std::vector<int64_t> out;
    QueryIntegers(sql, params, out);
    return out;
}

void Database::QueryIntegers(std::string_view sql, const Params& params,
                             std::vector<int64_t>& out) {
    const Translation t = Translate(sql, [this](const std::string& n) { return KindOfColumn(n); });
    sqlite3_stmt* stmt = Prepare(t.sql);
    const ResetGuard reset{stmt};
    BindAll(stmt, Arrange(t, params));
    const std::size_t held = out.size();
    try {
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (sqlite3_column_type(stmt, 0) != SQLITE_INTEGER)
                throw Error("The first column holds a value that is not an integer");
            out.push_back(sqlite3_column_int64(stmt, 0));
        }
        if (rc != SQLITE_DONE) Fail(rc);
    } catch (...) {
        out.resize(held);
        throw;
    }
}

ResultSet Database::QueryRaw(std::string_view sql, const std::vector<Value>& values) {
    return Run(sql, values, true, nullptr);
}

int64_t Database::ExecuteRaw(std::string_view sql, const std::vector<Value>& values) {
    int64_t changes = 0;
    Run(sql, values, false, &changes);
    return changes;
}

int64_t Database::LastInsertRowId() const {
    return sqlite3_last_insert_rowid(db_);
}

void Database::SetBusyTimeout(int ms) {
    sqlite3_busy_timeout(db_, ms);
}

void Database::Begin() {
    if (InTransaction()) throw Error("A transaction is already active");
    ExecuteRaw("BEGIN IMMEDIATE");
}

void Database::Commit() {
    if (!InTransaction()) throw Error("No transaction is active");
    ExecuteRaw("COMMIT");
}

void Database::Rollback() {
    if (InTransaction()) ExecuteRaw("ROLLBACK");
}

bool Database::InTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

bool Database::TableExists(const std::string& table) {
    return !TableColumns(table).empty();
}

std::vector<TableColumn> Database::TableColumns(const std::string& table) {
    const ResultSet rs =
        QueryRaw("SELECT name, type, pk FROM pragma_table_info(?1)", {Value(table)});
    std::vector<TableColumn> cols;
    for (std::size_t r = 0; r < rs.RowCount(); ++r) {
        const Value& pk = rs.At(r, 2);
        cols.push_back({rs.At(r, 0).Text(), rs.At(r, 1).IsNull() ? "" : rs.At(r, 1).Text(),
                        pk.type() == Value::Type::Integer && pk.Integer() > 0});
    }
    return cols;
}

ColumnKind Database::KindOfColumn(const std::string& foldedName) {
    const ResultSet v = QueryRaw("PRAGMA schema_version");
    const int64_t version = v.RowCount() ? v.At(0, 0).Integer() : 0;
    if (version != kindsVersion_) {
        kinds_.clear();
        std::map<std::string, bool> mixed;
        const ResultSet tables = QueryRaw(
            "SELECT p.name, p.type FROM sqlite_master m, pragma_table_info(m.name) p "
            "WHERE m.type = 'table'");
        for (std::size_t r = 0; r < tables.RowCount(); ++r) {
            const std::string name = FoldName(tables.At(r, 0).Text());
            const Value& type = tables.At(r, 1);
            const ColumnKind kind =
                KindOf(ClassifyDeclaredType(type.IsNull() ? "" : type.Text()).type);
            const auto [it, fresh] = kinds_.emplace(name, kind);
            if (!fresh && it->second != kind) mixed[name] = true;
        }
        for (auto& [name, _] : mixed)
            kinds_[name] = ColumnKind::Other;
        kindsVersion_ = version;
    }
    const auto it = kinds_.find(foldedName);
    return it == kinds_.end() ? ColumnKind::Other : it->second;
}

Transaction::~Transaction() {
    if (done_) return;
    try {
        db_.Rollback();
    } catch (...) {
        // The connection reports the failure on its next use; a destructor must not throw.
    }
}

void Transaction::Commit() {
    db_.Commit();
    done_ = true;
}

}  // namespace sql
