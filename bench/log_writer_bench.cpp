// Throughput of the log writer: records through the queue to the file (bounded by the writer's
// 1 ms pause between records), and the cost of one record's formatting and append alone.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "gateway/log_thread.h"
#include "platform/os/clock.h"

namespace {

std::string BenchDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tessary-bench-XXXXXX").string();
    return std::string(mkdtemp(tmpl.data())) + "/";
}

void BM_QueueToFile(benchmark::State& state) {
    const std::string dir = BenchDir();
    gateway::StartLogThread(dir);
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i)
            gateway::AddLog("AT+CMGS=25 sent to the modem");
        gateway::FlushLog(60000);
    }
    gateway::StopLogThread();
    state.SetItemsProcessed(state.iterations() * 100);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_QueueToFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_WriteRecord(benchmark::State& state) {
    const std::string dir = BenchDir();
    gateway::TLogThread writer(dir);
    writer.ChooseLogDir();
    gateway::TLogRecord r;
    r.Time = os::Now();
    r.Category = gateway::GATE;
    r.Text =
        "\r\n+CDS: 25\r\n07919761989901F006110B919761214365F7521071013202215210710142022100\r\n";
    for (auto _ : state)
        writer.WriteRecord(r);
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WriteRecord);

void BM_QueueCostOnTheCaller(benchmark::State& state) {
    const std::string dir = BenchDir();
    gateway::TLogThread writer(dir);  // not started: measures only the caller's side
    for (auto _ : state) {
        auto rec = std::make_unique<gateway::TLogRecord>();
        rec->Time = os::Now();
        rec->Text = "OK\r\n";
        writer.Add(std::move(rec));
    }
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_QueueCostOnTheCaller);

}  // namespace
