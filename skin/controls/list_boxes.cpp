#include "skin/controls/list_boxes.h"

#include "skin/controls/control_frame.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/form_animations.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"

#include <algorithm>

#include "platform/controls/list_box_control.h"
#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"

namespace skin {

using namespace vcl;

// --- TListBoxStrings ---

intptr_t TListBoxStrings::Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) const {
    return listBox_->Send(msg, wParam, lParam);
}

bool TListBoxStrings::Virtual() const {
    return listBox_->VirtualStyle();
}

int TListBoxStrings::Count() const {
    return static_cast<int>(Send(win::LB_GETCOUNT));
}

std::string TListBoxStrings::Get(int index) const {
    if (Virtual()) {
        std::string s;
        listBox_->OnData(listBox_, index, s);
        return s;
    }
    const intptr_t n = Send(win::LB_GETTEXTLEN, static_cast<uintptr_t>(index));
    if (n == win::LB_ERR) IndexError(index);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    const intptr_t got =
        Send(win::LB_GETTEXT, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(s.data()));
    s.resize(static_cast<std::size_t>(std::max<intptr_t>(got, 0)));
    return s;
}

void TListBoxStrings::Put(int index, const std::string& s) {
    const int selected = listBox_->ItemIndex();
    const intptr_t data = listBox_->GetItemData(index);
    listBox_->SetItemData(index, 0);
    Delete(index);
    Insert(index, s);
    listBox_->SetItemData(index, data);
    listBox_->SetItemIndex(selected);
}

TObject* TListBoxStrings::GetObject(int index) const {
    if (Virtual()) {
        TObject* o = nullptr;
        listBox_->OnDataObject(listBox_, index, o);
        return o;
    }
    if (index < 0 || index >= Count()) IndexError(index);
    return reinterpret_cast<TObject*>(listBox_->GetItemData(index));
}

void TListBoxStrings::PutObject(int index, TObject* object) {
    if (Virtual() || index == -1) return;
    listBox_->SetItemData(index, reinterpret_cast<intptr_t>(object));
}

int TListBoxStrings::Add(const std::string& s) {
    if (Virtual()) return -1;
    const intptr_t i = Send(win::LB_ADDSTRING, 0, reinterpret_cast<intptr_t>(s.c_str()));
    if (i < 0) throw EOutOfResources("Unable to insert a line");
    return static_cast<int>(i);
}

void TListBoxStrings::Insert(int index, const std::string& s) {
    if (Virtual()) return;
    if (Send(win::LB_INSERTSTRING, static_cast<uintptr_t>(index),
             reinterpret_cast<intptr_t>(s.c_str())) < 0)
        throw EOutOfResources("Unable to insert a line");
}

void TListBoxStrings::Delete(int index) {
    listBox_->DeleteString(index);
}

void TListBoxStrings::Clear() {
    listBox_->ResetContent();
}

