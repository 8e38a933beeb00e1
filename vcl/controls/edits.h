// The edit controls over the native "Edit" window: TCustomEdit and TEdit for one line of text,
// TCustomMemo and TMemo for many.
//
// The window holds the text, the selection and the modified flag; the properties here are kept
// in the control as well, so that a window made again (a style that cannot change in place)
// comes back as it was. A change of the text, typed or set, comes back from the window as
// EN_CHANGE and reaches OnChange through CM_CHANGED.
#pragma once

#include <string>

#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"
#include "vcl/system/strings.h"

namespace vcl {

enum TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };
// The scroll bars of a memo or a grid.
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemoStrings;

class TCustomEdit : public TWinControl {
public:
    VCL_CLASS_PUBLISHED(TCustomEdit, TWinControl)
    explicit TCustomEdit(TComponent* owner);

    // 0: as much as the window takes.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    // 0 shows the text itself.
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char c);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase c);
    // Taking the focus from the keyboard selects the whole text.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool on);
    // A single border is the sunken edge with Ctl3D, a line without.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on);
    // A bevel outside the border, one pixel for each of the inner and outer edges.
    TBevelKind BevelKind() const { return bevelKind_; }
    void SetBevelKind(TBevelKind k);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut c);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut c);

    bool Modified();
    void SetModified(bool on);
    int SelStart();
    void SetSelStart(int pos);
    int SelLength();
    void SetSelLength(int n);
    std::string SelText();
    void SetSelText(const std::string& s);
    void SelectAll();
    void ClearSelection();
    void Clear();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    bool CanUndo();
    void Undo();
    void ClearUndo();

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& message) override;
    // The text changed: CM_CHANGED, then OnChange.
    virtual void Change();
    int BevelWidth() const;

private:
    void FrameChanged();
    void PaintBevel();

    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    TEditCharCase charCase_ = ecNormal;
    bool autoSelect_ = true;
    bool hideSelection_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    TBevelKind bevelKind_ = bkNone;
    TBevelCut bevelInner_ = bvRaised;
    TBevelCut bevelOuter_ = bvLowered;
    bool modified_ = false;  // kept while the window is made again
};

class TEdit : public TCustomEdit {
public:
    VCL_CLASS(TEdit, TCustomEdit)
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

// Many lines. Lines are the lines the window shows: with WordWrap, a wrapped paragraph is
// several lines, as the window's line messages count them; Lines.Text is the text itself.
class TCustomMemo : public TCustomEdit {
public:
    VCL_CLASS_PUBLISHED(TCustomMemo, TCustomEdit)
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;

    TStrings* Lines() const;
    void SetLines(TStrings* lines);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle s);
    // Enter breaks the line; without, it is the form's (the default button).
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool on) { wantReturns_ = on; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool on) { wantTabs_ = on; }

    bool DoKeyPress(char& key) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;

private:
    TMemoStrings* lines_;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
public:
    VCL_CLASS(TMemo, TCustomMemo)
    explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

}  // namespace vcl
