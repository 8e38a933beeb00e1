// Helpers shared by the window adapters.
#include "skin/windows/adapters/adapter_helpers.h"

#include <algorithm>
#include <cstdint>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/window_adapter.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

// The length from `from` to `to`, 0 when negative, without overflow.
int SpanOf(int from, int to) {
    return int(std::clamp<int64_t>(int64_t(to) - from, 0, INT32_MAX));
}

}  // namespace

void ParentBackground(TsCommonData* data, win::HWND wnd, CacheInfo& cache, PixelView& view) {
    if (data && data->OwnerControl())
        GetParentBGInfo(data, cache, view);
    else
        GetParentBGInfoByHandle(wnd, cache, view);
}

void GetWindowRectsInParent(TacMainWnd* a) {
    win::RECT r{};
    win::GetWindowRect(a->CtrlHandle, &r);
    a->WndRect = vcl::TRect{r.left, r.top, r.right, r.bottom};
    a->WndSize = vcl::TPoint{r.right - r.left, r.bottom - r.top};
    a->ParentWnd = win::GetParent(a->CtrlHandle);
    win::RECT pr{};
    if (a->ParentWnd) win::GetWindowRect(a->ParentWnd, &pr);
    a->ParentRect = vcl::TRect{pr.left, pr.top, pr.right, pr.bottom};
    win::POINT p{r.left, r.top};
    if (a->ParentWnd) win::ScreenToClient(a->ParentWnd, &p);
    a->WndPos = vcl::TPoint{p.x, p.y};
}

vcl::TBitmap* SizedCache(TsCommonData* data, int width, int height) {
    if (data->CacheBmp() == nullptr) data->PrepareCacheBmp();
    vcl::TBitmap* cache = data->CacheBmp();
    cache->SetPixelFormat(vcl::pf24bit);
    if (!BitmapSizeFits(width, height)) width = height = 0;
    cache->SetSize(width, height);
    return cache;
}

void PrepareAdapterCache(TsCommonData* data, win::HWND wnd, bool transparent) {
    if (data == nullptr || !data->CacheStale || !win::IsWindow(wnd)) return;
    win::RECT r{};
    win::GetWindowRect(wnd, &r);
    vcl::TBitmap* cache = SizedCache(data, SpanOf(r.left, r.right), SpanOf(r.top, r.bottom));
    data->CacheStale = false;
    const int w = cache->Width(), h = cache->Height();
    if (w < 1 || h < 1) return;
    TColor global = DefaultManager ? DefaultManager->GetGlobalColor() : kTransparentKey;
    CacheInfo parent;
    PixelView view;
    ParentBackground(data, wnd, parent, view);
    if (!transparent || global == kTransparentKey) {
        PaintControlSection(data, parent, true, ControlIsActive(data) ? 1 : 0, TRect{0, 0, w, h},
                            TPoint{0, 0}, cache, 0);
    } else {
        cache->Canvas()->Brush()->SetColor(vcl::TColor(global));
        cache->Canvas()->FillRect(vcl::TRect{0, 0, w, h});
    }
    if (vcl::TControl* c = data->OwnerControl(); c && !c->Enabled())
        BlendDisabledEffect(ViewOf(cache), TsDisabledKind{dkBlended}, parent, TPoint{0, 0},
                            GetControlBGColor(data, false, wnd));
}

void FillAdapterCorners(int state, TsCommonData* data, win::HWND wnd) {
    TsSkinManager* m = data ? data->SkinManager() : nullptr;
    if (m == nullptr || data->CacheBmp() == nullptr || data->BorderIndex < 0 ||
        size_t(data->BorderIndex) >= m->Masks().size())
        return;
    const TsMaskData& mask = m->Masks()[size_t(data->BorderIndex)];
    int images = std::max<int>(mask.ImageCount < 1 && mask.Bmp ? 3 : mask.ImageCount, 1);
    state = std::clamp(state, 0, images - 1);
    CacheInfo parent;
    PixelView view;
    ParentBackground(data, wnd, parent, view);
    CornerBackground bg;
    bg.Bmp = parent.Ready ? parent.Bmp : nullptr;
    bg.Offset = TPoint{parent.X, parent.Y};
    bg.Color = parent.FillColor;
    RestoreMaskCorners(ViewOf(data->CacheBmp()), mask, state, kSideAllCorners, bg);
}

void BroadcastToChildren(vcl::TControl* control, win::HWND wnd, vcl::TMessage& m) {
    if (auto* w = dynamic_cast<vcl::TWinControl*>(control)) {
        BroadcastToChildControls(w, m);
    } else if (control == nullptr && wnd != nullptr) {
        BroadcastToChildWindows(wnd, m);
    }
}

vcl::TWinControl* FindControlByHandle(win::HWND wnd, vcl::TWinControl* parent) {
    if (parent == nullptr || wnd == nullptr) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* child = dynamic_cast<vcl::TWinControl*>(parent->Controls(i));
        if (child == nullptr) continue;
        if (child->HandleAllocated() && child->Handle() == wnd) return child;
        if (vcl::TWinControl* found = FindControlByHandle(wnd, child)) return found;
    }
    return nullptr;
}

void SendSkinCommandToTopParent(win::HWND wnd) {
    win::HWND top = wnd ? win::GetAncestor(wnd, win::GA_ROOT) : nullptr;
    if (top) win::SendMessageA(top, SM_ALPHACMD, SkinCommandWParam(SKC_CHILDCREATED), 0);
}

}  // namespace skin
