#include "tests/skin/core/png_reference.h"

#include <png.h>

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace skin_test {
namespace {

void OnError(png_structp, png_const_charp message) {
    throw std::runtime_error(std::string("libpng: ") + message);
}
void OnWarning(png_structp, png_const_charp) {}

int SamplesOf(int colorType) {
    switch (colorType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

}  // namespace

std::string WritePng(const PngSpec& s) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), n);
        },
        nullptr);
    png_set_IHDR(png, info, s.width, s.height, s.depth, s.colorType,
                 s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (s.gamma) png_set_gAMA_fixed(png, info, s.gamma);
    std::vector<png_color> pal;
    for (size_t i = 0; i + 2 < s.palette.size(); i += 3) {
        pal.push_back({s.palette[i], s.palette[i + 1], s.palette[i + 2]});
    }
    if (!pal.empty()) png_set_PLTE(png, info, pal.data(), int(pal.size()));
    png_color_16 key{};
    if (s.colorType == 3 && !s.paletteAlpha.empty()) {
        png_set_tRNS(png, info, s.paletteAlpha.data(), int(s.paletteAlpha.size()), nullptr);
    } else if (s.transparent[0] >= 0) {
        key.gray = png_uint_16(s.transparent[0]);
        key.red = png_uint_16(s.transparent[0]);
        key.green = png_uint_16(s.transparent[1]);
        key.blue = png_uint_16(s.transparent[2]);
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    // Every filter type, so that the decoder's unfiltering is exercised.
    png_set_filter(png, 0, PNG_ALL_FILTERS);
    png_write_info(png, info);
    const int spp = SamplesOf(s.colorType);
    const size_t rowBytes = (size_t(s.width) * spp * s.depth + 7) / 8;
    std::vector<std::vector<uint8_t>> rows(s.height, std::vector<uint8_t>(rowBytes, 0));
    for (int y = 0; y < s.height; ++y) {
        for (int i = 0; i < s.width * spp; ++i) {
            uint16_t v = s.samples[size_t(y) * s.width * spp + i];
            if (s.depth == 16) {
                rows[y][i * 2] = uint8_t(v >> 8), rows[y][i * 2 + 1] = uint8_t(v);
            } else if (s.depth == 8) {
                rows[y][i] = uint8_t(v);
            } else {
                size_t bit = size_t(i) * s.depth;
                rows[y][bit / 8] |= uint8_t(v << (8 - s.depth - bit % 8));
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (auto& r : rows)
        pointers.push_back(r.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

PngSpec RandomPng(int colorType, int depth, bool interlaced, int w, int h, std::mt19937& rng) {
    PngSpec s;
    s.width = w, s.height = h, s.colorType = colorType, s.depth = depth, s.interlaced = interlaced;
    const int top = (1 << depth) - 1;
    if (colorType == 3) {
        for (int i = 0; i <= top * 3 + 2; ++i)
            s.palette.push_back(uint8_t(rng()));
    }
    for (int i = 0; i < w * h * SamplesOf(colorType); ++i)
        s.samples.push_back(uint16_t(rng() % (top + 1)));
    return s;
}

std::string WriteSolidPng(int width, int height, uint32_t rgba) {
    PngSpec s;
    s.width = width, s.height = height, s.colorType = 6;
    for (int i = 0; i < width * height; ++i) {
        for (int shift = 0; shift < 32; shift += 8)
            s.samples.push_back(uint16_t(rgba >> shift & 0xFF));
    }
    return WritePng(s);
}

Reference ReadWithLibpng(const std::string& data) {
    Reference ref;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    struct Source {
        const std::string* data;
        size_t pos;
    } src{&data, 0};
    png_set_read_fn(png, &src, [](png_structp p, png_bytep out, png_size_t n) {
        auto* s = static_cast<Source*>(png_get_io_ptr(p));
        if (s->pos + n > s->data->size()) png_error(p, "read past the end");
        std::memcpy(out, s->data->data() + s->pos, n);
        s->pos += n;
    });
    png_read_info(png, info);
    ref.width = int(png_get_image_width(png, info));
    ref.height = int(png_get_image_height(png, info));
    ref.colorType = png_get_color_type(png, info);
    ref.depth = png_get_bit_depth(png, info);
    png_fixed_point g;
    if (png_get_gAMA_fixed(png, info, &g)) ref.hasGamma = true, ref.gamma = int(g);
    png_colorp pal;
    int count;
    if (png_get_PLTE(png, info, &pal, &count)) {
        for (int i = 0; i < count; ++i)
            ref.palette.insert(ref.palette.end(), {pal[i].red, pal[i].green, pal[i].blue});
    }
    png_bytep alpha;
    int alphaCount;
    png_color_16p key;
    if ((ref.colorType == 0 || ref.colorType == 2) &&
        png_get_tRNS(png, info, &alpha, &alphaCount, &key)) {
        const int top = ref.depth == 16 ? 0xFFFF : (1 << ref.depth) - 1;
        if (ref.colorType == 0) {
            ref.key[0] = key->gray & top;
        } else {
            ref.key[0] = key->red & top, ref.key[1] = key->green & top;
            ref.key[2] = key->blue & top;
        }
    }
    if (ref.depth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    ref.rows.assign(ref.height, std::vector<uint8_t>(rowBytes));
    std::vector<png_bytep> pointers;
    for (auto& r : ref.rows)
        pointers.push_back(r.data());
    png_read_image(png, pointers.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return ref;
}

namespace {

// 16-bit samples scaled by 255 / 65535 truncated, low depths spread over 0..255.
uint32_t To8(const Reference& ref, uint32_t v) {
    if (ref.depth == 16) return v * 255 / 65535;
    if (ref.depth < 8) return v * 255 / ((1u << ref.depth) - 1);
    return v;
}

uint32_t Gamma(const Reference& ref, uint32_t v) {
    if (!ref.hasGamma) return v;
    const float g = float(ref.gamma) / 100000.0f;
    const double e = 1.0 / (double(g <= 0 ? 1.0f : g) * double(2.2f));
    return uint32_t(std::nearbyint(std::pow(v / 255.0, e) * 255.0));
}

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | g << 8 | b << 16;
}

uint32_t Sample(const Reference& ref, int x, int y, int k) {
    const auto& row = ref.rows[y];
    const size_t i = size_t(x) * SamplesOf(ref.colorType) + k;
    return ref.depth == 16 ? uint32_t(row[i * 2]) << 8 | row[i * 2 + 1] : row[i];
}

}  // namespace

uint32_t ExpectedColor(const Reference& ref, int x, int y) {
    auto sample = [&](int k) { return Sample(ref, x, y, k); };
    auto shown = [&](int k) { return Gamma(ref, To8(ref, sample(k))); };
    switch (ref.colorType) {
        case 0:
        case 4: {
            uint32_t v = shown(0);
            return Rgb(v, v, v);
        }
        case 3: {
            uint32_t i = sample(0);
            if (i * 3 + 2 >= ref.palette.size()) return 0;
            return Rgb(Gamma(ref, ref.palette[i * 3]), Gamma(ref, ref.palette[i * 3 + 1]),
                       Gamma(ref, ref.palette[i * 3 + 2]));
        }
        case 2:
            return Rgb(shown(0), shown(1), shown(2));
        default:
            return Rgb(shown(0), shown(1), shown(2)) | To8(ref, sample(3)) << 24;
    }
}

int64_t ExpectedKey(const Reference& ref) {
    if (ref.key[0] < 0) return -1;
    auto shown = [&](int k) { return Gamma(ref, To8(ref, uint32_t(ref.key[k]))); };
    return ref.colorType == 0 ? Rgb(shown(0), shown(0), shown(0))
                              : Rgb(shown(0), shown(1), shown(2));
}

bool IsKeyPixel(const Reference& ref, int x, int y) {
    if (ref.key[0] < 0) return false;
    for (int k = 0; k < (ref.colorType == 0 ? 1 : 3); ++k) {
        if (Sample(ref, x, y, k) != uint32_t(ref.key[k])) return false;
    }
    return true;
}

}  // namespace skin_test
