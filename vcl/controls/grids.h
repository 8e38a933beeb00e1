// TCustomGrid and the grids on it: TDrawGrid, whose owner draws the cells, and TStringGrid,
// which keeps a text in every cell.
//
// A grid is ColCount columns by RowCount rows. The first FixedCols columns and FixedRows rows
// stay in place (captions, row numbers); the others scroll under them, the first one shown
// being LeftCol and TopRow. One cell outside the fixed ones is current (Col, Row); keys, clicks
// and the wheel move it, scrolling it into view, and SelectCell (OnSelectCell) may refuse a
// move. Rules the grid keeps:
//  1. A cell is followed by a one-pixel line on its right and below it when the options ask
//     for one: goFixedVertLine and goFixedHorzLine after fixed columns and rows, goVertLine
//     and goHorzLine after the others. The line belongs to the cell before it, for the mouse
//     too.
//  2. The standard scroll bars count scrollable columns and rows: position 0 shows the first
//     one after the fixed ones, and the page is what is shown when scrolled to the end. Thumb
//     positions are read with SIF_TRACKPOS, so another window's bar may drive the grid past the
//     16 bits a scroll message carries.
//  3. A change of RowCount costs what is on screen and the rows it drops, never the rows that
//     stay: a grid grown a row at a time grows in linear time. The scroll bars are drawn with
//     the next paint, once however many changes came before.
//  4. With goEditing, the in-place editor opens on a typed character, F2, Enter or a double
//     click; while it is open, the cell's text follows every change of the editor's text.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/scroll_bar.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/edits.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/strings.h"

namespace vcl {

class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EInvalidGridOperation"; }
};

enum TGridOption : uint8_t {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goColSizing,
    goEditing
};
using TGridOptions = Set<TGridOption>;

enum TGridDrawStateItem : uint8_t { gdSelected, gdFocused, gdFixed };
using TGridDrawState = Set<TGridDrawStateItem>;

struct TGridCoord {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

using TDrawCellEvent =
    Delegate<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TSelectCellEvent = Delegate<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = Delegate<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = Delegate<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;

class TCustomGrid;

// The editor a grid opens over its current cell: an edit without a border whose keys reach the
// grid first and whose text the grid takes at every change.
class TInplaceEdit : public TCustomEdit {
public:
    VCL_CLASS(TInplaceEdit, TCustomEdit)
    explicit TInplaceEdit(TCustomGrid* grid);
    TCustomGrid* Grid() const { return grid_; }

    // Up and Down, Left at the start of the text and Right at its end, and Escape are the
    // grid's; Enter and Escape are never typed into the cell.
    bool DoKeyDown(uint16_t& key, TShiftState shift) override;
    bool DoKeyPress(char& key) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Change() override;

private:
    TCustomGrid* grid_;
};

class TCustomGrid : public TCustomControl {
public:
    VCL_CLASS_PUBLISHED(TCustomGrid, TCustomControl)

    explicit TCustomGrid(TComponent* owner);
    ~TCustomGrid() override;

    int ColCount() const { return cols_.count; }
    void SetColCount(int count);
    int RowCount() const { return rows_.count; }
    void SetRowCount(int count);
    int FixedCols() const { return cols_.fixed; }
    void SetFixedCols(int count);
    int FixedRows() const { return rows_.fixed; }
    void SetFixedRows(int count);
    int DefaultColWidth() const { return cols_.standard; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return rows_.standard; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);

