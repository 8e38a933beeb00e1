// Every statement of the list code, the mailing run and the journal viewer, run as written
// through the data sets against a fresh database.
#include "db/statements.h"

#include <gtest/gtest.h>

#include "db/tables.h"
#include "platform/os/cp_literal.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/date_utils.h"
#include "vcl/data/db_table.h"

namespace {

using testing_support::TempDir;

class Statements : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = dir_ / "Local Tables";
        db::CreateMissingTables(folder_);
        for (vcl::TDataSet* ds :
             {static_cast<vcl::TDataSet*>(&q_), static_cast<vcl::TDataSet*>(&t_)})
            ds->SetDatabaseName(folder_);
    }
    void TearDown() override { sql::CloseSharedDatabases(); }

    template <std::size_t N>
    vcl::TQuery& Q(const char* const (&lines)[N]) {
        db::SetStatement(q_, lines);
        return q_;
    }

    // A list saved as the list storage saves it: the List row, then numbers and values.
    int SaveList(const std::string& name, const std::vector<std::vector<std::string>>& rows) {
        t_.Close();
        t_.SetTableName("List");
        t_.Open();
        t_.Append();
        t_.FieldByName("Name").SetAsString(name);
        t_.FieldByName("TextSMS").SetAsString("Текст [№1]"_cp);
        t_.Post();
        const int id = t_.FieldByName("ID").AsInteger();
        t_.Close();
        vcl::TTable values;
        values.SetDatabaseName(folder_);
        values.SetTableName("UserValues");
        values.Open();
        t_.SetTableName("NumberList");
        t_.Open();
        for (const auto& row : rows) {
            t_.Append();
            t_.FieldByName("ListID").SetAsInteger(id);
            t_.FieldByName("Number").SetAsString(row[0]);
            t_.FieldByName("Processed").SetAsBoolean(false);
            t_.Post();
            for (std::size_t c = 1; c < row.size(); ++c) {
                values.Append();
                values.FieldByName("NumberID").SetAsInteger(t_.FieldByName("ID").AsInteger());
                values.FieldByName("Val").SetAsString(row[c]);
                values.Post();
            }
        }
        t_.Close();
        return id;
    }

    std::vector<std::string> Column(vcl::TQuery& q, const char* field) {
        std::vector<std::string> out;
        for (q.First(); !q.Eof(); q.Next())
            out.push_back(q.FieldByName(field).AsString());
        q.Close();
        return out;
    }

    int Count(vcl::TQuery& q, const char* field = "cnt") {
        q.Open();
        const int n = q.FieldByName(field).AsInteger();
        q.Close();
        return n;
    }

    TempDir dir_;
    std::string folder_;
    vcl::TQuery q_;
    vcl::TTable t_;
};

TEST_F(Statements, FreshDatabaseHasTheCurrentLayout) {
    db::CreateMissingTables(folder_);  // a second start changes nothing
    struct Expect {
        const char* table;
        const char* field;
        vcl::TFieldType type;
    } expected[] = {
        {"List", "TextSMS", vcl::ftMemo},
        {"List", "Active", vcl::ftBoolean},
        {"NumberList", "Number", vcl::ftString},
        {"NumberList", "Processed", vcl::ftBoolean},
        {"UserValues", "Val", vcl::ftString},
        {"NumberLog.DB", "SendTime", vcl::ftDateTime},
        {"NumberLog.DB", "StatusSC", vcl::ftSmallint},
        {"NumberLog.DB", "MMS", vcl::ftBoolean},
        {"NumberLog.DB", "StartTime", vcl::ftString},
    };
    for (const auto& e : expected) {
        t_.Close();
        t_.SetTableName(e.table);
        t_.Open();
        const vcl::TFieldDef* def = t_.FieldDefs().Find(e.field);
        ASSERT_NE(def, nullptr) << e.table << "." << e.field;
        EXPECT_EQ(def->DataType, e.type) << e.table << "." << e.field;
    }
    t_.Close();
    t_.SetTableName("NumberLog");
    t_.Open();
    EXPECT_EQ(t_.FieldCount(), 16);
    // Deleted keys are never given out again, and numbers keep their leading zeros.
    const int first = SaveList("a", {{"0079161234567"}, {"0079"}});
    Q(db::kDeleteList).ParamByName("prmInt").SetAsInteger(first);
    q_.ExecSQL();
    EXPECT_EQ(SaveList("b", {}), first + 1);
    Q(db::kListNumberTexts).ParamByName("prmInt").SetAsInteger(first);
    q_.Open();
    EXPECT_EQ(Column(q_, "Number"), (std::vector<std::string>{"0079161234567", "0079"}));
}

