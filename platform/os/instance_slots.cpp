#include "platform/os/instance_slots.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/os/files.h"

namespace os {

namespace {

std::string ExcludeTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool IsPrivateDir(const std::string& path) {
    struct stat st {};
    // lstat on the name without its slash, so that a link is seen as a link.
    if (lstat(ExcludeTrailingSlash(path).c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

std::string CacheDir() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache) return cache;
    if (const char* home = std::getenv("HOME"); home && *home)
        return IncludeTrailingSlash(home) + ".cache";
    return {};
}

}  // namespace

std::string FirstPrivateDir(const std::vector<std::string>& candidates) {
    for (const std::string& c : candidates) {
        if (c.empty()) continue;
        const std::string dir = ExcludeTrailingSlash(c);
        struct stat st {};
        if (lstat(dir.c_str(), &st) != 0) {
            const auto slash = dir.rfind('/');
            if (slash != std::string::npos && slash > 0) MakeDirectories(dir.substr(0, slash));
            mkdir(dir.c_str(), 0700);  // an existing one is judged below, never changed
        }
        if (IsPrivateDir(dir)) return IncludeTrailingSlash(dir);
    }
    return {};
}

std::string InstanceLockDir() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && DirectoryExists(runtime)) return IncludeTrailingSlash(runtime);
    const std::string cache = CacheDir();
    return FirstPrivateDir({"/tmp/tessary-" + std::to_string(getuid()),
                            cache.empty() ? std::string() : cache + "/tessary-locks"});
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

bool InstanceLockHeld(const std::string& dir, int slot) {
    const std::string path = IncludeTrailingSlash(dir) + InstanceLockName(slot);
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;  // never taken since the folder was made
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    const bool held = rc != 0;
    close(fd);  // frees the lock if this probe took it
    return held;
}

}  // namespace os
