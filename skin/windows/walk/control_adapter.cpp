#include "skin/windows/walk/control_adapter.h"

#include <array>

#include "skin/controls/frame_adapter.h"
#include "skin/controls/labels.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/speed_button_handler.h"
#include "skin/windows/adapters/window_adapter.h"
#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/scroll/grid_wnd.h"
#include "skin/windows/walk/date_time_adapter.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/system/string_list.h"

namespace skin {

using vcl::TComponent;
using vcl::TControl;
using vcl::TWinControl;

namespace {

// The library's own helper windows carry this tag and are never adapted.
constexpr intptr_t kHelperTag = -98;
// A label with this tag keeps its colours when met as an owned component.
constexpr intptr_t kKeepLabelTag = 98;
constexpr int kItemKind = 227;

// Starts with the adapters of this layer's reach: edits and grids (the grid-with-extras list
// gets the same grid adapter).
std::array<TacAdapterFactory, tgCount>& Factories() {
    static std::array<TacAdapterFactory, tgCount> table = [] {
        std::array<TacAdapterFactory, tgCount> t;
        t[tgEdits] = EditAdapterFactory();
        t[tgGrids] = AdapterFactoryOf<TacGridWnd>();
        t[tgGridEh] = AdapterFactoryOf<TacGridWnd>();
        return t;
    }();
    return table;
}

// A walk is running somewhere: messages sent during it must not start another.
bool walkRunning = false;

bool SkinAware(TWinControl* c) {
    return c->HandleAllocated() && SendSkinCommand(c->Handle(), SKC_ISSKINAWARE, 0) != 0;
}

constexpr char kFrameSection[] = "GROUPBOX";
constexpr char kSpeedSection[] = "SPEEDBUTTON";
constexpr char kFlatSpeedSection[] = "SPEEDBUTTON_SMALL";

}  // namespace

void SetThirdPartyAdapterFactory(int group, TacAdapterFactory factory) {
    if (group >= 0 && group < tgCount) Factories()[group] = std::move(factory);
}

const TacAdapterFactory& ThirdPartyAdapterFactory(int group) {
    static const TacAdapterFactory none;
    return group >= 0 && group < tgCount ? Factories()[group] : none;
}

int FindThirdPartyGroup(TsSkinManager* manager, const std::string& className) {
    if (manager == nullptr) return -1;
    for (int g = 0; g < tgCount; ++g) {
        vcl::TStringList* list = manager->ThirdLists(g);
        if (list == nullptr) continue;
        for (int i = 0; i < list->Count(); ++i)
            if (list->Get(i) == className) return g;
    }
    return -1;
}

// ---- TacAdapterItem ----

TacAdapterItem::TacAdapterItem(TacCtrlAdapter* owner) : OwnerAdapter(owner) {}

TacAdapterItem::~TacAdapterItem() {
    if (ScrollWnd) FreeAdapter(ScrollWnd);
}

bool TacAdapterItem::Dead() const { return ScrollWnd == nullptr || ScrollWnd->Unhooked; }

void TacAdapterItem::AttachAdapter(TWinControl* c) {
    if (c == nullptr || c->Tag() == kHelperTag || !c->HandleAllocated() ||
        c->Parent() == nullptr || SkinAware(c))
        return;
    Ctrl = c;
    std::string section = SkinData ? SkinData->SkinSection() : std::string();
    SkinData = std::make_unique<TsCommonData>(c, true);
    SkinData->COC = kItemKind;
    if (!section.empty()) SkinData->SetSkinSection(section);
    TsSkinManager* manager = SkinData->SkinManager();
    if (manager == nullptr) return;
    const int group = FindThirdPartyGroup(manager, c->ClassName());
    if (group < 0) return;
    if (const TacAdapterFactory& make = ThirdPartyAdapterFactory(group))
        ScrollWnd = make(c->Handle(), SkinData.get(), manager, SkinData->SkinSection());
    // A control met after the skin was loaded takes the skin's colours now, not at the next
    // skin change.
    if (ScrollWnd && manager->Active())
        SendSkinCommand(c->Handle(), SKC_REFRESH, reinterpret_cast<intptr_t>(manager));
}

// ---- TacCtrlAdapter ----

TacCtrlAdapter::TacCtrlAdapter(TsSkinProviderBase* provider) : Provider(provider) {}

TacCtrlAdapter::~TacCtrlAdapter() {
    if (AdapterItemsFreeing) return;  // a nested free does nothing
    RemoveDeadItems();
    AdapterItemsFreeing = true;
    while (!items_.empty()) items_.pop_back();
    while (!graphItems_.empty()) graphItems_.pop_back();
    AdapterItemsFreeing = false;
}

TacGraphItem* TacCtrlAdapter::GetGraphItem(int index) const {
    return index >= 0 && index < GraphCount() ? graphItems_[index].get() : nullptr;
}

TacAdapterItem* TacCtrlAdapter::GetItem(int index) const {
    return index >= 0 && index < Count() ? items_[index].get() : nullptr;
}

void TacCtrlAdapter::RemoveItem(int index) {
    if (index < 0 || index >= Count()) return;
    std::swap(items_[index], items_.back());
    items_.pop_back();
}

void TacCtrlAdapter::RemoveDeadItems() {
    std::erase_if(items_, [](const std::unique_ptr<TacAdapterItem>& i) { return !i || i->Dead(); });
    std::erase_if(graphItems_, [](const std::unique_ptr<TacGraphItem>& i) { return !i || i->Dead(); });
}

bool TacCtrlAdapter::AskSkinItem(TComponent* c, std::string& section) {
    bool can = true;
    if (OnSkinItem) OnSkinItem(c, can, section);
    return can;
}

bool TacCtrlAdapter::IsControlSupported(TControl* c) {
    if (c == nullptr || c->Tag() == kHelperTag) return false;
    TsSkinManager* m = Provider ? Provider->SkinManager() : DefaultManager;
    std::string section;
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (!w->HandleAllocated() || SkinAware(w)) return false;
        if (dynamic_cast<vcl::TCustomFrame*>(w)) return AskSkinItem(w, section);
        return FindThirdPartyGroup(m, w->ClassName()) >= 0;
    }
    if (dynamic_cast<vcl::TCustomLabel*>(c)) return AskSkinItem(c, section);
    if (dynamic_cast<vcl::TSpeedButton*>(c))
        return FindThirdPartyGroup(m, c->ClassName()) >= 0 && AskSkinItem(c, section);
    return false;
}

