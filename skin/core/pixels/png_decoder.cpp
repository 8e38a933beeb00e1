#include "skin/core/pixels/png_decoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "skin/core/pixels/adler32.h"
#include "skin/core/pixels/crc32.h"
#include "skin/core/pixels/errors.h"
#include "skin/core/pixels/png_filters.h"
#include "vcl/system/sysutils.h"

namespace skin {
namespace {

const char kInvalidFormat[] = "Cannot load image. Invalid or unexpected PNG image format.";
const char kCompressionScheme[] =
    "Cannot load image. The compression scheme is not supported for PNG files.";
const char kBadPalette[] = "Cannot load image. Palette in PNG file is invalid.";
const char kCrcError[] = "Cannot load image. CRC error found in PNG file.";
const char kCriticalChunk[] = "Cannot load PNG image. Unexpected but critical chunk detected.";
const char kColorFormat[] = "Invalid color format in PNG file.";
const char kExtraData[] = "Cannot load image. Extra compressed data found in PNG file.";
const char kCompressionError[] = "Cannot load image. Compression error found in PNG file.";
const char kLz77Error[] = "LZ77 decompression error.";
const char kNoImageData[] = "Cannot load image. No image data found in PNG file.";
const char kNoPalette[] = "Cannot load image. Palette missing in PNG file.";
const char kBadFilter[] = "Cannot load image. Invalid row filter type in PNG file.";
const char kReadError[] = "Stream read error";

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

constexpr uint32_t Tag(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 |
           uint32_t(uint8_t(s[2])) << 8 | uint32_t(uint8_t(s[3]));
}
constexpr uint32_t kIHDR = Tag("IHDR"), kPLTE = Tag("PLTE"), kIDAT = Tag("IDAT"),
                   kIEND = Tag("IEND"), kgAMA = Tag("gAMA"), kbKGD = Tag("bKGD"),
                   ktRNS = Tag("tRNS");

inline uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline uint32_t BigEndian16(const uint8_t* p) {
    return uint32_t(p[0]) << 8 | p[1];
}

// Letter case of the four name bytes is ignored (bit 5 of each).
inline bool ChunkIs(uint32_t type, uint32_t name) {
    return (type & 0xDFDFDFDF) == (name & 0xDFDFDFDF);
}

// A grey sample of bKGD or tRNS as the colour the image shows for it.
uint8_t GreyLevel(uint32_t v, int depth) {
    if (depth == 16) return static_cast<uint8_t>(MulDiv16(v, 255, 65535));
    if (depth >= 8 || depth < 1) return static_cast<uint8_t>(v);  // odd depths fail later
    const uint32_t top = (1u << depth) - 1;
    return static_cast<uint8_t>((v & top) * 255 / top);
}
uint8_t ColourSample(uint32_t v, int depth) {
    return static_cast<uint8_t>(depth == 16 ? MulDiv16(v, 255, 65535) : v & 0xFF);
}

}  // namespace

// ---- PngImage ----

void PngImage::Clear() {
    format_ = pfDevice;
    palette_.clear();
    width_ = height_ = 0;
    stride_ = 0;
    pixels_.clear();
    transparent_ = clNone;
}

int PngImage::BitsPerPixel() const {
    // The device format and 15-bit pixels take whole 32- and 16-bit words here.
    if (format_ == pfDevice) return 32;
    return format_ == pf15bit ? 16 : vcl::BitsOfPixelFormat(format_);
}

void PngImage::SetPixelFormat(TPixelFormat format) {
    format_ = format;
    Allocate();
}

void PngImage::SetSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    Allocate();
}

void PngImage::Allocate() {
    stride_ = (size_t(width_) * BitsPerPixel() + 31) / 32 * 4;
    pixels_.assign(stride_ * height_, 0);
}

uint32_t PixelValueOf(int bits, const TPalette& palette, TColor color) {
    if (bits >= 24)
        return uint32_t(BlueOf(color)) | uint32_t(GreenOf(color)) << 8 | RedOf(color) << 16;
    uint32_t best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size() && i < (size_t(1) << bits); ++i) {
        const auto& e = palette[i];
        long dr = e.Red - RedOf(color), dg = e.Green - GreenOf(color), db = e.Blue - BlueOf(color);
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = uint32_t(i);
    }
    return best;
}

