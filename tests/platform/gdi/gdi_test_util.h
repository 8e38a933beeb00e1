// Helpers for the drawing tests: a memory DC over a fresh DIB, and pixel reads.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/gdi.h"

namespace gdi_test {

// A DIB section of the given depth selected into a memory DC; released with the object.
class Canvas {
public:
    Canvas(int width, int height, int bpp = 32, bool bottomUp = false,
           const std::vector<win::RGBQUAD>& colors = {});
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    win::HDC dc() const { return dc_; }
    win::HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The raw pixel: 0xAARRGGBB on 32 bits, 0x00RRGGBB on 24, the index on indexed bitmaps.
    uint32_t Raw(int x, int y) const;
    void SetRaw(int x, int y, uint32_t v);
    void Fill(uint32_t raw);
    // Rows of characters, one per pixel, for compact expectations: each pixel whose raw value
    // is `on` shows as '#', everything else as '.'.
    std::string Picture(uint32_t on) const;

private:
    win::HDC dc_ = nullptr;
    win::HBITMAP bitmap_ = nullptr;
    win::HGDIOBJ old_ = nullptr;
    win::BitmapView view_;
    int width_, height_;
};

}  // namespace gdi_test
