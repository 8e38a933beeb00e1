// Skinned hints: which component serves, which template, where a hint goes, how it fades.
#include "skin/controls/hints.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/user/window_region.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/png_graphic.h"
#include "tests/skin/controls/skinned_form.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;

TEST(HintPlacement, TheCornerFollowsTheMonitorsEdges) {
    const TRect monitor(0, 0, 800, 600);
    struct Case {
        TPoint at;
        bool skinDrawn;
        TRect placed;
        int corner;
    } cases[] = {
        {{100, 100}, true, Bounds(100, 100, 120, 40), 0},  // room everywhere: as asked
        {{100, 590}, true, Bounds(100, 560, 120, 40), 1},  // bottom: up to the edge
        {{100, 590}, false, Bounds(100, 534, 120, 40), 1}, // template: 16 px above the point
        {{750, 100}, true, Bounds(680, 100, 120, 40), 2},  // right: to the edge
        {{750, 100}, false, Bounds(630, 84, 120, 40), 2},  // template: left of the point
        {{750, 590}, true, Bounds(680, 560, 120, 40), 3},  // both
    };
    for (const Case& c : cases) {
        TRect r = Bounds(0, 0, 120, 40);
        EXPECT_EQ(PlaceHint(r, c.at, 0, monitor, c.skinDrawn), c.corner)
            << c.at.X << "," << c.at.Y << " " << c.skinDrawn;
        EXPECT_EQ(r, c.placed) << c.at.X << "," << c.at.Y << " " << c.skinDrawn;
    }
    for (int h : {33, 60, 200}) {  // any height: above the point, on the monitor
        TRect r = Bounds(0, 0, 120, h);
        EXPECT_EQ(PlaceHint(r, {750, 590}, 0, monitor, false), 3);
        EXPECT_EQ(r, Bounds(630, 590 - 16 - h, 120, h)) << h;
    }
    // A second monitor left of the first: above its top the hint comes down again.
    TRect r = Bounds(0, 0, 120, 40);
    EXPECT_EQ(PlaceHint(r, {-1000, 10}, 1, TRect(-1280, 0, 0, 1024), true), 0);
    EXPECT_EQ(r, Bounds(-1000, 0, 120, 40));
}

TEST(HintFade, TwelveEqualStepsUpToTheSectionsOpacity) {
    const auto full = HintFadeSteps(0);
    EXPECT_EQ(full.back(), 255);
    const auto forty = HintFadeSteps(40);
    EXPECT_EQ(forty.back(), 153);  // round(60 × 2.55)
    EXPECT_EQ(forty.front(), 13);  // 153 / 12 = 12.75
    for (std::size_t i = 1; i < forty.size(); ++i) EXPECT_GE(forty[i], forty[i - 1]);
    EXPECT_EQ(HintFadeSteps(150).back(), 0);  // limited to 0..100
    EXPECT_EQ(HintFadeSteps(-5).back(), 255);
}

using AlphaHintsTest = vcl::testing::FormTest;

TEST_F(AlphaHintsTest, TheLastActiveComponentServesAndTemplatesAreFoundByName) {
    auto* hints = New<TsAlphaHints>(form);
    hints->Loaded();
    EXPECT_EQ(CurrentAlphaHints(), hints);
    EXPECT_EQ(Application()->HintHidePause, 5000);
    auto* t = static_cast<TacHintTemplate*>(hints->Templates()->Add());
    t->SetName(" Baloon ");
    hints->SetTemplateName("Baloon");
    EXPECT_EQ(hints->TemplateIndex(), 0);
    hints->SetTemplateName("Unknown");
    EXPECT_EQ(hints->TemplateIndex(), -1);  // the built-in balloon
    EXPECT_FALSE(hints->UsesSkinSection());  // no skin data asked for
    hints->SetActive(false);
    EXPECT_EQ(CurrentAlphaHints(), nullptr);
    hints->SetActive(true);
    hints->Free();
    EXPECT_EQ(CurrentAlphaHints(), nullptr);
    // An inactive component going away leaves no handler behind either.
    auto* idle = New<TsAlphaHints>(form);
    idle->SetActive(false);
    idle->Loaded();
    EXPECT_TRUE(Application()->OnShowHint);
    idle->Free();
    EXPECT_FALSE(Application()->OnShowHint);
}

