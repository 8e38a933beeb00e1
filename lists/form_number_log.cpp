#include "lists/form_number_log.h"

#include <algorithm>

#include "db/statements.h"
#include "db/transaction.h"
#include "gateway/form_building.h"
#include "gateway/main_window_link.h"
#include "gateway/program_images.h"
#include "gateway/send_journal.h"
#include "lists/form_filter.h"
#include "lists/settings.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/os/sys_error.h"
#include "platform/user/message_box.h"
#include "vcl/system/date_utils.h"

namespace lists {

namespace {

constexpr char kEscape = 27;
constexpr int kMinIMEILength = 15;

struct ColumnSpec {
    const char* field;
    std::string title;
    int width;
};

const ColumnSpec& Spec(int i) {
    static const ColumnSpec specs[] = {
        {"ID", "", 40},
        {"NUMID", "ИД номера"_cp, 70},
        {"Number", "Номер"_cp, 110},
        {"SendTime", "Время отправки"_cp, 130},
        {"SendResultOK", "Результат отправки"_cp, 120},
        {"ReceiveTimeClient", "Время доставки"_cp, 130},
        {"StatusSC", "Результат доставки"_cp, 130},
        {"TextSMS", "Текст СМС"_cp, 220},
        {"Name", "Имя списка"_cp, 110},
        {"StartTime", "Время старта рассылки"_cp, 150},
        {"IMEI", "IMEI", 120},
    };
    return specs[i];
}
constexpr int kColumns = 11;

// A field of the export: quoted, inner quotes doubled, when it holds a control character or
// blank, a quote or a semicolon.
std::string CSVField(const std::string& s) {
    const bool quote = std::any_of(s.begin(), s.end(), [](char c) {
        return static_cast<unsigned char>(c) <= 32 || c == '"' || c == ';';
    });
    return quote ? "\"" + vcl::StringReplaceAll(s, "\"", "\"\"") + "\"" : s;
}

std::string DateTimeText(os::TDateTime dt) {
    vcl::TFormatSettings fs = vcl::FormatSettings;
    fs.TimeSeparator = ':';
    return vcl::FormatDateTime("dd.mm.yyyy hh:nn:ss", dt, fs);
}

// Conditions that together select exactly `keys`: runs of consecutive keys become ranges, a
// bounded number of them per statement, so a million keys need neither a huge statement nor a
// statement per row.
std::vector<std::string> KeyRunConditions(std::vector<int64_t> keys) {
    constexpr int kRunsPerStatement = 100;
    std::sort(keys.begin(), keys.end());
    std::vector<std::string> out;
    std::string condition;
    int runs = 0;
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t j = i;
        while (j + 1 < keys.size() && keys[j + 1] <= keys[j] + 1)
            ++j;
        if (runs) condition += " or ";
        condition += "(ID>=" + std::to_string(keys[i]) + " and ID<=" + std::to_string(keys[j]) + ")";
        if (++runs == kRunsPerStatement) {
            out.push_back(std::move(condition));
            condition.clear();
            runs = 0;
        }
        i = j + 1;
    }
    if (runs) out.push_back(std::move(condition));
    return out;
}

// A counted row that another copy deleted since the refresh reads as nulls, its key too.
bool RowGone(vcl::TDataSet& data) {
    return data.FieldByName("ID").IsNull();
}

}  // namespace

// ---- what a row shows ----

std::string StatusWord(const vcl::TField& f) {
    if (f.IsNull()) return "Отчет не получен"_cp;
    const int v = f.AsInteger();
    if (v >= 0 && v <= 31) return "Доставлено"_cp;
    if (v >= 32 && v <= 63) return "Временная ошибка"_cp;
    if (v >= 64 && v <= 127) return "Не доставлено"_cp;
    return vcl::Format("Неизвестный код %d"_cp, v);
}

vcl::TColor StatusColor(const vcl::TField& f) {
    if (f.IsNull()) return vcl::clWhite;
    const int v = f.AsInteger();
    if (v >= 0 && v <= 31) return vcl::RGB(155, 255, 155);
    if (v >= 32 && v <= 63) return vcl::RGB(255, 255, 170);
    if (v >= 64 && v <= 127) return vcl::RGB(255, 170, 170);
    return vcl::clWhite;
}

std::string SendResultWord(bool ok) {
    return ok ? "Успех"_cp : "Ошибка"_cp;
}

std::string GroupNumber(const std::string& number) {
    std::string out;
    const std::size_t n = number.size();
    for (std::size_t k = 1; k <= n; ++k) {  // k: the place counted from the right
        out.insert(out.begin(), number[n - k]);
        if ((k == 2 || k == 4 || k == 7 || k == 10) && k < n) out.insert(out.begin(), '-');
    }
    return out;
}