    int Col() const { return current_.X; }
    void SetCol(int col);
    int Row() const { return current_.Y; }
    void SetRow(int row);
    int LeftCol() const { return cols_.first; }
    void SetLeftCol(int col);
    int TopRow() const { return rows_.first; }
    void SetTopRow(int row);
    // Scrollable columns and rows shown whole.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    // The current cell and the anchor; setting moves the current cell to the bottom right
    // without asking SelectCell.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& r);

    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);
    // The lines between fixed cells (black, as the classic grid draws them).
    TColor FixedLineColor() const { return fixedLineColor_; }
    void SetFixedLineColor(TColor color);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle bars);
    // bsNone or bsSingle (a sunken edge).
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool on);
    TInplaceEdit* InplaceEditor() const { return editor_; }

    // The cell's rectangle in client coordinates; empty when the cell is not on screen.
    TRect CellRect(int col, int row) const;
    // The column and row under a client point; -1 for each past the last one shown.
    void MouseToCell(int x, int y, int& col, int& row) const;
    TGridCoord MouseCoord(int x, int y) const;

    bool DoKeyDown(uint16_t& key, TShiftState shift) override;
    bool DoKeyPress(char& key) override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    // The cell's background before DrawCell: with DefaultDrawing, the fixed colour, the
    // highlight for a selected cell that does not have the focus, else Color.
    virtual void DrawCellBackground(int col, int row, const TRect& rect, TGridDrawState state);
    // Fixed cells get the raised classic edge after DrawCell (with DefaultDrawing).
    virtual bool RaisedFixedCells() const { return true; }
    virtual bool SelectCell(int col, int row);
    void Paint() override;
    virtual std::string GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const std::string& value);
    virtual bool CanEditShow() const;
    // The column and row counts changed (rows and columns past the new counts are gone).
    virtual void SizeChanged(int /*oldColCount*/, int /*oldRowCount*/) {}
    virtual void TopLeftChanged();
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    // The client area changed size.
    virtual void ClientSized();
    // Sets the standard bars, each from UpdateScrollBar.
    void UpdateScrollBars();
    // Sets one bar from the layout, or hides it when ScrollBars leaves it out.
    virtual void UpdateScrollBar(bool vertical);
    bool WantsScrollBar(bool vertical) const;
    void SetScrollBarInfo(bool vertical, const win::SCROLLINFO& info);
    // A scroll action of the bar or of another window; `vertical` for WM_VSCROLL.
    virtual void Scroll(bool vertical, int code);
    // Where a scroll action takes a bar's position `pos`: a line or `page` either way, the
    // thumb (from SIF_TRACKPOS), `first` or `last`. False for codes that do not scroll.
    bool ScrollTarget(bool vertical, int code, int page, int first, int last, int& pos);

    // The grid's own keys, after OnKeyDown and OnKeyPress had them.
    virtual void GridKeyDown(uint16_t& key, TShiftState shift);
    virtual void GridKeyPress(char& key);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DoMouseWheel(TShiftState shift, int delta, TPoint mousePos) override;
    // The wheel turned by whole notches: moves the current row (down for positive `rows`).
    virtual void MouseWheelMove(int rows);

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;

    // Moves the current cell there (asking SelectCell when `select`), the anchor with it, and
    // scrolls it into view when `show`. Answers whether it moved. Fixed or missing cells raise
    // EInvalidGridOperation.
    bool MoveCurrent(int col, int row, bool select, bool show);
    // Scrolls so that the given column and row come first (clamped).
    void MoveTopLeft(int col, int row);
    void InvalidateCell(int col, int row);
    void InvalidateGridRect(const TGridRect& r);
    // The grid or its editor has the focus.
    bool IsActiveControl();
    // The editor's text again from GetEditText, when it is open on the current cell.
    void InvalidateEditor();
    void ShowEditor();
    void HideEditor();
    // The option set as published.
    int64_t OptionBits() const { return static_cast<int64_t>(options_.Bits()); }
    void SetOptionBits(int64_t bits) { SetOptions(TGridOptions(static_cast<uint64_t>(bits), 0)); }