void TacCtrlAdapter::AddNewItem(TWinControl* c, const std::string& sectionIn) {
    if (c == nullptr || c->Tag() == kHelperTag || c->Parent() == nullptr || SkinAware(c)) return;
    std::string section = sectionIn;
    if (!AskSkinItem(c, section)) return;
    // A frame paints itself through an adapter component it owns, always as a group box.
    if (dynamic_cast<vcl::TCustomFrame*>(c)) {
        vcl::New<TsFrameAdapter>(c)->SkinData()->SetSkinSection(kFrameSection);
        return;
    }
    TacAdapterItem* item = nullptr;
    for (auto& i : items_)
        if (i && i->Ctrl == c) item = i.get();
    const bool fresh = item == nullptr;
    if (fresh) {
        items_.push_back(std::make_unique<TacAdapterItem>(this));
        item = items_.back().get();
        item->Ctrl = c;
        item->SkinData = std::make_unique<TsCommonData>(c, true);
        item->SkinData->COC = kItemKind;
    }
    // No name leaves the section to the adapter (an edit paints as "EDIT"); the skin state
    // would store an empty one as "UNKNOWN", which no skin has.
    if (!section.empty()) item->SkinData->SetSkinSection(section);
    if (!fresh) {
        if (item->ScrollWnd && item->ScrollWnd->Unhooked) {
            FreeAdapter(item->ScrollWnd);
            if (c->Parent()) item->AttachAdapter(c);
        }
        return;
    }
    item->AttachAdapter(c);
    if (item->ScrollWnd == nullptr) items_.pop_back();
}

