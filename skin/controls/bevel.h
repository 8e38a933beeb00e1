// TsBevel: the skinned bevel (kind 92). Its section follows Shape and Style: "GROUPBOX" for a
// frame, else "PANEL" raised or "PANEL_LOW" lowered; it is chosen again at the first
// invalidation after either changes. Skinned, it paints the section's border mask into its
// cache and copies the strips its Shape shows, 3 pixels wide, to its parent's canvas; a spacer
// paints as the class library's bevel.
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
    void WndProc(vcl::TMessage& message) override;
    // Rebuilds the cache image.
    void PrepareCache();

protected:
    void Paint() override;

private:
    void ChooseSection();

    std::unique_ptr<TsCommonData> skinData_;
    vcl::TBevelShape shape_ = vcl::bsBox;
    vcl::TBevelStyle style_ = vcl::bsLowered;
};

}  // namespace skin
