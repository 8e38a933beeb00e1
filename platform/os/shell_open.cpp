#include "platform/os/shell_open.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/os/cp_literal.h"
#include "platform/os/sys_error.h"

namespace os {

namespace {

// What comes back through a pipe.
struct Report {
    enum Kind : int { ExecFailed = 1, Exited = 2 } kind;
    int value;  // errno of exec, or the wait status of the opener
};

void Send(int fd, Report r) {
    [[maybe_unused]] auto n = write(fd, &r, sizeof r);
}

// One whole report, or false at the end of the pipe.
bool Receive(int fd, Report& r) {
    ssize_t n;
    while ((n = read(fd, &r, sizeof r)) < 0 && errno == EINTR) {}
    return n == static_cast<ssize_t>(sizeof r);
}

// How the process ended (its wait status), -1 when it cannot be told.
int Reap(pid_t pid) {
    int status = 0;
    pid_t r;
    while ((r = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {}
    return r == pid ? status : -1;
}

// The size of a file of /proc, which tells none beforehand.
std::size_t ProcFileSize(const char* path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    std::size_t size = 0;
    char buf[256];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;)
        size += static_cast<std::size_t>(n);
    close(fd);
    return size;
}

// In the middle process, once the opener is forked: it shows as `name` in the process list, as
// its command (ps, top) and as its command line (ps -f), which it would otherwise share with the
// program. The line is written over the arguments' strings, and on into the environment's that
// follow them when it is longer: this process's own copies, which nothing here reads any more.
void NameWatch(const std::string& name) {
    if (name.empty()) return;
    prctl(PR_SET_NAME, name.c_str(), 0, 0, 0);
    char* args = program_invocation_name;  // argv[0], where the arguments' strings start
    const std::size_t argsSize = ProcFileSize("/proc/self/cmdline");
    if (!args || name.size() >= argsSize + ProcFileSize("/proc/self/environ")) return;
    std::memset(args, 0, argsSize);
    std::memcpy(args, name.c_str(), name.size() + 1);
}

std::string Describe(const std::string& step, int code) {
    return step + ": " + RussianErrorText(code) + " (" + std::to_string(code) + ")";
}

// xdg-open's exit codes: 3 when no program is known for the file, 4 when the one it started
// failed (it runs the viewer in the foreground and passes its failure on).
ShellOpenResult ExitResult(const std::string& program, int status) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {true, {}};
    if (!WIFEXITED(status))
        return {false, program + ": " + "программа просмотра прервана сигналом "_cp +
                           std::to_string(WTERMSIG(status))};
    const int code = WEXITSTATUS(status);
    const std::string what = code == 3 ? "нет программы, которая может открыть этот файл"_cp
                                       : "программа просмотра завершилась с ошибкой"_cp;
    return {false, program + ": " + what + " (" + "код выхода "_cp + std::to_string(code) + ")"};
}

// In the middle process: waits for the opener as long as it runs and reports how it ended.
[[noreturn]] void WatchOpener(pid_t opener, int fd) {
    int status = 0;
    pid_t r;
    while ((r = waitpid(opener, &status, 0)) < 0 && errno == EINTR) {}
    if (r == opener) Send(fd, {Report::Exited, status});
    _exit(0);
}

// In the middle process: the standard streams go to /dev/null and every other descriptor but
// the pipe ends `keepA` and `keepB` (-1: none) is closed, since the watch may last as long as the
// viewer runs: the program's X connection held here would keep its windows on the screen after
// it ended, its instance lock would keep its slot taken, a pipe on its output open.
void KeepOnly(int& keepA, int& keepB, int maxFd) {
    for (int* fd : {&keepA, &keepB})
        if (*fd >= 0 && *fd < 3) *fd = fcntl(*fd, F_DUPFD_CLOEXEC, 3);
    const int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
    }
    const int lo = keepB < 0 ? keepA : std::min(keepA, keepB);
    const int hi = std::max(keepA, keepB);
    const auto closeFrom = [&](int first, int last) {
        if (first > last) return;
        if (close_range(static_cast<unsigned>(first), static_cast<unsigned>(last), 0) == 0) return;
        for (int fd = first; fd <= last && fd < maxFd; ++fd)
            close(fd);
    };
    closeFrom(3, lo - 1);
    if (hi != lo) closeFrom(lo + 1, hi - 1);
    closeFrom(hi + 1, INT_MAX);
}

struct Started {
    ShellOpenResult result;
    pid_t watcher = -1;
    int exitPipe = -1;  // when watched and started
};

// Forks twice so that the opener is not our child (no zombie, it outlives us). The exec failure
// comes back through a close-on-exec pipe that closes once the opener runs, so the start is known
// at once; the opener's end through a second pipe that the middle process holds while it watches.
Started Start(const std::string& target, const std::string& program, bool watch,
              const std::string& watchName = {}) {
    int execPipe[2], exitPipe[2] = {-1, -1};
    if (pipe2(execPipe, O_CLOEXEC) != 0) return {{false, Describe("pipe", errno)}};
    if (watch && pipe2(exitPipe, O_CLOEXEC) != 0) {
        const int err = errno;
        close(execPipe[0]);
        close(execPipe[1]);
        return {{false, Describe("pipe", err)}};
    }
    const auto closeAll = [&] {
        for (int fd : {execPipe[0], execPipe[1], exitPipe[0], exitPipe[1]})
            if (fd >= 0) close(fd);
    };

    const long openMax = sysconf(_SC_OPEN_MAX);
    const int maxFd = openMax > 0 && openMax < INT_MAX ? static_cast<int>(openMax) : 65536;
    const pid_t child = fork();
    if (child < 0) {
        const int err = errno;
        closeAll();
        return {{false, Describe("fork", err)}};
    }
    if (child == 0) {
        close(execPipe[0]);
        if (watch) close(exitPipe[0]);
        setsid();
        KeepOnly(execPipe[1], exitPipe[1], maxFd);
        const pid_t opener = fork();
        if (opener < 0) {
            Send(execPipe[1], {Report::ExecFailed, errno});
            _exit(1);
        }
        if (opener == 0) {
            execlp(program.c_str(), program.c_str(), target.c_str(), static_cast<char*>(nullptr));
            Send(execPipe[1], {Report::ExecFailed, errno});
            _exit(127);
        }
        if (watch) NameWatch(watchName);  // before the start is told: then it shows so
        close(execPipe[1]);
        if (watch) WatchOpener(opener, exitPipe[1]);
        _exit(0);
    }
    close(execPipe[1]);
    if (watch) close(exitPipe[1]);
    Report r{};
    const bool failed = Receive(execPipe[0], r);
    close(execPipe[0]);
    if (failed || !watch) {
        if (watch) close(exitPipe[0]);
        Reap(child);
        if (failed) return {{false, Describe(program, r.value)}};
        return {{true, {}}};
    }
    fcntl(exitPipe[0], F_SETFL, fcntl(exitPipe[0], F_GETFL) | O_NONBLOCK);
    return {{true, {}}, child, exitPipe[0]};
}

}  // namespace

