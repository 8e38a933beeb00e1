// The journal window over a million journal rows: the time from a refresh with a filter to the
// first screen painted and composed, for filters that keep every row, a third of them, one
// mailing, the rows not delivered and those of them sent; and the rows the window holds once
// it has scrolled from the first screen to the last.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/journal_rows.h"
#include "lists/form_number_log.h"
#include "platform/controls/standard_controls.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"

namespace {

constexpr const char* kIMEI = "356938035643809";

struct JournalWindow {
    JournalWindow() {
        win::ResetWindowing();
        win::RegisterStandardControls();
        vcl::Application()->CreateForm(form);
        form->PointAt(bench::MillionJournalRows().path());
        form->Show();
    }
    ~JournalWindow() {
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    void Frame() {
        win::RedrawWindow(form->Handle(), nullptr, nullptr,
                          win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
        benchmark::DoNotOptimize(win::ComposeScreen());
    }

    lists::TformNumberLog* form = nullptr;
};

enum Filter { kAll, kOneModem, kOneMailing, kNotDelivered, kNotDeliveredButSent };

void SetFilter(lists::TNumberLogFilter& f, Filter which) {
    f.Reset();
    switch (which) {
        case kAll:
            break;
        case kOneModem:
            f.IMEIs = kIMEI;
            break;
        case kOneMailing:
            f.IMEIs = kIMEI;
            f.StartTimes = "\"2024.01.03 05:00:00\"";
            break;
        case kNotDelivered:
            f.StatusMask = lists::smNotDelivered;
            break;
        case kNotDeliveredButSent:
            f.StatusMask = lists::smNotDelivered;
            f.SendResult = lists::srSuccess;
            break;
    }
}

void BM_FirstScreenAfterFilter(benchmark::State& state) {
    JournalWindow w;
    SetFilter(w.form->Filter, static_cast<Filter>(state.range(0)));
    for (auto _ : state) {
        w.form->RefreshLog();
        w.Frame();
    }
    state.counters["rows"] = w.form->Query.RecordCount();
}
BENCHMARK(BM_FirstScreenAfterFilter)
    ->ArgName("filter")
    ->Arg(kAll)
    ->Arg(kOneModem)
    ->Arg(kOneMailing)
    ->Arg(kNotDelivered)
    ->Arg(kNotDeliveredButSent)
    ->Unit(benchmark::kMillisecond);

// A page down per frame, from the first screen on.
void BM_ScrollJournal(benchmark::State& state) {
    JournalWindow w;
    w.form->RefreshLog();
    w.Frame();
    win::HWND grid = w.form->Grid->Handle();
    for (auto _ : state) {
        if (w.form->Query.RecNo() == w.form->Query.RecordCount()) w.form->Query.First();
        win::SendMessageA(grid, win::WM_VSCROLL, win::SB_PAGEDOWN, 0);
        w.Frame();
    }
}
BENCHMARK(BM_ScrollJournal)->Unit(benchmark::kMillisecond);

}  // namespace
