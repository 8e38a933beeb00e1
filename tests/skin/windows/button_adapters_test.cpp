// The static, icon, push button and check box adapters on real native windows: the children of
// a message box reached through a creation hook of the test's own, and buttons of every check
// kind on a form.
#include "skin/windows/adapters/button_adapters.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/controls/standard_controls.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/scroll_bar.h"
#include "platform/controls/up_down_control.h"
#include "platform/user/input.h"
#include "platform/user/message_box.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/adapters/sizer_spin_adapters.h"
#include "skin/windows/adapters/static_adapters.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

// The window printed into a bitmap of its size (WM_PRINT), as RGB pixels.
struct Print {
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> bmp{new vcl::TBitmap};
    uint32_t At(int x, int y) { return uint32_t(bmp->Canvas()->Pixels(x, y)) & 0xFFFFFF; }
};
Print PrintOf(win::HWND wnd) {
    win::RECT r{};
    win::GetWindowRect(wnd, &r);
    Print p;
    p.bmp->SetPixelFormat(vcl::pf24bit);
    p.bmp->SetSize(r.right - r.left, r.bottom - r.top);
    win::SendMessageA(wnd, win::WM_PRINT, reinterpret_cast<uintptr_t>(p.bmp->Canvas()->Handle()),
                      win::PRF_CLIENT);
    return p;
}

uint8_t Mix(uint32_t c, uint32_t back, int shift) {
    const double v = ((c >> shift) & 0xFF) * 0.4 + ((back >> shift) & 0xFF) * 0.6;
    return uint8_t(v + 0.5);
}

bool Near(uint32_t a, uint32_t b) {
    for (int s : {0, 8, 16})
        if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 1) return false;
    return true;
}

// What the hook saw in the message box, probed while it was up.
struct BoxProbe {
    int buttons = 0, defaultState = -1, otherState = -1;
    bool fadedToParent = false, staticOnGlobal = false, iconDrawn = false, edgeLeftAlone = false;
};
BoxProbe gProbe;
win::HHOOK gHook = nullptr;
uint32_t gGlobal = 0;

void ProbeBox(win::HWND box) {
    std::vector<TacMainWnd*> adapters;
    DialogChildMode = true;
    for (win::HWND c = win::GetWindow(box, win::GW_CHILD); c; c = win::GetWindow(c, win::GW_HWNDNEXT)) {
        char cls[32] = {};
        win::GetClassNameA(c, cls, sizeof cls);
        const auto style = uint32_t(win::GetWindowLongA(c, win::GWL_STYLE));
        if (std::string_view(cls) == "Button")
            adapters.push_back(AttachAdapter<TacBtnWnd>(c, nullptr, nullptr, ""));
        else if (std::string_view(cls) == "Static" && (style & 3) == win::SS_ICON)
            adapters.push_back(AttachAdapter<TacIconWnd>(c, nullptr, nullptr, ""));
        else if (std::string_view(cls) == "Static")
            adapters.push_back(AttachAdapter<TacStaticWnd>(c, nullptr, nullptr, ""));
    }
    DialogChildMode = false;
    for (TacMainWnd* a : adapters) {
        EXPECT_TRUE(a->InDialog);
        const win::HWND w = a->CtrlHandle;
        if (auto* b = dynamic_cast<TacBtnWnd*>(a)) {
            ++gProbe.buttons;
            win::SetFocus(nullptr);
            const auto style = uint32_t(win::GetWindowLongA(w, win::GWL_STYLE));
            ((style & 0xF) == win::BS_DEFPUSHBUTTON ? gProbe.defaultState : gProbe.otherState) =
                b->CtrlState();
            if ((style & 0xF) != win::BS_DEFPUSHBUTTON) {
                Print on = PrintOf(w);
                win::EnableWindow(w, false);
                Print off = PrintOf(w);
                win::EnableWindow(w, true);
                // The first pixel of the middle row that the section paints.
                const int y = on.bmp->Height() / 2;
                int x = 0;
                while (x + 1 < on.bmp->Width() && on.At(x, y) == gGlobal) ++x;
                const uint32_t c = on.At(x, y);
                const uint32_t want = Mix(c, gGlobal, 0) | Mix(c, gGlobal, 8) << 8 |
                                      Mix(c, gGlobal, 16) << 16;
                gProbe.fadedToParent = Near(off.At(x, y), want) && c != gGlobal;
            }
        } else if (auto* icon = dynamic_cast<TacIconWnd*>(a)) {
            Print p = PrintOf(w);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) gProbe.iconDrawn |= p.At(x, y) != gGlobal;
            (void)icon;
        } else if (auto* s = dynamic_cast<TacStaticWnd*>(a)) {
            gProbe.staticOnGlobal = PrintOf(w).At(0, 0) == gGlobal && s->Painted();
            win::SetWindowLongA(w, win::GWL_EXSTYLE, win::WS_EX_STATICEDGE);
            s->SkinData->CacheStale = true;
            PrintOf(w);
            gProbe.edgeLeftAlone = !s->Painted() && s->SkinData->CacheStale;
            win::SetWindowLongA(w, win::GWL_EXSTYLE, 0);
        }
    }
    for (TacMainWnd*& a : adapters) FreeAdapter(a);
}

