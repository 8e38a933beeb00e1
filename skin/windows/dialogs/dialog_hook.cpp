#include "skin/windows/dialogs/dialog_hook.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>

#include "platform/user/styles.h"
#include "platform/user/window_class.h"
#include "platform/user/window_tree.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "skin/windows/adapters/button_adapters.h"
#include "skin/windows/adapters/container_adapters.h"
#include "skin/windows/adapters/sizer_spin_adapters.h"
#include "skin/windows/adapters/static_adapters.h"
#include "skin/windows/adapters/tab_adapters.h"
#include "skin/windows/adapters/tool_bar_adapter.h"
#include "skin/windows/dialogs/dialog_window.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/scroll/menu_wnd_adapters.h"
#include "vcl/controls/forms.h"

namespace skin {

std::vector<TacProvider*> HookedProviders;
std::vector<std::string> NoSkinFormClasses = {"TApplication", "TQRStandardPreview", "TfcPopup"};
int DialogPosX = -1, DialogPosY = -1;

namespace {

// The system's dialog and pop-up menu classes, as their atoms.
constexpr uintptr_t kDialogAtom = 0x8002;
constexpr uintptr_t kMenuAtom = 0x8000;
// The library's own auxiliary forms carry this tag.
constexpr intptr_t kAuxiliaryFormTag = -98;

bool ApplicationDying() {
    vcl::TApplication* app = vcl::Application();
    return !app || app->ComponentState().Contains(vcl::csDestroying);
}

std::map<std::string, TDialogChildCreator>& ChildFactories() {
    static std::map<std::string, TDialogChildCreator> rows;
    return rows;
}

TMenuWndCreator& MenuFactory() {
    static TMenuWndCreator creator;
    return creator;
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
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
        if (p && p->Handle && win::IsWindow(p->Handle)) wnds.push_back(p->Handle);
    }
    return wnds;
}

}  // namespace

TacProvider::TacProvider(vcl::TComponent* owner) : vcl::TComponent(owner) {}

TacProvider::~TacProvider() {
    std::replace(HookedProviders.begin(), HookedProviders.end(), this,
                 static_cast<TacProvider*>(nullptr));
    if (SkinProvider) return;  // the form owns it
    // An adapter inside one of its own messages goes when that message returns.
    for (TacMainWnd*& a : ChildAdapters) FreeAdapter(a);
    ChildAdapters.clear();
    if (DialogWnd) {
        DialogWnd->Provider = nullptr;
        TacMainWnd* a = DialogWnd;
        DialogWnd = nullptr;
        FreeAdapter(a);
    }
}

void TacProvider::InitForm(vcl::TCustomForm* form) {
    SkinProvider = TsSkinProvider::CreateInternal(form);
    SkinProvider->MakeSkinMenu = false;
}

bool TacProvider::InitDialog(win::HWND wnd) {
    Handle = wnd;
    ChildAdapters.clear();
    TsSkinManager* manager = DefaultManager;
    if (DialogWnd || !manager || !manager->Active()) return true;
    const auto exStyle = win::DWORD(win::GetWindowLongA(wnd, win::GWL_EXSTYLE));
    RightToLeft = (exStyle & win::WS_EX_LEFTSCROLLBAR) != 0;
    DialogWnd = AttachAdapter<TacDialogWnd>(wnd, nullptr, manager, "DIALOG");
    DialogWnd->Provider = this;
    if (DialogPosX != -1 || DialogPosY != -1) {
        win::SetWindowPos(wnd, nullptr, DialogPosX, DialogPosY, 0, 0,
                          win::SWP_NOSIZE | win::SWP_NOREDRAW | win::SWP_NOOWNERZORDER);
    }
    const bool ok = AttachChildAdapters(this, wnd);
    if (!ok) {
        std::replace(HookedProviders.begin(), HookedProviders.end(), this,
                     static_cast<TacProvider*>(nullptr));
        return false;
    }
    DialogWnd->Prepare();
    SendSkinCommand(wnd, SKC_NEWSKIN, reinterpret_cast<intptr_t>(manager));
    return true;
}

