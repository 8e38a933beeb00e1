// TPNGGraphic: a bitmap that loads PNG images, and draws those with alpha (32-bit) blended over
// what the canvas shows, optionally with a fading mirror image below.
#pragma once

#include "platform/gdi/icon.h"
#include "skin/core/pixels/png_decoder.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

class TPNGGraphic : public vcl::TBitmap {
public:
    VCL_CLASS(TPNGGraphic, vcl::TBitmap)

    TPNGGraphic();

    TGraphic* NewInstance() const override { return new TPNGGraphic; }
    void Assign(const vcl::TPersistent* source) override;
    void LoadFromStream(vcl::TStream* stream) override;

    PngDecoder& Decoder() { return decoder_; }
    const TPngHeaderInfo& Header() const { return decoder_.Header; }
    uint8_t Reflected = 0;  // set by users before drawing

protected:
    void Draw(vcl::TCanvas* canvas, const vcl::TRect& rect) override;

private:
    PngDecoder decoder_;
};

// Registers "png" with the picture loader; the library's start-up calls it once.
void RegisterPngFormat();
void UnregisterPngFormat();

// Icons for image lists (the caller destroys them). The alpha icon blends the picture over
// `background` and keeps its alpha; a bitmap that is not 32-bit gets alpha 255 except for the
// transparent key colour. The colour-key icon masks out the top-left pixel's colour when
// `forceKeyMask` is set or the bitmap has no alpha, and else relies on the bitmap's alpha. Both
// may turn the given bitmap into 32-bit.
win::HICON MakeAlphaIconFromBitmap(vcl::TBitmap* bmp, TColor background);
win::HICON MakeIconFromBitmap(vcl::TBitmap* bmp, bool forceKeyMask);

// Pure white pixels with alpha 0 of a 32-bit bitmap become black (still alpha 0).
void ClearTransparentWhite(vcl::TBitmap* bmp);

}  // namespace skin
