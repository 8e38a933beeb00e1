// The provider's life cycle, preparation, properties and skin commands.
//
// Life cycle:
//   made    -> hooked     the constructor at run time puts a link into the form's WindowProc
//                         (not for a passive provider, which never hooks)
//   hooked  -> prepared   PrepareForm once a skin is active (a library-made provider waits for
//                         the first non-client message)
//   hooked  -> unhooked   Unhook: the destructor, or a replacing provider placed by the program
//   unhooked -> freed     at once, or when the provider's outermost message returns
//
// Rules:
//  1. The form reaches the provider only through its link. Unhooking restores the form's
//     procedure only while the link is the one in force; when another procedure sits on top,
//     the link stays as a pass-through to the procedure the provider had saved, so nothing
//     calls into a freed provider.
//  2. Every call out into the form (OldWndProc, a message sent) may free the provider; code
//     after such a call checks the life token before it touches the provider again.
//  3. A second provider placed by the program replaces a library-made one (unhooked at once,
//     freed after its current message); otherwise the second one stays passive.
#include "skin/windows/provider/skin_provider.h"

#include <algorithm>

#include "platform/user/user.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/window_adapter.h"
#include "skin/windows/provider/system_menu.h"
#include "skin/windows/walk/control_adapter.h"
#include "vcl/controls/menus.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/system/exceptions.h"

namespace skin {

using namespace vcl;

TsSkinProvider* MDISkinProvider = nullptr;
TsSkinProvider* HotMDIChildProvider = nullptr;

// Stands in the form's WindowProc for one provider. While the provider is hooked every message
// goes to it; afterwards (provider null) the link passes everything to the procedure the
// provider had saved. A pass-through link leaves the chain at the form's WM_NCDESTROY when it
// is on top then; a retired one is freed once no call of it runs.
class FormProcLink {
public:
    TsSkinProvider* provider = nullptr;
    TCustomForm* form = nullptr;
    TWndMethod old;
    int depth = 0;
    bool dead = false;

    TWndMethod Mine() { return TWndMethod(this, &FormProcLink::WndProc); }
    void WndProc(TMessage& m);
    void Retire();
};

namespace {

std::vector<std::unique_ptr<FormProcLink>>& Links() {
    static std::vector<std::unique_ptr<FormProcLink>> links;
    return links;
}

void FreeLink(FormProcLink* l) {
    auto& links = Links();
    auto it = std::find_if(links.begin(), links.end(), [l](auto& p) { return p.get() == l; });
    if (it != links.end()) links.erase(it);
}

bool HasState(const TComponent* c, TComponentStateItem s) {
    return c && c->ComponentState().Contains(s);
}

TComponent* FormOwnerOnly(TComponent* owner) {
    if (dynamic_cast<TCustomForm*>(owner) == nullptr)
        throw EAbort("TsSkinProvider component may be used with forms only!");
    return owner;
}

bool IsMDIChild(const TCustomForm* f) { return f && f->FormStyle() == fsMDIChild; }
bool IsMDIParent(const TCustomForm* f) { return f && f->FormStyle() == fsMDIForm; }

void Redraw(TWinControl* c, win::UINT flags) {
    if (c && c->HandleAllocated()) win::RedrawWindow(c->Handle(), nullptr, nullptr, flags);
}

}  // namespace

void FormProcLink::WndProc(TMessage& m) {
    ++depth;
    if (TsSkinProvider* p = provider) {
        std::weak_ptr<int> life = p->LifeToken();
        ++p->depth_;
        p->FormWindowProc(m);
        if (!life.expired() && --p->depth_ == 0 && p->freePending_) p->Free();
    } else {
        old(m);
    }
    --depth;
    if (m.Msg == win::WM_NCDESTROY && provider == nullptr && !dead && form != nullptr &&
        form->WindowProc == Mine()) {
        form->WindowProc = old;
        dead = true;
    }
    if (depth == 0 && dead) FreeLink(this);
}

void FormProcLink::Retire() {
    provider = nullptr;
    dead = true;
    if (depth == 0) FreeLink(this);
}

std::vector<TPropInfo> TsSkinProvider::Published() { return {}; }

TsSkinProvider::TsSkinProvider(TComponent* owner) : TComponent(FormOwnerOnly(owner)) {
    form_ = static_cast<TCustomForm*>(owner);
    if (HasState(this, csDesigning)) {
        for (int i = 0; i < form_->ComponentCount(); ++i) {
            auto* c = form_->Components(i);
            if (c != this && dynamic_cast<TsSkinProvider*>(c)) {
                form_ = nullptr;
                throw EAbort("Only one instance of the TsSkinProvider component is allowed!");
            }
        }
    } else {
        auto* base = reinterpret_cast<TsSkinProviderBase*>(
            form_->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_GETPROVIDER), 0));
        if (auto* existing = dynamic_cast<TsSkinProvider*>(base); existing && existing != this) {
            if (existing->MadeByLibrary) {
                existing->Unhook();
                if (existing->depth_ > 0)
                    existing->freePending_ = true;
                else
                    existing->Free();
            } else {
                Passive = true;
            }
        }
    }
    skinData_ = std::make_unique<TsCommonData>(this, false);
    skinData_->COC = 224;
    skinData_->SetSkinSection("FORM");
    if (!form_->ControlState.Empty()) skinData_->BGChanged = true;
    addedTitle_ = std::make_unique<TacAddedTitle>(this);
    titleIcon_ = std::make_unique<TsTitleIcon>();
    titleButtons_ = std::make_unique<TsTitleButtons>(this);
    MenuLineChanged = true;
    RegionChanged = true;
    if (HasState(this, csDesigning) || Passive) return;

    ButtonsAreaBmp = std::make_unique<TBitmap>();
    ButtonBmp = std::make_unique<TBitmap>();
    ButtonBmp->SetPixelFormat(pf24bit);
    NeedsMDISetup = true;
    RegionCuts.clear();
    MenuLineCountCache = -1;
    HookForm();
    FormActive = true;
}

