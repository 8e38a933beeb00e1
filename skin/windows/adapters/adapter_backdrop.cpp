// The cache the container and bar adapters paint on.
#include "skin/windows/adapters/adapter_backdrop.h"

#include <algorithm>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "skin/windows/adapters/window_adapter.h"
#include "vcl/controls/controls.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {

void WindowBackdrop(TacMainWnd* a, CacheInfo& info, PixelView& view) {
    ParentBackground(a->SkinData, a->CtrlHandle, info, view);
    // The answer is the parent's own origin; the window lies at its place in the parent.
    info.X += a->WndPos.X;
    info.Y += a->WndPos.Y;
    if (!info.Ready && info.FillColor == kTransparentKey && a->ParentWnd)
        info.FillColor = AskWindowBackColor(a->ParentWnd);
}

void FillFromBackdrop(vcl::TBitmap* target, TRect r, const CacheInfo& behind) {
    const PixelView dst = ViewOf(target);
    r = TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, dst.Width),
              std::min(r.Bottom, dst.Height)};
    if (dst.Empty() || r.Right <= r.Left || r.Bottom <= r.Top) return;
    if (behind.Ready && behind.Bmp && !behind.Bmp->Empty()) {
        const CopyArea a = ClipCopy(r.Left, r.Top, behind.X + r.Left, behind.Y + r.Top,
                                    r.Right - r.Left, r.Bottom - r.Top, dst, *behind.Bmp);
        if (a.Empty() || behind.Bmp->BytesPerPixel < 3 || dst.BytesPerPixel < 3) return;
        // The parent's image may be 32-bit; the cache is 24-bit.
        for (int y = 0; y < a.Height; ++y)
            for (int x = 0; x < a.Width; ++x)
                std::copy_n(behind.Bmp->At(a.SrcX + x, a.SrcY + y), 3,
                            dst.At(a.DstX + x, a.DstY + y));
        return;
    }
    if (behind.FillColor != kTransparentKey)
        FillRectSolid(target->Canvas()->Handle(), r, behind.FillColor);
}

void CopyCacheToWindow(TsCommonData* data, win::HWND wnd, win::HDC dc) {
    vcl::TBitmap* cache = data->CacheBmp();
    if (cache == nullptr || cache->Width() < 1 || cache->Height() < 1) return;
    win::HDC target = dc ? dc : win::GetDC(wnd);
    if (target == nullptr) return;
    win::BitBlt(target, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
                win::SRCCOPY);
    if (dc == nullptr) win::ReleaseDC(wnd, target);
}

void SelectAdapterFont(TsCommonData* data, win::HWND wnd, vcl::TCanvas* canvas) {
    if (vcl::TControl* c = data ? data->OwnerControl() : nullptr) {
        canvas->SetFont(c->Font());
        return;
    }
    auto font = reinterpret_cast<win::HFONT>(win::SendMessageA(wnd, win::WM_GETFONT, 0, 0));
    if (font) canvas->Font()->SetHandle(font);
}

vcl::TBitmap* PrepareBackdropCache(TacMainWnd* a, CacheInfo& behind, PixelView& view,
                                   bool section) {
    GetWindowRectsInParent(a);
    const int w = a->WndSize.X, h = a->WndSize.Y;
    vcl::TBitmap* cache = SizedCache(a->SkinData, w, h);
    if (cache->Width() < 1 || cache->Height() < 1) return nullptr;
    WindowBackdrop(a, behind, view);
    FillFromBackdrop(cache, TRect{0, 0, w, h}, behind);
    if (section)
        PaintControlSection(a->SkinData, behind, true, 0, TRect{0, 0, w, h}, TPoint{0, 0}, cache,
                            1);
    return cache;
}

void PaintWithOwnDC(win::HWND wnd, win::HDC dc, const std::function<void(win::HDC)>& paint) {
    if (dc) {
        paint(dc);
        return;
    }
    win::PAINTSTRUCT ps{};
    win::HDC own = win::BeginPaint(wnd, &ps);
    if (own) paint(own);
    win::EndPaint(wnd, &ps);
}

bool PaintWholeWindow(win::HWND wnd, vcl::TMessage& m, const std::function<void(win::HDC)>& paint) {
    const auto dc = reinterpret_cast<win::HDC>(m.WParam);
    switch (m.Msg) {
        case win::WM_PAINT:
            PaintWithOwnDC(wnd, dc, paint);
            m.Result = 0;
            return true;
        case win::WM_PRINT:
            if (dc) paint(dc);
            m.Result = 0;
            return true;
        case win::WM_ERASEBKGND:
        case win::WM_NCPAINT:
            m.Result = 1;
            return true;
        default:
            return false;
    }
}

void CopyCacheBorder(TsCommonData* data, win::HWND wnd, int border) {
    vcl::TBitmap* cache = data->CacheBmp();
    if (border < 1 || cache == nullptr || cache->Width() < 1 || cache->Height() < 1) return;
    win::HDC dc = win::GetWindowDC(wnd);
    if (dc == nullptr) return;
    CopyBorderStrips(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
                     border);
    win::ReleaseDC(wnd, dc);
}

bool FormsRedrawFrozen() { return !FrozenForms().empty(); }

}  // namespace skin