std::string ShownStartTime(const std::string& s) {
    if (s.size() != 19) return s;
    return s.substr(8, 2) + "." + s.substr(5, 2) + "." + s.substr(0, 4) + " " + s.substr(11, 8);
}

std::string ShownDateTime(const vcl::TField& f) {
    if (f.IsNull()) return {};
    const os::TDateTime dt = f.AsDateTime();
    return dt == 0 ? std::string() : DateTimeText(dt);
}

std::string JournalCSV(vcl::TDataSet& data) {
    std::string out =
        "Номер;Время отправки;Результат отправки;Время доставки;Результат доставки;Текст СМС;"
        "ИД номера;Имя списка;Время старта рассылки;IMEI шлюза\r\n"_cp;
    vcl::TField& number = data.FieldByName("Number");
    vcl::TField& sendTime = data.FieldByName("SendTime");
    vcl::TField& sendResult = data.FieldByName("SendResultOK");
    vcl::TField& receiveTime = data.FieldByName("ReceiveTimeClient");
    vcl::TField& status = data.FieldByName("StatusSC");
    vcl::TField& text = data.FieldByName("TextSMS");
    vcl::TField& numID = data.FieldByName("NUMID");
    vcl::TField& name = data.FieldByName("Name");
    vcl::TField& startTime = data.FieldByName("StartTime");
    vcl::TField& imei = data.FieldByName("IMEI");
    struct Back {
        vcl::TDataSet& data;
        ~Back() { data.ReadRecord(0); }
    } back{data};
    const int count = data.RecordCount();
    for (int rec = 1; rec <= count; ++rec) {
        data.ReadRecord(rec);
        if (RowGone(data)) continue;
        const std::string fields[] = {
            number.AsString(),
            DateTimeText(sendTime.AsDateTime()),
            SendResultWord(sendResult.AsBoolean()),
            ShownDateTime(receiveTime),
            StatusWord(status),
            text.AsString(),
            numID.AsString(),
            name.AsString(),
            startTime.AsString(),
            imei.AsString(),
        };
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            if (i) out += ';';
            out += CSVField(fields[i]);
        }
        out += "\r\n";
    }
    return out;
}

// ---- the window ----

TformNumberLog::TformNumberLog(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("formNumberLog");
    SetCaption("Журнал отправки СМС"_cp);
    SetPosition(vcl::poScreenCenter);
    SetClientSize(900, 520);
    KeyPreview = true;
    MakeComponents();
    OnCreate = {this, &TformNumberLog::FormCreate};
    OnKeyPress = {this, &TformNumberLog::FormKeyPress};
}

// The components (the grid and its data source) are gone before the data sets.
TformNumberLog::~TformNumberLog() = default;

void TformNumberLog::MakeComponents() {
    using gateway::MakeComponent;
    using vcl::Rect;
    panTools = MakeComponent<skin::TsPanel>(this, this, "panTools", Rect(0, 0, 900, 30));
    panTools->SetAlign(vcl::alTop);
    panTools->SetBevelOuter(vcl::bvNone);
    struct Button {
        skin::TsSpeedButton** button;
        const char* name;
        std::string caption;
        int width;
        void (TformNumberLog::*click)(vcl::TObject*);
    };
    const Button buttons[] = {
        {&btnFilter, "btnFilter", "Фильтровать записи"_cp, 150, &TformNumberLog::btnFilterClick},
        {&btnUpdate, "btnUpdate", "Обновить"_cp, 100, &TformNumberLog::btnUpdateClick},
        {&btnDelete, "btnDelete", "Удалить записи"_cp, 130, &TformNumberLog::btnDeleteClick},
        {&btnSaveCSV, "btnSaveCSV", "Сохранить в CSV-файл"_cp, 170,
         &TformNumberLog::btnSaveCSVClick},
    };
    int left = 2;
    for (const Button& b : buttons) {
        skin::TsSpeedButton* btn = MakeComponent<skin::TsSpeedButton>(
            this, panTools, b.name, Rect(left, 2, left + b.width, 28), b.caption);
        btn->SetFlat(true);
        btn->OnClick = {this, b.click};
        *b.button = btn;
        left += b.width + 2;
    }

    Grid = MakeComponent<vcl::TDBGrid>(this, this, "Grid", Rect(0, 30, 900, 500));
    Grid->SetAlign(vcl::alClient);
    Grid->SetOptions({vcl::dgTitles, vcl::dgIndicator, vcl::dgColumnResize, vcl::dgColLines,
                      vcl::dgRowLines, vcl::dgAlwaysShowSelection});
    for (int i = 0; i < kColumns; ++i) {
        vcl::TColumn* c = Grid->Columns()->Add();
        c->SetFieldName(Spec(i).field);
        c->Title()->SetCaption(Spec(i).title);
        c->SetWidth(Spec(i).width);
        c->SetVisible(i != 0);
    }
    Grid->OnDrawColumnCell = {this, &TformNumberLog::GridDrawColumnCell};

    StatusBar = MakeComponent<skin::TsStatusBar>(this, this, "StatusBar", Rect(0, 500, 900, 520));
    StatusBar->SetAlign(vcl::alBottom);
    StatusBar->Panels()->Add()->SetWidth(200);

    SaveDialog = vcl::New<skin::TsSaveDialog>(this);
    SaveDialog->SetName("SaveDialog");
    SaveDialog->SetDefaultExt("csv");
    SaveDialog->SetFilter("CSV|*.csv|Все файлы|*.*"_cp);
    SaveDialog->SetOptions({vcl::ofOverwritePrompt});

    DataSource = vcl::New<vcl::TDataSource>(this);
    DataSource->SetName("DataSource");
    DataSource->SetDataSet(&Query);
    Grid->SetDataSource(DataSource);
}

