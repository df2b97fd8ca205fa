// Stores 1,000,000 typical log lines (four columns, about 70 bytes) in a row list, as loading a
// log does, and reports the time taken and the memory held per row: the arena's chunks and the
// list's entries, against the average line length.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "csv/CsvRows.h"

namespace {

constexpr int kRows = 1'000'000;

// Lines of the shape the suite writes: KALU;DATUM;ANWENDUNG;BENUTZER.
class LogLines {
public:
    LogLines() {
        constexpr std::array<std::string_view, 5> kalus = {
            "Kalkulation 48213/17", "Angebot 1934/55 Klinikum West", "Los 37710/62 Ahrens",
            "Auftrag 20417/08 Stadtwerke Nord", "Position 19941/61 Zimmerei Ahrens"};
        constexpr std::array<std::string_view, 5> applications = {
            "Kalkulation", "Auftragsverwaltung", "Zeiterfassung", "Berichtswesen", "Abrechnung"};
        constexpr std::array<std::string_view, 6> users = {"mueller",  "schmidt", "weber",
                                                           "hoffmann", "becker",  "richter"};
        std::uint32_t state = 12345;
        auto next = [&state](std::size_t n) {
            state = state * 1664525u + 1013904223u;
            return static_cast<std::size_t>(state >> 8) % n;
        };
        for (int i = 0; i < kRows; ++i) {
            char datum[32];
            std::snprintf(datum, sizeof datum, "2006-%02d-%02d %02d:%02d:%02d", 1 + i / 90000,
                          1 + (i / 3000) % 28, (i / 125) % 24, (i / 2) % 60, i % 60);
            const std::size_t begin = text_.size();
            text_ += kalus[next(kalus.size())];
            text_ += ';';
            text_ += datum;
            text_ += ';';
            text_ += applications[next(applications.size())];
            text_ += ';';
            text_ += users[next(users.size())];
            bounds_.push_back({begin, text_.size() - begin});
        }
    }

    std::string_view Line(int i) const {
        return {text_.data() + bounds_[i].first, bounds_[i].second};
    }
    double AverageLength() const { return static_cast<double>(text_.size()) / kRows; }

private:
    std::string text_;
    std::vector<std::pair<std::size_t, std::size_t>> bounds_;
};

const LogLines& Lines() {
    static const LogLines lines;
    return lines;
}

void BM_StoreLogLines(benchmark::State& state) {
    const LogLines& lines = Lines();
    std::size_t bytesHeld = 0;
    for (auto _ : state) {
        tavisto::TCsvRows rows;
        rows.SetSeparator(';');
        for (int i = 0; i < kRows; ++i) rows.AddLine(lines.Line(i), i, false);
        bytesHeld = rows.BytesHeld();
        benchmark::DoNotOptimize(rows.Count());
    }
    const double perRow = static_cast<double>(bytesHeld) / kRows;
    state.SetItemsProcessed(state.iterations() * kRows);
    state.counters["line_bytes"] = lines.AverageLength();
    state.counters["held_bytes_per_row"] = perRow;
    state.counters["overhead_per_row"] = perRow - lines.AverageLength();
}

BENCHMARK(BM_StoreLogLines)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
