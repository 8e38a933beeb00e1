// Forms, the application object and the screen.
//
// A form is a top-level window owned by the application's hidden window. Forms are built in
// code: CreateForm<T> runs T's constructor inside a loading scope (so the components it makes
// are loaded afterwards, in the order they were made), then OnCreate. The first form the
// application creates is its main form; closing the main form ends Run.
//
// ShowModal runs its own message loop until ModalResult is set (by code, by a button's
// ModalResult, or by closing the form) and then hides the form.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vcl/controls/controls.h"
#include "vcl/controls/menus.h"
#include "vcl/graphics/icon.h"

namespace vcl {

class TApplication;
class TScreen;
class THintWindow;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

enum TFormBorderStyle : uint8_t {
    bsNone,
    bsSingle,
    bsSizeable,
    bsDialog,
    bsToolWindow,
    bsSizeToolWin
};
// The border of a control: bsNone or bsSingle.
using TBorderStyle = TFormBorderStyle;
enum TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = Set<TBorderIcon>;
enum TFormStyle : uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition : uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
enum TFormStateItem : uint8_t {
    fsCreating,
    fsVisible,
    fsShowing,
    fsModal,
    fsCreatedMDIChild,
    fsActivated
};
using TFormState = Set<TFormStateItem>;

using TCloseEvent = Delegate<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = Delegate<void(TObject* Sender, bool& CanClose)>;

// The base of the windowed containers that may scroll their contents: forms and frames. This
// program scrolls none of them; the class is what code asks a container for.
class TScrollingWinControl : public TWinControl {
public:
    VCL_CLASS(TScrollingWinControl, TWinControl)
    explicit TScrollingWinControl(TComponent* owner) : TWinControl(owner) {}
};

// A reusable group of controls placed on a form as one control.
class TCustomFrame : public TScrollingWinControl {
public:
    VCL_CLASS(TCustomFrame, TScrollingWinControl)
    explicit TCustomFrame(TComponent* owner);
};

class TFrame : public TCustomFrame {
public:
    VCL_CLASS(TFrame, TCustomFrame)
    using TCustomFrame::TCustomFrame;
};

class TCustomForm : public TScrollingWinControl {
public:
    VCL_CLASS_PUBLISHED(TCustomForm, TScrollingWinControl)

    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle s);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState s);
    bool KeyPreview = false;
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r) { modalResult_ = r; }
    bool AlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(bool on);
    uint8_t AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(uint8_t v);
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* c);
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    // The form's own icon; while empty the window shows the application's (a dialog none).
    TIcon* Icon() { return &icon_; }
    // Gives the window the icons it shows now.
    void UpdateIcon();
    TFormState FormState;
    bool Active() const { return active_; }
    // Draws on the form's client area (during OnPaint, on the paint DC).
    TCanvas* Canvas() { return canvas_; }
    // Forms of this program are never MDI frames; kept for code that asks.
    win::HWND ClientHandle() const { return nullptr; }

    void Show();
    void Hide() { SetVisible(false); }
    void Close();
    bool CloseQuery();
    virtual TModalResult ShowModal();
    // Frees the form once the messages now queued for it have been handled.
    void Release();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnPaint;

    void SetFocusedControl(TWinControl* control) override;
    bool WantsKeyPreview() const override { return KeyPreview; }
    bool Showing() const override;
    TRect ClientRect() const override;
    bool IsShortCut(uint16_t key, TShiftState shift);
    void Notification(TComponent* component, TOperation operation) override;
    void Dispatch(TMessage& message) override;
    // Moves the focus to the active control, or the first that can take it.
    void FocusControl(TWinControl* control);
    void MouseWheelHandler(TMessage& message) override;
    // CM_CANCELMODE to the active control of the active form.
    void SendCancelMode(TControl* sender);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    virtual void DoShow() { OnShow(this); }
    virtual void DoHide() { OnHide(this); }
    virtual void DoClose(TCloseAction& action) { OnClose(this, action); }
    virtual void Activate() { OnActivate(this); }
    virtual void Deactivate() { OnDeactivate(this); }
    virtual void Paint() { OnPaint(this); }
    void PaintWindow(win::HDC dc) override;
    void VisibleChanging() override;

