#include "vcl/data/data_set.h"

#include <gtest/gtest.h>

#include "platform/os/cp_literal.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/date_utils.h"
#include "vcl/data/db_database.h"
#include "vcl/data/db_query.h"
#include "vcl/data/db_table.h"

namespace {

using testing_support::TempDir;

class DataSets : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = sql::SharedDatabase(dir_.path());
        db_->ExecuteRaw(
            "create table Log (ID integer primary key autoincrement, Number varchar(20), "
            "Sent boolean, SendTime datetime, Status smallint, Text BLOB(160,1))");
    }
    void TearDown() override { sql::CloseSharedDatabases(); }

    void Sql(vcl::TQuery& q, const std::string& text) {
        q.Close();
        q.SetDatabaseName(dir_.path());
        q.SQL.Clear();
        q.SQL.Add(text);
    }

    TempDir dir_;
    std::shared_ptr<sql::Database> db_;
};

TEST_F(DataSets, QueryBindsByNameAndConvertsAtTheBoundary) {
    vcl::TQuery q;
    Sql(q, "insert into Log (Number, Sent, SendTime, Text) values (:prmStr, :prmBool, :prmDT,");
    q.SQL.Add(":PRMSTR2)");
    ASSERT_EQ(q.ParamCount(), 4);
    const vcl::TDateTime when = vcl::EncodeDateTime(2024, 3, 5, 9, 7, 1, 250);
    q.ParamByName("prmstr").SetAsString("0079161234567");
    q.ParamByName("prmBool").SetAsBoolean(true);
    q.ParamByName("prmDT").SetAsDateTime(when);
    q.ParamByName("prmStr2").SetAsString("Привет, мир"_cp);
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);
    // Stored as UTF-8 text, a 1 and the sortable date-time text.
    const auto raw = db_->QueryRaw("select Number, Sent, SendTime, Text from Log");
    EXPECT_EQ(raw.At(0, 0).Text(), "0079161234567");
    EXPECT_EQ(raw.At(0, 1), sql::Value(1));
    EXPECT_EQ(raw.At(0, 2).Text(), "2024-03-05 09:07:01.250");
    EXPECT_EQ(raw.At(0, 3).Text(), "Привет, мир");

    Sql(q, "select * from Log where Number=:n or Number=:N");
    q.ParamByName("n").SetAsString("0079161234567");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("number").AsString(), "0079161234567");
    EXPECT_TRUE(q.FieldByName("Sent").AsBoolean());
    EXPECT_EQ(q.FieldByName("Sent").AsString(), "True");
    EXPECT_DOUBLE_EQ(q.FieldByName("SendTime").AsDateTime(), when);
    EXPECT_EQ(q.FieldByName("Text").AsString(), std::string("Привет, мир"_cp));
    EXPECT_EQ(q.FieldByName("Text").DataType(), vcl::ftMemo);
    EXPECT_EQ(q.FieldByName("Number").DataType(), vcl::ftString);
    EXPECT_EQ(q.FieldByName("Number").Size(), 20);
    EXPECT_TRUE(q.FieldByName("Status").IsNull());
    EXPECT_EQ(q.FieldByName("Status").AsInteger(), 0);
    EXPECT_EQ(q.FindField("Nothing"), nullptr);
    EXPECT_THROW(q.FieldByName("Nothing"), vcl::EDatabaseError);
}

TEST_F(DataSets, NavigationFollowsTheClassLibrary) {
    for (int i = 1; i <= 3; ++i)
        db_->ExecuteRaw("insert into Log (Status) values (?1)", {sql::Value(i * 10)});
    vcl::TQuery q;
    Sql(q, "select Status, count(*) as cnt from Log group by Status order by Status");
    q.Open();
    EXPECT_EQ(q.FieldByName("cnt").DataType(), vcl::ftInteger);
    EXPECT_EQ(q.RecNo(), 1);
    std::vector<int> seen;
    for (q.First(); !q.Eof(); q.Next())
        seen.push_back(q.FieldByName("Status").AsInteger());
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(q.RecNo(), 3);  // Next past the end stays on the last record
    q.Prior();
    EXPECT_EQ(q.FieldByName("Status").AsInteger(), 20);
    q.SetRecNo(1);
    q.Prior();
    EXPECT_TRUE(q.Bof());
    EXPECT_EQ(q.FieldByName("Status").AsInteger(), 10);
    q.SetRecNo(99);  // out of range: stays
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_THROW(q.Edit(), vcl::EDatabaseError);  // queries are read-only once posted
    q.Close();
    EXPECT_TRUE(q.Eof());

    Sql(q, "select * from Log where ID < 0");
    q.Open();
    EXPECT_TRUE(q.Eof());
    EXPECT_TRUE(q.Bof());
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(q.RecNo(), 0);
    EXPECT_TRUE(q.FieldByName("Number").IsNull());
}

