// TKeyedQuery: a query whose result may be huge (the send journal's million rows), read on
// demand. Opening reads only the key of every row of the result, in the statement's order (8
// bytes a row); the rows themselves are read by key, a page at a time, when a field asks for
// them. Every read runs to its end, so no statement stays open between calls and other copies'
// writes and the database's checkpoints go on while the program waits for input.
//
// Rules it keeps:
//  1. The statement is a select whose result holds KeyField, an integer unique per row.
//  2. RecordCount is the number of keys read at open; the rows keep the order of the keys.
//  3. A row is read by its key, so a row changed by another copy since the open shows its new
//     values, and a row deleted since reads as nulls; rows added since are not shown.
//  4. At most kCachedPages pages of kPageRows rows are held; what the data set holds beyond the
//     keys does not grow with the result.
//  5. Read-only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vcl/data/db_query.h"

namespace vcl {

class TKeyedQuery : public TQuery {
public:
    static constexpr int kPageRows = 64;
    static constexpr int kCachedPages = 4;

    // The key column's name; only while closed.
    const std::string& KeyField() const { return keyField_; }
    void SetKeyField(const std::string& name);

    // The keys of the rows in their order (valid while open).
    const std::vector<int64_t>& Keys() const { return keys_; }
    // Reads the rows again when next asked (the keys stay).
    void DropCachedRows() const { pages_.clear(); }

protected:
    void InternalOpen() override;
    void InternalClose() override;
    int DemandedRowCount() const override { return static_cast<int>(keys_.size()); }
    const sql::Value* DemandedRow(int row) const override;

private:
    struct Page {
        int first = 0;                  // the first row of the page
        std::vector<sql::Value> cells;  // kPageRows rows (fewer on the last page)
    };
    // Reads the page that holds `row`; gives the result's columns in `layout` when asked, else
    // checks that they are still those of columns_.
    Page ReadPage(int row, std::vector<sql::Column>* layout) const;

    std::string keyField_ = "ID";
    std::vector<int64_t> keys_;
    mutable std::vector<Page> pages_;  // most recently used first
    std::string pageSQL_;              // the statement that reads one page, in UTF-8
};

}  // namespace vcl
