// Scroll bar geometry and classic painting.
#include "platform/user/scroll_bar_draw.h"

#include <algorithm>
#include <cstdint>

#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/frame_draw.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/frame.h"
#include "platform/user/internal.h"
#include "platform/user/system_metrics.h"

namespace win::detail {
namespace {

int64_t Range(const ScrollBar& b) {
    return int64_t(b.max) - b.min + 1;
}

// Rectangle covering [from, to) along the bar.
RECT Span(const ScrollBarLayout& l, int from, int to) {
    RECT r = l.bar;
    if (l.vertical) {
        r.top = l.bar.top + from;
        r.bottom = l.bar.top + to;
    } else {
        r.left = l.bar.left + from;
        r.right = l.bar.left + to;
    }
    return r;
}

int Along(const ScrollBarLayout& l, POINT p) {
    return l.vertical ? p.y - l.bar.top : p.x - l.bar.left;
}

// a * b / c rounded to nearest, for non-negative values, as the skin's own arithmetic does.
int64_t Scale(int64_t a, int64_t b, int64_t c) {
    return c > 0 ? (2 * a * b + c) / (2 * c) : 0;
}

int Length(const RECT& r, bool vertical) {
    return vertical ? r.bottom - r.top : r.right - r.left;
}

}  // namespace

bool ScrollBarUsable(const ScrollBar& b) {
    return b.disabled != ESB_DISABLE_BOTH && b.max > b.min &&
           (b.page == 0 || int64_t(b.page) <= int64_t(b.max) - b.min);
}

ScrollBarLayout LayoutScrollBar(const RECT& bar, bool vertical, const ScrollBar& b) {
    ScrollBarLayout l;
    l.bar = bar;
    l.vertical = vertical;
    int length = std::max(0, Length(bar, vertical));
    int arrow = std::max(0, Length(bar, !vertical));
    bool roomy = length >= 2 * arrow;
    if (!roomy) arrow = length / 2;
    l.first = Span(l, 0, arrow);
    l.second = Span(l, length - arrow, length);
    l.trackStart = arrow;
    l.trackEnd = length - arrow;
    int track = l.trackEnd - l.trackStart;
    if (!roomy || !ScrollBarUsable(b)) return l;
    int64_t range = Range(b);
    int thumb = b.page == 0 ? GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB)
                            : int(Scale(b.page, track, range));
    thumb = std::max(thumb, kMinThumb);
    if (thumb > track) return l;
    int64_t span = range - std::max<int64_t>(1, b.page);
    int offset = int(Scale(int64_t(b.pos) - b.min, track - thumb, span));
    offset = std::clamp(offset, 0, track - thumb);
    l.thumbLength = thumb;
    l.thumb = Span(l, l.trackStart + offset, l.trackStart + offset + thumb);
    return l;
}

ScrollBarLayout WithThumbAt(ScrollBarLayout l, int start) {
    if (l.thumbLength == 0) return l;
    start = std::clamp(start, l.trackStart, l.trackEnd - l.thumbLength);
    l.thumb = Span(l, start, start + l.thumbLength);
    return l;
}

int ScrollBarPartAt(const ScrollBarLayout& l, POINT p) {
    if (!PtInRect(&l.bar, p)) return kNoPart;
    if (PtInRect(&l.first, p)) return kFirstArrow;
    if (PtInRect(&l.second, p)) return kSecondArrow;
    if (l.thumbLength == 0) return kNoPart;
    if (PtInRect(&l.thumb, p)) return kThumb;
    int at = Along(l, p);
    int thumbStart = l.vertical ? l.thumb.top - l.bar.top : l.thumb.left - l.bar.left;
    return at < thumbStart ? kPageBefore : kPageAfter;
}

int ScrollPosForThumb(const ScrollBarLayout& l, const ScrollBar& b, int start) {
    int room = l.trackEnd - l.trackStart - l.thumbLength;
    if (l.thumbLength == 0 || room <= 0) return b.pos;
    int offset = std::clamp(start - l.trackStart, 0, room);
    int64_t span = Range(b) - std::max<int64_t>(1, b.page);
    int64_t pos = b.min + Scale(offset, span, room);
    int64_t last = int64_t(b.max) - std::max<int64_t>(int64_t(b.page) - 1, 0);
    return int(std::clamp<int64_t>(pos, b.min, std::max<int64_t>(b.min, last)));
}

void PaintScrollBar(HDC dc, const ScrollBarLayout& l, const ScrollBar& b, int pressed,
                    bool enabled) {
    if (IsRectEmpty(&l.bar)) return;
    bool usable = enabled && ScrollBarUsable(b);
    auto arrow = [&](RECT r, UINT kind, int part, UINT disabledBit) {
        if (IsRectEmpty(&r)) return;
        UINT state = kind;
        if (!usable || (b.disabled & disabledBit)) {
            state |= DFCS_INACTIVE;
        } else if (pressed == part) {
            state |= DFCS_PUSHED | DFCS_FLAT;
        }
        DrawFrameControl(dc, &r, DFC_SCROLL, state);
    };
    arrow(l.first, l.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, kFirstArrow, ESB_DISABLE_UP);
    arrow(l.second, l.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, kSecondArrow,
          ESB_DISABLE_DOWN);
    RECT track = Span(l, l.trackStart, l.trackEnd);
    if (IsRectEmpty(&track)) return;
    if (l.thumbLength == 0) {
        FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
        return;
    }
    RECT before = track, after = track;
    if (l.vertical) {
        before.bottom = l.thumb.top;
        after.top = l.thumb.bottom;
    } else {
        before.right = l.thumb.left;
        after.left = l.thumb.right;
    }
    // A page area held down shows dark.
    FillRect(dc, &before,
             GetSysColorBrush(pressed == kPageBefore ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR));
    FillRect(dc, &after,
             GetSysColorBrush(pressed == kPageAfter ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR));
    RECT thumb = l.thumb;
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

ScrollPress& CurrentScrollPress() {
    static ScrollPress press;
    return press;
}

const ScrollBar kNone;  // the look of a bar without state yet

ScrollBarLayout LayoutOfBar(Window* w, int bar, ScrollBar** state) {
    ScrollBar* b = nullptr;
    if (w->scroll)
        b = bar == SB_HORZ ? &w->scroll->horz : bar == SB_VERT ? &w->scroll->vert : &w->scroll->ctl;
    if (state) *state = b;
    const ScrollBar& info = b ? *b : kNone;
    if (bar == SB_CTL) {
        RECT client{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
        return LayoutScrollBar(client, (w->style & SBS_VERT) != 0, info);
    }
    FrameLayout f = LayoutFrame(w);
    return LayoutScrollBar(bar == SB_VERT ? f.vscroll : f.hscroll, bar == SB_VERT, info);
}

void PaintFrameScrollBars(HDC dc, Window* w) {
    const ScrollPress& press = CurrentScrollPress();
    bool enabled = !(w->style & WS_DISABLED);
    for (int bar : {SB_HORZ, SB_VERT}) {
        ScrollBar* b = nullptr;
        ScrollBarLayout l = LayoutOfBar(w, bar, &b);
        if (IsRectEmpty(&l.bar)) continue;
        int pressed = kNoPart;
        if (press.window == w->handle && press.bar == bar) {
            if (press.over) pressed = press.part;
            if (press.dragging) l = WithThumbAt(l, press.thumbStart);
        }
        PaintScrollBar(dc, l, b ? *b : kNone, pressed, enabled);
    }
    FrameLayout f = LayoutFrame(w);
    if (!IsRectEmpty(&f.sizeBox)) FillRect(dc, &f.sizeBox, GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace win::detail
