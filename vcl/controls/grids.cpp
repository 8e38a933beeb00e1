// TCustomGrid: sizes and counts, the layout of the cells on screen, scrolling and painting.
#include "vcl/controls/grids.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace vcl {

namespace {

[[noreturn]] void IndexOutOfRange() {
    throw EInvalidGridOperation("Grid index out of range");
}

}  // namespace

// ---- one axis: columns or rows ----

int TCustomGrid::Axis::FixedExtent() const {
    int x = 0;
    for (int i = 0; i < fixed; ++i)
        x += Step(i);
    return x;
}

int TCustomGrid::Axis::Start(int i, int extent) const {
    if (i < 0 || i >= count) return -1;
    int x = 0;
    if (i < fixed) {
        for (int k = 0; k < i; ++k)
            x += Step(k);
        return x;
    }
    if (i < first) return -1;
    x = FixedExtent();
    for (int k = first; k < i && x < extent; ++k)
        x += Step(k);
    return x < extent ? x : -1;
}

int TCustomGrid::Axis::LastWhole(int extent) const {
    int x = FixedExtent();
    int last = first - 1;
    for (int i = first; i < count; ++i) {
        x += Size(i);
        if (x > extent) break;
        last = i;
        x += Line(i);
    }
    return last;
}

int TCustomGrid::Axis::FirstFor(int last, int extent) const {
    const int area = extent - FixedExtent();
    int sum = Size(last);
    int i = last;
    while (i - 1 >= fixed && sum + Step(i - 1) <= area) {
        --i;
        sum += Step(i);
    }
    return i;
}

int TCustomGrid::Axis::MaxFirst(int extent) const {
    return count > fixed ? FirstFor(count - 1, extent) : fixed;
}

int TCustomGrid::Axis::At(int pos, int extent) const {
    if (pos < 0 || pos >= extent) return -1;
    int x = 0;
    for (int i = 0; i < fixed; ++i) {
        x += Step(i);
        if (pos < x) return i;
    }
    for (int i = first; i < count && x < extent; ++i) {
        x += Step(i);
        if (pos < x) return i;
    }
    return -1;
}

// ---- the grid ----

