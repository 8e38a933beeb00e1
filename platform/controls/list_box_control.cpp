// The "ListBox" class and "ComboLBox", the same list serving a combo box.
//
// Items hold cp1251 text (LBS_HASSTRINGS, implied unless owner-drawn) and a data value; with
// LBS_NODATA they hold nothing and the owner draws them by number (LB_SETCOUNT sets how many).
// Selection is single, LBS_MULTIPLESEL (a click toggles), LBS_EXTENDEDSEL (Shift and Ctrl
// extend from the anchor) or LBS_NOSEL. The caret is the item with the focus frame.
//
// Rules the list keeps:
//  1. The top index stays within what fills the client area: no scrolling past the last page.
//  2. The standard bars mirror the state: the vertical one counts items (nPos is the top
//     index), a multi-column list's horizontal one counts columns, another list's horizontal
//     one counts pixels of LB_SETHORIZONTALEXTENT. A bar shows only when the window was made
//     with its style and, unless LBS_DISABLENOSCROLL, only while there is something to scroll.
//  3. A thumb position is read with SIF_TRACKPOS, never from the 16-bit word of the message, so
//     a bar driven from outside can scroll past 65 535 items.
//  4. LBN_SELCHANGE (with LBS_NOTIFY) follows changes the operator makes, never those asked by
//     a message.
//  5. A "ComboLBox" tells its combo box, never its parent; its owner-drawn items are drawn and
//     measured by the combo box's parent as ODT_COMBOBOX items of the combo box. Dropped (a
//     pop-up), it never takes the activation or the focus, holds the mouse capture and finds
//     what a press hit in window coordinates: an item, its scroll bar, or outside.
#include "platform/controls/list_box_control.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls/classic_paint.h"
#include "platform/controls/native_control.h"
#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/os/cp1251.h"
#include "platform/user/user.h"

namespace win {

namespace {

constexpr UINT_PTR kDragTimer = 1;  // scrolls while a drag is held above or below the items
constexpr UINT kDragRepeat = 50;
constexpr uint32_t kTypeAheadMs = 1000;  // typed letters within this time add to one prefix
constexpr int kTextMargin = 2;
constexpr int kWheelLines = 3;

enum class SelMode { Single, Multiple, Extended, None };

struct ListBoxState {
    bool comboList = false;
    HWND combo = nullptr;
    DWORD style = 0;  // the LBS_ bits, made consistent at creation
    bool wantV = false, wantH = false;
    HFONT font = nullptr;
    int avgChar = 6;

    int count = 0;
    std::vector<std::string> text;  // with strings
    std::vector<ULONG_PTR> data;    // without LBS_NODATA
    std::vector<uint8_t> selected;  // multiple and extended selection
    std::vector<int> heights;       // LBS_OWNERDRAWVARIABLE

    int itemHeight = 16;
    int top = 0;
    int selection = -1;  // single selection
    int caret = -1;
    int anchor = -1;
    int columnWidth = 0;
    int horzExtent = 0;
    int horzPos = 0;
    std::vector<int> tabStops;  // pixels; empty: every 32 dialog units

    bool focused = false;
    bool captured = false;  // a press is being dragged
    bool tracking = false;  // combo list: the press that dropped it is still held
    bool updatingBars = false;
    bool barsAgain = false;
    std::string typed;
    uint32_t typedAt = 0;

