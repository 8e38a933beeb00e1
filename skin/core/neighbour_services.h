// What the skin core calls of the skinned controls and of the window skinning, which sit above
// it and may not be included here: a table of replaceable slots. Those subsystems fill the slots
// at start-up; tests fill them with recorders. Until then each slot does something harmless.
//
// The form skin provider, its extended-border window and the skinnable-menus object are known
// here by abstract bases that the window skinning derives its classes from; a form answers skin
// command 4 with a TsSkinProviderBase*.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/win_types.h"
#include "platform/user/hooks.h"
#include "vcl/controls/controls.h"

namespace vcl {
class TCustomForm;
class TFont;
class TMenuItem;
}  // namespace vcl

namespace skin {

class TsSkinManager;
class TsCommonData;

// The kinds of the skinned message dialog.
enum TMsgDlgKind : int { mdWarning = 0, mdError = 1, mdInformation = 2, mdConfirmation = 3 };
// The button sets of the skinned message dialog.
enum TMsgDlgButtonSet : int { mbOK = 0, mbOKCancel = 1, mbYesNo = 2, mbYesNoCancel = 3 };

// The extended-border window of a skinned form.
class TacBorderFormBase {
public:
    virtual ~TacBorderFormBase() = default;
    // Its window; null while it has none.
    virtual win::HWND Handle() const = 0;
    // A new region for the border window; the caller hands it to SetWindowRgn.
    virtual win::HRGN MakeRgn() = 0;
    // Places the window after its owner and repaints it as a layered image with `alpha`.
    virtual void UpdateExBordersPos(bool repaint, uint8_t alpha) = 0;
};

// The component that skins one form.
class TsSkinProviderBase {
public:
    virtual ~TsSkinProviderBase() = default;
    virtual vcl::TCustomForm* Form() const = 0;
    // The manager its skin state paints with (the default one when it names none).
    virtual TsSkinManager* SkinManager() const = 0;
    // Null when the form has no extended borders.
    virtual TacBorderFormBase* BorderForm() const { return nullptr; }
    virtual void BuildRegionCuts() = 0;
    virtual void UpdateFormRegion(bool repaint) = 0;
    // Its skin state; the cache image holds the painted frame.
    virtual TsCommonData* SkinData() const { return nullptr; }
    // Repaints the whole frame into the cache image.
    virtual void PaintFrame() {}
    // The extended-border margins around the form's window; empty without a border form.
    virtual vcl::TRect GetFrameMargins() const { return {}; }
    // Frees the extended-border window, when there is one.
    virtual void FreeBorderForm() {}

    bool DrawNonClientArea = true;
    // Set while the forms are frozen for a skin change; the provider skips frame work then.
    bool FormChanging = false;
};

// The adapter of a skinned system dialog.
class TacDialogWndBase {
public:
    virtual ~TacDialogWndBase() = default;
    virtual win::HWND Handle() const = 0;
    virtual TsCommonData* SkinData() const = 0;
    // Null when the dialog has no extended borders.
    virtual TacBorderFormBase* BorderForm() const { return nullptr; }
    // Paints the dialog frame into the skin state's cache image.
    virtual void PaintFrame() = 0;
    // The client area's offset inside the window.
    virtual int DialogBorderWidth() const = 0;
    virtual int DialogTopFrameHeight() const = 0;
    // The extended-border margins around the dialog's window.
    virtual vcl::TRect GetDialogFrameMargins() const { return {}; }
};

// The manager's menu painter.
class TsSkinableMenusBase {
public:
    explicit TsSkinableMenusBase(TsSkinManager* owner) : Owner(owner) {}
    virtual ~TsSkinableMenusBase() = default;
    // Takes the skinned state of pop-up menus from the owner's options.
    virtual void UpdateFromManager() {}

    TsSkinManager* Owner;
    int SkinIndex = -1;  // the cached section index; -1 makes the painter look it up again
};

// The manager's menu options.
class TacMenuSupport {
public:
    TacMenuSupport();
    ~TacMenuSupport();
    TacMenuSupport(const TacMenuSupport&) = delete;
    TacMenuSupport& operator=(const TacMenuSupport&) = delete;

    std::string IcoLineSkin;  // the section of the icon column; "ICOLINE" once loaded when empty
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
    vcl::TFont* ExtraLineFont;  // owned
};

struct NeighbourServices {
    // Offered each windowed child that is not skin-aware while a message is broadcast down the
    // controls; true when a window adapter took the message for it. Default: not taken.
    std::function<bool(vcl::TWinControl* child, vcl::TMessage& message)> BroadcastToAdapter;
    // A message for the operator in the skinned message dialog, with one OK button. Default: a
    // plain message box with the kind's caption and icon.
    std::function<void(const std::string& text, TMsgDlgKind kind)> ShowMessage;
    // The skinned message dialog; answers the button pressed (mrOk ...). Default: ShowMessage,
    // answering mrOk.
    std::function<int(const std::string& text, TMsgDlgKind kind, TMsgDlgButtonSet buttons,
                      int helpContext)>
        ShowSkinnedMessageDlg;
    // Frees every glow window. Default: nothing.
    std::function<void()> ClearGlows;
    // Makes the manager's menu painter. Default: a painter that paints nothing.
    std::function<std::unique_ptr<TsSkinableMenusBase>(TsSkinManager* owner)> CreateSkinableMenus;
    // The thread hook that skins dialogs. Default: passes every call on.
    win::HOOKPROC DialogHookProc = nullptr;
    // The windows of the dialog hook's adapters; empty while the list does not exist.
    std::function<std::vector<win::HWND>()> HookedWindows;
    // Makes the adapter list when missing; frees every adapter and the list.
    std::function<void()> CreateHookedWindowList;
    std::function<void()> FreeHookedWindowList;
    // Frees every menu-window adapter and empties their list.
    std::function<void()> ClearMenuWndAdapters;
    // The skinned menus' record of a menu item (or of the menu whose window it is), or null.
    std::function<void*(TsSkinableMenusBase* menus, vcl::TMenuItem* item, win::HWND wnd)>
        FindMenuItemRecord;
    // Subclasses a pop-up menu window so that the skin draws it.
    std::function<void(TsSkinableMenusBase* menus, win::HWND wnd, void* record)> HookMenuWindow;
    // Default: the windowing layer's answer.
    std::function<bool()> IsDwmCompositionEnabled;
    // Cross-fades a form into its new look over `time` ms. Default: the form animations.
    std::function<void(vcl::TCustomForm* form, int time, uint8_t alpha, int mode)>
        AnimFormTransition;
    // WM_PRINT to each visible child window, recursively, the DC's origin moved to each child.
    std::function<void(win::HWND wnd, win::HDC dc)> PrintChildWindows;
    // Makes the window layered, showing an empty image at constant alpha 10; false when it
    // could not. Default: the windowing layer's layered attributes.
    std::function<bool(win::HWND wnd, bool on)> SetLayeredTransparent;
    // The fade code's layered window, or null while there is none. Default: none.
    std::function<win::HWND()> FadeWindow;
};

// The one table of the process.
NeighbourServices& Neighbours();
// Puts the defaults back into every slot.
void ResetNeighbourServices();

}  // namespace skin
