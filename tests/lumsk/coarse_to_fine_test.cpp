// Interpolation of the coarse grid onto blocks, and the continuity of a block
// with its left and lower neighbours.
#include "lumsk/coarse_to_fine.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "lumsk/block_test_support.hpp"
#include "lumsk/status.hpp"

namespace {

// A surface linear in x and y, given in padded node units.
float plane(float x, float y) { return 2.0f + 0.75f * x - 0.5f * y; }

// The coarse grid that the regional solve makes for `layout` (K = 4, coarse
// node 3 on padded node 1), with the plane's values at its nodes.
void setLinearCoarseGrid(lumsk::MincState& state, std::int32_t NCX, std::int32_t NCY) {
    lumsk::CoarseGrid& coarse = state.settings.coarse;
    coarse.K = 4;
    coarse.NCX = NCX;
    coarse.NCY = NCY;
    coarse.columnOffset = 1 - 2 * coarse.K;
    coarse.rowOffset = 1 - 2 * coarse.K;
    for (std::int32_t j = 1; j <= NCY; ++j) {
        for (std::int32_t i = 1; i <= NCX; ++i) {
            const float x = static_cast<float>((i - 1) * coarse.K + coarse.columnOffset);
            const float y = static_cast<float>((j - 1) * coarse.K + coarse.rowOffset);
            coarse.values[static_cast<std::size_t>((j - 1) * NCX + i - 1)] = plane(x, y);
        }
    }
}

TEST(Cell3, ReproducesCubicsAlongBothAxes) {
    // z = x^3 / 8 - y^2 + 3 on a 6 x 6 coarse grid of unit spacing; the patch
    // of cell (2, 3) at K = 4 samples it at quarter steps, its last row and
    // column on the next coarse nodes. The cubic through four nodes
    // reproduces any cubic; tolerance: float32 rounding of values up to ~30.
    const std::int32_t NCX = 6;
    std::vector<float> coarse(36);
    auto surface = [](float x, float y) { return x * x * x / 8.0f - y * y + 3.0f; };
    for (std::int32_t j = 1; j <= 6; ++j)
        for (std::int32_t i = 1; i <= 6; ++i) coarse[static_cast<std::size_t>((j - 1) * NCX + i - 1)] = surface(
            static_cast<float>(i), static_cast<float>(j));
    std::vector<float> patch(25);
    lumsk::CELL3(5, 4, 2, 3, NCX, coarse, patch);
    for (std::int32_t r = 1; r <= 5; ++r) {
        for (std::int32_t s = 1; s <= 5; ++s) {
            const float x = 2.0f + 0.25f * static_cast<float>(s - 1);
            const float y = 3.0f + 0.25f * static_cast<float>(r - 1);
            EXPECT_NEAR(patch[static_cast<std::size_t>((r - 1) * 5 + s - 1)], surface(x, y), 2.0e-5f)
                << "s " << s << " r " << r;
        }
    }
}

TEST(Insert, CopiesASubArrayOrRefusesOneThatDoesNotFit) {
    const std::vector<float> a{1, 2, 3, 4, 5, 6};  // 3 x 2
    std::vector<float> b(4 * 3, 0.0f);              // 4 x 3
    std::int32_t status = 99;
    lumsk::INSERT(2, 2, a, 3, 2, b, 4, 3, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(b, (std::vector<float>{0, 0, 0, 0, 0, 1, 2, 3, 0, 4, 5, 6}));

    std::vector<float> untouched(4 * 3, 0.0f);
    lumsk::INSERT(3, 1, a, 3, 2, untouched, 4, 3, status);  // would end one column beyond
    EXPECT_EQ(status, lumsk::kStatusSubArrayTooBig);
    EXPECT_EQ(untouched, std::vector<float>(12, 0.0f));
    lumsk::INSERT(1, 3, a, 3, 2, untouched, 4, 3, status);  // one row beyond
    EXPECT_EQ(status, lumsk::kStatusSubArrayTooBig);
    EXPECT_EQ(untouched, std::vector<float>(12, 0.0f));
}

TEST(Zgint, GivesEveryBlockNodeTheValueOfALinearCoarseGrid) {
    // 2 x 2 blocks of 30 x 30 nodes, steps 20; the regional solve would make
    // NCX = NCY = 49 / 4 + 7 = 19.
    tests::LayoutState layout(50, 50, 30, 30, 2, 2, 10);
    setLinearCoarseGrid(layout.state, 19, 19);
    for (const auto& [xoff, yoff] : {std::pair{0.0f, 0.0f}, std::pair{20.0f, 0.0f}, std::pair{20.0f, 20.0f}}) {
        std::int32_t status = 99;
        lumsk::ZGINT(layout.state, xoff, yoff, status);
        ASSERT_EQ(status, 0);
        // Tolerance: the cubics' float32 steps (constants 0.3333333 and
        // 0.1666667, accumulated quarter steps) on values up to ~40.
        for (std::int32_t j = 1; j <= 30; ++j) {
            for (std::int32_t i = 1; i <= 30; ++i) {
                const float expected = plane(xoff + static_cast<float>(i), yoff + static_cast<float>(j));
                ASSERT_NEAR(layout.state.work.work[static_cast<std::size_t>((j - 1) * 30 + i - 1)], expected, 1.0e-4f)
                    << "block at " << xoff << ", " << yoff << " node " << i << ", " << j;
            }
        }
    }
}

TEST(Zgint, RefusesACoarseGridThatDoesNotCoverTheBlock) {
    tests::LayoutState layout(50, 50, 30, 30, 2, 2, 10);
    // The last block reaches padded node 50, in coarse cell (50 + 7) / 4 + 1
    // = 15, whose cubics need coarse node 17.
    setLinearCoarseGrid(layout.state, 16, 19);
    std::int32_t status = 0;
    lumsk::ZGINT(layout.state, 0.0f, 0.0f, status);
    EXPECT_EQ(status, 0);
    lumsk::ZGINT(layout.state, 20.0f, 0.0f, status);
    EXPECT_EQ(status, -1005);
    setLinearCoarseGrid(layout.state, 19, 16);
    lumsk::ZGINT(layout.state, 0.0f, 20.0f, status);
    EXPECT_EQ(status, -1006);
}

TEST(Contin, TakesTheNeighboursOverlapAndFixesItsOuterTwoColumnsAndRows) {
    // A 5 x 4 block of zeros with free flags except a data node at (3, 1);
    // the left edge store holds 100 + node number, the lower one 200 + node
    // number.
    tests::LayoutState layout(9, 8, 5, 4, 2, 2, 1);
    lumsk::WorkAreas& work = layout.state.work;
    auto reset = [&] {
        std::fill_n(work.work.begin(), 20, 0.0f);
        std::fill_n(work.nodeFlags.begin(), 20, 0);
        work.nodeFlags[2] = 3;
    };
    for (std::int32_t j = 1; j <= 4; ++j)
        for (std::int32_t q = 1; q <= 3; ++q)
            work.edgeLeft[static_cast<std::size_t>((j - 1) * 3 + q - 1)] = static_cast<float>(100 + (j - 1) * 5 + q);
    for (std::int32_t n = 1; n <= 15; ++n) work.edgeBelow[static_cast<std::size_t>(n - 1)] = static_cast<float>(200 + n);
    auto value = [&](std::int32_t i, std::int32_t j) { return work.work[static_cast<std::size_t>((j - 1) * 5 + i - 1)]; };
    auto flag = [&](std::int32_t i, std::int32_t j) { return work.nodeFlags[static_cast<std::size_t>((j - 1) * 5 + i - 1)]; };

    reset();  // the first block of the first tier has no neighbour
    lumsk::CONTIN(layout.state, 1, 1, 5, 4);
    EXPECT_EQ(std::count(work.work.begin(), work.work.begin() + 20, 0.0f), 20);
    EXPECT_EQ(flag(1, 1), 0);

    reset();  // a later block of the first tier: the left columns only
    lumsk::CONTIN(layout.state, 2, 1, 5, 4);
    for (std::int32_t j = 1; j <= 4; ++j) {
        for (std::int32_t i = 1; i <= 3; ++i) EXPECT_EQ(value(i, j), static_cast<float>(100 + (j - 1) * 5 + i));
        EXPECT_EQ(value(4, j), 0.0f);
        EXPECT_EQ(std::pair(flag(1, j), flag(2, j)), std::pair(-1, -1));
    }
    EXPECT_EQ(std::pair(flag(3, 1), flag(3, 2)), std::pair(3, 0));  // column 3 keeps its flags

    reset();  // a later tier: the lower rows too, which win in the corner
    lumsk::CONTIN(layout.state, 2, 2, 5, 4);
    for (std::int32_t j = 1; j <= 3; ++j)
        for (std::int32_t i = 1; i <= 5; ++i) EXPECT_EQ(value(i, j), static_cast<float>(200 + (j - 1) * 5 + i));
    EXPECT_EQ(value(2, 4), 117.0f);
    EXPECT_EQ(value(5, 4), 0.0f);
    for (std::int32_t i = 1; i <= 5; ++i) EXPECT_EQ(std::pair(flag(i, 1), flag(i, 2)), std::pair(-1, -1));
    EXPECT_EQ(std::pair(flag(3, 3), flag(2, 3)), std::pair(0, -1));  // row 3 keeps its flags

    reset();  // the first block of a later tier: the lower rows only
    lumsk::CONTIN(layout.state, 1, 2, 5, 4);
    EXPECT_EQ(std::pair(value(1, 4), flag(1, 4)), std::pair(0.0f, 0));
    EXPECT_EQ(value(1, 1), 201.0f);
}

}  // namespace
