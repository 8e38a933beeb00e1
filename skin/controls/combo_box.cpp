#include "skin/controls/combo_box.h"

#include "platform/controls/combo_box_control.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "vcl/graphics/canvas.h"

namespace skin {

using namespace vcl;

namespace {

constexpr uint16_t kKeyF4 = 0x73;

// The keys a read-only box refuses: space, the page keys, the ends, the arrows, F4, the
// letters and 0x39.
bool MovesSelection(uintptr_t vk) {
    return (vk >= 0x20 && vk <= 0x28) || vk == 0x39 || (vk >= 0x41 && vk <= 0x5A) || vk == kKeyF4;
}

}  // namespace

std::vector<TPropInfo> TsCustomComboBox::Published() {
    using C = TsCustomComboBox;
    std::vector<TPropInfo> p = SkinProperties<C>();
    p.push_back(Property("AutoCloseUp", &C::AutoCloseUp, &C::SetAutoCloseUp));
    p.push_back(Property("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown));
    p.push_back(Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly));
    return p;
}

TsCustomComboBox::TsCustomComboBox(TComponent* owner) : TsEditSkinned(owner, 3, "COMBOBOX") {
    SetDropDownCount(16);
}

TsCustomComboBox::~TsCustomComboBox() {
    ReleaseList();
}

void TsCustomComboBox::ReleaseList() {
    // The list outlives an adapter that made its frame thin: it gets its own frame back.
    if (listWnd_ && win::IsWindow(listWnd_)) {
        const auto style = uint32_t(win::GetWindowLongA(listWnd_, win::GWL_STYLE));
        win::SetWindowLongA(listWnd_, win::GWL_STYLE,
                            int32_t((style & ~uint32_t(win::WS_THICKFRAME)) | win::WS_BORDER));
    }
    listWnd_ = nullptr;
    if (listAdapter_) WindowSlots().ReleaseControlScrollAdapter(listAdapter_);
}

win::RECT TsCustomComboBox::ButtonRect() const {
    const int w = Style() == csSimple ? 0 : win::GetSystemMetrics(win::SM_CXVSCROLL);
    const int left = Width() - w - 3;
    return {left, 2, left + w, Height() - 2};
}

void TsCustomComboBox::Loaded() {
    TsEditSkinned::Loaded();
    TakeSkinColors(this, SkinData());
}

void TsCustomComboBox::CreateWnd() {
    TCustomComboBox::CreateWnd();
    TakeSkinColors(this, SkinData());
}

int TsCustomComboBox::CacheHeight() const {
    return Style() == csSimple ? ItemHeight() + 8 : Height();
}

void TsCustomComboBox::PrepareCache() {
    TsCommonData* d = SkinData();
    const int active = ControlIsActive(d) ? 1 : 0;
    // The simple style frames its edit only: the list below it has a frame of its own.
    PaintSectionIntoCache(this, d, active, true, CacheHeight());
    TBitmap* cache = d->CacheBmp();
    TsSkinManager* mgr = d->GetSkinManager();
    const win::RECT b = ButtonRect();
    if (cache && mgr && b.right > b.left && b.bottom > b.top) {
        const int state = droppedDown_ ? 2 : active;
        const int section = mgr->GetSkinIndex("COMBOBTN");
        if (mgr->IsValidSkinIndex(section))
            WithCopyAsBackground(cache, [&](const CacheInfo& body) {
                PaintMaskWithBorders(section, "COMBOBTN", body, true, state,
                                     TRect(b.left, b.top, b.right, b.bottom), {0, 0}, cache, mgr,
                                     -1, -1);
            });
        const int glyph = mgr->ConstData().ComboGlyph;
        if (mgr->Skin().IsValidImgIndex(glyph)) {
            const TsMaskData& mask = mgr->Masks()[size_t(glyph)];
            const win::SIZE sz = mgr->GetMaskStateSize(glyph);
            const int arrowHeight = SkinFrameHeight(mask);
            const PixelView self = ViewOf(cache);
            CacheInfo over;
            over.Bmp = &self;
            over.Ready = true;
            BlendMaskRegion(cache,
                            {b.left + (b.right - b.left - sz.cx) / 2, (Height() - arrowHeight) / 2},
                            std::min(state, std::max(1, int(mask.ImageCount)) - 1), 1, mask, over);
        }
    }
    if (cache && !(Style() >= csOwnerDrawFixed && OnDrawItem)) PaintText(cache);
    if (!Enabled()) BlendDisabledCache(this, d, DisabledKind());
    d->CacheStale = false;
}

void TsCustomComboBox::PaintText(TBitmap* cache) {
    const win::RECT b = ButtonRect();
    const win::RECT r{3, 3, b.left - 1, Height() - 3};
    const bool selected = Style() == csDropDownList && ControlIsActive(SkinData());
    win::HDC dc = cache->Canvas()->Handle();
    win::SelectObject(dc, Font()->Handle());
    if (selected) {
        FillRectSolid(dc, r, TColor(vcl::ColorToRGB(clHighlight)));
        win::SetTextColor(dc, vcl::ColorToRGB(clHighlightText));
    } else {
        win::SetTextColor(dc, vcl::ColorToRGB(Font()->Color()));
    }
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    win::RECT t = r;
    if (Style() == csDropDown)
        --t.bottom;
    else
        ++t.left;
    const std::string text = Text();
    win::DrawText(dc, text.c_str(), int(text.size()), &t,
                  TextFlagsForAlignment(this, Alignment()) | win::DT_SINGLELINE |
                      win::DT_NOPREFIX | win::DT_VCENTER);
    win::SetBkMode(dc, mode);
    if (selected) win::DrawFocusRect(dc, &r);
}

void TsCustomComboBox::PaintToDC(win::HDC dc) {
    TsCommonData* d = SkinData();
    if (d->CacheStale || !d->CacheBmp() || d->CacheBmp()->Width() != Width() ||
        d->CacheBmp()->Height() != CacheHeight())
        PrepareCache();
    PaintCtrlBorders(d, PresentState(d));
    TBitmap* cache = d->CacheBmp();
    if (!cache) return;
    win::HDC src = cache->Canvas()->Handle();
    if (Style() >= csOwnerDrawFixed) {
        // A disabled field draws nothing over the cache, which has the disabled look already.
        if (Enabled()) {
            TOwnerDrawState state{odComboBoxEdit};
            if (ControlIsActive(d)) state << odSelected << odFocused;
            const win::RECT b = ButtonRect();
            DrawField(src, TRect(3, 3, b.left - 1, Height() - 3), state);
        }
        win::BitBlt(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, win::SRCCOPY);
        return;
    }
    const bool whole = !Enabled() || Style() == csDropDownList ||
                       (Style() == csDropDown && !Focused());
    if (whole) {
        win::BitBlt(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, win::SRCCOPY);
        return;
    }
    // The live edit keeps its own drawing: the frame, and the button beside it.
    CopyBorderStrips(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, 3);
    if (Style() == csDropDown) {
        const win::RECT b = ButtonRect();
        win::BitBlt(dc, b.left, b.top, b.right - b.left, b.bottom - b.top, src, b.left, b.top,
                    win::SRCCOPY);
    }
}

void TsCustomComboBox::DrawField(win::HDC dc, const TRect& r, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    TPaintDCLease lease(c, dc);
    c->SetFont(Font());
    c->Brush()->SetColor(Color());
    DrawItem(ItemIndex(), r, state);
    if (state.Contains(odFocused) && Enabled() && !readOnly_) c->DrawFocusRect(r);
}

void TsCustomComboBox::DrawItemContent(int index, const TRect& rect, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    if (OnDrawItem) {
        if (index >= 0) OnDrawItem(this, index, rect, state);
        return;
    }
    if (c->Brush()->Style() != bsClear) c->FillRect(rect);
    if (index < 0 || index >= Items()->Count()) return;
    const std::string text = Items()->Get(index);
    win::HDC dc = c->Handle();
    win::SelectObject(dc, c->Font()->Handle());
    win::SetTextColor(dc, vcl::ColorToRGB(c->Font()->Color()));
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    win::RECT t{rect.Left + (Style() == csDropDown ? 0 : 1), rect.Top, rect.Right, rect.Bottom};
    win::DrawText(dc, text.c_str(), int(text.size()), &t,
                  win::DT_SINGLELINE | win::DT_VCENTER | win::DT_NOPREFIX);
    win::SetBkMode(dc, mode);
}

void TsCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    TsCommonData* d = SkinData();
    const bool selected = state.Contains(odSelected) || state.Contains(odFocused);
    if (!state.Contains(odComboBoxEdit) || !IsSkinnedNow(this, d)) {
        if (selected) {
            c->Font()->SetColor(clHighlightText);
            if (!OwnDrawn()) c->Brush()->SetColor(clHighlight);
        } else {
            c->Font()->SetColor(Enabled() ? Font()->Color() : clBtnShadow);
            c->Brush()->SetColor(Color());
        }
        DrawItemContent(index, rect, state);
        return;
    }
    // The field: the cached body under it first.
    TBitmap* cache = d->CacheBmp();
    if (!OwnDrawn() && cache && cache->Canvas()->Handle() != c->Handle())
        win::BitBlt(c->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(),
                    0, 0, win::SRCCOPY);
    if (!Enabled() || readOnly_) return;
    if (droppedDown_) {
        c->Font()->SetColor(Font()->Color());
        c->Brush()->SetStyle(bsClear);
    } else if (OwnDrawn()) {
        const bool focused = state.Contains(odFocused);
        c->Font()->SetColor(focused ? clHighlightText : Font()->Color());
        c->Brush()->SetColor(focused ? clHighlight : Color());
    } else if (selected || Focused()) {
        c->Brush()->SetColor(clHighlight);
        c->Font()->SetColor(clHighlightText);
    } else {
        return;
    }
    DrawItemContent(index, rect, state);
    c->Brush()->SetStyle(bsSolid);
}

void TsCustomComboBox::Dispatch(TMessage& m) {
    if (m.Msg == CN_DRAWITEM && m.LParam && IsSkinnedNow(this, SkinData())) {
        const auto* dis = reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam);
        if (dis->itemState & win::ODS_COMBOBOXEDIT) {
            const TOwnerDrawState state(dis->itemState & 0x1FFF, 0);
            TBitmap* cache = SkinData()->CacheBmp();
            if (!(dis->itemState & win::ODS_FOCUS) && !droppedDown_) {
                // An idle field is the cached picture.
                const TRect r = dis->rcItem;
                if (cache)
                    win::BitBlt(dis->hDC, r.Left, r.Top, r.Width(), r.Height(),
                                cache->Canvas()->Handle(), r.Left, r.Top, win::SRCCOPY);
            } else {
                DrawField(dis->hDC, dis->rcItem, state);
            }
            m.Result = 1;
            return;
        }
    }
    TsEditSkinned::Dispatch(m);
}

