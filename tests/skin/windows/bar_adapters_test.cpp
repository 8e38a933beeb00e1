// The status bar adapter on the native bar and the class library's one, and the toolbar adapter
// on a fake toolbar that answers the toolbar messages from a table.
#include "skin/windows/adapters/status_bar_adapter.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/controls/status_bar_control.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/adapters/tool_bar_adapter.h"
#include "tests/skin/windows/fake_bar_windows.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/controls/status_bar.h"

namespace skin::testing {
namespace {

class BarAdaptersTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        form->Show();
        Pump();
    }
    win::HWND NativeBar() {
        win::HWND bar = win::CreateWindowExA(
            0, win::STATUSCLASSNAMEA, "",
            win::WS_CHILD | win::WS_VISIBLE | win::CCS_NOPARENTALIGN | win::CCS_NORESIZE, 0, 150,
            300, 22, form->Handle(), nullptr, nullptr, nullptr);
        const int rights[] = {100, 200, -1};
        win::SendMessageA(bar, win::SB_SETPARTS, 3, reinterpret_cast<intptr_t>(rights));
        return bar;
    }
    // The status bar's own frame given to the skin again as `prop` of `section`.
    void AddMask(const char* section, const char* prop) {
        TsSkinContent& skin = manager->Skin();
        const int from = manager->GetMaskIndexByNames("STATUSBAR", "BORDERSMASK");
        ASSERT_TRUE(skin.IsValidImgIndex(from));
        TsMaskData copy = skin.Masks[size_t(from)];
        copy.SectionName = section;
        copy.PropertyName = prop;
        skin.Masks.push_back(std::move(copy));
    }
    // The columns of the middle row where two prints differ.
    static std::vector<int> Differ(const PrintedWindow& a, const PrintedWindow& b) {
        std::vector<int> cols;
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, a.Height() / 2) != b.At(x, b.Height() / 2)) cols.push_back(x);
        return cols;
    }
};

TEST_F(BarAdaptersTest, StatusBarPartsSimpleOrSplitFramedOrDivided) {
    win::HWND bar = NativeBar();
    auto* a = AttachAdapter<TacStatusBarWnd>(bar, nullptr, nullptr, "");
    const std::vector<vcl::TRect> parts = a->PartRects();
    ASSERT_EQ(parts.size(), 3u);
    win::RECT second{};
    win::SendMessageA(bar, win::SB_GETRECT, 1, reinterpret_cast<intptr_t>(&second));
    EXPECT_EQ(parts[1], (vcl::TRect{second.left + 1, second.top + 1, second.right - 1,
                                    second.bottom - 1}));
    win::SendMessageA(bar, win::SB_SIMPLE, 1, 0);
    EXPECT_EQ(a->PartRects(), (std::vector<vcl::TRect>{{0, 1, 299, 21}}));

    // What parts change against one simple part, column by column, near which edges.
    auto split = [&] {
        win::SendMessageA(bar, win::SB_SIMPLE, 0, 0);
        const PrintedWindow three = PrintWindowImage(bar);
        win::SendMessageA(bar, win::SB_SIMPLE, 1, 0);
        return Differ(three, PrintWindowImage(bar));
    };
    auto near = [](const std::vector<int>& cols, std::initializer_list<int> edges) {
        for (int x : cols) {
            bool ok = false;
            for (int e : edges) ok |= std::abs(x - e) <= 6;
            if (!ok) return false;
        }
        return !cols.empty();
    };
    // The internal skin has neither a part frame nor a divider picture.
    EXPECT_TRUE(split().empty());
    AddMask("DIVIDER", "BORDERSMASK");
    const std::vector<int> divided = split();
    EXPECT_TRUE(near(divided, {100, 200}));
    EXPECT_FALSE(near(divided, {100}));
    AddMask("STATUSBAR", "STATUSPANELMASK");
    a->SkinData->UpdateIndexes();
    EXPECT_TRUE(near(split(), {0, 100, 200, 300}));
    TacMainWnd* m = a;
    FreeAdapter(m);
    win::DestroyWindow(bar);
}

