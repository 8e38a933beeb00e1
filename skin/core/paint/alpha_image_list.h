// TsAlphaImageList: an image list that keeps every image's source file (PNG or ICO) as an item
// and builds the drawing layer's list from those items, so pictures keep their full alpha.
//
// Rules:
// 1. Items stay after the list is built (KeepItems); GenerateImages rebuilds the list from
//    them in order, and Change rebuilds it when it holds fewer images than there are items.
// 2. An image added through the inherited routines without any alpha gets alpha 255 on every
//    pixel that is not the key colour 0xFF00FF.
// 3. A PNG item is drawn from its decoded picture, scaled to the requested size; a picture
//    smaller than 2 pixels a side is scaled by the nearest pixel (the resampler refuses it).
// 4. Drawing never raises: a bad index or a missing image paints nothing.
#pragma once

#include <cstdint>

#include "platform/gdi/win_types.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/graphics/image_list.h"
#include "vcl/system/collection.h"
#include "vcl/system/streams.h"

namespace skin {

class TsAlphaImageList;

enum TsImageFormat : uint8_t { ifPNG, ifICO };

class TsImgListItem : public vcl::TCollectionItem {
public:
    VCL_CLASS_PUBLISHED(TsImgListItem, vcl::TCollectionItem)

    explicit TsImgListItem(vcl::TCollection* collection);
    ~TsImgListItem() override;

    TsImageFormat ImageFormat() const { return imageFormat_; }
    void SetImageFormat(TsImageFormat format) { imageFormat_ = format; }
    TPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TPixelFormat format) { pixelFormat_ = format; }
    // The whole image file: a PNG file from its signature on, or an ICO file.
    vcl::TMemoryStream* ImgData() { return &imgData_; }
    const vcl::TMemoryStream* ImgData() const { return &imgData_; }

    // Format, pixel format and the file's bytes, between two items.
    void Assign(const vcl::TPersistent* source) override;
    void AssignTo(vcl::TPersistent* dest) const override;

private:
    TsImageFormat imageFormat_ = ifPNG;
    TPixelFormat pixelFormat_ = pf32bit;
    vcl::TMemoryStream imgData_;
};

class TsImgListItems : public vcl::TOwnedCollection<TsImgListItem> {
public:
    VCL_CLASS(TsImgListItems, vcl::TCollection)
    explicit TsImgListItems(TsAlphaImageList* owner);
    TsAlphaImageList* ImageList() const { return list_; }

private:
    TsAlphaImageList* list_;
};

class TsAlphaImageList : public vcl::TImageList {
public:
    VCL_CLASS(TsAlphaImageList, vcl::TImageList)

    explicit TsAlphaImageList(vcl::TComponent* owner);
    ~TsAlphaImageList() override;

    void AfterConstruction() override;
    void Loaded() override;

    TsImgListItems* Items() { return &items_; }
    bool Generated() const { return generated_; }
    bool Updating() const { return updating_; }
    bool KeepItems() const { return keepItems_; }
    void SetKeepItems(bool on) { keepItems_ = on; }

    // Rebuilds the drawing layer's list from the items; a file that cannot be decoded raises
    // the decoder's exception.
    void GenerateImages();
    // Fills `bmp` (sized by the caller) with image `index` as a 32-bit picture with alpha.
    bool GetBitmap32(int index, vcl::TBitmap* bmp);

    void Assign(const vcl::TPersistent* source) override;
    void AssignTo(vcl::TPersistent* dest) const override;

protected:
    void Change() override;
    void DoDraw(int index, vcl::TCanvas* canvas, int x, int y, uint32_t style,
                bool enabled) override;

private:
    void CopyFrom(TsAlphaImageList* source);
    void GiveAlphaToPlainImages();

    TsImgListItems items_;
    bool generated_ = false;
    bool updating_ = false;
    bool keepItems_ = false;
};

// A 32-bit bitmap without any alpha: the bottom-left colour becomes transparent, every other
// pixel opaque.
void SetAlphaFromCorner(vcl::TBitmap* bmp);

// Draws frame `state` (of `frames` side by side) of image `index` of any image list at (x, y)
// of `target`, and answers the frame's size. An alpha image list's picture is mixed by its
// alpha, lowered by `percent`, tinted by `tint` (clNone: not) and mirrored below with
// `reflect`; other lists draw themselves over the target's pixels.
TPoint DrawImageListGlyph(vcl::TCustomImageList* list, vcl::TBitmap* target, TPoint pos, int frames,
                          int state, int index, bool reflect, TColor tint, int percent);
// The same onto a device context; with `reflect` the area below takes the mirror image too.
void DrawImageListGlyphToDC(vcl::TCustomImageList* list, win::HDC dc, TPoint pos, int frames,
                            int state, int index, bool reflect, TColor tint, int percent);

// Bits per pixel of the screen.
int ScreenColorDepth();

}  // namespace skin
