#include "lists/list_activity.h"

#include <gtest/gtest.h>

#include "db/tables.h"
#include "platform/os/cp_literal.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

class ListActivity : public ::testing::Test {
protected:
    void SetUp() override { db::CreateMissingTables(dir_ / "Local Tables"); }
    void TearDown() override { sql::CloseSharedDatabases(); }

    int AddList(const std::string& name, const char* active) {
        vcl::TQuery& q = ds_.Query;
        q.Close();
        q.SQL.SetText(std::string("insert into List (Name, Active) values (:prmStr, ") + active +
                      ")");
        q.ParamByName("prmStr").SetAsString(name);
        q.ExecSQL();
        q.SQL.SetText("select max(ID) as m from List");
        q.Open();
        const int id = q.FieldByName("m").AsInteger();
        q.Close();
        return id;
    }

    TempDir dir_;
    db::TOwnDataSets own_{dir_ / "Local Tables"};
    db::TMainDataSets ds_ = own_.Refs();
};

TEST_F(ListActivity, ByIDReadsTheFlagOfThatRowOnly) {
    const int on = AddList("A", "1"), off = AddList("B", "0"), unset = AddList("C", "null");
    EXPECT_TRUE(lists::IsListActiveByID(ds_, on));
    EXPECT_FALSE(lists::IsListActiveByID(ds_, off));
    EXPECT_FALSE(lists::IsListActiveByID(ds_, unset));
    EXPECT_FALSE(lists::IsListActiveByID(ds_, on + 100));  // no such row
}

TEST_F(ListActivity, ByNameIgnoresCaseCyrillicIncluded) {
    AddList("Клиенты"_cp, "1");
    AddList("idle", "0");
    EXPECT_TRUE(lists::IsListActiveByName(ds_, "КЛИЕНТЫ"_cp));
    EXPECT_TRUE(lists::IsListActiveByName(ds_, "клиенты"_cp));
    EXPECT_FALSE(lists::IsListActiveByName(ds_, "IDLE"));
    EXPECT_FALSE(lists::IsListActiveByName(ds_, "Клиент"_cp));  // whole name, not a prefix
    EXPECT_FALSE(lists::IsListActiveByName(ds_, "it's"));       // quotes are bound, not pasted
}

}  // namespace
