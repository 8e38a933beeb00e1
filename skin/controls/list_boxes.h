// The skinned list boxes: TsAlphaListBox over the "ListBox" window class, TsListBox with its
// selection modes published, and TsCheckListBox whose items carry a check box.
//
// The items live in the window (Items forwards to it) and are kept while the window is made
// again for a style that cannot change in place: texts, their objects, the top item and the
// current one. In the virtual styles the window holds only a count and the items come from
// OnData, OnDataObject and OnDataFind. Setting ItemIndex moves the selection without a click
// and repaints the item that was selected at once. Typing selects the first item that begins
// with what was typed within AutoCompleteDelay milliseconds (ignoring case), clicking it.
//
// A check list's item keeps its check state, enabled flag and data in a wrapper made on first
// need and held as the window's item data; an item without one is unchecked and enabled. The
// space bar and a click on the check box toggle an enabled item: unchecked, grey (when
// AllowGrayed), checked, unchecked; then OnClickCheck.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/messages.h"
#include "skin/controls/edit_skin.h"
#include "skin/controls/window_services.h"
#include "vcl/controls/combo_box.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/system/string_list.h"
#include "vcl/system/strings.h"

namespace skin {

class TsAlphaListBox;

// dmAutomatic: a press on the list starts dragging its items.
enum TDragMode : uint8_t { dmManual, dmAutomatic };

enum TListBoxStyle : uint8_t {
    lbStandard,
    lbOwnerDrawFixed,
    lbOwnerDrawVariable,
    lbVirtual,
    lbVirtualOwnerDraw
};

using TLBGetDataEvent =
    vcl::Delegate<void(vcl::TWinControl* Control, int Index, std::string& Data)>;
using TLBGetDataObjectEvent =
    vcl::Delegate<void(vcl::TWinControl* Control, int Index, vcl::TObject*& DataObject)>;
using TLBFindDataEvent =
    vcl::Delegate<int(vcl::TWinControl* Control, const std::string& FindString)>;

// The items of a list box, kept in its window.
class TListBoxStrings : public vcl::TStrings {
public:
    VCL_CLASS(TListBoxStrings, vcl::TStrings)
    explicit TListBoxStrings(TsAlphaListBox* listBox) : listBox_(listBox) {}

    TsAlphaListBox* ListBox() const { return listBox_; }
    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    vcl::TObject* GetObject(int index) const override;
    void PutObject(int index, vcl::TObject* object) override;
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(std::string_view s) const override;

protected:
    void SetUpdateState(bool updating) override;

private:
    intptr_t Send(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0) const;
    bool Virtual() const;

    TsAlphaListBox* listBox_;
};

class TsAlphaListBox : public TsEditSkinned<vcl::TWinControl> {
public:
    VCL_CLASS_PUBLISHED(TsAlphaListBox, vcl::TWinControl)
    explicit TsAlphaListBox(vcl::TComponent* owner);
    ~TsAlphaListBox() override;

