#pragma once
// What the converter throughput benchmarks share: where their files go, a
// quiet standard output while a routine runs, and the figures they report
// beside the time (peak memory, input size).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace bench_support {

// Inputs are read and outputs written in memory (/dev/shm) when the host has
// it, so that a figure is the program's and not the disk's. Each benchmark
// reports the folder it used in its label.
inline std::filesystem::path benchFolder(const std::string& name) {
    std::error_code error;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", error) ? std::filesystem::path("/dev/shm")
                                                         : std::filesystem::temp_directory_path();
    const std::filesystem::path folder = base / (name + "-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

// The largest resident set of the process so far, in MB. Benchmarks of one
// program run from the smallest input to the largest, so a figure that stays
// put shows memory that does not grow with the input.
inline double peakMemoryMB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KB
}

// The figures every converter benchmark reports.
inline void reportFigures(benchmark::State& state, std::int64_t inputBytes, const std::filesystem::path& folder) {
    state.SetBytesProcessed(state.iterations() * inputBytes);
    state.counters["input_MB"] = static_cast<double>(inputBytes) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = peakMemoryMB();
    state.SetLabel("files in " + folder.parent_path().string());
}

// Progress lines go to standard output; they are sent to /dev/null while a
// routine runs so that the benchmark's report stays readable.
class QuietStandardOutput {
public:
    QuietStandardOutput() : saved_(::dup(1)) {
        std::fflush(stdout);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::close(null);
    }
    ~QuietStandardOutput() {
        std::fflush(stdout);
        ::dup2(saved_, 1);
        ::close(saved_);
    }
    QuietStandardOutput(const QuietStandardOutput&) = delete;
    QuietStandardOutput& operator=(const QuietStandardOutput&) = delete;

private:
    int saved_;
};

}  // namespace bench_support
