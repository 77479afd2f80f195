// The banded vector sweep of the minimum-curvature iteration: it must give,
// bit for bit, what a plain node-by-node sweep in row order gives with the
// scalar stencils, on grids whose row counts fall just below, on and just
// above the band edges, and every instruction-set build of its body must
// agree.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "lumsk/curvature_band_kernel.hpp"
#include "lumsk/curvature_solver.hpp"
#include "lumsk/curvature_stencils.hpp"
#include "lumsk/skewed_bands.hpp"

namespace {

using lumsk::SkewedBands;
using lumsk::stencil::Around;
using lumsk::stencil::edgePlace;
using lumsk::stencil::EdgePlace;

// A rough grid with fixed, free and data nodes of every quadrant code; a
// tenth of the nodes fixed and the given share holding data.
struct RoughGrid {
    RoughGrid(std::int32_t columns, std::int32_t rows, std::uint32_t seed, float dataShare = 0.5f)
        : nx(columns), ny(rows) {
        const std::size_t nodes = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
        const auto next = [&seed]() {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<float>(seed >> 8) / 16777216.0f;  // 0 to 1
        };
        for (std::size_t i = 0; i < nodes; ++i) {
            values.push_back(10.0f * next() - 5.0f);
            const float pick = next();
            const bool data = pick >= 1.0f - dataShare;
            flags.push_back(pick < 0.1f ? -1 : (data ? 1 + static_cast<std::int32_t>(next() * 3.99f) : 0));
            for (int w = 0; w < 6; ++w) {
                records.push_back(next() * (w == 5 ? 0.2f : 2.0f));
            }
        }
    }

    std::int32_t nx;
    std::int32_t ny;
    std::vector<float> values;
    std::vector<std::int32_t> flags;
    std::vector<float> records;
};

bool isInterior(std::int32_t col, std::int32_t row, std::int32_t nx, std::int32_t ny) {
    return col >= 3 && col <= nx - 2 && row >= 3 && row <= ny - 2;
}

// The sweep as the iteration defines it: row 1 to NY, each row column 1 to
// NX, every node updated at once. Returns the largest counted change size.
float plainSweep(RoughGrid& g, float omega) {
    const lumsk::stencil::DataNeighbours neighbours(g.nx);
    float largest = 0.0f;
    for (std::int32_t row = 1; row <= g.ny; ++row) {
        for (std::int32_t col = 1; col <= g.nx; ++col) {
            const std::size_t i = static_cast<std::size_t>((row - 1) * g.nx + col - 1);
            const std::int32_t flag = g.flags[i];
            if (flag < 0) continue;
            const Around around(&g.values[i], g.nx);
            const bool interior = isInterior(col, row, g.nx, g.ny);
            float target = 0.0f;
            if (!interior) {
                target = lumsk::stencil::borderTarget(around, edgePlace(col, g.nx), edgePlace(row, g.ny));
            } else if (flag == 0) {
                target = lumsk::stencil::interiorFreeTarget(around);
            } else {
                target = lumsk::stencil::dataNodeTarget(around, neighbours.forCode(flag), &g.records[i * 6]);
            }
            const float old = g.values[i];
            g.values[i] = old + omega * (target - old);
            const float size = std::fabs(g.values[i] - old);
            if (interior && size < 1.0E8f && size >= largest) largest = size;
        }
    }
    return largest;
}

void expectSameBits(const std::vector<float>& actual, const std::vector<float>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        ASSERT_EQ(std::bit_cast<std::uint32_t>(actual[i]), std::bit_cast<std::uint32_t>(expected[i])) << "node " << i;
    }
}

// Interior row counts (NY - 4) around the band height of 32: one and two
// rows, a short band, exactly one and two full bands, a full band and four
// rows more, one row more than one, two or three full bands (rows shared
// evenly); and grids narrower than a band's wavefront ramp.
const std::pair<std::int32_t, std::int32_t> kSizes[] = {{5, 5},   {6, 19},  {40, 35}, {37, 36}, {70, 37},
                                                        {9, 68},  {35, 69}, {5, 40},  {41, 6},  {7, 7}, {12, 101}};

