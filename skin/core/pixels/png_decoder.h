// The PNG decoder: reads a PNG image (chunks IHDR, PLTE, IDAT, gAMA, bKGD, tRNS, IEND) into a
// bitmap of 1, 4, 8, 24 or 32 bits per pixel. Only RGBA images keep their alpha (straight, not
// premultiplied); 16-bit samples are reduced to 8 bits, 2-bit samples widened to 4.
//
// The input is hostile: every length is checked against what remains, images are bounded, and
// every failure is an exception (EInvalidGraphic, EGraphicCompression, EColorConversionError,
// EReadError) with the texts below; nothing is read or written out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/core/pixels/color_manager.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/graphics/picture.h"
#include "vcl/system/streams.h"

namespace skin {

// The bitmap a PNG is decoded into. `TPNGGraphic` implements it over its own bitmap.
class PngTarget {
public:
    virtual ~PngTarget() = default;
    // Drops the image: device pixel format, no palette, size 0 x 0.
    virtual void Clear() = 0;
    virtual TPixelFormat PixelFormat() const = 0;
    virtual void SetPixelFormat(TPixelFormat format) = 0;
    virtual void SetPalette(const TPalette& palette) = 0;
    virtual void SetSize(int width, int height) = 0;
    virtual void SetTransparentColor(TColor color) = 0;
    virtual uint8_t* ScanLine(int y) = 0;
};

// What a pixel of `bits` holds to show the colour: its bytes blue, green, red (alpha 0) for 24
// and 32 bits, else the index of the nearest palette entry.
uint32_t PixelValueOf(int bits, const TPalette& palette, TColor color);
// Stores the value into the pixels of a row that the interlace mask selects (its bit pattern
// rotated over the pixels, from the top bit); 0xFF selects every pixel.
void FillPixels(uint8_t* row, int width, int bits, uint32_t value, uint8_t mask = 0xFF);

// A plain top-down image with rows aligned to 4 bytes; what the tests and benchmarks decode into.
class PngImage : public PngTarget {
public:
    void Clear() override;
    TPixelFormat PixelFormat() const override { return format_; }
    void SetPixelFormat(TPixelFormat format) override;
    void SetPalette(const TPalette& palette) override { palette_ = palette; }
    void SetSize(int width, int height) override;
    void SetTransparentColor(TColor color) override { transparent_ = color; }
    uint8_t* ScanLine(int y) override { return pixels_.data() + size_t(y) * stride_; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const;
    size_t Stride() const { return stride_; }
    const TPalette& Palette() const { return palette_; }
    TColor TransparentColor() const { return transparent_; }
    const uint8_t* Row(int y) const { return pixels_.data() + size_t(y) * stride_; }
    // The pixel's palette index (indexed formats) or its raw bytes as 0xAARRGGBB.
    uint32_t RawPixel(int x, int y) const;
    // The pixel's colour 0x00BBGGRR through the palette (black beyond it) with the alpha of
    // 32-bit images in the top byte.
    uint32_t ColorAt(int x, int y) const;

private:
    void Allocate();

    TPixelFormat format_ = pfDevice;
    TPalette palette_;
    int width_ = 0, height_ = 0;
    size_t stride_ = 0;
    std::vector<uint8_t> pixels_;
    TColor transparent_ = clNone;
};

struct TPngHeaderInfo {
    uint8_t Flags = 0;  // 1: IHDR read; 2: a gAMA switched gamma correction on
    uint32_t Width = 0, Height = 0;
    TSampleScheme Scheme = TSampleScheme::None;
    uint8_t BitsPerSample = 0;
    uint8_t SamplesPerPixel = 0;
    uint8_t BitsPerPixel = 0;
    uint8_t Compression = 0;  // 2 for deflate
    float FileGamma = 1.0f;
    bool Interlaced = false;
    bool HasAlpha = false;
    uint8_t FilterMethod = 0;
};

using vcl::TProgressStage;

class PngDecoder {
public:
    // The largest image accepted: a side of at most 16384 pixels and at most 2^26 pixels in
    // all, so that a few bytes of header never ask for more than 256 MiB of bitmap.
    static constexpr uint32_t kMaxSide = 16384;
    static constexpr uint64_t kMaxPixels = uint64_t(1) << 26;

    // Replaces the target's image with the PNG that starts at `data`. Returns the number of bytes
    // read (up to and including the IEND chunk). Raises on failure; the target then keeps what
    // it had reached.
    size_t Load(const uint8_t* data, size_t size, PngTarget& target);
    // The same from the stream's position (a PNG may sit inside a larger stream); the stream
    // then stands behind the last chunk read.
    void LoadFromStream(vcl::TStream* stream, PngTarget& target);

    TColorManager ColorManager;
    TPngHeaderInfo Header;
    std::vector<uint8_t> AlphaTable;  // indexed images with tRNS: one alpha per index
    TColor TransparentKey = clNone;
    TColor BackgroundFill = clWhite;
    // How many bytes of image data are inflated at a time: enough for zlib's fast loop to run
    // nearly all the time and for the rows to stay in the cache until they are converted.
    size_t SpanBytes = 256 * 1024;
    // Raised as the class library's graphic progress event is: stage, percent, redraw, message.
    std::function<void(TProgressStage, int, bool, const std::string&)> OnProgress;

private:
    friend class PngLoad;
};

}  // namespace skin
