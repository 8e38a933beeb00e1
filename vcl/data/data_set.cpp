#include "vcl/data/data_set.h"

#include <algorithm>

#include "platform/os/cp1251.h"
#include "platform/sql/error.h"
#include "platform/sql/lexer.h"
#include "platform/sql/shared_database.h"
#include "vcl/data/data_source.h"

namespace vcl {

namespace {

const sql::Value kNull;

}  // namespace

// ---- field definitions and fields ----

int TFieldDefs::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (sql::SameName(items_[i].Name, name)) return static_cast<int>(i);
    return -1;
}

const TFieldDef* TFieldDefs::Find(const std::string& name) const {
    const int i = IndexOf(name);
    return i < 0 ? nullptr : &items_[i];
}

const sql::Value& TField::Value() const {
    return owner_.FieldValue(index_);
}

void TField::Set(sql::Value v) {
    owner_.SetFieldValue(index_, std::move(v));
}

TFieldType FieldTypeOf(const sql::Column& column, const sql::Value* firstValue) {
    const sql::ColumnType t = sql::ClassifyDeclaredType(column.declaredType);
    switch (t.type) {
        case sql::DeclaredType::Integer:
            return ftInteger;
        case sql::DeclaredType::SmallInt:
            return ftSmallint;
        case sql::DeclaredType::Boolean:
            return ftBoolean;
        case sql::DeclaredType::Real:
            return ftFloat;
        case sql::DeclaredType::DateTime:
            return ftDateTime;
        case sql::DeclaredType::Date:
            return ftDate;
        case sql::DeclaredType::Time:
            return ftTime;
        case sql::DeclaredType::String:
            return ftString;
        case sql::DeclaredType::Memo:
            return ftMemo;
        case sql::DeclaredType::Blob:
            return ftBlob;
        case sql::DeclaredType::Unknown:
            break;
    }
    if (!firstValue) return ftUnknown;
    switch (firstValue->type()) {
        case sql::Value::Type::Integer:
            return ftInteger;
        case sql::Value::Type::Real:
            return ftFloat;
        case sql::Value::Type::Text:
            return ftString;
        default:
            return ftUnknown;
    }
}

void RaiseDatabaseError(const std::exception& e, const std::string& sqlText,
                        std::vector<EDatabaseError::ParamText> params) {
    if (auto* d = dynamic_cast<const EDatabaseError*>(&e)) {
        if (!d->SQL.empty() || sqlText.empty()) throw *d;
        throw EDatabaseError(d->Message, sqlText, std::move(params), d->ErrorCode);
    }
    int code = 0;
    std::string message = e.what();
    if (auto* s = dynamic_cast<const sql::Error*>(&e)) {
        code = s->Code();
        message = os::Utf8ToCp1251(message);
    } else if (auto* x = dynamic_cast<const Exception*>(&e)) {
        message = x->Message;
    }
    throw EDatabaseError(message, sqlText, std::move(params), code);
}

// ---- the data set ----

TDataSet::~TDataSet() {
    while (!sources_.empty())
        sources_.back()->SetDataSet(nullptr);
}

void TDataSet::DataEvent(TDataEvent event) {
    if (controlsDisabled_ > 0) {
        if (event == deActiveChanged) missedOpenClose_ = true;
        return;
    }
    // A source may leave the data set while its links are told.
    const std::vector<TDataSource*> sources = sources_;
    for (TDataSource* s : sources)
        if (std::find(sources_.begin(), sources_.end(), s) != sources_.end()) s->DataEvent(event);
}

void TDataSet::EnableControls() {
    if (controlsDisabled_ == 0 || --controlsDisabled_ > 0) return;
    const bool openClose = missedOpenClose_;
    missedOpenClose_ = false;
    DataEvent(openClose ? deActiveChanged : deDataSetChange);
}

void TDataSet::Moved(int oldRow) {
    if (rec_ != oldRow) DataEvent(deDataSetScroll);
}

