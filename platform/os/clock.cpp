#include "platform/os/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace os {

namespace {

class RealClock : public Clock {
public:
    uint32_t Ticks() override {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }

    void Sleep(uint32_t ms) override {
        if (ms == 0)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

    TDateTime Now() override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        tm local{};
        localtime_r(&ts.tv_sec, &local);
        DateParts p;
        p.year = local.tm_year + 1900;
        p.month = local.tm_mon + 1;
        p.day = local.tm_mday;
        p.hour = local.tm_hour;
        p.minute = local.tm_min;
        p.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second is not a time of day
        p.msec = static_cast<int>(ts.tv_nsec / 1000000);
        return JoinDateTime(p);
    }

    int LocalZone() override { return SystemLocalZone(); }
};

RealClock gSystemClock;
std::atomic<Clock*> gCurrent{&gSystemClock};

}  // namespace

Clock& SystemClock() {
    return gSystemClock;
}
Clock& CurrentClock() {
    return *gCurrent.load(std::memory_order_acquire);
}
void SetCurrentClock(Clock* clock) {
    gCurrent.store(clock ? clock : &gSystemClock, std::memory_order_release);
}

int SystemLocalZone() {
    const time_t now = time(nullptr);
    tm local{};
    if (now == static_cast<time_t>(-1) || !localtime_r(&now, &local)) return kDefaultZone;
    return static_cast<int>(local.tm_gmtoff / (15 * 60));
}

FakeClock::FakeClock(TDateTime now, uint32_t ticks, int zone)
    : ticks_(ticks), nowMs_(DateTimeToMs(now)), zone_(zone) {}

void FakeClock::Sleep(uint32_t ms) {
    slept_ += ms;
    Advance(ms);
    std::this_thread::yield();  // let real threads that wait on this clock make progress
}

void FakeClock::Advance(uint32_t ms) {
    ticks_ += ms;
    nowMs_ += ms;
}

TDateTime FakeClock::Now() {
    return MsToDateTime(nowMs_.load());
}
void FakeClock::SetNow(TDateTime now) {
    nowMs_.store(DateTimeToMs(now));
}

}  // namespace os
