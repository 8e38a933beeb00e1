#include "skin/core/state/threaded_timer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/os/clock.h"
#include "vcl/controls/forms.h"
#include "vcl/system/window_exceptions.h"

namespace skin {

// The worker: waits the interval, then has the GUI thread run the tick and waits for it. The
// pause and the stop request are flags under one lock with one condition variable.
class TacTimerThread : public vcl::TThread {
public:
    TacTimerThread(TacThreadedTimer* owner, uint32_t interval)
        : vcl::TThread(true), owner_(owner), interval_(interval) {}
    ~TacTimerThread() override {
        Signal();
        TerminateAndWait();
    }

    void SetInterval(uint32_t ms) { interval_ = ms; }
    void SetPaused(bool paused) {
        {
            std::lock_guard g(lock_);
            paused_ = paused;
        }
        wake_.notify_all();
    }
    bool Paused() const { return paused_; }
    // Wakes the worker for good.
    void Signal() {
        {
            std::lock_guard g(lock_);
            stop_ = true;
        }
        wake_.notify_all();
    }

protected:
    void Execute() override;

private:
    enum class WaitEnd { TimedOut, Paused, Stopped };
    WaitEnd WaitInterval();
    // On the GUI thread; false when the worker is to end.
    bool Tick();

    TacThreadedTimer* owner_;
    std::atomic<uint32_t> interval_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{true};
};

void TacTimerThread::Execute() {
    while (!Terminated()) {
        {
            std::unique_lock l(lock_);
            wake_.wait(l, [this] { return stop_ || !paused_; });
        }
        if (stop_) break;
        const WaitEnd end = WaitInterval();
        if (end == WaitEnd::Stopped) break;
        if (end == WaitEnd::Paused) continue;
        bool goOn = true;
        try {
            Synchronize([&] { goOn = Tick(); });
        } catch (...) {
            // The tick's error was the GUI thread's to show; without a handler it ends here.
        }
        if (!goOn) break;
    }
}

TacTimerThread::WaitEnd TacTimerThread::WaitInterval() {
    const uint32_t ms = interval_;
    const uint32_t start = os::GetTickCount();
    std::unique_lock l(lock_);
    for (;;) {
        if (stop_) return WaitEnd::Stopped;
        if (paused_) return WaitEnd::Paused;
        const uint32_t elapsed = os::TickDiff(start, os::GetTickCount());
        if (elapsed >= ms) return WaitEnd::TimedOut;
        // A test clock moves only when someone sleeps on it: look again soon.
        const bool realClock = &os::CurrentClock() == &os::SystemClock();
        wake_.wait_for(l, std::chrono::milliseconds(realClock ? ms - elapsed : 1));
    }
}

bool TacTimerThread::Tick() {
    // Paused or stopped while the tick was queued: the tick is dropped.
    if (stop_) return false;
    if (paused_) return true;
    TacThreadedTimer* owner = owner_;
    if (vcl::Application()->Terminated()) return false;
    owner->inTick_ = true;
    std::exception_ptr error;
    try {
        owner->Timer();
    } catch (...) {
        error = std::current_exception();
    }
    // A tick that destroyed its timer has stopped this worker; the timer is gone then.
    if (!stop_) owner->inTick_ = false;
    if (error) vcl::HandleWindowException(error);
    return true;
}

// --- TacThreadedTimer ---

std::vector<vcl::TPropInfo> TacThreadedTimer::Published() {
    return {vcl::Property("Enabled", &TacThreadedTimer::Enabled, &TacThreadedTimer::SetEnabled),
            vcl::Property("Interval", &TacThreadedTimer::Interval, &TacThreadedTimer::SetInterval)};
}

TacThreadedTimer::TacThreadedTimer(vcl::TComponent* owner) : vcl::TComponent(owner) {
    if (vcl::Application()->Terminated()) return;
    enabled_ = true;
    interval_ = 1000;
    CreateThread();
}

TacThreadedTimer::~TacThreadedTimer() {
    StopThread();
}

void TacThreadedTimer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    UpdateTimer();
}

void TacThreadedTimer::SetInterval(uint32_t ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (worker_) worker_->SetInterval(ms);
    UpdateTimer();
}

void TacThreadedTimer::SetOnTimer(vcl::TNotifyEvent handler) {
    onTimer_ = handler;
    UpdateTimer();
}

void TacThreadedTimer::SetThreadPriority(vcl::TThreadPriority priority) {
    if (priority == priority_) return;
    priority_ = priority;
    if (worker_) worker_->SetPriority(priority);
    UpdateTimer();
}

bool TacThreadedTimer::Ticking() const {
    return worker_ && !worker_->Paused();
}

void TacThreadedTimer::Timer() {
    // A copy: the handler may replace itself or free the timer while it runs.
    const vcl::TNotifyEvent handler = onTimer_;
    if (handler) handler(this);
}

void TacThreadedTimer::CreateThread() {
    worker_ = new TacTimerThread(this, interval_);
    worker_->SetPriority(priority_);
    UpdateTimer();
    worker_->Start();
}

void TacThreadedTimer::UpdateTimer() {
    if (!worker_) return;
    worker_->SetPaused(!(interval_ != 0 && enabled_ && onTimer_));
}

void TacThreadedTimer::StopThread() {
    if (!worker_) return;
    TacTimerThread* worker = worker_;
    worker_ = nullptr;
    worker->Signal();
    if (inTick_) {
        // Destroyed by its own tick: the worker is blocked until the tick returns, so it cannot
        // be awaited here; it ends on its own and frees itself.
        worker->FreeOnTerminate = true;
        return;
    }
    // The worker may be waiting for the GUI thread to run its tick: run the queued calls (the
    // tick sees the stop and does nothing) until it has ended.
    while (!worker->Finished()) {
        vcl::CheckSynchronize();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    delete worker;
}

}  // namespace skin
