// Scroll bars: the standard bars in the non-client area (WS_HSCROLL, WS_VSCROLL) and the
// "ScrollBar" control, with SCROLLINFO, dragging, arrows with auto-repeat and page clicks.
//
// A standard bar shows itself when SetScrollInfo (or SetScrollRange) gives it a range worth
// scrolling, and hides again when the page covers the range, unless SIF_DISABLENOSCROLL asks
// for it to stay, disabled. The control keeps its state itself and answers the SBM_ messages,
// which SetScrollInfo and the other calls send it for SB_CTL, so a subclass sees every change.
// Pressing a bar runs a modal loop: arrows and page areas scroll at once and repeat on a timer
// while held over them; the thumb sends SB_THUMBTRACK as it moves and SB_THUMBPOSITION when
// let go; every press ends with SB_ENDSCROLL. GetScrollBarInfo reports where a bar and its
// thumb lie and which of its parts are unavailable or held down.
#pragma once

#include "platform/user/win_types.h"

namespace win {

inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;
inline constexpr int SB_BOTH = 3;

inline constexpr WORD SB_LINEUP = 0;
inline constexpr WORD SB_LINELEFT = 0;
inline constexpr WORD SB_LINEDOWN = 1;
inline constexpr WORD SB_LINERIGHT = 1;
inline constexpr WORD SB_PAGEUP = 2;
inline constexpr WORD SB_PAGELEFT = 2;
inline constexpr WORD SB_PAGEDOWN = 3;
inline constexpr WORD SB_PAGERIGHT = 3;
inline constexpr WORD SB_THUMBPOSITION = 4;
inline constexpr WORD SB_THUMBTRACK = 5;
inline constexpr WORD SB_TOP = 6;
inline constexpr WORD SB_LEFT = 6;
inline constexpr WORD SB_BOTTOM = 7;
inline constexpr WORD SB_RIGHT = 7;
inline constexpr WORD SB_ENDSCROLL = 8;

inline constexpr UINT SIF_RANGE = 0x0001;
inline constexpr UINT SIF_PAGE = 0x0002;
inline constexpr UINT SIF_POS = 0x0004;
inline constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
inline constexpr UINT SIF_TRACKPOS = 0x0010;
inline constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

inline constexpr UINT ESB_ENABLE_BOTH = 0;
inline constexpr UINT ESB_DISABLE_LEFT = 1;
inline constexpr UINT ESB_DISABLE_UP = 1;
inline constexpr UINT ESB_DISABLE_RIGHT = 2;
inline constexpr UINT ESB_DISABLE_DOWN = 2;
inline constexpr UINT ESB_DISABLE_BOTH = 3;

// "ScrollBar" control styles.
inline constexpr DWORD SBS_HORZ = 0x0000;
inline constexpr DWORD SBS_VERT = 0x0001;
inline constexpr DWORD SBS_SIZEBOX = 0x0008;
inline constexpr DWORD SBS_SIZEGRIP = 0x0010;

inline constexpr UINT SBM_SETPOS = 0x00E0;
inline constexpr UINT SBM_GETPOS = 0x00E1;
inline constexpr UINT SBM_SETRANGE = 0x00E2;
inline constexpr UINT SBM_GETRANGE = 0x00E3;
inline constexpr UINT SBM_ENABLE_ARROWS = 0x00E4;
inline constexpr UINT SBM_SETRANGEREDRAW = 0x00E6;
inline constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
inline constexpr UINT SBM_GETSCROLLINFO = 0x00EA;

struct SCROLLINFO {
    UINT cbSize = sizeof(SCROLLINFO);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// GetScrollBarInfo: the objects asked for, and the states of rgstate (0 the bar, 1 the first
// arrow, 2 the page area before the thumb, 3 the thumb, 4 the page area after it, 5 the
// second arrow).
inline constexpr LONG OBJID_HSCROLL = -6;
inline constexpr LONG OBJID_VSCROLL = -5;
inline constexpr LONG OBJID_CLIENT = -4;
inline constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x0001;
inline constexpr DWORD STATE_SYSTEM_PRESSED = 0x0008;
inline constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x8000;
inline constexpr DWORD STATE_SYSTEM_OFFSCREEN = 0x10000;

struct SCROLLBARINFO {
    DWORD cbSize = sizeof(SCROLLBARINFO);
    RECT rcScrollBar{};   // screen coordinates
    int dxyLineButton = 0;
    int xyThumbTop = 0;     // from the bar's top (left) edge
    int xyThumbBottom = 0;
    int reserved = 0;
    DWORD rgstate[6] = {};
};
static_assert(sizeof(SCROLLBARINFO) == 60);

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
// OBJID_HSCROLL and OBJID_VSCROLL ask for a window's standard bars, OBJID_CLIENT for a
// "ScrollBar" control; FALSE for a wrong cbSize, object or window.
BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* info);

// The procedure of the "ScrollBar" class.
LRESULT ScrollBarWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

namespace detail {
struct Window;

struct ScrollBar {
    int min = 0, max = 100;
    UINT page = 0;
    int pos = 0, trackPos = 0;
    UINT disabled = 0;              // ESB_* arrows
    bool disabledForRange = false;  // by SIF_DISABLENOSCROLL, undone when the range is useful
    bool tracking = false;          // the thumb is being dragged
};

// The bars of a window: the two standard ones, or the one of a "ScrollBar" control.
struct ScrollBarState {
    ScrollBar horz, vert, ctl;
};

void ClampScrollBar(ScrollBar& b);
void ApplyScrollInfo(ScrollBar& b, const SCROLLINFO& info);
void ReadScrollInfo(const ScrollBar& b, SCROLLINFO& info);
bool IsScrollBarControl(HWND hwnd);

void InitFrameScrollBars(Window* w);
void FreeFrameScrollBars(Window* w);
// A press on a bar at a screen point: the modal tracking loop. `bar` is SB_HORZ or SB_VERT for
// a standard bar of `hwnd`, SB_CTL for a "ScrollBar" control.
void TrackScrollBar(HWND hwnd, int bar, POINT screen);
}  // namespace detail

}  // namespace win
