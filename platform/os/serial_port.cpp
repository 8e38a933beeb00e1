#include "platform/os/serial_port.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace os {

namespace {

int64_t MonotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits until the descriptor is ready for `events` or the deadline passes. Returns the poll
// result: 1 ready, 0 timed out, -1 failed (errno set).
int PollUntil(int fd, short events, int64_t deadline, short& revents) {
    for (;;) {
        const int64_t left = std::max<int64_t>(0, deadline - MonotonicMs());
        pollfd p{fd, events, 0};
        const int r = poll(&p, 1, static_cast<int>(left));
        if (r < 0 && errno == EINTR) continue;
        revents = p.revents;
        return r;
    }
}

// Raw bytes in both directions: no line editing, no echo, no signals from the data (an echoed
// Ctrl-Z must not stop the program), no CR/LF translation, no output processing. Flow control
// stays as the port was set up.
void MakeRaw(termios& t) {
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        INPCK | IMAXBEL);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
}

}  // namespace

std::string SerialDevicePath(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    return "/dev/" + name;
}

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::Open(const std::string& name, PortStep& failed, SysError& error) {
    Close();
    auto fail = [&](PortStep step) {
        failed = step;
        error = LastError();
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        return false;
    };
    fd_ = ::open(SerialDevicePath(name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return fail(PortStep::Open);
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return fail(PortStep::GetState);  // not a terminal
    // No sharing: a second program opening the modem would steal its replies.
    if (::ioctl(fd_, TIOCEXCL) != 0) return fail(PortStep::Open);
    MakeRaw(t);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return fail(PortStep::SetState);

    // The time limits are kept by poll, which needs non-blocking transfers underneath.
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail(PortStep::SetTimeouts);

    if (::tcflush(fd_, TCIOFLUSH) != 0) return fail(PortStep::Purge);
    return true;
}

void SerialPort::Close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

bool SerialPort::Read(char* buffer, std::size_t capacity, std::size_t& got, SysError& error) {
    got = 0;
    if (fd_ < 0) {
        error = ErrorFromCode(EBADF);
        return false;
    }
    short revents = 0;
    const int r = PollUntil(fd_, POLLIN, MonotonicMs() + kSerialTimeoutMs, revents);
    if (r < 0) {
        error = LastError();
        return false;
    }
    if (r == 0) return true;
    // Readable, hung up or failed: read tells which (a vanished device gives EIO).
    const ssize_t n = ::read(fd_, buffer, capacity);
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) return true;
        error = LastError();
        return false;
    }
    if (n == 0 && (revents & (POLLHUP | POLLERR | POLLNVAL))) {
        // The device went away (the other end of a terminal closed, a USB modem was pulled).
        error = ErrorFromCode(EIO);
        return false;
    }
    got = static_cast<std::size_t>(n);
    return true;
}

bool SerialPort::Write(const char* data, std::size_t size, std::size_t& written, SysError& error) {
    written = 0;
    if (fd_ < 0) {
        error = ErrorFromCode(EBADF);
        return false;
    }
    const int64_t deadline = MonotonicMs() + kSerialTimeoutMs;
    while (written < size) {
        const ssize_t n = ::write(fd_, data + written, size - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            error = LastError();
            return false;
        }
        short revents = 0;
        const int r = PollUntil(fd_, POLLOUT, deadline, revents);
        if (r < 0) {
            error = LastError();
            return false;
        }
        if (r == 0) break;  // out of time: the caller sees the short count
    }
    return true;
}

namespace {

std::string LinkTarget(const std::string& path) {
    char buf[512];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
    if (n <= 0) return {};
    buf[n] = 0;
    return buf;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The legacy 8250 driver lists every port it might have; only those it found hardware for have a
// known UART type. A port we may not open is listed, since it might well be there.
bool Legacy8250PortPresent(const std::string& name) {
    const int fd = ::open(("/dev/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EACCES || errno == EBUSY;
    serial_struct info{};
    const bool known = ::ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type != PORT_UNKNOWN;
    ::close(fd);
    return known;
}

// "ttyS10" after "ttyS2": the names compare by their text, then by the number at their end.
bool NaturalLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::size_t i = s.size();
        while (i > 0 && s[i - 1] >= '0' && s[i - 1] <= '9')
            --i;
        return i;
    };
    const std::size_t ia = split(a), ib = split(b);
    const std::string pa = a.substr(0, ia), pb = b.substr(0, ib);
    if (pa != pb) return pa < pb;
    const std::string na = a.substr(ia), nb = b.substr(ib);
    if (na.size() != nb.size()) return na.size() < nb.size();
    return na < nb;
}

}  // namespace

std::vector<std::string> ListSerialPorts(const std::string& sysClassTty) {
    std::vector<std::string> ports;
    DIR* dir = ::opendir(sysClassTty.c_str());
    if (!dir) return ports;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.') continue;
        const std::string base = sysClassTty + "/" + name;
        struct stat st {};
        // Virtual terminals, consoles and pseudo-terminals have no device behind them.
        if (::stat((base + "/device").c_str(), &st) != 0) continue;
        if (BaseName(LinkTarget(base + "/device/driver")) == "serial8250" &&
            !Legacy8250PortPresent(name))
            continue;
        ports.push_back(name);
    }
    ::closedir(dir);
    std::sort(ports.begin(), ports.end(), NaturalLess);
    return ports;
}

}  // namespace os
