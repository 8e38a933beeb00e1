#include "vcl/system/sysutils.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/os/cp_literal.h"

namespace {

using namespace vcl;

TEST(StrToInt, TheClassLibraryRules) {
    EXPECT_EQ(StrToInt("17"), 17);
    EXPECT_EQ(StrToInt("  -17"), -17);
    EXPECT_EQ(StrToInt("+5"), 5);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("0x1f"), 31);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt64("79161234567"), 79161234567LL);
    int32_t v = 0;
    for (const char* bad : {"", " ", "12 ", "1a", "2147483648", "$100000000", "--1", "0x", "\t1"})
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    try {
        StrToInt("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'abc' is not a valid integer value");
    }
    EXPECT_EQ(StrToIntDef("x", 9), 9);
}

TEST(Numbers, RoundingHalvesToEvenAndMulDiv) {
    EXPECT_EQ(Round(12.5), 12);
    EXPECT_EQ(Round(13.5), 14);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.5000001), 3);
    EXPECT_EQ(MulDiv(10, 3, 4), 8);  // 7.5 rounds away from zero
    EXPECT_EQ(MulDiv(-10, 3, 4), -8);
    EXPECT_EQ(MulDiv(10, 3, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 2000000000, 1), -1);
    EXPECT_EQ(Trunc(-2.7), -2);
}

TEST(Numbers, FloatText) {
    const char saved = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = '.';
    EXPECT_EQ(FloatToStr(1.5), "1.5");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(0.00001), "0.00001");
    EXPECT_EQ(FloatToStr(0.000001), "1E-6");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStr(-0.1), "-0.1");
    double d = 0;
    EXPECT_TRUE(TryStrToFloat(" 2.5e2 ", d));
    EXPECT_DOUBLE_EQ(d, 250);
    EXPECT_FALSE(TryStrToFloat("2,5", d));
    FormatSettings.DecimalSeparator = saved;
    EXPECT_TRUE(TryStrToFloat("2,5", d));
    EXPECT_DOUBLE_EQ(d, 2.5);
}

TEST(Text, TrimCaseAndPositions) {
    EXPECT_EQ(Trim("\t\r\n ab c \x01"), "ab c");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(UpperCase("abc\xE0"), "ABC\xE0");  // ASCII only
    EXPECT_EQ(AnsiUpperCase("abc список ё"_cp), std::string("ABC СПИСОК Ё"_cp));
    EXPECT_TRUE(AnsiSameText("Список"_cp, "СПИСОК"_cp));
    EXPECT_FALSE(SameText("Список"_cp, "СПИСОК"_cp));
    EXPECT_EQ(CompareText("abc", "ABD") < 0, true);
    EXPECT_LT(AnsiCompareText("Ель"_cp, "ёж"_cp), 0);  // Ё right after Е, before Ж
    EXPECT_LT(AnsiCompareText("ёж"_cp, "Жук"_cp), 0);
    EXPECT_LT(AnsiCompareStr("a", "A"), 0);
    EXPECT_EQ(Pos("+CMGS:", "\n+CMGS: 17"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("b", "abcb", 3), 4);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abc", 3, 100), "c");
    EXPECT_EQ(Copy("abc", 5, 1), "");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
}

TEST(RandomNumbers, TheClassLibraryGeneratorStaysInRange) {
    RandSeed(0);
    EXPECT_EQ(Random(100), 0);  // the first value of seed 0 is (1 * 100) >> 32
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int r = Random(65536);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 65536);
        seen.insert(r);
    }
    EXPECT_GT(seen.size(), 1900u);
}

}  // namespace
