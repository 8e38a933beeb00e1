#include "skin/core/state/common_data.h"

#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/sysutils.h"

namespace skin {

using namespace vcl;

namespace {

constexpr TColor kBtnFace = 0xFF00000F;
constexpr TColor kWindow = 0xFF000005;
constexpr TColor kWindowText = 0xFF000008;

bool HasState(const TObject* o, TComponentStateItem s) {
    auto* c = dynamic_cast<const TComponent*>(o);
    return c && c->ComponentState().Contains(s);
}

TsSkinProviderBase* ProviderOf(const TsCommonData* d) {
    return dynamic_cast<TsSkinProviderBase*>(d->OwnerObject());
}

TWinControl* Windowed(TControl* c) {
    return dynamic_cast<TWinControl*>(c);
}

// The four border widths of a mask; a negative width counts as 0.
struct BorderWidths {
    int L = 0, T = 0, R = 0, B = 0;
};

BorderWidths BordersOf(const TsSkinManager* m, int maskIndex) {
    if (!m || !m->IsValidImgIndex(maskIndex)) return {};
    const TsMaskData& k = m->Skin().Masks[size_t(maskIndex)];
    return {std::max<int>(k.WL, 0), std::max<int>(k.WT, 0), std::max<int>(k.WR, 0),
            std::max<int>(k.WB, 0)};
}

// The colour the owner itself carries, as RGB.
TColor OwnColor(const TsCommonData* d) {
    if (TControl* c = d->OwnerControl()) return ControlColorToRGB(c->Color());
    if (TsSkinProviderBase* p = ProviderOf(d); p && p->Form())
        return ControlColorToRGB(p->Form()->Color());
    return ControlColorToRGB(kBtnFace);
}

TColor GlobalColor(const TsSkinManager* m) {
    if (DefaultManager) return DefaultManager->GetGlobalColor();
    return m ? m->GetGlobalColor() : ControlColorToRGB(kBtnFace);
}

void SetIfDifferent(TControl* c, TColor color, TColor fontColor, bool customColor,
                    bool customFont) {
    if (!customColor && c->Color() != vcl::TColor(color)) c->SetColor(vcl::TColor(color));
    if (!customFont && c->Font()->Color() != vcl::TColor(fontColor))
        c->Font()->SetColor(vcl::TColor(fontColor));
}

// An edit control redraws its frame and inside.
void RedrawFrame(TControl* c) {
    if (TWinControl* w = Windowed(c); w && w->HandleAllocated())
        win::RedrawWindow(w->Handle(), nullptr, nullptr, win::RDW_INVALIDATE | win::RDW_FRAME);
}

bool IsEdit(const TControl* c) {
    return dynamic_cast<const TCustomEdit*>(c) != nullptr;
}

}  // namespace

// --- TsCommonData ---

std::vector<TPropInfo> TsCommonData::Published() {
    using D = TsCommonData;
    return {Property("SkinSection", &D::SkinSection, &D::SetSkinSection),
            Property("SkinManager", &D::SkinManager, &D::SetSkinManager),
            Property("CustomColor", &D::CustomColor, &D::SetCustomColor),
            Property("CustomFont", &D::CustomFont, &D::SetCustomFont)};
}

TsCommonData::TsCommonData(TObject* owner, bool createCache)
    : skinManager_(std::make_unique<TsManagerLink>()),
      ownerControl_(dynamic_cast<TControl*>(owner)),
      ownerObject_(owner) {
    if (createCache) cacheBmp_ = NewBitmap24(0, 0);
}

TsCommonData::~TsCommonData() {
    SkinIndex = Texture = HotTexture = -1;
    skinManager_->Set(nullptr);
    ownerControl_ = nullptr;
    ownerObject_ = nullptr;
    delete cacheBmp_;
    cacheBmp_ = nullptr;
    HideGlowOf(this);
}

TPersistent* TsCommonData::GetOwner() const {
    return ownerControl_;
}

TsSkinManager* TsCommonData::StoredSkinManager() const {
    return skinManager_->Get();
}

TsSkinManager* TsCommonData::GetSkinManager() const {
    TsSkinManager* m = skinManager_->Get();
    return m ? m : DefaultManager;
}

const TsGeneralData* TsCommonData::Section() const {
    const TsSkinManager* m = GetSkinManager();
    if (!m || !m->IsValidSkinIndex(SkinIndex)) return nullptr;
    return &m->Skin().Sections[size_t(SkinIndex)];
}

namespace {

// The section index of the state under `m`, as a manager or section write reads it again.
void RereadIndexes(TsCommonData* d, TsSkinManager* m) {
    if (m && !m->Skin().Sections.empty())
        d->UpdateIndexes();
    else
        d->SkinIndex = -1;
}

}  // namespace

void TsCommonData::SendSkinChange() {
    TsSkinManager* m = GetSkinManager();
    const bool usable = m && !m->Skin().Sections.empty() && m->IsValidSkinIndex(SkinIndex);
    ownerControl_->Perform(SM_ALPHACMD, SkinCommandWParam(usable ? SKC_REFRESH : SKC_REMOVESKIN),
                           reinterpret_cast<intptr_t>(m));
}

void TsCommonData::SetSkinManager(TsSkinManager* manager) {
    // The default manager is stored as nil, so the state follows whichever manager is default.
    TsSkinManager* stored = manager == DefaultManager ? nullptr : manager;
    if (stored == skinManager_->Get()) return;
    skinManager_->Set(stored);
    Neighbours().EmptySkinHook();
    if (HasState(ownerControl_, csLoading)) return;
    // Nil stands for the default manager: the indexes come from it.
    RereadIndexes(this, GetSkinManager());
    if (ProviderOf(this)) return;
    if (ownerControl_ && ownerControl_->Parent() && !HasState(ownerControl_, csDestroying))
        SendSkinChange();
}

void TsCommonData::SetSkinSection(const std::string& name) {
    if (name == skinSection_) return;
    skinSection_ = name.empty() ? "UNKNOWN" : AnsiUpperCase(name);
    RereadIndexes(this, GetSkinManager());
    if (!ownerControl_ || HasState(ownerControl_, csLoading) ||
        HasState(ownerControl_, csReading) || HasState(ownerControl_, csDestroying) ||
        !ownerControl_->Parent()) {
        if (TsSkinProviderBase* p = ProviderOf(this)) {
            CacheStale = true;
            p->FreeFrameCache();
        }
        return;
    }
    SendSkinChange();
}

void TsCommonData::SetCustomColor(bool on) {
    if (on == customColor_) return;
    customColor_ = on;
    if (IsControlSkinned(this) && IsEdit(ownerControl_) && !HasState(ownerControl_, csLoading)) {
        const TsGeneralData* s = Section();
        SetIfDifferent(ownerControl_, s->Color, s->FontColor, customColor_, customFont_);
    }
    Invalidate();
}

void TsCommonData::SetCustomFont(bool on) {
    if (on == customFont_) return;
    customFont_ = on;
    Invalidate();
}

void TsCommonData::UpdateIndexes() {
    if (HasState(ownerObject_, csDesigning) && ownerControl_) {
        for (TWinControl* p = ownerControl_->Parent(); p; p = p->Parent()) {
            if (dynamic_cast<TCustomFrame*>(p)) {
                SkinIndex = Texture = HotTexture = -1;
                return;
            }
        }
    }
    CacheStale = true;
    TsSkinManager* m = GetSkinManager();
    SkinIndex = m ? m->GetSkinIndex(skinSection_) : -1;
    UpdateBGKindFlags();
    CtrlState = 0;
    if (SkinIndex >= 0) {
        BorderIndex = m->Skin().Sections[size_t(SkinIndex)].BordersMask;
        Texture = m->GetTextureIndex(SkinIndex, skinSection_, "PATTERN");
        HotTexture = m->GetTextureIndex(SkinIndex, skinSection_, "HOTPATTERN");
        UpdatePlainBGFlag(false);
    } else {
        Texture = HotTexture = -1;
    }
}

void TsCommonData::UpdateBGKindFlags() {
    BGKind = 0;
    const TsGeneralData* s = Section();
    if (!s) return;
    if (s->ImagePercent > 0) BGKind |= kBGImage;
    if (s->GradientPercent > 0 && !s->GradientArray.empty()) {
        switch (s->GradientArray.front().Mode) {
            case 0:
                BGKind |= kBGGradientRows;
                break;
            case 1:
                BGKind |= kBGGradientColumns;
                break;
            case 2:
                BGKind |= kBGGradientTriangles;
                break;
            default:
                break;
        }
    }
}

void TsCommonData::Loaded() {
    if (skinSection_.empty()) {
        std::string s = DefaultSectionForKind(COC);
        if (s.empty() && ownerObject_) s = ownerObject_->ClassName();
        SetSkinSection(s);
    } else {
        UpdateIndexes();
    }
    CacheStale = true;
    if (!IsControlSkinned(this) || !ownerControl_ || !ownerControl_->Parent() ||
        HasState(ownerControl_, csLoading))
        return;
    if (Windowed(ownerControl_)) NotifyParentForm(ownerControl_);
    if (IsEdit(ownerControl_) || COC == 97) {
        const TsGeneralData* s = Section();
        SetIfDifferent(ownerControl_, s->Color, s->FontColor, customColor_, customFont_);
    }
}

void TsCommonData::Invalidate() {
    if (ownerControl_) {
        if (HasState(ownerControl_, csDestroying) || HasState(ownerControl_, csLoading)) return;
        CacheStale = true;
        ownerControl_->Invalidate();
        return;
    }
    if (TsSkinProviderBase* p = ProviderOf(this)) {
        CacheStale = true;
        if (TCustomForm* f = p->Form(); f && f->HandleAllocated())
            win::RedrawWindow(f->Handle(), nullptr, nullptr,
                              win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN |
                                  win::RDW_UPDATENOW | win::RDW_FRAME);
    }
}

namespace {

void SendUpdateCommand(TsCommonData* d, uint16_t code) {
    if (TControl* c = d->OwnerControl()) {
        c->Perform(SM_ALPHACMD, SkinCommandWParam(code), 0);
    } else if (TsSkinProviderBase* p = ProviderOf(d)) {
        if (TCustomForm* f = p->Form(); f && f->HandleAllocated())
            SendSkinCommand(f->Handle(), code, 0);
    }
}

}  // namespace

void TsCommonData::BeginUpdate() {
    BGChanged = true;
    CtrlState |= kCtrlUpdating;
    SendUpdateCommand(this, SKC_BEGINUPDATE);
}

void TsCommonData::EndUpdate(bool repaint) {
    BGChanged = false;
    CtrlState &= uint16_t(~kCtrlUpdating);
    SendUpdateCommand(this, SKC_ENDUPDATE);
    if (repaint) Invalidate();
}

bool TsCommonData::GetBGChanged() const {
    const TsSkinManager* m = GetSkinManager();
    if (!m || m->ComponentState().Contains(csDesigning)) return false;
    if (!NeedsParentBG()) return BGChanged;
    // Without an owner, or while it goes, only the own flag can tell.
    if (!ownerControl_ || HasState(ownerControl_, csDestroying)) return BGChanged;
    if (BGChanged) return true;
    TWinControl* parent = ownerControl_->Parent();
    if (!parent) return true;
    return SendSkinCommandNoParam(parent, SKC_ISUPDATING) != 0;
}

bool TsCommonData::NeedsParentBG() const {
    if (AnimationRunning) return true;
    if (!(CtrlState & kCtrlPlainBG)) return true;
    return ControlIsActive(this);
}

bool TsCommonData::IsTransparent() const {
    const TsGeneralData* s = Section();
    return s && s->Transparency >= 1;
}

bool TsCommonData::ShowsParentBG() const {
    if (KeepCache || !IsControlSkinned(this) || !ownerControl_) return true;
    if (ownerControl_->ControlState.Contains(csCreating) || !ownerControl_->Visible()) return true;
    const TsGeneralData* s = Section();
    if (!s) return false;
    const bool x = !ownerControl_->Enabled() || s->Transparency > 0;
    TWinControl* parent = ownerControl_->Parent();
    if (x && parent && parent->HandleAllocated())
        return SendSkinCommandNoParam(parent, SKC_ISSEETHROUGH) != 0;
    return x;
}

void TsCommonData::UpdatePlainBGFlag(bool passOn) {
    CtrlState &= uint16_t(~kCtrlPlainBG);
    if (ownerControl_) {
        if ((dynamic_cast<TCustomFrame*>(ownerControl_) || dynamic_cast<TPanel*>(ownerControl_) ||
             dynamic_cast<TScrollingWinControl*>(ownerControl_)) &&
            !IsComplexBackground(this))
            CtrlState |= kCtrlPlainBG;
        if (TWinControl* w = Windowed(ownerControl_); w && passOn) {
            for (int i = 0; i < w->ControlCount(); ++i)
                SendSkinCommandToControl(w->Controls(i), SKC_PLAINBG, 1);
        }
    } else if (TsSkinProviderBase* p = ProviderOf(this)) {
        TCustomForm* f = p->Form();
        if (!IsComplexBackground(this) && !(f && f->FormStyle() == fsMDIForm))
            CtrlState |= kCtrlPlainBG;
    }
}

void TsCommonData::InitCacheBmp() {
    if (!cacheBmp_) cacheBmp_ = NewBitmap24(0, 0);
    cacheBmp_->SetHandleType(bmDIB);
    if (!ownerControl_) return;
    const int w = std::max(ownerControl_->Width(), 0), h = std::max(ownerControl_->Height(), 0);
    if (cacheBmp_->Width() != w) cacheBmp_->SetWidth(w);
    if (cacheBmp_->Height() != h) cacheBmp_->SetHeight(h);
}

void TsCommonData::PrepareCacheBmp() {
    if (!cacheBmp_) cacheBmp_ = NewBitmap24(0, 0);
    cacheBmp_->SetHandleType(bmDIB);
    cacheBmp_->SetPixelFormat(pf24bit);
    if (!ownerControl_) return;
    // The owner's sizes as they are; the bitmap takes a negative size as 0.
    const int w = ownerControl_->Width(), h = ownerControl_->Height();
    if (cacheBmp_->Width() != w) cacheBmp_->SetWidth(std::max(w, 0));
    if (cacheBmp_->Height() != h) cacheBmp_->SetHeight(std::max(h, 0));
}

void TsCommonData::GetBGInfo(BackgroundInfo& info, bool hot, win::HWND wnd) const {
    const TsGeneralData* s = IsControlSkinned(this) ? Section() : nullptr;
    if (!s || customColor_) {
        info.BgType = btFill;
        info.Color = OwnColor(this);
        return;
    }
    const TsSkinManager* m = GetSkinManager();
    const int t = std::clamp(hot ? s->HotTransparency : s->Transparency, 0, 100);
    const int gp = hot ? s->HotGradientPercent : s->GradientPercent;
    const int ip = hot ? s->HotImagePercent : s->ImagePercent;
    auto bitmapAnswer = [&] {
        info.BgType = btCache;
        if (info.PleaseDraw && info.DC) {
            win::BitBlt(info.DC, info.R.Left, info.R.Top, info.R.Width(), info.R.Height(),
                        cacheBmp_->Canvas()->Handle(), info.Offset.X, info.Offset.Y, win::SRCCOPY);
        } else {
            info.Bmp = cacheBmp_;
            info.Offset = {0, 0};
        }
    };
    if (t == 100) {
        const BorderWidths b = BordersOf(m, BorderIndex);
        if (m->IsValidImgIndex(BorderIndex) && (b.L + b.R >= 25 || b.T + b.B >= 25)) {
            // Borders this wide are the background: the own image answers.
            if (cacheBmp_) {
                bitmapAnswer();
            } else {
                info.BgType = btFill;
                info.Color = ownerControl_ && ownerControl_->Parent()
                                 ? AskControlBackColor(ownerControl_->Parent())
                                 : GlobalColor(m);
            }
            return;
        }
        TControl* parent = nullptr;
        TPoint shift{};
        if (ownerControl_) {
            parent = ownerControl_->Parent();
            shift = {ownerControl_->Left(), ownerControl_->Top()};
        } else if (TsSkinProviderBase* p = ProviderOf(this); p && p->Form()) {
            parent = p->Form()->Parent();
            shift = {p->Form()->Left(), p->Form()->Top()};
        }
        if (parent) {
            GetParentBackground(info, parent, info.PleaseDraw);
            if (info.BgType == btCache)
                info.Offset = {info.Offset.X + shift.X, info.Offset.Y + shift.Y};
        } else if (!wnd) {
            info.BgType = btFill;
            info.Color = GlobalColor(m);
        } else {
            const win::HWND up = win::GetParent(wnd);
            GetBGInfoFromWindow(info, up, false);
            if (info.BgType == btCache) {
                win::RECT r{};
                win::GetWindowRect(wnd, &r);
                win::POINT p{r.left, r.top};
                win::ScreenToClient(up, &p);
                info.Offset = {info.Offset.X + p.x, info.Offset.Y + p.y};
            }
        }
        return;
    }
    if (t > 0) {
        if (cacheBmp_) {
            bitmapAnswer();
        } else {
            info.Color = kTransparentKey;
            info.BgType = btFill;
        }
        return;
    }
    if (gp < 1 && ip < 1) {
        info.BgType = btFill;
        info.Bmp = cacheBmp_;
        info.Color = GetControlBGColor(this, hot, nullptr);
        if (info.PleaseDraw && info.DC) FillRectSolid(info.DC, info.R, info.Color);
        return;
    }
    info.Color = GlobalColor(m);
    if (cacheBmp_) {
        bitmapAnswer();
    } else {
        info.Color = kTransparentKey;
        info.BgType = btFill;
    }
}

// --- kinds ---

std::string DefaultSectionForKind(int kind) {
    struct Entry {
        int from, to;
        const char* section;
    };
    static constexpr Entry table[] = {
        {2, 8, "EDIT"},          {10, 10, "EDIT"},          {41, 41, "EDIT"},
        {76, 76, "EDIT"},        {78, 78, "EDIT"},          {83, 84, "EDIT"},
        {96, 97, "EDIT"},        {131, 131, "EDIT"},        {140, 140, "EDIT"},
        {227, 227, "EDIT"},      {11, 18, "COMBOBOX"},      {81, 82, "COMBOBOX"},
        {19, 19, "BAR"},         {20, 20, "BARTITLE"},      {32, 32, "CHECKBOX"},
        {152, 152, "CHECKBOX"},  {33, 33, "RADIOBUTTON"},   {51, 51, "PANEL"},
        {59, 59, "PANEL"},       {68, 68, "PANEL"},         {73, 73, "PANEL"},
        {52, 52, "PANEL_LOW"},   {58, 58, "PANEL_LOW"},     {53, 54, "TOOLBAR"},
        {60, 60, "TOOLBAR"},     {56, 56, "DRAGBAR"},       {57, 57, "TABSHEET"},
        {74, 74, "GROUPBOX"},    {226, 226, "GROUPBOX"},    {75, 75, "SPLITTER"},
        {92, 92, "SPEEDBUTTON"}, {95, 95, "SPEEDBUTTON"},   {93, 94, "BUTTON"},
        {98, 98, "TOOLBUTTON"},  {141, 141, "PAGECONTROL"}, {143, 143, "PAGECONTROL"},
        {151, 151, "STATUSBAR"}, {161, 161, "GAUGE"},       {165, 165, "TRACKBAR"},
    };
    for (const Entry& e : table)
        if (kind >= e.from && kind <= e.to) return e.section;
    return {};
}

bool KindHasHotState(int kind) {
    if (kind > 255) return true;  // a kind of no set
    return !(kind == 19 || (kind >= 51 && kind <= 74) || kind == 110 ||
             (kind >= 141 && kind <= 161));
}

bool KindShowsGlow(int kind) {
    // Buttons (92 to 94) glow by themselves.
    static constexpr int kNoGlow[] = {51, 52,  54,  56,  57,  58,  59,  60, 68, 73,
                                      74, 110, 141, 143, 151, 161, 226, 92, 93, 94};
    return std::find(std::begin(kNoGlow), std::end(kNoGlow), kind) == std::end(kNoGlow);
}

bool KindRepaintsFrame(int kind) {
    return (kind >= 2 && kind <= 18) || kind == 41 || (kind >= 76 && kind <= 84) || kind == 96 ||
           kind == 97 || (kind >= 131 && kind <= 140);
}

// --- queries ---

bool IsControlSkinned(const TsCommonData* data, bool checkActive) {
    if (!data) return false;
    const TsSkinManager* m = data->GetSkinManager();
    if (!m || m->ComponentState().Contains(csDestroying)) return false;
    if (!m->IsValidSkinIndex(data->SkinIndex)) return false;
    if (HasState(data->OwnerObject(), csDestroying)) return false;
    if (checkActive && !m->SkinData().Active) return false;
    return true;
}

bool ControlIsActive(const TsCommonData* data) {
    if (!data || !data->OwnerControl()) return false;
    TControl* c = data->OwnerControl();
    if (c->ComponentState().Contains(csDestroying) || c->ComponentState().Contains(csDesigning) ||
        !c->Enabled())
        return false;
    if (data->Focused) return true;
    if (auto* w = dynamic_cast<TWinControl*>(c);
        w && w->HandleAllocated() && win::GetFocus() == w->Handle())
        return true;
    return data->MouseAbove && KindHasHotState(data->COC);
}

bool IsComplexBackground(const TsCommonData* data) {
    const TsGeneralData* s = data ? data->Section() : nullptr;
    if (!s) return false;
    const BorderWidths b = BordersOf(data->GetSkinManager(), data->BorderIndex);
    if (b.L + b.R > 30 || b.T + b.B > 30) return true;
    const int t = s->Transparency;
    if (t == 100) {
        TControl* owner = data->OwnerControl();
        if (!owner || !owner->Parent()) return true;
        if (!(SendSkinCommandToControl(owner->Parent(), SKC_PLAINBG, 0) & kCtrlPlainBG))
            return true;
    } else if (t != 0) {
        return true;
    }
    return s->ImagePercent != 0 || s->GradientPercent != 0;
}

int GetMaxBorderWidth(const TsCommonData* data) {
    const TsSkinManager* m = data ? data->GetSkinManager() : nullptr;
    if (!m || data->BorderIndex < 0 || !m->IsValidImgIndex(data->BorderIndex)) return 0;
    if (m->Skin().Masks[size_t(data->BorderIndex)].StretchMode & smNoNormalState) return 0;
    const BorderWidths b = BordersOf(m, data->BorderIndex);
    return std::max({b.L, b.T, b.R, b.B});
}

TColor GetControlBGColor(const TsCommonData* data, bool hot, win::HWND wnd) {
    const TsGeneralData* s = IsControlSkinned(data) ? data->Section() : nullptr;
    if (!s) return data ? OwnColor(data) : ControlColorToRGB(kBtnFace);
    const TColor own = hot ? s->HotColor : s->Color;
    const int t = hot ? s->HotTransparency : s->Transparency;
    if (t <= 0) return data->CustomColor() ? OwnColor(data) : own;
    // What lies behind: the parent control, else the window's parent, else the button face.
    // An owner with no parent shows its own colour there, as its colour answer says.
    TColor parent;
    if (TControl* c = data->OwnerControl()) {
        parent = c->Parent() ? AskControlBackColor(c->Parent()) : OwnColor(data);
    } else {
        const win::HWND up = wnd ? win::GetParent(wnd) : nullptr;
        parent = up ? AskWindowBackColor(up) : ControlColorToRGB(kBtnFace);
    }
    if (t >= 100) return parent;
    return BlendTwoColors(parent, own, t / 100.0);
}

void GetParentBGInfo(const TsCommonData* data, CacheInfo& cache, PixelView& view) {
    TControl* c = data ? data->OwnerControl() : nullptr;
    if (c && c->Parent() && IsControlSkinned(data)) {
        BackgroundInfo info;
        GetParentBackground(info, c->Parent(), false);
        BGInfoToCacheInfo(info, cache, view);
        return;
    }
    view = {};
    cache = {};
    cache.FillColor = GetControlBGColor(data, false, nullptr);
}

void GetParentBGInfoByHandle(win::HWND wnd, CacheInfo& cache, PixelView& view) {
    view = {};
    const win::HWND parent = wnd ? win::GetParent(wnd) : nullptr;
    if (!parent) {
        cache = EmptyCacheInfo;
        return;
    }
    BackgroundInfo info;
    GetBGInfoFromWindow(info, parent, false);
    BGInfoToCacheInfo(info, cache, view);
}

int GetFontIndex(TControl* control, int defaultIndex, TsSkinManager* manager) {
    if (!control || !manager) return defaultIndex;
    TWinControl* parent = control->Parent();
    if (!parent) return defaultIndex;
    int32_t index = -1;
    SendSkinCommandToControl(parent, SKC_GETSKININDEX, reinterpret_cast<intptr_t>(&index));
    if (index < 0 || !manager->IsValidSkinIndex(index)) return defaultIndex;
    const TsGeneralData& s = manager->Skin().Sections[size_t(index)];
    // A parent that lets most of its own parent through gives no font of its own.
    if (s.Transparency > 50) return GetFontIndex(parent, defaultIndex, manager);
    return s.GiveOwnFont ? index : defaultIndex;
}

// --- glow ---

void HideGlowOf(TsCommonData* data) {
    if (!data || data->GlowID == -1) return;
    Neighbours().HideGlow(data->GlowID);
    data->GlowID = -1;
}

namespace {

TRect ToTRect(const win::RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TRect Intersection(const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

// The clip box of a window's DC, on the screen.
TRect ScreenClipBox(win::HWND wnd) {
    win::RECT wr{};
    win::GetWindowRect(wnd, &wr);
    win::RECT clip{};
    const win::HDC dc = win::GetWindowDC(wnd);
    win::GetClipBox(dc, &clip);
    win::ReleaseDC(wnd, dc);
    return {wr.left + clip.left, wr.top + clip.top, wr.left + clip.right, wr.top + clip.bottom};
}

// The window a control's glow belongs to: its form's, or the form's parent when the form sits
// inside another window.
win::HWND GlowParent(TControl* c) {
    TCustomForm* f = GetParentForm(c);
    if (!f) return nullptr;
    if (TWinControl* p = f->Parent(); p && p->HandleAllocated()) return p->Handle();
    return f->HandleAllocated() ? f->Handle() : nullptr;
}

}  // namespace

void ShowGlowingIfNeeded(TsCommonData* data, bool onlyWhenNone, win::HWND wnd) {
    if (!data) return;
    TsSkinManager* m = data->GetSkinManager();
    const TsGeneralData* s = data->Section();
    if (!m || !m->AllowGlowing() || !s || s->GlowCount < 1) return;
    TControl* c = data->OwnerControl();
    if (!c) {
        if (!wnd) return;
        HideGlowOf(data);
        win::RECT r{};
        win::GetWindowRect(wnd, &r);
        data->GlowID =
            Neighbours().ShowGlow(ToTRect(r), ToTRect(r), data->SkinSection(), m,
                                  win::GetAncestor(wnd, win::GA_ROOT), 255, s->GlowMargin, "GLOW");
        return;
    }
    TWinControl* w = Windowed(c);
    const bool held = win::GetKeyState(win::VK_LBUTTON) < 0 &&
                      (!w || !w->HandleAllocated() || win::GetCapture() == w->Handle());
    if (!data->MouseAbove || held) {
        HideGlowOf(data);
        return;
    }
    if (onlyWhenNone && data->GlowID != -1) return;
    TRect r, clip;
    if (w) {
        if (!w->HandleAllocated()) return;
        win::RECT wr{};
        win::GetWindowRect(w->Handle(), &wr);
        r = ToTRect(wr);
        clip = ScreenClipBox(w->Handle());
    } else {
        const TPoint o = c->ClientToScreen({0, 0});
        r = {o.X, o.Y, o.X + c->Width(), o.Y + c->Height()};
        clip = r;
        if (TWinControl* p = c->Parent(); p && p->HandleAllocated())
            clip = Intersection(r, ScreenClipBox(p->Handle()));
    }
    // A glow shown before would stay on screen with nobody to hide it.
    HideGlowOf(data);
    data->GlowID = Neighbours().ShowGlow(r, clip, data->SkinSection(), m, GlowParent(c), 255,
                                         s->GlowMargin, "GLOW");
}

// --- the skin commands ---

namespace {

// Command 2: the skin is gone; edits take the plain window colours back.
void RemoveSkin(TsCommonData* d, TBitmap* cache) {
    TControl* c = d->OwnerControl();
    // A manager being destroyed is forgotten by the state's link when it is gone.
    d->BorderIndex = d->SkinIndex = d->Texture = d->HotTexture = -1;
    d->BGChanged = true;
    if (cache) cache->SetSize(0, 0);
    if (!c) return;
    if (IsEdit(c)) {
        SetIfDifferent(c, kWindow, kWindowText, d->CustomColor(), d->CustomFont());
        RedrawFrame(c);
    } else if (TWinControl* w = Windowed(c)) {
        for (int i = 0; i < w->ControlCount(); ++i)
            if (auto* l = dynamic_cast<TLabel*>(w->Controls(i))) l->Font()->SetColor(kWindowText);
    }
}

// Command 3: the skin changed; edits take the section's colours.
void RefreshSkin(TsCommonData* d) {
    d->CacheStale = true;
    d->BGChanged = false;
    TControl* c = d->OwnerControl();
    if (IsControlSkinned(d) && c && IsEdit(c)) {
        const TsGeneralData* s = d->Section();
        SetIfDifferent(c, s->Color, s->FontColor, d->CustomColor(), d->CustomFont());
        RedrawFrame(c);
    }
    d->UpdatePlainBGFlag(false);
}

intptr_t SeeThroughAnswer(TsCommonData* d, const TsGeneralData& s) {
    TControl* c = d->OwnerControl();
    if (s.Transparency == 100 && c && c->Parent()) {
        TWinControl* p = c->Parent();
        return p->HandleAllocated() ? SendSkinCommandNoParam(p, SKC_ISSEETHROUGH) : 0;
    }
    if (s.GradientPercent + s.ImagePercent >= 1) return 1;
    return d->ShowsParentBG() ? 1 : 0;
}

void SeeThroughChanged(TsCommonData* d, bool redraw) {
    const bool shows = d->ShowsParentBG();
    d->CacheStale = d->CacheStale || shows;
    TWinControl* w = Windowed(d->OwnerControl());
    if (!w) return;
    if (redraw && w->HandleAllocated())
        win::RedrawWindow(w->Handle(), nullptr, nullptr,
                          win::RDW_INVALIDATE | win::RDW_NOINTERNALPAINT | win::RDW_NOERASE |
                              win::RDW_ALLCHILDREN);
    if (!shows) return;
    for (int i = 0; i < w->ControlCount(); ++i) {
        TControl* child = w->Controls(i);
        if (!child->ComponentState().Contains(csDestroying))
            SendSkinCommandToControl(child, SKC_SEETHROUGHCHANGED, 0);
    }
}

TColor BackgroundColorAnswer(TsCommonData* d) {
    TControl* c = d->OwnerControl();
    const TsGeneralData* s = IsControlSkinned(d) ? d->Section() : nullptr;
    TWinControl* parent = c->Parent();
    BackgroundColorQuery q;
    q.Skinned = s != nullptr;
    q.OwnerColor = c->Color();
    q.SectionColor = s ? s->Color : 0;
    q.Transparency = s ? s->Transparency : 0;
    q.HasParent = parent != nullptr;
    q.ParentColor = parent ? parent->Color() : 0;
    // A parent that does not paint through the skin answers with its own colour, not black.
    return AnswerBackgroundColor(q, [parent] { return AskControlBackColor(parent); });
}

}  // namespace

bool UpdateControlSkin(TMessage& m, TsCommonData* data) {
    if (!data) return false;
    TsSkinManager* manager = data->GetSkinManager();
    const bool ours = m.LParam == reinterpret_cast<intptr_t>(manager);
    TControl* c = data->OwnerControl();
    switch (SkinCommandCode(m.WParam)) {
        case SKC_NEWSKIN:
            if (!ours) return false;
            data->UpdateIndexes();
            data->UpdatePlainBGFlag(false);
            BroadcastingNewSkin = false;
            return false;
        case SKC_REMOVESKIN:
            if (ours) RemoveSkin(data, data->CacheBmp());
            return false;
        case SKC_REFRESH:
            if (ours) RefreshSkin(data);
            return false;
        case SKC_ISSKINAWARE:
            m.Result = 1;
            return true;
        case SKC_SETBGCHANGED:
            data->BGChanged = SkinCommandFlag(m.WParam);
            return false;
        case SKC_SETKEEPCACHE:
            data->KeepCache = SkinCommandFlag(m.WParam);
            return false;
        case SKC_ISUPDATING:
            m.Result = data->CacheStale || data->BGChanged ? 1 : 0;
            return true;
        case SKC_ISHALFVISIBLE:
            m.Result = data->HalfVisible ? 1 : 0;
            return true;
        case SKC_SETTRANSCHANGED:
            if (data->IsTransparent() && SkinCommandFlag(m.WParam)) data->CacheStale = true;
            return false;
        case SKC_INVALIDATESECTION:
            if (data->SkinSection() == RepaintSectionName) {
                BroadcastingNewSkin = false;
                if (c) c->Invalidate();
            }
            return false;
        case SKC_SETSTALE:
            data->CacheStale = true;
            return false;
        case SKC_ISSEETHROUGH: {
            const TsGeneralData* s = data->Section();
            if (data->SkinIndex < 0 || !s) return false;
            m.Result = SeeThroughAnswer(data, *s);
            m.LParam = m.Result;
            return true;
        }
        case SKC_SEETHROUGHCHANGED:
            SeeThroughChanged(data, SkinCommandFlag(m.WParam));
            return false;
        case SKC_GETBGCOLOR:
            if (!c) return false;
            m.Result = intptr_t(BackgroundColorAnswer(data));
            return true;
        case SKC_SETHALFVISIBLE:
            data->HalfVisible = true;
            return false;
        case SKC_GETSKININDEX:
            if (!m.LParam) return false;
            *reinterpret_cast<int32_t*>(m.LParam) = data->SkinIndex;
            return true;
        case SKC_GETBGINFO:
            if (m.LParam)
                data->GetBGInfo(*reinterpret_cast<BackgroundInfo*>(m.LParam), false, nullptr);
            return false;
        case SKC_PLAINBG:
            if (m.LParam == 1)
                data->UpdatePlainBGFlag(true);
            else
                m.Result = data->CtrlState;
            return true;
        case SKC_GETAPPLICATION:
            m.Result = reinterpret_cast<intptr_t>(Application());
            return false;
        default:
            return false;
    }
}

// --- the window messages ---

namespace {

void LeaveOthers(TWinControl* owner, TControl* entered, const char* onlyClass) {
    for (int i = 0; i < owner->ControlCount(); ++i) {
        TControl* child = owner->Controls(i);
        if (child == entered || child == owner ||
            (onlyClass && !child->InheritsFrom(onlyClass)) || !IsPublishedProp(child, "SkinData"))
            continue;
        auto* data = dynamic_cast<TsCommonData*>(GetObjectProp(child, "SkinData"));
        if (data && data->MouseAbove) child->Perform(CM_MOUSELEAVE);
    }
}

}  // namespace

void LeaveOtherSpeedButtons(TWinControl* owner, TControl* entered) {
    LeaveOthers(owner, entered, "TsSpeedButton");
}

void LeaveOtherSkinControls(TWinControl* owner, TControl* entered) {
    LeaveOthers(owner, entered, nullptr);
}

namespace {

void RepaintFrameNow(TsCommonData* d, TWinControl* w) {
    d->CacheStale = true;
    if (w && w->HandleAllocated()) win::SendMessage(w->Handle(), win::WM_NCPAINT, 0, 0);
}

// The mouse is over an owner while it is over the owner itself or one of its children: a child
// reports its entering and its leaving (lParam: the child) to its parent, which passes them on,
// so the mouse going from a child out of the owner leaves no owner hot. Only the control the
// mouse is over becomes the manager's active control.
void MouseEnter(TMessage& m, TsCommonData* d, TControl* owner) {
    TWinControl* w = Windowed(owner);
    const bool report = m.LParam != 0;
    if (w) LeaveOtherSpeedButtons(w, reinterpret_cast<TControl*>(m.LParam));
    const bool hot = KindHasHotState(d->COC);
    if (hot) d->MouseAbove = true;
    if (TWinControl* parent = owner->Parent())
        parent->Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(owner));
    if (!w || !DefaultManager) return;
    if (hot && !report && w->HandleAllocated()) DefaultManager->SetActiveControl(w->Handle());
    if (KindShowsGlow(d->COC)) ShowGlowingIfNeeded(d, false, nullptr);
    if (KindRepaintsFrame(d->COC)) RepaintFrameNow(d, w);
}

void MouseLeave(TMessage&, TsCommonData* d, TControl* owner) {
    if (TWinControl* parent = owner->Parent())
        parent->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(owner));
    if (KindHasHotState(d->COC)) d->MouseAbove = false;
    if (KindShowsGlow(d->COC)) {
        Neighbours().ClearGlows();
        d->GlowID = -1;  // every glow window is gone, this one's too
    }
    if (owner->Visible() && KindRepaintsFrame(d->COC)) RepaintFrameNow(d, Windowed(owner));
}

}  // namespace

bool CommonWndProc(TMessage& m, TsCommonData* data) {
    if (!data) return false;
    if (m.Msg == SM_ALPHACMD) return UpdateControlSkin(m, data);
    TControl* owner = data->OwnerControl();
    if (!owner) return false;
    TWinControl* w = Windowed(owner);
    switch (m.Msg) {
        case win::WM_UPDATEUISTATE:
            return IsControlSkinned(data);
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS:
            if (w && w->TabStop()) {
                const bool set = m.Msg == win::WM_SETFOCUS;
                data->CacheStale = true;
                data->Focused = set;
                if (KindRepaintsFrame(data->COC) && (set || owner->Visible())) RedrawFrame(owner);
            }
            return false;
        case win::WM_MOVE:
            if (data->ShowsParentBG()) {
                data->CacheStale = true;
                owner->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_SEETHROUGHCHANGED, 1), 0);
            }
            HideGlowOf(data);
            return false;
        case win::WM_SIZE:
            if (IsControlSkinned(data)) {
                data->CacheStale = true;
                const TsGeneralData* s = data->Section();
                if (w && s->GradientPercent > 0) {
                    // A gradient moves under every child that keeps its place.
                    for (int i = 0; i < w->ControlCount(); ++i) {
                        TControl* child = w->Controls(i);
                        if (child->ComponentState().Contains(csDestroying) ||
                            child->Anchors().Contains(akRight) ||
                            child->Anchors().Contains(akBottom))
                            continue;
                        child->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_SEETHROUGHCHANGED, 1), 0);
                    }
                }
            }
            HideGlowOf(data);
            return false;
        case win::WM_FONTCHANGE:
        case CM_ENABLEDCHANGED:
            data->MouseAbove = false;
            data->Focused = false;
            if (!owner->Enabled()) HideGlowOf(data);
            return false;
        case win::WM_CONTEXTMENU:
            if (TsSkinManager* mgr = data->GetSkinManager(); mgr && owner->PopupMenu())
                Neighbours().SetMenuOwnerDraw(mgr->SkinableMenus(), owner->PopupMenu(),
                                              mgr->SkinnedPopups());
            return false;
        case win::WM_PARENTNOTIFY:
            if (w && (m.WParam & 0xFFFF) == win::WM_CREATE) NotifyParentForm(owner);
            return false;
        case CM_VISIBLECHANGED:
            if (TBitmap* cache = data->CacheBmp()) {
                if (m.WParam == 0) {
                    cache->SetSize(0, 0);
                } else {
                    data->BGChanged = false;
                    data->CacheStale = true;
                }
            }
            return false;
        case CM_MOUSEENTER:
            if (!owner->ComponentState().Contains(csDesigning)) MouseEnter(m, data, owner);
            return false;
        case CM_MOUSELEAVE:
            if (!owner->ComponentState().Contains(csDesigning)) MouseLeave(m, data, owner);
            return false;
        default:
            return false;
    }
}

