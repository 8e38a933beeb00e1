// The skinned speed button: its cache, its drop-down part and its fades.
#include <gtest/gtest.h>

#include "skin/controls/buttons.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/data/skin_data.h"
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

}  // namespace
}  // namespace skin
