#include "skin/core/pixels/color_manager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "skin/core/pixels/errors.h"

namespace skin {
namespace {

const char kBadDepth[] = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
const char kBadSamples[] = "Sample count per pixel does not correspond to the given color scheme.";
const char kIndexedMix[] =
    "Conversion between indexed and non-indexed pixel formats is not supported.";
const char kNoConverter[] = "Color conversion failed. Could not find a proper method.";

bool IsSourcePaletteScheme(TSampleScheme s) {
    return s == TSampleScheme::Indexed || s == TSampleScheme::Grey || s == TSampleScheme::GreyAlpha;
}
bool IsTargetPaletteScheme(TSampleScheme s) {
    return s == TSampleScheme::Indexed || s == TSampleScheme::Grey;
}
bool HasAlpha(TSampleScheme s) {
    return s == TSampleScheme::GreyAlpha || s == TSampleScheme::RGBA || s == TSampleScheme::BGRA;
}
bool IsRgbTarget(TSampleScheme s) {
    return s == TSampleScheme::RGB || s == TSampleScheme::RGBA;
}
bool IsBgrTarget(TSampleScheme s) {
    return s == TSampleScheme::BGR || s == TSampleScheme::BGRA;
}

inline uint32_t Read16(const uint8_t* p, bool swap) {
    return swap ? uint32_t(p[0]) << 8 | p[1] : uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
inline void Write16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline uint32_t Swap16(uint32_t v) {
    return (v & 0xFF) << 8 | (v >> 8 & 0xFF);
}
inline uint8_t ClampSample(long v) {
    return static_cast<uint8_t>(std::clamp(v, 0L, 255L));
}
inline uint8_t RotateRight(uint8_t bit) {
    return bit == 1 ? 0x80 : bit >> 1;
}

// A packed sample of `bits` at bit offset `pos`, most significant bits first.
inline uint32_t ReadPacked(const uint8_t* p, size_t pos, int bits) {
    if (bits == 8) return p[pos >> 3];
    if ((8 % bits) == 0) return (p[pos >> 3] >> (8 - bits - (pos & 7))) & ((1u << bits) - 1);
    uint32_t v = 0;
    for (int k = 0; k < bits; ++k, ++pos)
        v = v << 1 | ((p[pos >> 3] >> (7 - (pos & 7))) & 1);
    return v;
}
inline void WritePacked(uint8_t* p, size_t pos, int bits, uint32_t v) {
    if (bits == 8) {
        p[pos >> 3] = static_cast<uint8_t>(v);
        return;
    }
    if ((8 % bits) == 0) {
        int shift = 8 - bits - int(pos & 7);
        uint8_t m = static_cast<uint8_t>(((1u << bits) - 1) << shift);
        p[pos >> 3] = static_cast<uint8_t>((p[pos >> 3] & ~m) | ((v << shift) & m));
        return;
    }
    for (int k = bits - 1; k >= 0; --k, ++pos) {
        uint8_t m = static_cast<uint8_t>(0x80 >> (pos & 7));
        p[pos >> 3] = static_cast<uint8_t>(((v >> k) & 1) ? p[pos >> 3] | m : p[pos >> 3] & ~m);
    }
}

// 8-bit pixels of 3 or 4 bytes copied with their first and third byte exchanged (RGB to BGR and
// back, alpha kept).
void SwapRedBlue(const uint8_t* s, uint8_t* d, int count, int step) {
    int i = 0;
#ifdef __SSE2__
    // Whole registers: 5 pixels of 3 bytes (the 16th byte is written again by the next step) or
    // 4 pixels of 4; the exchange is a shift of the two bytes by two places.
    const int per = step == 3 ? 5 : 4;
    const __m128i first = step == 3
                              ? _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, 0)
                              : _mm_set1_epi32(0x000000FF);
    const __m128i third = _mm_slli_si128(first, 2);
    const __m128i rest = _mm_andnot_si128(_mm_or_si128(first, third), _mm_set1_epi8(-1));
    for (; (i + per) * step + (step == 3 ? 1 : 0) <= count * step; i += per) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * step));
        const __m128i y = _mm_or_si128(_mm_and_si128(x, rest),
                                       _mm_or_si128(_mm_slli_si128(_mm_and_si128(x, first), 2),
                                                    _mm_srli_si128(_mm_and_si128(x, third), 2)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * step), y);
    }
#endif
    for (s += i * step, d += i * step; i < count; ++i, s += step, d += step) {
        d[0] = s[2], d[1] = s[1], d[2] = s[0];
        if (step == 4) d[3] = s[3];
    }
}

}  // namespace

