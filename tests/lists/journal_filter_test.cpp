#include "lists/journal_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/tables.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"
#include "vcl/data/db_query.h"
#include "vcl/system/date_utils.h"

namespace {

using lists::FilterToSQL;
using lists::TNumberLogFilter;

TNumberLogFilter With(void (*set)(TNumberLogFilter&)) {
    TNumberLogFilter f;
    set(f);
    return f;
}

// Rules 1 and 4: each field alone gives its own term; empty fields, empty and full masks and a
// send result of both or neither give none.
TEST(FilterToSQL, EachFieldAloneGivesItsTerm) {
    struct Case {
        TNumberLogFilter filter;
        std::string sql;
    };
    const vcl::TDateTime day = vcl::EncodeDate(2024, 3, 5);
    const vcl::TDateTime at = day + vcl::EncodeTime(14, 7, 9, 0);
    const Case cases[] = {
        {{}, ""},
        {With([](auto& f) { f.Number = "  "; }), ""},
        {With([](auto& f) { f.Number = " 79161234567"; }), "Number=' 79161234567'"},
        {With([](auto& f) { f.Number = "7916%"; }), "Number like '7916%'"},
        {With([](auto& f) { f.Number = "7916_234567"; }), "Number like '7916_234567'"},
        {With([](auto& f) { f.TextSMS = "Hello"; }), "TextSMS='Hello'"},
        {With([](auto& f) { f.TextSMS = "%order%"; }), "TextSMS like '%order%'"},
        {With([](auto& f) { f.Names = "Clients"; }), "Name='Clients'"},
        {With([](auto& f) { f.Names = "A,\"B C\""; }), "Name in ('A','B C')"},
        {With([](auto& f) { f.StartTimes = "\"2024.03.05 10:00:00\""; }),
         "StartTime='2024.03.05 10:00:00'"},
        {With([](auto& f) { f.StartTimes = "\"2024.03.05 10:00:00\",\"2024.03.04 09:00:00\""; }),
         "StartTime in ('2024.03.05 10:00:00','2024.03.04 09:00:00')"},
        {With([](auto& f) { f.IMEIs = "356938035643809"; }), "IMEI='356938035643809'"},
        {With([](auto& f) { f.IMEIs = "356938035643809,356938035643810"; }),
         "IMEI in ('356938035643809','356938035643810')"},
        {With([](auto& f) { f.StatusMask = 0; }), ""},
        {With([](auto& f) { f.StatusMask = 15; }), ""},
        {With([](auto& f) { f.StatusMask = 1; }), "(StatusSC>=0 and StatusSC<=31)"},
        {With([](auto& f) { f.StatusMask = 2; }), "(StatusSC>=64 and StatusSC<=127)"},
        {With([](auto& f) { f.StatusMask = 4; }), "(StatusSC>=32 and StatusSC<=63)"},
        {With([](auto& f) { f.StatusMask = 8; }), "(StatusSC is null)"},
        {With([](auto& f) { f.StatusMask = 9; }),
         "(StatusSC>=0 and StatusSC<=31 or StatusSC is null)"},
        {With([](auto& f) { f.StatusMask = 7; }),
         "(StatusSC>=0 and StatusSC<=31 or StatusSC>=64 and StatusSC<=127 or StatusSC>=32 and "
         "StatusSC<=63)"},
        {With([](auto& f) { f.StatusMask = 16; }), ""},  // no class bit: no condition, no crash
        {With([](auto& f) { f.StatusMask = 31; }), ""},
        {With([](auto& f) { f.SendResult = 1; }), "SendResultOK='true'"},
        {With([](auto& f) { f.SendResult = 2; }), "SendResultOK='false'"},
        {With([](auto& f) { f.SendResult = 3; }), ""},
        {With([](auto& f) { f.SendTo = 0.75; }), ""},  // a time without a day sets no bound
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilterToSQL(c.filter), c.sql);

    TNumberLogFilter f;
    f.SendFrom = at;
    EXPECT_EQ(FilterToSQL(f), "SendTime>='05.03.2024 14:07:09'");
    f = {};
    f.SendTo = at;
    EXPECT_EQ(FilterToSQL(f), "SendTime<'05.03.2024 14:07:10'");
    f = {};
    f.RecvFrom = day;
    EXPECT_EQ(FilterToSQL(f), "ReceiveTimeClient>='05.03.2024 00:00:00'");
    f = {};
    f.RecvTo = day;
    EXPECT_EQ(FilterToSQL(f), "ReceiveTimeClient<'05.03.2024 00:00:01'");
    EXPECT_TRUE(lists::FilterFollowsReports(f));  // a delivery time a report writes
}

TEST(FilterToSQL, AllFieldsTogetherInTheirOrder) {
    TNumberLogFilter f;
    f.Number = "7916%";
    f.TextSMS = "Hi";
    f.Names = "A";
    f.StartTimes = "\"2024.03.05 10:00:00\"";
    f.IMEIs = "356938035643809";
    f.SendFrom = vcl::EncodeDateTime(2024, 3, 1, 0, 0, 0, 0);
    f.SendTo = vcl::EncodeDateTime(2024, 3, 31, 23, 59, 59, 0);
    f.RecvFrom = vcl::EncodeDateTime(2024, 3, 2, 8, 0, 0, 0);
    f.RecvTo = vcl::EncodeDateTime(2024, 12, 31, 23, 59, 59, 0);
    f.StatusMask = 12;
    f.SendResult = 1;
    EXPECT_EQ(FilterToSQL(f),
              "Number like '7916%' and TextSMS='Hi' and Name='A' and "
              "StartTime='2024.03.05 10:00:00' and IMEI='356938035643809' and "
              "SendTime>='01.03.2024 00:00:00' and SendTime<'01.04.2024 00:00:00' and "
              "ReceiveTimeClient>='02.03.2024 08:00:00' and "
              "ReceiveTimeClient<'01.01.2025 00:00:00' and "
              "(+StatusSC>=32 and +StatusSC<=63 or +StatusSC is null) and SendResultOK='true'");
}

// Rule 2: quotes are doubled in every value; percent signs and format letters stay text.
TEST(FilterToSQL, ValuesAreQuotedNeverFormatted) {
    TNumberLogFilter f;
    f.Number = "1'2";
    f.TextSMS = "%d%s%n'";
    f.Names = "\"O'Brien list\",x'y";
    f.IMEIs = "a'";
    EXPECT_EQ(FilterToSQL(f),
              "Number='1''2' and TextSMS like '%d%s%n''' and Name in ('O''Brien list','x''y') "
              "and IMEI='a'''");
}

TEST(CommaText, EntriesRoundTripWithBlanksCommasQuotesAndEmptyOnes) {
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"plain"},
        {"with blank", "a,b", "say \"hi\"", ""},
        {"2024.03.05 10:00:00", "2024.03.04 09:00:00"},
    };
    for (const auto& items : lists)
        EXPECT_EQ(lists::CommaTextItems(lists::ItemsCommaText(items)), items);
    EXPECT_EQ(lists::ItemsCommaText({"a b", "c"}), "\"a b\",c");
    // Unquoted blanks separate, as the class library reads comma text.
    EXPECT_EQ(lists::CommaTextItems("a b,c"), (std::vector<std::string>{"a", "b", "c"}));
}

