#include "platform/os/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace os {

std::string ExecutablePath() {
    std::string buf(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0) return {};
    buf.resize(static_cast<std::size_t>(n));
    return buf;
}

std::string ExecutableDir() {
    return ParentDir(ExecutablePath());
}

std::string TempDir() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && *tmp && DirectoryExists(tmp)) return IncludeTrailingSlash(tmp);
    return "/tmp/";
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

std::optional<uint64_t> FileSize(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<uint64_t>(st.st_size);
}

std::optional<uint64_t> FreeDiskBytes(const std::string& path) {
    struct statvfs st {};
    if (statvfs(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
}

bool MakeDirectories(const std::string& path, unsigned mode) {
    if (path.empty() || DirectoryExists(path)) return !path.empty();
    std::string partial;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (!partial.empty() && !DirectoryExists(partial) &&
                mkdir(partial.c_str(), mode) != 0 && errno != EEXIST)
                return false;
        }
        if (i < path.size()) partial += path[i];
    }
    return DirectoryExists(path);
}

std::string IncludeTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string ParentDir(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return "./";
    return std::string(path.substr(0, slash + 1));
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    return data;
}

bool WriteFileAtomically(const std::string& path, std::string_view data,
                         const std::function<void()>& beforeRename) {
    std::string tmp = path + ".XXXXXX";
    const int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < data.size();) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    ok = ok && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && beforeRename) beforeRename();
    ok = ok && rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) unlink(tmp.c_str());
    return ok;
}

}  // namespace os
