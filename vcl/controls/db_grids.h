// TDBGrid: a grid over a data set, a row per record and a column per field (or per column of
// Columns), with a title row and a row indicator.
//
// The data grid never copies its data set. Rules it keeps:
//  1. It holds only its window on the records: the number of the first record shown and the
//     record count it last heard of. Its rows are the rows that fit on screen, so its own
//     memory does not grow with the data set.
//  2. Drawing a row makes the fields read that row's record (TDataSet::ReadRecord), so
//     OnDrawColumnCell reads the record it draws; the current record does not move.
//  3. The data set's current record is the grid's current row. Keys, clicks, the wheel and the
//     vertical bar move the record; a record moved by anyone moves the row, scrolling the
//     window just enough to show it.
//  4. The vertical bar spans the records: range 1 to the record count, the current record as
//     its position, thumb positions read with SIF_TRACKPOS. It is hidden while every record is
//     on screen.
//  5. While the data set's controls are disabled the grid hears nothing and keeps showing its
//     window; EnableControls brings it back in step.
#pragma once

#include <string>
#include <vector>

#include "vcl/controls/grids.h"
#include "vcl/data/data_source.h"
#include "vcl/system/collection.h"

namespace vcl {

class TDBGrid;
class TColumn;

enum TDBGridOption : uint8_t {
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgAlwaysShowSelection
};
using TDBGridOptions = Set<TDBGridOption>;

class TColumnTitle : public TPersistent {
public:
    VCL_CLASS(TColumnTitle, TPersistent)
    explicit TColumnTitle(TColumn* column) : column_(column) {}

    // The field's name while no caption is set.
    std::string Caption() const;
    void SetCaption(const std::string& caption);

private:
    TColumn* column_;
    std::string caption_;
};

class TColumn : public TCollectionItem {
public:
    VCL_CLASS(TColumn, TCollectionItem)
    explicit TColumn(TCollection* collection);
    ~TColumn() override;

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& name);
    TColumnTitle* Title() { return &title_; }
    int Width() const { return width_; }
    void SetWidth(int width);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // The field of the grid's data set by that name, or nullptr.
    TField* Field() const;
    TDBGrid* Grid() const;
    std::string DisplayName() const override { return fieldName_; }

private:
    friend class TColumnTitle;
    std::string fieldName_;
    TColumnTitle title_{this};
    int width_ = 64;
    bool visible_ = true;
};

class TDBGridColumns : public TOwnedCollection<TColumn> {
public:
    VCL_CLASS(TDBGridColumns, TCollection)
    explicit TDBGridColumns(TDBGrid* grid);
    TDBGrid* Grid() const { return grid_; }

protected:
    void Update(TCollectionItem* item) override;

private:
    TDBGrid* grid_;
};

using TDrawColumnCellEvent = Delegate<void(TObject* Sender, const TRect& Rect, int DataCol,
                                           TColumn* Column, TGridDrawState State)>;

class TDBGrid : public TCustomGrid {
public:
    VCL_CLASS_PUBLISHED(TDBGrid, TCustomGrid)
    explicit TDBGrid(TComponent* owner);
    ~TDBGrid() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source);
    // Without columns of its own the grid shows every field of an open data set.
    TDBGridColumns* Columns() { return &columns_; }
    TDBGridOptions Options() const { return dgOptions_; }
    void SetOptions(TDBGridOptions options);

    // After the default look is drawn (DefaultDrawing), for every cell of a record.
    TDrawColumnCellEvent OnDrawColumnCell;

    // The colours a skin gives the grid. While FixedGradientFrom is clNone the fixed cells keep
    // the classic flat colour and raised edge; otherwise each is flat, its upper half shaded
    // from FixedGradientFrom to FixedGradientTo and its lower half from FixedGradientMirrorFrom
    // to FixedGradientMirrorTo. The current cell shows SelectionColor under SelectionTextColor,
    // the current record's mark is drawn in IndicatorIconColor.
    enum TLookColor {
        lcFixedGradientFrom,
        lcFixedGradientTo,
        lcFixedGradientMirrorFrom,
        lcFixedGradientMirrorTo,
        lcSelection,
        lcSelectionText,
        lcIndicatorIcon,
        lcCount
    };
    template <TLookColor W>
    TColor LookColor() const {
        return look_[W];
    }
    template <TLookColor W>
    void SetLookColor(TColor color) {
        SetLook(W, color);
    }
    TColor SelectionColor() const { return look_[lcSelection]; }
    TColor SelectionTextColor() const { return look_[lcSelectionText]; }
    // The default look of a record's cell: the field's text.
    void DefaultDrawColumnCell(const TRect& rect, int dataCol, TColumn* column,
                               TGridDrawState state);

protected:
    void Paint() override;
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    void DrawCellBackground(int col, int row, const TRect& rect, TGridDrawState state) override;
    bool RaisedFixedCells() const override { return look_[lcFixedGradientFrom] == clNone; }
    bool SelectCell(int col, int row) override;
    void GridKeyDown(uint16_t& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseWheelMove(int rows) override;
    void UpdateScrollBar(bool vertical) override;
    void Scroll(bool vertical, int code) override;
    void ClientSized() override;
    void ColWidthsChanged() override;
    void Dispatch(TMessage& message) override;

private:
    friend class TDBGridColumns;

    class Link : public TDataLink {
    public:
        explicit Link(TDBGrid* grid) : grid_(grid) {}

    protected:
        void ActiveChanged() override;
        void DataSetChanged() override { grid_->Sync(); }
        void DataSetScrolled() override { grid_->Sync(); }

    private:
        TDBGrid* grid_;
    };

    // The columns, the fixed row and column and the line options from Columns and Options.
    void LayoutChanged();
    // The window, the row count and the current row from the data set.
    void Sync();
    void DefaultColumns();
    // Records that fit under the titles.
    int DataRows() const;
    TColumn* ColumnAt(int col) const;
    int CurrentRecord() const { return top_ + Row() - titles_; }
    // Makes the record `delta` records away current, within the data set.
    void MoveBy(int delta);
    void InvalidateRow(int row);
    int64_t OptionBits() const { return static_cast<int64_t>(dgOptions_.Bits()); }
    void SetOptionBits(int64_t bits) { SetOptions(TDBGridOptions(static_cast<uint64_t>(bits), 0)); }
    void SetLook(TLookColor which, TColor color);
    void DrawShadedFixedCell(const TRect& rect);

    Link link_{this};
    TDBGridColumns columns_{this};
    TDBGridOptions dgOptions_{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines};
    std::vector<TColumn*> shown_;
    bool defaultColumns_ = false;  // Columns holds what DefaultColumns made
    int layoutLock_ = 0;           // the grid itself changes Columns or the layout
    int titles_ = 1, indicator_ = 1;
    int top_ = 1;    // the record shown in the first row
    int count_ = 0;  // the record count last heard of
    bool syncing_ = false, syncAgain_ = false;
    TColor look_[lcCount] = {clNone, clNone, clNone, clNone, clHighlight, clHighlightText, clBlack};
};

}  // namespace vcl
