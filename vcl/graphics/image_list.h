// TCustomImageList and TImageList: a component over a drawing-layer image list, images of one
// size drawn by index.
//
// The list's handle is made when first needed, with 32-bit colour (so images keep their alpha)
// and a mask when Masked. Changing Width, Height or Masked empties the list. Every change of
// the images or of how they are drawn calls Change, which tells the registered change links
// (controls that show the list's images) and then OnChange.
//
// A disabled image is drawn embossed, the way disabled glyphs look: its ink (every opaque
// pixel that is not white) in the highlight colour one pixel down and right, then in the
// shadow colour in place.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/win_types.h"
#include "vcl/graphics/graphics.h"
#include "vcl/system/component.h"

namespace vcl {

class TBitmap;
class TCanvas;
class TCustomImageList;
class TIcon;

enum TDrawingStyle : uint8_t { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType : uint8_t { itImage, itMask };

// A control's hold on an image list: told of every change until it is freed or unregistered.
class TChangeLink : public TObject {
public:
    VCL_CLASS(TChangeLink, TObject)

    ~TChangeLink() override;
    TCustomImageList* Sender = nullptr;
    TNotifyEvent OnChange;
    virtual void Change();
};

class TCustomImageList : public TComponent {
public:
    VCL_CLASS(TCustomImageList, TComponent)

    explicit TCustomImageList(TComponent* owner);
    // EInvalidOperation for a size outside 1..1024.
    TCustomImageList(TComponent* owner, int width, int height);
    ~TCustomImageList() override;

    win::HIMAGELIST Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Takes the list (and its size) for this component; the old one is destroyed unless
    // ShareImages.
    void SetHandle(win::HIMAGELIST list);

    int Width() const { return width_; }
    void SetWidth(int width) { SetSize(width, height_); }
    int Height() const { return height_; }
    void SetHeight(int height) { SetSize(width_, height); }
    // Empties the list when the size changes.
    void SetSize(int width, int height);
    int Count();
    int AllocBy() const { return allocBy_; }
    void SetAllocBy(int n) { allocBy_ = n; }
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor color);
    TColor BlendColor() const { return blendColor_; }
    void SetBlendColor(TColor color);
    bool Masked() const { return masked_; }
    void SetMasked(bool on);
    TDrawingStyle DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle style);
    TImageType ImageType() const { return imageType_; }
    void SetImageType(TImageType type);
    // The handle is not destroyed with the component.
    bool ShareImages() const { return shareImages_; }
    void SetShareImages(bool on) { shareImages_ = on; }

    // One image per Width of the bitmap; answer the first index, or -1. A mask's white pixels
    // are transparent; AddMasked makes the pixels of one colour transparent.
    int Add(TBitmap* image, TBitmap* mask);
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddIcon(TIcon* icon);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void Delete(int index);
    void Clear();

    // Sizes the bitmap to the list's and draws the image over what it holds; false for a
    // bad index.
    bool GetBitmap(int index, TBitmap* image);
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
              bool enabled = true);

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    TNotifyEvent OnChange;

    // Copies size, look and images of another image list.
    void Assign(const TPersistent* source) override;

protected:
    virtual void CreateImageListHandle();
    virtual void Change();
    virtual void DoDraw(int index, TCanvas* canvas, int x, int y, uint32_t style, bool enabled);

private:
    void FreeHandle();
    void DrawDisabled(int index, win::HDC dc, int x, int y);

    win::HIMAGELIST handle_ = nullptr;
    int width_ = 16;
    int height_ = 16;
    int allocBy_ = 4;
    TColor bkColor_ = clNone;
    TColor blendColor_ = clNone;
    bool masked_ = true;
    TDrawingStyle drawingStyle_ = dsNormal;
    TImageType imageType_ = itImage;
    bool shareImages_ = false;
    std::vector<TChangeLink*> links_;
};

// A drawing-layer list colour as a colour property: CLR_NONE is clNone, CLR_DEFAULT clDefault.
TColor ListColorToColor(win::COLORREF color);

class TImageList : public TCustomImageList {
public:
    VCL_CLASS_PUBLISHED(TImageList, TCustomImageList)
    using TCustomImageList::TCustomImageList;
};

}  // namespace vcl
