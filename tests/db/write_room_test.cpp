// The room check the mailing run makes before each number, with the file system's free space
// stood in for: a real disk reaches the margin long before a test could fill it.
#include "db/write_room.h"

#include <gtest/gtest.h>

#include "db/tables.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(WriteRoom, AWriteMustLeaveTheLogsMarginFreeAndFitUnderThePageLimit) {
    testing_support::TempDir dir;
    db::CreateMissingTables(dir.path());
    constexpr uint64_t kWrite = 6144;
    const struct {
        const char* name;
        std::optional<uint64_t> free;
        bool pageLimit;
        bool room;
    } cases[] = {
        {"the write and the margin free", kWrite + db::kLogMarginBytes, false, true},
        {"a byte short of the margin", kWrite + db::kLogMarginBytes - 1, false, false},
        {"a full disk", 0, false, false},
        {"free space unknown", std::nullopt, false, true},
        {"no page left under the limit", kWrite + db::kLogMarginBytes, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sql::Database& db = *sql::SharedDatabase(dir.path());
        const int64_t pages = db.QueryRaw("PRAGMA page_count").At(0, 0).Integer();
        db.ExecuteRaw("PRAGMA max_page_count=" + std::to_string(c.pageLimit ? pages : 1 << 30));
        std::string asked;
        const auto freeSpace = [&](const std::string& path) {
            asked = path;
            return c.free;
        };
        EXPECT_EQ(db::HasRoomFor(dir.path(), kWrite, freeSpace), c.room);
        if (!c.pageLimit) EXPECT_EQ(asked, db.File());  // the file system of the database file
    }
    sql::CloseSharedDatabases();
}

}  // namespace