    vcl::TStrings* Items() const { return items_; }
    // In a virtual style the style becomes its plain or owner-drawn twin first.
    void SetItems(vcl::TStrings* items);
    void Clear() { items_->Clear(); }
    // The items, or in a virtual style the count the window holds.
    int Count() const;
    // A virtual style's count; other styles raise EListError.
    void SetCount(int count);
    // The selected item, the caret's with MultiSelect; -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    bool Selected(int index) const;
    void SetSelected(int index, bool on);
    void ClearSelection();
    int TopIndex() const;
    void SetTopIndex(int index);
    vcl::TRect ItemRect(int index) const;
    // The item at a point of the client area; outside every item the count (or -1 with
    // `existing`), outside the client area -1.
    int ItemAtPos(vcl::TPoint pos, bool existing) const;
    virtual void AddItem(const std::string& text, vcl::TObject* object);
    vcl::TCanvas* Canvas() const { return canvas_; }

    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);
    // Of every item (lbStandard: as the window measures it).
    int ItemHeight() const;
    void SetItemHeight(int height);
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool on);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool on);
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool on);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);
    int Columns() const { return columns_; }
    void SetColumns(int columns);
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width);
    vcl::TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(vcl::TBorderStyle style);
    bool AutoHideScroll() const { return autoHideScroll_; }
    void SetAutoHideScroll(bool on);
    // A single border is the sunken edge with Ctl3D, a line without.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on);
    int ScrollWidth() const;
    void SetScrollWidth(int width);
    bool AutoComplete() const { return autoComplete_; }
    void SetAutoComplete(bool on) { autoComplete_ = on; }
    // With dmAutomatic a left press starts a drag: over a selected item of a multi-select list
    // (Shift not held, or Ctrl held) without changing the selection, else after the press has
    // selected, unless Ctrl or Shift extend a multiple selection. The mouse is the list's until
    // the button goes up (the drag ends) or Escape cancels it.
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode mode) { dragMode_ = mode; }
    bool Dragging() const { return dragging_; }
    void BeginDrag();
    // A cancelled drag hands the window a press and release at the cursor, so that the
    // window's own tracking of the press ends.
    void EndDrag(bool dropped);
    uint16_t AutoCompleteDelay() const { return autoCompleteDelay_; }
    void SetAutoCompleteDelay(uint16_t ms) { autoCompleteDelay_ = ms; }

    vcl::TDrawItemEvent OnDrawItem;
    vcl::TMeasureItemEvent OnMeasureItem;
    TLBGetDataEvent OnData;
    TLBGetDataObjectEvent OnDataObject;
    TLBFindDataEvent OnDataFind;
    vcl::TNotifyEvent OnVScroll;
    vcl::TNotifyEvent OnMouseEnter;
    vcl::TNotifyEvent OnMouseLeave;
    vcl::TNotifyEvent OnStartDrag;
    vcl::TNotifyEvent OnEndDrag;

    void WndProc(vcl::TMessage& message) override;
    void Dispatch(vcl::TMessage& message) override;
    bool DoKeyPress(char& key) override;
    void AfterConstruction() override;
    void Loaded() override;

    // Paints the section (the frame's picture) into the cache image.
    virtual void PrepareCache();
    // The adapter that draws the frame and scroll bars; null while none is made.
    TacControlAdapter* Adapter() const { return adapter_.get(); }

protected:
    friend class TListBoxStrings;
    void CreateParams(vcl::TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void MeasureItem(int index, int& height);
    virtual void DrawItem(int index, const vcl::TRect& rect, vcl::TOwnerDrawState state);
    // Draws one item from its owner-draw record.
    virtual void DrawItemMessage(const win::DRAWITEMSTRUCT& item);
    // The application's data of an item, and the window's own (the same here).
    virtual intptr_t GetItemData(int index) const;
    virtual void SetItemData(int index, intptr_t data);
    virtual intptr_t InternalGetItemData(int index) const;
    virtual void InternalSetItemData(int index, intptr_t data);
    virtual void ResetContent();
    virtual void DeleteString(int index);
    bool VirtualStyle() const { return style_ == lbVirtual || style_ == lbVirtualOwnerDraw; }
    bool OwnerDrawStyle() const { return style_ != lbStandard && style_ != lbVirtual; }
    intptr_t Send(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0) const;

private:
    void SetColumnWidth();
    void RecreateUnlessLoading();
    void UpdateAdapter();
    bool SkinCommand(vcl::TMessage& m);
    // WM_PRINT into the shared print DC: every item, from the last to the first.
    void PrintItems(win::HDC dc);
    void RepaintItem(int index);
    void TypeAhead(char key);
    // A press in automatic drag mode; true when it was used up.
    bool PressStartsDrag(vcl::TMessage& m);
    // The mouse while a drag runs; true when the message was used up.
    bool WhileDragging(vcl::TMessage& m);

    TListBoxStrings* items_;
    vcl::TControlCanvas* canvas_;
    AdapterPtr adapter_;
    int virtualCount_ = 0;
    // Kept while the window is made again.
    int savedCount_ = -1;
    std::unique_ptr<vcl::TStringList, vcl::FreeDeleter> savedItems_;
    int savedTop_ = 0, savedIndex_ = -1;
    std::string savedIndexText_;
    std::string typed_;
    uint32_t typedAt_ = 0;
    int itemHeight_ = 16;
    TListBoxStyle style_ = lbStandard;
    bool integralHeight_ = false;
    bool multiSelect_ = false;
    bool sorted_ = false;
    bool extendedSelect_ = true;
    int columns_ = 0;
    int tabWidth_ = 0;
    vcl::TBorderStyle borderStyle_ = vcl::bsSingle;
    bool autoComplete_ = true;
    bool autoHideScroll_ = true;
    bool ctl3D_ = true;
    uint16_t autoCompleteDelay_ = 500;
    bool moving_ = false;
    TDragMode dragMode_ = dmManual;
    bool dragging_ = false;
};

