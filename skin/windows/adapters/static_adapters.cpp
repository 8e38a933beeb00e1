// Static text, icon and link adapters.
#include "skin/windows/adapters/static_adapters.h"

#include <cctype>

#include "platform/controls/standard_controls.h"
#include "platform/gdi/font.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/system_metrics.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

bool StartsWithNoCase(const std::string& s, size_t at, std::string_view what) {
    if (at + what.size() > s.size()) return false;
    for (size_t i = 0; i < what.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[at + i])) != what[i]) return false;
    return true;
}

}  // namespace

bool TacStaticWnd::Painted() {
    const auto style = uint32_t(win::GetWindowLongA(CtrlHandle, win::GWL_STYLE));
    const auto exStyle = uint32_t(win::GetWindowLongA(CtrlHandle, win::GWL_EXSTYLE));
    return (style & win::WS_TABSTOP) == 0 && (exStyle & win::WS_EX_STATICEDGE) == 0;
}

void TacStaticWnd::PaintContent(vcl::TCanvas* canvas) {
    if (Caption.empty()) return;
    auto font = reinterpret_cast<win::HFONT>(win::SendMessageA(CtrlHandle, win::WM_GETFONT, 0, 0));
    if (font) canvas->Font()->SetHandle(font);
    uint32_t flags = win::DT_WORDBREAK | win::DT_EXPANDTABS | win::DT_NOCLIP;
    if (uint32_t(win::GetWindowLongA(CtrlHandle, win::GWL_EXSTYLE)) & win::WS_EX_RIGHT)
        flags |= win::DT_RIGHT;
    DrawSkinText(canvas, Caption, true, 0, SkinData, flags, TRect{0, 0, WndSize.X, WndSize.Y});
}

void TacStaticWnd::PaintTo(win::HDC dc) {
    GetWindowRectsInParent(this);
    win::HDC target = dc ? dc : win::GetDC(CtrlHandle);
    if (target == nullptr) return;
    SkinData->CacheStale = true;
    PrepareAdapterCache(SkinData, CtrlHandle, true);
    vcl::TBitmap* cache = SkinData->CacheBmp();
    if (cache && cache->Width() > 0 && cache->Height() > 0) {
        PaintContent(cache->Canvas());
        win::BitBlt(target, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
                    win::SRCCOPY);
    }
    if (dc == nullptr) win::ReleaseDC(CtrlHandle, target);
}

void TacStaticWnd::StaleAndRedraw(vcl::TMessage& m, bool rereadCaption) {
    SkinData->CacheStale = true;
    CallPrevWndProc(m);
    if (Unhooked) return;
    if (rereadCaption) Caption = WindowCaption(CtrlHandle);
    win::RedrawWindow(CtrlHandle, nullptr, nullptr,
                      win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_UPDATENOW);
}

void TacStaticWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin() || !Painted()) return TacMainWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_ERASEBKGND:
            if (!win::IsWindowVisible(CtrlHandle)) break;
            PaintTo(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 1;
            return;
        case win::WM_PAINT: {
            win::PAINTSTRUCT ps{};
            win::BeginPaint(CtrlHandle, &ps);
            win::EndPaint(CtrlHandle, &ps);
            m.Result = 0;
            return;
        }
        case win::WM_PRINT:
            if (m.WParam) PaintTo(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 0;
            return;
        case win::WM_MOVE:
        case win::WM_ENABLE:
            StaleAndRedraw(m, false);
            return;
        case win::WM_SETTEXT:
            StaleAndRedraw(m, true);
            return;
        case win::WM_NCPAINT:
            m.Result = 0;
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

void TacIconWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                const std::string& section, bool flag) {
    NotIcon = (uint32_t(win::GetWindowLongA(wnd, win::GWL_STYLE)) & 3) != win::SS_ICON;
    TacStaticWnd::AttachToWindow(wnd, skinData, manager, section, flag);
}

// Asked of the window's own procedure: a message sent would come back through the adapter.
win::HICON TacIconWnd::IconHandle() {
    intptr_t none = 0;
    return reinterpret_cast<win::HICON>(CallPrevWndProc(CtrlHandle, win::STM_GETICON, 0, none));
}

bool TacIconWnd::Painted() {
    return !NotIcon && TacStaticWnd::Painted() &&
           IconHandle() != nullptr;
}

void TacIconWnd::PaintContent(vcl::TCanvas* canvas) {
    if (win::HICON icon = IconHandle()) win::DrawIconEx(canvas->Handle(), 0, 0, icon, 0, 0, 0, nullptr, win::DI_NORMAL);
}

// ---------------------------------------------------------------------------------------------
// Link text

std::vector<TacLinkWnd::Run> TacLinkWnd::SplitLinks(const std::string& text) {
    std::vector<Run> runs(1);
    for (size_t i = 0; i < text.size();) {
        const bool link = runs.back().Link;
        const bool opens = !link && (StartsWithNoCase(text, i, "<a>") || StartsWithNoCase(text, i, "<a "));
        const bool closes = link && StartsWithNoCase(text, i, "</a>");
        if (opens || closes) {
            const size_t end = text.find('>', i);
            // An anchor left open runs to the end of the text.
            i = end == std::string::npos ? text.size() : end + 1;
            runs.push_back(Run{{}, opens});
            continue;
        }
        runs.back().Text += text[i++];
    }
    std::erase_if(runs, [](const Run& r) { return r.Text.empty(); });
    return runs;
}

void TacLinkWnd::PaintContent(vcl::TCanvas* canvas) {
    if (Caption.empty()) return;
    win::NONCLIENTMETRICSA metrics;
    if (win::SystemParametersInfoA(win::SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        win::HFONT font = win::CreateFontIndirectA(&metrics.lfMessageFont);
        canvas->Font()->SetHandle(font);
        win::DeleteObject(font);
    }
    const vcl::TFontStyles plain = canvas->Font()->Style();
    TsSkinManager* manager = SkinData->SkinManager();
    const vcl::TColor linkColor = manager ? vcl::TColor(manager->GetHighlightColor())
                                          : vcl::TColor(win::GetSysColor(win::COLOR_HOTLIGHT));
    const bool enabled = win::IsWindowEnabled(CtrlHandle);
    const uint32_t flags = win::DT_SINGLELINE | win::DT_EXPANDTABS | win::DT_NOCLIP | win::DT_NOPREFIX;
    canvas->Brush()->SetStyle(vcl::bsClear);
    int x = 0;
    for (const Run& run : SplitLinks(Caption)) {
        if (x >= WndSize.X) break;
        canvas->Font()->SetStyle(run.Link ? plain + vcl::TFontStyles{vcl::fsUnderline} : plain);
        win::HDC dc = canvas->Handle();
        win::SelectObject(dc, canvas->Font()->Handle());
        win::RECT calc{0, 0, 0, 0};
        win::DrawTextA(dc, run.Text.c_str(), int(run.Text.size()), &calc, flags | win::DT_CALCRECT);
        const TRect r{x, 0, x + (calc.right - calc.left), WndSize.Y};
        if (run.Link && enabled) {
            win::SetBkMode(dc, win::TRANSPARENT);
            win::SetTextColor(dc, vcl::ColorToRGB(linkColor));
            win::RECT out = r;
            win::DrawTextA(dc, run.Text.c_str(), int(run.Text.size()), &out, flags);
        } else {
            DrawSkinText(canvas, run.Text, enabled, 0, SkinData, flags, r);
        }
        x = r.Right;
    }
    canvas->Font()->SetStyle(plain);
}

}  // namespace skin
