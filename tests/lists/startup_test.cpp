#include "lists/startup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "db/tables.h"
#include "gateway/log_thread.h"
#include "lists/settings.h"
#include "platform/os/cp_literal.h"
#include "platform/os/instance_slots.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

struct RecordingReporter : lists::InstanceLimitReporter {
    void Show(const std::string& t, const std::string& c, unsigned f) override {
        text = t, caption = c, flags = f;
        ++calls;
    }
    std::string text, caption;
    unsigned flags = 0;
    int calls = 0;
};

// Another copy of the program, holding the given slots until killed.
class OtherCopy {
public:
    OtherCopy(const std::string& dir, std::vector<int> slots) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        pid_ = fork();
        if (pid_ == 0) {
            for (int s : slots)
                os::TakeInstanceLock(dir, s);
            char c = 1;
            [[maybe_unused]] auto n = write(fds[1], &c, 1);
            for (;;)
                pause();
        }
        char c;
        EXPECT_EQ(read(fds[0], &c, 1), 1);
        close(fds[0]);
        close(fds[1]);
    }
    ~OtherCopy() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }

private:
    pid_t pid_;
};

// Runs `claim` in a fresh process (locks taken there do not stay with the test) and returns the
// slot it got, or -1 with the reporter's output written to `report`. After a claim, `then`
// runs there and what it returns goes to `report`.
int ClaimInChild(const std::string& dir, std::string* report = nullptr,
                 const std::function<std::string()>& then = {}) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        RecordingReporter r;
        const bool ok = lists::ClaimInstance(r, dir);
        std::string out = ok ? std::to_string(gateway::InstanceNo)
                             : "-1|" + r.text + "|" + r.caption + "|" + std::to_string(r.flags) +
                                   "|" + std::to_string(r.calls);
        try {
            if (ok && then) out += "|" + then();
        } catch (const std::exception& e) {
            out += std::string("|failed: ") + e.what();  // never back into the test runner
        }
        [[maybe_unused]] auto n = write(fds[1], out.data(), out.size());
        _exit(0);
    }
    close(fds[1]);
    std::string out;
    char buf[512];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        out.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    const auto bar = out.find('|');
    if (report && bar != std::string::npos) *report = out.substr(bar + 1);
    return std::stoi(out.substr(0, bar));
}

TEST(InstanceLimit, TheLowestFreeSlotWins) {
    TempDir dir;
    EXPECT_EQ(ClaimInChild(dir.path()), 0);
    OtherCopy copies(dir.path(), {0, 2});
    EXPECT_EQ(ClaimInChild(dir.path()), 1);
}

TEST(InstanceLimit, WithAllSlotsTakenTheStopMessageIsShownOnce) {
    TempDir dir;
    std::vector<int> all;
    for (int i = 0; i < lists::kMaxInstances; ++i)
        all.push_back(i);
    std::string report;
    {
        OtherCopy copies(dir.path(), all);
        EXPECT_EQ(ClaimInChild(dir.path(), &report), -1);
    }
    EXPECT_EQ(report, std::string("Нельзя запускать более 20 экземпляров Tessary. "_cp) + "|" +
                          "Внимание"_cp + "|16|1");
    // Once the other copies are gone, a slot is free again.
    EXPECT_EQ(ClaimInChild(dir.path()), 0);
}

TEST(StaleActiveFlags, AreClearedOnlyWhenNoOtherCopyRuns) {
    TempDir dir, locks;
    db::CreateMissingTables(dir.path());
    auto db = sql::SharedDatabase(dir.path());
    db->ExecuteRaw("insert into List (Name, Active) values ('a', 1), ('b', 0), ('c', null)");
    vcl::TQuery query;
    query.SetDatabaseName(dir.path());
    auto active = [&] {
        return db->QueryRaw("select count(*) from List where Active=1").At(0, 0).Integer();
    };
    {
        OtherCopy other(locks.path(), {gateway::InstanceNo + 3});
        EXPECT_TRUE(lists::OtherInstanceRunning(locks.path()));
        lists::ClearStaleActiveFlags(query, locks.path());
        EXPECT_EQ(active(), 1);
    }
    EXPECT_FALSE(lists::OtherInstanceRunning(locks.path()));
    lists::ClearStaleActiveFlags(query, locks.path());
    EXPECT_EQ(active(), 0);
    db.reset();
    sql::CloseSharedDatabases();
}

// Two copies on one database, the second started with another runtime folder (another user, or
// no session): it sees the first, takes the next slot (so its own log), and leaves the list the
// first is mailing marked in use.
TEST(StaleActiveFlags, ACopyWithAnotherRuntimeFolderSeesTheCopiesOfItsDatabase) {
    TempDir base, runtime;
    const std::string folder = base / "Local Tables";
    db::CreateMissingTables(folder);
    sql::SharedDatabase(folder)->ExecuteRaw("insert into List (Name, Active) values ('a', 1)");
    sql::CloseSharedDatabases();  // no connection may cross a fork
    lists::UseDatabaseFolder(folder);
    testing_support::ScopedEnv env("XDG_RUNTIME_DIR", runtime.path());
    OtherCopy mailing(folder, {0});
    std::string active;
    EXPECT_EQ(ClaimInChild({}, &active, [&] {
        vcl::TQuery query;
        query.SetDatabaseName(folder);
        lists::ClearStaleActiveFlags(query);
        sql::Database db(sql::DatabaseFile(folder));
        return std::to_string(db.QueryRaw("select Active from List").At(0, 0).Integer());
    }), 1);
    EXPECT_EQ(active, "1");
    lists::UseDatabaseFolder({});
}

}  // namespace
