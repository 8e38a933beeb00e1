#include "gateway/pdu_builder.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "tools/vmodem/submit_decoder.h"

namespace {

using namespace gateway;

const std::string kNumber = "79161234567";

vmodem::Submit Decode(const std::string& pdu) {
    std::string why;
    const auto s = vmodem::DecodeSubmit(pdu, why);
    EXPECT_TRUE(s) << why << " in " << pdu;
    return s.value_or(vmodem::Submit{});
}

TEST(NormalizeNumber, PlusAndNationalPrefix) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"+79161234567", "79161234567"},
        {"89161234567", "79161234567"},
        {"+89161234567", "79161234567"},
        {"8916123456", "8916123456"},
        {"891612345678", "891612345678"},
        {"+", ""},
        {"", ""},
        {"123", "123"},
    };
    for (const auto& c : cases) {
        std::string n = c.in;
        NormalizeNumber(n);
        EXPECT_EQ(n, c.out) << c.in;
    }
}

TEST(IsSendableNumber, OneToTwentyDecimalDigits) {
    EXPECT_TRUE(IsSendableNumber("1"));
    EXPECT_TRUE(IsSendableNumber("79161234567"));
    EXPECT_TRUE(IsSendableNumber(std::string(20, '9')));
    for (const char* bad : {"", "-123", " 123", "123 ", "$1F", "0x1F", "12a4", "+7916", "*100#"})
        EXPECT_FALSE(IsSendableNumber(bad)) << bad;
    EXPECT_FALSE(IsSendableNumber(std::string(21, '9')));
}

TEST(Pack7Bit, StandardPackingAndOctetCount) {
    EXPECT_EQ(Pack7Bit("abc"), "61F118");
    EXPECT_EQ(Pack7Bit(""), "");
    // Eight septets fit seven octets.
    EXPECT_EQ(Pack7Bit("12345678"), "31D98C56B3DD70");
    for (std::size_t n = 0; n <= 24; ++n)
        EXPECT_EQ(Pack7Bit(std::string(n, 'x')).size(), 2 * (n - n / 8)) << n;
}

TEST(MakeSubmitPDU, ExactTextForSmallMessages) {
    const std::string abc = MakeSubmitPDU(kNumber, "abc", true, true);
    EXPECT_EQ(abc, "0021000B919761214365F700000361F118");
    EXPECT_EQ(CmgsLength(abc), 16);
    EXPECT_EQ(MakeSubmitPDU(kNumber, "abc", true, false), "0001000B919761214365F700000361F118");
    // An even digit count needs no filler.
    EXPECT_EQ(MakeSubmitPDU("1234", "", true, false),
              "000100049121430000"
              "00");
    EXPECT_EQ(MakeSubmitPDU("12345", "", true, false),
              "00010005912143F50000"
              "00");
    EXPECT_EQ(MakeSubmitPDU(kNumber, "Да"_cp, false, true),
              "0021000B919761214365F70008"
              "04"
              "04140430");
}

TEST(MakeConcatPartPDU, HeadersForBothReferenceSizes) {
    EXPECT_EQ(MakeConcatPartPDU("123", "hi", 0, true, 0x1234, 2, true),
              "0061000391"
              "21F3"
              "0000"
              "0A"
              "060804"
              "1234"
              "02"
              "01"
              "E834");
    EXPECT_EQ(MakeConcatPartPDU("123", "hi", 1, true, 0x1234, 2, false),
              "0041010391"
              "21F3"
              "0000"
              "0A"
              "060804"
              "1234"
              "02"
              "02"
              "E834");
    EXPECT_EQ(MakeConcatPartPDU("123", "Я"_cp, 2, false, 0xAB, 3, true),
              "0061020391"
              "21F3"
              "0008"
              "08"
              "050003"
              "AB"
              "03"
              "03"
              "042F");
}

TEST(SplitMessage, SingleUpToTheLimitThenFixedParts) {
    EXPECT_EQ(SplitMessage("", true), std::vector<std::string>{""});
    EXPECT_EQ(SplitMessage(std::string(160, 'a'), true).size(), 1u);
    const auto seven = SplitMessage(std::string(152, 'a') + std::string(9, 'b'), true);
    ASSERT_EQ(seven.size(), 2u);
    EXPECT_EQ(seven[0], std::string(152, 'a'));
    EXPECT_EQ(seven[1], std::string(9, 'b'));
    EXPECT_EQ(SplitMessage(std::string(304, 'a'), true).size(), 2u);
    EXPECT_EQ(SplitMessage(std::string(305, 'a'), true).size(), 3u);
    EXPECT_EQ(SplitMessage(std::string(70, 'a'), false).size(), 1u);
    const auto ucs = SplitMessage(std::string(71, 'a'), false);
    ASSERT_EQ(ucs.size(), 2u);
    EXPECT_EQ(ucs[0].size(), 67u);
    EXPECT_EQ(ucs[1].size(), 4u);
}

// The user-data length octet of a PDU to an 11-digit number.
std::string Udl(const std::string& pdu) {
    return pdu.substr(2 + 2 + 2 + 2 + 2 + 12 + 2 + 2, 2);
}

