#include "platform/os/shell_open.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <chrono>
#include <optional>
#include <thread>

#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(ShellOpen, MissingOpenerIsReportedWithTheReason) {
    const os::ShellOpenResult r = os::ShellOpen("/tmp/x", "tessary-no-such-opener");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "tessary-no-such-opener: " +
                           std::string("нет такого файла или каталога"_cp) + " (2)");
}

TEST(ShellOpen, TheOpenerRunsDetachedWithTheTarget) {
    testing_support::TempDir dir;
    const std::string script = dir / "opener.sh";
    testing_support::WriteNotingOpener(script, dir / "opened");
    ASSERT_TRUE(os::ShellOpen("Help Tessary.chm", script).ok);
    EXPECT_EQ(testing_support::WaitForFile(dir / "opened"), "Help Tessary.chm");
}

// How the opener ends is watched for as long as it runs, and told by xdg-open's exit codes. Each
// opener waits for a file the test makes only after a first poll, which must therefore find it
// still running.
TEST(ShellOpen, TheOpenersEndIsWatchedAsLongAsItRuns) {
    struct Case {
        int code;
        const char* reason;
    } cases[] = {
        {0, ""},
        {3, "нет программы, которая может открыть этот файл (код выхода 3)"_cp},
        {4, "программа просмотра завершилась с ошибкой (код выхода 4)"_cp},
    };
    testing_support::TempDir dir;
    const std::string script = dir / "opener.sh", go = dir / "go";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        testing_support::WriteFile(script,
                                   "#!/bin/sh\nwhile [ ! -e \"$1\" ] && [ -d \"${1%/*}\" ]; do "
                                   "sleep 0.01; done\n"
                                   "exit " +
                                       std::to_string(c.code) + "\n");
        chmod(script.c_str(), 0755);
        std::remove(go.c_str());
        os::ShellOpening opening(go, script);
        EXPECT_FALSE(opening.Poll().has_value());
        testing_support::WriteFile(go, "");
        std::optional<os::ShellOpenResult> r;
        for (int i = 0; i < 60000 && !(r = opening.Poll()); ++i)  // a hang guard only
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->ok, c.code == 0);
        EXPECT_EQ(r->error, c.code == 0 ? "" : script + ": " + c.reason);
    }
}

// The watch lasts as long as the viewer, so it must hold none of the program's descriptors (its
// X connection, its instance lock): the end of a pipe the program closes is seen at once.
TEST(ShellOpen, TheWatchHoldsNoneOfTheProgramsDescriptors) {
    testing_support::TempDir dir;
    const std::string script = dir / "opener.sh", go = dir / "go";
    testing_support::WriteFile(
        script, "#!/bin/sh\nwhile [ ! -e \"$1\" ] && [ -d \"${1%/*}\" ]; do sleep 0.01; done\n");
    chmod(script.c_str(), 0755);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);  // inherited by a fork
    os::ShellOpening opening(go, script);
    close(fds[1]);
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    char c;
    EXPECT_EQ(read(fds[0], &c, 1), 0);  // the end: no process holds the other side
    close(fds[0]);
    EXPECT_FALSE(opening.Poll().has_value());
    testing_support::WriteFile(go, "");
}

}  // namespace