void TformNumberLog::PointAt(const std::string& folder) {
    for (vcl::TDataSet* ds :
         {static_cast<vcl::TDataSet*>(&Query), static_cast<vcl::TDataSet*>(&QueryTmp),
          static_cast<vcl::TDataSet*>(&Table)}) {
        ds->Close();
        ds->SetDatabaseName(folder);
    }
}

void TformNumberLog::FormCreate(vcl::TObject*) {
    PointAt(DatabaseFolder());
    Table.SetTableName("NumberLog.DB");
    SaveDialog->SetInitialDir(os::Utf8ToCp1251(os::ExecutableDir()));
    ResetFilter();
    gateway::TMainWindowLink* main = gateway::MainWindowLink();
    const std::pair<skin::TsSpeedButton*, int> glyphs[] = {
        {btnFilter, gateway::piFilter},
        {btnUpdate, gateway::piRefresh},
        {btnDelete, gateway::piDeleteRecords},
        {btnSaveCSV, gateway::piSave},
    };
    for (const auto& [button, image] : glyphs) {
        button->SkinData()->SetSkinSection("TOOLBUTTON");
        if (main) button->SetImages(main->AlphaImageList());
        button->SetImageIndex(image);
    }
}

void TformNumberLog::FormKeyPress(vcl::TObject*, char& Key) {
    if (Key != kEscape) return;
    Key = 0;
    Close();
}

void TformNumberLog::ShowForMailing(const std::string& imei, os::TDateTime startTime) {
    const std::string trimmed = vcl::Trim(imei);
    if (startTime != 0 && trimmed.size() >= kMinIMEILength) {
        ResetFilter();
        Filter.StartTimes = "\"" + gateway::JournalStartTime(startTime) + "\"";
        Filter.IMEIs = trimmed;
    }
    RefreshLog();
    struct CloseQuery {
        vcl::TKeyedQuery& query;
        ~CloseQuery() { query.Close(); }
    } closeQuery{Query};
    ShowModal();
}

void TformNumberLog::RefreshLog() {
    db::SetStatement(Query, db::kJournalRows);
    // By key from every row, so a counted row that a report took out of the filter still reads.
    Query.SetRowSource(Query.SQL.Text());
    const std::string condition = FilterToSQL();
    if (!condition.empty()) Query.SQL.Add("where " + condition);
    Query.SetOrderBy(db::kJournalOrderKey);
    // Under a filter that reports can change, the keys counted now are kept for the delete;
    // under any other, the rows it selects up to the greatest key stay the same.
    Query.SetKeepKeys(FilterFollowsReports(Filter));
    try {
        Query.Open();
    } catch (const vcl::Exception& e) {
        MessageBox(e.Message + "\r" + Query.SQL.Text(), "Ошибка"_cp, win::MB_OK | win::MB_ICONSTOP);
        return;
    }
    StatusBar->Panels()->Items(0)->SetText(
        vcl::Format("Всего записей: %d"_cp, Query.RecordCount()));
    for (int i = 0; i < kColumns; ++i) {
        vcl::TColumn* c = Grid->Columns()->Items(i);
        c->SetFieldName(Spec(i).field);
        c->SetVisible(i != 0);
    }
}

std::string TformNumberLog::OfferedValues(std::size_t minLength) {
    QueryTmp.Open();
    std::vector<std::string> items;
    for (QueryTmp.First(); !QueryTmp.Eof(); QueryTmp.Next()) {
        std::string v = vcl::Trim(QueryTmp.Fields(0).AsString());
        if (!v.empty() && v.size() >= minLength) items.push_back(std::move(v));
    }
    QueryTmp.Close();
    return ItemsCommaText(items);
}

