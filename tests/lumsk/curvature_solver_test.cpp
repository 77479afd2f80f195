// The minimum-curvature iteration: the stencils (interior, data equation,
// every border class), the relaxation-factor control with its stop tests,
// and whole solves whose course can be worked out by hand.
#include "lumsk/curvature_solver.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "lumsk/curvature_stencils.hpp"
#include "lumsk/node_weights.hpp"
#include "lumsk/relaxation_control.hpp"
#include "lumsk/skewed_bands.hpp"

namespace {

using lumsk::RelaxationControl;
using lumsk::stencil::Around;
using lumsk::stencil::EdgePlace;

// A solver grid with its flags and node data records; every node free.
struct SolverGrid {
    SolverGrid(std::int32_t columns, std::int32_t rows, float start = 0.0f)
        : nx(columns),
          ny(rows),
          values(static_cast<std::size_t>(columns * rows), start),
          flags(static_cast<std::size_t>(columns * rows), 0),
          records(static_cast<std::size_t>(columns * rows) * 6, 0.0f) {}

    std::size_t node(std::int32_t col, std::int32_t row) const {
        return static_cast<std::size_t>((row - 1) * nx + (col - 1));
    }
    float& at(std::int32_t col, std::int32_t row) { return values[node(col, row)]; }
    std::int32_t& flag(std::int32_t col, std::int32_t row) { return flags[node(col, row)]; }
    Around around(std::int32_t col, std::int32_t row) { return Around(&values[node(col, row)], nx); }
    void fill(const std::function<float(float, float)>& surface) {
        for (std::int32_t row = 1; row <= ny; ++row) {
            for (std::int32_t col = 1; col <= nx; ++col) {
                at(col, row) = surface(static_cast<float>(col), static_cast<float>(row));
            }
        }
    }
    void fixBorder() {
        for (std::int32_t row = 1; row <= ny; ++row) {
            for (std::int32_t col = 1; col <= nx; ++col) {
                if (row <= 2 || row >= ny - 1 || col <= 2 || col >= nx - 1) {
                    flag(col, row) = lumsk::kFixedNode;
                }
            }
        }
    }

    struct Outcome {
        float err0 = -1.0f;
        float err = -1.0f;
        std::int32_t niter = -1;
    };
    Outcome solve(float tol, std::int32_t maxit, std::int32_t& risingSweeps) {
        Outcome out;
        lumsk::CURVMN(values, flags, records, nx, ny, tol, maxit, out.err0, out.err, out.niter, risingSweeps);
        return out;
    }

