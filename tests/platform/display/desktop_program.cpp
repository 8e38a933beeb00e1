#include "tests/platform/display/desktop_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include <X11/Xlib.h>

extern char** environ;

namespace display {

DesktopProgram::DesktopProgram(const char* displayName, std::vector<std::string> argv,
                               const char* selection) {
    Display* probe = XOpenDisplay(displayName);
    if (probe == nullptr) return;
    const Atom owned = XInternAtom(probe, selection, False);
    // A program just stopped may still own it until the server has seen it go.
    const ::Window before = XGetSelectionOwner(probe, owned);
    std::vector<std::string> env{"DISPLAY=" + std::string(displayName)};
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("DISPLAY=", 0) != 0) env.emplace_back(*e);
    std::vector<char*> args, envp;
    for (auto& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, args[0], &quiet, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&quiet);
    // Ready when it owns its selection; one that never does (not installed, failed) is not up.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
        if (const ::Window now = XGetSelectionOwner(probe, owned); now != 0 && now != before) {
            up_ = true;
            break;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // A window manager owns its selection before it manages windows, and a window mapped in
    // between may stay unmanaged: ready once a window mapped anew is taken under its care
    // (WM_STATE).
    if (up_ && std::string(selection).rfind("WM_S", 0) == 0) {
        up_ = false;
        const ::Window w =
            XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, 1, 1, 0, 0, 0);
        XMapWindow(probe, w);
        XFlush(probe);
        const Atom wmState = XInternAtom(probe, "WM_STATE", False);
        for (int tries = 1; !up_ && std::chrono::steady_clock::now() < deadline; ++tries) {
            if (tries % 10 == 0) {
                XUnmapWindow(probe, w);
                XMapWindow(probe, w);
                XFlush(probe);
            }
            Atom type = 0;
            int format = 0;
            unsigned long n = 0, after = 0;
            unsigned char* data = nullptr;
            XGetWindowProperty(probe, w, wmState, 0, 1, False, wmState, &type, &format, &n, &after,
                               &data);
            if (data) XFree(data);
            up_ = n > 0;
            if (!up_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        XDestroyWindow(probe, w);
        XSync(probe, False);
    }
    XCloseDisplay(probe);
}

DesktopProgram::~DesktopProgram() {
    if (pid_ <= 0) return;
    // Asked first; one that does not go within two seconds is made to.
    kill(pid_, SIGTERM);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace display
