// Menus on the screen: pop-up menus tracked by keys and the mouse, owner-drawn items, the
// system menu and the menu bar.
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/sys_colors.h"
#include "platform/os/cp_literal.h"
#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

using ::testing::ElementsAre;

HWND MenuWindow() {
    return FindWindowExA(nullptr, nullptr, MAKEINTATOM(kMenuClassAtom), nullptr);
}

class MenuTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        owner_ = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
        Pump();
        Clear();
    }
    // A pop-up: "&Open" 10, a separator, "&Save\tCtrl+S" 11 (greyed), "&More" with
    // "&First" 20 and "Se&cond" 21.
    HMENU Sample() {
        HMENU more = CreatePopupMenu();
        AppendMenuA(more, MF_STRING, 20, "&First");
        AppendMenuA(more, MF_STRING, 21, "Se&cond");
        HMENU m = CreatePopupMenu();
        AppendMenuA(m, MF_STRING, 10, "&Open");
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(m, MF_STRING | MF_GRAYED, 11, "&Save\tCtrl+S");
        AppendMenuA(m, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "&More");
        return m;
    }
    // Runs `check` the first time the menu loop goes idle, then queues `keys`.
    void WhenIdle(std::function<void()> check, std::initializer_list<UINT> keys) {
        std::vector<UINT> k(keys);
        Handlers()[{owner_, WM_ENTERIDLE}] = [this, check, k, done = false](HWND, WPARAM,
                                                                            LPARAM) mutable {
            if (!done) {
                done = true;
                check();
                for (UINT vk : k) {
                    QueueKeyEvent(KeyEvent{vk, true});
                    QueueKeyEvent(KeyEvent{vk, false});
                }
            }
            return LRESULT(0);
        };
    }
    HWND owner_ = nullptr;
};

TEST_F(MenuTest, KeysWalkAPopupIntoItsSubmenuAndChoose) {
    HMENU m = Sample();
    QueueTaps({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner_, nullptr), 21);
    EXPECT_THAT(Only({WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP}, owner_),
                ElementsAre(WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_INITMENUPOPUP,
                            WM_EXITMENULOOP));
    EXPECT_EQ(Last(WM_ENTERMENULOOP, owner_)->wp, WPARAM(TRUE));
    // The selection went Open, Save (the separator skipped), More, First, Second.
    std::vector<UINT> selected;
    for (const Logged& l : Log())
        if (l.msg == WM_MENUSELECT && HIWORD(l.wp) != 0xFFFF) selected.push_back(LOWORD(l.wp));
    EXPECT_THAT(selected, ElementsAre(10, 11, 3, 20, 21));
    const Logged* close = Last(WM_MENUSELECT, owner_);
    EXPECT_EQ(HIWORD(close->wp), 0xFFFF);
    EXPECT_EQ(close->lp, 0);
    // With TPM_RETURNCMD nothing is posted; the windows and the capture are gone.
    Pump();
    EXPECT_EQ(Count(WM_COMMAND, owner_), 0);
    EXPECT_EQ(MenuWindow(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(GetMenuState(m, 10, MF_BYCOMMAND) & MF_HILITE);
}

TEST_F(MenuTest, MnemonicsEscapeAndTheCommandMessage) {
    HMENU m = Sample();
    // A greyed item is not chosen by its letter; Esc closes the sub-menu, then the menu.
    QueueTaps({'S', 'M', VK_ESCAPE, VK_ESCAPE});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner_, nullptr), 0);
    Clear();
    // Without TPM_RETURNCMD the choice arrives as a posted WM_COMMAND.
    QueueTaps({'M', 'C'});
    EXPECT_TRUE(TrackPopupMenu(m, 0, 150, 150, 0, owner_, nullptr));
    EXPECT_EQ(Count(WM_COMMAND, owner_), 0);
    Pump();
    ASSERT_EQ(Count(WM_COMMAND, owner_), 1);
    EXPECT_EQ(Last(WM_COMMAND, owner_)->wp, MAKEWPARAM(21, 0));
    // Cyrillic mnemonics match either case; no match asks the owner with WM_MENUCHAR.
    HMENU ru = CreatePopupMenu();
    AppendMenuA(ru, MF_STRING, 30, "&Файл"_cp);
    AppendMenuA(ru, MF_OWNERDRAW, 31, nullptr);
    Answers()[{owner_, WM_MENUCHAR}] = MAKELONG(1, WORD(MNC_EXECUTE));
    QueueKeyEvent(KeyEvent{'A', true, static_cast<unsigned char>("ф"_cp[0])});
    QueueKeyEvent(KeyEvent{'A', false});
    EXPECT_EQ(TrackPopupMenu(ru, TPM_RETURNCMD, 0, 0, 0, owner_, nullptr), 30);
    QueueTaps({'Q'});
    EXPECT_EQ(TrackPopupMenu(ru, TPM_RETURNCMD, 0, 0, 0, owner_, nullptr), 31);
    EXPECT_EQ(LOWORD(Last(WM_MENUCHAR, owner_)->wp), 'q');
    EXPECT_EQ(HIWORD(Last(WM_MENUCHAR, owner_)->wp), MF_POPUP);
}

