#include "platform/sql/shared_database.h"

#include <map>
#include <mutex>

#include "platform/os/files.h"
#include "platform/sql/error.h"

namespace sql {

namespace {

std::mutex lock;
std::map<std::string, std::shared_ptr<Database>>& Connections() {
    static std::map<std::string, std::shared_ptr<Database>> connections;
    return connections;
}

}  // namespace

std::string DatabaseFile(const std::string& folder) {
    return os::IncludeTrailingSlash(folder) + kDatabaseFileName;
}

std::shared_ptr<Database> SharedDatabase(const std::string& folder) {
    if (folder.empty()) throw Error("No database folder given");
    const std::string file = DatabaseFile(folder);
    std::lock_guard g(lock);
    auto& connections = Connections();
    if (auto it = connections.find(file); it != connections.end()) return it->second;
    if (!os::DirectoryExists(folder))
        throw Error("The database folder does not exist: " + folder, 14 /* SQLITE_CANTOPEN */);
    auto db = std::make_shared<Database>(file);
    connections.emplace(file, db);
    return db;
}

void CloseSharedDatabases() {
    std::lock_guard g(lock);
    Connections().clear();
}

}  // namespace sql