void SetDialogChildFactory(const std::string& row, TDialogChildCreator creator) {
    if (creator)
        ChildFactories()[row] = std::move(creator);
    else
        ChildFactories().erase(row);
}

void SetMenuWndFactory(TMenuWndCreator creator) { MenuFactory() = std::move(creator); }

bool AttachChildAdapter(TacProvider* provider, win::HWND wnd) {
    if (!wnd) return false;
    if (!provider || !provider->DialogWnd || SendSkinQuery(wnd, SKC_ISSKINAWARE)) return true;
    TacDialogWnd* dialog = provider->DialogWnd;
    TsSkinManager* manager = dialog->TacMainWnd::SkinManager;
    const std::string cls = Lower(GetWindowClassName(wnd));
    const auto style = uint32_t(win::GetWindowLongA(wnd, win::GWL_STYLE));
    DialogChildMode = true;
    TacMainWnd* made = nullptr;
    bool inDialog = false, rects = true;
    auto fromFactory = [&](const std::string& row, const std::string& section) -> TacMainWnd* {
        auto it = ChildFactories().find(row);
        return it == ChildFactories().end() ? nullptr : it->second(wnd, manager, section);
    };
    try {
        if (cls == "static") {
            if ((style & 3) == 3 || (style & 14) == 14) {
                made = AttachAdapter<TacIconWnd>(wnd, nullptr, manager, "CHECKBOX");
            } else if ((style & 13) != 13 && (style & 31) != 5 && (style & 31) != 6 &&
                       (style & 31) != 11) {
                made = AttachAdapter<TacStaticWnd>(wnd, nullptr, manager, "CHECKBOX");
            }
        } else if (cls == "#32770" || cls == "shbrowseforfolder") {
            made = fromFactory(cls, "CHECKBOX");
        } else if (cls == "tpanel" || cls == "tsilentpaintpanel") {
            made = fromFactory("tpanel", "PANEL");
            rects = false;
        } else if (cls == "edit") {
            dialog->DrawClientSelf = false;
            if (win::IsWindowVisible(wnd))
                made = AttachAdapter<TacEditWnd>(wnd, nullptr, manager, "EDIT");
            inDialog = true;
        } else if (cls == "button") {
            // Owner-drawn, split and command-link buttons paint themselves.
            switch (style & 0xF) {
                case 2: case 3: case 4: case 5: case 6: case 9:
                    made = AttachAdapter<TacCheckBoxWnd>(wnd, nullptr, manager, "CHECKBOX");
                    break;
                case 7:
                    made = AttachAdapter<TacGroupBoxWnd>(wnd, nullptr, manager, "GROUPBOX");
                    break;
                case 0xB: case 0xC: case 0xD: case 0xE: case 0xF:
                    break;
                default:
                    made = AttachAdapter<TacBtnWnd>(wnd, nullptr, manager, "BUTTON");
                    break;
            }
        } else if (cls == "combobox" || cls == "comboboxex32") {
            dialog->DrawClientSelf = false;
            made = fromFactory(cls, "COMBOBOX");
            inDialog = cls == "combobox";
        } else if (cls == "combolbox") {
            dialog->DrawClientSelf = false;
            made = AttachAdapter<TacEditWnd>(wnd, nullptr, manager, "COMBOBOX");
        } else if (cls == "scrollbar") {
            made = AttachAdapter<TacSizerWnd>(wnd, nullptr, manager, "CHECKBOX");
        } else if (cls == "systabcontrol32") {
            if (!(style & 0x2000))
                made = AttachAdapter<TacTabControlWnd>(wnd, nullptr, manager, "PAGECONTROL");
        } else if (cls == "syslistview32" || cls == "systreeview32") {
            made = fromFactory(cls, "EDIT");
            inDialog = true;
        } else if (cls == "msctls_updown32") {
            // A dialog's up-down draws its halves from x = 2.
            auto* spin = AttachAdapter<TacSpinWnd>(wnd, nullptr, manager, "SPEEDBUTTON_SMALL");
            spin->HalvesLeft = 2;
            made = spin;
        } else if (cls == "listbox") {
            made = AttachAdapter<TacEditWnd>(wnd, nullptr, manager, "EDIT");
            inDialog = true;
        } else if (cls == "link window" || cls == "syslink") {
            made = AttachAdapter<TacLinkWnd>(wnd, nullptr, manager, "CHECKBOX");
        } else if (cls == "toolbarwindow32") {
            made = AttachAdapter<TacToolBarWnd>(wnd, nullptr, manager,
                                                (style & 0x200) ? "BAR" : "CHECKBOX");
        }
    } catch (...) {
        DialogChildMode = false;
        throw;
    }
    DialogChildMode = false;
    if (!made) return true;
    if (inDialog) made->InDialog = true;
    provider->ChildAdapters.push_back(made);
    if (rects) GetWindowRectsInParent(made);
    return true;
}