void FillPixels(uint8_t* row, int width, int bits, uint32_t value, uint8_t mask) {
    if (bits >= 24) {
        const size_t bytes = size_t(bits / 8);
        uint8_t bit = 0x80;
        for (int x = 0; x < width; ++x, row += bytes, bit = bit == 1 ? 0x80 : bit >> 1) {
            if (mask & bit) std::memcpy(row, &value, bytes);
        }
        return;
    }
    if (mask == 0xFF) {
        uint8_t byte = 0;
        for (int k = 0; k < 8; k += bits)
            byte = static_cast<uint8_t>(byte << bits | value);
        std::memset(row, byte, (size_t(width) * bits + 7) / 8);
        return;
    }
    const uint32_t top = (1u << bits) - 1;
    uint8_t bit = 0x80;
    for (int x = 0; x < width; ++x, bit = bit == 1 ? 0x80 : bit >> 1) {
        if (!(mask & bit)) continue;
        const size_t pos = size_t(x) * bits;
        const int shift = 8 - bits - int(pos & 7);
        row[pos >> 3] =
            static_cast<uint8_t>((row[pos >> 3] & ~(top << shift)) | (value & top) << shift);
    }
}

uint32_t PngImage::RawPixel(int x, int y) const {
    const uint8_t* row = Row(y);
    switch (BitsPerPixel()) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
        case 8:
            return row[x];
        case 24:
            return uint32_t(row[x * 3]) | uint32_t(row[x * 3 + 1]) << 8 |
                   uint32_t(row[x * 3 + 2]) << 16;
        default: {
            const uint8_t* p = row + x * 4;
            return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                   uint32_t(p[3]) << 24;
        }
    }
}

uint32_t PngImage::ColorAt(int x, int y) const {
    uint32_t raw = RawPixel(x, y);
    const int bpp = BitsPerPixel();
    if (bpp <= 8) {
        if (raw >= palette_.size()) return 0;
        const auto& e = palette_[raw];
        return RGB(e.Red, e.Green, e.Blue);
    }
    return (raw & 0xFF00FF00) | (raw & 0xFF) << 16 | (raw >> 16 & 0xFF);
}

// ---- one load ----

class PngLoad {
public:
    PngLoad(PngDecoder& owner, const uint8_t* data, size_t size, PngTarget& target)
        : d_(owner), data_(data), size_(size), t_(target) {}
    ~PngLoad() {
        if (zStarted_) inflateEnd(&z_);
    }

    size_t Run();

private:
    void Progress(TProgressStage stage, int percent, bool redraw, const char* text) {
        if (d_.OnProgress) d_.OnProgress(stage, percent, redraw, text);
    }
    void ReadChunkHead();
    void ReadChunkData();
    void SkipChunk() { pos_ += size_t(chunkLength_) + 4; }
    bool ReadHeaderInfo();
    void ReadIhdr();
    int SetupPixelLayout(int colorType, int depth);
    void DecodeImageData();
    bool NextIdat();
    bool StreamSumMatches() const;
    size_t Inflate(uint8_t* out, size_t count);
    std::optional<TColor> SampleColour() const;
    void ReadBackground();
    void ReadTransparency();
    void SetTargetPalette();
    int BitsOfTarget() const { return vcl::BitsOfPixelFormat(t_.PixelFormat()); }
    void SetTransparentKey();
    void GuardKey(const uint8_t* samples, uint8_t* pixels, int count, uint8_t mask) const;

    PngDecoder& d_;
    const uint8_t* data_;
    size_t size_;
    PngTarget& t_;
    size_t pos_ = 0;

    uint32_t chunkLength_ = 0, chunkType_ = 0, crc_ = 0;
    const uint8_t* chunk_ = nullptr;  // data of the last chunk read, inside the input

    uint32_t width_ = 0, height_ = 0;
    int depth_ = 0, colorType_ = 0, compression_ = 0, interlace_ = 0;
    int bytesPerPixel_ = 1;
    bool layoutSet_ = false;  // by this load: a PLTE sets it before the image data
    bool decoded_ = false;    // the image data was read
    TPalette palette_;        // the target's palette: from PLTE or a grey ramp
    bool havePalette_ = false;
    // tRNS of a grey or RGB image: its samples, each cut to the image's depth.
    std::optional<std::array<uint32_t, 3>> keySamples_;
    bool guardKey_ = false;  // pixels that only look like the key must be told apart
    uint32_t keyPixel_ = 0;  // the key as the target holds it: index or blue, green, red

