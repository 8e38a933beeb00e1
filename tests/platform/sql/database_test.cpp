#include "platform/sql/database.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/sql/date_text.h"
#include "platform/sql/error.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

TEST(DateText, StoredFormRoundTripsToTheMillisecond) {
    const os::TDateTime dt = os::JoinDateTime({2024, 2, 29, 23, 59, 58, 999});
    ASSERT_EQ(sql::DateTimeToText(dt), "2024-02-29 23:59:58.999");
    EXPECT_DOUBLE_EQ(*sql::TextToDateTime("2024-02-29 23:59:58.999"), dt);
    EXPECT_EQ(sql::TextToDateTime("2024-02-29"), os::JoinDateTime({2024, 2, 29}));
    EXPECT_EQ(sql::TextToDateTime("2024-02-29T10:11"), os::JoinDateTime({2024, 2, 29, 10, 11}));
    EXPECT_EQ(sql::TextToDateTime("2024-02-29 10:11:12.9996"),
              os::JoinDateTime({2024, 2, 29, 10, 11, 12, 999}));
    EXPECT_EQ(sql::DateTimeToText(0), "1899-12-30 00:00:00.000");
    for (const char* bad : {"", "2023-02-29", "2024-13-01", "2024-1-01", "2024-01-01 24:00",
                            "2024-01-01 10:00:00.", "2024-01-01x", "99999-01-01"})
        EXPECT_FALSE(sql::TextToDateTime(bad)) << bad;
    EXPECT_FALSE(sql::DateTimeToText(1e300));
    EXPECT_FALSE(sql::DateTimeToText(-700000));
    EXPECT_FALSE(sql::DateTimeToText(std::nan("")));
}

TEST(Database, OpensInWalWithItsFunctions) {
    TempDir dir;
    sql::Database db(dir / "t.db");
    EXPECT_EQ(db.QueryRaw("PRAGMA journal_mode").At(0, 0).Text(), "wal");
    EXPECT_EQ(db.QueryRaw("PRAGMA busy_timeout").At(0, 0).Integer(), sql::Database::kBusyTimeoutMs);
    EXPECT_THROW(sql::Database(dir / "missing/t.db"), sql::Error);
}

TEST(Database, StatementsWithParametersAndResults) {
    sql::Database db(":memory:");
    db.ExecuteRaw(
        "create table t (ID integer primary key autoincrement, Name varchar(9), "
        "Active boolean, SendTime datetime)");
    EXPECT_EQ(db.Execute("insert into t (Name, Active) values (:n, true)", {{"N", "0079"}}), 1);
    EXPECT_EQ(db.LastInsertRowId(), 1);
    db.Execute("insert into t (Name, Active, SendTime) values (:n, false, :d)",
               {{"n", "x"}, {"d", "2024-01-02 03:04:05.000"}});
    const auto rs = db.Query("select Name, Active from t where Active=true");
    ASSERT_EQ(rs.RowCount(), 1u);
    EXPECT_EQ(rs.At(0, 0).Text(), "0079");  // text affinity keeps the zeros
    EXPECT_EQ(rs.At(0, 1).Integer(), 1);
    EXPECT_EQ(rs.columns[1].declaredType, "boolean");
    EXPECT_EQ(db.Query("select count(*) from t where SendTime>='02.01.2024 03:04:05'").At(0, 0),
              sql::Value(1));
    EXPECT_THROW(db.Query("select * from t where ID=:missing"), sql::Error);
    EXPECT_THROW(db.Query("select * from nothing"), sql::Error);
    EXPECT_THROW(db.Query("   "), sql::Error);
    EXPECT_THROW(db.QueryRaw("select 1; select 2"), sql::Error);
    std::vector<int64_t> keys{7};  // appended to; as it was when a value is no integer
    db.QueryIntegers("select ID from t", {}, keys);
    EXPECT_EQ(keys, (std::vector<int64_t>{7, 1, 2}));
    EXPECT_THROW(db.QueryIntegers("select ID from t union all select Name from t", {}, keys),
                 sql::Error);
    EXPECT_EQ(keys, (std::vector<int64_t>{7, 1, 2}));
}

