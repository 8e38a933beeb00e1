#include "vcl/data/keyed_query.h"

#include <gtest/gtest.h>

#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

class KeyedQuery : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = sql::SharedDatabase(dir_.path());
        db_->ExecuteRaw(
            "create table Log (ID integer primary key autoincrement, Number varchar(20), "
            "Sent boolean, SendTime datetime, Status smallint)");
        db_->ExecuteRaw(
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 300) "
            "insert into Log select i, 'n' || i, i % 2, datetime('2024-01-01', '+' || i || "
            "' seconds'), i % 128 from n");
        q_.SetDatabaseName(dir_.path());
    }
    void TearDown() override {
        q_.Close();
        sql::CloseSharedDatabases();
    }
    void Open(const std::string& text) {
        q_.Close();
        q_.SQL.Clear();
        q_.SQL.Add(text);
        q_.Open();
    }
    // The Number of record `recNo` as a grid reads it.
    std::string NumberAt(int recNo) {
        q_.ReadRecord(recNo);
        std::string s = q_.FieldByName("Number").AsString();
        q_.ReadRecord(0);
        return s;
    }

    TempDir dir_;
    std::shared_ptr<sql::Database> db_;
    vcl::TKeyedQuery q_;
};

// Rules 1 and 2: the keys in the statement's order, rows by number in that order, across
// pages and in either direction, with the fields typed from the table's columns.
TEST_F(KeyedQuery, ReadsKeysAtOpenAndRowsByNumberInTheStatementsOrder) {
    Open("select ID, Number, Sent, SendTime from Log where Status < 100 order by ID desc");
    const int count = q_.RecordCount();
    int expected = 0;
    for (int i = 1; i <= 300; ++i)
        expected += i % 128 < 100;
    ASSERT_EQ(count, expected);
    EXPECT_EQ(q_.Keys().front(), 300);
    EXPECT_TRUE(std::is_sorted(q_.Keys().rbegin(), q_.Keys().rend()));
    EXPECT_EQ(q_.FieldByName("Sent").DataType(), vcl::ftBoolean);
    EXPECT_EQ(q_.FieldByName("SendTime").DataType(), vcl::ftDateTime);
    // Far pages first, then back: every row is the one its key names.
    for (int rec : {count, 1, 130, 65, 64, count - 1, 2}) {
        const int64_t key = q_.Keys()[static_cast<std::size_t>(rec - 1)];
        EXPECT_EQ(NumberAt(rec), "n" + std::to_string(key)) << rec;
    }
    EXPECT_EQ(NumberAt(count + 1), "");  // past the last record: nulls
    // Navigation moves over the same rows.
    q_.Last();
    EXPECT_EQ(q_.FieldByName("ID").AsInteger(), q_.Keys().back());
    q_.Prior();
    EXPECT_EQ(q_.RecNo(), count - 1);
    EXPECT_THROW(q_.Edit(), vcl::EDatabaseError);  // rule 5
}

// Rule 3: after the open, a changed row shows its new values once read again, a deleted one
// reads nulls, an added one is not shown; reading never leaves a statement open, so another
// writer is never kept waiting.
TEST_F(KeyedQuery, RowsAreReadByKeyAfterOthersChangeTheTable) {
    Open("select ID, Number from Log where Status >= 10 order by ID");
    const int count = q_.RecordCount();
    EXPECT_EQ(NumberAt(1), "n10");
    db_->ExecuteRaw("update Log set Number='changed' where ID=10");
    db_->ExecuteRaw("delete from Log where ID=11");
    db_->ExecuteRaw("insert into Log (Number, Status) values ('new', 50)");
    q_.DropCachedRows();
    EXPECT_EQ(NumberAt(1), "changed");
    EXPECT_EQ(NumberAt(2), "");
    EXPECT_EQ(NumberAt(3), "n12");
    EXPECT_EQ(q_.RecordCount(), count);
    q_.Close();
    q_.Open();
    EXPECT_EQ(q_.RecordCount(), count);  // one row less, one more
}

