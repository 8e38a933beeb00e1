// The thread's creation hook that skins the windows the application does not skin itself: its
// forms made without a provider get one from the library, the system's dialogs ("#32770") a
// dialog adapter with adapters on their children, and pop-up menu windows a menu adapter. The
// default manager installs it when its skin comes into force and removes it with the skin.
//
// A dialog's record lives from the dialog's creation (or first activation) until the first
// window destruction of the thread after its adapter was released by the window's end.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/user/hooks.h"
#include "skin/windows/dialogs/dialog_position.h"
#include "vcl/system/component.h"

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;
class TsSkinManager;
class TacDialogWnd;
class TacMainWnd;
class TacMnuWnd;

// What the hook made for one window. A form's record is owned by the form and dies with it; the
// provider it made belongs to the form too.
class TacProvider : public vcl::TComponent {
public:
    VCL_CLASS(TacProvider, vcl::TComponent)
    explicit TacProvider(vcl::TComponent* owner);
    ~TacProvider() override;

    void InitForm(vcl::TCustomForm* form);
    // Skins a system dialog: its adapter, its children's adapters. False (and every slot of the
    // record cleared) when a child could not be attached.
    bool InitDialog(win::HWND wnd);

    bool RightToLeft = false;
    win::HWND Handle = nullptr;  // the skinned system dialog; null for a form
    TsSkinProvider* SkinProvider = nullptr;
    TacDialogWnd* DialogWnd = nullptr;       // owned
    std::vector<TacMainWnd*> ChildAdapters;  // owned
};

// Every record made since the hook was installed; a freed record leaves its slot null. Empty
// while the hook is not installed.
extern std::vector<TacProvider*> HookedProviders;
// Form classes the hook never skins.
extern std::vector<std::string> NoSkinFormClasses;

// Makes the adapter of one dialog child, bound to `wnd` with `manager` and `section`; null for
// none. The rows of the child table served by classes made elsewhere take their creator here:
// "combobox", "comboboxex32", "syslistview32", "systreeview32", "#32770" (a nested dialog),
// "tpanel" (also "tsilentpaintpanel") and "shbrowseforfolder". A row without a creator makes
// nothing.
using TDialogChildCreator =
    std::function<TacMainWnd*(win::HWND wnd, TsSkinManager* manager, const std::string& section)>;
void SetDialogChildFactory(const std::string& row, TDialogChildCreator creator);
// Makes the adapter of a pop-up menu window (section "MAINMENU"), or null.
using TMenuWndCreator = std::function<TacMnuWnd*(win::HWND wnd, TsSkinManager* manager)>;
void SetMenuWndFactory(TMenuWndCreator creator);

win::LRESULT DialogSkinHookProc(int code, win::WPARAM wParam, win::LPARAM lParam);
// Decides and does the skinning of one top-level window; true when a record was made.
bool SkinActivatedWindow(win::HWND wnd);

// Attaches the adapter that fits one dialog child; false only for a null window.
bool AttachChildAdapter(TacProvider* provider, win::HWND wnd);
// Depth first over the children of `parent` (a child's own children before it).
bool AttachChildAdapters(TacProvider* provider, win::HWND parent);
// Frees every dialog record whose adapter was released by its window's end.
void ReleaseDestroyedDialogs();
// Dialog records whose adapter's window is visible.
int VisibleDialogCount();
// Whether a descendant of `wnd` has the class `lowerName` (compared in lower case).
bool HasChildWindowOfClass(win::HWND wnd, const std::string& lowerName);

std::string GetWindowClassName(win::HWND wnd);
TacProvider* FindDialogProvider(win::HWND wnd);
// Searches the screen's forms from the newest.
vcl::TCustomForm* FindFormByHandle(win::HWND wnd);

// Fills the hook's slots of the neighbour services. Idempotent.
void InitDialogHook();

}  // namespace skin
