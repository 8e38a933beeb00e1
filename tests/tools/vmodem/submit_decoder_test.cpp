#include "tools/vmodem/submit_decoder.h"

#include <gtest/gtest.h>

#include "gateway/pdu_builder.h"

namespace {

using vmodem::DecodeSubmit;

std::string Why(const std::string& hex) {
    std::string why;
    EXPECT_FALSE(DecodeSubmit(hex, why)) << hex;
    return why;
}

TEST(SubmitDecoder, ReadsEveryFieldOfASimpleSubmit) {
    std::string why;
    const auto s = DecodeSubmit("0021000B919761214365F700000361F118", why);
    ASSERT_TRUE(s) << why;
    EXPECT_EQ(s->number, "79161234567");
    EXPECT_EQ(s->numberType, 0x91);
    EXPECT_TRUE(s->reportRequested);
    EXPECT_FALSE(s->hasHeader);
    EXPECT_EQ(s->alphabet, vmodem::Alphabet::Gsm7);
    EXPECT_EQ(s->udl, 3);
    EXPECT_EQ(s->text, "abc");
    // A service centre address and a relative validity period are skipped.
    const auto v = DecodeSubmit(
        "07919761989901F0"
        "1105"
        "0B919761214365F7"
        "0000"
        "AA"
        "0361F118",
        why);
    ASSERT_TRUE(v) << why;
    EXPECT_EQ(v->mr, 5);
    EXPECT_EQ(v->validityFormat, 2);
    EXPECT_EQ(v->text, "abc");
}

TEST(SubmitDecoder, SaysWhatIsWrongWithABrokenPdu) {
    EXPECT_NE(Why("").find("hexadecimal"), std::string::npos);
    EXPECT_NE(Why("0021000").find("hexadecimal"), std::string::npos);
    EXPECT_NE(Why("00XX").find("hexadecimal"), std::string::npos);
    EXPECT_NE(Why("0022000B919761214365F700000361F118").find("SUBMIT"), std::string::npos);
    EXPECT_NE(Why("0021000B919761214365F700000461F118").find("length"), std::string::npos);
    EXPECT_NE(Why("0021000B919761214365F700000361F11800").find("length"), std::string::npos);
    EXPECT_NE(Why("0021000B91976121436AF700000361F118").find("decimal"), std::string::npos);
    EXPECT_NE(Why("0021000B919761214365770000").find("filler"), std::string::npos);
    EXPECT_NE(Why("0021000B9197").find("cut short"), std::string::npos);
    EXPECT_NE(Why("07919761").find("cut short"), std::string::npos);
    // Sequence number 3 of 2.
    EXPECT_NE(Why("0061000391"
                  "21F3"
                  "0008"
                  "08"
                  "050003"
                  "AB"
                  "02"
                  "03"
                  "042F")
                  .find("range"),
              std::string::npos);
}

TEST(SubmitDecoder, ExtensionCharactersAfterTheEscape) {
    const std::string septets =
        "\x1B\x3C"
        "x"
        "\x1B\x3E"
        "\x1B\x65";
    const std::string hex =
        "000100039121F30000"
        "07" +
        gateway::Pack7Bit(septets);
    std::string why;
    const auto s = DecodeSubmit(hex, why);
    ASSERT_TRUE(s) << why;
    EXPECT_EQ(s->text, "[x]€");
}

TEST(SubmitDecoder, BasicTableCharactersThatMovedFromAscii) {
    EXPECT_EQ(vmodem::GsmBasicChar(0x00), U'@');
    EXPECT_EQ(vmodem::GsmBasicChar(0x02), U'$');
    EXPECT_EQ(vmodem::GsmBasicChar(0x11), U'_');
    EXPECT_EQ(vmodem::GsmBasicChar(0x24), U'¤');
    EXPECT_EQ(vmodem::GsmBasicChar(0x40), U'¡');
    EXPECT_EQ(vmodem::GsmBasicChar(0x60), U'¿');
    EXPECT_EQ(vmodem::GsmExtensionChar(0x28), U'{');
    EXPECT_EQ(vmodem::GsmExtensionChar(0x41), 0u);
}

TEST(Reassemble, JoinsPartsInSequenceAndLeavesIncompleteMessagesOut) {
    auto part = [](std::string number, int ref, int parts, int seq, std::string text) {
        vmodem::Submit s;
        s.number = std::move(number);
        s.concatenated = true;
        s.refBits = 16;
        s.ref = ref;
        s.parts = parts;
        s.seq = seq;
        s.text = std::move(text);
        return s;
    };
    vmodem::Submit single;
    single.number = "1";
    single.text = "one";
    const auto view = vmodem::Reassemble({part("7", 5, 3, 2, "b"), part("8", 5, 2, 1, "x"),
                                          part("7", 5, 3, 3, "c"), single, part("7", 5, 3, 1, "a"),
                                          part("7", 6, 2, 1, "lost")});
    ASSERT_EQ(view.size(), 2u);
    EXPECT_EQ(view[0].text, "one");
    EXPECT_EQ(view[1].number, "7");
    EXPECT_EQ(view[1].text, "abc");
    EXPECT_EQ(view[1].parts, 3);
}

}  // namespace