class SkinnedHintsTest : public skin_test::SkinnedFormTest {
protected:
    TsAlphaHints* Hints(bool skin) {
        auto* h = New<TsAlphaHints>(form);
        h->SetUseSkinData(skin);
        h->Loaded();
        return h;
    }
    // The layered picture's constant alpha.
    static int Alpha(TWinControl* w) {
        win::LayeredLook look;
        return win::GetLayeredLook(w->Handle(), &look) ? look.alpha : -1;
    }
};

TEST_F(SkinnedHintsTest, ASkinDrawnHintIsItsTextWithTheMasksBordersAndFadesToTheSection) {
    ASSERT_GE(manager->GetSkinIndex("HINT"), 0);
    TsAlphaHints* hints = Hints(true);
    ASSERT_TRUE(hints->UsesSkinSection());
    auto* w = New<TacPngHintWindow>(form);
    const std::string text = "Start the mailing";
    const TRect r = w->CalcHintRect(0, text);
    const TRect b = w->SkinBorders();
    TBitmap measure;
    measure.Canvas()->SetFont(Screen()->HintFont());
    win::RECT box{0, 0, hints->MaxWidth(), 0};
    win::DrawText(measure.Canvas()->Handle(), text.c_str(), int(text.size()), &box,
                  win::DT_CALCRECT | win::DT_WORDBREAK | win::DT_CENTER | win::DT_NOPREFIX);
    EXPECT_EQ(r.Width(), box.right + b.Left + b.Right + 8);
    EXPECT_EQ(r.Height(), box.bottom + b.Top + b.Bottom + 8);
    // The section seen 40 % through: the fade ends at 153 after 12 sleeps of 8 ms.
    manager->Skin().Sections[size_t(manager->GetSkinIndex("HINT"))].Transparency = 40;
    const uint64_t slept = clock_.SleptMs();
    w->ActivateHint(Bounds(100, 100, r.Width(), r.Height()), text);
    EXPECT_EQ(Alpha(w), 153);
    EXPECT_EQ(clock_.SleptMs() - slept, 96u);
    EXPECT_EQ(w->Corner(), 0);
    // The window takes the section's shape.
    win::HRGN shape = win::CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(win::GetWindowRgn(w->Handle(), shape), 0);
    win::DeleteObject(shape);
    // Key-coloured pixels of the picture are fully clear, others opaque.
    TBitmap* p = w->Picture();
    for (int y = 0; y < p->Height(); y += 3)
        for (int x = 0; x < p->Width(); x += 3) {
            const uint8_t* px = p->ScanLine(y) + x * 4;
            ASSERT_TRUE(px[3] == 0 || px[3] == 255);
            if (px[3] == 0) {
                ASSERT_EQ(px[0] | px[1] | px[2], 0);
            }
        }
    hints->SetAnimated(false);
    w->ActivateHint(Bounds(100, 100, r.Width(), r.Height()), text);
    EXPECT_EQ(Alpha(w), 255);
}

