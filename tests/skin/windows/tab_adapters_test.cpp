// The tab, page control and page adapters on a fake tab window that answers the tab messages
// from a table.
#include "skin/windows/adapters/tab_adapters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/controls/up_down_control.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/adapters/sizer_spin_adapters.h"
#include "tests/skin/windows/fake_bar_windows.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

constexpr int kW = 200, kH = 150;

// Three tabs of 60 x 20 along the side, the middle one captioned.
FakeTabTable ThreeTabs(int side) {
    FakeTabTable t;
    for (int i = 0; i < 3; ++i) {
        const int a = 2 + 60 * i, b = a + 60;
        win::RECT r = side == tsTop      ? win::RECT{a, 2, b, 22}
                      : side == tsBottom ? win::RECT{a, kH - 22, b, kH - 2}
                      : side == tsLeft   ? win::RECT{2, a, 22, b}
                                         : win::RECT{kW - 22, a, kW - 2, b};
        t.tabs.push_back({i == 1 ? "Mailing" : "", r, -1});
    }
    return t;
}

uint32_t SideStyle(int side) {
    const uint32_t styles[] = {0, TCS_BOTTOM, TCS_VERTICAL, TCS_VERTICAL | TCS_RIGHT};
    return styles[side];
}

class TabAdaptersTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        form->Show();
        Pump();
    }
    win::HWND Tab(FakeTabTable* t, uint32_t style) {
        return CreateFakeTabWindow(form->Handle(), win::RECT{10, 10, 10 + kW, 10 + kH}, style, t);
    }
};

TEST_F(TabAdaptersTest, FourSidesWithCaptionsTurnedOnTheLeftAndRight) {
    for (int side : {tsTop, tsBottom, tsLeft, tsRight}) {
        SCOPED_TRACE(side);
        FakeTabTable t = ThreeTabs(side);
        t.selected = 0;
        win::HWND w = Tab(&t, SideStyle(side));
        auto* a = AttachAdapter<TacTabControlWnd>(w, nullptr, nullptr, "");
        EXPECT_EQ(a->TabPosition(), side);
        const PrintedWindow with = PrintWindowImage(w);
        t.tabs[1].text.clear();
        const PrintedWindow without = PrintWindowImage(w);
        // Where the caption's letters are: wide on the top and bottom, tall on the sides.
        const vcl::TRect r = a->TabRect(1, false);
        int left = kW, right = -1, top = kH, bottom = -1;
        for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, kH); ++y)
            for (int x = std::max(r.Left, 0); x < std::min(r.Right, kW); ++x)
                if (with.At(x, y) != without.At(x, y)) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, 0) << "no caption";
        if (side == tsTop || side == tsBottom)
            EXPECT_GT(right - left, bottom - top);
        else
            EXPECT_GT(bottom - top, right - left);
        TacMainWnd* m = a;
        FreeAdapter(m);
        win::DestroyWindow(w);
    }
}

TEST(TabCaptionFont, TurnedNormalWeightAndArialForMsSansSerif) {
    struct Row {
        const char* face;
        int side;
        const char* used;
        int escapement;
    };
    const Row rows[] = {{"MS Sans Serif", tsLeft, "Arial", 900},
                        {"MS Sans Serif", tsRight, "Arial", 2700},
                        {"Tahoma", tsRight, "Tahoma", 2700},
                        {"MS Sans Serif Bold", tsLeft, "MS Sans Serif Bold", 900}};
    for (const Row& row : rows) {
        win::LOGFONTA base;
        std::strcpy(base.lfFaceName, row.face);
        base.lfWeight = 700;
        base.lfHeight = -11;
        const win::LOGFONTA f = RotatedTabFont(base, row.side);
        EXPECT_STREQ(f.lfFaceName, row.used);
        EXPECT_EQ(f.lfEscapement, row.escapement);
        EXPECT_EQ(f.lfWeight, 400);
        EXPECT_EQ(f.lfHeight, -11);
    }
}

