// The pop-up menu window class.
#include "platform/user/menu_window.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/frame_draw.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/def_window_proc.h"
#include "platform/user/internal.h"
#include "platform/user/menu_paint.h"
#include "platform/user/painting.h"
#include "platform/user/window_class.h"
#include "platform/user/window_dc.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"

namespace win::detail {
namespace {

constexpr DWORD kPopupStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_BORDER;
constexpr DWORD kPopupExStyle =
    WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;

Menu* MenuOf(HWND hwnd) {
    return FindMenu(reinterpret_cast<HMENU>(GetWindowLongPtrA(hwnd, 0)));
}

void PaintFrameOf(HWND hwnd) {
    HDC dc = GetWindowDC(hwnd);
    if (dc == nullptr) return;
    RECT r;
    GetWindowRect(hwnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_MENU));
    ReleaseDC(hwnd, dc);
}

}  // namespace

LRESULT MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
            if (cs) SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
            return DefWindowProcA(hwnd, msg, wp, lp);
        }
        case MN_GETHMENU:
            return GetWindowLongPtrA(hwnd, 0);
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_NCPAINT:
            PaintFrameOf(hwnd);
            return 0;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_MENU));
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc == nullptr) return 0;
            if (Menu* m = MenuOf(hwnd)) {
                for (size_t i = 0; i < m->items.size(); ++i) {
                    RECT hit;
                    if (!IntersectRect(&hit, &m->items[i].rect, &ps.rcPaint)) continue;
                    PaintPopupItem(dc, m, i, ODA_DRAWENTIRE);
                    if (!IsWindow(hwnd) || MenuOf(hwnd) != m) break;
                }
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            if (Menu* m = MenuOf(hwnd); m && m->window == hwnd) m->window = nullptr;
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

SIZE PopupWindowSize(SIZE client) {
    RECT r{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&r, kPopupStyle, FALSE, kPopupExStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

HWND ShowPopupWindow(Menu* m, HWND owner, POINT at, SIZE client) {
    SIZE size = PopupWindowSize(client);
    HMENU handle = m->handle;
    HWND h = CreateWindowExA(kPopupExStyle, MAKEINTATOM(kMenuClassAtom), "", kPopupStyle, at.x,
                             at.y, size.cx, size.cy, owner, nullptr, nullptr, handle);
    // Creation runs hooks and procedures that may have destroyed the menu.
    m = FindMenu(handle);
    if (h == nullptr || m == nullptr) {
        if (h) DestroyWindow(h);
        return nullptr;
    }
    m->window = h;
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (IsWindow(h)) UpdateWindow(h);
    return IsWindow(h) ? h : nullptr;
}

}  // namespace win::detail
