#include "platform/controls/native_control.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/classic_paint.h"
#include "platform/gdi/gdi.h"
#include "platform/user/def_window_proc.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_dc.h"

namespace win {

void CommandToParent(HWND h, WORD code) {
    if (HWND parent = GetParent(h))
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code),
                     reinterpret_cast<LPARAM>(h));
}

void CopyTextOut(const std::string& text, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

namespace {

template <typename F>
auto WithFont(HWND h, HFONT font, F measure) {
    HDC dc = GetDC(h);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    const auto result = measure(dc);
    if (old) SelectObject(dc, old);
    ReleaseDC(h, dc);
    return result;
}

}  // namespace

int FontLineHeight(HWND h, HFONT font) {
    return WithFont(h, font, [](HDC dc) {
        TEXTMETRIC tm{};
        GetTextMetrics(dc, &tm);
        return static_cast<int>(tm.tmHeight);
    });
}

int TextWidthIn(HWND h, HFONT font, const std::string& text) {
    return WithFont(h, font, [&](HDC dc) {
        SIZE s{};
        GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &s);
        return static_cast<int>(s.cx);
    });
}

HBRUSH AskControlColor(HWND h, UINT msg, HDC dc, HWND owner) {
    const auto wp = reinterpret_cast<WPARAM>(dc);
    const auto lp = reinterpret_cast<LPARAM>(h);
    const LRESULT standard = DefWindowProcA(h, msg, wp, lp);
    if (!owner) owner = GetParent(h);
    const LRESULT asked = owner ? SendMessageA(owner, msg, wp, lp) : 0;
    return reinterpret_cast<HBRUSH>(asked ? asked : standard);
}

LRESULT PaintedControlDefault(HWND h, UINT msg, WPARAM wParam, LPARAM lParam,
                              void (*paint)(HWND, HDC)) {
    switch (msg) {
        case WM_ENABLE:
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PRINTCLIENT:
            paint(h, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_PAINT:
            return PaintWholeControl(h, wParam, paint);
        default:
            return DefWindowProcA(h, msg, wParam, lParam);
    }
}

}  // namespace win
