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
    UINT ctlType = 0;    // of WM_DRAWITEM and WM_MEASUREITEM
    UINT code = 0;       // of WM_NOTIFY
    UINT itemID = 0;
    HWND item = nullptr;
    bool shown = false;  // WM_CTLCOLORLISTBOX: the list was visible when it asked
};

// A window's own paint (WM_PAINT with a DC), into a bitmap of its client size.
class Shot {
public:
    explicit Shot(HWND h, UINT msg = WM_PAINT);
    ~Shot();
    Shot(const Shot&) = delete;
    Shot& operator=(const Shot&) = delete;
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    struct Span {
        int first, last;
    };
    // The leftmost and rightmost columns holding `colour`, or -1.
    Span Columns(COLORREF colour) const;
    int Width() const { return w_; }
    int Height() const { return h_; }

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
    void ClickAt(POINT screen);
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
    // The notification codes the parent heard from one control.
    static std::vector<WORD> Codes(HWND from);
    // The middle of a list box's item, on the screen.
    static POINT ListItemPoint(HWND list, int i);
    // The parent sizes owner-drawn items with `measure`.
    static void Measure(std::function<void(MEASUREITEMSTRUCT*)> measure);

    testing_support::Watchdog watchdog_;

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    HWND parent_ = nullptr;

    // The notes of one message (WM_COMMAND, WM_DRAWITEM, WM_NOTIFY, WM_HSCROLL, WM_VSCROLL).
    std::vector<Note> NotesOf(UINT msg) const;

public:
    static std::vector<Note>& Notes();
    // Answers the parent's WM_NOTIFY messages when set (cleared for every test).
    static std::function<LRESULT(NMHDR*)>& OnNotify();
    // When set, the parent answers WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC and WM_CTLCOLORLISTBOX
    // with this brush.
    static HBRUSH& CtlColorBrush();
    // When set, the parent asks it first; it answers by setting `handled`.
    static std::function<LRESULT(UINT msg, WPARAM, LPARAM, bool& handled)>& ParentHook();
};

}  // namespace win::testing
