#include "lists/list_storage.h"

#include <unordered_set>

#include "db/statements.h"
#include "gateway/log_thread.h"
#include "lists/list_activity.h"
#include "platform/os/cp_literal.h"
#include "platform/user/messages.h"
#include "platform/user/user.h"
#include "vcl/data/db_database.h"
#include "vcl/system/sysutils.h"

namespace lists {

namespace {

// Closes a data set on every way out, so no statement stays open while the program waits.
struct Closing {
    vcl::TDataSet& ds;
    ~Closing() { ds.Close(); }
};

template <std::size_t N>
void Open(vcl::TQuery& query, const char* const (&lines)[N], int id) {
    db::SetStatement(query, lines);
    query.ParamByName("prmInt").SetAsInteger(id);
    query.Open();
}

template <std::size_t N>
void Exec(vcl::TQuery& query, const char* const (&lines)[N], int id) {
    db::SetStatement(query, lines);
    query.ParamByName("prmInt").SetAsInteger(id);
    query.ExecSQL();
}

// A failed write in the log: the engine's message, the statement and its parameters.
void LogFailure(const std::exception& e) {
    std::string text = e.what();
    if (const auto* d = dynamic_cast<const vcl::EDatabaseError*>(&e)) {
        if (!d->SQL.empty()) text += "\r" + d->SQL;
        for (const auto& p : d->Params)
            text += "\r" + p.name + " - " + p.value;
    }
    gateway::AddLog(text);
}

constexpr int kRowsPerReopen = 4096;

}  // namespace

TGridUpdateScope::TGridUpdateScope(vcl::TStringGrid& grid)
    : grid_(grid), locked_(grid.HandleAllocated()) {
    if (locked_) win::SendMessageA(grid_.Handle(), win::WM_SETREDRAW, win::FALSE, 0);
}

TGridUpdateScope::~TGridUpdateScope() {
    if (!locked_ || !grid_.HandleAllocated()) return;
    win::SendMessageA(grid_.Handle(), win::WM_SETREDRAW, win::TRUE, 0);
    grid_.Invalidate();
}

void TListStorage::LoadListArray() {
    vcl::TTable& table = data_.Table;
    table.Close();
    table.SetFiltered(false);
    table.SetIndexFieldNames("");
    table.SetTableName("List");
    table.Open();
    Closing closing{table};
    ListArray.clear();
    for (table.First(); !table.Eof(); table.Next())
        ListArray.push_back({table.FieldByName("ID").AsInteger(),
                             vcl::Trim(table.FieldByName("Name").AsString()),
                             vcl::Trim(table.FieldByName("TextSMS").AsString())});
}

const TListInfo* TListStorage::FindList(const std::string& name) const {
    for (const TListInfo& info : ListArray)
        if (vcl::AnsiSameText(info.Name, name)) return &info;
    return nullptr;
}

void TListStorage::LoadListToGrid(int id) {
    vcl::TQuery& numbers = data_.Query;
    vcl::TQuery& values = data_.Query2;
    Closing closeNumbers{numbers}, closeValues{values};
    Open(numbers, db::kListNumbers, id);
    Open(values, db::kListValues, id);
    editor_.ClearList();
    if (numbers.IsEmpty()) return;

    editor_.UnlockGrid();
    vcl::TStringGrid& grid = editor_.Grid();
    vcl::TField& valueOwner = values.FieldByName("NumberID");
    vcl::TField& value = values.FieldByName("Val");
    int cols = 2;
    values.First();
    if (!values.Eof()) {
        const int first = valueOwner.AsInteger();
        for (; !values.Eof() && valueOwner.AsInteger() == first; values.Next())
            ++cols;
        values.First();
    }
    TGridUpdateScope suspended(grid);
    grid.SetRowCount(numbers.RecordCount() + 1);
    grid.SetColCount(cols);
    grid.SetColWidths(1, 100);
    vcl::TField& numberID = numbers.FieldByName("ID");
    vcl::TField& number = numbers.FieldByName("Number");
    int row = 1;
    for (numbers.First(); !numbers.Eof(); numbers.Next(), ++row) {
        grid.SetCells(1, row, number.AsString());
        const int owner = numberID.AsInteger();
        for (int col = 2; !values.Eof() && valueOwner.AsInteger() == owner; values.Next(), ++col)
            if (col < cols) grid.SetCells(col, row, value.AsString());
    }
}

int TListStorage::AppendList(const std::string& name, const std::string& text) {
    vcl::TTable& table = data_.Table;
    table.Close();
    table.SetTableName("List");
    table.SetIndexFieldNames("");
    table.Open();
    Closing closing{table};
    table.Append();
    table.FieldByName("Name").SetAsString(name);
    table.FieldByName("TextSMS").SetAsString(text);
    table.Post();
    return table.FieldByName("ID").AsInteger();
}

void TListStorage::UpdateListText(int id, const std::string& text) {
    vcl::TTable& table = data_.Table;
    table.Close();
    table.SetTableName("List");
    table.SetIndexFieldNames("ID");
    table.Open();
    Closing closing{table};
    if (!table.FindKey({id})) throw vcl::EDatabaseError("Не найдено имя в таб. List!"_cp);
    table.Edit();
    table.FieldByName("TextSMS").SetAsString(text);
    table.Post();
}

void TListStorage::SaveGridRows(int id) {
    if (editor_.GridLocked()) return;
    vcl::TStringGrid& grid = editor_.Grid();
    vcl::TTable& numbers = data_.Table;
    vcl::TTable& values = data_.Table2;
    for (vcl::TTable* t : {&numbers, &values}) {
        t->Close();
        t->SetFiltered(false);
        t->SetIndexFieldNames("");
    }
    numbers.SetTableName("NumberList");
    values.SetTableName("UserValues");
    numbers.Open();
    Closing closeNumbers{numbers};
    values.Open();
    Closing closeValues{values};
    struct Fields {
        vcl::TField *listID, *number, *processed, *key, *owner, *value;
    } f{};
    auto bind = [&] {
        f = {&numbers.FieldByName("ListID"),    &numbers.FieldByName("Number"),
             &numbers.FieldByName("Processed"), &numbers.FieldByName("ID"),
             &values.FieldByName("NumberID"),   &values.FieldByName("Val")};
    };
    bind();
    for (int r = 1; r < grid.RowCount(); ++r) {
        if (r % kRowsPerReopen == 0) {
            // A table keeps every row appended to it; reopened, it holds only its layout.
            numbers.Close();
            numbers.Open();
            values.Close();
            values.Open();
            bind();
        }
        numbers.Append();
        f.listID->SetAsInteger(id);
        f.number->SetAsString(grid.Cells(1, r));
        f.processed->SetAsBoolean(false);
        numbers.Post();
        const int key = f.key->AsInteger();
        for (int c = 2; c < grid.ColCount(); ++c) {
            values.Append();
            f.owner->SetAsInteger(key);
            f.value->SetAsString(grid.Cells(c, r));
            values.Post();
        }
    }
}

TListStorage::TSaveResult TListStorage::SaveList(const std::string& name) {
    const std::string text = editor_.TemplateText();
    vcl::TDatabase database(data_.Query.DatabaseName());
    database.StartTransaction();
    try {
        // Looked up under the write lock: a list of this name that another copy saved a moment
        // ago is replaced, not joined by a second one.
        LoadListArray();
        const TListInfo* known = FindList(name);
        int id;
        if (known) {
            id = known->ID;
            if (IsListActiveByID(data_, id)) {
                database.Rollback();
                return TSaveResult::ListBusy;
            }
            UpdateListText(id, text);
            Exec(data_.Query, db::kDeleteListValues, id);
            Exec(data_.Query, db::kDeleteListNumbers, id);
        } else {
            id = AppendList(name, text);
        }
        SaveGridRows(id);
        database.Commit();
    } catch (const std::exception& e) {
        LogFailure(e);
        try {
            database.Rollback();
        } catch (const std::exception&) {
            // The first failure is the one to report.
        }
        data_.Query.Close();
        throw;
    }
    data_.Query.Close();
    LoadListArray();
    return TSaveResult::Saved;
}

bool TListStorage::ListChanged(const std::string& name) {
    LoadListArray();
    const TListInfo* info = FindList(name);
    if (!info) return false;
    const int id = info->ID;
    vcl::TQuery& query = data_.Query;
    Closing closing{query};

    Open(query, db::kListByID, id);
    if (!query.IsEmpty() &&
        vcl::Trim(query.FieldByName("TextSMS").AsString()) != vcl::Trim(editor_.TemplateText()))
        return true;

    const vcl::TStringGrid& grid = editor_.Grid();
    const int rows = editor_.GridLocked() ? 0 : grid.RowCount() - 1;
    Open(query, db::kListNumberTexts, id);
    if (query.RecordCount() != rows) return true;
    std::unordered_set<std::string> typed;
    for (int r = 1; r <= rows; ++r)
        typed.insert(grid.Cells(1, r));
    vcl::TField& stored = query.FieldByName("Number");
    for (query.First(); !query.Eof(); query.Next())
        if (!typed.contains(stored.AsString())) return true;

    Open(query, db::kListNumbersWithValues, id);
    const int cols = grid.ColCount();
    if (query.IsEmpty() && cols != 2) return true;
    vcl::TField& number = query.FieldByName("Number");
    vcl::TField& owner = query.FieldByName("NumberID");
    vcl::TField& value = query.FieldByName("Val");
    query.First();
    for (int r = 1; r <= rows; ++r) {
        if (query.Eof()) return false;
        const int noted = owner.AsInteger();
        if (grid.Cells(1, r) != number.AsString()) return true;
        for (int c = 2; c < cols; ++c) {
            if (query.Eof()) return true;
            if (grid.Cells(c, r) != value.AsString() || owner.AsInteger() != noted) return true;
            query.Next();
        }
        if (!query.Eof() && owner.AsInteger() == noted) return true;
    }
    return false;
}

}  // namespace lists
