// Creation and destruction order, handles, classes, subclassing and window data.
#include <cstring>

#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> order;
WNDPROC hookSaved = nullptr;

LRESULT SubclassProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) order.push_back("sub:NCCREATE");
    return CallWindowProcA(hookSaved, h, m, wp, lp);
}

HHOOK hook = nullptr;
LRESULT CbtProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        order.push_back("cbt:create");
        auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lp);
        EXPECT_STREQ(cbt->lpcs->lpszName, "subclassed");
        hookSaved = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(HWND(wp), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    } else if (code == HCBT_DESTROYWND) {
        order.push_back("cbt:destroy");
    }
    return CallNextHookEx(hook, code, wp, lp);
}

TEST_F(UserTest, CreateAndDestroySendTheStandardOrderAndHookCanSubclass) {
    order.clear();
    hook = SetWindowsHookExA(WH_CBT, &CbtProc, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    HWND parent = Make(WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, 0, "subclassed");
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(order, (std::vector<std::string>{"cbt:create", "sub:NCCREATE"}));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWL_WNDPROC)), &SubclassProc);
    EXPECT_THAT(
        Only({WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}, parent),
        ElementsAre(WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE));
    UnhookWindowsHookEx(hook);

    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent);
    HWND grandchild = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, child);
    const Logged* notify = Last(WM_PARENTNOTIFY, parent);
    ASSERT_NE(notify, nullptr);
    EXPECT_EQ(LOWORD(notify->wp), WM_CREATE);
    EXPECT_EQ(HWND(notify->lp), grandchild);  // passed up the chain

    Clear();
    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> seen;
    for (auto& l : Log())
        if (l.msg == WM_DESTROY || l.msg == WM_NCDESTROY) seen.emplace_back(l.hwnd, l.msg);
    EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{{parent, WM_DESTROY},
                                                        {child, WM_DESTROY},
                                                        {grandchild, WM_DESTROY},
                                                        {grandchild, WM_NCDESTROY},
                                                        {child, WM_NCDESTROY},
                                                        {parent, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(grandchild));
}

TEST_F(UserTest, CbtHookSeesOneDestroyPerCallAndCanVeto) {
    order.clear();
    static int destroys;
    static bool veto;
    destroys = 0;
    veto = true;
    HHOOK h = SetWindowsHookExA(
        WH_CBT,
        [](int code, WPARAM, LPARAM) -> LRESULT {
            if (code == HCBT_DESTROYWND) {
                ++destroys;
                return veto ? 1 : 0;
            }
            return 0;
        },
        nullptr, 0);
    HWND top = Make(WS_POPUP, 0, 0, 10, 10);
    Make(WS_CHILD, 0, 0, 5, 5, top);
    EXPECT_FALSE(DestroyWindow(top));
    EXPECT_TRUE(IsWindow(top));
    veto = false;
    destroys = 0;
    EXPECT_TRUE(DestroyWindow(top));
    EXPECT_EQ(destroys, 1);
    UnhookWindowsHookEx(h);
    EXPECT_FALSE(UnhookWindowsHookEx(h));
}

