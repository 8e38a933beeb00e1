#include "gateway/pdu_builder.h"

#include <array>

#include "platform/os/cp1251.h"

namespace gateway {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr unsigned char kNoSeptet = 0xFF;

// cp1251 byte -> GSM default alphabet septet, basic table only. Most printable ASCII keeps its
// code; "@", "$" and "_" move, "¤" and "§" exist in both sets; "`" and the characters that need
// the extension table ("[", "]", "{", "}", "~", "\", "^", "|", "€") have no septet of their own.
constexpr std::array<unsigned char, 256> MakeSeptetTable() {
    std::array<unsigned char, 256> t{};
    for (auto& v : t)
        v = kNoSeptet;
    t['\n'] = 0x0A;
    t['\r'] = 0x0D;
    for (int c = 0x20; c <= 0x5A; ++c)
        t[c] = static_cast<unsigned char>(c);
    for (int c = 0x61; c <= 0x7A; ++c)
        t[c] = static_cast<unsigned char>(c);
    t['@'] = 0x00;
    t['$'] = 0x02;
    t['_'] = 0x11;
    t[0xA4] = 0x24;  // currency sign
    t[0xA7] = 0x5F;  // section sign
    return t;
}

constexpr std::array<unsigned char, 256> kSeptet = MakeSeptetTable();

void AppendOctet(std::string& out, unsigned v) {
    out += kHex[(v >> 4) & 0xF];
    out += kHex[v & 0xF];
}

// Length in digits, the type "91" (international, ISDN), the digits as swapped semi-octets.
std::string EncodeAddress(const std::string& number) {
    std::string out;
    AppendOctet(out, static_cast<unsigned>(number.size()));
    out += "91";
    std::string digits = number;
    if (digits.size() % 2) digits += 'F';
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        out += digits[i + 1];
        out += digits[i];
    }
    return out;
}

struct UserData {
    unsigned length;  // septets (7-bit) or octets (UCS2)
    std::string hex;
};

UserData EncodeText(const std::string& text, bool is7Bit) {
    if (is7Bit) return {static_cast<unsigned>(text.size()), Pack7Bit(ToGsm7(text))};
    UserData ud{static_cast<unsigned>(text.size() * 2), {}};
    ud.hex.reserve(text.size() * 4);
    for (unsigned char c : text) {
        const char16_t u = os::Cp1251ToUnicode(c);
        AppendOctet(ud.hex, u >> 8);
        AppendOctet(ud.hex, u & 0xFF);
    }
    return ud;
}

}  // namespace

void NormalizeNumber(std::string& number) {
    if (!number.empty() && number[0] == '+') number.erase(0, 1);
    if (number.size() == 11 && number[0] == '8') number[0] = '7';
}

bool IsSendableNumber(const std::string& number) {
    if (number.empty() || number.size() > 20) return false;
    for (char c : number)
        if (c < '0' || c > '9') return false;
    return true;
}

bool IsGsm7Text(const std::string& text) {
    for (unsigned char c : text)
        if (kSeptet[c] == kNoSeptet) return false;
    return true;
}

std::string ToGsm7(const std::string& text) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char s = kSeptet[static_cast<unsigned char>(text[i])];
        out[i] = static_cast<char>(s == kNoSeptet ? '?' : s);
    }
    return out;
}

std::string Pack7Bit(const std::string& septets) {
    std::string out;
    out.reserve(septets.size() * 2);
    const std::size_t n = septets.size();
    for (std::size_t i = 1; i <= n; ++i) {
        const unsigned r = i % 8;
        if (r == 0) continue;  // carried whole by the octets before it
        const unsigned cur = static_cast<unsigned char>(septets[i - 1]) & 0x7F;
        const unsigned next = i < n ? static_cast<unsigned char>(septets[i]) & 0x7F : 0;
        AppendOctet(out, ((cur >> (r - 1)) + (next << (8 - r))) & 0xFF);
    }
    return out;
}

std::string MakeSubmitPDU(const std::string& number, const std::string& text, bool is7Bit,
                          bool reportRequire) {
    const UserData ud = EncodeText(text, is7Bit);
    std::string pdu = "00";
    pdu += reportRequire ? "21" : "01";
    pdu += "00";
    pdu += EncodeAddress(number);
    pdu += "00";
    pdu += is7Bit ? "00" : "08";
    AppendOctet(pdu, ud.length);
    pdu += ud.hex;
    return pdu;
}

std::string MakeConcatPartPDU(const std::string& number, const std::string& partText, int index,
                              bool is7Bit, int ref, int count, bool reportRequire) {
    const UserData ud = EncodeText(partText, is7Bit);
    std::string pdu = "00";
    pdu += reportRequire ? "61" : "41";
    AppendOctet(pdu, static_cast<unsigned>(index));
    pdu += EncodeAddress(number);
    pdu += "00";
    pdu += is7Bit ? "00" : "08";
    if (is7Bit) {
        // Seven header octets are exactly eight septets, so the text needs no fill bits.
        AppendOctet(pdu, ud.length + 8);
        pdu += "060804";
        AppendOctet(pdu, (static_cast<unsigned>(ref) >> 8) & 0xFF);
        AppendOctet(pdu, static_cast<unsigned>(ref) & 0xFF);
    } else {
        AppendOctet(pdu, ud.length + 6);
        pdu += "050003";
        AppendOctet(pdu, static_cast<unsigned>(ref) & 0xFF);
    }
    AppendOctet(pdu, static_cast<unsigned>(count));
    AppendOctet(pdu, static_cast<unsigned>(index + 1));
    pdu += ud.hex;
    return pdu;
}

std::vector<std::string> SplitMessage(const std::string& text, bool is7Bit) {
    const std::size_t single = is7Bit ? kSingle7Bit : kSingleUcs2;
    if (text.size() <= single) return {text};
    const std::size_t part = is7Bit ? kPart7Bit : kPartUcs2;
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < text.size(); at += part)
        parts.push_back(text.substr(at, part));
    return parts;
}

int CmgsLength(const std::string& pdu) {
    return static_cast<int>(pdu.size() / 2) - 1;
}

}  // namespace gateway
