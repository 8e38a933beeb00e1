#include "tests/support/watchdog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace testing_support {

Watchdog::Watchdog(int seconds)
    : thread_([this, seconds] {
          std::unique_lock g(lock_);
          if (!done_.wait_for(g, std::chrono::seconds(seconds), [this] { return stop_; })) {
              std::fprintf(stderr, "test still waiting after %d s: a loop got no input\n", seconds);
              std::abort();
          }
      }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard g(lock_);
        stop_ = true;
    }
    done_.notify_all();
    thread_.join();
}

}  // namespace testing_support
