#include "vcl/controls/db_grids.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace vcl {

namespace {

constexpr int kIndicatorWidth = 11;

}  // namespace

// ---- columns ----

std::string TColumnTitle::Caption() const {
    return caption_.empty() ? column_->FieldName() : caption_;
}

void TColumnTitle::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    column_->Changed(false);
}

TColumn::TColumn(TCollection* collection) : TCollectionItem(collection) {}

TColumn::~TColumn() = default;

TDBGrid* TColumn::Grid() const {
    auto* c = dynamic_cast<TDBGridColumns*>(Collection());
    return c ? c->Grid() : nullptr;
}

void TColumn::SetFieldName(const std::string& name) {
    if (name == fieldName_) return;
    fieldName_ = name;
    Changed(false);
}

void TColumn::SetWidth(int width) {
    width = std::max(width, 0);
    if (width == width_) return;
    width_ = width;
    Changed(false);
}

void TColumn::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Changed(false);
}

TField* TColumn::Field() const {
    TDBGrid* g = Grid();
    TDataSet* ds = g && g->DataSource() ? g->DataSource()->DataSet() : nullptr;
    return ds && ds->Active() && !fieldName_.empty() ? ds->FindField(fieldName_) : nullptr;
}

TDBGridColumns::TDBGridColumns(TDBGrid* grid) : TOwnedCollection<TColumn>(grid), grid_(grid) {}

// A change the program makes makes the columns its own; the grid's own changes do not.
void TDBGridColumns::Update(TCollectionItem*) {
    if (grid_->layoutLock_ > 0) return;
    grid_->defaultColumns_ = false;
    grid_->LayoutChanged();
}

// ---- the grid ----

std::vector<TPropInfo> TDBGrid::Published() {
    using G = TDBGrid;
    return {Property("DataSource", &G::DataSource, &G::SetDataSource),
            Property("Options", &G::OptionBits, &G::SetOptionBits),
            Property("FixedGradientFrom", &G::LookColor<lcFixedGradientFrom>,
                     &G::SetLookColor<lcFixedGradientFrom>),
            Property("FixedGradientTo", &G::LookColor<lcFixedGradientTo>,
                     &G::SetLookColor<lcFixedGradientTo>),
            Property("FixedGradientMirrorFrom", &G::LookColor<lcFixedGradientMirrorFrom>,
                     &G::SetLookColor<lcFixedGradientMirrorFrom>),
            Property("FixedGradientMirrorTo", &G::LookColor<lcFixedGradientMirrorTo>,
                     &G::SetLookColor<lcFixedGradientMirrorTo>),
            Property("SelectionColor", &G::LookColor<lcSelection>, &G::SetLookColor<lcSelection>),
            Property("SelectionTextColor", &G::LookColor<lcSelectionText>,
                     &G::SetLookColor<lcSelectionText>),
            Property("IndicatorIconColor", &G::LookColor<lcIndicatorIcon>,
                     &G::SetLookColor<lcIndicatorIcon>)};
}

void TDBGrid::SetLook(TLookColor which, TColor color) {
    if (look_[which] == color) return;
    look_[which] = color;
    Invalidate();
}

TDBGrid::TDBGrid(TComponent* owner) : TCustomGrid(owner) {
    LayoutChanged();
}

TDBGrid::~TDBGrid() {
    ++layoutLock_;  // the columns go without laying the grid out again
    columns_.Clear();
}

void TDBGrid::Link::ActiveChanged() {
    TDataSet* ds = DataSet();
    if (ds && ds->Active()) {
        if (grid_->defaultColumns_ || grid_->columns_.Count() == 0) grid_->DefaultColumns();
    } else if (grid_->defaultColumns_) {
        ++grid_->layoutLock_;
        grid_->columns_.Clear();
        --grid_->layoutLock_;
        grid_->defaultColumns_ = false;
    }
    grid_->LayoutChanged();
}

void TDBGrid::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
}

void TDBGrid::SetOptions(TDBGridOptions options) {
    if (options == dgOptions_) return;
    dgOptions_ = options;
    LayoutChanged();
}

