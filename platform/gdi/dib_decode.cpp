// Packed DIB decoding with every length checked against the bytes at hand.
#include "platform/gdi/dib_decode.h"

#include <vector>

namespace win::detail {
namespace {

struct Header {
    uint32_t size = 0;
    int64_t width = 0;
    int64_t height = 0;  // as stored: negative for top-down
    int bpp = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    bool core = false;
};

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6;

std::string ParseHeader(const ByteReader& r, Header& h, size_t& after) {
    if (!r.Has(0, 4)) return "the bitmap header is cut short";
    h.size = r.U32(0);
    if (h.size == 12) {
        if (!r.Has(0, 12)) return "the bitmap header is cut short";
        h.core = true;
        h.width = r.U16(4);
        h.height = r.U16(6);
        if (r.U16(8) != 1) return "the bitmap has more than one plane";
        h.bpp = r.U16(10);
        after = 12;
        return {};
    }
    if (h.size != 40 && h.size != 52 && h.size != 56 && h.size != 108 && h.size != 124)
        return "unsupported bitmap header size " + std::to_string(h.size);
    if (!r.Has(0, h.size)) return "the bitmap header is cut short";
    h.width = r.I32(4);
    h.height = r.I32(8);
    if (r.U16(12) != 1) return "the bitmap has more than one plane";
    h.bpp = r.U16(14);
    h.compression = r.U32(16);
    h.colorsUsed = r.U32(32);
    after = h.size;
    if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
        if (h.size >= 52) {
            for (int i = 0; i < 3; ++i)
                h.masks[i] = r.U32(40 + 4 * i);
            if (h.size >= 56) h.masks[3] = r.U32(52);
        } else {
            const size_t n = h.compression == kBiAlphaBitfields ? 4 : 3;
            if (!r.Has(after, 4 * n)) return "the bit field masks are cut short";
            for (size_t i = 0; i < n; ++i)
                h.masks[i] = r.U32(after + 4 * i);
            after += 4 * n;
        }
    } else if (h.size >= 56) {
        h.masks[3] = r.U32(52);  // an alpha mask beside plain rows
    }
    return {};
}

// A channel read through its mask, scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1))
            ++shift;
        max = m >> shift;
    }
    BYTE Of(uint32_t v) const {
        if (!mask) return 0;
        return BYTE((uint64_t((v & mask) >> shift) * 255 + max / 2) / max);
    }
};

bool ContiguousMask(uint32_t m) {
    if (!m) return true;
    while (!(m & 1))
        m >>= 1;
    return (m & (m + 1)) == 0;
}

// Run-length coded rows, bottom-up as they always are. Runs beyond the bitmap are clipped.
std::string DecodeRle(const ByteReader& r, size_t at, Bitmap& b, bool four) {
    int x = 0, y = b.height - 1;
    auto put = [&](int v) {
        if (x < b.width && y >= 0) {
            BYTE* row = b.Row(y);
            if (four) {
                BYTE& byte = row[x >> 1];
                byte = (x & 1) ? BYTE((byte & 0xF0) | (v & 0xF)) : BYTE((byte & 0x0F) | (v << 4));
            } else {
                row[x] = BYTE(v);
            }
        }
        ++x;
    };
    while (true) {
        if (!r.Has(at, 2)) {
            if (y < 0) return {};  // every row was reached: the end marker alone is missing
            return "the run-length data ends early";
        }
        const int count = r.At(at)[0], code = r.At(at)[1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(four ? ((i & 1) ? code & 0xF : code >> 4) : code);
            continue;
        }
        if (code == 0) {  // end of line
            x = 0;
            --y;
        } else if (code == 1) {  // end of bitmap
            return {};
        } else if (code == 2) {  // delta
            if (!r.Has(at, 2)) return "the run-length data ends early";
            x += r.At(at)[0];
            y -= r.At(at)[1];
            at += 2;
        } else {  // a literal run, padded to 2 bytes
            const size_t bytes = four ? (size_t(code) + 1) / 2 : size_t(code);
            if (!r.Has(at, bytes)) return "the run-length data ends early";
            const BYTE* p = r.At(at);
            for (int i = 0; i < code; ++i)
                put(four ? ((i & 1) ? p[i / 2] & 0xF : p[i / 2] >> 4) : p[i]);
            at += (bytes + 1) & ~size_t(1);
        }
        if (y < -1) return {};
    }
}

}  // namespace

