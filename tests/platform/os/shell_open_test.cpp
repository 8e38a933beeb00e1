#include "platform/os/shell_open.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <thread>

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
    testing_support::WriteFile(script, "#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/opened\"\n");
    chmod(script.c_str(), 0755);
    ASSERT_TRUE(os::ShellOpen("Help Tessary.chm", script).ok);
    for (int i = 0; i < 500 && !os::FileExists(dir / "opened"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(os::ReadWholeFile(dir / "opened"), "Help Tessary.chm\n");
}

}  // namespace
