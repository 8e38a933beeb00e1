// The skin core's hot paths beside the libraries that do the same work, in one run, ending with
// the table of ratios (ratio_report.h):
//   PNG decoding    libpng, decoding to the same BGR/BGRA bytes and palette indexes; both inflate
//                   with the same zlib and check the same CRCs and adler sums
//   CRC-32          zlib's crc32
//   resampling      pixman: shrinking with its separable convolution of the same triangle
//                   kernel; enlarging with its bilinear filter, which is the triangle kernel at
//                   scale 1. Its samples sit at pixel centres and its weights have 7 bits, ours
//                   sit at pixel corners with 16-bit weights; both read two taps per axis, so
//                   the work is the same. Enlarging, ours reads past the last pixel only, where
//                   mirroring gives that last pixel: pixman's padding is the same edge rule
//   alpha blending  pixman compositing OVER: ours blends straight alpha, pixman premultiplied,
//                   each with one multiply per channel and side and the same reads and writes
// and, on their own, reading a packed skin, recolouring its master bitmap and blurring a
// caption's glow mask.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>
#include <pixman.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ratio_report.h"
#include "skin/core/data/hue_shift.h"
#include "skin/core/data/skin_reader.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/crc32.h"
#include "skin/core/pixels/png_decoder.h"
#include "skin/core/pixels/resampler.h"
#include "skin/core/state/skin_text.h"
#include "tests/skin/core/png_reference.h"
#include "tests/skin/core/skin_writer.h"

namespace {

// A picture that compresses like a real one: smooth gradients with a little noise.
std::vector<uint8_t> Picture(int w, int h, int channels) {
    std::mt19937 rng(1);
    std::vector<uint8_t> px(size_t(w) * h * channels);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < channels; ++c) {
                int v = (x * (c + 1) + y * (3 - c % 3)) / 3 + int(rng() % 9);
                px[(size_t(y) * w + x) * channels + c] = uint8_t(c == 3 ? 128 + (x + y) % 128 : v);
            }
        }
    }
    return px;
}

// A photograph: smooth light and shade, finer texture on top, and sensor noise in every channel.
std::vector<uint8_t> Photo(int w, int h) {
    std::mt19937 rng(2);
    std::vector<uint8_t> px(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double light = 60 * std::sin(x / 37.0 + y / 53.0) +
                                 40 * std::sin(x / 11.0 - y / 29.0) * std::cos(y / 17.0);
            for (int c = 0; c < 3; ++c) {
                const double v = 110 + 20 * c + light * (1 - 0.2 * c) + int(rng() % 13) - 6;
                px[(size_t(y) * w + x) * 3 + c] = uint8_t(std::clamp(v, 0.0, 255.0));
            }
        }
    }
    return px;
}

// A skin picture: rows of buttons with one-pixel frames, faces shaded from top to bottom, and
// transparent rounded corners between them.
std::vector<uint8_t> Skin(int w, int h) {
    std::vector<uint8_t> px(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int bx = x % 64, by = y % 32;
            uint8_t* p = &px[(size_t(y) * w + x) * 4];
            const bool corner = (bx < 2 || bx > 61) && (by < 2 || by > 29);
            const bool frame = bx == 0 || bx == 63 || by == 0 || by == 31;
            const uint8_t face = uint8_t(230 - by * 2);
            p[0] = frame ? 90 : face, p[1] = frame ? 100 : face,
            p[2] = frame ? 120 : uint8_t(face + 10);
            p[3] = corner ? 0 : 255;
        }
    }
    return px;
}

std::string EncodePng(int w, int h, int colorType, bool interlaced, std::vector<uint8_t> px) {
    skin_test::PngSpec png;
    png.width = w, png.height = h, png.colorType = colorType, png.interlaced = interlaced;
    png.samples.assign(px.begin(), px.end());
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < 256; ++i)
            png.palette.insert(png.palette.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    }
    return skin_test::WritePng(png);
}

// libpng decoding into top-down rows of the bytes our decoder gives (BGR, BGRA, indexes).
struct LibpngImage {
    int width = 0, height = 0;
    size_t stride = 0;
    std::vector<uint8_t> pixels;
};

void DecodeWithLibpng(const std::string& data, LibpngImage& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    struct Src {
        const std::string* d;
        size_t pos;
    } src{&data, 0};
    png_set_read_fn(png, &src, [](png_structp p, png_bytep o, png_size_t n) {
        auto* s = static_cast<Src*>(png_get_io_ptr(p));
        std::memcpy(o, s->d->data() + s->pos, n);
        s->pos += n;
    });
    png_read_info(png, info);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.width = int(png_get_image_width(png, info));
    out.height = int(png_get_image_height(png, info));
    out.stride = png_get_rowbytes(png, info);
    out.pixels.resize(out.stride * out.height);
    std::vector<png_bytep> rows(out.height);
    for (int y = 0; y < out.height; ++y)
        rows[y] = out.pixels.data() + y * out.stride;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
}

