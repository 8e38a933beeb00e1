// PDU building and status-report decoding, per message: both run once per message of a mailing
// and must stay far below a millisecond.
#include <benchmark/benchmark.h>

#include "gateway/pdu_builder.h"
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

}  // namespace
