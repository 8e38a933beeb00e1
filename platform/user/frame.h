// The default non-client area: its layout from the styles, hit testing and classic painting.
//
// Layout, outside in: the frame (SM_CXFRAME with WS_THICKFRAME; SM_CXFIXEDFRAME for a dialog
// frame or a caption; SM_CXBORDER for a plain border), the caption (SM_CYCAPTION, SM_CYSMCAPTION
// for tool windows), the menu bar (n rows: n x (SM_CYMENU - 1) + 1), the client edge (SM_CXEDGE)
// and the scroll bars (SM_CXVSCROLL, SM_CYHSCROLL). Every number comes from GetSystemMetrics, so
// code that derives the layout from the metrics agrees with it exactly.
#pragma once

#include "platform/user/win_types.h"

namespace win::detail {

struct Window;

// The frame thickness alone.
int FrameBorder(DWORD style, DWORD exStyle);
// Distances from the window edges to the client area for `menuRows` rows of menu bar.
RECT FrameInsets(DWORD style, DWORD exStyle, int menuRows);

// Parts of the non-client area in window coordinates (origin at the window's top-left).
struct FrameLayout {
    int border = 0;
    RECT caption;                            // empty without a caption
    RECT sysIcon;                            // empty without a system menu icon
    RECT closeBox, maxBox, minBox, helpBox;  // empty when absent
    RECT menuBar;                            // empty without a menu
    RECT vscroll, hscroll, sizeBox;          // empty when absent
    RECT client;
};
// The layout the styles alone give: what the default WM_NCCALCSIZE and AdjustWindowRectEx use.
FrameLayout LayoutFrameFromStyles(const Window* w);
// The layout of an existing window: caption and menu bar from the styles, the client area as its
// own WM_NCCALCSIZE answered it, the standard bars placed beside that client area (the vertical
// one outward from its right edge, or its left edge with WS_EX_LEFTSCROLLBAR; the horizontal one
// under its bottom edge; the size box where they meet), cut to the area inside the frame border.
// A bar a subclass left no room for is empty and gets no hit code.
FrameLayout LayoutFrame(const Window* w);

}  // namespace win::detail
