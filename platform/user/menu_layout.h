// Where menu items go: the rows of a menu bar and the columns of a pop-up menu.
//
// Text items are measured in the menu font of the non-client metrics (bold for the default
// item); owner-drawn items are measured by their owner through WM_MEASUREITEM, once until the
// menu changes. In a pop-up, every item of a column is as wide as the column: a check-mark
// column, the label, the shortcut texts (after a tab) aligned in their own column, and room for
// the submenu arrow. Owner-drawn items get the check-mark width on top of what they asked for.
#pragma once

#include <string>
#include <string_view>

#include "platform/user/menus.h"

namespace win::detail {

// The label (before a tab) and the shortcut text (after it) of an item.
std::string_view ItemLabel(const MenuItem& item);
std::string_view ItemShortcut(const MenuItem& item);
// The mnemonic: the character after a single "&", upper-cased; 0 when there is none.
unsigned char Mnemonic(std::string_view label);

bool IsSeparator(const MenuItem& item);
bool IsOwnerDrawn(const MenuItem& item);
// Whether choosing the item does something: not a separator, a submenu or disabled.
bool IsCommand(const MenuItem& item);
bool IsDisabled(const MenuItem& item);

struct PopupMetrics {
    int checkColumn;  // left of the label
    int arrowColumn;  // right of the shortcut
    int shortcutGap;  // between label and shortcut
    int columnGap;    // between columns
    int itemHeight;
    int separatorHeight;
};
PopupMetrics GetPopupMetrics();

// Lays the items of a menu bar out in rows of the given width, storing each item's rectangle
// relative to the bar's top-left; answers the number of rows (at least 1 with items). `owner`
// measures owner-drawn items.
int LayoutMenuBar(Menu* m, int width, HWND owner);
// Lays a pop-up out, storing item rectangles in its client coordinates; answers the client size.
SIZE LayoutPopup(Menu* m, HWND owner);

}  // namespace win::detail
