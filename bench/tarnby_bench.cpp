// Throughput of tarnby: bytes of EM1DFM model file read per second, on one
// core, through the whole routine. The conversion (model reading, profile
// walk, xyz data file and point data file) is measured on a million
// soundings with the grid calls answered at once; the time of the gridding
// itself is measured apart, through the same seam, on a smaller model, since
// a grid of a million columns takes the solver far longer than the
// conversion.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/throughput_support.hpp"
#include "common/text_writer.hpp"
#include "lumsk/minc.hpp"
#include "tarnby/brevan.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kLayers = 25;

// A conductivity model of `soundings` soundings 25 m apart, 25 layers
// thickening downward, conductivities varying smoothly along the line.
std::int64_t makeModelFile(const fs::path& path, int soundings) {
    common::TextWriter out(path.string());
    out.line(" Number of layers:    " + std::to_string(kLayers));
    std::string thicknesses = " Layer thicknesses (m): ";
    char field[64];
    for (int layer = 1; layer < kLayers; ++layer) {
        std::snprintf(field, sizeof field, "   %.4f    ", 2.0 * std::pow(1.25, layer - 1));
        thicknesses += field;
    }
    out.line(thicknesses);
    out.line(" Number of soundings: " + std::to_string(soundings));
    out.line(" Sounding x- & y-coordinates,  Conductivities (S/m) ...");
    for (int sounding = 0; sounding < soundings; ++sounding) {
        std::string line;
        std::snprintf(field, sizeof field, "%-15.1f%-17.1f", 25.0 * sounding, 350.0);
        line += field;
        for (int layer = 0; layer < kLayers; ++layer) {
            const double conductivity = 0.01 * (1.0 + 0.5 * std::sin(0.001 * sounding + 0.2 * layer));
            std::snprintf(field, sizeof field, "%.5E  ", conductivity);
            line += field;
        }
        out.line(line);
    }
    out.close();
    return static_cast<std::int64_t>(fs::file_size(path));
}

struct RunFolder {
    explicit RunFolder(const std::string& name)
        : folder(bench_support::benchFolder(name)), previous(fs::current_path()) {
        // tarnby writes its point data file and the library its work files in
        // the working folder.
        fs::current_path(folder);
    }
    ~RunFolder() {
        fs::current_path(previous);
        fs::remove_all(folder);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;
    fs::path folder;
    fs::path previous;
};

int runTarnby(const fs::path& model, const fs::path& xyz, const tarnby::MincCall& minc) {
    std::vector<std::string> arguments = {"tarnby", model.string(), xyz.string()};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    bench_support::QuietStandardOutput quiet;
    return tarnby::brevan(static_cast<int>(argv.size()), argv.data(), minc);
}

// Conversion only: every grid call returns at once with a good status.
void BM_TarnbyConversion(benchmark::State& state) {
    const RunFolder run("tarnby");
    const fs::path model = run.folder / "bench_con.mod";
    const std::int64_t inputBytes = makeModelFile(model, static_cast<int>(state.range(0)));
    const tarnby::MincCall answerAtOnce = [](lumsk::MincRequest& call) { call.ISTAT = 0; };
    for (auto _ : state) {
        if (runTarnby(model, run.folder / "bench_con.xyz", answerAtOnce) != 0) state.SkipWithError("tarnby failed");
    }
    bench_support::reportFigures(state, inputBytes, run.folder);
    state.counters["soundings"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_TarnbyConversion)->Arg(20000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole run with the three grids made by the library; the time inside
// the MINC calls is reported apart from the rest.
void BM_TarnbyWithGridding(benchmark::State& state) {
    const RunFolder run("tarnby-grid");
    const fs::path model = run.folder / "bench_con.mod";
    const std::int64_t inputBytes = makeModelFile(model, static_cast<int>(state.range(0)));
    double griddingSeconds = 0.0;
    for (auto _ : state) {
        lumsk::Gridder gridder(lumsk::LibraryBuild::narrowOutline);
        const tarnby::MincCall library = tarnby::libraryMinc(gridder);
        const tarnby::MincCall timed = [&](lumsk::MincRequest& call) {
            const auto start = std::chrono::steady_clock::now();
            library(call);
            griddingSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
        if (runTarnby(model, run.folder / "bench_con.xyz", timed) != 0) state.SkipWithError("a grid failed");
    }
    bench_support::reportFigures(state, inputBytes, run.folder);
    state.counters["soundings"] = static_cast<double>(state.range(0));
    state.counters["gridding_s"] =
        benchmark::Counter(griddingSeconds, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TarnbyWithGridding)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