void TListBoxStrings::Exchange(int index1, int index2) {
    if (Virtual()) return;
    BeginUpdate();
    try {
        const int selected = listBox_->ItemIndex();
        const std::string s1 = Get(index1), s2 = Get(index2);
        const intptr_t d1 = listBox_->GetItemData(index1), d2 = listBox_->GetItemData(index2);
        Put(index1, s2);
        Put(index2, s1);
        listBox_->SetItemData(index1, d2);
        listBox_->SetItemData(index2, d1);
        if (selected == index1)
            listBox_->SetItemIndex(index2);
        else if (selected == index2)
            listBox_->SetItemIndex(index1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TListBoxStrings::Move(int curIndex, int newIndex) {
    if (Virtual() || curIndex == newIndex) return;
    BeginUpdate();
    listBox_->moving_ = true;
    try {
        const std::string s = Get(curIndex);
        const intptr_t data = listBox_->GetItemData(curIndex);
        listBox_->SetItemData(curIndex, 0);
        Delete(curIndex);
        Insert(newIndex, s);
        listBox_->SetItemData(newIndex, data);
    } catch (...) {
        listBox_->moving_ = false;
        EndUpdate();
        throw;
    }
    listBox_->moving_ = false;
    EndUpdate();
}

int TListBoxStrings::IndexOf(std::string_view s) const {
    const std::string text(s);
    if (Virtual()) return listBox_->OnDataFind ? listBox_->OnDataFind(listBox_, text) : -1;
    return static_cast<int>(Send(win::LB_FINDSTRINGEXACT, static_cast<uintptr_t>(-1),
                                 reinterpret_cast<intptr_t>(text.c_str())));
}

void TListBoxStrings::SetUpdateState(bool updating) {
    listBox_->SkinData()->CacheStale = true;
    if (!updating) listBox_->Invalidate();
}

// --- TsAlphaListBox ---

std::vector<TPropInfo> TsAlphaListBox::Published() {
    using L = TsAlphaListBox;
    std::vector<TPropInfo> p = SkinProperties<L>();
    for (TPropInfo& i : std::vector<TPropInfo>{
             Property("AutoCompleteDelay", &L::AutoCompleteDelay, &L::SetAutoCompleteDelay),
             Property("AutoComplete", &L::AutoComplete, &L::SetAutoComplete),
             Property("BorderStyle", &L::BorderStyle, &L::SetBorderStyle),
             Property("Columns", &L::Columns, &L::SetColumns),
             Property("IntegralHeight", &L::IntegralHeight, &L::SetIntegralHeight),
             Property("ItemHeight", &L::ItemHeight, &L::SetItemHeight),
             Property("Items", &L::Items, &L::SetItems),
             Property("Sorted", &L::Sorted, &L::SetSorted),
             Property("ScrollWidth", &L::ScrollWidth, &L::SetScrollWidth),
             Property("Style", &L::Style, &L::SetStyle),
             Property("TabWidth", &L::TabWidth, &L::SetTabWidth),
             Property("AutoHideScroll", &L::AutoHideScroll, &L::SetAutoHideScroll),
             Property("Ctl3D", &L::Ctl3D, &L::SetCtl3D)})
        p.push_back(std::move(i));
    return p;
}

TsAlphaListBox::TsAlphaListBox(TComponent* owner)
    : TsEditSkinned(owner, 97, "EDIT"),
      items_(new TListBoxStrings(this)),
      canvas_(new TControlCanvas(this)) {
    // Clicks come from the window's selection changes, not from the mouse.
    ControlStyle = {csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TsAlphaListBox::~TsAlphaListBox() {
    adapter_.reset();
    canvas_->Free();
    items_->Free();
}

intptr_t TsAlphaListBox::Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) const {
    return win::SendMessageA(const_cast<TsAlphaListBox*>(this)->Handle(), msg, wParam, lParam);
}

void TsAlphaListBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "ListBox");
    static constexpr uint32_t kStyles[] = {0, win::LBS_OWNERDRAWFIXED, win::LBS_OWNERDRAWVARIABLE,
                                           win::LBS_OWNERDRAWFIXED, win::LBS_OWNERDRAWFIXED};
    p.Style |= win::WS_HSCROLL | win::WS_VSCROLL | win::LBS_NOTIFY | kStyles[style_] |
               (VirtualStyle() ? win::LBS_NODATA : win::LBS_HASSTRINGS);
    if (sorted_) p.Style |= win::LBS_SORT;
    if (multiSelect_) p.Style |= extendedSelect_ ? win::LBS_EXTENDEDSEL : win::LBS_MULTIPLESEL;
    if (!integralHeight_) p.Style |= win::LBS_NOINTEGRALHEIGHT;
    if (columns_ != 0) p.Style |= win::LBS_MULTICOLUMN | win::WS_HSCROLL;
    if (tabWidth_ != 0) p.Style |= win::LBS_USETABSTOPS;
    if (!autoHideScroll_) p.Style |= win::LBS_DISABLENOSCROLL;
    if (borderStyle_ == bsSingle) {
        if (ctl3D_)
            p.ExStyle |= win::WS_EX_CLIENTEDGE;
        else
            p.Style |= win::WS_BORDER;
    }
    p.ClassStyle &= ~(win::CS_VREDRAW | win::CS_HREDRAW);
}

void TsAlphaListBox::CreateWnd() {
    TWinControl::CreateWnd();
    if (tabWidth_ != 0) {
        const int stops = tabWidth_;
        Send(win::LB_SETTABSTOPS, 1, reinterpret_cast<intptr_t>(&stops));
    }
    SetColumnWidth();
    if (savedCount_ >= 0) {
        if (VirtualStyle()) {
            Send(win::LB_SETCOUNT, static_cast<uintptr_t>(savedCount_));
            virtualCount_ = savedCount_;
        } else if (savedItems_) {
            items_->Assign(savedItems_.get());
        }
        savedItems_.reset();
        SetTopIndex(savedTop_);
        // The current item follows its text when the order changed (a sorted window).
        int index = savedIndex_;
        if (index >= 0 && !VirtualStyle() &&
            (index >= Count() || items_->Get(index) != savedIndexText_))
            index = items_->IndexOf(savedIndexText_);
        SetItemIndex(index);
        savedCount_ = -1;
    }
    // A list box made in code hears no Loaded: its frame and bars come with its window.
    if (IsControlSkinned(SkinData())) UpdateAdapter();
}

void TsAlphaListBox::DestroyWnd() {
    if (HandleAllocated() && Count() > 0) {
        savedCount_ = Count();
        if (!VirtualStyle()) {
            savedItems_.reset(New<TStringList>());
            savedItems_->Assign(items_);
        }
        savedTop_ = TopIndex();
        savedIndex_ = ItemIndex();
        savedIndexText_ = savedIndex_ >= 0 && !VirtualStyle() ? items_->Get(savedIndex_) : "";
    }
    TWinControl::DestroyWnd();
}

void TsAlphaListBox::RecreateUnlessLoading() {
    if (!ComponentState().Contains(csLoading)) RecreateWnd();
}

void TsAlphaListBox::SetColumnWidth() {
    if (columns_ <= 0 || Width() <= 0 || !HandleAllocated()) return;
    Send(win::LB_SETCOLUMNWIDTH,
         static_cast<uintptr_t>(std::max(1, (Width() + columns_ - 3) / columns_)));
}

void TsAlphaListBox::SetItems(TStrings* items) {
    if (style_ == lbVirtual) SetStyle(lbStandard);
    if (style_ == lbVirtualOwnerDraw) SetStyle(lbOwnerDrawFixed);
    items_->Assign(items);
}

int TsAlphaListBox::Count() const {
    if (VirtualStyle()) return virtualCount_;
    return items_->Count();
}

void TsAlphaListBox::SetCount(int count) {
    if (!VirtualStyle())
        throw EListError(
            Format("Listbox (%s) style must be virtual in order to set Count", Name()));
    const intptr_t r = Send(win::LB_SETCOUNT, static_cast<uintptr_t>(count));
    if (r == win::LB_ERR || r == win::LB_ERRSPACE)
        throw EListError(Format("Error setting %s.Count", Name()));
    virtualCount_ = count;
}

int TsAlphaListBox::ItemIndex() const {
    return static_cast<int>(Send(multiSelect_ ? win::LB_GETCARETINDEX : win::LB_GETCURSEL));
}

void TsAlphaListBox::SetItemIndex(int index) {
    const int old = ItemIndex();
    if (index == old) return;
    if (multiSelect_)
        Send(win::LB_SETCARETINDEX, static_cast<uintptr_t>(index));
    else
        Send(win::LB_SETCURSEL, static_cast<uintptr_t>(index));
    if (old >= 0) RepaintItem(old);
}

// The item as it is now, drawn at once through the owner-draw path: into the shared print DC
// while a picture of the window is being taken, else onto the window.
void TsAlphaListBox::RepaintItem(int index) {
    if (!HandleAllocated() || index >= Count()) return;
    win::RECT r;
    if (Send(win::LB_GETITEMRECT, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(&r)) ==
        win::LB_ERR)
        return;
    const bool shared = AnimDC != nullptr;
    win::HDC dc = shared ? AnimDC : win::GetDC(Handle());
    if (!win::RectVisible(dc, &r)) {
        if (!shared) win::ReleaseDC(Handle(), dc);
        return;
    }
    const int saved = win::SaveDC(dc);
    win::DRAWITEMSTRUCT item{};
    item.CtlType = win::ODT_LISTBOX;
    item.itemID = static_cast<win::UINT>(index);
    item.itemAction = win::ODA_DRAWENTIRE;
    if (multiSelect_ && Selected(index)) item.itemState |= win::ODS_SELECTED;
    if (index == ItemIndex() && win::GetFocus() == Handle())
        item.itemState |= win::ODS_SELECTED | win::ODS_FOCUS;
    item.hwndItem = Handle();
    item.hDC = dc;
    item.rcItem = r;
    Perform(CN_DRAWITEM, 0, reinterpret_cast<intptr_t>(&item));
    win::RestoreDC(dc, saved);
    if (!shared) win::ReleaseDC(Handle(), dc);
}

bool TsAlphaListBox::Selected(int index) const {
    return Send(win::LB_GETSEL, static_cast<uintptr_t>(index)) > 0;
}

void TsAlphaListBox::SetSelected(int index, bool on) {
    intptr_t r;
    if (multiSelect_)
        r = Send(win::LB_SETSEL, on, index);
    else
        r = Send(win::LB_SETCURSEL, static_cast<uintptr_t>(on ? index : -1));
    if (r == win::LB_ERR && (multiSelect_ || on))
        throw EListError(Format("List index out of bounds (%d)", index));
}

void TsAlphaListBox::ClearSelection() {
    if (multiSelect_) {
        for (int i = 0; i < Count(); ++i)
            Send(win::LB_SETSEL, 0, i);
    } else {
        SetItemIndex(-1);
    }
}

int TsAlphaListBox::TopIndex() const {
    return static_cast<int>(Send(win::LB_GETTOPINDEX));
}

void TsAlphaListBox::SetTopIndex(int index) {
    if (index != TopIndex()) Send(win::LB_SETTOPINDEX, static_cast<uintptr_t>(index));
}

TRect TsAlphaListBox::ItemRect(int index) const {
    const int count = Count();
    win::RECT r{};
    if (index >= 0 && index < count) {
        Send(win::LB_GETITEMRECT, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(&r));
    } else if (index == count && count > 0) {
        Send(win::LB_GETITEMRECT, static_cast<uintptr_t>(count - 1),
             reinterpret_cast<intptr_t>(&r));
        const int h = r.bottom - r.top;
        r.top += h;
        r.bottom += h;
    }
    return r;
}

int TsAlphaListBox::ItemAtPos(TPoint pos, bool existing) const {
    if (!ClientRect().Contains(pos)) return -1;
    const int count = Count();
    for (int i = std::max(TopIndex(), 0); i < count; ++i) {
        const TRect r = ItemRect(i);
        if (r.Contains(pos)) return i;
        if (r.Top > pos.Y && columns_ == 0) break;
    }
    return existing ? -1 : count;
}

void TsAlphaListBox::AddItem(const std::string& text, TObject* object) {
    items_->AddObject(text, object);
}

void TsAlphaListBox::SetStyle(TListBoxStyle style) {
    if (style == style_) return;
    const bool toVirtual = style == lbVirtual || style == lbVirtualOwnerDraw;
    if (toVirtual && !VirtualStyle()) {
        items_->Clear();
        sorted_ = false;
    }
    style_ = style;
    savedCount_ = -1;
    savedItems_.reset();
    RecreateWnd();
}

int TsAlphaListBox::ItemHeight() const {
    if (HandleAllocated() && style_ == lbStandard) {
        win::RECT r{};
        if (Send(win::LB_GETITEMRECT, 0, reinterpret_cast<intptr_t>(&r)) != win::LB_ERR &&
            r.bottom > r.top)
            return r.bottom - r.top;
    }
    return itemHeight_;
}

void TsAlphaListBox::SetItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) return;
    itemHeight_ = height;
    RecreateUnlessLoading();
}

