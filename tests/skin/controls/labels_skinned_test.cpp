// The skinned labels: the skin's font colours, the section behind the text, the disabled look.
#include <gtest/gtest.h>

#include "skin/controls/labels.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedLabelsTest : public skin_test::SkinnedFormTest {
protected:
    TsLabel* Label(const char* caption) {
        auto* l = Place<TsLabel>(form, Bounds(10, 10, 80, 24));
        l->SetAutoSize(false);
        l->SetCaption(caption);
        return l;
    }
    // The section whose font colour a label takes: its parent's, else GLOBALINFO.
    TsGeneralData& FontSection(TControl* label) {
        int i = GetFontIndex(label, -1, manager.get());
        if (!manager->IsValidSkinIndex(i)) i = manager->ConstData().IndexGLOBALINFO;
        return manager->Skin().Sections[size_t(i)];
    }
    int Count(vcl::TColor c) {
        int n = 0;
        for (int y = 0; y < shot_->Height(); ++y)
            for (int x = 0; x < shot_->Width(); ++x)
                n += Px(x, y) == c;
        return n;
    }
    int CountRGB(uint32_t c) {
        int n = 0;
        for (int y = 0; y < shot_->Height(); ++y)
            for (int x = 0; x < shot_->Width(); ++x)
                n += uint32_t(Px(x, y)) == c;
        return n;
    }
};

TEST_F(SkinnedLabelsTest, TheSkinGivesTheFontColourUnlessItIsTheKeyOrRefused) {
    auto* l = Label("Text");
    auto* own = Label("Own");
    own->SetUseSkinColor(false);
    own->Font()->SetColor(clMaroon);
    form->Show();
    Pump();
    const auto skinColour = TColor(FontSection(l).FontColor);
    Shot(l);
    Shot(own);
    EXPECT_EQ(l->Font()->Color(), skinColour);
    EXPECT_EQ(own->Font()->Color(), clMaroon);
    // The key colour never replaces the font's colour.
    FontSection(l).FontColor = 0xFF00FF;
    Shot(l);
    EXPECT_EQ(l->Font()->Color(), skinColour);
    // The skin goes: its colour goes with it, a label's own one stays.
    TMessage m = SkinCommandMessage(SKC_REMOVESKIN, reinterpret_cast<intptr_t>(manager.get()));
    l->Dispatch(m);
    own->Dispatch(m);
    EXPECT_EQ(l->Font()->Color(), clWindowText);
    EXPECT_EQ(own->Font()->Color(), clMaroon);
}

TEST_F(SkinnedLabelsTest, AnyValidSectionIsPaintedBehindTheText) {
    auto* l = Label("");
    form->Show();
    Pump();
    const std::string first = manager->Skin().Sections[0].SectionName;
    for (const std::string& name : {first, std::string("PANEL"), std::string("NO SUCH")}) {
        SCOPED_TRACE(name);
        l->SetSkinSection(name);
        Shot(l);  // a transparent label shows the shot's green where it paints nothing
        EXPECT_EQ(Px(40, 12) != clGreen, name != "NO SUCH");
    }
}

TEST_F(SkinnedLabelsTest, ADisabledLabelFadesItsFontTowardItsParent) {
    auto* l = Label("MMMMMM");
    l->Font()->SetSize(14);
    l->Font()->SetStyle({fsBold});
    form->SetColor(clWhite);
    form->Show();
    Pump();
    Shot(l);
    const vcl::TColor ink = l->Font()->Color();
    ASSERT_GT(Count(ink), 20);
    l->SetEnabled(false);
    Shot(l);
    const uint32_t faded = BlendTwoColors(ColorToRGB(ink), ColorToRGB(clWhite), 0.4);
    EXPECT_EQ(Count(ink), 0);
    EXPECT_GT(CountRGB(faded), 20);
}

TEST_F(SkinnedLabelsTest, AWebLabelTakesTheSkinsLinkColours) {
    auto* w = Place<TsWebLabel>(form, Bounds(10, 40, 80, 20));
    w->SetCaption("link");
    form->Show();
    Pump();
    TsGeneralData& g = manager->Skin().Sections[size_t(manager->ConstData().IndexGLOBALINFO)];
    g.TCTop = TColor(-1);
    g.TCBottom = 0x123456;
    Shot(w);
    EXPECT_EQ(w->Font()->Color(), vcl::TColor(0x123456));
    w->Perform(CM_MOUSEENTER);
    Shot(w);
    EXPECT_EQ(w->Font()->Color(), vcl::TColor(0x0000FF));  // unset: the classic red
    w->SetUseSkinColor(false);
    w->HoverFont()->SetColor(clGreen);
    Shot(w);
    EXPECT_EQ(w->Font()->Color(), clGreen);
}

TEST_F(SkinnedLabelsTest, AWebLabelKeepsItsOwnColoursForWhenTheSkinGoes) {
    auto* w = Place<TsWebLabel>(form, Bounds(10, 40, 80, 20));
    w->SetCaption("link");
    w->NormalFont()->SetColor(clPurple);
    w->HoverFont()->SetColor(clOlive);
    form->Show();
    for (bool skinned : {true, false}) {
        manager->SetActive(skinned);
        for (bool over : {true, false}) {
            w->Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE);
            Shot(w);
            if (!skinned) {
                EXPECT_EQ(w->Font()->Color(), over ? clOlive : clPurple);
            }
        }
    }
}

}  // namespace
}  // namespace skin

namespace skin {
namespace {

TEST_F(SkinnedLabelsTest, AnFXLabelWritesInTheSkinsColourAndEmbossesWhenDisabled) {
    auto* l = Place<TsLabelFX>(form, Bounds(10, 10, 120, 30));
    l->SetAutoSize(false);
    l->SetCaption("MMMMMM");
    l->Font()->SetSize(14);
    l->Font()->SetStyle({fsBold});
    l->Shadow()->SetMode(smCustom);
    l->Shadow()->SetBlurCount(0);  // no shadow: only the text
    TsGeneralData& g = manager->Skin().Sections[size_t(manager->ConstData().IndexGLOBALINFO)];
    g.TCLeft = 0x00FF00;
    form->Show();
    Pump();
    Shot(l);
    EXPECT_GT(Count(vcl::TColor(0x00FF00)), 20);
    g.TCLeft = TColor(-1);  // unset: the kind's own colour
    l->Kind()->SetColor(clNavy);
    Shot(l);
    EXPECT_EQ(Count(vcl::TColor(0x00FF00)), 0);
    EXPECT_GT(Count(clNavy), 20);
    l->SetEnabled(false);
    Shot(l);
    EXPECT_EQ(Count(clNavy), 0);
    // Raised in the system's highlight colour, then in its shadow colour.
    EXPECT_GT(CountRGB(ControlColorToRGB(clBtnShadow)), 20);
    EXPECT_GT(CountRGB(ControlColorToRGB(clBtnHighlight)), 0);
}

}  // namespace
}  // namespace skin