void TsSkinProvider::HookForm() {
    auto link = std::make_unique<FormProcLink>();
    link->provider = this;
    link->form = form_;
    OldWndProc = form_->WindowProc;
    form_->WindowProc = link->Mine();
    link_ = link.get();
    Links().push_back(std::move(link));
    AddHookedControl(form_);
}

void TsSkinProvider::Unhook() {
    if (link_ == nullptr) return;
    KillAnimations();
    // The form's own scroll adapter sits between this provider and the form: it leaves first,
    // putting back what it saved into OldWndProc.
    if (ScrollAdapter) FreeAdapter(ScrollAdapter);
    FormProcLink* l = link_;
    link_ = nullptr;
    if (form_->WindowProc == l->Mine()) {
        form_->WindowProc = OldWndProc;
        l->Retire();
    } else {
        l->provider = nullptr;
        l->old = OldWndProc;
    }
    RemoveHookedControl(form_);
}

TsSkinProvider::~TsSkinProvider() {
    life_.reset();
    if (form_ != nullptr && !Passive) {
        UpdateBorderForm(false);
        Unhook();
        if (IsMDIChild(form_) && form_->Menu() && MDISkinProvider && !MDISkinProvider->Destroying()) {
            MDISkinProvider->skinData_->CacheStale = true;
            MDISkinProvider->MenuLineCountCache = -1;
            if (MDISkinProvider->form_->HandleAllocated())
                win::SendMessageA(MDISkinProvider->form_->Handle(), win::WM_NCPAINT, 0, 0);
        }
    }
    if (MDISkinProvider == this) {
        SetMDIForm(false);
        MDISkinProvider = nullptr;
    }
    if (HotMDIChildProvider == this) HotMDIChildProvider = nullptr;
    if (SystemMenu) SystemMenu->Free();  // gone already when the owned components went first
    SystemMenu = nullptr;
    if (CtrlAdapter) CtrlAdapter->Free();
    CtrlAdapter = nullptr;
}

TsSkinProvider* TsSkinProvider::CreateInternal(TComponent* owner) {
    auto* p = new TsSkinProvider(owner);
    p->MadeByLibrary = true;
    try {
        p->AfterConstruction();
    } catch (...) {
        p->Free();
        throw;
    }
    return p;
}

bool TsSkinProvider::Destroying() const {
    return HasState(this, csDestroying) || !form_ || HasState(form_, csDestroying);
}

bool TsSkinProvider::Skinned() const {
    return form_ && !HasState(form_, csDestroying) && IsControlSkinned(skinData_.get(), true);
}

