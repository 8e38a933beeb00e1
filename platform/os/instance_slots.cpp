#include "platform/os/instance_slots.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/os/files.h"

namespace os {

std::string InstanceLockDir() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && DirectoryExists(runtime)) return IncludeTrailingSlash(runtime);
    const std::string dir = "/tmp/tessary-" + std::to_string(getuid()) + "/";
    MakeDirectories(dir, 0700);
    return dir;
}

std::string InstanceLockName(int slot) {
    char name[32];
    std::snprintf(name, sizeof name, "Tessary_Mutex_%.2x", static_cast<unsigned>(slot));
    return name;
}

bool TakeInstanceLock(const std::string& dir, int slot) {
    const std::string path = IncludeTrailingSlash(dir) + InstanceLockName(slot);
    // The lock files are never deleted: removing one while another process waits to lock it
    // would let two processes hold "the same" slot on different files.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        close(fd);
        return false;
    }
    return true;  // the descriptor stays open, and the lock held, until the process ends
}

}  // namespace os
