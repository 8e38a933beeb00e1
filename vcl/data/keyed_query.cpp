#include "vcl/data/keyed_query.h"

#include <algorithm>
#include <utility>

#include "platform/os/cp1251.h"
#include "platform/sql/dialect.h"
#include "platform/sql/lexer.h"

namespace vcl {

namespace {

// The page statement's own parameters; a name no program statement uses.
std::string KeyParam(int i) {
    return "keyedQueryKey" + std::to_string(i + 1);
}

}  // namespace

void TKeyedQuery::SetKeyField(const std::string& name) {
    CheckInactive();
    keyField_ = name;
}

void TKeyedQuery::InternalOpen() {
    const std::string text = os::Cp1251ToUtf8(SQL.Text());
    const std::string key = sql::QuoteName(os::Cp1251ToUtf8(keyField_));
    pages_.clear();
    keys_.clear();
    try {
        const sql::Params params = Bindings();
        keys_ = Connection()->QueryIntegers("select " + key + " from (\n" + text + "\n)", params);
        pageSQL_ = "select * from (\n" + text + "\n) where " + key + " in (";
        for (int i = 0; i < kPageRows; ++i)
            pageSQL_ += (i ? ", :" : ":") + KeyParam(i);
        pageSQL_ += ")";
        pages_.push_back(ReadPage(0, &columns_));
        onDemand_ = true;
    } catch (const std::exception& e) {
        keys_.clear();
        pages_.clear();
        onDemand_ = false;
        RaiseDatabaseError(e, SQL.Text(), ParamTexts());
    }
}

void TKeyedQuery::InternalClose() {
    keys_.clear();
    keys_.shrink_to_fit();
    pages_.clear();
}

TKeyedQuery::Page TKeyedQuery::ReadPage(int row, std::vector<sql::Column>* layout) const {
    const int first = row / kPageRows * kPageRows;
    const int count = std::min<int>(kPageRows, static_cast<int>(keys_.size()) - first);
    sql::Params params = Bindings();
    // Every parameter is bound, the last key repeated on a short page: the statement's text
    // stays the same, so the engine keeps it prepared.
    for (int i = 0; i < kPageRows; ++i) {
        sql::Value v;
        if (count > 0) v = keys_[static_cast<std::size_t>(first + std::min(i, count - 1))];
        params.push_back({KeyParam(i), std::move(v)});
    }
    sql::ResultSet rs = Connection()->Query(pageSQL_, params);

    const std::size_t width = rs.columns.size();
    int keyCol = -1;
    for (std::size_t c = 0; c < width; ++c)
        if (sql::SameName(rs.columns[c].name, os::Cp1251ToUtf8(keyField_)))
            keyCol = static_cast<int>(c);
    if (keyCol < 0) throw EDatabaseError(Format("Field '%s' not found", keyField_));
    if (layout) {
        *layout = rs.columns;
    } else if (width != columns_.size()) {
        throw EDatabaseError("The query's columns changed while it was open");
    }

    // Each row goes where its key stands in the page; a key that found no row reads nulls.
    std::vector<std::pair<int64_t, int>> where;
    where.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        where.push_back({keys_[static_cast<std::size_t>(first + i)], i});
    std::sort(where.begin(), where.end());
    Page page;
    page.first = first;
    page.cells.resize(static_cast<std::size_t>(std::max(count, 0)) * width);
    for (std::size_t r = 0; r < rs.RowCount(); ++r) {
        const sql::Value& k = rs.At(r, static_cast<std::size_t>(keyCol));
        if (k.type() != sql::Value::Type::Integer) continue;
        auto range =
            std::equal_range(where.begin(), where.end(), std::make_pair(k.Integer(), -1),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto it = range.first; it != range.second; ++it)
            for (std::size_t c = 0; c < width; ++c)
                page.cells[static_cast<std::size_t>(it->second) * width + c] = rs.At(r, c);
    }
    return page;
}

const sql::Value* TKeyedQuery::DemandedRow(int row) const {
    const auto page = std::find_if(pages_.begin(), pages_.end(), [row](const Page& p) {
        return row >= p.first && row < p.first + kPageRows;
    });
    if (page != pages_.end()) {
        std::rotate(pages_.begin(), page, page + 1);
    } else {
        try {
            Page read = ReadPage(row, nullptr);
            if (pages_.size() >= kCachedPages) pages_.pop_back();
            pages_.insert(pages_.begin(), std::move(read));
        } catch (const std::exception& e) {
            RaiseDatabaseError(e, SQL.Text(), ParamTexts());
        }
    }
    const Page& p = pages_.front();
    return p.cells.data() + static_cast<std::size_t>(row - p.first) * columns_.size();
}

}  // namespace vcl
