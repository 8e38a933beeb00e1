#include "gateway/signal_quality.h"

#include <gtest/gtest.h>

#include "platform/os/cp_literal.h"

namespace {

using gateway::ParseCSQ;

struct Csq {
    int rssi, ber;
};

Csq Parse(const std::string& reply) {
    uint8_t r = 0, b = 0;
    ParseCSQ(reply, r, b);
    return {r, b};
}

TEST(ParseCSQ, ReadsBothNumbersOrLeavesNinetyNine) {
    const struct {
        const char* reply;
        int rssi, ber;
    } cases[] = {
        {"\r\n+CSQ: 15,99\r\n\r\nOK\r\n", 15, 99},
        {"AT+CSQ\r\r\n+CSQ: 31,0\r\n\r\nOK\r\n", 31, 0},
        {"+CSQ:7,3\r", 7, 3},
        {"+CSQ: 15,2", 15, 99},          // no CR after the second number
        {"+CSQ: 15\r\nOK\r\n", 99, 99},  // no comma
        {"+csq: 15,2\r", 99, 99},        // the tag is upper-case in a real reply
        {"+CSQ: x,2\r", 99, 2},
        {"+CSQ: 300,2\r", 99, 2},
        {"+CSQ: -1,2\r", 99, 2},
        {"+CSQ: 12, \r", 12, 99},
        {"", 99, 99},
        {"OK", 99, 99},
    };
    for (const auto& c : cases) {
        const Csq v = Parse(c.reply);
        EXPECT_EQ(v.rssi, c.rssi) << c.reply;
        EXPECT_EQ(v.ber, c.ber) << c.reply;
    }
}

TEST(SignalLevel, BandsOfRssiWithNoValueAsFull) {
    const int expected[][2] = {{0, 0},  {5, 0},  {6, 1},  {11, 1}, {12, 2}, {16, 2}, {17, 3},
                               {21, 3}, {22, 4}, {26, 4}, {27, 5}, {31, 5}, {99, 5}, {255, 5}};
    for (const auto& e : expected)
        EXPECT_EQ(gateway::SignalLevel(static_cast<uint8_t>(e[0])), e[1]) << e[0];
}

TEST(SignalPercent, RoundsHalvesToEven) {
    EXPECT_EQ(gateway::SignalPercent(3), 12);   // 12.5
    EXPECT_EQ(gateway::SignalPercent(11), 38);  // 37.5
    EXPECT_EQ(gateway::SignalPercent(12), 41);  // 40.625
    EXPECT_EQ(gateway::SignalPercent(31), 100);
    EXPECT_EQ(gateway::SignalPercent(0), 3);
}

TEST(SignalHint, OnlyWhenBothNumbersAreKnown) {
    EXPECT_EQ(gateway::SignalHint(31, 0),
              "Уровень сигнала: 100%. Процент ошибок связи: << 0.2%."_cp);
    EXPECT_EQ(gateway::SignalHint(3, 7), "Уровень сигнала: 12%. Процент ошибок связи: > 12.8%."_cp);
    EXPECT_EQ(gateway::SignalHint(15, 4),
              "Уровень сигнала: 50%. Процент ошибок связи: 1.6 - 3.2%."_cp);
    EXPECT_EQ(gateway::SignalHint(15, 50),
              "Уровень сигнала: 50%. Процент ошибок связи: << 0.2%."_cp);
    EXPECT_EQ(gateway::SignalHint(15, 99), "");
    EXPECT_EQ(gateway::SignalHint(99, 0), "");
}

TEST(SignalWarnings, WeakSignalAndHighErrorRateButNotMissingValues) {
    EXPECT_TRUE(gateway::IsLowSignal(12));
    EXPECT_FALSE(gateway::IsLowSignal(13));
    EXPECT_FALSE(gateway::IsLowSignal(99));
    EXPECT_FALSE(gateway::IsHighErrorRate(3));
    EXPECT_TRUE(gateway::IsHighErrorRate(4));
    EXPECT_TRUE(gateway::IsHighErrorRate(98));
    EXPECT_FALSE(gateway::IsHighErrorRate(99));
    EXPECT_EQ(gateway::ErrorRateWarningText(4), "1.6 - 3.2%");
    EXPECT_EQ(gateway::ErrorRateWarningText(7), "> 12.8%");
    EXPECT_EQ(gateway::ErrorRateWarningText(8), "");
}

}  // namespace
