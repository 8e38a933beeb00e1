// The menu loop: pop-up menus shown by TrackPopupMenu, the menu bar and the system menu.
//
// One loop runs at a time (a nested TrackPopupMenu needs TPM_RECURSE). It keeps the stack of
// open pop-ups, root first, each with its "#32768" window; the selected item of each menu
// carries MFS_HILITE so that painting needs nothing else. The loop takes all mouse and
// keyboard input and dispatches everything else. A press outside every menu ends it: eaten
// while a pop-up is open, routed again to the window under it when only the bar was selected
// (after Esc, Alt or F10), so that the press still drags a caption. The owner hears, in
// order: WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP before each pop-up shows,
// WM_MENUSELECT as the selection moves, WM_ENTERIDLE when the loop waits, then WM_MENUSELECT
// with 0xFFFF and no menu, WM_EXITMENULOOP, and the chosen command posted as WM_COMMAND
// (WM_SYSCOMMAND from a system menu) unless TPM_RETURNCMD asked for it back.
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/os/clock.h"
#include "platform/os/cp1251.h"
#include "platform/user/focus.h"
#include "platform/user/frame.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/menu_layout.h"
#include "platform/user/menu_paint.h"
#include "platform/user/menu_window.h"
#include "platform/user/menus.h"
#include "platform/user/message_queue.h"
#include "platform/user/modal_loop.h"
#include "platform/user/nc_paint.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_class.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"

namespace win::detail {
namespace {

struct Level {
    HMENU menu = nullptr;
    HWND window = nullptr;
    int selected = -1;
};

class MenuLoop;
MenuLoop* running = nullptr;

class MenuLoop {
public:
    MenuLoop(HWND owner, UINT flags, bool mouse) : owner_(owner), flags_(flags), mouse_(mouse) {
        outer_ = running;
        running = this;
    }
    ~MenuLoop() { running = outer_; }
    MenuLoop(const MenuLoop&) = delete;
    MenuLoop& operator=(const MenuLoop&) = delete;

    // TrackPopupMenu and the system menu: a pop-up at a screen point.
    bool RunPopup(HMENU menu, POINT at, bool api, const RECT* sysIcon);
    // The menu bar of the owner; `key` and `mouse` as for TrackMenuBar.
    void RunBar(UINT key);

    UINT chosen() const { return chosen_; }

private:
    void Notify(UINT msg, WPARAM wp, LPARAM lp) {
        if (!(flags_ & TPM_NONOTIFY) && Peek(owner_)) Send(owner_, msg, wp, lp);
    }
    bool IsSystem(HMENU menu) const { return system_ || IsSystemMenu(menu); }
    bool OwnerAlive() const { return Peek(owner_) != nullptr; }
    Menu* MenuAt(size_t level) const {
        return level < levels_.size() ? FindMenu(levels_[level].menu) : nullptr;
    }
    MenuItem* ItemAt(size_t level, int index) const {
        Menu* m = MenuAt(level);
        return m && index >= 0 && size_t(index) < m->items.size() ? &m->items[size_t(index)]
                                                                  : nullptr;
    }

    // Opens `menu` as the next level; `place` gives the window's top-left for its size.
    bool Open(HMENU menu, int indexInParent, const std::function<POINT(SIZE)>& place);
    void OpenSubmenu(size_t level, int index, bool selectFirst);
    void OpenBarPopup(bool selectFirst);
    void CloseAbove(size_t keep);
    void Select(size_t level, int index);
    void SelectBar(int index);
    // The bar's highlight on `index` alone (-1: none); only the items it changed repaint.
    void HiliteBar(int index);
    // Repaints these bar items (a highlight or the pressed look changed); the rest of the bar,
    // which a skin may have painted, is left alone.
    void RepaintBarItems(const std::vector<size_t>& items) {
        if (Window* w = Peek(owner_)) RedrawMenuBarItems(w, items);
    }
    void RepaintSelectedBarItem() {
        if (barSel_ >= 0) RepaintBarItems({size_t(barSel_)});
    }
    void NotifySelect(HMENU menu, int index);
    void Choose(size_t level, int index);
    void ChooseItem(const MenuItem& it, HMENU menu);
    void MoveSelection(size_t level, int step);
    // The next bar item (`step` +1 or -1, wrapping), its pop-up open when one was.
    void StepBar(int step);
    void Finish(bool api);