    z_stream z_{};
    bool zStarted_ = false;
    int zResult_ = Z_OK;
    bool truncated_ = false;             // the IDAT chunks ended before the stream
    const char* streamError_ = nullptr;  // raised once the rows before it are done
    uint32_t adler_ = 1;                 // of the output so far
    const uint8_t* idat_ = nullptr;      // the data of the IDAT chunk zlib reads
    uint8_t streamTail_[4] = {};         // the last bytes of the IDAT chunks before it
};

void PngLoad::ReadChunkHead() {
    if (size_ - pos_ < 8) throw vcl::EReadError(kReadError);
    chunkLength_ = BigEndian32(data_ + pos_);
    crc_ = UpdateCrc32(0, data_ + pos_ + 4, 4);
    chunkType_ = BigEndian32(data_ + pos_ + 4);
    pos_ += 8;
    // A chunk never reaches past the end of the input (nor past the format's own limit).
    if (chunkLength_ > 0x7FFFFFFF || size_t(chunkLength_) + 4 > size_ - pos_) {
        throw vcl::EInvalidGraphic(kInvalidFormat);
    }
}

void PngLoad::ReadChunkData() {
    chunk_ = data_ + pos_;
    pos_ += chunkLength_;
    uint32_t stored = BigEndian32(data_ + pos_);
    pos_ += 4;
    if (UpdateCrc32(crc_, chunk_, chunkLength_) != stored) throw vcl::EInvalidGraphic(kCrcError);
}

bool PngLoad::ReadHeaderInfo() {
    auto& h = d_.Header;
    h = TPngHeaderInfo{};
    h.FileGamma = 1.0f;
    if (size_ < 8 + 8 + 13 + 4 || std::memcmp(data_, kSignature, 8) != 0) return false;
    pos_ = 8;
    ReadChunkHead();
    if (!ChunkIs(chunkType_, kIHDR)) return false;
    h.Flags |= 1;
    ReadChunkData();
    if (chunkLength_ != 13) return false;
    ReadIhdr();
    if (width_ == 0 || height_ == 0) return false;
    if (width_ > PngDecoder::kMaxSide || height_ > PngDecoder::kMaxSide ||
        uint64_t(width_) * height_ > PngDecoder::kMaxPixels) {
        return false;
    }
    h.Width = width_;
    h.Height = height_;
    static constexpr TSampleScheme kSchemes[7] = {
        TSampleScheme::Grey,      TSampleScheme::None, TSampleScheme::RGB, TSampleScheme::Indexed,
        TSampleScheme::GreyAlpha, TSampleScheme::None, TSampleScheme::RGBA};
    h.Scheme = colorType_ <= 6 ? kSchemes[colorType_] : TSampleScheme::None;
    h.BitsPerSample = static_cast<uint8_t>(depth_);
    h.SamplesPerPixel = colorType_ == 2 ? 3 : colorType_ == 6 ? 4 : 1;
    h.BitsPerPixel = static_cast<uint8_t>(h.SamplesPerPixel * h.BitsPerSample);
    h.Compression = compression_ == 0 ? 2 : 0;
    h.Interlaced = interlace_ != 0;
    h.HasAlpha = h.Scheme == TSampleScheme::GreyAlpha || h.Scheme == TSampleScheme::RGBA ||
                 h.Scheme == TSampleScheme::BGRA;
    h.FilterMethod = chunk_[11];
    // Only a gAMA is wanted from the rest of the header walk.
    while (size_ - pos_ >= 8) {
        ReadChunkHead();
        if (ChunkIs(chunkType_, kgAMA)) {
            ReadChunkData();
            if (chunkLength_ >= 4) h.FileGamma = float(BigEndian32(chunk_)) / 100000.0f;
            break;
        }
        if (ChunkIs(chunkType_, kIEND)) break;
        SkipChunk();
    }
    return true;
}

void PngLoad::ReadIhdr() {
    width_ = BigEndian32(chunk_);
    height_ = BigEndian32(chunk_ + 4);
    depth_ = chunk_[8];
    colorType_ = chunk_[9];
    compression_ = chunk_[10];
    interlace_ = chunk_[12];
}

