#include "gdi_test_util.h"

#include <cstring>

namespace gdi_test {

using namespace win;

Canvas::Canvas(int width, int height, int bpp, bool bottomUp, const std::vector<RGBQUAD>& colors)
    : width_(width), height_(height) {
    std::vector<BYTE> buf(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* bmi = reinterpret_cast<BITMAPINFO*>(buf.data());
    bmi->bmiHeader = BITMAPINFOHEADER{};
    bmi->bmiHeader.biWidth = width;
    bmi->bmiHeader.biHeight = bottomUp ? height : -height;
    bmi->bmiHeader.biBitCount = WORD(bpp);
    if (bpp <= 8) {
        std::vector<RGBQUAD> table = colors;
        if (table.empty()) {
            const int n = 1 << bpp;
            for (int i = 0; i < n; ++i) {
                const BYTE v = BYTE(i * 255 / (n - 1));
                table.push_back(RGBQUAD{v, v, v, 0});
            }
        }
        bmi->bmiHeader.biClrUsed = DWORD(table.size());
        std::memcpy(BitmapInfoColors(bmi), table.data(), table.size() * sizeof(RGBQUAD));
    }
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(bitmap_, nullptr);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    GetBitmapView(bitmap_, &view_);
}

Canvas::~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

uint32_t Canvas::Raw(int x, int y) const {
    const BYTE* row = view_.Row(y);
    switch (view_.bitsPerPixel) {
        case 32: {
            uint32_t v;
            std::memcpy(&v, row + x * 4, 4);
            return v;
        }
        case 24:
            return row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16);
        case 8:
            return row[x];
        case 4:
            return (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0xF;
        default:
            return (row[x / 8] >> (7 - x % 8)) & 1;
    }
}

void Canvas::SetRaw(int x, int y, uint32_t v) {
    BYTE* row = view_.Row(y);
    switch (view_.bitsPerPixel) {
        case 32:
            std::memcpy(row + x * 4, &v, 4);
            return;
        case 24:
            row[x * 3] = BYTE(v);
            row[x * 3 + 1] = BYTE(v >> 8);
            row[x * 3 + 2] = BYTE(v >> 16);
            return;
        case 8:
            row[x] = BYTE(v);
            return;
        case 4:
            row[x / 2] =
                (x & 1) ? BYTE((row[x / 2] & 0xF0) | v) : BYTE((row[x / 2] & 0xF) | (v << 4));
            return;
        default:
            row[x / 8] =
                v ? BYTE(row[x / 8] | (0x80 >> (x % 8))) : BYTE(row[x / 8] & ~(0x80 >> (x % 8)));
    }
}

void Canvas::Fill(uint32_t raw) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            SetRaw(x, y, raw);
}

std::string Canvas::Picture(uint32_t on) const {
    std::string s;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x)
            s += Raw(x, y) == on ? '#' : '.';
        s += '\n';
    }
    return s;
}

}  // namespace gdi_test
