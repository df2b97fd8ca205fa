// Walks the generated 1M-entry log from the first record to the last, as the grid does when it
// fills its rows, and reads the display text of each record's four fields. Reports the time per
// record.
#include <benchmark/benchmark.h>

#include <string>

#include "GeneratedLogs.h"

namespace {

using namespace tavisto;

void BM_WalkLogReadingDisplayTexts(benchmark::State& state) {
    const std::string& file = bench::GeneratedLogs::Instance().Log(state.range(0));
    TCsvDataSet table;
    bench::ConfigureLogTable(table, file);
    table.Open();
    std::size_t characters = 0;
    for (auto _ : state) {
        for (table.First(); !table.Eof(); table.Next()) {
            for (int i = 0; i < table.Fields().Count(); ++i) {
                characters += table.Fields()[i].DisplayText().size();
            }
        }
    }
    benchmark::DoNotOptimize(characters);
    const double records = static_cast<double>(table.RecordCount());
    state.SetItemsProcessed(state.iterations() * table.RecordCount());
    state.counters["ns_per_record"] =
        benchmark::Counter(records * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_WalkLogReadingDisplayTexts)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