TEST_F(SkinnedHintsTest, WithoutTheSkinTheBalloonsMarginsAndMaxWidthZeroReachesTheScreen) {
    TsAlphaHints* hints = Hints(false);
    auto* w = New<TacPngHintWindow>(form);
    std::string text;
    for (int i = 0; i < 30; ++i) text += "word ";
    EXPECT_LE(w->CalcHintRect(0, text).Width(), 120 + 11 + 15);
    hints->SetMaxWidth(0);
    EXPECT_GT(w->CalcHintRect(0, text).Width(), 300);
    // Near the bottom right the balloon points from corner 3: its right edge at the point, its
    // bottom 16 pixels above it.
    const TRect r = w->CalcHintRect(0, "Hint");
    const int sw = Screen()->Width(), sh = Screen()->Height();
    hints->SetAnimated(false);
    w->ActivateHint(Bounds(sw - 5, sh - 5, r.Width(), r.Height()), "Hint");
    EXPECT_EQ(w->Corner(), 3);
    EXPECT_EQ(w->Left(), sw - 5 - r.Width());
    EXPECT_EQ(w->Top(), sh - 5 - 16 - r.Height());
    EXPECT_EQ(Alpha(w), 255);
    // Given no place, the hint goes to the cursor, or where the application last put one.
    win::SetCursorPos(400, 300);
    w->ActivateHint(Bounds(0, 0, r.Width(), r.Height()), "Hint");
    EXPECT_EQ(w->BoundsRect().TopLeft(), TPoint(400, 300));
    THintInfo info{form, {300, 200}, 0};
    bool show = true;
    Application()->OnShowHint(text, show, info);
    w->ActivateHint(Bounds(0, 200, r.Width(), r.Height()), "Hint");
    EXPECT_EQ(w->BoundsRect().TopLeft(), TPoint(300, 200));
}

TEST_F(SkinnedHintsTest, TheApplicationsHintWindowFollowsTheComponent) {
    TsAlphaHints* hints = Hints(false);
    ASSERT_TRUE(Application()->HintWindowClass());
    std::unique_ptr<THintWindow, FreeDeleter> made(Application()->HintWindowClass()(nullptr));
    EXPECT_NE(dynamic_cast<TacPngHintWindow*>(made.get()), nullptr);
    hints->SetActive(false);
    EXPECT_FALSE(Application()->HintWindowClass());  // the plain window
}

TEST_F(SkinnedHintsTest, AnUnknownTemplateIsTheBuiltInBalloonComposedOverTheScreenByItsAlpha) {
    TacHintImage* balloon = BuiltInHintTemplate()->ImageDefault();
    ASSERT_FALSE(balloon->Empty());
    EXPECT_EQ(balloon->BordersWidths()->AsRect(), TRect(7, 7, 15, 15));
    EXPECT_EQ(balloon->ClientMargins()->AsRect(), TRect(11, 7, 15, 14));
    TsAlphaHints* hints = Hints(false);
    hints->SetAnimated(false);
    auto* t = static_cast<TacHintTemplate*>(hints->Templates()->Add());
    t->SetName("Baloon");
    hints->SetTemplateName("Nothing like it");
    auto* w = New<TacPngHintWindow>(form);
    // The text and the margins, at least the picture's size.
    for (const char* text : {"Hi", "A hint long enough to wrap onto a second line"}) {
        TBitmap measure;
        measure.Canvas()->SetFont(t->Font());
        win::RECT box{0, 0, hints->MaxWidth(), 0};
        win::DrawText(measure.Canvas()->Handle(), text, int(strlen(text)), &box,
                      win::DT_CALCRECT | win::DT_WORDBREAK | win::DT_CENTER | win::DT_NOPREFIX);
        const TRect r = w->CalcHintRect(0, text);
        EXPECT_EQ(r.Width(), std::max(box.right + 11 + 15, 40)) << text;
        EXPECT_EQ(r.Height(), std::max(int(box.bottom) + 7 + 14, 40)) << text;
    }
    const TRect r = w->CalcHintRect(0, "Hint");
    win::BitmapView v;
    ASSERT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
    const TPoint at{420, 300};
    std::vector<uint32_t> before;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            const win::BYTE* px = v.Row(at.Y + y) + (at.X + x) * 4;
            before.push_back(uint32_t(px[0]) | px[1] << 8 | px[2] << 16);
        }
    w->ActivateHint(Bounds(at.X, at.Y, r.Width(), r.Height()), "Hint");
    ASSERT_EQ(w->Corner(), 0);
    win::HRGN shape = win::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(win::GetWindowRgn(w->Handle(), shape), 0);  // the picture's alpha is its shape
    win::DeleteObject(shape);
    ASSERT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
    // The tail's corner is the picture's own, unscaled: each pixel is the screen behind it
    // mixed with the picture's colour at the picture's alpha.
    int partial = 0;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            const uint8_t* src = balloon->Image()->ScanLine(y) + x * 4;
            const win::BYTE* got = v.Row(at.Y + y) + (at.X + x) * 4;
            const int a = src[3];
            if (a > 0 && a < 255) ++partial;
            for (int k = 0; k < 3; ++k) {
                const int bg = int(before[size_t(y * 7 + x)] >> (8 * k)) & 0xFF;
                const int want = (src[k] * a + bg * (255 - a) + 127) / 255;
                ASSERT_NEAR(got[k], want, 2) << x << "," << y << " channel " << k;
            }
        }
    EXPECT_GT(partial, 0);
}

