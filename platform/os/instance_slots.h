// Process-wide instance slots: slot i is held by whoever holds an exclusive flock on the lock
// file "Tessary_Mutex_%.2x" in the runtime folder. Taking the lock is one atomic step, so two
// copies started at the same moment can never share a slot, and the system frees the lock when
// the holder ends, however it ends.
#pragma once

#include <string>

namespace os {

// $XDG_RUNTIME_DIR, else /tmp/tessary-<uid> (created private); with the trailing "/".
std::string InstanceLockDir();

std::string InstanceLockName(int slot);  // "Tessary_Mutex_0a"

// Tries to take the slot's lock in `dir`. On success the lock is kept for the life of the
// process and true is returned; a slot held elsewhere, or a lock file that cannot be created,
// gives false.
bool TakeInstanceLock(const std::string& dir, int slot);

}  // namespace os
