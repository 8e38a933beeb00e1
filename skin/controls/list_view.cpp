#include "skin/controls/list_view.h"

#include <algorithm>
#include <vector>

#include "platform/controls/header_control.h"
#include "platform/controls/list_view_control.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/image_list.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "vcl/system/window_exceptions.h"

namespace skin {

using namespace vcl;

namespace {

constexpr const char* kHeaderProcProp = "TsListViewHeaderProc";
constexpr uint32_t kHeaderTextFlags =
    win::DT_END_ELLIPSIS | win::DT_EXPANDTABS | win::DT_SINGLELINE | win::DT_VCENTER;
// Invalidate, the frame too, and update now.
constexpr uint32_t kRedrawAll = win::RDW_INVALIDATE | win::RDW_FRAME | win::RDW_UPDATENOW;

// The sort arrow of a heading's format: the glyph mask of the bottom (down) or top (up)
// scroll button.
const TsMaskData* SortArrow(TsSkinManager* mgr, int fmt) {
    if (!mgr || !(fmt & (win::HDF_SORTDOWN | win::HDF_SORTUP))) return nullptr;
    const TConstantSkinData& k = mgr->ConstData();
    const int i = (fmt & win::HDF_SORTDOWN) ? k.ScrollButtons[1].GlyphMask
                                             : k.ScrollButtons[0].GlyphMask;
    return mgr->Skin().IsValidImgIndex(i) ? &mgr->Masks()[size_t(i)] : nullptr;
}

}  // namespace

void PaintHeaderItem(win::HWND header, int index, const TRect& r, int state, TsSkinManager* mgr,
                     win::HFONT font, win::HIMAGELIST images, bool enabled, int textPad,
                     win::HDC dc) {
    const int w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0 || !dc) return;
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(w, h);
    const int skinIndex =
        PaintSectionByName(&bmp, "COLHEADER", "BUTTON", state, mgr, TPoint{0, 0}, clBtnFace, nullptr);
    char text[129] = {};
    win::HDITEMA item;
    item.mask = win::HDI_TEXT | win::HDI_FORMAT | win::HDI_IMAGE | win::HDI_BITMAP;
    item.pszText = text;
    item.cchTextMax = sizeof text - 1;
    if (index < 0 ||
        !win::SendMessageA(header, win::HDM_GETITEMA, win::WPARAM(index),
                           reinterpret_cast<win::LPARAM>(&item))) {
        item = win::HDITEMA{};
        text[0] = '\0';
    }
    text[sizeof text - 1] = '\0';
    TCanvas* c = bmp.Canvas();
    if (font) win::SelectObject(c->Handle(), font);
    const std::string_view caption(text);

    int imgW = 0, imgH = 0;
    if (images && (item.fmt & win::HDF_IMAGE) && item.iImage >= 0)
        win::ImageList_GetIconSize(images, &imgW, &imgH);
    const int imageSpace = imgW > 0 ? imgW + 4 : 0;
    const TsMaskData* arrow = SortArrow(mgr, item.fmt);
    const int arrowSpace = arrow ? SkinFrameWidth(*arrow) + 6 : 0;

    win::SIZE extent{};
    win::GetTextExtentPoint32A(c->Handle(), text, int(caption.size()), &extent);
    const int textW = (caption.empty() ? 0 : extent.cx) + textPad;
    const int avail = w - 6;
    TRect tr(4, 1, w - 4, h - 1);
    const bool fits = textW + imageSpace + arrowSpace + 6 <= w;
    const auto rightAligned = [&] {
        tr.Right -= arrowSpace;
        tr.Left = fits ? tr.Right - textW : imageSpace + 6;
    };
    switch (item.fmt & win::HDF_JUSTIFYMASK) {
        case win::HDF_RIGHT:
            rightAligned();
            break;
        case win::HDF_CENTER:
            if (fits) {
                tr.Left = std::max(imageSpace, (w - arrowSpace - textW) / 2);
                tr.Right = tr.Left + textW;
            } else {
                rightAligned();
            }
            break;
        default:
            tr.Left += imageSpace;
            tr.Right = std::min(avail, tr.Left + textW);
            break;
    }
    if (arrow) {
        const PixelView self = ViewOf(&bmp);
        CacheInfo over;
        over.Bmp = &self;
        over.Ready = true;
        BlendMaskRegion(&bmp, TPoint{tr.Right + 6, (h - SkinFrameHeight(*arrow)) / 2}, state, 1,
                        *arrow, over);
    }
    if (state == 2) tr = TRect(tr.Left + 1, tr.Top + 1, tr.Right + 1, tr.Bottom + 1);
    if (!caption.empty())
        DrawSectionTextEx(c, caption, true, mgr, state != 0 ? 1 : 0, skinIndex, kHeaderTextFlags,
                          tr);
    if (imageSpace > 0)
        win::ImageList_Draw(images, item.iImage, c->Handle(), tr.Left - imageSpace,
                            (h - imgH) / 2 + (state == 2 ? 1 : 0),
                            win::ILD_TRANSPARENT | (enabled ? 0 : win::ILD_BLEND50));
    c->Refresh();
    win::BitBlt(dc, r.Left, r.Top, w, h, c->Handle(), 0, 0, win::SRCCOPY);
}

