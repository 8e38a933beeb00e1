// Scroll bar state of the standard bars and the SCROLLINFO calls.
#include "platform/user/scroll_bar.h"

#include <algorithm>

#include "platform/user/internal.h"
#include "platform/user/window_pos.h"

namespace win {
namespace detail {
namespace {

ScrollBarState::Bar* BarOf(HWND hwnd, int bar, bool create) {
    Window* w = Find(hwnd);
    if (w == nullptr) return nullptr;
    if (bar != SB_HORZ && bar != SB_VERT) {
        SetLastError(bar == SB_CTL ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);
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

// Keeps the position inside what the page leaves of the range.
void Clamp(ScrollBarState::Bar& b) {
    if (b.max < b.min) b.max = b.min;
    UINT span = UINT(int64_t(b.max) - b.min + 1);
    b.page = std::min(b.page, span);
    int top = b.max - std::max(int(b.page) - 1, 0);
    b.pos = std::clamp(b.pos, b.min, std::max(b.min, top));
    b.trackPos = std::clamp(b.trackPos, b.min, std::max(b.min, top));
}

void RepaintBar(HWND hwnd) {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void InitFrameScrollBars(Window* w) {
    if ((w->style & (WS_HSCROLL | WS_VSCROLL)) && !w->scroll)
        w->scroll = std::make_unique<ScrollBarState>();
}

void FreeFrameScrollBars(Window* w) {
    w->scroll.reset();
}

void TrackFrameScrollBar(Window*, bool, POINT) {}

}  // namespace detail

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
    auto* b = detail::BarOf(hwnd, bar, true);
    if (b == nullptr || info == nullptr) return 0;
    if (info->fMask & SIF_RANGE) {
        b->min = info->nMin;
        b->max = info->nMax;
    }
    if (info->fMask & SIF_PAGE) b->page = info->nPage;
    if (info->fMask & SIF_POS) b->pos = info->nPos;
    detail::Clamp(*b);
    if (redraw && (info->fMask & (SIF_RANGE | SIF_PAGE | SIF_POS))) detail::RepaintBar(hwnd);
    return b->pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    auto* b = detail::BarOf(hwnd, bar, false);
    if (b == nullptr || info == nullptr) return FALSE;
    if (info->fMask & SIF_RANGE) {
        info->nMin = b->min;
        info->nMax = b->max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = b->page;
    if (info->fMask & SIF_POS) info->nPos = b->pos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = b->tracking ? b->trackPos : b->pos;
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    auto* b = detail::BarOf(hwnd, bar, true);
    if (b == nullptr) return 0;
    int old = b->pos;
    b->pos = pos;
    detail::Clamp(*b);
    if (redraw) detail::RepaintBar(hwnd);
    return old;
}

int GetScrollPos(HWND hwnd, int bar) {
    auto* b = detail::BarOf(hwnd, bar, false);
    return b ? b->pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    si.nMin = minPos;
    si.nMax = maxPos;
    return detail::BarOf(hwnd, bar, true) && (SetScrollInfo(hwnd, bar, &si, redraw), true);
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
    auto* b = detail::BarOf(hwnd, bar, false);
    if (b == nullptr) return FALSE;
    if (minPos) *minPos = b->min;
    if (maxPos) *maxPos = b->max;
    return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    detail::Window* w = detail::Find(hwnd);
    if (w == nullptr || bar == SB_CTL) return FALSE;
    DWORD bits = bar == SB_HORZ   ? WS_HSCROLL
                 : bar == SB_VERT ? WS_VSCROLL
                                  : WS_HSCROLL | WS_VSCROLL;
    DWORD style = show ? (w->style | bits) : (w->style & ~bits);
    if (style == w->style) return TRUE;
    w->style = style;  // the bars are the style bits, as the layout reads them
    detail::InitFrameScrollBars(w);
    detail::RepaintBar(hwnd);
    return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    if (bar == SB_BOTH) {
        return EnableScrollBar(hwnd, SB_HORZ, arrows) && EnableScrollBar(hwnd, SB_VERT, arrows);
    }
    auto* b = detail::BarOf(hwnd, int(bar), true);
    if (b == nullptr || arrows > ESB_DISABLE_BOTH) return FALSE;
    if (b->disabled == arrows) return FALSE;  // nothing changed
    b->disabled = arrows;
    detail::RepaintBar(hwnd);
    return TRUE;
}

}  // namespace win
