// Screen metrics, system parameters and the one monitor of the virtual screen.
//
// The numbers are those of the classic look at 96 dots per inch. The screen is 1280x800 unless
// a presenter or test sets another size; the work area is the whole screen.
#pragma once

#include <string>

#include "platform/gdi/font.h"
#include "platform/user/win_types.h"

namespace win {

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CXFIXEDFRAME = 7;
inline constexpr int SM_CYFIXEDFRAME = 8;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_SWAPBUTTON = 23;
inline constexpr int SM_CXMIN = 28;
inline constexpr int SM_CYMIN = 29;
inline constexpr int SM_CXSIZE = 30;
inline constexpr int SM_CYSIZE = 31;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CXSIZEFRAME = 32;
inline constexpr int SM_CYSIZEFRAME = 33;
inline constexpr int SM_CXMINTRACK = 34;
inline constexpr int SM_CYMINTRACK = 35;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXICONSPACING = 38;
inline constexpr int SM_CYICONSPACING = 39;
inline constexpr int SM_MENUDROPALIGNMENT = 40;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
inline constexpr int SM_CYSMCAPTION = 51;
inline constexpr int SM_CXSMSIZE = 52;
inline constexpr int SM_CYSMSIZE = 53;
inline constexpr int SM_CXMENUSIZE = 54;
inline constexpr int SM_CYMENUSIZE = 55;
inline constexpr int SM_CXMINIMIZED = 57;
inline constexpr int SM_CYMINIMIZED = 58;
inline constexpr int SM_CXMAXTRACK = 59;
inline constexpr int SM_CYMAXTRACK = 60;
inline constexpr int SM_CXMAXIMIZED = 61;
inline constexpr int SM_CYMAXIMIZED = 62;
inline constexpr int SM_CXDRAG = 68;
inline constexpr int SM_CYDRAG = 69;
inline constexpr int SM_CXMENUCHECK = 71;
inline constexpr int SM_CYMENUCHECK = 72;
inline constexpr int SM_MOUSEWHEELPRESENT = 75;
inline constexpr int SM_XVIRTUALSCREEN = 76;
inline constexpr int SM_YVIRTUALSCREEN = 77;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;
inline constexpr int SM_CMONITORS = 80;
inline constexpr int SM_REMOTESESSION = 0x1000;

int GetSystemMetrics(int index);

inline constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
inline constexpr UINT SPI_GETWORKAREA = 0x0030;
inline constexpr UINT SPI_GETTOOLTIPANIMATION = 0x1016;
inline constexpr UINT SPI_GETTOOLTIPFADE = 0x1018;
inline constexpr UINT SPI_GETDRAGFULLWINDOWS = 0x0026;
inline constexpr UINT SPI_GETMENUANIMATION = 0x1002;
inline constexpr UINT SPI_GETCOMBOBOXANIMATION = 0x1004;
inline constexpr UINT SPI_GETFLATMENU = 0x1022;
inline constexpr UINT SPI_GETKEYBOARDCUES = 0x100A;

struct NONCLIENTMETRICSA {
    UINT cbSize = sizeof(NONCLIENTMETRICSA);
    int iBorderWidth = 0;
    int iScrollWidth = 0;
    int iScrollHeight = 0;
    int iCaptionWidth = 0;
    int iCaptionHeight = 0;
    LOGFONTA lfCaptionFont;
    int iSmCaptionWidth = 0;
    int iSmCaptionHeight = 0;
    LOGFONTA lfSmCaptionFont;
    int iMenuWidth = 0;
    int iMenuHeight = 0;
    LOGFONTA lfMenuFont;
    LOGFONTA lfStatusFont;
    LOGFONTA lfMessageFont;
};

BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* pvParam, UINT winIni);
inline BOOL SystemParametersInfo(UINT a, UINT u, void* p, UINT w) {
    return SystemParametersInfoA(a, u, p, w);
}

inline constexpr DWORD MONITOR_DEFAULTTONULL = 0;
inline constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
inline constexpr DWORD MONITORINFOF_PRIMARY = 1;

struct MONITORINFO {
    DWORD cbSize = sizeof(MONITORINFO);
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags = 0;
};

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
HMONITOR MonitorFromPoint(POINT pt, DWORD flags);
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info);
inline BOOL GetMonitorInfo(HMONITOR m, MONITORINFO* i) {
    return GetMonitorInfoA(m, i);
}

// The platform questions the skin code asks. Version 6.1; no desktop composition, no visual
// themes, no 32-bit emulation.
DWORD GetVersion();
BOOL IsThemeActive();
LONG SetWindowTheme(HWND hwnd, const char16_t* subAppName, const char16_t* subIdList);
LONG DwmIsCompositionEnabled(BOOL* enabled);
BOOL IsWow64Process(HANDLE process, BOOL* wow64);
HANDLE GetCurrentProcess();
inline constexpr bool kLayeredWindowsAvailable = true;

// Test hooks: broadcast these to every top-level window.
void BroadcastSettingChange(UINT action);
void BroadcastSysColorChange();
// Asks every top-level window WM_QUERYENDSESSION; true when all agree.
bool BroadcastQueryEndSession();

// The size of the virtual screen (the drawing layer's screen size follows). Windows keep their
// places; maximised windows are not refitted.
void SetVirtualScreenSize(int width, int height);
SIZE ScreenSize();
// The part of the screen that maximised windows fill (a desktop's panels left out); an empty
// rectangle means the whole screen.
void SetWorkArea(const RECT& area);

namespace detail {
void ResetScreen();
// The fonts of the non-client metrics, made once and kept.
enum class NcFont { Caption, Menu, MenuBold };
HFONT NonClientFont(NcFont which);
}  // namespace detail

}  // namespace win
