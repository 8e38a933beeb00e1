// TColorManager: turns rows of raw image samples (a source layout) into bitmap rows (a target
// layout), keeps the gamma and chroma tables and builds the palettes that go with the rows.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "skin/core/pixels/pixels.h"

namespace skin {

enum class TSampleScheme : uint8_t {
    None = 0,
    Indexed = 1,
    Grey = 2,
    GreyAlpha = 3,
    RGB = 4,
    RGBA = 5,
    BGR = 6,
    BGRA = 7,
    CMY = 8,
    CMYK = 9,
    CIELab = 10,
    YCbCr = 11,
    PhotoYCC = 12,
};

// TConvertFlags bits.
enum : uint8_t {
    coAlpha = 1,             // derived from the scheme whenever a converter is chosen
    coApplyGamma = 2,        // target side
    coNeedByteSwap = 4,      // source side: 16-bit samples are big-endian
    coLabByteRange = 8,      // L* stored as 0..255
    coLabChromaOffset = 16,  // a*, b* stored with an offset of 128
};

struct TPaletteEntry {
    uint8_t Red = 0, Green = 0, Blue = 0, Flags = 0;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};
using TPalette = std::vector<TPaletteEntry>;

// The unsigned 32-bit product a * b divided by c, truncated to 16 bits.
inline uint16_t MulDiv16(uint32_t a, uint32_t b, uint32_t c) {
    return static_cast<uint16_t>(a * b / c);
}

class TColorManager {
public:
    TColorManager();
    // Back to the state of a new manager: default layouts and options, no gamma, and a converter
    // chosen afresh at the next row.
    void Reset();

    void SetSourceBitsPerSample(uint8_t v);
    void SetTargetBitsPerSample(uint8_t v);
    void SetSourceSamplesPerPixel(uint8_t v);
    void SetTargetSamplesPerPixel(uint8_t v);
    void SetSourceScheme(TSampleScheme v);
    void SetTargetScheme(TSampleScheme v);
    uint8_t SourceBitsPerSample() const { return sourceBits_; }
    uint8_t TargetBitsPerSample() const { return targetBits_; }
    uint8_t SourceSamplesPerPixel() const { return sourceSamples_; }
    uint8_t TargetSamplesPerPixel() const { return targetSamples_; }
    TSampleScheme SourceScheme() const { return sourceScheme_; }
    TSampleScheme TargetScheme() const { return targetScheme_; }
    bool Changed() const { return changed_; }

    // Written directly; they take effect at the next row.
    uint8_t SourceOptions = 0;
    uint8_t TargetOptions = 0;

    // Always builds the full 8-bit to 8-bit table: it is the only one the rows use, and a table
    // sized by an earlier image's depths would be wrong for the next.
    void InitGamma(float mainGamma, float displayGamma);
    float MainGamma() const { return mainGamma_; }
    float DisplayGamma() const { return displayGamma_; }
    const std::array<uint8_t, 256>& GammaTable() const { return gamma_; }

    // 0 asks for the source layout's format, anything else for the target's.
    TPixelFormat PixelFormatFor(int side) const;

    // `sources` holds one pointer for interleaved samples or one per plane. Chooses the converter
    // when a layout value changed since the last row.
    void ConvertScanline(const uint8_t* const* sources, int sourceCount, uint8_t* target, int count,
                         uint8_t mask);
    void ConvertScanline(const uint8_t* source, uint8_t* target, int count, uint8_t mask) {
        ConvertScanline(&source, 1, target, count, mask);
    }

    // Raw layout 0: 8-bit triples; 1: 8-bit quads (fourth byte skipped); 2: three 8-bit planes;
    // 3: 16-bit triples. `reversed` means blue first.
    TPalette MakePalette(const uint8_t* const* sources, int sourceCount, int layout, int count,
                         bool reversed) const;
    TPalette MakeGrayPalette(bool falling) const;

    void BuildYCbCrTables(bool photoYcc);

private:
    using Converter = void (TColorManager::*)(const uint8_t* const*, int, uint8_t*, int, uint8_t);
    void ChooseConverter();
    void ConvertRGBFamily(const uint8_t* const* src, int n, uint8_t* dst, int count, uint8_t mask,
                          bool sourceBlueFirst, bool targetBlueFirst);
    void ConvertRowRGBToBGR(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowRGBToRGB(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowBGRToRGB(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowBGRToBGR(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowGray(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowIndexed(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowIndexed16To16(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowIndexed16ToN(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowIndexedNTo16(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowCMYKToRGB(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowCMYKToBGR(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowLabToRGB(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowLabToBGR(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowYCbCrToRGB(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    void ConvertRowYCbCrToBGR(const uint8_t* const* s, int n, uint8_t* d, int c, uint8_t m);
    // Shared shape of the three-component converters of the 8-bit colour spaces: `convert` turns
    // one source pixel into red, green, blue.
    template <typename F>
    void ConvertRowColourSpace(const uint8_t* const* src, int n, uint8_t* dst, int count,
                               uint8_t mask, int sourceSamples, bool targetBlueFirst, F convert);

    bool changed_ = true;
    uint8_t sourceBits_ = 8, targetBits_ = 8;
    uint8_t sourceSamples_ = 3, targetSamples_ = 3;
    float mainGamma_ = 1.0f, displayGamma_ = 2.2f;
    std::array<uint8_t, 256> gamma_{};
    std::array<float, 3> lumaWeights_{0.299f, 0.587f, 0.114f};
    std::vector<int32_t> crToRed_, cbToBlue_, crToGreen_, cbToGreen_;
    TSampleScheme sourceScheme_ = TSampleScheme::RGB, targetScheme_ = TSampleScheme::BGR;
    Converter converter_ = nullptr;
};

}  // namespace skin
