// Push button and check box adapters.
#include "skin/windows/adapters/button_adapters.h"

#include <algorithm>

#include "platform/controls/standard_controls.h"
#include "platform/gdi/draw_text.h"
#include "platform/user/dialog_manager.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/gdi_objects.h"
#include "skin/controls/button_glyphs.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/windows/adapters/adapter_backdrop.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "vcl/controls/buttons.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

constexpr double kDisabledMix = 0.4;
// The image of an image button; the platform's buttons answer none.
constexpr uint32_t kBmGetImage = 0x00F6;

uint32_t StyleOf(win::HWND wnd) { return uint32_t(win::GetWindowLongA(wnd, win::GWL_STYLE)); }

uint32_t ButtonState(win::HWND wnd) {
    return uint32_t(win::SendMessageA(wnd, win::BM_GETSTATE, 0, 0));
}

bool IsActiveWindow(const TsSkinManager* m, win::HWND wnd) {
    return m && m->ActiveControl() == wnd;
}

// A fresh cache of the window's size with the section of `state` over the parent's background.
vcl::TBitmap* PaintSectionCache(TsCommonData* data, win::HWND wnd, int state, vcl::TPoint size) {
    vcl::TBitmap* cache = SizedCache(data, size.X, size.Y);
    if (cache->Width() < 1 || cache->Height() < 1) return cache;
    CacheInfo parent;
    PixelView view;
    ParentBackground(data, wnd, parent, view);
    PaintControlSection(data, parent, true, state, TRect{0, 0, cache->Width(), cache->Height()},
                        TPoint{0, 0}, cache, 0);
    return cache;
}

void SelectWindowFont(win::HWND wnd, vcl::TCanvas* canvas) {
    auto font = reinterpret_cast<win::HFONT>(win::SendMessageA(wnd, win::WM_GETFONT, 0, 0));
    if (font) canvas->Font()->SetHandle(font);
}

}  // namespace

void FadeDisabledCache(TsCommonData* data, win::HWND wnd) {
    vcl::TBitmap* cache = data->CacheBmp();
    if (cache == nullptr || cache->Width() < 1 || cache->Height() < 1) return;
    CacheInfo parent;
    PixelView view;
    ParentBackground(data, wnd, parent, view);
    const PixelView dst = ViewOf(cache);
    if (parent.Ready && parent.Bmp && !parent.Bmp->Empty()) {
        // The background record's offset is already the window's place in it.
        BlendBitmapTransparent(dst, 0, 0, *parent.Bmp,
                               TRect{parent.X, parent.Y, parent.X + dst.Width - 1,
                                     parent.Y + dst.Height - 1},
                               kDisabledMix, 0xFF000000u);
        return;
    }
    const TColor color = parent.Ready && parent.FillColor != kTransparentKey
                             ? parent.FillColor
                             : TColor(GetControlBGColor(data, false, wnd));
    BlendBitmapWithColor(dst, color, 0xFF000000u, kDisabledMix);
}

// ---------------------------------------------------------------------------------------------
// Push button

void TacBtnWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                               const std::string& section, bool flag) {
    TacMainWnd::AttachToWindow(wnd, skinData, manager, section.empty() ? "BUTTON" : section,
                               flag);
    // The hot look and the glyphs are the manager's: the skin state's when none was given.
    if (SkinManager == nullptr && SkinData) SkinManager = SkinData->SkinManager();
}

int TacBtnWnd::CtrlState() const {
    if (ButtonState(CtrlHandle) & win::BST_PUSHED) return 2;
    if (!win::IsWindowEnabled(CtrlHandle)) return 0;
    if (win::GetFocus() == CtrlHandle || IsActiveWindow(SkinManager, CtrlHandle)) return 1;
    const uint32_t style = StyleOf(CtrlHandle);
    if (SkinData && SkinData->OwnerControl()) {
        // An owner-drawn bit button keeps its style; its default frame is the library's own.
        if ((style & 15) == win::BS_OWNERDRAW)
            if (auto* b = dynamic_cast<vcl::TButton*>(SkinData->OwnerControl())) return b->Default();
        return (style & 15) == win::BS_DEFPUSHBUTTON;
    }
    return (style & 1) != 0;
}

uint32_t TacBtnWnd::TextFlags() const {
    const bool wrap = (StyleOf(CtrlHandle) & win::BS_MULTILINE) != 0;
    return win::DT_CENTER | win::DT_EXPANDTABS | (wrap ? win::DT_WORDBREAK : win::DT_SINGLELINE);
}

