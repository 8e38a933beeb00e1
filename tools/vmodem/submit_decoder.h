// What a phone makes of an SMS-SUBMIT: the virtual modem's own reading of every PDU it accepts,
// written apart from the program's PDU builder so that each checks the other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vmodem {

enum class Alphabet : uint8_t { Gsm7, Data8, Ucs2 };

struct Submit {
    int firstOctet = 0;
    int mr = 0;
    std::string number;  // destination digits
    int numberType = 0;  // type-of-address octet
    bool reportRequested = false;
    bool hasHeader = false;
    int validityFormat = 0;
    int pid = 0;
    int dcs = 0;
    Alphabet alphabet = Alphabet::Gsm7;
    int udl = 0;
    // Concatenation, from the user-data header.
    bool concatenated = false;
    int refBits = 0;  // 8 or 16
    int ref = 0;
    int parts = 0;
    int seq = 0;
    std::string text;  // UTF-8, as the phone shows it
};

// Decodes the hexadecimal text of a service-centre field and an SMS-SUBMIT TPDU. Every length
// must match exactly; on failure `error` says what is wrong.
std::optional<Submit> DecodeSubmit(const std::string& hex, std::string& error);

// The Unicode character of a GSM default alphabet septet (basic table), and of a septet after the
// escape code (extension table; 0 when the extension table has none).
char32_t GsmBasicChar(uint8_t septet);
char32_t GsmExtensionChar(uint8_t septet);

// Joins the parts of concatenated messages as a phone does: one entry per complete message, in
// the order the message was completed; incomplete messages are left out.
struct PhoneMessage {
    std::string number;
    std::string text;  // UTF-8
    int parts = 1;
};
std::vector<PhoneMessage> Reassemble(const std::vector<Submit>& submits);

}  // namespace vmodem
