// The frame-and-bars adapters of edit-like windows.
#include "skin/windows/scroll/edit_wnd.h"

#include "platform/gdi/sys_colors.h"
#include "skin/core/state/common_data.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/graphics.h"

namespace skin {
namespace {

bool Mine(const vcl::TMessage& m, const TsCommonData* data) {
    return data && m.LParam == reinterpret_cast<intptr_t>(data->SkinManager());
}

// The border mask has more than one state: focus and hover change the frame.
bool BorderMaskHasStates(const TsCommonData* data) {
    TsSkinManager* m = data ? data->SkinManager() : nullptr;
    if (m == nullptr || data->BorderIndex < 0 || size_t(data->BorderIndex) >= m->Masks().size())
        return false;
    return m->Masks()[size_t(data->BorderIndex)].ImageCount > 1;
}

bool RedrawFrozen() {
    return !FrozenForms().empty();
}

}  // namespace

void TacBaseWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (Unhooked || !Skinned()) {
        TacScrollWnd::AdapterWindowProc(m);
        return;
    }
    if (m.Msg == SM_ALPHACMD) {
        uint16_t code = SkinCommandCode(m.WParam);
        if (code == SKC_REFRESH && Mine(m, SkinData)) {
            TacScrollWnd::AdapterWindowProc(m);
            if (!Unhooked && win::IsWindowVisible(CtrlHandle))
                win::SendMessageA(CtrlHandle, win::WM_NCPAINT, 0, 0);
            return;
        }
        if (code == SKC_CLEARCACHE) {
            PrepareCache();
            TacScrollWnd::AdapterWindowProc(m);
            return;
        }
    }
    switch (m.Msg) {
        case win::WM_SIZE:
            SkinData->CacheStale = true;
            TacScrollWnd::AdapterWindowProc(m);
            if (!Unhooked && !OwnScrollMessage) RefreshScrollBarInfo(true);
            return;
        case win::WM_SETCURSOR:
            CallPrevWndProc(m);
            return;
        case 0x2100:
            return;
        default:
            break;
    }
    TacScrollWnd::AdapterWindowProc(m);
    if (Unhooked) return;
    switch (m.Msg) {
        case win::WM_HSCROLL:
        case win::WM_VSCROLL:
            if (!OwnScrollMessage) RefreshScrollBarInfo(true);
            break;
        case win::WM_ENABLE:
        case vcl::CM_ENABLEDCHANGED:
            if (win::IsWindowVisible(CtrlHandle)) win::SendMessageA(CtrlHandle, win::WM_NCPAINT, 0, 0);
            break;
        default:
            break;
    }
}

void TacEditWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                const std::string& section, bool flag) {
    TacBaseWnd::AttachToWindow(wnd, skinData, manager, section.empty() ? "EDIT" : section, flag);
    Painted = false;
}

void TacEditWnd::PrepareCache() {
    if (SkinData == nullptr || !SkinData->CacheStale) return;
    PrepareAdapterCache(SkinData, CtrlHandle, false);
    FillAdapterCorners(ControlIsActive(SkinData) ? 1 : 0, SkinData, CtrlHandle);
}

void TacEditWnd::SaveStdParams() {
    vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
    if (c == nullptr) return;
    SavedColor = c->Color();
    SavedFontColor = c->Font()->Color();
    HasFocusColor = vcl::IsPublishedProp(c, "FocusColor");
    if (HasFocusColor) SavedFocusColor = uint32_t(vcl::GetOrdProp(c, "FocusColor"));
}

void TacEditWnd::RestoreStdParams() {
    TacBaseWnd::RestoreStdParams();
    if (win::IsWindow(CtrlHandle) && win::IsWindowVisible(CtrlHandle))
        win::SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                          win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER |
                              win::SWP_FRAMECHANGED | win::SWP_NOOWNERZORDER);
    vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
    if (c == nullptr || c->ComponentState().Contains(vcl::csDestroying)) return;
    c->SetColor(vcl::TColor(SavedColor));
    c->Font()->SetColor(vcl::TColor(SavedFontColor));
    if (HasFocusColor) vcl::SetOrdProp(c, "FocusColor", SavedFocusColor);
}

void TacEditWnd::SetSkinParams() {
    if (StyleGuard || SkinData == nullptr) return;
    StyleGuard = true;
    SkinData->BGChanged = true;
    TacBaseWnd::SetSkinParams();
    TsSkinManager* m = SkinData->SkinManager();
    const TsGeneralData* s = m && m->IsValidSkinIndex(SkinData->SkinIndex)
                                 ? &m->Sections()[size_t(SkinData->SkinIndex)]
                                 : nullptr;
    if (vcl::TControl* c = SkinData->OwnerControl()) {
        if (!SkinData->CustomColor()) {
            uint32_t bg = GetControlBGColor(SkinData, false, CtrlHandle);
            if (HasFocusColor) {
                vcl::SetOrdProp(c, "FocusColor", bg);
                if (uint32_t(c->Color()) != bg) c->SetColor(vcl::TColor(bg));
            } else {
                c->SetColor(vcl::TColor(bg));
            }
        }
        if (!SkinData->CustomFont() && s && uint32_t(c->Font()->Color()) != s->HotFontColor)
            c->Font()->SetColor(vcl::TColor(s->HotFontColor));
    } else {
        SkinColor = s ? s->Color : win::GetSysColor(win::COLOR_WINDOW);
    }
    SkinData->CacheStale = true;
    SkinData->BGChanged = false;
    StyleGuard = false;
}

