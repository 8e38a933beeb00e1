#include "lists/settings.h"

#include <gtest/gtest.h>

#include "platform/os/cp_literal.h"
#include "platform/sql/lexer.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"

namespace {

using lists::TSettings;
using testing_support::TempDir;

void WriteIni(const std::string& file, const std::string& values) {
    testing_support::WriteFile(file, "[SOFTWARE\\Tessary]\n" + values);
}

TSettings Read(const std::string& file) {
    vcl::TRegistry registry(file);
    TSettings s;
    lists::ReadSettings(registry, s);
    return s;
}

TEST(Settings, DefaultsAndWhatIsMissing) {
    TempDir dir;
    TSettings s = Read(dir / "none.ini");
    EXPECT_EQ(s.COMPort, "");
    EXPECT_EQ(s.SMSDelay, 1);
    EXPECT_TRUE(s.ReportRequire);
    EXPECT_EQ(s.ReportWaitForMins, 5);
    WriteIni(dir / "s.ini", "COMPort=\"ttyUSB1\"\n");
    s = Read(dir / "s.ini");
    EXPECT_EQ(s.COMPort, "ttyUSB1");
    EXPECT_EQ(s.SMSDelay, 1);
    EXPECT_EQ(s.ReportWaitForMins, 5);
}

TEST(Settings, LimitsAreKeptAtLoad) {
    TempDir dir;
    const struct {
        int delay, wait, wantDelay, wantWait;
    } cases[] = {{100, 0, 60, 1}, {-5, 61, 0, 60}, {0, 1, 0, 1}, {60, 60, 60, 60}, {7, -3, 7, 1}};
    for (const auto& c : cases) {
        WriteIni(dir / "s.ini", "SMSDelay=" + std::to_string(c.delay) +
                                    "\nReportWaitForMins=" + std::to_string(c.wait) + "\n");
        const TSettings s = Read(dir / "s.ini");
        EXPECT_EQ(s.SMSDelay, c.wantDelay) << c.delay;
        EXPECT_EQ(s.ReportWaitForMins, c.wantWait) << c.wait;
    }
}

TEST(Settings, AValueOfTheWrongTypeKeepsItsDefault) {
    TempDir dir;
    WriteIni(dir / "s.ini",
             "COMPort=5\nSMSDelay=\"five\"\nReportRequire=\"yes\"\nReportWaitForMins=30\n");
    const TSettings s = Read(dir / "s.ini");
    EXPECT_EQ(s.COMPort, "");
    EXPECT_EQ(s.SMSDelay, 1);
    EXPECT_TRUE(s.ReportRequire);
    EXPECT_EQ(s.ReportWaitForMins, 30);  // the others are still read
    WriteIni(dir / "s.ini", "ReportRequire=2\n");
    EXPECT_TRUE(Read(dir / "s.ini").ReportRequire);  // any non-zero value
    WriteIni(dir / "s.ini", "ReportRequire=0\n");
    EXPECT_FALSE(Read(dir / "s.ini").ReportRequire);
}

TEST(Settings, RoundTripThroughTheMainWindow) {
    TempDir dir;
    testing_support::ScopedEnv config("XDG_CONFIG_HOME", dir / "config");
    TSettings s;
    s.COMPort = "ttyACM0";
    s.SMSDelay = 0;
    s.ReportRequire = false;
    s.ReportWaitForMins = 60;
    lists::MainFormClose(s);

    vcl::TTable table, table2;
    vcl::TQuery query, query2, query3;
    TSettings loaded;
    loaded.SMSDelay = 33;  // creation starts from the defaults
    const std::string folder = dir / "Local Tables";
    lists::MainFormCreate(loaded, {table, table2, query, query2, query3}, folder);
    EXPECT_EQ(loaded.COMPort, "ttyACM0");
    EXPECT_EQ(loaded.SMSDelay, 0);
    EXPECT_FALSE(loaded.ReportRequire);
    EXPECT_EQ(loaded.ReportWaitForMins, 60);
    for (vcl::TDataSet* ds :
         {static_cast<vcl::TDataSet*>(&table), static_cast<vcl::TDataSet*>(&query3)})
        EXPECT_EQ(ds->DatabaseName(), folder);
    // A fresh machine gets its folder and tables.
    auto db = sql::SharedDatabase(folder);
    for (const char* t : {"List", "NumberList", "UserValues", "NumberLog"})
        EXPECT_TRUE(db->TableExists(t)) << t;
    EXPECT_EQ(lists::DatabaseFolder().substr(lists::DatabaseFolder().size() - 13), "/Local Tables");
    sql::CloseSharedDatabases();
}

class Upgrade : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = sql::SharedDatabase(dir_.path());
        query_.SetDatabaseName(dir_.path());
        table_.SetDatabaseName(dir_.path());
    }
    void TearDown() override {
        db_.reset();
        sql::CloseSharedDatabases();
    }
    void OldList(const char* columns) {
        db_->ExecuteRaw(std::string("create table List (") + columns + ")");
        const char* templates[] = {"Здравствуйте, [№1]! Ёлки.", "00123", "", nullptr,
                                   "it's \"quoted\""};
        for (const char* t : templates) {
            db_->ExecuteRaw("insert into List (Name, TextSMS) values (?1, ?2)",
                            {sql::Value("n" + std::to_string(db_->LastInsertRowId())),
                             t ? sql::Value(os::Cp1251ToUtf8(os::Utf8ToCp1251(t))) : sql::Value()});
        }
        before_ = Contents();
    }
    // Every row's ID, Name and template.
    std::vector<sql::Value> Contents() {
        return db_->QueryRaw("select ID, Name, TextSMS from List order by ID").cells;
    }
    std::vector<std::string> Layout() {
        std::vector<std::string> out;
        for (const auto& c : db_->TableColumns("List"))
            out.push_back(c.name + " " + sql::FoldName(c.declaredType));
        return out;
    }

    TempDir dir_;
    std::shared_ptr<sql::Database> db_;
    vcl::TQuery query_;
    vcl::TTable table_;
    std::vector<sql::Value> before_;
};

