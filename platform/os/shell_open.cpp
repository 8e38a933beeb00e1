#include "platform/os/shell_open.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/os/sys_error.h"

namespace os {

namespace {

std::string Describe(const char* step, int code) {
    const SysError e = ErrorFromCode(code);
    return std::string(step) + ": " + e.text + " (" + std::to_string(e.code) + ")";
}

}  // namespace

// Forks twice so that the opener is not our child (no zombie, it outlives us), and reports the
// exec failure of the grandchild back through a close-on-exec pipe.
ShellOpenResult ShellOpen(const std::string& target, const std::string& program) {
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
            const int err = errno;
            [[maybe_unused]] auto n = write(fds[1], &err, sizeof err);
            _exit(1);
        }
        if (grandchild > 0) _exit(0);
        const int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execlp(program.c_str(), program.c_str(), target.c_str(), static_cast<char*>(nullptr));
        const int err = errno;
        [[maybe_unused]] auto n = write(fds[1], &err, sizeof err);
        _exit(127);
    }
    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    int err = 0;
    ssize_t n;
    do {
        n = read(fds[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    close(fds[0]);
    if (n == static_cast<ssize_t>(sizeof err)) return {false, Describe(program.c_str(), err)};
    return {true, {}};
}

}  // namespace os
