#include "skin/controls/button_glyphs.h"

#include <algorithm>
#include <memory>

#include "platform/controls/common_notify.h"
#include "platform/gdi/gdi.h"
#include "skin/core/paint/alpha_image_list.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/paint/glyph_layout.h"
#include "vcl/controls/controls.h"
#include "vcl/system/resources.h"

namespace skin {

using vcl::TBitmap, vcl::TCanvas, vcl::TCustomImageList;

int ImageListCount(TCustomImageList* images) {
    return images ? images->Count() : 0;
}

namespace {

using BitmapPtr = std::unique_ptr<TBitmap, vcl::FreeDeleter>;

BitmapPtr Copy(TBitmap* source, vcl::TPixelFormat format) {
    BitmapPtr copy(new TBitmap);
    copy->Assign(source);
    copy->SetPixelFormat(format);
    return copy;
}

bool HasOpaquePixel(TBitmap* bmp) {
    const PixelView v = ViewOf(bmp);
    for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x)
            if (v.At(x, y)[3] == 255) return true;
    return false;
}

TsDisabledKind AsDisabledKind(TsDisabledGlyphKind k) {
    TsDisabledKind out;
    if (k.Contains(dgBlended)) out << dkBlended;
    if (k.Contains(dgGrayed)) out << dkGrayed;
    return out;
}

// Draws on another canvas through a 24-bit copy of the area: copied out, drawn on, copied
// back; `extraBelow` rows under the area come along (a mirror image).
template <class Paint>
void ThroughCopy(TCanvas* canvas, const TRect& r, int extraBelow, Paint paint) {
    const int w = r.Width(), h = r.Height() + std::max(0, extraBelow);
    if (w < 1 || h < 1) return;
    BitmapPtr area(NewBitmap24(w, h));
    win::HDC dc = canvas->Handle();
    win::BitBlt(area->Canvas()->Handle(), 0, 0, w, h, dc, r.Left, r.Top, win::SRCCOPY);
    paint(area.get());
    win::BitBlt(dc, r.Left, r.Top, w, h, area->Canvas()->Handle(), 0, 0, win::SRCCOPY);
}

// A 32-bit glyph: the state's frame, blended by its alpha.
void DrawGlyph32(const ButtonGlyph& in, TBitmap* glyph, TCanvas* canvas) {
    const int frames = std::max(1, in.NumGlyphs);
    const int fw = glyph->Width() / frames, fh = glyph->Height();
    if (fw < 1 || fh < 1) return;
    const int frame = std::clamp(in.State, 0, frames - 1);
    const TRect src(frame * fw, 0, frame * fw + fw, fh);
    const int percent = in.State == 0 ? std::clamp(in.Blend, 0, 100) : 0;
    if (!canvas) {
        TBitmap* cache = in.SkinData ? in.SkinData->CacheBmp() : nullptr;
        if (!cache) return;
        BitmapPtr grey;
        TBitmap* from = glyph;
        if (in.State == 0 && in.Grayed) {
            grey = Copy(glyph, vcl::pf32bit);
            GrayscaleBitmap(ViewOf(grey.get()));
            from = grey.get();
        }
        const TRect dst(in.GlyphRect.Left, in.GlyphRect.Top, in.GlyphRect.Left + fw,
                        in.GlyphRect.Top + fh);
        DrawAlphaBitmap32(dst, src, ViewOf(cache), ViewOf(from), EmptyCacheInfo, false,
                          TColor(vcl::clNone), percent, in.Reflected);
        return;
    }
    BitmapPtr work(NewBitmap32(fw, fh));
    win::BitBlt(work->Canvas()->Handle(), 0, 0, fw, fh, glyph->Canvas()->Handle(), src.Left, 0,
                win::SRCCOPY);
    int blend = percent;
    if (!in.Enabled && in.DisabledGlyphKind.Contains(dgBlended)) blend = std::max(in.Blend, 50);
    if ((!in.Enabled && in.DisabledGlyphKind.Contains(dgGrayed)) || (in.State == 0 && in.Grayed))
        GrayscaleBitmap(ViewOf(work.get()));
    const TRect area(in.GlyphRect.Left, in.GlyphRect.Top, in.GlyphRect.Left + fw,
                     in.GlyphRect.Top + fh);
    ThroughCopy(canvas, area, in.Reflected ? fh : 0, [&](TBitmap* target) {
        DrawAlphaBitmap32(TRect(0, 0, fw, fh), TRect(0, 0, fw, fh), ViewOf(target),
                          ViewOf(work.get()), EmptyCacheInfo, false, TColor(vcl::clNone),
                          std::clamp(blend, 0, 100), in.Reflected);
    });
}

// A glyph with a transparent colour (its bottom-left pixel).
void DrawGlyph24(const ButtonGlyph& in, TBitmap* glyph, TCanvas* canvas) {
    const int indexOffset = in.Down ? 1 : 0;
    const TsDisabledKind kind = AsDisabledKind(in.DisabledGlyphKind);
    if (!canvas) {
        TBitmap* cache = in.SkinData ? in.SkinData->CacheBmp() : nullptr;
        if (!cache) return;
        BitmapPtr grey;
        TBitmap* from = glyph;
        if (in.State == 0 && in.Grayed) {
            grey = Copy(glyph, vcl::pf24bit);
            const PixelView v = ViewOf(grey.get());
            const uint8_t* corner = v.At(0, v.Height - 1);  // the transparent colour
            GrayscaleBitmapTransparent(v, RGB(corner[2], corner[1], corner[0]));
            from = grey.get();
        }
        DrawMultiGlyph(from, cache, in.GlyphRect.TopLeft(), indexOffset, in.Blend, in.State, kind,
                       true, in.NumGlyphs);
        return;
    }
    const int frames = std::max(1, in.NumGlyphs);
    const TRect area(in.GlyphRect.Left, in.GlyphRect.Top,
                     in.GlyphRect.Left + glyph->Width() / frames,
                     in.GlyphRect.Top + glyph->Height());
    ThroughCopy(canvas, area, 0, [&](TBitmap* target) {
        DrawMultiGlyph(glyph, target, {0, 0}, indexOffset, in.Blend, in.State, kind, in.Enabled,
                       in.NumGlyphs);
    });
}

int FrameCount(TCustomImageList* list) {
    const int w = list->Width(), h = list->Height();
    return h > 0 && w >= h && w % h == 0 ? w / h : 1;
}

// Picture `index` of a plain list: keyed, greyed, blended or copied as the button is.
void DrawPlainListGlyph(const ButtonGlyph& in, TCanvas* canvas) {
    TColor key = kTransparentKey;
    BitmapPtr bmp(ListPicture(in.Images, in.ImageIndex, key));
    if (!bmp) return;
    const PixelView pic = ViewOf(bmp.get());
    const TPoint at = in.GlyphRect.TopLeft();
    const TRect all(0, 0, pic.Width - 1, pic.Height - 1);
    if (!in.Skinned || canvas) {
        if (!in.Enabled && in.DisabledGlyphKind.Contains(dgGrayed))
            GrayscaleBitmapTransparent(pic, key);
        if (!canvas) return;
        win::TransparentBlt(canvas->Handle(), at.X, at.Y, pic.Width, pic.Height,
                            bmp->Canvas()->Handle(), 0, 0, pic.Width, pic.Height,
                            vcl::ColorToRGB(vcl::TColor(key)));
        return;
    }
    TBitmap* cache = in.SkinData ? in.SkinData->CacheBmp() : nullptr;
    if (!cache) return;
    const PixelView dst = ViewOf(cache);
    if (in.State == 0 && in.Grayed) GrayscaleBitmapTransparent(pic, key);
    if (in.State == 0 && in.Blend > 0)
        BlendBitmapTransparent(dst, at.X, at.Y, pic, all, std::min(in.Blend, 100) / 100.0, key);
    else
        CopyBitmapTransparent(dst, pic, at.X, at.Y, key);
}

}  // namespace

