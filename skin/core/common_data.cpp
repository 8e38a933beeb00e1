#include "skin/core/common_data.h"

#include <algorithm>

#include "platform/user/user.h"
#include "vcl/controls/controls.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/sysutils.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsCommonData::Published() {
    using D = TsCommonData;
    return {Property("SkinSection", &D::SkinSection, &D::SetSkinSection),
            Property("CustomColor", &D::CustomColor, &D::SetCustomColor),
            Property("CustomFont", &D::CustomFont, &D::SetCustomFont)};
}

TsCommonData::TsCommonData(TObject* owner, bool createCache)
    : ownerControl_(dynamic_cast<TControl*>(owner)), ownerObject_(owner) {
    if (createCache) {
        cacheBmp_ = new TBitmap;
        cacheBmp_->SetPixelFormat(pf24bit);
    }
}

TsCommonData::~TsCommonData() {
    delete cacheBmp_;
}

TPersistent* TsCommonData::GetOwner() const {
    return ownerControl_;
}

void TsCommonData::SetSkinSection(const std::string& name) {
    if (name == skinSection_) return;
    skinSection_ = name.empty() ? "UNKNOWN" : AnsiUpperCase(name);
    Invalidate();
}

void TsCommonData::SetCustomColor(bool on) {
    if (on == customColor_) return;
    customColor_ = on;
    Invalidate();
}

void TsCommonData::SetCustomFont(bool on) {
    if (on == customFont_) return;
    customFont_ = on;
    Invalidate();
}

void TsCommonData::Loaded() {
    if (skinSection_.empty()) {
        std::string s = DefaultSectionForKind(COC);
        if (s.empty() && ownerObject_) s = ownerObject_->ClassName();
        skinSection_ = AnsiUpperCase(s);
    }
    CacheStale = true;
}

void TsCommonData::Invalidate() {
    if (!ownerControl_) return;
    const TComponentState st = ownerControl_->ComponentState();
    if (st.Contains(csDestroying) || st.Contains(csLoading)) return;
    CacheStale = true;
    ownerControl_->Invalidate();
}

void TsCommonData::InitCacheBmp() {
    if (!cacheBmp_) {
        cacheBmp_ = new TBitmap;
        cacheBmp_->SetPixelFormat(pf24bit);
    }
    if (!ownerControl_) return;
    const int w = std::max(ownerControl_->Width(), 0), h = std::max(ownerControl_->Height(), 0);
    if (cacheBmp_->Width() != w || cacheBmp_->Height() != h) cacheBmp_->SetSize(w, h);
}

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

namespace {

// Rule 3: the windowed owner heard `entered` report the mouse.
void LeaveOtherSpeedButtons(TWinControl* owner, TControl* entered) {
    for (int i = 0; i < owner->ControlCount(); ++i) {
        TControl* child = owner->Controls(i);
        if (child == entered || !child->InheritsFrom("TsSpeedButton") ||
            !IsPublishedProp(child, "SkinData"))
            continue;
        auto* data = dynamic_cast<TsCommonData*>(GetObjectProp(child, "SkinData"));
        if (data && data->MouseAbove) child->Perform(CM_MOUSELEAVE);
    }
}

}  // namespace

bool CommonWndProc(TMessage& m, TsCommonData* data) {
    if (!data) return false;
    TControl* owner = data->OwnerControl();
    if (!owner) return false;
    switch (m.Msg) {
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS:
            if (auto* w = dynamic_cast<TWinControl*>(owner); w && w->TabStop()) {
                data->CacheStale = true;
                data->Focused = m.Msg == win::WM_SETFOCUS;
            }
            break;
        case CM_ENABLEDCHANGED:
            data->MouseAbove = false;
            data->Focused = false;
            break;
        case CM_VISIBLECHANGED:
            if (TBitmap* cache = data->CacheBmp()) {
                if (m.WParam == 0) {
                    cache->SetSize(0, 0);
                } else {
                    data->BGChanged = false;
                    data->CacheStale = true;
                }
            }
            break;
        case CM_MOUSEENTER: {
            if (owner->ComponentState().Contains(csDesigning)) break;
            if (auto* w = dynamic_cast<TWinControl*>(owner); w && m.LParam)
                LeaveOtherSpeedButtons(w, reinterpret_cast<TControl*>(m.LParam));
            if (m.LParam) break;
            if (KindHasHotState(data->COC)) data->MouseAbove = true;
            if (TWinControl* parent = owner->Parent())
                parent->Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(owner));
            break;
        }
        case CM_MOUSELEAVE:
            if (m.LParam == 0 && KindHasHotState(data->COC)) data->MouseAbove = false;
            break;
        default:
            break;
    }
    return false;
}

}  // namespace skin
