// TKeyedQuery: a query whose result may be huge (the send journal's million rows), read on
// demand. Opening counts the rows; the keys are read a window at a time around the rows asked
// for, or all at once at the open when KeepKeys is set, and the rows by key, a page at a time,
// when a field asks for them. Every read runs to its end, so no statement stays open between
// calls and other copies' writes and the database's checkpoints go on while the program waits
// for input.
//
// Rules it keeps:
//  1. The statement is a select whose result holds KeyField, an integer unique per row. Its
//     order is OrderBy when set (kept out of the statement, so that the count is planned without
//     it and an index can answer it), else the statement's own.
//  2. RecordCount is the number of rows counted at open, and the count and the greatest key
//     come from one read of the database. Without KeepKeys, rows added since, with keys above
//     the greatest key at open, are never shown; a window that finds fewer keys than counted
//     (rows deleted since) leaves the rest as rows of nulls. A window read later evaluates the
//     statement again, so it holds the rows counted only when no row can enter or leave the
//     result below that key after the open.
//  3. A row is read by its key from RowSource (the statement itself when empty), so a row
//     changed by another copy since its key was read shows its new values, also one that no
//     longer meets the statement when RowSource holds it; a row not found there (deleted
//     since) reads as nulls, its key field included.
//  4. Without KeepKeys at most kCachedPages pages of kPageRows rows and one window of
//     kKeyWindow keys are held until Keys() is asked for every key; nothing else grows with the
//     result. With it, every key (8 bytes a row) is held while open, and their space
//     stays after a close for the next open.
//  5. Read-only.
//  6. With KeepKeys the keys are those the open counted, whatever changes since: Keys() gives
//     exactly them, in the result's order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vcl/data/db_query.h"

namespace vcl {

class TKeyedQuery : public TQuery {
public:
    static constexpr int kPageRows = 64;
    static constexpr int kCachedPages = 4;
    static constexpr int kKeyWindow = 64 * kPageRows;  // a window holds whole pages

    // The key column's name; only while closed.
    const std::string& KeyField() const { return keyField_; }
    void SetKeyField(const std::string& name);
    // The result's order ("ID", "ID desc", ...); only while closed. Empty: the statement's own.
    const std::string& OrderBy() const { return orderBy_; }
    void SetOrderBy(const std::string& order);
    // Reads and keeps every key at open (rule 6); only while closed.
    bool KeepKeys() const { return keepKeys_; }
    void SetKeepKeys(bool keep);
    // The select the rows are read from by key (rule 3): the statement's columns from rows
    // that include every row of the statement, such as the statement without its condition.
    // Empty: the statement itself. Only while closed.
    const std::string& RowSource() const { return rowSource_; }
    void SetRowSource(const std::string& select);

    // Every key of the result in its order, read now where not read yet (valid while open).
    const std::vector<int64_t>& Keys() const;
    // Reads the rows again when next asked (the keys read stay).
    void DropCachedRows() const { pages_.clear(); }

protected:
    void InternalOpen() override;
    void InternalClose() override;
    int DemandedRowCount() const override { return count_; }
    const sql::Value* DemandedRow(int row) const override;

private:
    struct Page {
        int first = 0;                  // the first row of the page
        std::vector<sql::Value> cells;  // kPageRows rows (fewer on the last page)
    };
    // Reads the page that holds `row`; gives the result's columns in `layout` when asked, else
    // checks that they are still those of columns_.
    Page ReadPage(int row, std::vector<sql::Column>* layout) const;
    // Makes the key window hold `row` (0 <= row < count_).
    void ReadKeyWindow(int row) const;
    // Appends up to `limit` keys from row `first` on to `out`; after `after` (the key of row
    // first - 1) when the order is the key's own, which an index follows without counting rows off.
    void ReadKeys(int first, int limit, const int64_t* after, std::vector<int64_t>& out) const;
    std::optional<int64_t> KeyOf(int row) const;

    std::string keyField_ = "ID";
    std::string orderBy_;
    std::string rowSource_;
    std::string text_;       // the statement in UTF-8
    std::string keyFilter_;  // bounds every key read by the greatest key at open
    bool keepKeys_ = false;
    bool keyAscending_ = false;
    int count_ = 0;
    mutable int windowFirst_ = 0;        // the row of keys_[0]
    mutable std::vector<int64_t> keys_;  // the window, or every key once complete_
    mutable bool complete_ = false;
    mutable bool windowRead_ = false;
    mutable std::vector<Page> pages_;  // most recently used first
    std::string pageSQL_;              // the statement that reads one page, in UTF-8
};

}  // namespace vcl
