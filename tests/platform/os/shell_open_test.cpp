#include "platform/os/shell_open.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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

// How the opener ends is watched for as long as it runs: 0 is success, anything else means no
// program opened the file. Each opener waits for a file the test makes only after a first poll,
// which must therefore find it still running.
TEST(ShellOpen, TheOpenersEndIsWatchedAsLongAsItRuns) {
    testing_support::TempDir dir;
    const std::string script = dir / "opener.sh", go = dir / "go";
    for (const char* code : {"0", "1", "4"}) {
        SCOPED_TRACE(code);
        testing_support::WriteFile(script, std::string("#!/bin/sh\nwhile [ ! -e \"$1\" ]; do "
                                                       "sleep 0.01; done\nexit ") +
                                               code + "\n");
        chmod(script.c_str(), 0755);
        std::remove(go.c_str());
        os::ShellOpening opening(go, script);
        EXPECT_FALSE(opening.Poll().has_value());
        testing_support::WriteFile(go, "");
        std::optional<os::ShellOpenResult> r;
        for (int i = 0; i < 60000 && !(r = opening.Poll()); ++i)  // a hang guard only
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->ok, code == std::string("0")) << r->error;
        if (!r->ok) {
            EXPECT_EQ(r->error, script + ": " +
                                    "нет программы, которая может открыть этот файл"_cp + " (" +
                                    "код выхода "_cp + code + ")");
        }
    }
}

}  // namespace
