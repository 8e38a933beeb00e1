// The window adapter base and the links that put adapters into windows' procedure chains.
#include "skin/windows/adapters/window_adapter.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "skin/core/state/common_data.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "vcl/controls/forms.h"

namespace skin {

bool DialogChildMode = false;
bool AdapterItemsFreeing = false;

namespace {

// Plain windows get one of these procedures per adapter layer, so that each layer of a window
// has a procedure of its own to compare GWL_WNDPROC with.
constexpr int kThunkSlots = 16;

enum class LinkKind { Plain, Control, Provider };

}  // namespace

std::string WindowCaption(win::HWND wnd) {
    char buffer[1001] = {};
    int n = win::GetWindowTextA(wnd, buffer, sizeof buffer);
    return std::string(buffer, std::max(0, n));
}

class AdapterLink {
public:
    TacMainWnd* adapter = nullptr;  // null: a pass-through to the saved procedure
    win::HWND wnd = nullptr;
    LinkKind kind = LinkKind::Plain;
    vcl::TControl* control = nullptr;
    TsSkinProviderBase* provider = nullptr;
    vcl::TWndMethod old;
    win::WNDPROC oldProc = nullptr;
    int slot = -1;
    int depth = 0;
    bool dead = false;  // out of the chain; freed once no call of it is running
    bool adapterGone = false;  // the adapter was deleted while this link ran its message

