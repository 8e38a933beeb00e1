// A Yes/No/Cancel message box with its icon and the open dialog under the internal skin, their
// children given adapters by the library's own creation hook as the program runs it. The two
// pictures side by side are kept as tests/data/skin/dialog_children.png for the eye
// (TESSARY_UPDATE_REFERENCE=1 writes it again); the probes compare the screen with the adapters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/controls/file_dialog.h"
#include "platform/display/screenshot.h"
#include "platform/os/cp_literal.h"
#include "platform/user/message_box.h"
#include "skin/controls/window_services.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/windows/scroll/combo_box_wnd.h"
#include "skin/windows/windows_startup.h"
#include "tests/skin/windows/windows_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

class DialogChildrenShot : public WindowsTest {
protected:
    void SetUp() override {
        InitSkinWindows();
        WindowsTest::SetUp();
        form->Show();
        Pump();
    }
    void TearDown() override {
        WindowsTest::TearDown();
        ResetNeighbourServices();
        ResetWindowServices();
    }

public:
    struct Seen {
        display::Rgb picture;
        int children = 0, adapted = 0;
        bool comboShown = false;
    };

    // The dialog painted as it stands, what it shows, and how many of its children have adapters.
    static void Look(win::HWND dialog, Seen& seen) {
        // A fixed place on the screen, so that the whole dialog is in the picture.
        win::SetWindowPos(dialog, nullptr, 10, 10, 0, 0,
                          win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
        win::RedrawWindow(dialog, nullptr, nullptr,
                          win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME | win::RDW_ALLCHILDREN |
                              win::RDW_UPDATENOW);
        win::RECT r{};
        win::GetWindowRect(dialog, &r);
        seen.picture = display::CaptureScreen(&r);
        for (win::HWND c = win::GetWindow(dialog, win::GW_CHILD); c; c = win::GetWindow(c, win::GW_HWNDNEXT)) {
            ++seen.children;
            TacMainWnd* a = FindWindowAdapter(c);
            seen.adapted += a != nullptr;
            if (auto* combo = dynamic_cast<TacComboBoxWnd*>(a)) {
                // The screen shows the combo's cached picture at its button.
                const win::RECT b = combo->ButtonRect();
                const int x = (b.left + b.right) / 2, y = b.top + 2;
                seen.comboShown = WindowPixel(c, x, y) ==
                                  vcl::ColorToRGB(combo->SkinData->CacheBmp()->Canvas()->Pixels(x, y));
            }
        }
    }
};

// Two pictures side by side on grey, 10 pixels apart and around.
display::Rgb Beside(const display::Rgb& a, const display::Rgb& b) {
    constexpr int kGap = 10;
    display::Rgb out;
    out.width = a.width + b.width + 3 * kGap;
    out.height = std::max(a.height, b.height) + 2 * kGap;
    out.pixels.assign(size_t(out.width) * size_t(out.height) * 3, 0x80);
    int left = kGap;
    for (const display::Rgb* p : {&a, &b}) {
        for (int y = 0; y < p->height; ++y)
            std::copy_n(p->pixels.begin() + long(y) * p->width * 3, p->width * 3,
                        out.pixels.begin() + (long(y + kGap) * out.width + left) * 3);
        left += p->width + kGap;
    }
    return out;
}

TEST_F(DialogChildrenShot, MessageBoxAndOpenDialogChildrenAreSkinned) {
    DialogChildrenShot::Seen box, open;
    {
        testing_support::Script look({[&](win::HWND d) {
            Look(d, box);
            win::PostMessageA(d, win::WM_COMMAND, win::IDCANCEL, 0);
        }});
        win::MessageBoxA(form->Handle(), "Сохранить список перед рассылкой?"_cp, "Вопрос"_cp,
                         win::MB_YESNOCANCEL | win::MB_ICONQUESTION);
    }
    {
        testing_support::TempDir dir;
        for (const char* file : {"clients.csv", "march.csv", "notes.txt"})
            testing_support::WriteFile(dir / file, "1;");
        const std::string folder = dir.path();
        win::OPENFILENAMEA ofn;
        char name[260] = {};
        ofn.hwndOwner = form->Handle();
        ofn.lpstrFilter = "CSV\0*.csv\0\0";
        ofn.lpstrFile = name;
        ofn.nMaxFile = sizeof name;
        ofn.lpstrInitialDir = folder.c_str();
        testing_support::Script look({[&](win::HWND d) {
            // The folder's name is the test's own temporary one: the picture shows a fixed one.
            win::SetWindowTextA(win::GetDlgItem(d, win::kFileDialogFolderId), "/home/operator/lists/");
            Look(d, open);
            win::PostMessageA(d, win::WM_COMMAND, win::IDCANCEL, 0);
        }});
        EXPECT_FALSE(win::GetOpenFileNameA(&ofn));
    }
    ASSERT_GT(box.picture.width, 0);
    ASSERT_GT(open.picture.width, 0);
    // Buttons, text and icon; every child of the open dialog, its type combo among them.
    EXPECT_EQ(box.adapted, box.children);
    EXPECT_EQ(open.adapted, open.children);
    EXPECT_TRUE(open.comboShown);

    const display::Rgb shot = Beside(box.picture, open.picture);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "dialog_children.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "skin/dialog_children.png");
}

}  // namespace
}  // namespace skin::testing