TEST_F(Statements, MailingRunCountsFlagsAndReadsItsList) {
    const int other = SaveList("other", {{"1", "x"}});
    const int id =
        SaveList("list", {{"100", "a1", "a2"}, {"200", "b1", "b2"}, {"300", "c1", "c2"}});
    Q(db::kCountNumbers).ParamByName("prmInt").SetAsInteger(id);
    EXPECT_EQ(Count(q_), 3);

    Q(db::kMarkNumberProcessed)
        .ParamByName("prmInt")
        .SetAsInteger(2);  // the first number of the list
    q_.ExecSQL();
    EXPECT_EQ(q_.RowsAffected(), 1);
    // Three rows in their order: processed, unprocessed, total; one value for all three uses.
    Q(db::kCountProcessedUnprocessedTotal).ParamByName("prmInt").SetAsInteger(id);
    q_.Open();
    EXPECT_EQ(Column(q_, "cnt"), (std::vector<std::string>{"1", "2", "3"}));

    Q(db::kUnprocessedNumbers).ParamByName("prmInt").SetAsInteger(id);
    q_.Open();
    EXPECT_EQ(Column(q_, "number"), (std::vector<std::string>{"200", "300"}));
    Q(db::kListValues).ParamByName("prmInt").SetAsInteger(id);
    q_.Open();
    EXPECT_EQ(Column(q_, "Val"), (std::vector<std::string>{"a1", "a2", "b1", "b2", "c1", "c2"}));

    Q(db::kResetProcessed).ParamByName("prmInt").SetAsInteger(id);
    q_.ExecSQL();
    Q(db::kCountProcessedUnprocessedTotal).ParamByName("prmInt").SetAsInteger(id);
    q_.Open();
    EXPECT_EQ(Column(q_, "cnt"), (std::vector<std::string>{"0", "3", "3"}));

    // The quoted booleans store real booleans, which the bare ones then find.
    auto active = [&](int list) {
        Q(db::kListByID).ParamByName("prmInt").SetAsInteger(list);
        q_.Open();
        const bool on = !q_.Eof() && q_.FieldByName("Active").AsBoolean();
        q_.Close();
        return on;
    };
    EXPECT_FALSE(active(id));  // never set: null reads as false
    Q(db::kMarkListActive).ParamByName("prmInt").SetAsInteger(id);
    q_.ExecSQL();
    EXPECT_TRUE(active(id));
    EXPECT_FALSE(active(other));
    vcl::TQuery bare;
    bare.SetDatabaseName(folder_);
    bare.SQL.Add("select count(*) as cnt from List where Active=true");
    EXPECT_EQ(Count(bare), 1);
    Q(db::kMarkListInactive).ParamByName("prmInt").SetAsInteger(id);
    q_.ExecSQL();
    EXPECT_FALSE(active(id));
    EXPECT_EQ(Count(bare), 0);
}

