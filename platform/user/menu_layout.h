// Where menu items go: the rows of a menu bar and the columns of a popup.
#pragma once

#include <string>
#include <vector>

#include "platform/user/menus.h"

namespace win::detail {

// Width of an item's text in the menu font (the part before a tab, "&" prefixes not counted).
int MenuTextWidth(const std::string& text);
// Lays the items of a menu bar out in rows of the given width, storing each item's rectangle
// relative to the bar's top-left; answers the number of rows (at least 1 with items).
int LayoutMenuBar(std::vector<MenuItem>& items, int width);

}  // namespace win::detail