void TacBtnWnd::SelectFont(vcl::TCanvas* canvas) {
    if (vcl::TControl* c = SkinData->OwnerControl())
        canvas->SetFont(c->Font());
    else
        SelectWindowFont(CtrlHandle, canvas);
}

vcl::TPoint TacBtnWnd::TextSize(vcl::TCanvas* canvas) {
    if (Caption.empty()) return {0, 0};
    win::RECT r{0, 0, std::max(0, WndSize.X - 8), 0};
    win::HDC dc = canvas->Handle();
    win::SelectObject(dc, canvas->Font()->Handle());
    win::DrawTextA(dc, Caption.c_str(), int(Caption.size()), &r, TextFlags() | win::DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

vcl::TRect TacBtnWnd::CaptionRect(vcl::TCanvas* canvas, int state) {
    const vcl::TPoint s = TextSize(canvas);
    vcl::TRect r{(WndSize.X - s.X) / 2, (WndSize.Y - s.Y) / 2, 0, 0};
    if (state == 2) r.Left += 1, r.Top += 1;
    r.Right = r.Left + s.X;
    r.Bottom = r.Top + s.Y;
    return r;
}

void TacBtnWnd::WriteText(vcl::TCanvas* canvas, const vcl::TRect& r, int state) {
    canvas->Brush()->SetStyle(vcl::bsClear);
    DrawSkinText(canvas, Caption, true, state, SkinData, TextFlags(), r);
}

void TacBtnWnd::DrawCaption(int state) {
    vcl::TCanvas* canvas = SkinData->CacheBmp()->Canvas();
    SelectFont(canvas);
    const vcl::TRect r = CaptionRect(canvas, state);
    WriteText(canvas, r, state);
    const TsGeneralData* s = SkinData->Section();
    if (win::IsWindowEnabled(CtrlHandle) && (ButtonState(CtrlHandle) & win::BST_FOCUS) &&
        !Caption.empty() && s && s->ShowFocus)
        DrawDottedFocusRect(canvas->Handle(),
                            TRect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1));
}

void TacBtnWnd::PaintButton() {
    GetWindowRectsInParent(this);
    const int state = CtrlState();
    SkinData->CacheStale = false;
    vcl::TBitmap* cache = PaintSectionCache(SkinData, CtrlHandle, state, WndSize);
    if (cache->Width() < 1 || cache->Height() < 1) return;
    FillAdapterCorners(state, SkinData, CtrlHandle);
    DrawCaption(state);
    DrawGlyph(state);
    if (!win::IsWindowEnabled(CtrlHandle)) FadeDisabledCache(SkinData, CtrlHandle);
}

void TacBtnWnd::Paint(win::HDC dc) {
    if (!ParamsSet) SetSkinParams();
    if ((SkinData->CtrlState & kCtrlUpdating) || SkinData->BGChanged) return;
    PaintButton();
    CopyCacheToWindow(SkinData, CtrlHandle, dc);
}

void TacBtnWnd::BracketAndRepaint(vcl::TMessage& m, bool callBase) {
    win::SendMessageA(CtrlHandle, win::WM_SETREDRAW, 0, 0);
    if (callBase)
        TacMainWnd::AdapterWindowProc(m);
    else
        CallPrevWndProc(m);
    if (Unhooked) return;
    win::SendMessageA(CtrlHandle, win::WM_SETREDRAW, 1, 0);
    SkinData->CacheStale = true;
    win::SendMessageA(CtrlHandle, win::WM_PAINT, 0, 0);
}

void TacBtnWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    if (PaintWholeWindow(CtrlHandle, m, [this](win::HDC dc) { Paint(dc); })) return;
    switch (m.Msg) {
        case win::WM_UPDATEUISTATE:
            m.Result = 1;
            return;
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS:
            if (!win::IsWindowEnabled(CtrlHandle)) break;
            SkinData->Focused = m.Msg == win::WM_SETFOCUS;
            BracketAndRepaint(m, true);
            return;
        case win::WM_ENABLE:
        case win::WM_SETTEXT:
            if (!win::IsWindowVisible(CtrlHandle)) break;
            BracketAndRepaint(m, true);
            return;
        case win::BM_SETSTATE:
            if (!win::IsWindowVisible(CtrlHandle)) break;
            BracketAndRepaint(m, false);
            return;
        case SM_ALPHACMD:
            if (SkinCommandCode(m.WParam) == SKC_MOUSEENTER && !SkinData->MouseAbove &&
                IsActiveWindow(SkinManager, CtrlHandle)) {
                SkinData->MouseAbove = true;
                SkinData->CacheStale = true;
                SkinData->BGChanged = false;
                win::SendMessageA(CtrlHandle, win::WM_PAINT, 0, 0);
                ShowGlowingIfNeeded(SkinData, false, CtrlHandle);
            } else if (SkinCommandCode(m.WParam) == SKC_MOUSELEAVE && SkinData->MouseAbove) {
                HideGlowOf(SkinData);
                SkinData->MouseAbove = false;
                SkinData->BGChanged = false;
                SkinData->CacheStale = true;
                win::SendMessageA(CtrlHandle, win::WM_PAINT, 0, 0);
            }
            break;
        case win::WM_MOUSEMOVE: {
            TacMainWnd::AdapterWindowProc(m);
            if (Unhooked || SkinManager == nullptr || !win::IsWindowEnabled(CtrlHandle)) return;
            win::POINT p{};
            win::GetCursorPos(&p);
            win::RECT r{};
            win::GetWindowRect(CtrlHandle, &r);
            const bool inside = win::PtInRect(&r, p);
            if (inside && SkinManager->ActiveControl() != CtrlHandle)
                SkinManager->SetActiveControl(CtrlHandle);
            else if (!inside && SkinManager->ActiveControl() == CtrlHandle)
                SkinManager->SetActiveControl(nullptr);
            return;
        }
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

// ---------------------------------------------------------------------------------------------
// Bit button

GlyphTextPlace PlaceGlyphAndText(vcl::TPoint size, vcl::TPoint glyph, vcl::TPoint text,
                                 int layout, int margin, int spacing) {
    const bool hasGlyph = glyph.X > 0 && glyph.Y > 0;
    const int gap = hasGlyph && text.X > 0 ? std::max(0, spacing) : 0;
    const bool across = layout != 2 && layout != 3;
    // The block of glyph, gap and text along the layout's axis, and its start when centred.
    const int block = across ? glyph.X * hasGlyph + gap + text.X : glyph.Y * hasGlyph + gap + text.Y;
    const int start = ((across ? size.X : size.Y) - block) / 2;
    GlyphTextPlace p;
    int gx = 0, gy = 0, tx = 0, ty = 0;
    const int midGX = (size.X - glyph.X) / 2, midGY = (size.Y - glyph.Y) / 2;
    const int midTX = (size.X - text.X) / 2, midTY = (size.Y - text.Y) / 2;
    if (!hasGlyph) glyph = {0, 0};
    switch (layout) {
        case 1:  // glyph right
            gx = margin < 0 ? start + text.X + gap : size.X - margin - glyph.X;
            gy = midGY, ty = midTY;
            tx = hasGlyph ? gx - gap - text.X : margin < 0 ? midTX : size.X - margin - text.X;
            break;
        case 2:  // glyph top
            gy = margin < 0 ? start : margin;
            gx = midGX, tx = midTX;
            ty = hasGlyph ? gy + glyph.Y + gap : margin < 0 ? midTY : margin;
            break;
        case 3:  // glyph bottom
            gy = margin < 0 ? start + text.Y + gap : size.Y - margin - glyph.Y;
            gx = midGX, tx = midTX;
            ty = hasGlyph ? gy - gap - text.Y : margin < 0 ? midTY : size.Y - margin - text.Y;
            break;
        default:  // glyph left
            gx = margin < 0 ? start : margin;
            gy = midGY, ty = midTY;
            tx = hasGlyph ? gx + glyph.X + gap : margin < 0 ? midTX : margin;
            break;
    }
    p.Glyph = vcl::TRect(gx, gy, gx + glyph.X, gy + glyph.Y);
    p.Text = vcl::TRect(tx, ty, tx + text.X, ty + text.Y);
    return p;
}

vcl::TBitmap* TacBitBtnWnd::Glyph() const {
    if (auto* b = dynamic_cast<vcl::TBitBtn*>(SkinData ? SkinData->OwnerControl() : nullptr))
        return b->Glyph() && !b->Glyph()->Empty() ? b->Glyph() : nullptr;
    if (!imageRead_) {
        // Asked of the window's own procedure, once: the copy is the adapter's.
        imageRead_ = true;
        intptr_t none = 0;
        auto* self = const_cast<TacBitBtnWnd*>(this);
        auto bmp = reinterpret_cast<win::HBITMAP>(
            self->CallPrevWndProc(CtrlHandle, kBmGetImage, win::IMAGE_BITMAP, none));
        win::BITMAP info{};
        if (bmp && win::GetObject(bmp, sizeof info, &info) && info.bmWidth > 0 &&
            info.bmHeight > 0) {
            image_.reset(new vcl::TBitmap);
            image_->SetPixelFormat(info.bmBitsPixel == 32 ? vcl::pf32bit : vcl::pf24bit);
            image_->SetSize(info.bmWidth, info.bmHeight);
            win::HDC src = win::CreateCompatibleDC(nullptr);
            win::HGDIOBJ old = win::SelectObject(src, bmp);
            win::BitBlt(image_->Canvas()->Handle(), 0, 0, info.bmWidth, info.bmHeight, src, 0, 0,
                        win::SRCCOPY);
            win::SelectObject(src, old);
            win::DeleteDC(src);
        }
    }
    return image_.get();
}

int TacBitBtnWnd::NumGlyphs() const {
    if (auto* b = dynamic_cast<vcl::TBitBtn*>(SkinData ? SkinData->OwnerControl() : nullptr))
        return std::max(1, b->NumGlyphs());
    return 1;
}

vcl::TPoint TacBitBtnWnd::GlyphSize() const {
    vcl::TBitmap* g = Glyph();
    if (g == nullptr) return {0, 0};
    return {g->Width() / NumGlyphs(), g->Height()};
}

GlyphTextPlace TacBitBtnWnd::Place(vcl::TCanvas* canvas, int state) {
    int layout = 0, margin = -1, spacing = 4;
    if (auto* b = dynamic_cast<vcl::TBitBtn*>(SkinData->OwnerControl()))
        layout = b->Layout(), margin = b->Margin(), spacing = b->Spacing();
    GlyphTextPlace p = PlaceGlyphAndText(WndSize, GlyphSize(), TextSize(canvas), layout, margin,
                                         spacing);
    if (state == 2)
        for (vcl::TRect* r : {&p.Glyph, &p.Text}) *r = vcl::TRect(r->Left + 1, r->Top + 1, r->Right + 1, r->Bottom + 1);
    return p;
}

vcl::TRect TacBitBtnWnd::CaptionRect(vcl::TCanvas* canvas, int state) {
    return Place(canvas, state).Text;
}

vcl::TPoint TacBitBtnWnd::GlyphOffset(int state) {
    return Place(SkinData->CacheBmp()->Canvas(), state).Glyph.TopLeft();
}

void TacBitBtnWnd::DrawGlyph(int state) {
    vcl::TBitmap* glyph = Glyph();
    if (glyph == nullptr || SkinData->CacheBmp() == nullptr) return;
    ButtonGlyph in;
    in.Glyph = glyph;
    in.NumGlyphs = NumGlyphs();
    in.SkinData = SkinData;
    in.Skinned = true;
    in.State = state;
    const vcl::TPoint at = GlyphOffset(state), size = GlyphSize();
    in.GlyphRect = vcl::TRect(at.X, at.Y, at.X + size.X, at.Y + size.Y);
    // The disabled look is the whole cache's, faded after the glyph is in.
    DrawButtonGlyph(in, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Check box and radio button

void TacCheckBoxWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                    const std::string& section, bool flag) {
    TacMainWnd::AttachToWindow(wnd, skinData, manager, section.empty() ? "CHECKBOX" : section,
                               flag);
    // The hot look and the glyphs are the manager's: the skin state's when none was given.
    if (SkinManager == nullptr && SkinData) SkinManager = SkinData->SkinManager();
}

bool TacCheckBoxWnd::IsRadio(uint32_t style) {
    const uint32_t kind = style & 0xF;
    return kind == win::BS_RADIOBUTTON || kind == win::BS_AUTORADIOBUTTON;
}

void TacCheckBoxWnd::Paint(win::HDC dc) {
    const uint32_t style = StyleOf(CtrlHandle);
    if (win::HWND parent = win::GetParent(CtrlHandle))
        win::SendMessageA(parent, SM_ALPHACMD, SkinCommandWParam(SKC_BEFOREPAINT), 0);
    if (Unhooked) return;
    GetWindowRectsInParent(this);
    const uint32_t bs = ButtonState(CtrlHandle);
    const int glyphState = (bs & win::BST_PUSHED)                                         ? 2
                           : (bs & win::BST_FOCUS) || IsActiveWindow(SkinManager, CtrlHandle) ? 1
                                                                                            : 0;
    vcl::TBitmap* cache = PaintSectionCache(SkinData, CtrlHandle, ControlIsActive(SkinData) ? 1 : 0,
                                            WndSize);
    SkinData->CacheStale = false;
    if (cache->Width() < 1 || cache->Height() < 1) return;
    vcl::TCanvas* canvas = cache->Canvas();
    const bool leftText = (style & win::BS_LEFTTEXT) != 0;

    // The glyph: checked, unchecked or grey, of the radio or box kind.
    const bool radio = IsRadio(style);
    const int which = (bs & win::BST_INDETERMINATE) ? 2 : (bs & win::BST_CHECKED) ? 0 : 1;
    const TsMaskData* box = nullptr;
    if (SkinManager && SkinManager->SkinData().Active) {
        const int index = SkinManager->ConstData().CheckBoxes[radio && which != 2 ? 3 + which : which];
        if (SkinManager->Skin().IsValidImgIndex(index)) box = &SkinManager->Masks()[size_t(index)];
    }
    int gw = 0, gh = 0;
    if (box) {
        gw = SkinFrameWidth(*box);
        gh = SkinFrameHeight(*box);
    }
    const int glyphLeft = leftText ? WndSize.X - gw : 0;

    if (!Caption.empty()) {
        SelectWindowFont(CtrlHandle, canvas);
        const bool wrap = (style & win::BS_MULTILINE) != 0;
        const uint32_t flags = wrap ? win::DT_WORDBREAK : win::DT_SINGLELINE;
        const int room = std::max(0, WndSize.X - gw - 4);
        win::RECT calc{0, 0, room, 0};
        win::SelectObject(canvas->Handle(), canvas->Font()->Handle());
        win::DrawTextA(canvas->Handle(), Caption.c_str(), int(Caption.size()), &calc,
                       flags | win::DT_CALCRECT);
        const int w = std::min<int>(calc.right - calc.left, room), h = calc.bottom - calc.top;
        const int top = (WndSize.Y - h) / 2;
        const int left = leftText ? 0 : gw + 4;
        const TRect r{left, top, left + w, top + h};
        canvas->Brush()->SetStyle(vcl::bsClear);
        DrawSkinText(canvas, Caption, true, ControlIsActive(SkinData) ? 1 : 0, SkinData, flags, r);
        if (bs & win::BST_FOCUS)
            DrawDottedFocusRect(canvas->Handle(),
                                TRect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1));
    }
    if (box && gw > 0 && gh > 0) {
        const PixelView view = ViewOf(cache);
        CacheInfo self;
        self.Bmp = &view;
        self.Ready = true;
        BlendMaskRegion(cache, TPoint{glyphLeft, (WndSize.Y - gh) / 2}, glyphState, 1, *box, self);
    }
    if (!win::IsWindowEnabled(CtrlHandle)) FadeDisabledCache(SkinData, CtrlHandle);
    CopyCacheToWindow(SkinData, CtrlHandle, dc);
}

void TacCheckBoxWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    if (PaintWholeWindow(CtrlHandle, m, [this](win::HDC dc) { Paint(dc); })) return;
    switch (m.Msg) {
        case win::WM_ENABLE:
        case win::BM_SETCHECK:
        case win::BM_SETSTATE:
        case vcl::CM_TEXTCHANGED:
            if (!win::IsWindowVisible(CtrlHandle)) break;
            win::SendMessageA(CtrlHandle, win::WM_SETREDRAW, 0, 0);
            CallPrevWndProc(m);
            if (Unhooked) return;
            win::SendMessageA(CtrlHandle, win::WM_SETREDRAW, 1, 0);
            win::SendMessageA(CtrlHandle, win::WM_PAINT, 0, 0);
            return;
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS:
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked) win::SendMessageA(CtrlHandle, win::WM_PAINT, 0, 0);
            return;
        case win::WM_KEYDOWN:
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked && m.WParam == win::VK_SPACE)
                win::SendMessageA(CtrlHandle, win::WM_PAINT, 0, 0);
            return;
        case win::WM_NCHITTEST:
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked && SkinManager && win::IsWindowEnabled(CtrlHandle) &&
                SkinManager->ActiveControl() != CtrlHandle)
                SkinManager->SetActiveControl(CtrlHandle);
            return;
        case SM_ALPHACMD:
            if (SkinCommandCode(m.WParam) == SKC_MOUSEENTER ||
                SkinCommandCode(m.WParam) == SKC_MOUSELEAVE) {
                SkinData->BGChanged = false;
                win::SendMessageA(CtrlHandle, win::WM_PAINT, 0, 0);
            }
            break;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

}  // namespace skin
