// Metrics of the classic look, system parameters, the monitor and the platform answers.
#include "platform/user/system_metrics.h"

#include <cstring>

#include "platform/gdi/dc_surface.h"
#include "platform/user/internal.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"

namespace win {
namespace {

SIZE screen{1280, 800};
RECT workArea{};  // empty: the whole screen

void FitDesktop() {
    detail::Window* d = detail::Desktop();
    d->rect = d->client = RECT{0, 0, screen.cx, screen.cy};
}

LOGFONTA UiFont(int height, int weight) {
    LOGFONTA f;
    f.lfHeight = -height;
    f.lfWeight = weight;
    f.lfCharSet = 204;  // Cyrillic
    std::strncpy(f.lfFaceName, "Tahoma", sizeof f.lfFaceName - 1);
    return f;
}

HMONITOR const kMonitor = reinterpret_cast<HMONITOR>(uintptr_t(0x7F0001));

}  // namespace

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXVIRTUALSCREEN:
            return screen.cx;
        case SM_CYSCREEN:
        case SM_CYVIRTUALSCREEN:
            return screen.cy;
        case SM_XVIRTUALSCREEN:
        case SM_YVIRTUALSCREEN:
            return 0;
        case SM_CXFULLSCREEN:
            return screen.cx;
        case SM_CYFULLSCREEN:
            return screen.cy - 19;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL:
        case SM_CYVTHUMB:
        case SM_CXHTHUMB:
            return 16;
        case SM_CYCAPTION:
            return 19;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXFIXEDFRAME:
        case SM_CYFIXEDFRAME:
            return 3;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return 4;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYMENU:
            return 19;
        case SM_CXMENUSIZE:
        case SM_CYMENUSIZE:
            return 18;
        case SM_CXSIZE:
        case SM_CYSIZE:
            return 18;
        case SM_CYSMCAPTION:
            return 15;
        case SM_CXSMSIZE:
            return 12;
        case SM_CYSMSIZE:
            return 14;
        case SM_CXMIN:
            return 112;
        case SM_CYMIN:
            return 27;
        case SM_CXMINTRACK:
            return 112;
        case SM_CYMINTRACK:
            return 27;
        case SM_CXMAXTRACK:
            return screen.cx + 12;
        case SM_CYMAXTRACK:
            return screen.cy + 12;
        case SM_CXMAXIMIZED:
            return screen.cx + 8;
        case SM_CYMAXIMIZED:
            return screen.cy + 8;
        case SM_CXMINIMIZED:
            return 160;
        case SM_CYMINIMIZED:
            return 24;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
        case SM_CXDRAG:
        case SM_CYDRAG:
            return 4;
        case SM_CXICONSPACING:
        case SM_CYICONSPACING:
            return 75;
        case SM_CXMENUCHECK:
        case SM_CYMENUCHECK:
            return 13;
        case SM_MOUSEWHEELPRESENT:
        case SM_CMONITORS:
            return 1;
        default:
            return 0;
    }
}

