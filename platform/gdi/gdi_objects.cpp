// Stock objects, pens, brushes, palettes and the calls common to all object handles.
#include "platform/gdi/gdi_objects.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/font.h"
#include "platform/gdi/font_impl.h"

namespace win {

using namespace detail;

bool detail::Brush::Null() const {
    return style == BS_NULL;
}
bool detail::Pen::Null() const {
    return (UINT(style) & PS_STYLE_MASK) == PS_NULL;
}

namespace {

template <class T>
std::shared_ptr<T> Permanent(std::shared_ptr<T> o) {
    o->stock = true;
    Register(o);
    return o;
}

std::shared_ptr<Brush> StockBrush(UINT style, COLORREF c) {
    auto b = std::make_shared<Brush>();
    b->style = style;
    b->color = c;
    return Permanent(b);
}

std::shared_ptr<Pen> StockPen(int style, COLORREF c) {
    auto p = std::make_shared<Pen>();
    p->style = style;
    p->color = c;
    return Permanent(p);
}

struct Stock {
    std::shared_ptr<Object> objects[18];
    std::shared_ptr<Bitmap> bitmap;
    Stock() {
        objects[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
        objects[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
        objects[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
        objects[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
        objects[BLACK_BRUSH] = StockBrush(BS_SOLID, RGB(0, 0, 0));
        objects[NULL_BRUSH] = StockBrush(BS_NULL, 0);
        objects[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
        objects[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
        objects[NULL_PEN] = StockPen(PS_NULL, 0);
        for (int i : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT,
                      DEVICE_DEFAULT_FONT, SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT})
            objects[i] = Permanent(MakeStockFont(i));
        auto pal = std::make_shared<Palette>();
        // The 20 reserved colours of the default palette.
        static const BYTE kDefault[20][3] = {
            {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
            {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
            {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
            {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
        for (auto& c : kDefault)
            pal->colors.push_back(RGBQUAD{c[2], c[1], c[0], 0});
        objects[DEFAULT_PALETTE] = Permanent(pal);
        bitmap = MakeBitmap(1, 1, 1);
        bitmap->mono = true;
        bitmap->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        Permanent(bitmap);
    }
};

Stock& stock() {
    static Stock* s = new Stock;
    return *s;
}

}  // namespace

std::shared_ptr<Pen> detail::DefaultPen() {
    return std::static_pointer_cast<Pen>(stock().objects[BLACK_PEN]);
}
std::shared_ptr<Brush> detail::DefaultBrush() {
    return std::static_pointer_cast<Brush>(stock().objects[WHITE_BRUSH]);
}
std::shared_ptr<Font> detail::DefaultFont() {
    return std::static_pointer_cast<Font>(stock().objects[SYSTEM_FONT]);
}
std::shared_ptr<Bitmap> detail::DefaultBitmap() {
    return stock().bitmap;
}
std::shared_ptr<Palette> detail::DefaultPalette() {
    return std::static_pointer_cast<Palette>(stock().objects[DEFAULT_PALETTE]);
}

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index >= 18 || !stock().objects[index]) return nullptr;
    return reinterpret_cast<HGDIOBJ>(stock().objects[index]->id);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_shared<Brush>();
    b->color = color & 0xFFFFFF;
    return Add<HBRUSH>(b);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb || (lb->lbStyle != BS_SOLID && lb->lbStyle != BS_NULL)) return nullptr;
    auto b = std::make_shared<Brush>();
    b->style = lb->lbStyle;
    b->color = lb->lbColor & 0xFFFFFF;
    return Add<HBRUSH>(b);
}

HPEN CreatePen(int style, int width, COLORREF color) {
    if ((UINT(style) & PS_STYLE_MASK) > PS_INSIDEFRAME) return nullptr;
    auto p = std::make_shared<Pen>();
    p->style = style;
    p->width = std::max(1, width);
    p->color = color & 0xFFFFFF;
    return Add<HPEN>(p);
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
    if (!lp) return nullptr;
    return CreatePen(int(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

HPALETTE CreatePalette(const LOGPALETTE* lp) {
    if (!lp || lp->palVersion != 0x300 || lp->palNumEntries == 0 || lp->palNumEntries > 256)
        return nullptr;
    auto p = std::make_shared<Palette>();
    const PALETTEENTRY* e = lp->palPalEntry;
    for (int i = 0; i < lp->palNumEntries; ++i)
        p->colors.push_back(RGBQUAD{e[i].peBlue, e[i].peGreen, e[i].peRed, 0});
    return Add<HPALETTE>(p);
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
    auto p = Get<Palette>(palette);
    if (!p) return 0;
    if (!entries) return UINT(p->colors.size());
    UINT n = 0;
    for (UINT i = start; i < p->colors.size() && n < count; ++i, ++n)
        entries[n] =
            PALETTEENTRY{p->colors[i].rgbRed, p->colors[i].rgbGreen, p->colors[i].rgbBlue, 0};
    return n;
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
    auto dc = GetDc(hdc);
    auto p = Get<Palette>(palette);
    if (!dc || !p) return nullptr;
    HPALETTE old = HandleOf<HPALETTE>(*dc->st.palette);
    dc->st.palette = p;
    return old;
}

// Every DC shows true colour; a palette has nothing to realise.
UINT RealizePalette(HDC hdc) {
    return GetDc(hdc) ? 0 : UINT(-1);
}

int GetObject(HGDIOBJ object, int size, void* buffer) {
    auto o = Find(object);
    if (!o) return 0;
    auto copy = [&](const auto& value) -> int {
        const int n = int(sizeof(value));
        if (!buffer) return n;
        if (size < n) return 0;
        std::memcpy(buffer, &value, size_t(n));
        return n;
    };
    switch (o->kind) {
        case Kind::Pen: {
            auto& p = static_cast<Pen&>(*o);
            return copy(LOGPEN{UINT(p.style), POINT{p.width, 0}, p.color});
        }
        case Kind::Brush: {
            auto& b = static_cast<Brush&>(*o);
            return copy(LOGBRUSH{b.style, b.color, 0});
        }
        case Kind::Font:
            return copy(static_cast<Font&>(*o).lf);
        case Kind::Palette:
            return copy(WORD(static_cast<Palette&>(*o).colors.size()));
        case Kind::Bitmap: {
            auto& b = static_cast<Bitmap&>(*o);
            BITMAP bm;
            bm.bmWidth = b.width;
            bm.bmHeight = b.height;
            bm.bmPlanes = 1;
            bm.bmBitsPixel = WORD(b.bpp);
            if (!b.dib) {
                // Device bitmaps answer the platform's word-aligned row length, no bits.
                bm.bmWidthBytes = ((b.width * b.bpp + 15) / 16) * 2;
                return copy(bm);
            }
            bm.bmWidthBytes = b.rowBytes;
            bm.bmBits = b.bits;
            if (buffer && size >= int(sizeof(DIBSECTION))) {
                DIBSECTION ds;
                ds.dsBm = bm;
                ds.dsBmih.biWidth = b.width;
                ds.dsBmih.biHeight = b.bottomUp ? b.height : -b.height;
                ds.dsBmih.biBitCount = WORD(b.bpp);
                ds.dsBmih.biSizeImage = DWORD(b.rowBytes) * DWORD(b.height);
                ds.dsBmih.biClrUsed = DWORD(b.colors.size());
                return copy(ds);
            }
            return copy(bm);
        }
        default:
            return 0;
    }
}

DWORD GetObjectType(HGDIOBJ object) {
    auto o = Find(object);
    if (!o) return 0;
    if (o->kind == Kind::DC) return static_cast<Dc&>(*o).surfaceDc ? OBJ_DC : OBJ_MEMDC;
    if (int(o->kind) > int(Kind::Region)) return 0;
    return DWORD(o->kind);
}

BOOL DeleteObject(HGDIOBJ object) {
    auto o = Find(object);
    if (!o) return FALSE;
    if (o->stock) return TRUE;
    switch (o->kind) {
        case Kind::Bitmap:
            if (static_cast<Bitmap&>(*o).selections > 0) return FALSE;
            break;
        case Kind::Pen:
        case Kind::Brush:
        case Kind::Font:
        case Kind::Palette:
        case Kind::Region:
            break;
        default:
            return FALSE;  // DCs, icons and image lists have their own calls
    }
    return Unregister(object);
}

}  // namespace win
