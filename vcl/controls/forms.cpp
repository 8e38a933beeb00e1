#include "vcl/controls/forms.h"

#include <algorithm>
#include <atomic>

#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/os/cp1251.h"
#include "platform/os/files.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"
#include "platform/user/window_region.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/system/list.h"
#include "vcl/system/threads.h"
#include "vcl/system/window_exceptions.h"

namespace vcl {

namespace {

TApplication* gApplication = nullptr;
std::atomic<win::HWND> gAppWindow{nullptr};  // read by worker threads that wake the loop
TScreen* gScreen = nullptr;

constexpr win::UINT_PTR kHintShowTimer = 1;
constexpr win::UINT_PTR kHintHideTimer = 2;

std::string ShortHint(const std::string& hint) {
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

}  // namespace

TApplication* Application() {
    if (!gApplication) gApplication = new TApplication(nullptr);
    return gApplication;
}

TScreen* Screen() {
    if (!gScreen) gScreen = new TScreen(nullptr);
    return gScreen;
}

void DoneApplication() {
    TApplication* app = gApplication;
    gApplication = nullptr;
    // Forms are owned by the application; freeing it frees them (they leave the screen).
    if (app) {
        gApplication = app;  // forms look the application up while they go
        app->Free();
        gApplication = nullptr;
    }
    if (gScreen) {
        gScreen->Free();
        gScreen = nullptr;
    }
}

std::vector<win::HWND> DisableTaskWindows(TCustomForm* except) {
    std::vector<win::HWND> disabled;
    if (!gScreen) return disabled;
    for (int i = 0; i < gScreen->FormCount(); ++i) {
        TCustomForm* f = gScreen->Forms(i);
        if (f != except && f->HandleAllocated() && f->Visible() && f->Enabled() &&
            win::IsWindowEnabled(f->Handle())) {
            win::EnableWindow(f->Handle(), win::FALSE);
            disabled.push_back(f->Handle());
        }
    }
    return disabled;
}

void EnableTaskWindows(const std::vector<win::HWND>& windows) {
    for (win::HWND h : windows)
        if (win::IsWindow(h)) win::EnableWindow(h, win::TRUE);
}

TCustomForm* GetParentForm(TControl* control) {
    if (!control) return nullptr;
    TControl* c = control;
    while (c->Parent())
        c = c->Parent();
    return dynamic_cast<TCustomForm*>(c);
}

// --- TCustomForm ---

std::vector<TPropInfo> TCustomForm::Published() {
    return {Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle),
            Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle),
            Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition),
            Property("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState),
            Property("ModalResult", &TCustomForm::ModalResult, &TCustomForm::SetModalResult),
            Property("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend),
            Property("AlphaBlendValue", &TCustomForm::AlphaBlendValue,
                     &TCustomForm::SetAlphaBlendValue)};
}

TCustomFrame::TCustomFrame(TComponent* owner) : TScrollingWinControl(owner) {
    SetBounds(0, 0, 320, 240);
    ControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

TCustomForm::TCustomForm(TComponent* owner)
    : TScrollingWinControl(owner), canvas_(new TControlCanvas(this)) {
    FormState << fsCreating;
    SetVisible(false);
    SetColor(clBtnFace);
    SetParentFont(false);
    SetBounds(0, 0, 320, 240);
    ControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    icon_.OnChange = TNotifyEvent(this, &TCustomForm::IconChanged);
    Screen()->AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (gScreen) gScreen->RemoveForm(this);
    delete canvas_;
    if (smallIcon_) win::DestroyIcon(smallIcon_);
}

namespace {

// The icon at the small size the captions show, or nullptr.
win::HICON SmallCopy(const TIcon& icon) {
    return icon.CopyOfSize(win::GetSystemMetrics(win::SM_CXSMICON),
                           win::GetSystemMetrics(win::SM_CYSMICON));
}

}  // namespace

void TCustomForm::IconChanged(TObject*) {
    if (smallIcon_) win::DestroyIcon(smallIcon_);
    smallIcon_ = SmallCopy(icon_);
    UpdateIcon();
}

void TCustomForm::UpdateIcon() {
    if (!HandleAllocated()) return;
    win::HICON big = nullptr, small = nullptr;
    if (!icon_.Empty()) {
        big = icon_.Handle();
        small = smallIcon_;
    } else if (borderStyle_ != bsDialog && gApplication) {
        big = gApplication->Icon()->Handle();
        small = gApplication->SmallIcon();
    }
    win::SendMessageA(Handle(), win::WM_SETICON, win::ICON_BIG, reinterpret_cast<win::LPARAM>(big));
    win::SendMessageA(Handle(), win::WM_SETICON, win::ICON_SMALL,
                      reinterpret_cast<win::LPARAM>(small));
}

void TCustomForm::AfterConstruction() {
    TWinControl::AfterConstruction();
    FormState >> fsCreating;
    OnCreate(this);
}

void TCustomForm::BeforeDestruction() {
    // OnDestroy runs while the form and everything on it still exist.
    SetComponentState(csDestroying, true);
    OnDestroy(this);
    if (gApplication && gApplication->MainForm() == this) gApplication->Terminate();
    TWinControl::BeforeDestruction();
}

void TCustomForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    FrameStyles(p.Style, p.ExStyle);
    p.WndParent = Parent() ? Parent()->Handle() : Application()->Handle();
    if (Parent()) p.Style = (p.Style & ~win::WS_POPUP) | win::WS_CHILD;
}

TRect TCustomForm::ClientRect() const {
    if (HandleAllocated()) return TWinControl::ClientRect();
    // Before the window exists, the frame its styles will give is taken off the bounds, so
    // that sizes and anchors set up in code hold once it is made.
    uint32_t style = 0, ex = 0;
    FrameStyles(style, ex);
    win::RECT frame{0, 0, 0, 0};
    win::AdjustWindowRectEx(&frame, style, menu_ != nullptr, ex);
    return Rect(0, 0, std::max(0, Width() - (frame.right - frame.left)),
                std::max(0, Height() - (frame.bottom - frame.top)));
}

void TCustomForm::FrameStyles(uint32_t& style, uint32_t& exStyle) const {
    style = win::WS_CLIPCHILDREN | win::WS_CLIPSIBLINGS;
    exStyle = 0;
    switch (borderStyle_) {
        case bsNone:
            style |= win::WS_POPUP;
            break;
        case bsSingle:
        case bsToolWindow:
            style |= win::WS_CAPTION | win::WS_BORDER;
            break;
        case bsSizeable:
        case bsSizeToolWin:
            style |= win::WS_CAPTION | win::WS_THICKFRAME;
            break;
        case bsDialog:
            style |= win::WS_POPUP | win::WS_CAPTION | win::DS_MODALFRAME;
            exStyle |= win::WS_EX_DLGMODALFRAME | win::WS_EX_WINDOWEDGE;
            break;
    }
    if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin)
        exStyle |= win::WS_EX_TOOLWINDOW;
    if (borderStyle_ != bsNone) {
        if (borderIcons_.Contains(biSystemMenu)) style |= win::WS_SYSMENU;
        if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow &&
            borderStyle_ != bsSizeToolWin) {
            if (borderIcons_.Contains(biMinimize)) style |= win::WS_MINIMIZEBOX;
            if (borderIcons_.Contains(biMaximize)) style |= win::WS_MAXIMIZEBOX;
        }
        if (borderIcons_.Contains(biHelp)) exStyle |= win::WS_EX_CONTEXTHELP;
    }
    if (formStyle_ == fsStayOnTop) exStyle |= win::WS_EX_TOPMOST;
    if (alphaBlend_) exStyle |= win::WS_EX_LAYERED;
    if (!Enabled()) style |= win::WS_DISABLED;
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    if (menu_) {
        menu_->SetWindowHandle(Handle());
        win::SetMenu(Handle(), menu_->Handle());
    }
    ApplyAlpha();
    UpdateIcon();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle s) {
    if (s == formStyle_) return;
    if (s == fsMDIChild || s == fsMDIForm)
        throw EInvalidOperation("Multiple-document forms are not supported");
    formStyle_ = s;
    if (HandleAllocated())
        win::SetWindowPos(Handle(), s == fsStayOnTop ? win::HWND_TOPMOST : win::HWND_NOTOPMOST, 0,
                          0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
    if (auto h = const_cast<TCustomForm*>(this)->HandleAllocated()
                     ? const_cast<TCustomForm*>(this)->Handle()
                     : nullptr) {
        if (win::IsIconic(h)) return wsMinimized;
        if (win::IsZoomed(h)) return wsMaximized;
        return win::IsWindowVisible(h) ? wsNormal : windowState_;
    }
    return windowState_;
}

void TCustomForm::SetWindowState(TWindowState s) {
    windowState_ = s;
    if (HandleAllocated() && Visible())
        win::ShowWindow(Handle(), s == wsMinimized   ? win::SW_SHOWMINIMIZED
                                  : s == wsMaximized ? win::SW_SHOWMAXIMIZED
                                                     : win::SW_RESTORE);
}

void TCustomForm::SetAlphaBlend(bool on) {
    if (on == alphaBlend_) return;
    alphaBlend_ = on;
    ApplyAlpha();
}

void TCustomForm::SetAlphaBlendValue(uint8_t v) {
    if (v == alphaBlendValue_) return;
    alphaBlendValue_ = v;
    ApplyAlpha();
}

void TCustomForm::ApplyAlpha() {
    if (!HandleAllocated()) return;
    win::HWND h = Handle();
    auto ex = static_cast<uint32_t>(win::GetWindowLongPtrA(h, win::GWL_EXSTYLE));
    ex = alphaBlend_ ? ex | win::WS_EX_LAYERED : ex & ~win::WS_EX_LAYERED;
    win::SetWindowLongPtrA(h, win::GWL_EXSTYLE, ex);
    if (alphaBlend_) win::SetLayeredWindowAttributes(h, 0, alphaBlendValue_, win::LWA_ALPHA);
}

void TCustomForm::SetActiveControl(TWinControl* c) {
    if (c == activeControl_) return;
    if (c && (!ContainsControl(c) || c == this)) throw EInvalidOperation("Invalid active control");
    if (c && Visible() && HandleAllocated() && active_ && c->CanFocus()) {
        c->SetFocus();
        return;
    }
    if (activeControl_) activeControl_->RemoveFreeNotification(this);
    activeControl_ = c;
    if (c) c->FreeNotification(this);
}

void TCustomForm::SetFocusedControl(TWinControl* c) {
    if (c == activeControl_) return;
    TWinControl* old = activeControl_;
    if (old) old->RemoveFreeNotification(this);
    activeControl_ = c == this ? nullptr : c;
    if (activeControl_) activeControl_->FreeNotification(this);
    if (old) old->Perform(CM_EXIT);
    if (activeControl_) activeControl_->Perform(CM_ENTER);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(c));
}

