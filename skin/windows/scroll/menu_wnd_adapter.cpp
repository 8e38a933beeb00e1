// The pop-up menu window's adapter.
#include "skin/windows/scroll/menu_wnd_adapter.h"

#include <vector>

#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "skin/windows/scroll/menu_wnd_adapters.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

// The system frame of a pop-up window.
constexpr int kMenuFrame = 3;

}  // namespace

void TacMnuWnd::PaintMenuBackground(win::HDC dc) {
    win::RECT wr{};
    win::GetWindowRect(CtrlHandle, &wr);
    vcl::TBitmap* cache = SkinData->CacheBmp();
    if (cache == nullptr || cache->Width() != wr.right - wr.left || cache->Height() != wr.bottom - wr.top)
        SkinData->CacheStale = true;
    PrepareAdapterCache(SkinData, CtrlHandle, false);
    cache = SkinData->CacheBmp();
    if (cache == nullptr || cache->Width() <= 2 * kMenuFrame || cache->Height() <= 2 * kMenuFrame) return;
    win::BitBlt(dc, 0, 0, cache->Width() - 2 * kMenuFrame, cache->Height() - 2 * kMenuFrame,
                cache->Canvas()->Handle(), kMenuFrame, kMenuFrame, win::SRCCOPY);
}

bool TacMnuWnd::PaintMenuFrame() {
    Background = PopupBackground(CtrlHandle);
    if (Background == nullptr) return false;
    win::RECT wr{};
    win::GetWindowRect(CtrlHandle, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const int bw = Background->Width(), bh = Background->Height();
    // The skinned menus prepare the pop-up at the window's size, or at its size less the frame.
    const bool whole = bw == w && bh == h;
    const bool inner = bw + 2 * kMenuFrame == w && bh + 2 * kMenuFrame == h;
    if ((!whole && !inner) || bw < 2 * kMenuFrame || bh < 2 * kMenuFrame) return false;
    win::HDC dc = win::GetWindowDC(CtrlHandle);
    if (dc == nullptr) return true;
    win::HDC src = Background->Canvas()->Handle();
    if (whole) {
        CopyBorderStrips(dc, 0, 0, w, h, src, 0, 0, kMenuFrame);
    } else {
        // The background's own frame strips, corners kept and sides drawn out over the window's.
        const vcl::TRect m(kMenuFrame, kMenuFrame, kMenuFrame, kMenuFrame);
        PaintBitmapNineSlice(dc, src, vcl::TRect(0, 0, w, h), vcl::TRect(0, 0, bw, bh), m, m,
                             NineSliceModes{1, 1, 1, 1, 0}, false);
    }
    win::ReleaseDC(CtrlHandle, dc);
    return true;
}

void TacMnuWnd::Destroying(vcl::TMessage& m) {
    std::vector<TacMnuWnd*>& list = MenuWndAdapters();
    // Another adapter the hook put on the same window is dead with it.
    for (TacMnuWnd* a : std::vector<TacMnuWnd*>(list))
        if (a != this && a->CtrlHandle == CtrlHandle && !a->Unhooked) a->Unhook(false, true);
    ForgetMouseState();
    CallPrevWndProc(m);
    if (!Unhooked) Unhook(false);
    std::vector<win::HWND> live;
    for (TacMnuWnd* a : MenuWndAdapters())
        if (!a->Unhooked && win::IsWindow(a->CtrlHandle)) live.push_back(a->CtrlHandle);
    for (win::HWND w : live)
        win::RedrawWindow(w, nullptr, nullptr, win::RDW_INVALIDATE | win::RDW_UPDATENOW | win::RDW_FRAME);
    if (!live.empty()) return;
    // This adapter is among them: it goes once this message has returned.
    ClearMenuWndAdapters();
    SetSkinnedMenuShown(false);
}

void TacMnuWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (Unhooked) {
        TacScrollWnd::AdapterWindowProc(m);
        return;
    }
    if (m.Msg == win::WM_DESTROY || m.Msg == win::WM_NCDESTROY) {
        Destroying(m);
        return;
    }
    if (SkinnedMenuShown() && SkinData && Skinned()) {
        if (m.Msg == win::WM_ERASEBKGND && m.WParam) {
            PaintMenuBackground(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 1;
            return;
        }
        if (m.Msg == win::WM_NCPAINT && PaintMenuFrame()) {
            m.Result = 0;
            return;
        }
    }
    TacScrollWnd::AdapterWindowProc(m);
}

}  // namespace skin