#define LIST_SETTER(Name, Type, field)       \
    void TsAlphaListBox::Set##Name(Type v) { \
        if (v == field) return;              \
        field = v;                           \
        RecreateUnlessLoading();             \
    }
LIST_SETTER(IntegralHeight, bool, integralHeight_)
LIST_SETTER(ExtendedSelect, bool, extendedSelect_)
LIST_SETTER(BorderStyle, TBorderStyle, borderStyle_)
LIST_SETTER(AutoHideScroll, bool, autoHideScroll_)
#undef LIST_SETTER

void TsAlphaListBox::SetCtl3D(bool on) {
    if (on == ctl3D_) return;
    ctl3D_ = on;
    Perform(CM_CTL3DCHANGED);
}

void TsAlphaListBox::SetMultiSelect(bool on) {
    if (on == multiSelect_) return;
    multiSelect_ = on;
    RecreateWnd();
}

void TsAlphaListBox::SetSorted(bool on) {
    if (on == sorted_ || VirtualStyle()) return;
    sorted_ = on;
    RecreateUnlessLoading();
}

void TsAlphaListBox::SetTabWidth(int width) {
    width = std::max(width, 0);
    if (width == tabWidth_) return;
    tabWidth_ = width;
    RecreateUnlessLoading();
}

void TsAlphaListBox::SetColumns(int columns) {
    if (columns == columns_) return;
    const bool restyle = (columns == 0) != (columns_ == 0);
    columns_ = columns;
    if (restyle)
        RecreateUnlessLoading();
    else
        SetColumnWidth();
}

int TsAlphaListBox::ScrollWidth() const {
    return HandleAllocated() ? static_cast<int>(Send(win::LB_GETHORIZONTALEXTENT)) : 0;
}

void TsAlphaListBox::SetScrollWidth(int width) {
    if (width != ScrollWidth()) Send(win::LB_SETHORIZONTALEXTENT, static_cast<uintptr_t>(width));
}

intptr_t TsAlphaListBox::GetItemData(int index) const {
    return InternalGetItemData(index);
}

void TsAlphaListBox::SetItemData(int index, intptr_t data) {
    InternalSetItemData(index, data);
}

intptr_t TsAlphaListBox::InternalGetItemData(int index) const {
    return Send(win::LB_GETITEMDATA, static_cast<uintptr_t>(index));
}

void TsAlphaListBox::InternalSetItemData(int index, intptr_t data) {
    Send(win::LB_SETITEMDATA, static_cast<uintptr_t>(index), data);
}

void TsAlphaListBox::ResetContent() {
    if (!VirtualStyle()) Send(win::LB_RESETCONTENT);
}

void TsAlphaListBox::DeleteString(int index) {
    Send(win::LB_DELETESTRING, static_cast<uintptr_t>(index));
    if (VirtualStyle() && virtualCount_ > 0) --virtualCount_;
}

void TsAlphaListBox::AfterConstruction() {
    TsEditSkinned::AfterConstruction();
    TakeSkinColors(this, SkinData());
}

void TsAlphaListBox::Loaded() {
    TsEditSkinned::Loaded();
    TakeSkinColors(this, SkinData());
    UpdateAdapter();
}

void TsAlphaListBox::UpdateAdapter() {
    WindowSlots().UpdateEditWndAdapter(SkinData(), adapter_);
}

