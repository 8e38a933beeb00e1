// A fresh window system on a fake clock with the standard controls registered, a parent window
// that records the notifications its children send, and input helpers.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "tests/support/watchdog.h"

namespace win::testing {

struct Note {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    UINT itemState = 0;  // of WM_DRAWITEM
    UINT ctlType = 0;
    UINT code = 0;    // of WM_NOTIFY
    UINT itemID = 0;  // of WM_DRAWITEM
};

// The window's own paint, into a bitmap of its size.
class Shot {
public:
    explicit Shot(HWND h);
    ~Shot();
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    struct Span {
        int first, last;
    };
    // The leftmost and rightmost columns holding `colour`, or -1.
    Span Columns(COLORREF colour) const;

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bmp_;
    HGDIOBJ old_;
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Child(const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h,
               DWORD exStyle = 0);
    void Pump();
    void Click(HWND h);  // at the centre of the window
    void Press(HWND h);
    void ReleaseAt(int x, int y);
    void Key(UINT vk, bool down, unsigned char ch = 0);
    void Tap(UINT vk, unsigned char ch = 0);
    // A key pressed while `modifier` is held.
    void Chord(UINT modifier, UINT vk);
    // Every character typed as its own key press.
    void Type(const std::string& text);
    void PressAt(POINT screen);
    void MoveTo(POINT screen);
    std::string TextOf(HWND h);
    POINT Centre(HWND h);
    // A pixel of the composed screen, at a point of the window's client area.
    COLORREF Pixel(HWND h, int x, int y);
    // The codes of the WM_NOTIFY messages the parent heard, in order.
    std::vector<UINT> NotifyCodes() const;
    // The clicks (BN_CLICKED) the parent heard, by control id.
    std::vector<int> Clicks() const;

    testing_support::Watchdog watchdog_;

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    HWND parent_ = nullptr;

public:
    static std::vector<Note>& Notes();
    // Answers the parent's WM_NOTIFY messages when set (cleared for every test).
    static std::function<LRESULT(NMHDR*)>& OnNotify();
    // When set, the parent asks it first; it answers by setting `handled`.
    static std::function<LRESULT(UINT msg, WPARAM, LPARAM, bool& handled)>& ParentHook();
};

}  // namespace win::testing