TsCustomListView::TsCustomListView(TComponent* owner) : TsEditSkinned(owner, 10) {
    SkinData()->CacheStale = true;
    headerHeight_ = Font()->Size();
}

TsCustomListView::~TsCustomListView() {
    adapter_.reset();
    ReleaseHeader();
}

std::vector<TPropInfo> TsCustomListView::Published() {
    using L = TsCustomListView;
    return {Property("SkinData", &L::SkinData), Property("BoundLabel", &L::BoundLabel),
            Property("HighlightHeaders", &L::HighlightHeaders, &L::SetHighlightHeaders)};
}

void TsCustomListView::CreateWnd() {
    TsEditSkinned::CreateWnd();
    SkinData()->Loaded();
    TakeSkinColors(this, SkinData());
    // The header may have been born before the window heard its parent notices.
    if (!header_)
        if (auto h = reinterpret_cast<win::HWND>(SendList(win::LVM_GETHEADER, 0, 0)))
            SubclassHeader(h);
    // Its frame and bars come with its window, whether or not it was shown before.
    if (IsControlSkinned(SkinData())) UpdateAdapter();
}

void TsCustomListView::UpdateAdapter() {
    WindowSlots().UpdateEditWndAdapter(SkinData(), adapter_);
}

intptr_t TsCustomListView::SendList(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return HandleAllocated() ? win::SendMessageA(Handle(), msg, wParam, lParam) : 0;
}

// The list's own handler wins; else the skin keeps the cache and the background colour.
bool TsCustomListView::CustomDraw(const TRect& rect) {
    if (OnCustomDraw && !ComponentState().Contains(csDesigning))
        return TsEditSkinned::CustomDraw(rect);
    TsCommonData* d = SkinData();
    if (IsControlSkinned(d) && !d->BGChanged) {
        if (d->CacheStale && HandleAllocated()) {
            d->InitCacheBmp();
            TBitmap* cache = d->CacheBmp();
            cache->SetSize(Width(), Height());
            PaintSectionByName(cache, d->SkinSection(), "EDIT", 0, d->GetSkinManager(),
                               TPoint{0, 0}, Color(), nullptr);
            d->CacheStale = false;
        }
        if (!d->CustomColor()) SetColor(TColor(GetControlBGColor(d, false, Handle())));
    }
    return true;
}

// --- the header ---

void TsCustomListView::SubclassHeader(win::HWND header) {
    ReleaseHeader();
    if (!header || !win::IsWindow(header)) return;
    header_ = header;
    headerOldProc_ = reinterpret_cast<win::WNDPROC>(
        win::SetWindowLongPtrA(header, win::GWL_WNDPROC, reinterpret_cast<intptr_t>(&HeaderProc)));
    win::SetPropA(header, kHeaderProcProp, reinterpret_cast<win::HANDLE>(headerOldProc_));
}

void TsCustomListView::ReleaseHeader() {
    if (header_ && win::IsWindow(header_) && headerOldProc_) {
        win::SetWindowLongPtrA(header_, win::GWL_WNDPROC,
                               reinterpret_cast<intptr_t>(headerOldProc_));
        win::RemovePropA(header_, kHeaderProcProp);
    }
    header_ = nullptr;
    headerOldProc_ = nullptr;
    pressed_ = -1;
    hot_ = -2;
    tracking_ = false;
}

