// TCanvas: drawing with a pen, a brush and a font on a device context.
//
// The canvas selects its objects into the DC only when a drawing call needs them, and again
// after one of them changed. A canvas over a DC made elsewhere (SetHandle) gives the DC back
// with its original objects when the handle changes or the canvas goes. Lock and Unlock guard a
// canvas shared with another thread.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/graphics/graphics.h"
#include "vcl/system/types.h"

namespace vcl {

class TGraphic;

enum TTextFormatFlag : uint8_t {
    tfBottom,
    tfCalcRect,
    tfCenter,
    tfEditControl,
    tfEndEllipsis,
    tfPathEllipsis,
    tfExpandTabs,
    tfExternalLeading,
    tfLeft,
    tfModifyString,
    tfNoClip,
    tfNoPrefix,
    tfRight,
    tfRtlReading,
    tfSingleLine,
    tfTop,
    tfVerticalCenter,
    tfWordBreak
};

class TCanvas : public TPersistent {
public:
    VCL_CLASS(TCanvas, TPersistent)

    TCanvas();
    ~TCanvas() override;

    // The DC, made on demand by CreateHandle in canvases that know how (bitmaps, controls).
    win::HDC Handle();
    void SetHandle(win::HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont* Font() { return &font_; }
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    void SetFont(const TFont* f) { font_.Assign(f); }
    void SetPen(const TPen* p) { pen_.Assign(p); }
    void SetBrush(const TBrush* b) { brush_.Assign(b); }

    TPoint PenPos();
    void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor color);
    // Raster operation for CopyRect and Draw of bitmaps (SRCCOPY by default).
    uint32_t CopyMode = 0x00CC0020;
    TRect ClipRect();

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    void DrawFocusRect(const TRect& r);

    void TextOut(int x, int y, std::string_view text);
    // Text clipped to the rectangle, drawn at (x, y).
    void TextRect(const TRect& r, int x, int y, std::string_view text);
    win::SIZE TextExtent(std::string_view text);
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);

    void Lock();
    bool TryLock();
    void Unlock();
    int LockCount() const { return lockCount_; }

    // Forgets what is selected, so the next drawing call selects pen, brush and font again.
    void Refresh();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void CreateHandle() {}
    // Called before the DC goes, so the owner can deselect what it selected itself.
    void DeselectHandles();
    void Changing();
    void Changed();

private:
    enum State : uint8_t { kPen = 1, kBrush = 2, kFont = 4 };
    void Require(uint8_t state);
    void ObjectChanged(TObject* sender);

    win::HDC dc_ = nullptr;
    uint8_t valid_ = 0;
    win::HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr, oldFont_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    std::recursive_mutex lock_;
    int lockCount_ = 0;
};

}  // namespace vcl
