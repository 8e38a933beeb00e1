#include "skin/controls/labels.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/os/files.h"
#include "platform/user/user.h"
#include "tests/support/temp_dir.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

class SkinLabelsTest : public FormTest {
protected:
    // Pixels of the last shot (on green) that are neither green nor the ink.
    int Shaded(int w, int h, TColor ink) {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                n += Px(x, y) != clGreen && Px(x, y) != ink;
        return n;
    }
};

TEST_F(SkinLabelsTest, LabelsAreTransparentAndTellTheMouse) {
    auto* l = Place<TsLabel>(form, Bounds(10, 10, 80, 17));
    EXPECT_TRUE(l->Transparent());
    EXPECT_TRUE(l->UseSkinColor());
    SetStrProp(l, "SkinSection", "PANEL");
    EXPECT_EQ(l->SkinSection(), "PANEL");
    std::string seen;
    l->OnMouseEnter = TNotifyEvent::FromCallable([&](TObject*) { seen += "enter "; });
    l->OnMouseLeave = TNotifyEvent::FromCallable([&](TObject*) { seen += "leave"; });
    l->SetCaption("Stage");
    form->Show();
    Pump();
    QueueMove(ScreenCentre(l).X, ScreenCentre(l).Y);
    QueueMove(ScreenCentre(form).X, form->ClientToScreen({0, 150}).Y);
    Pump();
    EXPECT_EQ(seen, "enter leave");
    // An auto-sized label follows its font.
    const int w = l->Width();
    l->Font()->SetSize(20);
    EXPECT_GT(l->Width(), w);
}

TEST_F(SkinLabelsTest, WebLabelShowsItsHoverFontAndOpensItsAddress) {
    testing_support::TempDir dir;
    const std::string opener = dir / "xdg-open";
    testing_support::WriteNotingOpener(opener, dir / "opened");
    testing_support::ScopedEnv path("PATH", dir.path() + ":" + std::getenv("PATH"));
    auto* l = Place<TsWebLabel>(form, Bounds(10, 10, 80, 17));
    EXPECT_EQ(l->Cursor(), crHandPoint);
    l->SetCaption("site");
    TFont hover;
    hover.SetStyle({fsUnderline});
    hover.SetColor(clRed);
    l->SetHoverFont(&hover);
    form->Show();
    Pump();
    // Without an address a click opens nothing.
    QueueClick(l);
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(os::FileExists(dir / "opened"));
    l->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(l->MouseOver());
    EXPECT_EQ(l->Font()->Color(), clRed);
    EXPECT_TRUE(l->Font()->Style().Contains(fsUnderline));
    l->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(l->Font()->Color(), l->NormalFont()->Color());
    SetStrProp(l, "URL", "https://example.org/");
    QueueClick(l);
    Pump();
    EXPECT_EQ(testing_support::WaitForFile(dir / "opened"), "https://example.org/");
}

TEST_F(SkinLabelsTest, LabelFXDrawsItsTextOverABlurredShadow) {
    auto* fx = Place<TsLabelFX>(form, Bounds(10, 10, 80, 20));
    fx->SetAutoSize(false);
    fx->SetCaption("Mailing");
    form->Show();
    Pump();
    EXPECT_EQ(fx->Shadow()->Mode(), smSkin1);
    EXPECT_EQ(fx->Kind()->KindType(), ktSkin);
    Shot(fx);
    // White text (the kind's colour without a skin) over shades of the black shadow.
    const int shaded = Shaded(80, 20, clWhite);
    EXPECT_GT(shaded, 30);
    fx->Shadow()->SetBlurCount(0);  // no blur: no shadow
    Shot(fx);
    EXPECT_LT(Shaded(80, 20, clWhite), shaded);
    // Without a shadow it draws like a plain label, in its font colour.
    fx->Shadow()->SetBlurCount(4);
    fx->Shadow()->SetMode(smNone);
    Shot(fx);
    int white = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x)
            white += Px(x, y) == clWhite;
    EXPECT_EQ(white, 0);
    // Measured, the shadow widens the label on both sides.
    fx->Shadow()->SetMode(smCustom);
    fx->SetAutoSize(true);
    const int withShadow = fx->Width();
    fx->Shadow()->SetBlurCount(0);
    EXPECT_EQ(withShadow - fx->Width(), (1 + 4) - (1 - 4));
}

}  // namespace
}  // namespace skin
