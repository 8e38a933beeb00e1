// Size grip adapter.
#include "skin/windows/adapters/sizer_spin_adapters.h"

#include <algorithm>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {

TsSkinManager* TacSizerWnd::Manager() const {
    return SkinManager ? SkinManager : SkinData->SkinManager();
}

const TsMaskData* TacSizerWnd::Grip() const {
    TsSkinManager* m = Manager();
    if (m == nullptr || !m->SkinData().Active) return nullptr;
    const int index = m->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
    return m->Skin().IsValidImgIndex(index) ? &m->Masks()[size_t(index)] : nullptr;
}

void TacSizerWnd::Paint(win::HDC dc, const TsMaskData& grip) {
    TsSkinManager* m = Manager();
    GetWindowRectsInParent(this);
    if (SkinData->CacheBmp() == nullptr) SkinData->PrepareCacheBmp();
    vcl::TBitmap* cache = SkinData->CacheBmp();
    cache->SetPixelFormat(vcl::pf24bit);
    cache->SetSize(std::max(0, WndSize.X), std::max(0, WndSize.Y));
    if (cache->Width() < 1 || cache->Height() < 1) return;
    CacheInfo parent;
    PixelView view;
    GetParentBGInfoByHandle(CtrlHandle, parent, view);
    const PixelView dst = ViewOf(cache);
    if (parent.Ready && parent.Bmp && !parent.Bmp->Empty()) {
        BlendBitmapTransparent(dst, 0, 0, *parent.Bmp,
                               TRect{parent.X, parent.Y, parent.X + dst.Width - 1,
                                     parent.Y + dst.Height - 1},
                               0.0, 0xFF000000u);
    } else {
        const TColor fill = parent.FillColor != kTransparentKey ? parent.FillColor
                                                                : m->GetGlobalColor();
        cache->Canvas()->Brush()->SetColor(vcl::TColor(fill));
        cache->Canvas()->FillRect(vcl::TRect{0, 0, dst.Width, dst.Height});
    }
    const int w = SkinFrameWidth(grip), h = SkinFrameHeight(grip);
    CacheInfo self;
    self.Bmp = &dst;
    self.Ready = true;
    BlendMaskRegion(cache, TPoint{std::max(0, dst.Width - w), std::max(0, dst.Height - h)}, 0, 1,
                    grip, self);
    SkinData->CacheStale = false;
    win::HDC target = dc ? dc : win::GetWindowDC(CtrlHandle);
    if (target) {
        win::BitBlt(target, 0, 0, dst.Width, dst.Height, cache->Canvas()->Handle(), 0, 0,
                    win::SRCCOPY);
        if (dc == nullptr) win::ReleaseDC(CtrlHandle, target);
    }
}

void TacSizerWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (Unhooked || SkinData == nullptr || !Skinned()) {
        TacMainWnd::AdapterWindowProc(m);
        return;
    }
    switch (m.Msg) {
        case win::WM_PAINT: {
            const TsMaskData* grip = Grip();
            if (grip == nullptr) break;
            win::PAINTSTRUCT ps{};
            win::HDC given = reinterpret_cast<win::HDC>(m.WParam);
            win::HDC dc = given ? given : win::BeginPaint(CtrlHandle, &ps);
            Paint(dc, *grip);
            if (!given) win::EndPaint(CtrlHandle, &ps);
            m.Result = 0;
            return;
        }
        case win::WM_PRINT: {
            const TsMaskData* grip = Grip();
            if (grip == nullptr || m.WParam == 0) break;
            Paint(reinterpret_cast<win::HDC>(m.WParam), *grip);
            m.Result = 0;
            return;
        }
        case win::WM_ERASEBKGND:
        case win::WM_NCPAINT:
            m.Result = 1;
            return;
        case win::WM_NCHITTEST:
            TacMainWnd::AdapterWindowProc(m);
            if (Unhooked) return;
            m.Result = win::HTBOTTOMRIGHT;
            if (TsSkinManager* sm = Manager(); sm && win::IsWindowEnabled(CtrlHandle))
                sm->SetActiveControl(nullptr);
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

}  // namespace skin