TEST_F(BarAdaptersTest, StatusBarTextFromPartsOrPanels) {
    win::HWND bar = NativeBar();
    auto* a = AttachAdapter<TacStatusBarWnd>(bar, nullptr, nullptr, "");
    const PrintedWindow empty = PrintWindowImage(bar);
    win::SendMessageA(bar, win::SB_SETTEXTA, 1, reinterpret_cast<intptr_t>("Ready"));
    std::vector<int> cols = Differ(empty, PrintWindowImage(bar));
    ASSERT_FALSE(cols.empty());
    EXPECT_GT(cols.front(), 100);
    EXPECT_LT(cols.back(), 200);
    TacMainWnd* m = a;
    FreeAdapter(m);
    win::DestroyWindow(bar);

    // The class library's bar: its panels' texts, aligned as they say, or its simple text.
    auto* vbar = Place<vcl::TStatusBar>(form, vcl::TRect{0, 150, 300, 172});
    vbar->SetAlign(vcl::alNone);
    vbar->Panels()->Add()->SetWidth(150);
    vbar->Panels()->Add()->SetWidth(150);
    vbar->HandleNeeded();
    TsCommonData data(vbar, true);
    m = AttachAdapter<TacStatusBarWnd>(vbar->Handle(), &data, nullptr, "");
    const PrintedWindow blank = PrintWindowImage(vbar->Handle());
    vbar->Panels()->Items(1)->SetAlignment(vcl::taRightJustify);
    vbar->Panels()->Items(1)->SetText("42");
    cols = Differ(blank, PrintWindowImage(vbar->Handle()));
    ASSERT_FALSE(cols.empty());
    EXPECT_GT(cols.front(), 250);
    vbar->SetSimplePanel(true);
    vbar->SetSimpleText("All sent");
    cols = Differ(blank, PrintWindowImage(vbar->Handle()));
    ASSERT_FALSE(cols.empty());
    EXPECT_LT(cols.front(), 20);
    FreeAdapter(m);
}

TEST_F(BarAdaptersTest, ToolBarButtonStatesAndEmptyRectangles) {
    FakeToolTable t;
    const uint8_t on = TBSTATE_ENABLED;
    t.buttons = {{{2, 2, 26, 24}, on, 0, -1, ""},
                 {{26, 2, 50, 24}, uint8_t(on | TBSTATE_PRESSED), 0, -1, ""},
                 {{50, 2, 74, 24}, 0, 0, -1, "Off"},
                 {{74, 2, 80, 24}, on, TBSTYLE_SEP, -1, ""},
                 {{120, 5, 120, 20}, on, 0, -1, "Gone"},
                 {{80, 2, 140, 24}, on, BTNS_WHOLEDROPDOWN, -1, "Send"}};
    win::HWND w = CreateFakeToolBar(form->Handle(), win::RECT{10, 10, 210, 36}, &t);
    auto* a = AttachAdapter<TacToolBarWnd>(w, nullptr, nullptr, "BAR");
    win::RECT r{};
    win::GetWindowRect(w, &r);
    struct Row {
        int cursorX;  // in the toolbar
        int states[6];
    };
    const Row rows[] = {{300, {0, 2, 0, 0, -1, 0}},
                        {10, {1, 2, 0, 0, -1, 0}},
                        {30, {0, 2, 0, 0, -1, 0}},
                        {60, {0, 2, 0, 0, -1, 0}},
                        {100, {0, 2, 0, 0, -1, 1}}};
    for (const Row& row : rows) {
        win::SetCursorPos(r.left + row.cursorX, r.top + 10);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(a->ButtonState(i), row.states[i]) << row.cursorX << i;
    }
    win::SetCursorPos(r.left + 300, r.top + 10);
    const PrintedWindow p = PrintWindowImage(w);
    EXPECT_NE(p.At(12, 12), p.At(36, 12));  // normal and pressed
    // A button without area paints nothing where it claims to be.
    t.buttons[4].rect = {};
    const PrintedWindow q = PrintWindowImage(w);
    for (int x = 0; x < p.Width(); ++x) EXPECT_EQ(p.At(x, 12), q.At(x, 12)) << x;
    TacMainWnd* m = a;
    FreeAdapter(m);
    win::DestroyWindow(w);
}

}  // namespace
}  // namespace skin::testing