void TsAlphaListBox::PrepareCache() {
    TsCommonData* d = SkinData();
    PaintSectionIntoCache(this, d, ControlIsActive(d) ? 1 : 0, true);
    if (!Enabled()) BlendDisabledCache(this, d, DisabledKind());
    d->CacheStale = false;
}

void TsAlphaListBox::PrintItems(win::HDC dc) {
    TsCommonData* d = SkinData();
    if (d->CacheStale || !d->CacheBmp() || d->CacheBmp()->Width() != Width()) PrepareCache();
    const int saved = win::SaveDC(dc);
    win::OffsetViewportOrgEx(dc, 2, 2, nullptr);
    const win::RECT client = ClientRect();
    FillRectSolid(dc, client, TColor(vcl::ColorToRGB(Color())));
    // The items stop short of the frame and of the bars that show: the adapter's, or without
    // one the window's own.
    int w = d->CacheBmp()->Width() - 4, h = d->CacheBmp()->Height() - 4;
    const uint32_t style = uint32_t(win::GetWindowLongA(Handle(), win::GWL_STYLE));
    if (adapter_) {
        if (style & win::WS_VSCROLL) w -= adapter_->VertBarWidth();
        if (style & win::WS_HSCROLL) h -= adapter_->HorzBarHeight();
    } else {
        if (style & win::WS_VSCROLL) w -= win::GetSystemMetrics(win::SM_CXVSCROLL);
        if (style & win::WS_HSCROLL) h -= win::GetSystemMetrics(win::SM_CYHSCROLL);
    }
    win::IntersectClipRect(dc, 0, 0, std::max(w, 0), std::max(h, 0));
    for (int i = Count() - 1; i >= 0; --i) {
        const TRect r = ItemRect(i);
        win::DRAWITEMSTRUCT item{};
        item.CtlType = win::ODT_LISTBOX;
        item.itemID = win::UINT(i);
        item.itemAction = win::ODA_DRAWENTIRE;
        if (Selected(i)) item.itemState |= win::ODS_SELECTED;
        if (Focused() && i == ItemIndex()) item.itemState |= win::ODS_SELECTED | win::ODS_FOCUS;
        item.hwndItem = Handle();
        item.hDC = dc;
        item.rcItem = r;
        DrawItemMessage(item);
    }
    win::RestoreDC(dc, saved);
}

bool TsAlphaListBox::SkinCommand(TMessage& m) {
    TsCommonData* d = SkinData();
    if (AnswerCommonCommands(m)) return true;
    const uint16_t code = SkinCommandCode(m.WParam);
    if (code == SKC_ENDPARENTUPDATE) {
        if (d->BGChanged) {
            d->BGChanged = false;
            if (HandleAllocated())
                win::RedrawWindow(Handle(), nullptr, nullptr,
                                  win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME);
        }
        return true;
    }
    if (code == SKC_CLEARCACHE) {
        // An adapter in front of the window has rebuilt the shared cache already.
        if (d->CacheStale && IsSkinnedNow(this, d)) PrepareCache();
        return true;
    }
    if (!IsOwnSkinChange(m, d)) return false;
    CommonWndProc(m, d);
    if (code == SKC_REMOVESKIN) {
        adapter_.reset();
        TakeWindowColors(this, d);
    } else if (code == SKC_REFRESH) {
        UpdateAdapter();
    } else {
        TakeSkinColors(this, SkinData());
    }
    if (code != SKC_NEWSKIN && HandleAllocated())
        win::RedrawWindow(Handle(), nullptr, nullptr,
                          win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME);
    return true;
}

void TsAlphaListBox::MeasureItem(int index, int& height) {
    OnMeasureItem(this, index, height);
}

void TsAlphaListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    canvas_->FillRect(rect);
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        if (state.Contains(odFocused)) canvas_->DrawFocusRect(rect);
        return;
    }
    if (index < Count()) {
        std::string text;
        if (VirtualStyle())
            OnData(this, index, text);
        else
            text = items_->Get(index);
        win::HDC dc = canvas_->Handle();
        win::SelectObject(dc, canvas_->Font()->Handle());
        win::SetTextColor(dc, vcl::ColorToRGB(canvas_->Font()->Color()));
        const int mode = win::SetBkMode(dc, win::TRANSPARENT);
        win::RECT r{rect.Left + 2, rect.Top, rect.Right, rect.Bottom};
        win::DrawText(
            dc, text.c_str(), static_cast<int>(text.size()), &r,
            DrawTextBiDiModeFlags(win::DT_SINGLELINE | win::DT_VCENTER | win::DT_NOPREFIX));
        win::SetBkMode(dc, mode);
    }
    if (state.Contains(odFocused)) canvas_->DrawFocusRect(rect);
}

void TsAlphaListBox::DrawItemMessage(const win::DRAWITEMSTRUCT& item) {
    TsCommonData* d = SkinData();
    d->BGChanged = d->GetBGChanged();
    // The whole control repaints once its background is in place.
    if (d->BGChanged && IsControlSkinned(d)) return;
    if (Count() == 0) return;
    const int index = static_cast<int>(item.itemID);
    const TOwnerDrawState state(item.itemState & 0x1FFF, 0);
    TPaintDCLease lease(canvas_, item.hDC);
    canvas_->SetFont(Font());
    canvas_->Brush()->SetColor(Color());
    const bool ownDrawing = OwnerDrawStyle() && OnDrawItem;
    const bool current = index == ItemIndex() && !Focused();
    if (!ownDrawing && (state.Contains(odSelected) || current)) {
        canvas_->Brush()->SetColor(clHighlight);
        canvas_->Font()->SetColor(clHighlightText);
    } else if (!SkinData()->CustomFont() && !Enabled()) {
        canvas_->Font()->SetColor(static_cast<vcl::TColor>(
            AverageColors(static_cast<skin::TColor>(vcl::ColorToRGB(Font()->Color())),
                          static_cast<skin::TColor>(vcl::ColorToRGB(Color())))));
    }
    DrawItem(index, item.rcItem, state);
}

void TsAlphaListBox::TypeAhead(char key) {
    const uint32_t now = os::GetTickCount();
    if (now - typedAt_ >= autoCompleteDelay_) typed_.clear();
    typedAt_ = now;
    if (key == 8) {
        if (!typed_.empty()) typed_.pop_back();
    } else {
        typed_ += key;
    }
    if (typed_.empty()) {
        SetItemIndex(0);
        Click();
        return;
    }
    int found;
    if (VirtualStyle())
        found = OnDataFind ? OnDataFind(this, typed_) : -1;
    else
        found = static_cast<int>(Send(win::LB_FINDSTRING, static_cast<uintptr_t>(-1),
                                      reinterpret_cast<intptr_t>(typed_.c_str())));
    if (found < 0) return;
    if (multiSelect_) {
        ClearSelection();
        Send(win::LB_SELITEMRANGE, 1, (static_cast<intptr_t>(found) << 16) | found);
    }
    SetItemIndex(found);
    Click();
}

