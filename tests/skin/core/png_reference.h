// libpng as the reference in the PNG decoder's tests: it writes the generated images and reads
// every file at full depth, from which the colours our decoder must show are worked out.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace skin_test {

struct PngSpec {
    int width = 1, height = 1;
    int colorType = 0;  // 0, 2, 3, 4, 6
    int depth = 8;
    bool interlaced = false;
    // One value per sample (palette index, grey, R, G, B, A as the type has them), row after row.
    std::vector<uint16_t> samples;
    std::vector<uint8_t> palette;  // RGB triples
    std::vector<uint8_t> paletteAlpha;
    int gamma = 0;  // gAMA value, 0 for none
    // The colour of tRNS for grey and RGB images: samples, -1 for none.
    int transparent[3] = {-1, -1, -1};
};

std::string WritePng(const PngSpec& image);
// A picture of one colour, 8-bit RGBA; `rgba` holds red in its low byte, alpha on top.
std::string WriteSolidPng(int width, int height, uint32_t rgba);

// A picture of random samples, with a palette entry for every index its depth can address.
PngSpec RandomPng(int colorType, int depth, bool interlaced, int w, int h, std::mt19937& rng);

struct Reference {
    int width = 0, height = 0, colorType = 0, depth = 0;
    bool hasGamma = false;
    int gamma = 0;
    std::vector<uint8_t> palette;  // RGB triples
    // The tRNS samples of a grey or RGB image, -1 for none.
    int key[3] = {-1, -1, -1};
    // Samples as libpng gives them: one byte per sample below 8 bits, big-endian words at 16.
    std::vector<std::vector<uint8_t>> rows;
};

Reference ReadWithLibpng(const std::string& data);

// The colour (0x00BBGGRR, alpha on top for RGBA) our decoder must show at (x, y): 16-bit samples
// scaled by 255 / 65535 truncated, low depths spread over 0..255, grey alpha dropped, and the
// gamma of a gAMA chunk applied to colours (never to alpha).
uint32_t ExpectedColor(const Reference& ref, int x, int y);

// The colour a grey or RGB image shows for its tRNS samples, or -1 without them.
int64_t ExpectedKey(const Reference& ref);
// Whether the pixel carries the tRNS samples.
bool IsKeyPixel(const Reference& ref, int x, int y);

}  // namespace skin_test
