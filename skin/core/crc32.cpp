#include "skin/core/crc32.h"

#include <array>

namespace skin {
namespace {

// Slicing by eight: eight tables let one step fold eight input bytes.
struct CrcTables {
    std::array<std::array<uint32_t, 256>, 8> t{};
    constexpr CrcTables() {
        // The polynomial from its exponents 0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26,
        // bit-reversed.
        constexpr int kExponents[] = {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26};
        uint32_t poly = 0;
        for (int e : kExponents)
            poly |= 1u << (31 - e);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? poly ^ (c >> 1) : c >> 1;
            t[0][n] = c;
        }
        for (uint32_t n = 0; n < 256; ++n) {
            for (int k = 1; k < 8; ++k)
                t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
        }
    }
};

constexpr CrcTables kTables;

}  // namespace

uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t count) {
    if (data == nullptr) return 0;
    const auto& t = kTables.t;
    auto p = static_cast<const uint8_t*>(data);
    uint32_t c = ~crc;
    while (count >= 8) {
        uint32_t lo = c ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                           uint32_t(p[3]) << 24);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
        p += 8;
        count -= 8;
    }
    while (count--)
        c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return ~c;
}

}  // namespace skin
