// The skinned frame of a system dialog ("#32770": message boxes, file dialogs): borders and
// caption of the skin's "DIALOG" section, the caption text and icon, title buttons from the
// skin's GLOBALINFO masks, a window region cut to the skin's corners and a skinned system menu.
// The dialog hook makes one per skinned dialog and attaches the adapters of its children.
//
// The dialog keeps the non-client area the system gives its style; the frame is painted into the
// skin state's cache image and copied to the window in four strips. Prepare takes WS_SYSMENU
// off the window so that the system draws no buttons of its own; the adapter answers the caption
// clicks itself and sends the dialog WM_SYSCOMMAND. The style comes back when the adapter goes.
//
// With the manager's extended borders on, a border window (TacBorderForm) lies around the dialog
// and shows its frame, caption and shadow; the cache image is then the window's rectangle grown
// by the shadow margins, the window at (margin left, margin top) in it, and the dialog itself is
// cut to its client area.
//
// Border kinds (set by Prepare from the style):
//   0 modal frame, 1 not prepared yet, 2 pop-up without a full caption (no region, no buttons),
//   3 thick or plain frame, 4 tool window, 5 sizeable tool window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/state/neighbour_services.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/provider/system_menu.h"
#include "skin/windows/scroll/scroll_wnd.h"

namespace skin {

struct BackgroundInfo;
class TacBorderForm;
class TacDialogWnd;
class TacProvider;

// The dialog's own system menu: six items, each sending its command to the dialog.
class TacSystemMenu : public TsCustomSysMenu {
public:
    VCL_CLASS(TacSystemMenu, TsCustomSysMenu)
    TacSystemMenu(vcl::TComponent* owner, TacDialogWnd* dialog);

    bool VisibleClose() const override;
    bool VisibleMax() const override { return false; }
    bool VisibleMin() const override { return false; }
    bool EnabledMax() const override { return false; }
    bool EnabledMin() const override { return false; }
    bool EnabledRestore() const override { return false; }

    TacDialogWnd* Dialog;

private:
    void ItemClick(vcl::TObject* sender);
};

class TacDialogWnd : public TacScrollWnd, public TacDialogWndBase {
public:
    TacDialogWnd();
    ~TacDialogWnd() override;

    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    // ---- TacDialogWndBase ----
    win::HWND Handle() const override { return CtrlHandle; }
    TsCommonData* SkinData() const override { return TacMainWnd::SkinData; }
    TacBorderFormBase* BorderForm() const override;
    void PaintFrame() override;
    int DialogBorderWidth() const override;
    int DialogTopFrameHeight() const override;
    vcl::TRect GetDialogFrameMargins() const override;
    int DialogCaptionHeight(bool withSkin) const override;
    void UpdateDialogRegion(bool redraw) override;

    // Called once the children are attached: style, border kind, icon, button masks, font.
    void Prepare();
    // Shows and enables the system menu's items for the dialog's style and state.
    void UpdateSystemMenu();
    // The title button of `hitCode` becomes hot (1) or pressed (2); the old one goes normal.
    void SetTitleButtonState(int hitCode, int state);
    // The title buttons' animations and cached images go.
    void FreeTitleButtons();
    // The system menu below the caption's icon, the hot button cleared.
    void DropSystemMenu();
    // The hit code of the title button at a cache point (HTCAPTION for one that cannot act
    // now), 0 for none.
    int ButtonAt(vcl::TPoint cachePoint);
    // The hit code of a screen point, as the skinned caption answers it (0 outside).
    int HitTest(win::POINT screen);
    // The brush the dialog's background is erased with (one per adapter and skin).
    win::HBRUSH BackgroundBrush();
    // Makes the border window when the manager's extended borders are on and the dialog has a
    // caption, frees it otherwise.
    void UpdateExtendedBorders();
    // Where the window's top-left corner lies in the cache image.
    vcl::TPoint CacheOrigin() const;

    bool HasSystemMenu() const { return (Style & win::WS_SYSMENU) != 0; }
    bool HasContextHelp() const { return (ExStyle & win::WS_EX_CONTEXTHELP) != 0; }
    bool HasMaximizeBox() const { return (Style & win::WS_MAXIMIZEBOX) != 0; }
    bool HasMinimizeBox() const { return (Style & win::WS_MINIMIZEBOX) != 0; }
    bool CanMaximizeDialog() const;
    bool CanRestoreDialog() const;
    bool DialogIsActive() const { return CaptionActive; }
    vcl::TRect DialogIconRect() const;
    // The title buttons in the order they are laid out from the right: close, maximize,
    // minimize, help; only those shown.
    std::vector<TsCaptionButton*> ShownButtons();
    TsCaptionButton* ButtonOf(int hitCode);

    std::vector<vcl::TRect> RegionCuts;
    int HotButton = 0;
    bool CaptionActive = true;
    bool DrawClientSelf = false;
    int CaptionIndex = -1;
    bool ChildrenScanned = false;
    TsCaptionButton ButtonMin, ButtonMax, ButtonClose, ButtonHelp;
    std::unique_ptr<vcl::TBitmap> IconBitmap;
    win::HICON Icon = nullptr;
    uint32_t Style = 0, ExStyle = 0;
    bool RegionNeeded = true;
    bool RegionUpdating = false;
    int Width = 0, Height = 0;
    uint8_t BorderKind = 1;
    bool Prepared = false;
    TacSystemMenu* SystemMenu = nullptr;
    TacProvider* Provider = nullptr;
    // How often the show and hide animations were started, for the tests.
    int ShowAnimations = 0, HideAnimations = 0;

private:
    friend class DialogBorderOwner;
    void FreeBorderForm();
    void PlaceBorderForm(bool repaint);
    void ChooseButtonMasks();
    void LayoutTitleButtons();
    void PaintCaption(vcl::TBitmap* cache, int border, int top);
    void PaintTitleButtons(vcl::TBitmap* cache);
    void RepaintTitleButton(TsCaptionButton& b);
    void BuildRegionCuts();
    void PaintNonClient();
    void EraseBackground(win::HDC dc);
    void AttachNewChildren();
    bool Enabled(const TsCaptionButton& b) const;
    void Pressed(vcl::TMessage& m, int hit);
    void Released(vcl::TMessage& m, int hit);
    void AnswerBackgroundInfo(BackgroundInfo& info);
    void ReloadSkin();
    void FreeBrush();

    std::unique_ptr<TacBorderForm> borderForm_;
    win::HBRUSH brush_ = nullptr;
    bool pressed_ = false;
    bool styleRemoved_ = false;
};

// WM_PRINT to each visible child of `wnd`, in z-order and recursively, with the DC's origin at
// the child.
void PrintChildWindows(win::HWND wnd, win::HDC dc);

}  // namespace skin
