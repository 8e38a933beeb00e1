#include "vcl/db_query.h"

#include "platform/os/cp1251.h"
#include "platform/sql/dialect.h"
#include "platform/sql/lexer.h"

namespace vcl {

// ---- statement lines ----

void TSQLLines::Clear() {
    lines_.clear();
    Changed();
}

void TSQLLines::Add(const std::string& line) {
    lines_.push_back(line);
    Changed();
}

std::string TSQLLines::Text() const {
    std::string out;
    for (const auto& l : lines_)
        out += l + "\r\n";
    return out;
}

void TSQLLines::SetText(const std::string& text) {
    lines_.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines_.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines_.push_back(text.substr(start));
    Changed();
}

// ---- the query ----

TQuery::TQuery() {
    SQL.OnChange = [this] { SQLChanged(); };
}

void TQuery::SQLChanged() {
    Close();
    std::vector<TParam> fresh;
    for (const std::string& name : sql::ParameterNames(SQL.Text())) {
        TParam* old = FindParam(name);
        fresh.push_back(old ? *old : TParam(name));
    }
    params_ = std::move(fresh);
}

TParam* TQuery::FindParam(const std::string& name) {
    const std::string folded = sql::FoldName(name);
    for (TParam& p : params_)
        if (sql::FoldName(p.Name()) == folded) return &p;
    return nullptr;
}

TParam& TQuery::ParamByName(const std::string& name) {
    if (TParam* p = FindParam(name)) return *p;
    throw EDatabaseError(Format("Parameter '%s' not found", name), SQL.Text());
}

std::vector<EDatabaseError::ParamText> TQuery::ParamTexts() const {
    std::vector<EDatabaseError::ParamText> out;
    for (const TParam& p : params_) {
        std::string value;
        try {
            value = p.AsString();
        } catch (const Exception&) {
            value = "?";
        }
        out.push_back({p.Name(), value});
    }
    return out;
}

sql::Params TQuery::Bindings() const {
    sql::Params out;
    for (const TParam& p : params_) {
        if (!p.Bound())
            throw EDatabaseError(Format("No value for parameter '%s'", p.Name()), SQL.Text(),
                                 ParamTexts());
        out.push_back({p.Name(), p.Value()});
    }
    return out;
}

void TQuery::InternalOpen() {
    const sql::Params params = Bindings();
    try {
        sql::ResultSet rs = Connection()->Query(os::Cp1251ToUtf8(SQL.Text()), params);
        columns_ = std::move(rs.columns);
        cells_ = std::move(rs.cells);
    } catch (const std::exception& e) {
        RaiseDatabaseError(e, SQL.Text(), ParamTexts());
    }
}

void TQuery::ExecSQL() {
    Close();
    const sql::Params params = Bindings();
    try {
        rowsAffected_ =
            static_cast<int>(Connection()->Execute(os::Cp1251ToUtf8(SQL.Text()), params));
    } catch (const std::exception& e) {
        RaiseDatabaseError(e, SQL.Text(), ParamTexts());
    }
}

}  // namespace vcl
