// The road of a table file into memory, on a generated log of 1M entries, against `wc -l` on the
// same file (about the least any program needs to look at every byte once):
//   BM_ReadBlocks          reading the file through the line reader's blocks, nothing else
//   BM_LoadRowsInBlocks    the loader's road: blocks, the one-pass scanner, stored rows
//   BM_LoadRowsLineByLine  ReadLine and AddLine per line (tables with backslash escapes)
// Counters: best_ms (fastest run), wc_ms (fastest `wc -l`), per_wc (their ratio), and for the
// loads held_per_file, the memory the rows hold against the file size.
//
// genlog must lie next to this program (both are built into the same folder); the log is
// written into a temporary folder that is removed at exit.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "GeneratedLogs.h"
#include "csv/CsvDataScan.h"
#include "csv/CsvErrors.h"
#include "csv/CsvParse.h"
#include "csv/CsvRows.h"
#include "csv/CsvStream.h"

namespace {

using namespace tavisto;

constexpr int kEntries = 1'000'000;

double MillisecondsOf(const auto& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The generated log, read once so that it is in the page cache, and the fastest `wc -l` on it.
class GeneratedLog {
public:
    GeneratedLog() : file_(bench::GeneratedLogs::Instance().Log(kEntries)) {
        std::ifstream(file_, std::ios::binary).ignore(std::numeric_limits<std::streamsize>::max());
        wcMs_ = bench::WcLinesSeconds(file_) * 1000.0;
    }

    static const GeneratedLog& Instance() {
        static const GeneratedLog log;
        return log;
    }

    const std::string& File() const { return file_; }
    double Bytes() const { return static_cast<double>(std::filesystem::file_size(file_)); }
    double WcMs() const { return wcMs_; }

private:
    std::string file_;
    double wcMs_;
};

// Times one run per iteration; fresh rows each run, released outside the timing.
void TimeAgainstWc(benchmark::State& state, void (*run)(const std::string&, TCsvRows&)) {
    const GeneratedLog& log = GeneratedLog::Instance();
    double best = std::numeric_limits<double>::infinity();
    std::size_t bytesHeld = 0;
    for (auto _ : state) {
        TCsvRows rows;
        rows.SetSeparator(';');
        const double ms = MillisecondsOf([&] { run(log.File(), rows); });
        state.SetIterationTime(ms / 1000.0);
        best = std::min(best, ms);
        bytesHeld = rows.BytesHeld();
    }
    state.counters["best_ms"] = best;
    state.counters["wc_ms"] = log.WcMs();
    state.counters["per_wc"] = best / log.WcMs();
    if (bytesHeld != 0)
        state.counters["held_per_file"] = static_cast<double>(bytesHeld) / log.Bytes();
}

void RejectLongLine(std::string_view line) {
    if (line.size() > static_cast<std::size_t>(kMaxLineLength)) {
        throw ECsvDataSetError("CSV string is too long: " + std::string(line.substr(0, 40)));
    }
}

void ReadBlocks(const std::string& file, TCsvRows& /*rows*/) {
    TCsvStream reader(file, TCsvStream::Mode::Read);
    std::size_t bytes = 0;
    for (std::string_view block = reader.ReadBlock(); !block.empty(); block = reader.ReadBlock()) {
        bytes += block.size();
    }
    benchmark::DoNotOptimize(bytes);
}

void LoadRowsInBlocks(const std::string& file, TCsvRows& rows) {
    TCsvStream reader(file, TCsvStream::Mode::Read);
    reader.ReadLine();
    CsvLineScanner scanner(rows.Separator(), kMaxLineLength);
    int rowIndex = 0;
    const auto addRow = [&](std::string_view line, const ColumnStarts& starts, bool tooMany) {
        RejectLongLine(line);
        if (tooMany) SplitLineIntoColumns(line, rows.Separator(), true, false);
        rows.AddCutLine(line, starts, rowIndex++);
    };
    for (std::string_view block = reader.ReadBlock(); !block.empty(); block = reader.ReadBlock()) {
        scanner.Feed(block, addRow);
    }
    scanner.Finish(addRow);
}

void LoadRowsLineByLine(const std::string& file, TCsvRows& rows) {
    TCsvStream reader(file, TCsvStream::Mode::Read);
    reader.ReadLine();
    int rowIndex = 0;
    while (!reader.AtEnd()) {
        const std::string_view line = StripLineBreaks(reader.ReadLine());
        if (line.empty()) continue;
        RejectLongLine(line);
        rows.AddLine(line, rowIndex++, false);
    }
}

void BM_ReadBlocks(benchmark::State& state) {
    TimeAgainstWc(state, ReadBlocks);
}

void BM_LoadRowsInBlocks(benchmark::State& state) {
    TimeAgainstWc(state, LoadRowsInBlocks);
}

void BM_LoadRowsLineByLine(benchmark::State& state) {
    TimeAgainstWc(state, LoadRowsLineByLine);
}

BENCHMARK(BM_ReadBlocks)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);
BENCHMARK(BM_LoadRowsInBlocks)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);
BENCHMARK(BM_LoadRowsLineByLine)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
