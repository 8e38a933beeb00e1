// One connection to the program's database file.
//
// Set-up for many copies of the program on one file: WAL, so that readers never block the
// writer; a busy timeout, so that a writer waits for another copy's write instead of failing;
// synchronous=NORMAL, which keeps the file consistent on a crash and costs no disk flush per
// journal row. Every statement runs to its end and is reset before the call returns (the whole
// result is fetched), so no statement holds a lock between calls.
//
// Query and Execute take the program's dialect (see dialect.h) with named parameters; the Raw
// variants take SQLite's own with numbered ones, for statements the program builds itself.
// Text is UTF-8 here. Failures throw sql::Error with the engine's message. A connection serves
// one thread at a time (the program's database work is all on the GUI thread).
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sql/column_types.h"
#include "platform/sql/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace sql {

struct Param {
    std::string name;  // without ':'; compared without regard to case
    Value value;
};
using Params = std::vector<Param>;

struct Column {
    std::string name;
    std::string declaredType;  // empty for an expression
};

struct ResultSet {
    std::vector<Column> columns;
    std::vector<Value> cells;  // row by row

    std::size_t RowCount() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
    const Value& At(std::size_t row, std::size_t col) const {
        return cells[row * columns.size() + col];
    }
};

struct TableColumn {
    std::string name;
    std::string declaredType;
    bool primaryKey = false;
};

class Database {
public:
    static constexpr int kBusyTimeoutMs = 20000;
    static constexpr int kBusyCode = 5;  // SQLite's result code for a lock another connection holds

    // Opens the file, creating it when missing (its folder must exist).
    explicit Database(const std::string& file);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& File() const { return file_; }

    ResultSet Query(std::string_view sql, const Params& params = {});
    // The first column of every row, for results too big to hold as values (a million keys);
    // a value that is not an integer fails the query.
    std::vector<int64_t> QueryIntegers(std::string_view sql, const Params& params = {});
    // The same, appended to `out`, whose space is reused; on failure `out` holds what it held.
    void QueryIntegers(std::string_view sql, const Params& params, std::vector<int64_t>& out);
    int64_t Execute(std::string_view sql, const Params& params = {});  // rows changed
    ResultSet QueryRaw(std::string_view sql, const std::vector<Value>& values = {});
    int64_t ExecuteRaw(std::string_view sql, const std::vector<Value>& values = {});

    int64_t LastInsertRowId() const;

    // How long a statement waits for another connection's lock before it fails with kBusyCode;
    // kBusyTimeoutMs from the start.
    void SetBusyTimeout(int ms);

    // BEGIN IMMEDIATE: the write lock is taken (waiting out other writers) before the first
    // change, so a transaction never fails half-way on a lock.
    void Begin();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    bool TableExists(const std::string& table);
    // The columns of a table in their order; empty when there is no such table.
    std::vector<TableColumn> TableColumns(const std::string& table);

    // The kind of the columns of that folded name across all tables (Other when they differ).
    ColumnKind KindOfColumn(const std::string& foldedName);

private:
    ResultSet Run(std::string_view sql, const std::vector<Value>& values, bool wantRows,
                  int64_t* changes);
    [[noreturn]] void Fail(int code);
    void BindAll(sqlite3_stmt* stmt, const std::vector<Value>& values);
    // Leaves a kept statement reset and unbound, however its run ended.
    struct ResetGuard {
        sqlite3_stmt* stmt;
        ~ResetGuard();
    };
    sqlite3_stmt* Prepare(std::string_view sql);
    void Disconnect();  // finalises the kept statements and closes

    static constexpr std::size_t kKeptStatements = 32;

    std::string file_;
    sqlite3* db_ = nullptr;
    int64_t kindsVersion_ = -1;
    std::map<std::string, ColumnKind> kinds_;
    std::list<std::pair<std::string, sqlite3_stmt*>> cache_;  // most recently used first
};

// A transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Database& db) : db_(db) { db_.Begin(); }
    ~Transaction();
    void Commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Database& db_;
    bool done_ = false;
};

}  // namespace sql
