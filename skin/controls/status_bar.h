// TsStatusBar: the class library's status bar with a skin state (kind 151, section
// "STATUSBAR"); it may hold controls. Its panels are the base's.
#pragma once

#include <memory>

#include "skin/core/state/common_data.h"
#include "vcl/controls/status_bar.h"

namespace skin {

class TsStatusBar : public vcl::TStatusBar {
public:
    VCL_CLASS_PUBLISHED(TsStatusBar, vcl::TStatusBar)
    explicit TsStatusBar(vcl::TComponent* owner);
    ~TsStatusBar() override;

    TsCommonData* SkinData() const { return skinData_.get(); }

    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;

private:
    std::unique_ptr<TsCommonData> skinData_;
};

}  // namespace skin