TEST(Lengths, UserDataLengthAtTheSplitBorders) {
    EXPECT_EQ(Udl(MakeSubmitPDU(kNumber, std::string(160, 'a'), true, true)), "A0");
    EXPECT_EQ(Udl(MakeConcatPartPDU(kNumber, std::string(152, 'a'), 0, true, 7, 2, true)), "A0");
    EXPECT_EQ(Udl(MakeConcatPartPDU(kNumber, std::string(9, 'a'), 1, true, 7, 2, true)), "11");
    const std::string cyr70 = "Ж"_cp + std::string(69, 'a');
    EXPECT_FALSE(IsGsm7Text(cyr70));
    EXPECT_EQ(Udl(MakeSubmitPDU(kNumber, cyr70, false, true)), "8C");
    EXPECT_EQ(Udl(MakeConcatPartPDU(kNumber, std::string(67, 'a'), 0, false, 7, 2, true)), "8C");
    EXPECT_EQ(Udl(MakeConcatPartPDU(kNumber, std::string(4, 'a'), 1, false, 7, 2, true)), "0E");
    EXPECT_EQ(Udl(MakeSubmitPDU(kNumber, "", true, true)), "00");
    // A full 7-bit part carries 140 octets of user data.
    const std::string longest =
        MakeConcatPartPDU(kNumber, std::string(152, 'a'), 0, true, 7, 2, true);
    EXPECT_EQ(CmgsLength(longest), 153);
}

TEST(GsmAlphabet, CharactersGoByTheirGsmCodes) {
    EXPECT_EQ(ToGsm7("@$_"), std::string("\x00\x02\x11", 3));
    EXPECT_EQ(ToGsm7("Az09 !?\r\n"), "Az09 !?\r\n");
    EXPECT_EQ(ToGsm7("\xA4\xA7"), "\x24\x5F");  // currency and section signs
    EXPECT_TRUE(IsGsm7Text("Hello, world! 100% #1 (ok) \"quoted\" a=b; x<y>z & 'it' / -+*"));
    EXPECT_TRUE(IsGsm7Text("@$_\xA4\xA7\r\n"));
    EXPECT_TRUE(IsGsm7Text(""));
    for (const char* c : {"[", "]", "{", "}", "~", "\\", "^", "|", "`", "\t", "\x7F", "\x88"})
        EXPECT_FALSE(IsGsm7Text(std::string("abc") + c)) << c;
    EXPECT_FALSE(IsGsm7Text("Привет"_cp));
    // What a phone shows is what went in.
    const std::string text = "Cost: 5$ @home, my_name \xA4\xA7";
    ASSERT_TRUE(IsGsm7Text(text));
    EXPECT_EQ(Decode(MakeSubmitPDU(kNumber, text, true, true)).text, os::Cp1251ToUtf8(text));
}

TEST(RoundTrip, TheModemsOwnDecoderReadsBackWhatWasBuilt) {
    std::mt19937 rng(20250117);
    const std::string gsm =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,!?:;-+*/=<>()%&'\"#"
        "@$_\r\n\xA4\xA7";
    const std::string other =
        std::string("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя"_cp) +
        "[]{}~\\^|`\x88\x98\t";  // and the euro sign, the unassigned byte, a tab
    for (int round = 0; round < 300; ++round) {
        const std::size_t len = rng() % 420;
        const bool mixed = rng() % 2;
        std::string text;
        for (std::size_t i = 0; i < len; ++i) {
            const bool pickOther = mixed && rng() % 8 == 0;
            const std::string& from = pickOther ? other : gsm;
            text += from[rng() % from.size()];
        }
        std::string number = std::to_string(rng() % 9 + 1);
        for (std::size_t i = 0, n = rng() % 15; i < n; ++i)
            number += char('0' + rng() % 10);
        const bool report = rng() % 2;
        const bool is7 = IsGsm7Text(text);
        const auto parts = SplitMessage(text, is7);
        const int ref = static_cast<int>(rng() % (is7 ? 65536 : 256));

        std::vector<vmodem::Submit> submits;
        for (std::size_t j = 0; j < parts.size(); ++j) {
            const std::string pdu =
                parts.size() == 1 ? MakeSubmitPDU(number, text, is7, report)
                                  : MakeConcatPartPDU(number, parts[j], static_cast<int>(j), is7,
                                                      ref, static_cast<int>(parts.size()), report);
            const vmodem::Submit s = Decode(pdu);
            EXPECT_EQ(s.number, number);
            EXPECT_EQ(s.numberType, 0x91);
            EXPECT_EQ(s.reportRequested, report);
            EXPECT_EQ(s.alphabet, is7 ? vmodem::Alphabet::Gsm7 : vmodem::Alphabet::Ucs2);
            EXPECT_EQ(s.concatenated, parts.size() > 1);
            if (s.concatenated) {
                EXPECT_EQ(s.ref, ref);
                EXPECT_EQ(s.refBits, is7 ? 16 : 8);
                EXPECT_EQ(s.parts, static_cast<int>(parts.size()));
                EXPECT_EQ(s.seq, static_cast<int>(j) + 1);
                EXPECT_EQ(s.mr, static_cast<int>(j));
            }
            EXPECT_LE(s.udl, is7 ? 160 : 140);  // 140 octets at most
            submits.push_back(s);
        }
        const auto view = vmodem::Reassemble(submits);
        ASSERT_EQ(view.size(), 1u);
        EXPECT_EQ(view[0].text, os::Cp1251ToUtf8(text)) << "round " << round;
        if (testing::Test::HasFailure()) break;
    }
}

}  // namespace