void TCustomForm::MouseWheelHandler(TMessage& m) {
    if (activeControl_ && activeControl_ != this)
        m.Result = activeControl_->Perform(m.Msg, m.WParam, m.LParam);
    else
        TWinControl::MouseWheelHandler(m);
}

void TCustomForm::SendCancelMode(TControl* sender) {
    if (active_ && activeControl_)
        activeControl_->Perform(CM_CANCELMODE, 0, reinterpret_cast<intptr_t>(sender));
}

void TCustomForm::FocusControl(TWinControl* c) {
    TWinControl* target = c && c->CanFocus() ? c : nullptr;
    if (!target) target = FindNextControl(nullptr, true, true, false);
    if (target)
        target->SetFocus();
    else if (HandleAllocated())
        win::SetFocus(Handle());
}

void TCustomForm::SetMenu(TMainMenu* menu) {
    if (menu == menu_) return;
    if (menu_) {
        menu_->RemoveFreeNotification(this);
        menu_->SetWindowHandle(nullptr);
    }
    menu_ = menu;
    if (menu) menu->FreeNotification(this);
    if (HandleAllocated()) {
        if (menu) menu->SetWindowHandle(Handle());
        win::SetMenu(Handle(), menu ? menu->Handle() : nullptr);
    }
}

void TCustomForm::Notification(TComponent* c, TOperation op) {
    TWinControl::Notification(c, op);
    if (op != opRemove) return;
    if (c == activeControl_) activeControl_ = nullptr;
    if (c == menu_) {
        menu_ = nullptr;
        if (HandleAllocated() && !ComponentState().Contains(csDestroying))
            win::SetMenu(Handle(), nullptr);
    }
}