// --- cache to screen ---

namespace {

void BlitCache(TsCommonData* d, TPoint src, win::HDC dc, const TRect& r) {
    win::BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), d->CacheBmp()->Canvas()->Handle(), src.X,
                src.Y, win::SRCCOPY);
}

}  // namespace

void CopyCacheBorderToDC(TControl* control, TsCommonData* data, TPoint src, int dx, int dy,
                         bool repaint, win::HDC dc, const TRect& r) {
    if (!data || !data->CacheBmp() || !dc) return;
    if (repaint) Neighbours().RepaintCacheBorders(data);
    const int saved = win::SaveDC(dc);
    win::IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    if (TWinControl* w = Windowed(control)) {
        for (int i = 0; i < w->ControlCount(); ++i) {
            TControl* child = w->Controls(i);
            if (!child->Visible()) continue;
            const bool paintsItself = dynamic_cast<TGraphicControl*>(child) ||
                                      child->ComponentState().Contains(csDesigning) ||
                                      child->ControlStyle.Contains(csOpaque);
            const TRect b = child->BoundsRect();
            const TRect cut = Intersection(b, r);
            if (!paintsItself || cut.Width() <= 0 || cut.Height() <= 0) continue;
            win::ExcludeClipRect(dc, b.Left + dx, b.Top + dy, b.Right + dx, b.Bottom + dy);
        }
    }
    BlitCache(data, src, dc, r);
    win::RestoreDC(dc, saved);
}

