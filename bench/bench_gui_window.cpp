// The log window on the generated 1M-entry log, offscreen. Each time is reported against the
// engine's own open time of the same file (the fastest of five opens of the window's table,
// the window not shown):
//   show_vs_open        from FormShow to the grid's first painted page (target <= 1.5)
//   sort_vs_open        a click on a header until the sorted page is painted: "Datum" (column
//                       1, target <= 2), the log's own order; "Benutzer" (column 3), the rows
//                       all reordered
//   last_vs_open        Last from the first row until the last page is painted
//   last_vs_page        the same against scrolling to rows never read before (one page read);
//                       the target is "instant": below 1
//   grid_bytes_per_row  resident memory the grid adds to the open table, per row
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>

#include "GeneratedLogs.h"
#include "app/MessageDialog.h"
#include "app/fLogfile.h"

namespace {

using namespace tavisto;
using Clock = std::chrono::steady_clock;

constexpr long kEntries = 1'000'000;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A settings folder (XDG_CONFIG_HOME) whose kalulog.csv is the generated log.
class ViewerSettings {
public:
    static ViewerSettings& Instance() {
        static ViewerSettings settings;
        return settings;
    }
    const std::string& Log() const { return log_; }

    ViewerSettings(const ViewerSettings&) = delete;
    ViewerSettings& operator=(const ViewerSettings&) = delete;
    ~ViewerSettings() {
        std::error_code ignored;
        bench::fs::remove_all(root_, ignored);
    }

private:
    ViewerSettings() : log_(bench::GeneratedLogs::Instance().Log(kEntries)) {
        root_ =
            bench::fs::temp_directory_path() / ("tavisto-gui-bench-" + std::to_string(getpid()));
        const bench::fs::path folder = root_ / "Orlesk" / "Tavisto 2006";
        bench::fs::create_directories(folder);
        bench::fs::create_symlink(log_, folder / kLogFileName);
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(root_.string()));
    }

    bench::fs::path root_;
    std::string log_;
};

// The engine's open of the log: the window's own table, opened without the window.
double EngineOpenSeconds() {
    double fastest = 1e9;
    for (int run = 0; run < 5; ++run) {
        TformLogfile window;
        window.csvLogfile.SetFileName(ViewerSettings::Instance().Log());
        const Clock::time_point start = Clock::now();
        window.csvLogfile.Open();
        fastest = std::min(fastest, SecondsSince(start));
    }
    return fastest;
}

// Runs the event loop until widget has been painted once more.
void WaitForPaint(QWidget* widget) {
    struct Watcher : QObject {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* event) override {
            painted = painted || event->type() == QEvent::Paint;
            return false;
        }
    } watcher;
    widget->installEventFilter(&watcher);
    widget->update();
    const Clock::time_point start = Clock::now();
    while (!watcher.painted && SecondsSince(start) < 60) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents();
    widget->removeEventFilter(&watcher);
}

// A log window whose dialogs only count, so that a benchmark never waits for a user.
std::unique_ptr<TformLogfile> NewWindow(int& dialogs) {
    auto window = std::make_unique<TformLogfile>();
    window->SetMessageDlg([&dialogs](const QString&, TMsgDlgType, TMsgDlgButtons, int) {
        ++dialogs;
        return mrOk;
    });
    window->SetErrorBox([&dialogs](const QString&) { ++dialogs; });
    return window;
}

std::unique_ptr<TformLogfile> ShownWindow(int& dialogs) {
    auto window = NewWindow(dialogs);
    window->show();
    WaitForPaint(window->gridLog.viewport());
    return window;
}

void ReportAgainstOpen(benchmark::State& state, const char* name, double seconds, double open,
                       int dialogs) {
    state.counters["open_ms"] = open * 1e3;
    state.counters[name] = seconds / open;
    if (dialogs != 0) state.SkipWithError("the window showed a dialog");
}

// Resident memory the grid adds to the open table: the grid lets go of its rows when its data
// source loses the table and makes them again when it gets it back.
double GridBytesPerRow(TformLogfile& window) {
    window.dsRelLogFile.SetDataSet(nullptr);
    QCoreApplication::processEvents();
    const double before = bench::ResidentBytes();
    window.dsRelLogFile.SetDataSet(&window.csvLogfile);
    WaitForPaint(window.gridLog.viewport());
    return (bench::ResidentBytes() - before) / static_cast<double>(window.csvLogfile.RecordCount());
}

void BM_ShowToFirstPage(benchmark::State& state) {
    const double open = EngineOpenSeconds();
    double fastest = 1e9;
    int dialogs = 0;
    for (auto _ : state) {
        auto window = NewWindow(dialogs);
        const Clock::time_point start = Clock::now();
        window->show();
        WaitForPaint(window->gridLog.viewport());
        const double took = SecondsSince(start);
        state.SetIterationTime(took);
        fastest = std::min(fastest, took);
    }
    ReportAgainstOpen(state, "show_vs_open", fastest, open, dialogs);
    state.counters["grid_bytes_per_row"] = GridBytesPerRow(*ShownWindow(dialogs));
}

void BM_SortColumn(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    const double open = EngineOpenSeconds();
    double fastest = 1e9;
    int dialogs = 0;
    for (auto _ : state) {
        auto window = ShownWindow(dialogs);
        QHeaderView* header = window->gridLog.horizontalHeader();
        const QPoint caption(header->sectionViewportPosition(column) + 5, header->height() / 2);
        const Clock::time_point start = Clock::now();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, caption);
        WaitForPaint(window->gridLog.viewport());
        const double took = SecondsSince(start);
        state.SetIterationTime(took);
        fastest = std::min(fastest, took);
    }
    ReportAgainstOpen(state, "sort_vs_open", fastest, open, dialogs);
}

void BM_LastFromFirst(benchmark::State& state) {
    const double open = EngineOpenSeconds();
    double fastestLast = 1e9;
    double fastestPage = 1e9;
    int dialogs = 0;
    for (auto _ : state) {
        auto window = ShownWindow(dialogs);
        TLogGrid& grid = window->gridLog;
        Clock::time_point start = Clock::now();
        grid.verticalScrollBar()->setValue(static_cast<int>(kEntries / 2));
        WaitForPaint(grid.viewport());
        fastestPage = std::min(fastestPage, SecondsSince(start));
        window->btnFirst.click();
        WaitForPaint(grid.viewport());
        start = Clock::now();
        window->btnLast.click();
        WaitForPaint(grid.viewport());
        const double took = SecondsSince(start);
        state.SetIterationTime(took);
        fastestLast = std::min(fastestLast, took);
        if (grid.CurrentRow() != kEntries - 1) state.SkipWithError("Last did not reach the end");
    }
    ReportAgainstOpen(state, "last_vs_open", fastestLast, open, dialogs);
    state.counters["page_ms"] = fastestPage * 1e3;
    state.counters["last_vs_page"] = fastestLast / fastestPage;
}

BENCHMARK(BM_ShowToFirstPage)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_SortColumn)
    ->ArgName("column")
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK(BM_LastFromFirst)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    // Big blocks always come from and go back to the system, so that resident memory tells
    // what a table or a grid holds.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    return bench::RunBenchmarks(argc, argv);
}
