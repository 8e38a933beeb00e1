#include "vcl/controls/list_view.h"

#include <algorithm>

#include "platform/controls/header_control.h"
#include "platform/controls/list_view_control.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "vcl/system/list.h"

namespace vcl {

// --- TListColumn ---

std::vector<TPropInfo> TListColumn::Published() {
    return {Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption),
            Property("Width", &TListColumn::Width, &TListColumn::SetWidth),
            Property("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment),
            Property("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex)};
}

TListColumn::TListColumn(TCollection* collection) : TCollectionItem(collection) {}

void TListColumn::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Changed(false);
}

void TListColumn::SetWidth(int width) {
    if (width == width_) return;
    width_ = width;
    Changed(false);
}

void TListColumn::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Changed(false);
}

void TListColumn::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    Changed(false);
}

std::string TListColumn::DisplayName() const {
    return caption_.empty() ? TCollectionItem::DisplayName() : caption_;
}

void TListColumn::Assign(const TPersistent* source) {
    if (const auto* c = dynamic_cast<const TListColumn*>(source)) {
        caption_ = c->caption_;
        width_ = c->width_;
        alignment_ = c->alignment_;
        imageIndex_ = c->imageIndex_;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(source);
}

// --- TListColumns ---

TListColumns::TListColumns(TCustomListView* owner)
    : TCollection(ItemsOf<TListColumn>(), owner), owner_(owner) {}

TListColumn* TListColumns::Add() {
    return static_cast<TListColumn*>(TCollection::Add());
}

void TListColumns::Update(TCollectionItem* item) {
    if (!owner_->Live()) return;
    if (item)
        owner_->UpdateColumn(item->Index());
    else
        owner_->UpdateColumns();
}

// --- TListItem ---

// Sub-item texts: every change goes to the item's row in the window.
class TListItem::TSubItems : public TStringList {
public:
    explicit TSubItems(TListItem* item) : item_(item) {}

protected:
    void Changed() override {
        TStringList::Changed();
        if (TCustomListView* lv = item_->ListView(); lv && lv->Live()) lv->UpdateItemTexts(item_);
    }

private:
    TListItem* item_;
};

TListItem::TListItem(TListItems* owner) : owner_(owner), subItems_(new TSubItems(this)) {}

TListItem::~TListItem() {
    delete subItems_;
}

TStrings* TListItem::SubItems() const {
    return subItems_;
}

TCustomListView* TListItem::ListView() const {
    return owner_ ? owner_->Owner() : nullptr;
}

int TListItem::Index() const {
    return owner_ ? owner_->IndexOf(this) : -1;
}

void TListItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    TCustomListView* lv = ListView();
    if (!lv || !lv->Live()) return;
    win::LVITEMA it;
    it.pszText = caption_.data();
    lv->SendList(win::LVM_SETITEMTEXTA, Index(), reinterpret_cast<intptr_t>(&it));
}

void TListItem::SetImageIndex(int index) {
    imageIndex_ = index;
    TCustomListView* lv = ListView();
    if (!lv || !lv->Live()) return;
    win::LVITEMA it;
    it.mask = win::LVIF_IMAGE;
    it.iItem = Index();
    it.iImage = index;
    lv->SendList(win::LVM_SETITEMA, 0, reinterpret_cast<intptr_t>(&it));
}

bool TListItem::State(uint32_t bit) const {
    TCustomListView* lv = ListView();
    if (lv && lv->Live()) return lv->SendList(win::LVM_GETITEMSTATE, Index(), bit) != 0;
    return (state_ & bit) != 0;
}

void TListItem::SetState(uint32_t bit, bool on) {
    TCustomListView* lv = ListView();
    if (lv && lv->Live()) {
        win::LVITEMA it;
        it.stateMask = bit;
        it.state = on ? bit : 0;
        lv->SendList(win::LVM_SETITEMSTATE, Index(), reinterpret_cast<intptr_t>(&it));
        return;
    }
    // Without a window the rules of the window hold all the same.
    if (on && owner_)
        for (TListItem* other : owner_->items_)
            if (other != this && (bit == win::LVIS_FOCUSED || (lv && !lv->MultiSelect())))
                other->state_ &= ~bit;
    state_ = on ? state_ | bit : state_ & ~bit;
}

