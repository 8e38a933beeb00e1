#include "skin/windows/effects/glow.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "platform/gdi/dc.h"
#include "platform/user/user.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using vcl::TRect;

namespace {

std::map<int, std::unique_ptr<TacGlowEffect>>& Glows() {
    static std::map<int, std::unique_ptr<TacGlowEffect>> glows;
    return glows;
}
int gNextGlowId = 0;

bool Dying(vcl::TComponent* c) { return !c || c->ComponentState().Contains(vcl::csDestroying); }

// How much of the halo to cut from each side so that it stays within the visible part of the
// control. `clip` is in the control's own coordinates; the sizes are the halo's. A side whose
// halo edge lies inside the visible part already (a margin wider than the mask's border) is
// not cut.
struct Cuts {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

Cuts HaloCuts(const TRect& clip, int cw, int ch, int w, int h, int l, int t, int r, int b,
              int m) {
    Cuts c;
    if (clip.Width() == cw && clip.Height() == ch) return c;
    c.Left = clip.Left != 0 ? l + clip.Left - m : 0;
    c.Top = clip.Top != 0 ? t + clip.Top - m : 0;
    if (clip.Right != cw) c.Right = c.Left ? w - c.Left - clip.Width() : (cw - clip.Width()) + r - m;
    if (clip.Bottom != ch)
        c.Bottom = c.Top ? h - c.Top - clip.Height() : (ch - clip.Height()) + b - m;
    c.Left = std::max(c.Left, 0), c.Top = std::max(c.Top, 0);
    c.Right = std::max(c.Right, 0), c.Bottom = std::max(c.Bottom, 0);
    return c;
}

}  // namespace

TacGlowEffect::TacGlowEffect(TsSkinManager* manager, int maskIndex, int margin)
    : manager_(manager), maskIndex_(maskIndex), margin_(margin) {}

TacGlowEffect::~TacGlowEffect() {
    if (!form_) return;
    // Freed at once when nothing will run the message loop again for it.
    if (Dying(manager_) || Dying(vcl::Application()))
        form_->Free();
    else
        form_->Release();
}

win::HWND TacGlowEffect::Window() const { return form_ ? form_->Handle() : nullptr; }

std::unique_ptr<vcl::TBitmap> TacGlowEffect::PrepareImage(int width, int height) const {
    std::unique_ptr<vcl::TBitmap> image(NewBitmap32(width, height));
    const PixelView v = ViewOf(image.get());
    for (int y = 0; y < v.Height; ++y) std::fill_n(v.Row(y), size_t(v.Width) * 4, uint8_t(0));
    if (!manager_->IsValidImgIndex(maskIndex_)) return image;
    // The halo's soft edge lives in the mask's alpha, which the opaque mask painters drop:
    // the first state's frame is laid over the image with its borders kept and its centre
    // stretched, alpha and all.
    const TsMaskData& m = manager_->Masks()[size_t(maskIndex_)];
    vcl::TBitmap* src = m.Bmp ? m.Bmp.get() : manager_->MasterBitmap();
    const PixelView sv = src ? ViewOf(src) : PixelView{};
    const int fw = SkinFrameWidth(m), fh = SkinFrameHeight(m);
    const int ox = m.Bmp ? 0 : m.R.Left, oy = m.Bmp ? 0 : m.R.Top;
    // A mask of type 1 carries its opacity as a picture below the image: black opaque, white
    // clear.
    const bool maskBelow = m.MaskType == 1;
    if (sv.Empty() || fw < 1 || fh < 1 || ox + fw > sv.Width ||
        oy + fh * (maskBelow ? 2 : 1) > sv.Height)
        return image;
    const int l = std::min(manager_->MaskWidthLeft(maskIndex_), fw / 2);
    const int r = std::min(manager_->MaskWidthRight(maskIndex_), fw - l);
    const int t = std::min(manager_->MaskWidthTop(maskIndex_), fh / 2);
    const int b = std::min(manager_->MaskWidthBottom(maskIndex_), fh - t);
    // The source column or row for a place along a side of `size` of a frame of `frame`.
    const auto map = [](int at, int size, int frame, int lo, int hi) {
        if (at < lo) return at;
        if (at >= size - hi) return frame - (size - at);
        const int inner = std::max(size - lo - hi, 1), innerSrc = std::max(frame - lo - hi, 1);
        return lo + (at - lo) * innerSrc / inner;
    };
    const uint32_t key = uint32_t(kTransparentKey);
    const bool ownCentre = (m.StretchMode & smPaintCentre) != 0;
    for (int y = 0; y < height; ++y) {
        const int sy = oy + std::clamp(map(y, height, fh, t, b), 0, fh - 1);
        uint8_t* d = v.Row(y);
        const bool innerRow = y >= t && y < height - b;
        for (int x = 0; x < width; ++x, d += 4) {
            // The centre lies over the control: painted only by a mask that owns it.
            if (innerRow && x >= l && x < width - r && !ownCentre) continue;
            const int sx = ox + std::clamp(map(x, width, fw, l, r), 0, fw - 1);
            const uint8_t* p = sv.At(sx, sy);
            const uint32_t rgb = uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
            uint8_t a = 0;
            if (maskBelow)
                a = uint8_t(255 - sv.At(sx, sy + fh)[2]);
            else
                a = sv.BytesPerPixel == 4 ? p[3] : (rgb == key ? 0 : 255);
            // A layered window takes its colours premultiplied by their alpha.
            for (int c = 0; c < 3; ++c) d[c] = uint8_t((p[c] * a + 127) / 255);
            d[3] = a;
        }
    }
    return image;
}

void TacGlowEffect::Show(const TRect& wndRect, const TRect& clipRect, win::HWND anchor) {
    if (!form_) {
        form_ = vcl::New<vcl::TForm>(nullptr);
        form_->SetTag(-98);
        form_->SetBorderStyle(vcl::bsNone);
        // Clicks fall through to whatever lies beneath the halo.
        const vcl::TWndMethod own = form_->WindowProc;
        form_->WindowProc = vcl::TWndMethod::FromCallable([own](vcl::TMessage& m) {
            if (m.Msg == win::WM_NCHITTEST)
                m.Result = win::HTTRANSPARENT;
            else
                own(m);
        });
    }
    const int l = manager_->MaskWidthLeft(maskIndex_), t = manager_->MaskWidthTop(maskIndex_);
    const int r = manager_->MaskWidthRight(maskIndex_), b = manager_->MaskWidthBottom(maskIndex_);
    // A control too large for a picture gets no halo.
    const int64_t cw64 = int64_t(wndRect.Right) - wndRect.Left;
    const int64_t ch64 = int64_t(wndRect.Bottom) - wndRect.Top;
    const int64_t w64 = cw64 + l + r - 2 * int64_t(margin_);
    const int64_t h64 = ch64 + t + b - 2 * int64_t(margin_);
    if (cw64 < 0 || ch64 < 0 || !BitmapSizeFits(w64, h64)) return;
    const int cw = int(cw64), ch = int(ch64);
    int w = int(w64), h = int(h64);
    const std::unique_ptr<vcl::TBitmap> image = PrepareImage(w, h);
    // The clip in the control's coordinates, within the control.
    const auto within = [](int v, int origin, int lo, int hi) {
        return int(std::clamp<int64_t>(int64_t(v) - origin, lo, hi));
    };
    TRect clip;
    clip.Left = within(clipRect.Left, wndRect.Left, 0, cw);
    clip.Right = within(clipRect.Right, wndRect.Left, clip.Left, cw);
    clip.Top = within(clipRect.Top, wndRect.Top, 0, ch);
    clip.Bottom = within(clipRect.Bottom, wndRect.Top, clip.Top, ch);
    const Cuts cut = HaloCuts(clip, cw, ch, w, h, l, t, r, b, margin_);
    w -= cut.Left + cut.Right;
    h -= cut.Top + cut.Bottom;
    if (w < 1 || h < 1) return;

    const win::HWND wnd = form_->Handle();
    if (anchor && (win::GetWindowLongPtrA(anchor, win::GWL_EXSTYLE) & win::WS_EX_TOPMOST))
        form_->SetFormStyle(vcl::fsStayOnTop);
    const int x = wndRect.Left - l + margin_ + cut.Left, y = wndRect.Top - t + margin_ + cut.Top;
    win::SetWindowPos(wnd, nullptr, x, y, w, h,
                      win::SWP_NOZORDER | win::SWP_NOACTIVATE | win::SWP_NOOWNERZORDER);
    win::SetWindowLongPtrA(wnd, win::GWL_EXSTYLE,
                           win::GetWindowLongPtrA(wnd, win::GWL_EXSTYLE) | win::WS_EX_LAYERED |
                               win::WS_EX_TOOLWINDOW);
    const win::POINT dst{x, y}, src{cut.Left, cut.Top};
    const win::SIZE size{w, h};
    win::BLENDFUNCTION blend{win::AC_SRC_OVER, 0, 255, win::AC_SRC_ALPHA};
    win::UpdateLayeredWindow(wnd, nullptr, &dst, &size, image->Canvas()->Handle(), &src, 0, &blend,
                             win::ULW_ALPHA);
    win::ShowWindow(wnd, win::SW_SHOWNOACTIVATE);
}

int ShowGlow(const TRect& wndRect, const TRect& clipRect, const std::string& section,
             TsSkinManager* manager, win::HWND parent, uint8_t /*alpha*/, int margin,
             const std::string& mask) {
    if (!manager) manager = DefaultManager;
    if (!manager || !LayeredWindowsAvailable()) return -1;
    const int index = manager->GetMaskIndexByNames(section, mask + "0");
    if (!manager->IsValidImgIndex(index)) return -1;
    auto glow = std::make_unique<TacGlowEffect>(manager, index, margin);
    TacGlowEffect* shown = glow.get();
    const int id = gNextGlowId++;
    Glows()[id] = std::move(glow);
    shown->Show(wndRect, clipRect, parent);
    return id;
}

void HideGlow(int id) {
    // Taken out first: freeing the window may bring a message that clears the list.
    auto& glows = Glows();
    auto it = glows.find(id);
    if (it == glows.end()) return;
    std::unique_ptr<TacGlowEffect> gone = std::move(it->second);
    glows.erase(it);
}

void ClearGlows() {
    auto glows = std::move(Glows());
    Glows().clear();
    glows.clear();
}

int GlowCount() { return int(Glows().size()); }

TacGlowEffect* FindGlow(int id) {
    auto it = Glows().find(id);
    return it == Glows().end() ? nullptr : it->second.get();
}

void InitGlows() {
    NeighbourServices& s = Neighbours();
    s.ShowGlow = &ShowGlow;
    s.HideGlow = &HideGlow;
    s.ClearGlows = &ClearGlows;
}

}  // namespace skin
