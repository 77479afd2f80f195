#include "vosklar/model_geometry.hpp"

#include <limits>

#include "common/float_to_int.hpp"

namespace vosklar {

namespace {

constexpr float kSmallestCell = 5.0f;
constexpr float kRadiusInCells = 10.0f;
// A count that cannot grow by one any more (only a broken model gets there).
constexpr std::int32_t kLargestCount = std::numeric_limits<std::int32_t>::max();

// The cell boundary at or below `low` (toward minus infinity).
float floorToCell(float low, float cell) {
    float boundary = static_cast<float>(common::truncateToInt32(low / cell)) * cell;
    if (boundary > low) boundary = boundary - cell;
    return boundary;
}

}  // namespace

CellChoice chooseCellSize(const StationStatistics& statistics) {
    float cellX = statistics.smallestStationGap / 2.0f;
    if (cellX < kSmallestCell) cellX = kSmallestCell;
    float cellZ = statistics.thinnestLayer / 2.0f;
    if (cellZ < kSmallestCell) cellZ = kSmallestCell;

    CellChoice choice;
    choice.searchRadius = statistics.thickestLayer;
    if (kRadiusInCells * cellX > choice.searchRadius) choice.searchRadius = kRadiusInCells * cellX;
    choice.cell = cellX < cellZ ? cellX : cellZ;
    return choice;
}

ModelGridGeometry placeModelGrid(float xLow, float xHigh, float cell, float maximumDepth, ElevationRange& elevations) {
    ModelGridGeometry geometry;
    geometry.cell = cell;

    const float xFirst = floorToCell(xLow, cell);
    geometry.X0 = xFirst - cell / 2.0f;
    geometry.NCOL = common::truncateToInt32((xHigh - xFirst) / cell + 1.0f);
    if (geometry.nodeX(geometry.NCOL) < xHigh && geometry.NCOL < kLargestCount) geometry.NCOL = geometry.NCOL + 1;

    if (elevations.highest - elevations.lowest > maximumDepth) {
        elevations.lowest = elevations.highest - maximumDepth;
    }
    const float zFirst = floorToCell(elevations.lowest, cell);
    elevations.lowest = zFirst;
    geometry.Y0 = zFirst - cell / 2.0f;
    // Measured from Y0 here, where the columns are measured from the cell
    // boundary.
    geometry.NROW = common::truncateToInt32((elevations.highest - geometry.Y0) / cell + 1.0f);
    if (geometry.nodeElevation(geometry.NROW) < elevations.highest && geometry.NROW < kLargestCount) {
        geometry.NROW = geometry.NROW + 1;
    }
    elevations.highest = geometry.nodeElevation(geometry.NROW);
    return geometry;
}

}  // namespace vosklar
