// TJPEGImage: a JPEG picture. It keeps the file's bytes and decodes them into a 24-bit bitmap
// when the picture is first drawn or measured; a picture assigned from a bitmap is encoded when
// it is saved. Registered with TPicture for "jpg" and "jpeg".
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vcl/graphics/bitmap.h"

namespace vcl {

class TJPEGImage : public TGraphic {
public:
    VCL_CLASS(TJPEGImage, TGraphic)

    TJPEGImage();
    ~TJPEGImage() override;

    TGraphic* NewInstance() const override { return new TJPEGImage; }
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    // A JPEG picture cannot be resized in place.
    void SetWidth(int) override;
    void SetHeight(int) override;

    int CompressionQuality = 90;  // 1..100, used when encoding
    bool Grayscale = false;       // encode luminance only; set when a grey file is read

    // The decoded picture (decoding now when needed). Raises EInvalidGraphic for bad data.
    TBitmap* Bitmap();
    void DIBNeeded() { Bitmap(); }
    void JPEGNeeded();  // encodes the bitmap when no JPEG bytes are held
    void Compress() { JPEGNeeded(); }
    const std::vector<uint8_t>& Data() const { return data_; }

    void Assign(const TPersistent* source) override;
    void LoadFromStream(TStream* stream) override;  // from the position to the end
    void SaveToStream(TStream* stream) override;

protected:
    void AssignTo(TPersistent* dest) const override;
    void Draw(TCanvas* canvas, const TRect& rect) override;

private:
    void ReadHeaderSize();

    std::vector<uint8_t> data_;
    std::unique_ptr<TBitmap, FreeDeleter> bitmap_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vcl
