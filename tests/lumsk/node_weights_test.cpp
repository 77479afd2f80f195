// Tying points to nodes: nearest-node rounding, dropping outside the grid,
// fixed nodes against data nodes, quadrant codes and the data-equation
// coefficients of an interior data node.
#include "lumsk/node_weights.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr std::size_t kWords = 6;

// One solver grid with its records, flags and values, as a solve's caller
// sets them up before ASSIGN.
struct SolverGrid {
    SolverGrid(std::int32_t columns, std::int32_t rows, float fill, float start = 0.0f)
        : nx(columns),
          ny(rows),
          records(static_cast<std::size_t>(columns * rows) * kWords, fill),
          flags(static_cast<std::size_t>(columns * rows), 0),
          values(static_cast<std::size_t>(columns * rows), start) {}

    std::size_t node(std::int32_t col, std::int32_t row) const {
        return static_cast<std::size_t>((row - 1) * nx + (col - 1));
    }
    float word(std::int32_t col, std::int32_t row, std::size_t w) const {
        return records[node(col, row) * kWords + (w - 1)];
    }
    std::int32_t flag(std::int32_t col, std::int32_t row) const { return flags[node(col, row)]; }
    float value(std::int32_t col, std::int32_t row) const { return values[node(col, row)]; }

    void assign(float weps, const std::vector<float>& points, float xoff = 0.0f, float yoff = 0.0f) {
        lumsk::ASSIGN(weps, xoff, yoff, nx, ny, records, static_cast<std::int32_t>(points.size()), points);
    }
    void weights(std::int32_t setz, float wmode, float empty) {
        lumsk::BWTS(setz, wmode, empty, nx, ny, values, flags, records);
    }

    std::int32_t nx;
    std::int32_t ny;
    std::vector<float> records;
    std::vector<std::int32_t> flags;
    std::vector<float> values;
};

// Nearest-point mode (WEPS <= 0) keeps the point's own offset in word 2, so
// it shows exactly where a point went. Fill 1.0: above any kept d2.
constexpr float kNearestFill = 1.0f;

TEST(NodeWeights, HalfWayPointsGoToTheLowerNodeUpToOneTenThousandthPast) {
    SolverGrid grid(10, 10, kNearestFill);
    grid.assign(0.0f, {7.5f, 3.0f, 1.0f});
    EXPECT_EQ(grid.word(7, 3, 1), 0.25f);  // d2 = 0.5^2
    EXPECT_EQ(grid.word(7, 3, 2), 0.5f);
    EXPECT_EQ(grid.word(8, 3, 1), kNearestFill);

    SolverGrid justPast(10, 10, kNearestFill);
    justPast.assign(0.0f, {7.50005f, 3.0f, 1.0f});
    EXPECT_NE(justPast.word(7, 3, 1), kNearestFill);
    EXPECT_EQ(justPast.word(8, 3, 1), kNearestFill);

    SolverGrid further(10, 10, kNearestFill);
    further.assign(0.0f, {7.5002f, 3.0f, 1.0f});
    EXPECT_EQ(further.word(7, 3, 1), kNearestFill);
    EXPECT_NEAR(further.word(8, 3, 2), -0.4998f, 1e-6f);  // 7.5002 - 8, up to float32 rounding

    // Rows round alike, after the offsets are taken off.
    SolverGrid rows(10, 10, kNearestFill);
    rows.assign(0.0f, {102.0f, 57.5f, 1.0f}, 100.0f, 50.0f);
    EXPECT_EQ(rows.word(2, 7, 3), 0.5f);
}

TEST(NodeWeights, PointsOutsideTheGridAreDropped) {
    SolverGrid grid(6, 4, kNearestFill);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    grid.assign(0.0f, {0.5f, 2.0f, 1.0f,       // half-way below column 1: column 0
                       0.50005f, 2.0f, 1.0f,   // still column 0
                       3.0f, 4.5002f, 1.0f,    // row 5 of 4
                       7.0f, 2.0f, 1.0f,       // column 7 of 6
                       nan, 2.0f, 1.0f,        // no position at all
                       -3.0e9f, 2.0f, 1.0f,    // beyond any node number
                       3.0f, 1.0e30f, 1.0f});
    for (float w : grid.records) {
        ASSERT_EQ(w, kNearestFill);
    }

    SolverGrid edge(6, 4, kNearestFill);
    edge.assign(0.0f, {6.4f, 4.0f, 1.0f});
    EXPECT_NEAR(edge.word(6, 4, 2), 0.4f, 1e-6f);  // 6.4 - 6 in float32
}

