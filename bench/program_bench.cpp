// The whole program on the headless screen, skinned by its own skin manager beside the same
// program with that manager made inactive (the classic look), each pair in one run:
//  - start-up: the program's forms made as the entry point makes them, the main window shown,
//    painted and composed;
//  - a full repaint of the main window at 1280 x 800 with 1 000 numbers, every cache rebuilt;
//  - resizing the main window, 50 steps, each painted and composed;
//  - the number grid of a 100 000-number list scrolled a page at a time, and the journal window
//    over a million rows the same way;
//  - the resident size after start, and the time of that start, each look measured in a
//    process of its own (the start-up pair above repeats starts in one process).
// The classic side makes the manager inactive right after the main form is made, so its
// start-up still loads the skin once: the start-up ratio understates what the skin costs.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "bench/bench_folder.h"
#include "bench/journal_rows.h"
#include "bench/ratio_report.h"
#include "gateway/form_gsm.h"
#include "gateway/form_start.h"
#include "lists/form_about.h"
#include "lists/form_filter.h"
#include "lists/form_list.h"
#include "lists/form_load_save.h"
#include "lists/form_main.h"
#include "lists/form_number_log.h"
#include "lists/settings.h"
#include "platform/controls/standard_controls.h"
#include "platform/display/headless_presenter.h"
#include "platform/os/cp_literal.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"
#include "skin/controls/window_services.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/windows_startup.h"
#include "vcl/controls/grids.h"

namespace {

bench::Folder& Folder() {
    static bench::Folder folder;
    return folder;
}

// The program's forms, made in the entry point's order; the main form shown at 1280 x 800.
class Program {
public:
    explicit Program(bool skinned) {
        win::ResetWindowing();
        win::RegisterStandardControls();
        lists::UseDatabaseFolder(Folder().path());
        vcl::TApplication* app = vcl::Application();
        app->CreateForm(main);
        if (!skinned) main->sSkinManager1->SetActive(false);
        lists::TformLoadSave* loadSave = nullptr;
        gateway::TformGSM* gsm = nullptr;
        gateway::TformStart* start = nullptr;
        lists::TformList* list = nullptr;
        lists::TformAbout* about = nullptr;
        lists::TformFilter* filter = nullptr;
        lists::TformNumberLog* log = nullptr;
        app->CreateForm(loadSave);
        app->CreateForm(gsm);
        app->CreateForm(start);
        app->CreateForm(list);
        app->CreateForm(about);
        app->CreateForm(filter);
        app->CreateForm(log);
        main->SetBounds(0, 0, 1280, 800);
        main->Show();
        Paint();
    }
    ~Program() {
        vcl::DoneApplication();
        win::ResetWindowing();
    }

