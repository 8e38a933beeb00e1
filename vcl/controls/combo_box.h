// Combo boxes: TCustomComboBox and TComboBox over the native "ComboBox" class.
//
// The items live in the window; Items forwards to it (and keeps them while the window is made
// again). The class library answers the colours its field and list ask for with Color and
// Font, draws owner-drawn items through DrawItem (the field with odComboBoxEdit), and sizes
// the dropped list to DropDownCount rows when it drops.
#pragma once

#include <cstdint>
#include <string>

#include "vcl/controls/controls.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/menus.h"
#include "vcl/system/strings.h"

namespace vcl {

class TStringList;
class TCustomComboBox;

enum TComboBoxStyle : uint8_t {
    csDropDown,
    csSimple,
    csDropDownList,
    csOwnerDrawFixed,
    csOwnerDrawVariable
};

using TDrawItemEvent =
    Delegate<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = Delegate<void(TWinControl* Control, int Index, int& Height)>;

// The items of a combo box, kept in its window.
class TComboBoxStrings : public TStrings {
public:
    VCL_CLASS(TComboBoxStrings, TStrings)
    explicit TComboBoxStrings(TCustomComboBox* combo) : combo_(combo) {}

    int Count() const override;
    std::string Get(int index) const override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    int Add(const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    int IndexOf(std::string_view s) const override;

protected:
    void SetUpdateState(bool updating) override;

private:
    intptr_t Send(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0) const;
    TCustomComboBox* combo_;
};

class TCustomComboBox : public TWinControl {
public:
    VCL_CLASS_PUBLISHED(TCustomComboBox, TWinControl)
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    TStrings* Items() { return items_; }
    void SetItems(const TStrings* items) { items_->Assign(items); }
    void Clear();
    int ItemIndex() const;
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    int DropDownCount() const { return dropDownCount_; }
    virtual void SetDropDownCount(int count);
    // Owner-drawn styles use the height set here; the others that of their font.
    int ItemHeight() const;
    void SetItemHeight(int height);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase c);
    bool AutoComplete() const { return autoComplete_; }
    void SetAutoComplete(bool on) { autoComplete_ = on; }
    uint32_t AutoCompleteDelay() const { return autoCompleteDelay_; }
    void SetAutoCompleteDelay(uint32_t ms) { autoCompleteDelay_ = ms; }
    bool DroppedDown() const;
    void SetDroppedDown(bool on);
    TCanvas* Canvas() { return canvas_; }
    // The edit of csDropDown and csSimple (nullptr otherwise, or without a window).
    win::HWND EditHandle() const { return editHandle_; }
    // The box has the focus when its edit has it.
    bool Focused() override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void SetBounds(int left, int top, int width, int height) override;
    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    bool DoKeyPress(char& key) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // Draws an item of the list, or with odComboBoxEdit the field, on Canvas.
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    virtual void Change();
    // The operator chose an item: OnSelect, or OnChange without one.
    virtual void Select();
    virtual void DropDown() { OnDropDown(this); }
    virtual void CloseUp() { OnCloseUp(this); }
    // Gives the native box room below it for DropDownCount rows.
    void AdjustDropDown();
    // The edit's messages, before its own procedure sees them (DefaultEditHandler); a
    // descendant may take them over. Keys go through the box's key events.
    virtual void EditWndProc(TMessage& message);
    void DefaultEditHandler(TMessage& message);

private:
    void DrawItemMessage(TMessage& m);
    void MeasureItemMessage(TMessage& m);
    void Command(uint16_t code);
    bool SelectItem(const std::string& prefix);
    void Complete(char key);
    static win::LRESULT StaticEditProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam,
                                       win::LPARAM lParam);

    TComboBoxStrings* items_;
    TStringList* saved_ = nullptr;  // the items while the window is made again
    int savedIndex_ = -1;
    TCanvas* canvas_;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    int itemHeight_ = 16;
    bool sorted_ = false;
    int maxLength_ = 0;
    TEditCharCase charCase_ = ecNormal;
    win::HWND editHandle_ = nullptr;
    bool autoComplete_ = true;
    uint32_t autoCompleteDelay_ = 500;
    std::string typed_;
    uint32_t typedAt_ = 0;
};

class TComboBox : public TCustomComboBox {
public:
    VCL_CLASS(TComboBox, TCustomComboBox)
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

}  // namespace vcl