int PngLoad::SetupPixelLayout(int colorType, int depth) {
    auto& cm = d_.ColorManager;
    auto layout = [&](TSampleScheme src, int srcSamples, TSampleScheme dst, int dstSamples,
                      int dstBits, TPixelFormat format) {
        cm.SetSourceScheme(src);
        cm.SetSourceSamplesPerPixel(uint8_t(srcSamples));
        cm.SetSourceBitsPerSample(uint8_t(depth));
        cm.SetTargetScheme(dst);
        cm.SetTargetSamplesPerPixel(uint8_t(dstSamples));
        cm.SetTargetBitsPerSample(uint8_t(dstBits));
        t_.SetPixelFormat(format);
        layoutSet_ = true;
    };
    auto indexedFormat = [](int bits) { return bits == 1 ? pf1bit : bits <= 4 ? pf4bit : pf8bit; };
    switch (colorType) {
        case 0:
            if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) break;
            layout(TSampleScheme::Grey, 1, TSampleScheme::Grey, 1,
                   depth == 2    ? 4
                   : depth == 16 ? 8
                                 : depth,
                   indexedFormat(depth));
            palette_ = cm.MakeGrayPalette(false);
            havePalette_ = true;
            return (depth + 7) / 8;
        case 2:
            if (depth != 8 && depth != 16) break;
            layout(TSampleScheme::RGB, 3, TSampleScheme::BGR, 3, 8, pf24bit);
            return depth * 3 / 8;
        case 3:
            if (depth != 1 && depth != 2 && depth != 4 && depth != 8) break;
            layout(TSampleScheme::Indexed, 1, TSampleScheme::Indexed, 1, depth == 2 ? 4 : depth,
                   indexedFormat(depth));
            return 1;
        case 4:
            if (depth != 8 && depth != 16) break;
            layout(TSampleScheme::GreyAlpha, 1, TSampleScheme::Indexed, 1, 8, pf8bit);
            palette_ = cm.MakeGrayPalette(false);
            havePalette_ = true;
            return depth * 2 / 8;
        case 6:
            if (depth != 8 && depth != 16) break;
            layout(TSampleScheme::RGBA, 4, TSampleScheme::BGRA, 4, 8, pf32bit);
            return depth * 4 / 8;
        default:
            break;
    }
    throw vcl::EInvalidGraphic(kColorFormat);
}

// Indexed targets get a palette of every index their depth can address: indexes beyond the
// file's palette show black.
void PngLoad::SetTargetPalette() {
    if (!havePalette_ && colorType_ != 3) return;
    TPixelFormat f = t_.PixelFormat();
    size_t entries = f == pf1bit ? 2 : f == pf4bit ? 16 : f == pf8bit ? 256 : 0;
    TPalette p = palette_;
    p.resize(entries);
    t_.SetPalette(p);
}

// Hands the next IDAT chunk of the run with data to zlib; false at the end of the run.
bool PngLoad::NextIdat() {
    while (ChunkIs(chunkType_, kIDAT)) {
        // The last bytes of the stream so far, where its check sum may begin.
        if (const size_t k = std::min<size_t>(size_t(z_.next_in - idat_), 4); k > 0) {
            std::memmove(streamTail_, streamTail_ + k, 4 - k);
            std::memcpy(streamTail_ + 4 - k, z_.next_in - k, k);
        }
        ReadChunkData();
        idat_ = chunk_;
        z_.next_in = const_cast<uint8_t*>(chunk_);
        z_.avail_in = uInt(chunkLength_);
        ReadChunkHead();
        if (z_.avail_in > 0) return true;
    }
    return false;
}

// zlib is told not to sum the output: it is summed here, faster, and compared with the sum that
// ends the stream, the four bytes before where zlib stopped reading.
bool PngLoad::StreamSumMatches() const {
    uint8_t last[8];
    std::memcpy(last, streamTail_, 4);
    const size_t taken = std::min<size_t>(size_t(z_.next_in - idat_), 4);
    std::memcpy(last + 4, z_.next_in - taken, taken);
    return BigEndian32(last + taken) == adler_;
}

