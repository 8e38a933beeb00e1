// The skinned speed button: its cache, its drop-down part and its fades.
#include <gtest/gtest.h>

#include <functional>

#include "skin/controls/buttons.h"
#include "skin/controls/labels.h"
#include "skin/controls/text_size.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedSpeedButtonTest : public skin_test::SkinnedFormTest {
protected:
    void TearDown() override {
        ResetWindowServices();
        SkinnedFormTest::TearDown();
    }
};

TEST_F(SkinnedSpeedButtonTest, TheDropDownPartTakesExactly16PixelsOfTheFace) {
    auto* list = New<TImageList>(form);
    list->SetWidth(16);
    list->SetHeight(16);
    std::unique_ptr<TBitmap, FreeDeleter> pic(NewBitmap24(16, 16));
    list->Add(pic.get(), nullptr);
    auto* b = Place<TsSpeedButton>(form, Bounds(10, 10, 80, 24));
    b->SetImages(list);
    b->SetImageIndex(0);
    form->Show();
    Pump();
    const int plain = b->ButtonLayout().glyph.Left;
    b->SetButtonStyle(tbsDropDown);
    EXPECT_EQ(b->ButtonLayout().glyph.Left, plain - 8);  // centred in 16 pixels less
    // The arrow part is the section too, so the cache covers the whole button.
    b->PrepareCache();
    EXPECT_EQ(b->SkinData()->CacheBmp()->Width(), 80);
}

TEST_F(SkinnedSpeedButtonTest, AGraphicControlHearsItsBoundsChange) {
    auto* b = Place<TsSpeedButton>(form, Bounds(10, 10, 80, 24));
    form->Show();
    Pump();
    b->PrepareCache();
    ASSERT_FALSE(b->SkinData()->CacheStale);
    b->SetBounds(10, 10, 60, 24);
    EXPECT_TRUE(b->SkinData()->CacheStale);
    b->PrepareCache();
    EXPECT_EQ(b->SkinData()->CacheBmp()->Width(), 60);
}

TEST_F(SkinnedSpeedButtonTest, MouseChangesFadeWhenAllowedElseRepaintAtOnce) {
    std::vector<std::string> log;
    WindowServices& w = WindowSlots();
    bool allowed = true;
    w.IsAnimEventAllowed = [&](TacAnimatEvent, TacAnimatEvents, TsSkinManager*) {
        return allowed;
    };
    w.StartAnimFade = [&](FadePtr&, TsCommonData*, bool fast, const std::function<void()>& f) {
        log.push_back(fast ? "fast fade" : "fade");
        f();
    };
    auto* b = Place<TsSpeedButton>(form, Bounds(10, 10, 80, 24));
    int builds = 0;
    b->OnPaint = TBmpPaintEvent::FromCallable([&](TObject*, TBitmap*) { ++builds; });
    form->Show();
    Pump();
    builds = 0;
    ASSERT_TRUE(b->SkinData()->Section()->FadingEnabled);  // the internal skin fades buttons
    b->Perform(CM_MOUSEENTER);
    EXPECT_EQ(log, std::vector<std::string>{"fade"});
    EXPECT_EQ(builds, 1);  // the new look, built for the fade
    EXPECT_EQ(b->CurrentState(), 1);
    allowed = false;
    b->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(log.size(), 1u);  // no second fade
    EXPECT_EQ(builds, 2);       // repainted at once
    EXPECT_EQ(b->CurrentState(), 0);
}

TEST_F(SkinnedSpeedButtonTest, WhileItsFadeRunsTheButtonShowsTheFadesFrameUntilCommand16) {
    std::vector<std::string> log;
    std::unique_ptr<TBitmap, FreeDeleter> frame(NewBitmap24(80, 24));
    frame->Canvas()->Brush()->SetColor(clRed);
    frame->Canvas()->FillRect(Rect(0, 0, 80, 24));
    WindowSlots().IsAnimEventAllowed = [](TacAnimatEvent, TacAnimatEvents, TsSkinManager*) {
        return true;
    };
    WindowSlots().StartAnimFade = [&](FadePtr& fade, TsCommonData*, bool,
                                      const std::function<void()>& rebuild) {
        rebuild();
        fade = std::make_unique<skin_test::RecordedFade>(&log, frame.get());
    };
    auto* b = Place<TsSpeedButton>(form, Bounds(10, 10, 80, 24));
    form->Show();
    Pump();
    b->Perform(CM_MOUSEENTER);
    b->Redraw();
    EXPECT_EQ(ScreenPixel(b, 40, 12), win::COLORREF(clRed));
    b->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_STOPFADE));
    EXPECT_EQ(log, std::vector<std::string>{"fade freed"});
    b->Redraw();
    EXPECT_NE(ScreenPixel(b, 40, 12), win::COLORREF(clRed));
}