class TsListBox : public TsAlphaListBox {
public:
    VCL_CLASS_PUBLISHED(TsListBox, TsAlphaListBox)
    explicit TsListBox(vcl::TComponent* owner) : TsAlphaListBox(owner) {}
};

class TsCheckListBox : public TsListBox {
public:
    VCL_CLASS_PUBLISHED(TsCheckListBox, TsListBox)
    explicit TsCheckListBox(vcl::TComponent* owner);
    ~TsCheckListBox() override;

    // False for an item without a check state.
    bool Checked(int index) const;
    void SetChecked(int index, bool on);
    vcl::TCheckBoxState State(int index) const;
    void SetState(int index, vcl::TCheckBoxState state);
    // False for -1 and past the last item.
    bool ItemEnabled(int index) const;
    void SetItemEnabled(int index, bool on);
    bool Header(int index) const;
    // A header item is drawn across the check area in the header colours (or HeaderSkin) and
    // has no check.
    void SetHeader(int index, bool on);
    intptr_t ItemData(int index) const { return GetItemData(index); }
    void SetItemData(int index, intptr_t data) override;

    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool on) { allowGrayed_ = on; }
    vcl::TColor HeaderColor() const { return headerColor_; }
    void SetHeaderColor(vcl::TColor color);
    vcl::TColor HeaderBackgroundColor() const { return headerBackgroundColor_; }
    void SetHeaderBackgroundColor(vcl::TColor color);
    const std::string& HeaderSkin() const { return headerSkin_; }
    void SetHeaderSkin(const std::string& section);
    // The width of the check area: the check image and 2 pixels.
    int CheckWidth() const;
    // The size of one check image: the skin's SMALLCHECKED when the skin has it, else the
    // system's check box.
    vcl::TPoint CheckSize() const;

    vcl::TNotifyEvent OnClickCheck;

    bool DoKeyPress(char& key) override;
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateParams(vcl::TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void DrawItemMessage(const win::DRAWITEMSTRUCT& item) override;
    void DrawItem(int index, const vcl::TRect& rect, vcl::TOwnerDrawState state) override;

private:
    // Skinned: the whole item drawn into a bitmap of its own, then copied.
    void DrawSkinnedItem(const win::DRAWITEMSTRUCT& item);
    // The skin's check of item `index` into `bmp` (item coordinates) in `area`, over the
    // control's cache image; `item` is the item's place in the client area.
    void DrawSkinnedCheck(vcl::TBitmap* bmp, int index, const vcl::TRect& area, vcl::TPoint item);
    // A header item's background and font colour: the HeaderSkin section in its normal state
    // over what the bitmap holds, or without one the skin's global colours.
    void PaintHeaderBackground(vcl::TBitmap* bmp);

public:
    intptr_t GetItemData(int index) const override;
    void ResetContent() override;
    void DeleteString(int index) override;
    void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
    virtual void ClickCheck() { OnClickCheck(this); }

private:
    struct Wrapper {
        intptr_t data = 0;
        vcl::TCheckBoxState state = vcl::cbUnchecked;
        bool disabled = false;
        bool header = false;
    };
    // The item's wrapper, or nullptr when its window data is none of ours.
    Wrapper* WrapperOf(int index) const;
    Wrapper* NeedWrapper(int index);
    void FreeWrappers();
    void Toggle(int index);
    void InvalidateCheck(int index);

    std::vector<std::unique_ptr<Wrapper>> wrappers_;
    bool allowGrayed_ = false;
    vcl::TColor headerColor_ = vcl::clInfoText;
    vcl::TColor headerBackgroundColor_ = vcl::clInfoBk;
    std::string headerSkin_;
    // States kept while the window is made again, in item order: the text, the state in bits
    // 16..23 and "disabled" in bits 0..7.
    std::vector<std::pair<std::string, uint32_t>> savedStates_;
};

}  // namespace skin