void TsSkinProvider::AfterConstruction() {
    TComponent::AfterConstruction();
    TsSkinManager* m = SkinManager();
    if (!Passive && !MadeByLibrary && m && m->Active() && !HasState(this, csDesigning))
        PrepareForm();
}

void TsSkinProvider::Loaded() {
    TComponent::Loaded();
    if (!Passive && !MadeByLibrary && SkinManager() && !HasState(this, csDesigning) &&
        IsControlSkinned(skinData_.get(), true))
        InitFormSkinning();
}

void TsSkinProvider::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    // The system menu is one of the provider's components: freed with them, not again.
    if (op == opRemove && c == SystemMenu) SystemMenu = nullptr;
    if (!skinData_) return;
    if (auto* m = dynamic_cast<TsSkinManager*>(c)) {
        if (op == opInsert && skinData_->StoredSkinManager() == nullptr)
            skinData_->SetSkinManager(m);
        else if (op == opRemove && skinData_->StoredSkinManager() == m)
            skinData_->SetSkinManager(nullptr);
    }
    auto* adapter = dynamic_cast<TacCtrlAdapter*>(CtrlAdapter);
    auto* w = dynamic_cast<TWinControl*>(c);
    if (op == opInsert && adapter && w && adapter->IsControlSupported(w)) adapter->AddControl(w);
}

void TsSkinProvider::CreateCtrlAdapter() {
    if (HasState(this, csDesigning) || CtrlAdapter ||
        !IsControlSkinned(skinData_.get(), true))
        return;
    auto* adapter = new TacCtrlAdapter(this);
    // The published event reaches the walk through the adapter's own delegate, read at the
    // time of each call so a handler set later still counts.
    adapter->OnSkinItem = [this](TComponent* c, bool& can, std::string& section) {
        if (OnSkinItem) OnSkinItem(c, can, section);
    };
    CtrlAdapter = adapter;
    adapter->AddAllItems(nullptr);
}

TsSkinManager* TsSkinProvider::SkinManager() const {
    return skinData_ ? skinData_->SkinManager() : nullptr;
}

void TsSkinProvider::FreeFrameCache() {
    CaptionImages[0].reset();
    CaptionImages[1].reset();
    TitleBG.reset();
}

void TsSkinProvider::FreeBorderForm() { UpdateBorderForm(false); }

// ---- properties ----

void TsSkinProvider::SetAllowExtBorders(bool on) {
    if (allowExtBorders_ == on) return;
    allowExtBorders_ = on;
    if (HasState(this, csLoading)) return;
    skinData_->CacheStale = true;
    Redraw(form_, win::RDW_INVALIDATE | win::RDW_FRAME);
}

void TsSkinProvider::SetCaptionAlignment(TAlignment a) {
    if (captionAlignment_ == a) return;
    captionAlignment_ = a;
    skinData_->CacheStale = true;
    if (form_ && form_->Visible() && !HasState(this, csDesigning) && Skinned()) RedrawCaption();
}

void TsSkinProvider::SetDrawNonClientArea(bool on) {
    if (DrawNonClientArea == on) return;
    DrawNonClientArea = on;
    if (HasState(this, csDesigning) || Passive || !form_) return;
    if (on) {
        UpdateSysMenuStyle(true);
        if (form_->Showing() && Skinned()) {
            skinData_->CacheStale = true;
            TitleBG.reset();
            if (form_->Menu()) form_->Menu()->SetOwnerDraw(true);
            UpdateBorderForm(SkinManager()->ExtendedBorders());
            Redraw(form_, win::RDW_INVALIDATE | win::RDW_UPDATENOW | win::RDW_FRAME);
            AttachScrollAdapter(ScrollAdapter);
        }
    } else {
        UpdateBorderForm(false);
        if (form_->Menu()) form_->Menu()->SetOwnerDraw(false);
        if (form_->HandleAllocated()) win::SetWindowTheme(form_->Handle(), nullptr, nullptr);
        if (ScrollAdapter) FreeAdapter(ScrollAdapter);
        UpdateSysMenuStyle(false);
        if (form_->Showing()) win::SetWindowRgn(form_->Handle(), nullptr, win::TRUE);
    }
}

