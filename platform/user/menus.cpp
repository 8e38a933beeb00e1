// Menu objects and their items.
#include "platform/user/menus.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/os/cp_literal.h"
#include "platform/user/frame.h"
#include "platform/user/internal.h"
#include "platform/user/menu_layout.h"
#include "platform/user/message_queue.h"
#include "platform/user/styles.h"
#include "platform/user/window_pos.h"

namespace win {
namespace detail {

namespace {

struct MenuTable {
    std::map<uintptr_t, std::unique_ptr<Menu>> menus;
    uintptr_t next = 0x4000010;
};

MenuTable& Table() {
    static MenuTable t;
    return t;
}

Menu* NewMenu(bool popup) {
    auto& t = Table();
    auto m = std::make_unique<Menu>();
    m->handle = reinterpret_cast<HMENU>(t.next);
    t.next += 0x10;
    m->popup = popup;
    Menu* raw = m.get();
    t.menus.emplace(reinterpret_cast<uintptr_t>(raw->handle), std::move(m));
    return raw;
}

// The item an MF_BYPOSITION/MF_BYCOMMAND reference names, searching submenus by command.
struct ItemRef {
    Menu* menu = nullptr;
    size_t index = 0;
    MenuItem* item() const { return menu ? &menu->items[index] : nullptr; }
};

ItemRef Locate(Menu* m, UINT item, bool byPosition, int depth = 0) {
    if (m == nullptr || depth > 16) return {};
    if (byPosition) return item < m->items.size() ? ItemRef{m, item} : ItemRef{};
    for (size_t i = 0; i < m->items.size(); ++i) {
        auto& it = m->items[i];
        if (it.sub == nullptr && it.id == item) return {m, i};
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        auto& it = m->items[i];
        if (it.sub != nullptr) {
            if (ItemRef r = Locate(FindMenu(it.sub), item, false, depth + 1); r.menu) return r;
            if (reinterpret_cast<UINT_PTR>(it.sub) == item) return {m, i};
        }
    }
    return {};
}

// An item from the AppendMenu-style flags and arguments.
bool ItemFromFlags(UINT flags, UINT_PTR item, const char* content, MenuItem* out) {
    MenuItem it;
    it.type = flags & (MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_OWNERDRAW | MFT_SEPARATOR |
                       MFT_RIGHTJUSTIFY | MFT_BITMAP);
    it.state = flags & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
    if (flags & MF_POPUP) {
        it.sub = reinterpret_cast<HMENU>(item);
        if (FindMenu(it.sub) == nullptr) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return false;
        }
        it.id = UINT(item);
    } else {
        it.id = UINT(item);
    }
    if (flags & MF_OWNERDRAW) {
        it.data = reinterpret_cast<ULONG_PTR>(content);
    } else if (flags & MF_BITMAP) {
        it.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(content));
    } else if (!(flags & MF_SEPARATOR) && content && !IS_INTRESOURCE(content)) {
        it.text = content;
    }
    *out = std::move(it);
    return true;
}

}  // namespace

void MenuChanged(Menu* m) {
    if (m == nullptr) return;
    m->laidOutWidth = -1;
    for (MenuItem& it : m->items)
        it.measured = false;
}

Menu* FindMenu(HMENU menu) {
    auto& t = Table();
    auto it = t.menus.find(reinterpret_cast<uintptr_t>(menu));
    return it == t.menus.end() ? nullptr : it->second.get();
}

bool IsSystemMenu(HMENU menu) {
    Menu* m = FindMenu(menu);
    return m && m->system;
}

int MenuBarRows(HWND hwnd, int windowWidth) {
    Window* w = Peek(hwnd);
    if (w == nullptr || w->IsChild() || w->menu == nullptr) return 0;
    Menu* m = FindMenu(w->menu);
    if (m == nullptr) return 0;
    return LayoutMenuBar(m, windowWidth - 2 * FrameBorder(w->style, w->exStyle), hwnd);
}

void ClearMenus() {
    Table().menus.clear();
}

}  // namespace detail

using detail::FindMenu;
using detail::Menu;
using detail::MenuItem;

HMENU CreateMenu() {
    return detail::NewMenu(false)->handle;
}
HMENU CreatePopupMenu() {
    return detail::NewMenu(true)->handle;
}

