// TsSkinManager: the component that owns the program's active skin. It loads the skin named
// by SkinName (from a folder, a packed file or its internal skins), shifts its hue and
// saturation, announces every change to all forms with the skin command message, and answers
// the skinned controls' lookups of sections, masks and colours.
//
// States:
//   no skin       Active may be True or False; the content is empty, every index is -1.
//   loading       SkinChanging is 1 and SkinData().Active is False; a new content is filled
//                 beside the one in force (SetSkinName, the property reloads).
//   in force      the content is complete and SkinData().Active is True.
// Transitions: a load that completes replaces the content and is broadcast (command 1); a load
// that fails is discarded and the content in force stays, the property written returns to its
// previous value and the error is shown; with no skin in force the first internal skin is tried,
// and when that fails too the manager ends with Active False (command 2).
//
// Rules:
//  1. The first manager created is the default one and hooks the application's main window; the
//     manager that hooked it unhooks it when destroyed, default or not.
//  2. InstallHook acts only on the default manager; UninstallHook wherever the hook is
//     installed.
//  3. What the manager owns is freed exactly once.
//  4. A manager being destroyed clears every TsManagerLink that names it.
//  5. SkinChanging is clear on every way out of a load.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/hooks.h"
#include "skin/core/data/skin_content.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/pixels/png_graphic.h"
#include "skin/core/state/neighbour_services.h"
#include "vcl/controls/forms.h"
#include "vcl/system/component.h"
#include "vcl/system/string_list.h"

namespace skin {

class TsSkinManager;
struct LoadedSkin;
struct SkinLoadRequest;

// The default manager; null when none.
extern TsSkinManager* DefaultManager;
// The built-in shadows of extended borders, loaded at start-up.
extern TPNGGraphic* BuiltInShadowActive;
extern TPNGGraphic* BuiltInShadowInactive;
// The dialog hook's handle; null while it is not installed.
extern win::HHOOK DialogHookHandle;

enum TacSkinningRule : uint8_t { srStdForms, srStdDialogs, srThirdParty };
using TacSkinningRules = vcl::Set<TacSkinningRule>;

// The kinds of ListAvailableSkins.
enum TacSkinListKind : int { slFolders = 0, slPacked = 1, slBoth = 2 };

using TacGetExtraLineData =
    vcl::Delegate<void(vcl::TMenuItem* firstItem, std::string& skinSection, std::string& caption,
                       vcl::TBitmap*& glyph, bool& lineVisible)>;

// A reference to a manager that the manager clears when it is destroyed; the skin state of a
// control keeps its manager in one.
class TsManagerLink {
public:
    TsManagerLink() = default;
    ~TsManagerLink() { Set(nullptr); }
    TsManagerLink(const TsManagerLink&) = delete;
    TsManagerLink& operator=(const TsManagerLink&) = delete;

    TsSkinManager* Get() const { return manager_; }
    void Set(TsSkinManager* manager);

private:
    friend class TsSkinManager;
    TsSkinManager* manager_ = nullptr;
};

// Messages the skinned menus post to the application window. WM_MENUITEMPOPUP: lParam the
// native menu of a pop-up painted where its window was not known.
inline constexpr uint32_t WM_MENUITEMPOPUP = 48307;
inline constexpr uint32_t WM_MENUWINDOWPOPUP = 48308;

class TsSkinManager : public vcl::TComponent {
public:
    VCL_CLASS(TsSkinManager, vcl::TComponent)

    explicit TsSkinManager(vcl::TComponent* owner);
    ~TsSkinManager() override;
    void AfterConstruction() override;
    void Loaded() override;
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