    bool OwnerDraw() const { return (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
    bool Variable() const { return (style & LBS_OWNERDRAWVARIABLE) != 0; }
    bool Strings() const { return (style & LBS_HASSTRINGS) != 0; }
    bool NoData() const { return (style & LBS_NODATA) != 0; }
    bool MultiColumn() const { return (style & LBS_MULTICOLUMN) != 0; }
    SelMode Mode() const {
        if (style & LBS_NOSEL) return SelMode::None;
        if (style & LBS_EXTENDEDSEL) return SelMode::Extended;
        if (style & LBS_MULTIPLESEL) return SelMode::Multiple;
        return SelMode::Single;
    }
    bool Multi() const { return Mode() == SelMode::Multiple || Mode() == SelMode::Extended; }
    bool Valid(int i) const { return i >= 0 && i < count; }
    int HeightOf(int i) const {
        return Variable() ? heights[static_cast<std::size_t>(i)] : itemHeight;
    }
    bool IsSel(int i) const {
        return Multi() ? selected[static_cast<std::size_t>(i)] != 0 : i == selection;
    }
};

RECT Client(HWND h) {
    RECT r;
    GetClientRect(h, &r);
    return r;
}

bool Dropped(HWND h, const ListBoxState& st) {
    return st.comboList && (ControlStyle(h) & WS_POPUP) && IsWindowVisible(h);
}

// --- the owner and the parent ---

struct Owner {
    HWND to;
    UINT type;
    UINT id;
    HWND item;
};

Owner OwnerOf(HWND h, const ListBoxState& st) {
    if (st.comboList && IsWindow(st.combo))
        return {GetParent(st.combo), ODT_COMBOBOX, static_cast<UINT>(GetDlgCtrlID(st.combo)),
                st.combo};
    return {GetParent(h), ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(h)), h};
}

void Notify(HWND h, const ListBoxState& st, WORD code) {
    if (st.comboList) {
        if (IsWindow(st.combo))
            SendMessageA(st.combo, WM_COMMAND, MAKEWPARAM(kComboListId, code),
                         reinterpret_cast<LPARAM>(h));
        return;
    }
    if (!(st.style & LBS_NOTIFY) && code != LBN_ERRSPACE) return;
    if (HWND parent = GetParent(h))
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code),
                     reinterpret_cast<LPARAM>(h));
}

// The background brush, with the DC's colours set by whoever answers WM_CTLCOLORLISTBOX: the
// combo box of a combo list, else the parent.
HBRUSH CtlColor(HWND h, const ListBoxState& st, HDC dc) {
    return AskControlColor(h, WM_CTLCOLORLISTBOX, dc,
                           st.comboList && IsWindow(st.combo) ? st.combo : nullptr);
}

// --- font metrics ---

// The font's line height; its average character width (a quarter of it is a dialog unit).
int MeasureFont(HWND h, ListBoxState& st) {
    const int alphabet =
        TextWidthIn(h, st.font, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    st.avgChar = std::max(1, (alphabet / 26 + 1) / 2);
    return std::max(1, FontLineHeight(h, st.font));
}

int MeasureItem(HWND h, const ListBoxState& st, int index, ULONG_PTR data, int fallback) {
    const Owner o = OwnerOf(h, st);
    MEASUREITEMSTRUCT mis;
    mis.CtlType = o.type;
    mis.CtlID = o.id;
    mis.itemID = static_cast<UINT>(index);
    mis.itemWidth = 0;
    mis.itemHeight = static_cast<UINT>(fallback);
    mis.itemData = data;
    if (o.to) SendMessageA(o.to, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    return std::clamp<int>(static_cast<int>(mis.itemHeight), 1, 255);
}

// --- geometry ---

int ColumnWidth(const ListBoxState& st) {
    return st.columnWidth > 0 ? st.columnWidth : st.avgChar * 16;
}

// Rows of a column (multi-column) or whole rows in view (fixed heights), at least one.
int Rows(HWND h, const ListBoxState& st) {
    return std::max(1, static_cast<int>(Client(h).bottom) / st.itemHeight);
}

// Items wholly in view from the top, at least one while there are items.
int FullItems(HWND h, const ListBoxState& st) {
    if (st.MultiColumn()) {
        const int cols = std::max(1, static_cast<int>(Client(h).right) / ColumnWidth(st));
        return cols * Rows(h, st);
    }
    if (!st.Variable()) return Rows(h, st);
    const int height = Client(h).bottom;
    int used = 0, n = 0;
    for (int i = st.top; i < st.count; ++i) {
        used += st.heights[static_cast<std::size_t>(i)];
        if (used > height) break;
        ++n;
    }
    return std::max(1, n);
}

int MaxTop(HWND h, const ListBoxState& st) {
    if (st.count == 0) return 0;
    const RECT rc = Client(h);
    if (st.MultiColumn()) {
        const int rows = Rows(h, st);
        const int cols = (st.count + rows - 1) / rows;
        const int full = std::max(1, static_cast<int>(rc.right) / ColumnWidth(st));
        return std::max(0, cols - full) * rows;
    }
    if (!st.Variable()) return std::max(0, st.count - Rows(h, st));
    int used = 0, i = st.count - 1;
    while (i >= 0 && used + st.heights[static_cast<std::size_t>(i)] <= rc.bottom)
        used += st.heights[static_cast<std::size_t>(i--)];
    return std::min(st.count - 1, i + 1);
}

RECT ItemRect(HWND h, const ListBoxState& st, int i) {
    const RECT rc = Client(h);
    if (st.MultiColumn()) {
        const int rows = Rows(h, st), w = ColumnWidth(st);
        const int col = i / rows - st.top / rows, row = i % rows;
        return {col * w, row * st.itemHeight, (col + 1) * w, (row + 1) * st.itemHeight};
    }
    const int left = -st.horzPos;
    const int right = std::max<int>(rc.right, st.horzExtent) - st.horzPos;
    if (!st.Variable()) {
        const long long y = static_cast<long long>(i - st.top) * st.itemHeight;
        const int yy = static_cast<int>(std::clamp<long long>(y, -0x3FFFFFFF, 0x3FFFFFFF));
        return {left, yy, right, yy + st.itemHeight};
    }
    int y = 0;
    if (i >= st.top) {
        for (int k = st.top; k < i; ++k)
            y += st.heights[static_cast<std::size_t>(k)];
    } else {
        for (int k = i; k < st.top; ++k)
            y -= st.heights[static_cast<std::size_t>(k)];
    }
    return {left, y, right, y + st.HeightOf(i)};
}

// The item nearest a client point (-1 without items); `outside` tells whether the point is off
// the items.
int ItemFromPoint(HWND h, const ListBoxState& st, POINT p, bool* outside) {
    const RECT rc = Client(h);
    bool out = !PtInRect(&rc, p);
    int i;
    if (st.count == 0) {
        if (outside) *outside = true;
        return -1;
    }
    if (st.MultiColumn()) {
        const int rows = Rows(h, st), w = ColumnWidth(st);
        const int col = p.x < 0 ? -1 : p.x / w;
        const int row = std::clamp<int>(p.y < 0 ? 0 : p.y / st.itemHeight, 0, rows - 1);
        if (p.y >= rows * st.itemHeight) out = true;
        i = st.top + col * rows + row;
    } else if (!st.Variable()) {
        i = st.top + (p.y < 0 ? -1 : p.y / st.itemHeight);
    } else {
        i = p.y < 0 ? st.top - 1 : st.top;
        int y = 0;
        while (p.y >= 0 && i < st.count && y + st.heights[static_cast<std::size_t>(i)] <= p.y)
            y += st.heights[static_cast<std::size_t>(i++)];
    }
    if (i >= st.count) out = true;
    if (outside) *outside = out;
    return std::clamp(i, 0, st.count - 1);
}

void InvalidateItem(HWND h, const ListBoxState& st, int i) {
    if (!st.Valid(i)) return;
    const RECT r = ItemRect(h, st, i);
    InvalidateRect(h, &r, TRUE);
}

// --- scroll bars ---

void UpdateBars(HWND h, ListBoxState& st) {
    if (st.updatingBars) {  // a bar came or went and resized the client area
        st.barsAgain = true;
        return;
    }
    st.updatingBars = true;
    for (int pass = 0; pass < 4; ++pass) {
        st.barsAgain = false;
        const RECT rc = Client(h);
        const UINT keep = (st.style & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0;
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | keep;
        if (st.MultiColumn()) {
            if (st.wantH) {
                const int rows = Rows(h, st);
                si.nMax = std::max(0, (st.count + rows - 1) / rows - 1);
                si.nPage =
                    static_cast<UINT>(std::max(1, static_cast<int>(rc.right) / ColumnWidth(st)));
                si.nPos = st.top / rows;
                SetScrollInfo(h, SB_HORZ, &si, TRUE);
            }
        } else {
            if (st.wantV) {
                si.nMax = std::max(0, st.count - 1);
                si.nPage = static_cast<UINT>(FullItems(h, st));
                si.nPos = st.top;
                SetScrollInfo(h, SB_VERT, &si, TRUE);
            }
            if (st.wantH && !st.barsAgain) {
                si.nMax = std::max(0, st.horzExtent - 1);
                si.nPage = static_cast<UINT>(std::max<int>(1, rc.right));
                si.nPos = st.horzPos;
                SetScrollInfo(h, SB_HORZ, &si, TRUE);
            }
        }
        if (!st.barsAgain) break;
    }
    st.updatingBars = false;
}

void SetTop(HWND h, ListBoxState& st, int top) {
    top = std::clamp(top, 0, MaxTop(h, st));
    if (st.MultiColumn()) top -= top % Rows(h, st);
    if (top != st.top) {
        st.top = top;
        InvalidateRect(h, nullptr, TRUE);
    }
    UpdateBars(h, st);
}

void SetHorz(HWND h, ListBoxState& st, int pos) {
    pos = std::clamp(pos, 0, std::max(0, st.horzExtent - static_cast<int>(Client(h).right)));
    if (pos != st.horzPos) {
        st.horzPos = pos;
        InvalidateRect(h, nullptr, TRUE);
    }
    UpdateBars(h, st);
}

// Scrolls as little as needed for the item to be wholly in view.
void EnsureVisible(HWND h, ListBoxState& st, int i) {
    if (!st.Valid(i)) return;
    int top = st.top;
    if (st.MultiColumn()) {
        const int rows = Rows(h, st);
        const int cols = std::max(1, static_cast<int>(Client(h).right) / ColumnWidth(st));
        const int col = i / rows, topCol = st.top / rows;
        if (col < topCol) top = col * rows;
        if (col >= topCol + cols) top = (col - cols + 1) * rows;
    } else if (i < st.top) {
        top = i;
    } else if (!st.Variable()) {
        const int rows = Rows(h, st);
        if (i >= st.top + rows) top = i - rows + 1;
    } else {
        const int height = Client(h).bottom;
        int bottom = 0;
        for (int k = st.top; k <= i; ++k)
            bottom += st.heights[static_cast<std::size_t>(k)];
        while (top < i && bottom > height)
            bottom -= st.heights[static_cast<std::size_t>(top++)];
    }
    SetTop(h, st, top);
}

// A fixed-height list without LBS_NOINTEGRALHEIGHT shows whole items only.
void IntegralHeight(HWND h, const ListBoxState& st, WINDOWPOS* pos) {
    if ((st.style & LBS_NOINTEGRALHEIGHT) || st.Variable() || st.MultiColumn() || st.comboList)
        return;
    if (pos->flags & SWP_NOSIZE) return;
    RECT wr, cr;
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    const int frame = (wr.bottom - wr.top) - cr.bottom;
    const int client = pos->cy - frame;
    if (client > st.itemHeight) pos->cy = frame + client / st.itemHeight * st.itemHeight;
}

// --- selection ---

void SetCaret(HWND h, ListBoxState& st, int i) {
    if (i == st.caret) return;
    InvalidateItem(h, st, st.caret);
    st.caret = i;
    InvalidateItem(h, st, i);
}

bool SetSingle(HWND h, ListBoxState& st, int i) {
    if (i == st.selection) return false;
    InvalidateItem(h, st, st.selection);
    st.selection = i;
    InvalidateItem(h, st, i);
    return true;
}

bool SetSel(HWND h, ListBoxState& st, int i, bool on) {
    uint8_t& s = st.selected[static_cast<std::size_t>(i)];
    if ((s != 0) == on) return false;
    s = on ? 1 : 0;
    InvalidateItem(h, st, i);
    return true;
}

// Items first..last take `on`; with `others`, every other item is cleared.
bool SelectRange(HWND h, ListBoxState& st, int first, int last, bool on, bool others) {
    if (first > last) std::swap(first, last);
    bool changed = false;
    for (int i = 0; i < st.count; ++i) {
        if (i >= first && i <= last)
            changed |= SetSel(h, st, i, on);
        else if (others)
            changed |= SetSel(h, st, i, false);
    }
    return changed;
}

// The operator moves to item `i` by mouse or key; answers whether the selection changed.
bool MoveTo(HWND h, ListBoxState& st, int i, bool shift, bool ctrl, bool press) {
    if (!st.Valid(i)) return false;
    bool changed = false;
    switch (st.Mode()) {
        case SelMode::Single:
            changed = SetSingle(h, st, i);
            break;
        case SelMode::Multiple:
            if (press) changed = SetSel(h, st, i, !st.IsSel(i));
            break;
        case SelMode::Extended:
            if (!st.Valid(st.anchor)) st.anchor = i;
            if (shift) {
                changed = SelectRange(h, st, st.anchor, i, true, !ctrl);
            } else if (ctrl) {
                if (press) {
                    changed = SetSel(h, st, i, !st.IsSel(i));
                    st.anchor = i;
                }
            } else {
                changed = SelectRange(h, st, i, i, true, true);
                st.anchor = i;
            }
            break;
        case SelMode::None:
            break;
    }
    SetCaret(h, st, i);
    EnsureVisible(h, st, i);
    return changed;
}

// --- items ---

void Adjust(int& index, int at, int delta) {
    if (delta > 0 ? index >= at : index > at)
        index += delta;
    else if (delta < 0 && index == at)
        index = -1;
}

LRESULT InsertItem(HWND h, ListBoxState& st, int at, LPARAM lParam, bool sorted) {
    if (st.count >= kListBoxMaxItems) {
        Notify(h, st, LBN_ERRSPACE);
        return LB_ERRSPACE;
    }
    std::string s;
    if (st.Strings() && lParam) s = reinterpret_cast<const char*>(lParam);
    const ULONG_PTR data = st.Strings() ? 0 : static_cast<ULONG_PTR>(lParam);
    if (sorted && st.Strings()) {
        const auto it = std::upper_bound(st.text.begin(), st.text.end(), s,
                                         [](const std::string& a, const std::string& b) {
                                             return os::CompareCp1251(a, b, true) < 0;
                                         });
        at = static_cast<int>(it - st.text.begin());
    }
    const auto pos = static_cast<std::size_t>(at);
    try {
        if (st.Strings()) st.text.insert(st.text.begin() + at, s);
        if (!st.NoData()) st.data.insert(st.data.begin() + at, data);
        if (st.Multi()) st.selected.insert(st.selected.begin() + at, 0);
        if (st.Variable()) st.heights.insert(st.heights.begin() + at, st.itemHeight);
    } catch (const std::bad_alloc&) {
        Notify(h, st, LBN_ERRSPACE);
        return LB_ERRSPACE;
    }
    ++st.count;
    if (st.Variable()) st.heights[pos] = MeasureItem(h, st, at, data, st.itemHeight);
    Adjust(st.selection, at, 1);
    Adjust(st.anchor, at, 1);
    if (st.caret < 0)
        st.caret = 0;
    else
        Adjust(st.caret, at, 1);
    InvalidateRect(h, nullptr, TRUE);
    UpdateBars(h, st);
    return at;
}

LRESULT DeleteItem(HWND h, ListBoxState& st, int at) {
    if (!st.Valid(at)) return LB_ERR;
    if (st.Strings()) st.text.erase(st.text.begin() + at);
    if (!st.NoData()) st.data.erase(st.data.begin() + at);
    if (st.Multi()) st.selected.erase(st.selected.begin() + at);
    if (st.Variable()) st.heights.erase(st.heights.begin() + at);
    --st.count;
    Adjust(st.selection, at, -1);
    Adjust(st.anchor, at, -1);
    if (st.caret > at || st.caret >= st.count) --st.caret;
    if (st.count == 0) st.caret = -1;
    InvalidateRect(h, nullptr, TRUE);
    SetTop(h, st, st.top);
    return st.count;
}

void ResetContent(HWND h, ListBoxState& st) {
    st.text.clear();
    st.data.clear();
    st.selected.clear();
    st.heights.clear();
    st.count = 0;
    st.top = 0;
    st.selection = st.caret = st.anchor = -1;
    st.horzPos = 0;
    InvalidateRect(h, nullptr, TRUE);
    UpdateBars(h, st);
}

LRESULT SetCount(HWND h, ListBoxState& st, WPARAM n) {
    if (!st.NoData()) return LB_ERR;
    if (n > static_cast<WPARAM>(kListBoxMaxItems)) return LB_ERRSPACE;
    const int count = static_cast<int>(n);
    try {
        if (st.Multi()) st.selected.resize(n, 0);
    } catch (const std::bad_alloc&) {
        return LB_ERRSPACE;
    }
    st.count = count;
    if (st.selection >= count) st.selection = -1;
    if (st.anchor >= count) st.anchor = -1;
    st.caret = count == 0 ? -1 : std::clamp(st.caret, 0, count - 1);
    InvalidateRect(h, nullptr, TRUE);
    SetTop(h, st, st.top);
    return LB_OKAY;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix, bool exact) {
    if (exact ? s.size() != prefix.size() : s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (os::UpperCp1251(static_cast<unsigned char>(s[i])) !=
            os::UpperCp1251(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// LB_FINDSTRING(EXACT): from the item after `start` round to `start`; items without text match
// by their data.
LRESULT Find(const ListBoxState& st, WPARAM start, LPARAM what, bool exact) {
    if (st.NoData() || st.count == 0) return LB_ERR;
    int from = static_cast<int>(static_cast<intptr_t>(start));
    if (from < -1 || from >= st.count) from = -1;
    const std::string prefix =
        st.Strings() && what ? std::string(reinterpret_cast<const char*>(what)) : std::string();
    for (int k = 1; k <= st.count; ++k) {
        const int i = (from + k) % st.count;
        const bool hit = st.Strings()
                             ? StartsWithNoCase(st.text[static_cast<std::size_t>(i)], prefix, exact)
                             : st.data[static_cast<std::size_t>(i)] == static_cast<ULONG_PTR>(what);
        if (hit) return i;
    }
    return LB_ERR;
}

LRESULT SetTabStops(HWND h, ListBoxState& st, WPARAM n, LPARAM list) {
    const auto* stops = reinterpret_cast<const int*>(list);
    st.tabStops.clear();
    if (n > 0 && stops == nullptr) return FALSE;
    const int unit = st.avgChar;  // four dialog units per average character
    if (n == 1) {
        const int every = std::max(1, stops[0] * unit / 4);
        st.tabStops.push_back(every);
    } else {
        for (WPARAM k = 0; k < n; ++k)
            st.tabStops.push_back(stops[k] * unit / 4);
        std::sort(st.tabStops.begin(), st.tabStops.end());
    }
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

// The next tab stop after x (relative to the text's start).
int NextTab(const ListBoxState& st, int x) {
    if (st.tabStops.size() > 1) {
        for (int t : st.tabStops)
            if (t > x) return t;
    }
    const int every = st.tabStops.size() == 1 ? st.tabStops[0] : std::max(1, 8 * st.avgChar);
    return (x / every + 1) * every;
}

// --- painting ---

void DrawItemText(HDC dc, const ListBoxState& st, const std::string& s, const RECT& r) {
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    const int y = r.top + (r.bottom - r.top - tm.tmHeight) / 2;
    const int x0 = r.left + kTextMargin;
    if (!(st.style & LBS_USETABSTOPS)) {
        ExtTextOut(dc, x0, y, ETO_CLIPPED, &r, s.data(), static_cast<UINT>(s.size()), nullptr);
        return;
    }
    int x = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = s.find('\t', start);
        const std::size_t end = tab == std::string::npos ? s.size() : tab;
        SIZE seg{};
        GetTextExtentPoint32(dc, s.data() + start, static_cast<int>(end - start), &seg);
        ExtTextOut(dc, x0 + x, y, ETO_CLIPPED, &r, s.data() + start, static_cast<UINT>(end - start),
                   nullptr);
        if (tab == std::string::npos) break;
        x = NextTab(st, x + seg.cx);
        start = tab + 1;
    }
}

void DrawItem(HWND h, const ListBoxState& st, HDC dc, int i, const RECT& r, HBRUSH bg,
              COLORREF ink) {
    const bool selected = st.IsSel(i);
    const bool focus = st.focused && i == st.caret;
    if (st.OwnerDraw()) {
        const Owner o = OwnerOf(h, st);
        DRAWITEMSTRUCT dis;
        dis.CtlType = o.type;
        dis.CtlID = o.id;
        dis.itemID = static_cast<UINT>(i);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) |
                        (IsWindowEnabled(h) ? 0 : ODS_DISABLED);
        dis.hwndItem = o.item;
        dis.hDC = dc;
        dis.rcItem = r;
        dis.itemData = st.NoData() ? 0 : st.data[static_cast<std::size_t>(i)];
        SendDrawItem(o.to, dis);
        return;
    }
    if (selected) {
        FillSysColor(dc, r, COLOR_HIGHLIGHT);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        FillRect(dc, &r, bg);
        SetTextColor(dc, IsWindowEnabled(h) ? ink : GetSysColor(COLOR_GRAYTEXT));
    }
    if (st.Strings()) DrawItemText(dc, st, st.text[static_cast<std::size_t>(i)], r);
    if (focus) DrawFocusRect(dc, &r);
}

void Paint(HWND h, HDC dc) {
    ListBoxState* st = ControlState<ListBoxState>(h);
    if (!st) return;
    const RECT rc = Client(h);
    const int saved = SaveDC(dc);
    if (st->font) SelectObject(dc, st->font);
    HBRUSH bg = CtlColor(h, *st, dc);
    const COLORREF ink = GetTextColor(dc);
    SetBkMode(dc, TRANSPARENT);
    FillRect(dc, &rc, bg);
    for (int i = st->top; i < st->count; ++i) {
        const RECT r = ItemRect(h, *st, i);
        if (st->MultiColumn() ? r.left >= rc.right : r.top >= rc.bottom) break;
        RECT shown;
        if (IntersectRect(&shown, &r, &rc) && RectVisible(dc, &r))
            DrawItem(h, *st, dc, i, r, bg, ink);
    }
    RestoreDC(dc, saved);
}

// --- input ---

void Scroll(HWND h, ListBoxState& st, bool vertical, WORD code) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(h, vertical ? SB_VERT : SB_HORZ, &si);
    const bool columns = st.MultiColumn() && !vertical;
    const bool items = vertical || columns;
    const int rows = columns ? Rows(h, st) : 1;
    const int now = columns ? st.top / rows : vertical ? st.top : st.horzPos;
    const int line = items ? 1 : st.avgChar;
    const int page = columns    ? std::max(1, static_cast<int>(Client(h).right) / ColumnWidth(st))
                     : vertical ? std::max(1, FullItems(h, st) - 1)
                                : std::max<int>(1, Client(h).right);
    int to = now;
    switch (code) {
        case SB_LINEUP:
            to = now - line;
            break;
        case SB_LINEDOWN:
            to = now + line;
            break;
        case SB_PAGEUP:
            to = now - page;
            break;
        case SB_PAGEDOWN:
            to = now + page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            to = si.nTrackPos;  // rule 3
            break;
        case SB_TOP:
            to = 0;
            break;
        case SB_BOTTOM:
            to = 0x3FFFFFFF / rows;  // clamped to the last page
            break;
        default:
            return;
    }
    if (columns)
        SetTop(h, st,
               static_cast<int>(
                   std::clamp<long long>(static_cast<long long>(to) * rows, 0, 0x3FFFFFFF)));
    else if (vertical)
        SetTop(h, st, to);
    else
        SetHorz(h, st, to);
}

bool KeyDown(HWND h, ListBoxState& st, WPARAM vk) {
    if (st.count == 0) return false;
    const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    const int from = st.Valid(st.caret) ? st.caret : 0;
    const int page = std::max(1, FullItems(h, st) - 1);
    const int column = st.MultiColumn() ? Rows(h, st) : 1;
    int to;
    switch (vk) {
        case VK_UP:
            to = from - 1;
            break;
        case VK_DOWN:
            to = from + 1;
            break;
        case VK_LEFT:
            to = from - column;
            break;
        case VK_RIGHT:
            to = from + column;
            break;
        case VK_PRIOR:
            to = from - page;
            break;
        case VK_NEXT:
            to = from + page;
            break;
        case VK_HOME:
            to = 0;
            break;
        case VK_END:
            to = st.count - 1;
            break;
        case VK_SPACE:
            if (st.Mode() == SelMode::Multiple || (st.Mode() == SelMode::Extended && ctrl)) {
                st.anchor = from;
                SetCaret(h, st, from);
                return SetSel(h, st, from, !st.IsSel(from));
            }
            return MoveTo(h, st, from, shift, false, true);
        default:
            return false;
    }
    to = std::clamp(to, 0, st.count - 1);
    // Ctrl moves only the caret of an extended list.
    return MoveTo(h, st, to, shift, ctrl && st.Mode() == SelMode::Extended, false);
}

bool TypeAhead(HWND h, ListBoxState& st, unsigned char ch) {
    if (!st.Strings() || st.count == 0 || ch < 0x20) return false;
    const uint32_t now = os::GetTickCount();
    if (os::TickDiff(st.typedAt, now) >= kTypeAheadMs) st.typed.clear();
    st.typedAt = now;
    st.typed += static_cast<char>(ch);
    // A first letter looks past the caret, so repeating it steps through the items.
    const int from = st.typed.size() == 1 ? st.caret : st.caret - 1;
    const LRESULT i =
        Find(st, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(st.typed.c_str()), false);
    if (i == LB_ERR) return false;
    return MoveTo(h, st, static_cast<int>(i), false, false, st.Mode() != SelMode::Multiple);
}

void DragTick(HWND h, ListBoxState& st) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(h, &p);
    const RECT rc = Client(h);
    const bool before = st.MultiColumn() ? p.x < 0 : p.y < 0;
    const bool after = st.MultiColumn() ? p.x >= rc.right : p.y >= rc.bottom;
    if (!before && !after) return;
    const int step = st.MultiColumn() ? Rows(h, st) : 1;
    const int to = std::clamp(st.caret + (before ? -step : step), 0, std::max(0, st.count - 1));
    const bool shift = GetKeyState(VK_SHIFT) < 0 || st.Mode() == SelMode::Extended;
    if (MoveTo(h, st, to, shift, GetKeyState(VK_CONTROL) < 0, false) && !st.comboList)
        Notify(h, st, LBN_SELCHANGE);
}

void EndDrag(HWND h, ListBoxState& st) {
    if (!st.captured) return;
    st.captured = false;
    KillTimer(h, kDragTimer);
    if (!Dropped(h, st) && GetCapture() == h) ReleaseCapture();
}

// A press in a dropped combo list: on an item, on the list's own bar, or outside it.
void ComboListPress(HWND h, ListBoxState& st, POINT client) {
    POINT screen = client;
    ClientToScreen(h, &screen);
    RECT wr;
    GetWindowRect(h, &wr);
    if (!PtInRect(&wr, screen)) {
        Notify(h, st, LBN_SELCANCEL);
        return;
    }
    const LRESULT hit = SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (hit == HTCLIENT) {
        bool outside = false;
        const int i = ItemFromPoint(h, st, client, &outside);
        if (!outside) {
            SetSingle(h, st, i);
            SetCaret(h, st, i);
        }
        st.captured = true;
        return;
    }
    if (hit == HTVSCROLL || hit == HTHSCROLL) {
        SendMessageA(h, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(screen.x, screen.y));
        if (IsWindow(h) && IsWindowVisible(h) && GetCapture() != h) SetCapture(h);
    }
}

void ComboListRelease(HWND h, ListBoxState& st, POINT client) {
    const bool held = st.captured || st.tracking;
    st.captured = false;
    KillTimer(h, kDragTimer);
    if (!held) return;
    bool outside = true;
    const RECT rc = Client(h);
    int i = -1;
    if (PtInRect(&rc, client)) i = ItemFromPoint(h, st, client, &outside);
    if (!outside) {
        SetSingle(h, st, i);
        Notify(h, st, LBN_SELCHANGE);
    } else if (st.tracking) {
        Notify(h, st, LBN_ENDTRACK);
    }
}

LRESULT Mouse(HWND h, ListBoxState& st, UINT msg, WPARAM keys, POINT p) {
    const bool dropped = Dropped(h, st);
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (dropped) {
                ComboListPress(h, st, p);
                return 0;
            }
            if (st.comboList) {
                if (IsWindow(st.combo)) SetFocus(st.combo);
            } else if (GetFocus() != h) {
                SetFocus(h);
                if (!IsWindow(h)) return 0;
            }
            bool outside = false;
            const int i = ItemFromPoint(h, st, p, &outside);
            if (i >= 0 && MoveTo(h, st, i, (keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0, true))
                Notify(h, st, LBN_SELCHANGE);
            if (!IsWindow(h)) return 0;
            st.captured = true;
            SetCapture(h);
            SetTimer(h, kDragTimer, kDragRepeat, nullptr);
            if (msg == WM_LBUTTONDBLCLK && i >= 0 && !outside) Notify(h, st, LBN_DBLCLK);
            return 0;
        }
        case WM_MOUSEMOVE: {
            const RECT rc = Client(h);
            const bool inside = PtInRect(&rc, p) != 0;
            if (dropped && (inside || st.captured || st.tracking)) {
                bool outside = false;
                const int i = ItemFromPoint(h, st, p, &outside);
                if (inside && !outside) {
                    SetSingle(h, st, i);
                    SetCaret(h, st, i);
                } else if (st.captured || st.tracking) {
                    SetTimer(h, kDragTimer, kDragRepeat, nullptr);
                }
                return 0;
            }
            if (!st.captured || !inside) return 0;
            bool outside = false;
            const int i = ItemFromPoint(h, st, p, &outside);
            if (i >= 0 && !outside &&
                MoveTo(h, st, i, st.Mode() == SelMode::Extended, (keys & MK_CONTROL) != 0, false))
                Notify(h, st, LBN_SELCHANGE);
            return 0;
        }
        case WM_LBUTTONUP:
            if (dropped)
                ComboListRelease(h, st, p);
            else
                EndDrag(h, st);
            return 0;
        default:
            return 0;
    }
}

LRESULT Create(HWND h, ListBoxState& st) {
    DWORD style = ControlStyle(h);
    if ((style & LBS_OWNERDRAWVARIABLE) && (style & LBS_MULTICOLUMN))
        style = (style & ~LBS_OWNERDRAWVARIABLE) | LBS_OWNERDRAWFIXED;
    if ((style & LBS_OWNERDRAWVARIABLE)) style &= ~LBS_OWNERDRAWFIXED;
    if ((style & LBS_NODATA) &&
        (!(style & LBS_OWNERDRAWFIXED) || (style & (LBS_HASSTRINGS | LBS_SORT))))
        style &= ~LBS_NODATA;
    if (!(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) style |= LBS_HASSTRINGS;
    if (st.comboList) style &= ~(LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_MULTICOLUMN | LBS_NOSEL);
    st.style = style & 0xFFFF;
    st.wantV = (style & WS_VSCROLL) != 0;
    st.wantH = (style & WS_HSCROLL) != 0;
    const int fontHeight = MeasureFont(h, st);
    st.itemHeight = fontHeight;
    if (style & LBS_OWNERDRAWFIXED) st.itemHeight = MeasureItem(h, st, 0, 0, fontHeight);
    UpdateBars(h, st);
    // The height it was made with may need trimming to whole items.
    RECT wr;
    GetWindowRect(h, &wr);
    SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT ListMessage(HWND h, ListBoxState& st, UINT msg, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(static_cast<intptr_t>(wParam));
    switch (msg) {
        case LB_ADDSTRING:
            return InsertItem(h, st, st.count, lParam, (st.style & LBS_SORT) != 0);
        case LB_INSERTSTRING:
            if (index < -1 || index > st.count) return LB_ERR;
            return InsertItem(h, st, index == -1 ? st.count : index, lParam, false);
        case LB_DELETESTRING:
            return DeleteItem(h, st, index);
        case LB_RESETCONTENT:
            ResetContent(h, st);
            return LB_OKAY;
        case LB_GETCOUNT:
            return st.count;
        case LB_SETCOUNT:
            return SetCount(h, st, wParam);
        case LB_GETTEXTLEN:
            if (!st.Valid(index) || st.NoData()) return LB_ERR;
            return st.Strings()
                       ? static_cast<LRESULT>(st.text[static_cast<std::size_t>(index)].size())
                       : static_cast<LRESULT>(sizeof(ULONG_PTR));
        case LB_GETTEXT: {
            if (!st.Valid(index) || st.NoData() || lParam == 0) return LB_ERR;
            if (!st.Strings()) {
                *reinterpret_cast<ULONG_PTR*>(lParam) = st.data[static_cast<std::size_t>(index)];
                return sizeof(ULONG_PTR);
            }
            const std::string& s = st.text[static_cast<std::size_t>(index)];
            std::copy(s.begin(), s.end(), reinterpret_cast<char*>(lParam));
            reinterpret_cast<char*>(lParam)[s.size()] = '\0';
            return static_cast<LRESULT>(s.size());
        }
        case LB_GETITEMDATA:
            if (!st.Valid(index)) return LB_ERR;
            return st.NoData() ? 0 : static_cast<LRESULT>(st.data[static_cast<std::size_t>(index)]);
        case LB_SETITEMDATA:
            if (!st.Valid(index) || st.NoData()) return LB_ERR;
            st.data[static_cast<std::size_t>(index)] = static_cast<ULONG_PTR>(lParam);
            return TRUE;
        case LB_GETCURSEL:
            if (st.Multi()) return st.caret;
            return st.selection;
        case LB_SETCURSEL:
            if (st.Multi()) return LB_ERR;
            if (!st.Valid(index)) {
                SetSingle(h, st, -1);
                return LB_ERR;
            }
            SetSingle(h, st, index);
            SetCaret(h, st, index);
            EnsureVisible(h, st, index);
            return index;
        case LB_GETSEL:
            if (!st.Valid(index)) return LB_ERR;
            return st.IsSel(index) ? 1 : 0;
        case LB_SETSEL: {
            const int item = static_cast<int>(lParam);
            if (!st.Multi() || (item != -1 && !st.Valid(item))) return LB_ERR;
            if (item == -1)
                SelectRange(h, st, 0, st.count - 1, wParam != 0, false);
            else
                SetSel(h, st, item, wParam != 0);
            return LB_OKAY;
        }
        case LB_SELITEMRANGE: {
            const int first = LOWORD(static_cast<DWORD>(lParam)),
                      last = std::min<int>(HIWORD(static_cast<DWORD>(lParam)), st.count - 1);
            if (!st.Multi()) return LB_ERR;
            if (first <= last) SelectRange(h, st, first, last, wParam != 0, false);
            return LB_OKAY;
        }
        case LB_GETCARETINDEX:
            return st.caret;
        case LB_SETCARETINDEX:
            if (!st.Valid(index)) return LB_ERR;
            SetCaret(h, st, index);
            EnsureVisible(h, st, index);
            return LB_OKAY;
        case LB_GETTOPINDEX:
            return st.top;
        case LB_SETTOPINDEX:
            if (index < 0 || (index >= st.count && index > 0)) return LB_ERR;
            SetTop(h, st, index);
            return LB_OKAY;
        case LB_GETITEMRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            if (r == nullptr || (!st.Valid(index) && !(index == 0 && st.count == 0))) return LB_ERR;
            *r = ItemRect(h, st, index);
            return 1;
        }
        case LB_GETITEMHEIGHT:
            if (st.Variable()) return st.Valid(index) ? st.HeightOf(index) : LB_ERR;
            return st.itemHeight;
        case LB_SETITEMHEIGHT: {
            const int height = LOWORD(static_cast<DWORD>(lParam));
            if (height <= 0 || height > 255) return LB_ERR;
            if (st.Variable()) {
                if (!st.Valid(index)) return LB_ERR;
                st.heights[static_cast<std::size_t>(index)] = height;
            } else {
                st.itemHeight = height;
            }
            InvalidateRect(h, nullptr, TRUE);
            SetTop(h, st, st.top);
            return LB_OKAY;
        }
        case LB_FINDSTRING:
        case LB_FINDSTRINGEXACT:
            return Find(st, wParam, lParam, msg == LB_FINDSTRINGEXACT);
        case LB_SETCOLUMNWIDTH:
            st.columnWidth = std::max(1, index);
            InvalidateRect(h, nullptr, TRUE);
            SetTop(h, st, st.top);
            return LB_OKAY;
        case LB_SETTABSTOPS:
            return SetTabStops(h, st, wParam, lParam);
        case LB_GETHORIZONTALEXTENT:
            return st.horzExtent;
        case LB_SETHORIZONTALEXTENT:
            st.horzExtent = std::max(0, index);
            SetHorz(h, st, st.horzPos);
            return 0;
        case LBCB_STARTTRACK:
            st.tracking = true;
            return 0;
        case LBCB_ENDTRACK:
            st.tracking = false;
            return 0;
        default:
            return 0;
    }
}

LRESULT Proc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, bool comboList) {
    ListBoxState* st = KeepControlState<ListBoxState>(h, msg);
    if (!st) return DefWindowProcA(h, msg, wParam, lParam);
    if (msg == WM_NCCREATE) {
        st->comboList = comboList;
        if (const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam); comboList && cs)
            st->combo = reinterpret_cast<HWND>(cs->lpCreateParams);
    }
    if (msg >= LB_ADDSTRING && msg <= LBCB_ENDTRACK)
        return ListMessage(h, *st, msg, wParam, lParam);
    switch (msg) {
        case WM_CREATE:
            return Create(h, *st);
        case WM_SETFONT: {
            st->font = reinterpret_cast<HFONT>(wParam);
            const int height = MeasureFont(h, *st);
            if (!st->OwnerDraw()) st->itemHeight = height;
            SetTop(h, *st, st->top);
            if (lParam) InvalidateRect(h, nullptr, TRUE);
            return 0;
        }
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_SIZE:
            InvalidateRect(h, nullptr, TRUE);
            SetTop(h, *st, st->top);
            return 0;
        case WM_WINDOWPOSCHANGING:
            if (lParam) IntegralHeight(h, *st, reinterpret_cast<WINDOWPOS*>(lParam));
            return DefWindowProcA(h, msg, wParam, lParam);
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
            st->focused = true;
            InvalidateItem(h, *st, st->caret);
            return 0;
        case WM_KILLFOCUS:
            st->focused = false;
            InvalidateItem(h, *st, st->caret);
            EndDrag(h, *st);
            return 0;
        case WM_MOUSEACTIVATE:
            if (comboList) return MA_NOACTIVATE;
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            return Mouse(h, *st, msg, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_CAPTURECHANGED:
            // A dropped combo list lends the capture to its scroll bar and takes it back.
            if (st->captured && !Dropped(h, *st)) {
                st->captured = false;
                KillTimer(h, kDragTimer);
            }
            return 0;
        case WM_TIMER:
            if (wParam == kDragTimer) {
                if (st->captured || (st->tracking && Dropped(h, *st)))
                    DragTick(h, *st);
                else
                    KillTimer(h, kDragTimer);
                return 0;
            }
            break;
        case WM_KEYDOWN:
            if (KeyDown(h, *st, wParam)) Notify(h, *st, LBN_SELCHANGE);
            return 0;
        case WM_CHAR:
            if (TypeAhead(h, *st, static_cast<unsigned char>(wParam)))
                Notify(h, *st, LBN_SELCHANGE);
            return 0;
        case WM_VSCROLL:
        case WM_HSCROLL:
            Scroll(h, *st, msg == WM_VSCROLL, LOWORD(static_cast<DWORD>(wParam)));
            return 0;
        case WM_MOUSEWHEEL: {
            const int notches =
                static_cast<short>(HIWORD(static_cast<DWORD>(wParam))) / WHEEL_DELTA;
            if (st->MultiColumn())
                SetTop(h, *st, st->top - notches * Rows(h, *st));
            else
                SetTop(h, *st, st->top - notches * kWheelLines);
            return 0;
        }
        default:
            break;
    }
    return PaintedControlDefault(h, msg, wParam, lParam, Paint);
}

}  // namespace

LRESULT ListBoxWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Proc(h, msg, wParam, lParam, false);
}

LRESULT ComboLBoxWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Proc(h, msg, wParam, lParam, true);
}

}  // namespace win
