// Copies of the program share one journal: two processes writing at once lose nothing and
// fail nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "db/tables.h"
#include "gateway/send_journal.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kRowsEach = 300;

// Waits for the start signal, then journals rows as a mailing run does: insert, then read the
// run's last ID.
int WriteJournal(const std::string& folder, const std::string& imei, int startFd) {
    char go;
    if (read(startFd, &go, 1) < 0) return 2;
    try {
        vcl::TQuery query;
        query.SetDatabaseName(folder);
        gateway::TSendJournal journal(query);
        journal.IMEI = imei;
        int last = 0;
        for (int i = 0; i < kRowsEach; ++i) {
            journal.InsertNumberLog("7916" + std::to_string(i), "text", true, 45000, 45000, 1, i,
                                    i % 256, "list");
            const int id = journal.GetMaxLogID();
            if (id <= last) return 3;
            last = id;
        }
        sql::CloseSharedDatabases();
        return 0;
    } catch (const std::exception&) {
        return 1;
    }
}

TEST(JournalProcesses, TwoWritersAtOnceLoseNothing) {
    testing_support::TempDir dir;
    db::CreateMissingTables(dir.path());
    sql::CloseSharedDatabases();  // no connection may cross the fork

    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    const std::string imeis[] = {"111111111111111", "222222222222222"};
    for (const auto& imei : imeis) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(start[1]);
            _exit(WriteJournal(dir.path(), imei, start[0]));
        }
        children.push_back(pid);
    }
    close(start[0]);
    close(start[1]);  // both start now
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }

    auto db = sql::SharedDatabase(dir.path());
    const auto rows = db->QueryRaw("select ID, IMEI from NumberLog order by ID");
    ASSERT_EQ(rows.RowCount(), 2u * kRowsEach);
    std::set<int64_t> ids;
    int perImei[2] = {0, 0};
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
        ids.insert(rows.At(r, 0).Integer());
        ++perImei[rows.At(r, 1).Text() == imeis[0] ? 0 : 1];
    }
    EXPECT_EQ(ids.size(), 2u * kRowsEach);
    EXPECT_EQ(perImei[0], kRowsEach);
    EXPECT_EQ(perImei[1], kRowsEach);
    sql::CloseSharedDatabases();
}

}  // namespace