// Inflates up to `count` bytes, as many as the stream gives: fewer only at the end of the data
// (truncated_) or at a fault of the stream (streamError_).
size_t PngLoad::Inflate(uint8_t* out, size_t count) {
    z_.next_out = out;
    z_.avail_out = uInt(count);
    while (z_.avail_out > 0 && !truncated_ && !streamError_) {
        const bool more = z_.avail_in > 0 || NextIdat();
        if (zResult_ == Z_OK) {
            // Without input zlib may still hold output of a copy that the last call cut short.
            uint8_t* from = z_.next_out;
            const int r = inflate(&z_, Z_PARTIAL_FLUSH);
            adler_ = UpdateAdler32(adler_, from, size_t(z_.next_out - from));
            zResult_ = r == Z_BUF_ERROR && !more ? Z_OK : r;
        }
        if (zResult_ == Z_STREAM_END) {
            // The stream ends before the image does, or bytes of it are left in the chunk.
            if (!StreamSumMatches())
                streamError_ = kCompressionError;
            else if (z_.avail_out > 0 || z_.avail_in > 0)
                streamError_ = kExtraData;
            break;
        }
        if (zResult_ != Z_OK) streamError_ = kCompressionError;
        if (!more && z_.avail_out > 0) truncated_ = true;
    }
    return count - z_.avail_out;
}

// The image data is inflated in spans of many rows, so that zlib runs its fast loop nearly all
// the time and copies little into its window; each row is then unfiltered in place, with the row
// before it as the one above, and converted straight into the target's scan line.
void PngLoad::DecodeImageData() {
    Progress(vcl::psStarting, 0, false, "Transfering...");
    if (!layoutSet_) bytesPerPixel_ = SetupPixelLayout(colorType_, depth_);
    if (colorType_ == 3 && !havePalette_) throw vcl::EInvalidGraphic(kNoPalette);
    const size_t rowSampleBytes = depth_ == 16 ? bytesPerPixel_ / 2 : bytesPerPixel_;
    const size_t bpp = std::max(bytesPerPixel_, 1);
    SetTransparentKey();
    SetTargetPalette();
    t_.SetSize(int(width_), int(height_));
    if (d_.TransparentKey != clNone) t_.SetTransparentColor(d_.TransparentKey);
    const int bits = BitsOfTarget();
    auto& cm = d_.ColorManager;

    // The passes: one for a plain image, the seven of Adam7 for an interlaced one.
    struct Pass {
        uint32_t rowStart, rowStep;
        size_t rowBytes;  // filter byte included; 0 for a pass without columns
        uint8_t mask;
    };
    static constexpr uint32_t kRowStart[7] = {0, 0, 4, 0, 2, 0, 1};
    static constexpr uint32_t kColStart[7] = {0, 4, 0, 2, 0, 1, 0};
    static constexpr uint32_t kRowStep[7] = {8, 8, 8, 4, 4, 2, 2};
    static constexpr uint32_t kColStep[7] = {8, 8, 4, 4, 2, 2, 1};
    static constexpr uint8_t kMask[7] = {0x80, 0x08, 0x88, 0x22, 0xAA, 0x55, 0xFF};
    auto rowBytesOf = [&](size_t pixels) { return (pixels * depth_ + 7) / 8 * rowSampleBytes + 1; };
    const size_t fullRow = rowBytesOf(width_);
    std::vector<Pass> passes;
    if (interlace_ != 1) {
        passes.push_back({0, 1, fullRow, 0xFF});
    } else {
        for (int p = 0; p < 7; ++p) {
            const size_t columns =
                width_ > kColStart[p] ? (width_ + kColStep[p] - 1 - kColStart[p]) / kColStep[p] : 0;
            passes.push_back(
                {kRowStart[p], kRowStep[p], columns ? rowBytesOf(columns) : 0, kMask[p]});
        }
    }
    uint64_t left = 0;  // filtered bytes of the image still to inflate
    for (const Pass& p : passes) {
        if (p.rowBytes && p.rowStart < height_)
            left += uint64_t(height_ - p.rowStart + p.rowStep - 1) / p.rowStep * p.rowBytes;
    }

    // The span holds a good many rows, and at least one. The row above the first row of a span
    // is copied aside; above the first row of a pass lie zeros.
    const size_t room = size_t(std::min<uint64_t>(left, std::max(d_.SpanBytes, fullRow)));
    std::vector<uint8_t> span(room), above(fullRow), zeros(fullRow);
    size_t begin = 0, end = 0;  // the inflated bytes not used yet
    size_t unfiltered = 0;      // the span's rows that end before it are unfiltered

    const uint32_t black = PixelValueOf(bits, palette_, clBlack);
    size_t passIndex = 0;
    uint32_t row = 0;
    try {
        for (; passIndex < passes.size(); ++passIndex) {
            const Pass& pass = passes[passIndex];
            if (pass.rowBytes == 0) continue;
            const size_t n = pass.rowBytes;
            const uint8_t* prev = zeros.data();
            for (row = pass.rowStart; row < height_; row += pass.rowStep) {
                if (end - begin < n && !truncated_ && !streamError_) {
                    if (prev != zeros.data()) {
                        std::memcpy(above.data(), prev, n);
                        prev = above.data();
                    }
                    std::memmove(span.data(), span.data() + begin, end - begin);
                    end -= begin, begin = 0, unfiltered = 0;
                    const size_t got =
                        Inflate(span.data() + end, size_t(std::min<uint64_t>(room - end, left)));
                    end += got, left -= got;
                }
                uint8_t* target = t_.ScanLine(int(row));
                if (end - begin >= n) {
                    uint8_t* data = span.data() + begin;
                    begin += n;
                    if (begin > unfiltered) {
                        if (data[0] > 4) throw vcl::EInvalidGraphic(kBadFilter);
                        // The rows of the same filter that follow in the span, in this pass, go
                        // through together.
                        size_t rows = 1;
                        while (begin + rows * n <= end && data[rows * n] == data[0] &&
                               row + rows * pass.rowStep < height_) {
                            ++rows;
                        }
                        UnfilterRows(data[0], data + 1, prev + 1, n, rows, bpp, n - 1);
                        unfiltered = begin + (rows - 1) * n;
                    }
                    cm.ConvertScanline(data + 1, target, int(width_), pass.mask);
                    if (guardKey_) GuardKey(data + 1, target, int(width_), pass.mask);
                    prev = data;
                } else {
                    if (streamError_) throw vcl::EInvalidGraphic(streamError_);
                    // The image data ended early: this row and the rest get nothing from the file.
                    FillPixels(target, int(width_), bits, black, pass.mask);
                    begin = end;
                }
                if (pass.mask == 0xFF) {
                    // The row after the step can lie past the last one; it counts as done.
                    const int done = int(std::min<uint32_t>(row + pass.rowStep, height_));
                    Progress(vcl::psRunning, vcl::MulDiv(done, 100, int(height_)), true, "");
                }
            }
        }
        // A fault behind the last row's bytes: the adler check, or bytes left behind the stream.
        if (streamError_) throw vcl::EInvalidGraphic(streamError_);
    } catch (...) {
        // What the rows did not reach shows the background colour.
        const uint32_t background = PixelValueOf(bits, palette_, d_.BackgroundFill);
        for (; passIndex < passes.size(); ++passIndex) {
            const Pass& pass = passes[passIndex];
            for (; row < height_; row += pass.rowStep)
                FillPixels(t_.ScanLine(int(row)), int(width_), bits, background, pass.mask);
            if (passIndex + 1 < passes.size()) row = passes[passIndex + 1].rowStart;
        }
        throw;
    }
    decoded_ = true;
    while (ChunkIs(chunkType_, kIDAT)) {
        ReadChunkData();
        ReadChunkHead();
    }
}

