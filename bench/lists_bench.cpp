// The main window with a list of 100 000 numbers of five values each, on the headless screen
// over a database folder of its own: importing the file into the grid, saving the list,
// loading it back, ListChanged, and a paint of the grid and a move down while it holds the
// list (the grid's responsiveness).
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_folder.h"
#include "lists/form_main.h"
#include "lists/list_file.h"
#include "platform/controls/standard_controls.h"
#include "platform/display/headless_presenter.h"
#include "platform/os/files.h"
#include "platform/user/user.h"

namespace {

constexpr int kRows = 100000;
constexpr int kValues = 5;

// The window and its database, made once for all the benchmarks.
struct Window {
    Window() {
        setenv("XDG_CONFIG_HOME", (folder.path() + "config").c_str(), 1);
        win::ResetWindowing();
        win::RegisterStandardControls();
        screen.Resize(1024, 768);
        lists::UseDatabaseFolder(folder.path());
        vcl::Application()->CreateForm(form);
        form->Show();
        vcl::Application()->ProcessMessages();
        std::vector<lists::TListRow> rows;
        for (int r = 0; r < kRows; ++r) {
            lists::TListRow& row = rows.emplace_back();
            row.push_back("7916" + std::to_string(1000000 + r));
            for (int v = 0; v < kValues; ++v)
                row.push_back("value " + std::to_string(v) + " of " + std::to_string(r));
        }
        csv = folder.path() + "list.csv";
        os::WriteFileAtomically(csv, lists::FormatListFile(rows));
        form->memoTextSMS->SetText(
            "Hello, [\xB9"
            "1]!");
    }
    ~Window() {
        vcl::DoneApplication();
        win::ResetWindowing();
    }

    bench::Folder folder;
    display::HeadlessPresenter screen;
    lists::TformMain* form = nullptr;
    std::string csv;
};

Window& TheWindow() {
    static Window w;
    return w;
}

void Import(Window& w) {
    if (!w.form->ImportFromFile(w.csv)) throw std::runtime_error("import failed");
}

void BM_ImportList(benchmark::State& state) {
    Window& w = TheWindow();
    for (auto _ : state) {
        Import(w);
        vcl::Application()->ProcessMessages();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ImportList)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SaveList(benchmark::State& state) {
    Window& w = TheWindow();
    Import(w);
    for (auto _ : state)
        w.form->Storage().SaveList("big");
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SaveList)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_LoadList(benchmark::State& state) {
    Window& w = TheWindow();
    Import(w);
    lists::TListStorage& storage = w.form->Storage();
    storage.SaveList("big");
    const int id = storage.FindList("big")->ID;
    for (auto _ : state) {
        storage.LoadListToGrid(id);
        vcl::Application()->ProcessMessages();
    }
    if (w.form->grid->RowCount() != kRows + 1) state.SkipWithError("not loaded whole");
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_LoadList)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ListChanged(benchmark::State& state) {
    Window& w = TheWindow();
    Import(w);
    lists::TListStorage& storage = w.form->Storage();
    storage.SaveList("big");
    for (auto _ : state)
        if (storage.ListChanged("big")) state.SkipWithError("a saved list reads as changed");
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ListChanged)->Iterations(3)->Unit(benchmark::kMillisecond);

// One frame of the grid holding the list: the whole grid painted, then one row down.
void BM_GridFrameHoldingTheList(benchmark::State& state) {
    Window& w = TheWindow();
    Import(w);
    vcl::TStringGrid* grid = w.form->grid;
    grid->SetFocus();
    for (auto _ : state) {
        grid->Invalidate();
        grid->Update();
        uint16_t key = win::VK_DOWN;
        grid->DoKeyDown(key, {});
        grid->Update();
    }
}
BENCHMARK(BM_GridFrameHoldingTheList)->Unit(benchmark::kMicrosecond);

}  // namespace