bool TListItem::Selected() const {
    return State(win::LVIS_SELECTED);
}

void TListItem::SetSelected(bool on) {
    SetState(win::LVIS_SELECTED, on);
}

bool TListItem::Focused() const {
    return State(win::LVIS_FOCUSED);
}

void TListItem::SetFocused(bool on) {
    SetState(win::LVIS_FOCUSED, on);
}

void TListItem::MakeVisible(bool partialOk) {
    if (TCustomListView* lv = ListView(); lv && lv->Live())
        lv->SendList(win::LVM_ENSUREVISIBLE, Index(), partialOk);
}

void TListItem::Delete() {
    if (owner_) owner_->Delete(Index());
}

// --- TListItems ---

TListItems::TListItems(TCustomListView* owner) : owner_(owner) {}

TListItems::~TListItems() {
    for (TListItem* i : items_)
        delete i;
}

TListItem* TListItems::Insert(int index) {
    if (index < 0 || index > Count()) ListIndexError(index);
    auto* item = new TListItem(this);
    items_.insert(items_.begin() + index, item);
    if (owner_->Live()) owner_->InsertWindowItem(item, index);
    return item;
}

void TListItems::Delete(int index) {
    TListItem* item = Item(index);
    if (owner_->Live()) owner_->SendList(win::LVM_DELETEITEM, index, 0);
    items_.erase(items_.begin() + index);
    delete item;
}

void TListItems::Clear() {
    if (owner_->Live()) owner_->SendList(win::LVM_DELETEALLITEMS, 0, 0);
    std::vector<TListItem*> gone;
    gone.swap(items_);
    for (TListItem* i : gone)
        delete i;
}

TListItem* TListItems::Item(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
    return items_[index];
}

int TListItems::IndexOf(const TListItem* item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TListItems::BeginUpdate() {
    if (updateCount_++ == 0 && owner_->Live()) owner_->SendList(win::WM_SETREDRAW, win::FALSE, 0);
}

void TListItems::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0 || !owner_->Live()) return;
    owner_->SendList(win::WM_SETREDRAW, win::TRUE, 0);
    owner_->Invalidate();
}

// --- TCustomListView ---

std::vector<TPropInfo> TCustomListView::Published() {
    using L = TCustomListView;
    return {Property("Columns", &L::Columns),
            Property("Items", &L::Items),
            Property("ViewStyle", &L::ViewStyle, &L::SetViewStyle),
            Property("ItemIndex", &L::ItemIndex, &L::SetItemIndex),
            Property("ReadOnly", &L::ReadOnly, &L::SetReadOnly),
            Property("RowSelect", &L::RowSelect, &L::SetRowSelect),
            Property("HideSelection", &L::HideSelection, &L::SetHideSelection),
            Property("ColumnClick", &L::ColumnClick, &L::SetColumnClick),
            Property("ShowColumnHeaders", &L::ShowColumnHeaders, &L::SetShowColumnHeaders),
            Property("GridLines", &L::GridLines, &L::SetGridLines),
            Property("FullDrag", &L::FullDrag, &L::SetFullDrag),
            Property("MultiSelect", &L::MultiSelect, &L::SetMultiSelect),
            Property("BorderStyle", &L::BorderStyle, &L::SetBorderStyle),
            Property("Checkboxes", &L::Checkboxes, &L::SetCheckboxes),
            Property("FlatScrollBars", &L::FlatScrollBars, &L::SetFlatScrollBars),
            Property("HotTrack", &L::HotTrack, &L::SetHotTrack),
            Property("HoverTime", &L::HoverTime, &L::SetHoverTime),
            Property("OwnerData", &L::OwnerData, &L::SetOwnerData),
            Property("OwnerDraw", &L::OwnerDraw, &L::SetOwnerDraw),
            Property("ShowWorkAreas", &L::ShowWorkAreas, &L::SetShowWorkAreas),
            Property("AllocBy", &L::AllocBy, &L::SetAllocBy),
            Property("SortType", &L::SortType, &L::SetSortType)};
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner),
      columns_(new TListColumns(this)),
      items_(new TListItems(this)),
      canvas_(new TCanvas) {
    // The window keeps the capture itself while a button is down.
    ControlStyle >> csCaptureMouse;
    SetTabStop(true);
    SetBounds(0, 0, 250, 150);
}

