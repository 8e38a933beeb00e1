// Tab control, page control and page adapters.
#include "skin/windows/adapters/tab_adapters.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <memory>

#include "platform/controls/up_down_control.h"
#include "platform/gdi/image_list.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/windows/adapters/adapter_backdrop.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "skin/windows/adapters/sizer_spin_adapters.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

// A control that answers more tabs than this is answering nonsense.
constexpr int kMaxTabs = 4096;
constexpr int kMaxCaption = 4096;
// Tabs reaching far outside the window are painted only this far beyond its edges.
constexpr int kTabMargin = 64;
constexpr char kAreaSections[4][18] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT",
                                       "PAGECONTROLRIGHT"};

uint32_t StyleOf(win::HWND wnd) { return uint32_t(win::GetWindowLongA(wnd, win::GWL_STYLE)); }

bool IsEmpty(const vcl::TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

void Inflate(vcl::TRect& r, int dx, int dy) {
    r.Left -= dx, r.Right += dx, r.Top -= dy, r.Bottom += dy;
}

// Where the client area's corner lies in the window.
vcl::TPoint ClientOffset(win::HWND wnd) {
    win::RECT w{};
    win::GetWindowRect(wnd, &w);
    win::POINT p{0, 0};
    win::ClientToScreen(wnd, &p);
    return {p.x - w.left, p.y - w.top};
}

}  // namespace

win::LOGFONTA RotatedTabFont(const win::LOGFONTA& base, int side) {
    win::LOGFONTA lf = base;
    lf.lfWeight = win::FW_NORMAL;
    lf.lfEscapement = lf.lfOrientation = side == tsRight ? 2700 : 900;
    if (std::strncmp(lf.lfFaceName, "MS Sans Serif", sizeof lf.lfFaceName) == 0) {
        std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
        std::strcpy(lf.lfFaceName, "Arial");
    }
    return lf;
}

// ---------------------------------------------------------------------------------------------
// Tab control

TacTabControlWnd::~TacTabControlWnd() {
    TacMainWnd* spin = SpinAdapter;
    SpinAdapter = nullptr;
    FreeAdapter(spin);
}

void TacTabControlWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData,
                                      TsSkinManager* manager, const std::string& section,
                                      bool flag) {
    TacMainWnd::AttachToWindow(wnd, skinData, manager, section.empty() ? "PAGECONTROL" : section,
                               flag);
    if (SkinManager == nullptr && SkinData) SkinManager = SkinData->SkinManager();
    RecreateSpin();
}

int TacTabControlWnd::TabPosition() const {
    const uint32_t style = StyleOf(CtrlHandle);
    if (style & TCS_VERTICAL) return (style & TCS_RIGHT) ? tsRight : tsLeft;
    return (style & TCS_BOTTOM) ? tsBottom : tsTop;
}

int TacTabControlWnd::TabStyle() const {
    const uint32_t style = StyleOf(CtrlHandle);
    return (style & TCS_FLATBUTTONS) ? 2 : (style & TCS_BUTTONS) ? 1 : 0;
}

int TacTabControlWnd::TabCount() const {
    return std::clamp(int(win::SendMessageA(CtrlHandle, TCM_GETITEMCOUNT, 0, 0)), 0, kMaxTabs);
}

vcl::TRect TacTabControlWnd::PageRect() {
    win::RECT r{};
    win::GetClientRect(CtrlHandle, &r);
    win::SendMessageA(CtrlHandle, TCM_ADJUSTRECT, 0, reinterpret_cast<intptr_t>(&r));
    const vcl::TPoint o = ClientOffset(CtrlHandle);
    return {r.left + o.X, r.top + 2 + o.Y, r.right + o.X, r.bottom + o.Y};
}

vcl::TRect TacTabControlWnd::PageFrameRect() {
    win::RECT w{};
    win::GetWindowRect(CtrlHandle, &w);
    vcl::TRect r{0, 0, w.right - w.left, w.bottom - w.top};
    if (TabCount() < 1) return r;
    const vcl::TRect page = PageRect();
    switch (TabPosition()) {
        case tsTop: r.Top = page.Top - 4; break;
        case tsBottom: r.Bottom = page.Bottom + 1; break;
        case tsLeft: r.Left = page.Left - 1; break;
        default: r.Right = page.Right + 1; break;
    }
    return r;
}

