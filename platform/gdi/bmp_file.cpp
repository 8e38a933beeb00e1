#include "platform/gdi/bmp_file.h"

#include <vector>

#include "platform/gdi/dib_decode.h"

namespace win {

using namespace detail;

HBITMAP ReadBmp(const void* data, size_t size, std::string* error) {
    auto fail = [&](const std::string& why) -> HBITMAP {
        if (error) *error = "Bitmap image is not valid: " + why;
        return nullptr;
    };
    ByteReader r(static_cast<const BYTE*>(data), data ? size : 0);
    if (!r.Has(0, 14) || r.At(0)[0] != 'B' || r.At(0)[1] != 'M') return fail("not a BMP file");
    const uint32_t offBits = r.U32(10);
    if (offBits < 14 + 12 || !r.Has(offBits, 0))
        return fail("the pixel offset lies outside the file");
    DibSource src;
    src.data = r.At(14);
    src.size = size - 14;
    src.pixelOffset = offBits - 14;
    DibResult res = DecodeDib(src);
    if (!res.bitmap) return fail(res.error);
    if (error) error->clear();
    return Add<HBITMAP>(res.bitmap);
}

namespace {

void Put16(std::string& s, uint16_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8);
}

void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xFF);
}

}  // namespace

bool WriteBmp(HBITMAP bitmap, int bitsPerPixel, std::string* out) {
    auto b = Get<Bitmap>(bitmap);
    if (!b || !out) return false;
    if (bitsPerPixel == 0) bitsPerPixel = b->bpp == 32 && !b->device ? 32 : 24;
    if (bitsPerPixel != 24 && bitsPerPixel != 32) return false;
    const uint32_t rowBytes = uint32_t(DibRowBytes(b->width, bitsPerPixel));
    const uint32_t image = rowBytes * uint32_t(b->height);
    std::string s;
    s.reserve(54 + image);
    s += "BM";
    Put32(s, 54 + image);
    Put32(s, 0);
    Put32(s, 54);
    Put32(s, 40);
    Put32(s, uint32_t(b->width));
    Put32(s, uint32_t(b->height));  // bottom-up
    Put16(s, 1);
    Put16(s, uint16_t(bitsPerPixel));
    Put32(s, 0);  // BI_RGB
    Put32(s, image);
    Put32(s, 3780);  // 96 dpi
    Put32(s, 3780);
    Put32(s, 0);
    Put32(s, 0);
    std::vector<Pixel> row(static_cast<size_t>(b->width));
    for (int y = b->height - 1; y >= 0; --y) {
        ReadPixels(*b, 0, y, b->width, row.data());
        const size_t start = s.size();
        for (Pixel p : row) {
            s += char(p & 0xFF);
            s += char((p >> 8) & 0xFF);
            s += char((p >> 16) & 0xFF);
            if (bitsPerPixel == 32) s += char(p >> 24);
        }
        s.resize(start + rowBytes, '\0');
    }
    *out = std::move(s);
    return true;
}

}  // namespace win
