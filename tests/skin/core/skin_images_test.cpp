#include "skin/core/data/skin_images.h"

#include <gtest/gtest.h>

#include "skin/core/pixels/errors.h"
#include "tests/skin/core/png_reference.h"
#include "tests/skin/core/skin_reading.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/exceptions.h"

namespace skin {
namespace {

using skin_test::Bmp24, skin_test::Bmp32, skin_test::Jpeg, skin_test::Solid, skin_test::PixelOf;
using skin_test::SkinReading, skin_test::TestSkin;

std::string Png32(int w, int h, uint32_t rgba) {
    return skin_test::WriteSolidPng(w, h, rgba);
}

const TsMaskData& Mask(const SkinReading& r, const std::string& section, const std::string& prop) {
    const int i = r.skin.GetMaskIndexByNames(section, prop);
    EXPECT_GE(i, 0) << section << " " << prop;
    return r.skin.Masks.at(size_t(std::max(i, 0)));
}

struct Geometry {
    TRect R;
    int ImageCount, MaskType, BorderWidth, StretchMode, ImgType, WL, WT, WR, WB;
};
void ExpectGeometry(const TsMaskData& m, const Geometry& g) {
    SCOPED_TRACE(m.SectionName + " " + m.PropertyName);
    EXPECT_EQ(m.R, g.R);
    EXPECT_EQ(m.ImageCount, g.ImageCount);
    EXPECT_EQ(m.MaskType, g.MaskType);
    EXPECT_EQ(m.BorderWidth, g.BorderWidth);
    EXPECT_EQ(m.StretchMode, g.StretchMode);
    EXPECT_EQ(m.ImgType, g.ImgType);
    EXPECT_EQ((std::array<int, 4>{m.WL, m.WT, m.WR, m.WB}),
              (std::array<int, 4>{g.WL, g.WT, g.WR, g.WB}));
}

TEST(SkinImages, TheFormsCutFromTheMasterBitmap) {
    SkinReading r;
    r.Text(
        "[BUTTON]\n"
        "BORDERSMASK=^0003^0040^0043^0082^0002^0002^0002^0003^1^0^1^1\n"
        "ZEROS=^0000^0000^0060^0040^0000^0000^0000^0000^2^1^0^0\n"
        "WIDE=^0000^0000^0060^0040^0000^0000^0000^0000^2^1^0^5\n"
        "GLYPHMASK=@0030@0002@0162@0021@3@0\n"
        "PATTERN=~0148~0048~0151~0054~10~1\n"
        "HOTPATTERN=~0003~0133~0005~0205~01\n"
        "Cut=#(10,20,30,40)(3,1,0,1)\n"
        "cut2=#(0,0,90,60)(0,-1)\n"
        "COLOR=0x00FF00\nTEXT=N/A\nHASH=#\n");
    ExpectGeometry(Mask(r, "BUTTON", "BORDERSMASK"),
                   {{3, 40, 43, 82}, 1, 0, 1, 1, itisaBorder, 2, 2, 2, 3});
    ExpectGeometry(Mask(r, "BUTTON", "ZEROS"),
                   {{0, 0, 60, 40}, 2, 1, 0, 0, itisaBorder, 10, 6, 10, 6});
    ExpectGeometry(Mask(r, "BUTTON", "WIDE"),
                   {{0, 0, 60, 40}, 2, 1, 5, 0, itisaBorder, 5, 5, 5, 5});
    ExpectGeometry(Mask(r, "BUTTON", "GLYPHMASK"),
                   {{30, 2, 162, 21}, 3, 0, 0, 0, itisaGlyph, 0, 0, 0, 0});
    ExpectGeometry(Mask(r, "BUTTON", "PATTERN"),
                   {{148, 48, 151, 54}, 1, 1, 0, 10, itisaTexture, 0, 0, 0, 0});
    ExpectGeometry(Mask(r, "BUTTON", "HOTPATTERN"),
                   {{3, 133, 5, 205}, 1, 0, 0, 1, itisaTexture, 0, 0, 0, 0});
    ExpectGeometry(Mask(r, "BUTTON", "CUT"),
                   {{10, 20, 30, 40}, 3, 1, 0, 1, itisaBorder, 2, 3, 2, 3});
    ExpectGeometry(Mask(r, "BUTTON", "CUT2"),
                   {{0, 0, 90, 60}, 1, 0, 0, 1, itisaBorder, 30, 20, 30, 20});
    EXPECT_EQ(Mask(r, "BUTTON", "BORDERSMASK").Manager, &r.skin);
    EXPECT_EQ(r.skin.Masks.size(), 8u);
}

TEST(SkinImages, MalformedValuesFailWithTheirPlace) {
    TestSkin s;
    s.Add("MASTER.BMP", Bmp24(4, 4, Solid(0)));
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"A=~0003~0133~0005~0205~0", "'0' is not a valid integer value (Options.dat [X] A)"},
        {"A=^0003", "'' is not a valid integer value (Options.dat [X] A)"},
        {"A=@0030@00x2@0162@0021@3@0", "'00x2' is not a valid integer value (Options.dat [X] A)"},
        {"A=^0000^0000^0060^0040^0000^0000^0000^0000^0^-^0^0",
         "'-' is not a valid integer value (Options.dat [X] A)"},
        {"A=#(1,2,3)(1,0)", "'' is not a valid integer value (Options.dat [X] A)"},
        {"A=!MASTER.BMP!1", "'' is not a valid integer value (Options.dat [X] A)"},
        {"A=!MASTER.BMP!1!0!0!5", "'' is not a valid integer value (Options.dat [X] A)"},
    };
    for (const auto& c : cases) {
        s.Options = std::string("[X]\n") + c.line;
        SkinReading r;
        try {
            r.Packed(s);
            ADD_FAILURE() << c.line;
        } catch (const vcl::EConvertError& e) {
            EXPECT_EQ(e.Message, c.message);
        }
    }
}

