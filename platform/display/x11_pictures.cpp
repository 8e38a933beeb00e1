#include "platform/display/x11_pictures.h"

#include <algorithm>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icon.h"

namespace display {

std::vector<uint32_t> PremultipliedArgb(const win::LayeredLook& look, int width, int height) {
    std::vector<uint32_t> out(size_t(std::max(width, 0)) * size_t(std::max(height, 0)), 0);
    win::BitmapView v;
    if (look.picture == nullptr || !win::GetBitmapView(look.picture, &v) || v.bitsPerPixel != 32)
        return out;
    const unsigned k = look.alpha;
    const int w = std::min(width, v.width), h = std::min(height, v.height);
    for (int y = 0; y < h; ++y) {
        const win::BYTE* src = v.Row(y);
        uint32_t* dst = out.data() + size_t(y) * size_t(width);
        for (int x = 0; x < w; ++x, src += 4) {
            // Either way the colour is scaled by the constant alpha; a per-pixel colour above its
            // own alpha (not premultiplied after all) is held to it.
            const unsigned a = look.perPixel ? src[3] * k / 255 : k;
            uint32_t px = a << 24;
            for (int c = 0; c < 3; ++c)
                px |= std::min(src[c] * k / 255, a) << (8 * c);
            dst[x] = px;
        }
    }
    return out;
}

std::vector<win::RECT> MaskRectangles(const std::vector<uint8_t>& mask, int width, int height) {
    std::vector<win::RECT> out;
    if (width <= 0 || height <= 0 || mask.size() < size_t(width) * size_t(height)) return out;
    size_t band = 0;  // the first rectangle of the band the previous row belongs to
    std::vector<win::RECT> row;
    for (int y = 0; y < height; ++y) {
        row.clear();
        const uint8_t* m = mask.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width;) {
            if (!m[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && m[x])
                ++x;
            row.push_back(win::RECT{start, y, x, y + 1});
        }
        // The same runs as the band above: the band grows by a row.
        const bool same = !row.empty() && out.size() - band == row.size() &&
                          out.back().bottom == y &&
                          std::equal(row.begin(), row.end(), out.begin() + std::ptrdiff_t(band),
                                     [](const win::RECT& a, const win::RECT& b) {
                                         return a.left == b.left && a.right == b.right;
                                     });
        if (same) {
            for (size_t i = band; i < out.size(); ++i)
                out[i].bottom = y + 1;
            continue;
        }
        band = out.size();
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

namespace {

// The icon drawn at `size` over black and over white: where the two differ the icon lets the
// background through, which gives its alpha, and the black one then its colour.
void AppendIcon(win::HICON icon, int size, std::vector<long>& out) {
    std::vector<uint32_t> over[2];
    for (int pass = 0; pass < 2; ++pass) {
        win::BITMAPINFO bmi;
        bmi.bmiHeader.biWidth = size;
        bmi.bmiHeader.biHeight = -size;
        bmi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        win::HBITMAP dib =
            win::CreateDIBSection(nullptr, &bmi, win::DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dib == nullptr) return;
        win::HDC dc = win::CreateCompatibleDC(nullptr);
        win::HGDIOBJ old = win::SelectObject(dc, dib);
        const win::RECT all{0, 0, size, size};
        win::HBRUSH fill = win::CreateSolidBrush(pass ? win::RGB(255, 255, 255) : 0);
        win::FillRect(dc, &all, fill);
        win::DeleteObject(fill);
        win::DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, win::DI_NORMAL);
        win::SelectObject(dc, old);
        win::DeleteDC(dc);
        win::BitmapView v;
        if (win::GetBitmapView(dib, &v))
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const win::BYTE* p = v.Row(y) + x * 4;
                    over[pass].push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
                }
        win::DeleteObject(dib);
    }
    if (over[0].size() != size_t(size) * size_t(size) || over[1].size() != over[0].size()) return;
    out.push_back(size);
    out.push_back(size);
    for (size_t i = 0; i < over[0].size(); ++i) {
        const uint32_t b = over[0][i], w = over[1][i];
        int through = 0;  // how much of the background shows, the most of any channel
        for (int shift : {0, 8, 16})
            through = std::max(through, int((w >> shift) & 0xFF) - int((b >> shift) & 0xFF));
        const unsigned a = 255u - unsigned(std::clamp(through, 0, 255));
        uint32_t px = uint32_t(a) << 24;
        if (a)
            for (int shift : {0, 8, 16})
                px |= std::min(((b >> shift) & 0xFF) * 255 / a, 255u) << shift;
        out.push_back(long(px));
    }
}

}  // namespace

std::vector<long> NetWmIcon(win::HICON icon) {
    std::vector<long> out;
    if (icon == nullptr) return out;
    for (int size : {16, 32})
        AppendIcon(icon, size, out);
    return out;
}

}  // namespace display