TColorManager::TColorManager() {
    InitGamma(1.0f, 2.2f);
}

void TColorManager::Reset() {
    *this = TColorManager();
}

void TColorManager::SetSourceBitsPerSample(uint8_t v) {
    if (v < 1 || v > 16) throw EColorConversionError(kBadDepth);
    if (v != sourceBits_) sourceBits_ = v, changed_ = true;
}
void TColorManager::SetTargetBitsPerSample(uint8_t v) {
    if (v < 1 || v > 16) throw EColorConversionError(kBadDepth);
    if (v != targetBits_) targetBits_ = v, changed_ = true;
}
void TColorManager::SetSourceSamplesPerPixel(uint8_t v) {
    if (v < 1 || v > 4) throw EColorConversionError(kBadSamples);
    if (v != sourceSamples_) sourceSamples_ = v, changed_ = true;
}
void TColorManager::SetTargetSamplesPerPixel(uint8_t v) {
    if (v < 1 || v > 4) throw EColorConversionError(kBadSamples);
    if (v != targetSamples_) targetSamples_ = v, changed_ = true;
}
void TColorManager::SetSourceScheme(TSampleScheme v) {
    if (v != sourceScheme_) sourceScheme_ = v, changed_ = true;
}
void TColorManager::SetTargetScheme(TSampleScheme v) {
    if (v != targetScheme_) targetScheme_ = v, changed_ = true;
}

void TColorManager::InitGamma(float mainGamma, float displayGamma) {
    mainGamma_ = mainGamma <= 0 ? 1.0f : mainGamma;
    displayGamma_ = displayGamma <= 0 ? 2.2f : displayGamma;
    double e = 1.0 / (double(mainGamma_) * double(displayGamma_));
    for (int i = 0; i < 256; ++i) {
        gamma_[i] = static_cast<uint8_t>(std::nearbyint(std::pow(i / 255.0, e) * 255.0));
    }
}

TPixelFormat TColorManager::PixelFormatFor(int side) const {
    int samples = side == 0 ? sourceSamples_ : targetSamples_;
    int bits = side == 0 ? sourceBits_ : targetBits_;
    switch (samples) {
        case 1:
            if (bits == 1) return pf1bit;
            if (bits >= 2 && bits <= 4) return pf4bit;
            if (bits >= 8 && bits <= 16) return pf8bit;
            return pfCustom;
        case 3:
            return bits >= 1 && bits <= 5 ? pf15bit : pf24bit;
        case 4:
            return bits >= 8 ? pf32bit : pfCustom;
        default:
            return pfCustom;
    }
}

void TColorManager::ChooseConverter() {
    converter_ = nullptr;
    if (IsSourcePaletteScheme(sourceScheme_) != IsTargetPaletteScheme(targetScheme_)) {
        throw EColorConversionError(kIndexedMix);
    }
    SourceOptions = HasAlpha(sourceScheme_) ? SourceOptions | coAlpha : SourceOptions & ~coAlpha;
    TargetOptions = HasAlpha(targetScheme_) ? TargetOptions | coAlpha : TargetOptions & ~coAlpha;
    const int s = sourceBits_, t = targetBits_;
    const bool rgbOut = IsRgbTarget(targetScheme_), bgrOut = IsBgrTarget(targetScheme_);
    using M = TColorManager;
    switch (sourceScheme_) {
        case TSampleScheme::Indexed:
            if (s == 16 && t == 16)
                converter_ = &M::ConvertRowIndexed16To16;
            else if (s == 16)
                converter_ = &M::ConvertRowIndexed16ToN;
            else if (t == 16)
                converter_ = &M::ConvertRowIndexedNTo16;
            else
                converter_ = &M::ConvertRowIndexed;
            break;
        case TSampleScheme::Grey:
            if (s != 16 && t != 16)
                converter_ = &M::ConvertRowIndexed;
            else if (s >= 8 && t >= 8)
                converter_ = &M::ConvertRowGray;
            break;
        case TSampleScheme::GreyAlpha:
            if ((s == 8 || s == 16) && (t == 8 || t == 16)) converter_ = &M::ConvertRowGray;
            break;
        case TSampleScheme::RGB:
        case TSampleScheme::RGBA:
            if (rgbOut) converter_ = &M::ConvertRowRGBToRGB;
            if (bgrOut) converter_ = &M::ConvertRowRGBToBGR;
            break;
        case TSampleScheme::BGR:
        case TSampleScheme::BGRA:
            if (rgbOut) converter_ = &M::ConvertRowBGRToRGB;
            if (bgrOut) converter_ = &M::ConvertRowBGRToBGR;
            break;
        case TSampleScheme::CMYK:
            if (rgbOut) converter_ = &M::ConvertRowCMYKToRGB;
            if (bgrOut) converter_ = &M::ConvertRowCMYKToBGR;
            break;
        case TSampleScheme::CIELab:
            if (rgbOut) converter_ = &M::ConvertRowLabToRGB;
            if (bgrOut) converter_ = &M::ConvertRowLabToBGR;
            break;
        case TSampleScheme::YCbCr:
        case TSampleScheme::PhotoYCC:
            if (rgbOut || bgrOut) BuildYCbCrTables(sourceScheme_ == TSampleScheme::PhotoYCC);
            if (rgbOut) converter_ = &M::ConvertRowYCbCrToRGB;
            if (bgrOut) converter_ = &M::ConvertRowYCbCrToBGR;
            break;
        default:
            break;
    }
    changed_ = false;
}

