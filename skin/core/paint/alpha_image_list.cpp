#include "skin/core/paint/alpha_image_list.h"

#include <algorithm>
#include <memory>

#include "platform/gdi/gdi.h"
#include "platform/user/window_dc.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/png_graphic.h"
#include "skin/core/pixels/resampler.h"
#include "skin/core/pixels/text_utils.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/icon.h"

namespace skin {

namespace {

// The resampler's Mitchell filter, which picture items are scaled with.
constexpr int kItemFilter = rfMitchell;

// The icon's bitmaps, the caller's to delete; false (and nothing to delete) when the icon gives
// none or no colour picture, for an icon whose parts cannot be read is not drawn.
bool ReadIconInfo(win::HICON icon, win::ICONINFO& info) {
    info = {};
    if (!win::GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) return true;
    if (info.hbmMask) win::DeleteObject(info.hbmMask);
    return false;
}

// Sets `flag` for the life of the scope and puts the earlier value back, also on a throw.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};

void LoadItem(TsImgListItem* item, vcl::TGraphic* graphic) {
    item->ImgData()->SetPosition(0);
    graphic->LoadFromStream(item->ImgData());
}

// Scales by the nearest pixel: the resampler needs at least 2 x 2 source pixels.
void ScaleNearest(vcl::TBitmap* src, vcl::TBitmap* dst, int width, int height) {
    const TPixelFormat format = src->PixelFormat() == pf32bit ? pf32bit : pf24bit;
    src->SetPixelFormat(format);
    dst->SetPixelFormat(format);
    dst->SetSize(width, height);
    const PixelView s = ViewOf(src), d = ViewOf(dst);
    if (s.Empty() || d.Empty()) return;
    for (int y = 0; y < d.Height; ++y) {
        const int sy = int(int64_t(y) * s.Height / d.Height);
        for (int x = 0; x < d.Width; ++x) {
            const uint8_t* from = s.At(int(int64_t(x) * s.Width / d.Width), sy);
            std::copy(from, from + s.BytesPerPixel, d.At(x, y));
        }
    }
}

bool HasAlpha(const PixelView& v) {
    for (int y = 0; y < v.Height; ++y) {
        const uint8_t* p = v.Row(y);
        for (int x = 0; x < v.Width; ++x, p += 4)
            if (p[3] != 0) return true;
    }
    return false;
}

}  // namespace

// Items

std::vector<vcl::TPropInfo> TsImgListItem::Published() {
    return {
        vcl::Property("ImageFormat", &TsImgListItem::ImageFormat, &TsImgListItem::SetImageFormat),
        vcl::Property("PixelFormat", &TsImgListItem::PixelFormat, &TsImgListItem::SetPixelFormat)};
}

TsImgListItem::TsImgListItem(vcl::TCollection* collection) : vcl::TCollectionItem(collection) {}

TsImgListItem::~TsImgListItem() = default;

void TsImgListItem::Assign(const vcl::TPersistent* source) {
    const auto* from = dynamic_cast<const TsImgListItem*>(source);
    if (!from) {
        vcl::TCollectionItem::Assign(source);
        return;
    }
    if (from == this) return;
    imageFormat_ = from->imageFormat_;
    pixelFormat_ = from->pixelFormat_;
    imgData_.Clear();
    // Size moves nothing, yet the stream's interface has no const form of it.
    const int64_t size = const_cast<vcl::TMemoryStream&>(from->imgData_).Size();
    if (size > 0) imgData_.Write(from->imgData_.Memory(), size);
    imgData_.SetPosition(0);
}

void TsImgListItem::AssignTo(vcl::TPersistent* dest) const {
    if (auto* to = dynamic_cast<TsImgListItem*>(dest))
        to->Assign(this);
    else
        vcl::TCollectionItem::AssignTo(dest);
}

TsImgListItems::TsImgListItems(TsAlphaImageList* owner)
    : vcl::TOwnedCollection<TsImgListItem>(owner), list_(owner) {}

// The list

TsAlphaImageList::TsAlphaImageList(vcl::TComponent* owner)
    : vcl::TImageList(owner), items_(this), keepItems_(true) {}

TsAlphaImageList::~TsAlphaImageList() = default;

void TsAlphaImageList::AfterConstruction() {
    vcl::TImageList::AfterConstruction();
    if (ComponentState().Contains(vcl::csLoading)) return;
    Handle();
    if (!generated_) GenerateImages();
}

void TsAlphaImageList::Loaded() {
    vcl::TImageList::Loaded();
    Handle();
    if (!generated_) {
        GenerateImages();
        generated_ = true;
    }
}

void TsAlphaImageList::GenerateImages() {
    if (!HandleAllocated()) return;
    FlagScope updating(updating_);
    Clear();
    const win::HIMAGELIST list = Handle();
    for (int i = 0; i < items_.Count(); ++i) {
        TsImgListItem* item = items_.Items(i);
        if (item->ImageFormat() == ifPNG) {
            std::unique_ptr<TPNGGraphic, vcl::FreeDeleter> png(vcl::New<TPNGGraphic>());
            LoadItem(item, png.get());
            // Only the branch of current systems: the icon keeps the picture's alpha.
            const win::HICON icon = MakeAlphaIconFromBitmap(
                png.get(), ControlColorToRGB(win::ImageList_GetBkColor(list)));
            win::ImageList_ReplaceIcon(list, -1, icon);
            win::DestroyIcon(icon);
        } else {
            std::unique_ptr<vcl::TIcon, vcl::FreeDeleter> icon(vcl::New<vcl::TIcon>());
            LoadItem(item, icon.get());
            win::ImageList_ReplaceIcon(list, -1, icon->Handle());
        }
    }
    if (items_.Count() > 0) {
        generated_ = true;
        if (!keepItems_) items_.Clear();
    }
}

bool TsAlphaImageList::GetBitmap32(int index, vcl::TBitmap* bmp) {
    // An empty target has nowhere to take the picture to.
    if (!HandleAllocated() || !bmp || bmp->Empty() || index < 0 || index >= Count()) return false;
    if (keepItems_ && index < items_.Count()) {
        TsImgListItem* item = items_.Items(index);
        if (item->ImageFormat() == ifPNG && item->ImgData()->Size() > 0) {
            std::unique_ptr<TPNGGraphic, vcl::FreeDeleter> png(vcl::New<TPNGGraphic>());
            LoadItem(item, png.get());
            if (png->Width() == Width() && png->Height() == Height()) {
                bmp->Assign(png.get());
            } else {
                bmp->SetPixelFormat(pf32bit);
                if (png->Width() < 2 || png->Height() < 2)
                    ScaleNearest(png.get(), bmp, bmp->Width(), bmp->Height());
                else
                    ResampleBitmap(png.get(), bmp, bmp->Width(), bmp->Height(), kItemFilter);
            }
            if (bmp->PixelFormat() != pf32bit) {
                bmp->SetPixelFormat(pf32bit);
                SetAlphaFromCorner(bmp);
            }
            return true;
        }
    }
    const win::HICON icon = win::ImageList_GetIcon(Handle(), index, win::ILD_NORMAL);
    if (!icon) return false;
    win::ICONINFO info{};
    if (!ReadIconInfo(icon, info)) {
        win::DestroyIcon(icon);
        return false;
    }
    // Current systems give icons their alpha, so no corner rule here.
    std::unique_ptr<vcl::TBitmap> colour(NewBitmap32(0, 0));
    colour->SetHandle(info.hbmColor);
    colour->SetPixelFormat(pf32bit);
    bmp->Assign(colour.get());
    win::DeleteObject(info.hbmMask);
    win::DestroyIcon(icon);
    return true;
}

void TsAlphaImageList::DoDraw(int index, vcl::TCanvas* canvas, int x, int y, uint32_t, bool) {
    if (!HandleAllocated()) return;
    const int w = Width(), h = Height();
    if (index < items_.Count() && items_.Items(index)->ImageFormat() == ifPNG) {
        std::unique_ptr<vcl::TBitmap> picture(NewBitmap32(w, h)), under(NewBitmap24(w, h));
        if (!GetBitmap32(index, picture.get())) return;
        win::BitBlt(under->Canvas()->Handle(), 0, 0, w, h, canvas->Handle(), x, y, win::SRCCOPY);
        const PixelView back = ViewOf(under.get());
        DrawAlphaBitmap32({0, 0, w, h}, {0, 0, w, h}, back, ViewOf(picture.get()),
                          MakeCacheInfo(&back, 0, 0), true, clNone, 0, false);
        win::BitBlt(canvas->Handle(), x, y, w, h, under->Canvas()->Handle(), 0, 0, win::SRCCOPY);
        return;
    }
    win::ImageList_SetBkColor(Handle(), win::CLR_NONE);
    const win::HICON icon = win::ImageList_GetIcon(Handle(), index, win::ILD_TRANSPARENT);
    if (!icon) return;
    win::DrawIconEx(canvas->Handle(), x, y, icon, w, h, 0, nullptr, win::DI_NORMAL);
    win::DestroyIcon(icon);
}

void TsAlphaImageList::Change() {
    if (updating_) return;
    vcl::TImageList::Change();
    const vcl::TComponentState state = ComponentState();
    if (!HandleAllocated() || state.Contains(vcl::csLoading) || !generated_ ||
        state.Contains(vcl::csDesigning)) {
        return;
    }
    const int count = Count();
    if (keepItems_ && count < items_.Count()) {
        GenerateImages();
        return;
    }
    if (keepItems_ && count == items_.Count()) return;
    GiveAlphaToPlainImages();
}

void TsAlphaImageList::GiveAlphaToPlainImages() {
    const win::HIMAGELIST list = Handle();
    for (int i = 0; i < Count(); ++i) {
        const win::HICON icon = win::ImageList_GetIcon(list, i, win::ILD_TRANSPARENT);
        if (!icon) continue;
        win::ICONINFO info{};
        const bool read = ReadIconInfo(icon, info);
        win::DestroyIcon(icon);
        if (!read) continue;
        std::unique_ptr<vcl::TBitmap> colour(NewBitmap32(0, 0));
        colour->SetHandle(info.hbmColor);
        colour->SetPixelFormat(pf32bit);
        const PixelView v = ViewOf(colour.get());
        if (!v.Empty() && !HasAlpha(v)) {
            for (int y = 0; y < v.Height; ++y) {
                uint8_t* p = v.Row(y);
                for (int x = 0; x < v.Width; ++x, p += 4)
                    if (!(p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF)) p[3] = 0xFF;
            }
            info.hbmColor = colour->Handle();
            const win::HICON opaque = win::CreateIconIndirect(&info);
            win::ImageList_ReplaceIcon(list, i, opaque);
            win::DestroyIcon(opaque);
        }
        win::DeleteObject(info.hbmMask);
    }
}

void TsAlphaImageList::CopyFrom(TsAlphaImageList* source) {
    FlagScope updating(updating_);
    Clear();
    SetMasked(source->Masked());
    SetImageType(source->ImageType());
    SetDrawingStyle(source->DrawingStyle());
    const win::HIMAGELIST from = source->Handle();
    int w = 0, h = 0;
    win::ImageList_GetIconSize(from, &w, &h);

    // The list in hand goes by the sharing it was made with; the source's sharing is for the
    // next one.
    SetHandle(nullptr);
    SetShareImages(source->ShareImages());
    SetSize(w, h);
    const win::HIMAGELIST list = Handle();
    SetBkColor(vcl::ListColorToColor(win::ImageList_GetBkColor(from)));
    SetBlendColor(source->BlendColor());

    win::ImageList_SetBkColor(from, win::CLR_NONE);
    if (keepItems_) {
        items_.Assign(&source->items_);
        GenerateImages();
    } else {
        for (int i = 0; i < win::ImageList_GetImageCount(from); ++i) {
            const win::HICON icon = win::ImageList_GetIcon(from, i, win::ILD_TRANSPARENT);
            win::ImageList_AddIcon(list, icon);
            win::DestroyIcon(icon);
        }
    }
}

void TsAlphaImageList::Assign(const vcl::TPersistent* source) {
    if (!source) {
        SetHandle(nullptr);
        return;
    }
    if (const auto* from = dynamic_cast<const TsAlphaImageList*>(source)) {
        if (from != this) CopyFrom(const_cast<TsAlphaImageList*>(from));
        return;
    }
    vcl::TImageList::Assign(source);
}

void TsAlphaImageList::AssignTo(vcl::TPersistent* dest) const {
    if (auto* to = dynamic_cast<TsAlphaImageList*>(dest)) {
        to->Assign(this);
        return;
    }
    vcl::TImageList::AssignTo(dest);
}

// Free routines

void SetAlphaFromCorner(vcl::TBitmap* bmp) {
    if (!bmp || bmp->PixelFormat() != pf32bit) return;
    const PixelView v = ViewOf(bmp);
    if (v.Empty() || HasAlpha(v)) return;
    const uint8_t* corner = v.At(0, v.Height - 1);
    const uint8_t key[3] = {corner[0], corner[1], corner[2]};
    for (int y = 0; y < v.Height; ++y) {
        uint8_t* p = v.Row(y);
        for (int x = 0; x < v.Width; ++x, p += 4)
            if (!std::equal(key, key + 3, p)) p[3] = 0xFF;
    }
}

TPoint DrawImageListGlyph(vcl::TCustomImageList* list, vcl::TBitmap* target, TPoint pos, int frames,
                          int state, int index, bool reflect, TColor tint, int percent) {
    if (!list || !target || target->Width() == 0 || !list->HandleAllocated()) return {};
    frames = std::max(1, frames);
    state = std::clamp(state, 0, frames - 1);
    const int w = list->Width(), h = list->Height();
    const int frame = w / frames;
    const TRect dstRect{pos.X, pos.Y, pos.X + frame, pos.Y + h};
    const TRect srcRect{frame * state, 0, frame * state + frame, h};
    if (auto* alpha = dynamic_cast<TsAlphaImageList*>(list)) {
        std::unique_ptr<vcl::TBitmap> picture(NewBitmap32(w, h));
        if (alpha->GetBitmap32(index, picture.get())) {
            DrawAlphaBitmap32(dstRect, srcRect, ViewOf(target), ViewOf(picture.get()),
                              EmptyCacheInfo, false, tint, std::clamp(percent, 0, 100), reflect);
        }
    } else {
        std::unique_ptr<vcl::TBitmap> work(NewBitmap24(w, h));
        win::BitBlt(work->Canvas()->Handle(), srcRect.Left, 0, frame, h, target->Canvas()->Handle(),
                    pos.X, pos.Y, win::SRCCOPY);
        list->Draw(work->Canvas(), 0, 0, index);
        win::BitBlt(target->Canvas()->Handle(), pos.X, pos.Y, frame, h, work->Canvas()->Handle(),
                    srcRect.Left, 0, win::SRCCOPY);
    }
    return {frame, h};
}

void DrawImageListGlyphToDC(vcl::TCustomImageList* list, win::HDC dc, TPoint pos, int frames,
                            int state, int index, bool reflect, TColor tint, int percent) {
    if (!list || !dc || !list->HandleAllocated()) return;
    const int w = list->Width(), h = list->Height() + (reflect ? list->Height() / 2 : 0);
    std::unique_ptr<vcl::TBitmap> work(NewBitmap24(w, h));
    win::BitBlt(work->Canvas()->Handle(), 0, 0, w, h, dc, pos.X, pos.Y, win::SRCCOPY);
    DrawImageListGlyph(list, work.get(), {0, 0}, frames, state, index, reflect, tint, percent);
    win::BitBlt(dc, pos.X, pos.Y, w, h, work->Canvas()->Handle(), 0, 0, win::SRCCOPY);
}

int ScreenColorDepth() {
    const win::HDC screen = win::GetDC(nullptr);
    const int bits = win::GetDeviceCaps(screen, win::BITSPIXEL);
    win::ReleaseDC(nullptr, screen);
    return bits;
}

}  // namespace skin
