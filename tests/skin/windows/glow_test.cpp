// Halos: where the glow window lies for a whole or a clipped control, that clicks pass through
// it, and that ids outlive a clear without ever freeing another glow.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/user/user.h"
#include "skin/windows/effects/glow.h"
#include "tests/skin/windows/provider_fixture.h"

namespace skin::testing {
namespace {

using vcl::TRect;

class Glow : public ProviderTest {
protected:
    void SetUp() override {
        ProviderTest::SetUp();
        UseSynthetic();
        mask = manager->GetMaskIndexByNames("GLOBALINFO", "BICONCLOSEGLOW0");
        ASSERT_TRUE(manager->IsValidImgIndex(mask));
        l = manager->MaskWidthLeft(mask), t = manager->MaskWidthTop(mask);
        r = manager->MaskWidthRight(mask), b = manager->MaskWidthBottom(mask);
    }
    void TearDown() override {
        ClearGlows();
        Pump();
        ProviderTest::TearDown();
    }
    int Show(const TRect& control, const TRect& clip, win::HWND anchor = nullptr,
             int margin = kMargin) {
        return ShowGlow(control, clip, "GLOBALINFO", manager.get(), anchor, 255, margin,
                        "BICONCLOSEGLOW");
    }
    static TRect WindowRect(int id) {
        win::RECT wr{};
        win::GetWindowRect(FindGlow(id)->Window(), &wr);
        return {wr.left, wr.top, wr.right, wr.bottom};
    }
    static constexpr int kMargin = 2;
    int mask = -1, l = 0, t = 0, r = 0, b = 0;
};

TEST_F(Glow, HaloIsCutAtTheVisibleEdges) {
    const TRect control{200, 150, 260, 190};
    // A margin wider than every border: the halo lies within the control.
    const int wide = std::max({l, t, r, b}) + 4;
    struct Case {
        const char* what;
        TRect clip;
        bool left, top, right, bottom;  // sides cut at the clip
        int margin = kMargin;
    } cases[] = {
        {"whole", control, false, false, false, false},
        {"left hidden", {215, 150, 260, 190}, true, false, false, false},
        {"right and bottom hidden", {200, 150, 240, 175}, false, false, true, true},
        {"top and right hidden", {200, 160, 250, 190}, false, true, true, false},
        {"only the middle seen", {210, 160, 250, 180}, true, true, true, true},
        {"a pixel hidden at each side, wide margin", {201, 151, 259, 189}, false, false, false,
         false, wide},
        {"right and bottom hidden, wide margin", {200, 150, 259, 189}, false, false, false, false,
         wide},
        {"only the middle seen, wide margin", {200 + wide + 6, 150 + wide + 4, 260 - wide - 6,
                                               190 - wide - 4}, true, true, true, true, wide},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int id = Show(control, c.clip, nullptr, c.margin);
        ASSERT_GE(id, 0);
        ASSERT_TRUE(win::IsWindowVisible(FindGlow(id)->Window()));
        const TRect w = WindowRect(id);
        EXPECT_EQ(w.Left, c.left ? c.clip.Left : control.Left - l + c.margin);
        EXPECT_EQ(w.Top, c.top ? c.clip.Top : control.Top - t + c.margin);
        EXPECT_EQ(w.Right, c.right ? c.clip.Right : control.Right + r - c.margin);
        EXPECT_EQ(w.Bottom, c.bottom ? c.clip.Bottom : control.Bottom + b - c.margin);
        HideGlow(id);
    }
    // A control too large for any picture gets no halo.
    for (const TRect& huge : {TRect{0, 0, 40000, 40000}, TRect{-2000000000, 0, 2000000000, 10}}) {
        const int id = Show(huge, huge);
        const win::HWND halo = id >= 0 ? FindGlow(id)->Window() : nullptr;
        EXPECT_FALSE(halo && win::IsWindowVisible(halo));
        HideGlow(id);
    }
}

TEST_F(Glow, ClicksPassThroughAndATopmostAnchorMakesATopmostHalo) {
    vcl::TForm* f = MakeForm({});
    win::RECT fr{};
    win::GetWindowRect(f->Handle(), &fr);
    const TRect control{fr.left + 40, fr.top + 60, fr.left + 100, fr.top + 90};
    const int id = Show(control, control, f->Handle());
    ASSERT_GE(id, 0);
    const win::HWND halo = FindGlow(id)->Window();
    EXPECT_TRUE(win::IsWindowVisible(halo));
    EXPECT_EQ(win::SendMessageA(halo, win::WM_NCHITTEST, 0, 0), win::HTTRANSPARENT);
    EXPECT_EQ(win::WindowFromPoint({control.Left + 1, control.Top + 1}), f->Handle());
    EXPECT_FALSE(win::GetWindowLongPtrA(halo, win::GWL_EXSTYLE) & win::WS_EX_TOPMOST);

    f->SetFormStyle(vcl::fsStayOnTop);
    Pump();
    const int top = Show(control, control, f->Handle());
    EXPECT_TRUE(win::GetWindowLongPtrA(FindGlow(top)->Window(), win::GWL_EXSTYLE) &
                win::WS_EX_TOPMOST);
}

TEST_F(Glow, IdsAreNeverReusedAndStaleOnesDoNothing) {
    const TRect control{10, 10, 50, 40};
    const int first = Show(control, control);
    ClearGlows();
    const int second = Show(control, control);
    EXPECT_NE(first, second);
    HideGlow(first);  // kept by a control across the clear
    HideGlow(first);
    HideGlow(-1);
    EXPECT_EQ(GlowCount(), 1);
    HideGlow(second);
    EXPECT_EQ(GlowCount(), 0);
    Pump();

    EXPECT_EQ(ShowGlow(control, control, "GLOBALINFO", manager.get(), nullptr, 255, 0, "NOSUCH"),
              -1);
    EXPECT_EQ(GlowCount(), 0);
}

}  // namespace
}  // namespace skin::testing
