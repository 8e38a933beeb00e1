// TsCustomComboBox and TsComboBox: the skinned combo box (kind 3, section "COMBOBOX") with a
// bound label. ReadOnly keeps the operator from changing it: typing, cutting and pasting, the
// keys that move the selection and the drop-down are refused; Tab and Enter still pass and a
// click only gives it the focus.
#pragma once

#include "skin/controls/edit_skin.h"
#include "skin/controls/window_services.h"
#include "vcl/controls/combo_box.h"

namespace skin {

class TsCustomComboBox : public TsEditSkinned<vcl::TCustomComboBox> {
public:
    VCL_CLASS_PUBLISHED(TsCustomComboBox, vcl::TCustomComboBox)
    explicit TsCustomComboBox(vcl::TComponent* owner);
    ~TsCustomComboBox() override;

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    bool AutoCloseUp() const { return autoCloseUp_; }
    void SetAutoCloseUp(bool on) { autoCloseUp_ = on; }
    bool AutoDropDown() const { return autoDropDown_; }
    void SetAutoDropDown(bool on) { autoDropDown_ = on; }
    void SetAlignment(vcl::TAlignment a) override;
    // Between the list's drop-down and close-up.
    bool DroppedDownState() const { return droppedDown_; }

    void WndProc(vcl::TMessage& message) override;
    void Dispatch(vcl::TMessage& message) override;
    void Loaded() override;

    // The drop-down button in client coordinates; empty in the simple style.
    win::RECT ButtonRect() const;
    // The skin adapter of the dropped list, null while the list keeps the platform's frame.
    TacControlAdapter* ListAdapter() const { return listAdapter_.get(); }

protected:
    void EditWndProc(vcl::TMessage& message) override;
    void CreateWnd() override;
    // Builds the cached picture: body, button with its arrow, the text, the disabled look.
    virtual void PrepareCache();
    // A skinned field (odComboBoxEdit) shows the cache under it and is highlighted only while
    // the box has the focus; list items take the highlight colours when selected.
    void DrawItem(int index, const vcl::TRect& rect, vcl::TOwnerDrawState state) override;

private:
    // The rows the cache covers: the edit part in the simple style, else the whole box.
    int CacheHeight() const;
    void PaintText(vcl::TBitmap* cache);
    bool OwnDrawn() { return Style() >= vcl::csOwnerDrawFixed && OnDrawItem; }
    // The field of an owner-drawn box drawn through DrawItem into `dc` at `r`.
    void DrawField(win::HDC dc, const vcl::TRect& r, vcl::TOwnerDrawState state);
    // The item's text, or OnDrawItem, in the canvas's colours.
    void DrawItemContent(int index, const vcl::TRect& rect, vcl::TOwnerDrawState state);
    void PaintToDC(win::HDC dc);
    bool SkinCommand(vcl::TMessage& m);
    void ReleaseList();
    void Restale();

    AdapterPtr listAdapter_;
    win::HWND listWnd_ = nullptr;
    bool readOnly_ = false;
    bool autoCloseUp_ = false;
    bool autoDropDown_ = false;
    bool droppedDown_ = false;
};

class TsComboBox : public TsCustomComboBox {
public:
    VCL_CLASS(TsComboBox, TsCustomComboBox)
    explicit TsComboBox(vcl::TComponent* owner) : TsCustomComboBox(owner) {}
};

}  // namespace skin
