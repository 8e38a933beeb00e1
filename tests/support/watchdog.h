// Ends a test run that waits forever (a modal loop that never gets its input) with a message,
// instead of leaving it to the run's time-out. Declare one as a member of the fixture.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace testing_support {

class Watchdog {
public:
    explicit Watchdog(int seconds = 60);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex lock_;
    std::condition_variable done_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace testing_support