bool TsAlphaListBox::DoKeyPress(char& key) {
    if (TWinControl::DoKeyPress(key)) return true;
    if (!autoComplete_) return false;
    TypeAhead(key);
    // The window's own search stays out; Enter, Backspace and Escape still reach it.
    if (key != 13 && key != 8 && key != 27) key = 0;
    return key == 0;
}

void TsAlphaListBox::BeginDrag() {
    if (dragging_ || !HandleAllocated()) return;
    dragging_ = true;
    win::SetCapture(Handle());
    OnStartDrag(this);
}

void TsAlphaListBox::EndDrag(bool dropped) {
    if (!dragging_) return;
    dragging_ = false;
    if (HandleAllocated() && win::GetCapture() == Handle()) win::ReleaseCapture();
    if (!dropped && HandleAllocated()) {
        win::POINT p{};
        win::GetCursorPos(&p);
        win::ScreenToClient(Handle(), &p);
        const intptr_t at = intptr_t(win::MAKELPARAM(p.x, p.y));
        TMessage down{win::WM_LBUTTONDOWN, win::MK_LBUTTON, at, 0};
        DefaultHandler(down);
        TMessage up{win::WM_LBUTTONUP, 0, at, 0};
        DefaultHandler(up);
    }
    OnEndDrag(this);
}

bool TsAlphaListBox::PressStartsDrag(TMessage& m) {
    if (dragMode_ != dmAutomatic || dragging_ || ComponentState().Contains(csDesigning))
        return false;
    const bool shift = (m.WParam & win::MK_SHIFT) != 0, ctrl = (m.WParam & win::MK_CONTROL) != 0;
    const int item = ItemAtPos({win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)}, true);
    if (multiSelect_ && (!shift || ctrl) && item >= 0 && Selected(item)) {
        // The selection stays as it is: the drag takes all of it.
        if (CanFocus()) SetFocus();
        BeginDrag();
        m.Result = 0;
        return true;
    }
    TsEditSkinned::WndProc(m);
    // The press may have ended in the window's own tracking: the drag takes the mouse now.
    if (!(multiSelect_ && (ctrl || shift))) BeginDrag();
    return true;
}

bool TsAlphaListBox::WhileDragging(TMessage& m) {
    if (!dragging_) return false;
    switch (m.Msg) {
        case win::WM_LBUTTONUP:
            // Dropped; the window still hears the release that ends its own tracking.
            EndDrag(true);
            return false;
        case win::WM_KEYDOWN:
            if (m.WParam != win::VK_ESCAPE) return false;
            EndDrag(false);
            m.Result = 0;
            return true;
        case win::WM_CANCELMODE:
        case win::WM_CAPTURECHANGED:
            EndDrag(false);
            return false;
        default:
            return false;
    }
}

void TsAlphaListBox::WndProc(TMessage& m) {
    if (WhileDragging(m)) return;
    if ((m.Msg == win::WM_LBUTTONDOWN || m.Msg == win::WM_LBUTTONDBLCLK) && PressStartsDrag(m))
        return;
    if (m.Msg == win::LB_GETTEXT && VirtualStyle()) {
        std::string s;
        if (!OnData || m.WParam >= static_cast<uintptr_t>(virtualCount_)) {
            m.Result = win::LB_ERR;
            return;
        }
        OnData(this, static_cast<int>(m.WParam), s);
        std::copy(s.begin(), s.end(), reinterpret_cast<char*>(m.LParam));
        reinterpret_cast<char*>(m.LParam)[s.size()] = '\0';
        m.Result = static_cast<intptr_t>(s.size());
        return;
    }
    if (m.Msg == win::LB_GETTEXTLEN && VirtualStyle()) {
        std::string s;
        if (!OnData || m.WParam >= static_cast<uintptr_t>(virtualCount_)) {
            m.Result = win::LB_ERR;
            return;
        }
        OnData(this, static_cast<int>(m.WParam), s);
        m.Result = static_cast<intptr_t>(s.size());
        return;
    }
    if (m.Msg == SM_ALPHACMD && SkinCommand(m)) return;
    TsCommonData* d = SkinData();
    const bool skinned = IsSkinnedNow(this, d);
    if (skinned) {
        switch (m.Msg) {
            case win::WM_SIZE:
            case win::WM_WINDOWPOSCHANGING:
                if (!ComponentState().Contains(csLoading) && !ControlState.Contains(csCreating))
                    d->CacheStale = true;
                break;
            case win::WM_PAINT:
            case win::WM_PRINTCLIENT:
            case win::WM_ERASEBKGND:
                if (RedrawFrozen()) {
                    if (m.Msg == win::WM_PAINT) ValidateOnly(this);
                    return;
                }
                break;
            case win::WM_PRINT:
                if (m.WParam) {
                    PrintItems(reinterpret_cast<win::HDC>(m.WParam));
                    m.Result = 1;
                    return;
                }
                break;
            default:
                break;
        }
    }
    TsEditSkinned::WndProc(m);
    // Showing may have made the control paintable.
    if (IsSkinnedNow(this, d)) {
        switch (m.Msg) {
            case win::WM_WINDOWPOSCHANGING:
                if (d->CacheStale && HandleAllocated())
                    win::RedrawWindow(Handle(), nullptr, nullptr,
                                      win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_UPDATENOW |
                                          win::RDW_ERASENOW);
                break;
            case win::LB_SETCURSEL:
                if (adapter_) adapter_->RefreshScrollBarInfo(false);
                break;
            case CM_COLORCHANGED:
                TakeSkinColors(this, SkinData());
                break;
            case CM_SHOWINGCHANGED:
                UpdateAdapter();
                break;
            default:
                break;
        }
    }
    switch (m.Msg) {
        case win::WM_SIZE:
        case CM_ENABLEDCHANGED:
            if (!ComponentState().Contains(csLoading)) SetColumnWidth();
            if (m.Msg == CM_ENABLEDCHANGED) SkinData()->CacheStale = true;
            break;
        case CM_FONTCHANGED:
            SkinData()->CacheStale = true;
            Invalidate();
            break;
        case CM_CTL3DCHANGED:
            if (borderStyle_ == bsSingle) RecreateUnlessLoading();
            break;
        case win::WM_VSCROLL:
            OnVScroll(this);
            break;
        default:
            break;
    }
    TellMouse(m, this, OnMouseEnter, OnMouseLeave);
}

void TsAlphaListBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CN_DRAWITEM:
            DrawItemMessage(*reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam));
            m.Result = 1;
            return;
        case CN_MEASUREITEM: {
            auto* mis = reinterpret_cast<win::MEASUREITEMSTRUCT*>(m.LParam);
            m.Result = 1;
            int height = itemHeight_;
            if (style_ == lbOwnerDrawVariable) MeasureItem(static_cast<int>(mis->itemID), height);
            mis->itemHeight = static_cast<win::UINT>(std::max(height, 1));
            return;
        }
        case CN_COMMAND:
            if (m.WParamHi() == win::LBN_SELCHANGE) {
                Changed();
                Click();
                return;
            }
            // LBN_DBLCLK: the double click already reached OnDblClick with its mouse message.
            break;
        default:
            break;
    }
    TWinControl::Dispatch(m);
}

// --- TsListBox ---

std::vector<TPropInfo> TsListBox::Published() {
    return {Property("MultiSelect", &TsListBox::MultiSelect, &TsListBox::SetMultiSelect),
            Property("ExtendedSelect", &TsListBox::ExtendedSelect, &TsListBox::SetExtendedSelect)};
}

// --- TsCheckListBox ---

namespace {

// The system's check box: a quarter of the width and a third of the height of its bitmap.
TPoint SystemCheckSize() {
    static const TPoint size = [] {
        win::HBITMAP b = win::LoadBitmap(nullptr, win::OBM_CHECKBOXES);
        win::BITMAP info{};
        win::GetObject(b, sizeof(info), &info);
        win::DeleteObject(b);
        return TPoint{info.bmWidth / 4, info.bmHeight / 3};
    }();
    return size;
}

}  // namespace