TEST(SkinImages, DamagedPicturesFailWithTheirNames) {
    const std::string bmp = Bmp24(8, 8, Solid(0x123456)), png = Png32(8, 8, 0xFF00FF00);
    std::string huge = bmp;
    huge.replace(18, 8, skin_test::Le32(9000) + skin_test::Le32(9000));  // over the size cap
    const struct {
        const char* options;
        std::string picture;
        const char* name;
    } cases[] = {
        {"[GLOBALINFO]\nMASTERBITMAP=M.BMP", bmp.substr(0, 60), "M.BMP"},
        {"[X]\nA=!P.PNG!1!0!0", png.substr(0, png.size() - 20), "P.PNG"},
        {"[X]\nA=P.BMP", huge, "P.BMP"},
        {"[X]\nA=P.JPG", Jpeg(8, 8, 0).substr(0, 200), "P.JPG"},
    };
    for (const auto& c : cases) {
        SkinReading r;
        TestSkin s;
        s.Options = c.options;
        s.Add(c.name, c.picture);
        try {
            r.Packed(s);
            ADD_FAILURE() << c.name;
        } catch (const vcl::Exception& e) {
            const std::string tail = std::string(" (") + c.name + ")";
            EXPECT_TRUE(e.Message.ends_with(tail)) << e.Message;
            EXPECT_GT(e.Message.size(), tail.size());
        }
    }
}

TEST(SkinImages, AFileNamedByManyKeysIsDecodedOnceWithinTheBudget) {
    // 400 keys of every image form name one 64 x 64 picture (16 kB decoded, 12 kB as 24 bits):
    // a load that decoded per key would spend 11 MB, far past a budget of 200 kB.
    TestSkin s;
    s.Options = "[X]\n";
    for (int k = 0; k < 100; ++k) {
        const std::string n = std::to_string(k);
        s.Options += "O" + n + "=!P.BMP!1!0!0\nT" + n + "=!P.BMP!1!0!1\nB" + n + "=P.BMP\nG" +
                     n + "=!G.PNG!1!0!3\n";
    }
    s.Add("P.BMP", Bmp32(64, 64, Solid(0x123456)));
    s.Add("G.PNG", Png32(64, 64, 0x80FF0000));
    SkinReading r;
    r.source.PictureBudget = 200 << 10;
    r.Packed(s);
    ASSERT_EQ(r.skin.Masks.size(), 400u);
    for (const char* form : {"O", "T", "B", "G"}) {
        const TsMaskData& first = Mask(r, "X", std::string(form) + "0");
        EXPECT_EQ(Mask(r, "X", std::string(form) + "99").Bmp, first.Bmp) << form;
    }
    EXPECT_EQ(Mask(r, "X", "O0").Bmp, Mask(r, "X", "B0").Bmp);  // one 24-bit copy
    EXPECT_NE(Mask(r, "X", "O0").Bmp, Mask(r, "X", "T0").Bmp);  // textures keep 32 bits
}

