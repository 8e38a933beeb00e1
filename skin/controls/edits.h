// The skinned edits: TsEdit, TsMaskEdit and TsMemo, the class library's edits with a skin
// state (SkinData, kind 3, or 7 for the memo; section "EDIT"), a disabled look and a bound
// label. Until a skin is active they look and behave as their bases.
#pragma once

#include "skin/controls/edit_skin.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/mask_edit.h"

namespace skin {

class TsEdit : public TsEditSkinned<vcl::TEdit> {
public:
    VCL_CLASS_PUBLISHED(TsEdit, vcl::TEdit)
    explicit TsEdit(vcl::TComponent* owner) : TsEditSkinned(owner, 3) {}
};

class TsMaskEdit : public TsEditSkinned<vcl::TMaskEdit> {
public:
    VCL_CLASS_PUBLISHED(TsMaskEdit, vcl::TMaskEdit)
    explicit TsMaskEdit(vcl::TComponent* owner);
};

class TsMemo : public TsEditSkinned<vcl::TMemo> {
public:
    VCL_CLASS_PUBLISHED(TsMemo, vcl::TMemo)
    explicit TsMemo(vcl::TComponent* owner);

    // The selection was set (EM_SETSEL): the caret may have moved out of sight.
    vcl::TNotifyEvent OnScrollCaret;
    // The memo scrolled vertically (WM_VSCROLL).
    vcl::TNotifyEvent OnVScroll;

    void WndProc(vcl::TMessage& message) override;
};

}  // namespace skin
