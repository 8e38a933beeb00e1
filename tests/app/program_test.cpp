// The program as a whole, run as a separate process from a copy in a temporary folder (so that
// its log lands there).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <numeric>
#include <vector>

#include "platform/os/cp1251.h"
#include "platform/os/files.h"
#include "platform/os/instance_slots.h"
#include "tests/support/temp_dir.h"
#include "tests/support/virtual_x_server.h"

// Xlib's macros clash with other names, so it comes last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using testing_support::TempDir;

struct ProgramRun {
    int status = -1;
    std::string err;
};

ProgramRun RunProgram(const std::string& exe, const std::string& runtimeDir) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 2);
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        unsetenv("DISPLAY");
        alarm(60);  // a hang guard, far beyond a loaded machine's start-up: it ends the program
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    ProgramRun r;
    char buf[512];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        r.err.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int st = 0;
    waitpid(pid, &st, 0);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        exe = bin / "tessary";
        std::filesystem::copy_file(TESSARY_EXE, exe);
    }
    void TearDown() override {
        if (holder_ > 0) {
            kill(holder_, SIGKILL);
            waitpid(holder_, nullptr, 0);
        }
    }
    // Other running copies, simulated by a child process that holds their slots beside the
    // database.
    void HoldSlots(std::vector<int> slots) {
        const std::string locks = bin / "Local Tables";
        ASSERT_TRUE(os::MakeDirectories(locks));
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        holder_ = fork();
        if (holder_ == 0) {
            for (int s : slots)
                os::TakeInstanceLock(locks, s);
            char c = 1;
            [[maybe_unused]] auto n = write(fds[1], &c, 1);
            for (;;)
                pause();
        }
        char c;
        ASSERT_EQ(read(fds[0], &c, 1), 1);
        close(fds[0]);
        close(fds[1]);
    }
    TempDir bin, runtime;
    std::string exe;

private:
    pid_t holder_ = -1;
};

TEST_F(ProgramTest, WithoutADisplayItTakesAFreeSlotLogsItsStartAndEndsWithAFailure) {
    HoldSlots({0, 2});
    const ProgramRun r = RunProgram(exe, runtime.path());
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
    const std::string log = os::ReadWholeFile(bin / "gate_01.log").value_or("");
    EXPECT_NE(log.find(os::Utf8ToCp1251("[PRGM]: Tessary запущен, экземпляр 1\r\n")),
              std::string::npos)
        << log;
    EXPECT_FALSE(os::FileExists(bin / "proba_01.log"));
}

TEST_F(ProgramTest, TheTwentyFirstCopyShowsTheLimitAndEnds) {
    std::vector<int> all;
    for (int i = 0; i < 20; ++i)
        all.push_back(i);
    HoldSlots(all);
    const ProgramRun r = RunProgram(exe, runtime.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Внимание: Нельзя запускать более 20 экземпляров Tessary."),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(os::FileExists(bin / "gate_00.log"));  // it never started its log
}

// The other refusals say why and end with a failure too: a lock that cannot be made names its
// folder and reason (the limit is only for twenty copies running), and a database that cannot be
// used waits in no box that nobody could answer.
TEST_F(ProgramTest, EveryOtherRefusalToStartSaysWhyAndEndsWithAFailure) {
    const std::string tables = bin / "Local Tables";
    const struct {
        std::function<void()> arrange;
        std::string said;
        bool nonRoot = false;  // root writes into a folder of mode 555
    } cases[] = {
        {[&] {
             std::vector<int> nineteen(19);
             std::iota(nineteen.begin(), nineteen.end(), 0);
             HoldSlots(nineteen);
             os::MakeDirectories(tables + "/Tessary_Mutex_13");
         },
         "не удается занять файл блокировки Tessary_Mutex_13 в папке " + tables + ": это каталог."},
        {[&] { os::MakeDirectories(tables), chmod(tables.c_str(), 0555); },
         "Tessary_Mutex_00 в папке " + tables + ": отказано в доступе.", true},
        {[&] {
             os::MakeDirectories(tables);
             os::WriteFileAtomically(tables + "/Tessary.db", std::string(4096, 'x'));
         },
         "Tessary: file is not a database"},
    };
    for (const auto& c : cases) {
        if (c.nonRoot && geteuid() == 0) continue;
        std::filesystem::remove_all(tables);
        c.arrange();
        const ProgramRun r = RunProgram(exe, runtime.path());
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
    if (geteuid() == 0) GTEST_SKIP() << "all but the folder of mode 555, which root writes into";
}

}  // namespace

namespace {

// The program on a virtual X server: it opens its main window on the embedded defaults (a fresh
// database made next to it) and runs until that window is closed, then stores its settings.
TEST_F(ProgramTest, OnADisplayItShowsTheMainWindowUntilItIsClosed) {
    testing_support::VirtualXServer server;
    if (!server.Up()) GTEST_SKIP() << "no virtual X server could be started";
    const std::string config = bin / "config";
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("DISPLAY", server.Name(), 1);
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    Display* dpy = XOpenDisplay(server.Name());
    // A window gone while the tree is read is skipped, not fatal.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    ASSERT_NE(dpy, nullptr);
    // The program's X window, once it is mapped and shows the main window's blue title bar.
    ::Window shown = 0;
    // A minute at most: a hang guard, far beyond a loaded machine's start-up.
    for (int i = 0; i < 600 && !shown; ++i) {
        usleep(100000);
        ::Window root, parent, *children = nullptr;
        unsigned n = 0;
        XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &n);
        for (unsigned k = 0; k < n && !shown; ++k) {
            XWindowAttributes a;
            if (!XGetWindowAttributes(dpy, children[k], &a) || a.map_state != IsViewable) continue;
            XImage* img = XGetImage(dpy, children[k], 0, 0, unsigned(a.width), unsigned(a.height),
                                    AllPlanes, ZPixmap);
            if (!img) continue;
            int blue = 0;
            for (int y = 0; y < a.height; y += 2)
                for (int x = 0; x < a.width; x += 2) {
                    const unsigned long p = XGetPixel(img, x, y);
                    const int r = int((p >> 16) & 0xFF), g = int((p >> 8) & 0xFF),
                              b = int(p & 0xFF);
                    blue += b > r + 60 && b > g + 40;
                }
            XDestroyImage(img);
            if (blue > 1000) shown = children[k];
        }
        if (children) XFree(children);
    }
    ASSERT_NE(shown, 0u) << "no window came up";
    EXPECT_TRUE(os::DirectoryExists(bin / "Local Tables"));
    EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the program ended by itself";

    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = shown;
    e.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    XSendEvent(dpy, shown, False, NoEventMask, &e);
    XFlush(dpy);
    int status = -1;
    for (int i = 0; i < 600 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        usleep(100000);
    XCloseDisplay(dpy);
    if (status == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        FAIL() << "the program did not end when its window was closed";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::is_empty(config));  // the settings, written at close
}

}  // namespace
