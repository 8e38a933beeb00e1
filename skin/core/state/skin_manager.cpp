#include "skin/core/state/skin_manager.h"

#include <algorithm>
#include <exception>

#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/form_animations.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_loading.h"
#include "skin/core/state/system_utils.h"
#include "vcl/controls/menus.h"
#include "vcl/system/sysutils.h"

namespace skin {

TsSkinManager* DefaultManager = nullptr;
TPNGGraphic* BuiltInShadowActive = nullptr;
TPNGGraphic* BuiltInShadowInactive = nullptr;
win::HHOOK DialogHookHandle = nullptr;

namespace {

// Raises a flag for a scope and puts its previous value back on every way out.
template <typename T>
class FlagScope {
public:
    FlagScope(T& flag, T value) : flag_(flag), saved_(flag) { flag_ = value; }
    ~FlagScope() { flag_ = saved_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    T& flag_;
    T saved_;
};

// Runs `f`; the first failure of several steps is kept for the end, so the steps after it run.
template <typename F>
void KeepFirstFailure(std::exception_ptr& failure, F f) {
    try {
        f();
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
}

bool IsNoColour(TColor c) {
    return c == TColor(-1) || c == kTransparentKey || c == clWhite;
}

// One state image of w x h pixels at (x, y) of `src` into a new 32-bit picture; 24-bit sources
// are opaque.
void CopyState(TPNGGraphic* dst, vcl::TBitmap* src, int x, int y, win::SIZE size) {
    dst->SetPixelFormat(vcl::pf32bit);
    dst->SetHandleType(vcl::bmDIB);
    dst->SetSize(std::max<int>(size.cx, 0), std::max<int>(size.cy, 0));
    const PixelView d = ViewOf(dst);
    const PixelView s = ViewOf(src);
    if (d.Empty() || s.Empty()) return;
    const CopyArea a = ClipCopy(0, 0, x, y, size.cx, size.cy, d, s);
    for (int row = 0; row < a.Height; ++row) {
        for (int col = 0; col < a.Width; ++col) {
            const uint8_t* p = s.At(a.SrcX + col, a.SrcY + row);
            uint8_t* q = d.At(a.DstX + col, a.DstY + row);
            q[0] = p[0], q[1] = p[1], q[2] = p[2];
            q[3] = s.BytesPerPixel == 4 ? p[3] : 255;
        }
    }
}

}  // namespace

void TsManagerLink::Set(TsSkinManager* manager) {
    if (manager_) std::erase(manager_->links_, this);
    manager_ = manager;
    if (manager_) manager_->links_.push_back(this);
}

TsSkinManager::TsSkinManager(vcl::TComponent* owner)
    : vcl::TComponent(owner),
      internalSkins_(std::make_unique<TsStoredSkins>(this)),
      commonSections_(std::make_unique<vcl::TStringList>()),
      menuSupport_(std::make_unique<TacMenuSupport>()),
      animEffects_(std::make_unique<TacAnimEffects>()),
      thirdParty_(std::make_unique<ThirdPartyList>()),
      content_(std::make_unique<TsSkinContent>()) {
    for (auto& list : thirdLists_)
        list = std::make_unique<vcl::TStringList>();
    content_->Manager = this;
    animEffects_->Manager = this;
    animEffects_->Buttons.Manager = this;
    if (!DefaultManager) {
        DefaultManager = this;
        if (IsNTFamily) {
            hookedApp_ = vcl::Application();
            hookedApp_->HookMainWindow(vcl::TWindowHook(this, &TsSkinManager::MainWindowHook));
            hookedApp_->FreeNotification(this);
        }
    }
    skinableMenus_ = Neighbours().CreateSkinableMenus(this);
}

TsSkinManager::~TsSkinManager() {
    SetActive(false);
    extendedBorders_ = false;
    UninstallHook();
    skinableMenus_.reset();
    shadowActive_.reset();
    shadowInactive_.reset();
    if (hookedApp_) {
        hookedApp_->UnhookMainWindow(vcl::TWindowHook(this, &TsSkinManager::MainWindowHook));
        hookedApp_->RemoveFreeNotification(this);
        hookedApp_ = nullptr;
    }
    if (DefaultManager == this) DefaultManager = nullptr;
    for (int k = 0; k < ThirdPartyList::kCount; ++k) {
        thirdParty_->SetString(k, thirdLists_[size_t(k)]->Text());
    }
    for (TsManagerLink* link : links_)
        link->manager_ = nullptr;
    links_.clear();
}

void TsSkinManager::AfterConstruction() {
    vcl::TComponent::AfterConstruction();
    UpdateThirdNames(false);
    if (skinDirectory_.empty()) skinDirectory_ = "c:\\Skins";
}

void TsSkinManager::Loaded() {
    vcl::TComponent::Loaded();
    if (skinDirectory_.empty()) skinDirectory_ = "c:\\Skins";
    if (menuSupport_->IcoLineSkin.empty()) menuSupport_->IcoLineSkin = "ICOLINE";
    UpdateThirdNames(false);
    if (active_ && !skinName_.empty()) SendNewSkin(false);
    UpdateDialogSkinningFlag();
}

void TsSkinManager::Notification(vcl::TComponent* component, vcl::TOperation operation) {
    if (operation == vcl::opRemove && component == hookedApp_) hookedApp_ = nullptr;
    vcl::TComponent::Notification(component, operation);
}

bool TsSkinManager::Reading() const {
    const auto state = ComponentState();
    return state.Contains(vcl::csLoading) || state.Contains(vcl::csReading);
}

// --- properties ---

bool TsSkinManager::ExtendedBorders() const {
    return extendedBorders_ && LayeredWindowsAvailable();
}

void TsSkinManager::SetExtendedBorders(bool on) {
    if (on == extendedBorders_) return;
    const bool previous = extendedBorders_;
    extendedBorders_ = on;
    if (!content_->SkinData.Active) return;
    MakeExtBorderShadows();
    ReloadOnProperty([this, previous] {
        extendedBorders_ = previous;
        MakeExtBorderShadows();
    });
}

void TsSkinManager::SetSkinnedPopups(bool on) {
    skinnedPopups_ = on;
    if (on && IsDefault() && skinableMenus_) skinableMenus_->UpdateFromManager();
}

bool TsSkinManager::AllowGlowing() const {
    return allowGlowing_ && LayeredWindowsAvailable() && !GlowDisabledByWow64;
}

void TsSkinManager::SetIsDefault(bool on) {
    if (!on && DefaultManager) return;
    DefaultManager = this;
    if (active_) {
        SendNewSkin(true);
        RepaintForms();
    } else {
        SendRemoveSkin();
    }
}

void TsSkinManager::SetActive(bool on) {
    active_ = on;
    if (on) {
        SetSkinName(skinName_);
        return;
    }
    if (!ComponentState().Contains(vcl::csLoading)) SendRemoveSkin();
    content_->InitConstIndexes();
    UpdateDialogSkinningFlag();
}

void TsSkinManager::SetCommonSections(const vcl::TStrings* lines) {
    commonSections_->Assign(lines);
    for (int i = 0; i < commonSections_->Count(); ++i) {
        std::string line = commonSections_->Get(i);
        if (line.empty() || line[0] == ';') continue;
        std::erase(line, ' ');
        commonSections_->Put(i, line);
    }
    SetSkinName(skinName_);
}

void TsSkinManager::SetSaturation(int v) {
    if (v == saturation_) return;
    const int previous = saturation_;
    saturation_ = v;
    ReloadOnProperty([this, previous] { saturation_ = previous; });
}

void TsSkinManager::SetHueOffset(int v) {
    if (v == hueOffset_) return;
    const int previous = hueOffset_;
    hueOffset_ = v;
    ReloadOnProperty([this, previous] { hueOffset_ = previous; });
}

void TsSkinManager::SetSkinDirectory(const std::string& dir) {
    if (dir == skinDirectory_) return;
    skinDirectory_ = dir;
    content_->SkinData.SkinPath = LoadSkinDirName();
}

std::string TsSkinManager::SkinInfo() const {
    if (!content_->SkinData.Active) return "N/A";
    std::string text = vcl::FloatToStr(content_->SkinData.Version);
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

void TsSkinManager::SetSkinningRules(TacSkinningRules rules) {
    skinningRules_ = rules;
    UpdateDialogSkinningFlag();
}

void TsSkinManager::UpdateDialogSkinningFlag() {
    if (!IsDefault()) return;
    DialogsNotSkinned = !(skinningRules_.Contains(srStdDialogs) && active_);
}

void TsSkinManager::UpdateThirdNames(bool reset) {
    thirdParty_->ApplyDefaults(reset);
    for (int k = 0; k < ThirdPartyList::kCount; ++k) {
        thirdLists_[size_t(k)]->SetText(thirdParty_->GetString(k));
    }
}

vcl::TStringList* TsSkinManager::ThirdLists(int group) const {
    if (group < 0 || group >= ThirdPartyList::kCount) return nullptr;
    return thirdLists_[size_t(group)].get();
}

// --- loading ---

std::string TsSkinManager::LoadSkinDirName() const {
    return ResolveSkinDirectory(skinDirectory_, GetAppPath());
}

void TsSkinManager::ListAvailableSkins(vcl::TStrings* list, TacSkinListKind kind,
                                       std::string& firstName) const {
    ListSkins(internalSkins_.get(), LoadSkinDirName(), kind, list, firstName);
}

SkinLoadRequest TsSkinManager::Request() const {
    SkinLoadRequest r;
    r.Folder = LoadSkinDirName();
    r.Name = skinName_;
    r.InternalSkins = internalSkins_.get();
    r.CommonSections = commonSections_.get();
    r.HueOffset = hueOffset_;
    r.Saturation = saturation_;
    r.ShowMessage = [](const std::string& text) { Neighbours().ShowMessage(text, mdWarning); };
    return r;
}

bool TsSkinManager::PackedFileExists() const {
    return PackedSkinExists(Request());
}

void TsSkinManager::Adopt(LoadedSkin&& loaded) {
    const bool inForce = content_->SkinData.Active;
    skinName_ = loaded.SkinName;
    isPacked_ = loaded.IsPacked;
    content_ = std::move(loaded.Content);
    content_->Manager = this;
    content_->SkinData.Active = inForce;
    hasSkin_ = true;
    MakeExtBorderShadows();
}

void TsSkinManager::LoadActiveSkin() {
    if (!active_) return;
    FlagScope<uint8_t> changing(SkinChanging, 1);
    LoadedSkin loaded = LoadSkinFromFolderOrInternal(Request());
    if (!loaded.Content) {
        active_ = false;
        return;
    }
    Adopt(std::move(loaded));
}

void TsSkinManager::LoadPackedSkinFile() {
    if (!active_) return;
    FlagScope<uint8_t> changing(SkinChanging, 1);
    Adopt(LoadSkinFromPackedFile(Request()));
}

bool TsSkinManager::LoadGuarded(const std::function<void()>& restore) {
    std::string error;
    try {
        if (PackedFileExists()) {
            LoadPackedSkinFile();
        } else {
            LoadActiveSkin();
        }
        return true;
    } catch (const std::exception& e) {
        error = e.what();
    }
    restore();
    if (!hasSkin_) {
        // Nothing to go back to: the first internal skin, as for a name that matches nothing.
        bool loaded = false;
        if (internalSkins_->Count() > 0) {
            try {
                Adopt(LoadInternalSkin(Request(), 0));
                loaded = true;
            } catch (const std::exception&) {}
        }
        if (!loaded) active_ = false;
    }
    Neighbours().ShowSkinnedMessageDlg(error, mdError, mbOK, 0);
    return false;
}

void TsSkinManager::SetSkinName(const std::string& name) {
    const std::string previous = skinName_;
    skinName_ = name;
    if (!active_) {
        UpdateDialogSkinningFlag();
        return;
    }
    if (OnBeforeChange) OnBeforeChange(this);
    // A receiver that fails does not stop the change half-way: it completes, then the failure
    // goes on to the caller.
    std::exception_ptr failure;
    {
        FlagScope<uint8_t> changing(SkinChanging, 1);
        content_->SkinData.Active = false;
        LoadGuarded([this, &previous] { skinName_ = previous; });
        KeepFirstFailure(failure, [this] { active_ ? SendNewSkin(true) : SendRemoveSkin(); });
    }
    if (OnAfterChange) OnAfterChange(this);
    UpdateDialogSkinningFlag();
    if (failure) std::rethrow_exception(failure);
}

void TsSkinManager::ReloadOnProperty(const std::function<void()>& restore) {
    if (!content_->SkinData.Active) return;
    {
        FlagScope<uint8_t> changing(SkinChanging, 1);
        LoadGuarded(restore);
    }
    if (!Reading()) RepaintForms();
}

// --- broadcasts ---

void TsSkinManager::SendNewSkin(bool repaint) {
    if (Reading()) return;
    Neighbours().ClearGlows();
    FreezeGuard frozen(this);
    if (repaint) FreezeFormsRedraw(this);
    if (skinableMenus_) skinableMenus_->SkinIndex = -1;
    content_->SkinData.Active = false;
    std::exception_ptr failure;
    {
        FlagScope<bool> broadcasting(BroadcastingNewSkin, true);
        content_->InitConstIndexes();
        MakeExtBorderShadows();
        vcl::TMessage m = SkinCommandMessage(SKC_NEWSKIN, intptr_t(this));
        KeepFirstFailure(failure, [&] { BroadcastToForms(m); });
    }
    content_->SkinData.Active = true;
    // The forms heard of the skin while it was not yet in force; the menu painter follows it now.
    if (skinableMenus_) KeepFirstFailure(failure, [this] { skinableMenus_->UpdateFromManager(); });
    if (IsDefault() && !hookInstalled_) InstallHook();
    if (repaint) KeepFirstFailure(failure, [this] { RepaintForms(); });
    if (failure) std::rethrow_exception(failure);
}

void TsSkinManager::FreeSkin() {
    TsSkinData kept = content_->SkinData;
    content_ = std::make_unique<TsSkinContent>();
    content_->Manager = this;
    content_->SkinData = std::move(kept);
    hasSkin_ = false;
}

void TsSkinManager::SendRemoveSkin() {
    FlagScope<bool> removing(RemovingSkin, true);
    Neighbours().ClearGlows();
    UninstallHook();
    content_->SkinData.Active = false;
    vcl::TMessage m = SkinCommandMessage(SKC_REMOVESKIN, intptr_t(this));
    std::exception_ptr failure;
    KeepFirstFailure(failure, [&] { BroadcastToForms(m); });
    if (skinableMenus_) KeepFirstFailure(failure, [this] { skinableMenus_->UpdateFromManager(); });
    FreeSkin();
    if (failure) std::rethrow_exception(failure);
}

void TsSkinManager::RepaintForms() {
    vcl::TMessage stop = SkinCommandMessage(SKC_STOPFADE, intptr_t(this));
    BroadcastToForms(stop);
    const bool loading = ComponentState().Contains(vcl::csLoading);
    FreezeGuard frozen(this);
    if (!loading) FreezeFormsRedraw(this);
    vcl::TMessage refresh = SkinCommandMessage(SKC_REFRESH, intptr_t(this));
    BroadcastToForms(refresh);
    if (!loading) ResumeFormsRedraw(this, true);
    // The overlay of a running skin change shows the old picture until it is refreshed too.
    if (SnapshotWindow) SendSkinCommandToControl(SnapshotWindow, SKC_REFRESH, intptr_t(this));
    for (win::HWND wnd : Neighbours().HookedWindows()) {
        if (win::IsWindowVisible(wnd)) {
            win::RedrawWindow(wnd, nullptr, nullptr,
                              win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN |
                                  win::RDW_UPDATENOW | win::RDW_FRAME);
        }
    }
}

void TsSkinManager::InstallHook() {
    if (!IsDefault() || hookInstalled_) return;
    hookInstalled_ = true;
    Neighbours().CreateHookedWindowList();
    hookHandle_ = win::SetWindowsHookExA(win::WH_CBT, Neighbours().DialogHookProc, nullptr,
                                         win::GetCurrentThreadId());
    DialogHookHandle = hookHandle_;
}

void TsSkinManager::UninstallHook() {
    if (!hookInstalled_) return;
    Neighbours().ClearMenuWndAdapters();
    if (hookHandle_) win::UnhookWindowsHookEx(hookHandle_);
    if (DialogHookHandle == hookHandle_) DialogHookHandle = nullptr;
    Neighbours().FreeHookedWindowList();
    hookInstalled_ = false;
    hookHandle_ = nullptr;
}

void TsSkinManager::SetActiveControl(win::HWND wnd) {
    if (wnd == activeControl_) return;
    const win::HWND previous = activeControl_;
    activeControl_ = wnd;
    if (previous) SendSkinCommand(previous, SKC_MOUSELEAVE, intptr_t(this));
    if (wnd) SendSkinCommand(wnd, SKC_MOUSEENTER, intptr_t(this));
}

bool TsSkinManager::MainWindowHook(vcl::TMessage& message) {
    if (!skinnedPopups_) return false;
    win::HWND wnd = nullptr;
    vcl::TMenuItem* item = nullptr;
    switch (message.Msg) {
        case WM_MENUITEMPOPUP: {
            // A menu freed since the post is no longer a menu: nothing to hook.
            const auto menu = reinterpret_cast<win::HMENU>(message.LParam);
            win::MENUITEMINFOA first{};
            first.fMask = win::MIIM_DATA;
            if (!win::GetMenuItemInfoA(menu, 0, win::TRUE, &first)) return true;
            item = vcl::TMenuItem::FromItemData(first.dwItemData);
            if (!item) return true;
            win::RECT r{};
            if (!win::GetMenuItemRect(nullptr, menu, 0, &r) &&
                !win::GetMenuItemRect(vcl::PopupListWindow(), menu, 0, &r)) {
                return true;
            }
            wnd = win::WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
            if (!wnd) return true;
            break;
        }
        case WM_MENUWINDOWPOPUP:
            wnd = reinterpret_cast<win::HWND>(message.LParam);
            if (!wnd) return true;
            break;
        case vcl::CM_ACTIVATE: {
            vcl::TScreen* screen = vcl::Screen();
            for (int i = screen->FormCount() - 1; i >= 0; --i) {
                SendSkinCommandToControl(screen->Forms(i), SKC_REPAINTGRAPHIC, 0);
            }
            return false;
        }
        case win::WM_SYSCOMMAND: {
            const auto command = message.WParam & 0xFFF0;
            lastSysCommand_ = command == win::SC_MINIMIZE ? 2 : command == win::SC_RESTORE ? 1 : 0;
            return false;
        }
        case win::WM_THEMECHANGED:
            return true;
        default:
            return false;
    }
    if (void* record = Neighbours().FindMenuItemRecord(skinableMenus_.get(), item, wnd)) {
        Neighbours().HookMenuWindow(skinableMenus_.get(), wnd, record);
    }
    return true;
}

// --- extended borders ---

void TsSkinManager::MakeExtBorderShadows() {
    if (!active_ || !ExtendedBorders()) {
        ShadowMargins = TRect(0, 0, 0, 0);
        return;
    }
    shadowActive_.reset(new TPNGGraphic);
    shadowInactive_.reset(new TPNGGraphic);
    const int ex = content_->ConstData.ExBorder;
    if (content_->IsValidImgIndex(ex)) {
        const TsMaskData& mask = content_->Masks[size_t(ex)];
        const TsSkinData& d = content_->SkinData;
        if (d.BorderMode != 0) {
            ShadowMargins = TRect(d.FormOffset, d.FormOffset, d.FormOffset, d.FormOffset);
        } else {
            ShadowMargins =
                TRect(std::max(mask.WL - d.FormOffset, 0), std::max(mask.WT - d.FormOffset, 0),
                      std::max(mask.WR - d.FormOffset, 0), std::max(mask.WB - d.FormOffset, 0));
        }
        // A mask cut from the master bitmap has its states there.
        vcl::TBitmap* src = mask.Bmp ? mask.Bmp.get() : content_->MasterBitmap.get();
        const int x = mask.Bmp ? 0 : mask.R.Left;
        const int y = mask.Bmp ? 0 : mask.R.Top;
        const win::SIZE size = content_->GetMaskStateSize(ex);
        if (src) {
            CopyState(shadowInactive_.get(), src, x, y, size);
            if (mask.ImageCount != 1) {
                CopyState(shadowActive_.get(), src, x + size.cx, y, size);
            } else {
                shadowActive_->Assign(shadowInactive_.get());
            }
        }
    } else if (BuiltInShadowActive && BuiltInShadowInactive) {
        const int wider = Neighbours().IsDwmCompositionEnabled() ? 1 : 0;
        ShadowMargins = TRect(11 + wider, 7 + wider, 11 + wider, 11 + wider);
        shadowActive_->Assign(BuiltInShadowActive);
        shadowInactive_->Assign(BuiltInShadowInactive);
    }
    ClearTransparentWhite(shadowActive_.get());
    ClearTransparentWhite(shadowInactive_.get());
}

// --- colours ---

const TsGeneralData* TsSkinManager::SectionOf(std::string_view name) const {
    const int i = content_->GetSkinIndex(name);
    return content_->IsValidSkinIndex(i) ? &content_->Sections[size_t(i)] : nullptr;
}

const TsGeneralData* TsSkinManager::GlobalSection() const {
    const int i = content_->ConstData.IndexGLOBALINFO;
    return content_->IsValidSkinIndex(i) ? &content_->Sections[size_t(i)] : nullptr;
}

TColor TsSkinManager::GetGlobalColor() const {
    const TsGeneralData* g = GlobalSection();
    return ControlColorToRGB(g ? g->Color : TColor(vcl::clBtnFace));
}

TColor TsSkinManager::GetGlobalFontColor() const {
    const TsGeneralData* g = GlobalSection();
    return g ? ControlColorToRGB(g->FontColor) : kTransparentKey;
}

TColor TsSkinManager::GetGlobalHotColor() const {
    const TsGeneralData* g = GlobalSection();
    return ControlColorToRGB(g ? g->HotColor : TColor(vcl::clWindow));
}

TColor TsSkinManager::GetEditHotFontColor() const {
    const TsGeneralData* s = SectionOf("EDIT");
    return s ? ControlColorToRGB(s->HotFontColor) : kTransparentKey;
}

TColor TsSkinManager::GetHighlightColor() const {
    const TsGeneralData* s = SectionOf("MENUITEM");
    if (!s || IsNoColour(s->HotColor)) return ControlColorToRGB(TColor(vcl::clHighlight));
    return ControlColorToRGB(s->HotColor);
}

TColor TsSkinManager::GetHighlightFontColor() const {
    const TsGeneralData* s = SectionOf("MENUITEM");
    if (!s || IsNoColour(s->HotColor) || IsNoColour(s->HotFontColor) || s->HotFontColor == 0) {
        return ControlColorToRGB(TColor(vcl::clHighlightText));
    }
    return ControlColorToRGB(s->HotFontColor);
}

}  // namespace skin