void CopyCacheBorderToWndDC(win::HWND wnd, TsCommonData* data, TPoint src, int dx, int dy,
                            bool repaint, win::HDC dc, const TRect& r) {
    if (!data || !data->CacheBmp() || !dc) return;
    if (repaint) Neighbours().RepaintCacheBorders(data);
    const int saved = win::SaveDC(dc);
    win::IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    for (win::HWND child = win::GetTopWindow(wnd); child;
         child = win::GetWindow(child, win::GW_HWNDNEXT)) {
        if (!win::IsWindowVisible(child)) continue;
        win::RECT wr{};
        win::GetWindowRect(child, &wr);
        win::POINT tl{wr.left, wr.top}, br{wr.right, wr.bottom};
        win::ScreenToClient(wnd, &tl);
        win::ScreenToClient(wnd, &br);
        const TRect b{tl.x + dx, tl.y + dy, br.x + dx, br.y + dy};
        const auto style = win::GetWindowLongPtr(child, win::GWL_STYLE);
        const auto exStyle = win::GetWindowLongPtr(child, win::GWL_EXSTYLE);
        char cls[16] = {};
        win::GetClassNameA(child, cls, sizeof cls);
        const bool groupBox = std::string_view(cls) == "Button" && (style & 0xF) == 7 &&
                              !(exStyle & win::WS_EX_CLIENTEDGE);
        if (!groupBox) {
            win::ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
            continue;
        }
        // Of a group box only the frame covers the cache: its caption band and its borders.
        if (!DefaultManager) continue;
        const int mask = DefaultManager->GetMaskIndexByNames("GROUPBOX", "BORDERSMASK");
        const BorderWidths bw = BordersOf(DefaultManager, mask);
        const int top = int(SendSkinCommand(child, SKC_GETCAPTIONHEIGHT, 0));
        win::ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Top + top);
        win::ExcludeClipRect(dc, b.Left, b.Top, b.Left + bw.L, b.Bottom);
        win::ExcludeClipRect(dc, b.Right - bw.R, b.Top, b.Right, b.Bottom);
        win::ExcludeClipRect(dc, b.Left, b.Bottom - bw.B, b.Right, b.Bottom);
    }
    BlitCache(data, src, dc, r);
    win::RestoreDC(dc, saved);
}