    std::int32_t nx;
    std::int32_t ny;
    std::vector<float> values;
    std::vector<std::int32_t> flags;
    std::vector<float> records;
};

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

// ---------------------------------------------------------------- stencils

TEST(CurvatureStencils, DivisorReciprocalsAreTheSystemsSinglePrecisionConstants) {
    EXPECT_EQ(bits(lumsk::stencil::kOneSeventh), 0x3E124924u);
    EXPECT_EQ(bits(lumsk::stencil::kOneSeventh) + 1, bits(static_cast<float>(1.0 / 7.0)));
    EXPECT_EQ(lumsk::stencil::kOneHalf, 0.5f);
    EXPECT_EQ(lumsk::stencil::kOneSixth, static_cast<float>(1.0 / 6.0));
    EXPECT_EQ(lumsk::stencil::kOneEighteenth, static_cast<float>(1.0 / 18.0));
    EXPECT_EQ(lumsk::stencil::kOneNineteenth, static_cast<float>(1.0 / 19.0));
    EXPECT_EQ(lumsk::stencil::kOneTwentieth, static_cast<float>(1.0 / 20.0));
}

// Quadratics with small integer coefficients, around node (0, 0): every
// neighbour value is a small integer, so the stencil sums are exact and only
// the final multiply by a reciprocal rounds.
const std::function<float(float, float)> kQuadratics[] = {
    [](float x, float y) { return 3.0f + 2.0f * x - y; },
    [](float x, float y) { return x * x + 4.0f + 0.0f * y; },
    [](float x, float y) { return 2.0f * y * y - 7.0f + x; },
    [](float x, float y) { return -3.0f * x * y + 1.0f; },
    [](float x, float y) { return 5.0f + x - 2.0f * y + x * x - 3.0f * x * y + 2.0f * y * y; },
};

TEST(CurvatureStencils, InteriorFreeStencilReturnsTheValueOfAnyQuadratic) {
    for (const auto& q : kQuadratics) {
        SolverGrid grid(5, 5);
        grid.fill([&](float col, float row) { return q(col - 3.0f, row - 3.0f); });
        const float target = lumsk::stencil::interiorFreeTarget(grid.around(3, 3));
        EXPECT_FLOAT_EQ(target, q(0.0f, 0.0f));  // exact sum times 0.05f: within an ulp
    }
}

// The data equation of an interior data node: when the neighbours and the
// mean data value (at the mean offset) lie on one quadratic surface, the
// target is the surface's value at the node, whatever the quadrant.
TEST(CurvatureStencils, DataEquationReturnsTheQuadraticForEveryQuadrant) {
    const float offsets[][2] = {{0.25f, 0.375f},  {-0.25f, 0.375f}, {-0.25f, -0.375f}, {0.25f, -0.375f},
                                {0.5f, 0.125f},   {-0.125f, 0.5f},  {0.0625f, -0.3f},  {-0.45f, -0.2f},
                                {0.3f, 0.0f},     {0.0f, -0.3f}};
    const std::int32_t expectedCode[] = {1, 2, 3, 4, 1, 2, 4, 3, 1, 4};
    for (std::size_t k = 0; k < std::size(offsets); ++k) {
        for (const auto& q : kQuadratics) {
            SCOPED_TRACE(testing::Message() << "offset " << offsets[k][0] << "," << offsets[k][1]);
            SolverGrid grid(7, 7);
            grid.fill([&](float col, float row) { return q(col - 4.0f, row - 4.0f); });
            const float dataValue = q(offsets[k][0], offsets[k][1]);
            const std::vector<float> point = {4.0f + offsets[k][0], 4.0f + offsets[k][1], dataValue};
            std::vector<float> records(49 * 6, 1.0f);  // nearest-point mode: exact offsets
            lumsk::ASSIGN(0.0f, 0.0f, 0.0f, 7, 7, records, 3, point);
            lumsk::BWTS(0, 0.0f, 1.0f, 7, 7, grid.values, grid.flags, records);
            ASSERT_EQ(grid.flag(4, 4), expectedCode[k]);
            const lumsk::stencil::DataNeighbours neighbours(7);
            const float target = lumsk::stencil::dataNodeTarget(grid.around(4, 4),
                                                                neighbours.forCode(expectedCode[k]),
                                                                &records[grid.node(4, 4) * 6]);
            // Some twenty float32 roundings on terms below 30.
            EXPECT_NEAR(target, q(0.0f, 0.0f), 2e-5f);
        }
    }
}

struct BorderCase {
    std::int32_t col;
    std::int32_t row;
    std::int32_t divisor;
};

// Every border node class of a 7 by 7 grid with the divisor of its stencil.
const BorderCase kBorderCases[] = {
    {1, 1, 2},  {2, 1, 6},  {4, 1, 7},  {6, 1, 6},  {7, 1, 2},    // row 1
    {1, 2, 6},  {2, 2, 18}, {4, 2, 19}, {6, 2, 18}, {7, 2, 6},    // row 2
    {1, 4, 7},  {2, 4, 19}, {6, 4, 19}, {7, 4, 7},                // rows 3 to NY - 2
    {1, 6, 6},  {2, 6, 18}, {4, 6, 19}, {6, 6, 18}, {7, 6, 6},    // row NY - 1
    {1, 7, 2},  {2, 7, 6},  {4, 7, 7},  {6, 7, 6},  {7, 7, 2},    // row NY
};

TEST(CurvatureStencils, BorderWeightsSumToTheirDivisorAndReproduceAPlane) {
    for (const BorderCase& c : kBorderCases) {
        SCOPED_TRACE(testing::Message() << "node " << c.col << "," << c.row);
        const EdgePlace column = lumsk::stencil::edgePlace(c.col, 7);
        const EdgePlace row = lumsk::stencil::edgePlace(c.row, 7);
        EXPECT_EQ(lumsk::stencil::borderDivisor(column, row), c.divisor);

        SolverGrid ones(7, 7, 1.0f);
        EXPECT_EQ(lumsk::stencil::borderWeightedSum(ones.around(c.col, c.row), column, row),
                  static_cast<float>(c.divisor));

        // A plane steep enough that any neighbour taken from the wrong place
        // (a wrapped row end, a swapped side) shows.
        const auto plane = [](float x, float y) { return 5.0f + 3.0f * x - 11.0f * y; };
        SolverGrid tilted(7, 7);
        tilted.fill(plane);
        const float node = plane(static_cast<float>(c.col), static_cast<float>(c.row));
        EXPECT_EQ(lumsk::stencil::borderWeightedSum(tilted.around(c.col, c.row), column, row),
                  static_cast<float>(c.divisor) * node);
        // The reciprocal multiply rounds once (and 1/7 sits an ulp low).
        EXPECT_NEAR(lumsk::stencil::borderTarget(tilted.around(c.col, c.row), column, row), node,
                    std::fabs(node) * 3e-7f);
    }
}

// ------------------------------------------------------ relaxation control

// Feeds sweeps whose ERR is given (largest change = ERR * current factor).
struct ControlRun {
    explicit ControlRun(std::int32_t& rising, float tol = 1.0E-4f) : control(tol, err0, err, niter, rising) {}

