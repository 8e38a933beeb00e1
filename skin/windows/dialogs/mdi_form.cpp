// The MDI client adapter. Its picture is the provider's: the form's frame image holds the whole
// window, client area included, so the client shows the part of it that lies under it.
#include "skin/windows/dialogs/mdi_form.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/user/user.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/adapter_backdrop.h"
#include "skin/windows/provider/frame_paint.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/provider/system_menu.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

// Pixels the client moves per scroll unit.
constexpr int kScrollUnit = 8;
// The client edge of WS_EX_CLIENTEDGE.
constexpr int kClientEdge = 2;
// Answered after the base like WM_PARENTNOTIFY: the bars' visibility may have changed.
constexpr uint32_t kBarsMayChange = 63;

bool HasClientEdge(win::HWND wnd) {
    return (win::DWORD(win::GetWindowLongA(wnd, win::GWL_EXSTYLE)) & win::WS_EX_CLIENTEDGE) != 0;
}

// Moves the client's children by (dx, dy) and has the client repaint.
void ScrollClient(win::HWND client, int dx, int dy) {
    for (win::HWND c = win::GetWindow(client, win::GW_CHILD); c;
         c = win::GetWindow(c, win::GW_HWNDNEXT)) {
        win::RECT r{};
        win::GetWindowRect(c, &r);
        win::POINT p{r.left, r.top};
        win::ScreenToClient(client, &p);
        win::SetWindowPos(c, nullptr, p.x + dx, p.y + dy, 0, 0,
                          win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    }
    win::InvalidateRect(client, nullptr, win::TRUE);
}

}  // namespace

win::HWND TacMDIWnd::ActiveChild(bool* maximized) const {
    win::BOOL zoomed = win::FALSE;
    auto child = reinterpret_cast<win::HWND>(
        win::SendMessageA(CtrlHandle, WM_MDIGETACTIVE, 0, reinterpret_cast<intptr_t>(&zoomed)));
    if (maximized) *maximized = child && (zoomed || win::IsZoomed(child));
    return child;
}

bool TacMDIWnd::ChildMaximized() const {
    bool maximized = false;
    ActiveChild(&maximized);
    return maximized;
}

bool TacMDIWnd::PlainArea() const {
    TsSkinManager* m = FormSkinData ? FormSkinData->SkinManager() : nullptr;
    return m && m->GetSkinIndex("MDIAREA") < 0 && !FormSkinData->NeedsParentBG();
}

vcl::TPoint TacMDIWnd::FormCacheOffset() const {
    win::RECT client{};
    win::GetWindowRect(CtrlHandle, &client);
    win::POINT p{client.left, client.top};
    if (!MDIForm || !MDIForm->HandleAllocated() || !Provider) return {0, 0};
    win::ScreenToClient(MDIForm->Handle(), &p);
    // The provider's client offsets count the caption, the menu line and the extended
    // borders' margins, as its frame image holds them.
    return {Provider->ClientOffsetX() + p.x, Provider->ClientOffsetY() + p.y};
}

void TacMDIWnd::PaintClientBackground(win::HDC dc, bool forPrint) {
    if (!dc || !Provider || Provider->Passive || !FormSkinData) return;
    win::RECT r{};
    win::GetClientRect(CtrlHandle, &r);
    const vcl::TRect client{0, 0, r.right, r.bottom};
    if (PlainArea()) {
        FillRectSolid(dc, client, Provider->FormColor());
        return;
    }
    if (!FormSkinData->CacheBmp() || FormSkinData->CacheStale) {
        Provider->PaintFrame();
        FormSkinData->CacheStale = false;
    }
    vcl::TBitmap* cache = FormSkinData->CacheBmp();
    if (!cache) return;
    vcl::TPoint src = FormCacheOffset();
    if (!forPrint && HasClientEdge(CtrlHandle)) {
        src.X += kClientEdge;
        src.Y += kClientEdge;
    }
    BlitClipped(dc, 0, 0, client.Width(), client.Height(), cache, src.X, src.Y);
}

