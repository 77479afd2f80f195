// Throughput of pellack: bytes of observed plus predicted data read per
// second, on one core, through the whole routine (both passes, xyz output).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/text_writer.hpp"
#include "pellack/brevan.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kFrequencies = 10;
constexpr const char* kFrequencyLines[kFrequencies] = {"56320.", "28160.", "14080.", "7040.0", "3520.0",
                                                       "1760.0", "880.00", "440.00", "220.00", "110.00"};

// An observed and a predicted file of the EM1DFM layout, together about
// `bytes` bytes: soundings 25 m apart, ten frequencies, absolute errors.
std::int64_t makeDataFiles(const fs::path& obsPath, const fs::path& prdPath, std::size_t bytes) {
    const std::size_t soundingBytes = 1900;  // observed and predicted lines of one sounding
    const int soundings = static_cast<int>(bytes / soundingBytes);
    common::TextWriter obs(obsPath.string());
    common::TextWriter prd(prdPath.string());
    obs.line("    " + std::to_string(soundings));
    prd.line(std::to_string(soundings));
    char text[256];
    for (int sounding = 0; sounding < soundings; ++sounding) {
        std::snprintf(text, sizeof text, "   %.4f       350.00     %d", 25.0 * sounding, kFrequencies);
        obs.line(text);
        std::snprintf(text, sizeof text, "%.1f          350.0           %d", 25.0 * sounding, kFrequencies);
        prd.line(text);
        for (int k = 0; k < kFrequencies; ++k) {
            const double value = 2600.0 / (k + 1) + 0.01 * (sounding % 97);
            for (common::TextWriter* file : {&obs, &prd}) {
                file->line(std::string("   ") + kFrequencyLines[k] + "      1");
                file->line("   1.0000      -30.000      z  1");
            }
            std::snprintf(text, sizeof text,
                          "   1.0000       10.000       0.0000      -30.000     z  1 b   %9.4f   %9.4f     v   "
                          "%9.5f   %9.5f    ",
                          value, 0.8 * value, 0.01 * value + 0.5, 0.01 * value + 0.5);
            obs.line(text);
            std::snprintf(text, sizeof text,
                          "   1.0000       10.000       0.0000      -30.000     z  1 b   %9.4f   %9.4f    ",
                          value * 0.99, 0.8 * value * 1.01);
            prd.line(text);
        }
    }
    obs.close();
    prd.close();
    return static_cast<std::int64_t>(fs::file_size(obsPath) + fs::file_size(prdPath));
}

// The input is read twice and the output is large: the files go to memory
// (/dev/shm) when the host has it, so that the figure is the program's and
// not the disk's.
fs::path benchFolder() {
    std::error_code error;
    if (fs::is_directory("/dev/shm", error)) return "/dev/shm";
    return fs::temp_directory_path();
}

// The progress lines go to standard output; they are sent to /dev/null
// while the routine runs so that the benchmark's report stays readable.
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

void BM_PellackConversion(benchmark::State& state) {
    const fs::path folder = benchFolder() / std::string("pellack-bench-").append(std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path obs = folder / "bench.obs";
    const fs::path prd = folder / "bench.prd";
    const fs::path xyz = folder / "bench.xyz";
    const std::int64_t inputBytes = makeDataFiles(obs, prd, static_cast<std::size_t>(state.range(0)) << 20);
    std::vector<std::string> arguments = {"pellack", obs.string(), prd.string(), xyz.string()};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    for (auto _ : state) {
        QuietStandardOutput quiet;
        benchmark::DoNotOptimize(pellack::brevan(static_cast<int>(argv.size()), argv.data()));
    }
    state.SetBytesProcessed(state.iterations() * inputBytes);
    fs::remove_all(folder);
}
BENCHMARK(BM_PellackConversion)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
