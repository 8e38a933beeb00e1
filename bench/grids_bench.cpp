// The data grid over a million records: frames per second while scrolling by line, by page and
// by thumb, each frame painted and composed onto the screen; the grid's own memory beside the
// data set's at a thousand and a million records; and a string grid growing a row at a time.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <new>
#include <string>

#include "platform/sql/shared_database.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"
#include "vcl/controls/db_grids.h"
#include "vcl/data/db_query.h"

// Bytes held through operator new, so a benchmark can weigh what an object keeps.
namespace {
std::atomic<long long> gLiveBytes{0};
}  // namespace

void* operator new(std::size_t size) {
    void* p = malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    gLiveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}

void operator delete(void* p) noexcept {
    if (!p) return;
    gLiveBytes -= static_cast<long long>(malloc_usable_size(p));
    free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

// A journal-like table of `rows` records in a folder of its own, read by one query.
class Journal {
public:
    explicit Journal(int rows) {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "tessary-grids-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        folder_ = tmpl + "/";
        auto db = sql::SharedDatabase(folder_);
        db->ExecuteRaw(
            "create table NumberLog (ID integer primary key, Number varchar(20), "
            "SendTime datetime, StatusSC integer)");
        db->ExecuteRaw("with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                       std::to_string(rows) +
                       ") insert into NumberLog select i, '7916' || (1000000 + i), "
                       "datetime('2024-01-01', '+' || i || ' seconds'), i % 128 from n");
        query.SetDatabaseName(folder_);
        query.SQL.Add("select ID, Number, SendTime, StatusSC from NumberLog order by ID");
    }
    ~Journal() {
        query.Close();
        sql::CloseSharedDatabases();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    vcl::TQuery query;

private:
    std::string folder_;
};

// A shown form; with a data grid on a data source once Add is called.
struct GridForm {
    GridForm() {
        vcl::Application()->CreateForm(form);
        form->SetBounds(0, 0, 640, 480);
        form->Show();
    }
    ~GridForm() { form->Free(); }
    void Add(vcl::TDataSet* data) {
        source = vcl::New<vcl::TDataSource>(form);
        grid = vcl::New<vcl::TDBGrid>(form);
        grid->SetParent(form);
        grid->SetAlign(vcl::alClient);
        grid->SetDataSource(source);
        source->SetDataSet(data);
        Frame();
    }
    void Frame() {
        win::RedrawWindow(form->Handle(), nullptr, nullptr,
                          win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
        benchmark::DoNotOptimize(win::ComposeScreen());
    }

    vcl::TForm* form = nullptr;
    vcl::TDataSource* source = nullptr;
    vcl::TDBGrid* grid = nullptr;
};

constexpr int kMillion = 1000000;

Journal& MillionRows() {
    static Journal journal(kMillion);
    return journal;
}

enum ScrollBy { kLine, kPage, kThumb };

// Each frame scrolls once through the vertical bar's messages, then paints and composes.
void BM_ScrollDataGrid(benchmark::State& state) {
    const auto by = static_cast<ScrollBy>(state.range(0));
    Journal& journal = MillionRows();
    journal.query.Open();
    GridForm f;
    f.Add(&journal.query);
    win::HWND h = f.grid->Handle();
    int step = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (by == kThumb) {
            win::SCROLLINFO si;
            si.fMask = win::SIF_POS;
            si.nPos = 1 + static_cast<int>((static_cast<long long>(++step) * 7919) % kMillion);
            win::SetScrollInfo(h, win::SB_VERT, &si, win::FALSE);
            win::SendMessageA(h, win::WM_VSCROLL, win::MAKEWPARAM(win::SB_THUMBTRACK, 65535), 0);
        } else {
            if (journal.query.RecNo() == kMillion) journal.query.First();
            win::SendMessageA(h, win::WM_VSCROLL, by == kLine ? win::SB_LINEDOWN : win::SB_PAGEDOWN,
                              0);
        }
        f.Frame();
    }
    // The rate counts the CPU time this thread spent; on a busy machine the wall clock's rate
    // is lower by what other programs took.
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["fps_wall"] = static_cast<double>(state.iterations()) / wall.count();
    f.source->SetDataSet(nullptr);
    journal.query.Close();
}
BENCHMARK(BM_ScrollDataGrid)
    ->ArgName("by")
    ->Arg(kLine)
    ->Arg(kPage)
    ->Arg(kThumb)
    ->Unit(benchmark::kMillisecond);

// What the data set holds once open, and what the grid holds once shown on it and scrolled
// through: the grid's part stays the same whatever the number of records.
void BM_DataGridMemory(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    {
        // Fonts, glyphs and window classes are made once; they are nobody's in particular.
        Journal warm(10);
        warm.query.Open();
        GridForm f;
        f.Add(&warm.query);
    }
    long long dataSet = 0, grid = 0;
    for (auto _ : state) {
        Journal journal(rows);
        long long before = gLiveBytes;
        journal.query.Open();
        dataSet = gLiveBytes - before;
        {
            GridForm f;
            f.Frame();
            before = gLiveBytes;
            f.Add(&journal.query);
            win::HWND h = f.grid->Handle();
            for (int i = 0; i < 50; ++i) {
                win::SendMessageA(h, win::WM_VSCROLL, win::SB_PAGEDOWN, 0);
                f.Frame();
            }
            grid = gLiveBytes - before;
            f.source->SetDataSet(nullptr);
        }
    }
    state.counters["dataset_bytes"] = static_cast<double>(dataSet);
    state.counters["grid_bytes"] = static_cast<double>(grid);
}
BENCHMARK(BM_DataGridMemory)
    ->Arg(1000)
    ->Arg(kMillion)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// RowCount grown by one, n times, on a shown string grid: linear in n.
void BM_GrowStringGrid(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    vcl::TForm* form = nullptr;
    vcl::Application()->CreateForm(form);
    form->SetBounds(0, 0, 400, 300);
    form->Show();
    for (auto _ : state) {
        auto* grid = vcl::New<vcl::TStringGrid>(form);
        grid->SetParent(form);
        grid->SetBounds(0, 0, 300, 200);
        for (int i = 0; i < n; ++i)
            grid->SetRowCount(grid->RowCount() + 1);
        grid->Free();
    }
    state.SetComplexityN(n);
    form->Free();
}
BENCHMARK(BM_GrowStringGrid)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