// Rule 1: an empty result still has its fields; keys that are no integers, or no key column,
// refuse the open; a second statement is refused, not run.
TEST_F(KeyedQuery, EmptyResultsParametersAndBadKeys) {
    q_.SQL.Add("select ID, Number from Log where Number=:prmStr order by ID");
    q_.ParamByName("prmStr").SetAsString("none");
    q_.Open();
    EXPECT_EQ(q_.RecordCount(), 0);
    EXPECT_TRUE(q_.Eof());
    EXPECT_NE(q_.FindField("Number"), nullptr);  // the layout is known without rows
    q_.Close();
    q_.ParamByName("prmStr").SetAsString("n7");
    q_.Open();
    EXPECT_EQ(q_.RecordCount(), 1);
    EXPECT_EQ(q_.FieldByName("ID").AsInteger(), 7);

    q_.Close();
    q_.SetKeyField("Number");  // text keys cannot be kept as numbers
    EXPECT_THROW(q_.Open(), vcl::EDatabaseError);
    EXPECT_FALSE(q_.Active());
    q_.SetKeyField("Missing");
    EXPECT_THROW(q_.Open(), vcl::EDatabaseError);
    q_.SetKeyField("ID");
    q_.SQL.Clear();
    q_.SQL.Add("select ID from Log; delete from Log");  // one statement only
    EXPECT_THROW(q_.Open(), vcl::EDatabaseError);
    EXPECT_EQ(db_->QueryRaw("select count(*) from Log").At(0, 0).Integer(), 300);
}

// Rules 1, 2 and 4 past one window of keys: ten thousand rows read forwards (each window after
// the last key read), backwards and by jumps (by position), in the key's order and against it;
// rows added since the open never show, and a window that finds fewer keys than counted leaves
// nulls at the end. Keys() keeps the window it holds as read and reads the others.
TEST_F(KeyedQuery, WindowsOfKeysFollowTheOrderAndTheCountAtOpen) {
    db_->ExecuteRaw(
        "with recursive n(i) as (select 301 union all select i + 1 from n where i < 10300) "
        "insert into Log select i, 'n' || i, i % 2, null, i % 128 from n");
    const int window = vcl::TKeyedQuery::kKeyWindow;
    for (const char* order : {"ID", "ID desc"}) {
        q_.Close();
        q_.SQL.Clear();
        q_.SQL.Add("select ID, Number from Log where Sent = 1");
        q_.SetOrderBy(order);
        q_.Open();
        const bool up = std::string(order) == "ID";
        ASSERT_EQ(q_.RecordCount(), 5150) << order;
        db_->ExecuteRaw("insert into Log (ID, Number, Sent) values (20001, 'new', 1)");
        // The key of record r: odd IDs from 1 up to 10299, or down.
        auto id = [&](int r) { return up ? 2 * r - 1 : 10299 - 2 * (r - 1); };
        for (int rec : {1, window, window + 1, 5150, window + 1, window, 2, 5149, 1})
            EXPECT_EQ(NumberAt(rec), "n" + std::to_string(id(rec))) << order << " " << rec;
        db_->ExecuteRaw("delete from Log where ID = 20001");
    }
    // Against the key's order windows are found by position: a row deleted before its window is
    // read shifts the rest up, and the last record reads as nulls.
    q_.Close();
    q_.Open();
    db_->ExecuteRaw("delete from Log where ID = 10299");
    EXPECT_EQ(NumberAt(window + 1), "n" + std::to_string(10299 - 2 * window - 2));
    EXPECT_EQ(NumberAt(5150), "");
    // Every key: the window held stays as read, the others are read now.
    const std::vector<int64_t>& keys = q_.Keys();
    ASSERT_EQ(keys.size(), 5149u);
    EXPECT_EQ(keys.front(), 10297);
    EXPECT_EQ(keys[window], 10299 - 2 * window - 2);
    q_.Close();
    EXPECT_TRUE(q_.Keys().empty());
}

// Rule 6: the keys counted at open stay, in their order, while every row leaves the result;
// in the key's order too, which an index on the status gives as one run per status, read into
// the space of the open before.
TEST_F(KeyedQuery, KeptKeysAreThoseCountedAtOpen) {
    db_->ExecuteRaw("create index Log_Status on Log (Status)");
    const std::string from = " from Log where Status < 63";
    for (const std::string order : {"Number", "ID"}) {
        const auto counted = db_->QueryIntegers("select ID" + from + " order by " + order);
        q_.Close();
        q_.SetOrderBy(order);
        q_.SetKeepKeys(true);
        Open("select ID, Number" + from);
        db_->ExecuteRaw("update Log set Status = 127 - Status");
        EXPECT_EQ(q_.Keys(), counted) << order;
    }
}

}  // namespace