    bool Input(const MSG& m);
    void OnMove(POINT pt);
    void OnDown(POINT pt, MouseButton button);
    void OnUp(POINT pt, bool right);
    void OnKey(UINT vk, const MSG& m);
    void OnChar(unsigned char ch);
    void Idle();

    // Which open pop-up and item lie under a screen point (-1 where none).
    std::pair<int, int> PopupAt(POINT pt) const;
    int BarItemAt(POINT pt) const;
    RECT BarItemRect(int index) const;

    HWND owner_;
    UINT flags_;
    bool mouse_;
    MenuLoop* outer_ = nullptr;
    HMENU bar_ = nullptr;
    int barSel_ = -1;
    bool system_ = false;  // the root pop-up is a system menu
    std::vector<Level> levels_;
    HWND capture_ = nullptr;
    bool ended_ = false;
    bool busy_ = true;  // something happened since the loop last went idle
    UINT chosen_ = 0;
    HMENU chosenMenu_ = nullptr;
    POINT chosenAt_;
    MouseButton repeatPress_ = MouseButton::None;  // a press to route again once the loop ends
    POINT repeatAt_{};
    RECT sysIcon_{};  // the caption icon that opened a system menu
    uint32_t openedAt_ = 0;
};

// --- opening and closing ---

POINT Clamped(POINT p, SIZE size) {
    SIZE screen = ScreenSize();
    p.x = std::max<LONG>(0, std::min<LONG>(p.x, screen.cx - size.cx));
    p.y = std::max<LONG>(0, std::min<LONG>(p.y, screen.cy - size.cy));
    return p;
}

bool MenuLoop::Open(HMENU menu, int indexInParent, const std::function<POINT(SIZE)>& place) {
    if (menu == bar_) return false;
    for (const Level& l : levels_)
        if (l.menu == menu) return false;  // a menu inside itself
    Notify(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
           MAKELPARAM(indexInParent, IsSystem(menu) ? 1 : 0));
    Menu* m = FindMenu(menu);
    if (m == nullptr || m->items.empty() || !OwnerAlive() || ended_) return false;
    for (MenuItem& it : m->items)
        it.state &= ~MFS_HILITE;
    m->owner = owner_;
    m->noAccel = mouse_;
    SIZE client = LayoutPopup(m, owner_);
    if ((m = FindMenu(menu)) == nullptr || !OwnerAlive()) return false;
    SIZE size = PopupWindowSize(client);
    HWND window = ShowPopupWindow(m, owner_, Clamped(place(size), size), client);
    if (window == nullptr || ended_ || !OwnerAlive()) {
        if (window) DestroyWindow(window);
        return false;
    }
    levels_.push_back(Level{menu, window, -1});
    busy_ = true;
    return true;
}

void MenuLoop::OpenSubmenu(size_t level, int index, bool selectFirst) {
    MenuItem* it = ItemAt(level, index);
    if (it == nullptr || it->sub == nullptr || IsDisabled(*it)) return;
    CloseAbove(level + 1);
    Window* parent = Peek(levels_[level].window);
    if (parent == nullptr) return;
    RECT item = it->rect;
    RECT client = ScreenClientRect(parent), frame = ScreenRect(parent);
    OffsetRect(&item, client.left, client.top);
    int border = client.left - frame.left;
    // Right of the parent, its first item level with the item that opened it; on the left
    // when it does not fit.
    auto place = [&](SIZE size) {
        POINT at{frame.right - border, item.top - border};
        if (at.x + size.cx > ScreenSize().cx) at.x = frame.left + border - size.cx;
        return at;
    };
    if (Open(it->sub, index, place) && selectFirst) MoveSelection(levels_.size() - 1, 1);
}

void MenuLoop::OpenBarPopup(bool selectFirst) {
    Menu* bar = FindMenu(bar_);
    if (bar == nullptr || barSel_ < 0 || size_t(barSel_) >= bar->items.size()) return;
    MenuItem& it = bar->items[size_t(barSel_)];
    if (it.sub == nullptr || IsDisabled(it)) return;
    CloseAbove(0);
    RECT r = BarItemRect(barSel_);
    // Below the item, or above it when it does not fit.
    auto place = [&](SIZE size) {
        POINT at{r.left, r.bottom};
        if (at.y + size.cy > ScreenSize().cy) at.y = r.top - size.cy;
        return at;
    };
    bool opened = Open(it.sub, barSel_, place);
    RepaintSelectedBarItem();  // shows it pressed
    if (opened && selectFirst) MoveSelection(0, 1);
}

void MenuLoop::CloseAbove(size_t keep) {
    const bool barPopupCloses = keep == 0 && !levels_.empty();
    while (levels_.size() > keep) {
        Level l = levels_.back();
        levels_.pop_back();
        if (Menu* m = FindMenu(l.menu)) {
            for (MenuItem& it : m->items)
                it.state &= ~MFS_HILITE;
            if (m->window == l.window) m->window = nullptr;
        }
        if (Peek(l.window)) DestroyWindow(l.window);
        busy_ = true;
    }
    if (barPopupCloses && bar_) RepaintSelectedBarItem();  // no longer pressed
}

// --- selection ---

void MenuLoop::NotifySelect(HMENU menu, int index) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || index < 0 || size_t(index) >= m->items.size()) return;
    const MenuItem& it = m->items[size_t(index)];
    UINT flags = (it.state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) | MF_HILITE;
    if (it.sub) flags |= MF_POPUP;
    if (IsOwnerDrawn(it)) flags |= MF_OWNERDRAW;
    if (IsSeparator(it)) flags |= MF_SEPARATOR;
    if (mouse_) flags |= MF_MOUSESELECT;
    if (IsSystem(menu)) flags |= MF_SYSMENU;
    UINT id = it.sub ? UINT(index) : it.id;
    Notify(WM_MENUSELECT, MAKEWPARAM(int(id), int(flags)), reinterpret_cast<LPARAM>(menu));
}