void TDBGrid::DefaultColumns() {
    ++layoutLock_;
    columns_.Clear();
    TDataSet* ds = link_.DataSet();
    for (int i = 0; i < ds->FieldCount(); ++i)
        columns_.Add()->SetFieldName(ds->Fields(i).FieldName());
    --layoutLock_;
    defaultColumns_ = true;
}

void TDBGrid::LayoutChanged() {
    if (layoutLock_ > 0) return;
    ++layoutLock_;
    shown_.clear();
    for (int i = 0; i < columns_.Count(); ++i)
        if (columns_.Items(i)->Visible()) shown_.push_back(columns_.Items(i));
    titles_ = dgOptions_.Contains(dgTitles) ? 1 : 0;
    indicator_ = dgOptions_.Contains(dgIndicator) ? 1 : 0;

    TGridOptions o;
    if (dgOptions_.Contains(dgColLines)) o << goFixedVertLine << goVertLine;
    if (dgOptions_.Contains(dgRowLines)) o << goFixedHorzLine << goHorzLine;
    if (dgOptions_.Contains(dgColumnResize)) o << goColSizing;
    TCustomGrid::SetOptions(o);

    // A row holds a line of text with a little room, and its line when rows have lines.
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    win::HGDIOBJ old = win::SelectObject(dc, Font()->Handle());
    win::SIZE text{};
    win::GetTextExtentPoint32(dc, "Wg", 2, &text);
    win::SelectObject(dc, old);
    win::DeleteDC(dc);
    SetDefaultRowHeight(text.cy + 3 + (dgOptions_.Contains(dgRowLines) ? 1 : 0));

    const int cols = indicator_ + std::max<int>(1, static_cast<int>(shown_.size()));
    if (RowCount() <= titles_) SetRowCount(titles_ + 1);
    SetColCount(cols);
    SetFixedCols(indicator_);
    SetFixedRows(titles_);
    if (indicator_) SetColWidths(0, kIndicatorWidth);
    for (std::size_t i = 0; i < shown_.size(); ++i)
        SetColWidths(indicator_ + static_cast<int>(i), shown_[i]->Width());
    --layoutLock_;
    Sync();
    Invalidate();
}

int TDBGrid::DataRows() const {
    const int line = dgOptions_.Contains(dgRowLines) ? 1 : 0;
    const int step = DefaultRowHeight() + line;
    const int room = ClientHeight() - titles_ * step + line;
    return std::max(1, step > 0 ? room / step : 1);
}

// The data set may have moved, grown or shrunk: the window follows, moving as little as it
// must to show the current record.
void TDBGrid::Sync() {
    if (syncing_) {
        syncAgain_ = true;  // the client area changed while the rows were being laid out
        return;
    }
    syncing_ = true;
    try {
        for (int pass = 0; pass < 3; ++pass) {
            syncAgain_ = false;
            TDataSet* ds = link_.DataSet();
            const bool active = link_.Active();
            const int oldTop = top_, oldCount = count_, oldRow = Row();
            count_ = active ? ds->RecordCount() : 0;
            const int rec = active ? ds->RecNo() : 0;
            const int rows = std::max(1, std::min(DataRows(), count_));
            ++layoutLock_;
            SetRowCount(titles_ + rows);
            --layoutLock_;
            if (rec > 0) {
                if (rec < top_)
                    top_ = rec;
                else if (rec >= top_ + rows)
                    top_ = rec - rows + 1;
            }
            top_ = std::clamp(top_, 1, std::max(1, count_ - rows + 1));
            const int row = titles_ + (rec > 0 ? rec - top_ : 0);
            if (Row() != row) MoveCurrent(Col(), row, false, false);
            UpdateScrollBars();
            if (top_ != oldTop || count_ != oldCount) {
                Invalidate();
            } else if (row != oldRow) {
                InvalidateRow(oldRow);
                InvalidateRow(row);
            }
            if (!syncAgain_) break;
        }
    } catch (...) {
        syncing_ = false;
        throw;
    }
    syncing_ = false;
}

