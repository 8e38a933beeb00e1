// The adapter of a plain toolbar window: the bar's section, then every button from
// "TOOLBUTTON" (separators from "DIVIDER") in its state, with its image, its drop-down arrow and
// its text. It asks the toolbar for its buttons with the toolbar messages below only.
#pragma once

#include <cstdint>
#include <string>

#include "skin/windows/adapters/window_adapter.h"

namespace vcl {
class TBitmap;
}

namespace skin {

inline constexpr uint32_t TB_GETBUTTON = 0x0417;
inline constexpr uint32_t TB_BUTTONCOUNT = 0x0418;
inline constexpr uint32_t TB_GETITEMRECT = 0x041D;
inline constexpr uint32_t TB_GETBUTTONTEXTA = 0x042D;
inline constexpr uint32_t TB_GETIMAGELIST = 0x0431;
inline constexpr uint8_t TBSTATE_CHECKED = 0x01;
inline constexpr uint8_t TBSTATE_PRESSED = 0x02;
inline constexpr uint8_t TBSTATE_ENABLED = 0x04;
inline constexpr uint8_t TBSTYLE_SEP = 0x01;
inline constexpr uint8_t BTNS_WHOLEDROPDOWN = 0x80;

struct TBBUTTON {
    int iBitmap = -1;
    int idCommand = 0;
    uint8_t fsState = 0;
    uint8_t fsStyle = 0;
    uint8_t bReserved[6] = {};
    uintptr_t dwData = 0;
    intptr_t iString = 0;
};

class TacToolBarWnd : public TacMainWnd {
public:
    void AdapterWindowProc(vcl::TMessage& m) override;
    // The state button `index` is painted in: 2 pressed, 1 under the cursor, else 0 (always 0
    // when disabled); -1 for a button the toolbar does not give.
    int ButtonState(int index);

private:
    // The button's rectangle in window coordinates; false when it has none.
    bool ButtonRect(int index, TBBUTTON& button, vcl::TRect& r);
    void PaintButton(int index, const TBBUTTON& button, const vcl::TRect& r, vcl::TBitmap* cache);
    void Paint(win::HDC dc);
    int hot_ = -1;
};

}  // namespace skin