    bool sweep(float wantedErr) { return control.stopsAfter(wantedErr * control.omega()); }

    float err0 = -1.0f;
    float err = -2.0f;
    std::int32_t niter = -1;
    RelaxationControl control;
};

TEST(RelaxationControl, SecondRisingSweepLowersTheFactorByTheSteepnessOfTheRise) {
    // ERR 1.0, 1.05, 1.10: ratios 1.05 and about 1.048. The first rise is
    // counted; the second lowers omega by 0.1 * trunc(10.48 - 9.11) = 0.1.
    std::int32_t rising = 0;
    ControlRun run(rising);
    EXPECT_FALSE(run.sweep(1.0f));
    EXPECT_FALSE(run.sweep(1.05f));
    EXPECT_EQ(rising, 1);
    EXPECT_EQ(run.control.omega(), 1.3f);
    EXPECT_FALSE(run.sweep(1.10f));
    EXPECT_EQ(rising, 0);
    EXPECT_EQ(bits(run.control.omega()), bits(1.3f - 0.1f));  // one step, rounded to float32
    EXPECT_EQ(run.niter, 3);
    EXPECT_NEAR(run.err, 1.10f, 1e-6f);
}

TEST(RelaxationControl, ShallowSecondRiseClearsTheCountWithoutLoweringTheFactor) {
    // Ratio 1.005 then about 1.005: 10 * ratio - 9.11 < 1 cuts to 0 steps.
    std::int32_t rising = 0;
    ControlRun run(rising);
    run.sweep(1.0f);
    run.sweep(1.005f);
    EXPECT_EQ(rising, 1);
    run.sweep(1.010f);
    EXPECT_EQ(rising, 0);
    EXPECT_EQ(run.control.omega(), 1.3f);
}

TEST(RelaxationControl, SteepSecondRiseStopsLoweringAtOne) {
    // Ratio about 1.436: 14.36 - 9.11 = 5.25 gives 5 steps, 1.3 - 0.5 < 1.
    std::int32_t rising = 0;
    ControlRun run(rising);
    run.sweep(1.0f);
    run.sweep(1.01f);
    EXPECT_FALSE(run.sweep(1.45f));  // 1.45 * 1.3 is still within 1.5 times the best
    EXPECT_EQ(run.control.omega(), 1.0f);
}

TEST(RelaxationControl, RisingCountCarriesOverToTheNextSolve) {
    std::int32_t rising = 0;
    {
        ControlRun first(rising);
        first.sweep(1.0f);
        first.sweep(1.05f);
    }
    ASSERT_EQ(rising, 1);
    ControlRun second(rising);
    second.sweep(1.0f);
    second.sweep(1.05f);  // the first rise of this solve is the second counted
    EXPECT_EQ(rising, 0);
    EXPECT_EQ(bits(second.control.omega()), bits(1.3f - 0.1f));
    // Falling sweeps do not clear the count.
    second.sweep(0.5f);
    second.sweep(0.6f);
    EXPECT_EQ(rising, 1);
    second.sweep(0.55f);  // a fall: the count stands
    EXPECT_EQ(rising, 1);
    second.sweep(0.56f);  // the next rise is the second counted and clears it
    EXPECT_EQ(rising, 0);
}

TEST(RelaxationControl, SteadyFallRaisesTheFactorUpToTheCapOfOnePointSix) {
    std::int32_t rising = 0;
    ControlRun run(rising);
    float err = 1.0f;
    run.sweep(err);  // the first ratio is against 1.0E20: no change
    EXPECT_EQ(run.control.omega(), 1.3f);
    const float expected[] = {1.3f + 0.1f, 1.3f + 0.1f + 0.1f, 1.3f + 0.1f + 0.1f + 0.1f, 1.6f, 1.6f, 1.6f};
    for (const float omega : expected) {
        err *= 0.9f;  // ratio 0.9: between 0.8 and 1
        EXPECT_FALSE(run.sweep(err));
        EXPECT_EQ(bits(run.control.omega()), bits(omega));
    }
    // The third rise lands exactly on the float32 constant 1.6.
    EXPECT_EQ(bits(1.3f + 0.1f + 0.1f + 0.1f), bits(1.6f));
    // A fast fall (ratio below 0.8) leaves the factor alone.
    std::int32_t rising2 = 0;
    ControlRun fast(rising2);
    fast.sweep(1.0f);
    fast.sweep(0.5f);
    EXPECT_EQ(fast.control.omega(), 1.3f);
}

TEST(RelaxationControl, ZeroChangeStopsAtOnceWithoutSettingErr) {
    std::int32_t rising = 0;
    ControlRun run(rising);
    EXPECT_EQ(run.control.omega(), 1.3f);
    EXPECT_TRUE(run.control.stopsAfter(0.0f));
    EXPECT_EQ(run.niter, 1);
    EXPECT_EQ(run.err0, 0.0f);
    EXPECT_EQ(run.err, -2.0f);
}

TEST(RelaxationControl, DivergenceStopsBeyondOneAndAHalfTimesTheBest) {
    std::int32_t rising = 0;
    ControlRun run(rising);
    EXPECT_FALSE(run.control.stopsAfter(-2.0f));  // sign does not matter
    EXPECT_EQ(run.err0, 2.0f / 1.3f);
    EXPECT_FALSE(run.control.stopsAfter(3.0f));    // exactly 1.5 times: goes on
    EXPECT_TRUE(run.control.stopsAfter(3.0001f));
    EXPECT_EQ(run.niter, 3);
    EXPECT_EQ(run.err0, 2.0f / 1.3f);              // first sweep only
    EXPECT_NEAR(run.err, 3.0f / 1.3f, 1e-6f);      // from sweep 2: sweep 3 did not set it
}

TEST(RelaxationControl, StagnationStopsSixSweepsAfterTheBest) {
    std::int32_t rising = 0;
    ControlRun run(rising);
    EXPECT_FALSE(run.control.stopsAfter(1.0f));
    for (std::int32_t sweep = 2; sweep <= 6; ++sweep) {
        EXPECT_FALSE(run.control.stopsAfter(1.2f)) << "sweep " << sweep;
    }
    const float errBefore = run.err;
    EXPECT_TRUE(run.control.stopsAfter(1.2f));
    EXPECT_EQ(run.niter, 7);
    EXPECT_EQ(run.err, errBefore);
}

TEST(RelaxationControl, ConvergenceNeedsFiveSweepsWhateverTheTolerance) {
    std::int32_t rising = 0;
    ControlRun run(rising, -1000.0f);  // the tolerance's size is used
    for (std::int32_t sweep = 1; sweep <= 4; ++sweep) {
        EXPECT_FALSE(run.sweep(1.0f / static_cast<float>(sweep * sweep)));
    }
    EXPECT_TRUE(run.sweep(0.04f));
    EXPECT_EQ(run.niter, 5);
}

// ------------------------------------------------------------ whole solves

TEST(CurvatureSolver, GridsSmallerThanFiveByFiveAreLeftAlone) {
    for (const auto& size : {std::pair{4, 9}, std::pair{9, 4}, std::pair{0, 0}}) {
        SolverGrid grid(size.first, size.second, 2.0f);
        std::vector<float> before = grid.values;
        std::int32_t rising = 0;
        const SolverGrid::Outcome out = grid.solve(1.0E-4f, 30, rising);
        EXPECT_EQ(out.err0, -1.0f);
        EXPECT_EQ(out.err, -1.0f);
        EXPECT_EQ(out.niter, -1);
        EXPECT_EQ(grid.values, before);
    }
}

TEST(CurvatureSolver, NoSweepWithAnIterationLimitOfZero) {
    SolverGrid grid(6, 6);
    grid.fill([](float x, float y) { return x * y; });
    const std::vector<float> before = grid.values;
    std::int32_t rising = 0;
    const SolverGrid::Outcome out = grid.solve(1.0E-4f, 0, rising);
    EXPECT_EQ(out.niter, 0);
    EXPECT_EQ(out.err0, 0.0f);
    EXPECT_EQ(out.err, -1.0f);
    EXPECT_EQ(grid.values, before);
}

TEST(CurvatureSolver, LoneFreeNodeAmongFixedNodesRelaxesGeometrically) {
    // 5 by 5: node (3, 3) is the only interior node. With every other node
    // fixed at 0 its target is 0, so each sweep multiplies it by 1 - 1.3 and
    // ERR falls by 0.3 a sweep from 1.0: 0.3^8 = 6.6e-5 is the first ERR at
    // or below 1e-4, at sweep 9. The factor never changes (ratios 0.3).
    SolverGrid grid(5, 5);
    grid.fixBorder();
    grid.at(3, 3) = 1.0f;
    std::int32_t rising = 0;
    const SolverGrid::Outcome out = grid.solve(1.0E-4f, 100, rising);
    EXPECT_EQ(out.niter, 9);
    EXPECT_NEAR(out.err0, 1.0f, 1e-6f);
    EXPECT_NEAR(out.err, std::pow(0.3, 8), 1e-9);        // float32 rounding over nine sweeps
    EXPECT_NEAR(grid.at(3, 3), std::pow(-0.3, 9), 1e-9);
    EXPECT_EQ(rising, 0);

    // A loose tolerance cannot stop the solve before sweep 5.
    SolverGrid loose(5, 5);
    loose.fixBorder();
    loose.at(3, 3) = 1.0f;
    EXPECT_EQ(loose.solve(10.0f, 100, rising).niter, 5);

    // The iteration limit stops it too.
    SolverGrid limited(5, 5);
    limited.fixBorder();
    limited.at(3, 3) = 1.0f;
    EXPECT_EQ(limited.solve(1.0E-4f, 3, rising).niter, 3);
    EXPECT_NEAR(limited.at(3, 3), -0.027f, 1e-7f);
}

TEST(CurvatureSolver, LaterNodesOfASweepSeeTheNewValues) {
    // Two free interior nodes side by side among fixed zeros. Sweep 1:
    // (3, 3) goes from 1 to 1 - 1.3 = -0.3; (4, 3) then sees W = -0.3, so its
    // target is 0.05 * 8 * -0.3 = -0.12 and it goes to 1.3 * -0.12 = -0.156.
    SolverGrid grid(6, 5);
    grid.fixBorder();
    grid.flag(4, 3) = 0;
    grid.at(3, 3) = 1.0f;
    std::int32_t rising = 0;
    const SolverGrid::Outcome out = grid.solve(1.0E-4f, 1, rising);
    EXPECT_EQ(out.niter, 1);
    EXPECT_NEAR(grid.at(3, 3), -0.3f, 1e-7f);
    EXPECT_NEAR(grid.at(4, 3), -0.156f, 1e-7f);
    EXPECT_NEAR(out.err0, 1.0f, 1e-6f);  // the larger change, 1.3, over the factor
}

TEST(CurvatureSolver, InteriorDataNodeSettlesOnItsDataEquation) {
    // With every neighbour fixed at 0 the data equation of node (3, 3) gives
    // c5 * c6; for data 3.0 at offset (1/4, 1/4) that is 16 * 3/28 = 12/7.
    SolverGrid grid(5, 5);
    grid.fixBorder();
    std::vector<float> records(25 * 6, 0.0f);
    const std::vector<float> point = {3.25f, 3.25f, 3.0f};
    lumsk::ASSIGN(10.0f, 0.0f, 0.0f, 5, 5, records, 3, point);
    lumsk::BWTS(0, 10.0f, 0.0f, 5, 5, grid.values, grid.flags, records);
    ASSERT_EQ(grid.flag(3, 3), 1);
    grid.records = records;
    std::int32_t rising = 0;
    grid.solve(1.0E-4f, 100, rising);
    EXPECT_NEAR(grid.at(3, 3), 12.0f / 7.0f, 1e-4f);  // stopped within the tolerance
}

// A plain sweep, node after node, row after row, from the stencils: the
// order in which the iteration must see its neighbours' values.
void plainSweep(SolverGrid& grid, float omega) {
    const lumsk::stencil::DataNeighbours neighbours(grid.nx);
    for (std::int32_t row = 1; row <= grid.ny; ++row) {
        for (std::int32_t col = 1; col <= grid.nx; ++col) {
            const std::int32_t flag = grid.flag(col, row);
            if (flag < 0) continue;
            const EdgePlace colPlace = lumsk::stencil::edgePlace(col, grid.nx);
            const EdgePlace rowPlace = lumsk::stencil::edgePlace(row, grid.ny);
            float& z = grid.at(col, row);
            float target = 0.0f;
            if (colPlace != EdgePlace::middle || rowPlace != EdgePlace::middle) {
                target = lumsk::stencil::borderTarget(grid.around(col, row), colPlace, rowPlace);
            } else if (flag == 0) {
                target = lumsk::stencil::interiorFreeTarget(grid.around(col, row));
            } else {
                target = lumsk::stencil::dataNodeTarget(grid.around(col, row), neighbours.forCode(flag),
                                                        &grid.records[grid.node(col, row) * 6]);
            }
            z = z + omega * (target - z);
        }
    }
}

TEST(CurvatureSolver, SweepSeesNeighboursInRowByRowOrder) {
    // Every sweep must give, bit for bit, what a plain node-by-node sweep
    // gives on a rough grid with free, fixed and data nodes of every code.
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{5, 5}, {6, 9}, {13, 11}, {21, 14}, {9, 30}};
    for (const auto& [nx, ny] : sizes) {
        SCOPED_TRACE(testing::Message() << nx << " by " << ny);
        SolverGrid grid(nx, ny);
        std::uint32_t seed = 12345;
        const auto next = [&seed]() {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<float>(seed >> 8) / 16777216.0f;  // 0 to 1
        };
        for (std::size_t i = 0; i < grid.values.size(); ++i) {
            grid.values[i] = 10.0f * next() - 5.0f;
            const float pick = next();
            grid.flags[i] = pick < 0.1f ? -1 : (pick < 0.5f ? 0 : 1 + static_cast<std::int32_t>(next() * 3.99f));
            for (std::size_t w = 0; w < 6; ++w) {
                grid.records[i * 6 + w] = next() * (w == 5 ? 0.2f : 2.0f);
            }
        }
        SolverGrid reference = grid;
        std::int32_t rising = 0;
        for (std::int32_t sweep = 1; sweep <= 3; ++sweep) {
            grid.solve(0.0f, 1, rising);  // one sweep with the starting factor 1.3
            plainSweep(reference, 1.3f);
            for (std::size_t i = 0; i < grid.values.size(); ++i) {
                ASSERT_EQ(bits(grid.values[i]), bits(reference.values[i])) << "sweep " << sweep << " node " << i;
            }
        }
    }
}

