// Writes that must survive a power cut, not only a crash: while a guard lives, every commit on
// the folder's connection is flushed to disk before it returns (SQLite's full synchronous mode).
// The rest of the time commits only keep the file consistent, which costs no flush.
//
// A journal row written after the modem accepted a message is such a write: losing it means
// the number is sent again by the next run.
#pragma once

#include <memory>
#include <string>

namespace sql {
class Database;
}

namespace db {

class TDurableWrites {
public:
    // Raises EDatabaseError when the mode cannot be set (inside a transaction, for one).
    explicit TDurableWrites(const std::string& folder);
    ~TDurableWrites();
    TDurableWrites(const TDurableWrites&) = delete;
    TDurableWrites& operator=(const TDurableWrites&) = delete;

private:
    std::shared_ptr<sql::Database> database_;
};

// The synchronous mode of the folder's connection: 1 normal, 2 full.
int SynchronousMode(const std::string& folder);

}  // namespace db
