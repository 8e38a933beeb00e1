#include "vcl/graphics/canvas.h"

#include "platform/gdi/gdi.h"
#include "vcl/system/exceptions.h"
#include "vcl/graphics/picture.h"

namespace vcl {

TCanvas::TCanvas() {
    auto changed = TNotifyEvent(this, &TCanvas::ObjectChanged);
    font_.OnChange = changed;
    pen_.OnChange = changed;
    brush_.OnChange = changed;
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
}

void TCanvas::ObjectChanged(TObject* sender) {
    if (sender == &font_) valid_ &= ~kFont;
    if (sender == &pen_) valid_ &= ~kPen;
    if (sender == &brush_) valid_ &= ~kBrush;
}

win::HDC TCanvas::Handle() {
    if (!dc_) CreateHandle();
    if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
    return dc_;
}

void TCanvas::SetHandle(win::HDC dc) {
    if (dc == dc_) return;
    if (dc_) DeselectHandles();
    dc_ = dc;
    valid_ = 0;
}

void TCanvas::DeselectHandles() {
    if (!dc_) return;
    if (oldPen_) win::SelectObject(dc_, oldPen_);
    if (oldBrush_) win::SelectObject(dc_, oldBrush_);
    if (oldFont_) win::SelectObject(dc_, oldFont_);
    oldPen_ = oldBrush_ = oldFont_ = nullptr;
    valid_ = 0;
}

void TCanvas::Refresh() {
    DeselectHandles();
}

void TCanvas::Require(uint8_t state) {
    win::HDC dc = Handle();
    const uint8_t need = state & ~valid_;
    if (need & kPen) {
        win::HGDIOBJ old = win::SelectObject(dc, pen_.Handle());
        if (!oldPen_) oldPen_ = old;
        win::SetROP2(dc, PenModeToRop2(pen_.Mode()));
    }
    if (need & kBrush) {
        win::HGDIOBJ old = win::SelectObject(dc, brush_.Handle());
        if (!oldBrush_) oldBrush_ = old;
        win::SetBkColor(dc, ColorToRGB(brush_.Color()));
        win::SetBkMode(dc, brush_.Style() == bsSolid ? win::OPAQUE : win::TRANSPARENT);
    }
    if (need & kFont) {
        win::HGDIOBJ old = win::SelectObject(dc, font_.Handle());
        if (!oldFont_) oldFont_ = old;
        win::SetTextColor(dc, ColorToRGB(font_.Color()));
    }
    valid_ |= need;
}

TPoint TCanvas::PenPos() {
    win::POINT p;
    win::GetCurrentPositionEx(Handle(), &p);
    return p;
}

TColor TCanvas::Pixels(int x, int y) {
    return static_cast<TColor>(win::GetPixel(Handle(), x, y));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    Changing();
    win::SetPixel(Handle(), x, y, ColorToRGB(color));
    Changed();
}

TRect TCanvas::ClipRect() {
    win::RECT r;
    win::GetClipBox(Handle(), &r);
    return r;
}

void TCanvas::MoveTo(int x, int y) {
    win::MoveToEx(Handle(), x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    Require(kPen | kBrush);
    win::LineTo(dc_, x, y);
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Changing();
    Require(kPen | kBrush);
    win::Rectangle(dc_, x1, y1, x2, y2);
    Changed();
}

void TCanvas::FillRect(const TRect& r) {
    Changing();
    Require(kBrush);
    const win::RECT wr = r;
    win::FillRect(dc_, &wr, brush_.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    Changing();
    Require(kBrush);
    const win::RECT wr = r;
    win::FrameRect(dc_, &wr, brush_.Handle());
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    Changing();
    Require(kPen | kBrush);
    win::RoundRect(dc_, x1, y1, x2, y2, x3, y3);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Changing();
    Require(kPen | kBrush);
    win::Ellipse(dc_, x1, y1, x2, y2);
    Changed();
}

namespace {

std::vector<win::POINT> ToPoints(const std::vector<TPoint>& points) {
    return std::vector<win::POINT>(points.begin(), points.end());
}

}  // namespace

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    Changing();
    Require(kPen | kBrush);
    const auto p = ToPoints(points);
    win::Polygon(dc_, p.data(), static_cast<int>(p.size()));
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    Changing();
    Require(kPen | kBrush);
    const auto p = ToPoints(points);
    win::Polyline(dc_, p.data(), static_cast<int>(p.size()));
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
    Changing();
    // Every other pixel of the frame inverted: drawing it twice takes it away again.
    win::HDC dc = Handle();
    auto dot = [dc](int x, int y) {
        const win::RECT p{x, y, x + 1, y + 1};
        win::InvertRect(dc, &p);
    };
    for (int x = r.Left; x < r.Right; x += 2) {
        dot(x, r.Top);
        if (r.Bottom - 1 > r.Top) dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 2; y < r.Bottom - 1; y += 2) {
        dot(r.Left, y);
        if (r.Right - 1 > r.Left) dot(r.Right - 1, y);
    }
    Changed();
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    Changing();
    Require(kFont | kBrush);
    win::TextOut(dc_, x, y, text.data(), static_cast<int>(text.size()));
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
    Changing();
    Require(kFont | kBrush);
    const win::RECT wr = r;
    win::UINT options = win::ETO_CLIPPED;
    if (brush_.Style() != bsClear) options |= win::ETO_OPAQUE;
    win::ExtTextOut(dc_, x, y, options, &wr, text.data(), static_cast<win::UINT>(text.size()),
                    nullptr);
    Changed();
}

win::SIZE TCanvas::TextExtent(std::string_view text) {
    Require(kFont);
    win::SIZE s;
    win::GetTextExtentPoint32(dc_, text.data(), static_cast<int>(text.size()), &s);
    return s;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Changing();
    Require(kPen | kBrush | kFont);
    graphic->Draw(this, r);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& src) {
    Changing();
    Require(kBrush);
    win::StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source->Handle(),
                    src.Left, src.Top, src.Width(), src.Height(), CopyMode);
    Changed();
}

void TCanvas::Lock() {
    lock_.lock();
    ++lockCount_;
}

bool TCanvas::TryLock() {
    if (!lock_.try_lock()) return false;
    ++lockCount_;
    return true;
}

void TCanvas::Unlock() {
    if (lockCount_ == 0) return;
    --lockCount_;
    lock_.unlock();
}

void TCanvas::Changing() {
    OnChanging(this);
}

void TCanvas::Changed() {
    OnChange(this);
}

}  // namespace vcl
