#include "tools/vmodem/submit_decoder.h"

#include <map>
#include <tuple>

#include "platform/os/cp1251.h"
#include "tools/vmodem/ascii.h"

namespace vmodem {

namespace {

// The GSM default alphabet, basic table (3GPP TS 23.038); 0x1B is the escape to the extension
// table.
constexpr char32_t kBasic[128] = {
    U'@', U'£', U'$',  U'¥', U'è', U'é',  U'ù', U'ì',   //
    U'ò', U'Ç', U'\n', U'Ø', U'ø', U'\r', U'Å', U'å',   //
    U'Δ', U'_', U'Φ',  U'Γ', U'Λ', U'Ω',  U'Π', U'Ψ',   //
    U'Σ', U'Θ', U'Ξ',  0x1B, U'Æ', U'æ',  U'ß', U'É',   //
    U' ', U'!', U'"',  U'#', U'¤', U'%',  U'&', U'\'',  //
    U'(', U')', U'*',  U'+', U',', U'-',  U'.', U'/',   //
    U'0', U'1', U'2',  U'3', U'4', U'5',  U'6', U'7',   //
    U'8', U'9', U':',  U';', U'<', U'=',  U'>', U'?',   //
    U'¡', U'A', U'B',  U'C', U'D', U'E',  U'F', U'G',   //
    U'H', U'I', U'J',  U'K', U'L', U'M',  U'N', U'O',   //
    U'P', U'Q', U'R',  U'S', U'T', U'U',  U'V', U'W',   //
    U'X', U'Y', U'Z',  U'Ä', U'Ö', U'Ñ',  U'Ü', U'§',   //
    U'¿', U'a', U'b',  U'c', U'd', U'e',  U'f', U'g',   //
    U'h', U'i', U'j',  U'k', U'l', U'm',  U'n', U'o',   //
    U'p', U'q', U'r',  U's', U't', U'u',  U'v', U'w',   //
    U'x', U'y', U'z',  U'ä', U'ö', U'ñ',  U'ü', U'à',   //
};

// Octets read off the front; callers check `Has` before they read.
class Octets {
public:
    explicit Octets(std::vector<uint8_t> v) : v_(std::move(v)) {}
    bool Has(std::size_t n) const { return v_.size() - at_ >= n; }
    std::size_t Left() const { return v_.size() - at_; }
    uint8_t Next() { return v_[at_++]; }
    const uint8_t* Here() const { return v_.data() + at_; }
    void Skip(std::size_t n) { at_ += n; }

private:
    std::vector<uint8_t> v_;
    std::size_t at_ = 0;
};

std::optional<Submit> Fail(std::string& error, const char* why) {
    error = why;
    return std::nullopt;
}

// The septet whose lowest bit is bit `bit` of the user data (bits count from the low end of each
// octet up).
uint8_t Septet(const uint8_t* ud, std::size_t bit) {
    const std::size_t byte = bit / 8, shift = bit % 8;
    unsigned v = ud[byte] >> shift;
    if (shift > 1) v |= static_cast<unsigned>(ud[byte + 1]) << (8 - shift);
    return static_cast<uint8_t>(v & 0x7F);
}

bool ParseHeader(const uint8_t* h, std::size_t len, Submit& s, std::string& error) {
    std::size_t i = 0;
    while (i < len) {
        if (len - i < 2) {
            error = "header element cut short";
            return false;
        }
        const uint8_t id = h[i], elen = h[i + 1];
        i += 2;
        if (len - i < elen) {
            error = "header element longer than the header";
            return false;
        }
        if (id == 0x00 || id == 0x08) {
            const std::size_t want = id == 0x00 ? 3 : 4;
            if (elen != want) {
                error = "concatenation element of the wrong length";
                return false;
            }
            s.concatenated = true;
            s.refBits = id == 0x00 ? 8 : 16;
            s.ref = id == 0x00 ? h[i] : (h[i] << 8 | h[i + 1]);
            s.parts = h[i + want - 2];
            s.seq = h[i + want - 1];
            if (s.parts == 0 || s.seq == 0 || s.seq > s.parts) {
                error = "concatenation numbers out of range";
                return false;
            }
        }
        i += elen;
    }
    return true;
}

}  // namespace

char32_t GsmBasicChar(uint8_t septet) {
    return kBasic[septet & 0x7F];
}

char32_t GsmExtensionChar(uint8_t septet) {
    switch (septet) {
        case 0x0A:
            return U'\f';
        case 0x14:
            return U'^';
        case 0x28:
            return U'{';
        case 0x29:
            return U'}';
        case 0x2F:
            return U'\\';
        case 0x3C:
            return U'[';
        case 0x3D:
            return U'~';
        case 0x3E:
            return U']';
        case 0x40:
            return U'|';
        case 0x65:
            return U'€';
        default:
            return 0;
    }
}

std::optional<Submit> DecodeSubmit(const std::string& hex, std::string& error) {
    if (hex.empty() || hex.size() % 2) return Fail(error, "odd or empty hexadecimal text");
    std::vector<uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) return Fail(error, "not hexadecimal");
        bytes.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    Octets o(std::move(bytes));
    Submit s;

    const uint8_t sca = o.Next();
    if (!o.Has(sca)) return Fail(error, "service centre address cut short");
    o.Skip(sca);