private:
    void FrameStyles(uint32_t& style, uint32_t& exStyle) const;
    void PlaceForShow();
    void CloseModal();
    void ApplyAlpha();
    void IconChanged(TObject*);

    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TModalResult modalResult_ = mrNone;
    bool alphaBlend_ = false;
    uint8_t alphaBlendValue_ = 255;
    TWinControl* activeControl_ = nullptr;
    TMainMenu* menu_ = nullptr;
    bool active_ = false;
    TCanvas* canvas_;
    TIcon icon_;
    win::HICON smallIcon_ = nullptr;  // the icon at the small size, made when it changes
};

class TForm : public TCustomForm {
public:
    VCL_CLASS(TForm, TCustomForm)
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// The form a control sits on, or nullptr.
TCustomForm* GetParentForm(TControl* control);

// While a modal window is up, every shown and enabled form but `except` is disabled; the list
// of the disabled ones is handed back to EnableTaskWindows afterwards.
std::vector<win::HWND> DisableTaskWindows(TCustomForm* except);
void EnableTaskWindows(const std::vector<win::HWND>& windows);
// Runs a system dialog (a message box, a file dialog) owned by the application window, with
// every form disabled while it is up and the application's modal level raised; the window
// active before is active again afterwards. Answers what `show` answers.
int RunSystemModal(const std::function<int(win::HWND owner)>& show);

// Builds a form of class T the way a stored form would be read: the components made by its
// constructor get Loaded once all are made, then OnCreate runs.
template <typename T>
T* CreateForm(TComponent* owner) {
    T* form;
    {
        TLoadingScope scope;
        form = new T(owner);
        try {
            scope.Finish();
        } catch (...) {
            form->Free();
            throw;
        }
    }
    try {
        form->AfterConstruction();
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

// The window that shows hints: a borderless pop-up with the text on the hint colour.
class THintWindow : public TCustomControl {
public:
    VCL_CLASS(THintWindow, TCustomControl)

    explicit THintWindow(TComponent* owner);
    // The rectangle the text needs, at most maxWidth wide.
    virtual TRect CalcHintRect(int maxWidth, const std::string& hint);
    // Shows the hint at a screen rectangle without taking the focus.
    virtual void ActivateHint(TRect rect, const std::string& hint);
    void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
};

using TIdleEvent = Delegate<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = Delegate<void(TObject* Sender, const std::exception& E)>;
using TMessageEvent = Delegate<void(win::MSG& Msg, bool& Handled)>;
using TWindowHook = Delegate<bool(TMessage& Message)>;
using THintWindowFactory = std::function<THintWindow*(TComponent* owner)>;
// What a hint is about to show: the control, where (screen) and how wide at most.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos{};
    int HintMaxWidth = 0;
};
// May change the text and the hint's place and width, or refuse the hint (CanShow false).
using TShowHintEvent = Delegate<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

class TApplicationEvents;

class TApplication : public TComponent {
public:
    VCL_CLASS(TApplication, TComponent)

    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    void Initialize();
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    std::string ExeName() const;
    win::HWND Handle();  // the hidden application window, made on first use
    // The program's icon, which the application window answers to WM_GETICON (ICON_BIG; the
    // small sizes get its small image) and forms without an icon of their own show.
    TIcon* Icon() { return &icon_; }
    win::HICON SmallIcon() const { return smallIcon_; }
    TCustomForm* MainForm() const { return mainForm_; }
    bool ShowMainForm = true;

    template <typename T>
    void CreateForm(T*& reference) {
        reference = nullptr;
        T* form = vcl::CreateForm<T>(this);
        reference = form;
        if (!mainForm_) mainForm_ = form;
    }

    void Run();
    // Handles every message waiting now, then returns.
    void ProcessMessages();
    // Handles one message, or, with none waiting, runs the idle work and waits for the next.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }

    void HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(TWindowHook hook);

    // Shows an exception to the operator: OnException when set, else a message box.
    void HandleException(TObject* sender, std::exception_ptr error);
    void ShowException(const std::exception& e);
    // A message box owned by the application window (so it works before any form exists),
    // with every form disabled while it is up. Answers IDOK, IDYES, ...
    int MessageBox(const std::string& text, const std::string& caption, uint32_t flags = 0);

    // Bracket every modal loop (a modal form, a system dialog, a message box), nested ones too.
    // OnModalBegin runs when the outermost one starts and OnModalEnd when it ends, so a
    // handler sees one begin and one end however deep the loops go.
    void ModalStarted();
    void ModalFinished();
    int ModalLevel() const { return modalLevel_; }
    TNotifyEvent OnModalBegin;
    TNotifyEvent OnModalEnd;

    // Hints.
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool on);
    TColor HintColor = clInfoBk;
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    std::string Hint;
    void CancelHint();
    void ActivateHint(TPoint cursorPos);
    THintWindow* HintWindow() const { return hintWindow_; }
    // Makes the hint window; the skin engine puts its own in. A new class serves from the
    // next hint on: the window of the old one is freed then.
    const THintWindowFactory& HintWindowClass() const { return hintWindowClass_; }
    void SetHintWindowClass(THintWindowFactory factory);
    TShowHintEvent OnShowHint;

    TNotifyEvent OnHint;
    TIdleEvent OnIdle;
    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Forms register themselves; the skin engine walks them.
    void RegisterEvents(TApplicationEvents* e);
    void UnregisterEvents(TApplicationEvents* e);
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool ProcessMessage(win::MSG& msg);
    void Idle(const win::MSG& msg);
    bool IsKeyMsg(win::MSG& msg);
    void WndProc(TMessage& message);
    static win::LRESULT StaticAppProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);
    void HintTimerExpired();
    void UpdateHintControl(TControl* control, TPoint cursor);
    void IconChanged(TObject*);

