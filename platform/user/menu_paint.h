// Painting of menu items in the classic look: the items of a menu bar in the window frame and
// those of a pop-up menu window. The selected item is the one with MFS_HILITE. Owner-drawn
// items are painted by the menu's owner through WM_DRAWITEM, with a DC of the window that
// shows them (so WindowFromDC finds the pop-up window) and the item's rectangle in it.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/user/menus.h"

namespace win::detail {

struct Window;

// The menu bar band `bar` (window coordinates) on a window DC.
void PaintMenuBarItems(HDC dc, Window* w, const RECT& bar);
// Repaints only the given items of a window's menu bar at once (their selection changed):
// classic items on the menu colour, owner-drawn ones through WM_DRAWITEM alone.
void RedrawMenuBarItems(Window* w, const std::vector<size_t>& items);
// One item of a shown pop-up on a DC of its client area.
void PaintPopupItem(HDC dc, Menu* m, size_t index, UINT action);
// Repaints one item of a shown pop-up at once (its selection changed).
void RedrawPopupItem(Menu* m, size_t index);

}  // namespace win::detail
