// A 1280 x 800 form of four sets of the skinned controls (edits, memo, check boxes, bit and
// speed buttons, drag bar, panel, group boxes, bevels, gauges, labels) and a status bar,
// painted frame after frame under the internal skin: with every cache image rebuilt, with the
// caches fresh, and with the skin manager inactive so that each control paints as its
// class-library base. One bit button's hot change (look rebuilt and repainted) is timed
// alone. The table at the end gives the ratios to the inactive form.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/ratio_report.h"
#include "bench/skinned_stage.h"
#include "platform/user/user.h"
#include "skin/controls/window_services.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/controls/controls_set.h"

namespace {

constexpr int kWidth = 1280, kHeight = 800;
// Where the four sets stand.
constexpr vcl::TPoint kSets[] = {{0, 0}, {640, 0}, {0, 380}, {640, 380}};

// The form under its own skin manager, shown.
class SkinnedForm : public bench::SkinnedStage {
public:
    explicit SkinnedForm(bool active) : SkinnedStage(kWidth, kHeight) {
        vcl::TImageList* glyphs = skin_test::ControlsGlyphs(form);
        for (vcl::TPoint o : kSets)
            sets.push_back(skin_test::AddControlsSet(form, o, glyphs));
        skin_test::AddStatusBar(form);
        form->Show();
        for (const skin_test::ControlsSet& s : sets)
            s.bitBtns[1]->Perform(vcl::CM_MOUSEENTER);
        sets[0].edits[1]->SetFocus();
        if (!active) manager->SetActive(false);
        vcl::Application()->ProcessMessages();
    }

    // The whole form painted again and the screen composed.
    void Frame() {
        win::RedrawWindow(
            form->Handle(), nullptr, nullptr,
            win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
        benchmark::DoNotOptimize(win::ComposeScreen());
    }
    void MarkAllStale() {
        for (const skin_test::ControlsSet& s : sets)
            for (skin::TsCommonData* d : s.Data)
                d->CacheStale = true;
    }

    std::vector<skin_test::ControlsSet> sets;
};

void Frames(benchmark::State& state, bool active, bool rebuild) {
    SkinnedForm f(active);
    // The buttons' cache images built while the frames run.
    int64_t builds = 0;
    for (const skin_test::ControlsSet& s : f.sets) {
        const auto count =
            skin::TBmpPaintEvent::FromCallable([&](vcl::TObject*, vcl::TBitmap*) { ++builds; });
        for (skin::TsBitBtn* b : s.bitBtns)
            b->OnPaint = count;
        for (skin::TsSpeedButton* b : s.speedBtns)
            b->OnPaint = count;
    }
    for (auto _ : state) {
        if (rebuild) f.MarkAllStale();
        f.Frame();
    }
    state.counters["frames/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    size_t controls = 0;
    for (const skin_test::ControlsSet& s : f.sets)
        controls += s.Controls.size();
    state.counters["controls"] = double(controls);
    state.counters["button builds/frame"] = double(builds) / double(state.iterations());
}

void BM_FormEveryCacheRebuilt(benchmark::State& state) {
    Frames(state, true, true);
}
void BM_FormFreshCaches(benchmark::State& state) {
    Frames(state, true, false);
}
void BM_FormManagerInactive(benchmark::State& state) {
    Frames(state, false, false);
}
BENCHMARK(BM_FormEveryCacheRebuilt)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FormFreshCaches)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FormManagerInactive)->Unit(benchmark::kMillisecond)->UseRealTime();

// The mouse comes onto a normal bit button, or leaves it: its look rebuilt and painted.
void BM_BitBtnHotChange(benchmark::State& state) {
    SkinnedForm f(true);
    skin::TsBitBtn* b = f.sets[0].bitBtns[0];
    bool hot = false;
    for (auto _ : state) {
        hot = !hot;
        b->Perform(hot ? vcl::CM_MOUSEENTER : vcl::CM_MOUSELEAVE);
        win::UpdateWindow(b->Handle());
    }
    if (b->CurrentState() != (hot ? 1 : 0)) state.SkipWithError("the button did not follow");
}
BENCHMARK(BM_BitBtnHotChange)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"BM_FormEveryCacheRebuilt/real_time", "BM_FormManagerInactive/real_time",
          "1280 x 800 form, every cache rebuilt / inactive", 0},
         {"BM_FormFreshCaches/real_time", "BM_FormManagerInactive/real_time",
          "1280 x 800 form, fresh caches / inactive", 1.2}});
}
