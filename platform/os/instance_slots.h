// Process-wide instance slots: slot i is held by whoever holds an exclusive flock on the lock
// file "Tessary_Mutex_%.2x" in the runtime folder. Taking the lock is one atomic step, so two
// copies started at the same moment can never share a slot, and the system frees the lock when
// the holder ends, however it ends.
#pragma once

#include <string>
#include <vector>

namespace os {

// The lock folder: $XDG_RUNTIME_DIR, else /tmp/tessary-<uid>, else tessary-locks in the user's
// cache folder; with the trailing "/". A folder of /tmp is used only when it is this user's own
// and closed to everyone else, so that no other user can hold the locks or block every copy
// from starting. "" when no such folder can be had.
std::string InstanceLockDir();

// The first of `candidates` that is, or can be made, a private folder of this user: a real
// folder (not a link), owned by the user, with no access for group and others. Missing ones
// are created so. "" when there is none; the one found has the trailing "/".
std::string FirstPrivateDir(const std::vector<std::string>& candidates);

std::string InstanceLockName(int slot);  // "Tessary_Mutex_0a"

// Tries to take the slot's lock in `dir`. On success the lock is kept for the life of the
// process and true is returned; a slot held elsewhere, or a lock file that cannot be created,
// gives false.
bool TakeInstanceLock(const std::string& dir, int slot);

// Whether another process holds the slot's lock now. The slot this process holds reads as held.
bool InstanceLockHeld(const std::string& dir, int slot);

}  // namespace os
