// TsCustomComboEdit: a skinned masked edit with a small button inside its right edge that opens
// a popup window under the edit (the date edit's calendar).
//
// Rules it keeps:
//  1. The text never runs under the button: the formatting rectangle ends where it begins.
//  2. ReadOnly blocks the button and the popup as well as typing; DirectInput off blocks only
//     typing, cutting and pasting. The window is read-only unless DirectInput and not ReadOnly.
//  3. The popup opens below the edit, right edges aligned (PopupAlign pwaRight) or left edges
//     (pwaLeft), moved above the edit or sideways to stay on the screen; moving or sizing the
//     edit, a press elsewhere and the focus going elsewhere close it.
//  4. ClickKey (Alt+Down) clicks the button when it shows a glyph.
//  5. Skinned, an idle edit shows its whole cache and the button's image over it (the button
//     is a graphic child the cache would cover); an active one lets the window paint the text
//     and lays the button's image on with the border strips. The button's cache takes the
//     edit's cache behind it as background (command 34 answered with the frame's offset).
//  6. Pasted text stops at its first line break, as in a one-line edit: the window is several
//     lines only so that its formatting rectangle ends at the button.
#pragma once

#include <memory>

#include "skin/controls/buttons.h"
#include "skin/controls/edits.h"
#include "skin/controls/glyph_mode.h"
#include "vcl/controls/menus.h"

namespace skin {

class TsCustomComboEdit;

enum TPopupWindowAlign : uint8_t { pwaRight, pwaLeft };

// The button of a combo edit.
class TsEditButton : public TsSpeedButton {
public:
    VCL_CLASS(TsEditButton, TsSpeedButton)
    TsEditButton(vcl::TComponent* owner, TsCustomComboEdit* edit);

    // Skinned: the face over the edit's cache, and the glyph of GlyphMode (by state: normal,
    // hot, pressed) or the edit's default glyph.
    ButtonGlyph GlyphInputs() override;

protected:
    void Paint() override;

private:
    TsCustomComboEdit* edit_;
};

class TsCustomComboEdit : public TsMaskEdit {
public:
    VCL_CLASS_PUBLISHED(TsCustomComboEdit, TsMaskEdit)
    explicit TsCustomComboEdit(vcl::TComponent* owner);
    ~TsCustomComboEdit() override;

    TsEditButton* Button() const { return button_; }
    TsGlyphMode* GlyphMode() const { return glyphMode_.get(); }
    vcl::TShortCut ClickKey() const { return clickKey_; }
    void SetClickKey(vcl::TShortCut key) { clickKey_ = key; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool on);
    TPopupWindowAlign PopupAlign() const { return popupAlign_; }
    void SetPopupAlign(TPopupWindowAlign align) { popupAlign_ = align; }
    int PopupWidth() const { return popupWidth_; }
    void SetPopupWidth(int width) { popupWidth_ = width; }
    bool ShowButton() const { return showButton_; }
    void SetShowButton(bool on);
    void SetAlignment(vcl::TAlignment a) override;
    // The picture of the default glyphs the button shows without one of GlyphMode.
    int DefaultGlyphIndex() const { return defaultGlyph_; }
    // The popup the button opens (made by a descendant), or nullptr.
    vcl::TWinControl* Popup() const { return popup_; }
    bool PopupVisible() const;

    vcl::TNotifyEvent OnButtonClick;

    // The button's work: OnButtonClick, then the popup opens or closes. Nothing while ReadOnly.
    virtual void ButtonClick();
    virtual void PopupDropDown();
    virtual void PopupCloseUp();
    void SelectAllText();

    void Invalidate() override;
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
    bool DoKeyDown(uint16_t& key, vcl::TShiftState shift) override;
    bool DoKeyPress(char& key) override;
    void WndProc(vcl::TMessage& message) override;
    void PaintText() override;
    void PaintToDC(win::HDC dc, bool clientDC) override;
    void PaintBorder(win::HDC dc) override;
    // Active also while the button is pressed or hot.
    int CurrentState() const override;

protected:
    void CreateParams(vcl::TCreateParams& params) override;
    void CreateWnd() override;
    void Change() override;
    void SetEditRect() override;
    void SetPopup(vcl::TWinControl* popup) { popup_ = popup; }
    void SetDefaultGlyphIndex(int index) { defaultGlyph_ = index; }

private:
    void ButtonClicked(vcl::TObject*) { ButtonClick(); }
    void ApplyReadOnly();
    // The button's cache image at its place in `dc` (`clientDC`: the origin is the client).
    void PaintButtonImage(win::HDC dc, bool clientDC);
    bool SkinCommand(vcl::TMessage& m);

    TsEditButton* button_ = nullptr;
    std::unique_ptr<TsGlyphMode> glyphMode_;
    vcl::TShortCut clickKey_ = 0x8028;  // Alt+Down
    bool readOnly_ = false;
    bool directInput_ = true;
    TPopupWindowAlign popupAlign_ = pwaRight;
    int popupWidth_ = 282;
    bool showButton_ = true;
    int defaultGlyph_ = -1;
    vcl::TWinControl* popup_ = nullptr;
};

}  // namespace skin
