#include "skin/core/alpha_image_list.h"

namespace skin {

std::vector<vcl::TPropInfo> TsImgListItem::Published() {
    return {
        vcl::Property("ImageFormat", &TsImgListItem::ImageFormat, &TsImgListItem::SetImageFormat),
        vcl::Property("PixelFormat", &TsImgListItem::PixelFormat, &TsImgListItem::SetPixelFormat)};
}

TsImgListItem::TsImgListItem(vcl::TCollection* collection) : vcl::TCollectionItem(collection) {}
TsImgListItem::~TsImgListItem() = default;
void TsImgListItem::Assign(const vcl::TPersistent* source) {
    vcl::TCollectionItem::Assign(source);
}
void TsImgListItem::AssignTo(vcl::TPersistent* dest) const {
    vcl::TCollectionItem::AssignTo(dest);
}

TsImgListItems::TsImgListItems(TsAlphaImageList* owner)
    : vcl::TOwnedCollection<TsImgListItem>(owner), list_(owner) {}

TsAlphaImageList::TsAlphaImageList(vcl::TComponent* owner) : vcl::TImageList(owner), items_(this) {}
TsAlphaImageList::~TsAlphaImageList() = default;
void TsAlphaImageList::AfterConstruction() {
    vcl::TImageList::AfterConstruction();
}
void TsAlphaImageList::Loaded() {
    vcl::TImageList::Loaded();
}
void TsAlphaImageList::GenerateImages() {}
bool TsAlphaImageList::GetBitmap32(int, vcl::TBitmap*) {
    return false;
}
void TsAlphaImageList::Assign(const vcl::TPersistent* source) {
    vcl::TImageList::Assign(source);
}
void TsAlphaImageList::AssignTo(vcl::TPersistent* dest) const {
    vcl::TImageList::AssignTo(dest);
}
void TsAlphaImageList::Change() {
    vcl::TImageList::Change();
}
void TsAlphaImageList::DoDraw(int index, vcl::TCanvas* canvas, int x, int y, uint32_t style,
                              bool enabled) {
    vcl::TImageList::DoDraw(index, canvas, x, y, style, enabled);
}

void SetAlphaFromCorner(vcl::TBitmap*) {}
TPoint DrawImageListGlyph(vcl::TCustomImageList*, vcl::TBitmap*, TPoint, int, int, int, bool,
                          TColor, int) {
    return {};
}
void DrawImageListGlyphToDC(vcl::TCustomImageList*, win::HDC, TPoint, int, int, int, bool, TColor,
                            int) {}
int ScreenColorDepth() {
    return 32;
}

}  // namespace skin