TEST_F(Statements, ListStorageFindsNamesWhateverTheirCase) {
    const int id = SaveList("Список Ёлок"_cp, {{"1", "v1"}, {"2", "v2"}});
    SaveList("Другой"_cp, {{"9", "z"}});
    Q(db::kListByName).ParamByName("prmStr").SetAsString("сПИСОК ёЛОК"_cp);
    q_.Open();
    ASSERT_EQ(q_.RecordCount(), 1);
    EXPECT_EQ(q_.FieldByName("ID").AsInteger(), id);
    EXPECT_EQ(q_.FieldByName("TextSMS").AsString(), std::string("Текст [№1]"_cp));
    q_.Close();

    Q(db::kListNumbers).ParamByName("prmInt").SetAsInteger(id);
    q_.Open();
    EXPECT_EQ(Column(q_, "Number"), (std::vector<std::string>{"1", "2"}));
    Q(db::kListNumbersWithValues).ParamByName("prmInt").SetAsInteger(id);
    q_.Open();
    ASSERT_EQ(q_.RecordCount(), 2);
    EXPECT_EQ(q_.FieldByName("Number").AsString(), "1");
    EXPECT_EQ(q_.FieldByName("Val").AsString(), "v1");
    EXPECT_NE(q_.FindField("NumberID"), nullptr);
    q_.Close();

    Q(db::kDeleteListValues).ParamByName("prmInt").SetAsInteger(id);
    q_.ExecSQL();
    EXPECT_EQ(q_.RowsAffected(), 2);
    Q(db::kDeleteListNumbers).ParamByName("prmInt").SetAsInteger(id);
    q_.ExecSQL();
    EXPECT_EQ(q_.RowsAffected(), 2);
    vcl::TQuery left;
    left.SetDatabaseName(folder_);
    left.SQL.Add("select count(*) as cnt from UserValues");
    EXPECT_EQ(Count(left), 1);  // the other list keeps its value
}

TEST_F(Statements, ListManagerCountsRenamesAndDeletes) {
    const int a = SaveList("Ёж"_cp, {{"1"}, {"2"}, {"3"}});
    const int b = SaveList("Пустой"_cp, {});
    Q(db::kMarkNumberProcessed).ParamByName("prmInt").SetAsInteger(1);
    q_.ExecSQL();
    Q(db::kListNames).Open();
    EXPECT_EQ(Column(q_, "name"), (std::vector<std::string>{"Ёж"_cp, "Пустой"_cp}));
    Q(db::kNumberCounts).Open();
    ASSERT_EQ(q_.RecordCount(), 1);  // a list without numbers has no row
    EXPECT_EQ(q_.FieldByName("listid").AsInteger(), a);
    EXPECT_EQ(q_.FieldByName("cnt").AsInteger(), 3);
    Q(db::kProcessedCounts).Open();
    EXPECT_EQ(q_.FieldByName("cnt").AsInteger(), 1);

    Q(db::kCountListsNamed).ParamByName("prmStr").SetAsString("ёЖ"_cp);
    EXPECT_EQ(Count(q_), 1);
    Q(db::kRenameList).ParamByName("prmStr").SetAsString("Ёжик"_cp);
    q_.ParamByName("prmStr2").SetAsString("ЁЖ"_cp);
    q_.ExecSQL();
    EXPECT_EQ(q_.RowsAffected(), 1);
    Q(db::kListIDByName).ParamByName("prmStr").SetAsString("ёжик"_cp);
    EXPECT_EQ(Count(q_, "id"), a);

    auto remove = [&](const auto& step) {
        db::SetStatement(q_, step);
        q_.ParamByName("prmInt").SetAsInteger(a);
        q_.ExecSQL();
    };
    remove(db::kDeleteValuesOfList);
    remove(db::kDeleteNumbersOfList);
    remove(db::kDeleteList);
    Q(db::kListNames).Open();
    EXPECT_EQ(Column(q_, "id"), (std::vector<std::string>{std::to_string(b)}));
    Q(db::kNumberCounts).Open();
    EXPECT_TRUE(q_.IsEmpty());
}