win::LRESULT TsCustomListView::HeaderProc(win::HWND wnd, win::UINT msg, win::WPARAM wParam,
                                          win::LPARAM lParam) {
    auto* lv = dynamic_cast<TsCustomListView*>(FindControl(win::GetParent(wnd)));
    if (lv && lv->header_ == wnd && lv->headerOldProc_) {
        TMessage m{msg, wParam, lParam, 0};
        try {
            lv->HeaderWndProc(m);
        } catch (...) {
            HandleWindowException(std::current_exception());
        }
        return m.Result;
    }
    auto next = reinterpret_cast<win::WNDPROC>(win::GetPropA(wnd, kHeaderProcProp));
    return next ? win::CallWindowProcA(next, wnd, msg, wParam, lParam)
                : win::DefWindowProcA(wnd, msg, wParam, lParam);
}

void TsCustomListView::SetHot(int column) {
    if (column == hot_) return;
    hot_ = column;
    RepaintHeader();
}

void TsCustomListView::HeaderWndProc(TMessage& m) {
    const win::HWND h = header_;
    const win::WNDPROC old = headerOldProc_;
    const auto callOld = [&] { m.Result = win::CallWindowProcA(old, h, m.Msg, m.WParam, m.LParam); };
    if (!Report() || !IsControlSkinned(SkinData())) return callOld();
    switch (m.Msg) {
        case win::WM_NCHITTEST:
            if (!ColumnClick()) break;
            callOld();
            if (highlightHeaders_) {
                win::POINT p{win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)};
                win::ScreenToClient(h, &p);
                int hit = -2;
                const int n = int(win::SendMessageA(h, win::HDM_GETITEMCOUNT, 0, 0));
                for (int i = 0; i < n && hit == -2; ++i) {
                    win::RECT r{};
                    win::SendMessageA(h, win::HDM_GETITEMRECT, win::WPARAM(i),
                                      reinterpret_cast<win::LPARAM>(&r));
                    if (win::PtInRect(&r, p)) hit = i;
                }
                SetHot(hit);
            }
            return;
        case win::WM_PAINT: {
            win::PAINTSTRUCT ps{};
            win::HDC dc = win::BeginPaint(h, &ps);
            PaintHeader(dc);
            win::EndPaint(h, &ps);
            m.Result = 0;
            return;
        }
        case win::WM_ERASEBKGND:
            m.Result = 1;
            return;
        case win::WM_NCDESTROY:
            // Decision: the dying header gets its own procedure back and is forgotten.
            ReleaseHeader();
            m.Result = win::CallWindowProcA(old, h, m.Msg, m.WParam, m.LParam);
            return;
        case win::WM_LBUTTONUP:
            if (ColumnClick()) {
                pressed_ = -1;
                tracking_ = false;
            }
            break;
        case win::WM_PRINT:
            // The skin's picture is the whole print: the classic one would cover it.
            PaintHeader(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 0;
            return;
        default:
            break;
    }
    callOld();
    if (m.Msg == win::WM_MOUSEMOVE && tracking_) {
        if (adapter_) adapter_->RefreshScrollBarInfo(true);
    } else if (m.Msg == win::WM_LBUTTONDOWN && ColumnClick()) {
        tracking_ = true;
        win::HDHITTESTINFO hit;
        hit.pt = {win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)};
        win::SendMessageA(h, win::HDM_HITTEST, 0, reinterpret_cast<win::LPARAM>(&hit));
        pressed_ = (hit.flags & (win::HHT_ONDIVIDER | win::HHT_ONDIVOPEN)) ? -1 : hit.iItem;
        win::InvalidateRect(h, nullptr, win::FALSE);
    }
}

