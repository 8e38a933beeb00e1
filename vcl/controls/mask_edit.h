// TCustomMaskEdit and TMaskEdit: an edit whose text keeps to an edit mask (mask_pattern.h).
//
// While masked the window holds the edit text, one character per mask position. Typing writes
// over the character at the caret, or the next free position after literals, and moves the
// caret on past the literals; a literal typed moves the caret past that literal. Backspace,
// Delete, cutting and clearing put blanks back and keep the literals; pasting types the
// clipboard's characters one by one. Text reads and sets the text as the mask saves it.
#pragma once

#include <string>

#include "vcl/controls/edits.h"
#include "vcl/controls/mask_pattern.h"

namespace vcl {

class TCustomMaskEdit : public TCustomEdit {
public:
    VCL_CLASS_PUBLISHED(TCustomMaskEdit, TCustomEdit)
    explicit TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

    const std::string& EditMask() const { return maskText_; }
    // The text is kept: read with the old mask, set again with the new one.
    void SetEditMask(const std::string& mask);
    bool IsMasked() const { return !mask_.Empty(); }
    // The text as the window shows it, literals and blanks included.
    std::string EditText() const;
    void SetEditText(const std::string& text);

    std::string GetText() const override;
    void SetText(const std::string& text) override;

    bool DoKeyDown(uint16_t& key, TShiftState shift) override;
    bool DoKeyPress(char& key) override;

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& message) override;

private:
    struct Selection {
        std::size_t start, end;
    };
    Selection GetSel();
    void SetCaret(std::size_t pos);
    void Put(std::size_t pos, const std::string& s);
    void Blank(std::size_t from, std::size_t to);
    void Input(char c);
    void Erase(bool back);

    std::string maskText_;
    MaskPattern mask_;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    VCL_CLASS(TMaskEdit, TCustomMaskEdit)
    explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};

}  // namespace vcl
