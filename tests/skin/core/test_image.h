// A small image owning its pixels, with rows stored bottom-up as device-independent bitmaps
// usually keep them, so that every painter is tested with a negative stride.
#pragma once

#include <cstdint>
#include <vector>

#include "skin/core/pixels/pixels.h"

namespace skin_test {

class TestImage {
public:
    TestImage(int w, int h, int bytesPerPixel, uint8_t fill = 0)
        : stride_((w * bytesPerPixel + 3) / 4 * 4), pixels_(size_t(stride_) * h, fill) {
        view_.Width = w, view_.Height = h, view_.BytesPerPixel = bytesPerPixel;
        view_.Stride = -stride_;
        view_.Base = pixels_.data() + size_t(stride_) * (h - 1);
    }
    // A copy owns its own pixels.
    TestImage(const TestImage& other)
        : stride_(other.stride_), pixels_(other.pixels_), view_(other.view_) {
        view_.Base = pixels_.data() + size_t(stride_) * (view_.Height - 1);
    }
    TestImage& operator=(const TestImage&) = delete;

    const skin::PixelView& view() const { return view_; }
    operator const skin::PixelView&() const { return view_; }  // NOLINT
    uint8_t* at(int x, int y) { return view_.At(x, y); }
    // Colour 0x00BBGGRR of a pixel, alpha on top for 32-bit images.
    uint32_t get(int x, int y) const {
        const uint8_t* p = view_.At(x, y);
        uint32_t c = skin::RGB(p[2], p[1], p[0]);
        return view_.BytesPerPixel == 4 ? c | uint32_t(p[3]) << 24 : c;
    }
    void set(int x, int y, uint32_t c) {
        uint8_t* p = view_.At(x, y);
        p[0] = skin::BlueOf(c), p[1] = skin::GreenOf(c), p[2] = skin::RedOf(c);
        if (view_.BytesPerPixel == 4) p[3] = uint8_t(c >> 24);
    }
    void fill(uint32_t c) {
        for (int y = 0; y < view_.Height; ++y) {
            for (int x = 0; x < view_.Width; ++x)
                set(x, y, c);
        }
    }

private:
    int stride_;
    std::vector<uint8_t> pixels_;
    skin::PixelView view_;
};

}  // namespace skin_test
