#include "gateway/signal_quality.h"

#include "platform/os/cp_literal.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace gateway {

namespace {

// The number between two positions (1-based, both exclusive), when it is one that fits a byte.
void ReadByte(const std::string& reply, int after, int before, uint8_t& out) {
    int32_t v = 0;
    if (vcl::TryStrToInt(vcl::Copy(reply, after + 1, before - after - 1), v) && v >= 0 && v <= 255)
        out = static_cast<uint8_t>(v);
}

}  // namespace

void ParseCSQ(const std::string& reply, uint8_t& rssi, uint8_t& ber) {
    rssi = kNoSignalValue;
    ber = kNoSignalValue;
    const int p = vcl::Pos("+CSQ:", reply);
    const int c = p > 0 ? vcl::Pos(",", reply, p) : 0;
    if (p >= 1 && p < c) ReadByte(reply, p + 4, c, rssi);
    const int e = c > 0 ? vcl::Pos("\r", reply, c) : 0;
    if (c >= 1 && c < e) ReadByte(reply, c, e, ber);
}

int SignalLevel(uint8_t rssi) {
    if (rssi <= 5) return 0;
    if (rssi <= 11) return 1;
    if (rssi <= 16) return 2;
    if (rssi <= 21) return 3;
    if (rssi <= 26) return 4;
    return 5;
}

int SignalPercent(uint8_t rssi) {
    return static_cast<int>(vcl::Round((rssi + 1) / 32.0 * 100));
}

std::string SignalHint(uint8_t rssi, uint8_t ber) {
    if (rssi >= kNoSignalValue || ber >= kNoSignalValue) return {};
    static const char* const kRange[] = {"<< 0.2",    "0.2 - 0.4", "0.4 - 0.8",  "0.8 - 1.6",
                                         "1.6 - 3.2", "3.2 - 6.4", "6.4 - 12.8", "> 12.8"};
    const char* range = ber <= 7 ? kRange[ber] : kRange[0];
    return vcl::Format("Уровень сигнала: %d%%. Процент ошибок связи: %s%%."_cp, SignalPercent(rssi),
                       range);
}

bool IsLowSignal(uint8_t rssi) {
    return rssi <= 12;
}

bool IsHighErrorRate(uint8_t ber) {
    return ber >= 4 && ber < kNoSignalValue;
}

std::string ErrorRateWarningText(uint8_t ber) {
    switch (ber) {
        case 4:
            return "1.6 - 3.2%";
        case 5:
            return "3.2 - 6.4%";
        case 6:
            return "6.4 - 12.8%";
        case 7:
            return "> 12.8%";
        default:
            return {};
    }
}

}  // namespace gateway
