// TsSkinProvider: the component that skins one form. It takes over the form's window procedure,
// paints the non-client area (frame, caption, icon, title buttons, menu band, grip) from a frame
// cache built from the skin, answers the skin command for the form and follows skin changes.
//
// At most one provider is active per form; a second one placed by the application replaces a
// library-made provider, otherwise it stays passive and never hooks the form.
//
// The class is implemented over several files of this folder, one concern each:
//   skin_provider.cpp     life cycle, preparation, properties, skin commands
//   form_window_proc.cpp  the form's window procedure
//   form_hit_test.cpp     hit testing, caption mouse work, outline move/size, snapping
//   frame_metrics.cpp     frame measures and the caption-button masks
//   form_region.cpp       the window region, redraw locks, the form's scroll adapter
//   frame_paint.cpp       the frame cache: frame, caption band, icon, text, menu band, grip
//   title_buttons.cpp     title buttons, their states and their animation
//   system_menu.cpp       the skinned system menu
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/win_types.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/windows/provider/frame_paint.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/graphics.h"
#include "vcl/system/collection.h"
#include "vcl/system/component.h"
#include "vcl/system/messages.h"
#include "vcl/system/timer.h"

namespace vcl {
class THintWindow;
}

namespace skin {

class TsCommonData;
class TsSkinManager;
class TsSkinProvider;
class TsSystemMenu;
class TacSBAnimation;
class TacMainWnd;

enum TsGripMode : uint8_t { gmNone, gmRightBottom };
enum TsResizeMode : uint8_t { rmStandard, rmBorder };

// Hit codes of the provider's own caption elements (beside the system HT* codes).
inline constexpr int kHitMDIClose = 101;
inline constexpr int kHitMDIRestore = 102;
inline constexpr int kHitMDIMinimize = 103;
inline constexpr int kHitUserButton = 1000;  // + the title button's index

// The skin state's flag of a menu change put off until the current skin update ends.
inline constexpr uint16_t kCtrlMenuChangePending = 0x0400;

// One caption element: a system button, a maximized MDI child's button, or a user button.
struct TsCaptionButton {
    int State = -1;       // 0 normal, 1 hot, 2 pressed; -1 hidden or not set
    int ImageIndex = -1;  // mask index in the manager's masks, -1 none
    vcl::TRect Rect{};    // in the frame cache's coordinates
    bool LargeGlyph = false;  // a BICON* mask (only those follow BIVALIGN and BITOP)
    int GlowID = -1;
    TacSBAnimation* Timer = nullptr;  // the element's animation, made on first use
    int HitCode = 0;
};

// A second text painted in the caption after the form's caption.
class TacAddedTitle : public vcl::TPersistent {
public:
    VCL_CLASS(TacAddedTitle, vcl::TPersistent)
    explicit TacAddedTitle(TsSkinProvider* provider);
    ~TacAddedTitle() override;

    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    vcl::TFont* Font() const { return font_.get(); }  // colour clNone: the caption's colour
    void SetFont(const vcl::TFont* font);
    // Repaints the caption, unless the provider is loading.
    void Changed();

private:
    TsSkinProvider* provider_;
    std::string text_;
    std::unique_ptr<vcl::TFont> font_;
};

// The caption icon's override.
class TsTitleIcon : public vcl::TPersistent {
public:
    VCL_CLASS(TsTitleIcon, vcl::TPersistent)
    TsTitleIcon();
    ~TsTitleIcon() override;
    vcl::TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(const vcl::TBitmap* glyph);
    int Height = 0;
    int Width = 0;

private:
    std::unique_ptr<vcl::TBitmap> glyph_;
};

// A user button of the caption.
class TsTitleButton : public vcl::TCollectionItem {
public:
    VCL_CLASS(TsTitleButton, vcl::TCollectionItem)
    explicit TsTitleButton(vcl::TCollection* collection);
    ~TsTitleButton() override;
    void Assign(const vcl::TPersistent* source) override;
    std::string DisplayName() const override;

