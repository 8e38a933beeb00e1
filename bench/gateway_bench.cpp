// PDU building and status-report decoding, per message: both run once per message of a mailing
// and must stay far below a millisecond.
#include <benchmark/benchmark.h>

#include "gateway/fuzz/modem_lines_feed.h"
#include "gateway/pdu_builder.h"
#include "gateway/serial_link.h"
#include "gateway/status_report.h"
#include "platform/os/cp_literal.h"

namespace {

const std::string kNumber = "79161234567";

void BM_SubmitPdu7Bit(benchmark::State& state) {
    const std::string text(160, 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(gateway::MakeSubmitPDU(kNumber, text, true, true));
}
BENCHMARK(BM_SubmitPdu7Bit);

void BM_SubmitPduUcs2(benchmark::State& state) {
    std::string text;
    while (text.size() < 70)
        text += "Привет, "_cp;
    text.resize(70);
    for (auto _ : state)
        benchmark::DoNotOptimize(gateway::MakeSubmitPDU(kNumber, text, false, true));
}
BENCHMARK(BM_SubmitPduUcs2);

// A long text as the mailing sends it: coding choice, split, one PDU per part.
void BM_ConcatenatedMessage(benchmark::State& state) {
    std::string text;
    while (text.size() < 600)
        text += "Ваш заказ готов к выдаче. "_cp;
    for (auto _ : state) {
        const bool is7 = gateway::IsGsm7Text(text);
        const auto parts = gateway::SplitMessage(text, is7);
        for (std::size_t j = 0; j < parts.size(); ++j)
            benchmark::DoNotOptimize(
                gateway::MakeConcatPartPDU(kNumber, parts[j], static_cast<int>(j), is7, 77,
                                           static_cast<int>(parts.size()), true));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConcatenatedMessage);

void BM_DecodeStatusReport(benchmark::State& state) {
    const std::string pdu = "07919761989901F006110B919761214365F7521071013202215210710142022100";
    for (auto _ : state)
        benchmark::DoNotOptimize(gateway::DecodeStatusReport(pdu));
}
BENCHMARK(BM_DecodeStatusReport);

void BM_RejectGarbledReport(benchmark::State& state) {
    const std::string pdu = "07919761989901F006110B919761214365F75210710132022152107101420221";
    for (auto _ : state)
        benchmark::DoNotOptimize(gateway::DecodeStatusReport(pdu));
}
BENCHMARK(BM_RejectGarbledReport);

// A noisy modem's burst of short lines taken off the receive buffer: the cost per line must not
// grow with the burst (the complexity fit should say O(N)).
void BM_DrainBurstOfShortLines(benchmark::State& state) {
    std::string burst;
    for (int64_t i = 0; i < state.range(0); ++i)
        burst += "OK\r\n";
    gateway::fuzz::SilentPort port;
    gateway::TSerialLink link(port);
    link.WriteLog = nullptr;
    int mr = 0;
    std::string pdu;
    for (auto _ : state) {
        link.DataReceived(burst);
        while (link.ExtractLine(mr, pdu)) {}
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DrainBurstOfShortLines)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

}  // namespace
