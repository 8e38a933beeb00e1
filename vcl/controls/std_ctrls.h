// The first standard controls: TButton and TCheckBox over the native "Button" class, and
// TLabel, a graphic control that paints its caption. The rest of the standard controls build
// on the same bases.
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

class TCheckBox : public TButtonControl {
public:
    VCL_CLASS_PUBLISHED(TCheckBox, TButtonControl)
    explicit TCheckBox(TComponent* owner);

    bool Checked() const { return state_ == cbChecked; }
    // A change of state fires OnClick, whether it came from the operator or from code.
    void SetChecked(bool on) { SetState(on ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState s);
    bool AllowGrayed = false;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ButtonClicked() override;

private:
    TCheckBoxState state_ = cbUnchecked;
};

enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    VCL_CLASS_PUBLISHED(TLabel, TGraphicControl)
    explicit TLabel(TComponent* owner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    bool Transparent() const { return !ControlStyle.Contains(csOpaque); }
    void SetTransparent(bool on);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    bool ShowAccelChar = true;
    TWinControl* FocusControl = nullptr;

    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;
    void AdjustBounds();

private:
    bool autoSize_ = true;
    bool wordWrap_ = false;
    TTextLayout layout_ = tlTop;
};

}  // namespace vcl
