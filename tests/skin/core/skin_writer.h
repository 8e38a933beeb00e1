// The tests' writer of skins, as the program holds none: packed blobs entry by entry, the
// pictures skins are made of (24- and 32-bit BMP files, JPEG files), and whole skins as packed
// blobs or folders.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace skin_test {

std::string Le32(int32_t v);
std::string Deflate(const std::string& data, int level = 9);

// Packed entries and blobs; kNatural stands for the true size or count.
constexpr int32_t kNatural = INT32_MIN;
std::string Entry(const std::string& name, const std::string& data, int32_t size = kNatural,
                  const std::string* stream = nullptr);
std::string Pack(const std::vector<std::string>& entries, int32_t count = kNatural);

// Colour 0x00BBGGRR (alpha on top for 32 bits) of the pixel at (x, y).
using PixelFn = std::function<uint32_t(int x, int y)>;
PixelFn Solid(uint32_t colour);

// BMP files, rows bottom-up.
std::string Bmp24(int width, int height, const PixelFn& pixel);
std::string Bmp32(int width, int height, const PixelFn& pixel);
std::string Jpeg(int width, int height, uint32_t colour);

// A whole skin: its options text and its files, in order.
struct TestSkin {
    std::string Options;
    std::vector<std::pair<std::string, std::string>> Files;

    TestSkin& Add(const std::string& name, const std::string& data) {
        Files.emplace_back(name, data);
        return *this;
    }
    // "Options.dat" first, then the files.
    std::string Packed() const;
    // The files into `folder` (which must exist), "Options.dat" among them.
    void WriteFolder(const std::string& folder) const;
};

}  // namespace skin_test
