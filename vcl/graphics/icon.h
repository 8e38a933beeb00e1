// TIcon: an icon picture over the drawing layer's icons, read from and written to ICO files.
// Registered with TPicture for "ico".
//
// An icon read from a stream keeps the file's bytes, so saving writes the file back as it was
// (with all its images); an icon made from a handle is saved as a one-image, 32-bit ICO file.
// Icons are always drawn through their mask or alpha, so they are transparent.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/win_types.h"
#include "vcl/graphics/picture.h"

namespace vcl {

class TIcon : public TGraphic {
public:
    VCL_CLASS(TIcon, TGraphic)

    TIcon();
    ~TIcon() override;

    TGraphic* NewInstance() const override { return new TIcon; }
    bool Empty() const override { return handle_ == nullptr; }
    int Width() const override { return handle_ ? width_ : requestedWidth_; }
    int Height() const override { return handle_ ? height_ : requestedHeight_; }
    // Before loading: the size of the image to pick from a file with several. An icon that
    // holds an image cannot change its size (EInvalidGraphicOperation).
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Transparent() const override { return true; }

    // The icon handle (nullptr while empty). SetHandle takes ownership of the given handle;
    // ReleaseHandle gives it away and leaves the icon empty.
    win::HICON Handle() const { return handle_; }
    void SetHandle(win::HICON icon);
    win::HICON ReleaseHandle();

    // A new icon handle of about cx x cy, which the caller destroys: the nearest image of the
    // file the icon was read from, else the icon scaled; nullptr while empty.
    win::HICON CopyOfSize(int cx, int cy) const;

    void Assign(const TPersistent* source) override;
    // EInvalidGraphic for anything that is no readable ICO file.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;

protected:
    void Draw(TCanvas* canvas, const TRect& rect) override;

private:
    void Clear();
    void TakeHandle(win::HICON icon);

    win::HICON handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int requestedWidth_ = 0;
    int requestedHeight_ = 0;
    std::vector<uint8_t> data_;  // the ICO file the icon was read from, when it was
};

// A one-image, 32-bit ICO file of an icon handle; empty when the handle is not an icon.
std::vector<uint8_t> EncodeIco(win::HICON icon);

}  // namespace vcl
