// Menus: handles, items and their queries and edits, the menu bar of a window and the system
// menu. Item look-ups by command search submenus too. Each window gets its own copy of the
// system menu on the first GetSystemMenu; the copy stays when WS_SYSMENU is taken away.
#pragma once

#include <string>
#include <vector>

#include "platform/user/win_types.h"

namespace win {

inline constexpr UINT MF_INSERT = 0x0000;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_BITMAP = 0x0004;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_OWNERDRAW = 0x0100;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_DEFAULT = 0x1000;
inline constexpr UINT MF_SYSMENU = 0x2000;
inline constexpr UINT MF_RIGHTJUSTIFY = 0x4000;
inline constexpr UINT MF_MOUSESELECT = 0x8000;

inline constexpr UINT MFT_STRING = 0x0000;
inline constexpr UINT MFT_BITMAP = 0x0004;
inline constexpr UINT MFT_MENUBARBREAK = 0x0020;
inline constexpr UINT MFT_MENUBREAK = 0x0040;
inline constexpr UINT MFT_OWNERDRAW = 0x0100;
inline constexpr UINT MFT_RADIOCHECK = 0x0200;
inline constexpr UINT MFT_SEPARATOR = 0x0800;
inline constexpr UINT MFT_RIGHTORDER = 0x2000;
inline constexpr UINT MFT_RIGHTJUSTIFY = 0x4000;

inline constexpr UINT MFS_ENABLED = 0x0000;
inline constexpr UINT MFS_UNCHECKED = 0x0000;
inline constexpr UINT MFS_GRAYED = 0x0003;
inline constexpr UINT MFS_DISABLED = 0x0003;
inline constexpr UINT MFS_CHECKED = 0x0008;
inline constexpr UINT MFS_HILITE = 0x0080;
inline constexpr UINT MFS_DEFAULT = 0x1000;

inline constexpr UINT MIIM_STATE = 0x0001;
inline constexpr UINT MIIM_ID = 0x0002;
inline constexpr UINT MIIM_SUBMENU = 0x0004;
inline constexpr UINT MIIM_CHECKMARKS = 0x0008;
inline constexpr UINT MIIM_TYPE = 0x0010;
inline constexpr UINT MIIM_DATA = 0x0020;
inline constexpr UINT MIIM_STRING = 0x0040;
inline constexpr UINT MIIM_BITMAP = 0x0080;
inline constexpr UINT MIIM_FTYPE = 0x0100;

struct MENUITEMINFOA {
    UINT cbSize = sizeof(MENUITEMINFOA);
    UINT fMask = 0;
    UINT fType = 0;
    UINT fState = 0;
    UINT wID = 0;
    HMENU hSubMenu = nullptr;
    HBITMAP hbmpChecked = nullptr;
    HBITMAP hbmpUnchecked = nullptr;
    ULONG_PTR dwItemData = 0;
    char* dwTypeData = nullptr;
    UINT cch = 0;
    HBITMAP hbmpItem = nullptr;
};
using MENUITEMINFO = MENUITEMINFOA;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and its submenus.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// `item` is the command id, or the submenu handle with MF_POPUP; `content` the text, or the
// item data with MF_OWNERDRAW, or a bitmap with MF_BITMAP.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR item, const char* content);
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR item, const char* content);
BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR item, const char* content);
BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info);
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info);
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info);
inline BOOL AppendMenu(HMENU m, UINT f, UINT_PTR i, const char* c) {
    return AppendMenuA(m, f, i, c);
}
inline BOOL InsertMenu(HMENU m, UINT p, UINT f, UINT_PTR i, const char* c) {
    return InsertMenuA(m, p, f, i, c);
}
inline BOOL ModifyMenu(HMENU m, UINT p, UINT f, UINT_PTR i, const char* c) {
    return ModifyMenuA(m, p, f, i, c);
}
inline BOOL InsertMenuItem(HMENU m, UINT i, BOOL b, const MENUITEMINFOA* x) {
    return InsertMenuItemA(m, i, b, x);
}
inline BOOL GetMenuItemInfo(HMENU m, UINT i, BOOL b, MENUITEMINFOA* x) {
    return GetMenuItemInfoA(m, i, b, x);
}
inline BOOL SetMenuItemInfo(HMENU m, UINT i, BOOL b, const MENUITEMINFOA* x) {
    return SetMenuItemInfoA(m, i, b, x);
}
// RemoveMenu keeps a removed submenu alive; DeleteMenu destroys it.
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
// The previous state (MF_GRAYED/MF_DISABLED bits, MF_CHECKED), or -1 for a missing item.
int EnableMenuItem(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);
// The command id at a position; -1 for a submenu or a bad position.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuStringA(HMENU menu, UINT item, char* buffer, int size, UINT flags);
inline int GetMenuString(HMENU m, UINT i, char* b, int n, UINT f) {
    return GetMenuStringA(m, i, b, n, f);
}
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);

BOOL SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
// Lays the menu bar out again (its items may have changed) and repaints it.
BOOL DrawMenuBar(HWND hwnd);
// The window's own system menu; `revert` drops the window's copy (and answers nullptr).
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
// The screen rectangle of an item: of the menu bar of `hwnd`, or of a pop-up menu while it is
// shown (then `hwnd` may be nullptr). FALSE when the menu is not on the screen.
BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT position, RECT* rect);

inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RECURSE = 0x0001;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_HORIZONTAL = 0x0000;
inline constexpr UINT TPM_VERTICAL = 0x0040;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

// Shows a pop-up menu at a screen point and tracks it until an item is chosen or the menu is
// dismissed. The chosen command is posted to `owner` as WM_COMMAND (WM_SYSCOMMAND for a system
// menu), or with TPM_RETURNCMD answered instead (0 when nothing was chosen). The rectangle is
// not used. Fails while another menu is being tracked, unless TPM_RECURSE.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* rect);

namespace detail {

struct MenuItem {
    UINT type = 0;   // MFT_*
    UINT state = 0;  // MFS_*; MFS_HILITE marks the selected item while the menu is shown
    UINT id = 0;
    HMENU sub = nullptr;
    ULONG_PTR data = 0;
    std::string text;
    HBITMAP bitmap = nullptr;
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
    RECT rect;  // where the last layout put it: bar or pop-up client coordinates
    SIZE size;  // its measured size, kept until the menu changes
    bool measured = false;
};

struct Menu {
    HMENU handle = nullptr;
    bool popup = false;
    bool system = false;
    std::vector<MenuItem> items;
    // While shown as a pop-up: its window, and the window that owns the menu loop.
    HWND window = nullptr;
    HWND owner = nullptr;
    bool noAccel = false;   // opened by the mouse: mnemonics are not underlined
    int laidOutWidth = -1;  // the bar width of the last bar layout, -1 after a change
    int rows = 0;
};

Menu* FindMenu(HMENU menu);
bool IsSystemMenu(HMENU menu);
// Marks a menu changed: its items are measured again at the next layout.
void MenuChanged(Menu* m);
// Rows of the menu bar of a window for a window width; 0 without a menu.
int MenuBarRows(HWND hwnd, int windowWidth);
// The height of a menu bar of `rows` rows: rows of SM_CYMENU - 1 sharing the one line below
// them, so one row is SM_CYMENU high; 0 for none.
int MenuBarHeight(int rows);
void ClearMenus();

}  // namespace detail
}  // namespace win
