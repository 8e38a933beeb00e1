// How a scroll bar looks: where its arrows, track and thumb lie for its scroll state, which part
// a point falls on, and its painting in the classic look. Shared by the standard bars of the
// non-client area and the "ScrollBar" control.
//
// The arrows are square (as long as the bar is thick); a bar shorter than two arrows gives each
// half and has no thumb. The thumb is as long as the page is to the range, at least kMinThumb,
// and a square when there is no page; it shows only while the bar can scroll.
#pragma once

#include "platform/user/scroll_bar.h"

namespace win::detail {

struct Window;

// The parts of a bar, numbered as the scroll codes they send.
inline constexpr int kNoPart = -1;
inline constexpr int kFirstArrow = SB_LINEUP;
inline constexpr int kSecondArrow = SB_LINEDOWN;
inline constexpr int kPageBefore = SB_PAGEUP;
inline constexpr int kPageAfter = SB_PAGEDOWN;
inline constexpr int kThumb = SB_THUMBTRACK;

inline constexpr int kMinThumb = 8;

struct ScrollBarLayout {
    RECT bar;
    bool vertical = false;
    RECT first, second;   // the arrows
    RECT thumb;           // empty without a thumb
    int trackStart = 0;   // along the bar: where the track between the arrows begins
    int trackEnd = 0;     // and ends
    int thumbLength = 0;  // 0 without a thumb
};

// Whether the bar can scroll: a range wider than the page and not both arrows disabled.
bool ScrollBarUsable(const ScrollBar& b);
ScrollBarLayout LayoutScrollBar(const RECT& bar, bool vertical, const ScrollBar& b);
// The layout with the thumb's leading edge dragged to `start` (kept inside the track).
ScrollBarLayout WithThumbAt(ScrollBarLayout l, int start);
// The part under a point (in the bar's coordinates); kNoPart outside the bar.
int ScrollBarPartAt(const ScrollBarLayout& l, POINT p);
// The position a thumb whose leading edge is at `start` stands for.
int ScrollPosForThumb(const ScrollBarLayout& l, const ScrollBar& b, int start);
// The bar being pressed, for painting it pressed: `part` shows pressed while `over` (the cursor
// is on it); a dragged thumb shows at `thumbStart`.
struct ScrollPress {
    HWND window = nullptr;
    int bar = -1;  // SB_HORZ, SB_VERT or SB_CTL
    int part = kNoPart;
    bool over = false;
    bool dragging = false;
    int thumbStart = 0;
};
ScrollPress& CurrentScrollPress();

// The layout of a bar of a window: a standard bar in window coordinates (empty when the frame
// has none), the control's in its client coordinates. `state` may be nullptr.
ScrollBarLayout LayoutOfBar(Window* w, int bar, ScrollBar** state);
// The standard bars and the box between them, on a window DC.
void PaintFrameScrollBars(HDC dc, Window* w);

// Paints the bar; `pressed` is the part held down (kNoPart for none); a disabled window's bar
// is greyed.
void PaintScrollBar(HDC dc, const ScrollBarLayout& l, const ScrollBar& b, int pressed,
                    bool enabled);

}  // namespace win::detail