// --- TsBoundLabel ---

std::vector<TPropInfo> TsBoundLabel::Published() {
    using B = TsBoundLabel;
    return {Property("Active", &B::Active, &B::SetActive),
            Property("Caption", &B::Caption, &B::SetCaption),
            Property("Indent", &B::Indent, &B::SetIndent),
            Property("Font", &B::Font, &B::SetFont),
            Property("Layout", &B::Layout, &B::SetLayout),
            Property("MaxWidth", &B::MaxWidth, &B::SetMaxWidth),
            Property("UseSkinColor", &B::UseSkinColor, &B::SetUseSkinColor)};
}

TsBoundLabel::TsBoundLabel(TsCommonData* owner) : owner_(owner), font_(std::make_unique<TFont>()) {}

TsBoundLabel::~TsBoundLabel() {
    SetActive(false);
}

TControl* TsBoundLabel::Edit() const {
    return owner_ ? owner_->OwnerControl() : nullptr;
}

TPersistent* TsBoundLabel::GetOwner() const {
    return owner_;
}

void TsBoundLabel::LabelGone(TCustomLabel* label) {
    if (label != label_) return;
    label_ = nullptr;
    active_ = false;
}

void TsBoundLabel::SetActive(bool on) {
    if (on == active_) return;
    TControl* edit = Edit();
    if (!on) {
        active_ = false;
        if (TCustomLabel* l = std::exchange(label_, nullptr)) l->Free();
        return;
    }
    if (!edit) return;
    active_ = true;
    if (!label_) label_ = Neighbours().CreateEditLabel(edit, this);
    TCustomLabel* l = label_;
    l->SetVisible(false);
    if (fontSet_) l->SetFont(font_.get());
    l->SetParent(edit->Parent());
    if (auto* w = dynamic_cast<TWinControl*>(edit)) l->FocusControl = w;
    UpdateAlignment();
    l->SetName(edit->Name() + "Label");
    if (caption_.empty()) caption_ = edit->Text();
    l->SetCaption(caption_);
    l->SetVisible(edit->Visible() || edit->ComponentState().Contains(csDesigning));
    AlignLabel();
}

