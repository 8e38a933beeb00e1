// Scroll bar state and the SCROLLINFO calls. Standard bars keep their state in the window;
// SB_CTL goes to the control through its SBM_ messages.
#include "platform/user/scroll_bar.h"

#include <algorithm>
#include <cstdint>

#include "platform/user/frame.h"
#include "platform/user/internal.h"
#include "platform/user/message_queue.h"
#include "platform/user/nc_paint.h"
#include "platform/user/scroll_bar_draw.h"
#include "platform/user/window_class.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"

namespace win {
namespace detail {
namespace {

ScrollBar* BarOf(HWND hwnd, int bar, bool create) {
    Window* w = Find(hwnd);
    if (w == nullptr) return nullptr;
    if (bar != SB_HORZ && bar != SB_VERT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!w->scroll) {
        if (!create) {
            SetLastError(ERROR_NO_SCROLLBARS);
            return nullptr;
        }
        w->scroll = std::make_unique<ScrollBarState>();
    }
    return bar == SB_HORZ ? &w->scroll->horz : &w->scroll->vert;
}

void ReframeWindow(HWND hwnd) {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Shows or hides standard bars by their style bits; the frame is laid out again.
bool SetBarsShown(HWND hwnd, DWORD bits, bool show) {
    Window* w = Find(hwnd);
    if (w == nullptr) return false;
    DWORD style = show ? (w->style | bits) : (w->style & ~bits);
    if (style == w->style) return true;
    w->style = style;  // the bars are the style bits, as the layout reads them
    InitFrameScrollBars(w);
    ReframeWindow(hwnd);
    return true;
}

// A page as wide as the range or wider leaves nothing to scroll: the bar goes, or stays
// disabled with SIF_DISABLENOSCROLL; a useful range brings it back.
void FollowRange(HWND hwnd, int bar, ScrollBar& b, UINT mask) {
    DWORD bit = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    bool useful = b.max > b.min && (b.page == 0 || int64_t(b.page) <= int64_t(b.max) - b.min);
    if (useful) {
        if (b.disabledForRange) {
            b.disabledForRange = false;
            b.disabled = ESB_ENABLE_BOTH;
        }
        SetBarsShown(hwnd, bit, true);
    } else if (mask & SIF_DISABLENOSCROLL) {
        if (b.disabled != ESB_DISABLE_BOTH) b.disabledForRange = true;
        b.disabled = ESB_DISABLE_BOTH;
        SetBarsShown(hwnd, bit, true);
    } else {
        SetBarsShown(hwnd, bit, false);
    }
}

}  // namespace

// Keeps the position inside what the page leaves of the range.
void ClampScrollBar(ScrollBar& b) {
    if (b.max < b.min) b.max = b.min;
    int64_t span = int64_t(b.max) - b.min + 1;
    b.page = UINT(std::min<int64_t>(b.page, span));
    int64_t last = int64_t(b.max) - std::max<int64_t>(int64_t(b.page) - 1, 0);
    b.pos = int(std::clamp<int64_t>(b.pos, b.min, std::max<int64_t>(b.min, last)));
    b.trackPos = int(std::clamp<int64_t>(b.trackPos, b.min, std::max<int64_t>(b.min, last)));
}

void ApplyScrollInfo(ScrollBar& b, const SCROLLINFO& info) {
    if (info.fMask & SIF_RANGE) {
        b.min = info.nMin;
        b.max = info.nMax;
    }
    if (info.fMask & SIF_PAGE) b.page = info.nPage;
    if (info.fMask & SIF_POS) b.pos = info.nPos;
    ClampScrollBar(b);
}

void ReadScrollInfo(const ScrollBar& b, SCROLLINFO& info) {
    if (info.fMask & SIF_RANGE) {
        info.nMin = b.min;
        info.nMax = b.max;
    }
    if (info.fMask & SIF_PAGE) info.nPage = b.page;
    if (info.fMask & SIF_POS) info.nPos = b.pos;
    if (info.fMask & SIF_TRACKPOS) info.nTrackPos = b.tracking ? b.trackPos : b.pos;
}

bool IsScrollBarControl(HWND hwnd) {
    Window* w = Peek(hwnd);
    return w && w->cls && w->cls->info.lpfnWndProc == &ScrollBarWndProc;
}

void InitFrameScrollBars(Window* w) {
    if ((w->style & (WS_HSCROLL | WS_VSCROLL)) && !w->scroll)
        w->scroll = std::make_unique<ScrollBarState>();
}

void FreeFrameScrollBars(Window* w) {
    w->scroll.reset();
}

}  // namespace detail

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
    if (info == nullptr) return 0;
    if (bar == SB_CTL) {
        return int(
            SendMessageA(hwnd, SBM_SETSCROLLINFO, WPARAM(redraw), reinterpret_cast<LPARAM>(info)));
    }
    auto* b = detail::BarOf(hwnd, bar, true);
    if (b == nullptr) return 0;
    detail::ApplyScrollInfo(*b, *info);
    int pos = b->pos;
    bool shown = (detail::Find(hwnd)->style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
    if (info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL))
        detail::FollowRange(hwnd, bar, *b, info->fMask);
    detail::Window* w = detail::Peek(hwnd);
    bool nowShown = w && (w->style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL));
    if (redraw && w && shown && nowShown) detail::PaintFrame(w, detail::FrameParts::ScrollBars);
    return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    if (info == nullptr) return FALSE;
    if (bar == SB_CTL)
        return SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) ? TRUE
                                                                                        : FALSE;
    auto* b = detail::BarOf(hwnd, bar, false);
    if (b == nullptr) return FALSE;
    detail::ReadScrollInfo(*b, *info);
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (bar == SB_CTL) return int(SendMessageA(hwnd, SBM_SETPOS, WPARAM(pos), redraw));
    auto* b = detail::BarOf(hwnd, bar, true);
    if (b == nullptr) return 0;
    int old = b->pos;
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(hwnd, bar, &si, redraw);
    return old;
}

