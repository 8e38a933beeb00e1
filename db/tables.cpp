#include "db/tables.h"

#include "platform/os/files.h"
#include "platform/sql/shared_database.h"
#include "vcl/data/data_set.h"

namespace db {

void CreateMissingTables(const std::string& folder) {
    if (!os::DirectoryExists(folder) && !os::MakeDirectories(folder))
        throw vcl::EDatabaseError("Cannot create the database folder: " + folder);
    try {
        auto database = sql::SharedDatabase(folder);
        sql::Transaction t(*database);
        for (const auto& table : kTables)
            database->ExecuteRaw(table.create);
        for (const char* index : kIndexes)
            database->ExecuteRaw(index);
        t.Commit();
    } catch (const std::exception& e) {
        vcl::RaiseDatabaseError(e);
    }
}

}  // namespace db