TEST_F(MenuTest, ThePopupWindowIsAMenuClassWindowCreatedByAtom) {
    static ATOM hookedClass;
    static HHOOK hook;
    hookedClass = 0;
    hook = SetWindowsHookExA(
        WH_CBT,
        [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
            if (code == HCBT_CREATEWND) {
                auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lp);
                if (IS_INTRESOURCE(cbt->lpcs->lpszClass))
                    hookedClass = ATOM(reinterpret_cast<uintptr_t>(cbt->lpcs->lpszClass));
            }
            return CallNextHookEx(hook, code, wp, lp);
        },
        nullptr, GetCurrentThreadId());
    HMENU m = Sample();
    RECT frame{}, item{};
    POINT client{};
    char cls[16] = {};
    HMENU shown = nullptr;
    WhenIdle(
        [&] {
            HWND popup = MenuWindow();
            ASSERT_NE(popup, nullptr);
            GetClassNameA(popup, cls, sizeof cls);
            GetWindowRect(popup, &frame);
            ClientToScreen(popup, &client);
            shown = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
            GetMenuItemRect(nullptr, m, 0, &item);
            POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
            EXPECT_EQ(WindowFromPoint(centre), popup);
            EXPECT_NE(GetWindowLongPtrA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
            EXPECT_NE(GetActiveWindow(), popup);
        },
        {VK_ESCAPE});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 160, 0, owner_, nullptr), 0);
    EXPECT_EQ(hookedClass, kMenuClassAtom);
    EXPECT_STREQ(cls, "#32768");
    EXPECT_EQ(frame.left, 150);
    EXPECT_EQ(frame.top, 160);
    EXPECT_EQ(client.x - frame.left, 3);
    EXPECT_EQ(client.y - frame.top, 3);
    EXPECT_EQ(shown, m);
    EXPECT_EQ(item.left, client.x);
    EXPECT_EQ(item.top, client.y);
    // Shown no longer: no rectangle.
    EXPECT_FALSE(GetMenuItemRect(nullptr, m, 0, &item));
    UnhookWindowsHookEx(hook);
}

TEST_F(MenuTest, AlignmentFlagsAndTheScreenEdgesPlaceThePopup) {
    HMENU m = Sample();
    RECT r;
    auto placed = [&](UINT flags, int x, int y) {
        WhenIdle([&] { GetWindowRect(MenuWindow(), &r); }, {VK_ESCAPE});
        TrackPopupMenu(m, flags | TPM_RETURNCMD, x, y, 0, owner_, nullptr);
        return r;
    };
    RECT left = placed(TPM_LEFTALIGN, 300, 300);
    int w = left.right - left.left, h = left.bottom - left.top;
    EXPECT_EQ(placed(TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 300, 300),
              (RECT{300 - w, 300 - h, 300, 300}));
    EXPECT_EQ(placed(TPM_CENTERALIGN | TPM_VCENTERALIGN, 300, 300),
              (RECT{300 - w / 2, 300 - h / 2, 300 - w / 2 + w, 300 - h / 2 + h}));
    // Near the bottom-right corner the menu flips to the other side of the point.
    EXPECT_EQ(placed(0, 1275, 795), (RECT{1275 - w, 795 - h, 1275, 795}));
}