    if (!o.Has(2)) return Fail(error, "no first octet or message reference");
    s.firstOctet = o.Next();
    if ((s.firstOctet & 3) != 1) return Fail(error, "not an SMS-SUBMIT");
    s.validityFormat = (s.firstOctet >> 3) & 3;
    s.reportRequested = s.firstOctet & 0x20;
    s.hasHeader = s.firstOctet & 0x40;
    s.mr = o.Next();

    if (!o.Has(2)) return Fail(error, "destination address cut short");
    const uint8_t digits = o.Next();
    s.numberType = o.Next();
    const std::size_t addressOctets = (digits + 1u) / 2;
    if (digits == 0 || digits > 20) return Fail(error, "destination length out of range");
    if (!o.Has(addressOctets)) return Fail(error, "destination address cut short");
    for (std::size_t i = 0; i < addressOctets; ++i) {
        const uint8_t b = o.Next();
        const int lo = b & 0xF, hi = b >> 4;
        if (lo > 9) return Fail(error, "destination digit is not decimal");
        s.number += static_cast<char>('0' + lo);
        if (s.number.size() == digits) {
            if (hi != 0xF) return Fail(error, "odd destination without its F filler");
            break;
        }
        if (hi > 9) return Fail(error, "destination digit is not decimal");
        s.number += static_cast<char>('0' + hi);
    }

    if (!o.Has(2)) return Fail(error, "protocol or coding missing");
    s.pid = o.Next();
    s.dcs = o.Next();
    if ((s.dcs & 0xC0) == 0x00) {
        if (s.dcs & 0x20) return Fail(error, "compressed text");
        const int a = (s.dcs >> 2) & 3;
        if (a == 3) return Fail(error, "reserved alphabet");
        s.alphabet = static_cast<Alphabet>(a);
    } else if ((s.dcs & 0xF0) == 0xF0) {
        s.alphabet = (s.dcs & 4) ? Alphabet::Data8 : Alphabet::Gsm7;
    } else {
        return Fail(error, "coding group not handled");
    }

    const std::size_t validity = s.validityFormat == 0 ? 0 : s.validityFormat == 2 ? 1 : 7;
    if (!o.Has(validity + 1)) return Fail(error, "validity or user data length missing");
    o.Skip(validity);
    s.udl = o.Next();

    const std::size_t udOctets =
        s.alphabet == Alphabet::Gsm7 ? (static_cast<std::size_t>(s.udl) * 7 + 7) / 8 : s.udl;
    if (o.Left() != udOctets) return Fail(error, "user data length does not match the data");
    const uint8_t* ud = o.Here();

    std::size_t headerOctets = 0;
    if (s.hasHeader) {
        if (udOctets < 1) return Fail(error, "header flag without a header");
        headerOctets = ud[0] + 1u;
        if (headerOctets > udOctets) return Fail(error, "header longer than the user data");
        if (!ParseHeader(ud + 1, ud[0], s, error)) return std::nullopt;
    }

    if (s.alphabet == Alphabet::Gsm7) {
        // The text starts at the first septet boundary after the header.
        const std::size_t headerSeptets = (headerOctets * 8 + 6) / 7;
        if (headerSeptets > static_cast<std::size_t>(s.udl))
            return Fail(error, "header longer than the user data");
        bool escape = false;
        for (std::size_t k = headerSeptets; k < static_cast<std::size_t>(s.udl); ++k) {
            const uint8_t c = Septet(ud, k * 7);
            if (escape) {
                const char32_t e = GsmExtensionChar(c);
                os::AppendUtf8(s.text, e ? e : GsmBasicChar(c));
                escape = false;
            } else if (c == 0x1B) {
                escape = true;
            } else {
                os::AppendUtf8(s.text, GsmBasicChar(c));
            }
        }
    } else if (s.alphabet == Alphabet::Ucs2) {
        const std::size_t n = udOctets - headerOctets;
        if (n % 2) return Fail(error, "odd UCS2 data");
        for (std::size_t i = headerOctets; i < udOctets; i += 2) {
            char32_t u = static_cast<char32_t>(ud[i] << 8 | ud[i + 1]);
            if (u >= 0xD800 && u <= 0xDBFF && i + 3 < udOctets) {
                const char32_t lo = static_cast<char32_t>(ud[i + 2] << 8 | ud[i + 3]);
                if (lo >= 0xDC00 && lo <= 0xDFFF) {
                    u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                    i += 2;
                }
            }
            os::AppendUtf8(s.text, u);
        }
    } else {
        for (std::size_t i = headerOctets; i < udOctets; ++i)
            os::AppendUtf8(s.text, ud[i]);
    }
    return s;
}

std::vector<PhoneMessage> Reassemble(const std::vector<Submit>& submits) {
    std::vector<PhoneMessage> out;
    using Key = std::tuple<std::string, int, int, int>;  // number, ref bits, ref, parts
    std::map<Key, std::map<int, std::string>> pending;
    for (const Submit& s : submits) {
        if (!s.concatenated) {
            out.push_back({s.number, s.text, 1});
            continue;
        }
        auto& parts = pending[Key{s.number, s.refBits, s.ref, s.parts}];
        parts[s.seq] = s.text;
        if (static_cast<int>(parts.size()) == s.parts) {
            PhoneMessage m{s.number, {}, s.parts};
            for (const auto& p : parts)
                m.text += p.second;
            out.push_back(std::move(m));
            pending.erase(Key{s.number, s.refBits, s.ref, s.parts});
        }
    }
    return out;
}

}  // namespace vmodem
