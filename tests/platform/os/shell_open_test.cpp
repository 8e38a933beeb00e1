#include "platform/os/shell_open.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

#include <thread>

#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(ShellOpen, MissingOpenerIsReportedWithTheReason) {
    const os::ShellOpenResult r = os::ShellOpen("/tmp/x", "tessary-no-such-opener");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("tessary-no-such-opener"), std::string::npos);
    EXPECT_NE(r.error.find("No such file or directory"), std::string::npos);
}

TEST(ShellOpen, TheOpenerRunsDetachedWithTheTarget) {
    testing_support::TempDir dir;
    const std::string script = dir / "opener.sh";
    testing_support::WriteNotingOpener(script, dir / "opened");
    ASSERT_TRUE(os::ShellOpen("Help Tessary.chm", script).ok);
    EXPECT_EQ(testing_support::WaitForFile(dir / "opened"), "Help Tessary.chm");
}

// An opener's exit within the watch: 0 is success, anything else means no program opened the
// file. One still running when the watch ends counts as opened. While waiting the caller's pump
// runs: the last opener ends only once the pump has run.
TEST(ShellOpen, TheOpenersExitIsWatchedWhileThePumpRuns) {
    struct Case {
        const char* body;
        int watchMs;
        bool ok;
        const char* exit;
    } cases[] = {
        {"exit 0", 60000, true, ""},
        {"exit 1", 60000, false, "1"},
        {"exec sleep 3", 20, true, ""},
        {"while [ ! -e \"$1\" ]; do sleep 0.01; done; exit 4", 60000, false, "4"},
    };
    testing_support::TempDir dir;
    const std::string script = dir / "opener.sh";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        testing_support::WriteFile(script, std::string("#!/bin/sh\n") + c.body + "\n");
        chmod(script.c_str(), 0755);
        const std::string pumped = dir / "pumped";
        std::remove(pumped.c_str());
        const os::ShellOpenResult r = os::ShellOpen(
            pumped, script, {c.watchMs, [&] { testing_support::WriteFile(pumped, ""); }});
        EXPECT_EQ(r.ok, c.ok) << r.error;
        if (!c.ok) {
            EXPECT_EQ(r.error, script + ": " + "нет программы, которая может открыть этот файл"_cp +
                                   " (" + "код выхода "_cp + c.exit + ")");
        }
    }
}

}  // namespace
