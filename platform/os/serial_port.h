// The serial port to the GSM modem: 115200 baud, 8 data bits, no parity, one stop bit, raw bytes,
// reads that return within about 50 ms and writes of a whole command at once.
//
// `SerialIo` is the seam the modem exchange talks to; `SerialPort` is the termios device, and the
// virtual modem supplies an in-process stand-in for tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/sys_error.h"

namespace os {

// The steps of opening a port, in order; a failure names the step it happened in.
enum class PortStep : uint8_t { Open, GetState, SetState, SetTimeouts, Purge };

class SerialIo {
public:
    virtual ~SerialIo() = default;

    // Opens and configures the port and discards everything pending in both directions. On
    // failure nothing stays open, and `failed` and `error` tell where and why.
    virtual bool Open(const std::string& name, PortStep& failed, SysError& error) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Reads at most `capacity` bytes, returning within about 50 ms; `got` is 0 when nothing came.
    virtual bool Read(char* buffer, std::size_t capacity, std::size_t& got, SysError& error) = 0;
    // Writes `size` bytes, giving up after about 50 ms; `written` may then be short.
    virtual bool Write(const char* data, std::size_t size, std::size_t& written,
                       SysError& error) = 0;
};

// How long one read or write may take.
inline constexpr int kSerialTimeoutMs = 50;

// A name without a folder is a device under /dev ("ttyUSB0" is "/dev/ttyUSB0").
std::string SerialDevicePath(const std::string& name);

class SerialPort : public SerialIo {
public:
    SerialPort() = default;
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool Open(const std::string& name, PortStep& failed, SysError& error) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool Read(char* buffer, std::size_t capacity, std::size_t& got, SysError& error) override;
    bool Write(const char* data, std::size_t size, std::size_t& written, SysError& error) override;

    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

// The serial ports of the machine, for the port dialog: the names under `sysClassTty` that have
// a real device behind them (ttyS0, ttyUSB0, ttyACM0, ...), in natural order (ttyS2 before
// ttyS10).
std::vector<std::string> ListSerialPorts(const std::string& sysClassTty = "/sys/class/tty");

}  // namespace os