void CheckSameOutput(const std::string& png) {
    skin::PngDecoder d;
    skin::PngImage ours;
    d.Load(reinterpret_cast<const uint8_t*>(png.data()), png.size(), ours);
    LibpngImage ref;
    DecodeWithLibpng(png, ref);
    for (int y = 0; y < ref.height; ++y) {
        if (std::memcmp(ours.Row(y), ref.pixels.data() + y * ref.stride, ref.stride) != 0) {
            throw std::runtime_error("decoded rows differ from libpng's");
        }
    }
}

struct PngCase {
    const char* name;
    int colorType;
    bool interlaced;
};
const PngCase kPngCases[] = {
    {"rgba", PNG_COLOR_TYPE_RGBA, false},       {"rgb", PNG_COLOR_TYPE_RGB, false},
    {"palette", PNG_COLOR_TYPE_PALETTE, false}, {"rgba_interlaced", PNG_COLOR_TYPE_RGBA, true},
    {"photo", PNG_COLOR_TYPE_RGB, false},       {"skin", PNG_COLOR_TYPE_RGBA, false}};

const std::string& PngData(int i) {
    static std::vector<std::string> files = [] {
        std::vector<std::string> f;
        for (const auto& c : kPngCases) {
            const std::string name = c.name;
            const int channels = c.colorType == PNG_COLOR_TYPE_RGBA  ? 4
                                 : c.colorType == PNG_COLOR_TYPE_RGB ? 3
                                                                     : 1;
            f.push_back(EncodePng(512, 512, c.colorType, c.interlaced,
                                  name == "photo"  ? Photo(512, 512)
                                  : name == "skin" ? Skin(512, 512)
                                                   : Picture(512, 512, channels)));
            CheckSameOutput(f.back());
        }
        return f;
    }();
    return files[i];
}

void BM_PngOurs(benchmark::State& state) {
    const std::string& png = PngData(int(state.range(0)));
    skin::PngDecoder d;
    skin::PngImage image;
    for (auto _ : state) {
        d.Load(reinterpret_cast<const uint8_t*>(png.data()), png.size(), image);
        benchmark::DoNotOptimize(image.Row(0));
    }
    state.SetLabel(kPngCases[state.range(0)].name);
}
void BM_PngLibpng(benchmark::State& state) {
    const std::string& png = PngData(int(state.range(0)));
    LibpngImage image;
    for (auto _ : state) {
        DecodeWithLibpng(png, image);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetLabel(kPngCases[state.range(0)].name);
}
BENCHMARK(BM_PngOurs)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PngLibpng)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

const std::vector<uint8_t>& CrcData() {
    static std::vector<uint8_t> d = Picture(1024, 256, 4);
    return d;
}
void BM_CrcOurs(benchmark::State& state) {
    const auto& d = CrcData();
    for (auto _ : state)
        benchmark::DoNotOptimize(skin::UpdateCrc32(0, d.data(), d.size()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.size()));
}
void BM_CrcZlib(benchmark::State& state) {
    const auto& d = CrcData();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0, d.data(), uInt(d.size())));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.size()));
}
BENCHMARK(BM_CrcOurs);
BENCHMARK(BM_CrcZlib);

// 32-bit images as both sides see them: ours through a view, pixman's as a8r8g8b8 in the same
// byte order.
struct Image32 {
    int w, h;
    std::vector<uint32_t> px;
    Image32(int width, int height) : w(width), h(height), px(size_t(width) * height) {
        auto p = Picture(width, height, 4);
        std::memcpy(px.data(), p.data(), p.size());
    }
    skin::PixelView View() {
        return {reinterpret_cast<uint8_t*>(px.data()), ptrdiff_t(w) * 4, w, h, 4};
    }
    pixman_image_t* Pixman() {
        return pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, px.data(), w * 4);
    }
};