    bool Enabled = true;
    vcl::TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(const vcl::TBitmap* glyph);  // frees the button's animation
    std::string Hint;
    std::string Name;  // "TsTitleButton" when empty at creation
    bool UseSkinData = true;
    bool Visible() const { return visible_; }
    void SetVisible(bool on);  // repaints the caption
    vcl::TMouseEvent OnMouseDown;
    vcl::TMouseEvent OnMouseUp;

    void ActivateHint();
    void HideHint();
    void DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
    void DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
    // The provider whose collection holds the button, or null.
    TsSkinProvider* Provider() const;

    TsCaptionButton Data;  // its caption element (HitCode 1000 + Index)
    vcl::THintWindow* HintWnd = nullptr;

private:
    std::unique_ptr<vcl::TBitmap> glyph_;
    bool visible_ = true;
};

class TsTitleButtons : public vcl::TCollection {
public:
    VCL_CLASS(TsTitleButtons, vcl::TCollection)
    explicit TsTitleButtons(TsSkinProvider* provider);
    TsTitleButton* GetItem(int index) const;
    TsSkinProvider* Provider() const { return provider_; }

private:
    TsSkinProvider* provider_;
};

class TsSkinProvider : public vcl::TComponent, public TsSkinProviderBase {
public:
    VCL_CLASS_PUBLISHED(TsSkinProvider, vcl::TComponent)

    // Raises EAbort when `owner` is not a form (nothing is made then).
    explicit TsSkinProvider(vcl::TComponent* owner);
    ~TsSkinProvider() override;
    // A provider made by the library for a form that has none; prepared on first use.
    static TsSkinProvider* CreateInternal(vcl::TComponent* owner);
    void AfterConstruction() override;
    void Loaded() override;
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
    // Makes the control adapter of the form, while the form is skinned, and walks the form's
    // controls once.
    virtual void CreateCtrlAdapter();

    // ---- TsSkinProviderBase ----
    vcl::TCustomForm* Form() const override { return form_; }
    TsSkinManager* SkinManager() const override;
    TacBorderFormBase* BorderForm() const override { return borderForm_; }
    TsCommonData* SkinData() const override { return skinData_.get(); }
    void BuildRegionCuts() override;
    void UpdateFormRegion(bool repaint) override;
    void PaintFrame() override;
    void FreeFrameCache() override;
    win::HRGN CreateFormRegion(int dx, int dy) override;
    int ClientOffsetX() const override;
    int ClientOffsetY() const override;
    vcl::TRect GetFrameMargins() const override;
    int CaptionHeight() const override { return CaptionHeight(true); }
    int ExtTitleHeight() const override;
    int ExtBorderWidth() const override;
    int SysBorderWidth() const override;
    int ExtCaptionExtra() const override;
    void FreeBorderForm() override;
    vcl::TWndMethod SavedFormProc() const override { return OldWndProc; }
    void SetSavedFormProc(const vcl::TWndMethod& proc) override { OldWndProc = proc; }

    // ---- published ----
    TacAddedTitle* AddedTitle() const { return addedTitle_.get(); }
    bool AllowExtBorders() const { return allowExtBorders_; }
    void SetAllowExtBorders(bool on);
    vcl::TAlignment CaptionAlignment() const { return captionAlignment_; }
    void SetCaptionAlignment(vcl::TAlignment a);
    void SetDrawNonClientArea(bool on);
    TsGripMode GripMode = gmNone;
    bool MakeSkinMenu = false;
    const std::string& MenuLineSkin() const { return menuLineSkin_; }
    void SetMenuLineSkin(const std::string& name);
    TsResizeMode ResizeMode = rmStandard;
    bool ScreenSnap = false;
    int SnapBuffer = 10;
    bool ShowAppIcon() const { return showAppIcon_; }
    void SetShowAppIcon(bool on);
    TsTitleButtons* TitleButtons() const { return titleButtons_.get(); }
    void SetTitleButtons(const TsTitleButtons* buttons);
    TsTitleIcon* TitleIcon() const { return titleIcon_.get(); }
    const std::string& TitleSkin() const { return titleSkin_; }
    void SetTitleSkin(const std::string& name);
    bool UseGlobalColor() const { return useGlobalColor_; }
    void SetUseGlobalColor(bool on);
    std::function<void(vcl::TMessage&)> OnExtHitTest;
    std::function<void(vcl::TComponent*, bool&, std::string&)> OnSkinItem;

