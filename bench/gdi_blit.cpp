// Block transfers against pixman doing the same work, ending with the table of ratios
// (ratio_report.h): BitBlt SRCCOPY against PIXMAN_OP_SRC, AlphaBlend (premultiplied, per pixel)
// against PIXMAN_OP_OVER with the same division by 255, constant alpha against OVER with a solid
// mask, and HALFTONE StretchBlt against pixman's box-filtered scaling. HALFTONE weighs every
// source pixel by the exact part of it a destination pixel covers and rounds the mean half up;
// pixman's box filter weighs the same pixels in 16 steps per pixel with fixed-point weights.
// Both read every source pixel under a destination pixel once, so the work compares.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <random>

#include "bench/ratio_report.h"
#include "platform/gdi/gdi.h"

namespace {

using namespace win;

// A DIB section in a memory DC, with its pixels also wrapped as a pixman image.
struct Surface {
    Surface(int w, int h, int bpp = 32) : width(w), height(h) {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biBitCount = WORD(bpp);
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
        const int stride = ((w * bpp + 31) / 32) * 4;
        image = pixman_image_create_bits(bpp == 32 ? PIXMAN_a8r8g8b8 : PIXMAN_r8g8b8, w, h,
                                         static_cast<uint32_t*>(bits), stride);
        // Premultiplied noise: colour bytes never above alpha.
        std::mt19937 rng(1);
        auto* p = static_cast<BYTE*>(bits);
        for (int i = 0; i < stride * h; i += bpp / 8) {
            const BYTE a = BYTE(rng());
            for (int c = 0; c < 3; ++c)
                p[i + c] = BYTE(rng() % (unsigned(a) + 1));
            if (bpp == 32) p[i + 3] = a;
        }
    }
    ~Surface() {
        pixman_image_unref(image);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    int width, height;
    HBITMAP bitmap;
    HDC dc;
    pixman_image_t* image;
};

void Pixels(benchmark::State& state, int w, int h) {
    state.SetItemsProcessed(int64_t(state.iterations()) * w * h);
}

void BM_BitBlt(benchmark::State& state) {
    const int n = int(state.range(0)), h = int(state.range(1));
    Surface src(n, h), dst(n, h);
    for (auto _ : state)
        BitBlt(dst.dc, 0, 0, n, h, src.dc, 0, 0, SRCCOPY);
    Pixels(state, n, h);
}

void BM_PixmanSrc(benchmark::State& state) {
    const int n = int(state.range(0)), h = int(state.range(1));
    Surface src(n, h), dst(n, h);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, n,
                                 h);
    Pixels(state, n, h);
}

void BM_AlphaBlendPerPixel(benchmark::State& state) {
    const int n = int(state.range(0)), h = int(state.range(1)), bpp = int(state.range(2));
    Surface src(n, h), dst(n, h, bpp);
    BLENDFUNCTION bf;
    bf.AlphaFormat = AC_SRC_ALPHA;
    for (auto _ : state)
        AlphaBlend(dst.dc, 0, 0, n, h, src.dc, 0, 0, n, h, bf);
    Pixels(state, n, h);
}

void BM_PixmanOver(benchmark::State& state) {
    const int n = int(state.range(0)), h = int(state.range(1)), bpp = int(state.range(2));
    Surface src(n, h), dst(n, h, bpp);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, n,
                                 h);
    Pixels(state, n, h);
}

void BM_AlphaBlendConstant(benchmark::State& state) {
    const int n = int(state.range(0)), h = int(state.range(1));
    Surface src(n, h), dst(n, h);
    BLENDFUNCTION bf;
    bf.SourceConstantAlpha = 128;
    for (auto _ : state)
        AlphaBlend(dst.dc, 0, 0, n, h, src.dc, 0, 0, n, h, bf);
    Pixels(state, n, h);
}

void BM_PixmanOverSolidMask(benchmark::State& state) {
    const int n = int(state.range(0)), h = int(state.range(1));
    Surface src(n, h), dst(n, h);
    // The nearest pixman operation: source IN a constant mask, over the target.
    const pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, src.image, mask, dst.image, 0, 0, 0, 0, 0, 0, n,
                                 h);
    pixman_image_unref(mask);
    Pixels(state, n, h);
}

