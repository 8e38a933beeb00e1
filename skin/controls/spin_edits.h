// The spin edits: a skinned edit with a pair of small up and down buttons (TsSpinButton, two
// repeating TsTimerSpeedButton) inside its right edge that step a value.
//
// TsBaseSpinEdit keeps its text clear of the buttons, lets through only the characters of a
// number (with EditorEnabled off, none at all: the value is then changed by the buttons, the
// arrow keys and the wheel only) and steps on the arrow keys. Pasted text stops at its first
// line break: the window is several lines only so that its text ends before the buttons.
//
// Skinned, the buttons paint over the edit's cache (the spin button answers the background
// question with it, at its own place in it) and their arrows take the font colour of the
// button's section while it is hot, else the edit's. A disabled edit hides the spin button:
// its cache carries the buttons' pictures under the disabled look. TsDecimalSpinEdit holds Value, an
// extended number shown with DecimalPlaces decimals and kept within MinValue..MaxValue when
// MinValue < MaxValue (equal limits, 0 and 0 at first, mean none). Text that does not read as a
// number reads as 0; leaving the edit pulls what was typed into range and shows it formatted.
#pragma once

#include <memory>

#include "skin/controls/buttons.h"
#include "skin/controls/edits.h"

namespace skin {

class TsSpinButton : public vcl::TWinControl {
public:
    VCL_CLASS_PUBLISHED(TsSpinButton, vcl::TWinControl)
    explicit TsSpinButton(vcl::TComponent* owner);
    ~TsSpinButton() override;

    TsTimerSpeedButton* UpButton() const { return up_; }
    TsTimerSpeedButton* DownButton() const { return down_; }
    // A glyph of its own for a button; nullptr or an empty one draws the arrow.
    vcl::TBitmap* UpGlyph() const;
    void SetUpGlyph(vcl::TBitmap* glyph);
    vcl::TBitmap* DownGlyph() const;
    void SetDownGlyph(vcl::TBitmap* glyph);
    // The control that takes the focus when a button is pressed.
    vcl::TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(vcl::TWinControl* control);
    // The button that shows the keyboard focus.
    TsTimerSpeedButton* FocusedButton() const { return focused_; }

    vcl::TNotifyEvent OnUpClick;
    vcl::TNotifyEvent OnDownClick;

    // The buttons split the height: the upper half (rounded down) and the rest.
    void AdjustSize(int& width, int& height);
    // Redraws the arrows of buttons without a glyph of their own.
    void ResetArrows();
    // Both buttons' pictures into `dc`, the upper one's top-left corner at `at`.
    void PaintButtonsTo(win::HDC dc, vcl::TPoint at);
    // Each button hears `code` (a skin command with the edit's manager).
    void TellButtons(vcl::TMessage& m);

    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
    void Dispatch(vcl::TMessage& message) override;

private:
    TsTimerSpeedButton* MakeButton();
    void ButtonClick(vcl::TObject* sender);
    void ButtonMouseDown(vcl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift,
                         int x, int y);
    void SetFocusedButton(TsTimerSpeedButton* button);
    bool SkinCommand(vcl::TMessage& m);

    TsTimerSpeedButton* up_ = nullptr;
    TsTimerSpeedButton* down_ = nullptr;
    TsTimerSpeedButton* focused_ = nullptr;
    bool ownUp_ = false, ownDown_ = false;  // a glyph given, not a drawn arrow
    vcl::TWinControl* focusControl_ = nullptr;
};

class TsBaseSpinEdit : public TsEdit {
public:
    VCL_CLASS_PUBLISHED(TsBaseSpinEdit, TsEdit)
    explicit TsBaseSpinEdit(vcl::TComponent* owner);
    ~TsBaseSpinEdit() override;

    TsSpinButton* Button() const { return button_; }
    // Off: nothing can be typed; the buttons, arrow keys and wheel still step.
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool on) { editorEnabled_ = on; }
    void SetAlignment(vcl::TAlignment a) override;

    vcl::TNotifyEvent OnUpClick;
    vcl::TNotifyEvent OnDownClick;

    void Loaded() override;
    void SetBounds(int left, int top, int width, int height) override;
    bool DoKeyDown(uint16_t& key, vcl::TShiftState shift) override;
    bool DoKeyPress(char& key) override;
    void WndProc(vcl::TMessage& message) override;
    // Skinned: the section, the text, and when disabled the buttons' pictures under the
    // disabled look.
    void PrepareCache() override;
    void PaintText() override;

protected:
    virtual bool IsValidChar(char key);
    virtual void UpClick(vcl::TObject*) {}
    virtual void DownClick(vcl::TObject*) {}
    void CreateParams(vcl::TCreateParams& params) override;
    void CreateWnd() override;
    // The formatting rectangle ends left of the buttons.
    void SetEditRect();
    // The buttons inside the right edge, then the formatting rectangle.
    void PlaceButton();

private:
    void UpClicked(vcl::TObject* sender) { UpClick(sender); }
    void DownClicked(vcl::TObject* sender) { DownClick(sender); }
    bool SkinCommand(vcl::TMessage& m);

    TsSpinButton* button_;
    bool editorEnabled_ = true;
};

class TsDecimalSpinEdit : public TsBaseSpinEdit {
public:
    VCL_CLASS_PUBLISHED(TsDecimalSpinEdit, TsBaseSpinEdit)
    explicit TsDecimalSpinEdit(vcl::TComponent* owner);

    // What the text reads as (0 when it is not a number), or the value last set.
    long double Value();
    void SetValue(long double value);
    long double MinValue() const { return minValue_; }
    void SetMinValue(long double v) { minValue_ = v; }
    long double MaxValue() const { return maxValue_; }
    void SetMaxValue(long double v) { maxValue_ = v; }
    long double Increment() const { return increment_; }
    void SetIncrement(long double v) { increment_ = v; }
    int DecimalPlaces() const { return decimalPlaces_; }
    void SetDecimalPlaces(int places);
    // Off: both "," and "." separate the decimals.
    bool UseSystemDecSeparator() const { return useSystemDecSeparator_; }
    void SetUseSystemDecSeparator(bool on) { useSystemDecSeparator_ = on; }
    // `v` within MinValue..MaxValue when they limit.
    long double CheckValue(long double v) const;

    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;

protected:
    bool IsValidChar(char key) override;
    void UpClick(vcl::TObject* sender) override;
    void DownClick(vcl::TObject* sender) override;

private:
    void Step(long double by, const vcl::TNotifyEvent& event);
    long double PublishedValue() const { return const_cast<TsDecimalSpinEdit*>(this)->Value(); }

    long double value_ = 0;
    long double minValue_ = 0, maxValue_ = 0;
    long double increment_ = 1;
    int decimalPlaces_ = 2;
    bool useSystemDecSeparator_ = true;
    bool textChanged_ = false;
};

}  // namespace skin