void TsSkinProvider::SetMenuLineSkin(const std::string& name) {
    if (menuLineSkin_ == name) return;
    menuLineSkin_ = name;
    if (HasState(this, csDesigning)) skinData_->Invalidate();
}

void TsSkinProvider::SetShowAppIcon(bool on) {
    if (showAppIcon_ == on) return;
    showAppIcon_ = on;
    skinData_->CacheStale = true;
    if (form_ && form_->Visible() && form_->HandleAllocated())
        win::SendMessageA(form_->Handle(), win::WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetTitleButtons(const TsTitleButtons* b) { titleButtons_->Assign(b); }

void TsSkinProvider::SetTitleSkin(const std::string& name) {
    if (titleSkin_ == name) return;
    titleSkin_ = name;
    skinData_->CacheStale = true;
    if (!form_ || !form_->Visible() || !form_->HandleAllocated()) return;
    if (borderForm_)
        borderForm_->UpdateExBordersPos(true, 255);
    else
        win::SendMessageA(form_->Handle(), win::WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetUseGlobalColor(bool on) {
    if (useGlobalColor_ == on) return;
    useGlobalColor_ = on;
    ApplyGlobalColor();
}

// The form's colour per UseGlobalColor: the skin's GLOBALINFO colour, else the button face.
void TsSkinProvider::ApplyGlobalColor() {
    if (!form_) return;
    if (Skinned() && useGlobalColor_ && !skinData_->CustomColor())
        form_->SetColor(SkinManager()->GetGlobalColor());
    else
        form_->SetColor(clBtnFace);
}

// ---- preparation ----

void TsSkinProvider::PrepareForm() {
    TsSkinManager* m = SkinManager();
    // Making the system menu asks the window, which may come back here.
    if (MadeByLibrary || Passive || !m || !form_ || !form_->HandleAllocated() || preparing_) return;
    preparing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{preparing_};
    skinData_->Loaded();
    if (SystemMenu == nullptr) {
        SystemMenu = new TsSystemMenu(this);
        SystemMenu->UpdateItems();
    }
    UpdateSysMenuStyle(m->SkinData().Active);
    if (NeedsMDISetup && m->SkinData().Active) {
        NeedsMDISetup = false;
        if (IsMDIParent(form_) && !HasState(this, csDesigning)) SetMDIForm(true);
    }
    ReadIndexes();
    std::fill(std::begin(CaptionRepaintFlags), std::end(CaptionRepaintFlags), true);
    if (IsMDIChild(form_) && MDISkinProvider && !MDISkinProvider->Destroying() && Skinned()) {
        MDISkinProvider->skinData_->CacheStale = true;
        MDISkinProvider->MenuLineCountCache = -1;
    }
    if (!form_->ControlState.Contains(csCreating) && !form_->ControlState.Contains(csReadingState) &&
        !HasState(this, csLoading) && useGlobalColor_ && !skinData_->CustomColor())
        form_->SetColor(m->GetGlobalColor());
    UpdateMenusOwnerDraw(true);
    if (!MenuBarRebuilt && RebuildMainMenu()) MenuBarRebuilt = true;
    if (!HasState(form_, csLoading) && form_->Showing()) UpdateBorderForm(m->ExtendedBorders());
}

// The section indexes of the form, its caption and the caption buttons, from the manager.
void TsSkinProvider::ReadIndexes() {
    skinData_->UpdateIndexes();
    TitleSkinIndexCache = -1;
    TitleSkinIndexCache = TitleSkinIndex();
    TsSkinManager* m = SkinManager();
    CaptionSkinIndex = m ? m->GetSkinIndex("CAPTION") : -1;
    LoadTitleButtonMasks();
}

void TsSkinProvider::InitFormSkinning() {
    if (form_ && form_->HandleAllocated() && IsDwmCompositionEnabled())
        SetDwmTransitionsDisabled(form_->Handle(), true);
    PrepareForm();
    if (CtrlAdapter == nullptr) CreateCtrlAdapter();
    if (SystemMenu) SystemMenu->UpdateItems();
    TsSkinManager* m = SkinManager();
    for (int i = 0; i < titleButtons_->Count(); ++i) {
        TsTitleButton* b = titleButtons_->GetItem(i);
        b->Data.ImageIndex =
            b->UseSkinData && m ? m->GetMaskIndexByNames("GLOBALINFO", "TITLEBUTTON") : -1;
    }
}

void TsSkinProvider::SetMDIForm(bool make) {
    // The MDI frame object comes with MDI support, which this library does not have: an MDI
    // parent gets no frame object, and there is none to free.
    if (make && MDIForm == nullptr) MDISkinProvider = this;
    if (!make && MDIForm) {
        MDIForm->Free();
        MDIForm = nullptr;
    }
}

void TsSkinProvider::UpdateBorderForm(bool allow) {
    if (allow && form_ && HasBorder() && DrawNonClientArea && !form_->Parent() &&
        !IsMDIChild(form_) && allowExtBorders_) {
        if (borderForm_ || !BorderFormCreation()) return;
        borderForm_ = BorderFormCreation()(this);
        if (!borderForm_) return;
        // Every measure of the frame grows by the margins: cache and region are made anew.
        skinData_->CacheStale = true;
        RegionChanged = true;
        if (TBitmap* b = skinData_->CacheBmp()) b->SetPixelFormat(pf32bit);
        borderForm_->UpdateExBordersPos(true, 255);
        return;
    }
    if (borderForm_) {
        // Taken out first: freeing it may bring messages that ask for it.
        TacBorderFormBase* gone = borderForm_;
        borderForm_ = nullptr;
        delete gone;
        if (skinData_) {
            skinData_->CacheStale = true;
            RegionChanged = true;
            if (TBitmap* b = skinData_->CacheBmp()) b->SetPixelFormat(pf24bit);
        }
    }
}

void TsSkinProvider::InvalidateFrame() {
    skinData_->CacheStale = true;
    MenuLineChanged = true;
    MenuLineCountCache = -1;
    if (form_ && form_->HandleAllocated())
        win::SendMessageA(form_->Handle(), win::WM_NCPAINT, 0, 0);
}

void TsSkinProvider::FullRepaint(bool showBorder) {
    skinData_->BeginUpdate();
    skinData_->CacheStale = true;
    MenuLineChanged = true;
    MenuLineCountCache = -1;
    skinData_->EndUpdate(false);
    if (form_->ClientHandle())
        win::RedrawWindow(form_->ClientHandle(), nullptr, nullptr,
                          showBorder ? 0x507u : 0x407u);
    Redraw(form_, win::RDW_INVALIDATE | win::RDW_FRAME);
    if (showBorder && borderForm_) borderForm_->UpdateExBordersPos(true, 255);
}

std::string TsSkinProvider::TitleSkinSection() const {
    return titleSkin_.empty() ? "FORMTITLE" : titleSkin_;
}

int TsSkinProvider::TitleSkinIndex() const {
    if (TitleSkinIndexCache != -1) return TitleSkinIndexCache;
    TsSkinManager* m = SkinManager();
    return m ? m->GetSkinIndex(TitleSkinSection()) : -1;
}

vcl::TColor TsSkinProvider::FormColor() const {
    if (IsControlSkinned(skinData_.get()) && !skinData_->CustomColor()) {
        if (const TsGeneralData* s = skinData_->Section()) return FormActive ? s->HotColor : s->Color;
    }
    return form_ ? TColor(ColorToRGB(form_->Color())) : TColor(0);
}

void TsSkinProvider::RemoveCtrlAdapter() {
    if (HasState(this, csDesigning) || CtrlAdapter == nullptr) return;
    // Every adapter gives its control back the own look before the adapter goes.
    TMessage removed = SkinCommandMessage(SKC_REMOVESKIN, reinterpret_cast<intptr_t>(SkinManager()));
    SendToAdapterItems(removed);
    CtrlAdapter->Free();
    CtrlAdapter = nullptr;
}

void TsSkinProvider::SendToAdapterItems(TMessage& m) {
    if (auto* adapter = dynamic_cast<TacCtrlAdapter*>(CtrlAdapter)) adapter->SendToItems(m);
}

namespace {

void WalkMenus(TComponent* owner, TsSkinableMenusBase* menus, bool skinned, bool popups,
               bool drawNC) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        if (auto* frame = dynamic_cast<TCustomFrame*>(c)) {
            WalkMenus(frame, menus, skinned, popups, drawNC);
        } else if (auto* main = dynamic_cast<TMainMenu*>(c)) {
            main->SetOwnerDraw(skinned && drawNC);
        } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
            if (Neighbours().SetMenuOwnerDraw)
                Neighbours().SetMenuOwnerDraw(menus, popup, skinned && popups);
        }
    }
}

}  // namespace

void TsSkinProvider::UpdateMenusOwnerDraw(bool skinned) {
    TsSkinManager* m = SkinManager();
    if (HasState(this, csDesigning) || !m || !m->SkinableMenus() || !m->IsDefault() || !form_)
        return;
    WalkMenus(form_, m->SkinableMenus(), skinned, m->SkinnedPopups(), DrawNonClientArea);
}

bool TsSkinProvider::RebuildMainMenu() {
    static bool busy = false;
    if (busy || !form_ || !form_->Menu() || form_->Menu()->Items()->Count() == 0) return false;
    busy = true;
    struct Access : TMenuItem {
        using TMenuItem::MenuChanged;
    };
    TMenuItem* first = form_->Menu()->Items()->Items(0);
    try {
        (first->*(&Access::MenuChanged))(true);
    } catch (...) {
        busy = false;
        throw;
    }
    busy = false;
    return true;
}

void TsSkinProvider::UpdateSysMenuStyle(bool skinned) {
    if (!form_ || !form_->HandleAllocated()) return;
    const win::HWND h = form_->Handle();
    const auto style = uint32_t(win::GetWindowLongA(h, win::GWL_STYLE));
    if (skinned) {
        if ((style & win::WS_SYSMENU) || SysMenuStyleRemoved) {
            const uint32_t next =
                DrawNonClientArea ? style & ~win::WS_SYSMENU : style | win::WS_SYSMENU;
            if (next != style) win::SetWindowLongA(h, win::GWL_STYLE, int32_t(next));
            SysMenuStyleRemoved = true;
        }
    } else if (SysMenuStyleRemoved) {
        win::SetWindowLongA(h, win::GWL_STYLE, int32_t(style | win::WS_SYSMENU));
        SysMenuStyleRemoved = false;
    }
}

void TsSkinProvider::KillAnimations() {
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp}) {
        delete b->Timer;
        b->Timer = nullptr;
    }
    if (!titleButtons_) return;
    for (int i = 0; i < titleButtons_->Count(); ++i) {
        TsCaptionButton& d = titleButtons_->GetItem(i)->Data;
        delete d.Timer;
        d.Timer = nullptr;
    }
}

