// The "SysListView32" class.
//
// Rules the code keeps:
// 1. Items hold their texts by column: texts[0] is the caption, texts[c] what column c shows.
//    Inserting a column moves the texts at and after it one column on; deleting one drops its
//    texts.
// 2. The column order is the header's: a heading dragged to another place moves its column.
// 3. At most one item has LVIS_FOCUSED; under LVS_SINGLESEL at most one has LVIS_SELECTED.
//    Every state change is asked of the parent (LVN_ITEMCHANGING, which may refuse it) and told
//    after (LVN_ITEMCHANGED).
// 4. The parent may do anything while it is notified, even change or destroy the list: after a
//    notification nothing is used that was looked up before it.
// 5. `top` (the first row shown) and `scrollX` stay within what the rows and columns need; the
//    scroll bars show both.
#include "platform/controls/list_view_control.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/classic_paint.h"
#include "platform/controls/header_control.h"
#include "platform/controls/native_control.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace win {

namespace {

constexpr int kTextMargin = 6;   // between a cell's edge and its text
constexpr int kIconMargin = 2;   // between a cell's edge and the item's image
constexpr int kLineScroll = 10;  // pixels of a horizontal line scroll
constexpr int kWheelRows = 3;

struct Column {
    std::string text;
    int fmt = LVCFMT_LEFT;
    int width = 0;
    int subItem = 0;
    int image = -1;
};

struct Item {
    std::vector<std::string> texts{std::string()};
    int image = -1;
    LPARAM param = 0;
    UINT state = 0;
    int indent = 0;
};

struct ListViewState {
    HFONT font = nullptr;
    HWND header = nullptr;
    std::vector<Column> columns;
    std::vector<int> order;  // position -> column
    std::vector<Item> items;
    DWORD exStyle = 0;
    HIMAGELIST images[3] = {};
    COLORREF bk = CLR_DEFAULT;
    COLORREF text = CLR_DEFAULT;
    COLORREF textBk = CLR_DEFAULT;
    int rowHeight = 16;
    int headerHeight = 0;
    int top = 0;
    int scrollX = 0;
    int anchor = -1;  // where a Shift selection starts
    bool focused = false;
    bool pressed = false;  // the left button went down here; its release is a click
    int pressItem = -1;
    POINT pressAt{};
    bool layingOut = false;
};

ListViewState* StateOf(HWND h) {
    return ControlState<ListViewState>(h);
}

bool IsReport(HWND h) {
    return (ControlStyle(h) & LVS_TYPEMASK) == LVS_REPORT;
}

int Count(const ListViewState* st) {
    return static_cast<int>(st->items.size());
}

COLORREF Resolve(COLORREF c, int sysColor) {
    return c == CLR_DEFAULT ? GetSysColor(sysColor) : c;
}
COLORREF BkColor(const ListViewState* st) {
    return Resolve(st->bk, COLOR_WINDOW);
}
COLORREF TextColor(const ListViewState* st) {
    return Resolve(st->text, COLOR_WINDOWTEXT);
}
COLORREF TextBkColor(const ListViewState* st) {
    return st->textBk == CLR_DEFAULT ? BkColor(st) : st->textBk;
}

SIZE SmallIconSize(const ListViewState* st) {
    int w = 0, h = 0;
    if (st->images[LVSIL_SMALL]) ImageList_GetIconSize(st->images[LVSIL_SMALL], &w, &h);
    return {w, h};
}

void UpdateRowHeight(HWND h, ListViewState* st) {
    st->rowHeight =
        std::max(FontLineHeight(h, st->font) + 3, static_cast<int>(SmallIconSize(st).cy) + 1);
}

// --- geometry ---

RECT Client(HWND h) {
    RECT r;
    GetClientRect(h, &r);
    return r;
}

int TotalWidth(HWND h, const ListViewState* st) {
    if (!IsReport(h)) return Client(h).right;
    int w = 0;
    for (const Column& c : st->columns)
        w += c.width;
    return w;
}

int PerPage(HWND h, const ListViewState* st) {
    return std::max(0, (Client(h).bottom - st->headerHeight) / st->rowHeight);
}

int RowTop(const ListViewState* st, int i) {
    return st->headerHeight + (i - st->top) * st->rowHeight;
}

RECT RowRect(HWND h, const ListViewState* st, int i) {
    const int y = RowTop(st, i);
    return {-st->scrollX, y, -st->scrollX + TotalWidth(h, st), y + st->rowHeight};
}

// The cell of a column in a row; outside report view the one column is the whole row.
RECT CellRect(HWND h, const ListViewState* st, int i, int column) {
    RECT r = RowRect(h, st, i);
    if (!IsReport(h)) return r;
    int x = -st->scrollX;
    for (int c : st->order) {
        if (c == column) return {x, r.top, x + st->columns[c].width, r.bottom};
        x += st->columns[c].width;
    }
    return {r.left, r.top, r.left, r.bottom};
}

RECT LabelCell(HWND h, const ListViewState* st, int i) {
    return st->columns.empty() && IsReport(h)
               ? RECT{-st->scrollX, RowTop(st, i), -st->scrollX, RowTop(st, i) + st->rowHeight}
               : CellRect(h, st, i, 0);
}

RECT IconRect(HWND h, const ListViewState* st, int i) {
    const RECT cell = LabelCell(h, st, i);
    const int w = SmallIconSize(st).cx;
    const int left = cell.left + (w ? kIconMargin : 0);
    return {left, cell.top, std::min<LONG>(left + w, cell.right), cell.bottom};
}

RECT LabelRect(HWND h, const ListViewState* st, int i) {
    RECT cell = LabelCell(h, st, i);
    cell.left = std::min(IconRect(h, st, i).right, cell.right);
    return cell;
}

int HitTest(HWND h, const ListViewState* st, LVHITTESTINFO& info) {
    const RECT client = Client(h);
    const POINT p = info.pt;
    info.flags = 0;
    info.iItem = -1;
    info.iSubItem = 0;
    if (p.y < 0) info.flags |= LVHT_ABOVE;
    if (p.y >= client.bottom) info.flags |= LVHT_BELOW;
    if (p.x < 0) info.flags |= LVHT_TOLEFT;
    if (p.x >= client.right) info.flags |= LVHT_TORIGHT;
    if (info.flags) return -1;
    info.flags = LVHT_NOWHERE;
    if (p.y < st->headerHeight) return -1;
    const int row = st->top + (p.y - st->headerHeight) / st->rowHeight;
    if (row >= Count(st)) return -1;
    if (!IsReport(h)) {
        const RECT icon = IconRect(h, st, row);
        info.flags = PtInRect(&icon, p) ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
        info.iItem = row;
        return row;
    }
    for (int c = 0; c < static_cast<int>(st->columns.size()); ++c) {
        const RECT cell = CellRect(h, st, row, c);
        if (p.x < cell.left || p.x >= cell.right) continue;
        info.iSubItem = c;
        if (c == 0) {
            const RECT icon = IconRect(h, st, row);
            info.flags = PtInRect(&icon, p) ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
        } else if (st->exStyle & LVS_EX_FULLROWSELECT) {
            info.flags = LVHT_ONITEMLABEL;
        } else {
            return -1;
        }
        info.iItem = row;
        return row;
    }
    return -1;
}

// --- scrolling and layout ---

// Sets a bar without painting it; answers whether anything changed.
bool SetBar(HWND h, int bar, int max, int page, int pos) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    const UINT pageSize = static_cast<UINT>(std::max(page, 0));
    if (GetScrollInfo(h, bar, &si) && si.nMin == 0 && si.nMax == max && si.nPage == pageSize &&
        si.nPos == pos)
        return false;
    si.nMin = 0;
    si.nMax = max;
    si.nPage = pageSize;
    si.nPos = pos;
    SetScrollInfo(h, bar, &si, FALSE);
    return true;
}