DibResult DecodeDib(const DibSource& src) {
    DibResult out;
    ByteReader r(src.data, src.size);
    Header h;
    size_t at = 0;
    out.error = ParseHeader(r, h, at);
    if (!out.error.empty()) return out;
    const bool topDown = h.height < 0;
    int64_t height = topDown ? -h.height : h.height;
    if (src.iconHalves) {
        if (topDown || height % 2) {
            out.error = "the icon image has an odd height";
            return out;
        }
        height /= 2;
    }
    if (h.width <= 0 || height <= 0) {
        out.error = "the bitmap has no pixels";
        return out;
    }
    if (h.width * height > kMaxBitmapPixels || h.width > 65535 || height > 65535) {
        out.error = "the bitmap is too large";
        return out;
    }
    if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32) {
        out.error = "unsupported bit count " + std::to_string(h.bpp);
        return out;
    }
    const uint32_t c = h.compression;
    const bool rle = c == kBiRle8 || c == kBiRle4;
    if ((c == kBiRle8 && h.bpp != 8) || (c == kBiRle4 && h.bpp != 4) ||
        ((c == kBiBitfields || c == kBiAlphaBitfields) && h.bpp != 16 && h.bpp != 32) ||
        (c != kBiRgb && !rle && c != kBiBitfields && c != kBiAlphaBitfields)) {
        out.error = "unsupported compression " + std::to_string(c);
        return out;
    }
    if (rle && (topDown || src.iconHalves)) {
        out.error = "run-length data must be bottom-up";
        return out;
    }
    for (uint32_t m : h.masks)
        if (!ContiguousMask(m)) {
            out.error = "a bit field mask has holes";
            return out;
        }
    // The colour table.
    std::vector<RGBQUAD> colors;
    if (h.bpp <= 8) {
        const uint32_t full = 1u << h.bpp;
        const uint32_t stored = h.colorsUsed ? h.colorsUsed : full;
        if (stored > 256 && !h.core) {
            out.error = "the colour table is too long";
            return out;
        }
        const size_t entry = h.core ? 3 : 4;
        if (!r.Has(at, size_t(stored) * entry)) {
            out.error = "the colour table is cut short";
            return out;
        }
        for (uint32_t i = 0; i < stored && i < full; ++i) {
            const BYTE* q = r.At(at + i * entry);
            colors.push_back(RGBQUAD{q[0], q[1], q[2], 0});
        }
        at += size_t(stored) * entry;
    }
    const size_t pixels = src.pixelOffset ? src.pixelOffset : at;
    const bool alphaMask = h.masks[3] != 0;
    const int outBpp = h.bpp == 16 ? (alphaMask ? 32 : 24) : h.bpp;
    out.bitmap = MakeBitmap(int(h.width), int(height), outBpp);
    if (!out.bitmap) {
        out.error = "out of memory for the bitmap";
        return out;
    }
    Bitmap& b = *out.bitmap;
    b.dib = true;
    if (h.bpp <= 8) {
        b.colors = colors;
        b.colors.resize(size_t(1) << h.bpp);  // indexes past the table show black
    }
    if (rle) {
        // Decoded bottom-up into a bottom-up bitmap, then kept as it lies.
        b.bottomUp = true;
        out.error = DecodeRle(r, pixels, b, c == kBiRle4);
        if (!out.error.empty()) out.bitmap.reset();
        return out;
    }
    const size_t rowBytes = size_t(DibRowBytes(int(h.width), h.bpp));
    if (!r.Has(pixels, rowBytes * size_t(height))) {
        out.error = "the pixel data is cut short";
        out.bitmap.reset();
        return out;
    }
    const bool plain =
        h.bpp != 16 && !(h.bpp == 32 && (c == kBiBitfields || c == kBiAlphaBitfields) &&
                         !(h.masks[0] == 0xFF0000 && h.masks[1] == 0xFF00 && h.masks[2] == 0xFF));
    uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (h.bpp == 16 && c == kBiRgb) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    const Channel ch[4] = {Channel(masks[0]), Channel(masks[1]), Channel(masks[2]),
                           Channel(masks[3])};
    const size_t copy = size_t(DibRowBytes(int(h.width), h.bpp));
    for (int64_t y = 0; y < height; ++y) {
        const BYTE* s = r.At(pixels + rowBytes * size_t(topDown ? y : height - 1 - y));
        BYTE* d = b.Row(int(y));
        if (plain) {
            std::memcpy(d, s, copy);
            continue;
        }
        const int step = h.bpp / 8;
        for (int64_t x = 0; x < h.width; ++x) {
            const uint32_t v = step == 2 ? uint32_t(s[2 * x] | (s[2 * x + 1] << 8))
                                         : ByteReader(s + 4 * x, 4).U32(0);
            BYTE* p = d + x * (outBpp / 8);
            p[0] = ch[2].Of(v);
            p[1] = ch[1].Of(v);
            p[2] = ch[0].Of(v);
            if (outBpp == 32) p[3] = ch[3].Of(v);
        }
    }
    if (src.iconHalves) {
        // The AND mask: 1 bit per pixel, right after the colour rows.
        const size_t maskAt = pixels + rowBytes * size_t(height);
        const size_t maskRow = size_t(DibRowBytes(int(h.width), 1));
        out.mask = MakeBitmap(int(h.width), int(height), 1);
        if (!out.mask) {
            out.error = "out of memory for the bitmap";
            out.bitmap.reset();
            return out;
        }
        out.mask->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        if (r.Has(maskAt, maskRow * size_t(height))) {
            for (int64_t y = 0; y < height; ++y)
                std::memcpy(out.mask->Row(int(y)), r.At(maskAt + maskRow * size_t(height - 1 - y)),
                            maskRow);
        } else if (h.bpp != 32) {
            out.error = "the icon mask is cut short";
            out.bitmap.reset();
            out.mask.reset();
        }
        // A 32-bit image without its mask relies on its alpha: the mask stays opaque.
    }
    return out;
}

}  // namespace win::detail