bool AttachChildAdapters(TacProvider* provider, win::HWND parent) {
    for (win::HWND c = win::GetTopWindow(parent); c; c = win::GetWindow(c, win::GW_HWNDNEXT)) {
        if (!AttachChildAdapters(provider, c)) return false;
        const auto style = win::DWORD(win::GetWindowLongA(c, win::GWL_STYLE));
        if ((style & win::WS_CHILD) && !AttachChildAdapter(provider, c)) return false;
    }
    return true;
}

void ReleaseDestroyedDialogs() {
    // By index: freeing a record may run window code that appends to the list.
    for (size_t i = 0; i < HookedProviders.size(); ++i) {
        TacProvider* p = HookedProviders[i];
        if (!p || !p->DialogWnd || !p->DialogWnd->Unhooked) continue;
        HookedProviders[i] = nullptr;
        p->Free();
    }
}

int VisibleDialogCount() {
    int n = 0;
    for (TacProvider* p : HookedProviders) {
        if (p && p->DialogWnd && !p->DialogWnd->Unhooked && win::IsWindowVisible(p->Handle)) ++n;
    }
    return n;
}

bool HasChildWindowOfClass(win::HWND wnd, const std::string& lowerName) {
    for (win::HWND c = win::GetTopWindow(wnd); c; c = win::GetWindow(c, win::GW_HWNDNEXT)) {
        if (Lower(GetWindowClassName(c)) == lowerName || HasChildWindowOfClass(c, lowerName))
            return true;
    }
    return false;
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
    if (!form || form->ComponentState().Contains(vcl::csLoading)) {
        // A system dialog: a top-level "#32770". While a skinned one is visible, a second one
        // is skinned only when it holds a tool bar (the file dialogs do; prompts over them not).
        if (className != "#32770" || (style & win::WS_CHILD) ||
            !manager->SkinningRules().Contains(srStdDialogs)) {
            return false;
        }
        if (VisibleDialogCount() > 0 && !HasChildWindowOfClass(wnd, "toolbarwindow32"))
            return false;
        auto* record = vcl::New<TacProvider>(nullptr);
        HookedProviders.push_back(record);
        bool ok = false;
        try {
            ok = record->InitDialog(wnd);
        } catch (...) {
            record->Free();
            throw;
        }
        if (!ok) record->Free();
        return ok;
    }
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

namespace {

// A pop-up menu window gets its adapter while the skin draws pop-ups.
void HookPopupMenuWindow(win::HWND wnd) {
    TsSkinManager* manager = DefaultManager;
    if (!manager || !manager->SkinnedPopups() || !MenuFactory()) return;
    if (Neighbours().IsDwmCompositionEnabled() || SendSkinQuery(wnd, SKC_ISSKINAWARE)) return;
    if (TacMnuWnd* adapter = MenuFactory()(wnd, manager)) MenuWndAdapters().push_back(adapter);
}

}  // namespace

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
                    // The window takes its place from the creation record after the hook.
                    if (atom == kDialogAtom && SkinActivatedWindow(wnd) &&
                        (DialogPosX != -1 || DialogPosY != -1)) {
                        cbt->lpcs->x = DialogPosX;
                        cbt->lpcs->y = DialogPosY;
                    }
                    if (atom == kMenuAtom) HookPopupMenuWindow(wnd);
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
            case win::HCBT_DESTROYWND:
                ReleaseDestroyedDialogs();
                break;
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
    s.PrintChildWindows = &PrintChildWindows;
    s.EmptySkinHook = [] {};
}

}  // namespace skin
