// TControl and its families: graphic controls painted by their parent, windowed controls over
// windows of the windowing layer, and custom controls that are both windowed and painted with
// a canvas.
//
// Every message reaches a control through WindowProc, a replaceable delegate: code that wants
// to see a control's messages first saves WindowProc, puts its own in, passes what it does not
// handle to the saved one, and puts the saved one back when it is done (it may compare to see
// whether its own is still in force). The control's own chain is WndProc (mouse and key
// bookkeeping) -> Dispatch (the message handlers of each class) -> DefaultHandler (for windowed
// controls, the window class's own procedure).
//
// A windowed control makes its window when the handle is first needed; CreateParams says how.
// Graphic controls have no window: the parent paints them and passes them the mouse messages
// over their bounds, capturing the mouse for them while a button is held.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "platform/user/win_types.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/graphics.h"
#include "vcl/system/component.h"
#include "vcl/system/delegate.h"
#include "vcl/system/messages.h"
#include "vcl/system/set.h"
#include "vcl/system/types.h"

namespace vcl {

class TWinControl;
class TPopupMenu;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = Set<TAnchorKind>;
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
// A bevel around a windowed control: its look and its inner and outer edges.
enum TBevelKind : uint8_t { bkNone, bkTile, bkSoft, bkFlat };
enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

enum TControlStateItem : uint8_t {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking
};
using TControlState = Set<TControlStateItem>;

enum TControlStyleItem : uint8_t {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents
};
using TControlStyle = Set<TControlStyleItem>;

enum TShiftStateItem : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = Set<TShiftStateItem>;
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

using TCursor = int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

using TMouseEvent =
    Delegate<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = Delegate<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = Delegate<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = Delegate<void(TObject* Sender, char& Key)>;
using TMouseWheelEvent = Delegate<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                       TPoint MousePos, bool& Handled)>;

// How a windowed control's window is made.
struct TCreateParams {
    std::string Caption;
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    win::HWND WndParent = nullptr;
    // The class the window is made of: the control's own class name, registered on first use
    // as a copy of WinClassBase (a native class such as "Button") or of a plain window class.
    std::string WinClassName;
    std::string WinClassBase;
    uint32_t ClassStyle = 0;
};

// The smallest and largest size a control may take; 0 leaves that side free. A control sized
// against them takes the nearest size they allow; a form tells the windowing layer as well, so
// the user's sizing keeps to them.
class TSizeConstraints : public TPersistent {
public:
    VCL_CLASS(TSizeConstraints, TPersistent)

    int MinWidth() const { return minWidth_; }
    int MinHeight() const { return minHeight_; }
    int MaxWidth() const { return maxWidth_; }
    int MaxHeight() const { return maxHeight_; }
    void SetMinWidth(int v) { Set(minWidth_, v); }
    void SetMinHeight(int v) { Set(minHeight_, v); }
    void SetMaxWidth(int v) { Set(maxWidth_, v); }
    void SetMaxHeight(int v) { Set(maxHeight_, v); }
    // A minimum wins over a smaller maximum.
    void Constrain(int& width, int& height) const;
    void Assign(const TPersistent* source) override;

    TNotifyEvent OnChange;

private:
    void Set(int& field, int v);

    int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

class TControl : public TComponent {
public:
    VCL_CLASS_PUBLISHED(TControl, TComponent)

    explicit TControl(TComponent* owner);
    ~TControl() override;
    void BeforeDestruction() override;

    // --- messages ---
    TWndMethod WindowProc;
    intptr_t Perform(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
    virtual void WndProc(TMessage& message);
    virtual void Dispatch(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    // --- place ---
    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect ClientRect() const { return Rect(0, 0, width_, height_); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientSize(int width, int height);
    virtual TPoint ClientOrigin() const;  // screen position of the client area's top left
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors anchors);
    TSizeConstraints* Constraints() { return &constraints_; }
    const TSizeConstraints* Constraints() const { return &constraints_; }

    // --- look ---
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible together with every parent, and the top-level parent shown.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool on);
    TFont* Font() { return &font_; }
    const TFont* Font() const { return &font_; }
    void SetFont(const TFont* font) { font_.Assign(font); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool on);
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& text) { SetText(text); }
    std::string Text() const { return GetText(); }
    virtual std::string GetText() const;
    virtual void SetText(const std::string& text);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool on);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool on);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    TControlState ControlState;
    TControlStyle ControlStyle;
    TAlignment Alignment() const { return alignment_; }
    virtual void SetAlignment(TAlignment a);

    // --- painting ---
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    virtual void BringToFront();
    virtual void SendToBack();

    // --- events ---
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    // The wheel turned while this control or one inside it has the focus; the position is on
    // the screen. A handler that sets Handled keeps it from the parents.
    TMouseWheelEvent OnMouseWheel;
    TNotifyEvent OnResize;
    virtual void Click();

    // Where a wheel message goes first: the form hands it to its focused control, whose
    // CM_MOUSEWHEEL passes it up the parents until one handles it.
    virtual void MouseWheelHandler(TMessage& message);

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

    // Right-to-left reading is not supported: the flags are those of left-to-right text.
    uint32_t DrawTextBiDiModeFlags(uint32_t flags) const { return flags; }

