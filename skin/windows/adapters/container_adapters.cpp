// Group box and panel adapters.
#include "skin/windows/adapters/container_adapters.h"

#include <algorithm>

#include "platform/gdi/draw_text.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/windows/adapters/adapter_backdrop.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

// Invalidate with erase, frame included, children left to their own update.
constexpr uint32_t kRedrawAll = win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME;

uint32_t ExStyleOf(win::HWND wnd) { return uint32_t(win::GetWindowLongA(wnd, win::GWL_EXSTYLE)); }

// A child created inside a container tells the form, which skins what it can.
void NotifyChildCreated(TsCommonData* data, win::HWND wnd, const vcl::TMessage& m) {
    if (m.Msg != win::WM_PARENTNOTIFY || win::LOWORD(uint32_t(m.WParam)) != win::WM_CREATE) return;
    if (vcl::TControl* c = data ? data->OwnerControl() : nullptr)
        NotifyParentForm(c);
    else
        SendSkinCommandToTopParent(wnd);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Group box

void TacGroupBoxWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData,
                                    TsSkinManager* manager, const std::string& section,
                                    bool flag) {
    TacMainWnd::AttachToWindow(wnd, skinData, manager, section.empty() ? "GROUPBOX" : section,
                               flag);
}

vcl::TRect TacGroupBoxWnd::CaptionRect(vcl::TCanvas* canvas) {
    win::RECT r{0, 0, 0, 0};
    win::HDC dc = canvas->Handle();
    win::SelectObject(dc, canvas->Font()->Handle());
    if (!Caption.empty())
        win::DrawTextA(dc, Caption.c_str(), int(Caption.size()), &r,
                       win::DT_SINGLELINE | win::DT_CALCRECT);
    const int textWidth = r.right - r.left;
    const int textHeight = Caption.empty() ? TextHeightOf(canvas, "Wy") : r.bottom - r.top;
    const int width = WndSize.X;
    const bool rtl = (ExStyleOf(CtrlHandle) & win::WS_EX_RTLREADING) != 0;
    vcl::TRect c;
    c.Left = rtl ? width - textWidth - 14 : 6;
    c.Top = 0;
    c.Right = std::min(c.Left + textWidth + 8, width - 1);
    c.Bottom = std::max(4, textHeight) + 2;
    return c;
}

void TacGroupBoxWnd::PrepareGroupCache() {
    CacheInfo behind;
    PixelView view;
    vcl::TBitmap* cache = PrepareBackdropCache(this, behind, view, false);
    if (cache == nullptr) return;
    const int w = WndSize.X, h = WndSize.Y;
    vcl::TCanvas* canvas = cache->Canvas();
    SelectAdapterFont(SkinData, CtrlHandle, canvas);
    const vcl::TRect cap = CaptionRect(canvas);
    // The frame starts at the middle of the caption line; above it the parent shows.
    const int top = std::min(h, cap.Height() / 2);
    if (h > top)
        PaintControlSection(SkinData, behind, true, 0, TRect{0, top, w, h}, TPoint{0, 0}, cache,
                            1);
    if (!Caption.empty() && cap.Right > cap.Left) {
        FillFromBackdrop(cache, cap, behind);
        canvas->Brush()->SetStyle(vcl::bsClear);
        DrawSkinText(canvas, Caption, win::IsWindowEnabled(CtrlHandle) != 0, 0, SkinData,
                     win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE, cap);
    }
    SkinData->CacheStale = false;
}

void TacGroupBoxWnd::PaintTo(win::HDC dc) {
    if (SkinData->BGChanged) return;
    PrepareGroupCache();
    CopyCacheToWindow(SkinData, CtrlHandle, dc);
}

void TacGroupBoxWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_PAINT:
            // Painted whole here: this windowing layer never sends the double-buffered erase
            // that would paint a group box in WM_ERASEBKGND.
            PaintWithOwnDC(CtrlHandle, reinterpret_cast<win::HDC>(m.WParam),
                           [this](win::HDC dc) { PaintTo(dc); });
            m.Result = 0;
            return;
        case win::WM_ERASEBKGND:
            m.Result = 1;
            return;
        case win::WM_NCPAINT:
            // A group box has no frame outside its client area; the paint above draws it.
            if (InDialog) {
                m.Result = 0;
                return;
            }
            break;
        case win::WM_SETTEXT:
            TacMainWnd::AdapterWindowProc(m);
            if (Unhooked) return;
            SkinData->CacheStale = true;
            win::RedrawWindow(CtrlHandle, nullptr, nullptr, kRedrawAll);
            return;
        case win::WM_PRINT:
            SkinData->CacheStale = true;
            if (m.WParam) PaintTo(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 0;
            return;
        case win::WM_PARENTNOTIFY:
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked) NotifyChildCreated(SkinData, CtrlHandle, m);
            return;
        case SM_ALPHACMD:
            switch (SkinCommandCode(m.WParam)) {
                case SKC_REMOVESKIN:
                    if (vcl::TControl* c = SkinData->OwnerControl())
                        c->ControlStyle.Exclude(vcl::csOpaque);
                    break;
                case SKC_GETCAPTIONHEIGHT: {
                    GetWindowRectsInParent(this);
                    vcl::TBitmap probe;
                    probe.SetSize(1, 1);
                    SelectAdapterFont(SkinData, CtrlHandle, probe.Canvas());
                    m.Result = CaptionRect(probe.Canvas()).Height();
                    return;
                }
                default:
                    break;
            }
            break;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