void MenuLoop::Select(size_t level, int index) {
    if (level >= levels_.size() || levels_[level].selected == index) return;
    Menu* m = MenuAt(level);
    if (m == nullptr) return;
    int old = levels_[level].selected;
    levels_[level].selected = index;
    busy_ = true;
    if (old >= 0 && size_t(old) < m->items.size()) {
        m->items[size_t(old)].state &= ~MFS_HILITE;
        RedrawPopupItem(m, size_t(old));
    }
    if ((m = MenuAt(level)) == nullptr || index < 0 || size_t(index) >= m->items.size()) return;
    m->items[size_t(index)].state |= MFS_HILITE;
    RedrawPopupItem(m, size_t(index));
    NotifySelect(levels_[level].menu, index);
}

void MenuLoop::HiliteBar(int index) {
    Menu* bar = FindMenu(bar_);
    if (bar == nullptr) return;
    std::vector<size_t> changed;
    for (size_t i = 0; i < bar->items.size(); ++i) {
        UINT& state = bar->items[i].state;
        const UINT now = int(i) == index ? state | MFS_HILITE : state & ~MFS_HILITE;
        if (now == state) continue;
        state = now;
        changed.push_back(i);
    }
    RepaintBarItems(changed);
}

void MenuLoop::SelectBar(int index) {
    Menu* bar = FindMenu(bar_);
    if (bar == nullptr || index == barSel_) return;
    barSel_ = index;
    busy_ = true;
    HiliteBar(index);
    NotifySelect(bar_, index);
}

// The next item of a level that can be selected, `step` +1 or -1, wrapping round.
void MenuLoop::MoveSelection(size_t level, int step) {
    Menu* m = MenuAt(level);
    if (m == nullptr || m->items.empty()) return;
    int n = int(m->items.size());
    int i = levels_[level].selected;
    if (i < 0) i = step > 0 ? -1 : n;
    for (int k = 0; k < n; ++k) {
        i = ((i + step) % n + n) % n;
        if (!IsSeparator(m->items[size_t(i)])) {
            CloseAbove(level + 1);
            Select(level, i);
            return;
        }
    }
}