win::LRESULT BoxHook(int code, win::WPARAM wp, win::LPARAM lp) {
    if (code == win::HCBT_ACTIVATE) {
        auto box = reinterpret_cast<win::HWND>(wp);
        char cls[16] = {};
        win::GetClassNameA(box, cls, sizeof cls);
        if (std::string_view(cls) == "#32770") {
            ProbeBox(box);
            win::QueueKeyEvent(win::KeyEvent{win::VK_ESCAPE, true, 27});
        }
    }
    return win::CallNextHookEx(gHook, code, wp, lp);
}

using ButtonAdaptersTest = WindowsTest;

TEST_F(ButtonAdaptersTest, MessageBoxChildrenDrawnBySkin) {
    gProbe = {};
    gGlobal = uint32_t(manager->GetGlobalColor()) & 0xFFFFFF;
    gHook = win::SetWindowsHookExA(win::WH_CBT, BoxHook, nullptr, win::GetCurrentThreadId());
    win::MessageBoxA(form->Handle(), "text", "caption",
                     win::MB_YESNOCANCEL | win::MB_ICONQUESTION);
    win::UnhookWindowsHookEx(gHook);
    EXPECT_EQ(gProbe.buttons, 3);
    EXPECT_EQ(gProbe.defaultState, 1);  // the hot look without the focus
    EXPECT_EQ(gProbe.otherState, 0);
    EXPECT_TRUE(gProbe.fadedToParent);
    EXPECT_TRUE(gProbe.staticOnGlobal);
    EXPECT_TRUE(gProbe.iconDrawn);
    EXPECT_TRUE(gProbe.edgeLeftAlone);
}

TEST_F(ButtonAdaptersTest, CheckGlyphsByKindStateAndSide) {
    struct Row {
        uint32_t style;
        uintptr_t check;
    };
    // Unchecked: box, radio (both radio styles), box with text on the left; then the box states.
    const Row rows[] = {{win::BS_AUTOCHECKBOX, 0}, {win::BS_RADIOBUTTON, 0},
                        {win::BS_AUTORADIOBUTTON, 0}, {win::BS_AUTOCHECKBOX | win::BS_LEFTTEXT, 0},
                        {win::BS_AUTO3STATE, 1}, {win::BS_AUTO3STATE, 2}};
    std::vector<Print> prints;
    for (const Row& row : rows) {
        win::HWND w = win::CreateWindowExA(0, "Button", "", win::WS_CHILD | win::WS_VISIBLE | row.style,
                                           5, 5, 60, 20, form->Handle(), nullptr, nullptr, nullptr);
        auto* a = AttachAdapter<TacCheckBoxWnd>(w, nullptr, nullptr, "");
        win::SendMessageA(w, win::BM_SETCHECK, row.check, 0);
        prints.push_back(PrintOf(w));
        TacMainWnd* m = a;
        FreeAdapter(m);
        win::DestroyWindow(w);
    }
    auto region = [&](size_t i, int x0) {
        std::vector<uint32_t> px;
        for (int y = 2; y < 18; ++y)
            for (int x = x0; x < x0 + 16; ++x) px.push_back(prints[i].At(x, y));
        return px;
    };
    EXPECT_NE(region(0, 0), region(1, 0));  // radio glyph, not a box
    EXPECT_EQ(region(1, 0), region(2, 0));  // both radio styles alike
    EXPECT_EQ(region(3, 44), region(0, 0));  // text on the left: the glyph at the right edge
    EXPECT_NE(region(3, 0), region(0, 0));
    EXPECT_NE(region(4, 0), region(0, 0));  // checked
    EXPECT_NE(region(5, 0), region(4, 0));  // grey
    EXPECT_NE(region(5, 0), region(0, 0));
}