bool TCustomForm::Showing() const {
    return const_cast<TCustomForm*>(this)->HandleAllocated() && Visible();
}

void TCustomForm::VisibleChanging() {
    if (FormState.Contains(fsModal) && Visible())
        throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
}

void TCustomForm::PlaceForShow() {
    if (position_ == poScreenCenter || position_ == poDesktopCenter ||
        position_ == poMainFormCenter || position_ == poOwnerFormCenter) {
        TRect area = Screen()->WorkAreaRect();
        TCustomForm* main = Application()->MainForm();
        if ((position_ == poMainFormCenter || position_ == poOwnerFormCenter) && main &&
            main != this && main->Visible())
            area = main->BoundsRect();
        SetBounds(area.Left + (area.Width() - Width()) / 2,
                  area.Top + (area.Height() - Height()) / 2, Width(), Height());
        position_ = poDesigned;  // placed once, as the class library does
    }
}

void TCustomForm::Show() {
    SetVisible(true);
    if (HandleAllocated()) win::SetForegroundWindow(Handle());
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (FormState.Contains(fsModal)) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application()->MainForm() == this) {
        Application()->Terminate();
    } else if (action == caHide) {
        Hide();
    } else if (action == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Release();
    }
}

void TCustomForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone) modalResult_ = mrNone;
    if (action == caFree) Release();
}