void TsCustomComboBox::Restale() {
    SkinData()->CacheStale = true;
    Repaint();
}

bool TsCustomComboBox::SkinCommand(TMessage& m) {
    TsCommonData* d = SkinData();
    if (!IsOwnSkinChange(m, d)) return false;
    const uint16_t code = SkinCommandCode(m.WParam);
    if (code == SKC_NEWSKIN && listAdapter_) listAdapter_->WndProc(m);
    CommonWndProc(m, d);
    if (code == SKC_REMOVESKIN) {
        TakeWindowColors(this, d);
        ReleaseList();
        if (HandleAllocated()) RecreateWnd();
    } else if (code == SKC_REFRESH) {
        TakeSkinColors(this, SkinData());
        Restale();
    }
    return true;
}

void TsCustomComboBox::SetAlignment(TAlignment a) {
    if (a == Alignment()) return;
    TCustomComboBox::SetAlignment(a);
    SkinData()->Invalidate();
}

void TsCustomComboBox::WndProc(TMessage& m) {
    if (readOnly_) {
        switch (m.Msg) {
            case win::WM_KEYDOWN:
            case win::WM_SYSKEYDOWN:
            case win::WM_SYSCHAR:
            case CN_KEYDOWN:
            case CN_SYSKEYDOWN:
            case CN_SYSCHAR:
                if (MovesSelection(m.WParam)) return;
                break;
            case win::WM_CHAR:
            case win::WM_COMMAND:
                return;
            case win::CB_SHOWDROPDOWN:
                if (m.WParam) return;
                break;
            case win::WM_LBUTTONDOWN:
                if (CanFocus()) SetFocus();
                return;
            case win::WM_LBUTTONDBLCLK:
                if (CanFocus()) SetFocus();
                OnDblClick(this);
                return;
            default:
                break;
        }
    }
    if (m.Msg == SM_ALPHACMD && SkinCommand(m)) return;
    TsCommonData* d = SkinData();
    if (IsSkinnedNow(this, d)) {
        switch (m.Msg) {
            case win::WM_PAINT: {
                win::PAINTSTRUCT ps{};
                win::HDC dc = win::BeginPaint(Handle(), &ps);
                if (!RedrawFrozen()) PaintToDC(dc);
                win::EndPaint(Handle(), &ps);
                m.Result = 0;
                return;
            }
            case win::WM_NCPAINT:
                m.Result = 0;
                return;
            case win::WM_PRINT:
                if (m.WParam) PaintToDC(reinterpret_cast<win::HDC>(m.WParam));
                m.Result = 1;
                return;
            case win::WM_CTLCOLORLISTBOX:
                if (!listAdapter_ && !ComponentState().Contains(csLoading) &&
                    Items()->Count() > DropDownCount()) {
                    listWnd_ = reinterpret_cast<win::HWND>(m.LParam);
                    listAdapter_ = WindowSlots().CreateComboListAdapter(
                        listWnd_, Style() == csSimple, Items()->Count() > 0, "EDIT",
                        d->GetSkinManager());
                    if (!listAdapter_) listWnd_ = nullptr;
                }
                break;
            default:
                break;
        }
    }
    TsEditSkinned::WndProc(m);
    // A command from the edit or the list: the button is no longer shown pressed.
    if (m.Msg == win::WM_COMMAND && IsSkinnedNow(this, d)) {
        droppedDown_ = false;
        Restale();
    }
    if (m.Msg == CN_COMMAND) {
        if (m.WParamHi() == win::CBN_DROPDOWN) {
            droppedDown_ = true;
            if (IsSkinnedNow(this, d)) Restale();
        }
        if (m.WParamHi() == win::CBN_CLOSEUP) {
            droppedDown_ = false;
            if (IsSkinnedNow(this, d)) Restale();
        }
    }
    if (!IsSkinnedNow(this, d)) return;
    switch (m.Msg) {
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            // The hot look is in the cache, and the box paints no frame of its own.
            if (d->CacheStale) Invalidate();
            break;
        case win::CB_SETCURSEL:
        case CM_TEXTCHANGED:
        case CM_CHANGED:
            Restale();
            break;
        case CM_COLORCHANGED:
            TakeSkinColors(this, SkinData());
            break;
        default:
            break;
    }
}