void MenuLoop::StepBar(int step) {
    Menu* bar = FindMenu(bar_);
    if (bar == nullptr || barSel_ < 0 || bar->items.empty()) return;
    bool open = !levels_.empty();
    int n = int(bar->items.size());
    CloseAbove(0);
    for (int k = 1; k <= n; ++k) {
        int i = ((barSel_ + step * k) % n + n) % n;
        if (!IsSeparator(bar->items[size_t(i)])) {
            SelectBar(i);
            break;
        }
    }
    if (open) OpenBarPopup(true);
}

// --- choosing ---

void MenuLoop::ChooseItem(const MenuItem& it, HMENU menu) {
    chosen_ = it.id;
    chosenMenu_ = menu;
    GetCursorPos(&chosenAt_);
    ended_ = true;
}

void MenuLoop::Choose(size_t level, int index) {
    MenuItem* it = ItemAt(level, index);
    if (it == nullptr) return;
    if (it->sub) {
        OpenSubmenu(level, index, true);
    } else if (IsCommand(*it)) {
        ChooseItem(*it, levels_[level].menu);
    }
}

// --- hit testing ---

std::pair<int, int> MenuLoop::PopupAt(POINT pt) const {
    for (int l = int(levels_.size()) - 1; l >= 0; --l) {
        Window* w = Peek(levels_[size_t(l)].window);
        if (w == nullptr) continue;
        RECT frame = ScreenRect(w);
        if (!PtInRect(&frame, pt)) continue;
        RECT client = ScreenClientRect(w);
        POINT p{pt.x - client.left, pt.y - client.top};
        if (Menu* m = MenuAt(size_t(l))) {
            for (size_t i = 0; i < m->items.size(); ++i)
                if (PtInRect(&m->items[i].rect, p))
                    return {l, IsSeparator(m->items[i]) ? -1 : int(i)};
        }
        return {l, -1};
    }
    return {-1, -1};
}

RECT MenuLoop::BarItemRect(int index) const {
    RECT r{};
    if (!GetMenuItemRect(owner_, bar_, UINT(index), &r)) r = RECT{};
    return r;
}

int MenuLoop::BarItemAt(POINT pt) const {
    Menu* bar = FindMenu(bar_);
    if (bar == nullptr || !OwnerAlive()) return -1;
    for (size_t i = 0; i < bar->items.size(); ++i) {
        RECT r = BarItemRect(int(i));
        if (PtInRect(&r, pt) && !IsSeparator(bar->items[i])) return int(i);
    }
    return -1;
}

// --- input ---

void MenuLoop::OnMove(POINT pt) {
    auto [level, item] = PopupAt(pt);
    if (level >= 0) {
        if (item < 0) return;
        size_t l = size_t(level);
        bool open = levels_.size() > l + 1 && levels_[l].selected == item;
        if (!open) CloseAbove(l + 1);
        Select(l, item);
        if (!open) OpenSubmenu(l, item, false);
        return;
    }
    int b = BarItemAt(pt);
    if (b >= 0 && b != barSel_ && (!levels_.empty() || (GetKeyState(VK_LBUTTON) & 0x8000))) {
        CloseAbove(0);
        SelectBar(b);
        OpenBarPopup(false);
    }
}

void MenuLoop::OnDown(POINT pt, MouseButton button) {
    auto [level, item] = PopupAt(pt);
    if (level >= 0) {
        if (item >= 0) OnMove(pt);
        return;
    }
    int b = BarItemAt(pt);
    if (b >= 0) {
        if (b == barSel_ && !levels_.empty()) {  // a second press on the open item closes
            ended_ = true;
            return;
        }
        CloseAbove(0);
        SelectBar(b);
        OpenBarPopup(false);
        return;
    }
    // Outside every menu. A quick second press on the caption icon that opened the system
    // menu closes the window, as a double click on the icon does.
    if (PtInRect(&sysIcon_, pt) &&
        os::TickDiff(openedAt_, os::GetTickCount()) <= GetDoubleClickTime()) {
        Menu* m = MenuAt(0);
        for (size_t i = 0; m && i < m->items.size(); ++i)
            if (m->items[i].id == SC_CLOSE && IsCommand(m->items[i])) {
                ChooseItem(m->items[i], levels_[0].menu);
                return;
            }
    }
    if (bar_ && levels_.empty()) {
        repeatPress_ = button;
        repeatAt_ = pt;
    }
    ended_ = true;
}

