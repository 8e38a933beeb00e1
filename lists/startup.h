// Start-up: at most 20 copies of the program run at once, each in its own instance slot 0..19,
// which names its log file.
//
// The slots' lock files lie beside the database, in its folder, not in a folder of the user or
// the session: every copy that uses the database sees every other, whoever runs it and wherever
// its runtime folder is. So no copy frees the lists another one is mailing, and no two copies
// share a slot and its log.
#pragma once

#include <string>

#include "platform/os/instance_slots.h"
#include "vcl/data/db_query.h"

namespace lists {

inline constexpr int kMaxInstances = 20;
inline constexpr unsigned kIconStop = 0x10;  // the message box's stop icon

// Shows why the program cannot start (every slot taken, no folder for the locks). The start-up
// code reports through this, so that it works before (and without) any window; the application
// binds it to its message box.
class InstanceLimitReporter {
public:
    virtual ~InstanceLimitReporter() = default;
    virtual void Show(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

// Writes the message to standard error (as UTF-8): the report when no message box exists.
class StderrLimitReporter : public InstanceLimitReporter {
public:
    void Show(const std::string& text, const std::string& caption, unsigned flags) override;
};

// Takes the slot's lock in `lockDir` (the database folder by default) for the life of the
// process; true when taken.
os::InstanceLock TakeInstanceSlot(int slot, const std::string& lockDir = {});

// Takes the lowest free slot and makes it the instance number. With all slots held by running
// copies, shows "Нельзя запускать более 20 экземпляров Tessary. " (caption "Внимание", stop
// icon) and returns false: the program must then end without creating any form. When the
// folder cannot be made, or no slot is free and a lock could not be taken for another reason
// than a running copy, it refuses likewise, saying what failed and why.
bool ClaimInstance(InstanceLimitReporter& reporter, const std::string& lockDir = {});

// Whether a copy other than this one holds an instance slot.
bool OtherInstanceRunning(const std::string& lockDir = {});

// Frees the lists that a run left marked in use when it crashed or was killed, unless another
// copy runs (its runs hold their lists rightly). Through `query`, a data set of the database.
void ClearStaleActiveFlags(vcl::TQuery& query, const std::string& lockDir = {});

}  // namespace lists