void TColorManager::ConvertScanline(const uint8_t* const* sources, int sourceCount, uint8_t* target,
                                    int count, uint8_t mask) {
    if (changed_) ChooseConverter();
    if (converter_ == nullptr) throw EColorConversionError(kNoConverter);
    (this->*converter_)(sources, sourceCount, target, count, mask);
}

void TColorManager::ConvertRGBFamily(const uint8_t* const* src, int n, uint8_t* dst, int count,
                                     uint8_t mask, bool sourceBlueFirst, bool targetBlueFirst) {
    const int s = sourceBits_, t = targetBits_;
    if ((s != 8 && s != 16) || (t != 8 && t != 16)) return;
    const bool srcAlpha = SourceOptions & coAlpha, dstAlpha = TargetOptions & coAlpha;
    const bool gamma = TargetOptions & coApplyGamma, swap = SourceOptions & coNeedByteSwap;
    const uint8_t* g = gamma_.data();
    const bool planar = n > 1;
    const int comps = srcAlpha ? 4 : 3;
    const int sb = s / 8;
    // Source component k of the pixel read order red, green, blue, alpha.
    const int order[4] = {sourceBlueFirst ? 2 : 0, 1, sourceBlueFirst ? 0 : 2, 3};
    // Target position of red, green, blue, alpha.
    const int place[4] = {targetBlueFirst ? 2 : 0, 1, targetBlueFirst ? 0 : 2, 3};
    const int dstStep = (dstAlpha ? 4 : 3) * (t / 8);

    if (!planar && mask == 0xFF && s == 8 && t == 8) {
        const uint8_t* p = src[0];
        const int r = order[0], b = order[2], pr = place[0], pb = place[2];
        if (gamma) {
            for (int i = 0; i < count; ++i, p += comps, dst += dstStep) {
                dst[pr] = g[p[r]], dst[1] = g[p[1]], dst[pb] = g[p[b]];
                if (srcAlpha && dstAlpha) dst[3] = p[3];
            }
        } else if (srcAlpha == dstAlpha) {
            if (r == pr)
                std::memcpy(dst, p, size_t(count) * comps);
            else
                SwapRedBlue(p, dst, count, comps);
        } else {
            for (int i = 0; i < count; ++i, p += comps, dst += dstStep) {
                dst[pr] = p[r], dst[1] = p[1], dst[pb] = p[b];
            }
        }
        return;
    }

    const uint8_t* planes[4] = {};
    for (int k = 0; k < comps; ++k)
        planes[k] = planar ? (k < n ? src[k] : nullptr) : src[0];
    if (planar && (n < comps)) return;
    const size_t pixelStep = planar ? sb : size_t(comps) * sb;
    size_t offset = 0;
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, dst += dstStep, bit = RotateRight(bit)) {
        if (!(mask & bit)) continue;
        const int channels = srcAlpha && dstAlpha ? 4 : 3;
        for (int c = 0; c < channels; ++c) {
            const int k = order[c];
            const uint8_t* p = planes[k] + offset + (planar ? 0 : size_t(k) * sb);
            const bool isAlpha = c == 3;
            uint32_t v;
            if (s == 8) {
                v = *p;
                if (t == 8) {
                    dst[place[c]] = gamma && !isAlpha ? g[v] : static_cast<uint8_t>(v);
                } else {
                    if (gamma && !isAlpha) v = g[v];
                    v = v * 65535 / 255;
                    Write16(dst + place[c] * 2, swap ? Swap16(v) : v);
                }
            } else {
                v = Read16(p, swap);
                if (t == 8) {
                    v = MulDiv16(v, 255, 65535);
                    dst[place[c]] = gamma && !isAlpha ? g[v] : static_cast<uint8_t>(v);
                } else {
                    Write16(dst + place[c] * 2, v);
                }
            }
        }
        offset += pixelStep;
    }
}

