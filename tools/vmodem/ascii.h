// Small ASCII helpers of the virtual modem (commands, options and PDUs are plain ASCII).
#pragma once

#include <string>

namespace vmodem {

inline std::string AsciiUpper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

// The value of a hexadecimal digit, -1 for any other character.
inline int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace vmodem
