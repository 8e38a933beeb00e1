// The list storage over a temporary database, with an editor made of a bare grid: saving and
// loading, the cache of lists, ListChanged, and the one transaction of a save.
#include <gtest/gtest.h>

#include <functional>

#include "db/tables.h"
#include "lists/list_activity.h"
#include "lists/list_storage.h"
#include "platform/os/cp_literal.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"

namespace {

using lists::TListStorage;
using Rows = std::vector<std::vector<std::string>>;

class BareEditor : public lists::TListEditor {
public:
    BareEditor() : grid(vcl::New<vcl::TStringGrid>(nullptr)) { ClearList(); }
    ~BareEditor() override { grid->Free(); }

    vcl::TStringGrid& Grid() override { return *grid; }
    bool GridLocked() const override { return locked; }
    void UnlockGrid() override { locked = false; }
    void ClearList() override {
        grid->SetRowCount(2);
        grid->SetColCount(2);
        grid->SetCells(1, 1, {});
        locked = true;
        text.clear();
    }
    std::string TemplateText() const override {
        if (onTemplate) onTemplate();
        return text;
    }

    void Fill(const Rows& rows) {
        locked = rows.empty();
        grid->SetRowCount(static_cast<int>(rows.size()) + 1);
        grid->SetColCount(rows.empty() ? 2 : static_cast<int>(rows[0].size()) + 1);
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                grid->SetCells(static_cast<int>(c) + 1, static_cast<int>(r) + 1, rows[r][c]);
    }
    Rows Read() const {
        Rows rows;
        if (locked) return rows;
        for (int r = 1; r < grid->RowCount(); ++r) {
            auto& row = rows.emplace_back();
            for (int c = 1; c < grid->ColCount(); ++c)
                row.push_back(grid->Cells(c, r));
        }
        return rows;
    }

    vcl::TStringGrid* grid;
    bool locked = true;
    std::string text;
    std::function<void()> onTemplate;  // runs as a save reads the template
};

class ListStorageTest : public ::testing::Test {
protected:
    ListStorageTest()
        : made((db::CreateMissingTables(dir.path()), true)),
          data(dir.path()),
          storage(data.Refs(), editor) {}
    ~ListStorageTest() override { sql::CloseSharedDatabases(); }

    int64_t Count(const std::string& sql) {
        return sql::SharedDatabase(dir.path())->QueryRaw(sql).At(0, 0).Integer();
    }
    void Exec(const std::string& sql) { sql::SharedDatabase(dir.path())->ExecuteRaw(sql); }

