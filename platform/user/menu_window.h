// The window that shows a pop-up menu: class "#32768" (atom 0x8000), made by atom so that a CBT
// hook sees the atom in CREATESTRUCT::lpszClass. A three-pixel raised frame with the client area
// at (3, 3) holds the items; the window never takes activation, and MN_GETHMENU answers its menu.
// The menu loop (menu_tracking.cpp) creates, moves and destroys these windows.
#pragma once

#include "platform/user/menus.h"

namespace win::detail {

LRESULT MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Makes the window of `m` (already laid out, `client` its client size) with its top-left at
// `at`, shows it above everything without activating it and paints it; nullptr on failure.
HWND ShowPopupWindow(Menu* m, HWND owner, POINT at, SIZE client);
// The window size for a client size.
SIZE PopupWindowSize(SIZE client);

}  // namespace win::detail