void ClampScroll(HWND h, ListViewState* st) {
    st->top = std::clamp(st->top, 0, std::max(0, Count(st) - PerPage(h, st)));
    st->scrollX = std::clamp(st->scrollX, 0, std::max(0, TotalWidth(h, st) - Client(h).right));
}

// Places the header and sets the bars. Showing or hiding a bar changes the client area, which
// may call for the other bar: a few passes settle it.
void Layout(HWND h) {
    ListViewState* st = StateOf(h);
    if (!st || st->layingOut) return;
    st->layingOut = true;
    bool barsChanged = false;
    for (int pass = 0; pass < 3; ++pass) {
        const RECT before = Client(h);
        if (st->header) {
            if (IsReport(h) && !(ControlStyle(h) & LVS_NOCOLUMNHEADER)) {
                RECT area{-st->scrollX, 0, before.right, before.bottom};
                WINDOWPOS pos;
                HDLAYOUT layout{&area, &pos};
                SendMessageA(st->header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
                RECT now;
                GetWindowRect(st->header, &now);
                MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&now), 2);
                if (!IsWindowVisible(st->header) || now.left != pos.x || now.top != pos.y ||
                    now.right - now.left != pos.cx || now.bottom - now.top != pos.cy)
                    SetWindowPos(st->header, nullptr, pos.x, pos.y, pos.cx, pos.cy,
                                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
                st->headerHeight = pos.cy;
            } else {
                ShowWindow(st->header, SW_HIDE);
                st->headerHeight = 0;
            }
        }
        ClampScroll(h, st);
        if (!(ControlStyle(h) & LVS_NOSCROLL)) {
            barsChanged |= SetBar(h, SB_VERT, Count(st) - 1, PerPage(h, st), st->top);
            barsChanged |= SetBar(h, SB_HORZ, IsReport(h) ? TotalWidth(h, st) - 1 : 0, before.right,
                                  st->scrollX);
        }
        const RECT after = Client(h);
        if (after.right == before.right && after.bottom == before.bottom) break;
    }
    st->layingOut = false;
    // The bars are painted with the next frame, once however many changes came before.
    if (barsChanged) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

void ScrollTo(HWND h, ListViewState* st, int top, int x) {
    const int oldTop = st->top, oldX = st->scrollX;
    st->top = top;
    st->scrollX = x;
    ClampScroll(h, st);
    if (st->top == oldTop && st->scrollX == oldX) return;
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
}

void EnsureVisible(HWND h, ListViewState* st, int i, bool partialOk) {
    if (i < 0 || i >= Count(st)) return;
    const int page = std::max(1, PerPage(h, st));
    int top = st->top;
    if (i < top) top = i;
    if (i >= top + page && !(partialOk && i == top + page)) top = i - page + 1;
    ScrollTo(h, st, top, st->scrollX);
}

void Scroll(HWND h, int bar, WORD code) {
    ListViewState* st = StateOf(h);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(h, bar, &si);
    const bool vert = bar == SB_VERT;
    const int pos = vert ? st->top : st->scrollX;
    const int line = vert ? 1 : kLineScroll;
    const int page = vert ? std::max(1, PerPage(h, st)) : std::max(1, Client(h).right);
    int to = pos;
    switch (code) {
        case SB_LINEUP:
            to = pos - line;
            break;
        case SB_LINEDOWN:
            to = pos + line;
            break;
        case SB_PAGEUP:
            to = pos - page;
            break;
        case SB_PAGEDOWN:
            to = pos + page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            to = si.nTrackPos;
            break;
        case SB_TOP:
            to = 0;
            break;
        case SB_BOTTOM:
            to = vert ? Count(st) : TotalWidth(h, st);
            break;
        default:
            return;  // SB_ENDSCROLL
    }
    ScrollTo(h, st, vert ? to : st->top, vert ? st->scrollX : to);
}

void InvalidateRow(HWND h, const ListViewState* st, int i) {
    RECT r = RowRect(h, st, i);
    r.left = 0;
    r.right = Client(h).right;
    InvalidateRect(h, &r, TRUE);
}

// --- item states ---

LRESULT NotifyItem(HWND h, UINT code, int i, UINT newState, UINT oldState, UINT changed,
                   LPARAM param) {
    NMLISTVIEW nm;
    nm.iItem = i;
    nm.uNewState = newState;
    nm.uOldState = oldState;
    nm.uChanged = changed;
    nm.lParam = param;
    return NotifyParent(h, code, &nm.hdr);
}

// One item's state bits, asked and told (rule 3).
void SetState(HWND h, int i, UINT state, UINT mask) {
    ListViewState* st = StateOf(h);
    if (!st || i < 0 || i >= Count(st)) return;
    const UINT old = st->items[i].state;
    const UINT now = (old & ~mask) | (state & mask);
    if (now == old) return;
    if (NotifyItem(h, LVN_ITEMCHANGING, i, now, old, LVIF_STATE, st->items[i].param)) return;
    if (!(st = StateOf(h)) || i >= Count(st)) return;
    st->items[i].state = now;
    InvalidateRow(h, st, i);
    NotifyItem(h, LVN_ITEMCHANGED, i, now, old, LVIF_STATE, st->items[i].param);
}

// Clears `bits` on every item but `keep`.
void ClearOthers(HWND h, int keep, UINT bits) {
    for (int j = 0;; ++j) {
        ListViewState* st = StateOf(h);
        if (!st || j >= Count(st)) return;
        if (j != keep && (st->items[j].state & bits)) SetState(h, j, 0, bits);
    }
}

// A state change with the uniqueness of rule 3; i == -1 changes every item.
void ChangeState(HWND h, int i, UINT state, UINT mask) {
    const bool single = ControlStyle(h) & LVS_SINGLESEL;
    if (i < 0) {
        if (single) mask &= ~(state & LVIS_SELECTED);  // one item at most
        mask &= ~(state & LVIS_FOCUSED);
        for (int j = 0;; ++j) {
            ListViewState* st = StateOf(h);
            if (!st || j >= Count(st)) return;
            SetState(h, j, state, mask);
        }
    }
    if ((mask & state & LVIS_FOCUSED)) ClearOthers(h, i, LVIS_FOCUSED);
    if ((mask & state & LVIS_SELECTED) && single) ClearOthers(h, i, LVIS_SELECTED);
    SetState(h, i, state, mask);
}

int FocusedItem(const ListViewState* st) {
    for (int i = 0; i < Count(st); ++i)
        if (st->items[i].state & LVIS_FOCUSED) return i;
    return -1;
}

// Selects `i` alone (or the range from the anchor to it) and gives it the focus.
void SelectOnly(HWND h, int i, bool range) {
    ListViewState* st = StateOf(h);
    if (!st) return;
    const int anchor = range && st->anchor >= 0 ? st->anchor : i;
    const int lo = std::min(anchor, i), hi = std::max(anchor, i);
    for (int j = 0;; ++j) {
        if (!(st = StateOf(h)) || j >= Count(st)) break;
        if ((j < lo || j > hi) && (st->items[j].state & LVIS_SELECTED))
            SetState(h, j, 0, LVIS_SELECTED);
    }
    for (int j = lo; j <= hi; ++j)
        ChangeState(h, j, LVIS_SELECTED, LVIS_SELECTED);
    ChangeState(h, i, LVIS_FOCUSED, LVIS_FOCUSED);
    if ((st = StateOf(h)) && !range) st->anchor = i;
}

int NextItem(const ListViewState* st, int start, UINT flags) {
    const UINT want = flags & (LVNI_FOCUSED | LVNI_SELECTED | LVNI_CUT | LVNI_DROPHILITED);
    if (flags & (LVNI_TOLEFT | LVNI_TORIGHT)) return -1;  // one column of rows
    const bool up = flags & LVNI_ABOVE;
    for (int i = up ? start - 1 : std::max(start + 1, 0); i >= 0 && i < Count(st); i += up ? -1 : 1)
        if ((st->items[i].state & want) == want) return i;
    return -1;
}

// --- items ---

void SetItemFields(Item& it, const LVITEMA& in) {
    if (in.mask & LVIF_TEXT) {
        if (it.texts.size() <= static_cast<std::size_t>(in.iSubItem))
            it.texts.resize(static_cast<std::size_t>(in.iSubItem) + 1);
        it.texts[static_cast<std::size_t>(in.iSubItem)] = in.pszText ? in.pszText : "";
    }
    if (in.iSubItem != 0) return;
    if (in.mask & LVIF_IMAGE) it.image = in.iImage;
    if (in.mask & LVIF_PARAM) it.param = in.lParam;
    if (in.mask & LVIF_INDENT) it.indent = in.iIndent;
}

int InsertItem(HWND h, const LVITEMA& in) {
    ListViewState* st = StateOf(h);
    if (in.iSubItem != 0) return -1;
    const int i = std::clamp(in.iItem, 0, Count(st));
    Item it;
    SetItemFields(it, in);
    st->items.insert(st->items.begin() + i, std::move(it));
    if (st->anchor >= i) ++st->anchor;
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    NotifyItem(h, LVN_INSERTITEM, i, 0, 0, 0, in.lParam);
    if ((in.mask & LVIF_STATE) && (in.state & in.stateMask))
        ChangeState(h, i, in.state, in.stateMask);
    return i;
}

BOOL SetItem(HWND h, const LVITEMA& in) {
    ListViewState* st = StateOf(h);
    if (in.iItem < 0 || in.iItem >= Count(st) || in.iSubItem < 0) return FALSE;
    const UINT fields =
        in.mask & (in.iSubItem ? LVIF_TEXT : (LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT));
    if (fields) {
        const LPARAM param = st->items[in.iItem].param;
        if (NotifyItem(h, LVN_ITEMCHANGING, in.iItem, 0, 0, fields, param)) return FALSE;
        if (!(st = StateOf(h)) || in.iItem >= Count(st)) return FALSE;
        SetItemFields(st->items[in.iItem], in);
        InvalidateRow(h, st, in.iItem);
        NotifyItem(h, LVN_ITEMCHANGED, in.iItem, 0, 0, fields, st->items[in.iItem].param);
    }
    if ((in.mask & LVIF_STATE) && in.iSubItem == 0)
        ChangeState(h, in.iItem, in.state, in.stateMask);
    return TRUE;
}

BOOL GetItem(HWND h, LVITEMA& out) {
    const ListViewState* st = StateOf(h);
    if (out.iItem < 0 || out.iItem >= Count(st) || out.iSubItem < 0) return FALSE;
    const Item& it = st->items[out.iItem];
    if (out.mask & LVIF_TEXT) {
        const auto sub = static_cast<std::size_t>(out.iSubItem);
        CopyTextOut(sub < it.texts.size() ? it.texts[sub] : std::string(), out.pszText,
                    out.cchTextMax);
    }
    if (out.iSubItem != 0) return TRUE;
    if (out.mask & LVIF_IMAGE) out.iImage = it.image;
    if (out.mask & LVIF_PARAM) out.lParam = it.param;
    if (out.mask & LVIF_STATE) out.state = it.state & out.stateMask;
    if (out.mask & LVIF_INDENT) out.iIndent = it.indent;
    return TRUE;
}

BOOL DeleteItem(HWND h, int i) {
    ListViewState* st = StateOf(h);
    if (i < 0 || i >= Count(st)) return FALSE;
    NotifyItem(h, LVN_DELETEITEM, i, 0, 0, 0, st->items[i].param);
    if (!(st = StateOf(h)) || i >= Count(st)) return FALSE;
    st->items.erase(st->items.begin() + i);
    if (st->anchor == i) st->anchor = -1;
    if (st->anchor > i) --st->anchor;
    if (st->pressItem >= i) st->pressItem = -1;
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

BOOL DeleteAllItems(HWND h) {
    ListViewState* st = StateOf(h);
    // A parent that answers TRUE to the whole-list notice wants no notice per item.
    if (!NotifyItem(h, LVN_DELETEALLITEMS, -1, 0, 0, 0, 0)) {
        std::vector<LPARAM> params;
        if (!(st = StateOf(h))) return FALSE;
        for (const Item& it : st->items)
            params.push_back(it.param);
        for (std::size_t i = 0; i < params.size(); ++i)
            NotifyItem(h, LVN_DELETEITEM, static_cast<int>(i), 0, 0, 0, params[i]);
    }
    if (!(st = StateOf(h))) return FALSE;
    st->items.clear();
    st->anchor = st->pressItem = -1;
    st->top = 0;
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

// --- columns ---

HDITEMA HeaderItemOf(const Column& c, UINT mask) {
    HDITEMA hd;
    hd.mask = 0;
    if (mask & LVCF_WIDTH) {
        hd.mask |= HDI_WIDTH;
        hd.cxy = c.width;
    }
    if (mask & LVCF_TEXT) {
        hd.mask |= HDI_TEXT;
        hd.pszText = const_cast<LPSTR>(c.text.c_str());
    }
    if (mask & (LVCF_FMT | LVCF_IMAGE)) {
        hd.mask |= HDI_FORMAT | HDI_IMAGE;
        hd.fmt = (c.fmt & LVCFMT_JUSTIFYMASK) | HDF_STRING |
                 ((c.fmt & LVCFMT_IMAGE) && c.image >= 0 ? HDF_IMAGE : 0) |
                 (c.fmt & LVCFMT_BITMAP_ON_RIGHT ? HDF_BITMAP_ON_RIGHT : 0);
        hd.iImage = c.image;
    }
    return hd;
}

void ApplyColumn(Column& c, const LVCOLUMNA& in) {
    if (in.mask & LVCF_FMT) c.fmt = in.fmt;
    if (in.mask & LVCF_WIDTH) c.width = std::max(0, in.cx);
    if (in.mask & LVCF_TEXT) c.text = in.pszText ? in.pszText : "";
    if (in.mask & LVCF_SUBITEM) c.subItem = in.iSubItem;
    if (in.mask & LVCF_IMAGE) c.image = in.iImage;
}

// The column order as the header has it (rule 2).
void ReadOrder(ListViewState* st) {
    std::vector<int> order(st->columns.size());
    if (st->header && !order.empty() &&
        SendMessageA(st->header, HDM_GETORDERARRAY, order.size(),
                     reinterpret_cast<LPARAM>(order.data())))
        st->order = std::move(order);
}

int InsertColumn(HWND h, int index, const LVCOLUMNA& in) {
    ListViewState* st = StateOf(h);
    index = std::clamp(index, 0, static_cast<int>(st->columns.size()));
    Column c;
    c.subItem = index;
    ApplyColumn(c, in);
    st->columns.insert(st->columns.begin() + index, c);
    if (index > 0)
        for (Item& it : st->items)
            if (it.texts.size() > static_cast<std::size_t>(index))
                it.texts.insert(it.texts.begin() + index, std::string());
    for (int& o : st->order)
        if (o >= index) ++o;
    const int position = std::clamp((in.mask & LVCF_ORDER) ? in.iOrder : index, 0,
                                    static_cast<int>(st->order.size()));
    st->order.insert(st->order.begin() + position, index);
    if (st->header) {
        HDITEMA hd = HeaderItemOf(c, LVCF_WIDTH | LVCF_TEXT | LVCF_FMT);
        hd.mask |= HDI_ORDER;
        hd.iOrder = position;
        SendMessageA(st->header, HDM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&hd));
    }
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return index;
}

BOOL DeleteColumn(HWND h, int index) {
    ListViewState* st = StateOf(h);
    if (index < 0 || index >= static_cast<int>(st->columns.size())) return FALSE;
    st->columns.erase(st->columns.begin() + index);
    if (index > 0)
        for (Item& it : st->items)
            if (it.texts.size() > static_cast<std::size_t>(index))
                it.texts.erase(it.texts.begin() + index);
    st->order.erase(std::remove(st->order.begin(), st->order.end(), index), st->order.end());
    for (int& o : st->order)
        if (o > index) --o;
    if (st->header) SendMessageA(st->header, HDM_DELETEITEM, index, 0);
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

BOOL SetColumn(HWND h, int index, const LVCOLUMNA& in) {
    ListViewState* st = StateOf(h);
    if (index < 0 || index >= static_cast<int>(st->columns.size())) return FALSE;
    ApplyColumn(st->columns[index], in);
    if (st->header) {
        HDITEMA hd = HeaderItemOf(st->columns[index], in.mask);
        if (in.mask & LVCF_ORDER) {
            hd.mask |= HDI_ORDER;
            hd.iOrder = in.iOrder;
        }
        SendMessageA(st->header, HDM_SETITEMA, index, reinterpret_cast<LPARAM>(&hd));
    }
    if ((st = StateOf(h))) {
        ReadOrder(st);
        Layout(h);
    }
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

BOOL GetColumn(HWND h, int index, LVCOLUMNA& out) {
    const ListViewState* st = StateOf(h);
    if (index < 0 || index >= static_cast<int>(st->columns.size())) return FALSE;
    const Column& c = st->columns[index];
    if (out.mask & LVCF_FMT) out.fmt = c.fmt;
    if (out.mask & LVCF_WIDTH) out.cx = c.width;
    if (out.mask & LVCF_TEXT) CopyTextOut(c.text, out.pszText, out.cchTextMax);
    if (out.mask & LVCF_SUBITEM) out.iSubItem = c.subItem;
    if (out.mask & LVCF_IMAGE) out.iImage = c.image;
    if (out.mask & LVCF_ORDER) {
        const auto it = std::find(st->order.begin(), st->order.end(), index);
        out.iOrder = static_cast<int>(it - st->order.begin());
    }
    return TRUE;
}

BOOL SetColumnWidth(HWND h, int index, int cx) {
    ListViewState* st = StateOf(h);
    if (index < 0 || index >= static_cast<int>(st->columns.size())) return FALSE;
    if (cx == LVSCW_AUTOSIZE || cx == LVSCW_AUTOSIZE_USEHEADER) {
        int widest = 0;
        for (const Item& it : st->items)
            if (static_cast<std::size_t>(index) < it.texts.size())
                widest = std::max(widest, TextWidthIn(h, st->font, it.texts[index]));
        if (index == 0 && SmallIconSize(st).cx) widest += SmallIconSize(st).cx + kIconMargin;
        if (cx == LVSCW_AUTOSIZE_USEHEADER)
            widest =
                std::max(widest, TextWidthIn(h, st->font, st->columns[index].text) + kTextMargin);
        cx = widest + 2 * kTextMargin;
    }
    LVCOLUMNA c;
    c.mask = LVCF_WIDTH;
    c.cx = cx;
    return SetColumn(h, index, c);
}

// A change the header made itself: a divider dragged, a heading moved.
void HeaderChanged(HWND h, const NMHEADERA& nm) {
    ListViewState* st = StateOf(h);
    if (!nm.pitem || nm.iItem < 0 || nm.iItem >= static_cast<int>(st->columns.size())) return;
    if (nm.pitem->mask & HDI_WIDTH) st->columns[nm.iItem].width = std::max(0, nm.pitem->cxy);
    if (nm.pitem->mask & HDI_ORDER) ReadOrder(st);
    if (nm.pitem->mask & (HDI_WIDTH | HDI_ORDER)) {
        Layout(h);
        InvalidateRect(h, nullptr, TRUE);
    }
}

void SyncHeaderStyle(HWND h) {
    ListViewState* st = StateOf(h);
    if (!st->header) return;
    DWORD hs = static_cast<DWORD>(GetWindowLongPtrA(st->header, GWL_STYLE));
    hs &= ~(HDS_BUTTONS | HDS_DRAGDROP);
    if (!(ControlStyle(h) & LVS_NOSORTHEADER)) hs |= HDS_BUTTONS;
    if (st->exStyle & LVS_EX_HEADERDRAGDROP) hs |= HDS_DRAGDROP;
    SetWindowLongPtrA(st->header, GWL_STYLE, static_cast<LONG_PTR>(hs));
}

// --- painting ---

void FillColor(HDC dc, const RECT& r, COLORREF c) {
    if (c == CLR_NONE || r.right <= r.left || r.bottom <= r.top) return;
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void CellText(HDC dc, const std::string& text, RECT r, int fmt, COLORREF color) {
    r.left += kTextMargin;
    r.right -= kTextMargin;
    if (r.right <= r.left) return;
    const int align = fmt & LVCFMT_JUSTIFYMASK;
    SetTextColor(dc, color);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX |
                  (align == LVCFMT_RIGHT    ? DT_RIGHT
                   : align == LVCFMT_CENTER ? DT_CENTER
                                            : DT_LEFT));
}

LRESULT CustomDraw(HWND h, NMLVCUSTOMDRAW& cd) {
    return NotifyParent(h, NM_CUSTOMDRAW, &cd.nmcd.hdr);
}

// `font`: the list's own, selected again for each item the parent gave no font of its own.
void PaintItem(HWND h, HDC dc, int i, bool notify, HGDIOBJ font) {
    ListViewState* st = StateOf(h);
    const bool enabled = IsWindowEnabled(h);
    const UINT state = st->items[i].state;
    NMLVCUSTOMDRAW cd;
    cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    cd.nmcd.hdc = dc;
    cd.nmcd.rc = RowRect(h, st, i);
    cd.nmcd.dwItemSpec = static_cast<ULONG_PTR>(i);
    cd.nmcd.uItemState = (state & LVIS_SELECTED ? CDIS_SELECTED : 0) |
                         (st->focused && (state & LVIS_FOCUSED) ? CDIS_FOCUS : 0) |
                         (enabled ? 0 : CDIS_DISABLED);
    cd.nmcd.lItemlParam = st->items[i].param;
    cd.clrText = TextColor(st);
    cd.clrTextBk = TextBkColor(st);
    const LRESULT answer = notify ? CustomDraw(h, cd) : CDRF_DODEFAULT;
    if (!(st = StateOf(h)) || i >= Count(st)) return;
    if (!(answer & CDRF_SKIPDEFAULT)) {
        // Unless the parent chose a font for this item, the list's own.
        if (!(answer & CDRF_NEWFONT)) SelectObject(dc, font);
        const Item& it = st->items[i];
        // A parent that takes CDIS_SELECTED away draws the selection in colours of its own.
        const bool shown = (state & LVIS_SELECTED) && (cd.nmcd.uItemState & CDIS_SELECTED) &&
                           (st->focused || (ControlStyle(h) & LVS_SHOWSELALWAYS));
        const COLORREF text =
            enabled ? Resolve(cd.clrText, COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
        const COLORREF back = cd.clrTextBk == CLR_DEFAULT ? BkColor(st) : cd.clrTextBk;
        const COLORREF selText = GetSysColor(st->focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
        const COLORREF selBack = GetSysColor(st->focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
        const bool fullRow = IsReport(h) && (st->exStyle & LVS_EX_FULLROWSELECT);
        const int columns = IsReport(h) ? static_cast<int>(st->columns.size()) : 1;
        for (int c = 0; c < columns; ++c) {
            const RECT cell = CellRect(h, st, i, c);
            const bool lit = shown && (c == 0 || fullRow);
            const std::string& s =
                static_cast<std::size_t>(c) < it.texts.size() ? it.texts[c] : std::string();
            if (c == 0) {
                const RECT icon = IconRect(h, st, i);
                FillColor(dc, {cell.left, cell.top, icon.right, cell.bottom},
                          fullRow && lit ? selBack : back);
                if (it.image >= 0 && st->images[LVSIL_SMALL])
                    ImageList_Draw(st->images[LVSIL_SMALL], it.image, dc, icon.left,
                                   icon.top + (st->rowHeight - SmallIconSize(st).cy) / 2,
                                   lit ? ILD_SELECTED : ILD_TRANSPARENT);
                const RECT label = LabelRect(h, st, i);
                FillColor(dc, label, lit ? selBack : back);
                CellText(dc, s, label, LVCFMT_LEFT, lit ? selText : text);
            } else {
                FillColor(dc, cell, lit ? selBack : back);
                CellText(dc, s, cell, st->columns[c].fmt, lit ? selText : text);
            }
        }
        if (st->focused && (state & LVIS_FOCUSED)) {
            RECT f = fullRow || !IsReport(h) ? RowRect(h, st, i) : LabelRect(h, st, i);
            DrawFocusRect(dc, &f);
        }
    }
    if (answer & CDRF_NOTIFYPOSTPAINT) {
        cd.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
        CustomDraw(h, cd);
    }
}

void PaintGridLines(HWND h, HDC dc, const ListViewState* st) {
    const RECT client = Client(h);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(dc, pen);
    const int right = -st->scrollX + TotalWidth(h, st);
    for (int y = st->headerHeight + st->rowHeight - 1; y < client.bottom; y += st->rowHeight) {
        MoveToEx(dc, -st->scrollX, y, nullptr);
        LineTo(dc, right, y);
    }
    int x = -st->scrollX;
    for (int c : st->order) {
        x += st->columns[c].width;
        MoveToEx(dc, x - 1, st->headerHeight, nullptr);
        LineTo(dc, x - 1, client.bottom);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void Paint(HWND h, HDC dc) {
    ListViewState* st = StateOf(h);
    if (!st) return;
    const RECT client = Client(h);
    const int saved = SaveDC(dc);
    if (st->font) SelectObject(dc, st->font);
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    SetBkMode(dc, TRANSPARENT);
    IntersectClipRect(dc, 0, st->headerHeight, client.right, client.bottom);
    FillColor(dc, client, BkColor(st));
    NMLVCUSTOMDRAW cd;
    cd.nmcd.dwDrawStage = CDDS_PREPAINT;
    cd.nmcd.hdc = dc;
    cd.nmcd.rc = client;
    const LRESULT answer = CustomDraw(h, cd);
    if (!(answer & CDRF_SKIPDEFAULT)) {
        for (int i = 0;; ++i) {
            if (!(st = StateOf(h))) break;
            const int row = st->top + i;
            if (row >= Count(st) || RowTop(st, row) >= client.bottom) break;
            PaintItem(h, dc, row, answer & CDRF_NOTIFYITEMDRAW, font);
        }
        if ((st = StateOf(h)) && IsReport(h) && (st->exStyle & LVS_EX_GRIDLINES))
            PaintGridLines(h, dc, st);
    }
    if (answer & CDRF_NOTIFYPOSTPAINT) {
        cd.nmcd.dwDrawStage = CDDS_POSTPAINT;
        cd.nmcd.hdc = dc;
        CustomDraw(h, cd);
    }
    RestoreDC(dc, saved);
}

// --- input ---

void Activate(HWND h, UINT code, int item, POINT p, WPARAM keys) {
    NMITEMACTIVATE nm;
    nm.iItem = item;
    nm.ptAction = p;
    nm.uKeyFlags = static_cast<UINT>(keys);
    NotifyParent(h, code, &nm.hdr);
}

void LeftDown(HWND h, POINT p, WPARAM keys, bool dbl) {
    if (GetFocus() != h) SetFocus(h);
    ListViewState* st = StateOf(h);
    if (!st) return;
    LVHITTESTINFO info;
    info.pt = p;
    const int hit = HitTest(h, st, info);
    const bool multi = !(ControlStyle(h) & LVS_SINGLESEL);
    const bool ctrl = keys & MK_CONTROL, shift = keys & MK_SHIFT;
    if (hit >= 0) {
        if (multi && ctrl && !dbl) {
            ChangeState(h, hit, st->items[hit].state & LVIS_SELECTED ? 0 : LVIS_SELECTED,
                        LVIS_SELECTED);
            ChangeState(h, hit, LVIS_FOCUSED, LVIS_FOCUSED);
            if ((st = StateOf(h))) st->anchor = hit;
        } else {
            SelectOnly(h, hit, multi && shift && !dbl);
        }
    } else if (!(multi && ctrl)) {
        ClearOthers(h, -1, LVIS_SELECTED);
    }
    if (!(st = StateOf(h))) return;
    if (dbl) {
        st->pressed = false;
        Activate(h, NM_DBLCLK, hit, p, keys);
        return;
    }
    st->pressed = true;
    st->pressItem = hit;
    st->pressAt = p;
    SetCapture(h);
}

void LeftUp(HWND h) {
    ListViewState* st = StateOf(h);
    if (!st || !st->pressed) return;
    st->pressed = false;
    const int item = st->pressItem;
    const POINT p = st->pressAt;
    if (GetCapture() == h) ReleaseCapture();
    Activate(h, NM_CLICK, item, p, 0);
}

void RightDown(HWND h, POINT p) {
    if (GetFocus() != h) SetFocus(h);
    ListViewState* st = StateOf(h);
    if (!st) return;
    LVHITTESTINFO info;
    info.pt = p;
    const int hit = HitTest(h, st, info);
    if (hit >= 0 && !(st->items[hit].state & LVIS_SELECTED))
        SelectOnly(h, hit, false);
    else if (hit >= 0)
        ChangeState(h, hit, LVIS_FOCUSED, LVIS_FOCUSED);
    Activate(h, NM_RCLICK, hit, p, 0);
}

void KeyDown(HWND h, WPARAM vk) {
    NMLVKEYDOWN nm;
    nm.wVKey = static_cast<WORD>(vk);
    NotifyParent(h, LVN_KEYDOWN, &nm.hdr);
    ListViewState* st = StateOf(h);
    if (!st) return;
    const int n = Count(st), focus = FocusedItem(st), page = std::max(1, PerPage(h, st));
    int next = focus;
    switch (vk) {
        case VK_UP:
            next = focus - 1;
            break;
        case VK_DOWN:
            next = focus + 1;
            break;
        case VK_HOME:
            next = 0;
            break;
        case VK_END:
            next = n - 1;
            break;
        case VK_PRIOR:
            next = focus - (page - 1 > 0 ? page - 1 : 1);
            break;
        case VK_NEXT:
            next = focus + (page - 1 > 0 ? page - 1 : 1);
            break;
        case VK_LEFT:
        case VK_RIGHT:
            ScrollTo(h, st, st->top, st->scrollX + (vk == VK_LEFT ? -kLineScroll : kLineScroll));
            return;
        case VK_SPACE:
            if (focus >= 0 && (GetKeyState(VK_CONTROL) < 0) && !(ControlStyle(h) & LVS_SINGLESEL))
                ChangeState(h, focus, st->items[focus].state & LVIS_SELECTED ? 0 : LVIS_SELECTED,
                            LVIS_SELECTED);
            else if (focus >= 0)
                SelectOnly(h, focus, false);
            return;
        case VK_RETURN: {
            NMHDR ret;
            NotifyParent(h, NM_RETURN, &ret);
            return;
        }
        default:
            return;
    }
    if (n == 0) return;
    next = std::clamp(next, 0, n - 1);
    const bool multi = !(ControlStyle(h) & LVS_SINGLESEL);
    if (multi && GetKeyState(VK_CONTROL) < 0)
        ChangeState(h, next, LVIS_FOCUSED, LVIS_FOCUSED);
    else
        SelectOnly(h, next, multi && GetKeyState(VK_SHIFT) < 0);
    if ((st = StateOf(h))) EnsureVisible(h, st, next, false);
}

void CreateHeader(HWND h) {
    ListViewState* st = StateOf(h);
    DWORD style = WS_CHILD | HDS_HORZ | HDS_FULLDRAG;
    if (!(ControlStyle(h) & LVS_NOSORTHEADER)) style |= HDS_BUTTONS;
    HWND header =
        CreateWindowExA(0, WC_HEADERA, "", style, 0, 0, 0, 0, h, nullptr, nullptr, nullptr);
    if (!(st = StateOf(h))) return;
    st->header = header;
    if (header) SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(st->font), 0);
}

}  // namespace

LRESULT ListViewWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    ListViewState* st = KeepControlState<ListViewState>(h, msg);
    if (!st) return DefWindowProcA(h, msg, wParam, lParam);
    switch (msg) {
        case WM_CREATE:
            UpdateRowHeight(h, st);
            CreateHeader(h);
            Layout(h);
            return 0;
        case WM_SETFONT:
            st->font = reinterpret_cast<HFONT>(wParam);
            UpdateRowHeight(h, st);
            if (st->header) SendMessageA(st->header, WM_SETFONT, wParam, lParam);
            Layout(h);
            if (lParam) InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_SIZE:
            Layout(h);
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_STYLECHANGED:
            if (wParam == static_cast<WPARAM>(GWL_STYLE)) {
                SyncHeaderStyle(h);
                Layout(h);
                InvalidateRect(h, nullptr, TRUE);
            }
            return 0;
        case WM_NOTIFY: {
            // The header's notices go on to the parent, whose answer stands (it may refuse a
            // divider's drag or a heading's drop).
            const auto* nm = reinterpret_cast<const NMHEADERA*>(lParam);
            if (!nm || !st->header || nm->hdr.hwndFrom != st->header) return 0;
            HWND parent = GetParent(h);
            const LRESULT answer = parent ? SendMessageA(parent, WM_NOTIFY, wParam, lParam) : 0;
            if (!StateOf(h)) return answer;
            if (nm->hdr.code == HDN_ITEMCHANGEDA) {
                HeaderChanged(h, *nm);
            } else if (nm->hdr.code == HDN_ITEMCLICKA) {
                NMLISTVIEW click;
                click.iSubItem = nm->iItem;
                NotifyParent(h, LVN_COLUMNCLICK, &click.hdr);
            }
            return answer;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
            Scroll(h, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL: {
            const int notches = static_cast<int16_t>(HIWORD(wParam)) / WHEEL_DELTA;
            ScrollTo(h, st, st->top - notches * kWheelRows, st->scrollX);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            LeftDown(h, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, wParam,
                     msg == WM_LBUTTONDBLCLK);
            return 0;
        case WM_LBUTTONUP:
            LeftUp(h);
            return 0;
        case WM_RBUTTONDOWN:
            RightDown(h, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_CAPTURECHANGED:
            st->pressed = false;
            return 0;
        case WM_KEYDOWN:
            KeyDown(h, wParam);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            st->focused = msg == WM_SETFOCUS;
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case LVM_GETBKCOLOR:
            return BkColor(st);
        case LVM_SETBKCOLOR:
        case LVM_SETTEXTCOLOR:
        case LVM_SETTEXTBKCOLOR:
            (msg == LVM_SETBKCOLOR     ? st->bk
             : msg == LVM_SETTEXTCOLOR ? st->text
                                       : st->textBk) = static_cast<COLORREF>(lParam);
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        case LVM_GETTEXTCOLOR:
            return TextColor(st);
        case LVM_GETTEXTBKCOLOR:
            return TextBkColor(st);
        case LVM_GETIMAGELIST:
            return wParam < 3 ? reinterpret_cast<LRESULT>(st->images[wParam]) : 0;
        case LVM_SETIMAGELIST: {
            if (wParam >= 3) return 0;
            HIMAGELIST old = st->images[wParam];
            st->images[wParam] = reinterpret_cast<HIMAGELIST>(lParam);
            if (wParam == LVSIL_SMALL && st->header)
                SendMessageA(st->header, HDM_SETIMAGELIST, 0, lParam);
            if ((st = StateOf(h))) {
                UpdateRowHeight(h, st);
                Layout(h);
            }
            InvalidateRect(h, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(old);
        }
        case LVM_GETITEMCOUNT:
            return Count(st);
        case LVM_GETITEMA: {
            auto* item = reinterpret_cast<LVITEMA*>(lParam);
            return item ? GetItem(h, *item) : FALSE;
        }
        case LVM_SETITEMA: {
            const auto* item = reinterpret_cast<const LVITEMA*>(lParam);
            return item ? SetItem(h, *item) : FALSE;
        }
        case LVM_INSERTITEMA: {
            const auto* item = reinterpret_cast<const LVITEMA*>(lParam);
            return item ? InsertItem(h, *item) : -1;
        }
        case LVM_DELETEITEM:
            return DeleteItem(h, static_cast<int>(wParam));
        case LVM_DELETEALLITEMS:
            return DeleteAllItems(h);
        case LVM_GETNEXTITEM:
            return NextItem(st, static_cast<int>(wParam), static_cast<UINT>(lParam));
        case LVM_GETITEMRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            const int i = static_cast<int>(wParam);
            if (!r || i < 0 || i >= Count(st)) return FALSE;
            switch (r->left) {
                case LVIR_ICON:
                    *r = IconRect(h, st, i);
                    break;
                case LVIR_LABEL:
                    *r = LabelRect(h, st, i);
                    break;
                case LVIR_SELECTBOUNDS:
                    *r = (st->exStyle & LVS_EX_FULLROWSELECT) || !IsReport(h) ? RowRect(h, st, i)
                                                                              : LabelCell(h, st, i);
                    break;
                default:
                    *r = RowRect(h, st, i);
                    break;
            }
            return TRUE;
        }
        case LVM_HITTEST: {
            auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
            return info ? HitTest(h, st, *info) : -1;
        }
        case LVM_ENSUREVISIBLE:
            EnsureVisible(h, st, static_cast<int>(wParam), lParam != 0);
            return TRUE;
        case LVM_SCROLL: {
            // Rows scroll whole: dy goes to the nearest number of rows.
            const int dy = static_cast<int>(lParam);
            const int rows = (dy + (dy < 0 ? -st->rowHeight : st->rowHeight) / 2) / st->rowHeight;
            ScrollTo(h, st, st->top + rows,
                     st->scrollX + static_cast<int>(static_cast<intptr_t>(wParam)));
            return TRUE;
        }
        case LVM_REDRAWITEMS: {
            const int first = std::max(0, static_cast<int>(wParam));
            const int last = std::min(Count(st) - 1, static_cast<int>(lParam));
            for (int i = first; i <= last; ++i)
                InvalidateRow(h, st, i);
            return TRUE;
        }
        case LVM_GETCOLUMNA: {
            auto* c = reinterpret_cast<LVCOLUMNA*>(lParam);
            return c ? GetColumn(h, static_cast<int>(wParam), *c) : FALSE;
        }
        case LVM_SETCOLUMNA: {
            const auto* c = reinterpret_cast<const LVCOLUMNA*>(lParam);
            return c ? SetColumn(h, static_cast<int>(wParam), *c) : FALSE;
        }
        case LVM_INSERTCOLUMNA: {
            const auto* c = reinterpret_cast<const LVCOLUMNA*>(lParam);
            return c ? InsertColumn(h, static_cast<int>(wParam), *c) : -1;
        }
        case LVM_DELETECOLUMN:
            return DeleteColumn(h, static_cast<int>(wParam));
        case LVM_GETCOLUMNWIDTH: {
            const int c = static_cast<int>(wParam);
            return c >= 0 && c < static_cast<int>(st->columns.size()) ? st->columns[c].width : 0;
        }
        case LVM_SETCOLUMNWIDTH:
            return SetColumnWidth(h, static_cast<int>(wParam),
                                  static_cast<int16_t>(LOWORD(lParam)));
        case LVM_GETHEADER:
            return reinterpret_cast<LRESULT>(st->header);
        case LVM_GETTOPINDEX:
            return st->top;
        case LVM_GETCOUNTPERPAGE:
            return PerPage(h, st);
        case LVM_SETITEMSTATE: {
            const auto* item = reinterpret_cast<const LVITEMA*>(lParam);
            const int i = static_cast<int>(wParam);
            if (!item || i >= Count(st) || i < -1) return FALSE;
            ChangeState(h, i, item->state, item->stateMask);
            return TRUE;
        }
        case LVM_GETITEMSTATE: {
            const int i = static_cast<int>(wParam);
            return i >= 0 && i < Count(st) ? st->items[i].state & static_cast<UINT>(lParam) : 0;
        }
        case LVM_GETITEMTEXTA: {
            auto* item = reinterpret_cast<LVITEMA*>(lParam);
            if (!item) return 0;
            item->iItem = static_cast<int>(wParam);
            item->mask = LVIF_TEXT;
            if (!GetItem(h, *item) || !item->pszText || item->cchTextMax <= 0) return 0;
            return static_cast<LRESULT>(std::strlen(item->pszText));
        }
        case LVM_SETITEMTEXTA: {
            const auto* item = reinterpret_cast<const LVITEMA*>(lParam);
            if (!item) return FALSE;
            LVITEMA text = *item;
            text.iItem = static_cast<int>(wParam);
            text.mask = LVIF_TEXT;
            return SetItem(h, text);
        }
        case LVM_GETSELECTEDCOUNT:
            return std::count_if(st->items.begin(), st->items.end(),
                                 [](const Item& it) { return (it.state & LVIS_SELECTED) != 0; });
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            const DWORD old = st->exStyle;
            const auto mask = static_cast<DWORD>(wParam), style = static_cast<DWORD>(lParam);
            st->exStyle = mask ? (old & ~mask) | (style & mask) : style;
            SyncHeaderStyle(h);
            InvalidateRect(h, nullptr, TRUE);
            return old;
        }
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return st->exStyle;
        case LVM_GETCOLUMNORDERARRAY: {
            auto* out = reinterpret_cast<int*>(lParam);
            if (!out || static_cast<std::size_t>(wParam) < st->order.size()) return FALSE;
            std::copy(st->order.begin(), st->order.end(), out);
            return TRUE;
        }
        case LVM_SETCOLUMNORDERARRAY: {
            if (!st->header) return FALSE;
            if (!SendMessageA(st->header, HDM_SETORDERARRAY, wParam, lParam)) return FALSE;
            if ((st = StateOf(h))) ReadOrder(st);
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        }
        case LVM_GETVIEW:
            return ControlStyle(h) & LVS_TYPEMASK;
        default:
            break;
    }
    return PaintedControlDefault(h, msg, wParam, lParam, Paint);
}

}  // namespace win