TEST(Database, ColumnKindsFollowSchemaChanges) {
    sql::Database db(":memory:");
    db.ExecuteRaw("create table List (ID integer primary key, Name varchar(9))");
    db.ExecuteRaw("insert into List (Name) values ('a')");
    EXPECT_EQ(db.KindOfColumn("active"), sql::ColumnKind::Other);
    db.Execute("ALTER TABLE List ADD List.\"Active\" boolean");
    EXPECT_EQ(db.KindOfColumn("active"), sql::ColumnKind::Boolean);
    db.Execute("update List set List.\"Active\"='true'");
    EXPECT_EQ(db.QueryRaw("select Active from List").At(0, 0), sql::Value(1));
    // A name that means different things in two tables is not rewritten.
    db.ExecuteRaw("create table Other (Active varchar(5))");
    EXPECT_EQ(db.KindOfColumn("active"), sql::ColumnKind::Other);
    const auto cols = db.TableColumns("List");
    ASSERT_EQ(cols.size(), 3u);
    EXPECT_TRUE(cols[0].primaryKey);
    EXPECT_EQ(cols[2].declaredType, "boolean");
    EXPECT_FALSE(db.TableExists("Nothing"));
}

TEST(Database, TransactionsCommitOrRollBackWhole) {
    sql::Database db(":memory:");
    db.ExecuteRaw("create table t (x integer)");
    {
        sql::Transaction t(db);
        db.ExecuteRaw("insert into t values (1)");
        db.ExecuteRaw("alter table t add y varchar(5)");
    }  // not committed
    EXPECT_EQ(db.QueryRaw("select count(*) from t").At(0, 0), sql::Value(0));
    EXPECT_EQ(db.TableColumns("t").size(), 1u);
    {
        sql::Transaction t(db);
        db.ExecuteRaw("insert into t values (2)");
        EXPECT_THROW(db.Begin(), sql::Error);
        t.Commit();
    }
    EXPECT_FALSE(db.InTransaction());
    EXPECT_EQ(db.QueryRaw("select count(*) from t").At(0, 0), sql::Value(1));
    EXPECT_THROW(db.Commit(), sql::Error);
    EXPECT_NO_THROW(db.Rollback());
}

TEST(Database, KeptStatementsHoldNoLockBetweenCalls) {
    TempDir dir;
    sql::Database reader(dir / "t.db"), writer(dir / "t.db");
    writer.ExecuteRaw("create table t (x integer)");
    const char* count = "select count(*) from t";
    EXPECT_EQ(reader.QueryRaw(count).At(0, 0), sql::Value(0));
    writer.ExecuteRaw("insert into t values (1)");
    // No snapshot is left behind: the writer can checkpoint everything, the reader sees the row.
    const auto checkpoint = writer.QueryRaw("PRAGMA wal_checkpoint(TRUNCATE)");
    EXPECT_EQ(checkpoint.At(0, 0), sql::Value(0));  // not busy
    EXPECT_EQ(reader.QueryRaw(count).At(0, 0), sql::Value(1));
    // A statement that failed half-way runs again from the start.
    reader.ExecuteRaw("create table u (x integer unique)");
    reader.ExecuteRaw("insert into u values (1)");
    EXPECT_THROW(reader.ExecuteRaw("insert into u values (?1)", {sql::Value(1)}), sql::Error);
    EXPECT_EQ(reader.ExecuteRaw("insert into u values (?1)", {sql::Value(2)}), 1);
    // Kept statements follow schema changes.
    EXPECT_EQ(reader.QueryRaw("select * from t").columns.size(), 1u);
    reader.ExecuteRaw("alter table t add y varchar(5)");
    EXPECT_EQ(reader.QueryRaw("select * from t").columns.size(), 2u);
}

TEST(SharedDatabase, OneConnectionPerFolder) {
    TempDir dir;
    auto a = sql::SharedDatabase(dir.path());
    auto b = sql::SharedDatabase(dir.path().substr(0, dir.path().size() - 1));
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(a->File(), dir / sql::kDatabaseFileName);
    sql::CloseSharedDatabases();
    EXPECT_NE(sql::SharedDatabase(dir.path()).get(), a.get());
    sql::CloseSharedDatabases();
    EXPECT_THROW(sql::SharedDatabase(dir / "none"), sql::Error);
    EXPECT_THROW(sql::SharedDatabase(""), sql::Error);
}

}  // namespace
