// TTimer: a component that calls OnTimer every Interval milliseconds while it is enabled.
//
// It runs on a window timer of its own hidden window, so its ticks come through the message
// loop on the GUI thread and follow the current clock (a fake one in tests). A tick that comes
// late does not pile up: the next one is a whole interval later. Interval 0 stops the ticks.
#pragma once

#include <cstdint>

#include "platform/user/win_types.h"
#include "vcl/system/component.h"
#include "vcl/system/delegate.h"
#include "vcl/system/messages.h"

namespace vcl {

class TTimer : public TComponent {
public:
    VCL_CLASS_PUBLISHED(TTimer, TComponent)

    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    uint32_t Interval() const { return interval_; }
    // Restarts the count: the next tick comes a whole new interval from now.
    void SetInterval(uint32_t ms);

    TNotifyEvent OnTimer;

protected:
    // One tick; the default calls OnTimer. An exception goes to the application's handler.
    virtual void Timer() { OnTimer(this); }

private:
    void UpdateTimer();
    void WndProc(TMessage& m);

    win::HWND window_ = nullptr;
    bool enabled_ = true;
    bool running_ = false;
    uint32_t interval_ = 1000;
};

}  // namespace vcl
