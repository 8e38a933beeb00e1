#include "platform/os/shell_open.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/os/cp_literal.h"
#include "platform/os/sys_error.h"

namespace os {

namespace {

// What comes back through the pipe; the first report wins.
struct Report {
    enum Kind : int { ExecFailed = 1, Exited = 2 } kind;
    int value;  // errno of exec, or the wait status of the opener
};

void Send(int fd, Report r) {
    [[maybe_unused]] auto n = write(fd, &r, sizeof r);
}

std::string Describe(const char* step, int code) {
    const SysError e = ErrorFromCode(code);
    return std::string(step) + ": " + e.text + " (" + std::to_string(e.code) + ")";
}

int64_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// In the intermediate process: waits up to `ms` for the opener and reports how it ended.
[[noreturn]] void WatchOpener(pid_t opener, int ms, int fd) {
    const int64_t deadline = MonotonicMs() + ms;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(opener, &status, WNOHANG);
        if (r == opener) {
            Send(fd, {Report::Exited, status});
            break;
        }
        if (r < 0 || MonotonicMs() >= deadline) break;
        usleep(5000);
    }
    _exit(0);
}

std::string ExitText(const std::string& program, int status) {
    const std::string how = WIFEXITED(status)
                                ? "код выхода "_cp + std::to_string(WEXITSTATUS(status))
                                : "сигнал "_cp + std::to_string(WTERMSIG(status));
    return program + ": " + "нет программы, которая может открыть этот файл"_cp + " (" + how + ")";
}

}  // namespace

// Forks twice so that the opener is not our child (no zombie, it outlives us). The middle
// process watches the opener's exit when asked; the exec failure of the opener and its exit come
// back through a close-on-exec pipe, which closes when the middle process ends.
ShellOpenResult ShellOpen(const std::string& target, const std::string& program,
                          const ShellOpenWatch& watch) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return {false, Describe("pipe", errno)};

    const pid_t child = fork();
    if (child < 0) {
        const int err = errno;
        close(fds[0]);
        close(fds[1]);
        return {false, Describe("fork", err)};
    }
    if (child == 0) {
        close(fds[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild < 0) {
            Send(fds[1], {Report::ExecFailed, errno});
            _exit(1);
        }
        if (grandchild > 0) {
            if (watch.milliseconds > 0) WatchOpener(grandchild, watch.milliseconds, fds[1]);
            _exit(0);
        }
        const int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execlp(program.c_str(), program.c_str(), target.c_str(), static_cast<char*>(nullptr));
        Send(fds[1], {Report::ExecFailed, errno});
        _exit(127);
    }
    close(fds[1]);
    Report first{};
    bool reported = false;
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const int ready = poll(&p, 1, watch.idle ? 10 : -1);
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0) {
            Report r{};
            const ssize_t n = read(fds[0], &r, sizeof r);
            if (n < 0 && errno == EINTR) continue;
            if (n != static_cast<ssize_t>(sizeof r)) break;  // the end: the middle process is gone
            if (!reported) first = r, reported = true;
            continue;
        }
        if (watch.idle) watch.idle();
    }
    close(fds[0]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
    if (!reported) return {true, {}};
    if (first.kind == Report::ExecFailed) return {false, Describe(program.c_str(), first.value)};
    if (WIFEXITED(first.value) && WEXITSTATUS(first.value) == 0) return {true, {}};
    return {false, ExitText(program, first.value)};
}

}  // namespace os
