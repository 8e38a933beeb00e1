#include "platform/os/cp1251.h"

#include <algorithm>

namespace os {

namespace {

// Simple case mapping of the letters that cp1251 holds.
constexpr char32_t UnicodeUpper(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0x0430 && c <= 0x044F) return c - 0x20;  // а..я
    if (c >= 0x0450 && c <= 0x045F) return c - 0x50;  // ѐ..џ
    if (c == 0x0491) return 0x0490;                   // ґ
    return c;
}

constexpr char32_t UnicodeLower(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
    if (c == 0x0490) return 0x0491;
    return c;
}

template <char32_t (*Map)(char32_t)>
constexpr std::array<unsigned char, 256> MakeCaseTable() {
    std::array<unsigned char, 256> t{};
    for (unsigned b = 0; b < 256; ++b) {
        t[b] = static_cast<unsigned char>(b);
        const char32_t u = Cp1251ToUnicode(static_cast<unsigned char>(b));
        const char32_t m = Map(u);
        if (m != u)
            if (auto mb = UnicodeToCp1251(m)) t[b] = *mb;
    }
    return t;
}

constexpr auto kUpper = MakeCaseTable<UnicodeUpper>();
constexpr auto kLower = MakeCaseTable<UnicodeLower>();

static_assert(kUpper[0xE0] == 0xC0 && kUpper[0xB8] == 0xA8 && kUpper['q'] == 'Q');
static_assert(kLower[0xC0] == 0xE0 && kLower[0xA8] == 0xB8 && kLower['Q'] == 'q');

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Cp1251ToUtf8(std::string_view cp) {
    std::string out;
    out.reserve(cp.size() * 2);
    for (char ch : cp)
        AppendUtf8(out, Cp1251ToUnicode(static_cast<unsigned char>(ch)));
    return out;
}

std::string Utf8ToCp1251(std::string_view utf8, char replacement, bool* lossless) {
    std::string out;
    out.reserve(utf8.size());
    bool all = true;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = DecodeUtf8(utf8, i);
        const auto b = c ? UnicodeToCp1251(*c) : std::nullopt;
        if (b) {
            out += static_cast<char>(*b);
        } else {
            out += replacement;
            all = false;
        }
    }
    if (lossless) *lossless = all;
    return out;
}

std::optional<std::string> TryUtf8ToCp1251(std::string_view utf8) {
    bool lossless = false;
    std::string out = Utf8ToCp1251(utf8, '?', &lossless);
    if (!lossless) return std::nullopt;
    return out;
}

unsigned char UpperCp1251(unsigned char b) {
    return kUpper[b];
}
unsigned char LowerCp1251(unsigned char b) {
    return kLower[b];
}

void CharUpperBuff(char* buf, std::size_t len) {
    for (std::size_t i = 0; i < len; ++i)
        buf[i] = static_cast<char>(kUpper[static_cast<unsigned char>(buf[i])]);
}

std::string UpperCaseCp1251(std::string_view s) {
    std::string out(s);
    CharUpperBuff(out.data(), out.size());
    return out;
}

std::string LowerCaseCp1251(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(kLower[static_cast<unsigned char>(c)]);
    return out;
}

namespace {

// Alphabetical weight of an upper-cased byte: Ё sorts right after Е, as in the alphabet.
int Weight(unsigned char upper) {
    if (upper == 0xA8) return 0xC5 * 2 + 1;
    return upper * 2;
}

}  // namespace

int CompareCp1251(std::string_view a, std::string_view b, bool ignoreCase) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        const int d = Weight(UpperCp1251(ca)) - Weight(UpperCp1251(cb));
        if (d) return d < 0 ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    if (ignoreCase) return 0;
    // Same letters: a lower-case letter sorts before its capital.
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) return LowerCp1251(ca) == ca ? -1 : 1;
    }
    return 0;
}

}  // namespace os
