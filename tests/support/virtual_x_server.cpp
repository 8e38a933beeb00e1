#include "tests/support/virtual_x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

extern char** environ;

namespace testing_support {

VirtualXServer::VirtualXServer() {
    using Clock = std::chrono::steady_clock;
    int fds[2];
    if (pipe(fds) != 0) return;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    std::string fd = std::to_string(fds[1]);
    // -noreset: the server would otherwise reset when one test closes its last connection,
    // and the next test's connection could fail while it does.
    const char* argv[] = {"Xvfb",        "-displayfd", fd.c_str(), "-screen",  "0",
                          "1280x800x24", "-nolisten",  "tcp",      "-noreset", nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, "Xvfb", &quiet, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&quiet);
    close(fds[1]);
    if (rc == 0) {
        pid_ = pid;
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        auto deadline = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < deadline && poll(&p, 1, 100) >= 0) {
            char c;
            ssize_t n = (p.revents & (POLLIN | POLLHUP)) ? read(fds[0], &c, 1) : 0;
            if (n < 0 || (n == 0 && (p.revents & POLLHUP))) break;  // it gave up
            if (n == 1 && c == '\n') break;
            if (n == 1) number += c;
        }
        if (!number.empty()) name_ = ":" + number;
    }
    close(fds[0]);
    if (name_.empty()) Stop();
}

VirtualXServer::~VirtualXServer() {
    Stop();
}

void VirtualXServer::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

}  // namespace testing_support