TEST(CurvatureSolver, FixedInteriorStopsAfterOneSweepWhileTheBorderMoves) {
    SolverGrid grid(7, 6);
    grid.fill([](float x, float y) { return x * x + y; });
    for (std::int32_t row = 3; row <= 4; ++row) {
        for (std::int32_t col = 3; col <= 5; ++col) {
            grid.flag(col, row) = lumsk::kFixedNode;
        }
    }
    const std::vector<float> before = grid.values;
    std::int32_t rising = 0;
    SolverGrid::Outcome out;
    out.err = 7.0f;
    lumsk::CURVMN(grid.values, grid.flags, grid.records, 7, 6, 1.0E-4f, 30, out.err0, out.err, out.niter, rising);
    EXPECT_EQ(out.niter, 1);
    EXPECT_EQ(out.err0, 0.0f);
    EXPECT_EQ(out.err, 7.0f);
    EXPECT_NE(grid.at(1, 1), before[0]);  // the corner is not on a plane with x^2
    for (std::int32_t row = 3; row <= 4; ++row) {
        for (std::int32_t col = 3; col <= 5; ++col) {
            EXPECT_EQ(grid.at(col, row), before[grid.node(col, row)]);
        }
    }
}

TEST(CurvatureSolver, FlatGridStopsAfterOneSweep) {
    SolverGrid grid(8, 6, 1.0f);
    std::int32_t rising = 0;
    const SolverGrid::Outcome out = grid.solve(1.0E-4f, 30, rising);
    EXPECT_EQ(out.niter, 1);
    EXPECT_EQ(out.err0, 0.0f);
    EXPECT_EQ(out.err, -1.0f);
}

