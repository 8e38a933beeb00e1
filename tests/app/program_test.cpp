// The program as a whole, run as a separate process from a copy in a temporary folder (so that
// its log lands there).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/os/cp1251.h"
#include "platform/os/files.h"
#include "platform/os/instance_slots.h"
#include "tests/support/temp_dir.h"

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
    // Other running copies, simulated by a child process that holds their slots.
    void HoldSlots(std::vector<int> slots) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        holder_ = fork();
        if (holder_ == 0) {
            for (int s : slots)
                os::TakeInstanceLock(runtime.path(), s);
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

TEST_F(ProgramTest, TakesAFreeSlotAndLogsItsStart) {
    HoldSlots({0, 2});
    const ProgramRun r = RunProgram(exe, runtime.path());
    EXPECT_EQ(r.status, 0) << r.err;
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
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Внимание: Нельзя запускать более 20 экземпляров Tessary."),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(os::FileExists(bin / "gate_00.log"));  // it never started its log
}

}  // namespace
