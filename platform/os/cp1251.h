// Single-byte cp1251 text, the program's own encoding, and its edges to Unicode.
//
// Every string of the program holds cp1251 bytes; UTF-8 exists only where text leaves the
// program (files read by other tools, font lookup, X11, the database). The table is constexpr so
// that the "_cp" literal can convert at compile time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace os {

// Unicode for the bytes 0x80..0xFF. 0x98 has no character of its own; it is carried as the
// control code U+0098, so that every byte survives a trip through UTF-8 (the database, files)
// unchanged.
inline constexpr std::array<char16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  //
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

inline constexpr char16_t kUnassigned = 0xFFFD;

// The character of one cp1251 byte.
constexpr char16_t Cp1251ToUnicode(unsigned char b) {
    return b < 0x80 ? char16_t(b) : kCp1251High[b - 0x80];
}

// The cp1251 byte of a character, or nothing when cp1251 has none (U+FFFD included).
constexpr std::optional<unsigned char> UnicodeToCp1251(char32_t c) {
    if (c < 0x80) return static_cast<unsigned char>(c);
    if (c == kUnassigned) return std::nullopt;
    for (unsigned i = 0; i < kCp1251High.size(); ++i)
        if (kCp1251High[i] == c) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// Decodes one UTF-8 sequence at s[i], advancing i. Returns nothing for a malformed sequence
// (overlong, surrogate, beyond U+10FFFF, cut short); i then moves past the first byte only.
constexpr std::optional<char32_t> DecodeUtf8(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t c = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        c = b0 & 0x07;
    } else {
        ++i;
        return std::nullopt;
    }
    if (i + len > s.size()) {
        ++i;
        return std::nullopt;
    }
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return std::nullopt;
        }
        c = (c << 6) | (b & 0x3F);
    }
    constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return std::nullopt;
    }
    i += len;
    return c;
}

void AppendUtf8(std::string& out, char32_t c);

// cp1251 -> UTF-8. Never fails; 0x98 becomes U+0098.
std::string Cp1251ToUtf8(std::string_view cp);

// UTF-8 -> cp1251. Characters that cp1251 lacks, and malformed bytes, become `replacement`.
// `lossless`, when given, tells whether every character had a cp1251 byte.
std::string Utf8ToCp1251(std::string_view utf8, char replacement = '?', bool* lossless = nullptr);

// UTF-8 -> cp1251 only when every character fits.
std::optional<std::string> TryUtf8ToCp1251(std::string_view utf8);

// Upper and lower case of one byte, as the system's ANSI casing does for cp1251: Latin a-z and
// every Cyrillic letter of the code page (Ё, Ђ, Ї, Ґ, ... included). Other bytes are unchanged.
unsigned char UpperCp1251(unsigned char b);
unsigned char LowerCp1251(unsigned char b);

// In-place upper-casing of a buffer (CharUpperBuffA).
void CharUpperBuff(char* buf, std::size_t len);

std::string UpperCaseCp1251(std::string_view s);
std::string LowerCaseCp1251(std::string_view s);

// Alphabetical order of cp1251 text (Ё right after Е), negative, 0 or positive. Ignoring case,
// letters compare as their capitals; otherwise equal letters put a small letter first.
int CompareCp1251(std::string_view a, std::string_view b, bool ignoreCase);

}  // namespace os
