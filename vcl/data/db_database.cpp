#include "vcl/data/db_database.h"

#include "platform/sql/shared_database.h"
#include "vcl/data/data_set.h"

namespace vcl {

namespace {

template <typename F>
auto Run(const std::string& folder, F f) {
    try {
        return f(*sql::SharedDatabase(folder));
    } catch (const std::exception& e) {
        RaiseDatabaseError(e);
    }
}

}  // namespace

void TDatabase::StartTransaction() {
    Run(DatabaseName, [](sql::Database& db) { db.Begin(); });
}

void TDatabase::Commit() {
    Run(DatabaseName, [](sql::Database& db) { db.Commit(); });
}

void TDatabase::Rollback() {
    Run(DatabaseName, [](sql::Database& db) { db.Rollback(); });
}

bool TDatabase::InTransaction() const {
    return Run(DatabaseName, [](sql::Database& db) { return db.InTransaction(); });
}

}  // namespace vcl
