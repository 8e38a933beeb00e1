// Image lists over 32-bit pixels and masks.
#include "platform/gdi/image_list.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/icon_impl.h"
#include "platform/gdi/image_list.h"
#include "platform/gdi/sys_colors.h"

namespace win {

using namespace detail;

namespace {

constexpr int kMaxSide = 1024;

struct Image {
    std::vector<Pixel> pixels;  // 0xAARRGGBB
    std::vector<bool> masked;   // true: transparent
    bool alpha = false;
};

struct ImageList : Object {
    static constexpr Kind kKind = Kind::ImageList;
    ImageList() : Object(kKind) {}
    int cx = 0, cy = 0;
    UINT flags = 0;
    COLORREF bk = CLR_NONE;
    std::vector<Image> images;
    bool Masked() const { return flags & ILC_MASK; }
    bool Color32() const { return (flags & 0xFE) == ILC_COLOR32; }
};

std::shared_ptr<ImageList> GetList(HIMAGELIST h) {
    return Get<ImageList>(h);
}

// One image cut from column `column` of a picture (and its mask, when given).
Image Cut(const ImageList& l, const Bitmap& pic, const Bitmap* mask, int left, COLORREF* key) {
    Image im;
    const size_t n = size_t(l.cx) * size_t(l.cy);
    im.pixels.assign(n, 0);
    im.masked.assign(n, false);
    std::vector<Pixel> row(static_cast<size_t>(l.cx)), mrow(static_cast<size_t>(l.cx));
    for (int y = 0; y < l.cy && y < pic.height; ++y) {
        const int w = std::min(l.cx, pic.width - left);
        if (w <= 0) break;
        ReadPixels(pic, left, y, w, row.data());
        if (mask && y < mask->height && left < mask->width)
            ReadPixels(*mask, left, y, std::min(w, mask->width - left), mrow.data());
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(l.cx) + size_t(x);
            Pixel p = row[size_t(x)];
            if (!l.Color32()) p &= 0xFFFFFF;
            bool m = false;
            if (key)
                m = (p & 0xFFFFFF) == ColorToPixel(*key);
            else if (mask && x < mask->width - left && y < mask->height)
                m = (mrow[size_t(x)] & 0xFFFFFF) != 0;
            if (m && l.Masked()) p = 0;  // blackened so that the AND/XOR way of drawing works
            im.pixels[i] = p;
            im.masked[i] = m && l.Masked();
            im.alpha |= (p >> 24) != 0;
        }
    }
    return im;
}

int AddPicture(HIMAGELIST h, HBITMAP image, HBITMAP mask, COLORREF* key) {
    auto l = GetList(h);
    auto pic = Get<Bitmap>(image);
    if (!l || !pic) return -1;
    auto m = mask ? Get<Bitmap>(mask) : nullptr;
    if (mask && !m) return -1;
    const int first = int(l->images.size());
    const int n = std::max(1, pic->width / l->cx);
    for (int i = 0; i < n; ++i)
        l->images.push_back(Cut(*l, *pic, m.get(), i * l->cx, key));
    return first;
}

COLORREF Resolve(COLORREF c, COLORREF fallback) {
    return c == CLR_DEFAULT ? fallback : c;
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int) {
    if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide) return nullptr;
    auto l = std::make_shared<ImageList>();
    l->cx = cx;
    l->cy = cy;
    l->flags = flags;
    return Add<HIMAGELIST>(l);
}

BOOL ImageList_Destroy(HIMAGELIST h) {
    return GetList(h) && Unregister(h);
}

int ImageList_GetImageCount(HIMAGELIST h) {
    auto l = GetList(h);
    return l ? int(l->images.size()) : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST h, UINT count) {
    auto l = GetList(h);
    if (!l || count > 100000) return FALSE;
    Image blank;
    blank.pixels.assign(size_t(l->cx) * size_t(l->cy), 0);
    blank.masked.assign(blank.pixels.size(), l->Masked());
    l->images.resize(count, blank);
    return TRUE;
}

int ImageList_Add(HIMAGELIST h, HBITMAP image, HBITMAP mask) {
    return AddPicture(h, image, mask, nullptr);
}

int ImageList_AddMasked(HIMAGELIST h, HBITMAP image, COLORREF mask) {
    COLORREF key = mask & 0xFFFFFF;
    return AddPicture(h, image, nullptr, &key);
}

BOOL ImageList_Replace(HIMAGELIST h, int index, HBITMAP image, HBITMAP mask) {
    auto l = GetList(h);
    auto pic = Get<Bitmap>(image);
    if (!l || !pic || index < 0 || index >= int(l->images.size())) return FALSE;
    auto m = mask ? Get<Bitmap>(mask) : nullptr;
    l->images[size_t(index)] = Cut(*l, *pic, m.get(), 0, nullptr);
    return TRUE;
}