vcl::TRect TacTabControlWnd::TabRect(int i, bool selected) {
    if (i < 0 || i >= TabCount()) return {};
    win::RECT raw{};
    if (!win::SendMessageA(CtrlHandle, TCM_GETITEMRECT, uintptr_t(i),
                           reinterpret_cast<intptr_t>(&raw)))
        return {};
    const vcl::TPoint o = ClientOffset(CtrlHandle);
    vcl::TRect r{raw.left + o.X, raw.top + o.Y, raw.right + o.X, raw.bottom + o.Y};
    if (IsEmpty(r)) return {};
    const int sel = selected ? 1 : 0;
    if (selected) {
        r.Bottom -= 1;
    } else {
        r.Bottom += 3;
        r.Right -= 1;
    }
    switch (TabPosition()) {
        case tsTop:
            Inflate(r, 2 * sel, 2 * sel);
            r.Bottom += 1;
            break;
        case tsBottom:
            Inflate(r, 2 * sel, sel);
            r.Top -= 2;
            r.Bottom += selected ? 1 : -3;
            break;
        case tsLeft:
            Inflate(r, 0, 1);
            r.Right += 2;
            if (selected) {
                Inflate(r, 1, 1);
            } else {
                r.Bottom -= 4;
                r.Right += 2;
            }
            break;
        default:
            Inflate(r, 1, 0);
            r.Left -= 1, r.Right -= 1, r.Top -= 1, r.Bottom -= 1;
            if (selected) {
                Inflate(r, 1, 1);
                r.Bottom += 3;
            } else {
                r.Bottom -= 2;
            }
            break;
    }
    return IsEmpty(r) ? vcl::TRect{} : r;
}

std::string TacTabControlWnd::AreaSection() {
    if (TabCount() < 1) return "CHECKBOX";
    const std::string& own = SkinData->SkinSection();
    if (own != "PAGECONTROL") return own;
    // A skin without the side's own section paints every side as the top one.
    TsSkinManager* m = SkinData->SkinManager();
    const char* side = kAreaSections[TabPosition()];
    return m && m->IsValidSkinIndex(m->GetSkinIndex(side)) ? side : own;
}

void TacTabControlWnd::RecreateSpin() {
    win::HWND spin = nullptr;
    for (win::HWND c = win::GetWindow(CtrlHandle, win::GW_CHILD); c;
         c = win::GetWindow(c, win::GW_HWNDNEXT)) {
        char cls[32] = {};
        win::GetClassNameA(c, cls, sizeof cls);
        if (strcasecmp(cls, win::UPDOWN_CLASSA) == 0) {
            spin = c;
            break;
        }
    }
    // A live adapter on the same arrows stays; anything else is made anew.
    if (SpinAdapter && !SpinAdapter->Unhooked && SpinAdapter->CtrlHandle == spin) return;
    TacMainWnd* old = SpinAdapter;
    SpinAdapter = nullptr;
    FreeAdapter(old);
    if (spin && Skinned())
        SpinAdapter = AttachAdapter<TacSpinWnd>(spin, nullptr, SkinManager, "UPDOWNBTN");
}

void TacTabControlWnd::Invalidate() {
    SkinData->CacheStale = true;
    win::RedrawWindow(CtrlHandle, nullptr, nullptr, win::RDW_INVALIDATE | win::RDW_ERASE);
}

