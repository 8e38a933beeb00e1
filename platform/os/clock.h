// Time as the program sees it: 32-bit millisecond ticks that wrap (GetTickCount), Sleep, the local
// date-time and the local time zone. All of it goes through one replaceable clock, so tests run
// 30-second time-outs in microseconds with a FakeClock.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/os/date_time.h"

namespace os {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t Ticks() = 0;  // milliseconds, wrapping at 2^32
    virtual void Sleep(uint32_t ms) = 0;
    virtual TDateTime Now() = 0;  // local time
    virtual int LocalZone() = 0;  // quarter hours east of UTC
};

// The operating system's clock.
Clock& SystemClock();

// The clock in use: the system clock unless a test installed another one.
Clock& CurrentClock();
void SetCurrentClock(Clock* clock);  // nullptr restores the system clock

inline uint32_t GetTickCount() {
    return CurrentClock().Ticks();
}
inline void Sleep(uint32_t ms) {
    CurrentClock().Sleep(ms);
}
inline TDateTime Now() {
    return CurrentClock().Now();
}
inline int LocalZone() {
    return CurrentClock().LocalZone();
}

// Milliseconds from `start` to `now`; a smaller `now` means the counter wrapped in between.
constexpr uint32_t TickDiff(uint32_t start, uint32_t now) {
    return now - start;
}

// The zone used when the system cannot tell its own: UTC+3.
inline constexpr int kDefaultZone = 12;

// The system's current offset from UTC in quarter hours, or kDefaultZone.
int SystemLocalZone();

// A clock for tests: time stands still until code sleeps or the test advances it. Safe to read
// from any thread.
class FakeClock : public Clock {
public:
    explicit FakeClock(TDateTime now = 46000.5, uint32_t ticks = 1000, int zone = kDefaultZone);

    uint32_t Ticks() override { return ticks_.load(); }
    void Sleep(uint32_t ms) override;
    TDateTime Now() override;
    int LocalZone() override { return zone_.load(); }

    void Advance(uint32_t ms);
    void SetTicks(uint32_t ticks) { ticks_.store(ticks); }
    void SetNow(TDateTime now);
    void SetZone(int zone) { zone_.store(zone); }
    uint64_t SleptMs() const { return slept_.load(); }  // total of all Sleep calls

private:
    std::atomic<uint32_t> ticks_;
    std::atomic<int64_t> nowMs_;
    std::atomic<int> zone_;
    std::atomic<uint64_t> slept_{0};
};

// Installs a clock for the lifetime of the guard.
class ScopedClock {
public:
    explicit ScopedClock(Clock& clock) : previous_(&CurrentClock()) { SetCurrentClock(&clock); }
    ~ScopedClock() { SetCurrentClock(previous_); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* previous_;
};

}  // namespace os
