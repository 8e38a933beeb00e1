// The pop-up menu window's adapter on the platform's menu windows, put there by a creation hook
// of the test's own as the dialog hook puts it: the scroll adapter while no skinned menu is
// shown, the skin's background and the prepared frame while one is, and every menu adapter
// freed when the last pop-up closes.
#include "skin/windows/scroll/menu_wnd_adapter.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/sys_colors.h"
#include "platform/user/hooks.h"
#include "platform/user/input.h"
#include "platform/user/menus.h"
#include "platform/user/window_class.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/scroll/menu_wnd_adapters.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

int gFreed = 0;
struct CountedMnuWnd : TacMnuWnd {
    ~CountedMnuWnd() override { ++gFreed; }
};

win::HHOOK gHook = nullptr;
win::LRESULT MenuHook(int code, win::WPARAM wp, win::LPARAM lp) {
    if (code == win::HCBT_CREATEWND) {
        auto* cbt = reinterpret_cast<win::CBT_CREATEWNDA*>(lp);
        if (reinterpret_cast<uintptr_t>(cbt->lpcs->lpszClass) == win::kMenuClassAtom)
            MenuWndAdapters().push_back(AttachAdapter<CountedMnuWnd>(
                reinterpret_cast<win::HWND>(wp), nullptr, DefaultManager, "MAINMENU"));
    }
    return win::CallNextHookEx(gHook, code, wp, lp);
}

std::function<void()> gIdle;
win::LRESULT OwnerProc(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (msg == win::WM_ENTERIDLE && gIdle) gIdle();
    return win::DefWindowProcA(h, msg, wp, lp);
}

void Tap(win::UINT vk) {
    win::QueueKeyEvent(win::KeyEvent{vk, true});
    win::QueueKeyEvent(win::KeyEvent{vk, false});
}

int LiveMenuAdapters() {
    int n = 0;
    for (TacMnuWnd* a : MenuWndAdapters()) n += a->Unhooked ? 0 : 1;
    return n;
}

class MenuWndTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        gFreed = 0;
        win::WNDCLASSEXA wc;
        wc.lpfnWndProc = &OwnerProc;
        wc.lpszClassName = "MenuOwner";
        win::RegisterClassExA(&wc);
        owner = win::CreateWindowExA(0, "MenuOwner", "", win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE,
                                     100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);
        gHook = win::SetWindowsHookExA(win::WH_CBT, MenuHook, nullptr, win::GetCurrentThreadId());
        Pump();
    }
    void TearDown() override {
        win::UnhookWindowsHookEx(gHook);
        gIdle = nullptr;
        SetPopupBackgroundLookup(nullptr);
        SetSkinnedMenuShown(false);
        ClearMenuWndAdapters();
        win::DestroyWindow(owner);
        WindowsTest::TearDown();
    }
    static win::HMENU Menu() {
        win::HMENU sub = win::CreatePopupMenu();
        win::AppendMenuA(sub, win::MF_STRING, 20, "First");
        win::AppendMenuA(sub, win::MF_STRING, 21, "Second");
        win::HMENU m = win::CreatePopupMenu();
        win::AppendMenuA(m, win::MF_POPUP, reinterpret_cast<win::UINT_PTR>(sub), "More");
        win::AppendMenuA(m, win::MF_STRING, 10, "Open");
        win::AppendMenuA(m, win::MF_STRING, 11, "Save");
        return m;
    }
    int Track() {
        return int(win::TrackPopupMenu(Menu(), win::TPM_RETURNCMD, 150, 150, 0, owner, nullptr));
    }
    win::HWND owner = nullptr;
};