void TacMDIWnd::PaintClientBorder(win::HDC dc) {
    vcl::TBitmap* cache = FormSkinData ? FormSkinData->CacheBmp() : nullptr;
    if (!dc || !cache || !Provider) return;
    win::RECT w{};
    win::GetWindowRect(CtrlHandle, &w);
    const int width = w.right - w.left, height = w.bottom - w.top;
    if (PlainArea()) {
        const int band = HasClientEdge(CtrlHandle) ? kClientEdge : 0;
        FillBorderBands(dc, vcl::TRect{0, 0, width, height}, band, band, band, band,
                        Provider->FormColor());
        return;
    }
    const vcl::TPoint src = FormCacheOffset();
    CopyBorderStrips(dc, 0, 0, width, height, cache->Canvas()->Handle(), src.X, src.Y, kClientEdge);
}

void TacMDIWnd::TileOrCascade(vcl::TMessage& m) {
    TacBaseWnd::AdapterWindowProc(m);
    if (Unhooked || !Provider) return;
    if (TsCommonData* d = Provider->SkinData()) d->CacheStale = true;
    Provider->HotHitCode = -1;
    if (MDIForm && MDIForm->FormStyle() == vcl::fsMDIForm) {
        if (win::HWND child = ActiveChild(nullptr)) {
            const auto style = win::DWORD(win::GetWindowLongA(child, win::GWL_STYLE));
            win::SetWindowLongA(child, win::GWL_STYLE, long(style & ~win::WS_SYSMENU));
        }
    }
    if (auto* mdi = dynamic_cast<TsMDIForm*>(Provider->MDIForm)) mdi->RedrawFormFrame();
    win::InvalidateRect(CtrlHandle, nullptr, win::TRUE);
    win::RedrawWindow(CtrlHandle, nullptr, nullptr,
                      win::RDW_INVALIDATE | win::RDW_ALLCHILDREN | win::RDW_FRAME);
    if (Provider->SystemMenu) Provider->SystemMenu->UpdateItems();
}

void TacMDIWnd::ThumbReleased(vcl::TMessage& m) {
    const int bar = m.Msg == win::WM_HSCROLL ? win::SB_HORZ : win::SB_VERT;
    win::SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = win::SIF_ALL;
    if (!win::GetScrollInfo(CtrlHandle, bar, &si)) return;
    // The skinned bar sends the released position in lParam and leaves the bar to us.
    const int last = si.nMax - (si.nPage > 0 ? int(si.nPage) - 1 : 0);
    const int target = std::clamp(int(m.LParam), si.nMin, std::max(si.nMin, last));
    const int moved = target - si.nPos;
    if (moved == 0) return;
    if (bar == win::SB_HORZ)
        ScrollClient(CtrlHandle, -moved * kScrollUnit, 0);
    else
        ScrollClient(CtrlHandle, 0, -moved * kScrollUnit);
    si.fMask = win::SIF_POS;
    si.nPos = target;
    win::SetScrollInfo(CtrlHandle, bar, &si, win::FALSE);
    RefreshScrollBarInfo(true);
}

void TacMDIWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (Unhooked || !Skinned()) {
        TacBaseWnd::AdapterWindowProc(m);
        return;
    }
    if (m.Msg == SM_ALPHACMD) {
        switch (SkinCommandCode(m.WParam)) {
            case SKC_BEFOREPAINT:
                if (MDIForm)
                    m.Result = SendSkinCommandToControl(MDIForm, SKC_BEFOREPAINT, m.LParam);
                return;
            case SKC_BEFORESCROLL: {
                // The thumb's track and release are ours: the bar hands their position over.
                const int code = int(m.LParam & 0xFFFF);
                m.Result = code == win::SB_THUMBPOSITION || code == win::SB_THUMBTRACK ? 1 : 0;
                return;
            }
            case SKC_AFTERSCROLL:
                RefreshScrollBarInfo(true);
                return;
            default:
                TacBaseWnd::AdapterWindowProc(m);
                return;
        }
    }
    switch (m.Msg) {
        case win::WM_HSCROLL:
        case win::WM_VSCROLL:
            switch (win::LOWORD(win::DWORD(m.WParam))) {
                case win::SB_THUMBTRACK:
                    m.Result = win::SB_THUMBTRACK;  // answered with its code: taken, no move
                    return;
                case win::SB_THUMBPOSITION:
                    ThumbReleased(m);
                    return;
                default:
                    TacBaseWnd::AdapterWindowProc(m);
                    return;
            }
        case WM_MDITILE:
        case WM_MDICASCADE:
            TileOrCascade(m);
            return;
        case WM_MDISETMENU:
            TacBaseWnd::AdapterWindowProc(m);
            if (MDISkinProvider) {
                if (TsCommonData* d = MDISkinProvider->SkinData()) d->CacheStale = true;
                MDISkinProvider->MenuLineChanged = true;
                MDISkinProvider->HotHitCode = -1;
            }
            return;
        case win::WM_PRINT: {
            m.Result = 0;
            auto dc = reinterpret_cast<win::HDC>(m.WParam);
            if (!dc || (Provider && Provider->BorderForm()) || ChildMaximized()) return;
            const int saved = win::SaveDC(dc);
            PaintClientBackground(dc, true);
            PaintScrollBars(dc);
            win::RestoreDC(dc, saved);
            return;
        }
        case win::WM_NCPAINT: {
            if (ChildMaximized() || FormsRedrawFrozen()) {
                m.Result = 1;
                return;
            }
            WindowDCScope dc(CtrlHandle);
            PaintClientBorder(dc.Get());
            m.Result = PaintScrollBars(dc.Get()) ? 1 : 0;
            return;
        }
        case win::WM_PAINT:
            if (FormsRedrawFrozen()) {
                win::ValidateRect(CtrlHandle, nullptr);
                return;
            }
            break;
        case win::WM_ERASEBKGND:
            if (m.WParam == 0) break;
            if (FormsRedrawFrozen()) return;
            m.Result = 1;
            if (!ChildMaximized())
                PaintClientBackground(reinterpret_cast<win::HDC>(m.WParam), false);
            return;
        case win::WM_WINDOWPOSCHANGING:
            if (MDISkinProvider)
                if (TsCommonData* d = MDISkinProvider->SkinData()) d->CacheStale = true;
            break;
        case win::WM_STYLECHANGED:
            CallPrevWndProc(m);
            return;
        default:
            break;
    }
    TacBaseWnd::AdapterWindowProc(m);
    if (Unhooked) return;
    if (m.Msg == kBarsMayChange || m.Msg == win::WM_PARENTNOTIFY) {
        const auto style = win::DWORD(win::GetWindowLongA(CtrlHandle, win::GWL_STYLE));
        HBar.Shown = (style & win::WS_HSCROLL) != 0;
        VBar.Shown = (style & win::WS_VSCROLL) != 0;
        RefreshScrollBarInfo(true);
    } else if (m.Msg == WM_MDIREFRESHMENU && Provider) {
        Provider->RedrawCaption();
    }
}

TsMDIForm::TsMDIForm(TsSkinProvider* provider) : Provider(provider) {
    Form = provider ? provider->Form() : nullptr;
    if (Form) Form->HandleNeeded();
}

TsMDIForm::~TsMDIForm() {
    Release();
}

void TsMDIForm::ConnectIfNeeded() {
    if (Form && !Form->ComponentState().Contains(vcl::csDesigning) && !Adapter) ConnectToClient();
}

void TsMDIForm::ConnectToClient() {
    Release();
    if (!Provider || !Form || !IsControlSkinned(Provider->SkinData())) return;
    win::HWND client = Form->ClientHandle();
    if (!client) return;
    Adapter = AttachAdapter<TacMDIWnd>(client, nullptr, Provider->SkinManager(), "CHECKBOX", true);
    Adapter->MDIForm = Form;
    Adapter->FormSkinData = Provider->SkinData();
    Adapter->Provider = Provider;
}

void TsMDIForm::Release() {
    // The adapter frees the skin state it made for itself.
    if (!Adapter) return;
    TacMainWnd* a = Adapter;
    Adapter = nullptr;
    FreeAdapter(a);
}

void TsMDIForm::RedrawFormFrame() {
    if (Provider) Provider->InvalidateFrame();
}

}  // namespace skin
