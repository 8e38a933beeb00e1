// The frame cache's way to the window: where the four non-client strips go and where they come
// from, and the window DC they are copied through.
#pragma once

#include "platform/gdi/dc.h"
#include "platform/gdi/win_types.h"
#include "platform/user/window_dc.h"
#include "skin/core/state/system_utils.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/graphics.h"
#include "vcl/system/types.h"

namespace skin {

struct FrameStrips {
    struct Strip {
        vcl::TRect Dst{};   // Left, Top, then width and height, on the window
        vcl::TPoint Src{};  // the strip's top-left corner in the cache
    };
    // Top, left, bottom, right, in the order they are copied.
    Strip Part[4];
};

// A DC of the form's whole window, given back on every way out.
class WindowDCScope {
public:
    explicit WindowDCScope(win::HWND w) : wnd_(w), dc_(win::GetWindowDC(w)) {
        if (dc_) saved_ = win::SaveDC(dc_);
    }
    ~WindowDCScope() {
        if (!dc_) return;
        win::RestoreDC(dc_, saved_);
        win::ReleaseDC(wnd_, dc_);
    }
    WindowDCScope(const WindowDCScope&) = delete;
    WindowDCScope& operator=(const WindowDCScope&) = delete;
    win::HDC Get() const { return dc_; }

private:
    win::HWND wnd_;
    win::HDC dc_;
    int saved_ = 0;
};

// The caption font selected into a canvas for as long as the scope lives.
class CaptionFontScope {
public:
    explicit CaptionFontScope(vcl::TCanvas* canvas) : font_(CreateCaptionFont()) {
        if (font_) canvas->Font()->SetHandle(font_);
    }
    ~CaptionFontScope() {
        if (font_) win::DeleteObject(font_);
    }
    CaptionFontScope(const CaptionFontScope&) = delete;
    CaptionFontScope& operator=(const CaptionFontScope&) = delete;

private:
    win::HFONT font_;
};

// BitBlt SRCCOPY of w x h pixels from (sx, sy) of `src` to (x, y) of `dst`, cut to the bitmap.
void BlitClipped(win::HDC dst, int x, int y, int w, int h, vcl::TBitmap* src, int sx, int sy);

}  // namespace skin
