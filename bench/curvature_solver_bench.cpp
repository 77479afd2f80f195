// Cost of the minimum-curvature iteration per node and sweep on a block of
// the largest size the library solves (32000 nodes), with no data and with a
// quarter of the nodes holding data, so that the speed of the block solves
// of a large grid can be judged; and the band sweeps alone, border nodes
// included, in each of their instruction-set builds (0 baseline, 1 AVX2,
// 2 AVX-512).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "lumsk/curvature_band_kernel.hpp"
#include "lumsk/curvature_solver.hpp"
#include "lumsk/node_weights.hpp"
#include "lumsk/skewed_bands.hpp"

namespace {

constexpr std::int32_t kColumns = 180;
constexpr std::int32_t kRows = 177;
constexpr std::int32_t kSweeps = 50;

struct Block {
    explicit Block(std::int32_t pointsPerFourNodes) {
        const std::size_t nodes = static_cast<std::size_t>(kColumns * kRows);
        values.assign(nodes, 0.0f);
        flags.assign(nodes, 0);
        records.assign(nodes * 6, 0.0f);
        std::vector<float> points;
        std::uint32_t seed = 7;
        const auto next = [&seed]() {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<float>(seed >> 8) / 16777216.0f;
        };
        const std::int32_t count = static_cast<std::int32_t>(nodes / 4) * pointsPerFourNodes;
        for (std::int32_t k = 0; k < count; ++k) {
            const float x = 1.0f + next() * static_cast<float>(kColumns - 1);
            const float y = 1.0f + next() * static_cast<float>(kRows - 1);
            points.insert(points.end(), {x, y, std::sin(0.1f * x) + 0.05f * y});
        }
        for (std::size_t i = 0; i < nodes; ++i) {
            values[i] = std::sin(0.37f * static_cast<float>(i));
        }
        lumsk::ASSIGN(10.0f, 0.0f, 0.0f, kColumns, kRows, records, static_cast<std::int32_t>(points.size()), points);
        lumsk::BWTS(0, 10.0f, 0.0f, kColumns, kRows, values, flags, records);
    }

    std::vector<float> values;
    std::vector<std::int32_t> flags;
    std::vector<float> records;
};

void solveBlock(benchmark::State& state) {
    const Block start(static_cast<std::int32_t>(state.range(0)));
    std::int32_t rising = 0;
    std::int64_t sweeps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<float> values = start.values;
        state.ResumeTiming();
        float err0 = 0.0f;
        float err = 0.0f;
        std::int32_t niter = 0;
        // A tolerance of 0 and a block far from its solution: every sweep runs.
        lumsk::CURVMN(values, start.flags, start.records, kColumns, kRows, 0.0f, kSweeps, err0, err, niter, rising);
        sweeps += niter;
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["ns_per_node_sweep"] = benchmark::Counter(
        static_cast<double>(sweeps) * kColumns * kRows, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(solveBlock)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void vectorBandSweep(benchmark::State& state) {
    const std::int64_t build = state.range(0);
    if ((build == 1 && !lumsk::hasAvx2Kernel()) || (build == 2 && !lumsk::hasAvx512Kernel())) {
        state.SkipWithError("this processor lacks the instruction set of that build");
        return;
    }
    const lumsk::SweepBand sweepBand = build == 2   ? &lumsk::avx512::sweepBand
                                       : build == 1 ? &lumsk::avx2::sweepBand
                                                    : &lumsk::baseline::sweepBand;
    const Block start(1);
    lumsk::SkewedBands bands(start.values.data(), start.flags.data(), start.records.data(), kColumns, kRows);
    lumsk::LaneLargest largest;
    std::int64_t nodes = 0;
    for (auto _ : state) {
        for (std::int32_t band = 0; band < bands.bandCount(); ++band) {
            sweepBand(lumsk::sweepOfBand(bands, band, start.flags.data()), 1.3f, largest);
        }
        nodes += static_cast<std::int64_t>(kColumns) * kRows;
        benchmark::DoNotOptimize(largest.size);
    }
    state.counters["ns_per_node_sweep"] =
        benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(vectorBandSweep)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