void TDataSet::SetDatabaseName(const std::string& folder) {
    CheckInactive();
    databaseName_ = folder;
}

void TDataSet::CheckInactive() const {
    if (Active()) throw EDatabaseError("Cannot perform this operation on an open dataset");
}

void TDataSet::CheckActive() const {
    if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

std::shared_ptr<sql::Database> TDataSet::Connection() const {
    try {
        return sql::SharedDatabase(databaseName_);
    } catch (const std::exception& e) {
        RaiseDatabaseError(e);
    }
}

void TDataSet::Open() {
    if (Active()) return;
    columns_.clear();
    cells_.clear();
    hidden_ = 0;
    rowsRead_ = true;
    onDemand_ = false;
    InternalOpen();
    fieldDefs_.Clear();
    fields_.clear();
    const sql::Value* first = nullptr;  // the first row, when it is at hand
    if (onDemand_ ? DemandedRowCount() > 0 : rowsRead_ && !cells_.empty()) first = &Cell(0, 0);
    for (std::size_t c = hidden_; c < columns_.size(); ++c) {
        const TFieldType type = FieldTypeOf(columns_[c], first ? first + c : nullptr);
        const int size =
            type == ftString ? sql::ClassifyDeclaredType(columns_[c].declaredType).size : 0;
        TFieldDef def{columns_[c].name, type, size};
        fieldDefs_.Add(def);
        fields_.push_back(
            std::make_unique<TField>(*this, static_cast<int>(c) - hidden_, std::move(def)));
    }
    state_ = dsBrowse;
    rec_ = Rows() > 0 ? 0 : -1;
    eof_ = bof_ = rec_ < 0;
    DataEvent(deActiveChanged);
}

void TDataSet::Close() {
    if (!Active()) return;
    state_ = dsInactive;
    InternalClose();
    onDemand_ = false;
    cells_.clear();
    cells_.shrink_to_fit();
    buffer_.clear();
    modified_.clear();
    rec_ = -1;
    eof_ = bof_ = true;
    DataEvent(deActiveChanged);
}

// Rows left unread at open are read on first need; the current record stays current when it
// is among them (the hidden first column identifies it).
void TDataSet::ReadRows() {
    if (rowsRead_) return;
    sql::Value key;
    const bool hadRow = rec_ >= 0 && hidden_ > 0;
    if (hadRow) key = Cell(rec_, 0);
    FetchRows();
    rowsRead_ = true;
    rec_ = Rows() > 0 ? 0 : -1;
    if (hadRow)
        for (int r = 0; r < Rows(); ++r)
            if (dbvalue::SameValue(Cell(r, 0), key)) rec_ = r;
    eof_ = bof_ = rec_ < 0;
}

void TDataSet::CheckBrowse() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) Post();
    ReadRows();
}

void TDataSet::First() {
    CheckBrowse();
    const int old = rec_;
    rec_ = Rows() > 0 ? 0 : -1;
    eof_ = rec_ < 0;
    bof_ = true;
    Moved(old);
}

void TDataSet::Last() {
    CheckBrowse();
    const int old = rec_;
    rec_ = Rows() - 1;
    eof_ = true;
    bof_ = rec_ < 0;
    Moved(old);
}

void TDataSet::Next() {
    CheckBrowse();
    if (rec_ + 1 < Rows()) {
        ++rec_;
        bof_ = false;
        DataEvent(deDataSetScroll);
    } else {
        eof_ = true;
    }
}

void TDataSet::Prior() {
    CheckBrowse();
    if (rec_ > 0) {
        --rec_;
        eof_ = false;
        DataEvent(deDataSetScroll);
    } else {
        bof_ = true;
    }
}

bool TDataSet::Eof() {
    if (!Active()) return true;
    ReadRows();
    return eof_;
}

bool TDataSet::Bof() {
    if (!Active()) return true;
    ReadRows();
    return bof_;
}

