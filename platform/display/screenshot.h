// Screenshots of the virtual screen as PNG files, for tests and documentation.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/win_types.h"

namespace display {

// Pixels of the composed screen (or a part of it) as rows of RGB bytes, top row first.
struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // 3 bytes a pixel
};
Rgb CaptureScreen(const win::RECT* part = nullptr);

// Writes the image as a PNG; false (and nothing left behind) when the file cannot be written.
bool WritePng(const Rgb& image, const std::string& path);
// Reads a PNG (any kind, as RGB), to compare a screenshot with a reference; an empty image
// when the file is missing or cannot be read.
Rgb ReadPng(const std::string& path);

}  // namespace display
