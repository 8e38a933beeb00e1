// The group box and panel adapters: native group boxes and class-library panels on a form.
#include "skin/windows/adapters/container_adapters.h"

#include <gtest/gtest.h>

#include "platform/controls/standard_controls.h"
#include "platform/gdi/sys_colors.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/windows/fake_bar_windows.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/controls/ext_ctrls.h"

namespace skin::testing {
namespace {

using ContainerAdaptersTest = WindowsTest;

TEST_F(ContainerAdaptersTest, PanelSectionFollowsItsBevels) {
    struct Row {
        vcl::TBevelCut outer, inner;
        vcl::TBorderStyle border;
        const char* section;
    };
    const Row rows[] = {
        {vcl::bvLowered, vcl::bvRaised, vcl::bsNone, "GROUPBOX"},
        {vcl::bvLowered, vcl::bvNone, vcl::bsNone, "PANEL_LOW"},
        {vcl::bvLowered, vcl::bvLowered, vcl::bsNone, "PANEL_LOW"},
        {vcl::bvRaised, vcl::bvLowered, vcl::bsNone, "GROUPBOX"},
        {vcl::bvRaised, vcl::bvRaised, vcl::bsNone, "PANEL"},
        {vcl::bvNone, vcl::bvRaised, vcl::bsNone, "CHECKBOX"},
        {vcl::bvSpace, vcl::bvNone, vcl::bsNone, "CHECKBOX"},
        {vcl::bvNone, vcl::bvNone, vcl::bsSingle, "PANEL_LOW"},
    };
    for (const Row& row : rows) {
        auto* panel = Place<vcl::TPanel>(form, vcl::TRect{10, 10, 110, 60});
        panel->SetBevelOuter(row.outer);
        panel->SetBevelInner(row.inner);
        panel->SetBorderStyle(row.border);
        panel->HandleNeeded();
        TsCommonData data(panel, true);
        TacMainWnd* a = AttachAdapter<TacPanelWnd>(panel->Handle(), &data, nullptr, "");
        EXPECT_EQ(data.SkinSection(), row.section) << int(row.outer) << int(row.inner);
        FreeAdapter(a);
        delete panel;
    }
    // A section the caller names stands.
    auto* panel = Place<vcl::TPanel>(form, vcl::TRect{10, 10, 110, 60});
    panel->HandleNeeded();
    TsCommonData data(panel, true);
    data.SetSkinSection("BAR");
    TacMainWnd* a = AttachAdapter<TacPanelWnd>(panel->Handle(), &data, nullptr, "BAR");
    EXPECT_EQ(data.SkinSection(), "BAR");
    FreeAdapter(a);
    delete panel;
}

TEST_F(ContainerAdaptersTest, PanelCaptionChangeRepaintsWithoutTheClassLook) {
    auto* panel = Place<vcl::TPanel>(form, vcl::TRect{10, 10, 210, 110});
    panel->SetCaption("Tools");
    form->Show();
    Pump();
    TsCommonData data(panel, true);
    TacMainWnd* a = AttachAdapter<TacPanelWnd>(panel->Handle(), &data, nullptr, "");
    win::UpdateWindow(panel->Handle());
    win::InvalidateRect(panel->Handle(), nullptr, true);
    Pump();
    const win::COLORREF before = WindowPixel(panel->Handle(), 100, 20);
    panel->SetCaption("A new caption");
    // Painted at once from a fresh cache: the screen shows the cache, caption included.
    EXPECT_EQ(a->Caption, "A new caption");
    EXPECT_FALSE(data.CacheStale);
    auto cachePixel = [&](int x, int y) {
        return win::COLORREF(data.CacheBmp()->Canvas()->Pixels(x, y)) & 0xFFFFFF;
    };
    EXPECT_EQ(WindowPixel(panel->Handle(), 100, 20), cachePixel(100, 20));
    EXPECT_EQ(WindowPixel(panel->Handle(), 100, 20), before);
    bool text = false;
    for (int x = 40; x < 160; ++x) text |= WindowPixel(panel->Handle(), x, 50) != cachePixel(2, 50);
    EXPECT_TRUE(text);
    FreeAdapter(a);
}

TEST_F(ContainerAdaptersTest, GroupBoxCaptionGapAndRightToLeftReading) {
    form->Show();
    Pump();
    struct Row {
        uint32_t exStyle;
        bool gapAtLeft;
    };
    for (const Row row : {Row{0, true}, Row{win::WS_EX_RTLREADING, false}}) {
        win::HWND box = win::CreateWindowExA(row.exStyle, "Button", "Settings",
                                             win::WS_CHILD | win::WS_VISIBLE | win::BS_GROUPBOX, 10,
                                             10, 200, 100, form->Handle(), nullptr, nullptr,
                                             nullptr);
        auto* a = AttachAdapter<TacGroupBoxWnd>(box, nullptr, nullptr, "");
        // Painted by its WM_PAINT: invalidated and updated, then read from the screen.
        win::InvalidateRect(box, nullptr, true);
        win::UpdateWindow(box);
        Pump();
        const int capHeight = int(Command(box, SKC_GETCAPTIONHEIGHT));
        ASSERT_GT(capHeight, 4);
        const win::COLORREF parent = WindowPixel(box, 100, 0);
        // The strip above the frame shows the parent, and so does the caption's gap in the
        // frame line, at the left or, reading right to left, at the right.
        EXPECT_EQ(WindowPixel(box, 1, 1), parent);
        EXPECT_EQ(WindowPixel(box, 198, 1), parent);
        const int line = capHeight / 2;
        int gapLeft = 0, gapRight = 0;
        for (int x = 8; x < 20; ++x) gapLeft += WindowPixel(box, x, line) == parent;
        for (int x = 180; x < 192; ++x) gapRight += WindowPixel(box, x, line) == parent;
        EXPECT_EQ(gapLeft > 0, row.gapAtLeft);
        EXPECT_EQ(gapRight > 0, !row.gapAtLeft);
        EXPECT_NE(WindowPixel(box, 100, 60), win::GetSysColor(win::COLOR_BTNFACE) & 0xFFFFFF);
        TacMainWnd* m = a;
        FreeAdapter(m);
        win::DestroyWindow(box);
    }
}

}  // namespace
}  // namespace skin::testing
