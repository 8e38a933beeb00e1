#include "skin/controls/bevel.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsBevel::Published() {
    return {Property("SkinData", &TsBevel::SkinData)};
}

TsBevel::TsBevel(TComponent* owner)
    : TBevel(owner), skinData_(std::make_unique<TsCommonData>(this, true)) {
    skinData_->COC = 92;
}

TsBevel::~TsBevel() = default;

void TsBevel::ChooseSection() {
    shape_ = Shape();
    style_ = Style();
    skinData_->SetSkinSection(shape_ == bsFrame    ? "GROUPBOX"
                              : style_ == bsRaised ? "PANEL"
                                                   : "PANEL_LOW");
}

void TsBevel::AfterConstruction() {
    TBevel::AfterConstruction();
    ChooseSection();
    skinData_->Loaded();
}

void TsBevel::Loaded() {
    TBevel::Loaded();
    ChooseSection();
    skinData_->Loaded();
}

void TsBevel::Invalidate() {
    if (skinData_ && (Shape() != shape_ || Style() != style_)) {
        ChooseSection();
        skinData_->CacheStale = true;
    }
    TBevel::Invalidate();
}

}  // namespace skin