void TDBGrid::InvalidateRow(int row) {
    if (!HandleAllocated()) return;
    const TRect r = CellRect(0, row);
    if (r.IsEmpty()) return;
    const win::RECT band{0, r.Top, ClientWidth(), r.Bottom + 1};
    win::InvalidateRect(Handle(), &band, win::FALSE);
}

TColumn* TDBGrid::ColumnAt(int col) const {
    const int i = col - indicator_;
    return i >= 0 && i < static_cast<int>(shown_.size()) ? shown_[static_cast<std::size_t>(i)]
                                                         : nullptr;
}

void TDBGrid::MoveBy(int delta) {
    if (!link_.Active() || count_ == 0) return;
    TDataSet* ds = link_.DataSet();
    const int target = std::clamp(ds->RecNo() + delta, 1, ds->RecordCount());
    if (target != ds->RecNo()) ds->SetRecNo(target);
}

// -- input --

// Only the current record's row may hold the current cell: other rows are reached by moving
// the record.
bool TDBGrid::SelectCell(int, int row) {
    return row == Row();
}

void TDBGrid::GridKeyDown(uint16_t& key, TShiftState shift) {
    const bool ctrl = shift.Contains(ssCtrl);
    switch (key) {
        case win::VK_UP:
            MoveBy(-1);
            break;
        case win::VK_DOWN:
            MoveBy(1);
            break;
        case win::VK_PRIOR:
            MoveBy(-DataRows());
            break;
        case win::VK_NEXT:
            MoveBy(DataRows());
            break;
        case win::VK_HOME:
        case win::VK_END:
            if (!ctrl) {
                TCustomGrid::GridKeyDown(key, shift);
                return;
            }
            MoveBy(key == win::VK_HOME ? -count_ : count_);
            break;
        default:
            TCustomGrid::GridKeyDown(key, shift);
            return;
    }
    key = 0;
}

void TDBGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && link_.Active()) {
        const TGridCoord cell = MouseCoord(x, y);
        if (cell.Y >= titles_ && cell.X >= 0) MoveBy(top_ + cell.Y - titles_ - CurrentRecord());
    }
    TCustomGrid::MouseDown(button, shift, x, y);
}

void TDBGrid::MouseWheelMove(int rows) {
    MoveBy(rows);
}

void TDBGrid::UpdateScrollBar(bool vertical) {
    if (!vertical || !WantsScrollBar(true)) {
        TCustomGrid::UpdateScrollBar(vertical);
        return;
    }
    win::SCROLLINFO si;
    si.fMask = win::SIF_RANGE | win::SIF_PAGE | win::SIF_POS;
    if (count_ > RowCount() - titles_) {
        si.nMin = 1;
        si.nMax = count_;
        si.nPage = 1;
        si.nPos = CurrentRecord();
    }
    SetScrollBarInfo(true, si);
}

void TDBGrid::Scroll(bool vertical, int code) {
    if (!vertical) {
        TCustomGrid::Scroll(false, code);
        return;
    }
    if (!link_.Active() || count_ == 0) return;
    const int rec = link_.DataSet()->RecNo();
    int target = rec;
    if (!ScrollTarget(true, code, DataRows(), 1, count_, target)) return;
    MoveBy(target - rec);
}

void TDBGrid::ClientSized() {
    TCustomGrid::ClientSized();
    Sync();
}

// Columns sized with the mouse keep their new widths.
void TDBGrid::ColWidthsChanged() {
    TCustomGrid::ColWidthsChanged();
    if (layoutLock_ > 0) return;
    ++layoutLock_;
    for (std::size_t i = 0; i < shown_.size(); ++i)
        shown_[i]->SetWidth(ColWidths(indicator_ + static_cast<int>(i)));
    --layoutLock_;
}

void TDBGrid::Dispatch(TMessage& m) {
    if (m.Msg == CM_FONTCHANGED) {
        TCustomGrid::Dispatch(m);
        LayoutChanged();
        return;
    }
    TCustomGrid::Dispatch(m);
}