std::vector<TPropInfo> TsCheckListBox::Published() {
    using C = TsCheckListBox;
    return {
        Property("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed),
        Property("HeaderColor", &C::HeaderColor, &C::SetHeaderColor),
        Property("HeaderBackgroundColor", &C::HeaderBackgroundColor, &C::SetHeaderBackgroundColor),
        Property("HeaderSkin", &C::HeaderSkin, &C::SetHeaderSkin)};
}

TsCheckListBox::TsCheckListBox(TComponent* owner) : TsListBox(owner) {}

TsCheckListBox::~TsCheckListBox() = default;

namespace {

// The skin's small check mask of GLOBALINFO for a check state, or nullptr.
const TsMaskData* CheckMask(TsSkinManager* mgr, const char* name) {
    if (!mgr) return nullptr;
    const int i = mgr->GetMaskIndexByNames("GLOBALINFO", name);
    return mgr->Skin().IsValidImgIndex(i) ? &mgr->Masks()[size_t(i)] : nullptr;
}

}  // namespace

TPoint TsCheckListBox::CheckSize() const {
    TsCommonData* d = SkinData();
    TsSkinManager* mgr = IsControlSkinned(d) ? d->GetSkinManager() : nullptr;
    if (const TsMaskData* m = CheckMask(mgr, "SMALLCHECKED"); m && m->ImageCount > 0)
        return {m->R.Width() / m->ImageCount, m->R.Height() / (std::max<int>(m->MaskType, 0) + 1)};
    return SystemCheckSize();
}

int TsCheckListBox::CheckWidth() const {
    return CheckSize().X + 2;
}

void TsCheckListBox::DrawSkinnedCheck(TBitmap* bmp, int index, const TRect& area, TPoint item) {
    TsCommonData* d = SkinData();
    const TCheckBoxState s = State(index);
    const TsMaskData* m = CheckMask(d->GetSkinManager(), s == cbChecked  ? "SMALLCHECKED"
                                                         : s == cbGrayed ? "SMALLGRAYED"
                                                                         : "SMALLUNCHECKED");
    const TPoint size = CheckSize();
    const TPoint at{area.Left + (area.Width() - size.X) / 2,
                    area.Top + (area.Height() - size.Y) / 2};
    const bool enabled = Enabled() && ItemEnabled(index);
    // The check lies on the control's own picture, which holds the frame's background.
    const PixelView cache = ViewOf(d->CacheBmp());
    if (!m) {
        TBitmap* own = d->CacheBmp();
        if (own && own->Width() > 0)
            win::BitBlt(bmp->Canvas()->Handle(), at.X, at.Y, size.X, size.Y,
                        own->Canvas()->Handle(), item.X + at.X + 3, item.Y + at.Y + 3,
                        win::SRCCOPY);
        win::RECT box{at.X, at.Y, at.X + size.X, at.Y + size.Y};
        win::UINT flags = win::DFCS_BUTTONCHECK;
        if (s == cbChecked) flags |= win::DFCS_CHECKED;
        if (s == cbGrayed) flags |= win::DFCS_CHECKED | win::DFCS_BUTTON3STATE;
        if (!enabled) flags |= win::DFCS_INACTIVE;
        win::DrawFrameControl(bmp->Canvas()->Handle(), &box, win::DFC_BUTTON, flags);
        return;
    }
    // What lay under the check, for the disabled look.
    TBitmap under;
    under.SetPixelFormat(pf24bit);
    under.SetSize(size.X, size.Y);
    win::BitBlt(under.Canvas()->Handle(), 0, 0, size.X, size.Y, bmp->Canvas()->Handle(), at.X,
                at.Y, win::SRCCOPY);
    BlendMaskRegion(bmp, at, 0, 1, *m, MakeCacheInfo(&cache, item.X + 2, item.Y + 2));
    if (!enabled)
        BlendBitmapTransparent(ViewOf(bmp), at.X, at.Y, ViewOf(&under),
                               TRect(0, 0, size.X - 1, size.Y - 1), 0.4, kTransparentKey);
}

void TsCheckListBox::PaintHeaderBackground(TBitmap* bmp) {
    TsSkinManager* mgr = SkinData()->GetSkinManager();
    if (!mgr) return;
    TCanvas* c = bmp->Canvas();
    const TRect all(0, 0, bmp->Width(), bmp->Height());
    const int section = headerSkin_.empty() ? -1 : mgr->GetSkinIndex(headerSkin_);
    if (mgr->IsValidSkinIndex(section)) {
        WithCopyAsBackground(bmp, [&](const CacheInfo& under) {
            PaintMaskWithBorders(section, headerSkin_, under, true, 0, all, {0, 0}, bmp, mgr, -1,
                                 -1);
        });
        c->Font()->SetColor(TColor(mgr->Skin().Sections[size_t(section)].HotFontColor));
        return;
    }
    c->Brush()->SetColor(TColor(mgr->GetGlobalColor()));
    c->FillRect(all);
    c->Font()->SetColor(TColor(mgr->GetGlobalFontColor()));
}

void TsCheckListBox::DrawSkinnedItem(const win::DRAWITEMSTRUCT& item) {
    TsCommonData* d = SkinData();
    const int index = static_cast<int>(item.itemID);
    const TRect r = item.rcItem;
    if (index < 0 || index >= Count() || r.Width() < 1 || r.Height() < 1) return;
    // The cache is what the checks and a disabled item lie on: the window (and an adapter in
    // front of it) rebuilds it first.
    if (d->CacheStale)
        win::SendMessageA(Handle(), SM_ALPHACMD, SkinCommandWParam(SKC_CLEARCACHE), 0);
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(r.Width(), r.Height());
    TCanvas* c = bmp.Canvas();
    c->SetFont(Font());
    c->Brush()->SetColor(Color());
    c->FillRect(Rect(0, 0, r.Width(), r.Height()));
    const int cw = CheckWidth();
    const TRect text(cw + 2, 0, r.Width(), r.Height());
    const bool selected = (item.itemState & win::ODS_SELECTED) != 0;
    if (selected) {
        c->Brush()->SetColor(clHighlight);
        c->FillRect(text);
        c->Font()->SetColor(clHighlightText);
    }
    c->Brush()->SetStyle(bsClear);
    const std::string caption = Items()->Get(index);
    constexpr uint32_t kFlags = win::DT_VCENTER | win::DT_NOPREFIX | win::DT_SINGLELINE;
    const TRect box(cw + 4, 0, r.Width(), r.Height());
    // The caption in the canvas's font and colour: the bitmap's DC holds neither by itself.
    const auto write = [&] {
        win::HDC dc = c->Handle();
        const win::HGDIOBJ old = win::SelectObject(dc, c->Font()->Handle());
        win::SetTextColor(dc, vcl::ColorToRGB(c->Font()->Color()));
        win::SetBkMode(dc, win::TRANSPARENT);
        win::RECT b = box;
        win::DrawText(dc, caption.c_str(), int(caption.size()), &b, kFlags);
        win::SelectObject(dc, old);
    };
    if (Header(index)) {
        PaintHeaderBackground(&bmp);
        if (!OnDrawItem) write();
    } else {
        DrawSkinnedCheck(&bmp, index, TRect(0, 0, cw, r.Height()), r.TopLeft());
        if (item.itemState == 0)
            DrawSkinText(c, caption, Enabled(), ControlIsActive(d) ? 1 : 0, d, kFlags, box);
        else
            write();
    }
    if (item.itemState & win::ODS_FOCUS) c->DrawFocusRect(text);
    c->Refresh();
    if (!Enabled()) {
        const PixelView cache = ViewOf(d->CacheBmp());
        BlendDisabledEffect(ViewOf(&bmp), DisabledKind(), MakeCacheInfo(&cache, 0, 0),
                            {r.Left + 3, r.Top + 3},
                            TColor(vcl::ColorToRGB(Parent() ? Parent()->Color() : Color())));
    }
    win::BitBlt(item.hDC, r.Left, r.Top, r.Width(), r.Height(), c->Handle(), 0, 0, win::SRCCOPY);
    if (OnDrawItem) {
        TPaintDCLease lease(Canvas(), item.hDC);
        OnDrawItem(this, index, TRect(r.Left + cw + 2, r.Top, r.Right, r.Bottom),
                   TOwnerDrawState(item.itemState & 0x1FFF, 0));
    }
}

void TsCheckListBox::CreateParams(TCreateParams& p) {
    TsListBox::CreateParams(p);
    if (!(p.Style & (win::LBS_OWNERDRAWFIXED | win::LBS_OWNERDRAWVARIABLE)))
        p.Style |= win::LBS_OWNERDRAWFIXED;
}

TsCheckListBox::Wrapper* TsCheckListBox::WrapperOf(int index) const {
    if (!HandleAllocated() || index < 0 || index >= Count()) return nullptr;
    auto* w = reinterpret_cast<Wrapper*>(InternalGetItemData(index));
    for (const auto& own : wrappers_)
        if (own.get() == w) return w;
    return nullptr;
}

TsCheckListBox::Wrapper* TsCheckListBox::NeedWrapper(int index) {
    if (Wrapper* w = WrapperOf(index)) return w;
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", index));
    wrappers_.push_back(std::make_unique<Wrapper>());
    Wrapper* w = wrappers_.back().get();
    InternalSetItemData(index, reinterpret_cast<intptr_t>(w));
    return w;
}

void TsCheckListBox::FreeWrappers() {
    wrappers_.clear();
}

intptr_t TsCheckListBox::GetItemData(int index) const {
    const Wrapper* w = WrapperOf(index);
    return w ? w->data : 0;
}

void TsCheckListBox::SetItemData(int index, intptr_t data) {
    if (data == 0 && !WrapperOf(index)) return;
    NeedWrapper(index)->data = data;
}

bool TsCheckListBox::Checked(int index) const {
    const Wrapper* w = WrapperOf(index);
    return w && w->state == cbChecked;
}

void TsCheckListBox::SetChecked(int index, bool on) {
    if (on == Checked(index)) return;
    NeedWrapper(index)->state = on ? cbChecked : cbUnchecked;
    InvalidateCheck(index);
}

TCheckBoxState TsCheckListBox::State(int index) const {
    const Wrapper* w = WrapperOf(index);
    return w ? w->state : cbUnchecked;
}

void TsCheckListBox::SetState(int index, TCheckBoxState state) {
    if (state == State(index)) return;
    NeedWrapper(index)->state = state;
    InvalidateCheck(index);
}

bool TsCheckListBox::ItemEnabled(int index) const {
    if (index < 0 || index >= Count()) return false;
    const Wrapper* w = WrapperOf(index);
    return !w || !w->disabled;
}

void TsCheckListBox::SetItemEnabled(int index, bool on) {
    if (on == ItemEnabled(index)) return;
    NeedWrapper(index)->disabled = !on;
    InvalidateCheck(index);
}

bool TsCheckListBox::Header(int index) const {
    const Wrapper* w = WrapperOf(index);
    return w && w->header;
}

void TsCheckListBox::SetHeader(int index, bool on) {
    if (on == Header(index)) return;
    NeedWrapper(index)->header = on;
    if (HandleAllocated()) {
        win::RECT r = ItemRect(index);
        win::InvalidateRect(Handle(), &r, !ControlStyle.Contains(csOpaque));
    }
}

void TsCheckListBox::SetHeaderColor(vcl::TColor color) {
    if (color == headerColor_) return;
    headerColor_ = color;
    SkinData()->Invalidate();
}

void TsCheckListBox::SetHeaderBackgroundColor(vcl::TColor color) {
    if (color == headerBackgroundColor_) return;
    headerBackgroundColor_ = color;
    SkinData()->Invalidate();
}

void TsCheckListBox::SetHeaderSkin(const std::string& section) {
    if (section == headerSkin_) return;
    headerSkin_ = section;
    SkinData()->Invalidate();
}

void TsCheckListBox::InvalidateCheck(int index) {
    if (!HandleAllocated() || Header(index)) return;
    win::RECT r = ItemRect(index);
    r.right = r.left + CheckWidth();
    win::InvalidateRect(Handle(), &r, !ControlStyle.Contains(csOpaque));
    win::UpdateWindow(Handle());
}

void TsCheckListBox::Toggle(int index) {
    if (!ItemEnabled(index)) return;
    switch (State(index)) {
        case cbUnchecked:
            SetState(index, allowGrayed_ ? cbGrayed : cbChecked);
            break;
        case cbChecked:
            SetState(index, cbUnchecked);
            break;
        case cbGrayed:
            SetState(index, cbChecked);
            break;
    }
    ClickCheck();
}

bool TsCheckListBox::DoKeyPress(char& key) {
    if (key == ' ') {
        if (TWinControl::DoKeyPress(key)) return true;
        Toggle(ItemIndex());
        return false;
    }
    return TsListBox::DoKeyPress(key);
}

void TsCheckListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TsListBox::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    const int index = ItemAtPos({x, y}, true);
    if (index < 0) return;
    if (x - ItemRect(index).Left < CheckWidth()) Toggle(index);
}

