#include "vcl/system/util_window.h"

#include <unordered_map>

#include "platform/user/user.h"
#include "vcl/system/exceptions.h"

namespace vcl {

namespace {

constexpr const char* kClassName = "TPUtilWindow";

std::unordered_map<win::HWND, TWndMethod>& Methods() {
    static std::unordered_map<win::HWND, TWndMethod> m;
    return m;
}

win::LRESULT UtilWindowProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam) {
    // The messages of the window's making come before its method is known.
    auto it = Methods().find(hwnd);
    if (it == Methods().end()) return win::DefWindowProcA(hwnd, msg, wParam, lParam);
    // A copy: the method may deallocate its own window.
    const TWndMethod method = it->second;
    TMessage m{msg, wParam, lParam, 0};
    method(m);
    if (msg == win::WM_NCDESTROY) Methods().erase(hwnd);
    return m.Result;
}

}  // namespace

win::HWND AllocateHWnd(TWndMethod method) {
    win::WNDCLASSA wc;
    if (!win::GetClassInfoA(nullptr, kClassName, &wc)) {
        wc = {};
        wc.lpfnWndProc = UtilWindowProc;
        wc.lpszClassName = kClassName;
        if (!win::RegisterClassA(&wc))
            throw EOutOfResources("Cannot register the utility window class");
    }
    win::HWND h = win::CreateWindowExA(0, kClassName, "", win::WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, nullptr, nullptr);
    if (!h) throw EOutOfResources("Cannot create a utility window");
    Methods()[h] = std::move(method);
    return h;
}

void DeallocateHWnd(win::HWND window) {
    if (!window) return;
    Methods().erase(window);
    if (win::IsWindow(window)) win::DestroyWindow(window);
}

void DefaultUtilWindowProc(win::HWND window, TMessage& m) {
    m.Result = win::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
}

}  // namespace vcl