std::vector<TPropInfo> TCustomGrid::Published() {
    return {
        Property("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing),
        Property("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor),
        Property("FixedLineColor", &TCustomGrid::FixedLineColor, &TCustomGrid::SetFixedLineColor),
        Property("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars),
        Property("BorderStyle", &TCustomGrid::BorderStyle, &TCustomGrid::SetBorderStyle)};
}

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
    ControlStyle = {csCaptureMouse, csOpaque, csDoubleClicks};
    cols_.standard = 64;
    rows_.standard = 24;
    UpdateLines();
    SetTabStop(true);
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() = default;

int TCustomGrid::ClientW() const {
    return ClientWidth();
}

int TCustomGrid::ClientH() const {
    return ClientHeight();
}

void TCustomGrid::UpdateLines() {
    cols_.fixedLine = options_.Contains(goFixedVertLine) ? 1 : 0;
    cols_.line = options_.Contains(goVertLine) ? 1 : 0;
    rows_.fixedLine = options_.Contains(goFixedHorzLine) ? 1 : 0;
    rows_.line = options_.Contains(goHorzLine) ? 1 : 0;
}

void TCustomGrid::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    if (borderStyle_ == bsSingle) p.ExStyle |= win::WS_EX_CLIENTEDGE;
}

void TCustomGrid::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBars();
}

// -- counts and sizes --

void TCustomGrid::SetColCount(int count) {
    count = std::max(count, 1);
    if (count == cols_.count) return;
    if (count <= cols_.fixed) SetFixedCols(count - 1);
    ChangeSize(count, rows_.count);
}

void TCustomGrid::SetRowCount(int count) {
    count = std::max(count, 1);
    if (count == rows_.count) return;
    if (count <= rows_.fixed) SetFixedRows(count - 1);
    ChangeSize(cols_.count, count);
}

void TCustomGrid::ChangeSize(int cols, int rows) {
    const int oldCols = cols_.count, oldRows = rows_.count;
    if (!cols_.sizes.empty()) cols_.sizes.resize(static_cast<std::size_t>(cols), cols_.standard);
    if (!rows_.sizes.empty()) rows_.sizes.resize(static_cast<std::size_t>(rows), rows_.standard);
    cols_.count = cols;
    rows_.count = rows;
    auto inside = [&](TGridCoord& c) {
        c.X = std::clamp(c.X, cols_.fixed, cols - 1);
        c.Y = std::clamp(c.Y, rows_.fixed, rows - 1);
    };
    inside(current_);
    inside(anchor_);
    cols_.first = std::clamp(cols_.first, cols_.fixed, cols_.MaxFirst(ClientW()));
    rows_.first = std::clamp(rows_.first, rows_.fixed, rows_.MaxFirst(ClientH()));
    SizeChanged(oldCols, oldRows);
    UpdateScrollBars();
    Invalidate();
    UpdateEditor();
}

// New fixed columns or rows start the scrolled ones again from the first, with the current
// cell there.
void TCustomGrid::SetFixed(Axis& a, int count, int TGridCoord::*coord, const char* tooMany) {
    if (count < 0) IndexOutOfRange();
    if (count >= a.count) throw EInvalidGridOperation(tooMany);
    if (count == a.fixed) return;
    a.fixed = a.first = count;
    current_.*coord = anchor_.*coord = count;
    UpdateScrollBars();
    Invalidate();
    UpdateEditor();
}

void TCustomGrid::SetFixedCols(int count) {
    SetFixed(cols_, count, &TGridCoord::X, "Fixed column count must be less than column count");
}

void TCustomGrid::SetFixedRows(int count) {
    SetFixed(rows_, count, &TGridCoord::Y, "Fixed row count must be less than row count");
}

// A new standard size applies to every column (or row), as the class library does.
void TCustomGrid::SetDefaultColWidth(int width) {
    width = std::max(width, 0);
    if (width == cols_.standard && cols_.sizes.empty()) return;
    cols_.standard = width;
    cols_.sizes.clear();
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int height) {
    height = std::max(height, 0);
    if (height == rows_.standard && rows_.sizes.empty()) return;
    rows_.standard = height;
    rows_.sizes.clear();
    RowHeightsChanged();
}

int TCustomGrid::ColWidths(int col) const {
    if (col < 0 || col >= cols_.count) IndexOutOfRange();
    return cols_.Size(col);
}

int TCustomGrid::RowHeights(int row) const {
    if (row < 0 || row >= rows_.count) IndexOutOfRange();
    return rows_.Size(row);
}

void TCustomGrid::SetColWidths(int col, int width) {
    if (col < 0 || col >= cols_.count) IndexOutOfRange();
    width = std::max(width, 0);
    if (width == cols_.Size(col)) return;
    if (cols_.sizes.empty())
        cols_.sizes.assign(static_cast<std::size_t>(cols_.count), cols_.standard);
    cols_.sizes[static_cast<std::size_t>(col)] = width;
    ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int row, int height) {
    if (row < 0 || row >= rows_.count) IndexOutOfRange();
    height = std::max(height, 0);
    if (height == rows_.Size(row)) return;
    if (rows_.sizes.empty())
        rows_.sizes.assign(static_cast<std::size_t>(rows_.count), rows_.standard);
    rows_.sizes[static_cast<std::size_t>(row)] = height;
    RowHeightsChanged();
}

void TCustomGrid::ColWidthsChanged() {
    Relayout();
}

void TCustomGrid::RowHeightsChanged() {
    Relayout();
}

// The sizes changed: whatever depends on them follows.
void TCustomGrid::Relayout() {
    cols_.first = std::clamp(cols_.first, cols_.fixed, cols_.MaxFirst(ClientW()));
    rows_.first = std::clamp(rows_.first, rows_.fixed, rows_.MaxFirst(ClientH()));
    UpdateScrollBars();
    Invalidate();
    UpdateEditor();
}

void TCustomGrid::ClientSized() {
    Relayout();
}

// -- the current cell and the view --

void TCustomGrid::SetCol(int col) {
    if (col != current_.X) MoveCurrent(col, current_.Y, true, true);
}

void TCustomGrid::SetRow(int row) {
    if (row != current_.Y) MoveCurrent(current_.X, row, true, true);
}

void TCustomGrid::SetLeftCol(int col) {
    MoveTopLeft(col, rows_.first);
}

void TCustomGrid::SetTopRow(int row) {
    MoveTopLeft(cols_.first, row);
}

int TCustomGrid::VisibleColCount() const {
    return std::max(0, cols_.LastWhole(ClientW()) - cols_.first + 1);
}

int TCustomGrid::VisibleRowCount() const {
    return std::max(0, rows_.LastWhole(ClientH()) - rows_.first + 1);
}

TGridRect TCustomGrid::Selection() const {
    return {std::min(anchor_.X, current_.X), std::min(anchor_.Y, current_.Y),
            std::max(anchor_.X, current_.X), std::max(anchor_.Y, current_.Y)};
}

void TCustomGrid::SetSelection(const TGridRect& r) {
    auto valid = [&](int col, int row) {
        return col >= cols_.fixed && col < cols_.count && row >= rows_.fixed && row < rows_.count;
    };
    if (!valid(r.Left, r.Top) || !valid(r.Right, r.Bottom)) IndexOutOfRange();
    InvalidateGridRect(Selection());
    anchor_ = {r.Left, r.Top};
    current_ = {r.Right, r.Bottom};
    InvalidateGridRect(Selection());
    UpdateEditor();
}

bool TCustomGrid::MoveCurrent(int col, int row, bool select, bool show) {
    if (col < cols_.fixed || col >= cols_.count || row < rows_.fixed || row >= rows_.count)
        IndexOutOfRange();
    if (select && !SelectCell(col, row)) return false;
    InvalidateGridRect(Selection());
    current_ = anchor_ = {col, row};
    InvalidateCell(col, row);
    if (show) ClampInView(current_);
    UpdateEditor();
    return true;
}

void TCustomGrid::ClampInView(TGridCoord cell) {
    int left = cols_.first, top = rows_.first;
    if (cell.X < left)
        left = cell.X;
    else if (cell.X > cols_.LastWhole(ClientW()))
        left = cols_.FirstFor(cell.X, ClientW());
    if (cell.Y < top)
        top = cell.Y;
    else if (cell.Y > rows_.LastWhole(ClientH()))
        top = rows_.FirstFor(cell.Y, ClientH());
    MoveTopLeft(left, top);
}

void TCustomGrid::MoveTopLeft(int col, int row) {
    col = std::clamp(col, cols_.fixed, cols_.MaxFirst(ClientW()));
    row = std::clamp(row, rows_.fixed, rows_.MaxFirst(ClientH()));
    if (col == cols_.first && row == rows_.first) return;
    cols_.first = col;
    rows_.first = row;
    UpdateScrollBars();
    Invalidate();
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
    UpdateEditor();
}

TRect TCustomGrid::CellRect(int col, int row) const {
    const int x = cols_.Start(col, ClientW());
    const int y = rows_.Start(row, ClientH());
    if (x < 0 || y < 0) return {};
    return Bounds(x, y, cols_.Size(col), rows_.Size(row));
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
    col = cols_.At(x, ClientW());
    row = rows_.At(y, ClientH());
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const {
    TGridCoord c;
    MouseToCell(x, y, c.X, c.Y);
    return c;
}

void TCustomGrid::InvalidateCell(int col, int row) {
    if (!HandleAllocated()) return;
    const TRect r = CellRect(col, row);
    if (r.IsEmpty()) return;
    // With its lines, which a focus frame or a highlight may touch.
    const win::RECT wr{r.Left, r.Top, r.Right + cols_.Line(col), r.Bottom + rows_.Line(row)};
    win::InvalidateRect(Handle(), &wr, win::FALSE);
}

void TCustomGrid::InvalidateGridRect(const TGridRect& g) {
    if (!HandleAllocated()) return;
    if (g.Left == g.Right && g.Top == g.Bottom) {
        InvalidateCell(g.Left, g.Top);
        return;
    }
    Invalidate();
}

// -- options and looks --

void TCustomGrid::SetOptions(TGridOptions options) {
    if (options == options_) return;
    options_ = options;
    UpdateLines();
    if (!options_.Contains(goEditing)) SetEditorMode(false);
    Relayout();
}

void TCustomGrid::SetDefaultDrawing(bool on) {
    if (on == defaultDrawing_) return;
    defaultDrawing_ = on;
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor color) {
    if (color == fixedColor_) return;
    fixedColor_ = color;
    Invalidate();
}

void TCustomGrid::SetFixedLineColor(TColor color) {
    if (color == fixedLineColor_) return;
    fixedLineColor_ = color;
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle bars) {
    if (bars == scrollBars_) return;
    scrollBars_ = bars;
    UpdateScrollBars();
}

void TCustomGrid::SetBorderStyle(TBorderStyle style) {
    style = style == bsNone ? bsNone : bsSingle;
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

bool TCustomGrid::IsActiveControl() {
    if (Focused()) return true;
    if (!editor_ || !HandleAllocated()) return false;
    win::HWND f = win::GetFocus();
    return f && win::GetParent(f) == Handle();
}

// -- scroll bars --

// Showing or hiding one bar changes the room the other one measures, so the bars are set until
// the client area stays as it is.
void TCustomGrid::UpdateScrollBars() {
    if (!HandleAllocated() || updatingBars_) return;
    updatingBars_ = true;
    try {
        for (int pass = 0; pass < 3; ++pass) {
            const int w = ClientW(), h = ClientH();
            UpdateScrollBar(false);
            UpdateScrollBar(true);
            if (ClientW() == w && ClientH() == h) break;
        }
    } catch (...) {
        updatingBars_ = false;
        throw;
    }
    updatingBars_ = false;
}

bool TCustomGrid::WantsScrollBar(bool vertical) const {
    return scrollBars_ == ssBoth || scrollBars_ == (vertical ? ssVertical : ssHorizontal);
}

void TCustomGrid::UpdateScrollBar(bool vertical) {
    const int bar = vertical ? win::SB_VERT : win::SB_HORZ;
    if (!WantsScrollBar(vertical)) {
        win::ShowScrollBar(Handle(), bar, win::FALSE);
        return;
    }
    Axis& a = vertical ? rows_ : cols_;
    const int maxFirst = a.MaxFirst(vertical ? ClientH() : ClientW());
    a.first = std::clamp(a.first, a.fixed, maxFirst);
    win::SCROLLINFO si;
    si.fMask = win::SIF_RANGE | win::SIF_PAGE | win::SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, a.count - a.fixed - 1);
    si.nPage = static_cast<win::UINT>(a.count - maxFirst);
    si.nPos = a.first - a.fixed;
    SetScrollBarInfo(vertical, si);
}

// The bar is drawn again with the next paint, not at once: a grid that grows a row at a time
// draws it once.
void TCustomGrid::SetScrollBarInfo(bool vertical, const win::SCROLLINFO& info) {
    win::HWND h = Handle();
    const int bar = vertical ? win::SB_VERT : win::SB_HORZ;
    win::SCROLLINFO old;
    old.fMask = win::SIF_RANGE | win::SIF_PAGE | win::SIF_POS;
    const win::DWORD bit = vertical ? win::WS_VSCROLL : win::WS_HSCROLL;
    const bool shown = (win::GetWindowLongPtrA(h, win::GWL_STYLE) & bit) != 0;
    if (shown && win::GetScrollInfo(h, bar, &old) && old.nMin == info.nMin &&
        old.nMax == info.nMax && old.nPage == info.nPage && old.nPos == info.nPos)
        return;
    win::SetScrollInfo(h, bar, &info, win::FALSE);
    if (!shown || !(win::GetWindowLongPtrA(h, win::GWL_STYLE) & bit)) return;  // reframed
    const int w = ClientW(), hh = ClientH();
    const win::RECT outside = vertical ? win::RECT{w, 0, w + 1, 1} : win::RECT{0, hh, 1, hh + 1};
    win::RedrawWindow(h, &outside, nullptr, win::RDW_INVALIDATE | win::RDW_FRAME);
}

bool TCustomGrid::ScrollTarget(bool vertical, int code, int page, int first, int last, int& pos) {
    switch (code) {
        case win::SB_LINEUP:
            --pos;
            return true;
        case win::SB_LINEDOWN:
            ++pos;
            return true;
        case win::SB_PAGEUP:
            pos -= page;
            return true;
        case win::SB_PAGEDOWN:
            pos += page;
            return true;
        case win::SB_THUMBTRACK:
        case win::SB_THUMBPOSITION: {
            win::SCROLLINFO si;
            si.fMask = win::SIF_TRACKPOS;
            if (!win::GetScrollInfo(Handle(), vertical ? win::SB_VERT : win::SB_HORZ, &si))
                return false;
            pos = si.nTrackPos;
            return true;
        }
        case win::SB_TOP:
            pos = first;
            return true;
        case win::SB_BOTTOM:
            pos = last;
            return true;
        default:
            return false;
    }
}

void TCustomGrid::Scroll(bool vertical, int code) {
    const Axis& a = vertical ? rows_ : cols_;
    const int page = std::max(1, a.LastWhole(vertical ? ClientH() : ClientW()) - a.first + 1);
    int pos = a.first - a.fixed;
    if (!ScrollTarget(vertical, code, page, 0, a.count, pos)) return;
    if (vertical)
        MoveTopLeft(cols_.first, a.fixed + pos);
    else
        MoveTopLeft(a.fixed + pos, rows_.first);
}

// -- painting --

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}

bool TCustomGrid::SelectCell(int, int) {
    return true;
}

void TCustomGrid::DrawCellBackground(int, int, const TRect& rect, TGridDrawState state) {
    if (!defaultDrawing_) return;
    TCanvas* c = Canvas();
    if (state.Contains(gdFixed)) {
        c->Brush()->SetColor(fixedColor_);
    } else if (state.Contains(gdSelected) && !state.Contains(gdFocused)) {
        c->Brush()->SetColor(clHighlight);
        c->Font()->SetColor(clHighlightText);
    } else {
        c->Brush()->SetColor(Color());
    }
    c->FillRect(rect);
}

void TCustomGrid::Paint() {
    TCanvas* c = Canvas();
    win::HDC dc = c->Handle();
    const int w = ClientW(), h = ClientH();
    const bool active = IsActiveControl();
    const TGridRect sel = Selection();
    const bool silver = ColorToRGB(Color()) == ColorToRGB(clSilver);
    win::HBRUSH fixedLine = win::CreateSolidBrush(ColorToRGB(fixedLineColor_));
    win::HBRUSH line = win::CreateSolidBrush(ColorToRGB(silver ? clGray : clSilver));
    win::UINT edges = 0;
    if (options_.Contains(goFixedVertLine)) edges |= win::BF_LEFT | win::BF_RIGHT;
    if (options_.Contains(goFixedHorzLine)) edges |= win::BF_TOP | win::BF_BOTTOM;

    // The fixed ones, then the scrolled ones from the first shown.
    auto next = [](const Axis& a, int i) { return i + 1 == a.fixed ? a.first : i + 1; };
    int y = 0, right = 0;
    for (int row = rows_.fixed > 0 ? 0 : rows_.first; row < rows_.count && y < h;
         row = next(rows_, row)) {
        const int rh = rows_.Size(row), rl = rows_.Line(row);
        int x = 0;
        for (int col = cols_.fixed > 0 ? 0 : cols_.first; col < cols_.count && x < w;
             col = next(cols_, col)) {
            const int cw = cols_.Size(col), cl = cols_.Line(col);
            const win::RECT whole{x, y, x + cw + cl, y + rh + rl};
            if (win::RectVisible(dc, &whole)) {
                const TRect cell = Bounds(x, y, cw, rh);
                const bool fixed = col < cols_.fixed || row < rows_.fixed;
                TGridDrawState state;
                if (fixed) {
                    state << gdFixed;
                } else {
                    if (col >= sel.Left && col <= sel.Right && row >= sel.Top && row <= sel.Bottom)
                        state << gdSelected;
                    if (active && col == current_.X && row == current_.Y) state << gdFocused;
                }
                c->SetFont(Font());
                c->Brush()->SetColor(fixed ? fixedColor_ : Color());
                DrawCellBackground(col, row, cell, state);
                DrawCell(col, row, cell, state);
                if (fixed && defaultDrawing_ && edges && RaisedFixedCells()) {
                    win::RECT e = cell;
                    win::DrawEdge(dc, &e, win::BDR_RAISEDINNER, edges);
                }
                if (cl > 0) {
                    const win::RECT v{x + cw, y, x + cw + cl, y + rh + rl};
                    win::FillRect(dc, &v, fixed ? fixedLine : line);
                }
                if (rl > 0) {
                    const win::RECT hz{x, y + rh, x + cw, y + rh + rl};
                    win::FillRect(dc, &hz, fixed ? fixedLine : line);
                }
            }
            x += cw + cl;
        }
        right = std::max(right, x);
        y += rh + rl;
    }
    win::DeleteObject(fixedLine);
    win::DeleteObject(line);

    // What the cells leave of the client area.
    c->Brush()->SetColor(Color());
    if (right < w) c->FillRect(Rect(right, 0, w, std::min(y, h)));
    if (y < h) c->FillRect(Rect(0, y, w, h));

    if (defaultDrawing_ && active && !editorMode_) {
        const TRect r = CellRect(current_.X, current_.Y);
        if (!r.IsEmpty()) c->DrawFocusRect(r);
    }
}

}  // namespace vcl