void TacEditWnd::PaintFrame(win::HDC dc) {
    if (SkinData->CacheStale) PrepareCache();
    vcl::TBitmap* cache = SkinData->CacheBmp();
    win::HDC target = dc ? dc : win::GetWindowDC(CtrlHandle);
    if (target == nullptr) return;
    PaintScrollBars(target, -1, 0);
    if (cache && cache->Width() > 0) {
        int border = std::max({Border.left, Border.top, Border.right, Border.bottom, 0});
        if (HBar.Shown || VBar.Shown) {
            // The strips beside the bars only as wide as the frame outside them.
            border = std::max(Border.left, Border.top);
        }
        CopyBorderStrips(target, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(),
                         0, 0, border);
    }
    if (dc == nullptr) win::ReleaseDC(CtrlHandle, target);
}

void TacEditWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacBaseWnd::AdapterWindowProc(m);
    if (m.Msg == SM_ALPHACMD) {
        switch (SkinCommandCode(m.WParam)) {
            case SKC_CLEARCACHE:
                PrepareCache();
                TacBaseWnd::AdapterWindowProc(m);
                return;
            case SKC_REFRESH:
                // The skin's colours before the repaint the refresh makes: set after it, they
                // would mark the cache that repaint has just built stale, and the next paint
                // would build it all over again.
                if (Mine(m, SkinData)) {
                    SkinData->UpdateIndexes();
                    SetSkinParams();
                }
                if (!Unhooked) TacBaseWnd::AdapterWindowProc(m);
                return;
            case SKC_ISSKINAWARE:
                m.Result = 1;
                return;
            case SKC_GETSKININDEX:
                if (m.LParam) *reinterpret_cast<int32_t*>(m.LParam) = SkinData->SkinIndex;
                return;
            default:
                TacBaseWnd::AdapterWindowProc(m);
                return;
        }
    }
    switch (m.Msg) {
        case win::WM_NCPAINT: {
            if (RedrawFrozen() || !win::IsWindowVisible(CtrlHandle)) {
                m.Result = 0;
                return;
            }
            SkinData->BGChanged = SkinData->GetBGChanged();
            if (SkinData->BGChanged) return;
            PaintFrame(nullptr);
            Painted = true;
            m.Result = 0;
            return;
        }
        case win::WM_PAINT:
        case win::WM_ERASEBKGND:
            if (SkinData->BGChanged) {
                if (m.Msg == win::WM_PAINT) win::ValidateRect(CtrlHandle, nullptr);
                m.Result = 1;
                return;
            }
            TacBaseWnd::AdapterWindowProc(m);
            if (!Unhooked && m.Msg == win::WM_PAINT) PaintScrollBars(nullptr, -1, 0);
            return;
        case win::WM_PRINT: {
            CallPrevWndProc(m);
            if (Unhooked || m.Result == 2 || m.WParam == 0) return;
            win::HDC dc = reinterpret_cast<win::HDC>(m.WParam);
            SkinData->CacheStale = true;
            PaintFrame(dc);
            return;
        }
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS:
        case vcl::CM_MOUSEENTER:
        case vcl::CM_MOUSELEAVE:
            TacBaseWnd::AdapterWindowProc(m);
            if (Unhooked) return;
            SkinData->Focused = win::GetFocus() == CtrlHandle;
            if (BorderMaskHasStates(SkinData)) {
                SkinData->CacheStale = true;
                win::SendMessageA(CtrlHandle, win::WM_NCPAINT, 0, 0);
            }
            if (m.Msg == vcl::CM_MOUSELEAVE && Neighbours().ClearGlows) Neighbours().ClearGlows();
            return;
        default:
            break;
    }
    TacBaseWnd::AdapterWindowProc(m);
    if (Unhooked || OwnScrollMessage) return;
    switch (m.Msg) {
        case win::WM_NCCALCSIZE:
        case win::WM_NCHITTEST:
        case win::WM_NCMOUSEMOVE:
        case win::WM_TIMER:
        case win::WM_DESTROY:
        case win::WM_NCDESTROY:
        case win::WM_GETTEXT:
        case win::WM_GETTEXTLENGTH:
        case SM_ALPHACMD:
            break;
        default:
            // Content and keys may have moved the scroll position.
            RefreshScrollBarInfo(true);
    }
}

}  // namespace skin
