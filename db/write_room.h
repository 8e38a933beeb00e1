// Whether the database of a folder can still take a write of a given size: the room left under
// the connection's page limit (free pages inside the file count) and on the file system that
// holds the file, less a margin for the write-ahead log, which grows beside the file before a
// checkpoint folds it in.
//
// The mailing run asks before each number: a message the modem accepted must find room for its
// journal row, or the next run would send it again.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/os/files.h"

namespace db {

// Kept free on the file system for the write-ahead log (its checkpoint runs at about 4 MiB).
inline constexpr uint64_t kLogMarginBytes = 8u << 20;

// What the file system holding a path has free; nullopt when that cannot be read.
using FreeSpaceFn = std::function<std::optional<uint64_t>(const std::string& path)>;

// False when `bytes` more would not fit; a limit that cannot be read does not refuse.
bool HasRoomFor(const std::string& folder, uint64_t bytes,
                const FreeSpaceFn& freeSpace = os::FreeDiskBytes);

}  // namespace db