TEST_F(DataSets, ParametersSurviveRewritesByNameAndMustBeSet) {
    vcl::TQuery q;
    Sql(q, "select count(*) as c from Log where ID>=:prmInt");
    EXPECT_THROW(q.Open(), vcl::EDatabaseError);  // never given a value
    q.ParamByName("prmInt").SetAsInteger(1);
    q.SQL.Add("and Number=:prmStr");  // prmInt keeps its value
    q.ParamByName("prmStr").Clear();  // bound to null
    q.Open();
    EXPECT_EQ(q.FieldByName("c").AsInteger(), 0);
    q.SQL.Clear();
    EXPECT_FALSE(q.Active());
    EXPECT_THROW(q.ParamByName("prmInt"), vcl::EDatabaseError);
}

TEST_F(DataSets, FailuresCarryMessageStatementAndParameters) {
    vcl::TQuery q;
    Sql(q, "update Missing set x=:prmInt where y=:prmStr");
    q.ParamByName("prmInt").SetAsInteger(5);
    q.ParamByName("prmStr").SetAsString("Ёж"_cp);
    try {
        q.ExecSQL();
        FAIL();
    } catch (const vcl::EDatabaseError& e) {
        EXPECT_NE(e.Message.find("no such table"), std::string::npos) << e.Message;
        EXPECT_EQ(e.SQL, "update Missing set x=:prmInt where y=:prmStr\r\n");
        ASSERT_EQ(e.Params.size(), 2u);
        EXPECT_EQ(e.Params[0].name, "prmInt");
        EXPECT_EQ(e.Params[0].value, "5");
        EXPECT_EQ(e.Params[1].value, std::string("Ёж"_cp));
        EXPECT_NE(e.ErrorCode, 0);
    }
    Sql(q, "select 1; delete from Log");
    EXPECT_THROW(q.Open(), vcl::EDatabaseError);
    vcl::TQuery nowhere;
    nowhere.SQL.Add("select 1");
    EXPECT_THROW(nowhere.Open(), vcl::EDatabaseError);
    nowhere.SetDatabaseName(dir_ / "missing");
    EXPECT_THROW(nowhere.Open(), vcl::EDatabaseError);
}

TEST_F(DataSets, FieldConversionsRefuseWhatDoesNotFit) {
    db_->ExecuteRaw("insert into Log (Number, Sent, SendTime) values ('abc', 'maybe', 'soon')");
    vcl::TQuery q;
    Sql(q, "select * from Log");
    q.Open();
    EXPECT_THROW(q.FieldByName("Number").AsInteger(), vcl::EConvertError);
    EXPECT_THROW(q.FieldByName("Sent").AsBoolean(), vcl::EConvertError);
    EXPECT_THROW(q.FieldByName("SendTime").AsDateTime(), vcl::EConvertError);
    EXPECT_THROW(q.FieldByName("SendTime").AsString(), vcl::EConvertError);
    vcl::TParam p("x");
    EXPECT_THROW(p.SetAsDateTime(1e9), vcl::EConvertError);
    EXPECT_THROW(p.SetAsFloat(std::numeric_limits<double>::infinity()), vcl::EConvertError);
    EXPECT_FALSE(p.Bound());
}

