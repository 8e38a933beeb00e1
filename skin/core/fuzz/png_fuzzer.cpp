// Feeds arbitrary bytes to the PNG decoder. Only the decoder's declared exceptions may come out;
// anything else (a crash, undefined behaviour, a leak, a hang) is a finding. The input is then
// loaded again among known pictures through one decoder and one TPNGGraphic, and every load must
// match a fresh one: a difference is a finding too.
//
// The mutator repairs the CRC of every chunk after mutating, so that changed chunk fields get
// past the CRC check and reach the code behind it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "skin/core/fuzz/png_reuse_check.h"
#include "skin/core/pixels/crc32.h"
#include "skin/core/pixels/errors.h"
#include "skin/core/pixels/png_decoder.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void RepairCrcs(uint8_t* data, size_t size) {
    size_t pos = 8;
    while (pos + 12 <= size) {
        uint32_t len = BigEndian32(data + pos);
        if (len > size - pos - 12) break;
        uint32_t crc = skin::UpdateCrc32(0, data + pos + 4, len + 4);
        uint8_t* out = data + pos + 8 + len;
        out[0] = uint8_t(crc >> 24), out[1] = uint8_t(crc >> 16);
        out[2] = uint8_t(crc >> 8), out[3] = uint8_t(crc);
        pos += 12 + size_t(len);
    }
}

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    RepairCrcs(data, size);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    skin::PngDecoder decoder;
    skin::PngImage image;
    try {
        decoder.Load(data, size, image);
    } catch (const vcl::EInvalidGraphic&) {
    } catch (const vcl::EReadError&) {
    } catch (const skin::EGraphicCompression&) {
    } catch (const skin::EColorConversionError&) {}

    const std::string difference =
        skin::fuzz::CompareReusedLoads(skin::fuzz::ReuseSequence(data, size));
    if (!difference.empty()) {
        std::fprintf(stderr, "reuse: %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}
