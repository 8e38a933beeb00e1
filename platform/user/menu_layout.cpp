// Menu item measuring and placement.
#include "platform/user/menu_layout.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/os/cp1251.h"
#include "platform/user/internal.h"
#include "platform/user/system_metrics.h"

namespace win::detail {
namespace {

// The text as drawn: "&&" shows one "&", a single "&" shows nothing.
std::string WithoutPrefixes(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// Measures texts in the menu fonts on a memory DC that lives for one layout.
class TextMeasure {
public:
    TextMeasure() : dc_(CreateCompatibleDC(nullptr)) {}
    ~TextMeasure() { DeleteDC(dc_); }
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    SIZE Text(std::string_view text, bool bold) {
        SelectObject(dc_, NonClientFont(bold ? NcFont::MenuBold : NcFont::Menu));
        std::string shown = WithoutPrefixes(text);
        SIZE s;
        if (!GetTextExtentPoint32(dc_, shown.c_str(), int(shown.size()), &s)) s = SIZE{};
        if (shown.empty()) {
            TEXTMETRIC tm;
            if (GetTextMetrics(dc_, &tm)) s.cy = tm.tmHeight;
        }
        return s;
    }

private:
    HDC dc_;
};

SIZE BitmapSize(HBITMAP b) {
    BitmapView v;
    if (b == nullptr || !GetBitmapView(b, &v)) return SIZE{};
    return SIZE{v.width, v.height};
}

// The owner's answer to WM_MEASUREITEM, asked once until the menu changes.
SIZE OwnerSize(MenuItem& it, HWND owner, int defaultHeight) {
    if (it.measured) return it.size;
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_MENU;
    mis.itemID = it.id;
    mis.itemHeight = UINT(defaultHeight);
    mis.itemData = it.data;
    if (owner && Peek(owner)) Send(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    // Absurd answers would make windows of absurd sizes.
    it.size =
        SIZE{LONG(std::min<UINT>(mis.itemWidth, 4096)), LONG(std::min<UINT>(mis.itemHeight, 4096))};
    it.measured = true;
    return it.size;
}

}  // namespace

std::string_view ItemLabel(const MenuItem& item) {
    std::string_view t = item.text;
    return t.substr(0, t.find('\t'));
}

std::string_view ItemShortcut(const MenuItem& item) {
    std::string_view t = item.text;
    size_t tab = t.find('\t');
    return tab == std::string_view::npos ? std::string_view{} : t.substr(tab + 1);
}

unsigned char Mnemonic(std::string_view label) {
    for (size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&') continue;
        if (label[i + 1] != '&') return os::UpperCp1251(static_cast<unsigned char>(label[i + 1]));
        ++i;
    }
    return 0;
}

bool IsSeparator(const MenuItem& item) {
    return (item.type & MFT_SEPARATOR) != 0;
}

bool IsOwnerDrawn(const MenuItem& item) {
    return (item.type & MFT_OWNERDRAW) != 0;
}

bool IsDisabled(const MenuItem& item) {
    return (item.state & MFS_GRAYED) != 0;
}

bool IsCommand(const MenuItem& item) {
    return !IsSeparator(item) && item.sub == nullptr && !IsDisabled(item);
}

PopupMetrics GetPopupMetrics() {
    int check = GetSystemMetrics(SM_CXMENUCHECK);
    return PopupMetrics{check + 6, check + 6, 12, 4, GetSystemMetrics(SM_CYMENUSIZE), 8};
}

int MenuBarHeight(int rows) {
    return rows > 0 ? rows * (GetSystemMetrics(SM_CYMENU) - 1) + 1 : 0;
}

int LayoutMenuBar(Menu* m, int width, HWND owner) {
    if (m == nullptr || m->items.empty()) return 0;
    if (m->laidOutWidth == width) return m->rows;
    TextMeasure measure;
    int itemHeight = GetSystemMetrics(SM_CYMENU) - 1;  // the bar keeps a line below the rows
    int rowHeight = itemHeight;
    int x = 0, row = 0;
    size_t rightFrom = SIZE_MAX;
    // Items from the first right-justified one of a row on move to the row's right end.
    auto finishRow = [&](size_t end) {
        if (rightFrom >= end) return;
        int shift = width - x;
        if (shift > 0)
            for (size_t i = rightFrom; i < end; ++i)
                OffsetRect(&m->items[i].rect, shift, 0);
    };
    for (size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& it = m->items[i];
        int w;
        if (IsOwnerDrawn(it)) {
            w = OwnerSize(it, owner, itemHeight).cx;
        } else if (IsSeparator(it)) {
            w = 6;
        } else if (it.type & MFT_BITMAP) {
            w = BitmapSize(it.bitmap).cx + 12;
        } else {
            w = measure.Text(ItemLabel(it), (it.state & MFS_DEFAULT) != 0).cx + 12;
        }
        bool breakHere = (it.type & (MFT_MENUBREAK | MFT_MENUBARBREAK)) != 0;
        if (x > 0 && (breakHere || x + w > width)) {
            finishRow(i);
            ++row;
            x = 0;
            rightFrom = SIZE_MAX;
        }
        if ((it.type & MFT_RIGHTJUSTIFY) && rightFrom == SIZE_MAX) rightFrom = i;
        it.rect = RECT{x, row * rowHeight, x + w, row * rowHeight + itemHeight};
        x += w;
    }
    finishRow(m->items.size());
    m->laidOutWidth = width;
    m->rows = row + 1;
    return m->rows;
}

SIZE LayoutPopup(Menu* m, HWND owner) {
    if (m == nullptr) return SIZE{};
    const PopupMetrics pm = GetPopupMetrics();
    TextMeasure measure;
    struct Column {
        size_t first, end;
        int label = 0, shortcut = 0, owner = 0;
    };
    std::vector<Column> columns;
    for (size_t i = 0; i < m->items.size(); ++i) {
        bool breakHere = (m->items[i].type & (MFT_MENUBREAK | MFT_MENUBARBREAK)) != 0;
        if (columns.empty() || (breakHere && i > columns.back().first))
            columns.push_back(Column{i, i});
        columns.back().end = i + 1;
    }
    SIZE client{0, 0};
    int x = 0;
    for (Column& c : columns) {
        int y = 0;
        // Heights and the widths that decide the column's width.
        std::vector<int> heights;
        for (size_t i = c.first; i < c.end; ++i) {
            MenuItem& it = m->items[i];
            int h = pm.itemHeight;
            if (IsOwnerDrawn(it)) {
                SIZE s = OwnerSize(it, owner, pm.itemHeight);
                c.owner = std::max<int>(c.owner, s.cx + GetSystemMetrics(SM_CXMENUCHECK) - 1);
                h = s.cy;
            } else if (IsSeparator(it)) {
                h = pm.separatorHeight;
            } else if (it.type & MFT_BITMAP) {
                SIZE s = BitmapSize(it.bitmap);
                c.owner = std::max<int>(c.owner, s.cx + pm.checkColumn);
                h = std::max<int>(s.cy, pm.itemHeight);
            } else {
                bool bold = (it.state & MFS_DEFAULT) != 0;
                SIZE label = measure.Text(ItemLabel(it), bold);
                c.label = std::max<int>(c.label, label.cx);
                if (!ItemShortcut(it).empty())
                    c.shortcut = std::max<int>(c.shortcut, measure.Text(ItemShortcut(it), bold).cx);
                h = std::max<int>(pm.itemHeight, label.cy + 4);
            }
            heights.push_back(h);
        }
        int width = pm.checkColumn + c.label + (c.shortcut ? pm.shortcutGap + c.shortcut : 0) +
                    pm.arrowColumn;
        width = std::max(width, c.owner);
        for (size_t i = c.first; i < c.end; ++i) {
            int h = heights[i - c.first];
            m->items[i].rect = RECT{x, y, x + width, y + h};
            y += h;
        }
        client.cy = std::max<LONG>(client.cy, y);
        x += width + pm.columnGap;
    }
    client.cx = columns.empty() ? 0 : x - pm.columnGap;
    return client;
}

}  // namespace win::detail
