#include "tools/vmodem/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace vmodem {

namespace {

// What a slow reader may leave unread before the modem drops further output.
constexpr std::size_t kMaxBacklog = 64 * 1024;
constexpr int kIdlePollMs = 100;

uint64_t SteadyMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

void Trace(std::FILE* trace, const char* dir, const char* data, std::size_t n) {
    if (!trace || n == 0) return;
    std::fputs(dir, trace);
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c == '\r')
            std::fputs("\\r", trace);
        else if (c == '\n')
            std::fputs("\\n", trace);
        else if (c < 0x20 || c >= 0x7F)
            std::fprintf(trace, "\\x%02X", c);
        else
            std::fputc(c, trace);
    }
    std::fputc('\n', trace);
    std::fflush(trace);
}

}  // namespace

Pty::~Pty() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool Pty::Open(std::string& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = std::string("cannot open ") + name + ": " + std::strerror(errno);
        return false;
    }
    termios t{};
    if (::tcgetattr(slave_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    return true;
}

void Serve(Engine& engine, int masterFd, const std::atomic<bool>& stop,
           const std::function<void(const Accepted&)>& onAccepted, std::FILE* trace) {
    const uint64_t origin = SteadyMs();
    auto now = [&] { return SteadyMs() - origin; };
    std::string backlog;
    std::size_t told = 0;
    char buf[512];
    while (!stop.load()) {
        // One read's worth per turn, so pieces meant to arrive separately do.
        if (backlog.empty()) {
            backlog = engine.TakeOutput(now(), sizeof buf);
            Trace(trace, "modem> ", backlog.data(), backlog.size());
        }
        if (!backlog.empty()) {
            const ssize_t n = ::write(masterFd, backlog.data(), backlog.size());
            if (n > 0) backlog.erase(0, static_cast<std::size_t>(n));
            if (backlog.size() > kMaxBacklog) backlog.clear();
        }

        int timeout = kIdlePollMs;
        const uint64_t next = engine.NextEventMs();
        if (!backlog.empty()) {
            timeout = 5;
        } else if (next != kNever) {
            const uint64_t t = now();
            timeout = next <= t ? 0 : static_cast<int>(std::min<uint64_t>(next - t, kIdlePollMs));
        }
        pollfd p{masterFd, POLLIN, 0};
        const int r = ::poll(&p, 1, timeout);
        if (r > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(masterFd, buf, sizeof buf);
            if (n > 0) {
                Trace(trace, "host>  ", buf, static_cast<std::size_t>(n));
                engine.Receive(std::string_view(buf, static_cast<std::size_t>(n)), now());
            }
        } else if (r > 0) {
            ::usleep(10000);  // hung up or failed: nothing to read, do not spin
        }
        while (told < engine.accepted().size()) {
            if (onAccepted) onAccepted(engine.accepted()[told]);
            ++told;
        }
    }
}

}  // namespace vmodem