// -- painting --

void TDBGrid::Paint() {
    TDataSet* ds = link_.Active() ? link_.DataSet() : nullptr;
    try {
        TCustomGrid::Paint();
    } catch (...) {
        if (ds) ds->ReadRecord(0);
        throw;
    }
    if (ds) ds->ReadRecord(0);
}

// A selected cell shows the highlight while the grid has the focus, or always with
// dgAlwaysShowSelection.
void TDBGrid::DrawCellBackground(int, int, const TRect& rect, TGridDrawState state) {
    if (!DefaultDrawing()) return;
    TCanvas* c = Canvas();
    if (state.Contains(gdFixed)) {
        if (!RaisedFixedCells()) return DrawShadedFixedCell(rect);
        c->Brush()->SetColor(FixedColor());
    } else if (state.Contains(gdSelected) &&
               (state.Contains(gdFocused) || dgOptions_.Contains(dgAlwaysShowSelection))) {
        c->Brush()->SetColor(look_[lcSelection]);
        c->Font()->SetColor(look_[lcSelectionText]);
    } else {
        c->Brush()->SetColor(Color());
    }
    c->FillRect(rect);
}

// Each pixel line of a half takes its own step between the two colours, so the halves meet
// at the middle line without a seam of their own.
void TDBGrid::DrawShadedFixedCell(const TRect& rect) {
    TCanvas* c = Canvas();
    const int mid = (rect.Top + rect.Bottom) / 2;
    auto shade = [&](int top, int bottom, TColor from, TColor to) {
        const uint32_t a = ColorToRGB(from), b = ColorToRGB(to);
        const int n = std::max(1, bottom - top - 1);
        for (int y = top; y < bottom; ++y) {
            uint32_t mixed = 0;
            for (int shift : {0, 8, 16}) {
                const int ca = int(a >> shift & 0xFF), cb = int(b >> shift & 0xFF);
                mixed |= uint32_t(ca + (cb - ca) * (y - top) / n) << shift;
            }
            c->Brush()->SetColor(TColor(mixed));
            c->FillRect(Rect(rect.Left, y, rect.Right, y + 1));
        }
    };
    shade(rect.Top, mid, look_[lcFixedGradientFrom], look_[lcFixedGradientTo]);
    shade(mid, rect.Bottom, look_[lcFixedGradientMirrorFrom], look_[lcFixedGradientMirrorTo]);
    c->Brush()->SetStyle(bsClear);
}

void TDBGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    TCanvas* c = Canvas();
    TColumn* column = ColumnAt(col);
    if (row < titles_) {
        if (column && DefaultDrawing())
            c->TextRect(rect, rect.Left + 2, rect.Top + 2, column->Title()->Caption());
        return;
    }
    if (!link_.Active()) return;
    const int rec = top_ + row - titles_;
    if (col < indicator_) {
        if (row == Row() && count_ > 0 && DefaultDrawing()) {
            // The current record's mark: a small triangle pointing right.
            const int x = rect.Left + (rect.Width() - 4) / 2;
            const int y = rect.Top + rect.Height() / 2;
            c->Brush()->SetColor(look_[lcIndicatorIcon]);
            c->Pen()->SetColor(look_[lcIndicatorIcon]);
            c->Polygon({{x, y - 4}, {x + 4, y}, {x, y + 4}});
        }
        return;
    }
    link_.DataSet()->ReadRecord(rec);
    if (DefaultDrawing()) DefaultDrawColumnCell(rect, col - indicator_, column, state);
    if (column) OnDrawColumnCell(this, rect, col - indicator_, column, state);
}

void TDBGrid::DefaultDrawColumnCell(const TRect& rect, int, TColumn* column, TGridDrawState) {
    TField* f = column ? column->Field() : nullptr;
    if (!f) return;
    const std::string text = f->AsString();
    if (!text.empty()) Canvas()->TextRect(rect, rect.Left + 2, rect.Top + 2, text);
}

}  // namespace vcl