TEST(SkinImages, ALoadPastItsPictureBudgetFailsAtThePictureThatPassedIt) {
    testing_support::TempDir dir;
    TestSkin s;
    s.Options = "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n[X]\nA=A.BMP\nB=B.BMP\nJ=J.JPG\n";
    s.Add("M.BMP", Bmp24(64, 64, Solid(1)));  // 12 kB
    s.Add("A.BMP", Bmp24(64, 64, Solid(2)));
    s.Add("B.BMP", Bmp24(64, 64, Solid(3)));
    s.Add("J.JPG", Jpeg(64, 64, 0));  // 16 kB
    s.WriteFolder(dir.path());
    const struct {
        int64_t budget;
        const char* failsAt;  // null: loads
    } cases[] = {{70 << 10, nullptr}, {50 << 10, "J.JPG"}, {30 << 10, "B.BMP"}, {4 << 10, "M.BMP"}};
    for (const auto& c : cases) {
        for (bool packed : {true, false}) {
            SkinReading r;
            r.source.PictureBudget = c.budget;
            try {
                packed ? r.Packed(s) : r.Folder(dir.path());
                EXPECT_EQ(c.failsAt, nullptr) << c.budget;
            } catch (const vcl::EOutOfResources& e) {
                ASSERT_NE(c.failsAt, nullptr) << e.Message;
                EXPECT_TRUE(e.Message.ends_with(std::string(c.failsAt) + ")")) << e.Message;
            }
        }
    }
    // A folder file larger than the budget is not read at all.
    testing_support::WriteFile(dir / "A.BMP", std::string(64 << 10, 'x'));
    SkinReading r;
    r.source.PictureBudget = 32 << 10;
    EXPECT_THROW(r.Folder(dir.path()), vcl::EOutOfResources);
}

TEST(SkinImages, OwnPicturesAndTheMasterBitmapOfAPackedSkin) {
    TestSkin s;
    s.Options =
        "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n"
        "[X]\n"
        "CORNER=!CORNER.BMP!1!1!2\n"
        "GLOW=!GLOWMIN.PNG!1!0!3!0018!0018!0018!0017\n"
        "TEX=!TEX32.BMP!1!0!1\n"
        "SEVEN=!CORNER.BMP!1!0!7\n"
        "LOWER=!glow.png!1!0!3\n"
        "MISSING=!NONE.BMP!1!0!0\n"
        "FILE=btn.bmp\n";
    s.Add("Master.bmp", Bmp24(20, 10, Solid(0x0000FF)));
    s.Add("corner.bmp", Bmp24(30, 20, Solid(0x00FF00)));
    s.Add("GLOWMIN.PNG", Png32(6, 4, 0x80FF0000));
    s.Add("glow.png", Png32(6, 4, 0x80FF0000));
    s.Add("TEX32.BMP", Bmp32(6, 6, Solid(0x40102030)));
    s.Add("BTN.BMP", Bmp24(90, 60, Solid(0)));
    SkinReading r;
    r.Packed(s);
    ASSERT_EQ(r.skin.MasterBitmap->Width(), 20);
    EXPECT_EQ(r.skin.MasterBitmap->PixelFormat(), pf24bit);
    EXPECT_EQ(PixelOf(r.skin.MasterBitmap.get(), 3, 3), 0x0000FFu);
    ExpectGeometry(Mask(r, "X", "CORNER"), {{0, 0, 30, 20}, 1, 1, 0, 4, itisaGlyph, 10, 3, 10, 3});
    ExpectGeometry(Mask(r, "X", "GLOW"), {{0, 0, 6, 4}, 1, 0, 0, 4, itisaGlow, 18, 18, 18, 17});
    EXPECT_EQ(Mask(r, "X", "SEVEN").ImgType, itisaPngGlyph);
    ExpectGeometry(Mask(r, "X", "FILE"), {{0, 0, 90, 60}, 3, 1, 0, 0, itisaBorder, 10, 10, 10, 10});
    EXPECT_EQ(Mask(r, "X", "CORNER").Bmp->PixelFormat(), pf24bit);
    EXPECT_EQ(Mask(r, "X", "GLOW").Bmp->PixelFormat(), pf32bit);
    EXPECT_EQ(PixelOf(Mask(r, "X", "GLOW").Bmp.get(), 1, 1), 0x80FF0000u);  // alpha kept
    EXPECT_EQ(Mask(r, "X", "TEX").Bmp->PixelFormat(), pf32bit);             // textures keep theirs
    EXPECT_EQ(r.skin.GetMaskIndexByNames("X", "LOWER"), -1);
    EXPECT_EQ(r.skin.GetMaskIndexByNames("X", "MISSING"), -1);
    EXPECT_EQ(r.skin.Masks.size(), 5u);

    // Entries are found by the name as written: in mixed case it finds none.
    s.Options = "[GLOBALINFO]\nMASTERBITMAP=Master.bmp\n";
    SkinReading mixed;
    mixed.Packed(s);
    EXPECT_TRUE(mixed.skin.MasterBitmap->Empty());
}

