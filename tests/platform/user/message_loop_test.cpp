// Posting, retrieval order, quitting, timers in virtual time and calls from other threads.
#include <atomic>
#include <stdexcept>
#include <thread>

#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

TEST_F(UserTest, RetrievalTakesPostedBeforeQuitAndFiltersByWindowAndRange) {
    HWND a = Make(WS_POPUP, 0, 0, 10, 10);
    HWND b = Make(WS_POPUP, 0, 0, 10, 10);
    Pump();
    PostMessageA(a, WM_USER + 1, 1, 0);
    PostMessageA(b, WM_USER + 2, 2, 0);
    PostQuitMessage(3);
    PostMessageA(a, WM_USER + 3, 3, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_USER + 2u);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(m.hwnd, a);
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, WM_USER + 1u);
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, WM_USER + 2u);
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 0);  // quit once the posted ones are gone
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessageA(&m, reinterpret_cast<HWND>(uintptr_t(0x99)), 0, 0), -1);
}

TEST_F(UserTest, MessagesForDestroyedWindowsAreDropped) {
    HWND a = Make(WS_POPUP, 0, 0, 10, 10);
    PostMessageA(a, WM_USER, 0, 0);
    DestroyWindow(a);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
}

TEST_F(UserTest, NestedLoopsAndQuitReachTheOuterLoop) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    static int inner;
    inner = 0;
    Handlers()[{w, WM_USER}] = [](HWND h, WPARAM, LPARAM) -> LRESULT {
        // A modal loop inside a handler: it sees messages posted meanwhile.
        PostMessageA(h, WM_USER + 1, 0, 0);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0) {
            DispatchMessageA(&m);
            if (m.message == WM_USER + 1) ++inner;
            if (m.message == WM_USER + 2) break;
        }
        return 0;
    };
    Handlers()[{w, WM_USER + 1}] = [](HWND h, WPARAM, LPARAM) -> LRESULT {
        PostMessageA(h, WM_USER + 2, 0, 0);
        return 0;
    };
    PostMessageA(w, WM_USER, 0, 0);
    Pump();
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(Count(WM_USER + 2, w), 1);
}

TEST_F(UserTest, TimersFireOnTheFakeClockAndDoNotPileUp) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    Pump();
    EXPECT_EQ(SetTimer(w, 65533, 100, nullptr), 65533u);
    SetTimer(w, 7, 12, nullptr);
    Clear();
    for (int i = 0; i < 8; ++i) {
        clock_.Advance(12);
        Pump();
    }
    EXPECT_EQ(Count(WM_TIMER), 8);  // all from the 12 ms timer
    Clear();
    clock_.Advance(4);
    Pump();
    EXPECT_EQ(Count(WM_TIMER), 1);
    EXPECT_EQ(Last(WM_TIMER)->wp, 65533u);
    // Late by a whole second: one message, not eighty.
    Clear();
    KillTimer(w, 65533);
    clock_.Advance(1000);
    Pump();
    EXPECT_EQ(Count(WM_TIMER), 1);
    EXPECT_FALSE(KillTimer(w, 65533));
    // GetMessage sleeps on the clock until the next timer is due.
    Clear();
    uint64_t before = clock_.SleptMs();
    MSG m;
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, WM_TIMER);
    EXPECT_EQ(clock_.SleptMs() - before, 12u);
    // Timers die with their window.
    DestroyWindow(w);
    clock_.Advance(50);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(UserTest, ThreadTimersCallTheirProcedure) {
    static int calls;
    calls = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 5, [](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
    EXPECT_NE(id, 0u);
    clock_.Advance(10);  // raised to the 10 ms minimum
    Pump();
    EXPECT_EQ(calls, 1);
    KillTimer(nullptr, id);
}

TEST_F(UserTest, OtherThreadsPostAndRunCallsOnTheGuiThread) {
    BindGuiThread();
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    std::atomic<bool> ranOnGui{false};
    auto gui = std::this_thread::get_id();
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            PostMessageA(w, WM_USER, WPARAM(i), 0);
        RunOnGuiThread([&] { ranOnGui = std::this_thread::get_id() == gui; });
        EXPECT_THROW(RunOnGuiThread([] { throw std::runtime_error("boom"); }), std::runtime_error);
        // A send from another thread runs on the GUI thread and answers.
        EXPECT_EQ(SendMessageA(w, WM_GETTEXTLENGTH, 0, 0), 1);
        PostMessageA(w, WM_USER + 1, 0, 0);
    });
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        DispatchMessageA(&m);
        if (m.message == WM_USER + 1) break;
    }
    worker.join();
    EXPECT_TRUE(ranOnGui);
    EXPECT_EQ(Count(WM_USER, w), 100);
    // In order.
    WPARAM expected = 0;
    for (auto& l : Log()) {
        if (l.msg == WM_USER) {
            EXPECT_EQ(l.wp, expected++);
        }
    }
}

TEST_F(UserTest, TranslateMessageMakesCharactersFromKeys) {
    HWND w = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
    SetFocus(w);
    Clear();
    Key('A', true);
    Key('A', false);
    Key(VK_SHIFT, true);
    Key('B', true, 0);
    Key(VK_SHIFT, false);
    Key(0xC0, true, 0xE9);  // a cp1251 letter from the presenter
    std::vector<WPARAM> chars;
    for (auto& l : Log())
        if (l.msg == WM_CHAR) chars.push_back(l.wp);
    EXPECT_EQ(chars, (std::vector<WPARAM>{'a', 'B', 0xE9}));
}

}  // namespace
}  // namespace win::testing