protected:
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual bool DoMouseWheel(TShiftState shift, int delta, TPoint mousePos);
    // Tells the forms this control is on that the mouse went down on it, so their focused
    // controls close what they have open (CM_CANCELMODE with the sender in LParam).
    void SendCancelMode(TControl* sender);
    virtual void Resize() { OnResize(this); }
    virtual void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<intptr_t>(this)); }
    virtual void VisibleChanging() {}
    // The parent's font or colour changed: take it when the Parent... flag is set.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    void FontChanged(TObject*);
    virtual void RequestAlign();
    void InvalidateControl(bool isVisible, bool isOpaque);
    void SetTextBuf(const std::string& text) { text_ = text; }
    const std::string& TextBuf() const { return text_; }

    std::string text_;

private:
    friend class TWinControl;
    // The forms of properties read and written by name.
    TFont* PublishedFont() const { return const_cast<TFont*>(&font_); }
    int64_t AnchorBits() const { return static_cast<int64_t>(anchors_.Bits()); }
    void SetAnchorBits(int64_t bits) { SetAnchors(TAnchors(static_cast<uint64_t>(bits), 0)); }
    void HandleMouse(TMessage& m);
    void UpdateAnchorRules();
    void ConstraintsChanged(TObject*) { SetBounds(left_, top_, width_, height_); }

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    TAnchors anchors_{akLeft, akTop};
    TSizeConstraints constraints_;
    // The place the control was given and its parent's client size then: every later size of
    // the parent places it from these, so a parent made too small for it (a minimised form)
    // gives it its place back when it grows again. Not taken while the parent is placing it.
    int anchorLeft_ = 0, anchorTop_ = 0, anchorWidth_ = 0, anchorHeight_ = 0;
    int anchorParentW_ = -1, anchorParentH_ = -1;
    bool anchorMove_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    TFont font_;
    bool parentFont_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TPopupMenu* popupMenu_ = nullptr;
    TCursor cursor_ = crDefault;
    TAlignment alignment_ = taLeftJustify;
};

// The control whose window is `hwnd`, or nullptr.
TWinControl* FindControl(win::HWND hwnd);
// The deepest enabled or disabled, visible control at a screen point (graphic children too).
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled);

class TWinControl : public TControl {
public:
    VCL_CLASS_PUBLISHED(TWinControl, TControl)

    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    void BeforeDestruction() override;

    win::HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Makes the window again with the current CreateParams (a style that cannot change), by
    // CM_RECREATEWND; Invalidate sends CM_INVALIDATE. A window procedure may swallow either.
    void RecreateWnd();