TEST(SkinImages, SmallJpegsBecomeTexturesAndLargeOnesPatterns) {
    TestSkin s;
    s.Options =
        "[X]\nPATTERN=big.jpg\nHOTPATTERN=Small.Jpeg\nNONE=gone.jpg\nB=^0000^0000^0001^0001^0000^"
        "0000^0000^0000^1^0^0^0";
    s.Add("BIG.JPG", Jpeg(300, 300, 0x00FF00));
    s.Add("SMALL.JPEG", Jpeg(299, 300, 0x00FF00));
    SkinReading r;
    r.Packed(s);
    ASSERT_EQ(r.skin.Patterns.size(), 1u);
    EXPECT_EQ(r.skin.Patterns[0].SectionName, "X");
    EXPECT_EQ(r.skin.Patterns[0].PropertyName, "PATTERN");
    EXPECT_EQ(r.skin.Patterns[0].Img->Width(), 300);
    ASSERT_EQ(r.skin.Masks.size(), 2u);
    // After the skin's own masks.
    ExpectGeometry(r.skin.Masks[1], {{}, 1, 0, 0, 0, itisaTexture, 0, 0, 0, 0});
    EXPECT_EQ(r.skin.Masks[1].PropertyName, "HOTPATTERN");
    EXPECT_EQ(r.skin.Masks[1].Bmp->Width(), 299);
    EXPECT_EQ(r.skin.GetPatternIndex(0, "X", "PATTERN"), 0);
    EXPECT_EQ(r.skin.GetTextureIndex(0, "X", "HOTPATTERN"), 1);
}