TCustomListView::~TCustomListView() {
    // The window goes first, so nothing below speaks to it any more.
    if (HandleAllocated()) DestroyWnd();
    delete items_;
    delete columns_;
    delete canvas_;
}

bool TCustomListView::Live() const {
    return HandleAllocated() && !ControlState.Contains(csDestroyingHandle);
}

intptr_t TCustomListView::SendList(uint32_t msg, uintptr_t wParam, intptr_t lParam) const {
    return win::SendMessageA(const_cast<TCustomListView*>(this)->Handle(), msg, wParam, lParam);
}

uint32_t TCustomListView::ListStyle() const {
    uint32_t s = win::LVS_SHAREIMAGELISTS;
    s |= viewStyle_ == vsReport      ? win::LVS_REPORT
         : viewStyle_ == vsList      ? win::LVS_LIST
         : viewStyle_ == vsSmallIcon ? win::LVS_SMALLICON
                                     : win::LVS_ICON;
    if (!multiSelect_) s |= win::LVS_SINGLESEL;
    if (!hideSelection_) s |= win::LVS_SHOWSELALWAYS;
    if (!readOnly_) s |= win::LVS_EDITLABELS;
    if (!columnClick_) s |= win::LVS_NOSORTHEADER;
    if (!showColumnHeaders_) s |= win::LVS_NOCOLUMNHEADER;
    return s;
}

uint32_t TCustomListView::ListExStyle() const {
    return (rowSelect_ ? win::LVS_EX_FULLROWSELECT : 0) | (gridLines_ ? win::LVS_EX_GRIDLINES : 0) |
           (fullDrag_ ? win::LVS_EX_HEADERDRAGDROP : 0);
}

void TCustomListView::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, win::WC_LISTVIEWA);
    p.Style |= ListStyle();
    if (borderStyle_ != bsNone) p.ExStyle |= win::WS_EX_CLIENTEDGE;
}

// The window is given everything the control keeps.
void TCustomListView::CreateWnd() {
    TWinControl::CreateWnd();
    filling_ = true;
    try {
        UpdateExStyle();
        UpdateColors();
        SendList(win::LVM_SETIMAGELIST, win::LVSIL_SMALL, reinterpret_cast<intptr_t>(smallImages_));
        UpdateColumns();
        for (int i = 0; i < items_->Count(); ++i)
            InsertWindowItem(items_->items_[i], i);
    } catch (...) {
        filling_ = false;
        throw;
    }
    filling_ = false;
}

// What the window alone knows, the selection, is kept before it goes.
void TCustomListView::DestroyWnd() {
    if (HandleAllocated())
        for (std::size_t i = 0; i < items_->items_.size(); ++i)
            items_->items_[i]->state_ = static_cast<uint32_t>(
                SendList(win::LVM_GETITEMSTATE, i, win::LVIS_SELECTED | win::LVIS_FOCUSED));
    TWinControl::DestroyWnd();
}

void TCustomListView::InsertWindowItem(TListItem* item, int index) {
    win::LVITEMA it;
    it.mask = win::LVIF_TEXT | win::LVIF_PARAM | win::LVIF_IMAGE | win::LVIF_STATE;
    it.iItem = index;
    it.pszText = item->caption_.data();
    it.lParam = reinterpret_cast<intptr_t>(item);
    it.iImage = item->imageIndex_;
    it.stateMask = win::LVIS_SELECTED | win::LVIS_FOCUSED;
    it.state = item->state_;
    SendList(win::LVM_INSERTITEMA, 0, reinterpret_cast<intptr_t>(&it));
    UpdateItemTexts(item);
}

// Every sub-item text, and empty ones after them for what the window may still hold.
void TCustomListView::UpdateItemTexts(TListItem* item) {
    const int index = item->Index();
    if (index < 0) return;
    const int n = std::max(item->subItems_->Count(), columns_->Count() - 1);
    for (int s = 0; s < n; ++s) {
        std::string text = s < item->subItems_->Count() ? item->subItems_->Get(s) : std::string();
        win::LVITEMA it;
        it.iSubItem = s + 1;
        it.pszText = text.data();
        SendList(win::LVM_SETITEMTEXTA, index, reinterpret_cast<intptr_t>(&it));
    }
}

