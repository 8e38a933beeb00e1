// TsCustomComboBox and TsComboBox: the skinned combo box (kind 3, section "COMBOBOX") with a
// bound label. ReadOnly keeps the operator from changing it: typing, cutting and pasting, the
// keys that move the selection and the drop-down are refused; Tab and Enter still pass and a
// click only gives it the focus.
#pragma once

#include "skin/controls/edit_skin.h"
#include "vcl/controls/combo_box.h"

namespace skin {

class TsCustomComboBox : public TsEditSkinned<vcl::TCustomComboBox> {
public:
    VCL_CLASS_PUBLISHED(TsCustomComboBox, vcl::TCustomComboBox)
    explicit TsCustomComboBox(vcl::TComponent* owner);

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

protected:
    void EditWndProc(vcl::TMessage& message) override;

private:
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
