// Whether the database of a folder can still take a write of a given size: the room left under
// the connection's page limit (free pages inside the file count) and on the file system that
// holds the file, less a margin for the write-ahead log, which grows beside the file before a
// checkpoint folds it in.
//
// The mailing run asks before each number: a message the modem accepted must find room for its
// journal row, or the next run would send it again.
#pragma once

#include <cstdint>
#include <string>

namespace db {

// Kept free on the file system for the write-ahead log (its checkpoint runs at about 4 MiB).
inline constexpr uint64_t kLogMarginBytes = 8u << 20;

// False when `bytes` more would not fit; a limit that cannot be read does not refuse.
bool HasRoomFor(const std::string& folder, uint64_t bytes);

}  // namespace db
