// Driving a modal loop from a test: steps that queue input, each run once the loop has
// handled what the step before it queued. Header-only: the test binaries that use it link the
// window system.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"

namespace testing_support {

using Step = std::function<void(win::HWND active)>;

// Steps that drive a modal dialog: each runs, with the active window, once the loop has handled
// everything the step before it queued (a thread timer comes due only on an empty queue; its
// period is longer than a double click, so clicks of two steps never pair up). A dialog still
// up when the steps have run out is cancelled, so a fault fails the test instead of hanging it.
class Script {
public:
    explicit Script(std::vector<Step> steps) {
        if (timer_) win::KillTimer(nullptr, timer_);  // one script at a time
        steps_ = std::move(steps);
        next_ = 0;
        overran_ = false;
        timer_ = win::SetTimer(nullptr, 0, 700, Tick);
    }
    ~Script() {
        win::KillTimer(nullptr, timer_);
        timer_ = 0;
    }
    bool Finished() const { return next_ == steps_.size() && !overran_; }

private:
    static void Tick(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
        win::HWND active = win::GetActiveWindow();
        if (next_ < steps_.size()) {
            steps_[next_++](active);
        } else if (active) {
            overran_ = true;
            win::PostMessageA(active, win::WM_COMMAND, win::IDCANCEL, 0);
        }
    }
    static inline std::vector<Step> steps_;
    static inline std::size_t next_ = 0;
    static inline bool overran_ = false;
    static inline win::UINT_PTR timer_ = 0;
};

// Every byte typed as a key press making that cp1251 character ("\r" is Enter, "\x1b" Escape).
inline void QueueType(const std::string& text) {
    for (char c : text) {
        const auto ch = static_cast<unsigned char>(c);
        const win::UINT vk = c == '\r' ? win::VK_RETURN : c == 27 ? win::VK_ESCAPE : 'A';
        win::QueueKeyEvent(win::KeyEvent{vk, true, ch});
        win::QueueKeyEvent(win::KeyEvent{vk, false, 0});
    }
}

inline void QueueDoubleClick(win::POINT p) {
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Move, p});
    for (int i = 0; i < 2; ++i) {
        win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Down, p, win::MouseButton::Left});
        win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Up, p, win::MouseButton::Left});
    }
}

}  // namespace testing_support
