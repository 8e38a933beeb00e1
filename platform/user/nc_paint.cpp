// Default painting.
#include "platform/user/nc_paint.h"

#include "platform/user/internal.h"
#include "platform/user/painting.h"
#include "platform/user/window_class.h"

namespace win::detail {

void PaintFrame(Window*, FrameParts) {}

void PaintCaptionButton(Window*, LRESULT, bool) {}

LRESULT EraseWithClassBrush(Window* w, WPARAM) {
    return w->cls->info.hbrBackground ? 1 : 0;
}

void DefaultPaint(Window* w) {
    RECT area;
    bool erase;
    TakeUpdate(w, &area, &erase);
}

void DefaultPrint(Window*, WPARAM, LPARAM) {}

LRESULT DefaultControlColor(UINT, WPARAM) {
    return 0;
}

}  // namespace win::detail