TEST_F(MenuTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner) {
    HMENU m = CreatePopupMenu();
    for (UINT i = 0; i < 3; ++i)
        AppendMenuA(m, MF_OWNERDRAW | (i == 2 ? MF_GRAYED : 0), 40 + i,
                    reinterpret_cast<const char*>(uintptr_t(0x100 + i)));
    CheckMenuItem(m, 41, MF_CHECKED);
    struct Drawn {
        UINT id, action, state;
        RECT rect;
        HWND window;
        ULONG_PTR data;
    };
    static std::vector<Drawn> drawn;
    drawn.clear();
    Handlers()[{owner_, WM_MEASUREITEM}] = [](HWND, WPARAM, LPARAM lp) -> LRESULT {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        EXPECT_EQ(mis->CtlType, ODT_MENU);
        mis->itemWidth = 50;
        mis->itemHeight = 20 + (mis->itemData & 0xF);
        return TRUE;
    };
    Handlers()[{owner_, WM_DRAWITEM}] = [](HWND, WPARAM, LPARAM lp) -> LRESULT {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        drawn.push_back(Drawn{dis->itemID, dis->itemAction, dis->itemState, dis->rcItem,
                              WindowFromDC(dis->hDC), dis->itemData});
        FillRect(
            dis->hDC, &dis->rcItem,
            GetSysColorBrush((dis->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        return TRUE;
    };
    HWND popup = nullptr;
    RECT client{};
    WhenIdle(
        [&] {
            popup = MenuWindow();
            GetClientRect(popup, &client);
        },
        {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 41);
    // The check-mark width goes on top of the width asked for.
    EXPECT_EQ(client, (RECT{0, 0, 50 + GetSystemMetrics(SM_CXMENUCHECK) - 1, 20 + 21 + 22}));
    EXPECT_EQ(Count(WM_MEASUREITEM, owner_), 3);
    ASSERT_GE(drawn.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(drawn[i].action, ODA_DRAWENTIRE);
        EXPECT_EQ(drawn[i].window, popup);  // WindowFromDC finds the pop-up window
        EXPECT_EQ(drawn[i].data, 0x100 + i);
        EXPECT_EQ(drawn[i].rect.right, client.right);
    }
    EXPECT_EQ(drawn[1].state, UINT(ODS_CHECKED | ODS_NOACCEL));
    EXPECT_EQ(drawn[2].state & ODS_GRAYED, ODS_GRAYED);
    EXPECT_EQ(drawn[1].rect, (RECT{0, 20, client.right, 41}));
    // Selection changes redraw the items concerned: 40 selected, then 40 off and 41 on.
    std::vector<std::pair<UINT, bool>> changes;
    for (size_t i = 3; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].action, ODA_SELECT);
        changes.emplace_back(drawn[i].id, (drawn[i].state & ODS_SELECTED) != 0);
    }
    EXPECT_THAT(changes,
                ElementsAre(std::pair{40u, true}, std::pair{40u, false}, std::pair{41u, true}));
}

TEST_F(MenuTest, TheMouseChoosesAndAPressOutsideDismisses) {
    HMENU m = Sample();
    RECT item{};
    // Hover "More", slide into "First", let go there: chosen.
    WhenIdle(
        [&] {
            GetMenuItemRect(nullptr, m, 3, &item);
            QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{item.left + 5, item.top + 5}});
            // The sub-menu opens on hover, beside the item, its first item level with it.
            QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{item.right + 20, item.top + 5}});
            QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{item.right + 20, item.top + 5},
                                       MouseButton::Left});
            QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{item.right + 20, item.top + 5},
                                       MouseButton::Left});
        },
        {});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner_, nullptr), 20);
    // The right button chooses only with TPM_RIGHTBUTTON.
    WhenIdle(
        [&] {
            GetMenuItemRect(nullptr, m, 0, &item);
            QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{item.left + 5, item.top + 5}});
            QueueMouseEvent(
                MouseEvent{MouseEvent::Up, POINT{item.left + 5, item.top + 5}, MouseButton::Right});
            QueueKeyEvent(KeyEvent{VK_ESCAPE, true});
        },
        {});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner_, nullptr), 0);
    WhenIdle(
        [&] {
            QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{item.left + 5, item.top + 5}});
            QueueMouseEvent(
                MouseEvent{MouseEvent::Up, POINT{item.left + 5, item.top + 5}, MouseButton::Right});
        },
        {});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, 150, 150, 0, owner_, nullptr), 10);
    // A press outside ends the menu and is eaten; clicking a greyed item does nothing.
    Clear();
    WhenIdle(
        [&] {
            GetMenuItemRect(nullptr, m, 2, &item);
            QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{item.left + 5, item.top + 5},
                                       MouseButton::Left});
            QueueMouseEvent(
                MouseEvent{MouseEvent::Up, POINT{item.left + 5, item.top + 5}, MouseButton::Left});
            QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{450, 350}, MouseButton::Left});
            QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{450, 350}, MouseButton::Left});
        },
        {});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner_, nullptr), 0);
    Pump();
    EXPECT_EQ(Count(WM_LBUTTONDOWN, owner_), 0);
    EXPECT_EQ(Count(WM_LBUTTONUP, owner_), 1);  // the release came after the menu closed
}

