// Scroll bar state and tracking.
#include "platform/user/scroll_bar.h"

#include <algorithm>

#include "platform/user/internal.h"
#include "platform/user/window_pos.h"

namespace win {
namespace detail {

void InitFrameScrollBars(Window* w) {
    if ((w->style & (WS_HSCROLL | WS_VSCROLL)) && !w->scroll)
        w->scroll = std::make_unique<ScrollBarState>();
}

void FreeFrameScrollBars(Window* w) {
    w->scroll.reset();
}

void TrackFrameScrollBar(Window*, bool, POINT) {}

}  // namespace detail
}  // namespace win
