#include "skin/core/state/hooked_forms.h"

#include <algorithm>

#include "platform/os/files.h"
#include "platform/user/user.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/system_utils.h"

namespace skin {

std::vector<vcl::TControl*> HookedForms;
win::HICON AppSmallIcon = nullptr;
win::HICON AppLargeIcon = nullptr;

namespace {

struct Frozen {
    vcl::TCustomForm* Form;
    TsSkinManager* Manager;
};
std::vector<Frozen> gFrozen;

bool IsRegistered(vcl::TControl* c) {
    return std::find(HookedForms.begin(), HookedForms.end(), c) != HookedForms.end();
}

bool MainWindowMinimised() {
    vcl::TCustomForm* main = vcl::Application()->MainForm();
    return main && main->HandleAllocated() && win::IsIconic(main->Handle());
}

bool Dying(const vcl::TComponent* c) {
    return c->ComponentState().Contains(vcl::csDestroying);
}

// The message to the form's window (made when it has none) and its controls. Answers false when
// a receiver freed the form, which `stillThere` tells.
void SendToForm(vcl::TCustomForm* form, vcl::TMessage& m, const std::function<bool()>& stillThere) {
    win::SendMessageA(form->Handle(), m.Msg, m.WParam, m.LParam);
    if (!stillThere()) return;
    BroadcastToChildControls(form, m);
    if (!stillThere()) return;
    if (form->FormStyle() == vcl::fsMDIForm && form->ClientHandle()) {
        win::SendMessageA(form->ClientHandle(), m.Msg, m.WParam, m.LParam);
    }
}

void Thaw(vcl::TCustomForm* form, TsSkinManager* manager, bool animate) {
    TsSkinProviderBase* provider = ProviderOf(form);
    const win::HWND wnd = form->HandleAllocated() ? form->Handle() : nullptr;
    if (!wnd) {
        if (provider) provider->FormChanging = false;
        return;
    }
    if (!animate || win::IsIconic(wnd) || !provider) {
        win::SendMessageA(wnd, win::WM_SETREDRAW, 1, 0);
        if (provider) provider->FormChanging = false;
        return;
    }
    const TacSkinChanging& changing = manager->AnimEffects()->SkinChanging;
    if (changing.Active) {
        const uint8_t alpha = form->AlphaBlend() ? form->AlphaBlendValue() : 255;
        if (provider->DrawNonClientArea) {
            Neighbours().AnimFormTransition(form, changing.Time, alpha, changing.Mode);
        } else {
            Neighbours().AnimFormTransition(form, 0, 255, atFading);
        }
    }
    TacBorderFormBase* border = provider->BorderForm();
    if (border && win::IsZoomed(wnd)) {
        const auto style = win::GetWindowLong(wnd, win::GWL_STYLE);
        win::SetWindowLong(wnd, win::GWL_STYLE, style & ~win::LONG_PTR(win::WS_VISIBLE));
        const win::HWND active = win::GetActiveWindow();
        win::ShowWindow(wnd, win::SW_MAXIMIZE);
        win::SetWindowLong(wnd, win::GWL_STYLE,
                           win::GetWindowLong(wnd, win::GWL_STYLE) | win::WS_VISIBLE);
        if (active) win::SetActiveWindow(active);
    }
    win::SendMessageA(wnd, win::WM_SETREDRAW, 1, 0);
    provider->FormChanging = false;
    constexpr win::UINT kRedraw =
        win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN | win::RDW_FRAME;
    if (provider->DrawNonClientArea) {
        // Older systems keep a stale region across the redraw switch.
        if ((win::GetVersion() & 0xFF) < 6) win::SetWindowRgn(wnd, nullptr, 0);
        provider->BuildRegionCuts();
        provider->UpdateFormRegion(false);
        win::RedrawWindow(wnd, nullptr, nullptr, kRedraw);
        if (border) border->UpdateExBordersPos(true, 255);
    } else {
        win::RedrawWindow(wnd, nullptr, nullptr, kRedraw | win::RDW_UPDATENOW);
    }
}

}  // namespace

int AddHookedControl(vcl::TControl* control) {
    HookedForms.push_back(control);
    return int(HookedForms.size());
}

void RemoveHookedControl(vcl::TControl* control) {
    // The last entry takes the place of each one removed.
    for (size_t i = 0; i < HookedForms.size();) {
        if (HookedForms[i] == control) {
            HookedForms[i] = HookedForms.back();
            HookedForms.pop_back();
        } else {
            ++i;
        }
    }
    std::erase_if(gFrozen, [control](const Frozen& f) { return f.Form == control; });
}

TsSkinProviderBase* ProviderOf(vcl::TControl* form) {
    return reinterpret_cast<TsSkinProviderBase*>(
        SendSkinCommandToControl(form, SKC_GETPROVIDER, 0));
}

void BroadcastToForms(vcl::TMessage& message) {
    // Receivers may free forms: the walk goes over the forms there were at its start, last
    // first, and passes over each that is gone when its turn comes.
    vcl::TApplication* app = vcl::Application();
    std::vector<vcl::TComponent*> forms;
    for (int i = app->ComponentCount() - 1; i >= 0; --i)
        forms.push_back(app->Components(i));
    auto owned = [app](vcl::TComponent* c) {
        for (int i = 0; i < app->ComponentCount(); ++i)
            if (app->Components(i) == c) return true;
        return false;
    };
    for (vcl::TComponent* c : forms) {
        if (!owned(c)) continue;
        auto* form = dynamic_cast<vcl::TForm*>(c);
        if (!form || form->FormStyle() == vcl::fsMDIChild) continue;
        const auto state = form->ComponentState();
        if (state.Contains(vcl::csDestroying) || state.Contains(vcl::csLoading)) continue;
        if (SendSkinQuery(form->Handle(), SKC_ISSKINAWARE)) continue;
        SendToForm(form, message, [&owned, form] { return owned(form) && !Dying(form); });
    }
    BroadcastToHookedForms(message);
}

void BroadcastToHookedForms(vcl::TMessage& message) {
    // Over a copy: a removal moves the last entry into the gap, which a walk by index would
    // pass over.
    const std::vector<vcl::TControl*> hooked = HookedForms;
    for (vcl::TControl* c : hooked) {
        if (!IsRegistered(c)) continue;
        auto* form = dynamic_cast<vcl::TCustomForm*>(c);
        if (!form || Dying(form)) continue;
        SendToForm(form, message, [form] { return IsRegistered(form) && !Dying(form); });
    }
    for (win::HWND wnd : Neighbours().HookedWindows()) {
        if (win::IsWindowVisible(wnd)) {
            win::SendMessageA(wnd, message.Msg, message.WParam, message.LParam);
        }
    }
}

void FreezeFormsRedraw(TsSkinManager* manager) {
    if (MainWindowMinimised()) return;
    if (manager == DefaultManager && manager->AnimEffects()->SkinChanging.Active) {
        AnimationRunning = true;
    }
    const std::vector<vcl::TControl*> hooked = HookedForms;
    for (vcl::TControl* c : hooked) {
        if (!IsRegistered(c)) continue;
        auto* form = dynamic_cast<vcl::TCustomForm*>(c);
        if (!form || form->FormStyle() == vcl::fsMDIChild || form->Parent() || !form->Visible()) {
            continue;
        }
        if (!form->HandleAllocated() || win::IsIconic(form->Handle())) continue;
        if (std::any_of(gFrozen.begin(), gFrozen.end(),
                        [form](const Frozen& f) { return f.Form == form; })) {
            continue;
        }
        TsSkinProviderBase* provider = ProviderOf(form);
        if (!provider || provider->SkinManager() != manager) continue;
        provider->FormChanging = true;
        TacBorderFormBase* border = provider->BorderForm();
        if (border && border->Handle()) win::SetWindowRgn(border->Handle(), border->MakeRgn(), 0);
        win::SendMessageA(form->Handle(), win::WM_SETREDRAW, 0, 0);
        if (IsRegistered(form) && !Dying(form)) gFrozen.push_back({form, manager});
    }
}

void ResumeFormsRedraw(TsSkinManager* manager, bool animate) {
    AnimationRunning = false;
    std::vector<vcl::TCustomForm*> forms;
    std::erase_if(gFrozen, [&](const Frozen& f) {
        if (f.Manager != manager) return false;
        forms.push_back(f.Form);
        return true;
    });
    for (vcl::TCustomForm* form : forms) {
        if (IsRegistered(form) && !Dying(form)) Thaw(form, manager, animate);
    }
}

std::vector<vcl::TCustomForm*> FrozenForms() {
    std::vector<vcl::TCustomForm*> forms;
    for (const Frozen& f : gFrozen)
        forms.push_back(f.Form);
    return forms;
}

FreezeGuard::~FreezeGuard() {
    try {
        ResumeFormsRedraw(manager_, false);
    } catch (...) {
        // A receiver that fails while thawing cannot be reported from here.
    }
}

void InitSkinDataUnit() {
    const std::string self = os::ExecutablePath();
    AppSmallIcon = GetFileIcon(self, 1);
    AppLargeIcon = GetFileIcon(self, 0);
}

void FinalizeSkinDataUnit() {
    if (AppSmallIcon) win::DestroyIcon(AppSmallIcon);
    if (AppLargeIcon) win::DestroyIcon(AppLargeIcon);
    AppSmallIcon = AppLargeIcon = nullptr;
    HookedForms.clear();
    gFrozen.clear();
    RepaintSectionName.clear();
}

}  // namespace skin
