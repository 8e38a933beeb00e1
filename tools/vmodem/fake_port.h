// The virtual modem behind the serial seam, in the time of the current clock: with a FakeClock
// the whole AT exchange runs in virtual time. A read with nothing due waits (sleeps on the clock)
// until output is due or the 50 ms read limit has passed, as the real port does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/os/serial_port.h"
#include "tools/vmodem/engine.h"

namespace vmodem {

class FakePort : public os::SerialIo {
public:
    explicit FakePort(Engine& engine);

    bool Open(const std::string& name, os::PortStep& failed, os::SysError& error) override;
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool Read(char* buffer, std::size_t capacity, std::size_t& got, os::SysError& error) override;
    bool Write(const char* data, std::size_t size, std::size_t& written,
               os::SysError& error) override;

    // Faults of the port itself.
    void FailOpenAt(os::PortStep step, int errnoValue) { openFault_ = {step, errnoValue}; }
    // The next `count` reads fail with `errnoValue` (count < 0: every read, an unplugged modem).
    void FailReads(int count, int errnoValue = 5 /* EIO */) {
        failReads_ = count;
        readErrno_ = errnoValue;
    }
    void FailWrites(int errnoValue) { writeErrno_ = errnoValue; }
    // Writes put out at most `bytes` bytes.
    void LimitWrites(std::size_t bytes) { writeLimit_ = bytes; }

    // The engine's time scale: milliseconds of the current clock, not wrapping.
    uint64_t NowMs();

    const std::string& openedName() const { return openedName_; }
    int opens() const { return opens_; }
    int reads() const { return reads_; }

private:
    struct OpenFault {
        os::PortStep step;
        int errnoValue;
    };

    Engine& engine_;
    bool open_ = false;
    std::optional<OpenFault> openFault_;
    int failReads_ = 0;
    int readErrno_ = 5;
    int writeErrno_ = 0;
    std::size_t writeLimit_ = SIZE_MAX;
    std::string openedName_;
    int opens_ = 0;
    int reads_ = 0;
    bool started_ = false;
    uint32_t lastTicks_ = 0;
    uint64_t nowMs_ = 0;
};

}  // namespace vmodem
