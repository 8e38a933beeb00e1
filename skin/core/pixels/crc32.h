// CRC-32 of PNG chunks (reflected polynomial 0xEDB88320, pre- and post-inverted), continuing a
// running value; a fresh computation starts from 0. zlib computes it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skin {

uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t count);

}  // namespace skin