    std::string title_ = "Tessary";
    win::HWND handle_ = nullptr;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool showHint_ = true;
    std::vector<TWindowHook> hooks_;
    std::vector<TApplicationEvents*> events_;
    THintWindow* hintWindow_ = nullptr;
    THintWindowFactory hintWindowClass_;
    bool hintClassChanged_ = false;
    TControl* hintControl_ = nullptr;
    bool hintActive_ = false;
    bool handlingException_ = false;
    int modalLevel_ = 0;
    TIcon icon_;
    win::HICON smallIcon_ = nullptr;
};

// A component that passes the application's events on to the form it sits on; any number may
// exist, and each one's handlers run.
class TApplicationEvents : public TComponent {
public:
    VCL_CLASS(TApplicationEvents, TComponent)
    explicit TApplicationEvents(TComponent* owner);
    ~TApplicationEvents() override;

    TIdleEvent OnIdle;
    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    TNotifyEvent OnHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnModalBegin;
    TNotifyEvent OnModalEnd;
};

class TScreen : public TComponent {
public:
    VCL_CLASS(TScreen, TComponent)
    explicit TScreen(TComponent* owner);

    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int index) const;
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    // While not crDefault, every control of the program shows this cursor.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    // The windowing layer's cursor of a class library cursor (the arrow for crDefault and the
    // ones it does not know, nullptr for crNone).
    win::HCURSOR Cursors(TCursor cursor) const;
    int PixelsPerInch = 96;
    // The font hints are written in.
    TFont* HintFont() { return &hintFont_; }
    // The font menus are written in: the system's menu font of the non-client metrics, read
    // anew at each call.
    TFont* MenuFont();

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* f);
    void RemoveForm(TCustomForm* f);
    void BringForward(TCustomForm* f);

    std::vector<TCustomForm*> forms_;  // the most recently active first
    TCursor cursor_ = crDefault;
    TFont hintFont_;
    TFont menuFont_;
};

// The process's application and screen, made on first use.
TApplication* Application();
TScreen* Screen();
// Frees both (at the end of the program, and between tests).
void DoneApplication();

}  // namespace vcl
