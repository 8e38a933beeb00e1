#include "platform/os/files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/os/sys_error.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

TEST(Files, BasicOperations) {
    TempDir dir;
    const std::string a = dir / "a.txt", b = dir / "b.txt";
    EXPECT_FALSE(os::FileExists(a));
    EXPECT_FALSE(os::FileSize(a));
    testing_support::WriteFile(a, "12345");
    testing_support::WriteFile(b, "old");
    EXPECT_TRUE(os::FileExists(a));
    EXPECT_FALSE(os::FileExists(dir.path()));  // a folder is not a file
    EXPECT_EQ(os::FileSize(a), 5u);
    EXPECT_TRUE(os::RenameFile(a, b));  // replaces b
    EXPECT_EQ(os::ReadWholeFile(b), "12345");
    EXPECT_TRUE(os::DeleteFile(b));
    EXPECT_FALSE(os::DeleteFile(b));
    EXPECT_TRUE(os::MakeDirectories(dir / "x/y/z"));
    EXPECT_TRUE(os::DirectoryExists(dir / "x/y/z"));
}

TEST(Files, PathsEndWithASlash) {
    EXPECT_EQ(os::IncludeTrailingSlash("/tmp"), "/tmp/");
    EXPECT_EQ(os::IncludeTrailingSlash("/tmp/"), "/tmp/");
    EXPECT_EQ(os::ParentDir("/opt/tessary/bin/tessary"), "/opt/tessary/bin/");
    const std::string exe = os::ExecutablePath();
    EXPECT_TRUE(os::FileExists(exe));
    EXPECT_EQ(os::ExecutableDir(), os::ParentDir(exe));
}

TEST(Files, TempDirFollowsTmpdirWhenItExists) {
    TempDir dir;
    {
        testing_support::ScopedEnv env("TMPDIR", dir.path());
        EXPECT_EQ(os::TempDir(), dir.path());
    }
    {
        testing_support::ScopedEnv env("TMPDIR", dir / "missing");
        EXPECT_EQ(os::TempDir(), "/tmp/");
    }
}

TEST(Files, AtomicWriteSurvivesACrashBeforeTheRename) {
    TempDir dir;
    const std::string file = dir / "settings.ini";
    ASSERT_TRUE(os::WriteFileAtomically(file, "old content"));

    // A child writes the new content and dies just before the rename.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        os::WriteFileAtomically(file, "new content", [] { _exit(3); });
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(os::ReadWholeFile(file), "old content");

    // The next write still works and the file then holds exactly the new content.
    ASSERT_TRUE(os::WriteFileAtomically(file, "newer"));
    EXPECT_EQ(os::ReadWholeFile(file), "newer");
}

TEST(Files, AtomicWriteIntoAMissingFolderFails) {
    TempDir dir;
    EXPECT_FALSE(os::WriteFileAtomically(dir / "no/such/file", "x"));
}

TEST(SysError, CodeAndText) {
    const os::SysError e = os::ErrorFromCode(ENOENT);
    EXPECT_EQ(e.code, static_cast<uint32_t>(ENOENT));
    EXPECT_EQ(e.text, "No such file or directory");
    errno = EACCES;
    EXPECT_EQ(os::LastError().code, static_cast<uint32_t>(EACCES));
}

}  // namespace