TBitmap* ListPicture(TCustomImageList* images, int index, TColor& key) {
    if (!images || index < 0 || index >= ImageListCount(images)) return nullptr;
    const vcl::TColor bk = images->BkColor();
    key = bk == vcl::clNone ? kTransparentKey : TColor(vcl::ColorToRGB(bk));
    BitmapPtr bmp(NewBitmap24(images->Width(), images->Height()));
    bmp->Canvas()->Brush()->SetColor(vcl::TColor(key));
    bmp->Canvas()->FillRect(vcl::Rect(0, 0, bmp->Width(), bmp->Height()));
    if (!images->GetBitmap(index, bmp.get())) return nullptr;
    return bmp.release();
}

void DrawButtonGlyph(vcl::TControl* button, TCanvas* canvas) {
    if (auto* owner = dynamic_cast<TsGlyphOwner*>(button))
        DrawButtonGlyph(owner->GlyphInputs(), canvas);
}

void DrawButtonGlyph(const ButtonGlyph& in, TCanvas* canvas) {
    if (in.Glyph && !in.Glyph->Empty()) {
        BitmapPtr converted;
        TBitmap* glyph = in.Glyph;
        const vcl::TPixelFormat f = glyph->PixelFormat();
        if (f != vcl::pf24bit && f != vcl::pf32bit) {
            converted = Copy(glyph, vcl::pf24bit);
            glyph = converted.get();
        } else if (f == vcl::pf32bit && !HasOpaquePixel(glyph)) {
            converted = Copy(glyph, vcl::pf24bit);
            glyph = converted.get();
        }
        if (glyph->PixelFormat() == vcl::pf32bit)
            DrawGlyph32(in, glyph, canvas);
        else
            DrawGlyph24(in, glyph, canvas);
        return;
    }
    if (!in.Images || in.ImageIndex < 0 || in.ImageIndex >= ImageListCount(in.Images)) return;
    if (auto* alpha = dynamic_cast<TsAlphaImageList*>(in.Images)) {
        const int state = in.State + (in.Down ? 1 : 0);
        const int percent = in.State == 0 ? std::clamp(in.Blend, 0, 100) : 0;
        if (!canvas && in.Skinned) {
            if (TBitmap* cache = in.SkinData ? in.SkinData->CacheBmp() : nullptr)
                DrawImageListGlyph(alpha, cache, in.GlyphRect.TopLeft(), FrameCount(alpha), state,
                                   in.ImageIndex, in.Reflected, TColor(vcl::clNone), percent);
        } else if (canvas) {
            DrawImageListGlyphToDC(alpha, canvas->Handle(), in.GlyphRect.TopLeft(),
                                   FrameCount(alpha), state, in.ImageIndex, in.Reflected,
                                   TColor(vcl::clNone), in.Enabled ? percent : 50);
        }
        return;
    }
    DrawPlainListGlyph(in, canvas);
}

