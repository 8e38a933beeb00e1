// Changes that belong together: `work` runs inside one transaction of the folder's database,
// which commits when it returns and rolls back when it throws (the failure is raised again).
// The write lock is taken first, so what `work` reads cannot change under it.
#pragma once

#include <exception>
#include <string>

#include "vcl/data/db_database.h"

namespace db {

template <typename Work>
void RunInTransaction(const std::string& folder, Work&& work) {
    vcl::TDatabase database(folder);
    database.StartTransaction();
    try {
        work();
        database.Commit();
    } catch (...) {
        try {
            database.Rollback();
        } catch (const std::exception&) {
            // The first failure is the one to report.
        }
        throw;
    }
}

}  // namespace db
