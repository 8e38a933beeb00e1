#include "skin/core/pixels/crc32.h"

#include <zlib.h>

#include <algorithm>

namespace skin {

uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t count) {
    if (data == nullptr) return 0;
    // zlib takes its lengths as unsigned int: longer buffers go in pieces.
    auto p = static_cast<const Bytef*>(data);
    uLong c = crc;
    while (count > 0) {
        const size_t n = std::min<size_t>(count, 1u << 30);
        c = crc32(c, p, uInt(n));
        p += n;
        count -= n;
    }
    return uint32_t(c);
}

}  // namespace skin
