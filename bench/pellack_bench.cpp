// Throughput of pellack: bytes of observed plus predicted data read per
// second, on one core, through the whole routine (both passes, xyz output).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/throughput_support.hpp"
#include "common/text_writer.hpp"
#include "pellack/brevan.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kFrequencies = 10;  // at most
constexpr const char* kFrequencyLines[kFrequencies] = {"56320.", "28160.", "14080.", "7040.0", "3520.0",
                                                       "1760.0", "880.00", "440.00", "220.00", "110.00"};

// An observed and a predicted file of the EM1DFM layout: `soundings`
// soundings 25 m apart, `frequencies` frequencies, absolute errors.
std::int64_t makeDataFiles(const fs::path& obsPath, const fs::path& prdPath, int soundings, int frequencies) {
    common::TextWriter obs(obsPath.string());
    common::TextWriter prd(prdPath.string());
    obs.line("    " + std::to_string(soundings));
    prd.line(std::to_string(soundings));
    char text[256];
    for (int sounding = 0; sounding < soundings; ++sounding) {
        std::snprintf(text, sizeof text, "   %.4f       350.00     %d", 25.0 * sounding, frequencies);
        obs.line(text);
        std::snprintf(text, sizeof text, "%.1f          350.0           %d", 25.0 * sounding, frequencies);
        prd.line(text);
        for (int k = 0; k < frequencies; ++k) {
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

void BM_PellackConversion(benchmark::State& state) {
    const fs::path folder = bench_support::benchFolder("pellack");
    const fs::path obs = folder / "bench.obs";
    const fs::path prd = folder / "bench.prd";
    const fs::path xyz = folder / "bench.xyz";
    const std::int64_t inputBytes =
        makeDataFiles(obs, prd, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<std::string> arguments = {"pellack", obs.string(), prd.string(), xyz.string()};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    for (auto _ : state) {
        bench_support::QuietStandardOutput quiet;
        if (pellack::brevan(static_cast<int>(argv.size()), argv.data()) != 0) state.SkipWithError("pellack failed");
    }
    bench_support::reportFigures(state, inputBytes, folder);
    state.counters["soundings"] = static_cast<double>(state.range(0));
    fs::remove_all(folder);
}
BENCHMARK(BM_PellackConversion)->Args({20000, 10})->Args({1000000, 3})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
