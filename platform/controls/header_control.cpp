// The "SysHeader32" class. Items are kept by index; the order array says which item stands at
// each position from the left. The mouse works in one of three modes, each holding the capture:
//
//   Track: pressed on a divider; every move sets the item's width (never below 0).
//   Press: pressed on an item (HDS_BUTTONS or HDS_DRAGDROP); the item looks pushed while the
//          cursor is over it, and a release over it is a click. With HDS_DRAGDROP, moving
//          further than the drag distance turns the press into a drag.
//   Drag:  the item follows the cursor; the release puts it at the position it is dropped on.
//
// Losing the capture ends any mode without a click or a move; a width already tracked stays.
#include "platform/controls/header_control.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/classic_paint.h"
#include "platform/controls/native_control.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace win {

namespace {

constexpr int kDivider = 5;  // pixels either side of an item's right edge that grab the divider
constexpr int kMargin = 6;   // between an item's edges and its contents
constexpr int kArrow = 8;    // width of the sort arrow

struct HeaderItem {
    std::string text;
    int width = 0;
    int fmt = HDF_LEFT | HDF_STRING;
    int image = -1;
    LPARAM lParam = 0;
    HBITMAP bitmap = nullptr;
};

enum class Mode { None, Track, Press, Drag };

struct HeaderState {
    HFONT font = nullptr;
    HIMAGELIST images = nullptr;
    std::vector<HeaderItem> items;
    std::vector<int> order;  // position -> item index
    Mode mode = Mode::None;
    int item = -1;  // the item tracked, pressed or dragged
    int startX = 0;
    int startWidth = 0;
    bool over = false;  // the cursor is over the pressed item
    int dragX = 0;
};

HeaderState* StateOf(HWND h) {
    return ControlState<HeaderState>(h);
}

int Count(const HeaderState& st) {
    return static_cast<int>(st.items.size());
}

int PositionOf(const HeaderState& st, int index) {
    auto it = std::find(st.order.begin(), st.order.end(), index);
    return it == st.order.end() ? -1 : static_cast<int>(it - st.order.begin());
}

// The left edge of the item at a position.
int LeftOfPosition(const HeaderState& st, int position) {
    int x = 0;
    for (int p = 0; p < position && p < Count(st); ++p)
        x += st.items[st.order[p]].width;
    return x;
}

RECT ItemRect(HWND h, const HeaderState& st, int index) {
    RECT client;
    GetClientRect(h, &client);
    const int left = LeftOfPosition(st, PositionOf(st, index));
    return {left, 0, left + st.items[index].width, client.bottom};
}

int HitTest(HWND h, const HeaderState& st, HDHITTESTINFO& info) {
    RECT client;
    GetClientRect(h, &client);
    const POINT p = info.pt;
    info.flags = 0;
    info.iItem = -1;
    if (p.y < 0) info.flags |= HHT_ABOVE;
    if (p.y >= client.bottom) info.flags |= HHT_BELOW;
    if (p.x < 0) info.flags |= HHT_TOLEFT;
    if (p.x >= client.right) info.flags |= HHT_TORIGHT;
    if (info.flags) return -1;
    int x = 0;
    for (int pos = 0; pos < Count(st); ++pos) {
        const int i = st.order[pos];
        const int right = x + st.items[i].width;
        if (p.x >= x && p.x < right - kDivider) {
            info.flags = HHT_ONHEADER;
            info.iItem = i;
            return i;
        }
        if (p.x >= right - kDivider && p.x < right + kDivider) {
            // Right of an edge followed by hidden items, the first of them opens.
            if (p.x >= right && pos + 1 < Count(st) && st.items[st.order[pos + 1]].width == 0) {
                info.flags = HHT_ONDIVOPEN;
                info.iItem = st.order[pos + 1];
                return info.iItem;
            }
            info.flags = HHT_ONDIVIDER;
            info.iItem = i;
            return i;
        }
        x = right;
    }
    info.flags = HHT_NOWHERE;
    return -1;
}

LRESULT Notify(HWND h, UINT code, int item, HDITEMA* change) {
    NMHEADERA nm;
    nm.iItem = item;
    nm.pitem = change;
    return NotifyParent(h, code, &nm.hdr);
}

void MoveToPosition(HeaderState& st, int index, int position) {
    const int from = PositionOf(st, index);
    if (from < 0) return;
    position = std::clamp(position, 0, Count(st) - 1);
    st.order.erase(st.order.begin() + from);
    st.order.insert(st.order.begin() + position, index);
}

void Apply(HeaderState& st, int i, const HDITEMA& c) {
    HeaderItem& it = st.items[i];
    if (c.mask & HDI_WIDTH) it.width = std::max(0, c.cxy);
    if (c.mask & HDI_TEXT) it.text = c.pszText ? c.pszText : "";
    if (c.mask & HDI_FORMAT) it.fmt = c.fmt;
    if (c.mask & HDI_LPARAM) it.lParam = c.lParam;
    if (c.mask & HDI_BITMAP) it.bitmap = c.hbm;
    if (c.mask & HDI_IMAGE) it.image = c.iImage;
    if (c.mask & HDI_ORDER) MoveToPosition(st, i, c.iOrder);
}

// A change with HDN_ITEMCHANGING first (the parent may refuse it) and HDN_ITEMCHANGED after.
bool ChangeItem(HWND h, int i, HDITEMA change) {
    if (Notify(h, HDN_ITEMCHANGINGA, i, &change)) return false;
    HeaderState* st = StateOf(h);
    if (!st || i < 0 || i >= Count(*st)) return false;
    Apply(*st, i, change);
    InvalidateRect(h, nullptr, TRUE);
    Notify(h, HDN_ITEMCHANGEDA, i, &change);
    return true;
}

void Insert(HeaderState& st, int index, const HDITEMA& c) {
    for (int& o : st.order)
        if (o >= index) ++o;
    st.items.insert(st.items.begin() + index, HeaderItem{});
    st.order.insert(st.order.begin() + std::min(index, static_cast<int>(st.order.size())), index);
    HDITEMA fields = c;
    fields.mask &= ~HDI_ORDER;
    Apply(st, index, fields);
    if (c.mask & HDI_ORDER) MoveToPosition(st, index, c.iOrder);
}

void Delete(HeaderState& st, int index) {
    st.items.erase(st.items.begin() + index);
    st.order.erase(std::remove(st.order.begin(), st.order.end(), index), st.order.end());
    for (int& o : st.order)
        if (o > index) --o;
    if (st.item == index) st.mode = Mode::None;
}

void Fill(HeaderState& st, int i, HDITEMA& out) {
    const HeaderItem& it = st.items[i];
    if (out.mask & HDI_WIDTH) out.cxy = it.width;
    if (out.mask & HDI_TEXT) CopyTextOut(it.text, out.pszText, out.cchTextMax);
    if (out.mask & HDI_FORMAT) out.fmt = it.fmt;
    if (out.mask & HDI_LPARAM) out.lParam = it.lParam;
    if (out.mask & HDI_BITMAP) out.hbm = it.bitmap;
    if (out.mask & HDI_IMAGE) out.iImage = it.image;
    if (out.mask & HDI_ORDER) out.iOrder = PositionOf(st, i);
}

// Where a dragged item would land: the number of the other items whose middles lie left of x.
int DropPosition(const HeaderState& st, int x) {
    int position = 0, left = 0;
    for (int pos = 0; pos < Count(st); ++pos) {
        const int i = st.order[pos];
        const int w = st.items[i].width;
        if (i != st.item && left + w / 2 < x) ++position;
        left += w;
    }
    return position;
}

void SortArrow(HDC dc, int x, int midY, bool up) {
    const COLORREF c = GetSysColor(COLOR_BTNSHADOW);
    HBRUSH br = CreateSolidBrush(c);
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HGDIOBJ ob = SelectObject(dc, br), op = SelectObject(dc, pen);
    const POINT upward[3] = {
        {x, midY + 2}, {x + kArrow - 2, midY + 2}, {x + (kArrow - 2) / 2, midY - 2}};
    const POINT downward[3] = {
        {x, midY - 2}, {x + kArrow - 2, midY - 2}, {x + (kArrow - 2) / 2, midY + 2}};
    Polygon(dc, up ? upward : downward, 3);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(br);
    DeleteObject(pen);
}

void PaintItem(HWND h, HDC dc, const HeaderState& st, const HeaderItem& it, RECT r, bool pushed) {
    DrawRaisedFrame(dc, r, pushed);
    RECT box{r.left + kMargin, r.top + 2, r.right - kMargin, r.bottom - 2};
    if (pushed) OffsetRect(&box, 1, 1);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
    const int midY = (box.top + box.bottom) / 2;
    if ((it.fmt & HDF_BITMAP) && it.bitmap) {
        BITMAP bm{};
        GetObject(it.bitmap, sizeof bm, &bm);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, it.bitmap);
        BitBlt(dc, box.left, midY - bm.bmHeight / 2, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        box.left += bm.bmWidth + kMargin / 2;
    }
    int iw = 0, ih = 0;
    if ((it.fmt & HDF_IMAGE) && st.images && it.image >= 0 &&
        ImageList_GetIconSize(st.images, &iw, &ih)) {
        ImageList_Draw(st.images, it.image, dc, box.left, midY - ih / 2, ILD_TRANSPARENT);
        box.left += iw + kMargin / 2;
    }
    const bool arrow = (it.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
    if (arrow) box.right -= kArrow + kMargin;
    SIZE ext{};
    GetTextExtentPoint32(dc, it.text.c_str(), static_cast<int>(it.text.size()), &ext);
    const int align = it.fmt & HDF_JUSTIFYMASK;
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX |
                       (align == HDF_RIGHT    ? DT_RIGHT
                        : align == HDF_CENTER ? DT_CENTER
                                              : DT_LEFT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(h) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT text = box;
    DrawTextA(dc, it.text.c_str(), static_cast<int>(it.text.size()), &text, flags);
    if (arrow) {
        const int width = std::min<int>(ext.cx, std::max<LONG>(0, box.right - box.left));
        const int textRight = align == HDF_RIGHT    ? box.right
                              : align == HDF_CENTER ? (box.left + box.right + width) / 2
                                                    : box.left + width;
        SortArrow(dc, textRight + kMargin, midY, (it.fmt & HDF_SORTUP) != 0);
    }
    RestoreDC(dc, saved);
}

void Paint(HWND h, HDC dc) {
    HeaderState* st = StateOf(h);
    if (!st) return;
    RECT client;
    GetClientRect(h, &client);
    const int saved = SaveDC(dc);
    if (st->font) SelectObject(dc, st->font);
    FillSysColor(dc, client, COLOR_BTNFACE);
    int x = 0;
    for (int pos = 0; pos < Count(*st); ++pos) {
        const int i = st->order[pos];
        const HeaderItem& it = st->items[i];
        if (it.width > 0) {
            const bool pushed =
                st->item == i && ((st->mode == Mode::Press && st->over) || st->mode == Mode::Drag);
            PaintItem(h, dc, *st, it, {x, 0, x + it.width, client.bottom}, pushed);
        }
        x += it.width;
    }
    if (x < client.right) DrawRaisedFrame(dc, {x, 0, client.right, client.bottom}, false);
    if (st->mode == Mode::Drag) {
        // A mark on the edge where the item would go, in the layout as it still stands.
        const int target = DropPosition(*st, st->dragX);
        const int from = PositionOf(*st, st->item);
        const int edge = LeftOfPosition(*st, target > from ? target + 1 : target);
        FillSysColor(dc, {edge - 1, 0, edge + 1, client.bottom}, COLOR_HIGHLIGHT);
    }
    RestoreDC(dc, saved);
}

void EndMode(HWND h, HeaderState* st) {
    st->mode = Mode::None;
    st->item = -1;
    if (GetCapture() == h) ReleaseCapture();
    InvalidateRect(h, nullptr, TRUE);
}

void MouseDown(HWND h, HeaderState* st, POINT p, bool dbl) {
    HDHITTESTINFO info;
    info.pt = p;
    HitTest(h, *st, info);
    const bool divider = info.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN);
    if (dbl) {
        if (divider)
            Notify(h, HDN_DIVIDERDBLCLICKA, info.iItem, nullptr);
        else if (info.flags & HHT_ONHEADER)
            Notify(h, HDN_ITEMDBLCLICKA, info.iItem, nullptr);
        return;
    }
    if (divider) {
        HDITEMA w;
        w.mask = HDI_WIDTH;
        w.cxy = st->items[info.iItem].width;
        if (Notify(h, HDN_BEGINTRACKA, info.iItem, &w)) return;
        if (!(st = StateOf(h)) || info.iItem >= Count(*st)) return;
        st->mode = Mode::Track;
        st->startWidth = st->items[info.iItem].width;
    } else if ((info.flags & HHT_ONHEADER) && (ControlStyle(h) & (HDS_BUTTONS | HDS_DRAGDROP))) {
        st->mode = Mode::Press;
        st->over = true;
        InvalidateRect(h, nullptr, TRUE);
    } else {
        return;
    }
    st->item = info.iItem;
    st->startX = p.x;
    SetCapture(h);
}

void MouseMove(HWND h, HeaderState* st, POINT p) {
    switch (st->mode) {
        case Mode::Track: {
            const int i = st->item;
            HDITEMA w;
            w.mask = HDI_WIDTH;
            w.cxy = std::max(0, st->startWidth + p.x - st->startX);
            if (w.cxy == st->items[i].width) return;
            Notify(h, HDN_TRACKA, i, &w);
            ChangeItem(h, i, w);
            return;
        }
        case Mode::Press: {
            if ((ControlStyle(h) & HDS_DRAGDROP) &&
                std::abs(p.x - st->startX) > GetSystemMetrics(SM_CXDRAG)) {
                if (!Notify(h, HDN_BEGINDRAG, st->item, nullptr) && (st = StateOf(h)) &&
                    st->mode == Mode::Press) {
                    st->mode = Mode::Drag;
                    st->dragX = p.x;
                    InvalidateRect(h, nullptr, TRUE);
                }
                return;
            }
            HDHITTESTINFO info;
            info.pt = p;
            const bool over = HitTest(h, *st, info) == st->item && (info.flags & HHT_ONHEADER);
            if (over != st->over) {
                st->over = over;
                InvalidateRect(h, nullptr, TRUE);
            }
            return;
        }
        case Mode::Drag:
            st->dragX = p.x;
            InvalidateRect(h, nullptr, TRUE);
            return;
        case Mode::None:
            return;
    }
}

void MouseUp(HWND h, HeaderState* st, POINT p) {
    const Mode mode = st->mode;
    const int i = st->item;
    const bool over = st->over;
    const int target = mode == Mode::Drag ? DropPosition(*st, p.x) : 0;
    HDITEMA w;
    w.mask = HDI_WIDTH;
    w.cxy = i >= 0 ? st->items[i].width : 0;
    EndMode(h, st);
    switch (mode) {
        case Mode::Track:
            Notify(h, HDN_ENDTRACKA, i, &w);
            break;
        case Mode::Press:
            if (over && (ControlStyle(h) & HDS_BUTTONS)) Notify(h, HDN_ITEMCLICKA, i, nullptr);
            break;
        case Mode::Drag: {
            HDITEMA moved;
            moved.mask = HDI_ORDER;
            moved.iOrder = target;
            if (Notify(h, HDN_ENDDRAG, i, &moved)) break;
            if ((st = StateOf(h)) && i < Count(*st) && PositionOf(*st, i) != target) {
                MoveToPosition(*st, i, target);
                InvalidateRect(h, nullptr, TRUE);
                Notify(h, HDN_ITEMCHANGEDA, i, &moved);
            }
            break;
        }
        case Mode::None:
            break;
    }
}

}  // namespace

LRESULT HeaderWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    HeaderState* st = KeepControlState<HeaderState>(h, msg);
    if (!st) return DefWindowProcA(h, msg, wParam, lParam);
    switch (msg) {
        case WM_SETFONT:
            st->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case HDM_GETITEMCOUNT:
            return Count(*st);
        case HDM_INSERTITEMA: {
            const auto* item = reinterpret_cast<const HDITEMA*>(lParam);
            if (!item) return -1;
            const int index = std::clamp(static_cast<int>(wParam), 0, Count(*st));
            Insert(*st, index, *item);
            InvalidateRect(h, nullptr, TRUE);
            return index;
        }
        case HDM_DELETEITEM: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= Count(*st)) return FALSE;
            Delete(*st, index);
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        }
        case HDM_GETITEMA: {
            auto* item = reinterpret_cast<HDITEMA*>(lParam);
            const int index = static_cast<int>(wParam);
            if (!item || index < 0 || index >= Count(*st)) return FALSE;
            Fill(*st, index, *item);
            return TRUE;
        }
        case HDM_SETITEMA: {
            const auto* item = reinterpret_cast<const HDITEMA*>(lParam);
            const int index = static_cast<int>(wParam);
            if (!item || index < 0 || index >= Count(*st)) return FALSE;
            return ChangeItem(h, index, *item);
        }
        case HDM_LAYOUT: {
            auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
            if (!layout || !layout->prc || !layout->pwpos) return FALSE;
            const int height = (ControlStyle(h) & HDS_HIDDEN) ? 0 : FontLineHeight(h, st->font) + 6;
            RECT& r = *layout->prc;
            *layout->pwpos = WINDOWPOS{
                h, nullptr, r.left, r.top, r.right - r.left, height, SWP_NOZORDER | SWP_NOACTIVATE};
            r.top += height;
            return TRUE;
        }
        case HDM_HITTEST: {
            auto* info = reinterpret_cast<HDHITTESTINFO*>(lParam);
            return info ? HitTest(h, *st, *info) : -1;
        }
        case HDM_GETITEMRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            const int index = static_cast<int>(wParam);
            if (!r || index < 0 || index >= Count(*st)) return FALSE;
            *r = ItemRect(h, *st, index);
            return TRUE;
        }
        case HDM_SETIMAGELIST: {
            HIMAGELIST old = st->images;
            st->images = reinterpret_cast<HIMAGELIST>(lParam);
            InvalidateRect(h, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(old);
        }
        case HDM_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(st->images);
        case HDM_ORDERTOINDEX: {
            const int pos = static_cast<int>(wParam);
            return pos >= 0 && pos < Count(*st) ? st->order[pos] : pos;
        }
        case HDM_GETORDERARRAY: {
            auto* out = reinterpret_cast<int*>(lParam);
            if (!out || static_cast<int>(wParam) < Count(*st)) return FALSE;
            std::copy(st->order.begin(), st->order.end(), out);
            return TRUE;
        }
        case HDM_SETORDERARRAY: {
            const auto* in = reinterpret_cast<const int*>(lParam);
            if (!in || static_cast<int>(wParam) != Count(*st)) return FALSE;
            std::vector<int> order(in, in + Count(*st));
            std::vector<int> sorted = order;
            std::sort(sorted.begin(), sorted.end());
            for (int i = 0; i < Count(*st); ++i)
                if (sorted[i] != i) return FALSE;  // not a permutation of the items
            st->order = std::move(order);
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (st->mode == Mode::None)
                MouseDown(h, st, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                          msg == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
            MouseMove(h, st, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_LBUTTONUP:
            if (st->mode != Mode::None)
                MouseUp(h, st, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_CAPTURECHANGED:
            if (st->mode != Mode::None && reinterpret_cast<HWND>(lParam) != h) {
                st->mode = Mode::None;
                st->item = -1;
                InvalidateRect(h, nullptr, TRUE);
            }
            return 0;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == h && LOWORD(lParam) == HTCLIENT) {
                HDHITTESTINFO info;
                GetCursorPos(&info.pt);
                ScreenToClient(h, &info.pt);
                HitTest(h, *st, info);
                if (st->mode == Mode::Track || (info.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))) {
                    SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
                    return TRUE;
                }
            }
            break;
        default:
            break;
    }
    return PaintedControlDefault(h, msg, wParam, lParam, Paint);
}

}  // namespace win
