// The icon object behind an HICON (internal to platform/gdi).
#pragma once

#include "platform/gdi/icon.h"
#include "platform/gdi/objects.h"

namespace win::detail {

struct Dc;

struct Icon : Object {
    static constexpr Kind kKind = Kind::Icon;
    Icon() : Object(kKind) {}
    int width = 0;
    int height = 0;
    std::shared_ptr<Bitmap> color;  // 32 bits, or null for a monochrome icon
    std::shared_ptr<Bitmap> mask;   // 1 bit; twice the height for a monochrome icon
    bool alpha = false;             // the colour bitmap has an alpha channel worth using
    bool isIcon = true;
    DWORD hotX = 0, hotY = 0;
};

std::shared_ptr<Icon> MakeIcon(std::shared_ptr<Bitmap> color, std::shared_ptr<Bitmap> mask);
// The colour at the given size by area averaging (alpha included), and the mask by the
// nearest pixel; the same bitmaps when the size matches.
std::shared_ptr<Bitmap> ScaleAveraged(const std::shared_ptr<Bitmap>& b, int w, int h);
std::shared_ptr<Bitmap> ScaleNearest(const std::shared_ptr<Bitmap>& b, int w, int h);
// Draws colour and mask (already at the size wanted) at target (x, y) through the DC's clip.
void DrawMasked(Dc& dc, const Bitmap* color, const Bitmap* mask, bool alpha, int x, int y,
                UINT flags);
bool HasAlpha(const Bitmap& b);

}  // namespace win::detail