TEST_F(DataSets, TableAppendsEditsAndReadsItsKeyBack) {
    vcl::TTable t;
    t.SetDatabaseName(dir_.path());
    t.SetTableName("Log.DB");
    t.Open();
    EXPECT_EQ(t.FieldDefs().Find("ID")->DataType, vcl::ftInteger);
    EXPECT_EQ(t.FieldDefs().Find("Text")->DataType, vcl::ftMemo);
    EXPECT_EQ(t.FieldDefs().Find("Sent")->DataType, vcl::ftBoolean);
    EXPECT_THROW(t.SetTableName("Other"), vcl::EDatabaseError);
    for (int i = 0; i < 3; ++i) {
        t.Append();
        t.FieldByName("Number").SetAsString("00" + std::to_string(i));
        t.FieldByName("Sent").SetAsBoolean(i % 2 == 1);
        t.Post();
        EXPECT_EQ(t.FieldByName("ID").AsInteger(), i + 1);
    }
    EXPECT_THROW(t.FieldByName("Number").SetAsString("x"), vcl::EDatabaseError);
    db_->ExecuteRaw("delete from Log where ID=3");
    t.Append();
    t.Post();  // a deleted ID is never given out again
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 4);
    EXPECT_EQ(t.RecordCount(), 3);  // reading the rows sees the deletion and the new row
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 4);

    t.First();
    t.Edit();
    t.FieldByName("Text").SetAsString("Шаблон [№1]"_cp);
    t.Next();  // posts
    EXPECT_EQ(db_->QueryRaw("select Text from Log where ID=1").At(0, 0).Text(), "Шаблон [№1]");
    t.Edit();
    t.FieldByName("Number").SetAsString("changed");
    t.Cancel();
    EXPECT_EQ(t.FieldByName("Number").AsString(), "001");
    t.Close();
    t.SetTableName("Nothing");
    EXPECT_THROW(t.Open(), vcl::EDatabaseError);
}

TEST_F(DataSets, TableFiltersOrdersAndFindsKeys) {
    const char* rows[][3] = {{"111", "1", "5"}, {"222", "0", "7"}, {"111", "1", "7"}};
    for (auto& r : rows)
        db_->ExecuteRaw(
            "insert into Log (Number, Sent, Status) values (?1, ?2, ?3)",
            {sql::Value(r[0]), sql::Value(std::stoi(r[1])), sql::Value(std::stoi(r[2]))});
    vcl::TTable t;
    t.SetDatabaseName(dir_.path());
    t.SetTableName("log");
    t.SetFilter("Number='111' and Sent='true'");
    t.Open();
    EXPECT_EQ(t.RecordCount(), 3);  // the filter only applies while Filtered
    t.SetFiltered(true);
    EXPECT_EQ(t.RecordCount(), 2);
    t.SetFilter("Status=7 and Number like '2%'");
    ASSERT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 2);
    t.SetFiltered(false);
    t.SetIndexFieldNames("Status;Number");
    t.First();
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 1);
    ASSERT_TRUE(t.FindKey({7, "222"}));
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 2);
    EXPECT_FALSE(t.FindKey({9}));
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 2);
    t.SetIndexFieldNames("ID");
    ASSERT_TRUE(t.FindKey({int64_t{3}}));
    EXPECT_EQ(t.FieldByName("Status").AsInteger(), 7);
    t.SetIndexFieldNames("");
    EXPECT_THROW(t.FindKey({1}), vcl::EDatabaseError);
    t.SetFilter("Number='x'; delete from Log");
    t.SetFiltered(true);
    EXPECT_THROW(t.RecordCount(), vcl::EDatabaseError);
    EXPECT_EQ(db_->QueryRaw("select count(*) from Log").At(0, 0), sql::Value(3));
}

TEST_F(DataSets, TransactionsCoverEveryDataSetOfTheFolder) {
    vcl::TDatabase database(dir_.path());
    vcl::TTable t;
    t.SetDatabaseName(dir_.path());
    t.SetTableName("Log");
    vcl::TQuery q;
    database.StartTransaction();
    EXPECT_TRUE(database.InTransaction());
    t.Open();
    t.Append();
    t.Post();
    Sql(q, "insert into Log (Number) values ('x')");
    q.ExecSQL();
    database.Rollback();
    EXPECT_EQ(db_->QueryRaw("select count(*) from Log").At(0, 0), sql::Value(0));
    EXPECT_THROW(database.Commit(), vcl::EDatabaseError);
}

}  // namespace
