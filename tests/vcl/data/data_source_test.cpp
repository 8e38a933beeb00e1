#include "vcl/data/data_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"
#include "vcl/data/db_query.h"
#include "vcl/data/db_table.h"

namespace {

using testing_support::TempDir;

// Records what a bound control would hear.
class Probe : public vcl::TDataLink {
public:
    std::vector<std::string> heard;

protected:
    void ActiveChanged() override {
        heard.push_back(DataSet() && DataSet()->Active() ? "open" : "closed");
    }
    void DataSetChanged() override { heard.push_back("change"); }
    void DataSetScrolled() override {
        heard.push_back("scroll " + std::to_string(DataSet()->RecNo()));
    }
};

class DataSources : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = sql::SharedDatabase(dir_.path());
        db_->ExecuteRaw("create table T (ID integer primary key autoincrement, Name varchar(20))");
        for (const char* n : {"a", "b", "c"})
            db_->ExecuteRaw(std::string("insert into T (Name) values ('") + n + "')");
        table_.SetDatabaseName(dir_.path());
        table_.SetTableName("T.DB");
        table_.SetIndexFieldNames("ID");
        source_->SetDataSet(&table_);
        probe_.SetDataSource(source_.get());
        probe_.heard.clear();
    }
    void TearDown() override { sql::CloseSharedDatabases(); }

    TempDir dir_;
    std::shared_ptr<sql::Database> db_;
    vcl::TTable table_;
    std::unique_ptr<vcl::TDataSource> source_ = std::make_unique<vcl::TDataSource>(nullptr);
    Probe probe_;
};

TEST_F(DataSources, LinksHearOpenCloseMovesAndChanges) {
    table_.Open();
    table_.Next();
    table_.Next();
    table_.Next();  // past the last: no move
    table_.Prior();
    table_.Last();
    table_.Last();
    table_.SetRecNo(1);
    table_.Edit();
    table_.FieldByName("Name").SetAsString("x");
    table_.Post();
    table_.Append();
    table_.Cancel();
    table_.SetFilter("Name='b'");
    table_.SetFiltered(true);
    table_.Close();
    EXPECT_EQ(probe_.heard,
              (std::vector<std::string>{"open", "scroll 2", "scroll 3", "scroll 2", "scroll 3",
                                        "scroll 1", "change", "change", "change", "closed"}));
}

// A frozen display hears nothing until the last EnableControls, which tells it to catch up;
// an open or close while frozen is told as such.
TEST_F(DataSources, DisabledControlsCatchUpOnceWhenEnabledAgain) {
    table_.Open();
    probe_.heard.clear();
    table_.DisableControls();
    table_.DisableControls();
    table_.Last();
    table_.First();
    table_.EnableControls();
    EXPECT_TRUE(probe_.heard.empty());
    table_.EnableControls();
    table_.EnableControls();  // one too many does nothing
    EXPECT_EQ(probe_.heard, (std::vector<std::string>{"change"}));

    probe_.heard.clear();
    table_.DisableControls();
    table_.Close();
    table_.Open();
    table_.EnableControls();
    EXPECT_EQ(probe_.heard, (std::vector<std::string>{"open"}));
}

TEST_F(DataSources, RecordsReadByNumberLeaveTheCurrentOneAlone) {
    vcl::TQuery q;
    q.SetDatabaseName(dir_.path());
    q.SQL.Add("select Name from T order by ID");
    q.Open();
    q.SetRecNo(2);
    vcl::TField& name = q.FieldByName("Name");
    q.ReadRecord(3);
    EXPECT_EQ(name.AsString(), "c");
    q.ReadRecord(1);
    EXPECT_EQ(name.AsString(), "a");
    q.ReadRecord(4);  // past the last
    EXPECT_TRUE(name.IsNull());
    q.ReadRecord(0);
    EXPECT_EQ(name.AsString(), "b");
    EXPECT_EQ(q.RecNo(), 2);

    // The record under edit reads its buffer; the others read what is stored.
    table_.Open();
    table_.SetRecNo(2);
    table_.Edit();
    table_.FieldByName("Name").SetAsString("edited");
    table_.ReadRecord(2);
    EXPECT_EQ(table_.FieldByName("Name").AsString(), "edited");
    table_.ReadRecord(1);
    EXPECT_EQ(table_.FieldByName("Name").AsString(), "a");
    table_.ReadRecord(0);
    table_.Cancel();
}

// Whichever goes first, nobody is left pointing at it.
TEST_F(DataSources, SourcesDataSetsAndLinksMayGoInAnyOrder) {
    table_.Open();
    probe_.heard.clear();
    source_.reset();
    EXPECT_EQ(probe_.DataSource(), nullptr);
    EXPECT_EQ(probe_.heard, (std::vector<std::string>{"closed"}));

    auto query = std::make_unique<vcl::TQuery>();
    vcl::TDataSource source(nullptr);
    source.SetDataSet(query.get());
    probe_.SetDataSource(&source);
    probe_.heard.clear();
    query.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(probe_.heard, (std::vector<std::string>{"closed"}));
    {
        Probe shortLived;
        shortLived.SetDataSource(&source);
    }
    source.SetDataSet(&table_);  // tells only the link still there
    EXPECT_EQ(probe_.heard.back(), "open");
}

}  // namespace
