#include "skin/core/data/skin_options.h"

#include <gtest/gtest.h>

#include "platform/gdi/sys_colors.h"
#include "platform/os/cp_literal.h"
#include "tests/skin/core/skin_reading.h"
#include "vcl/system/exceptions.h"

namespace skin {
namespace {

using skin_test::SkinReading;

const TsGeneralData& Section(const SkinReading& r, const std::string& name) {
    const int i = r.skin.GetSkinIndex(name);
    EXPECT_GE(i, 0) << name;
    return r.skin.Sections.at(size_t(std::max(i, 0)));
}

TEST(SkinOptions, MaxHeightFallsBackToTheTitleHeight) {
    const struct {
        const char* text;
        int title, max;
    } cases[] = {
        {"", 30, 30},
        {"TITLEHEIGHT=24", 24, 24},
        {"TITLEHEIGHT=24\nMAXHEIGHT=0", 24, 24},
        {"MAXHEIGHT=40", 30, 40},
    };
    for (const auto& c : cases) {
        SkinReading r;
        r.Text(std::string("[GLOBALINFO]\n") + c.text);
        EXPECT_EQ(r.skin.SkinData.TitleHeight, c.title) << c.text;
        EXPECT_EQ(r.skin.SkinData.MaxHeight, c.max) << c.text;
        EXPECT_EQ(r.skin.SkinData.BorderWidth, 4);
        EXPECT_EQ(r.skin.SkinData.FormOffset, 8);
        EXPECT_EQ(r.skin.SkinData.Shadow1Blur, -1);
    }
}

TEST(SkinOptions, MissingKeysComeFromTheParentSectionsThenTheDefaults) {
    SkinReading r;
    r.Text(
        "[BASE]\nCOLOR=0x00FF00\nGRADIENTDATA=255;16711680;100;1;0\nSHOWFOCUS=true\n"
        "[EDIT]\nPARENTCLASS=BASE\nFONTCOLOR=$0000FF\n"
        "[MEMO]\nPARENTCLASS=EDIT\nCOLOR=-1\nSHOWFOCUS=yes\n"
        "[PLAIN]\nTCLEFT=7\n");
    const TsGeneralData& edit = Section(r, "EDIT");
    EXPECT_EQ(edit.ParentClass, "BASE");
    EXPECT_EQ(edit.Color, 0x00FF00u);
    EXPECT_TRUE(edit.ShowFocus);
    ASSERT_EQ(edit.GradientArray.size(), 1u);
    EXPECT_EQ(edit.GradientArray[0].Color2, 0xFF0000u);
    const TsGeneralData& memo = Section(r, "MEMO");
    EXPECT_EQ(memo.Color, 0x00FF00u);  // -1 counts as missing
    EXPECT_EQ(memo.FontColor, 0xFFu);  // two steps up
    EXPECT_FALSE(memo.ShowFocus);      // only "TRUE" is true
    const TsGeneralData& plain = Section(r, "PLAIN");
    EXPECT_EQ(plain.Color, 0xFFFFFFu);
    EXPECT_EQ(plain.TCLeft, 7u);
    EXPECT_EQ(plain.TCTop, TColor(-1));
    EXPECT_EQ(plain.FadingIterations, 5);
    EXPECT_EQ(plain.HotColor, 0xFFFFFFu);
    EXPECT_EQ(plain.GradientData, " ");
    EXPECT_TRUE(plain.GradientArray.empty());
    EXPECT_EQ(plain.HotGradientData, "");
    EXPECT_TRUE(plain.HotGradientArray.empty());
    EXPECT_EQ(plain.ParentClass, "");
}

TEST(SkinOptions, ColoursAreConvertedExceptTheHotColour) {
    // The skin's own sections and those the common sections add read colours alike.
    const char* text = "COLOR=0x8000000F\nHOTCOLOR=0x8000000F\nGCOL=0x80000005\nHGCOL=0xFF000006\n";
    SkinReading r;
    r.common.SetText(std::string("[B]\n") + text);
    r.Text(std::string("[A]\n") + text);
    for (const char* name : {"A", "B"}) {
        const TsGeneralData& a = Section(r, name);
        EXPECT_EQ(a.Color, win::GetSysColor(win::COLOR_BTNFACE)) << name;
        EXPECT_EQ(a.HotColor, 0x8000000Fu) << name;
        EXPECT_EQ(a.GlowColor, win::GetSysColor(5)) << name;
        EXPECT_EQ(a.HotGlowColor, win::GetSysColor(6)) << name;
    }
}

TEST(SkinOptions, ParentChainsEndAtThemselvesAtLoopsAndAtSixteenSteps) {
    std::string text =
        "[SELF]\nPARENTCLASS=SELF\nGLOW=3\n"
        "[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=A\nIMAGEPERCENT=9\n";
    // C0 -> C1 -> ... -> C17; C16 holds GLOW, C17 COLOR.
    for (int k = 0; k <= 17; ++k) {
        text += "[C" + std::to_string(k) + "]\n";
        if (k < 17) text += "PARENTCLASS=C" + std::to_string(k + 1) + "\n";
    }
    text += "[C16]\nGLOW=6\n[C17]\nCOLOR=0x123456\n";
    SkinReading r;
    r.Text(text);
    EXPECT_EQ(Section(r, "SELF").GlowCount, 3);
    EXPECT_EQ(Section(r, "SELF").Color, 0xFFFFFFu);
    EXPECT_EQ(Section(r, "A").ImagePercent, 9);
    EXPECT_EQ(Section(r, "A").GlowCount, 0);
    EXPECT_EQ(Section(r, "B").GlowCount, 0);
    EXPECT_EQ(Section(r, "C0").GlowCount, 6);      // sixteen steps up
    EXPECT_EQ(Section(r, "C0").Color, 0xFFFFFFu);  // the seventeenth is too far
    EXPECT_EQ(Section(r, "C1").Color, 0x123456u);
    EXPECT_EQ(r.skin.Sections.size(), 21u);  // C16 and C17 are merged, not repeated
}

TEST(SkinOptions, SectionNamesAreKeptAsWrittenAndTheFirstOfEqualKeysCounts) {
    SkinReading r;
    r.Text("[Button]\nGLOW=1\nGLOW=2\n[BUTTON]\nGLOWMARGIN=4\n; note\n# note\nnoise\n");
    ASSERT_EQ(r.skin.Sections.size(), 1u);
    EXPECT_EQ(r.skin.GetSkinIndex("BUTTON"), -1);
    EXPECT_EQ(Section(r, "Button").GlowCount, 1);
    EXPECT_EQ(Section(r, "Button").GlowMargin, 4);
}

TEST(SkinOptions, AVersionAboveSixNinetyNineIsReportedOncePerLoad) {
    for (const auto& [version, shown] :
         {std::pair{"7.0", 1u}, {"6.99", 0u}, {"7,0", 0u}, {"x", 0u}}) {
        SkinReading r;
        r.Text(std::string("[GLOBALINFO]\nVERSION=") + version + "\n[A]\n[B]\n");
        EXPECT_EQ(r.messages.size(), shown) << version;
    }
    SkinReading r;
    r.Text("[GLOBALINFO]\nVERSION=7.25\nAUTHOR=Me\n");
    EXPECT_DOUBLE_EQ(r.skin.SkinData.Version, 7.25);
    EXPECT_EQ(r.skin.SkinData.Author, "Me");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0],
              "This version of the skin have not complete support by used Quillor package "
              "release.\r\nComponents must be updated up to latest version for using this skin.");
}

