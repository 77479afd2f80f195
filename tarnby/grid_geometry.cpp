#include "tarnby/grid_geometry.hpp"

#include <cstdint>

#include "common/float_to_int.hpp"

namespace tarnby {

namespace {

// Whole cells from `low` to `high`, counted from `countFrom`, plus one more
// when the last of them still falls short of `high`.
std::int32_t cellsToReach(float countFrom, float origin, float high, float cell) {
    std::int32_t count = common::truncateToInt32((high - countFrom) / cell + 1.0f);
    // In 64 bits so that a count without meaning cannot overflow.
    const auto lastCell = static_cast<float>(static_cast<std::int64_t>(count) - 1);
    if (lastCell * cell + origin < high) ++count;
    return count;
}

}  // namespace

GridGeometry modelGridGeometry(std::int32_t NSOUND, const LayerTable& layers,
                               const WalkExtents& extents) {
    GridGeometry geometry;
    geometry.DX = extents.lastDIST / static_cast<float>(NSOUND);
    if (geometry.DX < 1.0f) geometry.DX = 1.0f;
    geometry.DY = layers.DZ;
    geometry.RADIUS = 10.0f * geometry.DX > layers.radiusSeed ? 10.0f * geometry.DX : layers.radiusSeed;

    // The columns are counted from XLO, the rows from the first row itself.
    geometry.X0 = extents.XLO - geometry.DX / 2.0f;
    geometry.NCOL = cellsToReach(extents.XLO, geometry.X0, extents.XHI, geometry.DX);
    geometry.Y0 = extents.ZLO - layers.DZ / 2.0f;
    geometry.NROW = cellsToReach(geometry.Y0, geometry.Y0, extents.ZHI, layers.DZ);
    return geometry;
}

std::string modelGridName(std::string_view modelName, int grid) {
    const std::size_t dot = modelName.find('.');
    if (grid == 1) {
        return std::string(modelName.substr(0, dot == std::string_view::npos ? 0 : dot)) + ".grd";
    }
    // The characters before the dot less the three of the model file's own
    // kind ("con"): none when the name has no dot or too short a stem.
    const std::size_t stem = dot == std::string_view::npos || dot < 3 ? 0 : dot - 3;
    const std::string prefix(modelName.substr(0, stem));
    return prefix + (grid == 2 ? "res.grd" : "logres.grd");
}

}  // namespace tarnby