TEST(CurvatureSolver, ConvergesToTheSurfaceThroughFixedData) {
    // A 9 by 9 grid with a plane fixed on its border rows and columns and a
    // flat start inside: the free interior must find the plane again.
    SolverGrid grid(9, 9);
    const auto plane = [](float x, float y) { return 2.0f * x + y; };
    grid.fill(plane);
    grid.fixBorder();
    for (std::int32_t row = 3; row <= 7; ++row) {
        for (std::int32_t col = 3; col <= 7; ++col) {
            grid.at(col, row) = 0.0f;
        }
    }
    std::int32_t rising = 0;
    const SolverGrid::Outcome out = grid.solve(1.0E-4f, 512, rising);
    EXPECT_GT(out.niter, 5);
    EXPECT_LE(out.err, 1.0E-4f);
    for (std::int32_t row = 3; row <= 7; ++row) {
        for (std::int32_t col = 3; col <= 7; ++col) {
            // Stopped at a last correction of 1e-4: the remaining error is a
            // few times that.
            EXPECT_NEAR(grid.at(col, row), plane(static_cast<float>(col), static_cast<float>(row)), 2e-3f);
        }
    }
}

TEST(CurvatureSolver, RunawayAndNaNChangesAreNotCounted) {
    for (const float start : {1.0E9f, std::numeric_limits<float>::quiet_NaN()}) {
        SolverGrid grid(5, 5);
        grid.fixBorder();
        grid.at(3, 3) = start;
        std::int32_t rising = 0;
        const SolverGrid::Outcome out = grid.solve(1.0E-4f, 30, rising);
        EXPECT_EQ(out.niter, 1);  // nothing counted: largest change 0
        EXPECT_EQ(out.err0, 0.0f);
        if (!std::isnan(start)) {
            EXPECT_EQ(grid.at(3, 3), start + 1.3f * (0.0f - start));  // the node still moved
        }
    }
}

