#include "skin/core/data/skin_content.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/skin/core/skin_reading.h"

namespace skin {
namespace {

using skin_test::SkinReading;

TsMaskData& AddMask(TsSkinContent& s, const std::string& section, const std::string& prop,
                    TRect r = {}, int imageCount = 1, int maskType = 0) {
    TsMaskData& m = s.Masks.emplace_back();
    m.SectionName = section, m.PropertyName = prop, m.R = r;
    m.ImageCount = int16_t(imageCount), m.MaskType = int16_t(maskType);
    return m;
}

void AddSection(TsSkinContent& s, const std::string& name, const std::string& parent = "") {
    TsGeneralData& g = s.Sections.emplace_back();
    g.SectionName = name, g.ParentClass = parent;
}

TEST(SkinLookups, SectionsAndImagesByNameWithTheirParents) {
    TsSkinContent s;
    EXPECT_EQ(s.GetSkinIndex("EDIT"), -1);
    AddSection(s, "BASE");
    AddSection(s, "EDIT", "BASE");
    AddSection(s, "SELF", "SELF");
    AddSection(s, "EDIT");  // a second of the name is never found
    AddMask(s, "BASE", "BORDERSMASK");
    AddMask(s, "EDIT", "GLYPH").ImgType = itisaTexture;
    AddMask(s, "BASE", "PATTERN").ImgType = itisaTexture;
    AddMask(s, "BASE", "GLYPH").ImgType = itisaTexture;
    s.Patterns.push_back({nullptr, "BASE", "BACK"});

    EXPECT_EQ(s.GetSkinIndex("EDIT"), 1);
    EXPECT_EQ(s.GetSkinIndex("edit"), -1);
    EXPECT_EQ(s.GetMaskIndex(1, "EDIT", "BORDERSMASK"), 0);
    EXPECT_EQ(s.GetMaskIndex(1, "EDIT", "GLYPH"), 1);  // its own before the parent's
    EXPECT_EQ(s.GetMaskIndexByNames("EDIT", "BORDERSMASK"), -1);
    EXPECT_EQ(s.GetMaskIndexByNames("", "BORDERSMASK"), -1);
    EXPECT_EQ(s.GetMaskIndex(2, "SELF", "BORDERSMASK"), -1);
    EXPECT_EQ(s.GetMaskIndex(-1, "BASE", "BORDERSMASK"), -1);
    EXPECT_EQ(s.GetMaskIndex(0, "", "BORDERSMASK"), -1);
    EXPECT_EQ(s.GetTextureIndex(1, "EDIT", "BORDERSMASK"), -1);
    EXPECT_EQ(s.GetTextureIndex(1, "EDIT", "PATTERN"), 2);
    EXPECT_EQ(s.GetPatternIndex(1, "EDIT", "BACK"), 0);
    EXPECT_EQ(s.GetPatternIndex(1, "EDIT", "BORDERSMASK"), -1);
    EXPECT_TRUE(s.IsValidSkinIndex(3));
    EXPECT_FALSE(s.IsValidSkinIndex(4));
    EXPECT_FALSE(s.IsValidImgIndex(-1));
    EXPECT_TRUE(s.IsValidImgIndex(3));
    // Lookups follow renames once told.
    s.Sections[1].SectionName = "EDIT2";
    s.Reindex();
    EXPECT_EQ(s.GetSkinIndex("EDIT"), 3);
}

TEST(SkinLookups, ParentChainsStopAfterSixteenSteps) {
    TsSkinContent s;
    for (int k = 0; k <= 17; ++k)
        AddSection(s, "C" + std::to_string(k), "C" + std::to_string(k + 1));
    AddMask(s, "C16", "A");
    AddMask(s, "C17", "B");
    AddSection(s, "X", "Y");
    AddSection(s, "Y", "X");
    EXPECT_EQ(s.GetMaskIndex(0, "C0", "A"), 0);
    EXPECT_EQ(s.GetMaskIndex(0, "C0", "B"), -1);
    EXPECT_EQ(s.GetMaskIndex(1, "C1", "B"), 1);
    EXPECT_EQ(s.GetTextureIndex(18, "X", "A"), -1);  // a loop ends too
}

TEST(SkinLookups, StateSizesAndBorderWidths) {
    TsSkinContent s;
    AddMask(s, "A", "TWO", {0, 0, 40, 30}, 2, 1);
    TsMaskData& given = AddMask(s, "A", "GIVEN", {0, 0, 40, 30}, 2, 1);
    given.WL = 3, given.WT = 4, given.WR = 5, given.WB = 6;
    AddMask(s, "A", "WIDTH", {0, 0, 40, 30}, 2, 1).BorderWidth = 7;
    AddMask(s, "A", "NONE", {0, 0, 40, 30}, 0, -1);
    AddMask(s, "A", "NEGATIVE", {0, 0, 40, 30}, -2, -3);
    TsMaskData& own = AddMask(s, "A", "OWN", {0, 0, 10, 10}, 5, 5);
    own.Bmp.reset(vcl::New<vcl::TBitmap>());
    own.Bmp->SetSize(31, 21);

    EXPECT_EQ(s.GetMaskStateSize(0), (win::SIZE{20, 15}));
    EXPECT_EQ(s.MaskWidthLeft(0), 20);
    EXPECT_EQ(s.MaskWidthTop(0), 15);
    EXPECT_EQ(s.MaskWidthRight(1), 5);
    EXPECT_EQ(s.MaskWidthBottom(1), 6);
    EXPECT_EQ(s.MaskWidthTop(2), 7);
    // A count of 0 gives no frames, but its borders count one image, whichever side is asked
    // first; the mask stays as read.
    EXPECT_EQ(s.GetMaskStateSize(3), (win::SIZE{0, 0}));
    EXPECT_EQ(s.MaskWidthRight(3), 40);
    EXPECT_EQ(s.MaskWidthLeft(3), 40);
    EXPECT_EQ(s.Masks[3].ImageCount, 0);
    EXPECT_EQ(s.GetMaskStateSize(4), (win::SIZE{0, 0}));
    EXPECT_EQ(s.GetMaskStateSize(5), (win::SIZE{10, 10}));
    EXPECT_EQ(s.MaskWidthLeft(5), 10);
    EXPECT_EQ(s.MaskWidthLeft(6), 0);
    EXPECT_EQ(s.GetMaskStateSize(-1), (win::SIZE{0, 0}));
}

TEST(SkinLookups, TheStandardIndexesOfAFullSkin) {
    TsSkinContent empty;
    empty.InitConstIndexes();
    const TConstantSkinData none;
    EXPECT_EQ(std::memcmp(&empty.ConstData, &none, sizeof none), 0);
    for (int32_t v : empty.ConstData.CheckBoxes)
        EXPECT_EQ(v, -1);
    EXPECT_EQ(empty.ConstData.ComboButton.Section, -1);

    // Every standard section with every image it can have, each its own mask.
    const std::string cut = "=~0000~0000~0001~0001~01\n";
    std::string text = "[GLOBALINFO]\nEXBORDER" + cut;
    for (const char* name : TConstantSkinData::kCheckBoxNames)
        text += name + cut;
    text += "[COMBOBTN]\nBORDERSMASK" + cut + "PATTERN" + cut + "HOTPATTERN" + cut;
    text += "[COMBOBOX]\nGLYPHMASK" + cut;
    auto sections = [&](const char* const* names, int n) {
        for (int k = 0; k < n; ++k) {
            text += std::string("[") + names[k] + "]\n";
            for (const char* prop : {"BORDERSMASK", "PATTERN", "HOTPATTERN", "GLYPHMASK"})
                text += prop + cut;
        }
    };
    sections(TConstantSkinData::kTabNames, 4);
    sections(TConstantSkinData::kScrollButtonNames, 4);
    sections(TConstantSkinData::kSliderNames, 2);
    sections(TConstantSkinData::kScrollBarNames, 4);
    SkinReading r;
    r.Text(text);
    const TsSkinContent& s = r.skin;
    const TConstantSkinData& c = s.ConstData;
    auto maskOf = [&](int section, const char* prop) {
        return s.GetMaskIndexByNames(s.Sections[size_t(section)].SectionName, prop);
    };
    EXPECT_EQ(c.IndexGLOBALINFO, 0);
    EXPECT_EQ(c.ExBorder, 0);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(c.CheckBoxes[k], k + 1);
    EXPECT_EQ(c.ComboButton.Section, 1);
    EXPECT_EQ(c.ComboButton.BordersMask, maskOf(1, "BORDERSMASK"));
    EXPECT_EQ(c.ComboButton.Pattern, maskOf(1, "PATTERN"));
    EXPECT_EQ(c.ComboButton.HotPattern, maskOf(1, "HOTPATTERN"));
    EXPECT_EQ(c.ComboGlyph, maskOf(2, "GLYPHMASK"));
    auto expectGroup = [&](const TConstantSection* group, int n, bool patterns, bool glyph) {
        for (int k = 0; k < n; ++k) {
            const TConstantSection& g = group[k];
            ASSERT_GE(g.Section, 0);
            SCOPED_TRACE(s.Sections[size_t(g.Section)].SectionName);
            EXPECT_EQ(g.BordersMask, maskOf(g.Section, "BORDERSMASK"));
            EXPECT_EQ(g.Pattern, patterns ? maskOf(g.Section, "PATTERN") : -1);
            EXPECT_EQ(g.HotPattern, patterns ? maskOf(g.Section, "HOTPATTERN") : -1);
            EXPECT_EQ(g.GlyphMask, glyph ? maskOf(g.Section, "GLYPHMASK") : -1);
            EXPECT_EQ(s.Sections[size_t(g.Section)].BordersMask, g.BordersMask);
        }
    };
    expectGroup(c.Tabs, 4, false, false);
    expectGroup(c.ScrollButtons, 4, true, true);
    expectGroup(c.Sliders, 2, true, true);
    expectGroup(c.ScrollBars, 4, true, false);
    EXPECT_EQ(s.Sections[0].BordersMask, -1);  // GLOBALINFO gets no border
}

TEST(SkinLookups, FrameSizes) {
    TsMaskData m;
    m.R = {10, 0, 50, 30};
    const struct {
        int count, type, width, height;
    } cases[] = {{2, 0, 20, 30}, {0, 1, 0, 15}, {-1, -1, 0, 0}, {3, -2, 13, 0}};
    for (const auto& c : cases) {
        m.ImageCount = int16_t(c.count), m.MaskType = int16_t(c.type);
        EXPECT_EQ(SkinFrameWidth(m), c.width) << c.count;
        EXPECT_EQ(SkinFrameHeight(m), c.height) << c.type;
    }
    m.R = {INT32_MIN, 0, INT32_MAX, 0};
    m.ImageCount = 1;
    EXPECT_EQ(SkinFrameWidth(m), INT32_MAX);
}

}  // namespace
}  // namespace skin
