#include "skin/windows/provider/layered.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/user/user.h"

namespace skin {

bool SetLayeredTransparent(win::HWND wnd, bool on) {
    if (!win::kLayeredWindowsAvailable || !win::IsWindow(wnd)) return false;
    const auto ex = uint32_t(win::GetWindowLongA(wnd, win::GWL_EXSTYLE));
    if (!on) {
        if (!(ex & win::WS_EX_LAYERED)) return false;
        win::SetWindowLongA(wnd, win::GWL_EXSTYLE, int32_t(ex & ~win::WS_EX_LAYERED));
        return true;
    }
    if (ex & win::WS_EX_LAYERED) return false;
    win::RECT r{};
    win::GetWindowRect(wnd, &r);
    const win::SIZE size{std::max<win::LONG>(r.right - r.left, 1),
                         std::max<win::LONG>(r.bottom - r.top, 1)};
    win::SetWindowLongA(wnd, win::GWL_EXSTYLE, int32_t(ex | win::WS_EX_LAYERED));
    // The empty picture at constant alpha 10 is given as no picture at all: a layered window
    // shows only the picture it was given, so without one nothing of it shows and clicks pass
    // through, as they would through an all-zero one. Making, clearing and copying a
    // whole-window image of nothing cost more than the rest of a form's show.
    const win::BLENDFUNCTION blend{win::AC_SRC_OVER, 0, 10, win::AC_SRC_ALPHA};
    win::UpdateLayeredWindow(wnd, nullptr, nullptr, &size, nullptr, nullptr, 0x1FFFFFFF, &blend,
                             win::ULW_ALPHA);
    return true;
}

}  // namespace skin