private:
    friend class TInplaceEdit;
    // Columns or rows: sizes, the fixed ones and the first scrolled one shown.
    struct Axis {
        int count = 5;
        int fixed = 1;
        int first = 1;
        int standard = 0;
        std::vector<int> sizes;  // empty while every cell has the standard size
        int fixedLine = 0, line = 0;

        int Size(int i) const { return sizes.empty() ? standard : sizes[i]; }
        int Line(int i) const { return i < fixed ? fixedLine : line; }
        int Step(int i) const { return Size(i) + Line(i); }
        int FixedExtent() const;
        // Client position of the cell's start, or -1 when it is not on screen.
        int Start(int i, int extent) const;
        // The last cell shown whole (first - 1 when none is).
        int LastWhole(int extent) const;
        // The first cell to show so that `last` is the last one shown whole.
        int FirstFor(int last, int extent) const;
        int MaxFirst(int extent) const;
        // The cell at a client position, -1 past the last one shown.
        int At(int pos, int extent) const;
    };

    void ChangeSize(int cols, int rows);
    void Relayout();
    void SetFixed(Axis& a, int count, int TGridCoord::*coord, const char* tooMany);
    void UpdateLines();
    void ClampInView(TGridCoord cell);
    int SizingColumnAt(int x, int y) const;
    void UpdateEditor();
    void TypeIntoEditor(char key);
    void EditorKeyDown(uint16_t& key, TShiftState shift);
    void EditorKeyPress(char& key);
    void EditorChanged(const std::string& text);
    int ClientW() const;
    int ClientH() const;

    Axis cols_, rows_;
    TGridCoord current_{1, 1}, anchor_{1, 1};
    TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine};
    bool defaultDrawing_ = true;
    TColor fixedColor_ = clBtnFace;
    TColor fixedLineColor_ = clBlack;
    TScrollStyle scrollBars_ = ssBoth;
    TBorderStyle borderStyle_ = bsSingle;
    bool editorMode_ = false;
    TInplaceEdit* editor_ = nullptr;
    TGridCoord editCell_;         // the cell the editor edits
    std::string editorOriginal_;  // the cell's text when the editor opened, for Escape
    bool editUpdating_ = false;   // the editor is writing the cell: do not load it again
    bool updatingBars_ = false;
    int sizingCol_ = -1;  // the column whose right edge is being dragged
    int sizingOffset_ = 0;
    int wheelRest_ = 0;
};

// A grid whose cells the program draws (OnDrawCell) and whose choices it rules.
class TDrawGrid : public TCustomGrid {
public:
    VCL_CLASS_PUBLISHED(TDrawGrid, TCustomGrid)
    explicit TDrawGrid(TComponent* owner) : TCustomGrid(owner) {}

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;

protected:
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    bool SelectCell(int col, int row) override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;
};

class TStringGrid;

// A column or a row of a string grid as a list of lines; it cannot gain or lose lines.
class TStringGridStrings : public TStrings {
public:
    VCL_CLASS(TStringGridStrings, TStrings)
    TStringGridStrings(TStringGrid* grid, bool column, int index)
        : grid_(grid), column_(column), index_(index) {}

    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    // Fills the first empty cell; -1 when there is none.
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    // Line by line from the first cell; cells past the source's lines become empty.
    void Assign(const TPersistent* source) override;

private:
    TStringGrid* grid_;
    bool column_;
    int index_;
};

class TStringGrid : public TDrawGrid {
public:
    VCL_CLASS(TStringGrid, TDrawGrid)
    explicit TStringGrid(TComponent* owner);
    ~TStringGrid() override;

    // Outside the grid a cell reads empty and cannot be written (EInvalidGridOperation).
    // Writing repaints the cell even when the text is the same.
    std::string Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& text);
    TStrings* Cols(int col);
    TStrings* Rows(int row);
    void SetCols(int col, const TStrings* lines) { Cols(col)->Assign(lines); }
    void SetRows(int row, const TStrings* lines) { Rows(row)->Assign(lines); }

protected:
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;

private:
    // Row by row; a row's cells are made up to the last one written.
    std::vector<std::vector<std::string>> cells_;
    std::map<int, std::unique_ptr<TStringGridStrings>> colLists_, rowLists_;
};

}  // namespace vcl