TEST(CurvatureBands, EverySweepMatchesAPlainRowByRowSweep) {
    std::uint32_t seed = 99;
    // Dense data, and data so sparse that many steps have none in reach.
    for (const float dataShare : {0.5f, 0.03f}) {
        for (const auto& [nx, ny] : kSizes) {
            SCOPED_TRACE(testing::Message() << nx << " by " << ny << ", data share " << dataShare);
            RoughGrid grid(nx, ny, seed++, dataShare);
            RoughGrid reference = grid;
            std::int32_t rising = 0;
            for (int sweep = 1; sweep <= 3; ++sweep) {
                float err0 = -1.0f;
                float err = -1.0f;
                std::int32_t niter = -1;
                // One sweep per call, each with the starting factor 1.3.
                lumsk::CURVMN(grid.values, grid.flags, grid.records, nx, ny, 0.0f, 1, err0, err, niter, rising);
                const float largest = plainSweep(reference, 1.3f);
                expectSameBits(grid.values, reference.values);
                EXPECT_EQ(niter, 1);
                EXPECT_EQ(std::bit_cast<std::uint32_t>(err0), std::bit_cast<std::uint32_t>(std::fabs(largest / 1.3f)));
            }
        }
    }
}

TEST(CurvatureBands, StorageGivesBackTheGridAndKeepsItsHaloCopiesEqual) {
    for (const auto& [nx, ny] : kSizes) {
        SCOPED_TRACE(testing::Message() << nx << " by " << ny);
        const RoughGrid grid(nx, ny, 5);
        SkewedBands bands(grid.values.data(), grid.flags.data(), grid.records.data(), nx, ny);
        // Refreshing the halo copies from their owners changes nothing.
        for (std::int32_t band = 0; band < bands.bandCount(); ++band) bands.passUp(band);
        bands.refreshAbove();
        std::vector<float> out(grid.values.size(), 0.0f);
        bands.copyOut(out.data());
        expectSameBits(out, grid.values);
        EXPECT_EQ(bands.bandCount(), (ny - 4 + 31) / 32);
    }
}

// Three sweeps on one storage, as a solve makes them, so that the halo
// copies carry from band to band and from sweep to sweep.
TEST(CurvatureBands, EveryBuildGivesThePlainSweepsBitsSweepAfterSweep) {
    struct Build {
        const char* name;
        bool available;
        lumsk::SweepBand sweep;
    };
    const Build builds[] = {{"AVX2", lumsk::hasAvx2Kernel(), &lumsk::avx2::sweepBand},
                            {"AVX-512", lumsk::hasAvx512Kernel(), &lumsk::avx512::sweepBand}};
    RoughGrid grid(60, 73, 17);
    grid.values[700] = 3.0E30f;  // a runaway node: its change is left out of the largest
    const SkewedBands start(grid.values.data(), grid.flags.data(), grid.records.data(), grid.nx, grid.ny);
    constexpr int kSweeps = 3;
    const auto sweep = [&](lumsk::SweepBand sweepBand, lumsk::LaneLargest& largest) {
        SkewedBands bands = start;
        for (int pass = 0; pass < kSweeps; ++pass) {
            for (std::int32_t band = 0; band < bands.bandCount(); ++band) {
                sweepBand(lumsk::sweepOfBand(bands, band, grid.flags.data()), 1.4f, largest);
                bands.passUp(band);
            }
            bands.refreshAbove();
        }
        std::vector<float> out(grid.values.size());
        bands.copyOut(out.data());
        return out;
    };
    RoughGrid reference = grid;
    for (int pass = 0; pass < kSweeps; ++pass) plainSweep(reference, 1.4f);
    lumsk::LaneLargest baselineLargest;
    const std::vector<float> baseline = sweep(&lumsk::baseline::sweepBand, baselineLargest);
    expectSameBits(baseline, reference.values);
    EXPECT_GT(baselineLargest.overall(), 0.0f);
    EXPECT_LT(baselineLargest.overall(), 1.0E8f);
    for (const Build& build : builds) {
        if (!build.available) continue;
        SCOPED_TRACE(build.name);
        lumsk::LaneLargest largest;
        expectSameBits(sweep(build.sweep, largest), baseline);
        for (std::int32_t lane = 0; lane < SkewedBands::kLanes; ++lane) {
            EXPECT_EQ(std::bit_cast<std::uint32_t>(largest.size[lane]),
                      std::bit_cast<std::uint32_t>(baselineLargest.size[lane]));
        }
    }
}

}  // namespace
