// Cutting a region from an 800 x 600 mask with many holes, run by run, as the skin's region
// builder does: CombineRgn with RGN_OR per run of opaque pixels (and RGN_DIFF per run of
// transparent ones from a full rectangle), against pixman_region32 doing the same.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <random>
#include <vector>

#include "platform/gdi/gdi.h"

namespace {

using namespace win;

constexpr int kW = 800, kH = 600;

// Holes of several sizes scattered over the mask.
std::vector<bool> Mask() {
    std::vector<bool> m(size_t(kW) * kH, true);
    std::mt19937 rng(3);
    for (int i = 0; i < 400; ++i) {
        const int x = int(rng() % kW), y = int(rng() % kH), r = 2 + int(rng() % 12);
        for (int yy = std::max(0, y - r); yy < std::min(kH, y + r); ++yy)
            for (int xx = std::max(0, x - r); xx < std::min(kW, x + r); ++xx)
                if ((xx - x) * (xx - x) + (yy - y) * (yy - y) < r * r)
                    m[size_t(yy) * kW + xx] = false;
    }
    return m;
}

template <class F>
void Runs(const std::vector<bool>& m, bool value, F f) {
    for (int y = 0; y < kH; ++y) {
        int x = 0;
        while (x < kW) {
            while (x < kW && m[size_t(y) * kW + x] != value)
                ++x;
            const int start = x;
            while (x < kW && m[size_t(y) * kW + x] == value)
                ++x;
            if (x > start) f(start, y, x);
        }
    }
}

void BM_RegionUnionOfRuns(benchmark::State& state) {
    const auto m = Mask();
    for (auto _ : state) {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        Runs(m, true, [&](int l, int y, int rr) {
            HRGN run = CreateRectRgn(l, y, rr, y + 1);
            CombineRgn(r, r, run, RGN_OR);
            DeleteObject(run);
        });
        benchmark::DoNotOptimize(r);
        DeleteObject(r);
    }
}

void BM_RegionCutHoles(benchmark::State& state) {
    const auto m = Mask();
    for (auto _ : state) {
        HRGN r = CreateRectRgn(0, 0, kW, kH);
        Runs(m, false, [&](int l, int y, int rr) {
            HRGN run = CreateRectRgn(l, y, rr, y + 1);
            CombineRgn(r, r, run, RGN_DIFF);
            DeleteObject(run);
        });
        benchmark::DoNotOptimize(r);
        DeleteObject(r);
    }
}

void BM_PixmanUnionOfRuns(benchmark::State& state) {
    const auto m = Mask();
    for (auto _ : state) {
        pixman_region32_t r;
        pixman_region32_init(&r);
        Runs(m, true, [&](int l, int y, int rr) {
            pixman_region32_union_rect(&r, &r, l, y, unsigned(rr - l), 1);
        });
        benchmark::DoNotOptimize(r);
        pixman_region32_fini(&r);
    }
}

void BM_PixmanCutHoles(benchmark::State& state) {
    const auto m = Mask();
    for (auto _ : state) {
        pixman_region32_t r, hole;
        pixman_region32_init_rect(&r, 0, 0, kW, kH);
        Runs(m, false, [&](int l, int y, int rr) {
            pixman_region32_init_rect(&hole, l, y, unsigned(rr - l), 1);
            pixman_region32_subtract(&r, &r, &hole);
            pixman_region32_fini(&hole);
        });
        benchmark::DoNotOptimize(r);
        pixman_region32_fini(&r);
    }
}

}  // namespace

BENCHMARK(BM_RegionUnionOfRuns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanUnionOfRuns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegionCutHoles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanCutHoles)->Unit(benchmark::kMillisecond);