class Journal : public Statements {
protected:
    // A journal row as the mailing run inserts it.
    void Insert(const std::string& number, const std::string& text, bool ok, const char* start,
                vcl::TDateTime sent, const std::string& name, const std::string& imei) {
        Q(db::kInsertNumberLog);
        q_.ParamByName("prmStr").SetAsString(number);
        q_.ParamByName("prmStr2").SetAsString(text);
        q_.ParamByName("prmInt").SetAsSmallInt(ok ? 7 : 256);
        q_.ParamByName("prmDT").SetAsDateTime(sent);
        q_.ParamByName("prmStr3").SetAsString(name);
        q_.ParamByName("prmStr5").SetAsString(start);
        q_.ParamByName("prmBool").SetAsBoolean(ok);
        q_.ParamByName("prmInt2").SetAsInteger(1);
        q_.ParamByName("prmInt3").SetAsInteger(1);
        q_.ParamByName("prmStr4").SetAsString(imei);
        q_.ExecSQL();
    }
    void SetStatus(int id, int status) {
        Q(db::kApplyReport);
        q_.ParamByName("prmStr").SetAsString("07919761989901F0");
        q_.ParamByName("prmInt").SetAsSmallInt(static_cast<int16_t>(status));
        q_.ParamByName("prmDT").SetAsDateTime(vcl::EncodeDate(2024, 3, 6));
        q_.ParamByName("prmDT2").SetAsDateTime(vcl::EncodeDate(2024, 3, 6));
        q_.ParamByName("prmBool").SetAsBoolean(false);
        q_.ParamByName("prmInt4").SetAsInteger(id);
        q_.ExecSQL();
    }
    // The viewer's query with a condition, as the filter builds it.
    std::vector<std::string> Shown(const std::string& condition) {
        db::SetStatement(q_, db::kJournalRows);
        if (!condition.empty()) q_.SQL.Add("where " + condition);
        q_.SQL.Add(db::kJournalOrder);
        q_.Open();
        return Column(q_, "ID");
    }

    void Fill() {
        const vcl::TDateTime day = vcl::EncodeDate(2024, 3, 5);
        Insert("79161234567", "Привет"_cp, true, "2024.03.05 09:00:00", day, "Список"_cp,
               "111111111111111");
        Insert("79161234568", "100% скидка"_cp, true, "2024.03.05 09:00:00", day + 1.0 / 86400,
               "Список"_cp, "111111111111111");
        Insert("7916_000", "true", false, "2024.03.06 10:00:00", day + 1, "Ёлка"_cp,
               "222222222222222");
        Insert("79161234569", "abc", true, "2024.03.06 10:00:00", day + 1.5, "O'Brien",
               "222222222222222");
        SetStatus(1, 0);
        SetStatus(2, 40);
        SetStatus(4, 70);
    }
};

TEST_F(Journal, FilterChoicesComeGroupedAndOrdered) {
    Fill();
    Q(db::kJournalNames).Open();
    EXPECT_EQ(Column(q_, "Name"), (std::vector<std::string>{"O'Brien", "Ёлка"_cp, "Список"_cp}));
    Q(db::kJournalStartTimes).Open();
    EXPECT_EQ(Column(q_, "StartTime"),
              (std::vector<std::string>{"2024.03.06 10:00:00", "2024.03.05 09:00:00"}));
    Q(db::kJournalIMEIs).Open();
    EXPECT_EQ(Column(q_, "IMEI"), (std::vector<std::string>{"111111111111111", "222222222222222"}));
}

