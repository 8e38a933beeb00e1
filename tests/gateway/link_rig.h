// A mailing window's link wired to the in-process virtual modem, in virtual time, with the log
// lines and message boxes captured.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "gateway/log_thread.h"
#include "gateway/serial_link.h"
#include "platform/os/clock.h"
#include "tools/vmodem/engine.h"
#include "tools/vmodem/fake_port.h"
#include "vcl/system/date_utils.h"

namespace gateway_test {

struct Box {
    std::string text, caption;
    unsigned flags;
};

// Virtual time for code that has no other thread to wait for: a sleep only moves the clock on,
// without giving the processor away, so runs of virtual minutes stay fast on a busy machine.
class SingleThreadClock : public os::FakeClock {
public:
    using FakeClock::FakeClock;
    void Sleep(uint32_t ms) override { Advance(ms); }
};

struct Rig {
    explicit Rig(vmodem::Options options = {}, uint32_t ticks = 1000)
        : clock(vcl::EncodeDateTime(2025, 1, 17, 10, 23, 20, 0), ticks, 12),
          use(clock),
          modem(std::move(options)),
          port(modem),
          link(port) {
        link.ComPort = "ttyUSB0";
        link.WriteLog = [this](const std::string& text, uint8_t category) {
            log.emplace_back(text, category);
        };
        link.ShowMessage = [this](const std::string& text, const std::string& caption,
                                  unsigned flags) {
            boxes.push_back({text, caption, flags});
        };
    }

    // The program's own lines (category PRGM), without their CR.
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (const auto& [text, category] : log)
            if (category == gateway::PRGM) out.push_back(text.substr(0, text.size() - 1));
        return out;
    }
    int Count(const std::string& line) const {
        int n = 0;
        for (const std::string& l : Lines())
            n += l == line;
        return n;
    }
    std::string Traffic() const {
        std::string out;
        for (const auto& [text, category] : log)
            if (category == gateway::GATE) out += text;
        return out;
    }

    SingleThreadClock clock;
    os::ScopedClock use;
    vmodem::Engine modem;
    vmodem::FakePort port;
    gateway::TSerialLink link;
    std::vector<std::pair<std::string, uint8_t>> log;
    std::vector<Box> boxes;
};

}  // namespace gateway_test