TEST_F(MenuTest, NestedTrackingAndBadArgumentsFail) {
    HMENU m = Sample();
    BOOL nested = TRUE;
    WhenIdle([&] { nested = TrackPopupMenu(m, TPM_RETURNCMD, 0, 0, 0, owner_, nullptr); },
             {VK_ESCAPE});
    TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner_, nullptr);
    EXPECT_FALSE(nested);
    EXPECT_FALSE(
        TrackPopupMenu(reinterpret_cast<HMENU>(uintptr_t(0x1234)), 0, 0, 0, 0, owner_, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
    EXPECT_FALSE(TrackPopupMenu(m, 0, 0, 0, 0, reinterpret_cast<HWND>(uintptr_t(0x99)), nullptr));
    // A menu that holds itself opens only once; an empty one does not open at all.
    HMENU loop = CreatePopupMenu();
    AppendMenuA(loop, MF_POPUP, reinterpret_cast<UINT_PTR>(loop), "&Loop");
    QueueTaps({VK_DOWN, VK_RIGHT, VK_RETURN, VK_ESCAPE});
    EXPECT_EQ(TrackPopupMenu(loop, TPM_RETURNCMD, 0, 0, 0, owner_, nullptr), 0);
    EXPECT_FALSE(TrackPopupMenu(CreatePopupMenu(), 0, 0, 0, 0, owner_, nullptr));
    // The owner destroyed from inside the loop ends it.
    WhenIdle([&] { DestroyWindow(owner_); }, {});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner_, nullptr), 0);
    EXPECT_EQ(MenuWindow(), nullptr);
}

TEST_F(MenuTest, TheOwnerMayChangeAPopupJustBeforeItShowsOrEvenDestroyIt) {
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 1, "&One");
    Handlers()[{owner_, WM_INITMENUPOPUP}] = [](HWND, WPARAM wp, LPARAM) -> LRESULT {
        HMENU shown = reinterpret_cast<HMENU>(wp);
        if (GetMenuItemCount(shown) == 1) AppendMenuA(shown, MF_STRING, 2, "&Two, added late");
        return 0;
    };
    RECT two{};
    WhenIdle([&] { EXPECT_TRUE(GetMenuItemRect(nullptr, m, 1, &two)); },
             {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 2);
    EXPECT_GT(two.right - two.left, 60);  // laid out with the late item's text
    // A menu destroyed while it shows ends nothing badly.
    WhenIdle([&] { DestroyMenu(m); }, {VK_DOWN, VK_RETURN, VK_ESCAPE});
    Handlers().erase({owner_, WM_INITMENUPOPUP});
    m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 1, "&One");
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 0);
    EXPECT_FALSE(IsMenu(m));
    EXPECT_EQ(MenuWindow(), nullptr);
}

