// The provider's life cycle, preparation, properties and skin commands.
#include "skin/windows/provider/skin_provider.h"

#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/system_menu.h"

namespace skin {

using namespace vcl;

TsSkinProvider* MDISkinProvider = nullptr;
TsSkinProvider* HotMDIChildProvider = nullptr;

std::vector<TPropInfo> TsSkinProvider::Published() { return {}; }

TsSkinProvider::TsSkinProvider(TComponent* owner) : TComponent(owner) {
    form_ = dynamic_cast<TCustomForm*>(owner);
    skinData_ = std::make_unique<TsCommonData>(this, false);
    addedTitle_ = std::make_unique<TacAddedTitle>(this);
    titleIcon_ = std::make_unique<TsTitleIcon>();
    titleButtons_ = std::make_unique<TsTitleButtons>(this);
}
TsSkinProvider::~TsSkinProvider() { delete SystemMenu; }
TsSkinProvider* TsSkinProvider::CreateInternal(TComponent* owner) {
    auto* p = new TsSkinProvider(owner);
    p->MadeByLibrary = true;
    return p;
}
void TsSkinProvider::AfterConstruction() { TComponent::AfterConstruction(); }
void TsSkinProvider::Loaded() { TComponent::Loaded(); }
void TsSkinProvider::Notification(TComponent* c, TOperation op) { TComponent::Notification(c, op); }
void TsSkinProvider::CreateCtrlAdapter() {}
TsSkinManager* TsSkinProvider::SkinManager() const { return skinData_ ? skinData_->SkinManager() : nullptr; }
void TsSkinProvider::FreeFrameCache() {}
void TsSkinProvider::FreeBorderForm() {}
void TsSkinProvider::SetAllowExtBorders(bool on) { allowExtBorders_ = on; }
void TsSkinProvider::SetCaptionAlignment(TAlignment a) { captionAlignment_ = a; }
void TsSkinProvider::SetDrawNonClientArea(bool on) { DrawNonClientArea = on; }
void TsSkinProvider::SetMenuLineSkin(const std::string& name) { menuLineSkin_ = name; }
void TsSkinProvider::SetShowAppIcon(bool on) { showAppIcon_ = on; }
void TsSkinProvider::SetTitleButtons(const TsTitleButtons* b) { titleButtons_->Assign(b); }
void TsSkinProvider::SetTitleSkin(const std::string& name) { titleSkin_ = name; }
void TsSkinProvider::SetUseGlobalColor(bool on) { useGlobalColor_ = on; }
void TsSkinProvider::PrepareForm() {}
void TsSkinProvider::InitFormSkinning() {}
void TsSkinProvider::UpdateBorderForm(bool) {}
void TsSkinProvider::SetMDIForm(bool) {}
void TsSkinProvider::InvalidateFrame() {}
void TsSkinProvider::FullRepaint(bool) {}
std::string TsSkinProvider::TitleSkinSection() const { return titleSkin_.empty() ? "FORMTITLE" : titleSkin_; }
int TsSkinProvider::TitleSkinIndex() const { return TitleSkinIndexCache; }
vcl::TColor TsSkinProvider::FormColor() const { return 0; }
void TsSkinProvider::RemoveCtrlAdapter() {}
void TsSkinProvider::SendToAdapterItems(TMessage&) {}
void TsSkinProvider::UpdateMenusOwnerDraw(bool) {}
bool TsSkinProvider::RebuildMainMenu() { return false; }
void TsSkinProvider::UpdateSysMenuStyle(bool) {}
void TsSkinProvider::KillAnimations() {}
bool TsSkinProvider::HandleSkinCommand(TMessage&) { return false; }
bool TsSkinProvider::Skinned() const { return false; }

}  // namespace skin