void TacTabControlWnd::WriteCaption(vcl::TCanvas* canvas, const std::string& text, int image,
                                    int state, int skinIndex, const vcl::TRect& r) {
    TsSkinManager* m = SkinData->SkinManager();
    const bool enabled = win::IsWindowEnabled(CtrlHandle) != 0;
    auto list = reinterpret_cast<win::HIMAGELIST>(
        win::SendMessageA(CtrlHandle, TCM_GETIMAGELIST, 0, 0));
    int iw = 0, ih = 0;
    const bool hasImage = list && image >= 0 && image < win::ImageList_GetImageCount(list) &&
                          win::ImageList_GetIconSize(list, &iw, &ih);
    SelectAdapterFont(SkinData, CtrlHandle, canvas);
    canvas->Brush()->SetStyle(vcl::bsClear);
    win::HDC dc = canvas->Handle();
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const int side = TabPosition();
    const uint32_t centred = win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE;
    if (side == tsTop || side == tsBottom) {
        if (!hasImage) {
            DrawSectionText(canvas, text, enabled, m, state, skinIndex, centred, r);
            return;
        }
        const int tw = text.empty() ? 0 : TextSizeOf(canvas, text).X + 8;
        const int x = r.Left + (w - iw - tw) / 2;
        win::ImageList_Draw(list, image, dc, x, r.Top + (h - ih) / 2, win::ILD_TRANSPARENT);
        if (!text.empty())
            DrawSectionText(canvas, text, enabled, m, state, skinIndex, centred,
                            vcl::TRect{x + iw + 8, r.Top, r.Right, r.Bottom});
        return;
    }
    // The sides: the caption turned, the image above it.
    win::LOGFONTA base{};
    win::GetObject(canvas->Font()->Handle(), sizeof base, &base);
    const win::LOGFONTA turned = RotatedTabFont(base, side);
    win::HFONT font = win::CreateFontIndirectA(&turned);
    win::SIZE ts{};
    if (!text.empty()) win::GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &ts);
    const int block = (hasImage ? ih + (text.empty() ? 0 : 4) : 0) + int(ts.cx);
    int y = r.Top + (h - block) / 2;
    if (hasImage) {
        win::ImageList_Draw(list, image, dc, r.Left + (w - iw) / 2, y, win::ILD_TRANSPARENT);
        y += ih + 4;
    }
    if (!text.empty() && font) {
        TsSkinManager* mm = m;
        TColor color = 0;
        if (mm && mm->IsValidSkinIndex(skinIndex)) {
            const TsGeneralData& s = mm->Sections()[size_t(skinIndex)];
            color = state != 0 ? s.HotFontColor : s.FontColor;
        }
        win::HGDIOBJ old = win::SelectObject(dc, font);
        win::SetBkMode(dc, win::TRANSPARENT);
        win::SetTextColor(dc, win::COLORREF(ColorToRGB(color)));
        // Text turned left runs upwards from its start, turned right downwards.
        const int x = side == tsLeft ? r.Left + (w - int(ts.cy)) / 2 : r.Left + (w + int(ts.cy)) / 2;
        const int start = side == tsLeft ? y + int(ts.cx) : y;
        win::TextOutA(dc, x, start, text.c_str(), int(text.size()));
        win::SelectObject(dc, old);
    }
    if (font) win::DeleteObject(font);
}

