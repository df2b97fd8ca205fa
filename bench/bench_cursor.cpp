// On the generated 1M-entry log, reports the time per record of
//   - walking from the first record to the last, as the grid does when it fills its rows, and
//     reading the display text of each record's four fields;
//   - reading one field of every record in one pass, as the grid does when it sorts.
#include <benchmark/benchmark.h>

#include <string>

#include "GeneratedLogs.h"

namespace {

using namespace tavisto;

void ReportPerRecord(benchmark::State& state, const TDataSet& table) {
    state.SetItemsProcessed(state.iterations() * table.RecordCount());
    state.counters["ns_per_record"] = benchmark::Counter(
        static_cast<double>(table.RecordCount()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

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
    ReportPerRecord(state, table);
}

void BM_ReadFieldOfEveryRecord(benchmark::State& state, const char* fieldName) {
    const std::string& file = bench::GeneratedLogs::Instance().Log(state.range(0));
    TCsvDataSet table;
    bench::ConfigureLogTable(table, file);
    table.Open();
    const TField& field = table.FieldByName(fieldName);
    std::size_t present = 0;
    for (auto _ : state) {
        const bool read = table.ReadFieldOfEveryRecord(
            field, [&present](const char*, const void* value) { present += value != nullptr; });
        if (!read) state.SkipWithError("the table refused the one-pass read");
    }
    benchmark::DoNotOptimize(present);
    ReportPerRecord(state, table);
}

BENCHMARK(BM_WalkLogReadingDisplayTexts)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadFieldOfEveryRecord, DATUM, "DATUM")
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadFieldOfEveryRecord, BENUTZER, "BENUTZER")
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
