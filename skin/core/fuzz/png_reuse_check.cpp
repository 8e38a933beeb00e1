#include "skin/core/fuzz/png_reuse_check.h"

#include <zlib.h>

#include <cstring>
#include <memory>
#include <utility>

#include "platform/gdi/gdi.h"
#include "skin/core/pixels/crc32.h"
#include "skin/core/pixels/png_graphic.h"
#include "vcl/graphics/canvas.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/streams.h"

namespace skin::fuzz {
namespace {

// What a load left behind, field by field.
using State = std::vector<std::pair<const char*, std::string>>;

template <typename T>
std::string Bytes(const T& v) {
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

std::string ErrorOf(const std::exception& e) {
    if (auto* v = dynamic_cast<const vcl::Exception*>(&e))
        return std::string(v->ClassName()) + ": " + v->Message;
    return std::string("std: ") + e.what();
}

void AddDecoder(State& s, const PngDecoder& d) {
    const TPngHeaderInfo& h = d.Header;
    s.push_back({"header", Bytes(h.Flags) + Bytes(h.Width) + Bytes(h.Height) + Bytes(h.Scheme) +
                               Bytes(h.BitsPerSample) + Bytes(h.BitsPerPixel) + Bytes(h.FileGamma) +
                               Bytes(h.Interlaced)});
    s.push_back({"alpha table", std::string(d.AlphaTable.begin(), d.AlphaTable.end())});
    s.push_back({"key", Bytes(d.TransparentKey)});
    s.push_back({"background", Bytes(d.BackgroundFill)});
}

State LoadImage(PngDecoder& d, PngImage& image, const std::string& png) {
    State s;
    try {
        s.push_back({"used", Bytes(d.Load(reinterpret_cast<const uint8_t*>(png.data()), png.size(),
                                          image))});
    } catch (const std::exception& e) {
        s.push_back({"error", ErrorOf(e)});
    }
    AddDecoder(s, d);
    s.push_back({"format", Bytes(image.PixelFormat())});
    s.push_back({"size", Bytes(image.Width()) + Bytes(image.Height())});
    s.push_back({"transparent", Bytes(image.TransparentColor())});
    std::string palette;
    for (const auto& e : image.Palette())
        palette += Bytes(e);
    s.push_back({"palette", palette});
    std::string pixels;
    for (int y = 0; y < image.Height(); ++y)
        pixels.append(reinterpret_cast<const char*>(image.Row(y)), image.Stride());
    s.push_back({"pixels", pixels});
    return s;
}

State LoadGraphic(TPNGGraphic& g, const std::string& png) {
    State s;
    vcl::TStringStream stream(png);
    try {
        g.LoadFromStream(&stream);
    } catch (const std::exception& e) {
        s.push_back({"error", ErrorOf(e)});
    }
    s.push_back({"position", Bytes(stream.Position())});
    AddDecoder(s, g.Decoder());
    s.push_back({"format", Bytes(g.PixelFormat())});
    s.push_back({"size", Bytes(g.Width()) + Bytes(g.Height())});
    s.push_back({"transparent",
                 Bytes(g.Transparent()) + (g.Transparent() ? Bytes(g.TransparentColor()) : "")});
    if (g.Empty()) return s;
    const int bits = vcl::BitsOfPixelFormat(g.PixelFormat());
    if (bits <= 8) {
        win::RGBQUAD colours[256];
        const win::UINT n = win::GetDIBColorTable(g.Canvas()->Handle(), 0, 256, colours);
        s.push_back({"palette", std::string(reinterpret_cast<const char*>(colours),
                                            n * sizeof(win::RGBQUAD))});
    }
    std::string pixels;
    const size_t rowBytes = (size_t(g.Width()) * bits + 7) / 8;
    for (int y = 0; y < g.Height(); ++y)
        pixels.append(reinterpret_cast<const char*>(g.ScanLine(y)), rowBytes);
    s.push_back({"pixels", pixels});
    return s;
}

std::string Difference(const char* who, size_t index, const State& reused, const State& fresh) {
    if (reused.size() != fresh.size()) {
        return std::string(who) + " picture " + std::to_string(index) +
               ": a reused load fails where a fresh one does not, or the other way round";
    }
    for (size_t i = 0; i < reused.size(); ++i) {
        if (reused[i] != fresh[i]) {
            return std::string(who) + " picture " + std::to_string(index) + ": " + reused[i].first +
                   " differs from a fresh load";
        }
    }
    return {};
}

void PutBe32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char(v >> shift);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBe32(out, uint32_t(data.size()));
    const std::string body = type + data;
    out += body;
    PutBe32(out, UpdateCrc32(0, body.data(), body.size()));
}

}  // namespace

std::string CompareReusedLoads(const std::vector<std::string>& pictures) {
    PngDecoder decoder;
    PngImage image;
    TPNGGraphic graphic;
    for (size_t i = 0; i < pictures.size(); ++i) {
        {
            PngDecoder freshDecoder;
            PngImage freshImage;
            const std::string d = Difference("decoder", i, LoadImage(decoder, image, pictures[i]),
                                             LoadImage(freshDecoder, freshImage, pictures[i]));
            if (!d.empty()) return d;
        }
        TPNGGraphic fresh;
        const std::string d = Difference("graphic", i, LoadGraphic(graphic, pictures[i]),
                                         LoadGraphic(fresh, pictures[i]));
        if (!d.empty()) return d;
    }
    return {};
}

std::string MakePlainPng(int colorType, int depth, int width, int height, uint32_t seed) {
    const int samples = colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
    const size_t rowBytes = (size_t(width) * samples * depth + 7) / 8;
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (size_t i = 0; i < rowBytes; ++i) {
            seed = seed * 1103515245u + 12345u;
            raw += char(seed >> 16);
        }
    }
    uLongf n = compressBound(uLong(raw.size()));
    std::string z(n, '\0');
    compress(reinterpret_cast<Bytef*>(z.data()), &n, reinterpret_cast<const Bytef*>(raw.data()),
             uLong(raw.size()));
    z.resize(n);
    std::string png("\x89PNG\r\n\x1a\n", 8), ihdr;
    PutBe32(ihdr, uint32_t(width));
    PutBe32(ihdr, uint32_t(height));
    ihdr += {char(depth), char(colorType), 0, 0, 0};
    PutChunk(png, "IHDR", ihdr);
    if (colorType == 3) {
        std::string palette;
        for (int i = 0; i < (1 << depth) * 3; ++i)
            palette += char(i * 37 + int(seed));
        PutChunk(png, "PLTE", palette);
    }
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", "");
    return png;
}

std::vector<std::string> ReuseSequence(const uint8_t* data, size_t size) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::string> pieces{MakePlainPng(6, 16, 5, 3, 1)};
    size_t start = 0;
    for (size_t i = 1; i + 8 <= size; ++i) {
        if (std::memcmp(data + i, kSignature, 8) != 0) continue;
        pieces.emplace_back(reinterpret_cast<const char*>(data) + start, i - start);
        start = i;
    }
    pieces.emplace_back(reinterpret_cast<const char*>(data) + start, size - start);
    pieces.push_back(MakePlainPng(3, 2, 7, 2, 2));
    pieces.push_back(pieces[1]);
    pieces.push_back(MakePlainPng(0, 16, 3, 3, 3));
    return pieces;
}

}  // namespace skin::fuzz