    // --- properties ---
    bool ExtendedBorders() const;  // the stored value, when layered windows are available
    void SetExtendedBorders(bool on);
    bool SkinnedPopups() const { return skinnedPopups_; }
    void SetSkinnedPopups(bool on);
    bool AllowGlowing() const;  // the stored value, when glowing can be shown here
    void SetAllowGlowing(bool on) { allowGlowing_ = on; }
    TacAnimEffects* AnimEffects() { return animEffects_.get(); }
    bool IsDefault() const { return DefaultManager == this; }
    void SetIsDefault(bool on);
    bool Active() const { return active_; }
    void SetActive(bool on);
    const vcl::TStringList* CommonSections() const { return commonSections_.get(); }
    // Blanks are removed from each line but the empty ones and comments; the skin is reloaded.
    void SetCommonSections(const vcl::TStrings* lines);
    int Saturation() const { return saturation_; }
    void SetSaturation(int v);
    int HueOffset() const { return hueOffset_; }
    void SetHueOffset(int v);
    TsStoredSkins* InternalSkins() { return internalSkins_.get(); }
    TacMenuSupport* MenuSupport() { return menuSupport_.get(); }
    const std::string& SkinDirectory() const { return skinDirectory_; }
    void SetSkinDirectory(const std::string& dir);
    const std::string& SkinName() const { return skinName_; }
    void SetSkinName(const std::string& name);
    // The loaded skin's version ("6.5"), or "N/A" without a skin in force.
    std::string SkinInfo() const;
    TacSkinningRules SkinningRules() const { return skinningRules_; }
    void SetSkinningRules(TacSkinningRules rules);
    ThirdPartyList* ThirdParty() { return thirdParty_.get(); }
    static std::string Version() { return "6.69"; }

    vcl::TNotifyEvent OnAfterChange;
    vcl::TNotifyEvent OnBeforeChange;
    TacGetExtraLineData OnGetMenuExtraLineData;

    // --- the loaded skin ---
    TsSkinContent& Skin() { return *content_; }
    const TsSkinContent& Skin() const { return *content_; }
    TsSkinData& SkinData() { return content_->SkinData; }
    const TsSkinData& SkinData() const { return content_->SkinData; }
    TsGeneralDataArray& Sections() { return content_->Sections; }
    TsMaskArray& Masks() { return content_->Masks; }
    TsPatternArray& Patterns() { return content_->Patterns; }
    const TConstantSkinData& ConstData() const { return content_->ConstData; }
    vcl::TBitmap* MasterBitmap() const { return content_->MasterBitmap.get(); }
    bool IsPacked() const { return isPacked_; }

    int GetSkinIndex(std::string_view name) const { return content_->GetSkinIndex(name); }
    int GetMaskIndex(int skinIndex, std::string_view section, std::string_view prop) const {
        return content_->GetMaskIndex(skinIndex, section, prop);
    }
    int GetPatternIndex(int skinIndex, std::string_view section, std::string_view prop) const {
        return content_->GetPatternIndex(skinIndex, section, prop);
    }
    int GetTextureIndex(int skinIndex, std::string_view section, std::string_view prop) const {
        return content_->GetTextureIndex(skinIndex, section, prop);
    }
    int GetMaskIndexByNames(std::string_view section, std::string_view prop) const {
        return content_->GetMaskIndexByNames(section, prop);
    }
    bool IsValidImgIndex(int i) const { return content_->IsValidImgIndex(i); }
    bool IsValidSkinIndex(int i) const { return content_->IsValidSkinIndex(i); }
    win::SIZE GetMaskStateSize(int i) const { return content_->GetMaskStateSize(i); }
    int MaskWidthLeft(int i) const { return content_->MaskWidthLeft(i); }
    int MaskWidthTop(int i) const { return content_->MaskWidthTop(i); }
    int MaskWidthRight(int i) const { return content_->MaskWidthRight(i); }
    int MaskWidthBottom(int i) const { return content_->MaskWidthBottom(i); }

    // --- extended borders ---
    TPNGGraphic* ShadowActive() const { return shadowActive_.get(); }
    TPNGGraphic* ShadowInactive() const { return shadowInactive_.get(); }
    TRect ShadowMargins;  // left, top, right, bottom
    void MakeExtBorderShadows();

