// Hit testing of the skinned frame, caption mouse work, outline move/size and snapping.
//
// The provider takes WS_SYSMENU off the window and paints its own caption buttons, so the system
// no longer knows where they are: WM_NCHITTEST is answered here from the laid-out elements and
// the frame metrics, and the button messages on the frame press and release the elements, drop
// the skinned system menu or start the outline mode.
//
// The outline mode (rmBorder) draws an inverted rectangle on the desktop DC instead of moving or
// sizing live, and moves the window once at the end. Its state is one set for the application:
// only one outline runs at a time, and it belongs to the provider that started it.
#include <algorithm>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/provider/system_menu.h"

namespace skin {

using namespace vcl;

bool ButtonPressed = false;

namespace {

struct OutlineState {
    bool Active = false;
    bool Moving = false;
    bool FirstMove = false;
    int HitCode = 0;  // the sizing edge (HTLEFT .. HTBOTTOMRIGHT), 0 not chosen yet
    TRect Rect{};     // screen coordinates
    TPoint LastPos{};
    int MinWidth = 0, MinHeight = 0;
    TsSkinProvider* Owner = nullptr;  // the provider whose form the outline moves
    std::weak_ptr<int> OwnerLife;     // expires when that provider goes
    bool ArmingFromPress = false;     // the command comes from a press on the frame
    bool Shown = false;               // the outline is on the screen at ShownRect
    TRect ShownRect{};
};

OutlineState gOutline;

// Inverts the outline of `r` on the desktop DC; twice at the same place puts the screen back.
// The DC is given back after each drawing: the windowing layer keeps what was inverted on the
// screen from the moment the desktop DC is released.
void InvertOutline(const TRect& r) {
    const win::HWND desktop = win::GetDesktopWindow();
    const win::HDC dc = win::GetWindowDC(desktop);
    if (!dc) return;
    win::SetROP2(dc, win::R2_NOT);
    const win::POINT pts[5] = {{r.Left, r.Top},
                               {r.Right, r.Top},
                               {r.Right, r.Bottom},
                               {r.Left, r.Bottom},
                               {r.Left, r.Top}};
    win::Polyline(dc, pts, 5);
    win::ReleaseDC(desktop, dc);
    gOutline.Shown = !gOutline.Shown;
    gOutline.ShownRect = r;
}

void EraseOutline() {
    if (gOutline.Shown) InvertOutline(gOutline.ShownRect);
}

// An outline whose form went while it ran is taken off the screen and forgotten, so it never
// blocks the next one.
void DropStaleOutline() {
    OutlineState& o = gOutline;
    if (!o.Active || !o.OwnerLife.expired()) return;
    EraseOutline();
    o = OutlineState{};
}

bool IsSizingCode(int code) {
    return code >= win::HTLEFT && code <= win::HTBOTTOMRIGHT;
}

TPoint PointOf(win::LPARAM lp) {
    return {win::GET_X_LPARAM(lp), win::GET_Y_LPARAM(lp)};
}

}  // namespace

bool OutlineRunning() {
    DropStaleOutline();
    return gOutline.Active;
}

void SnapToEdge(int& pos, int edge, int buffer, int size) {
    if (std::abs(pos + size - edge) < buffer) pos = edge - size;
}

TRect FormWorkArea(TCustomForm* form) {
    win::RECT r{};
    win::HMONITOR m = form && form->HandleAllocated()
                          ? win::MonitorFromWindow(form->Handle(), win::MONITOR_DEFAULTTONEAREST)
                          : nullptr;
    win::MONITORINFO info;
    if (m && win::GetMonitorInfoA(m, &info))
        r = info.rcWork;
    else
        win::SystemParametersInfoA(win::SPI_GETWORKAREA, 0, &r, 0);
    return TRect(r.left, r.top, r.right, r.bottom);
}

TPoint TsSkinProvider::ScreenToFormPoint(TPoint screen) const {
    const TPoint origin = FormScreenOrigin();
    return {screen.X - origin.X, screen.Y - origin.Y};
}

// ---- hit testing ----

std::vector<int> TsSkinProvider::CaptionButtonCodes() const {
    std::vector<int> codes;
    if (SystemMenu && SystemMenu->VisibleClose()) {
        codes.push_back(win::HTCLOSE);
        if (SystemMenu->VisibleMax()) codes.push_back(win::HTMAXBUTTON);
        // An iconic form's restore sits in the minimize button's place.
        if (SystemMenu->VisibleMin()) codes.push_back(win::HTMINBUTTON);
        if (form_ && form_->BorderIcons().Contains(biHelp)) codes.push_back(win::HTHELP);
    }
    for (int k = 0; titleButtons_ && k < titleButtons_->Count(); ++k)
        if (titleButtons_->GetItem(k)->Visible()) codes.push_back(kHitUserButton + k);
    return codes;
}

int TsSkinProvider::PlaceAt(const std::vector<int>& codes, TPoint p) const {
    for (size_t i = 0; i < codes.size(); ++i) {
        const TsCaptionButton* e = ElementOf(codes[i]);
        if (e && e->Rect.Contains(p)) return int(i) + 1;
    }
    return 0;
}

int TsSkinProvider::ButtonIndexAt(TPoint p) const {
    return PlaceAt(CaptionButtonCodes(), p);
}

int TsSkinProvider::CaptionButtonAt(TPoint p) const {
    const std::vector<int> codes = CaptionButtonCodes();
    const int place = PlaceAt(codes, p);
    if (place == 0) return 0;
    const int code = codes[size_t(place - 1)];
    const bool iconic = FormIconic();
    switch (code) {
        case win::HTMAXBUTTON:
            return SystemMenu->EnabledMax() || (SystemMenu->EnabledRestore() && !iconic)
                       ? code
                       : win::HTCAPTION;
        case win::HTMINBUTTON:
            return iconic || SystemMenu->EnabledMin() ? code : win::HTCAPTION;
        case win::HTCLOSE:
        case win::HTHELP:
            return code;
        default:
            return UserButtonOf(code)->Enabled ? code : 0;  // a disabled one: the client's
    }
}

int TsSkinProvider::HitTest(TMessage& m) {
    const TPoint p = ScreenToFormPoint(PointOf(m.LParam));
    const win::HWND h = form_->Handle();
    const bool maximized = win::IsZoomed(h) != win::FALSE;

    // 1. The caption button under the point. The borders' own window answers for its buttons
    // when there is one.
    if (!borderForm_) {
        if (const int code = CaptionButtonAt(p)) {
            if (!HoverHeld(PointOf(m.LParam))) SetHotHT(code, true);
            return code;
        }
    }

    const int width = form_->Width(), height = form_->Height();
    // 2. Resize edges.
    if (!maximized && !borderForm_ &&
        (win::GetWindowLongPtrA(h, win::GWL_STYLE) & win::WS_THICKFRAME)) {
        const int b = skin::SysBorderWidth(h, borderForm_, true);
        const bool top = p.Y < SysBorderWidthNoExt(h, borderForm_, true);
        const bool bottom = p.Y > height - b;
        int code = 0;
        if (p.X < b)
            code = top ? win::HTTOPLEFT : bottom ? win::HTBOTTOMLEFT : win::HTLEFT;
        else if (p.X > width - b)
            code = top ? win::HTTOPRIGHT : bottom ? win::HTBOTTOMRIGHT : win::HTRIGHT;
        else if (top)
            code = win::HTTOP;
        else if (bottom)
            code = win::HTBOTTOM;
        if (code) {
            SetHotHT(-1, true);
            return code;
        }
    }

    // 3. The caption band.
    const int topFrame = SysBorderWidthNoExt(h, borderForm_, true);
    const int captionBottom = CaptionHeight(true) + topFrame;
    const int menuHeight = MenuHeight();
    if (p.Y >= 0 && p.Y <= captionBottom) {
        if (menuHeight > 0 && p.Y >= captionBottom && p.Y <= captionBottom + menuHeight)
            return win::HTMENU;
        if (IconVisible() && IconRect().Contains(p)) return win::HTSYSMENU;
        return win::HTCAPTION;
    }

    // 4. The menu band.
    if (menuHeight > 0 && p.Y <= captionBottom + MenuLineCount() * menuHeight) {
        if (!MDIChildButtonsVisible()) return win::HTMENU;
        const TRect margins = GetFrameMargins();
        const TPoint q{p.X + margins.Left + ExtBorderExtra(borderForm_),
                       p.Y + margins.Top + skin::ExtCaptionExtra(borderForm_)};
        int code = win::HTMENU;
        if (MDIClose.Rect.Contains(q))
            code = kHitMDIClose;
        else if (MDIMax.Rect.Contains(q))
            code = kHitMDIRestore;
        else if (MDIMin.Rect.Contains(q))
            code = kHitMDIMinimize;
        SetHotHT(code, true);
        return code;
    }

    // 5. The size grip (the form never has scroll bars of its own here, so no bar corner).
    int code = win::HTCLIENT;
    if (GripVisible()) {
        TsSkinManager* manager = SkinManager();
        const int grip = manager ? manager->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE") : -1;
        if (manager && manager->IsValidImgIndex(grip)) {
            const TPoint g = GripPos(grip);
            if (borderForm_) {
                const TRect margins = GetFrameMargins();
                if (p.Y > g.Y - skin::ExtCaptionExtra(borderForm_) - margins.Top &&
                    p.X > g.X - ExtBorderExtra(borderForm_) - margins.Left)
                    code = win::HTBOTTOMRIGHT;
            } else if (p.Y > g.Y && p.X > g.X) {
                code = win::HTBOTTOMRIGHT;
            }
        }
    }
    SetHotHT(code == win::HTCLIENT ? 0 : code, true);
    return code;
}

void TsSkinProvider::WMNCHitTest(TMessage& m) {
    if (MadeByLibrary) {
        MadeByLibrary = false;
        InitFormSkinning();
    }
    if (!form_ || !form_->HandleAllocated() || CaptionHeight(true) == 0 || !DrawNonClientArea) {
        CallOldWndProc(m);
        return;
    }
    const int code = HitTest(m);
    switch (code) {
        case win::HTNOWHERE:
        case win::HTCLIENT:
        case win::HTCAPTION:
        case win::HTMENU:
            CallOldWndProc(m);
            SetHotHT(0, true);
            return;
        default:
            m.Result = code;
            if (ResizeMode == rmBorder && gOutline.HitCode == 0 && IsSizingCode(code))
                gOutline.HitCode = code;
    }
}

// ---- the mouse on the frame ----

void TsSkinProvider::DropSysMenuBelowIcon() {
    const win::HWND h = form_->Handle();
    const TPoint o = FormScreenOrigin();
    if (form_->FormStyle() == fsMDIChild) {
        DropSysMenu(o.X, o.Y + CaptionHeight(true) + 4);
        return;
    }
    DropSysMenu(o.X + skin::SysBorderWidth(h, borderForm_, true),
                o.Y + FullBorderWidthNoExt(true) + TitleIconHeight() +
                    SysBorderWidthNoExt(h, borderForm_, true));
}

void TsSkinProvider::WMNCLButtonDown(TMessage& m) {
    const int code = static_cast<int>(m.WParam);
    const win::HWND h = form_->Handle();
    if (!DrawNonClientArea) {
        if (code == win::HTSYSMENU) {
            DropSysMenuBelowIcon();
        } else {
            CallOldWndProc(m);
        }
        return;
    }
    switch (code) {
        case win::HTOBJECT:
            if (borderForm_) {
                CallOldWndProc(m);
                return;
            }
            break;
        case win::HTSYSMENU: {
            SetHotHT(0, true);
            TsSkinManager* manager = SkinManager();
            if (!manager || !manager->SkinnedPopups()) {
                // A second click may close the form while we wait: pump messages, give up on a
                // double click and leave at once when the form or this provider went.
                SysMenuDblClick = false;
                const std::weak_ptr<int> life = LifeToken();
                const uint32_t start = os::GetTickCount();
                while (os::TickDiff(start, os::GetTickCount()) < 200) {
                    Application()->ProcessMessages();
                    if (life.expired() || SysMenuDblClick || Application()->Terminated()) return;
                    os::Sleep(1);
                }
            }
            DropSysMenuBelowIcon();
            return;
        }
        case win::HTMENU:
            CallOldWndProc(m);
            return;
        case win::HTMINBUTTON:
        case win::HTMAXBUTTON:
        case win::HTCLOSE:
        case win::HTHELP:
        case kHitMDIClose:
        case kHitMDIRestore:
        case kHitMDIMinimize:
            if (HotMDIChildProvider && HotMDIChildProvider->SystemMenu) {
                if (code == kHitMDIMinimize && !HotMDIChildProvider->SystemMenu->EnabledMin())
                    return;
                if (code == kHitMDIRestore && !HotMDIChildProvider->SystemMenu->EnabledRestore())
                    return;
            }
            PressHT(code);
            return;
        default:
            break;
    }
    if (code >= kHitUserButton && code - kHitUserButton < titleButtons_->Count()) {
        PressHT(code);
        const TPoint p = PointOf(m.LParam);
        titleButtons_->GetItem(code - kHitUserButton)->DoMouseDown(mbLeft, {}, p.X, p.Y);
        return;
    }
    if (win::IsIconic(h)) {
        win::SendMessageA(h, win::WM_SYSCOMMAND, win::SC_MOVE | win::HTCAPTION, m.LParam);
        return;
    }
    SetHotHT(0, true);
    if (win::IsZoomed(h)) {
        const TPoint p = ScreenToFormPoint(PointOf(m.LParam));
        if (p.Y <= SysBorderWidthNoExt(h, borderForm_, true) + CaptionHeight(true)) {
            if (!form_->Active()) form_->SetFocus();
            return;
        }
    }
    if (ResizeMode == rmBorder && (code == win::HTCAPTION || IsSizingCode(code))) {
        // The outline takes the place of the system's move and size loop: the press only
        // activates the form, then the outline runs.
        if (code == win::HTCAPTION && !form_->Active()) win::SetActiveWindow(h);
        gOutline.ArmingFromPress = true;
        const win::WPARAM command =
            code == win::HTCAPTION ? win::SC_MOVE : win::SC_SIZE | win::WPARAM(code - 9);
        win::SendMessageA(h, win::WM_SYSCOMMAND, command, m.LParam);
        gOutline.ArmingFromPress = false;
        if (!win::IsWindow(h) || gOutline.Owner != this) return;
        gOutline.Moving = code == win::HTCAPTION;
        if (!gOutline.Moving) gOutline.HitCode = code;
        const TPoint p = PointOf(m.LParam);
        StartMoveSize(p.X, p.Y);
        return;
    }
    if (!CallOldWndProc(m)) return;
    if (borderForm_ && !form_->Parent()) borderForm_->UpdateExBordersPos(false, 255);
}

void TsSkinProvider::WMNCLButtonUp(TMessage& m) {
    // WM_LBUTTONUP carries key flags, not a hit code: it only ends an outline or a press.
    const int code = m.Msg == win::WM_LBUTTONUP ? win::HTNOWHERE : static_cast<int>(m.WParam);
    if (!DrawNonClientArea) {
        CallOldWndProc(m);
        return;
    }
    const win::HWND h = form_->Handle();
    const TPoint screen = PointOf(m.LParam);
    const std::weak_ptr<int> life = LifeToken();  // a command may free the form
    // A pressed element released over something else is repainted normal by the next state
    // change of the caption elements.
    if (ButtonPressed && code != HotHitCode) PendingRestoreHT = HotHitCode;

    switch (code) {
        case win::HTCLOSE:
            if (ButtonPressed) {
                ButtonClose.State = 0;
                ButtonPressed = false;
                win::SendMessageA(h, win::WM_SYSCOMMAND, win::SC_CLOSE, 0);  // may free us
            }
            return;
        case win::HTMAXBUTTON: {
            if (!SystemMenu) break;
            const bool maximized = win::IsZoomed(h) != win::FALSE;
            if (!SystemMenu->EnabledMax() && !(maximized && SystemMenu->EnabledRestore())) return;
            if (!ButtonPressed) {
                SetHotHT(0, true);
                CallOldWndProc(m);
                return;
            }
            const bool mdiChild = form_->FormStyle() == fsMDIChild;
            if (mdiChild && MDISkinProvider && MDISkinProvider->SkinData())
                MDISkinProvider->SkinData()->BeginUpdate();
            SetHotHT(0, true);
            if (maximized) {
                if (mdiChild)
                    HotMDIChildProvider = nullptr;
                else
                    form_->SetWindowState(wsNormal);
                win::SendMessageA(h, win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
                if (life.expired()) return;
                form_->Repaint();
            } else {
                if (mdiChild) HotMDIChildProvider = nullptr;
                win::SendMessageA(h, win::WM_SYSCOMMAND, win::SC_MAXIMIZE, 0);
                if (life.expired()) return;
            }
            if (SystemMenu) SystemMenu->UpdateItems();
            return;
        }
        case win::HTMINBUTTON: {
            // Button rectangles are the cache's: the border window's own with one.
            TPoint p = ScreenToFormPoint(screen);
            if (borderForm_ && borderForm_->Handle()) {
                win::RECT b{};
                win::GetWindowRect(borderForm_->Handle(), &b);
                p = {screen.X - b.left, screen.Y - b.top};
            }
            if (ButtonPressed && ButtonMin.Rect.Contains(p)) {
                SetHotHT(0, true);
                const bool main = Application()->MainForm() == form_;
                if (main) MinimizingByButton = true;
                win::SendMessageA(h, win::WM_SYSCOMMAND,
                                  win::IsIconic(h) ? win::SC_RESTORE : win::SC_MINIMIZE, 0);
                if (life.expired()) return;
                if (main) MinimizingByButton = false;
                skinData_->CacheStale = true;
                std::fill(std::begin(CaptionRepaintFlags), std::end(CaptionRepaintFlags), true);
            } else {
                CallOldWndProc(m);
            }
            return;
        }
        case win::HTHELP:
            if (ButtonPressed) {
                win::SendMessageA(h, win::WM_SYSCOMMAND, win::SC_CONTEXTHELP, 0);
                if (life.expired()) return;
                SetHotHT(0, true);
                if (SystemMenu) SystemMenu->UpdateItems();
                form_->Perform(win::WM_NCPAINT, 0, 0);
            } else {
                SetHotHT(0, true);
            }
            return;
        case kHitMDIClose:
        case kHitMDIRestore:
        case kHitMDIMinimize:
            if (ButtonPressed && HotMDIChildProvider && HotMDIChildProvider->Form() &&
                HotMDIChildProvider->Form()->HandleAllocated()) {
                const win::HWND child = HotMDIChildProvider->Form()->Handle();
                win::WPARAM command = win::SC_CLOSE;
                if (code == kHitMDIRestore) command = win::SC_RESTORE;
                if (code == kHitMDIMinimize) {
                    command = win::SC_MINIMIZE;
                    if (MDISkinProvider && MDISkinProvider->SkinData())
                        MDISkinProvider->SkinData()->BeginUpdate();
                }
                win::SendMessageA(child, win::WM_SYSCOMMAND, command, 0);
            }
            SetHotHT(0, true);
            return;
        default:
            break;
    }
    if (code >= kHitUserButton && code - kHitUserButton < titleButtons_->Count()) {
        if (ButtonPressed)
            titleButtons_->GetItem(code - kHitUserButton)
                ->DoMouseUp(mbLeft, {}, screen.X, screen.Y);
        SetHotHT(0, true);
        return;
    }
    if (win::IsIconic(h)) {
        if (MDISkinProvider) {
            win::POINT c{};
            win::GetCursorPos(&c);
            DropSysMenu(c.x, c.y);
        } else {
            CallOldWndProc(m);
        }
        return;
    }
    if (ResizeMode == rmBorder && !win::IsZoomed(h) && gOutline.Active && gOutline.Owner == this) {
        TPoint p = screen;
        if (m.Msg == win::WM_LBUTTONUP) p = form_->ClientToScreen(p);
        StopMoveSize(p.X, p.Y);
        win::ReleaseCapture();
        return;
    }
    CallOldWndProc(m);
}

void TsSkinProvider::WMNCLButtonDblClk(TMessage& m) {
    const int code = static_cast<int>(m.WParam);
    const win::HWND h = form_->Handle();
    if (gOutline.Active && gOutline.Owner == this) {
        const TPoint p = PointOf(m.LParam);
        StopMoveSize(p.X, p.Y);
    }
    ButtonPressed = false;
    m.WParam = win::HTNOWHERE;
    m.Result = 0;
    if (code == win::HTSYSMENU) {
        TsSkinManager* manager = SkinManager();
        if (!manager || !manager->SkinnedPopups()) SysMenuDblClick = true;
        form_->Close();  // may free the form and this provider once the message is over
        return;
    }
    if (code == win::HTCAPTION && SystemMenu) {
        const bool iconic = win::IsIconic(h) != win::FALSE;
        const TsSystemMenu& menu = *SystemMenu;
        if ((menu.VisibleClose() && (menu.EnabledMax() || menu.EnabledRestore())) ||
            (!HasBorder() && iconic)) {
            const bool restore = iconic || win::IsZoomed(h);
            win::SendMessageA(h, win::WM_SYSCOMMAND, restore ? win::SC_RESTORE : win::SC_MAXIMIZE,
                              0);
            if (win::IsWindow(h) && SystemMenu) SystemMenu->UpdateItems();
        } else if (iconic) {
            win::SendMessageA(h, win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
        }
    }
}

void TsSkinProvider::WMNCRButtonDown(TMessage& m) {
    const int code = static_cast<int>(m.WParam);
    if (code == win::HTCAPTION || code == win::HTSYSMENU) {
        m.Result = 0;
        return;
    }
    CallOldWndProc(m);
}

void TsSkinProvider::WMNCRButtonUp(TMessage& m) {
    if (!HasBorder()) {
        CallOldWndProc(m);
        return;
    }
    m.Result = 0;
    const int code = HitTest(m);
    if (code == win::HTCAPTION || code == win::HTSYSMENU) {
        SetHotHT(0, true);
        const TPoint p = PointOf(m.LParam);
        DropSysMenu(p.X, p.Y);
    }
}

// ---- the outline ----

bool TsSkinProvider::ArmOutline(TMessage& m) {
    if (ResizeMode != rmBorder || !form_ || !form_->HandleAllocated()) return false;
    const win::WPARAM command = m.WParam & 0xFFF0;
    if (command != win::SC_MOVE && command != win::SC_SIZE) return false;
    m.Result = 0;
    if (OutlineRunning()) return true;
    const win::HWND h = form_->Handle();
    win::SetCapture(h);
    gOutline.Owner = this;
    gOutline.OwnerLife = LifeToken();
    gOutline.FirstMove = true;
    gOutline.Moving = command == win::SC_MOVE;
    if (!gOutline.Moving) {
        const int edge = static_cast<int>(m.WParam & 0xF);
        gOutline.HitCode = edge >= 1 && edge <= 8 ? edge + 9 : 0;
    }
    if (!gOutline.ArmingFromPress) {
        // From the system menu or the keyboard: the outline starts where the cursor is and
        // the next click ends it.
        win::POINT c{};
        win::GetCursorPos(&c);
        StartMoveSize(c.x, c.y);
    }
    return true;
}

void TsSkinProvider::StartMoveSize(int x, int y) {
    if (OutlineRunning() || !form_ || !form_->HandleAllocated()) return;
    gOutline.Owner = this;
    gOutline.OwnerLife = LifeToken();
    gOutline.Active = true;
    gOutline.Shown = false;
    gOutline.Rect.Left = form_->Left();
    gOutline.Rect.Top = form_->Top();
    gOutline.LastPos = {x, y};
    if (gOutline.Moving) {
        DrawMoveSizeOutline(gOutline.Rect.Left, gOutline.Rect.Top);
        return;
    }
    // Never smaller than the form's constraints, nor than the system's smallest window.
    TSizeConstraints* c = form_->Constraints();
    gOutline.MinWidth = std::max({c->MinWidth(), win::GetSystemMetrics(win::SM_CXMINTRACK), 1});
    gOutline.MinHeight = std::max({c->MinHeight(), win::GetSystemMetrics(win::SM_CYMINTRACK), 1});
    gOutline.Rect.Right = form_->Left() + form_->Width();
    gOutline.Rect.Bottom = form_->Top() + form_->Height();
    DrawMoveSizeOutline(gOutline.Rect.Left, gOutline.Rect.Top);
}

void TsSkinProvider::DrawMoveSizeOutline(int dx, int dy) {
    if (!gOutline.Active) return;
    TRect r =
        gOutline.Moving ? TRect(dx, dy, dx + form_->Width(), dy + form_->Height()) : gOutline.Rect;
    if (form_->FormStyle() == fsMDIChild && MDISkinProvider && MDISkinProvider->Form()) {
        // A child moves inside its parent's client area.
        TsSkinProvider& parent = *MDISkinProvider;
        TCustomForm* pf = parent.Form();
        const win::HWND ph = pf->HandleAllocated() ? pf->Handle() : nullptr;
        const int frame = ph ? skin::SysBorderWidth(ph, parent.BorderForm(), true) : 0;
        const int x0 = frame + pf->Left() + 1;
        int y0 = 2 * frame + pf->Top() + parent.CaptionHeight(true) - 2;
        if (parent.MenuPresent()) y0 += parent.MenuLineCount() * parent.MenuHeight();
        r = TRect(r.Left + x0, r.Top + y0, r.Right + x0, r.Bottom + y0);
    }
    InvertOutline(r);
}

void TsSkinProvider::WMMouseMoveOutline(TMessage& m) {
    if (!CallOldWndProc(m)) return;
    if (!gOutline.Active || gOutline.Owner != this || !form_->HandleAllocated()) return;
    const TPoint s = form_->ClientToScreen(PointOf(m.LParam));
    OutlineState& o = gOutline;
    if (o.Moving) {
        o.FirstMove = false;
        EraseOutline();
        o.Rect.Left += s.X - o.LastPos.X;
        o.Rect.Top += s.Y - o.LastPos.Y;
        o.LastPos = s;
        DrawMoveSizeOutline(o.Rect.Left, o.Rect.Top);
        return;
    }
    o.FirstMove = false;
    EraseOutline();
    const int dx = s.X - o.LastPos.X, dy = s.Y - o.LastPos.Y;
    const int left = form_->Left(), top = form_->Top();
    const int right = left + form_->Width(), bottom = top + form_->Height();
    // The edges the sizing code moves; any other code sizes by the bottom-right corner.
    using namespace win;
    const int c = IsSizingCode(o.HitCode) ? o.HitCode : HTBOTTOMRIGHT;
    if (c == HTTOP || c == HTTOPLEFT || c == HTTOPRIGHT)
        o.Rect.Top = std::min(top + dy, o.Rect.Bottom - o.MinHeight);
    if (c == HTBOTTOM || c == HTBOTTOMLEFT || c == HTBOTTOMRIGHT)
        o.Rect.Bottom = std::max(bottom + dy, top + o.MinHeight);
    if (c == HTLEFT || c == HTTOPLEFT || c == HTBOTTOMLEFT)
        o.Rect.Left = std::min(left + dx, o.Rect.Right - o.MinWidth);
    if (c == HTRIGHT || c == HTTOPRIGHT || c == HTBOTTOMRIGHT)
        o.Rect.Right = std::max(right + dx, left + o.MinWidth);
    DrawMoveSizeOutline(o.Rect.Left, o.Rect.Top);
}

void TsSkinProvider::StopMoveSize(int, int) {
    if (ResizeMode != rmBorder) return;
    win::ReleaseCapture();
    OutlineState& o = gOutline;
    if (!o.Active || o.Owner != this) return;
    o.Active = false;
    EraseOutline();
    o.Owner = nullptr;
    const bool moved = o.Moving || !o.FirstMove;
    o.FirstMove = false;
    o.HitCode = 0;
    if (!form_->HandleAllocated() || !moved) return;
    const win::HWND h = form_->Handle();
    if (o.Moving)
        win::MoveWindow(h, o.Rect.Left, o.Rect.Top, form_->Width(), form_->Height(), win::TRUE);
    else
        win::MoveWindow(h, o.Rect.Left, o.Rect.Top, o.Rect.Right - o.Rect.Left,
                        o.Rect.Bottom - o.Rect.Top, win::TRUE);
}

// ---- maximised size, snapping, sizing ----

void TsSkinProvider::WMGetMinMaxInfo(TMessage& m) {
    auto* info = reinterpret_cast<win::MINMAXINFO*>(m.LParam);
    if (info && DrawNonClientArea && form_ && form_->HandleAllocated() &&
        form_->BorderStyle() != bsNone && form_->FormStyle() != fsMDIChild && !form_->Parent()) {
        const win::HWND h = form_->Handle();
        const TRect wa = FormWorkArea(form_);
        int b = 0, c = 0, e = 0;
        if (borderForm_) {
            b = SysBorderWidthNoExt(h, borderForm_, true);
            if (win::GetWindowLongPtrA(h, win::GWL_STYLE) & win::WS_CAPTION) {
                const int ext = CaptionHeight(true), normal = CaptionHeight(false);
                c = ext > normal + b ? ext - normal - b : b;
            }
            if (TsSkinManager* manager = SkinManager()) {
                const TsSkinData& sd = manager->SkinData();
                if (sd.TitleHeight != sd.MaxHeight)
                    e = sd.TitleHeight - sd.MaxHeight + sd.CenterOffset;
                if (sd.BIVAlign == 1 && sd.BITop != 0) e += sd.BITop - b;
            }
        } else {
            b = skin::SysBorderWidth(h, borderForm_, true);
        }
        // The windowing layer places a maximised window in screen coordinates.
        info->ptMaxPosition = {wa.Left - b, wa.Top + c - b - e};
        info->ptMaxSize = {wa.Width() + 2 * b, wa.Height() + 2 * b - c + e};
        m.Result = 0;
    }
    // The previous procedure applies the form's constraints.
    CallOldWndProc(m);
}

void TsSkinProvider::WMWindowPosChangingSnap(TMessage& m) {
    if (RegionUpdating) return;
    auto* wp = reinterpret_cast<win::WINDOWPOS*>(m.LParam);
    // Only moves snap: a size from the left or top edge keeps its opposite edge.
    if (wp && ScreenSnap && form_ && form_->HandleAllocated() && !win::IsZoomed(form_->Handle()) &&
        !(wp->flags & win::SWP_NOMOVE) && (wp->x != 0 || wp->y != 0) &&
        ((wp->flags & win::SWP_NOSIZE) ||
         (wp->cx == form_->Width() && wp->cy == form_->Height()))) {
        const TRect wa = FormWorkArea(form_);
        const int e = ExtBorderExtra(borderForm_);
        int x = wp->x, y = wp->y;
        SnapToEdge(x, wa.Right, SnapBuffer, form_->Width() + e);
        SnapToEdge(y, wa.Bottom, SnapBuffer, form_->Height() + e);
        SnapToEdge(x, wa.Left, SnapBuffer, -e);
        SnapToEdge(y, wa.Top, SnapBuffer, -skin::ExtCaptionExtra(borderForm_));
        wp->x = x, wp->y = y;
    }
    CallOldWndProc(m);
}

void TsSkinProvider::WMSizing(TMessage& m) {
    if (!CallOldWndProc(m)) return;
    if (borderForm_) borderForm_->UpdateExBordersPos(false, 255);
}

}  // namespace skin
