#include "platform/os/instance_slots.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/os/files.h"

namespace os {

namespace {

// Opens the slot's lock file read-only, never through a link another user may have planted.
int OpenLockFile(const std::string& dir, int slot, int flags) {
    const std::string path = IncludeTrailingSlash(dir) + InstanceLockName(slot);
    return open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | flags, 0644);
}

// 0, or why the lock was not taken (EWOULDBLOCK: another process holds it).
int TryLock(int fd) {
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
}

}  // namespace

std::string InstanceLockName(int slot) {
    char name[32];
    std::snprintf(name, sizeof name, "Tessary_Mutex_%.2x", static_cast<unsigned>(slot));
    return name;
}

InstanceLock TakeInstanceLock(const std::string& dir, int slot) {
    // The lock files are never deleted: removing one while another process waits to lock it
    // would let two processes hold "the same" slot on different files.
    const int fd = OpenLockFile(dir, slot, O_CREAT);
    if (fd < 0) return {InstanceLock::Failed, errno};
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_uid == geteuid() && (st.st_mode & 0444) != 0444)
        fchmod(fd, (st.st_mode & 07777) | 0444);  // a narrow umask must not shut others out
    if (const int err = TryLock(fd)) {
        close(fd);
        return {err == EWOULDBLOCK ? InstanceLock::Held : InstanceLock::Failed, err};
    }
    // The descriptor stays open, and the lock held, until the process ends.
    return {InstanceLock::Taken};
}

bool InstanceLockHeld(const std::string& dir, int slot) {
    const int fd = OpenLockFile(dir, slot, 0);
    if (fd < 0) return errno != ENOENT;  // missing: never taken since the folder was made
    const bool held = TryLock(fd) != 0;
    close(fd);  // frees the lock if this probe took it
    return held;
}

}  // namespace os
