// Opens generated logs of 100k, 1M and 5M entries as the viewer does and reports, for each:
//   open_vs_wc      the fastest open against the fastest `wc -l` on the same file
//   memory_vs_file  the resident memory the open table holds against the file's size
// The targets for the 1M log are open_vs_wc <= 3 and memory_vs_file <= 1.5.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>

#include "GeneratedLogs.h"

namespace {

using namespace tavisto;

void BM_OpenLog(benchmark::State& state) {
    const std::string& file = bench::GeneratedLogs::Instance().Log(state.range(0));
    const double fileBytes = static_cast<double>(bench::fs::file_size(file));
    const double wcSeconds = bench::WcLinesSeconds(file);
    double fastest = 1e9;
    double residentGrowth = 0;
    for (auto _ : state) {
        TCsvDataSet table;
        bench::ConfigureLogTable(table, file);
        const double before = bench::ResidentBytes();
        const auto start = std::chrono::steady_clock::now();
        table.Open();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        fastest = std::min(fastest, took.count());
        residentGrowth = std::max(residentGrowth, bench::ResidentBytes() - before);
        benchmark::DoNotOptimize(table.RecordCount());
    }
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["wc_ms"] = wcSeconds * 1e3;
    state.counters["open_ms"] = fastest * 1e3;
    state.counters["open_vs_wc"] = fastest / wcSeconds;
    state.counters["memory_vs_file"] = residentGrowth / fileBytes;
}

BENCHMARK(BM_OpenLog)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(5'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
