#include "platform/os/dir_search.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace os {

struct DirSearch::Impl {
    DIR* dir = nullptr;
    std::string folder;
    std::string pattern;
};

DirSearch::DirSearch(const std::string& pattern) : impl_(std::make_unique<Impl>()) {
    const auto slash = pattern.rfind('/');
    impl_->folder = slash == std::string::npos ? "./" : pattern.substr(0, slash + 1);
    impl_->pattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    impl_->dir = opendir(impl_->folder.c_str());
}

DirSearch::~DirSearch() {
    if (impl_->dir) closedir(impl_->dir);
}

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    // "*.*" means every name, with or without a dot, as on the platform the program came from.
    if (pattern == "*" || pattern == "*.*") return true;
    return fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD | FNM_NOESCAPE) == 0;
}

bool DirSearch::Next(DirEntry& entry) {
    if (!impl_->dir) return false;
    while (dirent* d = readdir(impl_->dir)) {
        const std::string name = d->d_name;
        if (!MatchesWildcard(name, impl_->pattern)) continue;
        struct stat st {};
        if (stat((impl_->folder + name).c_str(), &st) != 0) continue;  // vanished or dangling
        entry = DirEntry{};
        entry.name = name;
        entry.directory = S_ISDIR(st.st_mode);
        entry.readOnly = access((impl_->folder + name).c_str(), W_OK) != 0;
        entry.hidden = name.size() > 1 && name[0] == '.' && name != "..";
        entry.size = entry.directory ? 0 : static_cast<uint64_t>(st.st_size);
        tm local{};
        localtime_r(&st.st_mtime, &local);
        entry.modified =
            JoinDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, 0});
        return true;
    }
    return false;
}

}  // namespace os
