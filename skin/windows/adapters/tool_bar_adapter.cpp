// Plain toolbar adapter.
#include "skin/windows/adapters/tool_bar_adapter.h"

#include <algorithm>
#include <memory>

#include "platform/gdi/image_list.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/windows/adapters/adapter_backdrop.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

constexpr int kMaxButtons = 4096;
constexpr int kMaxText = 4096;
// A disabled button keeps this share of its own look over what lies behind it.
constexpr double kDisabledMix = 0.4;

}  // namespace

bool TacToolBarWnd::ButtonRect(int index, TBBUTTON& button, vcl::TRect& r) {
    if (!win::SendMessageA(CtrlHandle, TB_GETBUTTON, uintptr_t(index),
                           reinterpret_cast<intptr_t>(&button)))
        return false;
    win::RECT raw{};
    if (!win::SendMessageA(CtrlHandle, TB_GETITEMRECT, uintptr_t(index),
                           reinterpret_cast<intptr_t>(&raw)))
        return false;
    win::RECT w{};
    win::GetWindowRect(CtrlHandle, &w);
    win::POINT o{0, 0};
    win::ClientToScreen(CtrlHandle, &o);
    const int dx = o.x - w.left, dy = o.y - w.top;
    r = vcl::TRect{raw.left + dx, raw.top + dy, raw.right + dx, raw.bottom + dy};
    return r.Right > r.Left && r.Bottom > r.Top;
}

int TacToolBarWnd::ButtonState(int index) {
    TBBUTTON b;
    vcl::TRect r;
    if (!ButtonRect(index, b, r)) return -1;
    if (!(b.fsState & TBSTATE_ENABLED)) return 0;
    if (b.fsState & TBSTATE_PRESSED) return 2;
    win::POINT p{};
    win::GetCursorPos(&p);
    win::RECT w{};
    win::GetWindowRect(CtrlHandle, &w);
    const int x = p.x - w.left, y = p.y - w.top;
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom ? 1 : 0;
}

void TacToolBarWnd::PaintButton(int index, const TBBUTTON& b, const vcl::TRect& r,
                                vcl::TBitmap* cache) {
    TsSkinManager* m = SkinData->SkinManager();
    const bool separator = (b.fsStyle & TBSTYLE_SEP) != 0;
    const char* section = separator ? "DIVIDER" : "TOOLBUTTON";
    const int skinIndex = m->GetSkinIndex(section);
    if (!m->IsValidSkinIndex(skinIndex)) return;
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const bool enabled = (b.fsState & TBSTATE_ENABLED) != 0;
    const int state = separator ? 0 : std::max(0, ButtonState(index));
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> face(NewBitmap24(w, h));
    const PixelView cv = ViewOf(cache);
    PaintMaskWithBorders(skinIndex, section, MakeCacheInfo(&cv, r.Left, r.Top), true, state,
                         TRect{0, 0, w, h}, TPoint{0, 0}, face.get(), m, -1, -1);
    if (!separator) {
        vcl::TCanvas* canvas = face->Canvas();
        auto list = reinterpret_cast<win::HIMAGELIST>(
            win::SendMessageA(CtrlHandle, TB_GETIMAGELIST, 0, 0));
        int iw = 0, ih = 0;
        const bool image = list && b.iBitmap >= 0 &&
                           b.iBitmap < win::ImageList_GetImageCount(list) &&
                           win::ImageList_GetIconSize(list, &iw, &ih);
        std::string text;
        const int length = int(win::SendMessageA(CtrlHandle, TB_GETBUTTONTEXTA,
                                                 uintptr_t(b.idCommand), 0));
        if (length > 0 && length <= kMaxText) {
            text.assign(size_t(length) + 1, '\0');
            win::SendMessageA(CtrlHandle, TB_GETBUTTONTEXTA, uintptr_t(b.idCommand),
                              reinterpret_cast<intptr_t>(text.data()));
            text.resize(text.find('\0'));
        }
        SelectAdapterFont(SkinData, CtrlHandle, canvas);
        const int th = text.empty() ? 0 : TextHeightOf(canvas, text);
        int arrow = 0;
        const int glyph = m->ConstData().ScrollButtons[1].GlyphMask;
        if ((b.fsStyle & BTNS_WHOLEDROPDOWN) && m->IsValidImgIndex(glyph)) {
            const TsMaskData& g = m->Masks()[size_t(glyph)];
            arrow = SkinFrameWidth(g);
            BlendMaskRegion(face.get(), TPoint{w - arrow - 2, (h - SkinFrameHeight(g)) / 2}, 0, 1,
                            g, MakeCacheInfo(&cv, r.Left, r.Top));
            arrow += 2;
        }
        const int top = (h - ih - th) / 2;
        if (image)
            win::ImageList_Draw(list, b.iBitmap, canvas->Handle(), (w - arrow - iw) / 2, top,
                                win::ILD_TRANSPARENT);
        if (!text.empty()) {
            std::string shown;
            CutTextWithEllipsis(canvas, text, std::max(0, w - arrow - 4), shown);
            canvas->Brush()->SetStyle(vcl::bsClear);
            DrawSectionText(canvas, shown, enabled, m, state, skinIndex,
                            win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE,
                            vcl::TRect{2, image ? top + ih : 0, w - arrow - 2, image ? h : h});
        }
        if (!enabled)
            BlendBitmapTransparent(ViewOf(face.get()), 0, 0, cv,
                                   TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1}, kDisabledMix,
                                   0xFF000000u);
    }
    win::BitBlt(cache->Canvas()->Handle(), r.Left, r.Top, w, h, face->Canvas()->Handle(), 0, 0,
                win::SRCCOPY);
}

