// The journal window over a million journal rows: the time from a refresh with a filter to the
// first screen painted and composed, for filters that keep every row, a third of them, one
// mailing, the rows not delivered and those of them sent; and the rows the window holds once
// it has scrolled from the first screen to the last.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/bench_folder.h"
#include "lists/form_number_log.h"
#include "platform/controls/standard_controls.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"

namespace {

constexpr int kMillion = 1000000;
constexpr const char* kIMEI = "356938035643809";

// Three modems, a hundred runs of ten thousand messages, ten lists; every fifth row waits for
// its report, the others spread over the status classes.
bench::Folder& MillionRows() {
    static bench::Folder folder;
    static const bool filled = [] {
        auto db = sql::SharedDatabase(folder.path());
        db->ExecuteRaw(
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
            std::to_string(kMillion) +
            ") insert into NumberLog (NumID, Number, SendResultOK, SendTime, ReceiveTimeClient, "
            "StatusSC, TextSMS, Name, StartTime, IMEI, MR, ListID) select i, "
            "'7916' || (1000000 + i), i % 50 <> 0, datetime('2024-01-01', '+' || i || ' "
            "seconds'), case when i % 5 = 0 then null else datetime('2024-01-01', '+' || (i + "
            "20) || ' seconds') end, case when i % 5 = 0 then null else (i * 7) % 128 end, "
            "'Добрый день, клиент ' || i || '! Ваш заказ готов к выдаче.', 'Список ' || (i % "
            "10), strftime('%Y.%m.%d %H:%M:%S', '2024-01-01', '+' || (i / 10000) || ' hours'), "
            "'35693803564380' || (7 + i % 3), i % 256, i % 10 from n");
        return true;
    }();
    (void)filled;
    return folder;
}

struct JournalWindow {
    JournalWindow() {
        win::ResetWindowing();
        win::RegisterStandardControls();
        vcl::Application()->CreateForm(form);
        form->PointAt(MillionRows().path());
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