int TDataSet::RecordCount() {
    if (!Active()) return 0;
    ReadRows();
    return Rows();
}

int TDataSet::RecNo() {
    if (!Active()) return 0;
    ReadRows();
    return rec_ + 1;
}

void TDataSet::SetRecNo(int recNo) {
    CheckBrowse();
    if (recNo < 1 || recNo > Rows()) return;
    const int old = rec_;
    rec_ = recNo - 1;
    eof_ = bof_ = false;
    Moved(old);
}

TField* TDataSet::FindField(const std::string& name) {
    const int i = fieldDefs_.IndexOf(name);
    return i < 0 ? nullptr : fields_[i].get();
}

TField& TDataSet::FieldByName(const std::string& name) {
    if (TField* f = FindField(name)) return *f;
    throw EDatabaseError(Format("Field '%s' not found", name));
}

const sql::Value& TDataSet::FieldValue(int index) {
    const int col = hidden_ + index;
    if (readRec_ > 0 && Active() && !(state_ == dsEdit && readRec_ == rec_ + 1)) {
        ReadRows();
        return readRec_ <= Rows() ? Cell(readRec_ - 1, col) : kNull;
    }
    if (state_ == dsEdit || state_ == dsInsert) return buffer_[col];
    if (!Active()) return kNull;
    if (rec_ < 0) ReadRows();  // a record appended before the rows were read is current
    if (rec_ < 0) return kNull;
    return Cell(rec_, col);
}

void TDataSet::SetFieldValue(int index, sql::Value v) {
    if (state_ != dsEdit && state_ != dsInsert)
        throw EDatabaseError("Dataset not in edit or insert mode");
    buffer_[hidden_ + index] = std::move(v);
    modified_[index] = true;
}

void TDataSet::CheckModifiable() const {
    CheckActive();
    if (!CanModify()) throw EDatabaseError("Cannot modify a read-only dataset");
}

void TDataSet::Edit() {
    CheckModifiable();
    if (state_ == dsEdit || state_ == dsInsert) return;
    if (rec_ < 0) ReadRows();
    if (rec_ < 0) throw EDatabaseError("Cannot edit an empty dataset");
    buffer_.assign(cells_.begin() + static_cast<std::ptrdiff_t>(rec_ * columns_.size()),
                   cells_.begin() + static_cast<std::ptrdiff_t>((rec_ + 1) * columns_.size()));
    modified_.assign(fields_.size(), false);
    state_ = dsEdit;
}

void TDataSet::Append() {
    CheckModifiable();
    if (state_ == dsEdit || state_ == dsInsert) Post();
    buffer_.assign(columns_.size(), sql::Value());
    modified_.assign(fields_.size(), false);
    state_ = dsInsert;
}

void TDataSet::Post() {
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert) return;
    const bool inserting = state_ == dsInsert;
    InternalPost(inserting, buffer_, modified_);
    if (inserting) {
        cells_.insert(cells_.end(), buffer_.begin(), buffer_.end());
        rec_ = Rows() - 1;
    } else {
        std::copy(buffer_.begin(), buffer_.end(),
                  cells_.begin() + static_cast<std::ptrdiff_t>(rec_ * columns_.size()));
    }
    eof_ = bof_ = false;
    state_ = dsBrowse;
    buffer_.clear();
    DataEvent(deDataSetChange);
}

void TDataSet::Cancel() {
    const bool editing = state_ == dsEdit || state_ == dsInsert;
    if (editing) state_ = dsBrowse;
    buffer_.clear();
    if (editing) DataEvent(deDataSetChange);
}

void TDataSet::InternalPost(bool, std::vector<sql::Value>&, const std::vector<bool>&) {}

// Only a data set that sets onDemand_ is asked.
const sql::Value* TDataSet::DemandedRow(int) const {
    throw EDatabaseError("The data set reads no rows on demand");
}

}  // namespace vcl
