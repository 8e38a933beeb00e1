// The form's window procedure while a provider skins it.
//
// Dispatch: the skin commands every provider answers first; then, for a form that is not
// skinned, everything goes to the form's own procedure (OldWndProc) with extra work after
// three messages; for a skinned form each message is either the provider's alone, or passed
// to OldWndProc before or after the provider's work.
//
// Rules:
//  1. Every message not handled here reaches OldWndProc; the ones swallowed are CM_INVALIDATE,
//     CM_RECREATEWND (the form's window is never recreated while skinned), 0x93, 0xB04C,
//     0xBC4D, WM_ENTERIDLE, WM_PRINTCLIENT, the task bar's system-menu request, WM_NCPAINT and
//     WM_ERASEBKGND and WM_PAINT of a showing form, and a menu change during a skin update.
//  2. Nothing is painted while the form is in a skin update or has a menu change pending; the
//     frame is marked stale instead and painted on the next WM_NCPAINT.
//  3. The screen is composed only when the loop is idle, so the default frame painted inside
//     OldWndProc by activation and caption changes is never seen: the provider paints its own
//     right after.
//  4. After any call into the form the provider may be gone; nothing of it is touched then.
#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/os/clock.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/paint/glyph_layout.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/form_animations.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/window_adapter.h"
#include "skin/windows/effects/fade_timers.h"
#include "skin/windows/provider/layered.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/provider/system_menu.h"
#include "skin/windows/scroll/menu_wnd_adapters.h"
#include "skin/windows/scroll/scroll_wnd.h"
#include "skin/windows/walk/control_adapter.h"
#include "vcl/controls/menus.h"

