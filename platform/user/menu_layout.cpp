// Menu item placement.
#include "platform/user/menu_layout.h"

#include <algorithm>

#include "platform/user/system_metrics.h"

namespace win::detail {

int MenuTextWidth(const std::string& text) {
    // Fixed advance until the text is measured with the real font.
    int n = 0;
    for (char c : text) {
        if (c == '\t') break;
        if (c != '&') ++n;
    }
    return n * 6;
}

int LayoutMenuBar(std::vector<MenuItem>& items, int width) {
    if (items.empty()) return 0;
    int rowHeight = GetSystemMetrics(SM_CYMENU);
    int x = 0, row = 0;
    for (auto& it : items) {
        int w = (it.type & MFT_SEPARATOR) ? 6 : MenuTextWidth(it.text) + 12;
        bool breakHere = (it.type & (MFT_MENUBREAK | MFT_MENUBARBREAK)) != 0;
        if (x > 0 && (breakHere || x + w > width)) {
            ++row;
            x = 0;
        }
        it.rect = RECT{x, row * rowHeight, x + w, (row + 1) * rowHeight};
        x += w;
    }
    return row + 1;
}

}  // namespace win::detail
