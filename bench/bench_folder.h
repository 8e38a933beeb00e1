// A database folder for one benchmark, with the program's tables, removed afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "db/tables.h"
#include "platform/sql/shared_database.h"

namespace bench {

class Folder {
public:
    // In `parent` (the system's temporary folder by default).
    explicit Folder(std::string parent = {}) {
        if (parent.empty()) parent = std::filesystem::temp_directory_path().string();
        std::string tmpl = parent + "/tessary-bench-XXXXXX";
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl + "/";
        db::CreateMissingTables(path_);
    }
    ~Folder() {
        sql::CloseSharedDatabases();
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace bench
