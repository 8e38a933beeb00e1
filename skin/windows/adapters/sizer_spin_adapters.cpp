// Size grip and up-down adapters.
#include "skin/windows/adapters/sizer_spin_adapters.h"

#include <algorithm>
#include <memory>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "platform/controls/up_down_control.h"
#include "platform/user/input.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/adapter_backdrop.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {

TsSkinManager* TacSizerWnd::Manager() const {
    return SkinManager ? SkinManager : SkinData->SkinManager();
}

const TsMaskData* TacSizerWnd::Grip() const {
    TsSkinManager* m = Manager();
    if (m == nullptr || !m->SkinData().Active) return nullptr;
    const int index = m->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
    return m->Skin().IsValidImgIndex(index) ? &m->Masks()[size_t(index)] : nullptr;
}

void TacSizerWnd::Paint(win::HDC dc, const TsMaskData& grip) {
    TsSkinManager* m = Manager();
    GetWindowRectsInParent(this);
    vcl::TBitmap* cache = SizedCache(SkinData, WndSize.X, WndSize.Y);
    if (cache->Width() < 1 || cache->Height() < 1) return;
    CacheInfo parent;
    PixelView view;
    GetParentBGInfoByHandle(CtrlHandle, parent, view);
    const PixelView dst = ViewOf(cache);
    if (parent.Ready && parent.Bmp && !parent.Bmp->Empty()) {
        BlendBitmapTransparent(dst, 0, 0, *parent.Bmp,
                               TRect{parent.X, parent.Y, parent.X + dst.Width - 1,
                                     parent.Y + dst.Height - 1},
                               0.0, 0xFF000000u);
    } else {
        const TColor fill = parent.FillColor != kTransparentKey ? parent.FillColor
                                                                : m->GetGlobalColor();
        cache->Canvas()->Brush()->SetColor(vcl::TColor(fill));
        cache->Canvas()->FillRect(vcl::TRect{0, 0, dst.Width, dst.Height});
    }
    const int w = SkinFrameWidth(grip), h = SkinFrameHeight(grip);
    CacheInfo self;
    self.Bmp = &dst;
    self.Ready = true;
    BlendMaskRegion(cache, TPoint{std::max(0, dst.Width - w), std::max(0, dst.Height - h)}, 0, 1,
                    grip, self);
    SkinData->CacheStale = false;
    CopyCacheToWindow(SkinData, CtrlHandle, dc);
}

void TacSizerWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    // Without the skin's grip the window paints itself.
    const bool painting = m.Msg == win::WM_PAINT || m.Msg == win::WM_PRINT;
    const TsMaskData* grip = painting ? Grip() : nullptr;
    if ((grip || !painting) &&
        PaintWholeWindow(CtrlHandle, m, [this, grip](win::HDC dc) { Paint(dc, *grip); }))
        return;
    switch (m.Msg) {
        case win::WM_NCHITTEST:
            TacMainWnd::AdapterWindowProc(m);
            if (Unhooked) return;
            m.Result = win::HTBOTTOMRIGHT;
            if (TsSkinManager* sm = Manager(); sm && win::IsWindowEnabled(CtrlHandle))
                sm->SetActiveControl(nullptr);
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

// ---------------------------------------------------------------------------------------------
// Up-down buttons

void TacSpinWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                const std::string& section, bool flag) {
    Pressed = false;
    HotPart = -1;
    PartStates[0] = PartStates[1] = 0;
    TacMainWnd::AttachToWindow(wnd, skinData, manager, section, flag);
}

TsSkinManager* TacSpinWnd::Manager() const {
    return SkinManager ? SkinManager : SkinData->SkinManager();
}

bool TacSpinWnd::IsVertical() const {
    return (uint32_t(win::GetWindowLongA(CtrlHandle, win::GWL_STYLE)) & win::UDS_HORZ) == 0;
}

TRect TacSpinWnd::HalfRect(int part, vcl::TPoint size) const {
    const int left = std::clamp(HalvesLeft, 0, std::max(0, size.X));
    if (IsVertical()) return TRect{left, part ? size.Y / 2 : 0, size.X, part ? size.Y : size.Y / 2};
    const int mid = left + (size.X - left) / 2;
    return TRect{part ? mid : left, 0, part ? size.X : mid, size.Y};
}

