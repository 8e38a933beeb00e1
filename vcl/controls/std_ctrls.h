// The standard controls over the native "Button" class (TButton, TCheckBox), the group box,
// and TLabel, a graphic control that paints its caption.
#pragma once

#include <string>

#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"

namespace vcl {

// A control over a native button window.
class TButtonControl : public TWinControl {
public:
    VCL_CLASS(TButtonControl, TWinControl)
    explicit TButtonControl(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    // Answers whether `key` is this control's "&" mnemonic.
    bool IsAccel(uint32_t key) const;
    // The native window's own notice that it was clicked.
    virtual void ButtonClicked() { Click(); }
};

class TButton : public TButtonControl {
public:
    VCL_CLASS_PUBLISHED(TButton, TButtonControl)
    explicit TButton(TComponent* owner);

    bool Default() const { return default_; }
    void SetDefault(bool on);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool on) { cancel_ = on; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r) { modalResult_ = r; }

    // Sets the form's ModalResult (when this button has one), then OnClick.
    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    // Whether the button shows the default frame now: it has the focus, or it is the
    // default button and no other button has it.
    bool Active() const { return active_; }
    // Shows the default frame or takes it away (the native button's style by default).
    virtual void ApplyButtonStyle(bool isDefault);

private:
    void SetButtonStyle(bool isDefault);

    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;  // shows the default frame now
    TModalResult modalResult_ = mrNone;
};

enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };

// A check box: the caption right of the box (Alignment taRightJustify) or left of it
// (taLeftJustify). The native box does not toggle by itself: a click toggles State here,
// through grey when AllowGrayed.
class TCustomCheckBox : public TButtonControl {
public:
    VCL_CLASS(TCustomCheckBox, TButtonControl)
    explicit TCustomCheckBox(TComponent* owner);

    bool Checked() const { return state_ == cbChecked; }
    // A change of state fires OnClick, whether it came from the operator or from code.
    virtual void SetChecked(bool on) { SetState(on ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    virtual void SetState(TCheckBoxState s);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool on) { allowGrayed_ = on; }
    void SetAlignment(TAlignment a) override;
    // The next state: unchecked, grey (when allowed), checked.
    virtual void Toggle();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ButtonClicked() override { Toggle(); }

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
};

class TCheckBox : public TCustomCheckBox {
public:
    VCL_CLASS_PUBLISHED(TCheckBox, TCustomCheckBox)
    using TCustomCheckBox::TCustomCheckBox;
};

// A frame with a caption around other controls; aligned children stay inside the frame.
class TCustomGroupBox : public TCustomControl {
public:
    VCL_CLASS(TCustomGroupBox, TCustomControl)
    explicit TCustomGroupBox(TComponent* owner);
    void Dispatch(TMessage& message) override;

protected:
    void AdjustClientRect(TRect& rect) override;
    void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
public:
    VCL_CLASS(TGroupBox, TCustomGroupBox)
    using TCustomGroupBox::TCustomGroupBox;
};

enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };
enum TEllipsisPosition : uint8_t { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };

// A caption painted on the parent. All text goes through DoDrawText, which measures too (with
// DT_CALCRECT), so a derived label that draws its text its own way stays sized to it.
class TCustomLabel : public TGraphicControl {
public:
    VCL_CLASS(TCustomLabel, TGraphicControl)
    explicit TCustomLabel(TComponent* owner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    bool Transparent() const { return !ControlStyle.Contains(csOpaque); }
    void SetTransparent(bool on);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    // A text too long for the label is shortened with "..." (not while AutoSize).
    TEllipsisPosition EllipsisPosition() const { return ellipsis_; }
    void SetEllipsisPosition(TEllipsisPosition p);
    bool ShowAccelChar = true;
    TWinControl* FocusControl = nullptr;

    void Dispatch(TMessage& message) override;
    // A label made while its form was being built is sized once the build is over.
    void Loaded() override;

protected:
    void Paint() override;
    virtual void DoDrawText(TRect& rect, uint32_t flags);
    virtual std::string GetLabelText() const { return Caption(); }
    void AdjustBounds();

private:
    bool autoSize_ = true;
    bool wordWrap_ = false;
    TTextLayout layout_ = tlTop;
    TEllipsisPosition ellipsis_ = epNone;
};

class TLabel : public TCustomLabel {
public:
    VCL_CLASS_PUBLISHED(TLabel, TCustomLabel)
    using TCustomLabel::TCustomLabel;
};

}  // namespace vcl
