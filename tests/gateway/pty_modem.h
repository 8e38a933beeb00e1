// The virtual modem serving a pseudo-terminal from a thread of its own.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tools/vmodem/pty.h"

namespace gateway_test {

class PtyModem {
public:
    explicit PtyModem(vmodem::Options options = {}) : engine(std::move(options)) {
        std::string error;
        if (!pty.Open(error)) ADD_FAILURE() << error;
        thread_ = std::thread([this] { vmodem::Serve(engine, pty.master(), stop_, {}, nullptr); });
    }
    ~PtyModem() { Stop(); }
    // After this the engine can be read.
    void Stop() {
        stop_.store(true);
        if (thread_.joinable()) thread_.join();
    }

    vmodem::Engine engine;
    vmodem::Pty pty;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace gateway_test
