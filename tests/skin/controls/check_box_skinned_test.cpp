// The skinned check box: its own toggling, its glyph and its size under a skin.
#include <gtest/gtest.h>

#include "platform/user/user.h"
#include "skin/controls/check_box.h"
#include "skin/controls/text_size.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedCheckBoxTest : public skin_test::SkinnedFormTest {
protected:
    void TearDown() override {
        ResetWindowServices();
        SkinnedFormTest::TearDown();
    }
    TsCheckBox* Box() {
        auto* chk = Place<TsCheckBox>(form, Bounds(10, 10, 150, 20));
        chk->SetCaption("Report");
        other = Place<TsCheckBox>(form, Bounds(10, 60, 150, 20));
        form->Show();
        Pump();
        chk->SetFocus();
        Pump();
        return chk;
    }
    // The box as the screen shows it, once the messages are handled.
    std::vector<win::COLORREF> Pixels(TsCheckBox* c) {
        Pump();
        std::vector<win::COLORREF> px;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x) px.push_back(ScreenPixel(c, x, y));
        return px;
    }
    uint32_t CachePixel(TsCheckBox* c, int x, int y) {
        const uint8_t* p = ViewOf(c->SkinData()->CacheBmp()).At(x, y);
        return uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
    }
    TsCheckBox* other = nullptr;
};

TEST_F(SkinnedCheckBoxTest, OnlyTheReleaseOfAPressOnTheBoxToggles) {
    TsCheckBox* chk = Box();
    const TPoint inside{5, 5}, outside{5, 50};
    struct Step {
        const char* what;
        std::function<void()> act;
        bool checked;
    } steps[] = {
        {"space, another key's release", [&] {
             chk->Perform(win::WM_KEYDOWN, win::VK_SPACE);
             chk->Perform(win::WM_KEYUP, 'A');
         }, false},
        {"then the space bar's release", [&] { chk->Perform(win::WM_KEYUP, win::VK_SPACE); }, true},
        {"a press released outside", [&] {
             chk->Perform(win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(inside.X, inside.Y));
             chk->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(outside.X, outside.Y));
         }, true},
        {"a press released inside", [&] {
             chk->Perform(win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(inside.X, inside.Y));
             chk->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(inside.X, inside.Y));
         }, false},
        {"space, the focus lost, space released later", [&] {
             chk->Perform(win::WM_KEYDOWN, win::VK_SPACE);
             other->SetFocus();
             chk->Perform(win::WM_KEYUP, win::VK_SPACE);
         }, false},
        {"a press, then cancelled", [&] {
             chk->SetFocus();
             chk->Perform(win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(inside.X, inside.Y));
             chk->Perform(CM_CANCELMODE);
             chk->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(inside.X, inside.Y));
         }, false},
    };
    // After each step the screen shows the box as a fresh picture of its present state would.
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(chk->Checked(), s.checked) << s.what;
        const auto now = Pixels(chk);
        chk->SkinData()->CacheStale = true;
        chk->Repaint();
        EXPECT_EQ(now, Pixels(chk)) << s.what;
    }
    EXPECT_FALSE(chk->Pressed());
    // Read-only: neither keys nor the mouse, and never the hot look.
    chk->SetReadOnly(true);
    chk->SetFocus();
    chk->Perform(win::WM_KEYDOWN, win::VK_SPACE);
    chk->Perform(win::WM_KEYUP, win::VK_SPACE);
    chk->Perform(win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(inside.X, inside.Y));
    chk->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(inside.X, inside.Y));
    EXPECT_FALSE(chk->Checked());
    EXPECT_EQ(chk->CurrentState(), 0);
}

TEST_F(SkinnedCheckBoxTest, StateChangesFadeThroughTheServicesWhichAlonePaintMeanwhile) {
    std::vector<std::string> log;
    skin_test::RecordFades(log);
    TsCheckBox* chk = Box();
    log.clear();
    chk->Perform(CM_MOUSEENTER);
    chk->Perform(win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(5, 5));
    chk->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(5, 5));
    chk->Perform(CM_MOUSELEAVE);
    EXPECT_TRUE(chk->Checked());
    // Enter, press; the new value of the release stops the press's fade and fades itself; leave.
    EXPECT_EQ(log, (std::vector<std::string>{"slow fade", "fast fade", "fade freed", "fast fade",
                                             "slow fade"}));
    // While the fade runs the box paints nothing of its own: its cache stays stale.
    chk->Invalidate();
    Pump();
    EXPECT_TRUE(chk->SkinData()->CacheStale);
    // Command 16 ends the fade; the box paints again.
    chk->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_STOPFADE));
    EXPECT_EQ(log.back(), "fade freed");
    chk->Invalidate();
    Pump();
    EXPECT_FALSE(chk->SkinData()->CacheStale);
}

