#include "tools/vmodem/fake_port.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/os/clock.h"

namespace vmodem {

FakePort::FakePort(Engine& engine) : engine_(engine) {}

uint64_t FakePort::NowMs() {
    const uint32_t ticks = os::GetTickCount();
    if (started_) nowMs_ += os::TickDiff(lastTicks_, ticks);
    started_ = true;
    lastTicks_ = ticks;
    return nowMs_;
}

bool FakePort::Open(const std::string& name, os::PortStep& failed, os::SysError& error) {
    open_ = false;
    if (openFault_) {
        failed = openFault_->step;
        error = os::ErrorFromCode(openFault_->errnoValue);
        return false;
    }
    openedName_ = name;
    ++opens_;
    open_ = true;
    engine_.DiscardOutput();  // the purge
    return true;
}

bool FakePort::Read(char* buffer, std::size_t capacity, std::size_t& got, os::SysError& error) {
    got = 0;
    ++reads_;
    if (!open_) {
        error = os::ErrorFromCode(EBADF);
        return false;
    }
    if (failReads_ != 0) {
        if (failReads_ > 0) --failReads_;
        error = os::ErrorFromCode(readErrno_);
        return false;
    }
    uint64_t now = NowMs();
    std::string out = engine_.TakeOutput(now, capacity);
    if (out.empty()) {
        const uint64_t next = engine_.NextEventMs();
        uint64_t wait = os::kSerialTimeoutMs;
        if (next != kNever && next > now) wait = std::min<uint64_t>(wait, next - now);
        os::Sleep(static_cast<uint32_t>(wait));
        out = engine_.TakeOutput(NowMs(), capacity);
    }
    std::memcpy(buffer, out.data(), out.size());
    got = out.size();
    return true;
}

bool FakePort::Write(const char* data, std::size_t size, std::size_t& written,
                     os::SysError& error) {
    written = 0;
    if (!open_) {
        error = os::ErrorFromCode(EBADF);
        return false;
    }
    if (writeErrno_ != 0) {
        error = os::ErrorFromCode(writeErrno_);
        return false;
    }
    written = std::min(size, writeLimit_);
    engine_.Receive(std::string_view(data, written), NowMs());
    return true;
}

}  // namespace vmodem