    testing_support::TempDir dir;
    bool made;
    db::TOwnDataSets data;
    BareEditor editor;
    TListStorage storage;
};

// 0x98, the byte without a character, must come back from the database as it went in.
const Rows kClients = {{"+79161000001", "Анна"_cp, "1041"},
                       {"89161000002", "", "1042\x98"},
                       {"79161000003", "Вера"_cp, ""}};

TEST_F(ListStorageTest, ASavedListLoadsBackAsItWasWithEveryNumberUnprocessed) {
    editor.Fill(kClients);
    editor.text = std::string("  Добрый день, [№1]!"_cp) + "\x98  ";
    ASSERT_EQ(storage.SaveList("Клиенты"_cp), TListStorage::TSaveResult::Saved);
    ASSERT_EQ(storage.ListArray.size(), 1u);
    EXPECT_EQ(storage.ListArray[0].Name, "Клиенты"_cp);
    EXPECT_EQ(storage.ListArray[0].TextSMS, std::string("Добрый день, [№1]!"_cp) + "\x98");
    EXPECT_EQ(Count("select count(*) from NumberList where Processed=0"), 3);
    EXPECT_EQ(Count("select count(*) from UserValues"), 6);  // empty cells are stored too

    editor.Fill({{"1"}});
    storage.LoadListToGrid(storage.ListArray[0].ID);
    EXPECT_FALSE(editor.locked);
    EXPECT_EQ(editor.Read(), kClients);
    EXPECT_EQ(editor.grid->ColWidths(1), 100);
    EXPECT_FALSE(data.Query.Active());
    EXPECT_FALSE(data.Query2.Active());
}

// Another copy saves the same new name between this copy's click and its write: the name is
// looked up inside the transaction, so that list is replaced rather than joined by a twin.
TEST_F(ListStorageTest, Rule2TwoCopiesSavingOneNewNameMakeOneList) {
    editor.Fill(kClients);
    editor.text = "mine";
    editor.onTemplate = [this] {
        sql::Database other(sql::DatabaseFile(dir.path()));
        other.ExecuteRaw("insert into List (Name, TextSMS, Active) values ('Клиенты', 'theirs', 0)");
        editor.onTemplate = nullptr;
    };
    ASSERT_EQ(storage.SaveList("КЛИЕНТЫ"_cp), TListStorage::TSaveResult::Saved);
    EXPECT_EQ(Count("select count(*) from List"), 1);
    EXPECT_EQ(Count("select count(*) from List where TextSMS='mine'"), 1);
    EXPECT_EQ(Count("select count(*) from NumberList"), 3);
}

TEST_F(ListStorageTest, ALongListKeepsEveryValueWithItsNumber) {
    Rows rows;
    for (int r = 0; r < 9000; ++r)
        rows.push_back({std::to_string(r), "v" + std::to_string(r)});
    editor.Fill(rows);
    storage.SaveList("long");
    EXPECT_EQ(Count("select count(*) from NumberList a join UserValues b on b.NumberID = a.ID "
                    "where b.Val = 'v' || a.Number"),
              9000);
    storage.LoadListToGrid(storage.ListArray[0].ID);
    EXPECT_EQ(editor.Read(), rows);
    EXPECT_FALSE(storage.ListChanged("long"));
}

TEST_F(ListStorageTest, SavingUnderAKnownNameInOtherCaseReplacesThatList) {
    editor.Fill(kClients);
    editor.text = "x";
    storage.SaveList("Клиенты"_cp);
    const int id = storage.ListArray[0].ID;
    editor.Fill({{"111"}, {"222"}});
    editor.text = "y";
    storage.SaveList("КЛИЕНТЫ"_cp);
    ASSERT_EQ(storage.ListArray.size(), 1u);
    EXPECT_EQ(storage.ListArray[0].ID, id);
    EXPECT_EQ(storage.ListArray[0].TextSMS, "y");
    EXPECT_EQ(Count("select count(*) from NumberList"), 2);
    EXPECT_EQ(Count("select count(*) from UserValues"), 0);
    EXPECT_EQ(storage.FindList("клиенты"_cp)->ID, id);
    EXPECT_EQ(storage.FindList("other"), nullptr);
}

TEST_F(ListStorageTest, ListsWithoutValuesOrWithoutNumbersLoad) {
    editor.Fill({{"111"}, {"222"}});
    editor.text = "a";
    storage.SaveList("plain");
    editor.ClearList();
    editor.text = "only text";
    storage.SaveList("empty");
    EXPECT_EQ(Count("select count(*) from NumberList"), 2);

    storage.LoadListToGrid(storage.FindList("plain")->ID);
    EXPECT_EQ(editor.grid->ColCount(), 2);
    EXPECT_EQ(editor.Read(), (Rows{{"111"}, {"222"}}));
    storage.LoadListToGrid(storage.FindList("empty")->ID);
    EXPECT_TRUE(editor.locked);
    EXPECT_EQ(editor.grid->RowCount(), 2);
}

TEST_F(ListStorageTest, LoadingIgnoresValuesPastTheFirstNumbersColumns) {
    editor.Fill({{"1", "a"}, {"2", "b"}});
    storage.SaveList("short");
    // A second number with more values than the first (written by hand).
    Exec("insert into UserValues (NumberID, Val) select max(ID), 'extra' from NumberList");
    storage.LoadListToGrid(storage.ListArray[0].ID);
    EXPECT_EQ(editor.Read(), (Rows{{"1", "a"}, {"2", "b"}}));
}

TEST_F(ListStorageTest, Rule4WhatCountsAsAChange) {
    editor.Fill(kClients);
    editor.text = "Text";
    storage.SaveList("L");
    EXPECT_FALSE(storage.ListChanged("l"));
    EXPECT_FALSE(storage.ListChanged("not stored"));

    editor.text = "  Text\r\n";  // blanks around the template are no change
    EXPECT_FALSE(storage.ListChanged("L"));
    editor.text = "Text!";
    EXPECT_TRUE(storage.ListChanged("L"));
    editor.text = "Text";

    editor.grid->SetCells(2, 2, "Борис"_cp);
    EXPECT_TRUE(storage.ListChanged("L"));
    editor.grid->SetCells(2, 2, "");

    editor.grid->SetRowCount(5);
    EXPECT_TRUE(storage.ListChanged("L"));
    editor.grid->SetRowCount(4);
    EXPECT_FALSE(storage.ListChanged("L"));

    // Two numbers swapped with their values.
    editor.Fill({kClients[1], kClients[0], kClients[2]});
    EXPECT_TRUE(storage.ListChanged("L"));

    // A locked grid is a list without numbers.
    editor.Fill({});
    EXPECT_TRUE(storage.ListChanged("L"));

    // Fewer stored values than columns.
    editor.Fill(kClients);
    editor.grid->SetColCount(5);
    EXPECT_TRUE(storage.ListChanged("L"));
    editor.grid->SetColCount(3);
    EXPECT_TRUE(storage.ListChanged("L"));  // more stored values than columns
}

TEST_F(ListStorageTest, Rule1AFailedSaveLeavesTheStoredListAsItWas) {
    editor.Fill(kClients);
    editor.text = "old";
    storage.SaveList("L");
    Exec(
        "create trigger refuse before insert on UserValues when new.Val = 'boom' "
        "begin select raise(abort, 'disk full'); end");
    editor.Fill({{"1", "fine"}, {"2", "boom"}});
    editor.text = "new";
    EXPECT_THROW(storage.SaveList("L"), std::exception);
    EXPECT_EQ(Count("select count(*) from NumberList"), 3);
    EXPECT_EQ(Count("select count(*) from UserValues"), 6);
    EXPECT_EQ(Count("select count(*) from List where TextSMS='old'"), 1);

    // A new list is not left behind half-written either.
    EXPECT_THROW(storage.SaveList("M"), std::exception);
    EXPECT_EQ(Count("select count(*) from List"), 1);

    EXPECT_THROW(storage.UpdateListText(999, "x"), vcl::EDatabaseError);
}

TEST_F(ListStorageTest, Rule2AListInUseIsNotWritten) {
    editor.Fill(kClients);
    editor.text = "old";
    storage.SaveList("L");
    Exec("update List set Active=1");
    EXPECT_TRUE(lists::IsListActiveByName(data.Refs(), "l"));
    editor.Fill({{"1"}});
    editor.text = "new";
    EXPECT_EQ(storage.SaveList("L"), TListStorage::TSaveResult::ListBusy);
    EXPECT_EQ(Count("select count(*) from NumberList"), 3);
    EXPECT_EQ(Count("select count(*) from List where TextSMS='old'"), 1);
    // The transaction is over: another save goes through.
    EXPECT_EQ(storage.SaveList("Other"), TListStorage::TSaveResult::Saved);
}

}  // namespace