TEST_F(UserTest, FailedCreationLeavesNoWindow) {
    HWND dummy = Make(WS_POPUP, 0, 0, 1, 1);
    (void)dummy;
    static HWND created;
    created = nullptr;
    WNDCLASSEXA wc;
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_CREATE) {
            created = h;
            return -1;
        }
        return DefWindowProcA(h, m, wp, lp);
    };
    wc.lpszClassName = "Refuses";
    RegisterClassExA(&wc);
    EXPECT_EQ(CreateWindowExA(0, "Refuses", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_NE(created, nullptr);
    EXPECT_FALSE(IsWindow(created));
    // A class with windows cannot go; one without can.
    EXPECT_FALSE(UnregisterClassA(kLogClass, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
    EXPECT_TRUE(UnregisterClassA("refuses", nullptr));
    EXPECT_EQ(
        CreateWindowExA(0, "Nope", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

TEST_F(UserTest, HandlesAreNeverReusedAndStaleOnesAreRejected) {
    HWND a = Make(WS_POPUP, 0, 0, 10, 10);
    DestroyWindow(a);
    HWND b = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_NE(a, b);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(SendMessageA(a, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(SetWindowPos(a, nullptr, 0, 0, 1, 1, 0));
    EXPECT_FALSE(PostMessageA(a, WM_USER, 0, 0));
    EXPECT_EQ(GetWindowLongPtrA(reinterpret_cast<HWND>(uintptr_t(0x1234)), GWL_STYLE), 0);
    RECT r;
    EXPECT_FALSE(GetWindowRect(a, &r));
    EXPECT_FALSE(DestroyWindow(a));
    EXPECT_EQ(GetParent(a), nullptr);
}

TEST_F(UserTest, AtomsNameTheSystemClasses) {
    WNDCLASSEXA wc;
    wc.lpfnWndProc = &DefWindowProcA;
    wc.lpszClassName = "#32770";
    EXPECT_EQ(RegisterClassExA(&wc), kDialogClassAtom);
    HWND d = CreateWindowExA(0, MAKEINTATOM(0x8002), "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(d, nullptr);
    char name[16];
    EXPECT_EQ(GetClassNameA(d, name, sizeof name), 6);
    EXPECT_STREQ(name, "#32770");
    EXPECT_EQ(GetClassLongPtrA(d, GCW_ATOM), kDialogClassAtom);
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    UINT m1 = RegisterWindowMessageA("SM_ALPHACMD");
    EXPECT_GE(m1, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("sm_alphacmd"), m1);
    EXPECT_NE(RegisterWindowMessageA("Other"), m1);
    // Superclassing: the class information of one class starts another.
    WNDCLASSEXA info;
    ASSERT_TRUE(GetClassInfoExA(nullptr, kLogClass, &info));
    EXPECT_EQ(info.style, UINT(CS_DBLCLKS));
    info.lpszClassName = "Derived";
    EXPECT_NE(RegisterClassExA(&info), 0);
}

LRESULT ProcA(HWND h, UINT m, WPARAM wp, LPARAM lp);
LRESULT ProcB(HWND h, UINT m, WPARAM wp, LPARAM lp);
WNDPROC beforeA = nullptr, beforeB = nullptr;
std::string trail;
LRESULT ProcA(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER) trail += "A";
    return CallWindowProcA(beforeA, h, m, wp, lp);
}
LRESULT ProcB(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER) trail += "B";
    return CallWindowProcA(beforeB, h, m, wp, lp);
}

TEST_F(UserTest, SubclassChainsUnwindInAnyOrder) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    auto set = [w](WNDPROC p) {
        return reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(p)));
    };
    beforeA = set(&ProcA);
    beforeB = set(&ProcB);
    trail.clear();
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_EQ(trail, "BA");
    EXPECT_EQ(Count(WM_USER, w), 1);
    // A leaves first although B is on top: B now calls what A called.
    if (beforeB == &ProcA) beforeB = beforeA;
    trail.clear();
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_EQ(trail, "B");
    EXPECT_EQ(set(beforeB), &ProcB);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWL_WNDPROC)),
              &UserTest::CALLBACK_Proc);
    EXPECT_EQ(SetWindowLongPtrA(w, GWL_WNDPROC, 0), 0);  // a null procedure is refused
}

TEST_F(UserTest, StyleChangesAreAnnouncedAndVisibleBitChangesOnlyTheBit) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    Clear();
    Handlers()[{w, WM_STYLECHANGING}] = [](HWND, WPARAM, LPARAM lp) -> LRESULT {
        reinterpret_cast<STYLESTRUCT*>(lp)->styleNew |= WS_BORDER;
        return 0;
    };
    LONG_PTR old = SetWindowLongPtrA(w, GWL_STYLE, WS_POPUP);
    EXPECT_EQ(DWORD(old) & WS_VISIBLE, WS_VISIBLE);
    EXPECT_EQ(DWORD(GetWindowLongPtrA(w, GWL_STYLE)), WS_POPUP | WS_BORDER);
    EXPECT_THAT(Messages(w), ElementsAre(WM_STYLECHANGING, WM_STYLECHANGED));
    EXPECT_FALSE(IsWindowVisible(w));
    // WS_EX_TOPMOST belongs to SetWindowPos.
    Handlers().clear();
    SetWindowLongPtrA(w, GWL_EXSTYLE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(DWORD(GetWindowLongPtrA(w, GWL_EXSTYLE)), WS_EX_TOOLWINDOW);
}

TEST_F(UserTest, PropertiesTextAndExtraBytes) {
    WNDCLASSEXA wc;
    wc.lpfnWndProc = &DefWindowProcA;
    wc.cbWndExtra = 16;
    wc.lpszClassName = "Extra";
    RegisterClassExA(&wc);
    HWND w = CreateWindowExA(0, "Extra", "Заголовок", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                             nullptr, nullptr);
    int value = 7;
    EXPECT_TRUE(SetPropA(w, "ACSBSC", &value));
    EXPECT_EQ(GetPropA(w, "acsbsc"), &value);
    EXPECT_TRUE(SetPropA(w, MAKEINTATOM(0xC123), &value));
    EXPECT_EQ(GetPropA(w, MAKEINTATOM(0xC123)), &value);
    EXPECT_EQ(RemovePropA(w, "ACSBSC"), &value);
    EXPECT_EQ(GetPropA(w, "ACSBSC"), nullptr);

    char buf[8];
    EXPECT_EQ(GetWindowTextLengthA(w), int(std::strlen("Заголовок")));
    EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 7);  // cut to the buffer
    SetWindowTextA(w, "ab");
    EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 2);
    EXPECT_STREQ(buf, "ab");

    EXPECT_EQ(SetWindowLongPtrA(w, 8, 42), 0);
    EXPECT_EQ(GetWindowLongPtrA(w, 8), 42);
    EXPECT_EQ(GetWindowLongPtrA(w, 12), 0);  // a 4-byte slot at the end
    EXPECT_EQ(GetWindowLongPtrA(w, 16), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    SetWindowLongPtrA(w, GWL_USERDATA, 99);
    EXPECT_EQ(GetWindowLongPtrA(w, GWL_USERDATA), 99);
}