TEST_F(TabAdaptersTest, NoTabsPaintsTheWholeWindowAsCheckBox) {
    FakeTabTable t;
    win::HWND w = Tab(&t, 0);
    // The scroll arrows of the tab row get their own adapter, gone with the control's.
    win::HWND arrows = win::CreateWindowExA(0, win::UPDOWN_CLASSA, "", win::WS_CHILD | win::WS_VISIBLE,
                                            160, 2, 36, 18, w, nullptr, nullptr, nullptr);
    auto* a = AttachAdapter<TacTabControlWnd>(w, nullptr, nullptr, "");
    ASSERT_NE(a->SpinAdapter, nullptr);
    EXPECT_EQ(FindWindowAdapter(arrows), a->SpinAdapter);
    EXPECT_EQ(a->SpinAdapter->SkinData->SkinSection(), "UPDOWNBTN");
    const PrintedWindow p = PrintWindowImage(w);
    EXPECT_EQ(a->AreaSection(), "CHECKBOX");
    EXPECT_EQ(a->PageFrameRect(), (vcl::TRect{0, 0, kW, kH}));
    EXPECT_TRUE(a->PaintOrder.empty());
    EXPECT_EQ(p.At(kW / 2, kH / 2), uint32_t(a->SkinData->CacheBmp()->Canvas()->Pixels(kW / 2, kH / 2)) & 0xFFFFFF);
    TacMainWnd* m = a;
    FreeAdapter(m);
    EXPECT_EQ(FindWindowAdapter(arrows), nullptr);
    win::DestroyWindow(w);
}

TEST_F(TabAdaptersTest, SelectedTabDrawnLastOverThePageArea) {
    FakeTabTable t = ThreeTabs(tsTop);
    t.selected = 1;
    win::HWND w = Tab(&t, 0);
    auto* a = AttachAdapter<TacTabControlWnd>(w, nullptr, nullptr, "");
    const PrintedWindow p = PrintWindowImage(w);
    EXPECT_EQ(a->PaintOrder, (std::vector<int>{0, 2, 1}));
    vcl::TCanvas* cache = a->SkinData->CacheBmp()->Canvas();
    const vcl::TRect frame = a->PageFrameRect();
    auto differs = [&](const vcl::TRect& r) {
        int n = 0;
        for (int y = frame.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += p.At(x, y) != (uint32_t(cache->Pixels(x, y)) & 0xFFFFFF);
        return n;
    };
    // The selected tab stands over the frame; the others are under it.
    const vcl::TRect sel = a->TabRect(1, true);
    vcl::TRect other = a->TabRect(0, false);
    other.Right = std::min(other.Right, sel.Left);
    ASSERT_LT(frame.Top, sel.Bottom);
    ASSERT_LT(frame.Top, other.Bottom);
    EXPECT_GT(differs(sel), 0);
    EXPECT_EQ(differs(other), 0);
    TacMainWnd* m = a;
    FreeAdapter(m);
    win::DestroyWindow(w);
}

TEST_F(TabAdaptersTest, PagesAdaptedOnceAndGoneWithTheirPagesOrTheControl) {
    FakeTabTable t = ThreeTabs(tsTop);
    win::HWND w = Tab(&t, 0);
    auto page = [&](int y) {
        return win::CreateWindowExA(0, "Static", "", win::WS_CHILD | win::WS_VISIBLE, 4, y, 150,
                                    40, w, nullptr, nullptr, nullptr);
    };
    win::HWND first = page(30), second = page(80);
    const int links = LiveAdapterLinks();
    auto* a = AttachAdapter<TacPageControlWnd>(w, nullptr, nullptr, "");
    ASSERT_EQ(a->Pages().size(), 2u);
    for (int i = 0; i < 3; ++i) {
        win::SendMessageA(w, win::WM_NCPAINT, 1, 0);
        a->AdaptPages();
    }
    EXPECT_EQ(a->Pages().size(), 2u);
    const auto& pages = a->Pages();
    EXPECT_NE(std::find(pages.begin(), pages.end(), FindWindowAdapter(first)), pages.end());
    // A page shows the page control's picture at its place.
    PrintWindowImage(w);
    const PrintedWindow shown = PrintWindowImage(second);
    EXPECT_EQ(shown.At(5, 5), uint32_t(a->SkinData->CacheBmp()->Canvas()->Pixels(9, 85)) & 0xFFFFFF);
    win::DestroyWindow(first);
    EXPECT_EQ(a->Pages().size(), 1u);
    win::HWND third = page(100);
    a->AdaptPages();
    EXPECT_EQ(a->Pages().size(), 2u);
    TacMainWnd* m = a;
    FreeAdapter(m);
    EXPECT_EQ(FindWindowAdapter(second), nullptr);
    EXPECT_EQ(FindWindowAdapter(third), nullptr);
    win::DestroyWindow(w);
    EXPECT_EQ(LiveAdapterLinks(), links);
}

}  // namespace
}  // namespace skin::testing