void TColorManager::ConvertRowRGBToBGR(const uint8_t* const* s, int n, uint8_t* d, int c,
                                       uint8_t m) {
    ConvertRGBFamily(s, n, d, c, m, false, true);
}
void TColorManager::ConvertRowRGBToRGB(const uint8_t* const* s, int n, uint8_t* d, int c,
                                       uint8_t m) {
    ConvertRGBFamily(s, n, d, c, m, false, false);
}
void TColorManager::ConvertRowBGRToRGB(const uint8_t* const* s, int n, uint8_t* d, int c,
                                       uint8_t m) {
    ConvertRGBFamily(s, n, d, c, m, true, false);
}
void TColorManager::ConvertRowBGRToBGR(const uint8_t* const* s, int n, uint8_t* d, int c,
                                       uint8_t m) {
    ConvertRGBFamily(s, n, d, c, m, true, true);
}

void TColorManager::ConvertRowGray(const uint8_t* const* src, int, uint8_t* dst, int count,
                                   uint8_t mask) {
    const int s = sourceBits_, t = targetBits_;
    const bool swap = SourceOptions & coNeedByteSwap;
    const size_t step = (SourceOptions & coAlpha ? 2 : 1) * size_t(s / 8);
    const int tb = t / 8;
    const uint8_t* p = src[0];
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, dst += tb, bit = RotateRight(bit)) {
        if (!(mask & bit)) continue;
        uint32_t v = s == 16 ? Read16(p, swap) : *p;
        if (s == 16 && t == 8)
            *dst = static_cast<uint8_t>(MulDiv16(v, 255, 65535));
        else if (s == 8 && t == 16)
            Write16(dst, swap ? Swap16(v * 65535 / 255) : v * 65535 / 255);
        else if (t == 16)
            Write16(dst, v);
        else
            *dst = static_cast<uint8_t>(v);
        p += step;
    }
}

void TColorManager::ConvertRowIndexed(const uint8_t* const* src, int, uint8_t* dst, int count,
                                      uint8_t mask) {
    const int s = sourceBits_, t = targetBits_;
    const uint8_t* p = src[0];
    if (s == t && mask == 0xFF) {
        std::memcpy(dst, p, (size_t(s) * count + 7) / 8);
        return;
    }
    const uint32_t sTop = (1u << s) - 1, tTop = (1u << t) - 1;
    if (s == 8 && t == 8) {
        uint8_t bit = 0x80;
        for (int i = 0; i < count; ++i, bit = RotateRight(bit)) {
            if (mask & bit) dst[i] = *p++;
        }
        return;
    }
    size_t sp = 0;
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, bit = RotateRight(bit)) {
        if (!(mask & bit)) continue;
        uint32_t v = ReadPacked(p, sp, s);
        sp += s;
        WritePacked(dst, size_t(i) * t, t, s == t ? v : MulDiv16(v, tTop, sTop));
    }
}

void TColorManager::ConvertRowIndexed16To16(const uint8_t* const* src, int, uint8_t* dst, int count,
                                            uint8_t mask) {
    const bool swap = SourceOptions & coNeedByteSwap;
    const uint8_t* p = src[0];
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, dst += 2, bit = RotateRight(bit)) {
        if (!(mask & bit)) continue;
        Write16(dst, Read16(p, swap));
        p += 2;
    }
}

void TColorManager::ConvertRowIndexed16ToN(const uint8_t* const* src, int, uint8_t* dst, int count,
                                           uint8_t mask) {
    const bool swap = SourceOptions & coNeedByteSwap;
    const int t = targetBits_;
    const uint8_t* p = src[0];
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, bit = RotateRight(bit)) {
        if (!(mask & bit)) continue;
        WritePacked(dst, size_t(i) * t, t, MulDiv16(Read16(p, swap), (1u << t) - 1, 65535));
        p += 2;
    }
}