// A bitmap of one colour.
std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> Plain(int w, int h, uint32_t color) {
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> b(new vcl::TBitmap);
    b->SetPixelFormat(vcl::pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(vcl::TColor(color));
    b->Canvas()->FillRect(vcl::TRect(0, 0, w, h));
    return b;
}

uint32_t PixelOf(vcl::TBitmap* b, int x, int y) { return vcl::ColorToRGB(b->Canvas()->Pixels(x, y)); }

// Flag clear: the system's background and frame. Flag set: the adapter's picture of the
// section from 3 pixels in, and the frame from a prepared background whose size is the
// window's less 6 (another size leaves the frame alone). The closing frees the adapter and
// lowers the flag.
TEST_F(MenuWndTest, TheFlagDecidesBackgroundAndFrame) {
    constexpr uint32_t kFrame = 0x1EC80A;
    struct Seen {
        bool adapted = false;
        uint32_t plainErase = 0, skinErase = 0, cached = 0;
        int framed = 0;      // of the three sizes offered, how many gave the window its frame
        int systemBack = 0;  // how often the system's frame came back without one
    } seen;
    bool done = false;
    gIdle = [&] {
        if (done) return;
        done = true;
        win::HWND popup = win::FindWindowExA(nullptr, nullptr, win::MAKEINTATOM(win::kMenuClassAtom), nullptr);
        auto* a = dynamic_cast<TacMnuWnd*>(FindWindowAdapter(popup));
        seen.adapted = a != nullptr && MenuWndAdapters().size() == 1 && MenuWndAdapters()[0] == a;
        if (a == nullptr) return Tap(win::VK_ESCAPE);
        win::RECT wr{};
        win::GetWindowRect(popup, &wr);
        const int w = wr.right - wr.left, h = wr.bottom - wr.top;
        auto erase = Plain(w, h, 0);
        win::SendMessageA(popup, win::WM_ERASEBKGND, reinterpret_cast<uintptr_t>(erase->Canvas()->Handle()), 0);
        seen.plainErase = PixelOf(erase.get(), 5, 5);
        SetSkinnedMenuShown(true);
        win::SendMessageA(popup, win::WM_ERASEBKGND, reinterpret_cast<uintptr_t>(erase->Canvas()->Handle()), 0);
        seen.skinErase = PixelOf(erase.get(), 5, 5);
        seen.cached = PixelOf(a->SkinData->CacheBmp(), 8, 8);

        vcl::TBitmap* offered = nullptr;
        SetPopupBackgroundLookup([&offered, popup](win::HWND wnd) { return wnd == popup ? offered : nullptr; });
        // Less 5 across is no frame's size; less 6 all round and the window's own size are.
        for (auto [bw, bh] : {std::pair{w - 5, h - 6}, std::pair{w - 6, h - 6}, std::pair{w, h}}) {
            auto bg = Plain(bw, bh, kFrame);
            offered = bg.get();
            win::SendMessageA(popup, win::WM_NCPAINT, 1, 0);
            seen.framed += WindowPixel(popup, 0, 0) == kFrame && WindowPixel(popup, w - 2, h / 2) == kFrame;
            offered = nullptr;
            win::SendMessageA(popup, win::WM_NCPAINT, 1, 0);
            seen.systemBack += WindowPixel(popup, 0, 0) != kFrame;
        }
        Tap(win::VK_ESCAPE);
    };
    EXPECT_EQ(Track(), 0);
    EXPECT_TRUE(seen.adapted);
    EXPECT_EQ(seen.plainErase, win::GetSysColor(win::COLOR_MENU));
    EXPECT_EQ(seen.skinErase, seen.cached);
    EXPECT_NE(seen.skinErase, seen.plainErase);
    EXPECT_EQ(seen.framed, 2);
    EXPECT_EQ(seen.systemBack, 3);
    EXPECT_TRUE(MenuWndAdapters().empty());
    EXPECT_EQ(gFreed, 1);
    EXPECT_FALSE(SkinnedMenuShown());
}

// A sub-menu closing while its parent is open frees nothing; the last pop-up's close frees
// every menu adapter, each after its own message returned (under ASan: no use after free).
TEST_F(MenuWndTest, TheLastPopupsCloseFreesEveryMenuAdapter) {
    int step = 0;
    size_t listedWithSub = 0;
    int liveWithSub = 0, liveAfterSub = 0, freedAfterSub = -1;
    gIdle = [&] {
        switch (step++) {
            case 0:
                SetSkinnedMenuShown(true);
                Tap(win::VK_DOWN);
                Tap(win::VK_RIGHT);
                return;
            case 1:
                listedWithSub = MenuWndAdapters().size();
                liveWithSub = LiveMenuAdapters();
                Tap(win::VK_ESCAPE);
                return;
            case 2:
                liveAfterSub = LiveMenuAdapters();
                freedAfterSub = gFreed;
                Tap(win::VK_ESCAPE);
                return;
            default:
                Tap(win::VK_ESCAPE);
                return;
        }
    };
    EXPECT_EQ(Track(), 0);
    EXPECT_EQ(listedWithSub, 2u);
    EXPECT_EQ(liveWithSub, 2);
    EXPECT_EQ(liveAfterSub, 1);
    EXPECT_EQ(freedAfterSub, 0);
    EXPECT_TRUE(SkinnedMenuShown() == false);
    EXPECT_TRUE(MenuWndAdapters().empty());
    EXPECT_EQ(gFreed, 2);
}

}  // namespace
}  // namespace skin::testing