    // ---- life cycle and preparation (skin_provider.cpp) ----
    void PrepareForm();
    void InitFormSkinning();
    void UpdateBorderForm(bool allow);
    void SetMDIForm(bool make);
    void InvalidateFrame();
    void FullRepaint(bool showBorder);
    std::string TitleSkinSection() const;
    int TitleSkinIndex() const;
    vcl::TColor FormColor() const;
    void RemoveCtrlAdapter();
    void SendToAdapterItems(vcl::TMessage& m);
    void UpdateMenusOwnerDraw(bool skinned);
    bool RebuildMainMenu();
    void UpdateSysMenuStyle(bool skinned);
    void KillAnimations();
    // The skin command (SM_ALPHACMD) for the form; false when it goes on to OldWndProc.
    bool HandleSkinCommand(vcl::TMessage& m);
    // The form is skinned: not being destroyed and its skin state passes the active test.
    bool Skinned() const;
    // Gives the form's procedure back (or leaves a pass-through when another procedure sits on
    // top) and stops answering for the form; the provider stays inert until it is freed.
    void Unhook();
    bool Hooked() const { return link_ != nullptr; }
    // Expires when the provider is freed: code that calls out into the form keeps a copy and
    // touches the provider afterwards only while it has not expired.
    std::weak_ptr<int> LifeToken() const { return life_; }
    // The provider or its form is being destroyed.
    bool Destroying() const;

    // ---- window procedure (form_window_proc.cpp) ----
    void FormWindowProc(vcl::TMessage& m);
    // Answers false when the provider was freed meanwhile (nothing of it may be touched then).
    bool CallOldWndProc(vcl::TMessage& m);
    // The client background into `dc` (null: the form's own DC).
    void EraseClient(win::HDC dc);
    // The frame onto the window: region, cache, strips.
    void PaintForm();
    void RedirectMouseWheel(vcl::TMessage& m);

    // ---- hit testing and caption mouse work (form_hit_test.cpp) ----
    int HitTest(vcl::TMessage& m);
    // The caption's buttons from the right, as they are laid out, painted and hit: close,
    // maximize, minimize and help as the system menu shows them, then the visible user buttons
    // (an invisible one takes no place). Their hit codes.
    std::vector<int> CaptionButtonCodes() const;
    // The 1-based place in that walk of the button at a frame-cache point, 0 for none.
    int ButtonIndexAt(vcl::TPoint p) const;
    // What the button at a frame-cache point answers: its code, HTCAPTION for a maximize or
    // minimize that cannot act now, 0 for a disabled user button or none.
    int CaptionButtonAt(vcl::TPoint p) const;
    // The system menu below the caption's icon (an MDI child's below its caption).
    void DropSysMenuBelowIcon();
    void StartMoveSize(int x, int y);
    void StopMoveSize(int x, int y);
    void DrawMoveSizeOutline(int dx, int dy);
    void WMGetMinMaxInfo(vcl::TMessage& m);
    vcl::TPoint ScreenToFormPoint(vcl::TPoint screen) const;
    // The messages the window procedure routes here (skinned forms only).
    void WMNCHitTest(vcl::TMessage& m);
    void WMNCLButtonDown(vcl::TMessage& m);
    void WMNCLButtonUp(vcl::TMessage& m);  // also WM_LBUTTONUP
    void WMNCLButtonDblClk(vcl::TMessage& m);
    void WMNCRButtonDown(vcl::TMessage& m);
    void WMNCRButtonUp(vcl::TMessage& m);
    // WM_MOUSEMOVE: the previous procedure, then the outline follows the mouse.
    void WMMouseMoveOutline(vcl::TMessage& m);
    void WMWindowPosChangingSnap(vcl::TMessage& m);   // WM_WINDOWPOSCHANGING
    void WMSizing(vcl::TMessage& m);
    // WM_SYSCOMMAND SC_MOVE / SC_SIZE (any low bits) under rmBorder; true when the outline took
    // it (the system's loop must not run then).
    bool ArmOutline(vcl::TMessage& m);
    // Set by a double click on the icon: the wait before the system menu drops gives up.
    bool SysMenuDblClick = false;

