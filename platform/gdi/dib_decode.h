// Decoding packed DIBs, shared by BMP files and icon images (internal to platform/gdi).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/gdi/objects.h"

namespace win::detail {

// Bounds-checked little-endian reads over a byte range.
class ByteReader {
public:
    ByteReader(const BYTE* p, size_t n) : p_(p), n_(n) {}
    bool Has(size_t at, size_t len) const { return at <= n_ && len <= n_ - at; }
    uint16_t U16(size_t at) const { return uint16_t(p_[at] | (p_[at + 1] << 8)); }
    uint32_t U32(size_t at) const {
        return uint32_t(p_[at]) | (uint32_t(p_[at + 1]) << 8) | (uint32_t(p_[at + 2]) << 16) |
               (uint32_t(p_[at + 3]) << 24);
    }
    int32_t I32(size_t at) const { return int32_t(U32(at)); }
    const BYTE* At(size_t at) const { return p_ + at; }
    size_t size() const { return n_; }

private:
    const BYTE* p_;
    size_t n_;
};

struct DibSource {
    const BYTE* data = nullptr;  // the header starts here
    size_t size = 0;             // bytes available from data on
    // Where the pixels start, counted from data; 0 = right after the header, masks and table.
    size_t pixelOffset = 0;
    // Icon images store the colour picture and the mask in one DIB of twice the height.
    bool iconHalves = false;
};

struct DibResult {
    std::shared_ptr<Bitmap> bitmap;
    std::shared_ptr<Bitmap> mask;  // icon images only: the 1-bit AND mask
    std::string error;
};

DibResult DecodeDib(const DibSource& src);

}  // namespace win::detail