TEST_F(UserTest, TreeQueriesAndEnumeration) {
    HWND owner = Make(WS_OVERLAPPEDWINDOW, 0, 0, 200, 200);
    HWND popup = Make(WS_POPUP, 0, 0, 50, 50, owner);
    HWND c1 = CreateWindowExA(0, kLogClass, "one", WS_CHILD, 0, 0, 5, 5, owner,
                              reinterpret_cast<HMENU>(uintptr_t(11)), nullptr, nullptr);
    HWND c2 = CreateWindowExA(0, kLogClass, "two", WS_CHILD, 0, 0, 5, 5, owner,
                              reinterpret_cast<HMENU>(uintptr_t(12)), nullptr, nullptr);
    HWND inner = Make(WS_CHILD, 0, 0, 1, 1, c1);
    EXPECT_EQ(GetParent(c1), owner);
    EXPECT_EQ(GetParent(popup), owner);  // the owner of a popup
    EXPECT_EQ(GetParent(owner), nullptr);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_EQ(GetTopWindow(owner), c2);  // new windows go on top
    EXPECT_EQ(GetWindow(c2, GW_HWNDNEXT), c1);
    EXPECT_EQ(GetWindow(c1, GW_HWNDPREV), c2);
    EXPECT_EQ(GetDlgItem(owner, 12), c2);
    EXPECT_EQ(GetDlgCtrlID(c1), 11);
    EXPECT_TRUE(IsChild(owner, inner));
    EXPECT_FALSE(IsChild(owner, popup));
    EXPECT_EQ(GetAncestor(inner, GA_ROOT), owner);
    EXPECT_EQ(GetAncestor(popup, GA_ROOTOWNER), owner);
    EXPECT_EQ(FindWindowExA(owner, nullptr, nullptr, "one"), c1);
    EXPECT_EQ(FindWindowExA(owner, c2, kLogClass, nullptr), c1);
    EXPECT_EQ(FindWindowA(kLogClass, "w"), popup);

    static std::vector<HWND> seen;
    seen.clear();
    EnumChildWindows(
        owner,
        [](HWND h, LPARAM) -> BOOL {
            seen.push_back(h);
            return TRUE;
        },
        0);
    EXPECT_EQ(seen, (std::vector<HWND>{c2, c1, inner}));
    // A callback that destroys windows while enumerating is safe.
    seen.clear();
    EnumChildWindows(
        owner,
        [](HWND h, LPARAM) -> BOOL {
            seen.push_back(h);
            DestroyWindow(h);
            return TRUE;
        },
        0);
    EXPECT_EQ(seen, (std::vector<HWND>{c2, c1}));
    EXPECT_EQ(GetTopWindow(owner), nullptr);
}

}  // namespace
}  // namespace win::testing