void TsCheckListBox::ResetContent() {
    FreeWrappers();
    TsListBox::ResetContent();
}

void TsCheckListBox::DeleteString(int index) {
    Wrapper* w = WrapperOf(index);
    TsListBox::DeleteString(index);
    if (!w) return;
    std::erase_if(wrappers_, [w](const std::unique_ptr<Wrapper>& own) { return own.get() == w; });
}

void TsCheckListBox::DestroyWnd() {
    savedStates_.clear();
    if (HandleAllocated())
        for (int i = 0; i < Count(); ++i)
            savedStates_.emplace_back(Items()->Get(i), static_cast<uint32_t>(State(i)) << 16 |
                                                           (ItemEnabled(i) ? 0u : 1u));
    TsListBox::DestroyWnd();
    FreeWrappers();
}

void TsCheckListBox::CreateWnd() {
    TsListBox::CreateWnd();
    // Each state goes back to its item, found by its text: a sorted window orders them anew.
    std::vector<bool> taken(static_cast<std::size_t>(Count()), false);
    for (std::size_t k = 0; k < savedStates_.size(); ++k) {
        const auto& [text, packed] = savedStates_[k];
        int index = -1;
        if (k < taken.size() && !taken[k] && Items()->Get(static_cast<int>(k)) == text) {
            index = static_cast<int>(k);
        } else {
            for (int i = 0; i < Count() && index < 0; ++i)
                if (!taken[static_cast<std::size_t>(i)] && Items()->Get(i) == text) index = i;
        }
        if (index < 0) continue;
        taken[static_cast<std::size_t>(index)] = true;
        const auto state = static_cast<TCheckBoxState>((packed >> 16) & 0xFF);
        const bool disabled = (packed & 0xFF) != 0;
        if (state != cbUnchecked || disabled) {
            Wrapper* w = NeedWrapper(index);
            w->state = state;
            w->disabled = disabled;
        }
    }
    savedStates_.clear();
}

void TsCheckListBox::Dispatch(TMessage& m) {
    if (m.Msg == win::WM_DESTROY) FreeWrappers();
    TsListBox::Dispatch(m);
}

void TsCheckListBox::DrawItemMessage(const win::DRAWITEMSTRUCT& item) {
    TsCommonData* d = SkinData();
    if (IsControlSkinned(d) && !(Header(int(item.itemID)) && d->CustomColor())) {
        d->BGChanged = d->GetBGChanged();
        if (d->BGChanged || Count() == 0) return;
        DrawSkinnedItem(item);
        return;
    }
    win::DRAWITEMSTRUCT moved = item;
    if (!Header(static_cast<int>(item.itemID))) moved.rcItem.left += CheckWidth();
    TsListBox::DrawItemMessage(moved);
}

void TsCheckListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    if (Header(index)) {
        c->Font()->SetColor(headerColor_);
        c->Brush()->SetColor(headerBackgroundColor_);
        TsListBox::DrawItem(index, rect, state);
        return;
    }
    TsListBox::DrawItem(index, rect, state);
    // The check in the area before the text.
    const TPoint size = SystemCheckSize();
    const int w = CheckWidth();
    win::RECT area{rect.Left - w, rect.Top, rect.Left, rect.Bottom};
    win::HDC dc = c->Handle();
    win::FillRect(dc, &area, win::GetSysColorBrush(win::COLOR_WINDOW));
    win::RECT box{area.left + (w - size.X) / 2, area.top + (rect.Height() - size.Y) / 2, 0, 0};
    box.right = box.left + size.X;
    box.bottom = box.top + size.Y;
    win::UINT flags = win::DFCS_BUTTONCHECK;
    const TCheckBoxState s = State(index);
    if (s == cbChecked) flags |= win::DFCS_CHECKED;
    if (s == cbGrayed) flags = win::DFCS_BUTTON3STATE | win::DFCS_CHECKED;
    if (!Enabled() || !ItemEnabled(index)) flags |= win::DFCS_INACTIVE;
    const int saved = win::SaveDC(dc);
    win::IntersectClipRect(dc, box.left + 2, box.top + 2, box.right - 2, box.bottom - 2);
    win::DrawFrameControl(dc, &box, win::DFC_BUTTON, flags);
    win::RestoreDC(dc, saved);
    c->Pen()->SetColor(clBtnShadow);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(box.left + 1, box.top + 1, box.right - 1, box.bottom - 1);
    c->Brush()->SetStyle(bsSolid);
}

}  // namespace skin