int TacSpinWnd::PartUnderCursor() const {
    win::POINT p{};
    win::GetCursorPos(&p);
    win::RECT r{};
    win::GetWindowRect(CtrlHandle, &r);
    if (!win::PtInRect(&r, p)) return -1;
    // Beside the halves the cursor counts with the half it lies level with.
    const TRect second = HalfRect(1, vcl::TPoint{r.right - r.left, r.bottom - r.top});
    return IsVertical() ? p.y - r.top >= second.Top : p.x - r.left >= second.Left;
}

void TacSpinWnd::Paint(win::HDC dc) {
    TsSkinManager* m = Manager();
    if (m == nullptr) return;
    // What lies behind shows beside the halves.
    CacheInfo behind;
    PixelView behindView;
    vcl::TBitmap* cache = PrepareBackdropCache(this, behind, behindView, false);
    if (cache == nullptr) return;
    HotPart = PartUnderCursor();
    const bool vertical = IsVertical();
    const std::string section = SkinData->SkinSection();
    // Up and down arrows, or left and right.
    const TConstantSkinData& cd = m->ConstData();
    const int glyphs[2] = {cd.ScrollButtons[vertical ? 0 : 2].GlyphMask,
                           cd.ScrollButtons[vertical ? 1 : 3].GlyphMask};
    for (int part = 0; part < 2; ++part) {
        PartStates[part] = part == HotPart ? (Pressed ? 2 : 1) : 0;
        const TRect r = HalfRect(part, WndSize);
        if (r.Right <= r.Left || r.Bottom <= r.Top) continue;
        std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> half(new vcl::TBitmap);
        half->SetPixelFormat(vcl::pf24bit);
        half->SetSize(r.Right - r.Left, r.Bottom - r.Top);
        PaintSectionByName(half.get(), section, "BUTTON", PartStates[part], m, TPoint{0, 0},
                           m->GetGlobalColor(), nullptr);
        if (m->Skin().IsValidImgIndex(glyphs[part])) {
            const TsMaskData& g = m->Masks()[size_t(glyphs[part])];
            const PixelView view = ViewOf(half.get());
            CacheInfo self;
            self.Bmp = &view;
            self.Ready = true;
            BlendMaskRegion(half.get(),
                            TPoint{(view.Width - SkinFrameWidth(g)) / 2,
                                   (view.Height - SkinFrameHeight(g)) / 2},
                            PartStates[part], 1, g, self);
        }
        win::BitBlt(cache->Canvas()->Handle(), r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top,
                    half->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    }
    SkinData->CacheStale = false;
    CopyCacheToWindow(SkinData, CtrlHandle, dc);
}

void TacSpinWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    if (PaintWholeWindow(CtrlHandle, m, [this](win::HDC dc) { Paint(dc); })) return;
    switch (m.Msg) {
        case win::WM_LBUTTONDOWN:
        case win::WM_LBUTTONUP:
            Pressed = m.Msg == win::WM_LBUTTONDOWN;
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked) win::InvalidateRect(CtrlHandle, nullptr, false);
            return;
        case win::WM_MOUSELEAVE:
            HotPart = -1;
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked) win::InvalidateRect(CtrlHandle, nullptr, false);
            return;
        case win::WM_MOUSEMOVE: {
            TacMainWnd::AdapterWindowProc(m);
            TsSkinManager* sm = Manager();
            if (Unhooked || sm == nullptr) return;
            if (PartUnderCursor() >= 0 && sm->ActiveControl() != CtrlHandle) {
                sm->SetActiveControl(CtrlHandle);
                // Nothing else tells the control that the mouse went: the hot half would stay.
                win::TRACKMOUSEEVENT t;
                t.dwFlags = win::TME_LEAVE;
                t.hwndTrack = CtrlHandle;
                win::TrackMouseEvent(&t);
            }
            if (PartUnderCursor() != HotPart) win::InvalidateRect(CtrlHandle, nullptr, false);
            return;
        }
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

}  // namespace skin
