// Shared set-up of the windowing tests: a fresh window system on a fake clock, a class whose
// procedure logs every message, and helpers to pump and to inject input.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/os/clock.h"
#include "platform/user/user.h"

namespace win::testing {

struct Logged {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// What the message loop waits on in these tests: time passes on the fake clock, and scripted
// input arrives when its moment comes. A loop left waiting for input that never comes is a
// failed test: it gets Esc, then WM_QUIT, instead of hanging.
class ScriptedInput : public EventSource {
public:
    explicit ScriptedInput(os::FakeClock& clock) : clock_(clock) {}
    // Runs `action` (normally queueing input) `ms` milliseconds from now.
    void At(uint32_t ms, std::function<void()> action);
    void Wait(uint32_t timeoutMs) override;
    void Wake() override { woken_ = true; }

private:
    struct Step {
        uint32_t due;
        std::function<void()> action;
    };
    os::FakeClock& clock_;
    std::vector<Step> steps_;  // in order of due time
    std::atomic<bool> woken_{false};
    int starved_ = 0;
};

class UserTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A window of the logging class.
    HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr, DWORD ex = 0,
              const char* title = "w");
    // Messages logged since the last Clear, optionally only those of `interesting`.
    std::vector<UINT> Messages(HWND h = nullptr) const;
    std::vector<UINT> Only(const std::vector<UINT>& interesting, HWND h = nullptr) const;
    int Count(UINT msg, HWND h = nullptr) const;
    const Logged* Last(UINT msg, HWND h = nullptr) const;
    void Clear();
    // Runs the queue dry.
    void Pump();
    void Move(int x, int y);
    void Press(int x, int y, MouseButton b = MouseButton::Left);
    void Release(int x, int y, MouseButton b = MouseButton::Left);
    void Click(int x, int y, MouseButton b = MouseButton::Left);
    void Key(UINT vk, bool down, unsigned char ch = 0);
    void Tap(UINT vk);

    // Queues key presses (down and up) without pumping: for input a modal loop will take.
    void QueueTaps(std::initializer_list<UINT> keys);

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    ScriptedInput script_{clock_};

public:
    // Per-window answers for the logging procedure: when set, the message is answered with it.
    static std::map<std::pair<HWND, UINT>, LRESULT>& Answers();
    static std::map<std::pair<HWND, UINT>, std::function<LRESULT(HWND, WPARAM, LPARAM)>>&
    Handlers();
    static std::vector<Logged>& Log();
    static LRESULT CALLBACK_Proc(HWND, UINT, WPARAM, LPARAM);
};

inline constexpr const char* kLogClass = "TestLogWindow";

// A pixel of the composed screen.
COLORREF ScreenPixel(int x, int y);
// A top-down 32-bit DIB section whose pixels `pixel` gives (as 0xAARRGGBB).
HBITMAP MakeImage(int width, int height, const std::function<uint32_t(int x, int y)>& pixel);

}  // namespace win::testing