    vcl::TWndMethod Mine() { return vcl::TWndMethod(this, &AdapterLink::WndProc); }
    void WndProc(vcl::TMessage& m);
    void PassOn(vcl::TMessage& m);
    bool OnTop();
    // Takes the link out of the chain (it must be on top) and frees it when idle.
    void Remove();
    void ReleaseAtDestroy();
};

namespace {

std::vector<std::unique_ptr<AdapterLink>>& Links() {
    static std::vector<std::unique_ptr<AdapterLink>> links;
    return links;
}

std::map<std::pair<int, win::HWND>, AdapterLink*>& PlainLinks() {
    static std::map<std::pair<int, win::HWND>, AdapterLink*> table;
    return table;
}

void FreeLink(AdapterLink* l) {
    if (l->slot >= 0) PlainLinks().erase({l->slot, l->wnd});
    auto& links = Links();
    auto it = std::find_if(links.begin(), links.end(), [l](auto& p) { return p.get() == l; });
    if (it != links.end()) links.erase(it);
}

win::LRESULT DispatchPlain(int slot, win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    auto it = PlainLinks().find({slot, h});
    if (it == PlainLinks().end()) return win::DefWindowProcA(h, msg, wp, lp);
    vcl::TMessage m{msg, wp, lp, 0};
    it->second->WndProc(m);
    return m.Result;
}

template <int N>
win::LRESULT ThunkProc(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    return DispatchPlain(N, h, msg, wp, lp);
}

template <int... N>
constexpr std::array<win::WNDPROC, sizeof...(N)> MakeThunks(std::integer_sequence<int, N...>) {
    return {&ThunkProc<N>...};
}

constexpr std::array<win::WNDPROC, kThunkSlots> kThunks =
    MakeThunks(std::make_integer_sequence<int, kThunkSlots>{});

TsSkinProviderBase* ProviderOf(const TsCommonData* data) {
    return data ? dynamic_cast<TsSkinProviderBase*>(data->OwnerObject()) : nullptr;
}

}  // namespace

void AdapterLink::WndProc(vcl::TMessage& m) {
    ++depth;
    TacMainWnd* a = adapter;
    if (a != nullptr && !a->Unhooked) {
        ++a->depth_;
        AdapterLink* outer = a->dispatching_;
        a->dispatching_ = this;
        adapterGone = false;
        a->AdapterWindowProc(m);
        if (!adapterGone) {
            a->dispatching_ = outer;
            if (--a->depth_ == 0 && a->freePending_) delete a;
        }
    } else {
        PassOn(m);
    }
    // Released while this message still counts, so the release never frees the link under
    // its own feet; the outermost message frees it below.
    if (m.Msg == win::WM_NCDESTROY && !dead) ReleaseAtDestroy();
    --depth;
    if (depth == 0 && dead) FreeLink(this);
}

void AdapterLink::PassOn(vcl::TMessage& m) {
    if (kind == LinkKind::Plain) {
        m.Result = oldProc ? win::CallWindowProcA(oldProc, wnd, m.Msg, m.WParam, m.LParam)
                           : win::DefWindowProcA(wnd, m.Msg, m.WParam, m.LParam);
    } else {
        old(m);
    }
}

bool AdapterLink::OnTop() {
    switch (kind) {
        case LinkKind::Plain:
            return win::IsWindow(wnd) &&
                   reinterpret_cast<win::WNDPROC>(win::GetWindowLongPtrA(wnd, win::GWL_WNDPROC)) ==
                       kThunks[size_t(slot)];
        case LinkKind::Control:
            return control->WindowProc == Mine();
        case LinkKind::Provider:
            return provider->SavedFormProc() == Mine();
    }
    return false;
}

void AdapterLink::Remove() {
    switch (kind) {
        case LinkKind::Plain:
            win::SetWindowLongPtrA(wnd, win::GWL_WNDPROC, reinterpret_cast<intptr_t>(oldProc));
            break;
        case LinkKind::Control:
            control->WindowProc = old;
            break;
        case LinkKind::Provider:
            provider->SetSavedFormProc(old);
            break;
    }
    dead = true;
    if (depth == 0) FreeLink(this);
}

void AdapterLink::ReleaseAtDestroy() {
    if (adapter != nullptr && !adapter->Unhooked) adapter->Unhook(false);
    adapter = nullptr;
    if (dead) return;
    // A plain window's procedures die with it; a control outlives its window and still calls
    // a link something else put itself on top of.
    if (kind == LinkKind::Plain) {
        dead = true;
    } else if (OnTop()) {
        Remove();
    }
}

TacMainWnd::TacMainWnd() = default;

TacMainWnd::~TacMainWnd() {
    // Deleted directly inside its own message (FreeAdapter would have waited): the link must
    // not touch it again.
    if (dispatching_ != nullptr) dispatching_->adapterGone = true;
    if (!Unhooked) {
        // Only the base's RestoreStdParams can run here; FreeAdapter unhooks with the adapter's
        // own first.
        Unhook(false, AdapterItemsFreeing && !RemovingSkin);
    }
    if (OwnSkinData) delete SkinData;
    SkinData = nullptr;
    SkinManager = nullptr;
}

void TacMainWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                const std::string& section, bool /*flag*/) {
    CtrlHandle = wnd;
    if (section != "DIALOG") win::SetWindowTheme(wnd, u" ", u" ");
    SkinManager = manager;
    Unhooked = false;
    if (skinData != nullptr) {
        SkinData = skinData;
        if (SkinManager == nullptr) SkinManager = skinData->SkinManager();
    } else {
        SkinData = new TsCommonData(nullptr, true);
        OwnSkinData = true;
        if (manager) SkinData->SetSkinManager(manager);
    }
    SkinData->SetCustomFont(false);
    if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(section);
    InDialog = DialogChildMode;
    SaveStdParams();
    ParamsSet = false;
    Caption = WindowCaption(wnd);
    Bind();
    if (vcl::TControl* c = SkinData->OwnerControl()) c->ControlStyle.Include(vcl::csOpaque);
}