BOOL SystemParametersInfoA(UINT action, UINT, void* pvParam, UINT) {
    if (pvParam == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    switch (action) {
        case SPI_GETWORKAREA: {
            const RECT all{0, 0, screen.cx, screen.cy};
            RECT r;
            *static_cast<RECT*>(pvParam) = IntersectRect(&r, &workArea, &all) ? r : all;
            return TRUE;
        }
        case SPI_GETNONCLIENTMETRICS: {
            auto* m = static_cast<NONCLIENTMETRICSA*>(pvParam);
            if (m->cbSize < sizeof(NONCLIENTMETRICSA)) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            m->iBorderWidth = 1;
            m->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
            m->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
            m->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
            m->iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
            m->lfCaptionFont = UiFont(11, 700);
            m->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
            m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
            m->lfSmCaptionFont = UiFont(11, 700);
            m->iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
            m->iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
            m->lfMenuFont = UiFont(11, 400);
            m->lfStatusFont = UiFont(11, 400);
            m->lfMessageFont = UiFont(11, 400);
            return TRUE;
        }
        case SPI_GETTOOLTIPANIMATION:
        case SPI_GETTOOLTIPFADE:
        case SPI_GETMENUANIMATION:
        case SPI_GETCOMBOBOXANIMATION:
        case SPI_GETDRAGFULLWINDOWS:
            *static_cast<BOOL*>(pvParam) = action == SPI_GETDRAGFULLWINDOWS;
            return TRUE;
        case SPI_GETFLATMENU:
        case SPI_GETKEYBOARDCUES:
            *static_cast<BOOL*>(pvParam) = FALSE;
            return TRUE;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
    }
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
    if (flags == MONITOR_DEFAULTTONULL) {
        RECT r;
        detail::Window* w = detail::Peek(hwnd);
        if (w == nullptr) return nullptr;
        r = detail::ScreenRect(w);
        return MonitorFromRect(&r, flags);
    }
    return kMonitor;
}

HMONITOR MonitorFromPoint(POINT pt, DWORD flags) {
    bool inside = pt.x >= 0 && pt.y >= 0 && pt.x < screen.cx && pt.y < screen.cy;
    return inside || flags != MONITOR_DEFAULTTONULL ? kMonitor : nullptr;
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
    if (rect == nullptr) return nullptr;
    RECT s{0, 0, screen.cx, screen.cy}, i;
    return IntersectRect(&i, rect, &s) || flags != MONITOR_DEFAULTTONULL ? kMonitor : nullptr;
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    if (monitor != kMonitor || info == nullptr || info->cbSize < sizeof(MONITORINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->rcMonitor = RECT{0, 0, screen.cx, screen.cy};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &info->rcWork, 0);
    info->dwFlags = MONITORINFOF_PRIMARY;
    return TRUE;
}

DWORD GetVersion() {
    return 0x1DB10106;
}  // 6.1, build 7601
BOOL IsThemeActive() {
    return FALSE;
}
LONG SetWindowTheme(HWND, const char16_t*, const char16_t*) {
    return 0;
}
LONG DwmIsCompositionEnabled(BOOL* enabled) {
    if (enabled) *enabled = FALSE;
    return 0;
}
BOOL IsWow64Process(HANDLE, BOOL* wow64) {
    if (wow64 == nullptr) return FALSE;
    *wow64 = FALSE;
    return TRUE;
}
HANDLE GetCurrentProcess() {
    return reinterpret_cast<HANDLE>(intptr_t(-1));
}

namespace {

void Broadcast(UINT msg, WPARAM wp, LPARAM lp) {
    std::vector<HWND> tops;
    for (detail::Window* t : detail::Desktop()->children)
        tops.push_back(t->handle);
    for (HWND h : tops)
        detail::Send(h, msg, wp, lp);
}

}  // namespace

void BroadcastSettingChange(UINT action) {
    Broadcast(WM_SETTINGCHANGE, action, 0);
}
void BroadcastSysColorChange() {
    Broadcast(WM_SYSCOLORCHANGE, 0, 0);
}

bool BroadcastQueryEndSession() {
    std::vector<HWND> tops;
    for (detail::Window* t : detail::Desktop()->children)
        tops.push_back(t->handle);
    bool all = true;
    for (HWND h : tops)
        if (detail::Peek(h) && !detail::Send(h, WM_QUERYENDSESSION, 0, 0)) all = false;
    return all;
}

void SetVirtualScreenSize(int width, int height) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return;
    screen = SIZE{width, height};
    win::SetScreenSize(width, height);
    FitDesktop();
    detail::ScreenResized();
}

SIZE ScreenSize() {
    return screen;
}

void SetWorkArea(const RECT& area) {
    workArea = area;
}

namespace detail {

void EnsureScreen() {
    Window* d = Desktop();
    if (d->rect.right == 0) {
        win::SetScreenSize(screen.cx, screen.cy);
        FitDesktop();
    }
}

HFONT NonClientFont(NcFont which) {
    static HFONT fonts[3] = {nullptr, nullptr, nullptr};
    HFONT& f = fonts[int(which)];
    if (f == nullptr) {
        NONCLIENTMETRICSA m;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
        LOGFONTA lf = which == NcFont::Caption ? m.lfCaptionFont : m.lfMenuFont;
        if (which == NcFont::MenuBold) lf.lfWeight = FW_BOLD;
        f = CreateFontIndirect(&lf);
    }
    return f;
}

void ResetScreen() {
    screen = SIZE{1280, 800};
    workArea = RECT{};
    win::SetScreenSize(screen.cx, screen.cy);
    FitDesktop();
}

}  // namespace detail
}  // namespace win
