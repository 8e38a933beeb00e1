// GetScrollBarInfo: a bar's place, its thumb and the states of its parts, from the same layout
// the default painting and hit test use.
#include <algorithm>

#include "platform/user/internal.h"
#include "platform/user/scroll_bar.h"
#include "platform/user/scroll_bar_draw.h"

namespace win {

BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* info) {
    if (info == nullptr || info->cbSize != sizeof(SCROLLBARINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    detail::Window* w = detail::Find(hwnd);
    if (w == nullptr) return FALSE;
    int bar;
    if (object == OBJID_HSCROLL) {
        bar = SB_HORZ;
    } else if (object == OBJID_VSCROLL) {
        bar = SB_VERT;
    } else if (object == OBJID_CLIENT && detail::IsScrollBarControl(hwnd)) {
        bar = SB_CTL;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    detail::ScrollBar* b = nullptr;
    detail::ScrollBarLayout l = detail::LayoutOfBar(w, bar, &b);
    POINT o = bar == SB_CTL ? detail::ClientOrigin(w)
                            : POINT{detail::ScreenRect(w).left, detail::ScreenRect(w).top};
    const detail::ScrollPress& press = detail::CurrentScrollPress();
    bool held = press.window == hwnd && press.bar == bar;
    if (held && press.dragging) l = detail::WithThumbAt(l, press.thumbStart);

    *info = SCROLLBARINFO{};
    info->rcScrollBar = l.bar;
    OffsetRect(&info->rcScrollBar, o.x, o.y);
    info->dxyLineButton = l.vertical ? l.first.bottom - l.first.top : l.first.right - l.first.left;
    if (l.thumbLength > 0) {
        info->xyThumbTop = l.vertical ? l.thumb.top - l.bar.top : l.thumb.left - l.bar.left;
        info->xyThumbBottom = info->xyThumbTop + l.thumbLength;
    }
    DWORD styleBit = bar == SB_HORZ ? WS_HSCROLL : bar == SB_VERT ? WS_VSCROLL : 0;
    bool shown = b != nullptr && !IsRectEmpty(&l.bar) &&
                 (styleBit == 0 ? w->Visible() : (w->style & styleBit) != 0);
    if (!shown) info->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
    bool usable = b != nullptr && detail::ScrollBarUsable(*b) && !(w->style & WS_DISABLED);
    if (!usable) info->rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
    UINT arrows = b ? b->disabled : ESB_DISABLE_BOTH;
    if (!usable || (arrows & ESB_DISABLE_UP)) info->rgstate[1] |= STATE_SYSTEM_UNAVAILABLE;
    if (!usable || (arrows & ESB_DISABLE_DOWN)) info->rgstate[5] |= STATE_SYSTEM_UNAVAILABLE;
    if (l.thumbLength == 0) info->rgstate[3] |= STATE_SYSTEM_INVISIBLE;
    if (held && (press.over || press.dragging)) {
        static constexpr int kElement[] = {1, 5, 2, 4, -1, 3};  // by part code
        if (press.part >= 0 && press.part <= detail::kThumb && kElement[press.part] > 0)
            info->rgstate[kElement[press.part]] |= STATE_SYSTEM_PRESSED;
    }
    return TRUE;
}

}  // namespace win
