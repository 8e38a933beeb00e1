#include "platform/os/cp1251.h"

#include <gtest/gtest.h>

#include "platform/os/cp_literal.h"

namespace {

// 0x98, which has no character, included: a list value holding it is stored in the database
// as UTF-8 and must read back as the same byte.
TEST(Cp1251, EveryByteRoundTripsThroughUtf8) {
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        bool lossless = false;
        EXPECT_EQ(os::Utf8ToCp1251(os::Cp1251ToUtf8(one), '?', &lossless), one) << b;
        EXPECT_TRUE(lossless) << b;
    }
    EXPECT_FALSE(os::UnicodeToCp1251(0xFFFD));
}

TEST(Cp1251, KnownCharacters) {
    EXPECT_EQ(os::Cp1251ToUtf8("\xC0\xFF\xA8\xB8\xB9\x88"), "АяЁё№€");
    EXPECT_EQ(os::Utf8ToCp1251("Привет, мир"), "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0");
    EXPECT_EQ(os::Cp1251ToUnicode(0xC0), u'А');
    EXPECT_EQ(os::UnicodeToCp1251(U'№'), 0xB9);
    EXPECT_FALSE(os::UnicodeToCp1251(U'Ω'));
}

TEST(Cp1251, CharactersOutsideTheCodePageAndBrokenUtf8AreReported) {
    EXPECT_FALSE(os::TryUtf8ToCp1251("abc Ω"));
    EXPECT_FALSE(os::TryUtf8ToCp1251("\xD0"));          // cut short
    EXPECT_FALSE(os::TryUtf8ToCp1251("\xC0\x80"));      // overlong NUL
    EXPECT_FALSE(os::TryUtf8ToCp1251("\xED\xA0\x80"));  // surrogate
    EXPECT_EQ(os::Utf8ToCp1251("a\xFF"
                               "b😀c",
                               '_'),
              "a_b_c");
    EXPECT_EQ(*os::TryUtf8ToCp1251("ok"), "ok");
}

TEST(Cp1251, CasingCoversEveryCyrillicLetterOfTheCodePage) {
    const std::string lower = os::Utf8ToCp1251("абвгдеёжзийклмнопрстуфхцчшщъыьэюяђѓєѕіїјљњћќўџґ");
    const std::string upper = os::Utf8ToCp1251("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЂЃЄЅІЇЈЉЊЋЌЎЏҐ");
    EXPECT_EQ(os::UpperCaseCp1251(lower), upper);
    EXPECT_EQ(os::LowerCaseCp1251(upper), lower);
    EXPECT_EQ(os::UpperCaseCp1251("+cmgs: 17 ok"), "+CMGS: 17 OK");
    // Signs and letters without a case partner are left alone.
    const std::string others = os::Utf8ToCp1251("№µ€«»—0123");
    EXPECT_EQ(os::UpperCaseCp1251(others), others);
}

TEST(Cp1251, LiteralIsConvertedAtCompileTime) {
    constexpr const char* text = "Ошибка"_cp;
    EXPECT_STREQ(text, "\xCE\xF8\xE8\xE1\xEA\xE0");
    EXPECT_EQ(std::string("Нельзя запускать более %d экземпляров Tessary. "_cp),
              os::Utf8ToCp1251("Нельзя запускать более %d экземпляров Tessary. "));
    EXPECT_STREQ(""_cp, "");
    // "Ω"_cp would not compile: the character has no cp1251 byte.
}

}  // namespace