void TsCustomListView::PaintHeader(win::HDC dc) {
    if (!header_ || !dc) return;
    TsSkinManager* mgr = SkinData()->GetSkinManager();
    const auto font = reinterpret_cast<win::HFONT>(win::SendMessageA(header_, win::WM_GETFONT, 0, 0));
    const int n = std::max(0, int(win::SendMessageA(header_, win::HDM_GETITEMCOUNT, 0, 0)));
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[size_t(i)] = i;
    if (FullDrag() && n > 0)
        win::SendMessageA(header_, win::HDM_GETORDERARRAY, win::WPARAM(n),
                          reinterpret_cast<win::LPARAM>(order.data()));
    win::RECT client{};
    win::GetClientRect(header_, &client);
    int right = 0;
    for (int index : order) {
        if (index < 0 || index >= n) continue;
        win::RECT r{};
        win::SendMessageA(header_, win::HDM_GETITEMRECT, win::WPARAM(index),
                          reinterpret_cast<win::LPARAM>(&r));
        if (r.right <= r.left || r.bottom <= r.top) continue;
        headerHeight_ = r.bottom - r.top;
        right = std::max(right, int(r.right));
        const int state = pressed_ >= 0 ? (index == pressed_ ? 2 : 0) : (index == hot_ ? 1 : 0);
        PaintHeaderItem(header_, index, TRect(r.left, r.top, r.right, r.bottom), state, mgr, font,
                        SmallImages(), Enabled(), 6, dc);
    }
    if (right < client.right)
        PaintHeaderItem(header_, -1, TRect(right, 0, client.right, client.bottom), 0, mgr, font,
                        nullptr, Enabled(), 6, dc);
}

void TsCustomListView::RepaintHeader() {
    if (header_) win::InvalidateRect(header_, nullptr, win::FALSE);
}

void TsCustomListView::RedrawAll() {
    if (HandleAllocated()) win::RedrawWindow(Handle(), nullptr, nullptr, kRedrawAll | win::RDW_ALLCHILDREN);
}

// --- the list ---

bool TsCustomListView::SkinCommand(TMessage& m) {
    TsCommonData* d = SkinData();
    const uint16_t code = SkinCommandCode(m.WParam);
    switch (code) {
        case SKC_ISUPDATING:
            m.Result = (d->CacheStale || d->BGChanged) ? 1 : 0;
            return true;
        case SKC_BEFORESCROLL:
            m.Result = 1;
            return true;
        case SKC_ENDPARENTUPDATE:
            printDC_ = nullptr;
            RepaintHeader();
            return true;
        default:
            break;
    }
    if (AnswerCommonCommands(m)) return true;
    if (!IsOwnSkinChange(m, d)) return false;
    Items()->BeginUpdate();
    CommonWndProc(m, d);
    if (code == SKC_REMOVESKIN) {
        TakeWindowColors(this, d);
        adapter_.reset();
    } else if (code == SKC_REFRESH && IsControlSkinned(d) &&
               !ComponentState().Contains(csLoading)) {
        TakeSkinColors(this, SkinData());
        UpdateAdapter();
    }
    Items()->EndUpdate();
    if (code != SKC_NEWSKIN) {
        RedrawAll();
        RepaintHeader();
    }
    return true;
}

// Thumb tracking by the skinned bars' last position: the list scrolls by whole items. Where
// the bars tracked nothing (-1) the list scrolls itself.
bool TsCustomListView::ThumbScroll(TMessage& m, bool vertical) {
    const int last = WindowSlots().LastTrackPosition(adapter_.get());
    if (last < 0) return false;
    const int pos = m.LParam ? int(m.LParam) : int(win::HIWORD(m.WParam));
    if (pos != last) {
        win::RECT item{};
        item.left = win::LVIR_BOUNDS;
        SendList(win::LVM_GETITEMRECT, 0, reinterpret_cast<intptr_t>(&item));
        int delta = pos - last;
        if (vertical && Report()) delta *= item.bottom - item.top;
        if (!vertical && ViewStyle() == vsList) delta *= item.right - item.left;
        SendList(win::LVM_SCROLL, vertical ? 0 : uintptr_t(delta), vertical ? delta : 0);
        if (!vertical) RepaintHeader();
    }
    m.Result = 0;
    return true;
}

