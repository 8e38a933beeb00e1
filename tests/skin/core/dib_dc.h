// A 24- or 32-bit bottom-up DIB section selected into a memory DC, for the painters that draw
// through device contexts; its pixels are read back through a view.
#pragma once

#include "platform/gdi/gdi.h"
#include "skin/core/pixels/pixels.h"

namespace skin_test {

class DibDC {
public:
    DibDC(int w, int h, int bitsPerPixel) {
        win::BITMAPINFO bmi{};
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = h;
        bmi.bmiHeader.biBitCount = win::WORD(bitsPerPixel);
        void* bits = nullptr;
        bitmap_ = win::CreateDIBSection(nullptr, &bmi, win::DIB_RGB_COLORS, &bits);
        dc_ = win::CreateCompatibleDC(nullptr);
        old_ = win::SelectObject(dc_, bitmap_);
        win::BitmapView v;
        win::GetBitmapView(bitmap_, &v);
        view_ = {v.bits, v.stride, v.width, v.height, bitsPerPixel / 8};
    }
    ~DibDC() {
        win::SelectObject(dc_, old_);
        win::DeleteDC(dc_);
        win::DeleteObject(bitmap_);
    }
    DibDC(const DibDC&) = delete;
    DibDC& operator=(const DibDC&) = delete;

    win::HDC dc() const { return dc_; }
    const skin::PixelView& view() const { return view_; }
    skin::TColor get(int x, int y) const {
        const uint8_t* p = view_.At(x, y);
        return skin::RGB(p[2], p[1], p[0]);
    }
    void set(int x, int y, skin::TColor c) {
        uint8_t* p = view_.At(x, y);
        p[0] = skin::BlueOf(c), p[1] = skin::GreenOf(c), p[2] = skin::RedOf(c);
    }

private:
    win::HBITMAP bitmap_ = nullptr;
    win::HDC dc_ = nullptr;
    win::HGDIOBJ old_ = nullptr;
    skin::PixelView view_;
};

}  // namespace skin_test