void TacTabControlWnd::PaintTab(int index, int state, vcl::TBitmap* cacheBehind, win::HDC target,
                                vcl::TBitmap* targetBmp) {
    TsSkinManager* m = SkinData->SkinManager();
    if (m == nullptr || cacheBehind == nullptr) return;
    vcl::TRect r = TabRect(index, state == 2);
    const int w = cacheBehind->Width(), h = cacheBehind->Height();
    r = vcl::TRect{std::max(r.Left, -kTabMargin), std::max(r.Top, -kTabMargin),
                   std::min(r.Right, w + kTabMargin), std::min(r.Bottom, h + kTabMargin)};
    if (IsEmpty(r) || r.Right <= 0 || r.Bottom <= 0 || r.Left >= w || r.Top >= h) return;
    int skinIndex = -1;
    std::string section;
    switch (TabStyle()) {
        case 0: {
            const int side = TabPosition();
            skinIndex = m->ConstData().Tabs[side].Section;
            section = TConstantSkinData::kTabNames[side];
            break;
        }
        case 1: section = "BUTTON"; break;
        default: section = "TOOLBUTTON"; break;
    }
    if (skinIndex < 0) skinIndex = m->GetSkinIndex(section);
    if (!m->IsValidSkinIndex(skinIndex)) return;

    char text[kMaxCaption + 1] = {};
    TCITEMA item;
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    item.pszText = text;
    item.cchTextMax = kMaxCaption;
    win::SendMessageA(CtrlHandle, TCM_GETITEMA, uintptr_t(index), reinterpret_cast<intptr_t>(&item));
    text[kMaxCaption] = '\0';

    const int tw = r.Right - r.Left, th = r.Bottom - r.Top;
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> tab(NewBitmap24(tw, th));
    const PixelView behindView = ViewOf(cacheBehind);
    PaintMaskWithBorders(skinIndex, section, MakeCacheInfo(&behindView, r.Left, r.Top), true, state,
                         TRect{0, 0, tw, th}, TPoint{0, 0}, tab.get(), m, -1, -1);
    WriteCaption(tab->Canvas(), text, item.iImage, state, skinIndex, vcl::TRect{0, 0, tw, th});
    win::HDC dst = targetBmp ? targetBmp->Canvas()->Handle() : target;
    if (dst) win::BitBlt(dst, r.Left, r.Top, tw, th, tab->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    PaintOrder.push_back(index);
}

void TacTabControlWnd::PaintPageArea(win::HDC dc) {
    GetWindowRectsInParent(this);
    SkinData->BGChanged = SkinData->GetBGChanged();
    TsSkinManager* m = SkinData->SkinManager();
    if (SkinData->BGChanged || m == nullptr) return;
    const int count = TabCount();
    const std::string section = AreaSection();
    SkinData->SkinIndex = m->GetSkinIndex(section);
    CacheInfo behind;
    PixelView view;
    vcl::TBitmap* cache = PrepareBackdropCache(this, behind, view, false);
    if (cache == nullptr) return;
    const int w = WndSize.X, h = WndSize.Y;
    PaintOrder.clear();
    const int selected = count > 0 ? int(win::SendMessageA(CtrlHandle, TCM_GETCURSEL, 0, 0)) : -1;
    if (count > 0) {
        // Row by row from the first: a tab's row is its offset from the first tab in tab sizes.
        const vcl::TRect first = TabRect(0, false);
        const bool vertical = TabPosition() >= tsLeft;
        const int step = std::max(1, vertical ? first.Right - first.Left : first.Bottom - first.Top);
        std::vector<std::pair<int, int>> order;
        for (int i = 0; i < count; ++i) {
            if (i == selected) continue;
            const vcl::TRect r = TabRect(i, false);
            const int offset = vertical ? r.Left - first.Left : r.Top - first.Top;
            order.emplace_back(std::abs(offset) / step, i);
        }
        std::stable_sort(order.begin(), order.end(),
                         [](auto& a, auto& b) { return a.first < b.first; });
        for (auto [row, i] : order) PaintTab(i, 0, cache, nullptr, cache);
    }
    vcl::TRect frame = PageFrameRect();
    frame = vcl::TRect{std::max(frame.Left, 0), std::max(frame.Top, 0), std::min(frame.Right, w),
                       std::min(frame.Bottom, h)};
    if (!IsEmpty(frame) && m->IsValidSkinIndex(SkinData->SkinIndex))
        PaintMaskWithBorders(SkinData->SkinIndex, section, behind, true, 0, frame, TPoint{0, 0},
                             cache, m, m->GetTextureIndex(SkinData->SkinIndex, section, "PATTERN"),
                             m->GetTextureIndex(SkinData->SkinIndex, section, "HOTPATTERN"));
    SkinData->CacheStale = false;

    win::HDC target = dc ? dc : win::GetDC(CtrlHandle);
    if (target == nullptr) return;
    const vcl::TRect sel = TabRect(selected, true);
    const int saved = win::SaveDC(target);
    if (!IsEmpty(sel)) win::ExcludeClipRect(target, sel.Left, sel.Top, sel.Right, sel.Bottom);
    win::BitBlt(target, 0, 0, w, h, cache->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    win::RestoreDC(target, saved);
    // The selected tab last, straight into the window over the page frame.
    if (!IsEmpty(sel)) PaintTab(selected, 2, cache, target, nullptr);
    if (dc == nullptr) win::ReleaseDC(CtrlHandle, target);
}

void TacTabControlWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_PAINT:
            // Drawn whole from the cache, so the class's own face never shows.
            PaintWithOwnDC(CtrlHandle, reinterpret_cast<win::HDC>(m.WParam), [this](win::HDC dc) {
                if (!FormsRedrawFrozen()) PaintPageArea(dc);
            });
            m.Result = 0;
            return;
        case win::WM_ERASEBKGND:
            if (!win::IsWindowVisible(CtrlHandle)) break;
            if (!FormsRedrawFrozen()) PaintPageArea(reinterpret_cast<win::HDC>(m.WParam));
            if (!Unhooked) RecreateSpin();
            m.Result = 0;
            return;
        case win::WM_NCPAINT:
            m.Result = 0;
            return;
        case win::WM_PRINT:
            RecreateSpin();
            if (m.WParam) PaintPageArea(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 0;
            return;
        case win::WM_SIZE:
            TacMainWnd::AdapterWindowProc(m);
            if (!Unhooked) RecreateSpin();
            return;
        case SM_ALPHACMD: {
            const bool mine = m.LParam == reinterpret_cast<intptr_t>(SkinData->SkinManager());
            switch (SkinCommandCode(m.WParam)) {
                case SKC_REMOVESKIN:
                    if (!mine) break;
                    TacMainWnd::AdapterWindowProc(m);
                    if (Unhooked) return;
                    RecreateSpin();
                    BroadcastToChildren(SkinData->OwnerControl(), CtrlHandle, m);
                    win::RedrawWindow(CtrlHandle, nullptr, nullptr,
                                      win::RDW_INVALIDATE | win::RDW_INTERNALPAINT |
                                          win::RDW_ERASE | win::RDW_ALLCHILDREN |
                                          win::RDW_UPDATENOW | win::RDW_FRAME);
                    return;
                case SKC_REFRESH:
                    if (mine) {
                        SkinData->UpdateIndexes();
                        SkinData->BGChanged = false;
                        Invalidate();
                        RecreateSpin();
                    }
                    BroadcastToChildren(SkinData->OwnerControl(), CtrlHandle, m);
                    return;
                case SKC_ENDPARENTUPDATE:
                    SkinData->BGChanged = false;
                    Invalidate();
                    return;
                case SKC_GETCAPTIONHEIGHT:
                    m.Result = reinterpret_cast<intptr_t>(SkinData->SkinManager());
                    return;
                default:
                    break;
            }
            break;
        }
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

// ---------------------------------------------------------------------------------------------
// Page control

TacPageControlWnd::~TacPageControlWnd() {
    std::vector<TacPageWnd*> pages;
    pages.swap(pages_);
    for (TacPageWnd* p : pages) {
        p->PageControl = nullptr;
        TacMainWnd* a = p;
        FreeAdapter(a);
    }
}

void TacPageControlWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData,
                                       TsSkinManager* manager, const std::string& section,
                                       bool flag) {
    TacTabControlWnd::AttachToWindow(wnd, skinData, manager, section, flag);
    AdaptPages();
}

void TacPageControlWnd::AdaptPages() {
    if (Unhooked || !Skinned()) return;
    for (win::HWND c = win::GetWindow(CtrlHandle, win::GW_CHILD); c;
         c = win::GetWindow(c, win::GW_HWNDNEXT)) {
        // A page that has an adapter answers that it is skinned and is passed over.
        if (SendSkinCommand(c, SKC_ISSKINAWARE, 0) != 0) continue;
        auto* page = AttachAdapter<TacPageWnd>(c, nullptr, SkinManager, "CHECKBOX");
        if (page->Unhooked) {
            delete page;
            continue;
        }
        page->PageControl = this;
        pages_.push_back(page);
    }
}

void TacPageControlWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacTabControlWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_NCPAINT:
            AdaptPages();
            m.Result = 0;
            return;
        case win::WM_PARENTNOTIFY: {
            TacTabControlWnd::AdapterWindowProc(m);
            const uint32_t what = win::LOWORD(uint32_t(m.WParam));
            if (!Unhooked && (what == win::WM_CREATE || what == win::WM_DESTROY)) AdaptPages();
            return;
        }
        case win::WM_ERASEBKGND:
            if (!win::IsWindowVisible(CtrlHandle)) break;
            if (!FormsRedrawFrozen()) PaintPageArea(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 1;
            return;
        case TCM_SETCURSEL:
            TacTabControlWnd::AdapterWindowProc(m);
            if (Unhooked) return;
            if (vcl::TControl* c = SkinData->OwnerControl())
                NotifyParentForm(c);
            else
                SendSkinCommandToTopParent(CtrlHandle);
            return;
        default:
            break;
    }
    TacTabControlWnd::AdapterWindowProc(m);
}

// ---------------------------------------------------------------------------------------------
// Page

TacPageWnd::~TacPageWnd() {
    if (PageControl) std::erase(PageControl->pages_, this);
}

void TacPageWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                const std::string& section, bool flag) {
    TacMainWnd::AttachToWindow(wnd, skinData, manager, section.empty() ? "CHECKBOX" : section,
                               flag);
}