int GetScrollPos(HWND hwnd, int bar) {
    if (bar == SB_CTL) return int(SendMessageA(hwnd, SBM_GETPOS, 0, 0));
    auto* b = detail::BarOf(hwnd, bar, false);
    return b ? b->pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    if (bar == SB_CTL) {
        SendMessageA(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, WPARAM(minPos), maxPos);
        return detail::IsScrollBarControl(hwnd);
    }
    if (detail::BarOf(hwnd, bar, true) == nullptr) return FALSE;
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    si.nMin = minPos;
    si.nMax = maxPos;
    SetScrollInfo(hwnd, bar, &si, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
    if (bar == SB_CTL) {
        if (!detail::IsScrollBarControl(hwnd)) return FALSE;
        SendMessageA(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos),
                     reinterpret_cast<LPARAM>(maxPos));
        return TRUE;
    }
    auto* b = detail::BarOf(hwnd, bar, false);
    if (b == nullptr) return FALSE;
    if (minPos) *minPos = b->min;
    if (maxPos) *maxPos = b->max;
    return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    if (bar == SB_CTL) {
        if (!detail::IsScrollBarControl(hwnd)) return FALSE;
        ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    DWORD bits = bar == SB_HORZ   ? WS_HSCROLL
                 : bar == SB_VERT ? WS_VSCROLL
                 : bar == SB_BOTH ? WS_HSCROLL | WS_VSCROLL
                                  : 0;
    if (bits == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return detail::SetBarsShown(hwnd, bits, show != 0) ? TRUE : FALSE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    if (arrows > ESB_DISABLE_BOTH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (bar == SB_CTL) return SendMessageA(hwnd, SBM_ENABLE_ARROWS, arrows, 0) ? TRUE : FALSE;
    if (bar == SB_BOTH) {
        BOOL h = EnableScrollBar(hwnd, SB_HORZ, arrows);
        BOOL v = EnableScrollBar(hwnd, SB_VERT, arrows);
        return h || v;
    }
    auto* b = detail::BarOf(hwnd, int(bar), true);
    if (b == nullptr) return FALSE;
    if (b->disabled == arrows) return FALSE;  // nothing changed
    b->disabled = arrows;
    b->disabledForRange = false;
    if (detail::Window* w = detail::Peek(hwnd))
        detail::PaintFrame(w, detail::FrameParts::ScrollBars);
    return TRUE;
}

}  // namespace win
