// The about box (version, gradient band, closing) and opening the guide.
#include "lists/form_about.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "gateway/log_thread.h"
#include "lists/help_file.h"
#include "platform/os/files.h"
#include "platform/os/cp_literal.h"
#include "platform/user/input.h"
#include "platform/user/styles.h"
#include "tests/lists/list_forms_rig.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/format.h"

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

// Each failure names its own step in Russian like the message: the missing file, the viewer that
// could not be started, and one that failed only after a while (its end is watched from a timer
// for as long as it runs, the windows going on meanwhile).
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
    const std::string late = folder + "late";
    testing_support::WriteFile(late, "#!/bin/sh\nsleep 3; exit 4\n");
    chmod(late.c_str(), 0755);
    EXPECT_TRUE(lists::OpenHelpFile(nullptr, folder, late));
    EXPECT_EQ(rig.boxes.size(), 2u);
    // The windows run on, in real time as the viewer does; a minute is only a hang guard.
    for (int i = 0; i < 6000 && rig.boxes.size() < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        clock.Advance(lists::kHelpViewerPollMs);
        vcl::Application()->ProcessMessages();
    }
    ASSERT_EQ(rig.boxes.size(), 3u);
    const std::string head = "Ошибка запуска файла Справки!\r\n"_cp;
    const std::string reasons[] = {
        std::string(lists::kHelpFileName) + ": " + "нет такого файла или каталога"_cp,
        folder + "no-such-viewer: " + "нет такого файла или каталога (2)"_cp,
        late + ": " + "программа просмотра завершилась с ошибкой (код выхода 4)"_cp,
    };
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rig.boxes[i].caption, "Ошибка"_cp);
        EXPECT_EQ(rig.boxes[i].text, head + reasons[i] + ".");
    }

    // A watch killed from outside: the viewer's later failure is not taken for a success, nor
    // shown, only logged. The watch shows by its own name, not as a second copy of the program.
    gateway::StartLogThread(folder);
    const std::string go = folder + "go";
    testing_support::WriteFile(late, "#!/bin/sh\nwhile [ ! -e " + go + " ] && [ -d " + folder +
                                         " ]; do sleep 0.01; done\nexit 4\n");
    EXPECT_TRUE(lists::OpenHelpFile(nullptr, folder, late));
    int watch = -1;  // the child of this process by that name
    std::ifstream children("/proc/self/task/" + std::to_string(getpid()) + "/children");
    for (int pid; watch < 0 && children >> pid;) {
        std::string name;
        std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), name);
        if (name == lists::kHelpWatchName) watch = pid;
    }
    ASSERT_GT(watch, 0);
    std::string args;
    std::getline(std::ifstream("/proc/" + std::to_string(watch) + "/cmdline"), args, '\0');
    EXPECT_EQ(args, lists::kHelpWatchName);
    kill(watch, SIGKILL);
    testing_support::WriteFile(go, "");
    const std::string log = folder + vcl::Format("gate_%.2d.log", gateway::InstanceNo);
    const std::string line = "Справка: "_cp + late + ": неизвестно, как завершилась программа"_cp;
    const auto logged = [&] {
        return os::ReadWholeFile(log).value_or("").find(line) != std::string::npos;
    };
    for (int i = 0; i < 6000 && !logged(); ++i) {  // a minute is only a hang guard
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        clock.Advance(lists::kHelpViewerPollMs);
        vcl::Application()->ProcessMessages();
        gateway::FlushLog(1000);
    }
    gateway::StopLogThread();
    EXPECT_TRUE(logged());
    EXPECT_EQ(rig.boxes.size(), 3u);
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
