// Throughput of draymoor: bytes of CDI data read per second, on one core,
// through the whole routine (xyz data file and line data files).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/throughput_support.hpp"
#include "common/text_writer.hpp"
#include "draymoor/brevan.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kDepths = 30;
constexpr int kStationsPerLine = 5000;

// A CDI data file of about `bytes` bytes: 30 depths, lines of 5000 stations,
// conductivities in S/m of which about one in eight is not positive.
std::int64_t makeCdiFile(const fs::path& path, std::size_t bytes) {
    common::TextWriter out(path.string());
    out.line("/ Tempest CDI conductivity-depth data, synthetic");
    out.line(std::string("/").append(std::to_string(kDepths)).append("\tDepths (m)"));
    std::string depths = "/";
    for (int k = 0; k < kDepths; ++k) depths.append("\t").append(std::to_string(5 * k + 2)).append(".5");
    out.line(depths);
    std::size_t written = 0;
    char field[64];
    for (int station = 0; written < bytes; ++station) {
        if (station % kStationsPerLine == 0) {
            out.line(std::string("Line ").append(std::to_string(10010 + station / kStationsPerLine)));
        }
        std::string line;
        std::snprintf(field, sizeof field, "%d\t%.1f\t%.1f\t%.2f\t%.2f\t%.1f", 100000 + station,
                      455000.0 + 12.5 * (station % kStationsPerLine), 6760000.0 + 0.4 * station,
                      310.0 + station % 11, 120.0 + station % 13, 12.5 * (station % kStationsPerLine));
        line += field;
        for (int column = 7; column <= 14; ++column) line += "\t0.00";
        for (int k = 0; k < kDepths; ++k) {
            const int code = (station * 31 + k * 17) % 1000;
            std::snprintf(field, sizeof field, "\t%.5f", code % 8 == 0 ? -1.0 : 0.001 * code);
            line += field;
        }
        out.line(line);
        written += line.size() + 1;
    }
    out.close();
    return static_cast<std::int64_t>(fs::file_size(path));
}

void BM_DraymoorConversion(benchmark::State& state) {
    const fs::path folder = bench_support::benchFolder("draymoor");
    const fs::path input = folder / "bench.cdi";
    const std::int64_t inputBytes = makeCdiFile(input, static_cast<std::size_t>(state.range(0)) << 20);
    // The line data files are named by the line headers, in the working folder.
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    std::vector<std::string> arguments = {"draymoor", input.string(), (folder / "bench.xyz").string()};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    for (auto _ : state) {
        bench_support::QuietStandardOutput quiet;
        if (draymoor::brevan(static_cast<int>(argv.size()), argv.data()) != 0) state.SkipWithError("draymoor failed");
    }
    bench_support::reportFigures(state, inputBytes, folder);
    fs::current_path(previous);
    fs::remove_all(folder);
}
BENCHMARK(BM_DraymoorConversion)->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