void TCustomListView::UpdateColumn(int index) {
    const TListColumn* c = columns_->Items(index);
    win::LVCOLUMNA lc;
    lc.mask = win::LVCF_TEXT | win::LVCF_WIDTH | win::LVCF_FMT | win::LVCF_IMAGE;
    lc.pszText = const_cast<char*>(c->caption_.c_str());
    lc.cx = c->width_;
    lc.fmt = (c->alignment_ == taRightJustify ? win::LVCFMT_RIGHT
              : c->alignment_ == taCenter     ? win::LVCFMT_CENTER
                                              : win::LVCFMT_LEFT) |
             (c->imageIndex_ >= 0 ? win::LVCFMT_IMAGE : 0);
    lc.iImage = c->imageIndex_;
    SendList(win::LVM_SETCOLUMNA, index, reinterpret_cast<intptr_t>(&lc));
}

// The window gets as many columns as the control has, each set anew; columns added or taken
// away move the window's texts, so every item's texts are given again.
void TCustomListView::UpdateColumns() {
    const auto header = reinterpret_cast<win::HWND>(SendList(win::LVM_GETHEADER, 0, 0));
    auto count = [&] {
        return header ? static_cast<int>(win::SendMessageA(header, win::HDM_GETITEMCOUNT, 0, 0))
                      : 0;
    };
    const int had = count();
    for (int n = had; n > columns_->Count(); --n)
        SendList(win::LVM_DELETECOLUMN, n - 1, 0);
    for (int n = count(); n < columns_->Count(); ++n) {
        win::LVCOLUMNA lc;
        lc.mask = win::LVCF_WIDTH | win::LVCF_SUBITEM;
        lc.iSubItem = n;
        SendList(win::LVM_INSERTCOLUMNA, n, reinterpret_cast<intptr_t>(&lc));
    }
    for (int i = 0; i < columns_->Count(); ++i)
        UpdateColumn(i);
    if (had != columns_->Count())
        for (TListItem* item : items_->items_)
            UpdateItemTexts(item);
}

void TCustomListView::UpdateStyle() {
    if (!Live()) return;
    constexpr uint32_t kListBits = 0xFFFF;
    auto style = static_cast<uint32_t>(win::GetWindowLongPtrA(Handle(), win::GWL_STYLE));
    style = (style & ~kListBits) | ListStyle();
    win::SetWindowLongPtrA(Handle(), win::GWL_STYLE, static_cast<win::LONG_PTR>(style));
    Invalidate();
}

void TCustomListView::UpdateExStyle() {
    if (Live()) SendList(win::LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ListExStyle());
}

void TCustomListView::UpdateColors() {
    if (!Live()) return;
    SendList(win::LVM_SETBKCOLOR, 0, ColorToRGB(Color()));
    SendList(win::LVM_SETTEXTBKCOLOR, 0, ColorToRGB(Color()));
    SendList(win::LVM_SETTEXTCOLOR, 0, ColorToRGB(Font()->Color()));
}

void TCustomListView::SetViewStyle(TViewStyle style) {
    if (style == viewStyle_) return;
    viewStyle_ = style;
    UpdateStyle();
}

void TCustomListView::SetReadOnly(bool on) {
    if (on == readOnly_) return;
    readOnly_ = on;
    UpdateStyle();
}

void TCustomListView::SetHideSelection(bool on) {
    if (on == hideSelection_) return;
    hideSelection_ = on;
    UpdateStyle();
}

void TCustomListView::SetColumnClick(bool on) {
    if (on == columnClick_) return;
    columnClick_ = on;
    UpdateStyle();
}

void TCustomListView::SetShowColumnHeaders(bool on) {
    if (on == showColumnHeaders_) return;
    showColumnHeaders_ = on;
    UpdateStyle();
}

void TCustomListView::SetMultiSelect(bool on) {
    if (on == multiSelect_) return;
    multiSelect_ = on;
    UpdateStyle();
}

void TCustomListView::SetRowSelect(bool on) {
    if (on == rowSelect_) return;
    rowSelect_ = on;
    UpdateExStyle();
}

void TCustomListView::SetGridLines(bool on) {
    if (on == gridLines_) return;
    gridLines_ = on;
    UpdateExStyle();
}

void TCustomListView::SetFullDrag(bool on) {
    if (on == fullDrag_) return;
    fullDrag_ = on;
    UpdateExStyle();
}