void SubclassAdapterWindow(TacMainWnd* adapter, win::HWND wnd) {
    adapter->CtrlHandle = wnd;
    if (adapter->link_ != nullptr) return;  // bound already
    auto link = std::make_unique<AdapterLink>();
    link->adapter = adapter;
    link->wnd = wnd;
    vcl::TControl* control = adapter->SkinData ? adapter->SkinData->OwnerControl() : nullptr;
    if (TsSkinProviderBase* p = ProviderOf(adapter->SkinData)) {
        link->kind = LinkKind::Provider;
        link->provider = p;
        link->old = p->SavedFormProc();
        p->SetSavedFormProc(link->Mine());
    } else if (control != nullptr) {
        link->kind = LinkKind::Control;
        link->control = control;
        link->old = control->WindowProc;
        control->WindowProc = link->Mine();
    } else {
        int slot = 0;
        while (slot < kThunkSlots && PlainLinks().count({slot, wnd})) ++slot;
        if (slot == kThunkSlots || !win::IsWindow(wnd)) {
            adapter->Unhooked = true;  // no room in the chain: the window stays as it is
            return;
        }
        link->slot = slot;
        PlainLinks()[{slot, wnd}] = link.get();
        link->oldProc = reinterpret_cast<win::WNDPROC>(win::SetWindowLongPtrA(
            wnd, win::GWL_WNDPROC, reinterpret_cast<intptr_t>(kThunks[size_t(slot)])));
    }
    win::SetPropA(wnd, kAdapterProperty, adapter);
    adapter->link_ = link.get();
    Links().push_back(std::move(link));
}

void TacMainWnd::Unhook(bool redrawFrame, bool leaveWindow) {
    if (Unhooked) return;
    if (AdapterLink* l = link_) {
        link_ = nullptr;
        l->adapter = nullptr;
        if (!leaveWindow && !l->dead && l->OnTop()) l->Remove();
    }
    if (win::IsWindow(CtrlHandle)) {
        if (win::GetPropA(CtrlHandle, kAdapterProperty) == this)
            win::RemovePropA(CtrlHandle, kAdapterProperty);
    }
    Unhooked = true;
    if (leaveWindow || !win::IsWindow(CtrlHandle)) return;
    RestoreStdParams();
    if (win::IsWindowVisible(CtrlHandle)) {
        if (redrawFrame) {
            win::SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                              win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER |
                                  win::SWP_NOACTIVATE | win::SWP_FRAMECHANGED);
        } else {
            win::SendMessageA(CtrlHandle, win::WM_NCPAINT, 1, 0);
        }
    }
}

void FreeAdapter(TacMainWnd*& adapter) {
    TacMainWnd* a = adapter;
    adapter = nullptr;
    if (a == nullptr) return;
    if (!a->Unhooked) {
        bool leave = AdapterItemsFreeing && !RemovingSkin;
        if (!leave) win::SetWindowTheme(a->CtrlHandle, nullptr, nullptr);
        a->Unhook(false, leave);
    }
    if (a->depth_ > 0) {
        a->freePending_ = true;
    } else {
        delete a;
    }
}

TacMainWnd* FindWindowAdapter(win::HWND wnd) {
    if (!win::IsWindow(wnd)) return nullptr;
    return static_cast<TacMainWnd*>(win::GetPropA(wnd, kAdapterProperty));
}

int LiveAdapterLinks() {
    return int(Links().size());
}

intptr_t TacMainWnd::CallPrevWndProc(win::HWND, uint32_t msg, uintptr_t wParam, intptr_t& lParam) {
    vcl::TMessage m{msg, wParam, lParam, 0};
    CallPrevWndProc(m);
    lParam = m.LParam;
    return m.Result;
}

void TacMainWnd::CallPrevWndProc(vcl::TMessage& m) {
    if (link_ != nullptr) {
        link_->PassOn(m);
    } else if (win::IsWindow(CtrlHandle)) {
        m.Result = win::DefWindowProcA(CtrlHandle, m.Msg, m.WParam, m.LParam);
    }
}

bool TacMainWnd::Skinned() const {
    if (SkinData == nullptr) return false;
    TsSkinManager* m = SkinData->SkinManager();
    return m != nullptr && m->Active();
}

