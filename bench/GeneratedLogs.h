#pragma once

// Logs for the table benchmarks, generated at run time by genlog (which is built next to the
// benchmark programs) into a folder of their own that is removed at exit, and the viewer's
// configuration of the log table.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "csv/CsvData.h"
#include "db/DateTimeFields.h"
#include "db/StringFields.h"

extern char** environ;

namespace tavisto::bench {

namespace fs = std::filesystem;

// Runs a program found on the PATH (or by path) with its output discarded; false when it could
// not be run or did not exit with 0.
inline bool RunQuietly(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Seconds of the fastest of several runs of `wc -l file`, the yardstick of the load benchmark.
inline double WcLinesSeconds(const std::string& file) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!RunQuietly({"wc", "-l", file})) throw std::runtime_error("wc -l failed on " + file);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// Generated logs by entry count, made on first request.
class GeneratedLogs {
public:
    static GeneratedLogs& Instance() {
        static GeneratedLogs logs;
        return logs;
    }

    // Where genlog is: beside the running benchmark program.
    void SetProgramPath(const std::string& argv0) {
        genlog_ = (fs::absolute(argv0).parent_path() / "genlog").string();
    }

    const std::string& Log(long entries) {
        auto found = files_.find(entries);
        if (found != files_.end()) return found->second;
        const std::string file =
            (folder_ / ("kalulog-" + std::to_string(entries) + ".csv")).string();
        if (!RunQuietly({genlog_, std::to_string(entries), file})) {
            throw std::runtime_error("cannot generate a log with " + genlog_);
        }
        return files_.emplace(entries, file).first->second;
    }

    GeneratedLogs(const GeneratedLogs&) = delete;
    GeneratedLogs& operator=(const GeneratedLogs&) = delete;
    ~GeneratedLogs() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

private:
    GeneratedLogs() {
        std::random_device seed;
        folder_ = fs::temp_directory_path() / ("tavisto-bench-" + std::to_string(seed()));
        fs::create_directories(folder_);
    }

    fs::path folder_;
    std::string genlog_ = "genlog";
    std::map<long, std::string> files_;
};

// The viewer's log table over file.
inline void ConfigureLogTable(TCsvDataSet& table, const std::string& file) {
    table.SetCsvFieldDef("KALU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255");
    table.SetSeparator(';');
    table.SetValidateHeaderRow(false);
    table.SetReadOnly(true);
    table.SetFileName(file);
    table.Fields().Add<TStringField>("KALU").SetSize(80);
    table.Fields().Add<TDateTimeField>("DATUM").SetDisplayFormat("yyyy-mm-dd hh:nn:ss");
    table.Fields().Add<TStringField>("ANWENDUNG").SetSize(255);
    table.Fields().Add<TStringField>("BENUTZER").SetSize(255);
}

// Resident bytes of the process now, after returning freed heap memory to the system.
inline double ResidentBytes() {
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// The main program of a benchmark that uses generated logs.
inline int RunBenchmarks(int argc, char** argv) {
    GeneratedLogs::Instance().SetProgramPath(argv[0]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace tavisto::bench
