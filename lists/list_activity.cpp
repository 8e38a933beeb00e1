#include "lists/list_activity.h"

#include "db/statements.h"
#include "platform/os/cp_literal.h"

namespace lists {

namespace {

bool FirstRowActive(vcl::TQuery& q) {
    q.Open();
    const bool active = !q.IsEmpty() && q.FieldByName("Active").AsBoolean();
    q.Close();
    return active;
}

}  // namespace

bool IsListActiveByID(const db::TMainDataSets& ds, int id) {
    db::SetStatement(ds.Query3, db::kListByID);
    ds.Query3.ParamByName("prmInt").SetAsInteger(id);
    return FirstRowActive(ds.Query3);
}

bool IsListActiveByName(const db::TMainDataSets& ds, const std::string& name) {
    db::SetStatement(ds.Query3, db::kListByName);
    ds.Query3.ParamByName("prmStr").SetAsString(name);
    return FirstRowActive(ds.Query3);
}

std::string ListBusyText(const std::string& name) {
    return "Список \""_cp + name + "\" нельзя изменять, т.к. по нему идет рассылка."_cp;
}

}  // namespace lists
