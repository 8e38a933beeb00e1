// TCustomListView and TListView over the native "SysListView32": columns (TListColumns) and
// items (TListItems) kept by the control and given to the window whenever it is made, selection
// kept by the window while it exists, custom drawing through OnCustomDraw and OnCustomDrawItem.
//
// Items stand in the window in the order of Items, one window item per TListItem (its lParam),
// so a window item's index is the TListItem's Index.
//
// Small images: the class library's image list is not here yet, so SmallImages takes the drawing
// layer's image list handle; the image list class hands its Handle in and calls SetSmallImages
// again when its images change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/win_types.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"
#include "vcl/system/collection.h"
#include "vcl/system/string_list.h"

namespace vcl {

class TCustomListView;
class TListItems;

enum TViewStyle : uint8_t { vsIcon, vsSmallIcon, vsList, vsReport };
enum TSortType : uint8_t { stNone, stData, stText, stBoth };
enum TCustomDrawStateItem : uint8_t {
    cdsSelected,
    cdsGrayed,
    cdsDisabled,
    cdsChecked,
    cdsFocused,
    cdsDefault,
    cdsHot,
    cdsMarked,
    cdsIndeterminate
};
using TCustomDrawState = Set<TCustomDrawStateItem>;

class TListColumn : public TCollectionItem {
public:
    VCL_CLASS_PUBLISHED(TListColumn, TCollectionItem)
    explicit TListColumn(TCollection* collection);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // Follows a divider the operator drags.
    int Width() const { return width_; }
    void SetWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    std::string DisplayName() const override;
    void Assign(const TPersistent* source) override;

private:
    friend class TCustomListView;
    std::string caption_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    int imageIndex_ = -1;
};

class TListColumns : public TCollection {
public:
    VCL_CLASS(TListColumns, TCollection)
    explicit TListColumns(TCustomListView* owner);

    TListColumn* Add();
    TListColumn* Items(int index) const {
        return static_cast<TListColumn*>(TCollection::Items(index));
    }
    TCustomListView* Owner() const { return owner_; }

protected:
    void Update(TCollectionItem* item) override;

private:
    TCustomListView* owner_;
};

class TListItem : public TPersistent {
public:
    VCL_CLASS(TListItem, TPersistent)
    explicit TListItem(TListItems* owner);
    ~TListItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The texts of the columns after the first.
    TStrings* SubItems() const;
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int Index() const;
    bool Selected() const;
    void SetSelected(bool on);
    bool Focused() const;
    void SetFocused(bool on);
    void MakeVisible(bool partialOk);
    void Delete();
    TListItems* Owner() const { return owner_; }
    TCustomListView* ListView() const;
    void* Data = nullptr;

private:
    friend class TCustomListView;
    friend class TListItems;
    class TSubItems;
    bool State(uint32_t bit) const;
    void SetState(uint32_t bit, bool on);

    TListItems* owner_;
    std::string caption_;
    TSubItems* subItems_;
    int imageIndex_ = -1;
    uint32_t state_ = 0;  // LVIS_ bits while there is no window
};

class TListItems : public TPersistent {
public:
    VCL_CLASS(TListItems, TPersistent)
    explicit TListItems(TCustomListView* owner);
    ~TListItems() override;

