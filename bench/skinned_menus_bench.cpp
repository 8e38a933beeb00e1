// Opening the main window's "Список" pop-up until it is painted, the skin drawing it beside the
// classic look: the menu loop opens the pop-up (items measured, window made, background
// prepared, items painted) and is closed again as soon as it waits. The classic run is the
// same menu with its items back to their own drawing.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_folder.h"
#include "bench/ratio_report.h"
#include "lists/form_main.h"
#include "platform/controls/standard_controls.h"
#include "platform/display/headless_presenter.h"
#include "platform/os/cp_literal.h"
#include "platform/user/input.h"
#include "platform/user/user.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/windows_startup.h"

namespace {

win::WNDPROC g_formProc = nullptr;
// The loop waits once the pop-up is painted: it is closed at once.
win::LRESULT CloseWhenIdle(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (msg == win::WM_ENTERIDLE) {
        win::QueueKeyEvent(win::KeyEvent{win::VK_ESCAPE, true});
        win::QueueKeyEvent(win::KeyEvent{win::VK_ESCAPE, false});
    }
    return win::CallWindowProcA(g_formProc, h, msg, wp, lp);
}

struct Window {
    Window() {
        setenv("XDG_CONFIG_HOME", (folder.path() + "config").c_str(), 1);
        win::ResetWindowing();
        win::RegisterStandardControls();
        skin::InitSkinWindows();
        screen.Resize(1600, 1000);
        lists::UseDatabaseFolder(folder.path());
        vcl::Application()->CreateForm(form);
        if (!skin::DefaultManager) {
            manager.reset(new skin::TsSkinManager(nullptr));
            skin::AddInternalSkin(*manager->InternalSkins());
            manager->SetSkinName(skin::InternalSkinName());
        }
        form->Show();
        win::SetActiveWindow(form->Handle());
        vcl::Application()->ProcessMessages();
        list = form->Menu()->Items()->Find("Список"_cp);
        g_formProc = reinterpret_cast<win::WNDPROC>(win::SetWindowLongPtrA(
            form->Handle(), win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(&CloseWhenIdle)));
    }
    ~Window() {
        win::SetWindowLongPtrA(form->Handle(), win::GWLP_WNDPROC,
                               reinterpret_cast<win::LONG_PTR>(g_formProc));
        vcl::DoneApplication();
        manager.reset();
        win::ResetWindowing();
    }
    void Skinned(bool on) {
        skin::TsSkinManager* m = skin::DefaultManager;
        skin::Neighbours().SetMenuOwnerDraw(m->SkinableMenus(), form->Menu(), on);
        // The bar stays as the provider has it; only the pop-up's items change hands.
        form->Menu()->SetOwnerDraw(true);
    }
    void Open() {
        win::TrackPopupMenu(list->Handle(), win::TPM_RETURNCMD, 200, 120, 0, form->Handle(),
                            nullptr);
        vcl::Application()->ProcessMessages();
    }

    bench::Folder folder;
    display::HeadlessPresenter screen;
    std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter> manager;
    lists::TformMain* form = nullptr;
    vcl::TMenuItem* list = nullptr;
};

Window& TheWindow() {
    static Window w;
    return w;
}

void OpenList(benchmark::State& state, bool skinned) {
    Window& w = TheWindow();
    if (!w.list) {
        state.SkipWithError("no list menu");
        return;
    }
    w.Skinned(skinned);
    for (auto _ : state)
        w.Open();
}

void BM_ListPopupSkinned(benchmark::State& state) {
    OpenList(state, true);
}
void BM_ListPopupClassic(benchmark::State& state) {
    OpenList(state, false);
}
BENCHMARK(BM_ListPopupSkinned)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListPopupClassic)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"BM_ListPopupSkinned", "BM_ListPopupClassic", "\"List\" pop-up opened until painted", 3.0}});
}