TEST(NodeWeights, OnlyWholePointTriplesAreRead) {
    SolverGrid grid(5, 5, kNearestFill);
    std::vector<float> points = {2.0f, 2.0f, 9.0f, 3.0f, 3.0f};  // second triple incomplete
    lumsk::ASSIGN(0.0f, 0.0f, 0.0f, 5, 5, grid.records, 5, points);
    EXPECT_EQ(grid.word(2, 2, 6), 9.0f);
    EXPECT_EQ(grid.word(3, 3, 1), kNearestFill);

    SolverGrid untouched(5, 5, kNearestFill);
    lumsk::ASSIGN(0.0f, 0.0f, 0.0f, 5, 5, untouched.records, 2, points);  // fewer than 3 words
    EXPECT_EQ(untouched.word(2, 2, 1), kNearestFill);
}

TEST(NodeWeights, WeightedSumsAccumulateOverCallsAndAverageToAFixedNode) {
    // Two points 0.3 either side of node (3, 2): w = 1 / (0.09 + 0.1) each,
    // the offsets cancel, and the node is fixed at the mean value.
    SolverGrid grid(5, 5, 0.0f, -7.0f);
    grid.assign(0.1f, {3.3f, 2.0f, 2.0f});
    grid.assign(0.1f, {2.7f, 2.0f, 4.0f});
    const float w = 1.0f / (0.3f * 0.3f + 0.1f);
    EXPECT_NEAR(grid.word(3, 2, 1), 2.0f * w, 1e-5f);
    EXPECT_NEAR(grid.word(3, 2, 2), 0.0f, 1e-5f);
    EXPECT_NEAR(grid.word(3, 2, 6), 6.0f * w, 1e-5f);

    grid.weights(0, 0.1f, 0.0f);
    EXPECT_EQ(grid.flag(3, 2), lumsk::kFixedNode);
    EXPECT_NEAR(grid.value(3, 2), 3.0f, 2e-6f);  // float32 rounding of the weighted mean
    EXPECT_EQ(grid.flag(2, 2), lumsk::kFreeNode);
    EXPECT_EQ(grid.value(2, 2), -7.0f);
}

TEST(NodeWeights, NearestModeKeepsTheClosestPointAndTheEarlierOnATie) {
    SolverGrid grid(5, 5, kNearestFill);
    // Three points 0.25 from node (3, 3): the first stays.
    grid.assign(0.0f, {3.25f, 3.0f, 1.0f, 2.75f, 3.0f, 2.0f, 3.0f, 3.25f, 3.0f});
    EXPECT_EQ(grid.word(3, 3, 6), 1.0f);
    EXPECT_EQ(grid.word(3, 3, 2), 0.25f);
    // A closer point in a later buffer replaces it.
    grid.assign(0.0f, {3.0f, 3.125f, 5.0f});
    EXPECT_EQ(grid.word(3, 3, 1), 0.015625f);
    EXPECT_EQ(grid.word(3, 3, 2), 0.0f);
    EXPECT_EQ(grid.word(3, 3, 3), 0.125f);
    EXPECT_EQ(grid.word(3, 3, 6), 5.0f);
}

TEST(NodeWeights, FixedNodeThresholdAndQuadrantCodes) {
    struct Case {
        float dx;
        float dy;
        std::int32_t flag;
    };
    // d2 = 0.0018 fixes the node; d2 = 0.0032 makes a data node.
    const Case cases[] = {{0.03f, 0.03f, -1},   {0.04f, 0.04f, 1},  {-0.04f, 0.04f, 2},
                          {-0.04f, -0.04f, 3}, {0.04f, -0.04f, 4}, {0.0f, 0.0f, -1},
                          {0.3f, 0.0f, 1},     {0.0f, -0.3f, 4}};
    for (const float weps : {0.1f, 0.0f}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "weps " << weps << " offset " << c.dx << "," << c.dy);
            const float fill = weps > 0.0f ? 0.0f : kNearestFill;
            SolverGrid grid(7, 7, fill, -5.0f);
            grid.assign(weps, {4.0f + c.dx, 4.0f + c.dy, 12.0f});
            grid.weights(0, weps, fill);
            EXPECT_EQ(grid.flag(4, 4), c.flag);
            // A fixed node always takes the data; with ISETZ = 0 a data node
            // keeps its start value.
            EXPECT_NEAR(grid.value(4, 4), c.flag < 0 ? 12.0f : -5.0f, 1e-5f);
        }
    }
}

