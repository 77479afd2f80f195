// Cell size and grid placement, worked by hand (the end-to-end tests pin the
// ordinary cases; these are the edges).
#include "vosklar/model_geometry.hpp"

#include <gtest/gtest.h>

namespace vosklar {
namespace {

TEST(ModelGeometryTest, CellsBelowFiveAreRaisedAndTheThickestLayerCanSetTheRadius) {
    StationStatistics statistics;
    statistics.smallestStationGap = 4.0f;
    statistics.thinnestLayer = 8.0f;
    statistics.thickestLayer = 60.0f;
    EXPECT_EQ(chooseCellSize(statistics).cell, 5.0f);
    EXPECT_EQ(chooseCellSize(statistics).searchRadius, 60.0f);  // beats 10 cells of 5
}

TEST(ModelGeometryTest, NegativeLowEndsFloorAwayFromZero) {
    ElevationRange elevations{-13.0f, 7.0f};
    const ModelGridGeometry geometry = placeModelGrid(-12.0f, 3.0f, 5.0f, 1000.0f, elevations);
    EXPECT_EQ(geometry.X0, -17.5f);  // trunc(-12 / 5) x 5 = -10 lies above -12: boundary -15
    EXPECT_EQ(geometry.NCOL, 5);     // 4 columns reach -2.5 only
    EXPECT_EQ(geometry.Y0, -17.5f);
    EXPECT_EQ(geometry.NROW, 6);  // trunc(24.5 / 5 + 1) = 5 rows reach 2.5 only
    EXPECT_EQ(elevations.lowest, -15.0f);
    EXPECT_EQ(elevations.highest, 7.5f);
}

TEST(ModelGeometryTest, NarrowedElevationSpanCarriesOverToTheNextPass) {
    ElevationRange elevations{-1720.75f, 290.0f};
    const ModelGridGeometry geometry = placeModelGrid(0.0f, 100.0f, 10.0f, 1000.0f, elevations);
    EXPECT_EQ(geometry.Y0, -715.0f);  // lowest 290 - 1000 = -710
    EXPECT_EQ(geometry.NROW, 102);    // 101 rows reach 285, below 290
    EXPECT_EQ(elevations.highest, 295.0f);
    // Again: 295 + 710 exceeds 1000, the lowest rises to -705 and floors to -710.
    const ModelGridGeometry again = placeModelGrid(0.0f, 100.0f, 10.0f, 1000.0f, elevations);
    EXPECT_EQ(again.Y0, -715.0f);
    EXPECT_EQ(again.NROW, 102);
    // No layer ever widened the range (1.0E32 .. -1.0E32): no grid can be made.
    ElevationRange untouched{1.0E32f, -1.0E32f};
    EXPECT_FALSE(placeModelGrid(0.0f, 100.0f, 10.0f, 1000.0f, untouched).isUsable());
}

}  // namespace
}  // namespace vosklar