TEST_F(Journal, ViewerShowsWhatEachFilterTermSelects) {
    Fill();
    EXPECT_EQ(Shown(""), (std::vector<std::string>{"1", "2", "3", "4"}));
    db::SetStatement(q_, db::kJournalRows);
    q_.SQL.Add(db::kJournalOrder);
    q_.Open();
    EXPECT_EQ(q_.FieldByName("NUMID").AsInteger(), 1);
    EXPECT_DOUBLE_EQ(q_.FieldByName("SendTime").AsDateTime(), vcl::EncodeDate(2024, 3, 5));
    EXPECT_DOUBLE_EQ(q_.FieldByName("ReceiveTimeClient").AsDateTime(), vcl::EncodeDate(2024, 3, 6));
    q_.Next();
    q_.Next();
    EXPECT_TRUE(q_.FieldByName("ReceiveTimeClient").IsNull());  // no report yet
    q_.Close();

    EXPECT_EQ(Shown("Number like '7916_000'"), (std::vector<std::string>{"3"}));
    EXPECT_EQ(Shown("Number like '%567'"), (std::vector<std::string>{"1"}));
    EXPECT_EQ(Shown("TextSMS like '100%'"), (std::vector<std::string>{"2"}));
    EXPECT_EQ(Shown("TextSMS like 'ПРИВЕТ'"), (std::vector<std::string>{}));  // case counts
    EXPECT_EQ(Shown("TextSMS='true'"), (std::vector<std::string>{"3"}));      // user text stays
    EXPECT_EQ(Shown("Name in ('Ёлка','O''Brien')"_cp), (std::vector<std::string>{"3", "4"}));
    EXPECT_EQ(Shown("StartTime='2024.03.05 09:00:00' and IMEI='111111111111111'"),
              (std::vector<std::string>{"1", "2"}));
    // A send range that ends at midnight includes the row sent at midnight only.
    EXPECT_EQ(Shown("SendTime>='05.03.2024 00:00:00' and SendTime<'05.03.2024 00:00:01'"),
              (std::vector<std::string>{"1"}));
    EXPECT_EQ(Shown("ReceiveTimeClient>='06.03.2024 00:00:00'"),
              (std::vector<std::string>{"1", "2", "4"}));
    EXPECT_EQ(Shown("(StatusSC>=0 and StatusSC<=31 or StatusSC is null)"),
              (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(Shown("(StatusSC>=32 and StatusSC<=63)"), (std::vector<std::string>{"2"}));
    EXPECT_EQ(Shown("SendResultOK='true'"), (std::vector<std::string>{"1", "2", "4"}));
    EXPECT_EQ(Shown("SendResultOK='false'"), (std::vector<std::string>{"3"}));
    // A value with a lone quote is a clear failure, never a different statement.
    EXPECT_THROW(Shown("Name='O'Brien'"), vcl::EDatabaseError);
    EXPECT_THROW(Shown("Number='1'; delete from numberlog --'"), vcl::EDatabaseError);
    EXPECT_EQ(Shown("").size(), 4u);
}

TEST_F(Journal, DeleteRemovesExactlyTheFilteredRows) {
    Fill();
    db::SetStatement(q_, db::kJournalDelete);
    q_.SQL.Add("where SendResultOK='false' and Name='Ёлка'"_cp);
    q_.ExecSQL();
    EXPECT_EQ(q_.RowsAffected(), 1);
    EXPECT_EQ(Shown(""), (std::vector<std::string>{"1", "2", "4"}));
    Q(db::kJournalDelete).ExecSQL();
    EXPECT_EQ(q_.RowsAffected(), 3);
    EXPECT_TRUE(Shown("").empty());
}

// The lookups of report matching and of a run's counts go through their indexes, so they stay
// fast however long the journal grows.
TEST_F(Statements, JournalLookupsUseTheirIndexes) {
    auto plan = [&](const auto& lines, const sql::Params& params) {
        std::string text = "EXPLAIN QUERY PLAN";
        for (const char* line : lines)
            text += std::string(" ") + line;
        const auto rs = sql::SharedDatabase(folder_)->Query(text, params);
        std::string out;
        for (std::size_t r = 0; r < rs.RowCount(); ++r)
            out += rs.At(r, 3).Text() + "\n";
        return out;
    };
    EXPECT_NE(plan(db::kReportCandidates, {{"prmStr", "1"}, {"prmInt", 1}})
                  .find("INDEX NumberLog_Number_MR"),
              std::string::npos);
    EXPECT_NE(plan(db::kCountPendingNumbers, {{"prmStr", "1"}, {"prmInt", 1}})
                  .find("INDEX NumberLog_IMEI_ID"),
              std::string::npos);
    EXPECT_NE(plan(db::kMaxLogID, {{"prmStr", "1"}}).find("NumberLog_IMEI_ID"), std::string::npos);
    EXPECT_NE(plan(db::kListValues, {{"prmInt", 1}}).find("NumberList_ListID"), std::string::npos);
}

}  // namespace
