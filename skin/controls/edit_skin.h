// TsEditSkin: what every skinned edit-like control owns besides its base class: the skin state
// (SkinData), the disabled look and the bound label, made and freed in the right order, and
// the hooks the control calls around its own message handling.
#pragma once

#include <memory>

#include "skin/controls/bound_label.h"
#include "skin/controls/skin_types.h"
#include "skin/core/common_data.h"
#include "vcl/system/messages.h"
#include "vcl/system/object.h"

namespace vcl {
class TControl;
}

namespace skin {

class TsEditSkin {
public:
    // `section` is set when the control gives its own default.
    TsEditSkin(vcl::TControl* owner, int kind, const char* section = nullptr,
               bool createCache = true);
    ~TsEditSkin();  // the bound label (and its label) first, then the skin state
    TsEditSkin(const TsEditSkin&) = delete;
    TsEditSkin& operator=(const TsEditSkin&) = delete;

    TsCommonData* Data() const { return data_.get(); }
    TsBoundLabel* BoundLabel() const { return boundLabel_.get(); }
    TsDisabledKind DisabledKind() const { return disabledKind_; }
    void SetDisabledKind(TsDisabledKind kind);

    // Before the control's own handling of a message, and after it.
    void Before(vcl::TMessage& message) { CommonWndProc(message, data_.get()); }
    void After(const vcl::TMessage& message) { boundLabel_->FollowEdit(message, disabledKind_); }
    // The control moved or changed parent without a window to tell it.
    void Placed() { boundLabel_->AlignLabel(); }

private:
    std::unique_ptr<TsCommonData> data_;
    std::unique_ptr<TsBoundLabel> boundLabel_;
    TsDisabledKind disabledKind_{dkBlended};
};

// The published properties of an edit-like control C: SkinData, BoundLabel, DisabledKind.
template <class C>
std::vector<vcl::TPropInfo> EditSkinProperties() {
    return {vcl::Property("SkinData", &C::SkinData), vcl::Property("BoundLabel", &C::BoundLabel),
            SetProperty("DisabledKind", &C::DisabledKind, &C::SetDisabledKind)};
}

}  // namespace skin