void TacMainWnd::PrepareCache() {
    PrepareAdapterCache(SkinData, CtrlHandle, false);
}

void TacMainWnd::AdapterWindowProc(vcl::TMessage& m) {
    switch (m.Msg) {
        case win::WM_DESTROY:
        case win::WM_NCDESTROY:
            if (SkinData && SkinData->GlowID > -1) HideGlowOf(SkinData);
            CallPrevWndProc(m);
            Unhook(false);
            return;
        case win::WM_SIZE:
            if (SkinData) SkinData->CacheStale = true;
            break;
        case win::WM_SETTEXT:
            CallPrevWndProc(m);
            Caption = WindowCaption(CtrlHandle);
            return;
        case win::WM_UPDATEUISTATE:
            return;
        case win::WM_MOUSEMOVE:
            if (DefaultManager && !DefaultManager->ComponentState().Contains(vcl::csDesigning) &&
                win::IsWindowEnabled(CtrlHandle) && DefaultManager->ActiveControl() != CtrlHandle)
                DefaultManager->SetActiveControl(CtrlHandle);
            break;
        case win::WM_PRINT:
            m.Result = win::SendMessageA(CtrlHandle, win::WM_PAINT, m.WParam, m.LParam);
            return;
        default:
            break;
    }
    if (m.Msg == SM_ALPHACMD && Skinned() && HandleSkinCommand(m)) return;
    CallPrevWndProc(m);
}

bool TacMainWnd::HandleSkinCommand(vcl::TMessage& m) {
    TsSkinManager* own = SkinData->SkinManager();
    bool mine = m.LParam == reinterpret_cast<intptr_t>(own);
    switch (SkinCommandCode(m.WParam)) {
        case SKC_NEWSKIN:
            if (mine) {
                SkinData->UpdateIndexes();
                SkinData->CacheStale = true;
                BroadcastToChildren(SkinData->OwnerControl(), CtrlHandle, m);
            }
            return false;
        case SKC_REMOVESKIN:
            if (mine) RestoreStdParams();
            return false;
        case SKC_REFRESH:
            if (!mine) return false;
            SkinData->UpdateIndexes();
            SkinData->CacheStale = true;
            SkinData->BGChanged = false;
            win::SendMessageA(CtrlHandle, win::WM_PAINT, 0, 0);
            return true;
        case SKC_ENDPARENTUPDATE:
            if (!SkinData->BGChanged) return false;
            SkinData->BGChanged = false;
            SkinData->BGChanged = SkinData->GetBGChanged();
            if (!SkinData->BGChanged)
                win::RedrawWindow(CtrlHandle, nullptr, nullptr,
                                  win::RDW_INVALIDATE | win::RDW_UPDATENOW | win::RDW_ALLCHILDREN |
                                      win::RDW_FRAME);
            return true;
        case SKC_ISSKINAWARE:
            m.Result = 1;
            return true;
        case SKC_ISUPDATING:
            m.Result = SkinData->BGChanged ? 1 : 0;
            return true;
        case SKC_ISSEETHROUGH:
            if (SkinData->OwnerControl() == nullptr) return false;
            UpdateControlSkin(m, SkinData);
            return true;
        case SKC_GETBGCOLOR:
            CallPrevWndProc(m);
            if (m.Result == 0) m.Result = intptr_t(GetControlBGColor(SkinData, false, CtrlHandle));
            return true;
        case SKC_CLEARCACHE:
            PrepareCache();
            return false;
        case SKC_GETBGINFO:
            if (m.LParam != 0)
                SkinData->GetBGInfo(*reinterpret_cast<BackgroundInfo*>(m.LParam), false,
                                    CtrlHandle);
            return true;
        case SKC_GETAPPLICATION:
            m.Result = reinterpret_cast<intptr_t>(vcl::Application());
            return true;
        default:
            return false;
    }
}

}  // namespace skin
