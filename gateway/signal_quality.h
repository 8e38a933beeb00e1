// The modem's signal quality: reading "+CSQ: <rssi>,<ber>" and the rules the mailing window and
// the port dialog draw from it (level picture, hint, warnings).
#pragma once

#include <cstdint>
#include <string>

namespace gateway {

// "No value" for either number, and what an unreadable number becomes.
inline constexpr uint8_t kNoSignalValue = 99;

// Reads rssi and ber from the reply of "AT+CSQ"; 99 for each one that cannot be read.
void ParseCSQ(const std::string& reply, uint8_t& rssi, uint8_t& ber);

// The level picture 0..5 for rssi. 99 ("no value") shows the full level 5, as the modem did not
// say the signal was weak.
int SignalLevel(uint8_t rssi);

// The signal in percent, (rssi + 1) / 32 * 100 rounded half to even (rssi 3 gives 12).
int SignalPercent(uint8_t rssi);

// The level picture's hint: empty unless both numbers are known.
std::string SignalHint(uint8_t rssi, uint8_t ber);

// When to warn the operator before a mailing: a weak signal (rssi 12 or below), or many bit
// errors (ber 4 and above, while known).
bool IsLowSignal(uint8_t rssi);
bool IsHighErrorRate(uint8_t ber);

// The error-rate range named in that warning ("1.6 - 3.2%" for 4 ... "> 12.8%" for 7, empty for
// 8 and above).
std::string ErrorRateWarningText(uint8_t ber);

}  // namespace gateway
