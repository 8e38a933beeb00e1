#include "skin/core/pixels/color_helpers.h"

#include <algorithm>
#include <cmath>

#include "skin/core/pixels/fast_pixels.h"

namespace skin {
namespace {

inline int RoundInt(double v) {
    return int(std::nearbyint(v));
}

}  // namespace

TColor SwapRedBlue(TColor c) {
    return (c & 0xFF00FF00) | (c & 0xFF) << 16 | (c >> 16 & 0xFF);
}

TColor ChangeColorSaturation(TColor c, int percent) {
    if (percent == 0) return c;
    const int ch[3] = {RedOf(c), GreenOf(c), BlueOf(c)};
    const double mean = (ch[0] + ch[1] + ch[2]) / 3.0;
    int out[3];
    for (int k = 0; k < 3; ++k) {
        out[k] = std::clamp(RoundInt(percent * (mean - ch[k]) / 100 + ch[k]), 0, 255);
    }
    return RGB(out[0], out[1], out[2]);
}

TColor ShiftColorHue(int degrees, TColor c) {
    c = ColorToRGB(c);
    const double r = RedOf(c), g = GreenOf(c), b = BlueOf(c);
    const double v = std::max({r, g, b}), mn = std::min({r, g, b});
    const double s = v == 0 ? 0 : (v - mn) / v;
    if (s == 0) return c & 0xFFFFFF;
    double hue;
    if (r == v)
        hue = 60 * (g - b) / (v - mn);
    else if (g == v)
        hue = 120 + 60 * (b - r) / (v - mn);
    else
        hue = 240 + 60 * (r - g) / (v - mn);
    if (hue < 0) hue += 360;
    int h360 = RoundInt(hue + degrees) % 360;
    if (h360 < 0) h360 += 360;
    const double h = h360 / 60.0;
    const int sector = int(h);
    const double f = h - sector;
    auto clamp = [](double x) { return std::clamp(x, 0.0, 255.0); };
    const double p = clamp(v * (1 - s)), q = clamp(v * (1 - s * f)),
                 t = clamp(v * (1 - s * (1 - f)));
    double rgb[3];
    switch (sector) {
        case 0:
            rgb[0] = v, rgb[1] = t, rgb[2] = p;
            break;
        case 1:
            rgb[0] = q, rgb[1] = v, rgb[2] = p;
            break;
        case 2:
            rgb[0] = p, rgb[1] = v, rgb[2] = t;
            break;
        case 3:
            rgb[0] = p, rgb[1] = q, rgb[2] = v;
            break;
        case 4:
            rgb[0] = t, rgb[1] = p, rgb[2] = v;
            break;
        default:
            rgb[0] = v, rgb[1] = p, rgb[2] = q;
            break;
    }
    return RGB(RoundInt(rgb[0]), RoundInt(rgb[1]), RoundInt(rgb[2]));
}

namespace {
// Runs of the key colour in columns [x0, x1) of rows [y0, y1), added at (x - x0 + placeX,
// y - y0 + placeY).
void AddRuns(std::vector<TRect>& runs, const TacFast24& fast, TColor color, int x0, int x1, int y0,
             int y1, int placeX, int placeY) {
    // Placed from the unclipped origin; scanned only inside the image.
    placeX -= x0, placeY -= y0;
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, fast.Width), y1 = std::min(y1, fast.Height);
    for (int y = y0; y < y1; ++y) {
        int start = -1;
        for (int x = x0; x <= x1; ++x) {
            bool hit = x < x1 && fast.GetPixel(x, y) == color;
            if (hit && start < 0) start = x;
            if (!hit && start >= 0) {
                runs.push_back({start + placeX, y + placeY, x + placeX, y + placeY + 1});
                start = -1;
            }
        }
    }
}
}  // namespace

void CollectColorRuns(std::vector<TRect>& runs, const PixelView& bmp, TColor color) {
    TacFast24 fast;
    if (bmp.BytesPerPixel != 3 || !fast.Attach(&bmp)) return;
    AddRuns(runs, fast, color & 0xFFFFFF, 0, fast.Width, 0, fast.Height, 0, 0);
}

void GetMaskRegionCuts(std::vector<TRect>& cuts, const PixelView& image, const MaskCorners& m,
                       int windowWidth, bool bottom, int rowOffset) {
    TacFast24 fast;
    // A mask without frames or with a negative type has no corners to scan.
    if (m.ImageCount <= 0 || m.MaskType < 0 || image.BytesPerPixel != 3 || !fast.Attach(&image)) {
        return;
    }
    const int cornerHeight = bottom ? m.WB : m.WT;
    const int frameHeight = (m.R.Bottom - m.R.Top) / (m.MaskType + 1);
    const int frameWidth = (m.R.Right - m.R.Left) / m.ImageCount;
    const int top = m.R.Top + (bottom ? frameHeight - m.WB : 0);
    AddRuns(cuts, fast, kTransparentKey, m.R.Left, m.R.Left + m.WL, top, top + cornerHeight, 0,
            rowOffset);
    const int right = m.R.Left + frameWidth;
    AddRuns(cuts, fast, kTransparentKey, right - m.WR, right, top, top + cornerHeight,
            windowWidth - m.WR, rowOffset);
}

}  // namespace skin