    // The children: the graphic ones first, then the windowed ones.
    int ControlCount() const { return static_cast<int>(controls_.size() + winControls_.size()); }
    TControl* Controls(int index) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(const TControl* control) const;
    TControl* ControlAtPos(TPoint clientPos, bool allowDisabled, bool allowWinControls = false);

    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool on);
    void GetTabOrderList(std::vector<TWinControl*>& list);
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                 bool checkParent);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

    virtual bool CanFocus();
    virtual bool Focused();
    virtual void SetFocus();

    // Paints the control and its children into a DC at (x, y), without a window on screen.
    void PaintTo(win::HDC dc, int x, int y);
    void Realign();
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();

    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    bool Showing() const override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void BringToFront() override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetEnabled(bool enabled) override;
    std::string GetText() const override;
    void SetText(const std::string& text) override;

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    // The brush the window's background is erased with; it follows Color.
    TBrush* Brush() { return &brush_; }
    // Tells the parent form which control has the focus now.
    virtual void SetFocusedControl(TWinControl* control);

    // A parent that answers true sees the keys of its controls before they do (a form's
    // KeyPreview). The key handlers answer true when the key was used up (set to 0).
    virtual bool WantsKeyPreview() const { return false; }
    virtual bool DoKeyDown(uint16_t& key, TShiftState shift);
    virtual bool DoKeyPress(char& key);
    virtual bool DoKeyUp(uint16_t& key, TShiftState shift);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // The window procedure all class library windows share.
    static win::LRESULT StaticWndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam,
                                      win::LPARAM lParam);

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    virtual void CreateHandle();
    virtual void DestroyHandle();
    // After the window exists: text, font and position are in it.
    virtual void CreateSubClass(TCreateParams& params, const std::string& base);
    virtual void AlignControls(TControl* control, TRect& rect);
    // The part of the client area that aligned children share (inside frames and captions).
    virtual void AdjustClientRect(TRect&) {}
    virtual void PaintWindow(win::HDC dc);
    void PaintControls(win::HDC dc, TControl* first);
    void PaintHandler(TMessage& m);
    virtual void DoEnter() { OnEnter(this); }
    virtual void DoExit() { OnExit(this); }
    void UpdateShowing();
    void UpdateBounds();
    void NotifyControls(uint32_t msg);
    bool IsControlMouseMsg(TMessage& m);

    win::WNDPROC DefWndProc = nullptr;  // the window class's own procedure

private:
    friend class TControl;
    void AlignControl(TControl* control);
    void DoAlignChildren();
    void DoRecreateWnd();
    bool HandleKey(TMessage& m);
    TWinControl* ReflectTarget(const TMessage& m);

    win::HWND handle_ = nullptr;
    TBrush brush_;
    int lastClientW_ = -1, lastClientH_ = -1;
    std::vector<TControl*> controls_;        // graphic children
    std::vector<TWinControl*> winControls_;  // windowed children
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false;
    bool showing_ = false;
    int alignDisabled_ = 0;
    bool aligning_ = false;
    TControl* captureControl_ = nullptr;
};

// A windowed control whose face is painted with a canvas in Paint.
class TCustomControl : public TWinControl {
public:
    VCL_CLASS(TCustomControl, TWinControl)

    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas* Canvas() { return canvas_; }

protected:
    virtual void Paint() {}
    void PaintWindow(win::HDC dc) override;

private:
    TCanvas* canvas_;
};

// A control without a window, painted by its parent on the parent's DC.
class TGraphicControl : public TControl {
public:
    VCL_CLASS(TGraphicControl, TControl)

    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas* Canvas() { return canvas_; }

    void Dispatch(TMessage& message) override;

protected:
    virtual void Paint() {}

private:
    TCanvas* canvas_;
};

// A canvas on a control: its window's DC, or the parent's clipped to a graphic control.
class TControlCanvas : public TCanvas {
public:
    VCL_CLASS(TControlCanvas, TCanvas)

    explicit TControlCanvas(TControl* control) : control_(control) {}
    ~TControlCanvas() override { FreeHandle(); }
    TControl* Control() const { return control_; }
    void FreeHandle();
    // Frees the DCs that canvases hold of a window that is going.
    static void FreeHandlesOf(win::HWND window);
    // A DC handed in by a paint message; it is given back by its owner.
    void UsePaintDC(win::HDC dc);

protected:
    void CreateHandle() override;

private:
    TControl* control_;
    win::HDC dc_ = nullptr;
    win::HWND window_ = nullptr;
    bool own_ = false;
};

// Whether `key` is the "&" mnemonic of the caption ("&&" is a plain "&"), ignoring case.
bool IsAccel(uint32_t key, const std::string& caption);

// Lends a DC handed in by a paint message to a control's canvas, locked, while it lives.
class TPaintDCLease {
public:
    TPaintDCLease(TCanvas* canvas, win::HDC dc);
    ~TPaintDCLease();
    TPaintDCLease(const TPaintDCLease&) = delete;
    TPaintDCLease& operator=(const TPaintDCLease&) = delete;

private:
    TControlCanvas* canvas_;
};

// Shift state from message key flags (MK_) or from the keyboard state.
TShiftState KeysToShiftState(uint32_t keys);
TShiftState KeyDataToShiftState(intptr_t keyData);

}  // namespace vcl