BOOL DestroyMenu(HMENU menu) {
    Menu* m = FindMenu(menu);
    if (m == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    auto items = std::move(m->items);
    detail::Table().menus.erase(reinterpret_cast<uintptr_t>(menu));
    for (auto& it : items)
        if (it.sub) DestroyMenu(it.sub);
    for (detail::Window* w : detail::AllWindows()) {
        if (w->menu == menu && !w->IsChild()) w->menu = nullptr;
        if (w->sysMenu == menu) w->sysMenu = nullptr;
    }
    return TRUE;
}

BOOL IsMenu(HMENU menu) {
    return FindMenu(menu) ? TRUE : FALSE;
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR item, const char* content) {
    Menu* m = FindMenu(menu);
    if (m == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    MenuItem it;
    if (!detail::ItemFromFlags(flags, item, content, &it)) return FALSE;
    Menu* target = m;
    size_t index = m->items.size();
    if (position != UINT(-1)) {
        if (flags & MF_BYPOSITION) {
            index = std::min<size_t>(position, m->items.size());
        } else if (auto ref = detail::Locate(m, position, false); ref.menu) {
            target = ref.menu;
            index = ref.index;
        }
    }
    target->items.insert(target->items.begin() + std::ptrdiff_t(index), std::move(it));
    detail::MenuChanged(target);
    return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR item, const char* content) {
    return InsertMenuA(menu, UINT(-1), flags | MF_BYPOSITION, item, content);
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR item, const char* content) {
    auto ref = detail::Locate(FindMenu(menu), position, (flags & MF_BYPOSITION) != 0);
    if (!ref.menu) return FALSE;
    MenuItem it;
    if (!detail::ItemFromFlags(flags, item, content, &it)) return FALSE;
    MenuItem* old = ref.item();
    if (old->sub && old->sub != it.sub) DestroyMenu(old->sub);
    it.data = (flags & MF_OWNERDRAW) ? it.data : old->data;
    *old = std::move(it);
    detail::MenuChanged(ref.menu);
    return TRUE;
}

namespace {

void ApplyInfo(MenuItem& it, const MENUITEMINFOA& info) {
    if (info.fMask & MIIM_FTYPE) it.type = info.fType;
    if (info.fMask & MIIM_TYPE) {
        it.type = info.fType;
        if (!(info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)))
            it.text = info.dwTypeData ? info.dwTypeData : "";
        if (info.fType & MFT_BITMAP) it.bitmap = reinterpret_cast<HBITMAP>(info.dwTypeData);
    }
    if (info.fMask & MIIM_STRING) it.text = info.dwTypeData ? info.dwTypeData : "";
    if (info.fMask & MIIM_STATE) it.state = info.fState;
    if (info.fMask & MIIM_ID) it.id = info.wID;
    if (info.fMask & MIIM_SUBMENU) it.sub = info.hSubMenu;
    if (info.fMask & MIIM_DATA) it.data = info.dwItemData;
    if (info.fMask & MIIM_BITMAP) it.bitmap = info.hbmpItem;
    if (info.fMask & MIIM_CHECKMARKS) {
        it.checked = info.hbmpChecked;
        it.unchecked = info.hbmpUnchecked;
    }
}

}  // namespace

BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || info == nullptr) {
        SetLastError(m ? ERROR_INVALID_PARAMETER : ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && !FindMenu(info->hSubMenu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    MenuItem it;
    ApplyInfo(it, *info);
    Menu* target = m;
    size_t index = m->items.size();
    if (byPosition) {
        index = std::min<size_t>(item, m->items.size());
    } else if (auto ref = detail::Locate(m, item, false); ref.menu) {
        target = ref.menu;
        index = ref.index;
    }
    target->items.insert(target->items.begin() + std::ptrdiff_t(index), std::move(it));
    detail::MenuChanged(target);
    return TRUE;
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info) {
    if (info == nullptr) return FALSE;
    auto ref = detail::Locate(FindMenu(menu), item, byPosition != 0);
    if (!ref.menu) return FALSE;
    const MenuItem& it = *ref.item();
    if (info->fMask & (MIIM_FTYPE | MIIM_TYPE)) info->fType = it.type;
    if (info->fMask & MIIM_STATE) info->fState = it.state;
    if (info->fMask & MIIM_ID) info->wID = it.id;
    if (info->fMask & MIIM_SUBMENU) info->hSubMenu = it.sub;
    if (info->fMask & MIIM_DATA) info->dwItemData = it.data;
    if (info->fMask & MIIM_BITMAP) info->hbmpItem = it.bitmap;
    if (info->fMask & MIIM_CHECKMARKS) {
        info->hbmpChecked = it.checked;
        info->hbmpUnchecked = it.unchecked;
    }
    if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
        bool textual = !(it.type & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW));
        if (info->dwTypeData != nullptr && info->cch > 0 && textual) {
            size_t n = std::min<size_t>(it.text.size(), info->cch - 1);
            std::memcpy(info->dwTypeData, it.text.data(), n);
            info->dwTypeData[n] = '\0';
            info->cch = UINT(n);
        } else {
            info->cch = textual ? UINT(it.text.size()) : 0;
        }
    }
    return TRUE;
}

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info) {
    if (info == nullptr) return FALSE;
    auto ref = detail::Locate(FindMenu(menu), item, byPosition != 0);
    if (!ref.menu) return FALSE;
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && !FindMenu(info->hSubMenu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    ApplyInfo(*ref.item(), *info);
    detail::MenuChanged(ref.menu);
    return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    auto ref = detail::Locate(FindMenu(menu), position, (flags & MF_BYPOSITION) != 0);
    if (!ref.menu) return FALSE;
    ref.menu->items.erase(ref.menu->items.begin() + std::ptrdiff_t(ref.index));
    detail::MenuChanged(ref.menu);
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    auto ref = detail::Locate(FindMenu(menu), position, (flags & MF_BYPOSITION) != 0);
    if (!ref.menu) return FALSE;
    HMENU sub = ref.item()->sub;
    ref.menu->items.erase(ref.menu->items.begin() + std::ptrdiff_t(ref.index));
    detail::MenuChanged(ref.menu);
    if (sub) DestroyMenu(sub);
    return TRUE;
}

int EnableMenuItem(HMENU menu, UINT item, UINT flags) {
    auto ref = detail::Locate(FindMenu(menu), item, (flags & MF_BYPOSITION) != 0);
    if (!ref.menu) return -1;
    MenuItem& it = *ref.item();
    int old = int(it.state & MFS_GRAYED);
    it.state = (it.state & ~MFS_GRAYED) | (flags & (MF_GRAYED | MF_DISABLED));
    return old;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
    auto ref = detail::Locate(FindMenu(menu), item, (flags & MF_BYPOSITION) != 0);
    if (!ref.menu) return DWORD(-1);
    MenuItem& it = *ref.item();
    DWORD old = it.state & MFS_CHECKED;
    it.state = (it.state & ~MFS_CHECKED) | (flags & MF_CHECKED);
    return old;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
    Menu* m = FindMenu(menu);
    if (m == nullptr) return FALSE;
    bool byPos = (flags & MF_BYPOSITION) != 0;
    bool found = false;
    for (size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& it = m->items[i];
        UINT key = byPos ? UINT(i) : it.id;
        if (key < first || key > last || it.sub) continue;
        if (key == check) {
            it.state |= MFS_CHECKED;
            it.type |= MFT_RADIOCHECK;
            found = true;
        } else {
            it.state &= ~MFS_CHECKED;
        }
    }
    return found;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    auto ref = detail::Locate(FindMenu(menu), item, (flags & MF_BYPOSITION) != 0);
    if (!ref.menu) return UINT(-1);
    const MenuItem& it = *ref.item();
    UINT s = it.type | it.state;
    if (it.sub) {
        Menu* sub = FindMenu(it.sub);
        s = (sub ? UINT(sub->items.size()) << 8 : 0) | (s & 0xFF) | MF_POPUP;
    }
    return s;
}

int GetMenuItemCount(HMENU menu) {
    Menu* m = FindMenu(menu);
    if (m == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return int(m->items.size());
}

UINT GetMenuItemID(HMENU menu, int position) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || position < 0 || size_t(position) >= m->items.size()) return UINT(-1);
    const MenuItem& it = m->items[size_t(position)];
    return it.sub ? UINT(-1) : it.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || position < 0 || size_t(position) >= m->items.size()) return nullptr;
    return m->items[size_t(position)].sub;
}