TEST_F(MenuTest, AMenuBreakStartsAColumnAndTheClassicLookShowsTheSelection) {
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 1, "&Alpha");
    AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m, MF_STRING, 2, "&Beta");
    AppendMenuA(m, MF_STRING | MF_MENUBREAK, 3, "&Gamma");
    RECT a{}, sep{}, b{}, g{};
    COLORREF selected = 0, plain = 0, line = 0, light = 0;
    WhenIdle(
        [&] {
            GetMenuItemRect(nullptr, m, 0, &a);
            GetMenuItemRect(nullptr, m, 1, &sep);
            GetMenuItemRect(nullptr, m, 2, &b);
            GetMenuItemRect(nullptr, m, 3, &g);
        },
        {VK_UP});
    // After Up (wrapping to the last item), look at the screen, then choose.
    Handlers()[{owner_, WM_MENUSELECT}] = [&](HWND, WPARAM wp, LPARAM) -> LRESULT {
        if (LOWORD(wp) != 3 || HIWORD(wp) == 0xFFFF) return 0;
        auto at = ScreenPixel;
        selected = at(g.right - 3, g.top + 2);
        plain = at(a.right - 3, a.top + 2);
        int mid = sep.top + (sep.bottom - sep.top) / 2;
        line = at(sep.left + 5, mid - 1);
        light = at(sep.left + 5, mid);
        QueueKeyEvent(KeyEvent{VK_RETURN, true});
        return 0;
    };
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 3);
    EXPECT_EQ(g.top, a.top);  // the break starts at the top again
    EXPECT_EQ(g.left, a.right + 4);
    EXPECT_EQ(b.left, a.left);
    EXPECT_EQ(b.top, sep.bottom);
    EXPECT_EQ(selected, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(plain, GetSysColor(COLOR_MENU));
    EXPECT_EQ(line, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(light, GetSysColor(COLOR_BTNHIGHLIGHT));
}

// --- the system menu ---

TEST_F(MenuTest, AltSpaceOpensTheSystemMenuFollowingTheWindowState) {
    UINT restore = 0, size = 0, minimize = 0;
    LPARAM init = 0;
    RECT popup{};
    Handlers()[{owner_, WM_INITMENUPOPUP}] = [&](HWND h, WPARAM wp, LPARAM lp) -> LRESULT {
        init = lp;
        HMENU sys = reinterpret_cast<HMENU>(wp);
        EXPECT_EQ(sys, GetSystemMenu(h, FALSE));
        restore = GetMenuState(sys, SC_RESTORE, MF_BYCOMMAND);
        size = GetMenuState(sys, SC_SIZE, MF_BYCOMMAND);
        minimize = GetMenuState(sys, SC_MINIMIZE, MF_BYCOMMAND);
        return 0;
    };
    // Alt+Space, then the mnemonic of "Свернуть" (minimise).
    QueueKeyEvent(KeyEvent{VK_MENU, true});
    QueueKeyEvent(KeyEvent{VK_SPACE, true});
    QueueKeyEvent(KeyEvent{VK_SPACE, false});
    QueueKeyEvent(KeyEvent{VK_MENU, false});
    Handlers()[{owner_, WM_ENTERIDLE}] = [&](HWND, WPARAM, LPARAM) -> LRESULT {
        if (popup.right == 0) {
            GetWindowRect(MenuWindow(), &popup);
            QueueKeyEvent(KeyEvent{'C', true, static_cast<unsigned char>("с"_cp[0])});
        }
        return 0;
    };
    Pump();
    EXPECT_EQ(HIWORD(init), 1);  // marks the system menu
    EXPECT_TRUE(restore & MF_GRAYED);
    EXPECT_FALSE(size & MF_GRAYED);
    EXPECT_FALSE(minimize & MF_GRAYED);
    // Below the caption, at the window's left edge.
    int f = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(popup.left, 100 + f);
    EXPECT_EQ(popup.top, 100 + f + GetSystemMetrics(SM_CYCAPTION));
    EXPECT_TRUE(IsIconic(owner_));
    const Logged* cmd = Last(WM_SYSCOMMAND, owner_);
    ASSERT_NE(cmd, nullptr);
    EXPECT_EQ(cmd->wp, SC_MINIMIZE);
    // Maximised: restore is offered, size is not.
    ShowWindow(owner_, SW_RESTORE);
    ShowWindow(owner_, SW_MAXIMIZE);
    Handlers()[{owner_, WM_ENTERIDLE}] = [](HWND, WPARAM, LPARAM) -> LRESULT {
        QueueKeyEvent(KeyEvent{VK_ESCAPE, true});
        return 0;
    };
    Clear();
    SendMessageA(owner_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    EXPECT_FALSE(restore & MF_GRAYED);
    EXPECT_TRUE(size & MF_GRAYED);
    EXPECT_EQ(Count(WM_SYSCOMMAND, owner_), 1);  // just the one sent
}

TEST_F(MenuTest, RightClickOnTheCaptionAndTheIconDropTheSystemMenu) {
    RECT popup{};
    Handlers()[{owner_, WM_ENTERIDLE}] = [&](HWND, WPARAM, LPARAM) -> LRESULT {
        if (popup.right == 0) {
            GetWindowRect(MenuWindow(), &popup);
            QueueKeyEvent(KeyEvent{VK_ESCAPE, true});
        }
        return 0;
    };
    int f = GetSystemMetrics(SM_CXFRAME);
    Click(250, 100 + f + 5, MouseButton::Right);
    EXPECT_EQ(Count(WM_CONTEXTMENU, owner_), 1);
    EXPECT_EQ(popup.left, 250);
    EXPECT_EQ(popup.top, 100 + f + 5);
    // A click on the icon drops it; a second one at once closes the window.
    popup = RECT{};
    Handlers()[{owner_, WM_ENTERIDLE}] = [&](HWND, WPARAM, LPARAM) -> LRESULT {
        if (popup.right == 0) {
            GetWindowRect(MenuWindow(), &popup);
            clock_.Advance(100);
            QueueMouseEvent(
                MouseEvent{MouseEvent::Down, POINT{100 + f + 5, 100 + f + 5}, MouseButton::Left});
            QueueMouseEvent(
                MouseEvent{MouseEvent::Up, POINT{100 + f + 5, 100 + f + 5}, MouseButton::Left});
        }
        return 0;
    };
    clock_.Advance(1000);
    Click(100 + f + 5, 100 + f + 5);
    EXPECT_EQ(popup.top, 100 + f + GetSystemMetrics(SM_CYCAPTION));
    Pump();
    EXPECT_FALSE(IsWindow(owner_));
}

// --- the menu bar ---

class MenuBarTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        HMENU file = CreatePopupMenu();
        AppendMenuA(file, MF_STRING, 100, "&New");
        AppendMenuA(file, MF_STRING, 101, "E&xit");
        HMENU edit = CreatePopupMenu();
        AppendMenuA(edit, MF_STRING, 200, "&Copy");
        bar_ = CreateMenu();
        AppendMenuA(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        AppendMenuA(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
        AppendMenuA(bar_, MF_STRING, 300, "&Help");
        SetMenu(owner_, bar_);
        Pump();
        Clear();
    }
    HMENU bar_ = nullptr;
};

TEST_F(MenuBarTest, ItemRectanglesFollowTheMenuFontAndTheHitTest) {
    RECT r0, r1;
    ASSERT_TRUE(GetMenuItemRect(owner_, bar_, 0, &r0));
    ASSERT_TRUE(GetMenuItemRect(nullptr, bar_, 1, &r1));
    int f = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(r0.left, 100 + f);
    EXPECT_EQ(r0.top, 100 + f + GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(r0.bottom - r0.top, GetSystemMetrics(SM_CYMENU) - 1);
    EXPECT_EQ(r1.left, r0.right);
    // Widths are the text in the menu font ("&" not counted) and a margin.
    NONCLIENTMETRICSA ncm;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirect(&ncm.lfMenuFont);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE text;
    GetTextExtentPoint32(dc, "File", 4, &text);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    EXPECT_EQ(r0.right - r0.left, text.cx + 12);
    EXPECT_EQ(SendMessageA(owner_, WM_NCHITTEST, 0, MAKELPARAM(r1.left + 2, r1.top + 2)), HTMENU);
    EXPECT_FALSE(GetMenuItemRect(owner_, bar_, 7, &r0));
    EXPECT_FALSE(GetMenuItemRect(owner_, CreateMenu(), 0, &r0));
}

TEST_F(MenuBarTest, AltThenArrowsOpenAndChoose) {
    Handlers()[{owner_, WM_INITMENUPOPUP}] = [](HWND, WPARAM wp, LPARAM lp) -> LRESULT {
        EXPECT_EQ(HIWORD(lp), 0);
        EXPECT_EQ(GetMenuItemCount(reinterpret_cast<HMENU>(wp)), 1);  // Edit's
        return 0;
    };
    QueueTaps({VK_MENU, VK_RIGHT, VK_DOWN, VK_RETURN});
    Pump();
    EXPECT_THAT(Only({WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP}, owner_),
                ElementsAre(WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP));
    EXPECT_EQ(Last(WM_ENTERMENULOOP, owner_)->wp, WPARAM(FALSE));
    EXPECT_EQ(Last(WM_INITMENU, owner_)->wp, reinterpret_cast<WPARAM>(bar_));
    ASSERT_EQ(Count(WM_COMMAND, owner_), 1);
    EXPECT_EQ(Last(WM_COMMAND, owner_)->wp, MAKEWPARAM(200, 0));
    EXPECT_FALSE(GetMenuState(bar_, 1, MF_BYPOSITION) & MF_HILITE);
    // Alt+letter opens that item's pop-up; Esc twice leaves.
    Clear();
    Handlers().erase({owner_, WM_INITMENUPOPUP});
    QueueKeyEvent(KeyEvent{VK_MENU, true});
    QueueKeyEvent(KeyEvent{'F', true});
    QueueKeyEvent(KeyEvent{'F', false});
    QueueKeyEvent(KeyEvent{VK_MENU, false});
    QueueTaps({'X'});
    Pump();
    EXPECT_EQ(Last(WM_COMMAND, owner_)->wp, MAKEWPARAM(101, 0));
    Clear();
    QueueTaps({VK_F10, VK_DOWN, VK_ESCAPE, VK_ESCAPE});
    Pump();
    EXPECT_EQ(Count(WM_EXITMENULOOP, owner_), 1);
    EXPECT_EQ(Count(WM_COMMAND, owner_), 0);
}

TEST_F(MenuBarTest, OwnerDrawnBarItemsAreMeasuredAndDrawnOnTheFrame) {
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_OWNERDRAW, 400, reinterpret_cast<const char*>(uintptr_t(0xAB)));
    AppendMenuA(bar, MF_STRING | MF_RIGHTJUSTIFY, 401, "&Right");
    struct Drawn {
        UINT state;
        RECT rect;
        HWND window;
    };
    static std::vector<Drawn> drawn;
    drawn.clear();
    Handlers()[{owner_, WM_MEASUREITEM}] = [](HWND, WPARAM, LPARAM lp) -> LRESULT {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        EXPECT_EQ(mis->itemData, 0xABu);
        EXPECT_EQ(mis->itemHeight, UINT(GetSystemMetrics(SM_CYMENU) - 1));
        mis->itemWidth = 77;
        return TRUE;
    };
    Handlers()[{owner_, WM_DRAWITEM}] = [](HWND, WPARAM, LPARAM lp) -> LRESULT {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        drawn.push_back(Drawn{dis->itemState, dis->rcItem, WindowFromDC(dis->hDC)});
        return TRUE;
    };
    SetMenu(owner_, bar);
    Pump();
    EXPECT_EQ(Count(WM_MEASUREITEM, owner_), 1);  // once, not at every layout
    RECT r, right;
    GetMenuItemRect(owner_, bar, 0, &r);
    GetMenuItemRect(owner_, bar, 1, &right);
    EXPECT_EQ(r.right - r.left, 77);
    RECT wr;
    GetWindowRect(owner_, &wr);
    EXPECT_EQ(right.right, wr.right - GetSystemMetrics(SM_CXFRAME));  // pushed to the end
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().window, owner_);
    EXPECT_EQ(drawn.back().rect.left, r.left - wr.left);  // window coordinates
    // Selected from the keyboard: drawn again, hot.
    drawn.clear();
    QueueTaps({VK_F10, VK_ESCAPE});
    Pump();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front().state & (ODS_SELECTED | ODS_HOTLIGHT), ODS_SELECTED | ODS_HOTLIGHT);
    EXPECT_EQ(drawn.back().state & ODS_SELECTED, 0u);
    EXPECT_EQ(Count(WM_MEASUREITEM, owner_), 1);
}

