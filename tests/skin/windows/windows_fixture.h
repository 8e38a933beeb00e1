// Shared set-up of the window-skinning tests: a form, the internal skin in force through the
// default manager, and a second manager for messages that are not the adapters' own.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_manager.h"
#include "tests/vcl/gui_fixture.h"

namespace skin::testing {

// The form and manager a control walk needs from its provider, and nothing else.
class WalkProvider : public TsSkinProviderBase {
public:
    vcl::TCustomForm* Form() const override { return form; }
    TsSkinManager* SkinManager() const override { return manager; }
    void BuildRegionCuts() override {}
    void UpdateFormRegion(bool) override {}

    vcl::TCustomForm* form = nullptr;
    TsSkinManager* manager = nullptr;
};

class WindowsTest : public vcl::testing::FormTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sends skin command `code` with `lParam` to a window.
    static intptr_t Command(win::HWND wnd, uint16_t code, intptr_t lParam = 0);
    // A pixel of the composed screen at a point of the window's own rectangle (frame included).
    static win::COLORREF WindowPixel(win::HWND wnd, int x, int y);
    // The left button at a screen point: moved there, pressed (Down), let go (Up), each pumped.
    void Down(win::POINT p);
    void Up(win::POINT p);
    void Click(win::POINT p) { Down(p), Up(p); }

    using ManagerPtr = std::unique_ptr<TsSkinManager, vcl::FreeDeleter>;
    ManagerPtr manager;  // the default one, internal skin active
    ManagerPtr other;    // not the adapters' manager
};

}  // namespace skin::testing
