// Searching a folder for names that match a wildcard pattern ("*.asz", "Options.dat"), as the
// platform's file search does: "*" and "?" wildcards, letter case ignored.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/date_time.h"

namespace os {

struct DirEntry {
    std::string name;  // without the folder
    bool directory = false;
    bool readOnly = false;
    bool hidden = false;  // names starting with "."
    uint64_t size = 0;
    TDateTime modified = 0;  // local time
};

class DirSearch {
public:
    // `pattern` is a folder and a name pattern ("/skins/*.asz"); a pattern without a folder
    // searches the current folder.
    explicit DirSearch(const std::string& pattern);
    ~DirSearch();
    DirSearch(const DirSearch&) = delete;
    DirSearch& operator=(const DirSearch&) = delete;

    // The next matching entry; false at the end or when the folder cannot be read.
    bool Next(DirEntry& entry);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Whether `name` matches the wildcard `pattern`, ignoring the case of ASCII letters.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

}  // namespace os