    TListItem* Add() { return Insert(Count()); }
    TListItem* Insert(int index);
    void Delete(int index);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    TListItem* Item(int index) const;
    TListItem* operator[](int index) const { return Item(index); }
    int IndexOf(const TListItem* item) const;
    // Keeps the window from repainting until the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    TCustomListView* Owner() const { return owner_; }

private:
    friend class TListItem;
    friend class TCustomListView;
    TCustomListView* owner_;
    std::vector<TListItem*> items_;
    int updateCount_ = 0;
};

using TLVCustomDrawEvent =
    Delegate<void(TCustomListView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TLVCustomDrawItemEvent = Delegate<void(TCustomListView* Sender, TListItem* Item,
                                             TCustomDrawState State, bool& DefaultDraw)>;
using TLVSelectItemEvent = Delegate<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = Delegate<void(TObject* Sender, TListColumn* Column)>;

class TCustomListView : public TWinControl {
public:
    VCL_CLASS_PUBLISHED(TCustomListView, TWinControl)
    explicit TCustomListView(TComponent* owner);
    ~TCustomListView() override;

    TListColumns* Columns() const { return columns_; }
    TListItems* Items() const { return items_; }
    TCanvas* Canvas() const { return canvas_; }

    // The first selected item, or nullptr; setting one selects it alone and focuses it.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    int ItemIndex() const;
    void SetItemIndex(int index);  // -1: nothing selected
    int SelCount() const;
    TListItem* GetItemAt(int x, int y);

    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle style);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool on);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool on);
    bool ColumnClick() const { return columnClick_; }
    void SetColumnClick(bool on);
    bool ShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool on);
    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool on);
    // Headings may be dragged to another place.
    bool FullDrag() const { return fullDrag_; }
    void SetFullDrag(bool on);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool on);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    win::HIMAGELIST SmallImages() const { return smallImages_; }
    void SetSmallImages(win::HIMAGELIST images);

    // Kept for the forms that set them; the window does nothing with them.
    win::HIMAGELIST LargeImages = nullptr;
    bool Checkboxes() const { return checkboxes_; }
    void SetCheckboxes(bool on) { checkboxes_ = on; }
    bool FlatScrollBars() const { return flatScrollBars_; }
    void SetFlatScrollBars(bool on) { flatScrollBars_ = on; }
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool on) { hotTrack_ = on; }
    int HoverTime() const { return hoverTime_; }
    void SetHoverTime(int ms) { hoverTime_ = ms; }
    bool OwnerData() const { return ownerData_; }
    void SetOwnerData(bool on) { ownerData_ = on; }
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool on) { ownerDraw_ = on; }
    bool ShowWorkAreas() const { return showWorkAreas_; }
    void SetShowWorkAreas(bool on) { showWorkAreas_ = on; }
    int AllocBy() const { return allocBy_; }
    void SetAllocBy(int n) { allocBy_ = n; }
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType t) { sortType_ = t; }

    TLVCustomDrawEvent OnCustomDraw;
    TLVCustomDrawItemEvent OnCustomDrawItem;
    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& message) override;
    // Answer whether the window should still draw (DefaultDraw).
    virtual bool CustomDraw(const TRect& rect);
    virtual bool CustomDrawItem(TListItem* item, TCustomDrawState state);
    // Colours of its own for the selected items, instead of the window's highlight; false
    // leaves the selection to the window.
    virtual bool SelectionColors(TColor& /*back*/, TColor& /*text*/) { return false; }

private:
    friend class TListColumn;
    friend class TListColumns;
    friend class TListItem;
    friend class TListItems;
    uint32_t ListStyle() const;
    uint32_t ListExStyle() const;
    void UpdateStyle();
    void UpdateExStyle();
    void UpdateColors();
    // Window side of the items and columns.
    void InsertWindowItem(TListItem* item, int index);
    void UpdateItemTexts(TListItem* item);
    void UpdateColumn(int index);
    void UpdateColumns();
    intptr_t NotifyCustomDraw(void* record);
    intptr_t SendList(uint32_t msg, uintptr_t wParam, intptr_t lParam) const;
    bool Live() const;

    TListColumns* columns_;
    TListItems* items_;
    TCanvas* canvas_;
    TFont itemFont_;  // the font a custom-drawn item asked for
    TViewStyle viewStyle_ = vsIcon;
    bool readOnly_ = false;
    bool rowSelect_ = false;
    bool hideSelection_ = true;
    bool columnClick_ = true;
    bool showColumnHeaders_ = true;
    bool gridLines_ = false;
    bool fullDrag_ = false;
    bool multiSelect_ = false;
    TFormBorderStyle borderStyle_ = bsSingle;
    win::HIMAGELIST smallImages_ = nullptr;
    bool checkboxes_ = false;
    bool flatScrollBars_ = false;
    bool hotTrack_ = false;
    int hoverTime_ = -1;
    bool ownerData_ = false;
    bool ownerDraw_ = false;
    bool showWorkAreas_ = false;
    int allocBy_ = 0;
    TSortType sortType_ = stNone;
    bool filling_ = false;  // the window is being given the items: no events
};

class TListView : public TCustomListView {
public:
    VCL_CLASS(TListView, TCustomListView)
    explicit TListView(TComponent* owner) : TCustomListView(owner) {}
};

}  // namespace vcl
