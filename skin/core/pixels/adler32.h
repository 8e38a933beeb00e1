// The Adler-32 sum of zlib streams, continuing a running value (1 for a new computation), as
// zlib's adler32 computes it but sixteen bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skin {

uint32_t UpdateAdler32(uint32_t adler, const void* data, size_t count);

}  // namespace skin
