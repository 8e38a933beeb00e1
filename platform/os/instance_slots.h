// Process-wide instance slots: slot i is held by whoever holds an exclusive flock on the lock
// file "Tessary_Mutex_%.2x" in a given folder (the program uses its database's folder, so that
// every copy on one database, of any user, sees the others). Taking the lock is one atomic
// step, so two copies started at the same moment can never share a slot, and the system frees
// the lock when the holder ends, however it ends.
#pragma once

#include <string>

namespace os {

std::string InstanceLockName(int slot);  // "Tessary_Mutex_0a"

// How taking a slot went: taken (true), held by another process, or failed: the lock file could
// not be opened or made, or locked, for the reason `error` (errno).
struct InstanceLock {
    enum State { Taken, Held, Failed } state = Failed;
    int error = 0;
    explicit operator bool() const { return state == Taken; }
};

// Tries to take the slot's lock in `dir`. On success the lock is kept for the life of the
// process. A lock file made here is readable by everyone: a read-only descriptor is enough to
// lock it, so the copies of other users can take and probe the slot too.
InstanceLock TakeInstanceLock(const std::string& dir, int slot);

// Whether another process holds the slot's lock now. The slot this process holds reads as held,
// and so does a lock file that exists but cannot be opened (it may well be held).
bool InstanceLockHeld(const std::string& dir, int slot);

}  // namespace os
