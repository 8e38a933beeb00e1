// Tests of the class library's windowed parts: a fresh window system on a fake clock, the
// application freed after each test, and input helpers.
#pragma once

#include <gtest/gtest.h>

#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "tests/support/watchdog.h"
#include "vcl/controls/forms.h"

namespace vcl::testing {

// A control made, named, placed on its parent and sized.
template <typename T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, TRect bounds) {
    T* c = New<T>(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBoundsRect(bounds);
    return c;
}

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A form of 400 x 300 at (100, 100) without a frame, made by the application.
    TForm* PlainForm();
    void Pump();  // handles every waiting message
    // Queued, not handled: a modal loop started afterwards takes them.
    void QueueClick(TControl* control);
    void QueueMove(int x, int y);
    void QueueKey(win::UINT vk, unsigned char ch = 0);
    // A press and release of the left button (two of them make a double click).
    void QueueClickAt(TPoint screen);
    // A press at `from`, a move to `to` and the release there.
    void QueueDrag(TPoint from, TPoint to);
    void QueueWheel(TPoint screen, int delta);
    TPoint ScreenCentre(TControl* control);
    // A pixel of the composed screen at a point of the control's client area.
    win::COLORREF ScreenPixel(TControl* control, int x, int y);

    testing_support::Watchdog watchdog_;
    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
};

}  // namespace vcl::testing
