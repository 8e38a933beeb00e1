#include "skin/core/pixels/gradients.h"

#include <algorithm>
#include <cmath>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/text_utils.h"
#include "vcl/graphics/canvas.h"
#include "vcl/system/sysutils.h"

namespace skin {
namespace {

// A band's colour as the painters run it: a single-precision value per channel, starting at
// Color1 and growing by the step per row or column.
struct Band {
    float value[3];  // red, green, blue
    double step[3];
    Band(const TsGradRec& s, int n) {
        const int c1[3] = {RedOf(s.Color1), GreenOf(s.Color1), BlueOf(s.Color1)};
        const int c2[3] = {RedOf(s.Color2), GreenOf(s.Color2), BlueOf(s.Color2)};
        for (int k = 0; k < 3; ++k)
            value[k] = float(c1[k]), step[k] = double(c2[k] - c1[k]) / n;
    }
    void Store(uint8_t* p, int bpp) const {
        p[2] = static_cast<uint8_t>(int(std::nearbyint(value[0])));
        p[1] = static_cast<uint8_t>(int(std::nearbyint(value[1])));
        p[0] = static_cast<uint8_t>(int(std::nearbyint(value[2])));
        if (bpp == 4) p[3] = 255;
    }
    void Advance() {
        for (int k = 0; k < 3; ++k)
            value[k] = float(double(value[k]) + step[k]);
    }
};

}  // namespace

void ParseGradientStops(std::string_view text, TsGradArray& stops) {
    stops.clear();
    static const TCharSet kSemicolon(";");
    const int n = WordCount(text, kSemicolon) / 5;
    stops.resize(n);
    for (int k = 0; k < n; ++k) {
        auto word = [&](int i) { return vcl::StrToInt(ExtractWord(5 * k + i, text, kSemicolon)); };
        stops[k].Color1 = TColor(std::max(0, word(1)));
        stops[k].Color2 = TColor(std::max(0, word(2)));
        stops[k].Percent = uint8_t(std::clamp(word(3), 0, 100));
        stops[k].Mode = word(4);
    }
}

void PaintGradientStops(const PixelView& bmp, TRect r, const TsGradArray& stops, int offset) {
    if (r.Right <= r.Left || r.Bottom <= r.Top || stops.empty()) return;
    if (bmp.Base == nullptr || (bmp.BytesPerPixel != 3 && bmp.BytesPerPixel != 4)) return;
    const int bpp = bmp.BytesPerPixel;
    r.Right = std::min(r.Right, bmp.Width), r.Bottom = std::min(r.Bottom, bmp.Height);
    r.Left = std::max(r.Left, 0), r.Top = std::max(r.Top, 0);
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    const size_t last = stops.size() - 1;

    if (stops[0].Mode == 0) {
        const int height = r.Bottom - r.Top, bottom = r.Bottom - 1;
        int y = r.Top + offset;
        for (size_t k = 0; k < stops.size(); ++k) {
            const int start = y;
            y = start + int((int64_t(height) + offset) * stops[k].Percent / 100);
            y = k == last ? bottom : std::min(y, bottom);
            if (y - start <= 0) continue;
            Band band(stops[k], y - start);
            // Rows above the rectangle (a negative offset) advance the colour but are not painted.
            for (int row = start; row <= y; ++row, band.Advance()) {
                if (row < r.Top) continue;
                uint8_t* p = bmp.Row(row) + r.Left * bpp;
                for (int x = r.Left; x < r.Right; ++x, p += bpp)
                    band.Store(p, bpp);
            }
        }
    } else if (stops[0].Mode == 1) {
        // Every row is the same: paint the first and copy it.
        const double k100 = (r.Right - r.Left) / 100.0;
        const int right = r.Right - 1;
        uint8_t* first = bmp.Row(r.Top);
        int x = r.Left;
        bool painted = false;
        for (size_t k = 0; k < stops.size(); ++k) {
            const int start = x;
            x = int(std::nearbyint(stops[k].Percent * k100 + start));
            x = k == last ? right : std::min(x, right);
            if (x - start <= 0) continue;
            Band band(stops[k], x - start);
            for (int col = start; col <= x; ++col, band.Advance())
                band.Store(first + col * bpp, bpp);
            painted = true;
        }
        // A band needs two columns: a narrower rectangle keeps what it showed.
        if (!painted) return;
        for (int row = r.Top + 1; row < r.Bottom; ++row) {
            std::copy_n(first + r.Left * bpp, size_t(r.Right - r.Left) * bpp,
                        bmp.Row(row) + r.Left * bpp);
        }
    }
}

void PaintGradientStops(vcl::TBitmap* bmp, TRect r, const TsGradArray& stops, int offset) {
    if (bmp == nullptr || stops.empty()) return;
    if (stops[0].Mode != 2) {
        PaintGradientStops(ViewOf(bmp), r, stops, offset);
        return;
    }
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    r = {std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, bmp->Width()),
         std::min(r.Bottom, bmp->Height())};
    PaintGradientTriangles(bmp->Canvas()->Handle(), r, stops);
}

}  // namespace skin
