#include "db/durable_writes.h"

#include "platform/sql/shared_database.h"
#include "vcl/data/data_set.h"

namespace db {

TDurableWrites::TDurableWrites(const std::string& folder) {
    try {
        database_ = sql::SharedDatabase(folder);
        database_->ExecuteRaw("PRAGMA synchronous=FULL");
    } catch (const std::exception& e) {
        vcl::RaiseDatabaseError(e);
    }
}

TDurableWrites::~TDurableWrites() {
    try {
        database_->ExecuteRaw("PRAGMA synchronous=NORMAL");
    } catch (const std::exception&) {
        // Left in full mode the connection is only slower; nothing to report at this point.
    }
}

int SynchronousMode(const std::string& folder) {
    return static_cast<int>(
        sql::SharedDatabase(folder)->QueryRaw("PRAGMA synchronous").At(0, 0).Integer());
}

}  // namespace db
