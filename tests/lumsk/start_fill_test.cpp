// Filling a starting grid: line fills (PLUGM), the lattice window passes,
// row and column fills and the overall mean of GRIDR, and the grid without
// any value.
#include "lumsk/start_fill.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "lumsk/status.hpp"

namespace {

constexpr float kNull = -1.0E32f;

struct FillGrid {
    FillGrid(std::int32_t columns, std::int32_t rows)
        : nx(columns), ny(rows), values(static_cast<std::size_t>(columns * rows), kNull),
          work(static_cast<std::size_t>(rows), 0.0f) {}

    float& at(std::int32_t col, std::int32_t row) {
        return values[static_cast<std::size_t>((row - 1) * nx + (col - 1))];
    }
    std::int32_t fill() {
        std::int32_t status = 99;
        lumsk::GRIDR(nx, ny, values, work, kNull, status);
        return status;
    }
    bool allEqual(float value) const {
        for (float v : values) {
            if (v != value) return false;
        }
        return true;
    }

    std::int32_t nx;
    std::int32_t ny;
    std::vector<float> values;
    std::vector<float> work;
};

std::vector<float> plugged(std::vector<float> line) {
    lumsk::PLUGM(static_cast<std::int32_t>(line.size()), line, kNull);
    return line;
}

TEST(LineFill, LeadingInnerAndTrailingRuns) {
    EXPECT_EQ(plugged({kNull, 2.0f, kNull, kNull, 8.0f, kNull}),
              (std::vector<float>{2.0f, 2.0f, 4.0f, 6.0f, 8.0f, 8.0f}));
    EXPECT_EQ(plugged({kNull, kNull, kNull, 5.0f}), (std::vector<float>{5.0f, 5.0f, 5.0f, 5.0f}));
    EXPECT_EQ(plugged({5.0f, kNull, kNull}), (std::vector<float>{5.0f, 5.0f, 5.0f}));
    EXPECT_EQ(plugged({1.0f, kNull, 3.0f, kNull, kNull, kNull, -5.0f}),
              (std::vector<float>{1.0f, 2.0f, 3.0f, 1.0f, -1.0f, -3.0f, -5.0f}));
    EXPECT_EQ(plugged({kNull}), (std::vector<float>{kNull}));
    EXPECT_EQ(plugged({kNull, kNull}), (std::vector<float>{kNull, kNull}));
    EXPECT_EQ(plugged({7.0f}), (std::vector<float>{7.0f}));
}

TEST(LineFill, OnlyTheNullValueItselfIsAGap) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> line = plugged({kNull, nan, -1.0E30f, kNull});
    EXPECT_TRUE(std::isnan(line[0]));  // NaN counts as data
    EXPECT_TRUE(std::isnan(line[1]));
    EXPECT_EQ(line[2], -1.0E30f);
    EXPECT_EQ(line[3], -1.0E30f);
}

TEST(LineFill, InterpolationAccumulatesStepByStep) {
    // Slope 0.1f added nine times to 0 is not 0.9f in float32: each position
    // is the one before plus the slope, rounded.
    std::vector<float> line(11, kNull);
    line[0] = 0.0f;
    line[10] = 1.0f;
    line = plugged(line);
    float expected = 0.0f;
    const float slope = 1.0f / 10.0f;
    for (std::size_t p = 1; p < 10; ++p) {
        expected = expected + slope;
        EXPECT_EQ(line[p], expected) << "position " << p;
    }
    EXPECT_NE(line[9], 0.9f);  // 0.1f * 9 rounds differently from the running sum
}

TEST(StartFill, GridWithoutNullsIsUntouched) {
    FillGrid grid(12, 10);
    for (std::size_t i = 0; i < grid.values.size(); ++i) {
        grid.values[i] = static_cast<float>(i % 7);
    }
    grid.values[5] = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> before = grid.values;
    EXPECT_EQ(grid.fill(), lumsk::kStatusGood);
    for (std::size_t i = 0; i < grid.values.size(); ++i) {
        if (i != 5) {
            EXPECT_EQ(grid.values[i], before[i]);
        }
    }
    EXPECT_TRUE(std::isnan(grid.values[5]));
}

TEST(StartFill, GridWithoutAnyValueFailsWithMinus1010) {
    for (const auto& size : {std::pair{20, 20}, std::pair{5, 5}, std::pair{8, 30}}) {
        FillGrid grid(size.first, size.second);
        EXPECT_EQ(grid.fill(), lumsk::kStatusNoStartValue);
        EXPECT_EQ(lumsk::kStatusNoStartValue, -1010);
        EXPECT_TRUE(grid.allEqual(kNull));
    }
}

TEST(StartFill, OneValueAnywhereFillsTheWholeGrid) {
    const std::int32_t cases[][4] = {
        {20, 20, 17, 3}, {20, 20, 1, 1}, {9, 9, 5, 5}, {8, 20, 8, 20}, {20, 8, 11, 2}, {5, 6, 3, 4}, {33, 17, 30, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << " by " << c[1] << " value at " << c[2] << "," << c[3]);
        FillGrid grid(c[0], c[1]);
        grid.at(c[2], c[3]) = 4.5f;
        EXPECT_EQ(grid.fill(), lumsk::kStatusGood);
        EXPECT_TRUE(grid.allEqual(4.5f));
    }
}

