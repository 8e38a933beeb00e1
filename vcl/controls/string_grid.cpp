// TDrawGrid, which hands its cells to the program's events, and TStringGrid with its texts.
#include <algorithm>

#include "vcl/controls/grids.h"

namespace vcl {

// ---- TDrawGrid ----

std::vector<TPropInfo> TDrawGrid::Published() {
    return {
        Property("ColCount", &TDrawGrid::ColCount, &TDrawGrid::SetColCount),
        Property("RowCount", &TDrawGrid::RowCount, &TDrawGrid::SetRowCount),
        Property("FixedCols", &TDrawGrid::FixedCols, &TDrawGrid::SetFixedCols),
        Property("FixedRows", &TDrawGrid::FixedRows, &TDrawGrid::SetFixedRows),
        Property("DefaultColWidth", &TDrawGrid::DefaultColWidth, &TDrawGrid::SetDefaultColWidth),
        Property("DefaultRowHeight", &TDrawGrid::DefaultRowHeight, &TDrawGrid::SetDefaultRowHeight),
        Property("Options", &TDrawGrid::OptionBits, &TDrawGrid::SetOptionBits)};
}

void TDrawGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    OnDrawCell(this, col, row, rect, state);
}

bool TDrawGrid::SelectCell(int col, int row) {
    bool can = true;
    OnSelectCell(this, col, row, can);
    return can;
}

std::string TDrawGrid::GetEditText(int col, int row) {
    std::string value;
    OnGetEditText(this, col, row, value);
    return value;
}

void TDrawGrid::SetEditText(int col, int row, const std::string& value) {
    OnSetEditText(this, col, row, value);
}

// ---- TStringGrid ----

TStringGrid::TStringGrid(TComponent* owner) : TDrawGrid(owner) {}

TStringGrid::~TStringGrid() = default;

std::string TStringGrid::Cells(int col, int row) const {
    if (col < 0 || row < 0 || row >= static_cast<int>(cells_.size())) return {};
    const auto& r = cells_[static_cast<std::size_t>(row)];
    return col < static_cast<int>(r.size()) ? r[static_cast<std::size_t>(col)] : std::string();
}

void TStringGrid::SetCells(int col, int row, const std::string& text) {
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        throw EInvalidGridOperation("Grid index out of range");
    if (row >= static_cast<int>(cells_.size())) cells_.resize(static_cast<std::size_t>(row) + 1);
    auto& r = cells_[static_cast<std::size_t>(row)];
    // Only up to the cell written: a wide grid of short rows costs what its texts cost.
    if (col >= static_cast<int>(r.size())) r.resize(static_cast<std::size_t>(col) + 1);
    r[static_cast<std::size_t>(col)] = text;
    InvalidateCell(col, row);
    if (col == Col() && row == Row()) InvalidateEditor();
}

TStrings* TStringGrid::Cols(int col) {
    if (col < 0 || col >= ColCount()) throw EInvalidGridOperation("Grid index out of range");
    auto& list = colLists_[col];
    if (!list) list = std::make_unique<TStringGridStrings>(this, true, col);
    return list.get();
}

TStrings* TStringGrid::Rows(int row) {
    if (row < 0 || row >= RowCount()) throw EInvalidGridOperation("Grid index out of range");
    auto& list = rowLists_[row];
    if (!list) list = std::make_unique<TStringGridStrings>(this, false, row);
    return list.get();
}

// Cells past the new counts go, so rows and columns that grow back are empty.
void TStringGrid::SizeChanged(int oldColCount, int oldRowCount) {
    if (RowCount() < static_cast<int>(cells_.size()))
        cells_.resize(static_cast<std::size_t>(RowCount()));
    if (ColCount() < oldColCount)
        for (auto& r : cells_)
            if (static_cast<int>(r.size()) > ColCount())
                r.resize(static_cast<std::size_t>(ColCount()));
    TDrawGrid::SizeChanged(oldColCount, oldRowCount);
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    if (DefaultDrawing()) {
        const std::string text = Cells(col, row);
        if (!text.empty()) Canvas()->TextRect(rect, rect.Left + 2, rect.Top + 2, text);
    }
    TDrawGrid::DrawCell(col, row, rect, state);
}

std::string TStringGrid::GetEditText(int col, int row) {
    std::string value = Cells(col, row);
    OnGetEditText(this, col, row, value);
    return value;
}

void TStringGrid::SetEditText(int col, int row, const std::string& value) {
    SetCells(col, row, value);
    TDrawGrid::SetEditText(col, row, value);
}

// ---- a column or row as lines ----

int TStringGridStrings::Count() const {
    return column_ ? grid_->RowCount() : grid_->ColCount();
}

std::string TStringGridStrings::Get(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
    return column_ ? grid_->Cells(index_, index) : grid_->Cells(index, index_);
}

void TStringGridStrings::Put(int index, const std::string& s) {
    if (index < 0 || index >= Count()) IndexError(index);
    if (column_)
        grid_->SetCells(index_, index, s);
    else
        grid_->SetCells(index, index_, s);
}

int TStringGridStrings::Add(const std::string& s) {
    for (int i = 0; i < Count(); ++i) {
        if (Get(i).empty()) {
            Put(i, s);
            return i;
        }
    }
    return -1;
}

void TStringGridStrings::Insert(int, const std::string&) {
    throw EInvalidGridOperation("Cannot insert or delete rows from grid");
}

void TStringGridStrings::Delete(int) {
    throw EInvalidGridOperation("Cannot insert or delete rows from grid");
}

void TStringGridStrings::Clear() {
    for (int i = 0; i < Count(); ++i)
        Put(i, {});
}

void TStringGridStrings::Assign(const TPersistent* source) {
    if (const auto* lines = dynamic_cast<const TStrings*>(source)) {
        const int n = Count();
        for (int i = 0; i < n; ++i)
            Put(i, i < lines->Count() ? lines->Get(i) : std::string());
        return;
    }
    TStrings::Assign(source);
}

}  // namespace vcl