// ---------------------------------------------------------------------------------------------
// Panel

std::string TacPanelWnd::SectionFor(const vcl::TCustomPanel* panel) {
    switch (panel->BevelOuter()) {
        case vcl::bvLowered:
            return panel->BevelInner() == vcl::bvRaised ? "GROUPBOX" : "PANEL_LOW";
        case vcl::bvRaised:
            return panel->BevelInner() == vcl::bvLowered ? "GROUPBOX" : "PANEL";
        default:
            return panel->BorderStyle() != vcl::bsNone ? "PANEL_LOW" : "CHECKBOX";
    }
}

void TacPanelWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                 const std::string& section, bool flag) {
    std::string chosen = section;
    // The caller's section stands unless it is none (the walk's "UNKNOWN" included).
    auto* panel = skinData ? dynamic_cast<vcl::TCustomPanel*>(skinData->OwnerControl()) : nullptr;
    if (panel && (chosen.empty() || chosen == "UNKNOWN")) {
        chosen = SectionFor(panel);
        skinData->SetSkinSection(chosen);
    }
    TacMainWnd::AttachToWindow(wnd, skinData, manager, chosen.empty() ? "PANEL" : chosen, flag);
}

bool TacPanelWnd::Handled() const {
    vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
    return c != nullptr && c->ControlStyle.Contains(vcl::csAcceptsControls) && Skinned();
}

int TacPanelWnd::BorderWidth() const {
    win::RECT client{};
    win::GetClientRect(CtrlHandle, &client);
    return std::max(0, (WndSize.X - (client.right - client.left)) / 2);
}

void TacPanelWnd::PaintPanel() {
    CacheInfo behind;
    PixelView view;
    vcl::TBitmap* cache = PrepareBackdropCache(this, behind, view, true);
    if (cache == nullptr) return;
    const int w = WndSize.X, h = WndSize.Y;
    vcl::TControl* c = SkinData->OwnerControl();
    if (!Caption.empty() && c) {
        // The caption goes where the panel keeps its children, seen from the window.
        auto* wc = dynamic_cast<vcl::TWinControl*>(c);
        vcl::TRect r = wc ? wc->ClientRect() : vcl::TRect{0, 0, w, h};
        const int border = BorderWidth();
        r.Right += 2 * border;
        r.Bottom += 2 * border;
        vcl::TCanvas* canvas = cache->Canvas();
        SelectAdapterFont(SkinData, CtrlHandle, canvas);
        canvas->Brush()->SetStyle(vcl::bsClear);
        DrawSkinText(canvas, Caption, c->Enabled(), 0, SkinData,
                     win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE | win::DT_EXPANDTABS,
                     r);
    }
    SkinData->CacheStale = false;
}

void TacPanelWnd::CopyClient(win::HDC dc) {
    if (dc == nullptr || SkinData->BGChanged) return;
    PaintPanel();
    vcl::TBitmap* cache = SkinData->CacheBmp();
    if (cache == nullptr || cache->Width() < 1 || cache->Height() < 1) return;
    const int border = BorderWidth();
    win::BitBlt(dc, 0, 0, cache->Width() - 2 * border, cache->Height() - 2 * border,
                cache->Canvas()->Handle(), border, border, win::SRCCOPY);
}

void TacPanelWnd::CopyBorder() {
    GetWindowRectsInParent(this);
    const int border = BorderWidth();
    if (border < 1 || SkinData->BGChanged) return;
    if (SkinData->CacheStale || SkinData->CacheBmp() == nullptr) PaintPanel();
    CopyCacheBorder(SkinData, CtrlHandle, border);
}

void TacPanelWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (Unhooked || SkinData == nullptr || !Handled()) {
        TacMainWnd::AdapterWindowProc(m);
        return;
    }
    switch (m.Msg) {
        case win::WM_NCPAINT:
            CopyBorder();
            m.Result = 0;
            return;
        case win::WM_SETTEXT:
            if (!win::IsWindowVisible(CtrlHandle)) break;
            win::SendMessageA(CtrlHandle, win::WM_SETREDRAW, 0, 0);
            TacMainWnd::AdapterWindowProc(m);
            if (Unhooked) return;
            win::SendMessageA(CtrlHandle, win::WM_SETREDRAW, 1, 0);
            SkinData->CacheStale = true;
            win::SendMessageA(CtrlHandle, win::WM_PAINT, 0, 0);
            return;
        case win::WM_PAINT:
            // The panel is drawn whole from its cache: the class's own face never shows.
            PaintWithOwnDC(CtrlHandle, reinterpret_cast<win::HDC>(m.WParam),
                           [this](win::HDC dc) { CopyClient(dc); });
            m.Result = 0;
            return;
        case win::WM_ERASEBKGND:
            CopyClient(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 1;
            return;
        case win::WM_PRINT:
            if (m.WParam) {
                SkinData->CacheStale = true;
                PaintPanel();
                CopyCacheToWindow(SkinData, CtrlHandle, reinterpret_cast<win::HDC>(m.WParam));
            }
            m.Result = 0;
            return;
        case win::WM_UPDATEUISTATE:
            m.Result = 1;
            return;
        case win::WM_PARENTNOTIFY:
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked) NotifyChildCreated(SkinData, CtrlHandle, m);
            return;
        case win::WM_WINDOWPOSCHANGING:
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked) win::SendMessageA(CtrlHandle, win::WM_NCPAINT, 0, 0);
            return;
        case SM_ALPHACMD: {
            const bool mine = m.LParam == reinterpret_cast<intptr_t>(SkinData->SkinManager());
            switch (SkinCommandCode(m.WParam)) {
                case SKC_REMOVESKIN:
                    SkinData->SkinIndex = -1;
                    SkinData->OwnerControl()->ControlStyle.Exclude(vcl::csOpaque);
                    break;
                case SKC_NEWSKIN:
                case SKC_REFRESH:
                    TacMainWnd::AdapterWindowProc(m);
                    if (!Unhooked && mine)
                        BroadcastToChildren(SkinData->OwnerControl(), CtrlHandle, m);
                    return;
                case SKC_ENDPARENTUPDATE:
                    if (!SkinData->BGChanged) break;
                    SkinData->BGChanged = false;
                    SkinData->BGChanged = SkinData->GetBGChanged();
                    if (!SkinData->BGChanged) {
                        SkinData->CacheStale = true;
                        win::RedrawWindow(CtrlHandle, nullptr, nullptr, kRedrawAll);
                    }
                    return;
                case SKC_CLEARCACHE:
                    return;
                default:
                    break;
            }
            break;
        }
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

// ---------------------------------------------------------------------------------------------
// Dialog panel

void TacDlgPanelWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                    const std::string& /*section*/, bool flag) {
    Control = vcl::FindControl(wnd);
    const bool panel = Control && std::string(Control->ClassName()) == "TPanel";
    TacMainWnd::AttachToWindow(wnd, skinData, manager, panel ? "CHECKBOX" : "GROUPBOX", flag);
    if (panel) ApplyGlobalColor();
}

void TacDlgPanelWnd::ApplyGlobalColor() {
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (Control == nullptr || m == nullptr) return;
    const auto global = vcl::TColor(m->GetGlobalColor());
    if (Control->Color() != global) Control->SetColor(global);
}

void TacDlgPanelWnd::SetSkinParams() {
    TacMainWnd::SetSkinParams();
    ApplyGlobalColor();
}

void TacDlgPanelWnd::PaintBackground(win::HDC dc) {
    if (dc == nullptr || SkinData->BGChanged) return;
    CacheInfo behind;
    PixelView view;
    if (PrepareBackdropCache(this, behind, view, true) == nullptr) return;
    const int w = WndSize.X, h = WndSize.Y;
    SkinData->CacheStale = false;
    CopyCacheToWindow(SkinData, CtrlHandle, dc);
    // What the window draws itself stays inside the frame.
    const int saved = win::SaveDC(dc);
    win::IntersectClipRect(dc, 6, 6, w - 6, h - 6);
    vcl::TMessage paint{win::WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0, 0};
    CallPrevWndProc(paint);
    win::RestoreDC(dc, saved);
}

void TacDlgPanelWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_PAINT:
            ApplyGlobalColor();
            win::ValidateRect(CtrlHandle, nullptr);
            m.Result = 0;
            return;
        case win::WM_ERASEBKGND:
            PaintBackground(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 1;
            return;
        case win::WM_NCPAINT:
            if (!SkinData->CacheStale) {
                win::RECT client{};
                win::GetClientRect(CtrlHandle, &client);
                CopyCacheBorder(SkinData, CtrlHandle, (WndSize.X - client.right) / 2);
            }
            m.Result = 1;
            return;
        case win::WM_SETTEXT:
            if (win::IsWindowVisible(CtrlHandle)) SkinData->CacheStale = true;
            break;
        case win::WM_UPDATEUISTATE:
            m.Result = 1;
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

// ---------------------------------------------------------------------------------------------
// See-through panel

void TacTransPanelWnd::PaintWindow() {
    if (win::HWND parent = win::GetParent(CtrlHandle))
        SendSkinCommand(parent, SKC_CLEARCACHE, 0);
    if (Unhooked) return;
    CacheInfo behind;
    PixelView view;
    if (PrepareBackdropCache(this, behind, view, false) == nullptr) return;
    SkinData->CacheStale = false;
    // The whole window, border included.
    if (win::HDC dc = win::GetWindowDC(CtrlHandle)) {
        CopyCacheToWindow(SkinData, CtrlHandle, dc);
        win::ReleaseDC(CtrlHandle, dc);
    }
}

void TacTransPanelWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_ERASEBKGND:
            PaintWindow();
            m.Result = 1;
            return;
        case win::WM_NCPAINT:
            m.Result = 0;
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

}  // namespace skin
