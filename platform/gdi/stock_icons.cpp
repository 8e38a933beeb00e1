// The standard icons, drawn once at 32 x 32 with soft edges.
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icon_impl.h"

namespace win {

using namespace detail;

namespace {

constexpr int kSize = kDefaultIconSize;

// A picture with straight alpha that shapes are laid over, each with 4 x 4 samples a pixel.
struct Painter {
    std::shared_ptr<Bitmap> b = MakeBitmap(kSize, kSize, 32);

    void Shape(COLORREF color, const std::function<bool(double, double)>& inside) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
                if (hits) Over(x, y, color, hits * 255 / 16);
            }
    }
    // Source over with straight alpha.
    void Over(int x, int y, COLORREF color, int a) {
        Pixel& d = b->Row32(y)[x];
        const int da = int(d >> 24);
        const int oa = a + da * (255 - a) / 255;
        if (oa == 0) return;
        const Pixel s = ColorToPixel(color);
        Pixel out = Pixel(oa) << 24;
        for (int c = 0; c < 24; c += 8) {
            const int sc = int((s >> c) & 0xFF), dc = int((d >> c) & 0xFF);
            out |= Pixel((sc * a + dc * da * (255 - a) / 255) / oa) << c;
        }
        d = out;
    }
    // A character of a bold sans font, centred, as a shape.
    void Letter(char ch, int height, COLORREF color, int dy = 0) {
        auto glyphs = MakeBitmap(kSize, kSize, 32);
        if (!glyphs) return;
        HBITMAP hb = Add<HBITMAP>(glyphs);
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, hb);
        HFONT f = CreateFont(-height, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
        SelectObject(dc, f);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT r{0, dy, kSize, kSize + dy};
        DrawText(dc, &ch, 1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        DeleteDC(dc);
        DeleteObject(f);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const int cov = int(glyphs->Row32(y)[x] & 0xFF);
                if (cov) Over(x, y, color, cov);
            }
        DeleteObject(hb);
    }
};

bool InCircle(double x, double y, double cx, double cy, double r) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

std::shared_ptr<Icon> Build(uintptr_t id) {
    Painter p;
    if (!p.b) return nullptr;
    const double c = kSize / 2.0;
    switch (id) {
        case 32513:  // stop: a red disc with a white cross
            p.Shape(RGB(140, 0, 0), [&](double x, double y) { return InCircle(x, y, c, c, 15); });
            p.Shape(RGB(220, 30, 30), [&](double x, double y) { return InCircle(x, y, c, c, 14); });
            p.Shape(RGB(255, 255, 255), [&](double x, double y) {
                const double u = x - c, v = y - c;
                return std::fabs(u) < 8 && std::fabs(v) < 8 &&
                       (std::fabs(u - v) < 2.8 || std::fabs(u + v) < 2.8);
            });
            break;
        case 32514:  // question: a blue disc with a white "?"
        case 32516:  // information: a blue disc with a white "i"
            p.Shape(RGB(0, 40, 140), [&](double x, double y) { return InCircle(x, y, c, c, 15); });
            p.Shape(RGB(40, 110, 220),
                    [&](double x, double y) { return InCircle(x, y, c, c, 14); });
            p.Letter(id == 32514 ? '?' : 'i', 22, RGB(255, 255, 255));
            break;
        case 32515:  // warning: a yellow triangle with a black "!"
            p.Shape(RGB(120, 90, 0), [&](double x, double y) {
                return y >= 2 && y <= 30 && std::fabs(x - c) <= (y - 2) * 0.55 + 0.8;
            });
            p.Shape(RGB(255, 210, 40), [&](double x, double y) {
                return y >= 4 && y <= 29 && std::fabs(x - c) <= (y - 4) * 0.55;
            });
            p.Letter('!', 20, RGB(0, 0, 0), 3);
            break;
        case 32517:  // logo: four coloured panes
            p.Shape(RGB(230, 60, 30),
                    [&](double x, double y) { return x >= 3 && x < 15.5 && y >= 3 && y < 15.5; });
            p.Shape(RGB(90, 180, 30),
                    [&](double x, double y) { return x >= 16.5 && x < 29 && y >= 3 && y < 15.5; });
            p.Shape(RGB(30, 120, 230),
                    [&](double x, double y) { return x >= 3 && x < 15.5 && y >= 16.5 && y < 29; });
            p.Shape(RGB(250, 190, 20),
                    [&](double x, double y) { return x >= 16.5 && x < 29 && y >= 16.5 && y < 29; });
            break;
        case 32518:  // shield: quartered blue and yellow
            p.Shape(RGB(60, 60, 60), [&](double x, double y) {
                return y >= 2 && y < 30 &&
                       std::fabs(x - c) < (y < 18 ? 12.5 : 12.5 - (y - 18) * 1.0);
            });
            p.Shape(RGB(40, 100, 210), [&](double x, double y) {
                const bool in =
                    y >= 3.5 && y < 28.5 && std::fabs(x - c) < (y < 18 ? 11 : 11 - (y - 18) * 1.0);
                return in && ((x < c) == (y < 16));
            });
            p.Shape(RGB(250, 200, 40), [&](double x, double y) {
                const bool in =
                    y >= 3.5 && y < 28.5 && std::fabs(x - c) < (y < 18 ? 11 : 11 - (y - 18) * 1.0);
                return in && ((x < c) != (y < 16));
            });
            break;
        default:  // application: a window with a title bar
            p.Shape(RGB(60, 60, 60),
                    [](double x, double y) { return x >= 2 && x < 30 && y >= 4 && y < 28; });
            p.Shape(RGB(10, 36, 106),
                    [](double x, double y) { return x >= 3 && x < 29 && y >= 5 && y < 10; });
            p.Shape(RGB(255, 255, 255),
                    [](double x, double y) { return x >= 3 && x < 29 && y >= 10 && y < 27; });
            break;
    }
    // Colour bytes of clear pixels are black, so the AND/XOR way of drawing works as well.
    auto mask = MakeBitmap(kSize, kSize, 1);
    if (!mask) return nullptr;
    mask->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            Pixel& px = p.b->Row32(y)[x];
            if ((px >> 24) == 0) {
                px = 0;
                WritePixel(*mask, x, y, 0xFFFFFF);
            }
        }
    p.b->dib = true;
    return MakeIcon(p.b, mask);
}

}  // namespace

HICON LoadIcon(HINSTANCE instance, LPCSTR name) {
    if (instance || !IS_INTRESOURCE(name)) return nullptr;
    const auto id = reinterpret_cast<uintptr_t>(name);
    if (id < 32512 || id > 32518) return nullptr;
    static std::mutex lock;
    static std::map<uintptr_t, std::shared_ptr<Icon>>* made =
        new std::map<uintptr_t, std::shared_ptr<Icon>>;
    std::lock_guard g(lock);
    auto& icon = (*made)[id];
    if (!icon) {
        icon = Build(id);
        if (!icon) return nullptr;
        icon->stock = true;
        Register(icon);
    }
    return HandleOf<HICON>(*icon);
}

}  // namespace win
