#include "skin/windows/adapters/graph_item.h"

#include "skin/core/state/common_data.h"
#include "skin/windows/adapters/speed_button_handler.h"
#include "vcl/controls/buttons.h"

namespace skin {
namespace {

// The library's own helper windows carry this tag and are never skinned by the walk.
constexpr intptr_t kHelperTag = -98;
constexpr int kItemKind = 227;
constexpr char kSection[] = "SPEEDBUTTON";

}  // namespace

TacGraphItem::TacGraphItem() : SkinData(std::make_unique<TsCommonData>(this, true)) {
    SkinData->COC = kItemKind;
}

TacGraphItem::~TacGraphItem() {
    FreeHandler();
    SkinData.reset();
}

void TacGraphItem::FreeHandler() {
    delete Handler;
    Handler = nullptr;
}

bool TacGraphItem::Dead() const { return Handler == nullptr || Handler->Destroyed; }

void TacGraphItem::AttachHandler(vcl::TControl* control) {
    auto* button = dynamic_cast<vcl::TSpeedButton*>(control);
    if (button == nullptr || button->Tag() == kHelperTag) return;
    Ctrl = control;
    // The state belongs to the button now: its section survives the change of owner.
    std::string section = SkinData->SkinSection();
    if (section.empty()) section = kSection;
    SkinData = std::make_unique<TsCommonData>(control, true);
    SkinData->COC = kItemKind;
    FreeHandler();
    Handler = new TacSpeedButtonHandler(button, section, SkinData->SkinManager(), SkinData.get());
}

bool CtrlHandleAllocated(vcl::TControl* control) {
    auto* w = dynamic_cast<vcl::TWinControl*>(control);
    return w && w->HandleAllocated();
}

}  // namespace skin