TEST(CurvatureSolver, DataNodesOnTheBorderMoveLikeFreeNodes) {
    // The same grid twice, once with data codes (and records that would pull
    // hard) on nodes of the two outer rows and columns: identical results.
    SolverGrid free(8, 7);
    free.fill([](float x, float y) { return std::sin(x) * std::cos(0.7f * y); });
    SolverGrid coded = free;
    const std::int32_t places[][2] = {{4, 2}, {7, 4}, {2, 5}, {1, 1}, {5, 7}};
    std::int32_t code = 1;
    for (const auto& place : places) {
        coded.flag(place[0], place[1]) = code;
        code = code % 4 + 1;
        for (std::size_t w = 0; w < 6; ++w) {
            coded.records[coded.node(place[0], place[1]) * 6 + w] = 50.0f;
        }
    }
    std::int32_t risingFree = 0;
    std::int32_t risingCoded = 0;
    const SolverGrid::Outcome a = free.solve(1.0E-4f, 40, risingFree);
    const SolverGrid::Outcome b = coded.solve(1.0E-4f, 40, risingCoded);
    EXPECT_EQ(a.niter, b.niter);
    for (std::size_t i = 0; i < free.values.size(); ++i) {
        EXPECT_EQ(bits(free.values[i]), bits(coded.values[i])) << "node " << i;
    }
}

