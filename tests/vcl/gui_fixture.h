// Tests of the class library's windowed parts: a fresh window system on a fake clock, the
// application freed after each test, and input helpers.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "tests/support/watchdog.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

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

    // A control of class T owned by and placed on `parent`.
    template <typename T>
    static T* Place(TWinControl* parent, TRect bounds) {
        T* c = New<T>(parent);
        c->SetParent(parent);
        c->SetBoundsRect(bounds);
        return c;
    }
    // The control as it paints itself (a windowed one with its children) on a 24-bit bitmap
    // of its size, filled with clGreen first; Px reads that bitmap.
    TBitmap* Shot(TControl* control);
    TColor Px(int x, int y);

    testing_support::Watchdog watchdog_;
    std::unique_ptr<TBitmap, FreeDeleter> shot_;
    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
};

// A GuiTest with a borderless form of 300 x 200 pixels at (50, 50), made but not shown.
class FormTest : public GuiTest {
protected:
    void SetUp() override;
    TForm* form = nullptr;
};

}  // namespace vcl::testing