    void Paint() {
        vcl::Application()->ProcessMessages();
        win::RedrawWindow(main->Handle(), nullptr, nullptr,
                          win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
        benchmark::DoNotOptimize(win::ComposeScreen());
    }
    void Numbers(int count) {
        vcl::TStringGrid& g = *main->grid;
        g.SetRowCount(count + 1);
        for (int r = 1; r <= count; ++r) {
            g.SetCells(0, r, "7916" + std::to_string(1000000 + r));
            g.SetCells(1, r, "Клиент "_cp + std::to_string(r));
        }
        Paint();
    }

    lists::TformMain* main = nullptr;
};

struct Screen {
    Screen() { screen.Resize(1600, 1000); }
    display::HeadlessPresenter screen;
};

void Start(benchmark::State& state, bool skinned) {
    Screen screen;
    for (auto _ : state) {
        auto p = std::make_unique<Program>(skinned);
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
}
void BM_StartSkinned(benchmark::State& state) { Start(state, true); }
void BM_StartClassic(benchmark::State& state) { Start(state, false); }
BENCHMARK(BM_StartSkinned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartClassic)->Unit(benchmark::kMillisecond);

// Every window of the main form invalidated with its frame; the skinned side has every cache
// of the main form rebuilt first (the skin's refresh command, as a skin change sends it).
void FullRepaint(benchmark::State& state, bool skinned) {
    Screen screen;
    Program p(skinned);
    p.Numbers(1000);
    for (auto _ : state) {
        if (skinned)
            skin::SendSkinCommandToControl(p.main, skin::SKC_REFRESH,
                                           reinterpret_cast<intptr_t>(p.main->sSkinManager1));
        win::RedrawWindow(p.main->Handle(), nullptr, nullptr,
                          win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_ERASE |
                              win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
        benchmark::DoNotOptimize(win::ComposeScreen());
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
void BM_FullRepaintSkinned(benchmark::State& state) { FullRepaint(state, true); }
void BM_FullRepaintClassic(benchmark::State& state) { FullRepaint(state, false); }
BENCHMARK(BM_FullRepaintSkinned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaintClassic)->Unit(benchmark::kMillisecond);

// Fifty steps of 8 pixels, out and back, each one placed, painted and composed.
void Resize(benchmark::State& state, bool skinned) {
    Screen screen;
    Program p(skinned);
    p.Numbers(1000);
    for (auto _ : state)
        for (int step = 0; step < 50; ++step) {
            const int d = (step < 25 ? step : 50 - step) * 8;
            win::SetWindowPos(p.main->Handle(), nullptr, 0, 0, 1280 - d, 800 - d,
                              win::SWP_NOZORDER | win::SWP_NOACTIVATE);
            p.Paint();
        }
    state.counters["steps/s"] = benchmark::Counter(50.0 * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
void BM_ResizeSkinned(benchmark::State& state) { Resize(state, true); }
void BM_ResizeClassic(benchmark::State& state) { Resize(state, false); }
BENCHMARK(BM_ResizeSkinned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeClassic)->Unit(benchmark::kMillisecond);

// A page down per frame through a 100 000-number list, from the top again at the end.
void GridScroll(benchmark::State& state, bool skinned) {
    Screen screen;
    Program p(skinned);
    p.Numbers(100000);
    vcl::TStringGrid& g = *p.main->grid;
    for (auto _ : state) {
        if (g.TopRow() + g.VisibleRowCount() >= g.RowCount()) g.SetTopRow(1);
        win::SendMessageA(g.Handle(), win::WM_VSCROLL, win::SB_PAGEDOWN, 0);
        p.Paint();
    }
}
void BM_GridPageSkinned(benchmark::State& state) { GridScroll(state, true); }
void BM_GridPageClassic(benchmark::State& state) { GridScroll(state, false); }
BENCHMARK(BM_GridPageSkinned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridPageClassic)->Unit(benchmark::kMillisecond);

// The journal window of the program over a million rows, a page down per frame, from the first
// screen on and from the top again at the end.
void JournalScroll(benchmark::State& state, bool skinned) {
    Screen screen;
    Program p(skinned);
    lists::TformNumberLog* log = nullptr;
    for (int i = 0; i < vcl::Screen()->FormCount() && !log; ++i)
        log = dynamic_cast<lists::TformNumberLog*>(vcl::Screen()->Forms(i));
    if (!log) {
        state.SkipWithError("the program made no journal window");
        return;
    }
    log->PointAt(bench::MillionJournalRows().path());
    log->Show();
    log->RefreshLog();
    const auto frame = [log] {
        vcl::Application()->ProcessMessages();
        win::RedrawWindow(log->Handle(), nullptr, nullptr,
                          win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
        benchmark::DoNotOptimize(win::ComposeScreen());
    };
    frame();
    const win::HWND grid = log->Grid->Handle();
    for (auto _ : state) {
        if (log->Query.RecNo() == log->Query.RecordCount()) log->Query.First();
        win::SendMessageA(grid, win::WM_VSCROLL, win::SB_PAGEDOWN, 0);
        frame();
    }
}
void BM_JournalPageSkinned(benchmark::State& state) { JournalScroll(state, true); }
void BM_JournalPageClassic(benchmark::State& state) { JournalScroll(state, false); }
BENCHMARK(BM_JournalPageSkinned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalPageClassic)->Unit(benchmark::kMillisecond);

// The resident size of a process that has started the program in one look, in MB, and the
// processor time of that first start in a fresh process (nothing reused from an earlier one).
struct FirstStart {
    double mb = -1;
    double ms = -1;
};
FirstStart StartInFreshProcess(bool skinned) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        FirstStart got;
        {
            Screen screen;
            timespec t0{}, t1{};
            clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t0);
            Program p(skinned);
            clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t1);
            got.ms = double(t1.tv_sec - t0.tv_sec) * 1e3 + double(t1.tv_nsec - t0.tv_nsec) / 1e6;
            long pages = 0, resident = 0;
            if (FILE* f = std::fopen("/proc/self/statm", "r")) {
                if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = -1;
                std::fclose(f);
            }
            got.mb = static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
                     (1024.0 * 1024.0);
        }
        if (write(fds[1], &got, sizeof got) != sizeof got) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    FirstStart got;
    if (child < 0 || read(fds[0], &got, sizeof got) != sizeof got) got = {};
    close(fds[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return got;
}
void BM_ResidentAfterStart(benchmark::State& state) {
    FirstStart skinned, classic;
    for (auto _ : state) {
        skinned = StartInFreshProcess(true);
        classic = StartInFreshProcess(false);
    }
    state.counters["skinned MB"] = skinned.mb;
    state.counters["classic MB"] = classic.mb;
    state.counters["skin adds MB"] = skinned.mb - classic.mb;
    state.counters["skinned 1st ms"] = skinned.ms;
    state.counters["classic 1st ms"] = classic.ms;
}
BENCHMARK(BM_ResidentAfterStart)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    skin::InitSkinLibrary();
    skin::InitSkinControls();
    skin::InitSkinWindows();
    std::vector<bench::RatioPair> pairs = {
        {"BM_StartSkinned", "BM_StartClassic", "start-up to the main window painted", 1.3},
        {"BM_FullRepaintSkinned", "BM_FullRepaintClassic", "full repaint, 1 000 numbers", 1.5},
        {"BM_ResizeSkinned", "BM_ResizeClassic", "resize, 50 steps", 0},
        {"BM_GridPageSkinned", "BM_GridPageClassic", "number grid, a page down", 0},
        {"BM_JournalPageSkinned", "BM_JournalPageClassic", "journal, a page down", 0},
    };
    const int result = bench::RunWithRatios(argc, argv, std::move(pairs));
    skin::FinalizeSkinLibrary();
    return result;
}
