#include "tests/skin/core/skin_writer.h"

#include <zlib.h>

#include <fstream>

#include "vcl/graphics/jpeg_codec.h"

namespace skin_test {

std::string Le32(int32_t v) {
    uint32_t u = uint32_t(v);
    return {char(u), char(u >> 8), char(u >> 16), char(u >> 24)};
}

namespace {
std::string Le16(int v) {
    return {char(v), char(v >> 8)};
}
}  // namespace

std::string Deflate(const std::string& data, int level) {
    uLongf n = compressBound(uLong(data.size()));
    std::string z(n, '\0');
    compress2(reinterpret_cast<Bytef*>(z.data()), &n, reinterpret_cast<const Bytef*>(data.data()),
              uLong(data.size()), level);
    z.resize(n);
    return z;
}

std::string Entry(const std::string& name, const std::string& data, int32_t size,
                  const std::string* stream) {
    return Le32(int32_t(name.size())) + name +
           Le32(size == kNatural ? int32_t(data.size()) : size) +
           (stream ? *stream : Deflate(data));
}

std::string Pack(const std::vector<std::string>& entries, int32_t count) {
    std::string blob = "ASzf" + Le32(count == kNatural ? int32_t(entries.size()) : count);
    for (const auto& e : entries)
        blob += e;
    return blob;
}

PixelFn Solid(uint32_t colour) {
    return [colour](int, int) { return colour; };
}

namespace {

std::string Bmp(int width, int height, int bits, const PixelFn& pixel) {
    const int bpp = bits / 8;
    const int stride = (width * bpp + 3) / 4 * 4;
    const int size = stride * height;
    std::string out = "BM" + Le32(54 + size) + Le32(0) + Le32(54);
    out += Le32(40) + Le32(width) + Le32(height) + Le16(1) + Le16(bits) + Le32(0) + Le32(size) +
           Le32(2835) + Le32(2835) + Le32(0) + Le32(0);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const uint32_t c = pixel(x, y);
            row += {char(c >> 16), char(c >> 8), char(c)};
            if (bpp == 4) row += char(c >> 24);
        }
        row.resize(size_t(stride), '\0');
        out += row;
    }
    return out;
}

}  // namespace

std::string Bmp24(int width, int height, const PixelFn& pixel) {
    return Bmp(width, height, 24, pixel);
}

std::string Bmp32(int width, int height, const PixelFn& pixel) {
    return Bmp(width, height, 32, pixel);
}

std::string Jpeg(int width, int height, uint32_t colour) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < width * height; ++i)
        rgb.insert(rgb.end(), {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16)});
    const std::vector<uint8_t> data = vcl::EncodeJpeg(width, height, rgb, 90, false);
    return {data.begin(), data.end()};
}

std::string TestSkin::Packed() const {
    std::vector<std::string> entries{Entry("Options.dat", Options)};
    for (const auto& [name, data] : Files)
        entries.push_back(Entry(name, data));
    return Pack(entries);
}

void TestSkin::WriteFolder(const std::string& folder) const {
    std::ofstream(folder + "Options.dat", std::ios::binary) << Options;
    for (const auto& [name, data] : Files)
        std::ofstream(folder + name, std::ios::binary) << data;
}

}  // namespace skin_test