TModalResult TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || FormState.Contains(fsModal))
        throw EInvalidOperation("Cannot make a visible window modal");
    if (win::HWND cap = win::GetCapture()) win::SendMessageA(cap, win::WM_CANCELMODE, 0, 0);
    win::ReleaseCapture();
    Application()->ModalStarted();
    FormState << fsModal;
    win::HWND previous = win::GetActiveWindow();
    const std::vector<win::HWND> disabled = DisableTaskWindows(this);
    auto restore = [&] {
        EnableTaskWindows(disabled);
        FormState >> fsModal;
        if (previous && win::IsWindow(previous)) win::SetActiveWindow(previous);
        Application()->ModalFinished();
    };
    try {
        modalResult_ = mrNone;
        Show();
        do {
            Application()->HandleMessage();
            if (Application()->Terminated())
                modalResult_ = mrCancel;
            else if (modalResult_ != mrNone)
                CloseModal();
        } while (modalResult_ == mrNone);
        FormState >> fsModal;  // hiding a modal form is allowed now
        Hide();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return modalResult_;
}

void TCustomForm::Release() {
    if (HandleAllocated())
        win::PostMessageA(Handle(), CM_RELEASE, 0, 0);
    else
        Free();
}

bool TCustomForm::IsShortCut(uint16_t key, TShiftState shift) {
    return menu_ && menu_->IsShortCut(vcl::ShortCut(key, shift));
}

void TCustomForm::PaintWindow(win::HDC dc) {
    TPaintDCLease lease(canvas_, dc);
    Paint();
}

void TCustomForm::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_VISIBLECHANGED:
            if (Visible()) {
                PlaceForShow();
                HandleNeeded();
                DoShow();
                const int show = windowState_ == wsMaximized   ? win::SW_SHOWMAXIMIZED
                                 : windowState_ == wsMinimized ? win::SW_SHOWMINIMIZED
                                                               : win::SW_SHOWNORMAL;
                win::ShowWindow(Handle(), show);
                Perform(CM_SHOWINGCHANGED);
            } else if (HandleAllocated()) {
                DoHide();
                win::ShowWindow(Handle(), win::SW_HIDE);
                Perform(CM_SHOWINGCHANGED);
            }
            return;
        case win::WM_CLOSE:
            Close();
            return;
        case win::WM_GETMINMAXINFO: {
            DefaultHandler(m);
            auto* info = reinterpret_cast<win::MINMAXINFO*>(m.LParam);
            const TSizeConstraints* c = Constraints();
            if (!info) return;
            if (c->MinWidth() > 0) info->ptMinTrackSize.x = c->MinWidth();
            if (c->MinHeight() > 0) info->ptMinTrackSize.y = c->MinHeight();
            if (c->MaxWidth() > 0) info->ptMaxTrackSize.x = c->MaxWidth();
            if (c->MaxHeight() > 0) info->ptMaxTrackSize.y = c->MaxHeight();
            return;
        }
        case win::WM_ACTIVATE: {
            const bool activating = (m.WParam & 0xFFFF) != win::WA_INACTIVE;
            DefaultHandler(m);
            if (activating == active_) return;
            active_ = activating;
            if (activating) {
                Screen()->BringForward(this);
                FormState << fsActivated;
                Activate();
                FocusControl(activeControl_);
                win::SendMessageA(Application()->Handle(), CM_ACTIVATE, 0, 0);
            } else {
                Deactivate();
            }
            return;
        }
        case win::WM_SETFOCUS:
            // The form itself passes the focus on to its active control.
            if (activeControl_ && activeControl_ != this && activeControl_->CanFocus()) {
                activeControl_->SetFocus();
                return;
            }
            DefaultHandler(m);
            return;
        case win::WM_COMMAND:
            if (m.LParam == 0 && menu_ && menu_->DispatchCommand(m.WParam & 0xFFFF)) return;
            TWinControl::Dispatch(m);
            return;
        case win::WM_MEASUREITEM:
        case win::WM_DRAWITEM: {
            // Owner-drawn menu items of the form's menu bar paint like those of pop-ups; the
            // record's type tells a menu item from a control.
            const win::UINT type =
                !m.LParam ? 0
                : m.Msg == win::WM_DRAWITEM
                    ? reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam)->CtlType
                    : reinterpret_cast<const win::MEASUREITEMSTRUCT*>(m.LParam)->CtlType;
            if (m.WParam == 0 && type == win::ODT_MENU) {
                m.Result = win::SendMessageA(PopupListWindow(), m.Msg, m.WParam, m.LParam);
                return;
            }
            TWinControl::Dispatch(m);
            return;
        }
        case CM_DIALOGKEY: {
            const auto key = static_cast<uint16_t>(m.WParam);
            const TShiftState shift = KeyDataToShiftState(m.LParam);
            if (key == win::VK_TAB && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
                SelectNext(activeControl_, !shift.Contains(ssShift), true);
                m.Result = 1;
                return;
            }
            if (key == win::VK_LEFT || key == win::VK_RIGHT || key == win::VK_UP ||
                key == win::VK_DOWN) {
                if (activeControl_ && activeControl_->Parent()) {
                    activeControl_->Parent()->SelectNext(
                        activeControl_, key == win::VK_RIGHT || key == win::VK_DOWN, false);
                    m.Result = 1;
                    return;
                }
            }
            TWinControl::Dispatch(m);  // offered to the children: default and cancel buttons
            return;
        }
        case CM_RELEASE:
            Free();
            return;
        default:
            TWinControl::Dispatch(m);
            return;
    }
}

