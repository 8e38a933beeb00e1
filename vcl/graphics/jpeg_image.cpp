#include "vcl/graphics/jpeg_image.h"

#include <cstring>

#include "vcl/system/exceptions.h"
#include "vcl/graphics/jpeg_codec.h"
#include "vcl/system/streams.h"

namespace vcl {

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const {
    return data_.empty() && !bitmap_;
}

int TJPEGImage::Width() const {
    return bitmap_ ? bitmap_->Width() : width_;
}
int TJPEGImage::Height() const {
    return bitmap_ ? bitmap_->Height() : height_;
}

void TJPEGImage::SetWidth(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}
void TJPEGImage::SetHeight(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

// The size from the frame header, so that measuring a picture does not decode it.
void TJPEGImage::ReadHeaderSize() {
    width_ = height_ = 0;
    std::size_t i = 2;
    while (i + 9 < data_.size()) {
        if (data_[i] != 0xFF) break;
        const uint8_t marker = data_[i + 1];
        const std::size_t len = (data_[i + 2] << 8) | data_[i + 3];
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            height_ = (data_[i + 5] << 8) | data_[i + 6];
            width_ = (data_[i + 7] << 8) | data_[i + 8];
            Grayscale = data_[i + 9] == 1;
            return;
        }
        if (len < 2) break;
        i += 2 + len;
    }
}

TBitmap* TJPEGImage::Bitmap() {
    if (bitmap_) return bitmap_.get();
    auto bmp = std::unique_ptr<TBitmap, FreeDeleter>(new TBitmap);
    if (!data_.empty()) {
        const JpegPixels px = DecodeJpeg(data_);
        Grayscale = px.grayscale;
        bmp->SetPixelFormat(pf24bit);
        bmp->SetSize(px.width, px.height);
        for (int y = 0; y < px.height; ++y) {
            uint8_t* row = bmp->ScanLine(y);
            const uint8_t* src = px.rgb.data() + std::size_t(y) * px.width * 3;
            for (int x = 0; x < px.width; ++x) {  // RGB -> the bitmap's blue, green, red
                row[x * 3] = src[x * 3 + 2];
                row[x * 3 + 1] = src[x * 3 + 1];
                row[x * 3 + 2] = src[x * 3];
            }
        }
    }
    bitmap_ = std::move(bmp);
    return bitmap_.get();
}

void TJPEGImage::JPEGNeeded() {
    if (!data_.empty() || !bitmap_ || bitmap_->Empty()) return;
    TBitmap copy;
    copy.Assign(bitmap_.get());
    copy.SetPixelFormat(pf24bit);
    const int w = copy.Width(), h = copy.Height();
    std::vector<uint8_t> rgb(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = copy.ScanLine(y);
        uint8_t* dst = rgb.data() + std::size_t(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            dst[x * 3] = row[x * 3 + 2];
            dst[x * 3 + 1] = row[x * 3 + 1];
            dst[x * 3 + 2] = row[x * 3];
        }
    }
    data_ = EncodeJpeg(w, h, rgb, CompressionQuality, Grayscale);
}

void TJPEGImage::Assign(const TPersistent* source) {
    if (const auto* j = dynamic_cast<const TJPEGImage*>(source)) {
        if (j == this) return;
        data_ = j->data_;
        width_ = j->width_;
        height_ = j->height_;
        CompressionQuality = j->CompressionQuality;
        Grayscale = j->Grayscale;
        bitmap_.reset();
        if (data_.empty() && j->bitmap_) {
            bitmap_.reset(new TBitmap);
            bitmap_->Assign(j->bitmap_.get());
        }
        Changed();
    } else if (const auto* b = dynamic_cast<const TBitmap*>(source)) {
        data_.clear();
        bitmap_.reset(new TBitmap);
        bitmap_->Assign(b);
        Changed();
    } else {
        TGraphic::Assign(source);
    }
}

void TJPEGImage::AssignTo(TPersistent* dest) const {
    if (auto* b = dynamic_cast<TBitmap*>(dest)) {
        b->Assign(const_cast<TJPEGImage*>(this)->Bitmap());
        return;
    }
    TGraphic::AssignTo(dest);
}

void TJPEGImage::LoadFromStream(TStream* stream) {
    const int64_t size = stream->Size() - stream->Position();
    std::vector<uint8_t> data(static_cast<std::size_t>(size > 0 ? size : 0));
    if (!data.empty()) stream->ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8)
        throw EInvalidGraphic("JPEG error: not a JPEG file");
    data_ = std::move(data);
    bitmap_.reset();
    ReadHeaderSize();
    Changed();
}

void TJPEGImage::SaveToStream(TStream* stream) {
    JPEGNeeded();
    if (!data_.empty()) stream->WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& rect) {
    TBitmap* b = Bitmap();
    if (b->Empty()) return;
    canvas->StretchDraw(rect, b);
}

}  // namespace vcl
