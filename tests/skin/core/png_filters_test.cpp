#include "skin/core/pixels/png_filters.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace skin {
namespace {

std::vector<uint8_t> Noise(size_t n, std::mt19937& rng) {
    std::vector<uint8_t> v(n);
    for (auto& b : v)
        b = uint8_t(rng());
    return v;
}

// Rows of 0 to 70 pixels of every filter distance PNG has, random bytes, random rows above.
TEST(PngFilters, WholePixelsAtATimeGiveWhatOneByteAtATimeGives) {
    std::mt19937 rng(21);
    for (size_t bpp : {1, 2, 3, 4, 6, 8}) {
        for (uint8_t filter = 0; filter <= 4; ++filter) {
            for (int round = 0; round < 40; ++round) {
                const size_t count = bpp * (rng() % 71);
                // Paeth is decided by ties more often in flat pictures: some rows are flat.
                std::vector<uint8_t> prev = Noise(count, rng), row = Noise(count, rng);
                if (round % 4 == 1) std::fill(prev.begin(), prev.end(), uint8_t(rng()));
                std::vector<uint8_t> plain = row;
                UnfilterRowPlain(filter, plain.data(), prev.data(), bpp, count);
                UnfilterRow(filter, row.data(), prev.data(), bpp, count);
                ASSERT_EQ(row, plain)
                    << "filter " << int(filter) << " bpp " << bpp << " count " << count;
            }
        }
    }
}

// Runs of 1 to 9 rows of one filter, as they lie in the image data: each row after its filter
// byte, each row the row above of the next.
TEST(PngFilters, RunsOfRowsGiveWhatRowAfterRowGives) {
    std::mt19937 rng(22);
    for (size_t bpp : {1, 2, 3, 4, 6, 8}) {
        for (uint8_t filter = 1; filter <= 4; ++filter) {
            for (int round = 0; round < 30; ++round) {
                const size_t count = bpp * (1 + rng() % 40), stride = count + 1;
                const size_t rows = 1 + rng() % 9;
                std::vector<uint8_t> prev = Noise(count, rng), data = Noise(stride * rows, rng);
                if (round % 3 == 1) std::fill(data.begin(), data.end(), uint8_t(rng() % 3));
                std::vector<uint8_t> plain = data;
                const uint8_t* above = prev.data();
                for (size_t k = 0; k < rows; ++k) {
                    UnfilterRowPlain(filter, plain.data() + k * stride + 1, above, bpp, count);
                    above = plain.data() + k * stride + 1;
                }
                UnfilterRows(filter, data.data() + 1, prev.data(), stride, rows, bpp, count);
                ASSERT_EQ(data, plain) << "filter " << int(filter) << " bpp " << bpp << " count "
                                       << count << " rows " << rows;
            }
        }
    }
}

}  // namespace
}  // namespace skin
