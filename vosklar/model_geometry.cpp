#include "vosklar/model_geometry.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "common/float_to_int.hpp"
#include "vosklar/number_text.hpp"

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

std::string rangeText(float low, float high) {
    return "from " + numberText(low) + " to " + numberText(high);
}

// A node count to three digits: the float ranges it comes from are no more
// exact than that.
std::string roughCount(double count) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), count, std::chars_format::general, 3).ptr;
    return std::string(text.data(), end);
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

std::string describeUnusableGrid(std::string_view positions, float xLow, float xHigh, float cell, float maximumDepth,
                                 const ElevationRange& elevations) {
    const std::string stations = std::string(positions) + " " + rangeText(xLow, xHigh);
    if (!std::isfinite(xLow) || !std::isfinite(xHigh)) return "the " + stations + " are not a finite range";
    if (!(maximumDepth > 0.0f)) return "the maximum depth of " + numberText(maximumDepth) + " leaves no elevation range";
    const float lowest = elevations.lowest;
    const float highest = elevations.highest;
    if (!(lowest <= highest)) return "no layer thicker than 1.0 gave an elevation range";
    const std::string layers = "the layer elevations " + rangeText(lowest, highest);
    if (!std::isfinite(lowest) || !std::isfinite(highest)) return layers + " are not a finite range";
    const double cellSize = static_cast<double>(cell);
    const double depth = std::min(static_cast<double>(highest) - static_cast<double>(lowest),
                                  static_cast<double>(maximumDepth));
    const double columns = std::floor((static_cast<double>(xHigh) - static_cast<double>(xLow)) / cellSize) + 2.0;
    const double rows = std::floor(depth / cellSize) + 2.0;
    return "the " + stations + " and " + layers + " at a cell size of " + numberText(cellSize) + " need about " +
           roughCount(columns) + " columns by " + roughCount(rows) + " rows, more than the " +
           std::to_string(ModelGridGeometry::kLargestNodeCount) + " nodes a grid may hold";
}

}  // namespace vosklar
