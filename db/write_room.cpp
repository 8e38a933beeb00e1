#include "db/write_room.h"

#include <algorithm>

#include "platform/sql/shared_database.h"

namespace db {

namespace {

int64_t Pragma(sql::Database& db, const char* name) {
    return db.QueryRaw(std::string("PRAGMA ") + name).At(0, 0).Integer();
}

}  // namespace

bool HasRoomFor(const std::string& folder, uint64_t bytes, const FreeSpaceFn& freeSpace) {
    const auto database = sql::SharedDatabase(folder);
    const int64_t pageSize = std::max<int64_t>(Pragma(*database, "page_size"), 1);
    const int64_t pagesLeft = Pragma(*database, "max_page_count") -
                              Pragma(*database, "page_count") + Pragma(*database, "freelist_count");
    // Whole pages: a row lands in a page of its own when the last one is full.
    const uint64_t pagesNeeded = (bytes + static_cast<uint64_t>(pageSize) - 1) / pageSize;
    if (pagesLeft < 0 || static_cast<uint64_t>(pagesLeft) < pagesNeeded) return false;
    const auto disk = freeSpace(database->File());
    return !disk || *disk >= bytes + kLogMarginBytes;
}

}  // namespace db