TEST_F(MenuBarTest, TrackingRepaintsOnlyTheItemsWhoseHighlightChanged) {
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_OWNERDRAW, 400, nullptr);
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "&Edit");
    AppendMenuA(bar, MF_STRING, 401, "&Help");
    static std::vector<UINT> actions;
    actions.clear();
    Handlers()[{owner_, WM_MEASUREITEM}] = [](HWND, WPARAM, LPARAM lp) -> LRESULT {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemWidth = 40;
        return TRUE;
    };
    Handlers()[{owner_, WM_DRAWITEM}] = [](HWND, WPARAM, LPARAM lp) -> LRESULT {
        actions.push_back(reinterpret_cast<DRAWITEMSTRUCT*>(lp)->itemAction);
        return TRUE;  // draws nothing: what lies behind must stay
    };
    SetMenu(owner_, bar);
    Pump();
    RECT items[3], wr;
    for (UINT i = 0; i < 3; ++i)
        GetMenuItemRect(owner_, bar, i, &items[i]);
    GetWindowRect(owner_, &wr);
    // A band of its own over the whole bar, as a skin paints it.
    const COLORREF band = RGB(255, 0, 255);
    HDC dc = GetWindowDC(owner_);
    RECT all{items[0].left - wr.left, items[0].top - wr.top, wr.right - wr.left,
             items[0].bottom - wr.top};
    HBRUSH brush = CreateSolidBrush(band);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(owner_, dc);
    Clear();
    actions.clear();
    QueueTaps({VK_F10, VK_RIGHT, VK_RIGHT, VK_ESCAPE});
    Pump();
    EXPECT_EQ(Count(WM_NCPAINT, owner_), 0);
    EXPECT_EQ(actions, (std::vector<UINT>{ODA_SELECT, ODA_SELECT}));  // on and off
    EXPECT_EQ(ScreenPixel(items[0].left + 2, items[0].top + 2), band);
    EXPECT_EQ(ScreenPixel(items[2].right + 5, items[2].top + 2), band);  // past the items
    EXPECT_EQ(ScreenPixel(items[1].left + 1, items[1].top + 1), GetSysColor(COLOR_MENU));
    // A repaint of the whole frame paints the whole bar.
    SetWindowPos(owner_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_GE(Count(WM_NCPAINT, owner_), 1);
    EXPECT_EQ(ScreenPixel(items[2].right + 5, items[2].top + 2), GetSysColor(COLOR_MENU));
}

