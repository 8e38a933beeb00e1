#include "platform/sql/functions.h"

#include <gtest/gtest.h>

#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/sql/database.h"

namespace {

std::string U8(const char* cp) {
    return os::Cp1251ToUtf8(cp);
}

TEST(Upper, FoldsCyrillicLikeTheProgram) {
    EXPECT_EQ(sql::UpperUtf8("список Ёлка ёж abc"), "СПИСОК ЁЛКА ЁЖ ABC");
    // Every cp1251 letter folds as the program's own upper-casing does.
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(sql::UpperUtf8(os::Cp1251ToUtf8(one)), os::Cp1251ToUtf8(os::UpperCaseCp1251(one)))
            << b;
    }
    // Characters outside cp1251 and broken bytes pass unchanged.
    EXPECT_EQ(sql::UpperUtf8("ß\xff\xc3"), "ß\xff\xc3");
}

TEST(Like, CaseSensitiveForEveryLetter) {
    EXPECT_TRUE(sql::LikeMatch("абв%", "абвгд"));
    EXPECT_FALSE(sql::LikeMatch("АБВ", "абв"));
    EXPECT_FALSE(sql::LikeMatch("ABC", "abc"));
    EXPECT_TRUE(sql::LikeMatch("_б_", "абв"));  // "_" is one character, not one byte
    EXPECT_FALSE(sql::LikeMatch("__", "я"));
    EXPECT_TRUE(sql::LikeMatch("%", ""));
    EXPECT_TRUE(sql::LikeMatch("%7%9", "79123459"));
    EXPECT_FALSE(sql::LikeMatch("%7%9", "7912345"));
    EXPECT_TRUE(sql::LikeMatch("100!%", "100%", U'!'));
    EXPECT_FALSE(sql::LikeMatch("100!%", "1000", U'!'));
    EXPECT_FALSE(sql::LikeMatch("a!", "a", U'!'));
    // A hostile pattern stays cheap: each "%" only moves forwards.
    EXPECT_FALSE(sql::LikeMatch(std::string(2000, '%') + "b", std::string(5000, 'a')));
}

TEST(Functions, ServeTheStatementsThroughTheEngine) {
    sql::Database db(":memory:");
    auto one = [&](const std::string& q) { return db.QueryRaw(q).At(0, 0); };
    EXPECT_EQ(one("select upper('" + U8("Список"_cp) + "')").Text(), U8("СПИСОК"_cp));
    EXPECT_EQ(one("select 'abc' like 'ABC'").Integer(), 0);
    EXPECT_EQ(one("select '" + U8("абв"_cp) + "' like '" + U8("а%"_cp) + "'").Integer(), 1);
    EXPECT_EQ(one("select 'a%' like 'a!%' escape '!'").Integer(), 1);
    EXPECT_TRUE(one("select null like 'a'").IsNull());
    EXPECT_TRUE(one("select upper(null)").IsNull());
    EXPECT_THROW(one("select 'a' like 'a' escape 'xy'"), std::exception);
}

}  // namespace
