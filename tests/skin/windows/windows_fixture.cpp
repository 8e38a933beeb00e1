#include "tests/skin/windows/windows_fixture.h"

#include "platform/controls/standard_controls.h"
#include "platform/gdi/bitmap.h"
#include "platform/user/screen.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/state/skin_commands.h"

namespace skin::testing {

void WindowsTest::SetUp() {
    FormTest::SetUp();
    win::RegisterStandardControls();
    manager.reset(new TsSkinManager(nullptr));
    AddInternalSkin(*manager->InternalSkins());
    manager->SetSkinName(InternalSkinName());
    ASSERT_TRUE(manager->SkinData().Active);
    ASSERT_EQ(DefaultManager, manager.get());
    other.reset(new TsSkinManager(nullptr));
}

void WindowsTest::TearDown() {
    other.reset();
    manager.reset();
    FormTest::TearDown();
}

intptr_t WindowsTest::Command(win::HWND wnd, uint16_t code, intptr_t lParam) {
    return win::SendMessageA(wnd, SM_ALPHACMD, SkinCommandWParam(code), lParam);
}

win::COLORREF WindowsTest::WindowPixel(win::HWND wnd, int x, int y) {
    win::RECT r{};
    win::GetWindowRect(wnd, &r);
    win::BitmapView v;
    EXPECT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
    const win::BYTE* px = v.Row(r.top + y) + (r.left + x) * 4;
    return RGB(px[2], px[1], px[0]);
}

void WindowsTest::Down(win::POINT p) {
    QueueMove(p.x, p.y);
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Down, p, win::MouseButton::Left});
    Pump();
}

void WindowsTest::Up(win::POINT p) {
    QueueMove(p.x, p.y);
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Up, p, win::MouseButton::Left});
    Pump();
}

}  // namespace skin::testing