TEST_F(Upgrade, ShortStringTemplatesBecomeAMemoKeepingEveryText) {
    OldList("ID integer primary key autoincrement, Name varchar(64), TextSMS varchar(255)");
    lists::UpgradeListTable(query_, table_);
    EXPECT_EQ(Layout(), (std::vector<std::string>{"ID integer", "Name varchar(64)",
                                                  "Active boolean", "TextSMS blob(160,1)"}));
    EXPECT_EQ(Contents(), before_);
    EXPECT_EQ(db_->QueryRaw("select typeof(TextSMS) from List where ID=2").At(0, 0).Text(), "text");
    // Afterwards the check finds nothing to do.
    const auto version = db_->QueryRaw("PRAGMA schema_version").At(0, 0);
    lists::UpgradeListTable(query_, table_);
    EXPECT_EQ(db_->QueryRaw("PRAGMA schema_version").At(0, 0), version);
}

TEST_F(Upgrade, OnlyAMissingActiveIsAdded) {
    OldList("ID integer primary key autoincrement, Name varchar(64), TextSMS BLOB(160,1)");
    lists::UpgradeListTable(query_, table_);
    EXPECT_EQ(Layout(), (std::vector<std::string>{"ID integer", "Name varchar(64)",
                                                  "TextSMS blob(160,1)", "Active boolean"}));
    EXPECT_EQ(Contents(), before_);
    query_.SQL.Clear();
    query_.SQL.Add("select count(*) as c from List where Active=true");
    query_.Open();
    EXPECT_EQ(query_.FieldByName("c").AsInteger(), 0);  // existing rows read as not active
}

TEST_F(Upgrade, AFailureHalfWayLeavesTheTableAsItWas) {
    OldList("ID integer primary key autoincrement, Name varchar(64), TextSMS varchar(255)");
    // Refuses the update of one row: the failure comes after TextSMS was dropped, when the
    // templates live only in TextSMS2.
    db_->ExecuteRaw(
        "create trigger refuse before update on List when new.Name = 'n3' and "
        "(select type from pragma_table_info('List') where name = 'TextSMS') = 'BLOB(160,1)' "
        "begin select raise(abort, 'refused'); end");
    const auto layout = Layout();
    try {
        lists::UpgradeListTable(query_, table_);
        ADD_FAILURE() << "the upgrade went through";
    } catch (const vcl::EDatabaseError& e) {
        EXPECT_EQ(e.Message, "refused");
    }
    EXPECT_EQ(Layout(), layout);
    EXPECT_EQ(Contents(), before_);
    EXPECT_FALSE(db_->InTransaction());
    // Once the cause is gone the upgrade goes through.
    db_->ExecuteRaw("drop trigger refuse");
    lists::UpgradeListTable(query_, table_);
    EXPECT_EQ(Contents(), before_);
}

}  // namespace
