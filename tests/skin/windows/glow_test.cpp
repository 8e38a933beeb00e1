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
    int Show(const TRect& control, const TRect& clip, win::HWND anchor = nullptr) {
        return ShowGlow(control, clip, "GLOBALINFO", manager.get(), anchor, 255, kMargin,
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
    struct Case {
        const char* what;
        TRect clip;
        bool left, top, right, bottom;  // sides cut at the clip
    } cases[] = {
        {"whole", control, false, false, false, false},
        {"left hidden", {215, 150, 260, 190}, true, false, false, false},
        {"right and bottom hidden", {200, 150, 240, 175}, false, false, true, true},
        {"top and right hidden", {200, 160, 250, 190}, false, true, true, false},
        {"only the middle seen", {210, 160, 250, 180}, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int id = Show(control, c.clip);
        ASSERT_GE(id, 0);
        const TRect w = WindowRect(id);
        EXPECT_EQ(w.Left, c.left ? c.clip.Left : control.Left - l + kMargin);
        EXPECT_EQ(w.Top, c.top ? c.clip.Top : control.Top - t + kMargin);
        EXPECT_EQ(w.Right, c.right ? c.clip.Right : control.Right + r - kMargin);
        EXPECT_EQ(w.Bottom, c.bottom ? c.clip.Bottom : control.Bottom + b - kMargin);
        HideGlow(id);
    }
}

// A margin wider than the mask's borders puts the halo inside its control: a clip that hides a
// pixel at each side cuts nothing. A control too large for a picture gets no halo.
TEST_F(Glow, AHaloInsideItsControlIsNotCut) {
    const TRect control{200, 150, 260, 190};
    const int m = std::max({l, t, r, b}) + 4;
    const int id = ShowGlow(control, {201, 151, 259, 189}, "GLOBALINFO", manager.get(), nullptr,
                            255, m, "BICONCLOSEGLOW");
    ASSERT_TRUE(id >= 0 && win::IsWindowVisible(FindGlow(id)->Window()));
    EXPECT_EQ(WindowRect(id), (TRect{control.Left - l + m, control.Top - t + m,
                                     control.Right + r - m, control.Bottom + b - m}));
    const int huge = Show({0, 0, 40000, 40000}, {0, 0, 40000, 40000});
    EXPECT_FALSE(huge >= 0 && win::IsWindowVisible(FindGlow(huge)->Window()));
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
