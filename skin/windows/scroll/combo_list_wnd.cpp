// The frame-and-bars adapter of a combo box's list.
#include "skin/windows/scroll/combo_list_wnd.h"

#include "platform/controls/list_box_control.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/common_data.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

// The border of a list is thin: the strips copied from the cache on the window and in print.
constexpr int kFrameStrip = 2;
constexpr int kPrintStrip = 3;

}  // namespace

TacComboListWnd* TacComboListWnd::CreateForList(win::HWND list, bool simple, bool hasItems,
                                                const std::string& section,
                                                TsSkinManager* manager) {
    if (!win::IsWindow(list)) return nullptr;
    auto* a = new TacComboListWnd();
    a->Simple = simple;
    a->AttachToWindow(list, nullptr, manager, section.empty() ? "EDIT" : section, hasItems);
    if (!hasItems && !a->Unhooked) {
        // One pixel wider and back: the frame is calculated anew with the adapter's bars.
        win::RECT r{};
        win::GetWindowRect(list, &r);
        const uint32_t flags = win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE |
                               win::SWP_FRAMECHANGED;
        win::SetWindowPos(list, nullptr, 0, 0, r.right - r.left + 1, r.bottom - r.top, flags);
        win::SetWindowPos(list, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, flags);
    }
    return a;
}

void TacComboListWnd::PaintListFrame(win::HDC dc, int strip) {
    vcl::TBitmap* cache = SkinData->CacheBmp();
    win::HDC target = dc ? dc : win::GetWindowDC(CtrlHandle);
    if (target == nullptr) return;
    if (cache && cache->Width() > 0)
        CopyBorderStrips(target, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(),
                         0, 0, strip);
    PaintScrollBars(target, -1, 0);
    if (dc == nullptr) win::ReleaseDC(CtrlHandle, target);
}

void TacComboListWnd::PaintStripUnderList() {
    win::HWND combo = win::GetParent(CtrlHandle);
    if (!Simple || combo == nullptr) return;
    win::RECT list{}, client{};
    win::GetWindowRect(CtrlHandle, &list);
    win::GetClientRect(combo, &client);
    win::POINT bottom{0, client.bottom};
    win::ClientToScreen(combo, &bottom);
    if (list.bottom >= bottom.y || list.right <= list.left) return;
    ShowBackgroundBehind(combo, win::RECT{list.left, list.bottom, list.right, bottom.y});
}

void TacComboListWnd::ListButtonUp(vcl::TMessage& m) {
    // A press that began on a bar ends there wherever it is let go: it never picks an item,
    // and a dropped list keeps the capture it closes up by. Any other release is the list's,
    // on a bar too (the press that dropped the list ends its tracking there).
    ScrollMouseState& s = ScrollMouse();
    if (s.CurrentWindow == CtrlHandle && s.PressedPart != spNone) {
        EndPress(Simple);
        m.Result = 0;
        return;
    }
    CallPrevWndProc(m);
    // A list that closed gives the capture up; an open one keeps it, or a press outside would
    // no longer close it.
    if (!Unhooked && win::GetCapture() == CtrlHandle && (Simple || !win::IsWindowVisible(CtrlHandle)))
        win::ReleaseCapture();
}

void TacComboListWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacEditWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_NCPAINT:
            if (OwnScrollMessage) {
                m.Result = 0;
                return;
            }
            if (!win::IsWindowVisible(CtrlHandle)) {
                m.Result = 0;
                return;
            }
            SkinData->CacheStale = true;
            PrepareCache();
            PaintListFrame(nullptr, kFrameStrip);
            PaintStripUnderList();
            Painted = true;
            m.Result = 0;
            return;
        case win::LBCB_STARTTRACK:
            Tracking = true;
            break;
        case win::LBCB_ENDTRACK:
            Tracking = false;
            SkinData->CacheStale = true;
            break;
        case win::WM_LBUTTONUP:
            ListButtonUp(m);
            return;
        case win::WM_PRINT: {
            CallPrevWndProc(m);
            if (Unhooked || m.WParam == 0 || !win::IsWindowVisible(CtrlHandle) ||
                win::SendMessageA(CtrlHandle, win::LB_GETCOUNT, 0, 0) < 1)
                return;
            win::HDC dc = reinterpret_cast<win::HDC>(m.WParam);
            ScrollMouseState& s = ScrollMouse();
            const bool pressed = s.CurrentWindow == CtrlHandle && s.PressedPart != spNone;
            if (!pressed && !Tracking) {
                SkinData->CacheStale = true;
                PrepareCache();
                PaintListFrame(dc, kPrintStrip);
            } else {
                PaintScrollBars(dc, -1, 0);
            }
            return;
        }
        default:
            break;
    }
    TacEditWnd::AdapterWindowProc(m);
}

}  // namespace skin