TEST(StartFill, NarrowGridGetsRowFillsButNoWindowPasses) {
    // 8 columns, 20 rows: no window passes (NX < 9); row 5 is filled along its
    // 8 values, rows 9 and 13 hold nothing; then every column is filled.
    FillGrid grid(8, 20);
    grid.at(2, 5) = 10.0f;
    grid.at(7, 5) = 20.0f;
    grid.at(4, 18) = 1.0f;
    EXPECT_EQ(grid.fill(), lumsk::kStatusGood);
    // Row 5: 10, 10, 12, 14, 16, 18, 20, 20 (a 7 by 7 window at (5, 5) would
    // have given its mean, 15).
    const float row5[] = {10.0f, 10.0f, 12.0f, 14.0f, 16.0f, 18.0f, 20.0f, 20.0f};
    for (std::int32_t col = 1; col <= 8; ++col) {
        EXPECT_EQ(grid.at(col, 5), row5[col - 1]) << "column " << col;
        EXPECT_EQ(grid.at(col, 1), row5[col - 1]);
    }
    EXPECT_EQ(grid.at(6, 20), 18.0f);
    // Column 4 runs from 14 at row 5 to 1 at row 18: steps of -1.
    for (std::int32_t row = 5; row <= 18; ++row) {
        EXPECT_EQ(grid.at(4, row), static_cast<float>(19 - row)) << "row " << row;
    }
    EXPECT_EQ(grid.at(4, 20), 1.0f);
}

TEST(StartFill, ShallowGridFillsOnlyColumnsThenTheMean) {
    // 20 columns, 8 rows: no window passes and no row fills (NY - 4 < 5), so
    // the values on row 5 are not joined along it. Their columns fill; the
    // other nodes take the mean of all 16 values, (8 * 4 + 8 * 10) / 16 = 7.
    FillGrid grid(20, 8);
    grid.at(3, 5) = 4.0f;
    grid.at(15, 5) = 10.0f;
    EXPECT_EQ(grid.fill(), lumsk::kStatusGood);
    for (std::int32_t row = 1; row <= 8; ++row) {
        for (std::int32_t col = 1; col <= 20; ++col) {
            const float expected = col == 3 ? 4.0f : (col == 15 ? 10.0f : 7.0f);
            ASSERT_EQ(grid.at(col, row), expected) << col << "," << row;
        }
    }
}

TEST(StartFill, NineByNineMakesA3By3PassThenA7By7PassAndNoMore) {
    // Values at (4, 4) and (2, 2): the first pass's 3 by 3 window at (5, 5)
    // sees only (4, 4); a 7 by 7 window first would have averaged both.
    FillGrid first(9, 9);
    first.at(4, 4) = 6.0f;
    first.at(2, 2) = 2.0f;
    EXPECT_EQ(first.fill(), lumsk::kStatusGood);
    EXPECT_EQ(first.at(5, 5), 6.0f);
    EXPECT_EQ(first.at(1, 5), 6.0f);  // row 5 filled from (5, 5) alone
    EXPECT_EQ(first.at(2, 1), 2.0f);  // column 2: 2 at row 2, then up to 6 at row 5

    // Values only at (1, 1) and (9, 1): outside the 7 by 7 window of (5, 5),
    // inside a 9 by 9 one. With two passes (5, 5) stays empty, row 5 stays
    // empty, columns 1 and 9 fill with their own values and the rest takes
    // the mean, 4. A third (9 by 9) pass would have put 4 at (5, 5) and then
    // slanted columns 1 and 9 towards it.
    FillGrid second(9, 9);
    second.at(1, 1) = 2.0f;
    second.at(9, 1) = 6.0f;
    EXPECT_EQ(second.fill(), lumsk::kStatusGood);
    for (std::int32_t row = 1; row <= 9; ++row) {
        EXPECT_EQ(second.at(1, row), 2.0f) << "row " << row;
        EXPECT_EQ(second.at(9, row), 6.0f) << "row " << row;
        EXPECT_EQ(second.at(5, row), 4.0f) << "row " << row;
    }
}

TEST(StartFill, WindowMeansUseTheValuesInsideTheWindowOnly) {
    // 13 by 13: lattice nodes (5, 5), (9, 5), (5, 9), (9, 9). Pass 1 (3 by 3)
    // fills (5, 5) from (4, 4) and (6, 6); (9, 9) from (10, 10) alone.
    FillGrid grid(13, 13);
    grid.at(4, 4) = 1.0f;
    grid.at(6, 6) = 4.0f;
    grid.at(10, 10) = 9.0f;
    EXPECT_EQ(grid.fill(), lumsk::kStatusGood);
    EXPECT_EQ(grid.at(5, 5), 2.5f);
    EXPECT_EQ(grid.at(9, 9), 9.0f);
}

TEST(StartFill, ShortWorkLineIsNotOverrun) {
    FillGrid grid(6, 40);
    grid.work.assign(3, 0.0f);
    grid.at(2, 1) = 1.0f;
    grid.at(2, 40) = 40.0f;
    EXPECT_EQ(grid.fill(), lumsk::kStatusGood);
    for (std::int32_t row = 1; row <= 40; ++row) {
        EXPECT_EQ(grid.at(2, row), static_cast<float>(row));
    }
}

}  // namespace