void MenuLoop::OnUp(POINT pt, bool right) {
    if (right && !(flags_ & TPM_RIGHTBUTTON)) return;
    auto [level, item] = PopupAt(pt);
    if (level >= 0) {
        if (item >= 0) {
            MenuItem* it = ItemAt(size_t(level), item);
            if (it && it->sub == nullptr) Choose(size_t(level), item);
        }
        return;
    }
    // A press on a command of the bar itself chooses it when let go over it.
    if (bar_ == nullptr || !levels_.empty()) return;
    int b = BarItemAt(pt);
    Menu* bar = FindMenu(bar_);
    if (b >= 0 && b == barSel_ && bar && IsCommand(bar->items[size_t(b)])) {
        ChooseItem(bar->items[size_t(b)], bar_);
    } else {
        ended_ = true;
    }
}

void MenuLoop::OnKey(UINT vk, const MSG& m) {
    bool inBar = levels_.empty();
    size_t top = levels_.empty() ? 0 : levels_.size() - 1;
    mouse_ = false;
    switch (vk) {
        case VK_ESCAPE:
            if (levels_.size() > 1 || (levels_.size() == 1 && bar_)) {
                CloseAbove(levels_.size() - 1);
            } else {
                ended_ = true;
            }
            return;
        case VK_MENU:
        case VK_F10:
            ended_ = true;
            return;
        case VK_UP:
        case VK_DOWN:
            if (inBar) {
                if (bar_) OpenBarPopup(true);
            } else {
                MoveSelection(top, vk == VK_DOWN ? 1 : -1);
            }
            return;
        case VK_RIGHT: {
            MenuItem* it = inBar ? nullptr : ItemAt(top, levels_[top].selected);
            if (it && it->sub) {
                OpenSubmenu(top, levels_[top].selected, true);
            } else {
                StepBar(1);
            }
            return;
        }
        case VK_LEFT:
            if (levels_.size() > 1) {
                CloseAbove(levels_.size() - 1);
            } else {
                StepBar(-1);
            }
            return;
        case VK_RETURN:
            if (!inBar) {
                Choose(top, levels_[top].selected);
            } else if (Menu* bar = FindMenu(bar_); bar && barSel_ >= 0) {
                MenuItem& it = bar->items[size_t(barSel_)];
                if (it.sub) {
                    OpenBarPopup(true);
                } else if (IsCommand(it)) {
                    ChooseItem(it, bar_);
                }
            }
            return;
        default:
            TranslateMessage(&m);  // characters come back as WM_CHAR or WM_SYSCHAR
            return;
    }
}

void MenuLoop::OnChar(unsigned char ch) {
    bool inBar = levels_.empty();
    size_t top = inBar ? 0 : levels_.size() - 1;
    HMENU handle = inBar ? bar_ : levels_[top].menu;
    Menu* m = FindMenu(handle);
    if (m == nullptr) return;
    int current = inBar ? barSel_ : levels_[top].selected;
    unsigned char key = os::UpperCp1251(ch);
    std::vector<int> matches;
    for (size_t i = 0; i < m->items.size(); ++i)
        if (!IsSeparator(m->items[i]) && Mnemonic(ItemLabel(m->items[i])) == key)
            matches.push_back(int(i));
    int pick = -1;
    bool execute = false;
    if (matches.size() == 1) {
        pick = matches[0];
        execute = true;
    } else if (!matches.empty()) {  // several share the letter: step through them
        pick = matches[0];
        for (int i : matches)
            if (i > current) {
                pick = i;
                break;
            }
    } else {
        UINT kind = (inBar ? 0 : MF_POPUP) | (IsSystem(handle) ? MF_SYSMENU : 0);
        LRESULT r = 0;
        if (Peek(owner_))
            r = Send(owner_, WM_MENUCHAR, MAKEWPARAM(ch, int(kind)),
                     reinterpret_cast<LPARAM>(handle));
        if ((m = FindMenu(handle)) == nullptr) return;
        LRESULT how = HIWORD(uintptr_t(r));
        if (how == MNC_CLOSE) {
            ended_ = true;
            return;
        }
        if (how != MNC_EXECUTE && how != MNC_SELECT) return;
        pick = LOWORD(uintptr_t(r));
        if (size_t(pick) >= m->items.size()) return;
        execute = how == MNC_EXECUTE;
    }
    if (inBar) {
        SelectBar(pick);
        if (execute) {
            if (m->items[size_t(pick)].sub) {
                OpenBarPopup(true);
            } else if (IsCommand(m->items[size_t(pick)])) {
                ChooseItem(m->items[size_t(pick)], handle);
            }
        }
        return;
    }
    CloseAbove(top + 1);
    Select(top, pick);
    if (execute) Choose(top, pick);
}

