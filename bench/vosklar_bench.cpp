// Throughput of vosklar: bytes of station list and AIRBEO result files read
// per second, on one core, through the whole routine: the model raster, the
// xyz data file and the twelve grids of an east-west line. The time spent
// in the gridding library (GEOOUT, MINC, GEOFLIP) is measured through the
// grid-call seam and reported apart from the rest.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/throughput_support.hpp"
#include "common/console.hpp"
#include "common/text_writer.hpp"
#include "vosklar/brevan.hpp"
#include "vosklar/library_grid_calls.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kStationStep = 20;
// Iteration lines before the final model: real result files carry the whole
// history of the inversion, which the reader has to pass over.
constexpr int kIterationLines = 400;

void writeResultFile(const fs::path& path, int station) {
    common::TextWriter out(path.string());
    out.line("  AIRBEO inversion of station " + std::to_string(station));
    out.line("");
    out.line("  INITIAL MODEL");
    out.line("   Layer    Thickness   Resistivity");
    out.line("   -----    ---------   -----------");
    out.line("     1         20.00        120.00");
    out.line("     2         30.00         35.00");
    out.line("     3         60.00        300.00");
    out.line("     4                     900.00");
    out.line("");
    char text[128];
    for (int iteration = 1; iteration <= kIterationLines; ++iteration) {
        std::snprintf(text, sizeof text, "  Iteration %d   RMS error  %.1f %%   misfit reduction %.4f", iteration,
                      12.3 / iteration, 1.0 / (iteration + 1));
        out.line(text);
    }
    out.line("");
    out.line("  FINAL MODEL AFTER " + std::to_string(kIterationLines) + " ITERATIONS");
    out.line("");
    out.line("  LAYER   RESISTIVITY     THICKNESS      CONDUCTANCE      DEPTH");
    out.line("  -----   -----------     ---------      -----------      -----");
    const double swing = 1.0 + 0.3 * std::sin(0.01 * station);
    const double resistivities[4] = {120.0 * swing, 35.0 / swing, 300.0 * swing, 900.0};
    const double thicknesses[3] = {20.0 * swing, 30.0, 60.0 / swing};
    double depth = 0.0;
    for (int layer = 0; layer < 3; ++layer) {
        depth += thicknesses[layer];
        out.line("");
        std::snprintf(text, sizeof text, "    %d        %.2f         %.2f           %.4f        %.2f", layer + 1,
                      resistivities[layer], thicknesses[layer], thicknesses[layer] / resistivities[layer], depth);
        out.line(text);
    }
    out.line("");
    std::snprintf(text, sizeof text, "    4        %.2f", resistivities[3]);
    out.line(text);
}

// A station list of `stations` stations 25 m apart along an east-west line,
// and each station's result file in Station_<n>/airbeo.out.
std::int64_t makeLine(const fs::path& folder, int stations) {
    std::int64_t bytes = 0;
    common::TextWriter list((folder / "line.lst").string());
    char text[128];
    for (int index = 0; index < stations; ++index) {
        const int station = 100 + kStationStep * index;
        std::snprintf(text, sizeof text, "%d %.1f %.1f %.1f", station, 5000.0 + 25.0 * index, 7000.0 + 0.04 * index,
                      250.0 + 5.0 * std::sin(0.003 * index));
        list.line(text);
        const fs::path stationFolder = folder / ("Station_" + std::to_string(station));
        fs::create_directories(stationFolder);
        writeResultFile(stationFolder / "airbeo.out", station);
        bytes += static_cast<std::int64_t>(fs::file_size(stationFolder / "airbeo.out"));
    }
    list.close();
    return bytes + static_cast<std::int64_t>(fs::file_size(folder / "line.lst"));
}

// The library's grid calls, timed.
class TimedGridCalls final : public vosklar::GridCalls {
public:
    bool GEOOUT(const std::string& OUTGRD, std::vector<float>& ROWBUF, std::int32_t NX, std::int32_t NY,
                const std::vector<float>& ZGRID, float X0, float Y0, float DX, float DY, std::int32_t ITRANS,
                std::int32_t KXFLAG, float DNULL, float& ZMIN, float& ZMAX) override {
        const Stopwatch watch(seconds);
        return library_.GEOOUT(OUTGRD, ROWBUF, NX, NY, ZGRID, X0, Y0, DX, DY, ITRANS, KXFLAG, DNULL, ZMIN, ZMAX);
    }
    void MINC(lumsk::MincRequest& request) override {
        const Stopwatch watch(seconds);
        library_.MINC(request);
    }
    bool GEOFLIP(const std::string& INGRD, const std::string& OUTGRD) override {
        const Stopwatch watch(seconds);
        return library_.GEOFLIP(INGRD, OUTGRD);
    }

    double seconds = 0.0;

private:
    class Stopwatch {
    public:
        explicit Stopwatch(double& total) : total_(total), start_(std::chrono::steady_clock::now()) {}
        ~Stopwatch() { total_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }
        Stopwatch(const Stopwatch&) = delete;
        Stopwatch& operator=(const Stopwatch&) = delete;

    private:
        double& total_;
        std::chrono::steady_clock::time_point start_;
    };

    vosklar::LibraryGridCalls library_;
};

void BM_VosklarConversion(benchmark::State& state) {
    const fs::path folder = bench_support::benchFolder("vosklar");
    const fs::path previous = fs::current_path();
    // Station folders are found beside the working folder, and the temporary
    // files are made in it.
    fs::current_path(folder);
    const std::int64_t inputBytes = makeLine(folder, static_cast<int>(state.range(0)));
    std::vector<std::string> arguments = {"vosklar", "airbeo", "line.lst", "line.xyz", "1000"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    double griddingSeconds = 0.0;
    for (auto _ : state) {
        bench_support::QuietStandardOutput quiet;
        common::Console console(static_cast<int>(argv.size()), argv.data());
        TimedGridCalls grids;
        if (vosklar::brevan(console, grids) != 0) state.SkipWithError("a grid failed");
        griddingSeconds += grids.seconds;
    }
    bench_support::reportFigures(state, inputBytes, folder);
    state.counters["stations"] = static_cast<double>(state.range(0));
    state.counters["gridding_s"] = benchmark::Counter(griddingSeconds, benchmark::Counter::kAvgIterations);
    fs::current_path(previous);
    fs::remove_all(folder);
}
BENCHMARK(BM_VosklarConversion)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