// Sizes: 512 x 512 to 256 x 256 (shrink) and 256 x 256 to 512 x 512 (enlarge), triangle filter.
void BM_ResampleOurs(benchmark::State& state) {
    const int from = int(state.range(0)), to = int(state.range(1));
    Image32 src(from, from), dst(to, to);
    for (auto _ : state)
        skin::ResamplePixels(src.View(), dst.View(), skin::rfTriangle);
}
void BM_ResamplePixman(benchmark::State& state) {
    const int from = int(state.range(0)), to = int(state.range(1));
    Image32 src(from, from), dst(to, to);
    pixman_image_t* s = src.Pixman();
    pixman_image_t* d = dst.Pixman();
    const double scale = double(from) / to;
    pixman_fixed_t* params = nullptr;
    if (scale > 1) {
        int n = 0;
        params = pixman_filter_create_separable_convolution(
            &n, pixman_double_to_fixed(scale), pixman_double_to_fixed(scale), PIXMAN_KERNEL_LINEAR,
            PIXMAN_KERNEL_LINEAR, PIXMAN_KERNEL_LINEAR, PIXMAN_KERNEL_LINEAR, 1, 1);
        pixman_image_set_filter(s, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
    } else {
        pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    }
    pixman_image_set_repeat(s, scale > 1 ? PIXMAN_REPEAT_REFLECT : PIXMAN_REPEAT_PAD);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(scale), pixman_double_to_fixed(scale));
    pixman_image_set_transform(s, &t);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, to, to);
    free(params);
    pixman_image_unref(s);
    pixman_image_unref(d);
}
BENCHMARK(BM_ResampleOurs)->Args({512, 256})->Args({256, 512})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResamplePixman)->Args({512, 256})->Args({256, 512})->Unit(benchmark::kMicrosecond);

// Per-pixel alpha over a 32-bit background (ours straight alpha, pixman premultiplied OVER), and
// a constant-ratio blend (ours through the summing accessor, pixman OVER with a solid mask).
void BM_AlphaBlendOurs(benchmark::State& state) {
    Image32 src(512, 512), dst(512, 512);
    for (auto _ : state) {
        skin::DrawAlphaBitmapOverBg({0, 0, 512, 512}, {0, 0, 512, 512}, dst.View(), src.View(),
                                    skin::EmptyCacheInfo, false);
    }
}
void BM_AlphaBlendPixman(benchmark::State& state) {
    Image32 src(512, 512), dst(512, 512);
    pixman_image_t* s = src.Pixman();
    pixman_image_t* d = dst.Pixman();
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, 512, 512);
    pixman_image_unref(s);
    pixman_image_unref(d);
}
void BM_RatioBlendOurs(benchmark::State& state) {
    Image32 src(512, 512), dst(512, 512);
    for (auto _ : state)
        skin::BlendBitmapRect(dst.View(), src.View(), 100, {0, 0, 512, 512}, {0, 0});
}
void BM_RatioBlendPixman(benchmark::State& state) {
    Image32 src(512, 512), dst(512, 512);
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_x8r8g8b8, 512, 512, src.px.data(), 2048);
    pixman_image_t* d = dst.Pixman();
    pixman_color_t c{0, 0, 0, 0x9B9B};
    pixman_image_t* m = pixman_image_create_solid_fill(&c);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, 0, 0, 512, 512);
    pixman_image_unref(m);
    pixman_image_unref(s);
    pixman_image_unref(d);
}
BENCHMARK(BM_AlphaBlendOurs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AlphaBlendPixman)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RatioBlendOurs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RatioBlendPixman)->Unit(benchmark::kMicrosecond);

// --- skins ---

// A packed skin of 120 sections: a 512 x 256 master bitmap, five images cut from it per
// section, an own PNG picture every tenth section and one JPEG pattern.
std::string PackedSkin120() {
    skin_test::TestSkin s;
    s.Options = "[GLOBALINFO]\nVERSION=6.5\nMASTERBITMAP=MASTER.BMP\nTITLEHEIGHT=24\n";
    for (int i = 0; i < 120; ++i) {
        const std::string n = std::to_string(i);
        s.Options += "[S" + n + "]\n";
        if (i % 3) s.Options += "PARENTCLASS=S" + std::to_string(i - 1) + "\n";
        s.Options +=
            "COLOR=0x00C0C0C0\nFONTCOLOR=0\nTRANSPARENCY=20\nGRADIENTPERCENT=50\n"
            "GRADIENTDATA=16777215;12632256;50;0;0;12632256;8421504;50;0;0\n"
            "BORDERSMASK=^0000^0000^0030^0020^0003^0003^0003^0003^1^0^1^0\n"
            "IMGTOPLEFT=^0030^0000^0036^0006^0000^0000^0000^0000^1^0^0^0\n"
            "GLYPHMASK=@0040@0000@0070@0010@3@0\nPATTERN=~0100~0000~0120~0020~01~0\n"
            "HOTPATTERN=#(0,20,40,40)(2,0,1,1)\n";
        if (i % 10 == 0) s.Options += "GLOW=!GLOW.PNG!1!0!3!0004!0004!0004!0004\n";
    }
    s.Options += "[FORM]\nPATTERN=BACK.JPG\n";
    s.Add("MASTER.BMP", skin_test::Bmp24(512, 256, [](int x, int y) {
              return uint32_t(x & 0xFF) | uint32_t(y & 0xFF) << 8 | 0x400000u;
          }));
    s.Add("GLOW.PNG", skin_test::WriteSolidPng(24, 24, 0x800080FF));
    s.Add("BACK.JPG", skin_test::Jpeg(400, 300, 0x336699));
    return s.Packed();
}