TEST(SkinOptions, StrictKeysAndGradientsFailWithTheirPlace) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"[GLOBALINFO]\nSHADOW1OFFSET=abc",
         "'abc' is not a valid integer value (Options.dat [GLOBALINFO] SHADOW1OFFSET)"},
        {"[GLOBALINFO]\nBICONMINGLOWMARGIN=",
         "'' is not a valid integer value (Options.dat [GLOBALINFO] BICONMINGLOWMARGIN)"},
        {"[EDIT]\nHOTGRADIENTDATA=1;2;x;4;5",
         "'x' is not a valid integer value (Options.dat [EDIT] HOTGRADIENTDATA)"},
    };
    for (const auto& c : cases) {
        SkinReading r;
        try {
            r.Text(c.text);
            ADD_FAILURE() << c.text;
        } catch (const vcl::EConvertError& e) {
            EXPECT_EQ(e.Message, c.message);
        }
    }
    // Plain integer keys fall back to their default instead.
    SkinReading r;
    r.Text("[GLOBALINFO]\nBIKEEPHUE=abc\nTITLEHEIGHT=$20\n");
    EXPECT_EQ(r.skin.SkinData.BIKeepHue, 0);
    EXPECT_EQ(r.skin.SkinData.TitleHeight, 32);
}