ShellOpenResult ShellOpen(const std::string& target, const std::string& program) {
    return Start(target, program, false).result;
}

ShellOpening::ShellOpening(const std::string& target, const std::string& program,
                           const std::string& watchName)
    : program_(program) {
    Started s = Start(target, program, true, watchName);
    if (!s.result.ok) {
        result_ = std::move(s.result);
        return;
    }
    watcher_ = s.watcher;
    pipe_ = s.exitPipe;
}

ShellOpening::~ShellOpening() {
    if (pipe_ < 0) return;
    // The middle process only waits; the opener, a process of its own, is not touched.
    kill(watcher_, SIGKILL);
    EndWatch();
}

int ShellOpening::EndWatch() {
    close(pipe_);
    pipe_ = -1;
    const int status = Reap(watcher_);
    watcher_ = -1;
    return status;
}

std::optional<ShellOpenResult> ShellOpening::Poll() {
    if (result_) return result_;
    Report r{};
    const ssize_t n = read(pipe_, &r, sizeof r);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return std::nullopt;
    const int watch = EndWatch();
    if (n == static_cast<ssize_t>(sizeof r)) {
        result_ = ExitResult(program_, r.value);
    } else {
        // The watch ended without a report (killed, most likely): the opener did start, but
        // whether it then failed nobody can tell, so it is neither ok nor a failure.
        std::string why = program_ + ": " + "неизвестно, как завершилась программа просмотра"_cp;
        if (watch != -1 && WIFSIGNALED(watch))
            why += std::string(" (") + "наблюдающий процесс прерван сигналом "_cp +
                   std::to_string(WTERMSIG(watch)) + ")";
        result_ = ShellOpenResult{false, why, false};
    }
    return result_;
}

}  // namespace os