// The block loop lends one band storage to every solve of a call. Each solve
// must come out exactly as with fresh storage, whatever the grids before it
// left behind (larger grids, data coefficients where it has none, bands of
// one or two rows).
TEST(CurvatureSolver, ReusedBandStorageGivesWhatFreshStorageGives) {
    lumsk::SkewedBands shared;
    std::uint32_t seed = 11;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f;
    };
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{60, 41}, {23, 21}, {30, 38}, {9, 6}, {44, 22}};
    for (std::size_t k = 0; k < std::size(sizes); ++k) {
        const auto [nx, ny] = sizes[k];
        SCOPED_TRACE(testing::Message() << nx << " by " << ny);
        SolverGrid grid(nx, ny);
        // Dense data on the first grid, sparse on the later ones.
        const float dataShare = k == 0 ? 0.6f : 0.05f;
        for (std::size_t n = 0; n < grid.values.size(); ++n) {
            grid.values[n] = 10.0f * next();
            if (next() < dataShare) {
                grid.flags[n] = 1 + static_cast<std::int32_t>(next() * 4.0f);
                for (std::size_t w = 0; w < 6; ++w) grid.records[n * 6 + w] = 0.2f + next();
            }
        }
        SolverGrid fresh = grid;
        std::int32_t risingFresh = 0;
        std::int32_t risingShared = 0;
        const SolverGrid::Outcome expected = fresh.solve(0.0f, 3, risingFresh);
        SolverGrid::Outcome got;
        lumsk::CURVMN(grid.values, grid.flags, grid.records, nx, ny, 0.0f, 3, got.err0, got.err, got.niter,
                      risingShared, shared);
        EXPECT_EQ(got.niter, expected.niter);
        EXPECT_EQ(bits(got.err0), bits(expected.err0));
        EXPECT_EQ(bits(got.err), bits(expected.err));
        for (std::size_t n = 0; n < grid.values.size(); ++n) {
            ASSERT_EQ(bits(grid.values[n]), bits(fresh.values[n])) << "node " << n;
        }
    }
}

}  // namespace
