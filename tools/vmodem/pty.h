// The vmodem program's side of a pseudo-terminal: the modem engine answers on the master while
// the program under test opens the slave as its serial port.
#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>

#include "tools/vmodem/engine.h"

namespace vmodem {

class Pty {
public:
    Pty() = default;
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Creates the terminal pair. The slave stays open here as well (in raw mode), so the master
    // keeps working while the program under test closes and reopens its port.
    bool Open(std::string& error);
    int master() const { return master_; }
    const std::string& path() const { return path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// Answers on `masterFd` in real time until `stop` is set. `onAccepted` hears of every message the
// modem accepts; `trace`, when given, receives the traffic in both directions.
void Serve(Engine& engine, int masterFd, const std::atomic<bool>& stop,
           const std::function<void(const Accepted&)>& onAccepted, std::FILE* trace);

}  // namespace vmodem