TEST_F(SkinnedCheckBoxTest, TheSkinsBoxIsDrawnInTheStatesImage) {
    TsCheckBox* chk = Box();
    chk->SetChecked(true);
    chk->PrepareCache();
    const TsMaskData& box = manager->Masks()[size_t(manager->ConstData().CheckBoxes[0])];
    const int fw = SkinFrameWidth(box), fh = SkinFrameHeight(box);
    const TRect g = chk->GlyphRect();
    EXPECT_EQ(g.Width(), fw);
    EXPECT_EQ(g.Left, chk->Margin());
    const int state = chk->CurrentState();  // focused: 1
    EXPECT_EQ(state, 1);
    const PixelView master = ViewOf(manager->MasterBitmap());
    for (auto [x, y] : {std::pair{fw / 2, fh / 2}, {1, 1}}) {
        const uint8_t* p = master.At(box.R.Left + state * fw + x, box.R.Top + y);
        EXPECT_EQ(CachePixel(chk, g.Left + x, g.Top + y),
                  uint32_t(p[2]) << 16 | p[1] << 8 | p[0])
            << x << "," << y;
    }
}

TEST_F(SkinnedCheckBoxTest, AStripOfThreeFramesShowsTheStateAndTheSizeFollowsTheGlyph) {
    TsCheckBox* chk = Box();
    auto* list = New<TImageList>(form);
    list->SetWidth(24);
    list->SetHeight(8);
    std::unique_ptr<TBitmap, FreeDeleter> strip(NewBitmap24(24, 8));
    const uint32_t colours[3] = {0x0000FF, 0x00FF00, 0xFF0000};  // TColor: red, green, blue
    for (int f = 0; f < 3; ++f) {
        strip->Canvas()->Brush()->SetColor(TColor(colours[f]));
        strip->Canvas()->FillRect(Rect(f * 8, 0, f * 8 + 8, 8));
    }
    list->Add(strip.get(), nullptr);
    chk->SetImages(list);
    chk->SetImgChecked(0);
    chk->SetImgUnchecked(0);
    EXPECT_EQ(chk->GlyphSize(), (TPoint{8, 8}));
    // Skinned AutoSize: glyph, margins, caption and indent.
    const TPoint text = TextSizeOf(chk->Font(), "Report");
    EXPECT_EQ(chk->Width(), 8 + 2 * 2 + text.X + 0 + 8);
    EXPECT_EQ(chk->Height(), std::max(8, text.Y + 4) + 2);
    chk->SetCaption("");
    EXPECT_EQ(chk->Width(), 8 + 2 * 2);
    for (auto [pressed, state] : {std::pair{false, 1}, {true, 2}}) {
        if (pressed) chk->Perform(win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(2, 2));
        chk->PrepareCache();
        const TRect g = chk->GlyphRect();
        const uint32_t rgb = CachePixel(chk, g.Left + 4, g.Top + 4);
        const uint32_t want = (colours[state] & 0xFF) << 16 | (colours[state] & 0xFF00) |
                              colours[state] >> 16;
        for (int shift : {0, 8, 16})  // the alpha mix may round a full channel down by one
            EXPECT_NEAR(int(rgb >> shift & 0xFF), int(want >> shift & 0xFF), 1) << state;
    }
}

}  // namespace
}  // namespace skin

namespace skin {
namespace {

TEST_F(SkinnedCheckBoxTest, RemovingTheSkinGivesTheClassicBoxBack) {
    manager->SetActive(false);
    auto* chk = Place<TsCheckBox>(form, Bounds(10, 10, 150, 20));
    chk->SetCaption("Report");
    chk->SetChecked(true);
    form->Show();
    Pump();
    auto pixels = [&] { return Pixels(chk); };
    const auto classic = pixels();
    const TRect bounds = chk->BoundsRect();
    manager->SetActive(true);
    EXPECT_NE(pixels(), classic);
    manager->SetActive(false);
    EXPECT_EQ(chk->BoundsRect(), bounds);
    EXPECT_EQ(pixels(), classic);
    EXPECT_TRUE(chk->Checked());
}

}  // namespace
}  // namespace skin