void TformNumberLog::btnFilterClick(vcl::TObject*) {
    db::SetStatement(QueryTmp, db::kJournalNames);
    const std::string names = OfferedValues(1);
    db::SetStatement(QueryTmp, db::kJournalStartTimes);
    const std::string starts = OfferedValues(1);
    db::SetStatement(QueryTmp, db::kJournalIMEIs);
    const std::string imeis = OfferedValues(kMinIMEILength);

    TformFilter* dialog = FilterForm();
    if (!dialog) vcl::Application()->CreateForm(dialog);
    if (dialog->Execute(Filter, names, imeis, starts)) {
        Query.Close();
        RefreshLog();
    }
}

void TformNumberLog::btnUpdateClick(vcl::TObject*) {
    Query.Close();
    RefreshLog();
}

void TformNumberLog::btnDeleteClick(vcl::TObject*) {
    // The keys the refresh counted, not the filter evaluated again: reports may have moved rows
    // into or out of it since. After a failed refresh nothing is shown and nothing goes.
    const std::vector<int64_t> keys = Query.Active() ? Query.Keys() : std::vector<int64_t>();
    const int answer = MessageBox(
        vcl::Format("Будет удалено записей: %d.\rВы уверены, что хотите удалить?"_cp,
                    static_cast<int>(keys.size())),
        "Вопрос"_cp, win::MB_YESNO | win::MB_ICONQUESTION | win::MB_DEFBUTTON2);
    if (answer != win::IDYES) return;
    db::RunInTransaction(QueryTmp.DatabaseName(), [&] {
        for (const std::string& condition : KeyRunConditions(keys)) {
            db::SetStatement(QueryTmp, db::kJournalDelete);
            QueryTmp.SQL.Add("where " + condition);
            QueryTmp.ExecSQL();
        }
    });
    ResetFilter();
    RefreshLog();
}

void TformNumberLog::SaveCSV(const std::string& fileName) {
    std::string text;
    Query.DisableControls();
    struct Release {
        vcl::TDataSet& data;
        ~Release() { data.EnableControls(); }
    } release{Query};
    if (Query.Active()) {
        Query.DropCachedRows();  // the pages the grid read may have changed since
        text = JournalCSV(Query);
    }
    if (!os::WriteFileAtomically(os::Cp1251ToUtf8(fileName), text))
        throw vcl::EFCreateError(
            vcl::Format("Cannot create file \"%s\". %s", fileName, os::LastError().text));
}

void TformNumberLog::btnSaveCSVClick(vcl::TObject*) {
    if (SaveDialog->Execute()) SaveCSV(SaveDialog->FileName());
}

// ---- drawing ----

void TformNumberLog::GridDrawColumnCell(vcl::TObject*, const vcl::TRect& Rect, int,
                                        vcl::TColumn* Column, vcl::TGridDrawState State) {
    // A row that is gone keeps the grid's own look: an empty row.
    if (!Query.Active() || Query.IsEmpty() || RowGone(Query)) return;
    vcl::TCanvas* c = Grid->Canvas();
    // The selection as the grid shows it: the system highlight, or the skin's when skinned.
    if (State.Contains(vcl::gdSelected)) {
        c->Brush()->SetColor(Grid->SelectionColor());
        c->Font()->SetColor(Grid->SelectionTextColor());
    } else {
        c->Brush()->SetColor(StatusColor(Query.FieldByName("StatusSC")));
        c->Font()->SetColor(vcl::clBlack);
    }
    c->Font()->SetStyle({});
    c->FillRect(Rect);
    vcl::TField* f = Column->Field();
    if (!f) return;
    const std::string& name = Column->FieldName();
    std::string text;
    if (vcl::SameText(name, "Number"))
        text = GroupNumber(f->AsString());
    else if (vcl::SameText(name, "SendTime") || vcl::SameText(name, "ReceiveTimeClient"))
        text = ShownDateTime(*f);
    else if (vcl::SameText(name, "SendResultOK"))
        text = SendResultWord(f->AsBoolean());
    else if (vcl::SameText(name, "StatusSC"))
        text = StatusWord(*f);
    else if (vcl::SameText(name, "StartTime"))
        text = ShownStartTime(f->AsString());
    else
        text = f->AsString();
    c->TextRect(Rect, Rect.Left + 2, Rect.Top + 2, text);
}

int TformNumberLog::MessageBox(const std::string& text, const std::string& caption,
                               unsigned flags) {
    return win::MessageBoxA(HandleAllocated() && Visible() ? Handle() : nullptr, text.c_str(),
                            caption.c_str(), flags);
}

}  // namespace lists