namespace skin {

using namespace vcl;

namespace {

constexpr uint32_t WM_MDIDESTROY = 0x0221;
constexpr uint32_t WM_MDIACTIVATE = 0x0222;
constexpr uint32_t WM_UAHINITMENU = 0x0093;
constexpr uint32_t WM_TASKBARSYSMENU = 0x0313;
constexpr uint32_t CM_SWALLOWED = 0xB04C;
constexpr int TCN_SELCHANGE = -551;
constexpr uint32_t kQueryEndSessionWaitMs = 1000;

bool HasState(const TComponent* c, TComponentStateItem s) {
    return c && c->ComponentState().Contains(s);
}
bool IsMDIChild(const TCustomForm* f) { return f && f->FormStyle() == fsMDIChild; }
bool IsMDIParent(const TCustomForm* f) { return f && f->FormStyle() == fsMDIForm; }

// Set between WM_CREATE of an MDI child whose parent shows a maximized child and the child's
// first paint.
bool MDIChildCreatedMaximized = false;
// Set by EraseClient: the client was painted during the current BeginPaint.
bool ErasedInPaint = false;

void Redraw(TWinControl* c, win::UINT flags) {
    if (c && c->HandleAllocated()) win::RedrawWindow(c->Handle(), nullptr, nullptr, flags);
}

void SendSelf(TWinControl* c, uint32_t msg, uintptr_t wp = 0, intptr_t lp = 0) {
    if (c && c->HandleAllocated()) win::SendMessageA(c->Handle(), msg, wp, lp);
}

}  // namespace

bool TsSkinProvider::CallOldWndProc(TMessage& m) {
    std::weak_ptr<int> life = life_;
    if (OldWndProc) OldWndProc(m);
    return !life.expired();
}

void TsSkinProvider::FormWindowProc(TMessage& m) {
    if (m.Msg == SM_ALPHACMD && HandleSkinCommand(m)) return;
    if (!Skinned()) {
        UnskinnedMessage(m);
    } else if (m.Msg == SM_ALPHACMD) {
        SkinnedCommand(m);
    } else {
        SkinnedMessage(m);
    }
}

bool TsSkinProvider::HideAnimationWanted() const {
    TsSkinManager* mgr = SkinManager();
    if (!mgr || !win::kLayeredWindowsAvailable || !form_->HandleAllocated()) return false;
    const TacFormHide& hide = mgr->AnimEffects()->FormHide;
    return !win::IsIconic(form_->Handle()) && mgr->Active() && DrawNonClientArea && hide.Active &&
           hide.Time > 0;
}

void TsSkinProvider::UnskinnedMessage(TMessage& m) {
    if (m.Msg == SM_ALPHACMD && UnskinnedCommand(m)) return;
    if (!CallOldWndProc(m)) return;
    switch (m.Msg) {
        case win::WM_WINDOWPOSCHANGED: {
            auto* wp = reinterpret_cast<const win::WINDOWPOS*>(m.LParam);
            if (wp && (wp->flags & win::SWP_HIDEWINDOW) && HideAnimationWanted()) {
                std::weak_ptr<int> life = life_;
                AnimHideForm(this);
                if (life.expired() || !form_->HandleAllocated()) return;
                const win::HWND h = form_->Handle();
                const auto style = uint32_t(win::GetWindowLongA(h, win::GWL_STYLE));
                if (style & win::WS_VISIBLE)
                    win::SetWindowLongA(h, win::GWL_STYLE, int32_t(style & ~win::WS_VISIBLE));
                SetLayeredTransparent(h, false);
            }
            break;
        }
        case win::WM_NCDESTROY:
            if (IsMDIChild(form_) && MDISkinProvider && MDISkinProvider->MDIForm &&
                !MDISkinProvider->Destroying() && MDISkinProvider->Skinned())
                MDISkinProvider->InvalidateFrame();
            break;
        case CM_MOUSEWHEEL:
            RedirectMouseWheel(m);
            break;
        default:
            break;
    }
}

void TsSkinProvider::RedirectMouseWheel(TMessage&) {
    // No class is a wheel target here (DeepControlAtPos would stop at none), so a wheel
    // message nobody answered stays unanswered.
}

void TsSkinProvider::SkinnedMessage(TMessage& m) {
    TsSkinManager* mgr = SkinManager();
    // The border window passes its button messages on with HTTRANSPARENT: its own hit test
    // says where they landed.
    if (borderForm_ && m.WParam == win::WPARAM(win::HTTRANSPARENT) &&
        (m.Msg == win::WM_NCLBUTTONDOWN || m.Msg == win::WM_NCLBUTTONUP ||
         m.Msg == win::WM_NCLBUTTONDBLCLK || m.Msg == win::WM_NCRBUTTONDOWN ||
         m.Msg == win::WM_NCRBUTTONUP))
        m.WParam = win::WPARAM(BorderHitTest(borderForm_, m));
    switch (m.Msg) {
        case win::WM_CREATE:
            TitleBG.reset();
            if (!CallOldWndProc(m)) return;
            if (!IsMDIChild(form_)) PrepareForm();
            return;
        case win::WM_MOVE:
            KillAnimations();
            CallOldWndProc(m);
            return;
        case win::WM_SIZE:
            WMSize(m);
            return;
        case win::WM_ACTIVATE:
            if (!form_->Showing()) {
                CallOldWndProc(m);
                return;
            }
            if (!CallOldWndProc(m)) return;
            if (!ScrollAdapter && DrawNonClientArea) AttachScrollAdapter(ScrollAdapter);
            if (form_->ControlState.Contains(csCreating)) return;
            MenuLineCountCache = -1;
            if (IsMDIChild(form_) && MDISkinProvider) MDISkinProvider->skinData_->CacheStale = true;
            if ((m.WParam & 0xFFFF) == win::WA_ACTIVE) {
                if (!HasState(mgr, csDesigning)) UpdateMenusOwnerDraw(true);
                if (SystemMenu) SystemMenu->UpdateItems();
                if (form_->BorderStyle() == bsNone) RepaintChangedChildren(form_);
            }
            return;
        case win::WM_SETREDRAW:
            if (m.WParam == 0)
                ++RedrawLockCount;
            else
                RedrawLockCount = std::max(0, RedrawLockCount - 1);
            CallOldWndProc(m);
            return;
        case win::WM_SETTEXT:
            WMSetText(m);
            return;
        case win::WM_PAINT:
            WMPaint(m);
            return;
        case win::WM_QUERYENDSESSION:
            WMQueryEndSession(m);
            return;
        case win::WM_ERASEBKGND:
            WMEraseBkgnd(m);
            return;
        case win::WM_SYSCOLORCHANGE:
            if (!CallOldWndProc(m)) return;
            RebuildMainMenu();
            return;
        case win::WM_SHOWWINDOW:
            EndHover();
            if (!CallOldWndProc(m)) return;
            if (m.WParam != 0 && form_->Parent() && !IsMDIChild(form_)) {
                skinData_->CtrlState &= uint16_t(~kCtrlPlainBG);
                skinData_->CacheStale = true;
            }
            return;
        case win::WM_SETTINGCHANGE:
            skinData_->CacheStale = true;
            TitleBG.reset();
            CallOldWndProc(m);
            return;
        case win::WM_CHILDACTIVATE:
            if (!CallOldWndProc(m)) return;
            RebuildMainMenu();
            return;
        case win::WM_GETMINMAXINFO:
            WMGetMinMaxInfo(m);
            return;
        case win::WM_MEASUREITEM: {
            auto* mi = reinterpret_cast<const win::MEASUREITEMSTRUCT*>(m.LParam);
            if (mi && mi->CtlType == win::ODT_MENU && MenuPresent() && mgr && mgr->SkinableMenus())
                if (TMenuItem* item = form_->Menu()->FindItem(mi->itemID))
                    mgr->SkinableMenus()->HookMenu(item->GetParentMenu());
            CallOldWndProc(m);
            return;
        }
        case win::WM_WINDOWPOSCHANGING:
            if (RegionUpdating) return;
            WMWindowPosChangingSnap(m);
            return;
        case win::WM_WINDOWPOSCHANGED:
            WMWindowPosChanged(m);
            return;
        case win::WM_NOTIFY: {
            if (!CallOldWndProc(m)) return;
            auto* hdr = reinterpret_cast<const win::NMHDR*>(m.LParam);
            if (hdr && int(hdr->code) == TCN_SELCHANGE && CtrlAdapter) SendSkinCommand(form_->Handle(), SKC_CHILDCREATED, 0);
            return;
        }
        case win::WM_CONTEXTMENU:
            if (form_->PopupMenu() && mgr && Neighbours().SetMenuOwnerDraw)
                Neighbours().SetMenuOwnerDraw(mgr->SkinableMenus(), form_->PopupMenu(),
                                              mgr->SkinnedPopups());
            CallOldWndProc(m);
            return;
        case win::WM_STYLECHANGED: {
            if (!CallOldWndProc(m)) return;
            auto* ss = reinterpret_cast<const win::STYLESTRUCT*>(m.LParam);
            if (m.WParam == uintptr_t(win::GWL_EXSTYLE) && ss && borderForm_ &&
                ((ss->styleOld ^ ss->styleNew) & win::WS_EX_LAYERED))
                borderForm_->UpdateExBordersPos(true, 255);
            return;
        }
        case win::WM_SETICON:
            if (!HasState(form_, csLoading) && m.LParam != 0 && !FormChanging && form_->Showing()) {
                const bool lock = !IsDwmCompositionEnabled();
                if (lock) win::SendMessageA(form_->Handle(), win::WM_SETREDRAW, 0, 0);
                if (!CallOldWndProc(m)) return;
                if (lock) win::SendMessageA(form_->Handle(), win::WM_SETREDRAW, 1, 0);
                RedrawCaption();
            } else {
                CallOldWndProc(m);
            }
            return;
        case win::WM_NCCREATE:
            if (!CallOldWndProc(m)) return;
            if (!IsMDIChild(form_)) PrepareForm();
            return;
        case win::WM_NCHITTEST:
            WMNCHitTest(m);
            return;
        case win::WM_NCPAINT:
            WMNCPaint(m);
            return;
        case win::WM_NCACTIVATE:
            WMNCActivate(m);
            return;
        case WM_UAHINITMENU:
        case win::WM_ENTERIDLE:
            m.Result = 0;
            return;
        case win::WM_NCLBUTTONDOWN:
            WMNCLButtonDown(m);
            return;
        case win::WM_NCLBUTTONUP:
        case win::WM_LBUTTONUP:
            WMNCLButtonUp(m);
            return;
        case win::WM_NCLBUTTONDBLCLK:
            WMNCLButtonDblClk(m);
            return;
        case win::WM_NCRBUTTONDOWN:
            WMNCRButtonDown(m);
            return;
        case win::WM_NCRBUTTONUP:
            WMNCRButtonUp(m);
            return;
        case win::WM_SYSCOMMAND:
            WMSysCommand(m);
            return;
        case win::WM_INITMENUPOPUP:
            // A pop-up about to open is not drawn by the skin until its background is prepared.
            SetSkinnedMenuShown(false);
            if (m.LParam >> 16)
                win::EnableMenuItem(reinterpret_cast<win::HMENU>(m.WParam), win::SC_SIZE,
                                    win::MF_BYCOMMAND | win::MF_GRAYED);
            CallOldWndProc(m);
            return;
        case win::WM_MOUSEMOVE:
            WMMouseMoveOutline(m);
            if (DefaultManager && !HasState(DefaultManager, csDesigning))
                DefaultManager->SetActiveControl(nullptr);
            return;
        case win::WM_PARENTNOTIFY: {
            const auto event = uint32_t(m.WParam & 0xFFFF);
            if ((event != win::WM_CREATE && event != win::WM_DESTROY) ||
                HasState(this, csLoading) || HasState(form_, csLoading)) {
                CallOldWndProc(m);
                return;
            }
            if (!CallOldWndProc(m)) return;
            TMessage plain = SkinCommandMessage(SKC_PLAINBG, 1);
            form_->Perform(plain.Msg, plain.WParam, plain.LParam);
            BroadcastToChildControls(form_, plain);
            if (auto* bars = dynamic_cast<TacScrollWnd*>(ScrollAdapter); bars && DrawNonClientArea)
                bars->RefreshScrollBarInfo(true);
            return;
        }
        case win::WM_ENTERMENULOOP:
            CallOldWndProc(m);
            return;
        case win::WM_EXITMENULOOP:
            MDIBusy = false;
            CallOldWndProc(m);
            return;
        case win::WM_SIZING:
            WMSizing(m);
            if (borderForm_) borderForm_->UpdateExBordersPos(false, 255);
            return;
        case WM_MDIDESTROY:
        case WM_MDIACTIVATE:
            if (!CallOldWndProc(m)) return;
            if (IsMDIChild(form_) && !win::IsZoomed(form_->Handle()) && MDISkinProvider &&
                !MDISkinProvider->Destroying()) {
                MenuBarRebuilt = false;
                MDISkinProvider->InvalidateFrame();
            }
            HotMDIChildProvider = this;
            return;
        case win::WM_EXITSIZEMOVE:
            if (!CallOldWndProc(m)) return;
            if (borderForm_ && form_->FormState.Contains(fsModal))
                borderForm_->UpdateExBordersPos(false, 255);
            return;
        case win::WM_MOUSELEAVE:
        case CM_MOUSELEAVE:
            SetHotHT(0);
            if (mgr && mgr->ActiveControl()) mgr->SetActiveControl(nullptr);
            CallOldWndProc(m);
            return;
        case WM_TASKBARSYSMENU: {
            win::POINT p{};
            win::GetCursorPos(&p);
            DropSysMenu(p.x, p.y);
            return;
        }
        case win::WM_PRINT:
            WMPrint(m);
            return;
        case win::WM_PRINTCLIENT:
            return;
        case CM_ACTIVATE:
            if (!CallOldWndProc(m)) return;
            if (borderForm_) borderForm_->UpdateExBordersPos(false, 255);
            return;
        case CM_VISIBLECHANGED:
            if (m.WParam == 1 && MadeByLibrary) {
                MadeByLibrary = false;
                InitFormSkinning();
                UpdateBorderForm(mgr->ExtendedBorders());
            }
            if (!CallOldWndProc(m)) return;
            if (borderForm_) borderForm_->UpdateExBordersPos(m.WParam == 1, 255);
            if (m.WParam == 0) {
                if (TBitmap* b = skinData_->CacheBmp(); b && !form_->Parent()) b->SetSize(0, 0);
                KillAnimations();
            } else if (form_->Parent()) {
                RepaintChangedChildren(form_);
            }
            return;
        case CM_ENABLEDCHANGED:
            if (!CallOldWndProc(m)) return;
            if (DrawNonClientArea) {
                skinData_->CacheStale = true;
                SendSelf(form_, win::WM_NCPAINT);
            }
            return;
        case CM_MOUSEENTER: {
            if (!CallOldWndProc(m)) return;
            LeaveOtherSpeedButtons(form_, reinterpret_cast<TControl*>(m.LParam));
            return;
        }
        case CM_MENUCHANGED:
            if (form_->ControlState.Contains(csCreating) || !form_->Visible() || InAnimation) {
                CallOldWndProc(m);
            } else if (skinData_->CtrlState & kCtrlUpdating) {
                skinData_->CtrlState |= kCtrlMenuChangePending;
            } else {
                MenuLineCountCache = -1;
                MenuLineChanged = true;
                skinData_->CacheStale = true;
                CallOldWndProc(m);
            }
            return;
        case CM_SHOWINGCHANGED:
            CMShowingChanged(m);
            return;
        case CM_CONTROLLISTCHANGE: {
            auto* control = reinterpret_cast<TControl*>(m.WParam);
            if (control == nullptr) {
                CallOldWndProc(m);
                return;
            }
            if (!CallOldWndProc(m)) return;
            auto* adapter = dynamic_cast<TacCtrlAdapter*>(CtrlAdapter);
            if (auto* w = dynamic_cast<TWinControl*>(control); w && adapter) adapter->AddControl(w);
            TMessage plain = SkinCommandMessage(SKC_PLAINBG, 1);
            if (auto* w = dynamic_cast<TWinControl*>(control)) BroadcastToChildControls(w, plain);
            control->Perform(plain.Msg, plain.WParam, plain.LParam);
            return;
        }
        case CM_RECREATEWND:
        case CM_INVALIDATE:
        case CM_SWALLOWED:
        case kOwnRegionQuery:
            m.Result = 0;
            return;
        case CM_FLOAT:
            if (!CallOldWndProc(m)) return;
            if (ScrollAdapter) FreeAdapter(ScrollAdapter);
            SendSkinCommand(form_->Handle(), SKC_REFRESH, reinterpret_cast<intptr_t>(mgr));
            return;
        case CM_MOUSEWHEEL:
            if (!CallOldWndProc(m)) return;
            RedirectMouseWheel(m);
            return;
        default:
            CallOldWndProc(m);
            return;
    }
}

void TsSkinProvider::WMSize(TMessage& m) {
    TsSkinManager* mgr = SkinManager();
    const TRect old = LastClientRect;
    const int w = form_->ClientWidth(), h = form_->ClientHeight();
    const bool grew = w > old.Width() || h > old.Height();
    const bool shrank = w < old.Width() || h < old.Height();
    const bool plain = skinData_->CtrlState & kCtrlPlainBG;
    const win::HWND wnd = form_->HandleAllocated() ? form_->Handle() : nullptr;
    auto invalidateCorner = [&](int right, int bottom, int cx, int cy, bool erase) {
        if (!wnd || cx <= 0 || cy <= 0) return;
        const win::RECT r{right - cx, bottom - cy, right, bottom};
        win::InvalidateRect(wnd, &r, erase);
    };
    if (mgr && GripVisible()) {
        const int gi = mgr->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
        if (mgr->IsValidImgIndex(gi)) {
            const TsMaskData& g = mgr->Masks()[size_t(gi)];
            const int gw = SkinFrameWidth(g), gh = SkinFrameHeight(g);
            if (grew && plain && !old.IsEmpty()) invalidateCorner(old.Right, old.Bottom, gw, gh, plain);
            if (shrank) invalidateCorner(w, h, gw, gh, plain);
        }
    }
    if ((shrank || old.IsEmpty()) && mgr && mgr->IsValidSkinIndex(skinData_->SkinIndex)) {
        for (const char* name : {"IMGTOPRIGHT", "IMGBTMRIGHT"}) {
            const int i = mgr->GetMaskIndex(skinData_->SkinIndex, skinData_->SkinSection(), name);
            if (!mgr->IsValidImgIndex(i)) continue;
            const TsMaskData& mk = mgr->Masks()[size_t(i)];
            invalidateCorner(old.Right, old.Bottom, SkinFrameWidth(mk), SkinFrameHeight(mk), plain);
        }
    }
    LastClientRect = TRect(0, 0, w, h);
    CaptionImages[0].reset();
    CaptionImages[1].reset();
    MenuLineCountCache = -1;
    if (!CallOldWndProc(m)) return;
    if (FormChanging) return;
    if (form_->Showing()) {
        if (FrameSizeChanged()) {
            RegionChanged = true;
            skinData_->CacheStale = true;
            if (DrawNonClientArea) {
                if (borderForm_) borderForm_->UpdateExBordersPos(true, 255);
                SendSelf(form_, win::WM_NCPAINT);
                Redraw(form_, win::RDW_INVALIDATE | win::RDW_NOERASE | win::RDW_NOFRAME);
                TBitmap* cache = skinData_->CacheBmp();
                if (!cache || (!plain && (cache->Width() > form_->Width() ||
                                          cache->Height() > form_->Height())))
                    win::InvalidateRect(wnd, nullptr, win::FALSE);
            }
        } else if (IsMDIParent(form_) && !plain) {
            SendSelf(form_, win::WM_NCPAINT);
        } else if (IsMDIChild(form_) && m.WParam == win::SIZE_MAXIMIZED && MDISkinProvider) {
            MDISkinProvider->skinData_->CacheStale = true;
            MDISkinProvider->MenuLineChanged = true;
            Redraw(form_, win::RDW_INVALIDATE | win::RDW_ALLCHILDREN | win::RDW_FRAME);
        }
    } else {
        skinData_->CacheStale = true;
    }
    if (borderForm_) borderForm_->UpdateExBordersPos(true, 255);
}

void TsSkinProvider::WMNCPaint(TMessage& m) {
    m.Result = 0;
    if ((skinData_->CtrlState & (kCtrlUpdating | kCtrlMenuChangePending)) ||
        (form_->Menu() && form_->Menu()->WindowHandle() == nullptr))
        return;
    if (MadeByLibrary) {
        MadeByLibrary = false;
        InitFormSkinning();
    }
    if (!DrawNonClientArea || (FormChanging && IsMDIChild(form_))) {
        CallOldWndProc(m);
        return;
    }
    if (form_->HandleAllocated() && win::IsIconic(form_->Handle())) skinData_->CacheStale = true;
    if (ShowAnimPending || !form_->Showing() || HasState(this, csLoading) ||
        form_->ControlState.Contains(csDestroyingHandle) || SystemMenu == nullptr)
        return;
    if (CtrlAdapter == nullptr) CreateCtrlAdapter();
    if (skinData_->CacheBmp() == nullptr) UpdateBorderForm(SkinManager()->ExtendedBorders());
    PaintForm();
}

void TsSkinProvider::PaintForm() {
    const win::HWND h = form_->Handle();
    if (!MenuBarRebuilt && RebuildMainMenu()) MenuBarRebuilt = true;
    if (RegionChanged && !RegionUpdating) {
        if (HasBorder() || IsWindowSizeable(h) || win::IsIconic(h)) {
            BuildRegionCuts();
            RegionChanged = false;
            if (!FormPainted || !FormChanging) UpdateFormRegion(false);
        } else {
            win::SetWindowRgn(h, nullptr, win::FALSE);
        }
    }
    skinData_->BGChanged = false;
    if (borderForm_) {
        const std::weak_ptr<int> life = life_;
        borderForm_->UpdateExBordersPos(true, 255);
        if (life.expired() || !borderForm_ || !MenuPresent()) return;
        // The menu rows lie in the form's own window, above its client area.
        TBitmap* cache = skinData_->CacheBmp();
        win::POINT client{0, 0};
        win::ClientToScreen(h, &client);
        win::RECT r{};
        win::GetWindowRect(h, &r);
        const TPoint origin = CacheScreenOrigin();
        WindowDCScope dc(h);
        BlitClipped(dc.Get(), 0, 0, r.right - r.left, client.y - r.top, cache, r.left - origin.X,
                    r.top - origin.Y);
        return;
    }
    const win::HDC dc = win::GetWindowDC(h);
    if (dc == nullptr) return;
    const int saved = win::SaveDC(dc);
    PaintNonClientArea(dc);
    win::RestoreDC(dc, saved);
    win::ReleaseDC(h, dc);
}

// Repaints the frame after the form's own procedure drew the default one (rule 3).
void TsSkinProvider::WMNCActivate(TMessage& m) {
    if (HasState(this, csDestroying)) {
        CallOldWndProc(m);
        return;
    }
    FormActive = m.WParam != 0;
    skinData_->CacheStale = true;
    skinData_->BGChanged = false;
    if (!form_->Showing()) {
        CallOldWndProc(m);
        return;
    }
    const bool lock = ShowAnimPending || MadeByLibrary;
    const bool madeByLibrary = MadeByLibrary;
    const win::HWND h = form_->Handle();
    if (borderForm_ && !ShowAnimPending) UpdateFormRegion(false);
    if (lock) win::SendMessageA(h, win::WM_SETREDRAW, 0, 0);
    if (!CallOldWndProc(m)) return;
    if (lock) win::SendMessageA(h, win::WM_SETREDRAW, 1, 0);
    if (madeByLibrary) Redraw(form_, win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN);
    if (IsMDIChild(form_) && form_->Visible() && MDISkinProvider && MDISkinProvider->MDIForm) {
        if (!MDISkinProvider->SystemMenu) MDISkinProvider->PrepareForm();
        MDISkinProvider->InvalidateFrame();
    }
    const bool layered = uint32_t(win::GetWindowLongA(h, win::GWL_EXSTYLE)) & win::WS_EX_LAYERED;
    if (layered || HasBorder()) {
        if (IsMDIParent(form_) && MDIChildButtonsVisible()) MenuLineCountCache = -1;
        std::weak_ptr<int> life = life_;
        win::SendMessageA(h, win::WM_NCPAINT, 0, 0);
        if (life.expired()) return;
    }
    if (borderForm_) borderForm_->UpdateExBordersPos(FormActive, 255);
    UpdateMenusOwnerDraw(true);
    if (!MenuBarRebuilt && RebuildMainMenu()) MenuBarRebuilt = true;
    if (CtrlAdapter == nullptr) CreateCtrlAdapter();
}

void TsSkinProvider::WMSetText(TMessage& m) {
    if (!form_->Showing() || form_->ControlState.Contains(csCreating) || !DrawNonClientArea) {
        CallOldWndProc(m);
        return;
    }
    CaptionImages[0].reset();
    CaptionImages[1].reset();
    if (IsMDIChild(form_) && win::IsZoomed(form_->Handle()) && MDISkinProvider) {
        MDISkinProvider->skinData_->CacheStale = true;
        if (!CallOldWndProc(m)) return;
        MDISkinProvider->InvalidateFrame();
    } else {
        skinData_->CacheStale = true;
        if (!CallOldWndProc(m)) return;
        RedrawCaption();
        if (form_->AlphaBlend()) SendSelf(form_, win::WM_NCPAINT);
    }
    if (borderForm_) borderForm_->UpdateExBordersPos(true, 255);
}

void TsSkinProvider::CMShowingChanged(TMessage& m) {
    TsSkinManager* mgr = SkinManager();
    if (!DrawNonClientArea || !form_->Showing() || !form_->HandleAllocated()) {
        CallOldWndProc(m);
        return;
    }
    const win::HWND h = form_->Handle();
    UpdateMenusOwnerDraw(true);
    SendSkinCommand(h, SKC_CHILDCREATED, 0);
    const TacFormShow& show = mgr->AnimEffects()->FormShow;
    ShowAnimPending = !IsMDIChild(form_) && !form_->Parent() && show.Active;
    bool layeredHere = false;
    uint8_t alpha = 255;
    std::vector<TWinControl*> frozen;
    if (ShowAnimPending) {
        skinData_->BGChanged = true;
        InAnimation = true;
        layeredHere = SetLayeredTransparent(h, true);
        if (layeredHere) {
            UpdateFormRegion(false);
            RegionUpdating = false;
        } else {
            alpha = form_->AlphaBlendValue();
            form_->SetAlphaBlendValue(0);
        }
        for (int i = 0; i < form_->ControlCount(); ++i) {
            auto* w = dynamic_cast<TWinControl*>(form_->Controls(i));
            if (w && w->Visible() && w->HandleAllocated()) {
                win::SendMessageA(w->Handle(), win::WM_SETREDRAW, 0, 0);
                frozen.push_back(w);
            }
        }
    } else {
        skinData_->BGChanged = false;
    }
    UpdateBorderForm(mgr->ExtendedBorders());
    std::weak_ptr<int> life = life_;
    if (!CallOldWndProc(m)) return;
    AttachScrollAdapter(ScrollAdapter);
    if (ShowAnimPending) {
        for (TWinControl* w : frozen)
            if (w->HandleAllocated()) win::SendMessageA(w->Handle(), win::WM_SETREDRAW, 1, 0);
        if (layeredHere) {
            SetLayeredTransparent(h, false);
            alpha = 255;
        }
        ShowAnimPending = false;
        if (borderForm_)
            AnimShowForm(this, show.Time, alpha, show.Mode);
        else
            AnimFormTransition(form_, show.Time, alpha, show.Mode);
        if (life.expired()) return;
        if (!layeredHere && form_->AlphaBlendValue() == 0) form_->SetAlphaBlendValue(alpha);
        InAnimation = false;
        // Every show animation ends by redrawing the whole form with its frame and children,
        // and nothing has changed since: a second full paint would put the same pixels again.
        // It is needed only for what the animation's paint left out while InAnimation was
        // set: the form's own OnPaint handler and the border form's placement.
        if (form_->OnPaint || borderForm_)
            Redraw(form_, (skinData_->CtrlState & kCtrlPlainBG) ? 0x585 : 0x5A1);
        RegionUpdating = false;
    }
    if (IsMDIChild(form_) && win::IsZoomed(h) && MDISkinProvider) MDISkinProvider->InvalidateFrame();
}

void TsSkinProvider::WMWindowPosChanged(TMessage& m) {
    if (!CallOldWndProc(m)) return;
    // A maximised form with extended borders whose skin caption is lower than the system's
    // plus 4 raises it to that.
    CaptionRaised = false;
    if (borderForm_ && form_->HandleAllocated() && win::IsZoomed(form_->Handle()))
        CaptionRaised = ExtTitleHeight() < CaptionHeight(false) + 4;
    auto* wp = reinterpret_cast<const win::WINDOWPOS*>(m.LParam);
    TsSkinManager* mgr = SkinManager();
    const bool mainForm = Application()->MainForm() == form_;
    if (wp && (wp->flags & win::SWP_HIDEWINDOW) && HideAnimationWanted() &&
        !(mainForm && MinimizingByButton) && !Application()->Terminated() &&
        mgr->LastSysCommand() != 2) {
        AnimHideForm(this);
    } else if (borderForm_ && wp && !(wp->flags & (win::SWP_NOREDRAW | win::SWP_FRAMECHANGED))) {
        borderForm_->UpdateExBordersPos(false, 255);
    }
}

void TsSkinProvider::WMEraseBkgnd(TMessage& m) {
    if (!form_->Showing()) {
        CallOldWndProc(m);
        return;
    }
    m.Result = 1;
    if (skinData_->CtrlState & kCtrlUpdating) return;
    const auto dc = reinterpret_cast<win::HDC>(m.WParam);
    if (!form_->ControlState.Contains(csPaintCopy) && m.WParam != uintptr_t(m.LParam)) {
        EraseClient(dc);
        MDIChildCreatedMaximized = false;
        win::RECT clip{};
        if ((skinData_->CtrlState & kCtrlPlainBG) && !skinData_->BGChanged && dc &&
            win::GetClipBox(dc, &clip) == win::NULLREGION)
            RepaintChangedChildren(form_);
    } else if (dc) {
        if (skinData_->CacheStale) PaintFrame();
        PaintClientBackground(dc, false);
    }
}

void TsSkinProvider::EraseClient(win::HDC given) {
    const win::HWND h = form_->Handle();
    const win::HDC dc = given ? given : win::GetDC(h);
    skinData_->BGChanged = false;
    if (!ShowAnimPending && !Destroying()) {
        const int saved = win::SaveDC(dc);
        ExcludeGraphicChildren(dc, form_, 0, 0);
        PaintClientBackground(dc, false);
        if (GripVisible()) {
            win::OffsetViewportOrgEx(dc, -ClientOffsetX(), -ClientOffsetY(), nullptr);
            PaintGrip(dc);
        }
        win::RestoreDC(dc, saved);
        PaintParentBackground(dc, form_, TPoint(0, 0));
        ErasedInPaint = true;
    }
    if (!given) win::ReleaseDC(h, dc);
}

void TsSkinProvider::WMPaint(TMessage& m) {
    if (form_->ControlState.Contains(csPaintCopy)) return;
    if (borderForm_ && !InAnimation &&
        (!borderForm_->Handle() || !win::IsWindowVisible(borderForm_->Handle())))
        borderForm_->UpdateExBordersPos(false, 255);
    const bool plain = skinData_->CtrlState & kCtrlPlainBG;
    if (!form_->Showing()) {
        if (plain || borderForm_ || form_->AlphaBlend()) CallOldWndProc(m);
        return;
    }
    const win::HWND h = form_->Handle();
    if (plain && skinData_->CacheStale) win::InvalidateRect(h, nullptr, win::TRUE);
    m.Result = 0;
    if (!plain && FormChanging) return;  // the update region waits for the thaw
    win::PAINTSTRUCT ps{};
    ErasedInPaint = false;
    win::HDC dc = win::BeginPaint(h, &ps);
    // A background asked for without erasing is painted here.
    if (!plain && !ErasedInPaint && dc) EraseClient(dc);
    if (dc && !InAnimation && form_->OnPaint) {
        TPaintDCLease lease(form_->Canvas(), dc);
        form_->OnPaint(form_);
    }
    win::EndPaint(h, &ps);
}

void TsSkinProvider::WMPrint(TMessage& m) {
    skinData_->BGChanged = false;
    const auto dc = reinterpret_cast<win::HDC>(m.WParam);
    if (!DrawNonClientArea && !borderForm_) {
        CallOldWndProc(m);
        return;
    }
    if (dc == nullptr) return;
    if (borderForm_) {
        if (skinData_->CacheStale) PaintFrame();
        if (TBitmap* b = skinData_->CacheBmp())
            win::BitBlt(dc, 0, 0, b->Width(), b->Height(), b->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    } else {
        PaintNonClientArea(dc);
    }
    const int saved = win::SaveDC(dc);
    const int dy = ClientOffsetY() + (borderForm_ && MenuLineCount() > 0 ? 1 : 0);
    win::OffsetViewportOrgEx(dc, ClientOffsetX(), dy, nullptr);
    win::IntersectClipRect(dc, 0, 0, form_->ClientWidth(), form_->ClientHeight());
    PaintClientBackground(dc, false);
    PaintParentBackground(dc, form_, TPoint(0, 0));
    if (form_->OnPaint) {
        TPaintDCLease lease(form_->Canvas(), dc);
        form_->OnPaint(form_);
    }
    win::RestoreDC(dc, saved);
}

void TsSkinProvider::WMSysCommand(TMessage& m) {
    const auto cmd = uint32_t(m.WParam & 0xFFF0);
    if (m.WParam == 0xF012) form_->Repaint();
    if (ResizeMode == rmBorder && (cmd == win::SC_MOVE || cmd == win::SC_SIZE) && ArmOutline(m))
        return;
    if (IsMDIParent(form_)) {
        if (!CallOldWndProc(m)) return;
        if (cmd == win::SC_MAXIMIZE || cmd == win::SC_RESTORE) InvalidateFrame();
        return;
    }
    if (!CallOldWndProc(m)) return;
    const win::HWND h = form_->Handle();
    switch (cmd) {
        case win::SC_KEYMENU:
            if (m.LParam == 0x20 && SystemMenu && SystemMenu->VisibleClose() && HasBorder()) {
                const TPoint o = FormScreenOrigin();
                DropSysMenu(o.X + SysBorderWidth(), o.Y + FullBorderWidthNoExt(false) + TitleIconHeight());
            }
            break;
        case win::SC_MINIMIZE:
            EndHover();
            // The title buttons' pictures are taken from the cache emptied here.
            KillAnimations();
            if (TBitmap* b = skinData_->CacheBmp()) b->SetSize(0, 0);
            break;
        case win::SC_MAXIMIZE:
            SetHotHT(0);
            break;
        case win::SC_RESTORE:
            EndHover();
            skinData_->CacheStale = true;
            std::fill(std::begin(CaptionRepaintFlags), std::end(CaptionRepaintFlags), true);
            if (!HasBorder())
                win::SetWindowRgn(h, nullptr, win::TRUE);
            else
                Redraw(form_, win::RDW_INVALIDATE | win::RDW_FRAME);
            break;
        default:
            break;
    }
}

// Fades of controls stop with the session; the form waits for the running ones at most a
// second of the clock, taking messages meanwhile.
void TsSkinProvider::WMQueryEndSession(TMessage& m) {
    StopEffects = true;
    const uint32_t start = os::GetTickCount();
    // The deadline's own timer ends the wait for messages at the latest when the time is up.
    const win::UINT_PTR deadline = win::SetTimer(nullptr, 0, kQueryEndSessionWaitMs, nullptr);
    std::weak_ptr<int> life = life_;
    Application()->ProcessMessages();
    while (LiveEffectTimers > 0 &&
           os::TickDiff(start, os::GetTickCount()) < kQueryEndSessionWaitMs) {
        win::WaitMessage();
        Application()->ProcessMessages();
    }
    win::KillTimer(nullptr, deadline);
    if (life.expired() || !CallOldWndProc(m)) return;
    if (m.Result == 0) StopEffects = false;  // the session goes on
}

}  // namespace skin