// ---- skin commands ----

bool TsSkinProvider::HandleSkinCommand(TMessage& m) {
    switch (SkinCommandCode(m.WParam)) {
        case SKC_REMOVESKIN:
            RemoveSkin(m);
            return true;
        case SKC_NEWSKIN:
            if (!Destroying() && reinterpret_cast<TsSkinManager*>(m.LParam) == SkinManager() &&
                SystemMenu == nullptr)
                PrepareForm();
            return false;
        case SKC_ISSKINAWARE:
            m.Result = 1;
            return true;
        case SKC_ENDUPDATE:
            if (skinData_->CtrlState & kCtrlMenuChangePending) {
                skinData_->CtrlState &= uint16_t(~kCtrlMenuChangePending);
                if (form_->HandleAllocated())
                    win::SendMessageA(form_->Handle(), CM_MENUCHANGED, 0, 0);
            }
            return false;
        case SKC_GETBGINFO: {
            auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam);
            if (info == nullptr) return true;
            const bool plain = skinData_->CtrlState & kCtrlPlainBG;
            const bool updating = skinData_->CtrlState & kCtrlUpdating;
            info->Offset = {0, 0};
            if (skinData_->CacheStale && !updating && !plain) PaintFrame();
            const bool paintNow = info->PleaseDraw != 0;
            if (paintNow) info->Offset = TPoint(info->Offset.X + ClientOffsetX(), info->Offset.Y + ClientOffsetY());
            skinData_->GetBGInfo(*info, FormActive, form_->HandleAllocated() ? form_->Handle() : nullptr);
            if (info->BgType == btCache && !paintNow && info->Bmp == nullptr) {
                PaintFrame();
                info->Bmp = skinData_->CacheBmp();
            }
            if (form_->Parent() == nullptr)
                info->Offset = TPoint(info->Offset.X + ClientOffsetX(), info->Offset.Y + ClientOffsetY());
            return true;
        }
        case SKC_PLAINBG:
            if (m.LParam == 1) skinData_->UpdatePlainBGFlag(false);
            m.Result = skinData_->CtrlState;
            return true;
        case SKC_GETAPPLICATION:
            m.Result = reinterpret_cast<intptr_t>(Application());
            return true;
        case SKC_GETCLIENTOFFSET:
            m.Result = intptr_t(uint32_t(uint16_t(ClientOffsetX())) |
                                uint32_t(uint16_t(ClientOffsetY())) << 16);
            return true;
        default:
            return false;
    }
}

