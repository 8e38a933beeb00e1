#include "lists/form_list.h"

#include <map>

#include "db/statements.h"
#include "db/transaction.h"
#include "gateway/form_building.h"
#include "gateway/program_images.h"
#include "lists/list_activity.h"
#include "platform/os/cp_literal.h"
#include "platform/user/message_box.h"
#include "vcl/controls/dialogs.h"
#include "vcl/system/sysutils.h"

namespace lists {

using gateway::MakeComponent;

namespace {

// listid -> cnt of a grouped count.
std::map<int, int> Counts(vcl::TQuery& q) {
    std::map<int, int> out;
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        out[q.FieldByName("listid").AsInteger()] = q.FieldByName("cnt").AsInteger();
    return out;
}

int CountOf(const std::map<int, int>& counts, int id) {
    const auto it = counts.find(id);
    return it == counts.end() ? 0 : it->second;
}

// A glyph button that says what it does in its hint.
skin::TsBitBtn* GlyphButton(vcl::TForm* form, const char* name, vcl::TRect bounds,
                            const std::string& hint) {
    auto* b = MakeComponent<skin::TsBitBtn>(form, form, name, bounds);
    b->SetHint(hint);
    b->SetShowHint(true);
    return b;
}

}  // namespace

TformList::TformList(vcl::TComponent* owner)
    : vcl::TForm(owner), main_(gateway::TheMainWindow("The list manager")) {
    using vcl::Rect;
    gateway::SetUpDialog(this, "formList", "Управление списками номеров"_cp, 360, 290);

    lvList = MakeComponent<skin::TsListView>(this, this, "lvList", Rect(8, 8, 352, 248));
    lvList->SetViewStyle(vcl::vsReport);
    lvList->SetReadOnly(true);
    lvList->SetRowSelect(true);
    lvList->SetHideSelection(false);
    struct Column {
        std::string caption;
        int width;
    };
    for (const Column& c :
         {Column{"Имя"_cp, 140}, Column{"Всего номеров"_cp, 90}, Column{"Обработанных"_cp, 90}}) {
        vcl::TListColumn* column = lvList->Columns()->Add();
        column->SetCaption(c.caption);
        column->SetWidth(c.width);
    }
    lvList->OnCustomDrawItem = {this, &TformList::lvListCustomDrawItem};
    lvList->OnDblClick = {this, &TformList::btnRenameClick};
    btnRename = GlyphButton(this, "btnRename", Rect(8, 256, 40, 282), "Переименовать"_cp);
    btnRename->OnClick = {this, &TformList::btnRenameClick};
    btnDel = GlyphButton(this, "btnDel", Rect(46, 256, 78, 282), "Удалить"_cp);
    btnDel->OnClick = {this, &TformList::btnDelClick};
    btnClose = MakeComponent<skin::TsBitBtn>(this, this, "btnClose", Rect(268, 256, 352, 282),
                                             "Закрыть"_cp);
    btnClose->SetCancel(true);
    btnClose->SetModalResult(vcl::mrCancel);
    OnCreate = {this, &TformList::FormCreate};
}

bool TformList::Execute(std::string& currentName) {
    CurrentName = currentName;
    Changed = false;
    FillListView();
    ShowModal();
    const db::TMainDataSets ds = main_.DataSets();
    ds.Query.Close();
    ds.Query2.Close();
    ds.Query3.Close();
    if (!Changed) currentName = CurrentName;
    return Changed;
}

void TformList::FillListView() {
    const db::TMainDataSets ds = main_.DataSets();
    db::SetStatement(ds.Query, db::kListNames);
    db::SetStatement(ds.Query2, db::kNumberCounts);
    db::SetStatement(ds.Query3, db::kProcessedCounts);
    ds.Query.Open();
    const std::map<int, int> numbers = Counts(ds.Query2);
    const std::map<int, int> processed = Counts(ds.Query3);

    vcl::TListItems* items = lvList->Items();
    items->BeginUpdate();
    items->Clear();
    for (ds.Query.First(); !ds.Query.Eof(); ds.Query.Next()) {
        const int id = ds.Query.FieldByName("id").AsInteger();
        vcl::TListItem* item = items->Add();
        item->SetCaption(ds.Query.FieldByName("name").AsString());
        item->SubItems()->Add(vcl::IntToStr(CountOf(numbers, id)));
        item->SubItems()->Add(vcl::IntToStr(CountOf(processed, id)));
    }
    items->EndUpdate();
}

std::string TformList::SelectedName() const {
    const vcl::TListItem* item = lvList->Selected();
    return item ? item->Caption() : std::string();
}

bool TformList::RefuseActive(const std::string& name) {
    if (!IsListActiveByName(main_.DataSets(), name)) return false;
    Message(ListBusyText(name), "Внимание"_cp, win::MB_ICONSTOP);
    return true;
}

void TformList::Message(const std::string& text, const std::string& caption, unsigned flags) {
    win::MessageBoxA(Handle(), text.c_str(), caption.c_str(), flags);
}

// ---- event handlers ----

void TformList::FormCreate(vcl::TObject*) {
    vcl::TCustomImageList* images = main_.AlphaImageList();
    btnRename->SetImages(images);
    btnRename->SetImageIndex(gateway::piJournal);
    btnDel->SetImages(images);
    btnDel->SetImageIndex(gateway::piDeleteRecords);
}

void TformList::lvListCustomDrawItem(vcl::TCustomListView* Sender, vcl::TListItem* Item,
                                     vcl::TCustomDrawState, bool&) {
    if (Item->Index() % 2 == 1) Sender->Canvas()->Brush()->SetColor(kOddRowColor);
}

void TformList::btnRenameClick(vcl::TObject*) {
    const std::string oldName = SelectedName();
    if (oldName.empty() || RefuseActive(oldName)) return;
    const std::string newName =
        vcl::Trim(vcl::InputBox("Переименование"_cp, "Введите новое имя:"_cp, oldName));
    // A blank answer is no name at all: nothing changes, as with Cancel.
    if (newName.empty() || vcl::AnsiSameText(newName, oldName)) return;

    const db::TMainDataSets ds = main_.DataSets();
    bool busy = false, taken = false, renamed = false;
    db::RunInTransaction(ds.Query.DatabaseName(), [&] {  // R1
        // A run may have taken the list while the input box was open; under the lock it cannot.
        busy = IsListActiveByName(ds, oldName);
        if (busy) return;
        db::SetStatement(ds.Query, db::kCountListsNamed);
        ds.Query.ParamByName("prmStr").SetAsString(newName);
        ds.Query.Open();
        taken = ds.Query.FieldByName("cnt").AsInteger() > 0;
        ds.Query.Close();
        if (taken) return;
        db::SetStatement(ds.Query, db::kRenameList);
        ds.Query.ParamByName("prmStr").SetAsString(newName);
        ds.Query.ParamByName("prmStr2").SetAsString(oldName);
        ds.Query.ExecSQL();
        renamed = ds.Query.RowsAffected() > 0;  // none when another copy deleted the list
    });
    if (busy) {
        Message(ListBusyText(oldName), "Внимание"_cp, win::MB_ICONSTOP);  // R4: after the commit
        return;
    }
    if (taken) {
        Message("Такое имя уже существует."_cp, "Ошибка"_cp, win::MB_ICONSTOP);
        return;
    }
    if (renamed && vcl::AnsiSameText(oldName, CurrentName)) CurrentName = newName;  // R3
    FillListView();
}

void TformList::btnDelClick(vcl::TObject*) {
    const std::string name = SelectedName();
    if (name.empty() || RefuseActive(name)) return;

    const db::TMainDataSets ds = main_.DataSets();
    bool found = false, busy = false;
    db::RunInTransaction(ds.Query.DatabaseName(), [&] {  // R2
        db::SetStatement(ds.Query, db::kListIDByName);
        ds.Query.ParamByName("prmStr").SetAsString(name);
        ds.Query.Open();
        found = !ds.Query.IsEmpty();
        const int id = found ? ds.Query.FieldByName("id").AsInteger() : 0;
        ds.Query.Close();
        if (!found) return;
        // A run may have taken the list since the check above; under the lock it cannot.
        busy = IsListActiveByID(ds, id);
        if (busy) return;
        for (const auto* lines :
             {&db::kDeleteValuesOfList, &db::kDeleteNumbersOfList, &db::kDeleteList}) {
            db::SetStatement(ds.Query, *lines);
            ds.Query.ParamByName("prmInt").SetAsInteger(id);
            ds.Query.ExecSQL();
        }
    });
    if (busy) {
        Message(ListBusyText(name), "Внимание"_cp, win::MB_ICONSTOP);  // R4: after the commit
        return;
    }
    if (found && vcl::AnsiSameText(name, CurrentName)) Changed = true;
    FillListView();
}

}  // namespace lists