// The colour of a bKGD or tRNS chunk of a grey (types 0, 4) or RGB (types 2, 6) image, or
// nothing when the chunk is too short to mean anything (it is then ignored).
std::optional<TColor> PngLoad::SampleColour() const {
    const uint8_t* c = chunk_;
    if (colorType_ == 0 || colorType_ == 4) {
        if (chunkLength_ < 2) return std::nullopt;
        uint8_t v = GreyLevel(BigEndian16(c), depth_);
        return RGB(v, v, v);
    }
    if (chunkLength_ < 6) return std::nullopt;
    return RGB(ColourSample(BigEndian16(c), depth_), ColourSample(BigEndian16(c + 2), depth_),
               ColourSample(BigEndian16(c + 4), depth_));
}

void PngLoad::ReadBackground() {
    ReadChunkData();
    if (colorType_ == 3) {
        if (chunkLength_ < 1) return;
        if (size_t index = depth_ == 2 ? chunk_[0] * 5 : chunk_[0]; index < palette_.size()) {
            const auto& e = palette_[index];
            d_.BackgroundFill = RGB(e.Red, e.Green, e.Blue);
        }
    } else if (colorType_ <= 6 && colorType_ != 1 && colorType_ != 5) {
        if (auto colour = SampleColour()) d_.BackgroundFill = *colour;
    }
}

