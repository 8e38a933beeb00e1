#include "vcl/data/db_query.h"

#include "platform/os/cp1251.h"
#include "platform/sql/dialect.h"
#include "platform/sql/lexer.h"

namespace vcl {

// ---- the query ----

TQuery::TQuery() {
    SQL.OnChange = TNotifyEvent::FromCallable([this](TObject*) { SQLChanged(); });
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
    for (TParam& p : params_)
        if (sql::SameName(p.Name(), name)) return &p;
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
