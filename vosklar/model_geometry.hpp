#pragma once
// The geometry of the model grids: one square cell size for both axes, the
// search radius for minimum curvature, and per pass the grid origin and size
// that cover the pass's x range and the model's elevation range.
#include <cstdint>
#include <string>
#include <string_view>

#include "vosklar/station_statistics.hpp"

namespace vosklar {

struct CellChoice {
    float cell = 0.0f;          // cell size along both axes
    float searchRadius = 0.0f;  // world units
};

// Half the station spacing across, half the thinnest layer down (each at
// least 5.0), the smaller of the two; the radius reaches at least over the
// thickest layer and ten cells across.
CellChoice chooseCellSize(const StationStatistics& statistics);

// The elevation span of the grids; the geometry step narrows it to the
// maximum depth and snaps it to whole cells, and those changes carry over to
// a later pass.
struct ElevationRange {
    float lowest = 0.0f;
    float highest = 0.0f;
};

struct ModelGridGeometry {
    float X0 = 0.0f;  // x of node (1, 1)
    float Y0 = 0.0f;  // elevation of node (1, 1); row 1 is the lowest
    float cell = 0.0f;
    std::int32_t NCOL = 0;
    std::int32_t NROW = 0;

    float nodeX(std::int32_t column) const { return X0 + cellsFromFirst(column) * cell; }
    float nodeElevation(std::int32_t row) const { return Y0 + cellsFromFirst(row) * cell; }

    // Whether a raster of this size can be made at all: a broken model can
    // give no rows, or more nodes than any section of this kind holds. The
    // raster is held whole in memory and written as six grid files, so the
    // bound (2^27 nodes, 512 MB of floats) keeps a station list with an absurd
    // station number from taking gigabytes of memory and disk.
    static constexpr std::int64_t kLargestNodeCount = std::int64_t{1} << 27;
    bool isUsable() const {
        return NCOL >= 1 && NROW >= 1 && static_cast<std::int64_t>(NCOL) * NROW <= kLargestNodeCount;
    }

private:
    static float cellsFromFirst(std::int32_t index) { return static_cast<float>(static_cast<std::int64_t>(index) - 1); }
};

// Nodes are cell centres: the grid starts half a cell below the cell
// boundary at or below the low end of each range.
ModelGridGeometry placeModelGrid(float xLow, float xHigh, float cell, float maximumDepth, ElevationRange& elevations);

// Why no usable grid can be placed over these ranges, for the message that
// stops the run: a range that is not finite, no elevation range at all, or
// more nodes than a grid may hold. `positions` names the x range ("stations",
// "eastings", "northings"); `elevations` is the range before placing.
std::string describeUnusableGrid(std::string_view positions, float xLow, float xHigh, float cell, float maximumDepth,
                                 const ElevationRange& elevations);

}  // namespace vosklar