int ImageList_ReplaceIcon(HIMAGELIST h, int index, HICON hicon) {
    auto l = GetList(h);
    auto icon = Get<Icon>(hicon);
    if (!l || !icon || index < -1 || index >= int(l->images.size())) return -1;
    std::shared_ptr<Bitmap> color = icon->color, mask = icon->mask;
    if (!color) {
        // Monochrome icon: split into AND and XOR halves.
        auto top = MakeBitmap(icon->width, icon->height, 1),
             bottom = MakeBitmap(icon->width, icon->height, 32);
        if (!top || !bottom) return -1;
        top->colors = icon->mask->colors;
        std::vector<Pixel> row(static_cast<size_t>(icon->width));
        for (int y = 0; y < icon->height; ++y) {
            ReadPixels(*icon->mask, 0, y, icon->width, row.data());
            WritePixels(*top, 0, y, icon->width, row.data());
            ReadPixels(*icon->mask, 0, y + icon->height, icon->width, row.data());
            WritePixels(*bottom, 0, y, icon->width, row.data());
        }
        mask = top;
        color = bottom;
    }
    color = ScaleAveraged(color, l->cx, l->cy);
    mask = ScaleNearest(mask, l->cx, l->cy);
    if (!color || !mask) return -1;
    // Even lists without ILC_MASK keep an icon's alpha; its mask counts only with ILC_MASK.
    Image im = Cut(*l, *color, mask.get(), 0, nullptr);
    if (index == -1) {
        l->images.push_back(std::move(im));
        return int(l->images.size()) - 1;
    }
    l->images[size_t(index)] = std::move(im);
    return index;
}

BOOL ImageList_Remove(HIMAGELIST h, int index) {
    auto l = GetList(h);
    if (!l) return FALSE;
    if (index == -1) {
        l->images.clear();
        return TRUE;
    }
    if (index < 0 || index >= int(l->images.size())) return FALSE;
    l->images.erase(l->images.begin() + index);
    return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST h, int index, UINT flags) {
    auto l = GetList(h);
    if (!l || index < 0 || index >= int(l->images.size())) return nullptr;
    const Image& im = l->images[size_t(index)];
    auto color = MakeBitmap(l->cx, l->cy, 32), mask = MakeBitmap(l->cx, l->cy, 1);
    if (!color || !mask) return nullptr;
    color->dib = true;
    mask->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    const bool fill = !(flags & ILD_TRANSPARENT) && l->bk != CLR_NONE;
    for (int y = 0; y < l->cy; ++y)
        for (int x = 0; x < l->cx; ++x) {
            const size_t i = size_t(y) * size_t(l->cx) + size_t(x);
            Pixel p = im.pixels[i];
            bool m = im.masked[i];
            if (m && fill) {
                p = ColorToPixel(l->bk) | 0xFF000000u * im.alpha;
                m = false;
            }
            color->Row32(y)[x] = p;
            if (m) WritePixel(*mask, x, y, 0xFFFFFF);
        }
    auto icon = MakeIcon(color, mask);
    return icon ? Add<HICON>(icon) : nullptr;
}

BOOL ImageList_DrawEx(HIMAGELIST h, int index, HDC hdc, int x, int y, int dx, int dy, COLORREF bk,
                      COLORREF fg, UINT style) {
    auto l = GetList(h);
    auto dc = GetDc(hdc);
    if (!l || !dc || index < 0 || index >= int(l->images.size())) return FALSE;
    const Image& im = l->images[size_t(index)];
    const int w = dx > 0 ? std::min(dx, l->cx) : l->cx;
    const int hgt = dy > 0 ? std::min(dy, l->cy) : l->cy;
    bk = Resolve(bk, l->bk);
    const bool transparent = (style & ILD_TRANSPARENT) || bk == CLR_NONE;
    // The image as it will be laid down: masked pixels filled or left out, blend applied.
    auto color = MakeBitmap(w, hgt, 32), mask = MakeBitmap(w, hgt, 1);
    if (!color || !mask) return FALSE;
    mask->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    const int blend = (style & ILD_BLEND50) ? 128 : (style & ILD_BLEND25) ? 64 : 0;
    const Pixel blendColor = ColorToPixel(Resolve(fg, GetSysColor(COLOR_HIGHLIGHT)) & 0xFFFFFF);
    const bool useAlpha = im.alpha && !(style & (ILD_MASK | ILD_IMAGE));
    for (int yy = 0; yy < hgt; ++yy)
        for (int xx = 0; xx < w; ++xx) {
            const size_t i = size_t(yy) * size_t(l->cx) + size_t(xx);
            Pixel p = im.pixels[i];
            bool m = im.masked[i] && !(style & ILD_IMAGE);
            if (style & ILD_MASK) {
                p = m ? 0xFFFFFF : 0;
                m = false;
            } else if (m && !transparent) {
                p = ColorToPixel(bk);
                m = false;
            }
            if (blend && !m) {
                Pixel q = p & 0xFF000000;
                for (int c = 0; c < 24; c += 8)
                    q |= Pixel((int((p >> c) & 0xFF) * (256 - blend) +
                                int((blendColor >> c) & 0xFF) * blend) >>
                               8)
                         << c;
                p = q;
            }
            color->Row32(yy)[xx] = m ? 0 : p;
            if (m) WritePixel(*mask, xx, yy, 0xFFFFFF);
        }
    const bool alpha = useAlpha && l->Color32();
    DrawMasked(*dc, color.get(), mask.get(), alpha, x + dc->Dx(), y + dc->Dy(),
               3 /* mask and image */);
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST h, int index, HDC dc, int x, int y, UINT style) {
    return ImageList_DrawEx(h, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_GetIconSize(HIMAGELIST h, int* cx, int* cy) {
    auto l = GetList(h);
    if (!l || !cx || !cy) return FALSE;
    *cx = l->cx;
    *cy = l->cy;
    return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST h, int cx, int cy) {
    auto l = GetList(h);
    if (!l || cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide) return FALSE;
    l->cx = cx;
    l->cy = cy;
    l->images.clear();
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST h, COLORREF color) {
    auto l = GetList(h);
    if (!l) return CLR_NONE;
    const COLORREF old = l->bk;
    l->bk = color == CLR_NONE ? CLR_NONE : color & 0xFFFFFF;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST h) {
    auto l = GetList(h);
    return l ? l->bk : CLR_NONE;
}

}  // namespace win
