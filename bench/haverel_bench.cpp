// Throughput of haverel's sample conversion: bytes of survey data read per
// second, on one core, into the three column files (all in memory, see
// throughput_support.hpp).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/throughput_support.hpp"
#include "common/line_reader.hpp"
#include "common/text_writer.hpp"
#include "haverel/sample_conversion.hpp"

namespace {

std::string sampleLine(int sample, bool full, bool middle) {
    char buffer[512];
    int n = std::snprintf(buffer, sizeof buffer, "%d 1", sample);
    for (int channel = 0; channel < 15; ++channel) {
        n += std::snprintf(buffer + n, sizeof buffer - static_cast<std::size_t>(n), " %d", 900 - 50 * channel + sample % 7);
    }
    n += std::snprintf(buffer + n, sizeof buffer - static_cast<std::size_t>(n), " 0 0 %.3f", 0.5 + 0.001 * (sample % 100));
    if (full || middle) {
        n += std::snprintf(buffer + n, sizeof buffer - static_cast<std::size_t>(n), " %.1f %.1f 1 %.2f 0.0",
                           120.0 + sample % 13, 310.0 + sample % 11, 57890.0 + 0.01 * (sample % 1000));
    }
    if (full) {
        n += std::snprintf(buffer + n, sizeof buffer - static_cast<std::size_t>(n), " 0.0 0.0 0 0 %.1f %.1f",
                           455000.0 + 12.5 * sample, 6760000.0 + 0.4 * sample);
    }
    return std::string(buffer, static_cast<std::size_t>(n)) + "\r\n";
}

// A survey file of about `bytes` bytes.
std::filesystem::path makeSurveyFile(const std::filesystem::path& folder, std::size_t bytes) {
    const std::filesystem::path path = folder / "survey.dat";
    common::TextWriter out(path.string());
    std::size_t written = 0;
    for (int sample = 0; written < bytes; ++sample) {
        const int kind = sample % 4;  // full, short, middle, short
        const std::string line = sampleLine(sample, kind == 0, kind == 2);
        out.write(line);
        written += line.size();
    }
    out.close();
    return path;
}

void BM_HaverelSampleConversion(benchmark::State& state) {
    const std::filesystem::path outputs = bench_support::benchFolder("haverel");
    const std::filesystem::path input = makeSurveyFile(outputs, static_cast<std::size_t>(state.range(0)) << 20);
    const auto inputBytes = static_cast<std::int64_t>(std::filesystem::file_size(input));
    for (auto _ : state) {
        common::LineReader reader(input.string());
        common::TextWriter mag((outputs / "hb_mag.dat").string());
        common::TextWriter em((outputs / "hb_em.dat").string());
        common::TextWriter emData((outputs / "hb.tem").string());
        benchmark::DoNotOptimize(haverel::convertSampleLines(reader, 1010, 1, {mag, em, emData}));
    }
    bench_support::reportFigures(state, inputBytes, outputs);
    std::filesystem::remove_all(outputs);
}
BENCHMARK(BM_HaverelSampleConversion)->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