void TsBoundLabel::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (active_ && label_) {
        label_->SetCaption(caption);
        AlignLabel();
    }
}

TFont* TsBoundLabel::Font() const {
    return label_ ? label_->Font() : font_.get();
}

void TsBoundLabel::SetFont(const TFont* font) {
    // The own font always, so a label made later takes it too.
    font_->Assign(font);
    fontSet_ = true;
    if (!label_) return;
    label_->SetFont(font);
    if (TControl* edit = Edit()) label_->SetParent(edit->Parent());
    AlignLabel();
}

void TsBoundLabel::SetIndent(int indent) {
    if (indent == indent_) return;
    indent_ = indent;
    if (active_) AlignLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    UpdateAlignment();
    if (active_) AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int width) {
    if (width == maxWidth_) return;
    maxWidth_ = width;
    if (active_) AlignLabel();
}

bool TsBoundLabel::UseSkinColor() const {
    if (!label_ || !IsPublishedProp(label_, "UseSkinColor")) return true;
    return GetOrdProp(label_, "UseSkinColor") != 0;
}

void TsBoundLabel::SetUseSkinColor(bool on) {
    if (label_ && IsPublishedProp(label_, "UseSkinColor")) SetOrdProp(label_, "UseSkinColor", on);
}

void TsBoundLabel::UpdateAlignment() {
    if (!label_) return;
    label_->SetAlignment(layout_ == sclTopLeft     ? taLeftJustify
                         : layout_ == sclTopCenter ? taCenter
                                                   : taRightJustify);
}