void TCustomListView::SetBorderStyle(TFormBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void TCustomListView::SetSmallImages(win::HIMAGELIST images) {
    smallImages_ = images;
    if (Live())
        SendList(win::LVM_SETIMAGELIST, win::LVSIL_SMALL, reinterpret_cast<intptr_t>(images));
}

TListItem* TCustomListView::Selected() const {
    if (Live()) {
        const auto i = static_cast<int>(
            SendList(win::LVM_GETNEXTITEM, static_cast<uintptr_t>(-1), win::LVNI_SELECTED));
        return i >= 0 && i < items_->Count() ? items_->items_[i] : nullptr;
    }
    for (TListItem* item : items_->items_)
        if (item->state_ & win::LVIS_SELECTED) return item;
    return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
    for (TListItem* other : items_->items_)
        if (other != item && other->Selected()) other->SetSelected(false);
    if (item) {
        item->SetSelected(true);
        item->SetFocused(true);
    }
}

int TCustomListView::ItemIndex() const {
    TListItem* s = Selected();
    return s ? s->Index() : -1;
}

void TCustomListView::SetItemIndex(int index) {
    if (index < -1 || index >= items_->Count()) ListIndexError(index);
    SetSelected(index < 0 ? nullptr : items_->Item(index));
}

int TCustomListView::SelCount() const {
    if (Live()) return static_cast<int>(SendList(win::LVM_GETSELECTEDCOUNT, 0, 0));
    return static_cast<int>(std::count_if(items_->items_.begin(), items_->items_.end(),
                                          [](TListItem* i) { return i->Selected(); }));
}

TListItem* TCustomListView::GetItemAt(int x, int y) {
    win::LVHITTESTINFO info;
    info.pt = {x, y};
    const auto i =
        static_cast<int>(SendList(win::LVM_HITTEST, 0, reinterpret_cast<intptr_t>(&info)));
    return i >= 0 && i < items_->Count() ? items_->items_[i] : nullptr;
}

bool TCustomListView::CustomDraw(const TRect& rect) {
    bool defaultDraw = true;
    OnCustomDraw(this, rect, defaultDraw);
    return defaultDraw;
}

bool TCustomListView::CustomDrawItem(TListItem* item, TCustomDrawState state) {
    bool defaultDraw = true;
    OnCustomDrawItem(this, item, state, defaultDraw);
    return defaultDraw;
}

// NM_CUSTOMDRAW: the whole control before it paints (OnCustomDraw), then each item
// (OnCustomDrawItem) with Canvas on the window's DC; the brush and font the handler leaves are
// the item's colours and font.
intptr_t TCustomListView::NotifyCustomDraw(void* record) {
    auto* cd = static_cast<win::NMLVCUSTOMDRAW*>(record);
    win::HDC dc = cd->nmcd.hdc;
    // Canvas is on the window's DC only while a handler runs, whatever the handler does.
    struct OnDC {
        TCanvas* canvas;
        ~OnDC() { canvas->SetHandle(nullptr); }
    };
    auto prepare = [&] {
        canvas_->SetHandle(dc);
        canvas_->Font()->Assign(Font());
        canvas_->Brush()->SetColor(Color());
    };
    if (cd->nmcd.dwDrawStage == win::CDDS_PREPAINT) {
        intptr_t result = win::CDRF_DODEFAULT;
        if (OnCustomDraw) {
            OnDC guard{canvas_};
            prepare();
            if (!CustomDraw(cd->nmcd.rc)) return win::CDRF_SKIPDEFAULT;
        }
        TColor back, text;
        if (OnCustomDrawItem || SelectionColors(back, text)) result |= win::CDRF_NOTIFYITEMDRAW;
        return result;
    }
    if (cd->nmcd.dwDrawStage != win::CDDS_ITEMPREPAINT) return win::CDRF_DODEFAULT;
    const auto index = static_cast<int>(cd->nmcd.dwItemSpec);
    if (index < 0 || index >= items_->Count()) return win::CDRF_DODEFAULT;
    // The list's own selection colours: the window is told the item is not selected and is
    // given those colours, over whatever the item handler chose. The colours take the whole
    // row, so a report that selects only the first column keeps the window's selection.
    TColor selBack, selText;
    const bool ownSelection = (cd->nmcd.uItemState & win::CDIS_SELECTED) &&
                              (viewStyle_ != vsReport || rowSelect_) &&
                              (!hideSelection_ || win::GetFocus() == Handle()) &&
                              SelectionColors(selBack, selText);
    auto selection = [&](intptr_t result) {
        if (!ownSelection || result == win::CDRF_SKIPDEFAULT) return result;
        cd->nmcd.uItemState &= ~win::UINT(win::CDIS_SELECTED);
        cd->clrText = ColorToRGB(selText);
        cd->clrTextBk = ColorToRGB(selBack);
        return result;
    };
    if (!OnCustomDrawItem) return selection(win::CDRF_DODEFAULT);
    TCustomDrawState state;
    const win::UINT s = cd->nmcd.uItemState;
    if (s & win::CDIS_SELECTED) state << cdsSelected;
    if (s & win::CDIS_FOCUS) state << cdsFocused;
    if (s & win::CDIS_DISABLED) state << cdsDisabled;
    if (s & win::CDIS_HOT) state << cdsHot;
    // The control's own font is in the DC while the canvas borrows it, so the item font can
    // change without taking away a font the DC still holds.
    win::SelectObject(dc, Font()->Handle());
    bool defaultDraw, colorChanged, fontChanged;
    TColor text, back;
    {
        OnDC guard{canvas_};
        prepare();
        defaultDraw = CustomDrawItem(items_->items_[index], state);
        text = canvas_->Font()->Color();
        back = canvas_->Brush()->Color();
        colorChanged = back != Color() || text != Font()->Color();
        TFont face;  // the font without its colour
        face.Assign(canvas_->Font());
        face.SetColor(Font()->Color());
        fontChanged = !face.SameAs(*Font());
        if (fontChanged) itemFont_.Assign(canvas_->Font());
    }
    if (!defaultDraw) return win::CDRF_SKIPDEFAULT;
    if (colorChanged) {
        cd->clrText = ColorToRGB(text);
        cd->clrTextBk = ColorToRGB(back);
    }
    if (!fontChanged) return selection(win::CDRF_DODEFAULT);
    win::SelectObject(dc, itemFont_.Handle());
    return selection(win::CDRF_NEWFONT);
}

void TCustomListView::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CN_NOTIFY: {
            auto* nm = reinterpret_cast<win::NMHDR*>(m.LParam);
            m.Result = 0;
            if (nm->code == win::NM_CUSTOMDRAW) {
                m.Result = NotifyCustomDraw(nm);
            } else if (nm->code == win::LVN_ITEMCHANGED && !filling_) {
                auto* lv = reinterpret_cast<win::NMLISTVIEW*>(nm);
                const bool was = lv->uOldState & win::LVIS_SELECTED;
                const bool is = lv->uNewState & win::LVIS_SELECTED;
                if (lv->uChanged == win::LVIF_STATE && was != is && lv->iItem >= 0 &&
                    lv->iItem < items_->Count())
                    OnSelectItem(this, items_->items_[lv->iItem], is);
            } else if (nm->code == win::LVN_COLUMNCLICK) {
                auto* lv = reinterpret_cast<win::NMLISTVIEW*>(nm);
                if (lv->iSubItem >= 0 && lv->iSubItem < columns_->Count())
                    OnColumnClick(this, columns_->Items(lv->iSubItem));
            }
            return;
        }
        case win::WM_NOTIFY: {
            // A divider dragged on the header: the column keeps its new width.
            TWinControl::Dispatch(m);
            const auto* nm = reinterpret_cast<const win::NMHEADERA*>(m.LParam);
            if (nm && nm->hdr.code == win::HDN_ITEMCHANGEDA && nm->pitem &&
                (nm->pitem->mask & win::HDI_WIDTH) && nm->iItem >= 0 &&
                nm->iItem < columns_->Count() &&
                nm->hdr.hwndFrom == reinterpret_cast<win::HWND>(SendList(win::LVM_GETHEADER, 0, 0)))
                columns_->Items(nm->iItem)->width_ = std::max(0, nm->pitem->cxy);
            return;
        }
        case CM_COLORCHANGED:
        case CM_FONTCHANGED:
            TWinControl::Dispatch(m);
            UpdateColors();
            return;
        default:
            TWinControl::Dispatch(m);
            return;
    }
}

}  // namespace vcl