// --- THintWindow ---

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    SetColor(clInfoBk);
    SetVisible(false);
    Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style = win::WS_POPUP | win::WS_BORDER;
    p.ExStyle = win::WS_EX_TOOLWINDOW | win::WS_EX_TOPMOST;
    p.WndParent = Application()->Handle();
    p.ClassStyle |= win::CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint) {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    const win::SIZE s = c->TextExtent(hint);
    return Rect(0, 0, std::min<int>(s.cx, maxWidth) + 6, s.cy + 4);
}

void THintWindow::ActivateHint(TRect r, const std::string& hint) {
    SetCaption(hint);
    const TRect area = Screen()->WorkAreaRect();
    if (r.Right > area.Right) r = Bounds(area.Right - r.Width(), r.Top, r.Width(), r.Height());
    if (r.Bottom > area.Bottom) r = Bounds(r.Left, area.Bottom - r.Height(), r.Width(), r.Height());
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    win::SetWindowPos(Handle(), win::HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(),
                      win::SWP_SHOWWINDOW | win::SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ReleaseHandle() {
    if (HandleAllocated()) win::ShowWindow(Handle(), win::SW_HIDE);
}

void THintWindow::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Brush()->SetStyle(bsClear);
    c->TextOut(2, 1, Caption());
}

// --- TApplication ---

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
    win::RegisterStandardControls();
    // Calls queued by worker threads run in the message loop; a queued call wakes the loop.
    // The loop waits for a message, so the nudge is one: WM_NULL to the application window.
    SetWakeMainThread([] {
        if (win::HWND h = gAppWindow.load())
            win::PostMessageA(h, win::WM_NULL, 0, 0);
        else
            win::PostToGuiThread([] { CheckSynchronize(); });
    });
    SetWindowExceptionHandler([](std::exception_ptr e) {
        if (gApplication) gApplication->HandleException(nullptr, e);
    });
    icon_.OnChange = TNotifyEvent(this, &TApplication::IconChanged);
    Handle();
}

void TApplication::IconChanged(TObject*) {
    if (smallIcon_) win::DestroyIcon(smallIcon_);
    smallIcon_ = SmallCopy(icon_);
    if (gScreen)
        for (int i = 0; i < gScreen->FormCount(); ++i)
            gScreen->Forms(i)->UpdateIcon();
}

TApplication::~TApplication() {
    SetWakeMainThread(nullptr);
    SetWindowExceptionHandler(nullptr);
    CancelHint();
    DestroyComponents();  // the forms, while the application window still exists
    gAppWindow = nullptr;
    if (handle_) win::DestroyWindow(handle_);
    if (gApplication == this) gApplication = nullptr;
    if (smallIcon_) win::DestroyIcon(smallIcon_);
}

void TApplication::Initialize() {}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) win::SetWindowTextA(handle_, title.c_str());
}

std::string TApplication::ExeName() const {
    return os::Utf8ToCp1251(os::ExecutablePath());
}

win::LRESULT TApplication::StaticAppProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam,
                                         win::LPARAM lParam) {
    TApplication* app = gApplication;
    if (!app || app->handle_ != hwnd) return win::DefWindowProcA(hwnd, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    try {
        app->WndProc(m);
    } catch (...) {
        app->HandleException(app, std::current_exception());
    }
    return m.Result;
}

win::HWND TApplication::Handle() {
    if (handle_) return handle_;
    win::WNDCLASSA wc;
    if (!win::GetClassInfoA(nullptr, "TApplication", &wc)) {
        wc = {};
        wc.lpfnWndProc = StaticAppProc;
        wc.lpszClassName = "TApplication";
        wc.hCursor = win::LoadCursorA(nullptr, win::IDC_ARROW);
        if (!win::RegisterClassA(&wc))
            throw EOutOfResources("Cannot register the application window");
    }
    handle_ = win::CreateWindowExA(0, "TApplication", title_.c_str(),
                                   win::WS_POPUP | win::WS_CAPTION | win::WS_CLIPSIBLINGS |
                                       win::WS_SYSMENU | win::WS_MINIMIZEBOX,
                                   0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!handle_) throw EOutOfResources("Cannot create the application window");
    gAppWindow = handle_;
    return handle_;
}

void TApplication::HookMainWindow(TWindowHook hook) {
    if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) hooks_.push_back(hook);
}

