// TsBevel: the skinned bevel (kind 92). Its section follows Shape and Style: "GROUPBOX" for a
// frame, else "PANEL" raised or "PANEL_LOW" lowered; it is chosen again at the first
// invalidation after either changes.
#pragma once

#include <memory>

#include "skin/core/state/common_data.h"
#include "vcl/controls/ext_ctrls.h"

namespace skin {

class TsBevel : public vcl::TBevel {
public:
    VCL_CLASS_PUBLISHED(TsBevel, vcl::TBevel)
    explicit TsBevel(vcl::TComponent* owner);
    ~TsBevel() override;

    TsCommonData* SkinData() const { return skinData_.get(); }

    void AfterConstruction() override;
    void Loaded() override;
    void Invalidate() override;

private:
    void ChooseSection();

    std::unique_ptr<TsCommonData> skinData_;
    vcl::TBevelShape shape_ = vcl::bsBox;
    vcl::TBevelStyle style_ = vcl::bsLowered;
};

}  // namespace skin
