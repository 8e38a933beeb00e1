#include "platform/sql/dialect.h"

#include <gtest/gtest.h>

#include "platform/sql/error.h"

namespace {

using sql::ColumnKind;

ColumnKind Kinds(const std::string& name) {
    if (name == "active" || name == "processed" || name == "sendresultok" || name == "mms")
        return ColumnKind::Boolean;
    if (name == "sendtime" || name == "receivetimeclient" || name == "receivetimesc")
        return ColumnKind::DateTime;
    return ColumnKind::Other;
}

std::string T(std::string_view sql) {
    return sql::Translate(sql, Kinds).sql;
}

TEST(Dialect, BooleanLiteralsBesideBooleanColumnsOnly) {
    EXPECT_EQ(T("update List set List.\"Active\"='true' where ID=:prmInt"),
              "update List set \"Active\"=1 where ID=?1");
    EXPECT_EQ(T("select * from numberlog where SendResultOK='false'"),
              "select * from numberlog where SendResultOK=0");
    EXPECT_EQ(T("where processed=true and listid=:a or a.MMS <> FALSE"),
              "where processed=1 and listid=?1 or a.MMS <> 0");
    EXPECT_EQ(T("where 'TRUE' = t.Active"), "where 1 = t.Active");
    // The user's text stays text, and so do literals that only look similar.
    EXPECT_EQ(T("where TextSMS='true' and Name like 'true'"),
              "where TextSMS='true' and Name like 'true'");
    EXPECT_EQ(T("where Active='truex' or Active='it''s true'"),
              "where Active='truex' or Active='it''s true'");
    EXPECT_EQ(T("where Active < 'true'"), "where Active < 'true'");
}

TEST(Dialect, QualifiedColumnsAfterAddAndInSetTargets) {
    EXPECT_EQ(T("ALTER TABLE List ADD List.\"Active\" boolean"),
              "ALTER TABLE List ADD \"Active\" boolean");
    EXPECT_EQ(T("alter table List add column List.X int"), "alter table List add column X int");
    EXPECT_EQ(T("ALTER TABLE List DROP TextSMS2"), "ALTER TABLE List DROP TextSMS2");
    EXPECT_EQ(T("update List set List.Name=:a, List.\"Active\"=false where List.ID=(select "
                "max(b.ID) from List b)"),
              "update List set Name=?1, \"Active\"=0 where List.ID=(select max(b.ID) from List "
              "b)");
    // Qualified names elsewhere are SQLite's own business.
    EXPECT_EQ(T("select a.Number from NumberList a where a.ID=1"),
              "select a.Number from NumberList a where a.ID=1");
}

TEST(Dialect, DisplayDatesBesideDateTimeColumnsBecomeStoredText) {
    EXPECT_EQ(T("where SendTime>='05.03.2024 09:07:01' and ReceiveTimeClient<'5.3.2024 9:07:02'"),
              "where SendTime>='2024-03-05 09:07:01.000' and "
              "ReceiveTimeClient<'2024-03-05 09:07:02.000'");
    EXPECT_EQ(T("where SendTime='01.02.2024'"), "where SendTime='2024-02-01 00:00:00.000'");
    // The start time is text in its own sortable form and is left alone, as is other text.
    EXPECT_EQ(T("where StartTime='2024.03.05 09:07:01' and TextSMS='05.03.2024 09:07:01'"),
              "where StartTime='2024.03.05 09:07:01' and TextSMS='05.03.2024 09:07:01'");
    EXPECT_THROW(T("where SendTime>='31.02.2024 00:00:00'"), sql::Error);
    EXPECT_THROW(T("where SendTime>='01.01.2024 25:00:00'"), sql::Error);
}

TEST(Dialect, ParametersAreNumberedByNameIgnoringCase) {
    const auto t = sql::Translate(
        "select :prmInt, ':notParam', \":alsoNot\" -- :comment\n, :PRMINT, :prmStr2", Kinds);
    EXPECT_EQ(t.sql, "select ?1, ':notParam', \":alsoNot\" -- :comment\n, ?1, ?2");
    EXPECT_EQ(t.params, (std::vector<std::string>{"prmInt", "prmStr2"}));
    EXPECT_EQ(sql::ParameterNames("where a=:x and b=:Y and c=:X"),
              (std::vector<std::string>{"x", "Y"}));
}

TEST(Dialect, ASecondStatementOrAnUnnamedParameterIsRefused) {
    EXPECT_THROW(T("select 1; delete from List"), sql::Error);
    EXPECT_THROW(T("select * from NumberLog where Number='x'; delete from NumberLog --'"),
                 sql::Error);
    EXPECT_THROW(T("select ?"), sql::Error);
    EXPECT_THROW(T("select @a"), sql::Error);
    EXPECT_EQ(T("select 1;  ;\n"), "select 1;  ;\n");
    EXPECT_EQ(T("select ';delete' from t"), "select ';delete' from t");
}

TEST(Dialect, MalformedTextNeverBreaksTheTranslator) {
    for (const char* text : {"'unterminated", "\"unterminated", "/* open", "[x", ":", "=", "'",
                             "update set", "alter add", "update t set t.", "where Active="})
        EXPECT_NO_THROW(T(text)) << text;
}

TEST(Dialect, TableNamesByFile) {
    EXPECT_EQ(sql::TableNameOf("NumberLog.DB"), "NumberLog");
    EXPECT_EQ(sql::TableNameOf("list.db"), "list");
    EXPECT_EQ(sql::TableNameOf("List"), "List");
    EXPECT_EQ(sql::TableNameOf(".db"), ".db");
    EXPECT_EQ(sql::QuoteName("a\"b"), "\"a\"\"b\"");
}

TEST(ColumnTypes, DeclaredTypesTellWhatAColumnHolds) {
    using sql::DeclaredType;
    auto type = [](const char* d) { return sql::ClassifyDeclaredType(d).type; };
    EXPECT_EQ(type("BLOB(160,1)"), DeclaredType::Memo);
    EXPECT_EQ(type("blob(160,2)"), DeclaredType::Blob);
    EXPECT_EQ(type("TEXT"), DeclaredType::Memo);
    EXPECT_EQ(type("VARCHAR(255)"), DeclaredType::String);
    EXPECT_EQ(sql::ClassifyDeclaredType("varchar(19)").size, 19);
    EXPECT_EQ(type("boolean"), DeclaredType::Boolean);
    EXPECT_EQ(type("SMALLINT"), DeclaredType::SmallInt);
    EXPECT_EQ(type("INTEGER"), DeclaredType::Integer);
    EXPECT_EQ(type("DATETIME"), DeclaredType::DateTime);
    EXPECT_EQ(type("REAL"), DeclaredType::Real);
    EXPECT_EQ(type(""), DeclaredType::Unknown);
    EXPECT_EQ(sql::ClassifyDeclaredType("CHAR(99999999999999)").size, 999999999);
}

}  // namespace