    // ---- frame metrics (frame_metrics.cpp) ----
    int CaptionHeight(bool extended) const;
    int FullBorderWidth(bool extended) const;
    int FullBorderWidthNoExt(bool extended) const;
    int CaptionAreaHeight() const;
    int MenuHeight() const;
    bool IconVisible() const;
    int FormWidth() const;
    bool FrameSizeChanged() const;
    int SysButtonWidth(const TsCaptionButton& button) const;
    int SysButtonHeight() const;
    int VisibleSysBtnCount() const;
    int UserButtonWidth(const TsTitleButton& button) const;
    int ButtonsWidth() const;
    int TitleReserveWidth(int maskIndex) const;
    int MDIButtonWidth() const;
    int MDIButtonHeight() const;
    bool MDIChildButtonsVisible() const;
    vcl::TPoint GripPos(int gripMask) const;
    void SaveButtonsArea(bool wholeHeight);
    void RestoreButtonsArea();
    void RepaintMenuBarItem(vcl::TMenuItem* item, const vcl::TRect& rect, int state);
    void SaveTitleBG();
    void LoadTitleButtonMasks();
    bool HasBorder() const;
    bool BorderSingleOrSizeable() const;
    bool MenuPresent() const;
    bool MenuBarVisible() const;
    bool GripVisible() const;
    int TitleIconWidth() const;
    int TitleIconHeight() const;
    vcl::TRect IconRect() const;
    int MenuLineCount();
    vcl::TPoint FormScreenOrigin() const;
    // The screen point of the frame cache's top-left corner: with extended borders the border
    // window's, else FormScreenOrigin.
    vcl::TPoint CacheScreenOrigin() const;
    // The form's window (null before it has one) and its state, read from the window when it
    // exists.
    win::HWND FormHandle() const;
    bool FormIconic() const;
    bool FormMaximized() const;
    // The class library's forms have no border of their own inside the frame.
    static constexpr int kFormBorderWidth = 0;

    // ---- window region, redraw locks, scroll adapter (form_region.cpp) ----
    void LockFormRedraw(bool withMDIParent);
    void UnlockFormRedraw(bool withMDIParent);
    void AttachScrollAdapter(TacMainWnd*& adapter);

    // ---- frame painting (frame_paint.cpp) ----
    void PaintNonClientArea(win::HDC dc);
    void PaintTitleBar();
    void PaintTitleIcon();
    void PaintCaptionText();
    void PaintClientBackground(win::HDC dc, bool repaintChildren);
    void RedrawCaption();
    void PaintGrip(win::HDC dc);
    // Where the four strips of a non-client paint go, from the current cache and metrics.
    FrameStrips NonClientStrips();
    // The title section's index, looked up when the cache of it is empty.
    int ResolvedTitleSkinIndex() const;
    // The caption icons after the title icon's glyph, in the order they are tried: the
    // form's, the application's, the program's own (the large one when asked, else the small
    // one); null when there is none.
    win::HICON FormIconHandle() const;
    win::HICON ApplicationIconHandle() const;
    win::HICON ProgramIconHandle(bool large) const;

