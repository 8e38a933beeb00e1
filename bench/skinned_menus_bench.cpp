// Opening the main window's "Список" pop-up until it is painted, the skin drawing it beside the
// classic look: the menu loop opens the pop-up (items measured, window made, background
// prepared, items painted), timed until the loop first waits, and is closed then. The classic
// run is the same menu back to the platform's own drawing.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <optional>

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

using Clock = std::chrono::steady_clock;
win::WNDPROC g_formProc = nullptr;
// When the loop first waited: the pop-up was shown and painted by then.
std::optional<Clock::time_point> g_painted;
// The loop waits once the pop-up is painted: it is closed at once.
win::LRESULT CloseWhenIdle(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (msg == win::WM_ENTERIDLE) {
        if (!g_painted) g_painted = Clock::now();
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
        // Off, the menu is the platform's own again.
        skin::Neighbours().SetMenuOwnerDraw(m->SkinableMenus(), form->Menu(), on);
    }
    void Open() {
        // The keys that close the menu go to the active window's thread.
        win::SetActiveWindow(form->Handle());
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
    for (auto _ : state) {
        g_painted.reset();
        const Clock::time_point start = Clock::now();
        w.Open();
        if (!g_painted) {
            state.SkipWithError("the pop-up never waited");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(*g_painted - start).count());
    }
}

void BM_ListPopupSkinned(benchmark::State& state) {
    OpenList(state, true);
}
void BM_ListPopupClassic(benchmark::State& state) {
    OpenList(state, false);
}
// Timed from the call to the loop's first wait, not through the closing.
BENCHMARK(BM_ListPopupSkinned)->UseManualTime()->Iterations(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListPopupClassic)->UseManualTime()->Iterations(100)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"BM_ListPopupSkinned/iterations:100/manual_time",
          "BM_ListPopupClassic/iterations:100/manual_time", "\"List\" pop-up opened until painted", 3.0, true}});
}
