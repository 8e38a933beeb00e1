#include "platform/os/instance_slots.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/os/files.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

// A child process that takes the given slots, reports through a pipe, and waits to be killed.
class SlotHolder {
public:
    SlotHolder(const std::string& dir, std::vector<int> slots) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            char ok = 1;
            for (int s : slots)
                ok &= os::TakeInstanceLock(dir, s) ? 1 : 0;
            [[maybe_unused]] auto n = write(fds[1], &ok, 1);
            for (;;)
                pause();
        }
        close(fds[1]);
        char ok = 0;
        ok_ = read(fds[0], &ok, 1) == 1 && ok == 1;
        close(fds[0]);
    }
    ~SlotHolder() { Kill(); }
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    bool ok() const { return ok_; }

private:
    pid_t pid_ = -1;
    bool ok_ = false;
};

// Forks a fresh process (which holds no locks) that tries one slot.
bool SlotFreeFromAnotherProcess(const std::string& dir, int slot) {
    const pid_t pid = fork();
    if (pid == 0) _exit(os::TakeInstanceLock(dir, slot) ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(InstanceSlots, NamesUseTwoLowerCaseHexDigits) {
    EXPECT_EQ(os::InstanceLockName(0), "Tessary_Mutex_00");
    EXPECT_EQ(os::InstanceLockName(19), "Tessary_Mutex_13");
    EXPECT_EQ(os::InstanceLockName(10), "Tessary_Mutex_0a");
}

TEST(InstanceSlots, HeldSlotsAreRefusedAndFreedWhenTheHolderDies) {
    TempDir dir;
    SlotHolder holder(dir.path(), {0, 2});
    ASSERT_TRUE(holder.ok());
    EXPECT_FALSE(SlotFreeFromAnotherProcess(dir.path(), 0));
    EXPECT_TRUE(SlotFreeFromAnotherProcess(dir.path(), 1));
    EXPECT_FALSE(SlotFreeFromAnotherProcess(dir.path(), 2));
    holder.Kill();
    EXPECT_TRUE(SlotFreeFromAnotherProcess(dir.path(), 0));
}

TEST(InstanceSlots, AHeldLockIsSeenWithoutBeingKept) {
    TempDir dir;
    EXPECT_FALSE(os::InstanceLockHeld(dir.path(), 3));  // never taken
    {
        SlotHolder holder(dir.path(), {3});
        ASSERT_TRUE(holder.ok());
        EXPECT_TRUE(os::InstanceLockHeld(dir.path(), 3));
        EXPECT_FALSE(os::InstanceLockHeld(dir.path(), 4));
    }
    EXPECT_FALSE(os::InstanceLockHeld(dir.path(), 3));
    EXPECT_TRUE(SlotFreeFromAnotherProcess(dir.path(), 3));  // the look left no lock behind
}

// The lock files lie in a folder shared with other users' copies: made readable by all, however
// narrow the umask (a read-only descriptor is enough to lock), and never reached through a link.
TEST(InstanceSlots, LockFilesAreOpenToOtherUsersAndNeverFollowALink) {
    TempDir dir;
    const mode_t old = umask(077);
    SlotHolder holder(dir.path(), {1});
    umask(old);
    ASSERT_TRUE(holder.ok());
    struct stat st {};
    ASSERT_EQ(stat((dir / os::InstanceLockName(1)).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0444, 0444u);
    const std::string target = dir / "elsewhere";
    ASSERT_EQ(symlink(target.c_str(), (dir / os::InstanceLockName(2)).c_str()), 0);
    EXPECT_FALSE(os::TakeInstanceLock(dir.path(), 2));
    EXPECT_TRUE(os::InstanceLockHeld(dir.path(), 2));  // cannot tell: counted as running
    EXPECT_FALSE(os::FileExists(target));
}

TEST(InstanceSlots, ALockThatCannotBeCreatedFailsWithItsReason) {
    TempDir dir;
    const os::InstanceLock lock = os::TakeInstanceLock(dir / "missing-folder", 0);
    EXPECT_EQ(lock.state, os::InstanceLock::Failed);
    EXPECT_EQ(lock.error, ENOENT);
}

}  // namespace