void PngLoad::ReadTransparency() {
    ReadChunkData();
    if (colorType_ == 3) {
        // One alpha per index the bitmap stores: 2-bit indexes are widened to 0, 5, 10 and 15,
        // so the table is spread as the palette is.
        std::array<uint8_t, 256> file;
        file.fill(255);
        std::copy_n(chunk_, std::min<uint32_t>(256, chunkLength_), file.begin());
        d_.AlphaTable.assign(256, 255);
        if (depth_ == 2) {
            for (uint32_t i = 0; i < 16; ++i)
                d_.AlphaTable[i] = file[MulDiv16(i, 3, 15)];
        } else {
            std::copy(file.begin(), file.end(), d_.AlphaTable.begin());
        }
    } else if ((colorType_ == 0 && chunkLength_ >= 2) || (colorType_ == 2 && chunkLength_ >= 6)) {
        // Images with an alpha channel carry their own transparency. The key colour is worked out
        // when the image data begins, with the gamma then in force.
        const uint32_t top = depth_ >= 16 ? 0xFFFF : (1u << depth_) - 1;
        std::array<uint32_t, 3> v{};
        for (int k = 0; k < (colorType_ == 0 ? 1 : 3); ++k)
            v[k] = BigEndian16(chunk_ + 2 * k) & top;
        keySamples_ = v;
    }
}

// The key is the colour the image shows for the tRNS samples: reduced to 8 bits and corrected by
// gamma as the pixels are. Colours that only come to look like it after that reduction are moved
// off it by one step, so that nothing turns transparent that is not transparent in the file.
void PngLoad::SetTransparentKey() {
    if (!keySamples_ || (colorType_ != 0 && colorType_ != 2)) return;
    const auto& cm = d_.ColorManager;
    const auto& v = *keySamples_;
    if (colorType_ == 0) {
        // The index the grey sample becomes, as the colour manager widens or narrows it.
        const uint32_t index = depth_ == 16  ? MulDiv16(v[0], 255, 65535)
                               : depth_ == 2 ? v[0] * 5
                                             : v[0];
        if (index >= palette_.size()) return;
        const TPaletteEntry key = palette_[index];
        for (size_t i = 0; i < palette_.size(); ++i) {
            auto& e = palette_[i];
            if (i == index || e != key) continue;
            const uint8_t g = key.Red < 255 ? key.Red + 1 : key.Red - 1;
            e.Red = e.Green = e.Blue = g;
        }
        d_.TransparentKey = RGB(key.Red, key.Green, key.Blue);
        keyPixel_ = index;
        guardKey_ = depth_ == 16;
        return;
    }
    const bool gamma = cm.TargetOptions & coApplyGamma;
    uint8_t c[3];
    for (int k = 0; k < 3; ++k) {
        const uint32_t level = depth_ == 16 ? MulDiv16(v[k], 255, 65535) : v[k] & 0xFF;
        c[k] = gamma ? cm.GammaTable()[level] : static_cast<uint8_t>(level);
    }
    d_.TransparentKey = RGB(c[0], c[1], c[2]);
    keyPixel_ = uint32_t(c[2]) | uint32_t(c[1]) << 8 | uint32_t(c[0]) << 16;
    guardKey_ = depth_ == 16 || gamma;
}

// Moves the pixels of a converted row that show the key without carrying the key's samples.
void PngLoad::GuardKey(const uint8_t* samples, uint8_t* pixels, int count, uint8_t mask) const {
    const auto& key = *keySamples_;
    const int channels = colorType_ == 0 ? 1 : 3;
    const size_t sampleBytes = depth_ / 8;
    uint8_t bit = 0x80;
    for (int i = 0; i < count; ++i, bit = bit == 1 ? 0x80 : bit >> 1) {
        if (!(mask & bit)) continue;
        uint32_t s[3];
        for (int k = 0; k < channels; ++k, samples += sampleBytes)
            s[k] = depth_ == 16 ? BigEndian16(samples) : *samples;
        if (colorType_ == 0) {
            if (pixels[i] != keyPixel_ || s[0] == key[0]) continue;
            // The neighbouring grey, on the side of the sample.
            pixels[i] = static_cast<uint8_t>((s[0] > key[0] && keyPixel_ < 255) || keyPixel_ == 0
                                                 ? keyPixel_ + 1
                                                 : keyPixel_ - 1);
            continue;
        }
        uint8_t* p = pixels + size_t(i) * 3;
        if ((uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16) != keyPixel_) continue;
        for (int k = 0; k < 3; ++k) {
            if (s[k] == key[k]) continue;
            // Red, green, blue in the file; blue, green, red in the pixel.
            uint8_t& c = p[2 - k];
            c = static_cast<uint8_t>((s[k] > key[k] && c < 255) || c == 0 ? c + 1 : c - 1);
            break;
        }
    }
}