// Pixels of pure red, the ink of the label laid over the button, inside `r` of `bmp`.
int RedPixels(TBitmap* bmp, TRect r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            n += bmp->Canvas()->Pixels(x, y) == clRed;
    return n;
}

TEST_F(SkinnedSpeedButtonTest, ALabelOverTheButtonShowsInItsPicturesAndOnTheScreen) {
    auto* b = Place<TsSpeedButton>(form, Bounds(10, 10, 120, 40));
    auto* label = Place<TsLabel>(form, Bounds(20, 20, 60, 16));
    label->SetUseSkinColor(false);
    label->SetCaption("WWWW");
    label->Font()->SetColor(clRed);
    label->Font()->SetStyle(TFontStyles{fsBold});
    form->Show();
    Pump();
    const TRect under(10, 10, 70, 26);  // the label's place in the button's picture
    int before = -1, after = -1;
    WindowSlots().IsAnimEventAllowed = [](TacAnimatEvent, TacAnimatEvents, TsSkinManager*) {
        return true;
    };
    WindowSlots().StartAnimFade = [&](FadePtr&, TsCommonData* d, bool,
                                      const std::function<void()>& rebuild) {
        before = RedPixels(d->CacheBmp(), under);
        rebuild();
        after = RedPixels(d->CacheBmp(), under);
    };
    b->Perform(CM_MOUSEENTER);
    EXPECT_GT(before, 10);
    EXPECT_EQ(after, before);
    // Shown outside the parent's paint, the button leaves the label on the screen.
    b->SkinData()->CacheStale = true;
    b->Redraw();
    int shown = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 60; ++x)
            shown += ScreenPixel(label, x, y) == win::COLORREF(clRed);
    EXPECT_EQ(shown, before);
}

TEST_F(SkinnedSpeedButtonTest, BothButtonsMeasureTheirCaptionInTheirOwnFont) {
    auto* bit = Place<TsBitBtn>(form, Bounds(10, 10, 160, 40));
    auto* speed = Place<TsSpeedButton>(form, Bounds(10, 60, 160, 40));
    form->Show();
    Pump();
    for (TControl* c : std::initializer_list<TControl*>{bit, speed}) {
        c->SetText("Wide");
        c->Font()->SetSize(20);
        Pump();
        const TPoint text = TextSizeOf(c->Font(), "Wide");
        // Whatever font the cache last drew with.
        const TRect r = bit == c ? bit->ButtonLayout().caption : speed->ButtonLayout().caption;
        EXPECT_EQ(r.Width(), text.X) << c->ClassName();
        EXPECT_EQ(r.Height(), text.Y) << c->ClassName();
    }
}

TEST_F(SkinnedSpeedButtonTest, HintsAreOffWhileEitherButtonIsHeldAndComeBackHoweverThePressEnds) {
    using Make = std::function<TControl*()>;
    const std::pair<const char*, Make> buttons[] = {
        {"bit button", [&] { return Place<TsBitBtn>(form, Bounds(10, 10, 75, 25)); }},
        {"speed button", [&] { return Place<TsSpeedButton>(form, Bounds(10, 10, 75, 25)); }}};
    using End = std::function<void(TControl*&)>;
    const std::pair<const char*, End> ends[] = {
        {"release", [](TControl*& c) { c->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(5, 5)); }},
        {"cancel", [](TControl*& c) { c->Perform(CM_CANCELMODE); }},
        {"capture lost", [](TControl*& c) { c->Perform(win::WM_CAPTURECHANGED); }},
        {"disabled", [](TControl*& c) { c->SetEnabled(false); }},
        {"hidden", [](TControl*& c) { c->SetVisible(false); }},
        {"destroyed", [](TControl*& c) { FreeAndNil(c); }}};
    form->Show();
    Application()->SetShowHint(true);
    for (const auto& [kind, make] : buttons)
        for (const auto& [how, end] : ends) {
            SCOPED_TRACE(std::string(kind) + ", " + how);
            TControl* c = make();
            Pump();
            c->Perform(win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(5, 5));
            c->Perform(win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(5, 5));  // saved once
            EXPECT_FALSE(Application()->ShowHint());
            end(c);
            EXPECT_TRUE(Application()->ShowHint());
            if (c) c->Free();
        }
}

}  // namespace
}  // namespace skin