void TacPageWnd::Paint(win::HDC dc) {
    // The page looks through to the page control's picture at its place.
    CacheInfo behind;
    PixelView view;
    vcl::TBitmap* cache = PrepareBackdropCache(this, behind, view, false);
    if (cache == nullptr) return;
    // Answered with a plain colour, the page still takes the edge of the page frame along the
    // tab side from the page control's picture.
    vcl::TBitmap* control = PageControl ? PageControl->SkinData->CacheBmp() : nullptr;
    if (!behind.Ready && control && control->Width() > 0 && control->Height() > 0) {
        const int w = cache->Width(), h = cache->Height(), strip = std::min({3, w, h});
        const int side = PageControl->TabPosition();
        const vcl::TRect r = side == tsTop      ? vcl::TRect{0, 0, w, strip}
                             : side == tsBottom ? vcl::TRect{0, h - strip, w, h}
                             : side == tsLeft   ? vcl::TRect{0, 0, strip, h}
                                                : vcl::TRect{w - strip, 0, w, h};
        win::BitBlt(cache->Canvas()->Handle(), r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top,
                    control->Canvas()->Handle(), WndPos.X + r.Left, WndPos.Y + r.Top,
                    win::SRCCOPY);
    }
    SkinData->CacheStale = false;
    CopyCacheToWindow(SkinData, CtrlHandle, dc);
}

void TacPageWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (m.Msg == win::WM_DESTROY || m.Msg == win::WM_NCDESTROY) {
        // The page goes: its adapter goes with it, once this message has returned.
        TacMainWnd::AdapterWindowProc(m);
        if (PageControl) std::erase(PageControl->pages_, this);
        PageControl = nullptr;
        TacMainWnd* self = this;
        FreeAdapter(self);
        return;
    }
    if (!CanSkin()) return TacMainWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case win::WM_ERASEBKGND:
            if (!win::IsWindowVisible(CtrlHandle)) break;
            Paint(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 1;
            return;
        case win::WM_PRINT:
            if (m.WParam) Paint(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 0;
            return;
        case win::WM_NCPAINT:
            m.Result = 0;
            return;
        case SM_ALPHACMD: {
            const bool mine = m.LParam == reinterpret_cast<intptr_t>(SkinData->SkinManager());
            switch (SkinCommandCode(m.WParam)) {
                case SKC_NEWSKIN:
                case SKC_REMOVESKIN:
                case SKC_REFRESH:
                    if (!mine) break;
                    TacMainWnd::AdapterWindowProc(m);
                    if (Unhooked) return;
                    SkinData->CacheStale = true;
                    win::InvalidateRect(CtrlHandle, nullptr, true);
                    BroadcastToChildren(SkinData->OwnerControl(), CtrlHandle, m);
                    return;
                case SKC_ENDPARENTUPDATE:
                    SkinData->BGChanged = false;
                    SkinData->CacheStale = true;
                    win::InvalidateRect(CtrlHandle, nullptr, true);
                    return;
                default:
                    break;
            }
            break;
        }
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

}  // namespace skin
