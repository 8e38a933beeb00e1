// Reading the screen bitmap and writing it with libpng.
#include "platform/display/screenshot.h"

#include <png.h>

#include <algorithm>
#include <cstdio>

#include "platform/gdi/bitmap.h"
#include "platform/user/screen.h"

namespace display {

Rgb CaptureScreen(const win::RECT* part) {
    Rgb out;
    win::BitmapView v;
    if (!win::GetBitmapView(win::ComposeScreen(), &v) || v.bitsPerPixel != 32) return out;
    win::RECT all{0, 0, v.width, v.height}, r = all;
    if (part != nullptr && !win::IntersectRect(&r, part, &all)) return out;
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    out.pixels.resize(size_t(out.width) * size_t(out.height) * 3);
    unsigned char* o = out.pixels.data();
    for (int y = r.top; y < r.bottom; ++y) {
        const win::BYTE* row = v.Row(y) + r.left * 4;
        for (int x = 0; x < out.width; ++x, row += 4) {
            *o++ = row[2];
            *o++ = row[1];
            *o++ = row[0];
        }
    }
    return out;
}

bool WritePng(const Rgb& image, const std::string& path) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != size_t(image.width) * size_t(image.height) * 3)
        return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png != nullptr && info != nullptr;
    if (ok && setjmp(png_jmpbuf(png))) ok = false;
    if (ok) {
        png_init_io(png, f);
        png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < image.height; ++y)
            png_write_row(png, image.pixels.data() + size_t(y) * size_t(image.width) * 3);
        png_write_end(png, info);
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    bool closed = std::fclose(f) == 0;
    if (!ok || !closed) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}

Rgb ReadPng(const std::string& path) {
    Rgb out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return out;
    }
    out.width = int(image.width);
    out.height = int(image.height);
    out.pixels = std::move(pixels);
    return out;
}

}  // namespace display