void TsCustomListView::WndProc(TMessage& m) {
    if (m.Msg == SM_ALPHACMD && SkinCommand(m)) return;
    // A column without an image asks for none.
    if ((m.Msg == win::LVM_SETCOLUMNA || m.Msg == win::LVM_INSERTCOLUMNA) && m.LParam) {
        auto* col = reinterpret_cast<win::LVCOLUMNA*>(m.LParam);
        if (col->iImage == -1) col->mask &= ~win::LVCF_IMAGE;
    }
    if (m.Msg == win::WM_PARENTNOTIFY) {
        const int event = win::LOWORD(m.WParam);
        auto child = reinterpret_cast<win::HWND>(m.LParam);
        char cls[32] = {};
        if ((event == win::WM_CREATE || event == win::WM_DESTROY) && child &&
            win::GetClassNameA(child, cls, sizeof cls) > 0 && std::string_view(cls) == win::WC_HEADERA) {
            if (event == win::WM_CREATE)
                SubclassHeader(child);
            else if (child == header_)
                ReleaseHeader();
        }
    }
    TsCommonData* d = SkinData();
    if (!IsSkinnedNow(this, d) || ControlState.Contains(csCreating)) {
        TsEditSkinned::WndProc(m);
        // Showing may have made the control paintable.
        if (m.Msg == CM_SHOWINGCHANGED && IsSkinnedNow(this, d)) UpdateAdapter();
        return;
    }
    switch (m.Msg) {
        case win::WM_VSCROLL:
        case win::WM_HSCROLL: {
            // Without the skinned bars the list scrolls itself.
            if (!adapter_) break;
            adapter_->RefreshScrollBarInfo(false);
            if (win::LOWORD(m.WParam) == win::SB_THUMBTRACK &&
                ThumbScroll(m, m.Msg == win::WM_VSCROLL))
                return;
            if (m.Msg == win::WM_VSCROLL) m.LParam = 0;
            InheritedWndProc(m);
            if (m.Msg == win::WM_HSCROLL) RepaintHeader();
            return;
        }
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS: {
            SendList(win::WM_SETREDRAW, 0, 0);
            InheritedWndProc(m);
            SendList(win::WM_SETREDRAW, 1, 0);
            const intptr_t sel = SendList(win::LVM_GETNEXTITEM, uintptr_t(-1), win::LVNI_SELECTED);
            if (sel >= 0) SendList(win::LVM_REDRAWITEMS, uintptr_t(sel), sel);
            return;
        }
        case win::WM_ERASEBKGND:
            if (d->BGChanged) {
                m.Result = 1;
                return;
            }
            if (printDC_) m.WParam = reinterpret_cast<uintptr_t>(printDC_);
            break;
        case win::WM_PRINT:
            InheritedWndProc(m);
            if (Report() && adapter_ && m.WParam) {
                const auto dc = reinterpret_cast<win::HDC>(m.WParam);
                const int saved = win::SaveDC(dc);
                const int bx = adapter_->BorderWidthX(), by = adapter_->BorderWidthY();
                win::SetWindowOrgEx(dc, -bx, -by, nullptr);
                win::IntersectClipRect(dc, 0, 0, Width() - 2 * bx - adapter_->VertBarWidth(),
                                       Height() - 2 * by - adapter_->HorzBarHeight());
                printDC_ = dc;
                PaintHeader(dc);
                win::RestoreDC(dc, saved);
            }
            return;
        case CM_UIACTIVATE:
            m.Result = 1;
            return;
        case CM_MOUSELEAVE: {
            win::POINT p{};
            win::GetCursorPos(&p);
            win::RECT r{};
            win::GetWindowRect(Handle(), &r);
            if (win::PtInRect(&r, p)) return;
            TsEditSkinned::WndProc(m);
            SetHot(-2);
            return;
        }
        case win::WM_NCHITTEST:
            if (highlightHeaders_) SetHot(-2);
            break;
        default:
            break;
    }
    TsEditSkinned::WndProc(m);
    switch (m.Msg) {
        case win::WM_NCPAINT:
            RepaintHeader();
            break;
        case win::WM_STYLECHANGED:
            if (!ComponentState().Contains(csReading)) {
                SendList(win::LVM_SCROLL, 0, 0);
                if (adapter_) adapter_->RefreshScrollBarInfo(false);
            }
            break;
        case CM_SHOWINGCHANGED:
            UpdateAdapter();
            break;
        case win::LVM_INSERTITEMA:
        case win::LVM_DELETEITEM:
        case win::LVM_REDRAWITEMS:
            if (adapter_ && !d->BGChanged) adapter_->RefreshScrollBarInfo(false);
            break;
        default:
            break;
    }
}

}  // namespace skin