void DrawToolButtonImage(const ToolButtonImage& in, TCanvas* canvas) {
    if (!canvas) return;
    const uint32_t s = in.ItemState;
    int state = 0;
    if (s != 0 && s != win::CDIS_DISABLED)
        state = (s & (win::CDIS_SELECTED | win::CDIS_CHECKED)) ? 2 : 1;
    TCustomImageList* list = in.Images;
    if ((s & win::CDIS_HOT) && in.ImageIndex < ImageListCount(in.HotImages)) list = in.HotImages;
    if (!list || in.ImageIndex < 0 || in.ImageIndex >= ImageListCount(list)) return;
    const int bw = in.Button.Width(), bh = in.Button.Height();
    int x, y;
    if (in.ListStyle) {
        x = 5;
        y = (bh - list->Height()) / 2;
    } else {
        x = (bw - list->Width()) / 2 + 1 - in.DropDownWidth;
        int captionHeight = 0;
        if (in.ShowCaptions) captionHeight = canvas->TextHeight("A") + 3;
        y = (bh - list->Height() - captionHeight) / 2;
    }
    if (state == 2) ++x, ++y;
    const TPoint at{in.Button.Left + x, in.Button.Top + y};
    if (auto* alpha = dynamic_cast<TsAlphaImageList*>(list)) {
        const int frame = (s & win::CDIS_HOT) ? 1 : (s & win::CDIS_CHECKED) ? 2 : 0;
        DrawImageListGlyphToDC(alpha, canvas->Handle(), at, FrameCount(alpha), frame,
                               in.ImageIndex, false, TColor(vcl::clNone), 0);
        return;
    }
    TColor key = kTransparentKey;
    BitmapPtr bmp(ListPicture(list, in.ImageIndex, key));
    if (!bmp) return;
    ThroughCopy(canvas, TRect(at.X, at.Y, at.X + bmp->Width(), at.Y + bmp->Height()), 0,
                [&](TBitmap* target) {
                    CopyBitmapTransparent(ViewOf(target), ViewOf(bmp.get()), 0, 0, key);
                });
}

namespace {

std::unique_ptr<TsAlphaImageList, vcl::FreeDeleter>& DefaultList() {
    static std::unique_ptr<TsAlphaImageList, vcl::FreeDeleter> list;
    return list;
}

}  // namespace

TsAlphaImageList* DefaultGlyphs() {
    auto& list = DefaultList();
    if (list) return list.get();
    list.reset(vcl::New<TsAlphaImageList>(nullptr));
    list->SetWidth(48);
    list->SetHeight(16);
    for (const char* name : {"SF", "SR", "SD", "SE", "SC"}) {
        const auto data = vcl::FindResourceData(vcl::RT_RCDATA, name);
        if (data.empty()) continue;  // a program without the pictures shows no default glyph
        TsImgListItem* item = list->Items()->Add();
        item->SetImageFormat(ifPNG);
        item->ImgData()->Write(data.data(), static_cast<int64_t>(data.size()));
    }
    list->GenerateImages();
    return list.get();
}

void FreeDefaultGlyphs() {
    DefaultList().reset();
}

}  // namespace skin
