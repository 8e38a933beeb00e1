// TBitmap: a picture in memory over a drawing-layer bitmap, with a canvas to draw on it.
//
// pfDevice bitmaps are in the drawing layer's device format (HandleType bmDDB); every other
// pixel format is a device-independent bitmap (bmDIB) with bottom-up rows, so ScanLine(0) is
// the top row and rows lie ScanLine(1) - ScanLine(0) bytes apart (a negative distance). Size and
// format changes keep the picture (converted, clipped); new area is white. Files and streams
// hold the BMP format.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/win_types.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/picture.h"

namespace vcl {

enum TPixelFormat : uint8_t {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};
enum TBitmapHandleType : uint8_t { bmDIB, bmDDB };
enum TTransparentMode : uint8_t { tmAuto, tmFixed };

class TBitmap : public TGraphic {
public:
    VCL_CLASS(TBitmap, TGraphic)

    TBitmap();
    ~TBitmap() override;

    TGraphic* NewInstance() const override { return new TBitmap; }
    bool Empty() const override { return width_ == 0 || height_ == 0; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int width) override { SetSize(width, height_); }
    void SetHeight(int height) override { SetSize(width_, height); }
    void SetSize(int width, int height);  // EOutOfResources when the layer cannot make it

    TPixelFormat PixelFormat() const { return format_; }
    void SetPixelFormat(TPixelFormat format);
    TBitmapHandleType HandleType() const { return format_ == pfDevice ? bmDDB : bmDIB; }
    void SetHandleType(TBitmapHandleType type);
    bool Monochrome() const { return format_ == pf1bit; }

    // The bitmap handle (nullptr while empty). SetHandle takes ownership of the given handle;
    // ReleaseHandle gives it away and leaves the bitmap empty.
    win::HBITMAP Handle() const { return handle_; }
    void SetHandle(win::HBITMAP bitmap);
    win::HBITMAP ReleaseHandle();

    TCanvas* Canvas();
    // Row `row` counted from the top; EInvalidGraphic "Scan line index out of range" outside.
    uint8_t* ScanLine(int row);

    TColor TransparentColor();  // tmAuto: the bottom-left pixel
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);

    void Assign(const TPersistent* source) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;

protected:
    void Draw(TCanvas* canvas, const TRect& rect) override;
    void Changed() override;

private:
    class BitmapCanvas;
    void Rebuild(int width, int height, TPixelFormat format, win::HBITMAP keep);
    void ReleaseCanvasDC();

    win::HBITMAP handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pfDevice;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    std::unique_ptr<BitmapCanvas> canvas_;
};

// The bit count of a pixel format (0 for pfDevice and pfCustom).
int BitsOfPixelFormat(TPixelFormat format);

}  // namespace vcl