void TApplication::UnhookMainWindow(TWindowHook hook) {
    hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
}

void TApplication::WndProc(TMessage& m) {
    // A hook may unhook itself while it runs; walk a copy.
    const std::vector<TWindowHook> hooks = hooks_;
    for (const TWindowHook& h : hooks)
        if (h(m)) return;
    switch (m.Msg) {
        case win::WM_ACTIVATEAPP:
            if (m.WParam) {
                OnActivate(this);
                for (TApplicationEvents* e : events_)
                    e->OnActivate(e);
            } else {
                CancelHint();
                OnDeactivate(this);
                for (TApplicationEvents* e : events_)
                    e->OnDeactivate(e);
            }
            break;
        case win::WM_TIMER:
            if (m.WParam == kHintShowTimer) {
                HintTimerExpired();
                return;
            }
            if (m.WParam == kHintHideTimer) {
                CancelHint();
                return;
            }
            break;
        case win::WM_CLOSE:
            if (mainForm_) mainForm_->Close();
            return;
        case win::WM_GETICON:
            m.Result =
                reinterpret_cast<intptr_t>(m.WParam == win::ICON_BIG ? icon_.Handle() : smallIcon_);
            return;
        case CM_ACTIVATE:
        case CM_DEACTIVATE:
            return;
        default:
            break;
    }
    m.Result = win::DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}

void TApplication::Run() {
    Handle();
    if (mainForm_ && ShowMainForm) mainForm_->Show();
    while (!terminated_)
        HandleMessage();
}

void TApplication::Terminate() {
    terminated_ = true;
    if (handle_) win::PostMessageA(handle_, win::WM_NULL, 0, 0);
    win::CurrentEventSource().Wake();
}

