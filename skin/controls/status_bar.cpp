#include "skin/controls/status_bar.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsStatusBar::Published() {
    return {Property("SkinData", &TsStatusBar::SkinData)};
}

TsStatusBar::TsStatusBar(TComponent* owner)
    : TStatusBar(owner), skinData_(std::make_unique<TsCommonData>(this, true)) {
    skinData_->COC = 151;
    ControlStyle << csAcceptsControls << csOpaque;
}

TsStatusBar::~TsStatusBar() = default;

void TsStatusBar::AfterConstruction() {
    TStatusBar::AfterConstruction();
    skinData_->Loaded();
}

void TsStatusBar::Loaded() {
    TStatusBar::Loaded();
    skinData_->Loaded();
}

void TsStatusBar::WndProc(TMessage& m) {
    CommonWndProc(m, skinData_.get());
    TStatusBar::WndProc(m);
}

}  // namespace skin