TEST_F(SkinnedHintsTest, ACornersOwnPictureServesWhenItHasOne) {
    TsAlphaHints* hints = Hints(false);
    hints->SetAnimated(false);
    auto* t = static_cast<TacHintTemplate*>(hints->Templates()->Add());
    t->SetName("Corners");
    t->ImageDefault()->Assign(BuiltInHintTemplate()->ImageDefault());
    TPNGGraphic red;
    red.SetPixelFormat(pf32bit);
    red.SetSize(30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            uint8_t* p = red.ScanLine(y) + x * 4;
            p[0] = 0, p[1] = 0, p[2] = 255, p[3] = 200;
        }
    t->Img_RightBottom()->SetImage(&red);
    EXPECT_EQ(t->Img_RightBottom()->BordersWidths()->AsRect(), TRect(14, 14, 14, 14));
    hints->SetTemplateName("Corners");
    auto* w = New<TacPngHintWindow>(form);
    const int sw = Screen()->Width(), sh = Screen()->Height();
    win::SetCursorPos(sw - 5, sh - 5);
    const TRect there = w->CalcHintRect(0, "Hint");  // measured in the corner
    win::SetCursorPos(400, 300);
    const TRect r = w->CalcHintRect(0, "Hint");  // away from it: the default picture's size
    w->ActivateHint(Bounds(sw - 5, sh - 5, r.Width(), r.Height()), "Hint");
    ASSERT_EQ(w->Corner(), 3);
    EXPECT_EQ(w->Height(), there.Height());
    // The picture's alpha everywhere, the text's pixels too; colours premultiplied by it.
    const uint8_t* p = w->Picture()->ScanLine(1) + 1 * 4;
    EXPECT_EQ(p[2], 200);
    for (int y = 0; y < w->Picture()->Height(); ++y)
        for (int x = 0; x < w->Picture()->Width(); ++x)
            ASSERT_EQ(w->Picture()->ScanLine(y)[x * 4 + 3], 200) << x << "," << y;
    // Borders stay inside the picture with one pixel between opposite ones.
    TacBordersSizes* b = t->Img_RightBottom()->BordersWidths();
    struct Case {
        void (TacBordersSizes::*set)(int);
        int value;
        TRect want;
    } cases[] = {
        {&TacBordersSizes::SetTop, 50, TRect(14, 29, 14, 0)},
        {&TacBordersSizes::SetBottom, 10, TRect(14, 19, 14, 10)},
        {&TacBordersSizes::SetLeft, 20, TRect(20, 19, 9, 10)},
        {&TacBordersSizes::SetRight, -3, TRect(20, 19, 0, 10)},
    };
    for (const Case& c : cases) {
        (b->*c.set)(c.value);
        EXPECT_EQ(b->AsRect(), c.want) << c.value;
    }
}

}  // namespace
}  // namespace skin