TEST_F(ButtonAdaptersTest, PushButtonStatesAndRepaintOnText) {
    win::HWND b = win::CreateWindowExA(0, "Button", "Send", win::WS_CHILD | win::WS_VISIBLE, 5, 40,
                                       80, 24, form->Handle(), nullptr, nullptr, nullptr);
    auto* a = AttachAdapter<TacBtnWnd>(b, nullptr, nullptr, "");
    win::SetFocus(nullptr);
    struct Row {
        bool active, pushed, enabled;
        int state;
    };
    const Row rows[] = {{false, false, true, 0}, {true, false, true, 1}, {false, true, true, 2},
                        {true, false, false, 0}, {true, true, true, 2}};
    for (const Row& r : rows) {
        manager->SetActiveControl(r.active ? b : nullptr);
        win::SendMessageA(b, win::BM_SETSTATE, r.pushed, 0);
        win::EnableWindow(b, r.enabled);
        EXPECT_EQ(a->CtrlState(), r.state) << r.active << r.pushed << r.enabled;
    }
    win::SendMessageA(b, win::BM_SETSTATE, 0, 0);
    win::EnableWindow(b, true);
    manager->SetActiveControl(nullptr);
    // New text is painted by the adapter at once: the cache is fresh and holds no classic face.
    win::SetWindowTextA(b, "Stop");
    EXPECT_EQ(a->Caption, "Stop");
    EXPECT_FALSE(a->SkinData->CacheStale);
    EXPECT_NE(PrintOf(b).At(40, 2), win::GetSysColor(win::COLOR_BTNFACE) & 0xFFFFFF);
    TacMainWnd* m = a;
    FreeAdapter(m);
    win::DestroyWindow(b);
}

TEST_F(ButtonAdaptersTest, SizeGripAnswersCornerAndShowsSkinGrip) {
    win::HWND grip = win::CreateWindowExA(0, "ScrollBar", "", win::WS_CHILD | win::WS_VISIBLE |
                                          win::SBS_SIZEGRIP, 10, 10, 20, 20, form->Handle(),
                                          nullptr, nullptr, nullptr);
    TacMainWnd* a = AttachAdapter<TacSizerWnd>(grip, nullptr, nullptr, "");
    EXPECT_EQ(win::SendMessageA(grip, win::WM_NCHITTEST, 0, 0), win::HTBOTTOMRIGHT);
    Print skinned = PrintOf(grip);
    const uint32_t global = uint32_t(manager->GetGlobalColor()) & 0xFFFFFF;
    EXPECT_EQ(skinned.At(0, 0), global);  // the parent shows through above the grip
    bool differs = false;
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x) differs |= skinned.At(x, y) != global;
    EXPECT_TRUE(differs);
    FreeAdapter(a);
    win::DestroyWindow(grip);
}

TEST_F(ButtonAdaptersTest, UpDownHalvesHotPressedAndUnlitAfterLeaving) {
    win::HWND spin = win::CreateWindowExA(0, win::UPDOWN_CLASSA, "", win::WS_CHILD | win::WS_VISIBLE,
                                          10, 60, 18, 30, form->Handle(), nullptr, nullptr, nullptr);
    auto* a = AttachAdapter<TacSpinWnd>(spin, nullptr, nullptr, "SPEEDBUTTON_SMALL");
    win::RECT r{};
    win::GetWindowRect(spin, &r);
    // The face of each half away from its arrow.
    auto faces = [&] {
        Print p = PrintOf(spin);
        return std::pair{p.At(2, 2), p.At(2, 17)};
    };
    win::SetCursorPos(r.left + 9, r.top + 5);
    win::SendMessageA(spin, win::WM_MOUSEMOVE, 0, 0);
    auto [upHot, downCold] = faces();
    EXPECT_EQ(a->PartStates[0], 1);
    EXPECT_EQ(a->PartStates[1], 0);
    EXPECT_NE(upHot, downCold);
    win::SendMessageA(spin, win::WM_LBUTTONDOWN, win::MK_LBUTTON, 0);
    faces();
    EXPECT_EQ(a->PartStates[0], 2);
    win::SendMessageA(spin, win::WM_LBUTTONUP, 0, 0);
    win::SetCursorPos(r.left + 200, r.top + 200);
    win::SendMessageA(spin, win::WM_MOUSELEAVE, 0, 0);
    auto [up, down] = faces();
    EXPECT_EQ(a->PartStates[0], 0);
    EXPECT_EQ(up, down);
    EXPECT_EQ(down, downCold);
    TacMainWnd* m = a;
    FreeAdapter(m);
    win::DestroyWindow(spin);
}

}  // namespace
}  // namespace skin::testing
