#include "skin/core/resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skin/core/errors.h"

namespace skin {
namespace {

constexpr float kRadii[7] = {0.51f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};

double Kernel(int filter, double d) {
    const double x = std::fabs(d);
    switch (filter) {
        case rfBox:
            return d > -0.5 && d <= 0.5 ? 1 : 0;
        case rfTriangle:
            return 1 - x;
        case rfHermite:
            return x * x * (2 * x - 3) + 1;
        case rfBell:
            return x < 0.5 ? 0.75 - x * x : 0.5 * (x - 1.5) * (x - 1.5);
        case rfBSpline:
            return x < 1 ? x * x * (x / 2 - 1) + 2.0 / 3 : (2 - x) * (2 - x) * (2 - x) / 6;
        case rfLanczos:
            return x == 0 ? 1 : std::sin(M_PI * x) * std::sin(x) / (M_PI * x * x);
        case rfMitchell:
            return x < 1 ? x * x * (7.0 / 6 * x - 2) + 8.0 / 9
                         : x * x * (-7.0 / 18 * x + 2) - 10.0 / 3 * x + 16.0 / 9;
        default:
            return 0;
    }
}

// Mirrors an index at the edges until it lies inside 0..size - 1 (a wide kernel over a small
// image can reach past more than one edge).
int Mirror(int64_t j, int size) {
    while (j < 0 || j >= size)
        j = j < 0 ? -j : 2 * int64_t(size) - j - 1;
    return int(j);
}

inline uint8_t Clamp16(int32_t sum) {
    if (sum < 0) return 0;
    if (sum > 0xFF0000) return 255;
    return static_cast<uint8_t>(sum >> 16);
}

template <int B>
void ResampleRow(ptrdiff_t targetStep, uint8_t* target, const uint8_t* source,
                 const TContributorList& list, int count) {
    for (int i = 0; i < count; ++i, target += targetStep) {
        int32_t sum[B] = {};
        const TContributor* c = list.Of(i);
        for (int k = 0; k < list.Counts[i]; ++k) {
            const uint8_t* p = source + c[k].Offset;
            for (int ch = 0; ch < B; ++ch)
                sum[ch] += p[ch] * c[k].Weight;
        }
        for (int ch = 0; ch < B; ++ch)
            target[ch] = Clamp16(sum[ch]);
    }
}

}  // namespace

float FilterRadius(int filter) {
    return filter >= 0 && filter < 7 ? kRadii[filter] : 0.0f;
}

TContributorList BuildFilterContributors(int outputSize, int inputSize, ptrdiff_t step,
                                         int filter) {
    TContributorList list;
    const float radius = FilterRadius(filter);
    const double scale = inputSize > outputSize ? double(outputSize) / inputSize : 1.0;
    const double width = radius / scale;
    list.BlockSize = int32_t(2 * width + 1);
    list.Counts.assign(outputSize, 0);
    list.Blocks.assign(size_t(outputSize) * list.BlockSize, {0, 0});
    if (filter < 0 || filter > 6) return list;
    for (int i = 0; i < outputSize; ++i) {
        const double centre = double(int64_t(i) * inputSize) / outputSize;
        TContributor* block = list.Blocks.data() + size_t(i) * list.BlockSize;
        int32_t& n = list.Counts[i];
        const int64_t last = int64_t(std::ceil(centre + width));
        for (int64_t j = int64_t(std::floor(centre - width)); j <= last; ++j) {
            const double d = (centre - double(j)) * scale;
            if (std::fabs(d) >= radius) continue;
            const double w = Kernel(filter, d);
            if (w == 0) continue;
            if (n == list.BlockSize) break;  // rounding at the window's edge: no room is assumed
            block[n++] = {int32_t(Mirror(j, inputSize) * step),
                          int32_t(std::nearbyint(w * scale * 65536))};
        }
    }
    return list;
}

void ResampleRow24(ptrdiff_t targetStep, uint8_t* target, const uint8_t* source,
                   const TContributorList& list, int count) {
    ResampleRow<3>(targetStep, target, source, list, count);
}

void ResampleRow32(ptrdiff_t targetStep, uint8_t* target, const uint8_t* source,
                   const TContributorList& list, int count) {
    ResampleRow<4>(targetStep, target, source, list, count);
}

void ResamplePixels(const PixelView& src, const PixelView& dst, int filter) {
    if (src.Base == nullptr || src.Width < 2 || src.Height < 2 || dst.Base == nullptr ||
        dst.Width < 1 || dst.Height < 1) {
        throw EResampleError("Source bitmap is too small");
    }
    const int b = src.BytesPerPixel == 4 ? 4 : 3;
    if (dst.BytesPerPixel != b) return;
    if (dst.Width == src.Width && dst.Height == src.Height) {
        if (dst.Base == src.Base) return;
        for (int y = 0; y < src.Height; ++y)
            std::memcpy(dst.Row(y), src.Row(y), size_t(b) * src.Width);
        return;
    }
    auto row = b == 4 ? ResampleRow32 : ResampleRow24;
    // The work image: the new width, the source's height, top-down.
    const ptrdiff_t workStride = ptrdiff_t(dst.Width) * b;
    std::vector<uint8_t> work(size_t(workStride) * src.Height);
    {
        TContributorList list = BuildFilterContributors(dst.Width, src.Width, b, filter);
        for (int y = 0; y < src.Height; ++y) {
            row(b, work.data() + y * workStride, src.Row(y), list, dst.Width);
        }
    }
    TContributorList list = BuildFilterContributors(dst.Height, src.Height, workStride, filter);
    for (int x = 0; x < dst.Width; ++x) {
        row(dst.Stride, dst.Base + x * b, work.data() + x * b, list, dst.Height);
    }
}

}  // namespace skin