// Command 2 with the provider's own manager: everything skin-related is taken back; the hook
// stays. From another manager it only travels on to the children.
void TsSkinProvider::RemoveSkin(TMessage& m) {
    if (reinterpret_cast<TsSkinManager*>(m.LParam) != SkinManager()) {
        BroadcastToChildControls(form_, m);
        return;
    }
    if (ScrollAdapter) FreeAdapter(ScrollAdapter);
    if (form_->HandleAllocated()) SetDwmTransitionsDisabled(form_->Handle(), false);
    RemoveCtrlAdapter();
    UpdateControlSkin(m, skinData_.get());
    MenuLineCountCache = TitleSkinIndexCache = CaptionSkinIndex = -1;
    std::weak_ptr<int> life = life_;
    BroadcastToChildControls(form_, m);
    if (life.expired()) return;
    if (!Destroying() && form_->HandleAllocated() && SkinManager()) {
        UpdateMenusOwnerDraw(false);
        UpdateSysMenuStyle(false);
        if (IsMDIParent(form_)) SetMDIForm(false);
        if (HasBorder() && !MDIBusy) win::SetWindowRgn(form_->Handle(), nullptr, win::TRUE);
        RebuildMainMenu();
        if (form_->ClientHandle())
            win::RedrawWindow(form_->ClientHandle(), nullptr, nullptr, 0x485);
        UpdateBorderForm(false);
    }
    for (int i = 0; i < form_->ComponentCount(); ++i)
        if (auto* label = dynamic_cast<TLabel*>(form_->Components(i)))
            label->Font()->SetColor(clWindowText);
    if (useGlobalColor_ && !skinData_->CustomColor()) form_->SetColor(clBtnFace);
    if (TBitmap* b = skinData_->CacheBmp()) b->SetSize(0, 0);
    skinData_->CacheStale = true;
    FreeFrameCache();
}