    // ---- title buttons (title_buttons.cpp) ----
    void PaintTitleButtons();
    void RepaintButton(int hitCode);
    void SetHotHT(int hitCode, bool repaint = true);
    void PressHT(int hitCode);
    // Hiding, minimising or restoring the form ends its buttons' hover and press; the next
    // pointer motion decides (rule 5 of title_buttons.cpp).
    void EndHover();
    // Whether a hit test at the screen point `screen` lights no button (rule 5).
    bool HoverHeld(const vcl::TPoint& screen);
    // The element of `hitCode` (system, MDI child or user button), or null.
    TsCaptionButton* ElementOf(int hitCode);
    const TsCaptionButton* ElementOf(int hitCode) const;
    TsTitleButton* UserButtonOf(int hitCode) const;
    // The mask an element shows now: the restore image for maximise of a maximised form and
    // minimise of a minimised one, else its own.
    int ShownMaskOf(int hitCode) const;
    // A button pressed and released outside itself, put back to normal by the next SetHotHT
    // or PressHT (0: none). Set by the release handlers.
    int PendingRestoreHT = 0;

    // ---- system menu (system_menu.cpp) ----
    void DropSysMenu(int x, int y);

    // ---- state (the names the window skinning shares) ----
    std::vector<vcl::TRect> RegionCuts;
    bool RegionChanged = true;
    std::unique_ptr<vcl::TBitmap> ButtonsAreaBmp;
    bool SysMenuStyleRemoved = false;
    int RedrawLockCount = 0;
    bool NeedsMDISetup = false;
    bool MenuBarRebuilt = false;
    bool CaptionRepaintFlags[3] = {false, false, false};
    std::unique_ptr<vcl::TBitmap> CaptionImages[2];
    TsCaptionButton ButtonMin, ButtonMax, ButtonClose, ButtonHelp;
    TsCaptionButton MDIMin, MDIMax, MDIClose;
    int UserButtonMask = -1;  // "TITLEBUTTON"
    int HotHitCode = 0;       // the hot caption element, 0 or -1 none
    vcl::TRect LastClientRect{};
    bool CaptionRaised = false;
    int TitleSkinIndexCache = -1;
    int CaptionSkinIndex = -1;
    bool MadeByLibrary = false;
    bool Passive = false;
    bool MDIBusy = false;
    bool InAnimation = false;
    bool MinimizingByButton = false;
    bool ShowAnimPending = false;
    TacMainWnd* ScrollAdapter = nullptr;
    vcl::TObject* CtrlAdapter = nullptr;  // the form's control adapter, when one is made
    bool RegionUpdating = false;
    bool MenuLineChanged = true;
    vcl::TWndMethod OldWndProc;
    vcl::TObject* MDIForm = nullptr;
    bool FormActive = true;
    std::unique_ptr<vcl::TBitmap> ButtonBmp;
    int MenuLineCountCache = -1;
    TsSystemMenu* SystemMenu = nullptr;
    std::unique_ptr<vcl::TBitmap> TitleBG;
    // The frame cache was painted once (the client is repainted around the first paint only).
    bool FormPainted = false;
    // Set while PaintFrame runs: what it draws (a menu bar item's painter) may ask for the frame
    // again, which must not start a second paint of the cache being drawn.
    bool FramePainting = false;
    bool ClientRepaintPending = false;

private:
    // ---- hit testing (form_hit_test.cpp) ----
    // The 1-based place among `codes` of the button at a frame-cache point, 0 for none.
    int PlaceAt(const std::vector<int>& codes, vcl::TPoint p) const;
    // ---- frame metrics (frame_metrics.cpp) ----
    // FormScreenOrigin, or with `ofCache` CacheScreenOrigin.
    vcl::TPoint ScreenOrigin(bool ofCache) const;
    // ---- frame painting (frame_paint.cpp) ----
    bool TitleBGStillFits() const;
    bool CacheSizeWrong() const;
    void PaintFrameLayers(int limit);
    void PaintMenuBarItems();
    void PaintCaptionPlate(int captionSection, const vcl::TRect& r, const std::string& text);
    // ---- title buttons (title_buttons.cpp) ----
    bool ElementEnabled(int hitCode) const;
    int TitleButtonTop(const TsCaptionButton& e, int buttonHeight) const;
    // Places one element ending at `right` and paints its mask into the cache.
    void PaintSysTitleButton(TsCaptionButton& e, int& right, int mask, TsTitleButton* user,
                             bool enabled);
    void HideElement(TsCaptionButton& e);
    void PaintMDIChildButtons();
    void RunPendingRestore();
    void MoveHot(int hitCode, bool repaintOld, bool repaintNew);
    std::optional<win::POINT> HoverEndedAt;  // where the pointer was at the last EndHover

protected:
    vcl::TCustomForm* form_ = nullptr;
    std::unique_ptr<TsCommonData> skinData_;
    TacBorderFormBase* borderForm_ = nullptr;
    std::unique_ptr<TacAddedTitle> addedTitle_;
    std::unique_ptr<TsTitleIcon> titleIcon_;
    std::unique_ptr<TsTitleButtons> titleButtons_;
    bool allowExtBorders_ = true;
    vcl::TAlignment captionAlignment_ = vcl::taLeftJustify;
    std::string menuLineSkin_;
    bool showAppIcon_ = true;
    std::string titleSkin_;
    bool useGlobalColor_ = true;

private:
    // ---- skin_provider.cpp ----
    friend class FormProcLink;
    bool SkinnedCommand(vcl::TMessage& m);     // the skin commands of a skinned form
    bool UnskinnedCommand(vcl::TMessage& m);   // ... of a form that is not skinned now
    void RemoveSkin(vcl::TMessage& m);         // command 2 from the provider's manager
    void ApplyGlobalColor();
    void ReadIndexes();
    void HookForm();
    class FormProcLink* link_ = nullptr;  // the form's procedure while hooked
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
    bool freePending_ = false;  // replaced while inside its own message: freed when it returns
    int depth_ = 0;             // messages of the form running in the provider now
    bool preparing_ = false;    // inside PrepareForm