void TColorManager::ConvertRowIndexedNTo16(const uint8_t* const* src, int, uint8_t* dst, int count,
                                           uint8_t mask) {
    const bool swap = SourceOptions & coNeedByteSwap;
    const int s = sourceBits_;
    size_t sp = 0;
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, dst += 2, bit = RotateRight(bit)) {
        if (!(mask & bit)) continue;
        uint32_t v = MulDiv16(ReadPacked(src[0], sp, s), 65535, (1u << s) - 1);
        sp += s;
        Write16(dst, swap ? Swap16(v) : v);
    }
}

template <typename F>
void TColorManager::ConvertRowColourSpace(const uint8_t* const* src, int n, uint8_t* dst, int count,
                                          uint8_t mask, int sourceSamples, bool targetBlueFirst,
                                          F convert) {
    if (sourceBits_ != 8 || targetBits_ != 8) return;
    const bool planar = n > 1;
    if (planar && n < sourceSamples) return;
    const int dstStep = TargetOptions & coAlpha ? 4 : 3;
    const int pr = targetBlueFirst ? 2 : 0, pb = targetBlueFirst ? 0 : 2;
    size_t offset = 0;
    uint8_t bit = 0x80;
    uint8_t in[4];
    for (int i = 0; i < count; ++i, dst += dstStep, bit = RotateRight(bit)) {
        if (!(mask & bit)) continue;
        for (int k = 0; k < sourceSamples; ++k) {
            in[k] = planar ? src[k][offset] : src[0][offset * sourceSamples + k];
        }
        uint8_t r, g, b;
        convert(in, r, g, b);
        dst[pr] = r, dst[1] = g, dst[pb] = b;
        ++offset;
    }
}

namespace {
void CmykToRgb(const uint8_t* in, uint8_t& r, uint8_t& g, uint8_t& b) {
    const uint32_t k = in[3];
    auto channel = [k](uint32_t ink) {
        return ClampSample(255L - long(ink + k - MulDiv16(ink, k, 255)));
    };
    r = channel(in[0]), g = channel(in[1]), b = channel(in[2]);
}
}  // namespace

void TColorManager::ConvertRowCMYKToRGB(const uint8_t* const* s, int n, uint8_t* d, int c,
                                        uint8_t m) {
    ConvertRowColourSpace(s, n, d, c, m, 4, false, CmykToRgb);
}
void TColorManager::ConvertRowCMYKToBGR(const uint8_t* const* s, int n, uint8_t* d, int c,
                                        uint8_t m) {
    ConvertRowColourSpace(s, n, d, c, m, 4, true, CmykToRgb);
}

void TColorManager::ConvertRowLabToRGB(const uint8_t* const* s, int n, uint8_t* d, int c,
                                       uint8_t m) {
    ConvertRowLabToBGR(s, n, d, c, m);
    // Same arithmetic, other byte order: exchange red and blue of what was written.
    const int step = TargetOptions & coAlpha ? 4 : 3;
    uint8_t bit = 0x80;
    for (int i = 0; i < c; ++i, d += step, bit = RotateRight(bit)) {
        if (m & bit) std::swap(d[0], d[2]);
    }
}
void TColorManager::ConvertRowLabToBGR(const uint8_t* const* s, int n, uint8_t* d, int c,
                                       uint8_t m) {
    const bool byteRange = SourceOptions & coLabByteRange;
    const bool offset = SourceOptions & coLabChromaOffset;
    ConvertRowColourSpace(s, n, d, c, m, 3, true,
                          [&](const uint8_t* in, uint8_t& r, uint8_t& g, uint8_t& b) {
                              double L = byteRange ? in[0] / 2.55 : in[0];
                              double A = offset ? in[1] - 128.0 : double(int8_t(in[1]));
                              double B = offset ? in[2] - 128.0 : double(int8_t(in[2]));
                              double X, Y, Z;
                              if (L >= 7.9996) {
                                  double fy = (L + 16) / 116;
                                  X = std::pow(A / 500 + fy, 3);
                                  Y = fy * fy * fy;
                                  Z = std::pow(fy - B / 200, 3);
                              } else {
                                  Y = L / 903.3;
                                  X = Y + A / 3893.5;
                                  Z = Y - B / 1557.4;
                              }
                              auto out = [](double v) { return ClampSample(std::lround(v * 255)); };
                              r = out(2.998 * X - 1.458 * Y - 0.541 * Z);
                              g = out(-0.952 * X + 1.893 * Y + 0.059 * Z);
                              b = out(0.099 * X - 0.198 * Y + 1.099 * Z);
                          });
}

