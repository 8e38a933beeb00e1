#include "skin/controls/edit_skin.h"

#include "vcl/controls/controls.h"

namespace skin {

TsEditSkin::TsEditSkin(vcl::TControl* owner, int kind, const char* section, bool createCache)
    : data_(std::make_unique<TsCommonData>(owner, createCache)),
      boundLabel_(std::make_unique<TsBoundLabel>(data_.get())) {
    data_->COC = kind;
    if (section && data_->SkinSection().empty()) data_->SetSkinSection(section);
}

TsEditSkin::~TsEditSkin() {
    boundLabel_.reset();
}

void TsEditSkin::SetDisabledKind(TsDisabledKind kind) {
    if (kind == disabledKind_) return;
    disabledKind_ = kind;
    data_->Invalidate();
}

}  // namespace skin