// The conditions run against the journal: bounds by the second, quotes that cannot escape
// their literal, the statement still one statement.
class FilterOnJournal : public ::testing::Test {
protected:
    void SetUp() override {
        db::CreateMissingTables(dir_.path());
        db_ = sql::SharedDatabase(dir_.path());
        query_.SetDatabaseName(dir_.path());
    }
    void TearDown() override {
        query_.Close();
        sql::CloseSharedDatabases();
    }
    void Insert(const std::string& number, const std::string& sendTime) {
        db_->ExecuteRaw("insert into NumberLog (Number, SendTime, SendResultOK) values (?1, ?2, 1)",
                        {sql::Value(number), sql::Value(sendTime)});
    }
    std::vector<std::string> Numbers(const TNumberLogFilter& f) {
        query_.Close();
        query_.SQL.Clear();
        query_.SQL.Add("select Number from NumberLog where " + FilterToSQL(f) + " order by ID");
        query_.Open();
        std::vector<std::string> out;
        for (query_.First(); !query_.Eof(); query_.Next())
            out.push_back(query_.Fields(0).AsString());
        return out;
    }

    testing_support::TempDir dir_;
    std::shared_ptr<sql::Database> db_;
    vcl::TQuery query_;
};

// Rule 3: an upper bound at midnight keeps the row sent at midnight and drops the one a second
// later, also for a bound that floating-point arithmetic put a hair below its second.
TEST_F(FilterOnJournal, TimeBoundsAreExactToTheSecond) {
    Insert("before", "2024-03-04 23:59:59.000");
    Insert("midnight", "2024-03-05 00:00:00.000");
    Insert("second", "2024-03-05 00:00:01.000");
    const vcl::TDateTime midnight = vcl::EncodeDate(2024, 3, 5);
    TNumberLogFilter f;
    f.SendTo = midnight;
    EXPECT_EQ(Numbers(f), (std::vector<std::string>{"before", "midnight"}));
    f.SendTo = midnight - 1e-8;  // 0.9 ms early, as sums of days and times come out
    EXPECT_EQ(Numbers(f), (std::vector<std::string>{"before", "midnight"}));
    f = {};
    f.SendFrom = midnight + 1e-8;
    EXPECT_EQ(Numbers(f), (std::vector<std::string>{"midnight", "second"}));
    f.SendTo = midnight;
    EXPECT_EQ(Numbers(f), (std::vector<std::string>{"midnight"}));
}

TEST_F(FilterOnJournal, QuotesFilterAsTextAndCannotInject) {
    Insert("1'2", "2024-03-05 10:00:00.000");
    Insert("12", "2024-03-05 10:00:00.000");
    TNumberLogFilter f;
    f.Number = "1'2";
    EXPECT_EQ(Numbers(f), (std::vector<std::string>{"1'2"}));
    f.Number = "x' or '1'='1";
    EXPECT_TRUE(Numbers(f).empty());
    f.Number = "x'; delete from NumberLog; --";
    EXPECT_TRUE(Numbers(f).empty());
    f.Number = "1%";  // a pattern: both
    EXPECT_EQ(Numbers(f).size(), 2u);
    EXPECT_EQ(db_->QueryRaw("select count(*) from NumberLog").At(0, 0).Integer(), 2);
}

}  // namespace
