// What the program itself spends per message of a mailing, with the modem's waits taken out: a
// virtual clock (a wait costs its loop turns, not its time) and a modem that answers at once,
// report included. The list has 100 000 numbers with five values each; the modem's own time per
// message (6 to 10 s) is what this must stay far below.
#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/bench_folder.h"
#include "db/data_sets.h"
#include "gateway/mailing_run.h"
#include "platform/os/clock.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "tools/vmodem/engine.h"
#include "tools/vmodem/fake_port.h"
#include "vcl/system/date_utils.h"

namespace {

// Virtual time with no other thread to wait for.
class VirtualClock : public os::FakeClock {
public:
    using FakeClock::FakeClock;
    void Sleep(uint32_t ms) override { Advance(ms); }
};

class NullView : public gateway::TMailingView {
public:
    void SetStage(const std::string&) override {}
    void SetAllNumbers(const std::string&) override {}
    void SetProcessed(const std::string&) override {}
    void SetSentOK(const std::string&) override {}
    void SetReport(const std::string&) override {}
    void SetCurrentNumber(const std::string&) override {}
    void SetMessageText(const std::string&) override {}
    void SetGauge(int, int) override {}
    void SetGaugeColor(uint32_t) override {}
    void ShowSignal(int, const std::string&) override {}
    void SetButtons(bool, bool, bool) override {}
    void SetSettingsReadOnly(bool) override {}
    void SetJournalEnabled(bool) override {}
    int MessageBox(const std::string&, const std::string&, unsigned) override {
        return gateway::kIdYes;  // continue the half-done list
    }
    void MessageBeep(unsigned) override {}
};

// One UCS2 message of about sixty characters once the five values are in.
const std::string kTemplate = "[№1] [№2], заказ [№3] на [№4] руб. готов. [№5]"_cp;

void SaveList(const std::string& folder, int numbers, int alreadyProcessed) {
    auto db = sql::SharedDatabase(folder);
    sql::Transaction t(*db);
    db->ExecuteRaw("insert into List (Name, TextSMS, Active) values ('bench', ?1, 0)",
                   {sql::Value(os::Cp1251ToUtf8(kTemplate))});
    const std::string values[] = {os::Cp1251ToUtf8("Анна"_cp), os::Cp1251ToUtf8("Петрова"_cp), "",
                                  "990", os::Cp1251ToUtf8("Спасибо!"_cp)};
    for (int i = 0; i < numbers; ++i) {
        db->ExecuteRaw("insert into NumberList (ListID, Number, Processed) values (1, ?1, ?2)",
                       {sql::Value("+7916" + std::to_string(1000000 + i)),
                        sql::Value(i < alreadyProcessed ? 1 : 0)});
        const int64_t id = db->LastInsertRowId();
        for (int v = 0; v < 5; ++v)
            db->ExecuteRaw("insert into UserValues (NumberID, Val) values (?1, ?2)",
                           {sql::Value(id), sql::Value(v == 2 ? std::to_string(i) : values[v])});
    }
    t.Commit();
}

// Mails the list's unprocessed numbers once; the time per message is the counter.
void MailList(benchmark::State& state, const std::string& parent) {
    const int numbers = static_cast<int>(state.range(0));
    const int mailed = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        bench::Folder folder(parent);
        SaveList(folder.path(), numbers, numbers - mailed);
        VirtualClock clock(vcl::EncodeDateTime(2025, 1, 17, 10, 0, 0, 0));
        os::ScopedClock use(clock);
        vmodem::Options options;
        options.replyDelayMs = 0;
        options.reportDelayMs = 0;
        vmodem::Engine modem(options);
        vmodem::FakePort port(modem);
        gateway::TSerialLink link(port);
        link.WriteLog = nullptr;
        db::TOwnDataSets data(folder.path());
        gateway::TSettings settings;  // a pause of 1 s, reports asked for
        NullView view;
        gateway::TMailingRun run(link, data.Refs(), settings, view);
        run.Reset("ttyUSB0", 1, "bench", kTemplate);
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        run.btnStartClick();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        state.PauseTiming();
        if (static_cast<int>(modem.accepted().size()) != mailed || run.Counters().Reports != mailed)
            state.SkipWithError("not every message went out and got its report");
        state.counters["ms_per_message"] = seconds * 1000 / mailed;
        state.counters["virtual_s_per_message"] = clock.Ticks() / 1000.0 / mailed;
        state.ResumeTiming();
    }
}

// The whole list, with the database in memory-backed /dev/shm: the program's work without the
// disk's flushes.
void BM_MailListInMemory(benchmark::State& state) {
    MailList(state, os::DirectoryExists("/dev/shm") ? "/dev/shm" : "");
}
BENCHMARK(BM_MailListInMemory)
    ->Args({100000, 100000})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The last 2 000 numbers of the list on the disk, every journal row flushed before it counts.
void BM_MailListOnDisk(benchmark::State& state) {
    MailList(state, "");
}
BENCHMARK(BM_MailListOnDisk)
    ->Args({100000, 2000})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
