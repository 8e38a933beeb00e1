// Stand-ins for the tab control and the toolbar, which the windowing layer does not offer: plain
// windows that answer the tab and toolbar messages the adapters send from a table the test
// fills and may change at any time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/image_list.h"
#include "platform/user/user.h"

namespace skin::testing {

struct FakeTab {
    std::string text;
    win::RECT rect{};
    int image = -1;
};

struct FakeTabTable {
    std::vector<FakeTab> tabs;
    int selected = 0;
    int band = 20;  // the tab band the display area leaves on the tab side
    win::HIMAGELIST images = nullptr;
};

struct FakeToolButton {
    win::RECT rect{};
    uint8_t state = 0;
    uint8_t style = 0;
    int image = -1;
    std::string text;
};

struct FakeToolTable {
    std::vector<FakeToolButton> buttons;
    win::HIMAGELIST images = nullptr;
};

// A visible child of `parent`; the table must outlive the window.
win::HWND CreateFakeTabWindow(win::HWND parent, win::RECT bounds, uint32_t style,
                              FakeTabTable* table);
win::HWND CreateFakeToolBar(win::HWND parent, win::RECT bounds, FakeToolTable* table);

}  // namespace skin::testing

namespace vcl {
class TBitmap;
}

namespace skin::testing {

// The window as WM_PRINT paints it into a 24-bit bitmap of its size.
struct PrintedWindow {
    std::shared_ptr<vcl::TBitmap> bmp;
    uint32_t At(int x, int y) const;  // RGB
    int Width() const;
    int Height() const;
};
PrintedWindow PrintWindowImage(win::HWND wnd);

}  // namespace skin::testing
