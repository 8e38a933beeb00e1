// TDatabase: transactions on a database folder. Every data set of the folder takes part in the
// folder's one transaction, so changes that belong together commit or vanish together.
#pragma once

#include <string>

namespace vcl {

class TDatabase {
public:
    explicit TDatabase(std::string databaseName = {}) : DatabaseName(std::move(databaseName)) {}

    std::string DatabaseName;

    // Waits for other writers, then holds the write lock until Commit or Rollback.
    void StartTransaction();
    void Commit();
    void Rollback();  // nothing when no transaction is active
    bool InTransaction() const;
};

}  // namespace vcl
