#include "skin/windows/provider/layered.h"

#include <algorithm>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
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
    // An all-zero 32-bit picture: nothing of the window shows.
    win::BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = size.cx;
    bi.bmiHeader.biHeight = -size.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    // Memory DCs only: opening the screen's DC would compose the whole screen for nothing.
    const win::HDC mem = win::CreateCompatibleDC(nullptr);
    const win::HBITMAP bmp =
        win::CreateDIBSection(nullptr, &bi, win::DIB_RGB_COLORS, &bits, nullptr, 0);
    const win::HGDIOBJ old = win::SelectObject(mem, bmp);
    const win::POINT origin{0, 0};
    const win::BLENDFUNCTION blend{win::AC_SRC_OVER, 0, 10, win::AC_SRC_ALPHA};
    win::UpdateLayeredWindow(wnd, nullptr, nullptr, &size, mem, &origin, 0x1FFFFFFF, &blend,
                             win::ULW_ALPHA);
    win::SelectObject(mem, old);
    win::DeleteObject(bmp);
    win::DeleteDC(mem);
    return true;
}

}  // namespace skin
