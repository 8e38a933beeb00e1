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
class TCustomLabel;
class TMenu;
class TMenuItem;
}  // namespace vcl

namespace skin {

class TsBoundLabel;
class TsCommonData;
class TsSkinManager;

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
    // The owner's window: the provider's form, or the skinned dialog; null while it has none.
    virtual win::HWND OwnerHandle() const { return nullptr; }
    // Has the owner repaint its frame into its cache image.
    virtual void PaintOwnerFrame() {}
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
    // The provider's skin state (section "FORM"; its cache image holds the painted frame).
    virtual TsCommonData* SkinData() const { return nullptr; }
    // Repaints the whole non-client frame into the cache image of SkinData.
    virtual void PaintFrame() {}
    // Frees the cached frame image, so the next paint builds it anew.
    virtual void FreeFrameCache() {}
    // The form's rectangle moved by (dx, dy) minus the region cuts; the caller owns it. Null
    // when the provider cuts nothing.
    virtual win::HRGN CreateFormRegion(int /*dx*/, int /*dy*/) { return nullptr; }
    // From the window's outer edge to its client area: caption, menu line and extended-border
    // margins included.
    virtual int ClientOffsetX() const { return 0; }
    virtual int ClientOffsetY() const { return 0; }
    // The extended-border margins and caption sizes; 0 or empty without extended borders.
    virtual vcl::TRect GetFrameMargins() const { return {}; }
    virtual int CaptionHeight() const { return 0; }
    virtual int ExtTitleHeight() const { return 0; }
    virtual int ExtBorderWidth() const { return 0; }
    virtual int SysBorderWidth() const { return 0; }
    // The extra height extended borders add at the top.
    virtual int ExtCaptionExtra() const { return 0; }
    // Frees the extended-border window, when there is one (a hiding form leaves it behind).
    virtual void FreeBorderForm() {}
    // The form's own procedure, to which the provider passes what it does not handle. A window
    // adapter of the form puts itself here, between the provider and the form.
    virtual vcl::TWndMethod SavedFormProc() const { return {}; }
    virtual void SetSavedFormProc(const vcl::TWndMethod& /*proc*/) {}

    bool DrawNonClientArea = true;
    // Set while the forms are frozen for a skin change; the provider skips frame work then.
    bool FormChanging = false;
};

// The adapter of a skinned system dialog, as the form animations see it.
class TacDialogWndBase {
public:
    virtual ~TacDialogWndBase() = default;
    virtual win::HWND Handle() const = 0;
    virtual TsCommonData* SkinData() const = 0;
    // Null without extended borders.
    virtual TacBorderFormBase* BorderForm() const { return nullptr; }
    // Paints the dialog's frame into the cache image of SkinData.
    virtual void PaintFrame() = 0;
    // From the window's outer edge to its client area.
    virtual int DialogBorderWidth() const = 0;
    virtual int DialogTopFrameHeight() const = 0;
    virtual vcl::TRect GetDialogFrameMargins() const = 0;
    // 0 for a window without caption that is not minimised; else the skin's title height when
    // `skinTitle` and set, else the system's.
    virtual int DialogCaptionHeight(bool /*skinTitle*/) const { return 0; }
    // Sets the window region from the frame and the skin's caption and border sizes.
    virtual void UpdateDialogRegion(bool /*repaint*/) {}
};

// The manager's menu painter.
class TsSkinableMenusBase {
public:
    explicit TsSkinableMenusBase(TsSkinManager* owner) : Owner(owner) {}
    virtual ~TsSkinableMenusBase() = default;
    // Takes the skinned state of pop-up menus from the owner's options.
    virtual void UpdateFromManager() {}
    // A form measures an item of `menu`, its main menu: the painter takes that menu over.
    virtual void HookMenu(vcl::TMenu* /*menu*/) {}

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

    // Shows a layered glow window around `wndRect` (screen), clipped to `clipRect`, painted
    // with mask `mask` of `section`; answers its index. Default: no glow (-1).
    std::function<int(const vcl::TRect& wndRect, const vcl::TRect& clipRect,
                      const std::string& section, TsSkinManager* manager, win::HWND parent,
                      uint8_t alpha, int margin, const std::string& mask)>
        ShowGlow;
    // Frees the glow window `id`. Default: nothing.
    std::function<void(int id)> HideGlow;
    // Makes `menu` and all its items drawn by the skinned menus. Default: nothing.
    std::function<void(TsSkinableMenusBase* menus, vcl::TMenu* menu, bool on)> SetMenuOwnerDraw;
    // Called when a skin state changes its manager. Default: nothing.
    std::function<void()> EmptySkinHook;
    // WM_PRINT to each visible child window of `wnd`, recursively, with the DC origin moved to
    // the child. Default: the windowing layer's printing.
    std::function<void(win::HWND wnd, win::HDC dc)> PrintChildWindows;
    // Makes `wnd` layered and shows an empty image with constant alpha 10 when asked and
    // layered windows are available; answers whether it did. Default: nothing, false.
    std::function<bool(win::HWND wnd, bool on)> SetLayeredTransparent;
    // The fade code's layered window, or null while none fades. Default: null.
    std::function<win::HWND()> FadeLayeredWindow;
    // Makes the label of a bound label, owned by `edit`. Default: a plain vcl::TLabel.
    std::function<vcl::TCustomLabel*(vcl::TControl* edit, TsBoundLabel* bound)> CreateEditLabel;
    // Repaints the borders of `data`'s owner into its cache image before they are copied to
    // the screen. Default: nothing.
    std::function<void(TsCommonData* data)> RepaintCacheBorders;
};

// The one table of the process.
NeighbourServices& Neighbours();
// Puts the defaults back into every slot.
void ResetNeighbourServices();

}  // namespace skin
