#include "platform/gdi/sys_colors.h"

#include <array>

#include "platform/gdi/objects.h"

namespace win {

using namespace detail;

namespace {

constexpr std::array<COLORREF, kSysColorCount> kClassic = {
    RGB(212, 208, 200),  // scroll bar
    RGB(58, 110, 165),   // desktop
    RGB(10, 36, 106),    // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(212, 208, 200),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(212, 208, 200),  // active border
    RGB(212, 208, 200),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(10, 36, 106),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(212, 208, 200),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(212, 208, 200),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3D dark shadow
    RGB(212, 208, 200),  // 3D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
    RGB(181, 181, 181),  // (unused slot)
    RGB(0, 0, 128),      // hot-tracked item
    RGB(166, 202, 240),  // active caption gradient
    RGB(192, 192, 192),  // inactive caption gradient
    RGB(10, 36, 106),    // menu highlight
    RGB(212, 208, 200),  // menu bar
};

struct Brushes {
    std::array<std::shared_ptr<Brush>, kSysColorCount> brushes;
    Brushes() {
        for (int i = 0; i < kSysColorCount; ++i) {
            auto b = std::make_shared<Brush>();
            b->color = kClassic[size_t(i)];
            b->stock = true;
            Register(b);
            brushes[size_t(i)] = b;
        }
    }
};

}  // namespace

COLORREF GetSysColor(int index) {
    return index >= 0 && index < kSysColorCount ? kClassic[size_t(index)] : 0;
}

HBRUSH GetSysColorBrush(int index) {
    static Brushes* b = new Brushes;
    if (index < 0 || index >= kSysColorCount) return nullptr;
    return HandleOf<HBRUSH>(*b->brushes[size_t(index)]);
}

}  // namespace win
