#include "platform/os/shell_open.h"

#include <gtest/gtest.h>

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

}  // namespace
