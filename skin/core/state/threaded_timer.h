// TacThreadedTimer: a timer whose ticks come from a worker thread of its own, so they keep coming
// while the GUI thread's message queue is busy; the tick itself always runs on the GUI thread,
// and the worker waits until it has run.
//
// Rules:
//  1. The worker ticks only while Enabled is set, Interval is not 0 and OnTimer is assigned;
//     otherwise it is paused (waiting on a condition variable, not suspended). A paused worker
//     that is let go again waits a whole interval before its next tick.
//  2. Interval is read afresh for every wait; the time between ticks is Interval plus the time
//     the tick takes. Waits follow the current clock, so tests run them in virtual time.
//  3. Destroying the timer wakes the worker and returns only after it has ended; a tick that
//     is queued for the GUI thread then is dropped, never run on a timer that is going.
//  4. A timer made while the application is terminating has no worker: its setters only store.
//     Once the application terminates, the worker ends at its next tick without running it.
//  5. An exception of the tick goes to the application's handler; the worker goes on.
#pragma once

#include <cstdint>
#include <memory>

#include "vcl/system/component.h"
#include "vcl/system/delegate.h"
#include "vcl/system/threads.h"

namespace skin {

class TacTimerThread;

class TacThreadedTimer : public vcl::TComponent {
public:
    VCL_CLASS_PUBLISHED(TacThreadedTimer, vcl::TComponent)

    explicit TacThreadedTimer(vcl::TComponent* owner);
    ~TacThreadedTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t ms);
    const vcl::TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(vcl::TNotifyEvent handler);
    vcl::TThreadPriority ThreadPriority() const { return priority_; }
    void SetThreadPriority(vcl::TThreadPriority priority);

    // Whether a worker exists and is not paused (for tests and the hide timer).
    bool Ticking() const;
    bool HasWorker() const { return worker_ != nullptr; }

protected:
    // One tick, on the GUI thread; the default calls OnTimer.
    virtual void Timer();

private:
    friend class TacTimerThread;
    void CreateThread();
    void StopThread();
    void UpdateTimer();
    void DoTimer();

    bool enabled_ = false;
    uint32_t interval_ = 0;
    vcl::TNotifyEvent onTimer_;
    vcl::TThreadPriority priority_ = vcl::TThreadPriority::tpNormal;
    TacTimerThread* worker_ = nullptr;
    bool inTick_ = false;
};

}  // namespace skin
