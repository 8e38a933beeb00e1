#include "vcl/graphics/image_list.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/icon.h"
#include "vcl/system/exceptions.h"

namespace vcl {

std::vector<TPropInfo> TImageList::Published() {
    using L = TCustomImageList;
    return {Property("Width", &L::Width, &L::SetWidth),
            Property("Height", &L::Height, &L::SetHeight),
            Property("AllocBy", &L::AllocBy, &L::SetAllocBy),
            Property("BkColor", &L::BkColor, &L::SetBkColor),
            Property("BlendColor", &L::BlendColor, &L::SetBlendColor),
            Property("DrawingStyle", &L::DrawingStyle, &L::SetDrawingStyle),
            Property("ImageType", &L::ImageType, &L::SetImageType),
            Property("Masked", &L::Masked, &L::SetMasked),
            Property("ShareImages", &L::ShareImages, &L::SetShareImages)};
}

namespace {

constexpr int kMaxSide = 1024;

// The drawing layer's colour of a list colour: clNone and clDefault have their own values.
win::COLORREF ListColor(TColor c) {
    if (c == clNone) return win::CLR_NONE;
    if (c == clDefault) return win::CLR_DEFAULT;
    return ColorToRGB(c);
}

}  // namespace

TColor ListColorToColor(win::COLORREF color) {
    if (color == win::CLR_NONE) return clNone;
    if (color == win::CLR_DEFAULT) return clDefault;
    return static_cast<TColor>(color & 0xFFFFFF);
}

namespace {

void CheckSize(int width, int height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        throw EInvalidOperation("Invalid image size");
}

uint32_t StyleFlags(TDrawingStyle style, TImageType type) {
    static const uint32_t kStyles[] = {win::ILD_FOCUS, win::ILD_SELECTED, win::ILD_NORMAL,
                                       win::ILD_TRANSPARENT};
    return kStyles[style] | (type == itMask ? win::ILD_MASK : 0);
}

}  // namespace

TChangeLink::~TChangeLink() {
    if (Sender) Sender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    OnChange(Sender);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {
    CheckSize(width, height);
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : links_)
        link->Sender = nullptr;
    FreeHandle();
}

void TCustomImageList::FreeHandle() {
    if (handle_ && !shareImages_) win::ImageList_Destroy(handle_);
    handle_ = nullptr;
}

void TCustomImageList::CreateImageListHandle() {
    handle_ = win::ImageList_Create(
        width_, height_, win::ILC_COLOR32 | (masked_ ? win::ILC_MASK : 0), allocBy_, allocBy_);
    if (!handle_) throw EOutOfResources("Cannot create an image list");
    win::ImageList_SetBkColor(handle_, ListColor(bkColor_));
}

win::HIMAGELIST TCustomImageList::Handle() {
    if (!handle_) CreateImageListHandle();
    return handle_;
}

void TCustomImageList::SetHandle(win::HIMAGELIST list) {
    if (list == handle_) return;
    FreeHandle();
    handle_ = list;
    if (list) {
        int cx = 0, cy = 0;
        win::ImageList_GetIconSize(list, &cx, &cy);
        width_ = cx;
        height_ = cy;
        bkColor_ = ListColorToColor(win::ImageList_GetBkColor(list));
    }
    Change();
}

int TCustomImageList::Count() {
    return handle_ ? win::ImageList_GetImageCount(handle_) : 0;
}

void TCustomImageList::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    CheckSize(width, height);
    width_ = width;
    height_ = height;
    if (handle_) win::ImageList_SetIconSize(handle_, width, height);
    Change();
}

void TCustomImageList::SetBkColor(TColor color) {
    if (color == bkColor_) return;
    bkColor_ = color;
    if (handle_) win::ImageList_SetBkColor(handle_, ListColor(color));
    Change();
}

void TCustomImageList::SetBlendColor(TColor color) {
    if (color == blendColor_) return;
    blendColor_ = color;
    Change();
}

void TCustomImageList::SetMasked(bool on) {
    if (on == masked_) return;
    masked_ = on;
    // The mask is part of how the list was made: a new, empty one follows.
    if (handle_ && !shareImages_) {
        FreeHandle();
        CreateImageListHandle();
    }
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle style) {
    if (style == drawingStyle_) return;
    drawingStyle_ = style;
    Change();
}

void TCustomImageList::SetImageType(TImageType type) {
    if (type == imageType_) return;
    imageType_ = type;
    Change();
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
    if (!image || image->Empty()) return -1;
    const int index =
        win::ImageList_Add(Handle(), image->Handle(), mask ? mask->Handle() : nullptr);
    if (index >= 0) Change();
    return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
    if (!image || image->Empty()) return -1;
    const int index =
        masked_ ? win::ImageList_AddMasked(Handle(), image->Handle(), ColorToRGB(maskColor))
                : win::ImageList_Add(Handle(), image->Handle(), nullptr);
    if (index >= 0) Change();
    return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
    if (!icon || icon->Empty()) return -1;
    const int index = win::ImageList_AddIcon(Handle(), icon->Handle());
    if (index >= 0) Change();
    return index;
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
    if (!image || image->Empty() || index < 0 || index >= Count())
        throw EInvalidOperation("Failed to replace image");
    win::ImageList_Replace(Handle(), index, image->Handle(), mask ? mask->Handle() : nullptr);
    Change();
}

