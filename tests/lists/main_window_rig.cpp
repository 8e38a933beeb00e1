#include "main_window_rig.h"

#include "platform/controls/file_dialog.h"
#include "platform/display/screenshot.h"
#include "platform/sql/shared_database.h"
#include "platform/user/user.h"
#include "skin/controls/window_services.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/windows/windows_startup.h"
#include "tests/support/modal_script.h"

namespace lists_test {

MainWindowRig::MainWindowRig() : config("XDG_CONFIG_HOME", dir / "config") {
    // The skin starts as the program starts it, so every window it opens is skinned.
    skin::InitSkinLibrary();
    skin::InitSkinWindows();
    lists::UseDatabaseFolder(dir / "Local Tables");
    vcl::Application()->CreateForm(form);
    form->Show();
    Pump();
}

MainWindowRig::~MainWindowRig() {
    // Windows released by the last steps (a button's glow) go as the running program's loop
    // would let them, before the application ends.
    vcl::Application()->ProcessMessages();
    vcl::DoneApplication();  // the forms go while the skin they were drawn with still stands
    skin::FinalizeSkinLibrary();
    skin::ResetNeighbourServices();
    skin::ResetWindowServices();
    lists::UseDatabaseFolder({});
}

void MainWindowRig::Pump() {
    vcl::Application()->ProcessMessages();
}

void MainWindowRig::Idle() {
    Pump();
    vcl::Application()->HandleMessage();  // the idle work, then the rig's next timer tick
    Pump();
}

void MainWindowRig::Click(vcl::TControl* control) {
    WindowRig::Click(control);
    Pump();
}

void MainWindowRig::ClickCell(int col, int row) {
    const vcl::TRect r = form->grid->CellRect(col, row);
    const vcl::TPoint p =
        form->grid->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    screen.Click(p.X, p.Y);
    Pump();
}

void MainWindowRig::Press(win::UINT vk) {
    Key(vk);
    Pump();
}

void MainWindowRig::TypeText(const std::string& text) {
    Type(text);
    Pump();
}

void MainWindowRig::AnswerFileDialog(const std::string& path) {
    Then(
        "a file dialog",
        [] {
            const win::HWND active = win::GetActiveWindow();
            return active && win::GetDlgItem(active, win::kFileDialogNameId);
        },
        [path] { testing_support::QueueType(path + "\r"); });
}

uint32_t MainWindowRig::Pixel(vcl::TControl* control, int x, int y) {
    form->Update();
    const vcl::TPoint p = control->ClientToScreen({x, y});
    const win::RECT r{p.X, p.Y, p.X + 1, p.Y + 1};
    const display::Rgb shot = display::CaptureScreen(&r);
    if (shot.pixels.size() < 3) return 0xFFFFFFFF;
    return uint32_t(shot.pixels[0]) << 16 | uint32_t(shot.pixels[1]) << 8 | shot.pixels[2];
}

std::vector<std::vector<std::string>> MainWindowRig::Cells() {
    std::vector<std::vector<std::string>> rows;
    for (int r = 1; r < form->grid->RowCount(); ++r) {
        auto& row = rows.emplace_back();
        for (int c = 1; c < form->grid->ColCount(); ++c)
            row.push_back(form->grid->Cells(c, r));
    }
    return rows;
}

int64_t MainWindowRig::Count(const std::string& sql) {
    return sql::SharedDatabase(dir / "Local Tables")->QueryRaw(sql).At(0, 0).Integer();
}

void MainWindowRig::Exec(const std::string& sql) {
    sql::SharedDatabase(dir / "Local Tables")->ExecuteRaw(sql);
}

}  // namespace lists_test
