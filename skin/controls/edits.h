// The skinned edits: TsEdit, TsMaskEdit and TsMemo, the class library's edits with a skin
// state (SkinData, kind 3, or 7 for the memo; section "EDIT"), a disabled look and a bound
// label. Every message passes the skin state first and the bound label after the edit's own
// handling; until a skin is active they look and behave as their bases.
#pragma once

#include "skin/controls/edit_skin.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/mask_edit.h"

namespace skin {

class TsEdit : public vcl::TEdit {
public:
    VCL_CLASS_PUBLISHED(TsEdit, vcl::TEdit)
    explicit TsEdit(vcl::TComponent* owner);
    ~TsEdit() override;

    TsCommonData* SkinData() const { return skin_.Data(); }
    TsBoundLabel* BoundLabel() const { return skin_.BoundLabel(); }
    TsDisabledKind DisabledKind() const { return skin_.DisabledKind(); }
    void SetDisabledKind(TsDisabledKind kind) { skin_.SetDisabledKind(kind); }

    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;
    void SetParent(vcl::TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;

private:
    TsEditSkin skin_;
};

class TsMaskEdit : public vcl::TMaskEdit {
public:
    VCL_CLASS_PUBLISHED(TsMaskEdit, vcl::TMaskEdit)
    explicit TsMaskEdit(vcl::TComponent* owner);
    ~TsMaskEdit() override;

    TsCommonData* SkinData() const { return skin_.Data(); }
    TsBoundLabel* BoundLabel() const { return skin_.BoundLabel(); }
    TsDisabledKind DisabledKind() const { return skin_.DisabledKind(); }
    void SetDisabledKind(TsDisabledKind kind) { skin_.SetDisabledKind(kind); }

    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;
    void SetParent(vcl::TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;

private:
    TsEditSkin skin_;
};

class TsMemo : public vcl::TMemo {
public:
    VCL_CLASS_PUBLISHED(TsMemo, vcl::TMemo)
    explicit TsMemo(vcl::TComponent* owner);
    ~TsMemo() override;

    TsCommonData* SkinData() const { return skin_.Data(); }
    TsBoundLabel* BoundLabel() const { return skin_.BoundLabel(); }
    TsDisabledKind DisabledKind() const { return skin_.DisabledKind(); }
    void SetDisabledKind(TsDisabledKind kind) { skin_.SetDisabledKind(kind); }

    // The selection was set (EM_SETSEL): the caret may have moved out of sight.
    vcl::TNotifyEvent OnScrollCaret;
    // The memo scrolled vertically (WM_VSCROLL).
    vcl::TNotifyEvent OnVScroll;

    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;
    void SetParent(vcl::TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;

private:
    TsEditSkin skin_;
};

}  // namespace skin