bool TApplication::IsKeyMsg(win::MSG& msg) {
    if (msg.message < win::WM_KEYFIRST || msg.message > win::WM_KEYLAST) return false;
    win::HWND h = msg.hwnd;
    TWinControl* c = nullptr;
    // A native child window that belongs to none of our controls goes to the nearest one.
    while (h && !(c = FindControl(h)))
        h = win::GetParent(h);
    if (!c) return false;
    if (msg.message == win::WM_KEYDOWN || msg.message == win::WM_SYSKEYDOWN) {
        TCustomForm* form = GetParentForm(c);
        TShiftState shift = KeyDataToShiftState(msg.lParam);
        if (form && form->IsShortCut(static_cast<uint16_t>(msg.wParam), shift)) return true;
    }
    return c->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage(win::MSG& msg) {
    CheckSynchronize();
    if (!win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) return false;
    if (msg.message == win::WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    OnMessage(msg, handled);
    for (TApplicationEvents* e : events_)
        if (!handled) e->OnMessage(msg, handled);
    if (handled) return true;
    if ((msg.message >= win::WM_KEYFIRST && msg.message <= win::WM_KEYLAST) ||
        msg.message == win::WM_LBUTTONDOWN || msg.message == win::WM_RBUTTONDOWN)
        CancelHint();
    // A key may click a button: what its handler raises is shown like a click's.
    try {
        if (IsKeyMsg(msg)) return true;
    } catch (...) {
        HandleException(this, std::current_exception());
        return true;
    }
    win::TranslateMessage(&msg);
    win::DispatchMessageA(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    win::MSG msg;
    while (ProcessMessage(msg)) {}
}

void TApplication::HandleMessage() {
    win::MSG msg;
    if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::Idle(const win::MSG&) {
    win::POINT cursor;
    win::GetCursorPos(&cursor);
    UpdateHintControl(FindDragTarget(cursor, false), cursor);
    bool done = true;
    try {
        OnIdle(this, done);
        for (std::size_t i = 0; i < events_.size(); ++i)
            events_[i]->OnIdle(events_[i], done);
    } catch (...) {
        HandleException(this, std::current_exception());
    }
    if (CheckSynchronize()) done = false;
    if (done && !terminated_) win::WaitMessage();
}

void TApplication::HandleException(TObject*, std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // Silent by design.
    } catch (const std::exception& e) {
        if (OnException) {
            OnException(this, e);
            return;
        }
        for (TApplicationEvents* ev : events_)
            if (ev->OnException) {
                ev->OnException(ev, e);
                return;
            }
        ShowException(e);
    } catch (...) {
        ShowException(Exception("Unknown error"));
    }
}

void TApplication::ShowException(const std::exception& e) {
    if (handlingException_) return;  // an error while showing an error is not shown again
    handlingException_ = true;
    std::string text = e.what();
    if (!text.empty() && text.back() > '.') text += '.';
    try {
        MessageBox(text, title_, win::MB_OK | win::MB_ICONSTOP);
    } catch (...) {
        handlingException_ = false;
        throw;
    }
    handlingException_ = false;
}

int RunSystemModal(const std::function<int(win::HWND owner)>& show) {
    TApplication* app = Application();
    win::HWND active = win::GetActiveWindow();
    app->ModalStarted();
    const std::vector<win::HWND> disabled = DisableTaskWindows(nullptr);
    int result = 0;
    try {
        result = show(app->Handle());
    } catch (...) {
        EnableTaskWindows(disabled);
        app->ModalFinished();
        throw;
    }
    EnableTaskWindows(disabled);
    if (active && win::IsWindow(active)) win::SetActiveWindow(active);
    app->ModalFinished();
    return result;
}

void TApplication::ModalStarted() {
    if (++modalLevel_ != 1) return;
    // A handler that throws leaves the level as it found it: the caller's loop never ran.
    try {
        OnModalBegin(this);
        for (std::size_t i = 0; i < events_.size(); ++i)
            events_[i]->OnModalBegin(events_[i]);
    } catch (...) {
        --modalLevel_;
        throw;
    }
}

void TApplication::ModalFinished() {
    if (modalLevel_ == 0) return;  // unbalanced: nothing was started
    if (--modalLevel_ != 0) return;
    OnModalEnd(this);
    for (std::size_t i = 0; i < events_.size(); ++i)
        events_[i]->OnModalEnd(events_[i]);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
    return RunSystemModal([&](win::HWND owner) {
        return win::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    });
}

void TApplication::SetShowHint(bool on) {
    showHint_ = on;
    if (!on) CancelHint();
}

void TApplication::UpdateHintControl(TControl* c, TPoint cursor) {
    (void)cursor;
    if (c == hintControl_) return;
    const bool wasActive = hintActive_;
    CancelHint();
    if (hintControl_) hintControl_->RemoveFreeNotification(this);
    hintControl_ = c;
    if (c) c->FreeNotification(this);
    const std::string hint = c ? c->Hint() : std::string();
    if (Hint != hint) {
        Hint = hint;
        OnHint(this);
        for (TApplicationEvents* e : events_)
            e->OnHint(e);
    }
    if (!c || !showHint_ || !c->ShowHint() || ShortHint(hint).empty() || !handle_) return;
    win::SetTimer(handle_, kHintShowTimer, wasActive ? HintShortPause : HintPause, nullptr);
}

void TApplication::HintTimerExpired() {
    win::KillTimer(handle_, kHintShowTimer);
    win::POINT p;
    win::GetCursorPos(&p);
    ActivateHint(p);
}

void TApplication::SetHintWindowClass(THintWindowFactory factory) {
    hintWindowClass_ = std::move(factory);
    hintClassChanged_ = true;
}

void TApplication::ActivateHint(TPoint cursor) {
    if (!hintControl_) return;
    std::string text = ShortHint(hintControl_->Hint());
    if (text.empty()) return;
    THintInfo info{hintControl_, {cursor.X, cursor.Y + 20}, Screen()->Width()};
    bool canShow = true;
    OnShowHint(text, canShow, info);
    if (!canShow || text.empty()) return;
    if (hintWindow_ && hintClassChanged_) {
        THintWindow* old = hintWindow_;
        hintWindow_ = nullptr;
        old->Free();
    }
    hintClassChanged_ = false;
    if (!hintWindow_) {
        hintWindow_ = hintWindowClass_ ? hintWindowClass_(this) : New<THintWindow>(this);
        hintWindow_->FreeNotification(this);
    }
    hintWindow_->SetColor(HintColor);
    TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, text);
    r = Bounds(info.HintPos.X, info.HintPos.Y, r.Width(), r.Height());
    hintWindow_->ActivateHint(r, text);
    hintActive_ = true;
    win::SetTimer(Handle(), kHintHideTimer, HintHidePause, nullptr);
}

void TApplication::CancelHint() {
    if (handle_) {
        win::KillTimer(handle_, kHintShowTimer);
        win::KillTimer(handle_, kHintHideTimer);
    }
    if (hintWindow_) hintWindow_->ReleaseHandle();
    hintActive_ = false;
}

void TApplication::RegisterEvents(TApplicationEvents* e) {
    events_.push_back(e);
}

void TApplication::UnregisterEvents(TApplicationEvents* e) {
    events_.erase(std::remove(events_.begin(), events_.end(), e), events_.end());
}

void TApplication::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op != opRemove) return;
    if (c == mainForm_) mainForm_ = nullptr;
    if (c == hintControl_) hintControl_ = nullptr;
    if (c == hintWindow_) hintWindow_ = nullptr;
}

TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner) {
    Application()->RegisterEvents(this);
}

TApplicationEvents::~TApplicationEvents() {
    if (gApplication) gApplication->UnregisterEvents(this);
}

// --- TScreen ---

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
    hintFont_.SetColor(clInfoText);
}

TFont* TScreen::MenuFont() {
    win::NONCLIENTMETRICSA metrics;
    if (win::SystemParametersInfoA(win::SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        const win::LOGFONTA& lf = metrics.lfMenuFont;
        menuFont_.SetName(lf.lfFaceName);
        menuFont_.SetHeight(lf.lfHeight);
        TFontStyles style;
        if (lf.lfWeight >= 700) style << fsBold;
        if (lf.lfItalic) style << fsItalic;
        menuFont_.SetStyle(style);
    }
    return &menuFont_;
}

TCustomForm* TScreen::Forms(int index) const {
    if (index < 0 || index >= FormCount()) ListIndexError(index);
    return forms_[index];
}

void TScreen::AddForm(TCustomForm* f) {
    forms_.push_back(f);
}

void TScreen::RemoveForm(TCustomForm* f) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
}

void TScreen::BringForward(TCustomForm* f) {
    RemoveForm(f);
    forms_.insert(forms_.begin(), f);
}

TCustomForm* TScreen::ActiveForm() const {
    win::HWND active = win::GetActiveWindow();
    for (TCustomForm* f : forms_)
        if (f->HandleAllocated() && f->Handle() == active) return f;
    return nullptr;
}

TWinControl* TScreen::ActiveControl() const {
    TCustomForm* f = ActiveForm();
    return f ? f->ActiveControl() : nullptr;
}

int TScreen::Width() const {
    return win::GetSystemMetrics(win::SM_CXSCREEN);
}
int TScreen::Height() const {
    return win::GetSystemMetrics(win::SM_CYSCREEN);
}

TRect TScreen::WorkAreaRect() const {
    win::RECT r{};
    if (!win::SystemParametersInfoA(win::SPI_GETWORKAREA, 0, &r, 0)) r = {0, 0, Width(), Height()};
    return r;
}

win::HCURSOR TScreen::Cursors(TCursor cursor) const {
    const char* id = win::IDC_ARROW;
    switch (cursor) {
        case crNone:
            return nullptr;
        case crCross:
            id = win::IDC_CROSS;
            break;
        case crIBeam:
            id = win::IDC_IBEAM;
            break;
        case crSizeNESW:
            id = win::IDC_SIZENESW;
            break;
        case crSizeNS:
            id = win::IDC_SIZENS;
            break;
        case crSizeNWSE:
            id = win::IDC_SIZENWSE;
            break;
        case crSizeWE:
            id = win::IDC_SIZEWE;
            break;
        case crUpArrow:
            id = win::IDC_UPARROW;
            break;
        case crHourGlass:
            id = win::IDC_WAIT;
            break;
        case crNo:
            id = win::IDC_NO;
            break;
        case crAppStart:
            id = win::IDC_APPSTARTING;
            break;
        case crHelp:
            id = win::IDC_HELP;
            break;
        case crHandPoint:
            id = win::IDC_HAND;
            break;
        case crSizeAll:
            id = win::IDC_SIZEALL;
            break;
        default:
            break;
    }
    return win::LoadCursorA(nullptr, id);
}

void TScreen::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    if (cursor == crDefault) {
        // Back to the cursor of whatever is under the mouse.
        win::POINT p;
        win::GetCursorPos(&p);
        if (win::HWND h = win::WindowFromPoint(p)) {
            const auto hit = win::SendMessageA(h, win::WM_NCHITTEST, 0, win::MAKELPARAM(p.x, p.y));
            win::SendMessageA(h, win::WM_SETCURSOR, reinterpret_cast<win::WPARAM>(h),
                              win::MAKELPARAM(static_cast<int>(hit), win::WM_MOUSEMOVE));
            return;
        }
    }
    win::SetCursor(Cursors(cursor));
}

}  // namespace vcl