void TacToolBarWnd::Paint(win::HDC dc) {
    CacheInfo behind;
    PixelView view;
    vcl::TBitmap* cache = PrepareBackdropCache(this, behind, view, true);
    if (cache == nullptr) return;
    const int w = WndSize.X, h = WndSize.Y;
    const int n = std::clamp(int(win::SendMessageA(CtrlHandle, TB_BUTTONCOUNT, 0, 0)), 0,
                             kMaxButtons);
    for (int i = 0; i < n; ++i) {
        TBBUTTON b;
        vcl::TRect r;
        if (!ButtonRect(i, b, r)) continue;
        // Only what lies in the window is painted.
        r = vcl::TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, w),
                       std::min(r.Bottom, h)};
        if (r.Right <= r.Left || r.Bottom <= r.Top) continue;
        PaintButton(i, b, r, cache);
    }
    SkinData->CacheStale = false;
    CopyCacheToWindow(SkinData, CtrlHandle, dc);
}

void TacToolBarWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_PAINT:
            PaintWithOwnDC(CtrlHandle, reinterpret_cast<win::HDC>(m.WParam), [this](win::HDC dc) {
                const win::HWND parent = win::GetParent(CtrlHandle);
                const bool updating = SkinData->BGChanged ||
                                      (parent && SendSkinCommand(parent, SKC_ISUPDATING, 0) != 0);
                if (win::IsWindowVisible(CtrlHandle) && !updating) Paint(dc);
            });
            m.Result = 0;
            return;
        case win::WM_PRINT:
            if (m.WParam) Paint(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 0;
            return;
        case win::WM_ERASEBKGND:
            m.Result = 1;
            return;
        case win::WM_NCPAINT:
            if (!(uint32_t(win::GetWindowLongA(CtrlHandle, win::GWL_EXSTYLE)) &
                  win::WS_EX_CLIENTEDGE))
                break;
            // The border is the section's own: the cache's edge strips.
            if (SkinData->CacheStale || SkinData->CacheBmp() == nullptr) Paint(nullptr);
            {
                win::RECT wr{};
                win::GetWindowRect(CtrlHandle, &wr);
                win::POINT o{0, 0};
                win::ClientToScreen(CtrlHandle, &o);
                CopyCacheBorder(SkinData, CtrlHandle, o.x - wr.left);
            }
            m.Result = 0;
            return;
        case win::WM_SIZE:
        case win::WM_WINDOWPOSCHANGED:
            TacMainWnd::AdapterWindowProc(m);
            if (Unhooked) return;
            SkinData->CacheStale = true;
            win::SendMessageA(CtrlHandle, win::WM_NCPAINT, 0, 0);
            return;
        case win::WM_MOUSEMOVE: {
            TacMainWnd::AdapterWindowProc(m);
            if (Unhooked) return;
            // The lit button follows the cursor.
            int hot = -1;
            const int n = std::clamp(int(win::SendMessageA(CtrlHandle, TB_BUTTONCOUNT, 0, 0)), 0,
                                     kMaxButtons);
            for (int i = 0; i < n && hot < 0; ++i)
                if (ButtonState(i) == 1) hot = i;
            if (hot != hot_) {
                hot_ = hot;
                win::InvalidateRect(CtrlHandle, nullptr, false);
            }
            return;
        }
        case SM_ALPHACMD:
            if (SkinCommandCode(m.WParam) == SKC_MOUSELEAVE && hot_ >= 0) {
                hot_ = -1;
                win::InvalidateRect(CtrlHandle, nullptr, false);
            }
            break;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

}  // namespace skin
