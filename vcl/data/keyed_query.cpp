#include "vcl/data/keyed_query.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <utility>

#include "platform/os/cp1251.h"
#include "platform/sql/dialect.h"
#include "platform/sql/lexer.h"

namespace vcl {

namespace {

// The statements' own parameters; names no program statement uses.
std::string KeyParam(int i) {
    return "keyedQueryKey" + std::to_string(i + 1);
}
constexpr const char* kAfterParam = "keyedQueryAfter";
constexpr const char* kLimitParam = "keyedQueryLimit";
constexpr const char* kOffsetParam = "keyedQueryOffset";

std::string Folded(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// True when `order` is the key alone, ascending: the next window then starts after the last
// key read, found by the key's index instead of by counting rows off.
bool OrdersByKeyAscending(const std::string& order, const std::string& key) {
    std::string o = Folded(order);
    const std::string k = Folded(key);
    if (o.size() > 4 && o.compare(o.size() - 4, 4, " asc") == 0) o = Folded(o.substr(0, o.size() - 4));
    return o == k || o == "\"" + k + "\"";
}

// Sorts keys that an index gave as ascending runs, one per value of its first column, by
// merging neighbouring runs: a few passes over the keys instead of a full sort. Beyond
// kMergedRuns runs the order is no help and a full sort is cheaper.
void SortRuns(std::vector<int64_t>& keys) {
    constexpr std::size_t kMergedRuns = 1024;
    std::vector<std::size_t> bounds{0};  // where each run starts, then the end
    for (std::size_t i = 1; i < keys.size(); ++i) {
        if (keys[i] >= keys[i - 1]) continue;
        if (bounds.size() == kMergedRuns) {
            std::sort(keys.begin(), keys.end());
            return;
        }
        bounds.push_back(i);
    }
    bounds.push_back(keys.size());
    const auto at = [&keys](std::size_t i) {
        return keys.begin() + static_cast<std::ptrdiff_t>(i);
    };
    while (bounds.size() > 2) {
        std::vector<std::size_t> merged{0};
        for (std::size_t r = 2; r < bounds.size(); r += 2) {
            std::inplace_merge(at(bounds[r - 2]), at(bounds[r - 1]), at(bounds[r]));
            merged.push_back(bounds[r]);
        }
        if (bounds.size() % 2 == 0) merged.push_back(bounds.back());  // an odd run waits
        bounds = std::move(merged);
    }
}

// Keeps the statements of an open on one read of the database, so that what they give belongs
// together although other copies write between them.
class ReadTogether {
public:
    explicit ReadTogether(sql::Database& db) : db_(db) {
        db_.ExecuteRaw("SAVEPOINT keyedQueryOpen");
    }
    ~ReadTogether() {
        try {
            db_.ExecuteRaw("RELEASE keyedQueryOpen");
        } catch (const std::exception&) {
            // Only reads ran: nothing is lost when the release fails.
        }
    }
    ReadTogether(const ReadTogether&) = delete;
    ReadTogether& operator=(const ReadTogether&) = delete;

private:
    sql::Database& db_;
};

}  // namespace

void TKeyedQuery::SetKeyField(const std::string& name) {
    CheckInactive();
    keyField_ = name;
}

void TKeyedQuery::SetOrderBy(const std::string& order) {
    CheckInactive();
    orderBy_ = order;
}

void TKeyedQuery::SetKeepKeys(bool keep) {
    CheckInactive();
    keepKeys_ = keep;
}

void TKeyedQuery::SetRowSource(const std::string& select) {
    CheckInactive();
    rowSource_ = select;
}

void TKeyedQuery::InternalOpen() {
    text_ = os::Cp1251ToUtf8(SQL.Text());
    const std::string key = sql::QuoteName(os::Cp1251ToUtf8(keyField_));
    pages_.clear();
    keys_.clear();  // the space kept from the last open is read into again
    if (!keepKeys_) keys_.shrink_to_fit();
    complete_ = false;
    windowRead_ = false;
    windowFirst_ = 0;
    count_ = 0;
    try {
        const sql::Params params = Bindings();
        const std::string from = " from (\n" + text_ + "\n)";
        keyAscending_ = !orderBy_.empty() && OrdersByKeyAscending(orderBy_, keyField_);
        keyFilter_.clear();
        if (keepKeys_) {
            // One statement reads every key. In the key's own order they are sorted here, far
            // cheaper than the engine's sort of rows an index on another column gives.
            std::string text = "select " + key + from;
            if (!keyAscending_ && !orderBy_.empty())
                text += "\norder by " + os::Cp1251ToUtf8(orderBy_);
            Connection()->QueryIntegers(text, params, keys_);
            if (keyAscending_) SortRuns(keys_);
            count_ = static_cast<int>(keys_.size());
            complete_ = windowRead_ = true;
        } else {
            // Two statements rather than one: each alone is answered from an index when the
            // filter allows (a count of the smallest index, the key index's last entry).
            const std::shared_ptr<sql::Database> db = Connection();
            const ReadTogether together(*db);
            const sql::ResultSet counted = db->Query("select count(*)" + from, params);
            const sql::ResultSet greatest = db->Query("select max(" + key + ")" + from, params);
            const sql::Value& top = greatest.At(0, 0);
            if (!top.IsNull() && top.type() != sql::Value::Type::Integer)
                throw EDatabaseError(
                    Format("Field '%s' holds a value that is not an integer", keyField_));
            count_ = top.IsNull() ? 0 : static_cast<int>(counted.At(0, 0).Integer());
            keyFilter_ =
                " where " + key + " <= " + std::to_string(top.IsNull() ? 0 : top.Integer());
        }

        const std::string source =
            rowSource_.empty() ? from : " from (\n" + os::Cp1251ToUtf8(rowSource_) + "\n)";
        pageSQL_ = "select *" + source + " where " + key + " in (";
        for (int i = 0; i < kPageRows; ++i)
            pageSQL_ += (i ? ", :" : ":") + KeyParam(i);
        pageSQL_ += ")";
        pages_.push_back(ReadPage(0, &columns_));
        onDemand_ = true;
    } catch (const std::exception& e) {
        keys_.clear();
        pages_.clear();
        count_ = 0;
        onDemand_ = false;
        RaiseDatabaseError(e, SQL.Text(), ParamTexts());
    }
}

void TKeyedQuery::InternalClose() {
    keys_.clear();
    // Kept keys are read again at the next open, mostly about as many: their space stays.
    if (!keepKeys_) keys_.shrink_to_fit();
    pages_.clear();
    complete_ = false;
    windowRead_ = false;
    count_ = 0;
}

void TKeyedQuery::ReadKeys(int first, int limit, const int64_t* after,
                           std::vector<int64_t>& out) const {
    const std::string key = sql::QuoteName(os::Cp1251ToUtf8(keyField_));
    sql::Params params = Bindings();
    std::string text = "select " + key + " from (\n" + text_ + "\n)" + keyFilter_;
    if (after) {
        text += " and " + key + " > :" + kAfterParam;
        params.push_back({kAfterParam, sql::Value(*after)});
    }
    if (!orderBy_.empty()) text += "\norder by " + os::Cp1251ToUtf8(orderBy_);
    text += std::string(" limit :") + kLimitParam;
    params.push_back({kLimitParam, sql::Value(static_cast<int64_t>(limit))});
    if (!after) {
        text += std::string(" offset :") + kOffsetParam;
        params.push_back({kOffsetParam, sql::Value(static_cast<int64_t>(first))});
    }
    Connection()->QueryIntegers(text, params, out);
}

void TKeyedQuery::ReadKeyWindow(int row) const {
    const int first = row / kKeyWindow * kKeyWindow;
    const int limit = std::min(kKeyWindow, count_ - first);
    const bool follows = keyAscending_ && first > 0 && !keys_.empty() &&
                         windowFirst_ + static_cast<int>(keys_.size()) == first;
    const int64_t last = follows ? keys_.back() : 0;
    std::vector<int64_t> read;
    read.reserve(static_cast<std::size_t>(limit));
    ReadKeys(first, limit, follows ? &last : nullptr, read);
    keys_ = std::move(read);
    windowFirst_ = first;
    windowRead_ = true;
}

const std::vector<int64_t>& TKeyedQuery::Keys() const {
    if (!complete_ && Active() && count_ > 0) {
        // The window held stays as read; only the keys before and after it are read now.
        try {
            const int held = windowRead_ ? static_cast<int>(keys_.size()) : 0;
            const int first = windowRead_ ? windowFirst_ : 0;
            std::vector<int64_t> all;
            all.reserve(static_cast<std::size_t>(count_));
            if (first > 0) ReadKeys(0, first, nullptr, all);
            all.insert(all.end(), keys_.begin(), keys_.begin() + held);
            const int rest = count_ - static_cast<int>(all.size());
            if (rest > 0) {
                const bool follows = keyAscending_ && !all.empty();
                const int64_t last = follows ? all.back() : 0;
                ReadKeys(static_cast<int>(all.size()), rest, follows ? &last : nullptr, all);
            }
            keys_ = std::move(all);
        } catch (const std::exception& e) {
            RaiseDatabaseError(e, SQL.Text(), ParamTexts());
        }
        windowFirst_ = 0;
        complete_ = true;
    }
    if (!Active()) keys_.clear();
    return keys_;
}

std::optional<int64_t> TKeyedQuery::KeyOf(int row) const {
    if (!complete_ && (!windowRead_ || row < windowFirst_ || row >= windowFirst_ + kKeyWindow))
        ReadKeyWindow(row);
    const int at = row - windowFirst_;
    // A row past the keys found (deleted since the count) has none.
    if (at < 0 || at >= static_cast<int>(keys_.size())) return std::nullopt;
    return keys_[static_cast<std::size_t>(at)];
}

TKeyedQuery::Page TKeyedQuery::ReadPage(int row, std::vector<sql::Column>* layout) const {
    const int first = row / kPageRows * kPageRows;
    const int count = std::max(0, std::min<int>(kPageRows, count_ - first));
    // The page's keys; a row without one (deleted since the count) reads as nulls.
    std::vector<std::pair<int64_t, int>> where;
    where.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (const std::optional<int64_t> k = KeyOf(first + i)) where.push_back({*k, i});
    }
    sql::Params params = Bindings();
    // Every parameter is bound, the last key repeated on a short page: the statement's text
    // stays the same, so the engine keeps it prepared.
    for (int i = 0; i < kPageRows; ++i) {
        sql::Value v;
        if (!where.empty()) v = where[std::min<std::size_t>(i, where.size() - 1)].first;
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
    std::sort(where.begin(), where.end());
    Page page;
    page.first = first;
    page.cells.resize(static_cast<std::size_t>(count) * width);
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
