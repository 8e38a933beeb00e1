// Icons: creation, drawing, copies and ICO files.
#include "platform/gdi/icon.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/blit_impl.h"
#include "platform/gdi/dc_impl.h"
#include "platform/gdi/dib_decode.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icon_impl.h"
#include "platform/gdi/rect.h"

namespace win {

using namespace detail;

namespace {

inline uint32_t Div255(uint32_t v) {
    v += 128;
    return (v + (v >> 8)) >> 8;
}

// A converted copy: any bitmap as 32 bits (alpha kept from 32-bit sources) or as 1 bit.
std::shared_ptr<Bitmap> Convert(const Bitmap& b, int bpp) {
    auto out = MakeBitmap(b.width, b.height, bpp);
    if (!out) return nullptr;
    out->dib = true;
    if (bpp == 1) out->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    std::vector<Pixel> row(static_cast<size_t>(b.width));
    for (int y = 0; y < b.height; ++y) {
        ReadPixels(b, 0, y, b.width, row.data());
        WritePixels(*out, 0, y, b.width, row.data());
    }
    return out;
}

}  // namespace

bool detail::HasAlpha(const Bitmap& b) {
    if (b.bpp != 32) return false;
    for (int y = 0; y < b.height; ++y) {
        const Pixel* r = b.Row32(y);
        for (int x = 0; x < b.width; ++x)
            if (r[x] >> 24) return true;
    }
    return false;
}

std::shared_ptr<Icon> detail::MakeIcon(std::shared_ptr<Bitmap> color,
                                       std::shared_ptr<Bitmap> mask) {
    if (!mask) return nullptr;
    auto icon = std::make_shared<Icon>();
    icon->width = mask->width;
    icon->height = color ? mask->height : mask->height / 2;
    if (icon->height <= 0) return nullptr;
    icon->alpha = color && HasAlpha(*color);
    icon->color = std::move(color);
    icon->mask = std::move(mask);
    return icon;
}

std::shared_ptr<Bitmap> detail::ScaleAveraged(const std::shared_ptr<Bitmap>& b, int w, int h) {
    if (!b || (b->width == w && b->height == h)) return b;
    return StretchCopy(b, w, h, true);
}

std::shared_ptr<Bitmap> detail::ScaleNearest(const std::shared_ptr<Bitmap>& b, int w, int h) {
    if (!b || (b->width == w && b->height == h)) return b;
    return StretchCopy(b, w, h, false);
}

void detail::DrawMasked(Dc& dc, const Bitmap* color, const Bitmap* mask, bool alpha, int x, int y,
                        UINT flags) {
    Bitmap* t = dc.Target();
    if (!t || t->stock) return;
    const int w = color ? color->width : mask->width;
    const int h = color ? color->height : mask->height;
    std::vector<Pixel> d, s, m;
    ForClipped(dc, RECT{x, y, x + w, y + h}, [&](const RECT& r) {
        const int n = r.right - r.left;
        d.resize(size_t(n));
        s.resize(size_t(n));
        m.resize(size_t(n));
        for (int yy = r.top; yy < r.bottom; ++yy) {
            ReadPixels(*t, r.left, yy, n, d.data());
            if (color) ReadPixels(*color, r.left - x, yy - y, n, s.data());
            if (mask) ReadPixels(*mask, r.left - x, yy - y, n, m.data());
            for (int i = 0; i < n; ++i) {
                Pixel& p = d[size_t(i)];
                if (alpha && (flags & DI_IMAGE)) {
                    // Icon alpha is straight: blend the colour by it.
                    const uint32_t a = s[size_t(i)] >> 24, ia = 255 - a;
                    Pixel r2 = p & 0xFF000000;
                    for (int c = 0; c < 24; c += 8)
                        r2 |= Div255(((s[size_t(i)] >> c) & 0xFF) * a + ((p >> c) & 0xFF) * ia)
                              << c;
                    p = r2;
                    continue;
                }
                if (flags & DI_MASK) p &= (m[size_t(i)] & 0xFFFFFF) ? 0xFFFFFFFF : 0xFF000000;
                if (flags & DI_IMAGE) {
                    const Pixel c = s[size_t(i)] & 0xFFFFFF;
                    p = (flags & DI_MASK) ? p ^ c : (p & 0xFF000000) | c;
                }
            }
            WritePixels(*t, r.left, yy, n, d.data());
        }
    });
}

HICON CreateIconIndirect(ICONINFO* info) {
    if (!info) return nullptr;
    auto mask = Get<Bitmap>(info->hbmMask);
    if (!mask) return nullptr;
    std::shared_ptr<Bitmap> color;
    if (info->hbmColor) {
        auto c = Get<Bitmap>(info->hbmColor);
        if (!c) return nullptr;
        color = Convert(*c, 32);
        if (!color) return nullptr;
    }
    auto m = Convert(*mask, 1);
    // The mask may be larger than the picture; only the picture's part counts.
    if (color && m && (m->width != color->width || m->height != color->height)) {
        auto cut = MakeBitmap(color->width, color->height, 1);
        if (!cut) return nullptr;
        cut->colors = m->colors;
        std::vector<Pixel> row(static_cast<size_t>(color->width), 0xFFFFFF);
        for (int y = 0; y < color->height; ++y) {
            std::fill(row.begin(), row.end(), 0xFFFFFF);
            if (y < m->height) ReadPixels(*m, 0, y, std::min(m->width, color->width), row.data());
            WritePixels(*cut, 0, y, color->width, row.data());
        }
        m = cut;
    }
    auto icon = MakeIcon(color, m);
    if (!icon) return nullptr;
    icon->isIcon = info->fIcon;
    icon->hotX = info->xHotspot;
    icon->hotY = info->yHotspot;
    return Add<HICON>(icon);
}

BOOL GetIconInfo(HICON h, ICONINFO* info) {
    auto icon = Get<Icon>(h);
    if (!icon || !info) return FALSE;
    info->fIcon = icon->isIcon;
    info->xHotspot = icon->isIcon ? DWORD(icon->width / 2) : icon->hotX;
    info->yHotspot = icon->isIcon ? DWORD(icon->height / 2) : icon->hotY;
    auto mask = CloneBitmap(*icon->mask);
    if (!mask) return FALSE;
    mask->mono = true;
    info->hbmMask = Add<HBITMAP>(mask);
    info->hbmColor = nullptr;
    if (icon->color) {
        auto color = CloneBitmap(*icon->color);
        if (!color) return FALSE;
        info->hbmColor = Add<HBITMAP>(color);
    }
    return TRUE;
}

BOOL DestroyIcon(HICON h) {
    auto icon = Get<Icon>(h);
    if (!icon) return FALSE;
    if (icon->stock) return TRUE;
    return Unregister(h);
}

HICON CopyIcon(HICON h) {
    return static_cast<HICON>(CopyImage(h, IMAGE_ICON, 0, 0, 0));
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON h, int cx, int cy, UINT, HBRUSH, UINT flags) {
    auto dc = GetDc(hdc);
    auto icon = Get<Icon>(h);
    if (!dc || !icon) return FALSE;
    if (!(flags & DI_NORMAL)) flags |= DI_NORMAL;
    if (cx == 0) cx = (flags & DI_DEFAULTSIZE) ? kDefaultIconSize : icon->width;
    if (cy == 0) cy = (flags & DI_DEFAULTSIZE) ? kDefaultIconSize : icon->height;
    if (cx < 0 || cy < 0) return FALSE;
    std::shared_ptr<Bitmap> color = icon->color, mask = icon->mask;
    if (!color) {
        // A monochrome icon: the XOR half lies below the AND half.
        auto split = [&](int top) {
            auto half = MakeBitmap(icon->width, icon->height, 1);
            half->colors = icon->mask->colors;
            for (int yy = 0; yy < icon->height; ++yy)
                std::memcpy(half->Row(yy), icon->mask->Row(top + yy), size_t(half->rowBytes));
            return half;
        };
        mask = split(0);
        color = Convert(*split(icon->height), 32);
    }
    color = ScaleAveraged(color, cx, cy);
    mask = ScaleNearest(mask, cx, cy);
    if (!color || !mask) return FALSE;
    DrawMasked(*dc, color.get(), mask.get(), icon->alpha, x + dc->Dx(), y + dc->Dy(), flags);
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
    if (type == IMAGE_BITMAP) {
        auto b = Get<Bitmap>(image);
        if (!b) return nullptr;
        const int w = cx > 0 ? cx : b->width, hgt = cy > 0 ? cy : b->height;
        if ((flags & LR_COPYRETURNORG) && w == b->width && hgt == b->height) return image;
        auto copy = ScaleAveraged(b, w, hgt);
        if (copy == b) copy = CloneBitmap(*b);
        if (!copy) return nullptr;
        if (flags & LR_CREATEDIBSECTION) copy->device = false, copy->dib = true;
        HANDLE out = Add<HBITMAP>(copy);
        if (flags & LR_COPYDELETEORG) DeleteObject(image);
        return out;
    }
    if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
        auto icon = Get<Icon>(image);
        if (!icon) return nullptr;
        int w = cx > 0 ? cx : icon->width, hgt = cy > 0 ? cy : icon->height;
        if ((flags & LR_DEFAULTSIZE) && cx == 0) w = kDefaultIconSize;
        if ((flags & LR_DEFAULTSIZE) && cy == 0) hgt = kDefaultIconSize;
        if ((flags & LR_COPYRETURNORG) && w == icon->width && hgt == icon->height) return image;
        std::shared_ptr<Bitmap> color, mask;
        if (icon->color) {
            color = CloneBitmap(*ScaleAveraged(icon->color, w, hgt));
            mask = CloneBitmap(*ScaleNearest(icon->mask, w, hgt));
        } else {
            mask = CloneBitmap(*ScaleNearest(icon->mask, w, hgt * 2));
        }
        auto copy = MakeIcon(color, mask);
        if (!copy) return nullptr;
        copy->isIcon = icon->isIcon;
        copy->hotX = icon->hotX;
        copy->hotY = icon->hotY;
        HANDLE out = Add<HICON>(copy);
        if ((flags & LR_COPYDELETEORG) && !icon->stock) Unregister(image);
        return out;
    }
    return nullptr;
}

