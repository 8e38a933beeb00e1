// The benchmark programs that measure our code beside a library doing the same job end with a
// table of ratios: our time over the library's, each from the same run. Times are CPU times
// (wall times for pairs whose work is partly another process's, such as the X server's),
// the median of the repetitions when repetitions are asked for (--benchmark_repetitions=N; with
// --benchmark_enable_random_interleaving=true both sides see the same machine load), else the
// single measurement. A ratio above its goal is marked.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct RatioPair {
    std::string ours, theirs;  // benchmark names with their arguments, "BM_PngOurs/0"
    std::string job;           // what both do
    double goal;               // the largest ratio we accept; 0 for a pair shown for reference
    bool realTime = false;     // compared by wall time: the work is partly another process's
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<RatioPair> pairs) : pairs_(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            const double seconds = run.GetAdjustedCPUTime() / unit;
            const double wall = run.GetAdjustedRealTime() / unit;
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    medians_[name] = seconds;
                    wallMedians_[name] = wall;
                }
            } else {
                singles_[name] = seconds;
                wallSingles_[name] = wall;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-44s %12s %12s %7s %6s\n", "job (ours / theirs)", "ours",
                    "theirs", "ratio", "goal");
        for (const RatioPair& p : pairs_) {
            const double ours = Time(p.ours, p.realTime), theirs = Time(p.theirs, p.realTime);
            if (ours <= 0 || theirs <= 0) continue;  // filtered out
            const double ratio = ours / theirs;
            std::printf("%-44s %10.1fus %10.1fus %7.2f ", p.job.c_str(), ours * 1e6, theirs * 1e6,
                        ratio);
            if (p.goal > 0)
                std::printf("%6.2f%s\n", p.goal, ratio > p.goal ? "  above" : "");
            else
                std::printf("%6s\n", "-");
        }
        std::fflush(stdout);
    }

private:
    double Time(const std::string& name, bool wall) const {
        const auto& medians = wall ? wallMedians_ : medians_;
        const auto& singles = wall ? wallSingles_ : singles_;
        if (auto m = medians.find(name); m != medians.end()) return m->second;
        if (auto s = singles.find(name); s != singles.end()) return s->second;
        return 0;
    }

    std::vector<RatioPair> pairs_;
    std::map<std::string, double> medians_, singles_, wallMedians_, wallSingles_;
};

// The program's main: runs the benchmarks asked for and prints the ratio table.
inline int RunWithRatios(int argc, char** argv, std::vector<RatioPair> pairs) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