bool MenuLoop::Input(const MSG& m) {
    if (!OwnerAlive() || (capture_ && GetCapture() != capture_)) ended_ = true;
    if (ended_) return true;
    switch (m.message) {
        case WM_NULL:
            break;
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            OnMove(m.pt);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            mouse_ = true;
            OnDown(m.pt, MouseButton::Left);
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONDBLCLK:
            mouse_ = true;
            OnDown(m.pt, MouseButton::Right);
            break;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            OnUp(m.pt, false);
            break;
        case WM_RBUTTONUP:
        case WM_NCRBUTTONUP:
            OnUp(m.pt, true);
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            OnKey(UINT(m.wParam), m);
            break;
        case WM_CHAR:
        case WM_SYSCHAR:
            OnChar(static_cast<unsigned char>(m.wParam));
            break;
        default:
            break;
    }
    if (m.message != WM_NULL) busy_ = true;
    if (!OwnerAlive()) ended_ = true;
    return ended_;
}

void MenuLoop::Idle() {
    if (!busy_ || ended_) return;
    busy_ = false;
    HWND idleWindow = levels_.empty() ? owner_ : levels_.back().window;
    Notify(WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(idleWindow));
}

// --- the loops ---

void MenuLoop::Finish(bool api) {
    CloseAbove(0);
    HiliteBar(-1);
    if (capture_ && GetCapture() == capture_) ReleaseCapture();
    Notify(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    Notify(WM_EXITMENULOOP, api ? TRUE : FALSE, 0);
    if (repeatPress_ != MouseButton::None) RepeatMousePress(repeatAt_, repeatPress_);
    if (chosen_ == 0 || (flags_ & TPM_RETURNCMD) || !OwnerAlive()) return;
    if (IsSystem(chosenMenu_)) {
        LPARAM at = mouse_ ? MAKELPARAM(chosenAt_.x, chosenAt_.y) : 0;
        PostMessageA(owner_, WM_SYSCOMMAND, chosen_, at);
    } else {
        PostMessageA(owner_, WM_COMMAND, MAKEWPARAM(int(chosen_), 0), 0);
    }
}

bool MenuLoop::RunPopup(HMENU menu, POINT at, bool api, const RECT* sysIcon) {
    system_ = IsSystemMenu(menu);
    if (sysIcon) sysIcon_ = *sysIcon;
    openedAt_ = os::GetTickCount();
    Notify(WM_ENTERMENULOOP, api ? TRUE : FALSE, 0);
    Notify(WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    // The alignment flags place the menu around the point; off the screen it flips over it.
    auto place = [&](SIZE size) {
        SIZE screen = ScreenSize();
        POINT p = at;
        if (flags_ & TPM_CENTERALIGN) {
            p.x -= size.cx / 2;
        } else if (flags_ & TPM_RIGHTALIGN) {
            p.x -= size.cx;
        }
        if (flags_ & TPM_VCENTERALIGN) {
            p.y -= size.cy / 2;
        } else if (flags_ & TPM_BOTTOMALIGN) {
            p.y -= size.cy;
        }
        if (p.x + size.cx > screen.cx && at.x - size.cx >= 0) p.x = at.x - size.cx;
        if (p.y + size.cy > screen.cy && at.y - size.cy >= 0) p.y = at.y - size.cy;
        return p;
    };
    bool shown = OwnerAlive() && Open(menu, 0, place);
    if (shown) {
        capture_ = levels_[0].window;
        SetCapture(capture_);
        RunModalLoop([this](const MSG& msg) { return Input(msg); }, [this] { Idle(); });
    }
    Finish(api);
    return shown;
}

void MenuLoop::RunBar(UINT key) {
    bar_ = GetMenu(owner_);
    Notify(WM_ENTERMENULOOP, FALSE, 0);
    Notify(WM_INITMENU, reinterpret_cast<WPARAM>(bar_), 0);
    Menu* bar = OwnerAlive() ? FindMenu(bar_) : nullptr;
    if (bar != nullptr && !bar->items.empty()) {
        capture_ = owner_;
        SetCapture(owner_);
        if (mouse_) {
            POINT pt;
            GetCursorPos(&pt);
            int b = BarItemAt(pt);
            if (b < 0) {
                ended_ = true;
            } else {
                SelectBar(b);
                OpenBarPopup(false);
            }
        } else if (key == 0) {
            for (size_t i = 0; i < bar->items.size(); ++i)
                if (!IsSeparator(bar->items[i])) {
                    SelectBar(int(i));
                    break;
                }
        } else {
            OnChar(static_cast<unsigned char>(key));
            if (barSel_ < 0) ended_ = true;
        }
        if (!ended_)
            RunModalLoop([this](const MSG& msg) { return Input(msg); }, [this] { Idle(); });
    }
    Finish(false);
}

// The standard commands of a system menu follow the window's state.
void AdjustSystemMenu(Window* w, HMENU sys) {
    DWORD s = w->style;
    bool iconic = (s & WS_MINIMIZE) != 0, zoomed = (s & WS_MAXIMIZE) != 0;
    auto set = [sys](WPARAM cmd, bool on) {
        EnableMenuItem(sys, UINT(cmd), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    set(SC_RESTORE, iconic || zoomed);
    set(SC_MOVE, !zoomed);
    set(SC_SIZE, (s & WS_THICKFRAME) && !iconic && !zoomed);
    set(SC_MINIMIZE, (s & WS_MINIMIZEBOX) && !iconic);
    set(SC_MAXIMIZE, (s & WS_MAXIMIZEBOX) && !zoomed);
    set(SC_CLOSE, !(w->cls->info.style & CS_NOCLOSE));
}

}  // namespace

bool HasSystemMenu(Window* w) {
    return (w->style & WS_SYSMENU) || w->sysMenu != nullptr;
}

void TrackMenuBar(Window* w, UINT key, bool mouse) {
    if (running != nullptr || w->menu == nullptr || !w->Visible()) return;
    MenuLoop loop(w->handle, 0, mouse);
    loop.RunBar(key);
}

void TrackSystemMenu(Window* w, POINT screen, bool mouse) {
    if (running != nullptr || !HasSystemMenu(w)) return;
    HWND h = w->handle;
    HMENU sys = GetSystemMenu(h, FALSE);
    if (sys == nullptr) return;
    AdjustSystemMenu(w, sys);
    FrameLayout f = LayoutFrame(w);
    RECT wr = ScreenRect(w);
    RECT icon = f.sysIcon;
    OffsetRect(&icon, wr.left, wr.top);
    POINT at = screen;
    bool fromIcon = screen.x == -1 && screen.y == -1;
    if (!fromIcon && mouse && PtInRect(&icon, screen)) fromIcon = true;
    if (fromIcon) {  // below the caption, at the window's left edge
        int captionBottom = IsRectEmpty(&f.caption) ? f.border : f.caption.bottom + 1;
        at = POINT{wr.left + f.border, wr.top + captionBottom};
    }
    MenuLoop loop(h, TPM_LEFTBUTTON | TPM_RIGHTBUTTON, mouse);
    loop.RunPopup(sys, at, false, fromIcon && mouse ? &icon : nullptr);
}

}  // namespace win::detail

namespace win {

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (detail::FindMenu(menu) == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    if (detail::Find(owner) == nullptr) return FALSE;
    if (detail::running != nullptr && !(flags & TPM_RECURSE)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    detail::MenuLoop loop(owner, flags, !detail::LastInputWasKeyboard());
    bool shown = loop.RunPopup(menu, POINT{x, y}, true, nullptr);
    if (flags & TPM_RETURNCMD) return BOOL(loop.chosen());
    return shown ? TRUE : FALSE;
}

}  // namespace win
