// JPEG decoding and encoding over libjpeg (the IJG interface, library version 62), between
// JPEG bytes and plain 24-bit pixels. The picture class TJPEGImage is built on this.
//
// Input is untrusted: a damaged or truncated file raises EInvalidGraphic with libjpeg's own
// text, and a picture larger than kMaxJpegPixels is refused before anything is allocated.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vcl {

inline constexpr int64_t kMaxJpegPixels = 64ll << 20;

struct JpegPixels {
    int width = 0;
    int height = 0;
    bool grayscale = false;    // the file had one component
    std::vector<uint8_t> rgb;  // rows top-down, red, green, blue per pixel, no padding
};

JpegPixels DecodeJpeg(std::span<const uint8_t> data);

// `rgb` as in JpegPixels; quality 1..100. With grayscale, only the luminance is kept.
std::vector<uint8_t> EncodeJpeg(int width, int height, std::span<const uint8_t> rgb, int quality,
                                bool grayscale);

}  // namespace vcl
