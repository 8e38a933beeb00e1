// Status bar adapter.
#include "skin/windows/adapters/status_bar_adapter.h"

#include <algorithm>
#include <vector>

#include "platform/controls/status_bar_control.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/windows/adapters/adapter_backdrop.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "vcl/controls/status_bar.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

// More parts than this are not painted: the native bar keeps no more.
constexpr int kMaxParts = 256;

vcl::TRect Shrunk(vcl::TRect r, int by) {
    return vcl::TRect{r.Left + by, r.Top + by, r.Right - by, r.Bottom - by};
}

}  // namespace

void TacStatusBarWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData,
                                     TsSkinManager* manager, const std::string& section,
                                     bool flag) {
    TacMainWnd::AttachToWindow(wnd, skinData, manager, section.empty() ? "STATUSBAR" : section,
                               flag);
    StatusBar = dynamic_cast<vcl::TCustomStatusBar*>(SkinData->OwnerControl());
}

bool TacStatusBarWnd::Simple() {
    return win::SendMessageA(CtrlHandle, win::SB_ISSIMPLE, 0, 0) != 0;
}

std::vector<vcl::TRect> TacStatusBarWnd::PartRects() {
    GetWindowRectsInParent(this);
    const int w = WndSize.X, h = WndSize.Y;
    if (Simple()) return {vcl::TRect{0, 1, w - 1, h - 1}};
    // Client coordinates of the parts, seen from the window's corner.
    win::POINT origin{0, 0};
    win::ClientToScreen(CtrlHandle, &origin);
    const int dx = origin.x - WndRect.Left, dy = origin.y - WndRect.Top;
    const int n = std::clamp(int(win::SendMessageA(CtrlHandle, win::SB_GETPARTS, 0, 0)), 0,
                             kMaxParts);
    std::vector<vcl::TRect> rects;
    for (int i = 0; i < n; ++i) {
        win::RECT r{};
        if (!win::SendMessageA(CtrlHandle, win::SB_GETRECT, uintptr_t(i),
                               reinterpret_cast<intptr_t>(&r)))
            continue;
        rects.push_back(Shrunk(vcl::TRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy},
                               1));
    }
    return rects;
}

std::string TacStatusBarWnd::PartText(int i, bool simple, uint32_t& align) {
    align = win::DT_LEFT;
    if (StatusBar) {
        vcl::TStatusPanels* panels = StatusBar->Panels();
        if (simple || panels->Count() == 0) return StatusBar->SimpleText();
        if (i >= panels->Count()) return {};
        vcl::TStatusPanel* p = panels->Items(i);
        if (p->Style() == vcl::psOwnerDraw) return {};
        align = p->Alignment() == vcl::taCenter         ? win::DT_CENTER
                : p->Alignment() == vcl::taRightJustify ? win::DT_RIGHT
                                                        : win::DT_LEFT;
        return p->Text();
    }
    const uintptr_t part = simple ? win::SB_SIMPLEID : uintptr_t(i);
    const auto answer = uint32_t(win::SendMessageA(CtrlHandle, win::SB_GETTEXTLENGTHA, part, 0));
    // An owner-drawn part holds no text, only its owner's value.
    if ((win::HIWORD(answer) & win::SBT_OWNERDRAW) || win::LOWORD(answer) == 0) return {};
    std::string text(size_t(win::LOWORD(answer)) + 1, '\0');
    win::SendMessageA(CtrlHandle, win::SB_GETTEXTA, part, reinterpret_cast<intptr_t>(text.data()));
    text.resize(text.find('\0'));
    return text;
}

void TacStatusBarWnd::PrepareBarCache() {
    const std::vector<vcl::TRect> parts = PartRects();
    const bool simple = Simple();
    CacheInfo behind;
    PixelView view;
    vcl::TBitmap* cache = PrepareBackdropCache(this, behind, view, true);
    if (cache == nullptr) return;
    const int w = WndSize.X, h = WndSize.Y;

    TsSkinManager* m = SkinData->SkinManager();
    const PixelView cv = ViewOf(cache);
    const CacheInfo self = MakeCacheInfo(&cv, 0, 0);
    const int panelMask =
        m ? m->GetMaskIndex(SkinData->SkinIndex, SkinData->SkinSection(), "STATUSPANELMASK") : -1;
    const bool framed = m && m->IsValidImgIndex(panelMask);
    const int divider = m ? m->GetSkinIndex("DIVIDER") : -1;
    const int dividerMask =
        m && m->IsValidSkinIndex(divider) ? m->GetMaskIndex(divider, "DIVIDER", "BORDERSMASK") : -1;
    vcl::TCanvas* canvas = cache->Canvas();
    SelectAdapterFont(SkinData, CtrlHandle, canvas);
    for (size_t i = 0; i < parts.size(); ++i) {
        const vcl::TRect& part = parts[i];
        if (framed) {
            const vcl::TRect frame = simple ? vcl::TRect{0, 0, w, h} : part;
            const TRect inside{std::max(frame.Left, 0), std::max(frame.Top, 0),
                               std::min(frame.Right, w), std::min(frame.Bottom, h)};
            if (inside.Right > inside.Left && inside.Bottom > inside.Top)
                PaintMaskIntoRect(cache, inside, false, self, m->Masks()[size_t(panelMask)], 0,
                                  true);
        } else if (!simple && i + 1 < parts.size() && m->IsValidImgIndex(dividerMask)) {
            const TsMaskData& dm = m->Masks()[size_t(dividerMask)];
            const int dw = std::max(2, dm.WL + dm.WR);
            const int x = std::clamp(part.Right - dw / 2, 0, std::max(0, w - dw));
            const int top = std::clamp(part.Top, 0, h), bottom = std::clamp(part.Bottom, 0, h);
            if (bottom > top && w >= dw)
                PaintMaskWithBorders(divider, "DIVIDER", self, true, 0,
                                     TRect{x, top, x + dw, bottom}, TPoint{0, 0}, cache, m, -1,
                                     -1);
        }
        uint32_t align = win::DT_LEFT;
        const std::string text = PartText(int(i), simple, align);
        if (text.empty()) continue;
        canvas->Brush()->SetStyle(vcl::bsClear);
        DrawSkinText(canvas, text, win::IsWindowEnabled(CtrlHandle) != 0, 0, SkinData,
                     align | win::DT_VCENTER | win::DT_SINGLELINE, Shrunk(part, 1));
    }
    SkinData->CacheStale = false;
}

void TacStatusBarWnd::Paint(win::HDC dc) {
    if (SkinData->BGChanged) return;
    PrepareBarCache();
    CopyCacheToWindow(SkinData, CtrlHandle, dc);
}

void TacStatusBarWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_PAINT:
            // Drawn whole from the cache, so the class's own face never shows.
            PaintWithOwnDC(CtrlHandle, reinterpret_cast<win::HDC>(m.WParam), [this](win::HDC dc) {
                if (!FormsRedrawFrozen()) Paint(dc);
            });
            m.Result = 0;
            return;
        case win::WM_ERASEBKGND:
        case win::WM_PRINT:
            if (!FormsRedrawFrozen()) Paint(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 1;
            return;
        case win::WM_NCPAINT:
            if (FormsRedrawFrozen()) {
                m.Result = 0;
                return;
            }
            break;
        case win::WM_SIZE:
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked)
                win::RedrawWindow(CtrlHandle, nullptr, nullptr,
                                  win::RDW_INVALIDATE | win::RDW_ERASE);
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

}  // namespace skin