void TsBoundLabel::AlignLabel() {
    TControl* edit = Edit();
    if (!label_ || !edit || !label_->Visible()) return;
    TCustomLabel* l = label_;
    l->SetParent(edit->Parent());
    l->SetAutoSize(true);
    // A wrapped label is placed by the size it wraps to.
    if (maxWidth_ != 0) {
        l->SetAutoSize(false);
        l->SetWidth(maxWidth_);
        l->SetWordWrap(true);
        l->SetHeight(std::max(l->Height(), edit->Height()));
    }
    int x = edit->Left(), y = edit->Top() - l->Height() - indent_;
    switch (layout_) {
        case sclLeft:
            x = edit->Left() - l->Width() - 4 - indent_;
            y = edit->Top() + (edit->Height() - l->Height()) / 2 - 1;
            break;
        case sclTopLeft:
            break;
        case sclTopCenter:
            x = edit->Left() + (edit->Width() - l->Width()) / 2;
            break;
        case sclTopRight:
            x = edit->Left() + edit->Width() - l->Width();
            break;
    }
    l->SetBounds(x, y, l->Width(), l->Height());
}

void TsBoundLabel::FollowEdit(const TMessage& m, TsDisabledKind disabledKind) {
    TControl* edit = Edit();
    if (!label_ || !edit) return;
    switch (m.Msg) {
        case CM_VISIBLECHANGED:
            label_->SetVisible(edit->Visible());
            break;
        case CM_ENABLEDCHANGED:
            label_->SetEnabled(edit->Enabled() || !disabledKind.Contains(dkBlended));
            break;
        case CM_BIDIMODECHANGED:  // one reading order only
        case win::WM_SIZE:
        case win::WM_WINDOWPOSCHANGED:
            break;
        default:
            return;
    }
    AlignLabel();
}

}  // namespace skin