TEST_F(MenuBarTest, ClicksOnTheBarOpenItsPopupsAndPickItems) {
    RECT file, edit, help;
    GetMenuItemRect(owner_, bar_, 0, &file);
    GetMenuItemRect(owner_, bar_, 1, &edit);
    GetMenuItemRect(owner_, bar_, 2, &help);
    HMENU editMenu = GetSubMenu(bar_, 1);
    RECT copy{};
    // Press File, slide to Edit (its pop-up replaces File's), let go there, click Copy.
    Handlers()[{owner_, WM_ENTERIDLE}] = [&, step = 0](HWND, WPARAM, LPARAM) mutable -> LRESULT {
        POINT e{edit.left + 3, edit.top + 3};
        if (step == 0) {
            QueueMouseEvent(MouseEvent{MouseEvent::Move, e});
            QueueMouseEvent(MouseEvent{MouseEvent::Up, e, MouseButton::Left});
        } else if (step == 1) {
            EXPECT_TRUE(GetMenuItemRect(nullptr, editMenu, 0, &copy));
            POINT c{copy.left + 3, copy.top + 3};
            QueueMouseEvent(MouseEvent{MouseEvent::Move, c});
            QueueMouseEvent(MouseEvent{MouseEvent::Down, c, MouseButton::Left});
            QueueMouseEvent(MouseEvent{MouseEvent::Up, c, MouseButton::Left});
        }
        ++step;
        return 0;
    };
    Click(file.left + 3, file.top + 3);
    EXPECT_EQ(copy.top, edit.bottom + 3);  // dropped below the bar item
    EXPECT_EQ(copy.left, edit.left + 3);
    ASSERT_EQ(Count(WM_COMMAND, owner_), 1);
    EXPECT_EQ(Last(WM_COMMAND, owner_)->wp, MAKEWPARAM(200, 0));
    EXPECT_EQ(Count(WM_INITMENUPOPUP, owner_), 2);
    // A command on the bar itself: pressed and released over it.
    Clear();
    Handlers().clear();
    clock_.Advance(1000);
    Click(help.left + 3, help.top + 3);
    ASSERT_EQ(Count(WM_COMMAND, owner_), 1);
    EXPECT_EQ(Last(WM_COMMAND, owner_)->wp, MAKEWPARAM(300, 0));
    // Esc closes File's pop-up and leaves the bar selected; a press outside then ends the loop
    // and still reaches the window under it: the caption is dragged.
    RECT before, after;
    GetWindowRect(owner_, &before);
    const POINT at{before.left + 150, before.top + GetSystemMetrics(SM_CYFRAME) + 5};
    Handlers()[{owner_, WM_ENTERIDLE}] = [&, step = 0](HWND, WPARAM, LPARAM) mutable -> LRESULT {
        if (step++ == 0) {
            QueueTaps({VK_ESCAPE});
        } else if (step == 2) {
            QueueMouseEvent(MouseEvent{MouseEvent::Down, at, MouseButton::Left});
            QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{at.x + 30, at.y + 20}});
            QueueMouseEvent(
                MouseEvent{MouseEvent::Up, POINT{at.x + 30, at.y + 20}, MouseButton::Left});
        }
        return 0;
    };
    Click(file.left + 3, file.top + 3);
    GetWindowRect(owner_, &after);
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 20);
}

}  // namespace
}  // namespace win::testing