size_t PngLoad::Run() {
    // Nothing of an earlier load survives this one, however early it fails: neither the image
    // and what describes it, nor a gAMA or the converter it chose.
    t_.Clear();
    d_.AlphaTable.clear();
    d_.BackgroundFill = clWhite;
    d_.TransparentKey = clNone;
    auto& cm = d_.ColorManager;
    cm.Reset();
    cm.SourceOptions = coNeedByteSwap;
    if (!ReadHeaderInfo()) throw vcl::EInvalidGraphic(kInvalidFormat);
    pos_ = 8;
    Progress(vcl::psStarting, 0, false, "Preparing...");
    try {
        ReadChunkHead();
        ReadChunkData();
        ReadIhdr();
        if (compression_ != 0) throw vcl::EInvalidGraphic(kCompressionScheme);
        if (inflateInit(&z_) < 0) throw EGraphicCompression(kLz77Error);
        zStarted_ = true;
        inflateValidate(&z_, 0);

        for (;;) {
            ReadChunkHead();
            if (ChunkIs(chunkType_, kIDAT)) {
                Progress(vcl::psEnding, 0, false, "");
                DecodeImageData();
                // The chunk after the run is handled below without being interpreted.
            } else if (ChunkIs(chunkType_, kPLTE)) {
                if (chunkLength_ == 0 || chunkLength_ % 3 != 0) {
                    throw vcl::EInvalidGraphic(kBadPalette);
                }
                ReadChunkData();
                if (colorType_ == 3) {
                    bytesPerPixel_ = SetupPixelLayout(colorType_, depth_);
                    palette_ = cm.MakePalette(&chunk_, 1, 0, int(chunkLength_ / 3), false);
                    havePalette_ = true;
                }
                continue;
            } else if (ChunkIs(chunkType_, kgAMA)) {
                ReadChunkData();
                if (chunkLength_ >= 4) {
                    cm.InitGamma(float(BigEndian32(chunk_)) / 100000.0f, 2.2f);
                    cm.TargetOptions |= coApplyGamma;
                    d_.Header.Flags |= 2;
                }
                continue;
            } else if (ChunkIs(chunkType_, kbKGD)) {
                ReadBackground();
                continue;
            } else if (ChunkIs(chunkType_, ktRNS)) {
                ReadTransparency();
                continue;
            }
            SkipChunk();
            if (ChunkIs(chunkType_, kIEND)) break;
            if (!(chunkType_ & 0x20000000)) throw vcl::EInvalidGraphic(kCriticalChunk);
        }
        if (!decoded_) throw vcl::EInvalidGraphic(kNoImageData);
    } catch (...) {
        Progress(vcl::psEnding, 0, false, "");
        throw;
    }
    if (zStarted_) {
        zStarted_ = false;
        if (inflateEnd(&z_) < 0) throw EGraphicCompression(kLz77Error);
    }
    Progress(vcl::psEnding, 0, false, "");
    return pos_;
}

size_t PngDecoder::Load(const uint8_t* data, size_t size, PngTarget& target) {
    PngLoad load(*this, data, size, target);
    return load.Run();
}

void PngDecoder::LoadFromStream(vcl::TStream* stream, PngTarget& target) {
    const int64_t start = stream->Position();
    const int64_t left = std::max<int64_t>(stream->Size() - start, 0);
    // A memory stream is decoded in place; others are read into memory first.
    if (auto* m = dynamic_cast<vcl::TCustomMemoryStream*>(stream)) {
        size_t used = 0;
        try {
            used = Load(m->Memory() + start, size_t(left), target);
        } catch (...) {
            stream->SetPosition(start + left);
            throw;
        }
        stream->SetPosition(start + int64_t(used));
        return;
    }
    std::vector<uint8_t> data(static_cast<size_t>(left));
    stream->ReadBuffer(data.data(), left);
    stream->SetPosition(start + int64_t(Load(data.data(), data.size(), target)));
}

}  // namespace skin
