// The about box (version, gradient band, closing) and opening the guide.
#include "lists/form_about.h"

#include <gtest/gtest.h>

#include <fstream>

#include "lists/help_file.h"
#include "platform/os/cp_literal.h"
#include "platform/user/input.h"
#include "platform/user/styles.h"
#include "tests/lists/list_forms_rig.h"
#include "vcl/graphics/bitmap.h"

namespace {

using lists::GetVersionText;
using lists::TformAbout;

TEST(AboutVersion, ShortAndLongForms) {
    EXPECT_EQ(GetVersionText(false, {1, 2, 0, 350}), "1.2.0.350");
    EXPECT_EQ(GetVersionText(true, {1, 2, 0, 350}), "1.2");
    EXPECT_EQ(GetVersionText(false, {10, 0, 65535, 7}), "10.0.65535.7");
}

TEST(AboutBand, ColumnsStepTowardsTheEndColourAndStopShortOfIt) {
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf24bit);
    bmp.SetSize(120, 4);
    bmp.Canvas()->Brush()->SetColor(vcl::clBlack);
    bmp.Canvas()->FillRect(vcl::Rect(0, 0, 120, 4));
    lists::PaintHorizontalGradient(bmp.Canvas(), vcl::Rect(10, 1, 110, 3), vcl::clWhite,
                                   vcl::clSilver);
    auto px = [&](int x, int y) { return bmp.Canvas()->Pixels(x, y); };
    EXPECT_EQ(px(10, 1), vcl::clWhite);
    EXPECT_EQ(px(11, 2), vcl::clWhite);            // 255 - 63 * 1 / 100, truncated toward 0
    EXPECT_EQ(px(12, 2), vcl::TColor(0xFEFEFE));   // 255 - 63 * 2 / 100
    EXPECT_EQ(px(60, 1), vcl::TColor(0xE0E0E0));   // 255 - 63 * 50 / 100 = 224
    EXPECT_EQ(px(109, 2), vcl::TColor(0xC1C1C1));  // 193, one step short of silver
    // Nothing outside the rectangle.
    EXPECT_EQ(px(9, 1), vcl::clBlack);
    EXPECT_EQ(px(110, 1), vcl::clBlack);
    EXPECT_EQ(px(50, 0), vcl::clBlack);
    EXPECT_EQ(px(50, 3), vcl::clBlack);
    // A rectangle without width draws nothing.
    lists::PaintHorizontalGradient(bmp.Canvas(), vcl::Rect(50, 0, 50, 4), vcl::clWhite,
                                   vcl::clWhite);
    lists::PaintHorizontalGradient(bmp.Canvas(), vcl::Rect(60, 0, 40, 4), vcl::clWhite,
                                   vcl::clWhite);
    EXPECT_EQ(px(50, 0), vcl::clBlack);
}

class AboutBox : public lists_test::ListFormsRig, public ::testing::Test {
protected:
    AboutBox() {
        vcl::Application()->CreateForm(form);
        rig.giveUp = [this] { form->SetModalResult(vcl::mrCancel); };
    }
    TformAbout* form = nullptr;
};

TEST_F(AboutBox, ShowsTheVersionOverTheBandAndClosesOnEscapeOrItsButton) {
    EXPECT_TRUE(form->labComplex->Font()->Style().Contains(vcl::fsBold));
    rig.Then(
        "shown", [&] { return form->Visible(); },
        [&] {
            EXPECT_EQ(form->labVer->Caption(), "версия "_cp + GetVersionText(false));
            const int w = form->Paint->Width();
            EXPECT_EQ(ScreenPixel(form->Paint, 0, 5), win::RGB(255, 255, 255));
            const int last = 255 - 63 * (w - 1) / w;
            EXPECT_EQ(ScreenPixel(form->Paint, w - 1, 5), win::RGB(last, last, last));
            rig.Key(win::VK_ESCAPE, 27);
        });
    form->ShowModal();
    rig.Then(
        "again", [&] { return form->Visible(); }, [&] { rig.Click(form->btnClose); });
    form->ShowModal();
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_FALSE(form->Visible());
}

TEST_F(AboutBox, TheGuideOpensOrTheReasonIsShown) {
    const std::string folder = rig.dir.path();
    EXPECT_FALSE(lists::OpenHelpFile(nullptr, folder, "true"));  // no file yet
    testing_support::WriteFile(folder + lists::kHelpFileName, "ITSF");
    // An opener that notes what it was asked to open.
    const std::string opener = folder + "opener", noted = folder + "noted";
    testing_support::WriteNotingOpener(opener, noted);
    EXPECT_TRUE(lists::OpenHelpFile(nullptr, folder, opener));
    EXPECT_EQ(testing_support::WaitForFile(noted), folder + lists::kHelpFileName);  // detached
    EXPECT_FALSE(lists::OpenHelpFile(nullptr, folder, folder + "no-such-viewer"));
    ASSERT_EQ(rig.boxes.size(), 2u);
    for (const auto& box : rig.boxes) {
        EXPECT_EQ(box.caption, "Ошибка"_cp);
        EXPECT_EQ(box.text.rfind("Ошибка запуска файла Справки!\r\n"_cp, 0), 0u) << box.text;
        EXPECT_EQ(box.text.back(), '.');
    }
    // Each names its own step: the missing file, then the viewer that could not be started.
    EXPECT_NE(rig.boxes[0].text.find(lists::kHelpFileName), std::string::npos);
    EXPECT_NE(rig.boxes[1].text.find("no-such-viewer"), std::string::npos);
    EXPECT_EQ(rig.boxes[0].text.find("no-such-viewer"), std::string::npos);
}

#ifdef TESSARY_HELP_FOLDER
TEST(HelpFile, IsBuiltNextToTheProgram) {
    const std::string file = std::string(TESSARY_HELP_FOLDER) + lists::kHelpFileName;
    std::ifstream in(file, std::ios::binary);
    char magic[4] = {};
    in.read(magic, sizeof magic);
    EXPECT_EQ(std::string(magic, sizeof magic), "ITSF") << file;
}
#endif

}  // namespace
