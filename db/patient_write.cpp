#include "db/patient_write.h"

#include "platform/sql/database.h"
#include "platform/sql/error.h"
#include "platform/sql/shared_database.h"
#include "vcl/data/data_set.h"

namespace db {

namespace {

// The connection's busy timeout set for the guard's lifetime.
class BusyTimeout {
public:
    BusyTimeout(sql::Database& db, int ms) : db_(db) { db_.SetBusyTimeout(ms); }
    ~BusyTimeout() { db_.SetBusyTimeout(sql::Database::kBusyTimeoutMs); }
    BusyTimeout(const BusyTimeout&) = delete;
    BusyTimeout& operator=(const BusyTimeout&) = delete;

private:
    sql::Database& db_;
};

bool IsBusy(const std::exception& e) {
    if (auto* d = dynamic_cast<const vcl::EDatabaseError*>(&e))
        return d->ErrorCode == sql::Database::kBusyCode;
    if (auto* s = dynamic_cast<const sql::Error*>(&e)) return s->Code() == sql::Database::kBusyCode;
    return false;
}

}  // namespace

void WriteWaitingOutBusy(const std::string& folder, const std::function<void()>& write,
                         const std::function<void()>& onBusy) {
    const auto database = sql::SharedDatabase(folder);
    for (;;) {
        try {
            const BusyTimeout brief(*database, kPatientTryMs);
            write();
            return;
        } catch (const std::exception& e) {
            if (!IsBusy(e)) throw;
        }
        if (onBusy) onBusy();
    }
}

}  // namespace db