void BM_ReadPackedSkin(benchmark::State& state) {
    vcl::TStringStream blob(PackedSkin120());
    auto convertor = std::make_unique<skin::TacSkinConvertor>();
    convertor->LendPackedData(&blob);
    skin::ExtractPackedSkin(convertor);
    vcl::TMemIniFile ini;
    skin::ReadPackedOptions(*convertor, ini);
    skin::SkinSource source;
    source.Options = &ini;
    source.Convertor = convertor.get();
    for (auto _ : state) {
        skin::TsSkinContent skin;
        skin::ReadSkinContent(skin, source);
        benchmark::DoNotOptimize(skin.Masks.data());
    }
}
BENCHMARK(BM_ReadPackedSkin)->Unit(benchmark::kMillisecond);

// Recolouring a 1024 x 1024 master bitmap of many colours; items are pixels.
void BM_SkinShift(benchmark::State& state) {
    skin::TsSkinContent skin;
    skin.MasterBitmap.reset(skin::NewBitmap24(1024, 1024));
    const skin::PixelView v = skin::ViewOf(skin.MasterBitmap.get());
    for (int y = 0; y < v.Height; ++y) {
        for (int x = 0; x < v.Width; ++x) {
            uint8_t* p = v.At(x, y);
            p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t(x / 4 + y / 4);
        }
    }
    // Each round starts from the same picture: shifted colours would drift towards few.
    const std::vector<uint8_t> original(v.Row(v.Height - 1), v.Row(0) + v.Width * 3);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(v.Row(v.Height - 1), original.data(), original.size());
        state.ResumeTiming();
        if (state.range(0) == 0)
            skin::ShiftSkinHue(skin, 120);
        else
            skin::ShiftSkinSaturation(skin, 30);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 1024 * 1024);
    state.SetLabel(state.range(0) == 0 ? "hue" : "saturation");
}
BENCHMARK(BM_SkinShift)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The glow blur of a caption: a 300 x 20 text rectangle grown by the glow size + 4 on every
// side, dark strokes on white as the letters leave them, blurred afresh each time.
void BM_GlowBlur(benchmark::State& state) {
    const int s = int(state.range(0)), margin = s + 4;
    const int w = 300 + 2 * margin, h = 20 + 2 * margin;
    std::vector<uint8_t> letters(size_t(w) * h, 255), plane(letters.size());
    std::mt19937 rng(3);
    for (int x = margin; x < w - margin; x += 3 + int(rng() % 4)) {
        for (int y = margin + 3; y < h - margin - 4; ++y)
            letters[size_t(y) * w + x] = letters[size_t(y) * w + x + 1] = uint8_t(rng() % 64);
    }
    const skin::PixelView view{plane.data(), w, w, h, 1};
    for (auto _ : state) {
        std::memcpy(plane.data(), letters.data(), plane.size());
        skin::GaussBlur8(view, s);
        benchmark::DoNotOptimize(plane.data());
    }
    state.SetLabel(std::to_string(w) + " x " + std::to_string(h));
}
BENCHMARK(BM_GlowBlur)->Arg(1)->Arg(5)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    std::vector<bench::RatioPair> pairs;
    for (int i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i);
        pairs.push_back({"BM_PngOurs/" + n, "BM_PngLibpng/" + n,
                         std::string("PNG decode ") + kPngCases[i].name + " / libpng", 0.85});
    }
    pairs.push_back({"BM_CrcOurs", "BM_CrcZlib", "CRC-32 / zlib", 1.1});
    pairs.push_back({"BM_ResampleOurs/512/256", "BM_ResamplePixman/512/256",
                     "resample shrink / pixman convolution", 1.1});
    pairs.push_back({"BM_ResampleOurs/256/512", "BM_ResamplePixman/256/512",
                     "resample enlarge / pixman bilinear", 1.1});
    pairs.push_back(
        {"BM_AlphaBlendOurs", "BM_AlphaBlendPixman", "per-pixel alpha blend / pixman OVER", 1.1});
    pairs.push_back({"BM_RatioBlendOurs", "BM_RatioBlendPixman",
                     "constant-ratio blend / pixman OVER mask", 1.1});
    return bench::RunWithRatios(argc, argv, std::move(pairs));
}
