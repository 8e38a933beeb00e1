// Writes that must not fail because another copy of the program holds the database: a journal
// row for a message the modem has taken (lost, the number would be sent again), a number's
// Processed flag, a list given back by its run. Another copy saving a big list holds the write
// lock for as long as the save takes, which may pass the connection's busy timeout.
//
// Such a write is tried with a short busy wait; each time it is refused as busy, `onBusy` runs
// (the caller keeps its window alive there, under the connection's usual busy timeout) and the
// write is tried again, for as long as the database stays busy. Any other failure is raised.
// A refused write changed nothing (a statement or a transaction refused its lock is undone
// whole), so trying it again is safe.
#pragma once

#include <functional>
#include <string>

namespace db {

inline constexpr int kPatientTryMs = 200;  // each try's busy wait

void WriteWaitingOutBusy(const std::string& folder, const std::function<void()>& write,
                         const std::function<void()>& onBusy);

}  // namespace db