void TCustomImageList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Image index out of bounds");
    win::ImageList_Remove(handle_, index);
    Change();
}

void TCustomImageList::Clear() {
    if (handle_) win::ImageList_RemoveAll(handle_);
    Change();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) {
    if (!image || index < 0 || index >= Count()) return false;
    image->SetSize(width_, height_);
    Draw(image->Canvas(), 0, 0, index);
    return true;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
    Draw(canvas, x, y, index, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style,
                            TImageType type, bool enabled) {
    if (!canvas || !handle_ || index < 0 || index >= Count()) return;
    DoDraw(index, canvas, x, y, StyleFlags(style, type), enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, uint32_t style,
                              bool enabled) {
    win::HDC dc = canvas->Handle();
    if (enabled)
        // Without a blend colour of its own a selected image blends with the highlight.
        win::ImageList_DrawEx(handle_, index, dc, x, y, 0, 0, ListColor(bkColor_),
                              blendColor_ == clNone ? win::CLR_DEFAULT : ListColor(blendColor_),
                              style);
    else
        DrawDisabled(index, dc, x, y);
    canvas->Refresh();
}

void TCustomImageList::DrawDisabled(int index, win::HDC dc, int x, int y) {
    // The image laid on white: whatever is not white is ink.
    win::BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = width_;
    bmi.bmiHeader.biHeight = -height_;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win::HBITMAP ink = win::CreateDIBSection(nullptr, &bmi, win::DIB_RGB_COLORS, &bits);
    if (!ink) return;
    win::HDC mem = win::CreateCompatibleDC(nullptr);
    win::HGDIOBJ old = win::SelectObject(mem, ink);
    win::PatBlt(mem, 0, 0, width_, height_, win::WHITENESS);
    win::ImageList_DrawEx(handle_, index, mem, 0, 0, 0, 0, win::CLR_NONE, win::CLR_NONE,
                          win::ILD_TRANSPARENT);
    // White marks the ink now, black the rest, so the brush lands only on the ink.
    auto* px = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width_ * height_; ++i)
        px[i] = (px[i] & 0xFFFFFF) == 0xFFFFFF ? 0 : 0xFFFFFFFF;
    constexpr win::DWORD kDSPDxax = 0x00E20746;
    const int saved = win::SaveDC(dc);
    win::SelectObject(dc, win::GetSysColorBrush(win::COLOR_BTNHIGHLIGHT));
    win::BitBlt(dc, x + 1, y + 1, width_, height_, mem, 0, 0, kDSPDxax);
    win::SelectObject(dc, win::GetSysColorBrush(win::COLOR_BTNSHADOW));
    win::BitBlt(dc, x, y, width_, height_, mem, 0, 0, kDSPDxax);
    win::RestoreDC(dc, saved);
    win::SelectObject(mem, old);
    win::DeleteDC(mem);
    win::DeleteObject(ink);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
    if (!link || std::find(links_.begin(), links_.end(), link) != links_.end()) return;
    if (link->Sender && link->Sender != this) link->Sender->UnRegisterChanges(link);
    link->Sender = this;
    links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
    const auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end()) return;
    links_.erase(it);
    link->Sender = nullptr;
}

void TCustomImageList::Change() {
    // A link may unregister itself while it is told.
    const std::vector<TChangeLink*> links = links_;
    for (TChangeLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
    OnChange(this);
}

void TCustomImageList::Assign(const TPersistent* source) {
    auto* from = dynamic_cast<const TCustomImageList*>(source);
    if (!from) {
        TComponent::Assign(source);
        return;
    }
    if (from == this) return;
    auto* src = const_cast<TCustomImageList*>(from);
    FreeHandle();
    width_ = src->width_;
    height_ = src->height_;
    masked_ = src->masked_;
    bkColor_ = src->bkColor_;
    blendColor_ = src->blendColor_;
    drawingStyle_ = src->drawingStyle_;
    imageType_ = src->imageType_;
    allocBy_ = src->allocBy_;
    CreateImageListHandle();
    // Each image goes over as an icon, which carries its mask and alpha.
    for (int i = 0; i < src->Count(); ++i) {
        win::HICON icon = win::ImageList_GetIcon(src->handle_, i, win::ILD_TRANSPARENT);
        win::ImageList_AddIcon(handle_, icon);
        win::DestroyIcon(icon);
    }
    Change();
}

}  // namespace vcl