    // --- colours, as RGB ---
    TColor GetGlobalColor() const;
    TColor GetGlobalFontColor() const;
    TColor GetGlobalHotColor() const;
    TColor GetEditHotFontColor() const;
    TColor GetHighlightColor() const;
    TColor GetHighlightFontColor() const;

    // --- broadcasts and hooks ---
    void SendNewSkin(bool repaint);
    void SendRemoveSkin();
    void RepaintForms();
    void InstallHook();
    void UninstallHook();
    bool HookInstalled() const { return hookInstalled_; }
    // Command 30 to the window the mouse left, command 29 to the one it entered.
    void SetActiveControl(win::HWND wnd);
    win::HWND ActiveControl() const { return activeControl_; }
    bool MainWindowHook(vcl::TMessage& message);
    uint8_t LastSysCommand() const { return lastSysCommand_; }
    void UpdateDialogSkinningFlag();
    TsSkinableMenusBase* SkinableMenus() const { return skinableMenus_.get(); }
    // One list of class names per ThirdParty group; with `reset` every group takes its default.
    void UpdateThirdNames(bool reset);
    vcl::TStringList* ThirdLists(int group) const;

    // --- loading ---
    // The skin folder resolved against the program's folder, with a trailing "/".
    std::string LoadSkinDirName() const;
    void ListAvailableSkins(vcl::TStrings* list, TacSkinListKind kind,
                            std::string& firstName) const;
    // Load the skin named by SkinName from the folder or the internal skins, or from its packed
    // file, into a new content that replaces the one in force when complete. A failure raises
    // and changes nothing.
    void LoadActiveSkin();
    void LoadPackedSkinFile();

    // The skin states that name this manager (for TsManagerLink).
    size_t LinkCount() const { return links_.size(); }

private:
    friend class TsManagerLink;
    bool Reading() const;
    SkinLoadRequest Request() const;
    bool PackedFileExists() const;
    void Adopt(LoadedSkin&& loaded);
    // Loads SkinName as a write of SkinName or of a reloading property does. After a failure
    // `restore` puts the property back, the content in force stays (with none, the first
    // internal skin is tried, else Active becomes False), the error is shown and the answer is
    // false.
    bool LoadGuarded(const std::function<void()>& restore);
    void ReloadOnProperty(const std::function<void()>& restore);
    const TsGeneralData* SectionOf(std::string_view name) const;
    const TsGeneralData* GlobalSection() const;
    void FreeSkin();

    std::string skinName_;
    std::string skinDirectory_;
    bool active_ = true;
    std::unique_ptr<TsStoredSkins> internalSkins_;
    std::unique_ptr<TsSkinableMenusBase> skinableMenus_;
    bool skinnedPopups_ = true;
    std::unique_ptr<vcl::TStringList> commonSections_;
    std::unique_ptr<TacMenuSupport> menuSupport_;
    std::unique_ptr<TacAnimEffects> animEffects_;
    win::HWND activeControl_ = nullptr;
    bool hookInstalled_ = false;
    win::HHOOK hookHandle_ = nullptr;
    vcl::TApplication* hookedApp_ = nullptr;  // whose main window this manager hooked
    TacSkinningRules skinningRules_{srStdForms, srStdDialogs, srThirdParty};
    std::unique_ptr<ThirdPartyList> thirdParty_;
    bool allowGlowing_ = true;
    bool extendedBorders_ = false;
    uint8_t lastSysCommand_ = 0;
    std::unique_ptr<TsSkinContent> content_;
    bool hasSkin_ = false;  // the content is a complete skin
    bool isPacked_ = false;
    std::unique_ptr<TPNGGraphic, vcl::FreeDeleter> shadowActive_, shadowInactive_;
    int hueOffset_ = 0;
    int saturation_ = 0;
    std::array<std::unique_ptr<vcl::TStringList>, ThirdPartyList::kCount> thirdLists_;
    std::vector<TsManagerLink*> links_;
};

}  // namespace skin