TEST(NodeWeights, DataNodesTakeTheMeanValueOnlyWhenAsked) {
    SolverGrid grid(7, 7, 0.0f, -5.0f);
    grid.assign(0.1f, {4.25f, 3.75f, 12.0f});
    grid.weights(1, 0.1f, 0.0f);
    EXPECT_EQ(grid.flag(4, 4), 4);
    EXPECT_NEAR(grid.value(4, 4), 12.0f, 1e-5f);
    EXPECT_EQ(grid.value(3, 4), -5.0f);  // no data: untouched
}

// Hand-worked coefficients: for mean offset sizes xi and eta,
//   A = xi (xi + 2 eta + 1), B = eta^2, b5 = 4 / (A + B + eta),
//   e = b5 A / 2 - 1, f = b5 xi, g = 2e, h = (eta + 1) f - g,
//   c1 = h + e - f, c2 = f + 2 - b5 B - g - h, c3 = h, c4 = e, c5 = b5 z,
//   c6 = 1 / (c1 + 1 + c2 + h + e + b5).
// xi = eta = 1/4: b5 = 16/3, e = 1/6, f = 4/3, h = 4/3,
//   c = (1/6, 4/3, 4/3, 1/6, 16/3 z, 3/28).
// xi = 1/2, eta = 1/4: b5 = 64/21, e = 11/21, f = 32/21, h = 18/21,
//   c = (-3/21, 30/21, 18/21, 11/21, 64/21 z, 21/141).
// xi = 1/4, eta = 1/2: b5 = 64/21, e = -3/21, f = 16/21, h = 30/21,
//   c = (11/21, 18/21, 30/21, -3/21, 64/21 z, 21/141).
// (An offset of -1/2 cannot occur: a point half-way goes to the lower node.)
TEST(NodeWeights, InteriorDataNodeCoefficientsMatchHandWorkedValues) {
    struct Case {
        float dx;
        float dy;
        double c[6];
    };
    const float z = 3.0f;
    const Case cases[] = {
        {0.25f, 0.25f, {1.0 / 6, 4.0 / 3, 4.0 / 3, 1.0 / 6, 16.0, 3.0 / 28}},
        {-0.25f, 0.25f, {1.0 / 6, 4.0 / 3, 4.0 / 3, 1.0 / 6, 16.0, 3.0 / 28}},
        {0.5f, 0.25f, {-3.0 / 21, 30.0 / 21, 18.0 / 21, 11.0 / 21, 64.0 / 7, 21.0 / 141}},
        {0.25f, -0.25f, {1.0 / 6, 4.0 / 3, 4.0 / 3, 1.0 / 6, 16.0, 3.0 / 28}},
        {-0.25f, 0.5f, {11.0 / 21, 18.0 / 21, 30.0 / 21, -3.0 / 21, 64.0 / 7, 21.0 / 141}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.dx << "," << c.dy);
        SolverGrid grid(7, 6, kNearestFill);
        grid.assign(0.0f, {4.0f + c.dx, 3.0f + c.dy, z});
        grid.weights(1, 0.0f, kNearestFill);
        ASSERT_GT(grid.flag(4, 3), 0);
        for (std::size_t w = 1; w <= 6; ++w) {
            // A handful of float32 roundings on values below 10.
            EXPECT_NEAR(grid.word(4, 3, w), c.c[w - 1], 4e-6) << "word " << w;
        }
        EXPECT_EQ(grid.value(4, 3), z);
    }
}

TEST(NodeWeights, DataNodesInTheOuterTwoRowsAndColumnsGetNoCoefficients) {
    // 7 by 7: the interior is columns and rows 3 to 5.
    const std::int32_t places[][2] = {{4, 2}, {2, 4}, {6, 4}, {4, 6}, {1, 1}, {7, 7}};
    for (const auto& place : places) {
        SCOPED_TRACE(testing::Message() << "node " << place[0] << "," << place[1]);
        SolverGrid grid(7, 7, kNearestFill);
        grid.assign(0.0f, {static_cast<float>(place[0]) - 0.375f, static_cast<float>(place[1]) + 0.25f, 8.0f});
        grid.weights(0, 0.0f, kNearestFill);
        EXPECT_EQ(grid.flag(place[0], place[1]), 2);
        // The step-1 record stands: squared length, offsets, fill, fill, value.
        EXPECT_EQ(grid.word(place[0], place[1], 1), 0.203125f);
        EXPECT_EQ(grid.word(place[0], place[1], 2), -0.375f);
        EXPECT_EQ(grid.word(place[0], place[1], 3), 0.25f);
        EXPECT_EQ(grid.word(place[0], place[1], 4), kNearestFill);
        EXPECT_EQ(grid.word(place[0], place[1], 5), kNearestFill);
        EXPECT_EQ(grid.word(place[0], place[1], 6), 8.0f);
    }
}

}  // namespace
