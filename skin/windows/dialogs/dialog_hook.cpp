#include "skin/windows/dialogs/dialog_hook.h"

#include <algorithm>
#include <cstdint>

#include "platform/user/styles.h"
#include "platform/user/window_class.h"
#include "platform/user/window_tree.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/skin_provider.h"
#include "vcl/controls/forms.h"

namespace skin {

std::vector<TacProvider*> HookedProviders;
std::vector<std::string> NoSkinFormClasses = {"TApplication", "TQRStandardPreview", "TfcPopup"};

namespace {

// The system's dialog class, as its atom.
constexpr uintptr_t kDialogAtom = 0x8002;
// The library's own auxiliary forms carry this tag.
constexpr intptr_t kAuxiliaryFormTag = -98;

bool ApplicationDying() {
    vcl::TApplication* app = vcl::Application();
    return !app || app->ComponentState().Contains(vcl::csDestroying);
}

void CreateList() { HookedProviders.clear(); }

void FreeList() {
    // Freeing a record clears its own slot, so walk a copy.
    const std::vector<TacProvider*> records = HookedProviders;
    for (TacProvider* p : records) {
        if (p) p->Free();
    }
    HookedProviders.clear();
}

std::vector<win::HWND> HookedWindowList() {
    std::vector<win::HWND> wnds;
    for (TacProvider* p : HookedProviders) {
        if (p && p->Handle) wnds.push_back(p->Handle);
    }
    return wnds;
}

}  // namespace

TacProvider::TacProvider(vcl::TComponent* owner) : vcl::TComponent(owner) {}

TacProvider::~TacProvider() {
    std::replace(HookedProviders.begin(), HookedProviders.end(), this,
                 static_cast<TacProvider*>(nullptr));
}

void TacProvider::InitForm(vcl::TCustomForm* form) {
    SkinProvider = TsSkinProvider::CreateInternal(form);
    SkinProvider->MakeSkinMenu = false;
}

std::string GetWindowClassName(win::HWND wnd) {
    char buffer[128] = {};
    const int n = win::GetClassNameA(wnd, buffer, int(sizeof buffer));
    return std::string(buffer, size_t(std::max(n, 0)));
}

TacProvider* FindDialogProvider(win::HWND wnd) {
    for (TacProvider* p : HookedProviders) {
        if (p && p->Handle == wnd) return p;
    }
    return nullptr;
}

vcl::TCustomForm* FindFormByHandle(win::HWND wnd) {
    vcl::TScreen* screen = vcl::Screen();
    if (!screen || !wnd) return nullptr;
    for (int i = screen->FormCount() - 1; i >= 0; --i) {
        vcl::TCustomForm* f = screen->Forms(i);
        if (f && f->HandleAllocated() && f->Handle() == wnd) return f;
    }
    return nullptr;
}

bool SkinActivatedWindow(win::HWND wnd) {
    TsSkinManager* manager = DefaultManager;
    if (!wnd || !manager || ApplicationDying() || SendSkinQuery(wnd, SKC_ISSKINAWARE)) {
        return false;
    }
    const std::string className = GetWindowClassName(wnd);
    const auto style = win::DWORD(win::GetWindowLongA(wnd, win::GWL_STYLE));
    if ((style & win::WS_POPUP) && !(style & win::WS_BORDER)) return false;
    if (FindDialogProvider(wnd)) return false;
    vcl::TCustomForm* form = FindFormByHandle(wnd);
    // System dialogs, and forms still loading, come with the dialog adapters.
    if (!form || form->ComponentState().Contains(vcl::csLoading)) return false;
    if ((form->Tag() & kAuxiliaryFormTag) == kAuxiliaryFormTag) return false;
    if (std::find(NoSkinFormClasses.begin(), NoSkinFormClasses.end(), className) !=
        NoSkinFormClasses.end()) {
        return false;
    }
    const TacSkinningRule rule = className == "TMessageForm" ? srStdDialogs : srStdForms;
    if (!manager->SkinningRules().Contains(rule)) return false;
    // Appended before the provider is made: a failure frees the record, which clears its slot.
    auto* record = vcl::New<TacProvider>(form);
    HookedProviders.push_back(record);
    try {
        record->InitForm(form);
    } catch (...) {
        record->Free();
        throw;
    }
    return true;
}

win::LRESULT DialogSkinHookProc(int code, win::WPARAM wParam, win::LPARAM lParam) {
    const win::LRESULT result = win::CallNextHookEx(DialogHookHandle, code, wParam, lParam);
    if (ApplicationDying()) return result;
    // An exception must not cross the platform's hook chain: the window is left unskinned.
    try {
        switch (code) {
            case win::HCBT_CREATEWND: {
                auto wnd = reinterpret_cast<win::HWND>(wParam);
                auto* cbt = reinterpret_cast<win::CBT_CREATEWNDA*>(lParam);
                if (!wnd || !cbt || !cbt->lpcs) break;
                const win::CREATESTRUCTA& cs = *cbt->lpcs;
                const auto atom = reinterpret_cast<uintptr_t>(cs.lpszClass);
                if (atom < 0x10000) {
                    if (atom == kDialogAtom) SkinActivatedWindow(wnd);
                    break;
                }
                vcl::TCustomForm* main = vcl::Application()->MainForm();
                const bool afterMain =
                    !main || (main->HandleAllocated() && main->Handle() != wnd);
                if (GetWindowClassName(wnd) != "TPUtilWindow" && cs.style != 0 &&
                    cs.dwExStyle != 0 && afterMain && !(win::DWORD(cs.style) & win::WS_CHILD)) {
                    SkinActivatedWindow(wnd);
                }
                break;
            }
            case win::HCBT_ACTIVATE:
                SkinActivatedWindow(reinterpret_cast<win::HWND>(wParam));
                break;
            default:
                break;
        }
    } catch (...) {
    }
    return result;
}

void InitDialogHook() {
    NeighbourServices& s = Neighbours();
    s.DialogHookProc = &DialogSkinHookProc;
    s.HookedWindows = &HookedWindowList;
    s.CreateHookedWindowList = &CreateList;
    s.FreeHookedWindowList = &FreeList;
}

}  // namespace skin