void TacCtrlAdapter::AddGraphItem(vcl::TSpeedButton* b) {
    if (b == nullptr || b->Tag() == kHelperTag || b->Parent() == nullptr ||
        SendSkinCommandToControl(b, SKC_ISSKINAWARE, 0) == 1)
        return;
    std::string section = kSpeedSection;
    if (!AskSkinItem(b, section)) return;
    TacGraphItem* item = nullptr;
    for (auto& i : graphItems_)
        if (i && i->Ctrl == b) item = i.get();
    const bool fresh = item == nullptr;
    if (fresh) {
        graphItems_.push_back(std::make_unique<TacGraphItem>());
        item = graphItems_.back().get();
        item->OwnerAdapter = this;
        item->Ctrl = b;
    }
    // The button's flatness decides; a section the application named is not used.
    item->SkinData->SetSkinSection(b->Flat() ? kFlatSpeedSection : kSpeedSection);
    if (!fresh) {
        if (item->Handler && item->Handler->Destroyed) {
            item->FreeHandler();
            item->AttachHandler(b);
        }
        return;
    }
    item->AttachHandler(b);
    if (item->Handler == nullptr) graphItems_.pop_back();
}

void TacCtrlAdapter::SendToItems(vcl::TMessage& m) {
    // Sending may run handlers that walk again; go by index over what is there now.
    for (size_t i = 0; i < items_.size(); ++i) {
        TacAdapterItem* item = items_[i].get();
        if (item == nullptr || item->Dead() || item->Ctrl->Parent() == nullptr) continue;
        win::SendMessageA(item->ScrollWnd->CtrlHandle, m.Msg, m.WParam, m.LParam);
    }
}

void TacCtrlAdapter::SkinLabel(TControl* label) {
    auto* l = dynamic_cast<vcl::TCustomLabel*>(label);
    if (l == nullptr || dynamic_cast<TsCustomLabel*>(l)) return;
    l->SetTransparent(true);
    if (DefaultManager) l->Font()->SetColor(DefaultManager->GetGlobalFontColor());
}

void TacCtrlAdapter::AddAllItems(TWinControl* parent) {
    if (walkRunning) return;
    TsSkinManager* m = Provider ? Provider->SkinManager() : nullptr;
    if (m == nullptr || !m->SkinningRules().Contains(srThirdParty)) return;
    if (parent == nullptr && Provider) parent = Provider->Form();
    if (parent == nullptr) return;
    RemoveDeadItems();
    Walk(parent);
}

void TacCtrlAdapter::Walk(TWinControl* parent) {
    walkRunning = true;
    auto descend = [this](TComponent* c) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->HandleAllocated() && w->Parent()) {
            walkRunning = false;
            Walk(w);
            walkRunning = true;
        }
    };
    for (int i = 0; i < parent->ComponentCount(); ++i) {
        TComponent* c = parent->Components(i);
        auto* control = dynamic_cast<TControl*>(c);
        if (control && IsControlSupported(control)) {
            if (auto* w = dynamic_cast<TWinControl*>(control))
                AddNewItem(w, "");
            else if (control->Tag() != kKeepLabelTag)
                SkinLabel(control);
        }
        descend(c);
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (IsControlSupported(c)) {
            if (auto* w = dynamic_cast<TWinControl*>(c))
                AddNewItem(w, "");
            else if (auto* b = dynamic_cast<vcl::TSpeedButton*>(c))
                AddGraphItem(b);
            else if (c->Tag() != kKeepLabelTag)
                SkinLabel(c);
        }
        descend(c);
    }
    walkRunning = false;
}

}  // namespace skin