    // ---- form_window_proc.cpp ----
    void SkinnedMessage(vcl::TMessage& m);
    void UnskinnedMessage(vcl::TMessage& m);
    void WMSize(vcl::TMessage& m);
    void WMNCPaint(vcl::TMessage& m);
    void WMNCActivate(vcl::TMessage& m);
    void WMSetText(vcl::TMessage& m);
    void WMSysCommand(vcl::TMessage& m);
    void CMShowingChanged(vcl::TMessage& m);
    void WMWindowPosChanged(vcl::TMessage& m);
    void WMEraseBkgnd(vcl::TMessage& m);
    void WMPaint(vcl::TMessage& m);
    void WMPrint(vcl::TMessage& m);
    void WMQueryEndSession(vcl::TMessage& m);
    bool HideAnimationWanted() const;
};

// The provider whose MDI parent form holds the MDI frame; the provider whose maximized child's
// buttons are on the parent's menu line.
extern TsSkinProvider* MDISkinProvider;
extern TsSkinProvider* HotMDIChildProvider;
// A caption button is held down (set by PressHT, cleared by SetHotHT).
extern bool ButtonPressed;

// ---- snapping and the outline (form_hit_test.cpp) ----
// The work area of the monitor the form is on.
vcl::TRect FormWorkArea(vcl::TCustomForm* form);
// pos := edge - size when pos + size lies less than `buffer` pixels from `edge`.
void SnapToEdge(int& pos, int edge, int buffer, int size);
// An outline move or size runs (one at a time in the application).
bool OutlineRunning();

// ---- unit-level frame measures (frame_metrics.cpp) ----
int SysBorderWidth(win::HWND window, TacBorderFormBase* borderForm, bool useExtended);
int SysBorderWidthNoExt(win::HWND window, TacBorderFormBase* borderForm, bool useExtended);
int ExtTitleHeight(TacBorderFormBase* borderForm);
int ExtBorderWidth(TacBorderFormBase* borderForm);
int ExtCaptionExtra(TacBorderFormBase* borderForm);
int ExtBorderExtra(TacBorderFormBase* borderForm);
bool IsWindowSizeable(win::HWND window);
bool IsSingleImageMask(int mask, TsSkinManager* manager);
int TitleIconSizeFor(int captionHeight);
int WndWidth(win::HWND w);
int WndHeight(win::HWND w);
int WndClientWidth(win::HWND w);
int WndClientHeight(win::HWND w);

// The message a window that keeps a region of its own answers with its wParam.
inline constexpr uint32_t kOwnRegionQuery = 0xBC4D;
// Whether the window shapes itself, so that the skin leaves its region alone (form_region.cpp).
bool KeepsOwnRegion(win::HWND wnd);

// The corners of mask `index`, top or bottom, as runs of the transparent key in window rows
// (form_region.cpp).
void AddMaskRegionCuts(std::vector<vcl::TRect>& cuts, const TsSkinManager* m, int index,
                       int windowWidth, bool bottom, int rowOffset);
struct TsMaskData;
// The size of one state image of a caption button's mask (title_buttons.cpp).
win::SIZE CaptionButtonImageSize(const TsMaskData& m);
// Of a window's four system caption buttons, the one a hit code names (HTMINBUTTON,
// HTMAXBUTTON, HTCLOSE, HTHELP); nullptr for any other code (title_buttons.cpp).
TsCaptionButton* SystemButtonOf(int hitCode, TsCaptionButton& min, TsCaptionButton& max,
                                TsCaptionButton& close, TsCaptionButton& help);

// ---- the desktop window manager link (form_region.cpp): never present here ----
bool IsDwmCompositionEnabled();
int32_t CallDwmSetWindowAttribute(win::HWND window, uint32_t attribute, const void* data,
                                  uint32_t size);
void SetDwmTransitionsDisabled(win::HWND window, bool disable);

// Paints the extended borders' shadow into the margins `m` of a 32-bit frame cache and under
// the frame's cut corners (frame_paint.cpp).
void PaintExtShadow(TsSkinManager* sm, bool active, const PixelView& cache, const vcl::TRect& m,
                    int formMask, int titleMask);

// ---- the extended-border window (border_owner.cpp) ----
// Makes a provider's extended-border window; empty (no window is made) until the start-up fills it.
using BorderFormCreator = std::function<TacBorderFormBase*(TsSkinProvider*)>;
BorderFormCreator& BorderFormCreation();
// The border window's hit test of a message's screen point; HTTRANSPARENT for another kind.
int BorderHitTest(TacBorderFormBase* border, vcl::TMessage& m);

// Makes or retargets the animation of a caption element (title_buttons.cpp).
void AnimateTitleButton(TsCaptionButton* element, int state, int steps, TacDialogWndBase* dialog,
                        TsSkinProvider* provider, bool forward);

// Fades a caption element's hot image in a layered window of its own (title_buttons.cpp).
class TacSBAnimation : public vcl::TTimer {
public:
    VCL_CLASS(TacSBAnimation, vcl::TTimer)
    explicit TacSBAnimation(vcl::TComponent* owner);
    ~TacSBAnimation() override;
    void StartAnimation(int state, bool forward);
    int AlphaStep() const;
    void TimerStep(vcl::TObject* sender);
    void CheckMouseLeave();
    void UpdateGlow(uint8_t level);
    vcl::TRect GlowRect() const;
    int GlowMargin() const;
    void CreateGlowForm();
    void MakeGlowImage();
    // Frees the glow window and its picture.
    void FreeGlow();
    // The owner's window rectangle (the border window's when there is one), on the screen.
    vcl::TRect OwnerWindowRect() const;
    TsSkinManager* Manager() const;
    int ElementMask() const;

    TacBorderFormBase* BorderForm = nullptr;
    TsCommonData* SkinData = nullptr;
    win::HWND Window = nullptr;
    TsCaptionButton* Button = nullptr;
    TsSkinProvider* Provider = nullptr;  // null for a dialog's element
    int Step = 0;
    int Target = 0;
    bool Forward = false;
    int StepCount = 0;
    vcl::TCustomForm* GlowForm = nullptr;
    std::unique_ptr<vcl::TBitmap> Image;
    uint8_t Level = 0;  // the constant alpha last shown
};

}  // namespace skin