TEST(SkinImages, AFolderSkinWithCommonSections) {
    SkinReading r;
    r.common.SetText(
        "[GLOBALINFO]\nEDGE=common/edge.bmp\n"
        "[PANEL]\nEDGE=common\\EDGE.BMP\nTEX=Common/Tile.jpg\nCUT=#(0,0,9,6)(1,0)\nNO=-\n"
        "[BUTTON]\nBORDERSMASK=#(0,0,3,3)(1,0)\n");
    r.Folder(testing_support::TestDataDir() + "skin/folder_skin/");
    EXPECT_EQ(r.skin.SkinData.TitleHeight, 22);
    ASSERT_EQ(r.skin.MasterBitmap->Width(), 40);
    EXPECT_EQ(PixelOf(r.skin.MasterBitmap.get(), 0, 0), kTransparentKey);
    EXPECT_EQ(PixelOf(r.skin.MasterBitmap.get(), 5, 15), 0x0000FFu);
    ExpectGeometry(Mask(r, "BUTTON", "GLYPHMASK"),
                   {{0, 0, 12, 6}, 2, 0, 0, 4, itisaGlyph, 2, 2, 2, 2});
    ExpectGeometry(Mask(r, "BUTTON", "FRAME"),
                   {{0, 0, 90, 60}, 3, 1, 0, 0, itisaBorder, 10, 10, 10, 10});
    // Common masks get the geometry of the skin's own BMP file names.
    ExpectGeometry(Mask(r, "PANEL", "EDGE"), {{0, 0, 18, 12}, 3, 1, 0, 0, itisaBorder, 2, 2, 2, 2});
    ExpectGeometry(Mask(r, "PANEL", "CUT"), {{0, 0, 9, 6}, 1, 0, 0, 1, itisaBorder, 3, 2, 3, 2});
    // Array order: own masks, common masks, then textures of small JPEGs.
    std::vector<std::string> order;
    for (const TsMaskData& m : r.skin.Masks)
        order.push_back(m.SectionName + "." + m.PropertyName);
    EXPECT_EQ(order, (std::vector<std::string>{"BUTTON.BORDERSMASK", "BUTTON.GLYPHMASK",
                                               "BUTTON.FRAME", "PANEL.EDGE", "PANEL.CUT",
                                               "BUTTON.BORDERSMASK", "BUTTON.HOTPATTERN"}));
    // The skin's own image is found first.
    EXPECT_EQ(r.skin.GetMaskIndex(r.skin.GetSkinIndex("BUTTON"), "BUTTON", "BORDERSMASK"), 0);
    EXPECT_EQ(r.skin.GetMaskIndex(r.skin.GetSkinIndex("EDIT"), "EDIT", "FRAME"), 2);
    ASSERT_EQ(r.skin.Patterns.size(), 2u);
    EXPECT_EQ(r.skin.Patterns[1].PropertyName, "TEX");
    EXPECT_EQ(r.skin.Patterns[1].Img->Width(), 16);
}

TEST(SkinImages, AnInternalSkinHeldAsCollections) {
    SkinReading r;
    TsStoredSkin* item = r.internals.Add();
    item->Name = "Inner";
    item->MasterBitmap->LoadFromStream(
        std::make_unique<vcl::TStringStream>(Bmp24(10, 10, Solid(0xABCDEF))).get());
    TsSkinImage* cut = item->Images.Add();
    cut->SectionName = "Button", cut->PropertyName = "BordersMask";
    cut->Left = 0, cut->Top = 0, cut->Right = 60, cut->Bottom = 40;
    TsSkinImage* own = item->Images.Add();
    own->SectionName = "button", own->PropertyName = "glyph", own->Name = "G";
    own->Image->SetPixelFormat(pf32bit);
    own->Image->SetSize(9, 6);
    own->ImageCount = 1, own->BorderWidth = 2;
    TsSkinPattern* p1 = item->Patterns.Add();
    p1->Name = "Back", p1->SectionName = "form", p1->PropertyName = "pattern";
    TsSkinPattern* p2 = item->Patterns.Add();
    p2->Name = "Back";
    p2->Image->LoadFromStream(std::make_unique<vcl::TStringStream>(Jpeg(5, 5, 0)).get());
    r.Internal("Inner");
    EXPECT_EQ(PixelOf(r.skin.MasterBitmap.get(), 4, 4), 0xABCDEFu);
    ExpectGeometry(Mask(r, "BUTTON", "BORDERSMASK"),
                   {{0, 0, 60, 40}, 3, 1, 0, 0, itisaBorder, 6, 6, 6, 6});
    ExpectGeometry(Mask(r, "BUTTON", "GLYPH"), {{0, 0, 9, 6}, 1, 0, 2, 0, itisaBorder, 2, 2, 2, 2});
    EXPECT_EQ(Mask(r, "BUTTON", "GLYPH").Bmp->PixelFormat(), pf24bit);
    ASSERT_EQ(r.skin.Patterns.size(), 2u);
    EXPECT_EQ(r.skin.Patterns[0].SectionName, "FORM");
    EXPECT_EQ(r.skin.Patterns[0].Img->Width(), 5);  // shared by name

    SkinReading none;
    none.internals.Add()->Name = "Inner";
    none.Internal("inner");
    EXPECT_TRUE(none.skin.Masks.empty());
    EXPECT_TRUE(none.skin.Patterns.empty());
    EXPECT_EQ(none.skin.MasterBitmap, nullptr);
}

}  // namespace
}  // namespace skin