void TColorManager::BuildYCbCrTables(bool photoYcc) {
    const double lr = lumaWeights_[0], lg = lumaWeights_[1], lb = lumaWeights_[2];
    const double f1 = 2 - 2 * lr, f2 = lr * f1 / lg, f3 = 2 - 2 * lb, f4 = lb * f3 / lg;
    crToRed_.assign(256, 0), cbToBlue_.assign(256, 0);
    crToGreen_.assign(256, 0), cbToGreen_.assign(256, 0);
    for (int i = 0; i < 256; ++i) {
        const double cr = photoYcc ? i - 137 : i - 128, cb = photoYcc ? i - 156 : i - 128;
        crToRed_[i] = int32_t(std::nearbyint(f1 * cr));
        cbToBlue_[i] = int32_t(std::nearbyint(f3 * cb));
        crToGreen_[i] = -int32_t(std::nearbyint(f2 * cr));
        cbToGreen_[i] = -int32_t(std::nearbyint(f4 * cb));
    }
}

void TColorManager::ConvertRowYCbCrToRGB(const uint8_t* const* s, int n, uint8_t* d, int c,
                                         uint8_t m) {
    ConvertRowColourSpace(s, n, d, c, m, 3, false,
                          [this](const uint8_t* in, uint8_t& r, uint8_t& g, uint8_t& b) {
                              r = ClampSample(in[0] + crToRed_[in[2]]);
                              g = ClampSample(in[0] + crToGreen_[in[2]] + cbToGreen_[in[1]]);
                              b = ClampSample(in[0] + cbToBlue_[in[1]]);
                          });
}
void TColorManager::ConvertRowYCbCrToBGR(const uint8_t* const* s, int n, uint8_t* d, int c,
                                         uint8_t m) {
    ConvertRowColourSpace(s, n, d, c, m, 3, true,
                          [this](const uint8_t* in, uint8_t& r, uint8_t& g, uint8_t& b) {
                              r = ClampSample(in[0] + crToRed_[in[2]]);
                              g = ClampSample(in[0] + crToGreen_[in[2]] + cbToGreen_[in[1]]);
                              b = ClampSample(in[0] + cbToBlue_[in[1]]);
                          });
}

TPalette TColorManager::MakePalette(const uint8_t* const* sources, int sourceCount, int layout,
                                    int count, bool reversed) const {
    const int n = std::clamp(count, 0, 256);
    const bool gamma = TargetOptions & coApplyGamma, swap = SourceOptions & coNeedByteSwap;
    auto level = [&](uint32_t v) { return gamma ? gamma_[v] : static_cast<uint8_t>(v); };
    // A zero-filled table of every index, so that a short palette re-spread reads black.
    TPalette work(256);
    for (int i = 0; i < n; ++i) {
        uint32_t c[3] = {};
        switch (layout) {
            case 0:
                for (int k = 0; k < 3; ++k)
                    c[k] = sources[0][i * 3 + k];
                break;
            case 1:
                for (int k = 0; k < 3; ++k)
                    c[k] = sources[0][i * 4 + k];
                break;
            case 2:
                if (sourceCount < 3) return {};
                for (int k = 0; k < 3; ++k)
                    c[k] = sources[k][i];
                break;
            case 3:
                for (int k = 0; k < 3; ++k) {
                    c[k] = MulDiv16(Read16(sources[0] + (i * 3 + k) * 2, swap), 255, 65535);
                }
                break;
            default:
                return {};
        }
        if (reversed) std::swap(c[0], c[2]);
        work[i] = {level(c[0]), level(c[1]), level(c[2]), 0};
    }
    TPalette result;
    const int s = sourceBits_, t = targetBits_;
    if (t <= 8 && s <= 8 && s != t) {
        const uint32_t sTop = (1u << s) - 1, tTop = (1u << t) - 1;
        result.resize(tTop + 1);
        for (uint32_t i = 0; i <= tTop; ++i)
            result[i] = work[MulDiv16(i, sTop, tTop)];
    } else {
        result.assign(work.begin(), work.begin() + n);
    }
    return result;
}

TPalette TColorManager::MakeGrayPalette(bool falling) const {
    const int bits = std::min(int(targetSamples_) * targetBits_, 8);
    const int n = 1 << bits;
    const int step = 255 / (n - 1);
    const bool gamma = TargetOptions & coApplyGamma;
    TPalette result(n);
    for (int i = 0; i < n; ++i) {
        uint8_t v = static_cast<uint8_t>(gamma ? gamma_[i * step] : i * step);
        result[falling ? n - 1 - i : i] = {v, v, v, 0};
    }
    return result;
}

}  // namespace skin
