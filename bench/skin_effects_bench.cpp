// The window skinning's effects on the headless screen under the internal skin: one frame of a
// 100 x 30 button's cross-fade (the 10-ms tick's work); a live move of the 1280 x 800 main window
// (one placement: moved, the border window following, the screen composed) with extended
// borders beside the same move without them, as placements per second; a button's halo shown
// and hidden. Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true
// for medians.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/bench_folder.h"
#include "bench/ratio_report.h"
#include "lists/form_main.h"
#include "platform/controls/standard_controls.h"
#include "platform/display/headless_presenter.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"
#include "skin/controls/buttons.h"
#include "skin/controls/window_services.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/effects/fade_timers.h"
#include "skin/windows/effects/glow.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/windows_startup.h"

namespace {

// The main window with the internal skin and a button on it, made once for all benchmarks.
struct Window {
    Window() {
        setenv("XDG_CONFIG_HOME", (folder.path() + "config").c_str(), 1);
        win::ResetWindowing();
        win::RegisterStandardControls();
        skin::InitSkinLibrary();
        skin::InitSkinControls();
        skin::InitSkinWindows();
        screen.Resize(2000, 1200);
        lists::UseDatabaseFolder(folder.path());
        vcl::Application()->CreateForm(form);
        provider = reinterpret_cast<skin::TsSkinProvider*>(win::SendMessageA(
            form->Handle(), skin::SM_ALPHACMD, skin::SkinCommandWParam(skin::SKC_GETPROVIDER), 0));
        if (!skin::DefaultManager) {
            manager.reset(new skin::TsSkinManager(nullptr));
            skin::AddInternalSkin(*manager->InternalSkins());
            manager->SetSkinName(skin::InternalSkinName());
        }
        if (!provider) provider = vcl::New<skin::TsSkinProvider>(form);
        button = vcl::New<skin::TsBitBtn>(form);
        button->SetParent(form);
        button->SetBounds(20, 20, 100, 30);
        button->SetCaption("Start");
        form->Show();
        win::SetWindowPos(form->Handle(), nullptr, 100, 100, 1280, 800,
                          win::SWP_NOZORDER | win::SWP_NOACTIVATE);
        Pump();
    }
    ~Window() {
        vcl::DoneApplication();
        manager.reset();
        win::ResetWindowing();
    }
    static void Pump() { vcl::Application()->ProcessMessages(); }
    void ExtendedBorders(bool on) {
        skin::DefaultManager->SetExtendedBorders(on);
        Pump();
        win::RedrawWindow(form->Handle(), nullptr, nullptr,
                          win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW);
        Pump();
    }

    bench::Folder folder;
    display::HeadlessPresenter screen;
    std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter> manager;
    lists::TformMain* form = nullptr;
    skin::TsSkinProvider* provider = nullptr;
    skin::TsBitBtn* button = nullptr;
};

Window& TheWindow() {
    static Window w;
    return w;
}

// One frame of the button's fade: the old and new pictures blended and put on the window.
void BM_FadeFrame(benchmark::State& state) {
    Window& w = TheWindow();
    skin::TsCommonData* d = w.button->SkinData();
    skin::FadePtr fade;
    d->CacheStale = false;
    skin::StartControlFade(fade, d, false, 1);
    auto* timer = dynamic_cast<skin::TsFadeTimer*>(fade.get());
    if (!timer) {
        state.SkipWithError("the button does not fade");
        return;
    }
    timer->SetEnabled(false);  // frames are drawn here, not by the clock
    for (auto _ : state) {
        if (timer->CurrentStep > timer->StepCount) timer->CurrentStep = 1;
        timer->DrawFrame();
    }
    skin::StopControlFade(fade);
}
BENCHMARK(BM_FadeFrame)->Unit(benchmark::kMicrosecond);

// One placement of a live move: the window 8 pixels to the side and back, the border window
// following, the screen composed.
void LiveMove(benchmark::State& state, bool extended) {
    Window& w = TheWindow();
    w.ExtendedBorders(extended);
    if (extended != (w.provider->BorderForm() != nullptr)) {
        state.SkipWithError("the extended borders did not follow the manager");
        return;
    }
    const win::HWND h = w.form->Handle();
    int step = 0;
    for (auto _ : state) {
        const int x = 100 + (++step & 1) * 8;
        win::SetWindowPos(h, nullptr, x, 100, 0, 0,
                          win::SWP_NOZORDER | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
        Window::Pump();
        win::ComposeScreen();
    }
    state.counters["placements/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
void BM_LiveMoveExtended(benchmark::State& state) {
    LiveMove(state, true);
}
void BM_LiveMovePlain(benchmark::State& state) {
    LiveMove(state, false);
}
BENCHMARK(BM_LiveMoveExtended)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveMovePlain)->Unit(benchmark::kMillisecond);

// The button's halo made, shown and freed.
void BM_GlowShowHide(benchmark::State& state) {
    Window& w = TheWindow();
    win::RECT r{};
    win::GetWindowRect(w.button->Handle(), &r);
    const vcl::TRect rect{r.left, r.top, r.right, r.bottom};
    const int margin = 6;
    for (auto _ : state) {
        const int id = skin::ShowGlow(rect, rect, "BUTTON", skin::DefaultManager, w.form->Handle(),
                                      255, margin, "GLOW");
        if (id < 0) {
            state.SkipWithError("the skin has no button halo");
            return;
        }
        skin::HideGlow(id);
        Window::Pump();  // the glow window is freed from the message loop
    }
}
BENCHMARK(BM_GlowShowHide)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(argc, argv,
                                {{"BM_LiveMoveExtended", "BM_LiveMovePlain",
                                  "live move 1280x800, extended / plain borders", 0}});
}