bool TsSkinProvider::SkinnedCommand(TMessage& m) {
    TsSkinManager* manager = SkinManager();
    const bool shown = form_->Visible() && form_->HandleAllocated();
    const uint16_t code = SkinCommandCode(m.WParam);
    // A new skin or a refresh is another manager's business unless it names this one.
    if ((code == SKC_NEWSKIN || code == SKC_REFRESH) &&
        reinterpret_cast<TsSkinManager*>(m.LParam) != manager)
        return true;
    switch (code) {
        case SKC_NEWSKIN:
            ReadIndexes();
            UpdateSysMenuStyle(DrawNonClientArea);
            if (manager->SkinableMenus()) manager->SkinableMenus()->UpdateFromManager();
            skinData_->CacheStale = true;
            MenuLineCountCache = -1;
            if (form_->HandleAllocated())
                win::SendMessageA(form_->Handle(), win::WM_NCPAINT, 0, 0);
            if (IsMDIParent(form_) && MDIForm == nullptr) SetMDIForm(true);
            break;
        case SKC_REFRESH: {
            if (CtrlAdapter == nullptr)
                CreateCtrlAdapter();
            else if (auto* adapter = dynamic_cast<TacCtrlAdapter*>(CtrlAdapter))
                adapter->AddAllItems(nullptr);
            if (DrawNonClientArea) AttachScrollAdapter(ScrollAdapter);
            if (form_->Parent() && !IsMDIChild(form_)) skinData_->CtrlState &= uint16_t(~kCtrlPlainBG);
            MenuLineCountCache = -1;
            TitleBG.reset();
            if (!HasState(manager, csLoading)) {
                RebuildMainMenu();
                UpdateMenusOwnerDraw(true);
            }
            if (HasBorder()) RegionChanged = true;
            if (!form_->Visible()) break;
            skinData_->CacheStale = true;
            UpdateBorderForm(manager->ExtendedBorders());
            if (!FormChanging && form_->HandleAllocated()) {
                Redraw(form_, win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_NOCHILDREN |
                                  win::RDW_UPDATENOW | win::RDW_FRAME);
                if (form_->ClientHandle())
                    win::RedrawWindow(form_->ClientHandle(), nullptr, nullptr, 0x545);
            }
            ApplyGlobalColor();
            skinData_->BGChanged = false;
            SendToAdapterItems(m);
            if (borderForm_) borderForm_->UpdateExBordersPos(true, 255);
            break;
        }
        case SKC_GETPROVIDER:
            m.Result = reinterpret_cast<intptr_t>(static_cast<TsSkinProviderBase*>(this));
            break;
        case SKC_SETBGCHANGED:
            skinData_->BGChanged = SkinCommandFlag(m.WParam);
            if (skinData_->BGChanged) skinData_->CacheStale = true;
            break;
        case SKC_SETKEEPCACHE:
            UpdateControlSkin(m, skinData_.get());
            if (skinData_->KeepCache) PaintFrame();
            break;
        case SKC_ISUPDATING:
            m.Result = !FormChanging && !(skinData_->CtrlState & kCtrlPlainBG) && skinData_->BGChanged;
            break;
        case SKC_REPAINTGRAPHIC:
            if (borderForm_ && form_->FormState.Contains(fsModal))
                borderForm_->UpdateExBordersPos(false, 255);
            break;
        case SKC_ISSEETHROUGH: {
            const TsGeneralData* s = skinData_->Section();
            m.Result = s && s->GradientPercent + s->ImagePercent > 0;
            m.LParam = m.Result;
            break;
        }
        case SKC_GETBGCOLOR:
            m.Result = intptr_t(FormColor());
            break;
        case SKC_CHILDCREATED:
            if (auto* adapter = dynamic_cast<TacCtrlAdapter*>(CtrlAdapter);
                adapter && !HasState(form_, csLoading))
                adapter->AddAllItems(reinterpret_cast<TWinControl*>(m.LParam));
            break;
        case SKC_PLACEEXBORDER:
            if (borderForm_) borderForm_->UpdateExBordersPos(false, 255);
            break;
        case SKC_BEFORESCROLL:
            if (skinData_->ShowsParentBG() && shown)
                win::SendMessageA(form_->Handle(), win::WM_SETREDRAW, 0, 0);
            break;
        case SKC_AFTERSCROLL:
            if (skinData_->ShowsParentBG() && shown) {
                win::SendMessageA(form_->Handle(), win::WM_SETREDRAW, 1, 0);
                Redraw(form_, 0x585);
                if (MDISkinProvider == this && form_->ClientHandle())
                    win::RedrawWindow(form_->ClientHandle(), nullptr, nullptr, 0x581);
            }
            break;
        default:
            break;
    }
    return true;
}

bool TsSkinProvider::UnskinnedCommand(TMessage& m) {
    switch (SkinCommandCode(m.WParam)) {
        case SKC_NEWSKIN: {
            TsSkinManager* manager = SkinManager();
            if (!Destroying() && reinterpret_cast<TsSkinManager*>(m.LParam) == manager) {
                ReadIndexes();
                UpdateSysMenuStyle(true);
                if (!HasState(manager, csLoading)) UpdateMenusOwnerDraw(true);
                skinData_->CacheStale = true;
                MenuLineCountCache = -1;
                if (IsMDIParent(form_) && MDIForm == nullptr) SetMDIForm(true);
                if (useGlobalColor_ && !skinData_->CustomColor())
                    form_->SetColor(manager->GetGlobalColor());
                if (form_->HandleAllocated()) SetDwmTransitionsDisabled(form_->Handle(), true);
            }
            if (CtrlAdapter == nullptr) CreateCtrlAdapter();
            return true;
        }
        case SKC_GETPROVIDER:
            m.Result = reinterpret_cast<intptr_t>(static_cast<TsSkinProviderBase*>(this));
            return true;
        default:
            return false;
    }
}

}  // namespace skin