void TsCustomComboBox::EditWndProc(TMessage& m) {
    if (readOnly_) {
        switch (m.Msg) {
            case win::WM_KEYDOWN:
            case win::WM_KEYUP:
            case win::WM_CHAR:
            case win::WM_SYSKEYDOWN:
            case win::WM_SYSKEYUP:
            case CN_KEYDOWN:
            case CN_CHAR:
            case CN_SYSKEYDOWN:
            case CN_SYSCHAR:
                // Tab and Enter still move on and press the default button.
                if (m.WParam == win::VK_TAB || m.WParam == win::VK_RETURN) break;
                m.Result = 0;
                return;
            case win::WM_CUT:
            case win::WM_PASTE:
            case win::WM_CLEAR:
            case win::WM_UNDO:
                m.Result = 0;
                return;
            default:
                break;
        }
    }
    // The cache shows the text of an idle box: its edit draws only while it is being edited.
    if (Style() != csSimple && IsSkinnedNow(this, SkinData()) &&
        !((Focused() || SkinData()->Focused) && Enabled() && !readOnly_)) {
        switch (m.Msg) {
            case win::WM_PAINT: {
                // The edit's own surface shows the cached picture of the field under it.
                win::PAINTSTRUCT ps{};
                win::HDC dc = win::BeginPaint(EditHandle(), &ps);
                if (TBitmap* cache = SkinData()->CacheBmp(); cache && !SkinData()->CacheStale) {
                    win::RECT r{};
                    win::GetClientRect(EditHandle(), &r);
                    win::POINT at{0, 0};
                    win::MapWindowPoints(EditHandle(), Handle(), &at, 1);
                    win::BitBlt(dc, 0, 0, r.right, r.bottom, cache->Canvas()->Handle(), at.x, at.y,
                                win::SRCCOPY);
                }
                win::EndPaint(EditHandle(), &ps);
                m.Result = 0;
                return;
            }
            case win::WM_ERASEBKGND:
            case win::WM_NCPAINT:
                m.Result = 1;
                return;
            default:
                break;
        }
    }
    TCustomComboBox::EditWndProc(m);
}

}  // namespace skin
