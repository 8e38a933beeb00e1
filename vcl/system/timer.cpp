#include "vcl/system/timer.h"

#include <exception>

#include "platform/user/user.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/util_window.h"
#include "vcl/system/window_exceptions.h"

namespace vcl {

namespace {

constexpr win::UINT_PTR kTimerId = 1;

}  // namespace

std::vector<TPropInfo> TTimer::Published() {
    return {Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled),
            Property("Interval", &TTimer::Interval, &TTimer::SetInterval)};
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    window_ = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
    UpdateTimer();
}

TTimer::~TTimer() {
    enabled_ = false;
    UpdateTimer();
    DeallocateHWnd(window_);
}

void TTimer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t ms) {
    if (ms == interval_) return;
    interval_ = ms;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (running_) win::KillTimer(window_, kTimerId);
    running_ = false;
    if (!enabled_ || interval_ == 0 || !window_) return;
    if (!win::SetTimer(window_, kTimerId, interval_, nullptr))
        throw EOutOfResources("Not enough timers available");
    running_ = true;
}

void TTimer::WndProc(TMessage& m) {
    if (m.Msg != win::WM_TIMER || m.WParam != kTimerId) {
        DefaultUtilWindowProc(window_, m);
        return;
    }
    try {
        Timer();
    } catch (...) {
        HandleWindowException(std::current_exception());
    }
}

}  // namespace vcl
