// SMS-SUBMIT PDUs as upper-case hexadecimal text for "AT+CMGS=" in PDU mode: one message, or one
// part of a concatenated message, in GSM 7-bit or UCS2 coding. Texts are cp1251.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace gateway {

// Characters per message, and per part of a longer one (the rest carries the part header).
inline constexpr std::size_t kSingle7Bit = 160;
inline constexpr std::size_t kSingleUcs2 = 70;
inline constexpr std::size_t kPart7Bit = 152;
inline constexpr std::size_t kPartUcs2 = 67;

// Drops a leading "+" and turns a national "8XXXXXXXXXX" into "7XXXXXXXXXX". An empty text stays
// empty.
void NormalizeNumber(std::string& number);

// A normalised number the modem may be given: 1 to 20 decimal digits. Anything else would put
// other characters into the address semi-octets; such a number is never sent.
bool IsSendableNumber(const std::string& number);

// True when every character has a place in the GSM default alphabet's basic table, so the text
// can go as 7-bit with one septet per character. Otherwise it goes as UCS2.
bool IsGsm7Text(const std::string& text);

// The GSM default alphabet code of each character ("@" is 0, "$" is 2, "_" is 17); a character
// without one becomes "?". One septet per character.
std::string ToGsm7(const std::string& text);

// Packs septets (values 0..127) eight to seven octets, as hexadecimal text.
std::string Pack7Bit(const std::string& septets);

// A single SMS-SUBMIT to `number` (normalised, sendable), status report requested or not.
std::string MakeSubmitPDU(const std::string& number, const std::string& text, bool is7Bit,
                          bool reportRequire);

// Piece `index` (from 0) of `count` of a concatenated message with the reference `ref`: 16-bit for
// 7-bit parts (0..65535), 8-bit for UCS2 parts (0..255).
std::string MakeConcatPartPDU(const std::string& number, const std::string& partText, int index,
                              bool is7Bit, int ref, int count, bool reportRequire);

// The text as it goes out: one element when it fits one message, else the parts of 152 (7-bit)
// or 67 (UCS2) characters, the last one possibly shorter.
std::vector<std::string> SplitMessage(const std::string& text, bool is7Bit);

// The length for "AT+CMGS=": the TPDU's octets, the leading service-centre octet not counted.
int CmgsLength(const std::string& pdu);

}  // namespace gateway
