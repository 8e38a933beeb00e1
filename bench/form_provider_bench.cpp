// The main window's skinned frame beside its classic one, at 1280 x 800 and 1920 x 1080 on the
// headless screen: the frame cache rebuilt; a WM_NCPAINT from a fresh cache (four strips
// copied) beside the classic non-client paint; a live-resize step (size, frame, erase, screen
// composition) and an activation change, each skinned beside classic. The classic window is
// the same form with its skin manager switched off, which gives the form its own frame back.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
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
#include "skin/core/data/internal_skin.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/skin_provider.h"

namespace {

struct Size {
    int w, h;
};
constexpr Size kSizes[] = {{1280, 800}, {1920, 1080}};

// The main window with the internal skin, made once for all the benchmarks.
struct Window {
    Window() {
        setenv("XDG_CONFIG_HOME", (folder.path() + "config").c_str(), 1);
        win::ResetWindowing();
        win::RegisterStandardControls();
        screen.Resize(2000, 1200);
        lists::UseDatabaseFolder(folder.path());
        vcl::Application()->CreateForm(form);
        // The window's own provider when it has one, else one made here like the stored form's.
        provider = reinterpret_cast<skin::TsSkinProvider*>(win::SendMessageA(
            form->Handle(), skin::SM_ALPHACMD, skin::SkinCommandWParam(skin::SKC_GETPROVIDER), 0));
        if (!skin::DefaultManager) {
            manager.reset(new skin::TsSkinManager(nullptr));
            skin::AddInternalSkin(*manager->InternalSkins());
            manager->SetSkinName(skin::InternalSkinName());
        }
        if (!provider) provider = vcl::New<skin::TsSkinProvider>(form);
        form->Show();
        Pump();
    }
    ~Window() {
        vcl::DoneApplication();
        manager.reset();
        win::ResetWindowing();
    }

    static void Pump() { vcl::Application()->ProcessMessages(); }
    void Skinned(bool on) {
        if (skin::DefaultManager->Active() != on) skin::DefaultManager->SetActive(on);
        Pump();
    }
    void Place(Size s) {
        win::SetWindowPos(form->Handle(), nullptr, 0, 0, s.w, s.h,
                          win::SWP_NOZORDER | win::SWP_NOACTIVATE);
        Pump();
        win::RedrawWindow(form->Handle(), nullptr, nullptr,
                          win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_ERASE |
                              win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
        win::ComposeScreen();
    }

    bench::Folder folder;
    display::HeadlessPresenter screen;
    std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter> manager;
    lists::TformMain* form = nullptr;
    skin::TsSkinProvider* provider = nullptr;
};

Window& TheWindow() {
    static Window w;
    return w;
}

void BM_FrameCacheRebuilt(benchmark::State& state) {
    Window& w = TheWindow();
    w.Skinned(true);
    w.Place(kSizes[state.range(0)]);
    for (auto _ : state) {
        w.provider->SkinData()->CacheStale = true;
        w.provider->PaintFrame();
    }
}
BENCHMARK(BM_FrameCacheRebuilt)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void NcPaint(benchmark::State& state, bool skinned) {
    Window& w = TheWindow();
    w.Skinned(skinned);
    w.Place(kSizes[state.range(0)]);
    const win::HWND h = w.form->Handle();
    for (auto _ : state)
        win::SendMessageA(h, win::WM_NCPAINT, 1, 0);
    if (skinned && w.provider->SkinData()->CacheStale) state.SkipWithError("the cache went stale");
}
void BM_NcPaintSkinned(benchmark::State& state) {
    NcPaint(state, true);
}
void BM_NcPaintClassic(benchmark::State& state) {
    NcPaint(state, false);
}
BENCHMARK(BM_NcPaintSkinned)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NcPaintClassic)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One step of a live resize: the window 8 pixels narrower or wider, repainted and composed.
void ResizeStep(benchmark::State& state, bool skinned) {
    Window& w = TheWindow();
    w.Skinned(skinned);
    const Size s = kSizes[state.range(0)];
    w.Place(s);
    int step = 0;
    for (auto _ : state)
        w.Place({s.w - (++step & 1) * 8, s.h});
}
void BM_ResizeStepSkinned(benchmark::State& state) {
    ResizeStep(state, true);
}
void BM_ResizeStepClassic(benchmark::State& state) {
    ResizeStep(state, false);
}
BENCHMARK(BM_ResizeStepSkinned)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeStepClassic)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The window loses or gains activation; its frame is repainted and the screen composed.
void Activation(benchmark::State& state, bool skinned) {
    Window& w = TheWindow();
    w.Skinned(skinned);
    w.Place(kSizes[state.range(0)]);
    const win::HWND h = w.form->Handle();
    bool active = true;
    for (auto _ : state) {
        active = !active;
        win::SendMessageA(h, win::WM_NCACTIVATE, active ? 1 : 0, 0);
        Window::Pump();
        win::ComposeScreen();
    }
}
void BM_ActivationSkinned(benchmark::State& state) {
    Activation(state, true);
}
void BM_ActivationClassic(benchmark::State& state) {
    Activation(state, false);
}
BENCHMARK(BM_ActivationSkinned)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ActivationClassic)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    std::vector<bench::RatioPair> pairs;
    const char* sizes[] = {"1280x800", "1920x1080"};
    for (int i = 0; i < 2; ++i) {
        const std::string a = "/" + std::to_string(i), at = std::string(" ") + sizes[i];
        pairs.push_back({"BM_NcPaintSkinned" + a, "BM_NcPaintClassic" + a, "WM_NCPAINT" + at, 1.0});
        pairs.push_back(
            {"BM_ResizeStepSkinned" + a, "BM_ResizeStepClassic" + a, "live-resize step" + at, 0});
        pairs.push_back(
            {"BM_ActivationSkinned" + a, "BM_ActivationClassic" + a, "activation change" + at, 0});
    }
    return bench::RunWithRatios(argc, argv, std::move(pairs));
}