void BM_StretchHalftone(benchmark::State& state) {
    const int sw = int(state.range(0)), sh = int(state.range(1));
    const int dw = int(state.range(2)), dh = int(state.range(3));
    Surface src(sw, sh), dst(dw, dh);
    SetStretchBltMode(dst.dc, HALFTONE);
    for (auto _ : state)
        StretchBlt(dst.dc, 0, 0, dw, dh, src.dc, 0, 0, sw, sh, SRCCOPY);
    Pixels(state, dw, dh);
}

void BM_PixmanBoxScale(benchmark::State& state) {
    const int sw = int(state.range(0)), sh = int(state.range(1));
    const int dw = int(state.range(2)), dh = int(state.range(3));
    Surface src(sw, sh), dst(dw, dh);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(double(sw) / dw),
                                pixman_double_to_fixed(double(sh) / dh));
    pixman_image_set_transform(src.image, &t);
    int n = 0;
    pixman_fixed_t* params = pixman_filter_create_separable_convolution(
        &n, pixman_double_to_fixed(double(sw) / dw), pixman_double_to_fixed(double(sh) / dh),
        PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, 4, 4);
    pixman_image_set_filter(src.image, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
    free(params);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, dw,
                                 dh);
    Pixels(state, dw, dh);
}

}  // namespace

BENCHMARK(BM_BitBlt)->Args({64, 64})->Args({1920, 1080});
BENCHMARK(BM_PixmanSrc)->Args({64, 64})->Args({1920, 1080});
BENCHMARK(BM_AlphaBlendPerPixel)
    ->Args({64, 64, 32})
    ->Args({1920, 1080, 32})
    ->Args({1920, 1080, 24});
BENCHMARK(BM_PixmanOver)->Args({64, 64, 32})->Args({1920, 1080, 32})->Args({1920, 1080, 24});
BENCHMARK(BM_AlphaBlendConstant)->Args({1920, 1080});
BENCHMARK(BM_PixmanOverSolidMask)->Args({1920, 1080});
BENCHMARK(BM_StretchHalftone)
    ->Args({16, 16, 24, 24})
    ->Args({512, 512, 256, 256})
    ->Args({1920, 1080, 800, 600});
BENCHMARK(BM_PixmanBoxScale)
    ->Args({16, 16, 24, 24})
    ->Args({512, 512, 256, 256})
    ->Args({1920, 1080, 800, 600});

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"BM_BitBlt/64/64", "BM_PixmanSrc/64/64", "BitBlt 64x64 / pixman SRC", 0},
         {"BM_BitBlt/1920/1080", "BM_PixmanSrc/1920/1080", "BitBlt 1920x1080 / pixman SRC", 0},
         {"BM_AlphaBlendPerPixel/64/64/32", "BM_PixmanOver/64/64/32",
          "AlphaBlend 64x64 / pixman OVER", 1.1},
         {"BM_AlphaBlendPerPixel/1920/1080/32", "BM_PixmanOver/1920/1080/32",
          "AlphaBlend 1920x1080 / pixman OVER", 0},
         {"BM_AlphaBlendPerPixel/1920/1080/24", "BM_PixmanOver/1920/1080/24",
          "AlphaBlend 24-bit target / pixman OVER", 0},
         {"BM_AlphaBlendConstant/1920/1080", "BM_PixmanOverSolidMask/1920/1080",
          "AlphaBlend constant / pixman OVER mask", 1.1},
         {"BM_StretchHalftone/16/16/24/24", "BM_PixmanBoxScale/16/16/24/24",
          "HALFTONE 16x16 to 24x24 / pixman box", 1.1},
         {"BM_StretchHalftone/512/512/256/256", "BM_PixmanBoxScale/512/512/256/256",
          "HALFTONE 512x512 to 256x256 / pixman box", 1.1},
         {"BM_StretchHalftone/1920/1080/800/600", "BM_PixmanBoxScale/1920/1080/800/600",
          "HALFTONE 1920x1080 to 800x600 / pixman box", 1.1}});
}
