#include "skin/core/section_paint.h"

namespace skin {

SectionFill SectionFillValues(const TsSkinContent&, int, std::string_view, int, int, int, TColor) {
    return {};
}
void FillSkinBackground(vcl::TBitmap*, TRect, const SectionFill&, const CacheInfo&,
                        const TsSkinContent&) {}
void PaintSkinBackground(int, std::string_view, const CacheInfo&, int, TRect, TPoint, vcl::TBitmap*,
                         TsSkinManager*, int, int, TColor) {}
void PaintControlBackground(TsCommonData*, const CacheInfo&, int, TRect, TPoint, vcl::TBitmap*) {}
void PaintPartBackground(int, int, int, const CacheInfo&, int, TRect, TPoint, vcl::TBitmap*,
                         TsSkinManager*) {}
void PaintMaskWithBorders(int, std::string_view, const CacheInfo&, bool, int, TRect, TPoint,
                          vcl::TBitmap*, TsSkinManager*, int, int) {}
void PaintSectionToDC(int, std::string_view, const CacheInfo&, bool, int, TRect, TPoint, win::HDC,
                      TsSkinManager*) {}
void PaintSectionPart(int, int, int, int, CacheInfo&, bool, int, TRect, TPoint, vcl::TBitmap*,
                      TsSkinManager*) {}
int PaintSectionByName(vcl::TBitmap*, std::string_view, std::string_view, int, TsSkinManager*,
                       TPoint, TColor, win::HDC) {
    return -1;
}
void PaintControlSection(TsCommonData*, const CacheInfo&, bool, int, TRect, TPoint, vcl::TBitmap*,
                         uint8_t) {}
void PaintControlSectionEx(TsCommonData*, vcl::TControl*, bool, int, TRect, TPoint, vcl::TBitmap*,
                           uint8_t) {}
bool GetParentBackground(BackgroundInfo&, vcl::TControl*, bool) {
    return false;
}
bool GetBGInfoFromWindow(BackgroundInfo&, win::HWND, bool) {
    return false;
}
void BGInfoToCacheInfo(const BackgroundInfo&, CacheInfo& cache, PixelView& view) {
    cache = {};
    view = {};
}
void PaintTexture(vcl::TCanvas*, TRect&, vcl::TGraphic*, const TsMaskData*, int) {}
void PaintPatternMask(vcl::TBitmap*, TRect&, const CacheInfo&, const TsMaskData&, int) {}
void TileBitmapOnCanvas(vcl::TCanvas*, TRect, vcl::TGraphic*) {}

}  // namespace skin