TEST(SkinOptions, CommonSectionsAddTheSectionsTheSkinLacks) {
    SkinReading r;
    r.common.SetText(
        "[EDIT]\nCOLOR=0x000001\n"
        "[NEWEDIT]\nPARENTCLASS=edit\nFONTCOLOR=0x0000AA\nSHOWFOCUS=?\n"
        "[LONE]\nHOTGRADIENTDATA=1;2;50;0;0\n");
    r.Text("[EDIT]\nCOLOR=0x00FF00\nSHOWFOCUS=TRUE\nGLOW=4\nTCLEFT=9\n");
    ASSERT_EQ(r.skin.Sections.size(), 3u);
    EXPECT_EQ(Section(r, "EDIT").Color, 0x00FF00u);  // the skin's own stays
    const TsGeneralData& added = Section(r, "NEWEDIT");
    EXPECT_EQ(added.ParentClass, "EDIT");
    EXPECT_EQ(added.FontColor, 0xAAu);
    EXPECT_EQ(added.Color, 0x00FF00u);
    EXPECT_TRUE(added.ShowFocus);
    EXPECT_EQ(added.TCLeft, 9u);
    EXPECT_EQ(added.GlowCount, 0);  // glow is never inherited here
    const TsGeneralData& lone = Section(r, "LONE");
    EXPECT_EQ(lone.ParentClass, "-1");
    EXPECT_EQ(lone.Color, 0xFFFFFFu);
    EXPECT_EQ(lone.FadingIterations, 5);
    EXPECT_EQ(lone.HotGradientArray.size(), 1u);
    EXPECT_EQ(Section(r, "EDIT").BordersMask, -1);
}

TEST(SkinOptions, AnInternalSkinHeldAsCollections) {
    SkinReading r;
    TsStoredSkin* item = r.internals.Add();
    item->Name = "Topaz (внутренний)"_cp;
    item->Version = 7.5;
    item->Shadow1Offset = 3;
    item->BorderColor = 0x102030;
    const struct {
        const char* font;
        TColor colour, left, bottom;
    } fonts[] = {
        {"1 2 3 4 5", 1, 2, 5},
        {"", 0, TColor(-1), TColor(-1)},
        {"1 2 3 4", 0, TColor(-1), TColor(-1)},
        {"  9  -1 -1 -1 7 ", 9, TColor(-1), 7},
    };
    for (const auto& f : fonts) {
        TsSkinGeneral* g = item->GeneralData.Add();
        g->SectionName = "S" + std::to_string(item->GeneralData.Count());
        g->FontColor = f.font;
        g->GradientData = "1;2;100;0;0";
        g->GlowSize = 300;  // kept in 8 bits
    }
    r.common.SetText("[EXTRA]\nCOLOR=0x000005\n");
    r.Internal("Topaz (внутренний)"_cp);
    EXPECT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.skin.SkinData.Shadow1Offset, 3);
    EXPECT_EQ(r.skin.SkinData.BorderColor, 0x102030u);
    EXPECT_EQ(r.skin.SkinData.TitleHeight, 30);
    ASSERT_EQ(r.skin.Sections.size(), 5u);
    for (size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(fonts[k].font);
        EXPECT_EQ(r.skin.Sections[k].FontColor, fonts[k].colour);
        EXPECT_EQ(r.skin.Sections[k].TCLeft, fonts[k].left);
        EXPECT_EQ(r.skin.Sections[k].TCBottom, fonts[k].bottom);
        EXPECT_EQ(r.skin.Sections[k].HotFontColor, 0u);
        EXPECT_EQ(r.skin.Sections[k].GradientArray.size(), 1u);
        EXPECT_EQ(r.skin.Sections[k].GlowSize, 44);
    }
    EXPECT_EQ(r.skin.Sections[4].SectionName, "EXTRA");

    item->GeneralData.Items(1)->HotFontColor = "1 2 x 4 5";
    try {
        r.Internal(item->Name);
        FAIL();
    } catch (const vcl::EConvertError& e) {
        EXPECT_EQ(e.Message,
                  "'x' is not a valid integer value (" + item->Name + " [S2] HotFontColor)");
    }
    // A name no item has reads nothing.
    SkinReading none;
    none.internals.Add()->Name = "Other";
    none.Internal("Topaz");
    EXPECT_TRUE(none.skin.Sections.empty());
    EXPECT_TRUE(none.messages.empty());
}

}  // namespace
}  // namespace skin