HICON ReadIco(const void* data, size_t size, int cx, int cy, std::string* error) {
    auto fail = [&](const std::string& why) -> HICON {
        if (error) *error = "Icon image is not valid: " + why;
        return nullptr;
    };
    ByteReader r(static_cast<const BYTE*>(data), data ? size : 0);
    if (!r.Has(0, 6) || r.U16(0) != 0 || (r.U16(2) != 1 && r.U16(2) != 2))
        return fail("not an ICO file");
    const int count = r.U16(4);
    if (count == 0) return fail("the file holds no images");
    if (!r.Has(6, size_t(count) * 16)) return fail("the image directory is cut short");
    if (cx <= 0) cx = kDefaultIconSize;
    if (cy <= 0) cy = kDefaultIconSize;
    // Nearest size first, then the deepest colour.
    struct Entry {
        int w, h, bpp;
        uint32_t size, offset;
    };
    std::vector<Entry> entries;
    bool png = false;
    for (int i = 0; i < count; ++i) {
        const size_t at = 6 + size_t(i) * 16;
        Entry e{r.At(at)[0] ? r.At(at)[0] : 256, r.At(at + 1)[0] ? r.At(at + 1)[0] : 256,
                r.U16(at + 6), r.U32(at + 8), r.U32(at + 12)};
        if (!r.Has(e.offset, e.size) || e.size < 4) continue;  // points outside the file
        if (e.size >= 8 && std::memcmp(r.At(e.offset), "\x89PNG", 4) == 0) {
            png = true;
            continue;
        }
        entries.push_back(e);
    }
    if (entries.empty())
        return fail(png ? "PNG-compressed icon images are not read here"
                        : "no image lies inside the file");
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const int da = std::abs(a.w - cx) + std::abs(a.h - cy);
        const int db = std::abs(b.w - cx) + std::abs(b.h - cy);
        return da != db ? da < db : a.bpp > b.bpp;
    });
    std::string lastError;
    for (const Entry& e : entries) {
        DibSource src;
        src.data = r.At(e.offset);
        src.size = e.size;
        src.iconHalves = true;
        DibResult res = DecodeDib(src);
        if (!res.bitmap) {
            lastError = res.error;
            continue;  // another image of the file may still be sound
        }
        auto color = res.bitmap->bpp == 32 ? res.bitmap : Convert(*res.bitmap, 32);
        if (!color) continue;
        auto icon = MakeIcon(color, res.mask);
        if (!icon) continue;
        if (error) error->clear();
        return Add<HICON>(icon);
    }
    return fail(lastError);
}

}  // namespace win