int GetMenuStringA(HMENU menu, UINT item, char* buffer, int size, UINT flags) {
    auto ref = detail::Locate(FindMenu(menu), item, (flags & MF_BYPOSITION) != 0);
    if (!ref.menu) return 0;
    const std::string& t = ref.item()->text;
    if (buffer == nullptr || size <= 0) return int(t.size());
    int n = std::min<int>(int(t.size()), size - 1);
    std::memcpy(buffer, t.data(), size_t(n));
    buffer[n] = '\0';
    return n;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
    Menu* m = FindMenu(menu);
    if (m == nullptr) return FALSE;
    for (auto& it : m->items)
        it.state &= ~MFS_DEFAULT;
    detail::MenuChanged(m);
    if (item == UINT(-1)) return TRUE;
    auto ref = detail::Locate(m, item, byPosition != 0);
    if (!ref.menu || ref.menu != m) return FALSE;
    ref.item()->state |= MFS_DEFAULT;
    detail::MenuChanged(m);
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT) {
    Menu* m = FindMenu(menu);
    if (m == nullptr) return UINT(-1);
    for (size_t i = 0; i < m->items.size(); ++i)
        if (m->items[i].state & MFS_DEFAULT) return byPosition ? UINT(i) : m->items[i].id;
    return UINT(-1);
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
    detail::Window* w = detail::Find(hwnd);
    if (w == nullptr || w->IsChild()) return FALSE;
    if (menu != nullptr && FindMenu(menu) == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    w->menu = menu;
    detail::MenuChanged(FindMenu(menu));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

HMENU GetMenu(HWND hwnd) {
    detail::Window* w = detail::Find(hwnd);
    return w && !w->IsChild() ? w->menu : nullptr;
}

BOOL DrawMenuBar(HWND hwnd) {
    detail::Window* w = detail::Find(hwnd);
    if (w == nullptr || w->IsChild()) return FALSE;
    // The rows may change with the items: lay the frame out again and repaint it.
    detail::MenuChanged(FindMenu(w->menu));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT position, RECT* rect) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || rect == nullptr || position >= m->items.size()) return FALSE;
    if (detail::Window* popup = detail::Peek(m->window)) {
        RECT r = m->items[position].rect;
        RECT c = detail::ScreenClientRect(popup);
        OffsetRect(&r, c.left, c.top);
        *rect = r;
        return TRUE;
    }
    detail::Window* w = hwnd ? detail::Find(hwnd) : nullptr;
    if (hwnd == nullptr) {
        for (detail::Window* c : detail::AllWindows())
            if (c->menu == menu && !c->IsChild()) w = c;
    }
    if (w == nullptr || w->IsChild() || w->menu != menu) return FALSE;
    detail::FrameLayout f = detail::LayoutFrame(w);  // brings the item rectangles up to date
    if (IsRectEmpty(&f.menuBar)) return FALSE;
    RECT r = m->items[position].rect, wr = detail::ScreenRect(w);
    OffsetRect(&r, wr.left + f.menuBar.left, wr.top + f.menuBar.top);
    *rect = r;
    return TRUE;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
    detail::Window* w = detail::Find(hwnd);
    if (w == nullptr) return nullptr;
    if (revert) {
        if (w->sysMenu) DestroyMenu(w->sysMenu);
        w->sysMenu = nullptr;
        return nullptr;
    }
    if (w->sysMenu == nullptr) {
        Menu* m = detail::NewMenu(true);
        m->system = true;
        HMENU h = m->handle;
        AppendMenuA(h, MF_STRING, SC_RESTORE, "&Восстановить"_cp);
        AppendMenuA(h, MF_STRING, SC_MOVE, "&Переместить"_cp);
        AppendMenuA(h, MF_STRING, SC_SIZE, "Р&азмер"_cp);
        AppendMenuA(h, MF_STRING, SC_MINIMIZE, "&Свернуть"_cp);
        AppendMenuA(h, MF_STRING, SC_MAXIMIZE, "Р&азвернуть"_cp);
        AppendMenuA(h, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(h, MF_STRING, SC_CLOSE, "&Закрыть\tAlt+F4"_cp);
        SetMenuDefaultItem(h, SC_CLOSE, FALSE);
        w->sysMenu = h;
    }
    return w->sysMenu;
}

}  // namespace win
